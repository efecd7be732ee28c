// Input motifs against the loaded collection, and the top global motifs against it. The input or
// query motif is always motif A; the database motif is motif B. The scans measure each input motif's
// maxima; the key steps scan again and keep the selection.
#include "core/answers.h"
#include "core/globals.h"
#include "scan/match_passes.h"
#include "scan/scan.h"
#include "scan/scan_kernel.h"

namespace korvelan {
namespace {

// The input or query motifs against the collection, into `maxima` (one entry per input motif).
scanning::ScanTotals measureAgainstCollection(const std::vector<scanning::MotifRef>& inputs, bool backward,
                                              std::vector<maxScores>& maxima) {
  maxima.resize(Datasets.size());
  if (inputs.empty()) return {};
  const auto collection = scanning::refsOf(DatabaseDatasets);
  return scanning::raiseMaxima({.listA = inputs, .listB = collection}, runScanSettings(), backward, maxima);
}

// Per input motif its best collection motifs. Collection motifs are told apart by their number: a
// collection may give two motifs one name.
selectedMatches selectFromCollection(const std::vector<scanning::MotifRef>& inputs,
                                     std::vector<maxScores>& maxima) {
  maxima.resize(Datasets.size());
  const auto collection = scanning::refsOf(DatabaseDatasets);
  return scanning::selectMatches({.listA = inputs, .listB = collection}, maxima,
                                 {.numBestMatches = numBestMatches}, runScanSettings());
}

}  // namespace

scanning::ScanTotals forwardScanDatabase() {
  return measureAgainstCollection(scanning::refsOf(Datasets), false, maxScoresDatabaseList);
}
scanning::ScanTotals backwardScanDatabase() {
  return measureAgainstCollection(scanning::refsOf(Datasets), true, maxScoresDatabaseList);
}
scanning::ScanTotals forwardScanDatabaseGlobal(const std::vector<bestMatchList>& topGlobal) {
  return measureAgainstCollection(scanning::queryMotifs(topGlobal, Datasets), false,
                                  maxScoresDatabaseGlobalList);
}
scanning::ScanTotals backwardScanDatabaseGlobal(const std::vector<bestMatchList>& topGlobal) {
  return measureAgainstCollection(scanning::queryMotifs(topGlobal, Datasets), true,
                                  maxScoresDatabaseGlobalList);
}

// The maxima lists hold one entry per input motif, also when no scan ran.
void getMaxScoresDatabase() {
  maxScoresDatabaseList.resize(Datasets.size());
}

void getMaxScoresDatabaseGlobal() {
  maxScoresDatabaseGlobalList.resize(Datasets.size());
}

void calculateSumScoresCompareDatabase() {
  databaseMatches = selectFromCollection(scanning::refsOf(Datasets), maxScoresDatabaseList);
}

void calculateSumScoresCompareDatabaseGlobal(const std::vector<bestMatchList>& topGlobal) {
  databaseGlobalMatches =
      selectFromCollection(scanning::queryMotifs(topGlobal, Datasets), maxScoresDatabaseGlobalList);
}

}  // namespace korvelan
