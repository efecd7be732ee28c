// Whole runs on the answers that choose reports (type, format, collection, trees, combining): a few
// answer sets against the reports named by hand, and every combination against the report table: the
// run writes a report exactly when the table's row says the answers call for it, framed in the row's
// form, as a PDF exactly when it is a page and PDF is wanted, and no other report.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <future>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/answers.h"
#include "core/globals.h"
#include "core/report_files.h"
#include "support/test_support.h"

namespace korvelan {
namespace {

using testing::Answers;
using testing::readFile;
using testing::RunFolder;
using testing::runOutputNames;
using testing::withoutJob;

struct Outcome {
  int status = -1;
  std::string output;
  std::map<std::string, std::string> reports;  // text by name without the job identifier
};

bool endsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// A run folder with the two input files, the collection of menu choice 1 and a stand-in Rscript.
void prepare(RunFolder& folder) {
  folder.addFixture("files_a.txt");
  folder.addFixture("files_b.txt");
  testing::writeFile(folder.root() + "databases/jaspar/jaspar_pfm_all.txt",
                     readFile(testing::sourceDir() + "/tests/driver/fixtures/collections/jaspar.txt"));
  folder.addProgram("bin/Rscript", "#!/bin/sh\nexit 0\n");
}

Outcome runIn(const RunFolder& folder, const Answers& answers) {
  // The logos are drawn by the stand-in command itself: the resident renderer is not what this checks.
  const auto run = testing::runProgram(testing::dialogueInput(folder, answers), folder.root(),
                                       "KORVELAN_LOGO_RENDERER=off");
  Outcome outcome{run.status, run.output, {}};
  // Every output but the input listing and the tree step's matrices, scripts and images.
  for (const std::string& name : runOutputNames(folder.result())) {
    const std::string report = withoutJob(name);
    if (report == "input_motifs.txt" || endsWith(report, ".csv") || endsWith(report, ".R") ||
        endsWith(report, ".png"))
      continue;
    outcome.reports[report] = readFile(folder.result() + name);
  }
  return outcome;
}

std::set<std::string> namesOf(const Outcome& outcome) {
  std::set<std::string> names;
  for (const auto& [name, text] : outcome.reports) names.insert(name);
  return names;
}

std::string withExtension(const std::string& name, const std::string& extension) {
  return name.substr(0, name.rfind('.')) + extension;
}

Answers answersFor(const char* type, const char* format, int collection, const char* tree,
                   const char* combine) {
  return Answers{.files = {"files_a.txt", "files_b.txt"},
                 .threads = 1,
                 .collection = collection,
                 .tree = tree,
                 .combine = combine,
                 .type = type,
                 .format = format};
}

std::string describe(const Answers& a) {
  return a.type + " " + a.format + " collection " + std::to_string(a.collection) + " tree " + a.tree +
         " combine " + a.combine;
}

// One whole run for each answer set, eight at a time, each a process of its own. The folders are all
// made first: a stand-in program still open for writing in this process while another thread starts a
// run could not be executed by that run.
std::vector<Outcome> runAll(const std::vector<Answers>& answerSets) {
  std::deque<RunFolder> folders(answerSets.size());
  for (RunFolder& folder : folders) prepare(folder);
  std::vector<Outcome> outcomes;
  for (std::size_t from = 0; from < answerSets.size(); from += 8) {
    std::vector<std::future<Outcome>> batch;
    for (std::size_t i = from; i < std::min(from + 8, answerSets.size()); ++i)
      batch.push_back(std::async(std::launch::async, runIn, std::cref(folders[i]), std::cref(answerSets[i])));
    for (auto& run : batch) outcomes.push_back(run.get());
  }
  return outcomes;
}

TEST(ReportChoice, AnswerSetsWriteTheseReports) {
  const int jaspar = 1, none = 14;
  const struct {
    Answers answers;
    std::set<std::string> reports;
  } cases[] = {
      {answersFor("Global-Only", "Text", none, "N", "N"), {"Results_Global_Matching.txt"}},
      {answersFor("All", "Text", jaspar, "N", "Y"),
       {"Results_Global_Matching.txt", "Results_Database_Matching_Global_Matching.txt", "Results.txt",
        "Results_Without_Motif_Details.txt", "Results_Database_Matching.txt",
        "Results_Database_Matching_Without_Motif_Details.txt", "Results_Combined_Motifs_Global_Matching.txt",
        "Results_Combined_Motifs_Global_and_Local_Matching.txt", "Results_Combined_Motifs_Best_Matches.txt"}},
      {answersFor("Global-Only", "HTML", jaspar, "Y", "Y"),
       {"HTML_Global_Matching_Results.html", "HTML_Results_Database_Matching_Global_Matching.html",
        "Results_Combined_Motifs_Global_Matching.txt", "Global_Matching_Motif_Tree.html"}},
      {answersFor("All", "PDF", none, "Y", "N"),
       {"HTML_Global_Matching_Results.pdf", "HTML_Results.pdf", "Global_Matching_Motif_Tree.pdf",
        "Motif_Tree.pdf"}},
      {answersFor("All", "HTML", jaspar, "N", "N"),
       {"HTML_Global_Matching_Results.html", "HTML_Results_Database_Matching_Global_Matching.html",
        "HTML_Results.html", "HTML_Results_Database_Matching.html"}},
      {answersFor("Global-Only", "All", none, "N", "Y"),
       {"Results_Global_Matching.txt", "HTML_Global_Matching_Results.html",
        "HTML_Global_Matching_Results.pdf", "Results_Combined_Motifs_Global_Matching.txt"}},
  };
  std::vector<Answers> answerSets;
  for (const auto& c : cases) answerSets.push_back(c.answers);
  const std::vector<Outcome> outcomes = runAll(answerSets);
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(describe(cases[i].answers));
    ASSERT_EQ(outcomes[i].status, 0) << outcomes[i].output;
    EXPECT_EQ(namesOf(outcomes[i]), cases[i].reports) << outcomes[i].output;
  }
}

TEST(ReportChoice, EveryRunWritesExactlyTheReportsTheTableChoosesInTheirRowsForm) {
  std::vector<Answers> answerSets;
  for (const char* type : {"Global-Only", "All"})
    for (const char* format : {"Text", "HTML", "PDF", "All"})
      for (int collection : {14, 1})
        for (const char* tree : {"N", "Y"})
          for (const char* combine : {"N", "Y"})
            answerSets.push_back(answersFor(type, format, collection, tree, combine));
  const std::vector<Outcome> outcomes = runAll(answerSets);

  for (std::size_t i = 0; i < answerSets.size(); ++i) {
    SCOPED_TRACE(describe(answerSets[i]));
    const Outcome& outcome = outcomes[i];
    ASSERT_EQ(outcome.status, 0) << outcome.output;
    resetGlobals();
    testing::applyAnswers(answerSets[i]);
    std::set<std::string> expected;
    for (const ReportFile& row : reportFiles()) {
      if (!reportChosen(row)) continue;
      const std::string name = row.defaultName;
      if (row.form != ReportForm::Page) {
        expected.insert(name);
        const std::string& text = outcome.reports.count(name) ? outcome.reports.at(name) : name;
        EXPECT_EQ(text.rfind(std::string(196, '*') + "\nKORVELAN - KORVELAN Detection Tool\n", 0), 0u)
            << name;
        EXPECT_TRUE(endsWith(text, "\nKORVELAN is written by Orsabel\n")) << name;
        continue;
      }
      if (!pdfOnly()) {
        expected.insert(name);
        const std::string& page = outcome.reports.count(name) ? outcome.reports.at(name) : name;
        EXPECT_EQ(page.rfind("<html>\n", 0), 0u) << name;
        EXPECT_TRUE(endsWith(page, "</body>\n</html>\n")) << name;
      }
      if (pdfWanted()) expected.insert(withExtension(name, ".pdf"));
    }
    EXPECT_EQ(namesOf(outcome), expected) << outcome.output;
  }
  resetGlobals();
}

}  // namespace
}  // namespace korvelan
