// The merged matrix of two aligned motifs and the two text lines that show their alignment. Both read
// a scan record's placement (order flag, direction, position, overlap) through the same cases: start
// (no shift), containment (one motif inside the other) and overhang.
#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>

#include "core/consensus.h"
#include "merge/merge.h"
#include "merge/merge_internal.h"

namespace korvelan {
namespace {

using Int = std::int64_t;  // wide enough that no placement arithmetic overflows

enum class Case { Start, Containment, Overhang };
enum class Flag { Any, Y, Other };
enum class Lengths { Any, Shorter, Equal, Longer, NotShorter };  // lenA against lenB

struct Placement {
  Int lenA, lenB, s, ov, L;  // s = position - 1, L = lenA + lenB - ov
  bool forward, flagY;
  Case kind;
};

// Sorts a record's placement into its case; false when it has none (the rows cannot fit).
bool placementOf(Int lenA, Int lenB, std::string_view scanOrderFlag, std::string_view direction, Int position,
                 Int numOverlap, Placement& p) {
  p = Placement{.lenA = lenA,
                .lenB = lenB,
                .s = position - 1,
                .ov = numOverlap,
                .L = lenA + lenB - numOverlap,
                .forward = direction == "Forward",
                .flagY = scanOrderFlag == "Y",
                .kind = Case::Start};
  if (position <= 1) return true;
  const Int longer = std::max(lenA, lenB);
  if (p.L < longer) return false;
  p.kind = p.L == longer ? Case::Containment : Case::Overhang;
  return true;
}

bool matches(const Placement& p, Case kind, Flag flag, Lengths lengths) {
  if (p.kind != kind) return false;
  if ((flag == Flag::Y && !p.flagY) || (flag == Flag::Other && p.flagY)) return false;
  switch (lengths) {
    case Lengths::Any:
      return true;
    case Lengths::Shorter:
      return p.lenA < p.lenB;
    case Lengths::Equal:
      return p.lenA == p.lenB;
    case Lengths::Longer:
      return p.lenA > p.lenB;
    case Lengths::NotShorter:
      return p.lenA >= p.lenB;
  }
  return false;
}

// --- the merged matrix ---

// One run of result rows: rows from .. to of A or B copied, or count average rows of A[a + k] and
// B[b + k].
struct Run {
  enum Kind { None, CopyA, CopyB, Average } kind = None;
  Int a = 0, b = 0, count = 0;
};
Run copyA(Int from, Int to) {
  return {Run::CopyA, from, 0, to - from + 1};
}
Run copyB(Int from, Int to) {
  return {Run::CopyB, 0, from, to - from + 1};
}
Run average(Int a, Int b, Int count) {
  return {Run::Average, a, b, count};
}

using Runs = std::array<Run, 3>;

struct MergeCase {
  bool forward;
  Case kind;
  Flag flag;
  Lengths lengths;
  Runs (*runs)(const Placement&);
};

// clang-format off
const MergeCase kMergeCases[] = {
    // Forward
    {.forward = true, .kind = Case::Start, .flag = Flag::Any, .lengths = Lengths::Shorter,
     .runs = [](const Placement& p) -> Runs {
       return {average(0, 0, p.lenA), copyB(p.ov, p.lenB - 1)};
     }},
    {.forward = true, .kind = Case::Start, .flag = Flag::Any, .lengths = Lengths::Equal,
     .runs = [](const Placement& p) -> Runs {
       return {average(0, 0, p.lenA)};
     }},
    {.forward = true, .kind = Case::Start, .flag = Flag::Any, .lengths = Lengths::Longer,
     .runs = [](const Placement& p) -> Runs {
       return {average(0, 0, p.lenB), copyA(p.ov, p.lenA - 1)};
     }},
    {.forward = true, .kind = Case::Containment, .flag = Flag::Any, .lengths = Lengths::Shorter,
     .runs = [](const Placement& p) -> Runs {
       return {copyB(0, p.s - 1), average(0, p.s, p.lenA), copyB(p.s + p.lenA, p.lenB - 1)};
     }},
    {.forward = true, .kind = Case::Containment, .flag = Flag::Any, .lengths = Lengths::Equal,
     .runs = [](const Placement& p) -> Runs {
       return {average(0, 0, p.lenA)};
     }},
    {.forward = true, .kind = Case::Containment, .flag = Flag::Any, .lengths = Lengths::Longer,
     .runs = [](const Placement& p) -> Runs {
       return {copyA(0, p.s - 1), average(p.s, 0, p.lenB), copyA(p.s + p.lenB, p.lenA - 1)};
     }},
    {.forward = true, .kind = Case::Overhang, .flag = Flag::Y, .lengths = Lengths::Any,
     .runs = [](const Placement& p) -> Runs {
       return {copyB(0, p.s - 1), average(0, p.s, p.ov), copyA(p.ov, p.lenA - 1)};
     }},
    {.forward = true, .kind = Case::Overhang, .flag = Flag::Other, .lengths = Lengths::NotShorter,
     .runs = [](const Placement& p) -> Runs {
       return {copyA(0, p.s - 1), average(p.s, 0, p.ov), copyB(p.ov, p.lenB - 1)};
     }},
    {.forward = true, .kind = Case::Overhang, .flag = Flag::Other, .lengths = Lengths::Shorter,
     .runs = [](const Placement& p) -> Runs {
       return {copyA(0, p.s - 1), average(p.s, 0, p.lenA - p.s), copyB(p.lenA - p.s, p.lenB - 1)};
     }},
    // Backward
    {.forward = false, .kind = Case::Start, .flag = Flag::Any, .lengths = Lengths::Shorter,
     .runs = [](const Placement& p) -> Runs {
       return {copyB(0, p.lenB - p.ov - 1), average(0, p.lenB - p.ov, p.ov)};
     }},
    {.forward = false, .kind = Case::Start, .flag = Flag::Any, .lengths = Lengths::Equal,
     .runs = [](const Placement& p) -> Runs {
       return {average(0, 0, p.lenA)};
     }},
    {.forward = false, .kind = Case::Start, .flag = Flag::Any, .lengths = Lengths::Longer,
     .runs = [](const Placement& p) -> Runs {
       return {copyA(0, p.lenA - p.ov - 1), average(p.lenA - p.ov, 0, p.ov)};
     }},
    {.forward = false, .kind = Case::Containment, .flag = Flag::Any, .lengths = Lengths::Shorter,
     .runs = [](const Placement& p) -> Runs {
       return {copyB(0, p.lenB - p.lenA - p.s - 1), average(0, p.lenB - p.lenA - p.s, p.lenA),
                copyB(p.lenB - p.s, p.lenB - 1)};
     }},
    {.forward = false, .kind = Case::Containment, .flag = Flag::Any, .lengths = Lengths::Equal,
     .runs = [](const Placement& p) -> Runs {
       return {average(0, 0, p.lenA)};
     }},
    {.forward = false, .kind = Case::Containment, .flag = Flag::Any, .lengths = Lengths::Longer,
     .runs = [](const Placement& p) -> Runs {
       return {copyA(0, p.lenA - p.lenB - p.s - 1), average(p.lenA - p.lenB - p.s, 0, p.lenB),
                copyA(p.lenA - p.s, p.lenA - 1)};
     }},
    {.forward = false, .kind = Case::Overhang, .flag = Flag::Y, .lengths = Lengths::NotShorter,
     .runs = [](const Placement& p) -> Runs {
       return {copyA(0, p.lenA - p.ov - 1), average(p.lenA - p.ov, 0, p.ov), copyB(p.lenB - p.s, p.lenB - 1)};
     }},
    {.forward = false, .kind = Case::Overhang, .flag = Flag::Y, .lengths = Lengths::Shorter,
     .runs = [](const Placement& p) -> Runs {
       return {copyA(0, p.lenA - p.ov - 1), average(p.lenA - p.ov, p.lenB - p.s - p.ov, p.ov),
                copyB(p.lenB - p.s, p.lenB - 1)};
     }},
    {.forward = false, .kind = Case::Overhang, .flag = Flag::Other, .lengths = Lengths::Shorter,
     .runs = [](const Placement& p) -> Runs {
       return {copyB(0, p.lenB - p.ov - 1), average(0, p.lenB - p.ov, p.ov), copyA(p.ov, p.lenA - 1)};
     }},
    {.forward = false, .kind = Case::Overhang, .flag = Flag::Other, .lengths = Lengths::NotShorter,
     .runs = [](const Placement& p) -> Runs {
       return {copyB(0, p.lenB - p.ov - 1), average(0, p.lenB - p.ov, p.ov), copyA(p.lenA - p.s, p.lenA - 1)};
     }},
};
// clang-format on

bool rowsExist(Int from, Int count, Int length) {
  return from >= 0 && from + count <= length;
}

double valueAt(const std::vector<double>& row, std::size_t x) {
  return x < row.size() ? row[x] : 0.0;
}

// --- the alignment text ---

// Where a consensus goes on its line: from the line's start or so that it ends at the line's end,
// each moved in by the shift or not. A whole-line consensus is one from the start.
enum class Place { Head, HeadShifted, Tail, TailShifted };

struct AlignCase {
  bool forward;
  Case kind;
  Flag flag;
  Lengths lengths;
  Place first, second;
};

// clang-format off
const AlignCase kAlignCases[] = {
    {.forward = true, .kind = Case::Start, .flag = Flag::Any, .lengths = Lengths::Any,
     .first = Place::Head, .second = Place::Head},
    {.forward = true, .kind = Case::Containment, .flag = Flag::Any, .lengths = Lengths::Shorter,
     .first = Place::HeadShifted, .second = Place::Head},
    {.forward = true, .kind = Case::Containment, .flag = Flag::Any, .lengths = Lengths::Longer,
     .first = Place::Head, .second = Place::HeadShifted},
    {.forward = true, .kind = Case::Containment, .flag = Flag::Any, .lengths = Lengths::Equal,
     .first = Place::Head, .second = Place::Head},
    {.forward = true, .kind = Case::Overhang, .flag = Flag::Y, .lengths = Lengths::Any,
     .first = Place::HeadShifted, .second = Place::Head},
    {.forward = true, .kind = Case::Overhang, .flag = Flag::Other, .lengths = Lengths::Any,
     .first = Place::Head, .second = Place::HeadShifted},
    {.forward = false, .kind = Case::Start, .flag = Flag::Any, .lengths = Lengths::Any,
     .first = Place::Tail, .second = Place::Tail},
    {.forward = false, .kind = Case::Containment, .flag = Flag::Any, .lengths = Lengths::Shorter,
     .first = Place::TailShifted, .second = Place::Head},
    {.forward = false, .kind = Case::Containment, .flag = Flag::Any, .lengths = Lengths::Longer,
     .first = Place::Head, .second = Place::TailShifted},
    {.forward = false, .kind = Case::Containment, .flag = Flag::Any, .lengths = Lengths::Equal,
     .first = Place::Head, .second = Place::Head},
    {.forward = false, .kind = Case::Overhang, .flag = Flag::Y, .lengths = Lengths::Any,
     .first = Place::TailShifted, .second = Place::Tail},
    {.forward = false, .kind = Case::Overhang, .flag = Flag::Other, .lengths = Lengths::Any,
     .first = Place::Tail, .second = Place::TailShifted},
};
// clang-format on

// Writes the letters of `text` that fall inside `line` when its first letter goes to index `at`.
void placeOn(std::string& line, const std::string& text, Int at) {
  const Int size = static_cast<Int>(line.size());
  for (Int k = std::max<Int>(0, -at); k < static_cast<Int>(text.size()) && at + k < size; ++k)
    line[static_cast<std::size_t>(at + k)] = text[static_cast<std::size_t>(k)];
}

Int startOf(Place place, const Placement& p, Int length) {
  switch (place) {
    case Place::Head:
      return 0;
    case Place::HeadShifted:
      return p.s;
    case Place::Tail:
      return p.L - length;
    case Place::TailShifted:
      return p.L - p.s - length;
  }
  return 0;
}

}  // namespace

motifMatrix combinedTwoMatrices(const motifMatrix& firstMatrix, const motifMatrix& secondMatrix,
                                std::string_view scanOrderFlag, std::string_view direction,
                                std::int32_t position, std::int32_t numOverlap) {
  const motifMatrix& A = firstMatrix;
  const motifMatrix& B = secondMatrix;
  Placement p;
  if (!placementOf(static_cast<Int>(A.size()), static_cast<Int>(B.size()), scanOrderFlag, direction, position,
                   numOverlap, p))
    return {};
  const MergeCase* chosen = nullptr;
  for (const MergeCase& c : kMergeCases)
    if (c.forward == p.forward && matches(p, c.kind, c.flag, c.lengths)) {
      chosen = &c;
      break;
    }
  if (chosen == nullptr) return {};
  const Runs runs = chosen->runs(p);

  // A record that does not fit the two matrices would name rows they lack: no merge then.
  Int total = 0;
  for (const Run& run : runs) {
    if (run.kind == Run::None || run.count <= 0) continue;
    const bool fits = run.kind == Run::CopyA ? rowsExist(run.a, run.count, p.lenA)
                      : run.kind == Run::CopyB
                          ? rowsExist(run.b, run.count, p.lenB)
                          : rowsExist(run.a, run.count, p.lenA) && rowsExist(run.b, run.count, p.lenB);
    if (!fits) return {};
    total += run.count;
  }

  motifMatrix merged;
  merged.reserve(static_cast<std::size_t>(total));
  for (const Run& run : runs) {
    for (Int k = 0; k < run.count; ++k) {
      const auto a = static_cast<std::size_t>(run.a + k), b = static_cast<std::size_t>(run.b + k);
      switch (run.kind) {
        case Run::CopyA:
          merged.push_back(A[a]);
          break;
        case Run::CopyB:
          merged.push_back(B[b]);
          break;
        case Run::Average: {
          std::vector<double> row(4);
          for (std::size_t x = 0; x < 4; ++x) row[x] = (valueAt(A[a], x) + valueAt(B[b], x)) * 0.5;
          merged.push_back(std::move(row));
          break;
        }
        case Run::None:
          break;
      }
    }
  }
  return merged;
}

std::optional<MergeStarts> mergeStarts(std::int64_t lenA, std::int64_t lenB, std::string_view scanOrderFlag,
                                       std::string_view direction, std::int32_t position, std::int32_t numOverlap) {
  Placement p;
  if ((direction != "Forward" && direction != "Backward") ||
      !placementOf(lenA, lenB, scanOrderFlag, direction, position, numOverlap, p))
    return std::nullopt;
  for (const AlignCase& c : kAlignCases)
    if (c.forward == p.forward && matches(p, c.kind, c.flag, c.lengths))
      return MergeStarts{.first = startOf(c.first, p, lenA), .second = startOf(c.second, p, lenB)};
  return std::nullopt;
}

std::string alignTwoMatrices(const motifMatrix& firstMatrix, const motifMatrix& secondMatrix,
                             std::string_view scanOrderFlag, std::string_view direction,
                             std::int32_t position, std::int32_t numOverlap) {
  const Int lenA = static_cast<Int>(firstMatrix.size()), lenB = static_cast<Int>(secondMatrix.size());
  const Int L = std::max<Int>(0, lenA + lenB - numOverlap);
  std::string line1(static_cast<std::size_t>(L), '-'), line2 = line1;
  if (const auto starts = mergeStarts(lenA, lenB, scanOrderFlag, direction, position, numOverlap)) {
    placeOn(line1, getConsensusString(firstMatrix), starts->first);
    placeOn(line2, getConsensusString(secondMatrix), starts->second);
  }
  return line1 + "_" + line2;
}

}  // namespace korvelan
