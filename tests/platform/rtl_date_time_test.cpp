#include "platform/rtl/date_time.h"

#include "platform/rtl/sys_utils.h"
#include "tests/support/qstring_print.h"

#include <gtest/gtest.h>

#include <QDate>
#include <QDateTime>

#include <cmath>

namespace {

TEST(RtlDateTime, EncodeAndDecodeDates) {
  const struct {
    uint16_t y, m, d;
    double serial;
  } cases[] = {
      {1899, 12, 30, 0},     {1899, 12, 31, 1},      {1900, 1, 1, 2},       {1899, 12, 29, -1},
      {2000, 1, 1, 36526},   {2000, 2, 29, 36585},   {2024, 3, 1, 45352},   {1, 1, 1, -693593},
      {9999, 12, 31, 2958465}, {1900, 3, 1, 61},     {2100, 2, 28, 73109},  {1600, 12, 31, -109206},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.y << "-" << c.m << "-" << c.d);
    EXPECT_EQ(EncodeDate(c.y, c.m, c.d), c.serial);
    uint16_t y, m, d;
    DecodeDate(c.serial < 0 ? c.serial - 0.75 : c.serial + 0.75, y, m, d);  // 18:00 that day
    EXPECT_EQ(y, c.y);
    EXPECT_EQ(m, c.m);
    EXPECT_EQ(d, c.d);
  }
  // Every day for 800 years against Qt's calendar.
  const QDate origin(1899, 12, 30);
  for (int serial = -200000; serial <= 100000; serial += 1) {
    const QDate q = origin.addDays(serial);
    uint16_t y, m, d;
    DecodeDate(serial, y, m, d);
    ASSERT_EQ(QDate(y, m, d), q) << serial;
    ASSERT_EQ(EncodeDate(y, m, d), serial);
    ASSERT_EQ(DayOfWeek(serial), q.dayOfWeek() % 7 + 1);
  }
}

TEST(RtlDateTime, InvalidPartsThrow) {
  EXPECT_THROW(EncodeDate(2023, 2, 29), EConvertError);
  EXPECT_THROW(EncodeDate(2024, 13, 1), EConvertError);
  EXPECT_THROW(EncodeDate(0, 1, 1), EConvertError);
  EXPECT_THROW(EncodeDate(2024, 4, 31), EConvertError);
  EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
  EXPECT_THROW(EncodeTime(0, 60, 0, 0), EConvertError);
  EXPECT_THROW(EncodeTime(0, 0, 0, 1000), EConvertError);
  TDateTime t = 5;
  EXPECT_FALSE(TryEncodeDate(1900, 2, 29, t));
  EXPECT_EQ(t, 5);
  EXPECT_TRUE(TryEncodeDate(2000, 2, 29, t));
}

TEST(RtlDateTime, Times) {
  const TDateTime t = EncodeTime(13, 5, 9, 42);
  EXPECT_DOUBLE_EQ(t, (13 * 3600 + 5 * 60 + 9 + 0.042) / 86400.0);
  uint16_t h, m, s, ms;
  DecodeTime(EncodeDate(2024, 5, 17) + t, h, m, s, ms);
  EXPECT_EQ(h, 13);
  EXPECT_EQ(m, 5);
  EXPECT_EQ(s, 9);
  EXPECT_EQ(ms, 42);
  // Before 1899-12-30 the fraction still counts forward from midnight.
  DecodeTime(-1.25, h, m, s, ms);
  EXPECT_EQ(h, 6);
  uint16_t y, mo, d;
  DecodeDate(-1.25, y, mo, d);
  EXPECT_EQ(QDate(y, mo, d), QDate(1899, 12, 29));
  // 23:59:59.9999 rounds into the next day rather than to 24:00.
  DecodeTime(10 + 0.99999999999, h, m, s, ms);
  DecodeDate(10 + 0.99999999999, y, mo, d);
  EXPECT_EQ(h + m + s + ms, 0);
  EXPECT_EQ(QDate(y, mo, d), QDate(1900, 1, 10)) << "day 10 is 1900-01-09";

  // Values no calendar can hold decode as zeros instead of overflowing.
  for (const double bad : {std::nan(""), 1e300, -1e300, -700000.0}) {
    DecodeDate(bad, y, mo, d);
    EXPECT_EQ(y + mo + d, 0) << bad;
  }
}

TEST(RtlDateTime, FormatDateTime) {
  const TDateTime dt = EncodeDate(2024, 3, 7) + EncodeTime(9, 4, 5, 7);  // a Thursday
  const struct {
    const char* fmt;
    const char* expected;
  } cases[] = {
      {"hh:nn:ss.zzz", "09:04:05.007"},
      {"h:n:s.z", "9:4:5.7"},
      {"yyyy-mm-dd", "2024-03-07"},
      {"dd.mm.yy", "07.03.24"},
      {"d/m/yyyy", "7/3/2024"},
      {"hh:mm", "09:04"},
      {"h mm", "9 04"},
      {"hh:mm dd mm", "09:04 07 03"},
      {"mm hh:mm", "03 09:04"},
      {"YYYY-MM-DD HH:NN", "2024-03-07 09:04"},
      {"ddd dddd mmm mmmm", "Thu Thursday Mar March"},
      {"'at' hh \"o'clock\"", "at 09 o'clock"},
      {"yyyy'mm'dd", "2024mm07"},
      {"[hh]", "[09]"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatDateTime(c.fmt, dt), QString::fromUtf8(c.expected)) << c.fmt;
}

TEST(RtlDateTime, NowMatchesTheSystemClock) {
  const QDateTime before = QDateTime::currentDateTime();
  const TDateTime now = Now();
  const QDateTime after = QDateTime::currentDateTime();
  uint16_t y, mo, d, h, mi, s, ms;
  DecodeDate(now, y, mo, d);
  DecodeTime(now, h, mi, s, ms);
  const QDateTime got(QDate(y, mo, d), QTime(h, mi, s, ms));
  EXPECT_GE(before.msecsTo(got), -1);  // -1: rounding to the millisecond
  EXPECT_GE(got.msecsTo(after), -1);
  EXPECT_EQ(Date(), std::trunc(Now()));
}

}  // namespace
