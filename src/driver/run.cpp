#include "driver/run.h"

#include <omp.h>
#include <sys/stat.h>

#include <cstdlib>
#include <ctime>
#include <iostream>
#include <vector>

#include "driver/globals.h"
#include "driver/utilities.h"
#include "input/input.h"
#include "merge/merge.h"
#include "reports/framing.h"
#include "results/results.h"
#include "scan/scan.h"
#include "tree/tree.h"

namespace korvelan {

namespace {

bool fileExists(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0;
}

bool pagesWanted() { return outputFileFormat != "Text"; }
bool textWanted() { return outputFileFormat == "Text" || outputFileFormat == "All"; }
bool pdfWanted() { return outputFileFormat == "PDF" || outputFileFormat == "All"; }
bool typeAll() { return outputFileType == "All"; }

// A report's header and its footer twin.
struct Frame {
  void (*header)();
  void (*footer)();
};

// The reports this run's type, format, database, combine and tree answers call for, in the order
// their headers are written (and, later, their footers).
std::vector<Frame> chosenFrames() {
  const bool db = databaseChosen();
  std::vector<Frame> frames;
  if (textWanted()) {
    frames.push_back({writeHeaderGlobalText, writeFooterGlobalText});
    if (db) frames.push_back({writeHeaderGlobalTextDatabaseMatch, writeFooterGlobalTextDatabaseMatch});
  }
  if (pagesWanted()) {
    frames.push_back({writeHeaderGlobalHTMLOrPDF, writeFooterGlobalHTMLOrPDF});
    if (db) frames.push_back({writeHeaderGlobalHTMLOrPDFDatabaseMatch, writeFooterGlobalHTMLOrPDFDatabaseMatch});
  }
  if (typeAll()) {
    if (textWanted()) {
      frames.push_back({writeHeaderText, writeFooterText});
      frames.push_back({writeHeaderTextWithoutMotif, writeFooterTextWithoutMotif});
    }
    if (pagesWanted()) frames.push_back({writeHeaderHTMLOrPDF, writeFooterHTMLOrPDF});
    if (db) {
      if (textWanted()) {
        frames.push_back({writeHeaderTextDatabaseMatch, writeFooterTextDatabaseMatch});
        frames.push_back({writeHeaderTextWithoutMotifDatabaseMatch, writeFooterTextWithoutMotifDatabaseMatch});
      }
      if (pagesWanted()) frames.push_back({writeHeaderHTMLOrPDFDatabaseMatch, writeFooterHTMLOrPDFDatabaseMatch});
    }
  }
  if (combinedMotifFlag == "Y") {
    frames.push_back({writeHeaderCombinedMatrixGlobal, writeFooterCombinedMatrixGlobal});
    if (typeAll()) {
      frames.push_back({writeHeaderCombinedMatrixGlobalAndLocal, writeFooterCombinedMatrixGlobalAndLocal});
      frames.push_back({writeHeaderCombinedMatrixBestMatches, writeFooterCombinedMatrixBestMatches});
    }
  }
  if (motifCluster == "Y" && pagesWanted()) {
    frames.push_back({writeHeaderMotifTreeGlobalHTMLOrPDF, writeFooterMotifTreeGlobalHTMLOrPDF});
    if (typeAll()) frames.push_back({writeHeaderMotifTreeHTMLOrPDF, writeFooterMotifTreeHTMLOrPDF});
  }
  return frames;
}

void drawTrees() {
  if (motifCluster != "Y") return;
  if (numFile > 1) {
    getMotifClusterGlobal();
    if (pagesWanted()) writeMotifTreeGlobalHTMLOrPDF();
  }
  if (!typeAll()) return;
  getMotifCluster();
  if (pagesWanted()) {
    if (numFile == 1) writeMotifTreeGlobalHTMLOrPDF();  // its one-file note
    writeMotifTreeHTMLOrPDF();
  }
}

void mergeGroups(const std::vector<bestMatchList>& groups, void (*driver)(bestMatchList)) {
  for (const auto& group : groups)
    if (!group.empty()) driver(group);
}

void combineMotifs() {
  if (combinedMotifFlag != "Y") return;
  if (!typeAll()) {
    mergeGroups(topGlobalMatchingResults, combinedMatrixGlobalMatching);
    WriteCombinedMotifsGlobal();
    return;
  }
  if (!topGlobalMatchingResults.empty()) {
    mergeGroups(topGlobalMatchingResults, combinedMatrixGlobalMatching);
    WriteCombinedMotifsGlobal();
  }
  if (!topGlobalAndLocalMatchingResults.empty()) {
    mergeGroups(topGlobalAndLocalMatchingResults, combinedMatrixGlobalAndLocalMatching);
    WriteCombinedMotifsGlobalAndLocal();
  }
  if (!topBestMatchesResults.empty()) {
    mergeGroups(topBestMatchesResults, combinedMatrixBestMatches);
    WriteCombinedMotifsBestMatches();
  }
}

bool isJasparKey(const std::string& key) {
  for (const char* k : {"jasparAll", "jasparFungi", "jasparInsects", "jasparNematodes", "jasparPlants",
                        "jasparUrochordates", "jasparVertebrates"})
    if (key == k) return true;
  return false;
}

bool isUniprobeKey(const std::string& key) {
  for (const char* k : {"uniprobeHuman", "uniprobeMouse", "uniprobeParasite", "uniprobeWorm", "uniprobeYeast"})
    if (key == k) return true;
  return false;
}

void databaseStep() {
  if (DBName == "transfac")
    readTransfacDatabase();
  else if (isJasparKey(DBName))
    readJasparDatabase();
  else if (isUniprobeKey(DBName))
    readUniprobeDatabase();
  else
    return;  // "N": no collection
  if (pagesWanted()) writeDatabaseMotif();
  if (typeAll()) {
    forwardScanDatabase();
    backwardScanDatabase();
    getMaxScoresDatabase();
    calculateSumScoresCompareDatabase();
    getDatabaseResultsList();
  }
  forwardScanDatabaseGlobal();
  backwardScanDatabaseGlobal();
  getMaxScoresDatabaseGlobal();
  calculateSumScoresCompareDatabaseGlobal();
  getDatabaseGlobalResultsList();
}

void convertPages() {
  if (!pdfWanted()) return;
  const bool db = databaseChosen();
  convertHTMLToPDFGlobal();
  if (db) convertHTMLToPDFGlobalDatabaseMatch();
  if (typeAll()) {
    convertHTMLToPDF();
    if (db) convertHTMLToPDFDatabaseMatch();
  }
  if (motifCluster == "Y") {
    convertHTMLToPDFMotifTreeGlobal();
    if (typeAll()) convertHTMLToPDFMotifTree();
  }
}

}  // namespace

bool databaseChosen() { return DBName.size() >= 2; }

std::string makeJobID() {
  const std::string stamp = getCurrDateTimeFormat();
  const std::string date = stamp.substr(0, stamp.find('_'));
  int n = std::rand() % 9000 + 1000;
  std::string id;
  // A number already used by a run in this folder moves on to the next one (9999 wraps to 1000), so
  // the search always ends and never picks a taken number while a free one exists.
  for (int attempt = 0; attempt < 9000; ++attempt) {
    id = "J_" + date + "_" + numberToString(n) + "_";
    if (!fileExists(outputPath + id + "input_motifs.txt")) break;
    n = n == 9999 ? 1000 : n + 1;
  }
  return id;
}

void nameOutputs() {
  outputPath = toolRoot(inputPath) + "result/";
  std::srand(static_cast<unsigned>(std::time(nullptr)));
  jobID = makeJobID();
  struct Report {
    std::string& name;
    std::string& path;
  };
  const Report reports[] = {
      {outputFile, outputFileLocation},
      {outputFileWithoutMotif, outputFileWithoutMotifLocation},
      {outputGlobalMatchingFile, outputFileGlobalMatchingLocation},
      {outputHTMLFile, outputHTMLFileLocation},
      {outputHTMLGlobalMatchingFile, outputHTMLGlobalMatchingFileLocation},
      {outputDatabaseMatchingFile, outputDatabaseMatchingFileLocation},
      {outputDatabaseMatchingFileWithoutMotif, outputDatabaseMatchingFileWithoutMotifLocation},
      {outputDatabaseMatchingHTMLFile, outputDatabaseMatchingHTMLFileLocation},
      {outputDatabaseMatchingGlobalMatchingFile, outputDatabaseMatchingGlobalMatchingFileLocation},
      {outputDatabaseMatchingGlobalMatchingHTMLFile, outputDatabaseMatchingGlobalMatchingHTMLFileLocation},
      {outputCombinedMatrixGlobalFile, outputCombinedMatrixGlobalFileLocation},
      {outputCombinedMatrixGlobalAndLocalFile, outputCombinedMatrixGlobalAndLocalFileLocation},
      {outputCombinedMatrixBestMatchesFile, outputCombinedMatrixBestMatchesFileLocation},
      {outputMotifTreeHTMLFile, outputMotifTreeHTMLFileLocation},
      {outputMotifTreeGlobalHTMLFile, outputMotifTreeGlobalHTMLFileLocation},
  };
  for (const Report& report : reports) {
    report.name = jobID + report.name;
    report.path = outputPath + report.name;
  }
}

int runSequence() {
  nameOutputs();

  start = omp_get_wtime();
  std::cout << std::endl << "Reading input ..." << std::endl;
  readInput(FileNameType);
  if (Datasets.size() < 2) {
    std::cout << "Error: insufficient number of motifs." << std::endl;
    endRun(1);
  }
  writeMotifInput();
  printFileNameTypeCount();
  std::cout << "Processing input ..." << std::endl;
  if (pagesWanted()) writeMotif();

  forwardScan();
  backwardScan();
  getMaxScores();
  calculateSumScoresCompare();

  const std::vector<Frame> frames = chosenFrames();
  for (const Frame& frame : frames) frame.header();

  getResultsList();
  drawTrees();
  combineMotifs();
  databaseStep();

  stop = omp_get_wtime();
  wtime = stop - start;

  for (const Frame& frame : frames) frame.footer();
  convertPages();

  std::cout << "Your output files have been saved in " << outputPath << std::endl;
  std::cout << std::endl;
  std::cout << "Runtime: " << wtime << " seconds." << std::endl;
  return 0;
}

}  // namespace korvelan
