#include "platform/rtl/date_time.h"

#include "platform/rtl/sys_utils.h"

#include <cmath>
#include <ctime>

namespace {

// 1899-12-30 is day 693594 when 0001-01-01 is day 1: a TDateTime's integer part
// plus DateDelta is that day number.
constexpr int64_t DateDelta = 693594;

constexpr int MonthDays[2][13] = {{0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
                                  {0, 31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31}};

const char* const ShortMonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const LongMonthNames[12] = {"January", "February", "March",     "April",   "May",      "June",
                                        "July",    "August",   "September", "October", "November", "December"};
const char* const ShortDayNames[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const LongDayNames[7] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

// Day number from 0001-01-01 = 1 and milliseconds into that day.
struct TTimeStamp {
  int64_t date;
  int64_t time;
};

TTimeStamp DateTimeToTimeStamp(TDateTime dt) {
  if (!std::isfinite(dt) || std::fabs(dt) > 1e9) return {0, 0};  // decodes as 0/0/0 00:00
  const double whole = std::trunc(dt);
  TTimeStamp ts{DateDelta + static_cast<int64_t>(whole),
                static_cast<int64_t>(std::nearbyint(std::fabs(dt - whole) * MSecsPerDay))};
  if (ts.time >= MSecsPerDay) {  // 23:59:59.9995 and later round into the next day
    ts.time -= MSecsPerDay;
    ++ts.date;
  }
  return ts;
}

QString Padded(int value, int digits) { return QString::number(value).rightJustified(digits, u'0'); }

}  // namespace

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInAMonth(int year, int month) {
  return month >= 1 && month <= 12 ? MonthDays[IsLeapYear(year)][month] : 0;
}

bool TryEncodeDate(uint16_t year, uint16_t month, uint16_t day, TDateTime& result) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInAMonth(year, month)) return false;
  int64_t days = day;
  for (int m = 1; m < month; ++m) days += MonthDays[IsLeapYear(year)][m];
  const int64_t y = year - 1;
  days += y * 365 + y / 4 - y / 100 + y / 400;
  result = static_cast<double>(days - DateDelta);
  return true;
}

TDateTime EncodeDate(uint16_t year, uint16_t month, uint16_t day) {
  TDateTime r;
  if (!TryEncodeDate(year, month, day, r)) throw EConvertError(QStringLiteral("Invalid argument to date encode"));
  return r;
}

bool TryEncodeTime(uint16_t hour, uint16_t min, uint16_t sec, uint16_t msec, TDateTime& result) {
  if (hour >= 24 || min >= 60 || sec >= 60 || msec >= 1000) return false;
  result = (((hour * 60 + min) * 60 + sec) * 1000 + msec) / static_cast<double>(MSecsPerDay);
  return true;
}

TDateTime EncodeTime(uint16_t hour, uint16_t min, uint16_t sec, uint16_t msec) {
  TDateTime r;
  if (!TryEncodeTime(hour, min, sec, msec, r)) throw EConvertError(QStringLiteral("Invalid argument to time encode"));
  return r;
}

void DecodeDate(TDateTime dt, uint16_t& year, uint16_t& month, uint16_t& day) {
  int64_t t = DateTimeToTimeStamp(dt).date;
  if (t <= 0) {
    year = month = day = 0;
    return;
  }
  // Peel off 400-, 100-, 4- and 1-year periods counted from 0001-01-01.
  constexpr int64_t D1 = 365, D4 = D1 * 4 + 1, D100 = D4 * 25 - 1, D400 = D100 * 4 + 1;
  --t;
  int64_t y = 1;
  y += (t / D400) * 400;
  t %= D400;
  int64_t i = t / D100, d = t % D100;
  if (i == 4) --i, d += D100;  // the last day of a 400-year period
  y += i * 100;
  i = d / D4;
  d %= D4;
  y += i * 4;
  i = d / D1;
  d %= D1;
  if (i == 4) --i, d += D1;  // the last day of a 4-year period
  y += i;
  const bool leap = IsLeapYear(static_cast<int>(y));
  int m = 1;
  while (d >= MonthDays[leap][m]) d -= MonthDays[leap][m++];
  year = static_cast<uint16_t>(y);
  month = static_cast<uint16_t>(m);
  day = static_cast<uint16_t>(d + 1);
}

