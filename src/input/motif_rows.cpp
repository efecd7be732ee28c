#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "core/consensus.h"
#include "core/globals.h"
#include "core/utf8.h"
#include "core/utilities.h"
#include "input/readers.h"

namespace korvelan {

double readValue(const std::string& token) {
  return std::strtod(token.c_str(), nullptr);
}

std::vector<double> normalisedRow(double a, double c, double g, double t) {
  if (a < 0 || c < 0 || g < 0 || t < 0) return {0.25, 0.25, 0.25, 0.25};
  const double total = ((a + c) + g) + t;
  if (total == 0.0) return {0.25, 0.25, 0.25, 0.25};
  std::vector<double> row = {a / total, c / total, g / total, t / total};
  // A value such as "inf", "nan" or a count too large for a double gives no frequencies either.
  for (double& value : row) {
    if (!std::isfinite(value)) return {0.25, 0.25, 0.25, 0.25};
    if (value == 0.0) value = 0.0;  // "-0" is a zero like any other, never listed as "-0"
  }
  return row;
}

std::string keptName(std::string text) {
  if (text.size() <= kMaxNameLength) return text;
  // Whole characters up to the limit; a byte that starts no well-formed one goes as one of its own.
  std::size_t cut = 0;
  for (;;) {
    const std::size_t next = cut + std::max<std::size_t>(utf8SequenceAt(text, cut), 1);
    if (next > kMaxNameLength) break;
    cut = next;
  }
  text.resize(cut);
  return text;
}

const std::vector<std::string>& blockLine(const inputBlock& block, std::size_t k) {
  static const std::vector<std::string> kNoLine;
  return k >= 1 && k <= block.size() ? block[k - 1] : kNoLine;
}

std::string tokenAt(const std::vector<std::string>& line, std::size_t k) {
  return k >= 1 && k <= line.size() ? line[k - 1] : std::string();
}

std::string withoutFirst(const std::string& token) {
  return token.empty() ? token : token.substr(1);
}

motifMatrix transfacRows(const inputBlock& block) {
  motifMatrix rows;
  for (const auto& line : block) {
    if (line.size() != 5 && line.size() != 6) continue;
    if (!checkNumeric(line[1]) || !checkNumeric(line[2]) || !checkNumeric(line[3]) || !checkNumeric(line[4]))
      continue;
    rows.push_back(
        normalisedRow(readValue(line[1]), readValue(line[2]), readValue(line[3]), readValue(line[4])));
  }
  return rows;
}

namespace {
// The values of one JASPAR value line: base letters and brackets standing alone are dropped, every
// other token keeps only its digits and points, and a token left empty disappears.
std::vector<double> jasparValues(const std::vector<std::string>& line) {
  std::vector<double> values;
  for (const auto& token : line) {
    if (token == "A" || token == "C" || token == "G" || token == "T" || token == "[" || token == "]")
      continue;
    // The kept characters hold no blank, so each token cleans to at most one value.
    const std::string kept = removeSpecialCharacters(token);
    if (!kept.empty()) values.push_back(readValue(kept));
  }
  return values;
}
}  // namespace

motifMatrix jasparRows(const inputBlock& block) {
  std::vector<double> base[4];
  for (std::size_t b = 0; b < 4; ++b) base[b] = jasparValues(blockLine(block, b + 2));
  auto at = [&](std::size_t b, std::size_t k) { return k < base[b].size() ? base[b][k] : 0.0; };
  motifMatrix rows;
  for (std::size_t k = 0; k < base[0].size(); ++k)
    rows.push_back(normalisedRow(at(0, k), at(1, k), at(2, k), at(3, k)));
  return rows;
}

namespace {
bool isNumericRow(const std::vector<std::string>& line) {
  return line.size() == 4 && checkNumeric(line[0]) && checkNumeric(line[1]) && checkNumeric(line[2]) &&
         checkNumeric(line[3]);
}
}  // namespace

motifMatrix numericRows(const inputBlock& block) {
  motifMatrix rows;
  for (const auto& line : block)
    if (isNumericRow(line))
      rows.push_back(
          normalisedRow(readValue(line[0]), readValue(line[1]), readValue(line[2]), readValue(line[3])));
  return rows;
}

data fillMatrices(MotifLabels labels, motifMatrix rows) {
  data motif;
  motif.consensus = getConsensusString(rows);
  motif.revCompMatrix = getRevCompMotif(rows);
  motif.revCompConsensus = getConsensusString(motif.revCompMatrix);
  motif.motifID = labels.motifID;
  motif.motifName = keptName(std::move(labels.name));
  motif.taxonOrSpecies = keptName(std::move(labels.taxonOrSpecies));
  motif.databaseMotifID = keptName(std::move(labels.databaseMotifID));
  motif.datasetNum = labels.datasetNum;
  motif.motifNumInFile = labels.motifNumInFile;
  motif.matrix = std::move(rows);
  return motif;
}

void completeMotif(std::string name, motifMatrix rows, std::int32_t fileIndex) {
  if (fileIndex >= 0 && static_cast<std::size_t>(fileIndex) < FileNameType.size())
    FileNameType[fileIndex].motifCount = static_cast<std::int32_t>(mNum);
  Datasets.push_back(fillMatrices({.name = std::move(name),
                                   .taxonOrSpecies = {},
                                   .databaseMotifID = {},
                                   .datasetNum = dNum,
                                   .motifNumInFile = mNum,
                                   .motifID = matrixIDNum},
                                  std::move(rows)));
  ++mNum;
  ++matrixIDNum;
}

}  // namespace korvelan
