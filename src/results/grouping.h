// Building blocks of result selection: grouping an alignment list by motif, sorting the groups on the
// thread team, picking each motif's best matches and ranking motifs by their key sums.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/motifs.h"
#include "core/records.h"

namespace korvelan {

// One motif's alignments, referred to in place: the records stay in their alignment list, which does not
// change while the references live. Sorting references moves 8 bytes per record instead of a whole record.
using MatchRefs = std::vector<const dataCombinedScore*>;

// One list per motif, element k - 1 for motif ID k (motifCount lists, possibly empty), of the records
// for which motifOf(record) is k, in their stored order. One pass over the records; a record whose motif
// is not in 1..motifCount belongs to no list.
template <class MotifOf>
std::vector<MatchRefs> groupByMotif(const std::vector<dataCombinedScore>& records, std::size_t motifCount,
                                    MotifOf motifOf) {
  std::vector<MatchRefs> groups(motifCount);
  for (const dataCombinedScore& record : records) {
    if (MatchRefs* group = atMotifID(groups, motifOf(record))) group->push_back(&record);
  }
  return groups;
}

// The records of `sorted` for which keep(record) holds, in their order. Taken from a stably sorted list
// this is the same as stably sorting the kept records.
template <class Keep>
MatchRefs filterMatches(const MatchRefs& sorted, Keep keep) {
  MatchRefs kept;
  for (const dataCombinedScore* record : sorted)
    if (keep(*record)) kept.push_back(record);
  return kept;
}

// Sorts every list ascending by the ranking key (`comparison`), keeping records with equal keys in their
// stored order, so the outcome does not depend on the thread count. The lists are split statically over
// the thread team, one whole list per task.
void sortMatchLists(std::vector<MatchRefs>& lists);

// A motif's best matches from its sorted list: per partner motif (partnerOf(record), an ID) the first,
// best-ranked record, in list order, at most numBestMatches of them; the first record is always taken.
// The records are copied.
template <class PartnerOf>
bestMatchList selectBestMatches(const MatchRefs& sorted, std::int32_t numBestMatches, PartnerOf partnerOf) {
  bestMatchList best;
  if (sorted.empty()) return best;
  std::vector<std::int64_t> partners;
  best.push_back(*sorted.front());
  partners.push_back(partnerOf(*sorted.front()));
  for (std::size_t i = 1; i < sorted.size() && static_cast<std::int32_t>(best.size()) < numBestMatches; ++i) {
    const std::int64_t partner = partnerOf(*sorted[i]);
    bool seen = false;
    for (std::int64_t taken : partners) {
      if (taken == partner) {
        seen = true;
        break;
      }
    }
    if (seen) continue;
    best.push_back(*sorted[i]);
    partners.push_back(partner);
  }
  return best;
}

// Sum of the ranking keys of a list, added in list order from 0.0.
double sumOfScores(const bestMatchList& list);

// One entry {motif ID k, key sum of element k - 1} per list, built in `scratch` and appended as a copy,
// then sorted ascending by the sum; equal sums keep motif-ID order.
std::vector<commonBestMatches> rankMotifs(const std::vector<bestMatchList>& bestLists,
                                          commonBestMatches& scratch);

// Copies of the non-empty best-match lists in ranking order, at most numTopMotif of them.
std::vector<bestMatchList> topGroups(const std::vector<commonBestMatches>& ranking,
                                     const std::vector<bestMatchList>& bestLists, std::int32_t numTopMotif);

}  // namespace korvelan
