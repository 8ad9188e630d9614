#include "radargram/axes_arithmetic.h"

#include "platform/rtl/rounding.h"
#include "platform/rtl/sys_utils.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace axes_arithmetic {

namespace {
constexpr int kIntMax = std::numeric_limits<int>::max();

// A fitted factor; nothing below 1 (no zoom divides by 0).
std::optional<int> FittedFactor(int64_t v) {
  if (v < 1) return std::nullopt;
  return static_cast<int>(std::min<int64_t>(v, kIntMax));
}
}  // namespace

// ---- Zoom ----------------------------------------------------------------------------

int ZoomStep(int zoomFactor, bool zoomIn) {
  if (zoomIn) return zoomFactor > kZoomInLimit ? RoundToInt32(zoomFactor * 0.8L) : zoomFactor;
  return zoomFactor < kZoomOutLimit ? RoundToInt32(zoomFactor * 1.25L) : zoomFactor;
}

int ZoomPercent(int zoomFactor) { return zoomFactor >= 1 ? RoundToInt32(100000.0L / zoomFactor) : 0; }

std::optional<int> ZoomFactorOfPercentText(const QString& text) {
  long double value = 0;
  if (!TryStrToFloat(text.trimmed(), value) || !std::isfinite(value) || !(value > 0)) return std::nullopt;
  const int64_t factor = Round(100000.0L / value);
  if (factor < 1 || factor > kIntMax) return std::nullopt;
  return static_cast<int>(factor);
}

// ---- Proportions -----------------------------------------------------------------------

long double ProportionalCoefic(TProportional mode, long double c) {
  switch (mode) {
    case PropInSamples11: return 1;
    case PropInSamples13: return 3;
    case PropInSamples15: return 5;
    case PropInM21: return c * 0.5L;
    case PropInM12: return c * 2;
    case PropInM11:
    case PropInM31:
    case PropInM41: return c;
  }
  return 1;
}

long double WidthLimitFactor(TProportional mode, long double c) {
  return mode == PropInM31 || mode == PropInM41 ? 0 : ProportionalCoefic(mode, c);
}

bool TooWideForMode(int64_t traces, long double widthFactor) {
  return static_cast<long double>(traces) * widthFactor > kMaxProportionalColumns;
}

bool IsDistanceMode(TProportional mode) { return mode == PropInM21 || mode == PropInM11 || mode == PropInM12; }

// ---- Axis ranges -------------------------------------------------------------------------

long double SampleTime(long double samples, const TChannelScale& s) {
  return samples * s.SpanWidth * s.OverStep / 1000.0L;
}

long double TimeDepth(long double ns, const TChannelScale& s) {
  return (ns - SampleTime(s.NullShift, s)) * s.SpeedLight / 2000.0L;
}

TVerticalRanges VerticalRanges(const TVerticalInput& in) {
  TVerticalRanges r;
  const int64_t room = int64_t{in.ChartHeight} - in.TopAxisHeight;
  r.BottomRow = room <= 0 ? 100 : room + Round(in.VertPosition / 100.0L);
  const long double z = in.ZoomFactor / 1000.0L;
  if (static_cast<long double>(r.BottomRow) >= in.LeftMinimum) {
    r.LeftSet = true;
    r.LeftMin = SampleTime(in.VertPosition / 100.0L * z, in.Scale);
    r.LeftMax = SampleTime(static_cast<long double>(r.BottomRow) * z, in.Scale);
    r.RightMin = TimeDepth(r.LeftMin, in.Scale);
    r.RightMax = TimeDepth(r.LeftMax, in.Scale);
  } else {
    r.LeftMin = in.LeftMinimum;
    r.LeftMax = in.LeftMaximum;
    r.RightMin = SampleTime(in.LeftMinimum - in.Scale.NullShift, in.Scale) * in.Scale.SpeedLight / 2000.0L;
    r.RightMax = SampleTime(in.LeftMaximum - in.Scale.NullShift, in.Scale) * in.Scale.SpeedLight / 2000.0L;
  }
  return r;
}

long double ColumnTraces(long double columns, const THorizontalInput& in) {
  const long double divisor = 1000.0L * in.Proportion * in.ZoomToMaster;
  return divisor != 0 ? columns * in.ZoomFactor / divisor : 0;
}

