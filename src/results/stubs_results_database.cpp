// Placeholder entry points until database selection lands; they do nothing.
#include "results/results.h"

namespace korvelan {
void getDatabaseResultsList() {}
void getDatabaseGlobalResultsList() {}
}  // namespace korvelan
