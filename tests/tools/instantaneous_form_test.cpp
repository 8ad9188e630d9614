// The Hilbert and DQ dialogs with a fake window: the output type going to every
// channel, the frequency label, no preview on showing, previews on Restore, on the
// window's channel change and on WM_TOOLREAPPLY, and a break during a run.

#include "platform/ui/buttons.h"
#include "platform/ui/std_controls.h"
#include "radargram/tool_messages.h"
#include "tests/tools/tool_test_support.h"
#include "tools/dq_form.h"
#include "tools/dq_tool.h"
#include "tools/hilbert_form.h"
#include "tools/hilbert_tool.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace instantaneous_form_test {

using TMessages = std::vector<TRecordedMessage>;
const TRecordedMessage kShown{WM_TOOLFORMSHOWN, 0, 0};
const TRecordedMessage kRunAll{WM_TOOLSRUN, 202, 0};

template <class TTool>
class InstantaneousFormTest : public ::testing::Test {
protected:
  FakeToolHost host;
  HostScope scope{host};
  PoolThreadsScope threads{2};
  std::vector<std::unique_ptr<T2Dview>> views;
  TTool tool;

  void SetUp() override {
    for (int c = 0; c < 5; ++c) {
      views.push_back(MakeChannel(24, 16));
      views.back()->Settings()->RestoreSpanWidth(16.0);
      SetSamples(*views.back(), TestTraces(24, 16));
      tool.SetView_(c, views.back().get());
      host.views.push_back(views.back().get());
    }
  }
  void TearDown() override { Application->ProcessMessages(); }

  TInstantaneousForm& Open(bool adding, int channel = 0) {
    tool.SetCurrentNumberView(channel);
    tool.GetParam(channel);
    tool.SetPropertyes(adding);
    auto* form = dynamic_cast<TInstantaneousForm*>(tool.Form());
    EXPECT_NE(form, nullptr);
    Application->ProcessMessages();
    return *form;
  }
  static void Press(TToolButton* button) {
    button->SetDown(true);
    button->Click();
  }
  TMessages Drain() { return host.DrainMessages(); }
  // A break at the first yield of a run on channel 1 with the dialog open.
  void BreakDuringARun(TOutputType type) {
    TInstantaneousForm& form = Open(false, 1);
    TInstantaneousParam set{true, type};
    for (int c = 0; c < 5; ++c) tool.SetParam(c, &set);
    tool.GetParam(1);
    form.DisplayParam();
    ASSERT_TRUE(form.ExecCheckBox->Checked());
    Drain();
    const std::vector<int32_t> input = Samples(*views[1]);
    host.yields = 0;
    host.breakAtYield = 1;
    tool.execute(false, 1);
    EXPECT_GE(host.yields, 1);
    EXPECT_EQ(Samples(*views[1]), input) << "the channel keeps its input";
    for (const TInstantaneousParam& p : tool.Param) EXPECT_FALSE(p.Apply);
    EXPECT_FALSE(tool.GetExecuting());
    EXPECT_FALSE(form.ExecCheckBox->Checked()) << "the open dialog's box is cleared";
    // Had the box's handler taken the change, Apply off would re-run the chain.
    EXPECT_EQ(Drain(), TMessages{}) << "no preview";
    EXPECT_EQ(tool.OutputType, type);
  }
};

using Tools = ::testing::Types<THilbert, TDQ>;
TYPED_TEST_SUITE(InstantaneousFormTest, Tools);

TYPED_TEST(InstantaneousFormTest, ShowingDoesNotPreviewAndFrequencyGoesToEveryChannel) {
  TInstantaneousForm& form = this->Open(true);
  EXPECT_TRUE(form.Visible());
  EXPECT_TRUE(form.AmplitudeToolButton->Down());
  EXPECT_EQ(form.FreqToolButton->Caption(), "Frequency");
  EXPECT_EQ(form.AmplitudeToolButton->Caption(), "Envelope");
  EXPECT_EQ(this->Drain(), TMessages{kShown}) << "not even while adding";

  this->Press(form.FreqToolButton);
  for (const TInstantaneousParam& p : this->tool.Param) EXPECT_EQ(p.OutputType, otFreq);
  EXPECT_EQ(this->Drain(), TMessages{kRunAll});
  EXPECT_FALSE(form.FrequencyLbl->Visible());

  // Editing one channel: the output type still goes to all five sets.
  this->tool.AfterFormClose();
  this->Drain();
  TInstantaneousForm& edit = this->Open(false, 3);
  this->Drain();
  this->Press(edit.AmplitudeToolButton);
  for (const TInstantaneousParam& p : this->tool.Param) EXPECT_EQ(p.OutputType, otAmplitude);
  EXPECT_EQ(this->Drain(), TMessages{kRunAll});

  // "Restore" gives back the sets of the opening and previews.
  edit.CancelBitBtn->Click();
  for (const TInstantaneousParam& p : this->tool.Param) EXPECT_EQ(p.OutputType, otFreq);
  EXPECT_TRUE(edit.FreqToolButton->Down());
  EXPECT_EQ(this->Drain(), TMessages{kRunAll});
}

