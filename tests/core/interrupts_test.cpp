// The helpers' temporary folder and an interrupt during a helper step, in this process: the
// signal is sent to the test program itself while a step runs, so the handler leaves the work to
// the step.
#include "core/interrupts.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

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

}  // namespace
}  // namespace korvelan
