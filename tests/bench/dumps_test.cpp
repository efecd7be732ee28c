// The tab-separated score-list dumps.
#include "reference/dumps.h"

#include <gtest/gtest.h>

#include "core/globals.h"
#include "support/test_support.h"

namespace korvelan {
namespace {

dataCombinedScore sample(const char* flag) {
  dataCombinedScore r;
  r.direction = "Backward";
  r.firstDatasetNum = 2;
  r.secondDatasetNum = 1;
  r.firstMotifNumInFile = 12;
  r.secondMotifNumInFile = 3;
  r.scanOrderFlag = flag;
  r.firstMotifID = 12;
  r.secondMotifID = 5;
  r.firstMotifName = "MA0001.1 AGL3";
  r.secondMotifName = "input five";
  r.position = 2;
  r.numOverlap = 6;
  r.firstMatchingFormat = "Reverse Complement";
  r.secondMatchingFormat = "Original Motif";
  r.rawScore = 5.0 / 6.0;
  r.scoreDiff = 0.05;
  r.overlapDiff = 3;
  r.similarityScore = 0.00001;
  return r;
}

const std::string kCombinedTitle = std::string(18, '-') + " Combined score list " + std::string(16, '-');
const std::string kScoreTitle = std::string(18, '-') + " Score list " + std::string(16, '-');

class Dumps : public ::testing::Test {
 protected:
  void SetUp() override {
    resetGlobals();
    outputPath = dir.path();
  }
  void TearDown() override { resetGlobals(); }
  testing::TempDir dir;
};

TEST_F(Dumps, EachDumpHasItsTitleFieldOrderAndNumberForms) {
  writeCombinedScoreList({sample("Y")});
  writeCombinedScoreDatabaseList({sample("")});
  writeScoreList({sample(""), sample("Y")}, 12);
  EXPECT_EQ(testing::readFile(dir.path() + "combinedScore.txt"),
            kCombinedTitle + "\n" +
                "Backward\t12\t2\t1\t12\t3\t12\t5\tMA0001.1 AGL3\tinput five\t2\t6\tReverse Complement\t"
                "Original Motif\t0.833333\t0.05\t3\t1e-05\t\n");
  EXPECT_EQ(testing::readFile(dir.path() + "combinedScoreDatabase.txt"),
            kCombinedTitle + "\n" +
                "Backward\t12\t2\t1\t12\t3\t\t12\t5\tMA0001.1 AGL3\tinput five\t2\t6\tReverse Complement\t"
                "Original Motif\t0.833333\t0.05\t3\t1e-05\t\n");
  EXPECT_EQ(testing::readFile(dir.path() + "ScoreDBG12.txt"),
            kScoreTitle + "\n" +
                "Backward\t12\t2\t1\t12\t3\t12\t5\tMA0001.1 AGL3\tinput five\t\t2\t6\tReverse Complement\t"
                "Original Motif\t0.833333\t0.05\t3\t1e-05\t\n"
                "Backward\t12\t2\t1\t12\t3\t12\t5\tMA0001.1 AGL3\tinput five\tY\t2\t6\tReverse Complement\t"
                "Original Motif\t0.833333\t0.05\t3\t1e-05\t\n");
  EXPECT_EQ(kCombinedTitle.size(), 55u);
  EXPECT_EQ(kScoreTitle.size(), 46u);
}

TEST_F(Dumps, FilesAreReplacedAndNumberedAndAMissingFolderIsPassedOver) {
  writeCombinedScoreList({sample("Y"), sample("")});
  writeCombinedScoreList({});
  EXPECT_EQ(testing::readFile(dir.path() + "combinedScore.txt"), kCombinedTitle + "\n");
  writeScoreList({}, 0);
  writeScoreList({}, -3);
  EXPECT_EQ(testing::readFile(dir.path() + "ScoreDBG0.txt"), kScoreTitle + "\n");
  EXPECT_EQ(testing::readFile(dir.path() + "ScoreDBG-3.txt"), kScoreTitle + "\n");

  outputPath = dir.path() + "missing/";
  EXPECT_NO_THROW(writeCombinedScoreDatabaseList({sample("")}));
  EXPECT_FALSE(testing::fileExists(dir.path() + "missing/combinedScoreDatabase.txt"));
}

}  // namespace
}  // namespace korvelan
