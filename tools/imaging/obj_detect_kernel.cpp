#include "tools/imaging/obj_detect_kernel.h"

#include "platform/rtl/rounding.h"
#include "tools/worker_pool.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <mutex>

static_assert(std::numeric_limits<long double>::digits == 64);

void FindBrightPoints(const int32_t* trace, int32_t longTrace, std::vector<TMaxSample>& list) {
  list.clear();
  for (int32_t k = 0; k + 3 < longTrace; ++k)
    if (trace[k] < trace[k + 1] && trace[k + 1] > trace[k + 2]) list.push_back({k + 1, trace[k + 1]});
  for (int32_t k = 0; k + 3 < longTrace; ++k)
    if (trace[k] > trace[k + 1] && trace[k + 1] < trace[k + 2]) list.push_back({k + 1, trace[k + 1]});
}

TBrightPoints FindBrightPoints(const int32_t* data, int64_t traces, int32_t longTrace) {
  TBrightPoints points(static_cast<size_t>(std::max<int64_t>(traces, 0)));
  if (traces <= 0 || longTrace <= 0) return points;
  TWorkerPool::Instance().Run(0, traces, [&](int64_t a, int64_t b) {
    for (int64_t i = a; i < b; ++i) FindBrightPoints(data + i * longTrace, longTrace, points[static_cast<size_t>(i)]);
  });
  return points;
}

std::optional<TDetectEllipse> TimeFormEllipse(const TObjDetectGeometry& g, const TObjDetectParams& p, int64_t trace,
                                              int32_t sample) {
  if (g.LongTrace == 0 || p.WaveSpeedAir == 0) return std::nullopt;
  const long double t = static_cast<long double>(sample - int64_t{g.NullShift}) * g.SpanWidth / g.LongTrace;
  if (!(t >= 0)) return std::nullopt;
  const long double a =
      static_cast<long double>(p.WaveSpeed) / 1000 * (p.DistanceTR / (static_cast<long double>(p.WaveSpeedAir) / 1000) + t) / 2;
  if (!(a > 0) || !std::isfinite(a)) return std::nullopt;
  const long double c = p.DistanceTR / 2;
  const long double b2 = a * a - c * c;
  if (b2 < 0) return std::nullopt;
  return TDetectEllipse{trace * g.GridStepSectX, a * a, b2};
}

std::optional<TDetectEllipse> DepthFormEllipse(const TObjDetectGeometry& g, const TObjDetectParams& p, int64_t trace,
                                               int32_t sample) {
  const long double y = static_cast<long double>(sample - int64_t{g.NullShift}) * g.GridStepSectY;
  const long double c = p.DistanceTR / 2;
  const long double a2 = y * y + c * c;
  if (!(a2 > 0) || !std::isfinite(a2)) return std::nullopt;
  return TDetectEllipse{trace * g.GridStepSectX, a2, y * y};
}

