// Scan kernel and pair-parallel driver shared by the dataset, database and global database scans.
#include "scan/scan_kernel.h"

#include <omp.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <optional>
#include <stdexcept>

#include "core/parallel.h"

namespace korvelan::scanning {
namespace {

// Motif rows laid out for the kernel. Each row is held as 4 columns (A, C, G, T) x 4 orientation
// lanes, in four copies: as motif A (matrix, matrix, revComp, revComp) and as motif B (matrix,
// revComp, matrix, revComp), each in row order and in reversed row order. Lane p of an A row against
// lane p of a B row is orientation pair p (Both Orig, One Orig Two Rev Comp, One Rev Comp Two Orig,
// Both Rev Comp). The backward geometry is the forward geometry on the reversed copies, so one
// kernel serves both directions and adds the cells from the motifs' ends as it must.
constexpr std::size_t kRowDoubles = 16;

// Lays out one motif's rows at `out` as motif A (layout 0) or motif B (layout 1), in row order or
// in reversed row order.
void packRows(double* out, const motifMatrix& matrix, const motifMatrix& revComp, int layout, bool reversed) {
  const std::size_t length = matrix.size();
  for (std::size_t r = 0; r < length; ++r) {
    const std::size_t row = reversed ? length - 1 - r : r;
    for (std::size_t c = 0; c < 4; ++c) {
      // A malformed row short of four values reads as zeros rather than out of bounds.
      const double m = c < matrix[row].size() ? matrix[row][c] : 0.0;
      const double rc = row < revComp.size() && c < revComp[row].size() ? revComp[row][c] : 0.0;
      double* lane = out + r * kRowDoubles + c * 4;
      if (layout == 0) {
        lane[0] = m, lane[1] = m, lane[2] = rc, lane[3] = rc;
      } else {
        lane[0] = m, lane[1] = rc, lane[2] = m, lane[3] = rc;
      }
    }
  }
}

// Motif and list lengths are held in 32 bits in the kept shifts and pairs.
void checkLength(std::size_t count, const char* what) {
  if (count > std::numeric_limits<std::uint32_t>::max()) throw std::length_error(what);
}

class PackedMotifs {
 public:
  explicit PackedMotifs(const std::vector<MotifRef>& motifs) {
    std::size_t total = 0;
    offsets_.reserve(motifs.size());
    lengths_.reserve(motifs.size());
    for (const MotifRef& ref : motifs) {
      const std::size_t length = ref.motif->matrix.size();
      checkLength(length, "motif too long to scan");
      offsets_.push_back(total);
      lengths_.push_back(static_cast<std::int64_t>(length));
      total += length * kRowDoubles * 4;
    }
    values_.assign(total, 0.0);
    for (std::size_t j = 0; j < motifs.size(); ++j) {
      const motifMatrix& matrix = motifs[j].motif->matrix;
      const motifMatrix& revComp = motifs[j].motif->revCompMatrix;
      const std::size_t length = matrix.size();
      for (int layout = 0; layout < 2; ++layout)
        for (int reversed = 0; reversed < 2; ++reversed)
          packRows(values_.data() + offsets_[j] + length * kRowDoubles * (layout * 2 + reversed), matrix,
                   revComp, layout, reversed != 0);
    }
  }

  std::int64_t length(std::size_t j) const { return lengths_[j]; }
  // layout 0: as motif A, 1: as motif B.
  const double* rows(std::size_t j, int layout, bool reversed) const {
    return values_.data() + offsets_[j] +
           static_cast<std::size_t>(lengths_[j]) * kRowDoubles * (layout * 2 + (reversed ? 1 : 0));
  }

