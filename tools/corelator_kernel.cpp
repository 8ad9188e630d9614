#include "tools/corelator_kernel.h"

#include "platform/rtl/rounding.h"

#include <algorithm>

namespace {

// s / 2^Shift rounded half to even, exactly: the floor quotient, then one up
// when the remainder passes half, or equals it and the quotient is odd.
template <int Shift>
inline int64_t DivPow2HalfEven(int64_t s) {
  constexpr int64_t divisor = int64_t{1} << Shift;
  constexpr int64_t half = divisor / 2;
  const int64_t q = s >> Shift;  // arithmetic: floor
  const int64_t r = s - q * divisor;
  return q + static_cast<int64_t>((r > half) | ((r == half) & (q & 1)));
}

template <class TStep>
void ForEachSample(const int32_t* in, int32_t* out, int n, int base, TStep step) {
  // The trace in three stretches so that the middle one, where both outer
  // samples exist, runs without index tests (and vectorises).
  const int lowEnd = std::min(base, n);            // i - B < 0
  const int highStart = std::max(n - base, lowEnd);  // i + B > n - 1
  for (int i = 0; i < lowEnd; ++i) out[i] = step(in[i], 0, i + base < n ? in[i + base] : 0);
  for (int i = lowEnd; i < highStart; ++i) out[i] = step(in[i], in[i - base], in[i + base]);
  for (int i = highStart; i < n; ++i) out[i] = step(in[i], in[i - base], 0);
}

}  // namespace

void CorrelateTrace(const int32_t* in, int32_t* out, int n, int base, TCorelatorMode mode) {
  if (n <= 0) return;
  base = std::max(base, 0);
  switch (mode) {
    case TCorelatorMode::Mode1:
      ForEachSample(in, out, n, base, [](int64_t x, int64_t before, int64_t after) {
        return SaturateToInt32(DivPow2HalfEven<1>(2 * x - before - after));
      });
      break;
    case TCorelatorMode::Mode2:
      ForEachSample(in, out, n, base, [](int64_t x, int64_t before, int64_t after) {
        return SaturateToInt32(DivPow2HalfEven<2>(2 * x + before + after));
      });
      break;
    default:
      std::fill(out, out + n, 0);
      break;
  }
}
