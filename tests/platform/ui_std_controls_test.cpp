// Label, check box, buttons and track bar: texts, the check box's click on every
// state change, a button's modal result and click order, and the track bar's
// change notification with its limits and keys.

#include "platform/ui/buttons.h"
#include "platform/ui/dialog_script.h"
#include "platform/ui/forms.h"
#include "platform/ui/std_controls.h"
#include "platform/ui/track_bar.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPixmap>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

#include <string>
#include <vector>

namespace {

class UiStdControls : public ::testing::Test {
protected:
  void SetUp() override {
    form = TComponent::Create<TForm>(nullptr);
    form->SetBounds(0, 0, 300, 200);
  }
  void TearDown() override { form->Free(); }

  template <typename T>
  T* Place(int left, int top, int width, int height) {
    T* control = new T(form);
    control->SetParent(form);
    control->SetBounds(left, top, width, height);
    return control;
  }
  static void Click(TControl* control) {
    const QPoint pos = control->Widget()->rect().center();
    QMouseEvent press(QEvent::MouseButtonPress, pos, control->Widget()->mapToGlobal(pos), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(control->Widget(), &press);
    QMouseEvent release(QEvent::MouseButtonRelease, pos, control->Widget()->mapToGlobal(pos), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(control->Widget(), &release);
  }
  static void Key(TControl* control, int qtKey) {
    QKeyEvent press(QEvent::KeyPress, qtKey, Qt::NoModifier);
    QApplication::sendEvent(control->Widget(), &press);
    QKeyEvent release(QEvent::KeyRelease, qtKey, Qt::NoModifier);
    QApplication::sendEvent(control->Widget(), &release);
  }

  TForm* form = nullptr;
  std::vector<std::string> events;
};

TEST_F(UiStdControls, LabelSizesItselfToItsText) {
  TLabel* label = Place<TLabel>(8, 8, 10, 10);
  label->SetCaption("Width of Window, traces");
  EXPECT_EQ(label->Caption(), "Width of Window, traces");
  EXPECT_EQ(label->Left(), 8);
  EXPECT_GT(label->Width(), 10);
  label->SetAutoSize(false);
  label->SetWidth(30);
  label->SetCaption("A much longer text than before");
  EXPECT_EQ(label->Width(), 30);
}

TEST_F(UiStdControls, CheckBoxClicksOnEveryStateChange) {
  TCheckBox* box = Place<TCheckBox>(8, 8, 100, 17);
  box->SetCaption("Apply");
  box->OnClick = [&](TObject*) { events.push_back(box->Checked() ? "on" : "off"); };
  form->Show();
  box->SetChecked(true);
  box->SetChecked(true);  // no change, no click
  Click(box);
  Key(box, Qt::Key_Space);
  EXPECT_EQ(events, (std::vector<std::string>{"on", "off", "on"}));
  EXPECT_EQ(box->Caption(), "Apply");
}

// A push-like box shows its state over its whole face, as a pressed or raised
// button; a plain box only in its check mark at the left.
TEST_F(UiStdControls, PushLikeCheckBoxShowsItsStateAsAButtonAndStillToggles) {
  TCheckBox* plain = Place<TCheckBox>(8, 8, 100, 24);
  TCheckBox* push = Place<TCheckBox>(8, 40, 100, 24);
  plain->SetCaption("Depth");
  push->SetCaption("Depth");
  push->SetPushLike(true);
  push->OnClick = [&](TObject*) { events.push_back(push->Checked() ? "down" : "up"); };
  form->Show();
  const auto rightEdgeColour = [](TCheckBox* box) {
    return box->Widget()->grab().toImage().pixel(box->Width() - 4, box->Height() / 2);
  };
  const QRgb plainUp = rightEdgeColour(plain), pushUp = rightEdgeColour(push);
  plain->SetChecked(true);
  Click(push);
  EXPECT_EQ(rightEdgeColour(plain), plainUp);
  EXPECT_NE(rightEdgeColour(push), pushUp);
  Click(push);
  EXPECT_EQ(rightEdgeColour(push), pushUp);
  EXPECT_EQ(events, (std::vector<std::string>{"down", "up"}));

  TCheckBox* copy = push->CreateClone(form);
  EXPECT_TRUE(copy->PushLike());
  EXPECT_FALSE(plain->CreateClone(form)->PushLike());
}

TEST_F(UiStdControls, ButtonHandsItsModalResultToTheFormBeforeOnClick) {
  TBitBtn* ok = Place<TBitBtn>(10, 10, 75, 25);
  ok->SetCaption("Ok");
  ok->SetModalResult(mrOk);
  ok->OnClick = [&](TObject*) { events.push_back("click, form result " + std::to_string(form->ModalResult())); };
  TButton* plain = Place<TButton>(100, 10, 75, 25);
  plain->OnClick = [&](TObject*) { events.push_back("plain"); };
  TDialogScript::QueueModal([&](TForm&) {
    Click(plain);
    EXPECT_EQ(form->ModalResult(), mrNone);
    Click(ok);
  });
  EXPECT_EQ(form->ShowModal(), mrOk);
  EXPECT_EQ(events, (std::vector<std::string>{"plain", "click, form result 1"}));
}

TEST_F(UiStdControls, TrackBarReportsEveryPositionChange) {
  TTrackBar* bar = Place<TTrackBar>(8, 8, 200, 30);
  bar->SetRange(1, 300);
  bar->SetPageSize(20);
  bar->OnChange = [&](TObject*) { events.push_back(std::to_string(bar->Position())); };
  form->Show();
  bar->SetPosition(57);
  bar->SetPosition(57);   // no change
  bar->SetPosition(999);  // clamped
  bar->SetPosition(-4);
  Key(bar, Qt::Key_Right);
  Key(bar, Qt::Key_PageUp);
  bar->SetMin(100);  // moves the position into the new range
  EXPECT_EQ(events, (std::vector<std::string>{"57", "300", "1", "2", "22", "100"}));
  EXPECT_EQ(bar->PageSize(), 20);
}

}  // namespace
