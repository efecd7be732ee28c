// Database and global database scans: roles of the input (query) and database motif, record
// fields in both listings, the query list, and the list order on any thread count.
#include <gtest/gtest.h>

#include <random>

#include "core/globals.h"
#include "reference/reference_path.h"
#include "scan/scan.h"
#include "scan_fixtures.h"

namespace korvelan {
namespace {

using scantest::makeMotif;
using scantest::randomRows;

class DatabaseScan : public ::testing::Test {
 protected:
  void SetUp() override { resetGlobals(); }
  void TearDown() override { resetGlobals(); }

  // Database motifs 1..count, each of 3 rows (too short to scan) unless given below.
  static void fillDatabase(std::mt19937& generator, int count) {
    for (int id = 1; id <= count; ++id)
      DatabaseDatasets.push_back(makeMotif(id, 1, id, "D" + std::to_string(id), randomRows(generator, 3)));
  }
};

TEST_F(DatabaseScan, InputMotifFiveAgainstDatabaseMotifTwelve) {
  // Input motif 5 is the third motif of input file 2. Its stored reverse complement equals database
  // motif 12, so "One Rev Comp Two Orig" wins with 1.0 at the full overlap.
  std::mt19937 generator(12);
  const motifMatrix dbRows = randomRows(generator, 7);
  Datasets = {
      makeMotif(1, 1, 1, "I1", randomRows(generator, 3)), makeMotif(2, 1, 2, "I2", randomRows(generator, 3)),
      makeMotif(3, 2, 1, "I3", randomRows(generator, 3)), makeMotif(4, 2, 2, "I4", randomRows(generator, 3)),
      makeMotif(5, 2, 3, "I5", randomRows(generator, 7), dbRows)};
  fillDatabase(generator, 11);
  DatabaseDatasets.push_back(makeMotif(12, 1, 12, "D12", dbRows));
  simCutoff = 0.99;
  const std::vector<dataCombinedScore> list = scantest::databaseRecords();
  ASSERT_EQ(list.size(), 4u);
  const char* directions[] = {"Forward", "Forward", "Backward", "Backward"};
  for (std::size_t j = 0; j < 4; ++j) {
    const dataCombinedScore& r = list[j];
    const bool scanOrder = j % 2 == 0;
    SCOPED_TRACE(j);
    EXPECT_EQ(r.direction, directions[j]);
    EXPECT_EQ(r.scanOrderFlag, scanOrder ? "Y" : "");
    EXPECT_EQ(r.firstMotifID, scanOrder ? 5 : 12);
    EXPECT_EQ(r.secondMotifID, scanOrder ? 12 : 5);
    EXPECT_EQ(r.firstMotifNumInFile, scanOrder ? 3 : 12);
    EXPECT_EQ(r.secondMotifNumInFile, scanOrder ? 12 : 3);
    EXPECT_EQ(r.firstMotifName, scanOrder ? "I5" : "D12");
    EXPECT_EQ(r.secondMotifName, scanOrder ? "D12" : "I5");
    EXPECT_EQ(r.firstDatasetNum, 2);
    EXPECT_EQ(r.secondDatasetNum, 1);
    EXPECT_EQ(r.firstMatchingFormat, "Reverse Complement");  // the input motif's, in both listings
    EXPECT_EQ(r.secondMatchingFormat, "Original Motif");
    EXPECT_EQ(r.position, 1);
    EXPECT_EQ(r.numOverlap, 7);
    EXPECT_EQ(r.rawScore, 1.0);
  }
  numBestMatches = 3;
  forwardScanDatabase();
  backwardScanDatabase();
  getMaxScoresDatabase();
  calculateSumScoresCompareDatabase();
  ASSERT_EQ(maxScoresDatabaseList.size(), 5u);
  EXPECT_EQ(maxScoresDatabaseList[4].bestScore, 1.0);
  EXPECT_EQ(maxScoresDatabaseList[4].longestOverlap, 7);
  for (std::size_t j = 0; j < 4; ++j) EXPECT_EQ(maxScoresDatabaseList[j].longestOverlap, 0) << j;
  // All four records have key 0 and one partner: the first in the scans' order is selected.
  ASSERT_EQ(databaseMatches.bestMatches.size(), 5u);
  ASSERT_EQ(databaseMatches.bestMatches[4].size(), 1u);
  scantest::expectSameRecord(databaseMatches.bestMatches[4][0], list[0], "selected");
  for (std::size_t j = 0; j < 4; ++j) EXPECT_TRUE(databaseMatches.bestMatches[j].empty()) << j;
}

TEST_F(DatabaseScan, LengthCaseComparesTheInputMotifWithTheDatabaseMotif) {
  struct Case {
    int input, database;
    std::vector<int> first, second;  // numOverlap per shift: input listed first, database listed first
  };
  const Case cases[] = {
      {10, 8, {8, 7, 6, 5, 4}, {8, 8, 8, 7, 6, 5, 4}},
      {8, 10, {8, 8, 8, 7, 6, 5, 4}, {8, 7, 6, 5, 4}},
  };
  std::mt19937 generator(4);
  for (const Case& c : cases) {
    resetGlobals();
    simCutoff = 0.0;
    Datasets = {makeMotif(1, 1, 1, "in", randomRows(generator, c.input)),
                makeMotif(2, 1, 2, "short", randomRows(generator, 3))};
    DatabaseDatasets = {makeMotif(1, 1, 1, "db", randomRows(generator, c.database))};
    std::vector<int> first, second;
    for (const auto& r : scantest::databaseRecords())
      if (r.direction == "Forward") (r.scanOrderFlag == "Y" ? first : second).push_back(r.numOverlap);
    EXPECT_EQ(first, c.first) << c.input << " vs " << c.database;
    EXPECT_EQ(second, c.second) << c.input << " vs " << c.database;
  }
}

TEST_F(DatabaseScan, QueryMotifsComeFromTheHeadsOfTheTopGlobalGroups) {
  // Input file 1: motifs 1-5; file 2: motifs 6 and 7. The first group belongs to motif 7 (second of
  // file 2), its head listed swapped and carrying file 1 as firstDatasetNum; the query motif still
  // takes motif 7's own dataset number. An empty group, or one whose head names no input motif,
  // gives no query motif.
  std::mt19937 generator(77);
  const motifMatrix rows = randomRows(generator, 6);
  for (int id = 1; id <= 7; ++id)
    Datasets.push_back(makeMotif(id, id <= 5 ? 1 : 2, id <= 5 ? id : id - 5, "I" + std::to_string(id),
                                 id == 7 || id == 3 ? rows : randomRows(generator, 6)));
  fillDatabase(generator, 11);
  DatabaseDatasets.push_back(makeMotif(12, 1, 12, "D12", rows));
  dataCombinedScore head;
  head.firstMotifID = 7;
  head.firstMotifName = Datasets[6].motifName;
  head.firstMotifNumInFile = 2;
  head.firstDatasetNum = 1;
  head.secondDatasetNum = 2;
  head.secondMotifID = 2;
  dataCombinedScore second = head;
  second.firstMotifID = 3;
  second.firstMotifName = Datasets[2].motifName;
  second.firstMotifNumInFile = 3;
  second.scanOrderFlag = "Y";
  dataCombinedScore stray = head;
  stray.firstMotifID = 99;  // names no input motif
  // Handed to the scans, which do not read the run's list of them.
  const std::vector<bestMatchList> groups = {{head}, {}, {stray}, {second, head}};
  simCutoff = 0.99;
  // Per direction: query 7 (Y, then swapped), then query 3 (Y, then swapped).
  const std::vector<dataCombinedScore> list = scantest::queryRecords(groups);
  ASSERT_EQ(list.size(), 8u);
  for (std::size_t j = 0; j < list.size(); ++j) {
    const dataCombinedScore& r = list[j];
    const bool scanOrder = j % 2 == 0;
    const std::int64_t query = (j / 2) % 2 == 0 ? 7 : 3;
    SCOPED_TRACE(j);
    EXPECT_EQ(r.direction, j < 4 ? "Forward" : "Backward");
    EXPECT_EQ(r.scanOrderFlag, scanOrder ? "Y" : "");
    EXPECT_EQ(r.firstMotifID, scanOrder ? query : 12);
    EXPECT_EQ(r.secondMotifID, scanOrder ? 12 : query);
    EXPECT_EQ(r.firstMotifNumInFile, scanOrder ? (query == 7 ? 2 : 3) : 12);
    EXPECT_EQ(r.secondMotifNumInFile, scanOrder ? 12 : (query == 7 ? 2 : 3));
    EXPECT_EQ(r.firstMotifName, scanOrder ? (query == 7 ? "I7" : "I3") : "D12");
    EXPECT_EQ(r.firstDatasetNum, query == 7 ? 2 : 1);
    EXPECT_EQ(r.secondDatasetNum, 1);
    EXPECT_EQ(r.rawScore, 1.0);
    EXPECT_EQ(r.firstMatchingFormat, "Original Motif");
  }
  forwardScanDatabaseGlobal(groups);
  backwardScanDatabaseGlobal(groups);
  getMaxScoresDatabaseGlobal();
  ASSERT_EQ(maxScoresDatabaseGlobalList.size(), 7u);
  for (std::size_t j = 0; j < 7; ++j)
    EXPECT_EQ(maxScoresDatabaseGlobalList[j].longestOverlap, j == 2 || j == 6 ? 6 : 0) << j;
  calculateSumScoresCompareDatabaseGlobal(groups);
  ASSERT_EQ(databaseGlobalMatches.bestMatches.size(), 7u);
  ASSERT_EQ(databaseGlobalMatches.bestMatches[6].size(), 1u);
  scantest::expectSameRecord(databaseGlobalMatches.bestMatches[6][0], list[0], "query 7 selected");
  ASSERT_EQ(databaseGlobalMatches.bestMatches[2].size(), 1u);
  scantest::expectSameRecord(databaseGlobalMatches.bestMatches[2][0], list[2], "query 3 selected");

  // Without top global motifs the scans find nothing and the selection is empty.
  maxScoresDatabaseGlobalList.clear();
  EXPECT_TRUE(scantest::queryRecords({}).empty());
  forwardScanDatabaseGlobal({});
  backwardScanDatabaseGlobal({});
  getMaxScoresDatabaseGlobal();
  calculateSumScoresCompareDatabaseGlobal({});
  for (const bestMatchList& best : databaseGlobalMatches.bestMatches) EXPECT_TRUE(best.empty());
  for (const maxScores& e : maxScoresDatabaseGlobalList) EXPECT_EQ(e.longestOverlap, 0);
}

TEST_F(DatabaseScan, BothFamiliesMatchThePlacementRuleOnAnyThreadCount) {
  std::mt19937 generator(99);
  std::uniform_int_distribution<int> lengths(3, 20);
  std::vector<data> inputs, database;
  for (int j = 0; j < 12; ++j)
    inputs.push_back(makeMotif(j + 1, j % 2 + 1, j / 2 + 1, "I" + std::to_string(j + 1),
                               randomRows(generator, lengths(generator))));
  for (int j = 0; j < 30; ++j)
    database.push_back(
        makeMotif(j + 1, 1, j + 1, "D" + std::to_string(j + 1), randomRows(generator, lengths(generator))));
  // The global family's query motifs: the first motif of each group (here inputs 4 and 9).
  simCutoff = 0.78;
  Datasets = inputs;
  DatabaseDatasets = database;
  dataCombinedScore head4, head9;
  head4.firstMotifID = 4, head4.firstMotifName = Datasets[3].motifName, head4.firstMotifNumInFile = 2;
  head9.firstMotifID = 9, head9.firstMotifName = Datasets[8].motifName, head9.firstMotifNumInFile = 5;
  const std::vector<bestMatchList> groups = {{head4}, {head9}};
  const auto collection = scanning::refsOf(DatabaseDatasets);
  const auto wantDatabase = reference::scanRecords(scanning::refsOf(Datasets), collection, false, 1);
  const auto wantGlobal =
      reference::scanRecords(scanning::queryMotifs(groups, Datasets), collection, false, 1);
  ASSERT_GT(wantDatabase.size(), 500u);
  ASSERT_EQ(wantGlobal.front().firstMotifID, 4);
  for (int threads : {1, 8}) {
    SCOPED_TRACE(std::to_string(threads) + " threads");
    numThread = threads;
    scantest::expectSameList(scantest::databaseRecords(), wantDatabase);
    scantest::expectSameList(scantest::queryRecords(groups), wantGlobal);
  }
}

}  // namespace
}  // namespace korvelan
