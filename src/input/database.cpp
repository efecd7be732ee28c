#include <utility>

#include "driver/globals.h"
#include "driver/utilities.h"
#include "input/collections.h"
#include "input/input.h"
#include "input/readers.h"

namespace korvelan {

std::string jasparDB;
std::string transfacDB;
std::string uniprobeDB;

const std::vector<CollectionFile>& jasparCollections() {
  static const std::vector<CollectionFile> sets = {
      {"jasparAll", "/databases/jaspar/jaspar_pfm_all.txt", nullptr},
      {"jasparFungi", "/databases/jaspar/jaspar_pfm_fungi.txt", "Fungi"},
      {"jasparInsects", "/databases/jaspar/jaspar_pfm_insects.txt", "Insects"},
      {"jasparNematodes", "/databases/jaspar/jaspar_pfm_nematodes.txt", "Nematodes"},
      {"jasparPlants", "/databases/jaspar/jaspar_pfm_plants.txt", "Plants"},
      {"jasparUrochordates", "/databases/jaspar/jaspar_pfm_urochordates.txt", "Urochordates"},
      {"jasparVertebrates", "/databases/jaspar/jaspar_pfm_vertebrates.txt", "Vertebrates"},
  };
  return sets;
}

const std::vector<CollectionFile>& uniprobeCollections() {
  static const std::vector<CollectionFile> sets = {
      {"uniprobeHuman", "/databases/uniprobe/uniprobe_human.txt", "Homo sapiens"},
      {"uniprobeMouse", "/databases/uniprobe/uniprobe_mouse.txt", "Mus musculus"},
      {"uniprobeParasite", "/databases/uniprobe/uniprobe_parasite.txt", "Parasite (Plasmodium Falciparum)"},
      {"uniprobeWorm", "/databases/uniprobe/uniprobe_worm.txt", "Worm (Caenorhabditis Elegans)"},
      {"uniprobeYeast", "/databases/uniprobe/uniprobe_yeast.txt", "Yeast (saccharomyces cerevisiae)"},
  };
  return sets;
}

const CollectionFile kTransfacCollection = {"transfac", "/databases/transfac/transfac.txt", nullptr};

namespace {
// The path of DBName's set in `family` below the working directory; a key of another family leaves
// the path as it was.
void choosePath(const std::vector<CollectionFile>& family, std::string& path) {
  for (const auto& set : family)
    if (DBName == set.key) path = getCurrentDirectory() + set.path;
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
  choosePath(jasparCollections(), jasparDB);
  loadCollection(jasparDB, readJasparDBMatrix);
}

void readTransfacDatabase() {
  transfacDB = getCurrentDirectory() + kTransfacCollection.path;
  loadCollection(transfacDB, readTransfacDBMatrix);
}

void readUniprobeDatabase() {
  choosePath(uniprobeCollections(), uniprobeDB);
  loadCollection(uniprobeDB, readUniprobeDBMatrix);
}

void readCollectionFile(const std::string& path) {
  jasparDB = path;
  loadCollection(path, [](inputBlock block, std::int32_t motifNumInFile, std::int32_t motifID) {
    std::string taxon = tokenAt(blockLine(block, 1), 3);
    readJasparLayoutBlock(block, std::move(taxon), motifNumInFile, motifID);
  });
}

}  // namespace korvelan
