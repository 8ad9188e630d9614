// TDigitEdit as the program sets it: defaults, limits, 8-decimal rounding, the
// integer and real display, and the property setters.

#include "profiledata/digit_edit.h"

#include "platform/ui/forms.h"

#include <gtest/gtest.h>

#include <QCursor>
#include <QLineEdit>
#include <QPalette>

#include <cmath>
#include <limits>
#include <string>

namespace {

class DigitEditValue : public ::testing::Test {
protected:
  void SetUp() override {
    form_ = TComponent::Create<TForm>(nullptr);
    edit_ = new TDigitEdit(form_);
    edit_->SetParent(form_);
  }
  void TearDown() override { form_->Free(); }

  TForm* form_ = nullptr;
  TDigitEdit* edit_ = nullptr;
};

TEST_F(DigitEditValue, NewEditHoldsZeroWithTheDefaultsAndFillsTheDragCursorSlots) {
  EXPECT_EQ(edit_->Text(), "0");
  EXPECT_EQ(edit_->ValueReal(), 0.0L);
  EXPECT_EQ(edit_->MinVal(), 0.0L);
  EXPECT_EQ(edit_->MaxVal(), 300.0L);
  EXPECT_EQ(edit_->Step(), 0.1L);
  EXPECT_EQ(edit_->DigDecimalSeparator(), u'.');
  EXPECT_TRUE(edit_->DecSepFromSys());
  EXPECT_FALSE(edit_->AvailableDecimal());
  EXPECT_FALSE(edit_->AvailableSign());
  EXPECT_EQ(edit_->Color(), clWindow);
  EXPECT_EQ(edit_->Font()->Color(), clWindowText);
  for (TCursor slot : {crDigitEditStartMove, crDigitEditUpMove, crDigitEditDownMove})
    EXPECT_EQ(Screen->Cursors(slot)->shape(), Qt::BitmapCursor) << slot;
  const QPoint upHot = Screen->Cursors(crDigitEditUpMove)->hotSpot();
  const QPoint downHot = Screen->Cursors(crDigitEditDownMove)->hotSpot();
  EXPECT_LT(upHot.y(), downHot.y()) << "the up arrow points at its top, the down arrow at its bottom";

  edit_->SetValueReal(1.0L);
  EXPECT_EQ(edit_->Text(), "1");
  EXPECT_EQ(edit_->ValueReal(), 1.0L);
}

TEST_F(DigitEditValue, SetValueRealClampsToTheLimits) {
  edit_->SetMinVal(-5);
  edit_->SetMaxVal(300);
  const struct {
    long double in;
    long double held;
  } cases[] = {
      {500, 300}, {300, 300}, {-5, -5}, {-7, -5}, {12, 12},
      {std::numeric_limits<long double>::quiet_NaN(), 300},  // not <= MaxVal
      {std::numeric_limits<long double>::infinity(), 300},
      {-std::numeric_limits<long double>::infinity(), -5},
  };
  for (const auto& c : cases) {
    edit_->SetValueReal(c.in);
    EXPECT_EQ(edit_->ValueReal(), c.held) << static_cast<double>(c.in);
  }
}

TEST_F(DigitEditValue, ValuesAreHeldRoundedToEightDecimals) {
  edit_->SetValueReal(1.0L / 3);
  EXPECT_EQ(edit_->ValueReal(), 0.33333333L) << "held rounded even while shown as an integer";
  EXPECT_EQ(edit_->Text(), "0");
  edit_->SetAvailableDecimal(true);
  EXPECT_EQ(edit_->Text(), "0.33333333");

  edit_->SetValueReal(2.0L / 3);
  EXPECT_EQ(edit_->ValueReal(), 0.66666667L);
  edit_->SetValueReal(123.123456789L);
  EXPECT_EQ(edit_->ValueReal(), 123.12345679L);
  EXPECT_EQ(edit_->Text(), "123.12345679");
}

TEST_F(DigitEditValue, TenStepsOfOneTenthGiveExactlyOne) {
  long double unrounded = 0;
  for (int i = 0; i < 10; ++i) unrounded += 0.1L;
  ASSERT_NE(unrounded, 1.0L) << "the sum itself drifts, which the rounding must absorb";

  edit_->SetAvailableDecimal(true);
  for (int i = 0; i < 10; ++i) edit_->SetValueReal(edit_->ValueReal() + edit_->Step());
  EXPECT_EQ(edit_->ValueReal(), 1.0L);
  EXPECT_EQ(edit_->Text(), "1");
}

TEST_F(DigitEditValue, DisplayTextFollowsDecimalSignAndSeparator) {
  const struct {
    bool decimal;
    bool sign;
    bool fromSys;
    QChar separator;
    long double value;
    const char* text;
  } cases[] = {
      // Integer display: rounded half to even; without the sign the magnitude.
      {false, false, true, u'.', 2.5L, "2"},
      {false, false, true, u'.', 3.5L, "4"},
      {false, false, true, u'.', 7.49L, "7"},
      {false, false, true, u'.', -5.0L, "5"},
      {false, true, true, u'.', -5.0L, "-5"},
      {false, true, true, u'.', -2.5L, "-2"},
      // Real display: general form with 16 significant digits.
      {true, false, true, u'.', 2.5L, "2.5"},
      {true, false, true, u',', 2.5L, "2.5"},  // the system's separator wins
      {true, false, false, u',', 2.5L, "2,5"},
      {true, false, false, u'.', 2.5L, "2.5"},
      {true, true, true, u'.', -0.25L, "-0.25"},
      {true, false, true, u'.', -0.25L, "-0.25"},
      {true, false, true, u'.', 100.0L, "100"},
      {true, false, true, u'.', 1234567.125L, "1234567.125"},
      {true, false, true, u'.', 0.00001L, "1E-5"},
  };
  edit_->SetMinVal(-1000);
  edit_->SetMaxVal(1e7L);
  for (const auto& c : cases) {
    edit_->SetAvailableDecimal(c.decimal);
    edit_->SetAvailableSign(c.sign);
    edit_->SetDecSepFromSys(c.fromSys);
    edit_->SetDigDecimalSeparator(c.separator);
    edit_->SetValueReal(c.value);
    EXPECT_EQ(edit_->Text(), QString(c.text)) << static_cast<double>(c.value) << " decimal " << c.decimal;
    EXPECT_EQ(edit_->ValueReal(), c.value) << "the display never changes the value held";
  }
}

TEST_F(DigitEditValue, SwitchingTheDisplayShowsTheHeldValueAgain) {
  edit_->SetMinVal(-10);
  edit_->SetValueReal(-2.75L);
  EXPECT_EQ(edit_->Text(), "3");
  edit_->SetAvailableSign(true);
  EXPECT_EQ(edit_->Text(), "-3");
  edit_->SetAvailableDecimal(true);
  EXPECT_EQ(edit_->Text(), "-2.75");
  EXPECT_EQ(edit_->ValueReal(), -2.75L);
}

TEST_F(DigitEditValue, ValueIntRoundsHalfToEvenAndSaturates) {
  edit_->SetMinVal(-1e12L);
  edit_->SetMaxVal(1e12L);
  const struct {
    long double value;
    int rounded;
  } cases[] = {{2.5L, 2},
               {3.5L, 4},
               {-2.5L, -2},
               {-2.51L, -3},
               {0.49999999L, 0},
               {1e11L, std::numeric_limits<int>::max()},
               {-1e11L, std::numeric_limits<int>::min()}};
  for (const auto& c : cases) {
    edit_->SetValueReal(c.value);
    EXPECT_EQ(edit_->ValueInt(), c.rounded) << static_cast<double>(c.value);
  }
  edit_->SetValueInt(-7);
  EXPECT_EQ(edit_->ValueReal(), -7.0L);
  edit_->SetValueInt(2000000000);
  EXPECT_EQ(edit_->ValueReal(), 2000000000.0L);
}

TEST_F(DigitEditValue, LimitSettersDoNotClampTheValueHeld) {
  edit_->SetValueReal(250);
  edit_->SetMaxVal(100);
  edit_->SetMinVal(50);
  EXPECT_EQ(edit_->ValueReal(), 250.0L);
  EXPECT_EQ(edit_->Text(), "250");
  edit_->SetValueReal(edit_->ValueReal());
  EXPECT_EQ(edit_->ValueReal(), 100.0L);
}

TEST_F(DigitEditValue, StepIsStoredAsItsMagnitudeAtMostMaxVal) {
  const struct {
    long double in;
    long double stored;
  } cases[] = {{-0.5L, 0.5L}, {0.25L, 0.25L}, {1000, 300}, {300, 300}, {0, 0}};
  for (const auto& c : cases) {
    edit_->SetStep(c.in);
    EXPECT_EQ(edit_->Step(), c.stored) << static_cast<double>(c.in);
  }
}

TEST_F(DigitEditValue, SeparatorSetterKeepsDotOrCommaOnly) {
  const struct {
    QChar in;
    QChar stored;
  } cases[] = {{u',', u','}, {u'.', u'.'}, {u';', u'.'}, {u'x', u'.'}, {QChar(), u'.'}};
  for (const auto& c : cases) {
    edit_->SetDigDecimalSeparator(u',');  // a different starting point each time
    edit_->SetDigDecimalSeparator(c.in);
    EXPECT_EQ(edit_->DigDecimalSeparator(), c.stored) << static_cast<int>(c.in.unicode());
  }
}

TEST_F(DigitEditValue, SetValueShowsTheConfirmedColoursAgain) {
  edit_->SetText("42");  // as if typed: parsed, not confirmed
  EXPECT_EQ(edit_->ValueReal(), 42.0L);
  EXPECT_EQ(edit_->Color(), 0xB0FFFF);
  EXPECT_EQ(edit_->Font()->Color(), 0x0000B7);
  EXPECT_EQ(edit_->Widget()->palette().color(QPalette::Base), QColor(0xFF, 0xFF, 0xB0));
  EXPECT_EQ(edit_->Widget()->palette().color(QPalette::Text), QColor(0xB7, 0, 0));

  edit_->SetValueReal(42);
  EXPECT_EQ(edit_->Color(), clWindow);
  EXPECT_EQ(edit_->Font()->Color(), clWindowText);
  EXPECT_EQ(edit_->Widget()->palette().color(QPalette::Base), ColorToQColor(clWindow));
}

}  // namespace
