#include "profiledata/geometry_gpr.h"

#include <algorithm>
#include <cstddef>

namespace geometry_detail {

// The walk looks at each candidate with its two neighbours (prev, cur, next). A flat
// run of equal values (clipped or saturated samples) has no single extremum: a long run
// is listed three times with its value, at the sample where the walk met it, at its
// middle and one sample before the walk left it; a short one is stepped over, and the
// index (i - g - 2) div 2 + g + 1 stands in for the candidate tested after it (for a run
// to the left that candidate is the first value after the run). The candidate index
// never passes n - 3 and runs are listed before their end, so sample n - 2 is never
// listed.
int FindSeriesExtrema(const long double* x, std::ptrdiff_t stride, int n, int longRun, bool maxima,
                      std::vector<TMaxSample2>& list) {
  list.clear();
  if (x == nullptr || n <= 0) return 0;
  const auto at = [x, stride](int k) { return x[static_cast<std::ptrdiff_t>(k) * stride]; };
  const auto add = [&list](int k, long double v) { list.push_back(TMaxSample2{k, v, false}); };
  // A run to the right starts one sample after g, and g may just have been recorded as
  // an extremum (a peak falling onto a plateau); that entry is the more extreme of the
  // two and stays, instead of a second entry at the same index.
  const auto addRunStart = [&list, &add](int g, long double v) {
    if (list.back().NumSampleMax != g) add(g, v);
  };

  add(0, at(0));
  // With one value the first entry is also the last; a second copy would give the
  // interpolation a repeated index.
  if (n == 1) return 1;

  for (int i = 0; i < n - 3; ++i) {
    const long double prev = at(i);
    long double cur = at(i + 1);
    long double next = at(i + 2);
    int f = i + 1;
    bool runReported = false;

    // Run to the left: cur ends as the first value after the run x[g..i].
    if (cur == prev) {
      const int g = i;
      while (i < n - 3 && cur == prev) {
        ++i;
        cur = at(i + 1);
      }
      next = at(i + 2);  // i <= n - 3 here, so i + 2 is the last sample at most
      f = (i - g - 2) / 2 + g + 1;
      if (i - g > longRun) {
        if (g != 0) addRunStart(g, prev);
        add(f, prev);
        add(i - 1, prev);
        runReported = true;
      }
    }

    // Run to the right: x[g+1..i+1] equal to cur, next ends as the first value after it.
    if (cur == next) {
      const int g = i;
      while (i < n - 3 && next == cur) {
        next = at(i + 3);
        ++i;
      }
      f = (i - g - 2) / 2 + g + 1;
      if (i - g > longRun) {
        if (g != 0) addRunStart(g, cur);
        add(f, cur);
        add(i - 1, cur);
        runReported = true;
      }
    }

    if (runReported) continue;
    if (maxima) {
      if (cur > prev && cur > next && cur > 0) add(f, cur);
    } else {
      if (cur < prev && cur < next && cur <= 0) add(f, cur);
    }
  }

  add(n - 1, at(n - 1));
  return static_cast<int>(list.size());
}

}  // namespace geometry_detail

namespace {

bool IsListIndex(int index) { return index >= 0 && index < MaxExtremaLists; }

}  // namespace

int FindTraceExtrema(int sourceTrace, int targetList, int samples, TarMax2InTraces& lists,
                     std::span<const long double> block, bool maxima) {
  if (!IsListIndex(targetList)) return 0;
  auto& list = lists[static_cast<size_t>(targetList)];
  list.clear();
  if (samples <= 0 || sourceTrace < 0) return 0;
  const auto first = static_cast<size_t>(sourceTrace) * static_cast<size_t>(samples);
  if (first + static_cast<size_t>(samples) > block.size()) return 0;
  return geometry_detail::FindSeriesExtrema(block.data() + first, 1, samples, TraceLongRun, maxima, list);
}

int FindRowExtrema(int row, int samples, TarMax2InTraces& lists, std::span<const long double> block, bool maxima,
                   int traces) {
  if (!IsListIndex(row)) return 0;
  auto& list = lists[static_cast<size_t>(row)];
  list.clear();
  if (samples <= 0 || traces <= 0 || row >= samples) return 0;
  // The last value read is block[(traces - 1) * samples + row].
  if ((static_cast<size_t>(traces) - 1) * static_cast<size_t>(samples) + static_cast<size_t>(row) >= block.size())
    return 0;
  return geometry_detail::FindSeriesExtrema(block.data() + row, samples, traces, RowLongRun, maxima, list);
}

void FindExtremaInRows(int samples, int traces, bool maxima, TarMax2InTraces& lists, std::span<const int32_t> data) {
  if (samples <= 0 || traces <= 0) return;
  const auto fitting = data.size() / static_cast<size_t>(samples);
  traces = static_cast<int>(std::min(static_cast<size_t>(traces), fitting));
  if (traces <= 0) return;
  const int rows = std::min(samples, MaxExtremaLists);

  // One row at a time in extended values: a copy of the whole block would take four
  // times its size.
  std::vector<long double> values(static_cast<size_t>(traces));
  for (int row = 0; row < rows; ++row) {
    for (int t = 0; t < traces; ++t)
      values[static_cast<size_t>(t)] = data[static_cast<size_t>(t) * static_cast<size_t>(samples) + static_cast<size_t>(row)];
    geometry_detail::FindSeriesExtrema(values.data(), 1, traces, RowLongRun, maxima,
                                       lists[static_cast<size_t>(row)]);
  }
}
