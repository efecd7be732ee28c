// The motif input reader with the listing: the fuzz input is one to three input files (cut at form
// feeds), read as a run reads them, then listed.
#include "fuzz_support.h"
#include "input/input.h"

using namespace korvelan;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  fuzzing::quietConsole();
  resetGlobals();
  const std::string motifs = fuzzing::scratch() + "motifs/";
  const std::string result = fuzzing::scratch() + "result/";
  fuzzing::fs::create_directories(result);
  fuzzing::writeInputFiles(motifs, bytes, size);
  inputPath = motifs;
  outputPath = result;
  jobID = "J_2026-01-01_1000_";
  try {
    readInput(FileNameType);
    fuzzing::checkMotifs(Datasets);
    std::size_t counted = 0;
    for (const auto& file : FileNameType) counted += static_cast<std::size_t>(file.motifCount);
    if (counted != Datasets.size()) std::abort();
    writeMotifInput();
    printFileNameTypeCount();
    if (fuzzing::fs::file_size(listingPath(jobID)) == 0) std::abort();
  } catch (const RunEnded&) {
    // A line over the limit: the run's own end, not a fault.
  }
  fuzzing::removeFilesIn(result);
  return 0;
}
