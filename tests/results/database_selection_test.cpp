// Each input motif's best collection matches and the database result parts of the five reports.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "core/globals.h"
#include "core/report_files.h"
#include "core/utilities.h"
#include "driver/result_stages.h"
#include "reference/reference_path.h"
#include "support/test_support.h"

namespace korvelan {
namespace {

using testing::readFile;
using testing::rowsOf;
using testing::splitLines;

using Tags = std::vector<std::vector<std::int32_t>>;

// Three input motifs (two files) and five collection motifs, the first two of one name.
class DatabaseSelectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::startCollectionRun(folder, "");
    numFile = 2;
    numBestMatches = 3;
    outputFileType = "All";
    outputFileFormat = "Text";
    Datasets = {testing::makeMotif(1, 1, 1, "in1", rowsOf("ACGTA")),
                testing::makeMotif(2, 1, 2, "in2", rowsOf("CCGG")),
                testing::makeMotif(3, 2, 1, "in3", rowsOf("TTTAC"))};
    motifNameLength = 3;
    const char* names[] = {"A", "A", "B", "C", "D"};
    for (std::int64_t n = 1; n <= 5; ++n) {
      data motif = testing::makeMotif(n, 1, n, names[n - 1], rowsOf("GACGTC"));
      motif.databaseMotifID = "DB" + std::to_string(n);
      motif.taxonOrSpecies = "Plants";
      DatabaseDatasets.push_back(motif);
    }
  }
  void TearDown() override { resetGlobals(); }

  // A record as the database scans leave it; its position is its 1-based place in `records`.
  void add(std::int64_t input, std::int64_t collection, bool inputFirst, double key,
           const char* direction = "Forward") {
    const std::string& inputName = Datasets[static_cast<std::size_t>(input - 1)].motifName;
    const std::string& collectionName = DatabaseDatasets[static_cast<std::size_t>(collection - 1)].motifName;
    records.push_back(testing::alignment({.direction = direction,
                                          .flag = inputFirst ? "Y" : "",
                                          .first = inputFirst ? input : collection,
                                          .second = inputFirst ? collection : input,
                                          .firstName = inputFirst ? inputName : collectionName,
                                          .secondName = inputFirst ? collectionName : inputName,
                                          .position = static_cast<std::int32_t>(records.size() + 1),
                                          .overlap = 4,
                                          .key = key,
                                          .firstFormat = "Original Motif",
                                          .secondFormat = "Original Motif"}));
  }

  // Input motif 1 against the collection in both listings; motif 2 has no match; motif 3 one.
  void standardRecords() {
    add(1, 1, true, 0.375);                // 1
    add(1, 2, false, 0.125);               // 2: same name as motif 1, another motif
    add(1, 1, false, 0.0625, "Backward");  // 3
    add(3, 4, false, 0.0);                 // 4
    add(1, 3, true, 0.25);                 // 5
    add(1, 2, true, 0.125);                // 6: same motif and key as 2, stored later
    add(1, 4, true, 0.5);                  // 7
    add(1, 5, true, 0.75);                 // 8
  }

  static Tags tags(const std::vector<bestMatchList>& lists) {
    Tags out;
    for (const auto& list : lists) {
      out.emplace_back();
      for (const auto& r : list) out.back().push_back(r.position);
    }
    return out;
  }

  // The selection as a database key step keeps it from these records, by the plain path.
  selectedMatches selected(const std::vector<dataCombinedScore>& list) const {
    return reference::selectFromRecords(list, Datasets.size(), true, numBestMatches, false, false);
  }
  std::vector<bestMatchList> selectDatabaseBestMatches(const std::vector<dataCombinedScore>& list) const {
    return selected(list).bestMatches;
  }

  static std::string report(ReportId id) { return readFile(reportPath(id)); }

  testing::RunFolder folder;
  std::vector<dataCombinedScore> records;
};

// Collection motifs are told apart by number (a collection may name two motifs alike), the best-ranked
// record of each is taken, and at most numBestMatches of them.
TEST_F(DatabaseSelectionTest, KeepsEachCollectionMotifsBestRecord) {
  standardRecords();
  EXPECT_EQ(tags(selectDatabaseBestMatches(records)), (Tags{{3, 2, 5}, {}, {4}}));
  numBestMatches = 50;
  EXPECT_EQ(tags(selectDatabaseBestMatches(records)), (Tags{{3, 2, 5, 7, 8}, {}, {4}}));
  numBestMatches = 1;
  EXPECT_EQ(tags(selectDatabaseBestMatches(records)), (Tags{{3}, {}, {4}}));
  EXPECT_EQ(tags(selectDatabaseBestMatches({})), (Tags{{}, {}, {}}));
}

