// The stipple counter and pattern colours, and how clipping and joints leave
// the counter of the stippled spans and lines.

#include "raster/coordinate_helpers.h"

#include "line_test_support.h"

#include <cmath>

namespace lines_stipple_test {

class Stipple : public RasterTest {};

constexpr TColor32 kBackground = 0xFF000000u;
constexpr TFixed kPx = 65536;
const TArrayOfColor32 kFour{0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFF00u};

// The counter's position in a pattern of `length` entries.
double Phase(float counter, double length) { return counter - length * std::floor(counter / length); }

TEST_F(Stipple, TwoColoursAtHalfStepsFadeThroughGrey) {
  TCustomBitmap32 b;
  b.SetStipple({clWhite32, clBlack32});
  b.SetStippleStep(0.5f);
  // counter 0: white; 0.5: i = 0, w = round(127.5) = 128, CombinePx(white, black, 127);
  // 1: i = round(0.5) = 0 (to even), w = 255: black; 1.5: i = 1, w = 128:
  // CombinePx(black, white, 127); 2 is 0 again.
  const TColor32 expected[] = {clWhite32, RefStepPx(clWhite32, clBlack32, 127), clBlack32,
                               RefStepPx(clBlack32, clWhite32, 127), clWhite32};
  for (TColor32 e : expected) EXPECT_TRUE(SameColor("stipple", b.GetStippleColor(), e));
  EXPECT_EQ(expected[1], 0xFF7F7F7Fu);
  EXPECT_EQ(expected[3], 0xFF808080u);

  TCustomBitmap32 empty;
  EXPECT_EQ(empty.GetStippleColor(), 0xFF000000u);
  // Far outside the pattern (1e30 as a float is a multiple of 2): entry 0, at once.
  b.SetStippleCounter(1e30f);
  EXPECT_EQ(b.GetStippleColor(), clWhite32);
}

TEST_F(Stipple, AdvanceKeepsTheCounterInsideThePattern) {
  struct Case {
    float counter, length, step;
    double expected;
  };
  const Case cases[] = {
      {0, 5, 1, 1},       // 4 entries: 5 mod 4
      {3.5f, 1, 0.5f, 0}, // 3.5 + 0.5 = 4
      {1, -7, 1, 2},      // backwards: 1 - 7 = -6, + 8
      {2, 0, 1, 2},       // nothing to advance
      {2, 3, 0, 2},       // zero step: unchanged
  };
  for (const Case& c : cases) {
    TCustomBitmap32 b;
    b.SetStipple(kFour);
    b.SetStippleCounter(c.counter);
    b.SetStippleStep(c.step);
    b.AdvanceStippleCounter(c.length);
    EXPECT_NEAR(b.StippleCounter(), c.expected, 1e-5) << c.counter << " + " << c.length << " x " << c.step;
  }
  TCustomBitmap32 b;  // an empty pattern leaves the counter alone
  b.SetStippleCounter(9);
  b.AdvanceStippleCounter(3);
  EXPECT_EQ(b.StippleCounter(), 9);
  b.SetStipple(kFour);
  EXPECT_EQ(b.StippleCounter(), 0);
}

// A span cut by ClipRect leaves the counter where the whole span leaves it,
// and its visible pixels carry the same colours as the uncut span's.
TEST_F(Stipple, ClippedSpansKeepThePhase) {
  struct Case {
    int a1, a2;
  };
  const Case cases[] = {{-7, 6}, {6, -7}, {3, 25}, {25, 3}, {-5, 30}, {4, 8}};
  for (bool vertical : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << c.a1 << ".." << c.a2 << " vertical " << vertical);
      // The reference: the same span on a bitmap wide enough for all of it.
      TCustomBitmap32 whole, clipped;
      Fill(whole, 60, 60, kBackground);
      Fill(clipped, 12, 12, kBackground);
      clipped.SetClipRect(Rect(1, 1, 10, 10));
      for (TCustomBitmap32* b : {&whole, &clipped}) {
        b->SetStipple(kFour);
        b->SetStippleStep(0.75f);
        b->SetStippleCounter(1.25f);
      }
      const int shift = 20;
      if (vertical) {
        whole.VertLineTSP(4 + shift, c.a1 + shift, c.a2 + shift);
        clipped.VertLineTSP(4, c.a1, c.a2);
      } else {
        whole.HorzLineTSP(c.a1 + shift, 4 + shift, c.a2 + shift);
        clipped.HorzLineTSP(c.a1, 4, c.a2);
      }
      EXPECT_NEAR(Phase(clipped.StippleCounter(), 4), Phase(whole.StippleCounter(), 4), 1e-4);
      for (int a = 1; a < 10; ++a) {
        const TColor32 expected = std::min(c.a1, c.a2) <= a && a <= std::max(c.a1, c.a2)
                                      ? (vertical ? whole.Pixel(4 + shift, a + shift) : whole.Pixel(a + shift, 4 + shift))
                                      : kBackground;
        ASSERT_EQ(vertical ? clipped.Pixel(4, a) : clipped.Pixel(a, 4), expected) << a;
      }
    }
  }
  // A span on a row outside ClipRect advances by its length and draws nothing.
  TCustomBitmap32 b;
  Fill(b, 12, 12, kBackground);
  b.SetStipple(kFour);
  b.SetStippleStep(0.5f);
  b.HorzLineTSP(2, 20, 6);
  EXPECT_NEAR(b.StippleCounter(), 2.5, 1e-6);
  EXPECT_EQ(ChangedPixels(b, kBackground), PixelSet{});
}

