#include "profiledata/hilbert.h"

#include "platform/rtl/rounding.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numbers>

void HilbertSum(const int32_t* x, int n, long double* h) {
  if (x == nullptr || h == nullptr || n <= 0) return;
  constexpr long double pi = std::numbers::pi_v<long double>;
  for (int i = 0; i < n; ++i) {
    // The term j lies at distance i - j, an integer that long double holds exactly,
    // so stepping it by one gives the same divisor as converting i and j.
    long double sum = 0;
    long double d = i;
    for (int j = 0; j < i; ++j, d -= 1) sum += static_cast<long double>(x[j]) / d;
    d = -1;
    for (int j = i + 1; j < n; ++j, d -= 1) sum += static_cast<long double>(x[j]) / d;
    h[i] = sum / pi;
  }
}

void PhaseToFrequency(const long double* phase, int n, double timeWindow, TPhaseHistory& history, int32_t* out) {
  if (phase == nullptr || out == nullptr || n <= 0) return;
  constexpr long double pi = std::numbers::pi_v<long double>;
  const auto count = static_cast<size_t>(n);

  // Unwrap: a drop of the raw phase is replaced by a continuation at the previous
  // step, so the unwrapped phase never falls.
  std::vector<long double> unwrapped(count);
  double offset = 0;
  for (size_t i = 0; i < count; ++i) {
    const long double p = phase[i];
    if (p < history.p1) offset = static_cast<double>(offset + (history.p1 - p) + std::fabs(history.p2 - history.p1));
    history.p2 = history.p1;
    history.p1 = static_cast<double>(p);
    unwrapped[i] = p + offset;
  }

  const long double dt = static_cast<long double>(timeWindow) / n;
  if (!(dt > 0) || !std::isfinite(dt)) {
    std::fill(out, out + count, 0);
    return;
  }
  // f_i = (u_(i+1) - u_(i-1)) / (4 pi dt) in GHz; at either end the sample stands in
  // for its missing neighbour and the one-sided difference is halved.
  for (size_t i = 0; i < count; ++i) {
    const long double prev = unwrapped[i == 0 ? i : i - 1];
    const long double next = unwrapped[i + 1 == count ? i : i + 1];
    long double f = (next - prev) / (4 * pi * dt);
    if (i == 0 || i + 1 == count) f /= 2;
    out[i] = RoundToInt32(f * 100000);
  }
}

void HilbertTransformTrace(int32_t* trace, int n, int mode, double timeWindow) {
  if (trace == nullptr || n <= 0) return;
  const auto count = static_cast<size_t>(n);
  std::vector<long double> h(count);
  HilbertSum(trace, n, h.data());

  if (mode == 0) {
    for (size_t i = 0; i < count; ++i) {
      const long double x = trace[i];
      trace[i] = RoundToInt32(std::sqrt(x * x + h[i] * h[i]));
    }
    return;
  }
  for (size_t i = 0; i < count; ++i) h[i] = std::atan2(h[i], static_cast<long double>(trace[i]));
  TPhaseHistory history;
  PhaseToFrequency(h.data(), n, timeWindow, history, trace);
}

void MeanTrace(double* mean, const int32_t* block, int samples, int traces) {
  if (mean == nullptr || samples <= 0) return;
  const auto width = static_cast<size_t>(samples);
  std::fill(mean, mean + width, 0.0);
  if (block == nullptr || traces <= 0) return;
  const double divisor = traces;
  for (size_t t = 0; t < static_cast<size_t>(traces); ++t) {
    const int32_t* row = block + t * width;
    for (size_t k = 0; k < width; ++k) mean[k] += row[k] / divisor;
  }
}

void MeanTrace(std::vector<double>& mean, const int32_t* block, int samples, int traces) {
  mean.assign(static_cast<size_t>(std::max(samples, 0)), 0.0);
  MeanTrace(mean.data(), block, samples, traces);
}
