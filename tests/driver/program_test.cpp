// Whole runs of the real program: its console, its reports against golden files, its error exits,
// and reports that do not change with the thread count.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <regex>
#include <sstream>

#include "support/test_support.h"

namespace korvelan {
namespace {

using testing::fileExists;
using testing::listDir;
using testing::readFile;
using testing::writeFile;

using testing::Answers;
using testing::maskRun;
using testing::RunFolder;
using testing::runOutputNames;
using testing::withoutJob;

std::string answers(const RunFolder& folder, const std::vector<std::string>& files, const std::string& type,
                    const std::string& format, int threads = 2) {
  Answers a;
  a.files = files;
  a.type = type;
  a.format = format;
  a.threads = threads;
  return testing::dialogueInput(folder, a);
}

void compareWithGolden(const std::string& goldenDir, const std::string& name, const std::string& actual) {
  testing::expectGolden("driver/golden/" + goldenDir + "/" + name, actual);
}

struct GoldenCase {
  const char* golden;
  std::vector<std::string> files;
  const char* type;
  const char* format;
  std::vector<std::string> reports;  // names without the job identifier
};

TEST(ProgramRun, ReportsMatchTheirGoldenFiles) {
  const GoldenCase cases[] = {
      {"two_files_text", {"files_a.txt", "files_b.txt"}, "All", "Text",
       {"Results.txt", "Results_Global_Matching.txt", "Results_Without_Motif_Details.txt", "input_motifs.txt"}},
      {"two_files_html", {"files_a.txt", "files_b.txt"}, "All", "HTML",
       {"HTML_Global_Matching_Results.html", "HTML_Results.html", "input_motifs.txt"}},
      {"one_file_text", {"files_b.txt"}, "All", "Text",
       {"Results.txt", "Results_Global_Matching.txt", "Results_Without_Motif_Details.txt", "input_motifs.txt"}},
      {"one_file_html", {"files_b.txt"}, "All", "HTML",
       {"HTML_Global_Matching_Results.html", "HTML_Results.html", "input_motifs.txt"}},
      {"global_only_all", {"files_a.txt", "files_b.txt"}, "Global-Only", "All",
       {"HTML_Global_Matching_Results.html", "HTML_Global_Matching_Results.pdf", "Results_Global_Matching.txt",
        "input_motifs.txt"}},
  };
  for (const GoldenCase& c : cases) {
    SCOPED_TRACE(c.golden);
    RunFolder folder;
    for (const auto& f : c.files) folder.addFixture(f);
    const auto run = testing::runProgram(answers(folder, c.files, c.type, c.format), folder.dir.path());
    ASSERT_EQ(run.status, 0) << run.output;
    std::vector<std::string> names;
    for (const auto& name : runOutputNames(folder.result())) names.push_back(withoutJob(name));
    EXPECT_EQ(names, c.reports);
    for (const auto& name : runOutputNames(folder.result())) {
      if (name.ends_with(".pdf"))  // made by the folder's stand-in converter
        EXPECT_EQ(readFile(folder.result() + name), testing::kStandInPdf);
      else
        compareWithGolden(c.golden, withoutJob(name), maskRun(readFile(folder.result() + name), folder.dir.path()));
    }
    // The console after the dialogue: from the empty line before "Reading input ..." on.
    const std::size_t from = run.output.find("\nReading input ...");
    ASSERT_NE(from, std::string::npos);
    compareWithGolden(c.golden, "console.txt", maskRun(run.output.substr(from), folder.dir.path()));
  }
}

TEST(ProgramRun, PagesGetTwoLogosPerMotif) {
  RunFolder folder;
  folder.addFixture("files_a.txt");
  // The shell's redirection creates each image file even from the stand-in logo program.
  const auto run = testing::runProgram(answers(folder, {"files_a.txt"}, "All", "HTML"), folder.dir.path());
  ASSERT_EQ(run.status, 0) << run.output;
  std::string imageDir;
  for (const auto& name : listDir(folder.result()))
    if (name.size() > 5 && name.substr(name.size() - 5) == "image") imageDir = folder.result() + name + "/";
  ASSERT_FALSE(imageDir.empty());
  std::vector<std::string> images;
  for (const auto& name : listDir(imageDir)) images.push_back(withoutJob(name));
  EXPECT_EQ(images, (std::vector<std::string>{"M1.jpeg", "M1RevComp.jpeg", "M2.jpeg", "M2RevComp.jpeg",
                                              "M3.jpeg", "M3RevComp.jpeg"}));
}

TEST(ProgramRun, ErrorExits) {
  {
    SCOPED_TRACE("one motif in all");
    RunFolder folder;
    writeFile(folder.motifs() + "one.txt", ">CRE\nTGACGTCA\n");
    const auto run = testing::runProgram(answers(folder, {"one.txt"}, "All", "Text"), folder.dir.path());
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("Error: insufficient number of motifs.\n"), std::string::npos);
    EXPECT_TRUE(runOutputNames(folder.result()).empty());
  }
  {
    SCOPED_TRACE("missing file");
    RunFolder folder;
    folder.addFixture("files_a.txt");
    const auto run =
        testing::runProgram(answers(folder, {"files_a.txt", "nothere.txt"}, "All", "Text"), folder.dir.path());
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("Invalid input path or file name.\n"), std::string::npos);
    EXPECT_TRUE(runOutputNames(folder.result()).empty());
  }
  {
    SCOPED_TRACE("no result folder");
    RunFolder folder;
    folder.addFixture("files_a.txt");
    std::filesystem::remove_all(folder.result());
    std::string in = answers(folder, {"files_a.txt"}, "All", "Text");
    in.replace(in.rfind(folder.result()), folder.result().size(), folder.motifs());  // an existing folder
    const auto run = testing::runProgram(in, folder.dir.path());
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.output.substr(run.output.size() - 39), "Invalid output path or output filename.");
  }
  {
    SCOPED_TRACE("input ends during the dialogue");
    RunFolder folder;
    const auto run = testing::runProgram("2\n5\n", folder.dir.path());
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(listDir(folder.result()).size() == 1);  // only .keep
  }
}

