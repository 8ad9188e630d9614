// The spectrum dialog on a real radargram window offscreen, its channels
// holding sinusoids: clicks on a chart reach the tool through the window's
// cursor messages, with Apply checked they re-run the chain of the clicked
// channel only (or of every channel while adding, each with its own data), and
// the dialog's controls keep or swap what they should.

#include "platform/rtl/resource_strings.h"
#include "platform/ui/application.h"
#include "platform/ui/buttons.h"
#include "platform/ui/chart.h"
#include "platform/ui/panels.h"
#include "platform/ui/radio_group.h"
#include "platform/ui/std_controls.h"
#include "platform/ui/tree_view.h"
#include "profiledata/channel_store.h"
#include "profiledata/digit_edit.h"
#include "profiledata/setting_data.h"
#include "radargram/view2d_form.h"
#include "tests/radargram/radargram_env.h"
#include "tests/support/ui_test_support.h"
#include "tests/tools/tool_test_support.h"
#include "tools/abs_tool.h"
#include "tools/imaging/spectrum_form.h"
#include "tools/imaging/spectrum_tool.h"
#include "tools/window_tool_host.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <numbers>
#include <vector>

namespace spectrum_form_test {

constexpr int kTraces = 200;
constexpr int kSamples = 64;

// Channel c: a sinusoid along time of (c + 2) periods, its amplitude growing
// along the profile.
int32_t Raw(int c, int64_t t, int e) {
  return static_cast<int32_t>(std::lround((1000 + 10 * t) * std::sin(2 * std::numbers::pi * (c + 2) * e / kSamples)));
}

class SpectrumFormTest : public ::testing::Test {
protected:
  void SetUp() override {
    ToolsLibraryStartup();
    w = env.Create(3);
    for (int c = 0; c < 3; ++c) {
      T2Dview& store = *w->GetView2DByIndx(c);
      store.Settings()->RestoreLongTrace(kSamples);
      store.Settings()->RestoreSpanWidth(32);
      store.Settings()->SetAdvanceStacking(false);
      store.Settings()->SetStacking(1);
      FillRawSums(store, kTraces, kSamples, [c](int t, int e) { return Raw(c, t, e); });
    }
    // The chain: a rectifier, then the spectrum.
    auto abs = std::make_unique<TAbsTool>();
    auto spectrum = std::make_unique<TSpectrum>();
    tool = spectrum.get();
    for (int c = 0; c < kChannelSlots; ++c) {
      abs->SetView_(c, w->GetView2DByIndx(c));
      tool->SetView_(c, w->GetView2DByIndx(c));
    }
    TAbsParam full{true, TRectifierMode::FullWave};
    for (int c = 0; c < kChannelSlots; ++c) abs->SetParam(c, &full);
    w->AppendToolNode(std::move(abs));
    w->CurrentItem = w->AppendToolNode(std::move(spectrum));
    w->Paint2D(0);
  }
  void TearDown() override {
    w->CurTool = nullptr;
    w->VisibleToolWnd = false;
    if (tool->Form()) tool->AfterFormClose();
    Application->ProcessMessages();
    SetToolHostResolver({});
    w->Free();
  }

  // The dialog open and the window sending it the cursor.
  TDlgSpectrum& Open(bool adding) {
    tool->SetPropertyes(adding);
    Application->ProcessMessages();
    w->CurTool = tool;
    w->VisibleToolWnd = true;
    auto* dialog = dynamic_cast<TDlgSpectrum*>(tool->Form());
    EXPECT_NE(dialog, nullptr);
    return *dialog;
  }
  void ClickAt(int channel, double trace, int sample) {
    TChart& chart = *w->GetChartByIndx(channel);
    const TSettingData& s = *w->GetView2DByIndx(channel)->Settings();
    const int x = chart.TopAxis()->CalcPosValue(trace);
    const int y = chart.LeftAxis()->CalcPosValue(static_cast<double>(s.SampleToTime(sample)));
    SendMouse(chart, maPress, mbLeft, true, false, x, y);
    SendMouse(chart, maRelease, mbLeft, false, false, x, y);
    Application->ProcessMessages();
  }
  std::vector<int32_t> Dezo(int c) const {
    const T2Dview& store = *w->GetView2DByIndx(c);
    return {store.dezoData.Data(), store.dezoData.Data() + store.SizeDat() / 4};
  }
  static std::vector<int32_t> Rectified(int c) {
    std::vector<int32_t> v;
    for (int64_t t = 0; t < kTraces; ++t)
      for (int e = 0; e < kSamples; ++e) v.push_back(std::abs(Raw(c, t, e)));
    return v;
  }
  void Fill(int c, int32_t value) {
    T2Dview& store = *w->GetView2DByIndx(c);
    std::fill(store.dezoData.Data(), store.dezoData.Data() + store.SizeDat() / 4, value);
  }

