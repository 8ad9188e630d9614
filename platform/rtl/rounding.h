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

// A 32-bit sample or field from a wider value: saturated at the int32 range,
// never wrapped (wrapping would flip the sign).
inline int32_t SaturateToInt32(int64_t v) {
  if (v > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (v < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(v);
}
// Rounded half to even, then saturated; NaN gives 0.
inline int32_t RoundToInt32(long double v) { return SaturateToInt32(Round(v)); }

// RoundToInt32 for per-sample loops: rint in the default rounding mode (half to
// even) kept inline (x87 frndint); the library's nearbyintl saves and restores
// the floating-point environment on every call. Saturated; NaN gives 0.
inline int32_t RoundToInt32Fast(long double v) {
  const long double r = __builtin_rintl(v);
  if (!(r == r)) return 0;
  if (r >= 2147483647.0L) return std::numeric_limits<int32_t>::max();
  if (r <= -2147483648.0L) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(r);
}
