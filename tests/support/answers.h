// The answers of one dialogue and the settings they leave, for the tests and the fuzz targets alike
// (header only, with nothing of the test framework, since the fuzz targets link no test code).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/collections.h"
#include "core/globals.h"

namespace korvelan::testing {

// The answers of one dialogue, with the defaults the whole-run tests use.
struct Answers {
  std::vector<std::string> files;
  int topMotifs = 5;
  int bestMatches = 3;
  std::string cutoff = "0.75";
  int threads = 2;
  int collection = 14;  // menu number; 14 is none
  std::string tree = "N";
  std::string combine = "N";
  std::string type = "All";
  std::string format = "Text";
};

// Sets what the dialogue leaves for these answers, without running it: numFile and one FileNameType
// entry per file (format 4, no motif counted yet), the two counts, the cutoff, numThread, the
// collection's key, the tree and combine answers, the output type and format. The OpenMP thread
// count stays as it is.
inline void applyAnswers(const Answers& a) {
  FileNameType.clear();
  for (std::size_t i = 0; i < a.files.size(); ++i)
    FileNameType.push_back(fileNameAndType{a.files[i], 4, 0, static_cast<std::int32_t>(i) + 1});
  numFile = static_cast<std::int32_t>(a.files.size());
  numTopMotif = a.topMotifs;
  numBestMatches = a.bestMatches;
  simCutoff = std::stod(a.cutoff);
  numThread = a.threads;
  DBName = kNoCollectionKey;
  for (const Collection& collection : collections())
    if (collection.menuNumber == a.collection) DBName = collection.key;
  motifCluster = a.tree;
  combinedMotifFlag = a.combine;
  outputFileType = a.type;
  outputFileFormat = a.format;
}

}  // namespace korvelan::testing
