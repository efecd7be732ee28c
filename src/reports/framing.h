// Report framing: headers that create the report files, footers that complete them, motif logos and
// the conversion of HTML pages to PDF.
#pragma once

#include "core/report_files.h"

namespace korvelan {

// The header of a report, which creates its file, and its footer, which completes it: the text or the
// page frame by the report's form (core/report_files.h).
void writeReportHeader(ReportId report);
void writeReportFooter(ReportId report);
void writeTextHeader(ReportId report);
void writeTextFooter(ReportId report);
void writePageHeader(ReportId report);
void writePageFooter(ReportId report);

// The named forms of writeReportHeader and writeReportFooter, one per report (frames.cpp).
// Text report headers (create their file) and footers (append).
void writeHeaderGlobalText();
void writeHeaderGlobalTextDatabaseMatch();
void writeHeaderText();
void writeHeaderTextWithoutMotif();
void writeHeaderTextDatabaseMatch();
void writeHeaderTextWithoutMotifDatabaseMatch();
void writeHeaderCombinedMatrixGlobal();
void writeHeaderCombinedMatrixGlobalAndLocal();
void writeHeaderCombinedMatrixBestMatches();
void writeFooterGlobalText();
void writeFooterGlobalTextDatabaseMatch();
void writeFooterText();
void writeFooterTextWithoutMotif();
void writeFooterTextDatabaseMatch();
void writeFooterTextWithoutMotifDatabaseMatch();
void writeFooterCombinedMatrixGlobal();
void writeFooterCombinedMatrixGlobalAndLocal();
void writeFooterCombinedMatrixBestMatches();

// HTML page headers and footers.
void writeHeaderGlobalHTMLOrPDF();
void writeHeaderGlobalHTMLOrPDFDatabaseMatch();
void writeHeaderHTMLOrPDF();
void writeHeaderHTMLOrPDFDatabaseMatch();
void writeFooterGlobalHTMLOrPDF();
void writeFooterGlobalHTMLOrPDFDatabaseMatch();
void writeFooterHTMLOrPDF();
void writeFooterHTMLOrPDFDatabaseMatch();

// Tree page headers and footers (the tree sections are written by the tree step, tree/tree.h).
void writeHeaderMotifTreeHTMLOrPDF();
void writeHeaderMotifTreeGlobalHTMLOrPDF();
void writeFooterMotifTreeHTMLOrPDF();
void writeFooterMotifTreeGlobalHTMLOrPDF();

// Logos of the input motifs (Datasets) and of the collection motifs (DatabaseDatasets).
void writeMotif();
void writeDatabaseMotif();

// The named forms of convertPageToPDF (reports/pdf.h), one per report page (pdf.cpp).
void convertHTMLToPDFGlobal();
void convertHTMLToPDFGlobalDatabaseMatch();
void convertHTMLToPDF();
void convertHTMLToPDFDatabaseMatch();

// The combined-motif report bodies.
void WriteCombinedMotifsGlobal();
void WriteCombinedMotifsGlobalAndLocal();
void WriteCombinedMotifsBestMatches();

}  // namespace korvelan
