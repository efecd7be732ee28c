// Similarity scans of motif pairs and the ranking keys of the alignments they keep. No list of every
// kept alignment is held: the two scans of a family measure each motif's best score and longest
// overlap (maxScores lists), and the key step scans the pairs again, gives each kept alignment its key
// and keeps what result selection reads (the selectedMatches globals).
#pragma once

namespace korvelan {

// Input motifs against each other: maxScoresList, then datasetMatches.
void forwardScan();
void backwardScan();
void getMaxScores();
void calculateSumScoresCompare();

// Input motifs against the collection: maxScoresDatabaseList, then databaseMatches.
void forwardScanDatabase();
void backwardScanDatabase();
void getMaxScoresDatabase();
void calculateSumScoresCompareDatabase();

// Top global motifs against the collection: maxScoresDatabaseGlobalList, then databaseGlobalMatches.
void forwardScanDatabaseGlobal();
void backwardScanDatabaseGlobal();
void getMaxScoresDatabaseGlobal();
void calculateSumScoresCompareDatabaseGlobal();

}  // namespace korvelan
