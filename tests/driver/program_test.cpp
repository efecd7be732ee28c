// Whole runs of the real program: its console, its reports against golden files, its error exits,
// and reports that do not change with the thread count.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <future>
#include <sstream>

#include "core/utilities.h"
#include "support/test_support.h"

namespace korvelan {
namespace {

using testing::generatedMotifs;
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

// A whole run's output (both streams in one) that ends with the output failure: the console line,
// ended before the last line, which names the run's file in `result` (its name ending as
// `nameAndReason` begins) and the reason.
void expectEndsWithOutputFailure(const std::string& output, const std::string& result,
                                 const std::string& nameAndReason) {
  const std::string console = "Invalid output path or output filename.\nError writing ";
  const std::size_t at = output.rfind(console);
  ASSERT_NE(at, std::string::npos) << output;
  const std::string errorLine = output.substr(at + console.size());
  EXPECT_TRUE(errorLine.starts_with(result + "J_")) << output;
  EXPECT_TRUE(errorLine.ends_with(nameAndReason + "\n")) << output;
  EXPECT_EQ(errorLine.find('\n'), errorLine.size() - 1) << output;
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
    expectEndsWithOutputFailure(run.output, folder.result(), "_Results_Global_Matching.txt: No such file or directory");
  }
  {
    SCOPED_TRACE("input ends during the dialogue");
    RunFolder folder;
    const auto run = testing::runProgram("2\n5\n", folder.dir.path());
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(listDir(folder.result()).size() == 1);  // only .keep
  }
}

// The faults of a hostile or careless use, each in a whole run.
TEST(ProgramRun, NulInTheInputFolderAnswerWritesNothing) {
  // "<motifs>/files_a.txt<NUL>motifs/" read files_a.txt and then wrote every report over it.
  RunFolder folder;
  folder.addFixture("files_a.txt");
  const std::string original = readFile(folder.motifs() + "files_a.txt");
  std::string in = answers(folder, {""}, "All", "Text");
  const std::string typed = folder.motifs() + "files_a.txt" + std::string(1, '\0') + "motifs/";
  in.replace(in.find(folder.motifs()), folder.motifs().size(), typed);
  const auto run = testing::runProgram(in, folder.dir.path());
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.output.find("Invalid input path or file name.\n"), std::string::npos);
  EXPECT_EQ(readFile(folder.motifs() + "files_a.txt"), original);
  EXPECT_EQ(listDir(folder.motifs()), std::vector<std::string>{"files_a.txt"});
  EXPECT_EQ(listDir(folder.result()), std::vector<std::string>{".keep"});
}

// Two runs started together in one run folder each get an identifier and reports of their own.
TEST(ProgramRun, RunsAtTheSameMomentKeepTheirOwnReports) {
  RunFolder folder;
  folder.addFixture("files_a.txt");
  folder.addFixture("files_b.txt");
  const std::string in = answers(folder, {"files_a.txt", "files_b.txt"}, "All", "Text");
  testing::TempDir cwdA, cwdB;
  auto first = std::async(std::launch::async, [&] { return testing::runProgram(in, cwdA.path()); });
  auto second = std::async(std::launch::async, [&] { return testing::runProgram(in, cwdB.path()); });
  const auto runA = first.get(), runB = second.get();
  ASSERT_EQ(runA.status, 0) << runA.output;
  ASSERT_EQ(runB.status, 0) << runB.output;
  const auto names = runOutputNames(folder.result());
  ASSERT_EQ(names.size(), 8u);  // four reports each
  EXPECT_NE(names[0].substr(0, 18), names[4].substr(0, 18));
  for (std::size_t k = 0; k < 4; ++k) {
    EXPECT_EQ(withoutJob(names[k]), withoutJob(names[k + 4]));
    EXPECT_EQ(maskRun(readFile(folder.result() + names[k]), folder.dir.path()),
              maskRun(readFile(folder.result() + names[k + 4]), folder.dir.path()))
        << names[k];
  }
}

// Links planted in a shared result folder under every name a report of today could get: the run
// ends with the output failure and the file they point at is left alone.
TEST(ProgramRun, PlantedLinksEndTheRunAndHarmNothing) {
  RunFolder folder;
  folder.addFixture("files_a.txt");
  testing::TempDir other;
  const std::string victim = other.path() + "notes.txt";
  writeFile(victim, "keep me\n");
  const std::string stamp = korvelan::getCurrDateTimeFormat();
  const std::string date = stamp.substr(0, stamp.find('_'));
  for (int n = 1000; n <= 9999; ++n)
    std::filesystem::create_symlink(
        victim, folder.result() + "J_" + date + "_" + std::to_string(n) + "_Results_Global_Matching.txt");
  const auto run = testing::runProgram(answers(folder, {"files_a.txt"}, "All", "Text"), folder.dir.path());
  EXPECT_EQ(run.status, 1);
  expectEndsWithOutputFailure(run.output, folder.result(), "_Results_Global_Matching.txt: File exists");
  EXPECT_EQ(readFile(victim), "keep me\n");
}

