// The radargram window's post-processing overlays with fake overlay objects
// that mark known pixels: the check list, the runs per channel, the plain image
// when the last overlay goes off, the amplitude range, the frames with their
// histograms and run control, the intersection box, and the safety rules.

#include "platform/ui/bitmap.h"
#include "platform/ui/check_list_box.h"
#include "platform/ui/image.h"
#include "platform/ui/std_controls.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "radargram/post_proc_overlays.h"
#include "radargram/view2d_form.h"
#include "raster/bitmap32.h"
#include "tests/radargram/radargram_env.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace view2d_postproc_test {

void Fill(T2Dview& store, int traces, int longTrace, int scale) {
  TSettingData& s = *store.Settings();
  s.RestoreLongTrace(longTrace);
  s.SetAdvanceStacking(false);
  s.SetStacking(1);
  FillRawSums(store, traces, longTrace, [longTrace, scale](int t, int j) {
    return scale * (static_cast<int32_t>((int64_t{t} * longTrace + j) % 41) - 20);
  });
}

struct TRun {
  int kind;
  int channel;
  bool operator==(const TRun&) const = default;
};

class FakeFrame;

// An overlay that marks pixel (kind, 0) of its layer in its colour.
class FakeOverlay final : public IPostProcOverlay {
public:
  FakeOverlay(TPostProcKind kind, TView2DForm& window, std::vector<TRun>& runs) : kind_(kind), window_(window), runs_(runs) {
    maxlevel_.fill(50000);
  }
  void RunPostProcMethod(int NumRadar, int NumProcess) override {
    runs_.push_back({NumProcess, NumRadar});
    if (during) during(NumRadar);
    TBitmap32* layer = window_.GetBmpPostProcByIndx(NumRadar, NumProcess);
    if (!layer || layer->Empty()) return;
    for (int y = 0; y < layer->Height(); ++y)
      for (int x = 0; x < layer->Width(); ++x) layer->SetPixel(x, y, 0x00FFFFFF);
    layer->SetPixel(kind_, 0, 0xFF000000u | color32);
    oldPosLevel_ = 40;
  }
  std::array<int32_t, kChannelSlots>& MinLevel() override { return minlevel_; }
  std::array<int32_t, kChannelSlots>& Maxlevel() override { return maxlevel_; }
  int32_t OldPosLevel() const override { return oldPosLevel_; }
  void SetOldPosLevel(int32_t value) override { oldPosLevel_ = value; }
  void SetRunCalc(bool value) override { runCalc = value; }
  bool isRunCalc() const override { return runCalc; }
  const int32_t* SaveBuf(int channel) const override { return channel == 0 && !buffer.empty() ? buffer.data() : nullptr; }
  int64_t SaveBufSize(int channel) const override { return channel == 0 ? static_cast<int64_t>(buffer.size()) * 4 : 0; }
  TColor Color() const override { return 0x0000FF; }
  uint8_t AlphaBlend() const override { return 255; }
  std::unique_ptr<TBitmap32>& GodographBmp() override { return godograph_; }

  static constexpr uint32_t color32 = 0xFF0000;  // red, as TColor32 RGB
  std::function<void(int channel)> during;
  bool runCalc = false;
  std::vector<int32_t> buffer;

private:
  int kind_;
  TView2DForm& window_;
  std::vector<TRun>& runs_;
  std::array<int32_t, kChannelSlots> minlevel_{}, maxlevel_{};
  int32_t oldPosLevel_ = 40;
  std::unique_ptr<TBitmap32> godograph_;
};

class FakeFrame final : public IPostProcFrame {
public:
  explicit FakeFrame(TWinControl* parent) : image(new TImage(nullptr)) { image->SetParent(parent); }
  ~FakeFrame() override { image->Free(); }
  TImage* GodographImage() override { return image; }
  void UpdateParameters() override { ++updates; }
  bool RunEnabled() const override { return runEnabled; }
  void SetRunEnabled(bool value) override { runEnabled = value; }
  TImage* image;
  int updates = 0;
  bool runEnabled = true;
};

struct TGodograph {
  int kind;
  int window;
  int32_t maxlevel;
  int64_t count;
  bool operator==(const TGodograph&) const = default;
};

