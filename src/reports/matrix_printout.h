// The text-report form of a motif matrix.
#pragma once

#include <ostream>

#include "core/records.h"

namespace korvelan {

// One line per position: the four values, each left-adjusted in 12 characters in fixed notation with
// six decimals, then a flushed line end. Fixed notation, precision 6 and left adjustment stay set on
// the stream, so every later number of that report prints the same way. No rows: writes nothing and
// leaves the stream as it was.
void matrixPrintout(std::ostream& out, const motifMatrix& matrix);

}  // namespace korvelan
