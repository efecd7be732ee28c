// Placeholder entry points until the HTML framing and logos land; they do nothing.
#include "reports/framing.h"

namespace korvelan {
void writeHeaderGlobalHTMLOrPDF() {}
void writeHeaderGlobalHTMLOrPDFDatabaseMatch() {}
void writeHeaderHTMLOrPDF() {}
void writeHeaderHTMLOrPDFDatabaseMatch() {}
void writeFooterGlobalHTMLOrPDF() {}
void writeFooterGlobalHTMLOrPDFDatabaseMatch() {}
void writeFooterHTMLOrPDF() {}
void writeFooterHTMLOrPDFDatabaseMatch() {}
void writeMotif() {}
void writeDatabaseMotif() {}
}  // namespace korvelan
