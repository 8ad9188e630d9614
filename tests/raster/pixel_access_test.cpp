// Sub-pixel, blended and wrapped pixel access against reference formulas, and
// the bilinear sample they read through.

#include "raster/bindings.h"
#include "raster/blend.h"
#include "raster/coordinate_helpers.h"
#include "raster/resampler_kernels.h"
#include "raster/resampler_routines.h"
#include "raster/resamplers.h"

#include "line_test_support.h"

#include <cstdlib>
#include <functional>
#include <map>
#include <random>

namespace {

class PixelAccess : public RasterTest {};

using Picture = std::map<std::pair<int64_t, int64_t>, TColor32>;

Picture PictureOf(const TCustomBitmap32& b) {
  Picture p;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) p[{x, y}] = b.Pixel(x, y);
  return p;
}

// The four-pixel spread of a 24.8 point, written only where `keep` allows.
template <class Keep>
void RefSpread(Picture& pic, int64_t x, int64_t y, TColor32 c, TCombineMode mode, Keep keep) {
  const int64_t px = x >= 0 ? x / 256 : -((-x + 255) / 256);  // floor
  const int64_t py = y >= 0 ? y / 256 : -((-y + 255) / 256);
  const uint32_t fx = static_cast<uint32_t>(x - 256 * px), fy = static_cast<uint32_t>(y - 256 * py);
  const uint32_t wl = RefGamma(255 - fx), wr = RefGamma(fx), wt = RefGamma(255 - fy), wb = RefGamma(fy);
  const struct {
    int64_t dx, dy;
    uint32_t wx, wy;
  } parts[] = {{0, 0, wl, wt}, {1, 0, wr, wt}, {1, 1, wr, wb}, {0, 1, wl, wb}};
  for (const auto& part : parts) {
    const std::pair<int64_t, int64_t> at{px + part.dx, py + part.dy};
    if (!keep(at.first, at.second)) continue;
    TColor32& p = pic.at(at);
    p = mode == cmMerge ? RefCombineInto(MergePx(c, p), p, (part.wx * part.wy) >> 8)
                        : RefCombineInto(c, p, (Alpha(c) * part.wx * part.wy) >> 16);
  }
}

TColor32 RefGetT256(const TCustomBitmap32& b, int32_t x, int32_t y) {
  const int px = x >> 8, py = y >> 8;
  return RefBilinear(RefGamma(255 - (x & 255)), RefGamma(255 - (y & 255)), b.Pixel(px, py), b.Pixel(px + 1, py),
                     b.Pixel(px, py + 1), b.Pixel(px + 1, py + 1));
}

TEST_F(PixelAccess, SubPixelWriteSpreadsOverFourPixelsInBothCombineModes) {
  std::mt19937 rng(7);
  for (TCombineMode mode : {cmBlend, cmMerge}) {
    TCustomBitmap32 b;
    FillPattern(b, 12, 10, 3);
    b.SetCombineMode(mode);
    Picture expected = PictureOf(b);
    for (int i = 0; i < 300; ++i) {
      const int32_t x = static_cast<int32_t>(rng() % (11 * 256)), y = static_cast<int32_t>(rng() % (9 * 256));
      const TColor32 c = static_cast<TColor32>(rng());
      b.SetPixelT256(x, y, c);
      RefSpread(expected, x, y, c, mode, [](int64_t, int64_t) { return true; });
    }
    EXPECT_EQ(PictureOf(b), expected) << "mode " << int(mode);
  }
}

// (X + 127) shr 8 turns 16.16 into 24.8: up to 128/65536 past a pixel still
// lands on it exactly, and an exact position gives its neighbours no weight.
TEST_F(PixelAccess, FixedWriteAtAnExactPixelTouchesOnePixel) {
  const TColor32 red = 0xFFFF0000u, background = 0xFF000000u;
  const struct {
    TFixed offset;
    size_t changed;
  } cases[] = {{0, 1}, {128, 1}, {129, 2}};
  for (const auto& c : cases) {
    TCustomBitmap32 b;
    Fill(b, 8, 8, background);
    b.SetPixelX(5 * 65536 + c.offset, 3 * 65536, red);
    EXPECT_EQ(ChangedPixels(b, background).size(), c.changed) << c.offset;
    const uint32_t fx = static_cast<uint32_t>(5 * 65536 + c.offset + 127) >> 8 & 255;
    EXPECT_EQ(b.Pixel(5, 3), RefCombineInto(red, background, (255 * RefGamma(255 - fx) * 255) >> 16)) << c.offset;
  }
}

