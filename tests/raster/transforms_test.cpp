#include "raster/transforms.h"

#include "raster/bindings.h"
#include "raster/rasterizers.h"
#include "raster/resampler_transfer.h"

#include "bitmap_test_support.h"

#include <climits>
#include <cmath>
#include <functional>
#include <limits>
#include <optional>
#include <vector>

namespace transforms_test {

class Transforms : public RasterTest {};

using Arrange = std::function<void(TAffineTransformation&)>;

// A transformation that implements none of the mapping forms.
class TBareTransformation : public TTransformation {};

bool Integral(float v) { return std::floor(v) == v; }

TEST_F(Transforms, AffineOperationsMapPointsForwardAndBack) {
  struct Case {
    const char* what;
    Arrange setup;
    TFloatPoint src;
    TFloatPoint dst;
  };
  const Case cases[] = {
      {"a new transformation is the identity", [](auto&) {}, {3, -7}, {3, -7}},
      {"translate (10, 5), then rotate 90", [](auto& t) { t.Translate(10, 5); t.Rotate(90); }, {1, 0}, {5, -11}},
      {"rotation about (10, 10) keeps the centre", [](auto& t) { t.Rotate(10, 10, 90); }, {10, 10}, {10, 10}},
      {"rotation about (10, 10)", [](auto& t) { t.Rotate(10, 10, 90); }, {11, 10}, {10, 9}},
      {"rotate 30", [](auto& t) { t.Rotate(30); }, {2, 0}, {1.7320508f, -1}},
      {"scale 2", [](auto& t) { t.Scale(2); }, {2, 3}, {4, 6}},
      {"scale (2, 3), then translate (1, 1)", [](auto& t) { t.Scale(2, 3); t.Translate(1, 1); }, {1, 1}, {3, 4}},
      {"translate (1, 1), then scale (2, 3)", [](auto& t) { t.Translate(1, 1); t.Scale(2, 3); }, {1, 1}, {4, 6}},
      {"skew (0.5, 0.5)", [](auto& t) { t.Skew(0.5f, 0.5f); }, {2, 4}, {4, 5}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TAffineTransformation t;
    c.setup(t);
    const TFloatPoint forward = t.Transform(c.src);
    EXPECT_NEAR(forward.X, c.dst.X, 1e-4);
    EXPECT_NEAR(forward.Y, c.dst.Y, 1e-4);
    const TFloatPoint back = t.ReverseTransform(c.dst);
    EXPECT_NEAR(back.X, c.src.X, 1e-4);
    EXPECT_NEAR(back.Y, c.src.Y, 1e-4);

    // The 16.16 forms agree to a few units of the last place.
    const TFixedPoint fixedForward = t.Transform(TFixedPoint{Fixed(c.src.X), Fixed(c.src.Y)});
    EXPECT_NEAR(fixedForward.X, Fixed(c.dst.X), 8);
    EXPECT_NEAR(fixedForward.Y, Fixed(c.dst.Y), 8);
    const TFixedPoint fixedBack = t.ReverseTransform(TFixedPoint{Fixed(c.dst.X), Fixed(c.dst.Y)});
    EXPECT_NEAR(fixedBack.X, Fixed(c.src.X), 8);
    EXPECT_NEAR(fixedBack.Y, Fixed(c.src.Y), 8);

    if (Integral(c.src.X) && Integral(c.src.Y) && Integral(c.dst.X) && Integral(c.dst.Y)) {
      const TPoint src{int(c.src.X), int(c.src.Y)};
      const TPoint dst{int(c.dst.X), int(c.dst.Y)};
      EXPECT_EQ(t.Transform(src), dst);
      EXPECT_EQ(t.ReverseTransform(dst), src);
    }
  }
}

TEST_F(Transforms, TransformedBoundsAreTheBoxOfTheMappedCorners) {
  const float r2 = std::sqrt(2.0f);
  struct Case {
    const char* what;
    Arrange setup;
    TFloatRect src;
    TFloatRect expected;
  };
  const Case cases[] = {
      {"rotate 90", [](auto& t) { t.Rotate(90); }, {0, 0, 100, 50}, {0, -100, 50, 0}},
      {"rotate 45", [](auto& t) { t.Rotate(45); }, {0, 0, 2, 2}, {0, -r2, 2 * r2, r2}},
      {"scale (2, 3)", [](auto& t) { t.Scale(2, 3); }, {1, 1, 4, 5}, {2, 3, 8, 15}},
      {"mirror and move", [](auto& t) { t.Scale(-1, 1); t.Translate(10, 0); }, {1, 0, 4, 2}, {6, 0, 9, 2}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TAffineTransformation t;
    c.setup(t);
    const TFloatRect b = t.GetTransformedBounds(c.src);
    EXPECT_NEAR(b.Left, c.expected.Left, 1e-3);
    EXPECT_NEAR(b.Top, c.expected.Top, 1e-3);
    EXPECT_NEAR(b.Right, c.expected.Right, 1e-3);
    EXPECT_NEAR(b.Bottom, c.expected.Bottom, 1e-3);
    EXPECT_FALSE(t.TransformValid());  // bounds need no preparation
    t.SetSrcRect(c.src);
    EXPECT_EQ(t.GetTransformedBounds(), b);
  }
  TBareTransformation bare;
  EXPECT_EQ(bare.GetTransformedBounds(TFloatRect{1, 2, 3, 4}), (TFloatRect{1, 2, 3, 4}));
}

TEST_F(Transforms, SingularMatrixMapsBackAsTheIdentity) {
  struct Case {
    const char* what;
    Arrange setup;
    bool singular;
    TFloatPoint dst;
    TFloatPoint expectedSrc;
  };
  const Case cases[] = {
      {"scale 0", [](auto& t) { t.Scale(0); }, true, {4, 6}, {4, 6}},
      {"determinant 1e-6", [](auto& t) { t.Scale(0.001f); }, true, {4, 6}, {4, 6}},
      // The Single nearest 1e-5 lies just below 1e-5.
      {"determinant 0.00001f", [](auto& t) { t.Scale(0.00001f, 1); }, true, {4, 6}, {4, 6}},
      {"equal rows", [](auto& t) { t.Skew(1, 1); }, true, {4, 6}, {4, 6}},
      {"not a number", [](auto& t) { t.Scale(std::numeric_limits<float>::quiet_NaN()); }, true, {4, 6}, {4, 6}},
      {"determinant 1e-4 still inverts", [](auto& t) { t.Scale(0.01f); }, false, {1, 1}, {100, 100}},
  };
  const TFloatMatrix identity{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TAffineTransformation t;
    c.setup(t);
    const TFloatPoint back = t.ReverseTransform(c.dst);
    EXPECT_NEAR(back.X, c.expectedSrc.X, 1e-2);
    EXPECT_NEAR(back.Y, c.expectedSrc.Y, 1e-2);
    EXPECT_EQ(t.InverseMatrix() == identity, c.singular);
    if (c.singular) {
      EXPECT_EQ(t.ReverseTransform(TPoint{4, 6}), (TPoint{4, 6}));
      EXPECT_EQ(t.ReverseTransform(TFixedPoint{Fixed(4), Fixed(6)}), (TFixedPoint{Fixed(4), Fixed(6)}));
    }
  }
  TAffineTransformation t;
  t.Scale(0);
  EXPECT_EQ(t.Transform(TFloatPoint{4, 6}), (TFloatPoint{0, 0}));  // the forward map stays as it is
}

TEST_F(Transforms, ChangesInvalidateTheMappingUntilTheNextUse) {
  TAffineTransformation t;
  int changes = 0;
  t.OnChange = [&](TObject*) { ++changes; };
  EXPECT_FALSE(t.TransformValid());
  t.ReverseTransform(TFloatPoint{1, 1});
  EXPECT_TRUE(t.TransformValid());

  t.Translate(5, 0);
  EXPECT_FALSE(t.TransformValid());
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(t.ReverseTransform(TFloatPoint{6, 1}), (TFloatPoint{1, 1}));
  EXPECT_TRUE(t.TransformValid());

  t.Rotate(3, 4, 90);  // three operations
  EXPECT_EQ(changes, 4);
  t.SetSrcRect(TFloatRect{0, 0, 1, 1});
  EXPECT_FALSE(t.TransformValid());
  EXPECT_EQ(changes, 5);

  // A direct write to Matrix takes effect with Changed.
  t.Clear();
  t.ReverseTransform(TFloatPoint{0, 0});
  t.Matrix[2][0] = 7;
  t.Changed();
  EXPECT_EQ(t.ReverseTransform(TFloatPoint{7, 0}), (TFloatPoint{0, 0}));
}

TEST_F(Transforms, MissingFloatFormsRaiseWithTheClassName) {
  TBareTransformation bare;
  try {
    bare.ReverseTransform(TFloatPoint{1, 2});
    FAIL() << "no exception";
  } catch (const ETransformNotImplemented& e) {
    EXPECT_STREQ(e.what(), "Reverse transformation is not implemented in TBareTransformation.");
  }
  // The integer form goes through the fixed one to the float one.
  try {
    bare.Transform(TPoint{1, 2});
    FAIL() << "no exception";
  } catch (const ETransformNotImplemented& e) {
    EXPECT_STREQ(e.what(), "Forward transformation is not implemented in TBareTransformation.");
  }
}

TEST_F(Transforms, HugeCoordinatesNeitherWrapNorOverflow) {
  TAffineTransformation t;
  t.Translate(1, 1);
  // Beyond 32767 the integer forms have no 16.16 value and go through floats.
  EXPECT_EQ(t.Transform(TPoint{40000, 5}), (TPoint{40001, 6}));
  EXPECT_EQ(t.ReverseTransform(TPoint{-50000, 0}), (TPoint{-50001, -1}));
  // Results beyond the 16.16 range saturate instead of turning round.
  TAffineTransformation s;
  s.Scale(4);
  EXPECT_EQ(s.Transform(TFixedPoint{Fixed(20000), Fixed(-20000)}), (TFixedPoint{INT32_MAX, INT32_MIN}));
  EXPECT_EQ(s.Transform(TPoint{20000, -20000}), (TPoint{32768, -32768}));
}

// Keeps what the transformer passes on.
class ProbeSampler : public TCustomSampler {
public:
  TColor32 GetSampleFixed(TFixed X, TFixed Y) override {
    fixed.push_back(TFixedPoint{X, Y});
    return 1;
  }
  TColor32 GetSampleFloat(float X, float Y) override {
    floats.push_back(TFloatPoint{X, Y});
    return 2;
  }
  void PrepareSampling() override { ++prepared; }
  void FinalizeSampling() override { ++finalized; }
  bool HasBounds() const override { return hasBounds; }
  TFloatRect GetSampleBounds() const override { return bounds; }

  std::vector<TFixedPoint> fixed;
  std::vector<TFloatPoint> floats;
  int prepared = 0;
  int finalized = 0;
  bool hasBounds = true;
  TFloatRect bounds{0, 0, 10, 10};
};

TEST_F(Transforms, TransformerSamplesTheSourceAtTheMappedPixelCentre) {
  enum Form { Int, Fix, Flt };
  struct Case {
    const char* what;
    Arrange setup;
    Form form;
    float x, y;  // pixels; the fixed form takes them x 65536
    std::vector<TFixedPoint> fixed;
    std::vector<TFloatPoint> floats;
  };
  const Case cases[] = {
      {"translation", [](auto& t) { t.Translate(1, 2); }, Int, 3, 4, {{2 << 16, 2 << 16}}, {}},
      // Centre 3.5 maps to 1.75, the sample to 1.25: in source pixel 1.
      {"scale 2, integer", [](auto& t) { t.Scale(2); }, Int, 3, 0, {{81920, -16384}}, {}},
      {"scale 2, fixed", [](auto& t) { t.Scale(2); }, Fix, 3, 0, {{81920, -16384}}, {}},
      {"scale 2, float", [](auto& t) { t.Scale(2); }, Flt, 3, 0, {}, {{1.25f, -0.25f}}},
      {"column beyond 32767", [](auto&) {}, Int, 40000, 1, {}, {{40000, 1}}},
      {"row below -32768", [](auto&) {}, Int, 0, -40000, {}, {{0, -40000}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TAffineTransformation t;
    c.setup(t);
    ProbeSampler probe;
    TTransformer transformer(&probe, &t);
    transformer.PrepareSampling();
    switch (c.form) {
      case Int: transformer.GetSampleInt(int(c.x), int(c.y)); break;
      case Fix: transformer.GetSampleFixed(Fixed(c.x), Fixed(c.y)); break;
      case Flt: transformer.GetSampleFloat(c.x, c.y); break;
    }
    EXPECT_EQ(probe.fixed, c.fixed);
    ASSERT_EQ(probe.floats.size(), c.floats.size());
    for (size_t i = 0; i < c.floats.size(); ++i) {
      EXPECT_NEAR(probe.floats[i].X, c.floats[i].X, 1e-3);
      EXPECT_NEAR(probe.floats[i].Y, c.floats[i].Y, 1e-3);
    }
  }
  // A fixed position at the end of the range saturates on the way.
  TAffineTransformation identity;
  ProbeSampler probe;
  TTransformer transformer(&probe, &identity);
  transformer.PrepareSampling();
  transformer.GetSampleFixed(INT32_MAX, INT32_MIN);
  EXPECT_EQ(probe.fixed, (std::vector<TFixedPoint>{{INT32_MAX - 0x7FFF, INT32_MIN}}));
}

TEST_F(Transforms, TransformerBoundsPreparationAndMissingParts) {
  TAffineTransformation t;
  t.Translate(100, 0);
  t.SetSrcRect(TFloatRect{2, 0, 20, 5});
  ProbeSampler probe;
  TTransformer transformer(&probe, &t);
  EXPECT_TRUE(transformer.HasBounds());
  // The nested bounds (0, 0, 10, 10) cut to SrcRect, then moved.
  EXPECT_EQ(transformer.GetSampleBounds(), (TFloatRect{102, 0, 110, 5}));
  probe.hasBounds = false;
  EXPECT_FALSE(transformer.HasBounds());

  transformer.PrepareSampling();
  EXPECT_EQ(probe.prepared, 1);
  EXPECT_TRUE(t.TransformValid());
  transformer.FinalizeSampling();
  EXPECT_EQ(probe.finalized, 1);

  TTransformer unmapped(&probe, nullptr);
  try {
    unmapped.PrepareSampling();
    FAIL() << "no exception";
  } catch (const ERasterError& e) {
    EXPECT_STREQ(e.what(), "Transformation is nil");
  }
  EXPECT_EQ(probe.prepared, 1);  // the nested sampler was left alone

  TTransformer empty(nullptr, &t);
  const std::function<void()> calls[] = {
      [&] { empty.PrepareSampling(); },  [&] { empty.FinalizeSampling(); },
      [&] { empty.HasBounds(); },        [&] { empty.GetSampleBounds(); },
      [&] { empty.GetSampleInt(0, 0); }, [&] { TNestedSampler(nullptr).GetSampleFloat(0, 0); },
  };
  for (const auto& call : calls) {
    try {
      call();
      ADD_FAILURE() << "no exception";
    } catch (const ENestedException& e) {
      EXPECT_STREQ(e.what(), "Nested sampler is nil");
    }
  }

  // A plain nested sampler hands every form on unchanged.
  TNestedSampler nested(&probe);
  nested.GetSampleFixed(5, 6);
  EXPECT_EQ(probe.fixed.back(), (TFixedPoint{5, 6}));
  TTransformer copy;
  transformer.AssignTo(copy);
  EXPECT_EQ(copy.Sampler(), &probe);
  EXPECT_EQ(copy.Transformation(), &t);
}

// ---- TransformBitmap ----------------------------------------------------------------

constexpr TColor32 A = 0xFFA00000u, B = 0xFFB00000u, C = 0xFFC00000u;
constexpr TColor32 D = 0xFFD00000u, E = 0xFFE00000u, F = 0xFFF00000u;
constexpr TColor32 U = 0xEEEEEEEEu;  // untouched destination pixel

// The 3 x 2 source  A B C / D E F  with SrcRect covering it.
struct SourcePicture {
  SourcePicture() { SetPixels(bitmap, 3, 2, {A, B, C, D, E, F}); }
  TCustomBitmap32 bitmap;
};

TEST_F(Transforms, TransformBitmapTakesTheSourcePixelUnderEachMappedCentre) {
  struct Case {
    const char* what;
    Arrange setup;
    int width, height;
    std::vector<TColor32> expected;
  };
  const Case cases[] = {
      {"identity copies", [](auto&) {}, 3, 2, {A, B, C, D, E, F}},
      {"identity into a larger bitmap", [](auto&) {}, 4, 3, {A, B, C, U, D, E, F, U, U, U, U, U}},
      // (x, y) -> (y, 3 - x): the right column becomes the top row.
      {"rotate 90 counter-clockwise", [](auto& t) { t.Rotate(90); t.Translate(0, 3); }, 2, 3, {C, F, B, E, A, D}},
      {"rotate 90 clockwise", [](auto& t) { t.Rotate(-90); t.Translate(2, 0); }, 2, 3, {D, A, E, B, F, C}},
      {"rotate 180 about the centre", [](auto& t) { t.Rotate(1.5f, 1, 180); }, 3, 2, {F, E, D, C, B, A}},
      {"translate (1, 1)", [](auto& t) { t.Translate(1, 1); }, 4, 3, {U, U, U, U, U, A, B, C, U, D, E, F}},
      {"translate (-1, 0)", [](auto& t) { t.Translate(-1, 0); }, 3, 2, {B, C, U, E, F, U}},
      {"scale 2", [](auto& t) { t.Scale(2); }, 6, 4,
       {A, A, B, B, C, C, A, A, B, B, C, C, D, D, E, E, F, F, D, D, E, E, F, F}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SourcePicture src;
    TAffineTransformation t;
    t.SetSrcRect(TFloatRect{0, 0, 3, 2});
    c.setup(t);
    TCustomBitmap32 dst;
    dst.SetSize(c.width, c.height);
    dst.Clear(U);
    TransformBitmap(&dst, &src.bitmap, &t);
    EXPECT_EQ(PixelsOf(dst), c.expected);
  }
}

TEST_F(Transforms, TransformBitmapPutsSamplesInByTheSourcesDrawMode) {
  SourcePicture src;
  src.bitmap.SetDrawMode(dmTransparent);
  src.bitmap.SetOuterColor(B);
  TAffineTransformation t;
  t.SetSrcRect(TFloatRect{0, 0, 3, 2});
  TCustomBitmap32 dst;
  dst.SetSize(3, 2);
  dst.Clear(U);
  TransformBitmap(&dst, &src.bitmap, &t);
  EXPECT_EQ(PixelsOf(dst), (std::vector<TColor32>{A, U, C, D, E, F}));
}

TEST_F(Transforms, TransformBitmapWritesAndReportsOnlyInsideTheClip) {
  struct Case {
    const char* what;
    TRect clip;
    TRect dstRect;
    std::vector<TColor32> expected;  // 5 x 5, source moved by (1, 2)
    std::optional<TRect> reported;    // the last report, if any
  };
  const std::vector<TColor32> moved{U, U, U, U, U, U, U, U, U, U, U, A, B, C, U, U, D, E, F, U, U, U, U, U, U};
  const std::vector<TColor32> clipped{U, U, U, U, U, U, U, U, U, U, U, U, B, C, U, U, U, E, F, U, U, U, U, U, U};
  const std::vector<TColor32> none(25, U);
  const Case cases[] = {
      {"whole bitmap", TRect{0, 0, 5, 5}, TRect{0, 0, 5, 5}, moved, TRect{0, 0, 5, 5}},
      {"clip rectangle", TRect{2, 2, 4, 4}, TRect{0, 0, 5, 5}, clipped, TRect{2, 2, 4, 4}},
      {"rectangle beyond the bitmap", TRect{0, 0, 5, 5}, TRect{-3, -3, 8, 8}, moved, TRect{0, 0, 5, 5}},
      {"rectangle beyond the clip", TRect{2, 2, 4, 4}, TRect{-30, -30, 80, 80}, clipped, TRect{2, 2, 4, 4}},
      {"rectangle outside the clip", TRect{0, 0, 5, 5}, TRect{6, 6, 9, 9}, none, std::nullopt},
      {"rectangle left of the clip", TRect{2, 0, 5, 5}, TRect{0, 0, 1, 5}, none, std::nullopt},
      // A zero-width overlap is still an overlap: nothing to draw, but reported.
      {"rectangle touching the clip", TRect{0, 0, 3, 5}, TRect{3, 0, 5, 5}, none, TRect{3, 0, 3, 5}},
      {"empty rectangle inside the clip", TRect{0, 0, 5, 5}, TRect{2, 2, 2, 2}, none, TRect{2, 2, 2, 2}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SourcePicture src;
    TAffineTransformation t;
    t.SetSrcRect(TFloatRect{0, 0, 3, 2});
    t.Translate(1, 2);
    TCustomBitmap32 dst;
    dst.SetSize(5, 5);
    dst.Clear(U);
    dst.SetClipRect(c.clip);
    NotificationRecorder recorder(dst);
    TransformBitmap(&dst, &src.bitmap, &t, c.dstRect, nullptr);
    EXPECT_EQ(PixelsOf(dst), c.expected);
    if (!c.reported) {
      EXPECT_TRUE(recorder.areas.empty());
      EXPECT_EQ(recorder.changes, 0);
    } else {
      ASSERT_FALSE(recorder.areas.empty());
      EXPECT_EQ(recorder.areas.back(), *c.reported);
      for (const TRect& area : recorder.areas) {
        TRect inside;
        IntersectRect(inside, area, c.clip);
        EXPECT_EQ(inside, area) << "report outside the clip";
      }
    }
  }
}

TEST_F(Transforms, SourceBoundsLimitTheWorkToTheMappedSource) {
  TCustomBitmap32 src;
  src.SetSize(10, 10);
  src.Clear(clWhite32);
  TAffineTransformation t;
  t.SetSrcRect(TFloatRect{0, 0, 10, 10});
  t.Translate(100, 0);
  TCustomBitmap32 dst;
  dst.SetSize(120, 12);
  dst.Clear(U);
  NotificationRecorder recorder(dst);
  TransformBitmap(&dst, &src, &t);
  // The rasterizer reports its rectangle, TransformBitmap the whole one.
  EXPECT_EQ(recorder.areas, (std::vector<TRect>{TRect{100, 0, 110, 10}, TRect{0, 0, 120, 12}}));
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 120; ++x) {
      const bool painted = x >= 100 && x < 110 && y < 10;
      ASSERT_EQ(dst.Pixel(x, y), painted ? clWhite32 : U) << x << ", " << y;
    }

  // Until SrcRect is set the transformation covers nothing.
  TAffineTransformation unset;
  TCustomBitmap32 other;
  other.SetSize(4, 4);
  other.Clear(U);
  NotificationRecorder otherRecorder(other);
  TransformBitmap(&other, &src, &unset);
  EXPECT_EQ(PixelsOf(other), std::vector<TColor32>(16, U));
  // The rasterizer still reports its empty rectangle.
  EXPECT_EQ(otherRecorder.areas, (std::vector<TRect>{TRect{}, other.BoundsRect()}));
}

TEST_F(Transforms, SingularMatrixDrawsTheSourceUntransformed) {
  // Without bounds (a wrapping resampler) every destination pixel is sampled,
  // through the identity: the source repeats.
  SourcePicture src;
  src.bitmap.Resampler()->SetPixelAccessMode(pamWrap);
  src.bitmap.SetWrapMode(wmRepeat);
  TAffineTransformation t;
  t.Scale(0);
  TCustomBitmap32 dst;
  dst.SetSize(5, 2);
  dst.Clear(U);
  TransformBitmap(&dst, &src.bitmap, &t);
  EXPECT_EQ(PixelsOf(dst), (std::vector<TColor32>{A, B, C, A, B, D, E, F, D, E}));
}

TEST_F(Transforms, MeasuringReportsTheRectangleAndDrawsNothing) {
  SourcePicture src;
  TAffineTransformation t;
  t.SetSrcRect(TFloatRect{0, 0, 3, 2});
  TCustomBitmap32 dst;
  dst.SetSize(4, 4);
  dst.Clear(U);
  std::vector<TRect> measured;
  dst.BeginMeasuring([&](TObject*, const TRect& area, uint32_t) { measured.push_back(area); });
  TransformBitmap(&dst, &src.bitmap, &t, TRect{1, 1, 9, 9}, nullptr);
  dst.EndMeasuring();
  EXPECT_EQ(measured, (std::vector<TRect>{TRect{1, 1, 4, 4}}));
  EXPECT_EQ(PixelsOf(dst), std::vector<TColor32>(16, U));
}

TEST_F(Transforms, CallersRasterizerReportsRowsAndGetsItsSamplerBack) {
  SourcePicture src;
  TAffineTransformation t;
  t.SetSrcRect(TFloatRect{0, 0, 3, 2});
  TCustomBitmap32 dst;
  dst.SetSize(3, 2);
  NotificationRecorder recorder(dst);
  ProbeSampler previous;
  TRegularRasterizer rasterizer;
  rasterizer.SetSampler(&previous);
  rasterizer.SetUpdateRowCount(1);
  TransformBitmap(&dst, &src.bitmap, &t, &rasterizer);
  EXPECT_EQ(PixelsOf(dst), (std::vector<TColor32>{A, B, C, D, E, F}));
  // The rasterizer's closing report is empty: every row went out already.
  EXPECT_EQ(recorder.areas,
            (std::vector<TRect>{TRect{0, 0, 3, 1}, TRect{0, 1, 3, 2}, TRect{0, 2, 3, 2}, TRect{0, 0, 3, 2}}));
  EXPECT_EQ(rasterizer.Sampler(), &previous);
}

TEST_F(Transforms, TransformBitmapRejectsMissingArguments) {
  SourcePicture src;
  TCustomBitmap32 dst;
  dst.SetSize(2, 2);
  TAffineTransformation t;
  EXPECT_THROW(TransformBitmap(nullptr, &src.bitmap, &t), EBitmapException);
  EXPECT_THROW(TransformBitmap(&dst, nullptr, &t), EBitmapException);
  EXPECT_THROW(TransformBitmap(&dst, &src.bitmap, nullptr), ERasterError);
}

// ---- Determinants ---------------------------------------------------------------------

TEST_F(Transforms, DeterminantsAreBoundToTheExtendedFormAfterThePortableOne) {
  TFunctionRegistry* registry = FindRegistry("Ras32_Transforms bindings");
  ASSERT_NE(registry, nullptr);
  ASSERT_EQ(registry->Count(), 4);
  ASSERT_NE(Determinant32, nullptr);
  ASSERT_NE(Determinant64, nullptr);
  EXPECT_EQ(Determinant32, &raster_x87::Determinant32);
  EXPECT_EQ(Determinant64, &raster_x87::Determinant64);
  EXPECT_EQ(Determinant32(3, 2, 1, 4), 10.0f);  // A1 x B2 - A2 x B1
  EXPECT_EQ(Determinant64(-3, 2, 5, 7), -31.0);

  // (1 + e)^2 - 1 = 2e + e^2: the portable form loses e^2 in the rounded product.
  const float e32 = std::ldexp(1.0f, -12);
  EXPECT_EQ(raster_portable::Determinant32(1 + e32, 1, 1, 1 + e32), 2 * e32);
  EXPECT_EQ(Determinant32(1 + e32, 1, 1, 1 + e32), 2 * e32 + e32 * e32);
  const double e64 = std::ldexp(1.0, -30);
  EXPECT_EQ(raster_portable::Determinant64(1 + e64, 1, 1, 1 + e64), 2 * e64);
  EXPECT_EQ(Determinant64(1 + e64, 1, 1, 1 + e64), 2 * e64 + e64 * e64);
}

}  // namespace transforms_test
