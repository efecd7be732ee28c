// The match blocks of the five database reports and the collection page links they carry.
#include <gtest/gtest.h>

#include <fstream>
#include <iomanip>
#include <string>
#include <vector>

#include "core/collections.h"
#include "core/globals.h"
#include "core/report_files.h"
#include "core/utilities.h"
#include "reports/collection_pages.h"
#include "reports/match_blocks.h"
#include "support/test_support.h"

namespace korvelan {
namespace {

using testing::readFile;
using testing::rowsOf;

std::string pad(const std::string& text, std::size_t width) {
  return text.size() >= width ? text : text + std::string(width - text.size(), ' ');
}

data motifOf(std::int64_t id, const std::string& name, const std::string& word, const std::string& revWord) {
  data m;
  m.motifID = id;
  m.motifName = name;
  m.datasetNum = 1;
  m.matrix = rowsOf(word);
  m.revCompMatrix = rowsOf(revWord);
  m.consensus = word;
  m.revCompConsensus = revWord;
  return m;
}

data collectionMotif(std::int64_t id, const std::string& identifier, const std::string& name,
                     const std::string& taxon, const std::string& word, const std::string& revWord) {
  data m = motifOf(id, name, word, revWord);
  m.databaseMotifID = identifier;
  m.taxonOrSpecies = taxon;
  return m;
}

// One value line per position of a word's rows: a 1 for its base, 0.25 throughout for N.
std::string printout(const std::string& word) {
  std::string text;
  for (const char base : word) {
    for (const char b : std::string("ACGT"))
      text += base == 'N' ? "0.250000    " : (b == base ? "1.000000    " : "0.000000    ");
    text += "\n";
  }
  return text;
}

class DatabaseBlocksTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::startCollectionRun(folder, "HEAD\n");
    Datasets = {motifOf(1, "query1", "ACGTN", "NACGT"), motifOf(2, "q2", "AAGG", "CCTT")};
    motifNameLength = 6;
    DatabaseDatasets = {
        collectionMotif(1, "MA0001.1", "AGL3", "Plants", "TGAC", "GTCA"),
        collectionMotif(2, "MA0002.2", "a_name_longer_than_16", "Vertebrates", "GGACG", "CGTCC"),
        collectionMotif(3, "MA0003.1", "ZZ", "Fungi", "TTGACGTA", "TACGTCAA"),
    };
  }
  void TearDown() override { resetGlobals(); }

  static std::string report(ReportId id) { return readFile(reportPath(id)); }

  // The records the tests write. The input motif is always the scan's first motif, so its format is
  // the first one whichever motif is listed first.

  // Input motif 1 in scan order with collection motif 2.
  static dataCombinedScore inScanOrder() {
    return testing::alignment({.direction = "Forward",
                               .flag = "Y",
                               .first = 1,
                               .second = 2,
                               .position = 2,
                               .overlap = 4,
                               .key = 0.5,
                               .firstFormat = "Original Motif",
                               .secondFormat = "Reverse Complement"});
  }
  // Collection motif 3 listed first, shifted along the input motif.
  static dataCombinedScore collectionFirst() {
    return testing::alignment({.direction = "Backward",
                               .first = 3,
                               .second = 1,
                               .position = 2,
                               .overlap = 4,
                               .key = 0.0123456789,
                               .firstFormat = "Reverse Complement",
                               .secondFormat = "Original Motif"});
  }
  // Collection motif 1 listed first: its number is the input motif's ID.
  static dataCombinedScore collectionFirstNumberedLikeTheInput() {
    return testing::alignment({.direction = "Forward",
                               .first = 1,
                               .second = 1,
                               .position = 1,
                               .overlap = 4,
                               .key = 0.25,
                               .firstFormat = "Original Motif",
                               .secondFormat = "Original Motif"});
  }

  testing::RunFolder folder;
};

const std::string kHeading = pad("Motif ID", 15) + pad("Motif name", 16) +
                             pad("Matching format of first motif", 40) +
                             pad("Matching format of second motif", 40) + pad("Direction", 15) +
                             pad("Position #", 15) + pad("# of overlap", 15) + "Similarity score\n";
const std::string kRule = std::string(196, '-') + "\n";

std::string valueRow(const std::string& id, const std::string& name, const std::string& f1,
                     const std::string& f2, const std::string& direction, const std::string& position,
                     const std::string& score) {
  return pad(id, 15) + pad(name, 16) + pad(f1, 40) + pad(f2, 40) + pad(direction, 15) + pad(position, 15) +
         pad("4", 15) + pad(score, 15) + "\n";
}

