// Whole runs with the tree answer "Y" and a stand-in Rscript: which trees are drawn, in which order,
// and what the tree pages hold.
#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace korvelan {
namespace {

using testing::Answers;
using testing::readFile;
using testing::RunFolder;
using testing::runOutputNames;
using testing::withoutJob;

std::size_t count(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

TEST(TreeRun, DrawsTheTreesTheAnswersAskForAndShowsThem) {
  const struct {
    const char* what;
    std::vector<std::string> files;
    const char* type;
    const char* format;
    std::vector<std::string> rCalls;
    bool globalPage, allPage;
    int globalImages;  // on the global page; -1: the one-file note instead
  } cases[] = {
      {"two files, All",
       {"files_a.txt", "files_b.txt"},
       "All",
       "HTML",
       {"Global_Matching_Plot_File.R", "Plot_File.R"},
       true,
       true,
       1},
      {"one file, All", {"files_b.txt"}, "All", "HTML", {"Plot_File.R"}, true, true, -1},
      {"one file, Global-Only", {"files_b.txt"}, "Global-Only", "HTML", {}, true, false, 0},
      {"two files, Global-Only, Text",
       {"files_a.txt", "files_b.txt"},
       "Global-Only",
       "Text",
       {"Global_Matching_Plot_File.R"},
       false,
       false,
       0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    RunFolder folder;
    for (const auto& f : c.files) folder.addFixture(f);
    // Notes the script and how many tree sections the pages hold by then (both trees come first).
    folder.addProgram("bin/Rscript",
                      "#!/bin/sh\necho $(basename \"$1\") $(cat \"$(dirname \"$1\")\"/*Tree.html "
                      "2>/dev/null | grep -c '<img') >> '" +
                          folder.root() + "r-calls.log'\n");
    Answers a;
    a.files = c.files;
    a.tree = "Y";
    a.type = c.type;
    a.format = c.format;
    const auto run = testing::runProgram(testing::dialogueInput(folder, a), folder.root(),
                                         "PATH='" + folder.root() + "bin':\"$PATH\"");
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output.find("Motif tree not drawn"), std::string::npos) << run.output;

    std::vector<std::string> calls, expectedCalls;
    for (const auto& call : testing::splitLines(readFile(folder.root() + "r-calls.log")))
      calls.push_back(withoutJob(call));
    for (const auto& script : c.rCalls) expectedCalls.push_back(script + " 0");
    EXPECT_EQ(calls, expectedCalls);

    const std::vector<std::string> names = runOutputNames(folder.result());
    ASSERT_FALSE(names.empty());
    const std::string job = names.front().substr(0, names.front().size() - withoutJob(names.front()).size());
    const std::string base = folder.result() + job;
    for (const auto& script : c.rCalls) {
      EXPECT_TRUE(testing::fileExists(base + script)) << script;
      const std::string csv =
          script == "Plot_File.R" ? "Distance_Matrix.csv" : "Global_Matching_Distance_Matrix.csv";
      const std::string firstLine = testing::splitLines(readFile(base + csv)).at(0);
      EXPECT_EQ(firstLine.rfind(script == "Plot_File.R" ? ",I1_" : ",G1_", 0), 0u) << firstLine;
      EXPECT_EQ(firstLine.back(), ',');
    }

    const std::string globalPage = base + "Global_Matching_Motif_Tree.html";
    const std::string allPage = base + "Motif_Tree.html";
    EXPECT_EQ(testing::fileExists(globalPage), c.globalPage);
    EXPECT_EQ(testing::fileExists(allPage), c.allPage);
    if (c.globalPage) {
      const std::string page = readFile(globalPage);
      EXPECT_EQ(count(page, "<img src = '" + job + "Global_Matching_Motif_Tree.png'"),
                c.globalImages < 0 ? 0u : static_cast<std::size_t>(c.globalImages));
      EXPECT_EQ(page.find("There is no phylogenetic tree") != std::string::npos, c.globalImages < 0);
      // The header closes its INPUT box, each section its own: nothing else opens one.
      EXPECT_EQ(count(page, "<div class = 'boxed'>"), c.globalImages == 0 ? 1u : 2u);
      EXPECT_EQ(count(page, "</div>"), count(page, "<div"));
      EXPECT_EQ(page.substr(page.size() - 16), "</body>\n</html>\n");
    }
    if (c.allPage) {
      const std::string page = readFile(allPage);
      EXPECT_EQ(count(page, "<img src = '" + job + "Motif_Tree.png'"), 1u);
      EXPECT_EQ(page.substr(page.size() - 16), "</body>\n</html>\n");
    }
  }
}

// Helpers of every step (logos, tree, PDF) that print on both streams and leave a child running, one
// that ignores SIGTERM and holds the run's output open: the run ends without waiting for those
// children, none of them is left running, and what the helpers printed reaches the run's output.
TEST(TreeRun, NoHelperOfAnyStepOutlivesTheRun) {
  RunFolder folder;
  folder.addFixture("files_a.txt");
  folder.addFixture("files_b.txt");
  const std::string children = folder.root() + "children";
  const auto leaving = [&](const std::string& step, const std::string& work) {
    return "#!/bin/sh\n" + work + "(trap '' TERM; exec sleep 60) & echo " + step + " $! >> '" + children +
           "'\necho " + step + "-on-stdout\necho " + step + "-on-stderr >&2\n";
  };
  // The logo command's standard output is the image.
  folder.addProgram("weblogo-3.4/weblogo", leaving("weblogo", "echo 'stand-in image'\nexec 1>&2\n"));
  folder.addProgram("bin/php5", leaving("php5", ""));
  folder.addProgram("bin/Rscript", leaving("Rscript", ""));
  Answers a;
  a.files = {"files_a.txt", "files_b.txt"};
  a.tree = "Y";
  a.type = "Global-Only";
  a.format = "PDF";
  const auto begun = std::chrono::steady_clock::now();
  const auto run = testing::runProgram(testing::dialogueInput(folder, a), folder.root());
  EXPECT_LT(std::chrono::steady_clock::now() - begun,
            std::chrono::seconds(45));  // not 60 s, for the children
  ASSERT_EQ(run.status, 0) << run.output;
  std::set<std::string> steps;
  std::istringstream lines(readFile(children));
  for (std::string step, pid; lines >> step >> pid;) {
    steps.insert(step);
    EXPECT_TRUE(testing::eventually([&] { return testing::processGone(std::stoi(pid)); }, 5)) << step;
  }
  EXPECT_EQ(steps, (std::set<std::string>{"Rscript", "php5", "weblogo"}));
  for (const std::string& step : steps) {
    EXPECT_NE(run.output.find(step + "-on-stdout\n"), std::string::npos) << step;
    EXPECT_NE(run.output.find(step + "-on-stderr\n"), std::string::npos) << step;
  }
}

}  // namespace
}  // namespace korvelan
