// Bounded selection of best matches: per slot (a motif) at most `limit` distinct partners, each with
// its best candidate, where candidates are ordered by (key, place) and no two have the same place.
// Because that order is total, the outcome does not depend on the order of the offers: a partner
// among the true best `limit` is never refused nor evicted (every candidate held ranks no better
// than its partner's best, and once full the worst held only improves), so offering a motif's
// records in any order, on any number of selections merged afterwards, keeps exactly the first
// record of each of the first `limit` partners of its records stably sorted by key.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace korvelan::scanning {

// A record's place in the scans' order, compared as (major, minor).
struct Place {
  std::uint64_t major = 0;
  std::uint64_t minor = 0;
  bool operator<(const Place& other) const {
    return major != other.major ? major < other.major : minor < other.minor;
  }
};

template <class Payload>
struct Candidate {
  double key = 0.0;
  Place place;
  std::int64_t partner = 0;
  Payload payload{};
};

template <class Payload>
bool ranksBefore(const Candidate<Payload>& x, const Candidate<Payload>& y) {
  return x.key < y.key || (x.key == y.key && x.place < y.place);
}

template <class Payload>
class BoundedSelections {
 public:
  BoundedSelections() = default;
  BoundedSelections(std::size_t slots, int limit)
      : limit_(static_cast<std::size_t>(std::max(limit, 1))),
        entries_(slots * limit_),
        counts_(slots, 0),
        worst_(slots, 0) {}

  std::size_t slots() const { return counts_.size(); }

  void offer(std::size_t slot, const Candidate<Payload>& candidate) {
    Candidate<Payload>* held = entries_.data() + slot * limit_;
    std::uint32_t& count = counts_[slot];
    std::uint32_t& worst = worst_[slot];
    // Full and no better than the worst held: neither a new partner nor a better one for a held
    // partner (whose candidate ranks no worse than the worst).
    if (count == limit_ && !ranksBefore(candidate, held[worst])) return;
    for (std::uint32_t i = 0; i < count; ++i) {
      if (held[i].partner != candidate.partner) continue;
      if (!ranksBefore(candidate, held[i])) return;
      held[i] = candidate;
      if (i == worst) worst = worstOf(held, count);
      return;
    }
    if (count < limit_) {
      held[count] = candidate;
      if (count == 0 || ranksBefore(held[worst], candidate)) worst = count;
      ++count;
      return;
    }
    held[worst] = candidate;
    worst = worstOf(held, count);
  }

  // The candidates held for a slot, in no particular order.
  const Candidate<Payload>* begin(std::size_t slot) const { return entries_.data() + slot * limit_; }
  const Candidate<Payload>* end(std::size_t slot) const { return begin(slot) + counts_[slot]; }

 private:
  static std::uint32_t worstOf(const Candidate<Payload>* held, std::uint32_t count) {
    std::uint32_t worst = 0;
    for (std::uint32_t i = 1; i < count; ++i)
      if (ranksBefore(held[worst], held[i])) worst = i;
    return worst;
  }

  std::size_t limit_ = 1;
  std::vector<Candidate<Payload>> entries_;  // slot * limit_ onwards: the slot's candidates
  std::vector<std::uint32_t> counts_;
  std::vector<std::uint32_t> worst_;  // index of the slot's worst candidate held
};

// The merged outcome of several selections of one slot: per partner its best candidate, the first
// `limit` partners, ascending by (key, place).
template <class Payload>
std::vector<Candidate<Payload>> mergeSelections(
    const std::vector<const BoundedSelections<Payload>*>& selections, std::size_t slot, int limit) {
  std::vector<Candidate<Payload>> all;
  for (const BoundedSelections<Payload>* selection : selections)
    if (slot < selection->slots()) all.insert(all.end(), selection->begin(slot), selection->end(slot));
  std::sort(all.begin(), all.end(), ranksBefore<Payload>);
  std::vector<Candidate<Payload>> best;
  const std::size_t wanted = static_cast<std::size_t>(std::max(limit, 1));
  for (const Candidate<Payload>& candidate : all) {
    if (best.size() == wanted) break;
    bool seen = false;
    for (const Candidate<Payload>& taken : best) seen = seen || taken.partner == candidate.partner;
    if (!seen) best.push_back(candidate);
  }
  return best;
}

}  // namespace korvelan::scanning
