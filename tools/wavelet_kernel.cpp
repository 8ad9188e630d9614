#include "tools/wavelet_kernel.h"

#include "platform/rtl/rounding.h"

#include <algorithm>
#include <cmath>

void TWaveletKernels::StoreHarmonic(int h) {
  const auto i = static_cast<size_t>(std::clamp(h, -MaxHalf, MaxHalf) + MaxHalf);
  mstart = std::min(mstart, start);
  mstop = std::max(mstop, stop);
  HarmonicCorFunc[i] = CorFunc;
  HarmonicLine[i] = line;
  HarmonicCorLength[i] = CorLength;
}

long double HarmonicWeight(int h, int H) {
  const long double s = (H + 1) / 3.0L;
  return std::exp(-static_cast<long double>(h) * h / (2.0L * s * s));
}

int32_t KernelHalf(int32_t CorLength) { return static_cast<int32_t>(Round(CorLength / 2.0L)); }

namespace {

// Position p of a trace (or of a row) of `last` + 1 entries with the mirror rule;
// -1: the tap adds nothing.
inline int64_t MirroredPosition(int64_t p, int64_t last) {
  if (p < 0) return -1;
  if (p > last) p = 2 * last - p;
  return p < 0 ? -1 : p;
}

}  // namespace

void CorrelateTrace(const int32_t* x, int32_t L, const long double* taps, int32_t n, int32_t half, long double* acc) {
  if (L <= 0 || n <= 0) return;
  const int64_t last = L - 1;
  // Samples whose taps all fall inside the trace: k - half >= 0 and
  // k - half + n - 1 <= L - 1.
  const int32_t innerFirst = std::min<int32_t>(half, L);
  const int32_t innerEnd = std::max<int32_t>(innerFirst, static_cast<int32_t>(std::min<int64_t>(L, int64_t{L} - n + half + 1)));
  auto edge = [&](int32_t k) {
    long double sum = 0;
    for (int32_t l = 0; l < n; ++l) {
      const int64_t p = MirroredPosition(int64_t{k} + l - half, last);
      if (p >= 0) sum += taps[l] * x[p];
    }
    acc[k] += sum;
  };
  int32_t k = 0;
  for (; k < innerFirst; ++k) edge(k);
  // Four samples at a time: four independent chains of additions in the pipeline,
  // each in the order of the taps.
  for (; k + 3 < innerEnd; k += 4) {
    const int32_t* p = x + (k - half);
    long double s0 = 0, s1 = 0, s2 = 0, s3 = 0;
    for (int32_t l = 0; l < n; ++l) {
      const long double t = taps[l];
      s0 += t * p[l];
      s1 += t * p[l + 1];
      s2 += t * p[l + 2];
      s3 += t * p[l + 3];
    }
    acc[k] += s0;
    acc[k + 1] += s1;
    acc[k + 2] += s2;
    acc[k + 3] += s3;
  }
  for (; k < L; ++k) edge(k);
}

void CorrelateRows(const int32_t* x, int64_t N, int32_t L, const long double* taps, int32_t n, int32_t half,
                   int64_t first, int64_t end, long double* acc) {
  if (L <= 0 || n <= 0 || N <= 0) return;
  std::vector<long double> rowTaps;
  std::vector<const int32_t*> rows;
  rowTaps.reserve(static_cast<size_t>(n));
  rows.reserve(static_cast<size_t>(n));
  for (int64_t t = first; t < end; ++t) {
    // The traces this output trace reads, in the taps' order; taps that add
    // nothing are left out, so every sample of the row runs the same loop.
    rowTaps.clear();
    rows.clear();
    for (int32_t l = 0; l < n; ++l) {
      const int64_t q = MirroredPosition(t + l - half, N - 1);
      if (q < 0) continue;
      rowTaps.push_back(taps[l]);
      rows.push_back(x + q * L);
    }
    const auto m = static_cast<int32_t>(rows.size());
    long double* out = acc + (t - first) * L;
    int32_t s = 0;
    for (; s + 3 < L; s += 4) {
      long double s0 = 0, s1 = 0, s2 = 0, s3 = 0;
      for (int32_t i = 0; i < m; ++i) {
        const long double w = rowTaps[i];
        const int32_t* r = rows[i] + s;
        s0 += w * r[0];
        s1 += w * r[1];
        s2 += w * r[2];
        s3 += w * r[3];
      }
      out[s] += s0;
      out[s + 1] += s1;
      out[s + 2] += s2;
      out[s + 3] += s3;
    }
    for (; s < L; ++s) {
      long double sum = 0;
      for (int32_t i = 0; i < m; ++i) sum += rowTaps[i] * rows[i][s];
      out[s] += sum;
    }
  }
}
