// The marker frames' texts and colour lists (marker_texts.h).

#include "radargram/marker_texts.h"

#include "platform/rtl/sys_utils.h"
#include "profiledata/nmea.h"

#include <array>

namespace marker_texts {

namespace {

QString Fixed(long double value) { return FloatToStrF(value, ffFixed, 5, 2); }

QString ColorItem(uint32_t color) {
  return QStringLiteral("$") + QString::number(color & 0xFFFFFF, 16).toUpper().rightJustified(6, u'0');
}

// A colour from a channel mask (bit 0 red, 1 green, 2 blue) with the value of the
// channels in it and of those outside it.
uint32_t Mix(int mask, uint32_t on, uint32_t off) {
  uint32_t color = 0;
  for (int c = 0; c < 3; ++c) color |= ((mask >> c) & 1 ? on : off) << (8 * c);
  return color;
}

// Step k of n from light to dark: the first half whitens less and less (the
// other channels from $E0 down to 0), the second darkens the hue's own channels
// from $FF down to $20.
uint32_t RampStep(int mask, int k, int n) {
  const int h = n - 1;
  if (2 * k <= h) return Mix(mask, 0xFF, static_cast<uint32_t>(224 * (h - 2 * k) / h));
  return Mix(mask, static_cast<uint32_t>(255 - 223 * (2 * k - h) / h), 0);
}

QStringList BuildItems() {
  QStringList items;
  // Bright and darker forms of red, blue, green, yellow, magenta, cyan.
  constexpr std::array<int, 6> kHues{1, 4, 2, 3, 5, 6};
  for (int mask : kHues) items << ColorItem(Mix(mask, 0xFF, 0));
  for (int mask : kHues) items << ColorItem(Mix(mask, 0x8F, 0));
  items << QStringLiteral("$E0E0E0") << QStringLiteral("$C0C0C0") << QStringLiteral("$404040");
  for (int mask : kHues) {
    const int steps = (mask == 1 || mask == 2 || mask == 4) ? 27 : 26;
    for (int k = 0; k < steps; ++k) items << ColorItem(RampStep(mask, k, steps));
  }
  for (uint32_t grey = 0xEB; grey >= 0x0B && grey <= 0xEB; grey -= 0x10) items << ColorItem(Mix(7, grey, 0));
  items << QStringLiteral("$0F1F1F");
  return items;
}

}  // namespace

QString PrepareDistanceString(int64_t trace, int64_t minNumTraces, double measureStep, bool frnWindow,
                              int32_t startXShift, bool flipped) {
  long double d = static_cast<long double>(trace - minNumTraces) * measureStep / 1000.0L;
  if (!frnWindow) d += static_cast<long double>(startXShift) / 100000.0L;
  if (flipped) d = -d;
  return Format(LoadResString(SDistanceOnProfile), {Fixed(d)});
}

QString DepthText(long double depth) { return Format(LoadResString(SDepthOfMarker), {Fixed(depth)}); }
QString TimeText(long double time) { return Format(LoadResString(STimeOfMarker), {Fixed(time)}); }

const QStringList& MarkColorItems() {
  static const QStringList items = BuildItems();
  return items;
}

TColor MarkColorOfItem(const QString& item) {
  if (!item.startsWith(u'$')) return 0;
  bool ok = false;
  const uint value = item.mid(1).toUInt(&ok, 16);
  return ok ? static_cast<TColor>(value) : 0;
}

int FindColorIndex(TColor color) {
  const QStringList& items = MarkColorItems();
  for (int i = 0; i < items.size(); ++i)
    if (MarkColorOfItem(items[i]) == color) return i;
  return 0;
}

QString GpsTextOfTrace(int32_t trace, const QStringList& nmeaLines, bool backward, int traceCount) {
  if (nmeaLines.isEmpty()) return QString();
  const QString name = QString::number(backward ? -int64_t{trace} : int64_t{trace});
  const QString prefix = name + u'=';
  for (const QString& line : nmeaLines)
    if (line.startsWith(prefix)) return NmeaToLatLonText(line.mid(prefix.size()));
  return NearestNmeaLatLonText(trace, nmeaLines, traceCount);
}

}  // namespace marker_texts
