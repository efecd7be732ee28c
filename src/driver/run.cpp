#include "driver/run.h"

#include <omp.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <iostream>
#include <random>
#include <vector>

#include "core/answers.h"
#include "core/collections.h"
#include "core/globals.h"
#include "core/interrupts.h"
#include "core/report_files.h"
#include "core/report_io.h"
#include "core/utilities.h"
#include "driver/result_stages.h"
#include "input/input.h"
#include "merge/merge.h"
#include "reports/framing.h"
#include "reports/pdf.h"
#include "scan/scan.h"
#include "tree/tree.h"

namespace korvelan {

namespace {

// Present in any form, a link pointing nowhere included.
bool nameTaken(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0;
}

// Clock, process and the system's random source: two runs started in one second draw apart.
unsigned runSeed() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  std::seed_seq::result_type device = 0;
  try {
    device = std::random_device{}();
  } catch (const std::exception&) {
    // No random source: clock and process still differ between runs.
  }
  std::seed_seq seq{static_cast<std::seed_seq::result_type>(now.tv_sec),
                    static_cast<std::seed_seq::result_type>(now.tv_nsec),
                    static_cast<std::seed_seq::result_type>(getpid()), device};
  unsigned seed = 0;
  seq.generate(&seed, &seed + 1);
  return seed;
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

bool loadChosenCollection() {
  const Collection* chosen = collectionOf(DBName);
  if (chosen == nullptr) return false;  // "N": no collection
  switch (chosen->family) {
    case CollectionFamily::Transfac: readTransfacDatabase(); break;
    case CollectionFamily::Jaspar: readJasparDatabase(); break;
    case CollectionFamily::Uniprobe: readUniprobeDatabase(); break;
  }
  return true;
}

void databaseStep(const OutsideSteps& steps) {
  if (!steps.loadCollection()) return;
  if (pagesWanted()) steps.drawCollectionLogos();
  if (typeAll()) {
    forwardScanDatabase();
    backwardScanDatabase();
    getMaxScoresDatabase();
    calculateSumScoresCompareDatabase();
    getDatabaseResultsList();
  }
  forwardScanDatabaseGlobal(topGlobalMatchingResults);
  backwardScanDatabaseGlobal(topGlobalMatchingResults);
  getMaxScoresDatabaseGlobal();
  calculateSumScoresCompareDatabaseGlobal(topGlobalMatchingResults);
  getDatabaseGlobalResultsList();
}

// The chosen reports' pages, in table order.
void convertPages(const OutsideSteps& steps, const std::vector<ReportId>& reports) {
  if (!pdfWanted()) return;
  for (ReportId report : reports)
    if (reportFile(report).form == ReportForm::Page) steps.convertPage(report);
}

}  // namespace

std::string makeJobID(bool claim) {
  const std::string stamp = getCurrDateTimeFormat();
  const std::string date = stamp.substr(0, stamp.find('_'));
  std::mt19937 generator(runSeed());
  int n = static_cast<int>(generator() % 9000) + 1000;
  std::string id;
  // A number already used by a run in this folder moves on to the next one (9999 wraps to 1000), so
  // the search always ends and never picks a taken number while a free one exists.
  for (int attempt = 0; attempt < 9000; ++attempt) {
    id = "J_" + date + "_" + numberToString(n) + "_";
    const std::string listing = outputPath + id + "input_motifs.txt";
    if (claim ? claimOutput(listing) || errno != EEXIST : !nameTaken(listing)) break;
    n = n == 9999 ? 1000 : n + 1;
  }
  return id;
}

std::string listingPath() {
  return outputPath + jobID + "input_motifs.txt";
}

void nameOutputs() {
  outputPath = toolRoot(inputPath) + "result/";
  jobID = makeJobID(true);
  for (const ReportFile& report : reportFiles()) {
    std::string& name = reportName(report.id);
    name = jobID + name;
    reportPath(report.id) = outputPath + name;
  }
}

const OutsideSteps& realOutsideSteps() {
  static const OutsideSteps steps{.drawLogos = writeMotif,
                                  .loadCollection = loadChosenCollection,
                                  .drawCollectionLogos = writeDatabaseMotif,
                                  .convertPage = convertPageToPDF};
  return steps;
}

void runStages(const OutsideSteps& steps) {
  const double start = omp_get_wtime();
  std::cout << std::endl << "Reading input ..." << std::endl;
  readInput(FileNameType);
  if (Datasets.size() < 2) {
    std::cout << "Error: insufficient number of motifs." << std::endl;
    endRun(1);
  }
  writeMotifInput();
  printFileNameTypeCount();
  std::cout << "Processing input ..." << std::endl;
  if (pagesWanted()) steps.drawLogos();

  forwardScan();
  backwardScan();
  getMaxScores();
  calculateSumScoresCompare();

  const std::vector<ReportId> reports = chosenReports();
  for (ReportId report : reports) writeReportHeader(report);

  getResultsList();
  drawTrees();
  combineMotifs();
  databaseStep(steps);

  const double stop = omp_get_wtime();
  wtime = stop - start;

  for (ReportId report : reports) writeReportFooter(report);
  convertPages(steps, reports);

  std::cout << "Your output files have been saved in " << outputPath << std::endl;
  std::cout << std::endl;
  std::cout << "Runtime: " << wtime << " seconds." << std::endl;
}

int runSequence() {
  nameOutputs();
  // The helpers' temporary folder and the interrupt handlers, for the rest of the run.
  const HelperScope helpers;
  try {
    runStages(realOutsideSteps());
  } catch (...) {
    // A run that ends before its listing leaves nothing behind, not even its claim.
    removeUnwrittenOutput(listingPath());
    // An interrupt that came while the run was ending for another reason still gives its status.
    if (interruptSignal() != 0) throw RunEnded{128 + interruptSignal()};
    throw;
  }
  return 0;
}

}  // namespace korvelan
