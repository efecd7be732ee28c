// The one scan kernel behind every similarity scan, and the pair-parallel driver that runs it over
// a whole pair set with a result order that does not depend on the thread count.
#pragma once

#include <cstdint>
#include <vector>

#include "core/records.h"

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
  std::int64_t kept = 0;       // records appended
};

// How one scan walks its pairs.
struct ScanOptions {
  bool triangular = false;    // both lists are the same, and each pair (a, b) has b > a
  bool backward = false;      // anchor the placements at the motifs' last positions
  bool reserveAhead = false;  // the other direction's scan of the same pairs follows
};

// Scans every pair (a, b) of the two lists in loop order (a ascending, then b ascending; with
// `triangular` b starts at a + 1, otherwise at 0) in one direction, both regions per pair (motif A
// listed first, then motif B listed first), and appends the kept records to `out` in exactly that
// order, each region's records in ascending shift order. The pairs are scored on the run's thread
// count in chunks of consecutive pairs and joined in pair order. With `reserveAhead` the list is also
// given room for as many further records as this scan scored shifts, so that the other direction's
// scan of the same pairs appends without moving the list.
ScanTotals scanLists(const std::vector<MotifRef>& listA, const std::vector<MotifRef>& listB,
                     const ScanOptions& options, std::vector<dataCombinedScore>& out);

// The two matrices of one side of a pair scanned on its own.
struct PairMatrices {
  const motifMatrix& matrix;
  const motifMatrix& revComp;
};

// Scans the one pair (A, B) of matrices a and b in one direction on the calling thread, with the same
// kernel and records as scanLists gives a pair: motif A listed first, then motif B listed first, each
// region's kept shifts in ascending shift order, appended to `out`. The records take the identity
// fields of A and B (whose `motif` is not read). Meant for scans of two single matrices, whose few
// dozen shifts are not worth a thread team.
void scanPair(const MotifRef& A, PairMatrices a, const MotifRef& B, PairMatrices b, bool backward,
              std::vector<dataCombinedScore>& out);

// The team size of the scans: the run's thread count, at least 1.
int teamSize();

// Totals of the most recent scanLists call (for measurements).
ScanTotals lastScanTotals();

}  // namespace korvelan::scanning
