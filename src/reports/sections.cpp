// The result parts of the ten dataset and database reports: a part head, then for every listed motif
// its section followed by its match blocks. One writer serves every part and report; what differs
// lies in the report table (core/report_files.h) and in the table of parts below.
#include "reports/sections.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include "core/answers.h"
#include "core/globals.h"
#include "core/motifs.h"
#include "core/report_files.h"
#include "core/report_io.h"
#include "core/utilities.h"
#include "reports/match_blocks.h"
#include "reports/matrix_printout.h"
#include "reports/text_framing.h"

namespace korvelan {
namespace {

using Part = ResultPart;

// What sets the parts apart, in text and HTML.
struct PartLayout {
  bool rankedWalk;  // the first numTopMotif ranked motifs, else every motif in ID order
  // text head
  bool headBlankLineFirst;        // begins with an empty line
  bool starRuleFirst;             // then the star rule
  bool noteBringsStarRule;        // the one-file note puts the star rule first too
  int headRunLeft, headRunRight;  // runs of '*' around the title
  // HTML head
  std::array<const char*, 2> htmlClosingLines;  // before the new box (closing the previous part's)
  bool htmlNoteClosesBox;
  // motif sections
  const char* motifBannerText;
  int motifBannerRun;          // except where the report table gives its own
  int blankLinesWithoutMotif;  // after the motif line of a report without matrices
  bool misspeltReverseLabel;   // "Reserve complement motif" over the second matrix
  const char* htmlFirstTable;
  const char* htmlSeparator;
  ConsensusLayout htmlConsensusLayout;
  bool htmlClosesLogoParagraph;
  const char* htmlBoldTitle;
};

const char* const kEachMotifFirstTable =
    "<table class='sansserif' width='900' border = '0' cellSpacing = '1' cellPadding = '1' >";

const PartLayout& layoutOf(Part part) {
  static const PartLayout global{
      .rankedWalk = true,
      .headBlankLineFirst = true,
      .starRuleFirst = false,
      .noteBringsStarRule = true,
      .headRunLeft = 66,
      .headRunRight = 66,
      .htmlClosingLines = {},
      .htmlNoteClosesBox = true,
      .motifBannerText = " Best Matches for Top Significant Motif ID ",
      .motifBannerRun = 63,
      .blankLinesWithoutMotif = 2,
      .misspeltReverseLabel = false,
      .htmlFirstTable =
          "<table class='sansserif' width='920' border = '0' cellSpacing = '1' cellPadding = '1'>",
      .htmlSeparator = "<br>",
      .htmlConsensusLayout = ConsensusLayout::Joined,
      .htmlClosesLogoParagraph = false,
      .htmlBoldTitle = "<b> Best Matches for Top Significant Motif ID "};
  static const PartLayout globalAndLocal{
      .rankedWalk = true,
      .headBlankLineFirst = true,
      .starRuleFirst = true,
      .noteBringsStarRule = true,
      .headRunLeft = 64,
      .headRunRight = 64,
      .htmlClosingLines = {"</div>", "<br>"},
      .htmlNoteClosesBox = true,
      .motifBannerText = " Best Matches for Significant Motif ID ",
      .motifBannerRun = 0,
      .blankLinesWithoutMotif = 3,
      .misspeltReverseLabel = false,
      .htmlFirstTable =
          "<table class='sansserif' width='920' border = '0' cellSpacing = '1' cellPadding = '1' >",
      .htmlSeparator = "<p>",
      .htmlConsensusLayout = ConsensusLayout::Joined,
      .htmlClosesLogoParagraph = true,
      .htmlBoldTitle = "<b> Best Matches for Significant Motif ID "};
  static const PartLayout eachMotif{.rankedWalk = false,
                                    .headBlankLineFirst = true,
                                    .starRuleFirst = true,
                                    .noteBringsStarRule = true,
                                    .headRunLeft = 70,
                                    .headRunRight = 77,
                                    .htmlClosingLines = {"</div>", "<br>"},
                                    .htmlNoteClosesBox = true,
                                    .motifBannerText = " Best Matches for Motif ID ",
                                    .motifBannerRun = 72,
                                    .blankLinesWithoutMotif = 3,
                                    .misspeltReverseLabel = true,
                                    .htmlFirstTable = kEachMotifFirstTable,
                                    .htmlSeparator = "<p>",
                                    .htmlConsensusLayout = ConsensusLayout::Joined,
                                    .htmlClosesLogoParagraph = true,
                                    .htmlBoldTitle = "<b> Best Matches for Motif ID "};
  // The database parts: each-motif sections under a head of their own. The header leaves no box open,
  // so the leading "</div>" of the page's head has nothing to close.
  static const PartLayout database{.rankedWalk = false,
                                   .headBlankLineFirst = false,
                                   .starRuleFirst = false,
                                   .noteBringsStarRule = false,
                                   .headRunLeft = 70,
                                   .headRunRight = 65,
                                   .htmlClosingLines = {"</div>"},
                                   .htmlNoteClosesBox = false,
                                   .motifBannerText = " Best Matches for Motif ID ",
                                   .motifBannerRun = 72,
                                   .blankLinesWithoutMotif = 3,
                                   .misspeltReverseLabel = true,
                                   .htmlFirstTable = kEachMotifFirstTable,
                                   .htmlSeparator = "<p>",
                                   .htmlConsensusLayout = ConsensusLayout::Split,
                                   .htmlClosesLogoParagraph = true,
                                   .htmlBoldTitle = "<b> Best Matches for Motif ID "};
  switch (part) {
    case Part::GlobalMatching:
      return global;
    case Part::GlobalAndLocal:
      return globalAndLocal;
    case Part::EachMotif:
      return eachMotif;
    default:
      return database;
  }
}

std::string headTitle(Part part) {
  switch (part) {
    case Part::GlobalMatching:
      return " Top " + std::to_string(numTopMotif) +
             " Significant Motifs - Global Matching (Highest to Lowest) ";
    case Part::GlobalAndLocal:
      return " Significant Motifs - Global and Local Matching (Highest to Lowest) ";
    case Part::EachMotif:
      return " Best Matches for Each Motif (Highest to Lowest) ";
    default:
      return " Best Matches in Database for Each Motif (Highest to Lowest) ";
  }
}

// The reports a part goes into: the reports the run chose that hold the part, each written whole
// before the next; the text reports come before the pages, and within each form the reports of output
// type "All" before the global ones (the table lists them the other way round).
std::vector<const ReportFile*> reportsOf(Part part) {
  std::vector<const ReportFile*> reports;
  for (const ReportFile& report : reportFiles())
    if ((report.parts & partBit(part)) != 0 && reportChosen(report)) reports.push_back(&report);
  std::stable_sort(reports.begin(), reports.end(), [](const ReportFile* a, const ReportFile* b) {
    const auto rank = [](const ReportFile* r) {
      return 2 * (r->form == ReportForm::Page) + !r->needsTypeAll;
    };
    return rank(a) < rank(b);
  });
  return reports;
}

// --- part heads ---

void writeTextHead(std::ostream& out, Part part, bool oneFileNote) {
  const PartLayout& layout = layoutOf(part);
  if (layout.headBlankLineFirst) out << '\n';
  if (layout.starRuleFirst || (oneFileNote && layout.noteBringsStarRule)) {
    out << starRule << '\n';
    out << '\n';
  }
  out << std::string(layout.headRunLeft, '*') << headTitle(part) << std::string(layout.headRunRight, '*')
      << '\n';
  out << '\n';
  if (oneFileNote) {
    out << kOneFileNote << '\n';
    out << '\n';
  }
}

void writeHtmlHead(std::ostream& out, Part part, bool oneFileNote) {
  const PartLayout& layout = layoutOf(part);
  for (const char* line : layout.htmlClosingLines)
    if (line != nullptr) out << line << '\n';
  out << "<div class = 'boxed'>\n";
  out << "<h3 class='sansserif'>" << headTitle(part) << "</h3>\n";
  if (oneFileNote) {
    out << "<p class='sansserif'><font size = '2'> " << kOneFileNote << " </font></p>\n";
    if (layout.htmlNoteClosesBox) out << "</div>\n";
  }
}

// --- motif sections ---

void writeMotifBanner(std::ostream& out, Part part, const ReportFile& report, std::int64_t motifID) {
  const PartLayout& layout = layoutOf(part);
  const int run = part == Part::GlobalAndLocal ? report.globalAndLocalBannerRun : layout.motifBannerRun;
  const bool formatAll = textWanted() && pagesWanted();
  const int endRun = run + (report.longerBannerEndInFormatAll && formatAll ? 1 : 0);
  out << std::string(run, '*') << layout.motifBannerText << motifID << " (Highest to Lowest) "
      << std::string(endRun, '*') << '\n';
  out << '\n';
}

void writeTextSection(std::ostream& out, Part part, const ReportFile& report, std::int64_t motifID) {
  const PartLayout& layout = layoutOf(part);
  const data& motif = inputMotif(motifID);
  out << "Dataset #: " << motif.datasetNum << "\t\t"
      << "Motif ID: " << motifID << "\t\t"
      << "Motif name: " << motif.motifName;
  if (report.form == ReportForm::TextWithoutMatrices) {
    out << "\t\t"
        << "Consensus sequence (original motif): " << motif.consensus << "\t\t"
        << "Consensus sequence (reverse complement motif): " << motif.revCompConsensus << '\n';
    for (int i = 0; i < layout.blankLinesWithoutMotif; ++i) out << '\n';
  } else {
    out << '\n';
    out << '\n';
    out << "Original motif\n";
    matrixPrintout(out, motif.matrix);
    out << "Consensus sequence: " << motif.consensus << '\n';
    out << '\n';
    out << (layout.misspeltReverseLabel ? "Reserve complement motif" : "Reverse complement motif") << '\n';
    matrixPrintout(out, motif.revCompMatrix);
    out << "Consensus sequence: " << motif.revCompConsensus << '\n';
    out << '\n';
    out << '\n';
  }
  writeMotifBanner(out, part, report, motifID);
}

void writeHtmlSection(std::ostream& out, Part part, std::int64_t motifID) {
  const PartLayout& layout = layoutOf(part);
  const data& motif = inputMotif(motifID);
  out << layout.htmlFirstTable << '\n';
  out << "<col width= '170'>\n";
  out << "<col width= '150'>\n";
  out << "<col width= '600'>\n";
  out << "<tr>\n";
  out << "<td><b>"
      << "Dataset #: " << motif.datasetNum << "</b></td>\n";
  out << "<td><b>"
      << "Motif ID: " << motifID << "</b></td>\n";
  out << "<td><b>"
      << "Motif name: " << htmlEscape(motif.motifName) << "</b></td>\n";
  out << "</tr>\n";
  out << "</table>\n";
  out << layout.htmlSeparator << '\n';
  writeConsensusAndLogoTable(out, motif, motifID, 'M', layout.htmlConsensusLayout);
  if (layout.htmlClosesLogoParagraph) out << "</p>\n";
  out << "<p class='sansserif'>\n";
  out << layout.htmlBoldTitle << motifID << " (Highest to Lowest) </b>\n";
  out << "</p>\n";
}

// --- the walk ---

const bestMatchList* listOf(const std::vector<bestMatchList>& lists, std::int64_t motifID) {
  return atMotifID(lists, motifID);
}

bool hasMatches(const std::vector<bestMatchList>& lists, std::int64_t motifID) {
  const bestMatchList* list = listOf(lists, motifID);
  return list != nullptr && !list->empty();
}

// The motifs a part lists, in order: the first numTopMotif ranked motifs with matches, or every
// motif with matches in ID order.
std::vector<std::int64_t> motifsOf(Part part, const std::vector<bestMatchList>& lists) {
  std::vector<std::int64_t> motifs;
  if (!layoutOf(part).rankedWalk) {
    for (std::size_t i = 0; i < lists.size(); ++i)
      if (!lists[i].empty()) motifs.push_back(static_cast<std::int64_t>(i) + 1);
    return motifs;
  }
  const auto& ranking =
      part == Part::GlobalMatching ? globalMatchingScoreResultList : commonBestScoreResultList;
  for (const auto& entry : ranking) {
    if (static_cast<std::int64_t>(motifs.size()) >= numTopMotif) break;
    if (hasMatches(lists, entry.motifID)) motifs.push_back(entry.motifID);
  }
  return motifs;
}

// Each chosen report in turn: its head, then every motif's section and, with the file closed again,
// the motif's blocks.
void writePart(Part part, const std::vector<bestMatchList>& lists, bool oneFileNote, bool motifSections) {
  const std::vector<std::int64_t> motifs =
      motifSections ? motifsOf(part, lists) : std::vector<std::int64_t>{};
  for (const ReportFile* report : reportsOf(part)) {
    const bool page = report->form == ReportForm::Page;
    std::ofstream& out = openReport(report->id, OpenMode::Append);
    if (page)
      writeHtmlHead(out, part, oneFileNote);
    else
      writeTextHead(out, part, oneFileNote);
    closeReport(out);

    for (std::int64_t motifID : motifs) {
      openReport(report->id, OpenMode::Append);
      if (page)
        writeHtmlSection(out, part, motifID);
      else
        writeTextSection(out, part, *report, motifID);
      closeReport(out);
      writeMatchBlocks(report->id, *listOf(lists, motifID), motifID);
    }
  }
}

}  // namespace

void writeGlobalMatchingPart(const std::vector<bestMatchList>& globalBestMatchesLists) {
  const bool oneFile = !severalFiles();
  writePart(Part::GlobalMatching, globalBestMatchesLists, oneFile, !oneFile);
}

void writeGlobalAndLocalPart(const std::vector<bestMatchList>& globalAndLocalBestMatchesLists) {
  if (!typeAll()) return;
  writePart(Part::GlobalAndLocal, globalAndLocalBestMatchesLists, false, true);
}

void writeEachMotifPart(const std::vector<bestMatchList>& globalAndLocalBestMatchesLists) {
  if (!typeAll()) return;
  writePart(Part::EachMotif, globalAndLocalBestMatchesLists, false, true);
}

void writeDatabasePart(const std::vector<bestMatchList>& databaseBestMatchesLists) {
  writePart(Part::Database, databaseBestMatchesLists, false, true);
}

void writeDatabaseGlobalPart(const std::vector<bestMatchList>& databaseBestMatchesLists) {
  // With one input file there are no top global motifs, so the note stands alone.
  writePart(Part::DatabaseGlobal, databaseBestMatchesLists, !severalFiles(), true);
}

}  // namespace korvelan
