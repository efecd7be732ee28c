// Placeholder entry points until the dataset report sections land; they do nothing.
#include "results/sections.h"

namespace korvelan {
void writeGlobalMatchingPart(const std::vector<bestMatchList>&) {}
void writeGlobalAndLocalPart(const std::vector<bestMatchList>&) {}
void writeEachMotifPart(const std::vector<bestMatchList>&) {}
}  // namespace korvelan
