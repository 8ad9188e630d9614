// The radargram window's topographic correction on real channel stores: the
// button with a good and a poor calibration, the old-file rule, Cancel, the
// master's calibration handed to the other channels, the topographic zero and
// the angle of the offset panel.

#include "platform/ui/bitmap.h"
#include "platform/ui/buttons.h"
#include "platform/ui/chart.h"
#include "platform/ui/dialog_script.h"
#include "platform/ui/menus.h"
#include "platform/ui/modal_results.h"
#include "platform/ui/page_control.h"
#include "platform/ui/panels.h"
#include "profiledata/channel_store.h"
#include "profiledata/digit_edit.h"
#include "profiledata/setting_data.h"
#include "radargram/display_pipeline.h"
#include "radargram/view2d_form.h"
#include "tests/radargram/radargram_env.h"
#include "tests/support/qstring_print.h"

#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace view2d_topo_test {

namespace dp_alias = display_pipeline;

constexpr int kTraces = 50;
constexpr int kSamples = 500;

// A wheel profile of 50 mm steps with an inclinometer record per trace read at
// `reading` (calibration 500 .. 1500: 1000 is level), quality 1.
void Fill(T2Dview& store, int16_t reading = 1000) {
  TSettingData& s = *store.Settings();
  s.SetOverStep(2);
  s.RestoreSpanWidth(100);
  s.RestoreLongTrace(kSamples);
  s.SetSpeedLight(100);
  s.SetNullShift(0);
  s.SetAdvanceStacking(false);
  s.SetStacking(1);
  s.SetRunMode(rmWheel);
  s.SetTopoType(ttWheel);
  s.SetWheelStep(50);
  s.SetWheelMult(1);
  s.CalibrationQuality = 1;
  s.GXmax = 1500;
  s.GXmin = 500;
  for (int t = 0; t < kTraces; ++t) {
    TInclRecord record;
    record.Values[1] = reading;
    s.IndexIncl.Set(t, record);
  }
  s.MinNumIncl = 0;
  s.MaxNumIncl = kTraces;
  FillRawSums(store, kTraces, kSamples, [](int t, int j) {
    return j % 60 == 30 ? 5000 : static_cast<int32_t>((int64_t{t} * kSamples + j) % 13) - 6;
  });
}

class View2DTopo : public ::testing::Test {
protected:
  void TearDown() override { TDialogScript::Reset(); }
  TView2DForm* Window(int channels) {
    TView2DForm* w = env.Create(channels);
    for (int c = 0; c < channels; ++c) Fill(*w->GetView2DByIndx(c));
    w->Paint2D(0);
    return w;
  }
  static void Press(TView2DForm& w) {
    w.TopoCorrSpeedButton->SetDown(true);
    w.TopoCorrSpeedButtonClick(w.TopoCorrSpeedButton);
  }
  TRadargramEnv env;
};

TEST_F(View2DTopo, ALevelProfileIsCorrectedIntoItsOwnColumnsWithAFlatReliefLine) {
  TView2DForm* w = Window(1);
  Press(*w);
  T2Dview& store = *w->GetView2DByIndx(0);
  EXPECT_TRUE(w->TopoCorrectionShown());
  EXPECT_TRUE(store.Settings()->Topocorrection);
  EXPECT_EQ(w->Proportional(), PropInM11);
  ASSERT_GE(store.DXarray.size(), static_cast<size_t>(kTraces));
  for (int t = 0; t < kTraces; ++t) {
    EXPECT_EQ(store.DYarray[static_cast<size_t>(t)], 0.0);
    EXPECT_DOUBLE_EQ(store.DXarray[static_cast<size_t>(t)], (t + 1) * 50.0);
  }
  // One column per trace, one row per sample: no margins on a level path.
  EXPECT_EQ(w->Bmp_[0]->Width(), kTraces);
  EXPECT_EQ(w->Bmp_[0]->Height(), kSamples);
  TLineSeries* relief = w->GetSeriesNullByIndx(0);
  ASSERT_EQ(relief->Count(), kTraces);
  for (int i = 0; i < kTraces; ++i) EXPECT_EQ(relief->YValue(i), 0.0);
  EXPECT_FALSE(w->SetNullSpeedButton->Enabled());
  EXPECT_FALSE(w->TopoCorRun);

  // Up again: the plain image and the blue zero line.
  w->TopoCorrSpeedButton->SetDown(false);
  w->TopoCorrSpeedButtonClick(w->TopoCorrSpeedButton);
  EXPECT_FALSE(store.Settings()->Topocorrection);
  EXPECT_EQ(relief->Count(), 2);
  EXPECT_TRUE(w->SetNullSpeedButton->Enabled());
}

