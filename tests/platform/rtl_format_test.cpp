#include "platform/rtl/sys_utils.h"
#include "tests/support/qstring_print.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

struct TextCase {
  QString got;
  const char* expected;
};

void ExpectAll(std::initializer_list<TextCase> cases) {
  int row = 0;
  for (const TextCase& c : cases) {
    EXPECT_EQ(c.got, QString::fromUtf8(c.expected)) << "row " << row;
    ++row;
  }
}

TEST(RtlFormat, IntegersAndStrings) {
  int marker = 0;
  const void* pointer = reinterpret_cast<const void*>(uintptr_t{0xABCD});
  ExpectAll({
      {Format("%d", {42}), "42"},
      {Format("%5d|%-5d|", {42, 42}), "   42|42   |"},
      {Format("%.5d", {-42}), "-00042"},
      {Format("%3.2d", {7}), " 07"},
      {Format("%d", {int64_t{-9000000000}}), "-9000000000"},
      {Format("%d", {std::numeric_limits<int64_t>::min()}), "-9223372036854775808"},
      {Format("%d", {uint64_t{18446744073709551615u}}), "18446744073709551615"},
      {Format("%d", {4294967295u}), "4294967295"},
      {Format("%u", {-1}), "4294967295"},
      {Format("%u", {int64_t{-1}}), "18446744073709551615"},
      {Format("%x", {255}), "FF"},
      {Format("%.4x|%6x", {255, 0xABC}), "00FF|   ABC"},
      {Format("%x", {-1}), "FFFFFFFF"},
      {Format("%x", {int64_t{-1}}), "FFFFFFFFFFFFFFFF"},
      {Format("%s and %s", {"a", QString("b")}), "a and b"},
      {Format("%s%s%s", {u"ü", 'c', std::string("é")}), "ücé"},
      {Format("%.3s|%6s|%-6s|", {"abcdef", "ab", "ab"}), "abc|    ab|ab    |"},
      {Format("%1:s %0:s %s", {"a", "b"}), "b a b"},
      {Format("%*d|%-*d|%.*f", {4, 7, 3, 7, 1, 2.25}), "   7|7  |2.3"},
      {Format("%2:*.*f|", {9, 9, 6, 2, 1.0}), "  1.00|"},
      {Format("%p", {pointer}), "000000000000ABCD"},
      {Format("%p", {nullptr}), "0000000000000000"},
      {Format("%s", {QString()}), ""},
      {Format("100%% %s", {"done"}), "100% done"},
      {Format("%D %X %S", {10, 10, "s"}), "10 A s"},
      {Format("no specifiers", {}), "no specifiers"},
  });
  EXPECT_EQ(Format("%p", {&marker}), IntToHex(reinterpret_cast<uintptr_t>(&marker), 16));
}

TEST(RtlFormat, Floats) {
  ExpectAll({
      {Format("%f", {3.14159}), "3.14"},
      {Format("%.0f|%.0f|%.0f", {0.5, 1.5, 2.5}), "1|2|3"},
      {Format("%.2f", {0.125}), "0.13"},
      {Format("%.1f", {-0.04}), "0.0"},
      {Format("%8.3f|%-8.1f|", {-1.5, 2.0}), "  -1.500|2.0     |"},
      {Format("%5.2f", {1234.5678}), "1234.57"},
      {Format("%.3f", {1e-10}), "0.000"},
      {Format("%f", {1e17}), "100000000000000000.00"},
      {Format("%f", {1e18}), "1E18"},
      {Format("%e", {1.0}), "1.00000000000000E+000"},
      {Format("%e", {-12345.678}), "-1.23456780000000E+004"},
      {Format("%.3e", {0.00012345}), "1.23E-004"},
      {Format("%.4e", {0.0}), "0.000E+000"},
      {Format("%e", {1e300}), "1.00000000000000E+300"},
      {Format("%e", {1e-1000L}), "1.00000000000000E-1000"},
      {Format("%g", {0.1}), "0.1"},
      {Format("%g", {1e20}), "1E20"},
      {Format("%g", {1.5e-6}), "1.5E-6"},
      {Format("%g", {123456.0}), "123456"},
      {Format("%.3g", {123456.0}), "1.23E5"},
      {Format("%.3g", {0.000123456}), "0.000123"},
      {Format("%.3g", {0.0000123456}), "1.23E-5"},
      {Format("%g", {-0.0}), "0"},
      {Format("%n", {1234567.891}), "1,234,567.89"},
      {Format("%.0n", {-999.5}), "-1,000"},
      {Format("%.1n", {999.94}), "999.9"},
      {Format("%m", {1234.5}), "1,234.50"},
      {Format("%f|%e|%g", {std::nan(""), std::numeric_limits<double>::infinity(),
                           -std::numeric_limits<double>::infinity()}),
       "NAN|INF|-INF"},
      {Format("%6.2f|", {2.0L / 3.0L}), "  0.67|"},
  });
}

