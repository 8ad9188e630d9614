#include "platform/rtl/ansi.h"

#include <QList>
#include <QStringView>

#include <array>

namespace {

constexpr std::array<char16_t, 32> HighTable = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88..8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98..9F
};

char16_t AnsiToUnicode(uint8_t b) { return b >= 0x80 && b < 0xA0 ? HighTable[b - 0x80] : char16_t(b); }

// '?' when the code point has no byte.
char UnicodeToAnsi(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  for (size_t k = 0; k < HighTable.size(); ++k)
    if (HighTable[k] == c) return static_cast<char>(0x80 + k);
  return '?';
}

}  // namespace

QString AnsiToString(const QByteArray& bytes) {
  QString text(bytes.size(), Qt::Uninitialized);
  for (qsizetype k = 0; k < bytes.size(); ++k) text[k] = QChar(AnsiToUnicode(static_cast<uint8_t>(bytes[k])));
  return text;
}

QByteArray StringToAnsi(const QString& text) {
  QByteArray bytes;
  bytes.reserve(text.size());
  for (const char32_t c : QStringView(text).toUcs4()) bytes += UnicodeToAnsi(c);
  return bytes;
}
