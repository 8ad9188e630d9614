// Tool bars: buttons lined up by size, order and visibility; the grey list's
// picture while a button is disabled; a masked picture replaced in a list.

#include "platform/ui/bitmap.h"
#include "platform/ui/buttons.h"
#include "platform/ui/canvas.h"
#include "platform/ui/forms.h"
#include "platform/ui/image_list.h"
#include "platform/ui/status_bar.h"
#include "tests/support/ui_test_support.h"

#include <gtest/gtest.h>

#include <QMdiArea>

#include <vector>

namespace ui_tool_bar_test {

// A list of size x size pictures, picture i filled with colors[i].
TImageList* SolidList(TComponent* owner, int size, const std::vector<TColor>& colors) {
  auto* list = new TImageList(owner);
  list->SetSize(size, size);
  for (TColor color : colors) {
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf24bit);
    bitmap.SetSize(size, size);
    bitmap.Canvas()->Brush()->SetColor(color);
    bitmap.Canvas()->FillRect(Rect(0, 0, size, size));
    list->Add(bitmap);
  }
  return list;
}

TColor ShownCentre(const TToolButton& button) {
  TBitmap shown;
  button.GetShownPicture(shown);
  if (shown.Empty()) return clNone;
  return shown.Canvas()->Pixels(shown.Width() / 2, shown.Height() / 2);
}

class UiToolBar : public testing::Test {
protected:
  void SetUp() override {
    form = new TForm(nullptr);
    form->SetBounds(0, 0, 600, 300);
    bar = new TToolBar(form);
    bar->SetParent(form);
    bar->SetAlign(alTop);
  }
  void TearDown() override { form->Free(); }
  TToolButton* Add(TToolButtonStyle style, int imageIndex) {
    auto* button = new TToolButton(form);
    button->SetStyle(style);
    button->SetImageIndex(imageIndex);
    button->SetParent(bar);
    return button;
  }
  TForm* form = nullptr;
  TToolBar* bar = nullptr;
};

TEST_F(UiToolBar, VisibleButtonsLineUpInOrderAndHiddenOnesLeaveNoGap) {
  bar->SetButtonSize(71, 70);
  TToolButton* a = Add(tbsButton, 0);
  TToolButton* b = Add(tbsButton, 1);
  TToolButton* gap = Add(tbsSeparator, -1);
  TToolButton* c = Add(tbsCheck, 2);
  EXPECT_EQ(a->Left(), 0);
  EXPECT_EQ(b->Left(), 71);
  EXPECT_EQ(gap->Left(), 142);
  EXPECT_EQ(gap->Width(), TToolBar::SeparatorWidth);
  EXPECT_EQ(c->Left(), 142 + TToolBar::SeparatorWidth);
  EXPECT_EQ(c->Width(), 71);
  EXPECT_EQ(c->Height(), 70);
  b->SetVisible(false);
  EXPECT_EQ(gap->Left(), 71);
  EXPECT_EQ(c->Left(), 71 + TToolBar::SeparatorWidth);
  b->SetVisible(true);
  EXPECT_EQ(c->Left(), 142 + TToolBar::SeparatorWidth);
  bar->SetButtonSize(30, 20);
  EXPECT_EQ(c->Left(), 60 + TToolBar::SeparatorWidth);
  EXPECT_EQ(c->Height(), 20);
}

TEST_F(UiToolBar, ADisabledButtonShowsTheGreyListsPicture) {
  bar->SetImages(SolidList(form, 16, {clRed, clBlue}));
  TToolButton* early = Add(tbsButton, 1);
  bar->SetDisabledImages(SolidList(form, 16, {clGray, clSilver}));
  TToolButton* late = Add(tbsButton, 0);
  for (TToolButton* button : {early, late}) EXPECT_EQ(button->DisabledImages(), bar->DisabledImages());
  EXPECT_EQ(ShownCentre(*early), clBlue);
  EXPECT_EQ(ShownCentre(*late), clRed);
  early->SetEnabled(false);
  late->SetEnabled(false);
  EXPECT_EQ(ShownCentre(*early), clSilver);
  EXPECT_EQ(ShownCentre(*late), clGray);
  early->SetEnabled(true);
  EXPECT_EQ(ShownCentre(*early), clBlue);
  // Another picture in the grey list shows at once.
  TBitmap green;
  green.SetPixelFormat(pf24bit);
  green.SetSize(16, 16);
  green.Canvas()->Brush()->SetColor(clGreen);
  green.Canvas()->FillRect(Rect(0, 0, 16, 16));
  bar->DisabledImages()->Replace(0, green);
  EXPECT_EQ(ShownCentre(*late), clGreen);
  // Without the grey list a disabled button is greyed by the toolkit: not its colour.
  bar->DisabledImages()->Free();
  EXPECT_EQ(late->DisabledImages(), nullptr);
  EXPECT_NE(ShownCentre(*late), clRed);
  EXPECT_NE(ShownCentre(*late), clGreen);
}

TEST(UiToolBarFrame, AnMdiFramesChildrenLiveBetweenItsBarsNotUnderThem) {
  auto* frame = TComponent::Create<TForm>(nullptr);
  frame->SetFormStyle(fsMDIForm);
  frame->SetBounds(0, 0, 600, 400);
  auto* bar = new TToolBar(frame);
  bar->SetAlign(alTop);
  bar->SetHeight(70);
  bar->SetParent(frame);
  auto* status = new TStatusBar(frame);
  status->SetParent(frame);
  frame->Show();
  ASSERT_TRUE(ProcessMessagesUntil([&] { return frame->MdiArea()->y() == bar->Top() + 70; }));
  EXPECT_EQ(frame->MdiArea()->y() + frame->MdiArea()->height(), status->Top());
  EXPECT_EQ(frame->MdiArea()->width(), frame->ClientWidth());
  // Hiding the bar gives its rows back.
  bar->SetVisible(false);
  EXPECT_EQ(frame->MdiArea()->y(), bar->Top());
  frame->Free();
}

TEST(UiImageListReplace, ReplaceMaskedMakesTheMaskColourTransparent) {
  TImageList list(nullptr);
  list.SetSize(8, 8);
  TBitmap plain;
  plain.SetPixelFormat(pf24bit);
  plain.SetSize(8, 8);
  plain.Canvas()->Brush()->SetColor(clWhite);
  plain.Canvas()->FillRect(Rect(0, 0, 8, 8));
  list.Add(plain);
  list.Add(plain);
  TBitmap picture;
  picture.SetPixelFormat(pf24bit);
  picture.SetSize(8, 8);
  picture.Canvas()->Brush()->SetColor(clSilver);
  picture.Canvas()->FillRect(Rect(0, 0, 8, 8));
  picture.Canvas()->Brush()->SetColor(clRed);
  picture.Canvas()->FillRect(Rect(2, 2, 6, 6));
  list.ReplaceMasked(1, picture, clSilver);
  list.ReplaceMasked(5, picture, clSilver);  // outside the list: nothing
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(qAlpha(list.Image(1).pixel(0, 0)), 0);
  EXPECT_EQ(list.Image(1).pixel(3, 3), QColor(255, 0, 0).rgba());
  EXPECT_EQ(list.Image(0).pixel(0, 0), QColor(255, 255, 255).rgba());
}

}  // namespace ui_tool_bar_test