void DecodeTime(TDateTime dt, uint16_t& hour, uint16_t& min, uint16_t& sec, uint16_t& msec) {
  const int64_t ms = DateTimeToTimeStamp(dt).time;
  hour = static_cast<uint16_t>(ms / 3600000);
  min = static_cast<uint16_t>(ms / 60000 % 60);
  sec = static_cast<uint16_t>(ms / 1000 % 60);
  msec = static_cast<uint16_t>(ms % 1000);
}

int DayOfWeek(TDateTime dt) {
  const int64_t d = DateTimeToTimeStamp(dt).date % 7;
  return static_cast<int>(d < 0 ? d + 7 : d) + 1;
}

TDateTime Now() {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  tm local{};
  localtime_r(&ts.tv_sec, &local);
  const int sec = local.tm_sec > 59 ? 59 : local.tm_sec;  // a leap second
  return EncodeDate(static_cast<uint16_t>(local.tm_year + 1900), static_cast<uint16_t>(local.tm_mon + 1),
                    static_cast<uint16_t>(local.tm_mday)) +
         EncodeTime(static_cast<uint16_t>(local.tm_hour), static_cast<uint16_t>(local.tm_min),
                    static_cast<uint16_t>(sec), static_cast<uint16_t>(ts.tv_nsec / 1000000));
}

TDateTime Date() { return std::trunc(Now()); }

TDateTime Time() {
  const TDateTime now = Now();
  return now - std::trunc(now);
}

QString FormatDateTime(const QString& fmt, TDateTime dt) {
  uint16_t year, month, day, hour, min, sec, msec;
  DecodeDate(dt, year, month, day);
  DecodeTime(dt, hour, min, sec, msec);
  const int weekDay = DayOfWeek(dt) - 1;

  QString out;
  char16_t lastLetter = 0;
  const qsizetype n = fmt.size();
  qsizetype i = 0;
  while (i < n) {
    const QChar starter = fmt[i];
    if (starter == u'\'' || starter == u'"') {
      const qsizetype close = fmt.indexOf(starter, i + 1);
      const qsizetype end = close < 0 ? n : close;
      out += fmt.mid(i + 1, end - i - 1);
      i = end + 1;
      continue;
    }
    qsizetype count = 1;
    while (i + count < n && fmt[i + count] == starter) ++count;
    char16_t token = starter.unicode();
    if (token >= u'a' && token <= u'z') token -= u'a' - u'A';
    if (token < u'A' || token > u'Z') {
      out += starter;
      ++i;
      continue;
    }
    if (token == u'M' && lastLetter == u'H') token = u'N';
    lastLetter = token;
    i += count;
    switch (token) {
      case u'Y':
        out += count <= 2 ? Padded(year % 100, 2) : Padded(year, 4);
        break;
      case u'M':
        if (count <= 2)
          out += Padded(month, static_cast<int>(count));
        else if (month >= 1)
          out += QString::fromLatin1(count == 3 ? ShortMonthNames[month - 1] : LongMonthNames[month - 1]);
        break;
      case u'D':
        if (count <= 2)
          out += Padded(day, static_cast<int>(count));
        else
          out += QString::fromLatin1(count == 3 ? ShortDayNames[weekDay] : LongDayNames[weekDay]);
        break;
      case u'H':
        out += Padded(hour, count >= 2 ? 2 : 1);
        break;
      case u'N':
        out += Padded(min, count >= 2 ? 2 : 1);
        break;
      case u'S':
        out += Padded(sec, count >= 2 ? 2 : 1);
        break;
      case u'Z':
        out += Padded(msec, count >= 3 ? 3 : 1);
        break;
      default:
        out += fmt.mid(i - count, count);
        break;
    }
  }
  return out;
}
