#include "tools/imaging/grid_view_kernel.h"

#include "platform/rtl/rounding.h"
#include "platform/ui/bitmap.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace grid_view_kernel {
bool Positive(long double v) { return std::isfinite(v) && v > 0; }

// round(v), 0 below 0 and saturated above any grid a model can hold.
int64_t Count(long double v) {
  if (!(v > 0)) return 0;
  constexpr long double Most = static_cast<long double>(std::numeric_limits<int32_t>::max()) * 4;
  return v >= Most ? static_cast<int64_t>(Most) : Round(v);
}
}  // namespace grid_view_kernel

TGridViewSize GridViewSize(int64_t traces, int longTrace, const TGridViewSteps& s) {
  using grid_view_kernel::Count;
  using grid_view_kernel::Positive;
  TGridViewSize size;
  if (Positive(s.StepRecept) && Positive(s.iXStep) && traces > 0)
    size.X = Count(static_cast<long double>(traces) * s.StepRecept / s.iXStep);
  if (Positive(s.dz) && Positive(s.iYStep) && longTrace > 0)
    size.Y = Count(static_cast<long double>(longTrace) * s.dz / s.iYStep);
  return size;
}

int32_t InterpolateSample(const int32_t* input, int64_t traces, int longTrace, int32_t x, int32_t y,
                          const TGridViewSteps& s) {
  const long double u = x * s.iXStep / s.StepRecept;
  const long double v = y * s.iYStep / s.dz;
  const long double tu = std::trunc(u), tv = std::trunc(v);
  const auto limit = [](long double i, int64_t last) {
    return i >= static_cast<long double>(last) ? last : std::max<int64_t>(static_cast<int64_t>(i), 0);
  };
  const int64_t t0 = limit(tu, traces - 1), t1 = limit(tu + 1, traces - 1);
  const int64_t s0 = limit(tv, longTrace - 1), s1 = limit(tv + 1, longTrace - 1);
  const long double fu = u - tu, fv = v - tv;
  const auto at = [&](int64_t t, int64_t k) { return static_cast<long double>(input[t * longTrace + k]); };
  const long double a = at(t0, s0), b = at(t1, s0), c = at(t0, s1), d = at(t1, s1);
  const long double m = fu * (b - a) + a;
  return RoundToInt32(m + fv * (fu * (d - c) + c - m));
}

std::vector<int32_t> InterpolateGrid(const int32_t* input, int64_t traces, int longTrace, int32_t countX,
                                     int32_t countY, const TGridViewSteps& s) {
  std::vector<int32_t> grid(static_cast<size_t>(countX) * static_cast<size_t>(countY));
  for (int32_t x = 0; x < countX; ++x)
    for (int32_t y = 0; y < countY; ++y)
      grid[static_cast<size_t>(x) * static_cast<size_t>(countY) + static_cast<size_t>(y)] =
          InterpolateSample(input, traces, longTrace, x, y, s);
  return grid;
}

TGridViewArcs::TGridViewArcs(const TGridViewSteps& s, long double distanceRecept, int32_t dH, long double sinA,
                             long double decrease, int32_t countY)
    : s_(s), distance_(distanceRecept), dH_(dH), sinA_(sinA), decrease_(decrease), countY_(countY),
      r_(s.iXStep / s.iYStep) {}

TGridViewArcs::TShape TGridViewArcs::Shape(int32_t x, int32_t y) const {
  const long double h = static_cast<long double>(dH_) + y;
  const long double o = (s_.iXStep * x + distance_) / 2 / s_.iYStep;
  const long double t = std::sqrt(o * o + h * h);
  // Row 0 forms no arc of its own; without a column step the arc has no width.
  const bool oneCell = h <= 0 || t == 0 || y == 0 || !grid_view_kernel::Positive(r_) || !std::isfinite(t);
  return {h, t, oneCell};
}

int64_t TGridViewArcs::HalfWidth(int32_t x, int32_t y) const {
  const TShape g = Shape(x, y);
  return g.oneCell ? 0 : Round(g.t * sinA_ / r_);
}

