#include <string>

#include "core/globals.h"
#include "input/readers.h"

namespace korvelan {

// MEME letter-probability matrices: the motif is named after its own ID, whatever the file calls it.
void readMEMEInput(inputBlock block, std::int32_t fileIndex) {
  completeMotif("Motif " + std::to_string(matrixIDNum), numericRows(block), fileIndex);
}

}  // namespace korvelan
