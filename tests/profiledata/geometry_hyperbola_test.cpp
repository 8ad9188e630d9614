#include "profiledata/geometry_gpr.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

constexpr float kUntouched = 12345.0f;

THyperbolaArray FilledRow(float v) {
  THyperbolaArray row;
  row.fill(v);
  return row;
}

// Closed form of the diffraction curve in double: with d = apex - zero and
// g = sqrt(d^2 + (spacing/2)^2), the value h traces aside is apex + sqrt(g^2 + (h p)^2) - g.
double ClosedForm(double apex, double spacing, double proportion, double zero, int h) {
  const double d = apex - zero;
  const double g = std::sqrt(d * d + spacing * spacing / 4);
  const double x = h * proportion;
  return apex + (std::sqrt(g * g + x * x) - g);
}

TEST(HypotSingle, SumsInExtendedPrecision) {
  struct Case {
    float a, b, expected;
  };
  // The squares of 3e30 overflow single and those of 3e-30 underflow it: only a wider
  // sum gives the right length.
  const Case cases[] = {
      {3, 4, 5},         {-3, 4, 5},         {0, -7, 7},      {0, 0, 0},
      {3e30f, 4e30f, 5e30f}, {3e-30f, 4e-30f, 5e-30f}, {5, 12, 13},
  };
  for (const auto& c : cases) EXPECT_FLOAT_EQ(HypotSingle(c.a, c.b), c.expected) << c.a << ", " << c.b;
}

TEST(HyperbolaRow, FollowsTheClosedForm) {
  struct Case {
    float apex, spacing, proportion, zero;
    int n;
  };
  const Case cases[] = {
      {120, 20, 3, 15, 150},      // samples
      {2.5f, 0.6f, 0.05f, 0, 100},  // metres
      {300, 50, -2, 10, 60},      // a negative trace distance mirrors onto the same curve
      {64, 0, 1, 64, 5},          // apex on the surface
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "apex " << c.apex << " spacing " << c.spacing << " N " << c.n);
    auto row = FilledRow(kUntouched);
    HyperbolaRow(c.n, row, c.apex, c.spacing, c.proportion, c.zero);

    const double g = std::hypot(double(c.apex) - c.zero, c.spacing / 2.0);
    for (int h = -c.n; h <= c.n; ++h) {
      const double expected = ClosedForm(c.apex, c.spacing, c.proportion, c.zero, h);
      const double tolerance = 1e-6 * (std::fabs(c.apex) + g + std::fabs(h * c.proportion)) + 1e-7;
      EXPECT_NEAR(row[150 + h], expected, tolerance) << "h = " << h;
      EXPECT_EQ(row[150 + h], row[150 - h]) << "h = " << h;
    }
    EXPECT_FLOAT_EQ(row[150], c.apex);
    for (int i = 0; i < 150 - c.n; ++i) {
      EXPECT_EQ(row[i], kUntouched) << i;
      EXPECT_EQ(row[300 - i], kUntouched) << 300 - i;
    }
  }
}

TEST(HyperbolaRow, FarTracesApproachTheTraceSlope) {
  auto row = FilledRow(0);
  HyperbolaRow(150, row, 10, 0, 2, 0);
  // sqrt(100 + 300^2) - sqrt(100 + 298^2) = 300.166620 - 298.167738 = 1.998882.
  const float slope = row[300] - row[299];
  EXPECT_NEAR(slope, 1.998882, 1e-4);
  EXPECT_LT(slope, 2.0f);
  // Close to the apex the curve is flat: sqrt(100 + 4) - 10 = 0.198.
  EXPECT_NEAR(row[151] - row[150], 0.198039, 1e-5);
}

TEST(HyperbolaRow, ApexOnTheSurfaceWithoutSpacingIsAV) {
  auto row = FilledRow(kUntouched);
  HyperbolaRow(150, row, 40, 0, 0.5f, 40);
  for (int h = -150; h <= 150; ++h) EXPECT_EQ(row[150 + h], 40.0f + std::abs(h) * 0.5f) << h;
}

TEST(HyperbolaRow, ApexAboveTheSurfaceMarksTheWholeRow) {
  for (int n : {0, 3, 150}) {
    auto row = FilledRow(kUntouched);
    HyperbolaRow(n, row, 9.5f, 4, 1, 10);
    for (float v : row) ASSERT_EQ(v, -1.0f) << "N = " << n;
  }
}

TEST(HyperbolaRow, ZeroProportionLeavesTheRow) {
  auto row = FilledRow(kUntouched);
  HyperbolaRow(150, row, 50, 4, 0, 10);
  HyperbolaRow(150, row, 5, 4, 0, 10);  // even with the apex above the surface
  for (float v : row) ASSERT_EQ(v, kUntouched);
}

TEST(HyperbolaRow, HalfWidthBeyondTheRowIsClamped) {
  auto row = FilledRow(kUntouched);
  HyperbolaRow(100000, row, 120, 20, 3, 15);
  for (int h = -150; h <= 150; ++h)
    EXPECT_NEAR(row[150 + h], ClosedForm(120, 20, 3, 15, h), 1e-3) << h;

  // A negative half-width leaves every entry alone.
  row = FilledRow(kUntouched);
  HyperbolaRow(-4, row, 120, 20, 3, 15);
  for (float v : row) ASSERT_EQ(v, kUntouched);
}

TEST(HyperbolaRowEx, DividesTheSpacingByTheSampleDistance) {
  // 0.5 m between the antennas at 0.025 m per sample = 20 samples.
  auto row = FilledRow(kUntouched);
  HyperbolaRowEx(100, 40, 0.5f, 0.025f, 3, 15, row);
  for (int h = -40; h <= 40; ++h) EXPECT_NEAR(row[150 + h], ClosedForm(100, 20, 3, 15, h), 2e-4) << h;
  EXPECT_EQ(row[150 - 41], kUntouched);
  EXPECT_EQ(row[150 + 41], kUntouched);
}

TEST(HyperbolaRowEx, ZeroSampleDistanceWritesNothing) {
  struct Case {
    float distance, scale;
  };
  // 3 / 0 and 0 / 0 have no spacing; 3e38 / 1e-45 overflows single.
  const Case cases[] = {{3, 0}, {3, -0.0f}, {0, 0}, {3e38f, 1e-45f}};
  for (const auto& c : cases) {
    auto row = FilledRow(kUntouched);
    HyperbolaRowEx(100, 150, c.distance, c.scale, 3, 15, row);
    for (float v : row) ASSERT_EQ(v, kUntouched) << c.distance << " / " << c.scale;
  }
}

}  // namespace
