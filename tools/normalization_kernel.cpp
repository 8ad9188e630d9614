#include "tools/normalization_kernel.h"

#include "platform/rtl/rounding.h"

#include <algorithm>
#include <cmath>

#include <immintrin.h>

namespace {

// A double estimate of G x / M (|G x / M| <= 2^31) is off by less than 1e-6; the
// extended result by less than 1e-9. Unless the estimate lies within this margin
// of a half, both round to the same integer.
constexpr double HalfMargin = 1e-5;
// Adding and taking away 1.5 x 2^52 rounds to an integer half to even in the
// default rounding mode (|estimate| <= 2^31 + 1).
constexpr double RoundingShift = 6755399441055744.0;
// Estimates at or beyond this go the extended way (they may saturate there).
constexpr double FastLimit = 2147483000.0;
// A double product p w lies within 2^-51 of the extended one relative to it: a
// trace whose double product is below the window's largest by more than this
// share cannot give the largest extended product.
constexpr double CandidateShare = 1.0 - 0x1p-40;

int64_t PeakOfTraceBaseline(const int32_t* x, int n) {
  int32_t lo = 0, hi = 0;
  for (int j = 0; j < n; ++j) {
    lo = std::min(lo, x[j]);
    hi = std::max(hi, x[j]);
  }
  // |x| as the distance from 0 in 64 bits: -2^31 has no 32-bit magnitude.
  return std::max<int64_t>(hi, -int64_t{lo});
}

__attribute__((target("avx2"))) int64_t PeakOfTraceAvx2(const int32_t* x, int n) {
  __m256i lo = _mm256_setzero_si256(), hi = _mm256_setzero_si256();
  int j = 0;
  for (; j + 8 <= n; j += 8) {
    const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(x + j));
    lo = _mm256_min_epi32(lo, v);
    hi = _mm256_max_epi32(hi, v);
  }
  int32_t l[8], h[8];
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(l), lo);
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(h), hi);
  int32_t mn = 0, mx = 0;
  for (int k = 0; k < 8; ++k) {
    mn = std::min(mn, l[k]);
    mx = std::max(mx, h[k]);
  }
  for (; j < n; ++j) {
    mn = std::min(mn, x[j]);
    mx = std::max(mx, x[j]);
  }
  return std::max<int64_t>(mx, -int64_t{mn});
}

// The lanes of a group the double could not decide, the extended way from the
// kept input (out may be in: xi holds the input).
void FixUndecidedLanes(__m128i xi, int mask, long double g, long double m, int32_t* out) {
  int32_t x[4];
  _mm_storeu_si128(reinterpret_cast<__m128i*>(x), xi);
  for (int k = 0; k < 4; ++k)
    if (mask & (1 << k)) out[k] = ScaleSampleExtended(x[k], g, m);
}

// The largest p[k] w[k] of k < n (0 when all are 0).
double LargestProductSse2(const double* p, const double* w, int64_t n) {
  __m128d q2 = _mm_setzero_pd();
  int64_t k = 0;
  for (; k + 2 <= n; k += 2) q2 = _mm_max_pd(q2, _mm_mul_pd(_mm_loadu_pd(p + k), _mm_loadu_pd(w + k)));
  double lanes[2];
  _mm_storeu_pd(lanes, q2);
  double q = std::max(lanes[0], lanes[1]);
  for (; k < n; ++k) q = std::max(q, p[k] * w[k]);
  return q;
}

__attribute__((target("avx2"))) double LargestProductAvx2(const double* p, const double* w, int64_t n) {
  __m256d q4 = _mm256_setzero_pd();
  int64_t k = 0;
  for (; k + 4 <= n; k += 4) q4 = _mm256_max_pd(q4, _mm256_mul_pd(_mm256_loadu_pd(p + k), _mm256_loadu_pd(w + k)));
  double lanes[4];
  _mm256_storeu_pd(lanes, q4);
  double q = std::max(std::max(lanes[0], lanes[1]), std::max(lanes[2], lanes[3]));
  for (; k < n; ++k) q = std::max(q, p[k] * w[k]);
  return q;
}

// The first k of [from, n) whose product reaches floor (n if none).
int64_t NextCandidateSse2(const double* p, const double* w, int64_t from, int64_t n, double floor) {
  const __m128d f = _mm_set1_pd(floor);
  for (; from + 2 <= n; from += 2)
    if (_mm_movemask_pd(_mm_cmpge_pd(_mm_mul_pd(_mm_loadu_pd(p + from), _mm_loadu_pd(w + from)), f)) != 0) return from;
  return from;
}

