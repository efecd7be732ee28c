// The two-matrix scans: their records, keys and order, and scores bit for bit those of the dataset
// scans for the same placements.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <tuple>
#include <utility>
#include <vector>

#include "core/globals.h"
#include "merge/merge.h"
#include "merge/merge_internal.h"
#include "merge/team_fixture.h"
#include "reference/reference_path.h"
#include "scan/scan_kernel.h"
#include "support/test_support.h"

namespace korvelan {
namespace {

using testing::makeMotif;
using testing::randomRows;

using Scan = std::vector<dataCombinedScore> (*)(const motifMatrix&, const motifMatrix&, TextRef, TextRef);

std::uint64_t bitsOf(double v) {
  std::uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  return bits;
}

TEST(TwoMatrixScans, RecordsKeysAndOrder) {
  resetGlobals();
  simCutoff = 0.0;
  std::mt19937 generator(7);
  const motifMatrix M1 = randomRows(generator, 6), M2 = randomRows(generator, 10);
  for (const auto& [scan, direction] : {std::pair<Scan, const char*>{forwardScanTwoMatrices, "Forward"},
                                        std::pair<Scan, const char*>{backwardScanTwoMatrices, "Backward"}}) {
    SCOPED_TRACE(direction);
    const std::vector<dataCombinedScore> records = scan(M1, M2, "one", "two");
    std::multiset<std::pair<int, int>> firstPass, secondPass;  // (position, numOverlap)
    for (const dataCombinedScore& r : records) {
      const bool first = r.scanOrderFlag == "Y";
      (first ? firstPass : secondPass).insert({r.position, r.numOverlap});
      EXPECT_EQ(r.direction, direction);
      EXPECT_EQ(r.firstMotifID, first ? 1 : 2);
      EXPECT_EQ(r.secondMotifID, first ? 2 : 1);
      EXPECT_EQ(r.firstMotifNumInFile, first ? 1 : 2);
      EXPECT_EQ(r.secondMotifNumInFile, first ? 2 : 1);
      EXPECT_EQ(r.firstDatasetNum, 1);  // the argument order, whichever is listed first
      EXPECT_EQ(r.secondDatasetNum, 2);
      EXPECT_EQ(r.firstMotifName.view(), first ? "one" : "two");
      EXPECT_EQ(r.secondMotifName.view(), first ? "two" : "one");
      EXPECT_EQ(r.overlapDiff, 6 - r.numOverlap);
      EXPECT_EQ(r.scoreDiff, 1.0 - r.rawScore);
      EXPECT_EQ(r.similarityScore, (r.overlapDiff + r.scoreDiff) * 0.5);
    }
    EXPECT_EQ(firstPass,
              (std::multiset<std::pair<int, int>>{{1, 6}, {2, 6}, {3, 6}, {4, 6}, {5, 6}, {6, 5}, {7, 4}}));
    EXPECT_EQ(secondPass, (std::multiset<std::pair<int, int>>{{1, 6}, {2, 5}, {3, 4}}));
    // Ascending keys; equal keys keep the first pass first and ascending shifts.
    for (std::size_t k = 1; k < records.size(); ++k) {
      const dataCombinedScore &a = records[k - 1], &b = records[k];
      ASSERT_LE(a.similarityScore, b.similarityScore);
      if (a.similarityScore == b.similarityScore) {
        const auto order = [](const dataCombinedScore& r) {
          return std::make_pair(r.scanOrderFlag != "Y", r.position);
        };
        EXPECT_LT(order(a), order(b));
      }
    }
  }
}

TEST(TwoMatrixScans, EdgeCases) {
  resetGlobals();
  simCutoff = 0.75;
  const motifMatrix four = testing::rowsOf("ACGT");
  EXPECT_TRUE(forwardScanTwoMatrices(testing::rowsOf("ACG"), four, "a", "b").empty());
  EXPECT_TRUE(backwardScanTwoMatrices(four, testing::rowsOf("ACG"), "a", "b").empty());

  // Two equal matrices of four rows: the one placement, found by both passes, scores 1 as read.
  for (Scan scan : {forwardScanTwoMatrices, backwardScanTwoMatrices}) {
    const auto records = scan(four, four, "a", "b");
    ASSERT_GE(records.size(), 2u);
    for (int k = 0; k < 2; ++k) {
      EXPECT_EQ(records[k].scanOrderFlag, k == 0 ? "Y" : "");
      EXPECT_EQ(records[k].position, 1);
      EXPECT_EQ(records[k].numOverlap, 4);
      EXPECT_EQ(records[k].rawScore, 1.0);
      EXPECT_EQ(records[k].similarityScore, 0.0);
      EXPECT_EQ(records[k].firstMatchingFormat, "Original Motif");
      EXPECT_EQ(records[k].secondMatchingFormat, "Original Motif");
    }
  }

  // A best score exactly at the cutoff is kept; on equal scores the earlier orientation pair wins.
  const motifMatrix allA(4, {1, 0, 0, 0}), halfAC(4, {0.5, 0.5, 0, 0});
  const auto records = forwardScanTwoMatrices(allA, halfAC, "a", "b");
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].rawScore, 0.75);
  EXPECT_EQ(records[0].firstMatchingFormat, "Original Motif");
  EXPECT_EQ(records[0].secondMatchingFormat, "Original Motif");
}

