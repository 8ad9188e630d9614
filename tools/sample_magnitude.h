#pragma once
// |x| of a 32-bit sample without overflow: -2147483648 counts as 2147483648, so
// the magnitude is unsigned.

#include <cstdint>

inline uint32_t SampleMagnitude(int32_t x) {
  return x < 0 ? 0u - static_cast<uint32_t>(x) : static_cast<uint32_t>(x);
}

// The largest magnitude of n samples (0 for none).
uint32_t LargestMagnitude(const int32_t* in, int64_t n);
