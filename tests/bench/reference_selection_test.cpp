// The plain path's selection from keyed records: per motif the records stably sorted by key, then
// the first record of each partner.
#include <gtest/gtest.h>

#include <vector>

#include "reference/reference_path.h"

namespace korvelan {
namespace {

std::vector<std::int32_t> positions(const bestMatchList& list) {
  std::vector<std::int32_t> out;
  for (const dataCombinedScore& r : list) out.push_back(r.position);
  return out;
}

TEST(ReferenceSelection, OnePerPartnerUpToTheLimit) {
  const std::int64_t A = 2, B = 3, C = 4, D = 5;
  struct Case {
    std::vector<std::int64_t> partners;  // of motif 1's records, in ascending key order
    std::int32_t limit;
    std::vector<std::int32_t> taken;
  };
  const Case cases[] = {
      {{A, B}, 1, {1}},
      {{A, A}, 1, {1}},
      {{A, A, B, A, C, D}, 3, {1, 3, 5}},
      {{A, A, B, A, C, D}, 2, {1, 3}},
      {{A, A, B, A, C, D}, 50, {1, 3, 5, 6}},
      {{A}, 50, {1}},
      {{}, 3, {}},
      // IDs that agree in their first six digits are still different motifs.
      {{1000000, 1000001, 1000000, 1234567, 1234568}, 50, {1, 2, 4, 5}},
  };
  for (const Case& c : cases) {
    std::vector<dataCombinedScore> records;
    for (std::size_t i = 0; i < c.partners.size(); ++i) {
      dataCombinedScore& r = records.emplace_back();
      r.firstMotifID = 1;
      r.secondMotifID = c.partners[i];
      r.position = static_cast<std::int32_t>(i + 1);
      r.similarityScore = 0.125 * static_cast<double>(i);
    }
    const selectedMatches selected = reference::selectFromRecords(records, 1, false, c.limit, false, false);
    ASSERT_EQ(selected.bestMatches.size(), 1u);
    EXPECT_EQ(positions(selected.bestMatches[0]), c.taken)
        << "limit " << c.limit << ", " << c.partners.size() << " records";
  }
}

TEST(ReferenceSelection, GroupsByRankedMotifInStoredOrderDroppingUnknownMotifs) {
  std::vector<dataCombinedScore> records(6);
  const std::int64_t firsts[] = {2, 1, 0, 2, 4, 1};  // 0 and 4 name no motif of three
  for (std::size_t i = 0; i < records.size(); ++i) {
    records[i].firstMotifID = firsts[i];
    records[i].secondMotifID = static_cast<std::int64_t>(10 + i);
    records[i].position = static_cast<std::int32_t>(i + 1);
  }
  const selectedMatches selected = reference::selectFromRecords(records, 3, false, 50, false, false);
  ASSERT_EQ(selected.bestMatches.size(), 3u);
  EXPECT_EQ(positions(selected.bestMatches[0]), (std::vector<std::int32_t>{2, 6}));
  EXPECT_EQ(positions(selected.bestMatches[1]), (std::vector<std::int32_t>{1, 4}));
  EXPECT_TRUE(selected.bestMatches[2].empty());
}

}  // namespace
}  // namespace korvelan
