#include "core/shell.h"

#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "core/interrupts.h"
#include "core/write_all.h"

extern char** environ;

namespace korvelan {

namespace {

bool plainShellChar(char ch) {
  return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') || ch == '_' ||
         ch == '.' || ch == '/' || ch == '+' || ch == '-';
}

// True once the child has ended; it stays unreaped, a zombie holding its process-group number.
bool ended(pid_t pid) {
  siginfo_t info{};
  while (waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT | WNOHANG) < 0)
    if (errno != EINTR) return true;  // not a child of ours (any more)
  return info.si_pid == pid;
}

int statusOf(int waitStatus) {
  if (WIFEXITED(waitStatus)) return WEXITSTATUS(waitStatus);
  if (WIFSIGNALED(waitStatus)) return 128 + WTERMSIG(waitStatus);
  return -1;
}

// What the helper's child needs, prepared before it starts: it shares this process's memory until it
// runs the program, so it may only make system calls.
struct ChildPlan {
  const char* program;
  char* const* argv;
  char** environment;
  int streams[3];  // for standard input, output and error; -1 for /dev/null
  sigset_t mask;   // the caller's signal mask, for the helper
  pid_t parent;
  int error;  // errno of the step that failed, for the caller
};

[[noreturn]] __attribute__((no_sanitize("address", "undefined"))) void childFailed(ChildPlan& plan) {
  plan.error = errno != 0 ? errno : ECHILD;
  _exit(127);
}

// Runs in the new process before it becomes the helper. The program's signal handlers must not run
// here (a handler would work on the caller's memory), so each caught signal goes back to its default
// before the caller's mask is restored; ignored signals stay ignored, as for any child.
__attribute__((no_sanitize("address", "undefined"))) int startHelperChild(void* argument) {
  ChildPlan& plan = *static_cast<ChildPlan*>(argument);
  for (int signal = 1; signal < NSIG; ++signal) {
    struct sigaction action;
    if (sigaction(signal, nullptr, &action) != 0) continue;
    if (action.sa_handler == SIG_DFL || action.sa_handler == SIG_IGN) continue;
    action.sa_handler = SIG_DFL;
    action.sa_flags = 0;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
  }
  if (setpgid(0, 0) != 0) childFailed(plan);
  // Dies with the thread that started it; a caller already gone would never send the signal.
  if (prctl(PR_SET_PDEATHSIG, SIGKILL) != 0) childFailed(plan);
  if (getppid() != plan.parent) _exit(127);
  int source[3] = {plan.streams[0], plan.streams[1], plan.streams[2]};
  if (source[0] < 0 && (source[0] = open("/dev/null", O_RDONLY | O_CLOEXEC)) < 0) childFailed(plan);
  // A source among 0 to 2 would be overwritten by the duplication before it: lift it out of the way
  // first (the lifted copy closes when the program starts).
  for (int& fd : source)
    if (fd < 3 && (fd = fcntl(fd, F_DUPFD_CLOEXEC, 3)) < 0) childFailed(plan);
  for (int target = 0; target < 3; ++target)
    if (dup2(source[target], target) < 0) childFailed(plan);
  sigprocmask(SIG_SETMASK, &plan.mask, nullptr);
  execve(plan.program, plan.argv, plan.environment);
  childFailed(plan);
}

// A helper's output on its way to the program's error stream: whole lines are written as they
// come (a line longer than the buffer in pieces), the rest when the helper is done.
class OutputCopy {
 public:
  explicit OutputCopy(int fd) : fd_(fd) {}
  ~OutputCopy() {
    flush();
    if (fd_ >= 0) close(fd_);
  }
  OutputCopy(const OutputCopy&) = delete;
  OutputCopy& operator=(const OutputCopy&) = delete;

  int fd() const { return open_ ? fd_ : -1; }

