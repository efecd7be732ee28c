#include "reports/sections.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <iomanip>
#include <set>
#include <string>
#include <vector>

#include "core/globals.h"
#include "core/report_files.h"
#include "core/report_io.h"
#include "core/utilities.h"
#include "support/test_support.h"

namespace korvelan {
namespace {

using testing::handMadeMotif;

using testing::readFile;
using testing::sourceDir;
using testing::splitLines;
using testing::TempDir;
using testing::writeFile;

const char* const kReportNames[] = {"Results.txt", "Results_Without_Motif_Details.txt",
                                    "Results_Global_Matching.txt", "HTML_Results.html",
                                    "HTML_Global_Matching_Results.html"};


// Four short motifs in two files (1, 2 in file 1; 3, 4 in file 2), or all four in one file, with
// hand-made best-match lists and rankings as result selection leaves them.
class SectionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    resetGlobals();
    jobID = "J_TEST_";
    outputPath = dir.path();
    reportPath(ReportId::Results) = outputPath + jobID + "Results.txt";
    reportPath(ReportId::ResultsWithoutMotif) = outputPath + jobID + "Results_Without_Motif_Details.txt";
    reportPath(ReportId::GlobalMatching) = outputPath + jobID + "Results_Global_Matching.txt";
    reportPath(ReportId::HTMLResults) = outputPath + jobID + "HTML_Results.html";
    reportPath(ReportId::HTMLGlobalMatching) = outputPath + jobID + "HTML_Global_Matching_Results.html";
    numTopMotif = 2;
    numBestMatches = 3;
    outputFileType = "All";
    outputFileFormat = "All";
  }
  void TearDown() override { resetGlobals(); }

  void makeRun(int files) {
    numFile = files;
    const int second = files == 2 ? 2 : 1;
    Datasets = {
        handMadeMotif(1, "alpha", 1,
              {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}, {0.25, 0.25, 0.25, 0.25}},
              {{0.25, 0.25, 0.25, 0.25}, {1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}, "ACGTN",
              "NACGT"),
        handMadeMotif(2, "beta", 1, {{0.5, 0, 0.5, 0}, {0, 0, 0, 1}, {0, 1, 0, 0}, {0.3333, 0.3333, 0.3333, 0}},
              {{0, 0.3333, 0.3333, 0.3333}, {0, 0, 1, 0}, {1, 0, 0, 0}, {0, 0.5, 0, 0.5}}, "RTCV", "BGAY"),
        handMadeMotif(3, "gamma_long", second,
              {{0, 0, 1, 0}, {0, 0, 1, 0}, {1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}},
              {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}, {0, 1, 0, 0}, {0, 1, 0, 0}}, "GGACGT",
              "ACGTCC"),
        handMadeMotif(4, "delta", second, {{0, 0, 0, 1}, {0, 0, 0, 1}, {1, 0, 0, 0}, {0.5, 0.5, 0, 0}},
              {{0, 0, 0.5, 0.5}, {0, 0, 0, 1}, {1, 0, 0, 0}, {1, 0, 0, 0}}, "TTAM", "KTAA"),
    };
    motifNameLength = 10;
    for (const char* name : kReportNames) writeFile(outputPath + jobID + name, "");

