// Input motifs against each other: every pair a < b of Datasets, forward then backward. The scans
// measure each motif's maxima; the key step scans again and keeps the selection.
#include "core/answers.h"
#include "core/globals.h"
#include "scan/match_passes.h"
#include "scan/scan.h"
#include "scan/scan_kernel.h"

namespace korvelan {

namespace {

scanning::ScanTotals measureDatasets(bool backward) {
  const auto motifs = scanning::refsOf(Datasets);
  maxScoresList.resize(Datasets.size());
  return scanning::raiseMaxima({.listA = motifs, .listB = motifs, .dataset = true}, runScanSettings(),
                               backward, maxScoresList);
}

}  // namespace

scanning::ScanTotals forwardScan() {
  return measureDatasets(false);
}

scanning::ScanTotals backwardScan() {
  return measureDatasets(true);
}

// The maxima list holds one entry per motif, also when no scan ran.
void getMaxScores() {
  maxScoresList.resize(Datasets.size());
}

void calculateSumScoresCompare() {
  maxScoresList.resize(Datasets.size());
  const auto motifs = scanning::refsOf(Datasets);
  datasetMatches = scanning::selectMatches(
      {.listA = motifs, .listB = motifs, .dataset = true}, maxScoresList,
      {.numBestMatches = numBestMatches, .otherFiles = severalFiles(), .distances = treesWanted()},
      runScanSettings());
}

}  // namespace korvelan
