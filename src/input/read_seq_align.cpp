#include <algorithm>

#include "input/readers.h"

namespace korvelan {

// Aligned sequences of equal length under a header line: each column's base counts, as frequencies,
// for at most the first 30 columns. Gaps and other characters count for nothing.
void readSeqAlignInput(inputBlock block, std::int32_t fileIndex) {
  constexpr std::size_t kMaxPositions = 30;
  const std::size_t width = std::min(tokenAt(blockLine(block, 2), 1).size(), kMaxPositions);
  motifMatrix rows;
  for (std::size_t p = 0; p < width; ++p) {
    double count[4] = {0, 0, 0, 0};
    for (std::size_t k = 2; k <= block.size(); ++k) {
      const std::vector<std::string>& line = block[k - 1];
      if (line.empty() || p >= line[0].size()) continue;
      const std::string& sequence = line[0];
      switch (sequence[p]) {
        case 'A':
          count[0] += 1;
          break;
        case 'C':
          count[1] += 1;
          break;
        case 'G':
          count[2] += 1;
          break;
        case 'T':
          count[3] += 1;
          break;
        default:
          break;
      }
    }
    rows.push_back(normalisedRow(count[0], count[1], count[2], count[3]));
  }
  completeMotif(withoutFirst(tokenAt(blockLine(block, 1), 1)), rows, fileIndex);
}

}  // namespace korvelan
