// The group drivers and chain steps: the entries they file, the parents they merge, how a chain goes
// on and ends, and the rejection path, which valid matrices never take, through the step functions.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "core/consensus.h"
#include "core/globals.h"
#include "merge/merge.h"
#include "merge/team_fixture.h"
#include "support/test_support.h"

namespace korvelan {
namespace {

const CombinedList& kGlobal = combinedList(CombinedListId::Global);
const CombinedList& kGlobalAndLocal = combinedList(CombinedListId::GlobalAndLocal);
const CombinedList& kBestMatches = combinedList(CombinedListId::BestMatches);

using testing::makeMotif;
using testing::rowsOf;

// Input motifs from consensus words, numbered 1, 2, ... in one file.
void useMotifs(const std::vector<std::string>& words, double cutoff = 0.75) {
  resetGlobals();
  simCutoff = cutoff;
  numThread = 2;
  for (std::size_t k = 0; k < words.size(); ++k)
    Datasets.push_back(makeMotif(static_cast<std::int64_t>(k + 1), 1, static_cast<std::int64_t>(k + 1),
                                 "m" + std::to_string(k + 1), rowsOf(words[k])));
}

// The closest alignment of motifs a and b as a scan of (a, b) gives it, listed as the scan listed
// it: motif a first with the flag "Y", motif b first with the empty flag.
dataCombinedScore closest(std::int64_t a, std::int64_t b, bool backward = false) {
  const data &A = Datasets[a - 1], &B = Datasets[b - 1];
  auto records = backward ? backwardScanTwoMatrices(A.matrix, B.matrix, A.motifName, B.motifName)
                          : forwardScanTwoMatrices(A.matrix, B.matrix, A.motifName, B.motifName);
  EXPECT_FALSE(records.empty());
  dataCombinedScore r = records.front();
  const bool aFirst = r.scanOrderFlag == "Y";
  r.firstMotifID = aFirst ? a : b;
  r.secondMotifID = aFirst ? b : a;
  return r;
}

// The record closest among those listing motif a first.
dataCombinedScore closestListing(std::int64_t a, std::int64_t b, const char* flag) {
  const data &A = Datasets[a - 1], &B = Datasets[b - 1];
  for (dataCombinedScore r : forwardScanTwoMatrices(A.matrix, B.matrix, A.motifName, B.motifName))
    if (r.scanOrderFlag == flag) {
      const bool aFirst = r.scanOrderFlag == "Y";
      r.firstMotifID = aFirst ? a : b;
      r.secondMotifID = aFirst ? b : a;
      return r;
    }
  ADD_FAILURE() << "no record with flag '" << flag << "'";
  return {};
}

const motifMatrix& oriented(std::int64_t id, std::string_view format) {
  return format == "Original Motif" ? Datasets[id - 1].matrix : Datasets[id - 1].revCompMatrix;
}

// An entry takes its record's fields; an accepted one names its motifs in the order of its matrices
// (the scan's order), a rejected one in the record's listing order.
void expectFieldsOf(const combinedMatrices& e, const dataCombinedScore& r) {
  EXPECT_EQ(e.firstMotifID, r.firstMotifID);
  EXPECT_EQ(e.secondMotifID, r.secondMotifID);
  const bool swapped = e.mergedFlag == "Y" && r.scanOrderFlag != "Y";
  EXPECT_EQ(e.firstMotifName, (swapped ? r.secondMotifName : r.firstMotifName).view());
  EXPECT_EQ(e.secondMotifName, (swapped ? r.firstMotifName : r.secondMotifName).view());
  EXPECT_EQ(e.firstMatchingFormat, r.firstMatchingFormat.view());
  EXPECT_EQ(e.secondMatchingFormat, r.secondMatchingFormat.view());
  EXPECT_EQ(e.scanOrderFlag, r.scanOrderFlag.view());
  EXPECT_EQ(e.direction, r.direction.view());
  EXPECT_EQ(e.position, r.position);
  EXPECT_EQ(e.numOverlap, r.numOverlap);
  EXPECT_EQ(e.similarityScore, r.similarityScore);
}

// An accepted entry holds its parents, their merge and the two lines of their alignment.
void expectMergeOf(const combinedMatrices& e, const motifMatrix& A, const motifMatrix& B) {
  EXPECT_EQ(e.mergedFlag, "Y");
  EXPECT_EQ(e.firstMotifMatrix, A);
  EXPECT_EQ(e.secondMotifMatrix, B);
  EXPECT_EQ(e.combinedMotifMatrix,
            combinedTwoMatrices(A, B, e.scanOrderFlag, e.direction, e.position, e.numOverlap));
  EXPECT_EQ(e.combinedMotifMatrix.size(), A.size() + B.size() - static_cast<std::size_t>(e.numOverlap));
  EXPECT_EQ(e.firstAlignment + "_" + e.secondAlignment,
            alignTwoMatrices(A, B, e.scanOrderFlag, e.direction, e.position, e.numOverlap));
}

TEST(GroupDrivers, OneRecordAcceptedGivesOneEntry) {
  useMotifs({"TTCACGTGAC", "CACGTGACAA"});
  for (const char* flag : {"Y", ""}) {
    SCOPED_TRACE(std::string("flag '") + flag + "'");
    const dataCombinedScore top = closestListing(1, 2, flag);
    const std::size_t before = mergedMotifGlobalMatching.size();
    mergeGroup(kGlobal, {top});
    ASSERT_EQ(mergedMotifGlobalMatching.size(), before + 1);
    const mergeChain& chain = mergedMotifGlobalMatching.back();
    ASSERT_EQ(chain.size(), 1u);
    expectFieldsOf(chain[0], top);
    // The scan's first motif is motif 1 in both listings: it is the first parent, and named first.
    expectMergeOf(chain[0], oriented(1, top.firstMatchingFormat), oriented(2, top.secondMatchingFormat));
    EXPECT_EQ(chain[0].firstMotifName, "m1");
    EXPECT_EQ(chain[0].secondMotifName, "m2");
    EXPECT_TRUE(mergedMotifList.empty());
  }
  EXPECT_TRUE(mergedMotifGlobalAndLocalMatching.empty());
  EXPECT_TRUE(mergedMotifBestMatches.empty());
}

TEST(GroupDrivers, EachNamedFormFillsItsOwnList) {
  struct Case {
    void (*group)(const bestMatchList&);
    void (*chain)(motifMatrix, const bestMatchList&, int);
    const CombinedList& list;
  };
  const Case cases[] = {{combinedMatrixGlobalMatching, combinedMatrixG, kGlobal},
                        {combinedMatrixGlobalAndLocalMatching, combinedMatrixGL, kGlobalAndLocal},
                        {combinedMatrixBestMatches, combinedMatrixB, kBestMatches}};
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.list.id));
    useMotifs({"TGACGTCATG", "TGACGTCATG", "TGACGTCATG"});
    c.group({closest(1, 2)});
    c.chain(Datasets[0].matrix, {closest(1, 2), closest(1, 3)}, 1);
    for (const CombinedList& other : combinedLists()) {
      const bool own = &other == &c.list;
      EXPECT_EQ((runState.*other.chains).size(), own ? 1u : 0u);
      EXPECT_EQ((runState.*other.working).size(), own ? 1u : 0u);
    }
  }
}

