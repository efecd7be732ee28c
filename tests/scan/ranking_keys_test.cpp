// Best scores, longest overlaps and ranking keys of the three alignment lists.
#include <gtest/gtest.h>

#include "core/globals.h"
#include "scan/scan.h"
#include "scan_fixtures.h"

namespace korvelan {
namespace {

dataCombinedScore alignment(std::int64_t first, std::int64_t second, const char* flag, double score,
                            int overlapCount) {
  dataCombinedScore r;
  r.direction = "Forward";
  r.motifID = first;
  r.firstMotifID = first;
  r.secondMotifID = second;
  r.scanOrderFlag = flag;
  r.rawScore = score;
  r.numOverlap = overlapCount;
  return r;
}

void expectEntry(const maxScores& e, std::int64_t id, double best, int longest, int mid) {
  EXPECT_EQ(e.motifID, id);
  EXPECT_EQ(e.bestScore, best);
  EXPECT_EQ(e.longestOverlap, longest);
  EXPECT_EQ(e.midOverlap, mid);
}

void expectKey(const dataCombinedScore& r, int overlapDiff, double scoreDiff, double key) {
  EXPECT_EQ(r.overlapDiff, overlapDiff);
  EXPECT_EQ(r.scoreDiff, scoreDiff);
  EXPECT_EQ(r.similarityScore, key);
}

class RankingKeys : public ::testing::Test {
 protected:
  void SetUp() override {
    resetGlobals();
    Datasets.resize(4);  // only the count matters to the maxima
  }
  void TearDown() override { resetGlobals(); }
};

TEST_F(RankingKeys, DatasetMaximaCountBothMotifsAndKeysRankForTheFirst) {
  // Motif 1: best 0.875 over overlap 10; motif 2 gets 0.95 only through an alignment listed under 3;
  // motif 4 has no alignment. The list is measured in blocks per thread; any team gives the same.
  for (int threads : {1, 2, 8}) {
    SCOPED_TRACE(std::to_string(threads) + " threads");
    numThread = threads;
    maxScoresList.clear();
    DatasetsCombinedScoreLists = {
        alignment(1, 2, "Y", 0.875, 10), alignment(1, 3, "Y", 0.75, 8),  alignment(2, 1, "", 0.8, 7),
        alignment(3, 2, "", 0.95, 5),    alignment(3, 1, "", 0.875, 10),
    };
    getMaxScores();
    ASSERT_EQ(maxScoresList.size(), 4u);
    expectEntry(maxScoresList[0], 1, 0.875, 10, 7);
    expectEntry(maxScoresList[1], 2, 0.95, 10, 7);
    expectEntry(maxScoresList[2], 3, 0.95, 10, 7);
    expectEntry(maxScoresList[3], 0, 0.0, 0, 0);

    calculateSumScoresCompare();
    const auto& list = DatasetsCombinedScoreLists;
    expectKey(list[0], 0, 0.0, 0.0);
    expectKey(list[1], 2, 0.125, 1.0625);
    expectKey(list[2], 3, std::abs(0.8 - 0.95), (3 + std::abs(0.8 - 0.95)) * 0.5);  // measured against 0.95
    expectKey(list[3], 5, 0.0, 2.5);
    expectKey(list[4], 0, std::abs(0.875 - 0.95), std::abs(0.875 - 0.95) * 0.5);
  }
}

TEST_F(RankingKeys, MidOverlapAndEmptyList) {
  DatasetsCombinedScoreLists = {alignment(1, 2, "Y", 0.8, 7), alignment(3, 4, "Y", 0.8, 8)};
  getMaxScores();
  EXPECT_EQ(maxScoresList[0].midOverlap, 5);
  EXPECT_EQ(maxScoresList[2].midOverlap, 6);

  resetGlobals();
  Datasets.resize(3);
  getMaxScores();
  ASSERT_EQ(maxScoresList.size(), 3u);
  for (const auto& e : maxScoresList) expectEntry(e, 0, 0.0, 0, 0);
  calculateSumScoresCompare();
  EXPECT_TRUE(DatasetsCombinedScoreLists.empty());
}

TEST_F(RankingKeys, DatabaseFamiliesCountTheInputMotifOnly) {
  // Input motifs are found through the flag: firstMotifID with "Y", secondMotifID otherwise. The
  // database motif 2 of the "" record is no input motif, though 2 is a valid input motif ID.
  const std::vector<dataCombinedScore> records = {
      alignment(1, 7, "Y", 0.875, 10),
      alignment(2, 1, "", 0.95, 12),  // database motif 2, input motif 1
      alignment(3, 3, "Y", 0.75, 8),
  };
  struct Family {
    std::vector<dataCombinedScore>* list;
    std::vector<maxScores>* maxima;
    void (*measure)();
    void (*keys)();
  };
  const Family families[] = {
      {&DatasetsCombinedScoreDatabaseLists, &maxScoresDatabaseList, getMaxScoresDatabase,
       calculateSumScoresCompareDatabase},
      {&DatasetsCombinedScoreDatabaseGlobalLists, &maxScoresDatabaseGlobalList, getMaxScoresDatabaseGlobal,
       calculateSumScoresCompareDatabaseGlobal},
  };
  for (const Family& f : families)
    for (int threads : {1, 2, 8}) {
      SCOPED_TRACE(std::to_string(threads) + " threads");
      numThread = threads;
      f.maxima->clear();
      *f.list = records;
      f.measure();
      ASSERT_EQ(f.maxima->size(), 4u);
      expectEntry((*f.maxima)[0], 1, 0.95, 12, 8);
      expectEntry((*f.maxima)[1], 0, 0.0, 0, 0);
      expectEntry((*f.maxima)[2], 3, 0.75, 8, 6);
      f.keys();
      expectKey((*f.list)[0], 2, std::abs(0.875 - 0.95), (2 + std::abs(0.875 - 0.95)) * 0.5);
      expectKey((*f.list)[1], 0, 0.0, 0.0);
      expectKey((*f.list)[2], 0, 0.0, 0.0);
    }
}

}  // namespace
}  // namespace korvelan
