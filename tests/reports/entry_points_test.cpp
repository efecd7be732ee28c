// The writers named after one report each reach that report's row of the report table and no other.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/globals.h"
#include "core/report_files.h"
#include "reports/framing.h"
#include "reports/match_blocks.h"
#include "support/test_support.h"

namespace korvelan {
namespace {

struct NamedForm {
  const char* name;
  void (*call)();
  ReportId row;
};

const NamedForm kNamedForms[] = {
    {"writeHeaderGlobalText", writeHeaderGlobalText, ReportId::GlobalMatching},
    {"writeHeaderGlobalTextDatabaseMatch", writeHeaderGlobalTextDatabaseMatch,
     ReportId::DatabaseMatchingGlobalMatching},
    {"writeHeaderText", writeHeaderText, ReportId::Results},
    {"writeHeaderTextWithoutMotif", writeHeaderTextWithoutMotif, ReportId::ResultsWithoutMotif},
    {"writeHeaderTextDatabaseMatch", writeHeaderTextDatabaseMatch, ReportId::DatabaseMatching},
    {"writeHeaderTextWithoutMotifDatabaseMatch", writeHeaderTextWithoutMotifDatabaseMatch,
     ReportId::DatabaseMatchingWithoutMotif},
    {"writeHeaderCombinedMatrixGlobal", writeHeaderCombinedMatrixGlobal, ReportId::CombinedMatrixGlobal},
    {"writeHeaderCombinedMatrixGlobalAndLocal", writeHeaderCombinedMatrixGlobalAndLocal,
     ReportId::CombinedMatrixGlobalAndLocal},
    {"writeHeaderCombinedMatrixBestMatches", writeHeaderCombinedMatrixBestMatches,
     ReportId::CombinedMatrixBestMatches},
    {"writeFooterGlobalText", writeFooterGlobalText, ReportId::GlobalMatching},
    {"writeFooterGlobalTextDatabaseMatch", writeFooterGlobalTextDatabaseMatch,
     ReportId::DatabaseMatchingGlobalMatching},
    {"writeFooterText", writeFooterText, ReportId::Results},
    {"writeFooterTextWithoutMotif", writeFooterTextWithoutMotif, ReportId::ResultsWithoutMotif},
    {"writeFooterTextDatabaseMatch", writeFooterTextDatabaseMatch, ReportId::DatabaseMatching},
    {"writeFooterTextWithoutMotifDatabaseMatch", writeFooterTextWithoutMotifDatabaseMatch,
     ReportId::DatabaseMatchingWithoutMotif},
    {"writeFooterCombinedMatrixGlobal", writeFooterCombinedMatrixGlobal, ReportId::CombinedMatrixGlobal},
    {"writeFooterCombinedMatrixGlobalAndLocal", writeFooterCombinedMatrixGlobalAndLocal,
     ReportId::CombinedMatrixGlobalAndLocal},
    {"writeFooterCombinedMatrixBestMatches", writeFooterCombinedMatrixBestMatches,
     ReportId::CombinedMatrixBestMatches},
    {"writeHeaderGlobalHTMLOrPDF", writeHeaderGlobalHTMLOrPDF, ReportId::HTMLGlobalMatching},
    {"writeHeaderGlobalHTMLOrPDFDatabaseMatch", writeHeaderGlobalHTMLOrPDFDatabaseMatch,
     ReportId::DatabaseMatchingGlobalMatchingHTML},
    {"writeHeaderHTMLOrPDF", writeHeaderHTMLOrPDF, ReportId::HTMLResults},
    {"writeHeaderHTMLOrPDFDatabaseMatch", writeHeaderHTMLOrPDFDatabaseMatch, ReportId::DatabaseMatchingHTML},
    {"writeHeaderMotifTreeHTMLOrPDF", writeHeaderMotifTreeHTMLOrPDF, ReportId::MotifTreeHTML},
    {"writeHeaderMotifTreeGlobalHTMLOrPDF", writeHeaderMotifTreeGlobalHTMLOrPDF,
     ReportId::MotifTreeGlobalHTML},
    {"writeFooterGlobalHTMLOrPDF", writeFooterGlobalHTMLOrPDF, ReportId::HTMLGlobalMatching},
    {"writeFooterGlobalHTMLOrPDFDatabaseMatch", writeFooterGlobalHTMLOrPDFDatabaseMatch,
     ReportId::DatabaseMatchingGlobalMatchingHTML},
    {"writeFooterHTMLOrPDF", writeFooterHTMLOrPDF, ReportId::HTMLResults},
    {"writeFooterHTMLOrPDFDatabaseMatch", writeFooterHTMLOrPDFDatabaseMatch, ReportId::DatabaseMatchingHTML},
    {"writeFooterMotifTreeHTMLOrPDF", writeFooterMotifTreeHTMLOrPDF, ReportId::MotifTreeHTML},
    {"writeFooterMotifTreeGlobalHTMLOrPDF", writeFooterMotifTreeGlobalHTMLOrPDF,
     ReportId::MotifTreeGlobalHTML},
    // With an empty list a match-block writer only opens and closes its report, which creates it.
    {"WriteTopResultsList", [] { WriteTopResultsList({}, 2, 1); }, ReportId::Results},
    {"WriteTopResultsListWithoutMotif", [] { WriteTopResultsListWithoutMotif({}, 3, 1); },
     ReportId::ResultsWithoutMotif},
    {"WriteTopResultsGlobalMatchingList", [] { WriteTopResultsGlobalMatchingList({}, 1); },
     ReportId::GlobalMatching},
    {"WriteTopResultsListHTML", [] { WriteTopResultsListHTML({}, 2, 1); }, ReportId::HTMLResults},
    {"WriteTopResultsGlobalMatchingListHTML", [] { WriteTopResultsGlobalMatchingListHTML({}, 1); },
     ReportId::HTMLGlobalMatching},
    {"WriteDatabaseTopResultsList", [] { WriteDatabaseTopResultsList({}, 3, 1); },
     ReportId::DatabaseMatching},
    {"WriteDatabaseTopResultsListWithoutMotif", [] { WriteDatabaseTopResultsListWithoutMotif({}, 3, 1); },
     ReportId::DatabaseMatchingWithoutMotif},
    {"WriteDatabaseTopResultsGlobalList", [] { WriteDatabaseTopResultsGlobalList({}, 3, 1); },
     ReportId::DatabaseMatchingGlobalMatching},
    {"WriteDatabaseTopResultsListHTML", [] { WriteDatabaseTopResultsListHTML({}, 3, 1); },
     ReportId::DatabaseMatchingHTML},
    {"WriteDatabaseTopResultsGlobalListHTML", [] { WriteDatabaseTopResultsGlobalListHTML({}, 3, 1); },
     ReportId::DatabaseMatchingGlobalMatchingHTML},
    // With no page there a converter writes nothing and names the page it looked for on the error stream.
    {"convertHTMLToPDFGlobal", convertHTMLToPDFGlobal, ReportId::HTMLGlobalMatching},
    {"convertHTMLToPDFGlobalDatabaseMatch", convertHTMLToPDFGlobalDatabaseMatch,
     ReportId::DatabaseMatchingGlobalMatchingHTML},
    {"convertHTMLToPDF", convertHTMLToPDF, ReportId::HTMLResults},
    {"convertHTMLToPDFDatabaseMatch", convertHTMLToPDFDatabaseMatch, ReportId::DatabaseMatchingHTML},
};

// Every report's path in one scratch folder; each named form runs alone in it, and the files it
// leaves there and the pages it names on the error stream must be its own row's file alone.
TEST(NamedForms, EachReachesItsOwnReportRow) {
  resetGlobals();
  testing::Answers answers;
  answers.files = {"a.txt", "b.txt"};
  testing::applyAnswers(answers);
  testing::TempDir dir;
  outputPath = dir.path();
  jobID = "J_x_";
  for (const ReportFile& report : reportFiles())
    reportPath(report.id) = outputPath + jobID + report.defaultName;

  for (const NamedForm& form : kNamedForms) {
    SCOPED_TRACE(form.name);
    ::testing::internal::CaptureStderr();
    form.call();
    const std::string said = ::testing::internal::GetCapturedStderr();

    std::vector<std::string> reached = testing::listDir(dir.path());
    for (std::size_t at = said.find(dir.path()); at != std::string::npos; at = said.find(dir.path(), at + 1))
      reached.push_back(said.substr(at + dir.path().size(), said.find(' ', at) - at - dir.path().size()));
    EXPECT_EQ(reached, std::vector<std::string>{jobID + reportFile(form.row).defaultName});
    for (const std::string& name : testing::listDir(dir.path())) std::filesystem::remove(dir.path() + name);
  }
  resetGlobals();
}

}  // namespace
}  // namespace korvelan
