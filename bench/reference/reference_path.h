// The plain path of a run's scans and selection, kept for comparison by the tests and the benchmark:
// every kept alignment as a record in the scans' order, written straight from the placement and
// scoring rules; the maxima and keys over the whole list; and the selection by grouping the records
// per motif and stably sorting them by key. It holds every alignment at once: memory grows with the
// square of the motif count.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/records.h"
#include "scan/scan.h"
#include "scan/scan_kernel.h"

namespace korvelan::reference {

// Every kept alignment of the pairs (a, b) of the two lists (triangular: one list, b > a), the
// forward scan and then the backward scan, each in pair order, per pair the region listing motif A
// first and then the one listing motif B first, each by ascending position. Scored at simCutoff on
// `threads` threads; the order does not depend on them. Ranking fields are 0.
std::vector<dataCombinedScore> scanRecords(const std::vector<scanning::MotifRef>& listA,
                                           const std::vector<scanning::MotifRef>& listB, bool triangular,
                                           int threads);

// The records of the same scans as the kernel hands them to its sink (scanning::scanLists), built and
// put in the scans' order; at the run's settings unless others are given.
std::vector<dataCombinedScore> kernelRecords(const std::vector<scanning::MotifRef>& listA,
                                             const std::vector<scanning::MotifRef>& listB, bool triangular,
                                             const scanning::ScanSettings& settings = runScanSettings());

// The maxima of `motifCount` motifs over the records (dataset family: both listed motifs count;
// database families: the input motif, found through the flag), then every record's key against the
// maxima of the motif it is ranked for (the first listed, or the input motif). Returns the maxima.
std::vector<maxScores> setKeys(std::vector<dataCombinedScore>& records, std::size_t motifCount,
                               bool database);

// The selection from keyed records in the scans' order: each motif's records (the motif they are
// ranked for) stably sorted by key, then per partner (the motif listed second, or the collection
// motif) the first record, at most numBestMatches partners (the first record always). With
// otherFiles also over the records whose two motifs lie in different files; with distances the
// largest key and each pair's smallest key (upper triangle of n x n, +infinity where none).
selectedMatches selectFromRecords(const std::vector<dataCombinedScore>& records, std::size_t motifCount,
                                  bool database, std::int32_t numBestMatches, bool otherFiles,
                                  bool distances);

// What result selection leaves for the reports and the later stages, to compare two paths.
struct SelectionOutcome {
  std::vector<bestMatchList> bestMatches, otherFileMatches;  // the selection it started from
  std::vector<commonBestMatches> globalRanking, ranking;
  std::vector<bestMatchList> topGlobal, topGlobalAndLocal, topBestMatches;
  distanceTable distances, globalDistances;
  double largestKey = 0.0;  // maxSumScoreCompare
};

// Empties what getResultsList fills, so that it can run again on another selection.
void clearSelectionResults();

// getResultsList on `matches` (as datasetMatches), and what it leaves.
SelectionOutcome selectAndCapture(const selectedMatches& matches);

// The plain path of the three families on the run's globals (Datasets, DatabaseDatasets, the settings):
// every record, keys, then the selection, as the key steps leave it in datasetMatches, databaseMatches
// and databaseGlobalMatches (the global family's query motifs from topGlobalMatchingResults).
selectedMatches datasetMatchesOf(int threads);
selectedMatches databaseMatchesOf(int threads);
selectedMatches databaseGlobalMatchesOf(int threads);

// Empty when the two are the same in every field (numbers bit for bit), else where they first differ.
std::string firstDifference(const SelectionOutcome& a, const SelectionOutcome& b);
std::string firstDifference(const std::vector<bestMatchList>& a, const std::vector<bestMatchList>& b);
std::string firstDifference(const std::vector<dataCombinedScore>& a, const std::vector<dataCombinedScore>& b);

}  // namespace korvelan::reference
