// The radargram window's depth slice on real channel stores: the slice image
// after a recomputation, a channel 0 without picture, the track bar and its
// depth lines, "Auto", and the online slice following the strongest reflection.

#include "platform/ui/bitmap.h"
#include "platform/ui/chart.h"
#include "platform/ui/std_controls.h"
#include "platform/ui/track_bar.h"
#include "profiledata/channel_store.h"
#include "profiledata/digit_edit.h"
#include "profiledata/setting_data.h"
#include "radar/online_stages.h"
#include "radargram/view2d_form.h"
#include "tests/radargram/radargram_env.h"
#include "tests/support/qstring_print.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace view2d_slice_test {

constexpr int kTraces = 120;
constexpr int kSamples = 200;

// 200 samples over 100 ns at 100 m/us: 2.5 cm per sample; a reflector band at
// sample 80 in every trace.
void Fill(T2Dview& store, int32_t speed = 100) {
  TSettingData& s = *store.Settings();
  s.SetOverStep(5);
  s.RestoreSpanWidth(100);
  s.RestoreLongTrace(kSamples);
  s.SetSpeedLight(speed);
  s.SetNullShift(0);
  s.SetAdvanceStacking(false);
  s.SetStacking(1);
  FillRawSums(store, kTraces, kSamples, [](int t, int j) {
    return j == 80 ? 9000 : static_cast<int32_t>(((int64_t{t} * kSamples + j) * 7) % 11) - 5;
  });
}

class View2DSlice : public ::testing::Test {
protected:
  TView2DForm* Window() {
    TView2DForm* w = env.Create(3);
    for (int c = 0; c < 3; ++c) Fill(*w->GetView2DByIndx(c));
    w->ViewSectOfDeep = true;
    return w;
  }
  TRadargramEnv env;
};

TEST_F(View2DSlice, ARecomputationBuildsTheSliceAtTheTrackBarDepth) {
  TView2DForm* w = Window();
  w->SectOfDeepTrackBar->SetPosition(200);  // 2 m: sample 80
  w->Paint2D(0);
  EXPECT_EQ(w->SectOfDeep_m, 2.0L);
  EXPECT_EQ(w->SectOfDeep, 80);
  // One row per channel, each the channel's reflector row.
  const std::vector<uint8_t> slice = w->SliceRow(0);
  ASSERT_EQ(slice.size(), static_cast<size_t>(3 * kTraces));
  for (int c = 0; c < 3; ++c) EXPECT_EQ(slice[static_cast<size_t>(c * kTraces + 5)], w->Bmp_[c]->ScanLine(80)[5]);
  EXPECT_NE(slice[5], 127);
  const TBitmap& back = *w->Chart_SectOfDeep->BackImage();
  EXPECT_EQ(back.Width(), static_cast<int>(std::lround(static_cast<double>(w->ProportionalCoefic) * kTraces)));
  EXPECT_EQ(w->SectOfDeepTrackBar->Min(), 0);
  EXPECT_EQ(w->SectOfDeepTrackBar->Max(), 500);  // 200 samples x 2.5 cm
  EXPECT_EQ(w->Chart_[1]->RightAxis()->Title(), QStringLiteral("Depth, m [80]"));
  TLineSeries* line = w->GetSeriesDepthByIndx(1);
  ASSERT_EQ(line->Count(), 2);
  EXPECT_EQ(line->YValue(0), 2.0);
}

TEST_F(View2DSlice, WithoutAPictureInChannelZeroTheSliceIsNotRebuilt) {
  TView2DForm* w = Window();
  TBitmap& back = *w->Chart_SectOfDeep->BackImage();
  back.SetSize(7, 7);
  w->CreateBMPSectOfDeep();  // nothing painted yet: channel 0's picture is empty
  EXPECT_EQ(back.Width(), 7);
}

TEST_F(View2DSlice, ChannelsOfOtherWaveSpeedsTakeOtherRowsAndTheEditMovesTheBar) {
  TView2DForm* w = Window();
  w->GetView2DByIndx(1)->Settings()->SetSpeedLight(50);
  w->Paint2D(0);
  w->SectOfDeepDigitEdit->SetValueReal(1.0L);
  w->SliceEditChangeFinish(w->SectOfDeepDigitEdit);
  EXPECT_EQ(w->SectOfDeepTrackBar->Position(), 100);
  EXPECT_EQ(w->SectOfDeep_m, 1.0L);
  // 1 m is sample 40 at 100 m/us and sample 80, the reflector, at 50 m/us.
  const std::vector<uint8_t> slice = w->SliceRow(0);
  EXPECT_EQ(slice[static_cast<size_t>(kTraces + 3)], w->Bmp_[1]->ScanLine(80)[3]);
  EXPECT_EQ(slice[3], w->Bmp_[0]->ScanLine(40)[3]);
  EXPECT_EQ(w->Chart_[1]->RightAxis()->Title(), QStringLiteral("Depth, m [80]"));
}

