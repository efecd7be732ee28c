// The distance-matrix CSV files, the R scripts and their runs: with a stand-in Rscript on the search
// path for the exact texts, and with the real interpreter for the images.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/globals.h"
#include "core/interrupts.h"
#include "core/utilities.h"
#include "support/test_support.h"
#include "tree/tree.h"

namespace korvelan {
namespace {

using testing::fileExists;
using testing::readFile;
using testing::TempDir;
using testing::writeFile;

struct TreeCase {
  const char* name;
  void (*draw)();
  distanceTable* matrix;
  const char* letter;
  const char* csv;
  const char* script;
  const char* image;
};

std::vector<TreeCase> treeCases() {
  return {
      {"all", getMotifCluster, &distanceMatrix, "I", "Distance_Matrix.csv", "Plot_File.R", "Motif_Tree.png"},
      {"global", getMotifClusterGlobal, &distanceMatrixGlobal, "G", "Global_Matching_Distance_Matrix.csv",
       "Global_Matching_Plot_File.R", "Global_Matching_Motif_Tree.png"},
  };
}

std::string expectedScript(const std::string& csvLiteral, const std::string& imageLiteral) {
  return "options(warn = -1)\n"
         "suppressMessages(require(ggplot2))\n"
         "suppressMessages(require(ggdendro))\n"
         "suppressMessages(require(dendextend))\n"
         "suppressMessages(library(ape))\n"
         "\n"
         "tb = read.csv('" +
         csvLiteral +
         "', row.names = 1)\n"
         "d = as.dist(tb)\n"
         "hc <- as.dendrogram(hclust(d))\n"
         "colors = c('red', 'blue', 'green4', 'black', 'brown', 'magenta', 'purple', 'darkorange', "
         "'deepskyblue', 'darkgreen')\n"
         "clus10 = cutree(hc, min(10, attr(d, 'Size')))\n"
         "png('" +
         imageLiteral +
         "', width=700, height=700)\n"
         "plot(as.phylo(hc), type = 'fan', tip.color = colors[clus10], cex = 0.7, label.offset = 0.05)\n"
         "invisible(dev.off())\n"
         "options(warn = 0)\n";
}

// A distance table over the given names: 0 on the diagonal, (i + j) / 10 elsewhere (i, j from 1), as
// read back from its six-digit text.
distanceTable tableOf(const std::vector<std::string>& names) {
  const std::size_t n = names.size();
  distanceTable table{.filled = true, .labels = names, .cells = std::vector<double>(n * n, 0.0)};
  for (std::size_t i = 1; i <= n; ++i)
    for (std::size_t j = 1; j <= n; ++j)
      if (i != j) table.at(i - 1, j - 1) = sixDigitValue(static_cast<double>(i + j) / 10.0);
  return table;
}

class TreeDrawingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    resetGlobals();
    outputPath = dir.path();
    jobID = "J_TEST_";
    oldPath = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";
    useStandIn(0);
    helpers.emplace();
  }
  void TearDown() override {
    helpers.reset();
    setenv("PATH", oldPath.c_str(), 1);
    resetGlobals();
  }

