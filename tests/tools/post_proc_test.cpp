// The overlay objects: a run of one channel on a fake window (levels, the level
// record, buffers made once per data change, progress, pixel bytes, defaults and
// clamping), the godograph pictures, and the factory on a real radargram window.

#include "platform/ui/bitmap.h"
#include "platform/ui/check_list_box.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "radargram/view2d_form.h"
#include "raster/bitmap32.h"
#include "raster/raster_library.h"
#include "tests/radargram/radargram_env.h"
#include "tests/tools/tool_test_support.h"
#include "platform/ui/track_bar.h"
#include "tools/post_proc.h"
#include "tools/post_proc_frames.h"
#include "tools/post_proc_godograph.h"
#include "tools/window_tool_host.h"

#include <gtest/gtest.h>

#include <memory>
#include <numeric>
#include <vector>

namespace post_proc_test {

// A window of channel stores with layer bitmaps as wide as the traces and as
// high as the samples.
constexpr uint32_t kUntouched = 0x00808080u;

class OverlayHost : public FakeToolHost {
public:
  int ShownChannelCount() const override { return shown; }
  T2Dview* ChannelView(int channel) const override {
    return channel >= 0 && channel < static_cast<int>(channels.size()) ? channels[static_cast<size_t>(channel)].get() : nullptr;
  }
  bool HasChart(int) const override { return true; }
  TBitmap32* LayerBitmap(int channel, int layer) const override {
    return channel >= 0 && channel < static_cast<int>(layers.size()) ? layers[static_cast<size_t>(channel)][static_cast<size_t>(layer)].get()
                                                                   : nullptr;
  }
  void ShowProgressPanel(int channel, bool visible) override { panels.push_back({channel, visible}); }

  void Add(const std::vector<int32_t>& samples, int traces, int longTrace) {
    channels.push_back(MakeChannel(traces, longTrace));
    channels.back()->Settings()->RestoreSpanWidth(40);
    if (!samples.empty()) SetSamples(*channels.back(), samples);
    std::array<std::unique_ptr<TBitmap32>, 5> set;
    for (auto& b : set) {
      b = std::make_unique<TBitmap32>();
      b->SetSize(traces, longTrace);
      b->Clear(kUntouched);
    }
    layers.push_back(std::move(set));
    shown = static_cast<int>(channels.size());
  }
  // The cells (trace, sample) painted in a colour.
  int Marked(int channel, int layer) const {
    const TBitmap32& b = *LayerBitmap(channel, layer);
    int n = 0;
    for (int y = 0; y < b.Height(); ++y)
      for (int x = 0; x < b.Width(); ++x) n += (b.Pixel(x, y) >> 24) == 0xFF;
    return n;
  }

