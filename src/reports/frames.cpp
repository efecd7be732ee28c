// Every report's header and footer by its row of the report table, and the named entry points of each.
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

void writeHeaderGlobalText() {
  writeTextHeader(ReportId::GlobalMatching);
}
void writeHeaderGlobalTextDatabaseMatch() {
  writeTextHeader(ReportId::DatabaseMatchingGlobalMatching);
}
void writeHeaderText() {
  writeTextHeader(ReportId::Results);
}
void writeHeaderTextWithoutMotif() {
  writeTextHeader(ReportId::ResultsWithoutMotif);
}
void writeHeaderTextDatabaseMatch() {
  writeTextHeader(ReportId::DatabaseMatching);
}
void writeHeaderTextWithoutMotifDatabaseMatch() {
  writeTextHeader(ReportId::DatabaseMatchingWithoutMotif);
}
void writeHeaderCombinedMatrixGlobal() {
  writeTextHeader(ReportId::CombinedMatrixGlobal);
}
void writeHeaderCombinedMatrixGlobalAndLocal() {
  writeTextHeader(ReportId::CombinedMatrixGlobalAndLocal);
}
void writeHeaderCombinedMatrixBestMatches() {
  writeTextHeader(ReportId::CombinedMatrixBestMatches);
}

void writeFooterGlobalText() {
  writeTextFooter(ReportId::GlobalMatching);
}
void writeFooterGlobalTextDatabaseMatch() {
  writeTextFooter(ReportId::DatabaseMatchingGlobalMatching);
}
void writeFooterText() {
  writeTextFooter(ReportId::Results);
}
void writeFooterTextWithoutMotif() {
  writeTextFooter(ReportId::ResultsWithoutMotif);
}
void writeFooterTextDatabaseMatch() {
  writeTextFooter(ReportId::DatabaseMatching);
}
void writeFooterTextWithoutMotifDatabaseMatch() {
  writeTextFooter(ReportId::DatabaseMatchingWithoutMotif);
}
void writeFooterCombinedMatrixGlobal() {
  writeTextFooter(ReportId::CombinedMatrixGlobal);
}
void writeFooterCombinedMatrixGlobalAndLocal() {
  writeTextFooter(ReportId::CombinedMatrixGlobalAndLocal);
}
void writeFooterCombinedMatrixBestMatches() {
  writeTextFooter(ReportId::CombinedMatrixBestMatches);
}

void writeHeaderGlobalHTMLOrPDF() {
  writePageHeader(ReportId::HTMLGlobalMatching);
}
void writeHeaderGlobalHTMLOrPDFDatabaseMatch() {
  writePageHeader(ReportId::DatabaseMatchingGlobalMatchingHTML);
}
void writeHeaderHTMLOrPDF() {
  writePageHeader(ReportId::HTMLResults);
}
void writeHeaderHTMLOrPDFDatabaseMatch() {
  writePageHeader(ReportId::DatabaseMatchingHTML);
}
void writeHeaderMotifTreeHTMLOrPDF() {
  writePageHeader(ReportId::MotifTreeHTML);
}
void writeHeaderMotifTreeGlobalHTMLOrPDF() {
  writePageHeader(ReportId::MotifTreeGlobalHTML);
}

void writeFooterGlobalHTMLOrPDF() {
  writePageFooter(ReportId::HTMLGlobalMatching);
}
void writeFooterGlobalHTMLOrPDFDatabaseMatch() {
  writePageFooter(ReportId::DatabaseMatchingGlobalMatchingHTML);
}
void writeFooterHTMLOrPDF() {
  writePageFooter(ReportId::HTMLResults);
}
void writeFooterHTMLOrPDFDatabaseMatch() {
  writePageFooter(ReportId::DatabaseMatchingHTML);
}
void writeFooterMotifTreeHTMLOrPDF() {
  writePageFooter(ReportId::MotifTreeHTML);
}
void writeFooterMotifTreeGlobalHTMLOrPDF() {
  writePageFooter(ReportId::MotifTreeGlobalHTML);
}

}  // namespace korvelan
