#include <gtest/gtest.h>
#include <omp.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/globals.h"
#include "core/utilities.h"
#include "reports/framing.h"
#include "reports/logos.h"
#include "support/test_support.h"

namespace korvelan {
namespace {

using testing::fileExists;
using testing::listDir;
using testing::readFile;
using testing::splitLines;
using testing::TempDir;
using testing::writeFile;

const std::string kJob = "J_2026-12-10_4321_";

const char* const kPlainOptions =
    " --format jpeg --sequence-type dna --units bits --composition none --first-index 1 --size medium "
    "--stacks-per-line 80 --show-xaxis YES --show-yaxis YES --ticmarks 1.0 --errorbars NO --stack-width 20 "
    "--resolution 96 --scale-width yes --color-scheme classic --color green A 'Adenine' --color blue C "
    "'Cytosine' --color orange G 'Guanine' --color red T 'Thymine' < ";
const char* const kRevCompOptions =
    " --format jpeg --sequence-type dna --units bits --composition none --first-index 1 --revcomp --size medium "
    "--stacks-per-line 80 --show-xaxis YES --show-yaxis YES --ticmarks 1.0 --errorbars NO --stack-width 20 "
    "--resolution 96 --scale-width yes --color-scheme classic --color green A 'Adenine' --color blue C "
    "'Cytosine' --color orange G 'Guanine' --color red T 'Thymine' < ";

// The arguments the logo program receives, one per line, after the shell has split the command.
std::string expectedArguments(bool revComp) {
  std::string args = "--format\njpeg\n--sequence-type\ndna\n--units\nbits\n--composition\nnone\n--first-index\n1\n";
  if (revComp) args += "--revcomp\n";
  args +=
      "--size\nmedium\n--stacks-per-line\n80\n--show-xaxis\nYES\n--show-yaxis\nYES\n--ticmarks\n1.0\n"
      "--errorbars\nNO\n--stack-width\n20\n--resolution\n96\n--scale-width\nyes\n--color-scheme\nclassic\n"
      "--color\ngreen\nA\nAdenine\n--color\nblue\nC\nCytosine\n--color\norange\nG\nGuanine\n--color\nred\nT\n"
      "Thymine\n";
  return args;
}

data motif(std::int64_t id, motifMatrix matrix) {
  data m;
  m.motifID = id;
  m.matrix = std::move(matrix);
  return m;
}

// A tool root with a stand-in logo program that records each call (arguments and standard input) in
// the log folder, appends the image's name to a sequence log, and writes a small fake image.
class LogoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    resetGlobals();
    jobID = kJob;
    outputFileFormat = "HTML";
    useRoot(dir.path());
  }
  void TearDown() override {
    omp_set_num_threads(savedThreads);
    resetGlobals();
  }

  void useRoot(const std::string& root) {
    inputPath = root + "motifs/";
    outputPath = root + "result/";
    std::filesystem::create_directories(outputPath);
    writeFile(root + "weblogo-3.4/weblogo",
              "#!/bin/bash\n"
              "image=$(readlink /proc/$$/fd/1)\n"
              "name=$(basename \"$image\")\n"
              "{ for a in \"$@\"; do printf '%s\\n' \"$a\"; done; printf -- '--stdin--\\n'; cat; } > '" +
                  logs.path() + "'\"$name.call\"\n"
                  "printf '%s\\n' \"$name\" >> '" + logs.path() + "sequence'\n"
                  "printf 'JPEG of %s\\n' \"$name\"\n");
    chmod((root + "weblogo-3.4/weblogo").c_str(), 0755);
  }
  std::string logoFolder() const { return outputPath + kJob + "image/"; }
  std::string call(const std::string& image) const { return readFile(logs.path() + image + ".call"); }
  std::vector<std::string> sequence() const { return splitLines(readFile(logs.path() + "sequence")); }

  TempDir dir;
  TempDir logs;
  int savedThreads = omp_get_max_threads();
};

