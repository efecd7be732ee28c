// The two-line picture of one kept alignment that every match block prints: the matched motif's
// consensus over the query motif's, each in the orientation the alignment scored and shifted into
// place with '-'.
#pragma once

#include <string>

#include "core/records.h"

namespace korvelan {

// Where a record comes from decides how its listing and its formats relate to the query motif:
// - Dataset: the query is listed first (its group holds the record); the formats follow scan order,
//   so the query's format is the first one only when the record is in scan order (flag "Y").
// - Database: the input (query) motif is always the scan's first motif, so its format is always the
//   first one; it is listed first only when the flag is "Y", the collection motif otherwise.
enum class RecordSource { Dataset, Database };

struct AlignmentPicture {
  std::string matchedLine;  // printed first
  std::string queryLine;    // printed second
};

// Draws `record` with `query` the motif whose matches are listed and `matched` its partner. The motif
// the record lists first is the placed one: "Forward" puts its first position on the other's
// `position`-th from the start, "Backward" its last on the other's `position`-th from the end; the
// width is the two lengths less `numOverlap`. Dash counts at or below zero write no dash. Lengths are
// those of the plain consensus strings. A direction other than "Forward"/"Backward" draws nothing.
AlignmentPicture alignmentPicture(const dataCombinedScore& record, const data& query, const data& matched,
                                  RecordSource source);

}  // namespace korvelan