TEST_F(DatabaseSelectionTest, EveryMotifWithMatchesGetsItsSectionInIdOrder) {
  standardRecords();
  databaseMatches = selected(records);
  getDatabaseResultsList();
  std::vector<std::string> heads;
  for (const auto& line : splitLines(report(ReportId::DatabaseMatching)))
    if (line.rfind("Dataset #: ", 0) == 0)
      heads.push_back(line.substr(0, line.find("\t\tMotif name")));
    else if (line.rfind("DB", 0) == 0)
      heads.push_back(line.substr(0, 16));
  EXPECT_EQ(heads, (std::vector<std::string>{"Dataset #: 1\t\tMotif ID: 1", "DB1            A",
                                             "DB2            A", "DB3            B",
                                             "Dataset #: 2\t\tMotif ID: 3", "DB4            C"}));
  const std::string head = std::string(70, '*') +
                           " Best Matches in Database for Each Motif (Highest to Lowest) " +
                           std::string(65, '*') + "\n\n";
  EXPECT_EQ(report(ReportId::DatabaseMatching).substr(0, head.size()), head);
  EXPECT_EQ(report(ReportId::DatabaseMatchingWithoutMotif).substr(0, head.size()), head);
}

// The files each stage writes, by output type and format; the text of a written file does not depend
// on the others.
TEST_F(DatabaseSelectionTest, TypeAndFormatChooseTheReports) {
  using R = ReportId;
  struct Case {
    const char* type;
    const char* format;
    std::set<ReportId> written;
  } cases[] = {
      {"All",
       "Text",
       {R::DatabaseMatching, R::DatabaseMatchingWithoutMotif, R::DatabaseMatchingGlobalMatching}},
      {"All", "HTML", {R::DatabaseMatchingHTML, R::DatabaseMatchingGlobalMatchingHTML}},
      {"All", "PDF", {R::DatabaseMatchingHTML, R::DatabaseMatchingGlobalMatchingHTML}},
      {"All",
       "All",
       {R::DatabaseMatching, R::DatabaseMatchingWithoutMotif, R::DatabaseMatchingHTML,
        R::DatabaseMatchingGlobalMatching, R::DatabaseMatchingGlobalMatchingHTML}},
      {"Global-Only", "Text", {R::DatabaseMatchingGlobalMatching}},
      {"Global-Only", "HTML", {R::DatabaseMatchingGlobalMatchingHTML}},
      {"All", "Word", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.type) + " " + c.format);
    SetUp();
    standardRecords();
    databaseMatches = selected(records);
    databaseGlobalMatches = selected(records);
    outputFileType = c.type;
    outputFileFormat = c.format;
    getDatabaseResultsList();
    getDatabaseGlobalResultsList();
    for (ReportId id : testing::collectionReports())
      EXPECT_EQ(!report(id).empty(), c.written.count(id) == 1) << reportName(id);
  }
}

// Format "All" ends the banners of the report without matrices with one '*' more.
TEST_F(DatabaseSelectionTest, BannerEnds) {
  for (const char* format : {"Text", "All"}) {
    SetUp();
    add(3, 4, false, 0.0);
    databaseMatches = selected(records);
    outputFileFormat = format;
    getDatabaseResultsList();
    const std::string stars(72, '*');
    const std::string banner = stars + " Best Matches for Motif ID 3 (Highest to Lowest) " + stars;
    EXPECT_NE(report(ReportId::DatabaseMatching).find("\n" + banner + "\n\n"), std::string::npos) << format;
    const std::string withoutMotif = std::string(format) == "All" ? banner + "*" : banner;
    EXPECT_NE(report(ReportId::DatabaseMatchingWithoutMotif).find("GTAAA\n\n\n\n" + withoutMotif + "\n\n"),
              std::string::npos)
        << format;
  }
}

TEST_F(DatabaseSelectionTest, OneInputFileGivesTheGlobalReportsTheirNoteAlone) {
  numFile = 1;
  outputFileFormat = "All";
  getDatabaseGlobalResultsList();
  EXPECT_EQ(report(ReportId::DatabaseMatchingGlobalMatching),
            std::string(70, '*') + " Best Matches in Database for Each Motif (Highest to Lowest) " +
                std::string(65, '*') + "\n\nThere is no global matching for 1 motif file.\n\n");
  EXPECT_EQ(
      report(ReportId::DatabaseMatchingGlobalMatchingHTML),
      "</div>\n"
      "<div class = 'boxed'>\n"
      "<h3 class='sansserif'> Best Matches in Database for Each Motif (Highest to Lowest) </h3>\n"
      "<p class='sansserif'><font size = '2'> There is no global matching for 1 motif file. </font></p>\n");
}

TEST_F(DatabaseSelectionTest, AReportThatDoesNotOpenEndsTheRun) {
  standardRecords();
  databaseGlobalMatches = selected(records);
  reportPath(ReportId::DatabaseMatchingGlobalMatching) =
      outputPath + "missing/" + reportName(ReportId::DatabaseMatchingGlobalMatching);
  ::testing::internal::CaptureStdout();
  EXPECT_THROW(getDatabaseGlobalResultsList(), RunEnded);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Invalid output path or output filename.");
}

}  // namespace
}  // namespace korvelan
