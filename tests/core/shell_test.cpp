#include "core/shell.h"

#include <gtest/gtest.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>

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
      {"-rf", "./-rf"},  // an operand never reads as an option
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

// A helper reads /dev/null and prints nothing on the program's standard output: all it prints, on
// either stream, comes through the program's error stream, also more than a pipe holds at once.
TEST(RunShell, HelperReadsNothingAndWritesThroughTheErrorStream) {
  // The program's own standard input holds a line for the time of the test.
  int typed[2];
  ASSERT_EQ(pipe(typed), 0);
  ASSERT_EQ(write(typed[1], "typed\n", 6), 6);
  close(typed[1]);
  const int savedInput = dup(STDIN_FILENO);
  dup2(typed[0], STDIN_FILENO);
  close(typed[0]);
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  const ShellResult small = runShell("readlink /proc/$$/fd/0; echo out; echo err >&2; cat; echo after-cat");
  const std::string out = ::testing::internal::GetCapturedStdout();
  const std::string err = ::testing::internal::GetCapturedStderr();
  dup2(savedInput, STDIN_FILENO);
  close(savedInput);
  EXPECT_TRUE(small.succeeded());
  EXPECT_EQ(out, "");
  EXPECT_EQ(err, "/dev/null\nout\nerr\nafter-cat\n");

  // A helper that writes 4 MiB before it ends is read while it runs, never waited on.
  ::testing::internal::CaptureStderr();
  const ShellResult large = runShell("head -c 4194304 /dev/zero | tr '\\0' x; echo; echo end >&2", 120);
  const std::string copied = ::testing::internal::GetCapturedStderr();
  EXPECT_TRUE(large.succeeded());
  EXPECT_EQ(copied.size(), 4194304u + 5u);
  EXPECT_EQ(copied.find_first_not_of('x'), 4194304u);
  EXPECT_EQ(copied.substr(4194304), "\nend\n");
}

// Whatever a command leaves running goes when it ends: a child that ignores SIGTERM and holds the
// output open is killed, and one that left the command's process group (which the runner cannot
// know of) does not keep the runner waiting.
TEST(RunShell, NothingTheCommandStartedOutlivesIt) {
  TempDir dir;
  const std::string stays = dir.path() + "stays", escaped = dir.path() + "escaped";
  ::testing::internal::CaptureStderr();
  const auto begun = std::chrono::steady_clock::now();
  const ShellResult result = runShell("(trap '' TERM; exec sleep 60) & echo $! > " + shellWord(stays) +
                                      "; setsid sleep 60 & echo $! > " + shellWord(escaped) + "; echo bye");
  const auto took = std::chrono::steady_clock::now() - begun;
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "bye\n");
  EXPECT_TRUE(result.succeeded());
  EXPECT_LT(took, std::chrono::seconds(30));
  const std::string child = testing::readFile(stays), outsider = testing::readFile(escaped);
  ASSERT_FALSE(child.empty());
  ASSERT_FALSE(outsider.empty());
  // Killed before the runner returned: at most a moment to die.
  EXPECT_TRUE(testing::eventually([&] { return testing::processGone(std::stoi(child)); }, 5));
  kill(std::stoi(outsider), SIGKILL);
}

// The helper dies with the program that started it, even when that is killed with SIGKILL.
TEST(RunShell, HelperDiesWithTheProgram) {
  TempDir dir;
  const std::string pidFile = dir.path() + "pid";
  const pid_t program = fork();
  ASSERT_GE(program, 0);
  if (program == 0) {
    runShell("echo $$ > " + shellWord(pidFile) + ".part && mv " + shellWord(pidFile) + ".part " +
             shellWord(pidFile) + " && exec sleep 60");
    _exit(0);
  }
  ASSERT_TRUE(testing::eventually([&] { return !testing::readFile(pidFile).empty(); }));
  const pid_t helper = std::stoi(testing::readFile(pidFile));
  EXPECT_FALSE(testing::processGone(helper));
  kill(program, SIGKILL);
  waitpid(program, nullptr, 0);
  EXPECT_TRUE(testing::eventually([&] { return testing::processGone(helper); }, 10));
  kill(helper, SIGKILL);
}

// On a terminal with "stty tostop" a background process group that writes to it is stopped; a
// helper never touches the terminal, so it runs to its end and what it printed reaches the terminal
// through the program.
TEST(RunShell, HelperInTheBackgroundOfATerminalIsNeverStopped) {
  int terminal = -1;
  const pid_t program = forkpty(&terminal, nullptr, nullptr, nullptr);
  ASSERT_GE(program, 0);
  if (program == 0) {
    termios settings{};
    tcgetattr(STDIN_FILENO, &settings);
    settings.c_lflag |= TOSTOP;
    tcsetattr(STDIN_FILENO, TCSANOW, &settings);
    const ShellResult result = runShell("echo from-the-helper; cat; echo done-reading >&2", 20);
    _exit(result.succeeded() ? 0 : 1);
  }
  std::string seen;
  char buffer[256];
  for (ssize_t got; (got = read(terminal, buffer, sizeof buffer)) > 0;)
    seen.append(buffer, static_cast<std::size_t>(got));
  close(terminal);
  int status = -1;
  waitpid(program, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << seen;
  EXPECT_NE(seen.find("from-the-helper"), std::string::npos) << seen;
  EXPECT_NE(seen.find("done-reading"), std::string::npos) << seen;
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
