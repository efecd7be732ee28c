#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "core/globals.h"
#include "input/input.h"
#include "input_helpers.h"

namespace korvelan {
namespace {

using testing::CollectionRun;
using testing::CoutCapture;
using testing::InputRun;

// Two files: a.txt gives three motifs (its last line has no line end), longname.txt two.
const char* const kFileA = ">m1\nACGT\n\n>m2\n3 0 5 2\n0 10 0 0\n\n>m3\nTTAA";
const char* const kFileLong = "7 1 1 1\n1 1 2 6\n\n>x\nN\n";

std::string pad(const std::string& text, std::size_t width) {
  return text + std::string(width > text.size() ? width - text.size() : 0, ' ');
}

std::string tableRow(const std::string& a, const std::string& b, const std::string& c) {
  return pad(a, 22) + pad(b, 20) + pad(c, 15) + "\n";  // 22 = "longname.txt" + 10
}

std::string expectedListing() {
  const std::string one = "1.000000\t0.000000\t0.000000\t0.000000\t\n";
  const std::string c = "0.000000\t1.000000\t0.000000\t0.000000\t\n";
  const std::string g = "0.000000\t0.000000\t1.000000\t0.000000\t\n";
  const std::string t = "0.000000\t0.000000\t0.000000\t1.000000\t\n";
  std::string s;
  s += "KORVELAN - KORVELAN Detection Tool\n";
  s += "Version 2.1\n\n";
  s += "Total number of motifs: 5\n\n";
  s += "Input files and motif counts\n";
  s += tableRow("File name", "Count of motifs", "Dataset #");
  s += tableRow("a.txt", "3", "1");
  s += tableRow("longname.txt", "2", "2");
  s += "\nInput Motifs\n\n";
  s += "Dataset #: 1\tMotif ID: 1\tMotif name: m1\n\n" + one + c + g + t + "\n\n";
  s += "Dataset #: 1\tMotif ID: 2\tMotif name: m2\n\n";
  s += "0.300000\t0.000000\t0.500000\t0.200000\t\n" + c + "\n\n";
  s += "Dataset #: 1\tMotif ID: 3\tMotif name: m3\n\n" + t + t + one + one + "\n\n";
  s += "Dataset #: 2\tMotif ID: 4\tMotif name: NA\n\n";
  s += "0.700000\t0.100000\t0.100000\t0.100000\t\n0.100000\t0.100000\t0.200000\t0.600000\t\n\n\n";
  s += "Dataset #: 2\tMotif ID: 5\tMotif name: x\n\n";
  s += "0.250000\t0.250000\t0.250000\t0.250000\t\n\n\n";
  return s;
}

std::vector<std::string> expectedSummary() {
  auto row = [](const std::string& a, const std::string& b, const std::string& c) {
    std::string r = tableRow(a, b, c);
    r.pop_back();
    return r;
  };
  return {"",
          "Your input files, types, and counts are:",
          "",
          row("File Name", "Count of Motifs", "Dataset #"),
          row("a.txt", "3", "1"),
          row("longname.txt", "2", "2"),
          ""};
}

std::string joinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\n";
  return text;
}

TEST(InputListing, TwoFileRunWritesListingAndSummary) {
  InputRun run;
  run.add("a.txt", kFileA);
  run.add("longname.txt", kFileLong);
  run.read();
  ASSERT_EQ(Datasets.size(), 5u);
  testing::TempDir out;
  outputPath = out.path();
  jobID = "J_2026-12-10_1234_";
  writeMotifInput();
  EXPECT_EQ(testing::readFile(out.path() + "J_2026-12-10_1234_input_motifs.txt"), expectedListing());

  CoutCapture console;
  printFileNameTypeCount();
  EXPECT_EQ(console.text(), joinLines(expectedSummary()));
}

TEST(InputListing, FileWithoutMotifsAndMissingOutputFolder) {
  InputRun run;
  run.add("e.txt", "\n\n  \n");
  run.add("b.txt", ">a\nAC\n\n>b\nGT\n\n");
  run.read();
  outputPath = run.path() + "no-such-folder/";
  jobID = "J_x_";
  writeMotifInput();  // silently not written
  EXPECT_FALSE(testing::fileExists(outputPath));

  CoutCapture console;
  printFileNameTypeCount();
  const auto lines = testing::splitLines(console.text());
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[4], pad("e.txt", 15) + pad("0", 20) + pad("1", 15));
  EXPECT_EQ(lines[5], pad("b.txt", 15) + pad("2", 20) + pad("2", 15));
}

