// The online strip's arithmetic: palette indices of a column, growth of the
// strips, the traces a pass draws, the visible columns and the stretch.

#include "platform/ui/bitmap.h"
#include "radargram/online_strip.h"
#include "raster/bitmap32.h"
#include "raster/raster_library.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace online_strip_test {

namespace os = online_strip;

TEST(OnlineStrip, ColumnsTakeTheRoundedScaledSampleAroundTheZeroIndex) {
  struct TCase {
    int32_t sample;
    long double k;
    uint8_t index;
  };
  const TCase cases[] = {{0, 0.015L, 127},   {100, 0.015L, 128},  {-100, 0.015L, 126}, {100, 0.005L, 128},
                         {300, 0.005L, 128},  {500, 0.005L, 130}, {100000, 1, 255},     {-100000, 1, 0},
                         {INT32_MAX, 1, 255}, {INT32_MIN, 1, 0}};
  for (const TCase& c : cases) {
    EXPECT_EQ(os::OnlineIndex(c.sample, c.k), c.index) << c.sample << " x " << static_cast<double>(c.k);
    uint8_t pixel = 0;
    uint8_t* row = &pixel;
    const int32_t sample = c.sample;
    os::DrawColumn(std::span<uint8_t* const>(&row, 1), 0, std::span<const int32_t>(&sample, 1), c.k);
    EXPECT_EQ(pixel, c.index) << "the column loop agrees";
  }
}

TEST(OnlineStrip, AStripedColumnAlternatesFromBlackOnTheFirstRow) {
  std::vector<uint8_t> pixels(6, 9);
  std::vector<uint8_t*> rows;
  for (uint8_t& p : pixels) rows.push_back(&p);
  os::DrawStripedColumn(rows, 0);
  EXPECT_EQ(pixels, (std::vector<uint8_t>{0, 255, 0, 255, 0, 255}));
}

TEST(OnlineStrip, StripsGrowByFiveHundredColumnsOneStepPerCall) {
  os::TStripRange range;
  EXPECT_EQ(os::GrowthFor(1999, range), os::sgNone);
  EXPECT_EQ(os::GrowthFor(2000, range), os::sgBack);
  EXPECT_EQ(range, (os::TStripRange{-100, 2500}));
  EXPECT_EQ(os::GrowthFor(5000, range), os::sgBack);
  EXPECT_EQ(range.End, 3000) << "one step per call";
  EXPECT_EQ(os::GrowthFor(-101, range), os::sgFront);
  EXPECT_EQ(range.Begin, -600);

  // A strip of traces 0..3 covering 0..8: it doubles at the back.
  TBitmap strip;
  os::ResetStrip(strip, os::TStripRange{0, 4}, 2);
  strip.ScanLine(0)[0] = 1;
  strip.ScanLine(1)[3] = 2;
  EXPECT_EQ(os::FitStrip(strip, 0, os::TStripRange{0, 4}), 0);
  EXPECT_EQ(strip.Width(), 4) << "covered already";
  EXPECT_EQ(os::FitStrip(strip, 0, os::TStripRange{0, 8}), 0);
  ASSERT_EQ(strip.Width(), 504) << "at least the growth step";
  EXPECT_EQ(strip.ScanLine(0)[0], 1);
  EXPECT_EQ(strip.ScanLine(1)[503], os::ZeroIndex);
  // From trace -600 on: the content moves right by 600 (more than the width).
  EXPECT_EQ(os::FitStrip(strip, 0, os::TStripRange{-600, 8}), -600);
  ASSERT_EQ(strip.Width(), 1104);
  EXPECT_EQ(strip.ScanLine(0)[600], 1) << "trace 0 keeps its pixels";
  EXPECT_EQ(strip.ScanLine(1)[603], 2);
  EXPECT_EQ(strip.ScanLine(0)[599], os::ZeroIndex);
  EXPECT_EQ(strip.ScanLine(1)[0], os::ZeroIndex);
  // Back again: doubling keeps the widenings few.
  EXPECT_EQ(os::FitStrip(strip, -600, os::TStripRange{-600, 600}), -600);
  EXPECT_EQ(strip.Width(), 2208);
}

