// The match blocks of the dataset and database reports: one block per selected match of one query
// motif, appended right after that motif's section.
#pragma once

#include <cstdint>
#include <ostream>

#include "core/records.h"
#include "core/report_files.h"

namespace korvelan {

// The blocks of the report's matches of query motif `motifID` (an input motif), appended to the report
// in the form its row of the report table gives:
// - "Results.txt" and "Results_Global_Matching.txt": heading and value rows, the matched motif's
//   matrices, the alignment picture; "Results_Without_Motif_Details.txt": the consensus strings in
//   place of the matrices.
// - "HTML_Results.html" and "HTML_Global_Matching_Results.html": info table, alignment picture,
//   consensus strings and logos.
// - The database reports show the collection motif instead: its identifier, name and taxon or
//   species, its matrices ("Results_Database_Matching.txt", "..._Global_Matching.txt") or consensus
//   strings ("..._Without_Motif_Details.txt"); their pages link it to its collection page.
// An empty list leaves the report as it was. A motifID naming no input motif throws std::out_of_range
// before the report is opened.
void writeMatchBlocks(ReportId report, const bestMatchList& matchList, std::int64_t motifID);

// The table of a motif's consensus strings over its two logos, in motif sections and match blocks
// alike. Joined (dataset reports): one 1000-wide row of label and consensus per orientation. Split
// (database reports): 1200 wide, the two labels in one row and the two consensus strings in the next.
// The logos are those of input motif `number` (prefix 'M') or collection motif `number` ('D').
enum class ConsensusLayout { Joined, Split };
void writeConsensusAndLogoTable(std::ostream& out, const data& motif, std::int64_t number,
                                char logoPrefix = 'M', ConsensusLayout layout = ConsensusLayout::Joined);

// The named forms of writeMatchBlocks, one per report. `mode` says which part of the report calls
// (2 the top-motif parts, 3 the each-motif and database parts); the blocks are the same for both.
void WriteTopResultsList(const bestMatchList& matchList, int mode, std::int64_t motifID);
void WriteTopResultsListWithoutMotif(const bestMatchList& matchList, int mode, std::int64_t motifID);
void WriteTopResultsGlobalMatchingList(const bestMatchList& matchList, std::int64_t motifID);
void WriteTopResultsListHTML(const bestMatchList& matchList, int mode, std::int64_t motifID);
void WriteTopResultsGlobalMatchingListHTML(const bestMatchList& matchList, std::int64_t motifID);
void WriteDatabaseTopResultsList(const bestMatchList& matchList, int mode, std::int64_t motifNo);
void WriteDatabaseTopResultsListWithoutMotif(const bestMatchList& matchList, int mode, std::int64_t motifNo);
void WriteDatabaseTopResultsGlobalList(const bestMatchList& matchList, int mode, std::int64_t motifNo);
void WriteDatabaseTopResultsListHTML(const bestMatchList& matchList, int mode, std::int64_t motifNo);
void WriteDatabaseTopResultsGlobalListHTML(const bestMatchList& matchList, int mode, std::int64_t motifNo);

}  // namespace korvelan
