// The one way the program runs an external command (the logo program, the PDF converter, R): a
// command line through /bin/sh, and the quoting rule for the paths placed in such a line.
//
// Every helper runs in a process group of its own, dies with the thread that started it, reads
// /dev/null unless it is given a pipe of its own, and never writes to the terminal: what it prints
// comes to the program's error stream. So a helper in the background of a terminal session is never
// stopped by the terminal, and once it has ended nothing it started is left running.
#pragma once

#include <sys/types.h>
#include <time.h>

#include <string>

namespace korvelan {

// A path as one shell word. A path of only letters, digits and "_./+-" stays as it is; any other is
// put in single quotes (a quote inside becomes '\''). A path beginning with "-" gets "./" in front,
// so no program reads a path typed at the prompts as one of its options.
std::string shellWord(const std::string& path);

// Text for the inside of a single-quoted string of the scripts the program writes (PHP for the PDF
// converter, R for the trees): "\" and "'" get a backslash, so a path stays one literal and an
// ordinary path is written exactly as it is.
std::string singleQuotedLiteral(const std::string& text);

struct ShellResult {
  bool started = false;      // the shell could be started
  bool timedOut = false;     // stopped after the time limit
  bool interrupted = false;  // the run was interrupted (core/interrupts.h) before the command ended
  int status = -1;           // exit status; 128 + signal number when a signal ended it
  bool succeeded() const { return started && !timedOut && !interrupted && status == 0; }
};

// Runs the command line through /bin/sh and waits for it. The command runs in a process group of
// its own, which an interrupt of the run kills, and with a time limit (seconds, above 0) the whole
// group is killed when the limit passes; when the shell has ended, however it ended, whatever is
// left of its group is killed too. Its standard input is /dev/null; its standard output and error
// are copied to the program's error stream while it runs (a line at a time, so the lines of helpers
// running at once stay whole). After an interrupt no command starts. Safe to call from several
// threads at once.
ShellResult runShell(const std::string& command, int timeLimitSeconds = 0);

// Starts `program` (a path, not searched for) with `argv` as a helper: in a process group of its
// own (its number is the helper's pid), with SIGKILL sent to it when the calling thread ends (with
// the program, however the program is killed), and with the descriptors `input` (/dev/null when
// -1), `output` and `errors` as its standard input, output and error; the caller keeps and closes
// those. Returns the pid, or -1 with errno set. The caller waits for the helper on the same thread,
// kills what is left of its group before reaping it, and reaps it. Safe to call from several
// threads at once: only the helper gets the three descriptors.
pid_t spawnHelper(const char* program, char* const argv[], int input, int output, int errors);

// Waits until the helper `pid` (a child started by spawnHelper) has ended, at most `milliseconds` (-1:
// however long that takes); true once it has. It stays unreaped, a zombie holding its process-group
// number, so that the caller's kill of what is left of the group reaches nobody else.
bool awaitHelperEnd(pid_t pid, int milliseconds);

// Ends the helper `pid` (started by spawnHelper, its group known to the interrupt handler by `slot`
// of registerHelperGroup, or -1): kills whatever is left of its process group, the helper too if it
// still runs, releases the slot and reaps it, in that order, so that the kill reaches only its own
// group. Returns its exit status as ShellResult::status gives it, or -1 when it could not be reaped.
int endHelper(pid_t pid, int slot);

// A point `milliseconds` from now on the monotonic clock, and the whole milliseconds left until such a
// point (0 once it has passed): the deadlines of the waits for helpers.
timespec deadlineAfter(long long milliseconds);
long long millisecondsUntil(const timespec& deadline);

// Copies the file (a helper's messages, kept there while it ran) to the program's error stream.
void copyFileToErrorStream(const std::string& path);

// A copy of a script the run wrote, for a helper to run: in the run's private temporary folder
// (mode 0700), so that nobody who may write in the result folder can put a script of their own
// under the name the helper is given. The copy goes with the object.
class PrivateScript {
 public:
  explicit PrivateScript(const std::string& name);  // the copy's file name in the folder
  ~PrivateScript();
  PrivateScript(const PrivateScript&) = delete;
  PrivateScript& operator=(const PrivateScript&) = delete;

  // Where the copy goes; empty when the run has no private folder.
  const std::string& path() const { return path_; }
  // Writes the copy; false when there is no private folder or the file could not be written whole.
  bool write(const std::string& text);

 private:
  std::string path_;
};

// A time limit of `base` seconds and `perMiB` more for every started MiB of the file (none when it
// is missing), for a helper whose work grows with the file it is given; at most a day.
int limitForFile(int base, int perMiB, const std::string& file);

// "1 second", "N seconds".
std::string secondsText(int seconds);

}  // namespace korvelan
