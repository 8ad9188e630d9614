#include "raster/fixed_math.h"

#include "platform/rtl/rounding.h"

#include <cmath>
#include <limits>
#include <stdexcept>

TFixed FxDiv(TFixed a, TFixed b) {
  constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
  constexpr int64_t kMin = std::numeric_limits<int32_t>::min();
  const int64_t n = int64_t{a} * 65536;
  if (b == 0) return n == 0 ? 0 : (n > 0 ? kMax : kMin);
  const int64_t q = n / b;
  return static_cast<TFixed>(q > kMax ? kMax : (q < kMin ? kMin : q));
}

int32_t MulDiv(int32_t multiplicand, int32_t multiplier, int32_t divisor) {
  auto magnitude = [](int32_t v) {
    return v < 0 ? 0u - static_cast<uint32_t>(v) : static_cast<uint32_t>(v);
  };
  const uint64_t p = uint64_t{magnitude(multiplicand)} * magnitude(multiplier);
  const uint32_t d = magnitude(divisor);
  // |product| < 2^62, so twice its upper half fits 32 bits.
  if (2u * static_cast<uint32_t>(p >> 32) >= d) return -1;
  uint32_t q = static_cast<uint32_t>(p / d);
  const uint32_t r = static_cast<uint32_t>(p % d);
  if (d - r <= r) ++q;
  if ((multiplicand ^ multiplier ^ divisor) < 0) q = 0u - q;
  return static_cast<int32_t>(q);
}

int32_t DivWithRemainder(int32_t dividend, int32_t divisor, int32_t& remainder) {
  if (divisor == 0) throw std::domain_error("Division by zero");
  const int64_t q = int64_t{dividend} / divisor;
  remainder = static_cast<int32_t>(int64_t{dividend} % divisor);
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(q)));
}

void SineCosine(float theta, float& sin, float& cos) {
  const long double t = theta;
  sin = static_cast<float>(std::sin(t));
  cos = static_cast<float>(std::cos(t));
}

float IntHypot(float x, float y) {
  const long double lx = x, ly = y;
  return static_cast<float>(std::sqrt(lx * lx + ly * ly));
}

int32_t IntHypot(int32_t x, int32_t y) {
  return static_cast<int32_t>(Round(IntHypot(static_cast<float>(x), static_cast<float>(y))));
}
