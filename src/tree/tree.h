// Motif trees: distance-matrix files, the R script that draws them, and the tree pages.
#pragma once

namespace korvelan {

void getMotifCluster();
void getMotifClusterGlobal();
void writeHeaderMotifTreeHTMLOrPDF();
void writeHeaderMotifTreeGlobalHTMLOrPDF();
void writeMotifTreeHTMLOrPDF();
void writeMotifTreeGlobalHTMLOrPDF();
void writeFooterMotifTreeHTMLOrPDF();
void writeFooterMotifTreeGlobalHTMLOrPDF();
void convertHTMLToPDFMotifTree();
void convertHTMLToPDFMotifTreeGlobal();

}  // namespace korvelan