void TGridViewArcs::Arc(int32_t x, int32_t y, TArcRows& arc) const {
  const TShape g = Shape(x, y);
  arc.dR2 = 0;
  if (g.oneCell) {
    arc.E = 0;
    arc.Row.assign(1, y);
    return;
  }
  arc.E = static_cast<int32_t>(std::max<int64_t>(Round(g.t * sinA_ / r_), 0));
  arc.Row.resize(static_cast<size_t>(2 * arc.E + 1));
  const double last = static_cast<double>(std::max(countY_ - 1, 0));
  for (int32_t i = -arc.E; i <= arc.E; ++i) {
    const long double q = i * r_;
    const double z = static_cast<double>(g.h * std::sqrt(std::fabs(1 - q * q / (g.t * g.t))));
    arc.Row[static_cast<size_t>(i + arc.E)] = static_cast<int32_t>(Round(std::clamp(z, 0.0, last)));
  }
}

uint8_t GridPixel(int32_t bm, int64_t maxAbs, long double kontrast) {
  if (maxAbs == 0) return 128;
  const long double v = static_cast<long double>(bm) * 127 / static_cast<long double>(maxAbs) * kontrast;
  const long double limited = std::isnan(v) ? 0 : std::clamp<long double>(v, -1e6L, 1e6L);
  return static_cast<uint8_t>(128 + std::clamp<int64_t>(Round(limited), -128, 127));
}

void PaintGridPixels(const std::vector<int32_t>& bm, int32_t countX, int32_t countY, long double kontrast,
                     TBitmap& image) {
  // A grid without columns or rows is an empty picture.
  if (countX <= 0 || countY <= 0) countX = countY = 0;
  if (image.Width() != countX || image.Height() != countY) image.SetSize(countX, countY);
  int64_t maxAbs = 0;
  for (int32_t v : bm) maxAbs = std::max(maxAbs, std::abs(static_cast<int64_t>(v)));
  const bool model = bm.size() == static_cast<size_t>(countX) * static_cast<size_t>(countY);
  for (int32_t y = 0; y < countY; ++y) {
    uint8_t* row = image.ScanLine(y);
    for (int32_t x = 0; x < countX; ++x)
      row[x] = model ? GridPixel(bm[static_cast<size_t>(x) * static_cast<size_t>(countY) + static_cast<size_t>(y)],
                                 maxAbs, kontrast)
                     : 128;
  }
}

std::vector<TOffsetArrival> OffsetArrivals(int64_t traces, long double xy, long double stepRecept,
                                           long double distanceRecept) {
  const long double a = xy / 1000 - std::fabs(distanceRecept) / 180;
  std::vector<TOffsetArrival> arrivals(static_cast<size_t>(std::max<int64_t>(traces, 0)));
  for (size_t i = 0; i < arrivals.size(); ++i) {
    arrivals[i].d = std::fabs(static_cast<long double>(i) * stepRecept + distanceRecept) / 180;
    arrivals[i].T = a + arrivals[i].d;
  }
  return arrivals;
}

std::vector<TArrivalPoint> ArrivalPoints(const std::vector<TOffsetArrival>& arrivals, long double xy,
                                         long double stepRecept, long double distanceRecept, int32_t speedLight,
                                         long double spanWidth, int longTrace, long double timeWindowNs) {
  std::vector<TArrivalPoint> points;
  if (!(timeWindowNs > 0) || longTrace <= 0 || !std::isfinite(timeWindowNs)) return points;
  const long double a = xy / 1000 - std::fabs(distanceRecept) / 180;
  const long double aMin = -a * speedLight / 2;
  const long double perSample = timeWindowNs / longTrace;
  points.reserve(arrivals.size());
  for (size_t i = 0; i < arrivals.size(); ++i) {
    const long double s = static_cast<long double>(Round(arrivals[i].T * 1000 / perSample));
    const long double depth = s * spanWidth / longTrace * speedLight / 2000;
    points.push_back({static_cast<double>(static_cast<long double>(i) * stepRecept + distanceRecept),
                      static_cast<double>(aMin + depth)});
  }
  return points;
}