TEST(GroupDrivers, ParentsTakeTheRecordsOrientations) {
  // Motif 2 is motif 1's reverse complement: the closest alignment pairs motif 1 as read with motif 2
  // reverse-complemented.
  useMotifs({"TTGACGTCAAG", "CTTGACGTCAA"});
  const dataCombinedScore top = closest(1, 2);
  ASSERT_EQ(top.secondMatchingFormat, "Reverse Complement");
  mergeGroup(kBestMatches, {top});
  ASSERT_EQ(mergedMotifBestMatches.size(), 1u);
  const combinedMatrices& entry = mergedMotifBestMatches[0][0];
  expectMergeOf(entry, Datasets[0].matrix, Datasets[1].revCompMatrix);
  EXPECT_EQ(entry.combinedMotifMatrix, Datasets[0].matrix);  // the average of two equal rows
  EXPECT_EQ(entry.firstAlignment, "TTGACGTCAAG");
  EXPECT_EQ(entry.secondAlignment, "TTGACGTCAAG");
}

TEST(Chains, EveryAcceptedStepFoldsTheNextMemberIn) {
  useMotifs({"GTCACGTGAC", "TCACGTGACC", "CCCACGTGAC", "GGTCACGTGA"});
  const bestMatchList group = {closest(1, 2), closest(1, 3), closest(1, 4)};
  mergeGroup(kGlobalAndLocal, group);
  ASSERT_EQ(mergedMotifGlobalAndLocalMatching.size(), 1u);
  const mergeChain& chain = mergedMotifGlobalAndLocalMatching[0];
  ASSERT_EQ(chain.size(), 3u);
  expectFieldsOf(chain[0], group[0]);
  // The first step's record lists the merge first, the second step's the new motif first.
  ASSERT_EQ(chain[1].scanOrderFlag, "Y");
  ASSERT_EQ(chain[2].scanOrderFlag, "");
  for (std::size_t k = 1; k < chain.size(); ++k) {
    SCOPED_TRACE(k);
    const combinedMatrices& step = chain[k];
    // The step's record comes from a scan of the merge so far (motif 1) against the member's motif (2).
    const bool mergeFirst = step.scanOrderFlag == "Y";
    EXPECT_EQ(step.firstMotifID, mergeFirst ? 1 : 2);
    EXPECT_EQ(step.secondMotifID, mergeFirst ? 2 : 1);
    // Named as its matrices: the merge so far first, whichever listing the record has.
    EXPECT_EQ(step.firstMotifName, "Combined Motif");
    EXPECT_EQ(step.secondMotifName, "m" + std::to_string(k + 2));
    const motifMatrix& before = chain[k - 1].combinedMotifMatrix;
    expectMergeOf(step, step.firstMatchingFormat == "Original Motif" ? before : getRevCompMotif(before),
                  oriented(static_cast<std::int64_t>(k + 2), step.secondMatchingFormat));
  }
  EXPECT_TRUE(mergedMotifListGlobalAndLocal.empty());
  EXPECT_TRUE(mergedMotifGlobalMatching.empty());
}

