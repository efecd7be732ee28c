// What the merge files share beyond the public entry points.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "core/records.h"

namespace korvelan {

// A matrix made ready for the two-matrix scans: the matrix and its reverse complement (that of
// getRevCompMotif), both borrowed where they exist already, so a matrix scanned many times is
// reverse-complemented once. The borrowed matrices must outlive this.
class ScanMatrix {
 public:
  // Borrows the matrix and builds its reverse complement.
  explicit ScanMatrix(const motifMatrix& matrix);
  // Borrows a matrix together with its reverse complement (a stored motif's, or one built before).
  ScanMatrix(const motifMatrix& matrix, const motifMatrix& revComp);
  ScanMatrix(motifMatrix&&) = delete;  // would dangle
  ScanMatrix(const ScanMatrix&) = delete;
  ScanMatrix& operator=(const ScanMatrix&) = delete;

  const motifMatrix& matrix() const { return *matrix_; }
  const motifMatrix& revComp() const { return *revComp_; }
  // The reverse complement this built, for the caller to keep (empty when it was borrowed).
  motifMatrix takeBuiltRevComp() { return std::move(built_); }

 private:
  const motifMatrix* matrix_;
  motifMatrix built_;
  const motifMatrix* revComp_;
};

// A two-matrix scan scores its blocks of shifts on the calling thread until it has scored this many
// aligned positions (some 60 ms), and shares the rest out over the thread team: after every team
// region the idle threads spin for a while, which would cost more processor time than most merge
// scans, and many end early. Tests lower it to put short pairs on the team.
inline std::int64_t soloPositions = std::int64_t{1} << 26;

// forwardScanTwoMatrices (backward false) or backwardScanTwoMatrices on prepared matrices, into
// `records` (emptied first; its storage is reused).
void scanTwoMatrices(const ScanMatrix& M1, const ScanMatrix& M2, TextRef name1, TextRef name2, bool backward,
                     std::vector<dataCombinedScore>& records);

// The first record of that list, found without building or sorting the others; none when the list
// is empty.
std::optional<dataCombinedScore> closestTwoMatrices(const ScanMatrix& M1, const ScanMatrix& M2, TextRef name1,
                                                    TextRef name2, bool backward);

// One shift of one pass of a two-matrix scan: the pass listing M2 first (bFirst) or M1 first.
struct LikelyShift {
  bool bFirst;
  std::int64_t shift;
};

// Whether that list holds any record. `likely`, a shift that probably reaches the cutoff, is scored
// first; only when it does not are the other shifts scored, until one reaches the cutoff.
bool twoMatricesAlign(const ScanMatrix& M1, const ScanMatrix& M2, bool backward,
                      std::optional<LikelyShift> likely = std::nullopt);

// Where the two motifs of a placement start on the rows of their merged matrix, which are the columns
// of their alignment text; none for a direction other than "Forward" and "Backward" or a placement
// whose rows cannot fit.
struct MergeStarts {
  std::int64_t first, second;
};
std::optional<MergeStarts> mergeStarts(std::int64_t lenA, std::int64_t lenB, std::string_view scanOrderFlag,
                                       std::string_view direction, std::int32_t position, std::int32_t numOverlap);

}  // namespace korvelan
