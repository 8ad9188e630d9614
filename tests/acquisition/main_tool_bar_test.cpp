// The main window's tool bar (order, sizes, "Many buttons", pictures that follow
// the command states), the presets popup, the window messages it handles
// itself, Save resting the paint thread, and Save and presets with a radar on a
// pseudo-terminal.

#include "acquisition/main_form.h"
#include "acquisition/main_tool_bar.h"

#include "platform/rtl/paths.h"
#include "platform/ui/adv_popup_menu.h"
#include "platform/ui/application.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/buttons.h"
#include "platform/ui/canvas.h"
#include "platform/ui/dialog_script.h"
#include "platform/ui/image_list.h"
#include "platform/ui/menus.h"
#include "platform/ui/messages.h"
#include "platform/ui/status_bar.h"
#include "platform/ui/tree_view.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "radar/online_paint_thread.h"
#include "radar/packet_codes.h"
#include "radar/radar.h"
#include "radargram/view2d_form.h"
#include "tests/acquisition/main_window_fixture.h"
#include "tests/support/qstring_print.h"
#include "tests/support/radarsim/sim_links.h"
#include "tests/support/ui_test_support.h"
#include "tools/common_tool.h"
#include "tools/list_of_tools.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

namespace main_tool_bar_test {

TColor ShownPixel(const TToolButton& button, int x, int y) {
  TBitmap shown;
  button.GetShownPicture(shown);
  return shown.Empty() ? clNone : shown.Canvas()->Pixels(x, y);
}

TColor ListPixel(const TImageList& list, int index, int x, int y) {
  TBitmap picture;
  return list.GetBitmap(index, picture) ? picture.Canvas()->Pixels(x, y) : clNone;
}

class ToolBar : public TMainWindowTest {
protected:
  TMainToolBar& Bar() { return *MainWindow->ToolBar; }
};

TEST_F(ToolBar, ButtonsStandInTheirOrderAndManyButtonsShowsOpenAndSave) {
  TMainToolBar& bar = Bar();
  // Buttons 71 x 70 from the left, separators 8 wide; the last button hidden.
  struct TPlace {
    TToolButton* button;
    int left;
    int picture;
  };
  const int sep = TToolBar::SeparatorWidth;
  const TPlace places[] = {{bar.CreateButton, 0, ToolPictureCreate},
                           {bar.OpenButton, 71, ToolPictureOpen},
                           {bar.SaveButton, 142, ToolPictureSave},
                           {bar.DirectionButton, 213 + sep, DirectionPictureForward},
                           {bar.GprSettingsButton, 284 + sep, ToolPictureGprSettings},
                           {bar.PresetsButton, 355 + sep, ToolPicturePresets},
                           {bar.RunButton, 426 + 2 * sep, RunPictureStart},
                           {bar.BindingButton, 497 + 3 * sep, ToolPictureBinding}};
  for (const TPlace& p : places) {
    SCOPED_TRACE(p.left);
    EXPECT_TRUE(p.button->Visible());
    EXPECT_EQ(p.button->Left(), p.left);
    EXPECT_EQ(p.button->Width(), 71);
    EXPECT_EQ(p.button->Height(), 70);
    EXPECT_EQ(p.button->ImageIndex(), p.picture);
  }
  EXPECT_EQ(bar.RunButton->Style(), tbsCheck);
  EXPECT_FALSE(bar.SaveToVandrelButton->Visible());
  EXPECT_EQ(bar.SaveToVandrelButton->Hint(), QStringLiteral("Save To Vandrel"));
  EXPECT_EQ(bar.Images->Width(), 64);
  EXPECT_EQ(bar.GreyImages->Count(), bar.Images->Count());

  // The toggle sits after General Preferences and is checked by default.
  TMenuItem* toggle = MainWindow->ToolBarSizeMenuItem;
  ASSERT_EQ(toggle->Parent(), MainWindow->PreferencesMenu);
  EXPECT_EQ(toggle->MenuIndex(), MainWindow->GeneralPreferencesMenuItem->MenuIndex() + 1);
  EXPECT_TRUE(toggle->Checked());
  EXPECT_EQ(toggle->Caption(), QStringLiteral("Standard button panel"));
  toggle->Click();
  EXPECT_FALSE(MainWindow->Settings.BitToolbar);
  EXPECT_EQ(toggle->Caption(), QStringLiteral("Enlarged button panel"));
  EXPECT_FALSE(bar.OpenButton->Visible());
  EXPECT_FALSE(bar.SaveButton->Visible());
  EXPECT_EQ(bar.DirectionButton->Left(), 71 + sep) << "the buttons after them move up";
  EXPECT_EQ(bar.DirectionButton->Width(), 71);

  // Kept in the settings file and read at the next start.
  MainWindow->Free();
  CreateMainWindow();
  ASSERT_NE(MainWindow, nullptr);
  EXPECT_FALSE(MainWindow->ToolBarSizeMenuItem->Checked());
  EXPECT_FALSE(Bar().OpenButton->Visible());
  MainWindow->ToolBarSizeMenuItem->Click();
  EXPECT_TRUE(Bar().OpenButton->Visible());
  EXPECT_EQ(Bar().DirectionButton->Left(), 213 + sep);
}

TEST_F(ToolBar, ButtonsShowTheCommandStatesWithTheGreyPicturesWhileDisabled) {
  TMainToolBar& bar = Bar();
  // A pixel of the floppy's body, and one of the arrow heads.
  const int bx = 12, by = 40;
  const TColor normalSave = ListPixel(*bar.Images, ToolPictureSave, bx, by);
  const TColor greySave = ListPixel(*bar.GreyImages, ToolPictureSave, bx, by);
  ASSERT_NE(normalSave, greySave);

  // No window: nothing to save.
  MainWindow->Updatemenu();
  EXPECT_FALSE(bar.SaveButton->Enabled());
  EXPECT_EQ(ShownPixel(*bar.SaveButton, bx, by), greySave);
  EXPECT_FALSE(bar.DirectionButton->Enabled());
  EXPECT_FALSE(bar.RunButton->Enabled()) << "no radar";

  // A recording window: Save and Direction may run.
  TView2DForm* window = Recording(0);
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(bar.SaveButton->Enabled());
  EXPECT_EQ(ShownPixel(*bar.SaveButton, bx, by), normalSave);
  ASSERT_TRUE(bar.DirectionButton->Enabled());
  EXPECT_EQ(bar.DirectionButton->ImageIndex(), DirectionPictureForward);
  // (44, 20) lies in the forward arrow's head, (20, 20) in the backward one's.
  const TColor head = ListPixel(*bar.Images, DirectionPictureForward, 44, 20);
  EXPECT_EQ(ShownPixel(*bar.DirectionButton, 44, 20), head);
  bar.DirectionButton->Click();
  EXPECT_EQ(window->GetView2DByIndx(0)->Settings()->GetDirection(), back);
  EXPECT_EQ(bar.DirectionButton->ImageIndex(), DirectionPictureBackward);
  EXPECT_EQ(bar.DirectionButton->Hint(), QStringLiteral("Backward"));
  EXPECT_NE(ShownPixel(*bar.DirectionButton, 44, 20), head) << "the head points the other way";
  EXPECT_EQ(ShownPixel(*bar.DirectionButton, 20, 20), ListPixel(*bar.Images, DirectionPictureBackward, 20, 20));

  // A tool dialog holds back the radar's commands.
  MainWindow->SetToolDialogActionsEnabled(false);
  EXPECT_FALSE(bar.GprSettingsButton->Enabled());
  EXPECT_FALSE(bar.PresetsButton->Enabled());
  EXPECT_FALSE(bar.BindingButton->Enabled());
  MainWindow->SetToolDialogActionsEnabled(true);

  // Simple mode hides Direction, GPR settings and Binding; the rest move up.
  MainWindow->Settings.SimpleMode = true;
  MainWindow->Updatemenu();
  EXPECT_FALSE(bar.DirectionButton->Visible());
  EXPECT_FALSE(bar.GprSettingsButton->Visible());
  EXPECT_FALSE(bar.BindingButton->Visible());
  EXPECT_TRUE(bar.PresetsButton->Visible());
  EXPECT_EQ(bar.PresetsButton->Left(), 213 + TToolBar::SeparatorWidth);
  MainWindow->Settings.SimpleMode = false;
  MainWindow->Updatemenu();
  EXPECT_TRUE(bar.DirectionButton->Visible());

  // A profile with traces keeps its direction.
  window->Free();
  window = Recording(2);
  MainWindow->Updatemenu();
  EXPECT_TRUE(bar.SaveButton->Enabled());
  EXPECT_FALSE(bar.DirectionButton->Enabled());
}

TEST_F(ToolBar, TheRadarAndPresetPicturesReplaceTheirPlacesInBothLists) {
  TMainToolBar& bar = Bar();
  struct TCase {
    int index;
    const char* name;
  };
  for (const TCase& c : {TCase{ToolPictureGprSettings, "RADAR_QEL"}, TCase{ToolPicturePresets, "PRESET_QEL"}}) {
    SCOPED_TRACE(c.name);
    TBitmap normal, grey;
    ASSERT_TRUE(LoadToolBitmapResource(QString::fromLatin1(c.name), normal));
    ASSERT_TRUE(LoadToolBitmapResource(QString::fromLatin1(c.name) + QStringLiteral("_GRAY"), grey));
    TBitmap shown, shownGrey, plain;
    ASSERT_TRUE(bar.Images->GetBitmap(c.index, shown));
    ASSERT_TRUE(bar.GreyImages->GetBitmap(c.index, shownGrey));
    DrawToolPicture(c.index, plain);
    int differing = 0;
    for (int y = 0; y < ToolPictureSize; ++y)
      for (int x = 0; x < ToolPictureSize; ++x) {
        const TColor n = normal.Canvas()->Pixels(x, y);
        // Silver is the face of the button: transparent (black in the list's bitmap).
        const TColor expected = n == ToolPictureMask ? clBlack : n;
        ASSERT_EQ(shown.Canvas()->Pixels(x, y), expected) << x << "," << y;
        const TColor g = grey.Canvas()->Pixels(x, y);
        ASSERT_EQ(shownGrey.Canvas()->Pixels(x, y), g == ToolPictureMask ? clBlack : g) << x << "," << y;
        if (plain.Canvas()->Pixels(x, y) != n) ++differing;
      }
    EXPECT_GT(differing, 100) << "the resource is not the form's own picture";
  }
  TBitmap unknown;
  EXPECT_FALSE(LoadToolBitmapResource(QStringLiteral("NOTHING"), unknown));
}

TEST_F(ToolBar, ThePresetsMenuOpensAtItsButton) {
  TMainToolBar& bar = Bar();
  MainWindow->ActionPresetsExecute();
  TAdvPopupMenu* menu = MainWindow->PresetsPopupMenu;
  ASSERT_NE(menu, nullptr);
  const TPoint expected = bar.PresetsButton->ClientToScreen({20, 20});
  EXPECT_EQ(menu->PopupPoint().X, expected.X);
  EXPECT_EQ(menu->PopupPoint().Y, expected.Y);
  EXPECT_EQ(menu->PopupComponent(), bar.PresetsButton);
  EXPECT_EQ(menu->Items()->Count(), 0) << "no radar, no presets";
}

TEST_F(ToolBar, TheStatusBarsItemIsDrawnEvenWhenTakenForAMenusItem) {
  std::vector<int> drawn;
  auto own = MainWindow->StatusBar->OnDrawPanel;
  MainWindow->StatusBar->OnDrawPanel = [&](TStatusBar& bar, int index, const TRect& rect) {
    drawn.push_back(index);
    own(bar, index, rect);
  };
  TDrawItemStruct item;
  item.CtlType = ODT_MENU;
  item.hwndItem = MainWindow->StatusBar->Handle();
  item.itemID = 2;
  item.rcItem = MainWindow->StatusBar->PanelRect(2);
  MainWindow->Perform(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item));
  EXPECT_EQ(drawn, (std::vector<int>{2}));
  EXPECT_EQ(item.CtlType, ODT_STATIC);
  // Another control's menu item stays one.
  TDrawItemStruct other = item;
  other.CtlType = ODT_MENU;
  other.hwndItem = Bar().Bar->Handle();
  MainWindow->Perform(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&other));
  EXPECT_EQ(other.CtlType, ODT_MENU);
  EXPECT_EQ(drawn.size(), 1u);
}

