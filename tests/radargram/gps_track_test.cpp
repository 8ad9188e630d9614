// The GPS track arithmetic: the live range's widening, the conversion of a
// profile's NMEA lines into metres, the squared box and the markers' places.

#include "profiledata/gauss_kruger.h"
#include "profiledata/nmea.h"
#include "radargram/gps_track.h"

#include <gtest/gtest.h>

#include <cmath>

namespace gps_track_test {

using namespace gps_track;

// A GGA sentence at latitude 50 deg 30.5 min N plus north minutes and
// longitude 39 deg 30 min E plus east minutes.
QString Gga(double northMinutes, double eastMinutes) {
  return QStringLiteral("$GPGGA,120526.00,%1,N,%2,E,1,08,1.0,120.0,M,0.0,M,,*48")
      .arg(5030.5 + northMinutes, 0, 'f', 5)
      .arg(3930.0 + eastMinutes, 10, 'f', 5, QLatin1Char('0'));
}

QString Line(int number, const QString& sentence) { return QString::number(number) + u'=' + sentence; }

// Metres east and north of b from a, as the conversion computes them.
std::pair<double, double> Offset(const QString& a, const QString& b) {
  long double lat = 0, lon = 0, na = 0, ea = 0, nb = 0, eb = 0;
  NmeaToLatLon(a, lat, lon);
  GaussKrugerFromGeo(lat, lon, na, ea);
  NmeaToLatLon(b, lat, lon);
  GaussKrugerFromGeo(lat, lon, nb, eb);
  return {static_cast<double>(eb - ea), static_cast<double>(nb - na)};
}

TEST(GpsTrackRange, OvershootStepIsTheNextMultipleOfFiveAboveTheRoundedOvershoot) {
  struct Case {
    long double dx, dy;
    int64_t step;
  } cases[] = {{0, 0.3L, 5}, {5, 0, 10}, {0, 7, 10}, {4.5L, 0, 5}, {0, 994.4L, 995}, {995, 0, 1000}, {3, 12, 15}};
  for (const Case& c : cases) EXPECT_EQ(OvershootStep(c.dx, c.dy), c.step) << double(c.dx) << " " << double(c.dy);
}

TEST(GpsTrackRange, AnOvershootWidensItsSideAndTheSameSideOfTheOtherDirection) {
  struct Case {
    long double x, y;
    TTrekRange widened;
  } cases[] = {
      {0, 5.3L, {-5, 10, -5, 10}},     // 0.3 m north
      {0, -10, {-15, 5, -15, 5}},      // 5 m south
      {12, 0, {-5, 15, -5, 15}},       // 7 m east
      {-5.3L, 0, {-10, 5, -10, 5}},    // 0.3 m west
      {12, 12, {-5, 15, -5, 15}},      // north first; the east test then finds the point inside
      {0, -1000, {-5, 5, -5, 5}},      // 995 m: a stray fix changes nothing
      {3, -4, {-5, 5, -5, 5}},         // inside
  };
  for (const Case& c : cases) {
    TTrekRange range;
    const bool changed = WidenForPoint(range, c.x, c.y);
    EXPECT_EQ(range, c.widened) << double(c.x) << ", " << double(c.y);
    EXPECT_EQ(changed, !(c.widened == TTrekRange{})) << double(c.x) << ", " << double(c.y);
  }
}

TEST(GpsTrackConversion, OneLineIsNoTrackAndLeavesTheArraysAlone) {
  std::vector<double> x{1, 2}, y{3, 4};
  const TTrackConversion c = ConvertNmeaToMetres({Line(1, Gga(0, 0))}, 5, x, y);
  EXPECT_FALSE(c.isGPS);
  EXPECT_EQ(x, (std::vector<double>{1, 2}));
  EXPECT_EQ(y, (std::vector<double>{3, 4}));
}

TEST(GpsTrackConversion, TracesBetweenTwoFixesLieEvenlyBetweenThemAndTheTailStepsDiagonally) {
  const QString a = Gga(0, 0), b = Gga(0.01, 0.02);
  std::vector<double> x, y;
  const TTrackConversion c = ConvertNmeaToMetres({Line(1, a), Line(11, b)}, 15, x, y);
  ASSERT_TRUE(c.isGPS);
  EXPECT_TRUE(c.FirstCall);
  ASSERT_EQ(x.size(), 15u);
  const auto [ex, ey] = Offset(a, b);
  EXPECT_GT(ex, 20);
  EXPECT_GT(ey, 10);
  EXPECT_EQ(x[0], 0);
  EXPECT_EQ(y[0], 0);
  EXPECT_NEAR(x[10], ex, 1e-6);
  EXPECT_NEAR(y[10], ey, 1e-6);
  for (int t = 1; t < 10; ++t) {
    EXPECT_NEAR(x[t], ex * t / 10, 1e-6) << t;
    EXPECT_NEAR(y[t], ey * t / 10, 1e-6) << t;
  }
  for (int t = 11; t < 15; ++t) {
    EXPECT_NEAR(x[t], ex + 0.01 * (t - 10), 1e-9) << t;
    EXPECT_NEAR(y[t], ey + 0.01 * (t - 10), 1e-9) << t;
  }
  // The box takes the fixes and the tail's end, squared: both spans equal the
  // larger one + 2.
  EXPECT_NEAR(c.Box.MaxX - c.Box.MinX, c.Box.MaxY - c.Box.MinY, 1e-9);
  EXPECT_NEAR(c.Box.MaxX - c.Box.MinX, ex + 0.04 + 2, 1e-6);
  EXPECT_NEAR(c.Box.MinX, -1, 1e-9);
}

TEST(GpsTrackConversion, TracesBeforeTheFirstFixStayAtTheOriginAndALineWithoutPositionIsPassedOver) {
  const QString a = Gga(0, 0), b = Gga(0.01, 0), c = Gga(0.02, 0);
  std::vector<double> x, y;
  // Trace 2 is the first fix; trace 5's line is too short to hold a position,
  // so the line from trace 2 runs on to trace 8's fix across it.
  ConvertNmeaToMetres({Line(3, a), Line(6, QStringLiteral("$GPGGA,,,,,,0,,,*66")), Line(9, b), Line(10, c)}, 10, x,
                      y);
  ASSERT_EQ(y.size(), 10u);
  for (int t : {0, 1, 2}) EXPECT_EQ(y[t], 0) << t;
  const double yb = Offset(a, b).second;
  for (int t = 3; t <= 8; ++t) EXPECT_NEAR(y[t], yb * (t - 2) / 6, 1e-6) << t;
  EXPECT_NEAR(y[9], Offset(a, c).second, 1e-6);

  // Without a later fix the traces after the short line keep 0.
  x.clear();
  y.clear();
  ConvertNmeaToMetres({Line(1, a), Line(2, b), Line(5, QStringLiteral("$GPGGA,,,,,,0,,,*66"))}, 5, x, y);
  ASSERT_EQ(y.size(), 5u);
  EXPECT_NEAR(y[1], yb, 1e-6);
  for (int t : {2, 3, 4}) EXPECT_EQ(y[t], 0) << t;
}

TEST(GpsTrackConversion, ALaterCallConvertsOnlyTheNewTracesAndContinuesTheStoredTrack) {
  const QString a = Gga(0, 0), b = Gga(0.01, 0), c = Gga(0.02, 0);
  std::vector<double> x, y;
  QStringList lines{Line(1, a), Line(5, b)};
  ConvertNmeaToMetres(lines, 5, x, y);
  ASSERT_EQ(y.size(), 5u);
  y[0] = -7;  // converted already: a later call leaves it
  lines << Line(9, c);
  const TTrackConversion later = ConvertNmeaToMetres(lines, 9, x, y);
  EXPECT_FALSE(later.FirstCall);
  ASSERT_EQ(y.size(), 9u);
  EXPECT_EQ(y[0], -7);
  const double yb = Offset(a, b).second, yc = Offset(a, c).second;
  EXPECT_NEAR(y[8], yc, 1e-6) << "offsets from line 1's fix";
  for (int t = 5; t < 8; ++t) EXPECT_NEAR(y[t], yb + (yc - yb) * (t - 4) / 4, 1e-6) << t;
}

TEST(GpsTrackConversion, LinesAreFoundByTheirExactName) {
  const QString a = Gga(0, 0), b = Gga(0.01, 0), c = Gga(0.05, 0);
  std::vector<double> x, y;
  // "05" names no trace; the first of two lines named "3" counts.
  ConvertNmeaToMetres({Line(1, a), QStringLiteral("05=") + c, Line(3, b), Line(3, c)}, 3, x, y);
  ASSERT_EQ(y.size(), 3u);
  EXPECT_NEAR(y[2], Offset(a, b).second, 1e-6);
  EXPECT_NEAR(y[1], Offset(a, b).second / 2, 1e-6);
}

TEST(GpsTrackBox, TheSmallerSpanGrowsToTheLargerAndBothByTwo) {
  TTrackBox wide;
  wide.MinX = 0, wide.MaxX = 10, wide.MinY = 2, wide.MaxY = 6;
  const TTrackBox w = SquareBox(wide);
  EXPECT_EQ(w.MinX, -1);
  EXPECT_EQ(w.MaxX, 11);
  EXPECT_EQ(w.MinY, -2);
  EXPECT_EQ(w.MaxY, 10);
  TTrackBox tall;
  tall.MinX = 0, tall.MaxX = 2, tall.MinY = -4, tall.MaxY = 4;
  const TTrackBox t = SquareBox(tall);
  EXPECT_EQ(t.MinX, -4);
  EXPECT_EQ(t.MaxX, 6);
  EXPECT_EQ(t.MinY, -5);
  EXPECT_EQ(t.MaxY, 5);
}

TEST(GpsTrackMarkers, SurfaceMarkersPastTheEndSitOnTheLastPointObjectMarkersAreLeftOut) {
  struct Case {
    int64_t trace, minTrace, length;
    bool surface;
    int64_t index;
  } cases[] = {
      {5, 0, 10, false, 5},  {5, 0, 10, true, 5},   {12, 2, 10, true, 9},  {12, 2, 10, false, -1},
      {10, 0, 10, true, 9},  {10, 0, 10, false, -1}, {1, 2, 10, true, -1}, {1, 2, 10, false, -1},
      {0, 0, 0, true, -1},   {INT32_MAX, INT32_MIN, 10, true, 9},
  };
  for (const Case& c : cases)
    EXPECT_EQ(MarkerTrackIndex(c.trace, c.minTrace, c.length, c.surface), c.index)
        << c.trace << " " << c.minTrace << " " << c.length << " " << c.surface;
}

}  // namespace gps_track_test
