// Anti-aliased integer lines against a step-by-step reference with a 16-bit
// accumulator, and the clipped form against the unclipped one.

#include "raster/gamma.h"

#include "line_test_support.h"

#include <cstdlib>
#include <map>
#include <random>

namespace lines_aa_test {

class AntiAliasedLines : public RasterTest {};

constexpr TColor32 kBackground = 0xFF203040u;

using Picture = std::map<std::pair<int64_t, int64_t>, TColor32>;

// The bound master-alpha blend: V = ((M + 1) x Fa) shr 8; V = 0 keeps B.
TColor32 RefBlendEx(TColor32 f, TColor32 b, uint32_t m) {
  const uint32_t v = ((m + 1) * Alpha(f)) >> 8;
  return v == 0 ? b : RefStepPx(f, b, v);
}

// The start pixel in full, then per step: EC += EA modulo 65536, a wrap moves
// the minor coordinate, the major one always moves; the pixel gets
// GammaTable[w xor 255] and its minor-axis neighbour GammaTable[w], w = EC shr 8.
// Every touched pixel starts as the background (each is touched once).
Picture RefLineA(int64_t x1, int64_t y1, int64_t x2, int64_t y2, TColor32 c, bool L) {
  Picture pic;
  const bool xMajor = std::llabs(x2 - x1) > std::llabs(y2 - y1);
  const int64_t major = xMajor ? std::llabs(x2 - x1) : std::llabs(y2 - y1);
  const int64_t minor = xMajor ? std::llabs(y2 - y1) : std::llabs(x2 - x1);
  const int64_t sx = x2 < x1 ? -1 : 1, sy = y2 < y1 ? -1 : 1;
  const uint32_t ea = static_cast<uint32_t>(minor * 65536 / major);
  pic[{x1, y1}] = RefCombineInto(c, kBackground, Alpha(c));
  uint32_t ec = 0;
  int64_t x = x1, y = y1;
  for (int64_t i = 0; i < (L ? major : major - 1); ++i) {
    const uint32_t next = ec + ea;
    const bool wrapped = next >= 65536;
    ec = next & 0xFFFF;
    if (xMajor) {
      x += sx;
      if (wrapped) y += sy;
    } else {
      y += sy;
      if (wrapped) x += sx;
    }
    const uint32_t w = ec >> 8;
    pic[{x, y}] = RefBlendEx(c, kBackground, RefGamma(w ^ 255));
    const std::pair<int64_t, int64_t> neighbour = xMajor ? std::pair{x, y + sy} : std::pair{x + sx, y};
    pic[neighbour] = RefBlendEx(c, kBackground, RefGamma(w));
  }
  return pic;
}

// The bitmap compared with the picture inside `window`, background elsewhere.
::testing::AssertionResult Matches(const TCustomBitmap32& b, const Picture& pic, const TRect& window) {
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) {
      const bool in = x >= window.Left && x < window.Right && y >= window.Top && y < window.Bottom;
      const auto it = pic.find({x, y});
      const TColor32 expected = in && it != pic.end() ? it->second : kBackground;
      if (b.Pixel(x, y) != expected)
        return ::testing::AssertionFailure() << "pixel " << x << "," << y << ": " << std::hex << b.Pixel(x, y)
                                             << " expected " << expected;
    }
  return ::testing::AssertionSuccess();
}

TEST_F(AntiAliasedLines, PairsFollowTheAccumulatorInEveryOctant) {
  std::mt19937 rng(55);
  for (int i = 0; i < 300; ++i) {
    const int x1 = 1 + static_cast<int>(rng() % 38), y1 = 1 + static_cast<int>(rng() % 38);
    const int x2 = 1 + static_cast<int>(rng() % 38), y2 = 1 + static_cast<int>(rng() % 38);
    if (x1 == x2 || y1 == y2 || std::abs(x2 - x1) == std::abs(y2 - y1)) continue;
    const bool L = i % 2 == 0;
    const TColor32 c = i % 3 == 0 ? 0xFFFFFFFFu : 0xA0FF8000u;
    SCOPED_TRACE(testing::Message() << x1 << "," << y1 << " -> " << x2 << "," << y2 << " L " << L);
    TCustomBitmap32 b;
    Fill(b, 40, 40, kBackground);
    NotificationRecorder rec(b);
    b.LineA(x1, y1, x2, y2, c, L);
    ASSERT_TRUE(Matches(b, RefLineA(x1, y1, x2, y2, c, L), b.BoundsRect()));
    ASSERT_EQ(rec.areas, (std::vector<TRect>{Rect(x1, y1, x2, y2)}));
    ASSERT_EQ(rec.infos[0], AreaKindLine + 2);
  }
}

