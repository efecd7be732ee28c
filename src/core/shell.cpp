#include "core/shell.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>

#include <algorithm>
#include <cerrno>

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
  char shell[] = "sh";
  char flag[] = "-c";
  std::string text = command;
  char* argv[] = {shell, flag, text.data(), nullptr};

  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  const bool limited = timeLimitSeconds > 0;
  if (limited) {
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
  }
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, "/bin/sh", nullptr, &attributes, argv, environ);
  posix_spawnattr_destroy(&attributes);
  if (spawned != 0) return result;
  result.started = true;

  int waitStatus = 0;
  if (!limited) {
    while (waitpid(pid, &waitStatus, 0) < 0 && errno == EINTR) {
    }
    result.status = statusOf(waitStatus);
    return result;
  }

  timespec begun{};
  clock_gettime(CLOCK_MONOTONIC, &begun);
  long pauseNs = 1'000'000;  // 1 ms, growing to 50 ms: short commands return fast, long ones cost little
  while (true) {
    const pid_t done = waitpid(pid, &waitStatus, WNOHANG);
    if (done == pid) break;
    if (done < 0 && errno != EINTR) return result;
    if (secondsSince(begun) >= timeLimitSeconds) {
      kill(-pid, SIGKILL);
      while (waitpid(pid, &waitStatus, 0) < 0 && errno == EINTR) {
      }
      result.timedOut = true;
      break;
    }
    const timespec pause{0, pauseNs};
    nanosleep(&pause, nullptr);
    pauseNs = std::min(pauseNs * 2, 50'000'000L);
  }
  result.status = statusOf(waitStatus);
  return result;
}

}  // namespace korvelan
