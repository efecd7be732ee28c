// Result selection: each motif's best matches, the top motifs and the distance matrices.
#pragma once

namespace korvelan {

void getResultsList();
void getDatabaseResultsList();
void getDatabaseGlobalResultsList();

}  // namespace korvelan
