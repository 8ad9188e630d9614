// The band filter's and the low/high-pass filter's dialogs offscreen with a fake
// window: the controls and their ranges, the chart, the preview sent (not
// posted), the frequency keeping tau, Enter in a numeric edit, the type buttons
// while adding and the spectra on a chart click and a trace change.

#include "platform/ui/buttons.h"
#include "platform/ui/chart.h"
#include "platform/ui/edit_controls.h"
#include "platform/ui/std_controls.h"
#include "platform/ui/track_bar.h"
#include "profiledata/digit_edit.h"
#include "radargram/tool_messages.h"
#include "tests/support/ui_test_support.h"
#include "tests/tools/frequency_filter_test_support.h"
#include "tests/tools/tool_test_support.h"
#include "tools/band_filter.h"
#include "tools/band_pass_form.h"
#include "tools/filter_form.h"
#include "tools/filter_tool.h"

#include <gtest/gtest.h>

#include <memory>
#include <numbers>
#include <vector>

namespace frequency_filter_form_test {

using namespace frequency_filter_test_support;
using TMessages = std::vector<TRecordedMessage>;
const TRecordedMessage kRunAll{WM_TOOLSRUN, 202, 0};

template <class TTool>
class FilterFormFixture : public ::testing::Test {
protected:
  FakeToolHost host;
  HostScope scope{host};
  PoolThreadsScope threads{1};
  std::vector<std::unique_ptr<T2Dview>> views;
  TTool tool;

