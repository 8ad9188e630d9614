// Combo box: fixed items, the selection set by the program (no event) and picked
// by the user with the keyboard (OnChange).

#include "platform/ui/combo_box.h"
#include "platform/ui/forms.h"
#include "tests/support/ui_test_support.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>

namespace ui_combo_box_test {

TEST(UiComboBox, ProgramSelectionIsSilentAndTheUsersPickRunsOnChange) {
  TForm* form = TComponent::Create<TForm>(nullptr);
  auto* box = new TComboBox(form);
  box->SetParent(form);
  box->SetBounds(8, 8, 100, 21);
  int changes = 0;
  box->OnChange = [&](TObject*) { ++changes; };
  box->SetItems({"1", "3", "5"});
  EXPECT_EQ(box->Count(), 3);
  EXPECT_EQ(box->ItemIndex(), -1);
  EXPECT_EQ(box->Text(), QString());
  box->SetItemIndex(1);
  EXPECT_EQ(box->Text(), "3");
  box->SetItemIndex(7);
  EXPECT_EQ(box->ItemIndex(), -1) << "outside the items: none";
  EXPECT_EQ(changes, 0);

  box->SetItemIndex(0);
  form->Show();
  QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
  QApplication::sendEvent(box->Widget(), &down);
  EXPECT_EQ(box->ItemIndex(), 1);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(box->Items(), (QStringList{"1", "3", "5"}));
  form->Free();
}

}  // namespace ui_combo_box_test
