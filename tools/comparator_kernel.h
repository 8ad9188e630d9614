#pragma once
// The comparator's per-sample loop and its amplitude histogram (the godograph's
// counts), compiled on their own so that the compiler vectorises the loop.

#include <array>
#include <cstdint>

// n samples of `in` into `out` (which may be `in`): |x| < threshold becomes 0,
// every other sample stays. |x| is exact (-2147483648 counts as 2147483648); a
// threshold of 0 or less changes nothing.
void ZeroBelowThreshold(const int32_t* in, int32_t* out, int64_t n, int32_t threshold);

// 201 bins of amplitude: bin nearest(200 |x| / largest), halves to even.
constexpr int GodographBins = 201;
using TAmplitudeCounts = std::array<int64_t, GodographBins>;

// The bin of magnitude m against the largest magnitude (at least 1), exact; a
// magnitude above the largest falls into the top bin.
int AmplitudeBin(uint32_t magnitude, uint32_t largest);
// Adds n samples to counts.
void CountAmplitudes(const int32_t* in, int64_t n, uint32_t largest, TAmplitudeCounts& counts);
