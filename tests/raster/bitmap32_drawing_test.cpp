// Fills, frames, the raised frame, Roll, flips, quarter turns and DrawTo of the
// 32-bit bitmap.

#include "raster/bitmap32.h"
#include "raster/coordinate_helpers.h"
#include "raster/resampler_transfer.h"

#include "bitmap_test_support.h"

#include <functional>

namespace {

class BitmapDrawingTest : public RasterTest {};

constexpr TColor32 Bg = 0xFF102030u;

// Pixel value encoding its own position, so every move is visible.
TColor32 Tag(int x, int y) { return 0xFF000000u | (static_cast<uint32_t>(y) << 8) | static_cast<uint32_t>(x); }

void FillTagged(TCustomBitmap32& b, int w, int h) {
  b.SetSize(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.SetPixel(x, y, Tag(x, y));
}

bool Inside(int x, int y, const TRect& r) { return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom; }

TEST_F(BitmapDrawingTest, MeasuringFillsOnlyReportTheRectangleForm) {
  TCustomBitmap32 b;
  b.SetSize(4, 4);
  b.Clear(Bg);
  std::vector<TRect> measured;
  b.BeginMeasuring([&](TObject*, const TRect& area, uint32_t) { measured.push_back(area); });
  b.FillRectS(TRect{-5, 1, 2, 9}, 0xFFFFFFFFu);
  b.FillRectTS(TRect{1, 1, 3, 3}, 0x80FFFFFFu);
  b.FillRectS(0, 0, 4, 4, 0xFFFFFFFFu);  // the four-integer form does nothing while measuring
  b.EndMeasuring();
  EXPECT_EQ(measured, std::vector<TRect>({TRect{-5, 1, 2, 9}, TRect{1, 1, 3, 3}}));
  EXPECT_EQ(PixelsOf(b), std::vector<TColor32>(16, Bg));
}

// Every drawing routine, run on a measuring bitmap, leaves pixels and size alone
// and still reports an area (the repaint optimizer learns a layer's areas so);
// the unclipped spans report nothing in any mode.
struct MeasuredOp {
  const char* name;
  std::function<void(TCustomBitmap32&)> op;
  bool reports = true;
};

TEST_F(BitmapDrawingTest, MeasuringWritesNoPixelInAnyDrawingRoutine) {
  constexpr TColor32 c = 0xFF3060C0u, half = 0x80F0A050u;
  TCustomBitmap32 other;
  FillTagged(other, 3, 2);
  const MeasuredOp ops[] = {
      {"Clear", [](TCustomBitmap32& b) { b.Clear(c); }},
      {"ResetAlpha", [](TCustomBitmap32& b) { b.ResetAlpha(7); }},
      {"FillRect", [](TCustomBitmap32& b) { b.FillRect(1, 1, 5, 4, c); }},
      {"FillRectT opaque", [](TCustomBitmap32& b) { b.FillRectT(1, 1, 5, 4, c); }},
      {"FillRectT blended", [](TCustomBitmap32& b) { b.FillRectT(1, 1, 5, 4, half); }},
      {"FillRectS rect", [](TCustomBitmap32& b) { b.FillRectS(TRect{0, 0, 6, 5}, c); }},
      {"FillRectTS rect", [](TCustomBitmap32& b) { b.FillRectTS(TRect{0, 0, 6, 5}, half); }},
      {"FrameRectS", [](TCustomBitmap32& b) { b.FrameRectS(0, 0, 6, 5, c); }},
      {"FrameRectTS", [](TCustomBitmap32& b) { b.FrameRectTS(0, 0, 6, 5, half); }},
      {"FrameRectTSP", [](TCustomBitmap32& b) { b.FrameRectTSP(0, 0, 6, 5); }},
      {"FrameRectTSP one pixel", [](TCustomBitmap32& b) { b.FrameRectTSP(2, 2, 3, 3); }},
      {"RaiseRectTS", [](TCustomBitmap32& b) { b.RaiseRectTS(0, 0, 6, 5, 60); }},
      {"Roll", [](TCustomBitmap32& b) { b.Roll(2, 1, false, c); }},
      {"Roll filling back", [](TCustomBitmap32& b) { b.Roll(-1, 1, true, c); }},
      {"Roll past the size", [](TCustomBitmap32& b) { b.Roll(9, 0, true, c); }},
      {"FlipHorz", [](TCustomBitmap32& b) { b.FlipHorz(); }},
      {"FlipVert", [](TCustomBitmap32& b) { b.FlipVert(); }},
      {"Rotate90", [](TCustomBitmap32& b) { b.Rotate90(); }},
      {"Rotate180", [](TCustomBitmap32& b) { b.Rotate180(); }},
      {"Rotate270", [](TCustomBitmap32& b) { b.Rotate270(); }},
      {"FlipHorz into", [&](TCustomBitmap32& b) { other.FlipHorz(&b); }},
      {"FlipVert into", [&](TCustomBitmap32& b) { other.FlipVert(&b); }},
      {"Rotate90 into", [&](TCustomBitmap32& b) { other.Rotate90(&b); }},
      {"Rotate180 into", [&](TCustomBitmap32& b) { other.Rotate180(&b); }},
      {"Rotate270 into", [&](TCustomBitmap32& b) { other.Rotate270(&b); }},
      {"Draw", [&](TCustomBitmap32& b) { b.Draw(1, 1, &other); }},
      {"Draw scaled", [&](TCustomBitmap32& b) { b.Draw(TRect{0, 0, 6, 5}, other.BoundsRect(), &other); }},
      {"HorzLine", [](TCustomBitmap32& b) { b.HorzLine(0, 1, 5, c); }, false},
      {"HorzLineT", [](TCustomBitmap32& b) { b.HorzLineT(0, 1, 5, half); }, false},
      {"VertLine", [](TCustomBitmap32& b) { b.VertLine(1, 0, 4, c); }, false},
      {"VertLineT", [](TCustomBitmap32& b) { b.VertLineT(1, 0, 4, half); }, false},
      {"HorzLineS", [](TCustomBitmap32& b) { b.HorzLineS(0, 1, 5, c); }},
      {"VertLineTS", [](TCustomBitmap32& b) { b.VertLineTS(1, 0, 4, half); }},
      {"HorzLineTSP", [](TCustomBitmap32& b) { b.HorzLineTSP(0, 1, 5); }},
      {"VertLineTSP", [](TCustomBitmap32& b) { b.VertLineTSP(1, 0, 4); }},
      {"HorzLineX", [](TCustomBitmap32& b) { b.HorzLineX(Fixed(0.5f), Fixed(1.5f), Fixed(4.5f), c); }},
      {"VertLineX", [](TCustomBitmap32& b) { b.VertLineX(Fixed(1.5f), Fixed(0.5f), Fixed(3.5f), c); }},
      {"HorzLineXS", [](TCustomBitmap32& b) { b.HorzLineXS(Fixed(0.5f), Fixed(1.5f), Fixed(4.5f), c); }},
      {"VertLineXS", [](TCustomBitmap32& b) { b.VertLineXS(Fixed(1.5f), Fixed(0.5f), Fixed(3.5f), c); }},
      {"Line", [](TCustomBitmap32& b) { b.Line(0, 0, 5, 3, c, true); }},
      {"Line straight", [](TCustomBitmap32& b) { b.Line(0, 2, 5, 2, c, true); }},
      {"LineT", [](TCustomBitmap32& b) { b.LineT(0, 0, 5, 3, half, true); }},
      {"LineS", [](TCustomBitmap32& b) { b.LineS(0, 0, 5, 3, c, true); }},
      {"LineS straight", [](TCustomBitmap32& b) { b.LineS(0, 2, 5, 2, c, true); }},
      {"LineTS", [](TCustomBitmap32& b) { b.LineTS(0, 0, 5, 3, half, true); }},
      {"LineA", [](TCustomBitmap32& b) { b.LineA(0, 0, 5, 3, c, true); }},
      {"LineAS", [](TCustomBitmap32& b) { b.LineAS(0, 0, 5, 3, c, true); }},
      {"LineToS", [](TCustomBitmap32& b) { b.MoveTo(0, 0); b.LineToS(5, 4); }},
      {"LineToTS", [](TCustomBitmap32& b) { b.MoveTo(0, 0); b.LineToTS(5, 4); }},
      {"LineToAS", [](TCustomBitmap32& b) { b.MoveTo(0, 0); b.LineToAS(5, 3); }},
      {"LineX", [](TCustomBitmap32& b) { b.LineX(Fixed(0.5f), Fixed(0.5f), Fixed(4.5f), Fixed(3.5f), c, true); }},
      {"LineF", [](TCustomBitmap32& b) { b.LineF(0.5f, 0.5f, 4.5f, 3.5f, c, true); }},
      {"LineXS", [](TCustomBitmap32& b) { b.LineXS(Fixed(0.5f), Fixed(0.5f), Fixed(4.5f), Fixed(3.5f), c, true); }},
      {"LineFS edge", [](TCustomBitmap32& b) { b.LineFS(-2.0f, 0.5f, 9.0f, 4.5f, c, true); }},
      {"LineXP", [](TCustomBitmap32& b) { b.LineXP(Fixed(0.5f), Fixed(0.5f), Fixed(4.5f), Fixed(3.5f), true); }},
      {"LineFP", [](TCustomBitmap32& b) { b.LineFP(0.5f, 0.5f, 4.5f, 3.5f, true); }},
      {"LineXSP", [](TCustomBitmap32& b) { b.LineXSP(Fixed(0.5f), Fixed(0.5f), Fixed(4.5f), Fixed(3.5f), true); }},
      {"LineFSP edge", [](TCustomBitmap32& b) { b.LineFSP(-2.0f, 0.5f, 9.0f, 4.5f, true); }},
      {"LineToFS", [](TCustomBitmap32& b) { b.MoveToF(0.5f, 0.5f); b.LineToFS(4.5f, 3.5f); }},
      {"LineToFSP", [](TCustomBitmap32& b) { b.MoveToF(0.5f, 0.5f); b.LineToFSP(4.5f, 3.5f); }},
  };
  for (const auto& o : ops) {
    TCustomBitmap32 b;
    FillTagged(b, 6, 5);
    b.SetStipple({0xFFFFFFFFu, 0x80000000u});
    b.SetPenColor(c);
    const auto before = PixelsOf(b);
    int changes = 0;
    b.OnChange = [&](TObject*) { ++changes; };
    std::vector<TRect> measured;
    b.BeginMeasuring([&](TObject*, const TRect& area, uint32_t) { measured.push_back(area); });
    o.op(b);
    b.EndMeasuring();
    EXPECT_EQ(b.Width(), 6) << o.name;
    EXPECT_EQ(b.Height(), 5) << o.name;
    EXPECT_EQ(PixelsOf(b), before) << o.name;
    EXPECT_EQ(!measured.empty(), o.reports) << o.name;
    EXPECT_EQ(changes, 0) << o.name;
  }
}

struct FillCase {
  TRect rect;
  TRect clip;
};

TEST_F(BitmapDrawingTest, FillRectSWritesExactlyTheClippedRectangle) {
  const FillCase cases[] = {
      {{0, 0, 8, 6}, {0, 0, 8, 6}},     // whole bitmap, borders included
      {{2, 1, 5, 4}, {0, 0, 8, 6}},     // inside; right and bottom exclusive
      {{-3, -2, 3, 2}, {0, 0, 8, 6}},   // hangs over the top-left corner
      {{6, 4, 20, 20}, {0, 0, 8, 6}},   // hangs over the bottom-right corner
      {{0, 0, 8, 6}, {1, 2, 7, 5}},     // cut by a clip rectangle
      {{7, 5, 8, 6}, {0, 0, 8, 6}},     // the last pixel only
  };
  for (const auto& c : cases) {
    TCustomBitmap32 b;
    b.SetSize(8, 6);
    b.Clear(Bg);
    b.SetClipRect(c.clip);
    b.FillRectS(c.rect.Left, c.rect.Top, c.rect.Right, c.rect.Bottom, 0xFFABCDEFu);
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < 8; ++x)
        EXPECT_EQ(b.Pixel(x, y), Inside(x, y, c.rect) && Inside(x, y, c.clip) ? 0xFFABCDEFu : Bg)
            << c.rect.Left << "," << c.rect.Top << " at " << x << "," << y;
  }
}

TEST_F(BitmapDrawingTest, FillRectSDoesNothingForEmptyOrMissingRectangles) {
  const TRect cases[] = {{3, 3, 3, 5}, {3, 3, 5, 3}, {5, 3, 3, 5}, {8, 0, 10, 6}, {-4, 0, 0, 6}, {0, 6, 8, 9}};
  for (const auto& r : cases) {
    TCustomBitmap32 b;
    b.SetSize(8, 6);
    b.Clear(Bg);
    NotificationRecorder rec(b);
    b.FillRectS(r.Left, r.Top, r.Right, r.Bottom, 0xFFFFFFFFu);
    b.FillRectTS(r.Left, r.Top, r.Right, r.Bottom, 0x80FFFFFFu);
    EXPECT_EQ(PixelsOf(b), std::vector<TColor32>(48, Bg));
    EXPECT_TRUE(rec.areas.empty());
  }
}

TEST_F(BitmapDrawingTest, FillRectTAlphaZeroNothingAlpha255OpaqueElseCombined) {
  for (TColor32 value : {0x00FF0000u, 0xFF00FF00u, 0x800000FFu, 0x01FFFFFFu}) {
    TCustomBitmap32 b;
    b.SetSize(4, 3);
    b.Clear(Bg);
    NotificationRecorder rec(b);
    b.FillRectT(1, 1, 3, 3, value);
    const uint32_t a = value >> 24;
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 4; ++x) {
        TColor32 expected = Bg;
        if (Inside(x, y, {1, 1, 3, 3}) && a != 0) expected = a == 255 ? value : CombinePx(value, Bg, a);
        EXPECT_EQ(b.Pixel(x, y), expected) << std::hex << value;
      }
    if (a == 0)
      EXPECT_TRUE(rec.areas.empty());
    else
      ASSERT_EQ(rec.areas, std::vector<TRect>({TRect{1, 1, 3, 3}}));
  }
}