  // An Rscript that notes the script path it was given and ends with the status.
  void useStandIn(int status) {
    writeFile(bin.path() + "Rscript",
              "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + log() + "'\nexit " + std::to_string(status) + "\n");
    std::filesystem::permissions(bin.path() + "Rscript", std::filesystem::perms::owner_all);
    setenv("PATH", (bin.path() + ":" + oldPath).c_str(), 1);
  }
  std::string log() const { return bin.path() + "calls.log"; }
  // The copy of the script that Rscript is given, in the run's private folder.
  std::string privateScript(const std::string& name) const {
    return runTemporaryFolder() + "/J_TEST_" + name;
  }

  // Runs a stage that must end the run: returns what it printed.
  std::string expectRunEnds(void (*stage)()) {
    ::testing::internal::CaptureStdout();
    int status = -1;
    try {
      stage();
    } catch (const RunEnded& ended) {
      status = ended.status;
    }
    EXPECT_EQ(status, 1);
    return ::testing::internal::GetCapturedStdout();
  }

  TempDir dir;
  TempDir bin;
  std::string oldPath;
  std::optional<HelperScope> helpers;  // the run's private folder and interrupt handling
};

TEST_F(TreeDrawingTest, WorkedExampleGivesNumberedLabelsTheCsvAndTheScript) {
  for (const TreeCase& c : treeCases()) {
    SCOPED_TRACE(c.name);
    const std::string L = c.letter;
    *c.matrix = {.filled = true, .labels = {"A", "B"}, .cells = {0.0, 0.25, 0.25, 0.0}};
    c.draw();
    EXPECT_EQ(readFile(dir.path() + "J_TEST_" + c.csv),
              "," + L + "1_A," + L + "2_B,\n" + L + "1_A,0,0.25,\n" + L + "2_B,0.25,0,\n");
    EXPECT_EQ(c.matrix->labels, (std::vector<std::string>{L + "1_A", L + "2_B"}));
    const std::string base = dir.path() + "J_TEST_";
    EXPECT_EQ(readFile(base + c.script), expectedScript(base + c.csv, base + c.image));
    EXPECT_EQ(readFile(log()), privateScript(c.script) + "\n");
    EXPECT_FALSE(fileExists(privateScript(c.script)));
    std::filesystem::remove(log());
  }
}

TEST_F(TreeDrawingTest, LabelsCountOnAndOddCellsAreQuoted) {
  std::vector<std::string> names(11, "M");
  names[1] = "a,b";
  names[2] = "say \"hi\"";
  names[3] = "two\nlines";
  names[4] = "cr\rend";
  distanceMatrix = tableOf(names);
  distanceMatrix.at(0, 1) = distanceMatrix.at(1, 0) = 4.0;  // a default distance: a whole number
  getMotifCluster();
  const std::string csv = readFile(dir.path() + "J_TEST_Distance_Matrix.csv");
  const std::vector<std::string> lines = testing::splitLines(csv);
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[0], ",I1_M,\"I2_a,b\",\"I3_say \"\"hi\"\"\",\"I4_two");
  EXPECT_EQ(lines[1], "lines\",\"I5_cr\rend\",I6_M,I7_M,I8_M,I9_M,I10_M,I11_M,");
  EXPECT_NE(csv.find("\nI1_M,0,4,0.4,0.5,0.6,0.7,0.8,0.9,1,1.1,1.2,\n\"I2_a,b\",4,0,"), std::string::npos);
  EXPECT_NE(csv.find("\nI11_M,1.2,1.3,1.4,1.5,1.6,1.7,1.8,1.9,2,2.1,0,\n"), std::string::npos);
  EXPECT_EQ(csv.back(), '\n');
  EXPECT_EQ(distanceMatrix.labels[10], "I11_M");
}

