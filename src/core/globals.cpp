#include "core/globals.h"

#include "core/report_files.h"

namespace korvelan {

namespace {
// The start values: the member initialisers, and the default report names of the report table.
RunState startState() {
  RunState state;
  for (const ReportFile& report : reportFiles())
    state.reports[static_cast<std::size_t>(report.id)].name = report.defaultName;
  return state;
}
}  // namespace

RunState runState = startState();

double& maxScore = runState.maxScore;
std::int32_t& overlap = runState.overlap;
std::int64_t& matrixIDNum = runState.matrixIDNum;
std::int64_t& mNum = runState.mNum;
std::int32_t& dNum = runState.dNum;
std::int32_t& numFile = runState.numFile;
std::int32_t& numTopMotif = runState.numTopMotif;
std::int32_t& numBestMatches = runState.numBestMatches;
std::string& simCutoffInput = runState.simCutoffInput;
double& simCutoff = runState.simCutoff;
std::string& numThreadInput = runState.numThreadInput;
std::int32_t& numThread = runState.numThread;
std::int32_t& maxThreadsAvailable = runState.maxThreadsAvailable;
std::string& inputPath = runState.inputPath;
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
std::string& jasparDB = runState.jasparDB;
std::string& transfacDB = runState.transfacDB;
std::string& uniprobeDB = runState.uniprobeDB;
std::vector<fileNameAndType>& FileNameType = runState.FileNameType;
std::vector<data>& Datasets = runState.Datasets;
std::vector<data>& DatabaseDatasets = runState.DatabaseDatasets;
selectedMatches& datasetMatches = runState.datasetMatches;
selectedMatches& databaseMatches = runState.databaseMatches;
selectedMatches& databaseGlobalMatches = runState.databaseGlobalMatches;
std::vector<maxScores>& maxScoresList = runState.maxScoresList;
std::vector<maxScores>& maxScoresDatabaseList = runState.maxScoresDatabaseList;
std::vector<maxScores>& maxScoresDatabaseGlobalList = runState.maxScoresDatabaseGlobalList;
std::vector<commonBestMatches>& globalMatchingScoreResultList = runState.globalMatchingScoreResultList;
std::vector<commonBestMatches>& commonBestScoreResultList = runState.commonBestScoreResultList;
std::vector<bestMatchList>& topGlobalMatchingResults = runState.topGlobalMatchingResults;
std::vector<bestMatchList>& topGlobalAndLocalMatchingResults = runState.topGlobalAndLocalMatchingResults;
std::vector<bestMatchList>& topBestMatchesResults = runState.topBestMatchesResults;
distanceTable& distanceMatrix = runState.distanceMatrix;
distanceTable& distanceMatrixGlobal = runState.distanceMatrixGlobal;
mergeChain& mergedMotifList = runState.mergedMotifList;
mergeChain& mergedMotifListGlobalAndLocal = runState.mergedMotifListGlobalAndLocal;
mergeChain& mergedMotifListBestMatches = runState.mergedMotifListBestMatches;
std::vector<mergeChain>& mergedMotifGlobalMatching = runState.mergedMotifGlobalMatching;
std::vector<mergeChain>& mergedMotifGlobalAndLocalMatching = runState.mergedMotifGlobalAndLocalMatching;
std::vector<mergeChain>& mergedMotifBestMatches = runState.mergedMotifBestMatches;
fileNameAndType& InputFiles = runState.InputFiles;
combinedMatrices& mergedMatrix = runState.mergedMatrix;
commonBestMatches& commonBestScoreGlobalList = runState.commonBestScoreGlobalList;
commonBestMatches& commonBestScoreList = runState.commonBestScoreList;
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