__attribute__((target("avx2"))) int64_t NextCandidateAvx2(const double* p, const double* w, int64_t from,
                                                            int64_t n, double floor) {
  const __m256d f = _mm256_set1_pd(floor);
  for (; from + 4 <= n; from += 4)
    if (_mm256_movemask_pd(_mm256_cmp_pd(_mm256_mul_pd(_mm256_loadu_pd(p + from), _mm256_loadu_pd(w + from)), f,
                                         _CMP_GE_OQ)) != 0)
      return from;
  return from;
}

}  // namespace

bool NormalizationKernelHasAvx2() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}

void TracePeaks(const int32_t* in, int longTrace, int64_t first, int64_t end, int64_t* peak) {
  const bool avx2 = NormalizationKernelHasAvx2();
  for (int64_t t = first; t < end; ++t) {
    const int32_t* x = in + t * longTrace;
    peak[t] = avx2 ? PeakOfTraceAvx2(x, longTrace) : PeakOfTraceBaseline(x, longTrace);
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
                  int64_t end, int64_t* M, bool avx2) {
  const int64_t N = static_cast<int64_t>(peak.size());
  const int64_t Wn = static_cast<int64_t>(weight.size()) - 1;
  // The weights over the whole window, w(i - t) at [i - t + Wn], in double, and
  // the peaks in double (exact: at most 2^31).
  std::vector<double> wide(static_cast<size_t>(2 * Wn + 1));
  for (int64_t k = -Wn; k <= Wn; ++k)
    wide[static_cast<size_t>(k + Wn)] = static_cast<double>(weight[static_cast<size_t>(std::abs(k))]);
  const int64_t a0 = std::max<int64_t>(0, first - Wn), b0 = std::min(N, end + Wn);
  std::vector<double> peakD(static_cast<size_t>(std::max<int64_t>(0, b0 - a0)));
  for (int64_t i = a0; i < b0; ++i) peakD[static_cast<size_t>(i - a0)] = static_cast<double>(peak[static_cast<size_t>(i)]);

  for (int64_t t = first; t < end; ++t) {
    const int64_t a = std::max<int64_t>(0, t - Wn), b = std::min(N - 1, t + Wn) + 1;
    const double* p = peakD.data() + (a - a0);
    const double* w = wide.data() + (a - t + Wn);
    const int64_t n = b - a;
    const double q = avx2 ? LargestProductAvx2(p, w, n) : LargestProductSse2(p, w, n);
    if (q <= 0) {  // every peak of the window is 0
      M[t] = 1;
      continue;
    }
    // The extended products of the traces that can be the largest; rounding is
    // monotone, so the largest rounded product is that of the largest product.
    // p w <= 2^31: rint in the default rounding mode is the half-to-even round.
    const double floor = q * CandidateShare;
    int64_t m = 1;
    for (int64_t k = 0; k < n; ++k) {
      // Skip the groups without a candidate; the scalar test decides the rest.
      k = avx2 ? NextCandidateAvx2(p, w, k, n, floor) : NextCandidateSse2(p, w, k, n, floor);
      if (k >= n) break;
      if (p[k] * w[k] < floor) continue;
      const int64_t i = a + k;
      const long double e = static_cast<long double>(peak[static_cast<size_t>(i)]) *
                            weight[static_cast<size_t>(std::abs(i - t))];
      m = std::max(m, static_cast<int64_t>(__builtin_rintl(e)));
    }
    M[t] = m;
  }
}

std::vector<int64_t> WindowMaxima(const std::vector<int64_t>& peak, int32_t W, bool avx2) {
  std::vector<int64_t> M(peak.size(), 1);
  WindowMaxima(peak, WindowWeights(static_cast<int64_t>(peak.size()), W), 0, static_cast<int64_t>(peak.size()),
               M.data(), avx2);
  return M;
}

int32_t ScaleSampleExtended(int32_t x, long double G, long double M) {
  return RoundToInt32Fast(G * (static_cast<long double>(x) / M));
}

void ScaleTraceExtended(const int32_t* in, int32_t* out, int n, int64_t G, int64_t M) {
  const long double g = static_cast<long double>(G), m = static_cast<long double>(M);
  for (int j = 0; j < n; ++j) out[j] = ScaleSampleExtended(in[j], g, m);
}

void ScaleTraceSse2(const int32_t* in, int32_t* out, int n, int64_t G, int64_t M) {
  const long double g = static_cast<long double>(G), m = static_cast<long double>(M);
  const __m128d ratio = _mm_set1_pd(static_cast<double>(G) / static_cast<double>(M));
  const __m128d shift = _mm_set1_pd(RoundingShift);
  const __m128d limit = _mm_set1_pd(FastLimit);
  const __m128d half = _mm_set1_pd(0.5);
  const __m128d margin = _mm_set1_pd(HalfMargin);
  const __m128d sign = _mm_set1_pd(-0.0);
  // p = x G / M in double, r = p rounded through the shift, and a lane mask of
  // the estimates the double cannot decide.
  const auto lanes = [&](__m128d x, __m128i& rounded) {
    const __m128d p = _mm_mul_pd(x, ratio);
    const __m128d r = _mm_sub_pd(_mm_add_pd(p, shift), shift);
    const __m128d d = _mm_andnot_pd(sign, _mm_sub_pd(_mm_andnot_pd(sign, _mm_sub_pd(p, r)), half));
    const __m128d bad = _mm_or_pd(_mm_cmpnlt_pd(_mm_andnot_pd(sign, p), limit), _mm_cmple_pd(d, margin));
    rounded = _mm_cvttpd_epi32(_mm_andnot_pd(bad, r));
    return _mm_movemask_pd(bad);
  };
  int j = 0;
  for (; j + 4 <= n; j += 4) {
    const __m128i xi = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + j));
    __m128i o0, o1;
    const int mask = lanes(_mm_cvtepi32_pd(xi), o0) | (lanes(_mm_cvtepi32_pd(_mm_shuffle_epi32(xi, 0xEE)), o1) << 2);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + j), _mm_unpacklo_epi64(o0, o1));
    if (mask != 0) FixUndecidedLanes(xi, mask, g, m, out + j);
  }
  for (; j < n; ++j) out[j] = ScaleSampleExtended(in[j], g, m);
}

