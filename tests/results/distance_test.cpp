#include <gtest/gtest.h>

#include "results/selection_fixture.h"

namespace korvelan::testing {
namespace {

using Table = std::vector<std::vector<std::string>>;

TEST_F(SelectionTest, DistanceTablesOfTheStandardFixture) {
  setStandardFixture();
  select();
  EXPECT_EQ(maxSumScoreCompare, 1.0);
  // Smallest key of each pair, whichever motif is listed first; ceil(2 + 1.0) = 3 where there is none.
  EXPECT_EQ(distanceMatrix, (Table{
                                {"", "M1", "M2", "M3", "M4", "M5"},
                                {"M1", "0", "0.0625", "0.25", "0.375", "3"},
                                {"M2", "0.0625", "0", "3", "0.75", "3"},
                                {"M3", "0.25", "3", "0", "0", "3"},
                                {"M4", "0.375", "0.75", "0", "0", "3"},
                                {"M5", "3", "3", "3", "3", "0"},
                            }));
  // Top global motifs M1 and M2, then their partners M3 and M4; every cell comes from distanceMatrix.
  const Table global{
      {"", "M1", "M2", "M3", "M4"},
      {"M1", "0", "0.0625", "0.25", "0.375"},
      {"M2", "0.0625", "0", "3", "0.75"},
      {"M3", "0.25", "3", "0", "0"},
      {"M4", "0.375", "0.75", "0", "0"},
  };
  EXPECT_EQ(distanceMatrixGlobal, global);

  // With M3 a top motif too, the partners M3 (of M1) and M1 (of M3) are labelled once only.
  resetGlobals();
  SetUp();
  setStandardFixture();
  numTopMotif = 3;
  select();
  ASSERT_EQ(topGlobalMatchingResults.size(), 3u);
  EXPECT_EQ(distanceMatrixGlobal, global);
}

TEST_F(SelectionTest, DistanceCellTexts) {
  struct Case {
    const char* what;
    std::vector<AlignmentSpec> alignments;
    std::string cell12, cell13;
  };
  const Case cases[] = {
      {"no alignment at all", {}, "2", "2"},
      {"largest key 0.9", {{1, 3, 0.9}}, "3", "0.9"},
      {"smaller key listed under the partner", {{1, 2, 0.5}, {2, 1, 0.25}}, "0.25", "3"},
      {"six significant digits", {{1, 2, 1.0 / 12.0}, {3, 1, 1e-5}}, "0.0833333", "1e-05"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    resetGlobals();
    SetUp();
    setMotifs({{"A", 1}, {"B", 1}, {"C", 2}});
    setAlignments(c.alignments);
    select();
    ASSERT_EQ(distanceMatrix.size(), 4u);
    EXPECT_EQ(distanceMatrix[1][2], c.cell12);
    EXPECT_EQ(distanceMatrix[2][1], c.cell12);
    EXPECT_EQ(distanceMatrix[1][3], c.cell13);
    EXPECT_EQ(distanceMatrix[3][1], c.cell13);
  }
}

TEST_F(SelectionTest, NoGlobalMatchGivesTheOneCellGlobalTable) {
  setMotifs({{"A", 1}, {"B", 1}, {"C", 2}});
  setAlignments({{1, 2, 0.5}});
  select();
  EXPECT_EQ(distanceMatrixGlobal, (Table{{""}}));
  EXPECT_EQ(distanceMatrix[1][2], "0.5");
}

TEST_F(SelectionTest, RepeatedAndEmptyNamesKeepEveryPairInItsOwnCell) {
  // Some input layouts name every motif "NA"; a name may also be empty.
  setMotifs({{"NA", 1}, {"NA", 1}, {"", 2}, {"NA", 2}});
  setAlignments({{1, 2, 0.25}, {3, 4, 0.5}, {2, 4, 0.125}, {4, 3, 0.75}, {1, 3, 0.375}});
  numTopMotif = 1;
  select();
  EXPECT_EQ(distanceMatrix, (Table{
                                {"", "NA", "NA", "", "NA"},
                                {"NA", "0", "0.25", "0.375", "3"},
                                {"NA", "0.25", "0", "3", "0.125"},
                                {"", "0.375", "3", "0", "0.5"},
                                {"NA", "3", "0.125", "0.5", "0"},
                            }));
  // Global sums: motif 1 {1-3} .375, motif 2 {2-4} .125, motif 3 none, motif 4 none: motif 2 is the top.
  EXPECT_EQ(distanceMatrixGlobal, (Table{
                                      {"", "NA", "NA"},
                                      {"NA", "0", "0.125"},
                                      {"NA", "0.125", "0"},
                                  }));
}

TEST_F(SelectionTest, NoTreesNoTables) {
  setStandardFixture();
  motifCluster = "N";
  select();
  EXPECT_TRUE(distanceMatrix.empty());
  EXPECT_TRUE(distanceMatrixGlobal.empty());
  EXPECT_EQ(maxSumScoreCompare, 0.0);
}

}  // namespace
}  // namespace korvelan::testing
