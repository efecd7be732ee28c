// Plain records that carry all data between the stages of a run.
#pragma once

#include <cstdint>
#include <cstring>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace korvelan {

// One row per motif position, in motif order; each row holds four values for A, C, G, T.
using motifMatrix = std::vector<std::vector<double>>;

// One of the few fixed words an alignment record carries ("Forward", "Backward", "Original Motif",
// "Reverse Complement", "Y" or the empty text). Stored as one byte: a run may keep tens of millions of
// alignment records, and these fields would otherwise cost 32 bytes each.
class FixedText {
 public:
  constexpr FixedText() = default;
  explicit FixedText(std::string_view text) : code_(codeOf(text)) {}
  FixedText& operator=(std::string_view text) {
    code_ = codeOf(text);
    return *this;
  }

  std::string_view view() const { return kWords[code_]; }
  operator std::string_view() const { return view(); }
  operator std::string() const { return std::string(view()); }
  bool empty() const { return code_ == 0; }

  bool operator==(const FixedText& other) const = default;
  friend bool operator==(const FixedText& a, std::string_view b) { return a.view() == b; }
  friend std::ostream& operator<<(std::ostream& out, const FixedText& t) { return out << t.view(); }

 private:
  static constexpr const char* kWords[] = {"", "Forward", "Backward", "Original Motif", "Reverse Complement",
                                           "Y"};
  static std::uint8_t codeOf(std::string_view text) {
    for (std::uint8_t i = 0; i < sizeof(kWords) / sizeof(kWords[0]); ++i)
      if (text == kWords[i]) return i;
    throw std::invalid_argument("not a fixed record text: " + std::string(text));
  }
  std::uint8_t code_ = 0;
};

// A motif name held by reference to text that outlives the record: a name in `Datasets` or
// `DatabaseDatasets` (complete before any scan and never changed afterwards) or a string literal.
// Alignment records are copied by the million; the names they show need not be.
class TextRef {
 public:
  constexpr TextRef() = default;
  TextRef(const char* text) : text_(text ? text : "") {}
  TextRef(const std::string& text) : text_(text.c_str()) {}
  TextRef(std::string&&) = delete;  // would dangle

  std::string_view view() const { return text_; }
  operator std::string_view() const { return view(); }
  operator std::string() const { return std::string(view()); }
  bool empty() const { return *text_ == '\0'; }
  std::size_t size() const { return std::strlen(text_); }

  friend bool operator==(const TextRef& a, std::string_view b) { return a.view() == b; }
  friend std::ostream& operator<<(std::ostream& out, const TextRef& t) { return out << t.view(); }

 private:
  const char* text_ = "";
};

// One motif, as read from an input file or a collection file.
struct data {
  std::int64_t motifID = 0;        // input: 1.. over all files in reading order; database: 1.. in file order
  std::string motifName;           // the name from its file
  std::string taxonOrSpecies;      // database motifs only
  std::string databaseMotifID;     // database motifs only: identifier in its collection
  std::int32_t datasetNum = 0;     // input: 1-based number of its file; database: 1
  std::int64_t motifNumInFile = 0; // input: 1-based number within its file; database: same as motifID
  motifMatrix matrix;              // the motif as read, rows scaled to sum 1
  motifMatrix revCompMatrix;       // getRevCompMotif(matrix)
  std::string consensus;           // getConsensusString(matrix)
  std::string revCompConsensus;    // getConsensusString(revCompMatrix)
};

// One kept alignment of two motifs. The motif fields follow the listing (scan order when
// scanOrderFlag is "Y", swapped when empty); the dataset numbers and formats always follow scan order.
struct dataCombinedScore {
  FixedText direction;                 // "Forward" (anchored at first positions) or "Backward"
  std::int32_t firstDatasetNum = 0;    // dataset of the scan's first motif
  std::int32_t secondDatasetNum = 0;   // dataset of the scan's second motif
  std::int64_t firstMotifNumInFile = 0;   // motifNumInFile of the motif listed first
  std::int64_t secondMotifNumInFile = 0;  // motifNumInFile of the motif listed second
  FixedText scanOrderFlag;             // "Y": listed in scan order; empty: swapped
  std::int64_t firstMotifID = 0;       // motif listed first; result lists group by it
  std::int64_t secondMotifID = 0;      // motif listed second
  TextRef firstMotifName;              // name of the motif listed first
  TextRef secondMotifName;             // name of the motif listed second
  std::int32_t position = 0;           // 1-based shift
  std::int32_t numOverlap = 0;         // aligned positions, at least `overlap`
  double rawScore = 0.0;               // best orientation score in [0, 1]
  double scoreDiff = 0.0;              // |rawScore - best score of the ranked motif|
  std::int32_t overlapDiff = 0;        // |numOverlap - longest overlap of the ranked motif|
  double similarityScore = 0.0;        // ranking key (overlapDiff + scoreDiff) * 0.5; smaller is closer
  FixedText firstMatchingFormat;       // orientation of the scan's first motif
  FixedText secondMatchingFormat;      // orientation of the scan's second motif
};

