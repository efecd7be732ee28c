// Database result selection: the database result parts of the reports, from each input motif's best
// matches in the chosen collection as the key steps of the database scans kept them (every input
// motif: getDatabaseResultsList; the top global motifs: getDatabaseGlobalResultsList).
#include <vector>

#include "core/answers.h"
#include "core/globals.h"
#include "results/results.h"

namespace korvelan {

void getDatabaseResultsList() {
  if (!typeAll()) return;
  writeDatabasePart(databaseMatches.bestMatches);
}

void getDatabaseGlobalResultsList() {
  writeDatabaseGlobalPart(databaseGlobalMatches.bestMatches);
}

}  // namespace korvelan
