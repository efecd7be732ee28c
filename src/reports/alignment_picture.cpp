#include "reports/alignment_picture.h"

#include <cstdint>

#include "core/motifs.h"

namespace korvelan {
namespace {

std::string dashes(std::int64_t count) { return count > 0 ? std::string(static_cast<std::size_t>(count), '-') : ""; }

}  // namespace

AlignmentPicture alignmentPicture(const dataCombinedScore& record, const data& query, const data& matched,
                                  RecordSource source) {
  const bool inScanOrder = record.scanOrderFlag == "Y";
  const bool queryIsScanFirst = source == RecordSource::Database || inScanOrder;
  const bool queryListedFirst = source == RecordSource::Dataset || inScanOrder;

  const std::string& queryText =
      motifInFormat(query, queryIsScanFirst ? record.firstMatchingFormat : record.secondMatchingFormat).consensus;
  const std::string& matchedText =
      motifInFormat(matched, queryIsScanFirst ? record.secondMatchingFormat : record.firstMatchingFormat).consensus;

  // Placed motif = listed first; the other one spans from the first column (forward) or to the last.
  const std::string& placedText = queryListedFirst ? queryText : matchedText;
  const std::string& otherText = queryListedFirst ? matchedText : queryText;
  const auto placedLength = static_cast<std::int64_t>((queryListedFirst ? query : matched).consensus.size());
  const auto otherLength = static_cast<std::int64_t>((queryListedFirst ? matched : query).consensus.size());

  const std::int64_t shift = static_cast<std::int64_t>(record.position) - 1;
  const std::int64_t width = placedLength + otherLength - record.numOverlap;
  const std::int64_t placedFill = width - placedLength - shift;
  const std::int64_t otherFill = width - otherLength;

  std::string placedLine, otherLine;
  if (record.direction == "Forward") {
    placedLine = dashes(shift) + placedText + dashes(placedFill);
    otherLine = otherText + dashes(otherFill);
  } else if (record.direction == "Backward") {
    placedLine = dashes(placedFill) + placedText + dashes(shift);
    otherLine = dashes(otherFill) + otherText;
  }

  AlignmentPicture picture;
  picture.matchedLine = queryListedFirst ? std::move(otherLine) : std::move(placedLine);
  picture.queryLine = queryListedFirst ? std::move(placedLine) : std::move(otherLine);
  return picture;
}

}  // namespace korvelan
