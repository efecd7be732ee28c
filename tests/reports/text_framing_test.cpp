// Headers and footers of the nine text reports: exact texts, the variants, number-format carry-over
// between the writers of one report, and the failure of a report that cannot be opened or written.
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

using korvelan::testing::listDir;
using korvelan::testing::readFile;
using korvelan::testing::runProgram;
using korvelan::testing::splitLines;
using korvelan::testing::TempDir;
using korvelan::testing::writeFile;

const std::string kStars(196, '*');

std::string blanks(int n) { return std::string(n, ' '); }

struct TextReportCase {
  const char* name;
  void (*header)();
  void (*footer)();
  std::string* path;
  bool gapBeforeFiles;
  bool oneFileNote;  // the one-file note, when there is only one input file
};

std::vector<TextReportCase> allReports() {
  return {
      {"Results_Global_Matching.txt", writeHeaderGlobalText, writeFooterGlobalText,
       &reportPath(ReportId::GlobalMatching), true, false},
      {"Results_Database_Matching_Global_Matching.txt", writeHeaderGlobalTextDatabaseMatch,
       writeFooterGlobalTextDatabaseMatch, &reportPath(ReportId::DatabaseMatchingGlobalMatching), true, false},
      {"Results.txt", writeHeaderText, writeFooterText, &reportPath(ReportId::Results), true, false},
      {"Results_Without_Motif_Details.txt", writeHeaderTextWithoutMotif, writeFooterTextWithoutMotif,
       &reportPath(ReportId::ResultsWithoutMotif), true, false},
      {"Results_Database_Matching.txt", writeHeaderTextDatabaseMatch, writeFooterTextDatabaseMatch,
       &reportPath(ReportId::DatabaseMatching), true, false},
      {"Results_Database_Matching_Without_Motif_Details.txt", writeHeaderTextWithoutMotifDatabaseMatch,
       writeFooterTextWithoutMotifDatabaseMatch, &reportPath(ReportId::DatabaseMatchingWithoutMotif), false, false},
      {"Results_Combined_Motifs_Global_Matching.txt", writeHeaderCombinedMatrixGlobal,
       writeFooterCombinedMatrixGlobal, &reportPath(ReportId::CombinedMatrixGlobal), true, true},
      {"Results_Combined_Motifs_Global_and_Local_Matching.txt", writeHeaderCombinedMatrixGlobalAndLocal,
       writeFooterCombinedMatrixGlobalAndLocal, &reportPath(ReportId::CombinedMatrixGlobalAndLocal), true, false},
      {"Results_Combined_Motifs_Best_Matches.txt", writeHeaderCombinedMatrixBestMatches,
       writeFooterCombinedMatrixBestMatches, &reportPath(ReportId::CombinedMatrixBestMatches), true, false},
  };
}

// The header's parameter lines, from "Input Parameters " to "Output file format: ...".
std::string parameterLines(const std::string& files, const std::string& cutoff, const std::string& database,
                           const std::string& tree, const std::string& combine) {
  return "Input Parameters \n"
         "Number of files: " + files + "\n"
         "Number of top significant motifs: 5\n"
         "Number of best matches: 3\n"
         "Similarity cutoff: >= " + cutoff + "\n"
         "Matching motif database: " + database + "\n"
         "Motif tree: " + tree + "\n"
         "Combined similar motifs: " + combine + "\n"
         "Output file type: All\n"
         "Output file format: Text\n";
}

std::string titleBlock() {
  return kStars + "\nKORVELAN - KORVELAN Detection Tool\nVersion 2.2\n\n" + kStars + "\nINPUT\n" + kStars + "\n\n";
}

std::string resultsBanner() { return "\n" + kStars + "\nRESULTS\n" + kStars + "\n\n"; }

// The two-file table: set1.txt (12 motifs) and motifs_b.meme (3 motifs); name column 13 + 10 wide.
const std::string kTwoFileTable = "File name" + blanks(14) + "Count of motifs" + blanks(5) + "Dataset #" +
                                  blanks(6) + "\n" + "set1.txt" + blanks(15) + "12" + blanks(18) + "1" + blanks(14) +
                                  "\n" + "motifs_b.meme" + blanks(10) + "3" + blanks(19) + "2" + blanks(14) + "\n";

