// Every process-wide variable of a run, with its start value. The stages take no arguments and
// hand their results on through these; only the main thread writes them outside the scan and sort
// regions.
//
// All of them live in one RunState object, whose member initialisers are the start values (the
// report names start as the defaults of the report table); each variable's own name is a reference
// to its member. A run starts from that state, and resetGlobals() returns to it, so a variable added
// here can never miss the reset.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "core/records.h"

namespace korvelan {

// A file or folder this run created, by path and file identity (see core/report_io.h).
struct CreatedOutput {
  std::string path;
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
};

// A stream open on an output file, with the file's path for the failure message.
struct OpenOutput {
  const std::ofstream* stream = nullptr;
  std::string path;
};

struct RunState {
  // Settings, counters and run timer.
  double maxScore = 1.0;         // best score of one aligned cell; never changed
  std::int32_t overlap = 4;      // least number of aligned positions; never changed
  std::int64_t matrixIDNum = 1;  // next input motif ID
  std::int64_t mNum = 1;         // number of the next motif within the current input file
  std::int32_t dNum = 1;         // dataset number of the file being read
  std::string numFileInput;
  std::int32_t numFile = 0;  // number of input files
  std::string numTopMotifInput;
  std::int32_t numTopMotif = 0;  // 1 to 50
  std::string numBestMatchesInput;
  std::int32_t numBestMatches = 0;  // 1 to 50
  std::string simCutoffInput;
  double simCutoff = 0.0;  // 0.5, 0.6, 0.7, 0.75, 0.8, 0.85 or 0.9
  std::string numThreadInput;
  std::int32_t numThread = 0;            // thread count, capped at maxThreadsAvailable
  std::int32_t maxThreadsAvailable = 0;  // what the OpenMP runtime offers
  std::string inputPath;                 // input folder as typed, unchecked
  std::string inputFilename;
  std::string inputFileFormat;
  std::int32_t inputFileFormatNum = 0;  // never read
  std::string DBNameInput;
  std::string DBName;             // database key or "N"; no database when shorter than two characters
  std::string motifCluster;       // tree answer "Y" or "N"
  std::string combinedMotifFlag;  // combine answer "Y" or "N"
  std::string outputFileType;     // "Global-Only" or "All"
  std::string outputFileFormat;   // "Text", "HTML", "PDF" or "All"
  std::string outputPath;         // typed output folder, then the derived one
  std::string jobID;              // run prefix of every output name
  double start = 0.0;             // run timer, seconds
  double stop = 0.0;
  double wtime = 0.0;                  // stop - start
  std::int32_t motifNameLength = 0;    // longest input motif name
  double maxSumScoreCompare = 0.0;     // largest ranking key, base of default tree distances
  std::int32_t fileNameIncrement = 0;  // never used
  std::string strInputPath;            // never used
  std::string jasparDB;                // collection path the JASPAR loader opened last
  std::string transfacDB;              // collection path the TRANSFAC loader opened last
  std::string uniprobeDB;              // collection path the UniPROBE loader opened last

  // Report names (start as the default names), full paths and streams.
  std::string outputFile;
  std::string outputFileLocation;
  std::ofstream myfile;
  std::string outputFileWithoutMotif;
  std::string outputFileWithoutMotifLocation;
  std::ofstream myfileWithoutMotif;
  std::string outputGlobalMatchingFile;
  std::string outputFileGlobalMatchingLocation;
  std::ofstream myGlobalMatchingFile;
  std::string outputHTMLFile;
  std::string outputHTMLFileLocation;
  std::ofstream myHTMLFile;
  std::string outputHTMLGlobalMatchingFile;
  std::string outputHTMLGlobalMatchingFileLocation;
  std::ofstream myHTMLGlobalMatchingFile;
  std::string outputDatabaseMatchingFile;
  std::string outputDatabaseMatchingFileLocation;
  std::ofstream myDatabaseMatchingFile;
  std::string outputDatabaseMatchingFileWithoutMotif;
  std::string outputDatabaseMatchingFileWithoutMotifLocation;
  std::ofstream myDatabaseMatchingFileWithoutMotif;
  std::string outputDatabaseMatchingHTMLFile;
  std::string outputDatabaseMatchingHTMLFileLocation;
  std::ofstream myDatabaseMatchingHTMLFile;
  std::string outputDatabaseMatchingGlobalMatchingFile;
  std::string outputDatabaseMatchingGlobalMatchingFileLocation;
  std::ofstream myDatabaseMatchingGlobalMatchingFile;
  std::string outputDatabaseMatchingGlobalMatchingHTMLFile;
  std::string outputDatabaseMatchingGlobalMatchingHTMLFileLocation;
  std::ofstream myDatabaseMatchingGlobalMatchingHTMLFile;
  std::string outputCombinedMatrixGlobalFile;
  std::string outputCombinedMatrixGlobalFileLocation;
  std::ofstream myCombinedMatrixGlobalFile;
  std::string outputCombinedMatrixGlobalAndLocalFile;
  std::string outputCombinedMatrixGlobalAndLocalFileLocation;
  std::ofstream myCombinedMatrixGlobalAndLocalFile;
  std::string outputCombinedMatrixBestMatchesFile;
  std::string outputCombinedMatrixBestMatchesFileLocation;
  std::ofstream myCombinedMatrixBestMatchesFile;
  std::string outputMotifTreeHTMLFile;
  std::string outputMotifTreeHTMLFileLocation;
  std::ofstream myMotifTreeFile;
  std::string outputMotifTreeGlobalHTMLFile;
  std::string outputMotifTreeGlobalHTMLFileLocation;
  std::ofstream myMotifTreeGlobalMatchingFile;

