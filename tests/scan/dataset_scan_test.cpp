// Dataset scans: alignment cases, scoring, cutoff, record fields and the list order.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "core/globals.h"
#include "reference/reference_path.h"
#include "scan/scan.h"
#include "scan/scan_kernel.h"
#include "scan_fixtures.h"

namespace korvelan {
namespace {

using scantest::makeMotif;
using scantest::randomRows;

// The records of the dataset scans, as the kernel hands them on, in the scans' order.
std::vector<dataCombinedScore> scanned;
void scanDatasets() {
  const auto motifs = scanning::refsOf(Datasets);
  scanned = reference::kernelRecords(motifs, motifs, true);
}

class DatasetScan : public ::testing::Test {
 protected:
  void SetUp() override { resetGlobals(); }
  void TearDown() override {
    scanned.clear();
    resetGlobals();
  }
};

// (flag, position, numOverlap) of one direction's records, in list order.
struct Placement {
  std::string flag;
  int position;
  int overlap;
  bool operator==(const Placement&) const = default;
};
std::vector<Placement> placements(const std::string& direction) {
  std::vector<Placement> out;
  for (const auto& r : scanned)
    if (r.direction == direction)
      out.push_back({std::string(r.scanOrderFlag.view()), r.position, r.numOverlap});
  return out;
}

TEST_F(DatasetScan, ShiftCountsAndOverlapsOfEveryLengthCase) {
  struct Case {
    int La, Lb;
    std::vector<int> first, second;  // numOverlap per shift of the A-first and the B-first region
  };
  const Case cases[] = {
      {5, 7, {5, 5, 5, 4}, {5, 4}},
      {4, 4, {4}, {4}},
      {4, 10, {4, 4, 4, 4, 4, 4, 4}, {4}},
      {9, 6, {6, 5, 4}, {6, 6, 6, 6, 5, 4}},
      {8, 8, {8, 7, 6, 5, 4}, {8, 7, 6, 5, 4}},
      {10, 8, {8, 7, 6, 5, 4}, {8, 8, 8, 7, 6, 5, 4}},
      {8, 10, {8, 8, 8, 7, 6, 5, 4}, {8, 7, 6, 5, 4}},
  };
  std::mt19937 generator(7);
  for (const Case& c : cases) {
    SCOPED_TRACE("La " + std::to_string(c.La) + " Lb " + std::to_string(c.Lb));
    resetGlobals();
    simCutoff = 0.0;  // keep every shift
    Datasets = {makeMotif(1, 1, 1, "a", randomRows(generator, c.La)),
                makeMotif(2, 1, 2, "b", randomRows(generator, c.Lb))};
    scanDatasets();
    std::vector<Placement> want;
    for (std::size_t i = 0; i < c.first.size(); ++i)
      want.push_back({"Y", static_cast<int>(i) + 1, c.first[i]});
    for (std::size_t i = 0; i < c.second.size(); ++i)
      want.push_back({"", static_cast<int>(i) + 1, c.second[i]});
    EXPECT_EQ(placements("Forward"), want);
    EXPECT_EQ(placements("Backward"), want);
    ASSERT_EQ(scanned.size(), 2 * want.size());
    EXPECT_EQ(scanned.front().direction, "Forward");
    EXPECT_EQ(scanned.back().direction, "Backward");
  }
}

TEST_F(DatasetScan, WorkedExampleRowsMeetAsTabled) {
  // Motif A of 5 rows, motif B of 7; rows numbered from 1, as (A first, A last, B first, B last).
  struct Row {
    const char* direction;
    const char* flag;
    int position, a0, a1, b0, b1;
  };
  const Row rows[] = {
      {"Forward", "Y", 1, 1, 5, 1, 5},  {"Forward", "Y", 2, 1, 5, 2, 6},  {"Forward", "Y", 3, 1, 5, 3, 7},
      {"Forward", "Y", 4, 1, 4, 4, 7},  {"Forward", "", 1, 1, 5, 1, 5},   {"Forward", "", 2, 2, 5, 1, 4},
      {"Backward", "Y", 1, 1, 5, 3, 7}, {"Backward", "Y", 2, 1, 5, 2, 6}, {"Backward", "Y", 3, 1, 5, 1, 5},
      {"Backward", "Y", 4, 2, 5, 1, 4}, {"Backward", "", 1, 1, 5, 3, 7},  {"Backward", "", 2, 1, 4, 4, 7},
  };
  std::mt19937 generator(11);
  simCutoff = 0.0;
  Datasets = {makeMotif(1, 1, 1, "five", randomRows(generator, 5)),
              makeMotif(2, 1, 2, "seven", randomRows(generator, 7))};
  scanDatasets();
  ASSERT_EQ(scanned.size(), std::size(rows));
  for (std::size_t j = 0; j < std::size(rows); ++j) {
    const Row& want = rows[j];
    const dataCombinedScore& got = scanned[j];
    SCOPED_TRACE(std::string(want.direction) + " '" + want.flag + "' " + std::to_string(want.position));
    const bool backward = std::string(want.direction) == "Backward";
    std::vector<std::pair<int, int>> meeting;  // forward: from the starts up; backward: from the ends down
    const int n = want.a1 - want.a0 + 1;
    for (int k = 0; k < n; ++k)
      meeting.push_back(backward ? std::make_pair(want.a1 - 1 - k, want.b1 - 1 - k)
                                 : std::make_pair(want.a0 - 1 + k, want.b0 - 1 + k));
    const scantest::Scored best = scantest::scoreRows(Datasets[0], Datasets[1], meeting);
    EXPECT_EQ(got.direction, want.direction);
    EXPECT_EQ(got.scanOrderFlag, want.flag);
    EXPECT_EQ(got.position, want.position);
    EXPECT_EQ(got.numOverlap, n);
    EXPECT_EQ(got.firstMotifID, std::string(want.flag) == "Y" ? 1 : 2);
    EXPECT_TRUE(scantest::sameBits(got.rawScore, best.score)) << got.rawScore << " vs " << best.score;
    EXPECT_EQ(got.firstMatchingFormat, scantest::formatOf(best.winner / 2));
    EXPECT_EQ(got.secondMatchingFormat, scantest::formatOf(best.winner % 2));
  }
}

TEST_F(DatasetScan, ScoringExampleTiesAndCutoffBoundary) {
  // Each aligned position adds 0.75 + 1 + 1 + 0.75; four of them score 14 / 16 = 0.875. With each
  // reverse complement stored equal to its matrix all four pairs tie and "Both Orig" stays.
  const motifMatrix a(4, {0.5, 0.25, 0.25, 0.0});
  const motifMatrix b = scantest::uniformRows(4);
  auto load = [&] {
    Datasets = {makeMotif(1, 1, 1, "a", a, a), makeMotif(2, 1, 2, "b", b, b)};
    scanned.clear();
  };
  for (double cutoff : {0.5, 0.875}) {
    simCutoff = cutoff;
    load();
    scanDatasets();
    ASSERT_EQ(scanned.size(), 4u) << cutoff;  // 2 forward, 2 backward
    for (const auto& r : scanned) {
      EXPECT_EQ(r.rawScore, 0.875);
      EXPECT_EQ(r.firstMatchingFormat, "Original Motif");
      EXPECT_EQ(r.secondMatchingFormat, "Original Motif");
      EXPECT_EQ(r.position, 1);
      EXPECT_EQ(r.numOverlap, 4);
    }
  }
  simCutoff = std::nextafter(0.875, 1.0);
  load();
  scanDatasets();
  EXPECT_TRUE(scanned.empty());

  // A later pair wins only when strictly better: B's stored reverse complement equal to A scores 1.0
  // in "One Orig Two Rev Comp" and in "Both Rev Comp" (A's reverse complement is A); the earlier wins.
  simCutoff = 0.5;
  Datasets = {makeMotif(1, 1, 1, "a", a, a), makeMotif(2, 1, 2, "b", b, a)};
  scanned.clear();
  scanDatasets();
  ASSERT_EQ(scanned.size(), 4u);
  for (const auto& r : scanned) {
    EXPECT_EQ(r.rawScore, 1.0);
    EXPECT_EQ(r.firstMatchingFormat, "Original Motif");
    EXPECT_EQ(r.secondMatchingFormat, "Reverse Complement");
  }

  // A motif against an exact copy of itself scores 1.0 "Both Orig" where every row meets its copy.
  std::mt19937 generator(3);
  const motifMatrix rows = randomRows(generator, 9);
  Datasets = {makeMotif(1, 1, 1, "x", rows), makeMotif(2, 2, 1, "x copy", rows)};
  scanned.clear();
  scanDatasets();
  int full = 0;
  for (const auto& r : scanned)
    if (r.position == 1 && r.numOverlap == 9) {
      ++full;
      EXPECT_EQ(r.rawScore, 1.0);
      EXPECT_EQ(r.firstMatchingFormat, "Original Motif");
      EXPECT_EQ(r.secondMatchingFormat, "Original Motif");
    }
  EXPECT_EQ(full, 4);  // both listings, both directions
}

TEST_F(DatasetScan, BFirstRecordsListMotifBFirstButKeepScanOrderDatasetsAndFormats) {
  // Motif A is motif 3 of file 1, motif B motif 1 of file 2. A's stored reverse complement equals B,
  // so "One Rev Comp Two Orig" wins with 1.0: A is "Reverse Complement", B "Original Motif".
  std::mt19937 generator(5);
  const motifMatrix aRows = randomRows(generator, 6);
  const motifMatrix bRows = randomRows(generator, 6);
  simCutoff = 0.99;
  Datasets = {makeMotif(1, 1, 1, "short1", randomRows(generator, 3)),
              makeMotif(2, 1, 2, "short2", randomRows(generator, 3)), makeMotif(3, 1, 3, "A3", aRows, bRows),
              makeMotif(4, 2, 1, "B1", bRows, randomRows(generator, 6))};
  scanDatasets();
  ASSERT_EQ(scanned.size(), 4u);
  for (const auto& r : scanned) {
    const bool scanOrder = r.scanOrderFlag == "Y";
    EXPECT_EQ(r.firstMotifID, scanOrder ? 3 : 4);
    EXPECT_EQ(r.secondMotifID, scanOrder ? 4 : 3);
    EXPECT_EQ(r.firstMotifName, scanOrder ? "A3" : "B1");
    EXPECT_EQ(r.secondMotifName, scanOrder ? "B1" : "A3");
    EXPECT_EQ(r.firstMotifNumInFile, scanOrder ? 3 : 1);
    EXPECT_EQ(r.secondMotifNumInFile, scanOrder ? 1 : 3);
    EXPECT_EQ(r.firstDatasetNum, 1);
    EXPECT_EQ(r.secondDatasetNum, 2);
    EXPECT_EQ(r.firstMatchingFormat, "Reverse Complement");
    EXPECT_EQ(r.secondMatchingFormat, "Original Motif");
    EXPECT_EQ(r.rawScore, 1.0);
    EXPECT_EQ(r.scoreDiff, 0.0);
    EXPECT_EQ(r.similarityScore, 0.0);
  }
  EXPECT_EQ(scanned[0].scanOrderFlag, "Y");
  EXPECT_EQ(scanned[1].scanOrderFlag, "");
}

TEST_F(DatasetScan, ListMatchesThePlacementRuleAndIsTheSameOnAnyThreadCount) {
  // Lengths 3 to 20 across three files: short motifs take no part, every length case and every
  // shift remainder occurs. At 0.78 about half of the shifts of random rows pass.
  std::mt19937 generator(2024);
  std::uniform_int_distribution<int> lengths(3, 20);
  for (int j = 0; j < 40; ++j)
    Datasets.push_back(makeMotif(j + 1, j % 3 + 1, j / 3 + 1, "m" + std::to_string(j + 1),
                                 randomRows(generator, lengths(generator))));
  simCutoff = 0.78;
  const auto motifs = scanning::refsOf(Datasets);
  const std::vector<dataCombinedScore> want = reference::scanRecords(motifs, motifs, true, 1);
  ASSERT_GT(want.size(), 1000u);
  for (int threads : {1, 8, 3}) {
    SCOPED_TRACE(std::to_string(threads) + " threads");
    numThread = threads;
    scanDatasets();
    scantest::expectSameList(scanned, want);
    EXPECT_EQ(reference::firstDifference(reference::scanRecords(motifs, motifs, true, threads), want), "");
  }
}

// The rows of motif A and motif B (as (A row, B row), 0-based) that meet in a record of the pair, in
// the order the cells are added: forward from the first positions up, backward from the last down.
std::vector<std::pair<int, int>> meetingRows(const dataCombinedScore& r, int La, int Lb) {
  const bool bFirst = r.scanOrderFlag.empty();
  const bool backward = r.direction == "Backward";
  const int Lf = bFirst ? Lb : La, Ls = bFirst ? La : Lb;
  std::vector<std::pair<int, int>> rows;
  for (int k = 0; k < r.numOverlap; ++k) {
    const int rf = backward ? Lf - 1 - k : k;
    const int rs = backward ? Ls - r.position - k : r.position - 1 + k;
    rows.push_back(bFirst ? std::make_pair(rs, rf) : std::make_pair(rf, rs));
  }
  return rows;
}

TEST_F(DatasetScan, ScansScoreByTheSettingsTheyAreHanded) {
  // The run's settings would keep nothing (no score reaches 2) and scan motif 3 too; the settings
  // handed to the scan keep every shift of at least five positions, each cell scoring 2 - |a - b|.
  simCutoff = 2.0;
  numThread = 1;
  std::mt19937 generator(21);
  Datasets = {makeMotif(1, 1, 1, "seven", randomRows(generator, 7)),
              makeMotif(2, 1, 2, "nine", randomRows(generator, 9)),
              makeMotif(3, 1, 3, "four", randomRows(generator, 4))};
  const scanning::ScanSettings settings{.cutoff = 0.0, .minOverlap = 5, .cellMax = 2.0, .threads = 3};
  const auto motifs = scanning::refsOf(Datasets);
  scanned = reference::kernelRecords(motifs, motifs, true, settings);
  // Motif 3 is shorter than five positions: only the pair (1, 2), motif 1 (7 rows) on motif 2 (9 rows)
  // at five shifts, then motif 2 on motif 1 at three.
  const std::vector<Placement> want = {{"Y", 1, 7}, {"Y", 2, 7}, {"Y", 3, 7}, {"Y", 4, 6},
                                       {"Y", 5, 5}, {"", 1, 7},  {"", 2, 6},  {"", 3, 5}};
  EXPECT_EQ(placements("Forward"), want);
  EXPECT_EQ(placements("Backward"), want);
  for (const dataCombinedScore& r : scanned) {
    SCOPED_TRACE(std::string(r.direction.view()) + " '" + std::string(r.scanOrderFlag.view()) + "' " +
                 std::to_string(r.position));
    const scantest::Scored best =
        scantest::scoreRows(Datasets[0], Datasets[1], meetingRows(r, 7, 9), settings.cellMax);
    EXPECT_TRUE(scantest::sameBits(r.rawScore, best.score)) << r.rawScore << " vs " << best.score;
    EXPECT_GT(r.rawScore, 1.0);
  }
  EXPECT_EQ(simCutoff, 2.0);

  // A minimum overlap below one names no placement: refused, whatever the motifs.
  for (const std::int64_t least : {0, -3}) {
    const scanning::ScanSettings bad{.cutoff = 0.0, .minOverlap = least};
    EXPECT_THROW(reference::kernelRecords(motifs, motifs, true, bad), std::invalid_argument) << least;
    const data& a = Datasets[0];
    const data& b = Datasets[1];
    EXPECT_THROW(scanning::PackedPair({a.matrix, a.revCompMatrix}, {b.matrix, b.revCompMatrix}, bad, false),
                 std::invalid_argument)
        << least;
  }
}

TEST_F(DatasetScan, EachScanReturnsItsCounts) {
  // Lengths 7, 9 and 4 at the run's minimum overlap of 4, every shift kept: pairs (1, 2), (1, 3) and
  // (2, 3) with 6 + 4, 1 + 4 and 1 + 6 shifts.
  simCutoff = 0.0;
  std::mt19937 generator(22);
  Datasets = {makeMotif(1, 1, 1, "seven", randomRows(generator, 7)),
              makeMotif(2, 1, 2, "nine", randomRows(generator, 9)),
              makeMotif(3, 1, 3, "four", randomRows(generator, 4))};
  scanDatasets();
  for (const bool backward : {false, true}) {
    SCOPED_TRACE(backward ? "backward" : "forward");
    const scanning::ScanTotals totals = backward ? backwardScan() : forwardScan();
    std::int64_t kept = 0, positions = 0;
    for (const dataCombinedScore& r : scanned)
      if ((r.direction == "Backward") == backward) ++kept, positions += r.numOverlap;
    EXPECT_EQ(totals.pairs, 3);
    EXPECT_EQ(totals.shifts, 22);
    EXPECT_EQ(totals.kept, 22);
    EXPECT_EQ(totals.kept, kept);
    EXPECT_EQ(totals.positions, positions);
  }
}

TEST_F(DatasetScan, FewerThanTwoUsableMotifsGiveNoRecords) {
  std::mt19937 generator(1);
  simCutoff = 0.0;
  Datasets = {makeMotif(1, 1, 1, "only", randomRows(generator, 8))};
  scanDatasets();
  EXPECT_TRUE(scanned.empty());
  Datasets.push_back(makeMotif(2, 1, 2, "short", randomRows(generator, 3)));
  scanDatasets();
  EXPECT_TRUE(scanned.empty());
}

}  // namespace
}  // namespace korvelan
