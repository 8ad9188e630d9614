#include "tools/rectifier_kernel.h"

#include <algorithm>
#include <limits>

namespace {
// |x| saturated: computed unsigned (no overflow for -2147483648), then capped at
// the int32 maximum.
inline int32_t SatAbs(int32_t x) {
  const uint32_t a = x < 0 ? 0u - static_cast<uint32_t>(x) : static_cast<uint32_t>(x);
  return static_cast<int32_t>(std::min<uint32_t>(a, std::numeric_limits<int32_t>::max()));
}

template <class TStep>
void ForEachSample(const int32_t* in, int32_t* out, int64_t n, TStep step) {
  for (int64_t i = 0; i < n; ++i) out[i] = step(in[i]);
}
}  // namespace

void RectifySamples(const int32_t* in, int32_t* out, int64_t n, TRectifierMode mode) {
  switch (mode) {
    case TRectifierMode::Positive:
      ForEachSample(in, out, n, [](int32_t x) { return x >= 0 ? x : 0; });
      break;
    case TRectifierMode::Negative:
      ForEachSample(in, out, n, [](int32_t x) { return x < 0 ? SatAbs(x) : 0; });
      break;
    default:
      ForEachSample(in, out, n, SatAbs);
      break;
  }
}