class FakeFactory final : public IPostProcFactory {
public:
  std::unique_ptr<IPostProcOverlay> CreateOverlay(TPostProcKind kind, TView2DForm& window) override {
    auto overlay = std::make_unique<FakeOverlay>(kind, window, runs);
    overlays[kind] = overlay.get();
    return overlay;
  }
  std::unique_ptr<IPostProcFrame> CreateFrame(TPostProcKind, IPostProcOverlay&, TView2DForm&, TWinControl* parent) override {
    auto frame = std::make_unique<FakeFrame>(parent);
    lastFrame = frame.get();
    return frame;
  }
  void DrawAmplitudeGodograph(int width, int height, const int32_t*, std::unique_ptr<TBitmap32>& bitmap, int32_t maxlevel,
                              int64_t count) override {
    Draw(bitmap, width, height);
    godographs.push_back({ppComparator, 0, maxlevel, count});
  }
  void DrawWindowRangeGodograph(int width, int height, const int32_t*, std::unique_ptr<TBitmap32>& bitmap, const T2Dview&,
                                int window, int32_t maxlevel, int64_t size) override {
    Draw(bitmap, width, height);
    godographs.push_back({ppHilbert, window, maxlevel, size});
  }
  void DrawWindowContrastGodograph(int width, int height, const int32_t*, std::unique_ptr<TBitmap32>& bitmap,
                                   const T2Dview&, int window, int32_t maxlevel, int64_t size) override {
    Draw(bitmap, width, height);
    godographs.push_back({ppFrequency, window, maxlevel, size});
  }

  std::vector<TRun> runs;
  std::array<FakeOverlay*, 4> overlays{};
  FakeFrame* lastFrame = nullptr;
  std::vector<TGodograph> godographs;

private:
  static void Draw(std::unique_ptr<TBitmap32>& bitmap, int width, int height) {
    if (!bitmap) {
      bitmap = std::make_unique<TBitmap32>();
      bitmap->SetSize(width, height);
    }
  }
};

std::vector<uint8_t> Indices(TBitmap& bitmap) {
  std::vector<uint8_t> out;
  for (int y = 0; y < bitmap.Height(); ++y) out.insert(out.end(), bitmap.ScanLine(y), bitmap.ScanLine(y) + bitmap.Width());
  return out;
}

class View2DPostProc : public ::testing::Test {
protected:
  void SetUp() override { SetPostProcFactory(&factory); }
  void TearDown() override { SetPostProcFactory(nullptr); }
  TView2DForm* Window(int channels, int traces = 30, int longTrace = 12) {
    TView2DForm* window = env.Create(channels);
    for (int c = 0; c < channels; ++c) Fill(*window->GetView2DByIndx(c), traces, longTrace, c + 1);
    window->Paint2D(0);
    factory.runs.clear();
    return window;
  }
  // The user turns an item's check.
  static void Check(TView2DForm& w, int item, bool on) {
    w.PostProcCheckListBox->SetChecked(item, on);
    w.PostProcCheckListBoxClickCheck(w.PostProcCheckListBox);
  }
  static void Select(TView2DForm& w, int item) {
    w.PostProcCheckListBox->SetItemIndex(item);
    w.PostProcCheckListBoxClick(w.PostProcCheckListBox);
  }

  FakeFactory factory;
  TRadargramEnv env;
};

TEST_F(View2DPostProc, WithoutARegisteredFactoryThereAreNoOverlays) {
  SetPostProcFactory(nullptr);
  TView2DForm* w = Window(1);
  EXPECT_EQ(w->ComparatorPostProc(), nullptr);
  const std::vector<uint8_t> plain = Indices(*w->Bmp_[0]);
  Check(*w, 1, true);
  Select(*w, 1);
  EXPECT_EQ(w->PostProcCurFrame, nullptr);
  EXPECT_EQ(Indices(*w->Bmp_[0]), plain);
}

TEST_F(View2DPostProc, CheckingAnOverlayRunsItForEveryShownChannelAndShowsItsMarks) {
  TView2DForm* w = Window(2);
  Check(*w, 1, true);
  EXPECT_EQ(factory.runs, (std::vector<TRun>{{1, 0}, {1, 1}}));
  for (int c = 0; c < 2; ++c) {
    TBitmap& display = *w->Bmp_[static_cast<size_t>(c)];
    ASSERT_EQ(display.PixelFormat(), pf32bit) << c;
    // The mark is opaque red blended at alpha 255 over the base.
    EXPECT_EQ(ColorToRGB(display.Canvas()->Pixels(1, 0)), TColor{0x0000FF}) << c;
    EXPECT_NE(ColorToRGB(display.Canvas()->Pixels(2, 0)), TColor{0x0000FF}) << c;
  }
  EXPECT_TRUE(w->PredProcCheckOn);
}

