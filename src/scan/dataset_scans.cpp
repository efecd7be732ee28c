// Input motifs against each other: every pair a < b of Datasets, forward then backward. The scans
// measure each motif's maxima; the key step scans again and keeps the selection.
#include "core/answers.h"
#include "core/globals.h"
#include "scan/match_passes.h"
#include "scan/scan.h"
#include "scan/scan_kernel.h"

namespace korvelan {
namespace {

void measureDatasets(bool backward) {
  const auto motifs = scanning::refsOf(Datasets);
  scanning::raiseMaxima({.listA = motifs, .listB = motifs, .dataset = true}, backward, maxScoresList);
}

}  // namespace

void forwardScan() {
  measureDatasets(false);
}

void backwardScan() {
  measureDatasets(true);
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
      {.numBestMatches = numBestMatches, .otherFiles = severalFiles(), .distances = treesWanted()});
}

}  // namespace korvelan