namespace {

// An ellipse with the terms of the intersection that depend on it alone:
//   r = b2^2 - a2^2 k1,  o = 2 (a2^2 (x1 k1) - x2 b2^2),
//   C = (x2^2 b2^2 - a2^2 b2^2) + a2^2 (b1^2 - x1^2 k1).
struct TPreparedEllipse {
  long double X, A2, B2, K;  // K = b^2 / a^2
  long double XK;            // x k
  long double R;             // b^2 - x^2 k
  long double P;             // x b^2
  long double Q;             // x^2 b^2 - a^2 b^2
  long double A;             // a
  int32_t Value;
};

inline bool IntersectPrepared(const TPreparedEllipse& e1, const TPreparedEllipse& e2, long double xLimit, long double& x,
                              long double& y) {
  const long double r = e2.B2 - e2.A2 * e1.K;
  if (r == 0) return false;
  const long double o = 2 * (e2.A2 * e1.XK - e2.P);
  const long double c = e2.Q + e2.A2 * e1.R;
  const long double d = o * o - 4 * r * c;
  if (d < 0) return false;
  const long double root = std::sqrt(d);
  // One division for both roots.
  const long double half = 1 / (2 * r);
  x = (-o - root) * half;
  if (x < 0 || !(x < xLimit)) x = (-o + root) * half;
  const long double dx = x - e1.X;
  const long double y2 = e1.B2 - e1.K * dx * dx;
  if (!(y2 >= 0)) return false;
  y = std::sqrt(y2);
  return true;
}

TPreparedEllipse PrepareEllipse(const TDetectEllipse& e, int32_t value) {
  const long double k = e.B2 / e.A2;
  return {e.X, e.A2, e.B2, k, e.X * k, e.B2 - e.X * e.X * k, e.X * e.B2, e.X * e.X * e.B2 - e.A2 * e.B2,
          std::sqrt(e.A2), value};
}

// Round for the pair loop: rint in the default rounding mode (half to even)
// inline, the library's nearbyintl saving the floating-point environment on
// every call; saturated, NaN gives 0.
inline int64_t DetectRoundFast(long double v) {
  const long double r = __builtin_rintl(v);
  if (!(r == r)) return 0;
  if (r >= 9223372036854775807.0L) return std::numeric_limits<int64_t>::max();
  if (r <= -9223372036854775808.0L) return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(r);
}

bool DetectPositiveFinite(long double v) { return v > 0 && std::isfinite(v); }

// The counting grid: (traces x M) columns of (LongTrace x M) rows.
class TCountGrid {
public:
  TCountGrid(int64_t columns, int64_t rows)
      : columns_(columns), rows_(rows), cells_(std::make_unique<std::atomic<int64_t>[]>(static_cast<size_t>(columns * rows))) {}
  bool Inside(int64_t column, int64_t row) const { return column >= 0 && column < columns_ && row >= 0 && row < rows_; }
  void Add(int64_t column, int64_t row, int64_t w) {
    if (Inside(column, row)) cells_[static_cast<size_t>(column * rows_ + row)].fetch_add(w, std::memory_order_relaxed);
  }
  void Set(int64_t column, int64_t row, int64_t v) {
    if (Inside(column, row)) cells_[static_cast<size_t>(column * rows_ + row)].store(v, std::memory_order_relaxed);
  }
  int64_t At(int64_t column, int64_t row) const {
    return cells_[static_cast<size_t>(column * rows_ + row)].load(std::memory_order_relaxed);
  }
  int64_t Largest() const {
    int64_t t = std::numeric_limits<int64_t>::min();
    for (int64_t i = 0; i < columns_ * rows_; ++i) t = std::max(t, cells_[static_cast<size_t>(i)].load(std::memory_order_relaxed));
    return t;
  }
  int64_t Columns() const { return columns_; }
  int64_t Rows() const { return rows_; }
  int64_t Cells() const { return columns_ * rows_; }
  // Adds a worker's counters of cells [first, end) (no other thread adds meanwhile).
  void AddCounters(const int64_t* counters, int64_t first, int64_t end) {
    for (int64_t i = first; i < end; ++i)
      if (counters[i] != 0) cells_[static_cast<size_t>(i)].fetch_add(counters[i], std::memory_order_relaxed);
  }

private:
  int64_t columns_, rows_;
  std::unique_ptr<std::atomic<int64_t>[]> cells_;
};

// Counters of their own for the workers: a worker takes a set for each piece it
// runs and gives it back; the sets are added into the grid at the end. Integer
// sums, so the counts do not depend on which worker counted what.
class TWorkerCounters {
public:
  explicit TWorkerCounters(int64_t cells) : cells_(cells) {}
  int64_t* Take() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!free_.empty()) {
      int64_t* set = free_.back();
      free_.pop_back();
      return set;
    }
    all_.push_back(std::make_unique<int64_t[]>(static_cast<size_t>(cells_)));
    return all_.back().get();
  }
  void Give(int64_t* set) {
    std::lock_guard<std::mutex> lock(mutex_);
    free_.push_back(set);
  }
  void AddInto(TCountGrid& grid) const {
    TWorkerPool::Instance().Run(0, cells_, [&](int64_t a, int64_t b) {
      for (const auto& set : all_) grid.AddCounters(set.get(), a, b);
    });
  }

private:
  int64_t cells_;
  std::mutex mutex_;
  std::vector<int64_t*> free_;
  std::vector<std::unique_ptr<int64_t[]>> all_;
};

