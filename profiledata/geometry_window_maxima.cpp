#include "profiledata/geometry_gpr.h"

#include <algorithm>
#include <cstddef>

namespace {

// True when no value of the window around (r, q) exceeds v; equal values do not count.
bool IsWindowMaximum(const int32_t* data, long long samples, long long r, long long q, long long halfTraces,
                     long long halfSamples, int32_t v) {
  for (long long u = r - halfTraces; u <= r + halfTraces; ++u) {
    const int32_t* trace = data + u * samples;
    for (long long p = q - halfSamples; p <= q + halfSamples; ++p)
      if (trace[p] > v) return false;
  }
  return true;
}

}  // namespace

// i32 values compare exactly as their extended copies would, so the search reads the
// block directly and converts only the values it records.
void WindowMaximaOfTrace(int trace, int halfTraces, int halfSamples, int firstSample, std::vector<TMaxSample2>& list,
                         std::span<const int32_t> data, int traces, int samples, long double threshold) {
  list.clear();
  if (samples <= 0 || traces <= 0) return;
  const long long s = samples;
  const long long fitting = static_cast<long long>(data.size()) / s;
  const long long t = std::min<long long>(traces, fitting);
  const long long ht = std::max(halfTraces, 0);
  const long long hs = std::max(halfSamples, 0);
  const long long q0 = std::max<long long>(firstSample, hs);
  const long long r = trace;
  if (r < ht || r > t - ht - 1) return;
  const int32_t* values = data.data() + r * s;
  for (long long q = q0; q <= s - hs - 1; ++q) {
    const int32_t v = values[q];
    if (!(v > threshold)) continue;
    if (IsWindowMaximum(data.data(), s, r, q, ht, hs, v))
      list.push_back(TMaxSample2{static_cast<int32_t>(q), static_cast<long double>(v), false});
  }
}

void FindWindowMaxima(int halfTraces, int halfSamples, int firstSample, TarMax2InTraces& lists,
                      std::span<const int32_t> data, int traces, int samples, long double threshold) {
  if (samples <= 0 || traces <= 0) return;
  const long long fitting = static_cast<long long>(data.size()) / samples;
  const long long t = std::min<long long>(traces, fitting);
  const long long ht = std::max(halfTraces, 0);
  const long long lastTrace = std::min<long long>(t - ht - 1, MaxExtremaLists - 1);
  for (long long r = ht; r <= lastTrace; ++r)
    WindowMaximaOfTrace(static_cast<int>(r), halfTraces, halfSamples, firstSample, lists[static_cast<std::size_t>(r)],
                        data, traces, samples, threshold);
}
