// Custom-drawn controls: Paint on the screen's request, drawing outside Paint
// shown without a Paint, Invalidate and Repaint, the mouse position for
// DblClick, and a control's font.

#include "platform/ui/application.h"
#include "platform/ui/custom_control.h"
#include "platform/ui/forms.h"
#include "tests/support/ui_test_support.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QWidget>

namespace {

constexpr TColor kMark = 0x0000FF;

class TCountingControl : public TCustomControl {
public:
  using TCustomControl::TCustomControl;
  int paints = 0;
  TPoint dblClickPos{-1, -1};
  void DblClick() override { dblClickPos = MouseClientPos(); }

protected:
  void Paint() override {
    ++paints;
    Canvas()->Brush()->SetColor(kMark);
    Canvas()->FillRect(Rect(0, 0, 4, 4));
  }
};

class UiCustomControl : public ::testing::Test {
protected:
  void SetUp() override {
    form_ = TComponent::Create<TForm>(nullptr);
    form_->SetBounds(0, 0, 200, 100);
    control_ = new TCountingControl(form_);
    control_->SetParent(form_);
    control_->SetBounds(10, 10, 40, 30);
    control_->SetColor(0x00C0C0C0);
    form_->Show();
    ASSERT_TRUE(ProcessMessagesUntil([&] { return control_->paints > 0; }));
  }
  void TearDown() override { form_->Free(); }

  TForm* form_ = nullptr;
  TCountingControl* control_ = nullptr;
};

TEST_F(UiCustomControl, PaintDrawsOverThePictureClearedWithTheColour) {
  EXPECT_EQ(ShownColor(*control_, 1, 1), kMark);
  EXPECT_EQ(ShownColor(*control_, 20, 20), 0x00C0C0C0);
}

TEST_F(UiCustomControl, DrawingOutsidePaintIsShownWithoutAnotherPaint) {
  const int paints = control_->paints;
  control_->Canvas()->Brush()->SetColor(0x00FF00);
  control_->Canvas()->FillRect(Rect(10, 10, 20, 20));
  Application->ProcessMessages();
  EXPECT_EQ(ShownColor(*control_, 15, 15), 0x00FF00);
  EXPECT_EQ(control_->Canvas()->Pixels(15, 15), 0x00FF00);
  EXPECT_EQ(control_->paints, paints);

  // Invalidate: one Paint on a cleared picture.
  control_->Invalidate();
  ASSERT_TRUE(ProcessMessagesUntil([&] { return control_->paints == paints + 1; }));
  EXPECT_EQ(ShownColor(*control_, 15, 15), 0x00C0C0C0);
  EXPECT_EQ(control_->paints, paints + 1);
}

TEST_F(UiCustomControl, RepaintPaintsAtOnce) {
  const int paints = control_->paints;
  control_->Repaint();
  EXPECT_EQ(control_->paints, paints + 1);
}

TEST_F(UiCustomControl, DblClickKnowsWhereTheMouseWas) {
  const QPointF pos(23, 17);
  QMouseEvent event(QEvent::MouseButtonDblClick, pos, control_->Widget()->mapToGlobal(pos), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(control_->Widget(), &event);
  EXPECT_EQ(control_->dblClickPos, (TPoint{23, 17}));
}

TEST_F(UiCustomControl, TheFontShowsInTheWidgetAndKeepsItsCharset) {
  TFont* font = control_->Font();
  font->SetSize(14);
  font->SetStyle({fsBold});
  font->SetCharset(RUSSIAN_CHARSET);
  EXPECT_EQ(control_->Widget()->font().pointSize(), 14);
  EXPECT_TRUE(control_->Widget()->font().bold());
  EXPECT_EQ(control_->Font()->Charset(), RUSSIAN_CHARSET);
  EXPECT_EQ(font->Height(), -19) << "14 points at 96 pixels per inch";
}

TEST_F(UiCustomControl, TabStopDecidesKeyboardFocus) {
  EXPECT_FALSE(control_->TabStop());
  control_->SetTabStop(true);
  EXPECT_EQ(control_->Widget()->focusPolicy(), Qt::StrongFocus);
  control_->SetFocus();
  EXPECT_TRUE(ProcessMessagesUntil([&] { return control_->Focused(); }));
}

}  // namespace
