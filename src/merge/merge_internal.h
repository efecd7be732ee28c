// What the merge files share beyond the public entry points.
#pragma once

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

// forwardScanTwoMatrices (backward false) or backwardScanTwoMatrices on prepared matrices, into
// `records` (emptied first; its storage is reused).
void scanTwoMatrices(const ScanMatrix& M1, const ScanMatrix& M2, TextRef name1, TextRef name2, bool backward,
                     std::vector<dataCombinedScore>& records);

}  // namespace korvelan
