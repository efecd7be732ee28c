// Placeholder entry points until motif merging lands; they do nothing.
#include "merge/merge.h"

namespace korvelan {
void combinedMatrixGlobalMatching(bestMatchList) {}
void combinedMatrixGlobalAndLocalMatching(bestMatchList) {}
void combinedMatrixBestMatches(bestMatchList) {}
}  // namespace korvelan
