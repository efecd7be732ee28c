#include "reports/matrix_printout.h"

#include <iomanip>

namespace korvelan {

void matrixPrintout(std::ostream& out, const motifMatrix& matrix) {
  for (const auto& row : matrix) {
    for (double value : row) out << std::setw(12) << std::setprecision(6) << std::left << std::fixed << value;
    out << '\n';
  }
}

}  // namespace korvelan
