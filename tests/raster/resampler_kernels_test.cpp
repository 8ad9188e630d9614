#include "raster/resampler_kernels.h"

#include "raster/bitmap32.h"

#include "bitmap_test_support.h"

#include <cmath>
#include <numeric>

namespace {

class Kernels : public RasterTest {};

constexpr double kPi = 3.14159265358979323846;
double RefSinc(double x) { return x == 0 ? 1 : std::sin(kPi * x) / (kPi * x); }

TEST_F(Kernels, ValuesAtKnownPointsFollowTheirFormulas) {
  TMitchellKernel mitchell;
  TCubicKernel cubic;
  TLanczosKernel lanczos;
  TSplineKernel spline;
  TLinearKernel linear;
  TBoxKernel box;
  THannKernel hann;
  TCosineKernel cosine;
  struct Case {
    const char* what;
    TCustomKernel* kernel;
    float x;
    double expected;
  };
  const double c = -0.5;
  const Case cases[] = {
      {"Mitchell(0) = 16/18", &mitchell, 0.0f, 16.0 / 18},
      {"Mitchell(1.5)", &mitchell, 1.5f, (-7 * 3.375 + 36 * 2.25 - 60 * 1.5 + 32) / 18},
      {"Cubic(1) = C(1 - 5 + 8 - 4)", &cubic, 1.0f, c * (1 - 5 + 8 - 4)},
      {"Cubic(0.5)", &cubic, 0.5f, (c + 2) * 0.125 - (c + 3) * 0.25 + 1},
      {"Lanczos(0.5) = sinc(0.5) sinc(0.5/3)", &lanczos, 0.5f, RefSinc(0.5) * RefSinc(0.5 / 3)},
      {"Lanczos(-2.5)", &lanczos, -2.5f, RefSinc(2.5) * RefSinc(2.5 / 3)},
      {"Lanczos(3) outside", &lanczos, 3.0f, 0},
      {"Spline(0) = 2/3", &spline, 0.0f, 2.0 / 3},
      {"Spline(1.5) = 0.5^3/6", &spline, 1.5f, 0.125 / 6},
      {"Linear(0.25)", &linear, 0.25f, 0.75},
      {"Box(0.5) inside", &box, 0.5f, 1},
      {"Box(0.51) outside", &box, 0.51f, 0},
      {"Hann(1.5)", &hann, 1.5f, RefSinc(1.5) * (0.5 + 0.5 * std::cos(kPi * 1.5 / 3))},
      {"Cosine(0.5) = 1/2", &cosine, 0.5f, 0.5},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    EXPECT_NEAR(k.kernel->Filter(k.x), k.expected, 2e-6);
  }
}

TEST_F(Kernels, WidthsRangeChecksAndSettersFollowTheirLimits) {
  for (const TKernelClass& c : KernelClasses()) {
    auto kernel = c.Create();
    SCOPED_TRACE(c.ClassName.toStdString());
    EXPECT_EQ(kernel->ClassName(), c.ClassName);
    const bool small = c.ClassName == "TBoxKernel" || c.ClassName == "TLinearKernel" || c.ClassName == "TCosineKernel";
    EXPECT_EQ(kernel->RangeCheck(), !small);
    const float width = kernel->GetWidth();
    EXPECT_EQ(width, small ? 1.0f : (c.ClassName == "TSplineKernel" || c.ClassName == "TMitchellKernel" ||
                                     c.ClassName == "TCubicKernel" || c.ClassName == "THermiteKernel")
                                        ? 2.0f
                                        : 3.0f);
  }
  EXPECT_EQ(KernelClasses().size(), 14u);
  TLanczosKernel lanczos;
  lanczos.SetWidth(20);
  EXPECT_EQ(lanczos.Width(), 16.0f);
  TAlbrechtKernel albrecht;
  albrecht.SetTerms(40);
  EXPECT_EQ(albrecht.Terms(), 11);
  // The window at 0 is the sum of the coefficients (c = 1); for 2 terms 1.0.
  albrecht.SetTerms(2);
  EXPECT_NEAR(albrecht.Window(0), 1.0, 1e-6);
}

// Weights of every cluster add up to 256 and positions stay inside the source.
void ExpectClustersValid(const TMappingTable& map, int srcLo, int srcHi) {
  for (size_t i = 0; i < map.size(); ++i) {
    SCOPED_TRACE(testing::Message() << "cluster " << i);
    ASSERT_FALSE(map[i].empty());
    int sum = 0;
    for (const TPointRec& p : map[i]) {
      sum += p.Weight;
      EXPECT_GE(p.Pos, srcLo);
      EXPECT_LT(p.Pos, srcHi);
    }
    EXPECT_EQ(sum, 256);
  }
}

TEST_F(Kernels, TapClustersSumTo256WhenEnlargingAndReducing) {
  struct Case {
    int srcLo, srcHi, dstLo, dstHi;
  };
  const Case cases[] = {{0, 10, 0, 20}, {0, 100, 0, 10}, {5, 17, 3, 50}, {0, 1000, 0, 333}, {0, 7, 0, 7}};
  for (const TKernelClass& k : KernelClasses())
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << k.ClassName.toStdString() << " " << c.srcHi - c.srcLo << " to "
                                      << c.dstHi - c.dstLo);
      auto kernel = k.Create();
      const TMappingTable map = MakeTapTable(c.dstLo, c.dstHi, c.dstLo, c.dstHi, c.srcLo, c.srcHi, *kernel);
      ASSERT_EQ(map.size(), static_cast<size_t>(c.dstHi - c.dstLo));
      ExpectClustersValid(map, c.srcLo, c.srcHi);
    }
}

