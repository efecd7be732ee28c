// Headers that create the nine text reports and footers that complete them.
#include "reports/text_framing.h"

#include <algorithm>
#include <cstddef>
#include <fstream>
#include <iomanip>

#include "core/answers.h"
#include "core/collections.h"
#include "core/globals.h"
#include "core/report_files.h"
#include "core/report_io.h"
#include "core/utilities.h"
#include "reports/framing.h"

namespace korvelan {

std::string databaseDisplayName(const std::string& key) {
  const Collection* collection = collectionOf(key);
  return collection != nullptr ? collection->displayName : "None";
}

const char* yesNo(const std::string& answer) {
  return answer == "Y" ? "Yes" : "No";
}

void writeInputFilesTable(std::ostream& out) {
  std::size_t longest = 0;
  for (const fileNameAndType& file : FileNameType) longest = std::max(longest, file.fileName.size());
  const int nameWidth = static_cast<int>(longest) + 10;
  out << std::left;
  out << std::setw(nameWidth) << "File name" << std::setw(20) << "Count of motifs" << std::setw(15)
      << "Dataset #" << '\n';
  for (const fileNameAndType& file : FileNameType)
    out << std::setw(nameWidth) << file.fileName << std::setw(20) << file.motifCount << std::setw(15)
        << file.datasetNum << '\n';
}

// Creates the report and writes the title, the run's settings, the input files and the RESULTS
// banner. The cutoff goes out in whatever number format the stream holds (its initial one here).
void writeTextHeader(ReportId report) {
  const HeaderVariant variant = reportFile(report).header;
  std::ofstream& out = openReport(report, OpenMode::Create);
  out << starRule << '\n';
  out << "KORVELAN - KORVELAN Detection Tool\n";
  out << "Version 2.2\n";
  out << '\n';
  out << starRule << '\n';
  out << "INPUT\n";
  out << starRule << '\n';
  out << '\n';
  out << "Input Parameters \n";
  out << "Number of files: " << numFile << '\n';
  out << "Number of top significant motifs: " << numTopMotif << '\n';
  out << "Number of best matches: " << numBestMatches << '\n';
  out << "Similarity cutoff: >= " << simCutoff << '\n';
  out << "Matching motif database: " << databaseDisplayName(DBName) << '\n';
  out << "Motif tree: " << yesNo(motifCluster) << '\n';
  out << "Combined similar motifs: " << yesNo(combinedMotifFlag) << '\n';
  out << "Output file type: " << outputFileType << '\n';
  out << "Output file format: " << outputFileFormat << '\n';
  if (variant != HeaderVariant::NoGapBeforeFiles) out << '\n';
  out << "Input files and motif counts\n";
  writeInputFilesTable(out);
  out << '\n';
  out << starRule << '\n';
  out << "RESULTS\n";
  out << starRule << '\n';
  out << '\n';
  if (variant == HeaderVariant::OneFileNote && !severalFiles()) {
    out << "There is no global matching for 1 motif file.\n";
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
  out << "Results created by KORVELAN on " << created << '\n';
  out << "Runtime: " << wtime << " seconds\n";
  out << '\n';
  out << "KORVELAN is written by Orsabel\n";
  closeReport(out);
}

}  // namespace korvelan
