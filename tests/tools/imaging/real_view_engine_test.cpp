// The ray-sum reconstruction without a window: arcs and weights against their
// formulas, rays and lists against a plain reference of points and cells built
// entry by entry, the serial sweep against that reference, and the parallel sweep
// against the serial one bit for bit for any worker count.

#include "tools/imaging/real_view_engine.h"

#include "platform/rtl/rounding.h"
#include "tests/tools/imaging/reconstruction_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace real_view_engine_test {

constexpr long double Pi = std::numbers::pi_v<long double>;

// The points and cells of the reference, each row's arc formed from the
// parameters.
struct Reference : reconstruction_test_support::RayReference<long double> {
  Reference(const std::vector<int32_t>& input, int32_t countX, int32_t countY, const TRealViewParams& p)
      : RayReference(countX, countY) {
    const int32_t alpha = static_cast<int32_t>(Round(std::min(p.MinAmpSect, 180) / 2.0L));
    const long double sinA = std::sin(alpha * Pi / 180);
    for (int32_t y = 0; y < Y; ++y) {
      const long double m = p.dH + y;
      const long double o = p.DistanceRecept / 2 / p.dz;
      const long double t = std::sqrt(o * o + m * m);
      int64_t dR2 = Round(o / p.XYProportional), E = 0;
      std::vector<long double> depth{static_cast<long double>(y)}, weight{1};
      if (m < 0 || t == 0 || y == 0) {
        dR2 = 0;
      } else {
        E = Round(t * sinA / p.XYProportional);
        depth.assign(2 * E + 1, 0);
        weight.assign(2 * E + 1, 0);
        for (int64_t i = -E; i <= E; ++i) {
          const double z = static_cast<double>(m * std::sqrt(std::fabs(1 - (i * p.XYProportional) * (i * p.XYProportional) / (t * t))) - p.dH);
          depth[i + E] = z < 0 ? 0 : z;
          weight[i + E] = E == 0 ? 1 : std::cos(static_cast<long double>(std::abs(i)) / E * p.DecriseAmp * Pi / 2);
        }
      }
      for (int32_t x = 0; x < X; ++x) AddRay(x, y, input[static_cast<size_t>(x) * Y + y], x + dR2, E, depth, weight);
    }
  }
};

// A hyperbola of reflections around (cx, cy) on a weak ripple, with negatives.
std::vector<int32_t> Channel(int32_t countX, int32_t countY, int32_t cx, int32_t cy, long double xy) {
  std::vector<int32_t> v(static_cast<size_t>(countX) * countY);
  for (int32_t x = 0; x < countX; ++x)
    for (int32_t y = 0; y < countY; ++y) {
      const long double arrival = std::sqrt(static_cast<long double>(cy) * cy + (xy * (x - cx)) * (xy * (x - cx)));
      const long double d = y - arrival;
      const long double pulse = 20000 * std::exp(-d * d / 4) * std::cos(d * 1.3L);
      v[static_cast<size_t>(x) * countY + y] = static_cast<int32_t>(Round(pulse + 37 * std::sin(x * 0.7L + y * 0.31L)));
    }
  return v;
}

TRealViewParams Params(long double xy, int32_t angle, long double dist = 0, int32_t dH = 0) {
  TRealViewParams p;
  p.XYProportional = xy;
  p.MinAmpSect = angle;
  p.DistanceRecept = dist;
  p.dH = dH;
  p.dz = 0.05L;
  return p;
}

TRealViewModel Model(const std::vector<int32_t>& in, int32_t x, int32_t y, const TRealViewParams& p, int workers = 1) {
  TRealViewModel m;
  m.Build(in.data(), x, y, p, RealViewSinA(RealViewAlpha(p.MinAmpSect)), TRealViewModel::DefaultMemoryCap(), workers);
  return m;
}

