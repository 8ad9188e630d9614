#include "platform/rtl/format_float.h"

#include "platform/rtl/sys_utils.h"

#include <QStringList>

#include <cmath>
#include <string>

namespace {

// Splits format at the ';' outside quotes.
QStringList Sections(const QString& format) {
  QStringList sections;
  QString current;
  QChar quote;
  for (QChar c : format) {
    if (!quote.isNull()) {
      if (c == quote) quote = QChar();
      current += c;
    } else if (c == u'"' || c == u'\'') {
      quote = c;
      current += c;
    } else if (c == u';') {
      sections << current;
      current.clear();
    } else {
      current += c;
    }
  }
  sections << current;
  return sections;
}

struct TPicture {
  int integerZeros = 0;   // '0' before the point, counted from the first '0'
  int integerDigits = 0;  // all placeholders before the point
  int decimalZeros = 0;   // '0' after the point up to the last '0'
  int decimalDigits = 0;  // all placeholders after the point
  bool thousands = false;
  bool hasPoint = false;
};

TPicture Analyse(const QString& section) {
  TPicture p;
  QChar quote;
  bool seenZero = false;
  for (QChar c : section) {
    if (!quote.isNull()) {
      if (c == quote) quote = QChar();
      continue;
    }
    if (c == u'"' || c == u'\'') {
      quote = c;
    } else if (c == u'.') {
      p.hasPoint = true;
    } else if (c == u',') {
      if (!p.hasPoint) p.thousands = true;
    } else if (c == u'0' || c == u'#') {
      if (p.hasPoint) {
        ++p.decimalDigits;
        if (c == u'0') p.decimalZeros = p.decimalDigits;
      } else {
        ++p.integerDigits;
        if (c == u'0') seenZero = true;
        if (seenZero) ++p.integerZeros;
      }
    }
  }
  return p;
}

QString GroupThousands(const QString& digits) {
  QString out;
  const int n = static_cast<int>(digits.size());
  for (int i = 0; i < n; ++i) {
    if (i > 0 && (n - i) % 3 == 0) out += u',';
    out += digits[i];
  }
  return out;
}

// Writes the section with the digits of |value| (already rounded to the section).
QString Render(const QString& section, const TPicture& p, const TFloatRec& rec, bool withMinus) {
  // The digits of the rounded value: integer part and decimals.
  std::string intPart, fracPart;
  const int exponent = rec.Digits.empty() ? 0 : rec.Exponent;
  for (int i = 0; i < exponent; ++i)
    intPart += i < static_cast<int>(rec.Digits.size()) ? rec.Digits[static_cast<size_t>(i)] : '0';
  for (int i = 0; i < p.decimalDigits; ++i) {
    const int index = exponent + i;
    fracPart += index >= 0 && index < static_cast<int>(rec.Digits.size()) ? rec.Digits[static_cast<size_t>(index)]
                                                                           : '0';
  }
  while (static_cast<int>(intPart.size()) < p.integerZeros) intPart.insert(intPart.begin(), '0');
  // Trailing decimals beyond the last '0' placeholder are dropped when zero.
  while (static_cast<int>(fracPart.size()) > p.decimalZeros && !fracPart.empty() && fracPart.back() == '0')
    fracPart.pop_back();

  QString integerText = QString::fromStdString(intPart);
  if (p.thousands) integerText = GroupThousands(integerText);
  const QString fractionText = QString::fromStdString(fracPart);

  QString out;
  if (withMinus) out += u'-';
  QChar quote;
  bool integerWritten = false;
  bool pointSeen = false;
  int decimalIndex = 0;
  for (QChar c : section) {
    if (!quote.isNull()) {
      if (c == quote)
        quote = QChar();
      else
        out += c;
      continue;
    }
    if (c == u'"' || c == u'\'') {
      quote = c;
    } else if ((c == u'0' || c == u'#' || c == u',') && !pointSeen) {
      // All integer digits go where the first integer placeholder stands.
      if (!integerWritten && c != u',') {
        out += integerText;
        integerWritten = true;
      }
    } else if (c == u'.' && !pointSeen) {
      pointSeen = true;
      if (!integerWritten) {
        out += integerText;
        integerWritten = true;
      }
      if (!fractionText.isEmpty()) out += u'.';
    } else if ((c == u'0' || c == u'#') && pointSeen) {
      if (decimalIndex < fractionText.size()) out += fractionText[decimalIndex];
      ++decimalIndex;
    } else if (c == u',') {
      // A ',' among the decimals is no separator and shows nothing.
    } else {
      out += c;
    }
  }
  if (!integerWritten && (p.integerDigits > 0 || p.decimalDigits > 0)) out += integerText;
  return out;
}

}  // namespace

QString FormatFloat(const QString& format, long double value) {
  if (format.isEmpty() || !std::isfinite(value)) return FloatToStr(value);
  const QStringList sections = Sections(format);
  const QString positive = sections[0];
  const bool ownNegative = sections.size() > 1 && !sections[1].isEmpty();
  const bool ownZero = sections.size() > 2 && !sections[2].isEmpty();

  QString section = positive;
  if (value < 0 && ownNegative) section = sections[1];
  TPicture picture = Analyse(section);
  TFloatRec rec = FloatToDecimal(std::fabs(value), 18, picture.decimalDigits);
  // A value that rounds to zero takes the zero section, else the positive one.
  if (rec.Digits.empty()) {
    if (ownZero) {
      section = sections[2];
      picture = Analyse(section);
      rec = FloatToDecimal(0.0L, 18, picture.decimalDigits);
    } else if (section != positive) {
      section = positive;
      picture = Analyse(section);
    }
    return Render(section, picture, rec, false);
  }
  return Render(section, picture, rec, value < 0 && !ownNegative);
}
