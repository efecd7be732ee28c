// The fixed tables of the run: collections, reports, and the start values every run begins from.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "core/collections.h"
#include "core/globals.h"
#include "core/report_files.h"

namespace korvelan {
namespace {

TEST(CollectionTable, MenuNumbersKeysAndFamilies) {
  const auto& table = collections();
  ASSERT_EQ(table.size(), 13u);
  std::set<std::string> keys;
  for (std::size_t i = 0; i < table.size(); ++i) {
    EXPECT_EQ(table[i].menuNumber, static_cast<int>(i) + 1);
    keys.insert(table[i].key);
    EXPECT_EQ(collectionOf(table[i].key), &table[i]);
    const std::string path = table[i].path;
    const char* folder = table[i].family == CollectionFamily::Jaspar     ? "/databases/jaspar/"
                         : table[i].family == CollectionFamily::Transfac ? "/databases/transfac/"
                                                                         : "/databases/uniprobe/";
    EXPECT_EQ(path.rfind(folder, 0), 0u) << path;
  }
  EXPECT_EQ(keys.size(), 13u);
  EXPECT_EQ(collectionOf("N"), nullptr);
  EXPECT_EQ(collectionOf(""), nullptr);
  EXPECT_STREQ(collectionOf("jasparAll")->displayName, "Jaspar Core");
  EXPECT_EQ(collectionOf("jasparAll")->taxon, nullptr);  // each motif's own taxon
  EXPECT_STREQ(collectionOf("uniprobeWorm")->taxon, "Worm (Caenorhabditis Elegans)");
}

// reportFile(id) takes row id; the PDF step makes a page's PDF name from its name less ".html".
TEST(ReportTable, RowsFollowTheIdsNamesAreDistinctAndPagesEndInHtml) {
  std::set<std::string> names;
  for (std::size_t i = 0; i < reportFiles().size(); ++i) {
    const ReportFile& row = reportFiles()[i];
    ASSERT_NE(row.defaultName, nullptr) << "row " << i << " is missing";
    EXPECT_EQ(static_cast<std::size_t>(row.id), i);
    names.insert(row.defaultName);
    const std::string name = row.defaultName;
    EXPECT_TRUE(name.ends_with(row.form == ReportForm::Page ? ".html" : ".txt")) << name;
  }
  EXPECT_EQ(names.size(), kReportCount);
}

TEST(StartValues, ResetRestoresEveryGlobal) {
  resetGlobals();
  EXPECT_EQ(reportName(ReportId::Results), "Results.txt");
  EXPECT_EQ(reportName(ReportId::MotifTreeGlobalHTML), "Global_Matching_Motif_Tree.html");
  mNum = 7;
  outputPath = "/x/";
  logoTimeLimit = 1;  // as the tests shorten it
  reportName(ReportId::Results) = "J_x_Results.txt";
  Datasets.resize(3);
  reportStream(ReportId::Results).open("/dev/null");
  resetGlobals();
  EXPECT_EQ(mNum, 1);
  EXPECT_TRUE(outputPath.empty());
  EXPECT_EQ(logoTimeLimit, 60);
  EXPECT_EQ(reportName(ReportId::Results), "Results.txt");
  EXPECT_TRUE(Datasets.empty());
  EXPECT_FALSE(reportStream(ReportId::Results).is_open());
}

}  // namespace
}  // namespace korvelan
