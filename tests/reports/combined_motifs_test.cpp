// The bodies of the combined-motif reports, written from hand-made merge chains.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/globals.h"
#include "core/report_files.h"
#include "reports/combined_motifs.h"
#include "reports/framing.h"
#include "support/test_support.h"

namespace korvelan {
namespace {

using testing::readFile;
using testing::rowsOf;
using testing::TempDir;
using testing::writeFile;

combinedMatrices entry(const char* flag, const std::string& first, const std::string& second,
                       const std::string& combined, const char* line1, const char* line2) {
  combinedMatrices e;
  e.firstMotifID = 7;
  e.secondMotifID = 9;
  e.firstMotifName = "MA0004.1 Arnt";
  e.secondMotifName = "ebox_sites";
  e.firstMatchingFormat = "Original Motif";
  e.secondMatchingFormat = "Reverse Complement";
  e.scanOrderFlag = "Y";
  e.direction = "Forward";
  e.position = 2;
  e.numOverlap = 5;
  e.firstMotifMatrix = rowsOf(first);
  e.secondMotifMatrix = rowsOf(second);
  e.combinedMotifMatrix = rowsOf(combined);
  e.mergedFlag = flag;
  e.firstAlignment = line1;
  e.secondAlignment = line2;
  return e;
}

std::string cell(const std::string& text, std::size_t width) {
  return text.size() >= width ? text : text + std::string(width - text.size(), ' ');
}

const std::string dashes(196, '-');

TEST(CombinedMotifReports, SectionsOfAcceptedAndRejectedSteps) {
  resetGlobals();
  TempDir dir;
  reportPath(ReportId::CombinedMatrixBestMatches) = dir.path() + "best.txt";
  writeFile(reportPath(ReportId::CombinedMatrixBestMatches), "header\n");
  combinedMatrices rejected = entry("N", "CACGTG", "CACGTG", "CACGTG", "", "");
  rejected.direction = "Backward";
  rejected.position = 1;
  rejected.numOverlap = 6;
  mergedMotifBestMatches = {
      {entry("Y", "ACGTAC", "CGTACG", "ACGTACG", "ACGTAC-", "-CGTACG"), rejected},
      {rejected},  // nothing accepted: one empty line
  };
  WriteCombinedMotifsBestMatches();
  std::string expected = "header\n";
  expected += std::string(63, '*') + " Combined Motifs for Top Best Match Motif ID 7 and Its Best Matches " +
              std::string(62, '*') + "\n\n" + dashes + "\n";
  expected += cell("1st motif name", 19) + cell("2nd motif name", 19) + cell("1st format", 23) +
              cell("2nd format", 23) + cell("1st motif", 19) + cell("2nd motif", 19) +
              cell("Combined motif", 19) + "\n" + dashes + "\n";
  expected += cell("MA0004.1 Arnt", 19) + cell("ebox_sites", 19) + cell("Original Motif", 23) +
              cell("Reverse Complement", 23) + cell("ACGTAC", 19) + cell("CGTACG", 19) + cell("ACGTACG", 19) +
              "\n";
  expected +=
      "\nDirection: Forward\t\tPosition #: 2\t\tOverlap #: 5\nAlignment:\nACGTAC-\n-CGTACG\n" + dashes + "\n";
  expected += "\nDirection: Backward\t\tPosition #: 1\t\tOverlap #: 6\nAlignment:\n\n\n" + dashes + "\n";
  expected += "\n";
  expected += "\n";
  EXPECT_EQ(readFile(reportPath(ReportId::CombinedMatrixBestMatches)), expected);
}

TEST(CombinedMotifReports, ColumnsFitTheLongestValueOfAnyEntry) {
  resetGlobals();
  TempDir dir;
  reportPath(ReportId::CombinedMatrixGlobal) = dir.path() + "global.txt";
  writeFile(reportPath(ReportId::CombinedMatrixGlobal), "");
  combinedMatrices accepted = entry("Y", "ACGTAC", "CGTACG", "ACGTACG", "ACGTAC-", "-CGTACG");
  accepted.secondMotifName = "a_rather_long_name_of_26ch";
  // A rejected step gets no row, but its longer matrices still widen the motif columns.
  combinedMatrices rejected = entry("N", "ACGTACGTACGTACGTACGT", "A", "ACGTACGTACGTACGTACGTAC", "", "");
  mergedMotifGlobalMatching = {{accepted, rejected}};
  WriteCombinedMotifsGlobal();
  const std::vector<std::string> lines =
      testing::splitLines(readFile(reportPath(ReportId::CombinedMatrixGlobal)));
  ASSERT_GE(lines.size(), 5u);
  EXPECT_EQ(lines[0].size(), 195u);
  EXPECT_EQ(lines[3], cell("1st motif name", 19) + cell("2nd motif name", 31) + cell("1st format", 23) +
                          cell("2nd format", 23) + cell("1st motif", 25) + cell("2nd motif", 19) +
                          cell("Combined motif", 27));
  EXPECT_EQ(lines[5], cell("MA0004.1 Arnt", 19) + cell("a_rather_long_name_of_26ch", 31) +
                          cell("Original Motif", 23) + cell("Reverse Complement", 23) + cell("ACGTAC", 25) +
                          cell("CGTACG", 19) + cell("ACGTACG", 27));
}

TEST(CombinedMotifReports, NoChainsWriteNothing) {
  resetGlobals();
  TempDir dir;
  reportPath(ReportId::CombinedMatrixGlobalAndLocal) = dir.path() + "gl.txt";
  writeFile(reportPath(ReportId::CombinedMatrixGlobalAndLocal), "header\n");
  WriteCombinedMotifsGlobalAndLocal();
  EXPECT_EQ(readFile(reportPath(ReportId::CombinedMatrixGlobalAndLocal)), "header\n");
}

// Each list writes its own chains into its own report, under its own banner.
TEST(CombinedMotifReports, EachListWritesItsOwnChainsUnderItsOwnBanner) {
  resetGlobals();
  TempDir dir;
  const struct {
    CombinedListId list;
    ReportId report;
    std::vector<mergeChain>* chains;
    std::int64_t topMotif;
    std::string banner;
  } cases[] = {
      {CombinedListId::Global, ReportId::CombinedMatrixGlobal, &mergedMotifGlobalMatching, 3,
       std::string(60, '*') + " Combined Motifs for Top Global Significant Motif ID 3 and Its Best Matches " +
           std::string(59, '*')},
      {CombinedListId::GlobalAndLocal, ReportId::CombinedMatrixGlobalAndLocal, &mergedMotifGlobalAndLocalMatching,
       4,
       std::string(55, '*') + " Combined Motifs for Top Global and Local Significant Motif ID 4 and Its Best Matches " +
           std::string(54, '*')},
      {CombinedListId::BestMatches, ReportId::CombinedMatrixBestMatches, &mergedMotifBestMatches, 5,
       std::string(63, '*') + " Combined Motifs for Top Best Match Motif ID 5 and Its Best Matches " +
           std::string(62, '*')},
  };
  for (const auto& c : cases) {
    reportPath(c.report) = dir.path() + std::to_string(c.topMotif) + ".txt";
    writeFile(reportPath(c.report), "");
    combinedMatrices accepted = entry("Y", "ACGTAC", "CGTACG", "ACGTACG", "ACGTAC-", "-CGTACG");
    accepted.firstMotifID = c.topMotif;
    *c.chains = {{accepted}};
  }
  for (const auto& c : cases) writeCombinedMotifs(combinedList(c.list));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.banner);
    const std::vector<std::string> lines = testing::splitLines(readFile(reportPath(c.report)));
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], c.banner);
  }
}

}  // namespace
}  // namespace korvelan
