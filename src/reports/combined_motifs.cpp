// The bodies of the three combined-motif reports: per merge chain a title, a table of the accepted
// steps (names, orientations, consensus strings of both motifs and of the combined motif), and every
// step's placement with its two alignment lines.
#include "reports/combined_motifs.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <iomanip>
#include <string>
#include <string_view>
#include <vector>

#include "core/consensus.h"
#include "core/globals.h"
#include "core/report_files.h"
#include "core/report_io.h"
#include "reports/framing.h"
#include "reports/text_framing.h"

namespace korvelan {
namespace {

// clang-format off
constexpr std::array<CombinedList, 3> kLists = {{
    {.id = CombinedListId::Global, .groups = &RunState::topGlobalMatchingResults, .everyType = true,
     .working = &RunState::mergedMotifList, .chains = &RunState::mergedMotifGlobalMatching,
     .report = ReportId::CombinedMatrixGlobal,
     .starsBefore = 60, .title = " Combined Motifs for Top Global Significant Motif ID ", .starsAfter = 59},
    {.id = CombinedListId::GlobalAndLocal, .groups = &RunState::topGlobalAndLocalMatchingResults,
     .everyType = false, .working = &RunState::mergedMotifListGlobalAndLocal,
     .chains = &RunState::mergedMotifGlobalAndLocalMatching, .report = ReportId::CombinedMatrixGlobalAndLocal,
     .starsBefore = 55, .title = " Combined Motifs for Top Global and Local Significant Motif ID ",
     .starsAfter = 54},
    {.id = CombinedListId::BestMatches, .groups = &RunState::topBestMatchesResults, .everyType = false,
     .working = &RunState::mergedMotifListBestMatches, .chains = &RunState::mergedMotifBestMatches,
     .report = ReportId::CombinedMatrixBestMatches,
     .starsBefore = 63, .title = " Combined Motifs for Top Best Match Motif ID ", .starsAfter = 62},
}};
// clang-format on
static_assert(kLists[0].id == CombinedListId::Global && kLists[1].id == CombinedListId::GlobalAndLocal &&
              kLists[2].id == CombinedListId::BestMatches);

// The seven column widths: the five variable ones fit the longest value of any entry of any chain
// (at least 14) plus 5; the two format columns are fixed.
struct Widths {
  int firstName, secondName, firstFormat = 23, secondFormat = 23, firstMotif, secondMotif, combined;
};

int widthFor(std::size_t longest) {
  return static_cast<int>(std::max<std::size_t>(longest, 14)) + 5;
}

Widths widthsOf(const std::vector<mergeChain>& chains) {
  std::size_t names[2] = {0, 0}, motifs[3] = {0, 0, 0};
  for (const mergeChain& chain : chains)
    for (const combinedMatrices& entry : chain) {
      names[0] = std::max(names[0], entry.firstMotifName.size());
      names[1] = std::max(names[1], entry.secondMotifName.size());
      motifs[0] = std::max(motifs[0], entry.firstMotifMatrix.size());
      motifs[1] = std::max(motifs[1], entry.secondMotifMatrix.size());
      motifs[2] = std::max(motifs[2], entry.combinedMotifMatrix.size());
    }
  return Widths{.firstName = widthFor(names[0]),
                .secondName = widthFor(names[1]),
                .firstMotif = widthFor(motifs[0]),
                .secondMotif = widthFor(motifs[1]),
                .combined = widthFor(motifs[2])};
}

void writeRow(std::ostream& out, const Widths& w, std::string_view firstName, std::string_view secondName,
              std::string_view firstFormat, std::string_view secondFormat, std::string_view firstMotif,
              std::string_view secondMotif, std::string_view combined) {
  out << std::left << std::setw(w.firstName) << firstName << std::setw(w.secondName) << secondName
      << std::setw(w.firstFormat) << firstFormat << std::setw(w.secondFormat) << secondFormat
      << std::setw(w.firstMotif) << firstMotif << std::setw(w.secondMotif) << secondMotif
      << std::setw(w.combined) << combined << '\n';
}

void writeChain(std::ostream& out, const CombinedList& list, const Widths& w, const mergeChain& chain) {
  const bool anyAccepted =
      std::any_of(chain.begin(), chain.end(), [](const combinedMatrices& e) { return e.mergedFlag == "Y"; });
  if (!anyAccepted) {
    out << '\n';
    return;
  }
  out << std::string(static_cast<std::size_t>(list.starsBefore), '*') << list.title << chain.front().firstMotifID
      << " and Its Best Matches " << std::string(static_cast<std::size_t>(list.starsAfter), '*') << '\n';
  out << '\n';
  out << kDashRule << '\n';
  writeRow(out, w, "1st motif name", "2nd motif name", "1st format", "2nd format", "1st motif", "2nd motif",
           "Combined motif");
  out << kDashRule << '\n';
  for (const combinedMatrices& entry : chain) {
    if (entry.mergedFlag == "Y")
      writeRow(out, w, entry.firstMotifName, entry.secondMotifName, entry.firstMatchingFormat,
               entry.secondMatchingFormat, getConsensusString(entry.firstMotifMatrix),
               getConsensusString(entry.secondMotifMatrix), getConsensusString(entry.combinedMotifMatrix));
    out << '\n';
    out << "Direction: " << entry.direction << "\t\tPosition #: " << entry.position
        << "\t\tOverlap #: " << entry.numOverlap << '\n';
    out << "Alignment:\n";
    out << entry.firstAlignment << '\n';
    out << entry.secondAlignment << '\n';
    out << kDashRule << '\n';
  }
  out << '\n';
}

}  // namespace

const std::array<CombinedList, 3>& combinedLists() {
  return kLists;
}

const CombinedList& combinedList(CombinedListId id) {
  return kLists[static_cast<std::size_t>(id)];
}

void writeCombinedMotifs(const CombinedList& list) {
  std::ofstream& out = openReport(list.report, OpenMode::Append);
  const std::vector<mergeChain>& chains = runState.*list.chains;
  const Widths widths = widthsOf(chains);
  for (const mergeChain& chain : chains) writeChain(out, list, widths, chain);
  closeReport(out);
}

void WriteCombinedMotifsGlobal() {
  writeCombinedMotifs(combinedList(CombinedListId::Global));
}
void WriteCombinedMotifsGlobalAndLocal() {
  writeCombinedMotifs(combinedList(CombinedListId::GlobalAndLocal));
}
void WriteCombinedMotifsBestMatches() {
  writeCombinedMotifs(combinedList(CombinedListId::BestMatches));
}

}  // namespace korvelan
