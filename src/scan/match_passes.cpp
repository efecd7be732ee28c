#include "scan/match_passes.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "core/motifs.h"
#include "core/parallel.h"
#include "scan/bounded_selection.h"

namespace korvelan::scanning {
namespace {

// Slot of a motif ID among `count` entries, or `count` when the ID names none.
std::size_t slotOf(std::int64_t motifID, std::size_t count) {
  return isMotifID(motifID, count) ? static_cast<std::size_t>(motifID - 1) : count;
}

// Per thread: best score and longest overlap of each motif over the pairs that thread scanned.
class MaximaSink : public PairSink {
 public:
  MaximaSink(const Family& family, std::size_t motifs) : family_(family), motifs_(motifs) {}

  void start(std::size_t, int threads) override {
    perThread_.assign(static_cast<std::size_t>(threads), std::vector<maxScores>(motifs_));
  }

  void take(std::size_t, int thread, const PairShifts& pair) override {
    double best = 0.0;
    std::int32_t longest = 0;
    for (const KeptShift* k = pair.begin; k != pair.end; ++k) {
      if (k->score > best) best = k->score;
      const std::int32_t n = overlapOf(*k, pair.La, pair.Lb);
      if (n > longest) longest = n;
    }
    std::vector<maxScores>& local = perThread_[static_cast<std::size_t>(thread)];
    auto raise = [&](std::int64_t motifID) {
      const std::size_t slot = slotOf(motifID, motifs_);
      if (slot == motifs_) return;
      maxScores& e = local[slot];
      if (best > e.bestScore) e.bestScore = best;
      if (longest > e.longestOverlap) e.longestOverlap = longest;
    };
    raise(family_.listA[pair.a].motifID);
    if (family_.dataset) raise(family_.listB[pair.b].motifID);
  }

  // A maximum does not depend on the order it is taken in: the threads' entries raise `maxima` by
  // the same strict comparisons as one pass in list order would.
  void mergeInto(std::vector<maxScores>& maxima) const {
    for (const std::vector<maxScores>& local : perThread_)
      for (std::size_t k = 0; k < motifs_; ++k) {
        if (local[k].bestScore > maxima[k].bestScore) maxima[k].bestScore = local[k].bestScore;
        if (local[k].longestOverlap > maxima[k].longestOverlap)
          maxima[k].longestOverlap = local[k].longestOverlap;
      }
  }

 private:
  const Family& family_;
  std::size_t motifs_;
  std::vector<std::vector<maxScores>> perThread_;
};

// What a selected candidate needs to become its record again.
struct Kept {
  double score = 0.0;
  std::uint32_t a = 0, b = 0;
};

using Selections = BoundedSelections<Kept>;

// Where a kept shift lies in the scans' order, as a Place. Major: the direction (backward after
// forward) above the pair's ordinal. Minor: the region (motif B listed first after motif A listed
// first), then the shift, and below them, where no two places differ, the winning orientation pair.
constexpr int kBackwardBit = 63;  // of major
constexpr int kBFirstBit = 34;    // of minor; the shift takes the 32 bits below it
constexpr int kShiftBit = 2;      // of minor; the orientation pair takes the 2 bits below it
constexpr std::uint64_t kOrientationMask = 3;

Place placeOf(bool backward, std::uint64_t ordinal, const KeptShift& k) {
  const std::uint64_t bFirst = (k.code & kBFirst) != 0 ? 1 : 0;
  return Place{(backward ? std::uint64_t{1} << kBackwardBit : 0) | ordinal,
               (bFirst << kBFirstBit) | (std::uint64_t{k.shift} << kShiftBit) | (k.code & kOrientationMask)};
}

KeptShift keptOf(const Candidate<Kept>& c) {
  const bool bFirst = ((c.place.minor >> kBFirstBit) & 1) != 0;
  return KeptShift{c.payload.score, static_cast<std::uint32_t>(c.place.minor >> kShiftBit),
                   static_cast<std::uint8_t>((c.place.minor & kOrientationMask) | (bFirst ? kBFirst : 0))};
}

bool backwardOf(const Candidate<Kept>& c) {
  return (c.place.major >> kBackwardBit) != 0;
}

// The ranking fields of one alignment against the figures of the motif it is ranked for: its
// distances from the longest overlap and the best score, and its key, the mean of the two.
struct Ranking {
  std::int32_t overlapDiff;
  double scoreDiff;
  double key;
};

Ranking rankingOf(std::int32_t numOverlap, double rawScore, const maxScores& e) {
  const std::int32_t overlapDiff = std::abs(numOverlap - e.longestOverlap);
  const double scoreDiff = std::abs(rawScore - e.bestScore);
  return Ranking{overlapDiff, scoreDiff, (static_cast<double>(overlapDiff) + scoreDiff) * 0.5};
}

double keyOf(std::int32_t numOverlap, double rawScore, const maxScores& e) {
  return rankingOf(numOverlap, rawScore, e).key;
}

class SelectingSink : public PairSink {
 public:
  SelectingSink(const Family& family, const std::vector<maxScores>& maxima, const SelectionWanted& wanted,
                std::vector<double>* nearest)
      : family_(family),
        maxima_(maxima),
        motifs_(maxima.size()),
        wanted_(wanted),
        nearest_(nearest) {}