  int shown = 0;
  std::vector<std::unique_ptr<T2Dview>> channels;
  std::vector<std::array<std::unique_ptr<TBitmap32>, 5>> layers;
  std::vector<std::pair<int, bool>> panels;
};

class PostProc : public ::testing::Test {
protected:
  void SetUp() override { RasterLibraryStartup(); }
  OverlayHost host;
  PoolThreadsScope threads{2};
};

// 4 traces x 5 samples with the largest amplitude 50 in two cells.
std::vector<int32_t> Peaks() {
  return {1, 2, 3, 4, 5,  //
          -50, 6, 7, 8, 9,  //
          10, 11, 12, 13, 14,  //
          0, 15, 16, 17, 50};
}

TEST_F(PostProc, ComparatorLevelsMarkWhatTheyReach) {
  host.Add(Peaks(), 4, 5);
  TComparatorPostProc comparator(host);
  comparator.SetMinPnt(1);
  comparator.Maxlevel()[0] = 50;
  struct TCase {
    int32_t level;
    int marked;
  };
  for (const TCase& c : {TCase{0, 20}, TCase{100, 2}, TCase{30, 5}}) {
    SCOPED_TRACE(c.level);
    comparator.SetPosLevel(c.level);
    comparator.RunPostProcMethod(0, 1);
    EXPECT_EQ(host.Marked(0, 1), c.marked);
    EXPECT_EQ(comparator.OldPosLevel(), c.level);
    EXPECT_FALSE(comparator.Runned());
    EXPECT_EQ(comparator.ArBmp().Cells.size(), 0u) << "the grid goes with the run";
  }
  // Progress of the last run: 2, W/3, 2W/3, W of the 300-pixel bar.
  const std::vector<std::pair<int, int>> last(host.progress.end() - 4, host.progress.end());
  EXPECT_EQ(last, (std::vector<std::pair<int, int>>{{0, 2}, {0, 100}, {0, 200}, {0, 300}}));
  EXPECT_EQ(host.panels.back(), (std::pair<int, bool>{0, false}));
}

TEST_F(PostProc, PixelBytesOfMarkedAndUnmarkedCells) {
  host.Add(Peaks(), 4, 5);
  for (int kind : {int{ppComparator}, int{ppHilbert}}) {
    SCOPED_TRACE(kind);
    std::unique_ptr<TPostProc> overlay = MakePostProc(static_cast<TPostProcKind>(kind), host);
    overlay->SetMinPnt(1);
    overlay->Maxlevel()[0] = 50;
    overlay->SetPosLevel(100);
    overlay->RunPostProcMethod(0, kind);
    const TBitmap32& b = *host.LayerBitmap(0, kind);
    std::vector<uint8_t> want = kind == ppComparator ? std::vector<uint8_t>{0, 0, 255, 255} : std::vector<uint8_t>{255, 0, 0, 255};
    bool sawMarked = false;
    for (int y = 0; y < b.Height(); ++y)
      for (int x = 0; x < b.Width(); ++x) {
        const auto* bytes = reinterpret_cast<const uint8_t*>(b.PixelPtr(x, y));
        const std::vector<uint8_t> got(bytes, bytes + 4);
        if (got[3] == 255) {
          sawMarked = true;
          EXPECT_EQ(got, want);
        } else {
          EXPECT_EQ(got, (std::vector<uint8_t>{255, 255, 255, 0}));
        }
      }
    // The Hilbert overlay at 100 marks nothing: its test is strict against its
    // own largest value.
    EXPECT_EQ(sawMarked, kind == ppComparator);
  }
}

TEST_F(PostProc, ASecondRunAtTheSameLevelPaintsNothingNewAndAColourChangeRepaints) {
  host.Add(Peaks(), 4, 5);
  TComparatorPostProc comparator(host);
  comparator.Maxlevel()[0] = 50;
  comparator.SetPosLevel(0);
  comparator.RunPostProcMethod(0, 1);
  host.layers[0][1]->Clear(kUntouched);
  comparator.RunPostProcMethod(0, 1);
  EXPECT_EQ(host.LayerBitmap(0, 1)->Pixel(0, 0), kUntouched) << "unchanged level: no run";
  comparator.SetColor(0x00FF00);
  comparator.SetOldPosLevel(-1);
  comparator.RunPostProcMethod(0, 1);
  EXPECT_EQ(host.LayerBitmap(0, 1)->Pixel(0, 0), 0xFF00FF00u);
}

TEST_F(PostProc, ABreakAtTheLastChannelStillRecordsTheComparatorsLevel) {
  host.Add(Peaks(), 4, 5);
  host.Add(Peaks(), 4, 5);
  host.br = true;
  TComparatorPostProc comparator(host);
  THilbertPostProc hilbert(host);
  comparator.SetPosLevel(60);
  hilbert.SetPosLevel(60);
  for (TPostProc* overlay : {static_cast<TPostProc*>(&comparator), static_cast<TPostProc*>(&hilbert)}) {
    overlay->RunPostProcMethod(0, overlay->Kind());
    EXPECT_EQ(overlay->OldPosLevel(), -1);
    overlay->RunPostProcMethod(1, overlay->Kind());
    EXPECT_EQ(host.Marked(1, overlay->Kind()), 0) << "nothing painted";
  }
  EXPECT_EQ(comparator.OldPosLevel(), 60);
  EXPECT_EQ(hilbert.OldPosLevel(), -1);
}

TEST_F(PostProc, AnEmptyChannelMarksNothing) {
  host.Add({}, 0, 5);
  host.layers[0][1]->SetSize(3, 5);
  host.layers[0][1]->Clear(kUntouched);
  TComparatorPostProc comparator(host);
  comparator.Maxlevel()[0] = -1000000;
  comparator.SetPosLevel(0);
  comparator.RunPostProcMethod(0, 1);
  EXPECT_EQ(host.LayerBitmap(0, 1)->Pixel(0, 0), kUntouched);
}

TEST_F(PostProc, EnvelopeBuffersAreMadeOncePerDataChange) {
  std::vector<int32_t> samples(6 * 8);
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<int32_t>((i * 37) % 23) - 11;
  host.Add(samples, 6, 8);
  for (int kind : {int{ppHilbert}, int{ppFrequency}}) {
    SCOPED_TRACE(kind);
    SetSamples(*host.channels[0], samples);
    std::unique_ptr<TPostProc> overlay = MakePostProc(static_cast<TPostProcKind>(kind), host);
    overlay->SetPosLevel(10);
    overlay->RunPostProcMethod(0, kind);
    ASSERT_NE(overlay->SaveBuf(0), nullptr);
    EXPECT_EQ(overlay->SaveBufSize(0), 6 * 8 * 4);
    EXPECT_FALSE(overlay->isRunCalc()) << "the last shown channel done";
    std::vector<int32_t> expected(samples.size());
    if (kind == ppHilbert)
      EnvelopeBuffer(samples.data(), 8, 6, expected.data());
    else
      FrequencyBuffer(samples.data(), 8, 6, 40, expected.data());
    const std::vector<int32_t> first(overlay->SaveBuf(0), overlay->SaveBuf(0) + samples.size());
    EXPECT_EQ(first, expected);
    EXPECT_EQ(overlay->Maxlevel()[0], BufferMaxLevel(expected.data(), static_cast<int64_t>(expected.size())));
    // The data change; a new level alone keeps the buffer.
    std::vector<int32_t> changed = samples;
    for (int32_t& v : changed) v = v * 3 + 1;
    SetSamples(*host.channels[0], changed);
    overlay->SetPosLevel(20);
    overlay->RunPostProcMethod(0, kind);
    EXPECT_EQ(std::vector<int32_t>(overlay->SaveBuf(0), overlay->SaveBuf(0) + samples.size()), first);
    // After a chain run the window asks for new buffers.
    overlay->SetRunCalc(true);
    overlay->SetOldPosLevel(-1);
    overlay->RunPostProcMethod(0, kind);
    EXPECT_NE(std::vector<int32_t>(overlay->SaveBuf(0), overlay->SaveBuf(0) + samples.size()), first);
  }
}

TEST_F(PostProc, FrequencyWindowOneMarksEveryCellAboveLevelZero) {
  std::vector<int32_t> samples(5 * 16);
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<int32_t>((i * 7919) % 201) - 100;
  host.Add(samples, 5, 16);
  TFreqHilbertPostProc frequency(host);
  frequency.SetMinPnt(1);
  frequency.SetWinFreqSize(1);
  frequency.SetPosLevel(1);
  frequency.RunPostProcMethod(0, 3);
  EXPECT_EQ(host.Marked(0, 3), 5 * 16);
  frequency.SetPosLevel(0);
  frequency.RunPostProcMethod(0, 3);
  EXPECT_EQ(host.Marked(0, 3), 0);
}

class RecordingShell final : public IToolShell {
public:
  int32_t Language() const override { return 1033; }
  std::array<T2Dview*, 5> CurrentViews() const override { return {}; }
  TPostProcDefaults PostProcDefaults(TPostProcKind) const override { return values; }
  TPostProcDefaults values;
};

TEST_F(PostProc, OverlaysStartWithTheMainWindowsValuesClamped) {
  {
    TComparatorPostProc comparator(host);
    EXPECT_EQ(comparator.PosLevel(), 40);
    EXPECT_EQ(comparator.AlphaBlend(), 128);
    EXPECT_EQ(comparator.Color(), 255);
    EXPECT_EQ(comparator.MinPnt(), 3);
    ASSERT_NE(comparator.GodographBmp(), nullptr);
    EXPECT_EQ(comparator.GodographBmp()->Width(), 144);
    TFreqHilbertPostProc frequency(host);
    EXPECT_EQ(frequency.Color(), 0xFF0000);
    EXPECT_EQ(frequency.WinFreqSize(), 3);
    EXPECT_EQ(frequency.Maxlevel()[4], 50000);
    EXPECT_EQ(frequency.GodographBmp(), nullptr);
  }
  RecordingShell shell;
  SetToolShell(&shell);
  struct TCase {
    TPostProcDefaults in;
    int32_t level, alpha, minPnt, freq;
  };
  const TCase cases[] = {
      {{101, 300, 5, 0, 3, 3, 4}, 100, 255, 1, 3},
      {{-5, -1, 5, -7, 3, 3, 40}, 0, 0, 1, 21},
      {{55, 77, 5, 9, 3, 3, 0}, 55, 77, 9, 1},
  };
  for (const TCase& c : cases) {
    shell.values = c.in;
    TFreqHilbertPostProc frequency(host);
    EXPECT_EQ(frequency.PosLevel(), c.level);
    EXPECT_EQ(frequency.AlphaBlend(), c.alpha);
    EXPECT_EQ(frequency.MinPnt(), c.minPnt);
    EXPECT_EQ(frequency.WinFreqSize(), c.freq);
  }
  SetToolShell(nullptr);
}

// ---- Godographs ------------------------------------------------------------------------------

// The rows of column x that are black.
std::vector<int> BlackRows(const TBitmap32& b, int x) {
  std::vector<int> rows;
  for (int y = 0; y < b.Height(); ++y)
    if (b.Pixel(x, y) == 0xFF000000u) rows.push_back(y);
  return rows;
}

TEST_F(PostProc, GodographColumnsRiseFromTheBottomByTheirCount) {
  // Amplitude bins round(|x| x 143 / 143) = |x|: bin 0 twice, bin 10 four times.
  const std::vector<int32_t> data{0, 0, 10, -10, 10, -10, 500};
  const std::vector<int64_t> bins = AmplitudeGodographBins(data.data(), 7, 143);
  EXPECT_EQ(bins[0], 2);
  EXPECT_EQ(bins[10], 4);
  EXPECT_EQ(std::accumulate(bins.begin(), bins.end(), int64_t{0}), 6) << "bin 500 is past 143";
  std::unique_ptr<TBitmap32> picture;
  DrawAmplitudeGodograph(144, 64, data.data(), picture, 143, 7);
  ASSERT_NE(picture, nullptr);
  // Full column: rows 62 up to row ceil(64 - 3 - 64) = -3, not drawn: 0..62.
  EXPECT_EQ(BlackRows(*picture, 10).size(), 63u);
  // Half: ceil(61 - 32) = 29 not drawn: rows 30..62.
  EXPECT_EQ(BlackRows(*picture, 0).front(), 30);
  EXPECT_EQ(BlackRows(*picture, 0).back(), 62);
  // Empty bin: row 62 only.
  EXPECT_EQ(BlackRows(*picture, 1), (std::vector<int>{62}));
  EXPECT_EQ(picture->Pixel(143, 63), 0xFFFFFFFFu);
}

TEST_F(PostProc, GodographWithNothingCountedOrNoLevelIsBlank) {
  const std::vector<int32_t> data{5, 6};
  std::unique_ptr<TBitmap32> picture;
  DrawAmplitudeGodograph(144, 64, data.data(), picture, 0, 2);
  for (int x = 0; x < 144; ++x) EXPECT_TRUE(BlackRows(*picture, x).empty()) << x;
  // Missing data: the bitmap is made and otherwise left alone.
  std::unique_ptr<TBitmap32> made;
  DrawAmplitudeGodograph(144, 64, nullptr, made, 10, 2);
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->Width(), 144);
}

