#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "core/globals.h"
#include "core/report_files.h"
#include "core/utilities.h"
#include "reports/framing.h"
#include "support/test_support.h"

namespace korvelan {
namespace {

using testing::readFile;
using testing::splitLines;
using testing::TempDir;
using testing::writeFile;

struct PageCase {
  const char* name;
  ReportId page;
  bool detailed;  // the HTML_Results.html page
};

std::vector<PageCase> reportPages() {
  return {
      {"global", ReportId::HTMLGlobalMatching, false},
      {"globalDatabase", ReportId::DatabaseMatchingGlobalMatchingHTML, false},
      {"detailed", ReportId::HTMLResults, true},
      {"detailedDatabase", ReportId::DatabaseMatchingHTML, false},
  };
}

std::vector<PageCase> treePages() {
  return {
      {"globalTree", ReportId::MotifTreeGlobalHTML, true},
      {"tree", ReportId::MotifTreeHTML, true},
  };
}

// Three files, the second without motifs; ten top motifs, five best matches, the all-taxa JASPAR
// collection, trees, type "All", format "HTML".
class HtmlFramingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    resetGlobals();
    testing::Answers answers;
    answers.files = {"set1.txt", "empty.txt", "b.meme"};
    answers.topMotifs = 10;
    answers.bestMatches = 5;
    answers.collection = 1;
    answers.tree = "Y";
    answers.format = "HTML";
    testing::applyAnswers(answers);
    FileNameType[0].motifCount = 12;
    FileNameType[2].motifCount = 3;
    for (const PageCase& page : reportPages()) reportPath(page.page) = dir.path() + page.name + ".html";
    for (const PageCase& page : treePages()) reportPath(page.page) = dir.path() + page.name + ".html";
  }
  void TearDown() override { resetGlobals(); }

  TempDir dir;
};

std::string expectedHeader(bool detailed) {
  std::string text =
      "<html>\n"
      "<head>\n"
      "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\" />\n"
      "<title>KORVELAN Results</title>\n"
      "<style type = 'text/css'>\n"
      ".boxed {<br>&nbsp;&nbsp; border: 2px solid #B0B0B0 ; padding: 7px;<br>}\n"
      ".sansserif {font-family: Verdana}\n";
  if (detailed) text += ".textshadow {text-shadow: 1px 1px 1px #333;}\n";
  text +=
      "html{-webkit-font-smoothing: antialiased;}\n"
      "@media print{@page {size: landscape}}\n"
      "@page { @bottom-right { content: 'Page ' counter(page) ' of ' counter(pages); } }\n"
      "</style>\n"
      "</head>\n"
      "<body>\n"
      "<h1 class='sansserif' style='text-shadow: 2px 2px 2px #999'> KORVELAN - KORVELAN Detection Tool </h1>\n"
      "<p><b class='sansserif'>Version 2.2 </b></p>\n"
      "<div><h3 class='sansserif'> INPUT </h3></div>\n"
      "<div class = 'boxed'>\n"
      "<b class='sansserif'><font size = '2'>Input Parameters </font></b>\n"
      "<table class='sansserif' width = '600' border = '0' cellSpacing = '1' cellPadding = '1'>\n"
      "<col width= '300'>\n"
      "<col width= '300'>\n"
      "<tr>\n<td><font size = '2'>Number of files: </font></td>\n<td><font size = '2'>3</font></td>\n</tr>\n"
      "<tr>\n<td><font size = '2'>Number of top significant motifs: </font></td>\n"
      "<td><font size = '2'>10</font></td>\n</tr>\n"
      "<tr>\n<td><font size = '2'>Number of best matches: </font></td>\n<td><font size = '2'>5</font></td>\n</tr>\n"
      "<tr>\n<td><font size = '2'>Similarity cutoff >= </font></td>\n<td><font size = '2'>0.75</font></td>\n</tr>\n"
      "<tr>\n<td><font size = '2'>Matching motif database: </font></td>\n"
      "<td><font size = '2'>Jaspar Core</font></td>\n</tr>\n"
      "<tr>\n<td><font size = '2'>Motif tree: </font></td>\n<td><font size = '2'>Yes</font></td>\n</tr>\n"
      "<tr>\n<td><font size = '2'>Combined similar motifs: </font></td>\n<td><font size = '2'>No</font></td>\n</tr>\n"
      "<tr>\n<td><font size = '2'>Output file type: </font></td>\n<td><font size = '2'>All</font></td>\n</tr>\n"
      "<tr>\n<td><font size = '2'>Output file format: </font></td>\n<td><font size = '2'>HTML</font></td>\n</tr>\n"
      "</table>\n"
      "<br>\n";
  text += detailed ? "<b class='sansserif' ><font size = '2'> Input files and motif counts </font></b>\n"
                   : "<b class='sansserif'><font size = '2'> Input files and motif counts </font></b>\n";
  text +=
      "<table class='sansserif' width='700' border = '0' cellSpacing = '1' cellPadding = '1' >\n"
      "<col width= '450'>\n"
      "<col width= '150'>\n"
      "<col width= '150'>\n"
      "<tr>\n"
      "<td><b><font size = '2'>File name</font></b></td>\n"
      "<td><b><font size = '2'>Count of motifs</font></b></td>\n"
      "<td><b><font size = '2'>Dataset number </font></b></td>\n"
      "</tr>\n"
      "<tr>\n<td><font size = '2'>set1.txt</font></td>\n<td><font size = '2'>12</font></td>\n"
      "<td><font size = '2'>1</font></td>\n</tr>\n"
      "<tr>\n<td><font size = '2'>empty.txt</font></td>\n<td><font size = '2'>0</font></td>\n"
      "<td><font size = '2'>2</font></td>\n</tr>\n"
      "<tr>\n<td><font size = '2'>b.meme</font></td>\n<td><font size = '2'>3</font></td>\n"
      "<td><font size = '2'>3</font></td>\n</tr>\n"
      "</table>\n"
      "</div>\n"
      "<br>\n"
      "<h3 class='sansserif'> RESULTS </h3>\n";
  return text;
}

