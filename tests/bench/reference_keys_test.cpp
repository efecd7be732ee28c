// The plain path's best scores, longest overlaps and ranking keys: the rules the runs' selecting pass
// is compared against.
#include <gtest/gtest.h>

#include <cmath>

#include "core/globals.h"
#include "reference/reference_path.h"
#include "support/test_support.h"

namespace korvelan {
namespace {

// A forward alignment with its score and overlap, listed as the flag says.
dataCombinedScore scored(std::int64_t first, std::int64_t second, const char* flag, double score,
                         int overlapCount) {
  return testing::alignment({.direction = "Forward",
                             .flag = flag,
                             .first = first,
                             .second = second,
                             .overlap = overlapCount,
                             .rawScore = score});
}

void expectEntry(const maxScores& e, double best, int longest) {
  EXPECT_EQ(e.bestScore, best);
  EXPECT_EQ(e.longestOverlap, longest);
}

void expectKey(const dataCombinedScore& r, int overlapDiff, double scoreDiff, double key) {
  EXPECT_EQ(r.overlapDiff, overlapDiff);
  EXPECT_EQ(r.scoreDiff, scoreDiff);
  EXPECT_EQ(r.similarityScore, key);
}

TEST(ReferenceKeys, DatasetMaximaCountBothMotifsAndKeysRankForTheFirst) {
  // Motif 1: best 0.875 over overlap 10; motif 2 gets 0.95 only through an alignment listed under 3;
  // motif 4 has no alignment.
  std::vector<dataCombinedScore> list = {
      scored(1, 2, "Y", 0.875, 10), scored(1, 3, "Y", 0.75, 8),  scored(2, 1, "", 0.8, 7),
      scored(3, 2, "", 0.95, 5),    scored(3, 1, "", 0.875, 10),
  };
  const std::vector<maxScores> maxima = reference::setKeys(list, 4, false);
  ASSERT_EQ(maxima.size(), 4u);
  expectEntry(maxima[0], 0.875, 10);
  expectEntry(maxima[1], 0.95, 10);
  expectEntry(maxima[2], 0.95, 10);
  expectEntry(maxima[3], 0.0, 0);
  expectKey(list[0], 0, 0.0, 0.0);
  expectKey(list[1], 2, 0.125, 1.0625);
  expectKey(list[2], 3, std::abs(0.8 - 0.95), (3 + std::abs(0.8 - 0.95)) * 0.5);  // measured against 0.95
  expectKey(list[3], 5, 0.0, 2.5);
  expectKey(list[4], 0, std::abs(0.875 - 0.95), std::abs(0.875 - 0.95) * 0.5);

  std::vector<dataCombinedScore> none;
  const std::vector<maxScores> zeroed = reference::setKeys(none, 3, false);
  ASSERT_EQ(zeroed.size(), 3u);
  for (const auto& e : zeroed) expectEntry(e, 0.0, 0);
}

TEST(ReferenceKeys, DatabaseFamiliesCountTheInputMotifOnly) {
  // Input motifs are found through the flag: firstMotifID with "Y", secondMotifID otherwise. The
  // database motif 2 of the "" record is no input motif, though 2 is a valid input motif ID.
  std::vector<dataCombinedScore> list = {
      scored(1, 7, "Y", 0.875, 10),
      scored(2, 1, "", 0.95, 12),  // database motif 2, input motif 1
      scored(3, 3, "Y", 0.75, 8),
  };
  const std::vector<maxScores> maxima = reference::setKeys(list, 4, true);
  ASSERT_EQ(maxima.size(), 4u);
  expectEntry(maxima[0], 0.95, 12);
  expectEntry(maxima[1], 0.0, 0);
  expectEntry(maxima[2], 0.75, 8);
  expectKey(list[0], 2, std::abs(0.875 - 0.95), (2 + std::abs(0.875 - 0.95)) * 0.5);
  expectKey(list[1], 0, 0.0, 0.0);
  expectKey(list[2], 0, 0.0, 0.0);
}

}  // namespace
}  // namespace korvelan
