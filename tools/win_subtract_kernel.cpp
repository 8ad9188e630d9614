#include "tools/win_subtract_kernel.h"

#include "platform/rtl/rounding.h"
#include "radar/plugins_online.h"

#include <algorithm>
#include <cmath>
#include <vector>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace {

// v rounded to the nearest integer, half to even (the default rounding mode), in
// one instruction where there is one.
inline int64_t NearestInt64(double v) {
#if defined(__x86_64__)
  return _mm_cvtsd_si64(_mm_set_sd(v));
#else
  return std::llrint(v);
#endif
}

// round(num / d), half to even, exact for |num| < 2^50 and 0 < d <= 2^20: the
// quotient through the reciprocal is off by far less than 1 / (2 d), so only a
// remainder of exactly half of d can need the other neighbour.
inline int64_t DivideRoundHalfEven(int64_t num, int64_t d, double reciprocal) {
  int64_t q = NearestInt64(static_cast<double>(num) * reciprocal);
  const int64_t r2 = 2 * (num - q * d);
  if (r2 > d || (r2 == d && (q & 1) != 0)) {
    ++q;
  } else if (r2 < -d || (r2 == -d && (q & 1) != 0)) {
    --q;
  }
  return q;
}

#if defined(__x86_64__)
// The plain window four samples wide. The sums are kept in doubles: each is at
// most 300 int32 samples, exact below 2^53, and x Wn - sum is exact too. The
// quotient through the reciprocal is off by at most one, and then, or on a tie,
// the remainder is at least half of Wn: those lanes are settled in integers.
// Only AVX2 is enabled, not FMA, so every product is rounded as written.
__attribute__((target("avx2"))) void SubtractPlainWindowMeanAvx2(const int32_t* x, int64_t N, int32_t L, int32_t W,
                                                                 int64_t first, int64_t end, int32_t* out) {
  const int64_t Wn = std::min<int64_t>(std::max(W, 1), N);
  std::vector<double> sums(static_cast<size_t>(L), 0.0);
  int64_t lo = PlainWindowFirst(first, N, W);
  for (int64_t j = lo; j < lo + Wn; ++j) {
    const int32_t* r = x + j * L;
    for (int32_t i = 0; i < L; ++i) sums[i] += r[i];
  }
  const double reciprocal = 1.0 / static_cast<double>(Wn);
  const __m256d wn = _mm256_set1_pd(static_cast<double>(Wn));
  const __m256d rec = _mm256_set1_pd(reciprocal);
  const __m256d magic = _mm256_set1_pd(6755399441055744.0);  // 1.5 x 2^52: rounds to an integer, half to even
  const __m256d sign = _mm256_set1_pd(-0.0);
  const __m256d top = _mm256_set1_pd(2147483647.0);
  const __m256d bottom = _mm256_set1_pd(-2147483648.0);
  double* s = sums.data();
  const auto settle = [&](const int32_t* xk, int32_t* yk, int32_t i) {
    yk[i] = SaturateToInt32(
        DivideRoundHalfEven(int64_t{xk[i]} * Wn - static_cast<int64_t>(s[i]), Wn, reciprocal));
  };
  for (int64_t k = first; k < end; ++k) {
    const int64_t next = PlainWindowFirst(k, N, W);
    if (next != lo) {
      const int32_t* in = x + (next + Wn - 1) * L;
      const int32_t* gone = x + lo * L;
      int32_t i = 0;
      for (; i + 4 <= L; i += 4) {
        const __m256d add = _mm256_cvtepi32_pd(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i)));
        const __m256d sub = _mm256_cvtepi32_pd(_mm_loadu_si128(reinterpret_cast<const __m128i*>(gone + i)));
        _mm256_storeu_pd(s + i, _mm256_add_pd(_mm256_loadu_pd(s + i), _mm256_sub_pd(add, sub)));
      }
      for (; i < L; ++i) s[i] += static_cast<double>(in[i]) - static_cast<double>(gone[i]);
      lo = next;
    }
    const int32_t* xk = x + k * L;
    int32_t* yk = out + k * L;
    int32_t i = 0;
    for (; i + 4 <= L; i += 4) {
      const __m256d xd = _mm256_cvtepi32_pd(_mm_loadu_si128(reinterpret_cast<const __m128i*>(xk + i)));
      const __m256d n = _mm256_sub_pd(_mm256_mul_pd(xd, wn), _mm256_loadu_pd(s + i));
      const __m256d q = _mm256_sub_pd(_mm256_add_pd(_mm256_mul_pd(n, rec), magic), magic);
      const __m256d r = _mm256_sub_pd(n, _mm256_mul_pd(q, wn));
      const __m256d undecided = _mm256_cmp_pd(_mm256_andnot_pd(sign, _mm256_add_pd(r, r)), wn, _CMP_GE_OQ);
      const __m256d clamped = _mm256_min_pd(_mm256_max_pd(q, bottom), top);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(yk + i), _mm256_cvttpd_epi32(clamped));
      if (const int mask = _mm256_movemask_pd(undecided))
        for (int lane = 0; lane < 4; ++lane)
          if (mask & (1 << lane)) settle(xk, yk, i + lane);
    }
    for (; i < L; ++i) settle(xk, yk, i);
  }
}

