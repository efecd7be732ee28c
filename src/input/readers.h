// The motif readers of the input files and the row rules they share with the collection readers.
#pragma once

#include <cstdint>
#include <string>

#include "core/records.h"
#include "input/blocks.h"

namespace korvelan {

// Input readers: each turns one recognised block of file `fileIndex` (0-based in FileNameType) into
// exactly one motif appended to Datasets, and advances mNum and matrixIDNum.
void readTransfacInput(inputBlock block, std::int32_t fileIndex);
void readJasparInput(inputBlock block, std::int32_t fileIndex);
void readMEMEInput(inputBlock block, std::int32_t fileIndex);
void readRawPSSMInput(inputBlock block, std::int32_t fileIndex);
void readMatrixHInput(inputBlock block, std::int32_t fileIndex);
void readMatrixVInput(inputBlock block, std::int32_t fileIndex);
void readConsensusInput(inputBlock block, std::int32_t fileIndex);
void readSeqAlignInput(inputBlock block, std::int32_t fileIndex);

// A token read as a decimal number: its longest leading numeric part (strtod), 0 when it has none.
double readValue(const std::string& token);

// One position: the four values divided by their sum ((A + C) + G) + T. A position summing to zero
// has no frequencies to speak of and is stored as 0.25 each; so is one holding a negative value
// (only the layouts of plain numbers can give one) and one whose frequencies would not be finite
// numbers (a value read as infinity or not-a-number).
std::vector<double> normalisedRow(double a, double c, double g, double t);

// The longest motif name, identifier or taxon kept (bytes). Every text report pads its name column
// to the longest name, so one huge header must not make every report huge.
constexpr std::size_t kMaxNameLength = 255;
// The text as stored: its first kMaxNameLength bytes, less a UTF-8 character the cut would split (a
// byte that is not part of well-formed UTF-8 counts as a character of its own).
std::string keptName(std::string text);

// Line k (1-based) of a block, or an empty line when the block has none; token k of a line, or an
// empty text. The readers take every field through these so a short block is never read past its end.
const std::vector<std::string>& blockLine(const inputBlock& block, std::size_t k);
std::string tokenAt(const std::vector<std::string>& line, std::size_t k);
// A token without its first character (the ">" of a header); empty for a token of one character.
std::string withoutFirst(const std::string& token);

// TRANSFAC rows: every line of five or six tokens whose tokens 2 to 5 are digits and points gives
// one position from those four tokens.
motifMatrix transfacRows(const inputBlock& block);
// JASPAR rows: lines 2 to 5 hold the A, C, G and T values after dropping the base letters and
// brackets and every character but digits and points; the A line fixes the number of positions, and
// a value another line lacks reads as 0.
motifMatrix jasparRows(const inputBlock& block);
// MEME and raw PSSM rows: every line of exactly four tokens of digits and points is one position.
motifMatrix numericRows(const inputBlock& block);

// The motif record every reader makes: names kept to kMaxNameLength, the rows, their reverse
// complement and both consensus strings.
struct MotifLabels {
  std::string name, taxonOrSpecies, databaseMotifID;
  std::int32_t datasetNum = 0;
  std::int64_t motifNumInFile = 0;
  std::int64_t motifID = 0;
};
data fillMatrices(MotifLabels labels, motifMatrix rows);

// The last steps of every input reader: consensus strings and reverse complement, the file's motif
// count, the record appended to Datasets, and the two counters advanced.
void completeMotif(std::string name, motifMatrix rows, std::int32_t fileIndex);

}  // namespace korvelan
