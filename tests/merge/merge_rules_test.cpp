// The merged matrix and the alignment text: worked placements, records that do not fit their
// matrices, and the property that every record of the two-matrix scans merges into the two motifs
// laid on one line with their overlap averaged.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "core/consensus.h"
#include "core/globals.h"
#include "merge/merge.h"
#include "support/test_support.h"

namespace korvelan {
namespace {

using testing::randomRows;
using testing::rowsOf;

// Rows that name themselves: a<k> holds 10 + k in A's column, b<k> holds 20 + k in C's column, so an
// average row shows which two rows met.
std::vector<double> aRow(int k) {
  return {10.0 + k, 0, 0, 0};
}
std::vector<double> bRow(int k) {
  return {0, 20.0 + k, 0, 0};
}
motifMatrix named(std::vector<double> (*row)(int), int length) {
  motifMatrix rows;
  for (int k = 0; k < length; ++k) rows.push_back(row(k));
  return rows;
}

// "a2" is a copied row of A, "b4" one of B, "a0b1" the average of a0 and b1.
motifMatrix expected(const std::vector<std::string>& names) {
  motifMatrix rows;
  for (const std::string& name : names) {
    const std::size_t b = name.find('b');
    if (name[0] == 'b') {
      rows.push_back(bRow(std::stoi(name.substr(1))));
    } else if (b == std::string::npos) {
      rows.push_back(aRow(std::stoi(name.substr(1))));
    } else {
      const std::vector<double> x = aRow(std::stoi(name.substr(1, b - 1))),
                                y = bRow(std::stoi(name.substr(b + 1)));
      rows.push_back({(x[0] + y[0]) * 0.5, (x[1] + y[1]) * 0.5, 0, 0});
    }
  }
  return rows;
}

struct MergeCase {
  int lenA, lenB;
  const char* direction;
  const char* flag;
  int position, numOverlap;
  std::vector<std::string> rows;
};

TEST(MergedMatrix, RowsPlacedByDirectionFlagAndPosition) {
  const MergeCase cases[] = {
      // A of 4 rows and B of 6.
      {4, 6, "Forward", "Y", 1, 4, {"a0b0", "a1b1", "a2b2", "a3b3", "b4", "b5"}},
      {4, 6, "Forward", "", 1, 4, {"a0b0", "a1b1", "a2b2", "a3b3", "b4", "b5"}},
      {4, 6, "Forward", "Y", 2, 4, {"b0", "a0b1", "a1b2", "a2b3", "a3b4", "b5"}},
      {4, 6, "Forward", "Y", 4, 3, {"b0", "b1", "b2", "a0b3", "a1b4", "a2b5", "a3"}},
      {4, 6, "Forward", "", 3, 2, {"a0", "a1", "a2b0", "a3b1", "b2", "b3", "b4", "b5"}},
      {4, 6, "Backward", "Y", 1, 4, {"b0", "b1", "a0b2", "a1b3", "a2b4", "a3b5"}},
      {4, 6, "Backward", "", 1, 4, {"b0", "b1", "a0b2", "a1b3", "a2b4", "a3b5"}},
      {4, 6, "Backward", "Y", 2, 4, {"b0", "a0b1", "a1b2", "a2b3", "a3b4", "b5"}},
      {4, 6, "Backward", "Y", 4, 3, {"a0", "a1b0", "a2b1", "a3b2", "b3", "b4", "b5"}},
      {4, 6, "Backward", "", 3, 2, {"b0", "b1", "b2", "b3", "a0b4", "a1b5", "a2", "a3"}},
      // Equal lengths overhanging: "Y" on one end mirrors the empty flag on the other.
      {5, 5, "Forward", "Y", 3, 3, {"b0", "b1", "a0b2", "a1b3", "a2b4", "a3", "a4"}},
      {5, 5, "Forward", "", 3, 3, {"a0", "a1", "a2b0", "a3b1", "a4b2", "b3", "b4"}},
      {5, 5, "Backward", "Y", 3, 3, {"a0", "a1", "a2b0", "a3b1", "a4b2", "b3", "b4"}},
      {5, 5, "Backward", "", 3, 3, {"b0", "b1", "a0b2", "a1b3", "a2b4", "a3", "a4"}},
      // Equal lengths fully overlapping: the shift plays no part.
      {5, 5, "Backward", "Y", 4, 5, {"a0b0", "a1b1", "a2b2", "a3b3", "a4b4"}},
      // Containment of B in A: the flag plays no part.
      {6, 4, "Forward", "", 3, 4, {"a0", "a1", "a2b0", "a3b1", "a4b2", "a5b3"}},
      {6, 4, "Forward", "Y", 3, 4, {"a0", "a1", "a2b0", "a3b1", "a4b2", "a5b3"}},
      {6, 4, "Backward", "", 3, 4, {"a0b0", "a1b1", "a2b2", "a3b3", "a4", "a5"}},
      // An overlap one more than the shorter motif: no merge once shifted; unshifted the start case.
      {4, 6, "Forward", "Y", 2, 5, {}},
      {4, 6, "Forward", "Y", 1, 5, {"a0b0", "a1b1", "a2b2", "a3b3", "b5"}},
      // A direction other than "Forward" reads as "Backward", a flag other than "Y" as the empty one.
      {4, 6, "Sideways", "Y", 4, 3, {"a0", "a1b0", "a2b1", "a3b2", "b3", "b4", "b5"}},
      {4, 6, "Forward", "N", 3, 2, {"a0", "a1", "a2b0", "a3b1", "b2", "b3", "b4", "b5"}},
      // A record that does not fit its matrices (A's shift beyond A's end) merges into nothing.
      {4, 10, "Forward", "", 7, 2, {}},
  };
  for (const MergeCase& c : cases) {
    SCOPED_TRACE(std::string(c.direction) + " '" + c.flag + "' position " + std::to_string(c.position) +
                 " overlap " + std::to_string(c.numOverlap) + " lengths " + std::to_string(c.lenA) + "/" +
                 std::to_string(c.lenB));
    EXPECT_EQ(combinedTwoMatrices(named(aRow, c.lenA), named(bRow, c.lenB), c.flag, c.direction, c.position,
                                  c.numOverlap),
              expected(c.rows));
  }
}

TEST(MergedMatrix, AveragesAreNotRescaled) {
  const motifMatrix merged =
      combinedTwoMatrices({{1, 0, 0, 0}, {0.3333, 0.3333, 0.3333, 0}},
                          {{0, 1, 0, 0}, {0.25, 0.25, 0.25, 0.25}}, "Y", "Forward", 1, 2);
  ASSERT_EQ(merged.size(), 2u);
  EXPECT_EQ(merged[0], (std::vector<double>{0.5, 0.5, 0, 0}));
  for (int x = 0; x < 3; ++x) EXPECT_DOUBLE_EQ(merged[1][x], 0.29165);
  EXPECT_DOUBLE_EQ(merged[1][3], 0.125);
}

struct AlignCase {
  const char* first;
  const char* second;
  const char* direction;
  const char* flag;
  int position, numOverlap;
  const char* alignment;
};

TEST(AlignmentText, PaddingPlacedByDirectionFlagAndPosition) {
  const AlignCase cases[] = {
      {"TGACTCA", "GATGACTCATC", "Forward", "Y", 3, 7, "--TGACTCA--_GATGACTCATC"},
      {"TGACTCA", "GATGACTCATC", "Forward", "", 3, 7, "--TGACTCA--_GATGACTCATC"},
      {"TGACTCA", "GATGACTCATC", "Forward", "Y", 1, 7, "TGACTCA----_GATGACTCATC"},
      {"TGACTCA", "GATGACTCATC", "Backward", "Y", 1, 7, "----TGACTCA_GATGACTCATC"},
      {"TGACTCA", "GATGACTCATC", "Backward", "", 3, 7, "--TGACTCA--_GATGACTCATC"},
      {"GATGACTCATC", "TGACTCA", "Backward", "Y", 2, 7, "GATGACTCATC_---TGACTCA-"},
      {"CACGTGAC", "GTGACGGT", "Forward", "Y", 4, 5, "---CACGTGAC_GTGACGGT---"},
      {"CACGTGAC", "GTGACGGT", "Forward", "", 4, 5, "CACGTGAC---_---GTGACGGT"},
      {"CACGTGAC", "GTGACGGT", "Backward", "Y", 4, 5, "CACGTGAC---_---GTGACGGT"},
      {"CACGTGAC", "GTGACGGT", "Backward", "", 4, 5, "---CACGTGAC_GTGACGGT---"},
      {"CACGTGAC", "GTGACGGT", "Forward", "Y", 1, 8, "CACGTGAC_GTGACGGT"},
      // A direction that is neither leaves both lines without letters.
      {"CACGTGAC", "GTGACGGT", "Sideways", "Y", 4, 5, "-----------_-----------"},
  };
  for (const AlignCase& c : cases) {
    SCOPED_TRACE(std::string(c.first) + " " + c.second + " " + c.direction + " '" + c.flag + "' " +
                 std::to_string(c.position));
    EXPECT_EQ(
        alignTwoMatrices(rowsOf(c.first), rowsOf(c.second), c.flag, c.direction, c.position, c.numOverlap),
        c.alignment);
  }
}

// Whatever a record holds, the merge reads only rows that exist and the alignment keeps two lines of
// one length with one joint; the sanitizer build checks the reads.
TEST(MergeRules, RecordsThatDoNotFitStaySafe) {
  const char* directions[] = {"Forward", "Backward", "Up"};
  const char* flags[] = {"Y", ""};
  for (int lenA : {0, 1, 4, 7})
    for (int lenB : {0, 3, 4, 9})
      for (const char* direction : directions)
        for (const char* flag : flags)
          for (int position = -2; position <= 14; ++position)
            for (int numOverlap = -3; numOverlap <= 14; ++numOverlap) {
              const motifMatrix A = named(aRow, lenA), B = named(bRow, lenB);
              const motifMatrix merged = combinedTwoMatrices(A, B, flag, direction, position, numOverlap);
              for (const auto& row : merged) ASSERT_EQ(row.size(), 4u);
              const std::string text = alignTwoMatrices(A, B, flag, direction, position, numOverlap);
              const std::size_t joint = text.find('_');
              ASSERT_NE(joint, std::string::npos);
              ASSERT_EQ(text.find('_', joint + 1), std::string::npos);
              const std::size_t length = static_cast<std::size_t>(std::max(0, lenA + lenB - numOverlap));
              ASSERT_EQ(joint, length);
              ASSERT_EQ(text.size() - joint - 1, length);
            }
}

// --- the merge of every scan record equals the two motifs laid on one line ---

// A placement: row 0 of A lies on row d of B (d < 0: before B's first row).
int overlapAt(int d, int lenA, int lenB) {
  return std::min(lenB, d + lenA) - std::max(0, d);
}

double scoreAt(const motifMatrix& A, const motifMatrix& B, int d) {
  double sum = 0.0;
  const int n = overlapAt(d, static_cast<int>(A.size()), static_cast<int>(B.size()));
  for (int j = std::max(0, d); j < std::max(0, d) + n; ++j)
    for (int x = 0; x < 4; ++x) sum += 1.0 - std::fabs(A[j - d][x] - B[j][x]);
  return sum / (4.0 * n);
}

// The two motifs on one line: a row where one lies is copied, a row where both lie is averaged.
motifMatrix laidOnOneLine(const motifMatrix& A, const motifMatrix& B, int d) {
  const int lenA = static_cast<int>(A.size()), lenB = static_cast<int>(B.size());
  motifMatrix line;
  for (int j = std::min(0, d); j < std::max(lenB, d + lenA); ++j) {
    const bool inA = j - d >= 0 && j - d < lenA, inB = j >= 0 && j < lenB;
    if (inA && inB) {
      std::vector<double> row(4);
      for (int x = 0; x < 4; ++x) row[x] = (A[j - d][x] + B[j][x]) * 0.5;
      line.push_back(row);
    } else {
      line.push_back(inA ? A[j - d] : B[j]);
    }
  }
  return line;
}

std::string consensusLine(const std::string& consensus, int at, int length) {
  std::string line(static_cast<std::size_t>(length), '-');
  line.replace(static_cast<std::size_t>(at), consensus.size(), consensus);
  return line;
}

TEST(MergeRules, EveryScanRecordMergesAsTheMotifsLaidOnOneLine) {
  resetGlobals();
  simCutoff = 0.0;  // keep every placement
  std::mt19937 generator(20261210);
  for (int lenA = 4; lenA <= 10; ++lenA)
    for (int lenB = 4; lenB <= 10; ++lenB) {
      const motifMatrix M1 = randomRows(generator, lenA), M2 = randomRows(generator, lenB);
      for (bool backward : {false, true}) {
        SCOPED_TRACE(std::to_string(lenA) + "/" + std::to_string(lenB) +
                     (backward ? " backward" : " forward"));
        const auto records = backward ? backwardScanTwoMatrices(M1, M2, "one", "two")
                                      : forwardScanTwoMatrices(M1, M2, "one", "two");
        std::set<int> placements;
        for (const dataCombinedScore& r : records) {
          const motifMatrix A = r.firstMatchingFormat == "Original Motif" ? M1 : getRevCompMotif(M1);
          const motifMatrix B = r.secondMatchingFormat == "Original Motif" ? M2 : getRevCompMotif(M2);
          // The one placement with the record's overlap and score.
          std::vector<int> found;
          for (int d = 4 - lenA; d <= lenB - 4; ++d)
            if (overlapAt(d, lenA, lenB) == r.numOverlap && std::fabs(scoreAt(A, B, d) - r.rawScore) < 1e-12)
              found.push_back(d);
          ASSERT_EQ(found.size(), 1u) << "position " << r.position << " flag '" << r.scanOrderFlag << "'";
          const int d = found[0];
          placements.insert(d);
          EXPECT_EQ(combinedTwoMatrices(A, B, r.scanOrderFlag, r.direction, r.position, r.numOverlap),
                    laidOnOneLine(A, B, d));
          const int length = lenA + lenB - r.numOverlap;
          EXPECT_EQ(alignTwoMatrices(A, B, r.scanOrderFlag, r.direction, r.position, r.numOverlap),
                    consensusLine(getConsensusString(A), d - std::min(0, d), length) + "_" +
                        consensusLine(getConsensusString(B), -std::min(0, d), length));
        }
        // Every placement that aligns at least four rows is among them.
        EXPECT_EQ(placements.size(), static_cast<std::size_t>(lenA + lenB - 7));
      }
    }
}

}  // namespace
}  // namespace korvelan
