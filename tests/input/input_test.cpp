#include "input/input.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <string>
#include <tuple>
#include <vector>

#include "core/consensus.h"
#include "core/globals.h"
#include "core/utilities.h"
#include "input/blocks.h"
#include "input_helpers.h"

namespace korvelan {
namespace {

using testing::CoutCapture;
using testing::InputRun;

// Reads one file holding `content` and returns the motifs it gave.
std::vector<data> readOne(const std::string& content) {
  InputRun run;
  run.add("m.txt", content);
  run.read();
  return Datasets;
}

void expectRows(const motifMatrix& actual, const motifMatrix& expected, const std::string& what) {
  ASSERT_EQ(actual.size(), expected.size()) << what;
  for (std::size_t r = 0; r < expected.size(); ++r) {
    ASSERT_EQ(actual[r].size(), 4u) << what << " row " << r;
    for (int j = 0; j < 4; ++j)
      EXPECT_DOUBLE_EQ(actual[r][j], expected[r][j]) << what << " row " << r << " col " << j;
  }
}

struct LayoutCase {
  const char* layout;
  std::string content;
  std::string name;
  motifMatrix rows;
  std::string consensus;
  std::string revCompConsensus;
};

const double kThird = 0.3333;

TEST(MotifLayouts, EachLayoutGivesItsMotif) {
  const LayoutCase cases[] = {
      {"TRANSFAC",
       "AC  M00001\n"
       "XX\n"
       "ID  V$MYOD_01\n"
       "XX\n"
       "P0      A      C      G      T\n"
       "01      1      2      3      4      N\n"
       "02      0      0     10      0\n"
       "03      5      0      5      0      R\n"
       "04      1      1      1      1      1      N\n"  // seven tokens: not a position
       "XX\n"
       "//\n",
       "M00001",
       {{0.1, 0.2, 0.3, 0.4}, {0, 0, 1, 0}, {0.5, 0, 0.5, 0}},
       "BGR",
       "KCV"},
      {"JASPAR",
       ">MA0001.1 AGL3\n"
       "A  [ 10   0  80 ]\n"
       "C  [80 0 10]\n"
       "G  [ 0 100 5 ]\n"
       "T  [ 10 0 5 ]\n",
       "MA0001.1",
       {{0.1, 0.8, 0, 0.1}, {0, 0, 1, 0}, {0.8, 0.1, 0.05, 0.05}},
       "CGA",
       "TCG"},
      {"MEME",
       "crp\n"
       "BL   MOTIF crp width=2 seqs=4\n"
       "//\n"
       "letter-probability matrix: alength= 4 w= 2 nsites= 4 E= 4.1e-009\n"
       "0.500000 0.250000 0.250000 0.000000\n"
       "0 0 0 1\n",
       "Motif 1",
       {{0.5, 0.25, 0.25, 0}, {0, 0, 0, 1}},
       "VT",
       "AB"},
      {"raw PSSM",
       ">M1\n"
       "3 0 5 2\n"
       "0 10 0 0\n",
       "M1",
       {{0.3, 0, 0.5, 0.2}, {0, 1, 0, 0}},
       "RC",
       "GM"},
      {"consensus",
       ">site1\n"
       "ACGTN-RV\n",
       "site1",
       {{1, 0, 0, 0},
        {0, 1, 0, 0},
        {0, 0, 1, 0},
        {0, 0, 0, 1},
        {0.25, 0.25, 0.25, 0.25},
        {0.25, 0.25, 0.25, 0.25},
        {0.5, 0, 0.5, 0},
        {kThird, kThird, kThird, 0}},
       "ACGTNNRV",
       "BKNNACGT"},
      {"aligned sequences",  // the last column is all gaps
       ">sites\n"
       "ACGT-\n"
       "ACGT-\n"
       "ACGA-\n"
       "AGGT-\n",
       "sites",
       {{1, 0, 0, 0}, {0, 0.75, 0.25, 0}, {0, 0, 1, 0}, {0.25, 0, 0, 0.75}, {0.25, 0.25, 0.25, 0.25}},
       "ACGTN",
       "NACGT"},
      {"matrix by row",
       "1 0 2\n"
       "0 4 0\n"
       "0 0 2\n"
       "3 0 0\n",
       "NA",
       {{0.25, 0, 0, 0.75}, {0, 1, 0, 0}, {0.5, 0, 0.5, 0}},
       "TCR",
       "KGA"},
      {"matrix by column",
       "7 1 1 1\n"
       "1 1 2 6\n"
       "2 2 3 3\n",
       "NA",
       {{0.7, 0.1, 0.1, 0.1}, {0.1, 0.1, 0.2, 0.6}, {0.2, 0.2, 0.3, 0.3}},
       "ATB",
       "BAT"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.layout);
    const auto motifs = readOne(c.content + "\n");
    ASSERT_EQ(motifs.size(), 1u);
    const data& m = motifs[0];
    EXPECT_EQ(m.motifName, c.name);
    EXPECT_EQ(m.motifID, 1);
    EXPECT_EQ(m.datasetNum, 1);
    EXPECT_EQ(m.motifNumInFile, 1);
    expectRows(m.matrix, c.rows, "matrix");
    expectRows(m.revCompMatrix, getRevCompMotif(m.matrix), "revCompMatrix");
    EXPECT_EQ(m.consensus, c.consensus);
    EXPECT_EQ(m.revCompConsensus, c.revCompConsensus);
    EXPECT_TRUE(m.taxonOrSpecies.empty());
    EXPECT_TRUE(m.databaseMotifID.empty());
    EXPECT_EQ(FileNameType[0].motifCount, 1);
  }
}

// What a file gives: each motif's name and its number of positions, in reading order.
struct Outcome {
  std::string name;
  std::size_t positions;
  bool operator==(const Outcome&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Outcome& o) {
  return out << o.name << "/" << o.positions;
}

std::vector<Outcome> outcomes(const std::string& content) {
  std::vector<Outcome> result;
  for (const auto& m : readOne(content)) result.push_back({m.motifName, m.matrix.size()});
  return result;
}

struct RecognitionCase {
  const char* what;
  std::string content;
  std::vector<Outcome> expected;
};

TEST(BlockRecognition, RulesDecideInTheirOrder) {
  const std::string meme4 = "crp\nBL MOTIF\n//\nletter-probability matrix:\n";
  const RecognitionCase cases[] = {
      {"a JASPAR block with a sixth line is read as TRANSFAC (no position lines)",
       ">MA0001.1 AGL3\nA [ 1 2 ]\nC [ 1 2 ]\nG [ 1 2 ]\nT [ 1 2 ]\nXX\n\n",
       {{"AGL3", 0}}},
      {"a JASPAR header of one token is still JASPAR", ">MA9\nA 1\nC 1\nG 1\nT 1\n\n", {{"MA9", 1}}},
      {"a MEME block with a two-token first line is read as TRANSFAC",
       "MOTIF crp\nx\n//\nletter-probability matrix:\n0.5 0.5 0 0\n0.5 0.5 0 0\n\n",
       {{"crp", 0}}},
      {"a four-by-four numeric block is read by row",
       "10 0 0 0\n10 0 0 0\n0 10 0 0\n0 0 10 0\n\n",
       {{"NA", 4}}},
      {"a lone header in a fresh file is a motif without positions", ">lonely\n\n", {{"lonely", 0}}},
      {"a lone header after a matrix by row waits and joins the next lines",
       "1 2\n3 4\n5 6\n7 8\n\n>X\n\n3 0 5 2\n0 10 0 0\n\n",
       {{"NA", 2}, {"X", 2}}},
      {"a header and one row of numbers waits and joins the next lines",
       ">M1\n1 2 3 4\n\n5 6 7 8\n\n",
       {{"M1", 2}}},
      {"a header over a word outside IUPAC waits; with a second word it fails the base test",
       ">s\nACGU\n\nACGA\n\n",
       {}},
      {"a MEME block of four lines waits for its rows",
       meme4 + "\n0.25 0.25 0.25 0.25\n\n",
       {{"Motif 1", 1}}},
      {"a MEME row of three values keeps the block waiting to the end",
       meme4 + "0.5 0.5 0\n\n>c\nACGT\n\n",
       {}},
      {"aligned sequences of unequal length wait (and set the hold flag)", ">a\nACGT\nAC\n\n", {}},
      {"a one-token third line after a row of four is neither alignment nor PSSM",
       ">a\n1 2 3 4\nACGT\n\n>b\nACGT\n\n",
       {}},
      {"a first line of three words is never numeric and absorbs the rest",
       "the quick fox\n\n>s\nACGT\n\n7 1 1 1\n1 1 2 6\n\n",
       {}},
      {"a raw PSSM keeps only its numeric lines", ">p\n1 2 3 4\na b c d\n4 3 2 1\n\n", {{"p", 2}}},
      {"a vertical block with position labels yields no positions",
       "1 7 1 1 1\n2 1 1 2 6\n3 2 2 3 3\n\n",
       {{"NA", 0}}},
      {"a block whose first token is an integer passes the numeric test whatever follows",
       "5 x y z\n1 2 3 4\n\n",
       {{"NA", 2}}},
      {"a block whose first failing token has a sign is rejected", "0.5 -1 0 0\n1 2 3 4\n\n", {}},
      {"a consensus word over 30 letters gives 30 positions",
       ">w\n" + std::string(35, 'A') + "\n\n",
       {{"w", 30}}},
      {"an alignment 35 columns wide gives 30 positions",
       ">al\n" + std::string(35, 'C') + "\n" + std::string(35, 'G') + "\n\n",
       {{"al", 30}}},
      {"several empty lines are one block end; leading empty lines yield nothing",
       "\n\n\n>a\nACGT\n\n\n\n>b\nTTTT\n\n\n",
       {{"a", 4}, {"b", 4}}},
  };
  for (const auto& c : cases) EXPECT_EQ(outcomes(c.content), c.expected) << c.what;
}

TEST(BlockRecognition, HoldFlagFollowsEachOutcome) {
  // A lone header, then a block of two rows: with the hold flag clear the header is a motif of its
  // own and the rows a matrix by column; with it set the header waits and heads the rows.
  const std::string probe = ">lone\n\n3 0 5 2\n0 10 0 0\n\n";
  const std::vector<Outcome> clear = {{"lone", 0}, {"NA", 2}};
  const std::vector<Outcome> held = {{"lone", 2}};
  const std::string byRow = "1 2\n3 4\n5 6\n7 8\n\n";  // sets the flag
  auto after = [](std::vector<Outcome> first, const std::vector<Outcome>& rest) {
    first.insert(first.end(), rest.begin(), rest.end());
    return first;
  };
  const RecognitionCase cases[] = {
      {"fresh file", probe, clear},
      {"matrix by row sets it", byRow + probe, after({{"NA", 2}}, held)},
      {"a consensus block leaves it", byRow + ">c\nACGT\n\n" + probe, after({{"NA", 2}, {"c", 4}}, held)},
      {"a matrix by column leaves it", byRow + "1 1 1 1\n\n" + probe, after({{"NA", 2}, {"NA", 1}}, held)},
      {"a TRANSFAC block leaves it",
       byRow + "ID t\nXX\n01 1 0 0 0\nXX\nXX\n//\n\n" + probe,
       after({{"NA", 2}, {"t", 1}}, held)},
      {"four lines of unequal length clear it (the block waits, then reads by column)",
       byRow + "1 2\n3 4\n5 6\n7\n\n1 2 3 4\n\n" + probe,
       after({{"NA", 2}, {"NA", 1}}, clear)},
      {"aligned sequences clear it", byRow + ">al\nAC\nAG\n\n" + probe, after({{"NA", 2}, {"al", 2}}, clear)},
      {"a raw PSSM clears it", byRow + ">p\n1 2 3 4\n1 1 1 1\n\n" + probe, after({{"NA", 2}, {"p", 2}}, clear)},
  };
  for (const auto& c : cases) EXPECT_EQ(outcomes(c.content), c.expected) << c.what;
}

TEST(BlockRecognition, HoldFlagIsFreshForEachFile) {
  InputRun run;
  run.add("first.txt", "1 2\n3 4\n5 6\n7 8\n\n");  // a matrix by row sets the flag
  run.add("second.txt", ">alone\n\n");
  run.read();
  ASSERT_EQ(Datasets.size(), 2u);
  EXPECT_EQ(Datasets[1].motifName, "alone");
  EXPECT_TRUE(Datasets[1].matrix.empty());
  EXPECT_TRUE(Datasets[1].consensus.empty());
}

TEST(BlockRecognition, NumbersRunOverFilesAndRestartWithin) {
  InputRun run;
  run.add("a.txt", ">one\nACGT\n\n>two\nCCGG\n\n");
  run.add("b.txt",
          "crp\nx\n//\nletter-probability matrix:\n0.25 0.25 0.25 0.25\n\n>a_much_longer_name\nTT\n\n");
  run.read();
  ASSERT_EQ(Datasets.size(), 4u);
  const std::vector<std::tuple<std::string, int, int, int>> expected = {
      {"one", 1, 1, 1}, {"two", 2, 1, 2}, {"Motif 3", 3, 2, 1}, {"a_much_longer_name", 4, 2, 2}};
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const auto& [name, id, dataset, number] = expected[i];
    EXPECT_EQ(Datasets[i].motifName, name);
    EXPECT_EQ(Datasets[i].motifID, id);
    EXPECT_EQ(Datasets[i].datasetNum, dataset);
    EXPECT_EQ(Datasets[i].motifNumInFile, number);
  }
  EXPECT_EQ(FileNameType[0].motifCount, 2);
  EXPECT_EQ(FileNameType[1].motifCount, 2);
  EXPECT_EQ(matrixIDNum, 5);
  EXPECT_EQ(mNum, 1);
  EXPECT_EQ(dNum, 3);
  EXPECT_EQ(motifNameLength, 18);
}

TEST(LineEnds, WindowsEndsAndBlankOnlyLinesReadLikePlainFiles) {
  const std::string plain = ">M1\n3 0 5 2\n0 10 0 0\n\n>s\nACGT\n\n7 1 1 1\n1 1 2 6\n";
  std::string crlf;
  for (char ch : plain) crlf += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
  std::string blanks = plain;
  blanks.replace(blanks.find("\n\n"), 2, "\n \t \r\n\t\n");
  const std::string noFinalEnd = plain.substr(0, plain.size() - 1);
  const auto expected = readOne(plain);
  ASSERT_EQ(expected.size(), 3u);
  for (const std::string& variant : {crlf, blanks, noFinalEnd}) {
    const auto got = readOne(variant);
    ASSERT_EQ(got.size(), expected.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(got[i].motifName, expected[i].motifName);
      expectRows(got[i].matrix, expected[i].matrix, got[i].motifName);
    }
  }
}

TEST(LineEnds, InnerBlanksAndTabsSeparateTokens) {
  const auto motifs = readOne("\t>M1\n   3 \t 0    5\t\t2   \n0 10 0 0 \t\n\n");
  ASSERT_EQ(motifs.size(), 1u);
  EXPECT_EQ(motifs[0].motifName, "M1");
  expectRows(motifs[0].matrix, {{0.3, 0, 0.5, 0.2}, {0, 1, 0, 0}}, "matrix");
}

TEST(BlockSize, LongBlocksAreNotCut) {
  std::string column;
  for (int i = 0; i < 40; ++i) column += "1 2 3 4\n";
  const auto motifs = readOne(column + "\n");
  ASSERT_EQ(motifs.size(), 1u);
  EXPECT_EQ(motifs[0].matrix.size(), 40u);

  std::string thirtyOne;
  for (int i = 0; i < 30; ++i) thirtyOne += "1 2 3 4\n";
  EXPECT_EQ(outcomes(">p\n" + thirtyOne + "\n"), (std::vector<Outcome>{{"p", 30}}));
}

TEST(OddValues, ZeroSumPositionsAreEvenAndShortLinesReadAsZero) {
  // The C and G lines lack values the A line has; the last column sums to zero.
  const auto jaspar = readOne(">MA1 X\nA [ 1 2 3 0 ]\nC [ 1 2 ]\nG [ 1 ]\nT [ 1 2 3 0 ]\n\n");
  ASSERT_EQ(jaspar.size(), 1u);
  expectRows(
      jaspar[0].matrix,
      {{0.25, 0.25, 0.25, 0.25}, {2.0 / 6, 2.0 / 6, 0, 2.0 / 6}, {0.5, 0, 0, 0.5}, {0.25, 0.25, 0.25, 0.25}},
      "jaspar");
  const auto zeros = readOne("0 0 0 0\n0 0 0 0\n1 1 2 0\n\n");
  ASSERT_EQ(zeros.size(), 1u);
  expectRows(zeros[0].matrix, {{0.25, 0.25, 0.25, 0.25}, {0.25, 0.25, 0.25, 0.25}, {0.25, 0.25, 0.5, 0}},
             "zeros");
  EXPECT_EQ(zeros[0].consensus, "NNV");
  // Four lines of four: read by row, so the last column is the zero one (by column it would read AACG).
  const auto byRow = readOne("10 0 0 0\n10 0 0 0\n0 10 0 0\n0 0 10 0\n");
  ASSERT_EQ(byRow.size(), 1u);
  EXPECT_EQ(byRow[0].consensus, "MGTN");
}

TEST(OddValues, PositionsWithoutFiniteFrequenciesAreEven) {
  // Tokens after the first integer are not tested, so "inf", "nan" and overflowing values get in.
  const auto motifs = readOne("1 2 3 4\n0.5 inf 0 0\nnan 1 1 1\n1e999 1 0 0\n4 3 2 1\n\n");
  ASSERT_EQ(motifs.size(), 1u);
  const std::vector<double> even = {0.25, 0.25, 0.25, 0.25};
  expectRows(motifs[0].matrix, {{0.1, 0.2, 0.3, 0.4}, even, even, even, {0.4, 0.3, 0.2, 0.1}}, "matrix");
  EXPECT_EQ(motifs[0].consensus, "BNNNV");
}

TEST(OddValues, ValuesReadTheirLeadingNumber) {
  // Two points or a trailing letter: the leading numeric part counts.
  const auto motifs = readOne("1.5.5 0.5 0 0\n2x 2 0 0\n\n");
  ASSERT_EQ(motifs.size(), 1u);
  expectRows(motifs[0].matrix, {{0.75, 0.25, 0, 0}, {0.5, 0.5, 0, 0}}, "matrix");
}

// The layouts of plain numbers let a sign through; a position holding a negative value has no
// frequencies and reads as even, like one without finite values. "-0" is a plain zero.
TEST(OddValues, NegativeValuesReadAsEven) {
  const std::vector<double> even = {0.25, 0.25, 0.25, 0.25};
  const auto byColumn = readOne("1 2 3 -1\n2 0 0 2\n1 -0 1 0\n\n");
  ASSERT_EQ(byColumn.size(), 1u);
  expectRows(byColumn[0].matrix, {even, {0.5, 0, 0, 0.5}, {0.5, 0, 0.5, 0}}, "by column");
  EXPECT_FALSE(std::signbit(byColumn[0].matrix[2][1]));
  const auto byRow = readOne("5 0\n0 1\n0 1\n-2 2\n\n");
  ASSERT_EQ(byRow.size(), 1u);
  expectRows(byRow[0].matrix, {even, {0, 0.25, 0.25, 0.5}}, "by row");
}

// One line may cost at most 1 MiB: a longer one ends the run with the file and line named, before
// anything is written. A name is kept to its first 255 characters (never splitting a character).
TEST(InputLimits, LongLinesEndTheRunAndLongNamesAreCut) {
  const std::string limitLine(kMaxLineLength, '7');  // one long number: a matrix by column
  EXPECT_EQ(readOne(limitLine + "\n\n").size(), 1u);

  InputRun run;
  run.add("big.txt", ">ok\nACGT\n\n" + limitLine + "7\n\n");
  CoutCapture out;
  try {
    run.read();
    ADD_FAILURE() << "the run went on";
  } catch (const RunEnded& ended) {
    EXPECT_EQ(ended.status, 1);
  }
  EXPECT_EQ(out.text(), "Error: line 4 of " + run.path() + "big.txt is longer than 1048576 characters.\n");

  const std::string accented = std::string(254, 'a') + "\xC3\xA9" + "z";
  const auto named = readOne(">" + std::string(300, 'n') + "\nACGT\n\n>" + accented + "\nACGT\n\n");
  ASSERT_EQ(named.size(), 2u);
  EXPECT_EQ(named[0].motifName, std::string(255, 'n'));
  EXPECT_EQ(named[1].motifName, std::string(254, 'a'));
  EXPECT_EQ(motifNameLength, 255);

  // A byte that is not part of well-formed UTF-8 counts as a character of its own: Latin-1 micro
  // signs at the cut are cut between, and nothing before them goes.
  const std::string latin1 = std::string(254, 'a') + "\xB5\xB5" + "z";
  const std::string stray(300, '\xB5');
  const auto cut = readOne(">" + latin1 + "\nACGT\n\n>" + stray + "\nACGT\n\n");
  ASSERT_EQ(cut.size(), 2u);
  EXPECT_EQ(cut[0].motifName, latin1.substr(0, 255));
  EXPECT_EQ(cut[1].motifName, stray.substr(0, 255));
}

// A block no rule reads grows by every later block and is looked at again at each block end; what
// earlier lines showed is remembered, so a file of many such blocks reads in time linear in its size
// (see korvelan-bench --read): nothing comes from the retained block, and the motifs before it and
// in the file after it are read.
TEST(BlockSize, LargeUnreadBlockYieldsNothingAndLeavesTheMotifsAroundIt) {
  std::string retained = ">a\nACGT\n\n>h\nX\nA\n";
  while (retained.size() < 1'200'000) retained += "\nA\n";
  InputRun run;
  run.add("retained.txt", retained);
  run.add("after.txt", ">b\nTTTT\n\n>p\n1 2 3 4\n\n5 6 7 8\n\n");
  run.read();
  EXPECT_EQ(FileNameType[0].motifCount, 1);
  EXPECT_EQ(FileNameType[1].motifCount, 2);
  ASSERT_EQ(Datasets.size(), 3u);
  EXPECT_EQ(Datasets[0].motifName, "a");
  EXPECT_EQ(Datasets[1].motifName, "b");
  EXPECT_EQ(Datasets[2].matrix.size(), 2u);
}

TEST(InputErrors, UnreadablePathsEndTheRun) {
  InputRun run;
  mkdir((run.path() + "folder").c_str(), 0755);
  mkfifo((run.path() + "pipe").c_str(), 0644);  // opening it would wait for a writer forever
  symlink("pipe", (run.path() + "to-pipe").c_str());
  // A fifo with a writer that has sent a motif: it opens and could be read, but is no file either.
  mkfifo((run.path() + "fed").c_str(), 0644);
  const int feeder = open((run.path() + "fed").c_str(), O_RDWR | O_CLOEXEC);
  ASSERT_GE(feeder, 0);
  ASSERT_EQ(write(feeder, ">a\nACGT\n\n", 10), 10);
  for (const std::string name : {"", "missing.txt", "folder", "pipe", "to-pipe", "fed"}) {
    SCOPED_TRACE("file name '" + name + "'");
    FileNameType.clear();
    run.addName(name);
    CoutCapture out;
    try {
      readInput(FileNameType);
      ADD_FAILURE() << "the run went on";
    } catch (const RunEnded& ended) {
      EXPECT_EQ(ended.status, 1);
    }
    EXPECT_EQ(out.text(), "Invalid input path or file name.\n");
  }
  close(feeder);
}

}  // namespace
}  // namespace korvelan
