#include "raster/resamplers.h"

#include "raster/bitmap32.h"

#include "bitmap_test_support.h"

namespace {

class NearestResampler : public RasterTest {};

// Row y of a bitmap.
std::vector<TColor32> Row(const TCustomBitmap32& bitmap, int y) {
  return std::vector<TColor32>(bitmap.ScanLine(y), bitmap.ScanLine(y) + bitmap.Width());
}

TEST_F(NearestResampler, ColumnMapsTruncateTheSingleScaleOrTakeTheMiddle) {
  TCustomBitmap32 source;
  SetPixels(source, 4, 1, {0xFF000000u, 0xFF000001u, 0xFF000002u, 0xFF000003u});
  struct Case {
    const char* what;
    TRect srcRect;
    int dstWidth;
    std::vector<TColor32> expected;
  };
  const Case cases[] = {
      {"2 to 5: trunc(I x 0.4)", Rect(0, 0, 2, 1), 5,
       {0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000001u, 0xFF000001u}},
      {"4 to 1: (0 + 4 - 1) div 2", Rect(0, 0, 4, 1), 1, {0xFF000001u}},
      {"columns 1..3 to 1: (1 + 4 - 1) div 2", Rect(1, 0, 4, 1), 1, {0xFF000002u}},
      {"4 to 2", Rect(0, 0, 4, 1), 2, {0xFF000000u, 0xFF000002u}},
      {"3 to 6 from column 1", Rect(1, 0, 4, 1), 6,
       {0xFF000001u, 0xFF000001u, 0xFF000002u, 0xFF000002u, 0xFF000003u, 0xFF000003u}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TCustomBitmap32 dest;
    dest.SetSize(c.dstWidth, 1);
    ScaleNearest(&dest, dest.BoundsRect(), dest.BoundsRect(), &source, c.srcRect, dmOpaque, nullptr);
    EXPECT_EQ(Row(dest, 0), c.expected);
  }
}

TEST_F(NearestResampler, WritesOnlyInsideTheClipAndRepeatsRows) {
  TCustomBitmap32 source;
  SetPixels(source, 2, 2, {1, 2, 3, 4});
  TCustomBitmap32 dest;
  dest.SetSize(4, 4);
  dest.Clear(0xEEEEEEEEu);
  // Rows 0..3 read source rows 0, 0, 1, 1; the clip keeps columns 1..2 and rows 1..3.
  ScaleNearest(&dest, Rect(0, 0, 4, 4), Rect(1, 1, 3, 9), &source, source.BoundsRect(), dmOpaque, nullptr);
  const TColor32 e = 0xEEEEEEEEu;
  EXPECT_EQ(PixelsOf(dest), (std::vector<TColor32>{e, e, e, e, e, 1, 2, e, e, 3, 4, e, e, 3, 4, e}));
}

TEST_F(NearestResampler, InvalidSourceRectangleRaisesAndChangesNothing) {
  TCustomBitmap32 source;
  source.SetSize(2, 2);
  TCustomBitmap32 dest;
  SetPixels(dest, 3, 3, std::vector<TColor32>(9, 7u));
  for (const TRect& bad : {Rect(-1, 0, 2, 2), Rect(0, 0, 3, 2), Rect(0, 0, 2, 3), Rect(0, -1, 2, 2)}) {
    try {
      ScaleNearest(&dest, dest.BoundsRect(), dest.BoundsRect(), &source, bad, dmOpaque, nullptr);
      FAIL() << "accepted " << bad.Left << "," << bad.Top << "," << bad.Right << "," << bad.Bottom;
    } catch (const ERasterError& e) {
      EXPECT_STREQ(e.what(), "Invalid SrcRect");
    }
  }
  EXPECT_EQ(PixelsOf(dest), std::vector<TColor32>(9, 7u));
}

TEST_F(NearestResampler, DrawModesCombineThroughTheSourceSettings) {
  TCustomBitmap32 source;
  SetPixels(source, 2, 1, {0xFFFFFFFFu, 0x00ABCDEFu});
  source.SetOuterColor(0x00ABCDEFu);
  const std::vector<TColor32> black(8, clBlack32);

  struct Case {
    const char* what;
    TDrawMode mode;
    uint32_t masterAlpha;
    TRect dstRect;  // in a 4 x 2 destination of opaque black
    std::vector<TColor32> expected;
  };
  const TColor32 k = clBlack32, w = 0xFFFFFFFFu, g = 0xFF404040u;
  const Case cases[] = {
      // White at master alpha 64 over black: ((64 + 1) x 255) shr 8 = 64 per channel.
      {"blend, master alpha 64, scaled", dmBlend, 64, Rect(0, 0, 4, 2), {g, g, k, k, g, g, k, k}},
      {"blend, master alpha 64, same size", dmBlend, 64, Rect(0, 0, 2, 1), {g, k, k, k, k, k, k, k}},
      {"transparent skips the outer colour", dmTransparent, 255, Rect(0, 0, 4, 2), {w, w, k, k, w, w, k, k}},
      {"opaque copies the outer colour too", dmOpaque, 255, Rect(0, 0, 4, 1),
       {w, w, 0x00ABCDEFu, 0x00ABCDEFu, k, k, k, k}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    source.SetMasterAlpha(c.masterAlpha);
    TCustomBitmap32 dest;
    SetPixels(dest, 4, 2, black);
    ScaleNearest(&dest, c.dstRect, dest.BoundsRect(), &source, source.BoundsRect(), c.mode, nullptr);
    EXPECT_EQ(PixelsOf(dest), c.expected);
  }

  // dmCustom hands every source pixel, its destination and the master alpha to the callback.
  source.SetMasterAlpha(33);
  TCustomBitmap32 dest;
  SetPixels(dest, 4, 1, std::vector<TColor32>(4, 5u));
  std::vector<TColor32> seen;
  ScaleNearest(&dest, dest.BoundsRect(), dest.BoundsRect(), &source, source.BoundsRect(), dmCustom,
               [&](TColor32 f, TColor32& b, TColor32 m) {
                 seen.push_back(f);
                 b = b + m;
               });
  EXPECT_EQ(seen, (std::vector<TColor32>{0xFFFFFFFFu, 0xFFFFFFFFu, 0x00ABCDEFu, 0x00ABCDEFu}));
  EXPECT_EQ(PixelsOf(dest), std::vector<TColor32>(4, 38u));
}

TEST_F(NearestResampler, SampleReadersFollowThePixelAccessMode) {
  TCustomBitmap32 bitmap;
  SetPixels(bitmap, 3, 2, {0xFF000001u, 0xFF000002u, 0xFF000003u, 0xFF000004u, 0xFF000005u, 0xFF000006u});
  bitmap.SetOuterColor(0x0000ABCDu);
  bitmap.SetWrapMode(wmRepeat);
  auto& resampler = *bitmap.Resampler();
  struct Case {
    TPixelAccessMode mode;
    int x, y;
    TColor32 expected;
  };
  const Case cases[] = {
      {pamUnsafe, 2, 1, 0xFF000006u},          {pamSafe, 1, 0, 0xFF000002u},
      {pamSafe, 3, 0, 0x0000ABCDu},            {pamSafe, -1, 1, 0x0000ABCDu},
      {pamWrap, 3, 2, 0xFF000001u},            {pamWrap, -1, -1, 0xFF000006u},
      {pamTransparentEdge, 1, 1, 0xFF000005u}, {pamTransparentEdge, 5, -3, 0x00000003u},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << int(c.mode) << " at " << c.x << "," << c.y);
    resampler.SetPixelAccessMode(c.mode);
    resampler.PrepareSampling();
    EXPECT_EQ(resampler.GetSampleInt(c.x, c.y), c.expected);
  }
  resampler.SetPixelAccessMode(pamSafe);
  resampler.PrepareSampling();
  // Fixed: (X + $7FFF) shr 16, so an exact half rounds down; float: half to even.
  EXPECT_EQ(resampler.GetSampleFixed(0x18000, 0x8000), 0xFF000002u);  // (1.5, 0.5) -> (1, 0)
  EXPECT_EQ(resampler.GetSampleFloat(1.5f, 0.5f), 0xFF000003u);        // -> (2, 0)
  EXPECT_EQ(resampler.GetSampleFloat(2.5f, 1.2f), 0xFF000006u);        // -> (2, 1)
  EXPECT_TRUE(resampler.HasBounds());
  EXPECT_EQ(resampler.GetSampleBounds(), (TFloatRect{0, 0, 3, 2}));
  resampler.SetPixelAccessMode(pamWrap);
  EXPECT_FALSE(resampler.HasBounds());
  resampler.SetPixelAccessMode(pamTransparentEdge);
  EXPECT_EQ(resampler.GetSampleBounds(), (TFloatRect{-1, -1, 4, 3}));
}

}  // namespace