TEST_F(View2DSlice, AutoIsKeptByTheMainWindow) {
  TView2DForm* w = Window();
  env.shell.autoDepthOnline = false;
  w->AutoDepthOnlineCheck->SetChecked(true);
  w->SliceAutoClick(w->AutoDepthOnlineCheck);
  EXPECT_TRUE(env.shell.autoDepthOnline);
}

class View2DSliceOnline : public ::testing::Test {
protected:
  void SetUp() override { RegisterOnlineStages(); }
  void TearDown() override {
    if (window) window->Free();
    UnregisterOnlineStages();
  }
  TRadargramEnv env;
  TView2DForm* window = nullptr;
};

TEST_F(View2DSliceOnline, AutoMovesTheBarToTheMeanDepthOfTheStrongestReflections) {
  env.shell.autoDepthOnline = true;
  window = env.Create(3);
  for (int c = 0; c < 3; ++c) Fill(*window->GetView2DByIndx(c));
  window->ViewSectOfDeep = true;
  window->Paint2D(0);
  // Recorded traces with their strongest reflection at samples 60, 100 and 140.
  const int reflector[3] = {60, 100, 140};
  for (int t = 0; t < 32; ++t)
    for (int c = 0; c < 3; ++c) {
      std::vector<int32_t> trace(kSamples, 0);
      for (int s = 0; s < kSamples; ++s) trace[static_cast<size_t>(s)] = (s * 13 + t) % 7 - 3;
      for (int s = -2; s <= 2; ++s) trace[static_cast<size_t>(reflector[c] + s)] = 5000 - 1000 * std::abs(s);
      window->AddOnlineSliceTrace(c, trace.data(), kSamples, 1);
    }
  auto* stages = dynamic_cast<TOnlineStageSet*>(window->GetView2DByIndx(0)->OnlineStages());
  ASSERT_NE(stages, nullptr);
  EXPECT_EQ(stages->OnlineData.CountTraces, 32);
  // Mean of 1.5 m, 2.5 m and 3.5 m.
  EXPECT_EQ(window->SectOfDeepTrackBar->Position(), 250);
  EXPECT_EQ(window->SectOfDeep_m, 2.5L);
  EXPECT_GT(window->Chart_SectOfDeep->BackImage()->Width(), 0);
}

// Channel 0 records a reflector of 1000 and channel 1 one of 2000 at sample 80;
// both gains are 0.01. Normalised apart, each row scales its own largest value
// to full brightness and the two rows look alike; normalised together (only
// while this window records), both take the common 0.01 and channel 1 shows
// twice the amplitude of channel 0.
TEST_F(View2DSliceOnline, TheCommonOnlineNormalisationScalesEveryChannelAlike) {
  struct Case {
    bool allTraces;
    bool recordingWindow;
    bool rowsAlike;
  };
  for (const Case& c : {Case{false, true, true}, Case{true, false, true}, Case{true, true, false}}) {
    SCOPED_TRACE(testing::Message() << "all traces " << c.allTraces << ", recording window " << c.recordingWindow);
    env.shell.normalizationOnlineAllTraces = c.allTraces;
    TView2DForm* w = env.Create(2);
    for (int ch = 0; ch < 2; ++ch) Fill(*w->GetView2DByIndx(ch));
    w->ViewSectOfDeep = true;
    w->Paint2D(0);
    // The online gain of every channel (the recomputation sets its own).
    for (int ch = 0; ch < 2; ++ch) w->GetView2DByIndx(ch)->Settings()->NrmCoef = 0.01L;
    w->SectOfDeepTrackBar->SetPosition(200);  // 2 m: sample 80
    if (c.recordingWindow) env.shell.runChild = w;
    for (int t = 0; t < 32; ++t)
      for (int ch = 0; ch < 2; ++ch) {
        std::vector<int32_t> trace(kSamples, 0);
        trace[80] = 1000 * (ch + 1);
        w->AddOnlineSliceTrace(ch, trace.data(), kSamples, 1);
      }
    const std::vector<uint8_t> slice = w->OnlineSliceRows();
    ASSERT_EQ(slice.size(), 2u * 32u);
    if (c.rowsAlike) {
      EXPECT_EQ(slice[5], 255);
      EXPECT_EQ(slice[32 + 5], 255);
    } else {
      EXPECT_EQ(slice[5], 128 + 10);  // round(0.01 x 1000) + 128
      EXPECT_EQ(slice[32 + 5], 128 + 20);
    }
    env.shell.runChild = nullptr;
    w->Free();
  }
}

}  // namespace view2d_slice_test