TEST_F(LogoTest, CommandLinesAreExact) {
  inputPath = "/opt/tool/motifs/";
  const std::string in = "/opt/tool/result/" + kJob + "image/" + kJob + "M7.txt";
  const std::string out = "/opt/tool/result/" + kJob + "image/" + kJob + "M7";
  EXPECT_EQ(logoCommand(in, out + ".jpeg", false),
            "/opt/tool/weblogo-3.4/weblogo" + std::string(kPlainOptions) + in + " > " + out + ".jpeg");
  EXPECT_EQ(logoCommand(in, out + "RevComp.jpeg", true),
            "/opt/tool/weblogo-3.4/weblogo" + std::string(kRevCompOptions) + in + " > " + out + "RevComp.jpeg");

  // Without a tool root the program is looked up from the working folder.
  inputPath = "";
  EXPECT_EQ(logoCommand("a+b-c_d.txt", "x.jpeg", false), "weblogo-3.4/weblogo" + std::string(kPlainOptions) +
                                                              "a+b-c_d.txt > x.jpeg");

  // Paths with blanks or shell characters are quoted as single words; the options stay as they are.
  inputPath = "/my tools/it's $HOME/motifs/";
  EXPECT_EQ(logoCommand("/r d/in;1.txt", "/r d/out`x`.jpeg", true),
            "'/my tools/it'\\''s $HOME/weblogo-3.4/weblogo'" + std::string(kRevCompOptions) +
                "'/r d/in;1.txt' > '/r d/out`x`.jpeg'");
}

TEST_F(LogoTest, ImageTagsPointIntoTheLogoFolder) {
  EXPECT_EQ(logoImageTag('M', 12, false),
            "<img src = '" + kJob + "image/" + kJob +
                "M12.jpeg'name = 'Image12' align = 'left' width = '350' height = '100' border = '0'> ");
  EXPECT_EQ(logoImageTag('D', 7, true),
            "<img src = '" + kJob + "image/" + kJob +
                "D7RevComp.jpeg'name = 'ImageRevComp7' align = 'left' width = '350' height = '100' border = '0'> ");
}

