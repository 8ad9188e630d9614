// FormatFloat: digit placeholders, decimals rounded half away from zero, grouping,
// sections, literals, and values that round to zero.

#include "platform/rtl/format_float.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TEST(FormatFloat, PicturesGiveTheirTexts) {
  struct Case {
    const char* format;
    long double value;
    const char* text;
  };
  const Case cases[] = {
      {"##0.###", 0, "0"},
      {"##0.###", 1.5L, "1.5"},
      {"##0.###", -12.25L, "-12.25"},
      {"##0.###", 0.12345L, "0.123"},
      {"##0.###", 0.0005L, "0.001"},  // half away from zero
      {"##0.###", -0.0004L, "0"},     // rounds to zero: no sign
      {"##0.###", 12345.678L, "12345.678"},
      {"#.##", 0.5L, ".5"},
      {"0.00", 3, "3.00"},
      {"0.00", 2.675L, "2.68"},
      {"000", 7, "007"},
      {"#", 0, ""},
      {"#,##0", 1234567, "1,234,567"},
      {"#,##0.0", -1234.56L, "-1,234.6"},
      {"0.0#", 1.2L, "1.2"},
      {"0.0#", 1.234L, "1.23"},
      {"0 \"ns\"", 12, "12 ns"},
      {"0;(0)", -5, "(5)"},
      {"0;(0);zero", 0, "zero"},
      {"0.0;;nil", 0.01L, "nil"},
      {"x0", 3, "x3"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FormatFloat(QString::fromLatin1(c.format), c.value), QString::fromLatin1(c.text))
        << c.format << " " << static_cast<double>(c.value);
}

TEST(FormatFloat, EmptyFormatAndSpecialValuesUseFloatToStr) {
  EXPECT_EQ(FormatFloat(QString(), 1.25L), "1.25");
  EXPECT_EQ(FormatFloat("0.0", std::numeric_limits<long double>::infinity()), "INF");
  EXPECT_EQ(FormatFloat("0.0", std::nanl("")), "NAN");
}

}  // namespace
