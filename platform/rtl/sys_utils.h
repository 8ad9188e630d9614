#pragma once
// Number and string conversions with the runtime's rules: '.' is the decimal
// separator whatever the machine's locale, floats print with up to 15 significant
// digits in the general form, case-insensitive compares fold ASCII letters only,
// and a failed conversion throws EConvertError.
//
// Sources: sys_utils.cpp (integers, parsing, strings), float_text.cpp (float to
// text), format.cpp (Format).

#include <QString>

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <type_traits>

class EConvertError : public std::runtime_error {
public:
  explicit EConvertError(const QString& message);
  const QString& Message() const { return message_; }

private:
  QString message_;
};

// ---- Float to text ---------------------------------------------------------

enum TFloatFormat : uint8_t { ffGeneral, ffExponent, ffFixed, ffNumber };

// A value as decimal digits: value = 0.Digits x 10^Exponent. Digits holds at most
// 18 significant digits without trailing zeros; empty for zero. Exponent is
// 0x7FFF for an infinity and -0x8000 for NaN.
struct TFloatRec {
  int Exponent = 0;
  bool Negative = false;
  std::string Digits;
};

// Rounds to at most `precision` (1..18) significant digits and at most `decimals`
// digits after the decimal point, half away from zero.
TFloatRec FloatToDecimal(long double value, int precision, int decimals);

// ffGeneral: shortest of fixed and scientific with `precision` significant digits;
//   scientific when the integer digits exceed the precision or |v| < 0.0001; the
//   exponent has at least `digits` digits and a sign only when negative ("1E-5").
// ffExponent: "-d.ddddE+ddd", `precision` digits in all, exponent with a sign and
//   at least `digits` (0..4) digits.
// ffFixed: `digits` decimals (0..18); scientific when the integer digits exceed
//   the precision. ffNumber: ffFixed with ',' thousands separators.
// NaN and infinities give "NAN", "INF", "-INF".
QString FloatToStrF(long double value, TFloatFormat format, int precision, int digits);
QString FloatToStr(long double value);  // FloatToStrF(value, ffGeneral, 15, 0)

// ---- Integers ----------------------------------------------------------------

QString IntToStr(int64_t value);
QString UIntToStr(uint64_t value);
template <std::integral T>
QString IntToStr(T value) {
  if constexpr (std::is_signed_v<T>)
    return IntToStr(static_cast<int64_t>(value));
  else
    return UIntToStr(static_cast<uint64_t>(value));
}

// Upper-case hex with at least `digits` digits. Negative values show their two's
// complement in the argument's width (32 bits for int and smaller, else 64).
QString IntToHex(uint64_t value, int digits);
template <std::integral T>
QString IntToHex(T value, int digits) {
  if constexpr (sizeof(T) <= 4)
    return IntToHex(static_cast<uint64_t>(static_cast<uint32_t>(value)), digits);
  else
    return IntToHex(static_cast<uint64_t>(value), digits);
}

// Accepted: leading spaces, an optional sign, then decimal digits or hex digits
// after "$", "x" or "0x". Nothing may follow. Decimal values must fit the type;
// hex values may use the full unsigned width and wrap ("$FFFFFFFF" is -1).
// Failure: EConvertError "'<s>' is not a valid integer value".
int StrToInt(const QString& s);
int StrToIntDef(const QString& s, int defaultValue);
bool TryStrToInt(const QString& s, int& value);
int64_t StrToInt64(const QString& s);
int64_t StrToInt64Def(const QString& s, int64_t defaultValue);
bool TryStrToInt64(const QString& s, int64_t& value);

// Accepted: optional blanks, sign, digits with an optional '.' fraction, an
// optional exponent ("1.5E-3"), optional blanks; also "INF", "-INF" and "NAN" as
// FloatToStr writes them. ',' is never a separator. Out of the extended range is
// invalid; underflow gives the nearest denormal or zero.
// Failure: EConvertError "'<s>' is not a valid floating point value".
long double StrToFloat(const QString& s);
long double StrToFloatDef(const QString& s, long double defaultValue);
bool TryStrToFloat(const QString& s, long double& value);
bool TryStrToFloat(const QString& s, double& value);

// ---- Strings -------------------------------------------------------------------

// Trim removes every character <= ' ' (blanks and control characters).
QString Trim(const QString& s);
QString TrimLeft(const QString& s);
QString TrimRight(const QString& s);
// ASCII letters only; other characters are left as they are.
QString UpperCase(const QString& s);
QString LowerCase(const QString& s);
bool SameText(const QString& a, const QString& b);
// <0, 0, >0 comparing code units after folding 'a'..'z' to upper case.
int CompareText(const QString& a, const QString& b);

// ---- Format --------------------------------------------------------------------

// One argument of Format: an integer (32- or 64-bit, as the C++ type), an
// extended float, a string or a pointer.
struct TVarRec {
  enum TKind : uint8_t { vtInteger, vtInt64, vtUInt64, vtExtended, vtString, vtPointer };

  TVarRec(int v) : kind(vtInteger), i(v) {}
  TVarRec(unsigned v) : kind(vtInt64), i(v) {}
  TVarRec(long v) : kind(sizeof(long) == 4 ? vtInteger : vtInt64), i(v) {}
  TVarRec(long long v) : kind(vtInt64), i(v) {}
  TVarRec(unsigned long v) : kind(vtUInt64), u(v) {}
  TVarRec(unsigned long long v) : kind(vtUInt64), u(v) {}
  TVarRec(double v) : kind(vtExtended), e(v) {}
  TVarRec(long double v) : kind(vtExtended), e(v) {}
  TVarRec(const QString& v) : kind(vtString), s(v) {}
  TVarRec(const char* v) : kind(vtString), s(QString::fromUtf8(v)) {}
  TVarRec(const char16_t* v) : kind(vtString), s(QString::fromUtf16(v)) {}
  TVarRec(char* v) : TVarRec(static_cast<const char*>(v)) {}
  TVarRec(char16_t* v) : TVarRec(static_cast<const char16_t*>(v)) {}
  TVarRec(const std::string& v) : kind(vtString), s(QString::fromStdString(v)) {}
  TVarRec(char v) : kind(vtString), s(QChar::fromLatin1(v)) {}
  TVarRec(char16_t v) : kind(vtString), s(QChar(v)) {}
  TVarRec(QChar v) : kind(vtString), s(v) {}
  template <typename T>
  TVarRec(T* v) : kind(vtPointer), p(v) {}
  TVarRec(std::nullptr_t) : kind(vtPointer) {}
  TVarRec(bool) = delete;  // no Boolean argument kind: say 1/0 or a text

  TKind kind;
  int64_t i = 0;
  uint64_t u = 0;
  long double e = 0;
  QString s;
  const void* p = nullptr;
};

// %[index:][-][width][.precision]type; index, width and precision may be '*'
// (taken from the next integer argument). Types (case-insensitive):
//   d  signed decimal; precision = minimum digits, zero-padded
//   u  unsigned decimal (a negative 32-bit argument counts as its 32-bit pattern)
//   x  upper-case hex; precision = minimum digits
//   e  "-d.dddE+ddd", precision = digits in all (default 15)
//   f  fixed, precision = decimals (default 2)
//   g  general, precision = significant digits (default 15)
//   n, m  as f with ',' thousands separators
//   p  pointer as 16 hex digits
//   s  string; precision = maximum length
// "%%" is '%'. A bad specifier, a missing argument or an argument of the wrong
// kind throws EConvertError "Format '<fmt>' invalid or incompatible with argument".
QString Format(const QString& fmt, std::initializer_list<TVarRec> args);