TEST_F(BitmapDrawingTest, FillRectTMergesUnderMergeMode) {
  TCustomBitmap32 b;
  b.SetSize(2, 2);
  b.Clear(0x80406080u);
  b.SetCombineMode(cmMerge);
  b.FillRectT(0, 0, 2, 2, 0x40FF0000u);
  EXPECT_EQ(b.Pixel(1, 1), MergePx(0x40FF0000u, 0x80406080u));
}

struct FrameCase {
  TRect rect;
  TRect clip;
};

// Border pixels of r inside clip.
bool OnFrame(int x, int y, const TRect& r) {
  return Inside(x, y, r) && (x == r.Left || x == r.Right - 1 || y == r.Top || y == r.Bottom - 1);
}

TEST_F(BitmapDrawingTest, FramesDrawEveryBorderPixelOnce) {
  const FrameCase cases[] = {
      {{0, 0, 1, 1}, {0, 0, 7, 6}}, {{0, 0, 3, 3}, {0, 0, 7, 6}}, {{1, 1, 2, 5}, {0, 0, 7, 6}},
      {{1, 2, 6, 3}, {0, 0, 7, 6}}, {{2, 2, 4, 4}, {0, 0, 7, 6}}, {{0, 0, 7, 6}, {0, 0, 7, 6}},
      {{-2, -1, 5, 4}, {0, 0, 7, 6}}, {{1, 1, 6, 5}, {0, 0, 4, 3}},
  };
  // A half-transparent colour: a pixel blended twice differs from one blended once.
  constexpr TColor32 half = 0x80FFFFFFu;
  for (const auto& c : cases) {
    TCustomBitmap32 plain, blended;
    for (auto* b : {&plain, &blended}) {
      b->SetSize(7, 6);
      b->Clear(Bg);
      b->SetClipRect(c.clip);
    }
    plain.FrameRectS(c.rect, 0xFF00FF00u);
    blended.FrameRectTS(c.rect, half);
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < 7; ++x) {
        const bool on = OnFrame(x, y, c.rect) && Inside(x, y, c.clip);
        EXPECT_EQ(plain.Pixel(x, y), on ? 0xFF00FF00u : Bg) << c.rect.Right << " at " << x << "," << y;
        EXPECT_EQ(blended.Pixel(x, y), on ? CombinePx(half, Bg, 0x80) : Bg) << c.rect.Right << " at " << x << "," << y;
      }
  }
}

