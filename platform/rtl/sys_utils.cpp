#include "platform/rtl/sys_utils.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <locale.h>

EConvertError::EConvertError(const QString& message)
    : std::runtime_error(message.toStdString()), message_(message) {}

// ---- Integers ----------------------------------------------------------------

QString IntToStr(int64_t value) { return QString::number(static_cast<qlonglong>(value)); }
QString UIntToStr(uint64_t value) { return QString::number(static_cast<qulonglong>(value)); }

QString IntToHex(uint64_t value, int digits) {
  QString hex = QString::number(static_cast<qulonglong>(value), 16).toUpper();
  if (hex.size() < digits) hex.prepend(QString(digits - hex.size(), u'0'));
  return hex;
}

namespace {

// Parses as the runtime's Val does. `bits` is 32 or 64; the result is sign-extended
// to 64 bits.
bool ParseInteger(const QString& s, int bits, int64_t& result) {
  const qsizetype n = s.size();
  qsizetype i = 0;
  while (i < n && s[i] == u' ') ++i;
  bool negative = false;
  if (i < n && (s[i] == u'+' || s[i] == u'-')) negative = s[i++] == u'-';
  bool hex = false;
  if (i < n && (s[i] == u'$' || s[i] == u'x' || s[i] == u'X')) {
    hex = true;
    ++i;
  } else if (i + 1 < n && s[i] == u'0' && (s[i + 1] == u'x' || s[i + 1] == u'X')) {
    hex = true;
    i += 2;
  }
  if (i >= n) return false;

  const uint64_t base = hex ? 16 : 10;
  uint64_t limit;
  if (hex)
    limit = bits == 64 ? std::numeric_limits<uint64_t>::max() : 0xFFFFFFFFull;
  else
    limit = (uint64_t{1} << (bits - 1)) - (negative ? 0 : 1);

  uint64_t v = 0;
  for (; i < n; ++i) {
    const char16_t c = s[i].unicode();
    uint64_t d;
    if (c >= u'0' && c <= u'9')
      d = c - u'0';
    else if (hex && c >= u'A' && c <= u'F')
      d = c - u'A' + 10;
    else if (hex && c >= u'a' && c <= u'f')
      d = c - u'a' + 10;
    else
      return false;
    if (v > (limit - d) / base) return false;
    v = v * base + d;
  }
  // Two's-complement negation in the target width; C++20 defines the narrowing.
  if (negative) v = 0 - v;
  result = bits == 32 ? static_cast<int64_t>(static_cast<int32_t>(static_cast<uint32_t>(v)))
                      : static_cast<int64_t>(v);
  return true;
}

[[noreturn]] void ThrowInvalidInteger(const QString& s) {
  throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(s));
}

}  // namespace

bool TryStrToInt(const QString& s, int& value) {
  int64_t v;
  if (!ParseInteger(s, 32, v)) return false;
  value = static_cast<int>(v);
  return true;
}

int StrToInt(const QString& s) {
  int v;
  if (!TryStrToInt(s, v)) ThrowInvalidInteger(s);
  return v;
}

int StrToIntDef(const QString& s, int defaultValue) {
  int v;
  return TryStrToInt(s, v) ? v : defaultValue;
}

bool TryStrToInt64(const QString& s, int64_t& value) { return ParseInteger(s, 64, value); }

int64_t StrToInt64(const QString& s) {
  int64_t v;
  if (!TryStrToInt64(s, v)) ThrowInvalidInteger(s);
  return v;
}

int64_t StrToInt64Def(const QString& s, int64_t defaultValue) {
  int64_t v;
  return TryStrToInt64(s, v) ? v : defaultValue;
}

// ---- Floats ------------------------------------------------------------------

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Checks the accepted syntax on an ASCII copy, then converts with the "C" locale so
// the machine's decimal separator never matters.
bool ParseFloat(const QString& s, long double& result) {
  qsizetype first = 0, last = s.size();
  while (first < last && s[first] == u' ') ++first;
  while (last > first && s[last - 1] == u' ') --last;
  std::string text;
  for (qsizetype i = first; i < last; ++i) {
    const char16_t c = s[i].unicode();
    if (c >= 0x80 || c == 0) return false;
    text += static_cast<char>(c);
  }

  size_t i = 0;
  const bool negative = i < text.size() && text[i] == '-';
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  std::string word = text.substr(i);
  for (char& c : word) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (word == "INF") {
    result = negative ? -std::numeric_limits<long double>::infinity() : std::numeric_limits<long double>::infinity();
    return true;
  }
  if (word == "NAN") {
    result = std::numeric_limits<long double>::quiet_NaN();
    return true;
  }

  size_t mantissaDigits = 0;
  while (i < text.size() && IsDigit(text[i])) ++i, ++mantissaDigits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && IsDigit(text[i])) ++i, ++mantissaDigits;
  }
  if (mantissaDigits == 0) return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    size_t exponentDigits = 0;
    while (i < text.size() && IsDigit(text[i])) ++i, ++exponentDigits;
    if (exponentDigits == 0) return false;
  }
  if (i != text.size()) return false;

  static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t{});
  errno = 0;
  char* end = nullptr;
  const long double v = strtold_l(text.c_str(), &end, cLocale);
  if (end != text.c_str() + text.size()) return false;
  if (errno == ERANGE && std::isinf(v)) return false;  // beyond the extended range
  result = v;
  return true;
}

[[noreturn]] void ThrowInvalidFloat(const QString& s) {
  throw EConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(s));
}

}  // namespace

bool TryStrToFloat(const QString& s, long double& value) { return ParseFloat(s, value); }

bool TryStrToFloat(const QString& s, double& value) {
  long double v;
  if (!ParseFloat(s, v)) return false;
  value = static_cast<double>(v);
  return true;
}

long double StrToFloat(const QString& s) {
  long double v;
  if (!ParseFloat(s, v)) ThrowInvalidFloat(s);
  return v;
}

long double StrToFloatDef(const QString& s, long double defaultValue) {
  long double v;
  return ParseFloat(s, v) ? v : defaultValue;
}

// ---- Strings -------------------------------------------------------------------

namespace {
bool IsBlank(QChar c) { return c.unicode() <= u' '; }
char16_t FoldUpper(char16_t c) { return c >= u'a' && c <= u'z' ? c - (u'a' - u'A') : c; }
char16_t FoldLower(char16_t c) { return c >= u'A' && c <= u'Z' ? c + (u'a' - u'A') : c; }
}  // namespace

QString Trim(const QString& s) { return TrimLeft(TrimRight(s)); }

QString TrimLeft(const QString& s) {
  qsizetype i = 0;
  while (i < s.size() && IsBlank(s[i])) ++i;
  return s.mid(i);
}

QString TrimRight(const QString& s) {
  qsizetype n = s.size();
  while (n > 0 && IsBlank(s[n - 1])) --n;
  return s.left(n);
}

QString UpperCase(const QString& s) {
  QString r = s;
  for (QChar& c : r) c = QChar(FoldUpper(c.unicode()));
  return r;
}

QString LowerCase(const QString& s) {
  QString r = s;
  for (QChar& c : r) c = QChar(FoldLower(c.unicode()));
  return r;
}

int CompareText(const QString& a, const QString& b) {
  const qsizetype n = std::min(a.size(), b.size());
  for (qsizetype i = 0; i < n; ++i) {
    const int d = int(FoldUpper(a[i].unicode())) - int(FoldUpper(b[i].unicode()));
    if (d != 0) return d;
  }
  return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

bool SameText(const QString& a, const QString& b) { return a.size() == b.size() && CompareText(a, b) == 0; }