TEST_F(LogoTest, EveryMotifGetsTwoImagesAndItsInputFileGoes) {
  Datasets = {
      motif(1, {{0.5, 0, 0.5, 0}, {1, 0, 0, 0}, {1.0 / 3, 1.0 / 3, 1.0 / 3, 0}}),
      motif(2, {{0.0001, 0.00001, 0.123456789, 0.876533211}}),
      motif(3, {}),  // no rows: the header line alone, and both commands still run
  };
  const std::string inputs[] = {
      "PO A C G T \n1 0.5 0 0.5 0 \n2 1 0 0 0 \n3 0.333333 0.333333 0.333333 0 \n",
      "PO A C G T \n1 0.0001 1e-05 0.123457 0.876533 \n",
      "PO A C G T \n",
  };
  for (int threads : {1, 4}) {
    SCOPED_TRACE(threads);
    omp_set_num_threads(threads);
    std::filesystem::remove_all(logoFolder());
    std::filesystem::remove(logs.path() + "sequence");

    writeMotif();

    std::vector<std::string> expected;
    for (int k = 1; k <= 3; ++k) {
      const std::string base = kJob + "M" + std::to_string(k);
      expected.push_back(base + "RevComp.jpeg");
      expected.push_back(base + ".jpeg");
      EXPECT_EQ(readFile(logoFolder() + base + ".jpeg"), "JPEG of " + base + ".jpeg\n");
      EXPECT_EQ(readFile(logoFolder() + base + "RevComp.jpeg"), "JPEG of " + base + "RevComp.jpeg\n");
      EXPECT_EQ(call(base + ".jpeg"), expectedArguments(false) + "--stdin--\n" + inputs[k - 1]);
      EXPECT_EQ(call(base + "RevComp.jpeg"), expectedArguments(true) + "--stdin--\n" + inputs[k - 1]);
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(listDir(logoFolder()), expected);  // no input file is left

    // Six calls; each motif's plain image is drawn before its reverse complement.
    const std::vector<std::string> calls = sequence();
    ASSERT_EQ(calls.size(), 6u);
    for (int k = 1; k <= 3; ++k) {
      const std::string base = kJob + "M" + std::to_string(k);
      const auto plain = std::find(calls.begin(), calls.end(), base + ".jpeg");
      const auto rev = std::find(calls.begin(), calls.end(), base + "RevComp.jpeg");
      ASSERT_TRUE(plain != calls.end() && rev != calls.end());
      EXPECT_LT(plain, rev);
    }
    if (threads == 1) {
      EXPECT_EQ(calls, (std::vector<std::string>{kJob + "M1.jpeg", kJob + "M1RevComp.jpeg", kJob + "M2.jpeg",
                                                 kJob + "M2RevComp.jpeg", kJob + "M3.jpeg", kJob + "M3RevComp.jpeg"}));
    }
  }
}

TEST_F(LogoTest, InputAndDatabaseMotifsShareTheFolderUnderTheirOwnPrefix) {
  Datasets = {motif(7, {{1, 0, 0, 0}})};
  DatabaseDatasets = {motif(7, {{0, 0, 0, 1}})};
  writeMotif();
  writeDatabaseMotif();
  EXPECT_EQ(listDir(logoFolder()), (std::vector<std::string>{kJob + "D7.jpeg", kJob + "D7RevComp.jpeg",
                                                             kJob + "M7.jpeg", kJob + "M7RevComp.jpeg"}));
  EXPECT_EQ(call(kJob + "D7.jpeg"), expectedArguments(false) + "--stdin--\nPO A C G T \n1 0 0 0 1 \n");
  EXPECT_EQ(call(kJob + "M7.jpeg"), expectedArguments(false) + "--stdin--\nPO A C G T \n1 1 0 0 0 \n");

  writeDatabaseMotifImage({{0.25, 0.25, 0.25, 0.25}}, 9);
  EXPECT_EQ(call(kJob + "D9RevComp.jpeg"), expectedArguments(true) + "--stdin--\nPO A C G T \n1 0.25 0.25 0.25 0.25 \n");
  EXPECT_FALSE(fileExists(logoFolder() + kJob + "D9.txt"));
}

TEST_F(LogoTest, TextFormatMakesNoLogo) {
  outputFileFormat = "Text";
  Datasets = {motif(1, {{1, 0, 0, 0}})};
  DatabaseDatasets = {motif(1, {{1, 0, 0, 0}})};
  writeMotif();
  writeDatabaseMotif();
  EXPECT_FALSE(fileExists(logoFolder()));
  EXPECT_FALSE(fileExists(logs.path() + "sequence"));
}

TEST_F(LogoTest, MissingOutputFolderEndsTheRunBeforeAnyDrawing) {
  outputPath = dir.path() + "gone/";
  Datasets = {motif(1, {{1, 0, 0, 0}}), motif(2, {{0, 1, 0, 0}})};
  ::testing::internal::CaptureStdout();
  int status = -1;
  try {
    writeMotif();
  } catch (const RunEnded& ended) {
    status = ended.status;
  }
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Invalid output path or output filename.");
  EXPECT_EQ(status, 1);
  EXPECT_FALSE(fileExists(logs.path() + "sequence"));
}

// A logo that could not be drawn is never silent: after the drawing one warning on the error stream
// says how many images are missing and where; the run goes on, and no input file is left behind.
TEST_F(LogoTest, ImagesThatCouldNotBeDrawnAreCountedInOneWarning) {
  struct Case {
    const char* what;
    std::string program;  // the stand-in's script; the motifs are one with a row and one without
    int missing;
  };
  const Case cases[] = {
      {"program fails", "#!/bin/sh\nexit 3\n", 4},
      {"program writes, then fails", "#!/bin/sh\necho partial\nexit 1\n", 4},
      {"no image for a motif without positions",
       "#!/bin/sh\nread header\nif read row; then echo image; else exit 1; fi\n", 2},
      {"program missing", "", 4},
  };
  Datasets = {motif(1, {{1, 0, 0, 0}}), motif(2, {})};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove_all(logoFolder());
    const std::string program = dir.path() + "weblogo-3.4/weblogo";
    std::filesystem::remove(program);
    if (!c.program.empty()) {
      writeFile(program, c.program);
      chmod(program.c_str(), 0755);
    }
    ::testing::internal::CaptureStderr();
    writeMotif();
    const std::string err = ::testing::internal::GetCapturedStderr();
    const std::string warning = "Warning: " + std::to_string(c.missing) +
                                " of 4 logo images could not be drawn in " + logoFolder() +
                                " (the logo program failed, ran too long or wrote nothing).\n";
    EXPECT_NE(err.find(warning), std::string::npos) << err;
    EXPECT_EQ(err.find("Warning", err.find(warning) + 1), std::string::npos) << "one warning only";
    // Only the images that were drawn stay: no input file, nothing empty or written in part.
    std::vector<std::string> drawn;
    if (c.missing == 2) drawn = {kJob + "M1.jpeg", kJob + "M1RevComp.jpeg"};
    EXPECT_EQ(listDir(logoFolder()), drawn);
  }
}

