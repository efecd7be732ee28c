// The run sequence: naming of the run's outputs and the fixed order of the stages.
#pragma once

#include <string>

#include "core/report_files.h"

namespace korvelan {

// "J_" + local date + "_" + a number from 1000 to 9999 + "_", drawn from a seed that differs from
// run to run. A number whose listing file is already in outputPath is drawn again. With `claim` the
// listing file of the number taken is created at once with exclusive creation, so that of two runs
// in one result folder at the same moment only one can own an identifier; without an output folder
// to create it in (empty, missing, unwritable) the number is taken unclaimed, and the run meets the
// folder's fault at its first report.
std::string makeJobID(bool claim = false);

// outputPath from inputPath, then jobID, then the fifteen report names and paths.
void nameOutputs();

// The steps of a run that reach beyond the program's own code: the logo program, the collection files
// and the PDF converter. A run takes the real ones; the fuzz target puts stand-ins in their place and
// so runs every other stage in the run's own order.
struct OutsideSteps {
  void (*drawLogos)();            // the input motifs' logos, when pages are wanted
  bool (*loadCollection)();       // the chosen collection into DatabaseDatasets; false for none
  void (*drawCollectionLogos)();  // the collection motifs' logos, when pages are wanted
  void (*convertPage)(ReportId);  // one finished page to PDF, when PDF is wanted
};
const OutsideSteps& realOutsideSteps();

// Every stage from reading the input to the closing lines, in order, once the outputs are named.
void runStages(const OutsideSteps& steps);

// Names the outputs and runs every stage with the real outside steps; returns the exit status of a
// complete run (0).
int runSequence();

}  // namespace korvelan