// Sweeps sub-pixel points across every edge of the clip rectangle: the clipped
// write must equal the unclipped spread cut to ClipRect, including points left
// of and above column and row 0, which lie on the negative side.
TEST_F(PixelAccess, ClippedSubPixelWriteIsTheSpreadCutToClipRect) {
  const TRect clips[] = {Rect(2, 1, 9, 7), Rect(0, 0, 12, 10), Rect(3, 3, 4, 4)};
  for (const TRect& clip : clips) {
    TCustomBitmap32 b;
    FillPattern(b, 12, 10, 5);
    b.SetClipRect(clip);
    Picture expected = PictureOf(b);
    auto inside = [&](int64_t x, int64_t y) {
      return x >= clip.Left && x < clip.Right && y >= clip.Top && y < clip.Bottom;
    };
    const TColor32 c = 0xC0336699u;
    for (int32_t y = -300; y < 10 * 256 + 40; y += 37)
      for (int32_t x = -300; x < 12 * 256 + 40; x += 29) {
        b.SetPixelTS256(x, y, c);
        RefSpread(expected, x, y, c, cmBlend, inside);
      }
    EXPECT_EQ(PictureOf(b), expected) << clip.Left << "," << clip.Top << "," << clip.Right << "," << clip.Bottom;
  }
}

TEST_F(PixelAccess, ClippedFixedReadAtTheEdges) {
  TCustomBitmap32 b;
  FillPattern(b, 10, 8, 11);
  b.SetClipRect(Rect(1, 2, 7, 6));  // last column 6, last row 5
  b.SetOuterColor(0x12345678u);
  const TColor32 outer = b.OuterColor();
  struct Case {
    TFixed x, y;
    TColor32 expected;
  };
  const Case cases[] = {
      {6 * 65536, 3 * 65536 + 20000, b.Pixel(6, 3)},          // last column: no mix with column 7
      {6 * 65536 + 256, 3 * 65536, outer},                     // one 24.8 step further right
      {3 * 65536 + 30000, 5 * 65536, b.Pixel(3, 5)},          // last row
      {3 * 65536, 5 * 65536 + 256, outer},
      {65536 - 128, 3 * 65536, outer},                         // rounds to just left of ClipRect
      {65536 - 127, 3 * 65536, RefGetT256(b, 256, 768)},       // rounds onto its left edge
      {3 * 65536 + 40000, 4 * 65536 + 9000, RefGetT256(b, (3 * 65536 + 40000 + 127) >> 8, (4 * 65536 + 9000 + 127) >> 8)},
  };
  for (const Case& c : cases) EXPECT_TRUE(SameColor("PixelXS", b.PixelXS(c.x, c.y), c.expected)) << c.x << "," << c.y;
  // Negative 16.16 positions use the arithmetic shift: -1 rounds to 0, -129 to -1.
  b.ResetClipRect();
  EXPECT_TRUE(SameColor("PixelXS(-1)", b.PixelXS(-1, 0), RefGetT256(b, 0, 0)));
  EXPECT_EQ(b.PixelXS(-129, 0), outer);
}

TEST_F(PixelAccess, FloatPositionsRoundHalvesToEven) {
  TCustomBitmap32 b;
  FillPattern(b, 6, 6, 13);
  // 512.5 / 256 rounds to 512, 513.5 / 256 to 514.
  EXPECT_EQ(b.PixelF(512.5f / 256, 513.5f / 256), RefGetT256(b, 512, 514));
  EXPECT_EQ(b.PixelFS(513.5f / 256, 512.5f / 256), RefGetT256(b, 514, 512));
  EXPECT_EQ(b.PixelX(2 * 65536 + 300, 65536), RefGetT256(b, (2 * 65536 + 300 + 127) >> 8, 256));
}

