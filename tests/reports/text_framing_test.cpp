// Headers and footers of the text reports beyond what the golden runs show: every collection's name,
// every cutoff, the yes/no rule, the stream state a header leaves, the run time in the number format a
// report's stream carries, and the failure of a report that cannot be opened or written. (The golden
// runs compare every text report's header and footer whole.)
#include <gtest/gtest.h>

#include <iomanip>
#include <cctype>
#include <string>
#include <vector>

#include "core/globals.h"
#include "core/report_files.h"
#include "core/report_io.h"
#include "core/utilities.h"
#include "reports/framing.h"
#include "support/test_support.h"

namespace korvelan {
namespace {

using korvelan::testing::readFile;
using korvelan::testing::splitLines;
using korvelan::testing::TempDir;
using korvelan::testing::writeFile;

const std::string kStars(196, '*');

// The text with the footer's creation date (month-day-year hours:minutes:seconds) masked as "<date>".
std::string maskDate(std::string text) {
  const std::string label = "Results created by KORVELAN on ";
  const std::string shape = "00-00-0000 00:00:00";
  auto at = text.rfind(label);
  if (at == std::string::npos || text.size() < at + label.size() + shape.size()) return text;
  at += label.size();
  for (std::size_t i = 0; i < shape.size(); ++i) {
    const char c = text[at + i];
    if (shape[i] == '0' ? !std::isdigit(static_cast<unsigned char>(c)) : c != shape[i]) return text;
  }
  return text.replace(at, shape.size(), "<date>");
}

std::string expectedFooter(const std::string& runtime) {
  return "\nResults created by KORVELAN on <date>\nRuntime: " + runtime + " seconds\n\nKORVELAN is written by Orsabel\n";
}

// The run-time text of a file's footer, or "<no footer>" when the file does not end in one.
std::string footerRuntime(const std::string& text) {
  const std::string masked = maskDate(text);
  const auto at = masked.rfind("\nRuntime: ");
  const auto end = masked.find(" seconds\n", at);
  if (at == std::string::npos || end == std::string::npos) return "<no footer>";
  const std::string runtime = masked.substr(at + 10, end - at - 10);
  const std::string footer = expectedFooter(runtime);
  const bool ends = masked.size() >= footer.size() && masked.compare(masked.size() - footer.size(), footer.size(), footer) == 0;
  return ends ? runtime : "<no footer>";
}

// Two files, combining, the answers' other defaults (five top motifs, three best matches, cutoff 0.75,
// no collection, no trees, type "All", format "Text"); every text report in the scratch folder.
class TextFramingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    resetGlobals();
    testing::Answers answers;
    answers.files = {"set1.txt", "motifs_b.meme"};
    answers.combine = "Y";
    testing::applyAnswers(answers);
    for (const ReportFile& report : reportFiles())
      if (report.form != ReportForm::Page) reportPath(report.id) = dir.path() + report.defaultName;
  }
  void TearDown() override { resetGlobals(); }

  TempDir dir;
};

TEST_F(TextFramingTest, HeaderNamesEachCollection) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"transfac", "Transfac"},
      {"jasparAll", "Jaspar Core"},
      {"jasparFungi", "Jaspar Fungi"},
      {"jasparInsects", "Jaspar Insects"},
      {"jasparNematodes", "Jaspar Nematodes"},
      {"jasparPlants", "Jaspar Plants"},
      {"jasparUrochordates", "Jaspar Urochordates"},
      {"jasparVertebrates", "Jaspar Vertebrates"},
      {"uniprobeHuman", "UniProbe Homo Sapiens"},
      {"uniprobeMouse", "UniProbe Mus Musculus"},
      {"uniprobeParasite", "UniProbe Parasite (Plasmodium Falciparum)"},
      {"uniprobeWorm", "UniProbe Worm (Caenorhabditis Elegans)"},
      {"uniprobeYeast", "UniProbe Yeast (Saccharomyces Cerevisiae)"},
      {"N", "None"},
      {"Transfac", "None"},  // keys compare case-sensitively
  };
  for (const auto& [key, name] : cases) {
    DBName = key;
    writeReportHeader(ReportId::DatabaseMatchingGlobalMatching);
    EXPECT_EQ(splitLines(readFile(reportPath(ReportId::DatabaseMatchingGlobalMatching))).at(13),
              "Matching motif database: " + name)
        << key;
  }
}

TEST_F(TextFramingTest, CutoffsInDefaultFormatAndYesOnlyForExactY) {
  const std::vector<std::pair<double, std::string>> cutoffs = {{0.5, "0.5"}, {0.6, "0.6"},   {0.7, "0.7"},
                                                               {0.75, "0.75"}, {0.8, "0.8"}, {0.85, "0.85"},
                                                               {0.9, "0.9"}};
  for (const auto& [value, text] : cutoffs) {
    simCutoff = value;
    writeReportHeader(ReportId::Results);
    EXPECT_EQ(splitLines(readFile(reportPath(ReportId::Results))).at(12), "Similarity cutoff: >= " + text);
  }
  motifCluster = "y";
  combinedMotifFlag = "Yes";
  writeReportHeader(ReportId::Results);
  const auto lines = splitLines(readFile(reportPath(ReportId::Results)));
  EXPECT_EQ(lines.at(14), "Motif tree: No");
  EXPECT_EQ(lines.at(15), "Combined similar motifs: No");
}

