// Placeholder entry points until the motif-tree stage lands; they do nothing.
#include "tree/tree.h"

namespace korvelan {
void getMotifCluster() {}
void getMotifClusterGlobal() {}
void writeHeaderMotifTreeHTMLOrPDF() {}
void writeHeaderMotifTreeGlobalHTMLOrPDF() {}
void writeMotifTreeHTMLOrPDF() {}
void writeMotifTreeGlobalHTMLOrPDF() {}
void writeFooterMotifTreeHTMLOrPDF() {}
void writeFooterMotifTreeGlobalHTMLOrPDF() {}
void convertHTMLToPDFMotifTree() {}
void convertHTMLToPDFMotifTreeGlobal() {}
}  // namespace korvelan
