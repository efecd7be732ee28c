// The helpers' temporary folder and an interrupt during a helper step, in this process: the
// signal is sent to the test program itself while a step runs, so the handler leaves the work to
// the step. An interrupt outside a step ends the process, so it is tried in a child process.
#include "core/interrupts.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "core/report_io.h"
#include "core/shell.h"
#include "core/utilities.h"
#include "support/test_support.h"

namespace korvelan {
namespace {

namespace fs = std::filesystem;
using testing::eventually;
using testing::fileExists;
using testing::processGone;
using testing::readFile;
using testing::TempDir;

// TMPDIR for the test's duration.
class TmpdirTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* value = std::getenv("TMPDIR");
    had = value != nullptr;
    if (had) saved = value;
    setenv("TMPDIR", base.path().c_str(), 1);
  }
  void TearDown() override {
    if (had)
      setenv("TMPDIR", saved.c_str(), 1);
    else
      unsetenv("TMPDIR");
  }
  TempDir base;
  bool had = false;
  std::string saved;
};

TEST_F(TmpdirTest, EveryHelperSharesOnePrivateFolderThatGoesWithTheScope) {
  std::string folder;
  {
    const HelperScope scope;
    folder = scope.temporaryFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(fs::path(folder).parent_path(), fs::path(base.path()).parent_path());
    EXPECT_EQ(fs::status(folder).permissions(), fs::perms::owner_all);
    // A helper sees it as TMPDIR and what it leaves there goes at the end of the step.
    const std::string left = folder + "/left-by-helper";
    ASSERT_TRUE(runShell("echo \"$TMPDIR\" > " + shellWord(base.path() + "seen") +
                         "; mkdir \"$TMPDIR/x\"; touch \"$TMPDIR/x/y\" " + shellWord(left))
                    .succeeded());
    EXPECT_EQ(readFile(base.path() + "seen"), folder + "\n");
    {
      HelperStep step("a step");
      step.finish();
    }
    EXPECT_TRUE(testing::listDir(folder).empty());
    ASSERT_TRUE(runShell("touch \"$TMPDIR/after\"").succeeded());
  }
  EXPECT_FALSE(fileExists(folder));  // with what a helper left after the last step
  EXPECT_EQ(std::getenv("TMPDIR"), base.path());
}

// A helper's leftovers far deeper than any helper leaves them still go with the folder.
TEST_F(TmpdirTest, DeepLeftoversGoWithTheFolder) {
  std::string folder;
  {
    const HelperScope scope;
    folder = scope.temporaryFolder();
    ASSERT_FALSE(folder.empty());
    std::string deep = folder;
    for (int level = 0; level < 40; ++level) deep += "/d";
    fs::create_directories(deep);
    testing::writeFile(deep + "/file", "x");
    {
      HelperStep step("a step");
      step.finish();
    }
    ASSERT_TRUE(fileExists(folder));
  }
  EXPECT_FALSE(fileExists(folder));
}

TEST_F(TmpdirTest, InterruptDuringAStepKillsTheHelperGroupAndEndsTheRunWithItsStatus) {
  const HelperScope scope;
  const std::string pids = base.path() + "pids";
  int status = -1;
  ShellResult first, second;
  {
    HelperStep step("the test step");
    // A helper whose own child outlives a kill of the shell alone.
    std::thread helper([&] { first = runShell("sleep 300 & echo $! > " + shellWord(pids) + "; wait", 600); });
    const bool started = eventually([&] { return readFile(pids).size() > 1; });
    EXPECT_TRUE(started);
    const pid_t child = started ? std::stoi(readFile(pids)) : -1;
    const auto sent = std::chrono::steady_clock::now();
    kill(getpid(), SIGTERM);
    helper.join();
    EXPECT_LT(std::chrono::steady_clock::now() - sent, std::chrono::seconds(10));
    EXPECT_TRUE(first.interrupted);
    EXPECT_FALSE(first.succeeded());
    if (started) {
      EXPECT_TRUE(eventually([&] { return processGone(child); }));
    }
    // Nothing starts any more.
    second = runShell("touch " + shellWord(base.path() + "late"));
    EXPECT_FALSE(second.started);
    EXPECT_TRUE(second.interrupted);
    EXPECT_FALSE(fileExists(base.path() + "late"));
    ::testing::internal::CaptureStderr();
    try {
      step.finish();
    } catch (const RunEnded& ended) {
      status = ended.status;
    }
    const std::string message = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(message.find("Interrupted by signal 15 (Terminated) during the test step"), std::string::npos)
        << message;
  }
  EXPECT_EQ(status, 128 + SIGTERM);
  EXPECT_EQ(interruptSignal(), SIGTERM);
}

