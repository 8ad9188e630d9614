#pragma once
// The radargram window's GPS track without the window: a stored profile's NMEA
// lines turned into metres east and north of the track's first fix, one point
// per trace; the bounding box the track chart is fitted to; the widening of the
// chart's range around a live fix; and where a marker sits on the track.
//
// NMEA lines are "trace number=sentence" (the number counts traces from 1).
// Positions are Gauss-Krueger plane coordinates of the sentence's latitude and
// longitude (profiledata/gauss_kruger.h); a sentence yields a position when
// NmeaToLatLon gives a text for it. Every routine is pure.

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

namespace gps_track {

// The track chart's range in metres: X east (top and bottom axes), Y north (left
// and right axes).
struct TTrekRange {
  long double X1 = -5, X2 = 5, Y1 = -5, Y2 = 5;
  bool operator==(const TTrekRange&) const = default;
};

// How far the live range grows for an overshoot of dx (east) and dy (north),
// both 0 or more: the next multiple of 5 strictly above round(max(dx, dy)).
int64_t OvershootStep(long double dx, long double dy);

// Widens range so that the point (x, y) fits, both directions together: with
// the step of the overshoot, y above Y2 moves Y2 and X2 up, y below Y1 moves Y1
// and X1 down, then x above X2 moves X2 and Y2 up, x below X1 moves X1 and Y1
// down, each test against the range the tests before it left. A step of 1000 or
// more changes nothing (a stray fix far away). True when the range changed.
bool WidenForPoint(TTrekRange& range, long double x, long double y);

struct TTrackBox {
  double MinX = 1000000, MinY = 1000000, MaxX = -1000000, MaxY = -1000000;
};

struct TTrackConversion {
  // The lines hold a track (more than one line); without one nothing changed.
  bool isGPS = false;
  // The arrays were empty before: the chart takes the box and the whole track.
  bool FirstCall = false;
  // The points converted by this call, squared (see SquareBox).
  TTrackBox Box;
};

// Converts the traces added since the last call (the arrays' length before it
// up to traceCount - 1) into metres east (x) and north (y) of the track's
// origin: the first fix, or the fix of line "1" once the arrays hold a trace.
// A trace with a fix gets its offset; traces without a line between two fixes
// lie evenly on the straight line between them (a later call continues from
// the last trace it had); traces after the last fix step 0.01 m east and north
// each; a trace whose line yields no position, and every
// trace before the first fix, stays at 0. The arrays take length traceCount.
// The lines are indexed once per call.
TTrackConversion ConvertNmeaToMetres(const QStringList& lines, int traceCount, std::vector<double>& x,
                                     std::vector<double>& y);

// Makes the box square: the smaller span grows on both sides to the larger one,
// and both grow by 1 m on each side (both spans end as the larger one + 2).
TTrackBox SquareBox(TTrackBox box);

// The track index a marker at numTrace sits on for a channel starting at
// minTrace and a track of length points; -1 when it is not shown. A surface
// marker at or past the end sits on the last point; an object marker there, and
// any marker before the start, is not shown.
int64_t MarkerTrackIndex(int64_t numTrace, int64_t minTrace, int64_t length, bool surface);

}  // namespace gps_track