TEST_F(View2DPostProc, UncheckingTheLastRestoresThePlainImageOfEveryShownChannel) {
  TView2DForm* w = Window(2);
  const std::vector<uint8_t> plain0 = Indices(*w->Bmp_[0]);
  const std::vector<uint8_t> plain1 = Indices(*w->Bmp_[1]);
  // No stored picture of the record: the plain image comes from the data.
  ASSERT_TRUE(!w->GetView2DByIndx(0)->Settings()->Bmp || w->GetView2DByIndx(0)->Settings()->Bmp->Width() == 0);
  Check(*w, 1, true);
  Check(*w, 1, false);
  EXPECT_FALSE(w->PredProcCheckOn);
  ASSERT_EQ(w->Bmp_[0]->PixelFormat(), pf8bit);
  EXPECT_EQ(Indices(*w->Bmp_[0]), plain0);
  EXPECT_EQ(Indices(*w->Bmp_[1]), plain1);
}

TEST_F(View2DPostProc, BeforeTheFirstComputationThePlainImageIsTheRecordsPicture) {
  TView2DForm* w = Window(1);
  Check(*w, 1, true);
  // As after opening a recent record: a picture, no working data yet.
  T2Dview& store = *w->GetView2DByIndx(0);
  auto picture = std::make_unique<TBitmap>();
  picture->SetPixelFormat(pf8bit);
  picture->SetSize(5, 4);
  for (int y = 0; y < 4; ++y) std::fill(picture->ScanLine(y), picture->ScanLine(y) + 5, static_cast<uint8_t>(60 + y));
  store.Settings()->Bmp = std::move(picture);
  store.dezoData.Allocate(0);
  Check(*w, 1, false);
  ASSERT_EQ(w->Bmp_[0]->Width(), 5);
  EXPECT_EQ(w->Bmp_[0]->ScanLine(3)[4], 63);
}

TEST_F(View2DPostProc, UncheckingOneOfTwoKeepsTheOther) {
  TView2DForm* w = Window(1);
  Check(*w, 1, true);
  Check(*w, 2, true);
  EXPECT_EQ(ColorToRGB(w->Bmp_[0]->Canvas()->Pixels(2, 0)), TColor{0x0000FF});
  Check(*w, 2, false);
  EXPECT_TRUE(w->PredProcCheckOn);
  EXPECT_EQ(ColorToRGB(w->Bmp_[0]->Canvas()->Pixels(1, 0)), TColor{0x0000FF});
  EXPECT_NE(ColorToRGB(w->Bmp_[0]->Canvas()->Pixels(2, 0)), TColor{0x0000FF});
}

TEST_F(View2DPostProc, BmpDezoAloneIsNoOverlay) {
  TView2DForm* w = Window(1);
  const std::vector<uint8_t> plain = Indices(*w->Bmp_[0]);
  ASSERT_TRUE(w->PostProcCheckListBox->Checked(0));
  EXPECT_FALSE(w->isPostProcCheckOn());
  Check(*w, 0, false);
  Check(*w, 0, true);
  EXPECT_FALSE(w->PredProcCheckOn);
  EXPECT_TRUE(factory.runs.empty());
  ASSERT_EQ(w->Bmp_[0]->PixelFormat(), pf8bit);
  EXPECT_EQ(Indices(*w->Bmp_[0]), plain);
}

TEST_F(View2DPostProc, AnEmptyChannelKeepsItsRangeAtMinusOneMillionAndDrawsNoHistogram) {
  TView2DForm* w = env.Create(2);
  Fill(*w->GetView2DByIndx(1), 30, 12, 3);
  w->Paint2D(0);
  w->GetMinMaxLevelPostProcComparator();
  IPostProcOverlay& comparator = *w->ComparatorPostProc();
  EXPECT_EQ(comparator.Maxlevel()[0], -1000000);
  EXPECT_EQ(comparator.Maxlevel()[1], 60);
  EXPECT_EQ(comparator.Maxlevel()[4], -1000000);
  Select(*w, 1);
  ASSERT_NE(factory.lastFrame, nullptr);
  EXPECT_TRUE(factory.godographs.empty());
  EXPECT_EQ(factory.lastFrame->updates, 1);
}

