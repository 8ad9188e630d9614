#include "platform/rtl/sys_utils.h"
#include "tests/support/qstring_print.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <optional>

namespace {

TEST(RtlSysUtils, IntegerText) {
  EXPECT_EQ(IntToStr(0), "0");
  EXPECT_EQ(IntToStr(-2147483647 - 1), "-2147483648");
  EXPECT_EQ(IntToStr(std::numeric_limits<int64_t>::min()), "-9223372036854775808");
  EXPECT_EQ(IntToStr(std::numeric_limits<uint64_t>::max()), "18446744073709551615");
  EXPECT_EQ(IntToStr(uint8_t{200}), "200");
  EXPECT_EQ(IntToHex(255, 4), "00FF");
  EXPECT_EQ(IntToHex(0xABCDEF, 2), "ABCDEF");
  EXPECT_EQ(IntToHex(-1, 2), "FFFFFFFF");
  EXPECT_EQ(IntToHex(int16_t{-1}, 0), "FFFFFFFF");
  EXPECT_EQ(IntToHex(int64_t{-2}, 0), "FFFFFFFFFFFFFFFE");
  EXPECT_EQ(IntToHex(uint64_t{0}, 0), "0");
}

TEST(RtlSysUtils, StrToInt) {
  const struct {
    const char* text;
    std::optional<int> value;
  } cases[] = {
      {"0", 0},
      {"123", 123},
      {"-123", -123},
      {"+7", 7},
      {"   42", 42},
      {"007", 7},
      {"$FF", 255},
      {"$ff", 255},
      {"0x1F", 31},
      {"0X1f", 31},
      {"x10", 16},
      {"-$10", -16},
      {"2147483647", 2147483647},
      {"-2147483648", -2147483647 - 1},
      {"$FFFFFFFF", -1},
      {"$80000000", -2147483647 - 1},
      {"", std::nullopt},
      {"   ", std::nullopt},
      {"2147483648", std::nullopt},
      {"-2147483649", std::nullopt},
      {"99999999999999999999", std::nullopt},
      {"$100000000", std::nullopt},
      {"42 ", std::nullopt},
      {"4 2", std::nullopt},
      {"- 4", std::nullopt},
      {"1.0", std::nullopt},
      {"1e3", std::nullopt},
      {"abc", std::nullopt},
      {"$", std::nullopt},
      {"0x", std::nullopt},
      {"+", std::nullopt},
      {"--1", std::nullopt},
      {"$G", std::nullopt},
      {"\t5", std::nullopt},
      {"１２", std::nullopt},
  };
  for (const auto& c : cases) {
    const QString text = QString::fromUtf8(c.text);
    SCOPED_TRACE(c.text);
    int v = 12345;
    EXPECT_EQ(TryStrToInt(text, v), c.value.has_value());
    EXPECT_EQ(StrToIntDef(text, -99), c.value.value_or(-99));
    if (c.value) {
      EXPECT_EQ(v, *c.value);
      EXPECT_EQ(StrToInt(text), *c.value);
    } else {
      EXPECT_EQ(v, 12345) << "a failed conversion leaves the output alone";
      try {
        StrToInt(text);
        ADD_FAILURE() << "no exception";
      } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("'%1' is not a valid integer value").arg(text));
      }
    }
  }
}

TEST(RtlSysUtils, StrToInt64) {
  const struct {
    const char* text;
    std::optional<int64_t> value;
  } cases[] = {
      {"9223372036854775807", std::numeric_limits<int64_t>::max()},
      {"-9223372036854775808", std::numeric_limits<int64_t>::min()},
      {"2147483648", 2147483648},
      {"$FFFFFFFFFFFFFFFF", -1},
      {"0x7FFFFFFFFFFFFFFF", std::numeric_limits<int64_t>::max()},
      {"9223372036854775808", std::nullopt},
      {"$10000000000000000", std::nullopt},
      {"12a", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    int64_t v = 0;
    EXPECT_EQ(TryStrToInt64(c.text, v), c.value.has_value());
    EXPECT_EQ(StrToInt64Def(c.text, 77), c.value.value_or(77));
    if (c.value)
      EXPECT_EQ(StrToInt64(c.text), *c.value);
    else
      EXPECT_THROW(StrToInt64(c.text), EConvertError);
  }
}

TEST(RtlSysUtils, StrToFloat) {
  const long double inf = std::numeric_limits<long double>::infinity();
  const struct {
    const char* text;
    std::optional<long double> value;
  } cases[] = {
      {"1.5", 1.5L},
      {"  1.5  ", 1.5L},
      {"-2.5e3", -2500.0L},
      {"1E-3", 0.001L},
      {"+3", 3.0L},
      {".5", 0.5L},
      {"5.", 5.0L},
      {"0.1", 0.1L},
      {"1e400", 1e400L},
      {"1e-5000", 0.0L},
      {"INF", inf},
      {"-inf", -inf},
      {"1e5000", std::nullopt},
      {"1,5", std::nullopt},
      {"1.5.2", std::nullopt},
      {"", std::nullopt},
      {".", std::nullopt},
      {"abc", std::nullopt},
      {"e5", std::nullopt},
      {"1e", std::nullopt},
      {"1e+", std::nullopt},
      {"0x10", std::nullopt},
      {"infinity", std::nullopt},
      {"1 000", std::nullopt},
      {"\t1.5", std::nullopt},
      {"1.5x", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const QString text = QString::fromUtf8(c.text);
    long double v = 42;
    EXPECT_EQ(TryStrToFloat(text, v), c.value.has_value());
    EXPECT_EQ(StrToFloatDef(text, -1), c.value.value_or(-1));
    if (c.value) {
      EXPECT_EQ(v, *c.value);
      EXPECT_EQ(StrToFloat(text), *c.value);
    } else {
      try {
        StrToFloat(text);
        ADD_FAILURE() << "no exception";
      } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("'%1' is not a valid floating point value").arg(text));
      }
    }
  }
  long double nan = 0;
  EXPECT_TRUE(TryStrToFloat("NAN", nan));
  EXPECT_TRUE(std::isnan(nan));
  double d = 0;
  EXPECT_TRUE(TryStrToFloat(" 0.1", d));
  EXPECT_EQ(d, 0.1);
}

