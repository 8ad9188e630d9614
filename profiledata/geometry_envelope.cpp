#include "profiledata/geometry_gpr.h"

#include "platform/rtl/rounding.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

void HermiteThroughExtrema(std::span<const TMaxSample2> extrema, std::span<long double> envelope) {
  std::fill(envelope.begin(), envelope.end(), 0.0L);
  const std::size_t m = extrema.size();
  const auto n = static_cast<long long>(envelope.size());

  // Entry values first; a repeated, backward or outside index ends the walk before
  // any interpolation (its interval would have no width to divide by).
  for (std::size_t j = 0; j < m; ++j) {
    const long long k = extrema[j].NumSampleMax;
    if (k < 0 || k >= n) return;
    if (j > 0 && k <= extrema[j - 1].NumSampleMax) return;
    envelope[static_cast<std::size_t>(k)] = extrema[j].AmplMax;
  }
  if (m < 2) return;

  const auto index = [&](std::size_t j) { return static_cast<long double>(extrema[j].NumSampleMax); };
  const auto value = [&](std::size_t j) { return extrema[j].AmplMax; };

  std::vector<long double> slope(m);
  slope[0] = (value(1) - value(0)) / (index(1) - index(0));
  slope[m - 1] = (value(m - 1) - value(m - 2)) / (index(m - 1) - index(m - 2));
  for (std::size_t j = 1; j + 1 < m; ++j)
    slope[j] = ((value(j) - value(j - 1)) / 2) / (index(j) - index(j - 1)) +
               ((value(j + 1) - value(j)) / 2) / (index(j + 1) - index(j));

  for (std::size_t j = 0; j + 1 < m; ++j) {
    const int k0 = extrema[j].NumSampleMax;
    const int k1 = extrema[j + 1].NumSampleMax;
    const long double d = k1 - k0;
    const long double y0 = value(j), y1 = value(j + 1);
    const long double s0 = slope[j], s1 = slope[j + 1];
    for (int k = k0 + 1; k < k1; ++k) {
      const long double t = (k - k0) / d;
      const long double t2 = t * t;
      const long double t3 = t2 * t;
      // Cubic Hermite basis: h00 y0 + h10 d s0 + h01 y1 + h11 d s1.
      envelope[static_cast<std::size_t>(k)] = (2 * t3 - 3 * t2 + 1) * y0 + (t3 - 2 * t2 + t) * d * s0 +
                                              (-2 * t3 + 3 * t2) * y1 + (t3 - t2) * d * s1;
    }
  }
}

namespace geometry_detail {

// A starts as the curve through the maxima. Where it still lies below the trace, the
// residual R = A - x has negative minima; the curve through those minima is the depth
// to add, so each pass lifts A by it (A := A - E with E <= 0 there).
void EnvelopeOfSeries(std::span<long double> x, std::vector<TMaxSample2>& list) {
  const std::size_t n = x.size();
  if (n == 0) return;

  std::vector<long double> e(n), a(n), r(n);
  HermiteThroughExtrema(list, e);
  for (std::size_t k = 0; k < n; ++k) a[k] = 2 * e[k];

  for (int pass = 0; pass < EnvelopePassesMax; ++pass) {
    bool below = false;
    for (std::size_t k = 0; k < n; ++k) {
      a[k] -= e[k];
      r[k] = a[k] - x[k];
      if (r[k] < 0) below = true;
    }
    if (!below) break;
    FindSeriesExtrema(r.data(), 1, static_cast<int>(n), TraceLongRun, false, list);
    HermiteThroughExtrema(list, e);
    if (std::all_of(e.begin(), e.end(), [](long double v) { return v == 0; })) break;
  }
  std::copy(a.begin(), a.end(), x.begin());
}

}  // namespace geometry_detail

