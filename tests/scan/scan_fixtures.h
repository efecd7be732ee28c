// Motifs and checks shared by the scan tests.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "core/consensus.h"
#include "core/globals.h"
#include "core/records.h"
#include "reference/reference_path.h"
#include "scan/match_passes.h"
#include "scan/scan_kernel.h"
#include "support/test_support.h"

namespace korvelan::scantest {

using testing::makeMotif;

using testing::randomRows;

inline motifMatrix uniformRows(int length) {
  return motifMatrix(length, std::vector<double>(4, 0.25));
}

inline bool sameBits(double x, double y) {
  return std::memcmp(&x, &y, sizeof x) == 0;
}

// Every field of two records, scores bit for bit.
inline void expectSameRecord(const dataCombinedScore& x, const dataCombinedScore& y,
                             const std::string& where) {
  SCOPED_TRACE(where);
  EXPECT_EQ(x.direction, y.direction);
  EXPECT_EQ(x.firstDatasetNum, y.firstDatasetNum);
  EXPECT_EQ(x.secondDatasetNum, y.secondDatasetNum);
  EXPECT_EQ(x.firstMotifNumInFile, y.firstMotifNumInFile);
  EXPECT_EQ(x.secondMotifNumInFile, y.secondMotifNumInFile);
  EXPECT_EQ(x.scanOrderFlag, y.scanOrderFlag);
  EXPECT_EQ(x.firstMotifID, y.firstMotifID);
  EXPECT_EQ(x.secondMotifID, y.secondMotifID);
  EXPECT_EQ(x.firstMotifName.view(), y.firstMotifName.view());
  EXPECT_EQ(x.secondMotifName.view(), y.secondMotifName.view());
  EXPECT_EQ(x.position, y.position);
  EXPECT_EQ(x.numOverlap, y.numOverlap);
  EXPECT_TRUE(sameBits(x.rawScore, y.rawScore)) << x.rawScore << " vs " << y.rawScore;
  EXPECT_TRUE(sameBits(x.scoreDiff, y.scoreDiff));
  EXPECT_EQ(x.overlapDiff, y.overlapDiff);
  EXPECT_TRUE(sameBits(x.similarityScore, y.similarityScore));
  EXPECT_EQ(x.firstMatchingFormat, y.firstMatchingFormat);
  EXPECT_EQ(x.secondMatchingFormat, y.secondMatchingFormat);
}

inline void expectSameList(const std::vector<dataCombinedScore>& got,
                           const std::vector<dataCombinedScore>& want) {
  ASSERT_EQ(got.size(), want.size());
  for (std::size_t j = 0; j < got.size(); ++j) {
    expectSameRecord(got[j], want[j], "record " + std::to_string(j));
    if (::testing::Test::HasFailure()) return;
  }
}

// The best of the four orientation pairs of motif A against motif B over the given row pairs
// (A row, B row) in the given order, written straight from the scoring rule, each cell scoring
// cellMax - |a - b|.
struct Scored {
  double score = 0.0;
  int winner = 0;
};
inline Scored scoreRows(const data& A, const data& B, const std::vector<std::pair<int, int>>& rows,
                        double cellMax = maxScore) {
  const motifMatrix* ofA[2] = {&A.matrix, &A.revCompMatrix};
  const motifMatrix* ofB[2] = {&B.matrix, &B.revCompMatrix};
  double sums[4] = {0, 0, 0, 0};
  for (const auto& [ra, rb] : rows)
    for (int c = 0; c < 4; ++c)
      for (int p = 0; p < 4; ++p) sums[p] += cellMax - std::fabs((*ofA[p / 2])[ra][c] - (*ofB[p % 2])[rb][c]);
  Scored best{sums[0] / (4.0 * static_cast<double>(rows.size())), 0};
  for (int p = 1; p < 4; ++p) {
    const double score = sums[p] / (4.0 * static_cast<double>(rows.size()));
    if (score > best.score) best = Scored{score, p};
  }
  return best;
}

inline const char* formatOf(int orientation) {
  return orientation == 0 ? "Original Motif" : "Reverse Complement";
}

// The records of the database scans as the kernel hands them on, in the scans' order: the input
// motifs against DatabaseDatasets, or the query motifs of the given top global groups against it.
inline std::vector<dataCombinedScore> databaseRecords() {
  return reference::kernelRecords(scanning::refsOf(Datasets), scanning::refsOf(DatabaseDatasets), false);
}
inline std::vector<dataCombinedScore> queryRecords(const std::vector<bestMatchList>& topGlobal) {
  return reference::kernelRecords(scanning::queryMotifs(topGlobal, Datasets),
                                  scanning::refsOf(DatabaseDatasets), false);
}

}  // namespace korvelan::scantest
