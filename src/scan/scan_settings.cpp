// The settings every scan of a run scores by: the dataset and database scans and the merges alike.
#include <algorithm>

#include "core/globals.h"
#include "scan/scan.h"

namespace korvelan {

scanning::ScanSettings runScanSettings() {
  return scanning::ScanSettings{.cutoff = simCutoff,
                                .minOverlap = overlap,
                                .cellMax = maxScore,
                                .threads = std::max<int>(numThread, 1)};
}

}  // namespace korvelan