void ExpectSameAsReference(const TRealViewModel& m, const Reference& r) {
  for (int32_t q = 0; q < m.CountAB; ++q) {
    SCOPED_TRACE(q);
    ASSERT_EQ(m.Bm[q], r.Bm[q]);
    ASSERT_EQ(m.AmNew[q], r.A[q].AmNew);
    ASSERT_EQ(m.dAmNew[q], r.A[q].dAmNew);
    ASSERT_EQ(m.dAmPred[q], r.A[q].dAmPred);
  }
}

TEST(RealViewEngine, ArcWeightIsOneWithoutWidthAndTheCosineToTheEnds) {
  EXPECT_EQ(ArcWeight(0, 0, 0.75L), 1);
  EXPECT_NEAR(static_cast<double>(ArcWeight(7, 7, 0.75L)), 0.383, 5e-4);
  EXPECT_EQ(ArcWeight(12, 5, 0.6L), std::cos(5.0L / 12 * 0.6L * Pi / 2));
  EXPECT_EQ(ArcWeight(12, 0, 0.6L), 1);
}

TEST(RealViewEngine, AnglesAreBoundedToAHalfTurn) {
  EXPECT_EQ(RealViewAlpha(90), 45);
  EXPECT_EQ(RealViewAlpha(1), 0) << "half of 1 rounds to even";
  EXPECT_EQ(RealViewAlpha(3), 2);
  EXPECT_EQ(RealViewAlpha(720), 90) << "a wider cone never narrows the arc";
  EXPECT_EQ(RealViewAlpha(-30), 0);
  EXPECT_FALSE(RealViewParamsUsable(Params(-1, 90)));
  EXPECT_FALSE(RealViewParamsUsable(Params(0, 90)));
  EXPECT_FALSE(RealViewParamsUsable(Params(std::numeric_limits<long double>::infinity(), 90)));
  TRealViewParams noDepth = Params(1, 90);
  noDepth.dz = 0;
  EXPECT_FALSE(RealViewParamsUsable(noDepth));
  EXPECT_TRUE(RealViewParamsUsable(Params(0.1L, 90)));
}

TEST(RealViewEngine, ArcOfARowFollowsTheEllipseCutToTheCone) {
  // o = 0.3 / 2 / 0.05 = 3 samples, m = 2 + 10, t = sqrt(9 + 144).
  const TRealViewParams p = Params(2, 90, 0.3L, 2);
  const long double sinA = RealViewSinA(45);
  const TRealViewArc arc = BuildArc(p, sinA, 10);
  const long double t = std::sqrt(153.0L);
  EXPECT_EQ(arc.dR2, 2) << "round(3 / 2) = 2, halves to even";
  ASSERT_EQ(arc.dXArc, Round(t * sinA / 2));
  for (int32_t i = -arc.dXArc; i <= arc.dXArc; ++i) {
    SCOPED_TRACE(i);
    const double z = static_cast<double>(12 * std::sqrt(std::fabs(1 - (2.0L * i) * (2.0L * i) / (t * t))) - 2);
    EXPECT_EQ(arc.DepthAt(i), static_cast<long double>(z));
    EXPECT_EQ(arc.WeightAt(i), ArcWeight(arc.dXArc, std::abs(i), 0.75L));
  }
  // Row 0 with a spacing, and rows above the arc origin: the cell itself.
  for (int32_t y : {0}) {
    const TRealViewArc zero = BuildArc(p, sinA, y);
    EXPECT_EQ(zero.dXArc, 0);
    EXPECT_EQ(zero.dR2, 0);
    EXPECT_EQ(zero.DepthAt(0), 0);
  }
  const TRealViewArc above = BuildArc(Params(2, 90, 0.3L, -5), sinA, 3);
  EXPECT_EQ(above.dXArc, 0);
  EXPECT_EQ(above.DepthAt(0), 3);
}

