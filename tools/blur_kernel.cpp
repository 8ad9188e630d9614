#include "tools/blur_kernel.h"

#include "platform/rtl/rounding.h"
#include "tools/window_mirror.h"

#include <algorithm>
#include <cmath>
#include <numbers>

const TBlurGauss& BlurGaussArray() {
  static const TBlurGauss gauss = [] {
    TBlurGauss g{};
    const long double factor = 40.0L * std::sqrt(2.0L * std::numbers::pi_v<long double>);
    for (int i = 0; i < BlurGaussSize; ++i) g[static_cast<size_t>(i)] = std::exp(-static_cast<long double>(i * i) / 3200.0L) / factor;
    return g;
  }();
  return gauss;
}

TBlurMask BuildBlurMask(int H, int V) {
  TBlurMask mask;
  mask.H = std::clamp(H, BlurMinHalf, BlurMaxHalf);
  mask.V = std::clamp(V, BlurMinHalf, BlurMaxHalf);
  H = mask.H;
  V = mask.V;
  const TBlurGauss& gauss = BlurGaussArray();
  const long double ratio = static_cast<long double>((V + 1) * (V + 1)) / static_cast<long double>((H + 1) * (H + 1));
  mask.Spot.resize(static_cast<size_t>((2 * V + 1) * (2 * H + 1)));
  for (int r = 0; r <= 2 * V; ++r) {
    for (int c = 0; c <= 2 * H; ++c) {
      const int dx = H - c;
      const int dy = V - r;
      int64_t index = 0;
      if (dx != 0 || dy != 0) {
        const long double d2 = static_cast<long double>(dx * dx + dy * dy);
        const long double q = static_cast<long double>(dx * dx) / d2;
        const long double s = std::sqrt(1.0L - q * (1.0L - ratio));
        const long double R = V / s;
        index = std::min<int64_t>(Round(std::sqrt(d2) * 128.0L / R), BlurGaussSize - 1);
      }
      const long double w = gauss[static_cast<size_t>(index)];
      mask.Spot[static_cast<size_t>(r * (2 * H + 1) + c)] = w;
      mask.nrm += w;
    }
  }
  return mask;
}

namespace {
// Samples worked on side by side: independent sums keep the adder busy.
constexpr int Lanes = 4;
}  // namespace

void BlurTraces(const int32_t* in, int32_t* out, int64_t traces, int longTrace, const TBlurMask& mask,
                int64_t first, int64_t end) {
  if (longTrace <= 0 || mask.Spot.empty()) return;
  const int L = longTrace;
  const int H = mask.H, V = mask.V;
  const int cols = 2 * H + 1, rows = 2 * V + 1;
  const long double nrm = mask.nrm;
  const long double* spot = mask.Spot.data();
  std::vector<const int32_t*> column(static_cast<size_t>(cols));
  std::vector<int64_t> row(static_cast<size_t>(rows));
  // Samples whose rows all lie inside the trace: [V, L - 1 - V].
  const int inFirst = std::min(V, L);
  const int inEnd = std::max(inFirst, L - V);

  const auto edgeSample = [&](int s) {
    for (int r = 0; r < rows; ++r) row[static_cast<size_t>(r)] = MirrorPosition(s, r - V, L);
    long double acc = 0;
    const long double* w = spot;
    for (int r = 0; r < rows; ++r) {
      const int64_t at = row[static_cast<size_t>(r)];
      for (int c = 0; c < cols; ++c) acc += *w++ * column[static_cast<size_t>(c)][at];
    }
    return RoundToInt32Fast(acc / nrm);
  };

  for (int64_t t = first; t < end; ++t) {
    for (int c = 0; c < cols; ++c) column[static_cast<size_t>(c)] = in + MirrorPosition(t, c - H, traces) * L;
    int32_t* o = out + t * L;
    int s = 0;
    for (; s < inFirst; ++s) o[s] = edgeSample(s);
    for (; s + Lanes <= inEnd; s += Lanes) {
      long double a0 = 0, a1 = 0, a2 = 0, a3 = 0;
      const long double* w = spot;
      for (int r = 0; r < rows; ++r) {
        const int off = s + r - V;
        for (int c = 0; c < cols; ++c) {
          const int32_t* p = column[static_cast<size_t>(c)] + off;
          const long double k = *w++;
          a0 += k * p[0];
          a1 += k * p[1];
          a2 += k * p[2];
          a3 += k * p[3];
        }
      }
      o[s] = RoundToInt32Fast(a0 / nrm);
      o[s + 1] = RoundToInt32Fast(a1 / nrm);
      o[s + 2] = RoundToInt32Fast(a2 / nrm);
      o[s + 3] = RoundToInt32Fast(a3 / nrm);
    }
    for (; s < L; ++s) o[s] = edgeSample(s);
  }
}
