// The fifteen report files of a run, one row each: the report's default name and everything that sets
// it apart from the others (its form, its header, what the run must have asked for it, the result
// parts it holds). Which reports a run writes and converts, the start values, nameOutputs and every
// writer take what they need from here; adding a report means one row here and its writer.
//
// The run's own copy of each report (its name, path and stream) is a slot of RunState, indexed by
// ReportId and reached through reportName, reportPath and reportStream.
#pragma once

#include <array>
#include <cstddef>
#include <fstream>
#include <string>
#include <vector>

namespace korvelan {

// In the order of the table, which is the order the run writes the headers of the reports it chose,
// their footers, and converts its pages.
enum class ReportId {
  GlobalMatching,                      // "Results_Global_Matching.txt"
  DatabaseMatchingGlobalMatching,      // "Results_Database_Matching_Global_Matching.txt"
  HTMLGlobalMatching,                  // "HTML_Global_Matching_Results.html"
  DatabaseMatchingGlobalMatchingHTML,  // "HTML_Results_Database_Matching_Global_Matching.html"
  Results,                             // "Results.txt"
  ResultsWithoutMotif,                 // "Results_Without_Motif_Details.txt"
  HTMLResults,                         // "HTML_Results.html"
  DatabaseMatching,                    // "Results_Database_Matching.txt"
  DatabaseMatchingWithoutMotif,        // "Results_Database_Matching_Without_Motif_Details.txt"
  DatabaseMatchingHTML,                // "HTML_Results_Database_Matching.html"
  CombinedMatrixGlobal,                // "Results_Combined_Motifs_Global_Matching.txt"
  CombinedMatrixGlobalAndLocal,        // "Results_Combined_Motifs_Global_and_Local_Matching.txt"
  CombinedMatrixBestMatches,           // "Results_Combined_Motifs_Best_Matches.txt"
  MotifTreeGlobalHTML,                 // "Global_Matching_Motif_Tree.html"
  MotifTreeHTML,                       // "Motif_Tree.html"
};
inline constexpr std::size_t kReportCount = 15;

enum class ReportForm {
  Text,                 // a text report (format "Text" or "All"), with the motifs' matrices where it has any
  TextWithoutMatrices,  // a text report with the motifs' consensus strings in place of their matrices
  Page,                 // an HTML page (format "HTML", "PDF" or "All"), converted to PDF when PDF is wanted
};

// How a report's header (and footer) departs from the common one of its form.
enum class HeaderVariant {
  Common,
  NoGapBeforeFiles,  // text: no empty line between the settings and the input-files table
  OneFileNote,       // text: says that one input file has no global matching
  Detailed,          // page: an extra style rule and a slightly different input-files heading
  TreePage,          // page: as Detailed, with larger headings, a wider parameter table, no landscape
                     // print rule and a shorter footer, since each tree section closes its own box
};

// The result parts written into the dataset and database reports (reports/sections.cpp).
enum class ResultPart { GlobalMatching, GlobalAndLocal, EachMotif, Database, DatabaseGlobal };
constexpr unsigned partBit(ResultPart part) {
  return 1u << static_cast<unsigned>(part);
}

struct ReportFile {
  ReportId id;
  const char* defaultName;  // the name before the job identifier is put in front
  ReportForm form = ReportForm::Text;
  HeaderVariant header = HeaderVariant::Common;

  // What the run must have asked for, besides the format of the report's form.
  bool needsCollection = false;  // a collection chosen; its match blocks show collection motifs
  bool needsTypeAll = false;     // output type "All"
  bool needsMerging = false;     // combining similar motifs
  bool needsTrees = false;       // motif trees
  bool everyFormat = false;      // written whatever the output format

  // The result parts it holds, with their match blocks (the dataset and database reports).
  unsigned parts = 0;                       // partBit of each
  int globalAndLocalBannerRun = 0;          // run of '*' around its global-and-local motif banners
  bool longerBannerEndInFormatAll = false;  // its motif banners end with one '*' more in format "All"
};

// Every report, in the order of ReportId.
const std::array<ReportFile, kReportCount>& reportFiles();
const ReportFile& reportFile(ReportId id);

// The run's slot of a report: its name (the default name until nameOutputs puts the job identifier in
// front), its full path and its stream, shared by every writer of the report.
std::string& reportName(ReportId id);
std::string& reportPath(ReportId id);
std::ofstream& reportStream(ReportId id);

// True when the run's answers (format, type, collection, combining, trees) call for the report.
bool reportChosen(const ReportFile& report);
// The reports the run's answers call for, in table order.
std::vector<ReportId> chosenReports();

}  // namespace korvelan
