// Similarity scans of motif pairs and the ranking keys of the alignments they keep. No list of every
// kept alignment is held: the two scans of a family measure each motif's best score and longest
// overlap (maxScores lists), and the key step scans the pairs again, gives each kept alignment its key
// and keeps what result selection reads (the selectedMatches globals). Each scan returns its counts,
// which a run leaves unread and the benchmark reports.
#pragma once

#include <vector>

#include "core/records.h"
#include "scan/scan_kernel.h"

namespace korvelan {

// The settings the run's scans and merges score by: simCutoff, overlap, maxScore and numThread (at
// least 1).
scanning::ScanSettings runScanSettings();

// Input motifs against each other: maxScoresList, then datasetMatches.
scanning::ScanTotals forwardScan();
scanning::ScanTotals backwardScan();
void getMaxScores();
void calculateSumScoresCompare();

// Input motifs against the collection: maxScoresDatabaseList, then databaseMatches.
scanning::ScanTotals forwardScanDatabase();
scanning::ScanTotals backwardScanDatabase();
void getMaxScoresDatabase();
void calculateSumScoresCompareDatabase();

// The top global motifs (one query motif per group of `topGlobal`, the run's topGlobalMatchingResults)
// against the collection: maxScoresDatabaseGlobalList, then databaseGlobalMatches.
scanning::ScanTotals forwardScanDatabaseGlobal(const std::vector<bestMatchList>& topGlobal);
scanning::ScanTotals backwardScanDatabaseGlobal(const std::vector<bestMatchList>& topGlobal);
void getMaxScoresDatabaseGlobal();
void calculateSumScoresCompareDatabaseGlobal(const std::vector<bestMatchList>& topGlobal);

}  // namespace korvelan
