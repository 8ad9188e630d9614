#pragma once
// A tool's result as a 32-bit sample: values past the int32 range saturate (the
// 32-bit sample cannot hold them, and wrapping would flip their sign).

#include "platform/rtl/rounding.h"

#include <algorithm>
#include <cstdint>
#include <limits>

inline int32_t SaturateToInt32(int64_t v) {
  return static_cast<int32_t>(
      std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

// Rounded half to even, then saturated; NaN gives 0.
inline int32_t RoundToSample(long double v) { return SaturateToInt32(Round(v)); }