TEST(OnlineStrip, APassDrawsTheTracesBeforeTheForwardPositionOrFromTheBackwardOne) {
  // Forward: painted through 10, received 14 (traces 11..13 new).
  EXPECT_EQ(os::PaintRun(14, std::llabs(14 - 11 - 1), false), (os::TPaintRun{11, 3}));
  // Backward: traces stored at -1 and -2, the position at -2.
  EXPECT_EQ(os::PaintRun(-2, std::llabs(-2 - 0 - 1), true), (os::TPaintRun{-2, 4}));
}

TEST(OnlineStrip, OnlyTracesFromTheDeviceAreTreated) {
  EXPECT_FALSE(os::HoldsSignal(std::vector<int32_t>{0, 0, 5, 0, 0}));
  EXPECT_TRUE(os::HoldsSignal(std::vector<int32_t>{0, 1, 0, 0, 0}));
  EXPECT_TRUE(os::HoldsSignal(std::vector<int32_t>{0, 0, 0, 0, -1}));
  EXPECT_FALSE(os::HoldsSignal(std::vector<int32_t>{}));
  std::vector<int32_t> trace{10, 15, -15, 7};
  os::DivideByDivisors(trace, std::vector<int32_t>{1, 2, 2, 0});
  EXPECT_EQ(trace, (std::vector<int32_t>{10, 8, -8, 7})) << "half to even; a divisor below 1 divides by 1";
}

TEST(OnlineStrip, TheVisibleColumnsStayInsideTheStripAndTheRecordedTraces) {
  EXPECT_EQ(os::VisibleColumns(100, 900, 50, 0, 2100), (os::TVisibleColumns{100, 50, 0}));
  EXPECT_EQ(os::VisibleColumns(100, 900, 5000, 30, 2100), (os::TVisibleColumns{70, 830, 30}));
  EXPECT_EQ(os::VisibleColumns(10, 900, 5000, 30, 2100), (os::TVisibleColumns{0, 900, 10}));
  EXPECT_EQ(os::VisibleColumns(2000, 2600, 5000, 0, 2100), (os::TVisibleColumns{2000, 100, 0}));
  EXPECT_EQ(os::VisibleColumns(-50, -10, 5000, 0, 2100).Width, 0);
}

TEST(OnlineStrip, TheStretchInterpolatesLinearlyOrCopiesTheNearestPixel) {
  RasterLibraryStartup();  // the resampling kernels
  // Two columns, black and white, stretched to eight.
  TBitmap source;
  source.SetPixelFormat(pf8bit);
  source.SetSize(2, 1);
  source.ScanLine(0)[0] = 0;
  source.ScanLine(0)[1] = 255;
  TBitmap32 scratch, resampled;
  for (bool simple : {false, true}) {
    SCOPED_TRACE(simple);
    TBitmap target;
    target.SetPixelFormat(pf32bit);
    target.SetSize(10, 10);
    os::StretchOnline(source, target, 1, 8, 4, simple, scratch, resampled);
    EXPECT_GE(target.Width(), 108) << "enlarged to the destination plus 100";
    EXPECT_GE(target.Height(), 104);
    std::vector<int> blue;
    const auto* row = reinterpret_cast<const TColor32*>(target.ScanLine(2));
    for (int x = 1; x <= 8; ++x) blue.push_back(static_cast<int>(row[x] & 0xFF));
    EXPECT_EQ(blue.front(), 0);
    EXPECT_EQ(blue.back(), 255);
    for (size_t i = 1; i < blue.size(); ++i) EXPECT_LE(blue[i - 1], blue[i]);
    const bool inBetween = std::any_of(blue.begin(), blue.end(), [](int b) { return b > 0 && b < 255; });
    EXPECT_EQ(inBetween, !simple) << "only the linear kernel mixes the two";
    if (simple) EXPECT_EQ(blue, (std::vector<int>{0, 0, 0, 0, 255, 255, 255, 255}));
  }
}

}  // namespace online_strip_test
