#include <gtest/gtest.h>

#include <cstdlib>

#include "core/utilities.h"
#include "results/selection_fixture.h"

namespace korvelan::testing {
namespace {

using Table = std::vector<std::vector<std::string>>;

// A table as its CSV shows it: labels in row and column 0, each cell in its six-digit text.
Table textOf(const distanceTable& table) {
  if (!table.filled) return {};
  Table text{{""}};
  for (const std::string& label : table.labels) text[0].push_back(label);
  for (std::size_t i = 0; i < table.labels.size(); ++i) {
    text.push_back({table.labels[i]});
    for (std::size_t j = 0; j < table.labels.size(); ++j)
      text.back().push_back(numberToString(table.at(i, j)));
  }
  return text;
}

TEST_F(SelectionTest, DistanceTablesOfTheStandardFixture) {
  setStandardFixture();
  select();
  EXPECT_EQ(maxSumScoreCompare, 1.0);
  // Smallest key of each pair, whichever motif is listed first; ceil(2 + 1.0) = 3 where there is none.
  EXPECT_EQ(textOf(distanceMatrix), (Table{
                                        {"", "M1", "M2", "M3", "M4", "M5"},
                                        {"M1", "0", "0.0625", "0.25", "0.375", "3"},
                                        {"M2", "0.0625", "0", "3", "0.75", "3"},
                                        {"M3", "0.25", "3", "0", "0", "3"},
                                        {"M4", "0.375", "0.75", "0", "0", "3"},
                                        {"M5", "3", "3", "3", "3", "0"},
                                    }));
  // Top global motifs M1 and M2, then their partners M3 and M4; every cell comes from distanceMatrix.
  const Table global{
      {"", "M1", "M2", "M3", "M4"},       {"M1", "0", "0.0625", "0.25", "0.375"},
      {"M2", "0.0625", "0", "3", "0.75"}, {"M3", "0.25", "3", "0", "0"},
      {"M4", "0.375", "0.75", "0", "0"},
  };
  EXPECT_EQ(textOf(distanceMatrixGlobal), global);

  // With M3 a top motif too, the partners M3 (of M1) and M1 (of M3) are labelled once only.
  resetGlobals();
  SetUp();
  setStandardFixture();
  numTopMotif = 3;
  select();
  ASSERT_EQ(topGlobalMatchingResults.size(), 3u);
  EXPECT_EQ(textOf(distanceMatrixGlobal), global);
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
    const Table text = textOf(distanceMatrix);
    ASSERT_EQ(text.size(), 4u);
    EXPECT_EQ(text[1][2], c.cell12);
    EXPECT_EQ(text[2][1], c.cell12);
    EXPECT_EQ(text[1][3], c.cell13);
    EXPECT_EQ(text[3][1], c.cell13);
    // Each cell holds the number its text reads back as.
    EXPECT_EQ(distanceMatrix.at(0, 1), std::strtod(c.cell12.c_str(), nullptr));
    EXPECT_EQ(distanceMatrix.at(2, 0), std::strtod(c.cell13.c_str(), nullptr));
  }
}

TEST_F(SelectionTest, NoGlobalMatchGivesTheOneCellGlobalTable) {
  setMotifs({{"A", 1}, {"B", 1}, {"C", 2}});
  setAlignments({{1, 2, 0.5}});
  select();
  EXPECT_EQ(textOf(distanceMatrixGlobal), (Table{{""}}));
  EXPECT_EQ(textOf(distanceMatrix)[1][2], "0.5");
}

TEST_F(SelectionTest, RepeatedAndEmptyNamesKeepEveryPairInItsOwnCell) {
  // Some input layouts name every motif "NA"; a name may also be empty.
  setMotifs({{"NA", 1}, {"NA", 1}, {"", 2}, {"NA", 2}});
  setAlignments({{1, 2, 0.25}, {3, 4, 0.5}, {2, 4, 0.125}, {4, 3, 0.75}, {1, 3, 0.375}});
  numTopMotif = 1;
  select();
  EXPECT_EQ(textOf(distanceMatrix), (Table{
                                        {"", "NA", "NA", "", "NA"},
                                        {"NA", "0", "0.25", "0.375", "3"},
                                        {"NA", "0.25", "0", "3", "0.125"},
                                        {"", "0.375", "3", "0", "0.5"},
                                        {"NA", "3", "0.125", "0.5", "0"},
                                    }));
  // Global sums: motif 1 {1-3} .375, motif 2 {2-4} .125, motif 3 none, motif 4 none: motif 2 is the top.
  EXPECT_EQ(textOf(distanceMatrixGlobal), (Table{
                                              {"", "NA", "NA"},
                                              {"NA", "0", "0.125"},
                                              {"NA", "0.125", "0"},
                                          }));
}

TEST_F(SelectionTest, NoTreesNoTables) {
  setStandardFixture();
  motifCluster = "N";
  select();
  EXPECT_FALSE(distanceMatrix.filled);
  EXPECT_FALSE(distanceMatrixGlobal.filled);
  EXPECT_EQ(maxSumScoreCompare, 0.0);
}

}  // namespace
}  // namespace korvelan::testing