TEST_F(BitmapDrawingTest, StippledFrameRunsThePatternAroundTheCorners) {
  TCustomBitmap32 b;
  b.SetSize(6, 5);
  b.Clear(Bg);
  constexpr TColor32 c0 = 0xFFFF0000u, c1 = 0xFF0000FFu;
  b.SetStipple({c0, c1});
  b.SetStippleStep(1);
  b.FrameRectTSP(1, 1, 5, 4);  // 4 x 3: ten border pixels
  // Clockwise from the top-left corner.
  const int path[][2] = {{1, 1}, {2, 1}, {3, 1}, {4, 1}, {4, 2}, {4, 3}, {3, 3}, {2, 3}, {1, 3}, {1, 2}};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(b.Pixel(path[i][0], path[i][1]), i % 2 == 0 ? c0 : c1) << i;
  EXPECT_EQ(b.Pixel(2, 2), Bg);
  EXPECT_EQ(b.Pixel(0, 0), Bg);
}

TEST_F(BitmapDrawingTest, RaiseRectClampsTheLightAlpha) {
  struct Case {
    int contrast;
    TColor32 light, dark;
  };
  const Case cases[] = {{50, 0xFFFFFFFFu, 0x7F000000u}, {-50, 0x7F000000u, 0xFFFFFFFFu}, {20, 0x66FFFFFFu, 0x33000000u}};
  for (const auto& c : cases) {
    TCustomBitmap32 b;
    b.SetSize(5, 5);
    b.Clear(Bg);
    b.RaiseRectTS(0, 0, 5, 5, c.contrast);
    // Spans blend through the bitmap's blend-into-memory routine.
    TColor32 light = Bg, dark = Bg;
    b.BlendProc()(c.light, light);
    b.BlendProc()(c.dark, dark);
    EXPECT_EQ(b.Pixel(0, 0), light) << c.contrast;
    EXPECT_EQ(b.Pixel(4, 0), light) << c.contrast;  // the top line runs to the right edge
    EXPECT_EQ(b.Pixel(0, 3), light) << c.contrast;
    EXPECT_EQ(b.Pixel(0, 4), dark) << c.contrast;
    EXPECT_EQ(b.Pixel(4, 2), dark) << c.contrast;
    EXPECT_EQ(b.Pixel(2, 2), Bg) << c.contrast;
  }
  TCustomBitmap32 b;
  b.SetSize(3, 3);
  b.Clear(Bg);
  b.RaiseRectTS(0, 0, 3, 3, 0);
  EXPECT_EQ(PixelsOf(b), std::vector<TColor32>(9, Bg));
}

