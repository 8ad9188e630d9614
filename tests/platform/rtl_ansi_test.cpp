#include "platform/rtl/ansi.h"
#include "tests/support/qstring_print.h"

#include <gtest/gtest.h>

#include <iconv.h>

#include <optional>

namespace {

// The C library's own CP1252 table, as a second opinion on every byte.
std::optional<char32_t> IconvCp1252(uint8_t byte) {
  iconv_t cd = iconv_open("UTF-32LE", "CP1252");
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  char in[1] = {static_cast<char>(byte)};
  char out[8] = {};
  char* inPtr = in;
  char* outPtr = out;
  size_t inLeft = 1, outLeft = sizeof out;
  const size_t r = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
  iconv_close(cd);
  if (r == static_cast<size_t>(-1) || outLeft != 4) return std::nullopt;
  return static_cast<char32_t>(uint8_t(out[0]) | uint8_t(out[1]) << 8 | uint8_t(out[2]) << 16 | uint8_t(out[3]) << 24);
}

TEST(RtlAnsi, EveryByteDecodesAsWindows1252) {
  if (!IconvCp1252('A')) GTEST_SKIP() << "no CP1252 converter in the C library";
  const uint8_t unassigned[] = {0x81, 0x8D, 0x8F, 0x90, 0x9D};
  for (int b = 0; b < 256; ++b) {
    const QString text = AnsiToString(QByteArray(1, static_cast<char>(b)));
    ASSERT_EQ(text.size(), 1);
    const bool isUnassigned = std::find(std::begin(unassigned), std::end(unassigned), b) != std::end(unassigned);
    const std::optional<char32_t> expected = isUnassigned ? char32_t(b) : IconvCp1252(static_cast<uint8_t>(b));
    ASSERT_TRUE(expected.has_value()) << b;
    EXPECT_EQ(text[0].unicode(), *expected) << "byte " << b;
    EXPECT_EQ(StringToAnsi(text), QByteArray(1, static_cast<char>(b))) << "byte " << b;
  }
}

TEST(RtlAnsi, KnownCharacters) {
  EXPECT_EQ(AnsiToString("caf\xE9 \x80 \x93q\x94 \x9F"), QString::fromUtf8("café € “q” Ÿ"));
  EXPECT_EQ(StringToAnsi(QString::fromUtf8("café € “q” Ÿ")), QByteArray("caf\xE9 \x80 \x93q\x94 \x9F"));
}

TEST(RtlAnsi, UnmappableBecomesQuestionMark) {
  EXPECT_EQ(StringToAnsi(QString::fromUtf8("Łódź")), QByteArray("?\xF3" "d?"));
  EXPECT_EQ(StringToAnsi(QString::fromUtf8("Привет")), QByteArray("??????"));
  EXPECT_EQ(StringToAnsi(QString::fromUtf8("a😀b")), QByteArray("a?b")) << "one '?' per code point";
  EXPECT_EQ(StringToAnsi(QString()), QByteArray());
}

}  // namespace
