// Page control with tabs on the left, hidden tabs and coloured pages; tree view
// nodes and selection; the animated image; the draw panel's paint order; the
// speed button's state.

#include "platform/ui/bitmap.h"
#include "platform/ui/buttons.h"
#include "platform/ui/forms.h"
#include "platform/ui/image.h"
#include "platform/ui/page_control.h"
#include "platform/ui/panels.h"
#include "platform/ui/tree_view.h"
#include "tests/support/ui_test_support.h"

#include <gtest/gtest.h>

#include <QTabBar>
#include <QTabWidget>

#include <memory>
#include <vector>

namespace {

class UiPages : public ::testing::Test {
protected:
  void SetUp() override {
    form = TComponent::Create<TForm>(nullptr);
    form->SetBounds(0, 0, 500, 400);
    form->Show();
  }
  void TearDown() override { form->Free(); }
  TForm* form = nullptr;
};

TEST_F(UiPages, PagesWithTabsOnTheLeftSomeHiddenEachInItsColour) {
  auto* pages = new TPageControl(form);
  pages->SetParent(form);
  pages->SetTabPosition(tpLeft);
  pages->SetAlign(alLeft);
  pages->SetWidth(270);
  std::vector<TTabSheet*> sheets;
  for (const char* caption : {"Properties", "View", "Post"}) {
    auto* sheet = new TTabSheet(form);
    sheet->SetPageControl(pages);
    sheet->SetCaption(caption);
    sheets.push_back(sheet);
  }
  sheets[0]->SetHintText("Profile Properties");
  sheets[2]->SetTabVisible(false);
  std::vector<int> changes;
  pages->OnChange = [&](TObject*) { changes.push_back(pages->ActivePageIndex()); };

  auto* tabs = dynamic_cast<QTabWidget*>(pages->Widget());
  ASSERT_NE(tabs, nullptr);
  EXPECT_EQ(tabs->tabPosition(), QTabWidget::West);
  EXPECT_EQ(tabs->tabText(1), "View");
  EXPECT_EQ(tabs->tabToolTip(0), "Profile Properties");
  EXPECT_TRUE(tabs->isTabVisible(1));
  EXPECT_FALSE(tabs->isTabVisible(2));
  EXPECT_EQ(pages->PageCount(), 3);
  EXPECT_EQ(sheets[1]->PageIndex(), 1);
  EXPECT_EQ(pages->Height(), form->ClientHeight());

  // A page without a tab can still be shown by the program.
  pages->SetActivePageIndex(2);
  EXPECT_EQ(pages->ActivePage(), sheets[2]);
  pages->SetActivePage(sheets[1]);
  EXPECT_EQ(changes, (std::vector<int>{2, 1}));

  sheets[1]->SetColor(RGB(0xD1, 0xD1, 0xFF));
  ProcessMessagesUntil([] { return false; }, std::chrono::milliseconds(20));
  EXPECT_EQ(ShownColor(*sheets[1], 5, 5), RGB(0xD1, 0xD1, 0xFF));

  // A sheet that goes leaves the control's pages.
  sheets[0]->Free();
  EXPECT_EQ(pages->PageCount(), 2);
  EXPECT_EQ(tabs->count(), 2);
}

TEST_F(UiPages, TreeNodesKeepTheirPlacesAndReportTheSelection) {
  auto* tree = new TTreeView(form);
  tree->SetParent(form);
  TTreeNode* a = tree->Items()->AddChild(nullptr, "a");
  TTreeNode* a1 = tree->Items()->AddChild(a, "a1");
  TTreeNode* b = tree->Items()->Add(a, "b");
  TTreeNode* a2 = tree->Items()->Add(a1, "a2");
  EXPECT_EQ(tree->Items()->Count(), 4);
  EXPECT_EQ(tree->Items()->Item(2), a2);
  EXPECT_EQ(tree->Items()->Item(3), b);
  EXPECT_EQ(a2->Parent(), a);
  EXPECT_EQ(a2->Index(), 1);
  std::vector<TTreeNode*> changes;
  tree->OnChange = [&](TObject*, TTreeNode* node) { changes.push_back(node); };
  a2->SetSelected(true);
  EXPECT_TRUE(a2->Selected());
  EXPECT_EQ(tree->Selected(), a2);
  a->Delete();  // a2 goes with it
  EXPECT_EQ(tree->Items()->Count(), 1);
  EXPECT_NE(tree->Selected(), a2);
  ASSERT_FALSE(changes.empty());
  EXPECT_EQ(changes.front(), a2);
  tree->Items()->Clear();
  EXPECT_EQ(tree->Items()->GetFirstNode(), nullptr);
  EXPECT_EQ(tree->Selected(), nullptr);
}

TEST_F(UiPages, AnimatedImageStepsThroughItsFrames) {
  auto* image = new TImage(form);
  image->SetParent(form);
  image->SetBounds(0, 0, 10, 10);
  std::vector<std::unique_ptr<TBitmap>> frames;
  for (TColor c : {clRed, clLime, clBlue}) {
    frames.push_back(std::make_unique<TBitmap>());
    frames.back()->SetPixelFormat(pf32bit);
    frames.back()->SetSize(10, 10);
    frames.back()->Canvas()->Brush()->SetColor(c);
    frames.back()->Canvas()->FillRect(Rect(0, 0, 10, 10));
  }
  image->SetFrames(std::move(frames));
  EXPECT_EQ(ShownColor(*image, 5, 5), clRed);
  image->NextFrame();
  EXPECT_EQ(ShownColor(*image, 5, 5), clLime);
  image->SetAnimationDelay(10);
  image->SetAnimate(true);
  // The message loop moves it on by itself.
  EXPECT_TRUE(ProcessMessagesUntil([&] { return image->Frame() == 0; }));
  image->SetAnimate(false);
  const int frame = image->Frame();
  ProcessMessagesUntil([] { return false; }, std::chrono::milliseconds(40));
  EXPECT_EQ(image->Frame(), frame);
}

TEST_F(UiPages, DrawPanelPaintsOverItsColourAndSpeedButtonStaysDown) {
  auto* panel = new TDrawPanel(form);
  panel->SetParent(form);
  panel->SetBounds(0, 0, 40, 40);
  panel->SetColor(clYellow);
  panel->OnPaint = [panel](TObject*) {
    panel->Canvas()->Brush()->SetColor(clRed);
    panel->Canvas()->FillRect(Rect(0, 0, 10, 10));
  };
  panel->Invalidate();
  EXPECT_EQ(ShownColor(*panel, 5, 5), clRed);
  EXPECT_EQ(ShownColor(*panel, 30, 30), clYellow);

  auto* button = new TSpeedButton(form);
  button->SetParent(form);
  EXPECT_FALSE(button->Down());
  button->SetDown(true);
  EXPECT_TRUE(button->Down());
}

}  // namespace
