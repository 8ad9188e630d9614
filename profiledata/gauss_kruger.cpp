#include "profiledata/gauss_kruger.h"

#include <cmath>
#include <limits>
#include <numbers>

static_assert(std::numeric_limits<long double>::digits == 64, "extended precision is the x87 80-bit format");

void GaussKrugerFromGeo(long double latitude, long double longitude, long double& northing,
                        long double& easting) {
  constexpr long double pi = std::numbers::pi_v<long double>;
  // Krasovsky 1940.
  constexpr long double a = 6378245.0L;
  constexpr long double b = 6356863.019L;
  constexpr long double e2 = (a * a - b * b) / (a * a);
  constexpr long double n = (a - b) / (a + b);
  constexpr long double n2 = n * n;
  constexpr long double n3 = n2 * n;

  const long double zone = std::floor(longitude / 6) + 1;
  const long double centralMeridian = 6 * zone - 3;
  const long double falseEasting = zone * 1000000 + 500000;

  const long double phi = latitude * pi / 180;
  const long double l = (longitude - centralMeridian) * pi / 180;

  const long double s = std::sin(phi);
  const long double c = std::cos(phi);
  const long double t2 = (s / c) * (s / c);  // tan^2 phi
  const long double t4 = t2 * t2;
  const long double w = 1 - e2 * s * s;
  const long double nu = a / std::sqrt(w);               // transverse radius of curvature
  const long double rho = a * (1 - e2) / (w * std::sqrt(w));  // meridian radius of curvature
  const long double eta2 = nu / rho - 1;

  // Meridian arc from the equator.
  const long double m = b * ((1 + n + 1.25L * n2 + 1.25L * n3) * phi -
                             (3 * n + 3 * n2 + 21.0L / 8 * n3) * s * c +
                             (15.0L / 8 * n2 + 15.0L / 8 * n3) * std::sin(2 * phi) * std::cos(2 * phi) -
                             35.0L / 24 * n3 * std::sin(3 * phi) * std::cos(3 * phi));

  const long double c3 = c * c * c;
  const long double c5 = c3 * c * c;
  const long double ii = nu / 2 * s * c;
  const long double iii = nu / 24 * s * c3 * (5 - t2 + 9 * eta2);
  const long double iiia = nu / 720 * s * c5 * (61 - 58 * t2 + t4);
  const long double iv = nu * c;
  const long double v = nu / 6 * c3 * (nu / rho - t2);
  const long double vi = nu / 120 * c5 * (5 - 18 * t2 + t4 + 14 * eta2 - 58 * t2 * eta2);

  const long double l2 = l * l;
  northing = m + ii * l2 + iii * l2 * l2 + iiia * l2 * l2 * l2;
  easting = falseEasting + iv * l + v * l2 * l + vi * l2 * l2 * l;
}