TTopRange TopRange(const THorizontalInput& in) {
  TTopRange r;
  const int64_t room = int64_t{in.ChartWidth} - in.AxisWidth;
  r.RightColumn = room > 0 ? Round(in.HorPosition / 100.0L) + room : 100;
  const long double left = in.HorPosition / 100.0L;
  const long double h = static_cast<long double>(r.RightColumn);
  const long double minT = static_cast<long double>(in.MinNumTraces);
  const long double maxT = static_cast<long double>(in.MaxNumTraces);
  if (in.Distance) {
    const long double step = in.MeasureStep;
    const long double x = in.DeviceX / 100000.0L;
    if (in.SettingsVersion < 7) {
      r.Min = x + step * SampleTime(left * in.ZoomFactor / 1000.0L, in.Scale) / 1000.0L;
      r.Max = x + step * SampleTime(in.ZoomFactor * h / 1000.0L, in.Scale) / 1000.0L;
    } else if (in.Flipped) {
      r.Min = ColumnTraces(left, in) * step / 1000.0L - maxT * step / 1000.0L - x;
      r.Max = ColumnTraces(h, in) * step / 1000.0L - maxT * step / 1000.0L - x;
    } else {
      r.Min = x + minT * step / 1000.0L + ColumnTraces(left, in) * step / 1000.0L;
      r.Max = x + minT * step / 1000.0L + ColumnTraces(h, in) * step / 1000.0L;
    }
    return r;
  }
  const long double d = ColumnTraces(h, in);
  if (in.Recording) {
    if (maxT - d < 0) {
      r.Min = minT;
      r.Max = minT + d;
    } else {
      r.Min = maxT - d + minT;
      r.Max = maxT;
    }
  } else if (in.Flipped) {
    r.Min = ColumnTraces(left, in) - maxT;
    r.Max = d - maxT;
  } else {
    r.Min = ColumnTraces(left, in) + minT;
    r.Max = d + minT;
  }
  return r;
}

long double PositionLineX(long double m, long double min, long double max, bool recording) {
  const long double lo = std::min(min, max), hi = std::max(min, max);
  if (m >= lo && m <= hi) return m;
  if (!recording) return 0;
  return m > hi ? hi : lo;
}

// ---- Scroll bars ----------------------------------------------------------------------------

int ScrollValue(int64_t pixels) {
  if (pixels <= 0) return 0;
  return pixels > kIntMax / 100 ? kIntMax : static_cast<int>(pixels * 100);
}

namespace {
void KeepWithin(TScrollBarState& bar, int position) { bar.Position = std::clamp(position, 0, bar.Max); }
}  // namespace

TScrollLayout ScrollLayout(const TScrollInput& in) {
  TScrollLayout r;
  int64_t drawWidth = in.DrawWidth;
  int64_t dx = int64_t{in.ZoomWidth} - drawWidth;
  int64_t dy = int64_t{in.ZoomHeight} - in.ChartHeight;
  if (!in.HorStripVisible && dx >= 1) dy += in.HorStripHeight;

  if (dy <= 0) {
    // The strip goes: a maximised window gives its drawing the strip's room.
    if (in.Maximised && in.VertStripShown) drawWidth += 20;
  } else {
    r.Vert.Shown = true;
    r.Vert.Max = ScrollValue(dy);
    KeepWithin(r.Vert, in.VertPosition);
    r.Vert.LargeChange = r.Vert.Max / 10;
    r.Vert.SmallChange = r.Vert.Max / 100;
    if (!in.VertStripShown) drawWidth -= in.Maximised ? 20 : in.VertStripWidth;
  }
  dx = int64_t{in.ZoomWidth} - drawWidth;

  if (dx >= 1) {
    r.Hor.Shown = true;
    r.Hor.Max = ScrollValue(dx);
    KeepWithin(r.Hor, in.HorPosition);
    r.Hor.LargeChange = RoundToInt32(r.Hor.Max / 10.0L);
    r.Hor.SmallChange = RoundToInt32(r.Hor.Max / 100.0L);
  }
  r.Dx = static_cast<int>(std::clamp<int64_t>(dx, -kIntMax, kIntMax));
  r.Dy = static_cast<int>(std::clamp<int64_t>(dy, -kIntMax, kIntMax));
  return r;
}

int PositionOfTrace(int min, int max, int64_t posTraces, int64_t minNumTraces, int64_t traces) {
  if (min >= max) return min;
  const int64_t a =
      traces != 0 ? Round(static_cast<long double>(int64_t{max} - min) * static_cast<long double>(posTraces - minNumTraces) /
                          static_cast<long double>(traces))
                  : 0;
  if (int64_t{max} - a >= 500) return static_cast<int>(std::clamp<int64_t>(a, min, max));
  return max;
}

// ---- Fits ----------------------------------------------------------------------------------

int ShareOfHeight(int height, int shownChannels) {
  if (shownChannels > 2) return RoundToInt32(height * 2.0L / shownChannels);
  if (shownChannels == 2) return RoundToInt32(height / 2.0L);
  return height;
}

std::optional<int> FitHeightFactor(int32_t longTrace, int height, int frameHeight, int allowance) {
  const int64_t divisor = int64_t{height} + frameHeight - allowance;
  if (divisor <= 0) return std::nullopt;
  return FittedFactor(Round(static_cast<long double>(longTrace) * 1000.0L / divisor));
}

std::optional<int> FitWidthFactor(int64_t traces, long double proportion, int room) {
  if (room < 0) return std::nullopt;
  const int r = room == 0 ? 1 : room;
  return FittedFactor(Round(1000.0L * static_cast<long double>(traces) * proportion / r));
}

}  // namespace axes_arithmetic
