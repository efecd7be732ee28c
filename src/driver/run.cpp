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
#include "reports/combined_motifs.h"
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

// Where an interrupt outside a helper step finds the run, and what the run leaves then. Every report
// is made whole by its footer, which comes after the database step.
constexpr RunStage kReading{"reading the input", "nothing was written."};
constexpr RunStage kListing{"the input listing",
                            "the input listing is removed, or kept cut short if part of it was written, and no "
                            "report was written."};
constexpr RunStage kSummary{"the input summary", "the input listing is kept and no report was written."};
constexpr RunStage kLogos{"the logo stage", "the logo images drawn so far are kept and no report was written."};
constexpr RunStage kScans{"the scans", "the input listing is kept and no report was written."};
constexpr const char* kCutShort = "the reports are cut short (what was written so far, without their footer).";
constexpr RunStage kHeaders{"report writing", kCutShort};
constexpr RunStage kSelection{"the selection and report writing", kCutShort};
constexpr RunStage kTrees{"the tree step", kCutShort};
constexpr RunStage kMerging{"merging", kCutShort};
constexpr RunStage kDatabase{"the database step", kCutShort};
constexpr RunStage kFooters{"report writing", "the reports whose footer was written are whole, the others cut short."};
constexpr RunStage kConversion{"the PDF step", "the text and HTML reports are whole; pages not yet converted have no PDF."};
constexpr RunStage kClosing{"the closing lines", "every report is whole."};

// Both trees are drawn before either tree section is written.
void drawTrees() {
  if (!treesWanted()) return;
  if (severalFiles()) getMotifClusterGlobal();
  if (typeAll()) getMotifCluster();
  if (!pagesWanted()) return;
  if (severalFiles() || typeAll()) writeMotifTreeGlobalHTMLOrPDF();  // with one file, its note
  if (typeAll()) writeMotifTreeHTMLOrPDF();
}

// Each combined-motif list the output type asks for: its groups merged, then its report written. With
// type "All" a list without groups is passed over; with "Global-Only" the one list is written anyway.
void combineMotifs() {
  if (!mergeWanted()) return;
  for (const CombinedList& list : combinedLists()) {
    if (!list.everyType && !typeAll()) continue;
    const std::vector<bestMatchList>& groups = runState.*list.groups;
    if (groups.empty() && typeAll()) continue;
    for (const bestMatchList& group : groups)
      if (!group.empty()) mergeGroup(list, group);
    writeCombinedMotifs(list);
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
    const std::string listing = listingPath(id);
    if (claim ? claimOutput(listing) || errno != EEXIST : !nameTaken(listing)) break;
    n = n == 9999 ? 1000 : n + 1;
  }
  return id;
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
  setRunStage(kReading);
  const double start = omp_get_wtime();
  std::cout << std::endl << "Reading input ..." << std::endl;
  readInput(FileNameType);
  if (Datasets.size() < 2) {
    std::cout << "Error: insufficient number of motifs." << std::endl;
    endRun(1);
  }
  setRunStage(kListing);
  writeMotifInput();
  setRunStage(kSummary);
  printFileNameTypeCount();
  std::cout << "Processing input ..." << std::endl;
  setRunStage(kLogos);
  if (pagesWanted()) steps.drawLogos();

  setRunStage(kScans);
  forwardScan();
  backwardScan();
  getMaxScores();
  calculateSumScoresCompare();

  setRunStage(kHeaders);
  const std::vector<ReportId> reports = chosenReports();
  for (ReportId report : reports) writeReportHeader(report);

  setRunStage(kSelection);
  getResultsList();
  setRunStage(kTrees);
  drawTrees();
  setRunStage(kMerging);
  combineMotifs();
  setRunStage(kDatabase);
  databaseStep(steps);

  const double stop = omp_get_wtime();
  wtime = stop - start;

  setRunStage(kFooters);
  for (ReportId report : reports) writeReportFooter(report);
  setRunStage(kConversion);
  convertPages(steps, reports);

  setRunStage(kClosing);
  std::cout << "Your output files have been saved in " << outputPath << std::endl;
  std::cout << std::endl;
  std::cout << "Runtime: " << wtime << " seconds." << std::endl;
}

int runSequence() {
  // The helpers' temporary folder and the interrupt handlers, for the rest of the run.
  const HelperScope helpers;
  {
    // The claim is made and named to the handler in one go: an interrupt between the two would
    // leave it behind. Holding the signals on this thread holds them for the process only while no
    // other thread exists, as in the program at this point (a test may already have an OpenMP team).
    const SignalsHeld held;
    nameOutputs();
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    if (createdIdentity(listingPath(jobID), device, inode)) setRunClaim(listingPath(jobID), device, inode);
  }
  try {
    runStages(realOutsideSteps());
  } catch (...) {
    // A run that ends before its listing leaves nothing behind, not even its claim (also when
    // memory has run out: the removal needs none).
    removeUnwrittenClaim();
    // An interrupt that came while the run was ending for another reason still gives its status.
    if (interruptSignal() != 0) throw RunEnded{128 + interruptSignal()};
    throw;
  }
  return 0;
}

}  // namespace korvelan
