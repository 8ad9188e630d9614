// Float to text: FloatToDecimal produces rounded decimal digits, the formatters
// lay them out. Digits come from the correctly rounded 18-digit decimal form of the
// value and are then rounded half away from zero to the requested length, so
// 0.125 with two decimals gives "0.13" as the runtime's decimal conversion does.

#include "platform/rtl/sys_utils.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace {

constexpr int MaxDigits = 18;
constexpr int ExponentInf = 0x7FFF;
constexpr int ExponentNaN = -0x8000;

QString SpecialText(const TFloatRec& rec) {
  if (rec.Exponent == ExponentNaN) return QStringLiteral("NAN");
  return rec.Negative ? QStringLiteral("-INF") : QStringLiteral("INF");
}

bool IsSpecial(const TFloatRec& rec) { return rec.Exponent == ExponentNaN || rec.Exponent == ExponentInf; }

QString Sign(const TFloatRec& rec) { return rec.Negative && !rec.Digits.empty() ? QStringLiteral("-") : QString(); }

QString PaddedNumber(int value, int minDigits) {
  QString s = QString::number(value);
  if (s.size() < minDigits) s.prepend(QString(minDigits - s.size(), u'0'));
  return s;
}

// d[.ddd]E[-]x: the exponent has a sign only when negative.
QString GeneralScientific(const TFloatRec& rec, int exponentDigits) {
  const std::string& d = rec.Digits;
  QString s = Sign(rec) + QChar::fromLatin1(d[0]);
  if (d.size() > 1) s += u'.' + QString::fromLatin1(d.data() + 1, static_cast<qsizetype>(d.size() - 1));
  const int e = rec.Exponent - 1;
  s += u'E';
  if (e < 0) s += u'-';
  return s + PaddedNumber(std::abs(e), exponentDigits);
}

// Integer digits, optional thousands separators, then `decimals` fraction digits
// (decimals < 0: as many as the digits go).
QString FixedText(const TFloatRec& rec, int decimals, bool thousands) {
  const std::string& d = rec.Digits;
  const int len = static_cast<int>(d.size());
  const int e = rec.Exponent;
  auto digitAt = [&](int k) { return k >= 0 && k < len ? QChar::fromLatin1(d[k]) : QChar(u'0'); };

  QString integer;
  if (e <= 0) {
    integer = QStringLiteral("0");
  } else {
    for (int k = 0; k < e; ++k) integer += digitAt(k);
    if (thousands)
      for (qsizetype pos = integer.size() - 3; pos > 0; pos -= 3) integer.insert(pos, u',');
  }
  const int count = decimals < 0 ? std::max(0, len - e) : decimals;
  QString fraction;
  for (int j = 0; j < count; ++j) fraction += digitAt(e + j);
  return Sign(rec) + integer + (count > 0 ? u'.' + fraction : QString());
}

QString GeneralText(long double value, int precision, int exponentDigits) {
  const TFloatRec rec = FloatToDecimal(value, precision, 9999);
  if (IsSpecial(rec)) return SpecialText(rec);
  if (rec.Digits.empty()) return QStringLiteral("0");
  if (rec.Exponent > precision || rec.Exponent < -3) return GeneralScientific(rec, exponentDigits);
  return FixedText(rec, -1, false);
}

}  // namespace

TFloatRec FloatToDecimal(long double value, int precision, int decimals) {
  TFloatRec rec;
  if (std::isnan(value)) {
    rec.Exponent = ExponentNaN;
    return rec;
  }
  if (std::isinf(value)) {
    rec.Exponent = ExponentInf;
    rec.Negative = value < 0;
    return rec;
  }
  if (value == 0) return rec;
  rec.Negative = value < 0;
  precision = std::clamp(precision, 1, MaxDigits);

  // "d.ddddddddddddddddde+x": 18 significant digits, correctly rounded.
  char buf[64];
  const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, MaxDigits - 1);
  *res.ptr = '\0';
  std::string digits(1, buf[0]);
  digits.append(buf + 2, MaxDigits - 1);
  int exponent = std::atoi(buf + 2 + (MaxDigits - 1) + 1) + 1;

  const int keep = static_cast<int>(std::min<long>(precision, static_cast<long>(exponent) + decimals));
  if (keep < 0) return TFloatRec{};
  const bool roundUp = keep < MaxDigits && digits[keep] >= '5';
  digits.resize(keep);
  if (roundUp) {
    int k = keep - 1;
    while (k >= 0 && digits[k] == '9') digits[k--] = '0';
    if (k >= 0) {
      ++digits[k];
    } else {
      digits.insert(digits.begin(), '1');
      ++exponent;
    }
  }
  while (!digits.empty() && digits.back() == '0') digits.pop_back();
  if (digits.empty()) return TFloatRec{};
  rec.Digits = std::move(digits);
  rec.Exponent = exponent;
  return rec;
}

QString FloatToStrF(long double value, TFloatFormat format, int precision, int digits) {
  precision = std::clamp(precision, 1, MaxDigits);
  switch (format) {
    case ffGeneral:
      return GeneralText(value, precision, std::clamp(digits, 0, 4));
    case ffExponent: {
      const TFloatRec rec = FloatToDecimal(value, precision, 9999);
      if (IsSpecial(rec)) return SpecialText(rec);
      QString mantissa;
      for (int k = 0; k < precision; ++k)
        mantissa += k < static_cast<int>(rec.Digits.size()) ? QChar::fromLatin1(rec.Digits[k]) : QChar(u'0');
      if (precision > 1) mantissa.insert(1, u'.');
      const int e = rec.Digits.empty() ? 0 : rec.Exponent - 1;
      return Sign(rec) + mantissa + u'E' + (e < 0 ? u'-' : u'+') + PaddedNumber(std::abs(e), std::clamp(digits, 0, 4));
    }
    case ffFixed:
    case ffNumber: {
      digits = std::clamp(digits, 0, MaxDigits);
      const TFloatRec rec = FloatToDecimal(value, precision, digits);
      if (IsSpecial(rec)) return SpecialText(rec);
      if (rec.Exponent > precision) return GeneralText(value, precision, 0);
      return FixedText(rec, digits, format == ffNumber);
    }
  }
  return QString();
}

QString FloatToStr(long double value) { return FloatToStrF(value, ffGeneral, 15, 0); }
