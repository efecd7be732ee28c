#include "reports/match_blocks.h"

#include <fstream>
#include <iomanip>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>

#include "core/globals.h"
#include "core/motifs.h"
#include "core/report_io.h"
#include "core/utilities.h"
#include "reports/alignment_picture.h"
#include "reports/logos.h"
#include "reports/matrix_printout.h"

namespace korvelan {
namespace {

// What sets the dataset reports' block writers apart.
struct TextBlockReport {
  ReportId file;
  bool withMatrices;  // matrices with their consensus lines, or the two consensus lines alone
};

const std::string kDashRule(196, '-');

template <typename T>
void cell(std::ostream& out, int width, const T& value) {
  out << std::setw(width) << std::left << value;
}

void writeTextBlock(std::ostream& out, const dataCombinedScore& record, const data& query, bool withMatrices) {
  const data& matched = inputMotif(record.secondMotifID);
  const int nameWidth = motifNameLength + 10;

  cell(out, 15, "Dataset #");
  cell(out, 15, "Motif ID");
  cell(out, nameWidth, "Motif name");
  cell(out, 40, "Matching format of first motif");
  cell(out, 40, "Matching format of second motif");
  cell(out, 15, "Direction");
  cell(out, 15, "Position #");
  cell(out, 15, "# of overlap");
  cell(out, 15, "Similarity score");
  out << std::endl;

  cell(out, 15, matched.datasetNum);
  cell(out, 15, record.secondMotifID);
  cell(out, nameWidth, record.secondMotifName);
  cell(out, 40, record.firstMatchingFormat);
  cell(out, 40, record.secondMatchingFormat);
  cell(out, 15, record.direction);
  cell(out, 15, record.position);
  cell(out, 15, record.numOverlap);
  cell(out, 15, record.similarityScore);  // in whatever notation the stream carries
  out << std::endl;
  out << std::endl;

  if (withMatrices) {
    out << "Original motif" << std::endl;
    matrixPrintout(out, matched.matrix);
    out << "Consensus sequence: " << matched.consensus << std::endl;
    out << std::endl;
    out << "Reverse complement motif" << std::endl;
    matrixPrintout(out, matched.revCompMatrix);
    out << "Consensus sequence: " << matched.revCompConsensus << std::endl;
  } else {
    out << "Consensus sequence (original motif): " << matched.consensus << std::endl;
    out << "Consensus sequence (reverse complement motif): " << matched.revCompConsensus << std::endl;
  }
  out << std::endl;

  const AlignmentPicture picture = alignmentPicture(record, query, matched, RecordSource::Dataset);
  out << "Alignment:" << std::endl;
  out << picture.matchedLine << std::endl;
  out << picture.queryLine << std::endl;
  out << std::endl;
  out << kDashRule << std::endl;
}

void writeTextBlocks(const TextBlockReport& report, const bestMatchList& matchList, std::int64_t motifID) {
  std::ofstream& out = openReport(report.file, OpenMode::Append);
  if (!matchList.empty()) {
    const data& query = inputMotif(motifID);
    for (const auto& record : matchList) writeTextBlock(out, record, query, report.withMatrices);
  }
  closeReport(out);
}

// One line: "<td><font size = '2'>" + text + "</font></td>".
template <typename T>
void htmlCell(std::ostream& out, const T& text) {
  out << "<td><font size = '2'>" << text << "</font></td>" << std::endl;
}

void htmlRow(std::ostream& out, std::string_view label, const std::string& value) {
  out << "<tr>" << std::endl;
  htmlCell(out, label);
  htmlCell(out, value);
  out << "</tr>" << std::endl;
}

void writeHtmlBlock(std::ostream& out, const dataCombinedScore& record, const data& query) {
  const data& matched = inputMotif(record.secondMotifID);

  out << "<table class='sansserif' width='600' border = '0' cellSpacing = '1' cellPadding = '1' >" << std::endl;
  out << "<col width= '300'>" << std::endl;
  out << "<col width= '300'>" << std::endl;
  htmlRow(out, "Dataset #:", std::to_string(matched.datasetNum));
  htmlRow(out, "Motif ID:", std::to_string(record.secondMotifID));
  htmlRow(out, "Motif name:", htmlEscape(record.secondMotifName));
  htmlRow(out, "Matching format of first motif:", htmlEscape(record.firstMatchingFormat));
  htmlRow(out, "Matching format of second motif:", htmlEscape(record.secondMatchingFormat));
  htmlRow(out, "Direction:", htmlEscape(record.direction));
  htmlRow(out, "Position number:", std::to_string(record.position));
  htmlRow(out, "Number of overlap:", std::to_string(record.numOverlap));
  // The page stream's own general notation, precision 6 (no writer of an HTML page changes it).
  out << "<tr>" << std::endl;
  htmlCell(out, "Similarity score:");
  htmlCell(out, record.similarityScore);
  out << "</tr>" << std::endl;
  out << "</table>" << std::endl;
  out << "<br>" << std::endl;

  const AlignmentPicture picture = alignmentPicture(record, query, matched, RecordSource::Dataset);
  out << "<font face='Arial' size = '2'>" << "Alignment:" << "</font>" << std::endl;
  out << "<br>" << std::endl;
  out << "<font face = 'Courier New'>" << htmlEscape(picture.matchedLine) << "</font>" << std::endl;
  out << "<br>" << std::endl;
  out << "<font face = 'Courier New'>" << htmlEscape(picture.queryLine) << "</font>" << std::endl;

  out << "<p>" << std::endl;
  writeConsensusAndLogoTable(out, matched, record.secondMotifID);
  out << "</p>" << std::endl;
  out << "<p>" << std::endl;
  out << "<hr>" << std::endl;
  out << "</p>" << std::endl;
}

void writeHtmlBlocks(ReportId file, const bestMatchList& matchList, std::int64_t motifID) {
  std::ofstream& out = openReport(file, OpenMode::Append);
  if (!matchList.empty()) {
    const data& query = inputMotif(motifID);
    for (const auto& record : matchList) writeHtmlBlock(out, record, query);
  }
  closeReport(out);
}

}  // namespace

void WriteTopResultsList(bestMatchList matchList, int /*mode*/, std::int64_t motifID) {
  writeTextBlocks({.file = ReportId::Results, .withMatrices = true}, matchList, motifID);
}

void WriteTopResultsListWithoutMotif(bestMatchList matchList, int /*mode*/, std::int64_t motifID) {
  writeTextBlocks({.file = ReportId::ResultsWithoutMotif, .withMatrices = false}, matchList, motifID);
}

void WriteTopResultsGlobalMatchingList(bestMatchList matchList, std::int64_t motifID) {
  writeTextBlocks({.file = ReportId::GlobalMatching, .withMatrices = true}, matchList, motifID);
}

void WriteTopResultsListHTML(bestMatchList matchList, int mode, std::int64_t motifID) {
  const bool writesBlocks = (mode == 2 || mode == 3) && motifID >= 1;
  writeHtmlBlocks(ReportId::HTMLResults, writesBlocks ? matchList : bestMatchList{}, motifID);
}

void WriteTopResultsGlobalMatchingListHTML(bestMatchList matchList, std::int64_t motifID) {
  writeHtmlBlocks(ReportId::HTMLGlobalMatching, matchList, motifID);
}

void writeConsensusAndLogoTable(std::ostream& out, const data& motif, std::int64_t motifID) {
  out << "<table class='sansserif' width='1000' border = '0' cellSpacing = '1' cellPadding = '1' >" << std::endl;
  out << "<col width= '500'>" << std::endl;
  out << "<col width= '500'>" << std::endl;
  out << "<tr>" << std::endl;
  htmlCell(out, "Original motif&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;Consensus sequence: " + htmlEscape(motif.consensus));
  out << std::endl;
  htmlCell(out, "Reverse complement motif&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;Consensus sequence: " +
                    htmlEscape(motif.revCompConsensus));
  out << std::endl;
  out << "</tr>" << std::endl;
  out << "<tr>" << std::endl;
  out << "<td></td>" << std::endl;
  out << "<td></td>" << std::endl;
  out << "</tr>" << std::endl;
  out << "<tr>" << std::endl;
  out << "<td>" << logoImageTag('M', motifID, false) << "</td>" << std::endl;
  out << "<td>" << logoImageTag('M', motifID, true) << "</td>" << std::endl;
  out << "</tr>" << std::endl;
  out << "</table>" << std::endl;
}

}  // namespace korvelan
