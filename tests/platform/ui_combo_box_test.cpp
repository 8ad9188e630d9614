// Combo box: items, the text of the edit line, OnChange only for the user's pick,
// and Enter in the edit line reaching the control's key event.

#include "platform/ui/combo_box.h"
#include "platform/ui/forms.h"
#include "platform/ui/keys.h"
#include "tests/platform/ui_input.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>

#include <vector>

namespace ui_combo_box_test {

class UiComboBox : public TShownFormTest {
protected:
  void SetUp() override {
    TShownFormTest::SetUp();
    box = new TComboBox(form);
    box->SetParent(form);
    box->SetBounds(10, 10, 120, 24);
    box->SetItems({QStringLiteral("Fit Height"), QStringLiteral("400"), QStringLiteral("25")});
    box->OnChange = [this](TObject*) { changes.push_back(box->Text()); };
  }
  QComboBox* QBox() const { return static_cast<QComboBox*>(box->Widget()); }
  TComboBox* box = nullptr;
  std::vector<QString> changes;
};

TEST_F(UiComboBox, ProgramChangesRunNothingAndTheTextFollows) {
  box->SetItemIndex(2);
  EXPECT_EQ(box->Text(), QStringLiteral("25"));
  EXPECT_EQ(box->ItemIndex(), 2);
  box->SetText(QStringLiteral("123"));
  EXPECT_EQ(box->Text(), QStringLiteral("123"));
  EXPECT_EQ(box->ItemIndex(), -1);
  box->SetText(QStringLiteral("400"));
  EXPECT_EQ(box->ItemIndex(), 1);
  box->SetItemIndex(7);
  EXPECT_EQ(box->Text(), QString());
  EXPECT_EQ(box->Count(), 3);
  EXPECT_TRUE(changes.empty());
}

TEST_F(UiComboBox, TheUsersPickRunsOnChangeWithTheItemsText) {
  QBox()->setCurrentIndex(1);
  emit QBox()->activated(1);
  EXPECT_EQ(changes, (std::vector<QString>{QStringLiteral("400")}));
}

TEST_F(UiComboBox, EnterInTheEditLineReachesOnKeyDownWithTheTypedText) {
  std::vector<QString> entered;
  box->OnKeyDown = [&](TObject*, WORD& key, TShiftState) {
    if (key == VK_RETURN) entered.push_back(box->Text());
  };
  box->SetText(QString());
  QLineEdit* line = QBox()->lineEdit();
  ui_input::Key(line, Qt::Key_3, QStringLiteral("3"));
  ui_input::Key(line, Qt::Key_3, QStringLiteral("3"));
  ui_input::Key(line, Qt::Key_Return, QStringLiteral("\r"));
  EXPECT_EQ(entered, (std::vector<QString>{QStringLiteral("33")}));
  EXPECT_TRUE(changes.empty());
}

TEST_F(UiComboBox, ADropDownListOnlyPicks) {
  box->SetStyle(csDropDownList);
  box->SetText(QStringLiteral("400"));
  EXPECT_EQ(box->ItemIndex(), 1);
  box->SetText(QStringLiteral("nothing"));
  EXPECT_EQ(box->ItemIndex(), -1);
}

TEST(UiComboBoxList, AListOnlyBoxSelectsSilentlyFromTheProgramAndRunsOnChangeForAKeyboardPick) {
  TForm* form = TComponent::Create<TForm>(nullptr);
  auto* box = new TComboBox(form);
  box->SetParent(form);
  box->SetStyle(csDropDownList);
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