  void setBackward(bool backward) { backward_ = backward; }

  void start(std::size_t, int threads) override {
    if (!threads_.empty()) return;  // the second direction goes on with the first one's selections
    team_ = threads;
    threads_.resize(static_cast<std::size_t>(threads));
    for (PerThread& t : threads_) {
      t.best = Selections(motifs_, wanted_.numBestMatches);
      if (wanted_.otherFiles) t.otherFiles = Selections(motifs_, wanted_.numBestMatches);
    }
  }

  void take(std::size_t, int thread, const PairShifts& pair) override {
    PerThread& t = threads_[static_cast<std::size_t>(thread)];
    const MotifRef& A = family_.listA[pair.a];
    const MotifRef& B = family_.listB[pair.b];
    const bool otherFile = wanted_.otherFiles && A.datasetNum != B.datasetNum;
    double pairNearest = std::numeric_limits<double>::infinity();
    const KeptShift* k = pair.begin;
    // The two regions in turn: each has one ranked motif and one partner.
    while (k != pair.end) {
      const bool bFirst = (k->code & kBFirst) != 0;
      const KeptShift* regionEnd = k;
      while (regionEnd != pair.end && ((regionEnd->code & kBFirst) != 0) == bFirst) ++regionEnd;
      const bool rankedIsB = family_.dataset && bFirst;
      const std::int64_t ranked = rankedIsB ? B.motifID : A.motifID;
      const std::int64_t partner = rankedIsB ? A.motifID : B.motifID;
      const std::size_t slot = slotOf(ranked, motifs_);
      if (slot != motifs_) {
        const maxScores& e = maxima_[slot];
        // The region's best record: smallest key, the earliest shift among equal keys.
        const KeptShift* best = k;
        double bestKey = keyOf(overlapOf(*k, pair.La, pair.Lb), k->score, e);
        for (const KeptShift* s = k; s != regionEnd; ++s) {
          const double key = keyOf(overlapOf(*s, pair.La, pair.Lb), s->score, e);
          if (key < bestKey) bestKey = key, best = s;
          if (key > t.largestKey) t.largestKey = key;
        }
        const Candidate<Kept> candidate{bestKey, placeOf(backward_, pair.ordinal, *best), partner,
                                        Kept{best->score, pair.a, pair.b}};
        t.best.offer(slot, candidate);
        if (otherFile) t.otherFiles.offer(slot, candidate);
        if (bestKey < pairNearest) pairNearest = bestKey;
      }
      k = regionEnd;
    }
    if (nearest_ != nullptr) recordNearest(A.motifID, B.motifID, pairNearest);
  }

  // The merged selections as records, one list per motif.
  void finish(selectedMatches& out) const {
    out.bestMatches = lists(&PerThread::best);
    if (wanted_.otherFiles) out.otherFileMatches = lists(&PerThread::otherFiles);
    for (const PerThread& t : threads_)
      if (t.largestKey > out.largestKey) out.largestKey = t.largestKey;
  }

 private:
  // A cache line of its own per thread: the largest key changes with every kept shift.
  struct alignas(64) PerThread {
    Selections best;
    Selections otherFiles;
    double largestKey = 0.0;
  };

