#pragma once
// The rectifier's per-sample loops, compiled on their own so that the compiler
// vectorises them (they run at memory speed over whole channels).

#include <cstdint>

enum class TRectifierMode : uint8_t { FullWave = 0, Positive = 1, Negative = 2 };

// n samples of `in` into `out` (which may be `in`):
//   FullWave (and any value but 1 and 2): |x|
//   Positive: x when x >= 0, else 0
//   Negative: -x when x < 0, else 0
// -2147483648 rectifies to 2147483647 (saturated).
void RectifySamples(const int32_t* in, int32_t* out, int64_t n, TRectifierMode mode);
