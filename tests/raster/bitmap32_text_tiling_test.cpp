// Anti-aliased text, device drawing and tiling of TBitmap32.

#include "raster/bitmap32.h"
#include "raster/resampler_transfer.h"

#include "bitmap_test_support.h"

#include "platform/ui/bitmap.h"
#include "platform/ui/canvas.h"

#include <QImage>

namespace bitmap32_text_tiling_test {

class BitmapTextTilingTest : public RasterTest {};

constexpr TColor32 Bg = 0xFF000000u;

TEST_F(BitmapTextTilingTest, RenderTextWithAlphaZeroDrawsNothing) {
  for (int level : {-1, 0, 2, 4}) {
    TBitmap32 b;
    b.SetSize(120, 40);
    b.Clear(Bg);
    b.RenderText(2, 2, QStringLiteral("Wave 42"), level, 0x00FFFFFFu);
    EXPECT_EQ(PixelsOf(b), std::vector<TColor32>(120 * 40, Bg)) << "level " << level;
  }
}

TEST_F(BitmapTextTilingTest, RenderTextOpaqueDrawsInTheColourOnly) {
  for (int level : {-1, 0, 1, 2}) {
    TBitmap32 b;
    b.SetSize(120, 40);
    b.Clear(Bg);
    b.RenderText(2, 2, QStringLiteral("Wave 42"), level, 0xFFFF0000u);
    int touched = 0, partial = 0;
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 120; ++x) {
        const TColor32 p = b.Pixel(x, y);
        if (p == Bg) continue;
        ++touched;
        if (Ch(p, 2) > 0 && Ch(p, 2) < 255) ++partial;
        // Red over black: only the red channel may grow.
        EXPECT_EQ(Ch(p, 0), 0u) << level;
        EXPECT_EQ(Ch(p, 1), 0u) << level;
        EXPECT_LT(x, 120);
        EXPECT_GE(x, 2) << "drawn left of X at level " << level;
        EXPECT_GE(y, 2) << "drawn above Y at level " << level;
      }
    EXPECT_GT(touched, 10) << "level " << level;
    // Averaging the oversampled blocks leaves glyph edges partly covered.
    if (level > 0) EXPECT_GT(partial, 0) << "level " << level;
  }
}

// Level 0 draws plain glyphs (every touched pixel fully red); level -1 asks for
// anti-aliased ones, which leave partly covered edges. The bitmap's own font keeps
// its quality either way.
TEST_F(BitmapTextTilingTest, LevelZeroIsPlainAndLevelMinusOneAntiAliased) {
  for (int level : {0, -1}) {
    TBitmap32 b;
    b.SetSize(160, 48);
    b.Font()->SetSize(16);
    b.Clear(Bg);
    b.RenderText(2, 2, QStringLiteral("Wave 42 ogs"), level, 0xFFFF0000u);
    int full = 0, partial = 0;
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 160; ++x) {
        const uint32_t red = Ch(b.Pixel(x, y), 2);
        if (red == 255) ++full;
        if (red > 0 && red < 255) ++partial;
      }
    EXPECT_GT(full, 10) << "level " << level;
    if (level == 0) EXPECT_EQ(partial, 0);
    if (level < 0) EXPECT_GT(partial, 0);
    EXPECT_EQ(b.Font()->Quality(), fqDefault);
  }
}

// Oversampled text is measured in the enlarged font and the size grown by one
// block of 2^level pixels before it is cut into whole blocks, so the last,
// partly covered block of each direction is drawn as well.
TEST_F(BitmapTextTilingTest, OversampledTextCoversTheMeasuredSizePlusOneBlock) {
  const QString text = QStringLiteral("Wave 42 gj");
  for (int level = 1; level <= 4; ++level) {
    const int factor = 1 << level;
    TBitmap32 b;
    b.SetSize(900, 300);
    b.Clear(Bg);
    TBitmap32 measure;
    TFont big;
    big.Assign(*b.Font());
    big.SetSize(b.Font()->Size() * factor);
    measure.SetFont(big);
    const TSize measured = measure.TextExtent(text + QLatin1Char(' '));
    NotificationRecorder rec(b);
    b.RenderText(3, 4, text, level, 0xFFFF0000u);
    ASSERT_EQ(rec.areas.size(), 1u) << "level " << level;
    EXPECT_EQ(rec.areas[0], Bounds(3, 4, (measured.cx + factor) / factor, (measured.cy + factor) / factor))
        << "level " << level;
  }
}

TEST_F(BitmapTextTilingTest, MeasuringRenderTextReportsWithoutDrawing) {
  for (int level : {-1, 0, 2}) {
    TBitmap32 b;
    b.SetSize(120, 40);
    b.Clear(Bg);
    std::vector<TRect> measured;
    b.BeginMeasuring([&](TObject*, const TRect& area, uint32_t) { measured.push_back(area); });
    b.RenderText(2, 2, QStringLiteral("Wave 42"), level, 0xFFFF0000u);
    b.EndMeasuring();
    EXPECT_EQ(PixelsOf(b), std::vector<TColor32>(120 * 40, Bg)) << "level " << level;
    ASSERT_EQ(measured.size(), 1u) << "level " << level;
    EXPECT_EQ(measured[0].Left, 2);
    EXPECT_GT(measured[0].Right, 2);
  }
}

TEST_F(BitmapTextTilingTest, RenderTextOnAnEmptyBitmapDoesNothing) {
  TBitmap32 b;
  EXPECT_NO_THROW(b.RenderText(0, 0, QStringLiteral("x"), 2, 0xFFFFFFFFu));
  EXPECT_TRUE(b.Empty());
}