  // The smallest key of the pair, in the cell of the lower ID's row; each pair is scanned by one
  // thread at a time, but motif IDs need not be distinct, so the cell is lowered atomically.
  void recordNearest(std::int64_t idA, std::int64_t idB, double key) {
    const std::size_t i = slotOf(idA, motifs_), j = slotOf(idB, motifs_);
    if (i == motifs_ || j == motifs_ || i == j || key == std::numeric_limits<double>::infinity()) return;
    std::atomic_ref<double> cell((*nearest_)[std::min(i, j) * motifs_ + std::max(i, j)]);
    double held = cell.load(std::memory_order_relaxed);
    while (key < held && !cell.compare_exchange_weak(held, key, std::memory_order_relaxed)) {
    }
  }

  std::vector<bestMatchList> lists(Selections PerThread::*which) const {
    std::vector<const Selections*> selections;
    for (const PerThread& t : threads_) selections.push_back(&(t.*which));
    std::vector<bestMatchList> out(motifs_);
    // Each motif's list on its own: the slots are split over the thread team.
    const auto slots = static_cast<std::int64_t>(motifs_);
    RegionGuard guard;
#pragma omp parallel for schedule(static) num_threads(team_)
    for (std::int64_t j = 0; j < slots; ++j)
      guard.run([&] {
        const auto slot = static_cast<std::size_t>(j);
        for (const Candidate<Kept>& c : mergeSelections(selections, slot, wanted_.numBestMatches)) {
          const MotifRef& A = family_.listA[c.payload.a];
          const MotifRef& B = family_.listB[c.payload.b];
          dataCombinedScore& r = out[slot].emplace_back();
          buildRecord(r, keptOf(c), A, static_cast<std::int64_t>(A.motif->matrix.size()), B,
                      static_cast<std::int64_t>(B.motif->matrix.size()), backwardOf(c));
          const Ranking ranking = rankingOf(r.numOverlap, r.rawScore, maxima_[slot]);
          r.overlapDiff = ranking.overlapDiff;
          r.scoreDiff = ranking.scoreDiff;
          r.similarityScore = ranking.key;
        }
      });
    guard.rethrow();
    return out;
  }

  const Family& family_;
  const std::vector<maxScores>& maxima_;
  std::size_t motifs_;
  SelectionWanted wanted_;
  int team_ = 1;  // team size of the merge of the selections: the scan's
  std::vector<double>* nearest_;
  bool backward_ = false;
  std::vector<PerThread> threads_;
};

}  // namespace

std::vector<MotifRef> queryMotifs(const std::vector<bestMatchList>& topGlobal,
                                  const std::vector<data>& inputs) {
  std::vector<MotifRef> queries;
  queries.reserve(topGlobal.size());
  for (const bestMatchList& group : topGlobal) {
    if (group.empty()) continue;
    const dataCombinedScore& head = group.front();
    const data* top = findMotif(inputs, head.firstMotifID);
    if (top == nullptr) continue;
    queries.push_back(
        MotifRef{top, head.firstMotifID, head.firstMotifName, top->datasetNum, head.firstMotifNumInFile});
  }
  return queries;
}

ScanTotals raiseMaxima(const Family& family, const ScanSettings& settings, bool backward,
                       std::vector<maxScores>& maxima) {
  MaximaSink sink(family, maxima.size());
  const ScanTotals totals =
      scanLists(family.listA, family.listB,
                {.settings = settings, .triangular = family.dataset, .backward = backward}, sink);
  sink.mergeInto(maxima);
  return totals;
}

selectedMatches selectMatches(const Family& family, const std::vector<maxScores>& maxima,
                              const SelectionWanted& wanted, const ScanSettings& settings) {
  selectedMatches out;
  std::vector<double>* nearest = nullptr;
  if (wanted.distances) {
    out.nearestKeys.assign(maxima.size() * maxima.size(), std::numeric_limits<double>::infinity());
    nearest = &out.nearestKeys;
  }
  SelectingSink sink(family, maxima, wanted, nearest);
  for (const bool backward : {false, true}) {
    sink.setBackward(backward);
    scanLists(family.listA, family.listB,
              {.settings = settings, .triangular = family.dataset, .backward = backward}, sink);
  }
  sink.finish(out);
  if (!wanted.distances) out.largestKey = 0.0;
  return out;
}

}  // namespace korvelan::scanning
