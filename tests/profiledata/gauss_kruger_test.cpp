#include "profiledata/gauss_kruger.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

constexpr long double kPi = std::numbers::pi_v<long double>;
constexpr long double kA = 6378245.0L;       // Krasovsky 1940
constexpr long double kB = 6356863.019L;
constexpr long double kE2 = (kA * kA - kB * kB) / (kA * kA);

long double Radians(long double degrees) { return degrees * kPi / 180; }

// Meridian arc from the equator by integrating the meridian radius of curvature
// rho = a (1 - e2) / (1 - e2 sin^2)^(3/2) with Simpson's rule.
long double MeridianArc(long double latitudeDegrees) {
  const long double phi = Radians(latitudeDegrees);
  const int steps = 20000;
  const long double h = phi / steps;
  auto rho = [](long double t) {
    const long double w = 1 - kE2 * std::sin(t) * std::sin(t);
    return kA * (1 - kE2) / (w * std::sqrt(w));
  };
  long double sum = rho(0) + rho(phi);
  for (int i = 1; i < steps; ++i) sum += (i % 2 ? 4 : 2) * rho(i * h);
  return sum * h / 3;
}

// Transverse Mercator by Krueger's series in the third flattening (conformal latitude,
// then the series in xi', eta'); a different route to the same projection, good to
// well under a millimetre within a zone. The zone is given, not derived.
void KruegerTm(long double latitude, long double longitude, long double centralMeridian, long double falseEasting,
               long double& northing, long double& easting) {
  const long double n = (kA - kB) / (kA + kB);
  const long double bigA = kA / (1 + n) * (1 + n * n / 4 + n * n * n * n / 64);
  const long double alpha[3] = {n / 2 - 2.0L / 3 * n * n + 5.0L / 16 * n * n * n,
                                13.0L / 48 * n * n - 3.0L / 5 * n * n * n, 61.0L / 240 * n * n * n};
  const long double phi = Radians(latitude);
  const long double lambda = Radians(longitude - centralMeridian);
  const long double k = 2 * std::sqrt(n) / (1 + n);
  const long double t = std::sinh(std::atanh(std::sin(phi)) - k * std::atanh(k * std::sin(phi)));
  const long double xi = std::atan(t / std::cos(lambda));
  const long double eta = std::atanh(std::sin(lambda) / std::sqrt(1 + t * t));
  long double x = xi, y = eta;
  for (int j = 1; j <= 3; ++j) {
    x += alpha[j - 1] * std::sin(2 * j * xi) * std::cosh(2 * j * eta);
    y += alpha[j - 1] * std::cos(2 * j * xi) * std::sinh(2 * j * eta);
  }
  northing = bigA * x;
  easting = falseEasting + bigA * y;
}

TEST(GaussKruger, PointOnTheCentralMeridian) {
  long double northing = 0, easting = 0;
  GaussKrugerFromGeo(55.75L, 39.0L, northing, easting);  // zone 7: central meridian 39
  EXPECT_EQ(easting, 7500000.0L);
  EXPECT_NEAR(double(northing), double(MeridianArc(55.75L)), 1e-3);

  GaussKrugerFromGeo(0.0L, 27.0L, northing, easting);  // on the equator of zone 5
  EXPECT_EQ(easting, 5500000.0L);
  EXPECT_NEAR(double(northing), 0.0, 1e-9);
}

TEST(GaussKruger, ZoneSelectionAndOffMeridianPoints) {
  struct Case {
    long double lat, lon;
    long double centralMeridian, falseEasting;
  };
  const Case cases[] = {
      {55.75L, 39.5L, 39, 7500000},    // zone 7
      {55.75L, 37.0L, 39, 7500000},    // 2 degrees west of the meridian
      {55.75L, 41.999L, 39, 7500000},  // still zone 7
      {55.75L, 42.0L, 45, 8500000},    // exactly 42 opens zone 8
      {50.0L, 40.5L, 39, 7500000},
      {-33.5L, -70.2L, -69, -10500000},  // floor(-11.7) + 1 = zone -11
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << double(c.lat) << ", " << double(c.lon));
    long double northing = 0, easting = 0, expectedNorthing = 0, expectedEasting = 0;
    GaussKrugerFromGeo(c.lat, c.lon, northing, easting);
    KruegerTm(c.lat, c.lon, c.centralMeridian, c.falseEasting, expectedNorthing, expectedEasting);
    EXPECT_NEAR(double(northing), double(expectedNorthing), 1e-3);
    EXPECT_NEAR(double(easting), double(expectedEasting), 1e-3);
  }
}

}  // namespace
