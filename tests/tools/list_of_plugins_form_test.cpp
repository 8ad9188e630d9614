// The List of Tools dialog: the tools built so far on their pages with their
// icons, the description of a selection, OK on a double click, the caption the
// window creates the tool by.

#include "platform/ui/bitmap.h"
#include "platform/ui/buttons.h"
#include "platform/ui/canvas.h"
#include "platform/ui/dialog_script.h"
#include "platform/ui/image_list.h"
#include "platform/ui/list_box.h"
#include "platform/ui/page_control.h"
#include "platform/ui/std_controls.h"
#include "tests/support/ui_test_support.h"
#include "tests/tools/tool_test_support.h"
#include "tools/abs_tool.h"
#include "tools/list_of_plugins_form.h"
#include "tools/list_of_tools.h"
#include "tools/tool_classes.h"
#include "tools/tool_shell.h"

#include <gtest/gtest.h>

#include <memory>

namespace list_of_plugins_form_test {

// An advanced tool standing in for the migration, whose class the imaging
// library above this one adds to the class table at start-up.
class TConverterTool : public TAbsTool {
public:
  explicit TConverterTool(uint16_t w) : TAbsTool(w) { typeOfPlugin = advanced; }
};

class ListOfPluginsFormTest : public ::testing::Test {
protected:
  TListOfTools tools{nullptr};
  TListOfPluginsForm* form = nullptr;

  void SetUp() override {
    RegisterToolClass(QStringLiteral("MigrationAdv"), [](uint16_t w) -> std::unique_ptr<TCommonTool> {
      return std::make_unique<TConverterTool>(w);
    });
    tools.Initialise(QString(), true, 1033);
    form = TComponent::Create<TListOfPluginsForm>(Application, tools);
  }
  void TearDown() override {
    form->Free();
    UnregisterToolClass(QStringLiteral("MigrationAdv"));
  }
};

TEST_F(ListOfPluginsFormTest, ListsTheToolsBuiltSoFarOnTheirPages) {
  EXPECT_EQ(form->Caption(), "List of Tools");
  EXPECT_EQ(form->ClientWidth(), 453);
  EXPECT_EQ(form->ClientHeight(), 492);
  EXPECT_EQ(form->PageControl1->Pages(0)->Caption(), "Tools");
  EXPECT_EQ(form->PageControl1->Pages(1)->Caption(), "Converters");
  EXPECT_EQ(form->PluginsListBox->Items(),
            (QStringList{"Rectifier=0", "Band Pass Filter=1", "Blur=2", "Nonlinear Amplifier=3",
                         "Three-Point Correlator=4", "Comparator=5", "LPF/HPF=6", "Normalization=9", "Gain=10",
                         "Wavelet Filter=11", "Windowed Background Removal=12", "Median filter=14"}));
  EXPECT_EQ(form->AdvancedPluginsListBox->Items(), (QStringList{"Hilbert Filter=7", "Migration=8", "DQ Filter=13"}));
  EXPECT_EQ(form->ImageList->Count(), 12);
  EXPECT_EQ(form->ImageList1->Count(), 3);
  EXPECT_EQ(form->PluginsListBox->ItemHeight(), 25);
  EXPECT_EQ(form->PluginsListBox->Style(), lbOwnerDrawFixed);
  EXPECT_FALSE(form->OKBitBtn->Enabled()) << "nothing selected yet";
  EXPECT_EQ(form->SelectedToolCaption(), QString());
}

TEST_F(ListOfPluginsFormTest, ItemsShowTheToolsIconAndCaption) {
  TListBox& list = *form->PluginsListBox;
  TCanvas& canvas = *list.Canvas();
  form->Show();
  const TRect r = list.ItemRect(0);
  ASSERT_TRUE(ProcessMessagesUntil([&] { return r.Height() == 25 && canvas.Pixels(r.Left + 100, r.Top + 24) != -1; }))
      << "the list drew its item";
  TAbsTool rectifier;
  int same = 0;
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 24; ++x)
      same += canvas.Pixels(r.Left + 2 + x, r.Top + y) == rectifier.BmpIcon1->Canvas()->Pixels(x, y);
  EXPECT_EQ(same, 24 * 24) << "the icon at (left + 2, top)";
  const TColor background = canvas.Pixels(r.Left + 200, r.Top + 2);
  int text = 0;
  for (int y = r.Top + 6; y < r.Top + 20; ++y)
    for (int x = r.Left + 32; x < r.Left + 100; ++x) text += canvas.Pixels(x, y) != background;
  EXPECT_GT(text, 20) << "the caption at (left + 32, top + 6)";
}

TEST_F(ListOfPluginsFormTest, ASelectionShowsItsDescriptionAndADoubleClickIsOk) {
  TDialogScript::QueueModal([](TForm& shown) {
    auto& dialog = dynamic_cast<TListOfPluginsForm&>(shown);
    dialog.PluginsListBox->SetItemIndex(0);
    dialog.PluginsListBox->Click();  // the user's selection
    EXPECT_EQ(dialog.DscrLabel->Caption(),
              "1D Filter. Full-wave rectifier inverts negative half-wave of the signal to positive one");
    EXPECT_TRUE(dialog.OKBitBtn->Enabled());
    dialog.PluginsListBox->DblClick();
  });
  EXPECT_EQ(form->ShowModal(), mrOk);
  EXPECT_EQ(form->SelectedToolCaption(), "Rectifier");
  EXPECT_NE(tools.GetTool(form->SelectedToolCaption(), {}), nullptr);

  // The other page's selection, by the page shown.
  form->PageControl1->SetActivePageIndex(1);
  EXPECT_EQ(form->SelectedToolCaption(), QString());
  form->AdvancedPluginsListBox->SetItemIndex(1);
  form->AdvancedPluginsListBox->Click();
  EXPECT_EQ(form->DscrLabel->Caption(), "2D Filter. Migration - restoration of the location and shape of local objects");
  EXPECT_EQ(form->SelectedToolCaption(), "Migration");
  EXPECT_NE(dynamic_cast<TConverterTool*>(tools.GetTool(QStringLiteral("Migration"), {}).get()), nullptr);
}

class TWindowShell : public IToolShell {
public:
  std::array<T2Dview*, 5> views{};
  int32_t Language() const override { return 1033; }
  std::array<T2Dview*, 5> CurrentViews() const override { return views; }
};

// Building the lists creates every tool with the current window's views: none
// of them may copy or allocate a channel for it.
TEST_F(ListOfPluginsFormTest, BuildingTheListsCopiesNoChannel) {
  auto big = MakeChannel(2000, 512);
  TWindowShell shell;
  shell.views = {big.get(), big.get(), nullptr, nullptr, nullptr};
  SetToolShell(&shell);
  const int64_t before = TSavedCopyStore::Instance().UsedBytes();
  TListOfPluginsForm* other = TComponent::Create<TListOfPluginsForm>(Application, tools);
  SetToolShell(nullptr);
  EXPECT_EQ(TSavedCopyStore::Instance().UsedBytes(), before);
  EXPECT_EQ(other->PluginsListBox->Count(), 12);
  other->Free();
}

}  // namespace list_of_plugins_form_test