TEST_F(ToolBar, AWindowIsDestroyedOnlyWhileNoLayoutChangeHoldsIt) {
  TView2DForm* window = Recording(0);
  ASSERT_NE(window, nullptr);
  const auto handle = reinterpret_cast<WPARAM>(window->Handle());
  MainWindow->SetStartResize(true);
  MainWindow->Perform(WM_MDIDESTROY, handle, 0);
  Application->ProcessMessages();
  ASSERT_EQ(MainWindow->RadargramWindows().size(), 1u);
  MainWindow->SetStartResize(false);
  MainWindow->Perform(WM_MDIDESTROY, handle, 0);
  EXPECT_TRUE(ServeUntil([] { return MainWindow->RadargramWindows().empty(); }));
}

TEST_F(ToolBar, ARefusedCloseAsksKnowingTheProgramClosesAndLeavesItWorking) {
  TView2DForm* window = Recording(3);
  ASSERT_NE(window, nullptr);
  // The save question finds no answer: it is read while the close runs and
  // answered as cancelled.
  std::vector<bool> closingWhenAsked;
  TDialogScript::SetUnexpectedHandler([&](const QString&) { closingWhenAsked.push_back(MainWindow->isClosedMain()); });
  MainWindow->Perform(WM_CLOSE, 0, 0);
  InstallFailingDialogHandler();
  EXPECT_EQ(closingWhenAsked, (std::vector<bool>{true}));
  EXPECT_FALSE(MainWindow->isClosedMain());
  EXPECT_EQ(MainWindow->RadargramWindows().size(), 1u);
}

