#include <utility>

#include "core/collections.h"
#include "core/consensus.h"
#include "core/globals.h"
#include "input/collection_readers.h"
#include "input/readers.h"

namespace korvelan {

namespace {
// The last steps of every collection reader: consensus strings, reverse complement and the record
// appended to DatabaseDatasets. Collection motifs all belong to dataset 1.
void completeDatabaseMotif(std::string name, std::string taxon, std::string id, motifMatrix rows,
                           std::int32_t motifNumInFile, std::int32_t motifID) {
  DatabaseDatasets.push_back(fillMatrices({.name = std::move(name),
                                           .taxonOrSpecies = std::move(taxon),
                                           .databaseMotifID = std::move(id),
                                           .datasetNum = 1,
                                           .motifNumInFile = motifNumInFile,
                                           .motifID = motifID},
                                          std::move(rows)));
}

// The taxon or species text DBName's collection gives a block: the collection's own text, the
// header's third token for the all-taxa JASPAR set, or nothing for a key of another family.
std::string taxonFor(CollectionFamily family, const inputBlock& block) {
  const Collection* chosen = collectionOf(DBName);
  if (chosen == nullptr || chosen->family != family) return std::string();
  return chosen->taxon != nullptr ? std::string(chosen->taxon) : tokenAt(blockLine(block, 1), 3);
}
}  // namespace

void readJasparLayoutBlock(const inputBlock& block, std::string taxon, std::int32_t motifNumInFile,
                           std::int32_t motifID) {
  const auto& header = blockLine(block, 1);
  completeDatabaseMotif(tokenAt(header, 2), std::move(taxon), withoutFirst(tokenAt(header, 1)),
                        jasparRows(block), motifNumInFile, motifID);
}

void readJasparDBMatrix(inputBlock block, std::int32_t motifNumInFile, std::int32_t motifID) {
  readJasparLayoutBlock(block, taxonFor(CollectionFamily::Jaspar, block), motifNumInFile, motifID);
}

void readUniprobeDBMatrix(inputBlock block, std::int32_t motifNumInFile, std::int32_t motifID) {
  readJasparLayoutBlock(block, taxonFor(CollectionFamily::Uniprobe, block), motifNumInFile, motifID);
}

void readTransfacDBMatrix(inputBlock block, std::int32_t motifNumInFile, std::int32_t motifID) {
  const auto& header = blockLine(block, 1);
  completeDatabaseMotif(tokenAt(header, 1), tokenAt(header, 2), tokenAt(blockLine(block, 3), 2),
                        transfacRows(block), motifNumInFile, motifID);
}

}  // namespace korvelan