// A logo program that hangs is stopped after the time limit (with everything it started), what it
// wrote of the image goes, and the run goes on. From the third command stopped so, the run starts no
// more logo commands, in this batch or a later one, and the warning says why.
TEST_F(LogoTest, HangingProgramIsStoppedAndGivenUpOnAfterThreeCommands) {
  writeFile(dir.path() + "weblogo-3.4/weblogo",
            "#!/bin/sh\necho started >> '" + logs.path() + "starts'\necho part of an image\nsleep 60 &\nwait\n");
  logoTimeLimit = 1;
  omp_set_num_threads(1);
  Datasets = {motif(1, {{1, 0, 0, 0}}), motif(2, {{0, 1, 0, 0}}), motif(3, {{0, 0, 1, 0}})};
  ::testing::internal::CaptureStderr();
  writeMotif();
  std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("Warning: 6 of 6 logo images could not be drawn in " + logoFolder() +
                     ": 3 were not tried, since 3 logo commands had been stopped at their time limit of 1 "
                     "second and no more are started in this run; 3 because the logo program failed, ran too "
                     "long or wrote nothing.\n"),
            std::string::npos)
      << err;
  EXPECT_EQ(splitLines(readFile(logs.path() + "starts")).size(), 3u);
  EXPECT_EQ(listDir(logoFolder()), std::vector<std::string>{});  // no image in part, no input file

  // The collection's batch starts nothing at all.
  DatabaseDatasets = {motif(1, {{1, 0, 0, 0}})};
  ::testing::internal::CaptureStderr();
  writeDatabaseMotif();
  err = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("Warning: 2 of 2 logo images could not be drawn in " + logoFolder() +
                     ": 2 were not tried, since 3 logo commands had been stopped at their time limit of 1 "
                     "second and no more are started in this run.\n"),
            std::string::npos)
      << err;
  EXPECT_EQ(splitLines(readFile(logs.path() + "starts")).size(), 3u);
  EXPECT_EQ(listDir(logoFolder()), std::vector<std::string>{});
}

// Two stopped commands are not yet enough: a program that hangs only now and then goes on drawing.
TEST_F(LogoTest, TwoStoppedCommandsLeaveTheOthersDrawing) {
  writeFile(dir.path() + "weblogo-3.4/weblogo",
            "#!/bin/sh\ncase \"$*\" in *--revcomp*) sleep 60 & wait;; *) echo image;; esac\n");
  logoTimeLimit = 1;
  omp_set_num_threads(1);
  Datasets = {motif(1, {{1, 0, 0, 0}}), motif(2, {{0, 1, 0, 0}})};
  DatabaseDatasets = {motif(1, {{0, 0, 1, 0}})};
  ::testing::internal::CaptureStderr();
  writeMotif();
  writeDatabaseMotif();
  const std::string err = ::testing::internal::GetCapturedStderr();
  const std::string reason = " (the logo program failed, ran too long or wrote nothing).\n";
  EXPECT_NE(err.find("Warning: 2 of 4 logo images could not be drawn in " + logoFolder() + reason),
            std::string::npos)
      << err;
  EXPECT_NE(err.find("Warning: 1 of 2 logo images could not be drawn in " + logoFolder() + reason),
            std::string::npos)
      << err;
  EXPECT_EQ(listDir(logoFolder()), (std::vector<std::string>{kJob + "D1.jpeg", kJob + "M1.jpeg", kJob + "M2.jpeg"}));
}

