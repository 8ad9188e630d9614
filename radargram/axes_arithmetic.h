#pragma once
// The radargram window's axes, scroll bars, zoom and proportions without the
// window: what each axis of a channel chart shows for the zoom factor, the
// proportion mode and the scroll positions, how far the scroll bars reach, and
// the zoom steps and fits.
//
// Units: ZoomFactor is per mille of data pixels per screen pixel (1000 = 1:1,
// 500 = twice magnified); scroll positions are hundredths of a zoom-bitmap
// pixel; times are ns, depths m, distances m, measuring steps mm. Rounding is to
// nearest with ties to even throughout. Every routine is pure.

#include "profiledata/gpr_constants.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace axes_arithmetic {

// ---- Zoom ------------------------------------------------------------------------------

// Zoom in multiplies by 0.8 while the factor is above 100, zoom out by 1.25
// while it is below 100000; each may step once past its limit (101 -> 81).
constexpr int kZoomInLimit = 100;
constexpr int kZoomOutLimit = 100000;
int ZoomStep(int zoomFactor, bool zoomIn);

// What the zoom list shows: round(100000 / factor) (0 for a factor below 1).
int ZoomPercent(int zoomFactor);

// The factor of a zoom-list text ("400", "25", or a typed number): round(100000
// / value). Nothing for a text that is not a positive number or gives a factor
// below 1.
std::optional<int> ZoomFactorOfPercentText(const QString& text);

// ---- Proportions -------------------------------------------------------------------------

// Screen columns per trace relative to the vertical scale: 1, 3, 5 in samples;
// c x 0.5, c, c x 2 in metres (c the channel's trace step over its sample step
// in length); c for the two modes without a button.
long double ProportionalCoefic(TProportional mode, long double channelCoefic);
// The factor the width limit is checked with: as above, but 0 for the two modes
// without a button.
long double WidthLimitFactor(TProportional mode, long double channelCoefic);
// No image is wider than this many columns.
constexpr long double kMaxProportionalColumns = 32000;
bool TooWideForMode(int64_t traces, long double widthFactor);
// The three modes in metres, where a dual-frequency box scales its channels by
// depth to the master.
bool IsDistanceMode(TProportional mode);

// ---- Axis ranges -------------------------------------------------------------------------

// What a channel's settings give the conversions.
struct TChannelScale {
  long double SpanWidth = 0;  // ns
  int OverStep = 1;
  int32_t NullShift = 0;      // samples
  int32_t SpeedLight = 100;   // m/us (mm/ns)
};

// x samples in ns: x x SpanWidth x OverStep / 1000.
long double SampleTime(long double samples, const TChannelScale& scale);
// The depth of a time: (ns - S(NullShift)) x SpeedLight / 2000.
long double TimeDepth(long double ns, const TChannelScale& scale);

struct TVerticalInput {
  int ChartHeight = 0;
  int TopAxisHeight = 0;   // the channel's AxisHeight_
  int VertPosition = 0;    // 1/100 pixel
  int ZoomFactor = 1000;
  long double LeftMinimum = 0;  // the left axis's current minimum
  long double LeftMaximum = 0;
  TChannelScale Scale;
};

struct TVerticalRanges {
  // The visible bottom row: chart height - top axis + scroll, or 100 for a
  // chart no higher than its top axis.
  int64_t BottomRow = 0;
  // False when the bottom row lies above the left minimum: only the right axis
  // is set then.
  bool LeftSet = false;
  long double LeftMin = 0, LeftMax = 0;    // ns
  long double RightMin = 0, RightMax = 0;  // m
};
TVerticalRanges VerticalRanges(const TVerticalInput& in);

struct THorizontalInput {
  int ChartWidth = 0;
  int AxisWidth = 108;
  int HorPosition = 0;  // 1/100 pixel
  int ZoomFactor = 1000;
  long double Proportion = 1;    // ProportionalCoefic
  long double ZoomToMaster = 1;  // ZoomToMasterDistance
  int64_t MinNumTraces = 0;
  int64_t MaxNumTraces = 0;
  bool Flipped = false;
  // Distance mode: "Distance" checked, traces placed by distance, step above 0.
  bool Distance = false;
  long double MeasureStep = 0;  // mm
  int32_t DeviceX = 0;          // 1e-5 m
  int SettingsVersion = 0;
  TChannelScale Scale;          // the old distance form converts through it
  bool Recording = false;
};

struct TTopRange {
  int64_t RightColumn = 0;  // h: the visible right edge in zoom-bitmap columns
  long double Min = 0, Max = 0;
};
// The trace count of p screen columns: p x Z / (1000 x P x ZTM).
long double ColumnTraces(long double columns, const THorizontalInput& in);
TTopRange TopRange(const THorizontalInput& in);

// Where the position line stands on a top axis running min..max for the end m of
// the data: m inside; while recording the nearer end; else 0.
long double PositionLineX(long double m, long double min, long double max, bool recording);

// ---- Scroll bars -------------------------------------------------------------------------

// A pixel count as a scroll-bar value: x 100, within 0 .. INT32_MAX.
int ScrollValue(int64_t pixels);

struct TScrollInput {
  int ZoomWidth = 0;
  int ZoomHeight = 0;
  int DrawWidth = 0;          // the chart's width less the axis room
  int ChartHeight = 0;
  int HorStripHeight = 18;    // Panel4
  bool HorStripVisible = true;
  int VertStripWidth = 18;    // Panel2 when shown
  bool VertStripShown = false;  // before this call
  bool Maximised = false;
  int VertPosition = 0;
  int HorPosition = 0;
};

struct TScrollBarState {
  bool Shown = false;
  int Max = 0;
  int Position = 0;
  int LargeChange = 1;
  int SmallChange = 1;
};

struct TScrollLayout {
  TScrollBarState Vert;
  TScrollBarState Hor;
  int Dx = 0;
  int Dy = 0;
};
TScrollLayout ScrollLayout(const TScrollInput& in);

// The horizontal position that shows trace PosTraces: the share of the bar's
// range, or its maximum when within 500 (5 pixels) of it.
int PositionOfTrace(int min, int max, int64_t posTraces, int64_t minNumTraces, int64_t traces);

// ---- Fits --------------------------------------------------------------------------------

// The room of the shown channel when several share the height: round(H x 2 /
// shown) for more than two, round(H / 2) for two.
int ShareOfHeight(int height, int shownChannels);
// round(LongTrace x 1000 / (H + frame - allowance)); nothing when that divisor
// is 0 or less or the factor would be below 1.
std::optional<int> FitHeightFactor(int32_t longTrace, int height, int frameHeight, int allowance);
// round(1000 x traces x P / room), a room of 0 taken as 1; nothing for a negative
// room or a factor below 1.
std::optional<int> FitWidthFactor(int64_t traces, long double proportion, int room);

}  // namespace axes_arithmetic
