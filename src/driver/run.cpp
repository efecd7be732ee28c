#include "driver/run.h"

#include <omp.h>
#include <sys/stat.h>

#include <cstdlib>
#include <ctime>
#include <iostream>
#include <vector>

#include "core/answers.h"
#include "core/collections.h"
#include "core/globals.h"
#include "core/report_files.h"
#include "core/utilities.h"
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
  if (mergeWanted()) {
    frames.push_back({writeHeaderCombinedMatrixGlobal, writeFooterCombinedMatrixGlobal});
    if (typeAll()) {
      frames.push_back({writeHeaderCombinedMatrixGlobalAndLocal, writeFooterCombinedMatrixGlobalAndLocal});
      frames.push_back({writeHeaderCombinedMatrixBestMatches, writeFooterCombinedMatrixBestMatches});
    }
  }
  if (treesWanted() && pagesWanted()) {
    frames.push_back({writeHeaderMotifTreeGlobalHTMLOrPDF, writeFooterMotifTreeGlobalHTMLOrPDF});
    if (typeAll()) frames.push_back({writeHeaderMotifTreeHTMLOrPDF, writeFooterMotifTreeHTMLOrPDF});
  }
  return frames;
}

// Both trees are drawn before either tree section is written.
void drawTrees() {
  if (!treesWanted()) return;
  if (severalFiles()) getMotifClusterGlobal();
  if (typeAll()) getMotifCluster();
  if (!pagesWanted()) return;
  if (severalFiles() || typeAll()) writeMotifTreeGlobalHTMLOrPDF();  // with one file, its note
  if (typeAll()) writeMotifTreeHTMLOrPDF();
}

void mergeGroups(const std::vector<bestMatchList>& groups, void (*driver)(bestMatchList)) {
  for (const auto& group : groups)
    if (!group.empty()) driver(group);
}

void combineMotifs() {
  if (!mergeWanted()) return;
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

void databaseStep() {
  const Collection* chosen = collectionOf(DBName);
  if (chosen == nullptr) return;  // "N": no collection
  switch (chosen->family) {
    case CollectionFamily::Transfac: readTransfacDatabase(); break;
    case CollectionFamily::Jaspar: readJasparDatabase(); break;
    case CollectionFamily::Uniprobe: readUniprobeDatabase(); break;
  }
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
  if (treesWanted()) {
    convertHTMLToPDFMotifTreeGlobal();
    if (typeAll()) convertHTMLToPDFMotifTree();
  }
}

}  // namespace

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
  for (const ReportFile& report : reportFiles()) {
    std::string& name = runState.*report.name;
    name = jobID + name;
    runState.*report.path = outputPath + name;
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
