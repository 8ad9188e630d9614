#pragma once
// What the mouse does on a radargram chart, without the window: the trace and
// sample under the cursor, which marker it is over, the read-out texts, the trace
// a click tells an open tool dialog, the wiggle (A-scan) curve and the hand
// tool's scroll step.
//
// Units: XValue is a trace number, or metres along the profile in distance mode;
// YValue is ns from the start of the time window; device offsets are 10^-5 m;
// measuring steps mm per trace; SpeedLight m/us. Rounding is to nearest with ties
// to even. Every routine is pure.

#include "profiledata/gpr_constants.h"

#include <QString>

#include <cstdint>
#include <vector>

class TSettingData;

namespace mouse_arithmetic {

// How a channel places its traces along the top axis. Distance mode: the
// "Distance" unit is chosen, the topography device places traces by distance and
// the measuring step is above 0.
struct TTracePlacement {
  bool distanceMode = false;
  int32_t deviceX = 0;  // the window's device offset, 10^-5 m
  double measureStep = 0;
  bool flipped = false;
};

// The topography device types that place traces by distance: all but none and GPS.
bool IsDistanceTopoType(TTopoType type);

// The fractional trace under XValue: (XValue -+ DeviceX / 100000) x 1000 /
// MeasureStep in distance mode (plus on a flipped channel), XValue otherwise.
long double CursorPosX(double xValue, const TTracePlacement& placement);
// round(CursorPosX), negated on a flipped channel.
int32_t CursorTrace(double xValue, const TTracePlacement& placement);

// The trace a click names to an open tool dialog: in distance mode of the master
// channel round((XValue - StartDeviceXShift / 100000) x 1000 / MeasureStep)
// (-XValue on a flipped channel) with the clicked channel's shift and step,
// round(XValue) otherwise.
int64_t ToolTrace(double xValue, bool masterDistanceMode, int32_t startDeviceXShift, double measureStep,
                  bool flipped);
// The time a click names to an open tool dialog: round(YValue x 1000).
int64_t ToolTime(double yValue);

// ---- Hit test -------------------------------------------------------------------------

enum TMarkerHitKind : uint8_t { hkNone, hkObject, hkSurface, hkPolyLine };

struct TMarkerHit {
  TMarkerHitKind kind = hkNone;
  int index = -1;           // list index of the marker or polyline
  int32_t buttonIndex = 0;  // polylines: 1 on a node, 3 on a segment
  int32_t node = -1;        // polylines: the node, or the segment's first node
};

// How near an object marker the cursor must be, and how near the top a surface
// marker is reachable.
constexpr int32_t kObjectReachTraces = 4;
constexpr int32_t kObjectReachSamples = 8;
constexpr int32_t kSurfaceReachSamples = 20;

// The item of the channel's marker lists at trace t and sample s, later rules
// replacing earlier ones: the first object marker within 4 traces and 8 samples;
// only for s < 20 the first surface marker within 4 traces; the first polyline
// that a node or segment of is hit.
TMarkerHit MarkerAtCursor(const TSettingData& settings, int32_t trace, int32_t sample);

// ---- Read-out -------------------------------------------------------------------------

struct TReadoutInput {
  bool inPlot = false;
  double xValue = 0;
  double yValue = 0;
  TTracePlacement placement;
  bool distanceTopo = false;  // the topography device places traces by distance
  long double proportionalCoefic = 1;
  int32_t speedLight = 0;
  long double zeroTime = 0;  // NullShift x SpanWidth x OverStep / 1000
};

struct TReadout {
  QString time, depth, trace, distance;
  long double posX = 0;  // the fractional trace (inside the plot only)
};

// Time, depth (SpeedLight x (YValue - t0) / 2000), trace (round(PosX)) and
// distance, fixed with precision 5 and 2 decimals; a text that does not apply is
// empty. Outside the plot all four are a single blank.
TReadout Readout(const TReadoutInput& input);

// ---- Wiggle trace -----------------------------------------------------------------------

struct TWigglePoint {
  double x = 0;
  double y = 0;
};

struct TWiggleScale {
  bool distance = false;  // the "Distance" unit is chosen
  double measureStep = 0;
  int32_t deviceX = 0;
  bool flipped = false;
  long double proportionalCoefic = 1;
  double spanWidth = 0;
  int32_t overStep = 1;
};

// The largest |sample| of the trace, at least 1.
int32_t WiggleAmplitude(const int32_t* trace, int32_t samples);
// The curve of trace position p: x = value x scale + base, y = e x SpanWidth x
// OverStep / 1000 for every sample e. Base p and scale 60 / (A x coefficient);
// with "Distance" base MeasureStep x p / 1000 +- DeviceX / 100000 and scale
// MeasureStep / (coefficient x 20) / A.
std::vector<TWigglePoint> WiggleCurve(const int32_t* trace, int32_t samples, double p, const TWiggleScale& scale);
// The trace index of wiggle position p in a channel whose first trace is
// minNumTraces, -1 when p is outside the traces (flipped: -Max < p <= -Min,
// else Min <= p < Max).
int64_t WiggleTraceIndex(double p, int64_t minNumTraces, int64_t maxNumTraces, bool flipped);

// ---- Hand tool ----------------------------------------------------------------------------

// The new scroll position after a drag step of delta pixels: position - delta x
// 100 within 0 .. max.
int64_t HandScrollPosition(int64_t position, int delta, int64_t max);

}  // namespace mouse_arithmetic