// The one-file table: m.txt, from which no motif was read; name column 5 + 10 wide.
const std::string kOneFileTable = "File name" + blanks(6) + "Count of motifs" + blanks(5) + "Dataset #" +
                                  blanks(6) + "\n" + "m.txt" + blanks(10) + "0" + blanks(19) + "1" + blanks(14) + "\n";

std::string expectedHeader(const std::string& parameters, const std::string& table, bool gap, bool note) {
  return titleBlock() + parameters + (gap ? "\n" : "") + "Input files and motif counts\n" + table + resultsBanner() +
         (note ? "There is no global matching for 1 motif file.\n\n" : "");
}

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

class TextFramingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    resetGlobals();
    for (const TextReportCase& report : allReports()) *report.path = dir.path() + report.name;
    numFile = 2;
    numTopMotif = 5;
    numBestMatches = 3;
    simCutoff = 0.75;
    DBName = "N";
    motifCluster = "N";
    combinedMotifFlag = "Y";
    outputFileType = "All";
    outputFileFormat = "Text";
    FileNameType = {{"set1.txt", 4, 12, 1}, {"motifs_b.meme", 5, 3, 2}};
  }
  void TearDown() override { resetGlobals(); }

  TempDir dir;
};

TEST_F(TextFramingTest, EveryHeaderWithTwoFiles) {
  for (const TextReportCase& report : allReports()) {
    report.header();
    EXPECT_EQ(readFile(*report.path),
              expectedHeader(parameterLines("2", "0.75", "None", "No", "Yes"), kTwoFileTable, report.gapBeforeFiles,
                             false))
        << report.name;
  }
}

TEST_F(TextFramingTest, EveryHeaderWithOneFileAndNoMotifRead) {
  numFile = 1;
  FileNameType = {{"m.txt", 1, 0, 1}};
  motifCluster = "Y";
  combinedMotifFlag = "N";
  for (const TextReportCase& report : allReports()) {
    report.header();
    EXPECT_EQ(readFile(*report.path),
              expectedHeader(parameterLines("1", "0.75", "None", "Yes", "No"), kOneFileTable, report.gapBeforeFiles,
                             report.oneFileNote))
        << report.name;
  }
}

TEST_F(TextFramingTest, DatabaseDisplayNames) {
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
    writeHeaderGlobalTextDatabaseMatch();
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
    writeHeaderText();
    EXPECT_EQ(splitLines(readFile(reportPath(ReportId::Results))).at(12), "Similarity cutoff: >= " + text);
  }
  motifCluster = "y";
  combinedMotifFlag = "Yes";
  writeHeaderText();
  const auto lines = splitLines(readFile(reportPath(ReportId::Results)));
  EXPECT_EQ(lines.at(14), "Motif tree: No");
  EXPECT_EQ(lines.at(15), "Combined similar motifs: No");
}

// A header creates its report afresh; a file already under the report's name (left by another run,
// or planted) is never written into: the run ends and the file stays as it was.
TEST_F(TextFramingTest, HeaderLeavesLeftAdjustmentAndNeverTakesAnOldFile) {
  writeHeaderText();
  EXPECT_EQ(readFile(reportPath(ReportId::Results)).rfind(kStars + "\nKORVELAN", 0), 0u);
  EXPECT_TRUE(reportStream(ReportId::Results).flags() & std::ios::left);
  EXPECT_FALSE(reportStream(ReportId::Results).flags() & std::ios::floatfield);
  EXPECT_EQ(reportStream(ReportId::Results).precision(), 6);
  EXPECT_EQ(reportStream(ReportId::Results).width(), 0);
  EXPECT_FALSE(reportStream(ReportId::Results).is_open());

  writeFile(reportPath(ReportId::ResultsWithoutMotif), "left from an earlier run\n");
  ::testing::internal::CaptureStdout();
  EXPECT_THROW(writeHeaderTextWithoutMotif(), RunEnded);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Invalid output path or output filename.");
  EXPECT_EQ(readFile(reportPath(ReportId::ResultsWithoutMotif)), "left from an earlier run\n");
}

