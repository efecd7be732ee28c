// Placeholder entry points until the text report framing lands; they do nothing.
#include "reports/framing.h"

namespace korvelan {
void writeHeaderGlobalText() {}
void writeHeaderGlobalTextDatabaseMatch() {}
void writeHeaderText() {}
void writeHeaderTextWithoutMotif() {}
void writeHeaderTextDatabaseMatch() {}
void writeHeaderTextWithoutMotifDatabaseMatch() {}
void writeHeaderCombinedMatrixGlobal() {}
void writeHeaderCombinedMatrixGlobalAndLocal() {}
void writeHeaderCombinedMatrixBestMatches() {}
void writeFooterGlobalText() {}
void writeFooterGlobalTextDatabaseMatch() {}
void writeFooterText() {}
void writeFooterTextWithoutMotif() {}
void writeFooterTextDatabaseMatch() {}
void writeFooterTextWithoutMotifDatabaseMatch() {}
void writeFooterCombinedMatrixGlobal() {}
void writeFooterCombinedMatrixGlobalAndLocal() {}
void writeFooterCombinedMatrixBestMatches() {}
}  // namespace korvelan
