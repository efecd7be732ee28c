// Placeholder entry points until the database scans land; they do nothing.
#include "scan/scan.h"

namespace korvelan {
void forwardScanDatabase() {}
void backwardScanDatabase() {}
void getMaxScoresDatabase() {}
void calculateSumScoresCompareDatabase() {}
void forwardScanDatabaseGlobal() {}
void backwardScanDatabaseGlobal() {}
void getMaxScoresDatabaseGlobal() {}
void calculateSumScoresCompareDatabaseGlobal() {}
}  // namespace korvelan
