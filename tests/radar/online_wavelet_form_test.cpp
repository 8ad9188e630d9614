// The online wavelet dialog: its wavelet is the stage's for the same time scale
// and sample interval, the chart shows it over +-150 samples with the zero line,
// opening applies nothing, the Apply box reaches the stage and the check list,
// and the layout.

#include "radar/online_wavelet_form.h"

#include "platform/ui/buttons.h"
#include "platform/ui/chart.h"
#include "platform/ui/dialog_script.h"
#include "platform/ui/std_controls.h"
#include "profiledata/digit_edit.h"
#include "tests/radar/online_dialog_test_support.h"

#include <gtest/gtest.h>

namespace {

class WaveletForm : public ::testing::Test {
protected:
  void SetUp() override {
    form = TComponent::Create<TOnlineWaveletForm>(nullptr);
    form->FParametrsWavelet.pTimescale = 3;
    form->FParametrsWavelet.pApplay = false;
  }
  void TearDown() override { form->Free(); }

  void ShowAndWork(const std::function<void()>& work) { ::ShowAndWork(form, form->OKBitBtn, work); }

  TFakeDialogHost host;  // 500 samples in 100 ns: 0.2 ns per sample
  TOnlineWaveletForm* form = nullptr;
};

TEST_F(WaveletForm, ShowsTheStagesWaveletOverThreeHundredSamples) {
  ShowAndWork([&] {
    EXPECT_EQ(form->Caption(), "Wavelet");
    EXPECT_EQ(form->DigitEditTimescale->ValueReal(), 3.0L);
    EXPECT_TRUE(host.applied.empty());
  });
  // The stage computes the same correlation function from the channel.
  PluginsOnline::TWavelet& stage = host.stages->Wavelet;
  stage.Timescale = 3;
  stage.PrepareLine();
  ASSERT_GT(stage.CorLength, 0);
  EXPECT_EQ(form->CorLength, stage.CorLength);
  EXPECT_EQ(form->start, stage.start);
  EXPECT_EQ(form->stop, stage.stop);
  EXPECT_EQ(form->CorFunc, stage.CorFunc);

  TChartAxis* time = form->Chart1->LeftAxis();
  EXPECT_FALSE(time->Automatic());
  EXPECT_DOUBLE_EQ(time->Minimum(), -30.0);
  EXPECT_DOUBLE_EQ(time->Maximum(), 30.0);
  EXPECT_TRUE(time->Inverted());
  ASSERT_EQ(form->Series2->Count(), 2);
  EXPECT_DOUBLE_EQ(form->Series2->YValue(0), -30.0);
  EXPECT_DOUBLE_EQ(form->Series2->YValue(1), 30.0);
  EXPECT_EQ(form->Series2->XValue(0), 0.0);

  // One point per tap: amplitude across, time down, centred on sample 450.
  const TLineSeries& wavelet = *form->Series1;
  ASSERT_EQ(wavelet.Count(), form->CorLength);
  for (int i = 0; i < wavelet.Count(); ++i) {
    const int sample = form->start + i;
    EXPECT_DOUBLE_EQ(wavelet.YValue(i), 0.2 * (sample - 450));
    EXPECT_DOUBLE_EQ(wavelet.XValue(i), static_cast<double>(form->line[sample]));
  }
  // Its peak is at time 0, drawn at the middle of the time axis.
  const auto peak = std::max_element(form->line.begin(), form->line.end()) - form->line.begin();
  EXPECT_EQ(peak, 450);
}

TEST_F(WaveletForm, WithoutScanSettingsNothingIsDrawn) {
  host.withSettings = false;
  ShowAndWork([] {});
  EXPECT_EQ(form->Series1->Count(), 0);
  EXPECT_DOUBLE_EQ(form->Chart1->LeftAxis()->Minimum(), -12.0);
  EXPECT_DOUBLE_EQ(form->Chart1->LeftAxis()->Maximum(), 12.0);
  EXPECT_DOUBLE_EQ(form->Series2->YValue(1), 12.0);
}

TEST_F(WaveletForm, ApplyBoxReachesTheStageWithTheTimeScale) {
  ShowAndWork([&] {
    EXPECT_FALSE(form->DigitEditTimescale->Enabled());
    EXPECT_TRUE(form->DigitEditTimescale->ReadOnly());
    ClickControl(form->ExecCheckBox);
    ASSERT_EQ(host.applied.size(), 1u);
    EXPECT_EQ(host.applied.back().stage, "Wavelet Filter");
    EXPECT_TRUE(host.stages->Wavelet.Applay);
    EXPECT_EQ(host.stages->Wavelet.Timescale, 3.0L);
    EXPECT_TRUE(host.checked[OnlinePluginWaveletItem]);
  });
}

TEST_F(WaveletForm, ConfirmedTimeScaleRedrawsAndApplies) {
  ShowAndWork([&] {
    const int narrow = form->CorLength;
    form->DigitEditTimescale->SetValueReal(6);
    form->DigitEditTimescaleChangeFinish(form->DigitEditTimescale);
    EXPECT_GT(form->CorLength, narrow);
    EXPECT_EQ(form->Series1->Count(), form->CorLength);
    EXPECT_EQ(host.stages->Wavelet.Timescale, 6.0L);
  });
}

TEST_F(WaveletForm, LayoutAndPicture) {
  host.origin = TPoint{650, 180};
  ShowAndWork([&] {
    EXPECT_EQ(form->ClientWidth(), 286);
    EXPECT_EQ(form->ClientHeight(), 319);
    EXPECT_EQ(form->Left(), 650 - form->Width());
    EXPECT_EQ(form->Top(), 180);
    EXPECT_EQ(BoundsOf(form->Chart1), (std::vector<int>{0, 0, 286, 240}));
    EXPECT_EQ(BoundsOf(form->DigitEditTimescale), (std::vector<int>{120, 248, 65, 21}));
    EXPECT_EQ(BoundsOf(form->ExecCheckBox), (std::vector<int>{8, 290, 97, 17}));
    EXPECT_EQ(BoundsOf(form->OKBitBtn), (std::vector<int>{203, 286, 75, 25}));
    EXPECT_EQ(form->Label1->Caption(), "Time Scale, ns");
    EXPECT_EQ(form->Chart1->LeftAxis()->Title(), "Time, ns");

    const QImage shot = SaveScreenshot(form, QStringLiteral("dlg_wavelet_form"));
    ASSERT_FALSE(shot.isNull());
    // The wavelet's peak (time 0) in blue at the middle of the time axis.
    TLineSeries& wavelet = *form->Series1;
    const int peak = 450 - form->start;
    const QPoint at(wavelet.CalcXPos(peak), wavelet.CalcYPos(peak));
    EXPECT_EQ(at.y(), (form->Chart1->LeftAxis()->IStartPos() + form->Chart1->LeftAxis()->IEndPos() + 1) / 2);
    // A line two pixels wide covers the point or its neighbours.
    bool blue = false;
    for (int dx = -1; dx <= 1; ++dx)
      for (int dy = -1; dy <= 1; ++dy) blue = blue || QColor(shot.pixel(at + QPoint(dx, dy))) == QColor(Qt::blue);
    EXPECT_TRUE(blue);
    // The zero line is at the top axis's zero.
    const int zeroX = form->Chart1->TopAxis()->CalcPosValue(0);
    EXPECT_EQ(form->Series2->CalcXPos(0), zeroX);
  });
}

}  // namespace
