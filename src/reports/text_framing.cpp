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

const char* yesNo(const std::string& answer) { return answer == "Y" ? "Yes" : "No"; }

void writeInputFilesTable(std::ostream& out) {
  std::size_t longest = 0;
  for (const fileNameAndType& file : FileNameType) longest = std::max(longest, file.fileName.size());
  const int nameWidth = static_cast<int>(longest) + 10;
  out << std::left;
  out << std::setw(nameWidth) << "File name" << std::setw(20) << "Count of motifs" << std::setw(15) << "Dataset #"
      << std::endl;
  for (const fileNameAndType& file : FileNameType)
    out << std::setw(nameWidth) << file.fileName << std::setw(20) << file.motifCount << std::setw(15)
        << file.datasetNum << std::endl;
}

// Creates the report and writes the title, the run's settings, the input files and the RESULTS
// banner. The cutoff goes out in whatever number format the stream holds (its initial one here).
void writeTextHeader(ReportId report) {
  const HeaderVariant variant = reportFile(report).header;
  std::ofstream& out = openReport(report, OpenMode::Create);
  out << starRule << std::endl;
  out << "KORVELAN - KORVELAN Detection Tool" << std::endl;
  out << "Version 2.2" << std::endl;
  out << std::endl;
  out << starRule << std::endl;
  out << "INPUT" << std::endl;
  out << starRule << std::endl;
  out << std::endl;
  out << "Input Parameters " << std::endl;
  out << "Number of files: " << numFile << std::endl;
  out << "Number of top significant motifs: " << numTopMotif << std::endl;
  out << "Number of best matches: " << numBestMatches << std::endl;
  out << "Similarity cutoff: >= " << simCutoff << std::endl;
  out << "Matching motif database: " << databaseDisplayName(DBName) << std::endl;
  out << "Motif tree: " << yesNo(motifCluster) << std::endl;
  out << "Combined similar motifs: " << yesNo(combinedMotifFlag) << std::endl;
  out << "Output file type: " << outputFileType << std::endl;
  out << "Output file format: " << outputFileFormat << std::endl;
  if (variant != HeaderVariant::NoGapBeforeFiles) out << std::endl;
  out << "Input files and motif counts" << std::endl;
  writeInputFilesTable(out);
  out << std::endl;
  out << starRule << std::endl;
  out << "RESULTS" << std::endl;
  out << starRule << std::endl;
  out << std::endl;
  if (variant == HeaderVariant::OneFileNote && !severalFiles()) {
    out << "There is no global matching for 1 motif file." << std::endl;
    out << std::endl;
  }
  closeReport(out);
}

// Appends the creation date, the run time and the author line. The run time goes out in the
// stream's current number format, which a matrix printout earlier in the report may have set.
void writeTextFooter(ReportId report) {
  std::ofstream& out = openReport(report, OpenMode::Append);
  const std::string created = getCurrDateTime();
  out << std::endl;
  out << "Results created by KORVELAN on " << created << std::endl;
  out << "Runtime: " << wtime << " seconds" << std::endl;
  out << std::endl;
  out << "KORVELAN is written by Orsabel" << std::endl;
  closeReport(out);
}

}  // namespace korvelan
