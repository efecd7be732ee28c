// The two-matrix scans: the dataset scans' kernel on one pair of given matrices, so a placement's
// cells are added in exactly the order the dataset scans add them. A Forward and a Backward record
// of one placement often differ only in the last bit of their sums, and which of them wins decides
// a merge.
#include <algorithm>

#include "core/consensus.h"
#include "core/globals.h"
#include "merge/merge.h"
#include "merge/merge_internal.h"
#include "scan/scan.h"
#include "scan/scan_kernel.h"

namespace korvelan {

ScanMatrix::ScanMatrix(const motifMatrix& matrix)
    : matrix_(&matrix), built_(getRevCompMotif(matrix)), revComp_(&built_) {}

ScanMatrix::ScanMatrix(const motifMatrix& matrix, const motifMatrix& revComp)
    : matrix_(&matrix), revComp_(&revComp) {}

void scanTwoMatrices(const ScanMatrix& M1, const ScanMatrix& M2, TextRef name1, TextRef name2, bool backward,
                     std::vector<dataCombinedScore>& records) {
  records.clear();
  // Numbered by argument position: motif 1 in dataset 1, motif 2 in dataset 2.
  const scanning::MotifRef first{.motifID = 1, .name = name1, .datasetNum = 1, .motifNumInFile = 1};
  const scanning::MotifRef second{.motifID = 2, .name = name2, .datasetNum = 2, .motifNumInFile = 2};
  scanning::scanPair(first, {M1.matrix(), M1.revComp()}, second, {M2.matrix(), M2.revComp()},
                     runScanSettings(), backward, records);
  const auto shorter = static_cast<std::int32_t>(std::min(M1.matrix().size(), M2.matrix().size()));
  for (dataCombinedScore& record : records) {
    record.overlapDiff = shorter - record.numOverlap;
    record.scoreDiff = maxScore - record.rawScore;
    record.similarityScore = (static_cast<double>(record.overlapDiff) + record.scoreDiff) * 0.5;
  }
  std::stable_sort(records.begin(), records.end(), comparison);
}

std::vector<dataCombinedScore> forwardScanTwoMatrices(const motifMatrix& M1, const motifMatrix& M2,
                                                      TextRef name1, TextRef name2) {
  std::vector<dataCombinedScore> records;
  scanTwoMatrices(ScanMatrix(M1), ScanMatrix(M2), name1, name2, false, records);
  return records;
}

std::vector<dataCombinedScore> backwardScanTwoMatrices(const motifMatrix& M1, const motifMatrix& M2,
                                                       TextRef name1, TextRef name2) {
  std::vector<dataCombinedScore> records;
  scanTwoMatrices(ScanMatrix(M1), ScanMatrix(M2), name1, name2, true, records);
  return records;
}

}  // namespace korvelan
