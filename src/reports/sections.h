// The result parts of the ten dataset and database reports, which the result-selection stages of the
// run (driver/result_stages.h) write between the selection steps. Element k - 1 of a best-match
// vector is the bestMatchList of motif ID k.
#pragma once

#include <vector>

#include "core/records.h"

namespace korvelan {

// After the global ranking (globalMatchingScoreResultList sorted); with one input file (numFile < 2)
// it writes the one-file note instead and the argument is empty.
void writeGlobalMatchingPart(const std::vector<bestMatchList>& globalBestMatchesLists);
// Output type "All": after the global-and-local ranking (commonBestScoreResultList sorted).
void writeGlobalAndLocalPart(const std::vector<bestMatchList>& globalAndLocalBestMatchesLists);
// Output type "All": directly after the global-and-local part.
void writeEachMotifPart(const std::vector<bestMatchList>& globalAndLocalBestMatchesLists);

// The database part of the three reports of every input motif against the collection, and of the two
// reports of the top global motifs against it (with one input file: its head and the one-file note).
// Every motif with matches gets a section and its blocks, in motif-ID order.
void writeDatabasePart(const std::vector<bestMatchList>& databaseBestMatchesLists);
void writeDatabaseGlobalPart(const std::vector<bestMatchList>& databaseBestMatchesLists);

}  // namespace korvelan