  // Motifs, input files, alignments, selections and merges.
  std::vector<fileNameAndType> FileNameType;
  std::vector<data> Datasets;
  std::vector<data> DatabaseDatasets;
  std::vector<dataCombinedScore> DatasetsCombinedScoreLists;
  std::vector<dataCombinedScore> DatasetsCombinedScoreDatabaseLists;
  std::vector<dataCombinedScore> DatasetsCombinedScoreDatabaseGlobalLists;
  std::vector<maxScores> maxScoresList;
  std::vector<maxScores> maxScoresDatabaseList;
  std::vector<maxScores> maxScoresDatabaseGlobalList;
  std::vector<commonBestMatches> globalMatchingScoreResultList;
  std::vector<commonBestMatches> commonBestScoreResultList;
  std::vector<bestMatchList> topGlobalMatchingResults;
  std::vector<bestMatchList> topGlobalAndLocalMatchingResults;
  std::vector<bestMatchList> topBestMatchesResults;
  std::vector<std::vector<std::string>> distanceMatrix;
  std::vector<std::vector<std::string>> distanceMatrixGlobal;
  mergeChain mergedMotifList;
  mergeChain mergedMotifListGlobalAndLocal;
  mergeChain mergedMotifListBestMatches;
  std::vector<mergeChain> mergedMotifGlobalMatching;
  std::vector<mergeChain> mergedMotifGlobalAndLocalMatching;
  std::vector<mergeChain> mergedMotifBestMatches;
  std::vector<tempArray> tempArrayDouble;
  std::vector<bestMatchList> datasetDatabaseTopResults;

  // Scratch records.
  fileNameAndType InputFiles;
  data Matrices;
  combinedMatrices mergedMatrix;
  tempArray tempArrayDbl;
  commonBestMatches commonBestScoreGlobalList;
  commonBestMatches commonBestScoreList;
  maxScores combinedMaxScores;

