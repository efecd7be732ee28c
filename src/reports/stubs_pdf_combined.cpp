// Placeholder entry points until PDF conversion lands; they do nothing.
#include "reports/framing.h"
#include "reports/pdf.h"

namespace korvelan {
void convertPageToPDF(ReportId) {}
void convertHTMLToPDFGlobal() {}
void convertHTMLToPDFGlobalDatabaseMatch() {}
void convertHTMLToPDF() {}
void convertHTMLToPDFDatabaseMatch() {}
}  // namespace korvelan
