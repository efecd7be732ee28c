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
#include "core/interrupts.h"
#include "core/report_files.h"
#include "core/report_io.h"
#include "core/shell.h"
#include "core/utf8.h"
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

// The text with each byte that is not part of well-formed UTF-8 (a Latin-1 letter, say) as "?":
// R's read.csv stops at such a byte in a UTF-8 locale, and the tree would not be drawn. Valid text
// stays as it is.
std::string readableByR(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = utf8SequenceAt(text, at);
    if (length == 0) {
      out += '?';
      ++at;
    } else {
      out.append(text, at, length);
      at += length;
    }
  }
  return out;
}

// A cell as R reads it back: as it is, unless a comma, quote or line break in it would split the CSV
// row; then in double quotes with inner quotes doubled, which R's read.csv reads as the text.
std::string csvCell(const std::string& cell) {
  const std::string text = readableByR(cell);
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
    csv << '\n';
    for (std::size_t i = 0; i < matrix.labels.size(); ++i) {
      csv << csvCell(matrix.labels[i]) << ",";
      for (std::size_t j = 0; j < matrix.labels.size(); ++j) csv << numberToString(matrix.at(i, j)) << ",";
      csv << '\n';
    }
  }
  closeReport(csv);
}

// With fewer than ten motifs the tree is cut into as many groups as there are motifs.
std::string scriptText(const std::string& csvPath, const std::string& imagePath) {
  return "options(warn = -1)\n"
         "suppressMessages(require(ggplot2))\n"
         "suppressMessages(require(ggdendro))\n"
         "suppressMessages(require(dendextend))\n"
         "suppressMessages(library(ape))\n"
         "\n"
         "tb = read.csv('" +
         singleQuotedLiteral(csvPath) +
         "', row.names = 1)\n"
         "d = as.dist(tb)\n"
         "hc <- as.dendrogram(hclust(d))\n"
         "colors = c('red', 'blue', 'green4', 'black', 'brown', 'magenta', 'purple', 'darkorange', "
         "'deepskyblue', 'darkgreen')\n"
         "clus10 = cutree(hc, min(10, attr(d, 'Size')))\n"
         "png('" +
         singleQuotedLiteral(imagePath) +
         "', width=700, height=700)\n"
         "plot(as.phylo(hc), type = 'fan', tip.color = colors[clus10], cex = 0.7, label.offset = 0.05)\n"
         "invisible(dev.off())\n"
         "options(warn = 0)\n";
}

void writeScript(const std::string& path, const std::string& text) {
  std::ofstream script;
  openReport(script, path, OpenMode::Create);
  script << text;
  closeReport(script);
}

// R's front end splits the script's path at a tab (blanks it keeps): a script whose path holds one
// is run from its own folder by its name, which holds none.
bool runFromScriptFolder(const std::string& scriptPath) {
  return scriptPath.find_first_of("\t\n") != std::string::npos;
}

std::string rscriptCommand(const std::string& scriptPath) {
  if (!runFromScriptFolder(scriptPath)) return "Rscript " + shellWord(scriptPath);
  const std::size_t slash = scriptPath.rfind('/');
  return "cd " + shellWord(scriptPath.substr(0, slash + 1)) + " && exec Rscript " +
         shellWord(scriptPath.substr(slash + 1));
}

// The output folder as the script names its files: from another folder a relative one would lead
// elsewhere, so it is taken from the working directory.
std::string folderForScript() {
  if (outputPath.empty() || outputPath.front() == '/') return outputPath;
  const std::string workingDirectory = getCurrentDirectory();
  return workingDirectory.empty() ? outputPath : workingDirectory + "/" + outputPath;
}

void reportTreeNotDrawn(const std::string& why) {
  std::cout.flush();
  std::cerr << "Motif tree not drawn: " << why << std::endl;
}

void drawTree(const Tree& tree) {
  // From here on an interrupt is handled below, so the image's placeholder never stays.
  HelperStep step("the tree step");
  const std::string base = outputPath + jobID;
  const std::string imagePath = base + tree.imageName;
  const std::string csvPath = base + tree.csvName;
  const std::string scriptPath = base + tree.scriptName;
  distanceTable& matrix = runState.*tree.matrix;
  numberLabels(matrix, tree.letter);
  writeCsv(csvPath, matrix);
  // R runs a copy the result folder cannot reach (whoever may write there could put a script of
  // their own under the name); the script there is the one users keep, of the same text.
  PrivateScript privateCopy(jobID + tree.scriptName);
  const bool elsewhere = runFromScriptFolder(scriptPath) || runFromScriptFolder(privateCopy.path());
  const std::string scriptBase = elsewhere ? folderForScript() + jobID : base;
  const std::string text = scriptText(scriptBase + tree.csvName, scriptBase + tree.imageName);
  writeScript(scriptPath, text);
  // R's hclust stops on fewer than two motifs: nothing to draw, and R is not started.
  if (matrix.labels.size() < 2) {
    step.finish();
    reportTreeNotDrawn("its distance matrix " + csvPath + " holds fewer than two motifs.");
    return;
  }
  if (!privateCopy.write(text)) {
    step.finish();
    reportTreeNotDrawn(scriptPath +
                       " could not be copied to the run's private temporary folder, so Rscript was not run.");
    return;
  }
  // R writes the image through its name, so the run makes it first as a file of its own: a link
  // planted under that name ends the run instead of being written through.
  std::ofstream image;
  if (!openUnchecked(image, imagePath)) failOutputFile(imagePath, errno);
  closeReport(image);
  // R prints its own errors; the run goes on without the image.
  const int limit = limitForFile(treeTimeLimit, treeTimeLimitPerMiB, csvPath);
  const ShellResult r = runShell(rscriptCommand(privateCopy.path()), limit);
  removeUnwrittenOutput(imagePath);  // no empty image stays behind when R drew nothing
  step.finish();
  if (r.succeeded()) return;
  if (r.timedOut)
    reportTreeNotDrawn("the tree step was stopped after " + secondsText(limit) +
                       ", its time limit, while Rscript ran " + scriptPath +
                       "; the CSV file and the script are kept.");
  else
    reportTreeNotDrawn(
        "Rscript " +
        (r.started ? "ended with status " + std::to_string(r.status) : std::string("could not be started")) +
        " on " + scriptPath);
}

void writeTreeSection(const Tree& tree, bool noteInstead) {
  std::ofstream& out = openReport(tree.page, OpenMode::Append);
  out << "<div class = 'boxed'>\n";
  if (noteInstead) {
    out << "<font size='2' class='sansserif'> There is no phylogenetic tree for global significant motifs "
           "and "
           "their best matches for 1 motif file. </font>"
        << '\n';
    out << "<br><br>\n";
  } else {
    out << "<b class='sansserif'><font size='2'>" << tree.sectionTitle << "</font></b>\n";
    out << "<br>\n";
    out << "<img src = '" << htmlEscape(jobID + tree.imageName) << "' style='width:660px;height:660px' >"
        << '\n';
  }
  out << "</div>\n";
  closeReport(out);
}

}  // namespace

// The named forms of drawTree, writeTreeSection and convertPageToPDF, one per tree.
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