TEST(Chains, EqualForwardAndBackwardKeysTakeTheForwardRecord) {
  // Three copies of one motif: every placement scan finds the merge again at key 0 both ways.
  useMotifs({"TGACGTCATG", "TGACGTCATG", "TGACGTCATG"});
  chainFrom(kBestMatches, Datasets[0].matrix, {closest(1, 2), closest(1, 3)}, 1);
  ASSERT_EQ(mergedMotifListBestMatches.size(), 1u);
  EXPECT_EQ(mergedMotifListBestMatches[0].direction, "Forward");
  EXPECT_EQ(mergedMotifListBestMatches[0].combinedMotifMatrix, Datasets[0].matrix);
  // An index at or past the group's end does nothing.
  chainFrom(kBestMatches, Datasets[0].matrix, {closest(1, 2), closest(1, 3)}, 2);
  chainFrom(kGlobal, Datasets[0].matrix, {closest(1, 2)}, -1);
  EXPECT_EQ(mergedMotifListBestMatches.size(), 1u);
  EXPECT_TRUE(mergedMotifList.empty());
}

TEST(Chains, AMemberThatCannotBePlacedEndsTheChainWithoutEntries) {
  useMotifs({"GTCACGTGAC", "TCACGTGACC", "AAAAAAAAAA", "CCCACGTGAC"}, 0.9);
  dataCombinedScore unrelated = closest(1, 2);
  unrelated.secondMotifID = 3;
  unrelated.secondMotifName = Datasets[2].motifName;
  mergeGroup(kGlobal, {closest(1, 2), unrelated, closest(1, 4)});
  ASSERT_EQ(mergedMotifGlobalMatching.size(), 1u);
  ASSERT_EQ(mergedMotifGlobalMatching[0].size(), 1u);
  EXPECT_EQ(mergedMotifGlobalMatching[0][0].mergedFlag, "Y");
}

