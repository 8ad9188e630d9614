#include "tools/normalization_kernel.h"

#include "platform/rtl/rounding.h"

#include <algorithm>
#include <cmath>

void TracePeaks(const int32_t* in, int longTrace, int64_t first, int64_t end, int64_t* peak) {
  for (int64_t t = first; t < end; ++t) {
    const int32_t* x = in + t * longTrace;
    // |x| as the distance from 0 in 64 bits: -2^31 has no 32-bit magnitude.
    int32_t lo = 0, hi = 0;
    for (int j = 0; j < longTrace; ++j) {
      lo = std::min(lo, x[j]);
      hi = std::max(hi, x[j]);
    }
    peak[t] = std::max<int64_t>(hi, -int64_t{lo});
  }
}

std::vector<long double> WindowWeights(int64_t traces, int32_t W) {
  const int64_t Wn = std::clamp<int64_t>(W, 0, traces);
  const long double sigma = static_cast<long double>(Wn + 1) / 3.0L;
  std::vector<long double> weight(static_cast<size_t>(Wn + 1));
  for (int64_t d = 0; d <= Wn; ++d)
    weight[static_cast<size_t>(d)] = std::exp(-static_cast<long double>(d * d) / (2 * sigma * sigma));
  return weight;
}

void WindowMaxima(const std::vector<int64_t>& peak, const std::vector<long double>& weight, int64_t first,
                  int64_t end, int64_t* M) {
  const int64_t N = static_cast<int64_t>(peak.size());
  const int64_t Wn = static_cast<int64_t>(weight.size()) - 1;
  for (int64_t t = first; t < end; ++t) {
    // The trace itself has weight 1; a trace whose peak is no larger than the
    // maximum so far cannot pass it (its weight is at most 1).
    int64_t m = std::max<int64_t>(1, peak[static_cast<size_t>(t)]);
    for (int64_t i = std::max<int64_t>(0, t - Wn); i <= std::min(N - 1, t + Wn); ++i) {
      const int64_t p = peak[static_cast<size_t>(i)];
      if (p <= m) continue;
      const long double w = weight[static_cast<size_t>(std::abs(i - t))];
      // p w <= 2^31: rint in the default rounding mode is the half-to-even round.
      m = std::max(m, static_cast<int64_t>(__builtin_rintl(static_cast<long double>(p) * w)));
    }
    M[t] = m;
  }
}

std::vector<int64_t> WindowMaxima(const std::vector<int64_t>& peak, int32_t W) {
  std::vector<int64_t> M(peak.size(), 1);
  WindowMaxima(peak, WindowWeights(static_cast<int64_t>(peak.size()), W), 0, static_cast<int64_t>(peak.size()),
               M.data());
  return M;
}

namespace {
// A double estimate of G x / M (|G x / M| <= 2^31) is off by less than 1e-6; the
// extended result by less than 1e-9. Unless the estimate lies within this margin
// of a half, both round to the same integer.
constexpr double HalfMargin = 1e-5;
constexpr double RoundingShift = 6755399441055744.0;
}  // namespace

void ScaleTraces(const int32_t* in, int32_t* out, int longTrace, int64_t G, const std::vector<int64_t>& M,
                 int64_t first, int64_t end) {
  const long double g = static_cast<long double>(G);
  for (int64_t t = first; t < end; ++t) {
    const long double m = static_cast<long double>(M[static_cast<size_t>(t)]);
    const double ratio = static_cast<double>(G) / static_cast<double>(M[static_cast<size_t>(t)]);
    const int32_t* x = in + t * longTrace;
    int32_t* y = out + t * longTrace;
    for (int j = 0; j < longTrace; ++j) {
      const double estimate = x[j] * ratio;
      // Adding and taking away 1.5 x 2^52 rounds to an integer half to even in
      // the default rounding mode (|estimate| <= 2^31 + 1).
      const double nearest = (estimate + RoundingShift) - RoundingShift;
      if (std::fabs(std::fabs(estimate - nearest) - 0.5) > HalfMargin) {
        y[j] = static_cast<int32_t>(std::clamp(nearest, -2147483648.0, 2147483647.0));
      } else {
        // Near a half: the extended quotient decides, as the rule computes it.
        y[j] = RoundToInt32Fast(g * (static_cast<long double>(x[j]) / m));
      }
    }
  }
}
