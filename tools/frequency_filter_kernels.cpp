#include "tools/frequency_filter_kernels.h"

#include "platform/rtl/rounding.h"

#include <cmath>
#include <cstring>

namespace {
inline int32_t SampleAt(const int32_t* x, int n, int i) { return i < n ? x[i] : 0; }

// One output sample: v rounded half to even as an extended value (the next step
// works on it) and as the saturated int32 written out.
//
// Adding 1.5 x 2^63 moves any |v| < 2^62 into the binade of 2^63, whose unit in
// the last place of the 64-bit mantissa is 1: the sum is rounded to an integer in
// the default rounding mode, half to even, exactly as nearbyintl does, and its
// mantissa holds 0xC000000000000000 + the integer. This avoids a library call
// and two control-word switches per sample on the recurrences' critical path.
constexpr long double RoundingShift = 0x1.8p63L;
constexpr long double FastRange = 0x1p62L;

struct TRounded {
  long double value;
  int32_t sample;
};

inline TRounded RoundSample(long double v) {
  if (!(v > -FastRange && v < FastRange)) {
    // NaN and huge values: the general routine (NaN gives 0).
    const int32_t s = RoundToInt32(v);
    return {static_cast<long double>(s), s};
  }
  const long double t = v + RoundingShift;
  uint64_t mantissa = 0;
  std::memcpy(&mantissa, &t, sizeof(mantissa));
  const int64_t r = static_cast<int64_t>(mantissa - 0xC000000000000000ull);
  const int32_t s = SaturateToInt32(r);
  // The next step works on the sample as written, saturated.
  return {s == r ? t - RoundingShift : static_cast<long double>(s), s};
}

// Each recurrence is one dependency chain per trace, long in latency (an
// extended division and the rounding per sample). Several traces stepped side by
// side keep the floating-point unit busy; each trace's arithmetic is unchanged.
constexpr int Side = 4;

template <int K>
void BandPassGroup(const int32_t* in, int32_t* out, int n, long double a, long double b) {
  const long double a1 = a - 1;
  const long double b2 = 2 - b;
  const long double d = a + 1;
  int64_t x1[K] = {}, x2[K] = {};      // x[i-1], x[i-2]
  long double y1[K] = {}, y2[K] = {};  // y[i-1], y[i-2]
  for (int i = 0; i < n; ++i) {
    for (int k = 0; k < K; ++k) {
      const int64_t x = in[int64_t{k} * n + i];
      const int64_t dx = i < 2 ? 0 : x - x2[k];
      const TRounded y = RoundSample((static_cast<long double>(dx) * a + a1 * y2[k] + b2 * y1[k]) / d);
      out[int64_t{k} * n + i] = y.sample;
      x2[k] = x1[k];
      x1[k] = x;
      y2[k] = y1[k];
      y1[k] = y.value;
    }
  }
}

template <int K>
void BandStopGroup(const int32_t* in, int32_t* out, int n, long double a, long double b) {
  const long double a1 = a - 1;
  const long double b2 = 2 - b;
  const long double d = a + 1;
  int64_t x1[K], x2[K], ahead3[K];
  long double y1[K], y2[K];
  for (int k = 0; k < K; ++k) {
    // The look-ahead samples the first two steps stand in for the missing ones.
    const int32_t* x = in + int64_t{k} * n;
    x1[k] = SampleAt(x, n, 1);
    x2[k] = SampleAt(x, n, 2);
    ahead3[k] = SampleAt(x, n, 3);
    y1[k] = static_cast<long double>(x1[k]);
    y2[k] = static_cast<long double>(x2[k]);
  }
  for (int i = 0; i < n; ++i) {
    for (int k = 0; k < K; ++k) {
      if (i == 1) {
        x2[k] = ahead3[k];
        y2[k] = static_cast<long double>(ahead3[k]);
      }
      const int64_t x = in[int64_t{k} * n + i];
      const TRounded y = RoundSample((a1 * y2[k] + static_cast<long double>(x + x2[k]) + b2 * (y1[k] - x1[k])) / d);
      out[int64_t{k} * n + i] = y.sample;
      x2[k] = x1[k];
      x1[k] = x;
      y2[k] = y1[k];
      y1[k] = y.value;
    }
  }
}

template <int K>
void LowPassGroup(const int32_t* in, int32_t* out, int n, long double c) {
  const long double d = c + 1;
  long double y1[K] = {};
  for (int i = 0; i < n; ++i) {
    for (int k = 0; k < K; ++k) {
      const TRounded y = RoundSample((y1[k] * c + in[int64_t{k} * n + i]) / d);
      out[int64_t{k} * n + i] = y.sample;
      y1[k] = y.value;
    }
  }
}

template <int K>
void HighPassGroup(const int32_t* in, int32_t* out, int n, long double c) {
  const long double d = c + 1;
  int64_t x1[K];
  long double y1[K];
  for (int k = 0; k < K; ++k) {
    x1[k] = SampleAt(in + int64_t{k} * n, n, 1);
    y1[k] = static_cast<long double>(x1[k]);
  }
  for (int i = 0; i < n; ++i) {
    for (int k = 0; k < K; ++k) {
      const int64_t x = in[int64_t{k} * n + i];
      const TRounded y = RoundSample((static_cast<long double>(x - x1[k]) + y1[k]) * c / d);
      out[int64_t{k} * n + i] = y.sample;
      y1[k] = y.value;
      x1[k] = x;
    }
  }
}

// Groups of Side traces, then the rest one by one.
template <class TGroup, class TSingle>
void ByGroups(const int32_t* in, int32_t* out, int count, int n, TGroup group, TSingle single) {
  if (n <= 0) return;
  int t = 0;
  for (; t + Side <= count; t += Side) group(in + int64_t{t} * n, out + int64_t{t} * n);
  for (; t < count; ++t) single(in + int64_t{t} * n, out + int64_t{t} * n);
}
}  // namespace

