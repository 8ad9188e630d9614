// Check list box: checks and selection set by the program run no events; the
// user's click on an item's box or the space key turns the check and runs
// OnClickCheck once; the user's selection runs OnClick.

#include "platform/ui/check_list_box.h"
#include "platform/ui/forms.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionViewItem>

#include <string>
#include <vector>

namespace {

class UiCheckListBox : public ::testing::Test {
protected:
  void SetUp() override {
    form = TComponent::Create<TForm>(nullptr);
    form->SetBounds(0, 0, 300, 200);
    box = new TCheckListBox(form);
    box->SetParent(form);
    box->SetBounds(8, 8, 200, 150);
    box->SetItems({"Background removal", "Gain", "Band-pass filter"});
    box->OnClick = [this](TObject*) { events.push_back("click " + std::to_string(box->ItemIndex())); };
    box->OnClickCheck = [this](TObject*) { events.push_back("check " + std::to_string(box->ItemIndex())); };
    form->Show();
  }
  void TearDown() override { form->Free(); }

  QListWidget* List() const { return static_cast<QListWidget*>(box->Widget()); }

  void MouseAt(QPoint pos) {
    QWidget* viewport = List()->viewport();
    const QPointF global = viewport->mapToGlobal(QPointF(pos));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(pos), global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(pos), global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(viewport, &release);
  }
  // The centre of the item's check box, in viewport coordinates.
  QPoint CheckBoxOf(int index) const {
    QStyleOptionViewItem option;
    option.initFrom(List());
    option.rect = List()->visualItemRect(List()->item(index));
    option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
    option.text = List()->item(index)->text();
    return List()->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, List()).center();
  }
  void Space() {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    QApplication::sendEvent(List(), &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    QApplication::sendEvent(List(), &release);
  }

  TForm* form = nullptr;
  TCheckListBox* box = nullptr;
  std::vector<std::string> events;
};

TEST_F(UiCheckListBox, ProgramChangesRunNoEvents) {
  box->SetChecked(1, true);
  box->SetItemIndex(2);
  box->SetChecked(2, true);
  box->SetChecked(2, false);
  box->AddItem("Migration");
  EXPECT_TRUE(events.empty());
  EXPECT_EQ(box->ItemIndex(), 2);
  EXPECT_EQ(box->Items(), QStringList({"Background removal", "Gain", "Band-pass filter", "Migration"}));
  const std::vector<bool> checks{box->Checked(0), box->Checked(1), box->Checked(2), box->Checked(3)};
  EXPECT_EQ(checks, std::vector<bool>({false, true, false, false}));

  // Indices outside the list neither crash nor change anything.
  box->SetChecked(-1, true);
  box->SetChecked(4, true);
  EXPECT_FALSE(box->Checked(4));
  box->SetItemIndex(7);
  EXPECT_EQ(box->ItemIndex(), -1);
  EXPECT_TRUE(events.empty());
}

TEST_F(UiCheckListBox, ClickOnTheBoxTurnsTheCheckAndRunsOnClickCheckOnce) {
  MouseAt(CheckBoxOf(1));
  EXPECT_TRUE(box->Checked(1));
  EXPECT_FALSE(box->Checked(0));
  EXPECT_EQ(events, std::vector<std::string>({"click 1", "check 1"}));

  events.clear();
  MouseAt(CheckBoxOf(1));
  EXPECT_FALSE(box->Checked(1));
  EXPECT_EQ(events, std::vector<std::string>({"check 1"}));
}

TEST_F(UiCheckListBox, ClickOnTheTextSelectsWithoutTurningTheCheck) {
  const QRect row = List()->visualItemRect(List()->item(2));
  MouseAt(QPoint(row.right() - 10, row.center().y()));
  EXPECT_EQ(box->ItemIndex(), 2);
  EXPECT_FALSE(box->Checked(2));
  EXPECT_EQ(events, std::vector<std::string>({"click 2"}));
  const QPoint inControl = List()->viewport()->mapTo(List(), row.center());
  EXPECT_EQ(box->ItemAtPos({inControl.x(), inControl.y()}), 2);
}

TEST_F(UiCheckListBox, SpaceTurnsTheSelectedItemsCheck) {
  box->SetItemIndex(0);
  Space();
  EXPECT_TRUE(box->Checked(0));
  Space();
  EXPECT_FALSE(box->Checked(0));
  EXPECT_EQ(events, std::vector<std::string>({"check 0", "check 0"}));
}

TEST_F(UiCheckListBox, ItemHeightAppliesToPresentAndLaterItems) {
  box->SetItemHeight(29);
  box->AddItem(QStringLiteral("Wavelet"));
  EXPECT_EQ(box->ItemHeight(), 29);
  for (int i = 0; i < box->Count(); ++i) EXPECT_EQ(List()->visualItemRect(List()->item(i)).height(), 29) << i;
  EXPECT_EQ(List()->visualItemRect(List()->item(3)).top() - List()->visualItemRect(List()->item(0)).top(), 3 * 29);
  // The rows stay as wide as the list, so a click on the text still finds its item.
  EXPECT_GT(List()->visualItemRect(List()->item(0)).width(), 100);
}

}  // namespace
