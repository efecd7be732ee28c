// Scans of short pairs shared out over the thread team, for tests of what the team gives.
#pragma once

#include <cstdint>

#include "merge/merge_internal.h"

namespace korvelan::testing {

// While it lives, a two-matrix scan scores `solo` positions on the calling thread and hands the rest
// of its blocks to the team.
class TeamAfter {
 public:
  explicit TeamAfter(std::int64_t solo) : saved_(soloPositions) { soloPositions = solo; }
  ~TeamAfter() { soloPositions = saved_; }
  TeamAfter(const TeamAfter&) = delete;
  TeamAfter& operator=(const TeamAfter&) = delete;

 private:
  std::int64_t saved_;
};

}  // namespace korvelan::testing