// Rows are read with the bitmap's own row length even when ClipRect is
// narrower; columns and rows wrap inside ClipRect.
TEST_F(PixelAccess, WrappedFixedReadMixesFourWrappedNeighbours) {
  TCustomBitmap32 b;
  FillPattern(b, 9, 7, 17);
  b.SetClipRect(Rect(2, 1, 7, 6));  // 5 x 5
  b.SetWrapMode(wmRepeat);
  auto wrap = [](int64_t v, int64_t lo, int64_t hi) {
    const int64_t n = hi - lo + 1;
    return static_cast<int>(lo + (((v - lo) % n) + n) % n);
  };
  const TFixed positions[][2] = {{3 * 65536 + 0x4000, 2 * 65536 + 0xC000}, {6 * 65536 + 0x8000, 5 * 65536 + 0x8000},
                                 {-3 * 65536 + 0x1234, 40 * 65536}, {100 * 65536 + 0xFF00, -7 * 65536 + 0x0100}};
  for (const auto& p : positions) {
    const int64_t x = p[0] >> 16, y = p[1] >> 16;
    const int x0 = wrap(x, 2, 6), x1 = wrap(x + 1, 2, 6), y0 = wrap(y, 1, 5), y1 = wrap(y + 1, 1, 5);
    const uint32_t wx = (static_cast<uint32_t>(p[0]) >> 8) & 255, wy = (static_cast<uint32_t>(p[1]) >> 8) & 255;
    const TColor32 top = RefStepPx(b.Pixel(x1, y0), b.Pixel(x0, y0), wx);
    const TColor32 bottom = RefStepPx(b.Pixel(x1, y1), b.Pixel(x0, y1), wx);
    EXPECT_TRUE(SameColor("PixelXW", b.PixelXW(p[0], p[1]), RefStepPx(bottom, top, wy))) << p[0] << "," << p[1];
  }
  b.SetClipRect(Rect(9, 9, 9, 9));  // empty
  EXPECT_EQ(b.PixelXW(65536, 65536), b.OuterColor());
}

// A point wrapped into the last column or row has no right or lower neighbour
// in the bitmap; the write must not reach the next row's first pixel (or past
// the pixels), while a neighbour outside a narrower ClipRect is still written.
TEST_F(PixelAccess, WrappedFixedWriteStaysInsideTheBitmap) {
  const TColor32 background = 0xFF000000u, c = 0xFF20C040u;
  TCustomBitmap32 b;
  Fill(b, 4, 4, background);
  b.SetPixelXW(1000 * 65536, 65536, c);  // clamped to 3.5 px: column 3, row 1
  Picture expected = PictureOf(b);
  expected[{3, 1}] = RefCombineInto(c, background, (255 * RefGamma(127) * 255) >> 16);
  EXPECT_EQ(PictureOf(b), expected);
  b.SetPixelXW(1000 * 65536, 1000 * 65536, c);  // the last pixel of the last row
  expected[{3, 3}] = RefCombineInto(c, background, (255 * RefGamma(127) * RefGamma(127)) >> 16);
  EXPECT_EQ(PictureOf(b), expected);

  TCustomBitmap32 wide;
  Fill(wide, 8, 6, background);
  wide.SetClipRect(Rect(2, 1, 6, 5));
  Picture wideExpected = PictureOf(wide);
  wide.SetPixelXW(1000 * 65536, 2 * 65536, c);  // column 5 at .5: column 6 lies outside ClipRect
  RefSpread(wideExpected, 6 * 256 - 128, 2 * 256, c, cmBlend, [](int64_t, int64_t) { return true; });
  EXPECT_EQ(PictureOf(wide), wideExpected);
}

TEST_F(PixelAccess, BlendedWritesAndResampledReads) {
  TCustomBitmap32 b;
  Fill(b, 5, 5, 0xFF102030u);
  b.SetClipRect(Rect(1, 1, 4, 4));
  const TColor32 c = 0x80FFFFFFu;
  b.SetPixelTS(0, 0, c);  // outside ClipRect
  EXPECT_EQ(b.Pixel(0, 0), 0xFF102030u);
  b.SetPixelTS(2, 2, c);
  EXPECT_EQ(b.Pixel(2, 2), RefCombineInto(c, 0xFF102030u, 0x80));
  b.SetPixelT(0, 4, c);  // unclipped
  EXPECT_EQ(b.Pixel(0, 4), RefCombineInto(c, 0xFF102030u, 0x80));
  PColor32 p = b.PixelPtr(3, 4);
  b.SetPixelT(p, c);
  EXPECT_EQ(p, b.PixelPtr(4, 4));
  EXPECT_EQ(b.Pixel(3, 4), RefCombineInto(c, 0xFF102030u, 0x80));

  b.ResetClipRect();
  b.SetPixel(3, 2, 0xFFABCDEFu);
  b.Resampler()->PrepareSampling();
  EXPECT_EQ(b.PixelFR(2.6f, 1.8f), 0xFFABCDEFu);
  EXPECT_EQ(b.PixelXR(3 * 65536 - 20000, 2 * 65536 + 20000), 0xFFABCDEFu);
}

