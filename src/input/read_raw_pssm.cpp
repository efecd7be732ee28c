#include "input/readers.h"

namespace korvelan {

// Raw PSSM blocks: a header line ">name" and rows of four plain numbers.
void readRawPSSMInput(inputBlock block, std::int32_t fileIndex) {
  completeMotif(withoutFirst(tokenAt(blockLine(block, 1), 1)), numericRows(block), fileIndex);
}

}  // namespace korvelan
