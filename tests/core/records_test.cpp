#include "core/records.h"

#include <gtest/gtest.h>

#include <sstream>

namespace korvelan {
namespace {

TEST(Records, ComparisonIsStrictAscending) {
  dataCombinedScore a, b;
  a.similarityScore = b.similarityScore = 0.25;
  EXPECT_FALSE(comparison(a, b));
  EXPECT_FALSE(comparison(b, a));
  b.similarityScore = 0.5;
  EXPECT_TRUE(comparison(a, b));
  EXPECT_TRUE(comparisonHighToLow(b, a));
}

TEST(Records, FixedTextHoldsTheRecordWords) {
  dataCombinedScore r;
  EXPECT_TRUE(r.scanOrderFlag.empty());
  EXPECT_EQ(r.direction, "");
  r.direction = "Backward";
  r.scanOrderFlag = "Y";
  r.firstMatchingFormat = "Reverse Complement";
  EXPECT_EQ(r.direction, "Backward");
  EXPECT_FALSE(r.direction == "Forward");
  std::ostringstream out;
  out << r.firstMatchingFormat << "|" << r.scanOrderFlag;
  EXPECT_EQ(out.str(), "Reverse Complement|Y");
  EXPECT_EQ(std::string(r.direction), "Backward");
  EXPECT_THROW(r.direction = "Sideways", std::invalid_argument);
  EXPECT_LE(sizeof(dataCombinedScore), 128u);  // tens of millions are kept at the lowest cutoff
}

TEST(Records, NameRefersToItsMotif) {
  data motif;
  motif.motifName = "a fairly long motif name beyond small-string size";
  dataCombinedScore r;
  r.firstMotifName = motif.motifName;
  r.secondMotifName = "Combined Motif";
  EXPECT_EQ(r.firstMotifName, motif.motifName);
  EXPECT_EQ(r.firstMotifName.size(), motif.motifName.size());
  EXPECT_EQ(std::string(r.secondMotifName), "Combined Motif");
  EXPECT_TRUE(dataCombinedScore{}.firstMotifName.empty());
}

TEST(Records, OwnOrderings) {
  EXPECT_TRUE((tempArray{0.1, 3} < tempArray{0.2, 0}));
  EXPECT_FALSE((tempArray{0.2, 0} < tempArray{0.2, 1}));
  EXPECT_TRUE((commonBestMatches{5, 0.0} < commonBestMatches{1, 0.5}));
}

}  // namespace
}  // namespace korvelan
