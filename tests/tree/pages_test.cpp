// The two tree pages: header, tree section or one-file note, footer.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "core/globals.h"
#include "core/report_files.h"
#include "core/utilities.h"
#include "support/test_support.h"
#include "reports/framing.h"
#include "tree/tree.h"

namespace korvelan {
namespace {

using testing::readFile;
using testing::TempDir;
using testing::writeFile;

fileNameAndType inputFile(const std::string& name, int count, int dataset) {
  fileNameAndType file;
  file.fileName = name;
  file.motifCount = count;
  file.datasetNum = dataset;
  return file;
}

struct PageCase {
  const char* name;
  void (*header)();
  void (*section)();
  void (*footer)();
  std::string* path;
};

std::vector<PageCase> pageCases() {
  return {
      {"global", writeHeaderMotifTreeGlobalHTMLOrPDF, writeMotifTreeGlobalHTMLOrPDF,
       writeFooterMotifTreeGlobalHTMLOrPDF, &reportPath(ReportId::MotifTreeGlobalHTML)},
      {"all", writeHeaderMotifTreeHTMLOrPDF, writeMotifTreeHTMLOrPDF, writeFooterMotifTreeHTMLOrPDF,
       &reportPath(ReportId::MotifTreeHTML)},
  };
}

class TreePagesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    resetGlobals();
    jobID = "J_TEST_";
    numFile = 2;
    numTopMotif = 7;
    numBestMatches = 3;
    simCutoff = 0.85;
    DBName = "N";
    motifCluster = "Y";
    combinedMotifFlag = "N";
    outputFileType = "All";
    outputFileFormat = "PDF";
    FileNameType = {inputFile("set1.txt", 12, 1), inputFile("empty.txt", 0, 2)};
    reportPath(ReportId::MotifTreeGlobalHTML) = dir.path() + "global.html";
    reportPath(ReportId::MotifTreeHTML) = dir.path() + "all.html";
    wtime = 12.3456789;
  }
  void TearDown() override { resetGlobals(); }

  TempDir dir;
};

const char* kHeader =
    "<html>\n"
    "<head>\n"
    "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\" />\n"
    "<title>KORVELAN Results</title>\n"
    "<style type = 'text/css'>\n"
    ".boxed {<br>&nbsp;&nbsp; border: 2px solid #B0B0B0 ; padding: 7px;<br>}\n"
    ".sansserif {font-family: Verdana}\n"
    ".textshadow {text-shadow: 1px 1px 1px #333;}\n"
    "html{-webkit-font-smoothing: antialiased;}\n"
    "@page { @bottom-right { content: 'Page ' counter(page) ' of ' counter(pages); } }\n"
    "</style>\n"
    "</head>\n"
    "<body>\n"
    "<h2 class='sansserif' style='text-shadow: 2px 2px 2px #999'> KORVELAN - KORVELAN Detection Tool </h2>\n"
    "<p><b class='sansserif'>Version 2.2 </b></p>\n"
    "<div><h4 class='sansserif'> INPUT </h4></div>\n"
    "<div class = 'boxed'>\n"
    "<b class='sansserif'><font size = '2'>Input Parameters </font></b>\n"
    "<table class='sansserif' width = '700' border = '0' cellSpacing = '1' cellPadding = '1'>\n"
    "<col width= '300'>\n"
    "<col width= '400'>\n"
    "<tr>\n<td><font size = '2'>Number of files: </font></td>\n<td><font size = '2'>2</font></td>\n</tr>\n"
    "<tr>\n<td><font size = '2'>Number of top significant motifs: </font></td>\n"
    "<td><font size = '2'>7</font></td>\n</tr>\n"
    "<tr>\n<td><font size = '2'>Number of best matches: </font></td>\n<td><font size = "
    "'2'>3</font></td>\n</tr>\n"
    "<tr>\n<td><font size = '2'>Similarity cutoff >= </font></td>\n<td><font size = "
    "'2'>0.85</font></td>\n</tr>\n"
    "<tr>\n<td><font size = '2'>Matching motif database: </font></td>\n<td><font size = "
    "'2'>None</font></td>\n"
    "</tr>\n"
    "<tr>\n<td><font size = '2'>Motif tree: </font></td>\n<td><font size = '2'>Yes</font></td>\n</tr>\n"
    "<tr>\n<td><font size = '2'>Combined similar motifs: </font></td>\n<td><font size = "
    "'2'>No</font></td>\n</tr>\n"
    "<tr>\n<td><font size = '2'>Output file type: </font></td>\n<td><font size = '2'>All</font></td>\n</tr>\n"
    "<tr>\n<td><font size = '2'>Output file format: </font></td>\n<td><font size = "
    "'2'>PDF</font></td>\n</tr>\n"
    "</table>\n"
    "<br>\n"
    "<b class='sansserif' ><font size = '2'> Input files and motif counts </font></b>\n"
    "<table class='sansserif' width='700' border = '0' cellSpacing = '1' cellPadding = '1' >\n"
    "<col width= '450'>\n"
    "<col width= '150'>\n"
    "<col width= '150'>\n"
    "<tr>\n"
    "<td><b><font size = '2'>File name</font></b></td>\n"
    "<td><b><font size = '2'>Count of motifs</font></b></td>\n"
    "<td><b><font size = '2'>Dataset #</font></b></td>\n"
    "</tr>\n"
    "<tr>\n<td><font size = '2'>set1.txt</font></td>\n<td><font size = '2'>12</font></td>\n"
    "<td><font size = '2'>1</font></td>\n</tr>\n"
    "<tr>\n<td><font size = '2'>empty.txt</font></td>\n<td><font size = '2'>0</font></td>\n"
    "<td><font size = '2'>2</font></td>\n</tr>\n"
    "</table>\n"
    "</div>\n"
    "<br>\n"
    "<h4 class='sansserif'> RESULTS </h4>\n";