// Each point of a fixed line takes one stipple colour, the last one included;
// the second segment of a pen path starts where the first left the counter.
TEST_F(Stipple, PenPathContinuesThePatternAcrossTheJoint) {
  const TArrayOfColor32 five{0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFF00u, 0xFF00FFFFu};
  TCustomBitmap32 b;
  Fill(b, 10, 10, kBackground);
  b.SetStipple(five);
  b.MoveToX(1 * kPx, 1 * kPx);
  b.LineToXSP(4 * kPx, 1 * kPx);  // points on 1, 2, 3 and a last point without alpha
  EXPECT_NEAR(b.StippleCounter(), 4, 1e-6);
  b.LineToXSP(4 * kPx, 4 * kPx);  // points on rows 1, 2, 3, then the last
  EXPECT_EQ(b.RasterXFixed(), 4 * kPx);
  EXPECT_EQ(b.RasterYFixed(), 4 * kPx);
  EXPECT_NEAR(Phase(b.StippleCounter(), 5), 3, 1e-6);
  auto full = [](TColor32 c) { return RefCombineInto(c, kBackground, (255u * 255 * 255) >> 16); };
  const TColor32 expected[][3] = {{1, 1, full(five[0])}, {2, 1, full(five[1])}, {3, 1, full(five[2])},
                                  {4, 1, full(five[4])}, {4, 2, full(five[0])}, {4, 3, full(five[1])}};
  for (const auto& e : expected)
    EXPECT_TRUE(SameColor("joint", b.Pixel(static_cast<int>(e[0]), static_cast<int>(e[1])), e[2])) << e[0] << "," << e[1];
}

// A line wholly outside ClipRect advances the counter by the hypotenuse of
// the whole-pixel parts (toward zero) of its differences, less one row of
// the end point when L; the direction does not matter without L.
TEST_F(Stipple, LineOutsideClipRectAdvancesByItsLength) {
  struct Case {
    TFixed x1, y1, x2, y2;
    bool L;
    double length;
  };
  const Case cases[] = {
      {-50 * kPx - kPx / 2, 3 * kPx + kPx / 4, -10 * kPx - 3 * kPx / 4, 20 * kPx + kPx / 2, false, std::hypot(39.0, 17.0)},
      {-10 * kPx - 3 * kPx / 4, 20 * kPx + kPx / 2, -50 * kPx - kPx / 2, 3 * kPx + kPx / 4, false, std::hypot(39.0, 17.0)},
      {-50 * kPx, 3 * kPx, -10 * kPx, 20 * kPx, true, std::hypot(40.0, 16.0)},
      {3 * kPx, 30 * kPx, 8 * kPx, 60 * kPx, false, std::hypot(5.0, 30.0)},  // below
  };
  for (const Case& c : cases) {
    TCustomBitmap32 b;
    Fill(b, 10, 10, kBackground);
    b.SetStipple(kFour);
    b.SetStippleStep(0.5f);
    NotificationRecorder rec(b);
    b.LineXSP(c.x1, c.y1, c.x2, c.y2, c.L);
    EXPECT_NEAR(b.StippleCounter(), Phase(static_cast<float>(c.length * 0.5), 4), 1e-4) << c.x1 << "," << c.y1;
    EXPECT_TRUE(rec.areas.empty());
    EXPECT_EQ(ChangedPixels(b, kBackground), PixelSet{});
  }
}

// A start cut by ClipRect first advances the counter over the cut part, so
// the visible points have the colours they have on the whole line.
TEST_F(Stipple, ClippedStartKeepsThePhase) {
  TCustomBitmap32 b;
  Fill(b, 10, 10, kBackground);
  b.SetStipple(kFour);
  NotificationRecorder rec(b);
  // Clipped to start at -1 px (one pixel left of the window): 19 pixels cut,
  // then points on -1 .. 4 and the last point: 19 + 7 entries.
  b.LineXSP(-20 * kPx, 3 * kPx, 5 * kPx, 3 * kPx, false);
  EXPECT_NEAR(Phase(b.StippleCounter(), 4), 26 % 4, 1e-5);
  // The point on column 2 is point 22 of the whole line.
  EXPECT_EQ(b.Pixel(2, 3), RefCombineInto(kFour[22 % 4], kBackground, (255u * 255 * 255) >> 16));
  EXPECT_EQ(rec.areas, (std::vector<TRect>{Rect(-20, 3, 5, 3)}));
  EXPECT_EQ(rec.infos, (std::vector<uint32_t>{AreaKindLine + 4}));

  // A cut end draws its end point (L) and then advances by hypot(dxe, dye - 1)
  // of the cut part: 2 .. 10 px is 9 points and the last, then hypot(20, -1).
  b.SetStipple(kFour);
  b.LineXSP(2 * kPx, 5 * kPx, 30 * kPx, 5 * kPx, false);
  EXPECT_NEAR(Phase(b.StippleCounter(), 4), Phase(static_cast<float>(10 + std::hypot(20.0, -1.0)), 4), 1e-4);
}

}  // namespace lines_stipple_test