// A source whose pixels differ everywhere, opaque (a device ignores alpha).
void FillPattern(TBitmap32& b, int w, int h) {
  b.SetSize(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.SetPixel(x, y, Argb(255, (x * 53 + y * 7) & 0xFF, (y * 91) & 0xFF, (x * y) & 0xFF));
}

struct TileCase {
  const char* resampler;
  TRect dstRect;
  TRect srcRect;
};

TEST_F(BitmapTextTilingTest, TilingBeyond1024EqualsADirectTransfer) {
  const TileCase cases[] = {
      {"TNearestResampler", {3, 2, 1103, 1031}, {0, 0, 7, 5}},
      {"TLinearResampler", {0, 0, 1300, 40}, {1, 0, 6, 5}},
      {"TDraftResampler", {5, 0, 30, 2100}, {0, 0, 7, 5}},
  };
  for (const auto& c : cases) {
    TBitmap32 src;
    FillPattern(src, 7, 5);
    src.SetResamplerClassName(QString::fromLatin1(c.resampler));
    ASSERT_EQ(src.ResamplerClassName(), QString::fromLatin1(c.resampler));
    const int w = c.dstRect.Right - c.dstRect.Left, h = c.dstRect.Bottom - c.dstRect.Top;
    QImage device(c.dstRect.Right + 2, c.dstRect.Bottom + 2, QImage::Format_ARGB32);
    device.fill(0xFF123456u);
    src.TileTo(&device, c.dstRect, c.srcRect);

    TBitmap32 direct;
    direct.SetSize(w, h);
    ResampleTransfer(&direct, TRect{0, 0, w, h}, direct.BoundsRect(), &src, c.srcRect, src.Resampler(), dmOpaque,
                     nullptr);
    int mismatches = 0;
    for (int y = 0; y < device.height(); ++y) {
      const auto* line = reinterpret_cast<const TColor32*>(device.constScanLine(y));
      for (int x = 0; x < device.width(); ++x) {
        const bool inside = x >= c.dstRect.Left && x < c.dstRect.Right && y >= c.dstRect.Top && y < c.dstRect.Bottom;
        const TColor32 expected = inside ? direct.Pixel(x - c.dstRect.Left, y - c.dstRect.Top) : 0xFF123456u;
        if (line[x] != expected && ++mismatches <= 3)
          ADD_FAILURE() << c.resampler << " at " << x << "," << y << std::hex << ": " << line[x] << " vs " << expected;
      }
    }
    EXPECT_EQ(mismatches, 0) << c.resampler;
  }
}

TEST_F(BitmapTextTilingTest, DeviceDrawingCopiesOneToOne) {
  TBitmap32 src;
  FillPattern(src, 6, 4);
  QImage device(10, 8, QImage::Format_ARGB32);
  device.fill(0xFF000000u);
  src.DrawTo(&device, 3, 2);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(device.pixel(x + 3, y + 2), src.Pixel(x, y));
  EXPECT_EQ(device.pixel(2, 2), 0xFF000000u);

  // And back: a rectangle of the device stretched into the bitmap.
  TBitmap32 back;
  back.SetSize(6, 4);
  back.Draw(TRect{0, 0, 6, 4}, TRect{3, 2, 9, 6}, device);
  EXPECT_EQ(PixelsOf(back), PixelsOf(src));
}


TEST_F(BitmapTextTilingTest, CanvasDrawingIgnoresAlphaAndTilesLikeADirectTransfer) {
  TBitmap32 src;
  FillPattern(src, 4, 3);
  src.SetPixel(1, 1, 0x40FF8000u);  // translucent: the canvas must still get its colour
  TBitmap target;
  target.SetPixelFormat(pf32bit);
  target.SetSize(8, 6);
  target.Canvas()->Brush()->SetColor(clBlack);
  target.Canvas()->FillRect(TRect{0, 0, 8, 6});
  src.DrawTo(target.Canvas(), 2, 1);
  const QImage& img = target.Image();
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(img.pixel(x + 2, y + 1) & 0x00FFFFFFu, src.Pixel(x, y) & 0x00FFFFFFu) << x << "," << y;

  // Scaled: each source pixel of a 2 x 1 part becomes a 2 x 2 block.
  TBitmap scaled;
  scaled.SetPixelFormat(pf32bit);
  scaled.SetSize(4, 2);
  src.DrawTo(scaled.Canvas(), TRect{0, 0, 4, 2}, TRect{2, 0, 4, 1});
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(scaled.Image().pixel(x, y) & 0x00FFFFFFu, src.Pixel(2 + x / 2, 0) & 0x00FFFFFFu) << x << "," << y;

  // Tiles across the 1024 boundary in both directions.
  TBitmap big;
  big.SetPixelFormat(pf32bit);
  big.SetSize(1030, 1027);
  FillPattern(src, 4, 3);
  src.TileTo(big.Canvas(), TRect{1, 2, 1030, 1027}, src.BoundsRect());
  TBitmap32 direct;
  direct.SetSize(1029, 1025);
  ResampleTransfer(&direct, direct.BoundsRect(), direct.BoundsRect(), &src, src.BoundsRect(), src.Resampler(),
                   dmOpaque, nullptr);
  const QImage& bigImg = big.Image();
  int mismatches = 0;
  for (int y = 0; y < 1025; ++y)
    for (int x = 0; x < 1029; ++x)
      if ((bigImg.pixel(x + 1, y + 2) & 0x00FFFFFFu) != (direct.Pixel(x, y) & 0x00FFFFFFu)) ++mismatches;
  EXPECT_EQ(mismatches, 0);
}

}  // namespace bitmap32_text_tiling_test
