// The bounded best-match selection: whatever the order of the offers and however they are spread over
// selections merged afterwards, it keeps what stably sorting all of them and taking the first record of
// each partner keeps.
#include "scan/bounded_selection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace korvelan::scanning {
namespace {

using Offer = Candidate<int>;  // payload: the offer's number

// What the stable sort keeps: offers in (key, place) order, the first of each partner, `limit` partners.
std::vector<int> sortedSelection(std::vector<Offer> offers, int limit) {
  std::sort(offers.begin(), offers.end(), ranksBefore<int>);
  std::vector<int> kept;
  std::vector<std::int64_t> partners;
  for (const Offer& o : offers) {
    if (static_cast<int>(kept.size()) == limit) break;
    if (std::find(partners.begin(), partners.end(), o.partner) != partners.end()) continue;
    partners.push_back(o.partner);
    kept.push_back(o.payload);
  }
  return kept;
}

std::vector<int> boundedSelection(const std::vector<Offer>& offers, int limit, int selections,
                                  std::mt19937& random) {
  std::vector<BoundedSelections<int>> parts(static_cast<std::size_t>(selections),
                                            BoundedSelections<int>(1, limit));
  for (const Offer& o : offers) parts[random() % parts.size()].offer(0, o);
  std::vector<const BoundedSelections<int>*> all;
  for (const auto& part : parts) all.push_back(&part);
  std::vector<int> kept;
  for (const Offer& o : mergeSelections(all, 0, limit)) kept.push_back(o.payload);
  return kept;
}

TEST(BoundedSelection, AnyOfferOrderAndSplitKeepsTheStableSortsChoice) {
  std::mt19937 random(5);
  for (int round = 0; round < 300; ++round) {
    // Few keys and few partners, so ties in key and repeated partners are everywhere; the place breaks
    // every tie.
    const int count = 1 + static_cast<int>(random() % 60);
    const int partners = 1 + static_cast<int>(random() % 12);
    std::vector<Offer> offers;
    for (int i = 0; i < count; ++i)
      offers.push_back(Offer{0.25 * static_cast<double>(random() % 4),
                             Place{random() % 3, static_cast<std::uint64_t>(i)},
                             static_cast<std::int64_t>(random() % static_cast<unsigned>(partners)), i});
    const int limit = 1 + static_cast<int>(random() % 6);
    const std::vector<int> want = sortedSelection(offers, limit);
    for (int selections : {1, 3}) {
      std::shuffle(offers.begin(), offers.end(), random);
      EXPECT_EQ(boundedSelection(offers, limit, selections, random), want)
          << "round " << round << ", limit " << limit << ", " << selections << " selections";
    }
  }
}

TEST(BoundedSelection, AHeldPartnerImprovesAndAnEvictedOneComesBackOnlyWhenBetter) {
  BoundedSelections<int> selection(2, 2);
  auto offer = [&](double key, std::uint64_t place, std::int64_t partner, int tag) {
    selection.offer(1, Offer{key, Place{0, place}, partner, tag});
  };
  auto held = [&] {
    std::vector<int> tags;
    for (const Offer& o : mergeSelections<int>({&selection}, 1, 2)) tags.push_back(o.payload);
    return tags;
  };
  offer(0.5, 1, 7, 1);
  offer(0.75, 2, 8, 2);
  EXPECT_EQ(held(), (std::vector<int>{1, 2}));
  offer(0.25, 3, 8, 3);  // partner 8 improves
  EXPECT_EQ(held(), (std::vector<int>{3, 1}));
  offer(0.5, 0, 9, 4);  // same key as partner 7's, earlier place: 7 goes
  EXPECT_EQ(held(), (std::vector<int>{3, 4}));
  offer(0.5, 5, 7, 5);  // partner 7 again, no better than the worst held: refused
  EXPECT_EQ(held(), (std::vector<int>{3, 4}));
  EXPECT_EQ(selection.begin(0), selection.end(0));  // the other slot holds nothing
}

}  // namespace
}  // namespace korvelan::scanning