std::string footer(const std::string& runtime) {
  return "<p class='sansserif'>\n"
         "<font size = '2' >\n"
         "Results created by KORVELAN on DATE\n"
         "<br>\n"
         "Runtime: " +
         runtime +
         " seconds\n"
         "<br>\n"
         "KORVELAN is written by Orsabel</font>\n"
         "</p>\n"
         "</body>\n"
         "</html>\n";
}

std::string maskDate(const std::string& page) {
  static const std::regex date("on \\d\\d-\\d\\d-\\d{4} \\d\\d:\\d\\d:\\d\\d\n");
  return std::regex_replace(page, date, "on DATE\n");
}

std::string section(const std::string& title, const std::string& image) {
  return "<div class = 'boxed'>\n"
         "<b class='sansserif'><font size='2'> " +
         title +
         " </font></b>\n"
         "<br>\n"
         "<img src = '" +
         image +
         "' style='width:660px;height:660px' >\n"
         "</div>\n";
}

const char* kOneFileNote =
    "<div class = 'boxed'>\n"
    "<font size='2' class='sansserif'> There is no phylogenetic tree for global significant motifs and their "
    "best "
    "matches for 1 motif file. </font>\n"
    "<br><br>\n"
    "</div>\n";

TEST_F(TreePagesTest, BothPagesGetTheHeaderTheirTreeAndTheFooter) {
  const std::string sections[] = {
      section("Motif Tree for Global Significant Motifs and Their Best Matches",
              "J_TEST_Global_Matching_Motif_Tree.png"),
      section("Motif Tree for Motifs in the Combined List", "J_TEST_Motif_Tree.png")};
  for (std::size_t i = 0; i < pageCases().size(); ++i) {
    const PageCase page = pageCases()[i];
    SCOPED_TRACE(page.name);
    page.header();
    EXPECT_EQ(readFile(*page.path), kHeader);
    page.section();
    page.footer();
    EXPECT_EQ(maskDate(readFile(*page.path)), kHeader + sections[i] + footer("12.3457"));
  }
}

TEST_F(TreePagesTest, OneInputFileGivesTheGlobalPageItsNote) {
  numFile = 1;
  FileNameType.resize(1);
  wtime = 0.25;
  writeHeaderMotifTreeGlobalHTMLOrPDF();
  const std::string header = readFile(reportPath(ReportId::MotifTreeGlobalHTML));
  writeMotifTreeGlobalHTMLOrPDF();
  writeFooterMotifTreeGlobalHTMLOrPDF();
  EXPECT_EQ(maskDate(readFile(reportPath(ReportId::MotifTreeGlobalHTML))),
            header + kOneFileNote + footer("0.25"));
}

TEST_F(TreePagesTest, InsertedValuesAreEscaped) {
  FileNameType = {inputFile("a<b>&'c\".txt", 2, 1)};
  jobID = "J_<'&>_";
  writeHeaderMotifTreeHTMLOrPDF();
  writeMotifTreeHTMLOrPDF();
  const std::string page = readFile(reportPath(ReportId::MotifTreeHTML));
  EXPECT_NE(page.find("<td><font size = '2'>a&lt;b&gt;&amp;&#39;c&quot;.txt</font></td>\n"),
            std::string::npos);
  EXPECT_NE(page.find("<img src = 'J_&lt;&#39;&amp;&gt;_Motif_Tree.png' "), std::string::npos);
  EXPECT_EQ(page.find("a<b"), std::string::npos);
  EXPECT_EQ(page.find("J_<"), std::string::npos);
}

TEST_F(TreePagesTest, MissingOutputFolderEndsTheRun) {
  for (const PageCase& page : pageCases()) {
    for (void (*writer)() : {page.header, page.section, page.footer}) {
      SCOPED_TRACE(page.name);
      *page.path = dir.path() + "no-such-folder/page.html";
      ::testing::internal::CaptureStdout();
      int status = -1;
      try {
        writer();
      } catch (const RunEnded& ended) {
        status = ended.status;
      }
      EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Invalid output path or output filename.");
      EXPECT_EQ(status, 1);
    }
  }
}

}  // namespace
}  // namespace korvelan
