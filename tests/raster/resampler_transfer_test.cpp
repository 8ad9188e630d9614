#include "raster/resampler_transfer.h"

#include "raster/bitmap32.h"

#include "bitmap_test_support.h"

#include <numeric>

namespace resampler_transfer_test {

class Transfer : public RasterTest {};

std::vector<TColor32> Row(const TCustomBitmap32& bitmap, int y) {
  return std::vector<TColor32>(bitmap.ScanLine(y), bitmap.ScanLine(y) + bitmap.Width());
}

TEST_F(Transfer, NearestColumnMapFromTwoColumnsToTwoThroughFive) {
  TCustomBitmap32 source;
  SetPixels(source, 2, 1, {0xFF000010u, 0xFF000020u});
  const TColor32 a = 0xFF000010u, b = 0xFF000020u;
  struct Case {
    int width;
    std::vector<TColor32> expected;  // column I reads trunc(I x 2 / width)
  };
  const Case cases[] = {{2, {a, b}}, {3, {a, a, b}}, {4, {a, a, b, b}}, {5, {a, a, a, b, b}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.width);
    TCustomBitmap32 dest;
    dest.SetSize(c.width, 1);
    TNearestResampler nearest(&source);
    ResampleTransfer(&dest, dest.BoundsRect(), dest.BoundsRect(), &source, source.BoundsRect(), &nearest, dmOpaque,
                     nullptr);
    EXPECT_EQ(Row(dest, 0), c.expected);
  }
}

TEST_F(Transfer, SourceRectanglePartlyOutsideMovesTheDestinationRectangle) {
  TCustomBitmap32 source;
  source.SetSize(100, 50);
  struct Case {
    const char* what;
    TRect src, dst, expectedSrc, expectedDst;
  };
  const Case cases[] = {
      {"left 10 out at ratio 2", Rect(-10, 0, 90, 50), Rect(0, 0, 200, 100), Rect(0, 0, 90, 50),
       Rect(20, 0, 200, 100)},
      {"left 3 out at ratio 1.5: ceiling of 4.5", Rect(-3, 0, 97, 50), Rect(0, 0, 150, 50), Rect(0, 0, 97, 50),
       Rect(5, 0, 150, 50)},
      {"right 3 out at ratio 1.5: floor of 4.5", Rect(3, 0, 103, 50), Rect(0, 0, 150, 50), Rect(3, 0, 100, 50),
       Rect(0, 0, 146, 50)},
      {"top 5 and bottom 5 out at ratio 0.5", Rect(0, -5, 100, 55), Rect(0, 0, 100, 30), Rect(0, 0, 100, 50),
       Rect(0, 3, 100, 28)},
      {"inside: unchanged", Rect(10, 10, 20, 20), Rect(0, 0, 7, 7), Rect(10, 10, 20, 20), Rect(0, 0, 7, 7)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TRect src = c.src, dst = c.dst;
    AdjustSrcRect(&source, dst, src);
    EXPECT_EQ(src, c.expectedSrc);
    EXPECT_EQ(dst, c.expectedDst);
  }
}

TEST_F(Transfer, ResampleTransferReportsTheAdjustedDestinationAndDrawsThere) {
  TCustomBitmap32 source;
  SetPixels(source, 100, 50, std::vector<TColor32>(5000, 0xFFFFFFFFu));
  TCustomBitmap32 dest;
  dest.SetSize(200, 100);
  dest.Clear(0xFF000000u);
  NotificationRecorder rec(dest);
  ResampleTransfer(&dest, Rect(0, 0, 200, 100), dest.BoundsRect(), &source, Rect(-10, 0, 90, 50),
                   source.Resampler(), dmOpaque, nullptr);
  ASSERT_EQ(rec.areas.size(), 1u);
  EXPECT_EQ(rec.areas[0], Rect(20, 0, 200, 100));
  EXPECT_EQ(dest.Pixel(19, 5), 0xFF000000u);
  EXPECT_EQ(dest.Pixel(20, 5), 0xFFFFFFFFu);
}

TEST_F(Transfer, BlendWithMasterAlpha64OfWhiteOverOpaqueBlack) {
  TCustomBitmap32 source;
  SetPixels(source, 100, 50, std::vector<TColor32>(5000, 0xFFFFFFFFu));
  source.SetMasterAlpha(64);
  struct Case {
    const char* what;
    bool copyBlock;
  };
  for (const Case& c : {Case{"CopyBlock", true}, Case{"ResampleTransfer", false}}) {
    SCOPED_TRACE(c.what);
    TCustomBitmap32 dest;
    dest.SetSize(100, 50);
    dest.Clear(0xFF000000u);
    if (c.copyBlock)
      CopyBlock(&dest, 0, 0, dest.BoundsRect(), &source, source.BoundsRect(), dmBlend, nullptr);
    else
      ResampleTransfer(&dest, dest.BoundsRect(), dest.BoundsRect(), &source, source.BoundsRect(), source.Resampler(),
                       dmBlend, nullptr);
    EXPECT_EQ(PixelsOf(dest), std::vector<TColor32>(5000, 0xFF404040u));
  }
}

TEST_F(Transfer, CopyBlockClipsAndReportsOnlyWhatItDrew) {
  TCustomBitmap32 source;
  std::vector<TColor32> pixels(16);
  std::iota(pixels.begin(), pixels.end(), 0xFF000000u);
  SetPixels(source, 4, 4, pixels);
  TCustomBitmap32 dest;
  dest.SetSize(4, 4);
  dest.Clear(0);
  NotificationRecorder rec(dest);
  // Source (1,1)-(4,4) to (2,2): only a 2 x 2 part fits into dest.
  CopyBlock(&dest, 2, 2, Rect(0, 0, 100, 100), &source, Rect(1, 1, 4, 4), dmOpaque, nullptr);
  ASSERT_EQ(rec.areas.size(), 1u);
  EXPECT_EQ(rec.areas[0], Rect(2, 2, 4, 4));
  EXPECT_EQ(dest.Pixel(2, 2), source.Pixel(1, 1));
  EXPECT_EQ(dest.Pixel(3, 3), source.Pixel(2, 2));
  EXPECT_EQ(dest.Pixel(1, 1), 0u);
  // Wholly outside the source: nothing drawn, nothing reported.
  rec.Reset();
  CopyBlock(&dest, 0, 0, dest.BoundsRect(), &source, Rect(10, 10, 14, 14), dmOpaque, nullptr);
  EXPECT_TRUE(rec.areas.empty());
}

TEST_F(Transfer, MissingBitmapsRaiseTheirTexts) {
  TCustomBitmap32 bitmap;
  bitmap.SetSize(2, 2);
  struct Case {
    TCustomBitmap32* dst;
    TCustomBitmap32* src;
    const char* text;
  };
  for (const Case& c : {Case{nullptr, &bitmap, "Destination bitmap is nil"}, Case{&bitmap, nullptr, "Source bitmap is nil"}}) {
    try {
      CopyBlock(c.dst, 0, 0, Rect(0, 0, 2, 2), c.src, Rect(0, 0, 2, 2), dmOpaque, nullptr);
      FAIL() << c.text;
    } catch (const EBitmapException& e) {
      EXPECT_STREQ(e.what(), c.text);
    }
    try {
      ResampleTransfer(c.dst, Rect(0, 0, 2, 2), Rect(0, 0, 2, 2), c.src, Rect(0, 0, 2, 2), nullptr, dmOpaque, nullptr);
      FAIL() << c.text;
    } catch (const EBitmapException& e) {
      EXPECT_STREQ(e.what(), c.text);
    }
  }
}

TEST_F(Transfer, BilinearMapShiftsTheLastEntriesLeftWithWeightZero) {
  // 2 to 4: Fx = -0.25, 0.25, 0.75, 1.25 (limited at 0); the last entry would read column 2.
  const std::vector<TPointRec> expected = {{0, 256}, {0, 192}, {0, 64}, {0, 0}};
  EXPECT_EQ(BuildBilinearMap(0, 4, 0, 4, 0, 2, 2), expected);
  // A sub-rectangle from column 1 of a wider source: Fx = 0.75 .. 2.25.
  const std::vector<TPointRec> inner = {{0, 64}, {1, 192}, {1, 64}, {1, 0}};
  EXPECT_EQ(BuildBilinearMap(0, 4, 0, 4, 1, 3, 5), inner);
}

TEST_F(Transfer, LinearResamplerEnlargesBilinearlyBetweenColumns) {
  TCustomBitmap32 source;
  SetPixels(source, 2, 2, {0xFF000000u, 0xFFFFFFFFu, 0xFF000000u, 0xFFFFFFFFu});
  TCustomBitmap32 dest;
  dest.SetSize(4, 2);
  TLinearResampler linear(&source);
  ResampleTransfer(&dest, Rect(0, 0, 4, 4), Rect(0, 0, 4, 4), &source, source.BoundsRect(), &linear, dmOpaque,
                   nullptr);
  // The upper-left weight W keeps W/256 of black: white share 0, 64, 192, 256 of 256.
  for (int x = 0; x < 4; ++x) {
    const uint32_t white = std::array<uint32_t, 4>{0, 64, 192, 256}[static_cast<size_t>(x)];
    const uint32_t expected = white == 256 ? 255 : (255 * white) >> 8;
    SCOPED_TRACE(x);
    EXPECT_NEAR(static_cast<int>(Ch(dest.Pixel(x, 0), 1)), static_cast<int>(expected), 1);
  }
}

TEST_F(Transfer, DraftAveragesBlocksAndWideBlocksUseTheFullSums) {
  struct Case {
    const char* what;
    int srcWidth;
    int dstWidth;
  };
  const Case cases[] = {{"4 to 2", 4, 2}, {"514 to 2 (257 wide)", 514, 2}, {"2400 to 2 (1200 wide)", 2400, 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TCustomBitmap32 source;
    std::vector<TColor32> pixels(static_cast<size_t>(c.srcWidth));
    for (int x = 0; x < c.srcWidth; ++x)
      pixels[static_cast<size_t>(x)] = Argb(255, 250 - x % 7, (x * 37) % 256, 200 + x % 50);
    SetPixels(source, c.srcWidth, 1, pixels);
    TCustomBitmap32 dest;
    dest.SetSize(c.dstWidth, 1);
    TDraftResampler draft(&source);
    ResampleTransfer(&dest, dest.BoundsRect(), dest.BoundsRect(), &source, source.BoundsRect(), &draft, dmOpaque,
                     nullptr);
    const int block = c.srcWidth / c.dstWidth;
    for (int k = 0; k < c.dstWidth; ++k) {
      const uint64_t f = 16777216u / static_cast<uint64_t>(block);
      const TColor32 expected = PerChannel([&](int ch) {
        uint64_t sum = 0;
        for (int x = k * block; x < (k + 1) * block; ++x) sum += Ch(pixels[static_cast<size_t>(x)], ch);
        return static_cast<uint32_t>((sum * f) >> 24);
      });
      EXPECT_EQ(dest.Pixel(k, 0), expected) << "column " << k;
    }
  }
}

TEST_F(Transfer, BoundAverageBlockAgreesWithThePortableSums) {
  std::mt19937 rng(7);
  std::vector<TColor32> pixels(257 * 5);
  for (TColor32& p : pixels) p = rng();
  for (uint32_t w : {1u, 2u, 3u, 16u, 255u, 257u})
    for (uint32_t h : {1u, 3u, 5u}) {
      SCOPED_TRACE(testing::Message() << w << " x " << h);
      EXPECT_EQ(AverageBlock(w, h, pixels.data(), 257 * 4),
                raster_portable::AverageBlock(w, h, pixels.data(), 257 * 4));
    }
}

TEST_F(Transfer, ScaledPathsRejectAnInvalidSourceRectangle) {
  TCustomBitmap32 source;
  source.SetSize(4, 4);
  TCustomBitmap32 dest;
  dest.SetSize(8, 8);
  TLanczosKernel lanczos;
  const TRect bad = Rect(0, 0, 5, 4);
  const std::function<void()> calls[] = {
      [&] { ScaleBilinear(&dest, dest.BoundsRect(), dest.BoundsRect(), &source, bad, dmOpaque, nullptr); },
      [&] { ScaleDraft(&dest, Rect(0, 0, 2, 2), dest.BoundsRect(), &source, bad, lanczos, dmOpaque, nullptr); },
      [&] { KernelResample(&dest, dest.BoundsRect(), dest.BoundsRect(), &source, bad, lanczos, dmOpaque, nullptr); },
  };
  for (const auto& call : calls) {
    try {
      call();
      FAIL() << "accepted";
    } catch (const ERasterError& e) {
      EXPECT_STREQ(e.what(), "Invalid SrcRect");
    }
  }
}

TEST_F(Transfer, ClassListHoldsTheResamplersInOrder) {
  const auto& list = ResamplerClasses();
  ASSERT_EQ(list.size(), 4u);
  const char* names[] = {"TNearestResampler", "TLinearResampler", "TDraftResampler", "TKernelResampler"};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(list[i].ClassName, QString::fromLatin1(names[i]));
    EXPECT_EQ(list[i].Create(nullptr)->ClassName(), QString::fromLatin1(names[i]));
  }
}

}  // namespace resampler_transfer_test

namespace resampler_transfer_test {

class LinearSampling : public RasterTest {};

TEST_F(LinearSampling, ReadersFollowThePixelAccessMode) {
  TCustomBitmap32 bitmap;
  SetPixels(bitmap, 3, 2, {0xFF102030u, 0xFF405060u, 0xFF708090u, 0xFFA0B0C0u, 0xFFD0E0F0u, 0xFF000000u});
  TLinearResampler linear(&bitmap);
  struct Case {
    const char* what;
    TPixelAccessMode mode;
    TFixed x, y;
    TColor32 expected;
  };
  const Case cases[] = {
      {"safe, inside: PixelXS", pamSafe, 0x8000, 0x4000, bitmap.PixelXS(0x8000, 0x4000)},
      {"unsafe: PixelX", pamUnsafe, 0x10000, 0x8000, bitmap.PixelX(0x10000, 0x8000)},
      {"wrap: PixelXW", pamWrap, -0x8000, 0x28000, bitmap.PixelXW(-0x8000, 0x28000)},
      {"transparent edge, far outside: 0", pamTransparentEdge, -0x30000, 0, 0u},
      // (0, 1) on the left and bottom rim: C00, C01 (left) and C01, C11 (bottom)
      // lose alpha; C10 is the same pixel with alpha kept. Weights GammaTable[255] = 255.
      {"transparent edge, on the rim pixel (0, 1)", pamTransparentEdge, 0, 0x10000,
       RefStepPx(RefStepPx(0x00A0B0C0u, 0xFFA0B0C0u, 255), RefStepPx(0x00A0B0C0u, 0x00A0B0C0u, 255), 255)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    linear.SetPixelAccessMode(c.mode);
    linear.PrepareSampling();
    EXPECT_EQ(linear.GetSampleFixed(c.x, c.y), c.expected);
    EXPECT_EQ(linear.GetSampleFloat(c.x / 65536.0f, c.y / 65536.0f), c.expected);
  }
}

}  // namespace resampler_transfer_test
