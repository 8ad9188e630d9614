#pragma once
// Date-times as days since 1899-12-30 (the integer part) plus the fraction of the
// day. Before that day the integer part counts back and the fraction still runs
// forward: -1.25 is 1899-12-29 06:00.

#include <QString>

#include <cstdint>

using TDateTime = double;

inline constexpr int HoursPerDay = 24;
inline constexpr int MinsPerDay = 24 * 60;
inline constexpr int SecsPerDay = 24 * 60 * 60;
inline constexpr int MSecsPerDay = SecsPerDay * 1000;

// The local date and time, to the millisecond.
TDateTime Now();
TDateTime Date();  // today at 00:00
TDateTime Time();  // now, without the date

bool IsLeapYear(int year);
int DaysInAMonth(int year, int month);

// Invalid parts (year 1..9999, a real month and day; hour < 24, minute and second
// < 60, msec < 1000) throw EConvertError / return false.
TDateTime EncodeDate(uint16_t year, uint16_t month, uint16_t day);
bool TryEncodeDate(uint16_t year, uint16_t month, uint16_t day, TDateTime& result);
TDateTime EncodeTime(uint16_t hour, uint16_t min, uint16_t sec, uint16_t msec);
bool TryEncodeTime(uint16_t hour, uint16_t min, uint16_t sec, uint16_t msec, TDateTime& result);
// The time is rounded to the nearest millisecond. Dates before 0001-01-01 decode
// as 0/0/0.
void DecodeDate(TDateTime dt, uint16_t& year, uint16_t& month, uint16_t& day);
void DecodeTime(TDateTime dt, uint16_t& hour, uint16_t& min, uint16_t& sec, uint16_t& msec);
// 1 = Sunday .. 7 = Saturday.
int DayOfWeek(TDateTime dt);

// Specifiers (letters in either case):
//   yyyy / yy            year in four / two digits
//   m mm mmm mmmm        month, two-digit month, "Jan", "January"
//   d dd ddd dddd        day, two-digit day, "Sun", "Sunday"
//   h hh, n nn, s ss     hour, minute, second (one or two digits)
//   z zzz                milliseconds (no padding / three digits)
// m or mm right after an h or hh (only non-letters between) is the minute.
// Text in '...' or "..." is copied without its quotes; any other character is
// copied as it is.
QString FormatDateTime(const QString& fmt, TDateTime dt);