void BandPassTraces(const int32_t* in, int32_t* out, int count, int n, long double a, long double b) {
  ByGroups(
      in, out, count, n, [&](const int32_t* i, int32_t* o) { BandPassGroup<Side>(i, o, n, a, b); },
      [&](const int32_t* i, int32_t* o) { BandPassGroup<1>(i, o, n, a, b); });
}

void BandStopTraces(const int32_t* in, int32_t* out, int count, int n, long double a, long double b) {
  ByGroups(
      in, out, count, n, [&](const int32_t* i, int32_t* o) { BandStopGroup<Side>(i, o, n, a, b); },
      [&](const int32_t* i, int32_t* o) { BandStopGroup<1>(i, o, n, a, b); });
}

void LowPassTraces(const int32_t* in, int32_t* out, int count, int n, long double c) {
  ByGroups(
      in, out, count, n, [&](const int32_t* i, int32_t* o) { LowPassGroup<Side>(i, o, n, c); },
      [&](const int32_t* i, int32_t* o) { LowPassGroup<1>(i, o, n, c); });
}

void HighPassTraces(const int32_t* in, int32_t* out, int count, int n, long double c) {
  ByGroups(
      in, out, count, n, [&](const int32_t* i, int32_t* o) { HighPassGroup<Side>(i, o, n, c); },
      [&](const int32_t* i, int32_t* o) { HighPassGroup<1>(i, o, n, c); });
}

void BandPassTrace(const int32_t* in, int32_t* out, int n, long double a, long double b) {
  BandPassTraces(in, out, 1, n, a, b);
}
void BandStopTrace(const int32_t* in, int32_t* out, int n, long double a, long double b) {
  BandStopTraces(in, out, 1, n, a, b);
}
void LowPassTrace(const int32_t* in, int32_t* out, int n, long double c) { LowPassTraces(in, out, 1, n, c); }
void HighPassTrace(const int32_t* in, int32_t* out, int n, long double c) { HighPassTraces(in, out, 1, n, c); }