TEST_F(TextFramingTest, FooterCompletesEveryReport) {
  wtime = 3.5;
  for (const TextReportCase& report : allReports()) {
    report.header();
    report.footer();
    const std::string text = readFile(*report.path);
    const std::string header =
        expectedHeader(parameterLines("2", "0.75", "None", "No", "Yes"), kTwoFileTable, report.gapBeforeFiles, false);
    ASSERT_EQ(text.rfind(header, 0), 0u) << report.name;
    EXPECT_EQ(maskDate(text.substr(header.size())), expectedFooter("3.5")) << report.name;
  }
}

TEST_F(TextFramingTest, FooterAppendsAfterTheBody) {
  wtime = 12.345678;
  writeHeaderGlobalText();
  openReport(reportStream(ReportId::GlobalMatching), reportPath(ReportId::GlobalMatching), OpenMode::Append);
  reportStream(ReportId::GlobalMatching) << "body line" << std::endl;
  closeReport(reportStream(ReportId::GlobalMatching));
  writeFooterGlobalText();
  const std::string text = readFile(reportPath(ReportId::GlobalMatching));
  EXPECT_NE(text.find("\n\nbody line\n\nResults created by KORVELAN on "), std::string::npos);
  EXPECT_EQ(footerRuntime(text), "12.3457");
}

// A matrix printout leaves fixed notation with six decimals on its report's stream; the footer of
// that report shows the run time in it, while a report without matrices keeps the default format.
TEST_F(TextFramingTest, NumberFormatCarriesOverToTheFooter) {
  wtime = 3.5;
  writeHeaderText();
  writeHeaderTextWithoutMotif();
  openReport(reportStream(ReportId::Results), reportPath(ReportId::Results), OpenMode::Append);
  reportStream(ReportId::Results) << std::fixed << std::setprecision(6) << 0.25 << std::endl;
  closeReport(reportStream(ReportId::Results));
  writeFooterText();
  writeFooterTextWithoutMotif();
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
    EXPECT_THROW(c.footer ? writeFooterGlobalText() : writeHeaderGlobalText(), RunEnded) << c.what;
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Invalid output path or output filename.") << c.what;
    EXPECT_FALSE(reportStream(ReportId::GlobalMatching).is_open()) << c.what;
  }
  EXPECT_FALSE(korvelan::testing::fileExists(dir.path() + "gone"));
  // The failed stream is usable again for the next open.
  reportPath(ReportId::GlobalMatching) = dir.path() + "ok.txt";
  writeHeaderGlobalText();
  EXPECT_EQ(readFile(reportPath(ReportId::GlobalMatching)).rfind(kStars, 0), 0u);
}

// Whole runs of the program with text output: exactly the chosen reports, each framed.
const char* const kMotifA =
    ">MA0001.1 AGL3\n"
    "A  [ 0 3 79 40 66 48 65 11 65 0 ]\n"
    "C  [ 94 75 4 3 1 2 5 2 3 3 ]\n"
    "G  [ 1 0 3 4 1 0 5 3 28 88 ]\n"
    "T  [ 2 19 11 50 29 47 22 81 1 6 ]\n"
    "\n"
    ">MA0002.1 RUNX1\n"
    "A  [ 10 12 4 1 2 2 0 0 0 8 ]\n"
    "C  [ 2 2 7 1 0 8 0 0 1 2 ]\n"
    "G  [ 3 1 1 0 23 0 26 26 0 0 ]\n"
    "T  [ 11 11 14 24 1 16 0 0 25 16 ]\n"
    "\n";
const char* const kMotifB =
    ">MA0003.1 TFAP2A\n"
    "A  [ 0 0 0 22 19 55 53 19 9 ]\n"
    "C  [ 0 185 185 71 57 44 30 16 78 ]\n"
    "G  [ 185 0 0 46 61 67 91 137 79 ]\n"
    "T  [ 0 0 0 46 48 19 11 13 19 ]\n"
    "\n"
    ">MA0004.1 Arnt\n"
    "A  [ 4 19 0 0 0 0 ]\n"
    "C  [ 16 0 20 0 0 0 ]\n"
    "G  [ 0 1 0 20 0 20 ]\n"
    "T  [ 0 0 0 0 20 0 ]\n"
    "\n";