// A header creates its report afresh; a file already under the report's name (left by another run,
// or planted) is never written into: the run ends and the file stays as it was.
TEST_F(TextFramingTest, HeaderLeavesLeftAdjustmentAndNeverTakesAnOldFile) {
  writeReportHeader(ReportId::Results);
  EXPECT_EQ(readFile(reportPath(ReportId::Results)).rfind(kStars + "\nKORVELAN", 0), 0u);
  EXPECT_TRUE(reportStream(ReportId::Results).flags() & std::ios::left);
  EXPECT_FALSE(reportStream(ReportId::Results).flags() & std::ios::floatfield);
  EXPECT_EQ(reportStream(ReportId::Results).precision(), 6);
  EXPECT_EQ(reportStream(ReportId::Results).width(), 0);
  EXPECT_FALSE(reportStream(ReportId::Results).is_open());

  writeFile(reportPath(ReportId::ResultsWithoutMotif), "left from an earlier run\n");
  ::testing::internal::CaptureStdout();
  EXPECT_THROW(writeReportHeader(ReportId::ResultsWithoutMotif), RunEnded);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Invalid output path or output filename.");
  EXPECT_EQ(readFile(reportPath(ReportId::ResultsWithoutMotif)), "left from an earlier run\n");
}

TEST_F(TextFramingTest, FooterAppendsAfterTheBody) {
  wtime = 12.345678;
  writeReportHeader(ReportId::GlobalMatching);
  openReport(reportStream(ReportId::GlobalMatching), reportPath(ReportId::GlobalMatching), OpenMode::Append);
  reportStream(ReportId::GlobalMatching) << "body line" << std::endl;
  closeReport(reportStream(ReportId::GlobalMatching));
  writeReportFooter(ReportId::GlobalMatching);
  const std::string text = readFile(reportPath(ReportId::GlobalMatching));
  EXPECT_NE(text.find("\n\nbody line\n\nResults created by KORVELAN on "), std::string::npos);
  EXPECT_EQ(footerRuntime(text), "12.3457");
}

// A matrix printout leaves fixed notation with six decimals on its report's stream; the footer of
// that report shows the run time in it, while a report without matrices keeps the default format.
TEST_F(TextFramingTest, NumberFormatCarriesOverToTheFooter) {
  wtime = 3.5;
  writeReportHeader(ReportId::Results);
  writeReportHeader(ReportId::ResultsWithoutMotif);
  openReport(reportStream(ReportId::Results), reportPath(ReportId::Results), OpenMode::Append);
  reportStream(ReportId::Results) << std::fixed << std::setprecision(6) << 0.25 << std::endl;
  closeReport(reportStream(ReportId::Results));
  writeReportFooter(ReportId::Results);
  writeReportFooter(ReportId::ResultsWithoutMotif);
  EXPECT_EQ(footerRuntime(readFile(reportPath(ReportId::Results))), "3.500000");
  EXPECT_EQ(footerRuntime(readFile(reportPath(ReportId::ResultsWithoutMotif))), "3.5");
  EXPECT_TRUE(reportStream(ReportId::Results).flags() & std::ios::fixed);  // the footer leaves the format alone
}

// A report that does not open, or opens but cannot be written, ends the run with the output failure.
TEST_F(TextFramingTest, UnopenableOrUnwritableReportEndsTheRun) {
  struct Case {
    const char* what;
    std::string path;
    bool footer;
  };
  const std::vector<Case> cases = {
      {"header, missing folder", dir.path() + "gone/r.txt", false},
      {"footer, missing folder", dir.path() + "gone/r.txt", true},
      {"header, disk full", "/dev/full", false},
      {"footer, disk full", "/dev/full", true},
  };
  for (const Case& c : cases) {
    reportPath(ReportId::GlobalMatching) = c.path;
    ::testing::internal::CaptureStdout();
    EXPECT_THROW((c.footer ? writeReportFooter : writeReportHeader)(ReportId::GlobalMatching), RunEnded)
        << c.what;
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Invalid output path or output filename.") << c.what;
    EXPECT_FALSE(reportStream(ReportId::GlobalMatching).is_open()) << c.what;
  }
  EXPECT_FALSE(korvelan::testing::fileExists(dir.path() + "gone"));
  // The failed stream is usable again for the next open.
  reportPath(ReportId::GlobalMatching) = dir.path() + "ok.txt";
  writeReportHeader(ReportId::GlobalMatching);
  EXPECT_EQ(readFile(reportPath(ReportId::GlobalMatching)).rfind(kStars, 0), 0u);
}

}  // namespace
}  // namespace korvelan