 private:
  std::vector<double> values_;
  std::vector<std::size_t> offsets_;
  std::vector<std::int64_t> lengths_;
};

typedef double v4d __attribute__((vector_size(32)));
typedef std::int64_t v4i __attribute__((vector_size(32)));

// Adds one aligned position to the four orientation sums: per column (A, C, G, T) the cell
// cellMax - |f - s|, lane by lane. The absolute value clears the sign bit, as fabs does.
// Vectors go by reference: clang refuses 32-byte vector arguments in the build without AVX.
[[gnu::always_inline]] inline void addRow(v4d& acc, const double* frow, const double* srow, const v4d& full,
                                          const v4i& absMask) {
  for (int c = 0; c < 4; ++c) {
    v4d fv, sv;
    std::memcpy(&fv, frow + c * 4, sizeof(v4d));
    std::memcpy(&sv, srow + c * 4, sizeof(v4d));
    const v4d diff = fv - sv;
    acc += full - (v4d)((v4i)diff & absMask);
  }
}

// Where one region's kept shifts go, and what each of them is tagged with.
struct RegionOutput {
  double cutoff;
  std::uint8_t listing;  // 0, or kBFirst when motif B is listed first
  std::vector<KeptShift>& kept;
};

// The best orientation pair of one shift: Both Orig first, a later pair only when strictly better;
// kept when it reaches the cutoff.
[[gnu::always_inline]] inline void finishShift(std::int64_t at, std::int64_t n, const v4d& acc,
                                               RegionOutput& out) {
  const v4d scores = acc / static_cast<double>(4 * n);
  double best = scores[0];
  std::uint8_t winner = 0;
  if (scores[1] > best) best = scores[1], winner = 1;
  if (scores[2] > best) best = scores[2], winner = 2;
  if (scores[3] > best) best = scores[3], winner = 3;
  if (best >= out.cutoff) {
    KeptShift& entry = out.kept.emplace_back();
    entry.score = best;
    entry.shift = static_cast<std::uint32_t>(at);
    entry.code = static_cast<std::uint8_t>(winner | out.listing);
  }
}

// Scores shifts first .. end - 1 of one region: the motif listed first (F, Lf rows) with its first
// packed row on row i of the motif listed second (S, Ls rows); at aligned position k row k of F meets
// row i + k of S, n(i) = min(Lf, Ls - i). Per orientation pair the cells cellMax - |a - b| are added
// position by position and column by column (A, C, G, T), and the sum is divided by 4 x n(i); the
// lanes of a vector are the four orientation pairs, so every sum is formed in exactly that order.
// Four shifts run side by side only to overlap their addition chains, so a shift scores the same in
// any run of shifts it is scored in. Returns the aligned positions scored.
__attribute__((target_clones("avx2", "default"))) std::int64_t scoreShifts(
    const double* F, std::int64_t Lf, const double* S, std::int64_t Ls, std::int64_t first, std::int64_t end,
    const ScanSettings& settings, std::uint8_t listing, std::vector<KeptShift>& kept) {
  // Copied once: the settings are not reread after each store into `kept`.
  const double cellMax = settings.cellMax;
  const v4d full = {cellMax, cellMax, cellMax, cellMax};
  const std::int64_t magnitude = std::numeric_limits<std::int64_t>::max();
  const v4i absMask = {magnitude, magnitude, magnitude, magnitude};
  RegionOutput out{settings.cutoff, listing, kept};
  std::int64_t positions = 0;

  std::int64_t i = first;
  for (; i + 3 < end; i += 4) {
    std::int64_t n[4];
    for (int g = 0; g < 4; ++g) n[g] = std::min(Lf, Ls - i - g);
    v4d acc[4] = {};
    const double* s = S + i * kRowDoubles;
    const std::int64_t common = n[3];  // n(i) never grows with i
    for (std::int64_t k = 0; k < common; ++k) {
      const double* f = F + k * kRowDoubles;
      const double* sk = s + k * kRowDoubles;
      addRow(acc[0], f, sk, full, absMask);
      addRow(acc[1], f, sk + kRowDoubles, full, absMask);
      addRow(acc[2], f, sk + 2 * kRowDoubles, full, absMask);
      addRow(acc[3], f, sk + 3 * kRowDoubles, full, absMask);
    }
    for (int g = 0; g < 3; ++g)
      for (std::int64_t k = common; k < n[g]; ++k)
        addRow(acc[g], F + k * kRowDoubles, s + (g + k) * kRowDoubles, full, absMask);
    for (int g = 0; g < 4; ++g) {
      positions += n[g];
      finishShift(i + g, n[g], acc[g], out);
    }
  }
  for (; i < end; ++i) {
    const std::int64_t n = std::min(Lf, Ls - i);
    v4d acc = {};
    for (std::int64_t k = 0; k < n; ++k)
      addRow(acc, F + k * kRowDoubles, S + (i + k) * kRowDoubles, full, absMask);
    positions += std::max<std::int64_t>(n, 0);
    finishShift(i, n, acc, out);
  }
  return positions;
}

// Every shift of one region, i = 0 .. Ls - minOverlap.
std::int64_t scoreRegion(const double* F, std::int64_t Lf, const double* S, std::int64_t Ls,
                         const ScanSettings& settings, std::uint8_t listing, std::vector<KeptShift>& kept) {
  return scoreShifts(F, Lf, S, Ls, 0, Ls - settings.minOverlap + 1, settings, listing, kept);
}

// Both regions of one pair of usable motifs (each at least minOverlap long), as motif A (layout 0)
// and motif B (layout 1) rows: motif A listed first on motif B's rows, then motif B listed first on
// motif A's. `kept` is emptied and then holds the pair's kept shifts. Returns the aligned positions
// scored.
std::int64_t scoreBothRegions(const double* rowsA, std::int64_t La, const double* rowsB, std::int64_t Lb,
                              const ScanSettings& settings, std::vector<KeptShift>& kept) {
  // Room for every shift of the pair, so that scoring never allocates: an allocation failure thrown
  // inside the scoring clones ends the process instead of reaching the region's guard.
  kept.clear();
  kept.reserve(static_cast<std::size_t>(La + Lb - 2 * (settings.minOverlap - 1)));
  std::int64_t positions = scoreRegion(rowsA, La, rowsB, Lb, settings, 0, kept);
  positions += scoreRegion(rowsB, Lb, rowsA, La, settings, kBFirst, kept);
  return positions;
}

// A motif takes part when it has at least minOverlap positions; a minimum below 1 names no placement.
std::size_t leastLength(const ScanSettings& settings) {
  if (settings.minOverlap < 1) throw std::invalid_argument("minimum overlap below 1");
  return static_cast<std::size_t>(settings.minOverlap);
}

// A run of consecutive pairs of the pair loop: count pairs from (a, b) on.
struct Chunk {
  std::size_t a = 0;
  std::size_t b = 0;
  std::size_t count = 0;
};

// Steps through the pair loop: a ascending, then b from rowBegin(a) to the end of the second list.
struct PairCursor {
  std::size_t a, b, nA, nB;
  bool triangular;
  std::size_t rowBegin(std::size_t row) const { return triangular ? row + 1 : 0; }
  void next() {
    if (++b < nB) return;
    ++a;
    while (a < nA && rowBegin(a) >= nB) ++a;
    if (a < nA) b = rowBegin(a);
  }
};

// The pair loop cut into chunks of perChunk consecutive pairs (the last may hold fewer). The cut
// depends on the pair count alone, not on the thread count; chunk c begins at pair c x perChunk.
struct ChunkCut {
  std::size_t perChunk = 0;
  std::vector<Chunk> chunks;
};

ChunkCut cutChunks(std::size_t nA, std::size_t nB, bool triangular) {
  const PairCursor loop{0, 0, nA, nB, triangular};
  std::size_t totalPairs = 0;
  for (std::size_t a = 0; a < nA; ++a)
    if (loop.rowBegin(a) < nB) totalPairs += nB - loop.rowBegin(a);
  ChunkCut cut;
  if (totalPairs == 0) return cut;
  cut.perChunk = std::max<std::size_t>(32, totalPairs / 2048);
  Chunk current;
  for (std::size_t a = 0; a < nA; ++a) {
    for (std::size_t b = loop.rowBegin(a); b < nB;) {
      if (current.count == 0) current.a = a, current.b = b;
      const std::size_t take = std::min(nB - b, cut.perChunk - current.count);
      current.count += take;
      b += take;
      if (current.count == cut.perChunk) cut.chunks.push_back(current), current = Chunk{};
    }
  }
  if (current.count > 0) cut.chunks.push_back(current);
  return cut;
}

void addTotals(ScanTotals& sum, const ScanTotals& part) {
  sum.pairs += part.pairs;
  sum.shifts += part.shifts;
  sum.positions += part.positions;
  sum.kept += part.kept;
}

// What every chunk of one scan of two lists reads.
struct ListScan {
  const PackedMotifs& packedA;
  const PackedMotifs& packedB;
  std::size_t nA, nB;
  const ScanOptions& options;
  std::size_t least;  // leastLength(options.settings)
  std::size_t perChunk;
  PairSink& sink;
};

// The pairs of one chunk in loop order: each pair of usable motifs scored in both regions and, with a
// kept shift, handed to the sink. `kept` is the calling thread's scratch. Returns the chunk's counts.
ScanTotals scanChunk(const ListScan& scan, std::size_t c, const Chunk& chunk, std::vector<KeptShift>& kept) {
  ScanTotals totals;
  const int thread = omp_get_thread_num();
  const bool backward = scan.options.backward;
  const std::int64_t minOverlap = scan.options.settings.minOverlap;
  PairCursor pair{chunk.a, chunk.b, scan.nA, scan.nB, scan.options.triangular};
  std::uint64_t ordinal = c * scan.perChunk;
  for (std::size_t left = chunk.count; left > 0; --left, pair.next(), ++ordinal) {
    const std::int64_t La = scan.packedA.length(pair.a);
    const std::int64_t Lb = scan.packedB.length(pair.b);
    if (static_cast<std::size_t>(La) < scan.least || static_cast<std::size_t>(Lb) < scan.least) continue;
    const auto ia = static_cast<std::uint32_t>(pair.a);
    const auto ib = static_cast<std::uint32_t>(pair.b);
    ++totals.pairs;
    totals.shifts += (Lb - minOverlap + 1) + (La - minOverlap + 1);
    totals.positions += scoreBothRegions(scan.packedA.rows(ia, 0, backward), La,
                                         scan.packedB.rows(ib, 1, backward), Lb, scan.options.settings, kept);
    if (kept.empty()) continue;
    totals.kept += static_cast<std::int64_t>(kept.size());
    scan.sink.take(c, thread, PairShifts{ia, ib, ordinal, La, Lb, kept.data(), kept.data() + kept.size()});
  }
  return totals;
}

const FixedText kForward("Forward");
const FixedText kBackward("Backward");
const FixedText kOriginal("Original Motif");
const FixedText kReverse("Reverse Complement");
const FixedText kScanOrder("Y");

}  // namespace

MotifRef refOf(const data& motif) {
  return MotifRef{&motif, motif.motifID, TextRef(motif.motifName), motif.datasetNum, motif.motifNumInFile};
}

std::vector<MotifRef> refsOf(const std::vector<data>& motifs) {
  std::vector<MotifRef> refs;
  refs.reserve(motifs.size());
  for (const data& motif : motifs) refs.push_back(refOf(motif));
  return refs;
}

void buildRecord(dataCombinedScore& record, const KeptShift& kept, const MotifRef& A, std::int64_t La,
                 const MotifRef& B, std::int64_t Lb, bool backward) {
  const bool bFirst = (kept.code & kBFirst) != 0;
  const MotifRef& first = bFirst ? B : A;
  const MotifRef& second = bFirst ? A : B;
  const int winner = kept.code & 3;
  record.direction = backward ? kBackward : kForward;
  record.firstDatasetNum = A.datasetNum;
  record.secondDatasetNum = B.datasetNum;
  record.firstMotifNumInFile = first.motifNumInFile;
  record.secondMotifNumInFile = second.motifNumInFile;
  if (!bFirst) record.scanOrderFlag = kScanOrder;
  record.firstMotifID = first.motifID;
  record.secondMotifID = second.motifID;
  record.firstMotifName = first.name;
  record.secondMotifName = second.name;
  record.position = static_cast<std::int32_t>(kept.shift + 1);
  record.numOverlap = overlapOf(kept, La, Lb);
  record.rawScore = kept.score;
  record.firstMatchingFormat = winner < 2 ? kOriginal : kReverse;
  record.secondMatchingFormat = (winner & 1) == 0 ? kOriginal : kReverse;
}

ScanTotals scanLists(const std::vector<MotifRef>& listA, const std::vector<MotifRef>& listB,
                     const ScanOptions& options, PairSink& sink) {
  const std::size_t least = leastLength(options.settings);
  checkLength(listA.size(), "too many motifs to scan");
  checkLength(listB.size(), "too many motifs to scan");
  const ChunkCut cut = cutChunks(listA.size(), listB.size(), options.triangular);
  if (cut.chunks.empty()) return ScanTotals{};

  const PackedMotifs packedA(listA);
  std::optional<PackedMotifs> ownB;
  if (!options.triangular) ownB.emplace(listB);
  const PackedMotifs& packedB = options.triangular ? packedA : *ownB;
  const int threads = std::max(options.settings.threads, 1);
  sink.start(cut.chunks.size(), threads);

  const ListScan scan{packedA, packedB, listA.size(), listB.size(), options, least, cut.perChunk, sink};
  // Counted per chunk and stored once: neighbouring chunks run on other threads.
  std::vector<ScanTotals> chunkTotals(cut.chunks.size());
  std::vector<std::vector<KeptShift>> keptOf(static_cast<std::size_t>(threads));  // one pair's, reused
  RegionGuard guard;
#pragma omp parallel for schedule(dynamic, 1) num_threads(threads)
  for (std::size_t c = 0; c < cut.chunks.size(); ++c)
    guard.run([&] {
      chunkTotals[c] =
          scanChunk(scan, c, cut.chunks[c], keptOf[static_cast<std::size_t>(omp_get_thread_num())]);
    });
  guard.rethrow();

  ScanTotals totals;
  for (const ScanTotals& t : chunkTotals) addTotals(totals, t);
  return totals;
}

PackedPair::PackedPair(PairMatrices a, PairMatrices b, const ScanSettings& settings, bool backward)
    : La_(static_cast<std::int64_t>(a.matrix.size())),
      Lb_(static_cast<std::int64_t>(b.matrix.size())),
      settings_(settings) {
  const std::size_t least = leastLength(settings_);
  if (a.matrix.size() < least || b.matrix.size() < least) return;  // no shift at all
  checkLength(a.matrix.size(), "motif too long to scan");
  checkLength(b.matrix.size(), "motif too long to scan");
  rowsA_.resize(a.matrix.size() * kRowDoubles);
  rowsB_.resize(b.matrix.size() * kRowDoubles);
  packRows(rowsA_.data(), a.matrix, a.revComp, 0, backward);
  packRows(rowsB_.data(), b.matrix, b.revComp, 1, backward);
}

std::int64_t PackedPair::shifts(bool bFirst) const {
  if (rowsA_.empty()) return 0;
  return (bFirst ? La_ : Lb_) - settings_.minOverlap + 1;
}

std::int64_t PackedPair::score(bool bFirst, std::int64_t first, std::int64_t end,
                               std::vector<KeptShift>& kept) const {
  first = std::max<std::int64_t>(first, 0);
  end = std::min(end, shifts(bFirst));
  if (first >= end) return 0;
  kept.reserve(kept.size() + static_cast<std::size_t>(end - first));
  if (bFirst)
    return scoreShifts(rowsB_.data(), Lb_, rowsA_.data(), La_, first, end, settings_, kBFirst, kept);
  return scoreShifts(rowsA_.data(), La_, rowsB_.data(), Lb_, first, end, settings_, 0, kept);
}

}  // namespace korvelan::scanning