TEST_F(View2DPostProc, FramesDrawTheirHistogramsWithTheirWindows) {
  TView2DForm* w = Window(1);
  Select(*w, 1);
  ASSERT_EQ(factory.godographs.size(), 1u);
  EXPECT_EQ(factory.godographs[0], (TGodograph{ppComparator, 0, 20, 30 * 12}));
  EXPECT_EQ(factory.lastFrame->image->Picture()->Width(), 144);
  EXPECT_EQ(factory.lastFrame->image->Picture()->Height(), 64);

  factory.overlays[ppFrequency]->buffer.assign(30 * 12, 7);
  Select(*w, 3);
  Check(*w, 3, true);
  ASSERT_EQ(factory.godographs.size(), 3u);
  EXPECT_EQ(factory.godographs[1], (TGodograph{ppFrequency, 5, 50000, 30 * 12 * 4}));
  EXPECT_EQ(factory.godographs[2], (TGodograph{ppFrequency, 6, 50000, 30 * 12 * 4}));
}

TEST_F(View2DPostProc, AnEnvelopeFramesRunControlIsDisabledWhileItsOverlayRuns) {
  TView2DForm* w = Window(1);
  Select(*w, 2);
  FakeFrame* frame = factory.lastFrame;
  ASSERT_NE(frame, nullptr);
  std::vector<bool> during;
  factory.overlays[ppHilbert]->during = [&](int) { during.push_back(frame->RunEnabled()); };
  Check(*w, 2, true);
  EXPECT_EQ(during, std::vector<bool>{false});
  EXPECT_TRUE(frame->RunEnabled());
}

TEST_F(View2DPostProc, NothingRunsWhileTheMainWindowClosesAChild) {
  TView2DForm* w = Window(1);
  w->PostProcCheckListBox->SetChecked(1, true);
  env.shell.closeChild = true;
  w->RunPostProcess(nullptr);
  EXPECT_TRUE(factory.runs.empty());
  env.shell.closeChild = false;
}

TEST_F(View2DPostProc, ABreakDuringAChannelStopsAfterThatChannel) {
  TView2DForm* w = Window(3);
  factory.overlays[ppComparator]->during = [w](int channel) {
    if (channel == 1) w->Br = true;
  };
  Check(*w, 1, true);
  EXPECT_EQ(factory.runs, (std::vector<TRun>{{1, 0}, {1, 1}}));
  EXPECT_FALSE(w->Br);
}

TEST_F(View2DPostProc, TheIntersectionBoxRerunsEveryShownChannel) {
  TView2DForm* w = Window(2);
  w->PostProcCheckListBox->SetChecked(1, true);
  // The box's state change is its click.
  w->chIntersectionPostBMP->SetChecked(true);
  EXPECT_TRUE(IntersectionPostBmp());
  EXPECT_EQ(factory.runs, (std::vector<TRun>{{1, 0}, {1, 1}}));
  w->chIntersectionPostBMP->SetChecked(false);
  EXPECT_FALSE(IntersectionPostBmp());
  EXPECT_EQ(factory.runs.size(), 4u);
}

TEST_F(View2DPostProc, ARecomputationStartsTheLayersAgainFromThePlainImage) {
  TView2DForm* w = Window(1);
  Check(*w, 1, true);
  factory.overlays[ppHilbert]->runCalc = false;
  w->Paint2D_Radar(0, 0);
  EXPECT_TRUE(factory.overlays[ppHilbert]->runCalc);
  EXPECT_TRUE(PostProcBaseValid());
  // The base layer is the plain picture, not the composed one with the mark.
  const TBitmap32& base = *w->GetBmpPostProcByIndx(0, 0);
  EXPECT_NE(base.Pixel(1, 0) & 0xFFFFFFu, FakeOverlay::color32);
  EXPECT_EQ(ColorToRGB(w->Bmp_[0]->Canvas()->Pixels(1, 0)), TColor{0x0000FF});
}

}  // namespace view2d_postproc_test
