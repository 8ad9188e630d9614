#include "tools/corelator_kernel.h"

#include "platform/rtl/rounding.h"
#include "tools/vector_state.h"

#include <algorithm>
#include <cstdint>

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

// Every sample within [-2^29, 2^29): no sum of either mode passes 32 bits.
// (x + 2^29 lies in [0, 2^30) exactly then; computed unsigned, so any x is fine.)
bool SumsFit32(const int32_t* in, int n) {
  uint32_t outside = 0;
  for (int i = 0; i < n; ++i) outside |= (static_cast<uint32_t>(in[i]) + (1u << 29)) >> 30;
  return outside == 0;
}

template <class T, class TStep>
void ForEachSample(const int32_t* in, int32_t* out, int n, int base, TStep step) {
  // The trace in three stretches so that the middle one, where both outer
  // samples exist, runs without index tests (and vectorises).
  const int lowEnd = std::min(base, n);              // i - B < 0
  const int highStart = std::max(n - base, lowEnd);  // i + B > n - 1
  for (int i = 0; i < lowEnd; ++i) out[i] = step(T(in[i]), T(0), T(i + base < n ? in[i + base] : 0));
  for (int i = lowEnd; i < highStart; ++i) out[i] = step(T(in[i]), T(in[i - base]), T(in[i + base]));
  for (int i = highStart; i < n; ++i) out[i] = step(T(in[i]), T(in[i - base]), T(0));
}

}  // namespace

void CorrelateTrace(const int32_t* in, int32_t* out, int n, int base, TCorelatorMode mode) {
  if (n <= 0) return;
  ClearUpperVectorState();
  base = std::max(base, 0);
  if (mode != TCorelatorMode::Mode1 && mode != TCorelatorMode::Mode2) {
    std::fill(out, out + n, 0);
    return;
  }
  // Radar samples are far inside 2^29: 32-bit lanes, twice as many per vector.
  // The same rounding written for them: q the floor quotient, then half to even.
  if (SumsFit32(in, n)) {
    if (mode == TCorelatorMode::Mode1) {
      ForEachSample<int32_t>(in, out, n, base, [](int32_t x, int32_t before, int32_t after) {
        const int32_t s = 2 * x - before - after;
        const int32_t q = s >> 1;
        return q + (s & q & 1);
      });
    } else {
      ForEachSample<int32_t>(in, out, n, base, [](int32_t x, int32_t before, int32_t after) {
        const int32_t s = 2 * x + before + after;
        const int32_t q = s >> 2;
        return q + (((s & 3) + (q & 1) + 1) >> 2);
      });
    }
    return;
  }
  if (mode == TCorelatorMode::Mode1) {
    ForEachSample<int64_t>(in, out, n, base, [](int64_t x, int64_t before, int64_t after) {
      return SaturateToInt32(DivPow2HalfEven<1>(2 * x - before - after));
    });
  } else {
    ForEachSample<int64_t>(in, out, n, base, [](int64_t x, int64_t before, int64_t after) {
      return SaturateToInt32(DivPow2HalfEven<2>(2 * x + before + after));
    });
  }
}