// One small collection of each family, loaded by its loader and listed for its family, then again
// by the family's named listing.
TEST(CollectionListing, EachFamilyListsItsLoadedCollection) {
  struct Case {
    const char* what;
    const char* key;
    const char* file;  // below the working directory
    const char* content;
    void (*load)();
    CollectionFamily family;
    void (*list)();
    const char* listingName;
    std::string expected;
  };
  const std::string a = "1.000000\t0.000000\t0.000000\t0.000000\t\n";
  const std::string c = "0.000000\t1.000000\t0.000000\t0.000000\t\n";
  const Case cases[] = {
      {"JASPAR, each motif's taxon from its header", "jasparAll", "databases/jaspar/jaspar_pfm_all.txt",
       ">MA0001.2\tAGL3\tPlants\nA [1 0 ]\nC [0 1]\nG [0 0]\nT [0 0]\n\n"
       ">MA0002.2 RUNX1 Vertebrates\nA [ 4 19 0 ]\nC [0 0 4]\nG [0 1 0]\nT [0 0 0]\n",
       readJasparDatabase, CollectionFamily::Jaspar, writeJasparDatabase, "jaspar_motifs.txt",
       "Motif name: AGL3\nTaxon: Plants\nMotif ID: MA0001.2\n" + a + c + "\n\n" +
           "Motif name: RUNX1\nTaxon: Vertebrates\nMotif ID: MA0002.2\n" + a +
           "0.950000\t0.000000\t0.050000\t0.000000\t\n" + c + "\n\n"},
      {"TRANSFAC, a motif without positions too", "transfac", "databases/transfac/transfac.txt",
       "MYOD_01 Mouse\nXX\nAC M00001\nXX\nP0 A C G T\n01 1 2 3 4 N\n02 0 0 10 0\nXX\n//\n\n"
       "EMPTY_01 human\nXX\nAC M00002\n//\n",
       readTransfacDatabase, CollectionFamily::Transfac, writeTransfacDatabase, "transfac_motifs.txt",
       "Motif name: MYOD_01\nTaxon: Mouse\nAC: M00001\n0.100000\t0.200000\t0.300000\t0.400000\t\n"
       "0.000000\t0.000000\t1.000000\t0.000000\t\n\n\n"
       "Motif name: EMPTY_01\nTaxon: human\nAC: M00002\n\n\n"},
      {"UniPROBE, the set's species", "uniprobeWorm", "databases/uniprobe/uniprobe_worm.txt",
       ">UP00001 ceh-22 ignored\nA 0.5 0.25\nC 0.5 0.25\nG 0 0.25\nT 0 0.25\n", readUniprobeDatabase,
       CollectionFamily::Uniprobe, writeUniprobeDatabase, "uniprobe_motifs.txt",
       "Motif name: ceh-22\nSpecies: Worm (Caenorhabditis Elegans)\nMotif ID: UP00001\n"
       "0.500000\t0.500000\t0.000000\t0.000000\t\n0.250000\t0.250000\t0.250000\t0.250000\t\n\n\n"},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.what);
    CollectionRun run;
    DBName = k.key;
    run.write(k.file, k.content);
    k.load();
    testing::TempDir out;
    outputPath = out.path();
    jobID = "J_x_";
    writeCollectionListing(k.family);
    EXPECT_EQ(testing::readFile(out.path() + "J_x_" + k.listingName), k.expected);
    k.list();  // a second listing, by the family's name, replaces the first
    EXPECT_EQ(testing::listDir(out.path()), std::vector<std::string>{"J_x_" + std::string(k.listingName)});
    EXPECT_EQ(testing::readFile(out.path() + "J_x_" + k.listingName), k.expected);
  }
}

// Every JASPAR set shares one listing name: the job identifier in front keeps the listing of each
// run's own set, where a bare name would leave the first run's listing standing for the second's.
TEST(CollectionListing, RunsInOneFolderKeepTheirOwnListings) {
  struct Run {
    const char* key;
    const char* file;
    const char* taxon;
  };
  const Run runs[] = {{"jasparFungi", "databases/jaspar/jaspar_pfm_fungi.txt", "Fungi"},
                      {"jasparPlants", "databases/jaspar/jaspar_pfm_plants.txt", "Plants"}};
  testing::TempDir out;
  for (const Run& r : runs) {
    CollectionRun run;  // a run of its own: nothing of the one before is remembered
    DBName = r.key;
    run.write(r.file, ">MA9 m\nA [1]\nC [0]\nG [0]\nT [0]\n");
    readJasparDatabase();
    outputPath = out.path();
    jobID = std::string("J_") + r.key + "_";
    writeCollectionListing(CollectionFamily::Jaspar);
  }
  for (const Run& r : runs)
    EXPECT_EQ(testing::readFile(out.path() + "J_" + r.key + "_jaspar_motifs.txt"),
              std::string("Motif name: m\nTaxon: ") + r.taxon + "\nMotif ID: MA9\n" +
                  "1.000000\t0.000000\t0.000000\t0.000000\t\n\n\n");
}

