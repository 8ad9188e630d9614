// The tool dialog protocol on the rectifier's dialog, offscreen with a fake
// window: adding and editing, Restore, Cancel and Esc (also during a run), the
// window's channel change, placement beside the chart and the language's
// character set.

#include "platform/ui/buttons.h"
#include "platform/ui/edit_controls.h"
#include "platform/ui/std_controls.h"
#include "radargram/tool_messages.h"
#include "tests/tools/tool_test_support.h"
#include "tools/abs_form.h"
#include "tools/abs_tool.h"
#include "tools/tool_protocol.h"
#include "tools/tool_shell.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace abs_form_test {

// A rectifier that writes the dialog's close reaching it into the window's log,
// so that the order of the three messages shows.
class TLoggingAbsTool : public TAbsTool {
public:
  explicit TLoggingAbsTool(FakeToolHost& host) : host_(host) {}
  void AfterFormClose() override {
    host_.messages.push_back({WM_TOOLFORMCLOSED, 0, 0});
    TAbsTool::AfterFormClose();
  }

private:
  FakeToolHost& host_;
};

using TMessages = std::vector<TRecordedMessage>;
const TRecordedMessage kClosed{WM_TOOLFORMCLOSED, 0, 0};
const TRecordedMessage kDelete{WM_TOOLDELETE, 0, 0};
const TRecordedMessage kHidden{WM_TOOLFORMHIDDEN, 0, 0};
const TRecordedMessage kShown{WM_TOOLFORMSHOWN, 0, 0};
const TRecordedMessage kRunAll{WM_TOOLSRUN, 202, 0};

class AbsFormTest : public ::testing::Test {
protected:
  FakeToolHost host;
  HostScope scope{host};
  PoolThreadsScope threads{1};
  std::vector<std::unique_ptr<T2Dview>> views;
  TLoggingAbsTool tool{host};

  void SetUp() override {
    for (int c = 0; c < 5; ++c) {
      views.push_back(MakeChannel(3, 4));
      SetSamples(*views.back(), TestTraces(3, 4));
      tool.SetView_(c, views.back().get());
      host.views.push_back(views.back().get());
    }
  }
  void TearDown() override { Application->ProcessMessages(); }

  TAbsForm& Open(bool adding, int channel = 0) {
    tool.SetCurrentNumberView(channel);
    tool.GetParam(channel);
    EXPECT_EQ(tool.SetPropertyes(adding), 1);
    auto* form = dynamic_cast<TAbsForm*>(tool.Form());
    EXPECT_NE(form, nullptr);
    Application->ProcessMessages();
    return *form;
  }
  static void Press(TToolButton* button) {
    button->SetDown(true);
    button->Click();
  }
  TMessages Drain() { return host.DrainMessages(); }
  void ExpectSets(const std::vector<TRectifierMode>& modes, const std::vector<bool>& applies) {
    for (size_t c = 0; c < 5; ++c) {
      SCOPED_TRACE(c);
      EXPECT_EQ(tool.Param[c].Mode, modes[c]);
      EXPECT_EQ(tool.Param[c].Apply, applies[c]);
    }
  }
};

constexpr auto F = TRectifierMode::FullWave;
constexpr auto P = TRectifierMode::Positive;
constexpr auto N = TRectifierMode::Negative;

