// Similarity scans of motif pairs and the ranking keys of the alignments they keep.
#pragma once

namespace korvelan {

// Input motifs against each other: fill DatasetsCombinedScoreLists.
void forwardScan();
void backwardScan();
void getMaxScores();
void calculateSumScoresCompare();

// Input motifs against the collection: DatasetsCombinedScoreDatabaseLists.
void forwardScanDatabase();
void backwardScanDatabase();
void getMaxScoresDatabase();
void calculateSumScoresCompareDatabase();

// Top global motifs against the collection: DatasetsCombinedScoreDatabaseGlobalLists.
void forwardScanDatabaseGlobal();
void backwardScanDatabaseGlobal();
void getMaxScoresDatabaseGlobal();
void calculateSumScoresCompareDatabaseGlobal();

}  // namespace korvelan
