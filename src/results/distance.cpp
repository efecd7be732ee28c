#include "results/distance.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/globals.h"
#include "core/utilities.h"

namespace korvelan {

namespace {

// A table of L labels: L + 1 rows of L + 1 cells, every cell `fill`, the labels in row and column 0, the
// empty corner and "0" on the diagonal.
std::vector<std::vector<std::string>> labelledTable(const std::vector<std::string>& labels,
                                                    const std::string& fill) {
  const std::size_t size = labels.size() + 1;
  std::vector<std::vector<std::string>> table(size, std::vector<std::string>(size, fill));
  const std::string zero(1, '0');
  table[0][0].clear();
  for (std::size_t i = 1; i < size; ++i) {
    table[0][i] = labels[i - 1];
    table[i][0] = labels[i - 1];
    table[i][i] = zero;
  }
  return table;
}

bool isMotifID(std::int64_t id, std::size_t count) {
  return id >= 1 && static_cast<std::uint64_t>(id) <= count;
}

}  // namespace

void fillDistanceMatrix(const std::vector<MatchRefs>& sortedMatchLists) {
  for (const MatchRefs& list : sortedMatchLists)
    if (!list.empty()) maxSumScoreCompare = std::max(maxSumScoreCompare, list.back()->similarityScore);

  const std::size_t n = Datasets.size();
  const double noMatch = std::ceil(2.0 + maxSumScoreCompare);
  // Smallest key per motif pair, kept symmetric; row-major, index (i - 1) * n + (j - 1).
  std::vector<double> nearest(n * n, noMatch);
  for (std::size_t k = 1; k <= n && k <= sortedMatchLists.size(); ++k) {
    for (const dataCombinedScore* record : sortedMatchLists[k - 1]) {
      const std::int64_t partner = record->secondMotifID;
      if (!isMotifID(partner, n) || static_cast<std::size_t>(partner) == k) continue;
      const std::size_t u = static_cast<std::size_t>(partner);
      double& forward = nearest[(k - 1) * n + (u - 1)];
      double& backward = nearest[(u - 1) * n + (k - 1)];
      const double smallest = std::min({forward, backward, record->similarityScore});
      forward = smallest;
      backward = smallest;
    }
  }

  std::vector<std::string> labels;
  labels.reserve(n);
  for (const data& motif : Datasets) labels.push_back(motif.motifName);
  std::vector<std::vector<std::string>> table = labelledTable(labels, numberToString(noMatch));
  for (std::size_t i = 1; i <= n; ++i)
    for (std::size_t j = 1; j <= n; ++j)
      if (i != j) table[i][j] = numberToString(nearest[(i - 1) * n + (j - 1)]);
  for (auto& row : table) distanceMatrix.push_back(std::move(row));
}

void fillDistanceMatrixGlobal() {
  std::vector<std::int64_t> ids;
  std::vector<std::string> labels;
  for (const bestMatchList& group : topGlobalMatchingResults) {
    if (group.empty()) continue;
    ids.push_back(group.front().firstMotifID);
    labels.emplace_back(group.front().firstMotifName.view());
  }
  for (const bestMatchList& group : topGlobalMatchingResults) {
    for (const dataCombinedScore& record : group) {
      if (std::find(ids.begin(), ids.end(), record.secondMotifID) != ids.end()) continue;
      ids.push_back(record.secondMotifID);
      labels.emplace_back(record.secondMotifName.view());
    }
  }

  std::vector<std::vector<std::string>> table =
      labelledTable(labels, numberToString(std::ceil(3.0 + maxSumScoreCompare)));
  // distanceMatrix row and column m belong to motif ID m.
  const std::size_t known = distanceMatrix.empty() ? 0 : distanceMatrix.size() - 1;
  for (std::size_t i = 1; i <= ids.size(); ++i) {
    if (!isMotifID(ids[i - 1], known)) continue;
    const std::vector<std::string>& source = distanceMatrix[static_cast<std::size_t>(ids[i - 1])];
    for (std::size_t j = 1; j <= ids.size(); ++j) {
      const std::int64_t column = ids[j - 1];
      if (isMotifID(column, known) && static_cast<std::size_t>(column) < source.size())
        table[i][j] = source[static_cast<std::size_t>(column)];
    }
  }
  for (auto& row : table) distanceMatrixGlobal.push_back(std::move(row));
}

}  // namespace korvelan
