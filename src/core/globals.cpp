#include "core/globals.h"

#include "core/report_files.h"

namespace korvelan {

namespace {
// The start values: the member initialisers, and the default report names of the report table.
RunState startState() {
  RunState state;
  for (const ReportFile& report : reportFiles()) state.*report.name = report.defaultName;
  return state;
}
}  // namespace

RunState runState = startState();

double& maxScore = runState.maxScore;
std::int32_t& overlap = runState.overlap;
std::int64_t& matrixIDNum = runState.matrixIDNum;
std::int64_t& mNum = runState.mNum;
std::int32_t& dNum = runState.dNum;
std::string& numFileInput = runState.numFileInput;
std::int32_t& numFile = runState.numFile;
std::string& numTopMotifInput = runState.numTopMotifInput;
std::int32_t& numTopMotif = runState.numTopMotif;
std::string& numBestMatchesInput = runState.numBestMatchesInput;
std::int32_t& numBestMatches = runState.numBestMatches;
std::string& simCutoffInput = runState.simCutoffInput;
double& simCutoff = runState.simCutoff;
std::string& numThreadInput = runState.numThreadInput;
std::int32_t& numThread = runState.numThread;
std::int32_t& maxThreadsAvailable = runState.maxThreadsAvailable;
std::string& inputPath = runState.inputPath;
std::string& inputFilename = runState.inputFilename;
std::string& inputFileFormat = runState.inputFileFormat;
std::int32_t& inputFileFormatNum = runState.inputFileFormatNum;
std::string& DBNameInput = runState.DBNameInput;
std::string& DBName = runState.DBName;
std::string& motifCluster = runState.motifCluster;
std::string& combinedMotifFlag = runState.combinedMotifFlag;
std::string& outputFileType = runState.outputFileType;
std::string& outputFileFormat = runState.outputFileFormat;
std::string& outputPath = runState.outputPath;
std::string& jobID = runState.jobID;
double& start = runState.start;
double& stop = runState.stop;
double& wtime = runState.wtime;
std::int32_t& motifNameLength = runState.motifNameLength;
double& maxSumScoreCompare = runState.maxSumScoreCompare;
std::int32_t& fileNameIncrement = runState.fileNameIncrement;
std::string& strInputPath = runState.strInputPath;
std::string& jasparDB = runState.jasparDB;
std::string& transfacDB = runState.transfacDB;
std::string& uniprobeDB = runState.uniprobeDB;
std::string& outputFile = runState.outputFile;
std::string& outputFileLocation = runState.outputFileLocation;
std::ofstream& myfile = runState.myfile;
std::string& outputFileWithoutMotif = runState.outputFileWithoutMotif;
std::string& outputFileWithoutMotifLocation = runState.outputFileWithoutMotifLocation;
std::ofstream& myfileWithoutMotif = runState.myfileWithoutMotif;
std::string& outputGlobalMatchingFile = runState.outputGlobalMatchingFile;
std::string& outputFileGlobalMatchingLocation = runState.outputFileGlobalMatchingLocation;
std::ofstream& myGlobalMatchingFile = runState.myGlobalMatchingFile;
std::string& outputHTMLFile = runState.outputHTMLFile;
std::string& outputHTMLFileLocation = runState.outputHTMLFileLocation;
std::ofstream& myHTMLFile = runState.myHTMLFile;
std::string& outputHTMLGlobalMatchingFile = runState.outputHTMLGlobalMatchingFile;
std::string& outputHTMLGlobalMatchingFileLocation = runState.outputHTMLGlobalMatchingFileLocation;
std::ofstream& myHTMLGlobalMatchingFile = runState.myHTMLGlobalMatchingFile;
std::string& outputDatabaseMatchingFile = runState.outputDatabaseMatchingFile;
std::string& outputDatabaseMatchingFileLocation = runState.outputDatabaseMatchingFileLocation;
std::ofstream& myDatabaseMatchingFile = runState.myDatabaseMatchingFile;
std::string& outputDatabaseMatchingFileWithoutMotif = runState.outputDatabaseMatchingFileWithoutMotif;
std::string& outputDatabaseMatchingFileWithoutMotifLocation =
    runState.outputDatabaseMatchingFileWithoutMotifLocation;
std::ofstream& myDatabaseMatchingFileWithoutMotif = runState.myDatabaseMatchingFileWithoutMotif;
std::string& outputDatabaseMatchingHTMLFile = runState.outputDatabaseMatchingHTMLFile;
std::string& outputDatabaseMatchingHTMLFileLocation = runState.outputDatabaseMatchingHTMLFileLocation;
std::ofstream& myDatabaseMatchingHTMLFile = runState.myDatabaseMatchingHTMLFile;
std::string& outputDatabaseMatchingGlobalMatchingFile = runState.outputDatabaseMatchingGlobalMatchingFile;
std::string& outputDatabaseMatchingGlobalMatchingFileLocation =
    runState.outputDatabaseMatchingGlobalMatchingFileLocation;
std::ofstream& myDatabaseMatchingGlobalMatchingFile = runState.myDatabaseMatchingGlobalMatchingFile;
std::string& outputDatabaseMatchingGlobalMatchingHTMLFile =
    runState.outputDatabaseMatchingGlobalMatchingHTMLFile;
std::string& outputDatabaseMatchingGlobalMatchingHTMLFileLocation =
    runState.outputDatabaseMatchingGlobalMatchingHTMLFileLocation;
std::ofstream& myDatabaseMatchingGlobalMatchingHTMLFile = runState.myDatabaseMatchingGlobalMatchingHTMLFile;
std::string& outputCombinedMatrixGlobalFile = runState.outputCombinedMatrixGlobalFile;
std::string& outputCombinedMatrixGlobalFileLocation = runState.outputCombinedMatrixGlobalFileLocation;
std::ofstream& myCombinedMatrixGlobalFile = runState.myCombinedMatrixGlobalFile;
std::string& outputCombinedMatrixGlobalAndLocalFile = runState.outputCombinedMatrixGlobalAndLocalFile;
std::string& outputCombinedMatrixGlobalAndLocalFileLocation =
    runState.outputCombinedMatrixGlobalAndLocalFileLocation;
std::ofstream& myCombinedMatrixGlobalAndLocalFile = runState.myCombinedMatrixGlobalAndLocalFile;
std::string& outputCombinedMatrixBestMatchesFile = runState.outputCombinedMatrixBestMatchesFile;
std::string& outputCombinedMatrixBestMatchesFileLocation =
    runState.outputCombinedMatrixBestMatchesFileLocation;
std::ofstream& myCombinedMatrixBestMatchesFile = runState.myCombinedMatrixBestMatchesFile;
std::string& outputMotifTreeHTMLFile = runState.outputMotifTreeHTMLFile;
std::string& outputMotifTreeHTMLFileLocation = runState.outputMotifTreeHTMLFileLocation;
std::ofstream& myMotifTreeFile = runState.myMotifTreeFile;
std::string& outputMotifTreeGlobalHTMLFile = runState.outputMotifTreeGlobalHTMLFile;
std::string& outputMotifTreeGlobalHTMLFileLocation = runState.outputMotifTreeGlobalHTMLFileLocation;
std::ofstream& myMotifTreeGlobalMatchingFile = runState.myMotifTreeGlobalMatchingFile;
std::vector<fileNameAndType>& FileNameType = runState.FileNameType;
std::vector<data>& Datasets = runState.Datasets;
std::vector<data>& DatabaseDatasets = runState.DatabaseDatasets;
std::vector<dataCombinedScore>& DatasetsCombinedScoreLists = runState.DatasetsCombinedScoreLists;
std::vector<dataCombinedScore>& DatasetsCombinedScoreDatabaseLists =
    runState.DatasetsCombinedScoreDatabaseLists;
std::vector<dataCombinedScore>& DatasetsCombinedScoreDatabaseGlobalLists =
    runState.DatasetsCombinedScoreDatabaseGlobalLists;
std::vector<maxScores>& maxScoresList = runState.maxScoresList;
std::vector<maxScores>& maxScoresDatabaseList = runState.maxScoresDatabaseList;
std::vector<maxScores>& maxScoresDatabaseGlobalList = runState.maxScoresDatabaseGlobalList;
std::vector<commonBestMatches>& globalMatchingScoreResultList = runState.globalMatchingScoreResultList;
std::vector<commonBestMatches>& commonBestScoreResultList = runState.commonBestScoreResultList;
std::vector<bestMatchList>& topGlobalMatchingResults = runState.topGlobalMatchingResults;
std::vector<bestMatchList>& topGlobalAndLocalMatchingResults = runState.topGlobalAndLocalMatchingResults;
std::vector<bestMatchList>& topBestMatchesResults = runState.topBestMatchesResults;
std::vector<std::vector<std::string>>& distanceMatrix = runState.distanceMatrix;
std::vector<std::vector<std::string>>& distanceMatrixGlobal = runState.distanceMatrixGlobal;
mergeChain& mergedMotifList = runState.mergedMotifList;
mergeChain& mergedMotifListGlobalAndLocal = runState.mergedMotifListGlobalAndLocal;
mergeChain& mergedMotifListBestMatches = runState.mergedMotifListBestMatches;
std::vector<mergeChain>& mergedMotifGlobalMatching = runState.mergedMotifGlobalMatching;
std::vector<mergeChain>& mergedMotifGlobalAndLocalMatching = runState.mergedMotifGlobalAndLocalMatching;
std::vector<mergeChain>& mergedMotifBestMatches = runState.mergedMotifBestMatches;
std::vector<tempArray>& tempArrayDouble = runState.tempArrayDouble;
std::vector<bestMatchList>& datasetDatabaseTopResults = runState.datasetDatabaseTopResults;
fileNameAndType& InputFiles = runState.InputFiles;
data& Matrices = runState.Matrices;
combinedMatrices& mergedMatrix = runState.mergedMatrix;
tempArray& tempArrayDbl = runState.tempArrayDbl;
commonBestMatches& commonBestScoreGlobalList = runState.commonBestScoreGlobalList;
commonBestMatches& commonBestScoreList = runState.commonBestScoreList;
maxScores& combinedMaxScores = runState.combinedMaxScores;
std::vector<CreatedOutput>& createdOutputs = runState.createdOutputs;
std::vector<OpenOutput>& openOutputs = runState.openOutputs;
std::int32_t& logoTimeLimit = runState.logoTimeLimit;
std::int32_t& pdfTimeLimit = runState.pdfTimeLimit;
std::int32_t& pdfTimeLimitPerMiB = runState.pdfTimeLimitPerMiB;
std::int32_t& treeTimeLimit = runState.treeTimeLimit;
std::int32_t& treeTimeLimitPerMiB = runState.treeTimeLimitPerMiB;

void resetGlobals() {
  runState = startState();
}

}  // namespace korvelan
