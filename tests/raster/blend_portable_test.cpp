// The portable blend and combine forms against their table formulas, and how they
// agree with and differ from the SSE2 forms that are bound on x86-64.

#include "raster/blend.h"
#include "raster/blend_forms.h"

#include "raster_test_support.h"

#include <vector>

namespace {

namespace p = raster_portable;

class BlendPortable : public RasterTest {};

// Fa = 0 gives B, Fa = 255 gives F, otherwise MulTable[Fa, f] + MulTable[255 - Fa, b]
// with B's alpha.
TColor32 ExpectedBlend(TColor32 f, TColor32 b, uint32_t weight) {
  return weight == 0 ? b : weight == 255 ? f : RefTableMix(f, b, weight, Alpha(b));
}
TColor32 ExpectedCombine(TColor32 x, TColor32 y, uint32_t w) {
  return w == 0 ? y : w >= 255 ? x : RefTableMix(x, y, w, Alpha(x));
}

TEST_F(BlendPortable, BlendAndCombineForEveryAlphaAndChannelPair) {
  ForEveryAlphaAndChannelPair([](uint32_t a, TColor32 x, TColor32 y) {
    EXPECT_TRUE(SameColor("BlendPx", p::BlendPx(x, y), ExpectedBlend(x, y, a)));
    TColor32 into = y;
    p::BlendPxInto(x, into);
    EXPECT_TRUE(SameColor("BlendPxInto", into, ExpectedBlend(x, y, a)));
    EXPECT_TRUE(SameColor("CombinePx", p::CombinePx(x, y, a), ExpectedCombine(x, y, a)));
    into = y;
    p::CombinePxInto(x, into, a);
    EXPECT_TRUE(SameColor("CombinePxInto", into, ExpectedCombine(x, y, a)));
    return !HasFailure();
  });
  EXPECT_EQ(p::CombinePx(0x12345678, 0x9ABCDEF0, 256), 0x12345678u);  // W >= 255 gives X
}

// The master alpha scales the source alpha through MulTable, then as BlendPx.
TEST_F(BlendPortable, MasterAlphaFormsForEveryMasterAndSourceAlpha) {
  ColorSource colors(5);
  for (uint32_t m = 0; m < 256; ++m)
    for (uint32_t fa = 0; fa < 256; ++fa)
      for (int k = 0; k < 2; ++k) {
        const TColor32 f = (fa << 24) | (colors.Any() & 0x00FFFFFFu);
        const TColor32 b = colors.Any();
        const TColor32 expected = ExpectedBlend(f, b, RefMul(m, fa));
        ASSERT_TRUE(SameColor("BlendPxEx", p::BlendPxEx(f, b, m), expected)) << "M " << m;
        TColor32 into = b;
        p::BlendPxIntoEx(f, into, m);
        ASSERT_TRUE(SameColor("BlendPxIntoEx", into, expected)) << "M " << m;
        TColor32 row = b;
        p::BlendRowEx(&f, &row, 1, m);
        ASSERT_TRUE(SameColor("BlendRowEx", row, expected)) << "M " << m;
      }
}

TEST_F(BlendPortable, RowFormsApplyThePixelFormPerPixel) {
  ColorSource colors(23);
  for (int32_t n : {0, 1, 5, 64, 257}) {
    std::vector<TColor32> src(n), dst(n);
    for (auto& c : src) c = colors.WithMixedAlpha();
    for (auto& c : dst) c = colors.Any();
    const uint32_t w = colors.Below(256);
    auto blended = dst, combined = dst;
    p::BlendRow(src.data(), blended.data(), n);
    p::CombineRow(src.data(), combined.data(), n, w);
    for (int32_t i = 0; i < n; ++i) {
      ASSERT_TRUE(SameColor("BlendRow", blended[i], ExpectedBlend(src[i], dst[i], Alpha(src[i]))));
      ASSERT_TRUE(SameColor("CombineRow", combined[i], ExpectedCombine(src[i], dst[i], w)));
    }
  }
  TColor32 guard = 0x12345678;
  p::BlendRow(&guard, &guard, -1);
  EXPECT_EQ(guard, 0x12345678u);
}

#if RASTER_SSE2_FORMS
namespace s = raster_sse2;

// Where both families give the same result: transparent sources, opaque sources in
// the in-place forms, zero master alphas, and the end weights of combine.
TEST_F(BlendPortable, AgreesWithSse2WhereTheResultIsFixed) {
  ColorSource colors(3);
  for (int k = 0; k < 20000; ++k) {
    const TColor32 rgb = colors.Any() & 0x00FFFFFFu;
    const TColor32 b = colors.Any();
    const TColor32 clear = rgb, opaque = rgb | 0xFF000000u, any = colors.Any();
    const uint32_t m = colors.Below(256);
    EXPECT_EQ(p::BlendPx(clear, b), s::BlendPx(clear, b));
    EXPECT_EQ(p::BlendPxEx(clear, b, m), s::BlendPxEx(clear, b, m));
    EXPECT_EQ(p::BlendPxEx(any, b, 0), s::BlendPxEx(any, b, 0));
    TColor32 pb = b, sb = b;
    p::BlendPxInto(opaque, pb);
    s::BlendPxInto(opaque, sb);
    EXPECT_EQ(pb, sb);
    pb = sb = b;
    p::BlendPxIntoEx(clear, pb, m);
    s::BlendPxIntoEx(clear, sb, m);
    EXPECT_EQ(pb, sb);
    for (uint32_t w : {0u, 255u}) {
      pb = sb = b;
      p::CombinePxInto(any, pb, w);
      s::CombinePxInto(any, sb, w);
      EXPECT_EQ(pb, sb);
    }
    pb = sb = b;
    p::BlendRowEx(&clear, &pb, 1, m);
    s::BlendRowEx(&clear, &sb, 1, m);
    EXPECT_EQ(pb, sb);
    if (HasFailure()) return;
  }
}

// The listed differences, by hand.
TEST_F(BlendPortable, DiffersFromSse2AsListed) {
  struct Case {
    const char* what;
    TColor32 portable, sse2, expectedPortable, expectedSse2;
  };
  const Case cases[] = {
      // Opaque source: the portable value form returns F.
      {"BlendPx opaque", p::BlendPx(0xFF000000, 0xFFFFFFFF), s::BlendPx(0xFF000000, 0xFFFFFFFF),
       0xFF000000, 0xFF010101},
      // Portable keeps B's alpha; SSE2 steps it: (128 x 128 + 64 x 128 + 128) shr 8 = 96.
      {"BlendPx alpha", p::BlendPx(0x80FF0000, 0x40000000), s::BlendPx(0x80FF0000, 0x40000000),
       0x40800000, 0x60800000},
      // Weight MulTable[255, 128] = 128 vs ((255 + 1) x 128) shr 8 = 128; alpha kept vs
      // (128 x 128 + 255 x 128 + 128) shr 8 = 192.
      {"BlendPxEx alpha", p::BlendPxEx(0x80FFFFFF, 0xFF000000, 255), s::BlendPxEx(0x80FFFFFF, 0xFF000000, 255),
       0xFF808080, 0xC0808080},
      // Combine: portable keeps X's alpha and mixes by MulTable (blue 0 + MulTable[127, 255]
      // = 127); SSE2 steps every channel (blue (255 x 128 + 128) shr 8 = 128).
      {"CombinePx", p::CombinePx(0x10FF0000, 0xF00000FF, 128), s::CombinePx(0x10FF0000, 0xF00000FF, 128),
       0x1080007F, 0x80800080},
  };
  for (const auto& c : cases) {
    EXPECT_TRUE(SameColor(c.what, c.portable, c.expectedPortable));
    EXPECT_TRUE(SameColor(c.what, c.sse2, c.expectedSse2));
  }
  // Fa = 1, M = 128: portable weight MulTable[128, 1] = 1 keeps the alpha $FF.
  TColor32 src = 0x01FFFFFF, pd = 0xFF000000, sd = 0xFF000000;
  p::BlendRowEx(&src, &pd, 1, 128);
  s::BlendRowEx(&src, &sd, 1, 128);
  EXPECT_TRUE(SameColor("BlendRowEx portable", pd, 0xFF010101));
  EXPECT_TRUE(SameColor("BlendRowEx sse2", sd, 0xFE010101));
}
#endif

}  // namespace
