// TEdit: text and its change event, selection, read-only and length limit,
// colours, key events, focus events and wheel notches.

#include "platform/ui/edit_controls.h"

#include "platform/ui/forms.h"
#include "tests/support/ui_test_support.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QPalette>
#include <QWheelEvent>
#include <QWidget>

#include <string>
#include <vector>

namespace {

class UiEdit : public ::testing::Test {
protected:
  void SetUp() override {
    form_ = TComponent::Create<TForm>(nullptr);
    form_->SetBounds(0, 0, 300, 200);
    edit_ = new TEdit(form_);
    edit_->SetParent(form_);
    edit_->SetBounds(10, 10, 150, 24);
    second_ = new TEdit(form_);
    second_->SetParent(form_);
    second_->SetBounds(10, 50, 150, 24);
    form_->Show();
    edit_->OnChange = [this](TObject* sender) {
      EXPECT_EQ(sender, edit_);
      changes_.push_back(edit_->Text().toStdString());
    };
  }
  void TearDown() override { form_->Free(); }

  void Focus(TEdit* edit) {
    edit->SetFocus();
    ASSERT_TRUE(ProcessMessagesUntil([&] { return edit->Focused(); }));
  }
  void Type(const QString& chars) {
    for (QChar c : chars) {
      QKeyEvent press(QEvent::KeyPress, c.toUpper().unicode(), Qt::NoModifier, QString(c));
      QApplication::sendEvent(edit_->Widget(), &press);
      QKeyEvent release(QEvent::KeyRelease, c.toUpper().unicode(), Qt::NoModifier, QString(c));
      QApplication::sendEvent(edit_->Widget(), &release);
    }
  }

