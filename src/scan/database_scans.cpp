// Input motifs against the loaded collection, and the top global motifs against it. The input or
// query motif is always motif A; the database motif is motif B.
#include "core/globals.h"
#include "core/motifs.h"
#include "scan/scan.h"
#include "scan/scan_kernel.h"

namespace korvelan {
namespace {

// One query motif per group of topGlobalMatchingResults, in group order, made from the group's first
// record: its first motif is the top motif. The identity fields come from the record, the dataset
// number and the matrices from the top motif itself. A group that is empty or names no input motif
// gives no query motif.
std::vector<scanning::MotifRef> queryMotifs() {
  std::vector<scanning::MotifRef> queries;
  queries.reserve(topGlobalMatchingResults.size());
  for (const bestMatchList& group : topGlobalMatchingResults) {
    if (group.empty()) continue;
    const dataCombinedScore& head = group.front();
    const data* top = findMotif(Datasets, head.firstMotifID);
    if (top == nullptr) continue;
    queries.push_back(scanning::MotifRef{top, head.firstMotifID, head.firstMotifName, top->datasetNum,
                                         head.firstMotifNumInFile});
  }
  return queries;
}

void scanDatabase(bool backward) {
  scanning::scanLists(scanning::refsOf(Datasets), scanning::refsOf(DatabaseDatasets),
                      {.triangular = false, .backward = backward, .reserveAhead = !backward},
                      DatasetsCombinedScoreDatabaseLists);
}

void scanDatabaseGlobal(bool backward) {
  const auto queries = queryMotifs();
  if (queries.empty()) return;
  scanning::scanLists(queries, scanning::refsOf(DatabaseDatasets),
                      {.triangular = false, .backward = backward, .reserveAhead = !backward},
                      DatasetsCombinedScoreDatabaseGlobalLists);
}

}  // namespace

void forwardScanDatabase() {
  scanDatabase(false);
}
void backwardScanDatabase() {
  scanDatabase(true);
}
void forwardScanDatabaseGlobal() {
  scanDatabaseGlobal(false);
}
void backwardScanDatabaseGlobal() {
  scanDatabaseGlobal(true);
}

}  // namespace korvelan