// Outside a step the handler itself says where the run was, removes the claim of a run that wrote
// nothing yet (only that: a written claim stays, and so does a file put in its place) and the
// temporary folder with what was left in it, without following a link out of it, and ends the
// process with 128 + the signal's number.
TEST_F(TmpdirTest, InterruptOutsideAStepSaysWhereAndRemovesTheFolderAndAnUnwrittenClaim) {
  static constexpr RunStage kStage{"the test stage", "what the stage leaves."};
  enum class Claim { Unwritten, Written, Replaced };
  for (Claim claim : {Claim::Unwritten, Claim::Written, Claim::Replaced}) {
    SCOPED_TRACE(static_cast<int>(claim));
    TempDir results;
    const std::string claimPath = results.path() + "J_input_motifs.txt";
    const std::string victim = results.path() + "victim.txt";
    testing::writeFile(victim, "keep me\n");
    const std::string errors = results.path() + "errors.txt";
    std::cout.flush();
    std::cerr.flush();
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      const int errorFile = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      dup2(errorFile, STDERR_FILENO);
      const HelperScope scope;
      const std::string folder = scope.temporaryFolder();
      // What a helper's stray child might leave: files, folders inside folders, a link out.
      mkdir((folder + "/a").c_str(), 0700);
      mkdir((folder + "/a/b").c_str(), 0700);
      for (int k = 0; k < 300; ++k) testing::writeFile(folder + "/a/b/f" + std::to_string(k), "x");
      testing::writeFile(folder + "/top", "x");
      symlink(results.path().c_str(), (folder + "/a/out").c_str());
      if (!claimOutput(claimPath)) _exit(2);
      std::uint64_t device = 0, inode = 0;
      if (!createdIdentity(claimPath, device, inode)) _exit(3);
      setRunClaim(claimPath, device, inode);
      if (claim == Claim::Written) testing::writeFile(claimPath, "listing\n");
      if (claim == Claim::Replaced) {
        testing::writeFile(claimPath + ".new", "");  // empty, but not the run's own
        rename((claimPath + ".new").c_str(), claimPath.c_str());
      }
      setRunStage(kStage);
      kill(getpid(), SIGTERM);
      _exit(1);  // not reached
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 128 + SIGTERM);
    EXPECT_EQ(readFile(errors), "Interrupted by signal 15 (Terminated) during the test stage: what the stage leaves.\n");
    // Nothing but the folder of this test's results.
    EXPECT_EQ(testing::listDir(base.path()),
              std::vector<std::string>{fs::path(results.path()).parent_path().filename().string()});
    EXPECT_EQ(fileExists(claimPath), claim != Claim::Unwritten);
    EXPECT_EQ(readFile(victim), "keep me\n");
  }
}

// A leftover tree deeper than the handler's removal goes down does not keep the handler from ending
// the run at once (it once read the tree over again at every level, for ever in effect).
TEST_F(TmpdirTest, InterruptWithADeepLeftoverTreeEndsTheRunAtOnce) {
  std::cout.flush();
  std::cerr.flush();
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const int quiet = open("/dev/null", O_WRONLY);
    dup2(quiet, STDERR_FILENO);
    const HelperScope scope;
    std::string deep = scope.temporaryFolder();
    for (int level = 0; level < 40; ++level) {
      deep += "/d";
      mkdir(deep.c_str(), 0700);
      testing::writeFile(deep + "/f", "x");
    }
    kill(getpid(), SIGTERM);
    _exit(1);  // not reached
  }
  int status = 0;
  const bool ended = eventually([&] { return waitpid(child, &status, WNOHANG) == child; }, 20);
  if (!ended) {
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
  }
  ASSERT_TRUE(ended);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 128 + SIGTERM);
}

// A signal the program was started with ignored (nohup) stays ignored while the run goes on.
TEST_F(TmpdirTest, SignalIgnoredAtTheStartStaysIgnored) {
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  struct sigaction saved {};
  sigaction(SIGHUP, &ignore, &saved);
  {
    const HelperScope scope;
    struct sigaction during {};
    sigaction(SIGHUP, nullptr, &during);
    EXPECT_EQ(during.sa_handler, SIG_IGN);
    kill(getpid(), SIGHUP);
    EXPECT_EQ(interruptSignal(), 0);
    struct sigaction terminate {};
    sigaction(SIGTERM, nullptr, &terminate);
    EXPECT_NE(terminate.sa_handler, SIG_IGN);  // the others are caught as ever
    EXPECT_NE(terminate.sa_handler, SIG_DFL);
  }
  struct sigaction after {};
  sigaction(SIGHUP, nullptr, &after);
  EXPECT_EQ(after.sa_handler, SIG_IGN);
  sigaction(SIGHUP, &saved, nullptr);
}

}  // namespace
}  // namespace korvelan
