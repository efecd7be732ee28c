// Whole runs that combine similar motifs: the combined-motif reports against golden files, and the
// same reports whatever the thread count.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace korvelan {
namespace {

using testing::Answers;
using testing::maskRun;
using testing::readFile;
using testing::RunFolder;
using testing::runOutputNames;
using testing::withoutJob;

// The combined-motif reports of a finished run: name without the job identifier, masked text.
std::vector<std::pair<std::string, std::string>> combinedReports(const RunFolder& folder) {
  std::vector<std::pair<std::string, std::string>> reports;
  for (const std::string& name : runOutputNames(folder.result()))
    if (name.find("Combined_Motifs") != std::string::npos)
      reports.push_back({withoutJob(name), maskRun(readFile(folder.result() + name), folder.root())});
  return reports;
}

Answers combining(const std::vector<std::string>& files, const std::string& type, int threads = 2) {
  Answers a;
  a.files = files;
  a.combine = "Y";
  a.type = type;
  a.format = "Text";
  a.threads = threads;
  return a;
}

TEST(CombinedMotifRuns, ReportsMatchTheirGoldenFiles) {
  struct Case {
    const char* golden;
    std::vector<std::string> files;
    const char* type;
    std::vector<std::string> reports;
  };
  const std::vector<std::string> all = {"Results_Combined_Motifs_Best_Matches.txt",
                                        "Results_Combined_Motifs_Global_Matching.txt",
                                        "Results_Combined_Motifs_Global_and_Local_Matching.txt"};
  const Case cases[] = {
      {"two_files_all", {"merge_a.txt", "merge_b.txt"}, "All", all},
      {"two_files_global_only",
       {"merge_a.txt", "merge_b.txt"},
       "Global-Only",
       {"Results_Combined_Motifs_Global_Matching.txt"}},
      {"one_file_all", {"merge_b.txt"}, "All", all},
      {"one_file_global_only",
       {"merge_b.txt"},
       "Global-Only",
       {"Results_Combined_Motifs_Global_Matching.txt"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.golden);
    RunFolder folder;
    for (const std::string& file : c.files) folder.addFixture(file, "merge");
    const auto run =
        testing::runProgram(testing::dialogueInput(folder, combining(c.files, c.type)), folder.root());
    ASSERT_EQ(run.status, 0) << run.output;
    std::vector<std::string> names;
    for (const auto& [name, text] : combinedReports(folder)) {
      names.push_back(name);
      testing::expectGolden(std::string("merge/golden/") + c.golden + "/" + name, text);
    }
    EXPECT_EQ(names, c.reports);
  }
}

// Every row of a combined-motif report names each motif beside its own format and consensus: the
// motifs of merge_b.txt are plain words, so a named motif's consensus is its word, or the word's
// reverse complement in the format "Reverse Complement". Rows whose record listed the partner first,
// at the group's first merge and at chain steps, are among them.
TEST(CombinedMotifRuns, RowsNameEachMotifBesideItsOwnConsensus) {
  const std::map<std::string, std::string> words = {
      {"Ebox_b", "GCACGTGA"}, {"Ebox_c", "CCACGTGGTC"}, {"CRE_b", "ATGACGTCAT"}, {"GATA_b", "TTATCTA"}};
  auto reverseComplement = [](std::string word) {
    std::reverse(word.begin(), word.end());
    for (char& base : word) base = base == 'A' ? 'T' : base == 'C' ? 'G' : base == 'G' ? 'C' : 'A';
    return word;
  };
  RunFolder folder;
  folder.addFixture("merge_b.txt", "merge");
  const auto run =
      testing::runProgram(testing::dialogueInput(folder, combining({"merge_b.txt"}, "All")), folder.root());
  ASSERT_EQ(run.status, 0) << run.output;
  int checked = 0;
  for (const auto& [name, text] : combinedReports(folder)) {
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
      // A row: seven cells parted by runs of blanks (the formats hold single blanks).
      std::vector<std::string> cells;
      std::regex parting(" {2,}");
      for (std::sregex_token_iterator it(line.begin(), line.end(), parting, -1), end; it != end; ++it)
        if (it->length() > 0) cells.push_back(*it);
      if (cells.size() != 7 || (cells[2] != "Original Motif" && cells[2] != "Reverse Complement")) continue;
      for (int side = 0; side < 2; ++side) {
        const auto word = words.find(cells[side]);
        if (word == words.end()) continue;
        SCOPED_TRACE(name + ": " + line);
        const bool reverse = cells[2 + side] == "Reverse Complement";
        EXPECT_EQ(cells[4 + side], reverse ? reverseComplement(word->second) : word->second);
        ++checked;
      }
    }
  }
  EXPECT_GT(checked, 0);
}

// Motif families: each motif a noisy copy of one of a few seed words, in three files, so that groups
// merge over several steps and the scans split their work unevenly over the threads.
std::string motifFamilies(unsigned seed, int count) {
  const char* seeds[] = {"TTCACGTGAC", "ATGACGTCAT", "GGATAAGGC", "CCAATCAGTG", "TTTGCGCAAA"};
  std::ostringstream out;
  unsigned state = seed;
  auto next = [&state]() { return (state = state * 1103515245u + 12345u) >> 16; };
  for (int m = 0; m < count; ++m) {
    const std::string word = seeds[next() % 5];
    out << ">FAM" << seed << "." << m << " site" << m << "\n";
    for (const char base : {'A', 'C', 'G', 'T'}) {
      out << base << "  [";
      for (const char letter : word) out << " " << (letter == base ? 12 + next() % 10 : next() % 4);
      out << " ]\n";
    }
    out << "\n";
  }
  return out.str();
}

TEST(CombinedMotifRuns, ReportsDoNotDependOnTheThreadCount) {
  std::vector<std::pair<std::string, std::string>> reference;
  for (int threads : {1, 3, 8}) {
    SCOPED_TRACE(threads);
    RunFolder folder;
    std::vector<std::string> files;
    for (unsigned f = 1; f <= 3; ++f) {
      files.push_back("family" + std::to_string(f) + ".txt");
      testing::writeFile(folder.motifs() + files.back(), motifFamilies(f, 30));
    }
    Answers answers = combining(files, "All", threads);
    answers.bestMatches = 6;
    const auto run = testing::runProgram(testing::dialogueInput(folder, answers), folder.root());
    ASSERT_EQ(run.status, 0) << run.output;
    const auto reports = combinedReports(folder);
    ASSERT_EQ(reports.size(), 3u);
    // Chains of several accepted steps, so the comparison covers the chained merges.
    EXPECT_NE(reports[0].second.find("Combined Motif"), std::string::npos);
    if (reference.empty())
      reference = reports;
    else
      for (std::size_t k = 0; k < reports.size(); ++k)
        EXPECT_TRUE(reports[k] == reference[k]) << reports[k].first;
  }
}

}  // namespace
}  // namespace korvelan
