// Headers that create the nine text reports and footers that complete them.
#include "reports/text_framing.h"

#include <fstream>

#include "core/answers.h"
#include "core/collections.h"
#include "core/globals.h"
#include "core/program_texts.h"
#include "core/report_files.h"
#include "core/report_io.h"
#include "core/utilities.h"
#include "input/input.h"
#include "reports/framing.h"

namespace korvelan {

std::string databaseDisplayName(const std::string& key) {
  const Collection* collection = collectionOf(key);
  return collection != nullptr ? collection->displayName : "None";
}

const char* yesNo(const std::string& answer) {
  return answer == "Y" ? "Yes" : "No";
}

// Creates the report and writes the title, the run's settings, the input files and the RESULTS
// banner. The cutoff goes out in whatever number format the stream holds (its initial one here).
void writeTextHeader(ReportId report) {
  const HeaderVariant variant = reportFile(report).header;
  std::ofstream& out = openReport(report, OpenMode::Create);
  out << starRule << '\n';
  out << kProgramTitle << '\n';
  out << kReportVersion << '\n';
  out << '\n';
  out << starRule << '\n';
  out << "INPUT\n";
  out << starRule << '\n';
  out << '\n';
  out << "Input Parameters \n";
  forEachSetting(false, [&out](const char* label, const auto& value) { out << label << value << '\n'; });
  if (variant != HeaderVariant::NoGapBeforeFiles) out << '\n';
  writeInputFilesTable(out);
  out << '\n';
  out << starRule << '\n';
  out << "RESULTS\n";
  out << starRule << '\n';
  out << '\n';
  if (variant == HeaderVariant::OneFileNote && !severalFiles()) {
    out << kOneFileNote << '\n';
    out << '\n';
  }
  closeReport(out);
}

// Appends the creation date, the run time and the author line. The run time goes out in the
// stream's current number format, which a matrix printout earlier in the report may have set.
void writeTextFooter(ReportId report) {
  std::ofstream& out = openReport(report, OpenMode::Append);
  const std::string created = getCurrDateTime();
  out << '\n';
  out << kCreatedBy << created << '\n';
  out << "Runtime: " << wtime << " seconds\n";
  out << '\n';
  out << kAuthorLine << '\n';
  closeReport(out);
}

}  // namespace korvelan
