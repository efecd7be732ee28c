// The two-matrix scans: the dataset scans' kernel on one pair of given matrices, so a placement's
// cells are added in exactly the order the dataset scans add them. A Forward and a Backward record
// of one placement often differ only in the last bit of their sums, and which of them wins decides
// a merge. A long pair's shifts are cut into blocks scored on the run's thread team; a shift scores
// the same in any block, and the blocks are read in shift order, so every result is the one-thread
// result. A scan that ends early (it needs one alignment, or the closest one) stops scoring blocks
// once the rest cannot change its result.
#include <algorithm>
#include <atomic>
#include <limits>
#include <numeric>
#include <optional>

#include "core/consensus.h"
#include "core/globals.h"
#include "core/parallel.h"
#include "merge/merge.h"
#include "merge/merge_internal.h"
#include "scan/scan.h"
#include "scan/scan_kernel.h"

namespace korvelan {
namespace {

using scanning::KeptShift;
using scanning::PackedPair;

// About this many aligned positions make one block: small enough that a team shares a long pair
// evenly, large enough that handing out a block costs nothing beside scoring it.
constexpr std::int64_t kBlockPositions = std::int64_t{1} << 15;

// A run of consecutive shifts of one region.
struct Block {
  bool bFirst;
  std::int64_t first, end;
};

// The cut does not depend on the thread count. A shift aligns at most min(L1, L2) rows; blocks hold
// a multiple of four shifts, the kernel's stride. The list holds the region listing motif 1 first,
// then the other, each in ascending shift order.
std::vector<Block> blocksOf(const PackedPair& pair) {
  std::vector<Block> blocks;
  const std::int64_t rows = std::max<std::int64_t>(1, std::min(pair.lengthA(), pair.lengthB()));
  const std::int64_t perBlock = (std::max<std::int64_t>(1, kBlockPositions / rows) + 3) / 4 * 4;
  for (const bool bFirst : {false, true}) {
    const std::int64_t shifts = pair.shifts(bFirst);
    for (std::int64_t first = 0; first < shifts; first += perBlock)
      blocks.push_back({bFirst, first, std::min(first + perBlock, shifts)});
  }
  return blocks;
}

// score(b) for every block b of `order`, which returns the aligned positions it scored. The blocks
// are taken in order on this thread until soloPositions are scored; the rest, if more than one, are
// shared out over a team of `threads`.
template <class Score>
void scoreBlocks(const std::vector<std::size_t>& order, int threads, Score&& score) {
  std::size_t k = 0;
  for (std::int64_t scored = 0; k < order.size() && scored < soloPositions; ++k) scored += score(order[k]);
  if (order.size() - k < 2) {
    for (; k < order.size(); ++k) score(order[k]);
    return;
  }
  RegionGuard guard;
#pragma omp parallel for schedule(dynamic, 1) num_threads(threads)
  for (std::size_t j = k; j < order.size(); ++j) guard.run([&] { score(order[j]); });
  guard.rethrow();
}

std::vector<std::size_t> inOrder(std::size_t count) {
  std::vector<std::size_t> order(count);
  std::iota(order.begin(), order.end(), std::size_t{0});
  return order;
}

PackedPair packed(const ScanMatrix& M1, const ScanMatrix& M2, bool backward) {
  return PackedPair({M1.matrix(), M1.revComp()}, {M2.matrix(), M2.revComp()}, runScanSettings(), backward);
}

// The records of one scan, numbered by argument position: motif 1 in dataset 1, motif 2 in dataset 2.
class RecordMaker {
 public:
  RecordMaker(const PackedPair& pair, TextRef name1, TextRef name2, bool backward)
      : first_{.motifID = 1, .name = name1, .datasetNum = 1, .motifNumInFile = 1},
        second_{.motifID = 2, .name = name2, .datasetNum = 2, .motifNumInFile = 2},
        L1_(pair.lengthA()),
        L2_(pair.lengthB()),
        shorter_(static_cast<std::int32_t>(std::min(L1_, L2_))),
        backward_(backward) {}

  // The record of one kept shift with its key, measured against the ideal alignment.
  void make(dataCombinedScore& record, const KeptShift& kept) const {
    scanning::buildRecord(record, kept, first_, L1_, second_, L2_, backward_);
    record.overlapDiff = shorter_ - record.numOverlap;
    record.scoreDiff = maxScore - record.rawScore;
    record.similarityScore = (static_cast<double>(record.overlapDiff) + record.scoreDiff) * 0.5;
  }