// ---- Roll --------------------------------------------------------------------------------

struct RollCase {
  int dx, dy;
};

TEST_F(BitmapDrawingTest, RollShiftsTheBlockAndFillsWhatIsUncovered) {
  constexpr int W = 5, H = 4;
  constexpr TColor32 fill = 0xFFEE0000u;
  const RollCase cases[] = {{1, 0}, {-1, 0}, {0, 1}, {0, -2}, {2, 1}, {-3, -1}, {1, -3}};
  for (const auto& c : cases)
    for (bool fillBack : {false, true}) {
      TCustomBitmap32 b;
      FillTagged(b, W, H);
      const auto before = PixelsOf(b);
      NotificationRecorder rec(b);
      b.Roll(c.dx, c.dy, fillBack, fill);
      const int s = c.dx + c.dy * W;
      for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
          const int i = x + y * W;
          TColor32 expected = (i - s >= 0 && i - s < W * H) ? before[i - s] : before[i];
          // Positions the shifted picture does not cover.
          const int sx = x - c.dx, sy = y - c.dy;
          if (fillBack && (sx < 0 || sx >= W || sy < 0 || sy >= H)) expected = fill;
          EXPECT_EQ(b.Pixel(x, y), expected) << c.dx << "," << c.dy << " fill " << fillBack << " at " << x << "," << y;
        }
      EXPECT_GE(rec.changes, 1);
    }
}

