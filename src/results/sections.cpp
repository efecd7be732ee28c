// The result parts of the five dataset reports: a part head, then for every listed motif its section
// followed by its match blocks. One writer serves every report; the table below holds what differs.
#include "results/sections.h"

#include <array>
#include <cstdint>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include "core/answers.h"
#include "core/globals.h"
#include "core/motifs.h"
#include "core/report_io.h"
#include "core/utilities.h"
#include "reports/match_blocks.h"
#include "reports/matrix_printout.h"
#include "reports/text_framing.h"

namespace korvelan {
namespace {

enum class Part { GlobalMatching, GlobalAndLocal, EachMotif };
enum class Form { TextWithMatrices, TextWithoutMotif, Html };

using BlockWriter = void (*)(const bestMatchList& list, int mode, std::int64_t motifID);

struct DatasetReport {
  ReportId file;
  Form form;
  bool globalMatchingOnly;        // holds the global-matching part alone
  bool withEachMotifMisspelling;  // "Reserve complement motif" in its each-motif sections
  int globalAndLocalBannerRun;    // run of '*' around the global-and-local motif banner
  BlockWriter blocks;
};

// In the order the files of one part are written.
const std::array<DatasetReport, 5> kReports{{
    {.file = ReportId::Results,
     .form = Form::TextWithMatrices,
     .globalMatchingOnly = false,
     .withEachMotifMisspelling = true,
     .globalAndLocalBannerRun = 67,
     .blocks = [](const bestMatchList& l, int mode, std::int64_t p) { WriteTopResultsList(l, mode, p); }},
    {.file = ReportId::ResultsWithoutMotif,
     .form = Form::TextWithoutMotif,
     .globalMatchingOnly = false,
     .withEachMotifMisspelling = false,
     .globalAndLocalBannerRun = 62,
     .blocks = [](const bestMatchList& l, int mode,
                  std::int64_t p) { WriteTopResultsListWithoutMotif(l, mode, p); }},
    {.file = ReportId::GlobalMatching,
     .form = Form::TextWithMatrices,
     .globalMatchingOnly = true,
     .withEachMotifMisspelling = false,
     .globalAndLocalBannerRun = 0,
     .blocks = [](const bestMatchList& l, int, std::int64_t p) { WriteTopResultsGlobalMatchingList(l, p); }},
    {.file = ReportId::HTMLResults,
     .form = Form::Html,
     .globalMatchingOnly = false,
     .withEachMotifMisspelling = false,
     .globalAndLocalBannerRun = 0,
     .blocks = [](const bestMatchList& l, int mode, std::int64_t p) { WriteTopResultsListHTML(l, mode, p); }},
    {.file = ReportId::HTMLGlobalMatching,
     .form = Form::Html,
     .globalMatchingOnly = true,
     .withEachMotifMisspelling = false,
     .globalAndLocalBannerRun = 0,
     .blocks = [](const bestMatchList& l, int, std::int64_t p) { WriteTopResultsGlobalMatchingListHTML(l, p); }},
}};

// What sets the three parts apart, in text and HTML.
struct PartLayout {
  int mode;                       // handed to the block writers
  bool starRuleFirst;             // text head begins with the star rule
  int headRunLeft, headRunRight;  // runs of '*' around the text head's title
  const char* motifBannerText;
  int motifBannerRun;             // except where the report table gives its own
  int blankLinesWithoutMotif;     // after the motif line of the report without matrices
  bool htmlClosesPrevious;        // head begins by closing the previous part's box
  const char* htmlFirstTable;
  const char* htmlSeparator;
  bool htmlClosesLogoParagraph;
  const char* htmlBoldTitle;
};

const PartLayout& layoutOf(Part part) {
  static const PartLayout global{
      .mode = 2,
      .starRuleFirst = false,
      .headRunLeft = 66,
      .headRunRight = 66,
      .motifBannerText = " Best Matches for Top Significant Motif ID ",
      .motifBannerRun = 63,
      .blankLinesWithoutMotif = 2,
      .htmlClosesPrevious = false,
      .htmlFirstTable = "<table class='sansserif' width='920' border = '0' cellSpacing = '1' cellPadding = '1'>",
      .htmlSeparator = "<br>",
      .htmlClosesLogoParagraph = false,
      .htmlBoldTitle = "<b> Best Matches for Top Significant Motif ID "};
  static const PartLayout globalAndLocal{
      .mode = 2,
      .starRuleFirst = true,
      .headRunLeft = 64,
      .headRunRight = 64,
      .motifBannerText = " Best Matches for Significant Motif ID ",
      .motifBannerRun = 0,
      .blankLinesWithoutMotif = 3,
      .htmlClosesPrevious = true,
      .htmlFirstTable = "<table class='sansserif' width='920' border = '0' cellSpacing = '1' cellPadding = '1' >",
      .htmlSeparator = "<p>",
      .htmlClosesLogoParagraph = true,
      .htmlBoldTitle = "<b> Best Matches for Significant Motif ID "};
  static const PartLayout eachMotif{
      .mode = 3,
      .starRuleFirst = true,
      .headRunLeft = 70,
      .headRunRight = 77,
      .motifBannerText = " Best Matches for Motif ID ",
      .motifBannerRun = 72,
      .blankLinesWithoutMotif = 3,
      .htmlClosesPrevious = true,
      .htmlFirstTable = "<table class='sansserif' width='900' border = '0' cellSpacing = '1' cellPadding = '1' >",
      .htmlSeparator = "<p>",
      .htmlClosesLogoParagraph = true,
      .htmlBoldTitle = "<b> Best Matches for Motif ID "};
  switch (part) {
    case Part::GlobalMatching: return global;
    case Part::GlobalAndLocal: return globalAndLocal;
    default: return eachMotif;
  }
}

std::string headTitle(Part part) {
  switch (part) {
    case Part::GlobalMatching:
      return " Top " + std::to_string(numTopMotif) + " Significant Motifs - Global Matching (Highest to Lowest) ";
    case Part::GlobalAndLocal: return " Significant Motifs - Global and Local Matching (Highest to Lowest) ";
    default: return " Best Matches for Each Motif (Highest to Lowest) ";
  }
}

const char* const kOneFileNote = "There is no global matching for 1 motif file.";

// The reports a part goes into, by output type and format; a format outside the four selects none.
bool partGoesTo(Part part, const DatasetReport& report) {
  const bool formatFits = report.form == Form::Html ? pagesWanted() : textWanted();
  if (!formatFits) return false;
  if (part == Part::GlobalMatching) return typeAll() || report.globalMatchingOnly;
  return !report.globalMatchingOnly;
}

// --- part heads ---

void writeTextHead(std::ostream& out, Part part, bool oneFileNote) {
  const PartLayout& layout = layoutOf(part);
  out << std::endl;
  if (layout.starRuleFirst || oneFileNote) {
    out << starRule << std::endl;
    out << std::endl;
  }
  out << std::string(layout.headRunLeft, '*') << headTitle(part) << std::string(layout.headRunRight, '*')
      << std::endl;
  out << std::endl;
  if (oneFileNote) {
    out << kOneFileNote << std::endl;
    out << std::endl;
  }
}

void writeHtmlHead(std::ostream& out, Part part, bool oneFileNote) {
  const PartLayout& layout = layoutOf(part);
  if (layout.htmlClosesPrevious) {
    out << "</div>" << std::endl;
    out << "<br>" << std::endl;
  }
  out << "<div class = 'boxed'>" << std::endl;
  out << "<h3 class='sansserif'>" << headTitle(part) << "</h3>" << std::endl;
  if (oneFileNote) {
    out << "<p class='sansserif'><font size = '2'> " << kOneFileNote << " </font></p>" << std::endl;
    out << "</div>" << std::endl;
  }
}

// --- motif sections ---

void writeMotifBanner(std::ostream& out, Part part, const DatasetReport& report, std::int64_t motifID) {
  const PartLayout& layout = layoutOf(part);
  const int run = part == Part::GlobalAndLocal ? report.globalAndLocalBannerRun : layout.motifBannerRun;
  const std::string stars(run, '*');
  out << stars << layout.motifBannerText << motifID << " (Highest to Lowest) " << stars << std::endl;
  out << std::endl;
}

void writeTextSection(std::ostream& out, Part part, const DatasetReport& report, std::int64_t motifID) {
  const data& motif = inputMotif(motifID);
  out << "Dataset #: " << motif.datasetNum << "\t\t" << "Motif ID: " << motifID << "\t\t"
      << "Motif name: " << motif.motifName;
  if (report.form == Form::TextWithoutMotif) {
    out << "\t\t" << "Consensus sequence (original motif): " << motif.consensus << "\t\t"
        << "Consensus sequence (reverse complement motif): " << motif.revCompConsensus << std::endl;
    for (int i = 0; i < layoutOf(part).blankLinesWithoutMotif; ++i) out << std::endl;
  } else {
    out << std::endl;
    out << std::endl;
    out << "Original motif" << std::endl;
    matrixPrintout(out, motif.matrix);
    out << "Consensus sequence: " << motif.consensus << std::endl;
    out << std::endl;
    const bool misspelt = part == Part::EachMotif && report.withEachMotifMisspelling;
    out << (misspelt ? "Reserve complement motif" : "Reverse complement motif") << std::endl;
    matrixPrintout(out, motif.revCompMatrix);
    out << "Consensus sequence: " << motif.revCompConsensus << std::endl;
    out << std::endl;
    out << std::endl;
  }
  writeMotifBanner(out, part, report, motifID);
}

void writeHtmlSection(std::ostream& out, Part part, std::int64_t motifID) {
  const PartLayout& layout = layoutOf(part);
  const data& motif = inputMotif(motifID);
  out << layout.htmlFirstTable << std::endl;
  out << "<col width= '170'>" << std::endl;
  out << "<col width= '150'>" << std::endl;
  out << "<col width= '600'>" << std::endl;
  out << "<tr>" << std::endl;
  out << "<td><b>" << "Dataset #: " << motif.datasetNum << "</b></td>" << std::endl;
  out << "<td><b>" << "Motif ID: " << motifID << "</b></td>" << std::endl;
  out << "<td><b>" << "Motif name: " << htmlEscape(motif.motifName) << "</b></td>" << std::endl;
  out << "</tr>" << std::endl;
  out << "</table>" << std::endl;
  out << layout.htmlSeparator << std::endl;
  writeConsensusAndLogoTable(out, motif, motifID);
  if (layout.htmlClosesLogoParagraph) out << "</p>" << std::endl;
  out << "<p class='sansserif'>" << std::endl;
  out << layout.htmlBoldTitle << motifID << " (Highest to Lowest) </b>" << std::endl;
  out << "</p>" << std::endl;
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
  if (part == Part::EachMotif) {
    for (std::size_t i = 0; i < lists.size(); ++i)
      if (!lists[i].empty()) motifs.push_back(static_cast<std::int64_t>(i) + 1);
    return motifs;
  }
  const auto& ranking = part == Part::GlobalMatching ? globalMatchingScoreResultList : commonBestScoreResultList;
  for (const auto& entry : ranking) {
    if (static_cast<std::int64_t>(motifs.size()) >= numTopMotif) break;
    if (hasMatches(lists, entry.motifID)) motifs.push_back(entry.motifID);
  }
  return motifs;
}

void writePart(Part part, const std::vector<bestMatchList>& lists, bool oneFileNote) {
  const std::vector<std::int64_t> motifs = oneFileNote ? std::vector<std::int64_t>{} : motifsOf(part, lists);
  const PartLayout& layout = layoutOf(part);
  for (const DatasetReport& report : kReports) {
    if (!partGoesTo(part, report)) continue;
    std::ofstream& out = openReport(report.file, OpenMode::Append);
    if (report.form == Form::Html)
      writeHtmlHead(out, part, oneFileNote);
    else
      writeTextHead(out, part, oneFileNote);
    closeReport(out);

    for (std::int64_t motifID : motifs) {
      openReport(report.file, OpenMode::Append);
      if (report.form == Form::Html)
        writeHtmlSection(out, part, motifID);
      else
        writeTextSection(out, part, report, motifID);
      closeReport(out);
      report.blocks(*listOf(lists, motifID), layout.mode, motifID);
    }
  }
}

}  // namespace

void writeGlobalMatchingPart(const std::vector<bestMatchList>& globalBestMatchesLists) {
  writePart(Part::GlobalMatching, globalBestMatchesLists, !severalFiles());
}

void writeGlobalAndLocalPart(const std::vector<bestMatchList>& globalAndLocalBestMatchesLists) {
  if (!typeAll()) return;
  writePart(Part::GlobalAndLocal, globalAndLocalBestMatchesLists, false);
}

void writeEachMotifPart(const std::vector<bestMatchList>& globalAndLocalBestMatchesLists) {
  if (!typeAll()) return;
  writePart(Part::EachMotif, globalAndLocalBestMatchesLists, false);
}

}  // namespace korvelan