    // Placements as the scans make them: F listed first, S second, n = min(Lf, Ls - P + 1).
    const auto r1to3 = rec(1, 3, "Forward", "Y", 2, 5, 0.05, "Original Motif", "Reverse Complement");
    const auto r1to4 = rec(1, 4, "Backward", "Y", 1, 4, 0.1, "Reverse Complement", "Original Motif");
    const auto r3to1 = rec(3, 1, "Forward", "", 2, 4, 0.125, "Original Motif", "Reverse Complement");
    const auto r4to2 = rec(4, 2, "Backward", "", 1, 4, 0.6, "Reverse Complement", "Reverse Complement");
    const auto r1to2 = rec(1, 2, "Forward", "Y", 1, 4, 0.0, "Original Motif", "Original Motif");
    const auto r2to1 = rec(2, 1, "Backward", "", 2, 4, 0.0123456789, "Original Motif", "Reverse Complement");
    const auto r3to4 = rec(3, 4, "Forward", "Y", 1, 4, 0.2, "Reverse Complement", "Original Motif");
    if (files == 2) {
      global = {{r1to3, r1to4}, {}, {r3to1}, {r4to2}};
      // Motif 2 has no global match: it ranks first and is passed over without being counted.
      globalMatchingScoreResultList = {{2, 0.0}, {3, 0.125}, {1, 0.15}, {4, 0.6}};
    }
    local = {{r1to2, r1to3}, {r2to1}, {r3to1, r3to4}, {}};
    commonBestScoreResultList = {{4, 0.0}, {2, 0.0123456789}, {1, 0.05}, {3, 0.325}};
  }

  dataCombinedScore rec(std::int64_t first, std::int64_t second, const char* direction, const char* flag,
                        int position, int overlap, double score, const char* f1, const char* f2) const {
    return testing::inputAlignment({.direction = direction,
                                    .flag = flag,
                                    .first = first,
                                    .second = second,
                                    .position = position,
                                    .overlap = overlap,
                                    .key = score,
                                    .firstFormat = f1,
                                    .secondFormat = f2});
  }

  void writeAllParts() {
    writeGlobalMatchingPart(global);
    writeGlobalAndLocalPart(local);
    writeEachMotifPart(local);
  }

  std::string report(const std::string& name) const { return readFile(outputPath + jobID + name); }

  // Compares a report whole against its golden file; KORVELAN_UPDATE_GOLDEN=1 rewrites the file.
  void expectGolden(const std::string& run, const std::string& name) const {
    SCOPED_TRACE(run + "/" + name);
    testing::expectGolden("reports/golden/" + run + "/" + name, report(name));
  }

  TempDir dir;
  std::vector<bestMatchList> global, local;
};

TEST_F(SectionsTest, TwoFileRunWritesEveryPartInEveryReport) {
  makeRun(2);
  writeAllParts();
  for (const char* name : kReportNames) expectGolden("two_files", name);
}

TEST_F(SectionsTest, OneFileRunWritesTheNoteInPlaceOfTheGlobalPart) {
  makeRun(1);
  writeAllParts();
  for (const char* name : kReportNames) expectGolden("one_file", name);
  EXPECT_EQ(report("Results_Global_Matching.txt"),
            "\n" + std::string(196, '*') + "\n\n" + std::string(66, '*') +
                " Top 2 Significant Motifs - Global Matching (Highest to Lowest) " + std::string(66, '*') +
                "\n\nThere is no global matching for 1 motif file.\n\n");
}

// Each report gets exactly the parts its output type and format call for; the text of a chosen report
// does not depend on which others were chosen.
TEST_F(SectionsTest, TypeAndFormatChooseTheReports) {
  struct Case {
    const char* type;
    const char* format;
    std::set<std::string> written;
  } cases[] = {
      {"All", "Text", {"Results.txt", "Results_Without_Motif_Details.txt", "Results_Global_Matching.txt"}},
      {"All", "HTML", {"HTML_Results.html", "HTML_Global_Matching_Results.html"}},
      {"All", "PDF", {"HTML_Results.html", "HTML_Global_Matching_Results.html"}},
      {"Global-Only", "Text", {"Results_Global_Matching.txt"}},
      {"Global-Only", "HTML", {"HTML_Global_Matching_Results.html"}},
      {"Global-Only", "All", {"Results_Global_Matching.txt", "HTML_Global_Matching_Results.html"}},
      {"All", "Word", {}},
  };
  for (int files : {2, 1}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(c.type) + " " + c.format + " files " + std::to_string(files));
      SetUp();
      makeRun(files);
      outputFileType = c.type;
      outputFileFormat = c.format;
      writeAllParts();
      for (const char* name : kReportNames) {
        if (c.written.count(name))
          expectGolden(files == 2 ? "two_files" : "one_file", name);
        else
          EXPECT_EQ(report(name), "") << name;
      }
    }
  }
}

TEST_F(SectionsTest, BannerLengths) {
  makeRun(2);
  numTopMotif = 12;
  writeAllParts();
  auto starLines = [&](const std::string& name) {
    std::vector<std::size_t> lengths;
    for (const auto& line : splitLines(report(name)))
      if (!line.empty() && line[0] == '*') lengths.push_back(line.size());
    return lengths;
  };
  // Part heads (196, 197 for a two-digit count) and motif banners (one-digit P), in file order:
  // global head, 3 motifs; star rule, global-and-local head, 3 motifs; star rule, each-motif head, 3.
  const std::vector<std::size_t> results = {197, 191, 191, 191, 196, 196, 195,
                                            195, 195, 196, 196, 193, 193, 193};
  EXPECT_EQ(starLines("Results.txt"), results);
  const std::vector<std::size_t> withoutMotif = {197, 191, 191, 191, 196, 196, 185,
                                                 185, 185, 196, 196, 193, 193, 193};
  EXPECT_EQ(starLines("Results_Without_Motif_Details.txt"), withoutMotif);
  EXPECT_EQ(starLines("Results_Global_Matching.txt"), (std::vector<std::size_t>{197, 191, 191, 191}));
}

