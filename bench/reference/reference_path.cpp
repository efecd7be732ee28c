#include "reference/reference_path.h"

#include <omp.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <sstream>
#include <string>
#include <utility>

#include "core/answers.h"
#include "core/globals.h"
#include "core/motifs.h"
#include "driver/result_stages.h"
#include "scan/match_passes.h"

namespace korvelan::reference {
namespace {

// A value of a row as the kernel reads it: a row short of four values reads as zeros.
double valueAt(const motifMatrix& matrix, long row, int column) {
  const auto& values = matrix[static_cast<std::size_t>(row)];
  return static_cast<std::size_t>(column) < values.size() ? values[static_cast<std::size_t>(column)] : 0.0;
}

const char* formatOf(int orientation) {
  return orientation == 0 ? "Original Motif" : "Reverse Complement";
}

// Appends the kept placements of one pair in one direction: a record listing F first and S second
// at position P puts F's first row on S's P-th row from the start (forward) or F's last row on S's
// P-th row from the end (backward). Orientation pair p takes motif A's matrix (p < 2) or reverse
// complement and motif B's matrix (p even) or reverse complement; sums are formed position by
// position, columns A, C, G, T, and the first best pair wins.
void scanPair(const scanning::MotifRef& A, const scanning::MotifRef& B, bool backward,
              std::vector<dataCombinedScore>& out) {
  const motifMatrix* ofA[2] = {&A.motif->matrix, &A.motif->revCompMatrix};
  const motifMatrix* ofB[2] = {&B.motif->matrix, &B.motif->revCompMatrix};
  for (int bFirst = 0; bFirst < 2; ++bFirst) {
    const scanning::MotifRef& F = bFirst ? B : A;
    const scanning::MotifRef& S = bFirst ? A : B;
    const long Lf = static_cast<long>(F.motif->matrix.size());
    const long Ls = static_cast<long>(S.motif->matrix.size());
    for (long P = 1; P <= Ls - overlap + 1; ++P) {
      const long n = std::min(Lf, Ls - P + 1);
      double sums[4] = {0.0, 0.0, 0.0, 0.0};
      for (long k = 0; k < n; ++k) {
        const long rf = backward ? Lf - 1 - k : k;
        const long rs = backward ? Ls - P - k : P - 1 + k;
        const long ra = bFirst ? rs : rf, rb = bFirst ? rf : rs;
        for (int c = 0; c < 4; ++c)
          for (int p = 0; p < 4; ++p)
            sums[p] += maxScore - std::fabs(valueAt(*ofA[p / 2], ra, c) - valueAt(*ofB[p % 2], rb, c));
      }
      double best = sums[0] / static_cast<double>(4 * n);
      int winner = 0;
      for (int p = 1; p < 4; ++p) {
        const double score = sums[p] / static_cast<double>(4 * n);
        if (score > best) best = score, winner = p;
      }
      if (!(best >= simCutoff)) continue;
      dataCombinedScore& r = out.emplace_back();
      r.direction = backward ? "Backward" : "Forward";
      r.firstDatasetNum = A.datasetNum;
      r.secondDatasetNum = B.datasetNum;
      r.firstMotifNumInFile = F.motifNumInFile;
      r.secondMotifNumInFile = S.motifNumInFile;
      r.scanOrderFlag = bFirst ? "" : "Y";
      r.firstMotifID = F.motifID;
      r.secondMotifID = S.motifID;
      r.firstMotifName = F.name;
      r.secondMotifName = S.name;
      r.position = static_cast<std::int32_t>(P);
      r.numOverlap = static_cast<std::int32_t>(n);
      r.rawScore = best;
      r.firstMatchingFormat = formatOf(winner / 2);
      r.secondMatchingFormat = formatOf(winner % 2);
    }
  }
}

bool usable(const scanning::MotifRef& m) {
  return m.motif->matrix.size() >= static_cast<std::size_t>(overlap);
}

using MatchRefs = std::vector<const dataCombinedScore*>;

// Per partner the first record of a sorted list, at most `limit` of them; the first record always.
template <class PartnerOf>
bestMatchList bestMatchesOf(const MatchRefs& sorted, std::int32_t limit, PartnerOf partnerOf) {
  bestMatchList best;
  if (sorted.empty()) return best;
  std::vector<std::int64_t> partners;
  best.push_back(*sorted.front());
  partners.push_back(partnerOf(*sorted.front()));
  for (std::size_t i = 1; i < sorted.size() && static_cast<std::int32_t>(best.size()) < limit; ++i) {
    const std::int64_t partner = partnerOf(*sorted[i]);
    if (std::find(partners.begin(), partners.end(), partner) != partners.end()) continue;
    best.push_back(*sorted[i]);
    partners.push_back(partner);
  }
  return best;
}

}  // namespace

std::vector<dataCombinedScore> scanRecords(const std::vector<scanning::MotifRef>& listA,
                                           const std::vector<scanning::MotifRef>& listB, bool triangular,
                                           int threads) {
  std::vector<dataCombinedScore> records;
  const auto rows = static_cast<long>(listA.size());
  for (const bool backward : {false, true}) {
    // Count each row's records, then score again into the row's place: the list holds every record
    // once, in order, whatever the thread count.
    std::vector<std::size_t> counts(listA.size() + 1, 0);
    auto scanRow = [&](long a, std::vector<dataCombinedScore>& out) {
      if (!usable(listA[static_cast<std::size_t>(a)])) return;
      for (std::size_t b = triangular ? static_cast<std::size_t>(a) + 1 : 0; b < listB.size(); ++b)
        if (usable(listB[b])) scanPair(listA[static_cast<std::size_t>(a)], listB[b], backward, out);
    };
#pragma omp parallel for schedule(dynamic, 1) num_threads(threads)
    for (long a = 0; a < rows; ++a) {
      std::vector<dataCombinedScore> row;
      scanRow(a, row);
      counts[static_cast<std::size_t>(a) + 1] = row.size();
    }
    std::size_t at = records.size();
    std::vector<std::size_t> begin(listA.size());
    for (std::size_t a = 0; a < listA.size(); ++a) begin[a] = at, at += counts[a + 1];
    records.resize(at);
#pragma omp parallel for schedule(dynamic, 1) num_threads(threads)
    for (long a = 0; a < rows; ++a) {
      std::vector<dataCombinedScore> row;
      scanRow(a, row);
      std::copy(row.begin(), row.end(),
                records.begin() + static_cast<std::ptrdiff_t>(begin[static_cast<std::size_t>(a)]));
    }
  }
  return records;
}

namespace {

// Builds every handed pair's records into its chunk's list.
class RecordSink : public scanning::PairSink {
 public:
  RecordSink(const std::vector<scanning::MotifRef>& listA, const std::vector<scanning::MotifRef>& listB,
             bool backward)
      : listA_(listA), listB_(listB), backward_(backward) {}
  void start(std::size_t chunks, int) override { chunks_.assign(chunks, {}); }
  void take(std::size_t chunk, int, const scanning::PairShifts& pair) override {
    for (const scanning::KeptShift* k = pair.begin; k != pair.end; ++k)
      scanning::buildRecord(chunks_[chunk].emplace_back(), *k, listA_[pair.a], pair.La, listB_[pair.b],
                            pair.Lb, backward_);
  }
  void appendTo(std::vector<dataCombinedScore>& out) const {
    for (const auto& chunk : chunks_) out.insert(out.end(), chunk.begin(), chunk.end());
  }

