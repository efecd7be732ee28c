// The comparison scan, written plainly from the alignment rules: a motif pair at a time, each of its
// two regions a parallel region of its own over the shifts, rows read from the motif records.
#include "reference_scan.h"

#include <omp.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <tuple>

#include "core/globals.h"

namespace korvelan::bench {
namespace {

double valueAt(const motifMatrix& matrix, std::size_t row, std::size_t column) {
  return matrix[row][column];
}

void region(const scanning::MotifRef& A, const scanning::MotifRef& B, bool bFirst, bool backward, int threads,
            std::vector<dataCombinedScore>& shared) {
  const auto La = static_cast<long>(A.motif->matrix.size());
  const auto Lb = static_cast<long>(B.motif->matrix.size());
  const long shifts = (bFirst ? La : Lb) - overlap + 1;
  const motifMatrix* matA[2] = {&A.motif->matrix, &A.motif->revCompMatrix};
  const motifMatrix* matB[2] = {&B.motif->matrix, &B.motif->revCompMatrix};
  static const char* const formats[2] = {"Original Motif", "Reverse Complement"};
#pragma omp parallel num_threads(threads)
  {
    std::vector<dataCombinedScore> local;
#pragma omp for schedule(static) nowait
    for (long i = 0; i < shifts; ++i) {
      const long n = bFirst ? std::min(Lb, La - i) : std::min(La, Lb - i);
      double sums[4] = {0.0, 0.0, 0.0, 0.0};
      for (long k = 0; k < n; ++k) {
        long ra, rb;
        if (!backward) {
          ra = bFirst ? i + k : k;
          rb = bFirst ? k : i + k;
        } else {
          ra = bFirst ? La - 1 - i - k : La - 1 - k;
          rb = bFirst ? Lb - 1 - k : Lb - 1 - i - k;
        }
        for (std::size_t c = 0; c < 4; ++c)
          for (int p = 0; p < 4; ++p) {
            const double a = valueAt(*matA[p / 2], static_cast<std::size_t>(ra), c);
            const double b = valueAt(*matB[p % 2], static_cast<std::size_t>(rb), c);
            sums[p] += maxScore - std::fabs(a - b);
          }
      }
      double best = sums[0] / static_cast<double>(4 * n);
      int winner = 0;
      for (int p = 1; p < 4; ++p)
        if (sums[p] / static_cast<double>(4 * n) > best)
          best = sums[p] / static_cast<double>(4 * n), winner = p;
      if (best >= simCutoff) {
        const scanning::MotifRef& first = bFirst ? B : A;
        const scanning::MotifRef& second = bFirst ? A : B;
        dataCombinedScore r;
        r.direction = backward ? "Backward" : "Forward";
        r.motifID = first.motifID;
        r.firstDatasetNum = A.datasetNum;
        r.secondDatasetNum = B.datasetNum;
        r.firstMotifNumInFile = first.motifNumInFile;
        r.secondMotifNumInFile = second.motifNumInFile;
        r.scanOrderFlag = bFirst ? "" : "Y";
        r.firstMotifID = first.motifID;
        r.secondMotifID = second.motifID;
        r.firstMotifName = first.name;
        r.secondMotifName = second.name;
        r.position = static_cast<std::int32_t>(i + 1);
        r.numOverlap = static_cast<std::int32_t>(n);
        r.rawScore = best;
        r.firstMatchingFormat = formats[winner / 2];
        r.secondMatchingFormat = formats[winner % 2];
        local.push_back(r);
      }
    }
#pragma omp barrier
#pragma omp critical
    shared.insert(shared.end(), local.begin(), local.end());
  }
}

}  // namespace

void referenceScan(const std::vector<scanning::MotifRef>& listA, const std::vector<scanning::MotifRef>& listB,
                   bool triangular, bool backward, int threads, std::vector<dataCombinedScore>& shared) {
  for (std::size_t a = 0; a < listA.size(); ++a)
    for (std::size_t b = triangular ? a + 1 : 0; b < listB.size(); ++b) {
      if (listA[a].motif->matrix.size() < static_cast<std::size_t>(overlap) ||
          listB[b].motif->matrix.size() < static_cast<std::size_t>(overlap))
        continue;
      region(listA[a], listB[b], false, backward, threads, shared);
      region(listA[a], listB[b], true, backward, threads, shared);
    }
}

void referenceKeys(std::vector<dataCombinedScore>& records, std::size_t motifCount, bool database) {
  std::vector<maxScores> maxima(motifCount);
  auto inputMotif = [](const dataCombinedScore& r) {
    return r.scanOrderFlag == "Y" ? r.firstMotifID : r.secondMotifID;
  };
  auto raise = [&](std::int64_t id, const dataCombinedScore& r) {
    maxScores& e = maxima[static_cast<std::size_t>(id - 1)];
    if (r.rawScore > e.bestScore) e.bestScore = r.rawScore;
    if (r.numOverlap > e.longestOverlap) e.longestOverlap = r.numOverlap;
  };
  for (const dataCombinedScore& r : records) {
    if (database) {
      raise(inputMotif(r), r);
    } else {
      raise(r.firstMotifID, r);
      raise(r.secondMotifID, r);
    }
  }
  for (dataCombinedScore& r : records) {
    const maxScores& e = maxima[static_cast<std::size_t>((database ? inputMotif(r) : r.firstMotifID) - 1)];
    r.overlapDiff = std::abs(r.numOverlap - e.longestOverlap);
    r.scoreDiff = std::fabs(r.rawScore - e.bestScore);
    r.similarityScore = (r.overlapDiff + r.scoreDiff) * 0.5;
  }
}

void sortIntoScanOrder(std::vector<dataCombinedScore>& records) {
  auto key = [](const dataCombinedScore& r) {
    const bool scanOrder = r.scanOrderFlag == "Y";
    const std::int64_t a = scanOrder ? r.firstMotifID : r.secondMotifID;
    const std::int64_t b = scanOrder ? r.secondMotifID : r.firstMotifID;
    return std::make_tuple(r.direction == "Forward" ? 0 : 1, a, b, scanOrder ? 0 : 1, r.position);
  };
  std::stable_sort(records.begin(), records.end(),
                   [&](const dataCombinedScore& x, const dataCombinedScore& y) { return key(x) < key(y); });
}

bool identicalLists(const std::vector<dataCombinedScore>& a, const std::vector<dataCombinedScore>& b) {
  if (a.size() != b.size()) return false;
  auto same = [](double x, double y) { return std::memcmp(&x, &y, sizeof x) == 0; };
  for (std::size_t j = 0; j < a.size(); ++j) {
    const dataCombinedScore& x = a[j];
    const dataCombinedScore& y = b[j];
    if (!(x.direction == y.direction && x.motifID == y.motifID && x.firstDatasetNum == y.firstDatasetNum &&
          x.secondDatasetNum == y.secondDatasetNum && x.firstMotifNumInFile == y.firstMotifNumInFile &&
          x.secondMotifNumInFile == y.secondMotifNumInFile && x.scanOrderFlag == y.scanOrderFlag &&
          x.firstMotifID == y.firstMotifID && x.secondMotifID == y.secondMotifID &&
          x.firstMotifName.view() == y.firstMotifName.view() &&
          x.secondMotifName.view() == y.secondMotifName.view() && x.position == y.position &&
          x.numOverlap == y.numOverlap && same(x.rawScore, y.rawScore) && same(x.scoreDiff, y.scoreDiff) &&
          x.overlapDiff == y.overlapDiff && same(x.similarityScore, y.similarityScore) &&
          x.firstMatchingFormat == y.firstMatchingFormat &&
          x.secondMatchingFormat == y.secondMatchingFormat && x.spareText1 == y.spareText1 &&
          x.spareText2 == y.spareText2))
      return false;
  }
  return true;
}

}  // namespace korvelan::bench
