// The group drivers and the chain steps: the first merge of a group, checked by rescanning the merged
// matrix against both parents, then the group's further matches folded in one at a time, every step
// recorded as an entry of the group's merge chain. One procedure serves the three combined-motif lists
// (reports/combined_motifs.h); they differ only in the working chain and the list of chains they fill.
#include <cstdint>
#include <optional>
#include <utility>

#include "core/consensus.h"
#include "core/globals.h"
#include "core/motifs.h"
#include "merge/merge.h"
#include "merge/merge_internal.h"

namespace korvelan {
namespace {

const TextRef kCombinedName = "Combined Motif";

// A parent made ready for the rescans: taken as it is, it borrows the reverse complement known for
// it; taken as that reverse complement, its own is built.
ScanMatrix parentScan(const motifMatrix* parent, const motifMatrix& original, const motifMatrix& revComp) {
  if (parent == &original) return ScanMatrix(original, revComp);
  return ScanMatrix(*parent);
}

// A motif of Datasets in the orientation a format names; empty when the ID names no input motif.
motifMatrix orientedMotif(std::int64_t motifID, std::string_view format) {
  const data* motif = findMotif(Datasets, motifID);
  if (motif == nullptr) return {};
  return motifInFormat(*motif, format).matrix;
}

// The fields an entry takes over from the alignment record it was made for.
void copyRecordFields(combinedMatrices& entry, const dataCombinedScore& record) {
  entry.firstMotifID = record.firstMotifID;
  entry.secondMotifID = record.secondMotifID;
  entry.firstMotifName = record.firstMotifName;
  entry.secondMotifName = record.secondMotifName;
  entry.firstMatchingFormat = record.firstMatchingFormat;
  entry.secondMatchingFormat = record.secondMatchingFormat;
  entry.scanOrderFlag = record.scanOrderFlag;
  entry.direction = record.direction;
  entry.position = record.position;
  entry.numOverlap = record.numOverlap;
  entry.similarityScore = record.similarityScore;
}

// The record a chain step merges on: the first forward record, unless the first backward record is
// strictly closer; null when neither scan found an alignment.
const dataCombinedScore* chosenRecord(const std::optional<dataCombinedScore>& forward,
                                      const std::optional<dataCombinedScore>& backward) {
  if (!forward) return backward ? &*backward : nullptr;
  if (backward && backward->similarityScore < forward->similarityScore) return &*backward;
  return &*forward;
}

// The rescans of a merged matrix against one parent, which starts at row `start` of it when the
// placement is known. The keys are never negative, so the parent passes exactly when a rescan finds
// it at all: the forward rescan, or the backward one where the test lets it decide. Neither rescan
// needs more than one alignment, and the one where the merge laid the parent is tried first.
bool parentFound(const ScanMatrix& merged, const ScanMatrix& parent, std::optional<std::int64_t> start,
                 ParentTest test) {
  const auto laidAt = [&](bool backward) -> std::optional<LikelyShift> {
    if (!start) return std::nullopt;
    const auto rows = static_cast<std::int64_t>(merged.matrix().size());
    const auto parentRows = static_cast<std::int64_t>(parent.matrix().size());
    return LikelyShift{.bFirst = true, .shift = backward ? rows - parentRows - *start : *start};
  };
  if (twoMatricesAlign(merged, parent, false, laidAt(false))) return true;
  return test == ParentTest::EitherScan && twoMatricesAlign(merged, parent, true, laidAt(true));
}

bool verified(const ScanMatrix& merged, const ScanMatrix& A, const ScanMatrix& B,
              const std::optional<MergeStarts>& starts, ParentTest test) {
  const auto startOf = [&](std::int64_t MergeStarts::*which) -> std::optional<std::int64_t> {
    if (!starts) return std::nullopt;
    return (*starts).*which;
  };
  return parentFound(merged, A, startOf(&MergeStarts::first), test) &&
         parentFound(merged, B, startOf(&MergeStarts::second), test);
}

// Where the placement of `record` lays A and B in their merge.
std::optional<MergeStarts> startsOf(const dataCombinedScore& record, const motifMatrix& A, const motifMatrix& B) {
  return mergeStarts(static_cast<std::int64_t>(A.size()), static_cast<std::int64_t>(B.size()),
                     record.scanOrderFlag, record.direction, record.position, record.numOverlap);
}

// Chain steps from member i of S on, folding each into M (whose reverse complement is revM). Each
// accepted step's merged matrix becomes the next step's M; the chain ends at the group's end, at a
// rejected step (which files the rest of the group as rejected), or at a member that cannot be
// placed (which files nothing more).
void foldIn(const CombinedList& list, motifMatrix M, motifMatrix revM, const bestMatchList& S, std::size_t i) {
  for (; i < S.size(); ++i) {
    const dataCombinedScore& member = S[i];
    const data* partner = findMotif(Datasets, member.secondMotifID);
    if (partner == nullptr) return;
    const ScanMatrix m(M, revM), d(partner->matrix, partner->revCompMatrix);
    const auto forward = closestTwoMatrices(m, d, kCombinedName, member.secondMotifName, false);
    const auto backward = closestTwoMatrices(m, d, kCombinedName, member.secondMotifName, true);
    const dataCombinedScore* R = chosenRecord(forward, backward);
    if (R == nullptr) return;
    const motifMatrix* A = &inFormat(R->firstMatchingFormat, M, revM);
    const motifMatrix* B = &motifInFormat(*partner, R->secondMatchingFormat).matrix;
    motifMatrix C = combinedTwoMatrices(*A, *B, R->scanOrderFlag, R->direction, R->position, R->numOverlap);
    ScanMatrix c(C);
    if (!verified(c, parentScan(A, M, revM), parentScan(B, partner->matrix, partner->revCompMatrix),
                  startsOf(*R, *A, *B), ParentTest::ForwardScanFirst)) {
      recordRejected(list, S, i, R->secondMatchingFormat);
      return;
    }
    recordAccepted(list, *R, *A, *B, C);
    revM = c.takeBuiltRevComp();
    M = std::move(C);
  }
}

// The first merge of a group: the two motifs of its top record, in the order and orientations its
// scan took them, merged and checked; accepted, the chain goes on with the group's second member.
void firstMerge(const CombinedList& list, const bestMatchList& group) {
  const dataCombinedScore& top = group.front();
  const bool scanOrder = top.scanOrderFlag == "Y";
  const data* first = findMotif(Datasets, scanOrder ? top.firstMotifID : top.secondMotifID);
  const data* second = findMotif(Datasets, scanOrder ? top.secondMotifID : top.firstMotifID);
  if (first == nullptr || second == nullptr) {
    recordRejected(list, group, 0, top.secondMatchingFormat);
    return;
  }
  const motifMatrix* A = &motifInFormat(*first, top.firstMatchingFormat).matrix;
  const motifMatrix* B = &motifInFormat(*second, top.secondMatchingFormat).matrix;
  motifMatrix M = combinedTwoMatrices(*A, *B, top.scanOrderFlag, top.direction, top.position, top.numOverlap);
  ScanMatrix m(M);
  if (!verified(m, parentScan(A, first->matrix, first->revCompMatrix),
                parentScan(B, second->matrix, second->revCompMatrix), startsOf(top, *A, *B),
                ParentTest::EitherScan)) {
    recordRejected(list, group, 0, top.secondMatchingFormat);
    return;
  }
  recordAccepted(list, top, *A, *B, M);
  motifMatrix revM = m.takeBuiltRevComp();
  foldIn(list, std::move(M), std::move(revM), group, 1);
}

}  // namespace

void chainFrom(const CombinedList& list, motifMatrix M, const bestMatchList& S, int i) {
  if (i < 0) return;
  motifMatrix revM = getRevCompMotif(M);
  foldIn(list, std::move(M), std::move(revM), S, static_cast<std::size_t>(i));
}

bool mergeVerified(const motifMatrix& merged, const motifMatrix& A, const motifMatrix& B, ParentTest test) {
  return verified(ScanMatrix(merged), ScanMatrix(A), ScanMatrix(B), std::nullopt, test);
}

void mergeGroup(const CombinedList& list, const bestMatchList& group) {
  mergeChain& working = runState.*list.working;
  working.clear();
  if (!group.empty()) firstMerge(list, group);
  (runState.*list.chains).push_back(std::move(working));
  mergeChain().swap(working);
}

void recordAccepted(const CombinedList& list, const dataCombinedScore& record, const motifMatrix& A,
                    const motifMatrix& B, const motifMatrix& merged) {
  combinedMatrices entry;
  copyRecordFields(entry, record);
  // The record lists its motifs in listing order, the matrices follow its scan order: a row names each
  // motif beside its own format, consensus and alignment line, so the names go in scan order too.
  if (record.scanOrderFlag != "Y") std::swap(entry.firstMotifName, entry.secondMotifName);
  entry.firstMotifMatrix = A;
  entry.secondMotifMatrix = B;
  entry.combinedMotifMatrix = merged;
  entry.mergedFlag = "Y";
  const std::string alignment =
      alignTwoMatrices(A, B, record.scanOrderFlag, record.direction, record.position, record.numOverlap);
  const std::size_t joint = alignment.find('_');
  entry.firstAlignment = alignment.substr(0, joint);
  entry.secondAlignment = joint == std::string::npos ? std::string() : alignment.substr(joint + 1);
  (runState.*list.working).push_back(std::move(entry));
}

void recordRejected(const CombinedList& list, const bestMatchList& group, std::size_t from,
                    std::string_view partnerFormat) {
  mergeChain& working = runState.*list.working;
  combinedMatrices entry;
  for (std::size_t k = from; k < group.size(); ++k) {
    const dataCombinedScore& record = group[k];
    copyRecordFields(entry, record);
    entry.firstMotifMatrix = orientedMotif(record.firstMotifID, record.firstMatchingFormat);
    entry.secondMotifMatrix = orientedMotif(record.secondMotifID, record.secondMatchingFormat);
    entry.combinedMotifMatrix = orientedMotif(record.secondMotifID, partnerFormat);
    entry.mergedFlag = "N";
    working.push_back(entry);
  }
}

// The named forms of mergeGroup and chainFrom, one per combined-motif list. A chain step folds into
// its own copy of the merged matrix, so that one is taken by value.
void combinedMatrixGlobalMatching(const bestMatchList& group) {
  mergeGroup(combinedList(CombinedListId::Global), group);
}
void combinedMatrixGlobalAndLocalMatching(const bestMatchList& group) {
  mergeGroup(combinedList(CombinedListId::GlobalAndLocal), group);
}
void combinedMatrixBestMatches(const bestMatchList& group) {
  mergeGroup(combinedList(CombinedListId::BestMatches), group);
}
void combinedMatrixG(motifMatrix M, const bestMatchList& S, int i) {
  chainFrom(combinedList(CombinedListId::Global), std::move(M), S, i);
}
void combinedMatrixGL(motifMatrix M, const bestMatchList& S, int i) {
  chainFrom(combinedList(CombinedListId::GlobalAndLocal), std::move(M), S, i);
}
void combinedMatrixB(motifMatrix M, const bestMatchList& S, int i) {
  chainFrom(combinedList(CombinedListId::BestMatches), std::move(M), S, i);
}

}  // namespace korvelan
