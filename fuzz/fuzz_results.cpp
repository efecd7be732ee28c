// Scans, ranking keys, selection and the report sections on whatever the reader gave. The first
// byte of the fuzz input sets the run's answers (cutoff, type, threads, top motifs, a collection);
// the rest is one to three input files (cut at form feeds). With a collection, the input motifs
// themselves stand in for it. Every chosen report is framed and filled as a run does it, in text
// and HTML (logos are not drawn: they are another program's work).
#include <omp.h>

#include "core/answers.h"
#include "driver/run.h"
#include "fuzz_support.h"
#include "input/input.h"
#include "reports/framing.h"
#include "results/results.h"
#include "scan/scan.h"

using namespace korvelan;

namespace {

struct Frame {
  void (*header)();
  void (*footer)();
  bool database;
  bool allType;
  bool text;
};

const Frame kFrames[] = {
    {writeHeaderGlobalText, writeFooterGlobalText, false, false, true},
    {writeHeaderGlobalTextDatabaseMatch, writeFooterGlobalTextDatabaseMatch, true, false, true},
    {writeHeaderGlobalHTMLOrPDF, writeFooterGlobalHTMLOrPDF, false, false, false},
    {writeHeaderGlobalHTMLOrPDFDatabaseMatch, writeFooterGlobalHTMLOrPDFDatabaseMatch, true, false, false},
    {writeHeaderText, writeFooterText, false, true, true},
    {writeHeaderTextWithoutMotif, writeFooterTextWithoutMotif, false, true, true},
    {writeHeaderHTMLOrPDF, writeFooterHTMLOrPDF, false, true, false},
    {writeHeaderTextDatabaseMatch, writeFooterTextDatabaseMatch, true, true, true},
    {writeHeaderTextWithoutMotifDatabaseMatch, writeFooterTextWithoutMotifDatabaseMatch, true, true, true},
    {writeHeaderHTMLOrPDFDatabaseMatch, writeFooterHTMLOrPDFDatabaseMatch, true, true, false},
};

bool chosen(const Frame& frame) {
  return (!frame.database || databaseChosen()) && (!frame.allType || typeAll()) &&
         (frame.text ? textWanted() : pagesWanted());
}

// Every record the selection kept, in each motif's list.
void checkRecords(const std::vector<bestMatchList>& lists, std::size_t firstCount, std::size_t secondCount,
                  bool database) {
  for (const bestMatchList& list : lists)
    for (const dataCombinedScore& r : list) {
      const bool inputFirst = !database || r.scanOrderFlag == "Y";
      const std::size_t firstLimit = inputFirst ? firstCount : secondCount;
      const std::size_t secondLimit = inputFirst ? secondCount : firstCount;
      if (r.firstMotifID < 1 || static_cast<std::size_t>(r.firstMotifID) > firstLimit) std::abort();
      if (r.secondMotifID < 1 || static_cast<std::size_t>(r.secondMotifID) > secondLimit) std::abort();
      if (!std::isfinite(r.rawScore) || !std::isfinite(r.similarityScore) || r.similarityScore < 0)
        std::abort();
      if (r.numOverlap < 4 || r.position < 1) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  if (size == 0) return 0;
  fuzzing::quietConsole();
  resetGlobals();
  const std::uint8_t answers = bytes[0];
  const double cutoffs[] = {0.5, 0.6, 0.7, 0.75, 0.8, 0.85, 0.9};
  const std::string root = fuzzing::scratch();
  const std::string result = root + "result/";
  fuzzing::fs::create_directories(result);
  fuzzing::writeInputFiles(root + "motifs/", bytes + 1, size - 1);
  numFile = static_cast<std::int32_t>(FileNameType.size());
  simCutoff = cutoffs[answers % 7];
  outputFileType = (answers & 8) != 0 ? "All" : "Global-Only";
  numThread = (answers & 16) != 0 ? 2 : 1;
  omp_set_num_threads(numThread);
  numTopMotif = 1 + (answers >> 6) * 3;
  numBestMatches = 1 + (answers >> 6);
  DBName = (answers & 32) != 0 ? "jasparAll" : "N";
  motifCluster = "N";
  combinedMotifFlag = "N";
  outputFileFormat = "All";
  inputPath = root + "motifs/";
  nameOutputs();
  try {
    readInput(FileNameType);
    if (Datasets.size() >= 2) {
      forwardScan();
      backwardScan();
      getMaxScores();
      calculateSumScoresCompare();
      checkRecords(datasetMatches.bestMatches, Datasets.size(), Datasets.size(), false);
      checkRecords(datasetMatches.otherFileMatches, Datasets.size(), Datasets.size(), false);
      for (const Frame& frame : kFrames)
        if (chosen(frame)) frame.header();
      getResultsList();
      if (databaseChosen()) {
        DatabaseDatasets = Datasets;
        for (data& motif : DatabaseDatasets) motif.databaseMotifID = "DB" + std::to_string(motif.motifID);
        if (typeAll()) {
          forwardScanDatabase();
          backwardScanDatabase();
          getMaxScoresDatabase();
          calculateSumScoresCompareDatabase();
          checkRecords(databaseMatches.bestMatches, Datasets.size(), DatabaseDatasets.size(), true);
          getDatabaseResultsList();
        }
        forwardScanDatabaseGlobal();
        backwardScanDatabaseGlobal();
        getMaxScoresDatabaseGlobal();
        calculateSumScoresCompareDatabaseGlobal();
        getDatabaseGlobalResultsList();
      }
      for (const Frame& frame : kFrames)
        if (chosen(frame)) frame.footer();
    }
  } catch (const RunEnded&) {
    // A line over the limit ends the run, as it should.
  }
  fuzzing::removeFilesIn(result);
  return 0;
}
