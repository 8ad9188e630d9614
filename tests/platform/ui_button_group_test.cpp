// Button groups: one button per item with its picture, clicks by the mouse with
// and without Ctrl, clearing the items from a click, the mouse over the buttons.

#include "platform/ui/bitmap.h"
#include "platform/ui/button_group.h"
#include "platform/ui/buttons.h"
#include "platform/ui/forms.h"
#include "platform/ui/image_list.h"
#include "tests/platform/ui_input.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace ui_button_group_test {

class UiButtonGroup : public ::testing::Test {
protected:
  void SetUp() override {
    form = new TForm(nullptr);
    form->SetBounds(0, 0, 300, 300);
    group = new TButtonGroup(form);
    group->SetParent(form);
    group->SetBounds(0, 0, 200, 200);
    group->SetButtonWidth(190);
    images = new TImageList(form);
    images->SetSize(180, 16);
    TBitmap picture;
    picture.SetPixelFormat(pf24bit);
    picture.SetSize(180, 16);
    for (int i = 0; i < 3; ++i) images->Add(picture);
    group->SetImages(images);
    group->OnButtonClicked = [this](int index, TShiftState shift) { clicks.emplace_back(index, shift); };
    form->Show();
  }
  void TearDown() override { form->Free(); }

  TForm* form = nullptr;
  TButtonGroup* group = nullptr;
  TImageList* images = nullptr;
  std::vector<std::pair<int, TShiftState>> clicks;
};

TEST_F(UiButtonGroup, ItemsAreButtonsOneUnderAnotherShowingTheirPictures) {
  for (int i = 0; i < 3; ++i) EXPECT_EQ(group->AddItem(i), i);
  ASSERT_EQ(group->Count(), 3);
  EXPECT_EQ(group->ButtonHeight(), 22);
  for (int i = 0; i < 3; ++i) {
    TToolButton* button = group->Button(i);
    EXPECT_EQ(button->Images(), images);
    EXPECT_EQ(group->ItemImageIndex(i), i);
    EXPECT_EQ(button->Top(), i * 22);
    EXPECT_EQ(button->Width(), 190);
  }
  EXPECT_EQ(group->Button(3), nullptr);
}

TEST_F(UiButtonGroup, AClickReportsTheItemAndTheKeysHeldAtThePress) {
  for (int i = 0; i < 3; ++i) group->AddItem(i);
  ui_input::Click(group->Button(1)->Widget());
  ui_input::Click(group->Button(2)->Widget(), QPoint(5, 5), Qt::ControlModifier);
  ui_input::Click(group->Button(0)->Widget());
  ASSERT_EQ(clicks.size(), 3u);
  EXPECT_EQ(clicks[0].first, 1);
  EXPECT_FALSE(clicks[0].second.Contains(ssCtrl));
  EXPECT_EQ(clicks[1].first, 2);
  EXPECT_TRUE(clicks[1].second.Contains(ssCtrl));
  EXPECT_EQ(clicks[2].first, 0);
  EXPECT_FALSE(clicks[2].second.Contains(ssCtrl));
  group->ButtonClick(3, {});
  EXPECT_EQ(clicks.size(), 3u) << "no item 3";
}

TEST_F(UiButtonGroup, AClickMayRebuildTheItemsItsButtonBelongsTo) {
  for (int i = 0; i < 3; ++i) group->AddItem(i);
  group->OnButtonClicked = [this](int index, TShiftState shift) {
    clicks.emplace_back(index, shift);
    group->ClearItems();
    for (int i = 0; i < 2; ++i) group->AddItem(i + 1);
  };
  ui_input::Click(group->Button(2)->Widget());
  ASSERT_EQ(group->Count(), 2);
  EXPECT_EQ(group->ItemImageIndex(1), 2);
  ui_input::Click(group->Button(1)->Widget());
  ASSERT_EQ(clicks.size(), 2u);
  EXPECT_EQ(clicks[0].first, 2);
  EXPECT_EQ(clicks[1].first, 1);
  EXPECT_FALSE(group->Button(2));
}

TEST_F(UiButtonGroup, TheMouseOverAButtonIsTheGroupsInItsCoordinates) {
  for (int i = 0; i < 3; ++i) group->AddItem(i);
  std::vector<std::pair<TPoint, bool>> moves;
  group->OnMouseMove = [&](TObject* sender, TShiftState shift, int x, int y) {
    EXPECT_EQ(sender, group);
    moves.push_back({TPoint{x, y}, shift.Contains(ssCtrl)});
  };
  ui_input::Mouse(group->Button(1)->Widget(), QEvent::MouseMove, QPoint(7, 3), Qt::NoButton, Qt::ControlModifier);
  ASSERT_EQ(moves.size(), 1u);
  EXPECT_EQ(moves[0].first.X, 7);
  EXPECT_EQ(moves[0].first.Y, 22 + 3);
  EXPECT_TRUE(moves[0].second);
}

}  // namespace ui_button_group_test
