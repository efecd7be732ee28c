#include "results/grouping.h"

#include <algorithm>
#include <cstddef>

#include "core/motifs.h"

namespace korvelan {

double sumOfScores(const bestMatchList& list) {
  double sum = 0.0;
  for (const dataCombinedScore& record : list) sum += record.similarityScore;
  return sum;
}

std::vector<commonBestMatches> rankMotifs(const std::vector<bestMatchList>& bestLists) {
  std::vector<commonBestMatches> ranking;
  ranking.reserve(bestLists.size());
  for (std::size_t k = 0; k < bestLists.size(); ++k)
    ranking.push_back({.motifID = static_cast<std::int64_t>(k + 1), .sumScores = sumOfScores(bestLists[k])});
  std::stable_sort(ranking.begin(), ranking.end());
  return ranking;
}

std::vector<bestMatchList> topGroups(const std::vector<commonBestMatches>& ranking,
                                     const std::vector<bestMatchList>& bestLists, std::int32_t numTopMotif) {
  std::vector<bestMatchList> top;
  for (const commonBestMatches& entry : ranking) {
    if (static_cast<std::int32_t>(top.size()) >= numTopMotif) break;
    const bestMatchList* list = atMotifID(bestLists, entry.motifID);
    if (list != nullptr && !list->empty()) top.push_back(*list);
  }
  return top;
}

}  // namespace korvelan