TEST_F(View2DTopo, ATiltedProfileGetsMarginsAboveAndBelow) {
  TView2DForm* w = env.Create(1);
  T2Dview& store = *w->GetView2DByIndx(0);
  Fill(store);
  // Up the first half, down the second.
  for (int t = 0; t < kTraces; ++t) {
    TInclRecord record;
    record.Values[1] = t < kTraces / 2 ? 1200 : 800;
    store.Settings()->IndexIncl.Set(t, record);
  }
  w->Paint2D(0);
  Press(*w);
  EXPECT_GT(w->IdentYtopPx + w->IdentYBottomPx, 0);
  EXPECT_EQ(w->Bmp_[0]->Height(), kSamples + w->IdentYtopPx + w->IdentYBottomPx);
  EXPECT_EQ(w->Bmp_[0]->Width(), kTraces + w->IdentXLeftPx + w->IdentXrightPx);
}

// A steady climb tilted by sine 0.2 (reading 1100 of 500 .. 1500): 10 mm per
// sample and 50 mm steps, so 100 samples down the beam move 100 x 0.2 / 5 = 4
// columns along and round(100 x sqrt(0.96)) = 98 rows down from the antenna.
TEST_F(View2DTopo, MarksFollowTheCorrectedImageAndGoBackWhenItIsOff) {
  TView2DForm* w = env.Create(1);
  T2Dview& store = *w->GetView2DByIndx(0);
  Fill(store, 1100);
  w->Paint2D(0);
  const dp_alias::TScreenScale plainScale = w->ScreenScaleOf(0);
  const long double plainShift = w->MarkShiftTraces(0);
  const TPoint plain{dp_alias::ScreenX(20, plainShift, plainScale), dp_alias::ScreenY(100, plainScale)};
  EXPECT_EQ(w->MarkScreenPoint(0, 20, 100, false), plain);

  Press(*w);
  ASSERT_TRUE(w->TopoCorrectionShown());
  ASSERT_GE(store.DXarray.size(), static_cast<size_t>(kTraces));
  const long double column = std::nearbyint((w->TopoExtents.IdentXLeftM + store.DXarray[20]) / 50.0);
  const long double antennaRow = std::nearbyint((w->TopoExtents.IdentYtopM - store.DYarray[20]) / 10.0);
  EXPECT_GT(antennaRow, 0);  // the path climbs: trace 20 is below its highest point
  const dp_alias::TScreenScale scale = w->ScreenScaleOf(0);
  const long double shift = w->MarkShiftTraces(0);
  const TPoint corrected{dp_alias::ScreenX(column + 4, shift, scale), dp_alias::ScreenY(antennaRow + 98, scale)};
  EXPECT_EQ(w->MarkScreenPoint(0, 20, 100, false), corrected);
  EXPECT_NE(corrected, (TPoint{dp_alias::ScreenX(20, shift, scale), dp_alias::ScreenY(100, scale)}));
  // A surface mark only moves along, to its trace's place on the path.
  EXPECT_EQ(w->MarkScreenPoint(0, 20, 0, true), (TPoint{dp_alias::ScreenX(column, shift, scale), 0}));

  w->TopoCorrSpeedButton->SetDown(false);
  w->TopoCorrSpeedButtonClick(w->TopoCorrSpeedButton);
  EXPECT_EQ(w->MarkScreenPoint(0, 20, 100, false),
            (TPoint{dp_alias::ScreenX(20, w->MarkShiftTraces(0), w->ScreenScaleOf(0)),
                    dp_alias::ScreenY(100, w->ScreenScaleOf(0))}));
}

TEST_F(View2DTopo, TheProfileMenuJoinsTheMainWindowsMenusWithoutTakingTheirPlace) {
  auto* bar = TComponent::Create<TMainMenu>(env.frame);
  auto* own = TComponent::Create<TMenuItem>(env.frame);
  own->SetCaption(QStringLiteral("Acquisition"));
  bar->Items()->Add(own);
  env.frame->SetMenu(bar);
  TView2DForm* w = Window(1);
  w->Show();
  ASSERT_EQ(bar->Merged(), w->Menu());
  std::vector<QString> captions;
  for (const TMenuItem* item : bar->BarItems()) captions.push_back(item->Caption());
  EXPECT_EQ(captions, (std::vector<QString>{QStringLiteral("Acquisition"), QStringLiteral("Profile")}));
}

TEST_F(View2DTopo, APoorCalibrationIsRefusedWithItsMessage) {
  TView2DForm* w = Window(1);
  T2Dview& store = *w->GetView2DByIndx(0);
  store.Settings()->CalibrationQuality = 0.7;
  store.Settings()->SetVersion(42);
  TDialogScript::QueueAnswer(mrOk);
  Press(*w);
  ASSERT_EQ(TDialogScript::Shown().size(), 1u);
  EXPECT_EQ(TDialogScript::Shown()[0].Text,
            QStringLiteral("The operation is impossible.\r\nProfile was obtained with low-quality calibration of inclinometer."));
  EXPECT_FALSE(w->TopoCorrectionShown());
  EXPECT_FALSE(store.Settings()->Topocorrection);
}

