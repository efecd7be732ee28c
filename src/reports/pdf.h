// Conversion of finished HTML pages to PDF through the PHP interpreter and the converter behind it.
#pragma once

#include "core/report_files.h"

namespace korvelan {

// Converts one finished HTML page of the run (a report page or a tree page) to a PDF beside it: writes
// the page's conversion script beside the page, runs it and removes it; with the format "PDF" the page
// goes once its PDF is there. The four report converters and the two tree converters call this.
void convertPageToPDF(ReportId page);

}  // namespace korvelan
