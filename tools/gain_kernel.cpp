#include "tools/gain_kernel.h"

#include "platform/rtl/rounding.h"
#include "profiledata/geometry_gpr.h"
#include "profiledata/hilbert.h"
#include "profiledata/list_of_dots.h"
#include "tools/worker_pool.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include <immintrin.h>

namespace {

// Adding and taking away 1.5 x 2^52 rounds a double below 2^51 to an integer,
// halves to even (the default rounding mode).
constexpr double kRoundMagic = 6755399441055744.0;
// Products at or beyond this go the extended way (they saturate there).
constexpr double kFastLimit = 2147483000.0;
// The double product lies within |p| x 2^-52 of the exact one, the extended
// within |p| x 2^-64: both round the same way unless p is this near a half
// (a lane is undecided when ||p - r| - 1/2| <= |p| x margin or |p| >= limit).
constexpr double kHalfMargin = 0x1p-50;

// The lanes of a group of four the double could not decide, the extended way from
// the kept input (out may be in: xi holds the input).
void FixUndecidedLanes(__m128i xi, int mask, const long double* gain, int32_t* out) {
  int32_t x[4];
  _mm_storeu_si128(reinterpret_cast<__m128i*>(x), xi);
  for (int k = 0; k < 4; ++k)
    if (mask & (1 << k)) out[k] = GainSampleExtended(x[k], gain[k]);
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

void ApplyGainToTraceSse2(const int32_t* in, int32_t* out, int n, const long double* gain, const double* gainD) {
  // Four samples at a time in two double pairs: p = x g, r = p rounded through
  // the magic number, and a lane mask of the products the double cannot decide
  // (NearHalf), which go the extended way from the kept input.
  const __m128d magic = _mm_set1_pd(kRoundMagic);
  const __m128d limit = _mm_set1_pd(kFastLimit);
  const __m128d half = _mm_set1_pd(0.5);
  const __m128d margin = _mm_set1_pd(kHalfMargin);
  const __m128d sign = _mm_set1_pd(-0.0);
  const auto lanes = [&](__m128d x, const double* g, __m128i& rounded) {
    const __m128d p = _mm_mul_pd(x, _mm_loadu_pd(g));
    const __m128d r = _mm_sub_pd(_mm_add_pd(p, magic), magic);
    const __m128d a = _mm_andnot_pd(sign, p);
    const __m128d d = _mm_andnot_pd(sign, _mm_sub_pd(_mm_andnot_pd(sign, _mm_sub_pd(p, r)), half));
    const __m128d bad = _mm_or_pd(_mm_cmpnlt_pd(a, limit), _mm_cmple_pd(d, _mm_mul_pd(a, margin)));
    rounded = _mm_cvttpd_epi32(_mm_andnot_pd(bad, r));
    return _mm_movemask_pd(bad);
  };
  int j = 0;
  for (; j + 4 <= n; j += 4) {
    const __m128i xi = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + j));
    __m128i o0, o1;
    const int mask = lanes(_mm_cvtepi32_pd(xi), gainD + j, o0) |
                     (lanes(_mm_cvtepi32_pd(_mm_shuffle_epi32(xi, 0xEE)), gainD + j + 2, o1) << 2);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + j), _mm_unpacklo_epi64(o0, o1));
    if (mask != 0) FixUndecidedLanes(xi, mask, gain + j, out + j);
  }
  for (; j < n; ++j) out[j] = GainSampleExtended(in[j], gain[j]);
}

// The same lanes four doubles wide. Only AVX2 is enabled, not FMA: a fused
// x g + magic would round the exact product where the check reads the double one.
__attribute__((target("avx2"))) void ApplyGainToTraceAvx2(const int32_t* in, int32_t* out, int n,
                                                           const long double* gain, const double* gainD) {
  const __m256d magic = _mm256_set1_pd(kRoundMagic);
  const __m256d limit = _mm256_set1_pd(kFastLimit);
  const __m256d half = _mm256_set1_pd(0.5);
  const __m256d margin = _mm256_set1_pd(kHalfMargin);
  const __m256d sign = _mm256_set1_pd(-0.0);
  int j = 0;
  for (; j + 4 <= n; j += 4) {
    const __m128i xi = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + j));
    const __m256d p = _mm256_mul_pd(_mm256_cvtepi32_pd(xi), _mm256_loadu_pd(gainD + j));
    const __m256d r = _mm256_sub_pd(_mm256_add_pd(p, magic), magic);
    const __m256d a = _mm256_andnot_pd(sign, p);
    const __m256d d = _mm256_andnot_pd(sign, _mm256_sub_pd(_mm256_andnot_pd(sign, _mm256_sub_pd(p, r)), half));
    const __m256d bad = _mm256_or_pd(_mm256_cmp_pd(a, limit, _CMP_NLT_UQ), _mm256_cmp_pd(d, _mm256_mul_pd(a, margin), _CMP_LE_OQ));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + j), _mm256_cvttpd_epi32(_mm256_andnot_pd(bad, r)));
    const int mask = _mm256_movemask_pd(bad);
    if (mask != 0) FixUndecidedLanes(xi, mask, gain + j, out + j);
  }
  for (; j < n; ++j) out[j] = GainSampleExtended(in[j], gain[j]);
}

bool GainKernelHasAvx2() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}

void ApplyGainToTrace(const int32_t* in, int32_t* out, int n, const long double* gain, const double* gainD) {
  if (GainKernelHasAvx2())
    ApplyGainToTraceAvx2(in, out, n, gain, gainD);
  else
    ApplyGainToTraceSse2(in, out, n, gain, gainD);
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
