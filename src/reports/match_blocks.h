// The match blocks of the five dataset reports: one block per selected match of one query motif,
// appended right after that motif's section. Each takes its own copy of the motif's bestMatchList
// (every record lists the query, `motifID`, first), and a mode where the report has several parts
// (2 for the top-motif parts, 3 for the each-motif part; both write the same blocks).
#pragma once

#include <cstdint>
#include <ostream>

#include "core/records.h"

namespace korvelan {

// "Results.txt": heading and value rows, the matched motif's matrices, the alignment picture.
void WriteTopResultsList(bestMatchList matchList, int mode, std::int64_t motifID);
// "Results_Without_Motif_Details.txt": the same with the two consensus strings in place of matrices.
void WriteTopResultsListWithoutMotif(bestMatchList matchList, int mode, std::int64_t motifID);
// "Results_Global_Matching.txt": the blocks of WriteTopResultsList.
void WriteTopResultsGlobalMatchingList(bestMatchList matchList, std::int64_t motifID);

// "HTML_Results.html": info table, alignment picture, consensus strings and logos. Writes blocks only
// when mode is 2 or 3 and motifID is 1 or more; otherwise the report is opened and closed untouched.
void WriteTopResultsListHTML(bestMatchList matchList, int mode, std::int64_t motifID);
// "HTML_Global_Matching_Results.html": the same blocks, with no mode.
void WriteTopResultsGlobalMatchingListHTML(bestMatchList matchList, std::int64_t motifID);

// The two-column table of an input motif's consensus strings over its two logos, shown in motif
// sections and in match blocks alike.
void writeConsensusAndLogoTable(std::ostream& out, const data& motif, std::int64_t motifID);

}  // namespace korvelan
