// Whole runs of the real program interrupted while a helper runs (stand-ins that wait for ever):
// in the logo stage, the PDF step and the tree step. The program must stop every helper it started,
// remove what exists only while a step runs, keep the reports written so far and end with
// 128 + the signal's number. Interrupted outside those steps (while reading, while writing reports,
// or by a standard output closed early), it must say where, take back the claim of a run that wrote
// nothing and leave no temporary folder.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "support/test_support.h"

extern char** environ;

namespace korvelan {
namespace {

namespace fs = std::filesystem;
using testing::fileExists;
using testing::listDir;
using testing::readFile;
using testing::RunFolder;

// The program started in `folder` with the dialogue on its standard input and both output streams
// in one file (or, with `stdoutFd`, its standard output there and its error stream in the file); its
// own bin/ comes first on the search path and TMPDIR is `tmpdir`.
pid_t startProgram(const RunFolder& folder, const std::string& input, const std::string& tmpdir,
                   const std::string& outputFile, int stdoutFd = -1) {
  const std::string inputFile = folder.root() + ".stdin";
  testing::writeFile(inputFile, input);
  std::vector<std::string> environment;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string text = *entry;
    if (!text.starts_with("PATH=") && !text.starts_with("TMPDIR=")) environment.push_back(text);
  }
  const char* path = std::getenv("PATH");
  environment.push_back("PATH=" + folder.root() + "bin:" + (path != nullptr ? path : "/usr/bin:/bin"));
  environment.push_back("TMPDIR=" + tmpdir);
  std::vector<char*> envp;
  for (std::string& text : environment) envp.push_back(text.data());
  envp.push_back(nullptr);
  std::string program = KORVELAN_BINARY;
  char* argv[] = {program.data(), nullptr};

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, inputFile.c_str(), O_RDONLY, 0);
  if (stdoutFd >= 0) {
    posix_spawn_file_actions_adddup2(&actions, stdoutFd, 1);
    posix_spawn_file_actions_addopen(&actions, 2, outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  } else {
    posix_spawn_file_actions_addopen(&actions, 1, outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
  }
  posix_spawn_file_actions_addchdir_np(&actions, folder.root().c_str());
  pid_t pid = -1;
  if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, envp.data()) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

// The exit status once the program has ended (-1 if it was still running after a minute and had to
// be killed, or ended by a signal).
int awaitExit(pid_t pid) {
  int status = 0;
  const bool ended = testing::eventually([&] { return waitpid(pid, &status, WNOHANG) == pid; }, 60);
  if (!ended) {
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// True when no live process is left in the process group.
bool groupGone(pid_t group) {
  for (const auto& entry : fs::directory_iterator("/proc")) {
    const std::string name = entry.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    const std::string stat = readFile(entry.path().string() + "/stat");
    const auto close = stat.rfind(')');
    if (close == std::string::npos) continue;
    char state = 0;
    long parent = 0, groupOf = 0;
    if (std::sscanf(stat.c_str() + close + 1, " %c %ld %ld", &state, &parent, &groupOf) == 3 &&
        groupOf == group && state != 'Z')
      return false;
  }
  return true;
}

// A stand-in helper: notes its process group, leaves a file in its temporary folder and a child of
// its own, says it has started, and waits.
std::string waitingHelper(const RunFolder& folder) {
  const std::string root = folder.root();
  return "#!/bin/sh\ncut -d' ' -f5 /proc/$$/stat >> '" + root + "groups'\n" +
         "touch \"$TMPDIR/left-by-helper\"\n"
         "sleep 300 &\n"
         "echo started > '" +
         root +
         "started'\n"
         "wait\n";
}

struct InterruptCase {
  const char* step;
  int signal;
  void (*prepare)(RunFolder& folder);
  testing::Answers answers;
  // Names (without the job identifier) that must be gone, and ones that must stay.
  std::vector<std::string> gone;
  std::vector<std::string> kept;
};

void prepareLogos(RunFolder& folder) {
  folder.addProgram("weblogo-3.4/weblogo", waitingHelper(folder));
  // A renderer that says it listens and waits; its folder lies in the run's temporary folder.
  folder.addProgram("weblogo-3.4/renderer.py",
                    "#!/bin/sh\ncut -d' ' -f5 /proc/$$/stat >> '" + folder.root() +
                        "groups'\ndirname \"$1\" > '" + folder.root() +
                        "renderer-folder'\necho ready\nexec sleep 300 > /dev/null\n");
}

void preparePdf(RunFolder& folder) {
  // The real interpreter and converter interface, with a converter that waits.
  fs::remove(folder.root() + "bin/php5");
  fs::copy_file(testing::sourceDir() + "/run/prince.php", folder.root() + "prince.php");
  folder.addProgram("bin/chromium-headless-shell", waitingHelper(folder));
}

void prepareTree(RunFolder& folder) {
  folder.addProgram("bin/Rscript", waitingHelper(folder));
}

testing::Answers answersFor(const std::string& format, const std::string& tree) {
  testing::Answers a;
  a.files = {"files_a.txt", "files_b.txt"};
  a.type = "Global-Only";
  a.format = format;
  a.tree = tree;
  return a;
}

TEST(InterruptedRun, StopsItsHelpersRemovesTheirFilesAndKeepsTheReports) {
  const InterruptCase cases[] = {
      {"the logo stage", SIGINT, prepareLogos, answersFor("HTML", "N"), {}, {"input_motifs.txt"}},
      {"the PDF step",
       SIGTERM,
       preparePdf,
       answersFor("PDF", "N"),
       {"HTML_Global_Matching_Results.php", "HTML_Global_Matching_Results.pdf"},
       {"HTML_Global_Matching_Results.html", "input_motifs.txt"}},
      {"the tree step",
       SIGHUP,
       prepareTree,
       answersFor("Text", "Y"),
       {"Global_Matching_Motif_Tree.png"},
       {"Global_Matching_Distance_Matrix.csv", "Global_Matching_Plot_File.R", "Results_Global_Matching.txt",
        "input_motifs.txt"}},
      // Ctrl-\ too: R must not go on to write its image once the program is gone.
      {"the tree step",
       SIGQUIT,
       prepareTree,
       answersFor("Text", "Y"),
       {"Global_Matching_Motif_Tree.png"},
       {"Global_Matching_Distance_Matrix.csv", "Global_Matching_Plot_File.R", "Results_Global_Matching.txt",
        "input_motifs.txt"}},
  };
  for (const InterruptCase& c : cases) {
    SCOPED_TRACE(std::string(c.step) + ", " + strsignal(c.signal));
    if (c.prepare == preparePdf && !testing::installed("php")) {
      std::cout << "php-cli is not installed: the PDF step is not tried\n";
      continue;
    }
    RunFolder folder;
    folder.addFixture("files_a.txt");
    folder.addFixture("files_b.txt");
    c.prepare(folder);
    testing::TempDir tmpdir;
    const std::string output = folder.root() + "output.txt";
    const pid_t pid = startProgram(folder, testing::dialogueInput(folder, c.answers), tmpdir.path(), output);
    ASSERT_GT(pid, 0);
    const bool started = testing::eventually([&] { return fileExists(folder.root() + "started"); }, 120);
    EXPECT_TRUE(started) << readFile(output);
    kill(pid, c.signal);
    const int status = awaitExit(pid);
    const std::string printed = readFile(output);
    EXPECT_EQ(status, 128 + c.signal) << printed;
    EXPECT_NE(printed.find("Interrupted by signal " + std::to_string(c.signal) + " (" + strsignal(c.signal) +
                           ") during " + c.step),
              std::string::npos)
        << printed;

    // No helper left running, nothing left in the temporary folder it was given.
    for (const std::string& group : testing::splitLines(readFile(folder.root() + "groups")))
      EXPECT_TRUE(testing::eventually([&] { return groupGone(std::stoi(group)); }, 10)) << "group " << group;
    EXPECT_EQ(listDir(tmpdir.path()), std::vector<std::string>{});
    const std::string rendererFolder = readFile(folder.root() + "renderer-folder");
    if (!rendererFolder.empty()) {
      EXPECT_FALSE(fileExists(rendererFolder.substr(0, rendererFolder.size() - 1)));
    }

    // The run's own files: what exists only during the step is gone, the reports stay.
    std::vector<std::string> names;
    for (const std::string& name : listDir(folder.result()))
      if (name != ".keep") names.push_back(name.starts_with("J_") ? testing::withoutJob(name) : name);
    for (const std::string& name : c.gone) EXPECT_EQ(std::count(names.begin(), names.end(), name), 0) << name;
    for (const std::string& name : c.kept) EXPECT_EQ(std::count(names.begin(), names.end(), name), 1) << name;
    for (const std::string& name : names)
      EXPECT_FALSE(name.starts_with(".")) << name;  // a converter's folder
    // Nor a logo input file, or an empty image of a logo command that was stopped.
    std::vector<std::string> leftInImageFolder;
    for (const std::string& entry : listDir(folder.result()))
      if (entry.ends_with("image"))
        for (const std::string& file : listDir(folder.result() + entry + "/"))
          if (file.ends_with(".txt") || fs::file_size(folder.result() + entry + "/" + file) == 0)
            leftInImageFolder.push_back(file);
    EXPECT_EQ(leftInImageFolder, std::vector<std::string>{});
  }
}

// The state letter of a live process ('T' when stopped), or 0.
char processState(pid_t pid) {
  const std::string stat = readFile("/proc/" + std::to_string(pid) + "/stat");
  const auto close = stat.rfind(')');
  return close != std::string::npos && stat.size() > close + 2 ? stat[close + 2] : 0;
}

// Watches a folder from before the program starts, so that the program can be stopped (SIGSTOP) the
// moment it opens or creates a file there, in the middle of the stage that does so.
class StageWatch {
 public:
  StageWatch(const std::string& folder, std::uint32_t events) : fd_(inotify_init1(IN_CLOEXEC)) {
    if (fd_ >= 0) inotify_add_watch(fd_, folder.c_str(), events);
  }
  ~StageWatch() {
    if (fd_ >= 0) close(fd_);
  }
  // True once the program has stopped right after an event on a name ending in `suffix` (within a
  // minute).
  bool stopAt(pid_t pid, const std::string& suffix) {
    bool seen = false;
    for (int waited = 0; fd_ >= 0 && !seen && waited < 600; ++waited) {
      pollfd entry{fd_, POLLIN, 0};
      if (poll(&entry, 1, 100) <= 0) continue;
      alignas(inotify_event) char buffer[8192];
      const ssize_t got = read(fd_, buffer, sizeof buffer);
      for (ssize_t at = 0; at < got;) {
        const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
        if (event->len > 0 && std::string(event->name).ends_with(suffix)) seen = true;
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      }
    }
    if (!seen) return false;
    kill(pid, SIGSTOP);
    return testing::eventually([&] { return processState(pid) == 'T'; }, 10);
  }

 private:
  int fd_;
};

// An input file whose reading takes a while (a few motifs, then 30 MB of empty lines) and a run on
// it that does little else.
void addSlowInput(RunFolder& folder) {
  testing::writeFile(folder.motifs() + "slow.txt",
                     readFile(testing::sourceDir() + "/tests/driver/fixtures/files_a.txt") +
                         std::string(30'000'000, '\n'));
}

// What is left in the result folder, without the job identifier and the folder's own marker.
std::vector<std::string> resultNames(const RunFolder& folder) {
  std::vector<std::string> names;
  for (const std::string& name : listDir(folder.result()))
    if (name != ".keep") names.push_back(name.starts_with("J_") ? testing::withoutJob(name) : name);
  return names;
}

std::string interruptedLine(int signal) {
  return "Interrupted by signal " + std::to_string(signal) + " (" + strsignal(signal) + ") during ";
}

// Outside the helper steps the handler ends the run itself: one line on the error stream naming the
// stage, status 128 + the signal's number, no temporary folder, and no claim of a run that wrote
// nothing. Every signal the run catches is tried, while it reads and while it writes its reports.
TEST(InterruptedRun, OutsideTheHelperStepsSaysWhereAndLeavesNothingBehind) {
  struct Case {
    int signal;
    bool whileReading;  // else while the reports are written
  };
  const Case cases[] = {{SIGINT, true}, {SIGQUIT, true}, {SIGTERM, false}, {SIGHUP, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(strsignal(c.signal));
    RunFolder folder;
    testing::Answers answers;
    answers.threads = 4;
    if (c.whileReading) {
      addSlowInput(folder);
      answers.files = {"slow.txt"};
    } else {
      // Enough to write for a good part of a second after the last header is made.
      testing::writeFile(folder.motifs() + "many.txt", testing::generatedMotifs("MX", 11, 600));
      answers.files = {"many.txt"};
      answers.bestMatches = 10;
    }
    testing::TempDir tmpdir;
    const std::string output = folder.root() + "output.txt";
    StageWatch watch(c.whileReading ? folder.motifs() : folder.result(), c.whileReading ? IN_OPEN : IN_CREATE);
    const pid_t pid = startProgram(folder, testing::dialogueInput(folder, answers), tmpdir.path(), output);
    ASSERT_GT(pid, 0);
    const bool stopped = watch.stopAt(pid, c.whileReading ? "slow.txt" : "_Results_Without_Motif_Details.txt");
    EXPECT_TRUE(stopped) << readFile(output);
    kill(pid, c.signal);
    kill(pid, SIGCONT);
    const int status = awaitExit(pid);
    const std::string printed = readFile(output);
    EXPECT_EQ(status, 128 + c.signal) << printed;
    EXPECT_EQ(listDir(tmpdir.path()), std::vector<std::string>{});
    const std::vector<std::string> left = resultNames(folder);
    if (c.whileReading) {
      EXPECT_NE(printed.find(interruptedLine(c.signal) + "reading the input: nothing was written.\n"),
                std::string::npos)
          << printed;
      EXPECT_EQ(left, std::vector<std::string>{});  // not even the claim
    } else {
      // Stopped as the last header was made: at the headers or in the selection that follows.
      const std::size_t at = printed.find(interruptedLine(c.signal));
      ASSERT_NE(at, std::string::npos) << printed;
      EXPECT_NE(printed.find("report writing: the reports are cut short (what was written so far, without "
                             "their footer).\n",
                             at),
                std::string::npos)
          << printed;
      EXPECT_EQ(left, (std::vector<std::string>{"Results.txt", "Results_Global_Matching.txt",
                                                "Results_Without_Motif_Details.txt", "input_motifs.txt"}));
      for (const std::string& name : listDir(folder.result())) {
        const std::string text = readFile(folder.result() + name);
        if (name.ends_with("input_motifs.txt")) {
          EXPECT_FALSE(text.empty());
        }
        EXPECT_EQ(text.find("Results created by KORVELAN on"), std::string::npos) << name;  // cut short
      }
    }
  }
}

// Standard output closed early (korvelan < answers | head -c N): the next line the program writes
// meets SIGPIPE, which ends the run as the other signals do.
TEST(InterruptedRun, ClosedStandardOutputEndsTheRunCleanly) {
  RunFolder folder;
  addSlowInput(folder);
  testing::Answers answers;
  answers.files = {"slow.txt"};
  testing::TempDir tmpdir;
  int pipeEnds[2];
  ASSERT_EQ(pipe2(pipeEnds, O_CLOEXEC), 0);
  const std::string errors = folder.root() + "errors.txt";
  const pid_t pid = startProgram(folder, testing::dialogueInput(folder, answers), tmpdir.path(), errors, pipeEnds[1]);
  close(pipeEnds[1]);
  ASSERT_GT(pid, 0);
  // Read as head -c does, up to the line the run begins with, and go.
  std::string seen;
  char byte = 0;
  while (!seen.ends_with("Reading input ...\n") && read(pipeEnds[0], &byte, 1) == 1) seen += byte;
  close(pipeEnds[0]);
  const int status = awaitExit(pid);
  const std::string printed = readFile(errors);
  EXPECT_EQ(status, 128 + SIGPIPE) << printed;
  EXPECT_NE(printed.find(interruptedLine(SIGPIPE)), std::string::npos) << printed;
  EXPECT_EQ(listDir(tmpdir.path()), std::vector<std::string>{});
  for (const std::string& name : listDir(folder.result())) {
    if (name != ".keep") {
      EXPECT_FALSE(readFile(folder.result() + name).empty()) << name;
    }
  }
}

}  // namespace
}  // namespace korvelan
