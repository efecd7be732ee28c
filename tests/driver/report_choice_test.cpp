// Whole runs for every combination of the answers that choose reports (type, format, collection,
// trees, combining), each checked against the report table: the run writes a report exactly when the
// table's row says the answers call for it, framed in the row's form, as a PDF exactly when it is a
// page and PDF is wanted, and no other report.
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

TEST(ReportChoice, EveryRunWritesExactlyTheReportsItsAnswersChooseInTheirRowsForm) {
  std::vector<Answers> answerSets;
  for (const char* type : {"Global-Only", "All"})
    for (const char* format : {"Text", "HTML", "PDF", "All"})
      for (int collection : {14, 1})
        for (const char* tree : {"N", "Y"})
          for (const char* combine : {"N", "Y"}) {
            Answers a;
            a.files = {"files_a.txt", "files_b.txt"};
            a.threads = 1;
            a.type = type;
            a.format = format;
            a.collection = collection;
            a.tree = tree;
            a.combine = combine;
            answerSets.push_back(a);
          }

  // Eight runs at a time, each a process of its own. The folders are all made first: a stand-in
  // program still open for writing in this process while another thread starts a run could not be
  // executed by that run.
  std::deque<RunFolder> folders(answerSets.size());
  for (RunFolder& folder : folders) prepare(folder);
  std::vector<Outcome> outcomes;
  for (std::size_t from = 0; from < answerSets.size(); from += 8) {
    std::vector<std::future<Outcome>> batch;
    for (std::size_t i = from; i < std::min(from + 8, answerSets.size()); ++i)
      batch.push_back(std::async(std::launch::async, runIn, std::cref(folders[i]), std::cref(answerSets[i])));
    for (auto& run : batch) outcomes.push_back(run.get());
  }

  for (std::size_t i = 0; i < answerSets.size(); ++i) {
    const Answers& a = answerSets[i];
    SCOPED_TRACE(a.type + " " + a.format + " collection " + std::to_string(a.collection) + " tree " + a.tree +
                 " combine " + a.combine);
    const Outcome& outcome = outcomes[i];
    ASSERT_EQ(outcome.status, 0) << outcome.output;
    resetGlobals();
    testing::applyAnswers(a);
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
