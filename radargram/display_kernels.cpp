#include "radargram/display_kernels.h"

#include <algorithm>
#include <cstdint>

namespace display_kernels {

namespace {
constexpr double kRoundMagic = 6755399441055744.0;  // 1.5 x 2^52

// volatile-free: the compiler keeps the two operations (no -ffast-math here).
inline double RoundHalfEven(double x) { return (x + kRoundMagic) - kRoundMagic; }
}  // namespace

void DivideRowUniform(const int32_t* in, int32_t* out, int64_t n, double divisor) {
  for (int64_t i = 0; i < n; ++i) out[i] = static_cast<int32_t>(RoundHalfEven(static_cast<double>(in[i]) / divisor));
}

void DivideRow(const int32_t* in, int32_t* out, int64_t n, const double* divisors) {
  for (int64_t i = 0; i < n; ++i)
    out[i] = static_cast<int32_t>(RoundHalfEven(static_cast<double>(in[i]) / divisors[i]));
}

int32_t MaxAbs(const int32_t* in, int64_t n) {
  // |v| as unsigned: INT32_MIN becomes 2^31 and is then saturated.
  uint32_t best = 0;
  for (int64_t i = 0; i < n; ++i) {
    const uint32_t v = static_cast<uint32_t>(in[i]);
    const uint32_t sign = static_cast<uint32_t>(in[i] >> 31);
    best = std::max(best, (v ^ sign) - sign);
  }
  return static_cast<int32_t>(std::min<uint32_t>(best, 0x7FFFFFFFu));
}

uint8_t IndexOf(int32_t value, double k) {
  const double r = RoundHalfEven(std::clamp(k * value + 127.0, -1.0, 256.0));
  return static_cast<uint8_t>(std::clamp(r, 0.0, 255.0));
}

void MapTransposed(const int32_t* data, int64_t traces, int32_t longTrace, double k, uint8_t* const* rows,
                   int64_t column) {
  // Tiles of traces x samples so that both the trace-major input and the
  // row-major picture are walked through cache-resident lines.
  constexpr int64_t kTileTraces = 64;
  constexpr int64_t kTileSamples = 64;
  for (int64_t t0 = 0; t0 < traces; t0 += kTileTraces) {
    const int64_t t1 = std::min(traces, t0 + kTileTraces);
    for (int64_t s0 = 0; s0 < longTrace; s0 += kTileSamples) {
      const int64_t s1 = std::min<int64_t>(longTrace, s0 + kTileSamples);
      for (int64_t s = s0; s < s1; ++s) {
        uint8_t* row = rows[s] + column;
        const int32_t* column = data + s;
        for (int64_t t = t0; t < t1; ++t) row[t] = IndexOf(column[t * longTrace], k);
      }
    }
  }
}

}  // namespace display_kernels
