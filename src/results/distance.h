// The pairwise distance tables that the motif trees are drawn from.
#pragma once

#include <vector>

#include "results/grouping.h"

namespace korvelan {

// Sets maxSumScoreCompare to the largest ranking key of the sorted lists (one per input motif, element
// k - 1 for motif ID k) and fills distanceMatrix over all input motifs: labels in row and column 0, "0" on
// the diagonal, and in cell [i][j] the smallest key among the alignments of motifs i and j, or
// ceil(2 + maxSumScoreCompare) when they have none. Rows and columns are motif IDs.
void fillDistanceMatrix(const std::vector<MatchRefs>& sortedMatchLists);

// Fills distanceMatrixGlobal over the motifs of topGlobalMatchingResults (the top motifs, then their
// partners in first-seen order), each cell copied from distanceMatrix; ceil(3 + maxSumScoreCompare) where
// a pair is not in distanceMatrix.
void fillDistanceMatrixGlobal();

}  // namespace korvelan
