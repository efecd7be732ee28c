// The one scan kernel behind every similarity scan, and the pair-parallel driver that runs it over
// a whole pair set with a result order that does not depend on the thread count.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/records.h"
#include "core/scoring.h"

namespace korvelan::scanning {

// The fields of one motif that a scan reads. `motif` supplies the matrices; the identity fields are
// held apart because the query motifs of the global database scans take some of them from a record.
struct MotifRef {
  const data* motif = nullptr;
  std::int64_t motifID = 0;
  TextRef name;
  std::int32_t datasetNum = 0;
  std::int64_t motifNumInFile = 0;
};

// The identity fields straight from the motif itself.
MotifRef refOf(const data& motif);
std::vector<MotifRef> refsOf(const std::vector<data>& motifs);

// Counts of one scan in one direction.
struct ScanTotals {
  std::int64_t pairs = 0;      // pairs with both motifs at least `overlap` long
  std::int64_t shifts = 0;     // shifts scored, both regions of every pair
  std::int64_t positions = 0;  // aligned positions scored (each is 16 cells)
  std::int64_t kept = 0;       // shifts kept (reaching the cutoff)
};

// The settings a scan scores by, handed to it: a run takes them from its answers and fixed values
// (runScanSettings, scan/scan.h).
struct ScanSettings {
  double cutoff = 0.0;          // a shift is kept when its best score reaches this
  std::int64_t minOverlap = overlap;  // least aligned positions of a shift (at least 1)
  double cellMax = maxScore;          // an aligned cell scores cellMax - |f - s|
  int threads = 1;                    // team size of the pair-parallel scans and their merges (at least 1)
};

// What one scan of two lists is told: its settings and how it walks the pairs.
struct ScanOptions {
  ScanSettings settings;
  bool triangular = false;  // both lists are the same, and each pair (a, b) has b > a
  bool backward = false;    // anchor the placements at the motifs' last positions
};

// One kept shift in compact form.
struct KeptShift {
  double score = 0.0;       // best orientation score
  std::uint32_t shift = 0;  // 0-based shift within its region
  std::uint8_t code = 0;    // winning orientation pair (bits 0-1); bit 2 (kBFirst): motif B listed first
};
constexpr std::uint8_t kBFirst = 4;

// What one pair of a scan kept: region motif A first, then region motif B first, each in ascending
// shift order.
struct PairShifts {
  std::uint32_t a = 0, b = 0;  // indexes of motif A and motif B in their lists
  std::uint64_t ordinal = 0;   // the pair's place in the pair loop, from 0
  std::int64_t La = 0, Lb = 0;
  const KeptShift* begin = nullptr;
  const KeptShift* end = nullptr;
};

// Aligned positions of a kept shift: min(length listed first, length listed second - shift).
inline std::int32_t overlapOf(const KeptShift& kept, std::int64_t La, std::int64_t Lb) {
  const bool bFirst = (kept.code & kBFirst) != 0;
  const std::int64_t Lf = bFirst ? Lb : La, Ls = bFirst ? La : Lb;
  return static_cast<std::int32_t>(Lf < Ls - kept.shift ? Lf : Ls - kept.shift);
}

// Takes the kept shifts of a scan pair by pair. take() runs on the scan's threads, each call for one
// pair of chunk `chunk` (the chunks are runs of consecutive pairs, the pairs of a chunk taken in
// order by one thread); `thread` is the OpenMP thread number, below the team size given to start().
class PairSink {
 public:
  virtual ~PairSink() = default;
  virtual void start(std::size_t chunks, int threads) = 0;  // on the calling thread, before any take
  virtual void take(std::size_t chunk, int thread, const PairShifts& pair) = 0;
};

// Scans every pair (a, b) of the two lists in loop order (a ascending, then b ascending; with
// `triangular` b starts at a + 1, otherwise at 0) in one direction, both regions per pair (motif A
// listed first, then motif B listed first), and hands each pair with a kept shift to the sink. The
// pairs are scored on the settings' thread count in chunks of consecutive pairs; the cut into chunks
// does not depend on the thread count. Returns the scan's counts; throws std::invalid_argument for a
// minimum overlap below 1.
ScanTotals scanLists(const std::vector<MotifRef>& listA, const std::vector<MotifRef>& listB,
                     const ScanOptions& options, PairSink& sink);

// Fills a default-constructed record from one kept shift of the pair (A, B) of lengths La and Lb,
// ranking fields left at 0.
void buildRecord(dataCombinedScore& record, const KeptShift& kept, const MotifRef& A, std::int64_t La,
                 const MotifRef& B, std::int64_t Lb, bool backward);

// The two matrices of one side of a pair scanned on its own.
struct PairMatrices {
  const motifMatrix& matrix;
  const motifMatrix& revComp;
};

// One pair (A, B) of matrices a and b laid out for the kernel in one direction, scored in runs of
// shifts, by any number of threads at once. A shift scores exactly as scanLists scores it, in
// whatever run it is scored; region A-first then region B-first, each in ascending shift order, is
// the order scanLists keeps a pair's shifts in. Scores by the cutoff, minimum overlap and cell
// maximum of `settings` (its thread count is the caller's to use); throws std::invalid_argument for
// a minimum overlap below 1.
class PackedPair {
 public:
  PackedPair(PairMatrices a, PairMatrices b, const ScanSettings& settings, bool backward);

  const ScanSettings& settings() const { return settings_; }
  std::int64_t lengthA() const { return La_; }
  std::int64_t lengthB() const { return Lb_; }
  // The shifts of the region that lists B first (bFirst) or A first: 0 .. rows of the motif listed
  // second - `overlap`; none when either matrix is shorter than `overlap`.
  std::int64_t shifts(bool bFirst) const;
  // Appends the kept shifts among first .. end - 1 of one region to `kept`, in ascending order, and
  // returns the aligned positions scored. Room for every shift of the run is reserved first, so the
  // scoring itself never allocates.
  std::int64_t score(bool bFirst, std::int64_t first, std::int64_t end, std::vector<KeptShift>& kept) const;

 private:
  std::vector<double> rowsA_, rowsB_;  // empty when the pair has no shift
  std::int64_t La_, Lb_;
  ScanSettings settings_;
};

}  // namespace korvelan::scanning