TEST(RtlSysUtils, FloatTextRoundTripsThroughFloatToStr) {
  for (const double v : {0.1, -2.5, 1e15, 1e-5, 123456.789, 6.02214076e23, -1.25e-300}) {
    SCOPED_TRACE(v);
    EXPECT_EQ(static_cast<double>(StrToFloat(FloatToStr(v))), v);
  }
}

// The machine's locale must not change the decimal separator. Uses an installed
// locale with a ',' separator, or builds one into a temporary folder.
class CommaLocale {
public:
  CommaLocale() {
    saved_ = std::setlocale(LC_NUMERIC, nullptr);
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "ru_RU.UTF-8", "de_DE"})
      if (std::setlocale(LC_NUMERIC, name)) {
        Check();
        return;
      }
    if (!dir_.isValid() || !QFile::exists("/usr/share/i18n/locales/de_DE")) return;
    QProcess localedef;
    localedef.start("localedef", {"-i", "de_DE", "-f", "UTF-8", dir_.filePath("de_DE.UTF-8")});
    if (!localedef.waitForFinished(60000) || localedef.exitCode() != 0) return;
    setenv("LOCPATH", QFile::encodeName(dir_.path()).constData(), 1);
    usesLocPath_ = true;
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) Check();
  }
  ~CommaLocale() {
    std::setlocale(LC_NUMERIC, saved_.c_str());
    if (usesLocPath_) unsetenv("LOCPATH");
  }
  bool active() const { return active_; }

private:
  void Check() { active_ = std::string(std::localeconv()->decimal_point) == ","; }

  std::string saved_;
  QTemporaryDir dir_;
  bool usesLocPath_ = false;
  bool active_ = false;
};

TEST(RtlSysUtils, DecimalSeparatorIgnoresTheLocale) {
  CommaLocale locale;
  if (!locale.active()) GTEST_SKIP() << "no locale with a ',' decimal separator";
  ASSERT_EQ(std::strtod("1.5", nullptr), 1.0) << "the C library now reads ',' decimals";

  EXPECT_EQ(StrToFloat("1.5"), 1.5L);
  EXPECT_EQ(StrToFloat("-2.25e2"), -225.0L);
  long double v;
  EXPECT_FALSE(TryStrToFloat("1,5", v));
  EXPECT_EQ(FloatToStr(1.5), "1.5");
  EXPECT_EQ(FloatToStrF(1234.5, ffNumber, 15, 2), "1,234.50");
  EXPECT_EQ(Format("%.2f|%e|%g", {2.5, 2.5, 2.5}), "2.50|2.50000000000000E+000|2.5");
}

TEST(RtlSysUtils, TrimAndCase) {
  EXPECT_EQ(Trim(QString(" \t\r\n abc \x01\x1F ")), "abc");
  EXPECT_EQ(TrimLeft("  a b  "), "a b  ");
  EXPECT_EQ(TrimRight("  a b  "), "  a b");
  EXPECT_EQ(Trim(QString::fromUtf8("\u00A0x\u00A0")), QString::fromUtf8("\u00A0x\u00A0")) << "only characters <= ' '";
  EXPECT_EQ(Trim("   "), "");

  EXPECT_EQ(UpperCase(QString::fromUtf8("abc-xyzé")), QString::fromUtf8("ABC-XYZé"));
  EXPECT_EQ(LowerCase(QString::fromUtf8("ABC-XYZÉ")), QString::fromUtf8("abc-xyzÉ"));

  EXPECT_TRUE(SameText("Section", "SECTION"));
  EXPECT_FALSE(SameText("Section", "Sections"));
  EXPECT_FALSE(SameText(QString::fromUtf8("é"), QString::fromUtf8("É")));
  const struct {
    const char* a;
    const char* b;
    int sign;
  } cases[] = {
      {"abc", "ABC", 0}, {"abc", "abd", -1}, {"b", "A", 1}, {"ab", "abc", -1}, {"abc", "AB", 1},
      {"", "", 0},       {"a_", "A", 1},     {"_", "a", 1},  // '_' (0x5F) sorts after the upper-case letters
  };
  for (const auto& c : cases) {
    const int r = CompareText(c.a, c.b);
    EXPECT_EQ((r > 0) - (r < 0), c.sign) << c.a << " vs " << c.b;
  }
}

}  // namespace
