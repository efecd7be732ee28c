// Result selection: from each motif's best matches as the key steps kept them, the motif rankings,
// the top lists and the distance tables. The selection stages of the run take these steps in turn and
// write the report parts at their places in between.
#pragma once

namespace korvelan {

// With trees: maxSumScoreCompare and distanceMatrix, from the dataset matches' keys.
void selectDistances();

// Two or more input files: globalMatchingScoreResultList (the motifs ranked by the key sums of their
// best matches in other files, then a bare line end on the console), topGlobalMatchingResults and,
// with trees, distanceMatrixGlobal.
void rankGlobalMatching();

// Every run: commonBestScoreResultList (the motifs ranked over all their best matches, then a bare
// line end on the console); when combining with output type "All", topGlobalAndLocalMatchingResults
// and topBestMatchesResults.
void rankGlobalAndLocal();

}  // namespace korvelan
