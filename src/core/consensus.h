// The two derived forms of a motif matrix: its IUPAC consensus and the matrix used as its reverse
// complement.
#pragma once

#include <string>

#include "core/records.h"

namespace korvelan {

// One IUPAC letter per row. Touches no shared state, so any thread may call it.
std::string getConsensusString(motifMatrix matrix);

// Rows in reverse order; in each row only the complementary pair (A-T or C-G) that holds the row's
// first largest value is exchanged. This is the system's own rule, not the biological complement.
motifMatrix getRevCompMotif(motifMatrix matrix);

}  // namespace korvelan
