// The one way every report writer opens and closes its report stream.
#pragma once

#include <fstream>
#include <string>

#include "core/report_files.h"

namespace korvelan {

enum class OpenMode { Create, Append };

// Opens the report stream on its path (truncating for Create); a file that does not open ends the
// run with the output failure message and status 1. Formatting state stays with the stream object.
void openReport(std::ofstream& stream, const std::string& path, OpenMode mode);

// The same for one of the run's reports, on its own stream and path; returns the stream.
std::ofstream& openReport(ReportId report, OpenMode mode);

// Opens an output file the run writes without the open test (the input listing, the PDF conversion
// scripts): false when it does not open, and the caller goes on without it.
bool openUnchecked(std::ofstream& stream, const std::string& path);

// Closes the stream; a stream that failed while writing or closing (disk full, file removed) ends
// the run like a file that did not open, so a lost report never passes as a success.
void closeReport(std::ofstream& stream);

}  // namespace korvelan
