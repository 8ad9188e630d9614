#include "profiledata/nmea.h"

#include "platform/rtl/rounding.h"
#include "platform/rtl/sys_utils.h"
#include "profiledata/number_text.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <optional>
#include <utility>
#include <vector>

namespace {

struct NmeaParts {
  int32_t degrees = 0;
  int32_t minutes = 0;
  long double fraction = 0;  // of a minute
};

// ddmm.mmmm split into its parts, or nothing when the value is empty, has no '.', or
// is damaged.
std::optional<NmeaParts> SplitNmeaCoord(const QString& value) {
  if (value.isEmpty()) return std::nullopt;
  const QStringList parts = value.split(QLatin1Char('.'));
  if (parts.size() < 2) return std::nullopt;
  const QString& whole = parts[0];
  if (whole.size() < 3 || !IsDigitsOnly(whole)) return std::nullopt;
  bool ok = false;
  const qlonglong degrees = whole.left(whole.size() - 2).toLongLong(&ok);
  if (!ok || degrees > std::numeric_limits<int32_t>::max()) return std::nullopt;
  NmeaParts result;
  result.degrees = static_cast<int32_t>(degrees);
  result.minutes = whole.right(2).toInt();
  // The digits after the point are the decimal fraction of the minute.
  if (!TryStrToFloat(QStringLiteral("0.") + parts[1], result.fraction)) return std::nullopt;
  return result;
}

bool IsSouthOrWest(const QString& hemisphere) {
  return hemisphere == QLatin1String("S") || hemisphere == QLatin1String("W");
}

// Signed decimal degrees, or nothing when the value is missing.
std::optional<long double> NmeaDegreesValue(const QString& value, const QString& hemisphere) {
  const auto parts = SplitNmeaCoord(value);
  if (!parts) return std::nullopt;
  const long double degrees =
      parts->degrees + static_cast<long double>(parts->minutes) / 60 + parts->fraction / 60;
  return IsSouthOrWest(hemisphere) ? -degrees : degrees;
}

QByteArray DegreesText(const std::optional<long double>& degrees) {
  if (!degrees) return QByteArrayLiteral("0.00");
  // Built from the magnitude so that a zero south value keeps its sign as "-0.00000000".
  const QByteArray text = FloatToStrDotFixed(std::fabs(*degrees));
  return std::signbit(*degrees) ? "-" + text : text;
}

const QString& FieldOrZero(const QString& field) {
  static const QString zero = QStringLiteral("0");
  return field.isEmpty() ? zero : field;
}

}  // namespace

QByteArray NmeaToDegrees(const QString& value, const QString& hemisphere) {
  return DegreesText(NmeaDegreesValue(value, hemisphere));
}

QString NmeaToLatLonText(const QString& sentence) {
  QStringList fields;
  SplitDelimitedText(QLatin1Char(','), sentence, fields);
  if (fields.size() <= 5) return QString();
  return QString::fromLatin1(NmeaToDegrees(FieldOrZero(fields[2]), fields[3]) + ", " +
                             NmeaToDegrees(FieldOrZero(fields[4]), fields[5]));
}

namespace {

// Latitude and longitude of a sentence long enough to hold them; nothing for a
// shorter one or one of fewer than 6 fields.
std::optional<std::pair<std::optional<long double>, std::optional<long double>>> NmeaLatLonParts(
    const QString& sentence) {
  if (sentence.size() <= 40) return std::nullopt;
  QStringList fields;
  SplitDelimitedText(QLatin1Char(','), sentence, fields);
  if (fields.size() <= 5) return std::nullopt;
  return std::pair{NmeaDegreesValue(FieldOrZero(fields[2]), fields[3]),
                   NmeaDegreesValue(FieldOrZero(fields[4]), fields[5])};
}

}  // namespace

QString NmeaToLatLon(const QString& sentence, long double& lat, long double& lon) {
  const auto parts = NmeaLatLonParts(sentence);
  if (!parts) return QString();
  lat = parts->first.value_or(0);
  lon = parts->second.value_or(0);
  return QString::fromLatin1(DegreesText(parts->first) + ", " + DegreesText(parts->second));
}

