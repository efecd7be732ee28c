#include "reports/match_blocks.h"

#include <gtest/gtest.h>

#include <iomanip>
#include <sstream>
#include <stdexcept>
#include <string>

#include "core/globals.h"
#include "core/report_files.h"
#include "core/report_io.h"
#include "core/utilities.h"
#include "reports/matrix_printout.h"
#include "support/test_support.h"

namespace korvelan {
namespace {

using testing::handMadeMotif;

using testing::readFile;
using testing::TempDir;
using testing::writeFile;

TEST(MatrixPrintout, WritesTwelveCharacterFixedCells) {
  std::ostringstream out;
  matrixPrintout(out, {{0.25, 0.25, 0.25, 0.25}, {0.3333, 0.1234567, 1, 0}});
  EXPECT_EQ(out.str(),
            "0.250000    0.250000    0.250000    0.250000    \n"
            "0.333300    0.123457    1.000000    0.000000    \n");
  // The notation stays on the stream for every later number of the report.
  out.str("");
  out << 0.5 << ' ' << 0.0 << ' ' << 12.25;
  EXPECT_EQ(out.str(), "0.500000 0.000000 12.250000");
}

TEST(MatrixPrintout, NoRowsWritesNothingAndKeepsTheFormat) {
  std::ostringstream out;
  matrixPrintout(out, {});
  out << 0.5;
  EXPECT_EQ(out.str(), "0.5");
}

std::string pad(const std::string& text, std::size_t width) {
  return text.size() >= width ? text : text + std::string(width - text.size(), ' ');
}


class MatchBlocksTest : public ::testing::Test {
 protected:
  void SetUp() override {
    resetGlobals();
    jobID = "J_TEST_";
    outputPath = dir.path();
    Datasets.push_back(handMadeMotif(1, "query1", 1,
                                     {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}, {0.25, 0.25, 0.25, 0.25}},
                                     {{0.25, 0.25, 0.25, 0.25}, {1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}},
                                     "ACGTN", "NACGT"));
    Datasets.push_back(handMadeMotif(2, "partner", 2, {{0.5, 0.5, 0, 0}, {0, 0, 0, 1}, {0.3333, 0.3333, 0.3333, 0}, {0, 0, 1, 0}},
                                     {{0, 1, 0, 0}, {0.3333, 0.3333, 0.3333, 0}, {1, 0, 0, 0}, {0, 0.5, 0.5, 0}},
                                     "MTVG", "CVAS"));
    Datasets.push_back(handMadeMotif(3, "p3", 2, {{1, 0, 0, 0}, {1, 0, 0, 0}, {0, 0, 1, 0}, {0, 0, 1, 0}},
                                     {{0, 1, 0, 0}, {0, 1, 0, 0}, {0, 0, 0, 1}, {0, 0, 0, 1}}, "AAGG", "CCTT"));
    motifNameLength = 7;
    reportPath(ReportId::Results) = outputPath + jobID + "Results.txt";
    reportPath(ReportId::ResultsWithoutMotif) = outputPath + jobID + "Results_Without_Motif_Details.txt";
    reportPath(ReportId::GlobalMatching) = outputPath + jobID + "Results_Global_Matching.txt";
    reportPath(ReportId::HTMLResults) = outputPath + jobID + "HTML_Results.html";
    reportPath(ReportId::HTMLGlobalMatching) = outputPath + jobID + "HTML_Global_Matching_Results.html";
    for (const auto* p : {&reportPath(ReportId::Results), &reportPath(ReportId::ResultsWithoutMotif), &reportPath(ReportId::GlobalMatching),
                          &reportPath(ReportId::HTMLResults), &reportPath(ReportId::HTMLGlobalMatching)})
      writeFile(*p, "HEAD\n");
  }
  void TearDown() override { resetGlobals(); }

  // Query motif 1 against motif 2 (forward, scan order) and motif 3 (backward, listed swapped).
  bestMatchList twoMatches() const {
    dataCombinedScore a;
    a.direction = "Forward";
    a.firstMotifID = 1;
    a.secondMotifID = 2;
    a.scanOrderFlag = "Y";
    a.firstMotifName = Datasets[0].motifName;
    a.secondMotifName = Datasets[1].motifName;
    a.firstDatasetNum = 1;
    a.secondDatasetNum = 2;
    a.position = 2;
    a.numOverlap = 3;
    a.similarityScore = 0.5;
    a.firstMatchingFormat = "Original Motif";
    a.secondMatchingFormat = "Reverse Complement";
    dataCombinedScore b = a;
    b.direction = "Backward";
    b.secondMotifID = 3;
    b.secondMotifName = Datasets[2].motifName;
    b.scanOrderFlag = "";
    // Dataset numbers stay in scan order like the formats, so the matched motif's file is only
    // found in Datasets.
    b.firstDatasetNum = 2;
    b.secondDatasetNum = 1;
    b.position = 1;
    b.numOverlap = 4;
    b.similarityScore = 0.0123456789;
    return {a, b};
  }

