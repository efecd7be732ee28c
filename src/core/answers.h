// What the run's answers ask for. Every stage decides through these, so each answer has one meaning.
#pragma once

namespace korvelan {

bool textWanted();      // output format "Text" or "All": the text reports
bool pagesWanted();     // output format "HTML", "PDF" or "All": the HTML pages and the logos
bool pdfWanted();       // output format "PDF" or "All": the pages are converted to PDF
bool pdfOnly();         // output format "PDF": a page goes once its PDF is made
bool typeAll();         // output type "All" (else "Global-Only")
bool databaseChosen();  // a collection key (two or more characters) rather than "N"
bool treesWanted();     // motif tree answer "Y"
bool mergeWanted();     // combine-similar-motifs answer "Y"
bool severalFiles();    // two or more input files, so there is global matching

}  // namespace korvelan
