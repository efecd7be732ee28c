// Placeholder entry points until the dataset scans land; they do nothing.
#include "scan/scan.h"

namespace korvelan {
void forwardScan() {}
void backwardScan() {}
void getMaxScores() {}
void calculateSumScoresCompare() {}
}  // namespace korvelan