// The scans add each placement's cells in the dataset scans' order: same scores to the last bit, so
// a Forward and a Backward record of one placement compare as they do there.
// The long pair is cut into blocks of shifts scored on the thread team.
TEST(TwoMatrixScans, ScoresMatchTheDatasetScansBitForBit) {
  std::mt19937 generator(11);
  for (const auto& [lenA, lenB] : {std::pair{6, 10}, std::pair{9, 9}, std::pair{12, 5}, std::pair{700, 1100}}) {
    resetGlobals();
    simCutoff = 0.0;
    numThread = 3;
    const motifMatrix M1 = randomRows(generator, lenA), M2 = randomRows(generator, lenB);
    Datasets = {makeMotif(1, 1, 1, "one", M1), makeMotif(2, 2, 1, "two", M2)};
    const auto motifs = scanning::refsOf(Datasets);
    using Key = std::tuple<std::string, bool, int>;  // direction, motif 1 listed first, position
    std::map<Key, std::pair<std::uint64_t, std::string>> dataset;
    for (const dataCombinedScore& r : reference::kernelRecords(motifs, motifs, true))
      dataset[{std::string(r.direction), r.firstMotifID == 1, r.position}] = {
          bitsOf(r.rawScore), std::string(r.firstMatchingFormat) + "/" + std::string(r.secondMatchingFormat)};
    std::size_t seen = 0;
    for (Scan scan : {forwardScanTwoMatrices, backwardScanTwoMatrices})
      for (const dataCombinedScore& r : scan(M1, M2, "one", "two")) {
        const Key key{std::string(r.direction), r.scanOrderFlag == "Y", r.position};
        ASSERT_EQ(dataset.count(key), 1u);
        EXPECT_EQ(dataset[key].first, bitsOf(r.rawScore));
        EXPECT_EQ(dataset[key].second,
                  std::string(r.firstMatchingFormat) + "/" + std::string(r.secondMatchingFormat));
        ++seen;
      }
    EXPECT_EQ(seen, dataset.size());
  }
}

// Every field a two-matrix scan fills, scores as bits.
auto fieldsOf(const dataCombinedScore& r) {
  return std::make_tuple(std::string(r.direction), std::string(r.scanOrderFlag), r.firstMotifID, r.secondMotifID,
                         std::string(r.firstMotifName), std::string(r.secondMotifName), r.firstDatasetNum,
                         r.secondDatasetNum, r.firstMotifNumInFile, r.secondMotifNumInFile, r.position,
                         r.numOverlap, bitsOf(r.rawScore), bitsOf(r.scoreDiff), r.overlapDiff,
                         bitsOf(r.similarityScore), std::string(r.firstMatchingFormat),
                         std::string(r.secondMatchingFormat));
}
using Fields = decltype(fieldsOf(dataCombinedScore{}));

std::vector<Fields> fieldsOf(const std::vector<dataCombinedScore>& records) {
  std::vector<Fields> fields;
  for (const dataCombinedScore& r : records) fields.push_back(fieldsOf(r));
  return fields;
}

// Pairs whose shifts the team shares, with many equal keys: rows of one repeated value make every
// placement of equal overlap score alike, and the first of the equals must still come first.
struct LongPair {
  const char* name;
  motifMatrix M1, M2;
};

