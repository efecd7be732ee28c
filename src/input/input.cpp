#include "input/input.h"

#include <algorithm>
#include <utility>

#include "core/globals.h"
#include "core/utilities.h"
#include "input/blocks.h"
#include "input/readers.h"

namespace korvelan {

namespace {

// The numeric test of the lines from some line on: tokens are examined in reading order up to the
// first one that is not a decimal with exactly one point; the lines pass when there is none, or
// when that token still holds only digits and points (an integer count, say). Lines only ever
// join the end, so once that token has been met the outcome is settled for good.
class NumericTest {
 public:
  void add(const std::vector<std::string>& line) {
    if (outcome_ != Outcome::Open) return;
    for (const auto& token : line) {
      if (!checkDouble(token)) {
        outcome_ = checkNumeric(token) ? Outcome::Passed : Outcome::Failed;
        return;
      }
    }
  }
  bool passes() const { return outcome_ != Outcome::Failed; }

 private:
  enum class Outcome { Open, Passed, Failed };
  Outcome outcome_ = Outcome::Open;
};

// What the layout rules ask of a pending block beyond its first lines, gathered line by line as
// the block grows: a retained block is recognised again at every later block end, and looking at
// its old lines once more each time would make a long file cost the square of its length.
struct BlockFacts {
  bool from2HaveFour = true;  // lines 2 to n have four tokens each
  bool from2HaveT = true;     // lines 2 to n have as many tokens as line 1
  bool from3HaveOne = true;   // lines 3 to n have one token each
  bool from5HaveFour = true;  // lines 5 to n have four tokens each
  bool from2Aligned = true;   // the first tokens of lines 2 to n are nucleotide words as long as line 2's
  NumericTest numericFrom1;
  NumericTest numericFrom5;

  // Takes in line k (1-based) of `block`, which already holds it.
  void add(const inputBlock& block, std::size_t k) {
    const std::vector<std::string>& line = block[k - 1];
    const std::size_t count = line.size();
    if (k >= 2) {
      from2HaveFour = from2HaveFour && count == 4;
      from2HaveT = from2HaveT && count == block[0].size();
      const std::string& word = line[0];  // lines are never empty
      from2Aligned = from2Aligned && word.size() == block[1][0].size() && checkNucleotide(word);
    }
    if (k >= 3) from3HaveOne = from3HaveOne && count == 1;
    if (k >= 5) {
      from5HaveFour = from5HaveFour && count == 4;
      numericFrom5.add(line);
    }
    numericFrom1.add(line);
  }
};

// The reading state of one input file: the block that waits for recognition (a block no rule reads
// is kept and grows by the lines that follow) and the hold flag, which decides whether a lone
// header line is a motif of its own.
class FileRecogniser {
 public:
  explicit FileRecogniser(std::int32_t fileIndex) : fileIndex_(fileIndex) {}

  void addBlock(inputBlock lines) {
    for (auto& line : lines) {
      pending_.push_back(std::move(line));
      facts_.add(pending_, pending_.size());
    }
    recognise();
  }

 private:
  void read(void (*reader)(inputBlock, std::int32_t)) {
    reader(std::move(pending_), fileIndex_);
    pending_.clear();
    facts_ = BlockFacts{};
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
      if (n >= 5 && facts_.from5HaveFour && facts_.numericFrom5.passes()) read(readMEMEInput);
      return;
    }
    if (t == 1 && n >= 3 && b[1].size() == 1) {
      if (!facts_.from3HaveOne) {
        hold_ = false;
        return;
      }
      if (!facts_.from2Aligned) {
        hold_ = true;
        return;
      }
      read(readSeqAlignInput);
      hold_ = false;
      return;
    }
    if (t == 1 && n >= 3) {
      hold_ = false;
      if (facts_.from2HaveFour) read(readRawPSSMInput);
      return;
    }
    if (t == 1 && n == 1) {
      if (!hold_) read(readRawPSSMInput);
      return;
    }
    // Headerless matrices: by row when exactly four lines of equal length, by column otherwise.
    if (!facts_.numericFrom1.passes()) return;
    if (n != 4) return read(readMatrixVInput);
    if (facts_.from2HaveT) {
      read(readMatrixHInput);
      hold_ = true;
    } else {
      hold_ = false;
    }
  }

  std::int32_t fileIndex_;
  inputBlock pending_;
  BlockFacts facts_;
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