TEST_F(ToolBar, SaveRestsThePaintThreadWhileItWritesAndAfterwards) {
  TView2DForm* window = Recording(3);
  ASSERT_NE(window, nullptr);
  TOnlinePaintThread* painter = window->OnlinePaintThread.get();
  ASSERT_NE(painter, nullptr);
  painter->SleepTm = 20;
  painter->Resume();
  ASSERT_TRUE(window->GetView2DByIndx(0)->Settings()->NewFile);
  // Cancelled: the Save As dialog ran with the thread resting; it runs on after.
  std::vector<bool> restingInDialog;
  TDialogScript::SetUnexpectedHandler([&](const QString&) { restingInDialog.push_back(painter->Suspended()); });
  EXPECT_FALSE(MainWindow->SaveActionExecute(MainWindow));
  InstallFailingDialogHandler();
  EXPECT_EQ(restingInDialog, (std::vector<bool>{true}));
  EXPECT_FALSE(painter->Suspended());
  // Saved: it rests from then on.
  TDialogScript::QueueFiles({{}, std::vector<QString>{data + QStringLiteral("rest.dezo")}});
  EXPECT_TRUE(MainWindow->SaveActionExecute(MainWindow));
  EXPECT_TRUE(painter->Suspended());
}

// ---- With a radar on a pseudo-terminal --------------------------------------------------

