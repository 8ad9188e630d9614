// The radargram window's axes, scroll bars, zoom commands and proportions on real
// channel stores: the buttons, keys, wheel and zoom list, the proportion limit,
// the axis ranges and captions, the GPS labels, the fits, flip and media.

#include "platform/ui/bitmap.h"
#include "platform/ui/buttons.h"
#include "platform/ui/chart.h"
#include "platform/ui/combo_box.h"
#include "platform/ui/dialog_script.h"
#include "platform/ui/keys.h"
#include "platform/ui/menus.h"
#include "platform/ui/modal_results.h"
#include "platform/ui/page_control.h"
#include "platform/ui/panels.h"
#include "platform/ui/scroll_bar.h"
#include "profiledata/channel_store.h"
#include "profiledata/digit_edit.h"
#include "profiledata/setting_data.h"
#include "radargram/tool_messages.h"
#include "radargram/view2d_form.h"
#include "raster/bitmap32.h"
#include "tests/radargram/radargram_env.h"
#include "tests/support/ui_test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>

namespace view2d_axes_test {

// traces x longTrace raw sums of a ramp, stacking 1, time window 100 ns at
// over-step 2, wave speed 100 m/us.
void Fill(T2Dview& store, int traces, int longTrace) {
  TSettingData& s = *store.Settings();
  s.SetOverStep(2);
  s.RestoreSpanWidth(100);
  s.RestoreLongTrace(longTrace);
  s.SetSpeedLight(100);
  s.SetNullShift(0);
  s.SetAdvanceStacking(false);
  s.SetStacking(1);
  FillRawSums(store, traces, longTrace, [longTrace](int t, int j) {
    return static_cast<int32_t>((int64_t{t} * longTrace + j) % 97) - 48;
  });
}

class View2DAxes : public ::testing::Test {
protected:
  TView2DForm* Window(int channels, int traces = 400, int longTrace = 200) {
    TView2DForm* window = env.Create(channels);
    for (int c = 0; c < channels; ++c) Fill(*window->GetView2DByIndx(c), traces, longTrace);
    window->Paint2D(0);
    return window;
  }
  static void Wheel(TView2DForm& w, int delta) {
    const auto high = static_cast<WPARAM>(static_cast<uint16_t>(static_cast<int16_t>(delta)));
    w.Perform(WM_MOUSEWHEEL, high << 16, 0);
  }
  static void Key(TView2DForm& w, WORD key) {
    w.OnKeyDown(&w, key, TShiftState{});
  }
  static void PickZoomItem(TView2DForm& w, const QString& text) {
    const int index = w.ZoomComboBox->Items().indexOf(text);
    ASSERT_GE(index, 0) << text.toStdString();
    w.ZoomComboBox->SetItemIndex(index);
    w.ZoomComboBox->OnChange(w.ZoomComboBox);
  }
  static void TypeZoom(TView2DForm& w, const QString& text) {
    w.ZoomComboBox->SetText(text);
    WORD key = VK_RETURN;
    w.ZoomComboBox->OnKeyDown(w.ZoomComboBox, key, TShiftState{});
  }

