#include <utility>

#include "core/collections.h"
#include "core/globals.h"
#include "core/utilities.h"
#include "input/collection_readers.h"
#include "input/input.h"
#include "input/readers.h"

namespace korvelan {

namespace {
// The path of DBName's collection below the working directory when it is of this family; empty, a
// path no loader can read, for a key of another family.
std::string chosenPath(CollectionFamily family) {
  const Collection* chosen = collectionOf(DBName);
  if (chosen == nullptr || chosen->family != family) return {};
  return workingDirectoryOrFail() + chosen->path;
}

// Every block of the file becomes one record, numbered from 1 in file order. A file that cannot be
// read ends the run before anything is added.
void loadCollection(const std::string& path, void (*reader)(inputBlock, std::int32_t, std::int32_t)) {
  std::int32_t k = 1;
  const bool readable = readBlocks(path, [&](inputBlock block) {
    reader(std::move(block), k, k);
    ++k;
  });
  if (!readable) failInput();
}
}  // namespace

void readJasparDatabase() {
  loadCollection(chosenPath(CollectionFamily::Jaspar), readJasparDBMatrix);
}

void readTransfacDatabase() {
  std::string path;
  for (const Collection& collection : collections())
    if (collection.family == CollectionFamily::Transfac) path = workingDirectoryOrFail() + collection.path;
  loadCollection(path, readTransfacDBMatrix);
}

void readUniprobeDatabase() {
  loadCollection(chosenPath(CollectionFamily::Uniprobe), readUniprobeDBMatrix);
}

void readCollectionFile(const std::string& path) {
  loadCollection(path, [](inputBlock block, std::int32_t motifNumInFile, std::int32_t motifID) {
    std::string taxon = tokenAt(blockLine(block, 1), 3);
    readJasparLayoutBlock(block, std::move(taxon), motifNumInFile, motifID);
  });
}

}  // namespace korvelan
