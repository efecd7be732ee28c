// Developer dumps of whole alignment lists (as the reference path holds them): one tab-separated line
// per record in the output folder. The column that once held the record's own motif ID shows the
// first motif's ID, which it always equalled.
#pragma once

#include <cstdint>
#include <vector>

#include "core/records.h"

namespace korvelan {

// outputPath + "combinedScore.txt": a dataset list, 18 fields per line.
void writeCombinedScoreList(const std::vector<dataCombinedScore>& list);
// outputPath + "combinedScoreDatabase.txt": a database list, 19 fields per line.
void writeCombinedScoreDatabaseList(const std::vector<dataCombinedScore>& list);
// outputPath + "ScoreDBG" + n + ".txt": the given list, 19 fields per line.
void writeScoreList(const std::vector<dataCombinedScore>& list, std::int64_t n);

}  // namespace korvelan
