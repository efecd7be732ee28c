#include "core/consensus.h"

#include <algorithm>
#include <array>

namespace korvelan {

namespace {
char singleBase(int column) { return "ACGT"[column]; }

char twoBaseCode(int a, int b) {
  int mask = (1 << a) | (1 << b);  // bit 0 A, 1 C, 2 G, 3 T
  switch (mask) {
    case 0b0101: return 'R';  // A G
    case 0b1010: return 'Y';  // C T
    case 0b0110: return 'S';  // C G
    case 0b1001: return 'W';  // A T
    case 0b1100: return 'K';  // G T
    case 0b0011: return 'M';  // A C
  }
  return 'N';
}

char threeBaseCode(int a, int b, int c) {
  int mask = (1 << a) | (1 << b) | (1 << c);
  switch (mask) {
    case 0b1110: return 'B';  // C G T
    case 0b1101: return 'D';  // A G T
    case 0b1011: return 'H';  // A C T
    case 0b0111: return 'V';  // A C G
  }
  return 'N';
}

double valueAt(const std::vector<double>& row, int column) {
  return column < static_cast<int>(row.size()) ? row[column] : 0.0;
}
}  // namespace

std::string getConsensusString(motifMatrix matrix) {
  std::string letters;
  letters.reserve(matrix.size());
  for (const auto& row : matrix) {
    // The row's four values with their bases, ascending; equal values keep base order.
    std::array<tempArray, 4> ranked;
    for (int j = 0; j < 4; ++j) ranked[j] = tempArray{valueAt(row, j), j};
    std::stable_sort(ranked.begin(), ranked.end());
    const int c = ranked[3].nucleotideIndex, s = ranked[2].nucleotideIndex, t = ranked[1].nucleotideIndex;
    const double pc = ranked[3].value, ps = ranked[2].value, pt = ranked[1].value;
    char letter;
    if (pc > 0.5 && pc / ps >= 2.0) {
      letter = singleBase(c);
    } else if (pc + ps > 0.75) {
      // Every row whose top value is above 0.5 but not twice the second lands here; the one case the
      // letter rules leave open (top above 0.5, second 0.5 or more, only in rows summing above 1) takes
      // the two-base code too, so every position keeps a letter.
      letter = twoBaseCode(c, s);
    } else if (pc + ps + pt > 0.75) {
      letter = threeBaseCode(c, s, t);
    } else {
      letter = 'N';
    }
    letters += letter;
  }
  return letters;
}

motifMatrix getRevCompMotif(motifMatrix matrix) {
  motifMatrix result(matrix.rbegin(), matrix.rend());
  for (auto& row : result) {
    if (row.size() < 4) continue;  // every reader makes four columns; leave anything else untouched
    double best = 0.0;
    int at = 0;
    for (int j = 0; j < 4; ++j) {
      if (row[j] > best) {
        best = row[j];
        at = j;
      }
    }
    const int partner = 3 - at;  // A<->T, C<->G
    row[at] = row[partner];
    row[partner] = best;
  }
  return result;
}

}  // namespace korvelan