TEST_F(AbsFormTest, AddingAModeClickSetsEveryChannelAndPreviews) {
  TAbsForm& form = Open(true);
  EXPECT_TRUE(form.Visible());
  EXPECT_EQ(form.Caption(), "Rectifier");
  EXPECT_EQ(form.ClientWidth(), 251);
  EXPECT_EQ(form.ClientHeight(), 231);
  EXPECT_EQ(form.OKBitBtn->Caption(), "Add");
  EXPECT_EQ(form.CancelBitBtn->Caption(), "Cancel");
  EXPECT_TRUE(form.CancelBitBtn->Enabled());
  EXPECT_EQ(form.EditCaption->Text(), "Rectifier");
  EXPECT_TRUE(form.ExecCheckBox->Checked());
  EXPECT_TRUE(form.FullToolButton->Down());
  EXPECT_EQ(form.NegativeToolButton->Hint(), "Unipolar negative rectifier");
  EXPECT_TRUE(form.Vsbl);
  EXPECT_EQ(Drain(), (TMessages{kShown, kRunAll})) << "shown while adding: previewed at once";

  Press(form.NegativeToolButton);
  EXPECT_FALSE(form.FullToolButton->Down());
  ExpectSets({N, N, N, N, N}, {true, true, true, true, true});
  EXPECT_EQ(Drain(), (TMessages{kRunAll}));
  EXPECT_EQ(form.CancelBitBtn->Caption(), "Restore");

  // Apply off goes to every set and re-runs the chain although Apply is off.
  form.ExecCheckBox->SetChecked(false);
  ExpectSets({N, N, N, N, N}, {false, false, false, false, false});
  EXPECT_EQ(Drain(), (TMessages{kRunAll}));
  // With Apply off and unchanged, a change previews nothing.
  Press(form.PositiveToolButton);
  ExpectSets({P, P, P, P, P}, {false, false, false, false, false});
  EXPECT_EQ(Drain(), TMessages{});

  // "Restore" while adding: the sets of the opening, and "Cancel" again.
  form.CancelBitBtn->Click();
  ExpectSets({F, F, F, F, F}, {true, true, true, true, true});
  EXPECT_TRUE(form.FullToolButton->Down());
  EXPECT_TRUE(form.ExecCheckBox->Checked());
  EXPECT_EQ(form.CancelBitBtn->Caption(), "Cancel");
  EXPECT_EQ(Drain(), (TMessages{kRunAll}));
}

TEST_F(AbsFormTest, CancelWhileAddingHasTheWindowDeleteTheTool) {
  TAbsForm& form = Open(true);
  Drain();
  form.CancelBitBtn->Click();
  EXPECT_FALSE(form.Visible());
  EXPECT_EQ(host.curToolCleared, 1);
  EXPECT_EQ(Drain(), (TMessages{kClosed, kDelete, kHidden}));
  EXPECT_EQ(tool.Form(), nullptr) << "the tool frees its dialog";
}

TEST_F(AbsFormTest, EditingChangesTheDialogsChannelOnlyAndRestoreReturnsAllFive) {
  TAbsForm& form = Open(false, 2);
  EXPECT_EQ(form.OKBitBtn->Caption(), "Yes");
  EXPECT_EQ(form.CancelBitBtn->Caption(), "Restore");
  EXPECT_FALSE(form.CancelBitBtn->Enabled());
  EXPECT_EQ(Drain(), TMessages{kShown}) << "no preview while editing";

  Press(form.PositiveToolButton);
  ExpectSets({F, F, P, F, F}, {true, true, true, true, true});
  EXPECT_TRUE(form.CancelBitBtn->Enabled());
  EXPECT_EQ(Drain(), TMessages{kRunAll});
  form.ExecCheckBox->SetChecked(false);
  ExpectSets({F, F, P, F, F}, {false, false, false, false, false});

  form.CancelBitBtn->Click();
  ExpectSets({F, F, F, F, F}, {true, true, true, true, true});
  EXPECT_FALSE(form.CancelBitBtn->Enabled());
  EXPECT_EQ(form.CancelBitBtn->Caption(), "Restore");
  EXPECT_TRUE(form.Visible());

  // OK (and Enter) close and keep the tool.
  WORD key = VK_RETURN;
  form.FormKeyDown(&form, key, {});
  EXPECT_FALSE(form.Visible());
  Drain();
  EXPECT_EQ(host.messages, TMessages{});
  EXPECT_EQ(tool.Form(), nullptr);
}

TEST_F(AbsFormTest, CaptionEditRenamesTheToolAndRepaintsItsNode) {
  TAbsForm& form = Open(false, 1);
  Drain();
  form.EditCaption->SetText(QStringLiteral("Rectifier 2"));
  EXPECT_EQ(tool.GetCaption(), "Rectifier 2");
  EXPECT_TRUE(form.CancelBitBtn->Enabled());
  EXPECT_EQ(host.messages, (TMessages{{WM_TOOLSRUN, 201, 0}})) << "sent: handled at once";
}