TEST_F(PostProc, WindowMeasuresFollowTheirFormulas) {
  // 1 trace x 3 samples, half window 1.
  const std::vector<int32_t> buffer{10, 0, 40};
  // Range: sample 0 window {10, 0}: (10 - 0) / 10 = 1 -> v 144 -> bin 143.
  // Sample 1 {10, 0, 40}: 40 / 40 = 1 -> 143. Sample 2 {0, 40}: 143.
  std::vector<int64_t> range = WindowRangeGodographBins(buffer.data(), 3, 1, 1);
  EXPECT_EQ(range[143], 3);
  // Contrast: sample 0 (c0 10): farthest 0 at 10 -> ref 10 -> m 143 -> bin 0.
  // Sample 1 (c0 0): farthest 40 at 40, ref 1 -> 40 > 1 -> 40: m 143 -> bin 0.
  // Sample 2 (c0 40): farthest 0 at 40 -> m 143 -> bin 0.
  std::vector<int64_t> contrast = WindowContrastGodographBins(buffer.data(), 3, 1, 1);
  EXPECT_EQ(contrast[0], 3);
  const std::vector<int32_t> flat{7, 7, 7, 8};
  // Range of {7, 7}: mn 7, mx 7 -> 0 -> bin 0; with 8: 1/8 -> v 18 -> bin 18.
  range = WindowRangeGodographBins(flat.data(), 4, 1, 1);
  EXPECT_EQ(range[0], 2);
  EXPECT_EQ(range[18], 2);
  // Contrast of a uniform window: d 0 -> m 0 -> bin 143; with 8 beside 7:
  // c0 7, d 1, ref 8 -> round(143 / 8) = 18 -> bin 125; c0 8: d 1, ref 8 -> 125.
  contrast = WindowContrastGodographBins(flat.data(), 4, 1, 1);
  EXPECT_EQ(contrast[143], 2);
  EXPECT_EQ(contrast[125], 2);
}

