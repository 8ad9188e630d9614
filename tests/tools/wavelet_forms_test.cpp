// The dialogs of the wavelet filter, the horizontal wavelet filter and the
// windowed background removal, offscreen with a fake window: what they show,
// what their controls change, and where they deviate from the protocol.

#include "platform/ui/buttons.h"
#include "platform/ui/chart.h"
#include "platform/ui/combo_box.h"
#include "platform/ui/std_controls.h"
#include "platform/ui/track_bar.h"
#include "profiledata/digit_edit.h"
#include "radargram/tool_messages.h"
#include "tests/tools/tool_test_support.h"
#include "tools/horz_wavelet.h"
#include "tools/horz_waveleter_form.h"
#include "tools/tool_shell.h"
#include "tools/waveleter_form.h"
#include "tools/wavelet.h"
#include "tools/win_subtract_trace.h"
#include "tools/window_substr_average_form.h"

#include <gtest/gtest.h>

namespace wavelet_forms_test {

class TRussianToolShell : public IToolShell {
public:
  int32_t Language() const override { return 25; }
  std::array<T2Dview*, 5> CurrentViews() const override { return {}; }
};

class WaveletFormsTest : public ::testing::Test {
protected:
  FakeToolHost host;
  HostScope scope{host};
  PoolThreadsScope threads{1};
  std::vector<std::unique_ptr<T2Dview>> views;

