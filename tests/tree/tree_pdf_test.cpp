// The tree pages' converters, and a tree page through the real converter: with format "PDF" the page
// becomes a PDF showing the tree, and the HTML page goes only once that PDF is there.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/globals.h"
#include "support/test_support.h"
#include "tree/tree.h"

namespace korvelan {
namespace {

namespace fs = std::filesystem;

// With no page there, a converter writes nothing and names the page it looked for.
TEST(TreePdf, EachConverterLooksForItsOwnPage) {
  const std::pair<void (*)(), const char*> converters[] = {
      {convertHTMLToPDFMotifTree, "Motif_Tree.html"},
      {convertHTMLToPDFMotifTreeGlobal, "Global_Matching_Motif_Tree.html"},
  };
  resetGlobals();
  testing::TempDir dir;
  outputPath = dir.path();
  jobID = "J_x_";
  for (const auto& [convert, page] : converters) {
    SCOPED_TRACE(page);
    ::testing::internal::CaptureStderr();
    convert();
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(said, "No PDF was made from " + dir.path() + "J_x_" + page + " (the page does not open).\n");
    EXPECT_TRUE(testing::listDir(dir.path()).empty());
  }
  resetGlobals();
}

TEST(TreePdf, RealConverterTurnsTheTreePageIntoAPdf) {
  for (const char* program : {"php5", "chromium-headless-shell", "pdftotext", "pdfimages", "Rscript"})
    if (!testing::installed(program)) GTEST_SKIP() << program << " is not installed";
  testing::RunFolder folder;
  folder.addFixture("files_a.txt");
  folder.addFixture("files_b.txt");
  fs::remove(folder.root() + "bin/php5");  // the real interpreter, converter and R
  fs::copy_file(testing::sourceDir() + "/run/prince.php", folder.root() + "prince.php");
  testing::Answers answers;
  answers.files = {"files_a.txt", "files_b.txt"};
  answers.type = "Global-Only";
  answers.format = "PDF";
  answers.tree = "Y";
  const auto run = testing::runProgram(testing::dialogueInput(folder, answers), folder.root());
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(run.output.find("No PDF"), std::string::npos) << run.output;

  std::vector<std::string> names;
  std::string treePdf;
  for (const auto& name : testing::runOutputNames(folder.result())) {
    names.push_back(testing::withoutJob(name));
    if (name.ends_with("Global_Matching_Motif_Tree.pdf")) treePdf = folder.result() + name;
  }
  EXPECT_EQ(names, (std::vector<std::string>{"Global_Matching_Distance_Matrix.csv", "Global_Matching_Motif_Tree.pdf",
                                             "Global_Matching_Motif_Tree.png", "Global_Matching_Plot_File.R",
                                             "HTML_Global_Matching_Results.pdf", "input_motifs.txt"}));
  ASSERT_FALSE(treePdf.empty());
  const std::string text = testing::commandOutput("pdftotext '" + treePdf + "' -");
  EXPECT_NE(text.find("Motif Tree for Global Significant Motifs and Their Best Matches"), std::string::npos)
      << text;
  // The tree image reaches the PDF through its path relative to the page.
  const std::string images = testing::commandOutput("pdfimages -list '" + treePdf + "'");
  EXPECT_GE(testing::splitLines(images).size(), 3u) << images;
}

}  // namespace
}  // namespace korvelan
