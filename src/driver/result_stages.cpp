#include "driver/result_stages.h"

#include "core/answers.h"
#include "core/globals.h"
#include "reports/sections.h"
#include "results/results.h"

namespace korvelan {

void getResultsList() {
  selectDistances();
  if (!severalFiles()) {
    writeGlobalMatchingPart({});
  } else {
    rankGlobalMatching();
    writeGlobalMatchingPart(datasetMatches.otherFileMatches);
  }
  rankGlobalAndLocal();
  writeGlobalAndLocalPart(datasetMatches.bestMatches);
  writeEachMotifPart(datasetMatches.bestMatches);
}

void getDatabaseResultsList() {
  if (typeAll()) writeDatabasePart(databaseMatches.bestMatches);
}

void getDatabaseGlobalResultsList() {
  writeDatabaseGlobalPart(databaseGlobalMatches.bestMatches);
}

}  // namespace korvelan