// R cannot cluster fewer than two motifs: the CSV file and the script are written all the same, R
// is not started, and the error stream says why.
TEST_F(TreeDrawingTest, FewerThanTwoMotifsAreWrittenButNotDrawn) {
  const struct {
    const char* what;
    distanceTable table;
    const char* csv;
  } cases[] = {
      {"no motif", {.filled = true, .labels = {}, .cells = {}}, ",\n"},
      {"one motif", {.filled = true, .labels = {"A"}, .cells = {0.0}}, ",G1_A,\nG1_A,0,\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    distanceMatrixGlobal = c.table;
    ::testing::internal::CaptureStderr();
    getMotifClusterGlobal();
    const std::string errors = ::testing::internal::GetCapturedStderr();
    const std::string base = dir.path() + "J_TEST_Global_Matching_";
    EXPECT_EQ(readFile(base + "Distance_Matrix.csv"), c.csv);
    EXPECT_EQ(readFile(base + "Plot_File.R"),
              expectedScript(base + "Distance_Matrix.csv", base + "Motif_Tree.png"));
    EXPECT_FALSE(fileExists(log()));
    EXPECT_FALSE(fileExists(base + "Motif_Tree.png"));
    EXPECT_EQ(errors, "Motif tree not drawn: its distance matrix " + base +
                          "Distance_Matrix.csv holds fewer than two motifs.\n");
  }
}

// Quotes and backslashes in the output folder stay inside the R literals, and the path reaches
// Rscript as one word.
TEST_F(TreeDrawingTest, OddOutputFolderStaysOnePathForRAndTheShell) {
  outputPath = dir.path() + "it's a \\dir $HOME/";
  std::filesystem::create_directories(outputPath);
  distanceMatrix = tableOf({"A", "B"});
  getMotifCluster();
  const std::string literal = dir.path() + "it\\'s a \\\\dir $HOME/J_TEST_";
  EXPECT_EQ(readFile(outputPath + "J_TEST_Plot_File.R"),
            expectedScript(literal + "Distance_Matrix.csv", literal + "Motif_Tree.png"));
  EXPECT_EQ(readFile(log()), privateScript("Plot_File.R") + "\n");
}

TEST_F(TreeDrawingTest, FailingOrMissingRscriptIsReportedAndTheRunGoesOn) {
  const struct {
    const char* what;
    int status;  // -1: no Rscript on the search path
    const char* note;
  } cases[] = {{"succeeds", 0, ""}, {"fails", 3, "status 3"}, {"missing", -1, "status 127"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.status >= 0)
      useStandIn(c.status);
    else
      setenv("PATH", dir.path().c_str(), 1);
    distanceMatrix = tableOf({"A", "B"});
    ::testing::internal::CaptureStderr();
    getMotifCluster();
    const std::string printed = ::testing::internal::GetCapturedStderr();
    if (c.status == 0) {
      EXPECT_EQ(printed, "");
    } else {
      EXPECT_NE(printed.find(std::string("Motif tree not drawn: Rscript ended with ") + c.note + " on " +
                             dir.path() + "J_TEST_Plot_File.R\n"),
                std::string::npos)
          << printed;
    }
  }
}

TEST_F(TreeDrawingTest, UnopenableFilesEndTheRun) {
  distanceMatrix = tableOf({"A", "B"});
  outputPath = dir.path() + "no-such-folder/";
  EXPECT_EQ(expectRunEnds(getMotifCluster), "Invalid output path or output filename.");
  EXPECT_EQ(distanceMatrix.labels[0], "I1_A");  // labelled before the file was tried

  // The script cannot be created: the CSV file stays written.
  outputPath = dir.path();
  distanceMatrixGlobal = tableOf({"A", "B"});
  std::filesystem::create_directories(dir.path() + "J_TEST_Global_Matching_Plot_File.R");
  EXPECT_EQ(expectRunEnds(getMotifClusterGlobal), "Invalid output path or output filename.");
  EXPECT_EQ(readFile(dir.path() + "J_TEST_Global_Matching_Distance_Matrix.csv").substr(0, 10), ",G1_A,G2_B");
  EXPECT_FALSE(fileExists(log()));
}

// Bytes that are not well-formed UTF-8 reach the CSV as "?" each, so that R reads the file in any
// locale; well-formed names, of any length of character, stay as they are. (Which bytes are
// well-formed is the UTF-8 rule's own test.)
TEST_F(TreeDrawingTest, LabelsThatAreNotUtf8AreWrittenSoRReadsThem) {
  const struct {
    const char* what;
    std::string name;
    std::string written;
  } cases[] = {
      {"Latin-1 e acute", "caf\xE9", "caf?"},
      {"two, three and four bytes", "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80",
       "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"},
      {"surrogate between letters", "a\xED\xA0\x80x", "a???x"},
      {"cut short at the end", "x\xE2\x82", "x??"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    distanceMatrix = tableOf({c.name, "B"});
    getMotifCluster();
    EXPECT_EQ(testing::splitLines(readFile(dir.path() + "J_TEST_Distance_Matrix.csv")).at(0),
              ",I1_" + c.written + ",I2_B,");
  }
}

// R's front end splits its script's path at a tab. R runs the copy in the private folder: from a
// result folder whose path holds a tab it gets the copy's path whole (the script kept in the result
// folder names its files by full paths, as the script it runs does); from a private folder whose path
// holds one, Rscript is started in that folder with the copy's name, and the script names its files
// from the working directory.
TEST_F(TreeDrawingTest, FolderWithATabReachesRscriptWhole) {
  writeFile(bin.path() + "Rscript", "#!/bin/sh\nprintf '%s|%s\\n' \"$(pwd)\" \"$*\" >> '" + log() + "'\n");
  std::filesystem::permissions(bin.path() + "Rscript", std::filesystem::perms::owner_all);
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  const std::string here = std::filesystem::current_path().string();
  distanceMatrix = tableOf({"A", "B"});

  outputPath = dir.path() + "tab\there/";
  std::filesystem::create_directories(outputPath);
  getMotifCluster();
  EXPECT_EQ(readFile(log()), here + "|" + privateScript("Plot_File.R") + "\n");
  EXPECT_EQ(readFile(outputPath + "J_TEST_Plot_File.R"),
            expectedScript(outputPath + "J_TEST_Distance_Matrix.csv", outputPath + "J_TEST_Motif_Tree.png"));

  // A relative output folder with a tab: the script names its files from the working directory.
  std::filesystem::remove(log());
  std::filesystem::create_directories("relative\tone");
  outputPath = "relative\tone/";
  getMotifCluster();
  EXPECT_EQ(readFile(log()), here + "|" + privateScript("Plot_File.R") + "\n");
  std::string absolute = dir.path() + "relative\tone/J_TEST_";
  EXPECT_EQ(readFile(dir.path() + "relative\tone/J_TEST_Plot_File.R"),
            expectedScript(absolute + "Distance_Matrix.csv", absolute + "Motif_Tree.png"));

  // A private folder with a tab, a relative output folder without one.
  std::filesystem::remove(log());
  helpers.reset();
  const char* tmpdir = std::getenv("TMPDIR");
  const std::string savedTmpdir = tmpdir != nullptr ? tmpdir : "";
  std::filesystem::create_directories(dir.path() + "temp\tfolder");
  setenv("TMPDIR", (dir.path() + "temp\tfolder").c_str(), 1);
  helpers.emplace();
  std::filesystem::create_directories("plain");
  outputPath = "plain/";
  getMotifCluster();
  EXPECT_EQ(readFile(log()), runTemporaryFolder() + "|J_TEST_Plot_File.R\n");
  absolute = dir.path() + "plain/J_TEST_";
  EXPECT_EQ(readFile(dir.path() + "plain/J_TEST_Plot_File.R"),
            expectedScript(absolute + "Distance_Matrix.csv", absolute + "Motif_Tree.png"));
  helpers.reset();
  if (tmpdir != nullptr)
    setenv("TMPDIR", savedTmpdir.c_str(), 1);
  else
    unsetenv("TMPDIR");
  std::filesystem::current_path(before);
}

// Someone who may write in the result folder renames an R script of their own onto the tree's
// script once the run has written it: Rscript still gets the run's own text, from the run's private
// folder.
TEST_F(TreeDrawingTest, ScriptSwappedInTheResultFolderIsNeverRun) {
  const std::string kept = dir.path() + "J_TEST_Plot_File.R";
  const std::string planted = "writeLines('planted', '" + bin.path() + "ran')\n";
  writeFile(bin.path() + "planted.R", planted);
  writeFile(bin.path() + "Rscript", "#!/bin/sh\ncp '" + bin.path() + "planted.R' '" + bin.path() +
                                        "planted.tmp' && mv '" + bin.path() + "planted.tmp' '" + kept +
                                        "'\nprintf '%s\\n' \"$1\" >> '" + log() + "'\ncp \"$1\" '" +
                                        bin.path() + "seen.R'\n");
  std::filesystem::permissions(bin.path() + "Rscript", std::filesystem::perms::owner_all);
  distanceMatrix = tableOf({"A", "B"});
  getMotifCluster();
  ASSERT_FALSE(runTemporaryFolder().empty());
  EXPECT_EQ(std::filesystem::status(runTemporaryFolder()).permissions(), std::filesystem::perms::owner_all);
  EXPECT_EQ(readFile(log()), privateScript("Plot_File.R") + "\n");
  const std::string base = dir.path() + "J_TEST_";
  EXPECT_EQ(readFile(bin.path() + "seen.R"),
            expectedScript(base + "Distance_Matrix.csv", base + "Motif_Tree.png"));
  EXPECT_EQ(readFile(kept), planted);
}

// Without a copy of its own to run (no private folder, or the copy cannot be made) R is not started;
// the CSV file and the script stay and the error stream says why.
TEST_F(TreeDrawingTest, NoPrivateCopyMeansNoDrawing) {
  for (const char* what : {"copy cannot be made", "no private folder"}) {
    SCOPED_TRACE(what);
    if (std::string(what) == "no private folder")
      helpers.reset();
    else
      std::filesystem::create_directories(privateScript("Plot_File.R"));  // a folder where the copy would go
    distanceMatrix = tableOf({"A", "B"});
    ::testing::internal::CaptureStderr();
    getMotifCluster();
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "Motif tree not drawn: " + dir.path() +
                  "J_TEST_Plot_File.R could not be copied to the run's private temporary folder, so Rscript "
                  "was not run.\n");
    EXPECT_FALSE(fileExists(log()));
    EXPECT_EQ(testing::listDir(dir.path()),
              (std::vector<std::string>{"J_TEST_Distance_Matrix.csv", "J_TEST_Plot_File.R"}));
  }
}

// An Rscript that leaves a child of its own running, one that ignores SIGTERM, takes it along when
// it ends.
TEST_F(TreeDrawingTest, NothingRscriptStartedOutlivesIt) {
  writeFile(bin.path() + "Rscript",
            "#!/bin/sh\n(trap '' TERM; exec sleep 60) & echo $! > '" + bin.path() + "child'\n");
  std::filesystem::permissions(bin.path() + "Rscript", std::filesystem::perms::owner_all);
  distanceMatrix = tableOf({"A", "B"});
  getMotifCluster();
  const std::string child = readFile(bin.path() + "child");
  ASSERT_FALSE(child.empty());
  EXPECT_TRUE(testing::eventually([&] { return testing::processGone(std::stoi(child)); }, 5));
}

// An Rscript that never ends is stopped at the step's limit with all it started; the CSV file and the
// script stay, the image's placeholder goes, and the run goes on.
TEST_F(TreeDrawingTest, RscriptPastItsLimitIsStoppedAndItsFilesKept) {
  treeTimeLimit = 1;
  treeTimeLimitPerMiB = 0;
  writeFile(bin.path() + "Rscript", "#!/bin/sh\nsleep 300 & echo $! > '" + bin.path() + "child'\nwait\n");
  std::filesystem::permissions(bin.path() + "Rscript", std::filesystem::perms::owner_all);
  distanceMatrix = tableOf({"A", "B"});
  ::testing::internal::CaptureStderr();
  const auto begun = std::chrono::steady_clock::now();
  getMotifCluster();
  EXPECT_LT(std::chrono::steady_clock::now() - begun, std::chrono::seconds(20));
  EXPECT_EQ(
      ::testing::internal::GetCapturedStderr(),
      "Motif tree not drawn: the tree step was stopped after 1 second, its time limit, while Rscript ran " +
          dir.path() + "J_TEST_Plot_File.R; the CSV file and the script are kept.\n");
  EXPECT_EQ(testing::listDir(dir.path()),
            (std::vector<std::string>{"J_TEST_Distance_Matrix.csv", "J_TEST_Plot_File.R"}));
  const std::string child = readFile(bin.path() + "child");
  ASSERT_FALSE(child.empty());
  EXPECT_TRUE(testing::eventually([&] { return testing::processGone(std::stoi(child)); }));
}

// A PNG of the given size: signature, then the IHDR chunk with width and height.
void expectPng(const std::string& path, unsigned width, unsigned height) {
  const std::string png = readFile(path);
  ASSERT_GE(png.size(), 24u) << path;
  EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
  EXPECT_EQ(png.substr(12, 4), "IHDR");
  auto word = [&](std::size_t at) {
    unsigned value = 0;
    for (std::size_t i = 0; i < 4; ++i) value = value << 8 | static_cast<unsigned char>(png[at + i]);
    return value;
  };
  EXPECT_EQ(word(16), width);
  EXPECT_EQ(word(20), height);
}

// The real interpreter: below ten motifs the tree is cut into fewer groups, odd names survive the
// CSV round trip, and the image is drawn at 700 x 700, also from a folder with a quote in its name.
TEST_F(TreeDrawingTest, RealRDrawsTheTree) {
  setenv("PATH", oldPath.c_str(), 1);
  ASSERT_EQ(std::system("command -v Rscript >/dev/null 2>&1"), 0)
      << "Rscript missing: run scripts/install-deps";
  struct Case {
    const char* folder;
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {"five's/", {"A", "a,b", "say \"hi\"", "two\nlines", "A"}},
      {"twelve/", std::vector<std::string>(12, "MOTIF")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.folder);
    outputPath = dir.path() + c.folder;
    std::filesystem::create_directories(outputPath);
    distanceMatrix = tableOf(c.names);
    getMotifCluster();
    expectPng(outputPath + "J_TEST_Motif_Tree.png", 700, 700);
  }

  // A name that is not UTF-8 in a UTF-8 locale, in a folder whose name holds a tab.
  {
    SCOPED_TRACE("Latin-1 name, tab in the folder");
    const char* locale = std::getenv("LC_ALL");
    const std::string savedLocale = locale != nullptr ? locale : "";
    setenv("LC_ALL", "C.UTF-8", 1);
    outputPath = dir.path() + "tab\there/";
    std::filesystem::create_directories(outputPath);
    distanceMatrix = tableOf({"caf\xE9", "B", "C"});
    ::testing::internal::CaptureStderr();
    getMotifCluster();
    const std::string errors = ::testing::internal::GetCapturedStderr();
    if (locale != nullptr)
      setenv("LC_ALL", savedLocale.c_str(), 1);
    else
      unsetenv("LC_ALL");
    EXPECT_EQ(errors, "");
    expectPng(outputPath + "J_TEST_Motif_Tree.png", 700, 700);
  }

  // R reads the odd labels back exactly as numbered.
  writeFile(dir.path() + "read.R", "tb = read.csv('" + dir.path() +
                                       "five\\'s/J_TEST_Distance_Matrix.csv', row.names = 1)\n"
                                       "cat(rownames(tb), sep = '|')\n");
  ASSERT_EQ(std::system(("Rscript " + dir.path() + "read.R > " + dir.path() + "labels.txt").c_str()), 0);
  EXPECT_EQ(readFile(dir.path() + "labels.txt"), "I1_A|I2_a,b|I3_say \"hi\"|I4_two\nlines|I5_A");
}

}  // namespace
}  // namespace korvelan
