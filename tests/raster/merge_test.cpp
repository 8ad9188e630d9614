// The merge family (the table form, bound on every processor) against the
// composite written out with floating-point tables.

#include "raster/blend.h"
#include "raster/blend_forms.h"

#include "raster_test_support.h"

#include <vector>

namespace {

class Merge : public RasterTest {};

// BlendPx as bound on this build.
TColor32 RefBoundBlendPx(TColor32 f, TColor32 b) {
#if RASTER_SSE2_FORMS
  return RefStepPx(f, b, Alpha(f));
#else
  const uint32_t fa = Alpha(f);
  return fa == 0 ? b : fa == 255 ? f : RefTableMix(f, b, fa, Alpha(b));
#endif
}

TColor32 RefMerge(TColor32 f, TColor32 b) {
  const uint32_t fa = Alpha(f), ba = Alpha(b);
  if (fa == 0) return b;
  if (ba == 255) return RefBoundBlendPx(f, b) | 0xFF000000u;
  if (fa == 255 || ba == 0) return f;
  const uint32_t ra = (fa + ba - RefMul(ba, fa)) % 256;
  return PerChannel([&](int i) -> uint32_t {
    if (i == 3) return ra;
    const int bp = static_cast<int>(RefMul(ba, Ch(b, i)));
    const int d = static_cast<int>(Ch(f, i)) - bp;
    return RefQuot(ra, d >= 0 ? bp + RefMul(fa, d) : bp - RefMul(fa, -d));
  });
}

TEST_F(Merge, ExampleColours) {
  // Ra = 128 + 128 - 64 = 192; red QuotTable[192, 128] = 170; blue QuotTable[192, 64] = 85.
  EXPECT_TRUE(SameColor("MergePx", MergePx(0x80FF0000, 0x800000FF), 0xC0AA0055));
  EXPECT_TRUE(SameColor("Ba = 0", MergePx(0x80FF0000, 0x00123456), 0x80FF0000));
  EXPECT_TRUE(SameColor("Fa = 0", MergePx(0x00FF0000, 0x40123456), 0x40123456));
  EXPECT_TRUE(SameColor("Fa = 255", MergePx(0xFFFF0000, 0x40123456), 0xFFFF0000));
  // Ba = 255: the bound BlendPx made opaque.
  EXPECT_TRUE(SameColor("Ba = 255", MergePx(0x80FF0000, 0xFF0000FF), RefBoundBlendPx(0x80FF0000, 0xFF0000FF) | 0xFF000000));
  EXPECT_EQ(Alpha(MergePx(0x01FFFFFF, 0xFF000000)), 255u);
}

// Every pair of alphas with a few colours each.
TEST_F(Merge, MergePxForEveryAlphaPair) {
  ColorSource colors(17);
  for (uint32_t fa = 0; fa < 256; ++fa)
    for (uint32_t ba = 0; ba < 256; ++ba)
      for (int k = 0; k < 4; ++k) {
        const TColor32 f = (fa << 24) | (colors.Any() & 0x00FFFFFFu);
        const TColor32 b = (ba << 24) | (colors.Any() & 0x00FFFFFFu);
        ASSERT_TRUE(SameColor("MergePx", MergePx(f, b), RefMerge(f, b)));
        TColor32 into = b;
        MergePxInto(f, into);
        ASSERT_TRUE(SameColor("MergePxInto", into, RefMerge(f, b)));
      }
}

// The master alpha replaces F's alpha by MulTable[M, Fa] before the merge.
TEST_F(Merge, MasterAlphaForms) {
  ColorSource colors(19);
  for (uint32_t m = 0; m < 256; ++m)
    for (uint32_t fa = 0; fa < 256; fa += 3) {
      const TColor32 f = (fa << 24) | (colors.Any() & 0x00FFFFFFu);
      const TColor32 b = colors.WithMixedAlpha();
      const TColor32 expected = RefMerge((f & 0x00FFFFFFu) | (RefMul(m, fa) << 24), b);
      ASSERT_TRUE(SameColor("MergePxEx", MergePxEx(f, b, m), expected)) << "M " << m;
      TColor32 into = b;
      MergePxIntoEx(f, into, m);
      ASSERT_TRUE(SameColor("MergePxIntoEx", into, expected)) << "M " << m;
    }
}

TEST_F(Merge, RowForms) {
  ColorSource colors(29);
  for (int32_t n : {0, 1, 3, 100}) {
    std::vector<TColor32> src(n), dst(n);
    for (auto& c : src) c = colors.WithMixedAlpha();
    for (auto& c : dst) c = colors.WithMixedAlpha();
    const uint32_t m = colors.Below(256);
    auto merged = dst, mergedEx = dst;
    MergeRow(src.data(), merged.data(), n);
    MergeRowEx(src.data(), mergedEx.data(), n, m);
    for (int32_t i = 0; i < n; ++i) {
      ASSERT_TRUE(SameColor("MergeRow", merged[i], RefMerge(src[i], dst[i])));
      const TColor32 scaled = (src[i] & 0x00FFFFFFu) | (RefMul(m, Alpha(src[i])) << 24);
      ASSERT_TRUE(SameColor("MergeRowEx", mergedEx[i], RefMerge(scaled, dst[i])));
    }
  }
}

// The tables hold the addresses of the variables, so a call through them always
// reaches the current binding.
TColor32 lastRowSource = 0;
void RecordingRow(const TColor32* src, TColor32*, int32_t) { lastRowSource = *src; }

TEST_F(Merge, CombineModeTablesReadTheVariablesAtCallTime) {
  EXPECT_EQ(BlendPxIntoTbl[cmBlend], &BlendPxInto);
  EXPECT_EQ(BlendPxIntoTbl[cmMerge], &MergePxInto);
  EXPECT_EQ(BlendPxIntoExTbl[cmBlend], &BlendPxIntoEx);
  EXPECT_EQ(BlendPxIntoExTbl[cmMerge], &MergePxIntoEx);
  EXPECT_EQ(BlendRowTbl[cmBlend], &BlendRow);
  EXPECT_EQ(BlendRowTbl[cmMerge], &MergeRow);
  EXPECT_EQ(BlendRowExTbl[cmBlend], &BlendRowEx);
  EXPECT_EQ(BlendRowExTbl[cmMerge], &MergeRowEx);

  TBlendLine* const saved = MergeRow;
  MergeRow = &RecordingRow;
  TColor32 src = 0x12345678, dst = 0;
  (*BlendRowTbl[cmMerge])(&src, &dst, 1);
  MergeRow = saved;
  EXPECT_EQ(lastRowSource, 0x12345678u);

  // Through the table with the real binding: the merge example.
  src = 0x80FF0000;
  dst = 0x800000FF;
  (*BlendRowTbl[cmMerge])(&src, &dst, 1);
  EXPECT_TRUE(SameColor("merge row via table", dst, 0xC0AA0055));
}

}  // namespace