TEST(RealViewEngine, TooWideArcIsReportedBeforeAllocating) {
  // XY 0.1, angle 90: row 142 gives round(142 * sin 45 / 0.1) = 1004.
  const std::vector<int32_t> in(static_cast<size_t>(4) * 150, 5);
  TRealViewModel m;
  try {
    m.Build(in.data(), 4, 150, Params(0.1L, 90), RealViewSinA(45), TRealViewModel::DefaultMemoryCap());
    FAIL() << "no error";
  } catch (const ERealViewLimits& e) {
    EXPECT_EQ(e.Text(), "Hyperbola array limits 1004");
  }
  EXPECT_EQ(m.CountAB, 0);
  EXPECT_EQ(m.Entries(), 0);
  // 142 rows stay within the limit.
  EXPECT_NO_THROW(m.Build(in.data(), 4, 142, Params(0.1L, 90), RealViewSinA(45), TRealViewModel::DefaultMemoryCap()));
}

TEST(RealViewEngine, ModelOverTheCapEndsAsOutOfMemory) {
  const std::vector<int32_t> in(static_cast<size_t>(40) * 60, 5);
  const TRealViewParams p = Params(2, 90);
  const uint64_t need = TRealViewModel::EstimateBytes(40, 60, p, RealViewSinA(45));
  TRealViewModel m;
  EXPECT_THROW(m.Build(in.data(), 40, 60, p, RealViewSinA(45), need - 1), ERealViewMemory);
  EXPECT_EQ(m.Entries(), 0);
  m.Build(in.data(), 40, 60, p, RealViewSinA(45), need);
  EXPECT_LE(static_cast<uint64_t>(m.Entries()) * TRealViewModel::EntryBytes, need);
}

TEST(RealViewEngine, OneCellRaysGiveTheInputExceptChangesOfOne) {
  // Angle 1: Alpha 0, every ray is its own cell; one sweep takes each sample
  // whose change is at least 2.
  std::vector<int32_t> in = Channel(9, 30, 4, 8, 2);
  in[3] = -1;
  in[4] = 0;
  in[5] = 1;
  in[6] = 2;
  in[7] = -2;
  in[8] = std::numeric_limits<int32_t>::min();
  TRealViewModel m = Model(in, 9, 30, Params(2, 1));
  m.SweepSerial();
  std::vector<int32_t> out(in.size());
  m.ModelToView(out.data());
  for (size_t q = 0; q < in.size(); ++q) EXPECT_EQ(out[q], in[q] >= -1 && in[q] <= 1 ? 0 : in[q]) << q;
}

TEST(RealViewEngine, RaysAndListsMatchThePointByPointReference) {
  // Mirrored arcs at both ends, a spacing that shifts the centre, a dH.
  const std::vector<int32_t> in = Channel(23, 40, 11, 12, 1.5L);
  for (const TRealViewParams& p : {Params(1.5L, 90), Params(1.5L, 120, 0.4L, 3), Params(2.5L, 60, -0.3L, -4)}) {
    SCOPED_TRACE(p.MinAmpSect);
    TRealViewModel m = Model(in, 23, 40, p);
    const Reference r(in, 23, 40, p);
    int32_t twice = 0;
    for (int32_t q = 0; q < m.CountAB; ++q) {
      ASSERT_EQ(m.CountB(q), static_cast<int32_t>(r.A[q].Bi.size())) << q;
      for (int32_t e = 0; e < m.CountB(q); ++e) {
        ASSERT_EQ(m.RayCellAt(m.RayBegin(q) + e), r.A[q].Bi[e]);
        ASSERT_EQ(m.RayWeight(q, m.RayBegin(q) + e), r.A[q].BiK[e]);
      }
      const auto count = static_cast<size_t>(m.ListStart[q + 1] - m.ListStart[q]);
      ASSERT_EQ(count, r.Ai[q].size()) << q;
      for (size_t e = 0; e < count; ++e) {
        const int64_t at = m.ListStart[q] + static_cast<int64_t>(e);
        const int32_t point = m.ListPointAt(at);
        ASSERT_EQ(point, r.Ai[q][e]);
        ASSERT_EQ(m.ListWeight(at), r.GetBiK(point, q)) << "the list's weight is GetBiK's";
        if (e > 0 && r.Ai[q][e - 1] == point) ++twice;
      }
    }
    EXPECT_GT(twice, 0) << "near the ends the mirror names a cell twice on one ray";
    ExpectSameAsReference(m, r);
  }
}