bool HasAvx2() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}
#endif

}  // namespace

int64_t PlainWindowFirst(int64_t k, int64_t N, int32_t W) {
  const int64_t Wn = std::min<int64_t>(std::max(W, 1), N);
  const int64_t c = (Wn + 1) / 2;
  const int64_t f = Wn / 2;
  if (k < c) return 0;
  if (k > N - 1 - f) return N - Wn;
  return k - c + 1;
}

void SubtractPlainWindowMean(const int32_t* x, int64_t N, int32_t L, int32_t W, int64_t first, int64_t end,
                             int32_t* out) {
  if (N <= 0 || L <= 0 || first >= end) return;
#if defined(__x86_64__)
  if (HasAvx2()) {
    SubtractPlainWindowMeanAvx2(x, N, L, W, first, end, out);
    return;
  }
#endif
  SubtractPlainWindowMeanPortable(x, N, L, W, first, end, out);
}

void SubtractPlainWindowMeanPortable(const int32_t* x, int64_t N, int32_t L, int32_t W, int64_t first, int64_t end,
                                     int32_t* out) {
  if (N <= 0 || L <= 0 || first >= end) return;
  const int64_t Wn = std::min<int64_t>(std::max(W, 1), N);
  // Sums of at most 300 int32 samples: exact in 64 bits, and so equal to the
  // running extended sums whatever the block's start.
  std::vector<int64_t> sums(static_cast<size_t>(L), 0);
  int64_t lo = PlainWindowFirst(first, N, W);
  for (int64_t j = lo; j < lo + Wn; ++j) {
    const int32_t* r = x + j * L;
    for (int32_t i = 0; i < L; ++i) sums[i] += r[i];
  }
  // x - sum / Wn rounded half to even is round((x Wn - sum) / Wn), the numerator
  // exact. The extended quotient gives the same value: its errors are far below
  // the 1 / (2 Wn) that separates a non-tie from a half, and a tie is exact in
  // both. Here it is computed in integers, without a division per sample.
  const double reciprocal = 1.0 / static_cast<double>(Wn);
  for (int64_t k = first; k < end; ++k) {
    const int64_t next = PlainWindowFirst(k, N, W);
    if (next != lo) {
      // The window moved by one trace: add its new last trace, drop its old first.
      const int32_t* in = x + (next + Wn - 1) * L;
      const int32_t* gone = x + lo * L;
      for (int32_t i = 0; i < L; ++i) sums[i] += int64_t{in[i]} - gone[i];
      lo = next;
    }
    const int32_t* xk = x + k * L;
    int32_t* yk = out + k * L;
    for (int32_t i = 0; i < L; ++i)
      yk[i] = SaturateToInt32(DivideRoundHalfEven(int64_t{xk[i]} * Wn - sums[i], Wn, reciprocal));
  }
}

void SubtractGaussWindowMean(const int32_t* x, int64_t N, int32_t L, int32_t W, long double koef, int64_t first,
                             int64_t end, int32_t* out) {
  if (N <= 0 || L <= 0 || first >= end) return;
  const int64_t Wn = std::min<int64_t>(std::max(W, 1), N);
  const int64_t half = Wn / 2;
  const long double sigma = (half + 1) / 3.0L * koef;
  const bool equal = koef == 10.0L;
  // Weights by distance from the trace, 0 .. half.
  std::vector<long double> weight(static_cast<size_t>(half + 1), 1.0L);
  if (!equal)
    for (int64_t d = 0; d <= half; ++d)
      weight[static_cast<size_t>(d)] = std::exp(-static_cast<long double>(d * d) / (2.0L * sigma * sigma));
  std::vector<long double> acc(static_cast<size_t>(L));
  std::vector<long double> w;
  std::vector<const int32_t*> rows;
  for (int64_t k = first; k < end; ++k) {
    const int64_t a = std::max<int64_t>(0, k - half);
    const int64_t b = std::min<int64_t>(N - 1, k + half);
    w.clear();
    rows.clear();
    long double S = 0;
    for (int64_t j = a; j <= b; ++j) {
      w.push_back(weight[static_cast<size_t>(std::abs(j - k))]);
      rows.push_back(x + j * L);
      S += w.back();
    }
    const auto m = static_cast<int64_t>(rows.size());
    int32_t i = 0;
    for (; i + 3 < L; i += 4) {
      long double s0 = 0, s1 = 0, s2 = 0, s3 = 0;
      for (int64_t j = 0; j < m; ++j) {
        const long double wj = w[static_cast<size_t>(j)];
        const int32_t* r = rows[static_cast<size_t>(j)] + i;
        s0 += wj * r[0];
        s1 += wj * r[1];
        s2 += wj * r[2];
        s3 += wj * r[3];
      }
      acc[i] = s0;
      acc[i + 1] = s1;
      acc[i + 2] = s2;
      acc[i + 3] = s3;
    }
    for (; i < L; ++i) {
      long double s = 0;
      for (int64_t j = 0; j < m; ++j) s += w[static_cast<size_t>(j)] * rows[static_cast<size_t>(j)][i];
      acc[i] = s;
    }
    PluginsOnline::SubtractWindowMean(x + k * L, acc.data(), S, out + k * L, L);
  }
}
