#pragma once
// Text and number conversions that never depend on the user's decimal separator.

#include <QByteArray>
#include <QChar>
#include <QString>
#include <QStringList>

// True when every character is '0'..'9'; true for an empty text.
bool IsDigitsOnly(const QString& text);

// Clears list and fills it with the fields of text split at every occurrence of
// delimiter; blanks are ordinary characters and empty fields are kept ("a,,b," gives
// four fields). An empty text gives an empty list.
void SplitDelimitedText(QChar delimiter, const QString& text, QStringList& list);

// The number in text with the first '.' and the first ',' both read as the decimal
// point ("3,5" and "3.5" give 3.5). Empty text, or text that is not a number, gives 0.
long double StrToFloatAnySep(const QString& text);
// The same for 8-bit text.
long double AnsiStrToFloatDot(const QByteArray& text);

// Fixed notation with 8 decimals after rounding to 12 significant digits, '.' as the
// decimal point ("50.50833333"); scientific when the integer part has more than 12 digits.
QByteArray FloatToStrDotFixed(long double x);
