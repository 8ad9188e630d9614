#pragma once
// Rounding as the system's arithmetic defines it: Round is half-to-even (banker's),
// Trunc cuts toward zero. Both return 64-bit integers; values outside that range
// saturate instead of invoking undefined behaviour.

#include <cmath>
#include <cstdint>
#include <limits>

inline int64_t SaturateToInt64(long double v) {
  if (std::isnan(v)) return 0;
  if (v >= 9223372036854775807.0L) return std::numeric_limits<int64_t>::max();
  if (v <= -9223372036854775808.0L) return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(v);
}

// Round half to even in the default floating-point rounding mode.
inline int64_t Round(long double v) { return SaturateToInt64(std::nearbyintl(v)); }
inline int64_t Trunc(long double v) { return SaturateToInt64(std::truncl(v)); }