TEST(GroupDrivers, RejectedFirstMergeFilesEveryRecordAsRejected) {
  useMotifs({"TTCACGTGAC", "CACGTGACAA", "GTCACGTGAA", "TTGACGTCAAG", "CTTGACGTCAA"});
  // An accepted merge first, with its alignment lines.
  mergeGroup(kGlobal, {closest(1, 2)});
  ASSERT_FALSE(mergedMotifGlobalMatching.at(0).at(0).firstAlignment.empty());

  // A top record that does not fit its motifs (more overlap than the shorter one has, shifted)
  // merges into nothing, which no rescan finds.
  dataCombinedScore broken = closest(4, 5);
  ASSERT_EQ(broken.secondMatchingFormat, "Reverse Complement");
  broken.position = 2;
  broken.numOverlap = 12;
  const dataCombinedScore second = closest(4, 1), third = closest(4, 3);
  ASSERT_EQ(second.secondMatchingFormat, "Original Motif");
  const bestMatchList group = {broken, second, third};
  mergeGroup(kGlobal, group);
  ASSERT_EQ(mergedMotifGlobalMatching.size(), 2u);
  const mergeChain& chain = mergedMotifGlobalMatching[1];
  ASSERT_EQ(chain.size(), 3u);
  for (std::size_t k = 0; k < 3; ++k) {
    SCOPED_TRACE(k);
    const dataCombinedScore& r = group[k];
    expectFieldsOf(chain[k], r);
    EXPECT_EQ(chain[k].mergedFlag, "N");
    EXPECT_EQ(chain[k].firstMotifMatrix, oriented(r.firstMotifID, r.firstMatchingFormat));
    EXPECT_EQ(chain[k].secondMotifMatrix, oriented(r.secondMotifID, r.secondMatchingFormat));
    // Unmerged, in the orientation the rejected merge gave its second motif.
    EXPECT_EQ(chain[k].combinedMotifMatrix, Datasets[r.secondMotifID - 1].revCompMatrix);
    EXPECT_EQ(chain[k].firstAlignment, "");
    EXPECT_EQ(chain[k].secondAlignment, "");
  }
  EXPECT_TRUE(mergedMotifList.empty());
}

TEST(GroupDrivers, MotifIDsNamingNoMotifAreRejectedSafely) {
  useMotifs({"TTCACGTGAC", "CACGTGACAA"});
  dataCombinedScore stray = closest(1, 2);
  stray.secondMotifID = 99;
  dataCombinedScore none = closest(1, 2);
  none.firstMotifID = 0;
  mergeGroup(kGlobal, {stray, none});
  ASSERT_EQ(mergedMotifGlobalMatching.size(), 1u);
  const mergeChain& chain = mergedMotifGlobalMatching[0];
  ASSERT_EQ(chain.size(), 2u);
  EXPECT_EQ(chain[0].mergedFlag, "N");
  EXPECT_TRUE(chain[0].secondMotifMatrix.empty());
  EXPECT_TRUE(chain[0].combinedMotifMatrix.empty());
  EXPECT_EQ(chain[0].firstMotifMatrix, oriented(stray.firstMotifID, stray.firstMatchingFormat));
  EXPECT_TRUE(chain[1].firstMotifMatrix.empty());
  // An empty group files an empty chain.
  mergeGroup(kGlobal, {});
  ASSERT_EQ(mergedMotifGlobalMatching.size(), 2u);
  EXPECT_TRUE(mergedMotifGlobalMatching[1].empty());
}

// --- long motifs ---

// Pieces of one long random word, a few letters changed in each, so that they merge over several
// steps at the places they share.
std::vector<std::string> longPieces() {
  std::mt19937 generator(17);
  std::string word(2600, 'A');
  for (char& letter : word) letter = "ACGT"[generator() % 4];
  std::vector<std::string> pieces;
  for (const auto& [from, length] : {std::pair{0, 1500}, std::pair{400, 1600}, std::pair{1100, 1500},
                                     std::pair{150, 1200}}) {
    std::string piece = word.substr(from, length);
    for (int change = 0; change < 30; ++change) piece[generator() % piece.size()] = "ACGT"[generator() % 4];
    pieces.push_back(piece);
  }
  return pieces;
}

