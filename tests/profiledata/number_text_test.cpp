#include "profiledata/number_text.h"

#include <QLocale>

#include <gtest/gtest.h>

namespace {

// Runs a test with a default locale whose decimal separator is ','.
class CommaLocale : public ::testing::Test {
protected:
  void SetUp() override {
    saved_ = QLocale();
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  }
  void TearDown() override { QLocale::setDefault(saved_); }

private:
  QLocale saved_;
};

TEST(NumberText, IsDigitsOnly) {
  const std::pair<QString, bool> cases[] = {
      {QString(), true},
      {QStringLiteral("0123456789"), true},
      {QStringLiteral("12a"), false},
      {QStringLiteral(" 1"), false},
      {QStringLiteral("-1"), false},
      {QStringLiteral("12.5"), false},
      {QString::fromUtf16(u"\u0661\u0662"), false},  // Arabic-Indic digits are not '0'..'9'
      {QString::fromUtf16(u"\uFF11"), false},         // full-width one
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(IsDigitsOnly(text), expected) << text.toStdString();
}

TEST(NumberText, SplitDelimitedTextKeepsBlanksAndEmptyFields) {
  QStringList list{QStringLiteral("stale")};
  SplitDelimitedText(QLatin1Char(','), QStringLiteral("a, b,,c d,"), list);
  EXPECT_EQ(list, QStringList({"a", " b", "", "c d", ""}));

  SplitDelimitedText(QLatin1Char(';'), QStringLiteral("x,y;z"), list);
  EXPECT_EQ(list, QStringList({"x,y", "z"}));

  SplitDelimitedText(QLatin1Char(','), QString(), list);
  EXPECT_TRUE(list.isEmpty());
}

TEST_F(CommaLocale, StrToFloatAnySepTakesEitherSeparator) {
  const std::pair<QString, long double> cases[] = {
      {QStringLiteral("3,5"), 3.5L},     {QStringLiteral("3.5"), 3.5L},     {QStringLiteral("-12,25"), -12.25L},
      {QStringLiteral("42"), 42.0L},     {QString(), 0.0L},                 {QStringLiteral("abc"), 0.0L},
      {QStringLiteral("1.234,5"), 0.0L},  // two separators: not a number
      {QStringLiteral("1,5e2"), 150.0L},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(StrToFloatAnySep(text), expected) << text.toStdString();

  EXPECT_EQ(AnsiStrToFloatDot("2.75"), 2.75L);
  EXPECT_EQ(AnsiStrToFloatDot("2,75"), 2.75L);
  EXPECT_EQ(AnsiStrToFloatDot("\xB0"), 0.0L);
  EXPECT_EQ(AnsiStrToFloatDot(""), 0.0L);
}

TEST_F(CommaLocale, FloatToStrDotFixedRoundsTo12DigitsThen8Decimals) {
  const std::pair<long double, const char*> cases[] = {
      {50.0L + 30.5L / 60, "50.50833333"},
      {0.0L, "0.00000000"},
      {-1.5L, "-1.50000000"},
      {1.0L / 3, "0.33333333"},
      {2.999999999L, "3.00000000"},
      // 12 significant digits leave only 7 decimals here; the 8th is a zero.
      {12345.123456789L, "12345.12345680"},
      {-179.99999999L, "-179.99999999"},
  };
  for (const auto& [value, text] : cases) EXPECT_EQ(FloatToStrDotFixed(value), QByteArray(text)) << text;
}

}  // namespace