class RadarOnPty : public TMainWindowTest {
protected:
  void SetUp() override {
    sim = std::make_unique<radarsim::TPtyRadarSim>(config);
    ASSERT_TRUE(sim->Ok());
    tree.AddUsbSerial(1, QStringLiteral("ttyACM0"), 0xc251, 0x9705, QStringLiteral("Radar"),
                      QString::fromStdString(sim->SlavePath()));
    TMainWindowTest::SetUp();
    ASSERT_TRUE(ServeUntil([] { return MainWindow->CurrentRadar() && MainWindow->CurrentRadar()->ready; }));
  }
  void TearDown() override {
    TMainWindowTest::TearDown();
    sim.reset();
  }
  // Saves a recording window with traces in place and waits until the radar has
  // heard a ping sent after it: what it got from the save is in by then.
  size_t WheelStopsOnSave() {
    TView2DForm* window = Recording(3);
    if (!window) return 0;
    window->GetView2DByIndx(0)->Settings()->NewFile = false;
    const size_t before = sim->Engine().CountReceived(bcpWheelRotate_Stop);
    const size_t pings = sim->Engine().CountReceived(bcpPing2);
    EXPECT_TRUE(MainWindow->SaveActionExecute(MainWindow));
    MainWindow->CurrentRadar()->SendCommand(bcpPing2, 0, nullptr);
    EXPECT_TRUE(ServeUntil([&] { return sim->Engine().CountReceived(bcpPing2) > pings; }));
    return sim->Engine().CountReceived(bcpWheelRotate_Stop) - before;
  }

  radarsim::TSimConfig config;
  std::unique_ptr<radarsim::TPtyRadarSim> sim;
};

