// List box: name=value items, selection by the user and by the program, double
// clicks, fixed-height owner-drawn items drawn by OnDrawItem in client
// coordinates; the group box that holds controls under its title.

#include "platform/ui/canvas.h"
#include "platform/ui/forms.h"
#include "platform/ui/list_box.h"
#include "platform/ui/std_controls.h"
#include "tests/support/ui_test_support.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QListWidget>
#include <QMouseEvent>

#include <string>
#include <vector>

namespace ui_list_box_test {

class UiListBox : public ::testing::Test {
protected:
  void SetUp() override {
    form = TComponent::Create<TForm>(nullptr);
    form->SetBounds(0, 0, 320, 260);
    box = new TListBox(form);
    box->SetParent(form);
    box->SetBounds(8, 8, 220, 200);
    box->SetItems({"Rectifier=0", "Gain=3", "Plain", "Odd=a=b"});
    box->OnClick = [this](TObject*) { events.push_back("click " + std::to_string(box->ItemIndex())); };
    box->OnDblClick = [this](TObject*) { events.push_back("double " + std::to_string(box->ItemIndex())); };
    form->Show();
  }
  void TearDown() override { form->Free(); }

  QListWidget* List() const { return static_cast<QListWidget*>(box->Widget()); }
  void Mouse(QEvent::Type type, int index) {
    QWidget* viewport = List()->viewport();
    const QPoint pos = List()->visualItemRect(List()->item(index)).center();
    const QPointF global = viewport->mapToGlobal(QPointF(pos));
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(pos), global, Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(viewport, &event);
  }

  TForm* form = nullptr;
  TListBox* box = nullptr;
  std::vector<std::string> events;
};

TEST_F(UiListBox, NamesAndValues) {
  const std::vector<std::pair<QString, QString>> expected{{"Rectifier", "0"}, {"Gain", "3"}, {"Plain", ""}, {"Odd", "a=b"}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(box->Names(i), expected[static_cast<size_t>(i)].first);
    EXPECT_EQ(box->ValueFromIndex(i), expected[static_cast<size_t>(i)].second);
  }
  EXPECT_EQ(box->Names(4), QString());
  EXPECT_EQ(box->ValueFromIndex(-1), QString());
}

TEST_F(UiListBox, TheUsersSelectionAndDoubleClickRunTheirEvents) {
  box->SetItemIndex(2);
  box->AddItem("More=4");
  EXPECT_TRUE(events.empty()) << "the program's changes run nothing";
  EXPECT_EQ(box->Count(), 5);
  box->SetItemIndex(9);
  EXPECT_EQ(box->ItemIndex(), -1);

  Mouse(QEvent::MouseButtonPress, 1);
  Mouse(QEvent::MouseButtonRelease, 1);
  Mouse(QEvent::MouseButtonDblClick, 1);
  Mouse(QEvent::MouseButtonRelease, 1);
  EXPECT_EQ(events, (std::vector<std::string>{"click 1", "double 1"}));
}

TEST_F(UiListBox, OwnerDrawnItemsHaveTheirHeightAndShowWhatWasDrawn) {
  std::vector<int> drawn;
  TRect drawnRect1;
  box->SetStyle(lbOwnerDrawFixed);
  box->SetItemHeight(25);
  box->OnDrawItem = [&](TWinControl* control, int index, TRect rect, TOwnerDrawState) {
    EXPECT_EQ(control, box);
    drawn.push_back(index);
    if (index == 1) drawnRect1 = rect;
    TCanvas& canvas = *box->Canvas();
    canvas.FillRect(rect);
    canvas.Brush()->SetColor(index == 1 ? clRed : clBlue);
    canvas.FillRect({rect.Left + 2, rect.Top, rect.Left + 26, rect.Top + 24});
  };
  box->SetItemIndex(3);
  ASSERT_TRUE(ProcessMessagesUntil([&] { return drawnRect1.Height() > 0; }));
  const TRect item1 = box->ItemRect(1);
  EXPECT_EQ(item1.Height(), 25);
  EXPECT_EQ(box->ItemRect(2).Top, item1.Top + 25);
  EXPECT_EQ(drawnRect1, item1);
  // What the screen shows at a point of an item (the item rectangles lie inside the frame).
  const auto shown = [&](const TRect& item, int dx, int dy) {
    const QPoint at = List()->viewport()->mapTo(List(), QPoint(item.Left + dx, item.Top + dy));
    return ColorToRGB(ShownColor(*box, at.x(), at.y()));
  };
  EXPECT_EQ(shown(item1, 10, 10), ColorToRGB(clRed));
  const TRect item0 = box->ItemRect(0);
  EXPECT_EQ(shown(item0, 10, 10), ColorToRGB(clBlue));
  // Past the picture: the brush of the item's state.
  EXPECT_EQ(shown(box->ItemRect(3), 100, 10), ColorToRGB(clHighlight));
  EXPECT_EQ(shown(item0, 100, 10), ColorToRGB(clWindow));
}

TEST(UiGroupBox, TitleAndChildren) {
  TForm* form = TComponent::Create<TForm>(nullptr);
  auto* group = new TGroupBox(form);
  group->SetParent(form);
  group->SetBounds(8, 8, 200, 120);
  group->SetCaption(QStringLiteral("Rectifier Mode"));
  auto* check = new TCheckBox(form);
  check->SetParent(group);
  check->SetBounds(10, 30, 100, 17);
  EXPECT_EQ(group->Caption(), "Rectifier Mode");
  EXPECT_EQ(static_cast<QGroupBox*>(group->Widget())->title(), "Rectifier Mode");
  EXPECT_EQ(check->Widget()->parentWidget(), group->Widget());
  EXPECT_EQ(check->Left(), 10);

  auto* label = new TLabel(form);
  label->SetParent(form);
  label->SetAutoSize(false);
  label->SetBounds(8, 140, 80, 60);
  label->SetWordWrap(true);
  label->SetCaption(QStringLiteral("one two three four five six seven"));
  EXPECT_TRUE(label->WordWrap());
  EXPECT_EQ(label->Width(), 80) << "no longer than the label: wrapped";
  form->Free();
}

}  // namespace ui_list_box_test