// The page's text with the footer's creation date replaced by a fixed mark.
std::string maskDate(const std::string& page) {
  static const std::regex date("on \\d\\d-\\d\\d-\\d{4} \\d\\d:\\d\\d:\\d\\d");
  return std::regex_replace(page, date, "on DATE");
}

std::string expectedFooter(const std::string& runtime) {
  return "</div>\n"
         "<p class='sansserif'>\n"
         "<font size = '2' >\n"
         "Results created by KORVELAN on DATE</font>\n"
         "<br>\n"
         "<font size = '2' >\n"
         "Runtime: " +
         runtime +
         " seconds</font>\n"
         "</p>\n"
         "<p class='sansserif'>\n"
         "<font size = '2' >\n"
         "KORVELAN is written by Orsabel</font>\n"
         "<br>\n"
         "<font size = '2' >\n"
         "Motif logo generated by <a href='http://weblogo.threeplusone.com/' target ='_blank'> weblogo</a></font>\n"
         "</p>\n"
         "</body>\n"
         "</html>\n";
}

// Runs a writer that must end the run and returns what it printed.
std::string expectRunEnds(void (*writer)(ReportId), ReportId page) {
  ::testing::internal::CaptureStdout();
  int status = -1;
  try {
    writer(page);
  } catch (const RunEnded& ended) {
    status = ended.status;
  }
  const std::string printed = ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(status, 1);
  return printed;
}

TEST_F(HtmlFramingTest, EachPageGetsTheWholeHeaderAndThenTheFooter) {
  wtime = 12.5;
  for (const PageCase& page : reportPages()) {
    SCOPED_TRACE(page.name);
    writeReportHeader(page.page);
    const std::string header = readFile(reportPath(page.page));
    EXPECT_EQ(header, expectedHeader(page.detailed));
    EXPECT_EQ(splitLines(header).size(), page.detailed ? 89u : 88u);

    writeReportFooter(page.page);
    EXPECT_EQ(maskDate(readFile(reportPath(page.page))), expectedHeader(page.detailed) + expectedFooter("12.5"));
  }
}

TEST_F(HtmlFramingTest, ParameterCellsFollowTheSettings) {
  struct Case {
    std::string dbName, cluster, combined;
    double cutoff;
    std::string dbCell, clusterCell, combinedCell, cutoffCell;
  };
  const Case cases[] = {
      {"N", "N", "Y", 0.7, "None", "No", "Yes", "0.7"},
      {"nonsense", "y", "YES", 0.85, "None", "No", "No", "0.85"},
      {"uniprobeParasite", "Y", "Y", 0.5, "UniProbe Parasite (Plasmodium Falciparum)", "Yes", "Yes", "0.5"},
      {"transfac", "", "", 0.9, "Transfac", "No", "No", "0.9"},
  };
  auto row = [](const std::string& label, const std::string& value) {
    return "<tr>\n<td><font size = '2'>" + label + "</font></td>\n<td><font size = '2'>" + value +
           "</font></td>\n</tr>\n";
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dbName);
    DBName = c.dbName;
    motifCluster = c.cluster;
    combinedMotifFlag = c.combined;
    simCutoff = c.cutoff;
    writeReportHeader(ReportId::HTMLGlobalMatching);
    const std::string page = readFile(reportPath(ReportId::HTMLGlobalMatching));
    EXPECT_NE(page.find(row("Matching motif database: ", c.dbCell)), std::string::npos);
    EXPECT_NE(page.find(row("Motif tree: ", c.clusterCell)), std::string::npos);
    EXPECT_NE(page.find(row("Combined similar motifs: ", c.combinedCell)), std::string::npos);
    EXPECT_NE(page.find(row("Similarity cutoff >= ", c.cutoffCell)), std::string::npos);
  }
}

