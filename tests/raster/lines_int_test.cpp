// Integer spans and Bresenham lines: the pixel set against its formula, exact
// clipping against the unclipped set, spans, notification.

#include "line_test_support.h"

#include <cstdlib>
#include <random>

namespace lines_int_test {

class IntegerLines : public RasterTest {};

constexpr TColor32 kBackground = 0xFF000000u;
constexpr TColor32 kInk = 0xFFFFFFFFu;

// The pixel set of a line by its closed form: with major delta M, minor delta
// m and h = M div 2, pixel k (0 <= k < M) is k steps along the major axis and
// (h + k m) div M along the minor one; the end point when L.
std::vector<std::pair<int64_t, int64_t>> RefLine(int64_t x1, int64_t y1, int64_t x2, int64_t y2, bool L) {
  std::vector<std::pair<int64_t, int64_t>> pixels;
  const int64_t adx = std::llabs(x2 - x1), ady = std::llabs(y2 - y1);
  const int64_t sx = x2 < x1 ? -1 : 1, sy = y2 < y1 ? -1 : 1;
  if (adx > ady) {
    for (int64_t k = 0; k < adx; ++k) pixels.push_back({x1 + sx * k, y1 + sy * ((adx / 2 + k * ady) / adx)});
  } else {
    for (int64_t k = 0; k < ady; ++k) pixels.push_back({x1 + sx * ((ady / 2 + k * adx) / ady), y1 + sy * k});
  }
  if (L) pixels.push_back({x2, y2});
  return pixels;
}

PixelSet RefLineInside(int64_t x1, int64_t y1, int64_t x2, int64_t y2, bool L, const TRect& window) {
  PixelSet s;
  for (const auto& [x, y] : RefLine(x1, y1, x2, y2, L))
    if (x >= window.Left && x < window.Right && y >= window.Top && y < window.Bottom)
      s.insert({static_cast<int>(x), static_cast<int>(y)});
  return s;
}

TEST_F(IntegerLines, ShortLinePixelSet) {
  TCustomBitmap32 b;
  Fill(b, 10, 10, kBackground);
  b.Line(0, 0, 5, 2, kInk, false);
  EXPECT_EQ(ChangedPixels(b, kBackground), (PixelSet{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}}));
  b.Line(0, 0, 5, 2, kInk, true);
  EXPECT_EQ(ChangedPixels(b, kBackground), (PixelSet{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}, {5, 2}}));

  Fill(b, 10, 10, kBackground);
  b.SetClipRect(Rect(2, 0, 10, 10));
  b.LineS(0, 0, 5, 2, kInk, false);
  EXPECT_EQ(ChangedPixels(b, kBackground), (PixelSet{{2, 1}, {3, 1}, {4, 2}}));
}

// Every octant, both axis-parallel directions, diagonals, single points.
TEST_F(IntegerLines, UnclippedLinesDrawTheFormulaSet) {
  std::mt19937 rng(101);
  for (int i = 0; i < 400; ++i) {
    const int x1 = static_cast<int>(rng() % 40), y1 = static_cast<int>(rng() % 40);
    int x2 = static_cast<int>(rng() % 40), y2 = static_cast<int>(rng() % 40);
    if (i % 10 == 0) x2 = x1;
    if (i % 10 == 1) y2 = y1;
    if (i % 10 == 2) y2 = std::clamp(y1 + (x2 - x1), 0, 39), x2 = x1 + (y2 - y1);
    const bool L = i % 3 == 0;
    SCOPED_TRACE(testing::Message() << x1 << "," << y1 << " -> " << x2 << "," << y2 << " L " << L);
    TCustomBitmap32 b;
    Fill(b, 40, 40, kBackground);
    b.Line(x1, y1, x2, y2, kInk, L);
    const PixelSet expected = RefLineInside(x1, y1, x2, y2, L, b.BoundsRect());
    ASSERT_EQ(ChangedPixels(b, kBackground), expected);
    // The blended form touches the same pixels, each once.
    Fill(b, 40, 40, kBackground);
    b.LineT(x1, y1, x2, y2, 0x80FFFFFFu, L);
    ASSERT_EQ(ChangedPixels(b, kBackground), expected);
    for (const auto& [x, y] : expected) ASSERT_EQ(b.Pixel(x, y), RefCombineInto(0x80FFFFFFu, kBackground, 0x80));
  }
}

// The clipped forms draw exactly the unclipped pixels that fall inside
// ClipRect, for ends near, on and far outside the window.
TEST_F(IntegerLines, ClippedLinesDrawExactlyTheUnclippedPixelsInside) {
  std::mt19937 rng(2024);
  const TRect window = Rect(13, 21, 61, 47);
  auto coordinate = [&](int range) { return static_cast<int>(rng() % (2 * range + 1)) - range + 37; };
  int drawnLines = 0;
  for (int i = 0; i < 3000; ++i) {
    const int range = i % 3 == 0 ? 5000 : i % 3 == 1 ? 60 : 30;
    const int x1 = coordinate(range), y1 = coordinate(range), x2 = coordinate(range), y2 = coordinate(range);
    const bool L = rng() % 2 == 0;
    const PixelSet expected = RefLineInside(x1, y1, x2, y2, L, window);
    for (bool blended : {false, true}) {
      SCOPED_TRACE(testing::Message() << x1 << "," << y1 << " -> " << x2 << "," << y2 << " L " << L << " T "
                                      << blended);
      TCustomBitmap32 b;
      Fill(b, 80, 70, kBackground);
      b.SetClipRect(window);
      if (blended)
        b.LineTS(x1, y1, x2, y2, kInk, L);
      else
        b.LineS(x1, y1, x2, y2, kInk, L);
      ASSERT_EQ(ChangedPixels(b, kBackground), expected);
    }
    drawnLines += expected.empty() ? 0 : 1;
  }
  EXPECT_GT(drawnLines, 1000);  // many of the random lines cross the window
}

