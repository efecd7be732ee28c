// Motif trees: distance-matrix files, the R script that draws them, and the tree sections of the tree
// pages (whose frame is the HTML report frame, reports/framing.h).
#pragma once

namespace korvelan {

// Number the labels of distanceMatrix (getMotifCluster) or distanceMatrixGlobal (getMotifClusterGlobal),
// write the matrix as CSV and the R script beside it, and run the script to draw the tree image.
void getMotifCluster();
void getMotifClusterGlobal();

// The tree sections of the pages; the global page holds a note instead with one input file.
void writeMotifTreeHTMLOrPDF();
void writeMotifTreeGlobalHTMLOrPDF();

// The tree pages' named forms of convertPageToPDF (reports/pdf.h).
void convertHTMLToPDFMotifTree();
void convertHTMLToPDFMotifTreeGlobal();

}  // namespace korvelan
