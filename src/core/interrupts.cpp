#include "core/interrupts.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <string.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <iterator>
#include <system_error>

#include "core/report_io.h"
#include "core/utilities.h"
#include "core/write_all.h"

namespace korvelan {

namespace {

// More slots than any run has helpers at once (one logo command per thread, the renderer, one
// conversion or tree drawing).
constexpr int kGroupSlots = 4096;
// SIGPIPE comes when standard output or the error stream is closed early (korvelan < answers | head -1):
// the program's own writes are the only ones that can meet a closed pipe, since it only reads from its
// helpers (their output, too, reaches the error stream through the program's writes).
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE};
constexpr std::size_t kSignalCount = std::size(kSignals);
// Levels of folders the removal without memory goes down; a helper's leftovers are shallow, and what
// lies deeper goes with the run's folder at the end of the run.
constexpr int kRemovalDepth = 16;

static_assert(std::atomic<pid_t>::is_always_lock_free && std::atomic<int>::is_always_lock_free &&
                  std::atomic<bool>::is_always_lock_free && std::atomic<const RunStage*>::is_always_lock_free,
              "the signal handler may only touch lock-free atomics");

std::atomic<pid_t> helperGroups[kGroupSlots];
std::atomic<int> interruptedBy{0};
std::atomic<int> stepsRunning{0};
std::atomic<const RunStage*> currentStage{nullptr};

// The run's temporary folder, for the handler and the main thread alike: written before the
// handlers are installed and marked unset once the folder is gone, so the handler reads a fixed text.
char handlerFolder[4096];
std::atomic<bool> handlerFolderSet{false};

// The run's claim, written before claimSet is raised.
char claimPath[4096];
std::uint64_t claimDevice = 0;
std::uint64_t claimInode = 0;
std::atomic<bool> claimSet{false};

// The signals' names as strsignal gives them, taken when the handlers are installed (strsignal itself
// is not safe inside a handler).
char signalNames[kSignalCount][64];
struct sigaction savedActions[kSignalCount];
bool installed[kSignalCount];

void killHelperGroups() {
  for (std::atomic<pid_t>& slot : helperGroups) {
    const pid_t group = slot.load();
    if (group > 0) kill(-group, SIGKILL);
  }
}

// One line of bounded length, built without memory.
class FixedLine {
 public:
  void add(const char* text) {
    while (*text != '\0' && size_ < sizeof text_) text_[size_++] = *text++;
  }
  void addNumber(int value) {
    char digits[12];
    int count = 0;
    unsigned rest = static_cast<unsigned>(value);
    do {
      digits[count++] = static_cast<char>('0' + rest % 10);
      rest /= 10;
    } while (rest != 0 && count < 12);
    while (count > 0 && size_ < sizeof text_) text_[size_++] = digits[--count];
  }
  void writeTo(int fd) const { writeAll(fd, text_, size_); }

