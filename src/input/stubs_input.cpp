// Placeholder entry points until motif input lands; they do nothing.
#include "input/input.h"

namespace korvelan {
void readInput(std::vector<fileNameAndType>) {}
void writeMotifInput() {}
void printFileNameTypeCount() {}
}  // namespace korvelan