  void Bind(TCommonTool& tool) {
    views.clear();
    for (int c = 0; c < 5; ++c) {
      views.push_back(MakeChannel(3, 100));
      views.back()->Settings()->RestoreSpanWidth(10.0);
      SetSamples(*views.back(), TestTraces(3, 100));
      tool.SetView_(c, views.back().get());
    }
  }
  template <class TForm>
  TForm& Open(TCommonTool& tool, bool adding, int channel) {
    tool.SetCurrentNumberView(channel);
    tool.GetParam(channel);
    tool.SetPropertyes(adding);
    Application->ProcessMessages();
    host.messages.clear();
    return *dynamic_cast<TForm*>(tool.Form());
  }
  void TearDown() override { Application->ProcessMessages(); }
};

TEST_F(WaveletFormsTest, BackgroundRemovalWindowAndGaussControls) {
  TWinSubtractTrace tool;
  Bind(tool);
  tool.KoefGausse = 1.5L;
  auto& form = Open<TWindowSubstrAverageForm>(tool, false, 1);
  EXPECT_EQ(form.Caption(), "Windowed Background Removal");
  EXPECT_EQ(form.WidthWindowDigitEdit->ValueInt(), 100);
  EXPECT_EQ(form.WidthWindowTrackBar->Position(), 100);
  EXPECT_EQ(form.WidthWindowTrackBar->Max(), 300);
  EXPECT_EQ(form.WidthWindowTrackBar->PageSize(), 20);
  EXPECT_FALSE(form.cbGausse->Visible());
  EXPECT_FALSE(form.cbKoefGausse->Visible());
  EXPECT_EQ(form.cbKoefGausse->Items(), (QStringList{"0.01", "0.15", "0.30", "0.60", "1.00"}));
  EXPECT_EQ(form.cbKoefGausse->ItemIndex(), 1);

  // The edit moves the track bar, which sets the window of the dialog's channel.
  form.WidthWindowDigitEdit->SetValueInt(37);
  form.WidthWindowDigitEditChangeFinish(nullptr);
  EXPECT_EQ(form.WidthWindowTrackBar->Position(), 37);
  EXPECT_EQ(tool.Param[1].WidthWindow, 37);
  EXPECT_EQ(tool.Param[0].WidthWindow, 100);
  Application->ProcessMessages();
  EXPECT_EQ(host.messages, (std::vector<TRecordedMessage>{{WM_TOOLSRUN, 202, 0}}));

  form.cbKoefGausse->SetItemIndex(3);
  form.cbKoefGausseChange(nullptr);
  EXPECT_EQ(tool.KoefGausse, 3.0L);
  form.cbGausse->SetChecked(true);
  EXPECT_TRUE(tool.GausseRun);

  // A factor no item has selects none.
  tool.KoefGausse = 2.5L;
  form.DisplayParam();
  EXPECT_EQ(form.cbKoefGausse->ItemIndex(), -1);
  form.CloseDialog();
}

TEST_F(WaveletFormsTest, WaveletDialogKeepsTheDefaultCharacterSetAndDrawsHarmonicZero) {
  TWavelet tool;
  Bind(tool);
  TRussianToolShell shell;
  SetToolShell(&shell);
  auto& form = Open<TWaveleterForm>(tool, false, 2);
  SetToolShell(nullptr);
  EXPECT_NE(form.Font()->Charset(), 204);
  EXPECT_EQ(form.Caption(), "Wavelet Filter");
  EXPECT_FALSE(form.cbHarmonicCount->Visible());
  EXPECT_FALSE(form.DigitEditDHarmonic->Visible());
  EXPECT_FALSE(form.InvertCheckBox->Visible());
  EXPECT_EQ(form.DigitEditTimescale->ValueReal(), 2.0L);
  // Harmonic 0 in red, the others hidden; the time axis spans +-37.5 samples.
  EXPECT_EQ(form.Series[4]->SeriesColor(), clRed);
  EXPECT_GT(form.Series[4]->Count(), 0);
  EXPECT_EQ(form.Series[4]->Count(), tool.Kernels.mstop - tool.Kernels.mstart + 1);
  EXPECT_FALSE(form.Series[0]->Active());
  EXPECT_EQ(form.Chart1->LeftAxis()->Title(), "Time, ns");
  EXPECT_DOUBLE_EQ(form.Chart1->LeftAxis()->Maximum(), 37.5 * 0.1);

  // The time scale goes to the dialog's channel and previews.
  form.DigitEditTimescale->SetValueReal(3.5L);
  form.DigitEditTimescaleChangeFinish(nullptr);
  EXPECT_EQ(tool.Param[2].Timescale, 3.5L);
  EXPECT_EQ(tool.Param[1].Timescale, 2.0L);
  Application->ProcessMessages();
  EXPECT_EQ(host.messages, (std::vector<TRecordedMessage>{{WM_TOOLSRUN, 202, 0}}));

  // Three harmonics: the step bound and three series.
  form.cbHarmonicCount->SetItemIndex(1);
  form.cbHarmonicCountChange(nullptr);
  EXPECT_EQ(tool.GetHarmonicCount(), 3);
  EXPECT_EQ(form.DigitEditDHarmonic->MaxVal(), 2.3L);  // Int(10 x 3.5 / 1.5) / 10
  EXPECT_GT(form.Series[3]->Count(), 0);
  EXPECT_GT(form.Series[5]->Count(), 0);

  // OK stores the dialog's channel's set and closes.
  tool.Timescale = 4.0L;
  form.OKBitBtn->Click();
  EXPECT_EQ(tool.Param[2].Timescale, 4.0L);
  EXPECT_FALSE(form.Visible());
  Application->ProcessMessages();
  EXPECT_EQ(tool.Form(), nullptr);
}

TEST_F(WaveletFormsTest, HorizontalDialogShowsHalfTheWindow) {
  THorzWavelet tool;
  Bind(tool);
  auto& form = Open<THorzWaveleterForm>(tool, false, 0);
  EXPECT_EQ(form.Caption(), "Horz Wavelet Filter");
  EXPECT_EQ(form.DigitEditWidthWindow->ValueInt(), 25);
  EXPECT_EQ(form.Chart1->LeftAxis()->Title(), "Traces");
  EXPECT_GT(form.Series[4]->Count(), 0);
  EXPECT_DOUBLE_EQ(form.Chart1->LeftAxis()->Maximum(), 25);
  form.DigitEditWidthWindow->SetValueInt(30);
  form.DigitEditWidthWindowChangeFinish(nullptr);
  EXPECT_EQ(tool.WidthWindow, 60);
  EXPECT_EQ(tool.Param[0].WidthWindow, 60);
  EXPECT_DOUBLE_EQ(form.Chart1->LeftAxis()->Maximum(), 30);
  form.CloseDialog();
}

}  // namespace wavelet_forms_test
