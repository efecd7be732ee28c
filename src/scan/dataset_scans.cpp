// Input motifs against each other: every pair a < b of Datasets, forward then backward.
#include "core/globals.h"
#include "scan/scan.h"
#include "scan/scan_kernel.h"

namespace korvelan {

void forwardScan() {
  const auto motifs = scanning::refsOf(Datasets);
  // The backward scan of the same pairs follows; let the list take its records without moving.
  scanning::scanLists(motifs, motifs, {.triangular = true, .backward = false, .reserveAhead = true},
                      DatasetsCombinedScoreLists);
}

void backwardScan() {
  const auto motifs = scanning::refsOf(Datasets);
  scanning::scanLists(motifs, motifs, {.triangular = true, .backward = true, .reserveAhead = false},
                      DatasetsCombinedScoreLists);
}

}  // namespace korvelan