  TForm* form_ = nullptr;
  TEdit* edit_ = nullptr;
  TEdit* second_ = nullptr;
  std::vector<std::string> changes_;
};

TEST_F(UiEdit, EveryTextChangeRunsOnChangeOnce) {
  edit_->SetText("abc");
  edit_->SetText("abc");  // the same text is no change
  Focus(edit_);
  Type("de");
  edit_->Clear();
  EXPECT_EQ(changes_, (std::vector<std::string>{"abc", "abcd", "abcde", ""}));
}

TEST_F(UiEdit, SelectionIsReadAndReplacedInCodeUnits) {
  edit_->SetText("hello world");
  edit_->SetSelStart(6);
  EXPECT_EQ(edit_->SelStart(), 6);
  EXPECT_EQ(edit_->SelLength(), 0);
  edit_->SetSelLength(5);
  EXPECT_EQ(edit_->SelText(), "world");
  EXPECT_EQ(edit_->SelStart(), 6);
  edit_->SetSelText("there!");
  EXPECT_EQ(edit_->Text(), "hello there!");
  EXPECT_EQ(edit_->SelStart(), 12);
  EXPECT_EQ(edit_->SelLength(), 0);

  edit_->SetSelStart(3);
  edit_->SetSelLength(100);
  EXPECT_EQ(edit_->SelText(), "lo there!") << "clipped at the end of the text";
  edit_->SetSelStart(0);
  EXPECT_EQ(edit_->SelLength(), 0) << "moving the caret drops the selection";
  edit_->SelectAll();
  EXPECT_EQ(edit_->SelLength(), 12);
  edit_->SetSelText(QString::fromUtf16(u"\U0001F600"));  // one character, two code units
  EXPECT_EQ(edit_->SelStart(), 2);
}

TEST_F(UiEdit, ReadOnlyAndMaxLengthLimitTheUser) {
  Focus(edit_);
  edit_->SetMaxLength(3);
  Type("12345");
  EXPECT_EQ(edit_->Text(), "123");
  edit_->SetMaxLength(0);
  EXPECT_EQ(edit_->MaxLength(), 0);
  Type("45");
  EXPECT_EQ(edit_->Text(), "12345") << "0 is no limit";

  edit_->SetReadOnly(true);
  EXPECT_TRUE(edit_->ReadOnly());
  Type("6");
  EXPECT_EQ(edit_->Text(), "12345");
  edit_->SetText("set by the program");
  EXPECT_EQ(edit_->Text(), "set by the program");
}

TEST_F(UiEdit, ColourAndFontColourPaintTheBoxAndItsText) {
  EXPECT_EQ(edit_->Color(), clWindow);
  EXPECT_EQ(edit_->Font()->Color(), clWindowText);
  edit_->SetColor(clYellow);
  edit_->Font()->SetColor(clMaroon);
  EXPECT_EQ(edit_->Color(), clYellow);
  EXPECT_EQ(edit_->Font()->Color(), clMaroon);
  const QPalette palette = edit_->Widget()->palette();
  EXPECT_EQ(palette.color(QPalette::Base), QColor(255, 255, 0));
  EXPECT_EQ(palette.color(QPalette::Text), QColor(128, 0, 0));
  edit_->Font()->SetSize(20);
  EXPECT_EQ(edit_->Widget()->font().pointSize(), 20) << "the font still sets the typeface";
  EXPECT_EQ(edit_->Widget()->palette().color(QPalette::Text), QColor(128, 0, 0));
  edit_->SetColor(clWindow);
  EXPECT_EQ(edit_->Widget()->palette().color(QPalette::Base), QGuiApplication::palette().color(QPalette::Base));
}

TEST_F(UiEdit, OnKeyPressSwallowsOrReplacesTheCharacterTyped) {
  Focus(edit_);
  edit_->OnKeyPress = [](TObject*, QChar& key) {
    if (key == u'x') key = QChar();
    if (key == u'a') key = u'A';
  };
  Type("axb");
  EXPECT_EQ(edit_->Text(), "Ab");
  EXPECT_EQ(changes_, (std::vector<std::string>{"A", "Ab"}));
}

TEST_F(UiEdit, FocusMovesRunExitThenEnter) {
  std::vector<std::string> events;
  edit_->OnEnter = [&](TObject*) { events.push_back("enter 1"); };
  edit_->OnExit = [&](TObject*) { events.push_back("exit 1"); };
  second_->OnEnter = [&](TObject*) { events.push_back("enter 2"); };
  Focus(edit_);
  Focus(second_);
  EXPECT_EQ(events, (std::vector<std::string>{"enter 1", "exit 1", "enter 2"}));
}

// Counts the notches a TEdit takes.
class TNotchEdit : public TEdit {
public:
  using TEdit::TEdit;
  std::vector<std::string> notches;

protected:
  bool DoMouseWheelDown(TShiftState shift, TPoint) override {
    notches.push_back(shift.Contains(ssShift) ? "down shift" : "down");
    return true;
  }
  bool DoMouseWheelUp(TShiftState, TPoint) override {
    notches.push_back("up");
    return true;
  }
};

TEST_F(UiEdit, WheelTurnsAreTakenNotchByNotch) {
  auto* edit = new TNotchEdit(form_);
  edit->SetParent(form_);
  auto wheel = [&](int delta, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWheelEvent event(QPointF(5, 5), edit->Widget()->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, delta),
                      Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
    event.setAccepted(false);
    QApplication::sendEvent(edit->Widget(), &event);
    return event.isAccepted();
  };
  EXPECT_TRUE(wheel(-120));
  EXPECT_TRUE(wheel(240));
  EXPECT_FALSE(wheel(-60)) << "half a notch is not taken yet";
  EXPECT_TRUE(wheel(-60, Qt::ShiftModifier));
  EXPECT_FALSE(wheel(100));
  EXPECT_TRUE(wheel(-340));  // 100 - 340 = -240: two notches down
  EXPECT_EQ(edit->notches, (std::vector<std::string>{"down", "up", "up", "down shift", "down", "down"}));

  edit->OnMouseWheel = [](TObject*, TShiftState, int, TPoint, bool& handled) { handled = true; };
  EXPECT_TRUE(wheel(-120));
  EXPECT_EQ(edit->notches.size(), 6u) << "a turn OnMouseWheel handled makes no notch";
}

}  // namespace