 private:
  const std::vector<scanning::MotifRef>& listA_;
  const std::vector<scanning::MotifRef>& listB_;
  bool backward_;
  std::vector<std::vector<dataCombinedScore>> chunks_;
};

}  // namespace

std::vector<dataCombinedScore> kernelRecords(const std::vector<scanning::MotifRef>& listA,
                                             const std::vector<scanning::MotifRef>& listB, bool triangular,
                                             const scanning::ScanSettings& settings) {
  std::vector<dataCombinedScore> records;
  for (const bool backward : {false, true}) {
    RecordSink sink(listA, listB, backward);
    scanning::scanLists(listA, listB, {.settings = settings, .triangular = triangular, .backward = backward},
                        sink);
    sink.appendTo(records);
  }
  return records;
}

std::vector<maxScores> setKeys(std::vector<dataCombinedScore>& records, std::size_t motifCount,
                               bool database) {
  std::vector<maxScores> maxima(motifCount);
  auto raise = [&](std::int64_t id, const dataCombinedScore& r) {
    if (!isMotifID(id, motifCount)) return;
    maxScores& e = maxima[static_cast<std::size_t>(id - 1)];
    if (r.rawScore > e.bestScore) e.bestScore = r.rawScore;
    if (r.numOverlap > e.longestOverlap) e.longestOverlap = r.numOverlap;
  };
  for (const dataCombinedScore& r : records) {
    if (database) {
      raise(inputMotifNumber(r), r);
    } else {
      raise(r.firstMotifID, r);
      raise(r.secondMotifID, r);
    }
  }
  for (dataCombinedScore& r : records) {
    const std::int64_t ranked = database ? inputMotifNumber(r) : r.firstMotifID;
    if (!isMotifID(ranked, motifCount)) continue;
    const maxScores& e = maxima[static_cast<std::size_t>(ranked - 1)];
    r.overlapDiff = std::abs(r.numOverlap - e.longestOverlap);
    r.scoreDiff = std::fabs(r.rawScore - e.bestScore);
    r.similarityScore = (r.overlapDiff + r.scoreDiff) * 0.5;
  }
  return maxima;
}

selectedMatches selectFromRecords(const std::vector<dataCombinedScore>& records, std::size_t motifCount,
                                  bool database, std::int32_t numBestMatches, bool otherFiles,
                                  bool distances) {
  std::vector<MatchRefs> groups(motifCount);
  for (const dataCombinedScore& r : records) {
    const std::int64_t ranked = database ? inputMotifNumber(r) : r.firstMotifID;
    if (isMotifID(ranked, motifCount)) groups[static_cast<std::size_t>(ranked - 1)].push_back(&r);
  }
  for (MatchRefs& group : groups)
    std::stable_sort(group.begin(), group.end(), [](const dataCombinedScore* a, const dataCombinedScore* b) {
      return comparison(*a, *b);
    });

  selectedMatches out;
  auto partnerOf = [database](const dataCombinedScore& r) {
    return database ? collectionMotifNumber(r) : r.secondMotifID;
  };
  for (const MatchRefs& group : groups) {
    out.bestMatches.push_back(bestMatchesOf(group, numBestMatches, partnerOf));
    if (otherFiles) {
      MatchRefs other;
      for (const dataCombinedScore* r : group)
        if (r->secondDatasetNum != r->firstDatasetNum) other.push_back(r);
      out.otherFileMatches.push_back(bestMatchesOf(other, numBestMatches, partnerOf));
    }
  }
  if (distances) {
    out.nearestKeys.assign(motifCount * motifCount, std::numeric_limits<double>::infinity());
    for (std::size_t k = 1; k <= motifCount; ++k) {
      if (!groups[k - 1].empty())
        out.largestKey = std::max(out.largestKey, groups[k - 1].back()->similarityScore);
      for (const dataCombinedScore* r : groups[k - 1]) {
        const std::int64_t partner = r->secondMotifID;
        if (!isMotifID(partner, motifCount) || static_cast<std::size_t>(partner) == k) continue;
        const std::size_t i = std::min<std::size_t>(k, static_cast<std::size_t>(partner)) - 1;
        const std::size_t j = std::max<std::size_t>(k, static_cast<std::size_t>(partner)) - 1;
        double& cell = out.nearestKeys[i * motifCount + j];
        cell = std::min(cell, r->similarityScore);
      }
    }
  }
  return out;
}

void clearSelectionResults() {
  globalMatchingScoreResultList.clear();
  commonBestScoreResultList.clear();
  topGlobalMatchingResults.clear();
  topGlobalAndLocalMatchingResults.clear();
  topBestMatchesResults.clear();
  distanceMatrix = {};
  distanceMatrixGlobal = {};
  maxSumScoreCompare = 0.0;
}

SelectionOutcome selectAndCapture(const selectedMatches& matches) {
  clearSelectionResults();
  datasetMatches = matches;
  SelectionOutcome out;
  out.bestMatches = matches.bestMatches;
  out.otherFileMatches = matches.otherFileMatches;
  getResultsList();
  out.globalRanking = globalMatchingScoreResultList;
  out.ranking = commonBestScoreResultList;
  out.topGlobal = topGlobalMatchingResults;
  out.topGlobalAndLocal = topGlobalAndLocalMatchingResults;
  out.topBestMatches = topBestMatchesResults;
  out.distances = distanceMatrix;
  out.globalDistances = distanceMatrixGlobal;
  out.largestKey = maxSumScoreCompare;
  return out;
}

selectedMatches datasetMatchesOf(int threads) {
  const auto motifs = scanning::refsOf(Datasets);
  std::vector<dataCombinedScore> records = scanRecords(motifs, motifs, true, threads);
  setKeys(records, Datasets.size(), false);
  return selectFromRecords(records, Datasets.size(), false, numBestMatches, severalFiles(), treesWanted());
}

namespace {

selectedMatches databaseFamily(const std::vector<scanning::MotifRef>& inputs, int threads) {
  const auto collection = scanning::refsOf(DatabaseDatasets);
  std::vector<dataCombinedScore> records = scanRecords(inputs, collection, false, threads);
  setKeys(records, Datasets.size(), true);
  return selectFromRecords(records, Datasets.size(), true, numBestMatches, false, false);
}

bool sameBits(double x, double y) {
  return std::memcmp(&x, &y, sizeof x) == 0;
}

std::string recordDifference(const dataCombinedScore& x, const dataCombinedScore& y) {
  std::ostringstream out;
  auto field = [&](const char* name, bool same) {
    if (!same && out.tellp() == 0) out << "field " << name;
  };
  field("direction", x.direction == y.direction);
  field("firstDatasetNum", x.firstDatasetNum == y.firstDatasetNum);
  field("secondDatasetNum", x.secondDatasetNum == y.secondDatasetNum);
  field("firstMotifNumInFile", x.firstMotifNumInFile == y.firstMotifNumInFile);
  field("secondMotifNumInFile", x.secondMotifNumInFile == y.secondMotifNumInFile);
  field("scanOrderFlag", x.scanOrderFlag == y.scanOrderFlag);
  field("firstMotifID", x.firstMotifID == y.firstMotifID);
  field("secondMotifID", x.secondMotifID == y.secondMotifID);
  field("firstMotifName", x.firstMotifName.view() == y.firstMotifName.view());
  field("secondMotifName", x.secondMotifName.view() == y.secondMotifName.view());
  field("position", x.position == y.position);
  field("numOverlap", x.numOverlap == y.numOverlap);
  field("rawScore", sameBits(x.rawScore, y.rawScore));
  field("scoreDiff", sameBits(x.scoreDiff, y.scoreDiff));
  field("overlapDiff", x.overlapDiff == y.overlapDiff);
  field("similarityScore", sameBits(x.similarityScore, y.similarityScore));
  field("firstMatchingFormat", x.firstMatchingFormat == y.firstMatchingFormat);
  field("secondMatchingFormat", x.secondMatchingFormat == y.secondMatchingFormat);
  return out.str();
}

std::string tableDifference(const distanceTable& a, const distanceTable& b) {
  if (a.filled != b.filled) return "filled";
  if (a.labels != b.labels) return "labels";
  if (a.cells.size() != b.cells.size()) return "cell count";
  for (std::size_t k = 0; k < a.cells.size(); ++k)
    if (!sameBits(a.cells[k], b.cells[k])) return "cell " + std::to_string(k);
  return "";
}

std::string rankingDifference(const std::vector<commonBestMatches>& a,
                              const std::vector<commonBestMatches>& b) {
  if (a.size() != b.size()) return "size " + std::to_string(a.size()) + " vs " + std::to_string(b.size());
  for (std::size_t k = 0; k < a.size(); ++k)
    if (a[k].motifID != b[k].motifID || !sameBits(a[k].sumScores, b[k].sumScores))
      return "entry " + std::to_string(k);
  return "";
}

}  // namespace

selectedMatches databaseMatchesOf(int threads) {
  return databaseFamily(scanning::refsOf(Datasets), threads);
}

selectedMatches databaseGlobalMatchesOf(int threads) {
  return databaseFamily(scanning::queryMotifs(topGlobalMatchingResults, Datasets), threads);
}

std::string firstDifference(const std::vector<dataCombinedScore>& a,
                            const std::vector<dataCombinedScore>& b) {
  if (a.size() != b.size()) return "size " + std::to_string(a.size()) + " vs " + std::to_string(b.size());
  for (std::size_t k = 0; k < a.size(); ++k) {
    const std::string field = recordDifference(a[k], b[k]);
    if (!field.empty()) return "record " + std::to_string(k) + ": " + field;
  }
  return "";
}

std::string firstDifference(const std::vector<bestMatchList>& a, const std::vector<bestMatchList>& b) {
  if (a.size() != b.size())
    return "list count " + std::to_string(a.size()) + " vs " + std::to_string(b.size());
  for (std::size_t k = 0; k < a.size(); ++k) {
    const std::string difference = firstDifference(a[k], b[k]);
    if (!difference.empty()) return "list " + std::to_string(k) + ", " + difference;
  }
  return "";
}

std::string firstDifference(const SelectionOutcome& a, const SelectionOutcome& b) {
  const std::pair<const char*, std::string> parts[] = {
      {"best matches", firstDifference(a.bestMatches, b.bestMatches)},
      {"other-file matches", firstDifference(a.otherFileMatches, b.otherFileMatches)},
      {"global ranking", rankingDifference(a.globalRanking, b.globalRanking)},
      {"ranking", rankingDifference(a.ranking, b.ranking)},
      {"top global", firstDifference(a.topGlobal, b.topGlobal)},
      {"top global and local", firstDifference(a.topGlobalAndLocal, b.topGlobalAndLocal)},
      {"top best matches", firstDifference(a.topBestMatches, b.topBestMatches)},
      {"distances", tableDifference(a.distances, b.distances)},
      {"global distances", tableDifference(a.globalDistances, b.globalDistances)},
      {"largest key", sameBits(a.largestKey, b.largestKey) ? "" : "differs"},
  };
  for (const auto& [name, difference] : parts)
    if (!difference.empty()) return std::string(name) + ": " + difference;
  return "";
}

}  // namespace korvelan::reference