TEST_F(Kernels, LanczosEnlargementKeepsTapsNearTheCentreAndRepeatsTheEdges) {
  TLanczosKernel lanczos;
  const TMappingTable map = MakeTapTable(0, 20, 0, 20, 0, 10, lanczos);
  ExpectClustersValid(map, 0, 10);
  for (size_t i = 0; i < map.size(); ++i) {
    const double centre = -0.5 + (i + 0.5) * 0.5;
    for (const TPointRec& p : map[i]) {
      if (p.Pos > 0 && p.Pos < 9) {
        EXPECT_LT(std::fabs(centre - p.Pos), 3.0) << i;
      }
    }
  }
  // The first cluster reaches left of 0 and repeats position 0; the last repeats 9.
  const auto count = [](const TCluster& c, int pos) {
    return std::count_if(c.begin(), c.end(), [pos](const TPointRec& p) { return p.Pos == pos; });
  };
  EXPECT_GE(count(map.front(), 0), 2);
  EXPECT_GE(count(map.back(), 9), 2);
}

TEST_F(Kernels, TapCountOfAHundredToTenReduction) {
  TLanczosKernel lanczos;
  const TMappingTable map = MakeTapTable(0, 10, 0, 10, 0, 100, lanczos);
  ASSERT_EQ(map.size(), 10u);
  for (size_t i = 0; i < map.size(); ++i) {
    SCOPED_TRACE(i);
    // Centre 10 i + 4.5, FW = 30: candidates floor(c - 30) .. ceil(c + 30); a tap
    // stays when round(L((c - j) / 10) / 10 x 256) is not 0, L(x) = sinc(x) sinc(x / 3).
    const double centre = 10.0 * i + 4.5;
    int expected = 0;
    for (int j = static_cast<int>(std::floor(centre - 30)); j <= static_cast<int>(std::ceil(centre + 30)); ++j) {
      const double x = std::fabs(centre - j) / 10;
      const double value = x >= 3 ? 0 : RefSinc(x) * RefSinc(x / 3) / 10 * 256;
      if (std::nearbyint(value) != 0) ++expected;
    }
    EXPECT_EQ(static_cast<int>(map[i].size()), expected);
    EXPECT_LE(map[i].size(), 61u);
  }
  ExpectClustersValid(map, 0, 100);
}

