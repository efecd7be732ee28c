// Scans, ranking keys, selection and the report sections on whatever the reader gave. The first
// byte of the fuzz input sets the run's answers (cutoff, type, threads, top motifs, a collection);
// the rest is one to three input files (cut at form feeds). With a collection, the input motifs
// themselves stand in for it. The run's own stages run in their own order and write every report the
// answers choose, in text and HTML; what other programs do (logos, PDF) is left out.
#include <omp.h>

#include "core/answers.h"
#include "core/collections.h"
#include "driver/run.h"
#include "fuzz_support.h"
#include "support/answers.h"

using namespace korvelan;

namespace {

const char* const kCutoffs[] = {"0.5", "0.6", "0.7", "0.75", "0.8", "0.85", "0.9"};

// The input motifs, under identifiers of their own, stand in for the chosen collection.
bool inputMotifsAsCollection() {
  if (!databaseChosen()) return false;
  DatabaseDatasets = Datasets;
  for (data& motif : DatabaseDatasets) motif.databaseMotifID = "DB" + std::to_string(motif.motifID);
  return true;
}

const OutsideSteps kStandIns{.drawLogos = [] {},
                             .loadCollection = inputMotifsAsCollection,
                             .drawCollectionLogos = [] {},
                             .convertPage = [](ReportId) {}};

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
  const std::string root = fuzzing::scratch();
  const std::string result = root + "result/";
  fuzzing::fs::create_directories(result);
  fuzzing::writeInputFiles(root + "motifs/", bytes + 1, size - 1);
  testing::Answers chosen;
  for (const fileNameAndType& file : FileNameType) chosen.files.push_back(file.fileName);
  chosen.cutoff = kCutoffs[answers % 7];
  chosen.type = (answers & 8) != 0 ? "All" : "Global-Only";
  chosen.threads = (answers & 16) != 0 ? 2 : 1;
  chosen.topMotifs = 1 + (answers >> 6) * 3;
  chosen.bestMatches = 1 + (answers >> 6);
  chosen.collection = (answers & 32) != 0 ? 1 : kNoCollectionChoice;  // 1: JASPAR, all taxa
  chosen.format = "All";
  testing::applyAnswers(chosen);
  omp_set_num_threads(numThread);
  inputPath = root + "motifs/";
  nameOutputs();
  try {
    runStages(kStandIns);
    checkRecords(datasetMatches.bestMatches, Datasets.size(), Datasets.size(), false);
    checkRecords(datasetMatches.otherFileMatches, Datasets.size(), Datasets.size(), false);
    checkRecords(databaseMatches.bestMatches, Datasets.size(), DatabaseDatasets.size(), true);
    checkRecords(databaseGlobalMatches.bestMatches, Datasets.size(), DatabaseDatasets.size(), true);
  } catch (const RunEnded&) {
    // Fewer than two motifs, or a line over the limit, end the run, as they should.
  }
  fuzzing::removeFilesIn(result);
  return 0;
}
