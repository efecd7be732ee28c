#include "core/report_io.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "core/globals.h"
#include "core/utilities.h"
#include "support/test_support.h"

namespace korvelan {
namespace {

namespace fs = std::filesystem;
using testing::fileExists;
using testing::readFile;
using testing::writeFile;

struct Ending {
  int status = 0;
  std::string out;
  std::string err;
};

// Runs the step, which must end the run; returns its status and what it printed.
template <class Step>
Ending expectRunEnds(Step step) {
  Ending ending;
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  try {
    step();
    ADD_FAILURE() << "the run went on";
  } catch (const RunEnded& ended) {
    ending.status = ended.status;
  }
  ending.out = ::testing::internal::GetCapturedStdout();
  ending.err = ::testing::internal::GetCapturedStderr();
  return ending;
}

class OutputFiles : public ::testing::Test {
 protected:
  void SetUp() override { resetGlobals(); }
  void TearDown() override { resetGlobals(); }
  std::string path(const std::string& name) const { return dir.path() + name; }
  void write(OpenMode mode, const std::string& name, const std::string& text) {
    openReport(stream, path(name), mode);
    stream << text;
    closeReport(stream);
  }
  testing::TempDir dir;
  testing::TempDir elsewhere;  // another user's files
  std::ofstream stream;
};

// Links planted under the coming names in a shared result folder make no run write through them:
// every open refuses, names the file and the reason, and the target stays as it was.
TEST_F(OutputFiles, PlantedLinksAreNeverFollowed) {
  const std::string victim = elsewhere.path() + "thesis.txt";
  writeFile(victim, "years of work\n");
  fs::create_symlink(victim, path("J_Results.txt"));
  fs::create_symlink(elsewhere.path() + "new.txt", path("J_Dangling.txt"));
  ASSERT_EQ(mkfifo(path("J_Pipe.txt").c_str(), 0600), 0);  // would block an open for writing
  for (OpenMode mode : {OpenMode::Create, OpenMode::Append}) {
    for (const char* name : {"J_Results.txt", "J_Dangling.txt", "J_Pipe.txt"}) {
      SCOPED_TRACE(name);
      const Ending ending = expectRunEnds([&] { write(mode, name, "report\n"); });
      EXPECT_EQ(ending.status, 1);
      EXPECT_EQ(ending.out, "Invalid output path or output filename.");
      EXPECT_EQ(ending.err, "Error writing " + path(name) + ": File exists\n");
    }
  }
  std::ofstream listing;
  EXPECT_FALSE(openUnchecked(listing, path("J_Results.txt")));
  EXPECT_EQ(readFile(victim), "years of work\n");
  EXPECT_FALSE(fileExists(elsewhere.path() + "new.txt"));
}

// Later writers append to the file the run created; once that file has been replaced under its
// name (by a link to another file, or by another file), nothing more is written there.
TEST_F(OutputFiles, WritersAppendOnlyToTheFileTheRunCreated) {
  write(OpenMode::Create, "report.txt", "header\n");
  write(OpenMode::Append, "report.txt", "section\n");
  write(OpenMode::Create, "report.txt", "header again\n");  // the run's own file: emptied, as before
  write(OpenMode::Append, "report.txt", "footer\n");
  EXPECT_EQ(readFile(path("report.txt")), "header again\nfooter\n");

  const std::string victim = elsewhere.path() + "mail.txt";
  writeFile(victim, "private\n");
  fs::remove(path("report.txt"));
  fs::create_hard_link(victim, path("report.txt"));
  EXPECT_EQ(expectRunEnds([&] { write(OpenMode::Append, "report.txt", "more\n"); }).status, 1);
  EXPECT_EQ(expectRunEnds([&] { write(OpenMode::Create, "report.txt", "more\n"); }).status, 1);
  EXPECT_EQ(readFile(victim), "private\n");

  // A file the run removed itself (a conversion script after use) may be made again.
  fs::remove(path("report.txt"));
  write(OpenMode::Create, "report.txt", "fresh\n");
  EXPECT_EQ(readFile(path("report.txt")), "fresh\n");
}

// The run's own input files, and paths a NUL would cut short, are never opened as outputs.
TEST_F(OutputFiles, InputFilesAndCutPathsAreRefused) {
  inputPath = dir.path();
  FileNameType = {fileNameAndType{"motifs.txt", 4, 0, 1}};
  writeFile(path("motifs.txt"), ">m\nACGT\n");
  EXPECT_EQ(expectRunEnds([&] { write(OpenMode::Append, "motifs.txt", "report\n"); }).status, 1);
  EXPECT_EQ(readFile(path("motifs.txt")), ">m\nACGT\n");

  const std::string cut = path("motifs.txt") + std::string(1, '\0') + "result/J_Results.txt";
  EXPECT_EQ(expectRunEnds([&] { openReport(stream, cut, OpenMode::Create); }).out,
            "Invalid output path or output filename.");
  EXPECT_EQ(readFile(path("motifs.txt")), ">m\nACGT\n");
}

// A full disk ends the run with the output failure, and the error stream says which file and why.
TEST_F(OutputFiles, FullDiskNamesTheFileAndTheReason) {
  if (!fileExists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  std::ofstream full("/dev/full");
  ASSERT_TRUE(full.is_open());
  openOutputs.push_back(OpenOutput{&full, "/dev/full"});
  full << "a report line\n";
  const Ending ending = expectRunEnds([&] { closeReport(full); });
  EXPECT_EQ(ending.status, 1);
  EXPECT_EQ(ending.out, "Invalid output path or output filename.");
  EXPECT_EQ(ending.err, "Error writing /dev/full: No space left on device\n");
  EXPECT_FALSE(full.is_open());
}

// The image folder must be made by the run; one that was there before, or a link, is not used.
TEST_F(OutputFiles, OutputFoldersAreTheRunsOwn) {
  EXPECT_TRUE(makeOutputFolder(path("J_image")));
  EXPECT_TRUE(makeOutputFolder(path("J_image")));  // the second batch of logos uses it again
  fs::create_directories(path("old_image"));
  fs::create_directory_symlink(elsewhere.path(), path("link_image"));
  for (const char* name : {"old_image", "link_image"}) {
    errno = 0;
    EXPECT_FALSE(makeOutputFolder(path(name))) << name;
    EXPECT_EQ(errno, EEXIST) << name;
  }
  fs::remove(path("J_image"));
  fs::create_directory_symlink(elsewhere.path(), path("J_image"));
  EXPECT_FALSE(makeOutputFolder(path("J_image")));
}

// A claim is an empty file of the run's own; a run that ends before writing it leaves nothing.
TEST_F(OutputFiles, UnwrittenClaimsAreRemoved) {
  EXPECT_TRUE(claimOutput(path("J_1_input_motifs.txt")));
  errno = 0;
  EXPECT_FALSE(claimOutput(path("J_1_input_motifs.txt")));
  EXPECT_EQ(errno, EEXIST);
  EXPECT_TRUE(claimOutput(path("J_2_input_motifs.txt")));
  std::ofstream listing;
  ASSERT_TRUE(openUnchecked(listing, path("J_2_input_motifs.txt")));
  listing << "listing\n";
  listing.close();
  writeFile(path("J_3_input_motifs.txt"), "");  // not the run's
  for (const char* name : {"J_1_input_motifs.txt", "J_2_input_motifs.txt", "J_3_input_motifs.txt"})
    removeUnwrittenOutput(path(name));
  EXPECT_FALSE(fileExists(path("J_1_input_motifs.txt")));
  EXPECT_EQ(readFile(path("J_2_input_motifs.txt")), "listing\n");
  EXPECT_TRUE(fileExists(path("J_3_input_motifs.txt")));
}

}  // namespace
}  // namespace korvelan
