#include "tools/frequency_filter_kernels.h"

#include "platform/rtl/rounding.h"

namespace {
inline int32_t SampleAt(const int32_t* x, int n, int i) { return i < n ? x[i] : 0; }
}  // namespace

void BandPassTrace(const int32_t* in, int32_t* out, int n, long double a, long double b) {
  const long double a1 = a - 1;
  const long double b2 = 2 - b;
  const long double d = a + 1;
  int64_t x1 = 0, x2 = 0;  // x[i-1], x[i-2]
  int64_t y1 = 0, y2 = 0;  // y[i-1], y[i-2]
  for (int i = 0; i < n; ++i) {
    const int64_t x = in[i];
    const int64_t dx = i < 2 ? 0 : x - x2;
    const int64_t y = RoundToInt32((static_cast<long double>(dx) * a + a1 * y2 + b2 * y1) / d);
    out[i] = static_cast<int32_t>(y);
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = y;
  }
}

void BandStopTrace(const int32_t* in, int32_t* out, int n, long double a, long double b) {
  if (n <= 0) return;
  const long double a1 = a - 1;
  const long double b2 = 2 - b;
  const long double d = a + 1;
  // The look-ahead samples the first two steps stand in for the missing ones.
  const int64_t ahead1 = SampleAt(in, n, 1);
  const int64_t ahead2 = SampleAt(in, n, 2);
  const int64_t ahead3 = SampleAt(in, n, 3);
  int64_t x1 = ahead1, x2 = ahead2;  // x[i-1], x[i-2]
  int64_t y1 = ahead1, y2 = ahead2;  // y[i-1], y[i-2]
  for (int i = 0; i < n; ++i) {
    if (i == 1) {
      x2 = ahead3;
      y2 = ahead3;
    }
    const int64_t x = in[i];
    const int64_t y = RoundToInt32((a1 * y2 + static_cast<long double>(x + x2) + b2 * (y1 - x1)) / d);
    out[i] = static_cast<int32_t>(y);
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = y;
  }
}

void LowPassTrace(const int32_t* in, int32_t* out, int n, long double c) {
  const long double d = c + 1;
  int64_t y1 = 0;
  for (int i = 0; i < n; ++i) {
    y1 = RoundToInt32((y1 * c + in[i]) / d);
    out[i] = static_cast<int32_t>(y1);
  }
}

void HighPassTrace(const int32_t* in, int32_t* out, int n, long double c) {
  if (n <= 0) return;
  const long double d = c + 1;
  int64_t x1 = SampleAt(in, n, 1);
  int64_t y1 = x1;
  for (int i = 0; i < n; ++i) {
    const int64_t x = in[i];
    y1 = RoundToInt32(static_cast<long double>(x - x1 + y1) * c / d);
    out[i] = static_cast<int32_t>(y1);
    x1 = x;
  }
}