// The collection motif's identifier, name (a longer one pushes the row), taxon and matrices; the
// picture of a record that lists the collection motif first shifts that motif along the input motif.
const std::string kTextBlocks =
    kHeading +
    valueRow("MA0002.2", "a_name_longer_than_16", "Original Motif", "Reverse Complement", "Forward", "2",
             "0.500000") +
    "\nTaxon: Vertebrates\n\nOriginal motif\n" + printout("GGACG") +
    "Consensus sequence: GGACG\n\nReverse complement motif\n" + printout("CGTCC") +
    "Consensus sequence: CGTCC\n\nAlignment:\nCGTCC-\n-ACGTN\n\n" + kRule + kHeading +
    valueRow("MA0003.1", "ZZ", "Reverse Complement", "Original Motif", "Backward", "2", "0.012346") +
    "\nTaxon: Fungi\n\nOriginal motif\n" + printout("TTGACGTA") +
    "Consensus sequence: TTGACGTA\n\nReverse complement motif\n" + printout("TACGTCAA") +
    "Consensus sequence: TACGTCAA\n\nAlignment:\n"
    "TTGACGTA-\n"
    "----NACGT\n\n" +
    kRule;

TEST_F(DatabaseBlocksTest, TextBlocks) {
  const bestMatchList list = {inScanOrder(), collectionFirst()};
  // The section before them left fixed notation on the stream, as its matrices do.
  for (std::ofstream* out :
       {&reportStream(ReportId::DatabaseMatching), &reportStream(ReportId::DatabaseMatchingGlobalMatching)})
    *out << std::fixed << std::setprecision(6);
  writeMatchBlocks(ReportId::DatabaseMatching, list, 1);
  EXPECT_EQ(report(ReportId::DatabaseMatching), "HEAD\n" + kTextBlocks);
  writeMatchBlocks(ReportId::DatabaseMatchingGlobalMatching, list, 1);
  EXPECT_EQ(report(ReportId::DatabaseMatchingGlobalMatching), "HEAD\n" + kTextBlocks);

  bestMatchList zero = list;
  zero[0].similarityScore = 0.0;
  writeMatchBlocks(ReportId::DatabaseMatchingWithoutMotif, zero, 1);
  EXPECT_EQ(
      report(ReportId::DatabaseMatchingWithoutMotif),
      "HEAD\n" + kHeading +
          valueRow("MA0002.2", "a_name_longer_than_16", "Original Motif", "Reverse Complement", "Forward",
                   "2", "0") +
          "\nTaxon: Vertebrates\n\n"
          "Consensus sequence (original motif): GGACG\n"
          "Consensus sequence (reverse complement motif): CGTCC\n"
          "\nAlignment:\nCGTCC-\n-ACGTN\n\n" +
          kRule + kHeading +
          valueRow("MA0003.1", "ZZ", "Reverse Complement", "Original Motif", "Backward", "2", "0.0123457") +
          "\nTaxon: Fungi\n\n"
          "Consensus sequence (original motif): TTGACGTA\n"
          "Consensus sequence (reverse complement motif): TACGTCAA\n"
          "\nAlignment:\nTTGACGTA-\n----NACGT\n\n" +
          kRule);
}

TEST_F(DatabaseBlocksTest, TaxonOrSpeciesLabelFollowsTheCollection) {
  const struct {
    const char* key;
    const char* line;
  } cases[] = {{"jasparVertebrates", "Taxon: Vertebrates"},
               {"jasparAll", "Taxon: Vertebrates"},
               {"uniprobeHuman", "Species: Vertebrates"},
               {"transfac", "Species: Vertebrates"}};
  for (const auto& c : cases) {
    SetUp();
    DBName = c.key;
    writeMatchBlocks(ReportId::DatabaseMatchingWithoutMotif, {inScanOrder()}, 1);
    EXPECT_EQ(testing::splitLines(report(ReportId::DatabaseMatchingWithoutMotif))[4], c.line) << c.key;
  }
}

// An empty list opens and closes the report and writes nothing.
TEST_F(DatabaseBlocksTest, EmptyListWritesNothing) {
  for (ReportId id : testing::collectionReports()) {
    writeMatchBlocks(id, {}, 1);
    EXPECT_EQ(report(id), "HEAD\n") << reportName(id);
  }
}

std::string htmlCell(const std::string& text) {
  return "<td><font size = '2'>" + text + "</font></td>\n";
}
std::string htmlRow(const std::string& label, const std::string& value) {
  return "<tr>\n" + htmlCell(label) + htmlCell(value) + "</tr>\n";
}

struct HtmlBlock {
  bool collectionFirst;
  std::string identifierCell, name, taxonLabel, taxon, inputFormat, collectionFormat, direction, position,
      score, line1, line2, consensus, revConsensus, number;
};

