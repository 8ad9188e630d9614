#include "tools/gain_kernel.h"

#include "platform/rtl/rounding.h"
#include "profiledata/geometry_gpr.h"
#include "profiledata/hilbert.h"
#include "profiledata/list_of_dots.h"
#include "tools/worker_pool.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Adding and taking away 1.5 x 2^52 rounds a double below 2^51 to an integer,
// halves to even (the default rounding mode).
constexpr double kRoundMagic = 6755399441055744.0;
// Products at or beyond this go the extended way (they saturate there).
constexpr double kFastLimit = 2147483000.0;
// The double product lies within |p| x 2^-52 of the exact one, the extended
// within |p| x 2^-64: both round the same way unless p is this near a half.
constexpr double kHalfMargin = 0x1p-50;

// Whether the double product p (r its nearest integer) may round otherwise than
// the extended one. Written without short cuts so that the loop vectorises.
inline bool NearHalf(double p, double r) {
  const double a = std::fabs(p);
  return static_cast<bool>(static_cast<int>(!(a < kFastLimit)) |
                           static_cast<int>(std::fabs(std::fabs(p - r) - 0.5) <= a * kHalfMargin));
}

}  // namespace

int GainRowOfSample(int64_t j, int32_t zoom, int64_t fullHeight, int boxHeight) {
  if (zoom <= 0) zoom = 1000;
  long double r = static_cast<long double>(j) * 1000 / zoom;
  if (fullHeight > boxHeight && fullHeight > 0) r = static_cast<long double>(j) * 1000 * boxHeight / (static_cast<long double>(zoom) * fullHeight);
  const int64_t row = Round(r);
  return static_cast<int>(std::clamp<int64_t>(row, 0, std::max(boxHeight - 1, 0)));
}

TSampleGains SampleGains(const TListOfDots& curve, int longTrace, int32_t zoom, int64_t fullHeight) {
  TSampleGains g;
  const int n = std::max(longTrace, 0);
  g.Gain.resize(static_cast<size_t>(n));
  g.GainD.resize(static_cast<size_t>(n));
  const int box = curve.GetHeight();
  for (int j = 0; j < n; ++j) {
    const long double f = curve.Rval(GainRowOfSample(j, zoom, fullHeight, box));
    g.Gain[static_cast<size_t>(j)] = f;
    g.GainD[static_cast<size_t>(j)] = static_cast<double>(f);
  }
  return g;
}

int32_t GainSampleExtended(int32_t x, long double g) { return RoundToInt32(static_cast<long double>(x) * g); }

void ApplyGainToTraceExtended(const int32_t* in, int32_t* out, int n, const long double* gain) {
  for (int j = 0; j < n; ++j) out[j] = GainSampleExtended(in[j], gain[j]);
}

void ApplyGainToTrace(const int32_t* in, int32_t* out, int n, const long double* gain, const double* gainD) {
  // Blocks small enough for the stack, so that out may be in: the first pass
  // (vectorised) marks the samples the double cannot decide, the second takes
  // those in extended precision from the kept input.
  constexpr int kBlock = 256;
  for (int start = 0; start < n; start += kBlock) {
    const int m = std::min(kBlock, n - start);
    int32_t x[kBlock];
    std::memcpy(x, in + start, static_cast<size_t>(m) * sizeof(int32_t));
    const double* gd = gainD + start;
    int32_t* o = out + start;
    int undecided = 0;
    for (int j = 0; j < m; ++j) {
      const double p = static_cast<double>(x[j]) * gd[j];
      const double r = (p + kRoundMagic) - kRoundMagic;
      const int near = NearHalf(p, r);
      undecided |= near;
      const double kept = near ? 0.0 : r;
      o[j] = static_cast<int32_t>(kept);
    }
    if (undecided == 0) continue;
    const long double* g = gain + start;
    for (int j = 0; j < m; ++j) {
      const double p = static_cast<double>(x[j]) * gd[j];
      const double r = (p + kRoundMagic) - kRoundMagic;
      if (NearHalf(p, r)) o[j] = GainSampleExtended(x[j], g[j]);
    }
  }
}

std::vector<double> MeanEnvelope(const int32_t* input, int64_t traces, int longTrace) {
  std::vector<double> mean;
  if (!input || traces <= 0 || longTrace <= 0) {
    mean.assign(static_cast<size_t>(std::max(longTrace, 0)), 0.0);
    return mean;
  }
  const auto L = static_cast<size_t>(longTrace);
  std::vector<int32_t> envelope(input, input + static_cast<size_t>(traces) * L);
  TWorkerPool::Instance().Run(0, traces, [&](int64_t first, int64_t end) {
    std::vector<TMaxSample2> list;
    std::vector<long double> work;
    for (int64_t t = first; t < end; ++t)
      ExtremaEnvelopeOfTrace(envelope.data() + static_cast<size_t>(t) * L, longTrace, true, list, work, otAmplitude, true);
  });
  MeanTrace(mean, envelope.data(), longTrace, static_cast<int>(std::min<int64_t>(traces, INT32_MAX)));
  return mean;
}
