#include "tools/sample_magnitude.h"

#include "tools/vector_state.h"

#include <algorithm>

uint32_t LargestMagnitude(const int32_t* in, int64_t n) {
  ClearUpperVectorState();
  // The largest and the smallest sample in 16 lanes each: without a vector
  // instruction for an unsigned or a 32-bit maximum the compare-and-select of
  // one lane chain would hold the loop up, not the memory.
  constexpr int Lanes = 16;
  int32_t high[Lanes] = {};
  int32_t low[Lanes] = {};
  int64_t i = 0;
  for (; i + Lanes <= n; i += Lanes)
    for (int j = 0; j < Lanes; ++j) {
      const int32_t x = in[i + j];
      high[j] = x > high[j] ? x : high[j];
      low[j] = x < low[j] ? x : low[j];
    }
  for (; i < n; ++i) {
    high[0] = std::max(high[0], in[i]);
    low[0] = std::min(low[0], in[i]);
  }
  const int32_t top = *std::max_element(high, high + Lanes);
  const int32_t bottom = *std::min_element(low, low + Lanes);
  return std::max(SampleMagnitude(top), SampleMagnitude(bottom));
}