TEST(RealViewEngine, DefaultsGiveRowZeroItsOwnCellsAndAnOutsideArcNoRay) {
  const std::vector<int32_t> in = Channel(12, 20, 6, 5, 2);
  const TRealViewModel m = Model(in, 12, 20, Params(2, 90));
  for (int32_t x = 0; x < 12; ++x) {
    ASSERT_EQ(m.CountB(x * 20), 1);
    EXPECT_EQ(m.RayCellAt(m.RayBegin(x * 20)), x * 20);
    EXPECT_EQ(m.RayWeight(x * 20, m.RayBegin(x * 20)), 1.0f);
  }
  // A spacing of 4 m puts the centre 40 / 2 = 20 columns aside (dz 0.05, XY 2):
  // the arcs of rows with a narrow cone lie wholly outside the 12 columns.
  TRealViewModel out = Model(in, 12, 20, Params(2, 10, 4.0L));
  int32_t noRay = 0;
  long double expected = 0;
  for (int32_t q = 0; q < out.CountAB; ++q) {
    if (out.CountB(q) == 0) {
      ++noRay;
      EXPECT_EQ(out.dAmNew[q], out.Am[q]);
    }
  }
  ASSERT_GT(noRay, 0);
  for (int n = 0; n < 3; ++n) {
    out.SweepSerial();
    expected = 0;
    for (int32_t q = 0; q < out.CountAB; ++q)
      if (out.CountB(q) == 0) {
        EXPECT_EQ(out.AmNew[q], 0);
        expected += std::fabs(static_cast<long double>(out.Am[q]));
      }
    long double rest = 0;
    for (int32_t q = 0; q < out.CountAB; ++q)
      if (out.CountB(q) > 0) rest += std::fabs(static_cast<long double>(out.dAmNew[q]));
    EXPECT_EQ(out.SumResidual(), Round((expected + rest) / 1000));
  }
}

TEST(RealViewEngine, SerialSweepsMatchTheReferenceIterationByIteration) {
  const std::vector<int32_t> in = Channel(31, 45, 15, 14, 1.2L);
  const TRealViewParams p = Params(1.2L, 100, 0.2L, 1);
  TRealViewModel m = Model(in, 31, 45, p);
  Reference r(in, 31, 45, p);
  for (int n = 0; n < 3; ++n) {
    SCOPED_TRACE(n);
    m.SweepSerial();
    r.Sweep();
    ExpectSameAsReference(m, r);
  }
  long double am = 0;
  for (int32_t v : in) am += std::fabs(static_cast<long double>(v));
  EXPECT_EQ(m.SumAmplitude(), Round(am / 1000));
}

TEST(RealViewEngine, ParallelSweepEqualsTheSerialOneForAnyWorkerCount) {
  // 400 columns, arcs to about +-12 columns with mirrors at both ends: up to
  // 16 stripes.
  const int32_t X = 400, Y = 40;
  const std::vector<int32_t> in = Channel(X, Y, 200, 20, 3);
  const TRealViewParams p = Params(3, 150, 0.5L, 2);
  TRealViewModel serial = Model(in, X, Y, p);
  ASSERT_GT(serial.MaxHalfWidth, 8);
  ASSERT_GE(serial.StripeCount(16), 8);
  for (int n = 0; n < 3; ++n) serial.SweepSerial();
  for (int workers : {1, 2, 3, 8, 16}) {
    SCOPED_TRACE(workers);
    TRealViewModel par = Model(in, X, Y, p);
    EXPECT_EQ(par.StripeCount(workers), std::min(workers, X / (2 * par.MaxHalfWidth + 1)));
    for (int n = 0; n < 3; ++n) par.SweepParallel(workers);
    EXPECT_EQ(par.Bm, serial.Bm);
    EXPECT_EQ(par.AmNew, serial.AmNew);
    EXPECT_EQ(par.dAmNew, serial.dAmNew);
    EXPECT_EQ(par.dAmPred, serial.dAmPred);
    EXPECT_EQ(par.SumResidual(), serial.SumResidual());
  }
}

