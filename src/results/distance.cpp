#include "results/distance.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "core/globals.h"
#include "core/motifs.h"
#include "core/utilities.h"

namespace korvelan {

void fillDistanceMatrix(selectedMatches& matches) {
  maxSumScoreCompare = std::max(maxSumScoreCompare, matches.largestKey);
  const std::size_t n = Datasets.size();
  const double noMatch = sixDigitValue(std::ceil(2.0 + maxSumScoreCompare));
  distanceTable& table = distanceMatrix;
  table = distanceTable{};
  table.filled = true;
  table.labels.reserve(n);
  for (const data& motif : Datasets) table.labels.push_back(motif.motifName);
  // The smallest keys lie in the upper triangle, cell (i, j) for i < j; the table mirrors them.
  if (matches.nearestKeys.size() == n * n)
    table.cells = std::move(matches.nearestKeys);
  else
    table.cells.assign(n * n, std::numeric_limits<double>::infinity());
  matches.nearestKeys = {};
  for (std::size_t i = 0; i < n; ++i) {
    table.at(i, i) = 0.0;
    for (std::size_t j = i + 1; j < n; ++j) {
      const double key = table.at(i, j);
      const double cell = key == std::numeric_limits<double>::infinity() ? noMatch : sixDigitValue(key);
      table.at(i, j) = cell;
      table.at(j, i) = cell;
    }
  }
}

void fillDistanceMatrixGlobal() {
  std::vector<std::int64_t> ids;
  distanceTable& table = distanceMatrixGlobal;
  table = distanceTable{};
  table.filled = true;
  for (const bestMatchList& group : topGlobalMatchingResults) {
    if (group.empty()) continue;
    ids.push_back(group.front().firstMotifID);
    table.labels.emplace_back(group.front().firstMotifName.view());
  }
  for (const bestMatchList& group : topGlobalMatchingResults) {
    for (const dataCombinedScore& record : group) {
      if (std::find(ids.begin(), ids.end(), record.secondMotifID) != ids.end()) continue;
      ids.push_back(record.secondMotifID);
      table.labels.emplace_back(record.secondMotifName.view());
    }
  }

  const std::size_t size = ids.size();
  table.cells.assign(size * size, sixDigitValue(std::ceil(3.0 + maxSumScoreCompare)));
  for (std::size_t i = 0; i < size; ++i) table.at(i, i) = 0.0;
  // distanceMatrix row and column m - 1 belong to motif ID m.
  const std::size_t known = distanceMatrix.filled ? distanceMatrix.labels.size() : 0;
  for (std::size_t i = 0; i < size; ++i) {
    if (!isMotifID(ids[i], known)) continue;
    for (std::size_t j = 0; j < size; ++j)
      if (isMotifID(ids[j], known))
        table.at(i, j) =
            distanceMatrix.at(static_cast<std::size_t>(ids[i] - 1), static_cast<std::size_t>(ids[j] - 1));
  }
}

}  // namespace korvelan