 private:
  scanning::MotifRef first_, second_;
  std::int64_t L1_, L2_;
  std::int32_t shorter_;
  bool backward_;
};

}  // namespace

ScanMatrix::ScanMatrix(const motifMatrix& matrix)
    : matrix_(&matrix), built_(getRevCompMotif(matrix)), revComp_(&built_) {}

ScanMatrix::ScanMatrix(const motifMatrix& matrix, const motifMatrix& revComp)
    : matrix_(&matrix), revComp_(&revComp) {}

void scanTwoMatrices(const ScanMatrix& M1, const ScanMatrix& M2, TextRef name1, TextRef name2, bool backward,
                     std::vector<dataCombinedScore>& records) {
  records.clear();
  const PackedPair pair = packed(M1, M2, backward);
  const std::vector<Block> blocks = blocksOf(pair);
  std::vector<std::vector<KeptShift>> kept(blocks.size());
  scoreBlocks(inOrder(blocks.size()), pair.settings().threads, [&](std::size_t b) {
    return pair.score(blocks[b].bFirst, blocks[b].first, blocks[b].end, kept[b]);
  });
  std::size_t total = 0;
  for (const auto& list : kept) total += list.size();
  records.reserve(total);
  const RecordMaker maker(pair, name1, name2, backward);
  for (const auto& list : kept)
    for (const KeptShift& shift : list) maker.make(records.emplace_back(), shift);
  std::stable_sort(records.begin(), records.end(), comparison);
}

std::optional<dataCombinedScore> closestTwoMatrices(const ScanMatrix& M1, const ScanMatrix& M2, TextRef name1,
                                                    TextRef name2, bool backward) {
  const PackedPair pair = packed(M1, M2, backward);
  const std::vector<Block> blocks = blocksOf(pair);
  const RecordMaker maker(pair, name1, name2, backward);
  // A key is half the record's overlapDiff plus its scoreDiff, which is never negative: no record of
  // a block has a key below half its first shift's overlapDiff (the shifts of a region align fewer
  // rows as they go). The blocks are scored from the lowest such bound up, and a block whose bound
  // lies above a key already found is left out: it holds no closest record.
  const std::int64_t L1 = pair.lengthA(), L2 = pair.lengthB(), shorter = std::min(L1, L2);
  auto boundOf = [&](const Block& block) {
    const std::int64_t placed = block.bFirst ? L2 : L1, target = block.bFirst ? L1 : L2;
    return static_cast<double>(shorter - std::min(placed, target - block.first)) * 0.5;
  };
  std::vector<std::size_t> order = inOrder(blocks.size());
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return boundOf(blocks[a]) < boundOf(blocks[b]); });
  std::atomic<double> keyFound{std::numeric_limits<double>::infinity()};
  // Each block's first record of the smallest key; the first of those in block order is the record a
  // stable sort of the whole list puts first, whichever blocks were left out.
  std::vector<std::optional<dataCombinedScore>> closest(blocks.size());
  scoreBlocks(order, pair.settings().threads, [&](std::size_t b) -> std::int64_t {
    if (boundOf(blocks[b]) > keyFound.load(std::memory_order_relaxed)) return 0;
    std::vector<KeptShift> kept;
    const std::int64_t scored = pair.score(blocks[b].bFirst, blocks[b].first, blocks[b].end, kept);
    std::optional<dataCombinedScore>& best = closest[b];
    for (const KeptShift& shift : kept) {
      dataCombinedScore record;
      maker.make(record, shift);
      if (!best || comparison(record, *best)) best = record;
    }
    if (best) {
      double known = keyFound.load(std::memory_order_relaxed);
      while (best->similarityScore < known && !keyFound.compare_exchange_weak(known, best->similarityScore)) {
      }
    }
    return scored;
  });
  std::optional<dataCombinedScore> first;
  for (const auto& candidate : closest)
    if (candidate && (!first || comparison(*candidate, *first))) first = candidate;
  return first;
}

bool twoMatricesAlign(const ScanMatrix& M1, const ScanMatrix& M2, bool backward,
                      std::optional<LikelyShift> likely) {
  const PackedPair pair = packed(M1, M2, backward);
  std::vector<KeptShift> kept;
  if (likely) {
    pair.score(likely->bFirst, likely->shift, likely->shift + 1, kept);
    if (!kept.empty()) return true;
  }
  const std::vector<Block> blocks = blocksOf(pair);
  std::atomic<bool> found{false};
  scoreBlocks(inOrder(blocks.size()), pair.settings().threads, [&](std::size_t b) -> std::int64_t {
    if (found.load(std::memory_order_relaxed)) return 0;  // decided: the blocks left change nothing
    std::vector<KeptShift> blockKept;
    const std::int64_t scored = pair.score(blocks[b].bFirst, blocks[b].first, blocks[b].end, blockKept);
    if (!blockKept.empty()) found.store(true, std::memory_order_relaxed);
    return scored;
  });
  return found.load();
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