TEST(RealViewEngine, RaysAndListsBuiltOnWorkersEqualTheSerialBuild) {
  // Rows of very different widths (row 0 one cell, deep rows wide and mirrored)
  // split over the parts, and fewer rows than parts.
  const std::vector<int32_t> in = Channel(37, 29, 18, 9, 1.5L);
  for (const TRealViewParams& p : {Params(1.5L, 120, 0.4L, 3), Params(2.5L, 60, -0.3L, -4)}) {
    const TRealViewModel serial = Model(in, 37, 29, p, 1);
    const Reference r(in, 37, 29, p);
    for (int workers : {2, 3, 8, 16}) {
      SCOPED_TRACE(workers);
      const TRealViewModel par = Model(in, 37, 29, p, workers);
      EXPECT_EQ(par.Points, serial.Points);
      EXPECT_EQ(par.RayCell, serial.RayCell);
      EXPECT_EQ(par.RayOffset, serial.RayOffset);
      EXPECT_EQ(par.ListStart, serial.ListStart);
      EXPECT_EQ(par.ListPoint, serial.ListPoint);
      EXPECT_EQ(par.ListOffset, serial.ListOffset);
      ExpectSameAsReference(par, r);
    }
  }
  const std::vector<int32_t> shallow = Channel(60, 3, 30, 1, 1);
  EXPECT_EQ(Model(shallow, 60, 3, Params(1, 90), 16).ListPoint, Model(shallow, 60, 3, Params(1, 90), 1).ListPoint);
}

TEST(RealViewEngine, NarrowProfilesSweepOnOneStripe) {
  const std::vector<int32_t> in = Channel(20, 40, 10, 10, 1);
  TRealViewModel m = Model(in, 20, 40, Params(1, 90));
  EXPECT_EQ(m.StripeCount(8), 1) << "stripes must be wider than two arc half-widths";
  TRealViewModel s = Model(in, 20, 40, Params(1, 90));
  m.SweepParallel(8);
  s.SweepSerial();
  EXPECT_EQ(m.Bm, s.Bm);
}

TEST(RealViewEngine, OneStripeSharesThePointRecomputationsBetweenWorkers) {
  // Arcs far wider than the profile: cells with long lists, mirrored points
  // listed twice among them.
  const std::vector<int32_t> in = Channel(40, 120, 20, 30, 0.4L);
  TRealViewModel s = Model(in, 40, 120, Params(0.4L, 150, 0.1L, 1));
  ASSERT_EQ(s.StripeCount(8), 1);
  // Lists of 48 points and more are shared.
  int32_t shared = 0;
  for (int32_t q = 0; q < s.CountAB; ++q) shared += s.ListCount(q) >= 48;
  ASSERT_GE(shared, 100);
  for (int n = 0; n < 3; ++n) s.SweepSerial();
  for (int workers : {2, 3, 8, 16}) {
    SCOPED_TRACE(workers);
    TRealViewModel par = Model(in, 40, 120, Params(0.4L, 150, 0.1L, 1));
    for (int n = 0; n < 3; ++n) par.SweepParallel(workers);
    EXPECT_EQ(par.Bm, s.Bm);
    EXPECT_EQ(par.AmNew, s.AmNew);
    EXPECT_EQ(par.dAmNew, s.dAmNew);
    EXPECT_EQ(par.dAmPred, s.dAmPred);
  }
}

}  // namespace real_view_engine_test
