#include "tools/compressor_kernel.h"

#include "platform/rtl/rounding.h"
#include "tools/sample_magnitude.h"
#include "tools/vector_state.h"

#include <algorithm>
#include <cmath>
#include <numbers>

TCompressorCurve::TCompressorCurve(uint32_t largest, int32_t k)
    : largest_(std::max<uint32_t>(largest, 1)),
      k_(static_cast<long double>(k)),
      scale_(2.0L * static_cast<long double>(largest_) / std::numbers::pi_v<long double>),
      scaleD_(static_cast<double>(scale_)),
      kD_(static_cast<double>(k)),
      largestD_(static_cast<double>(largest_)) {}

int32_t TCompressorCurve::OfMagnitude(uint32_t x) const {
  // The double arctangent is four times as fast and within a few units of its
  // last place of the extended one: its rounding is the extended one's unless
  // the value lies that close to a half, and there the extended one decides.
  const double yd = scaleD_ * std::atan(static_cast<double>(x) * kD_ / largestD_);
  const double floor = std::floor(yd);
  const double fraction = yd - floor;
  if (std::fabs(fraction - 0.5) > 1e-13 * (std::fabs(yd) + 1))
    return SaturateToInt32(static_cast<int64_t>(fraction > 0.5 ? floor + 1 : floor));
  const long double v = static_cast<long double>(x) * k_ / static_cast<long double>(largest_);
  return RoundToInt32Fast(scale_ * std::atan(v));
}

int32_t TCompressorCurve::operator()(int32_t x) const {
  const int32_t y = OfMagnitude(SampleMagnitude(x));
  // |y| < 2^31 (the output stays within +-A * 2/pi * pi/2): the negation fits.
  return x < 0 ? SaturateToInt32(-static_cast<int64_t>(y)) : y;
}

void CompressDirect(const int32_t* in, int32_t* out, int64_t n, const TCompressorCurve& curve) {
  ClearUpperVectorState();
  for (int64_t i = 0; i < n; ++i) out[i] = curve(in[i]);
}

void FillCompressorTable(int32_t* table, int64_t from, int64_t to, const TCompressorCurve& curve) {
  ClearUpperVectorState();
  for (int64_t m = from; m < to; ++m) table[m] = curve.OfMagnitude(static_cast<uint32_t>(m));
}

void CompressByTable(const int32_t* in, int32_t* out, int64_t n, const int32_t* table) {
  ClearUpperVectorState();
  for (int64_t i = 0; i < n; ++i) {
    const int32_t x = in[i];
    // The sign without a branch (the signs of noise do not predict): y or -y
    // as (y ^ s) - s with s all ones for a negative x. |y| < 2^31 (see above).
    const uint32_t s = static_cast<uint32_t>(x >> 31);
    const auto y = static_cast<uint32_t>(table[SampleMagnitude(x)]);
    out[i] = static_cast<int32_t>((y ^ s) - s);
  }
}

std::vector<TCurvePoint> CompressorCurvePoints(int32_t base) {
  constexpr long double top = 131071;
  constexpr long double lastInput = 129921;  // 1023 x 127
  const long double a = static_cast<long double>(base) / 4194303.0L;
  std::vector<TCurvePoint> points;
  points.reserve(128);
  for (int i = 0; i < 128; ++i) {
    const long double x = 1023.0L * i;
    const long double y = a == 0 ? top * x / lastInput : top / std::atan(a * lastInput) * std::atan(a * x);
    points.push_back({static_cast<double>(x), static_cast<double>(y)});
  }
  return points;
}
