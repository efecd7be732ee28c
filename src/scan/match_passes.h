// The two passes over a scan family's pairs that stand in for a list of every kept alignment: the
// maxima pass finds each motif's best score and longest overlap, the selecting pass scans again,
// gives every kept shift its ranking key and keeps only what result selection reads.
#pragma once

#include <cstdint>
#include <vector>

#include "core/records.h"
#include "scan/scan_kernel.h"

namespace korvelan::scanning {

// One scan family: the two motif lists and whom an alignment counts for.
struct Family {
  const std::vector<MotifRef>& listA;
  const std::vector<MotifRef>& listB;
  // Input motifs with each other: one list, pairs b > a; an alignment counts for both motifs in the
  // maxima and is ranked for the motif it lists first. Otherwise motif A (the input or query motif)
  // is the only one an alignment counts and is ranked for, and motif B is its partner.
  bool dataset = false;
};

// The query motifs of the global database scans: one per group of the top global groups (the run's
// topGlobalMatchingResults), in group order, made from the group's first record, whose first motif is
// the top motif: the identity fields from the record, the dataset number and the matrices from that
// motif in `inputs` (by ID). A group that is empty or names no motif of `inputs` gives no query motif.
std::vector<MotifRef> queryMotifs(const std::vector<bestMatchList>& topGlobal,
                                  const std::vector<data>& inputs);

// Raises the entries of `maxima` (one per input motif, the entry k - 1 for the motif of ID k) by the
// kept shifts of one direction's scan of the family: best score and longest overlap. An ID beyond
// the entries raises none. Returns the scan's counts.
ScanTotals raiseMaxima(const Family& family, const ScanSettings& settings, bool backward,
                       std::vector<maxScores>& maxima);

// What the selecting pass keeps besides the best matches.
struct SelectionWanted {
  std::int32_t numBestMatches = 1;  // partners per motif (at least 1)
  bool otherFiles = false;          // also the best matches among partners of other input files
  bool distances = false;           // the largest key and the smallest key of each motif pair
};

// Scans the family forward and then backward, gives each kept shift its ranking key from the maxima
// (of the motif it is ranked for) and keeps per motif the best record per partner among the best
// numBestMatches partners, ordered by (key, place in the scans' order): exactly the first record of
// each partner in the motif's records stably sorted by key. Per-thread selections are merged after
// each scan; whichever thread offers a record, the outcome is the same.
selectedMatches selectMatches(const Family& family, const std::vector<maxScores>& maxima,
                              const SelectionWanted& wanted, const ScanSettings& settings);

}  // namespace korvelan::scanning