TEST_F(Kernels, SourceOfWidthOneGivesOneFullTap) {
  TLanczosKernel lanczos;
  const TMappingTable map = MakeTapTable(0, 6, 2, 5, 4, 5, lanczos);
  ASSERT_EQ(map.size(), 3u);
  for (const TCluster& c : map) EXPECT_EQ(c, (TCluster{{4, 256}}));
}

TEST_F(Kernels, BoxKernelCopiesExactlyAtScaleOne) {
  TBoxKernel box;
  const TMappingTable map = MakeTapTable(0, 9, 0, 9, 3, 12, box);
  for (size_t i = 0; i < map.size(); ++i) EXPECT_EQ(map[i], (TCluster{{static_cast<int32_t>(i) + 3, 256}}));

  TCustomBitmap32 source;
  std::mt19937 rng(3);
  std::vector<TColor32> pixels(12 * 5);
  for (TColor32& p : pixels) p = rng();
  SetPixels(source, 12, 5, pixels);
  TCustomBitmap32 dest;
  dest.SetSize(9, 4);
  TKernelResampler resampler(&source);
  // Equal sizes through the kernel loop itself, not the unscaled copy.
  KernelResample(&dest, dest.BoundsRect(), dest.BoundsRect(), &source, Rect(3, 1, 12, 5), *resampler.Kernel(),
                 dmOpaque, nullptr);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 9; ++x) ASSERT_EQ(dest.Pixel(x, y), source.Pixel(x + 3, y + 1)) << x << "," << y;
}

TEST_F(Kernels, UniformColourSurvivesEveryKernelBothWays) {
  const TColor32 colour = 0xC8327D19u;
  TCustomBitmap32 source;
  SetPixels(source, 30, 20, std::vector<TColor32>(600, colour));
  for (const TKernelClass& k : KernelClasses())
    for (const TSize size : {TSize{71, 45}, TSize{11, 7}}) {
      SCOPED_TRACE(testing::Message() << k.ClassName.toStdString() << " to " << size.cx);
      TCustomBitmap32 dest;
      dest.SetSize(size.cx, size.cy);
      auto kernel = k.Create();
      KernelResample(&dest, dest.BoundsRect(), dest.BoundsRect(), &source, source.BoundsRect(), *kernel, dmOpaque,
                     nullptr);
      EXPECT_EQ(PixelsOf(dest), std::vector<TColor32>(static_cast<size_t>(size.cx * size.cy), colour));
    }
}

TEST_F(Kernels, LanczosOvershootIsLimitedNotWrapped) {
  // A hard step; Lanczos rings above 255 and below 0 next to it.
  TCustomBitmap32 source;
  std::vector<TColor32> pixels(16);
  for (int x = 0; x < 16; ++x) pixels[static_cast<size_t>(x)] = x < 8 ? 0xFF000000u : 0xFFFFFFFFu;
  SetPixels(source, 16, 1, pixels);
  TCustomBitmap32 dest;
  dest.SetSize(48, 1);
  TLanczosKernel lanczos;
  KernelResample(&dest, dest.BoundsRect(), dest.BoundsRect(), &source, source.BoundsRect(), lanczos, dmOpaque,
                 nullptr);
  const TMappingTable map = MakeTapTable(0, 48, 0, 48, 0, 16, lanczos);
  int limitedHigh = 0, limitedLow = 0;
  for (int x = 0; x < 48; ++x) {
    // The exact sum of the white share in 1/65536 (one vertical tap of 256).
    int64_t v = 0;
    for (const TPointRec& p : map[static_cast<size_t>(x)]) v += int64_t{p.Weight} * 256 * (p.Pos < 8 ? 0 : 255);
    const uint32_t expected = v > 0xFF0000 ? 255u : v < 0 ? 0u : static_cast<uint32_t>(v >> 16);
    limitedHigh += v > 0xFF0000;
    limitedLow += v < 0;
    EXPECT_EQ(Ch(dest.Pixel(x, 0), 1), expected) << x;
  }
  EXPECT_GT(limitedHigh, 0);
  EXPECT_GT(limitedLow, 0);
}

