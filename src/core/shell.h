// The one way the program runs an external command (the logo program, the PDF converter, R): a
// command line through /bin/sh, and the quoting rule for the paths placed in such a line.
#pragma once

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
// group is killed when the limit passes. After an interrupt no command starts. Safe to call from
// several threads at once.
ShellResult runShell(const std::string& command, int timeLimitSeconds = 0);

// A time limit of `base` seconds and `perMiB` more for every started MiB of the file (none when it
// is missing), for a helper whose work grows with the file it is given; at most a day.
int limitForFile(int base, int perMiB, const std::string& file);

// "1 second", "N seconds".
std::string secondsText(int seconds);

}  // namespace korvelan
