#include "core/globals.h"

#include "core/report_files.h"

namespace korvelan {

namespace {
// The start values: the member initialisers, and the default report names of the report table.
RunState startState() {
  RunState state;
  for (const ReportFile& report : reportFiles())
    state.reports[static_cast<std::size_t>(report.id)].name = report.defaultName;
  return state;
}
}  // namespace

RunState runState = startState();

void resetGlobals() {
  runState = startState();
}

}  // namespace korvelan
