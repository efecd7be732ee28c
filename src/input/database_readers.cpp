#include <utility>

#include "driver/consensus.h"
#include "driver/globals.h"
#include "input/collections.h"
#include "input/readers.h"

namespace korvelan {

namespace {
// The last steps of every collection reader: consensus strings, reverse complement and the record
// appended to DatabaseDatasets. Collection motifs all belong to dataset 1.
void completeDatabaseMotif(std::string name, std::string taxon, std::string id, motifMatrix rows,
                           std::int32_t motifNumInFile, std::int32_t motifID) {
  std::string consensus = getConsensusString(rows);
  motifMatrix revComp = getRevCompMotif(rows);
  std::string revCompConsensus = getConsensusString(revComp);
  Matrices.motifID = motifID;
  Matrices.motifName = std::move(name);
  Matrices.taxonOrSpecies = std::move(taxon);
  Matrices.databaseMotifID = std::move(id);
  Matrices.datasetNum = 1;
  Matrices.motifNumInFile = motifNumInFile;
  Matrices.matrix = std::move(rows);
  Matrices.revCompMatrix = std::move(revComp);
  Matrices.consensus = std::move(consensus);
  Matrices.revCompConsensus = std::move(revCompConsensus);
  DatabaseDatasets.push_back(Matrices);
}

// The taxon or species text a set's key gives a block: the set's own text, the header's third token
// for the all-taxa JASPAR set, or nothing for a key of another family.
std::string taxonFor(const std::vector<CollectionFile>& family, const inputBlock& block) {
  for (const auto& set : family)
    if (DBName == set.key)
      return set.taxon != nullptr ? std::string(set.taxon) : tokenAt(blockLine(block, 1), 3);
  return std::string();
}
}  // namespace

void readJasparLayoutBlock(const inputBlock& block, std::string taxon, std::int32_t motifNumInFile,
                           std::int32_t motifID) {
  const auto& header = blockLine(block, 1);
  completeDatabaseMotif(tokenAt(header, 2), std::move(taxon), withoutFirst(tokenAt(header, 1)),
                        jasparRows(block), motifNumInFile, motifID);
}

void readJasparDBMatrix(inputBlock block, std::int32_t motifNumInFile, std::int32_t motifID) {
  readJasparLayoutBlock(block, taxonFor(jasparCollections(), block), motifNumInFile, motifID);
}

void readUniprobeDBMatrix(inputBlock block, std::int32_t motifNumInFile, std::int32_t motifID) {
  readJasparLayoutBlock(block, taxonFor(uniprobeCollections(), block), motifNumInFile, motifID);
}

void readTransfacDBMatrix(inputBlock block, std::int32_t motifNumInFile, std::int32_t motifID) {
  const auto& header = blockLine(block, 1);
  completeDatabaseMotif(tokenAt(header, 1), tokenAt(header, 2), tokenAt(blockLine(block, 3), 2),
                        transfacRows(block), motifNumInFile, motifID);
}

}  // namespace korvelan
