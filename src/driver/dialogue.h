// The console dialogue that configures a run.
#pragma once

#include <istream>
#include <ostream>

namespace korvelan {

// Asks every question in order, re-asking refused answers, and fills the settings, FileNameType and
// DBName; sets the thread count. Ends the run with status 1 when the input ends before the last answer.
void runDialogue(std::istream& in, std::ostream& out);

}  // namespace korvelan
