// Whole runs with a collection chosen: the five database reports against golden files, the two CTCF
// motifs of the real all-taxa JASPAR file, and reports that do not change with the thread count.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "support/test_support.h"

namespace korvelan {
namespace {

using testing::Answers;
using testing::generatedMotifs;
using testing::maskRun;
using testing::readFile;
using testing::RunFolder;
using testing::runOutputNames;
using testing::withoutJob;
using testing::writeFile;

// Copies a collection fixture to the place the program reads a collection from: databases/ in the
// working directory, which the whole-run tests make the run folder.
void addCollection(const RunFolder& folder, const std::string& fixture, const std::string& path) {
  writeFile(folder.root() + path,
            readFile(testing::sourceDir() + "/tests/driver/fixtures/collections/" + fixture));
}

std::vector<std::string> databaseReportNames(const std::string& result) {
  std::vector<std::string> names;
  for (const auto& name : runOutputNames(result))
    if (name.find("Database") != std::string::npos) names.push_back(name);
  return names;
}

struct DatabaseCase {
  const char* golden;
  std::vector<std::string> files;
  int collection;
  const char* fixture;
  const char* path;
  const char* type;
  const char* format;
  std::vector<std::string> reports;  // the database reports, without the job identifier
};

TEST(DatabaseRun, ReportsMatchTheirGoldenFiles) {
  const std::string jaspar = "databases/jaspar/jaspar_pfm_all.txt";
  const std::string transfac = "databases/transfac/transfac.txt";
  const std::string uniprobe = "databases/uniprobe/uniprobe_worm.txt";
  const DatabaseCase cases[] = {
      {"database_two_files_jaspar_text",
       {"files_a.txt", "files_b.txt"},
       1,
       "jaspar.txt",
       jaspar.c_str(),
       "All",
       "Text",
       {"Results_Database_Matching.txt", "Results_Database_Matching_Global_Matching.txt",
        "Results_Database_Matching_Without_Motif_Details.txt"}},
      {"database_two_files_jaspar_html",
       {"files_a.txt", "files_b.txt"},
       1,
       "jaspar.txt",
       jaspar.c_str(),
       "All",
       "HTML",
       {"HTML_Results_Database_Matching.html", "HTML_Results_Database_Matching_Global_Matching.html"}},
      {"database_two_files_transfac_global_only_text",
       {"files_a.txt", "files_b.txt"},
       8,
       "transfac.txt",
       transfac.c_str(),
       "Global-Only",
       "Text",
       {"Results_Database_Matching_Global_Matching.txt"}},
      {"database_two_files_uniprobe_global_only_html",
       {"files_a.txt", "files_b.txt"},
       12,
       "uniprobe.txt",
       uniprobe.c_str(),
       "Global-Only",
       "HTML",
       {"HTML_Results_Database_Matching_Global_Matching.html"}},
      {"database_one_file_uniprobe_text",
       {"files_b.txt"},
       12,
       "uniprobe.txt",
       uniprobe.c_str(),
       "All",
       "Text",
       {"Results_Database_Matching.txt", "Results_Database_Matching_Global_Matching.txt",
        "Results_Database_Matching_Without_Motif_Details.txt"}},
      {"database_one_file_transfac_html",
       {"files_b.txt"},
       8,
       "transfac.txt",
       transfac.c_str(),
       "All",
       "HTML",
       {"HTML_Results_Database_Matching.html", "HTML_Results_Database_Matching_Global_Matching.html"}},
  };
  for (const DatabaseCase& c : cases) {
    SCOPED_TRACE(c.golden);
    RunFolder folder;
    for (const auto& f : c.files) folder.addFixture(f);
    addCollection(folder, c.fixture, c.path);
    Answers a;
    a.files = c.files;
    a.collection = c.collection;
    a.type = c.type;
    a.format = c.format;
    const auto run = testing::runProgram(testing::dialogueInput(folder, a), folder.root());
    ASSERT_EQ(run.status, 0) << run.output;
    std::vector<std::string> names;
    for (const auto& name : databaseReportNames(folder.result())) names.push_back(withoutJob(name));
    EXPECT_EQ(names, c.reports);
    for (const auto& name : databaseReportNames(folder.result()))
      testing::expectGolden("driver/golden/" + std::string(c.golden) + "/" + withoutJob(name),
                            maskRun(readFile(folder.result() + name), folder.root()));
  }
}

// The section of input motif `motif` in a database text report: its lines up to the next section.
std::string sectionOf(const std::string& report, int motif) {
  const std::string start = "Motif ID: " + std::to_string(motif) + "\t\t";
  const std::size_t from = report.find(start);
  if (from == std::string::npos) return "";
  const std::size_t to = report.find("Dataset #: ", from + start.size());
  return report.substr(from, to == std::string::npos ? std::string::npos : to - from);
}

// The identifiers of a section's match blocks, in order.
std::vector<std::string> blockIdentifiers(const std::string& section) {
  std::vector<std::string> ids;
  std::istringstream lines(section);
  bool nextIsValueRow = false;
  for (std::string line; std::getline(lines, line);) {
    if (nextIsValueRow) ids.push_back(line.substr(0, line.find(' ')));
    nextIsValueRow = line.rfind("Motif ID       Motif name", 0) == 0;
  }
  return ids;
}

// JASPAR 2016 all taxa names seven motifs twice; CTCF of vertebrates (MA0139.1) and of insects (MA0531.1)
// are each other's close matches, and each must keep the other among its best matches.
TEST(DatabaseRun, BothCtcfMotifsOfTheAllTaxaFileAreListed) {
  const std::string shared = testing::sharedDataDir();
  const std::string collection = shared + "/databases/jaspar/jaspar_pfm_all.txt";
  if (shared.empty() || !testing::fileExists(collection)) GTEST_SKIP() << "no shared JASPAR files";
  RunFolder folder;
  std::filesystem::create_directories(folder.root() + "databases/jaspar");
  std::filesystem::create_symlink(collection, folder.root() + "databases/jaspar/jaspar_pfm_all.txt");

  // The two CTCF blocks as input motifs, their headers without the taxon.
  std::string input;
  for (const std::string& block : std::vector<std::string>{">MA0139.1\tCTCF", ">MA0531.1\tCTCF"}) {
    const std::string all = readFile(collection);
    const std::size_t at = all.find(block + "\t");
    ASSERT_NE(at, std::string::npos) << block;
    const std::size_t body = all.find('\n', at) + 1;
    input += block.substr(0, block.find('\t')) + " CTCF\n" + all.substr(body, all.find("\n\n", body) - body) +
             "\n\n";
  }
  writeFile(folder.motifs() + "ctcf.txt", input);
  Answers a;
  a.files = {"ctcf.txt"};
  a.collection = 1;
  a.cutoff = "0.8";
  a.bestMatches = 3;
  const auto run = testing::runProgram(testing::dialogueInput(folder, a), folder.root());
  ASSERT_EQ(run.status, 0) << run.output;
  const auto names = databaseReportNames(folder.result());
  std::string report;
  for (const auto& name : names)
    if (withoutJob(name) == "Results_Database_Matching.txt") report = readFile(folder.result() + name);
  ASSERT_FALSE(report.empty());
  // Each motif first finds its own copy, then the other CTCF among its three best matches.
  for (const auto& [motif, own, other] :
       {std::tuple{1, "MA0139.1", "MA0531.1"}, {2, "MA0531.1", "MA0139.1"}}) {
    const std::vector<std::string> ids = blockIdentifiers(sectionOf(report, motif));
    ASSERT_EQ(ids.size(), 3u) << motif;
    EXPECT_EQ(ids[0], own);
    EXPECT_NE(std::find(ids.begin(), ids.end(), other), ids.end()) << motif;
  }
}

// The text reports show every selected match; the pages are written from the same lists.
TEST(DatabaseRun, ReportsDoNotDependOnTheThreadCount) {
  std::vector<std::string> reference;
  for (int threads : {1, 3, 8}) {
    SCOPED_TRACE(std::to_string(threads) + " threads");
    RunFolder folder;
    for (unsigned f = 1; f <= 3; ++f)
      writeFile(folder.motifs() + "set" + std::to_string(f) + ".txt", generatedMotifs("MX", f, 30, true, false));
    writeFile(folder.root() + "databases/jaspar/jaspar_pfm_all.txt", generatedMotifs("DB", 7, 80, true, true));
    Answers a;
    a.files = {"set1.txt", "set2.txt", "set3.txt"};
    a.collection = 1;
    a.bestMatches = 5;
    a.threads = threads;
    const auto run = testing::runProgram(testing::dialogueInput(folder, a), folder.root());
    ASSERT_EQ(run.status, 0) << run.output;
    std::vector<std::string> reports;
    for (const auto& name : databaseReportNames(folder.result()))
      reports.push_back(withoutJob(name) + "\n" + maskRun(readFile(folder.result() + name), folder.root()));
    ASSERT_EQ(reports.size(), 3u);
    for (const auto& r : reports) EXPECT_NE(r.find("Best Matches for Motif ID"), std::string::npos);
    if (reference.empty())
      reference = reports;
    else
      for (std::size_t i = 0; i < reports.size(); ++i) EXPECT_TRUE(reports[i] == reference[i]) << i;
  }
}

}  // namespace
}  // namespace korvelan
