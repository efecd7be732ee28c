// Placeholder entry points until the collection loaders land; they do nothing.
#include "input/input.h"

namespace korvelan {
void readTransfacDatabase() {}
void readJasparDatabase() {}
void readUniprobeDatabase() {}
}  // namespace korvelan
