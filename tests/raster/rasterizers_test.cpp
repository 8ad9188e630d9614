#include "raster/rasterizers.h"

#include "raster/coordinate_helpers.h"
#include "raster/cpu_features.h"

#include "platform/rtl/sys_utils.h"

#include "bitmap_test_support.h"

#include <functional>
#include <limits>
#include <stdexcept>
#include <vector>

namespace {

class Rasterizers : public RasterTest {};

constexpr TColor32 Untouched = 0xEEEEEEEEu;

// The colour a RecordingSampler returns for (X, Y): both in the low bytes.
TColor32 Encoded(int x, int y) { return 0xFF000000u | (uint32_t(x & 0xFF) << 8) | uint32_t(y & 0xFF); }

// Keeps every position it is asked for, in order, and optional bounds.
class RecordingSampler : public TCustomSampler {
public:
  TColor32 GetSampleInt(int32_t X, int32_t Y) override {
    visits.push_back(TPoint{X, Y});
    if (onSample) onSample(X, Y);
    return Encoded(X, Y);
  }
  void PrepareSampling() override { ++prepared; }
  void FinalizeSampling() override { ++finalized; }
  bool HasBounds() const override { return hasBounds; }
  TFloatRect GetSampleBounds() const override { return hasBounds ? bounds : TCustomSampler::GetSampleBounds(); }

  std::vector<TPoint> visits;
  std::function<void(int, int)> onSample;
  int prepared = 0;
  int finalized = 0;
  bool hasBounds = false;
  TFloatRect bounds;
};

// Row-major positions of R: the order a regular rasterizer must visit.
std::vector<TPoint> RowMajor(const TRect& r) {
  std::vector<TPoint> points;
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x) points.push_back(TPoint{x, y});
  return points;
}

// Every pixel inside R carries its encoded position, every other one is untouched.
::testing::AssertionResult PaintedExactly(const TCustomBitmap32& bitmap, const TRect& r) {
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x) {
      const bool inside = PtInRect(r, TPoint{x, y});
      const TColor32 expected = inside ? Encoded(x, y) : Untouched;
      if (bitmap.Pixel(x, y) != expected)
        return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is " << std::hex
                                             << bitmap.Pixel(x, y) << ", expected " << expected;
    }
  return ::testing::AssertionSuccess();
}

std::vector<TRect> Rows(std::initializer_list<std::pair<int, int>> spans, int left, int right) {
  std::vector<TRect> rects;
  for (auto [top, bottom] : spans) rects.push_back(TRect{left, top, right, bottom});
  return rects;
}

