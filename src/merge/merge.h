// Motif merging: the group drivers that turn one result group into a merge chain.
#pragma once

#include "core/records.h"

namespace korvelan {

void combinedMatrixGlobalMatching(bestMatchList group);
void combinedMatrixGlobalAndLocalMatching(bestMatchList group);
void combinedMatrixBestMatches(bestMatchList group);

}  // namespace korvelan
