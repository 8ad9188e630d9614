#include "tools/sample_magnitude.h"

#include <algorithm>

uint32_t LargestMagnitude(const int32_t* in, int64_t n) {
  uint32_t largest = 0;
  for (int64_t i = 0; i < n; ++i) largest = std::max(largest, SampleMagnitude(in[i]));
  return largest;
}
