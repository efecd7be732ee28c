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
using testing::TempDir;
using testing::writeFile;

using Tags = std::vector<std::vector<std::int32_t>>;

const char* const kReports[] = {
    "Results_Database_Matching.txt", "Results_Database_Matching_Without_Motif_Details.txt",
    "HTML_Results_Database_Matching.html", "Results_Database_Matching_Global_Matching.txt",
    "HTML_Results_Database_Matching_Global_Matching.html"};

// Three input motifs (two files) and five collection motifs, the first two of one name.
class DatabaseSelectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    resetGlobals();
    jobID = "J_TEST_";
    outputPath = dir.path();
    DBName = "jasparAll";
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
    std::string* paths[] = {
        &reportPath(ReportId::DatabaseMatching), &reportPath(ReportId::DatabaseMatchingWithoutMotif),
        &reportPath(ReportId::DatabaseMatchingHTML), &reportPath(ReportId::DatabaseMatchingGlobalMatching),
        &reportPath(ReportId::DatabaseMatchingGlobalMatchingHTML)};
    for (std::size_t i = 0; i < std::size(paths); ++i) {
      *paths[i] = outputPath + jobID + kReports[i];
      writeFile(*paths[i], "");
    }
  }
  void TearDown() override { resetGlobals(); }

  // A record as the database scans leave it; its position is its 1-based place in `records`.
  void add(std::int64_t input, std::int64_t collection, bool inputFirst, double key,
           const char* direction = "Forward") {
    dataCombinedScore r;
    r.scanOrderFlag = inputFirst ? "Y" : "";
    r.firstMotifID = inputFirst ? input : collection;
    r.secondMotifID = inputFirst ? collection : input;
    const data& in = Datasets[static_cast<std::size_t>(input - 1)];
    const data& db = DatabaseDatasets[static_cast<std::size_t>(collection - 1)];
    r.firstMotifName = inputFirst ? in.motifName : db.motifName;
    r.secondMotifName = inputFirst ? db.motifName : in.motifName;
    r.direction = direction;
    r.position = static_cast<std::int32_t>(records.size() + 1);
    r.numOverlap = 4;
    r.similarityScore = key;
    r.firstMatchingFormat = "Original Motif";
    r.secondMatchingFormat = "Original Motif";
    records.push_back(r);
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

  std::string report(int i) const { return readFile(outputPath + jobID + kReports[i]); }

  TempDir dir;
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
  for (const auto& line : splitLines(report(0)))
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
  EXPECT_EQ(report(0).substr(0, head.size()), head);
  EXPECT_EQ(report(1).substr(0, head.size()), head);
}

// The files each stage writes, by output type and format; the text of a written file does not depend
// on the others.
TEST_F(DatabaseSelectionTest, TypeAndFormatChooseTheReports) {
  struct Case {
    const char* type;
    const char* format;
    std::set<int> written;
  } cases[] = {
      {"All", "Text", {0, 1, 3}},   {"All", "HTML", {2, 4}},
      {"All", "PDF", {2, 4}},       {"All", "All", {0, 1, 2, 3, 4}},
      {"Global-Only", "Text", {3}}, {"Global-Only", "HTML", {4}},
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
    for (int i = 0; i < 5; ++i) EXPECT_EQ(!report(i).empty(), c.written.count(i) == 1) << kReports[i];
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
    EXPECT_NE(report(0).find("\n" + banner + "\n\n"), std::string::npos) << format;
    const std::string withoutMotif = std::string(format) == "All" ? banner + "*" : banner;
    EXPECT_NE(report(1).find("GTAAA\n\n\n\n" + withoutMotif + "\n\n"), std::string::npos) << format;
  }
}

TEST_F(DatabaseSelectionTest, OneInputFileGivesTheGlobalReportsTheirNoteAlone) {
  numFile = 1;
  outputFileFormat = "All";
  getDatabaseGlobalResultsList();
  EXPECT_EQ(report(3), std::string(70, '*') +
                           " Best Matches in Database for Each Motif (Highest to Lowest) " +
                           std::string(65, '*') + "\n\nThere is no global matching for 1 motif file.\n\n");
  EXPECT_EQ(
      report(4),
      "</div>\n"
      "<div class = 'boxed'>\n"
      "<h3 class='sansserif'> Best Matches in Database for Each Motif (Highest to Lowest) </h3>\n"
      "<p class='sansserif'><font size = '2'> There is no global matching for 1 motif file. </font></p>\n");
}

TEST_F(DatabaseSelectionTest, AReportThatDoesNotOpenEndsTheRun) {
  standardRecords();
  databaseGlobalMatches = selected(records);
  reportPath(ReportId::DatabaseMatchingGlobalMatching) = outputPath + "missing/" + kReports[3];
  ::testing::internal::CaptureStdout();
  EXPECT_THROW(getDatabaseGlobalResultsList(), RunEnded);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Invalid output path or output filename.");
}

}  // namespace
}  // namespace korvelan