bool NmeaToLatLonValues(const QString& sentence, long double& lat, long double& lon) {
  const auto parts = NmeaLatLonParts(sentence);
  if (!parts) return false;
  lat = parts->first.value_or(0);
  lon = parts->second.value_or(0);
  return true;
}

int32_t NmeaCoordToMs(const QString& value, const QString& hemisphere, int mode) {
  if (mode != 2) return 0;
  const auto parts = SplitNmeaCoord(value);
  if (!parts) return 0;
  int64_t ms = Round(parts->fraction * 60000) + int64_t(parts->degrees) * 3600000 + int64_t(parts->minutes) * 60000;
  if (IsSouthOrWest(hemisphere)) ms = -ms;
  if (ms < std::numeric_limits<int32_t>::min() || ms > std::numeric_limits<int32_t>::max()) return 0;
  return static_cast<int32_t>(ms);
}

void NmeaToLatLonMs(const QString& sentence, int32_t& lat, int32_t& lon, QString& text) {
  text.clear();
  QStringList fields;
  SplitDelimitedText(QLatin1Char(','), sentence, fields);
  if (fields.size() <= 5) return;
  lat = NmeaCoordToMs(fields[2], fields[3], 2);
  lon = NmeaCoordToMs(fields[4], fields[5], 2);
}

QString NearestNmeaLatLonText(int trace, const QStringList& lines, int count) {
  // Trace numbers that have a line, with the first line of each (a later duplicate
  // name is never found by name lookup), sorted by number.
  std::vector<std::pair<int64_t, int>> index;
  index.reserve(lines.size());
  for (int i = 0; i < lines.size(); ++i) {
    const QString& line = lines[i];
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq <= 0) continue;
    const QString name = line.left(eq);
    bool ok = false;
    const int number = name.toInt(&ok);
    // Lookup is by name: "007" is not the line of trace 7.
    if (!ok || QString::number(number) != name) continue;
    index.emplace_back(number, i);
  }
  std::stable_sort(index.begin(), index.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  index.erase(std::unique(index.begin(), index.end(),
                          [](const auto& a, const auto& b) { return a.first == b.first; }),
              index.end());

  const auto lineOf = [&](int64_t number) -> const QString* {
    const auto it = std::lower_bound(index.begin(), index.end(), number,
                                     [](const auto& entry, int64_t n) { return entry.first < n; });
    return (it != index.end() && it->first == number) ? &lines[it->second] : nullptr;
  };
  const auto textOf = [](const QString* line) {
    return line ? NmeaToLatLonText(line->mid(line->indexOf(QLatin1Char('=')) + 1)) : QString();
  };

  const int64_t t = trace;
  if (const QString* own = lineOf(t)) return textOf(own);

  // Downwards from trace + 1: the highest number <= trace + 1.
  std::optional<int64_t> down;
  {
    auto it = std::upper_bound(index.begin(), index.end(), t + 1,
                               [](int64_t n, const auto& entry) { return n < entry.first; });
    if (it != index.begin()) {
      --it;
      if (it->first >= 0) down = it->first;
    }
  }
  // Upwards from trace - 1 to count - 1 (nothing to search when count - 1 < trace - 1).
  std::optional<int64_t> up;
  if (int64_t(count) - 1 >= t - 1) {
    const auto it = std::lower_bound(index.begin(), index.end(), t - 1,
                                     [](const auto& entry, int64_t n) { return entry.first < n; });
    if (it != index.end() && it->first <= int64_t(count) - 1) up = it->first;
  }
  // Only lines that exist compete: a search that found nothing must not win as
  // "nearer" and leave a marker without a position next to a sentence. A tie goes down.
  if (up && (!down || std::llabs(*up - t) < std::llabs(*down - t))) return textOf(lineOf(*up));
  return down ? textOf(lineOf(*down)) : QString();
}
