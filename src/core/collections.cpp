#include "core/collections.h"

namespace korvelan {

const std::vector<Collection>& collections() {
  using F = CollectionFamily;
  static const std::vector<Collection> table = {
      {.menuNumber = 1, .menuLabel = "Jaspar 2016 (All)", .key = "jasparAll", .displayName = "Jaspar Core",
       .path = "/databases/jaspar/jaspar_pfm_all.txt", .taxon = nullptr, .family = F::Jaspar},
      {.menuNumber = 2, .menuLabel = "Jaspar 2016 (Fungi)", .key = "jasparFungi", .displayName = "Jaspar Fungi",
       .path = "/databases/jaspar/jaspar_pfm_fungi.txt", .taxon = "Fungi", .family = F::Jaspar},
      {.menuNumber = 3, .menuLabel = "Jaspar 2016 (Insects)", .key = "jasparInsects",
       .displayName = "Jaspar Insects", .path = "/databases/jaspar/jaspar_pfm_insects.txt", .taxon = "Insects",
       .family = F::Jaspar},
      {.menuNumber = 4, .menuLabel = "Jaspar 2016 (Nematodes)", .key = "jasparNematodes",
       .displayName = "Jaspar Nematodes", .path = "/databases/jaspar/jaspar_pfm_nematodes.txt",
       .taxon = "Nematodes", .family = F::Jaspar},
      {.menuNumber = 5, .menuLabel = "Jaspar 2016 (Plants)", .key = "jasparPlants", .displayName = "Jaspar Plants",
       .path = "/databases/jaspar/jaspar_pfm_plants.txt", .taxon = "Plants", .family = F::Jaspar},
      {.menuNumber = 6, .menuLabel = "Jaspar 2016 (Urochordates)", .key = "jasparUrochordates",
       .displayName = "Jaspar Urochordates", .path = "/databases/jaspar/jaspar_pfm_urochordates.txt",
       .taxon = "Urochordates", .family = F::Jaspar},
      {.menuNumber = 7, .menuLabel = "Jaspar 2016 (Vertebrates)", .key = "jasparVertebrates",
       .displayName = "Jaspar Vertebrates", .path = "/databases/jaspar/jaspar_pfm_vertebrates.txt",
       .taxon = "Vertebrates", .family = F::Jaspar},
      {.menuNumber = 8, .menuLabel = "Transfac (Free version)", .key = "transfac", .displayName = "Transfac",
       .path = "/databases/transfac/transfac.txt", .taxon = nullptr, .family = F::Transfac},
      {.menuNumber = 9, .menuLabel = "UniPROBE (Human)", .key = "uniprobeHuman",
       .displayName = "UniProbe Homo Sapiens", .path = "/databases/uniprobe/uniprobe_human.txt",
       .taxon = "Homo sapiens", .family = F::Uniprobe},
      {.menuNumber = 10, .menuLabel = "UniPROBE (Mouse)", .key = "uniprobeMouse",
       .displayName = "UniProbe Mus Musculus", .path = "/databases/uniprobe/uniprobe_mouse.txt",
       .taxon = "Mus musculus", .family = F::Uniprobe},
      {.menuNumber = 11, .menuLabel = "UniPROBE (Parasite)", .key = "uniprobeParasite",
       .displayName = "UniProbe Parasite (Plasmodium Falciparum)",
       .path = "/databases/uniprobe/uniprobe_parasite.txt", .taxon = "Parasite (Plasmodium Falciparum)",
       .family = F::Uniprobe},
      {.menuNumber = 12, .menuLabel = "UniPROBE (Worm)", .key = "uniprobeWorm",
       .displayName = "UniProbe Worm (Caenorhabditis Elegans)", .path = "/databases/uniprobe/uniprobe_worm.txt",
       .taxon = "Worm (Caenorhabditis Elegans)", .family = F::Uniprobe},
      {.menuNumber = 13, .menuLabel = "UniPROBE (Yeast)", .key = "uniprobeYeast",
       .displayName = "UniProbe Yeast (Saccharomyces Cerevisiae)", .path = "/databases/uniprobe/uniprobe_yeast.txt",
       .taxon = "Yeast (saccharomyces cerevisiae)", .family = F::Uniprobe},
  };
  return table;
}

const Collection* collectionOf(std::string_view key) {
  for (const Collection& collection : collections())
    if (key == collection.key) return &collection;
  return nullptr;
}

const CollectionFamilyFacts& collectionFamily(CollectionFamily family) {
  using F = CollectionFamily;
  static const CollectionFamilyFacts table[] = {
      {.family = F::Jaspar, .pageAddress = "http://jaspar2016.genereg.net", .taxonWord = "Taxon",
       .identifierWord = "Motif ID", .listingName = "jaspar_motifs.txt"},
      {.family = F::Transfac, .pageAddress = "http://www.gene-regulation.com", .taxonWord = "Taxon",
       .identifierWord = "AC", .listingName = "transfac_motifs.txt"},
      {.family = F::Uniprobe, .pageAddress = "http://thebrain.bwh.harvard.edu", .taxonWord = "Species",
       .identifierWord = "Motif ID", .listingName = "uniprobe_motifs.txt"},
  };
  for (const CollectionFamilyFacts& row : table)
    if (row.family == family) return row;
  return table[0];
}

const char* collectionPageAddress(CollectionFamily family) {
  return collectionFamily(family).pageAddress;
}

}  // namespace korvelan
