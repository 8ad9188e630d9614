#pragma once
// The marker frames' texts and lists without the window: the distance text of a
// marker, the 190 colours of the owner-drawn colour boxes, and the depth, time and
// GPS texts of a position.
//
// Every routine is pure.

#include "platform/rtl/resource_strings.h"
#include "platform/ui/control_types.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

RESOURCESTRING(SDistanceOnProfile, "Distance on profile %s m");
RESOURCESTRING(SDepthOfMarker, "Depth %s m");
RESOURCESTRING(STimeOfMarker, "Time %s ns");

namespace marker_texts {

// d = (trace - minNumTraces) x measureStep / 1000 m; plus startXShift / 100000
// unless the window shows a ".frn" container; negated on a flipped channel.
// "Distance on profile %s m" with d fixed, precision 5, 2 decimals.
QString PrepareDistanceString(int64_t trace, int64_t minNumTraces, double measureStep, bool frnWindow,
                              int32_t startXShift, bool flipped);
// "Depth %s m" and "Time %s ns", fixed, precision 5, 2 decimals.
QString DepthText(long double depth);
QString TimeText(long double time);

// The items of the colour boxes (a pen colour and the default marker colour), each
// "$" and six hexadecimal digits (blue, green, red): the six bright colours, their
// darker forms, three greys, light-to-dark ramps of each hue (the primaries in 27
// steps, the mixed hues in 26), grey steps from "$EBEBEB" to "$0B0B0B" and
// "$0F1F1F" last. 190 items; some colours occur more than once.
constexpr int kMarkColorCount = 190;
const QStringList& MarkColorItems();
// The colour of an item text ("$0000FF" is red); 0 for a text that is no colour.
TColor MarkColorOfItem(const QString& item);
// The first item whose colour equals color; 0 when none does.
int FindColorIndex(TColor color);
// The item the default marker colour box starts at ("$FF0000").
constexpr int kDefaultMarkColorItem = 1;

// The GPS text of a trace from a channel's "trace=sentence" lines: the sentence
// of the line named by the trace (its negation for direction 1) as latitude,
// longitude, else the nearest line's; empty without lines.
QString GpsTextOfTrace(int32_t trace, const QStringList& nmeaLines, bool backward, int traceCount);

}  // namespace marker_texts