  // Outputs: what the run created (later writers reopen exactly those), the open streams, and how
  // long a helper may run before it is stopped (seconds): one logo command; one page's conversion,
  // growing with the page's size; one tree drawing, growing with its distance matrix file's size.
  std::vector<CreatedOutput> createdOutputs;
  std::vector<OpenOutput> openOutputs;
  std::int32_t logoTimeLimit = 60;
  std::int32_t pdfTimeLimit = 600;  // and per started MiB of the page:
  std::int32_t pdfTimeLimitPerMiB = 60;
  std::int32_t treeTimeLimit = 300;  // and per started MiB of the CSV file:
  std::int32_t treeTimeLimitPerMiB = 10;
};

// The state of the running program.
extern RunState runState;

// Settings, counters and run timer.
extern double& maxScore;
extern std::int32_t& overlap;
extern std::int64_t& matrixIDNum;
extern std::int64_t& mNum;
extern std::int32_t& dNum;
extern std::string& numFileInput;
extern std::int32_t& numFile;
extern std::string& numTopMotifInput;
extern std::int32_t& numTopMotif;
extern std::string& numBestMatchesInput;
extern std::int32_t& numBestMatches;
extern std::string& simCutoffInput;
extern double& simCutoff;
extern std::string& numThreadInput;
extern std::int32_t& numThread;
extern std::int32_t& maxThreadsAvailable;
extern std::string& inputPath;
extern std::string& inputFilename;
extern std::string& inputFileFormat;
extern std::int32_t& inputFileFormatNum;
extern std::string& DBNameInput;
extern std::string& DBName;
extern std::string& motifCluster;
extern std::string& combinedMotifFlag;
extern std::string& outputFileType;
extern std::string& outputFileFormat;
extern std::string& outputPath;
extern std::string& jobID;
extern double& start;
extern double& stop;
extern double& wtime;
extern std::int32_t& motifNameLength;
extern double& maxSumScoreCompare;
extern std::int32_t& fileNameIncrement;
extern std::string& strInputPath;
extern std::string& jasparDB;
extern std::string& transfacDB;
extern std::string& uniprobeDB;

// Report names (start as the default names), full paths and streams.
extern std::string& outputFile;
extern std::string& outputFileLocation;
extern std::ofstream& myfile;
extern std::string& outputFileWithoutMotif;
extern std::string& outputFileWithoutMotifLocation;
extern std::ofstream& myfileWithoutMotif;
extern std::string& outputGlobalMatchingFile;
extern std::string& outputFileGlobalMatchingLocation;
extern std::ofstream& myGlobalMatchingFile;
extern std::string& outputHTMLFile;
extern std::string& outputHTMLFileLocation;
extern std::ofstream& myHTMLFile;
extern std::string& outputHTMLGlobalMatchingFile;
extern std::string& outputHTMLGlobalMatchingFileLocation;
extern std::ofstream& myHTMLGlobalMatchingFile;
extern std::string& outputDatabaseMatchingFile;
extern std::string& outputDatabaseMatchingFileLocation;
extern std::ofstream& myDatabaseMatchingFile;
extern std::string& outputDatabaseMatchingFileWithoutMotif;
extern std::string& outputDatabaseMatchingFileWithoutMotifLocation;
extern std::ofstream& myDatabaseMatchingFileWithoutMotif;
extern std::string& outputDatabaseMatchingHTMLFile;
extern std::string& outputDatabaseMatchingHTMLFileLocation;
extern std::ofstream& myDatabaseMatchingHTMLFile;
extern std::string& outputDatabaseMatchingGlobalMatchingFile;
extern std::string& outputDatabaseMatchingGlobalMatchingFileLocation;
extern std::ofstream& myDatabaseMatchingGlobalMatchingFile;
extern std::string& outputDatabaseMatchingGlobalMatchingHTMLFile;
extern std::string& outputDatabaseMatchingGlobalMatchingHTMLFileLocation;
extern std::ofstream& myDatabaseMatchingGlobalMatchingHTMLFile;
extern std::string& outputCombinedMatrixGlobalFile;
extern std::string& outputCombinedMatrixGlobalFileLocation;
extern std::ofstream& myCombinedMatrixGlobalFile;
extern std::string& outputCombinedMatrixGlobalAndLocalFile;
extern std::string& outputCombinedMatrixGlobalAndLocalFileLocation;
extern std::ofstream& myCombinedMatrixGlobalAndLocalFile;
extern std::string& outputCombinedMatrixBestMatchesFile;
extern std::string& outputCombinedMatrixBestMatchesFileLocation;
extern std::ofstream& myCombinedMatrixBestMatchesFile;
extern std::string& outputMotifTreeHTMLFile;
extern std::string& outputMotifTreeHTMLFileLocation;
extern std::ofstream& myMotifTreeFile;
extern std::string& outputMotifTreeGlobalHTMLFile;
extern std::string& outputMotifTreeGlobalHTMLFileLocation;
extern std::ofstream& myMotifTreeGlobalMatchingFile;

// Motifs, input files, alignments, selections and merges.
extern std::vector<fileNameAndType>& FileNameType;
extern std::vector<data>& Datasets;
extern std::vector<data>& DatabaseDatasets;
extern std::vector<dataCombinedScore>& DatasetsCombinedScoreLists;
extern std::vector<dataCombinedScore>& DatasetsCombinedScoreDatabaseLists;
extern std::vector<dataCombinedScore>& DatasetsCombinedScoreDatabaseGlobalLists;
extern std::vector<maxScores>& maxScoresList;
extern std::vector<maxScores>& maxScoresDatabaseList;
extern std::vector<maxScores>& maxScoresDatabaseGlobalList;
extern std::vector<commonBestMatches>& globalMatchingScoreResultList;
extern std::vector<commonBestMatches>& commonBestScoreResultList;
extern std::vector<bestMatchList>& topGlobalMatchingResults;
extern std::vector<bestMatchList>& topGlobalAndLocalMatchingResults;
extern std::vector<bestMatchList>& topBestMatchesResults;
extern std::vector<std::vector<std::string>>& distanceMatrix;
extern std::vector<std::vector<std::string>>& distanceMatrixGlobal;
extern mergeChain& mergedMotifList;
extern mergeChain& mergedMotifListGlobalAndLocal;
extern mergeChain& mergedMotifListBestMatches;
extern std::vector<mergeChain>& mergedMotifGlobalMatching;
extern std::vector<mergeChain>& mergedMotifGlobalAndLocalMatching;
extern std::vector<mergeChain>& mergedMotifBestMatches;
extern std::vector<tempArray>& tempArrayDouble;
extern std::vector<bestMatchList>& datasetDatabaseTopResults;

// Scratch records.
extern fileNameAndType& InputFiles;
extern data& Matrices;
extern combinedMatrices& mergedMatrix;
extern tempArray& tempArrayDbl;
extern commonBestMatches& commonBestScoreGlobalList;
extern commonBestMatches& commonBestScoreList;
extern maxScores& combinedMaxScores;

// Outputs.
extern std::vector<CreatedOutput>& createdOutputs;
extern std::vector<OpenOutput>& openOutputs;
extern std::int32_t& logoTimeLimit;
extern std::int32_t& pdfTimeLimit;
extern std::int32_t& pdfTimeLimitPerMiB;
extern std::int32_t& treeTimeLimit;
extern std::int32_t& treeTimeLimitPerMiB;

// Puts every variable above back to its start value and closes every report stream, so a test can
// start a run from scratch.
void resetGlobals();

}  // namespace korvelan
