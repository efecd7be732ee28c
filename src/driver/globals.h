// Every process-wide variable of a run, with its start value. The stages take no arguments and
// hand their results on through these; only the main thread writes them outside the scan and sort
// regions.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "driver/records.h"

namespace korvelan {

// Settings, counters and run timer.
extern double maxScore;  // best score of one aligned cell; never changed
extern std::int32_t overlap;  // least number of aligned positions; never changed
extern std::int64_t matrixIDNum;  // next input motif ID
extern std::int64_t mNum;  // number of the next motif within the current input file
extern std::int32_t dNum;  // dataset number of the file being read
extern std::string numFileInput;
extern std::int32_t numFile;  // number of input files
extern std::string numTopMotifInput;
extern std::int32_t numTopMotif;  // 1 to 50
extern std::string numBestMatchesInput;
extern std::int32_t numBestMatches;  // 1 to 50
extern std::string simCutoffInput;
extern double simCutoff;  // 0.5, 0.6, 0.7, 0.75, 0.8, 0.85 or 0.9
extern std::string numThreadInput;
extern std::int32_t numThread;  // thread count, capped at maxThreadsAvailable
extern std::int32_t maxThreadsAvailable;  // what the OpenMP runtime offers
extern std::string inputPath;  // input folder as typed, unchecked
extern std::string inputFilename;
extern std::string inputFileFormat;
extern std::int32_t inputFileFormatNum;  // never read
extern std::string DBNameInput;
extern std::string DBName;  // database key or "N"; no database when shorter than two characters
extern std::string motifCluster;  // tree answer "Y" or "N"
extern std::string combinedMotifFlag;  // combine answer "Y" or "N"
extern std::string outputFileType;  // "Global-Only" or "All"
extern std::string outputFileFormat;  // "Text", "HTML", "PDF" or "All"
extern std::string outputPath;  // typed output folder, then the derived one
extern std::string jobID;  // run prefix of every output name
extern double start;  // run timer, seconds
extern double stop;
extern double wtime;  // stop - start
extern std::int32_t motifNameLength;  // longest input motif name
extern double maxSumScoreCompare;  // largest ranking key, base of default tree distances
extern std::int32_t fileNameIncrement;  // never used
extern std::string strInputPath;  // never used

// Report names (start as the default names), full paths and streams.
extern std::string outputFile;
extern std::string outputFileLocation;
extern std::ofstream myfile;
extern std::string outputFileWithoutMotif;
extern std::string outputFileWithoutMotifLocation;
extern std::ofstream myfileWithoutMotif;
extern std::string outputGlobalMatchingFile;
extern std::string outputFileGlobalMatchingLocation;
extern std::ofstream myGlobalMatchingFile;
extern std::string outputHTMLFile;
extern std::string outputHTMLFileLocation;
extern std::ofstream myHTMLFile;
extern std::string outputHTMLGlobalMatchingFile;
extern std::string outputHTMLGlobalMatchingFileLocation;
extern std::ofstream myHTMLGlobalMatchingFile;
extern std::string outputDatabaseMatchingFile;
extern std::string outputDatabaseMatchingFileLocation;
extern std::ofstream myDatabaseMatchingFile;
extern std::string outputDatabaseMatchingFileWithoutMotif;
extern std::string outputDatabaseMatchingFileWithoutMotifLocation;
extern std::ofstream myDatabaseMatchingFileWithoutMotif;
extern std::string outputDatabaseMatchingHTMLFile;
extern std::string outputDatabaseMatchingHTMLFileLocation;
extern std::ofstream myDatabaseMatchingHTMLFile;
extern std::string outputDatabaseMatchingGlobalMatchingFile;
extern std::string outputDatabaseMatchingGlobalMatchingFileLocation;
extern std::ofstream myDatabaseMatchingGlobalMatchingFile;
extern std::string outputDatabaseMatchingGlobalMatchingHTMLFile;
extern std::string outputDatabaseMatchingGlobalMatchingHTMLFileLocation;
extern std::ofstream myDatabaseMatchingGlobalMatchingHTMLFile;
extern std::string outputCombinedMatrixGlobalFile;
extern std::string outputCombinedMatrixGlobalFileLocation;
extern std::ofstream myCombinedMatrixGlobalFile;
extern std::string outputCombinedMatrixGlobalAndLocalFile;
extern std::string outputCombinedMatrixGlobalAndLocalFileLocation;
extern std::ofstream myCombinedMatrixGlobalAndLocalFile;
extern std::string outputCombinedMatrixBestMatchesFile;
extern std::string outputCombinedMatrixBestMatchesFileLocation;
extern std::ofstream myCombinedMatrixBestMatchesFile;
extern std::string outputMotifTreeHTMLFile;
extern std::string outputMotifTreeHTMLFileLocation;
extern std::ofstream myMotifTreeFile;
extern std::string outputMotifTreeGlobalHTMLFile;
extern std::string outputMotifTreeGlobalHTMLFileLocation;
extern std::ofstream myMotifTreeGlobalMatchingFile;

// Motifs, input files, alignments, selections and merges.
extern std::vector<fileNameAndType> FileNameType;
extern std::vector<data> Datasets;
extern std::vector<data> DatabaseDatasets;
extern std::vector<dataCombinedScore> DatasetsCombinedScoreLists;
extern std::vector<dataCombinedScore> DatasetsCombinedScoreDatabaseLists;
extern std::vector<dataCombinedScore> DatasetsCombinedScoreDatabaseGlobalLists;
extern std::vector<maxScores> maxScoresList;
extern std::vector<maxScores> maxScoresDatabaseList;
extern std::vector<maxScores> maxScoresDatabaseGlobalList;
extern std::vector<commonBestMatches> globalMatchingScoreResultList;
extern std::vector<commonBestMatches> commonBestScoreResultList;
extern std::vector<bestMatchList> topGlobalMatchingResults;
extern std::vector<bestMatchList> topGlobalAndLocalMatchingResults;
extern std::vector<bestMatchList> topBestMatchesResults;
extern std::vector<std::vector<std::string>> distanceMatrix;
extern std::vector<std::vector<std::string>> distanceMatrixGlobal;
extern mergeChain mergedMotifList;
extern mergeChain mergedMotifListGlobalAndLocal;
extern mergeChain mergedMotifListBestMatches;
extern std::vector<mergeChain> mergedMotifGlobalMatching;
extern std::vector<mergeChain> mergedMotifGlobalAndLocalMatching;
extern std::vector<mergeChain> mergedMotifBestMatches;
extern std::vector<tempArray> tempArrayDouble;
extern std::vector<bestMatchList> datasetDatabaseTopResults;

// Scratch records.
extern fileNameAndType InputFiles;
extern data Matrices;
extern combinedMatrices mergedMatrix;
extern tempArray tempArrayDbl;
extern commonBestMatches commonBestScoreGlobalList;
extern commonBestMatches commonBestScoreList;
extern maxScores combinedMaxScores;

// Puts every variable above back to its start value and closes every report stream, so a test can
// start a run from scratch.
void resetGlobals();

}  // namespace korvelan
