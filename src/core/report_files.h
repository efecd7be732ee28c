// The fifteen report files of a run: one row per report with its default name and the variables
// that hold its name, its full path and its stream. The start values, nameOutputs and every
// writer's table take what they need from here.
#pragma once

#include <array>
#include <fstream>
#include <string>

#include "core/globals.h"

namespace korvelan {

enum class ReportId {
  Results,                             // "Results.txt"
  ResultsWithoutMotif,                 // "Results_Without_Motif_Details.txt"
  GlobalMatching,                      // "Results_Global_Matching.txt"
  HTMLResults,                         // "HTML_Results.html"
  HTMLGlobalMatching,                  // "HTML_Global_Matching_Results.html"
  DatabaseMatching,                    // "Results_Database_Matching.txt"
  DatabaseMatchingWithoutMotif,        // "Results_Database_Matching_Without_Motif_Details.txt"
  DatabaseMatchingHTML,                // "HTML_Results_Database_Matching.html"
  DatabaseMatchingGlobalMatching,      // "Results_Database_Matching_Global_Matching.txt"
  DatabaseMatchingGlobalMatchingHTML,  // "HTML_Results_Database_Matching_Global_Matching.html"
  CombinedMatrixGlobal,                // "Results_Combined_Motifs_Global_Matching.txt"
  CombinedMatrixGlobalAndLocal,        // "Results_Combined_Motifs_Global_and_Local_Matching.txt"
  CombinedMatrixBestMatches,           // "Results_Combined_Motifs_Best_Matches.txt"
  MotifTreeHTML,                       // "Motif_Tree.html"
  MotifTreeGlobalHTML,                 // "Global_Matching_Motif_Tree.html"
};
inline constexpr std::size_t kReportCount = 15;

struct ReportFile {
  ReportId id;
  const char* defaultName;          // the name before the job identifier is put in front
  std::string RunState::*name;      // jobID + defaultName once the outputs are named
  std::string RunState::*path;      // outputPath + name
  std::ofstream RunState::*stream;  // shared by every writer of the report
};

// Every report, in the order of ReportId.
const std::array<ReportFile, kReportCount>& reportFiles();

const ReportFile& reportFile(ReportId id);
std::string& reportName(ReportId id);
std::string& reportPath(ReportId id);
std::ofstream& reportStream(ReportId id);

}  // namespace korvelan
