// Database result selection: each input motif's best matches in the chosen collection, from the scan
// of every input motif (getDatabaseResultsList) or of the top global motifs
// (getDatabaseGlobalResultsList), and the database result parts of their reports.
#include "results/database_selection.h"

#include <vector>

#include "core/answers.h"
#include "core/globals.h"
#include "core/motifs.h"
#include "results/grouping.h"
#include "results/results.h"

namespace korvelan {

std::vector<bestMatchList> selectDatabaseBestMatches(const std::vector<dataCombinedScore>& records) {
  // Every record goes to its input motif, whichever motif it lists first.
  std::vector<MatchRefs> databaseMatchesLists = groupByMotif(records, Datasets.size(), inputMotifNumber);
  sortMatchLists(databaseMatchesLists);
  // Collection motifs are told apart by their number: a collection may give two motifs one name.
  std::vector<bestMatchList> databaseBestMatchesLists;
  databaseBestMatchesLists.reserve(databaseMatchesLists.size());
  for (const MatchRefs& list : databaseMatchesLists)
    databaseBestMatchesLists.push_back(selectBestMatches(list, numBestMatches, collectionMotifNumber));
  return databaseBestMatchesLists;
}

void getDatabaseResultsList() {
  const std::vector<bestMatchList> best = selectDatabaseBestMatches(DatasetsCombinedScoreDatabaseLists);
  if (!typeAll()) return;
  writeDatabasePart(best);
}

void getDatabaseGlobalResultsList() {
  writeDatabaseGlobalPart(selectDatabaseBestMatches(DatasetsCombinedScoreDatabaseGlobalLists));
}

}  // namespace korvelan