TEST_F(Kernels, TwoPassResultIsTheDoubleSumOfTheTapTables) {
  TCustomBitmap32 source;
  std::mt19937 rng(21);
  std::vector<TColor32> pixels(13 * 9);
  for (TColor32& p : pixels) p = rng();
  SetPixels(source, 13, 9, pixels);
  struct Case {
    const char* what;
    TRect src;
    TRect dst;
    TRect clip;
  };
  const Case cases[] = {
      {"enlarge x, reduce y", Rect(0, 0, 13, 9), Rect(0, 0, 29, 4), Rect(0, 0, 29, 4)},
      {"sub-rectangle, clipped", Rect(2, 1, 11, 8), Rect(-3, 2, 20, 30), Rect(1, 4, 15, 22)},
  };
  TLanczosKernel lanczos;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TCustomBitmap32 dest;
    dest.SetSize(c.clip.Right + 2, c.clip.Bottom + 2);
    dest.Clear(0x12345678u);
    KernelResample(&dest, c.dst, c.clip, &source, c.src, lanczos, dmOpaque, nullptr);
    const TMappingTable mx = MakeTapTable(c.dst.Left, c.dst.Right, c.clip.Left, c.clip.Right, c.src.Left, c.src.Right, lanczos);
    const TMappingTable my = MakeTapTable(c.dst.Top, c.dst.Bottom, c.clip.Top, c.clip.Bottom, c.src.Top, c.src.Bottom, lanczos);
    for (int y = 0; y < dest.Height(); ++y)
      for (int x = 0; x < dest.Width(); ++x) {
        const bool inside = x >= c.clip.Left && x < c.clip.Right && y >= c.clip.Top && y < c.clip.Bottom;
        TColor32 expected = 0x12345678u;
        if (inside)
          expected = PerChannel([&](int ch) {
            int64_t v = 0;
            for (const TPointRec& px : mx[static_cast<size_t>(x - c.clip.Left)])
              for (const TPointRec& py : my[static_cast<size_t>(y - c.clip.Top)])
                v += int64_t{px.Weight} * py.Weight * Ch(source.Pixel(px.Pos, py.Pos), ch);
            return v > 0xFF0000 ? 255u : v < 0 ? 0u : static_cast<uint32_t>(v >> 16);
          });
        ASSERT_EQ(dest.Pixel(x, y), expected) << x << "," << y;
      }
  }
}

TEST_F(Kernels, ResamplerKernelSettersIgnoreUnknownNamesAndLimitTheTable) {
  TKernelResampler resampler;
  EXPECT_EQ(resampler.KernelClassName(), QStringLiteral("TBoxKernel"));
  resampler.SetKernelClassName(QStringLiteral("TNoSuchKernel"));
  EXPECT_EQ(resampler.KernelClassName(), QStringLiteral("TBoxKernel"));
  resampler.SetKernelClassName(QStringLiteral("TLanczosKernel"));
  EXPECT_EQ(resampler.KernelClassName(), QStringLiteral("TLanczosKernel"));
  EXPECT_EQ(resampler.GetWidth(), 3.0f);
  resampler.SetTableSize(1);
  EXPECT_EQ(resampler.TableSize(), 2);
  resampler.SetKernel(nullptr);
  EXPECT_EQ(resampler.KernelClassName(), QStringLiteral("TLanczosKernel"));
}

}  // namespace

