#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/globals.h"
#include "input/input.h"
#include "input_helpers.h"

namespace korvelan {
namespace {

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
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    testing::TempDir dir;
    testing::writeFile(dir.path() + "motifs/a.txt", kFileA);
    testing::writeFile(dir.path() + "motifs/one.txt", ">only\nACGT\n");
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
