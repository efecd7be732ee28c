// Input motifs against the loaded collection, and the top global motifs against it. The input or
// query motif is always motif A; the database motif is motif B. The scans measure each input motif's
// maxima; the key steps scan again and keep the selection.
#include "core/answers.h"
#include "core/globals.h"
#include "core/motifs.h"
#include "scan/match_passes.h"
#include "scan/scan.h"
#include "scan/scan_kernel.h"

namespace korvelan {

// One query motif per group of topGlobalMatchingResults, in group order, made from the group's first
// record: its first motif is the top motif. The identity fields come from the record, the dataset
// number and the matrices from the top motif itself. A group that is empty or names no input motif
// gives no query motif.
std::vector<scanning::MotifRef> scanning::queryMotifs() {
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

namespace {

using scanning::queryMotifs;

void measureDatabase(bool backward) {
  const auto inputs = scanning::refsOf(Datasets);
  const auto collection = scanning::refsOf(DatabaseDatasets);
  scanning::raiseMaxima({.listA = inputs, .listB = collection}, backward, maxScoresDatabaseList);
}

void measureDatabaseGlobal(bool backward) {
  const auto queries = queryMotifs();
  if (queries.empty()) return;
  const auto collection = scanning::refsOf(DatabaseDatasets);
  scanning::raiseMaxima({.listA = queries, .listB = collection}, backward, maxScoresDatabaseGlobalList);
}

}  // namespace

void forwardScanDatabase() {
  measureDatabase(false);
}
void backwardScanDatabase() {
  measureDatabase(true);
}
void forwardScanDatabaseGlobal() {
  measureDatabaseGlobal(false);
}
void backwardScanDatabaseGlobal() {
  measureDatabaseGlobal(true);
}

// The maxima lists hold one entry per input motif, also when no scan ran.
void getMaxScoresDatabase() {
  maxScoresDatabaseList.resize(Datasets.size());
}

void getMaxScoresDatabaseGlobal() {
  maxScoresDatabaseGlobalList.resize(Datasets.size());
}

// Per input motif its best collection motifs. Collection motifs are told apart by their number: a
// collection may give two motifs one name.
void calculateSumScoresCompareDatabase() {
  maxScoresDatabaseList.resize(Datasets.size());
  const auto inputs = scanning::refsOf(Datasets);
  const auto collection = scanning::refsOf(DatabaseDatasets);
  databaseMatches = scanning::selectMatches({.listA = inputs, .listB = collection}, maxScoresDatabaseList,
                                            {.numBestMatches = numBestMatches});
}

void calculateSumScoresCompareDatabaseGlobal() {
  maxScoresDatabaseGlobalList.resize(Datasets.size());
  const auto queries = queryMotifs();
  const auto collection = scanning::refsOf(DatabaseDatasets);
  databaseGlobalMatches =
      scanning::selectMatches({.listA = queries, .listB = collection}, maxScoresDatabaseGlobalList,
                              {.numBestMatches = numBestMatches});
}

}  // namespace korvelan