  // Reads once what the pipe holds; false once it is at its end.
  bool readSome() {
    if (!open_) return false;
    const std::size_t room = sizeof buffer_ - used_;
    const ssize_t got = ::read(fd_, buffer_ + used_, room);
    if (got < 0 && (errno == EINTR || errno == EAGAIN)) return true;
    if (got <= 0) {
      open_ = false;
      return false;
    }
    used_ += static_cast<std::size_t>(got);
    std::size_t lineEnd = used_;
    while (lineEnd > 0 && buffer_[lineEnd - 1] != '\n') --lineEnd;
    if (lineEnd == 0 && used_ == sizeof buffer_) lineEnd = used_;
    // A closed error stream raises SIGPIPE here, which ends the run like its other interrupts.
    writeAll(STDERR_FILENO, buffer_, lineEnd);
    std::copy(buffer_ + lineEnd, buffer_ + used_, buffer_);
    used_ -= lineEnd;
    return true;
  }

  // What the pipe still holds once the helper's group is gone, without waiting for a writer that
  // left it (a process outside the group may hold it open): at most a few pipes' worth.
  void drain() {
    if (!open_) return;
    fcntl(fd_, F_SETFL, fcntl(fd_, F_GETFL) | O_NONBLOCK);
    for (int reads = 0; reads < 64 && open_; ++reads) {
      pollfd entry{fd_, POLLIN, 0};
      if (poll(&entry, 1, 0) <= 0) break;
      readSome();
    }
    flush();
  }

 private:
  void flush() {
    writeAll(STDERR_FILENO, buffer_, used_);
    used_ = 0;
  }

  int fd_;
  bool open_ = true;
  char buffer_[16384];
  std::size_t used_ = 0;
};

// Until the helper has ended (true) or the deadline, when there is one, has passed (false), copying
// its output meanwhile when there is one. A descriptor of the process tells when it ends; without one
// (an older kernel) the wait checks in growing steps, 1 ms to 50 ms.
bool awaitEnd(pid_t pid, int processFd, OutputCopy* output, const timespec* deadline) {
  int pauseMs = 1;
  for (;;) {
    if (processFd < 0 && ended(pid)) return true;
    long long wait = -1;
    if (deadline != nullptr) {
      wait = millisecondsUntil(*deadline);
      if (wait == 0) return ended(pid);
    }
    if (processFd < 0) {
      wait = wait < 0 ? pauseMs : std::min<long long>(wait, pauseMs);
      pauseMs = std::min(pauseMs * 2, 50);
    }
    const int outputFd = output != nullptr ? output->fd() : -1;
    pollfd entries[2];
    nfds_t count = 0;
    if (outputFd >= 0) entries[count++] = {outputFd, POLLIN, 0};
    const nfds_t processEntry = count;
    if (processFd >= 0) entries[count++] = {processFd, POLLIN, 0};
    const int polled = poll(entries, count, static_cast<int>(std::min<long long>(wait, 1LL << 30)));
    if (polled <= 0) continue;
    if (outputFd >= 0 && entries[0].revents != 0) output->readSome();
    if (processFd >= 0 && entries[processEntry].revents != 0) return true;
  }
}

int processDescriptor(pid_t pid) {
  return static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
}

}  // namespace

pid_t spawnHelper(const char* program, char* const argv[], int input, int output, int errors) {
  ChildPlan plan{program, argv, environ, {input, output, errors}, {}, getpid(), 0};
  // No signal may reach the child while it still runs in this process's memory; it restores the mask.
  sigset_t all;
  sigfillset(&all);
  pthread_sigmask(SIG_SETMASK, &all, &plan.mask);
  // The child runs on a stack of its own while this thread waits, until the program has started: no
  // copy of this process's memory is made, however large the process.
  constexpr std::size_t kStack = 64 * 1024;
  void* stack = mmap(nullptr, kStack, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_STACK, -1, 0);
  pid_t pid = -1;
  int error = ENOMEM;
  if (stack != MAP_FAILED) {
    pid =
        clone(startHelperChild, static_cast<char*>(stack) + kStack, CLONE_VM | CLONE_VFORK | SIGCHLD, &plan);
    error = errno;
    munmap(stack, kStack);
  }
  pthread_sigmask(SIG_SETMASK, &plan.mask, nullptr);
  if (pid < 0) {
    errno = error;
    return -1;
  }
  if (plan.error != 0) {
    while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
    errno = plan.error;
    return -1;
  }
  return pid;
}

