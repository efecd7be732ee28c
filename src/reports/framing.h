// Report framing: headers that create the report files, footers that complete them, motif logos and
// the conversion of HTML pages to PDF.
#pragma once

namespace korvelan {

// Text report headers (create their file) and footers (append).
void writeHeaderGlobalText();
void writeHeaderGlobalTextDatabaseMatch();
void writeHeaderText();
void writeHeaderTextWithoutMotif();
void writeHeaderTextDatabaseMatch();
void writeHeaderTextWithoutMotifDatabaseMatch();
void writeHeaderCombinedMatrixGlobal();
void writeHeaderCombinedMatrixGlobalAndLocal();
void writeHeaderCombinedMatrixBestMatches();
void writeFooterGlobalText();
void writeFooterGlobalTextDatabaseMatch();
void writeFooterText();
void writeFooterTextWithoutMotif();
void writeFooterTextDatabaseMatch();
void writeFooterTextWithoutMotifDatabaseMatch();
void writeFooterCombinedMatrixGlobal();
void writeFooterCombinedMatrixGlobalAndLocal();
void writeFooterCombinedMatrixBestMatches();

// HTML page headers and footers.
void writeHeaderGlobalHTMLOrPDF();
void writeHeaderGlobalHTMLOrPDFDatabaseMatch();
void writeHeaderHTMLOrPDF();
void writeHeaderHTMLOrPDFDatabaseMatch();
void writeFooterGlobalHTMLOrPDF();
void writeFooterGlobalHTMLOrPDFDatabaseMatch();
void writeFooterHTMLOrPDF();
void writeFooterHTMLOrPDFDatabaseMatch();

// Logos of the input motifs (Datasets) and of the collection motifs (DatabaseDatasets).
void writeMotif();
void writeDatabaseMotif();

// PDF conversion of the finished HTML pages.
void convertHTMLToPDFGlobal();
void convertHTMLToPDFGlobalDatabaseMatch();
void convertHTMLToPDF();
void convertHTMLToPDFDatabaseMatch();

// The combined-motif report bodies.
void WriteCombinedMotifsGlobal();
void WriteCombinedMotifsGlobalAndLocal();
void WriteCombinedMotifsBestMatches();

}  // namespace korvelan