TEST_F(Rasterizers, VisitsTheCutRectangleRowByRowAndReportsItOnce) {
  constexpr float inf = std::numeric_limits<float>::infinity();
  struct Case {
    const char* what;
    TRect dstRect;
    bool hasBounds;
    TFloatRect bounds;
    TRect expected;  // the pixels visited, in row-major order
  };
  const Case cases[] = {
      {"inner rectangle", TRect{2, 1, 5, 4}, false, {}, TRect{2, 1, 5, 4}},
      {"rectangle beyond the destination on every side", TRect{-3, -2, 9, 8}, false, {}, TRect{0, 0, 6, 5}},
      {"fractional sample bounds widened to whole pixels", TRect{0, 0, 6, 5}, true, {1.5f, 0.25f, 3.2f, 2.0f},
       TRect{1, 0, 4, 2}},
      {"sample bounds cut by the rectangle", TRect{2, 1, 5, 4}, true, {-10, -10, 3.5f, 2.5f}, TRect{2, 1, 4, 3}},
      {"unbounded bounds", TRect{0, 0, 6, 5}, true, {-inf, -inf, inf, inf}, TRect{0, 0, 6, 5}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TCustomBitmap32 dst;
    dst.SetSize(6, 5);
    dst.Clear(Untouched);
    NotificationRecorder recorder(dst);
    RecordingSampler sampler;
    sampler.hasBounds = c.hasBounds;
    sampler.bounds = c.bounds;
    TRegularRasterizer rasterizer;
    rasterizer.SetSampler(&sampler);
    rasterizer.Rasterize(&dst, c.dstRect);
    EXPECT_EQ(sampler.visits, RowMajor(c.expected));
    EXPECT_TRUE(PaintedExactly(dst, c.expected));
    EXPECT_EQ(recorder.areas, std::vector<TRect>{c.expected});
    EXPECT_EQ(sampler.prepared, 1);
    EXPECT_EQ(sampler.finalized, 1);
  }
}

TEST_F(Rasterizers, NothingToVisitStillEndsWithTheClosingReport) {
  TCustomBitmap32 dst;
  dst.SetSize(4, 4);
  dst.Clear(Untouched);
  NotificationRecorder recorder(dst);
  TRegularRasterizer rasterizer;

  rasterizer.Rasterize(&dst);  // no sampler: not even a report
  EXPECT_TRUE(recorder.areas.empty());
  EXPECT_EQ(recorder.changes, 0);

  // With a sampler the rows not yet reported go out at the end, even none.
  struct Case {
    const char* what;
    bool hasBounds;
    TFloatRect bounds;
    TRect dstRect;
    int updateRowCount;
    std::vector<TRect> reports;
  };
  const Case cases[] = {
      {"bounds missing the destination", true, {10, 10, 20, 20}, TRect{0, 0, 4, 4}, 0, {TRect{}}},
      {"no width", false, {}, TRect{1, 1, 1, 3}, 0, {TRect{1, 1, 1, 3}}},
      {"no width, row by row", false, {}, TRect{1, 1, 1, 3}, 1,
       {TRect{1, 1, 1, 2}, TRect{1, 2, 1, 3}, TRect{1, 3, 1, 3}}},
      {"no height", false, {}, TRect{0, 2, 4, 2}, 0, {TRect{0, 2, 4, 2}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    recorder.Reset();
    RecordingSampler sampler;
    sampler.hasBounds = c.hasBounds;
    sampler.bounds = c.bounds;
    rasterizer.SetSampler(&sampler);
    rasterizer.SetUpdateRowCount(c.updateRowCount);
    rasterizer.Rasterize(&dst, c.dstRect);
    EXPECT_TRUE(sampler.visits.empty());
    EXPECT_EQ(recorder.areas, c.reports);
    EXPECT_EQ(sampler.prepared, 1);
    EXPECT_EQ(sampler.finalized, 1);
  }
  EXPECT_TRUE(PaintedExactly(dst, TRect{}));
}

TEST_F(Rasterizers, UpdateRowCountReportsRowsAsSoonAsTheyArePainted) {
  struct Case {
    int rows;
    int updateRowCount;
    std::vector<TRect> reports;  // rectangle R = (1, 2, 4, 2 + rows)
  };
  const Case cases[] = {
      {4, 0, Rows({{2, 6}}, 1, 4)},
      // Nothing is left for the closing report, which still comes, empty.
      {4, 2, Rows({{2, 4}, {4, 6}, {6, 6}}, 1, 4)},
      {5, 2, Rows({{2, 4}, {4, 6}, {6, 7}}, 1, 4)},
      {4, 3, Rows({{2, 5}, {5, 6}}, 1, 4)},
      {3, 1, Rows({{2, 3}, {3, 4}, {4, 5}, {5, 5}}, 1, 4)},
      {2, 5, Rows({{2, 4}}, 1, 4)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.rows << " rows, UpdateRowCount " << c.updateRowCount);
    TCustomBitmap32 dst;
    dst.SetSize(6, 10);
    dst.Clear(Untouched);
    RecordingSampler sampler;
    std::vector<TRect> reports;
    std::vector<size_t> visitsAtReport;
    dst.OnAreaChanged = [&](TObject*, const TRect& area, uint32_t info) {
      EXPECT_EQ(info, AreaKindRect);
      reports.push_back(area);
      visitsAtReport.push_back(sampler.visits.size());
    };
    TRegularRasterizer rasterizer;
    rasterizer.SetUpdateRowCount(c.updateRowCount);
    rasterizer.SetSampler(&sampler);
    rasterizer.Rasterize(&dst, TRect{1, 2, 4, 2 + c.rows});

    EXPECT_EQ(reports, c.reports);
    // Each report follows the painting of its last row and precedes the next row.
    ASSERT_EQ(visitsAtReport.size(), reports.size());
    for (size_t i = 0; i < reports.size(); ++i)
      EXPECT_EQ(visitsAtReport[i], size_t(3 * (reports[i].Bottom - 2))) << "report " << i;
  }
}

TEST_F(Rasterizers, FailingSampleRestoresTheUpdateCountAndFinalizes) {
  TCustomBitmap32 dst;
  dst.SetSize(4, 3);
  dst.Clear(Untouched);
  dst.BeginUpdate();  // the caller's own batch stays open
  RecordingSampler sampler;
  sampler.onSample = [&](int x, int y) {
    dst.BeginUpdate();
    if (x == 2 && y == 1) throw std::runtime_error("sample failed");
  };
  TRegularRasterizer rasterizer;
  rasterizer.SetSampler(&sampler);
  EXPECT_THROW(rasterizer.Rasterize(&dst), std::runtime_error);
  EXPECT_EQ(dst.UpdateCount(), 1);
  EXPECT_EQ(sampler.finalized, 1);
  // Row 0 and the first two pixels of row 1 were painted before the failure.
  EXPECT_EQ(dst.Pixel(3, 0), Encoded(3, 0));
  EXPECT_EQ(dst.Pixel(1, 1), Encoded(1, 1));
  EXPECT_EQ(dst.Pixel(2, 1), Untouched);
  dst.EndUpdate();
}

// Returns Colors[X] for column X.
class ColumnSampler : public TCustomSampler {
public:
  explicit ColumnSampler(std::vector<TColor32> colors) : colors_(std::move(colors)) {}
  TColor32 GetSampleInt(int32_t X, int32_t) override { return colors_.at(size_t(X)); }

private:
  std::vector<TColor32> colors_;
};

TEST_F(Rasterizers, SamplesGoInByTheSourcesDrawMode) {
  const TPixelCombineEvent swapRedBlue = [](TColor32 F, TColor32& B, TColor32 M) {
    B = (F & 0xFF00FF00u) | ((F >> 16) & 0xFFu) | ((F & 0xFFu) << 16);
    B = (B & 0x00FFFFFFu) | (M << 24);
  };
  struct Case {
    const char* what;
    TDrawMode mode;
    TCombineMode combine;
    uint32_t masterAlpha;
    bool callback;
    std::vector<TColor32> samples;
    TColor32 background;
    std::vector<TColor32> expected;
  };
  const Case cases[] = {
      {"opaque", dmOpaque, cmBlend, 255, false, {0x12345678u, 0x00000000u}, clBlack32, {0x12345678u, 0u}},
      {"blend with master alpha 64", dmBlend, cmBlend, 64, false, {clWhite32, 0x00FFFFFFu}, clBlack32,
       {0xFF404040u, clBlack32}},
      {"blend at master alpha 0 keeps the pixel", dmBlend, cmBlend, 0, false, {clWhite32, clWhite32}, clBlack32,
       {clBlack32, clBlack32}},
      {"merge onto transparent takes the source scaled by the master alpha", dmBlend, cmMerge, 64, false,
       {0xFFFF0000u, 0xFFFF0000u}, 0u, {0x40FF0000u, 0x40FF0000u}},
      {"transparent skips the outer colour", dmTransparent, cmBlend, 255, false, {0xFF0000FFu, 0x11223344u},
       clBlack32, {clBlack32, 0x11223344u}},
      {"custom calls back with the master alpha", dmCustom, cmBlend, 0x7F, true, {0xFF0000FFu, 0x80AA00CCu},
       clBlack32, {0x7FFF0000u, 0x7FCC00AAu}},
      {"custom without a callback is opaque", dmCustom, cmBlend, 64, false, {0x00123456u, clWhite32}, clBlack32,
       {0x00123456u, clWhite32}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TCustomBitmap32 src;
    src.SetDrawMode(c.mode);
    src.SetCombineMode(c.combine);
    src.SetMasterAlpha(c.masterAlpha);
    src.SetOuterColor(0xFF0000FFu);
    if (c.callback) src.OnPixelCombine = swapRedBlue;
    TCustomBitmap32 dst;
    dst.SetSize(2, 1);
    dst.Clear(c.background);
    ColumnSampler sampler(c.samples);
    TRegularRasterizer rasterizer;
    rasterizer.SetSampler(&sampler);
    rasterizer.Rasterize(&dst, dst.BoundsRect(), src);
    EXPECT_TRUE(SameColor("column 0", dst.Pixel(0, 0), c.expected[0]));
    EXPECT_TRUE(SameColor("column 1", dst.Pixel(1, 0), c.expected[1]));
  }
}

TEST_F(Rasterizers, CustomDescriptionWithoutCallbackBlendsWhenGivenDirectly) {
  // Only CombineInfo of a bitmap turns such a description opaque.
  TCombineInfo info;
  info.DrawMode = dmCustom;
  info.SrcAlpha = 64;
  TCustomBitmap32 dst;
  dst.SetSize(1, 1);
  dst.Clear(clBlack32);
  ColumnSampler sampler({clWhite32});
  TRegularRasterizer rasterizer;
  rasterizer.SetSampler(&sampler);
  rasterizer.Rasterize(&dst, dst.BoundsRect(), info);
  EXPECT_TRUE(SameColor("blended", dst.Pixel(0, 0), 0xFF404040u));
}

TEST_F(Rasterizers, AssignTakesABitmapsDescriptionOrAnotherRasterizersSettings) {
  TCustomBitmap32 src;
  src.SetDrawMode(dmTransparent);
  src.SetOuterColor(0xFF00FF00u);
  TRegularRasterizer rasterizer;
  int changes = 0;
  rasterizer.OnChange = [&](TObject*) { ++changes; };
  rasterizer.Assign(&src);
  EXPECT_EQ(changes, 1);

  TCustomBitmap32 dst;
  dst.SetSize(2, 1);
  dst.Clear(clBlack32);
  ColumnSampler sampler({0xFF00FF00u, 0xFF0000FFu});
  rasterizer.SetSampler(&sampler);
  rasterizer.SetUpdateRowCount(7);
  rasterizer.Rasterize(&dst);
  EXPECT_EQ(PixelsOf(dst), (std::vector<TColor32>{clBlack32, 0xFF0000FFu}));

  TRegularRasterizer copy;
  copy.Assign(&rasterizer);
  EXPECT_EQ(copy.Sampler(), &sampler);
  EXPECT_EQ(copy.UpdateRowCount(), 7);

  changes = 0;
  TObject unrelated;
  EXPECT_THROW(rasterizer.Assign(&unrelated), EConvertError);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(rasterizer.UpdateCount(), 0);
}

TEST_F(Rasterizers, StartupStoresTheProcessorCount) {
  EXPECT_GE(RasterizerProcessorCount, 1);
  EXPECT_EQ(RasterizerProcessorCount, ProcessorCount());
  // The default class is the regular rasterizer, whatever the count.
  EXPECT_NE(dynamic_cast<TRegularRasterizer*>(DefaultRasterizerClass().get()), nullptr);
}

}  // namespace
