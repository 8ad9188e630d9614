// The radargram window's time zero on a real profile file: the "Set Zero Level"
// dialog worked through its track bar and "Auto", the automatic search without
// the dialog, the zero-level line, and channels the search leaves alone.

#include "platform/ui/buttons.h"
#include "platform/ui/chart.h"
#include "platform/ui/dialog_script.h"
#include "platform/ui/modal_results.h"
#include "platform/ui/std_controls.h"
#include "platform/ui/track_bar.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "radargram/null_form.h"
#include "radargram/time_zero.h"
#include "radargram/view2d_form.h"
#include "tests/radargram/radargram_env.h"
#include "tests/support/qstring_print.h"

#include <gtest/gtest.h>

#include <cmath>

namespace view2d_null_test {

constexpr int kTraces = 12;
constexpr int kSamples = 100;
constexpr int kPulse = 37;

class View2DNull : public ::testing::Test {
protected:
  void SetUp() override { env.shell.newCreate = false; }
  void TearDown() override { TDialogScript::Reset(); }

  // A profile whose traces carry a pulse at sample kPulse, written and opened.
  TView2DForm* OpenPulseProfile() {
    constexpr int traces = kTraces, samples = kSamples;
    TView2DForm* writer = env.Create(1);
    T2Dview& store = *writer->GetView2DByIndx(0);
    store.Settings()->RestoreLongTrace(samples);
    store.Settings()->SetAdvanceStacking(false);
    store.Settings()->SetSpeedLight(100);
    const int64_t bytes = int64_t{traces} * samples * 4;
    store.RawData.Allocate(bytes);
    store.dezoData.Allocate(bytes);
    for (int b = 0; b < traces; ++b)
      for (int i = 0; i < samples; ++i) {
        const double t = i - kPulse;
        store.RawData.Data()[b * samples + i] = static_cast<int32_t>(std::lround(90000 * std::exp(-t * t / 8.0)));
      }
    store.SetMinNumTraces(0);
    store.SetMaxNumTraces(traces);
    store.SetSizeDat(bytes);
    const QString file = env.dir.path() + QStringLiteral("/zero.dezo");
    EXPECT_TRUE(store.WriteToFile(file));
    writer->Free();
    TView2DForm* w = env.Create(5);
    w->ReadFromFile(file);
    return w;
  }

  TRadargramEnv env;
};

TEST_F(View2DNull, TheDialogSetsTheZeroAsItsBarMovesAndAutoMovesTheBar) {
  TView2DForm* w = OpenPulseProfile();
  T2Dview& store = *w->GetView2DByIndx(0);
  TSettingData& settings = *store.Settings();
  settings.SetNullShift(5);
  const int32_t expected = time_zero::AutomaticNullSample(store);
  ASSERT_NEAR(expected, kPulse, 1);
  bool worked = false;
  TDialogScript::QueueModal([&](TForm& form) {
    auto& dialog = dynamic_cast<TNullForm&>(form);
    EXPECT_EQ(NullForm(), &dialog);
    EXPECT_EQ(dialog.Caption(), "Set zero depth level");
    EXPECT_EQ(dialog.TrackBarNullDepth->Max(), settings.GetLongTrace());
    EXPECT_EQ(dialog.TrackBarNullDepth->Position(), 5);
    EXPECT_TRUE(dialog.BitBtnAutomatic->Enabled());
    // The bar at its end puts the zero at the end of the trace.
    dialog.TrackBarNullDepth->SetPosition(settings.GetLongTrace());
    EXPECT_EQ(settings.GetNullShift(), settings.GetLongTrace());
    const long double t = static_cast<long double>(settings.GetLongTrace()) * settings.GetSpanWidth() *
                          settings.GetOverStep() / 1000.0L;
    EXPECT_EQ(dialog.LabelNullDepth->Caption(), time_zero::ZeroLevelDepthText(t, 100));
    // "Auto" moves the bar, whose change stores the zero and redraws the line.
    dialog.BitBtnAutomatic->Click();
    EXPECT_EQ(dialog.TrackBarNullDepth->Position(), expected);
    EXPECT_EQ(settings.GetNullShift(), expected);
    dialog.OKBitBtn->Click();
    worked = true;
  });
  w->SetNullSpeedButton->Click();
  EXPECT_TRUE(worked);
  EXPECT_EQ(NullForm(), nullptr);
  const TLineSeries& line = *w->GetSeriesNullByIndx(0);
  ASSERT_EQ(line.Count(), 2);
  EXPECT_DOUBLE_EQ(line.YValue(0), static_cast<double>(w->ZeroTimeOf(0, expected)));
  EXPECT_DOUBLE_EQ(line.YValue(1), line.YValue(0));
  EXPECT_EQ(line.ValueColor(0), clBlue);
  w->Free();
}

TEST_F(View2DNull, WithoutTheDialogTheSearchStoresTheZeroDirectly) {
  TView2DForm* w = OpenPulseProfile();
  TSettingData& settings = *w->GetView2DByIndx(0)->Settings();
  settings.SetNullShift(0);
  w->AutomaticNull(0);
  EXPECT_NEAR(settings.GetNullShift(), kPulse, 1);
  EXPECT_DOUBLE_EQ(w->GetSeriesNullByIndx(0)->YValue(0),
                   static_cast<double>(w->ZeroTimeOf(0, settings.GetNullShift())));
  // A channel without traces keeps its zero.
  TSettingData& empty = *w->GetView2DByIndx(1)->Settings();
  empty.SetNullShift(9);
  w->AutomaticNull(1);
  EXPECT_EQ(empty.GetNullShift(), 9);
  w->AutomaticNull(-1);
  w->Free();
}

TEST_F(View2DNull, AutoNeedsARawBlockAboveFourBytes) {
  TView2DForm* w = OpenPulseProfile();
  // A damaged channel whose raw block holds one sample.
  w->GetView2DByIndx(0)->RawData.Allocate(4);
  TDialogScript::QueueModal([](TForm& form) {
    EXPECT_FALSE(dynamic_cast<TNullForm&>(form).BitBtnAutomatic->Enabled());
    form.SetModalResult(mrOk);
  });
  w->SetNullSpeedButton->Click();
  EXPECT_EQ(TDialogScript::Pending(), 0);
  w->Free();
}

}  // namespace view2d_null_test
