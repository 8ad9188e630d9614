#pragma once
// Coordinates from NMEA sentences such as GGA: fields separated by ',', latitude in
// field 2 and its hemisphere in field 3, longitude in field 4 and its hemisphere in
// field 5 (counting from 0). A coordinate is ddmm.mmmm or dddmm.mmmm: degrees, two
// digits of whole minutes, then the decimal fraction of the minute. South and west
// are negative.
//
// Devices send damaged sentences: a coordinate whose integer part is shorter than
// three characters or holds anything but digits, or whose fraction does not read as
// a number, counts as a missing value ("0.00" in text, 0 in numbers) and never raises.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>

// Signed decimal degrees as fixed text with 8 decimals ("50.50833333", "-50.50833333");
// "0.00" for an empty, pointless or damaged value.
QByteArray NmeaToDegrees(const QString& value, const QString& hemisphere);

// "lat, lon" from a sentence of more than 5 fields (an empty field reads as "0");
// empty otherwise.
QString NmeaToLatLonText(const QString& sentence);

// As NmeaToLatLonText, and lat and lon receive the values in decimal degrees. A
// sentence of 40 characters or fewer, or with fewer than 6 fields, gives an empty text
// and leaves lat and lon untouched.
QString NmeaToLatLon(const QString& sentence, long double& lat, long double& lon);
// The values of NmeaToLatLon without its text (for a whole track): true exactly
// when NmeaToLatLon gives a text, and then lat and lon are set.
bool NmeaToLatLonValues(const QString& sentence, long double& lat, long double& lon);

// One coordinate in milliseconds of arc (1 degree = 3 600 000, 1 minute = 60 000):
// round(fraction x 60 000) + degrees x 3 600 000 + minutes x 60 000, negated for "S"
// and "W". Mode 2 is the only defined mode; any other mode gives 0. An empty value, one
// without '.', a damaged one or one outside the 32-bit range gives 0.
int32_t NmeaCoordToMs(const QString& value, const QString& hemisphere, int mode);

// lat and lon in milliseconds of arc from fields 2..5 of a sentence of more than 5
// fields; fewer leave them untouched. text is always cleared.
void NmeaToLatLonMs(const QString& sentence, int32_t& lat, int32_t& lon, QString& text);

// The "lat, lon" text (NmeaToLatLonText) of the NMEA line nearest to trace. lines are
// "trace=sentence" entries; count is the channel's trace count. A line of the trace
// itself is taken first. Otherwise d is the highest trace number <= trace + 1 that has
// a line (-1 if none) and u the lowest in trace - 1 .. count - 1 (count if none; 0 when
// count - 1 < trace - 1); u's line is taken when it is strictly nearer, else d's, and
// a number without a line gives an empty text. The list is indexed once per call.
QString NearestNmeaLatLonText(int trace, const QStringList& lines, int count);
