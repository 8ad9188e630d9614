// Menus: items and their state, radio groups, shortcuts, pictures, pop-ups and
// the MDI child's menu merged into the frame's bar.

#include "platform/ui/application.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/forms.h"
#include "platform/ui/image_list.h"
#include "platform/ui/keys.h"
#include "platform/ui/menus.h"
#include "platform/ui/panels.h"
#include "tests/support/ui_test_support.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QMdiArea>
#include <QMenuBar>

#include <string>
#include <vector>

namespace {

TMenuItem* NewItem(TComponent* owner, TMenuItem* parent, const QString& caption, uint8_t group = 0) {
  auto* item = new TMenuItem(owner);
  item->SetCaption(caption);
  item->SetGroupIndex(group);
  parent->Add(item);
  return item;
}

std::vector<QString> Captions(const std::vector<TMenuItem*>& items) {
  std::vector<QString> captions;
  for (TMenuItem* item : items) captions.push_back(item->Caption());
  return captions;
}

TEST(UiMenus, ItemsCheckAsRadioGroupsAndRunTheirClicks) {
  TComponent owner(nullptr);
  TPopupMenu popup(&owner);
  TMenuItem* axis = NewItem(&owner, popup.Items(), "Axis");
  std::vector<TMenuItem*> modes;
  std::vector<std::string> clicks;
  for (const char* caption : {"Distance", "Traces", "GPS data"}) {
    TMenuItem* item = NewItem(&owner, axis, caption, 1);
    item->SetRadioItem(true);
    item->OnClick = [&clicks, item](TObject* sender) {
      EXPECT_EQ(sender, item);
      clicks.push_back(item->Caption().toStdString());
      item->SetChecked(true);
    };
    modes.push_back(item);
  }
  TMenuItem* line = NewItem(&owner, popup.Items(), "-");
  TMenuItem* apply = NewItem(&owner, popup.Items(), "Apply");
  apply->SetAutoCheck(true);

  ASSERT_NE(axis->SubMenu(), nullptr);
  EXPECT_EQ(axis->SubMenu()->actions().size(), 3);
  EXPECT_TRUE(line->Action()->isSeparator());
  EXPECT_EQ(modes[2]->MenuIndex(), 2);

  modes[1]->SetChecked(true);
  modes[0]->Action()->trigger();  // as the user chooses it
  EXPECT_EQ(clicks, (std::vector<std::string>{"Distance"}));
  EXPECT_TRUE(modes[0]->Checked());
  EXPECT_FALSE(modes[1]->Checked());
  EXPECT_TRUE(modes[0]->Action()->isChecked());
  EXPECT_FALSE(modes[1]->Action()->isChecked());

  // A plain item does not check itself; an AutoCheck one flips on each click.
  TMenuItem* plain = NewItem(&owner, popup.Items(), "Remove");
  plain->Action()->trigger();
  EXPECT_FALSE(plain->Checked());
  EXPECT_FALSE(plain->Action()->isChecked());
  apply->Click();
  EXPECT_TRUE(apply->Checked());
  apply->Action()->trigger();
  EXPECT_FALSE(apply->Checked());

  modes[2]->SetEnabled(false);
  modes[1]->SetVisible(false);
  EXPECT_FALSE(modes[2]->Action()->isEnabled());
  EXPECT_FALSE(modes[1]->Action()->isVisible());

  // A sub-item freed leaves its menu; Delete only takes it out.
  modes[2]->Free();
  EXPECT_EQ(axis->Count(), 2);
  EXPECT_EQ(axis->SubMenu()->actions().size(), 2);
  axis->Delete(0);
  EXPECT_EQ(modes[0]->Parent(), nullptr);
  EXPECT_EQ(axis->Count(), 1);
  modes[0]->Free();
}

TEST(UiMenus, ShortcutsPicturesAndPopupPoint) {
  TComponent owner(nullptr);
  TPopupMenu popup(&owner);
  auto* images = new TImageList(&owner);
  images->SetSize(4, 4);
  TBitmap strip;
  strip.SetSize(8, 4);
  strip.Canvas()->Brush()->SetColor(clRed);
  strip.Canvas()->FillRect(Rect(4, 0, 8, 4));
  images->Add(strip);
  popup.SetImages(images);

  TMenuItem* remove = NewItem(&owner, popup.Items(), "Remove");
  remove->SetShortCut(ShortCut(VK_DELETE, {}));
  TMenuItem* save = NewItem(&owner, popup.Items(), "Save Set");
  save->SetShortCut(ShortCut('S', TShiftState{ssCtrl}));
  save->SetImageIndex(1);
  EXPECT_EQ(ShortCutToText(save->ShortCut()), "Ctrl+S");
  EXPECT_EQ(remove->Action()->shortcut(), QKeySequence(Qt::Key_Delete));
  EXPECT_EQ(popup.FindItemByShortCut(ShortCut('S', TShiftState{ssCtrl})), save);
  EXPECT_EQ(popup.FindItemByShortCut(ShortCut('S', {})), nullptr);
  save->SetEnabled(false);
  EXPECT_EQ(popup.FindItemByShortCut(ShortCut('S', TShiftState{ssCtrl})), nullptr);

  EXPECT_EQ(save->Action()->icon().pixmap(4, 4).toImage().pixel(1, 1), QColor(255, 0, 0).rgba());
  EXPECT_TRUE(remove->Action()->icon().isNull());
  images->Free();
  EXPECT_TRUE(save->Action()->icon().isNull());

  std::vector<bool> popupSawApplyChecked;
  TMenuItem* apply = NewItem(&owner, popup.Items(), "Apply");
  popup.OnPopup = [&](TObject*) {
    apply->SetChecked(true);
    popupSawApplyChecked.push_back(true);
  };
  popup.Popup(120, 80);
  EXPECT_EQ(popupSawApplyChecked.size(), 1u);
  EXPECT_EQ(popup.PopupPoint(), (TPoint{120, 80}));
  EXPECT_TRUE(popup.Menu()->isVisible());
  EXPECT_TRUE(apply->Action()->isChecked());
  popup.Menu()->close();
}

TEST(UiMainMenu, ABarAboveTheAlignedControlsAndTheChildMenuMergedWhileActive) {
  TMdiFrameForm* frame = nullptr;
  Application->CreateForm(frame);
  frame->SetBounds(0, 0, 600, 400);
  frame->Show();
  auto* menu = new TMainMenu(frame);
  NewItem(frame, menu->Items(), "File", 0);
  NewItem(frame, menu->Items(), "Window", 9);
  frame->SetMenu(menu);
  EXPECT_EQ(frame->Menu(), menu);
  EXPECT_TRUE(frame->Widget()->isAncestorOf(menu->Bar()));
  const int barHeight = menu->Bar()->height();
  EXPECT_GT(barHeight, 0);
  EXPECT_EQ(frame->MdiArea()->geometry().top(), barHeight);

  TMdiChildForm* child = nullptr;
  Application->CreateForm(child);
  auto* childMenu = new TMainMenu(child);
  NewItem(child, childMenu->Items(), "Profile", 1);
  NewItem(child, childMenu->Items(), "View", 2);
  child->SetMenu(childMenu);
  EXPECT_EQ(Captions(menu->BarItems()), (std::vector<QString>{"File", "Profile", "View", "Window"}));
  EXPECT_EQ(menu->Bar()->actions().size(), 4);
  EXPECT_EQ(menu->Bar()->actions()[1], childMenu->Items()->Items(0)->Action());

  // A second child without menu becomes active: the frame's own bar returns.
  TMdiChildForm* plain = nullptr;
  Application->CreateForm(plain);
  EXPECT_EQ(frame->ActiveMDIChild(), plain);
  EXPECT_EQ(Captions(menu->BarItems()), (std::vector<QString>{"File", "Window"}));
  child->Show();
  EXPECT_EQ(frame->ActiveMDIChild(), child);
  EXPECT_EQ(Captions(menu->BarItems()), (std::vector<QString>{"File", "Profile", "View", "Window"}));
  // An item of the same group replaces the frame's.
  childMenu->Items()->Items(1)->SetGroupIndex(9);
  EXPECT_EQ(Captions(menu->BarItems()), (std::vector<QString>{"File", "Profile", "View"}));

  child->Free();
  EXPECT_EQ(Captions(menu->BarItems()), (std::vector<QString>{"File", "Window"}));
  EXPECT_EQ(menu->Bar()->actions().size(), 2);
  frame->Free();
}

TEST(UiMainMenu, AlignedControlsOfANormalFormSitBelowTheBar) {
  auto* form = TComponent::Create<TForm>(nullptr);
  form->SetBounds(0, 0, 300, 200);
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  panel->SetAlign(alClient);
  EXPECT_EQ(panel->Top(), 0);
  auto* menu = new TMainMenu(form);
  NewItem(form, menu->Items(), "Profile");
  form->SetMenu(menu);
  form->Show();
  EXPECT_EQ(panel->Top(), menu->Bar()->height());
  EXPECT_EQ(panel->Top() + panel->Height(), form->ClientHeight());
  // The menu freed first: the form has none and uses the whole client area.
  menu->Free();
  EXPECT_EQ(form->Menu(), nullptr);
  form->SetBounds(0, 0, 300, 220);
  EXPECT_EQ(panel->Top(), 0);
  form->Free();
}

}  // namespace