// ---- A real window ---------------------------------------------------------------------------

class PostProcWindow : public ::testing::Test {
protected:
  void SetUp() override { ToolsLibraryStartup(); }
  void TearDown() override {
    SetPostProcFactory(nullptr);
    SetToolHostResolver({});
  }
  // A window of `channels` channels of 20 traces x 16 samples, computed.
  TView2DForm* Window(int channels) {
    TView2DForm* w = env.Create(channels);
    for (int c = 0; c < channels; ++c) {
    T2Dview& store = *w->GetView2DByIndx(c);
    TSettingData& s = *store.Settings();
    s.RestoreLongTrace(16);
    s.SetAdvanceStacking(false);
    s.SetStacking(1);
    store.SetMinNumTraces(0);
    store.SetMaxNumTraces(20);
    store.RawData.Allocate(20 * 16 * 4);
    store.dezoData.Allocate(20 * 16 * 4);
    store.SetSizeDat(20 * 16 * 4);
    for (int i = 0; i < 20 * 16; ++i) store.RawData.Data()[i] = (c + 1) * ((i * 37) % 41 - 20) * 100;
    }
    w->Paint2D(0);
    return w;
  }
  static int Marked(const TBitmap32* b) {
    int marked = 0;
    for (int y = 0; y < b->Height(); ++y)
      for (int x = 0; x < b->Width(); ++x) marked += (b->Pixel(x, y) >> 24) == 0xFF;
    return marked;
  }
  TRadargramEnv env;
};