TEST(RtlFormat, BadSpecifiersAndArgumentsThrow) {
  const struct {
    const char* fmt;
    std::initializer_list<TVarRec> args;
  } cases[] = {
      {"%d", {1.5}},  {"%f", {1}},     {"%e", {"x"}},   {"%s", {1}},     {"%x", {"s"}},
      {"%p", {1}},    {"%d", {}},      {"%d %d", {1}},  {"%", {}},       {"abc%", {}},
      {"%5", {1}},    {"%q", {1}},     {"%*d", {"x", 1}}, {"%3:d", {1}}, {"%.*s", {1.0, "s"}},
      {"%-", {1}},    {"%*d", {1}},
  };
  for (const auto& c : cases) {
    try {
      Format(c.fmt, c.args);
      ADD_FAILURE() << "no exception for " << c.fmt;
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), QStringLiteral("Format '%1' invalid or incompatible with argument").arg(c.fmt));
      EXPECT_EQ(std::string(e.what()), e.Message().toStdString());
    }
  }
}

TEST(RtlFloatText, FloatToStr) {
  ExpectAll({
      {FloatToStr(0.1), "0.1"},
      {FloatToStr(1e15), "1E15"},
      {FloatToStr(123456789012345.0), "123456789012345"},
      {FloatToStr(1e-5), "1E-5"},
      {FloatToStr(0.0001), "0.0001"},
      {FloatToStr(0.00012), "0.00012"},
      {FloatToStr(-2.5), "-2.5"},
      {FloatToStr(std::numeric_limits<double>::quiet_NaN()), "NAN"},
      {FloatToStr(std::numeric_limits<double>::infinity()), "INF"},
      {FloatToStr(-std::numeric_limits<double>::infinity()), "-INF"},
      {FloatToStr(0.0), "0"},
      {FloatToStr(-0.0), "0"},
      {FloatToStr(100.0), "100"},
      {FloatToStr(1.0 / 3.0), "0.333333333333333"},
      {FloatToStr(2.0 / 3.0), "0.666666666666667"},
      {FloatToStr(1.5e20), "1.5E20"},
      {FloatToStr(-1.5e-20), "-1.5E-20"},
      {FloatToStr(999999999999999.9), "1E15"},
      {FloatToStr(0.30000000000000004), "0.3"},
      {FloatToStr(1.7976931348623157e308), "1.79769313486232E308"},
      {FloatToStr(5e-324), "4.94065645841247E-324"},
      {FloatToStr(1e4000L), "1E4000"},
      {FloatToStr(3.14159265358979323846L), "3.14159265358979"},
  });
}

TEST(RtlFloatText, FloatToStrF) {
  ExpectAll({
      {FloatToStrF(1234.5678, ffFixed, 15, 2), "1234.57"},
      {FloatToStrF(1234.5678, ffNumber, 15, 2), "1,234.57"},
      {FloatToStrF(1234.5678, ffExponent, 4, 2), "1.235E+03"},
      {FloatToStrF(1234.5678, ffExponent, 1, 0), "1E+3"},
      {FloatToStrF(1234.5678, ffGeneral, 6, 0), "1234.57"},
      {FloatToStrF(1234.5678, ffGeneral, 3, 2), "1.23E03"},
      {FloatToStrF(0.5, ffFixed, 15, 0), "1"},
      {FloatToStrF(-0.001, ffFixed, 15, 2), "0.00"},
      {FloatToStrF(1e16, ffFixed, 15, 2), "1E16"},
      {FloatToStrF(12345678.9, ffNumber, 18, 0), "12,345,679"},
      {FloatToStrF(123.0, ffNumber, 15, 0), "123"},
      {FloatToStrF(-123456.0, ffNumber, 15, 1), "-123,456.0"},
      {FloatToStrF(0.000123, ffFixed, 15, 5), "0.00012"},
      {FloatToStrF(99.999, ffFixed, 15, 2), "100.00"},
  });
}

TEST(RtlFloatText, FloatToDecimalDigits) {
  const TFloatRec r = FloatToDecimal(-0.046875, 18, 9999);
  EXPECT_TRUE(r.Negative);
  EXPECT_EQ(r.Exponent, -1);
  EXPECT_EQ(r.Digits, "46875");
  const TFloatRec up = FloatToDecimal(9.96, 2, 9999);
  EXPECT_EQ(up.Exponent, 2);
  EXPECT_EQ(up.Digits, "1");
  const TFloatRec zero = FloatToDecimal(0.004, 18, 2);
  EXPECT_TRUE(zero.Digits.empty());
  EXPECT_FALSE(zero.Negative);
}

}  // namespace