TYPED_TEST(InstantaneousFormTest, RedisplaysPreviewAndReapplyReRuns) {
  TInstantaneousForm& form = this->Open(false, 0);
  this->Drain();
  // The window's channel change redisplays the dialog, and that previews.
  SendMessage(this->tool.GetHandle(), WM_TOOLVIEWCHANGED, 2, 0);
  EXPECT_EQ(this->tool.CurrentNumberView, 2);
  EXPECT_EQ(this->Drain(), (TMessages{{WM_TOOLSRUN, 2, 0}}));
  // A click on a trace only redisplays.
  SendMessage(this->tool.GetHandle(), WM_TOOLTRACECHANGED, 5, 100);
  EXPECT_EQ(this->Drain(), TMessages{});

  SendMessage(form.Handle(), WM_TOOLREAPPLY, 0, 0);
  EXPECT_EQ(this->Drain(), TMessages{kRunAll});
  form.ExecCheckBox->SetChecked(false);
  this->Drain();
  SendMessage(form.Handle(), WM_TOOLREAPPLY, 0, 0);
  EXPECT_EQ(this->Drain(), TMessages{}) << "not with Apply clear";

  // Enter is OK whatever has the focus.
  form.FreqToolButton->SetFocus();
  WORD key = VK_RETURN;
  form.FormKeyDown(&form, key, {});
  EXPECT_FALSE(form.Visible());
}

TYPED_TEST(InstantaneousFormTest, ABreakLeavesTheInputAndSwitchesTheToolOff) {
  if (std::is_same_v<TypeParam, TDQ>) {
    // The DQ envelope cannot be stopped: the break flag is not looked at.
    TInstantaneousForm& form = this->Open(false, 1);
    this->Drain();
    this->host.br = true;
    const std::vector<int32_t> input = Samples(*this->views[1]);
    this->tool.execute(false, 1);
    EXPECT_NE(Samples(*this->views[1]), input);
    EXPECT_TRUE(this->tool.Param[1].Apply);
    EXPECT_TRUE(form.ExecCheckBox->Checked());
    this->host.br = false;
    form.CloseDialog();
    this->tool.AfterFormClose();
    this->Drain();
    this->BreakDuringARun(otFreq);
  } else {
    this->BreakDuringARun(otAmplitude);
  }
}

TEST(InstantaneousFormLabel, HilbertShowsTheFrequencyWithEnvelopeOnlyAndDQNever) {
  FakeToolHost host;
  HostScope scope{host};
  auto view = MakeChannel(1, 8);
  THilbert hilbert;
  TDQ dq;
  for (TInstantaneousTool* tool : {static_cast<TInstantaneousTool*>(&hilbert), static_cast<TInstantaneousTool*>(&dq)}) {
    tool->SetView_(0, view.get());
    tool->SetPropertyes(false);
    auto* form = dynamic_cast<TInstantaneousForm*>(tool->Form());
    ASSERT_NE(form, nullptr);
    const bool shows = tool == &hilbert;
    EXPECT_EQ(form->FrequencyLbl->Caption(), "Frequency: 0");
    EXPECT_EQ(form->FrequencyLbl->Visible(), shows) << "envelope";
    form->FreqToolButton->SetDown(true);
    form->FreqToolButton->Click();
    EXPECT_FALSE(form->FrequencyLbl->Visible());
    form->AmplitudeToolButton->SetDown(true);
    form->AmplitudeToolButton->Click();
    EXPECT_EQ(form->FrequencyLbl->Visible(), shows);
    form->CloseDialog();
    tool->AfterFormClose();
  }
  Application->ProcessMessages();
}

}  // namespace instantaneous_form_test
