#include "tools/comparator_kernel.h"

#include "tools/sample_magnitude.h"
#include "tools/vector_state.h"

#include <algorithm>
#include <cstring>

void ZeroBelowThreshold(const int32_t* in, int32_t* out, int64_t n, int32_t threshold) {
  ClearUpperVectorState();
  if (threshold <= 0) {
    if (in != out && n > 0) std::memmove(out, in, static_cast<size_t>(n) * sizeof(int32_t));
    return;
  }
  const auto limit = static_cast<uint32_t>(threshold);
  for (int64_t i = 0; i < n; ++i) {
    const int32_t x = in[i];
    out[i] = SampleMagnitude(x) < limit ? 0 : x;
  }
}

int AmplitudeBin(uint32_t magnitude, uint32_t largest) {
  largest = std::max<uint32_t>(largest, 1);
  const uint64_t scaled = uint64_t{200} * magnitude;
  uint64_t q = scaled / largest;
  const uint64_t twice = 2 * (scaled % largest);
  if (twice > largest || (twice == largest && (q & 1) != 0)) ++q;
  return static_cast<int>(std::min<uint64_t>(q, GodographBins - 1));
}

void CountAmplitudes(const int32_t* in, int64_t n, uint32_t largest, TAmplitudeCounts& counts) {
  ClearUpperVectorState();
  for (int64_t i = 0; i < n; ++i) ++counts[static_cast<size_t>(AmplitudeBin(SampleMagnitude(in[i]), largest))];
}