TEST_F(AbsFormTest, TheWindowsChannelChangeMovesTheDialog) {
  TAbsForm& form = Open(true, 0);
  Drain();
  Press(form.NegativeToolButton);  // while adding: every set
  SendMessage(tool.GetHandle(), WM_TOOLVIEWCHANGED, 3, 0);
  EXPECT_EQ(tool.CurrentNumberView, 3);
  EXPECT_FALSE(form.adding) << "from now on one channel only";
  Press(form.PositiveToolButton);
  ExpectSets({N, N, N, P, N}, {true, true, true, true, true});

  // The dialog shows the new channel's set.
  TAbsParam set1{false, F};
  tool.SetParam(1, &set1);
  SendMessage(tool.GetHandle(), WM_TOOLVIEWCHANGED, 1, 3);
  EXPECT_EQ(tool.CurrentNumberView, 1);
  EXPECT_TRUE(form.FullToolButton->Down());
  EXPECT_FALSE(form.ExecCheckBox->Checked());
  ExpectSets({N, F, N, P, N}, {true, false, true, true, true});
}

// Esc while the tool runs (reached from the run's yield) is carried out when the
// run ends: the tool being added goes, an edited one stays.
TEST_F(AbsFormTest, EscDuringARunClosesAtItsEnd) {
  for (bool adding : {true, false}) {
    SCOPED_TRACE(adding);
    TAbsForm& form = Open(adding);
    Drain();
    int64_t now = 0;
    SetToolSliceClock([&] { return now += 100; });
    host.yields = 0;
    host.onYield = [&](int n) {
      if (n != 1) return;
      WORD key = VK_ESCAPE;
      form.FormKeyDown(&form, key, {});
      EXPECT_TRUE(form.Visible()) << "not while the tool runs";
    };
    tool.execute(false, 0);
    SetToolSliceClock({});
    host.onYield = {};
    EXPECT_GE(host.yields, 1);
    EXPECT_FALSE(form.Visible());
    EXPECT_FALSE(tool.NeedToDel);
    EXPECT_FALSE(tool.NeedToClose);
    EXPECT_EQ(Drain(), adding ? (TMessages{kClosed, kDelete, kHidden}) : (TMessages{kClosed, kHidden}));
    EXPECT_EQ(tool.Form(), nullptr);
  }
}

TEST_F(AbsFormTest, EscAndTheFramesCloseDeleteOnlyWhileCancelIsShown) {
  {
    TAbsForm& form = Open(true);
    Drain();
    form.Close();  // the frame's close button: as Esc
    EXPECT_FALSE(form.Visible());
    EXPECT_EQ(Drain(), (TMessages{kClosed, kDelete, kHidden}));
  }
  {
    TAbsForm& form = Open(true);
    Press(form.PositiveToolButton);  // "Restore" now
    Drain();
    WORD key = VK_ESCAPE;
    form.FormKeyDown(&form, key, {});
    EXPECT_EQ(Drain(), (TMessages{kClosed, kHidden}));
  }
}

TEST_F(AbsFormTest, PlacedLeftOfTheChart) {
  host.chartOrigin = {500, 140};
  TAbsForm& form = Open(false, 3);
  EXPECT_EQ(host.chartOriginAsked[3], 1) << "the dialog's channel's chart";
  EXPECT_EQ(form.Left(), 500 - form.Width());
  EXPECT_EQ(form.Top(), 140);
  host.chartOrigin = {40, -30};  // no room, or no chart at all (0, 0)
  form.PlaceBesideChart();
  EXPECT_EQ(form.Left(), 2);
  EXPECT_EQ(form.Top(), 2);
}

class TRussianShell : public IToolShell {
public:
  int32_t Language() const override { return 25; }
  std::array<T2Dview*, 5> CurrentViews() const override { return {}; }
};

TEST_F(AbsFormTest, TakesTheCharacterSetOfTheLanguage) {
  EXPECT_EQ(ToolShell().Language(), 1033) << "no main window: English";
  TRussianShell shell;
  SetToolShell(&shell);
  TAbsForm& form = Open(false);
  SetToolShell(nullptr);
  EXPECT_EQ(form.Font()->Charset(), 204);
}

}  // namespace abs_form_test