TEST_F(View2DTopo, AnOldFileWithAPoorCalibrationIsAcceptedButKeepsItsPlainImage) {
  TView2DForm* w = Window(1);
  T2Dview& store = *w->GetView2DByIndx(0);
  store.Settings()->CalibrationQuality = 0.5;
  store.Settings()->SetVersion(17);
  Press(*w);
  EXPECT_TRUE(TDialogScript::Shown().empty());
  EXPECT_TRUE(w->TopoCorrectionShown());
  EXPECT_TRUE(store.DXarray.empty());
  EXPECT_EQ(w->Bmp_[0]->Width(), kTraces);
  EXPECT_EQ(w->Bmp_[0]->Height(), kSamples);
}

TEST_F(View2DTopo, CancelReleasesTheButtonAndRestoresThePlainImage) {
  TView2DForm* w = env.Create(1);
  T2Dview& store = *w->GetView2DByIndx(0);
  Fill(store, 1300);  // a steady climb: margins below the data
  w->Paint2D(0);
  QTimer::singleShot(0, [w] { w->Cansel->Click(); });
  Press(*w);
  EXPECT_FALSE(w->TopoCorrectionShown());
  EXPECT_FALSE(store.Settings()->Topocorrection);
  EXPECT_EQ(w->Bmp_[0]->Height(), kSamples);
  EXPECT_EQ(w->GetSeriesNullByIndx(0)->Count(), 2);
}

TEST_F(View2DTopo, AChannelWithoutCalibrationTakesTheMastersRecords) {
  TView2DForm* w = Window(2);
  TSettingData& master = *w->GetView2DByIndx(0)->Settings();
  TSettingData& other = *w->GetView2DByIndx(1)->Settings();
  TInclRecord record;
  record.Values[1] = 1111;
  master.IndexIncl.Set(3, record);
  master.IndexIncl.Remove(4);
  other.CalibrationQuality = 0;
  other.GXmax = 7;
  w->TopoCorrSpeedButton->SetDown(true);
  w->GetIdentForTopoCor(false);
  EXPECT_EQ(other.CalibrationQuality, 1.0);
  EXPECT_EQ(other.GXmax, 1500.0);
  ASSERT_NE(other.IndexIncl.Entry(3), nullptr);
  EXPECT_EQ(other.IndexIncl.Entry(3)->Values[1], 1111);
  EXPECT_EQ(other.IndexIncl.Entry(4), nullptr);
  EXPECT_EQ(other.MaxNumIncl, master.MaxNumIncl);
  EXPECT_TRUE(other.Topocorrection);
}

TEST_F(View2DTopo, TheTopographicZeroMakesTheCurrentTraceTheOrigin) {
  env.shell.radars[0] = true;
  TView2DForm* w = Window(1);
  T2Dview& store = *w->GetView2DByIndx(0);
  store.SetPosTraces(200);
  w->SetTopoZero();
  EXPECT_EQ(w->DeviceX(), -1000000);
  EXPECT_EQ(w->XOffsetDigitEdit->ValueReal(), -10.0L);
  EXPECT_TRUE(w->OffsetPanel->Visible());
  EXPECT_TRUE(w->YOffsetDigitEdit->Enabled());
  EXPECT_FALSE(w->XOffsetDigitEdit->Enabled());
  EXPECT_FALSE(w->AngleDigitEdit->Enabled());
  EXPECT_EQ(w->LeftPageControl->ActivePage(), w->PropertyTabSheet);
  // The position text: metres from the new origin in distance display.
  EXPECT_EQ(env.shell.cmCursor, w->DistanceModeOf(0) ? QStringLiteral("0.00") : QStringLiteral("200"));

  // "Profile Offset" of the window's "Profile" menu opens every edit again; the
  // angle goes to every channel.
  w->OffsetPanel->Hide();
  TMainMenu* menu = w->Menu();
  ASSERT_NE(menu, nullptr);
  TMenuItem* item = nullptr;
  for (int i = 0; i < menu->Items()->Count(); ++i) {
    TMenuItem* top = menu->Items()->Items(i);
    if (top->Caption() != QStringLiteral("Profile")) continue;
    for (int k = 0; k < top->Count(); ++k)
      if (top->Items(k)->Caption() == QStringLiteral("Profile Offset")) item = top->Items(k);
  }
  ASSERT_NE(item, nullptr);
  item->Click();
  EXPECT_TRUE(w->OffsetPanel->Visible());
  EXPECT_TRUE(w->XOffsetDigitEdit->Enabled());
  w->AngleDigitEdit->SetValueReal(1.5L);
  w->AngleDigitEditChangeFinish(w->AngleDigitEdit);
  EXPECT_EQ(store.Settings()->GetAngle(), 150000);
}

}  // namespace view2d_topo_test
