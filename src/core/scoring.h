// The two fixed values of the scoring, apart from the run state so the scan kernel can take its
// defaults from them.
#pragma once

#include <cstdint>

namespace korvelan {

inline constexpr double maxScore = 1.0;     // best score of one aligned cell
inline constexpr std::int32_t overlap = 4;  // least number of aligned positions

}  // namespace korvelan
