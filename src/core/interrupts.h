// Interrupts (SIGINT, SIGTERM, SIGHUP, SIGQUIT, and SIGPIPE when standard output or the error
// stream is closed early) of a run and the helper programs it runs.
//
// While a run's helper scope lives, these signals are caught (one the program was started with
// ignored, as under nohup, stays ignored). The handler does only what is safe inside a signal
// handler: it records the first signal and kills the process groups of the helpers that run at
// that moment (each helper runs in a group of its own, which a terminal's Ctrl-C would not reach).
// During a helper step (the logo stage, a PDF conversion, a tree drawing) the step itself then
// removes the files that exist only while it runs and ends the run with status 128 + the signal's
// number. Outside a step the handler ends the process at once with that status, after one line on
// the error stream naming the run's stage, the removal of the run's claim when nothing was written
// to it yet, and the removal of the run's temporary folder.
#pragma once

#include <signal.h>
#include <sys/types.h>

#include <cstdint>
#include <string>

namespace korvelan {

// The signal that interrupted the run, or 0.
int interruptSignal();

// The process group of a running helper, known to the handler from registerHelperGroup until
// releaseHelperGroup. Release it before the helper is reaped, so that the handler never kills a
// group whose number has been given to someone else. A group registered after an interrupt is
// killed at once.
int registerHelperGroup(pid_t group);  // a slot for releaseHelperGroup; -1 when every slot is taken
void releaseHelperGroup(int slot);

// What the run is doing, for the line an interrupt outside a helper step writes on the error stream:
// "Interrupted by signal N (Name) during " + name + ": " + outcome. Both texts are fixed (string
// literals), so the handler may read them at any moment.
struct RunStage {
  const char* name;
  const char* outcome;
};
void setRunStage(const RunStage& stage);

// The empty file that claims the run's job identifier (its input listing), with the identity it was
// created with. An interrupt outside a step, or removeUnwrittenClaim, removes it while it is still
// that empty file; the path is kept in a fixed buffer, so neither needs memory.
void setRunClaim(const std::string& path, std::uint64_t device, std::uint64_t inode);
void removeUnwrittenClaim();

// Holds the caught signals back on the calling thread while it lives (for work a signal must not cut
// in two, such as making the run's claim and naming it to the handler); one that came meanwhile is
// handled when it goes.
class SignalsHeld {
 public:
  SignalsHeld();
  ~SignalsHeld();
  SignalsHeld(const SignalsHeld&) = delete;
  SignalsHeld& operator=(const SignalsHeld&) = delete;

 private:
  sigset_t saved_;
};

// Everything a run's helpers share: one private temporary folder (mode 0700, named to every
// helper through TMPDIR) and the signal handlers. The destructor puts back the former TMPDIR and
// handlers and removes the folder with whatever a killed helper left in it, also when memory has run
// out.
class HelperScope {
 public:
  HelperScope();
  ~HelperScope();
  HelperScope(const HelperScope&) = delete;
  HelperScope& operator=(const HelperScope&) = delete;

  std::string temporaryFolder() const;  // empty when none could be made

 private:
  bool hadTmpdir_ = false;
  std::string savedTmpdir_;
};

// The private temporary folder of the run's HelperScope (main thread), or empty when there is none.
std::string runTemporaryFolder();

// A step that runs helpers, on the main thread; an interrupt while it lives is left to the step.
// finish() ends the step, emptying the run's temporary folder of what its helpers left there, and
// when an interrupt came it says so on the error stream and ends the run with status 128 + the
// signal's number: call it once the step has removed its own files. A step left by an exception
// is ended the same way by its destructor, which throws nothing.
class HelperStep {
 public:
  explicit HelperStep(const char* name);
  ~HelperStep();
  HelperStep(const HelperStep&) = delete;
  HelperStep& operator=(const HelperStep&) = delete;

  void finish();

 private:
  void close();

  const char* name_;
  bool open_ = true;
};

}  // namespace korvelan
