#include "input/input.h"

#include <algorithm>
#include <utility>

#include "core/globals.h"
#include "core/utilities.h"
#include "input/blocks.h"
#include "input/readers.h"

namespace korvelan {

namespace {

// The numeric test of a block from line `from` (1-based) on: tokens are examined in reading order up
// to the first one that is not a decimal with exactly one point; the block passes when there is
// none, or when that token still holds only digits and points (an integer count, say).
bool numericFrom(const inputBlock& block, std::size_t from) {
  for (std::size_t k = from; k <= block.size(); ++k)
    for (const auto& token : block[k - 1])
      if (!checkDouble(token)) return checkNumeric(token);
  return true;
}

bool linesHaveTokens(const inputBlock& block, std::size_t from, std::size_t count) {
  for (std::size_t k = from; k <= block.size(); ++k)
    if (block[k - 1].size() != count) return false;
  return true;
}

// The reading state of one input file: the block that waits for recognition (a block no rule reads
// is kept and grows by the lines that follow) and the hold flag, which decides whether a lone
// header line is a motif of its own.
class FileRecogniser {
 public:
  explicit FileRecogniser(std::int32_t fileIndex) : fileIndex_(fileIndex) {}

  void addBlock(inputBlock lines) {
    for (auto& line : lines) pending_.push_back(std::move(line));
    recognise();
  }

 private:
  void read(void (*reader)(inputBlock, std::int32_t)) {
    reader(pending_, fileIndex_);
    pending_.clear();
  }
  const std::string& first(std::size_t k) const { return pending_[k - 1][0]; }  // lines are never empty

  // The layout rules, first match decides.
  void recognise() {
    const inputBlock& b = pending_;
    const std::size_t n = b.size();
    const std::size_t t = b[0].size();

    if (t == 2 && n >= 6) return read(readTransfacInput);
    if ((t == 1 || t == 2) && n == 5 && first(2) == "A" && first(3) == "C" && first(4) == "G" &&
        first(5) == "T")
      return read(readJasparInput);
    if (t == 1 && n == 2) {
      if (b[1].size() == 1 && checkIUPAC(b[1][0])) read(readConsensusInput);
      return;
    }
    if (t == 1 && n >= 4 && b[2].size() == 1 && first(4) == "letter-probability") {
      if (n >= 5 && linesHaveTokens(b, 5, 4) && numericFrom(b, 5)) read(readMEMEInput);
      return;
    }
    if (t == 1 && n >= 3 && b[1].size() == 1) {
      if (!linesHaveTokens(b, 3, 1)) {
        hold_ = false;
        return;
      }
      const std::size_t width = b[1][0].size();
      for (std::size_t k = 2; k <= n; ++k) {
        if (b[k - 1][0].size() != width || !checkNucleotide(b[k - 1][0])) {
          hold_ = true;
          return;
        }
      }
      read(readSeqAlignInput);
      hold_ = false;
      return;
    }
    if (t == 1 && n >= 3) {
      hold_ = false;
      if (linesHaveTokens(b, 2, 4)) read(readRawPSSMInput);
      return;
    }
    if (t == 1 && n == 1) {
      if (!hold_) read(readRawPSSMInput);
      return;
    }
    // Headerless matrices: by row when exactly four lines of equal length, by column otherwise.
    if (!numericFrom(b, 1)) return;
    if (n != 4) return read(readMatrixVInput);
    if (linesHaveTokens(b, 2, t)) {
      read(readMatrixHInput);
      hold_ = true;
    } else {
      hold_ = false;
    }
  }

  std::int32_t fileIndex_;
  inputBlock pending_;
  bool hold_ = false;
};

}  // namespace

void readInputFile(std::string fileName, std::int32_t fileIndex) {
  FileRecogniser recogniser(fileIndex);
  // A block still waiting at the end of the file yields nothing.
  if (!readBlocks(inputPath + fileName, [&](inputBlock block) { recogniser.addBlock(std::move(block)); }))
    failInput();
  ++dNum;
  mNum = 1;
}

void readInput(std::vector<fileNameAndType> files) {
  for (std::size_t i = 0; i < files.size(); ++i)
    readInputFile(files[i].fileName, static_cast<std::int32_t>(i));
  for (const auto& motif : Datasets)
    motifNameLength = std::max(motifNameLength, static_cast<std::int32_t>(motif.motifName.size()));
}

}  // namespace korvelan