  TRadargramEnv env;
};

// ---- Zoom commands -----------------------------------------------------------------------

TEST_F(View2DAxes, ButtonKeyAndWheelZoomInAndTheListShowsThePercentage) {
  TView2DForm* w = Window(1);
  w->BitBtn1->Click();
  EXPECT_EQ(w->ZoomFactor, 800);
  Key(*w, VK_ADD);
  EXPECT_EQ(w->ZoomFactor, 640);
  Wheel(*w, 120);
  EXPECT_EQ(w->ZoomFactor, 512);
  EXPECT_EQ(w->ZoomComboBox->Text(), QStringLiteral("195"));  // 195.3
  // The zoom bitmap is built at the new factor: 400 traces x 1000 / 512.
  EXPECT_EQ(w->BmpAfterZoom_[0]->Width(), 781);
  EXPECT_EQ(w->BmpAfterZoom_[0]->Height(), 391);
}

TEST_F(View2DAxes, ZoomOutStepsAndLimits) {
  TView2DForm* w = Window(1);
  w->ZoomOutBitBtn->Click();
  EXPECT_EQ(w->ZoomFactor, 1250);
  Wheel(*w, -120);
  EXPECT_EQ(w->ZoomFactor, 1562);
  Key(*w, VK_SUBTRACT);
  EXPECT_EQ(w->ZoomFactor, 1952);  // 1952.5

  w->ZoomFactor = 101;
  w->Zooming(true);
  EXPECT_EQ(w->ZoomFactor, 81);
  w->Zooming(true);
  EXPECT_EQ(w->ZoomFactor, 81);
  EXPECT_EQ(w->ZoomComboBox->Text(), QStringLiteral("1235"));
}

TEST_F(View2DAxes, TheWheelLeavesTheZoomWhileTheSpeedEditHasTheFocus) {
  TView2DForm* w = Window(1);
  w->LeftPageControl->SetWidth(270);
  w->LeftPageControl->SetActivePage(w->PropertyTabSheet);
  w->SpeedDigitEdit->SetFocus();
  ASSERT_TRUE(ProcessMessagesUntil([&] { return w->SpeedDigitEdit->Focused(); }, std::chrono::seconds(20)));
  Wheel(*w, 120);
  EXPECT_EQ(w->ZoomFactor, 1000);
  w->ZoomComboBox->SetFocus();
  ASSERT_TRUE(ProcessMessagesUntil([&] { return w->ZoomComboBox->Focused(); }, std::chrono::seconds(20)));
  Wheel(*w, 120);
  EXPECT_EQ(w->ZoomFactor, 800);
}

TEST_F(View2DAxes, ZoomListItemsAndTypedTexts) {
  TView2DForm* w = Window(1);
  PickZoomItem(*w, QStringLiteral("25"));
  EXPECT_EQ(w->ZoomFactor, 4000);
  EXPECT_EQ(w->BmpAfterZoom_[0]->Width(), 100);  // a quarter of 400
  TypeZoom(*w, QStringLiteral("200"));
  EXPECT_EQ(w->ZoomFactor, 500);
  // Not a positive number, or a factor below 1: ignored, the list shows the zoom.
  for (const char* text : {"abc", "-5", "0", "1000000"}) {
    TypeZoom(*w, QString::fromLatin1(text));
    EXPECT_EQ(w->ZoomFactor, 500) << text;
    EXPECT_EQ(w->ZoomComboBox->Text(), QStringLiteral("200")) << text;
  }
  w->Perform(WM_ZOOMTOHEIGHT, 0, 0);
  EXPECT_NE(w->ZoomFactor, 500);
}

// ---- Proportions ----------------------------------------------------------------------------

TEST_F(View2DAxes, AModeTooWideForTheProfileFallsBackToOneToOneInSamples) {
  TView2DForm* w = Window(1, 10000, 8);
  TDialogScript::QueueAnswer(mrOk);
  w->PropN15SpeedButton->Click();
  ASSERT_FALSE(TDialogScript::Shown().empty());
  EXPECT_EQ(TDialogScript::Shown().back().Text, QStringLiteral("The GPR profile is too large to display in this mode."));
  EXPECT_EQ(w->Proportional(), PropInSamples11);
  EXPECT_TRUE(w->PropN11SpeedButton->Down());
  EXPECT_FALSE(w->PropN15SpeedButton->Down());
  ASSERT_FALSE(env.shell.globalProportionalWrites.empty());
  EXPECT_EQ(env.shell.globalProportionalWrites.back(), PropInSamples11);
  EXPECT_EQ(w->BmpAfterZoom_[0]->Width(), 10000);
}

TEST_F(View2DAxes, AFittingModeWidensTheImageAndIsRemembered) {
  TView2DForm* w = Window(1);
  w->HorScrollBar->SetParams(500, 0, 1000);
  w->PropN13SpeedButton->Click();
  EXPECT_TRUE(TDialogScript::Shown().empty());
  EXPECT_EQ(w->Proportional(), PropInSamples13);
  EXPECT_EQ(env.shell.globalProportional, PropInSamples13);
  EXPECT_EQ(w->BmpAfterZoom_[0]->Width(), 1200);
  EXPECT_EQ(w->ProportionalCoefic, 3);
  // The scroll starts again at the left.
  EXPECT_EQ(w->HorScrollBar->Position(), 0);
}

// ---- Axis ranges and captions -----------------------------------------------------------------

TEST_F(View2DAxes, AxesShowWhatTheVisiblePartOfTheZoomBitmapCovers) {
  TView2DForm* w = Window(1, 2000, 1000);
  w->ResizeAxis();
  TChart* chart = w->ChartView;
  ASSERT_EQ(w->AxisHeight_[0], 34);
  const double rows = chart->ClientHeight() - 34;
  EXPECT_NEAR(chart->LeftAxis()->Minimum(), 0, 1e-9);
  EXPECT_NEAR(chart->LeftAxis()->Maximum(), rows * 0.2, 1e-9);
  EXPECT_NEAR(chart->RightAxis()->Maximum(), rows * 0.2 * 100 / 2000, 1e-9);
  const double columns = chart->ClientWidth() - 108;
  EXPECT_NEAR(chart->TopAxis()->Minimum(), 0, 1e-9);
  EXPECT_NEAR(chart->TopAxis()->Maximum(), columns, 1e-9);

  // Scrolled and half size: the ranges move with the bars.
  TView2DForm* big = Window(1, 3000, 2400);
  big->ZoomFactor = 2000;
  big->Zoom();
  big->VertScrollBar->SetPosition(5000);
  big->HorScrollBar->SetPosition(10000);
  TChart* bigChart = big->ChartView;
  EXPECT_NEAR(bigChart->LeftAxis()->Minimum(), 50 * 2 * 0.2, 1e-9);
  EXPECT_NEAR(bigChart->LeftAxis()->Maximum(), (50 + bigChart->ClientHeight() - 34) * 2 * 0.2, 1e-9);
  EXPECT_NEAR(bigChart->TopAxis()->Minimum(), 200, 1e-9);
  EXPECT_NEAR(bigChart->TopAxis()->Maximum(), (100 + bigChart->ClientWidth() - 108) * 2, 1e-9);
  // The zero level lies across the top axis at time zero.
  ASSERT_EQ(w->SeriesNull->Count(), 2);
  EXPECT_NEAR(w->SeriesNull->XValue(1), chart->TopAxis()->Maximum(), 1e-9);
}

TEST_F(View2DAxes, WhileRecordingTheTopAxisEndsAtTheLastTrace) {
  TView2DForm* w = Window(1, 2000, 100);
  env.shell.radarStarted = true;
  w->ResizeAxis();
  const double columns = w->ChartView->ClientWidth() - 108;
  EXPECT_NEAR(w->ChartView->TopAxis()->Maximum(), 2000, 1e-9);
  EXPECT_NEAR(w->ChartView->TopAxis()->Minimum(), 2000 - columns, 1e-9);
  // The position line stands at the end of the data.
  EXPECT_NEAR(w->PositionSeries->XValue(0), 2000, 1e-9);
  env.shell.radarStarted = false;
}

TEST_F(View2DAxes, DistanceModeCountsFromTheDeviceOffset) {
  TView2DForm* w = Window(1, 2000, 100);
  TSettingData& s = *w->GetView2DByIndx(0)->Settings();
  s.SetRunMode(rmWheel);
  s.SetTopoType(ttWheel);
  s.SetWheelMult(1);
  s.SetWheelStep(50);
  w->GetView2DByIndx(0)->SetMinNumTraces(20);
  w->GetView2DByIndx(0)->SetMaxNumTraces(2020);
  w->SetDeviceOffsets(150000, 0, 0);
  w->DistanceMenuClick(w->DistanceMenu);
  EXPECT_EQ(w->ChartView->TopAxis()->Title(), QStringLiteral("Distance, m"));
  EXPECT_EQ(env.shell.unitLabels, QStringLiteral(", m"));
  const double columns = w->ChartView->ClientWidth() - 108;
  EXPECT_NEAR(w->ChartView->TopAxis()->Minimum(), 1.5 + 1.0, 1e-9);
  EXPECT_NEAR(w->ChartView->TopAxis()->Maximum(), 1.5 + 1.0 + columns * 0.05, 1e-6);
  w->DistanceMenuClick(w->TracesMenu);
  EXPECT_EQ(w->ChartView->TopAxis()->Title(), QStringLiteral("Traces"));
  EXPECT_EQ(env.shell.unitLabels, QStringLiteral(" trace"));
}

TEST_F(View2DAxes, LeftCaptionsInTimeOrSamplesWithTheMasterInBold) {
  TView2DForm* w = env.Create(2);
  // Channels opened from a file keep their serial number (a recording channel
  // takes its radar's), which is fixed once the channel holds traces.
  for (int c = 0; c < 2; ++c) w->GetView2DByIndx(c)->WasOpen = true;
  w->GetView2DByIndx(1)->Settings()->SetSerNum(4242);
  for (int c = 0; c < 2; ++c) Fill(*w->GetView2DByIndx(c), 100, 100);
  w->MasterChannal = 0;
  w->SetLeftAxisCaption();
  EXPECT_EQ(w->GetChartByIndx(1)->LeftAxis()->Title(), QStringLiteral("#1 [4242] Time, ns"));
  EXPECT_TRUE(w->GetChartByIndx(0)->LeftAxis()->TitleFont()->Style().Contains(fsBold));
  EXPECT_FALSE(w->GetChartByIndx(1)->LeftAxis()->TitleFont()->Style().Contains(fsBold));

  TView2DForm* one = Window(1, 100, 1000);
  env.shell.dataLeftLabelIsTime = false;
  one->SetLeftAxisCaption();
  one->ResizeAxis();
  EXPECT_EQ(one->ChartView->LeftAxis()->Title(), QStringLiteral("Samples"));
  // The values stay times.
  EXPECT_NEAR(one->ChartView->LeftAxis()->Maximum(), (one->ChartView->ClientHeight() - 34) * 0.2, 1e-9);
}

TEST_F(View2DAxes, ADualFrequencyBoxScalesItsChannelsByDepthInTheDistanceModes) {
  TView2DForm* w = Window(2, 100, 100);
  for (int c = 0; c < 2; ++c) w->GetView2DByIndx(c)->Settings()->SetWheelStep(10);
  w->GetView2DByIndx(1)->Settings()->RestoreSpanWidth(200);
  w->TypeGPRDevice = tdBox02;
  w->MasterChannal = 0;
  w->SetProportional(PropInM11);
  w->SetProportionalCoefic(w->GetView2DByIndx(0));
  EXPECT_EQ(w->ZoomToMasterDistance_[0], 1);
  EXPECT_EQ(w->ZoomToMasterDistance_[1], 2);
  // c: the trace step over the 10 mm a sample covers (100 mm/ns x 0.2 ns / 2).
  const long double c = w->GetView2DByIndx(0)->Settings()->GetMeasureStep() / 10.0L;
  ASSERT_GT(c, 1);
  EXPECT_NEAR(static_cast<double>(w->ProportionalCoefic), static_cast<double>(c), 1e-9);
  // The non-master channel's left axis is divided by its ratio.
  w->ResizeAxis();
  const double rows = w->GetChartByIndx(1)->ClientHeight() - w->AxisHeight_[1];
  EXPECT_NEAR(w->GetChartByIndx(1)->LeftAxis()->Maximum(), rows * 0.4 / 2, 1e-9);
  w->SetProportional(PropInSamples13);
  w->SetProportionalCoefic(w->GetView2DByIndx(0));
  EXPECT_EQ(w->ZoomToMasterDistance_[1], 1);
  EXPECT_EQ(w->ProportionalCoefic, 3);
}

// ---- GPS labels ----------------------------------------------------------------------------------

TEST_F(View2DAxes, GpsLabelsCloserThanTheirWidthToThePreviousOneAreSkipped) {
  TView2DForm* w = Window(1, 400, 100);
  TSettingData& s = *w->GetView2DByIndx(0)->Settings();
  s.NMEIStrings = {QStringLiteral("10=$GPGGA,one"), QStringLiteral("12=$GPGGA,two"), QStringLiteral("300=$GPGGA,three")};
  w->DistanceMenuClick(w->GPSdataMenu);
  EXPECT_EQ(w->HeightChartAxis, 150);
  EXPECT_EQ(w->ChartView->TopAxis()->Title(), QStringLiteral("GPS Data"));
  TChart* chart = w->ChartView;
  TBitmap picture;
  picture.SetPixelFormat(pf32bit);
  picture.SetSize(chart->ClientWidth(), chart->ClientHeight());
  chart->PaintTo(*picture.Canvas(), Rect(0, 0, picture.Width(), picture.Height()));
  const TRect area = chart->ChartRect();
  TChartAxis* top = chart->TopAxis();
  const int probeY = (top->PosLabels() + area.Top) / 2;
  const auto tickAt = [&](double trace) {
    const int x = top->CalcPosValue(trace);
    return ColorToRGB(picture.Canvas()->Pixels(x, probeY)) == ColorToRGB(top->AxisPen()->Color());
  };
  EXPECT_TRUE(tickAt(10));
  EXPECT_FALSE(tickAt(12));
  EXPECT_TRUE(tickAt(300));
}

// ---- Scroll bars ---------------------------------------------------------------------------------

TEST_F(View2DAxes, ScrollBarsFollowTheZoomBitmap) {
  TView2DForm* w = Window(1, 3000, 2000);
  // Once both strips are in place the bars measure the chart as it is.
  w->SetScrollBars();
  w->SetScrollBars();
  TChart* chart = w->ChartView;
  const int dx = 3000 - (chart->ClientWidth() - 108);
  ASSERT_GT(dx, 0);
  EXPECT_TRUE(w->Panel4->Visible());
  EXPECT_EQ(w->Panel2->Width(), 18);
  EXPECT_TRUE(w->Panel3->Visible());
  EXPECT_EQ(w->HorScrollBar->Max(), (3000 - (chart->ClientWidth() - 108)) * 100);
  EXPECT_EQ(w->HorScrollBar->LargeChange(), w->HorScrollBar->Max() / 10);
  EXPECT_EQ(w->VertScrollBar->Max(), (2000 - chart->ClientHeight()) * 100);

  // Jump to the trace being recorded: the end when within 5 pixels of it.
  w->GetView2DByIndx(0)->SetPosTraces(2999);
  w->MoveScrollBarPositionToPosTrace();
  EXPECT_EQ(w->HorScrollBar->Position(), w->HorScrollBar->Max());
  w->GetView2DByIndx(0)->SetPosTraces(1500);
  w->MoveScrollBarPositionToPosTrace();
  EXPECT_EQ(w->HorScrollBar->Position(), std::lrint(w->HorScrollBar->Max() / 2.0));

  // Smaller than the chart: both strips go.
  w->ZoomFactor = 20000;
  w->Zoom();
  EXPECT_FALSE(w->Panel4->Visible());
  EXPECT_EQ(w->Panel2->Width(), 1);
  EXPECT_EQ(w->HorScrollBar->Max(), 0);
  EXPECT_EQ(w->VertScrollBar->Position(), 0);
}

// ---- Fits ------------------------------------------------------------------------------------------

TEST_F(View2DAxes, FitWidthAndFitHeight) {
  TView2DForm* w = Window(1, 1768, 512);
  const int frameW = w->ClientWidth() - w->Width();
  env.shell.childAreaWidth = 884 + 108 - frameW + 4 + w->ButtonPanel->Width() + w->LeftPageControl->Width();
  PickZoomItem(*w, QStringLiteral("Fit Width"));
  EXPECT_EQ(w->ZoomFactor, 2000);
  EXPECT_EQ(w->BmpAfterZoom_[0]->Width(), 884);

  PickZoomItem(*w, QStringLiteral("Fit Height"));
  const int H = env.shell.childAreaHeight - 18 - 4;
  const int divisor = H + (w->ClientHeight() - w->Height()) - w->HeightChartAxis;
  EXPECT_EQ(w->ZoomFactor, std::lrint(512 * 1000.0 / divisor));
}

// ---- View switches ---------------------------------------------------------------------------------

TEST_F(View2DAxes, FlipAsksUnlessTheFileIsNewAndTogglesAllFiveChannels) {
  TView2DForm* w = Window(1);
  w->GetView2DByIndx(0)->Settings()->NewFile = true;
  w->FlipSpeedButtonClick(w->FlipSpeedButton);
  EXPECT_TRUE(TDialogScript::Shown().empty());
  for (int i = 0; i < 5; ++i) EXPECT_TRUE(w->GetView2DByIndx(i)->Settings()->GetWasFlip()) << i;

  w->GetView2DByIndx(0)->Settings()->NewFile = false;
  TDialogScript::QueueAnswer(mrNo);
  w->FlipSpeedButtonClick(w->FlipSpeedButton);
  ASSERT_EQ(TDialogScript::Shown().size(), 1u);
  EXPECT_EQ(TDialogScript::Shown().back().Text, QStringLiteral("Are you that sure you want to change the direction?"));
  EXPECT_TRUE(w->GetView2DByIndx(3)->Settings()->GetWasFlip());
  TDialogScript::QueueAnswer(mrYes);
  w->FlipSpeedButtonClick(w->FlipSpeedButton);
  for (int i = 0; i < 5; ++i) EXPECT_FALSE(w->GetView2DByIndx(i)->Settings()->GetWasFlip()) << i;
}

TEST_F(View2DAxes, AMediumSetsEveryChannelsWaveSpeed) {
  TView2DForm* w = Window(3);
  ASSERT_EQ(w->MediumPopupMenu->Items()->Count(), 2);
  EXPECT_EQ(w->MediumPopupMenu->Items()->Items(1)->Caption(), QStringLiteral("Sand wet"));
  w->MediumPopupMenu->Items()->Items(1)->Click();
  for (int i = 0; i < 5; ++i) EXPECT_EQ(w->GetView2DByIndx(i)->Settings()->GetSpeedLight(), 60) << i;
  EXPECT_EQ(w->SpeedDigitEdit->ValueInt(), 60);
}

TEST_F(View2DAxes, TheMediumButtonOpensTheMediaAtItsCornerAndFocusesTheSpeedEdit) {
  TView2DForm* w = Window(1);
  w->LeftPageControl->SetWidth(270);
  w->LeftPageControl->SetActivePage(w->OperationsTabSheet);
  w->MeniumButton->Click();
  const TPoint corner = w->MeniumButton->ClientToScreen(TPoint{20, 20});
  EXPECT_EQ(w->MediumPopupMenu->PopupPoint().X, corner.X);
  EXPECT_EQ(w->MediumPopupMenu->PopupPoint().Y, corner.Y);
  EXPECT_EQ(w->MediumPopupMenu->PopupComponent(), w->MeniumButton);
}

TEST_F(View2DAxes, GridButtonsShowTheGridsOfEveryChannel) {
  TView2DForm* w = Window(3);
  for (TSpeedButton* button : {w->SpeedButtonShowVertGrid, w->ShowHorGridSpeedButton}) {
    button->SetDown(true);
    button->Click();
  }
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(w->GetChartByIndx(i)->TopAxis()->Visible()) << i;
    EXPECT_TRUE(w->GetChartByIndx(i)->TopAxis()->Grid()) << i;
    EXPECT_TRUE(w->GetChartByIndx(i)->RightAxis()->Grid()) << i;
  }
  w->SpeedButtonShowVertGrid->SetDown(false);
  w->SpeedButtonShowVertGrid->Click();
  EXPECT_FALSE(w->GetChartByIndx(1)->TopAxis()->Grid());
}

}  // namespace view2d_axes_test
