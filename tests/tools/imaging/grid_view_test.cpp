// The grid view: the grid, the interpolation and the per-cell arcs against a
// literal reference of points and cells (single-precision denominators), the
// image's indices, the arrival plot, and the tool on real channel stores: the
// channel passes through, the image follows the engine's model for any worker
// count, the stops, the bad steps, the memory cap, the scan and the record.

#include "platform/rtl/extended.h"
#include "platform/rtl/rounding.h"
#include "platform/rtl/streams.h"
#include "platform/ui/bitmap.h"
#include "tests/tools/imaging/migration_test_support.h"
#include "tests/tools/imaging/reconstruction_test_support.h"
#include "tools/imaging/grid_view_kernel.h"
#include "tools/imaging/grid_view_tool.h"
#include "tools/tool_record.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <numbers>
#include <vector>

namespace grid_view_test {

using imaging_test_support::MakeWheelChannel;
using imaging_test_support::TWheelChannel;

constexpr long double Pi = std::numbers::pi_v<long double>;

// The grid's points and cells, the arc formed anew for every cell (single-
// precision denominators in a sweep).
struct GridReference : reconstruction_test_support::RayReference<float> {
  GridReference(const std::vector<int32_t>& measured, int32_t countX, int32_t countY, const TGridViewSteps& s,
                long double distance, int32_t dH, int32_t angle, long double decrease)
      : RayReference(countX, countY) {
    const long double sinA = std::sin(Round(std::min(angle, 180) / 2.0L) * Pi / 180);
    const long double r = s.iXStep / s.iYStep;
    for (int32_t y = 0; y < Y; ++y)
      for (int32_t x = 0; x < X; ++x) {
        const long double h = dH + y;
        const long double o = (s.iXStep * x + distance) / 2 / s.iYStep;
        const long double t = std::sqrt(o * o + h * h);
        int64_t E = 0;
        std::vector<long double> depth{static_cast<long double>(y)}, weight{1};
        if (!(h <= 0 || t == 0 || y == 0)) {
          E = Round(t * sinA / r);
          depth.assign(2 * E + 1, 0);
          weight.assign(2 * E + 1, 0);
          for (int64_t i = -E; i <= E; ++i) {
            double z = static_cast<double>(h * std::sqrt(std::fabs(1 - (i * r) * (i * r) / (t * t))));
            z = std::min(std::max(z, 0.0), static_cast<double>(Y - 1));
            depth[i + E] = z;
            weight[i + E] = E == 0 ? 1 : std::cos(static_cast<long double>(std::abs(i)) / E * decrease * Pi / 2);
          }
        }
        AddRay(x, y, measured[static_cast<size_t>(x) * Y + y], x, E, depth, weight);
      }
  }
};

// A diffraction hyperbola with a ripple: apex at trace cx, sample cy.
std::vector<int32_t> Hyperbola(int64_t traces, int longTrace, int64_t cx, int cy) {
  std::vector<int32_t> v(static_cast<size_t>(traces * longTrace));
  for (int64_t x = 0; x < traces; ++x)
    for (int y = 0; y < longTrace; ++y) {
      const long double arrival = std::sqrt(static_cast<long double>(cy) * cy + 9.0L * (x - cx) * (x - cx));
      const long double d = y - arrival;
      v[static_cast<size_t>(x * longTrace + y)] =
          static_cast<int32_t>(std::lround(30000 * std::exp(-d * d / 3) * std::cos(d) + 41 * std::sin(x * 0.9 + y * 0.37)));
    }
  return v;
}

TGridViewSteps Steps(long double stepRecept, long double ix, long double iy, long double dz) {
  TGridViewSteps s;
  s.StepRecept = stepRecept;
  s.iXStep = ix;
  s.iYStep = iy;
  s.dz = dz;
  return s;
}

TEST(GridViewKernel, GridCountsAndStepsWithoutAGrid) {
  EXPECT_EQ(GridViewSize(40, 200, Steps(0.05L, 0.1L, 0.01L, 0.01L)).X, 20);
  EXPECT_EQ(GridViewSize(40, 200, Steps(0.05L, 0.1L, 0.01L, 0.01L)).Y, 200);
  // 200 traces x 500 samples of 0.005 m: the defaults' 200 x 333 grid.
  const TGridViewSize d = GridViewSize(200, 500, Steps(0.05L, 0.05L, 0.0075L, 0.005L));
  EXPECT_EQ(d.X, 200);
  EXPECT_EQ(d.Y, 333);
  for (long double step : {0.0L, -0.05L, std::nanl(""), std::numeric_limits<long double>::infinity()}) {
    EXPECT_EQ(GridViewSize(40, 200, Steps(step, 0.1L, 0.01L, 0.01L)).X, 0) << static_cast<double>(step);
    EXPECT_EQ(GridViewSize(40, 200, Steps(0.05L, 0.1L, 0.01L, step)).Y, 0) << static_cast<double>(step);
  }
  EXPECT_EQ(GridViewSize(40, 200, Steps(1e30L, 1e-30L, 0.01L, 0.01L)).X, int64_t{std::numeric_limits<int32_t>::max()} * 4);
}

TEST(GridViewKernel, InterpolationIsTheSamplesOnTheirOwnGridAndClampsPastTheEnd) {
  const std::vector<int32_t> in = Hyperbola(7, 11, 3, 4);
  const TGridViewSteps own = Steps(0.05L, 0.05L, 0.01L, 0.01L);
  EXPECT_EQ(InterpolateGrid(in.data(), 7, 11, 7, 11, own), in);
  // Past the last trace and sample: the last values.
  EXPECT_EQ(InterpolateSample(in.data(), 7, 11, 9, 2, own), in[6 * 11 + 2]);
  EXPECT_EQ(InterpolateSample(in.data(), 7, 11, 2, 15, own), in[2 * 11 + 10]);
  EXPECT_EQ(InterpolateSample(in.data(), 7, 11, 12, 40, own), in[6 * 11 + 10]);
  // Half-way in both directions: the bilinear formula, rounded half to even.
  const std::vector<int32_t> square = {0, 3, 10, 4};  // trace 0: 0, 3; trace 1: 10, 4
  const TGridViewSteps half = Steps(0.1L, 0.05L, 0.005L, 0.01L);
  // u = v = 0.5: m = 5, c' = 3 + 0.5 * (4 - 3) = 3.5, 5 + 0.5 * (3.5 - 5) = 4.25.
  EXPECT_EQ(InterpolateSample(square.data(), 2, 2, 1, 1, half), 4);
  // u = 0.5, v = 0: 5; u = 0, v = 0.5: 1.5 rounds to 2; u = 1.5 (clamped), v = 0.5: 7.
  EXPECT_EQ(InterpolateSample(square.data(), 2, 2, 1, 0, half), 5);
  EXPECT_EQ(InterpolateSample(square.data(), 2, 2, 0, 1, half), 2);
  EXPECT_EQ(InterpolateSample(square.data(), 2, 2, 3, 1, half), 7);
}

TEST(GridViewKernel, ModelOnPerCellArcsMatchesTheLiteralReference) {
  // Growing spacing, a dH, arcs mirrored at both ends and clamped at the bottom.
  const std::vector<int32_t> in = Hyperbola(24, 30, 12, 6);
  struct Case {
    TGridViewSteps s;
    long double distance;
    int32_t dH, angle;
    long double decrease;
  };
  for (const Case& c : {Case{Steps(0.05L, 0.04L, 0.01L, 0.01L), 0.2L, 0, 120, 0.9L},
                        Case{Steps(0.05L, 0.07L, 0.012L, 0.01L), -0.3L, 3, 150, 0.6L},
                        Case{Steps(0.05L, 0.05L, 0.01L, 0.01L), 0, -4, 90, 0.75L}}) {
    SCOPED_TRACE(c.dH);
    const TGridViewSize size = GridViewSize(24, 30, c.s);
    const auto X = static_cast<int32_t>(size.X), Y = static_cast<int32_t>(size.Y);
    const std::vector<int32_t> measured = InterpolateGrid(in.data(), 24, 30, X, Y, c.s);
    const TGridViewArcs arcs(c.s, c.distance, c.dH, RealViewSinA(RealViewAlpha(c.angle)), c.decrease, Y);
    GridReference r(measured, X, Y, c.s, c.distance, c.dH, c.angle, c.decrease);
    for (int workers : {1, 3}) {
      TRealViewModel m;
      m.Build(measured.data(), X, Y, arcs, TRealViewModel::DefaultMemoryCap(), workers);
      for (int32_t q = 0; q < m.CountAB; ++q) {
        ASSERT_EQ(m.CountB(q), static_cast<int32_t>(r.A[q].Bi.size())) << q;
        for (int32_t e = 0; e < m.CountB(q); ++e) {
          ASSERT_EQ(m.RayCellAt(m.RayBegin(q) + e), r.A[q].Bi[static_cast<size_t>(e)]);
          ASSERT_EQ(m.RayWeight(q, m.RayBegin(q) + e), r.A[q].BiK[static_cast<size_t>(e)]);
        }
        ASSERT_EQ(m.ListCount(q), static_cast<int64_t>(r.Ai[q].size()));
      }
      GridReference ref = r;
      for (int n = 0; n < 3; ++n) {
        m.SweepParallel(workers);
        ref.Sweep();
        for (int32_t q = 0; q < m.CountAB; ++q) {
          ASSERT_EQ(m.Bm[q], ref.Bm[q]) << n << " " << q;
          ASSERT_EQ(m.dAmNew[q], ref.A[q].dAmNew) << n << " " << q;
        }
      }
      EXPECT_NE(m.Bm, std::vector<int32_t>(m.Bm.size(), 0));
    }
  }
}

TEST(GridViewKernel, ArcsWidenWithTheSpacingAndRowZeroIsItsOwnCell) {
  const TGridViewSteps s = Steps(0.05L, 0.05L, 0.0075L, 0.005L);
  const TGridViewArcs arcs(s, 0.2L, 0, RealViewSinA(60), 0.9L, 333);
  EXPECT_EQ(arcs.HalfWidth(0, 0), 0);
  EXPECT_LT(arcs.HalfWidth(0, 100), arcs.HalfWidth(199, 100));
  TArcRows arc;
  arcs.Arc(5, 0, arc);
  EXPECT_EQ(arc.E, 0);
  EXPECT_EQ(arc.Row, std::vector<int32_t>{0});
  // h <= 0 (dH -10, row 4): the cell itself.
  const TGridViewArcs up(s, 0.2L, -10, RealViewSinA(60), 0.9L, 333);
  up.Arc(5, 4, arc);
  EXPECT_EQ(arc.Row, std::vector<int32_t>{4});
  // Rows are limited to the grid, never shifted back by dH.
  const TGridViewArcs deep(s, 0.2L, 50, RealViewSinA(60), 0.9L, 40);
  deep.Arc(3, 30, arc);
  ASSERT_GT(arc.E, 0);
  EXPECT_EQ(arc.Row[static_cast<size_t>(arc.E)], 39);
}

TEST(GridViewKernel, ImageIndicesFollowTheLargestMagnitudeAndTheContrast) {
  EXPECT_EQ(GridPixel(500, 1000, 1), 192);
  EXPECT_EQ(GridPixel(-1000, 1000, 1), 1);
  EXPECT_EQ(GridPixel(1000, 1000, 1), 255);
  EXPECT_EQ(GridPixel(500, 1000, 3), 255);
  EXPECT_EQ(GridPixel(-500, 1000, 3), 0);
  EXPECT_EQ(GridPixel(0, 0, 1), 128);
  EXPECT_EQ(GridPixel(std::numeric_limits<int32_t>::min(), 2147483648LL, 1), 1);
  TBitmap image;
  image.SetPixelFormat(pf8bit);
  PaintGridPixels({}, 3, 2, 1, image);
  ASSERT_EQ(image.Width(), 3);
  ASSERT_EQ(image.Height(), 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(image.ScanLine(y)[x], 128);
  PaintGridPixels(std::vector<int32_t>(6, 0), 3, 2, 1, image);
  EXPECT_EQ(image.ScanLine(1)[2], 128) << "a zero model";
  // Cell x * CountY + y is pixel (x, y).
  PaintGridPixels({0, -1000, 500, 0, 0, 1000}, 3, 2, 1, image);
  EXPECT_EQ(image.ScanLine(1)[0], 1);
  EXPECT_EQ(image.ScanLine(0)[1], 192);
  EXPECT_EQ(image.ScanLine(1)[2], 255);
  PaintGridPixels({}, 0, 2, 1, image);
  EXPECT_TRUE(image.Empty());
}

TEST(GridViewKernel, ArrivalPlotHasAPointPerTraceAndNoneWithoutATimeWindow) {
  const std::vector<TOffsetArrival> a = OffsetArrivals(150, 2, 0.05L, 0.2L);
  ASSERT_EQ(a.size(), 150u);
  EXPECT_EQ(a[0].d, 0.2L / 180);
  EXPECT_EQ(a[149].d, std::fabs(149 * 0.05L + 0.2L) / 180);
  EXPECT_EQ(a[149].T, 2.0L / 1000 - 0.2L / 180 + a[149].d);
  const std::vector<TArrivalPoint> p = ArrivalPoints(a, 2, 0.05L, 0.2L, 100, 50, 500, 50);
  ASSERT_EQ(p.size(), 150u);
  EXPECT_DOUBLE_EQ(p[10].x, static_cast<double>(10 * 0.05L + 0.2L));
  const long double aMin = -(2.0L / 1000 - 0.2L / 180) * 100 / 2;
  EXPECT_DOUBLE_EQ(p[10].y, static_cast<double>(aMin + Round(a[10].T * 1000 / 0.1L) * 50.0L / 500 * 100 / 2000));
  EXPECT_TRUE(ArrivalPoints(a, 2, 0.05L, 0.2L, 100, 0, 500, 0).empty());
  EXPECT_TRUE(ArrivalPoints(a, 2, 0.05L, 0.2L, 100, 50, 500, -5).empty());
}

}  // namespace grid_view_test
