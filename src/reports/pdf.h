// Conversion of finished HTML pages to PDF through the PHP interpreter and the converter behind it.
#pragma once

#include "core/report_files.h"

namespace korvelan {

// Converts one finished HTML page of the run (a report page or a tree page) to a PDF beside it: writes
// the page's conversion script beside the page (the run's claim on its name) and a copy of it in the
// run's private temporary folder, runs the copy and removes both; with the format "PDF" the page goes
// once its PDF is there. Its named forms are the four report converters (reports/framing.h) and
// the two tree converters (tree/tree.h).
void convertPageToPDF(ReportId page);

}  // namespace korvelan