  // The stream as a motif section leaves it: fixed notation after its matrices.
  void leaveFixedNotation(std::ofstream& stream) { stream << std::fixed << std::setprecision(6); }

  TempDir dir;
};

const std::string kHeading = pad("Dataset #", 15) + pad("Motif ID", 15) + pad("Motif name", 17) +
                             pad("Matching format of first motif", 40) + pad("Matching format of second motif", 40) +
                             pad("Direction", 15) + pad("Position #", 15) + pad("# of overlap", 15) +
                             "Similarity score\n";
const std::string kRule = std::string(196, '-') + "\n";

std::string valueRow(const std::string& dataset, const std::string& id, const std::string& name,
                     const std::string& f1, const std::string& f2, const std::string& dir, const std::string& pos,
                     const std::string& overlap, const std::string& score) {
  return pad(dataset, 15) + pad(id, 15) + pad(name, 17) + pad(f1, 40) + pad(f2, 40) + pad(dir, 15) + pad(pos, 15) +
         pad(overlap, 15) + pad(score, 15) + "\n";
}

const std::string kTextBlocks =
    kHeading + valueRow("2", "2", "partner", "Original Motif", "Reverse Complement", "Forward", "2", "3", "0.500000") +
    "\n"
    "Original motif\n"
    "0.500000    0.500000    0.000000    0.000000    \n"
    "0.000000    0.000000    0.000000    1.000000    \n"
    "0.333300    0.333300    0.333300    0.000000    \n"
    "0.000000    0.000000    1.000000    0.000000    \n"
    "Consensus sequence: MTVG\n"
    "\n"
    "Reverse complement motif\n"
    "0.000000    1.000000    0.000000    0.000000    \n"
    "0.333300    0.333300    0.333300    0.000000    \n"
    "1.000000    0.000000    0.000000    0.000000    \n"
    "0.000000    0.500000    0.500000    0.000000    \n"
    "Consensus sequence: CVAS\n"
    "\n"
    "Alignment:\n"
    "CVAS--\n"
    "-ACGTN\n"
    "\n" +
    kRule + kHeading +
    valueRow("2", "3", "p3", "Original Motif", "Reverse Complement", "Backward", "1", "4", "0.012346") +
    "\n"
    "Original motif\n"
    "1.000000    0.000000    0.000000    0.000000    \n"
    "1.000000    0.000000    0.000000    0.000000    \n"
    "0.000000    0.000000    1.000000    0.000000    \n"
    "0.000000    0.000000    1.000000    0.000000    \n"
    "Consensus sequence: AAGG\n"
    "\n"
    "Reverse complement motif\n"
    "0.000000    1.000000    0.000000    0.000000    \n"
    "0.000000    1.000000    0.000000    0.000000    \n"
    "0.000000    0.000000    0.000000    1.000000    \n"
    "0.000000    0.000000    0.000000    1.000000    \n"
    "Consensus sequence: CCTT\n"
    "\n"
    "Alignment:\n"
    "-AAGG\n"  // listed swapped: motif 3 is the scan's first motif, drawn by the first format
    "NACGT\n"  // the query by the second
    "\n" +
    kRule;

TEST_F(MatchBlocksTest, TextBlocksWithMatrices) {
  leaveFixedNotation(reportStream(ReportId::Results));
  writeMatchBlocks(ReportId::Results, twoMatches(), 1);
  EXPECT_EQ(readFile(reportPath(ReportId::Results)), "HEAD\n" + kTextBlocks);

  // The global-matching report gets the same blocks.
  leaveFixedNotation(reportStream(ReportId::GlobalMatching));
  writeMatchBlocks(ReportId::GlobalMatching, twoMatches(), 1);
  EXPECT_EQ(readFile(reportPath(ReportId::GlobalMatching)), "HEAD\n" + kTextBlocks);
}

TEST_F(MatchBlocksTest, TextBlocksWithoutMotifKeepGeneralNotation) {
  bestMatchList list = twoMatches();
  list[0].similarityScore = 0.0;
  writeMatchBlocks(ReportId::ResultsWithoutMotif, list, 1);
  EXPECT_EQ(readFile(reportPath(ReportId::ResultsWithoutMotif)),
            "HEAD\n" + kHeading +
                valueRow("2", "2", "partner", "Original Motif", "Reverse Complement", "Forward", "2", "3", "0") +
                "\n"
                "Consensus sequence (original motif): MTVG\n"
                "Consensus sequence (reverse complement motif): CVAS\n"
                "\n"
                "Alignment:\n"
                "CVAS--\n"
                "-ACGTN\n"
                "\n" +
                kRule + kHeading +
                valueRow("2", "3", "p3", "Original Motif", "Reverse Complement", "Backward", "1", "4", "0.0123457") +
                "\n"
                "Consensus sequence (original motif): AAGG\n"
                "Consensus sequence (reverse complement motif): CCTT\n"
                "\n"
                "Alignment:\n"
                "-AAGG\n"
                "NACGT\n"
                "\n" +
                kRule);
}

// The score takes the stream's notation as it stands; the block's own printouts leave it fixed.
TEST_F(MatchBlocksTest, BlockPrintoutsLeaveTheStreamFixed) {
  writeMatchBlocks(ReportId::Results, twoMatches(), 1);
  const std::string text = readFile(reportPath(ReportId::Results));
  EXPECT_NE(text.find(pad("0.5", 15) + "\n"), std::string::npos);       // before any printout
  EXPECT_NE(text.find(pad("0.012346", 15) + "\n"), std::string::npos);  // after the first block
  // A later writer of the same report (the footer's run time) prints in the same state.
  openReport(reportStream(ReportId::Results), reportPath(ReportId::Results), OpenMode::Append);
  reportStream(ReportId::Results) << 2.5 << "\n";
  closeReport(reportStream(ReportId::Results));
  EXPECT_EQ(readFile(reportPath(ReportId::Results)).substr(readFile(reportPath(ReportId::Results)).size() - 9), "2.500000\n");
}

const ReportId kDatasetReports[] = {ReportId::Results, ReportId::ResultsWithoutMotif,
                                    ReportId::GlobalMatching, ReportId::HTMLResults,
                                    ReportId::HTMLGlobalMatching};

TEST_F(MatchBlocksTest, EmptyListLeavesTheReportAsItWas) {
  for (ReportId report : kDatasetReports) {
    writeMatchBlocks(report, {}, 1);
    EXPECT_EQ(readFile(reportPath(report)), "HEAD\n") << reportName(report);
  }
}

// A query ID that names no input motif is a broken invariant: it throws before the report is opened,
// so the report stays as it was and its stream closed.
TEST_F(MatchBlocksTest, QueryNamingNoInputMotifLeavesTheReportUntouched) {
  for (ReportId report : kDatasetReports)
    for (std::int64_t motif : {0, -1, 4}) {
      EXPECT_THROW(writeMatchBlocks(report, twoMatches(), motif), std::out_of_range)
          << reportName(report) << " " << motif;
      EXPECT_EQ(readFile(reportPath(report)), "HEAD\n") << reportName(report) << " " << motif;
      EXPECT_FALSE(reportStream(report).is_open()) << reportName(report);
    }
}

std::string htmlCell(const std::string& text) { return "<td><font size = '2'>" + text + "</font></td>\n"; }
std::string htmlRow(const std::string& label, const std::string& value) {
  return "<tr>\n" + htmlCell(label) + htmlCell(value) + "</tr>\n";
}

std::string htmlBlock(const std::string& dataset, const std::string& id, const std::string& name,
                      const std::string& direction, const std::string& position, const std::string& overlap,
                      const std::string& score,
                      const std::string& line1, const std::string& line2, const std::string& consensus,
                      const std::string& revConsensus, const std::string& job = "J_TEST_") {
  return "<table class='sansserif' width='600' border = '0' cellSpacing = '1' cellPadding = '1' >\n"
         "<col width= '300'>\n"
         "<col width= '300'>\n" +
         htmlRow("Dataset #:", dataset) + htmlRow("Motif ID:", id) + htmlRow("Motif name:", name) +
         htmlRow("Matching format of first motif:", "Original Motif") +
         htmlRow("Matching format of second motif:", "Reverse Complement") + htmlRow("Direction:", direction) +
         htmlRow("Position number:", position) + htmlRow("Number of overlap:", overlap) +
         htmlRow("Similarity score:", score) +
         "</table>\n"
         "<br>\n"
         "<font face='Arial' size = '2'>Alignment:</font>\n"
         "<br>\n"
         "<font face = 'Courier New'>" +
         line1 +
         "</font>\n"
         "<br>\n"
         "<font face = 'Courier New'>" +
         line2 +
         "</font>\n"
         "<p>\n"
         "<table class='sansserif' width='1000' border = '0' cellSpacing = '1' cellPadding = '1' >\n"
         "<col width= '500'>\n"
         "<col width= '500'>\n"
         "<tr>\n" +
         htmlCell("Original motif&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;Consensus sequence: " + consensus) + "\n" +
         htmlCell("Reverse complement motif&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;Consensus sequence: " + revConsensus) +
         "\n"
         "</tr>\n"
         "<tr>\n"
         "<td></td>\n"
         "<td></td>\n"
         "</tr>\n"
         "<tr>\n"
         "<td><img src = '" +
         job + "image/" + job + "M" + id + ".jpeg'name = 'Image" + id +
         "' align = 'left' width = '350' height = '100' border = '0'> </td>\n"
         "<td><img src = '" +
         job + "image/" + job + "M" + id + "RevComp.jpeg'name = 'ImageRevComp" + id +
         "' align = 'left' width = '350' height = '100' border = '0'> </td>\n"
         "</tr>\n"
         "</table>\n"
         "</p>\n"
         "<p>\n"
         "<hr>\n"
         "</p>\n";
}

TEST_F(MatchBlocksTest, HtmlBlocks) {
  // A page stream keeps general notation even after a text report's printouts.
  leaveFixedNotation(reportStream(ReportId::Results));
  const std::string expected =
      "HEAD\n" + htmlBlock("2", "2", "partner", "Forward", "2", "3", "0.5", "CVAS--", "-ACGTN", "MTVG", "CVAS") +
      htmlBlock("2", "3", "p3", "Backward", "1", "4", "0.0123457", "-AAGG", "NACGT", "AAGG", "CCTT");
  writeMatchBlocks(ReportId::HTMLResults, twoMatches(), 1);
  EXPECT_EQ(readFile(reportPath(ReportId::HTMLResults)), expected);
  writeMatchBlocks(ReportId::HTMLGlobalMatching, twoMatches(), 1);
  EXPECT_EQ(readFile(reportPath(ReportId::HTMLGlobalMatching)), expected);
}

TEST_F(MatchBlocksTest, HtmlBlocksEscapeEveryInsertedValue) {
  Datasets[1].motifName = "a&b<c>\"d'";
  Datasets[1].consensus = "M<G";
  Datasets[1].revCompConsensus = "C&S";
  jobID = "J_'x'_";
  bestMatchList list = {twoMatches()[0]};
  list[0].secondMotifName = Datasets[1].motifName;
  writeMatchBlocks(ReportId::HTMLGlobalMatching, list, 1);
  EXPECT_EQ(readFile(reportPath(ReportId::HTMLGlobalMatching)),
            "HEAD\n" + htmlBlock("2", "2", "a&amp;b&lt;c&gt;&quot;d&#39;", "Forward", "2", "3", "0.5", "C&amp;S--",
                                 "-ACGTN", "M&lt;G", "C&amp;S", "J_&#39;x&#39;_"));
}

TEST_F(MatchBlocksTest, UnopenableOrUnwritableReportEndsTheRun) {
  reportPath(ReportId::Results) = outputPath + "missing/" + jobID + "Results.txt";
  ::testing::internal::CaptureStdout();
  try {
    writeMatchBlocks(ReportId::Results, twoMatches(), 1);
    ADD_FAILURE() << "the run went on";
  } catch (const RunEnded& ended) {
    EXPECT_EQ(ended.status, 1);
  }
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Invalid output path or output filename.");

  if (!testing::fileExists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  reportPath(ReportId::HTMLResults) = "/dev/full";
  ::testing::internal::CaptureStdout();
  EXPECT_THROW(writeMatchBlocks(ReportId::HTMLResults, twoMatches(), 1), RunEnded);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Invalid output path or output filename.");
}

}  // namespace
}  // namespace korvelan