// A conversion script planted in a shared result folder under every name the first page of today
// could get: the run ends with the output failure before php5 is run, and the script is left alone.
TEST(ProgramRun, PlantedConversionScriptsEndTheRunAndAreNeverRun) {
  RunFolder folder;
  folder.addFixture("files_a.txt");
  folder.addFixture("files_b.txt");
  folder.addProgram("bin/php5", "#!/bin/sh\necho \"$1\" >> '" + folder.root() + "php5-ran'\n");
  const std::string stamp = korvelan::getCurrDateTimeFormat();
  const std::string date = stamp.substr(0, stamp.find('_'));
  const std::string planted = "<?php system('touch " + folder.root() + "planted-ran'); ?>\n";
  for (int n = 1000; n <= 9999; ++n)
    writeFile(folder.result() + "J_" + date + "_" + std::to_string(n) + "_HTML_Global_Matching_Results.php",
              planted);
  const auto run =
      testing::runProgram(answers(folder, {"files_a.txt", "files_b.txt"}, "Global-Only", "PDF"), folder.dir.path());
  EXPECT_EQ(run.status, 1);
  expectEndsWithOutputFailure(run.output, folder.result(), "_HTML_Global_Matching_Results.php: File exists");
  EXPECT_FALSE(fileExists(folder.root() + "php5-ran"));
  EXPECT_FALSE(fileExists(folder.root() + "planted-ran"));
  std::size_t scripts = 0;
  for (const auto& name : listDir(folder.result()))
    if (name.ends_with(".php")) {
      ++scripts;
      EXPECT_EQ(readFile(folder.result() + name), planted) << name;
    }
  EXPECT_EQ(scripts, 9000u);
}

// A full disk (here a file-size limit) names the file and the reason besides the usual line.
TEST(ProgramRun, FullDiskNamesTheFileAndTheReason) {
  RunFolder folder;
  folder.addFixture("files_a.txt");
  const auto run = testing::runProgram(answers(folder, {"files_a.txt"}, "All", "Text"), folder.dir.path(),
                                       "trap '' XFSZ; ulimit -f 4;");  // 2 KiB
  EXPECT_EQ(run.status, 1);
  expectEndsWithOutputFailure(run.output, folder.result(), "_Results.txt: File too large");
}

// A collection looked up in a working directory that is gone would be looked up at the root.
TEST(ProgramRun, UnknownWorkingDirectoryEndsTheRun) {
  RunFolder folder;
  folder.addFixture("files_a.txt");
  Answers a;
  a.files = {"files_a.txt"};
  a.collection = 1;
  const auto run = testing::runProgram(testing::dialogueInput(folder, a), folder.dir.path(),
                                       "mkdir gone && cd gone && rmdir ../gone &&");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.output.substr(run.output.size() - 33), "Invalid input path or file name.\n");
}

TEST(ProgramRun, ReportsDoNotDependOnTheThreadCount) {
  std::vector<std::string> reference;
  for (int threads : {1, 3, 8}) {
    RunFolder folder;
    for (unsigned f = 1; f <= 3; ++f) writeFile(folder.motifs() + "set" + std::to_string(f) + ".txt", generatedMotifs("MX", f, 40));
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

// A run too large for the memory it may use ends with a message and status 1, not an abort.
TEST(ProgramRun, RunOutOfMemoryEndsWithAMessage) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer needs more address space than the limit leaves";
#endif
  // The scans hold no list of every alignment; with trees the distance table of 5,000 motifs (200 MB of
  // cells) is what outgrows the limit.
  RunFolder folder;
  writeFile(folder.motifs() + "many.txt", generatedMotifs("MX", 7, 5000));
  Answers a;
  a.files = {"many.txt"};
  a.cutoff = "0.9";
  a.tree = "Y";
  testing::TempDir tmpdir;
  const auto run = testing::runProgram(testing::dialogueInput(folder, a), folder.dir.path(),
                                       "ulimit -v 250000; TMPDIR='" + tmpdir.path() + "'");
  EXPECT_EQ(run.status, 1) << run.output;
  EXPECT_NE(run.output.find("\nError: not enough memory for this run.\n"), std::string::npos) << run.output;
  EXPECT_EQ(listDir(tmpdir.path()), std::vector<std::string>{});  // the run's temporary folder went too
}

}  // namespace
}  // namespace korvelan
