#include "core/shell.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "support/test_support.h"

namespace korvelan {
namespace {

using testing::TempDir;

TEST(ShellWord, QuotesOnlyWhatTheShellWouldReadApart) {
  const struct {
    const char* path;
    const char* word;
  } cases[] = {
      {"/home/me/run/motifs/a.txt", "/home/me/run/motifs/a.txt"},
      {"/x/a+b-c_d.e", "/x/a+b-c_d.e"},
      {"/my folder/f.txt", "'/my folder/f.txt'"},
      {"/it's/f", "'/it'\\''s/f'"},
      {"/a;rm -rf ~/$(x)`y`", "'/a;rm -rf ~/$(x)`y`'"},
      {"-rf", "./-rf"},                // an operand never reads as an option
      {"-my file", "'./-my file'"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(shellWord(c.path), c.word) << c.path;
}

TEST(ShellWord, QuotedWordReachesTheProgramUnchanged) {
  TempDir dir;
  const std::string odd = dir.path() + "it's a $HOME `x` \"q\".txt";
  ASSERT_TRUE(runShell("printf x > " + shellWord(odd)).succeeded());
  EXPECT_EQ(testing::readFile(odd), "x");
}

TEST(SingleQuotedLiteral, OnlyBackslashAndQuoteAreEscaped) {
  EXPECT_EQ(singleQuotedLiteral("/home/me/run/result/HTML_Results.html"),
            "/home/me/run/result/HTML_Results.html");
  EXPECT_EQ(singleQuotedLiteral("/it's/a\\b $x \"q\""), "/it\\'s/a\\\\b $x \"q\"");
}

TEST(RunShell, ReportsExitStatusAndSignals) {
  EXPECT_TRUE(runShell("true").succeeded());
  const ShellResult failed = runShell("exit 3");
  EXPECT_TRUE(failed.started);
  EXPECT_EQ(failed.status, 3);
  EXPECT_FALSE(failed.succeeded());
  EXPECT_EQ(runShell("kill -9 $$").status, 128 + 9);
  EXPECT_EQ(runShell("exit 4", 5).status, 4);  // a limit that is not reached changes nothing
}

TEST(RunShell, TimeLimitStopsTheWholeCommand) {
  TempDir dir;
  const std::string marker = dir.path() + "late";
  const auto begun = std::chrono::steady_clock::now();
  // The background child would outlive a kill of the shell alone and write the marker.
  const ShellResult result = runShell("(sleep 3; touch " + shellWord(marker) + ") & sleep 30", 1);
  const auto took = std::chrono::steady_clock::now() - begun;
  EXPECT_TRUE(result.timedOut);
  EXPECT_FALSE(result.succeeded());
  EXPECT_LT(took, std::chrono::seconds(10));
  runShell("sleep 4");
  EXPECT_FALSE(testing::fileExists(marker));
}

TEST(LimitForFile, GrowsByStartedMebibyteOfTheFile) {
  TempDir dir;
  const struct {
    long long size;  // -1: no file
    int limit;
  } cases[] = {{-1, 600}, {0, 600}, {1, 630}, {1 << 20, 630}, {(1 << 20) + 1, 660}, {12 << 20, 960}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.size);
    const std::string file = dir.path() + "page.html";
    std::filesystem::remove(file);
    if (c.size >= 0) {
      testing::writeFile(file, "");
      std::filesystem::resize_file(file, static_cast<std::uintmax_t>(c.size));
    }
    EXPECT_EQ(limitForFile(600, 30, file), c.limit);
  }
  testing::writeFile(dir.path() + "big", "");
  std::filesystem::resize_file(dir.path() + "big", 1ull << 40);  // sparse: a TiB at 60 s a MiB
  EXPECT_EQ(limitForFile(10, 60, dir.path() + "big"), 24 * 60 * 60);
  EXPECT_EQ(secondsText(1), "1 second");
  EXPECT_EQ(secondsText(600), "600 seconds");
}

}  // namespace
}  // namespace korvelan