TEST_F(HtmlFramingTest, InsertedNamesAreEscaped) {
  FileNameType = {{"a<b>&'c\".txt", 4, 2, 1}};
  numFile = 1;
  for (const PageCase& page : {reportPages()[2], treePages()[1]}) {
    SCOPED_TRACE(page.name);
    writeReportHeader(page.page);
    const std::string text = readFile(reportPath(page.page));
    EXPECT_NE(text.find("<td><font size = '2'>a&lt;b&gt;&amp;&#39;c&quot;.txt</font></td>\n"), std::string::npos);
    EXPECT_EQ(text.find("a<b"), std::string::npos);
  }
}

TEST_F(HtmlFramingTest, FooterWritesTheRunTimeInTheDefaultNumberForm) {
  const struct {
    double seconds;
    const char* text;
  } cases[] = {{12.5, "12.5"}, {3.14159265, "3.14159"}, {0.00005, "5e-05"}, {2e6, "2e+06"}, {3.0, "3"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    wtime = c.seconds;
    writeFile(reportPath(ReportId::HTMLResults), "<h3 class='sansserif'> RESULTS </h3>\n");
    writeReportFooter(ReportId::HTMLResults);
    EXPECT_EQ(maskDate(readFile(reportPath(ReportId::HTMLResults))),
              "<h3 class='sansserif'> RESULTS </h3>\n" + expectedFooter(c.text));
  }
}

TEST_F(HtmlFramingTest, MissingOutputFolderEndsTheRun) {
  std::vector<PageCase> pages = reportPages();
  for (const PageCase& tree : treePages()) pages.push_back(tree);
  for (const PageCase& page : pages) {
    SCOPED_TRACE(page.name);
    reportPath(page.page) = dir.path() + "no-such-folder/page.html";
    EXPECT_EQ(expectRunEnds(writeReportHeader, page.page), "Invalid output path or output filename.");
    EXPECT_EQ(expectRunEnds(writeReportFooter, page.page), "Invalid output path or output filename.");
    EXPECT_FALSE(testing::fileExists(reportPath(page.page)));
  }
}

// A page that opens but cannot be written (a full disk) ends the run like one that does not open,
// and leaves its stream ready for the next open.
TEST_F(HtmlFramingTest, UnwritablePageEndsTheRun) {
  reportPath(ReportId::HTMLResults) = "/dev/full";
  EXPECT_EQ(expectRunEnds(writeReportHeader, ReportId::HTMLResults),
            "Invalid output path or output filename.");
  EXPECT_EQ(expectRunEnds(writeReportFooter, ReportId::HTMLResults),
            "Invalid output path or output filename.");
  EXPECT_FALSE(reportStream(ReportId::HTMLResults).is_open());
  reportPath(ReportId::HTMLResults) = dir.path() + "results.html";
  writeReportHeader(ReportId::HTMLResults);
  EXPECT_EQ(readFile(reportPath(ReportId::HTMLResults)), expectedHeader(true));
}


// The tree pages' frame, with two files (the second without motifs), seven top motifs, three best
// matches, cutoff 0.85, no collection, trees, type "All", format "PDF".
class TreePageFramesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    resetGlobals();
    testing::Answers answers;
    answers.files = {"set1.txt", "empty.txt"};
    answers.topMotifs = 7;
    answers.cutoff = "0.85";
    answers.tree = "Y";
    answers.format = "PDF";
    testing::applyAnswers(answers);
    FileNameType[0].motifCount = 12;
    for (const PageCase& page : treePages()) reportPath(page.page) = dir.path() + page.name + ".html";
    wtime = 12.3456789;
  }
  void TearDown() override { resetGlobals(); }

  TempDir dir;
};

const char* kTreeHeader =
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

std::string treeFooter(const std::string& runtime) {
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

// Both tree pages: larger headings, a wider parameter table, no landscape print rule, "Dataset #",
// and a footer that closes no box of its own.
TEST_F(TreePageFramesTest, BothTreePagesGetTheTreeHeaderAndFooter) {
  for (const PageCase& page : treePages()) {
    SCOPED_TRACE(page.name);
    writeReportHeader(page.page);
    EXPECT_EQ(readFile(reportPath(page.page)), kTreeHeader);
    writeReportFooter(page.page);
    EXPECT_EQ(maskDate(readFile(reportPath(page.page))), kTreeHeader + treeFooter("12.3457"));
  }
}

}  // namespace
}  // namespace korvelan
