// The channel tables: each entry against the straight line between the points
// around it, computed here from the points.

#include "profiledata/pal_maker_tables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace {

// The component on the line from (x1, y1) to (x2, y2) at x.
long double OnLine(long double x, long double x1, long double y1, long double x2, long double y2) {
  return y1 + (x - x1) * (y2 - y1) / (x2 - x1);
}

// A line that rises less than it runs is stepped along x: every entry is the
// nearest value on it (either neighbour at an exact half). A steeper line keeps
// the last of several steps per entry, which lies within 1 of it.
void ExpectOnSegment(const std::array<uint8_t, 256>& table, int from, int to, long double x1, long double y1,
                     long double x2, long double y2, long double tolerance) {
  for (int x = from; x <= to; ++x) {
    const long double exact = OnLine(x, x1, y1, x2, y2);
    ASSERT_LE(std::fabs(table[static_cast<size_t>(x)] - exact), tolerance) << "entry " << x << " line value " << static_cast<double>(exact);
  }
}

TPaletteTables Filled(uint8_t value) {
  TPaletteTables t;
  t.Red.fill(value);
  t.Green.fill(value);
  t.Blue.fill(value);
  return t;
}

TEST(PalMakerTables, DefaultPaletteIsTheGreyLineFrom0To256) {
  TPaletteTables t = Filled(99);
  ASSERT_TRUE(RasterisePaletteTables({{0, 0x000000}, {256, 0xFFFFFF}}, t));
  for (const auto* table : {&t.Red, &t.Green, &t.Blue}) {
    ExpectOnSegment(*table, 0, 255, 0, 0, 256, 255, 0.5L);
    EXPECT_EQ((*table)[0], 0);
    EXPECT_EQ((*table)[255], 254) << "the end point 256 is left out, so 255 holds the step before it";
    for (int i = 0; i < 256; ++i) ASSERT_LE(std::abs((*table)[static_cast<size_t>(i)] - i), 1) << i;
  }
}

TEST(PalMakerTables, BlackRedWhite) {
  TPaletteTables t;
  ASSERT_TRUE(RasterisePaletteTables({{0, 0x000000}, {128, 0x0000FF}, {256, 0xFFFFFF}}, t));
  ExpectOnSegment(t.Red, 0, 127, 0, 0, 128, 255, 1.0L);
  ExpectOnSegment(t.Green, 128, 255, 128, 0, 256, 255, 1.0L);
  ExpectOnSegment(t.Blue, 128, 255, 128, 0, 256, 255, 1.0L);
  for (int x = 0; x < 128; ++x) {
    ASSERT_EQ(t.Green[static_cast<size_t>(x)], 0) << x;
    ASSERT_EQ(t.Blue[static_cast<size_t>(x)], 0) << x;
  }
  for (int x = 128; x < 256; ++x) ASSERT_EQ(t.Red[static_cast<size_t>(x)], 255) << x;
  EXPECT_LE(std::abs(t.Red[64] - 128), 1);
  EXPECT_LE(std::abs(t.Green[192] - 128), 1);
}

TEST(PalMakerTables, TwoPointsAtOnePositionMakeAHardStep) {
  TPaletteTables t;
  ASSERT_TRUE(RasterisePaletteTables({{0, 0x000000}, {128, 0x000000}, {128, 0xFFFFFF}, {256, 0xFFFFFF}}, t));
  for (int x = 0; x < 256; ++x) ASSERT_EQ(t.Red[static_cast<size_t>(x)], x < 128 ? 0 : 255) << x;
}

TEST(PalMakerTables, PositionsOutsideTheTableLandOnItsEnds) {
  TPaletteTables t;
  ASSERT_TRUE(RasterisePaletteTables({{-100, 0x000000}, {356, 0xFFFFFF}}, t));
  ExpectOnSegment(t.Red, 0, 254, -100, 0, 356, 255, 0.5L);
  // Entry 255 keeps the last step beyond it, at x = 355.
  EXPECT_LE(std::fabs(t.Red[255] - OnLine(355, -100, 0, 356, 255)), 0.5L);
  EXPECT_EQ(t.Red[255], 254);
}

TEST(PalMakerTables, TheWholeThirtyTwoBitRangeIsStepped) {
  constexpr long double lo = std::numeric_limits<int32_t>::min();
  constexpr long double hi = std::numeric_limits<int32_t>::max();
  TPaletteTables t;
  ASSERT_TRUE(RasterisePaletteTables(
      {{std::numeric_limits<int32_t>::min(), 0x000000}, {std::numeric_limits<int32_t>::max(), 0xFFFFFF}}, t));
  ExpectOnSegment(t.Red, 0, 254, lo, 0, hi, 255, 0.5L);
  EXPECT_EQ(t.Red[255], std::lround(static_cast<double>(OnLine(hi - 1, lo, 0, hi, 255))));
}

TEST(PalMakerTables, LaterStepsOverwriteAndTheEndPointIsLeftOut) {
  // Points in falling order: the segment runs from 256 down to 0, never reaching 0.
  TPaletteTables t = Filled(77);
  ASSERT_TRUE(RasterisePaletteTables({{256, 0xFFFFFF}, {0, 0x000000}}, t));
  EXPECT_EQ(t.Red[0], 77);
  ExpectOnSegment(t.Red, 1, 255, 0, 0, 256, 255, 0.5L);

  // A second segment over the same entries wins.
  t = Filled(0);
  ASSERT_TRUE(RasterisePaletteTables({{0, 0x000000}, {256, 0xFFFFFF}, {0, 0x0000FF}}, t));
  for (int x = 1; x < 256; ++x) ASSERT_EQ(t.Red[static_cast<size_t>(x)], 255) << x;
  ExpectOnSegment(t.Green, 1, 255, 0, 0, 256, 255, 0.5L);
}

TEST(PalMakerTables, MorePointsThanAPolylineHoldsLeaveTheTables) {
  std::vector<TPalettePoint> points;
  for (int i = 0; i < MaxPalettePoints; ++i) points.push_back({i % 257, 0xFFFFFF});
  TPaletteTables t = Filled(7);
  EXPECT_TRUE(RasterisePaletteTables(points, t));
  EXPECT_EQ(t.Red[100], 255);

  points.push_back({0, 0x000000});
  t = Filled(7);
  EXPECT_FALSE(RasterisePaletteTables(points, t));
  for (int x = 0; x < 256; ++x) ASSERT_EQ(t.Red[static_cast<size_t>(x)], 7) << x;
}

}  // namespace
