#include "driver/dialogue.h"

#include <gtest/gtest.h>
#include <omp.h>

#include <algorithm>
#include <sstream>

#include "core/globals.h"
#include "core/utilities.h"
#include "support/test_support.h"

namespace korvelan {
namespace {

const char* const kFormatMenu[] = {"(1) TRANSFAC", "(2) TRANSFAC-like", "(3) PSSM", "(4) Jaspar",
                                   "(5) MEME output", "(6) Consensus sequence", "(7) Sequence Alignment",
                                   "(8) Matrices (Horizonal)", "(9) Matrices (Vertical)", "(10) Unspecified"};
const char* const kDatabaseMenu[] = {
    "(1) Jaspar 2016 (All)",       "(2) Jaspar 2016 (Fungi)",    "(3) Jaspar 2016 (Insects)",
    "(4) Jaspar 2016 (Nematodes)", "(5) Jaspar 2016 (Plants)",   "(6) Jaspar 2016 (Urochordates)",
    "(7) Jaspar 2016 (Vertebrates)", "(8) Transfac (Free version)", "(9) UniPROBE (Human)",
    "(10) UniPROBE (Mouse)",       "(11) UniPROBE (Parasite)",   "(12) UniPROBE (Worm)",
    "(13) UniPROBE (Yeast)",       "(14) None"};

class Dialogue : public ::testing::Test {
 protected:
  void SetUp() override { resetGlobals(); }
  void TearDown() override { omp_set_num_threads(omp_get_num_procs()); }

