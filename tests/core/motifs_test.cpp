// Which orientation of a motif a record's matching format names.
#include "core/motifs.h"

#include <gtest/gtest.h>

#include <string>

namespace korvelan {
namespace {

TEST(MotifInFormat, OriginalMotifNamesTheMotifAsReadAndEveryOtherWordItsReverseComplement) {
  data motif;
  motif.matrix = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 0, 1}, {0, 0, 0, 1}};
  motif.revCompMatrix = {{1, 0, 0, 0}, {1, 0, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
  motif.consensus = "ACTT";
  motif.revCompConsensus = "AAGT";
  // The scans write only the first two words; a record holds no word but the fixed ones.
  const struct {
    const char* format;
    bool original;
  } cases[] = {{"Original Motif", true}, {"Reverse Complement", false}, {"", false}, {"Forward", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.format);
    const FixedText format(c.format);
    const OrientedMotif oriented = motifInFormat(motif, format);
    EXPECT_EQ(&oriented.matrix, c.original ? &motif.matrix : &motif.revCompMatrix);
    EXPECT_EQ(&oriented.consensus, c.original ? &motif.consensus : &motif.revCompConsensus);
    const std::string merged = "merged", reversed = "reversed";
    EXPECT_EQ(&inFormat(format, merged, reversed), c.original ? &merged : &reversed);
  }
}

}  // namespace
}  // namespace korvelan