// A resampled read outside a sampling run prepares one of its own, so it works
// within the bitmap's current ClipRect, OuterColor and access mode; a run in
// progress is left as it is.
struct ResampledReadCase {
  const char* name;
  std::function<std::unique_ptr<TCustomResampler>(TCustomBitmap32*)> make;
  float x, y;  // read position
  int px, py;  // the pixel expected there
};

TEST_F(PixelAccess, ResampledReadsPrepareTheirOwnSampling) {
  const auto kernel = [](TKernelMode mode, TPixelAccessMode access) {
    return [mode, access](TCustomBitmap32* b) -> std::unique_ptr<TCustomResampler> {
      auto r = std::make_unique<TKernelResampler>(b);
      r->SetKernelMode(mode);
      r->SetPixelAccessMode(access);
      return r;
    };
  };
  const ResampledReadCase cases[] = {
      {"kernel, dynamic", kernel(kmDynamic, pamSafe), 3, 2, 3, 2},
      {"kernel, nearest table", kernel(kmTableNearest, pamSafe), 1, 3, 1, 3},
      {"kernel, linear table", kernel(kmTableLinear, pamSafe), 4, 0, 4, 0},
      {"kernel, wrapped", kernel(kmDynamic, pamWrap), 5, 2, 0, 2},
      {"nearest, wrapped",
       [](TCustomBitmap32* b) -> std::unique_ptr<TCustomResampler> {
         auto r = std::make_unique<TNearestResampler>(b);
         r->SetPixelAccessMode(pamWrap);
         return r;
       },
       -1, 1, 4, 1},
  };
  for (const auto& c : cases) {
    TCustomBitmap32 b;
    b.SetSize(5, 4);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 5; ++x) b.SetPixel(x, y, 0xFF000000u | static_cast<uint32_t>(x * 16 + y));
    b.SetOuterColor(0xFF00FF00u);
    b.SetWrapMode(wmRepeat);
    b.SetResampler(c.make(&b));
    EXPECT_EQ(b.PixelFR(c.x, c.y), b.Pixel(c.px, c.py)) << c.name;
    EXPECT_EQ(b.PixelXR(Fixed(c.x), Fixed(c.y)), b.Pixel(c.px, c.py)) << c.name;
  }

  // The read's own run ends with it; a run of the caller keeps its weight table.
  TCustomBitmap32 b;
  b.SetSize(3, 3);
  b.Clear(0xFF405060u);
  auto* r = new TKernelResampler(&b);
  b.SetResampler(std::unique_ptr<TCustomResampler>(r));
  r->SetKernelMode(kmTableNearest);
  EXPECT_EQ(b.PixelFR(1, 1), 0xFF405060u);
  EXPECT_TRUE(r->WeightTable().empty());
  r->PrepareSampling();
  const auto table = r->WeightTable();
  EXPECT_EQ(b.PixelFR(1, 1), 0xFF405060u);
  EXPECT_EQ(r->WeightTable(), table);
  r->FinalizeSampling();
}

TEST_F(PixelAccess, SampleBilinearFormsFollowTheirFormulas) {
  const TFunctionRegistry* registry = FindRegistry("Ras32_Resamplers bindings");
  ASSERT_NE(registry, nullptr);
  std::mt19937 rng(21);
  for (int i = 0; i < 20000; ++i) {
    const TColor32 row0[2] = {static_cast<TColor32>(rng()), static_cast<TColor32>(rng())};
    const TColor32 row1[2] = {static_cast<TColor32>(rng()), static_cast<TColor32>(rng())};
    const uint32_t wx = rng() % 257, wy = rng() % 257;
    const TColor32 portable =
        RefStepPx(RefStepPx(row0[0], row0[1], std::min(wx, 255u)), RefStepPx(row1[0], row1[1], std::min(wx, 255u)),
                  std::min(wy, 255u));
    ASSERT_EQ(raster_portable::SampleBilinear(wx, wy, row0, row1), portable) << wx << " " << wy;
#if RASTER_SSE2_FORMS
    const TColor32 sse2 = RefBilinear(wx, wy, row0[0], row0[1], row1[0], row1[1]);
    ASSERT_EQ(raster_sse2::SampleBilinear(wx, wy, row0, row1), sse2) << wx << " " << wy;
    if (wx == 256 && wy == 256) {
      ASSERT_EQ(sse2, row0[0]);
    }
#endif
  }
#if RASTER_SSE2_FORMS
  if (CpuSupports(ciSSE2)) {
    EXPECT_EQ(SampleBilinear, &raster_sse2::SampleBilinear);
  }
#endif
}

}  // namespace
