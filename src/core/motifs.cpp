#include "core/motifs.h"

#include <stdexcept>
#include <string>

#include "core/globals.h"

namespace korvelan {

namespace {
const data& motifOrThrow(const std::vector<data>& motifs, std::int64_t motifID, const char* kind) {
  const data* motif = findMotif(motifs, motifID);
  if (motif == nullptr)
    throw std::out_of_range(std::string("no ") + kind + " motif with ID " + std::to_string(motifID));
  return *motif;
}
}  // namespace

const data& inputMotif(std::int64_t motifID) {
  return motifOrThrow(Datasets, motifID, "input");
}
const data& databaseMotif(std::int64_t motifID) {
  return motifOrThrow(DatabaseDatasets, motifID, "database");
}

std::int64_t inputMotifNumber(const dataCombinedScore& record) {
  return record.scanOrderFlag == "Y" ? record.firstMotifID : record.secondMotifID;
}

std::int64_t collectionMotifNumber(const dataCombinedScore& record) {
  return record.scanOrderFlag == "Y" ? record.secondMotifID : record.firstMotifID;
}

bool namesOriginal(std::string_view format) {
  return format == "Original Motif";
}

OrientedMotif motifInFormat(const data& motif, std::string_view format) {
  return {.matrix = inFormat(format, motif.matrix, motif.revCompMatrix),
          .consensus = inFormat(format, motif.consensus, motif.revCompConsensus)};
}

}  // namespace korvelan
