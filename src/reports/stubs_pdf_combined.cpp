// Placeholder entry points until the combined-motif reports land; they do nothing.
#include "reports/framing.h"

namespace korvelan {
void WriteCombinedMotifsGlobal() {}
void WriteCombinedMotifsGlobalAndLocal() {}
void WriteCombinedMotifsBestMatches() {}
}  // namespace korvelan
