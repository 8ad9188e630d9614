// The depth slice without the window: the row each channel takes for a depth,
// rows of other widths, the strongest of five depths, the limits and the
// horizontal follow of the online slice.

#include "radargram/depth_slice.h"

#include "profiledata/setting_data.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace depth_slice_test {

namespace ds = depth_slice;

// Settings of 100 samples over 100 ns: depth of sample s = (s - zero) x speed / 2000.
std::unique_ptr<TSettingData> Settings(int32_t speed, int32_t zero) {
  auto s = std::make_unique<TSettingData>(nullptr);
  s->RestoreSpanWidth(100);
  s->RestoreLongTrace(100);
  s->SetSpeedLight(speed);
  s->SetNullShift(zero);
  return s;
}

// A picture whose row r holds r everywhere (plus 100 x tag, so channels differ).
struct TPicture {
  int32_t width, height, tag;
  std::vector<std::vector<uint8_t>> rows;
  TPicture(int32_t w, int32_t h, int32_t t) : width(w), height(h), tag(t) {
    for (int32_t r = 0; r < h; ++r) rows.emplace_back(static_cast<size_t>(w), static_cast<uint8_t>(r + 100 * t));
  }
  ds::TSliceChannel Channel(const TSettingData& settings) const {
    return {&settings, width, height, [this](int32_t r) { return rows[static_cast<size_t>(r)].data(); }};
  }
};

TEST(DepthSliceRows, EachChannelTakesItsOwnRowAndDepthsOutsideAreKeptInside) {
  const auto slow = Settings(100, 0), fast = Settings(200, 10);
  const TPicture a(4, 100, 0), b(4, 100, 1);
  const std::vector<ds::TSliceChannel> channels{a.Channel(*slow), b.Channel(*fast)};
  struct TCase {
    long double depth;
    uint8_t row0, row1;
  };
  // slow: sample = depth x 20; fast: sample = depth x 10 + 10.
  const TCase cases[] = {{1.0L, 20, 100 + 20}, {2.0L, 40, 100 + 30}, {-0.5L, 0, 100 + 5},
                         {-3.0L, 0, 100 + 0}, {50.0L, 99, 100 + 99}};
  for (const TCase& c : cases) {
    const std::vector<uint8_t> slice = ds::SliceRows(channels, 4, c.depth, 0);
    ASSERT_EQ(slice.size(), 8u);
    EXPECT_EQ(slice[0], c.row0) << static_cast<double>(c.depth);
    EXPECT_EQ(slice[4], c.row1) << static_cast<double>(c.depth);
  }
}

TEST(DepthSliceRows, ANegativeOffsetDepthFallsBackToTheSliceDepth) {
  const auto s = Settings(100, 0);
  const TPicture a(2, 100, 0);
  const std::vector<ds::TSliceChannel> channels{a.Channel(*s)};
  // 0.03 m is sample 0.6 -> 1; 0.03 - 0.04 < 0 takes 0.03 itself; 0.03 - 0.02 = 0.01 -> 0.
  EXPECT_EQ(ds::SliceRows(channels, 2, 0.03L, -0.04L)[0], 1);
  EXPECT_EQ(ds::SliceRows(channels, 2, 0.03L, -0.02L)[0], 0);
  EXPECT_EQ(ds::SliceRows(channels, 2, 0.1L, 0.04L)[0], 3);  // 0.14 m: sample 2.8
}

TEST(DepthSliceRows, RowsAreCopiedOverTheSharedWidthAndTheRestIsTheMiddleIndex) {
  const auto s = Settings(100, 0);
  const TPicture narrow(3, 100, 0), wide(9, 100, 1);
  std::vector<ds::TSliceChannel> channels{narrow.Channel(*s), wide.Channel(*s), ds::TSliceChannel{}};
  const std::vector<uint8_t> slice = ds::SliceRows(channels, 5, 1.0L, 0);
  ASSERT_EQ(slice.size(), 15u);
  EXPECT_EQ((std::vector<uint8_t>(slice.begin(), slice.begin() + 5)), (std::vector<uint8_t>{20, 20, 20, 127, 127}));
  EXPECT_EQ((std::vector<uint8_t>(slice.begin() + 5, slice.begin() + 10)), std::vector<uint8_t>(5, 120));
  EXPECT_EQ((std::vector<uint8_t>(slice.begin() + 10, slice.end())), std::vector<uint8_t>(5, 127));
}

TEST(DepthSliceStrongest, TheFirstLargestDeviationFromTheMiddleWins) {
  const std::vector<std::vector<uint8_t>> slices{{127, 100, 130, 27}, {130, 154, 124, 227}, {124, 160, 127, 127}};  // 27 and 227 tie: the first stays
  EXPECT_EQ(ds::StrongestOfSlices(slices), (std::vector<uint8_t>{130, 160, 130, 27}));
}

TEST(DepthSliceLimits, TheTopIsTheHighestSurfaceAndNeverBelowZero) {
  const auto a = Settings(100, 10), b = Settings(200, 5), c = Settings(100, 0);
  // Sample 0 lies 0.5 m and 0.5 m above the surface: -50 cm.
  EXPECT_EQ(ds::Min0forDeep({a.get(), b.get()}), -50);
  EXPECT_EQ(ds::Min0forDeep({c.get()}), 0);
  EXPECT_EQ(ds::Min0forDeep({}), 0);
  EXPECT_EQ(ds::MaxDepthCm(*a), 450);
  EXPECT_EQ(ds::MeanDepthCm({1.0L, 1.5L, 2.05L}), 152);
  EXPECT_EQ(ds::MeanDepthCm({}), 0);
}

TEST(DepthSliceOnline, TheFirstColumnFollowsThePositionByAChartWidth) {
  struct TCase {
    int64_t position, min, max, previous, chart, count, first;
  };
  const TCase cases[] = {
      {50, 0, 1000, 0, 100, 1000, 0},       // within the first chart width
      {250, 0, 1000, 0, 100, 1000, 150},    // beyond it: the last chart width
      {180, 0, 1000, 100, 100, 1000, 100},  // within a chart width of the previous
      {60, 0, 1000, 100, 100, 1000, 60},    // moved back: follows the position
      {1000, 0, 1000, 100, 100, 800, 700},  // at the end: the last chart width
      {10, 0, 1000, 0, 100, 50, 0},         // below 1: no shift
      {0, 0, 1000, 5, 100, 50, 0},
      {1, 0, 1000, 5, 100, 50, 1},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(ds::OnlineFirstColumn(c.position, c.min, c.max, c.previous, c.chart, c.count), c.first) << c.position;
}

}  // namespace depth_slice_test