void TraceEnvelope(int trace, int samples, int traces, TarMax2InTraces& lists, std::span<long double> block) {
  if (trace < 0 || trace >= traces || trace >= MaxExtremaLists) return;
  if (samples <= 0) return;
  const auto first = static_cast<std::size_t>(trace) * static_cast<std::size_t>(samples);
  if (first + static_cast<std::size_t>(samples) > block.size()) return;
  geometry_detail::EnvelopeOfSeries(block.subspan(first, static_cast<std::size_t>(samples)),
                                    lists[static_cast<std::size_t>(trace)]);
}

namespace {

// The envelope of squared samples back in amplitude units: sqrt for positive values,
// -sqrt(|v|) otherwise. With alternating polarity the sign flips at every local
// minimum of the root sequence of this trace, i.e. at the first rise after a fall
// (equal neighbours neither rise nor fall), so a flat-bottomed minimum flips once.
void WriteEnvelopeRoots(std::span<const long double> envelope, int32_t* out, bool alternate) {
  long double sign = 1;
  long double last = 0;
  int direction = 0;  // -1 falling, +1 rising, 0 not yet moved
  for (std::size_t k = 0; k < envelope.size(); ++k) {
    const long double v = envelope[k];
    const long double root = v > 0 ? std::sqrt(v) : -std::sqrt(std::fabs(v));
    if (alternate && k > 0) {
      if (root > last) {
        if (direction < 0) sign = -sign;
        direction = 1;
      } else if (root < last) {
        direction = -1;
      }
    }
    last = root;
    out[k] = RoundToInt32(sign * root);
  }
}

}  // namespace

void ExtremaEnvelopeOfTrace(int32_t* trace, int samples, bool maxima, std::vector<TMaxSample2>& list,
                            std::vector<long double>& work, TOutputType polarity, bool envelope) {
  if (!trace || samples <= 0) return;
  work.resize(static_cast<std::size_t>(samples));
  for (int k = 0; k < samples; ++k) {
    const long double v = trace[k];
    work[static_cast<std::size_t>(k)] = envelope ? v * v : v;  // exact: |v| < 2^31, 64-bit mantissa
  }
  geometry_detail::FindSeriesExtrema(work.data(), 1, samples, TraceLongRun, maxima, list);
  if (!envelope) return;
  geometry_detail::EnvelopeOfSeries(work, list);
  WriteEnvelopeRoots(work, trace, polarity == otFreq);
}

void FindExtremaInTraces(int samples, int traces, bool maxima, TarMax2InTraces& lists, std::span<int32_t> data,
                         TOutputType polarity, bool envelope) {
  if (samples <= 0 || traces <= 0) return;
  const auto fitting = data.size() / static_cast<std::size_t>(samples);
  traces = static_cast<int>(std::min(static_cast<std::size_t>(traces), fitting));

  // Traces are independent, so each is taken through search and envelope on its own
  // extended copy instead of a copy of the whole block. Traces past the table's
  // lists are searched in a list of their own that is not kept.
  std::vector<long double> x;
  std::vector<TMaxSample2> scratch;
  for (int t = 0; t < traces; ++t) {
    int32_t* trace = data.data() + static_cast<std::size_t>(t) * static_cast<std::size_t>(samples);
    auto& list = t < MaxExtremaLists ? lists[static_cast<std::size_t>(t)] : scratch;
    ExtremaEnvelopeOfTrace(trace, samples, maxima, list, x, polarity, envelope);
  }
}

void FindExtremaInTraces(int samples, int traces, bool maxima, std::span<std::vector<TMaxSample2>> lists,
                         std::span<int32_t> data, TOutputType polarity, bool envelope) {
  if (samples <= 0 || traces <= 0) return;
  const auto fitting = data.size() / static_cast<std::size_t>(samples);
  traces = static_cast<int>(std::min({static_cast<std::size_t>(traces), fitting, lists.size()}));
  std::vector<long double> x;
  for (int t = 0; t < traces; ++t) {
    int32_t* trace = data.data() + static_cast<std::size_t>(t) * static_cast<std::size_t>(samples);
    ExtremaEnvelopeOfTrace(trace, samples, maxima, lists[static_cast<std::size_t>(t)], x, polarity, envelope);
  }
}