TEST_F(RadarOnPty, SaveStopsTheWheelOfARadarInCursorMode) {
  TRadar* radar = MainWindow->CurrentRadar();
  ASSERT_GE(radar->FirmwareVer(), 5);
  radar->SetCurMode(cmCursor);
  EXPECT_EQ(WheelStopsOnSave(), 1u);
  radar->SetCurMode(cmStop);
  EXPECT_EQ(WheelStopsOnSave(), 0u) << "not in cursor mode";
}

class OldFirmwareRadar : public RadarOnPty {
protected:
  void SetUp() override {
    config.Firmware = 4;
    RadarOnPty::SetUp();
  }
};

TEST_F(OldFirmwareRadar, SaveLeavesTheWheelOfAnOlderRadarAlone) {
  TRadar* radar = MainWindow->CurrentRadar();
  ASSERT_EQ(radar->FirmwareVer(), 4);
  radar->SetCurMode(cmCursor);
  EXPECT_EQ(WheelStopsOnSave(), 0u);
}

TEST_F(RadarOnPty, APresetOfTheRadarsTypeIsListedDrawnAndLoaded) {
  const QString folder = program.path() + QStringLiteral("/setofpresets/");
  ASSERT_TRUE(QDir().mkpath(folder));
  const QString type = MainWindow->GetRadarTypeStrForPresets();
  ASSERT_EQ(type.size(), 16);
  const QString base = folder + type + QStringLiteral("Sand");

  // The preset: a settings container with its own stacking and a tool set of one tool.
  TView2DForm* source = Recording(0);
  ASSERT_NE(source, nullptr);
  source->GetView2DByIndx(0)->Settings()->SetStacking(7);
  std::array<T2Dview*, 5> views{};
  for (int c = 0; c < 5; ++c) views[static_cast<size_t>(c)] = source->GetView2DByIndx(c);
  source->AppendToolNode(MainWindow->ListOfTools->GetTool(QStringLiteral("Abs"), views));
  ASSERT_TRUE(source->SaveBSTT(base + QStringLiteral(".bstt")));
  ASSERT_TRUE(source->SaveToolsFRN(base + QStringLiteral(".bstcl")));
  // The next window takes this one's place without a question.
  source->ClearSetOfTools();
  source->GetView2DByIndx(0)->Settings()->SetNeedForSave(false);
  source->GetView2DByIndx(0)->SetNeedForSave(false);
  // Another radar type's preset is not offered.
  QFile other(folder + QStringLiteral("Other 9999").leftJustified(16, u' ') + QStringLiteral("Clay.bstt"));
  ASSERT_TRUE(other.open(QIODevice::WriteOnly));
  other.close();

  TView2DForm* window = Recording(0);
  ASSERT_NE(window, nullptr);
  T2Dview* first = window->GetView2DByIndx(0);
  first->Settings()->SetStacking(2);
  first->Settings()->NewFile = false;
  const QString fileName = first->Settings()->GetFileName();
  window->ClearSetOfTools();

  MainWindow->ActionPresetsExecute();
  TAdvPopupMenu* menu = MainWindow->PresetsPopupMenu;
  ASSERT_EQ(menu->Items()->Count(), 1);
  TMenuItem* item = menu->Items()->Items(0);
  EXPECT_EQ(item->Caption(), QStringLiteral("Sand"));
  // Drawn by the menu itself: the caption after three blanks, in its large font.
  EXPECT_EQ(TAdvPopupMenu::DrawnText(item), QStringLiteral("   Sand"));
  TBitmap row;
  row.SetSize(200, 30);
  row.Canvas()->Brush()->SetColor(clWhite);
  row.Canvas()->FillRect(Rect(0, 0, 200, 30));
  menu->AdvancedDrawItem(item, *row.Canvas(), Rect(0, 0, 200, 30), {});
  int inked = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 200; ++x) inked += row.Canvas()->Pixels(x, y) != clWhite;
  EXPECT_GT(inked, 20);

  item->Click();
  EXPECT_EQ(first->Settings()->GetStacking(), 7);
  EXPECT_EQ(window->ToolsTreeView->Items()->TopCount(), 1);
  EXPECT_TRUE(first->Settings()->NewFile) << "the next save names the file";
  EXPECT_FALSE(first->Settings()->GetWasOpen());
  EXPECT_EQ(first->Settings()->GetFileName(), fileName);
}

}  // namespace main_tool_bar_test
