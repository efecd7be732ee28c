// The tree sections of the two tree pages (the frame around them is the HTML page frame, tested with
// the other frames): the image of each tree, the global page's one-file note, escaping, and a page
// that cannot be opened.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/globals.h"
#include "core/report_files.h"
#include "core/utilities.h"
#include "reports/framing.h"
#include "support/test_support.h"
#include "tree/tree.h"

namespace korvelan {
namespace {

using testing::readFile;
using testing::TempDir;

struct PageCase {
  const char* name;
  void (*section)();
  ReportId page;
};

std::vector<PageCase> pageCases() {
  return {
      {"global", writeMotifTreeGlobalHTMLOrPDF, ReportId::MotifTreeGlobalHTML},
      {"all", writeMotifTreeHTMLOrPDF, ReportId::MotifTreeHTML},
  };
}

// Two files, trees, type "All", format "PDF", the job identifier J_TEST_.
class TreeSectionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    resetGlobals();
    testing::Answers answers;
    answers.files = {"set1.txt", "empty.txt"};
    answers.tree = "Y";
    answers.format = "PDF";
    testing::applyAnswers(answers);
    jobID = "J_TEST_";
    for (const PageCase& page : pageCases()) reportPath(page.page) = dir.path() + page.name + ".html";
  }
  void TearDown() override { resetGlobals(); }

  TempDir dir;
};

std::string section(const std::string& title, const std::string& image) {
  return "<div class = 'boxed'>\n"
         "<b class='sansserif'><font size='2'> " +
         title +
         " </font></b>\n"
         "<br>\n"
         "<img src = '" +
         image +
         "' style='width:660px;height:660px' >\n"
         "</div>\n";
}

const char* kOneFileNote =
    "<div class = 'boxed'>\n"
    "<font size='2' class='sansserif'> There is no phylogenetic tree for global significant motifs and their "
    "best "
    "matches for 1 motif file. </font>\n"
    "<br><br>\n"
    "</div>\n";

TEST_F(TreeSectionsTest, EachPageShowsItsOwnTreeAfterTheHeader) {
  const std::string sections[] = {
      section("Motif Tree for Global Significant Motifs and Their Best Matches",
              "J_TEST_Global_Matching_Motif_Tree.png"),
      section("Motif Tree for Motifs in the Combined List", "J_TEST_Motif_Tree.png")};
  for (std::size_t i = 0; i < pageCases().size(); ++i) {
    const PageCase page = pageCases()[i];
    SCOPED_TRACE(page.name);
    writeReportHeader(page.page);
    const std::string header = readFile(reportPath(page.page));
    page.section();
    EXPECT_EQ(readFile(reportPath(page.page)), header + sections[i]);
  }
}

TEST_F(TreeSectionsTest, OneInputFileGivesTheGlobalPageItsNote) {
  numFile = 1;
  FileNameType.resize(1);
  writeReportHeader(ReportId::MotifTreeGlobalHTML);
  const std::string header = readFile(reportPath(ReportId::MotifTreeGlobalHTML));
  writeMotifTreeGlobalHTMLOrPDF();
  EXPECT_EQ(readFile(reportPath(ReportId::MotifTreeGlobalHTML)), header + kOneFileNote);
}

TEST_F(TreeSectionsTest, ImageNameIsEscaped) {
  jobID = "J_<'&>_";
  writeReportHeader(ReportId::MotifTreeHTML);
  writeMotifTreeHTMLOrPDF();
  const std::string page = readFile(reportPath(ReportId::MotifTreeHTML));
  EXPECT_NE(page.find("<img src = 'J_&lt;&#39;&amp;&gt;_Motif_Tree.png' "), std::string::npos);
  EXPECT_EQ(page.find("J_<"), std::string::npos);
}

TEST_F(TreeSectionsTest, MissingOutputFolderEndsTheRun) {
  for (const PageCase& page : pageCases()) {
    SCOPED_TRACE(page.name);
    reportPath(page.page) = dir.path() + "no-such-folder/page.html";
    ::testing::internal::CaptureStdout();
    int status = -1;
    try {
      page.section();
    } catch (const RunEnded& ended) {
      status = ended.status;
    }
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Invalid output path or output filename.");
    EXPECT_EQ(status, 1);
  }
}

}  // namespace
}  // namespace korvelan
