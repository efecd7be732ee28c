// The run's selection (two scans per family, no list of every alignment) against the plain path
// (every record, keys, grouping and stable sorts): the same best-match lists, rankings, top lists and
// distance tables, for every thread count, with equal keys everywhere to test how ties fall.
#include <gtest/gtest.h>

#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "core/globals.h"
#include "driver/result_stages.h"
#include "reference/reference_path.h"
#include "scan/scan.h"
#include "support/test_support.h"

namespace korvelan {
namespace {

// `count` motifs spread over `files` files in turn: random rows of 4 to 16 positions, every fifth
// motif an exact copy of an earlier one (so whole families of alignments tie in key), every seventh
// made of consensus letters (few distinct values), and a few too short to scan.
std::vector<data> motifSet(int count, int files, unsigned seed, const char* prefix) {
  std::mt19937 generator(seed);
  const char* words[] = {"ACGTACGT", "TGACGTCA", "CACGTGAC", "GGGACTTTCC", "TTGACNNTCAA", "ACGTNNACGT"};
  std::vector<data> motifs;
  std::vector<int> perFile(static_cast<std::size_t>(files), 0);
  for (int k = 0; k < count; ++k) {
    motifMatrix rows;
    if (k % 5 == 4)
      rows = motifs[generator() % motifs.size()].matrix;
    else if (k % 7 == 6)
      rows = testing::rowsOf(words[generator() % std::size(words)]);
    else
      rows = testing::randomRows(generator, k % 37 == 36 ? 3 : 4 + static_cast<int>(generator() % 13));
    const int file = k % files;
    motifs.push_back(testing::makeMotif(k + 1, file + 1, ++perFile[static_cast<std::size_t>(file)],
                                        prefix + std::to_string(k + 1), rows));
  }
  return motifs;
}

struct Case {
  int motifs;
  int files;
  double cutoff;
  bool trees;
  int collection;  // collection motifs, 0 for none
  int bestMatches;
};

class SelectionPaths : public ::testing::TestWithParam<Case> {
 protected:
  void TearDown() override { resetGlobals(); }
};

std::string describe(const Case& c) {
  return std::to_string(c.motifs) + " motifs in " + std::to_string(c.files) + " files, cutoff " +
         std::to_string(c.cutoff) + (c.trees ? ", trees" : "") +
         (c.collection ? ", collection of " + std::to_string(c.collection) : "") + ", " +
         std::to_string(c.bestMatches) + " best matches";
}
void PrintTo(const Case& c, std::ostream* out) {
  *out << describe(c);
}

TEST_P(SelectionPaths, RunsSelectionEqualsThePlainPathOnAnyThreadCount) {
  const Case c = GetParam();
  // The motifs stay in place across the runs: the records name them by reference.
  resetGlobals();
  simCutoff = c.cutoff;
  numFile = c.files;
  numTopMotif = 10;
  numBestMatches = c.bestMatches;
  motifCluster = c.trees ? "Y" : "N";
  combinedMotifFlag = "Y";
  outputFileType = "All";
  outputFileFormat = "none";  // selects every list, writes no report
  Datasets = motifSet(c.motifs, c.files, 17, "m");
  if (c.collection > 0) DatabaseDatasets = motifSet(c.collection, 1, 29, "db");
  // The plain path, on 8 threads (its results do not depend on them).
  numThread = 8;
  ::testing::internal::CaptureStdout();
  const reference::SelectionOutcome plainOutcome =
      reference::selectAndCapture(reference::datasetMatchesOf(8));
  ::testing::internal::GetCapturedStdout();
  std::vector<bestMatchList> plainDatabase, plainGlobal;
  if (c.collection > 0) {
    plainDatabase = reference::databaseMatchesOf(8).bestMatches;
    plainGlobal = reference::databaseGlobalMatchesOf(8).bestMatches;  // query motifs of the plain top list
  }

  for (int threads : {1, 3, 8}) {
    SCOPED_TRACE(std::to_string(threads) + " threads");
    numThread = threads;
    maxScoresList.clear();
    maxScoresDatabaseList.clear();
    maxScoresDatabaseGlobalList.clear();
    forwardScan();
    backwardScan();
    getMaxScores();
    calculateSumScoresCompare();
    const selectedMatches run = datasetMatches;
    ::testing::internal::CaptureStdout();
    const reference::SelectionOutcome runOutcome = reference::selectAndCapture(run);
    ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(reference::firstDifference(runOutcome, plainOutcome), "");
    ASSERT_FALSE(runOutcome.topBestMatches.empty());
    EXPECT_EQ(runOutcome.topGlobal.empty(), c.files == 1);
    EXPECT_EQ(runOutcome.distances.filled, c.trees);

    if (c.collection == 0) continue;
    forwardScanDatabase();
    backwardScanDatabase();
    getMaxScoresDatabase();
    calculateSumScoresCompareDatabase();
    EXPECT_EQ(reference::firstDifference(databaseMatches.bestMatches, plainDatabase), "");
    forwardScanDatabaseGlobal(topGlobalMatchingResults);
    backwardScanDatabaseGlobal(topGlobalMatchingResults);
    getMaxScoresDatabaseGlobal();
    calculateSumScoresCompareDatabaseGlobal(topGlobalMatchingResults);
    EXPECT_EQ(reference::firstDifference(databaseGlobalMatches.bestMatches, plainGlobal), "");
  }
}

INSTANTIATE_TEST_SUITE_P(Sets, SelectionPaths,
                         ::testing::Values(Case{240, 2, 0.75, true, 0, 10}, Case{300, 3, 0.8, false, 0, 10},
                                           Case{160, 3, 0.6, true, 120, 5}, Case{200, 2, 0.9, false, 150, 50},
                                           Case{120, 1, 0.75, true, 0, 1}));

}  // namespace
}  // namespace korvelan
