#pragma once
// FormatFloat: a number shown through a picture of digit placeholders, as chart
// axis labels and reports give their number formats ("##0.###", "0.00", "#,##0").
//
// A format has up to three sections separated by ';': positive, negative, zero.
// A missing or empty negative section uses the positive one with a leading '-';
// a missing or empty zero section uses the positive one. In a section:
//   '0'  a digit, shown even when it is a leading or trailing zero;
//   '#'  a digit, left out when it is a leading or trailing zero;
//   '.'  the decimal point (the first one; the text always shows '.');
//   ','  anywhere among the integer placeholders: groups of three with ',';
//   "x" or 'x'  literal text; any other character is copied as it is.
// The value is rounded half away from zero to the number of decimal
// placeholders; a value that rounds to zero shows without a sign. An empty
// format, NaN and infinities give FloatToStr's text. Scientific pictures
// ("0.0E+00") are not supported: their letters are copied as text.

#include <QString>

QString FormatFloat(const QString& format, long double value);
