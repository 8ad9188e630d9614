#include "tools/leveler_kernel.h"

#include "platform/rtl/rounding.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

int32_t PeakIndex(const int32_t* x, int n) {
  int32_t index = -1;
  int64_t best = 0;
  for (int i = 0; i < n; ++i) {
    const int64_t a = std::abs(int64_t{x[i]});
    if (a > best) {
      best = a;
      index = i;
    }
  }
  return index;
}

void BloorProc(int32_t* values, int count, int B) {
  if (B <= 0 || count <= 0) return;
  const std::vector<int32_t> v(values, values + count);
  // Running sums in 64 bits: exact for any count of int32 values.
  std::vector<int64_t> prefix(static_cast<size_t>(count) + 1, 0);
  for (int i = 0; i < count; ++i) prefix[static_cast<size_t>(i) + 1] = prefix[static_cast<size_t>(i)] + v[static_cast<size_t>(i)];
  for (int i = 0; i < count; ++i) {
    const int64_t a = std::max<int64_t>(0, int64_t{i} - B);
    const int64_t b = std::min<int64_t>(count - 1, int64_t{i} + B);
    const int64_t taken = std::max<int64_t>(1, b - a + 1);
    const int64_t sum = prefix[static_cast<size_t>(b) + 1] - prefix[static_cast<size_t>(a)];
    values[i] = RoundToInt32(static_cast<long double>(sum) / static_cast<long double>(taken));
  }
}

std::vector<int32_t> MedianFilterLine(const std::vector<int32_t>& surface, int M) {
  if (M <= 0) return surface;
  const int64_t n = static_cast<int64_t>(surface.size());
  std::vector<int32_t> out(surface.size());
  std::vector<int32_t> w(static_cast<size_t>(2 * M + 1));
  for (int64_t i = 0; i < n; ++i) {
    for (int j = -M; j <= M; ++j) {
      const int64_t p = i + j;
      w[static_cast<size_t>(j + M)] = p >= 0 && p < n ? surface[static_cast<size_t>(p)] : 0;
    }
    const int32_t centre = w[static_cast<size_t>(M)];
    int last = M;
    for (int k = 2 * M; k > M; --k)
      if (w[static_cast<size_t>(k)] >= centre) {
        last = k;
        break;
      }
    if (last == M) {
      out[static_cast<size_t>(i)] = surface[static_cast<size_t>(i)];
    } else {
      std::nth_element(w.begin(), w.begin() + M, w.end());
      out[static_cast<size_t>(i)] = w[static_cast<size_t>(M)];
    }
  }
  return out;
}

std::vector<TPoint> ManualNodes(const std::vector<TPoint>& nodes) {
  std::vector<TPoint> sorted = nodes;
  std::stable_sort(sorted.begin(), sorted.end(), [](const TPoint& a, const TPoint& b) { return a.X > b.X; });
  return sorted;
}

int32_t ManualSurface(const std::vector<TPoint>& nodes, int64_t t) {
  const size_t last = nodes.size() - 1;
  if (t >= nodes[0].X) return nodes[0].Y;
  if (t <= nodes[last].X) return nodes[last].Y;
  size_t k = 1;
  while (nodes[k].X >= t) ++k;
  // Node k - 1 lies at or right of t and node k left of it: their traces differ.
  const int64_t num = (t - nodes[k].X) * (int64_t{nodes[k - 1].Y} - nodes[k].Y);
  const int64_t den = int64_t{nodes[k - 1].X} - nodes[k].X;
  return RoundToInt32(static_cast<long double>(num) / static_cast<long double>(den) + nodes[k].Y);
}

void ShiftTrace(const int32_t* in, int32_t* out, int n, int64_t d) {
  if (n <= 0) return;
  std::fill(out, out + n, 0);
  if (d >= n || d <= -int64_t{n}) return;
  if (d >= 0) {
    std::memcpy(out, in + d, static_cast<size_t>(n - d) * sizeof(int32_t));
  } else {
    std::memcpy(out - d, in, static_cast<size_t>(n + d) * sizeof(int32_t));
  }
}
