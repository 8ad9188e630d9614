// The imaging tools' dialogs offscreen with a fake window: the generator's
// thirteen edits (shown from the tool, stored on a finished entry, previewed,
// no keys of its own, the antenna's spacing when adding) and the migrations'
// wheel-mode rule, antenna-offset label, placement and sets.

#include "platform/ui/buttons.h"
#include "platform/ui/edit_controls.h"
#include "platform/ui/std_controls.h"
#include "profiledata/digit_edit.h"
#include "radargram/tool_messages.h"
#include "tests/tools/imaging/migration_test_support.h"
#include "tools/imaging/gen_test_form.h"
#include "tools/imaging/gen_test_tool.h"
#include "tools/imaging/migration_adv_form.h"
#include "tools/imaging/migration_adv_tool.h"
#include "tools/imaging/migration_form.h"
#include "tools/imaging/migration_tool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace imaging_forms_test {

using imaging_test_support::MakeWheelChannel;
using imaging_test_support::TWheelChannel;

const TRecordedMessage kRunAll{WM_TOOLSRUN, 202, 0};

class ImagingFormsTest : public ::testing::Test {
protected:
  FakeToolHost host;
  HostScope scope{host};
  PoolThreadsScope threads{1};
  std::vector<std::unique_ptr<T2Dview>> views;

  void Bind(TCommonTool& tool, TRunMode mode) {
    for (int c = 0; c < 5; ++c) {
      TWheelChannel w;
      w.traces = 6;
      w.longTrace = 16;
      w.unit = Unit03;
      w.mode = mode;
      views.push_back(MakeWheelChannel(w, TestTraces(6, 16)));
      tool.SetView_(c, views.back().get());
      host.views.push_back(views.back().get());
    }
  }
  template <class TForm>
  TForm& Open(TCommonTool& tool, bool adding, int channel = 0) {
    tool.SetCurrentNumberView(channel);
    tool.GetParam(channel);
    EXPECT_EQ(tool.SetPropertyes(adding), 1);
    auto* form = dynamic_cast<TForm*>(tool.Form());
    EXPECT_NE(form, nullptr);
    Application->ProcessMessages();
    return *form;
  }
  std::vector<TRecordedMessage> Drain() {
    Application->ProcessMessages();
    std::vector<TRecordedMessage> m = host.messages;
    host.messages.clear();
    return m;
  }
  void TearDown() override { Application->ProcessMessages(); }
};

TEST_F(ImagingFormsTest, GeneratorDialogShowsTheToolAndStoresFinishedEntries) {
  TGenTestTool tool;
  Bind(tool, rmWheel);
  TGenTestForm& form = Open<TGenTestForm>(tool, true);
  EXPECT_EQ(form.Caption(), "Generate Test");
  EXPECT_EQ(form.ClientWidth(), 220);
  EXPECT_EQ(form.ClientHeight(), 492);
  EXPECT_EQ(tool.DistanceRecept, static_cast<long double>(0.142)) << "adding takes the antenna's spacing";
  EXPECT_NEAR(static_cast<double>(form.DistanceTRDigitEdit->ValueReal()), 0.142, 1e-12);
  const std::vector<TDigitEdit*> edits{form.MultInputSignalDigitEdit, form.SetRandomDigitEdit, form.X1DigitEdit,
                                       form.Y1DigitEdit, form.TopAmp1DigitEdit, form.DecAmpPercent1DigitEdit,
                                       form.SizeParabol1DigitEdit, form.X2DigitEdit, form.Y2DigitEdit,
                                       form.TopAmp2DigitEdit, form.DecAmpPercent2DigitEdit, form.SizeParabol2DigitEdit};
  std::vector<int> shown;
  for (TDigitEdit* e : edits) shown.push_back(e->ValueInt());
  EXPECT_EQ(shown, (std::vector<int>{100, 0, 100, 150, 1000, 5, 50, 200, 100, 2000, 5, 40}));
  EXPECT_EQ(form.DecAmpPercent1DigitEdit->MaxVal(), 99);
  EXPECT_FALSE(form.DecAmpPercent1DigitEdit->AvailableDecimal());
  const auto opened = Drain();
  EXPECT_EQ(std::count(opened.begin(), opened.end(), kRunAll), 0) << "no preview when shown while adding";

  // A finished entry: the value as an integer (halves to even) into every set
  // while adding, and a preview.
  form.X1DigitEdit->SetValueReal(32.5L);
  form.X1DigitEdit->OnChangeFinish(form.X1DigitEdit);
  EXPECT_EQ(tool.X1, 32);
  for (const TGenTestParam& p : tool.Param) EXPECT_EQ(p.X1, 32);
  EXPECT_EQ(Drain(), (std::vector<TRecordedMessage>{kRunAll}));
  form.SizeParabol2DigitEdit->SetValueReal(7);
  form.SizeParabol2DigitEdit->OnChangeFinish(form.SizeParabol2DigitEdit);
  EXPECT_EQ(tool.SizeParabol2, 7);
  form.DistanceTRDigitEdit->SetValueReal(-1.25L);
  form.DistanceTRDigitEdit->OnChangeFinish(form.DistanceTRDigitEdit);
  EXPECT_EQ(tool.DistanceRecept, -1.25L);
  EXPECT_EQ(form.CancelBitBtn->Caption(), "Restore");

  // No key handling of its own.
  EXPECT_FALSE(form.KeyPreview());
  EXPECT_FALSE(form.OnKeyDown);
  form.CloseDialog();
}

