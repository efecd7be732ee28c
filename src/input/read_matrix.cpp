#include "input/readers.h"

namespace korvelan {

// A matrix written by row: lines 1 to 4 hold the A, C, G and T values, one column per position.
void readMatrixHInput(inputBlock block, std::int32_t fileIndex) {
  const auto& aLine = blockLine(block, 1);
  motifMatrix rows;
  for (std::size_t k = 1; k <= aLine.size(); ++k) {
    double v[4];
    for (std::size_t b = 0; b < 4; ++b) v[b] = readValue(tokenAt(blockLine(block, b + 1), k));
    rows.push_back(normalisedRow(v[0], v[1], v[2], v[3]));
  }
  completeMotif("NA", rows, fileIndex);
}

// A matrix written by column: every line of exactly four tokens is one position.
void readMatrixVInput(inputBlock block, std::int32_t fileIndex) {
  motifMatrix rows;
  for (const auto& line : block)
    if (line.size() == 4)
      rows.push_back(
          normalisedRow(readValue(line[0]), readValue(line[1]), readValue(line[2]), readValue(line[3])));
  completeMotif("NA", rows, fileIndex);
}

}  // namespace korvelan
