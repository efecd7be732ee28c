#include "core/records.h"

#include <gtest/gtest.h>

#include <sstream>

namespace korvelan {
namespace {

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

}  // namespace
}  // namespace korvelan