TEST_F(ImagingFormsTest, AdvancedMigrationDialogOnAWheelProfile) {
  TMigrationAdvTool tool;
  Bind(tool, rmWheel);
  TMigrationAdvParam set{true, 5, 20, 20, 1.5L};
  tool.SetParam(1, &set);
  TMigrationAdvForm& form = Open<TMigrationAdvForm>(tool, false, 1);
  EXPECT_EQ(form.Caption(), "Migration");
  EXPECT_FALSE(form.StaticText->Visible());
  EXPECT_EQ(form.StaticText->Caption(), "This tool applies only to profiles obtained with the measuring wheel");
  EXPECT_EQ(form.DistanceReceptDigitEdit->Caption(), "Antennas offset 1.50 m");
  EXPECT_TRUE(form.ExecCheckBox->Checked());
  EXPECT_GT(host.chartOriginAsked[1], 0) << "beside the dialog's channel's chart";
  // Apply off while editing goes to every set and the chain re-runs.
  form.ExecCheckBox->SetChecked(false);
  for (const TMigrationAdvParam& p : tool.Param) EXPECT_FALSE(p.Apply);
  EXPECT_FALSE(form.StaticText->Visible());
  // A double click rebuilds the diagram.
  tool.Diagram.Wdiag = 0;
  form.OnDblClick(&form);
  EXPECT_EQ(tool.Diagram.Wdiag, 1);
  form.CloseDialog();
}

TEST_F(ImagingFormsTest, MigrationDialogsOnOtherProfilesSwitchApplyOffAndSayWhy) {
  {
    TMigrationAdvTool tool;
    Bind(tool, rmCont);
    TMigrationAdvForm& form = Open<TMigrationAdvForm>(tool, true);
    EXPECT_TRUE(form.StaticText->Visible());
    EXPECT_FALSE(form.ExecCheckBox->Checked());
    EXPECT_FALSE(tool.GetExecuting());
    const auto opened = Drain();
    EXPECT_EQ(std::count(opened.begin(), opened.end(), kRunAll), 0);
    // Ticking Apply stores the sets, then the rule clears the box again.
    form.ExecCheckBox->SetChecked(true);
    EXPECT_TRUE(tool.Param[3].Apply);
    EXPECT_FALSE(form.ExecCheckBox->Checked());
    EXPECT_FALSE(tool.GetExecuting());
    form.CloseDialog();
  }
  views.clear();
  host.views.clear();
  {
    TMigrationTool tool;
    Bind(tool, rmCont);
    TMigrationForm& form = Open<TMigrationForm>(tool, true);
    EXPECT_TRUE(form.StaticText->Visible());
    EXPECT_FALSE(form.ExecCheckBox->Checked());
    form.CloseDialog();
  }
}

TEST_F(ImagingFormsTest, MigrationDialogSitsBesideChannelZeroAndAddingStoresApplyOnly) {
  TMigrationTool tool;
  Bind(tool, rmWheel);
  TMigrationForm& form = Open<TMigrationForm>(tool, true, 2);
  EXPECT_EQ(form.Caption(), "Migration");
  EXPECT_GT(host.chartOriginAsked[0], 0);
  EXPECT_EQ(host.chartOriginAsked[2], 0);
  EXPECT_FALSE(form.StaticText->Visible());
  form.ExecCheckBox->SetChecked(false);
  for (const TMigrationParam& p : tool.Param) EXPECT_FALSE(p.Apply) << "a changed Apply goes to every set";
  form.CloseDialog();
}

}  // namespace imaging_forms_test