TEST_F(BitmapDrawingTest, RollOneRightCarriesTheRowEndIntoTheNextRow) {
  TCustomBitmap32 b;
  FillTagged(b, 3, 2);
  b.Roll(1, 0, true, 0xFF000000u);
  EXPECT_EQ(b.Pixel(1, 0), Tag(0, 0));
  EXPECT_EQ(b.Pixel(1, 1), Tag(0, 1));
  EXPECT_EQ(b.Pixel(0, 0), 0xFF000000u);
  EXPECT_EQ(b.Pixel(0, 1), 0xFF000000u);  // filled over the carried Tag(2, 0)
  TCustomBitmap32 n;
  FillTagged(n, 3, 2);
  n.Roll(1, 0, false, 0);
  EXPECT_EQ(n.Pixel(0, 1), Tag(2, 0));
}

TEST_F(BitmapDrawingTest, RollByTheWholeSizeClearsOnlyWithFillBack) {
  for (const RollCase c : {RollCase{5, 0}, RollCase{0, -4}, RollCase{-7, 1}}) {
    TCustomBitmap32 b;
    FillTagged(b, 5, 4);
    const auto before = PixelsOf(b);
    b.Roll(c.dx, c.dy, false, 0xFF00FF00u);
    EXPECT_EQ(PixelsOf(b), before);
    b.Roll(c.dx, c.dy, true, 0xFF00FF00u);
    EXPECT_EQ(PixelsOf(b), std::vector<TColor32>(20, 0xFF00FF00u));
  }
}

