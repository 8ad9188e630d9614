// The hyperbola overlay and the depth pick without the window: the points
// against the geometry computed here, an apex above the zero level, two zero
// levels, and the depth and speed of a pick.

#include "radargram/hyperbola.h"

#include "profiledata/setting_data.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace hyperbola_test {

namespace hb = hyperbola;

// 200 samples over 100 ns (0.5 ns per sample), 100 m/us: 2.5 cm per sample.
std::unique_ptr<TSettingData> Settings(int32_t zero) {
  auto s = std::make_unique<TSettingData>(nullptr);
  s->RestoreSpanWidth(100);
  s->RestoreLongTrace(200);
  s->SetSpeedLight(100);
  s->SetNullShift(zero);
  s->SetWheelStep(50);
  s->SetWheelMult(1);
  return s;
}

TEST(HyperbolaPoints, TraceDisplayFollowsTheDiffractionGeometry) {
  const auto s = Settings(20);
  const double apexTime = 40, apexX = 300, P = 2.0, spacing = 0.1;
  const std::vector<hb::TPoint2> points = hb::TracePoints(*s, apexTime, apexX, P, spacing);
  ASSERT_EQ(points.size(), 281u);
  const double A = 80, Z = 20, D = 0.025;
  const double g = std::hypot(A - Z, spacing / D / 2);
  for (int k = -140; k <= 140; ++k) {
    const hb::TPoint2& p = points[static_cast<size_t>(k + 140)];
    EXPECT_EQ(p.X, apexX + k);
    const double v = Z + std::hypot(g, P * k) - (g - (A - Z));
    // Within the rounding of one sample (0.5 ns).
    EXPECT_NEAR(p.Y, v * 0.5, 0.25 + 1e-9) << k;
  }
  EXPECT_EQ(points[140].Y, 40.0);
}

TEST(HyperbolaPoints, DistanceDisplayFollowsTheDiffractionGeometry) {
  const auto s = Settings(0);
  const double apexTime = 60, apexX = 4, spacing = 0.1;
  const std::vector<hb::TPoint2> points = hb::DistancePoints(*s, apexTime, apexX, spacing);
  ASSERT_EQ(points.size(), 281u);
  const double d = 60 * 100 / 2000.0, step = 0.05;
  const double g = std::hypot(d, spacing / 2);
  for (int k = -140; k <= 140; k += 7) {
    const hb::TPoint2& p = points[static_cast<size_t>(k + 140)];
    EXPECT_NEAR(p.X, apexX + k * step, 1e-9);
    const double depth = std::hypot(g, step * k) - (g - d);
    EXPECT_NEAR(p.Y, depth * 2000 / 100, 0.25 + 1e-6) << k;
  }
}

TEST(HyperbolaPoints, AnApexAboveTheZeroLevelDrawsNothing) {
  const auto s = Settings(40);  // zero at 20 ns
  EXPECT_TRUE(hb::TracePoints(*s, 15, 100, 1.0, 0.1).empty());
  EXPECT_TRUE(hb::DistancePoints(*s, 15, 1, 0.1).empty());
  EXPECT_FALSE(hb::TracePoints(*s, 25, 100, 1.0, 0.1).empty());
}

TEST(HyperbolaPoints, TwoZeroLevelsGiveTheSameCurveAboveEachZero) {
  const auto a = Settings(10), b = Settings(60);
  const double above = 30;  // ns below each zero level
  const auto pa = hb::TracePoints(*a, above + 5, 0, 1.5, 0.1);
  const auto pb = hb::TracePoints(*b, above + 30, 0, 1.5, 0.1);
  ASSERT_EQ(pa.size(), pb.size());
  ASSERT_FALSE(pa.empty());
  for (size_t i = 0; i < pa.size(); ++i) EXPECT_EQ(pa[i].Y - 5, pb[i].Y - 30) << i;
}

TEST(HyperbolaPick, DepthAndSpeedOfAPick) {
  EXPECT_EQ(hb::PickedDepth(100, 60, 10), 2.5L);
  EXPECT_EQ(hb::PickedDepth(80, 33.333L, 10), 0.93L);
  EXPECT_EQ(hb::SpeedOfPick(2.5L, 60, 10), std::optional<int32_t>(100));
  EXPECT_EQ(hb::SpeedOfPick(1.0L, 40, 10), std::optional<int32_t>(67));
  EXPECT_EQ(hb::SpeedOfPick(2.5L, 10, 10), std::nullopt);  // at the zero time
  EXPECT_EQ(hb::SpeedOfPick(2.5L, 5, 10), std::nullopt);   // above it
}

}  // namespace hyperbola_test
