// One text writer and one HTML writer serve the ten match-block reports; each report's row of the
// report table holds what sets it apart (its form, whether it shows collection motifs).
#include "reports/match_blocks.h"

#include <fstream>
#include <iomanip>
#include <ostream>
#include <string>
#include <string_view>

#include "core/globals.h"
#include "core/motifs.h"
#include "core/report_io.h"
#include "core/utilities.h"
#include "reports/alignment_picture.h"
#include "reports/collection_pages.h"
#include "reports/logos.h"
#include "reports/matrix_printout.h"
#include "reports/text_framing.h"

namespace korvelan {
namespace {

// Where a block's matched motif comes from: another input motif (Datasets, by the record's second
// motif), or, in the reports of a collection, the collection (DatabaseDatasets, by the collection
// motif's number).
enum class Matched { InputMotif, CollectionMotif };

Matched matchedIn(const ReportFile& report) {
  return report.needsCollection ? Matched::CollectionMotif : Matched::InputMotif;
}

const data& matchedMotif(const dataCombinedScore& record, Matched matched) {
  return matched == Matched::CollectionMotif ? databaseMotif(collectionMotifNumber(record))
                                             : inputMotif(record.secondMotifID);
}

AlignmentPicture pictureOf(const dataCombinedScore& record, const data& query, const data& matched,
                           Matched source) {
  return alignmentPicture(
      record, query, matched,
      source == Matched::CollectionMotif ? RecordSource::Database : RecordSource::Dataset);
}

template <typename T>
void cell(std::ostream& out, int width, const T& value) {
  out << std::setw(width) << std::left << value;
}

void writeTextBlock(std::ostream& out, const dataCombinedScore& record, const data& query,
                    const ReportFile& report) {
  const Matched source = matchedIn(report);
  const bool fromCollection = source == Matched::CollectionMotif;
  const data& matched = matchedMotif(record, source);
  const int nameWidth = motifNameLength + 10;

  if (!fromCollection) cell(out, 15, "Dataset #");
  cell(out, 15, "Motif ID");
  cell(out, nameWidth, "Motif name");
  cell(out, 40, "Matching format of first motif");
  cell(out, 40, "Matching format of second motif");
  cell(out, 15, "Direction");
  cell(out, 15, "Position #");
  cell(out, 15, "# of overlap");
  cell(out, 15, "Similarity score");
  out << '\n';

  if (fromCollection) {
    cell(out, 15, matched.databaseMotifID);
    cell(out, nameWidth, matched.motifName);  // a longer name pushes the rest of the row
  } else {
    cell(out, 15, matched.datasetNum);
    cell(out, 15, record.secondMotifID);
    cell(out, nameWidth, record.secondMotifName);
  }
  cell(out, 40, record.firstMatchingFormat);
  cell(out, 40, record.secondMatchingFormat);
  cell(out, 15, record.direction);
  cell(out, 15, record.position);
  cell(out, 15, record.numOverlap);
  cell(out, 15, record.similarityScore);  // in whatever notation the stream carries
  out << '\n';
  out << '\n';

  if (fromCollection) {
    out << taxonLabel(DBName) << ": " << matched.taxonOrSpecies << '\n';
    out << '\n';
  }
  if (report.form == ReportForm::Text) {
    out << "Original motif\n";
    matrixPrintout(out, matched.matrix);
    out << "Consensus sequence: " << matched.consensus << '\n';
    out << '\n';
    out << "Reverse complement motif\n";
    matrixPrintout(out, matched.revCompMatrix);
    out << "Consensus sequence: " << matched.revCompConsensus << '\n';
  } else {
    out << "Consensus sequence (original motif): " << matched.consensus << '\n';
    out << "Consensus sequence (reverse complement motif): " << matched.revCompConsensus << '\n';
  }
  out << '\n';

  const AlignmentPicture picture = pictureOf(record, query, matched, source);
  out << "Alignment:\n";
  out << picture.matchedLine << '\n';
  out << picture.queryLine << '\n';
  out << '\n';
  out << kDashRule << '\n';
}

// One line: "<td><font size = '2'>" + text + "</font></td>".
template <typename T>
void htmlCell(std::ostream& out, const T& text) {
  out << "<td><font size = '2'>" << text << "</font></td>\n";
}

void htmlRow(std::ostream& out, std::string_view label, const std::string& value) {
  out << "<tr>\n";
  htmlCell(out, label);
  htmlCell(out, value);
  out << "</tr>\n";
}

void writeHtmlBlock(std::ostream& out, const dataCombinedScore& record, const data& query,
                    const ReportFile& report) {
  const Matched source = matchedIn(report);
  const bool fromCollection = source == Matched::CollectionMotif;
  const data& matched = matchedMotif(record, source);
  // Database records come in two listings; the flag, not a comparison of numbers, tells them apart.
  const bool collectionFirst = fromCollection && record.scanOrderFlag != "Y";

  if (fromCollection) {
    out << (collectionFirst
                ? "<table class='sansserif' width='1000' cellpadding='0' cellspacing='0' >"
                : "<table class='sansserif' width='1000' border = '0' cellSpacing = '1' cellPadding = '1' >")
        << '\n';
    out << "<col width= '300'>\n";
    out << "<col width= '700'>\n";
    out << "<tr>\n";
    htmlCell(out, identifierLabel(DBName));
    out << identifierCell(DBName, matched) << '\n';
    out << "</tr>\n";
    htmlRow(out, "Motif name:", htmlEscape(matched.motifName));
    htmlRow(out, std::string(taxonLabel(DBName)) + ":", htmlEscape(matched.taxonOrSpecies));
  } else {
    out << "<table class='sansserif' width='600' border = '0' cellSpacing = '1' cellPadding = '1' >" << '\n';
    out << "<col width= '300'>\n";
    out << "<col width= '300'>\n";
    htmlRow(out, "Dataset #:", std::to_string(matched.datasetNum));
    htmlRow(out, "Motif ID:", std::to_string(record.secondMotifID));
    htmlRow(out, "Motif name:", htmlEscape(record.secondMotifName));
  }
  htmlRow(out, "Matching format of first motif:", htmlEscape(record.firstMatchingFormat));
  htmlRow(out, "Matching format of second motif:", htmlEscape(record.secondMatchingFormat));
  htmlRow(out, "Direction:", htmlEscape(record.direction));
  htmlRow(out, "Position number:", std::to_string(record.position));
  htmlRow(out, "Number of overlap:", std::to_string(record.numOverlap));
  // The page stream's own general notation, precision 6 (no writer of an HTML page changes it).
  out << "<tr>\n";
  htmlCell(out, "Similarity score:");
  htmlCell(out, record.similarityScore);
  out << "</tr>\n";
  out << "</table>\n";
  out << "<br>\n";

  const AlignmentPicture picture = pictureOf(record, query, matched, source);
  out << (collectionFirst ? "<font face='Arial' size='2'>" : "<font face='Arial' size = '2'>") << "Alignment:"
      << "</font>\n";
  out << "<br>\n";
  out << "<font face = 'Courier New'>" << htmlEscape(picture.matchedLine) << "</font>\n";
  out << "<br>\n";
  out << "<font face = 'Courier New'>" << htmlEscape(picture.queryLine) << "</font>\n";

  out << "<p>\n";
  if (fromCollection)
    writeConsensusAndLogoTable(out, matched, collectionMotifNumber(record), 'D', ConsensusLayout::Split);
  else
    writeConsensusAndLogoTable(out, matched, record.secondMotifID);
  out << "</p>\n";
  out << "<p>\n";
  out << "<hr>\n";
  out << "</p>\n";
}

}  // namespace

void writeMatchBlocks(ReportId id, const bestMatchList& matchList, std::int64_t motifID) {
  const ReportFile& report = reportFile(id);
  // Looked up first, so that an ID naming no input motif leaves the report untouched.
  const data* query = matchList.empty() ? nullptr : &inputMotif(motifID);
  std::ofstream& out = openReport(id, OpenMode::Append);
  for (const auto& record : matchList) {
    if (report.form == ReportForm::Page)
      writeHtmlBlock(out, record, *query, report);
    else
      writeTextBlock(out, record, *query, report);
  }
  closeReport(out);
}

void writeConsensusAndLogoTable(std::ostream& out, const data& motif, std::int64_t number, char logoPrefix,
                                ConsensusLayout layout) {
  const std::string consensus = htmlEscape(motif.consensus);
  const std::string revCompConsensus = htmlEscape(motif.revCompConsensus);
  if (layout == ConsensusLayout::Joined) {
    out << "<table class='sansserif' width='1000' border = '0' cellSpacing = '1' cellPadding = '1' >" << '\n';
    out << "<col width= '500'>\n";
    out << "<col width= '500'>\n";
    out << "<tr>\n";
    htmlCell(out, "Original motif&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;Consensus sequence: " + consensus);
    out << '\n';
    htmlCell(out,
             "Reverse complement motif&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;Consensus sequence: " + revCompConsensus);
    out << '\n';
  } else {
    out << "<table class='sansserif' width='1200' border = '0' cellSpacing = '1' cellPadding = '1' >" << '\n';
    out << "<col width= '600'>\n";
    out << "<col width= '600'>\n";
    out << "<tr>\n";
    htmlCell(out, "Original motif");
    out << '\n';
    htmlCell(out, "Reverse complement motif");
    out << '\n';
    out << "</tr>\n";
    out << "<tr>\n";
    htmlCell(out, "Consensus sequence: " + consensus);
    out << '\n';
    htmlCell(out, "Consensus sequence: " + revCompConsensus);
    out << '\n';
  }
  out << "</tr>\n";
  out << "<tr>\n";
  out << "<td></td>\n";
  out << "<td></td>\n";
  out << "</tr>\n";
  out << "<tr>\n";
  out << "<td>" << logoImageTag(logoPrefix, number, false) << "</td>\n";
  out << "<td>" << logoImageTag(logoPrefix, number, true) << "</td>\n";
  out << "</tr>\n";
  out << "</table>\n";
}

// The named forms of writeMatchBlocks, one per report; the part's mode does not change the blocks.
void WriteTopResultsList(const bestMatchList& matchList, int, std::int64_t motifID) {
  writeMatchBlocks(ReportId::Results, matchList, motifID);
}
void WriteTopResultsListWithoutMotif(const bestMatchList& matchList, int, std::int64_t motifID) {
  writeMatchBlocks(ReportId::ResultsWithoutMotif, matchList, motifID);
}
void WriteTopResultsGlobalMatchingList(const bestMatchList& matchList, std::int64_t motifID) {
  writeMatchBlocks(ReportId::GlobalMatching, matchList, motifID);
}
void WriteTopResultsListHTML(const bestMatchList& matchList, int, std::int64_t motifID) {
  writeMatchBlocks(ReportId::HTMLResults, matchList, motifID);
}
void WriteTopResultsGlobalMatchingListHTML(const bestMatchList& matchList, std::int64_t motifID) {
  writeMatchBlocks(ReportId::HTMLGlobalMatching, matchList, motifID);
}
void WriteDatabaseTopResultsList(const bestMatchList& matchList, int, std::int64_t motifNo) {
  writeMatchBlocks(ReportId::DatabaseMatching, matchList, motifNo);
}
void WriteDatabaseTopResultsListWithoutMotif(const bestMatchList& matchList, int, std::int64_t motifNo) {
  writeMatchBlocks(ReportId::DatabaseMatchingWithoutMotif, matchList, motifNo);
}
void WriteDatabaseTopResultsGlobalList(const bestMatchList& matchList, int, std::int64_t motifNo) {
  writeMatchBlocks(ReportId::DatabaseMatchingGlobalMatching, matchList, motifNo);
}
void WriteDatabaseTopResultsListHTML(const bestMatchList& matchList, int, std::int64_t motifNo) {
  writeMatchBlocks(ReportId::DatabaseMatchingHTML, matchList, motifNo);
}
void WriteDatabaseTopResultsGlobalListHTML(const bestMatchList& matchList, int, std::int64_t motifNo) {
  writeMatchBlocks(ReportId::DatabaseMatchingGlobalMatchingHTML, matchList, motifNo);
}

}  // namespace korvelan
