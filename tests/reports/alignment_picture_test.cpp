#include "reports/alignment_picture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "support/test_support.h"

namespace korvelan {
namespace {

data motif(const std::string& consensus, const std::string& revComp = "") {
  data m;
  m.consensus = consensus;
  m.revCompConsensus = revComp.empty() ? std::string(consensus.rbegin(), consensus.rend()) : revComp;
  return m;
}

dataCombinedScore record(const char* direction, const char* flag, int position, int overlap,
                         const char* firstFormat = "Original Motif", const char* secondFormat = "Original Motif") {
  return testing::alignment({.direction = direction,
                             .flag = flag,
                             .position = position,
                             .overlap = overlap,
                             .firstFormat = firstFormat,
                             .secondFormat = secondFormat});
}

struct PictureCase {
  const char* name;
  RecordSource source;
  const char* matched;
  const char* query;
  const char* direction;
  const char* flag;
  int position, overlap;
  const char* line1;
  const char* line2;
};

// Records drawn by their placement: the listed-first motif (the query in dataset lists; in database
// lists the query only with flag "Y") carries the shift.
TEST(AlignmentPicture, DrawsEachPlacement) {
  const PictureCase cases[] = {
      {"forward example", RecordSource::Dataset, "TGACGT", "ACGTN", "Forward", "Y", 3, 4, "TGACGT-", "--ACGTN"},
      {"backward example", RecordSource::Dataset, "TGACGT", "ACGTN", "Backward", "Y", 3, 4, "-TGACGT", "ACGTN--"},
      {"starts together", RecordSource::Dataset, "TGACGT", "ACGT", "Forward", "Y", 1, 4, "TGACGT", "ACGT--"},
      {"ends together", RecordSource::Dataset, "TGACGT", "ACGT", "Backward", "Y", 1, 4, "TGACGT", "--ACGT"},
      {"query inside", RecordSource::Dataset, "TTGACGTA", "GACGT", "Forward", "Y", 2, 5, "TTGACGTA", "-GACGT--"},
      {"query reaches before", RecordSource::Dataset, "GACGT", "TTGACG", "Backward", "Y", 2, 4, "--GACGT",
       "TTGACG-"},
      // Position and overlap are drawn as held, never repaired: a negative fill writes no dash.
      {"negative fill", RecordSource::Dataset, "GACGT", "TTGACGTA", "Forward", "Y", 3, 5, "GACGT---", "--TTGACGTA"},
      {"negative fill backward", RecordSource::Dataset, "GACGT", "TTGACGTA", "Backward", "Y", 3, 5, "---GACGT",
       "TTGACGTA--"},
      // Collection motif listed first (flag empty): it is the placed one and carries the shift.
      {"database swapped forward", RecordSource::Database, "GACGT", "TTGACGTA", "Forward", "", 3, 5, "--GACGT-",
       "TTGACGTA"},
      {"database swapped backward", RecordSource::Database, "GACGT", "TTGACGTA", "Backward", "", 3, 5, "-GACGT--",
       "TTGACGTA"},
      {"database swapped reaches past", RecordSource::Database, "ACGTAC", "TTGAC", "Forward", "", 2, 4,
       "-ACGTAC", "TTGAC--"},
      {"database in scan order", RecordSource::Database, "TGACGT", "ACGTN", "Forward", "Y", 3, 4, "TGACGT-",
       "--ACGTN"},
      {"unknown direction", RecordSource::Dataset, "TGACGT", "ACGTN", "", "Y", 3, 4, "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const AlignmentPicture p =
        alignmentPicture(record(c.direction, c.flag, c.position, c.overlap), motif(c.query), motif(c.matched), c.source);
    EXPECT_EQ(p.matchedLine, c.line1);
    EXPECT_EQ(p.queryLine, c.line2);
  }
}

// Each motif is drawn in the orientation its own format names. The formats follow scan order: in a
// dataset record listed swapped (flag empty) the query is the scan's second motif; in database records
// the query is always the scan's first motif.
TEST(AlignmentPicture, TakesEachMotifsOwnOrientation) {
  const data query = motif("CCGTA", "TACGG");
  const data matched = motif("AAGT", "ACTT");
  struct Case {
    RecordSource source;
    const char* direction;
    const char* flag;
    int position;
    const char* line1;
    const char* line2;
  } cases[] = {
      // First format "Original Motif", second "Reverse Complement".
      {RecordSource::Dataset, "Forward", "Y", 1, "ACTT-", "CCGTA"},   // query original, matched rev comp
      {RecordSource::Dataset, "Forward", "", 1, "AAGT-", "TACGG"},    // query rev comp, matched original
      {RecordSource::Dataset, "Backward", "Y", 1, "-ACTT", "CCGTA"},
      {RecordSource::Dataset, "Backward", "", 1, "-AAGT", "TACGG"},
      {RecordSource::Database, "Forward", "Y", 1, "ACTT-", "CCGTA"},
      {RecordSource::Database, "Forward", "", 1, "ACTT-", "CCGTA"},
      {RecordSource::Database, "Backward", "", 1, "-ACTT", "CCGTA"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.direction) + " flag '" + c.flag + "' " +
                 (c.source == RecordSource::Dataset ? "dataset" : "database"));
    const AlignmentPicture p = alignmentPicture(
        record(c.direction, c.flag, c.position, 4, "Original Motif", "Reverse Complement"), query, matched, c.source);
    EXPECT_EQ(p.matchedLine, c.line1);
    EXPECT_EQ(p.queryLine, c.line2);
  }
}

// A record whose formats name neither orientation (the scans write none) draws both motifs as their
// reverse complements, as the merge takes them.
TEST(AlignmentPicture, AFormatThatIsNeitherWordDrawsTheReverseComplement) {
  const AlignmentPicture p = alignmentPicture(record("Forward", "Y", 1, 4, "", ""), motif("CCGTA", "TACGG"),
                                              motif("AAGT", "ACTT"), RecordSource::Dataset);
  EXPECT_EQ(p.matchedLine, "ACTT-");
  EXPECT_EQ(p.queryLine, "TACGG");
}

TEST(AlignmentPicture, DashCountsUseThePlainConsensusLengths) {
  data matched = motif("TGACGT", "ACG");  // a shorter reverse-complement text does not change the counts
  const AlignmentPicture p = alignmentPicture(record("Forward", "Y", 3, 4, "Original Motif", "Reverse Complement"),
                                              motif("ACGTN"), matched, RecordSource::Dataset);
  EXPECT_EQ(p.matchedLine, "ACG-");
  EXPECT_EQ(p.queryLine, "--ACGTN");
}

// Every placement the scans produce, drawn by its definition: forward puts the listed-first motif's
// first letter in column P, backward its last letter P - 1 columns before the end; the other motif
// spans from the first column (forward) or to the last (backward); both lines are T wide.
TEST(AlignmentPicture, EveryScannedPlacementLinesUp) {
  const std::string letters = "ACGTACGTAC";
  for (RecordSource source : {RecordSource::Dataset, RecordSource::Database}) {
    for (const char* flag : {"Y", ""}) {
      const bool queryPlaced = source == RecordSource::Dataset || std::string(flag) == "Y";
      for (int lf = 4; lf <= 8; ++lf) {
        for (int ls = 4; ls <= 8; ++ls) {
          const data placed = motif(letters.substr(0, lf));
          const data other = motif(std::string(ls, 'N'));
          for (const char* direction : {"Forward", "Backward"}) {
            for (int p = 1; p <= ls - 3; ++p) {
              const int n = std::min(lf, ls - p + 1);
              const int width = lf + ls - n;
              const data& query = queryPlaced ? placed : other;
              const data& matched = queryPlaced ? other : placed;
              const AlignmentPicture pic = alignmentPicture(record(direction, flag, p, n), query, matched, source);
              const std::string& placedLine = queryPlaced ? pic.queryLine : pic.matchedLine;
              const std::string& otherLine = queryPlaced ? pic.matchedLine : pic.queryLine;
              SCOPED_TRACE(std::string(direction) + " flag '" + flag + "' lf " + std::to_string(lf) + " ls " +
                           std::to_string(ls) + " p " + std::to_string(p));
              ASSERT_EQ(static_cast<int>(placedLine.size()), width);
              ASSERT_EQ(static_cast<int>(otherLine.size()), width);
              const bool forward = std::string(direction) == "Forward";
              const int placedStart = forward ? p - 1 : width - (p - 1) - lf;
              const int otherStart = forward ? 0 : width - ls;
              EXPECT_EQ(placedLine, std::string(placedStart, '-') + placed.consensus +
                                        std::string(width - placedStart - lf, '-'));
              EXPECT_EQ(otherLine, std::string(otherStart, '-') + other.consensus +
                                       std::string(width - otherStart - ls, '-'));
            }
          }
        }
      }
    }
  }
}

// A placement that lies within the other motif's span is found by a forward and a backward region with
// Pf + Pb = Ls - Lf + 2; both records are one alignment and draw one picture.
TEST(AlignmentPicture, ForwardAndBackwardTwinsDrawTheSamePicture) {
  const data shortMotif = motif("ACGT", "TGCA");
  const data longMotif = motif("GGACGTTC", "GAACGTCC");
  const int lf = 4, ls = 8;
  struct Listing {
    RecordSource source;
    const char* flag;
    const data& query;
    const data& matched;
  } listings[] = {
      {RecordSource::Dataset, "Y", shortMotif, longMotif},
      {RecordSource::Dataset, "", shortMotif, longMotif},
      {RecordSource::Database, "Y", shortMotif, longMotif},
      {RecordSource::Database, "", longMotif, shortMotif},  // the collection motif listed first
  };
  for (const auto& l : listings) {
    for (int pf = 1; pf <= ls - lf + 1; ++pf) {
      const int pb = ls - lf + 2 - pf;
      SCOPED_TRACE("flag '" + std::string(l.flag) + "' pf " + std::to_string(pf));
      const auto forward = alignmentPicture(record("Forward", l.flag, pf, lf, "Original Motif", "Reverse Complement"),
                                            l.query, l.matched, l.source);
      const auto backward = alignmentPicture(
          record("Backward", l.flag, pb, lf, "Original Motif", "Reverse Complement"), l.query, l.matched, l.source);
      EXPECT_EQ(forward.matchedLine, backward.matchedLine);
      EXPECT_EQ(forward.queryLine, backward.queryLine);
    }
  }
}

}  // namespace
}  // namespace korvelan
