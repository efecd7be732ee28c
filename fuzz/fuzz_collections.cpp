// The three collection loaders: the fuzz input is the collection file of one JASPAR set, the TRANSFAC
// file and one UniPROBE set (chosen by the input's length), each loaded as a run loads it.
#include <unistd.h>

#include "core/collections.h"
#include "fuzz_support.h"
#include "input/input.h"

using namespace korvelan;

namespace {
std::vector<const Collection*> family(CollectionFamily wanted) {
  std::vector<const Collection*> members;
  for (const Collection& collection : collections())
    if (collection.family == wanted) members.push_back(&collection);
  return members;
}

void load(const Collection& collection, void (*loader)(), const std::uint8_t* bytes, std::size_t size) {
  const std::string path = fuzzing::scratch() + collection.path;  // the table's paths begin with "/"
  fuzzing::fs::create_directories(fuzzing::fs::path(path).parent_path());
  fuzzing::writeBytes(path, bytes, size);
  resetGlobals();
  DBName = collection.key;
  try {
    loader();
    fuzzing::checkMotifs(DatabaseDatasets);
    for (std::size_t k = 0; k < DatabaseDatasets.size(); ++k)
      if (DatabaseDatasets[k].motifID != static_cast<std::int64_t>(k + 1)) std::abort();
  } catch (const RunEnded&) {
    // A line over the limit ends the run, as it should.
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  // The loaders look under the working directory; the fuzzer's own paths may be relative to ours.
  static const std::string home = getCurrentDirectory();
  if (chdir(fuzzing::scratch().c_str()) != 0) std::abort();
  fuzzing::quietConsole();
  static const auto jaspar = family(CollectionFamily::Jaspar);
  static const auto transfac = family(CollectionFamily::Transfac);
  static const auto uniprobe = family(CollectionFamily::Uniprobe);
  load(*jaspar[size % jaspar.size()], readJasparDatabase, bytes, size);
  load(*transfac[0], readTransfacDatabase, bytes, size);
  load(*uniprobe[size % uniprobe.size()], readUniprobeDatabase, bytes, size);
  if (chdir(home.c_str()) != 0) std::abort();
  return 0;
}