// Every field of an entry, for comparing whole chains.
auto entryFields(const combinedMatrices& e) {
  return std::tie(e.firstMotifID, e.secondMotifID, e.firstMotifName, e.secondMotifName, e.firstMatchingFormat,
                  e.secondMatchingFormat, e.scanOrderFlag, e.direction, e.position, e.numOverlap,
                  e.similarityScore, e.firstMotifMatrix, e.secondMotifMatrix, e.combinedMotifMatrix, e.mergedFlag,
                  e.firstAlignment, e.secondAlignment);
}

// The first record of the closer of a step's two placement lists, as the whole lists give it.
dataCombinedScore placementOf(const motifMatrix& merged, const data& partner) {
  const auto forward = forwardScanTwoMatrices(merged, partner.matrix, "Combined Motif", partner.motifName);
  const auto backward = backwardScanTwoMatrices(merged, partner.matrix, "Combined Motif", partner.motifName);
  EXPECT_FALSE(forward.empty() && backward.empty());
  if (forward.empty()) return backward.front();
  if (!backward.empty() && backward.front().similarityScore < forward.front().similarityScore)
    return backward.front();
  return forward.front();
}

// Every step of a chain of long motifs is the one the whole scan lists give: each placement the
// first record of the closer list, each merge found again by the whole rescans the step reads; and
// teams of any size give the one-thread chain.
TEST(Chains, LongMotifsMergeAsTheWholeScansSayOnEveryTeam) {
  useMotifs(longPieces());
  const bestMatchList group = {closest(1, 2), closest(1, 3), closest(1, 4)};
  mergeChain reference;
  const testing::TeamAfter team(0);
  for (int threads : {1, 2, 3, 8}) {
    SCOPED_TRACE(threads);
    numThread = threads;
    mergedMotifBestMatches.clear();
    mergeGroup(kBestMatches, group);
    ASSERT_EQ(mergedMotifBestMatches.size(), 1u);
    const mergeChain chain = mergedMotifBestMatches[0];
    if (threads > 1) {
      ASSERT_EQ(chain.size(), reference.size());
      for (std::size_t k = 0; k < chain.size(); ++k) EXPECT_TRUE(entryFields(chain[k]) == entryFields(reference[k]));
      continue;
    }
    reference = chain;
    ASSERT_EQ(chain.size(), 3u);
    for (std::size_t k = 0; k < chain.size(); ++k) {
      SCOPED_TRACE(k);
      const combinedMatrices& step = chain[k];
      ASSERT_EQ(step.mergedFlag, "Y");
      if (k > 0) {
        const dataCombinedScore R = placementOf(chain[k - 1].combinedMotifMatrix, Datasets[group[k].secondMotifID - 1]);
        EXPECT_EQ(step.direction, R.direction.view());
        EXPECT_EQ(step.scanOrderFlag, R.scanOrderFlag.view());
        EXPECT_EQ(step.position, R.position);
        EXPECT_EQ(step.numOverlap, R.numOverlap);
        EXPECT_EQ(step.firstMatchingFormat, R.firstMatchingFormat.view());
        EXPECT_EQ(step.secondMatchingFormat, R.secondMatchingFormat.view());
        EXPECT_EQ(step.similarityScore, R.similarityScore);
      }
      for (const motifMatrix* parent : {&step.firstMotifMatrix, &step.secondMotifMatrix}) {
        const bool forward = !forwardScanTwoMatrices(step.combinedMotifMatrix, *parent, "c", "p").empty();
        const bool backward = !backwardScanTwoMatrices(step.combinedMotifMatrix, *parent, "c", "p").empty();
        EXPECT_TRUE(forward || (k == 0 && backward));
      }
    }
  }
  // A merge of long motifs that lost a parent is rejected by teams of any size.
  const motifMatrix& merged = reference.back().combinedMotifMatrix;
  const motifMatrix unrelated = rowsOf(std::string(1300, 'C'));
  for (int threads : {1, 8}) {
    numThread = threads;
    EXPECT_TRUE(mergeVerified(merged, Datasets[0].matrix, Datasets[3].matrix, ParentTest::ForwardScanFirst));
    EXPECT_FALSE(mergeVerified(merged, Datasets[0].matrix, unrelated, ParentTest::EitherScan));
  }
}