// One step of merging two motifs.
struct combinedMatrices {
  std::int64_t firstMotifID = 0;
  std::int64_t secondMotifID = 0;
  std::string firstMotifName;
  std::string secondMotifName;
  std::string firstMatchingFormat;
  std::string secondMatchingFormat;
  std::string scanOrderFlag;
  std::string direction;
  std::int32_t position = 0;
  std::int32_t numOverlap = 0;
  double similarityScore = 0.0;
  motifMatrix firstMotifMatrix;     // first motif in the orientation its format names
  motifMatrix secondMotifMatrix;    // second motif in the orientation its format names
  motifMatrix combinedMotifMatrix;  // merged matrix ("Y"), or the second motif's matrix ("N")
  std::string mergedFlag;           // "Y" accepted, "N" rejected
  std::string firstAlignment;       // first line of the merge's alignment picture
  std::string secondAlignment;      // second line
};

// One input file, in the order the names were typed.
struct fileNameAndType {
  std::string fileName;          // as typed; opened as inputPath + fileName
  std::int32_t fileType = 0;     // format answer 1..10; no stage reads it, the readers tell each
                                 // block's layout from its text
  std::int32_t motifCount = 0;   // motifs read from the file
  std::int32_t datasetNum = 0;   // 1-based position in the typed order
};

// One motif's best alignment statistics; index = motif ID - 1 in its list.
struct maxScores {
  double bestScore = 0.0;           // highest rawScore
  std::int32_t longestOverlap = 0;  // largest numOverlap
};

// One value of one matrix row with its column (0 A, 1 C, 2 G, 3 T); ordered by value.
struct tempArray {
  double value = 0.0;
  std::int32_t nucleotideIndex = 0;
  bool operator<(const tempArray& other) const { return value < other.value; }
};

// One motif's summed ranking keys; ordered by the sum, ascending.
struct commonBestMatches {
  std::int64_t motifID = 0;
  double sumScores = 0.0;
  bool operator<(const commonBestMatches& other) const { return sumScores < other.sumScores; }
};

using bestMatchList = std::vector<dataCombinedScore>;
using mergeChain = std::vector<combinedMatrices>;

// What the selecting pass of one alignment family keeps of all its alignments: exactly what result
// selection reads, so that no list of every alignment is ever held. Element k - 1 of each list
// belongs to motif ID k (the motif an alignment is ranked for).
struct selectedMatches {
  // Per motif its best matches: per partner motif the best-ranked alignment, at most numBestMatches
  // partners, ascending by ranking key with equal keys in the scans' order.
  std::vector<bestMatchList> bestMatches;
  // The same over partners of other input files (dataset family, several files only).
  std::vector<bestMatchList> otherFileMatches;
  double largestKey = 0.0;  // largest ranking key of all the family's alignments (trees only)
  // Trees only: the smallest key of each motif pair, in cell (i - 1) * n + (j - 1) for motif IDs
  // i < j of the n input motifs; +infinity where the pair kept no alignment.
  std::vector<double> nearestKeys;
};

// A square table of distances between labelled motifs, as the motif trees read it. Each cell holds
// the value that its six-digit text reads back as, so that the text written from it is that text.
struct distanceTable {
  bool filled = false;              // set by result selection; an unfilled table has no rows at all
  std::vector<std::string> labels;  // row and column labels, in order
  std::vector<double> cells;        // row-major, labels.size() squared; 0 on the diagonal
  double& at(std::size_t row, std::size_t column) { return cells[row * labels.size() + column]; }
  double at(std::size_t row, std::size_t column) const { return cells[row * labels.size() + column]; }
};

// The order of every alignment-list sort: ascending ranking key.
inline bool comparison(const dataCombinedScore& a, const dataCombinedScore& b) {
  return a.similarityScore < b.similarityScore;
}
inline bool comparisonHighToLow(const dataCombinedScore& a, const dataCombinedScore& b) {
  return a.similarityScore > b.similarityScore;
}
inline bool compareMatrixID(const dataCombinedScore& a, const dataCombinedScore& b) {
  return a.firstMotifID < b.firstMotifID;
}

}  // namespace korvelan
