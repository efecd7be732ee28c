// The one lookup from a motif ID to its record, which motif of a database record is which, and which
// orientation of a motif a record's matching format names. Input motif IDs count from 1 over Datasets
// and database motif IDs from 1 over DatabaseDatasets: the motif with ID k is element k - 1.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/records.h"

namespace korvelan {

// Whether a 1-based motif ID names one of `count` motifs.
inline bool isMotifID(std::int64_t motifID, std::size_t count) {
  return motifID >= 1 && static_cast<std::uint64_t>(motifID) <= count;
}

// Element motifID - 1 of a list kept one entry per motif (the motifs themselves, their maxima, their
// best-match lists), or null when the list holds no entry for that ID.
template <class T>
T* atMotifID(std::vector<T>& list, std::int64_t motifID) {
  return isMotifID(motifID, list.size()) ? &list[static_cast<std::size_t>(motifID - 1)] : nullptr;
}
template <class T>
const T* atMotifID(const std::vector<T>& list, std::int64_t motifID) {
  return isMotifID(motifID, list.size()) ? &list[static_cast<std::size_t>(motifID - 1)] : nullptr;
}

// The motif with this 1-based ID in the list, or null when the list holds no such motif.
inline const data* findMotif(const std::vector<data>& motifs, std::int64_t motifID) {
  return atMotifID(motifs, motifID);
}

// The input (Datasets) or database (DatabaseDatasets) motif with this ID. An ID naming no motif is a
// broken invariant and throws std::out_of_range rather than reading past the list.
const data& inputMotif(std::int64_t motifID);
const data& databaseMotif(std::int64_t motifID);

// A database record lists the input motif first exactly when its scanOrderFlag is "Y"; the other
// motif is the collection motif (its number in DatabaseDatasets).
std::int64_t inputMotifNumber(const dataCombinedScore& record);
std::int64_t collectionMotifNumber(const dataCombinedScore& record);

// Which orientation a matching format names: "Original Motif" the motif as read, any other word its
// reverse complement. The scans write no word but "Original Motif" and "Reverse Complement".
bool namesOriginal(std::string_view format);

// Of a motif's two orientations, the one `format` names.
template <class T>
const T& inFormat(std::string_view format, const T& original, const T& reverseComplement) {
  return namesOriginal(format) ? original : reverseComplement;
}

// A motif in the orientation a matching format names: its matrix and consensus as read, or its
// stored reverse complement and that one's consensus. Both refer into the motif's record.
struct OrientedMotif {
  const motifMatrix& matrix;
  const std::string& consensus;
};
OrientedMotif motifInFormat(const data& motif, std::string_view format);

}  // namespace korvelan
