// Dataset result selection: from each input motif's best matches among motifs of other input files
// (global) and among all motifs (global and local), as the key step kept them, the motif rankings, the
// top lists and the distance tables.
#include <iostream>
#include <vector>

#include "core/answers.h"
#include "core/globals.h"
#include "results/distance.h"
#include "results/grouping.h"
#include "results/results.h"

namespace korvelan {

void selectDistances() {
  if (treesWanted()) fillDistanceMatrix(datasetMatches);
}

void rankGlobalMatching() {
  const std::vector<bestMatchList>& globalBestMatchesLists = datasetMatches.otherFileMatches;
  std::vector<commonBestMatches> ranking = rankMotifs(globalBestMatchesLists);
  globalMatchingScoreResultList.insert(globalMatchingScoreResultList.end(), ranking.begin(), ranking.end());
  std::cout << std::endl;
  for (bestMatchList& group : topGroups(ranking, globalBestMatchesLists, numTopMotif))
    topGlobalMatchingResults.push_back(std::move(group));
  if (treesWanted()) fillDistanceMatrixGlobal();
}

void rankGlobalAndLocal() {
  const std::vector<bestMatchList>& globalAndLocalBestMatchesLists = datasetMatches.bestMatches;
  std::vector<commonBestMatches> ranking = rankMotifs(globalAndLocalBestMatchesLists);
  commonBestScoreResultList.insert(commonBestScoreResultList.end(), ranking.begin(), ranking.end());
  std::cout << std::endl;
  if (mergeWanted() && typeAll()) {
    for (bestMatchList& group : topGroups(ranking, globalAndLocalBestMatchesLists, numTopMotif))
      topGlobalAndLocalMatchingResults.push_back(std::move(group));
    for (const bestMatchList& list : globalAndLocalBestMatchesLists)
      if (!list.empty()) topBestMatchesResults.push_back(list);
  }
}

}  // namespace korvelan
