// A straightforward scan for comparison: two parallel regions per motif pair, the shifts of a region
// split statically over the team, thread lists appended under one critical section.
#pragma once

#include <vector>

#include "core/records.h"
#include "scan/scan_kernel.h"

namespace korvelan::bench {

// Appends the records of every pair of one direction to `shared` (triangular: one list, b > a).
void referenceScan(const std::vector<scanning::MotifRef>& listA, const std::vector<scanning::MotifRef>& listB,
                   bool triangular, bool backward, int threads, std::vector<dataCombinedScore>& shared);

// Maxima and keys of `records`: dataset family (both motifs count, ranked for the first) or
// database family (the input motif, found through the flag).
void referenceKeys(std::vector<dataCombinedScore>& records, std::size_t motifCount, bool database);

// Puts a reference list into the one-thread order: direction, pair (motif A, motif B), region,
// position. Motif A is the one listed first in scan-order records and second in the others.
void sortIntoScanOrder(std::vector<dataCombinedScore>& records);

// Field-by-field equality of two lists (scores compared bit for bit).
bool identicalLists(const std::vector<dataCombinedScore>& a, const std::vector<dataCombinedScore>& b);

}  // namespace korvelan::bench
