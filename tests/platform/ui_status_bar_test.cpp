// The status bar: panels laid out left to right at the bottom of the form, text
// panels showing their text and owner-drawn panels drawn in their rectangles.

#include "platform/ui/forms.h"
#include "platform/ui/status_bar.h"
#include "tests/support/ui_test_support.h"

#include <gtest/gtest.h>

#include <vector>

namespace ui_status_bar_test {

class UiStatusBar : public ::testing::Test {
protected:
  void SetUp() override {
    form_ = TComponent::Create<TForm>(nullptr);
    form_->SetBounds(0, 0, 400, 200);
    bar_ = new TStatusBar(form_);
    bar_->SetParent(form_);
    bar_->AddPanel(100, psOwnerDraw);
    bar_->AddPanel(30, psOwnerDraw);
    bar_->AddPanel(80, psText);
    bar_->OnDrawPanel = [this](TStatusBar& bar, int index, const TRect& rect) {
      drawn_.push_back({index, rect});
      bar.Canvas()->Brush()->SetStyle(bsSolid);
      bar.Canvas()->Brush()->SetColor(index == 0 ? 0x0000FF : 0x00FF00);
      bar.Canvas()->FillRect(rect);
    };
    form_->Show();
    ASSERT_TRUE(ProcessMessagesUntil([&] { return drawn_.size() >= 2; }));
  }
  void TearDown() override { form_->Free(); }

  struct TDrawn {
    int index;
    TRect rect;
  };
  TForm* form_ = nullptr;
  TStatusBar* bar_ = nullptr;
  std::vector<TDrawn> drawn_;
};

TEST_F(UiStatusBar, SitsAtTheBottomWithPanelsLeftToRight) {
  EXPECT_EQ(bar_->Top() + bar_->Height(), form_->ClientHeight());
  EXPECT_EQ(bar_->Width(), form_->ClientWidth());
  ASSERT_EQ(bar_->PanelCount(), 3);
  const TRect second = bar_->PanelRect(1);
  EXPECT_EQ(second.Left, 100);
  EXPECT_EQ(second.Right, 130);
  EXPECT_EQ(second.Top, 0);
  EXPECT_EQ(second.Bottom, bar_->ClientHeight());
  EXPECT_EQ(bar_->PanelRect(2).Left, 130);
}

TEST_F(UiStatusBar, OwnerDrawnPanelsAreDrawnInTheirRectanglesOnly) {
  // Only the owner-drawn panels reach the handler, each with its rectangle.
  for (const TDrawn& d : drawn_) {
    EXPECT_NE(d.index, 2);
    EXPECT_EQ(d.rect.Left, bar_->PanelRect(d.index).Left);
    EXPECT_EQ(d.rect.Right, bar_->PanelRect(d.index).Right);
  }
  const int y = bar_->ClientHeight() / 2;
  EXPECT_EQ(ShownColor(*bar_, 0, y), 0x0000FF);
  EXPECT_EQ(ShownColor(*bar_, 99, y), 0x0000FF);
  EXPECT_EQ(ShownColor(*bar_, 100, y), 0x00FF00);
  EXPECT_EQ(ShownColor(*bar_, 129, y), 0x00FF00);
  EXPECT_NE(ShownColor(*bar_, 300, y), 0x00FF00);
}

TEST_F(UiStatusBar, ATextChangeRepaintsAndShowsTheText) {
  const TColor blank = ShownColor(*bar_, 140, bar_->ClientHeight() / 2);
  const size_t before = drawn_.size();
  bar_->SetPanelText(2, QStringLiteral("WWWWWWWW"));
  ASSERT_TRUE(ProcessMessagesUntil([&] { return drawn_.size() > before; }));
  EXPECT_EQ(bar_->Panel(2).Text, QStringLiteral("WWWWWWWW"));
  bool inked = false;
  for (int x = 130; x < 210 && !inked; ++x)
    for (int y = 0; y < bar_->ClientHeight() && !inked; ++y) inked = ShownColor(*bar_, x, y) != blank;
  EXPECT_TRUE(inked);
}

}  // namespace ui_status_bar_test
