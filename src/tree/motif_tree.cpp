// Motif trees. Each of the two distance matrices gets numbered labels, is written as CSV, and an R
// script beside it clusters the motifs and draws the tree as a PNG image; the tree pages show the
// images. The two trees differ only in the rows of one small table.
#include <cerrno>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "core/answers.h"
#include "core/globals.h"
#include "core/report_files.h"
#include "core/report_io.h"
#include "core/shell.h"
#include "core/utilities.h"
#include "reports/pdf.h"
#include "tree/tree.h"

namespace korvelan {

namespace {

struct Tree {
  distanceTable RunState::*matrix;
  const char* letter;  // in front of each label's number
  const char* csvName;
  const char* scriptName;
  const char* imageName;
  ReportId page;
  const char* sectionTitle;
};

const Tree kAllMotifs{
    .matrix = &RunState::distanceMatrix,
    .letter = "I",
    .csvName = "Distance_Matrix.csv",
    .scriptName = "Plot_File.R",
    .imageName = "Motif_Tree.png",
    .page = ReportId::MotifTreeHTML,
    .sectionTitle = " Motif Tree for Motifs in the Combined List ",
};
const Tree kGlobalMotifs{
    .matrix = &RunState::distanceMatrixGlobal,
    .letter = "G",
    .csvName = "Global_Matching_Distance_Matrix.csv",
    .scriptName = "Global_Matching_Plot_File.R",
    .imageName = "Global_Matching_Motif_Tree.png",
    .page = ReportId::MotifTreeGlobalHTML,
    .sectionTitle = " Motif Tree for Global Significant Motifs and Their Best Matches ",
};

// A cell as it is, unless a comma, quote or line break in it would split the CSV row: then in double
// quotes with inner quotes doubled, which R's read.csv reads back as the original text.
std::string csvCell(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char ch : text) {
    if (ch == '"') quoted += '"';
    quoted += ch;
  }
  return quoted + "\"";
}

// Row and column labels become letter + index + "_" + name, so equal names stay distinct for R.
void numberLabels(distanceTable& matrix, const std::string& letter) {
  for (std::size_t k = 1; k <= matrix.labels.size(); ++k)
    matrix.labels[k - 1] = letter + numberToString(static_cast<double>(k)) + "_" + matrix.labels[k - 1];
}

// A header row (an empty corner, then the labels), then per label its row: the label, then its cells
// in their six-digit text. A table never filled gives an empty file.
void writeCsv(const std::string& path, const distanceTable& matrix) {
  std::ofstream csv;
  openReport(csv, path, OpenMode::Create);
  if (matrix.filled) {
    csv << csvCell("") << ",";
    for (const std::string& label : matrix.labels) csv << csvCell(label) << ",";
    csv << std::endl;
    for (std::size_t i = 0; i < matrix.labels.size(); ++i) {
      csv << csvCell(matrix.labels[i]) << ",";
      for (std::size_t j = 0; j < matrix.labels.size(); ++j) csv << numberToString(matrix.at(i, j)) << ",";
      csv << std::endl;
    }
  }
  closeReport(csv);
}

// With fewer than ten motifs the tree is cut into as many groups as there are motifs.
void writeScript(const std::string& path, const std::string& csvPath, const std::string& imagePath) {
  std::ofstream script;
  openReport(script, path, OpenMode::Create);
  script << "options(warn = -1)\n"
            "suppressMessages(require(ggplot2))\n"
            "suppressMessages(require(ggdendro))\n"
            "suppressMessages(require(dendextend))\n"
            "suppressMessages(library(ape))\n"
            "\n"
            "tb = read.csv('"
         << singleQuotedLiteral(csvPath)
         << "', row.names = 1)\n"
            "d = as.dist(tb)\n"
            "hc <- as.dendrogram(hclust(d))\n"
            "colors = c('red', 'blue', 'green4', 'black', 'brown', 'magenta', 'purple', 'darkorange', "
            "'deepskyblue', 'darkgreen')\n"
            "clus10 = cutree(hc, min(10, attr(d, 'Size')))\n"
            "png('"
         << singleQuotedLiteral(imagePath)
         << "', width=700, height=700)\n"
            "plot(as.phylo(hc), type = 'fan', tip.color = colors[clus10], cex = 0.7, label.offset = 0.05)\n"
            "invisible(dev.off())\n"
            "options(warn = 0)\n";
  closeReport(script);
}

void drawTree(const Tree& tree) {
  const std::string base = outputPath + jobID;
  const std::string imagePath = base + tree.imageName;
  const std::string csvPath = base + tree.csvName;
  const std::string scriptPath = base + tree.scriptName;
  distanceTable& matrix = runState.*tree.matrix;
  numberLabels(matrix, tree.letter);
  writeCsv(csvPath, matrix);
  writeScript(scriptPath, csvPath, imagePath);
  // R writes the image through its name, so the run makes it first as a file of its own: a link
  // planted under that name ends the run instead of being written through.
  std::ofstream image;
  if (!openUnchecked(image, imagePath)) failOutputFile(imagePath, errno);
  closeReport(image);
  // R prints its own errors; the run goes on without the image.
  const ShellResult r = runShell("Rscript " + shellWord(scriptPath));
  removeUnwrittenOutput(imagePath);  // no empty image stays behind when R drew nothing
  if (!r.succeeded())
    std::cerr << "Motif tree not drawn: Rscript "
              << (r.started ? "ended with status " + std::to_string(r.status)
                            : std::string("could not be started"))
              << " on " << scriptPath << std::endl;
}

void writeTreeSection(const Tree& tree, bool noteInstead) {
  std::ofstream& out = openReport(tree.page, OpenMode::Append);
  out << "<div class = 'boxed'>" << std::endl;
  if (noteInstead) {
    out << "<font size='2' class='sansserif'> There is no phylogenetic tree for global significant motifs "
           "and "
           "their best matches for 1 motif file. </font>"
        << std::endl;
    out << "<br><br>" << std::endl;
  } else {
    out << "<b class='sansserif'><font size='2'>" << tree.sectionTitle << "</font></b>" << std::endl;
    out << "<br>" << std::endl;
    out << "<img src = '" << htmlEscape(jobID + tree.imageName) << "' style='width:660px;height:660px' >"
        << std::endl;
  }
  out << "</div>" << std::endl;
  closeReport(out);
}

}  // namespace

void getMotifCluster() {
  drawTree(kAllMotifs);
}
void getMotifClusterGlobal() {
  drawTree(kGlobalMotifs);
}

void writeMotifTreeHTMLOrPDF() {
  writeTreeSection(kAllMotifs, false);
}
void writeMotifTreeGlobalHTMLOrPDF() {
  writeTreeSection(kGlobalMotifs, !severalFiles());
}

void convertHTMLToPDFMotifTree() {
  convertPageToPDF(kAllMotifs.page);
}
void convertHTMLToPDFMotifTreeGlobal() {
  convertPageToPDF(kGlobalMotifs.page);
}

}  // namespace korvelan
