// Custom controls that keep their own buffer: Paint on an unerased picture,
// block copies onto the picture, and the mouse entering and leaving.

#include "platform/ui/application.h"
#include "platform/ui/custom_control.h"
#include "platform/ui/forms.h"
#include "tests/support/ui_test_support.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QEnterEvent>
#include <QImage>
#include <QPainter>
#include <QWidget>

#include <vector>

namespace {

// Draws a mark at (1, 1) on its first Paint only.
class TOnceControl : public TCustomControl {
public:
  using TCustomControl::TCustomControl;
  int paints = 0;

protected:
  void Paint() override {
    if (paints++ == 0) {
      Canvas()->Brush()->SetColor(0x0000FF);
      Canvas()->FillRect(Rect(0, 0, 4, 4));
    }
  }
};

class UiCustomControlPicture : public ::testing::Test {
protected:
  void SetUp() override {
    form_ = TComponent::Create<TForm>(nullptr);
    form_->SetBounds(0, 0, 200, 100);
    control_ = new TOnceControl(form_);
    control_->SetParent(form_);
    control_->SetBounds(10, 10, 40, 30);
    control_->SetColor(0x00C0C0C0);
    form_->Show();
    ASSERT_TRUE(ProcessMessagesUntil([&] { return control_->paints > 0; }));
  }
  void TearDown() override { form_->Free(); }

  void Repainted() {
    const int paints = control_->paints;
    control_->Invalidate();
    ASSERT_TRUE(ProcessMessagesUntil([&] { return control_->paints > paints; }));
  }

  TForm* form_ = nullptr;
  TOnceControl* control_ = nullptr;
};

TEST_F(UiCustomControlPicture, PaintOnAnUnerasedPictureFindsWhatWasThere) {
  EXPECT_TRUE(control_->EraseBackground());
  control_->SetEraseBackground(false);
  Repainted();
  EXPECT_EQ(ShownColor(*control_, 1, 1), 0x0000FF);
  control_->SetEraseBackground(true);
  Repainted();
  EXPECT_EQ(ShownColor(*control_, 1, 1), 0x00C0C0C0);
}

TEST_F(UiCustomControlPicture, PaintOnPictureReplacesPixelsAndShowsWithoutPaint) {
  const int paints = control_->paints;
  QImage source(8, 8, QImage::Format_ARGB32);
  source.fill(QColor(0, 255, 0));
  control_->PaintOnPicture([&](QPaintDevice* device) {
    QPainter painter(device);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QPoint(20, 10), source);
  });
  Application->ProcessMessages();
  EXPECT_EQ(ShownColor(*control_, 23, 13), 0x00FF00);
  EXPECT_EQ(ShownColor(*control_, 19, 13), 0x00C0C0C0);
  EXPECT_EQ(control_->Canvas()->Pixels(27, 17), 0x00FF00);
  EXPECT_EQ(control_->paints, paints);
}

TEST_F(UiCustomControlPicture, MouseEnterAndLeaveReachTheWindowProcedure) {
  std::vector<UINT> messages;
  control_->SetMessageHandler(CM_MOUSEENTER, [&](TMessage& m) { messages.push_back(m.Msg); });
  control_->SetMessageHandler(CM_MOUSELEAVE, [&](TMessage& m) { messages.push_back(m.Msg); });
  const QPointF pos(5, 5);
  QEnterEvent enter(pos, pos, control_->Widget()->mapToGlobal(pos));
  QApplication::sendEvent(control_->Widget(), &enter);
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(control_->Widget(), &leave);
  EXPECT_EQ(messages, (std::vector<UINT>{CM_MOUSEENTER, CM_MOUSELEAVE}));
}

}  // namespace