const char* const kCollection =
    ">MA0010.1 Ubx Insects\n"
    "A  [ 0 0 14 15 0 1 ]\n"
    "C  [ 1 0 0 0 0 0 ]\n"
    "G  [ 0 0 1 0 0 14 ]\n"
    "T  [ 14 15 0 0 15 0 ]\n"
    "\n"
    ">MA0011.1 br Insects\n"
    "A  [ 4 0 2 0 3 10 5 ]\n"
    "C  [ 2 10 8 1 0 0 2 ]\n"
    "G  [ 4 0 0 9 7 0 1 ]\n"
    "T  [ 0 0 0 0 0 0 2 ]\n"
    "\n";

struct BlackBoxCase {
  const char* what;
  const char* type;
  const char* database;  // dialogue answer
  const char* combine;
  std::vector<std::string> reports;
};

TEST(TextFramingRun, TextRunLeavesExactlyTheChosenReportsFramed) {
  const std::vector<BlackBoxCase> cases = {
      {"All, jaspar, combine",
       "All",
       "1",
       "Y",
       {"Results.txt", "Results_Combined_Motifs_Best_Matches.txt",
        "Results_Combined_Motifs_Global_Matching.txt", "Results_Combined_Motifs_Global_and_Local_Matching.txt",
        "Results_Database_Matching.txt", "Results_Database_Matching_Global_Matching.txt",
        "Results_Database_Matching_Without_Motif_Details.txt", "Results_Global_Matching.txt",
        "Results_Without_Motif_Details.txt"}},
      {"Global-Only, no database", "Global-Only", "14", "N", {"Results_Global_Matching.txt"}},
  };
  for (const BlackBoxCase& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir work;
    writeFile(work.path() + "motifs/a.jaspar", kMotifA);
    writeFile(work.path() + "motifs/b.jaspar", kMotifB);
    writeFile(work.path() + "result/.keep", "");
    writeFile(work.path() + "databases/jaspar/jaspar_pfm_all.txt", kCollection);
    const std::string dialogue = std::string("2\n5\n3\n0.5\n1\n") + work.path() + "motifs/\n" +
                                 "a.jaspar\n4\nb.jaspar\n4\n" + c.database + "\nN\n" + c.combine + "\n" + c.type +
                                 "\nText\n" + work.path() + "\n";
    const auto run = runProgram(dialogue, work.path());
    if (run.output.find("Error: insufficient number of motifs.") != std::string::npos)
      GTEST_SKIP() << "motif input does not read files yet";
    ASSERT_EQ(run.status, 0) << run.output;

    std::vector<std::string> reports;
    std::string jobID;
    for (const std::string& name : listDir(work.path() + "result/")) {
      const auto cut = name.find('_', name.find('_', 2) + 1);  // J_<date>_<number>_
      if (name.size() < 4 || name.compare(name.size() - 4, 4, ".txt") != 0 || cut == std::string::npos) continue;
      if (name.substr(cut + 1) == "input_motifs.txt") continue;
      jobID = name.substr(0, cut + 1);
      reports.push_back(name.substr(cut + 1));
    }
    EXPECT_EQ(reports, c.reports);
    for (const std::string& report : reports) {
      const std::string text = readFile(work.path() + "result/" + jobID + report);
      const auto lines = splitLines(text);
      ASSERT_GT(lines.size(), 27u) << report;
      EXPECT_EQ(lines[0], kStars) << report;
      EXPECT_EQ(lines[1], "KORVELAN - KORVELAN Detection Tool") << report;
      EXPECT_NE(text.find("Output file type: " + std::string(c.type) + "\n"), std::string::npos) << report;
      EXPECT_NE(text.find("\na.jaspar" + blanks(10) + "2" + blanks(19) + "1" + blanks(14) + "\n"),
                std::string::npos)
          << report;
      EXPECT_NE(text.find("\nRESULTS\n"), std::string::npos) << report;
      const std::string runtime = footerRuntime(text);
      EXPECT_TRUE(!runtime.empty() && runtime.find_first_not_of("0123456789.e-") == std::string::npos)
          << report << ": " << runtime;
    }
  }
}

}  // namespace
}  // namespace korvelan
