// The bodies of the three combined-motif reports: per merge chain a title, a table of the accepted
// steps (names, orientations, consensus strings of both motifs and of the combined motif), and every
// step's placement with its two alignment lines.
#include <algorithm>
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

struct CombinedReport {
  ReportId file;
  std::vector<mergeChain> RunState::*chains;
  int starsBefore;
  const char* titleBefore;  // the title up to the top motif's ID
  int starsAfter;
};

const CombinedReport kGlobal{.file = ReportId::CombinedMatrixGlobal,
                             .chains = &RunState::mergedMotifGlobalMatching,
                             .starsBefore = 60,
                             .titleBefore = " Combined Motifs for Top Global Significant Motif ID ",
                             .starsAfter = 59};
const CombinedReport kGlobalAndLocal{
    .file = ReportId::CombinedMatrixGlobalAndLocal,
    .chains = &RunState::mergedMotifGlobalAndLocalMatching,
    .starsBefore = 55,
    .titleBefore = " Combined Motifs for Top Global and Local Significant Motif ID ",
    .starsAfter = 54};
const CombinedReport kBestMatches{.file = ReportId::CombinedMatrixBestMatches,
                                  .chains = &RunState::mergedMotifBestMatches,
                                  .starsBefore = 63,
                                  .titleBefore = " Combined Motifs for Top Best Match Motif ID ",
                                  .starsAfter = 62};

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

void writeChain(std::ostream& out, const CombinedReport& report, const Widths& w, const mergeChain& chain) {
  const bool anyAccepted =
      std::any_of(chain.begin(), chain.end(), [](const combinedMatrices& e) { return e.mergedFlag == "Y"; });
  if (!anyAccepted) {
    out << '\n';
    return;
  }
  out << std::string(static_cast<std::size_t>(report.starsBefore), '*') << report.titleBefore
      << chain.front().firstMotifID << " and Its Best Matches "
      << std::string(static_cast<std::size_t>(report.starsAfter), '*') << '\n';
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

void writeCombinedMotifs(const CombinedReport& report) {
  std::ofstream& out = openReport(report.file, OpenMode::Append);
  const std::vector<mergeChain>& chains = runState.*report.chains;
  const Widths widths = widthsOf(chains);
  for (const mergeChain& chain : chains) writeChain(out, report, widths, chain);
  closeReport(out);
}

}  // namespace

void WriteCombinedMotifsGlobal() {
  writeCombinedMotifs(kGlobal);
}
void WriteCombinedMotifsGlobalAndLocal() {
  writeCombinedMotifs(kGlobalAndLocal);
}
void WriteCombinedMotifsBestMatches() {
  writeCombinedMotifs(kBestMatches);
}

}  // namespace korvelan
