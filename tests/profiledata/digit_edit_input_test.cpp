// TDigitEdit under the user's hands: keys, the mouse and the wheel go through the
// toolkit's event path (Qt events sent to the widget), focus leaves for another
// edit of the form. OnChangeFinish is counted everywhere: it must fire exactly
// once per confirmation.

#include "profiledata/digit_edit.h"

#include "platform/ui/forms.h"
#include "tests/support/ui_test_support.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QWheelEvent>

namespace {

constexpr TColor kModifiedColor = 0xB0FFFF;

class DigitEditInput : public ::testing::Test {
protected:
  void SetUp() override {
    form_ = TComponent::Create<TForm>(nullptr);
    form_->SetBounds(0, 0, 300, 200);
    edit_ = new TDigitEdit(form_);
    edit_->SetParent(form_);
    edit_->SetBounds(10, 10, 120, 24);
    other_ = new TEdit(form_);
    other_->SetParent(form_);
    other_->SetBounds(10, 60, 120, 24);
    form_->Show();
    edit_->OnChangeFinish = [this](TObject* sender) {
      EXPECT_EQ(sender, edit_);
      ++finishes_;
    };
  }
  void TearDown() override {
    edit_->OnChangeFinish = nullptr;
    form_->Free();
    Screen->SetCursor(crDefault);
  }

  QWidget* W() const { return edit_->Widget(); }

  void Enter() {
    edit_->SetFocus();
    ASSERT_TRUE(ProcessMessagesUntil([&] { return edit_->Focused(); }));
  }
  void Leave() {
    other_->SetFocus();
    ASSERT_TRUE(ProcessMessagesUntil([&] { return other_->Focused(); }));
  }

