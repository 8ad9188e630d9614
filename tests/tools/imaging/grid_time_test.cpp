// The time grid's arithmetic against hand-worked values: travel distances,
// sample conversion with halves to even, grid sizes, the gap layout, the cells'
// rounded means, picks with flat runs, the envelope without passes, the pair
// point and the ellipses of a known point.

#include "platform/rtl/rounding.h"
#include "tests/tools/tool_test_support.h"
#include "tools/imaging/grid_time_kernel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <vector>

namespace grid_time_test {

// 100 samples over 40 ns at 100 mm/ns: 0.02 m of path per sample.
TGridTimeAxis Axis() {
  TGridTimeAxis a;
  a.LongTrace = 100;
  a.SpanWidth = 40;
  a.SpeedLight = 100;
  return a;
}

TEST(GridTimeKernel, TravelDistancesAndSamples) {
  struct Case {
    long double x, y, xtr, expected;
  } cases[] = {{0, 1, 0, 2}, {1, 0, 1, 0}, {3, 4, 0, 7}, {0, 3, 4, 8}, {3, 4, 6, 7}};
  for (const Case& c : cases)
    EXPECT_NEAR(static_cast<double>(GetYPoint(c.x, c.y, c.xtr)), static_cast<double>(c.expected), 1e-15);
  TGridTimeAxis a = Axis();
  EXPECT_EQ(a.PathToSample(0.25L), 12) << "12.5 to even";
  EXPECT_EQ(a.PathToSample(0.75L), 38) << "37.5 to even";
  EXPECT_EQ(a.PathToSample(-0.25L), -12);
  a.ShiftTimeDepth = 0.5L;
  EXPECT_EQ(a.PathToSample(0.75L), 12);
  EXPECT_NEAR(static_cast<double>(a.SampleToTimeUs(50)), 0.02, 1e-15);
  EXPECT_NEAR(static_cast<double>(a.SampleToPath(50)), 1.0, 1e-15);
  a.SpeedLight = 0;
  EXPECT_FALSE(a.PathToSample(1).has_value());
}

TEST(GridTimeKernel, GridSizesAndStepsWithoutAGrid) {
  EXPECT_EQ(GridTimeSize(10, 0.05L, 0.05L, 100, 0.02L, 0.02L).X, 10);
  EXPECT_EQ(GridTimeSize(10, 0.05L, 0.05L, 100, 0.02L, 0.02L).Y, 100);
  EXPECT_EQ(GridTimeSize(1000, 0.05L, 0.01L, 500, 0.005L, 0.0075L).X, 5000);
  EXPECT_EQ(GridTimeSize(1000, 0.05L, 0.01L, 500, 0.005L, 0.0075L).Y, 333);
  for (long double bad : {0.0L, -0.05L}) {
    EXPECT_EQ(GridTimeSize(10, bad, 0.05L, 100, 0.02L, 0.02L).X, 0);
    EXPECT_EQ(GridTimeSize(10, 0.05L, bad, 100, 0.02L, 0.02L).X, 0);
    EXPECT_EQ(GridTimeSize(10, 0.05L, 0.05L, 100, bad, 0.02L).Y, 0);
    EXPECT_EQ(GridTimeSize(10, 0.05L, 0.05L, 100, 0.02L, bad).Y, 0);
  }
}

TEST(GridTimeKernel, GapLayoutDropsTrace16AndLeavesSevenEmptyPositions) {
  for (int64_t traces : {20, 10}) {
    std::vector<int32_t> in;
    for (int64_t t = 0; t < traces; ++t) in.insert(in.end(), {static_cast<int32_t>(t + 1), -static_cast<int32_t>(t + 1)});
    std::vector<int32_t> S;
    ASSERT_EQ(BuildWorkCopy(in.data(), traces, 2, true, S), traces + 7);
    for (int64_t t = 0; t < traces + 7; ++t) {
      int32_t expected = 0;
      if (t < 16 && t < traces) expected = static_cast<int32_t>(t + 1);
      if (t >= 24) expected = static_cast<int32_t>(t - 7 + 1);
      EXPECT_EQ(S[static_cast<size_t>(2 * t)], expected) << traces << " " << t;
      EXPECT_EQ(S[static_cast<size_t>(2 * t + 1)], -expected);
    }
    ASSERT_EQ(BuildWorkCopy(in.data(), traces, 2, false, S), traces);
    EXPECT_EQ(S, in);
  }
}

TEST(GridTimeKernel, CellsAreRoundedMeansOverTheAntennasReachingTheTrace) {
  // Two antennas at 0 and 0.1 m; the cell (0, 0.5 m) lies at path 1.0 and
  // 1.0099 m for them: sample 50 of both traces.
  const TGridTimeAxis axis = Axis();
  TGridTimeImaging p;
  p.DistanceRecept = 0;
  p.StepRecept = 0.1L;
  p.iXStep = 0.1L;
  p.iYStep = 0.25L;
  p.AntenCount = 2;
  struct Case {
    int32_t a, b, expected;
  } cases[] = {{10, 13, 12}, {10, 11, 10}, {-10, -13, -12}, {-10, -11, -10}, {2147483647, 2147483647, 2147483647}};
  for (const Case& c : cases) {
    std::vector<int32_t> S(200, 0);
    S[50] = c.a;
    S[150] = c.b;
    EXPECT_EQ(GridTimeCell(S.data(), 2, axis, p, 0, 2), c.expected) << c.a << " " << c.b;
  }
  std::vector<int32_t> S(200, 5);
  EXPECT_EQ(GridTimeCell(S.data(), 2, axis, p, 0, 40), 0) << "past the trace for every antenna";
  p.AntenCount = 3;
  EXPECT_EQ(GridTimeCell(S.data(), 2, axis, p, 0, 2), 5) << "an antenna without a trace adds nothing";
}

TEST(GridTimeKernel, ImageIsTheSameForAnyWorkerCountAndApplyOffShowsTheInput) {
  FakeToolHost host;
  HostScope scope{host};
  const TGridTimeAxis axis = Axis();
  std::vector<int32_t> S(30 * 100);
  for (size_t i = 0; i < S.size(); ++i) S[i] = static_cast<int32_t>((i * 7919) % 2001) - 1000;
  TGridTimeImaging p;
  p.DistanceRecept = 0.2L;
  p.StepRecept = 0.05L;
  p.iXStep = 0.03L;
  p.iYStep = 0.02L;
  p.AntenCount = 30;
  std::vector<int32_t> first;
  for (int workers : {1, 2, 8}) {
    PoolThreadsScope pool(workers);
    const std::vector<int32_t> B = GridTimeImage(S.data(), 30, axis, p, 50, 100, workers);
    if (workers == 1) {
      first = B;
      for (int c = 0; c < 50; ++c)
        for (int r = 0; r < 100; ++r)
          ASSERT_EQ(B[static_cast<size_t>(r + c * 100)], GridTimeCell(S.data(), 30, axis, p, c, r)) << c << " " << r;
    } else {
      EXPECT_EQ(B, first) << workers;
    }
  }
  p.Apply = false;
  const std::vector<int32_t> B = GridTimeImage(S.data(), 30, axis, p, 40, 120, 1);
  for (int c = 0; c < 40; ++c)
    for (int r = 0; r < 120; ++r)
      EXPECT_EQ(B[static_cast<size_t>(r + c * 120)], c < 30 && r < 100 ? S[static_cast<size_t>(c * 100 + r)] : 0);
}

TEST(GridTimeKernel, DirectWave) {
  std::vector<TGridTimeAntenna> antennas = CreateAntennas(3, 0.1L, 0.2L);
  ASSERT_EQ(antennas.size(), 3u);
  EXPECT_EQ(antennas[2].N, 2);
  EXPECT_NEAR(static_cast<double>(antennas[2].dx), 0.4, 1e-15);
  const long double t0 = DirectWave(antennas, 2.0L, 0.2L, 200);
  EXPECT_NEAR(static_cast<double>(t0), 0.001, 1e-15);
  EXPECT_NEAR(static_cast<double>(antennas[2].tAir), 0.002, 1e-15);
  EXPECT_NEAR(static_cast<double>(antennas[2].tDirect), 0.003, 1e-15);
  // No air speed: no air time, nothing divided by it.
  EXPECT_NEAR(static_cast<double>(DirectWave(antennas, 2.0L, 0.2L, 0)), 0.002, 1e-15);
  EXPECT_EQ(antennas[1].tAir, 0);
}

TEST(GridTimeKernel, PicksFollowFlatRuns) {
  using V = std::vector<int32_t>;
  struct Case {
    V trace;
    bool positiv;
    std::vector<TMaxSample> picks;
  } cases[] = {
      {{0, 3, 1, 0}, true, {{1, 3}}},
      {{0, 3, 1, 0}, false, {}},
      {{0, -3, 1, 0, 0}, false, {{1, -3}}},
      {{0, 1, 5, 5, 5, 1, 0, 0}, true, {{3, 5}}},
      {{0, 1, 5, 5, 5, 6, 0, 0}, true, {{5, 6}}},
      {{0, 0, 0, 4, 0, 2, 2, 1, 1}, true, {{3, 4}, {5, 2}}},
  };
  for (const Case& c : cases) {
    const std::vector<TMaxSample> picks = TracePicks(c.trace.data(), static_cast<int32_t>(c.trace.size()), c.positiv);
    ASSERT_EQ(picks.size(), c.picks.size()) << ::testing::PrintToString(c.trace);
    for (size_t i = 0; i < picks.size(); ++i) {
      EXPECT_EQ(picks[i].NumSampleMax, c.picks[i].NumSampleMax);
      EXPECT_EQ(picks[i].AmplMax, c.picks[i].AmplMax);
    }
  }
  // A run of 600 equal samples: a pick at every second sample of it.
  V longRun(700, 0);
  for (int k = 50; k < 650; ++k) longRun[static_cast<size_t>(k)] = 7;
  const std::vector<TMaxSample> picks = TracePicks(longRun.data(), 700, true);
  ASSERT_EQ(picks.size(), 300u);
  for (size_t i = 0; i < picks.size(); ++i) {
    EXPECT_EQ(picks[i].NumSampleMax, static_cast<int32_t>(50 + 2 * i));
    EXPECT_EQ(picks[i].AmplMax, 7);
  }
  const V values{1, -5, 9, 3, -2, 20};
  EXPECT_EQ(GlobalExtreme(values.data(), 6, true), 9) << "the last value is not looked at";
  EXPECT_EQ(GlobalExtreme(values.data(), 6, false), -5);
  const V positive{1, 2, 3};
  EXPECT_EQ(GlobalExtreme(positive.data(), 3, false), 0);
}

TEST(GridTimeKernel, EnvelopeWithoutPassesIsThePlainInterpolation) {
  std::vector<int32_t> flat(40, 3);
  std::vector<long double> out;
  std::vector<TMaxSample2> list;
  EXPECT_EQ(EnergyEnvelope(flat.data(), 40, 0, out, list), 0);
  ASSERT_EQ(out.size(), 40u);
  for (long double v : out) EXPECT_EQ(v, 9) << "not doubled";
  // A trace of 3000 samples (beyond any fixed buffer) gets its envelope too.
  std::vector<int32_t> wave(3000);
  for (size_t k = 0; k < wave.size(); ++k) wave[k] = static_cast<int32_t>(std::lround(1000 * std::sin(k * 0.05)));
  EnergyEnvelope(wave.data(), 3000, 10, out, list);
  ASSERT_EQ(out.size(), 3000u);
  ASSERT_FALSE(list.empty());
  EXPECT_EQ(list.back().NumSampleMax, 2999);
  std::vector<TMaxSample2> extrema{{0, 16.0L}, {5, -4.0L}, {9, 0.0L}};
  const std::vector<TMaxSample> up = PicksFromEnvelope(extrema, true);
  ASSERT_EQ(up.size(), 2u);
  EXPECT_EQ(up[0].AmplMax, 4);
  EXPECT_EQ(up[1].NumSampleMax, 9);
  const std::vector<TMaxSample> down = PicksFromEnvelope(extrema, false);
  ASSERT_EQ(down.size(), 1u);
  EXPECT_EQ(down[0].NumSampleMax, 5);
  EXPECT_EQ(down[0].AmplMax, -2);
}

// The pick paths of antennas at a and b for the reflector at p, speed 300.
TEST(GridTimeKernel, PairPointAndEllipsesFindTheReflector) {
  const long double V = 300, px = 0.5L, py = 1.0L;
  std::vector<TGridTimeAntenna> antennas = CreateAntennas(2, 0.4L, 0.2L);
  DirectWave(antennas, 0, 0, 300);
  for (TGridTimeAntenna& a : antennas) a.tDirect = a.tAir;  // emission at 0
  const auto path = [&](long double dx) { return std::hypot(px, py) + std::hypot(px - dx, py); };
  const std::optional<TPoint2> p =
      PairPoint(path(0.2L) / V, antennas[0], path(0.6L) / V, antennas[1], static_cast<int32_t>(V));
  ASSERT_TRUE(p);
  EXPECT_NEAR(static_cast<double>(p->x), 0.5, 1e-9);
  EXPECT_NEAR(static_cast<double>(p->y), 1.0, 1e-9);
  antennas[0].tAir = 0;
  EXPECT_FALSE(PairPoint(path(0.2L) / V, antennas[0], path(0.6L) / V, antennas[1], 300));

  // Ellipses through the reflector for antennas at 0.2 and 0.6 m: the pick's
  // path h solves h + sqrt(D^2 + h^2) = the reflector's path.
  const auto h = [&](long double D) { return (path(D) * path(D) - D * D) / (2 * path(D)); };
  const TEllipse e1 = PickEllipse(0.2L, h(0.2L)), e2 = PickEllipse(0.6L, h(0.6L));
  EXPECT_NEAR(static_cast<double>(EllipseCheck(e1, 0.2L, h(0.2L))), 1.0, 1e-12);
  const std::optional<TPoint2> x = EllipseIntersection(e1, e2);
  ASSERT_TRUE(x);
  EXPECT_NEAR(static_cast<double>(x->x), 0.5, 1e-9);
  EXPECT_NEAR(static_cast<double>(x->y), 1.0, 1e-9);
  EXPECT_FALSE(EllipseIntersection(e1, e1)) << "the same ellipse twice";
  // Both foci at 0 through (0, 0.5): the circle of radius 0.5.
  const std::vector<TPoint2> half = EllipsePoints(PickEllipse(0, 0.5L));
  ASSERT_FALSE(half.empty());
  EXPECT_NEAR(static_cast<double>(half.front().x), -0.5, 1e-12);
  EXPECT_NEAR(static_cast<double>(half.front().y), 0, 1e-9);
  EXPECT_EQ(half.size(), 201u);
  EXPECT_NEAR(static_cast<double>(half[100].y), 0.5, 1e-12);
  EXPECT_TRUE(EllipsePoints(PickEllipse(0, 0)).empty()) << "a = 0 is not drawn";
  // The check reports an ellipse that misses its own point, never one without
  // extent (b = 0 above the emission, or endless).
  EXPECT_FALSE(EllipseMisses(e1, 0.2L, h(0.2L)));
  EXPECT_TRUE(EllipseMisses(TEllipse{0.5L, 1, 1}, 1, 1)) << "0.25 + 1";
  EXPECT_TRUE(EllipseMisses(TEllipse{0.5L, 1, 1}, 1, std::nanl("")));
  EXPECT_FALSE(PickEllipse(0.4L, -0.1L).Valid());
  EXPECT_FALSE(EllipseMisses(PickEllipse(0.4L, -0.1L), 0.4L, -0.1L));
  EXPECT_FALSE(PickEllipse(0.4L, std::numeric_limits<long double>::infinity()).Valid());
}

TEST(GridTimeKernel, SectPointsCountOnlyAboveTheThreshold) {
  // Three antennas whose picks all meet at (0.5, 1.0): three pairs, one cell.
  const TGridTimeAxis axis = Axis();  // 0.0004 us per sample
  const long double V = 100, px = 0.5L, py = 1.0L;
  std::vector<TGridTimeAntenna> antennas = CreateAntennas(3, 0.2L, 0.2L);
  DirectWave(antennas, 0, 0, 100);
  for (TGridTimeAntenna& a : antennas) a.tDirect = a.tAir;
  std::vector<std::vector<TMaxSample>> picks(3);
  for (size_t i = 0; i < 3; ++i) {
    const long double dx = antennas[i].dx;
    const long double t = (std::hypot(px, py) + std::hypot(px - dx, py)) / V;
    picks[i].push_back({static_cast<int32_t>(std::lround(t / axis.SampleToTimeUs(1))), 1});
  }
  const TSectRange range{0, 2, 0, 2};
  int32_t maxCount = 0;
  std::vector<TSectBubble> bubbles = SectPoints(picks, antennas, axis, range, 0.1L, 2, maxCount);
  ASSERT_EQ(bubbles.size(), 1u);
  EXPECT_EQ(bubbles[0].ix, 5);
  EXPECT_EQ(bubbles[0].iy, 10);
  EXPECT_EQ(bubbles[0].count, 3);
  EXPECT_EQ(maxCount, 3);
  EXPECT_TRUE(SectPoints(picks, antennas, axis, range, 0.1L, 3, maxCount).empty()) << "no count above 3";
  EXPECT_TRUE(SectPoints(picks, antennas, axis, {0, 0.4L, 0, 2}, 0.1L, 0, maxCount).empty()) << "outside the chart";
  EXPECT_EQ(maxCount, 1);
}

// Noise-like traces give many picks whose pair points scatter over the chart:
// the counts of every cell must not depend on how the antennas are shared out,
// and must equal a plain count of the pair points.
TEST(GridTimeKernel, SectPointCountsAreTheSameForAnyWorkerCount) {
  FakeToolHost host;
  HostScope scope{host};
  const TGridTimeAxis axis = Axis();
  constexpr int antennasCount = 40;
  std::vector<int32_t> S(static_cast<size_t>(antennasCount) * 100);
  for (size_t i = 0; i < S.size(); ++i) S[i] = static_cast<int32_t>((i * 7919) % 2001) - 1000;
  std::vector<std::vector<TMaxSample>> picks;
  for (int i = 0; i < antennasCount; ++i) picks.push_back(TracePicks(S.data() + i * 100, 100, true));
  std::vector<TGridTimeAntenna> antennas = CreateAntennas(antennasCount, 0.05L, 0.2L);
  DirectWave(antennas, 2.0L, 0.2L, 299);
  const TSectRange range{0.2L, 2.2L, 0, axis.SampleToPath(100)};
  const long double step = 0.05L;

  std::map<std::pair<int32_t, int32_t>, int32_t> plain;
  for (size_t a = 0; a < picks.size(); ++a)
    for (const TMaxSample& p : picks[a])
      for (size_t b = a + 1; b < picks.size(); ++b)
        for (const TMaxSample& q : picks[b]) {
          const auto pt = PairPoint(axis.SampleToTimeUs(p.NumSampleMax), antennas[a],
                                    axis.SampleToTimeUs(q.NumSampleMax), antennas[b], axis.SpeedLight);
          if (pt && pt->x > range.xMin && pt->x < range.xMax && pt->y > range.yMin && pt->y < range.yMax)
            ++plain[{static_cast<int32_t>(Round(pt->x / step)), static_cast<int32_t>(Round(pt->y / step))}];
        }
  int32_t plainMax = 1;
  for (const auto& [cell, count] : plain) plainMax = std::max(plainMax, count);
  ASSERT_GT(plainMax, 3) << "the fixture must pile points up";

  for (int workers : {1, 2, 8}) {
    PoolThreadsScope pool(workers);
    int32_t maxCount = 0;
    const std::vector<TSectBubble> all = SectPoints(picks, antennas, axis, range, step, 0, maxCount, workers);
    EXPECT_EQ(maxCount, plainMax) << workers;
    ASSERT_EQ(all.size(), plain.size()) << workers;
    size_t k = 0;
    for (const auto& [cell, count] : plain) {
      EXPECT_EQ(all[k].ix, cell.first);
      EXPECT_EQ(all[k].iy, cell.second);
      EXPECT_EQ(all[k].count, count) << workers << " cell " << cell.first << "," << cell.second;
      ++k;
    }
    // Only the cells above the threshold become bubbles.
    const std::vector<TSectBubble> above = SectPoints(picks, antennas, axis, range, step, 3, maxCount, workers);
    for (const TSectBubble& b : above) EXPECT_GT(b.count, 3);
    EXPECT_EQ(above.size(), static_cast<size_t>(std::count_if(plain.begin(), plain.end(),
                                                              [](const auto& c) { return c.second > 3; })));
  }
}

}  // namespace grid_time_test