// A diagonal's adjustment is a whole pixel per step: every step moves along
// both axes and the neighbours get no weight.
TEST_F(AntiAliasedLines, DiagonalStaysOnTheDiagonal) {
  TCustomBitmap32 b;
  Fill(b, 12, 12, kBackground);
  b.LineA(9, 2, 3, 8, 0xFFFFFFFFu, true);
  PixelSet expected;
  for (int k = 0; k <= 6; ++k) expected.insert({9 - k, 2 + k});
  EXPECT_EQ(ChangedPixels(b, kBackground), expected);
  EXPECT_EQ(b.Pixel(9, 2), 0xFFFFFFFFu);
  EXPECT_EQ(b.Pixel(3, 8), RefBlendEx(0xFFFFFFFFu, kBackground, 255));
}

// The clipped form draws the unclipped pairs that fall inside ClipRect; an end
// outside the window counts as drawn (L true).
TEST_F(AntiAliasedLines, ClippedLineDrawsTheUnclippedPairsInside) {
  std::mt19937 rng(77);
  const TRect window = Rect(11, 9, 50, 41);
  int drawn = 0;
  for (int i = 0; i < 1500; ++i) {
    const int range = i % 2 == 0 ? 3000 : 45;
    auto coordinate = [&] { return 30 + static_cast<int>(rng() % (2 * range + 1)) - range; };
    const int x1 = coordinate(), y1 = coordinate(), x2 = coordinate(), y2 = coordinate();
    if (x1 == x2 || y1 == y2 || std::abs(x2 - x1) == std::abs(y2 - y1)) continue;
    const bool L = rng() % 2 == 0;
    const bool endOutside = !(x2 >= window.Left && x2 < window.Right && y2 >= window.Top && y2 < window.Bottom);
    SCOPED_TRACE(testing::Message() << x1 << "," << y1 << " -> " << x2 << "," << y2 << " L " << L);
    TCustomBitmap32 b;
    Fill(b, 60, 50, kBackground);
    b.SetClipRect(window);
    b.LineAS(x1, y1, x2, y2, 0xE0C0FFEEu, L);
    ASSERT_TRUE(Matches(b, RefLineA(x1, y1, x2, y2, 0xE0C0FFEEu, L || endOutside), window));
    drawn += ChangedPixels(b, kBackground).empty() ? 0 : 1;
  }
  EXPECT_GT(drawn, 300);
}

TEST_F(AntiAliasedLines, DiagonalAndAxisParallelClippedLinesAreBresenhamLines) {
  const int lines[][4] = {{-3, -3, 7, 7}, {8, 1, 1, 8}, {2, -5, 2, 20}, {20, 4, -1, 4}};
  for (const auto& l : lines) {
    for (bool L : {false, true}) {
      TCustomBitmap32 a, b;
      Fill(a, 10, 10, kBackground);
      Fill(b, 10, 10, kBackground);
      a.SetClipRect(Rect(1, 1, 9, 9));
      b.SetClipRect(Rect(1, 1, 9, 9));
      a.LineAS(l[0], l[1], l[2], l[3], 0xC0FFFFFFu, L);
      b.LineTS(l[0], l[1], l[2], l[3], 0xC0FFFFFFu, L);
      EXPECT_EQ(PixelsOf(a), PixelsOf(b)) << l[0] << "," << l[1] << " -> " << l[2] << "," << l[3] << " L " << L;
      EXPECT_FALSE(ChangedPixels(a, kBackground).empty());
    }
  }
}

TEST_F(AntiAliasedLines, PenFormUsesPenColourAndMovesThePen) {
  TCustomBitmap32 a, b;
  Fill(a, 20, 20, kBackground);
  Fill(b, 20, 20, kBackground);
  a.SetPenColor(0xFF80FF00u);
  a.MoveTo(2, 3);
  a.LineToAS(15, 8);
  b.LineAS(2, 3, 15, 8, 0xFF80FF00u, false);
  EXPECT_EQ(PixelsOf(a), PixelsOf(b));
  EXPECT_EQ(a.RasterPos(), (TPoint{15, 8}));
}

}  // namespace lines_aa_test
