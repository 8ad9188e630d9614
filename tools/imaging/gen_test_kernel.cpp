#include "tools/imaging/gen_test_kernel.h"

#include "platform/rtl/rounding.h"
#include "profiledata/setting_data.h"

#include <algorithm>
#include <cstdint>
#include <cmath>
#include <cstring>

namespace {
// A bijective 32-bit mix (xor-shift-multiply rounds): every output bit depends
// on every input bit, in operations a vector unit has.
inline uint32_t Mix32(uint32_t x) {
  x ^= x >> 16;
  x *= 0x7FEB352Du;
  x ^= x >> 15;
  x *= 0x846CA68Bu;
  x ^= x >> 16;
  return x;
}

// Sample index (mod 2^32) and seed to a uniform 32-bit value: the index is
// spread by the golden ratio, the seed's halves enter before and after a mix.
inline uint32_t NoiseBits(uint64_t seed, uint32_t index) {
  return Mix32(Mix32(index * 0x9E3779B9u + static_cast<uint32_t>(seed)) ^ static_cast<uint32_t>(seed >> 32));
}

// out[j] += noise of sample first + j, saturated at the top (the noise is never
// negative). Built for AVX2 beside the baseline and picked by the processor:
// the loop is 32-bit multiplies and shifts the baseline has no vector form of.
__attribute__((target_clones("avx2", "default"))) void AddNoise(int32_t* out, int64_t n, int64_t first,
                                                                uint32_t range, uint64_t seed) {
  const auto start = static_cast<uint32_t>(first);
  for (int64_t j = 0; j < n; ++j) {
    const uint32_t bits = NoiseBits(seed, start + static_cast<uint32_t>(j));
    const auto noise = static_cast<int32_t>((uint64_t{bits} * range) >> 32);
    out[j] = out[j] > INT32_MAX - noise ? INT32_MAX : out[j] + noise;
  }
}

// The largest |mult| whose products with every 32-bit sample stay below 2^52.
constexpr int32_t MultExactInDouble = (1 << 20) - 1;

// round(q / 100), halves to even.
int64_t DivideBy100Rounded(int64_t q) {
  int64_t d = q / 100;
  const int64_t r = q % 100;
  if (r > 50 || (r == 50 && (d & 1) != 0)) ++d;
  if (r < -50 || (r == -50 && (d & 1) != 0)) --d;
  return d;
}
}  // namespace

uint32_t NoiseAt(uint64_t seed, int64_t index, int32_t range) {
  if (range <= 0) return 0;
  // The high part of bits x range: uniform up to a bias below range / 2^32.
  return static_cast<uint32_t>((uint64_t{NoiseBits(seed, static_cast<uint32_t>(index))} * static_cast<uint32_t>(range)) >> 32);
}

void ScaleAndNoise(const int32_t* in, int32_t* out, int64_t first, int64_t end, int32_t mult, int32_t range,
                   uint64_t seed) {
  const int64_t n = end - first;
  if (n <= 0) return;
  if (mult == 100) {
    std::memcpy(out, in, static_cast<size_t>(n) * sizeof(int32_t));
  } else if (mult >= -MultExactInDouble && mult <= MultExactInDouble) {
    // |mult x v| < 2^52: the product and a quotient's half are exact in double,
    // and no other quotient lies within its rounding error of a half.
    // Adding and taking away 1.5 x 2^52 rounds |q| < 2^51 to an integer, halves
    // to even, in a form the compiler vectorises.
    constexpr double Shift = 6755399441055744.0;
    for (int64_t j = 0; j < n; ++j) {
      const double q = static_cast<double>(mult) * in[j] / 100;
      const double rounded = (q + Shift) - Shift;
      out[j] = static_cast<int32_t>(std::min(std::max(rounded, -2147483648.0), 2147483647.0));
    }
  } else {
    for (int64_t j = 0; j < n; ++j) out[j] = SaturateToInt32(DivideBy100Rounded(int64_t{mult} * in[j]));
  }
  if (range <= 0) return;
  AddNoise(out, n, first, static_cast<uint32_t>(range), seed);
}

void TGridSectPoint::Finish() {
  // Later writes win: sorted by index, the last write of an index is the last of
  // its run.
  std::stable_sort(writes_.begin(), writes_.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<std::pair<int64_t, int32_t>> kept;
  for (size_t i = 0; i < writes_.size(); ++i) {
    if (i + 1 < writes_.size() && writes_[i + 1].first == writes_[i].first) continue;
    if (writes_[i].second != 0) kept.push_back(writes_[i]);
  }
  writes_ = std::move(kept);
}

void TGridSectPoint::Apply(int32_t* out, int64_t first, int64_t end) const {
  auto it = std::lower_bound(writes_.begin(), writes_.end(), first,
                             [](const auto& point, int64_t index) { return point.first < index; });
  for (; it != writes_.end() && it->first < end; ++it) out[it->first - first] = it->second;
}

void AddParabola(TGridSectPoint& points, const THyperbolaGeometry& g, int32_t X, int32_t Y, int32_t A, int32_t D,
                 int32_t S) {
  if (S <= 0) return;
  if (!(g.GridStepSectY > 0) || !std::isfinite(g.GridStepSectY)) return;
  const long double r = g.GridStepSectX / g.GridStepSectY;
  const long double h = g.DistanceRecept / g.GridStepSectY / 2;
  const long double e = static_cast<long double>(Y) - g.NullShift;
  const long double m = std::sqrt(e * e + h * h);
  const long double delta = m - e;
  const long double fall = static_cast<long double>(D) / 100 / S;
  // Only the offsets that land on a trace of the channel.
  const int64_t from = std::max<int64_t>(-int64_t{S}, -int64_t{X});
  const int64_t to = std::min<int64_t>(S, g.Traces - 1 - X);
  for (int64_t i = from; i <= to; ++i) {
    const long double ir = static_cast<long double>(i) * r;
    const long double at = std::sqrt(m * m + ir * ir) + g.NullShift - delta;
    if (!(at > -1 && at < g.LongTrace)) continue;
    const int64_t s = Round(at);
    if (s < 0 || s >= g.LongTrace) continue;
    const long double a = A - static_cast<long double>(i < 0 ? -i : i) * fall * A;
    points.Set((X + i) * int64_t{g.LongTrace} + s, RoundToInt32(a));
  }
}

TSectionGridSteps SectionGridSteps(const TSettingData& s) {
  TSectionGridSteps steps;
  steps.X = static_cast<long double>(s.GetMeasureStep()) / 1000;
  steps.Y = s.GetLongTrace() != 0
                ? static_cast<long double>(s.GetSpanWidth()) / s.GetLongTrace() * s.GetSpeedLight() / 2000
                : 0;
  return steps;
}
