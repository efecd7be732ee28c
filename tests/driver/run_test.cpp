#include "driver/run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "core/globals.h"
#include "core/report_files.h"
#include "support/test_support.h"

namespace korvelan {
namespace {

TEST(RunNaming, JobIdentifierForm) {
  resetGlobals();
  const std::regex form("J_\\d{4}-\\d{2}-\\d{2}_[1-9]\\d{3}_");
  for (int i = 0; i < 50; ++i) EXPECT_TRUE(std::regex_match(makeJobID(), form));
}

TEST(RunNaming, EveryReportGetsTheJobIdentifierAndTheOutputFolder) {
  resetGlobals();
  inputPath = "/data/motifs/input/";
  nameOutputs();
  EXPECT_EQ(outputPath, "/data/motifs/result/");
  for (const ReportFile& report : reportFiles()) {
    EXPECT_EQ(reportName(report.id), jobID + report.defaultName);
    EXPECT_EQ(reportPath(report.id), outputPath + jobID + report.defaultName);
  }
}

TEST(RunNaming, TakenNumbersAreDrawnAgain) {
  resetGlobals();
  testing::TempDir dir;
  outputPath = dir.path();
  // Occupy every number of today but one: the identifier must come out as the free one.
  const std::string probe = makeJobID();
  const std::string prefix = probe.substr(0, 13);  // "J_YYYY-MM-DD_"
  for (int n = 1000; n <= 9999; ++n)
    if (n != 4321) testing::writeFile(dir.path() + prefix + std::to_string(n) + "_input_motifs.txt", "");
  EXPECT_EQ(makeJobID(), prefix + "4321_");
}

// The identifier is claimed as the names are made: its listing file is created at once, so a run
// starting in the same moment cannot take it too. A listing name already there in any form (a file,
// a link pointing nowhere) is taken, and the number is drawn again.
TEST(RunNaming, NamingClaimsAFreeIdentifier) {
  resetGlobals();
  testing::TempDir dir;
  std::filesystem::create_directories(dir.path() + "motifs");
  inputPath = dir.path() + "motifs/";
  outputPath = dir.path() + "result/";
  std::filesystem::create_directories(outputPath);
  const std::string prefix = makeJobID().substr(0, 13);  // "J_YYYY-MM-DD_"
  for (int n = 1000; n <= 9999; ++n) {
    const std::string listing = outputPath + prefix + std::to_string(n) + "_input_motifs.txt";
    if (n == 5555) continue;
    if (n % 2 == 0)
      testing::writeFile(listing, "");
    else
      std::filesystem::create_symlink(dir.path() + "nowhere", listing);
  }
  nameOutputs();
  EXPECT_EQ(jobID, prefix + "5555_");
  EXPECT_TRUE(testing::fileExists(outputPath + jobID + "input_motifs.txt"));
  EXPECT_FALSE(testing::fileExists(dir.path() + "nowhere"));
}

}  // namespace
}  // namespace korvelan