// The logo folder must be the run's own: one already there (a planted link to another folder, say)
// ends the run before any image is written through it.
TEST_F(LogoTest, TakenLogoFolderEndsTheRun) {
  TempDir other;
  std::filesystem::create_directory_symlink(other.path(), outputPath + kJob + "image");
  Datasets = {motif(1, {{1, 0, 0, 0}})};
  ::testing::internal::CaptureStdout();
  EXPECT_THROW(writeMotif(), RunEnded);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Invalid output path or output filename.");
  EXPECT_TRUE(listDir(other.path()).empty());
  EXPECT_FALSE(fileExists(logs.path() + "sequence"));
}

TEST_F(LogoTest, PathsWithBlanksAndQuotesReachTheProgramIntact) {
  const std::string root = dir.path() + "my tool's $HOME;dir/";
  useRoot(root);
  Datasets = {motif(1, {{0, 0, 1, 0}})};
  writeMotif();
  EXPECT_EQ(readFile(logoFolder() + kJob + "M1RevComp.jpeg"), "JPEG of " + kJob + "M1RevComp.jpeg\n");
  EXPECT_EQ(call(kJob + "M1.jpeg"), expectedArguments(false) + "--stdin--\nPO A C G T \n1 0 0 1 0 \n");
  EXPECT_EQ(listDir(logoFolder()).size(), 2u);
}

TEST_F(LogoTest, RealWrapperDrawsJpegLogos) {
  if (std::system("command -v weblogo >/dev/null 2>&1") != 0) GTEST_SKIP() << "weblogo is not installed";
  const std::string wrapper = testing::sourceDir() + "/run/weblogo-3.4/weblogo";
  ASSERT_TRUE(fileExists(wrapper));
  std::filesystem::remove(dir.path() + "weblogo-3.4/weblogo");
  std::filesystem::create_symlink(wrapper, dir.path() + "weblogo-3.4/weblogo");
  omp_set_num_threads(4);
  Datasets = {
      motif(1, {{0.9, 0.05, 0.03, 0.02}, {0.1, 0.1, 0.7, 0.1}, {0, 0, 0, 1}, {0.25, 0.25, 0.25, 0.25}}),
      motif(2, {{0.001, 0.997, 0.001, 0.001}, {0.5, 0, 0.5, 0}, {0.2, 0.3, 0.4, 0.1}, {1, 0, 0, 0}}),
      motif(3, {{0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0.02, 0.96, 0.02}, {0.4, 0.1, 0.1, 0.4}, {0, 0, 0, 1}}),
      motif(4, {}),
  };
  writeMotif();
  for (int k = 1; k <= 3; ++k) {
    for (const char* suffix : {".jpeg", "RevComp.jpeg"}) {
      const std::string image = readFile(logoFolder() + kJob + "M" + std::to_string(k) + suffix);
      SCOPED_TRACE(std::to_string(k) + suffix);
      ASSERT_GT(image.size(), 1000u);
      EXPECT_EQ(image.substr(0, 2), "\xFF\xD8");  // JPEG start-of-image mark
    }
  }
  // A matrix without rows gives no image (the command fails on it), never a logo of the header line.
  EXPECT_FALSE(fileExists(logoFolder() + kJob + "M4.jpeg"));
  EXPECT_FALSE(fileExists(logoFolder() + kJob + "M4RevComp.jpeg"));
  EXPECT_EQ(listDir(logoFolder()).size(), 6u);
}

}  // namespace
}  // namespace korvelan
