// The pairwise distance tables that the motif trees are drawn from.
#pragma once

#include "core/records.h"

namespace korvelan {

// Sets maxSumScoreCompare to the largest ranking key of the dataset alignments (at least its value
// before) and fills distanceMatrix over all input motifs in ID order, labelled by their names: 0 on the
// diagonal, and in cell (i, j) the smallest key among the alignments of motifs i and j, or
// ceil(2 + maxSumScoreCompare) when they have none. Takes over the matches' smallest keys.
void fillDistanceMatrix(selectedMatches& matches);

// Fills distanceMatrixGlobal over the motifs of topGlobalMatchingResults (the top motifs, then their
// partners in first-seen order), each cell copied from distanceMatrix; ceil(3 + maxSumScoreCompare) where
// a pair is not in distanceMatrix.
void fillDistanceMatrixGlobal();

}  // namespace korvelan