  void SetUp() override {
    // 16 traces of 64 samples over 32 ns: MinFr = nearest(1000 / 32) = 31.
    for (int c = 0; c < 5; ++c) {
      views.push_back(MakeFilterChannel(16, 64, 32.0, c == 2 ? Unit03 : unknown, TestTraces(16, 64)));
      tool.SetView_(c, views.back().get());
      host.views.push_back(views.back().get());
    }
    tool.ToolInit();
  }
  void TearDown() override {
    if (tool.Form()) tool.Form()->CloseDialog();
    Application->ProcessMessages();
  }
  template <class TForm>
  TForm& Open(bool adding, int channel = 0) {
    tool.SetCurrentNumberView(channel);
    tool.SetPropertyes(adding);
    auto* form = dynamic_cast<TForm*>(tool.Form());
    EXPECT_NE(form, nullptr);
    return *form;
  }
  TMessages Drain() { return host.DrainMessages(); }
};

using BandPassFormTest = FilterFormFixture<TBandFilter>;
using FilterFormTest = FilterFormFixture<TFilter>;

TEST_F(BandPassFormTest, ControlsChartAndRangesWhenOpened) {
  TBandPassForm& form = Open<TBandPassForm>(false, 2);
  EXPECT_EQ(form.Caption(), "Band Pass Filter") << "the tool's caption";
  EXPECT_TRUE(form.PassFilterToolButton->Down());
  EXPECT_TRUE(form.PassFilterToolButton->Caption().contains("Band Pass Filter"));
  EXPECT_TRUE(form.StopFilterToolButton->Caption().contains("Band Stop Filter"));
  // Channel 2's antenna: 700 MHz, 1.2 GHz.
  EXPECT_EQ(form.FrequencyTrackBar->Min(), 31);
  EXPECT_EQ(form.FrequencyTrackBar->Max(), 1200);
  EXPECT_EQ(form.FrequencyTrackBar->PageSize(), 100);
  EXPECT_EQ(form.FrequencyTrackBar->Position(), 700);
  EXPECT_EQ(form.FrequencyDigitEdit->ValueInt(), 700);
  EXPECT_EQ(form.FrequencyDigitEdit->MinVal(), 31);
  EXPECT_EQ(form.FrequencyDigitEdit->MaxVal(), 1200);
  EXPECT_EQ(form.QualityTrackBar->Min(), 1);
  EXPECT_EQ(form.QualityTrackBar->Max(), 30);
  EXPECT_EQ(form.QualityTrackBar->PageSize(), 4);
  EXPECT_EQ(form.QualityDigitEdit->ValueInt(), 1);

  EXPECT_EQ(form.Chart1->BottomAxis()->Title(), "Frequency, GHz");
  EXPECT_EQ(form.Chart1->BottomAxis()->LabelFormat(), "#,##0.##");
  EXPECT_FALSE(form.Chart1->LeftAxis()->Labels());
  EXPECT_FALSE(form.Chart1->RightAxis()->Visible());
  EXPECT_EQ(form.InputSeries->Title(), "Input");
  EXPECT_EQ(form.InputSeries->SeriesColor(), clRed);
  EXPECT_EQ(form.OutputSeries->Title(), "Output");
  EXPECT_EQ(form.OutputSeries->SeriesColor(), clBlue);
  EXPECT_EQ(form.FilterSeries->Title(), "Filter");
  EXPECT_EQ(form.FilterSeries->SeriesColor(), 0x00AE00);
  EXPECT_EQ(form.FilterSeries->VertAxis(), aRightAxis);

  // Shown: the spectra of channel 2's middle trace... of channel 0's range.
  const int lines = 38;  // nearest(32 x 1200 / 1000)
  EXPECT_EQ(form.FilterSeries->Count(), lines);
  EXPECT_EQ(form.InputSeries->Count(), lines);
  EXPECT_EQ(form.OutputSeries->Count(), 0) << "no output before the tool ran";
  EXPECT_DOUBLE_EQ(form.FilterSeries->XValue(0), 1 / 32.0);
  EXPECT_EQ(tool.CurrentTrace, 8);
}

TEST_F(BandPassFormTest, FrequencyChangeKeepsTauAndThePreviewIsSent) {
  TBandPassForm& form = Open<TBandPassForm>(false, 0);
  Drain();
  form.QualityTrackBar->SetPosition(5);
  const long double tau = tool.ATau;
  EXPECT_EQ(tau, 10.0L / (2 * std::numbers::pi_v<long double> * 300));
  EXPECT_EQ(host.messages, TMessages{kRunAll}) << "handled before the handler returned";
  host.messages.clear();

  form.FrequencyTrackBar->SetPosition(600);
  EXPECT_EQ(form.FrequencyDigitEdit->ValueInt(), 600);
  EXPECT_EQ(tool.Param[0].Tau, tau);
  EXPECT_EQ(tool.Param[0].Frequency, 600);
  EXPECT_EQ(host.messages, TMessages{kRunAll});
  tool.RefreshPropertyes();
  EXPECT_EQ(form.QualityDigitEdit->ValueInt(), 10) << "nearest(omega0 tau / 2) of the new omega0";
  EXPECT_EQ(tool.Param[1].Frequency, 300) << "editing: the dialog's channel only";

  // The edit's confirmed value moves the track bar, and so the tool.
  form.FrequencyDigitEdit->SetValueReal(450.4L);
  form.FrequencyDigitEdit->OnChangeFinish(form.FrequencyDigitEdit);
  EXPECT_EQ(form.FrequencyTrackBar->Position(), 450);
  EXPECT_EQ(tool.Frequency(), 450);
}

TEST_F(BandPassFormTest, TypeWhileAddingGoesToEveryChannelButNotTheFrequency) {
  TBandPassForm& form = Open<TBandPassForm>(true);
  // The preview is sent while the dialog shows: handled before the posted notice.
  EXPECT_EQ(Drain(), (TMessages{kRunAll, {WM_TOOLFORMSHOWN, 0, 0}}));
  form.StopFilterToolButton->SetDown(true);
  form.StopFilterToolButton->Click();
  for (int c = 0; c < 5; ++c) {
    SCOPED_TRACE(c);
    EXPECT_EQ(tool.Param[static_cast<size_t>(c)].Type, BandStopFilter);
    EXPECT_TRUE(tool.Param[static_cast<size_t>(c)].Apply);
  }
  EXPECT_EQ(tool.Param[2].Frequency, 700);
  EXPECT_EQ(Drain(), TMessages{kRunAll});
  // The band stop's filter line lies below the axis: the band pass negated.
  form.Chart1->OnClick(form.Chart1);
  ASSERT_GT(form.FilterSeries->Count(), 0);
  for (int i = 0; i < form.FilterSeries->Count(); ++i) EXPECT_LT(form.FilterSeries->YValue(i), 0) << i;
}

TEST_F(BandPassFormTest, EnterInANumericEditIsNotOk) {
  TBandPassForm& form = Open<TBandPassForm>(false);
  for (TDigitEdit* edit : {form.FrequencyDigitEdit, form.QualityDigitEdit}) {
    edit->SetFocus();
    ASSERT_TRUE(ProcessMessagesUntil([&] { return edit->Focused(); }));
    WORD key = VK_RETURN;
    form.FormKeyDown(&form, key, {});
    EXPECT_TRUE(form.Visible());
  }
  form.ExecCheckBox->SetFocus();
  ASSERT_TRUE(ProcessMessagesUntil([&] { return form.ExecCheckBox->Focused(); }));
  WORD key = VK_RETURN;
  form.FormKeyDown(&form, key, {});
  EXPECT_FALSE(form.Visible());
}

TEST_F(BandPassFormTest, TraceChangesAndChannelChangesRedrawTheSpectra) {
  TBandPassForm& form = Open<TBandPassForm>(false, 0);
  tool.execute(false, 0);
  EXPECT_GT(form.OutputSeries->Count(), 0) << "the run's output is drawn";
  const double before = form.InputSeries->YValue(3);
  SendMessage(tool.GetHandle(), WM_TOOLTRACECHANGED, 3, 0);
  EXPECT_EQ(tool.CurrentTrace, 3);
  EXPECT_NE(form.InputSeries->YValue(3), before);
  const double atThree = form.InputSeries->YValue(3);
  SendMessage(tool.GetHandle(), WM_TOOLTRACECHANGED, 99, 0);
  EXPECT_EQ(tool.CurrentTrace, 3);
  EXPECT_EQ(form.InputSeries->YValue(3), atThree);

  SendMessage(tool.GetHandle(), WM_TOOLVIEWCHANGED, 2, 0);
  EXPECT_EQ(tool.CurrentNumberView, 2);
  EXPECT_EQ(form.FrequencyTrackBar->Position(), 700);
  EXPECT_EQ(form.FilterSeries->Count(), 38);
  SendMessage(tool.GetHandle(), WM_TOOLVIEWCHANGED, 7, 2);
  EXPECT_EQ(tool.CurrentNumberView, 2) << "no such channel";
}

TEST_F(FilterFormTest, RangeControlsAndTypeButtons) {
  TFilterForm& form = Open<TFilterForm>(false, 1);
  EXPECT_EQ(form.RangeTrackBar->Min(), 1);
  EXPECT_EQ(form.RangeTrackBar->Max(), 8);
  EXPECT_EQ(form.RangeTrackBar->PageSize(), 4);
  EXPECT_EQ(form.RangeDigitEdit->MaxVal(), 8);
  EXPECT_TRUE(form.LowPassFilterToolButton->Down()) << "the tool's default type";
  Drain();

  form.RangeTrackBar->SetPosition(4);
  EXPECT_EQ(tool.Param[1].Range, 4);
  EXPECT_EQ(host.messages, TMessages{kRunAll});
  form.HighPassFilterToolButton->SetDown(true);
  form.HighPassFilterToolButton->Click();
  EXPECT_EQ(tool.Param[1].Type, HighPassFilter);
  EXPECT_EQ(tool.Param[0].Type, LowPassFilter) << "editing: one channel";
  // Its own response, four passes of the high pass: never negative.
  ASSERT_GT(form.FilterSeries->Count(), 0);
  for (int i = 0; i < form.FilterSeries->Count(); ++i) EXPECT_GT(form.FilterSeries->YValue(i), 0) << i;
}

}  // namespace frequency_filter_form_test
