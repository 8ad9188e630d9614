#include "profiledata/nmea.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// 48 deg 07.038' N, 11 deg 31.000' E.
const QString kGga = QStringLiteral("$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47");
// 33 deg 56.45' S, 18 deg 25.6' W.
const QString kGgaSouthWest = QStringLiteral("$GPGGA,080000,3356.4500,S,01825.6000,W,1,05,1.2,10.0,M,0.0,M,,*00");

TEST(Nmea, NmeaToDegrees) {
  struct Case {
    const char* value;
    const char* hemisphere;
    const char* text;
  };
  const Case cases[] = {
      {"5030.5000", "N", "50.50833333"},
      {"5030.5000", "S", "-50.50833333"},
      {"5030.5000", "E", "50.50833333"},
      {"12030.5000", "W", "-120.50833333"},  // three degree digits
      {"0000.0000", "N", "0.00000000"},
      {"5030.", "N", "50.50000000"},  // no fraction digits
      {"", "N", "0.00"},
      {"5030", "N", "0.00"},  // no '.'
      // Damaged digits from a device count as a missing value.
      {"30.5000", "N", "0.00"},
      {".5000", "N", "0.00"},
      {"5x30.5000", "N", "0.00"},
      {"-530.5000", "N", "0.00"},
      {"5030.5y00", "N", "0.00"},
      {"99999999999930.5", "N", "0.00"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(NmeaToDegrees(QString::fromLatin1(c.value), QString::fromLatin1(c.hemisphere)), QByteArray(c.text));
  }
}

TEST(Nmea, NmeaCoordToMs) {
  struct Case {
    const char* value;
    const char* hemisphere;
    int mode;
    int32_t ms;
  };
  const Case cases[] = {
      {"5030.5000", "N", 2, 181830000},  // 50 x 3 600 000 + 30 x 60 000 + 0.5 x 60 000
      {"5030.5000", "S", 2, -181830000},
      {"5030.5000", "W", 2, -181830000},
      {"4807.038", "N", 2, 173222280},  // 0.038 x 60 000 = 2280
      {"17959.99999", "E", 2, 647999999},  // 0.99999 x 60 000 = 59999.4, rounded to 59999
      {"5030.5000", "N", 1, 0},           // only mode 2 is defined
      {"", "N", 2, 0},
      {"5030", "N", 2, 0},
      {"30.5", "N", 2, 0},
      {"5a30.5", "N", 2, 0},
      {"99999930.5", "N", 2, 0},  // beyond the 32-bit range: a damaged value
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(NmeaCoordToMs(QString::fromLatin1(c.value), QString::fromLatin1(c.hemisphere), c.mode), c.ms);
  }
}

TEST(Nmea, SentenceToText) {
  EXPECT_EQ(NmeaToLatLonText(kGga), QStringLiteral("48.11730000, 11.51666667"));
  EXPECT_EQ(NmeaToLatLonText(kGgaSouthWest), QStringLiteral("-33.94083333, -18.42666667"));
  // Empty coordinate fields read as "0"; a damaged one is missing as well.
  EXPECT_EQ(NmeaToLatLonText(QStringLiteral("$GPGGA,123519,,N,01131.000,E")), QStringLiteral("0.00, 11.51666667"));
  EXPECT_EQ(NmeaToLatLonText(QStringLiteral("$GPGGA,1,48O7.038,N,,E")), QStringLiteral("0.00, 0.00"));
  // Five fields are not enough.
  EXPECT_EQ(NmeaToLatLonText(QStringLiteral("$GPGGA,123519,4807.038,N,01131.000")), QString());
  EXPECT_EQ(NmeaToLatLonText(QString()), QString());
}

TEST(Nmea, SentenceToDegrees) {
  long double lat = -1, lon = -1;
  EXPECT_EQ(NmeaToLatLon(kGga, lat, lon), QStringLiteral("48.11730000, 11.51666667"));
  EXPECT_NEAR(double(lat), 48.0 + 7.038 / 60, 1e-12);
  EXPECT_NEAR(double(lon), 11.0 + 31.0 / 60, 1e-12);

  EXPECT_EQ(NmeaToLatLon(kGgaSouthWest, lat, lon), QStringLiteral("-33.94083333, -18.42666667"));
  EXPECT_NEAR(double(lat), -(33.0 + 56.45 / 60), 1e-12);
  EXPECT_NEAR(double(lon), -(18.0 + 25.6 / 60), 1e-12);
}

TEST(Nmea, ShortSentencesLeaveTheDegreesUntouched) {
  const QString shortSentences[] = {
      QStringLiteral("$GPGGA,1,4807.038,N,01131.000,E"),  // 6 fields but only 31 characters
      QStringLiteral("$GPGGA,123519.000000000000,4807.038,N,01131.000"),  // long enough, 5 fields
  };
  for (const QString& sentence : shortSentences) {
    long double lat = 7, lon = 8;
    EXPECT_EQ(NmeaToLatLon(sentence, lat, lon), QString()) << sentence.toStdString();
    EXPECT_EQ(lat, 7);
    EXPECT_EQ(lon, 8);
  }
  // The text form has no length rule.
  EXPECT_EQ(NmeaToLatLonText(shortSentences[0]), QStringLiteral("48.11730000, 11.51666667"));
}

TEST(Nmea, TheValuesFormAgreesWithTheTextForm) {
  const QString sentences[] = {
      kGga, kGgaSouthWest, QStringLiteral("$GPGGA,1,4807.038,N,01131.000,E"),
      QStringLiteral("$GPGGA,123519.000000000000,4807.038,N,01131.000"),
      QStringLiteral("$GPGGA,123519.000000000000,,N,01131.000,E,1,08,0.9,545.4,M"),
      QStringLiteral("$GPGGA,123519.000000000000,48x7.038,N,01131.000,E,1,08,0.9,545.4,M"),
  };
  for (const QString& sentence : sentences) {
    long double lat = 7, lon = 8, textLat = 7, textLon = 8;
    const bool text = !NmeaToLatLon(sentence, textLat, textLon).isEmpty();
    EXPECT_EQ(NmeaToLatLonValues(sentence, lat, lon), text) << sentence.toStdString();
    EXPECT_EQ(lat, textLat) << sentence.toStdString();
    EXPECT_EQ(lon, textLon) << sentence.toStdString();
  }
}

TEST(Nmea, SentenceToMilliseconds) {
  int32_t lat = 1, lon = 2;
  QString text = QStringLiteral("old");
  NmeaToLatLonMs(kGga, lat, lon, text);
  EXPECT_EQ(lat, 173222280);  // 48 x 3 600 000 + 7 x 60 000 + 0.038 x 60 000
  EXPECT_EQ(lon, 41460000);   // 11 x 3 600 000 + 31 x 60 000
  EXPECT_TRUE(text.isEmpty());

  NmeaToLatLonMs(kGgaSouthWest, lat, lon, text);
  EXPECT_EQ(lat, -122187000);  // -(33 x 3 600 000 + 56 x 60 000 + 0.45 x 60 000)
  EXPECT_EQ(lon, -66336000);   // -(18 x 3 600 000 + 25 x 60 000 + 0.6 x 60 000)

  lat = 5;
  lon = 6;
  text = QStringLiteral("old");
  NmeaToLatLonMs(QStringLiteral("$GPGGA,1,4807.038,N,01131.000"), lat, lon, text);
  EXPECT_EQ(lat, 5);
  EXPECT_EQ(lon, 6);
  EXPECT_TRUE(text.isEmpty());

  NmeaToLatLonMs(QStringLiteral("$GPGGA,1,48.038,N,01131.000,E"), lat, lon, text);
  EXPECT_EQ(lat, 0);  // damaged latitude
  EXPECT_EQ(lon, 41460000);
}

// The line of trace k puts the receiver at latitude k degrees (k, then 00 minutes), so
// the text names the line that was chosen.
QString LineFor(int k) {
  return QString::number(k) + QStringLiteral("=$GPGGA,0,") + QString::number(k) + QStringLiteral("00.0000,N,00100.0000,E,1");
}

QStringList LinesFor(std::initializer_list<int> traces) {
  QStringList lines;
  for (int k : traces) lines << LineFor(k);
  return lines;
}

QString LatText(int degrees) { return QStringLiteral("%1.00000000, 1.00000000").arg(degrees); }

TEST(Nmea, NearestSentence) {
  struct Case {
    const char* what;
    QStringList lines;
    int trace;
    int count;
    QString text;
  };
  const Case cases[] = {
      // Both searches step over the trace itself and meet its neighbours first.
      {"own line wins over equally near neighbours", LinesFor({9, 10, 11}), 10, 100, LatText(10)},
      {"tie at distance 1 goes to the downward search (trace + 1)", LinesFor({9, 11}), 10, 100, LatText(11)},
      {"tie at distance 2 goes to the downward search (trace - 2)", LinesFor({12, 8}), 10, 100, LatText(8)},
      {"upward line strictly nearer", LinesFor({3, 12}), 10, 100, LatText(12)},
      {"downward line nearer", LinesFor({7, 20}), 10, 100, LatText(7)},
      {"upward search stops at count - 1", LinesFor({8, 14}), 10, 13, LatText(8)},
      {"nothing upwards within count: the line below is taken", LinesFor({1}), 10, 12, LatText(1)},
      {"count - 1 < trace - 1 and nothing below: no position", LinesFor({20}), 10, 5, QString()},
      {"count - 1 < trace - 1: upward result 0", LinesFor({3}), 10, 5, LatText(3)},
      {"empty list", QStringList(), 10, 100, QString()},
      {"names that are not plain numbers are not trace lines",
       QStringList({QStringLiteral("010=$GPGGA,0,5000.0000,N,00100.0000,E"),
                    QStringLiteral("x=$GPGGA,0,5100.0000,N,00100.0000,E")}) + LinesFor({4}),
       10, 100, LatText(4)},
      {"the first of duplicate names counts",
       LinesFor({6}) + QStringList({QStringLiteral("6=$GPGGA,0,5000.0000,N,00100.0000,E")}), 10, 100, LatText(6)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(NearestNmeaLatLonText(c.trace, c.lines, c.count), c.text);
  }
}

TEST(Nmea, NearestSentenceInALongList) {
  // Every tenth trace of 30000 has a sentence.
  QStringList lines;
  for (int k = 0; k < 30000; k += 10) lines << LineFor(k);
  // 12345: downward finds 12340 (distance 5), upward 12350 (distance 5): the tie goes down.
  EXPECT_EQ(NearestNmeaLatLonText(12345, lines, 30000), LatText(12340));
  EXPECT_EQ(NearestNmeaLatLonText(12347, lines, 30000), LatText(12350));
  EXPECT_EQ(NearestNmeaLatLonText(12350, lines, 30000), LatText(12350));
  // Past the last sentence the upward search finds nothing; the last sentence is taken.
  EXPECT_EQ(NearestNmeaLatLonText(29995, lines, 30000), LatText(29990));
  EXPECT_EQ(NearestNmeaLatLonText(29997, lines, 30000), LatText(29990));
}

}  // namespace
