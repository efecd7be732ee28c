#include <utility>

#include "input/readers.h"

namespace korvelan {

// TRANSFAC and TRANSFAC-like blocks: the name is the second token of the first line.
void readTransfacInput(inputBlock block, std::int32_t fileIndex) {
  completeMotif(tokenAt(blockLine(block, 1), 2), transfacRows(block), fileIndex);
}

}  // namespace korvelan
