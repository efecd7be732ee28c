// Every report's header and footer by its row of the report table, and their named forms.
#include "core/report_files.h"
#include "reports/framing.h"

namespace korvelan {

void writeReportHeader(ReportId report) {
  if (reportFile(report).form == ReportForm::Page)
    writePageHeader(report);
  else
    writeTextHeader(report);
}

void writeReportFooter(ReportId report) {
  if (reportFile(report).form == ReportForm::Page)
    writePageFooter(report);
  else
    writeTextFooter(report);
}

// The named forms of writeReportHeader and writeReportFooter, one per report.
void writeHeaderGlobalText() {
  writeReportHeader(ReportId::GlobalMatching);
}
void writeHeaderGlobalTextDatabaseMatch() {
  writeReportHeader(ReportId::DatabaseMatchingGlobalMatching);
}
void writeHeaderText() {
  writeReportHeader(ReportId::Results);
}
void writeHeaderTextWithoutMotif() {
  writeReportHeader(ReportId::ResultsWithoutMotif);
}
void writeHeaderTextDatabaseMatch() {
  writeReportHeader(ReportId::DatabaseMatching);
}
void writeHeaderTextWithoutMotifDatabaseMatch() {
  writeReportHeader(ReportId::DatabaseMatchingWithoutMotif);
}
void writeHeaderCombinedMatrixGlobal() {
  writeReportHeader(ReportId::CombinedMatrixGlobal);
}
void writeHeaderCombinedMatrixGlobalAndLocal() {
  writeReportHeader(ReportId::CombinedMatrixGlobalAndLocal);
}
void writeHeaderCombinedMatrixBestMatches() {
  writeReportHeader(ReportId::CombinedMatrixBestMatches);
}

void writeFooterGlobalText() {
  writeReportFooter(ReportId::GlobalMatching);
}
void writeFooterGlobalTextDatabaseMatch() {
  writeReportFooter(ReportId::DatabaseMatchingGlobalMatching);
}
void writeFooterText() {
  writeReportFooter(ReportId::Results);
}
void writeFooterTextWithoutMotif() {
  writeReportFooter(ReportId::ResultsWithoutMotif);
}
void writeFooterTextDatabaseMatch() {
  writeReportFooter(ReportId::DatabaseMatching);
}
void writeFooterTextWithoutMotifDatabaseMatch() {
  writeReportFooter(ReportId::DatabaseMatchingWithoutMotif);
}
void writeFooterCombinedMatrixGlobal() {
  writeReportFooter(ReportId::CombinedMatrixGlobal);
}
void writeFooterCombinedMatrixGlobalAndLocal() {
  writeReportFooter(ReportId::CombinedMatrixGlobalAndLocal);
}
void writeFooterCombinedMatrixBestMatches() {
  writeReportFooter(ReportId::CombinedMatrixBestMatches);
}

void writeHeaderGlobalHTMLOrPDF() {
  writeReportHeader(ReportId::HTMLGlobalMatching);
}
void writeHeaderGlobalHTMLOrPDFDatabaseMatch() {
  writeReportHeader(ReportId::DatabaseMatchingGlobalMatchingHTML);
}
void writeHeaderHTMLOrPDF() {
  writeReportHeader(ReportId::HTMLResults);
}
void writeHeaderHTMLOrPDFDatabaseMatch() {
  writeReportHeader(ReportId::DatabaseMatchingHTML);
}
void writeHeaderMotifTreeHTMLOrPDF() {
  writeReportHeader(ReportId::MotifTreeHTML);
}
void writeHeaderMotifTreeGlobalHTMLOrPDF() {
  writeReportHeader(ReportId::MotifTreeGlobalHTML);
}

void writeFooterGlobalHTMLOrPDF() {
  writeReportFooter(ReportId::HTMLGlobalMatching);
}
void writeFooterGlobalHTMLOrPDFDatabaseMatch() {
  writeReportFooter(ReportId::DatabaseMatchingGlobalMatchingHTML);
}
void writeFooterHTMLOrPDF() {
  writeReportFooter(ReportId::HTMLResults);
}
void writeFooterHTMLOrPDFDatabaseMatch() {
  writeReportFooter(ReportId::DatabaseMatchingHTML);
}
void writeFooterMotifTreeHTMLOrPDF() {
  writeReportFooter(ReportId::MotifTreeHTML);
}
void writeFooterMotifTreeGlobalHTMLOrPDF() {
  writeReportFooter(ReportId::MotifTreeGlobalHTML);
}

}  // namespace korvelan