// Modes 2 and 3: every bright point against every bright point of every later trace.
void CountIntersections(const TBrightPoints& points, const TObjDetectGeometry& g, const TObjDetectParams& p,
                        TObjDetectResult range, TCountGrid& grid) {
  const bool timeForm = p.PntVisual == 2;
  std::vector<std::vector<TPreparedEllipse>> ellipses(points.size());
  TWorkerPool::Instance().Run(0, g.Traces, [&](int64_t a, int64_t b) {
    for (int64_t i = a; i < b; ++i)
      for (const TMaxSample& s : points[static_cast<size_t>(i)]) {
        const auto e = timeForm ? TimeFormEllipse(g, p, i, s.NumSampleMax) : DepthFormEllipse(g, p, i, s.NumSampleMax);
        if (e) ellipses[static_cast<size_t>(i)].push_back(PrepareEllipse(*e, s.AmplMax));
      }
  });
  const int64_t m = p.MultGrid;
  const long double dx = g.GridStepSectX / m, dy = g.GridStepSectY / m;
  const long double xLimit = g.GridStepSectX * g.Traces;
  // Cells per metre: multiplications in the pair loop instead of divisions.
  const long double perColumn = 1 / dx, perRow = 1 / dy;
  const int64_t rowShift = int64_t{g.NullShift} * m;
  const bool weighted = p.UseAmpl && range.nMax > 0;
  // Two ellipses meet only where |x - x1| <= a1 and |x - x2| <= a2, so a pair
  // further apart than a1 + a2 has no meeting point: each trace's ellipses are
  // sorted by a, and a pair is tried only from the first a2 that may reach. The
  // margin keeps every pair whose rounding could still make it meet.
  for (auto& list : ellipses)
    std::sort(list.begin(), list.end(), [](const TPreparedEllipse& l, const TPreparedEllipse& r) { return l.A < r.A; });
  // Atomic increments on the shared grid cost as much as the intersections: the
  // workers count in sets of their own while these fit in the budget.
  TWorkerPool& pool = TWorkerPool::Instance();
  const bool ownCounters = static_cast<long double>(grid.Cells()) * 8 * std::max(pool.ThreadCount(), 1) <=
                           static_cast<long double>(p.WorkerCountersBudget);
  TWorkerCounters counters(ownCounters ? grid.Cells() : 0);
  pool.RunChunked(0, g.Traces, 1, [&](int64_t a, int64_t b) {
    int64_t* own = ownCounters ? counters.Take() : nullptr;
    for (int64_t i = a; i < b; ++i)
      for (const TPreparedEllipse& e1 : ellipses[static_cast<size_t>(i)])
        for (int64_t k = i + 1; k < g.Traces; ++k) {
          const auto& later = ellipses[static_cast<size_t>(k)];
          if (later.empty()) continue;
          const long double apart = std::fabs(later.front().X - e1.X);
          const long double need = apart - e1.A - 1e-9L * (apart + e1.A + 1);
          auto from = later.begin();
          if (need > 0)
            from = std::lower_bound(later.begin(), later.end(), need,
                                    [](const TPreparedEllipse& e, long double v) { return e.A < v; });
          for (auto it = from; it != later.end(); ++it) {
            const TPreparedEllipse& e2 = *it;
            long double x = 0, y = 0;
            if (!IntersectPrepared(e1, e2, xLimit, x, y)) continue;
            // One store to an integer in the default rounding mode (half to
            // even), for values well inside the 64-bit range (such a cell is
            // outside the grid anyway).
            const long double cx = x * perColumn, cy = y * perRow;
            if (!(std::fabs(cx) < 4e18L) || !(std::fabs(cy) < 4e18L)) continue;
            const int64_t column = __builtin_llrintl(cx);
            const int64_t row = __builtin_llrintl(cy) + rowShift;
            if (!grid.Inside(column, row)) continue;
            const int64_t w =
                weighted ? DetectRoundFast((static_cast<long double>(e2.Value) + e1.Value) * 5 / range.nMax) : 1;
            if (own) {
              own[column * grid.Rows() + row] += w;
            } else {
              grid.Add(column, row, w);
            }
          }
        }
    if (own) counters.Give(own);
  });
  if (ownCounters) counters.AddInto(grid);
}

// Mode 4: 101 points of the circle of radius (n - NullShift) x GridStepSectY.
void CountCircles(const TBrightPoints& points, const TObjDetectGeometry& g, const TObjDetectParams& p,
                  TCountGrid& grid) {
  const int64_t m = p.MultGrid;
  const long double dx = g.GridStepSectX / m, dy = g.GridStepSectY / m;
  const int64_t rowShift = int64_t{g.NullShift} * m;
  for (int64_t i = 0; i < g.Traces; ++i)
    for (const TMaxSample& s : points[static_cast<size_t>(i)]) {
      const long double y = static_cast<long double>(s.NumSampleMax - int64_t{g.NullShift}) * g.GridStepSectY;
      for (int mm = -50; mm <= 50; ++mm) {
        const long double off = mm * g.GridStepSectX;
        const long double under = y * y - off * off;
        if (!(under > 0)) continue;
        const long double x = i * g.GridStepSectX + off;
        grid.Add(Round(x / dx), SaturateToInt64(static_cast<long double>(Round(std::sqrt(under) / dy)) + rowShift), 1);
      }
    }
}

