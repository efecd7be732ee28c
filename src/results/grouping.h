// Building blocks of result selection: ranking motifs by the key sums of their best matches and
// taking the top groups.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/records.h"

namespace korvelan {

// Sum of the ranking keys of a list, added in list order from 0.0.
double sumOfScores(const bestMatchList& list);

// One entry {motif ID k, key sum of element k - 1} per list, sorted ascending by the sum; equal sums
// keep motif-ID order.
std::vector<commonBestMatches> rankMotifs(const std::vector<bestMatchList>& bestLists);

// Copies of the non-empty best-match lists in ranking order, at most numTopMotif of them.
std::vector<bestMatchList> topGroups(const std::vector<commonBestMatches>& ranking,
                                     const std::vector<bestMatchList>& bestLists, std::int32_t numTopMotif);

}  // namespace korvelan
