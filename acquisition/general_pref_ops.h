#pragma once
// What the general preferences dialog computes, apart from the form: the rows
// of its GPS data grid, the check of the NMEA sentence type and the parameters
// of the NMEA configuration command.
//
// Threads: any thread; nothing here is shared.

#include "platform/rtl/resource_strings.h"

#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

RESOURCESTRING(SGpsNotFix, "Not fix");
RESOURCESTRING(SGpsFix, "GPS fix");
RESOURCESTRING(SGpsDgpsFix, "DGPS fix");

namespace general_pref {

// The GPS grid's columns: "Time", "Latitude", "Longitude", "Quality Indicator",
// "Satellites", "Precision".
constexpr int GpsColumnCount = 6;
constexpr std::array<int, GpsColumnCount> GpsColumnWidths{72, 80, 80, 46, 22, 38};
// The grid never holds more data rows than this; a further sentence drops the oldest.
constexpr int GpsMaxDataRows = 200;
// Sentences of this length or shorter are not added to the grid.
constexpr int GpsMinSentenceLength = 18;
// The link's NMEA text shows only when it is longer than this.
constexpr int GpsMinTextLength = 10;

using TGpsRow = std::array<QString, GpsColumnCount>;

// The quality cell of a fix-quality field: "0", "1", "2" give the resources
// "Not fix", "GPS fix", "DGPS fix"; any other value an empty cell.
QString FixQualityText(const QString& field);

// One grid row from a sentence split at ',' into f0, f1, ...: the time
// hh:mm:ss from f1 followed by its characters 7..10 (counting from 1), the
// latitude from f2 (or "0") and f3 in decimal degrees followed by a blank and
// f3, the longitude likewise from f4 and f5, the quality from f6, the
// satellites f7 and the precision f8. Missing fields give empty cells.
TGpsRow GpsRowOf(const QString& sentence);

// The grid's rows with its header row as row 0 (rows.size() is the grid's row
// count): when it has more than GpsMaxDataRows rows, rows 1 .. count - 2 take
// the row below them; when the last row's first cell is not empty and the grid
// has at most GpsMaxDataRows rows a row is appended; the last row takes the
// sentence. So the grid keeps at most GpsMaxDataRows data rows.
void AddGpsSentence(std::vector<TGpsRow>& rows, const QString& sentence);

// "$" followed by five Latin letters.
bool ValidNmeaType(const QString& text);

// The 7 parameter bytes of the NMEA configuration command: the speed index
// (1 = 1200 .. 7 = 57600), the five letters after "$" (the low byte of each
// character) and a zero byte. None for speed index 0 (unknown) or an invalid type.
std::optional<std::array<uint8_t, 7>> NmeaConfigFor(int speedIndex, const QString& type);

}  // namespace general_pref
