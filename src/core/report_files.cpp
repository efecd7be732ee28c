#include "core/report_files.h"

namespace korvelan {

const std::array<ReportFile, kReportCount>& reportFiles() {
  using R = ReportId;
  using S = RunState;
  static const std::array<ReportFile, kReportCount> table{{
      {R::Results, "Results.txt", &S::outputFile, &S::outputFileLocation, &S::myfile},
      {R::ResultsWithoutMotif, "Results_Without_Motif_Details.txt", &S::outputFileWithoutMotif,
       &S::outputFileWithoutMotifLocation, &S::myfileWithoutMotif},
      {R::GlobalMatching, "Results_Global_Matching.txt", &S::outputGlobalMatchingFile,
       &S::outputFileGlobalMatchingLocation, &S::myGlobalMatchingFile},
      {R::HTMLResults, "HTML_Results.html", &S::outputHTMLFile, &S::outputHTMLFileLocation, &S::myHTMLFile},
      {R::HTMLGlobalMatching, "HTML_Global_Matching_Results.html", &S::outputHTMLGlobalMatchingFile,
       &S::outputHTMLGlobalMatchingFileLocation, &S::myHTMLGlobalMatchingFile},
      {R::DatabaseMatching, "Results_Database_Matching.txt", &S::outputDatabaseMatchingFile,
       &S::outputDatabaseMatchingFileLocation, &S::myDatabaseMatchingFile},
      {R::DatabaseMatchingWithoutMotif, "Results_Database_Matching_Without_Motif_Details.txt",
       &S::outputDatabaseMatchingFileWithoutMotif, &S::outputDatabaseMatchingFileWithoutMotifLocation,
       &S::myDatabaseMatchingFileWithoutMotif},
      {R::DatabaseMatchingHTML, "HTML_Results_Database_Matching.html", &S::outputDatabaseMatchingHTMLFile,
       &S::outputDatabaseMatchingHTMLFileLocation, &S::myDatabaseMatchingHTMLFile},
      {R::DatabaseMatchingGlobalMatching, "Results_Database_Matching_Global_Matching.txt",
       &S::outputDatabaseMatchingGlobalMatchingFile, &S::outputDatabaseMatchingGlobalMatchingFileLocation,
       &S::myDatabaseMatchingGlobalMatchingFile},
      {R::DatabaseMatchingGlobalMatchingHTML, "HTML_Results_Database_Matching_Global_Matching.html",
       &S::outputDatabaseMatchingGlobalMatchingHTMLFile,
       &S::outputDatabaseMatchingGlobalMatchingHTMLFileLocation,
       &S::myDatabaseMatchingGlobalMatchingHTMLFile},
      {R::CombinedMatrixGlobal, "Results_Combined_Motifs_Global_Matching.txt",
       &S::outputCombinedMatrixGlobalFile, &S::outputCombinedMatrixGlobalFileLocation,
       &S::myCombinedMatrixGlobalFile},
      {R::CombinedMatrixGlobalAndLocal, "Results_Combined_Motifs_Global_and_Local_Matching.txt",
       &S::outputCombinedMatrixGlobalAndLocalFile, &S::outputCombinedMatrixGlobalAndLocalFileLocation,
       &S::myCombinedMatrixGlobalAndLocalFile},
      {R::CombinedMatrixBestMatches, "Results_Combined_Motifs_Best_Matches.txt",
       &S::outputCombinedMatrixBestMatchesFile, &S::outputCombinedMatrixBestMatchesFileLocation,
       &S::myCombinedMatrixBestMatchesFile},
      {R::MotifTreeHTML, "Motif_Tree.html", &S::outputMotifTreeHTMLFile, &S::outputMotifTreeHTMLFileLocation,
       &S::myMotifTreeFile},
      {R::MotifTreeGlobalHTML, "Global_Matching_Motif_Tree.html", &S::outputMotifTreeGlobalHTMLFile,
       &S::outputMotifTreeGlobalHTMLFileLocation, &S::myMotifTreeGlobalMatchingFile},
  }};
  return table;
}

const ReportFile& reportFile(ReportId id) {
  return reportFiles()[static_cast<std::size_t>(id)];
}
std::string& reportName(ReportId id) {
  return runState.*reportFile(id).name;
}
std::string& reportPath(ReportId id) {
  return runState.*reportFile(id).path;
}
std::ofstream& reportStream(ReportId id) {
  return runState.*reportFile(id).stream;
}

}  // namespace korvelan
