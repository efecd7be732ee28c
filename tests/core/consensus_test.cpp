#include "core/consensus.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "support/test_support.h"

namespace korvelan {
namespace {

TEST(Consensus, WorkedRows) {
  const std::pair<std::vector<double>, char> rows[] = {
      {{0.6, 0.3, 0.1, 0}, 'A'},             // ratio exactly 2.0
      {{0.55, 0.3, 0.15, 0}, 'M'},
      {{0.5, 0.5, 0, 0}, 'M'},
      {{0, 0.3333, 0.3333, 0.3333}, 'B'},
      {{0.4, 0.3, 0.2, 0.1}, 'V'},
      {{0.25, 0.25, 0.25, 0.25}, 'N'},       // top three sum to exactly 0.75
      {{0, 0, 0.45, 0.55}, 'K'},
      {{1, 0, 0, 0}, 'A'},                   // second value 0: infinite ratio
      {{0, 0, 0, 0}, 'N'},
      {{0.5, 0, 0, 0.5}, 'W'},
      {{0, 0.9, 0.1, 0}, 'C'},
      {{0.1, 0.1, 0.1, 0.7}, 'T'},
      {{0.4, 0.0, 0.4, 0.2}, 'R'},
      {{0.0, 0.4, 0.0, 0.4}, 'Y'},
      {{0.3, 0.0, 0.3, 0.3}, 'D'},
      {{0.3, 0.3, 0.0, 0.3}, 'H'},
  };
  for (const auto& [row, letter] : rows) {
    EXPECT_EQ(getConsensusString({row}), std::string(1, letter))
        << row[0] << " " << row[1] << " " << row[2] << " " << row[3];
  }
}

TEST(Consensus, EveryRowGetsALetter) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  // Top above 0.5 with second at least 0.5 fits no letter rule; it takes the two-base code.
  EXPECT_EQ(getConsensusString({{0.6, 0.0, 0.55, -0.15}}), "R");
  EXPECT_EQ(getConsensusString({{nan, nan, nan, nan}}), "N");
  EXPECT_EQ(getConsensusString({}), "");
  EXPECT_EQ(getConsensusString({{1, 0, 0, 0}, {0, 0, 1, 0}, {0.25, 0.25, 0.25, 0.25}}), "AGN");
}

// The scans and the readers of several runs may ask for consensus strings at once: every thread gets
// the letters one thread alone would.
TEST(Consensus, ThreadsAtOnceGetTheLettersOfOneThread) {
  std::mt19937 generator(7);
  std::vector<motifMatrix> matrices;
  for (int m = 0; m < 200; ++m) matrices.push_back(testing::randomRows(generator, 4 + m % 20));
  std::vector<std::string> alone;
  for (const motifMatrix& matrix : matrices) alone.push_back(getConsensusString(matrix));
  std::vector<std::vector<std::string>> together(8);
  {
    std::vector<std::thread> threads;
    for (auto& letters : together)
      threads.emplace_back([&matrices, &letters] {
        for (int round = 0; round < 20; ++round)
          for (const motifMatrix& matrix : matrices) letters.push_back(getConsensusString(matrix));
      });
    for (std::thread& thread : threads) thread.join();
  }
  for (const auto& letters : together) {
    ASSERT_EQ(letters.size(), 20 * alone.size());
    for (std::size_t i = 0; i < letters.size(); ++i) ASSERT_EQ(letters[i], alone[i % alone.size()]) << i;
  }
}

TEST(ReverseComplement, SwapsOnlyThePairHoldingTheMaximum) {
  EXPECT_EQ(getRevCompMotif({{0.7, 0.1, 0.1, 0.1}, {0.1, 0.1, 0.2, 0.6}}),
            (motifMatrix{{0.6, 0.1, 0.2, 0.1}, {0.1, 0.1, 0.1, 0.7}}));
  EXPECT_EQ(getRevCompMotif({{0.4, 0.4, 0.1, 0.1}}), (motifMatrix{{0.1, 0.4, 0.1, 0.4}}));  // tie goes to A
  EXPECT_EQ(getRevCompMotif({{1, 0, 0, 0}}), (motifMatrix{{0, 0, 0, 1}}));
  EXPECT_EQ(getConsensusString(getRevCompMotif({{1, 0, 0, 0}})), "T");
  EXPECT_EQ(getRevCompMotif({{0, 0, 0, 0}}), (motifMatrix{{0, 0, 0, 0}}));
  EXPECT_EQ(getRevCompMotif({{0.5, 0, 0, 0.5}}), (motifMatrix{{0.5, 0, 0, 0.5}}));
  EXPECT_EQ(getRevCompMotif({{-0.1, -0.2, -0.3, -0.4}}), (motifMatrix{{-0.4, -0.2, -0.3, 0.0}}));
  EXPECT_EQ(getRevCompMotif({{0.1, 0.6, 0.2, 0.1}}), (motifMatrix{{0.1, 0.2, 0.6, 0.1}}));
  EXPECT_TRUE(getRevCompMotif({}).empty());
}

TEST(ReverseComplement, LeavesItsArgumentAlone) {
  const motifMatrix m{{0.7, 0.1, 0.1, 0.1}, {0.1, 0.1, 0.2, 0.6}};
  motifMatrix copy = m;
  getRevCompMotif(copy);
  EXPECT_EQ(copy, m);
}

}  // namespace
}  // namespace korvelan
