#include <algorithm>

#include "input/readers.h"

namespace korvelan {

namespace {
constexpr std::size_t kMaxPositions = 30;
constexpr double kThird = 0.3333;  // the three-base share as stored; such rows sum to 0.9999

std::vector<double> iupacRow(char letter) {
  switch (letter) {
    case 'A':
      return {1.0, 0, 0, 0};
    case 'C':
      return {0, 1.0, 0, 0};
    case 'G':
      return {0, 0, 1.0, 0};
    case 'T':
      return {0, 0, 0, 1.0};
    case 'M':
      return {0.5, 0.5, 0, 0};
    case 'R':
      return {0.5, 0, 0.5, 0};
    case 'W':
      return {0.5, 0, 0, 0.5};
    case 'S':
      return {0, 0.5, 0.5, 0};
    case 'Y':
      return {0, 0.5, 0, 0.5};
    case 'K':
      return {0, 0, 0.5, 0.5};
    case 'V':
      return {kThird, kThird, kThird, 0};
    case 'H':
      return {kThird, kThird, 0, kThird};
    case 'D':
      return {kThird, 0, kThird, kThird};
    case 'B':
      return {0, kThird, kThird, kThird};
    default:
      return {0.25, 0.25, 0.25, 0.25};  // N, '-' and anything else
  }
}
}  // namespace

// An IUPAC consensus word under a header line; at most 30 positions per word.
void readConsensusInput(inputBlock block, std::int32_t fileIndex) {
  motifMatrix rows;
  for (std::size_t k = 2; k <= block.size(); ++k) {
    const auto& line = block[k - 1];
    if (line.size() != 1) continue;
    const std::string& word = line[0];
    for (std::size_t p = 0; p < std::min(word.size(), kMaxPositions); ++p) rows.push_back(iupacRow(word[p]));
  }
  completeMotif(withoutFirst(tokenAt(blockLine(block, 1), 1)), rows, fileIndex);
}

}  // namespace korvelan