// The same lanes four doubles wide. Only AVX2 is enabled, not FMA: a fused
// x r + shift would round the exact product where the check reads the double one.
__attribute__((target("avx2"))) void ScaleTraceAvx2(const int32_t* in, int32_t* out, int n, int64_t G, int64_t M) {
  const long double g = static_cast<long double>(G), m = static_cast<long double>(M);
  const __m256d ratio = _mm256_set1_pd(static_cast<double>(G) / static_cast<double>(M));
  const __m256d shift = _mm256_set1_pd(RoundingShift);
  const __m256d limit = _mm256_set1_pd(FastLimit);
  const __m256d half = _mm256_set1_pd(0.5);
  const __m256d margin = _mm256_set1_pd(HalfMargin);
  const __m256d sign = _mm256_set1_pd(-0.0);
  int j = 0;
  for (; j + 4 <= n; j += 4) {
    const __m128i xi = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + j));
    const __m256d p = _mm256_mul_pd(_mm256_cvtepi32_pd(xi), ratio);
    const __m256d r = _mm256_sub_pd(_mm256_add_pd(p, shift), shift);
    const __m256d d = _mm256_andnot_pd(sign, _mm256_sub_pd(_mm256_andnot_pd(sign, _mm256_sub_pd(p, r)), half));
    const __m256d bad = _mm256_or_pd(_mm256_cmp_pd(_mm256_andnot_pd(sign, p), limit, _CMP_NLT_UQ),
                                     _mm256_cmp_pd(d, margin, _CMP_LE_OQ));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + j), _mm256_cvttpd_epi32(_mm256_andnot_pd(bad, r)));
    const int mask = _mm256_movemask_pd(bad);
    if (mask != 0) FixUndecidedLanes(xi, mask, g, m, out + j);
  }
  for (; j < n; ++j) out[j] = ScaleSampleExtended(in[j], g, m);
}

void ScaleTraces(const int32_t* in, int32_t* out, int longTrace, int64_t G, const std::vector<int64_t>& M,
                 int64_t first, int64_t end) {
  const bool avx2 = NormalizationKernelHasAvx2();
  for (int64_t t = first; t < end; ++t) {
    const int64_t m = M[static_cast<size_t>(t)];
    if (avx2)
      ScaleTraceAvx2(in + t * longTrace, out + t * longTrace, longTrace, G, m);
    else
      ScaleTraceSse2(in + t * longTrace, out + t * longTrace, longTrace, G, m);
  }
}