namespace grid_time_test {

TEST(GridTimeKernel, OverlayBubblesAndTheTrialHyperbola) {
  struct Case {
    int32_t ampl, e;
    long double radius;
  } cases[] = {{100, 0, 0.004L}, {1, 1000, 0.004L}, {500, 1000, 0.02L}, {-500, 1000, 0.02L}, {1000, -1000, 0.04L}};
  for (const Case& c : cases)
    EXPECT_NEAR(static_cast<double>(MaxPointRadius(c.ampl, c.e)), static_cast<double>(c.radius), 1e-15);
  EXPECT_EQ(SectColour(10, 10), 0x3030FFu);
  EXPECT_EQ(SectColour(1, 2), 0x303080u) << "127.5 to even";
  EXPECT_EQ(SectColour(5, 0), 0x3030FBu) << "1275 modulo 256";

  const std::vector<TPoint2> none = TrialHyperbola(1, 5, 6, 2, 0, 200, 0.2L, 0.01L);
  EXPECT_TRUE(none.empty()) << "above the time zero";
  EXPECT_TRUE(TrialHyperbola(1, 10, 6, 0, 0, 200, 0.2L, 0.01L).empty());
  // y0 = 4, d = 3, r = 5, step 1: the apex at (x, y), the ends 100 steps out.
  const std::vector<TPoint2> h = TrialHyperbola(50, 10, 6, 2, 0, 200, 0.03L, 0.01L);
  ASSERT_EQ(h.size(), 201u);
  EXPECT_NEAR(static_cast<double>(h[100].x), 50, 1e-12);
  EXPECT_NEAR(static_cast<double>(h[100].y), 10, 1e-12);
  EXPECT_NEAR(static_cast<double>(h[0].x), -50, 1e-12);
  EXPECT_NEAR(static_cast<double>(h[0].y), std::sqrt(25.0 + 40000.0) + 6 - 1, 1e-9);
}

TEST(GridTimeKernel, TestSectIsReproducibleAndNothingForOneAntennaTwice) {
  std::vector<std::vector<TMaxSample>> picks(40);
  for (size_t i = 0; i < picks.size(); ++i) picks[i] = {{10, 1}, {20, 1}, {30, 1}};
  const std::optional<TTestSectChoice> c1 = ChooseTestSect(picks, 17), c2 = ChooseTestSect(picks, 17);
  ASSERT_TRUE(c1 && c2);
  EXPECT_EQ(c1->a, c2->a);
  EXPECT_EQ(c1->b, c2->b);
  EXPECT_EQ(c1->p, c2->p);
  for (uint32_t seed = 0; seed < 200; ++seed) {
    const std::optional<TTestSectChoice> c = ChooseTestSect(picks, seed);
    ASSERT_TRUE(c);
    EXPECT_LT(c->a, 36);
    EXPECT_LT(c->b, 36);
    EXPECT_LT(c->p, 2) << "never the last pick";
    EXPECT_LT(c->q, 2);
  }
  // Only antenna 3 has two picks: it is drawn twice and nothing follows.
  std::vector<std::vector<TMaxSample>> one(40);
  one[3] = {{10, 1}, {20, 1}};
  one[37] = {{10, 1}, {20, 1}};
  const std::optional<TTestSectChoice> same = ChooseTestSect(one, 5);
  ASSERT_TRUE(same);
  EXPECT_EQ(same->a, 3);
  EXPECT_EQ(same->b, 3);
  const std::vector<TGridTimeAntenna> antennas = CreateAntennas(40, 0.05L, 0.2L);
  EXPECT_FALSE(TestSect(one, antennas, Axis(), *same));
  EXPECT_FALSE(ChooseTestSect(std::vector<std::vector<TMaxSample>>(40, {{1, 1}}), 5)) << "no antenna with two picks";
  // Two antennas' picks of one reflector: their ellipses cross at it.
  const TGridTimeAxis axis = Axis();
  std::vector<std::vector<TMaxSample>> two(2);
  const std::vector<TGridTimeAntenna> pair = CreateAntennas(2, 0.4L, 0.2L);
  two[0] = {{50, 1}, {60, 1}};
  two[1] = {{45, 1}, {60, 1}};
  const std::optional<TTestSect> s = TestSect(two, pair, axis, {0, 1, 0, 0});
  ASSERT_TRUE(s);
  EXPECT_NEAR(static_cast<double>(EllipseCheck(s->first, 0.2L, axis.SampleToPath(50))), 1.0, 1e-12);
  ASSERT_TRUE(s->cross);
  const auto onEllipse = [](const TEllipse& e, const TPoint2& p) {
    return (p.x - e.c) * (p.x - e.c) / (e.a * e.a) + p.y * p.y / (e.b * e.b);
  };
  EXPECT_NEAR(static_cast<double>(onEllipse(s->first, *s->cross)), 1.0, 1e-6);
  EXPECT_NEAR(static_cast<double>(onEllipse(s->second, *s->cross)), 1.0, 1e-6);
}

}  // namespace grid_time_test