TEST_F(IntegerLines, LongLineThroughASmallBitmap) {
  TCustomBitmap32 b;
  Fill(b, 10, 10, kBackground);
  b.LineS(-100, 3, 100, 7, kInk, false);
  EXPECT_EQ(ChangedPixels(b, kBackground), RefLineInside(-100, 3, 100, 7, false, b.BoundsRect()));
  EXPECT_EQ(ChangedPixels(b, kBackground).size(), 10u);
}

TEST_F(IntegerLines, ClippedSpansSortAndCutTheirEnds) {
  TCustomBitmap32 b;
  Fill(b, 10, 10, kBackground);
  NotificationRecorder rec(b);
  b.HorzLineS(8, 2, 3, kInk);
  PixelSet expected;
  for (int x = 3; x <= 8; ++x) expected.insert({x, 2});
  EXPECT_EQ(ChangedPixels(b, kBackground), expected);
  ASSERT_EQ(rec.areas.size(), 1u);
  EXPECT_EQ(rec.areas[0], Rect(3, 2, 8, 3));

  Fill(b, 10, 10, kBackground);
  b.SetClipRect(Rect(2, 2, 6, 6));
  rec.Reset();
  b.VertLineS(4, -10, 40, kInk);
  b.VertLineTS(2, 7, 1, 0x80FFFFFFu);
  b.HorzLineS(-3, 1, 20, kInk);  // row outside: nothing at all
  b.HorzLineTS(-3, 5, 3, kInk);
  EXPECT_EQ(ChangedPixels(b, kBackground),
            (PixelSet{{4, 2}, {4, 3}, {4, 4}, {4, 5}, {2, 2}, {2, 3}, {2, 4}, {2, 5}, {3, 5}}));
  EXPECT_EQ(rec.areas, (std::vector<TRect>{Rect(4, 2, 5, 5), Rect(2, 2, 3, 5), Rect(2, 5, 3, 6)}));
  EXPECT_EQ(b.Pixel(2, 5), kInk);  // HorzLineTS blended an opaque colour over the earlier blend

  // Measuring: the uncut rectangle, nothing drawn.
  rec.Reset();
  Fill(b, 10, 10, kBackground);
  b.BeginMeasuring(b.OnAreaChanged);
  b.HorzLineS(8, 2, 3, kInk);
  b.VertLineTS(40, 1, 2, kInk);
  b.EndMeasuring();
  EXPECT_EQ(ChangedPixels(b, kBackground), PixelSet{});
  EXPECT_EQ(rec.areas, (std::vector<TRect>{Rect(8, 2, 3, 3), Rect(40, 1, 41, 2)}));
}

TEST_F(IntegerLines, AxisParallelAndOffWindowLinesNotification) {
  TCustomBitmap32 b;
  Fill(b, 10, 10, kBackground);
  b.SetClipRect(Rect(1, 1, 9, 9));
  NotificationRecorder rec(b);
  // LineS: the span's rectangle, then the whole bitmap.
  b.LineS(5, 8, 5, 2, kInk, true);
  EXPECT_EQ(ChangedPixels(b, kBackground), (PixelSet{{5, 2}, {5, 3}, {5, 4}, {5, 5}, {5, 6}, {5, 7}, {5, 8}}));
  EXPECT_EQ(rec.areas, (std::vector<TRect>{Rect(5, 3, 6, 8), b.BoundsRect()}));
  // LineTS: the span only.
  rec.Reset();
  b.LineTS(2, 4, 6, 4, kInk, false);
  EXPECT_EQ(rec.areas, (std::vector<TRect>{Rect(2, 4, 5, 5)}));
  // A general line reports its end points as a line of width 2.
  rec.Reset();
  b.LineS(0, 0, 9, 4, kInk);
  ASSERT_EQ(rec.areas.size(), 1u);
  EXPECT_EQ(rec.areas[0], Rect(0, 0, 9, 4));
  EXPECT_EQ(rec.infos[0], AreaKindLine + 2);
  // Wholly beyond one side of the window: no report.
  rec.Reset();
  b.LineS(-5, 0, 0, 9, kInk);
  b.LineTS(3, 9, 8, 12, kInk);
  EXPECT_TRUE(rec.areas.empty());
  // A point is drawn only when L.
  Fill(b, 10, 10, kBackground);
  b.LineS(4, 4, 4, 4, kInk, false);
  EXPECT_EQ(ChangedPixels(b, kBackground), PixelSet{});
  b.LineTS(4, 4, 4, 4, kInk, true);
  EXPECT_EQ(ChangedPixels(b, kBackground), (PixelSet{{4, 4}}));
}

TEST_F(IntegerLines, PenFormsDrawWithPenColourWithoutTheEndPoint) {
  TCustomBitmap32 b;
  Fill(b, 10, 10, kBackground);
  b.SetPenColor(0xFF00FF00u);
  b.MoveTo(1, 1);
  b.LineToS(6, 1);
  b.LineToTS(6, 5);
  EXPECT_EQ(b.RasterPos(), (TPoint{6, 5}));
  PixelSet expected;
  for (int x = 1; x < 6; ++x) expected.insert({x, 1});
  for (int y = 1; y < 5; ++y) expected.insert({6, y});
  EXPECT_EQ(ChangedPixels(b, kBackground), expected);
  EXPECT_EQ(b.Pixel(6, 1), 0xFF00FF00u);
}

}  // namespace lines_int_test
