// The group drivers and the chain steps: the first merge of a group, checked by rescanning the merged
// matrix against both parents, then the group's further matches folded in one at a time, every step
// recorded as an entry of the group's merge chain. One procedure serves the three top lists; they
// differ only in the working chain and the list of chains they fill.
#include <utility>

#include "core/consensus.h"
#include "core/globals.h"
#include "core/motifs.h"
#include "merge/merge.h"
#include "merge/merge_internal.h"

namespace korvelan {
namespace {

struct MergeFamily {
  mergeChain RunState::*working;              // the chain under construction
  std::vector<mergeChain> RunState::*chains;  // one finished chain per group
};

const MergeFamily& familyOf(MergeList list) {
  static const MergeFamily families[] = {
      {.working = &RunState::mergedMotifList, .chains = &RunState::mergedMotifGlobalMatching},
      {.working = &RunState::mergedMotifListGlobalAndLocal,
       .chains = &RunState::mergedMotifGlobalAndLocalMatching},
      {.working = &RunState::mergedMotifListBestMatches, .chains = &RunState::mergedMotifBestMatches},
  };
  return families[static_cast<int>(list)];
}

const TextRef kCombinedName = "Combined Motif";

// The orientation a record gives one scanned matrix, or null for a text the scans never write.
const motifMatrix* orient(std::string_view format, const motifMatrix& original, const motifMatrix& revComp) {
  if (format == "Original Motif") return &original;
  if (format == "Reverse Complement") return &revComp;
  return nullptr;
}

// A parent made ready for the rescans: taken as it is, it borrows the reverse complement known for
// it; taken as that reverse complement, its own is built.
ScanMatrix parentScan(const motifMatrix* parent, const motifMatrix& original, const motifMatrix& revComp) {
  if (parent == &original) return ScanMatrix(original, revComp);
  return ScanMatrix(*parent);
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
const dataCombinedScore* chosenRecord(const std::vector<dataCombinedScore>& forward,
                                      const std::vector<dataCombinedScore>& backward) {
  if (forward.empty()) return backward.empty() ? nullptr : &backward.front();
  if (!backward.empty() && backward.front().similarityScore < forward.front().similarityScore)
    return &backward.front();
  return &forward.front();
}

// The rescans of the merged matrix against its two parents. The keys are never negative, so a
// forward rescan that finds the parent decides alone, and the backward rescan counts only where the
// forward one found nothing and the test lets it decide; rescans that cannot change the outcome are
// not run.
bool verified(const ScanMatrix& merged, const ScanMatrix& A, const ScanMatrix& B, TextRef nameA,
              TextRef nameB, ParentTest test) {
  std::vector<dataCombinedScore> forward, backward;
  auto parentFound = [&](const ScanMatrix& parent, TextRef name) {
    scanTwoMatrices(merged, parent, kCombinedName, name, false, forward);
    backward.clear();
    if (forward.empty() && test == ParentTest::EitherScan)
      scanTwoMatrices(merged, parent, kCombinedName, name, true, backward);
    return parentScore(forward, backward, test) >= 0.0;  // a value that is not a number fails
  };
  return parentFound(A, nameA) && parentFound(B, nameB);
}

// Chain steps from member i of S on, folding each into M (whose reverse complement is revM). Each
// accepted step's merged matrix becomes the next step's M; the chain ends at the group's end, at a
// rejected step (which files the rest of the group as rejected), or at a member that cannot be
// placed (which files nothing more).
void foldIn(MergeList list, motifMatrix M, motifMatrix revM, const bestMatchList& S, std::size_t i) {
  std::vector<dataCombinedScore> forward, backward;
  for (; i < S.size(); ++i) {
    const dataCombinedScore& member = S[i];
    const data* partner = findMotif(Datasets, member.secondMotifID);
    if (partner == nullptr) return;
    const ScanMatrix m(M, revM), d(partner->matrix, partner->revCompMatrix);
    scanTwoMatrices(m, d, kCombinedName, member.secondMotifName, false, forward);
    scanTwoMatrices(m, d, kCombinedName, member.secondMotifName, true, backward);
    const dataCombinedScore* R = chosenRecord(forward, backward);
    if (R == nullptr) return;
    const motifMatrix* A = orient(R->firstMatchingFormat, M, revM);
    const motifMatrix* B = orient(R->secondMatchingFormat, partner->matrix, partner->revCompMatrix);
    if (A == nullptr || B == nullptr) return;
    motifMatrix C = combinedTwoMatrices(*A, *B, R->scanOrderFlag, R->direction, R->position, R->numOverlap);
    ScanMatrix c(C);
    if (!verified(c, parentScan(A, M, revM), parentScan(B, partner->matrix, partner->revCompMatrix),
                  kCombinedName, member.secondMotifName, ParentTest::ForwardScanFirst)) {
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
void firstMerge(MergeList list, const bestMatchList& group) {
  const dataCombinedScore& top = group.front();
  const bool scanOrder = top.scanOrderFlag == "Y";
  const data* first = findMotif(Datasets, scanOrder ? top.firstMotifID : top.secondMotifID);
  const data* second = findMotif(Datasets, scanOrder ? top.secondMotifID : top.firstMotifID);
  if (first == nullptr || second == nullptr) {
    recordRejected(list, group, 0, top.secondMatchingFormat);
    return;
  }
  const motifMatrix* A = top.firstMatchingFormat == "Original Motif" ? &first->matrix : &first->revCompMatrix;
  const motifMatrix* B =
      top.secondMatchingFormat == "Original Motif" ? &second->matrix : &second->revCompMatrix;
  motifMatrix M = combinedTwoMatrices(*A, *B, top.scanOrderFlag, top.direction, top.position, top.numOverlap);
  ScanMatrix m(M);
  if (!verified(m, parentScan(A, first->matrix, first->revCompMatrix),
                parentScan(B, second->matrix, second->revCompMatrix), first->motifName, second->motifName,
                ParentTest::EitherScan)) {
    recordRejected(list, group, 0, top.secondMatchingFormat);
    return;
  }
  recordAccepted(list, top, *A, *B, M);
  motifMatrix revM = m.takeBuiltRevComp();
  foldIn(list, std::move(M), std::move(revM), group, 1);
}

void mergeGroup(MergeList list, const bestMatchList& group) {
  const MergeFamily& family = familyOf(list);
  mergeChain& working = runState.*family.working;
  working.clear();
  if (!group.empty()) firstMerge(list, group);
  (runState.*family.chains).push_back(std::move(working));
  mergeChain().swap(working);
}

void chainFrom(MergeList list, motifMatrix M, const bestMatchList& S, int i) {
  if (i < 0) return;
  motifMatrix revM = getRevCompMotif(M);
  foldIn(list, std::move(M), std::move(revM), S, static_cast<std::size_t>(i));
}

}  // namespace

double parentScore(const std::vector<dataCombinedScore>& forward,
                   const std::vector<dataCombinedScore>& backward, ParentTest test) {
  double value = forward.empty() ? -1.0 : forward.front().similarityScore;
  if (!backward.empty()) {
    const double key = backward.front().similarityScore;
    if (key < value || (test == ParentTest::EitherScan && forward.empty())) value = key;
  }
  return value;
}

bool mergeVerified(const motifMatrix& merged, const motifMatrix& A, const motifMatrix& B, TextRef nameA,
                   TextRef nameB, ParentTest test) {
  return verified(ScanMatrix(merged), ScanMatrix(A), ScanMatrix(B), nameA, nameB, test);
}

void recordAccepted(MergeList list, const dataCombinedScore& record, const motifMatrix& A,
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
  (runState.*familyOf(list).working).push_back(entry);
}

void recordRejected(MergeList list, const bestMatchList& group, std::size_t from,
                    std::string_view partnerFormat) {
  mergeChain& working = runState.*familyOf(list).working;
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

motifMatrix orientedMotif(std::int64_t motifID, std::string_view format) {
  const data* motif = findMotif(Datasets, motifID);
  if (motif == nullptr) return {};
  return format == "Original Motif" ? motif->matrix : motif->revCompMatrix;
}

void combinedMatrixGlobalMatching(bestMatchList group) {
  mergeGroup(MergeList::Global, group);
}
void combinedMatrixGlobalAndLocalMatching(bestMatchList group) {
  mergeGroup(MergeList::GlobalAndLocal, group);
}
void combinedMatrixBestMatches(bestMatchList group) {
  mergeGroup(MergeList::BestMatches, group);
}

void combinedMatrixG(motifMatrix M, bestMatchList S, int i) {
  chainFrom(MergeList::Global, std::move(M), S, i);
}
void combinedMatrixGL(motifMatrix M, bestMatchList S, int i) {
  chainFrom(MergeList::GlobalAndLocal, std::move(M), S, i);
}
void combinedMatrixB(motifMatrix M, bestMatchList S, int i) {
  chainFrom(MergeList::BestMatches, std::move(M), S, i);
}

}  // namespace korvelan