std::string htmlBlock(const HtmlBlock& b) {
  const std::string logo = jobID + "image/" + jobID + "D" + b.number;
  return std::string(b.collectionFirst
                         ? "<table class='sansserif' width='1000' cellpadding='0' cellspacing='0' >\n"
                         : "<table class='sansserif' width='1000' border = '0' cellSpacing = '1' cellPadding "
                           "= '1' >\n") +
         "<col width= '300'>\n<col width= '700'>\n<tr>\n" + htmlCell("Motif ID:") + b.identifierCell +
         "\n</tr>\n" + htmlRow("Motif name:", b.name) + htmlRow(b.taxonLabel, b.taxon) +
         htmlRow("Matching format of first motif:", b.inputFormat) +
         htmlRow("Matching format of second motif:", b.collectionFormat) +
         htmlRow("Direction:", b.direction) + htmlRow("Position number:", b.position) +
         htmlRow("Number of overlap:", "4") + htmlRow("Similarity score:", b.score) + "</table>\n<br>\n" +
         (b.collectionFirst ? "<font face='Arial' size='2'>" : "<font face='Arial' size = '2'>") +
         "Alignment:</font>\n<br>\n<font face = 'Courier New'>" + b.line1 +
         "</font>\n<br>\n<font face = 'Courier New'>" + b.line2 +
         "</font>\n<p>\n"
         "<table class='sansserif' width='1200' border = '0' cellSpacing = '1' cellPadding = '1' >\n"
         "<col width= '600'>\n<col width= '600'>\n<tr>\n" +
         htmlCell("Original motif") + "\n" + htmlCell("Reverse complement motif") + "\n</tr>\n<tr>\n" +
         htmlCell("Consensus sequence: " + b.consensus) + "\n" +
         htmlCell("Consensus sequence: " + b.revConsensus) +
         "\n</tr>\n<tr>\n<td></td>\n<td></td>\n</tr>\n<tr>\n"
         "<td><img src = '" +
         logo + ".jpeg'name = 'Image" + b.number +
         "' align = 'left' width = '350' height = '100' border = '0'> </td>\n"
         "<td><img src = '" +
         logo + "RevComp.jpeg'name = 'ImageRevComp" + b.number +
         "' align = 'left' width = '350' height = '100' border = '0'> </td>\n"
         "</tr>\n</table>\n</p>\n<p>\n<hr>\n</p>\n";
}

std::string jasparCell(const std::string& id) {
  return "<td><font size = '2'> <a href='" + std::string(collectionPageAddress(CollectionFamily::Jaspar)) +
         "/cgi-bin/jaspar_db.pl?rm=present&collection=CORE&ID=" + id + "' target ='_blank'>" + id +
         "</a></font></td>";
}

// The form of a block follows the record's listing: a collection motif listed first gets the
// collection-first table and label even when its number equals the input motif's ID.
TEST_F(DatabaseBlocksTest, HtmlBlocksTakeTheirFormFromTheListing) {
  const bestMatchList list = {inScanOrder(), collectionFirstNumberedLikeTheInput()};
  const std::string expected = "HEAD\n" +
                               htmlBlock({.collectionFirst = false,
                                          .identifierCell = jasparCell("MA0002.2"),
                                          .name = "a_name_longer_than_16",
                                          .taxonLabel = "Taxon:",
                                          .taxon = "Vertebrates",
                                          .inputFormat = "Original Motif",
                                          .collectionFormat = "Reverse Complement",
                                          .direction = "Forward",
                                          .position = "2",
                                          .score = "0.5",
                                          .line1 = "CGTCC-",
                                          .line2 = "-ACGTN",
                                          .consensus = "GGACG",
                                          .revConsensus = "CGTCC",
                                          .number = "2"}) +
                               htmlBlock({.collectionFirst = true,
                                          .identifierCell = jasparCell("MA0001.1"),
                                          .name = "AGL3",
                                          .taxonLabel = "Taxon:",
                                          .taxon = "Plants",
                                          .inputFormat = "Original Motif",
                                          .collectionFormat = "Original Motif",
                                          .direction = "Forward",
                                          .position = "1",
                                          .score = "0.25",
                                          .line1 = "TGAC-",
                                          .line2 = "ACGTN",
                                          .consensus = "TGAC",
                                          .revConsensus = "GTCA",
                                          .number = "1"});
  writeMatchBlocks(ReportId::DatabaseMatchingHTML, list, 1);
  EXPECT_EQ(report(ReportId::DatabaseMatchingHTML), expected);
  writeMatchBlocks(ReportId::DatabaseMatchingGlobalMatchingHTML, list, 1);
  EXPECT_EQ(report(ReportId::DatabaseMatchingGlobalMatchingHTML), expected);
}

