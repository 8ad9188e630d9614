// The display pipeline's arithmetic without a window: stacking division, display
// maximum, palette indices, zoom sizes and shifts, mark positions and the overlay
// composition.

#include "platform/rtl/rounding.h"
#include "platform/ui/bitmap.h"
#include "profiledata/setting_data.h"
#include "radargram/display_pipeline.h"
#include "raster/bitmap32.h"
#include "raster/raster_library.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>

namespace display_pipeline_test {

namespace dp = display_pipeline;

std::unique_ptr<TSettingData> Settings() { return std::make_unique<TSettingData>(nullptr); }

TEST(DisplayPipelineStacking, PlainStackingRoundsHalvesToEven) {
  auto s = Settings();
  s->SetAdvanceStacking(false);
  s->SetStacking(10);
  const std::vector<int32_t> divisors = dp::StackingDivisors(*s, 4);
  const std::vector<int32_t> raw = {5, 15, -5, 25};
  std::vector<int32_t> out(4, 99);
  dp::DivideByStacking(raw.data(), out.data(), 4, divisors);
  EXPECT_EQ(out, (std::vector<int32_t>{0, 2, 0, 2}));
}

TEST(DisplayPipelineStacking, AdvancedStackingFollowsTheRunsOfTheTable) {
  auto s = Settings();
  s->SetAdvanceStacking(true);
  s->SteckingArray.fill(TSteckingRun{1000, 1});
  s->SteckingArray[0] = {0, 1};
  s->SteckingArray[1] = {11, 2};
  s->SteckingArray[2] = {101, 4};
  const std::vector<int32_t> divisors = dp::StackingDivisors(*s, 200);
  for (int j = 0; j < 200; ++j) {
    const int32_t expected = j < 10 ? 1 : j < 100 ? 2 : 4;
    EXPECT_EQ(divisors[static_cast<size_t>(j)], expected) << "sample " << j;
    EXPECT_EQ(dp::GetStackingDivisor(j, *s), expected) << "sample " << j;
  }
  // Each sample divided by its own divisor.
  std::vector<int32_t> raw(200, 6);
  std::vector<int32_t> out(200);
  dp::DivideByStacking(raw.data(), out.data(), 200, divisors);
  EXPECT_EQ(out[9], 6);
  EXPECT_EQ(out[10], 3);
  EXPECT_EQ(out[100], 2);  // 1.5 -> 2
}

TEST(DisplayPipelineStacking, TheScanEndsAtTheFirstEntryBeyondTheSample) {
  auto s = Settings();
  s->SetAdvanceStacking(true);
  s->SteckingArray.fill(TSteckingRun{1000, 1});
  s->SteckingArray[1] = {5, 3};
  s->SteckingArray[2] = {50, 7};
  s->SteckingArray[3] = {20, 9};  // below its predecessor: only reached past 49
  EXPECT_EQ(dp::GetStackingDivisor(30, *s), 3);
  EXPECT_EQ(dp::GetStackingDivisor(60, *s), 9);
  EXPECT_EQ(dp::StackingDivisors(*s, 61)[30], 3);
  EXPECT_EQ(dp::StackingDivisors(*s, 61)[60], 9);
}

TEST(DisplayPipelineStacking, AZeroCountFromADamagedTableDividesByOne) {
  auto s = Settings();
  s->SetAdvanceStacking(true);
  s->SteckingArray.fill(TSteckingRun{1000, 1});
  s->SteckingArray[1] = {0, 0};
  EXPECT_EQ(dp::GetStackingDivisor(3, *s), 1);
  EXPECT_EQ(dp::StackingDivisors(*s, 4), (std::vector<int32_t>{1, 1, 1, 1}));
}

TEST(DisplayPipelineStacking, DivisionMatchesTheExtendedReferenceAtTiesAndExtremes) {
  std::mt19937 rng(5);
  std::vector<int32_t> divisors = {1, 2, 3, 7, 10, 64, 255, 1000, 65535};
  std::vector<int32_t> raw;
  for (int32_t d : divisors) {
    // Exact halves of every sign, the extremes, and noise.
    for (int k = -3; k <= 3; ++k) raw.push_back(static_cast<int32_t>(k * d + d / 2));
    raw.push_back(std::numeric_limits<int32_t>::min());
    raw.push_back(std::numeric_limits<int32_t>::max());
    for (int i = 0; i < 40; ++i) raw.push_back(static_cast<int32_t>(rng()));
  }
  for (int32_t d : divisors) {
    std::vector<int32_t> out(raw.size());
    dp::DivideByStacking(raw.data(), out.data(), static_cast<int64_t>(raw.size()), {d});
    for (size_t i = 0; i < raw.size(); ++i)
      ASSERT_EQ(out[i], Round(static_cast<long double>(raw[i]) / d)) << raw[i] << " / " << d;
  }
}

TEST(DisplayPipelineMaximum, TheQuantileOfThePerTraceMaxima) {
  // Four traces of two samples whose |maxima| are 40, 10, 30, 20.
  const std::vector<int32_t> data = {1, -40, 10, 0, 30, -3, -20, 20};
  EXPECT_EQ(dp::DisplayMaximum(data.data(), 4, 2, 0.75), 30);
  EXPECT_EQ(dp::DisplayMaximum(data.data(), 4, 2, 1.0), 40);
  EXPECT_EQ(dp::DisplayMaximum(data.data(), 4, 2, 0.1), 10);  // index round(-0.6) = -1, kept at 0
}

TEST(DisplayPipelineMaximum, SilentTracesCountAsOneAndTheMostNegativeSaturates) {
  const std::vector<int32_t> zeros(12, 0);
  EXPECT_EQ(dp::DisplayMaximum(zeros.data(), 3, 4, 0.75), 1);
  const std::vector<int32_t> extreme = {std::numeric_limits<int32_t>::min(), 0};
  EXPECT_EQ(dp::DisplayMaximum(extreme.data(), 1, 2, 0.75), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(dp::DisplayMaximum(nullptr, 0, 2, 0.75), 1);
}

TEST(DisplayPipelineIndices, IndexIsRoundedAndLimited) {
  const double k = 127.0 / 30;
  EXPECT_EQ(dp::PaletteIndex(0, k), 127);
  EXPECT_EQ(dp::PaletteIndex(30, k), 254);
  EXPECT_EQ(dp::PaletteIndex(-30, k), 0);
  EXPECT_EQ(dp::PaletteIndex(31, k), 255);
  EXPECT_EQ(dp::PaletteIndex(std::numeric_limits<int32_t>::min(), k), 0);
  EXPECT_EQ(dp::PaletteIndex(1, 0.5), 128);  // 127.5 -> 128 (even)
  EXPECT_EQ(dp::PaletteIndex(3, 0.5), 128);  // 128.5 -> 128
}

TEST(DisplayPipelineIndices, TracesBecomeColumnsAndSamplesRows) {
  // 3 traces of 2 samples.
  const std::vector<int32_t> data = {0, 1, 2, 3, 4, 5};
  std::vector<uint8_t> pixels(2 * 3, 0);
  const std::vector<uint8_t*> rows = {pixels.data(), pixels.data() + 3};
  dp::MapToPaletteIndices(data.data(), 3, 2, 1.0, rows);
  EXPECT_EQ(pixels, (std::vector<uint8_t>{127, 129, 131, 128, 130, 132}));
}

TEST(DisplayPipelineZoom, ZoomedSizesAndShifts) {
  EXPECT_EQ(dp::ZoomedSize(400, 512, 1, 800, 1), (dp::TZoomSize{500, 640}));
  EXPECT_EQ(dp::ZoomedSize(400, 512, 2, 1000, 0.5L), (dp::TZoomSize{400, 256}));
  EXPECT_EQ(dp::ZoomedSize(400, 512, 1, 0, 1), (dp::TZoomSize{}));
  EXPECT_EQ(dp::ZoomedSize(2000000000, 10, 1, 1, 1), (dp::TZoomSize{})) << "does not fit";
  EXPECT_EQ(dp::MetresToTraces(1.0L, 50), 20);
  EXPECT_EQ(dp::MetresToTraces(1.0L, 0), 0);
  EXPECT_EQ(dp::MetresToTraces(0.125L, 50), 2);  // 2.5 -> 2
}

TEST(DisplayPipelineZoom, TheShiftSpanCountsChannelsWithTraces) {
  std::array<dp::TShiftSlot, 5> channels{};
  channels[0] = {true, true, 200000};
  channels[1] = {true, true, 300000};
  channels[2] = {true, false, -900000};  // no traces: not counted
  channels[3] = {true, true, 250000};
  EXPECT_DOUBLE_EQ(static_cast<double>(dp::StartXShiftSpan(channels, 1)), 1.0);
  EXPECT_DOUBLE_EQ(static_cast<double>(dp::StartXShiftSpan(channels, 3)), 0.5);
  EXPECT_DOUBLE_EQ(static_cast<double>(dp::StartXShiftSpan(channels, -1)), 1.0);
  EXPECT_DOUBLE_EQ(static_cast<double>(dp::StartXShiftSpan(channels, 4)), 0.0) << "no store";
  EXPECT_DOUBLE_EQ(static_cast<double>(dp::StartXShiftSpan({}, 0)), 0.0);
}

TEST(DisplayPipelineZoom, MarginsAroundTheImage) {
  struct Case {
    int width, x, v;
    bool flipped;
    int left;
    std::vector<dp::TColumns> margins;
  };
  const Case cases[] = {
      {10, 0, 0, false, 0, {}},
      {10, 3, 5, false, 3, {{0, 3}, {13, 15}}},
      {10, 5, 5, false, 5, {{0, 5}}},
      {10, 3, 5, true, 2, {{0, 2}, {12, 15}}},
      {10, 0, 5, true, 5, {{0, 5}}},
  };
  for (const Case& c : cases) {
    const dp::TZoomPlacement p = dp::PlaceZoomImage(c.width, c.x, c.v, c.flipped);
    EXPECT_EQ(p.Width, c.v + c.width);
    EXPECT_EQ(p.ImageLeft, c.left) << c.x << " " << c.v << " " << c.flipped;
    EXPECT_EQ(p.Margins, c.margins) << c.x << " " << c.v << " " << c.flipped;
  }
}

TEST(DisplayPipelineMarks, ColumnsAndScreenPoints) {
  EXPECT_EQ(dp::MarkColumn(130, 100, 500, false), 30);
  EXPECT_EQ(dp::MarkColumn(130, 100, 500, true), 370);
  dp::TScreenScale scale;
  scale.ZoomFactor = 500;
  scale.Proportion = 1.5L;
  scale.HorScroll = 1049;  // 10.49 -> 10
  scale.VertScroll = 251;  // 2.51
  // r(r((30 + 20) x 1.5 x 2) x 1) - 10
  EXPECT_EQ(dp::ScreenX(30, 20, scale), 140);
  // r(-2.51 + r(r(7 x 2) x 1)) = r(11.49)
  EXPECT_EQ(dp::ScreenY(7, scale), 11);
  scale.ZoomToMaster = 0.5L;
  scale.HorScroll = 0;
  scale.VertScroll = 0;
  EXPECT_EQ(dp::ScreenX(1, 0, scale), 2);  // r(r(3) x 0.5) = r(1.5) = 2
  EXPECT_EQ(dp::ScreenY(5, scale), 5);     // r(10 x 0.5)
}

TEST(DisplayPipelineZoomBitmap, AnUnscaledPictureKeepsTheImportedColoursAndMarginsTakeTheirColour) {
  RasterLibraryStartup();
  TBitmap picture;
  picture.SetPixelFormat(pf8bit);
  TMaxLogPalette log;
  log.palNumEntries = 3;
  log.palPalEntry[0] = {10, 20, 30, 0};
  log.palPalEntry[1] = {200, 100, 50, 0};
  log.palPalEntry[2] = {1, 2, 3, 0};
  picture.SetPalette(CreatePalette(log));
  picture.SetSize(4, 2);
  const uint8_t indices[2][4] = {{0, 1, 2, 7}, {2, 2, 1, 0}};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) picture.ScanLine(y)[x] = indices[y][x];
  TBitmap32 imported;
  imported.Assign(static_cast<TObject*>(&picture));

  const dp::TZoomPlacement place = dp::PlaceZoomImage(4, 1, 3, false);
  const auto zoom = dp::BuildZoomBitmap(picture, {4, 2}, place, false, 0xFF00FF00u);
  ASSERT_EQ(zoom->Width(), 7);
  for (int y = 0; y < 2; ++y) {
    EXPECT_EQ(zoom->Pixel(0, y), 0xFF00FF00u);
    for (int x = 0; x < 4; ++x) EXPECT_EQ(zoom->Pixel(1 + x, y), imported.Pixel(x, y)) << x << "," << y;
    EXPECT_EQ(zoom->Pixel(5, y), 0xFF00FF00u);
    EXPECT_EQ(zoom->Pixel(6, y), 0xFF00FF00u);
  }
  // Flipped: mirrored within its columns, which start at v - x.
  const auto flipped = dp::BuildZoomBitmap(picture, {4, 2}, dp::PlaceZoomImage(4, 1, 3, true), true, 0xFF00FF00u);
  for (int x = 0; x < 4; ++x) EXPECT_EQ(flipped->Pixel(2 + x, 0), imported.Pixel(3 - x, 0)) << x;
  EXPECT_EQ(flipped->Pixel(1, 0), 0xFF00FF00u);
  EXPECT_EQ(flipped->Pixel(6, 0), 0xFF00FF00u);
  // Resampled to another size the picture fills its columns and no margin.
  const auto wider = dp::BuildZoomBitmap(picture, {8, 4}, dp::PlaceZoomImage(8, 0, 0, false), false, 0xFF00FF00u);
  ASSERT_EQ(wider->Width(), 8);
  for (int x = 0; x < 8; ++x) EXPECT_NE(wider->Pixel(x, 1), 0xFF00FF00u) << x;
}

TEST(DisplayPipelineThreads, AnyThreadCountGivesTheSameResult) {
  constexpr int kTraces = 700, kSamples = 1000;
  std::vector<int32_t> raw(static_cast<size_t>(kTraces) * kSamples);
  std::mt19937 rng(9);
  for (int32_t& v : raw) v = static_cast<int32_t>(rng());
  auto s = Settings();
  s->SetAdvanceStacking(true);
  s->SteckingArray.fill(TSteckingRun{1000, 1});
  s->SteckingArray[1] = {300, 3};
  s->SteckingArray[2] = {700, 7};
  const std::vector<int32_t> divisors = dp::StackingDivisors(*s, kSamples);
  struct Result {
    std::vector<int32_t> divided;
    int32_t maximum = 0;
    std::vector<uint8_t> pixels;
  };
  const auto run = [&](int threads) {
    dp::SetDisplayThreads(threads);
    Result r;
    r.divided.resize(raw.size());
    dp::DivideByStacking(raw.data(), r.divided.data(), static_cast<int64_t>(raw.size()) - 5, divisors);
    r.maximum = dp::DisplayMaximum(r.divided.data(), kTraces, kSamples, 0.75);
    r.pixels.assign(raw.size(), 0);
    std::vector<uint8_t*> rows;
    for (int j = 0; j < kSamples; ++j) rows.push_back(r.pixels.data() + static_cast<size_t>(j) * kTraces);
    dp::MapToPaletteIndices(r.divided.data(), kTraces, kSamples, 127.0 / r.maximum, rows);
    return r;
  };
  const Result one = run(1);
  for (int threads : {2, 3, 8}) {
    const Result other = run(threads);
    EXPECT_EQ(other.divided, one.divided) << threads;
    EXPECT_EQ(other.maximum, one.maximum) << threads;
    EXPECT_EQ(other.pixels, one.pixels) << threads;
  }
  dp::SetDisplayThreads(0);
  // The single-thread result is the element-wise rule.
  EXPECT_EQ(one.divided[5 * kSamples + 400], Round(static_cast<long double>(raw[5 * kSamples + 400]) / 3));
  EXPECT_EQ(one.divided.back(), 0) << "past the samples given nothing is written";
}

// ---- Overlay composition -----------------------------------------------------------------

class DisplayPipelineCompose : public ::testing::Test {
protected:
  void SetUp() override {
    RasterLibraryStartup();
    for (auto& b : owned) b = std::make_unique<TCustomBitmap32>();
    for (int i = 0; i < 5; ++i) bitmaps[static_cast<size_t>(i)] = owned[static_cast<size_t>(i)].get();
    Fill(0, 0xFF102030u);
    Fill(1, dp::OverlayClear);
    Fill(2, dp::OverlayClear);
    Fill(3, dp::OverlayClear);
    looks[1] = {128, 0x000000FFu};
    looks[2] = {255, 0};
    looks[3] = {64, 0};
  }
  void Fill(int i, TColor32 c) {
    owned[static_cast<size_t>(i)]->SetSize(3, 1);
    owned[static_cast<size_t>(i)]->Clear(c);
  }
  TColor32 Result(int x) const { return owned[4]->Pixel(x, 0); }
  std::array<std::unique_ptr<TCustomBitmap32>, 5> owned;
  std::array<TCustomBitmap32*, 5> bitmaps{};
  std::array<dp::TOverlayLook, 4> looks{};
};

TEST_F(DisplayPipelineCompose, NoneOrOneCheckedCopies) {
  dp::ComposePostProcBmp(bitmaps, {false, false, false, false}, false, looks);
  EXPECT_EQ(Result(1), 0xFF102030u);
  owned[2]->SetPixel(1, 0, 0xFFABCDEFu);
  dp::ComposePostProcBmp(bitmaps, {false, false, true, false}, false, looks);
  EXPECT_EQ(Result(1), 0xFFABCDEFu);
  EXPECT_EQ(Result(0), dp::OverlayClear);
}

TEST_F(DisplayPipelineCompose, SeveralCheckedBlendEachWithItsOwnAlpha) {
  owned[2]->SetPixel(1, 0, 0xFFFFFFFFu);
  dp::ComposePostProcBmp(bitmaps, {true, false, true, false}, false, looks);
  // Alpha 255 over the base: the overlay's opaque pixel replaces it, its clear
  // pixels leave the base.
  EXPECT_EQ(Result(1), 0xFFFFFFFFu);
  EXPECT_EQ(Result(0), 0xFF102030u);
  // Alpha 64 of the frequency overlay: about a quarter of the way.
  owned[3]->SetPixel(2, 0, 0xFFFFFFFFu);
  dp::ComposePostProcBmp(bitmaps, {true, false, false, true}, false, looks);
  const TColor32 mixed = Result(2);
  EXPECT_NEAR(static_cast<int>(mixed & 0xFF), 0x30 + (0xFF - 0x30) / 4, 3);
}

TEST_F(DisplayPipelineCompose, IntersectionMarksWhereEveryCheckedOverlayMarks) {
  owned[1]->SetPixel(0, 0, 0xFF00FF00u);
  owned[1]->SetPixel(1, 0, 0xFF00FF00u);
  owned[2]->SetPixel(1, 0, 0xFF00FF00u);
  owned[2]->SetPixel(2, 0, 0xFF00FF00u);
  dp::ComposePostProcBmp(bitmaps, {false, true, true, false}, true, looks);
  EXPECT_EQ(Result(0), dp::OverlayClear);
  EXPECT_EQ(Result(1), 0xFF0000FFu) << "the amplitude overlay's colour, opaque";
  EXPECT_EQ(Result(2), dp::OverlayClear);
  // With the base checked the marks are blended over it at the amplitude alpha.
  dp::ComposePostProcBmp(bitmaps, {true, true, true, false}, true, looks);
  EXPECT_EQ(Result(0), 0xFF102030u);
  const TColor32 mixed = Result(1);
  EXPECT_NEAR(static_cast<int>(mixed & 0xFF), (0x30 + 0xFF) / 2, 3);
  EXPECT_NEAR(static_cast<int>((mixed >> 16) & 0xFF), 0x10 / 2, 3);
}

}  // namespace display_pipeline_test