TEST_F(PostProcWindow, CheckingComparatorAndHilbertBlendsBothOverEveryChannel) {
  TView2DForm* w = Window(2);
  ASSERT_NE(w->ComparatorPostProc(), nullptr);
  ASSERT_NE(dynamic_cast<TComparatorPostProc*>(w->ComparatorPostProc()), nullptr);
  ASSERT_NE(dynamic_cast<TFreqHilbertPostProc*>(w->FreqHilbertPostProc()), nullptr);
  for (int item : {1, 2}) {
    w->PostProcCheckListBox->SetChecked(item, true);
    w->PostProcCheckListBoxClickCheck(w->PostProcCheckListBox);
  }
  for (int c = 0; c < 2; ++c) {
    SCOPED_TRACE(c);
    for (int layer : {1, 2}) {
      const TBitmap32* b = w->GetBmpPostProcByIndx(c, layer);
      ASSERT_NE(b, nullptr);
      int marked = 0;
      for (int y = 0; y < b->Height(); ++y)
        for (int x = 0; x < b->Width(); ++x) marked += (b->Pixel(x, y) >> 24) == 0xFF;
      EXPECT_GT(marked, 0) << layer;
      EXPECT_LT(marked, b->Width() * b->Height()) << layer;
    }
    const TBitmap32* blended = w->GetBmpPostProcByIndx(c, 4);
    ASSERT_NE(blended, nullptr);
    // The blended layer differs from the plain radargram where either overlay marks.
    const TBitmap32* plain = w->GetBmpPostProcByIndx(c, 0);
    bool differs = false;
    for (int y = 0; y < plain->Height() && !differs; ++y)
      for (int x = 0; x < plain->Width() && !differs; ++x) differs = plain->Pixel(x, y) != blended->Pixel(x, y);
    EXPECT_TRUE(differs);
    EXPECT_EQ(w->Bmp_[static_cast<size_t>(c)]->PixelFormat(), pf32bit);
  }
  // Selecting an overlay shows its frame with the overlay's values.
  w->PostProcCheckListBox->SetItemIndex(2);
  w->PostProcCheckListBoxClick(w->PostProcCheckListBox);
  auto* frame = dynamic_cast<THilbertPropertyFrame*>(w->PostProcCurFrame.get());
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->LevelTrackBar->Position(), 40);
  EXPECT_TRUE(frame->NeedRepaint);
  // Its godograph: the Hilbert buffer of channel 0 was computed, so it is drawn.
  auto* hilbert = dynamic_cast<THilbertPostProc*>(w->HilbertPostProc());
  ASSERT_NE(hilbert->GodographBmp(), nullptr);
  EXPECT_EQ(hilbert->GodographBmp()->Width(), 144);
  w->PostProcCheckListBox->SetItemIndex(0);
  w->PostProcCheckListBoxClick(w->PostProcCheckListBox);
  EXPECT_EQ(w->PostProcCurFrame, nullptr);
}

TEST_F(PostProcWindow, AnOverlayRunsOnItsOwnWindow) {
  TView2DForm* a = Window(1);
  TView2DForm* b = Window(1);
  a->PostProcCheckListBox->SetChecked(1, true);
  a->PostProcCheckListBoxClickCheck(a->PostProcCheckListBox);
  EXPECT_GT(Marked(a->GetBmpPostProcByIndx(0, 1)), 0);
  // The other window's overlay layer is still its plain picture, if any.
  const TBitmap32* other = b->GetBmpPostProcByIndx(0, 1);
  if (other) {
    const TBitmap32* plain = b->GetBmpPostProcByIndx(0, 0);
    ASSERT_NE(plain, nullptr);
    for (int y = 0; y < other->Height(); ++y)
      for (int x = 0; x < other->Width(); ++x) ASSERT_EQ(other->Pixel(x, y), plain->Pixel(x, y));
  }
  EXPECT_NE(a->ComparatorPostProc(), b->ComparatorPostProc());
}

}  // namespace post_proc_test
