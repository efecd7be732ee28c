#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <string>
#include <vector>

#include "core/consensus.h"
#include "core/globals.h"
#include "core/utilities.h"
#include "input/input.h"
#include "input_helpers.h"

namespace korvelan {
namespace {

using testing::CollectionRun;
using testing::CoutCapture;

void expectRows(const motifMatrix& actual, const motifMatrix& expected, const std::string& what) {
  ASSERT_EQ(actual.size(), expected.size()) << what;
  for (std::size_t r = 0; r < expected.size(); ++r)
    for (int j = 0; j < 4; ++j)
      EXPECT_DOUBLE_EQ(actual[r][j], expected[r][j]) << what << " row " << r << " col " << j;
}

struct Expected {
  std::string name, taxon, id;
  motifMatrix rows;
};

void expectRecords(const std::vector<Expected>& expected) {
  ASSERT_EQ(DatabaseDatasets.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const data& m = DatabaseDatasets[i];
    SCOPED_TRACE("record " + std::to_string(i + 1));
    EXPECT_EQ(m.motifName, expected[i].name);
    EXPECT_EQ(m.taxonOrSpecies, expected[i].taxon);
    EXPECT_EQ(m.databaseMotifID, expected[i].id);
    EXPECT_EQ(m.motifID, static_cast<std::int64_t>(i + 1));
    EXPECT_EQ(m.motifNumInFile, static_cast<std::int64_t>(i + 1));
    EXPECT_EQ(m.datasetNum, 1);
    expectRows(m.matrix, expected[i].rows, "matrix");
    expectRows(m.revCompMatrix, getRevCompMotif(m.matrix), "revCompMatrix");
    EXPECT_EQ(m.consensus, getConsensusString(m.matrix));
    EXPECT_EQ(m.revCompConsensus, getConsensusString(m.revCompMatrix));
  }
}

TEST(CollectionLoaders, JasparAllReadsHeadersValuesAndLastBlock) {
  CollectionRun run;
  DBName = "jasparAll";
  run.write("databases/jaspar/jaspar_pfm_all.txt",
            "\n\n>MA0001.2\tAGL3\tPlants\nA  [22 16 ]\nC  [29  9 ]\nG  [34 29 ]\nT  [10 41 ]\n\n\n\n"
            ">MA0002.2 RUNX1 Vertebrates extra\r\nA [ 4 19 0 ]\r\nC [0 0 4]\r\nG [0 1 0]\r\nT [0 0 0]\r\n"
            "one line too many\r\n\r\n"
            ">MA0003.1 odd\nA [ -5 1e-3 ]\nC [5 7]\nG [0 0]\nT [0 0]");  // no final line end
  readJasparDatabase();
  expectRecords({
      {"AGL3",
       "Plants",
       "MA0001.2",
       {{22.0 / 95, 29.0 / 95, 34.0 / 95, 10.0 / 95}, {16.0 / 95, 9.0 / 95, 29.0 / 95, 41.0 / 95}}},
      {"RUNX1", "Vertebrates", "MA0002.2", {{1, 0, 0, 0}, {0.95, 0, 0.05, 0}, {0, 1, 0, 0}}},
      // Signs and exponents lose their letters: -5 reads 5, 1e-3 reads 13. A two-token header has no taxon.
      {"odd", "", "MA0003.1", {{0.5, 0.5, 0, 0}, {0.65, 0.35, 0, 0}}},
  });
  EXPECT_EQ(DatabaseDatasets[1].consensus, "AAC");
  EXPECT_EQ(DatabaseDatasets[1].revCompConsensus, "GTT");
  // The input-motif counters are not the collection's.
  EXPECT_EQ(matrixIDNum, 1);
  EXPECT_EQ(mNum, 1);
  EXPECT_EQ(dNum, 1);
}

TEST(CollectionLoaders, TransfacLayout) {
  CollectionRun run;
  DBName = "transfac";
  run.write("databases/transfac/transfac.txt",
            "MYOD_01 Mouse\nXX\nAC M00001\nXX\nP0 A C G T\n01 1 2 3 4 N\n02 0 0 10 0\n03 1 -1 0 0\nXX\n//\n\n"
            "EMPTY_01 human\nXX\nAC\n//\n\n"  // no accession token, no positions
            "LONE\n");                        // one line only
  readTransfacDatabase();
  expectRecords({
      {"MYOD_01", "Mouse", "M00001", {{0.1, 0.2, 0.3, 0.4}, {0, 0, 1, 0}}},
      {"EMPTY_01", "human", "", {}},
      {"LONE", "", "", {}},
  });
  EXPECT_EQ(DatabaseDatasets[1].consensus, "");
}

TEST(CollectionLoaders, ShortJasparBlocksStillGiveOneRecordEach) {
  CollectionRun run;
  DBName = "jasparAll";
  run.write("databases/jaspar/jaspar_pfm_all.txt",
            ">\n\n>MA5 short\nA [ 3 1 ]\n\n>MA6 x Plants\nA [0 2]\nC [0 2]\nG [0]\nT [0 2 ]\n");
  readJasparDatabase();
  expectRecords({
      {"", "", "", {}},
      {"short", "", "MA5", {{1, 0, 0, 0}, {1, 0, 0, 0}}},
      {"x", "Plants", "MA6", {{0.25, 0.25, 0.25, 0.25}, {2.0 / 6, 2.0 / 6, 0, 2.0 / 6}}},
  });
}

struct KeyCase {
  const char* key;
  void (*loader)();
  const char* path;
  const char* text;
};

TEST(CollectionLoaders, EveryKeyOpensItsFileAndGivesItsText) {
  const KeyCase cases[] = {
      {"jasparAll", readJasparDatabase, "/databases/jaspar/jaspar_pfm_all.txt", "FromHeader"},
      {"jasparFungi", readJasparDatabase, "/databases/jaspar/jaspar_pfm_fungi.txt", "Fungi"},
      {"jasparInsects", readJasparDatabase, "/databases/jaspar/jaspar_pfm_insects.txt", "Insects"},
      {"jasparNematodes", readJasparDatabase, "/databases/jaspar/jaspar_pfm_nematodes.txt", "Nematodes"},
      {"jasparPlants", readJasparDatabase, "/databases/jaspar/jaspar_pfm_plants.txt", "Plants"},
      {"jasparUrochordates", readJasparDatabase, "/databases/jaspar/jaspar_pfm_urochordates.txt",
       "Urochordates"},
      {"jasparVertebrates", readJasparDatabase, "/databases/jaspar/jaspar_pfm_vertebrates.txt",
       "Vertebrates"},
      {"transfac", readTransfacDatabase, "/databases/transfac/transfac.txt", "FromHeader"},
      {"uniprobeHuman", readUniprobeDatabase, "/databases/uniprobe/uniprobe_human.txt", "Homo sapiens"},
      {"uniprobeMouse", readUniprobeDatabase, "/databases/uniprobe/uniprobe_mouse.txt", "Mus musculus"},
      {"uniprobeParasite", readUniprobeDatabase, "/databases/uniprobe/uniprobe_parasite.txt",
       "Parasite (Plasmodium Falciparum)"},
      {"uniprobeWorm", readUniprobeDatabase, "/databases/uniprobe/uniprobe_worm.txt",
       "Worm (Caenorhabditis Elegans)"},
      {"uniprobeYeast", readUniprobeDatabase, "/databases/uniprobe/uniprobe_yeast.txt",
       "Yeast (saccharomyces cerevisiae)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.key);
    CollectionRun run;
    DBName = c.key;
    const bool transfac = std::string(c.key) == "transfac";
    run.write(std::string(c.path).substr(1), transfac ? "nm FromHeader\nXX\nAC ID1\n01 1 1 1 1\n"
                                                      : ">ID1 nm FromHeader\nA [1]\nC [1]\nG [1]\nT [1]\n");
    c.loader();  // the key's file is the only one there, so its record shows the loader opened it
    ASSERT_EQ(DatabaseDatasets.size(), 1u);
    EXPECT_EQ(DatabaseDatasets[0].motifName, "nm");
    EXPECT_EQ(DatabaseDatasets[0].databaseMotifID, "ID1");
    EXPECT_EQ(DatabaseDatasets[0].taxonOrSpecies, c.text);
  }
}

TEST(CollectionLoaders, UnreadableCollectionEndsTheRun) {
  struct Case {
    const char* what;
    const char* key;
    void (*loader)();
    const char* folderAt;  // made a folder where the file should be
    const char* fifoAt;    // made a fifo where the file should be
  };
  const Case cases[] = {
      {"missing file", "jasparFungi", readJasparDatabase, nullptr, nullptr},
      {"a folder in place of the file", "transfac", readTransfacDatabase, "databases/transfac/transfac.txt",
       nullptr},
      {"a fifo in place of the file", "jasparFungi", readJasparDatabase, nullptr,
       "databases/jaspar/jaspar_pfm_fungi.txt"},
      {"a key of another family", "transfac", readUniprobeDatabase, nullptr, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    CollectionRun run;
    DBName = c.key;
    if (c.folderAt != nullptr) run.write(std::string(c.folderAt) + "/x", "");
    if (c.fifoAt != nullptr) {
      const std::string fifo = run.cwd() + "/" + c.fifoAt;
      run.write(c.fifoAt, "");
      ASSERT_EQ(unlink(fifo.c_str()), 0);
      ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);  // opening it would wait for a writer forever
    }
    CoutCapture out;
    try {
      c.loader();
      ADD_FAILURE() << "the run went on";
    } catch (const RunEnded& ended) {
      EXPECT_EQ(ended.status, 1);
    }
    EXPECT_EQ(out.text(), "Invalid input path or file name.\n");
    EXPECT_TRUE(DatabaseDatasets.empty());
  }
}

// With the working directory unknown (removed under the run) the collection would be looked up at
// the file-system root; the run ends instead.
TEST(CollectionLoaders, UnknownWorkingDirectoryEndsTheRun) {
  const std::pair<const char*, void (*)()> cases[] = {{"jasparAll", readJasparDatabase},
                                                      {"transfac", readTransfacDatabase},
                                                      {"uniprobeWorm", readUniprobeDatabase}};
  for (const auto& [key, loader] : cases) {
    SCOPED_TRACE(key);
    CollectionRun run;
    DBName = key;
    ASSERT_EQ(mkdir("gone", 0755), 0);
    ASSERT_EQ(chdir("gone"), 0);
    ASSERT_EQ(rmdir((run.cwd() + "/gone").c_str()), 0);
    ASSERT_TRUE(getCurrentDirectory().empty());
    CoutCapture out;
    EXPECT_THROW(loader(), RunEnded);
    EXPECT_EQ(out.text(), "Invalid input path or file name.\n");
    EXPECT_TRUE(DatabaseDatasets.empty());
  }
}

// A header's fields are kept to 255 characters each, so one huge header cannot swell every report.
TEST(CollectionLoaders, LongHeaderFieldsAreCut) {
  CollectionRun run;
  DBName = "jasparAll";
  const std::string id(300, 'i'), name(1000, 'n'), taxon(256, 't');
  run.write("databases/jaspar/jaspar_pfm_all.txt",
            ">" + id + " " + name + " " + taxon + "\nA [1]\nC [0]\nG [0]\nT [0]\n");
  readJasparDatabase();
  expectRecords({{std::string(255, 'n'), std::string(255, 't'), std::string(255, 'i'), {{1, 0, 0, 0}}}});
}

TEST(CollectionLoaders, CollectionFileOutsideDatabasesTakesTaxonFromHeader) {
  CollectionRun run;
  DBName = "N";
  run.write("bench/set.txt",
            ">MB1 first Fungi\nA [1 0]\nC [0 1]\nG [0 0]\nT [0 0]\n\n>MB2 second\nA 1\nC 1\nG 1\nT 1");
  readCollectionFile(run.cwd() + "/bench/set.txt");
  expectRecords({
      {"first", "Fungi", "MB1", {{1, 0, 0, 0}, {0, 1, 0, 0}}},
      {"second", "", "MB2", {{0.25, 0.25, 0.25, 0.25}}},
  });
  CoutCapture out;
  EXPECT_THROW(readCollectionFile(run.cwd() + "/bench/"), RunEnded);
  EXPECT_EQ(out.text(), "Invalid input path or file name.\n");
}

TEST(CollectionLoaders, Jaspar2016Sets) {
  const std::string shared = testing::sourceDir() + "/../shared/data/databases/jaspar/";
  const char* const names[] = {"all",    "fungi",        "insects",    "nematodes",
                               "plants", "urochordates", "vertebrates"};
  for (const char* name : names)
    if (!testing::fileExists(shared + "jaspar_pfm_" + name + ".txt"))
      GTEST_SKIP() << "JASPAR 2016 files absent";

  CollectionRun run;
  mkdir("databases", 0755);
  mkdir("databases/jaspar", 0755);
  for (const char* name : names) {
    const std::string file = std::string("jaspar_pfm_") + name + ".txt";
    ASSERT_EQ(symlink((shared + file).c_str(), ("databases/jaspar/" + file).c_str()), 0);
  }

  DBName = "jasparAll";
  readJasparDatabase();
  ASSERT_EQ(DatabaseDatasets.size(), 1082u);
  std::map<std::string, std::size_t> perTaxon;
  for (const auto& m : DatabaseDatasets) {
    ++perTaxon[m.taxonOrSpecies];
    ASSERT_GE(m.matrix.size(), 5u) << m.databaseMotifID;
    ASSERT_LE(m.matrix.size(), 21u) << m.databaseMotifID;
  }
  const std::map<std::string, std::size_t> expected = {{"Fungi", 176},      {"Insects", 133},
                                                       {"Nematodes", 26},   {"Plants", 227},
                                                       {"Urochordates", 1}, {"Vertebrates", 519}};
  EXPECT_EQ(perTaxon, expected);
  const data& first = DatabaseDatasets[0];
  EXPECT_EQ(first.databaseMotifID, "MA0001.2");
  EXPECT_EQ(first.motifName, "AGL3");
  EXPECT_EQ(first.taxonOrSpecies, "Plants");
  expectRows({first.matrix[0]}, {{22.0 / 95, 29.0 / 95, 34.0 / 95, 10.0 / 95}}, "MA0001.2 position 1");
  EXPECT_EQ(DatabaseDatasets.back().motifID, 1082);

  const std::pair<const char*, const char*> sets[] = {{"jasparFungi", "Fungi"},
                                                      {"jasparInsects", "Insects"},
                                                      {"jasparNematodes", "Nematodes"},
                                                      {"jasparPlants", "Plants"},
                                                      {"jasparUrochordates", "Urochordates"},
                                                      {"jasparVertebrates", "Vertebrates"}};
  for (const auto& [key, taxon] : sets) {
    DatabaseDatasets.clear();
    DBName = key;
    readJasparDatabase();
    EXPECT_EQ(DatabaseDatasets.size(), expected.at(taxon)) << key;
    for (const auto& m : DatabaseDatasets) ASSERT_EQ(m.taxonOrSpecies, taxon) << key;
  }
}

}  // namespace
}  // namespace korvelan
