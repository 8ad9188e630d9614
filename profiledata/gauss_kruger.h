#pragma once
// Gauss-Krueger projection: 6-degree zones on the Krasovsky ellipsoid, transverse
// Mercator series with scale factor 1 and the true origin on the equator.

// Latitude and longitude in decimal degrees; northing and easting in metres. The zone
// is floor(longitude / 6) + 1 with central meridian 6 x zone - 3 degrees; the easting
// carries the false easting zone x 1 000 000 + 500 000 m.
void GaussKrugerFromGeo(long double latitude, long double longitude, long double& northing,
                        long double& easting);
