#include <gtest/gtest.h>
#include <omp.h>

#include <random>
#include <sstream>

#include "core/utilities.h"
#include "results/selection_fixture.h"

namespace korvelan::testing {
namespace {

using Tags = std::vector<std::vector<std::int32_t>>;
using Ranking = std::vector<std::pair<std::int64_t, double>>;

// Keys of the standard fixture, listed per motif in sorted order (stored position: key, partner):
//   M1: 4 .0625 M2 | 6 .25 M3 | 1 .375 M4 | 2 .5 M3     other files: 6, 1, 2
//   M2: 9 .125 M1 | 5 .75 M4                             other files: 5
//   M3: 3 .125 M4 | 8 .125 M4 | 10 1.0 M1                other files: 10
//   M4: 7 0 M3                                           other files: none
//   M5: none
TEST_F(SelectionTest, SelectsRanksAndFillsTopLists) {
  setStandardFixture();
  EXPECT_EQ(select(), "\n\n");

  // Global: M1 {6, 1} .625, M2 {5} .75, M3 {10} 1.0, M4 and M5 empty; equal sums keep motif order.
  EXPECT_EQ(entries(globalMatchingScoreResultList),
            (Ranking{{4, 0.0}, {5, 0.0}, {1, 0.625}, {2, 0.75}, {3, 1.0}}));
  EXPECT_EQ(tags(topGlobalMatchingResults), (Tags{{6, 1}, {5}}));

  // Global and local: M1 {4, 6} .3125, M2 {9, 5} .875, M3 {3, 10} 1.125 (8 repeats partner M4), M4 {7} 0.
  EXPECT_EQ(entries(commonBestScoreResultList),
            (Ranking{{4, 0.0}, {5, 0.0}, {1, 0.3125}, {2, 0.875}, {3, 1.125}}));
  EXPECT_EQ(tags(topGlobalAndLocalMatchingResults), (Tags{{7}, {4, 6}}));
  EXPECT_EQ(tags(topBestMatchesResults), (Tags{{4, 6}, {9, 5}, {3, 10}, {7}}));

  // Top groups are copies of whole records.
  const dataCombinedScore& top = topGlobalMatchingResults[0][0];
  EXPECT_EQ(top.firstMotifID, 1);
  EXPECT_EQ(top.secondMotifID, 3);
  EXPECT_EQ(top.direction, "Backward");
  EXPECT_EQ(top.secondMotifName, "M3");
}

TEST_F(SelectionTest, TopListsStopAtNumTopMotifAndHoldNoEmptyGroup) {
  setStandardFixture();
  numTopMotif = 50;
  select();
  EXPECT_EQ(tags(topGlobalMatchingResults), (Tags{{6, 1}, {5}, {10}}));
  EXPECT_EQ(tags(topGlobalAndLocalMatchingResults), (Tags{{7}, {4, 6}, {9, 5}, {3, 10}}));

  resetGlobals();
  SetUp();
  setStandardFixture();
  numTopMotif = 1;
  select();
  EXPECT_EQ(tags(topGlobalMatchingResults), (Tags{{6, 1}}));
  EXPECT_EQ(tags(topGlobalAndLocalMatchingResults), (Tags{{7}}));
}

TEST_F(SelectionTest, OneInputFileHasNoGlobalSelection) {
  setMotifs({{"M1", 1}, {"M2", 1}, {"M3", 1}});
  setAlignments({{1, 2, 0.5}, {1, 3, 0.25}, {2, 3, 0.125}});
  numFile = 1;
  EXPECT_EQ(select(), "\n");
  EXPECT_TRUE(globalMatchingScoreResultList.empty());
  EXPECT_TRUE(topGlobalMatchingResults.empty());
  EXPECT_FALSE(distanceMatrixGlobal.filled);
  EXPECT_EQ(distanceMatrix.labels.size(), 3u);
  EXPECT_EQ(entries(commonBestScoreResultList), (Ranking{{3, 0.0}, {2, 0.125}, {1, 0.75}}));
  EXPECT_EQ(tags(topGlobalAndLocalMatchingResults), (Tags{{3}, {2, 1}}));
  EXPECT_EQ(tags(topBestMatchesResults), (Tags{{2, 1}, {3}}));
}

TEST_F(SelectionTest, SameFileMatchesNeverMakeGlobalMatches) {
  // M1 and M2 share file 1; M3 is alone in file 2 and has only a match with M1.
  setMotifs({{"M1", 1}, {"M2", 1}, {"M3", 2}});
  setAlignments({{1, 2, 0.0}, {2, 1, 0.0}, {1, 3, 0.5}});
  select();
  EXPECT_EQ(entries(globalMatchingScoreResultList), (Ranking{{2, 0.0}, {3, 0.0}, {1, 0.5}}));
  EXPECT_EQ(tags(topGlobalMatchingResults), (Tags{{3}}));
  EXPECT_EQ(tags(topGlobalAndLocalMatchingResults), (Tags{{2}, {1, 3}}));
}

TEST_F(SelectionTest, GlobalOnlyAndNoCombiningLeaveTheLaterTopListsEmpty) {
  for (const auto& [type, combine] : {std::pair{"Global-Only", "Y"}, std::pair{"All", "N"}}) {
    SCOPED_TRACE(std::string(type) + " " + combine);
    resetGlobals();
    SetUp();
    setStandardFixture();
    outputFileType = type;
    combinedMotifFlag = combine;
    EXPECT_EQ(select(), "\n\n");
    EXPECT_EQ(tags(topGlobalMatchingResults), (Tags{{6, 1}, {5}}));
    EXPECT_EQ(commonBestScoreResultList.size(), 5u);
    EXPECT_TRUE(topGlobalAndLocalMatchingResults.empty());
    EXPECT_TRUE(topBestMatchesResults.empty());
  }
}

TEST_F(SelectionTest, OneBestMatchMeansOneRecord) {
  setStandardFixture();
  numBestMatches = 1;
  select();
  EXPECT_EQ(tags(topBestMatchesResults), (Tags{{4}, {9}, {3}, {7}}));
  EXPECT_EQ(tags(topGlobalMatchingResults), (Tags{{6}, {5}}));
}

// A report that does not open ends the run at the part being written: what came before it in the
// sequence (the global ranking's console line, the global top list and tables) is done, what comes
// after it (the global-and-local ranking and its console line) is not.
TEST_F(SelectionTest, AFailingReportEndsTheRunAtItsPlaceInTheSequence) {
  for (int files : {2, 1}) {
    SCOPED_TRACE(files);
    resetGlobals();
    SetUp();
    setStandardFixture();
    numFile = files;
    outputFileFormat = "Text";
    reportPath(ReportId::Results) = outputPath + "missing/report.txt";
    keyStep();
    ::testing::internal::CaptureStdout();
    int status = 0;
    try {
      getResultsList();
    } catch (const RunEnded& ended) {
      status = ended.status;
    }
    const std::string printed = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(status, 1);
    EXPECT_EQ(printed, std::string(files == 2 ? "\n" : "") + "Invalid output path or output filename.");
    EXPECT_EQ(distanceMatrix.labels.size(), 5u);
    EXPECT_EQ(tags(topGlobalMatchingResults), files == 2 ? (Tags{{6, 1}, {5}}) : Tags{});
    EXPECT_EQ(distanceMatrixGlobal.filled, files == 2);
    EXPECT_TRUE(commonBestScoreResultList.empty());
    EXPECT_TRUE(topGlobalAndLocalMatchingResults.empty());
  }
}

// Everything the selection leaves for later stages, as text.
std::string snapshot() {
  std::ostringstream out;
  auto lists = [&](const std::vector<bestMatchList>& top) {
    for (const bestMatchList& group : top) {
      for (const dataCombinedScore& r : group) out << r.position << ' ';
      out << '|';
    }
    out << '\n';
  };
  auto ranking = [&](const std::vector<commonBestMatches>& list) {
    for (const commonBestMatches& e : list) out << e.motifID << ':' << e.sumScores << ' ';
    out << '\n';
  };
  auto table = [&](const distanceTable& cells) {
    for (const std::string& label : cells.labels) out << label << ',';
    for (const double cell : cells.cells) out << cell << ',';
    out << '\n';
  };
  ranking(globalMatchingScoreResultList);
  ranking(commonBestScoreResultList);
  lists(topGlobalMatchingResults);
  lists(topGlobalAndLocalMatchingResults);
  lists(topBestMatchesResults);
  table(distanceMatrix);
  table(distanceMatrixGlobal);
  return out.str();
}

TEST_F(SelectionTest, SameResultsForOneAndEightThreads) {
  const int threadsBefore = omp_get_max_threads();
  // 60 motifs in three files; 4000 alignments with few distinct keys, so ties are everywhere.
  std::vector<MotifSpec> motifs;
  for (int i = 0; i < 60; ++i) motifs.push_back({"m" + std::to_string(i + 1), i % 3 + 1});
  std::mt19937 random(7);
  std::vector<AlignmentSpec> alignments;
  for (int i = 0; i < 4000; ++i) {
    const std::int64_t first = static_cast<std::int64_t>(random() % 60) + 1;
    std::int64_t second = static_cast<std::int64_t>(random() % 59) + 1;
    if (second >= first) ++second;
    alignments.push_back(
        {first, second, 0.25 * static_cast<double>(random() % 5), i % 2 ? "Forward" : "Backward"});
  }

  std::string results[2];
  const int teams[2] = {1, 8};
  for (int t = 0; t < 2; ++t) {
    resetGlobals();
    SetUp();
    numTopMotif = 10;
    numBestMatches = 5;
    setMotifs(motifs);
    setAlignments(alignments);
    omp_set_num_threads(teams[t]);
    select();
    results[t] = snapshot();
    // Equal keys keep their stored order.
    for (const bestMatchList& group : topBestMatchesResults)
      for (std::size_t i = 1; i < group.size(); ++i)
        if (group[i].similarityScore == group[i - 1].similarityScore) {
          EXPECT_LT(group[i - 1].position, group[i].position);
        }
  }
  omp_set_num_threads(threadsBefore);
  EXPECT_EQ(results[0], results[1]);
  EXPECT_FALSE(topGlobalMatchingResults.empty());
}

}  // namespace
}  // namespace korvelan::testing
