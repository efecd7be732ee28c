// The match blocks of the dataset and database reports: one block per selected match of one query
// motif, appended right after that motif's section. Each writer takes its own copy of the motif's
// bestMatchList and the query motif's ID, and a mode where the report has several parts (2 for the
// top-motif parts, 3 for the each-motif and database parts; both write the same blocks).
#pragma once

#include <cstdint>
#include <ostream>

#include "core/records.h"
#include "core/report_files.h"

namespace korvelan {

// The blocks of the report's matches of query motif `motifID` (an input motif), appended to the report
// as its row of the report table says; every entry point below is this for its report.
void writeMatchBlocks(ReportId report, const bestMatchList& matchList, int mode, std::int64_t motifID);

// --- dataset reports: every record lists the query, `motifID`, first ---

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

// --- database reports: records of an input motif, `motifNo`, and the collection motifs ---
// Each writes blocks only when mode is 2 or 3 and motifNo is 1 or more; otherwise the report is opened
// and closed untouched.

// "Results_Database_Matching.txt": the collection motif's identifier, name, taxon or species and
// matrices, and the alignment picture.
void WriteDatabaseTopResultsList(bestMatchList matchList, int mode, std::int64_t motifNo);
// "Results_Database_Matching_Without_Motif_Details.txt": the same with the consensus strings alone.
void WriteDatabaseTopResultsListWithoutMotif(bestMatchList matchList, int mode, std::int64_t motifNo);
// "Results_Database_Matching_Global_Matching.txt": the blocks of WriteDatabaseTopResultsList.
void WriteDatabaseTopResultsGlobalList(bestMatchList matchList, int mode, std::int64_t motifNo);
// "HTML_Results_Database_Matching.html": info table with the link to the motif's collection page,
// alignment picture, consensus strings and the collection motif's logos.
void WriteDatabaseTopResultsListHTML(bestMatchList matchList, int mode, std::int64_t motifNo);
// "HTML_Results_Database_Matching_Global_Matching.html": the same blocks.
void WriteDatabaseTopResultsGlobalListHTML(bestMatchList matchList, int mode, std::int64_t motifNo);

// The table of a motif's consensus strings over its two logos, in motif sections and match blocks
// alike. Joined (dataset reports): one 1000-wide row of label and consensus per orientation. Split
// (database reports): 1200 wide, the two labels in one row and the two consensus strings in the next.
// The logos are those of input motif `number` (prefix 'M') or collection motif `number` ('D').
enum class ConsensusLayout { Joined, Split };
void writeConsensusAndLogoTable(std::ostream& out, const data& motif, std::int64_t number,
                                char logoPrefix = 'M', ConsensusLayout layout = ConsensusLayout::Joined);

}  // namespace korvelan