// Mode 5: the time-form ellipse of the cell of (X, Y) drawn with counter 1000.
void DrawChosenEllipse(long double X, long double Y, const TObjDetectGeometry& g, const TObjDetectParams& p,
                       TCountGrid& grid) {
  const int64_t i = Round(X / g.GridStepSectX);
  const int64_t j = Round(Y / g.GridStepSectY);
  if (i < 0 || i >= g.Traces || j < 0 || j >= g.LongTrace) return;
  const auto e = TimeFormEllipse(g, p, i, static_cast<int32_t>(j));
  if (!e || !(e->B2 > 0)) return;
  const long double a = std::sqrt(e->A2), b2 = e->B2;
  const int64_t last = Round(std::sqrt(b2) / g.GridStepSectY) + g.NullShift;
  for (int64_t r = 0; r <= last && r < grid.Rows(); ++r) {
    const long double l = (r - int64_t{g.NullShift}) * g.GridStepSectY;
    const long double q = 1 - l * l / b2;
    if (q < 0) break;
    const long double reach = a * std::sqrt(q);
    for (const long double x : {e->X - reach, e->X + reach}) grid.Set(Round(x / g.GridStepSectX), r, 1000);
  }
}

}  // namespace

std::optional<std::pair<long double, long double>> IntersectEllipses(const TDetectEllipse& e1,
                                                                     const TDetectEllipse& e2, long double xLimit) {
  long double x = 0, y = 0;
  if (!(e1.A2 > 0) || !IntersectPrepared(PrepareEllipse(e1, 0), PrepareEllipse(e2, 0), xLimit, x, y))
    return std::nullopt;
  return std::make_pair(x, y);
}

TObjDetectResult DetectObjects(const int32_t* in, int32_t* out, const TObjDetectGeometry& g,
                               const TObjDetectParams& params) {
  TObjDetectResult result;
  const int64_t samples = g.Traces * std::max(g.LongTrace, 0);
  if (samples <= 0) return result;
  std::memcpy(out, in, static_cast<size_t>(samples) * sizeof(int32_t));
  TObjDetectParams p = params;
  p.MultGrid = std::max(p.MultGrid, 1);

  const TBrightPoints points = FindBrightPoints(in, g.Traces, g.LongTrace);
  for (const auto& list : points)
    for (const TMaxSample& s : list) {
      result.nMin = std::min(result.nMin, s.AmplMax);
      result.nMax = std::max(result.nMax, s.AmplMax);
    }

  if (p.PntVisual == 1) {
    for (int64_t i = 0; i < g.Traces; ++i)
      for (const TMaxSample& s : points[static_cast<size_t>(i)]) out[i * g.LongTrace + s.NumSampleMax] = result.nMax;
    return result;
  }
  if (p.PntVisual < 2 || p.PntVisual > 5) return result;
  if (!DetectPositiveFinite(g.GridStepSectX) || !DetectPositiveFinite(g.GridStepSectY)) return result;

  const int64_t m = p.MultGrid;
  TCountGrid grid(g.Traces * m, int64_t{g.LongTrace} * m);
  switch (p.PntVisual) {
    case 2:
    case 3: CountIntersections(points, g, p, result, grid); break;
    case 4: CountCircles(points, g, p, grid); break;
    case 5:
      DrawChosenEllipse(p.XElipse, p.YElipse, g, p, grid);
      DrawChosenEllipse(p.X2Elipse, p.Y2Elipse, g, p, grid);
      break;
  }

  const int64_t largest = std::max<int64_t>(grid.Largest(), 1);
  const int64_t threshold = Round(static_cast<long double>(largest) * p.CountVisibleCrossSignal / 100);
  const long double nMax = result.nMax;
  TWorkerPool::Instance().Run(0, g.Traces, [&](int64_t a, int64_t b) {
    for (int64_t i = a; i < b; ++i)
      for (int32_t j = 0; j < g.LongTrace; ++j) {
        int64_t s = 0;
        for (int64_t ci = i * m; ci < (i + 1) * m; ++ci)
          for (int64_t cj = j * m; cj < (j + 1) * m; ++cj) {
            const int64_t v = grid.At(ci, cj);
            if (v > threshold) s = SaturateToInt64(static_cast<long double>(s) + v);
          }
        if (s == -1) continue;
        const int64_t scaled = Round(s * nMax / 100);
        out[i * g.LongTrace + j] =
            p.PntVisual == 4 ? SaturateToInt32(scaled)
                             : SaturateToInt32(SaturateToInt64((static_cast<long double>(scaled) + nMax) * 2));
      }
  });
  return result;
}