// ---- Flips and quarter turns ---------------------------------------------------------------

struct TurnCase {
  const char* name;
  std::function<void(TCustomBitmap32&, TCustomBitmap32*)> op;
  bool swapsSize;
  // Result pixel (x, y) of a W x H source comes from source pixel ...
  std::function<std::pair<int, int>(int x, int y, int W, int H)> from;
};

TEST_F(BitmapDrawingTest, FlipsAndTurnsOfAnAsymmetricBitmap) {
  const TurnCase cases[] = {
      {"FlipHorz", [](TCustomBitmap32& b, TCustomBitmap32* d) { b.FlipHorz(d); }, false,
       [](int x, int y, int W, int) { return std::pair{W - 1 - x, y}; }},
      {"FlipVert", [](TCustomBitmap32& b, TCustomBitmap32* d) { b.FlipVert(d); }, false,
       [](int x, int y, int, int H) { return std::pair{x, H - 1 - y}; }},
      {"Rotate180", [](TCustomBitmap32& b, TCustomBitmap32* d) { b.Rotate180(d); }, false,
       [](int x, int y, int W, int H) { return std::pair{W - 1 - x, H - 1 - y}; }},
      // Clockwise: the result's column x is the source's row H - 1 - x.
      {"Rotate90", [](TCustomBitmap32& b, TCustomBitmap32* d) { b.Rotate90(d); }, true,
       [](int x, int y, int, int H) { return std::pair{y, H - 1 - x}; }},
      {"Rotate270", [](TCustomBitmap32& b, TCustomBitmap32* d) { b.Rotate270(d); }, true,
       [](int x, int y, int W, int) { return std::pair{W - 1 - y, x}; }},
  };
  constexpr int W = 3, H = 2;
  for (const auto& c : cases)
    for (int mode = 0; mode < 3; ++mode) {  // in place with nullptr, with itself, into another bitmap
      TCustomBitmap32 src, other;
      FillTagged(src, W, H);
      other.SetSize(7, 7);
      TCustomBitmap32* target = mode == 2 ? &other : &src;
      NotificationRecorder rec(*target);
      c.op(src, mode == 0 ? nullptr : mode == 1 ? &src : &other);
      const int rw = c.swapsSize ? H : W, rh = c.swapsSize ? W : H;
      ASSERT_EQ(target->Width(), rw) << c.name;
      ASSERT_EQ(target->Height(), rh) << c.name;
      for (int y = 0; y < rh; ++y)
        for (int x = 0; x < rw; ++x) {
          auto [sx, sy] = c.from(x, y, W, H);
          EXPECT_EQ(target->Pixel(x, y), Tag(sx, sy)) << c.name << " mode " << mode << " at " << x << "," << y;
        }
      EXPECT_GE(rec.changes, 1) << c.name << " mode " << mode;
      if (mode == 2) {
        EXPECT_EQ(src.Width(), W);
        EXPECT_EQ(src.Pixel(0, 0), Tag(0, 0)) << c.name;
      }
    }
}