TEST_F(SectionsTest, ReverseLabelIsMisspeltOnlyInTheEachMotifPartOfResults) {
  makeRun(2);
  writeAllParts();
  auto count = [&](const std::string& name, const std::string& text) {
    std::size_t n = 0;
    for (const auto& line : splitLines(report(name))) n += line == text;
    return n;
  };
  // Each-motif sections: 3 in Results.txt; every block and every other section says "Reverse".
  EXPECT_EQ(count("Results.txt", "Reserve complement motif"), 3u);
  EXPECT_EQ(count("Results_Global_Matching.txt", "Reserve complement motif"), 0u);
}

// The matrices of a motif section leave fixed notation with six decimals on the text report, so its
// scores and any later number (the footer's run time) print that way; the other reports keep the
// default notation.
TEST_F(SectionsTest, MatrixPrintoutNotationCarriesOver) {
  makeRun(2);
  writeGlobalMatchingPart(global);
  for (std::ofstream* stream : {&reportStream(ReportId::Results), &reportStream(ReportId::GlobalMatching)}) {
    EXPECT_TRUE(stream->flags() & std::ios::fixed);
    EXPECT_EQ(stream->precision(), 6);
  }
  for (std::ofstream* stream :
       {&reportStream(ReportId::ResultsWithoutMotif), &reportStream(ReportId::HTMLResults),
        &reportStream(ReportId::HTMLGlobalMatching)}) {
    EXPECT_FALSE(stream->flags() & std::ios::floatfield);
    EXPECT_EQ(stream->precision(), 6);
  }
  openReport(reportStream(ReportId::GlobalMatching), reportPath(ReportId::GlobalMatching), OpenMode::Append);
  reportStream(ReportId::GlobalMatching) << 3.25 << "\n";
  closeReport(reportStream(ReportId::GlobalMatching));
  const auto lines = splitLines(report("Results_Global_Matching.txt"));
  EXPECT_EQ(lines.back(), "3.250000");
}

TEST_F(SectionsTest, HtmlSectionsEscapeInsertedValues) {
  makeRun(2);
  Datasets[2].motifName = "g<&>'\"";
  Datasets[2].consensus = "G&A";
  jobID = "J_<T>_";
  outputFileFormat = "HTML";
  outputFileType = "Global-Only";
  writeGlobalMatchingPart(global);
  const std::string page = readFile(reportPath(ReportId::HTMLGlobalMatching));
  EXPECT_NE(page.find("<td><b>Motif name: g&lt;&amp;&gt;&#39;&quot;</b></td>"), std::string::npos);
  EXPECT_NE(page.find("Consensus sequence: G&amp;A</font></td>"), std::string::npos);
  EXPECT_NE(page.find("<img src = 'J_&lt;T&gt;_image/J_&lt;T&gt;_M3.jpeg'name = 'Image3'"),
            std::string::npos);
  EXPECT_EQ(page.find("g<&>"), std::string::npos);
  EXPECT_EQ(page.find("J_<T>_"), std::string::npos);
}

TEST_F(SectionsTest, AFailingReportEndsTheRun) {
  makeRun(2);
  // A part head that cannot open its file.
  reportPath(ReportId::Results) = outputPath + "missing/" + jobID + "Results.txt";
  ::testing::internal::CaptureStdout();
  try {
    writeGlobalMatchingPart(global);
    ADD_FAILURE() << "the run went on";
  } catch (const RunEnded& ended) {
    EXPECT_EQ(ended.status, 1);
  }
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Invalid output path or output filename.");

  // A report whose writes fail (a full disk) is no silent gap either.
  if (!testing::fileExists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  reportPath(ReportId::Results) = outputPath + jobID + "Results.txt";
  reportPath(ReportId::HTMLResults) = "/dev/full";
  ::testing::internal::CaptureStdout();
  EXPECT_THROW(writeGlobalAndLocalPart(local), RunEnded);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Invalid output path or output filename.");
}

}  // namespace
}  // namespace korvelan