// Like the input listing, a collection listing that cannot be made is left out: no message, the run
// goes on, and nothing is written through a name that is taken.
TEST(CollectionListing, ListingThatCannotBeMadeIsLeftOutSilently) {
  struct Case {
    const char* what;
    bool plantLink;
  };
  const Case cases[] = {{"missing output folder", false}, {"a link planted under the name", true}};
  for (const auto& k : cases) {
    SCOPED_TRACE(k.what);
    CollectionRun run;
    DBName = "transfac";
    run.write("databases/transfac/transfac.txt", "N1 sp\nXX\nAC M1\n01 1 0 0 0\n");
    readTransfacDatabase();
    ASSERT_EQ(DatabaseDatasets.size(), 1u);
    testing::TempDir out;
    outputPath = out.path() + (k.plantLink ? "" : "missing/");
    jobID = "J_x_";
    const std::string victim = out.path() + "victim.txt";
    if (k.plantLink) {
      testing::writeFile(victim, "kept\n");
      ASSERT_EQ(symlink(victim.c_str(), (out.path() + "J_x_transfac_motifs.txt").c_str()), 0);
    }
    CoutCapture console;
    EXPECT_NO_THROW(writeCollectionListing(CollectionFamily::Transfac));
    EXPECT_EQ(console.text(), "");
    if (k.plantLink) {
      EXPECT_EQ(testing::readFile(victim), "kept\n");
    } else {
      EXPECT_FALSE(testing::fileExists(outputPath));
    }
  }
}

// The dialogue answers of a run over the given files with no database, text output only.
std::string dialogue(const std::string& inputFolder, const std::vector<std::string>& files,
                     const std::string& outputFolder) {
  std::string answers = std::to_string(files.size()) + "\n5\n5\n0.5\n1\n" + inputFolder + "\n";
  for (const auto& file : files) answers += file + "\n4\n";
  return answers + "14\nN\nN\nGlobal-Only\nText\n" + outputFolder + "\n";
}

TEST(InputProgram, RunReadsFilesAndWritesListing) {
  testing::TempDir dir;
  testing::writeFile(dir.path() + "motifs/a.txt", kFileA);
  testing::writeFile(dir.path() + "motifs/longname.txt", kFileLong);
  testing::writeFile(dir.path() + "result/.keep", "");
  const auto run = testing::runProgram(
      dialogue(dir.path() + "motifs/", {"a.txt", "longname.txt"}, dir.path()), dir.path());
  EXPECT_EQ(run.status, 0) << run.output;

  const auto lines = testing::splitLines(run.output);
  std::size_t at = 0;
  while (at < lines.size() && lines[at] != "Reading input ...") ++at;
  ASSERT_LT(at, lines.size()) << run.output;
  ASSERT_GE(at, 1u);
  EXPECT_EQ(lines[at - 1], "");
  std::vector<std::string> expected = {"Reading input ..."};
  for (const auto& line : expectedSummary()) expected.push_back(line);
  expected.push_back("Processing input ...");
  ASSERT_GE(lines.size(), at + expected.size()) << run.output;
  EXPECT_EQ(std::vector<std::string>(lines.begin() + at, lines.begin() + at + expected.size()), expected);

  std::string listing;
  for (const auto& name : testing::listDir(dir.path() + "result/"))
    if (name.size() > 16 && name.compare(name.size() - 16, 16, "input_motifs.txt") == 0 &&
        name.rfind("J_", 0) == 0)
      listing = testing::readFile(dir.path() + "result/" + name);
  EXPECT_EQ(listing, expectedListing());
}

TEST(InputProgram, ErrorExits) {
  struct Case {
    const char* what;
    std::vector<std::string> files;
    std::string lastLine;
  };
  const Case cases[] = {
      {"one motif in all", {"one.txt"}, "Error: insufficient number of motifs."},
      {"a file that does not exist", {"a.txt", "missing.txt"}, "Invalid input path or file name."},
      {"an empty file name names the folder", {"a.txt", ""}, "Invalid input path or file name."},
      {"a fifo in place of a file", {"a.txt", "pipe.txt"}, "Invalid input path or file name."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    testing::TempDir dir;
    testing::writeFile(dir.path() + "motifs/a.txt", kFileA);
    testing::writeFile(dir.path() + "motifs/one.txt", ">only\nACGT\n");
    ASSERT_EQ(mkfifo((dir.path() + "motifs/pipe.txt").c_str(), 0644), 0);
    testing::writeFile(dir.path() + "result/.keep", "");
    const auto run = testing::runProgram(dialogue(dir.path() + "motifs/", c.files, dir.path()), dir.path());
    EXPECT_EQ(run.status, 1);
    const auto lines = testing::splitLines(run.output);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), c.lastLine);
    EXPECT_EQ(testing::listDir(dir.path() + "result/"), std::vector<std::string>{".keep"});
  }
}

}  // namespace
}  // namespace korvelan