TEST_F(DatabaseBlocksTest, HtmlBlocksEscapeValuesAndEncodeLinks) {
  DBName = "transfac";
  DatabaseDatasets[1].databaseMotifID = "M0<1>&a b";
  DatabaseDatasets[1].motifName = "V$X<&>";
  DatabaseDatasets[1].taxonOrSpecies = "'Rat'";
  DatabaseDatasets[1].revCompConsensus = "C&G";
  writeMatchBlocks(ReportId::DatabaseMatchingHTML, {inScanOrder()}, 1);
  const std::string page = report(ReportId::DatabaseMatchingHTML);
  EXPECT_NE(page.find("<td><font size = '2'>AC:</font></td>\n<td><font size = '2'> <a href='" +
                      std::string(collectionPageAddress(CollectionFamily::Transfac)) +
                      "/cgi-bin/pub/databases/transfac/getTF.cgi?M0%3C1%3E%26a%20b' target ='_blank'>"
                      "M0&lt;1&gt;&amp;a b</a></font></td>\n"),
            std::string::npos);
  EXPECT_NE(page.find(htmlRow("Motif name:", "V$X&lt;&amp;&gt;") + htmlRow("Species:", "&#39;Rat&#39;")),
            std::string::npos);
  EXPECT_NE(page.find("Consensus sequence: C&amp;G"), std::string::npos);
  EXPECT_NE(page.find(">C&amp;G-</font>"), std::string::npos);  // the picture is escaped as well
  EXPECT_EQ(page.find("<1>"), std::string::npos);
}

TEST(CollectionPages, IdentifierCellLinksEachFamilyToItsPage) {
  const std::string uniprobe =
      std::string(collectionPageAddress(CollectionFamily::Uniprobe)) + "/uniprobe/detailsDef.php?id=";
  const struct {
    const char* key;
    const char* identifier;
    std::string cell;
  } cases[] = {
      {"jasparUrochordates", "MA0123.1",
       "<td><font size = '2'> <a href='" + std::string(collectionPageAddress(CollectionFamily::Jaspar)) +
           "/cgi-bin/jaspar_db.pl?rm=present&collection=CORE&ID=MA0123.1' target "
           "='_blank'>MA0123.1</a></font></td>"},
      {"transfac", "M00001",
       "<td><font size = '2'> <a href='" + std::string(collectionPageAddress(CollectionFamily::Transfac)) +
           "/cgi-bin/pub/databases/transfac/getTF.cgi?M00001' target ='_blank'>M00001</a></font></td>"},
      // The up to three characters after the first four name the page; a shorter identifier names none
      // and still shows whole.
      {"uniprobeYeast", "UP00123X",
       "<td><font size = '2'> <a href='" + uniprobe + "123' target ='_blank'>UP00123X</a></font></td>"},
      {"uniprobeWorm", "UP0012",
       "<td><font size = '2'> <a href='" + uniprobe + "12' target ='_blank'>UP0012</a></font></td>"},
      {"uniprobeHuman", "UP001",
       "<td><font size = '2'> <a href='" + uniprobe + "1' target ='_blank'>UP001</a></font></td>"},
      {"uniprobeMouse", "UP00",
       "<td><font size = '2'> <a href='" + uniprobe + "' target ='_blank'>UP00</a></font></td>"},
      {"uniprobeParasite", "U7",
       "<td><font size = '2'> <a href='" + uniprobe + "' target ='_blank'>U7</a></font></td>"},
      {"uniprobeParasite", "",
       "<td><font size = '2'> <a href='" + uniprobe + "' target ='_blank'></a></font></td>"},
      {"N", "X<1", "<td><font size = '2'>X&lt;1</font></td>"},
  };
  for (const auto& c : cases) {
    data motif;
    motif.databaseMotifID = c.identifier;
    EXPECT_EQ(identifierCell(c.key, motif), c.cell) << c.key << " " << c.identifier;
  }
}

TEST(CollectionPages, PercentEncodingKeepsOnlyUnreservedCharacters) {
  EXPECT_EQ(percentEncode("AZaz09-._~"), "AZaz09-._~");
  EXPECT_EQ(percentEncode("a b&c=d/e?f#g%h'\"<>"), "a%20b%26c%3Dd%2Fe%3Ff%23g%25h%27%22%3C%3E");
  EXPECT_EQ(percentEncode("\xC3\xA9"), "%C3%A9");
}

}  // namespace
}  // namespace korvelan