namespace {

class KernelSampling : public RasterTest {};

TEST_F(KernelSampling, ExactPixelCentreWithTheBoxKernelReturnsThatPixel) {
  TCustomBitmap32 bitmap;
  SetPixels(bitmap, 3, 3, {0xFF010203u, 0xFF102030u, 0xFF405060u, 0xFF708090u, 0xFFA0B0C0u, 0xFFD0E0F0u,
                           0xFF0A0B0Cu, 0xFF1A1B1Cu, 0xFF2A2B2Cu});
  TKernelResampler resampler(&bitmap);
  for (TKernelMode mode : {kmDynamic, kmTableNearest, kmTableLinear}) {
    resampler.SetKernelMode(mode);
    resampler.PrepareSampling();
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 3; ++x)
        EXPECT_EQ(resampler.GetSampleFloat(static_cast<float>(x), static_cast<float>(y)), bitmap.Pixel(x, y))
            << "mode " << int(mode) << " at " << x << "," << y;
    resampler.FinalizeSampling();
  }
}

TEST_F(KernelSampling, TableRowsSumTo256AndExistOnlyWhilePrepared) {
  TCustomBitmap32 bitmap;
  bitmap.SetSize(4, 4);
  TKernelResampler resampler(&bitmap);
  resampler.SetKernelClassName(QStringLiteral("TLanczosKernel"));
  resampler.SetKernelMode(kmTableLinear);
  resampler.SetTableSize(16);
  resampler.PrepareSampling();
  ASSERT_EQ(resampler.WeightTable().size(), 17u);
  for (const auto& row : resampler.WeightTable()) {
    ASSERT_EQ(row.size(), 7u);
    EXPECT_EQ(std::accumulate(row.begin(), row.end(), 0), 256);
  }
  // Row 0 is the kernel at whole offsets: all weight on the centre.
  EXPECT_EQ(resampler.WeightTable()[0], (std::vector<int32_t>{0, 0, 0, 256, 0, 0, 0}));
  resampler.FinalizeSampling();
  EXPECT_TRUE(resampler.WeightTable().empty());
}

TEST_F(KernelSampling, HalfWayBetweenTwoPixelsWithTheLinearKernelAveragesThem) {
  TCustomBitmap32 bitmap;
  SetPixels(bitmap, 2, 1, {0xFF000000u, 0xFFC8C8C8u});
  TKernelResampler resampler(&bitmap);
  resampler.SetKernelClassName(QStringLiteral("TLinearKernel"));
  resampler.SetPixelAccessMode(pamSafe);
  resampler.PrepareSampling();
  // Weights 128 / 128 horizontally, 256 vertically: (200 x 128 x 256 + $7FFF) shr 16 = 100.
  EXPECT_EQ(resampler.GetSampleFloat(0.5f, 0.0f), 0xFF646464u);
  // Outside the clip in pamSafe: OuterColor.
  bitmap.SetOuterColor(0x11223344u);
  resampler.PrepareSampling();
  EXPECT_EQ(resampler.GetSampleFloat(-5.0f, 0.0f), 0x11223344u);
}

TEST_F(KernelSampling, WrappingIntoAnEmptyClipGivesTheOuterColour) {
  TCustomBitmap32 bitmap;
  SetPixels(bitmap, 2, 2, {0xFF102030u, 0xFF405060u, 0xFF708090u, 0xFFA0B0C0u});
  bitmap.SetOuterColor(0x11223344u);
  bitmap.SetClipRect(TRect{5, 5, 9, 9});  // misses the bitmap: (0, 0, 0, 0)
  for (TWrapMode mode : {wmClamp, wmRepeat, wmMirror}) {
    bitmap.SetWrapMode(mode);
    TKernelResampler resampler(&bitmap);
    resampler.SetPixelAccessMode(pamWrap);
    resampler.PrepareSampling();
    EXPECT_EQ(resampler.GetSampleFloat(1.0f, 1.0f), 0x11223344u) << int(mode);
    resampler.FinalizeSampling();
  }
}

}  // namespace
