// The best matches of input motifs in the chosen collection.
#pragma once

#include <vector>

#include "core/records.h"

namespace korvelan {

// One bestMatchList per input motif (element k - 1 for motif ID k, possibly empty) from the records of
// a database scan: each motif's records sorted by the ranking key (equal keys in stored order), then per
// collection motif the best-ranked record, at most numBestMatches of them.
std::vector<bestMatchList> selectDatabaseBestMatches(const std::vector<dataCombinedScore>& records);

}  // namespace korvelan
