#include "core/interrupts.h"

#include <signal.h>
#include <string.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <iterator>
#include <system_error>

#include "core/utilities.h"

namespace korvelan {

namespace {

// More slots than any run has helpers at once (one logo command per thread, the renderer, one
// conversion or tree drawing).
constexpr int kGroupSlots = 4096;
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

static_assert(std::atomic<pid_t>::is_always_lock_free && std::atomic<int>::is_always_lock_free &&
                  std::atomic<bool>::is_always_lock_free,
              "the signal handler may only touch lock-free atomics");

std::atomic<pid_t> helperGroups[kGroupSlots];
std::atomic<int> interruptedBy{0};
std::atomic<int> stepsRunning{0};

// The run's temporary folder, for the handler: written before the handlers are installed and
// cleared after they are put back, so the handler reads a fixed text.
char handlerFolder[4096];
std::atomic<bool> handlerFolderSet{false};
// The same on the main thread, for the steps.
std::string stepFolder;

struct sigaction savedActions[std::size(kSignals)];

void killHelperGroups() {
  for (std::atomic<pid_t>& slot : helperGroups) {
    const pid_t group = slot.load();
    if (group > 0) kill(-group, SIGKILL);
  }
}

extern "C" void onInterrupt(int signal) {
  const int savedErrno = errno;
  int none = 0;
  const bool first = interruptedBy.compare_exchange_strong(none, signal);
  killHelperGroups();
  // Outside a step no helper runs and the temporary folder has been emptied: nothing is left to do
  // but end. Inside one, or after a first signal, the main thread finishes the work.
  if (first && stepsRunning.load() == 0) {
    if (handlerFolderSet.load()) rmdir(handlerFolder);
    _exit(128 + signal);
  }
  errno = savedErrno;
}

// Removes everything inside the folder, keeping the folder.
void emptyFolder(const std::string& folder) {
  if (folder.empty()) return;
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    std::error_code ignored;
    std::filesystem::remove_all(it->path(), ignored);
  }
}

// A fresh folder of mode 0700 in the temporary folder the program was given (or /tmp), by its full
// path: a helper started in another folder finds it too.
std::string makeRunFolder() {
  const char* given = std::getenv("TMPDIR");
  for (std::string base : {given != nullptr ? std::string(given) : std::string(), std::string("/tmp")}) {
    if (base.empty()) continue;
    if (base.front() != '/') {
      const std::string workingDirectory = getCurrentDirectory();
      if (workingDirectory.empty()) continue;
      base = workingDirectory + "/" + base;
    }
    if (base.back() != '/') base += '/';
    std::string pattern = base + "korvelan-XXXXXX";
    if (pattern.size() >= sizeof handlerFolder) continue;
    if (mkdtemp(pattern.data()) != nullptr) return pattern;
  }
  return "";
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
  return stepFolder;
}

HelperScope::HelperScope() {
  if (const char* value = std::getenv("TMPDIR")) {
    hadTmpdir_ = true;
    savedTmpdir_ = value;
  }
  folder_ = makeRunFolder();
  if (!folder_.empty()) {
    setenv("TMPDIR", folder_.c_str(), 1);
    folder_.copy(handlerFolder, sizeof handlerFolder - 1);
    handlerFolder[folder_.size()] = '\0';
    handlerFolderSet.store(true);
  }
  stepFolder = folder_;
  interruptedBy.store(0);
  struct sigaction action {};
  action.sa_handler = onInterrupt;
  action.sa_flags = SA_RESTART;
  sigemptyset(&action.sa_mask);
  for (int signal : kSignals) sigaddset(&action.sa_mask, signal);
  for (std::size_t i = 0; i < std::size(kSignals); ++i) sigaction(kSignals[i], &action, &savedActions[i]);
}

HelperScope::~HelperScope() {
  for (std::size_t i = 0; i < std::size(kSignals); ++i) sigaction(kSignals[i], &savedActions[i], nullptr);
  handlerFolderSet.store(false);
  interruptedBy.store(0);
  stepFolder.clear();
  if (!folder_.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
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
  try {
    emptyFolder(stepFolder);
  } catch (...) {
    // Out of memory for a path: what is left goes with the folder at the end of the run.
  }
  stepsRunning.fetch_sub(1);
}

void HelperStep::finish() {
  close();
  // A signal that came after this step ended found no step and ended the process itself; one that
  // came before is handled here.
  const int signal = interruptSignal();
  if (signal == 0) return;
  std::cout.flush();
  std::cerr << "Interrupted by signal " << signal << " (" << strsignal(signal) << ") during " << name_
            << ": its helper programs were stopped and their temporary files removed; the reports "
               "written so far are kept."
            << std::endl;
  endRun(128 + signal);
}

}  // namespace korvelan
