// Motif merging: the two-matrix scans, the merged matrix of two aligned motifs and its alignment text,
// the group drivers that turn one result group into a merge chain, and the chain steps that fold the
// group's further matches into the merged matrix.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/records.h"
#include "reports/combined_motifs.h"

namespace korvelan {

// --- two-matrix scans ---

// Every alignment of two matrices that leaves at least `overlap` rows aligned and whose best
// orientation score reaches `simCutoff`: first M1 placed on M2 (scanOrderFlag "Y", M1 listed as motif
// 1), then M2 placed on M1 (empty flag, M2 listed first as motif 2); the formats always give the
// orientations of M1 and M2. The forward scan anchors the placements at the first rows, the backward
// scan at the last rows. Each record's key measures it against the ideal alignment:
// overlapDiff = min(L1, L2) - numOverlap, scoreDiff = maxScore - rawScore, similarityScore =
// (overlapDiff + scoreDiff) x 0.5; the list is sorted stably by it, so its first record is the closest
// alignment, ties going to the earlier pass and shift. The records hold the names by reference: pass
// names that outlive them.
std::vector<dataCombinedScore> forwardScanTwoMatrices(const motifMatrix& M1, const motifMatrix& M2,
                                                      TextRef name1, TextRef name2);
std::vector<dataCombinedScore> backwardScanTwoMatrices(const motifMatrix& M1, const motifMatrix& M2,
                                                       TextRef name1, TextRef name2);

// --- merged matrix and alignment text ---

// The merged matrix of A and B laid over each other as an alignment record of a two-matrix scan of
// (A, B) describes them: rows covered by one motif copied, aligned rows averaged value by value
// ((a + b) x 0.5, not rescaled). A placement whose rows do not all exist (a record that does not fit
// the two matrices) gives an empty matrix, which no verification accepts.
motifMatrix combinedTwoMatrices(const motifMatrix& firstMatrix, const motifMatrix& secondMatrix,
                                std::string_view scanOrderFlag, std::string_view direction,
                                std::int32_t position, std::int32_t numOverlap);

// The alignment text of the same placement: two lines of rows(A) + rows(B) - numOverlap characters
// (none when negative), holding the consensus of A and of B at their places and '-' elsewhere, joined
// by one "_". Letters that would fall outside the lines are left out.
std::string alignTwoMatrices(const motifMatrix& firstMatrix, const motifMatrix& secondMatrix,
                             std::string_view scanOrderFlag, std::string_view direction,
                             std::int32_t position, std::int32_t numOverlap);

// --- group drivers and chain steps ---

// One group (a top motif and its best matches) becomes one merge chain, built in the list's working
// chain and filed in its finished chains (reports/combined_motifs.h).
void mergeGroup(const CombinedList& list, const bestMatchList& group);
// The chain from member i of S on (none for i below 0), folded into the merged matrix M, its entries
// appended to the list's working chain.
void chainFrom(const CombinedList& list, motifMatrix M, const bestMatchList& S, int i);

// The named forms of the two, one per combined-motif list.
void combinedMatrixGlobalMatching(const bestMatchList& group);
void combinedMatrixGlobalAndLocalMatching(const bestMatchList& group);
void combinedMatrixBestMatches(const bestMatchList& group);
void combinedMatrixG(motifMatrix M, const bestMatchList& S, int i);
void combinedMatrixGL(motifMatrix M, const bestMatchList& S, int i);
void combinedMatrixB(motifMatrix M, const bestMatchList& S, int i);

// The steps the drivers and chains are made of.

// Which rescans of a parent may find it in the merged matrix: for the group's first merge either
// scan (the backward rescan counts where the forward one finds nothing), for a chain step the
// forward rescan alone. The verification values of the first records are never negative, so a parent
// passes exactly when such a rescan finds it at all.
enum class ParentTest { EitherScan, ForwardScanFirst };

// Rescans the merged matrix against both parents and accepts the merge when both are found.
bool mergeVerified(const motifMatrix& merged, const motifMatrix& A, const motifMatrix& B, ParentTest test);

// Appends one accepted ("Y") entry for `record` to the list's working chain: its fields, the parents
// A and B, the merged matrix and the two lines of the alignment text.
void recordAccepted(const CombinedList& list, const dataCombinedScore& record, const motifMatrix& A,
                    const motifMatrix& B, const motifMatrix& merged);

// Appends one rejected ("N") entry for each record of the group from `from` on: its own fields and
// matrices, its second motif unmerged in the orientation `partnerFormat` names, and no alignment lines.
void recordRejected(const CombinedList& list, const bestMatchList& group, std::size_t from,
                    std::string_view partnerFormat);

}  // namespace korvelan