bool awaitHelperEnd(pid_t pid, int milliseconds) {
  const int processFd = processDescriptor(pid);
  const timespec deadline = deadlineAfter(milliseconds);
  const bool done = awaitEnd(pid, processFd, nullptr, milliseconds >= 0 ? &deadline : nullptr);
  if (processFd >= 0) close(processFd);
  return done;
}

int endHelper(pid_t pid, int slot) {
  kill(-pid, SIGKILL);
  releaseHelperGroup(slot);
  int waitStatus = 0;
  pid_t reaped = -1;
  while ((reaped = waitpid(pid, &waitStatus, 0)) < 0 && errno == EINTR) {
  }
  return reaped == pid ? statusOf(waitStatus) : -1;
}

timespec deadlineAfter(long long milliseconds) {
  constexpr long kSecond = 1'000'000'000;
  timespec at{};
  clock_gettime(CLOCK_MONOTONIC, &at);
  milliseconds = std::max(milliseconds, 0LL);
  at.tv_sec += static_cast<time_t>(milliseconds / 1000);
  at.tv_nsec += static_cast<long>(milliseconds % 1000) * 1'000'000;
  if (at.tv_nsec >= kSecond) {
    at.tv_nsec -= kSecond;
    ++at.tv_sec;
  }
  return at;
}

long long millisecondsUntil(const timespec& deadline) {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  const long long left = (static_cast<long long>(deadline.tv_sec) - now.tv_sec) * 1000 +
                         (deadline.tv_nsec - now.tv_nsec) / 1'000'000;
  return std::max(left, 0LL);
}

void copyFileToErrorStream(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return;
  OutputCopy copy(fd);
  while (copy.readSome()) {
  }
}

PrivateScript::PrivateScript(const std::string& name) {
  const std::string folder = runTemporaryFolder();
  if (!folder.empty()) path_ = folder + "/" + name;
}

PrivateScript::~PrivateScript() {
  if (!path_.empty()) unlink(path_.c_str());
}

bool PrivateScript::write(const std::string& text) {
  if (path_.empty()) return false;
  // The folder is the run's own: what stands under the name can only be an earlier copy.
  unlink(path_.c_str());
  const int fd = open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  const bool written = writeAll(fd, text.data(), text.size());
  const bool whole = close(fd) == 0 && written;
  if (!whole) unlink(path_.c_str());
  return whole;
}

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
  int pipeEnds[2];
  if (pipe2(pipeEnds, O_CLOEXEC) != 0) return result;
  char shell[] = "sh";
  char flag[] = "-c";
  std::string text = command;
  char* argv[] = {shell, flag, text.data(), nullptr};
  const pid_t pid = spawnHelper("/bin/sh", argv, -1, pipeEnds[1], pipeEnds[1]);
  close(pipeEnds[1]);
  OutputCopy output(pipeEnds[0]);
  if (pid < 0) return result;
  result.started = true;
  // Known to the interrupt handler until the shell has ended; released before it is reaped, while
  // its group number cannot yet belong to anyone else.
  const int slot = registerHelperGroup(pid);
  const int processFd = processDescriptor(pid);

  const timespec deadline = deadlineAfter(1000LL * timeLimitSeconds);
  result.timedOut = !awaitEnd(pid, processFd, &output, timeLimitSeconds > 0 ? &deadline : nullptr);
  if (processFd >= 0) close(processFd);
  // Whatever the shell left running in its group goes with it (the shell too, past its time limit):
  // nothing of a helper outlives it, and nothing keeps its output open.
  result.status = endHelper(pid, slot);
  output.drain();
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
