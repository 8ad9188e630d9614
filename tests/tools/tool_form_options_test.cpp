// The deviations a tool dialog may choose (TToolFormOptions), each against the
// protocol's default, on a plain dialog over the rectifier's sets.

#include "platform/ui/buttons.h"
#include "platform/ui/edit_controls.h"
#include "platform/ui/std_controls.h"
#include "radargram/tool_messages.h"
#include "tests/support/ui_test_support.h"
#include "tests/tools/tool_test_support.h"
#include "tools/abs_tool.h"
#include "tools/tool_form.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace tool_form_options_test {

class TPlainForm : public TToolForm {
public:
  TPlainForm(TComponent* AOwner, const TToolFormOptions& options) : TToolForm(AOwner, options) {
    SetClientWidth(200);
    SetClientHeight(120);
    EditCaption->SetBounds(8, 8, 180, 21);
    ExecCheckBox->SetBounds(8, 40, 97, 17);
    OKBitBtn->SetBounds(8, 80, 75, 25);
    CancelBitBtn->SetBounds(100, 80, 75, 25);
  }
};

class TOptionsTool : public TAbsTool {
public:
  explicit TOptionsTool(const TToolFormOptions& options) : options_(options) {}

protected:
  TToolForm* CreateForm() override { return TComponent::Create<TPlainForm>(Application, options_); }

private:
  TToolFormOptions options_;
};

using TMessages = std::vector<TRecordedMessage>;
const TRecordedMessage kRunAll{WM_TOOLSRUN, 202, 0};

class ToolFormOptionsTest : public ::testing::Test {
protected:
  FakeToolHost host;
  HostScope scope{host};
  std::vector<std::unique_ptr<T2Dview>> views;

  std::unique_ptr<TOptionsTool> Open(const TToolFormOptions& options, bool adding, int channel) {
    auto tool = std::make_unique<TOptionsTool>(options);
    for (int c = 0; c < 5; ++c) {
      if (views.size() < 5) views.push_back(MakeChannel(2, 4));
      tool->SetView_(c, views[static_cast<size_t>(c)].get());
    }
    tool->SetCurrentNumberView(channel);
    tool->SetPropertyes(adding);
    Application->ProcessMessages();
    host.messages.clear();
    return tool;
  }
  static std::vector<bool> Applies(const TAbsTool& tool) {
    std::vector<bool> v;
    for (const TAbsParam& p : tool.Param) v.push_back(p.Apply);
    return v;
  }
  void TearDown() override { Application->ProcessMessages(); }
};

TEST_F(ToolFormOptionsTest, ApplyGoesToAllSetsUnlessTheDialogKeepsItToOne) {
  for (bool spread : {true, false}) {
    SCOPED_TRACE(spread);
    TToolFormOptions options;
    options.SpreadApply = spread;
    auto tool = Open(options, false, 1);
    tool->Form()->ExecCheckBox->SetChecked(false);
    EXPECT_EQ(Applies(*tool), spread ? std::vector<bool>(5, false) : (std::vector<bool>{true, false, true, true, true}));
  }
}

TEST_F(ToolFormOptionsTest, CancelKeptWhileAdding) {
  for (bool keep : {false, true}) {
    SCOPED_TRACE(keep);
    TToolFormOptions options;
    options.KeepCancelWhileAdding = keep;
    auto tool = Open(options, true, 0);
    tool->Form()->ExecCheckBox->SetChecked(false);
    EXPECT_EQ(tool->Form()->CancelBitBtn->Caption(), keep ? "Cancel" : "Restore");
    EXPECT_EQ(tool->Form()->CancelShowsCancel(), keep);
  }
}

TEST_F(ToolFormOptionsTest, PreviewOnShowAndBlockingPreview) {
  for (bool previewOnShow : {true, false}) {
    TToolFormOptions options;
    options.PreviewOnShow = previewOnShow;
    auto tool = std::make_unique<TOptionsTool>(options);
    views.push_back(MakeChannel(2, 4));
    tool->SetView_(0, views.back().get());
    tool->SetPropertyes(true);
    Application->ProcessMessages();
    EXPECT_EQ(host.messages, previewOnShow ? (TMessages{{WM_TOOLFORMSHOWN, 0, 0}, kRunAll})
                                           : (TMessages{{WM_TOOLFORMSHOWN, 0, 0}}));
    host.messages.clear();
  }
  TToolFormOptions blocking;
  blocking.BlockingPreview = true;
  auto tool = Open(blocking, false, 0);
  tool->Form()->ExecCheckBox->SetChecked(false);
  EXPECT_EQ(host.messages, TMessages{kRunAll}) << "handled before the handler returned";
}

TEST_F(ToolFormOptionsTest, PlacementBesideChannelZeroAndWithoutTheTop) {
  host.chartOrigin = {700, 300};
  TToolFormOptions options;
  options.PlaceBesideChannel0 = true;
  options.TopAtChart = false;
  auto tool = Open(options, false, 3);
  EXPECT_EQ(host.chartOriginAsked[0], 1);
  EXPECT_EQ(host.chartOriginAsked[3], 0);
  EXPECT_EQ(tool->Form()->Left(), 700 - tool->Form()->Width());
  EXPECT_NE(tool->Form()->Top(), 300);
}

TEST_F(ToolFormOptionsTest, EnterInANamedEditIsTheEdits) {
  auto tool = Open({}, false, 0);
  TToolForm& form = *tool->Form();
  form.KeepEnterIn(form.EditCaption);
  form.EditCaption->SetFocus();
  ASSERT_TRUE(ProcessMessagesUntil([&] { return form.EditCaption->Focused(); }));
  WORD key = VK_RETURN;
  form.FormKeyDown(&form, key, {});
  EXPECT_TRUE(form.Visible());
  EXPECT_EQ(key, VK_RETURN);
  form.ExecCheckBox->SetFocus();
  ASSERT_TRUE(ProcessMessagesUntil([&] { return form.ExecCheckBox->Focused(); }));
  form.FormKeyDown(&form, key, {});
  EXPECT_FALSE(form.Visible()) << "elsewhere Enter is OK";
}

}  // namespace tool_form_options_test
