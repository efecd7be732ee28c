// Dataset result selection: each input motif's best matches among motifs of other input files (global)
// and among all motifs (global and local), the motif rankings, the top lists, the distance tables, and
// the result parts of the dataset reports at their places in between.
#include <cstddef>
#include <cstdint>
#include <iostream>
#include <vector>

#include "core/answers.h"
#include "core/globals.h"
#include "core/parallel.h"
#include "results/distance.h"
#include "results/grouping.h"
#include "results/results.h"

namespace korvelan {

namespace {

std::int64_t firstMotifOf(const dataCombinedScore& record) {
  return record.firstMotifID;
}
std::int64_t secondMotifOf(const dataCombinedScore& record) {
  return record.secondMotifID;
}
bool partnerFromOtherFile(const dataCombinedScore& record) {
  return record.secondDatasetNum != record.firstDatasetNum;
}

std::vector<bestMatchList> bestMatchesOfEach(const std::vector<MatchRefs>& sortedLists) {
  std::vector<bestMatchList> best;
  best.reserve(sortedLists.size());
  for (const MatchRefs& list : sortedLists)
    best.push_back(selectBestMatches(list, numBestMatches, secondMotifOf));
  return best;
}

}  // namespace

void getResultsList() {
  const std::size_t n = Datasets.size();
  const bool globalMatching = severalFiles();

  // Every alignment goes to the motif listed first in it.
  std::vector<MatchRefs> globalAndLocalMatchesLists =
      groupByMotif(DatasetsCombinedScoreLists, n, firstMotifOf);
  sortMatchLists(globalAndLocalMatchesLists);

  // The matches with motifs of other files, taken from the sorted lists: the same as sorting them apart.
  std::vector<MatchRefs> globalMatchesLists;
  if (globalMatching) {
    globalMatchesLists.resize(n);
    const std::ptrdiff_t count = static_cast<std::ptrdiff_t>(n);
    RegionGuard guard;
#pragma omp parallel for schedule(static)
    for (std::ptrdiff_t i = 0; i < count; ++i)
      guard.run([&] {
        globalMatchesLists[static_cast<std::size_t>(i)] =
            filterMatches(globalAndLocalMatchesLists[static_cast<std::size_t>(i)], partnerFromOtherFile);
      });
    guard.rethrow();
  }

  const bool trees = treesWanted();
  if (trees) fillDistanceMatrix(globalAndLocalMatchesLists);

  if (!globalMatching) {
    writeGlobalMatchingPart({});
  } else {
    const std::vector<bestMatchList> globalBestMatchesLists = bestMatchesOfEach(globalMatchesLists);
    std::vector<commonBestMatches> ranking = rankMotifs(globalBestMatchesLists, commonBestScoreGlobalList);
    globalMatchingScoreResultList.insert(globalMatchingScoreResultList.end(), ranking.begin(), ranking.end());
    std::cout << std::endl;
    for (bestMatchList& group : topGroups(ranking, globalBestMatchesLists, numTopMotif))
      topGlobalMatchingResults.push_back(std::move(group));
    if (trees) fillDistanceMatrixGlobal();
    writeGlobalMatchingPart(globalBestMatchesLists);
  }
  globalMatchesLists = {};

  const std::vector<bestMatchList> globalAndLocalBestMatchesLists =
      bestMatchesOfEach(globalAndLocalMatchesLists);
  globalAndLocalMatchesLists = {};
  std::vector<commonBestMatches> ranking = rankMotifs(globalAndLocalBestMatchesLists, commonBestScoreList);
  commonBestScoreResultList.insert(commonBestScoreResultList.end(), ranking.begin(), ranking.end());
  std::cout << std::endl;
  if (mergeWanted() && typeAll()) {
    for (bestMatchList& group : topGroups(ranking, globalAndLocalBestMatchesLists, numTopMotif))
      topGlobalAndLocalMatchingResults.push_back(std::move(group));
    for (const bestMatchList& list : globalAndLocalBestMatchesLists)
      if (!list.empty()) topBestMatchesResults.push_back(list);
  }

  if (typeAll()) {
    writeGlobalAndLocalPart(globalAndLocalBestMatchesLists);
    writeEachMotifPart(globalAndLocalBestMatchesLists);
  }
}

}  // namespace korvelan
