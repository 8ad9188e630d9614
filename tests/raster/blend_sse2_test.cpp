// The SSE2 forms, which are the bound blend and combine routines on x86-64,
// against the weighted step written out per channel:
//   c' = (f x V + b x (256 - V) + 128) shr 8

#include "raster/blend.h"
#include "raster/blend_forms.h"

#include "raster_test_support.h"

#include <vector>

#if RASTER_SSE2_FORMS

namespace {

namespace s = raster_sse2;

class BlendSse2 : public RasterTest {};

TColor32 ExpectedBlendInto(TColor32 f, TColor32 b) {
  const uint32_t fa = Alpha(f);
  return fa == 0 ? b : fa == 255 ? f : RefStepPx(f, b, fa);
}

TColor32 ExpectedRowEx(TColor32 f, TColor32 b, uint32_t m) {
  const uint32_t v = ((Alpha(f) + 1) * m) >> 8;
  return v == 0 ? b : RefStepPx(f, b, v);
}

TColor32 ExpectedCombineInto(TColor32 x, TColor32 y, uint32_t w) {
  return w == 0 ? y : w == 255 ? x : RefStepPx(x, y, w);
}

TEST_F(BlendSse2, BlendPxAndBlendPxIntoForEveryAlphaAndChannelPair) {
  ForEveryAlphaAndChannelPair([](uint32_t fa, TColor32 f, TColor32 b) {
    EXPECT_TRUE(SameColor("BlendPx", s::BlendPx(f, b), RefStepPx(f, b, fa)));
    TColor32 into = b;
    s::BlendPxInto(f, into);
    EXPECT_TRUE(SameColor("BlendPxInto", into, ExpectedBlendInto(f, b)));
    return !HasFailure();
  });
}

TEST_F(BlendSse2, CombinePxAndCombinePxIntoForEveryWeightAndChannelPair) {
  ForEveryAlphaAndChannelPair([](uint32_t w, TColor32 x, TColor32 y) {
    EXPECT_TRUE(SameColor("CombinePx", s::CombinePx(x, y, w), RefStepPx(x, y, w)));
    TColor32 into = y;
    s::CombinePxInto(x, into, w);
    EXPECT_TRUE(SameColor("CombinePxInto", into, ExpectedCombineInto(x, y, w)));
    return !HasFailure();
  });
}

TEST_F(BlendSse2, MasterAlphaValueFormsForEveryMasterAndSourceAlpha) {
  ColorSource colors(7);
  for (uint32_t m = 0; m < 256; ++m)
    for (uint32_t fa = 0; fa < 256; ++fa)
      for (int k = 0; k < 4; ++k) {
        const TColor32 f = (fa << 24) | (colors.Any() & 0x00FFFFFFu);
        const TColor32 b = colors.Any();
        const uint32_t v = ((m + 1) * fa) >> 8;
        const TColor32 expected = v == 0 ? b : RefStepPx(f, b, v);
        ASSERT_TRUE(SameColor("BlendPxEx", s::BlendPxEx(f, b, m), expected)) << "M " << m;
        TColor32 into = b;
        s::BlendPxIntoEx(f, into, m);
        ASSERT_TRUE(SameColor("BlendPxIntoEx", into, expected)) << "M " << m;
      }
}

// Rows of every length up to 40 and a long one, at every start modulo 4, so the
// four-pixel body and the single-pixel tail both run.
TEST_F(BlendSse2, RowFormsMatchThePerPixelFormulas) {
  ColorSource colors(11);
  std::vector<int32_t> lengths;
  for (int32_t n = 0; n <= 40; ++n) lengths.push_back(n);
  lengths.push_back(1003);
  for (int32_t n : lengths)
    for (int32_t start = 0; start < 4; ++start) {
      std::vector<TColor32> src(start + n), dst(start + n);
      for (auto& c : src) c = colors.WithMixedAlpha();
      for (auto& c : dst) c = colors.Any();
      const uint32_t m = colors.Below(256), w = 1 + colors.Below(254);
      SCOPED_TRACE(testing::Message() << "length " << n << " start " << start << " M " << m << " W " << w);

      auto row = dst;
      s::BlendRow(src.data() + start, row.data() + start, n);
      for (int32_t i = start; i < start + n; ++i)
        ASSERT_TRUE(SameColor("BlendRow", row[i], ExpectedBlendInto(src[i], dst[i]))) << i;

      row = dst;
      s::BlendRowEx(src.data() + start, row.data() + start, n, m);
      for (int32_t i = start; i < start + n; ++i)
        ASSERT_TRUE(SameColor("BlendRowEx", row[i], ExpectedRowEx(src[i], dst[i], m))) << i;

      row = dst;
      s::CombineRow(src.data() + start, row.data() + start, n, w);
      for (int32_t i = start; i < start + n; ++i)
        ASSERT_TRUE(SameColor("CombineRow", row[i], RefStepPx(src[i], dst[i], w))) << i;
      for (int32_t i = 0; i < start; ++i) ASSERT_EQ(row[i], dst[i]);  // nothing before the row
    }
}

TEST_F(BlendSse2, CombineRowEndWeights) {
  const std::vector<TColor32> src{0x12345678, 0x00FFFFFF, 0xFF000000, 0x80808080, 0x01020304};
  const std::vector<TColor32> dst{0xFFFFFFFF, 0x11111111, 0x22222222, 0x33333333, 0x44444444};
  auto row = dst;
  s::CombineRow(src.data(), row.data(), 5, 0);
  EXPECT_EQ(row, dst);
  s::CombineRow(src.data(), row.data(), 5, 255);
  EXPECT_EQ(row, src);  // an exact copy, alpha included
  row = dst;
  s::CombineRow(src.data(), row.data(), 0, 128);
  s::CombineRow(src.data(), row.data(), -3, 128);
  EXPECT_EQ(row, dst);
}

// The examples, through the bound routine variables.
TEST_F(BlendSse2, BoundRoutinesOnTheExampleColours) {
  // M = 64, opaque white over opaque black: V = 64, red = (255 x 64 + 128) shr 8 = 64.
  TColor32 src = 0xFFFFFFFF, dst = 0xFF000000;
  BlendRowEx(&src, &dst, 1, 64);
  EXPECT_TRUE(SameColor("BlendRowEx M=64", dst, 0xFF404040));

  // No shortcut for an opaque source in the value form; the in-place form copies it.
  EXPECT_TRUE(SameColor("BlendPx opaque", BlendPx(0xFF000000, 0xFFFFFFFF), 0xFF010101));
  TColor32 b = 0xFFFFFFFF;
  BlendPxInto(0xFF000000, b);
  EXPECT_TRUE(SameColor("BlendPxInto opaque", b, 0xFF000000));

  // Fa = 1, M = 128: the row form weighs ((1 + 1) x 128) shr 8 = 1, the in-place
  // form ((128 + 1) x 1) shr 8 = 0. Alpha: (1 x 1 + 255 x 255 + 128) shr 8 = 254.
  src = 0x01FFFFFF;
  dst = 0xFF000000;
  BlendRowEx(&src, &dst, 1, 128);
  EXPECT_TRUE(SameColor("BlendRowEx Fa=1", dst, 0xFE010101));
  b = 0xFF000000;
  BlendPxIntoEx(0x01FFFFFF, b, 128);
  EXPECT_TRUE(SameColor("BlendPxIntoEx Fa=1", b, 0xFF000000));

  // A transparent source or a zero master alpha leaves the destination.
  for (auto [f, m] : {std::pair{0x00FFFFFFu, 255u}, std::pair{0xFFFFFFFFu, 0u}}) {
    b = 0x80123456;
    BlendPxIntoEx(f, b, m);
    EXPECT_TRUE(SameColor("BlendPxIntoEx", b, 0x80123456));
    EXPECT_TRUE(SameColor("BlendPxEx", BlendPxEx(f, 0x80123456, m), 0x80123456));
  }
  std::vector<TColor32> row{0x11223344, 0x55667788, 0x99AABBCC, 0xDDEEFF00, 0x12345678};
  const std::vector<TColor32> opaque(row.size(), 0xFFFFFFFF);
  const auto before = row;
  BlendRowEx(opaque.data(), row.data(), static_cast<int32_t>(row.size()), 0);
  EXPECT_EQ(row, before);
}

}  // namespace

#endif
