// Scroll box: the scrolled surface grows with the children, top-aligned children
// take the visible width; frames placed in it; owner-drawn combo boxes drawing
// their items and their closed box by OnDrawItem.

#include "platform/ui/canvas.h"
#include "platform/ui/combo_box.h"
#include "platform/ui/forms.h"
#include "platform/ui/scroll_box.h"
#include "tests/support/ui_test_support.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QWidget>

#include <vector>

namespace ui_scroll_box_test {

class UiScrollBox : public ::testing::Test {
protected:
  void SetUp() override {
    form = TComponent::Create<TForm>(nullptr);
    form->SetBounds(0, 0, 320, 300);
    box = new TScrollBox(form);
    box->SetParent(form);
    box->SetBounds(0, 0, 200, 150);
    form->Show();
  }
  void TearDown() override { form->Free(); }

  TForm* form = nullptr;
  TScrollBox* box = nullptr;
};

TEST_F(UiScrollBox, TheSurfaceReachesTheChildrenAndTopAlignedOnesTakeTheWidth) {
  auto* frame = new TCustomFrame(form);
  frame->SetParent(box);
  frame->SetBounds(0, 0, 50, 400);
  frame->SetAlign(alTop);
  box->UpdateSurface();
  EXPECT_EQ(frame->Width(), box->ViewportWidth());
  EXPECT_EQ(box->ClientWidget()->height(), 400);
  EXPECT_LT(box->ViewportHeight(), 400);  // it scrolls
  auto* far = new TCustomFrame(form);
  far->SetParent(box);
  far->SetBounds(300, 10, 80, 20);
  EXPECT_EQ(box->ClientWidget()->width(), 380);
  far->Free();
  frame->Free();
  EXPECT_EQ(box->ClientWidget()->height(), 1);
}

TEST(UiOwnerDrawCombo, ItemsAreDrawnByTheEventAndPickedLikeAList) {
  TForm* form = TComponent::Create<TForm>(nullptr);
  auto* combo = new TComboBox(form);
  combo->SetParent(form);
  combo->SetBounds(8, 8, 120, 24);
  combo->SetStyle(csOwnerDrawFixed);
  combo->SetItems({"$0000FF", "$00FF00"});
  std::vector<int> drawn;
  combo->OnDrawItem = [&](TWinControl*, int index, TRect rect, TOwnerDrawState) {
    drawn.push_back(index);
    combo->Canvas()->Brush()->SetColor(index == 0 ? clRed : clLime);
    combo->Canvas()->FillRect(rect);
  };
  EXPECT_EQ(combo->ItemIndex(), -1);
  combo->SetItemIndex(1);
  EXPECT_EQ(combo->ItemIndex(), 1);
  EXPECT_EQ(combo->Text(), "$00FF00");
  combo->DrawItem(0, Rect(0, 0, 30, 16), {});
  EXPECT_EQ(combo->Canvas()->Pixels(5, 5), clRed);
  // The closed box shows the chosen item through the event.
  drawn.clear();
  form->Show();
  combo->Widget()->grab();
  EXPECT_EQ(drawn, std::vector<int>{1});
  combo->SetItemHeight(20);
  EXPECT_EQ(combo->ItemHeight(), 20);
  form->Free();
}

}  // namespace ui_scroll_box_test
