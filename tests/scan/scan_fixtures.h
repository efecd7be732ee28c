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
  EXPECT_EQ(x.motifID, y.motifID);
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
  EXPECT_TRUE(x.spareText1.empty());
  EXPECT_TRUE(x.spareText2.empty());
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
// (A row, B row) in the given order, written straight from the scoring rule.
struct Scored {
  double score = 0.0;
  int winner = 0;
};
inline Scored scoreRows(const data& A, const data& B, const std::vector<std::pair<int, int>>& rows) {
  const motifMatrix* ofA[2] = {&A.matrix, &A.revCompMatrix};
  const motifMatrix* ofB[2] = {&B.matrix, &B.revCompMatrix};
  double sums[4] = {0, 0, 0, 0};
  for (const auto& [ra, rb] : rows)
    for (int c = 0; c < 4; ++c)
      for (int p = 0; p < 4; ++p)
        sums[p] += maxScore - std::fabs((*ofA[p / 2])[ra][c] - (*ofB[p % 2])[rb][c]);
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

// What a placement gives, written from the placement rule rather than the case tables: a record
// listing F first and S second at position P puts F's first row on S's P-th row from the start
// (forward) or F's last row on S's P-th row from the end (backward).
// Pairs (a, b) in loop order: b > a within one list (triangular) or every b of the second list.
inline std::vector<dataCombinedScore> expectedList(const std::vector<data>& listA,
                                                   const std::vector<data>& listB, bool triangular,
                                                   double cutoff) {
  std::vector<dataCombinedScore> list;
  for (int backward = 0; backward < 2; ++backward)
    for (std::size_t a = 0; a < listA.size(); ++a)
      for (std::size_t b = triangular ? a + 1 : 0; b < listB.size(); ++b) {
        const data& A = listA[a];
        const data& B = listB[b];
        if (A.matrix.size() < 4 || B.matrix.size() < 4) continue;
        for (int bFirst = 0; bFirst < 2; ++bFirst) {
          const data& F = bFirst ? B : A;
          const data& S = bFirst ? A : B;
          const int Lf = static_cast<int>(F.matrix.size()), Ls = static_cast<int>(S.matrix.size());
          for (int P = 1; P <= Ls - 3; ++P) {
            const int n = std::min(Lf, Ls - P + 1);
            std::vector<std::pair<int, int>> rows;  // (A row, B row) in the order they are added
            for (int k = 0; k < n; ++k) {
              const int rf = backward ? Lf - 1 - k : k;
              const int rs = backward ? Ls - P - k : P - 1 + k;
              rows.push_back(bFirst ? std::make_pair(rs, rf) : std::make_pair(rf, rs));
            }
            const scantest::Scored best = scoreRows(A, B, rows);
            if (!(best.score >= cutoff)) continue;
            dataCombinedScore r;
            r.direction = backward ? "Backward" : "Forward";
            r.motifID = F.motifID;
            r.firstDatasetNum = A.datasetNum;
            r.secondDatasetNum = B.datasetNum;
            r.firstMotifNumInFile = F.motifNumInFile;
            r.secondMotifNumInFile = S.motifNumInFile;
            r.scanOrderFlag = bFirst ? "" : "Y";
            r.firstMotifID = F.motifID;
            r.secondMotifID = S.motifID;
            r.firstMotifName = F.motifName;
            r.secondMotifName = S.motifName;
            r.position = P;
            r.numOverlap = n;
            r.rawScore = best.score;
            r.firstMatchingFormat = formatOf(best.winner / 2);
            r.secondMatchingFormat = formatOf(best.winner % 2);
            list.push_back(r);
          }
        }
      }
  return list;
}

}  // namespace korvelan::scantest
