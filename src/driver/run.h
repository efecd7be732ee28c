// The run sequence: naming of the run's outputs and the fixed order of the stages.
#pragma once

#include <string>

namespace korvelan {

// "J_" + local date + "_" + a number from 1000 to 9999 + "_". A number whose listing file already
// lies in outputPath is drawn again, so two runs in one second do not overwrite each other.
std::string makeJobID();

// outputPath from inputPath, then jobID, then the fifteen report names and paths.
void nameOutputs();

// Every stage after the dialogue, in order; returns the exit status of a complete run (0).
int runSequence();

}  // namespace korvelan
