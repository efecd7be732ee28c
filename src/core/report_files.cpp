#include "core/report_files.h"

#include "core/answers.h"
#include "core/globals.h"

namespace korvelan {

namespace {
constexpr unsigned kDatasetParts = partBit(ResultPart::GlobalMatching) | partBit(ResultPart::GlobalAndLocal) |
                                   partBit(ResultPart::EachMotif);
}  // namespace

const std::array<ReportFile, kReportCount>& reportFiles() {
  using R = ReportId;
  using F = ReportForm;
  using P = ResultPart;
  static const std::array<ReportFile, kReportCount> table{{
      {.id = R::GlobalMatching,
       .defaultName = "Results_Global_Matching.txt",
       .parts = partBit(P::GlobalMatching)},
      {.id = R::DatabaseMatchingGlobalMatching,
       .defaultName = "Results_Database_Matching_Global_Matching.txt",
       .needsCollection = true,
       .parts = partBit(P::DatabaseGlobal)},
      {.id = R::HTMLGlobalMatching,
       .defaultName = "HTML_Global_Matching_Results.html",
       .form = F::Page,
       .parts = partBit(P::GlobalMatching)},
      {.id = R::DatabaseMatchingGlobalMatchingHTML,
       .defaultName = "HTML_Results_Database_Matching_Global_Matching.html",
       .form = F::Page,
       .needsCollection = true,
       .parts = partBit(P::DatabaseGlobal)},
      {.id = R::Results,
       .defaultName = "Results.txt",
       .needsTypeAll = true,
       .parts = kDatasetParts,
       .globalAndLocalBannerRun = 67},
      {.id = R::ResultsWithoutMotif,
       .defaultName = "Results_Without_Motif_Details.txt",
       .form = F::TextWithoutMatrices,
       .needsTypeAll = true,
       .parts = kDatasetParts,
       .globalAndLocalBannerRun = 62},
      {.id = R::HTMLResults,
       .defaultName = "HTML_Results.html",
       .form = F::Page,
       .header = HeaderVariant::Detailed,
       .needsTypeAll = true,
       .parts = kDatasetParts},
      {.id = R::DatabaseMatching,
       .defaultName = "Results_Database_Matching.txt",
       .needsCollection = true,
       .needsTypeAll = true,
       .parts = partBit(P::Database)},
      {.id = R::DatabaseMatchingWithoutMotif,
       .defaultName = "Results_Database_Matching_Without_Motif_Details.txt",
       .form = F::TextWithoutMatrices,
       .header = HeaderVariant::NoGapBeforeFiles,
       .needsCollection = true,
       .needsTypeAll = true,
       .parts = partBit(P::Database),
       .longerBannerEndInFormatAll = true},
      {.id = R::DatabaseMatchingHTML,
       .defaultName = "HTML_Results_Database_Matching.html",
       .form = F::Page,
       .needsCollection = true,
       .needsTypeAll = true,
       .parts = partBit(P::Database)},
      {.id = R::CombinedMatrixGlobal,
       .defaultName = "Results_Combined_Motifs_Global_Matching.txt",
       .header = HeaderVariant::OneFileNote,
       .needsMerging = true,
       .everyFormat = true},
      {.id = R::CombinedMatrixGlobalAndLocal,
       .defaultName = "Results_Combined_Motifs_Global_and_Local_Matching.txt",
       .needsTypeAll = true,
       .needsMerging = true,
       .everyFormat = true},
      {.id = R::CombinedMatrixBestMatches,
       .defaultName = "Results_Combined_Motifs_Best_Matches.txt",
       .needsTypeAll = true,
       .needsMerging = true,
       .everyFormat = true},
      {.id = R::MotifTreeGlobalHTML,
       .defaultName = "Global_Matching_Motif_Tree.html",
       .form = F::Page,
       .header = HeaderVariant::TreePage,
       .needsTrees = true},
      {.id = R::MotifTreeHTML,
       .defaultName = "Motif_Tree.html",
       .form = F::Page,
       .header = HeaderVariant::TreePage,
       .needsTypeAll = true,
       .needsTrees = true},
  }};
  return table;
}

const ReportFile& reportFile(ReportId id) {
  return reportFiles()[static_cast<std::size_t>(id)];
}

std::string& reportName(ReportId id) {
  return runState.reports[static_cast<std::size_t>(id)].name;
}
std::string& reportPath(ReportId id) {
  return runState.reports[static_cast<std::size_t>(id)].path;
}
std::ofstream& reportStream(ReportId id) {
  return runState.reports[static_cast<std::size_t>(id)].stream;
}

bool reportChosen(const ReportFile& report) {
  const bool formatFits =
      report.everyFormat || (report.form == ReportForm::Page ? pagesWanted() : textWanted());
  return formatFits && (!report.needsCollection || databaseChosen()) && (!report.needsTypeAll || typeAll()) &&
         (!report.needsMerging || mergeWanted()) && (!report.needsTrees || treesWanted());
}

std::vector<ReportId> chosenReports() {
  std::vector<ReportId> chosen;
  for (const ReportFile& report : reportFiles())
    if (reportChosen(report)) chosen.push_back(report.id);
  return chosen;
}

}  // namespace korvelan
