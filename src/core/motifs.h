// The one lookup from a motif ID to its record, and which motif of a database record is which. Input
// motif IDs count from 1 over Datasets and database motif IDs from 1 over DatabaseDatasets: the motif
// with ID k is element k - 1.
#pragma once

#include <cstddef>
#include <cstdint>
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

}  // namespace korvelan