// --- the rejection path through the steps ---

// The first merge lets the backward rescan find a parent that the forward rescan misses; a chain
// step does not. Such a parent lies at the cutoff's last bit: the two rescans visit the same
// placements and differ only in the order their sums are added.
TEST(MergeSteps, OnlyTheFirstMergeLetsTheBackwardRescanDecide) {
  resetGlobals();
  std::mt19937 generator(3);
  auto best = [](const std::vector<dataCombinedScore>& records) {
    double score = -1.0;
    for (const dataCombinedScore& r : records) score = std::max(score, r.rawScore);
    return score;
  };
  for (int attempt = 0; attempt < 5000; ++attempt) {
    simCutoff = 0.0;
    const motifMatrix merged = testing::randomRows(generator, 9), parent = testing::randomRows(generator, 6);
    const double forward = best(forwardScanTwoMatrices(merged, parent, "m", "p"));
    const double backward = best(backwardScanTwoMatrices(merged, parent, "m", "p"));
    if (!(backward > forward)) continue;
    simCutoff = backward;
    EXPECT_TRUE(mergeVerified(merged, parent, merged, ParentTest::EitherScan));
    EXPECT_FALSE(mergeVerified(merged, parent, merged, ParentTest::ForwardScanFirst));
    EXPECT_FALSE(mergeVerified(merged, merged, parent, ParentTest::ForwardScanFirst));
    return;
  }
  FAIL() << "no pair whose rescans differ in the last bit";
}

TEST(MergeSteps, AMergeThatLostAParentIsRejected) {
  useMotifs({"TTCACGTGAC", "CACGTGACAA", "AAAAAAAAAA"}, 0.9);
  const dataCombinedScore top = closest(1, 2);
  const motifMatrix& A = oriented(1, top.firstMatchingFormat);
  const motifMatrix& B = oriented(2, top.secondMatchingFormat);
  const motifMatrix merged =
      combinedTwoMatrices(A, B, top.scanOrderFlag, top.direction, top.position, top.numOverlap);
  for (ParentTest test : {ParentTest::EitherScan, ParentTest::ForwardScanFirst}) {
    EXPECT_TRUE(mergeVerified(merged, A, B, test));
    EXPECT_FALSE(mergeVerified(Datasets[2].matrix, A, B, test));
    EXPECT_FALSE(mergeVerified(merged, A, Datasets[2].matrix, test));
    EXPECT_FALSE(mergeVerified(rowsOf("ACG"), A, B, test));
  }
}

TEST(MergeSteps, ARejectedStepFilesTheRestOfTheGroup) {
  useMotifs({"GTCACGTGAC", "TCACGTGACC", "CCCACGTGAC", "GGTCACGTGA"});
  const bestMatchList group = {closest(1, 2), closest(1, 3), closest(1, 4), closest(1, 2)};
  const motifMatrix& A = Datasets[0].matrix;
  recordAccepted(combinedList(CombinedListId::BestMatches), group[0], A, Datasets[1].matrix, A);
  ASSERT_FALSE(mergedMotifListBestMatches.at(0).firstAlignment.empty());
  recordRejected(combinedList(CombinedListId::BestMatches), group, 1, "Reverse Complement");
  const mergeChain& chain = mergedMotifListBestMatches;
  ASSERT_EQ(chain.size(), 4u);
  EXPECT_EQ(chain[0].mergedFlag, "Y");
  for (std::size_t k = 1; k < 4; ++k) {
    SCOPED_TRACE(k);
    expectFieldsOf(chain[k], group[k]);
    EXPECT_EQ(chain[k].mergedFlag, "N");
    EXPECT_EQ(chain[k].secondMotifMatrix, oriented(group[k].secondMotifID, group[k].secondMatchingFormat));
    EXPECT_EQ(chain[k].combinedMotifMatrix, Datasets[group[k].secondMotifID - 1].revCompMatrix);
    EXPECT_TRUE(chain[k].firstAlignment.empty() && chain[k].secondAlignment.empty());
  }
  EXPECT_TRUE(mergedMotifList.empty() && mergedMotifListGlobalAndLocal.empty());
}

}  // namespace
}  // namespace korvelan
