// Developer dumps of alignment lists: one tab-separated line per record in the output folder.
// Nothing in a run calls them.
#pragma once

#include <cstdint>
#include <vector>

#include "core/records.h"

namespace korvelan {

// outputPath + "combinedScore.txt": DatasetsCombinedScoreLists, 18 fields per line.
void writeCombinedScoreList();
// outputPath + "combinedScoreDatabase.txt": DatasetsCombinedScoreDatabaseLists, 19 fields per line.
void writeCombinedScoreDatabaseList();
// outputPath + "ScoreDBG" + n + ".txt": the given list, 19 fields per line.
void writeScoreList(std::vector<dataCombinedScore> list, std::int64_t n);

}  // namespace korvelan