  // Runs the dialogue on the given answers; returns its output lines.
  std::vector<std::string> run(const std::string& answers) {
    std::istringstream in(answers);
    std::ostringstream out;
    runDialogue(in, out);
    return testing::splitLines(out.str());
  }
  // The answers of a plain run after the given number-of-files answer.
  std::string answers(const std::string& folder) {
    return "2\n5\n3\n0.75\n4\n/data/motifs/\na.txt\n4\nb.txt\n1\n14\nN\nY\nAll\nText\n" + folder + "\n";
  }
  testing::TempDir dir;
};

TEST_F(Dialogue, WholeTranscriptOfAPlainRun) {
  const int machineMax = omp_get_max_threads();
  const auto lines = run(answers(dir.path()));
  std::vector<std::string> expected = {
      "Please, enter number of files to read (must be > 0):",
      "Please, enter number of top significant motifs (must be > 0 and <= 50):",
      "Please, enter number of best matches (must be > 0 and <= 50):",
      "Please, select a cutoff for similarity (>= 0.5, >= 0.6, >= 0.7, >= 0.75, >= 0.8, >= 0.85, >= 0.9):",
      "Please, enter number of threads (must be >= 1):",
      "Maximum number of threads available on your machine is " + std::to_string(machineMax) + ".",
      "This is the maximum number of threads can be allocated to run this program.",
      "",
      "Please, enter input file's location (full path, for example, C:\\MyDocuments\\ for Windows and "
      "/home/MyFolder/ for Linux):",
      "",
      "Enter input file names and formats (for example: 1). See the user manual for each format:",
      ""};
  for (const char* item : kFormatMenu) expected.push_back(item);
  expected.push_back("");
  for (int i = 0; i < 2; ++i) {
    expected.push_back("Please, enter file name (in text format .txt, name without spaces):");
    expected.push_back("Please, enter file format:");
  }
  expected.push_back("");
  expected.push_back("Enter database name by selecting a number in the list below:");
  expected.push_back("");
  for (const char* item : kDatabaseMenu) expected.push_back(item);
  expected.push_back("");
  expected.push_back("Would you like to generate motif tree? (Y or N):");
  expected.push_back("Would you like to combine similar motifs? (Y or N):");
  expected.push_back("Please, enter an output file type (Global-Only, All):");
  expected.push_back("Please, enter an output file format (Text, HTML, PDF, All):");
  expected.push_back(
      "please, enter output file's location (full path, for example, C:\\MyDocuments\\ for Windows and "
      "/home/MyFolder/ for Linux):");
  EXPECT_EQ(lines, expected);

  EXPECT_EQ(numFile, 2);
  EXPECT_EQ(numTopMotif, 5);
  EXPECT_EQ(numBestMatches, 3);
  EXPECT_EQ(simCutoff, 0.75);
  EXPECT_EQ(numThread, std::min(4, machineMax));
  EXPECT_EQ(inputPath, "/data/motifs/");
  ASSERT_EQ(FileNameType.size(), 2u);
  EXPECT_EQ(FileNameType[0].fileName, "a.txt");
  EXPECT_EQ(FileNameType[0].fileType, 4);
  EXPECT_EQ(FileNameType[0].motifCount, 0);
  EXPECT_EQ(FileNameType[1].datasetNum, 2);
  EXPECT_EQ(DBName, "N");
  EXPECT_EQ(motifCluster, "N");
  EXPECT_EQ(combinedMotifFlag, "Y");
  EXPECT_EQ(outputFileType, "All");
  EXPECT_EQ(outputFileFormat, "Text");
  EXPECT_TRUE(outputPath.empty());  // the typed folder is only checked; nameOutputs sets the result folder
}

// Each refused answer prints its message once and the question is not repeated.
TEST_F(Dialogue, RefusedAnswersAndTheirMessages) {
  const std::string input =
      "0 -1 abc . 2.5\n"          // files: four refusals, then 2.5 reads as 2
      "51 0 50\n"                 // top motifs
      "51 1\n"                    // best matches
      "1 0.65 0.55 .5\n"          // cutoff
      "0 00 -4 3000000000\n"      // threads: the huge answer is lowered, never wrapped
      "in/\n"
      "my file.txt\n\n"            // a name with a blank is refused; an empty name is accepted
      "11\n0\nx\n6\n"             // formats
      "b.txt\n10\n"
      "15 01 13\n"                // database
      "yes\ny\nY\nN\n"
      "global-only\nGlobal-Only\n"
      "pdf\nPDF\n" +
      dir.path() + "plain.txt\n" + dir.path() + "missing/\n" + dir.path() + "\n";
  testing::writeFile(dir.path() + "plain.txt", "x");
  const int machineMax = omp_get_max_threads();
  const auto lines = run(input);
  auto count = [&](const std::string& text) { return std::count(lines.begin(), lines.end(), text); };
  EXPECT_EQ(count("Invalid input. Please, re-enter."), 4 + 2 + 1 + 3 + 3 + 2 + 2);
  EXPECT_EQ(count("Please, re-enter file name without spaces:"), 1);
  EXPECT_EQ(count("Invalid file format. Please, re-enter:"), 3);
  EXPECT_EQ(count("Invalid output file type. Please, re-enter."), 1);
  EXPECT_EQ(count("Invalid output file format. Please, re-enter."), 1);
  EXPECT_EQ(count("Invalid path. Please, re-enter."), 2);
  EXPECT_EQ(count("Please, enter number of files to read (must be > 0):"), 1);
  EXPECT_EQ(numFile, 2);
  EXPECT_EQ(numTopMotif, 50);
  EXPECT_EQ(numBestMatches, 1);
  EXPECT_EQ(simCutoff, 0.5);
  EXPECT_EQ(numThread, machineMax);
  EXPECT_EQ(FileNameType[0].fileName, "");
  EXPECT_EQ(FileNameType[0].fileType, 6);
  EXPECT_EQ(DBName, "uniprobeYeast");
  EXPECT_EQ(motifCluster, "Y");
  EXPECT_EQ(combinedMotifFlag, "N");
  EXPECT_EQ(outputFileType, "Global-Only");
  EXPECT_EQ(outputFileFormat, "PDF");
}

TEST_F(Dialogue, OutOfRangeNumbersAreRefusedNotWrapped) {
  // 4294967297 would wrap to 1 in 32 bits; saturated it is far above 50 and refused.
  run("1\n4294967297 7\n2\n0.9\n1\nin/\na\n1\n1\nN\nN\nAll\nHTML\n" + dir.path() + "\n");
  EXPECT_EQ(numTopMotif, 7);
  EXPECT_EQ(DBName, "jasparAll");
  EXPECT_EQ(numThread, 1);
}

TEST_F(Dialogue, DatabaseAnswersMapToKeys) {
  const char* keys[] = {"jasparAll",     "jasparFungi",   "jasparInsects",    "jasparNematodes", "jasparPlants",
                        "jasparUrochordates", "jasparVertebrates", "transfac", "uniprobeHuman", "uniprobeMouse",
                        "uniprobeParasite", "uniprobeWorm", "uniprobeYeast", "N"};
  for (int choice = 1; choice <= 14; ++choice) {
    resetGlobals();
    run("1\n1\n1\n0.5\n1\nin/\na\n1\n" + std::to_string(choice) + "\nN\nN\nAll\nAll\n" + dir.path() + "\n");
    EXPECT_EQ(DBName, keys[choice - 1]) << choice;
  }
}

// Word answers may share a line; the character skipped after the thread and database answers is
// the line end, so the whole-line answer after them starts on the next line.
TEST_F(Dialogue, WordAnswersShareALineAndOneCharacterIsSkipped) {
  run("1 2 3 0.8 2\nin dir/\nname.txt\n5\n14\nN\nN\nAll\nText\n" + dir.path());  // no final line end
  EXPECT_EQ(numTopMotif, 2);
  EXPECT_EQ(numBestMatches, 3);
  EXPECT_EQ(simCutoff, 0.8);
  EXPECT_EQ(inputPath, "in dir/");  // whole line, blanks kept
  EXPECT_EQ(FileNameType[0].fileName, "name.txt");
}

// An answer holding a NUL or another control character is never taken: the system would see a path
// cut short at the NUL (a motif file, say, where the folder was meant). Prompts that re-ask do so
// with their message; the input folder and the file names end the run before anything is read.
TEST_F(Dialogue, ControlCharactersInAnswersAreRefused) {
  using namespace std::string_literals;
  const std::string nul = "\0"s;
  // Re-asked: a word answer, a choice, the format and the output folder (a tab is fine in a folder).
  testing::writeFile(dir.path() + "with\ttab/.keep", "");
  const std::string input = "1\n5" + nul + " 5\n3\n0.75\n1\nin/\na.txt\n4" + nul + "\n4\n14\nY" + nul +
                            "\nY\nN\nAll\nText\x01\nText\n" + dir.path() + nul + "x\n" + dir.path() +
                            "with\ttab/\n";
  const auto lines = run(input);
  auto count = [&](const std::string& text) { return std::count(lines.begin(), lines.end(), text); };
  EXPECT_EQ(count("Invalid input. Please, re-enter."), 2);
  EXPECT_EQ(count("Invalid file format. Please, re-enter:"), 1);
  EXPECT_EQ(count("Invalid output file format. Please, re-enter."), 1);
  EXPECT_EQ(count("Invalid path. Please, re-enter."), 1);  // the folder with a tab is taken

  struct Case {
    const char* what;
    std::string answers;
  };
  const Case ends[] = {
      {"NUL in the input folder", "1\n5\n3\n0.75\n1\n/home/me/motifs.txt" + nul + "motifs/\n"},
      {"carriage return in the input folder", "1\n5\n3\n0.75\n1\n/home/me/motifs/\r\n"},
      {"NUL in a file name", "1\n5\n3\n0.75\n1\n/home/me/motifs/\na.txt" + nul + "b\n"},
      {"tab in a file name", "1\n5\n3\n0.75\n1\n/home/me/motifs/\na\tb.txt\n"},
  };
  for (const Case& c : ends) {
    resetGlobals();
    std::istringstream in(c.answers);
    std::ostringstream out;
    ::testing::internal::CaptureStdout();
    int status = 0;
    try {
      runDialogue(in, out);
    } catch (const RunEnded& ended) {
      status = ended.status;
    }
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Invalid input path or file name.\n") << c.what;
    EXPECT_EQ(status, 1) << c.what;
    EXPECT_TRUE(FileNameType.empty()) << c.what;
  }
}

TEST_F(Dialogue, EndOfInputEndsTheRunWithStatusOne) {
  const std::string full = answers(dir.path());
  // Cut the answers at several places: before a word answer, inside the file list, before the last answer.
  for (std::size_t cut : {std::size_t{0}, std::size_t{2}, full.find("a.txt"), full.find("Text")}) {
    resetGlobals();
    std::istringstream in(full.substr(0, cut));
    std::ostringstream out;
    try {
      runDialogue(in, out);
      ADD_FAILURE() << "dialogue finished on cut input at " << cut;
    } catch (const RunEnded& ended) {
      EXPECT_EQ(ended.status, 1);
    }
  }
  // Endless refused answers still end when the input does.
  std::istringstream in("abc\nabc\nabc\n");
  std::ostringstream out;
  EXPECT_THROW(runDialogue(in, out), RunEnded);
}

}  // namespace
}  // namespace korvelan
