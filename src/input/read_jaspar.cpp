#include "input/readers.h"

namespace korvelan {

// JASPAR blocks: a header ">ID name" and the A, C, G and T lines; the motif takes the ID as its name.
void readJasparInput(inputBlock block, std::int32_t fileIndex) {
  completeMotif(withoutFirst(tokenAt(blockLine(block, 1), 1)), jasparRows(block), fileIndex);
}

}  // namespace korvelan
