// Each motif's best score and longest overlap over the alignments that count for it, and every
// alignment's distance from those figures (the ranking key; smaller is closer).
#include <omp.h>

#include <cmath>
#include <cstdlib>

#include "core/globals.h"
#include "core/motifs.h"
#include "core/parallel.h"
#include "scan/scan.h"
#include "scan/scan_kernel.h"

namespace korvelan {
namespace {

// In the database lists the input (or query) motif is listed first exactly when the flag is "Y".
std::int64_t inputMotifOf(const dataCombinedScore& record) {
  return record.scanOrderFlag == "Y" ? record.firstMotifID : record.secondMotifID;
}

// The maxima pass: resizes `maxima` to one entry per input motif and raises each entry by the
// records that count for its motif (both listed motifs, or the input motif only). A maximum does not
// depend on the order it is taken in, so each thread measures one block of the list on its own and
// the blocks are merged by the same strict comparisons; the result is that of one pass in list order.
void measure(const std::vector<dataCombinedScore>& records, std::vector<maxScores>& maxima, bool bothMotifs) {
  maxima.resize(Datasets.size());
  const int threads = scanning::teamSize();
  std::vector<std::vector<maxScores>> partial(static_cast<std::size_t>(threads));
  std::vector<std::vector<char>> counted(static_cast<std::size_t>(threads));
  RegionGuard guard;
#pragma omp parallel num_threads(threads)
  guard.run([&] {
    const auto t = static_cast<std::size_t>(omp_get_thread_num());
    const auto team = static_cast<std::size_t>(omp_get_num_threads());
    std::vector<maxScores>& local = partial[t];
    std::vector<char>& seen = counted[t];
    local = maxima;  // from the entries as they stand, like one pass would
    seen.assign(maxima.size(), 0);
    const std::size_t begin = records.size() * t / team, end = records.size() * (t + 1) / team;
    auto raise = [&](std::int64_t id, const dataCombinedScore& r) {
      maxScores* e = atMotifID(local, id);
      if (e == nullptr) return;
      if (r.rawScore > e->bestScore) e->bestScore = r.rawScore;
      if (r.numOverlap > e->longestOverlap) e->longestOverlap = r.numOverlap;
      seen[static_cast<std::size_t>(id - 1)] = 1;
    };
    for (std::size_t j = begin; j < end; ++j) {
      const dataCombinedScore& r = records[j];
      if (bothMotifs) {
        raise(r.firstMotifID, r);
        raise(r.secondMotifID, r);
      } else {
        raise(inputMotifOf(r), r);
      }
    }
  });
  guard.rethrow();
  for (std::size_t t = 0; t < partial.size(); ++t) {
    if (partial[t].size() != maxima.size()) continue;  // a thread the team did not start
    for (std::size_t k = 0; k < maxima.size(); ++k) {
      if (!counted[t][k]) continue;
      maxScores& e = maxima[k];
      const maxScores& p = partial[t][k];
      if (p.bestScore > e.bestScore) e.bestScore = p.bestScore;
      if (p.longestOverlap > e.longestOverlap) e.longestOverlap = p.longestOverlap;
      e.motifID = static_cast<std::int64_t>(k + 1);
      e.midOverlap = (e.longestOverlap + 4) / 2;
    }
  }
}

template <class RankedFor>
void setKeys(std::vector<dataCombinedScore>& records, std::vector<maxScores>& maxima, RankedFor rankedFor) {
  const auto n = static_cast<std::int64_t>(records.size());
#pragma omp parallel for schedule(static) num_threads(scanning::teamSize())
  for (std::int64_t j = 0; j < n; ++j) {
    dataCombinedScore& record = records[static_cast<std::size_t>(j)];
    const maxScores* entry = atMotifID(maxima, rankedFor(record));
    if (entry == nullptr) continue;
    record.overlapDiff = std::abs(record.numOverlap - entry->longestOverlap);
    record.scoreDiff = std::abs(record.rawScore - entry->bestScore);
    record.similarityScore = (static_cast<double>(record.overlapDiff) + record.scoreDiff) * 0.5;
  }
}

}  // namespace

void getMaxScores() {
  measure(DatasetsCombinedScoreLists, maxScoresList, true);
}

void calculateSumScoresCompare() {
  setKeys(DatasetsCombinedScoreLists, maxScoresList,
          [](const dataCombinedScore& r) { return r.firstMotifID; });
}

void getMaxScoresDatabase() {
  measure(DatasetsCombinedScoreDatabaseLists, maxScoresDatabaseList, false);
}

void calculateSumScoresCompareDatabase() {
  setKeys(DatasetsCombinedScoreDatabaseLists, maxScoresDatabaseList, inputMotifOf);
}

void getMaxScoresDatabaseGlobal() {
  measure(DatasetsCombinedScoreDatabaseGlobalLists, maxScoresDatabaseGlobalList, false);
}

void calculateSumScoresCompareDatabaseGlobal() {
  setKeys(DatasetsCombinedScoreDatabaseGlobalLists, maxScoresDatabaseGlobalList, inputMotifOf);
}

}  // namespace korvelan