std::vector<LongPair> longPairs() {
  std::mt19937 generator(23);
  const motifMatrix random500 = randomRows(generator, 500);
  motifMatrix copy = random500;
  copy.erase(copy.begin(), copy.begin() + 90);
  return {
      {"random", randomRows(generator, 700), randomRows(generator, 450)},
      {"repeated rows", motifMatrix(600, {0.4, 0.1, 0.1, 0.4}), motifMatrix(400, {0.4, 0.1, 0.1, 0.4})},
      {"equal lengths", random500, randomRows(generator, 500)},
      {"contained copy", random500, copy},
  };
}

// The records of long pairs, scored in blocks on teams of any size, some blocks on the calling
// thread first or none, are the one-thread records in the one-thread order, bit for bit; so are the
// closest record and whether there is any.
TEST(TwoMatrixScans, LongPairsGiveTheOneThreadResultOnEveryTeam) {
  for (const double cutoff : {0.0, 0.8, 0.999}) {
    for (const LongPair& pair : longPairs()) {
      for (const bool backward : {false, true}) {
        SCOPED_TRACE(std::string(pair.name) + (backward ? " backward" : " forward") + " cutoff " +
                     std::to_string(cutoff));
        resetGlobals();
        simCutoff = cutoff;
        const ScanMatrix M1(pair.M1), M2(pair.M2);
        std::vector<Fields> reference;
        for (const auto& [threads, solo] : {std::pair{1, 0}, std::pair{2, 0}, std::pair{3, 100000}, std::pair{8, 0}}) {
          SCOPED_TRACE(threads);
          numThread = threads;
          const testing::TeamAfter team(solo);
          std::vector<dataCombinedScore> records;
          scanTwoMatrices(M1, M2, "one", "two", backward, records);
          if (threads == 1)
            reference = fieldsOf(records);
          else
            EXPECT_TRUE(fieldsOf(records) == reference);
          const std::optional<dataCombinedScore> closest = closestTwoMatrices(M1, M2, "one", "two", backward);
          ASSERT_EQ(closest.has_value(), !records.empty());
          if (closest) {
            EXPECT_TRUE(fieldsOf(*closest) == fieldsOf(records.front()));
          }
          EXPECT_EQ(twoMatricesAlign(M1, M2, backward), !records.empty());
        }
      }
    }
  }
}

// The alignment test gives the list's answer whatever shift it is told to try first: one that
// reaches the cutoff, one that does not, one outside the pass.
TEST(TwoMatrixScans, AlignmentTestAgreesWithTheListForAnyFirstShift) {
  std::mt19937 generator(5);
  for (int round = 0; round < 40; ++round) {
    resetGlobals();
    numThread = round % 2 == 0 ? 1 : 3;
    const motifMatrix M1 = randomRows(generator, 4 + round % 13), M2 = randomRows(generator, 4 + round % 7);
    std::vector<dataCombinedScore> all;
    simCutoff = 0.0;
    scanTwoMatrices(ScanMatrix(M1), ScanMatrix(M2), "a", "b", round % 3 == 0, all);
    ASSERT_FALSE(all.empty());
    // A cutoff that some placements reach and others do not, or that none reaches.
    simCutoff = round % 5 == 0 ? 1.5 : all[all.size() / 2].rawScore;
    const bool backward = round % 3 == 0;
    std::vector<dataCombinedScore> kept;
    scanTwoMatrices(ScanMatrix(M1), ScanMatrix(M2), "a", "b", backward, kept);
    for (const LikelyShift likely : {LikelyShift{true, 0}, LikelyShift{false, 1}, LikelyShift{true, 2},
                                     LikelyShift{false, -3}, LikelyShift{true, 1000}}) {
      SCOPED_TRACE(std::to_string(round) + (likely.bFirst ? " second first " : " first first ") +
                   std::to_string(likely.shift));
      for (const std::int64_t solo : {std::int64_t{0}, soloPositions}) {
        const testing::TeamAfter team(solo);
        EXPECT_EQ(twoMatricesAlign(ScanMatrix(M1), ScanMatrix(M2), backward, likely), !kept.empty());
      }
    }
  }
}

}  // namespace
}  // namespace korvelan