 private:
  char text_[1024];
  std::size_t size_ = 0;
};

const char* nameOf(int signal) {
  for (std::size_t i = 0; i < kSignalCount; ++i)
    if (kSignals[i] == signal) return signalNames[i];
  return "unknown";
}

// "Interrupted by signal 15 (Terminated) during the scans: " and what the stage leaves, in one write;
// the signal's name is given, since only the handler's own copies may be read inside it.
void sayInterrupted(int signal, const char* name, const RunStage* stage) {
  FixedLine line;
  line.add("Interrupted by signal ");
  line.addNumber(signal);
  line.add(" (");
  line.add(name);
  line.add(")");
  if (stage != nullptr) {
    line.add(" during ");
    line.add(stage->name);
    line.add(": ");
    line.add(stage->outcome);
  } else {
    line.add(".");
  }
  line.add("\n");
  line.writeTo(STDERR_FILENO);
}

void removeEntries(int folder, int depthLeft);

// One entry of an open folder: a file or link unlinked, a folder emptied and removed. False when
// it is still there.
bool removeEntryAt(int folder, const char* name, int depthLeft) {
  if (unlinkat(folder, name, 0) == 0 || errno == ENOENT) return true;
  if (errno != EISDIR && errno != EPERM) return false;
  if (depthLeft > 0) {
    const int inner = openat(folder, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (inner >= 0) {
      removeEntries(inner, depthLeft - 1);
      close(inner);
    }
  }
  return unlinkat(folder, name, AT_REMOVEDIR) == 0 || errno == ENOENT;
}

// Empties an open folder. Entries removed while it is read may move the ones not yet read, so it is
// read again from the start until a pass finds nothing. A pass that removed nothing ends it too:
// repeating it at every level of a tree deeper than the limit would take passes^depth reads.
void removeEntries(int folder, int depthLeft) {
  for (int pass = 0; pass < 8; ++pass) {
    bool found = false;
    bool removed = false;
    if (lseek(folder, 0, SEEK_SET) != 0) return;
    alignas(dirent64) char buffer[1024];
    ssize_t got = 0;
    while ((got = getdents64(folder, buffer, sizeof buffer)) > 0) {
      for (ssize_t at = 0; at < got;) {
        const auto* entry = reinterpret_cast<const dirent64*>(buffer + at);
        at += entry->d_reclen;
        const char* name = entry->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) continue;
        found = true;
        removed = removeEntryAt(folder, name, depthLeft) || removed;
      }
    }
    if (!found || !removed) return;
  }
}

// Everything in the folder, with calls that need no memory: the one removal of what helpers leave,
// in the signal handler too. Never follows a link; goes kRemovalDepth levels of folders down.
void emptyFolder(const char* path) {
  const int folder = open(path, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (folder < 0) return;
  removeEntries(folder, kRemovalDepth);
  close(folder);
}

// The folder with everything in it, the same way; false when it is still there.
bool removeFolder(const char* path) {
  if (rmdir(path) == 0 || errno == ENOENT) return true;
  emptyFolder(path);
  return rmdir(path) == 0 || errno == ENOENT;
}

extern "C" void onInterrupt(int signal) {
  const int savedErrno = errno;
  int none = 0;
  const bool first = interruptedBy.compare_exchange_strong(none, signal);
  killHelperGroups();
  // Outside a step no helper runs: the handler says where the run stopped, takes back the claim of a
  // run that wrote nothing yet, removes the temporary folder and ends. Inside one, or after a first
  // signal, the main thread finishes the work.
  if (first && stepsRunning.load() == 0) {
    sayInterrupted(signal, nameOf(signal), currentStage.load());
    removeUnwrittenClaim();
    if (handlerFolderSet.load()) removeFolder(handlerFolder);
    _exit(128 + signal);
  }
  errno = savedErrno;
}

}  // namespace

int interruptSignal() {
  return interruptedBy.load();
}

int registerHelperGroup(pid_t group) {
  if (group <= 0) return -1;
  for (int slot = 0; slot < kGroupSlots; ++slot) {
    pid_t empty = 0;
    if (helperGroups[slot].compare_exchange_strong(empty, group)) {
      // The handler records the signal before it looks at the slots: a signal it missed the
      // group for is seen here.
      if (interruptedBy.load() != 0) kill(-group, SIGKILL);
      return slot;
    }
  }
  return -1;
}

void releaseHelperGroup(int slot) {
  if (slot >= 0 && slot < kGroupSlots) helperGroups[slot].store(0);
}

std::string runTemporaryFolder() {
  return handlerFolderSet.load() ? std::string(handlerFolder) : std::string();
}

void setRunStage(const RunStage& stage) {
  currentStage.store(&stage);
}

void setRunClaim(const std::string& path, std::uint64_t device, std::uint64_t inode) {
  claimSet.store(false);
  if (path.empty() || path.size() >= sizeof claimPath || path.find('\0') != std::string::npos) return;
  path.copy(claimPath, path.size());
  claimPath[path.size()] = '\0';
  claimDevice = device;
  claimInode = inode;
  claimSet.store(true);
}

void removeUnwrittenClaim() {
  if (claimSet.load()) unlinkIfStill(claimPath, claimDevice, claimInode, true);
}

SignalsHeld::SignalsHeld() {
  sigset_t held;
  sigemptyset(&held);
  for (int signal : kSignals) sigaddset(&held, signal);
  pthread_sigmask(SIG_BLOCK, &held, &saved_);
}

SignalsHeld::~SignalsHeld() {
  pthread_sigmask(SIG_SETMASK, &saved_, nullptr);
}

HelperScope::HelperScope() {
  if (const char* value = std::getenv("TMPDIR")) {
    hadTmpdir_ = true;
    savedTmpdir_ = value;
  }
  const std::string folder = makePrivateFolder("korvelan-", sizeof handlerFolder - 1);
  if (!folder.empty()) {
    setenv("TMPDIR", folder.c_str(), 1);
    folder.copy(handlerFolder, folder.size());
    handlerFolder[folder.size()] = '\0';
    handlerFolderSet.store(true);
  }
  interruptedBy.store(0);
  struct sigaction action {};
  action.sa_handler = onInterrupt;
  action.sa_flags = SA_RESTART;
  sigemptyset(&action.sa_mask);
  for (int signal : kSignals) sigaddset(&action.sa_mask, signal);
  for (std::size_t i = 0; i < kSignalCount; ++i) {
    const char* name = strsignal(kSignals[i]);
    snprintf(signalNames[i], sizeof signalNames[i], "%s", name != nullptr ? name : "unknown");
    // A signal the program was started with ignored (nohup, a background job of a script) stays so.
    installed[i] = sigaction(kSignals[i], nullptr, &savedActions[i]) == 0 && savedActions[i].sa_handler != SIG_IGN;
    if (installed[i]) sigaction(kSignals[i], &action, nullptr);
  }
}

std::string HelperScope::temporaryFolder() const {
  return runTemporaryFolder();
}

HelperScope::~HelperScope() {
  // The folder goes while the handlers still stand: a signal meanwhile ends the run through them.
  if (handlerFolderSet.load() && !removeFolder(handlerFolder)) {
    // Folders deeper than the removal without memory goes take the recursive removal, which needs
    // memory: out of memory, they stay.
    try {
      std::error_code ignored;
      std::filesystem::remove_all(handlerFolder, ignored);
    } catch (...) {
    }
  }
  handlerFolderSet.store(false);
  claimSet.store(false);
  currentStage.store(nullptr);
  const bool pipeClosed = interruptedBy.load() == SIGPIPE;
  for (std::size_t i = 0; i < kSignalCount; ++i) {
    if (!installed[i]) continue;
    if (kSignals[i] == SIGPIPE && pipeClosed) {
      // Standard output or the error stream is gone: writing to it once more must not end the program
      // by the signal.
      struct sigaction ignore {};
      ignore.sa_handler = SIG_IGN;
      sigemptyset(&ignore.sa_mask);
      sigaction(SIGPIPE, &ignore, nullptr);
    } else {
      sigaction(kSignals[i], &savedActions[i], nullptr);
    }
    installed[i] = false;
  }
  interruptedBy.store(0);
  if (hadTmpdir_)
    setenv("TMPDIR", savedTmpdir_.c_str(), 1);
  else
    unsetenv("TMPDIR");
}

HelperStep::HelperStep(const char* name) : name_(name) {
  stepsRunning.fetch_add(1);
}

HelperStep::~HelperStep() {
  close();
}

void HelperStep::close() {
  if (!open_) return;
  open_ = false;
  if (handlerFolderSet.load()) emptyFolder(handlerFolder);
  stepsRunning.fetch_sub(1);
}

void HelperStep::finish() {
  close();
  // A signal that came after this step ended found no step and ended the process itself; one that
  // came before is handled here.
  const int signal = interruptSignal();
  if (signal == 0) return;
  const RunStage stage{name_,
                       "its helper programs were stopped and their temporary files removed; the reports "
                       "written so far are kept."};
  std::cout.flush();
  sayInterrupted(signal, strsignal(signal), &stage);
  endRun(128 + signal);
}

}  // namespace korvelan
