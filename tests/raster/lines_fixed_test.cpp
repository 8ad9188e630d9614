// Anti-aliased 16.16 lines and spans against their stepping and coverage
// formulas, and the clipped forms' bounds.

#include "raster/coordinate_helpers.h"

#include "line_test_support.h"

#include <cmath>
#include <map>
#include <random>

namespace lines_fixed_test {

class FixedLines : public RasterTest {};

constexpr TColor32 kBackground = 0xFF000000u;
constexpr TFixed kPx = 65536;

struct SubPixelPoint {
  int64_t x, y;  // 24.8
  TColor32 colour;
  bool operator==(const SubPixelPoint&) const = default;
};

// The points of an unclipped line: len = the Single hypotenuse rounded (one
// pixel more with L), n = len shr 16 points one rounded step apart from the
// start + 127, and a last point halfway between the last whole step and the
// end (+ 127) with the colour's alpha times the remaining fraction.
std::vector<SubPixelPoint> RefLineX(int64_t x1, int64_t y1, int64_t x2, int64_t y2, TColor32 c, bool L) {
  const int64_t dx = x2 - x1, dy = y2 - y1;
  const float h = static_cast<float>(std::sqrt(static_cast<long double>(dx) * dx + static_cast<long double>(dy) * dy));
  const int64_t len = static_cast<int64_t>(std::nearbyint(h)) + (L ? 65536 : 0);
  std::vector<SubPixelPoint> points;
  if (len < 256) return points;
  const int64_t n = len / 65536;
  const int64_t sx = n > 0 ? static_cast<int64_t>(std::nearbyint(static_cast<double>(dx) * 65536 / len)) : 0;
  const int64_t sy = n > 0 ? static_cast<int64_t>(std::nearbyint(static_cast<double>(dy) * 65536 / len)) : 0;
  int64_t x = x1 + 127, y = y1 + 127;
  for (int64_t i = 0; i < n; ++i, x += sx, y += sy) points.push_back({x / 256, y / 256, c});
  const uint32_t alpha = static_cast<uint32_t>(Alpha(c) * (len - n * 65536) / 65536);
  points.push_back({(x + x2 + 127 - sx) / 512, (y + y2 + 127 - sy) / 512, (c & 0x00FFFFFFu) | (alpha << 24)});
  return points;
}

// The pixels a line of such points gives, by the tested sub-pixel write.
std::vector<TColor32> Render(const std::vector<SubPixelPoint>& points, int w, int h) {
  TCustomBitmap32 b;
  Fill(b, w, h, kBackground);
  for (const SubPixelPoint& p : points) b.SetPixelT256(static_cast<int32_t>(p.x), static_cast<int32_t>(p.y), p.colour);
  return PixelsOf(b);
}

TEST_F(FixedLines, StepsOfAShortLineByHand) {
  const TColor32 c = 0xFFFFFFFFu;
  // 2.5 pixels: two whole steps, then a half-alpha point at 3.75 px.
  EXPECT_EQ(RefLineX(2 * kPx, 2 * kPx, 4 * kPx + kPx / 2, 2 * kPx, c, false),
            (std::vector<SubPixelPoint>{{512, 512, c}, {768, 512, c}, {960, 512, 0x7FFFFFFFu}}));
  TCustomBitmap32 b;
  Fill(b, 8, 5, kBackground);
  b.LineX(2 * kPx, 2 * kPx, 4 * kPx + kPx / 2, 2 * kPx, c, false);
  EXPECT_EQ(PixelsOf(b), Render(RefLineX(2 * kPx, 2 * kPx, 4 * kPx + kPx / 2, 2 * kPx, c, false), 8, 5));
  // Whole pixels: full-weight points on 2, 3 and 4; the last point has no alpha.
  Fill(b, 8, 5, kBackground);
  b.LineX(2 * kPx, 2 * kPx, 5 * kPx, 2 * kPx, c, false);
  EXPECT_EQ(ChangedPixels(b, kBackground), (PixelSet{{2, 2}, {3, 2}, {4, 2}}));
  for (int x = 2; x <= 4; ++x) EXPECT_EQ(b.Pixel(x, 2), RefCombineInto(c, kBackground, (255u * 255 * 255) >> 16));
  // With L the length grows by a pixel over the same distance: four points
  // 0.75 px apart (2, 2.75, 3.5, 4.25), reaching into column 5.
  EXPECT_EQ(RefLineX(2 * kPx, 2 * kPx, 5 * kPx, 2 * kPx, c, true).size(), 5u);
  Fill(b, 8, 5, kBackground);
  b.LineX(2 * kPx, 2 * kPx, 5 * kPx, 2 * kPx, c, true);
  EXPECT_EQ(ChangedPixels(b, kBackground), (PixelSet{{2, 2}, {3, 2}, {4, 2}, {5, 2}}));
}

TEST_F(FixedLines, UnclippedLinesFollowTheStepping) {
  std::mt19937 rng(9);
  for (int i = 0; i < 300; ++i) {
    auto coordinate = [&] { return static_cast<TFixed>(kPx + rng() % (20 * kPx)); };
    const TFixed x1 = coordinate(), y1 = coordinate(), x2 = coordinate(), y2 = coordinate();
    const bool L = i % 2 == 0;
    const TColor32 c = static_cast<TColor32>(rng()) | 0x40000000u;
    SCOPED_TRACE(testing::Message() << x1 << "," << y1 << " -> " << x2 << "," << y2 << " L " << L);
    TCustomBitmap32 b;
    Fill(b, 24, 24, kBackground);
    b.LineX(x1, y1, x2, y2, c, L);
    ASSERT_EQ(PixelsOf(b), Render(RefLineX(x1, y1, x2, y2, c, L), 24, 24));
    // The float form converts with round(v x 65536).
    Fill(b, 24, 24, kBackground);
    b.LineF(x1 / 65536.0f, y1 / 65536.0f, x2 / 65536.0f, y2 / 65536.0f, c, L);
    ASSERT_EQ(PixelsOf(b), Render(RefLineX(x1, y1, x2, y2, c, L), 24, 24));
  }
}

TEST_F(FixedLines, LineShorterThanASubPixelDrawsNothingButIsReported) {
  TCustomBitmap32 b;
  Fill(b, 10, 10, kBackground);
  NotificationRecorder rec(b);
  b.LineX(5 * kPx + 0x9000, 5 * kPx, 5 * kPx + 0x9000 + 100, 5 * kPx + 100, 0xFFFFFFFFu, false);  // 141 units
  EXPECT_EQ(ChangedPixels(b, kBackground), PixelSet{});
  ASSERT_EQ(rec.areas.size(), 1u);
  EXPECT_EQ(rec.areas[0], Rect(6, 5, 6, 5));  // $59000 rounds up, $50000 stays
  EXPECT_EQ(rec.infos[0], AreaKindLine + 2);
  b.LineX(5 * kPx, 5 * kPx, 5 * kPx + 100, 5 * kPx + 100, 0xFFFFFFFFu, true);  // the end point makes it a pixel
  EXPECT_FALSE(ChangedPixels(b, kBackground).empty());
}

// Both ends strictly inside the fixed clip rectangle less two pixels on the
// right and bottom: the clipped form is the unclipped line.
TEST_F(FixedLines, ClippedLineInsideIsTheUnclippedLine) {
  std::mt19937 rng(31);
  for (int i = 0; i < 100; ++i) {
    auto coordinate = [&] { return static_cast<TFixed>(3 * kPx + 1 + rng() % (12 * kPx - 2)); };
    const TFixed x1 = coordinate(), y1 = coordinate(), x2 = coordinate(), y2 = coordinate();
    TCustomBitmap32 a, b;
    Fill(a, 20, 20, kBackground);
    Fill(b, 20, 20, kBackground);
    b.SetClipRect(Rect(3, 3, 17, 17));
    a.LineX(x1, y1, x2, y2, 0xC0FF00FFu, i % 2 == 0);
    b.LineXS(x1, y1, x2, y2, 0xC0FF00FFu, i % 2 == 0);
    ASSERT_EQ(PixelsOf(a), PixelsOf(b)) << x1 << "," << y1 << " -> " << x2 << "," << y2;
  }
}

// Random lines anywhere, also far outside and on the negative side: the
// clipped forms never write outside ClipRect, and lines crossing it draw.
TEST_F(FixedLines, ClippedLinesAndSpansStayInsideClipRect) {
  std::mt19937 rng(4);
  const TRect clip = Rect(4, 3, 15, 12);
  int drawn = 0;
  for (int i = 0; i < 2000; ++i) {
    const int64_t range = i % 2 == 0 ? 40 * kPx : 12 * kPx;
    auto coordinate = [&] { return static_cast<TFixed>(9 * kPx + static_cast<int64_t>(rng() % (2 * range)) - range); };
    const TFixed x1 = coordinate(), y1 = coordinate(), x2 = coordinate(), y2 = coordinate();
    TCustomBitmap32 b;
    Fill(b, 20, 16, kBackground);
    b.SetClipRect(clip);
    b.SetStipple({0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu});
    switch (i % 4) {
      case 0: b.LineXS(x1, y1, x2, y2, 0xFFFFFFFFu, i % 8 == 0); break;
      case 1: b.LineXSP(x1, y1, x2, y2, i % 8 == 1); break;
      case 2: b.HorzLineXS(x1, y1, x2, 0xFFFFFFFFu); break;
      default: b.VertLineXS(x1, y1, y2, 0xFFFFFFFFu); break;
    }
    for (const auto& [x, y] : ChangedPixels(b, kBackground))
      ASSERT_TRUE(x >= clip.Left && x < clip.Right && y >= clip.Top && y < clip.Bottom)
          << "case " << i % 4 << ": pixel " << x << "," << y << " from " << x1 << "," << y1 << " -> " << x2 << ","
          << y2;
    drawn += ChangedPixels(b, kBackground).empty() ? 0 : 1;
  }
  EXPECT_GT(drawn, 400);
}

// Coverage of a span: first pixel GammaTable[fy x (65535 - fraction of X1) shr
// 24], interior GammaTable[fy shr 8], last GammaTable[fy x fraction of X2 shr
// 24], fy = 65535 - fraction of the row, then the same on the row below with
// the rest of the coverage; in drawing order (a span within one pixel covers
// it twice). The colour's alpha is not a weight.
struct Coverage {
  int a, row;
  uint32_t weight;
};
std::vector<Coverage> RefCoverage(TFixed a1, TFixed across, TFixed a2) {
  std::vector<Coverage> weights;
  uint32_t fy = 65535 - (static_cast<uint32_t>(across) & 0xFFFF);
  const int a0 = a1 >> 16, n = (a2 >> 16) - a0 - 1;
  for (int r = across >> 16; r <= (across >> 16) + 1; ++r, fy ^= 0xFFFF) {
    if (fy == 0) continue;
    weights.push_back({a0, r, RefGamma((fy * (65535 - (static_cast<uint32_t>(a1) & 0xFFFF))) >> 24)});
    for (int i = 1; i <= n; ++i) weights.push_back({a0 + i, r, RefGamma(fy >> 8)});
    weights.push_back({a0 + n + 1, r, RefGamma((fy * (static_cast<uint32_t>(a2) & 0xFFFF)) >> 24)});
  }
  return weights;
}

TEST_F(FixedLines, AntiAliasedSpansCoverTheirPixels) {
  const TColor32 c = 0x80C08040u;
  struct Case {
    TFixed a1, across, a2;
  };
  const Case cases[] = {
      {2 * kPx + kPx / 2, 3 * kPx, 5 * kPx + kPx / 4},  // one row; last pixel a quarter
      {kPx, 3 * kPx + kPx / 2, 4 * kPx},                // split over two rows; exact ends
      {6 * kPx + 0x4000, 2 * kPx + 0x3000, 6 * kPx + 0xC000},  // within one pixel
  };
  for (const Case& k : cases) {
    for (bool vertical : {false, true}) {
      TCustomBitmap32 b;
      Fill(b, 10, 10, kBackground);
      if (vertical)
        b.VertLineX(k.across, k.a2, k.a1, c);  // ends given in reverse: ordered first
      else
        b.HorzLineX(k.a2, k.across, k.a1, c);
      TCustomBitmap32 expected;
      Fill(expected, 10, 10, kBackground);
      for (const Coverage& cover : RefCoverage(k.a1, k.across, k.a2)) {
        const int x = vertical ? cover.row : cover.a, y = vertical ? cover.a : cover.row;
        expected.SetPixel(x, y, RefCombineInto(c, expected.Pixel(x, y), cover.weight));
      }
      EXPECT_EQ(PixelsOf(b), PixelsOf(expected)) << k.a1 << " " << k.across << " vertical " << vertical;
    }
  }
  TCustomBitmap32 b;
  Fill(b, 10, 10, kBackground);
  NotificationRecorder rec(b);
  b.HorzLineX(5 * kPx + kPx / 4, 3 * kPx, 2 * kPx + kPx / 2, c);
  EXPECT_EQ(rec.areas, (std::vector<TRect>{Rect(2, 3, 5, 3)}));
  EXPECT_EQ(rec.infos, (std::vector<uint32_t>{AreaKindLine + 2}));
}

TEST_F(FixedLines, ClippedSpanInsideIsTheUnclippedSpanAndReportsTheUncutArea) {
  TCustomBitmap32 a, b;
  Fill(a, 12, 10, kBackground);
  Fill(b, 12, 10, kBackground);
  b.SetClipRect(Rect(1, 1, 11, 9));
  a.HorzLineX(2 * kPx + 0x2000, 4 * kPx + 0x7000, 9 * kPx + 0x3000, 0xFF00FFFFu);
  b.HorzLineXS(2 * kPx + 0x2000, 4 * kPx + 0x7000, 9 * kPx + 0x3000, 0xFF00FFFFu);
  EXPECT_EQ(PixelsOf(a), PixelsOf(b));

  NotificationRecorder rec(b);
  b.HorzLineXS(-40 * kPx, 4 * kPx, 40 * kPx, 0xFF00FFFFu);
  b.VertLineXS(3 * kPx, 50 * kPx, -50 * kPx, 0xFF00FFFFu);
  EXPECT_EQ(rec.areas, (std::vector<TRect>{Rect(-40, 4, 40, 4), Rect(3, -50, 3, 50)}));
  EXPECT_EQ(b.Pixel(10, 4), 0xFF00FFFFu);  // clamped to the right edge: the last column full
  EXPECT_EQ(b.Pixel(11, 4), kBackground);
  // The vertical form clamps to a pixel above the bottom edge, so the span
  // ends with the second-to-last row.
  EXPECT_EQ(b.Pixel(3, 7), 0xFF00FFFFu);
  EXPECT_EQ(b.Pixel(3, 8), kBackground);
}

}  // namespace lines_fixed_test
