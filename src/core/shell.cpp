#include "core/shell.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "core/interrupts.h"

extern char** environ;

namespace korvelan {

namespace {

bool plainShellChar(char ch) {
  return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') || ch == '_' ||
         ch == '.' || ch == '/' || ch == '+' || ch == '-';
}

double secondsSince(const timespec& from) {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec - from.tv_sec) +
         static_cast<double>(now.tv_nsec - from.tv_nsec) * 1e-9;
}

// True once the child has ended (with `block`, waits for that); it stays unreaped, a zombie
// holding its process-group number.
bool ended(pid_t pid, bool block) {
  siginfo_t info{};
  while (waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT | (block ? 0 : WNOHANG)) < 0)
    if (errno != EINTR) return true;  // not a child of ours (any more)
  return info.si_pid == pid;
}

int statusOf(int waitStatus) {
  if (WIFEXITED(waitStatus)) return WEXITSTATUS(waitStatus);
  if (WIFSIGNALED(waitStatus)) return 128 + WTERMSIG(waitStatus);
  return -1;
}

}  // namespace

std::string shellWord(const std::string& path) {
  const std::string word = !path.empty() && path.front() == '-' ? "./" + path : path;
  if (std::all_of(word.begin(), word.end(), plainShellChar)) return word;
  std::string quoted = "'";
  for (char ch : word) {
    if (ch == '\'')
      quoted += "'\\''";
    else
      quoted += ch;
  }
  return quoted + "'";
}

std::string singleQuotedLiteral(const std::string& text) {
  std::string quoted;
  for (char ch : text) {
    if (ch == '\\' || ch == '\'') quoted += '\\';
    quoted += ch;
  }
  return quoted;
}

ShellResult runShell(const std::string& command, int timeLimitSeconds) {
  ShellResult result;
  if (interruptSignal() != 0) {
    result.interrupted = true;
    return result;
  }
  char shell[] = "sh";
  char flag[] = "-c";
  std::string text = command;
  char* argv[] = {shell, flag, text.data(), nullptr};

  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
  posix_spawnattr_setpgroup(&attributes, 0);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, "/bin/sh", nullptr, &attributes, argv, environ);
  posix_spawnattr_destroy(&attributes);
  if (spawned != 0) return result;
  result.started = true;
  // Known to the interrupt handler until the shell has ended; released before it is reaped, while
  // its group number cannot yet belong to anyone else.
  const int slot = registerHelperGroup(pid);

  if (timeLimitSeconds > 0) {
    timespec begun{};
    clock_gettime(CLOCK_MONOTONIC, &begun);
    // The shell's pidfd wakes the wait the moment the shell ends; without one (an older kernel) the
    // wait looks again after 1 ms, growing to 50 ms.
    const int pidfd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
    long pauseNs = 1'000'000;
    while (!ended(pid, false)) {
      const double left = timeLimitSeconds - secondsSince(begun);
      if (left <= 0) {
        kill(-pid, SIGKILL);
        result.timedOut = true;
        break;
      }
      if (pidfd >= 0) {
        pollfd entry{pidfd, POLLIN, 0};
        poll(&entry, 1, static_cast<int>(std::min(left * 1000 + 1, 60'000.0)));
        continue;
      }
      const timespec pause{0, pauseNs};
      nanosleep(&pause, nullptr);
      pauseNs = std::min(pauseNs * 2, 50'000'000L);
    }
    if (pidfd >= 0) close(pidfd);
  }
  ended(pid, true);
  releaseHelperGroup(slot);
  int waitStatus = 0;
  pid_t reaped = -1;
  while ((reaped = waitpid(pid, &waitStatus, 0)) < 0 && errno == EINTR) {
  }
  if (reaped == pid) result.status = statusOf(waitStatus);
  result.interrupted = interruptSignal() != 0;
  return result;
}

int limitForFile(int base, int perMiB, const std::string& file) {
  constexpr long long kMiB = 1 << 20;
  constexpr long long kDay = 24 * 60 * 60;
  struct stat info {};
  const long long size = stat(file.c_str(), &info) == 0 ? static_cast<long long>(info.st_size) : 0;
  const long long limit =
      static_cast<long long>(base) + static_cast<long long>(perMiB) * ((size + kMiB - 1) / kMiB);
  return static_cast<int>(std::clamp(limit, 0LL, kDay));
}

std::string secondsText(int seconds) {
  return std::to_string(seconds) + (seconds == 1 ? " second" : " seconds");
}

}  // namespace korvelan
