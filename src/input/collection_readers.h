// The readers of the blocks of a motif collection file.
#pragma once

#include <cstdint>
#include <string>

#include "input/blocks.h"

namespace korvelan {

// Block readers: each appends exactly one record to DatabaseDatasets, whatever the block lacks.
// JASPAR layout (JASPAR and UniPROBE): header ">ID name [taxon]", then the A, C, G and T lines.
void readJasparDBMatrix(inputBlock block, std::int32_t motifNumInFile, std::int32_t motifID);
void readUniprobeDBMatrix(inputBlock block, std::int32_t motifNumInFile, std::int32_t motifID);
// The JASPAR layout with the taxon text given.
void readJasparLayoutBlock(const inputBlock& block, std::string taxon, std::int32_t motifNumInFile,
                           std::int32_t motifID);
// TRANSFAC layout: "name species" on line 1, the accession as token 2 of line 3, position lines anywhere.
void readTransfacDBMatrix(inputBlock block, std::int32_t motifNumInFile, std::int32_t motifID);

}  // namespace korvelan