  TRadargramEnv env;
  PoolThreadsScope threads{2};
  TView2DForm* w = nullptr;
  TSpectrum* tool = nullptr;
};

TEST_F(SpectrumFormTest, TheDialogAndItsHiddenParts) {
  TDlgSpectrum& d = Open(false);
  EXPECT_EQ(d.ClientWidth(), 820);
  EXPECT_EQ(d.ClientHeight(), 308);
  EXPECT_EQ(d.Caption(), QStringLiteral("Spectrum"));
  EXPECT_EQ(d.RadioGroupPosition->Items(), (QStringList{QStringLiteral("Vertical"), QStringLiteral("Horizontal")}));
  EXPECT_EQ(d.RadioGroupPosition->ItemIndex(), 1);
  EXPECT_EQ(d.Chart2->BottomAxis()->Title(), QStringLiteral("Frequency, Hz"));
  EXPECT_EQ(d.Series1->Title(), QStringLiteral("Input"));
  EXPECT_EQ(d.FreqSeries1->Title(), QStringLiteral("Frequency"));
  for (TControl* hidden : {static_cast<TControl*>(d.StartDigitEdit), static_cast<TControl*>(d.StopDigitEdit),
                           static_cast<TControl*>(d.StepTimeDigitEdit), static_cast<TControl*>(d.DiapazonDigitEdit),
                           static_cast<TControl*>(d.HarmonicPanel)})
    EXPECT_FALSE(hidden->Visible());
  // Shown with Apply checked, the cursor's first handling ran the Apply handler.
  EXPECT_EQ(d.CancelBitBtn->Caption(), QStringLiteral("Restore"));
  // Horizontal at trace 0, depth 0: the window around it and the whole line shown.
  EXPECT_EQ(tool->AreaStart, 0);
  EXPECT_EQ(tool->AreaStop, kTraces - 1);
  EXPECT_EQ(d.Series1->Count(), kTraces);
  EXPECT_EQ(d.FreqSeries1->Count(), tool->M);
}

TEST_F(SpectrumFormTest, ItsTextsFollowTheLanguage) {
  RegisterLanguageModule(7, {{"SDlgSpectrumPosition", QStringLiteral("Lage")},
                             {"SDlgSpectrumVertical", QStringLiteral("Senkrecht")},
                             {"SDlgSpectrumFrequencyAxis", QStringLiteral("Frequenz, Hz")}});
  SetResourceLanguage(7);
  TDlgSpectrum& d = Open(false);
  SetResourceLanguage(1033);
  EXPECT_EQ(d.RadioGroupPosition->Text(), QStringLiteral("Lage"));
  EXPECT_EQ(d.RadioGroupPosition->Items(), (QStringList{QStringLiteral("Senkrecht"), QStringLiteral("Horizontal")}));
  EXPECT_EQ(d.Chart2->BottomAxis()->Title(), QStringLiteral("Frequenz, Hz"));
}

TEST_F(SpectrumFormTest, AClickOnChannelTwoWithApplyReRunsItsChainOnly) {
  TDlgSpectrum& d = Open(false);
  ASSERT_TRUE(d.ExecCheckBox->Checked());
  Fill(0, 12345);  // what channel 0 shows must stay
  Fill(2, 0);      // channel 2's picture is stale until its chain runs
  ClickAt(2, 33, 10);
  EXPECT_EQ(tool->CurrentNumberView, 2);
  EXPECT_EQ(tool->CurrentTrace, 33);
  ProcessMessagesUntil([&] { return Dezo(2) == Rectified(2); });
  EXPECT_EQ(Dezo(2), Rectified(2)) << "the chain re-ran from the spectrum, the data passed through";
  EXPECT_EQ(Dezo(0), std::vector<int32_t>(kTraces * kSamples, 12345));
  EXPECT_TRUE(d.Chart1->BottomAxis()->Title().startsWith(QStringLiteral("Trace: 33, Depth: ")));
  EXPECT_EQ(d.Series1->Count(), kTraces) << "a horizontal line along the profile";
}

TEST_F(SpectrumFormTest, WithApplyOffAClickRedrawsTheSpectrumWithoutARun) {
  TDlgSpectrum& d = Open(false);
  Application->ProcessMessages();
  d.ExecCheckBox->SetChecked(false);
  EXPECT_FALSE(tool->AExecuting);
  Application->ProcessMessages();
  Fill(2, 0);
  ClickAt(2, 71, 5);
  Application->ProcessMessages();
  EXPECT_EQ(Dezo(2), std::vector<int32_t>(kTraces * kSamples, 0)) << "no run asked for";
  EXPECT_TRUE(d.Chart1->BottomAxis()->Title().startsWith(QStringLiteral("Trace: 71, ")));
  EXPECT_EQ(d.Series1->Count(), kTraces);
  // The line is channel 2's input to the spectrum: rectified, the sample's row.
  const std::vector<int32_t> rectified = Rectified(2);
  const int32_t deep = tool->CurrentDeep;
  EXPECT_EQ(d.Series1->YValue(71), static_cast<double>(tool->LineInput[71]));
  double expected = 0;
  for (int r = std::max(0, deep - 10); r <= std::min(kSamples - 1, deep + 10); ++r)
    expected += std::nearbyint(rectified[static_cast<size_t>(71 * kSamples + r)] /
                               static_cast<double>(std::min(kSamples - 1, deep + 10) - std::max(0, deep - 10) + 1));
  EXPECT_EQ(tool->LineInput[71], expected);
}

TEST_F(SpectrumFormTest, WhileAddingAClickReRunsEveryChannelEachWithItsOwnData) {
  // Added on channel 2, the window's active one: the click hands channel 2's
  // input over while every channel re-runs, channel 0 first.
  tool->SetCurrentNumberView(2);
  w->NumActiveView = 2;
  Open(true);
  Application->ProcessMessages();
  Fill(0, 7);
  Fill(1, 7);
  ClickAt(2, 50, 20);
  EXPECT_EQ(tool->CurrentNumberView, 2);
  ProcessMessagesUntil([&] { return Dezo(0) != std::vector<int32_t>(kTraces * kSamples, 7); });
  for (int c = 0; c < 3; ++c) EXPECT_EQ(Dezo(c), Rectified(c)) << "channel " << c;
}

TEST_F(SpectrumFormTest, PlusMinusKeepsTheCursorAndThePositionSwitchSwapsTheWindows) {
  TDlgSpectrum& d = Open(false);
  ClickAt(0, 120, 30);
  const int32_t trace = tool->CurrentTrace;
  const int32_t deep = tool->CurrentDeep;
  ASSERT_EQ(trace, 120);
  const std::vector<double> wide = tool->LineInput;
  d.DeltaPlusDigitEdit->SetValueInt(0);
  d.DeltaPlusDigitEdit->OnChangeFinish(d.DeltaPlusDigitEdit);
  EXPECT_EQ(tool->DeltaPlus, 0);
  EXPECT_EQ(tool->CurrentTrace, trace);
  EXPECT_EQ(tool->CurrentDeep, deep);
  EXPECT_NE(tool->LineInput, wide) << "one row now";
  // The horizontal window (around trace 0 when shown) becomes the vertical one.
  const int32_t start = tool->AreaStart, stop = tool->AreaStop;
  tool->oldAreaStart = 3;
  tool->oldAreaStop = 40;
  d.RadioGroupPosition->SetItemIndex(0);
  EXPECT_EQ(tool->PositionTrace, 0);
  EXPECT_EQ(tool->AreaStart, 3);
  EXPECT_EQ(tool->AreaStop, 40);
  EXPECT_EQ(tool->oldAreaStart, start);
  EXPECT_EQ(tool->oldAreaStop, stop);
  EXPECT_EQ(d.StartDigitEdit->ValueInt(), 3);
  EXPECT_EQ(d.StopDigitEdit->ValueInt(), 40);
  EXPECT_EQ(tool->LineInput.size(), static_cast<size_t>(kSamples)) << "a line along time";
  EXPECT_EQ(tool->CurrentTrace, trace);
}

TEST_F(SpectrumFormTest, WithoutTracesTheChartsStayEmpty) {
  for (int c = 0; c < 3; ++c) {
    T2Dview& store = *w->GetView2DByIndx(c);
    store.SetMaxNumTraces(0);
    store.SetSizeDat(0);
  }
  TDlgSpectrum& d = Open(false);
  ClickAt(0, 10, 10);
  EXPECT_EQ(d.Series1->Count(), 0);
  EXPECT_EQ(d.FreqSeries1->Count(), 0);
}

TEST_F(SpectrumFormTest, FrequencySetsTheTraceRateOfTheHorizontalAxis) {
  TDlgSpectrum& d = Open(false);
  d.FrDiscretDigitEdit->SetValueReal(20.4L);
  d.FrDiscretDigitEdit->OnChangeFinish(d.FrDiscretDigitEdit);
  EXPECT_EQ(tool->FrDescret, 20) << "its integer value";
  // 200 traces at 20 per second: 10 s, up to 10 Hz in 0.1 Hz steps.
  EXPECT_EQ(tool->MaxFr, 10);
  EXPECT_EQ(tool->M, 100);
  EXPECT_EQ(d.FreqSeries1->Count(), 100);
  EXPECT_NEAR(d.FreqSeries1->XValue(99), 10.0, 1e-9) << "1000 x k / dTime, in Hz";
}

}  // namespace spectrum_form_test