TEST_F(BitmapDrawingTest, Rotate90PutsTheBottomLeftPixelAtTheOrigin) {
  TCustomBitmap32 b;
  FillTagged(b, 3, 2);
  b.Rotate90();
  EXPECT_EQ(b.Width(), 2);
  EXPECT_EQ(b.Height(), 3);
  EXPECT_EQ(b.Pixel(0, 0), Tag(0, 1));
}

TEST_F(BitmapDrawingTest, FourQuarterTurnsRestoreThePicture) {
  TCustomBitmap32 b;
  FillTagged(b, 4, 3);
  const auto before = PixelsOf(b);
  for (int i = 0; i < 4; ++i) b.Rotate90();
  EXPECT_EQ(PixelsOf(b), before);
  b.Rotate90();
  b.Rotate270();
  EXPECT_EQ(PixelsOf(b), before);
}

// ---- Drawing onto another bitmap -------------------------------------------------------------

TEST_F(BitmapDrawingTest, DrawToCopiesAtTheOffsetInsideTheClip) {
  TCustomBitmap32 src, dst;
  FillTagged(src, 3, 2);
  dst.SetSize(6, 5);
  dst.Clear(Bg);
  dst.SetClipRect({0, 0, 4, 5});
  src.DrawTo(&dst, 2, 1);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 6; ++x) {
      const bool in = x >= 2 && x < 4 && y >= 1 && y < 3;
      EXPECT_EQ(dst.Pixel(x, y), in ? Tag(x - 2, y - 1) : Bg) << x << "," << y;
    }
  dst.ResetClipRect();
  dst.Draw(0, 3, {1, 0, 3, 1}, &src);
  EXPECT_EQ(dst.Pixel(0, 3), Tag(1, 0));
  EXPECT_EQ(dst.Pixel(1, 3), Tag(2, 0));
  EXPECT_EQ(dst.Pixel(2, 3), Bg);
}

TEST_F(BitmapDrawingTest, DrawToScalesAndAnEmptyDstRectDrawsNothing) {
  TCustomBitmap32 src, dst;
  FillTagged(src, 2, 2);
  dst.SetSize(4, 4);
  dst.Clear(Bg);
  NotificationRecorder rec(dst);
  src.DrawTo(&dst, TRect{1, 1, 1, 3});
  EXPECT_EQ(PixelsOf(dst), std::vector<TColor32>(16, Bg));
  src.DrawTo(&dst, TRect{0, 0, 4, 4});  // nearest: each source pixel a 2 x 2 block
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(dst.Pixel(x, y), Tag(x / 2, y / 2));
  dst.Draw(0, 0, nullptr);
  EXPECT_THROW(src.DrawTo(static_cast<TCustomBitmap32*>(nullptr), 0, 0), EBitmapException);
}

TEST_F(BitmapDrawingTest, DrawToBlendsWithTheMasterAlpha) {
  TCustomBitmap32 src, dst;
  src.SetSize(1, 1);
  src.SetPixel(0, 0, 0xFFFFFFFFu);
  src.SetDrawMode(dmBlend);
  dst.SetSize(1, 1);
  dst.SetPixel(0, 0, 0xFF000000u);
  src.SetMasterAlpha(0);
  src.DrawTo(&dst, 0, 0);
  EXPECT_EQ(dst.Pixel(0, 0), 0xFF000000u);
  src.SetMasterAlpha(128);
  src.DrawTo(&dst, 0, 0);
  const uint32_t g = Ch(dst.Pixel(0, 0), 1);
  EXPECT_GT(g, 100u);
  EXPECT_LT(g, 156u);
}

}  // namespace