// Many motifs in three files, so that the scans and sorts split work unevenly over threads.
std::string manyMotifs(unsigned seed, int count) {
  std::ostringstream out;
  unsigned state = seed;
  auto next = [&state]() { return (state = state * 1103515245u + 12345u) >> 16; };
  for (int m = 0; m < count; ++m) {
    const int length = 5 + static_cast<int>(next() % 12);
    out << ">MX" << seed << "." << m << " site" << m << "\n";
    for (const char base : {'A', 'C', 'G', 'T'}) {
      out << base << "  [";
      for (int p = 0; p < length; ++p) out << " " << (next() % 4 == 0 ? next() % 30 : next() % 4);
      out << " ]\n";
    }
    out << "\n";
  }
  return out.str();
}

TEST(ProgramRun, ReportsDoNotDependOnTheThreadCount) {
  std::vector<std::string> reference;
  for (int threads : {1, 3, 8}) {
    RunFolder folder;
    for (unsigned f = 1; f <= 3; ++f) writeFile(folder.motifs() + "set" + std::to_string(f) + ".txt", manyMotifs(f, 40));
    const auto run = testing::runProgram(
        answers(folder, {"set1.txt", "set2.txt", "set3.txt"}, "All", "All", threads) , folder.dir.path());
    ASSERT_EQ(run.status, 0) << run.output;
    std::vector<std::string> reports;
    for (const auto& name : runOutputNames(folder.result()))
      reports.push_back(name.substr(18) + "\n" + maskRun(readFile(folder.result() + name), folder.dir.path()));
    ASSERT_EQ(reports.size(), 8u);  // six reports and the PDFs of the two pages
    if (reference.empty())
      reference = reports;
    else
      for (std::size_t i = 0; i < reports.size(); ++i) EXPECT_TRUE(reports[i] == reference[i]) << threads << " threads";
  }
}

}  // namespace
}  // namespace korvelan
