// Placeholder entry point until dataset selection lands; it does nothing.
#include "results/results.h"

namespace korvelan {
void getResultsList() {}
}  // namespace korvelan
