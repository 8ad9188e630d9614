#include "profiledata/number_text.h"

#include "platform/rtl/sys_utils.h"

bool IsDigitsOnly(const QString& text) {
  for (const QChar ch : text)
    if (ch < QLatin1Char('0') || ch > QLatin1Char('9')) return false;
  return true;
}

void SplitDelimitedText(QChar delimiter, const QString& text, QStringList& list) {
  list.clear();
  if (text.isEmpty()) return;
  list = text.split(delimiter, Qt::KeepEmptyParts);
}

long double StrToFloatAnySep(const QString& text) {
  if (text.isEmpty()) return 0;
  QString normalized = text;
  const qsizetype comma = normalized.indexOf(QLatin1Char(','));
  if (comma >= 0) normalized[comma] = QLatin1Char('.');
  long double value = 0;
  return TryStrToFloat(normalized, value) ? value : 0;
}

long double AnsiStrToFloatDot(const QByteArray& text) {
  // Only ASCII can make up a number, so the code page of the other bytes is irrelevant.
  return StrToFloatAnySep(QString::fromLatin1(text));
}

QByteArray FloatToStrDotFixed(long double x) { return FloatToStrF(x, ffFixed, 12, 8).toLatin1(); }