  void Key(int key, const QString& text = QString(), Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(W(), &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(W(), &release);
  }
  // Printable ASCII, '\b' and '\r', one key each.
  void Type(const QString& chars) {
    for (QChar c : chars) {
      if (c == u'\b')
        Key(Qt::Key_Backspace, "\b");
      else if (c == u'\r')
        Key(Qt::Key_Return, "\r");
      else
        Key(c.toUpper().unicode(), QString(c));
    }
  }
  void ClearByKeys() {
    edit_->SelectAll();
    Type("\b");
  }
  void Mouse(QEvent::Type type, int y, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    const QPointF pos(20, y);
    QMouseEvent event(type, pos, W()->mapToGlobal(pos), button, held, modifiers);
    QApplication::sendEvent(W(), &event);
  }
  // Returns whether the widget took the turn (no scrolling of its parents).
  bool Wheel(int delta, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    const QPointF pos(20, 5);
    QWheelEvent event(pos, W()->mapToGlobal(pos), QPoint(), QPoint(0, delta), Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
    event.setAccepted(false);
    QApplication::sendEvent(W(), &event);
    return event.isAccepted();
  }
  bool Modified() const { return edit_->Color() == kModifiedColor; }

  TForm* form_ = nullptr;
  TDigitEdit* edit_ = nullptr;
  TEdit* other_ = nullptr;
  int finishes_ = 0;
};

TEST_F(DigitEditInput, CharacterFilter) {
  const struct {
    bool decimal;
    bool sign;
    QChar separator;  // '\0': the system's
    const char* start;
    const char* typed;
    const char* result;
  } cases[] = {
      {false, false, {}, "12", "3", "123"},
      {false, false, {}, "12", "a", "12"},
      {false, false, {}, "12", " ", "12"},
      {false, false, {}, "12", ".", "12"},  // no decimals: no separator
      {false, false, {}, "12", "-", "12"},  // no sign: no minus
      {false, false, {}, "12", "\b", "1"},
      {true, false, {}, "12", ".", "12."},
      {true, false, {}, "12", ",", "12."},  // either key types the separator
      {true, false, {}, "1.2", ".", "1.2"},
      {true, false, u',', "12", ".", "12,"},
      {true, false, u',', "1,2", ",", "1,2"},
      {true, false, u',', "1,2", ".", "1,2"},
      {true, true, {}, "12", "-", "12"},  // typed at the end: a minus inside is taken out again
      {true, true, {}, "-12", "-", "-12"},
      {true, true, {}, "12", "e", "12"},
  };
  Enter();
  for (const auto& c : cases) {
    edit_->SetAvailableDecimal(c.decimal);
    edit_->SetAvailableSign(c.sign);
    edit_->SetDecSepFromSys(c.separator.isNull());
    if (!c.separator.isNull()) edit_->SetDigDecimalSeparator(c.separator);
    edit_->SetText(c.start);
    edit_->SetSelStart(static_cast<int>(edit_->Text().size()));
    Type(c.typed);
    EXPECT_EQ(edit_->Text(), QString(c.result)) << c.start << " + '" << c.typed << "'";
  }
  EXPECT_EQ(finishes_, 0);
}

TEST_F(DigitEditInput, MinusGoesInFrontOnlyAndAnyOtherIsTakenOut) {
  edit_->SetAvailableSign(true);
  edit_->SetMinVal(-1000);
  Enter();
  edit_->SetText("12");
  edit_->SetSelStart(1);
  Type("-");
  EXPECT_EQ(edit_->Text(), "12");
  EXPECT_EQ(edit_->SelStart(), 1) << "the caret stays where the minus was typed";
  EXPECT_EQ(edit_->ValueReal(), 12.0L);
  edit_->SetSelStart(0);
  Type("-");
  EXPECT_EQ(edit_->Text(), "-12");
  EXPECT_EQ(edit_->ValueReal(), -12.0L);
  edit_->SetText("5-3-");
  EXPECT_EQ(edit_->Text(), "53");
  EXPECT_EQ(edit_->ValueReal(), 53.0L);
}

TEST_F(DigitEditInput, HalfTypedNumbersLeaveValueAndColoursAlone) {
  edit_->SetAvailableDecimal(true);
  edit_->SetAvailableSign(true);
  edit_->SetDecSepFromSys(false);
  edit_->SetDigDecimalSeparator(u',');
  edit_->SetMinVal(-100);
  edit_->SetValueReal(7);
  Enter();
  edit_->SelectAll();
  for (const char* step : {"-", "0", ","}) {
    Type(step);
    EXPECT_EQ(edit_->ValueReal(), 7.0L) << edit_->Text().toStdString();
    EXPECT_FALSE(Modified()) << edit_->Text().toStdString();
  }
  Type("5");
  EXPECT_EQ(edit_->Text(), "-0,5");
  EXPECT_EQ(edit_->ValueReal(), -0.5L);
  EXPECT_TRUE(Modified());

  ClearByKeys();
  Type("12");
  ASSERT_EQ(edit_->ValueReal(), 12.0L);
  Type(",");
  EXPECT_EQ(edit_->ValueReal(), 12.0L);
  EXPECT_TRUE(Modified()) << "the colours of \"12\" stay";
  Type("5");
  EXPECT_EQ(edit_->ValueReal(), 12.5L);
  EXPECT_EQ(finishes_, 0);
}

TEST_F(DigitEditInput, ClearingTheTextTakesTheValueOfTheRangeClosestToZero) {
  const struct {
    long double min;
    long double max;
    long double cleared;
    const char* onLeaving;  // an empty box shows MinVal when left
  } cases[] = {
      {5, 300, 5, "5"},
      {-10, -1, -1, "-10"},
      {-10, 10, 0, "-10"},
      {0, 300, 0, "0"},
      {0.5L, 2.5L, 0.5L, "0.5"},
  };
  edit_->SetAvailableDecimal(true);
  edit_->SetAvailableSign(true);
  for (const auto& c : cases) {
    edit_->SetMinVal(c.min);
    edit_->SetMaxVal(c.max);
    edit_->SetValueReal(c.max);
    Enter();
    ClearByKeys();
    EXPECT_EQ(edit_->Text(), "") << "typing never fills the box in";
    EXPECT_EQ(edit_->ValueReal(), c.cleared) << static_cast<double>(c.min) << ".." << static_cast<double>(c.max);
    finishes_ = 0;
    Leave();
    EXPECT_EQ(edit_->Text(), QString(c.onLeaving));
    EXPECT_EQ(edit_->ValueReal(), c.min);
    EXPECT_EQ(finishes_, 1);
    EXPECT_FALSE(Modified());
  }
}

TEST_F(DigitEditInput, TypingIsNotClampedButLeavingTheBoxIs) {
  const struct {
    bool decimal;
    long double min;
    long double max;
    const char* typed;
    long double whileTyping;
    const char* shown;
    long double held;
  } cases[] = {
      {false, 0, 300, "500", 500, "300", 300},
      {false, 10, 300, "3", 3, "10", 10},
      {true, 0, 2.5L, "7.25", 7.25L, "2.5", 2.5L},
      {true, 0.125L, 2.5L, "0.1", 0.1L, "0.125", 0.125L},
  };
  for (const auto& c : cases) {
    edit_->SetAvailableDecimal(c.decimal);
    edit_->SetMinVal(c.min);
    edit_->SetMaxVal(c.max);
    edit_->SetValueReal(c.min);
    Enter();
    edit_->SelectAll();
    Type(c.typed);
    EXPECT_EQ(edit_->ValueReal(), c.whileTyping) << c.typed;
    EXPECT_TRUE(Modified());
    finishes_ = 0;
    Leave();
    EXPECT_EQ(edit_->Text(), QString(c.shown)) << c.typed;
    EXPECT_EQ(edit_->ValueReal(), c.held) << c.typed;
    EXPECT_EQ(finishes_, 1) << c.typed;
    EXPECT_FALSE(Modified());
  }
}

TEST_F(DigitEditInput, LeavingReportsOnlyAnUnconfirmedChange) {
  edit_->SetValueReal(40);
  Enter();
  Type("a");  // refused: no change at all
  Leave();
  EXPECT_EQ(finishes_, 0);
  EXPECT_EQ(edit_->Text(), "40");

  // Typing back to the old number is still a change: the colours compare with
  // the value before the last keystroke, not with the last confirmed one.
  Enter();
  Type("5\b");
  ASSERT_EQ(edit_->ValueReal(), 40.0L);
  EXPECT_TRUE(Modified());
  Leave();
  EXPECT_EQ(finishes_, 1);
  EXPECT_FALSE(Modified());
}

TEST_F(DigitEditInput, EnterConfirmsOnceWithoutClampingAndLeavingClampsLater) {
  Enter();
  edit_->SelectAll();
  Type("42\r");
  EXPECT_EQ(edit_->Text(), "42") << "Enter is not a character of the text";
  EXPECT_EQ(edit_->ValueReal(), 42.0L);
  EXPECT_EQ(finishes_, 1);
  EXPECT_FALSE(Modified());

  Type("0\r");  // 420 > MaxVal 300
  EXPECT_EQ(edit_->ValueReal(), 420.0L);
  EXPECT_EQ(finishes_, 2);
  Leave();
  EXPECT_EQ(edit_->Text(), "300");
  EXPECT_EQ(finishes_, 3);

  // A half-typed number is confirmed as the value parsed before it.
  edit_->SetAvailableDecimal(true);
  Enter();
  edit_->SelectAll();
  Type("12.");
  ASSERT_TRUE(Modified());
  Type("\r");
  EXPECT_FALSE(Modified());
  EXPECT_EQ(edit_->ValueReal(), 12.0L);
  EXPECT_EQ(finishes_, 4);
}

TEST_F(DigitEditInput, ArrowKeysStepAndConfirmEachTime) {
  edit_->SetAvailableDecimal(true);
  edit_->SetStep(0.5L);
  edit_->SetValueReal(100);
  Enter();
  const struct {
    int key;
    Qt::KeyboardModifiers modifiers;
    long double value;
  } steps[] = {
      {Qt::Key_Up, Qt::NoModifier, 100.5L},    {Qt::Key_Up, Qt::ShiftModifier, 105.5L},
      {Qt::Key_Down, Qt::NoModifier, 105.0L},  {Qt::Key_Down, Qt::ShiftModifier, 100.0L},
  };
  int expectedFinishes = 0;
  for (const auto& s : steps) {
    Key(s.key, QString(), s.modifiers);
    EXPECT_EQ(edit_->ValueReal(), s.value);
    EXPECT_EQ(finishes_, ++expectedFinishes);
  }

  edit_->SetValueReal(299);
  Key(Qt::Key_Up, QString(), Qt::ShiftModifier);
  EXPECT_EQ(edit_->ValueReal(), 300.0L);
  EXPECT_EQ(edit_->Text(), "300");
  Key(Qt::Key_Up);
  EXPECT_EQ(edit_->ValueReal(), 300.0L) << "stays at MaxVal";
  EXPECT_EQ(finishes_, expectedFinishes + 2) << "and still reports the step";

  edit_->SelectAll();
  Type("7");
  ASSERT_TRUE(Modified());
  Key(Qt::Key_Down);
  EXPECT_EQ(edit_->ValueReal(), 6.5L) << "steps from the typed value";
  EXPECT_FALSE(Modified());
}

TEST_F(DigitEditInput, VerticalDragStepsPerPixelOutsideTheBox) {
  edit_->SetStep(1);
  edit_->SetValueReal(100);
  const int h = edit_->Height();
  Mouse(QEvent::MouseButtonPress, 5);
  EXPECT_EQ(Screen->Cursor(), crDigitEditStartMove);
  EXPECT_EQ(edit_->YWheel(), 5);

  const struct {
    int row;
    Qt::KeyboardModifiers modifiers;
    long double value;  // from the press value 100
    TCursor cursor;
    int finishes;
  } moves[] = {
      {10, Qt::NoModifier, 100, crDigitEditStartMove, 0},   // inside: nothing
      {h, Qt::NoModifier, 100, crDigitEditStartMove, 0},    // the bottom row is inside
      {0, Qt::NoModifier, 100, crDigitEditUpMove, 1},       // the top edge counts as above
      {-3, Qt::NoModifier, 103, crDigitEditUpMove, 2},      // 3 pixels above: 3 steps up
      {-3, Qt::ShiftModifier, 130, crDigitEditUpMove, 3},   // ten steps per pixel
      {h + 2, Qt::NoModifier, 98, crDigitEditDownMove, 4},  // 2 pixels below
      {12, Qt::NoModifier, 98, crDigitEditStartMove, 4},    // back inside: the value stays
  };
  for (const auto& m : moves) {
    Mouse(QEvent::MouseMove, m.row, m.modifiers);
    EXPECT_EQ(edit_->ValueReal(), m.value) << m.row;
    EXPECT_EQ(Screen->Cursor(), m.cursor) << m.row;
    EXPECT_EQ(finishes_, m.finishes) << m.row;
    EXPECT_EQ(edit_->YWheel(), m.row);
    if (m.cursor != crDigitEditStartMove) {
      EXPECT_EQ(edit_->SelStart(), 0) << "a step shows the start of the number";
      EXPECT_EQ(edit_->SelLength(), 0);
    }
  }

  Mouse(QEvent::MouseButtonRelease, 12);
  EXPECT_EQ(Screen->Cursor(), crDefault);
  Mouse(QEvent::MouseMove, -20);
  EXPECT_EQ(edit_->ValueReal(), 98.0L) << "no drag without a press";
  EXPECT_EQ(finishes_, 4);
}

TEST_F(DigitEditInput, AWheelNotchIsADragOfOnePixelFromTheLastMouseRow) {
  edit_->SetStep(1);
  edit_->SetValueReal(50);
  const int h = edit_->Height();
  Mouse(QEvent::MouseButtonPress, 3);
  Mouse(QEvent::MouseButtonRelease, 3);
  edit_->SetValueReal(70);  // the notches step from the value at the last press

  // Up notches move the virtual row up: rows 2 and 1 are inside, 0 is the top edge.
  const long double upValues[] = {70, 70, 50, 51, 52};
  for (long double expected : upValues) {
    EXPECT_TRUE(Wheel(120)) << "a notch is taken, the parent does not scroll";
    EXPECT_EQ(edit_->ValueReal(), expected) << "row " << edit_->YWheel();
    EXPECT_EQ(Screen->Cursor(), crDefault);
  }
  EXPECT_EQ(edit_->YWheel(), -2);
  EXPECT_EQ(finishes_, 3);

  Wheel(240, Qt::ShiftModifier);  // two notches at once, ten steps per pixel
  EXPECT_EQ(edit_->YWheel(), -4);
  EXPECT_EQ(edit_->ValueReal(), 90.0L);
  EXPECT_EQ(finishes_, 5);

  Wheel(60);  // half a notch does nothing yet
  EXPECT_EQ(edit_->YWheel(), -4);
  Wheel(60);
  EXPECT_EQ(edit_->YWheel(), -5);
  EXPECT_EQ(edit_->ValueReal(), 55.0L);

  // From a row next to the bottom: one notch down is inside, the next is below.
  Mouse(QEvent::MouseMove, h - 1);
  Wheel(-120);
  EXPECT_EQ(edit_->ValueReal(), 55.0L);
  Wheel(-120);
  EXPECT_EQ(edit_->YWheel(), h + 1);
  EXPECT_EQ(edit_->ValueReal(), 49.0L);
  Wheel(-120);
  EXPECT_EQ(edit_->ValueReal(), 48.0L);
}

TEST_F(DigitEditInput, WheelBeforeAnyPressStepsFromTheValueItFinds) {
  edit_->SetStep(2);
  edit_->SetValueReal(10);
  Mouse(QEvent::MouseMove, 1);
  Wheel(120);
  EXPECT_EQ(edit_->ValueReal(), 10.0L);  // row 0: the start value itself
  Wheel(120);
  Wheel(120);
  EXPECT_EQ(edit_->ValueReal(), 14.0L);
}

TEST_F(DigitEditInput, ALoneMinusIsPutBackToTheLastNumberWhenLeaving) {
  edit_->SetAvailableSign(true);
  edit_->SetMinVal(-50);
  edit_->SetValueReal(7);
  Enter();
  edit_->SelectAll();
  Type("-");
  ASSERT_EQ(edit_->Text(), "-");
  Leave();  // the test main fails on any message box
  EXPECT_EQ(edit_->Text(), "7");
  EXPECT_EQ(edit_->ValueReal(), 7.0L);
  EXPECT_EQ(finishes_, 0);

  // A minus after a typed change: the typed number is what comes back, confirmed.
  Enter();
  edit_->SelectAll();
  Type("500");
  edit_->SelectAll();
  Type("-");
  Leave();
  EXPECT_EQ(edit_->Text(), "300") << "the number put back is clamped as any other";
  EXPECT_EQ(edit_->ValueReal(), 300.0L);
  EXPECT_EQ(finishes_, 1);
}

TEST_F(DigitEditInput, PastedTextThatIsNoNumberIsPutBack) {
  edit_->SetAvailableDecimal(true);
  Enter();
  edit_->SelectAll();
  Type("12.5");
  ASSERT_TRUE(Modified());
  const struct {
    const char* pasted;
    const char* result;
    long double value;
  } cases[] = {
      {"abc", "12.5", 12.5L}, {"1x", "12.5", 12.5L},    {"NAN", "12.5", 12.5L},
      {"1,5", "12.5", 12.5L}, {"8.25", "8.25", 8.25L},  {"3-4", "34", 34.0L},
  };
  for (const auto& c : cases) {
    QGuiApplication::clipboard()->setText(c.pasted);
    edit_->SelectAll();
    Key(Qt::Key_V, "\x16", Qt::ControlModifier);
    EXPECT_EQ(edit_->Text(), QString(c.result)) << c.pasted;
    EXPECT_EQ(edit_->ValueReal(), c.value) << c.pasted;
  }
  EXPECT_TRUE(Modified()) << "putting text back confirms nothing";

  // With ',' as the separator a '.' makes no number.
  edit_->SetDecSepFromSys(false);
  edit_->SetDigDecimalSeparator(u',');
  QGuiApplication::clipboard()->setText("2,5");
  edit_->SelectAll();
  Key(Qt::Key_V, "\x16", Qt::ControlModifier);
  ASSERT_EQ(edit_->Text(), "2,5");
  EXPECT_EQ(edit_->ValueReal(), 2.5L);
  QGuiApplication::clipboard()->setText("2.5");
  edit_->SelectAll();
  Key(Qt::Key_V, "\x16", Qt::ControlModifier);
  EXPECT_EQ(edit_->Text(), "2,5");
  EXPECT_EQ(finishes_, 0);
}

}  // namespace
