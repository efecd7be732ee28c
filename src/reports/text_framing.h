// Pieces of the text report frame that other report writers reuse.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "core/globals.h"
#include "core/utilities.h"

namespace korvelan {

// The rule line that separates the blocks of a text report: 196 '*'.
inline constexpr std::string_view starRule =
    "****************************************************************************************************"
    "************************************************************************************************";

// The thinner rule inside a text report's blocks (after each match block, around the heading and
// after each entry of a combined-motif list): '-' as wide as the star rule.
inline const std::string kDashRule(starRule.size(), '-');

// What the reports say of global matching when the run has one input file: in the text header of
// the combined global list, and in the global part of the dataset reports, text and page.
inline constexpr std::string_view kOneFileNote = "There is no global matching for 1 motif file.";

// The name under which the reports show a database key ("None" for "N" or any unknown key).
std::string databaseDisplayName(const std::string& key);

// "Yes" for the answer "Y", else "No": how the reports show the tree and combine answers.
const char* yesNo(const std::string& answer);

// The nine settings of the run that the text and page headers show, each as row(label, value), in
// their order. The cutoff goes out as a number, so in the number format of the report's stream. A
// page has its own cutoff label (without the colon) and takes the typed texts escaped for HTML.
template <typename Row>
void forEachSetting(bool page, Row row) {
  const auto typed = [page](const std::string& text) { return page ? htmlEscape(text) : text; };
  row("Number of files: ", numFile);
  row("Number of top significant motifs: ", numTopMotif);
  row("Number of best matches: ", numBestMatches);
  row(page ? "Similarity cutoff >= " : "Similarity cutoff: >= ", simCutoff);
  row("Matching motif database: ", typed(databaseDisplayName(DBName)));
  row("Motif tree: ", yesNo(motifCluster));
  row("Combined similar motifs: ", yesNo(combinedMotifFlag));
  row("Output file type: ", typed(outputFileType));
  row("Output file format: ", typed(outputFileFormat));
}

}  // namespace korvelan
