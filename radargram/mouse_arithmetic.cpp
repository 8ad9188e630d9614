// The mouse on a radargram chart without the window (mouse_arithmetic.h).

#include "radargram/mouse_arithmetic.h"

#include "platform/rtl/rounding.h"
#include "platform/rtl/sys_utils.h"
#include "profiledata/markers_data.h"
#include "profiledata/polyline_markers.h"
#include "profiledata/setting_data.h"

#include <algorithm>
#include <cstdlib>

namespace mouse_arithmetic {

namespace {

QString Fixed(long double value) { return FloatToStrF(value, ffFixed, 5, 2); }

long double DeviceMetres(int32_t deviceX) { return static_cast<long double>(deviceX) / 100000.0L; }

}  // namespace

bool IsDistanceTopoType(TTopoType type) { return type != ttNil && type != ttGPS; }

long double CursorPosX(double xValue, const TTracePlacement& placement) {
  if (!placement.distanceMode || !(placement.measureStep > 0)) return xValue;
  const long double shift = DeviceMetres(placement.deviceX);
  const long double metres = placement.flipped ? xValue + shift : xValue - shift;
  return metres * 1000.0L / placement.measureStep;
}

int32_t CursorTrace(double xValue, const TTracePlacement& placement) {
  const int32_t trace = RoundToInt32(CursorPosX(xValue, placement));
  return placement.flipped ? SaturateToInt32(-int64_t{trace}) : trace;
}

int64_t ToolTrace(double xValue, bool masterDistanceMode, int32_t startDeviceXShift, double measureStep,
                  bool flipped) {
  if (!masterDistanceMode || !(measureStep > 0)) return Round(xValue);
  const long double x = flipped ? -static_cast<long double>(xValue) : static_cast<long double>(xValue);
  return Round((x - DeviceMetres(startDeviceXShift)) * 1000.0L / measureStep);
}

int64_t ToolTime(double yValue) { return Round(static_cast<long double>(yValue) * 1000.0L); }

TMarkerHit MarkerAtCursor(const TSettingData& settings, int32_t trace, int32_t sample) {
  TMarkerHit hit;
  if (const TObjectMarkersData* objects = settings.ObjectMarkersArray) {
    for (int i = 0; i < objects->Count(); ++i) {
      const TObjectMarker* m = objects->GetObjectMarker(i);
      if (std::llabs(int64_t{trace} - m->GetNumTrace()) <= kObjectReachTraces &&
          std::llabs(int64_t{sample} - m->GetNumSample()) <= kObjectReachSamples) {
        hit.kind = hkObject;
        hit.index = i;
        break;
      }
    }
  }
  if (sample < kSurfaceReachSamples) {
    if (const TSurfeMarkersData* surface = settings.SurfaceMarkersArray) {
      for (int i = 0; i < surface->Count(); ++i) {
        if (std::llabs(int64_t{trace} - surface->GetSurfaceMarker(i)->GetNumTrace()) <= kObjectReachTraces) {
          hit.kind = hkSurface;
          hit.index = i;
          break;
        }
      }
    }
  }
  if (const TPolyLineMarkersArray* polylines = settings.PolyLineMarkersArray) {
    int32_t kind = pcNone, node = -1, polyline = -1;
    polylines->GetRegimeCursorForAll(trace, sample, kind, node, polyline);
    if (kind != pcNone && polyline >= 0) {
      hit.kind = hkPolyLine;
      hit.index = polyline;
      hit.buttonIndex = kind;
      hit.node = node;
    }
  }
  return hit;
}

TReadout Readout(const TReadoutInput& input) {
  TReadout out;
  if (!input.inPlot) {
    out.time = out.depth = out.trace = out.distance = QStringLiteral(" ");
    return out;
  }
  out.time = Fixed(input.yValue);
  out.depth = Fixed(input.speedLight * (input.yValue - input.zeroTime) / 2000.0L);
  if (input.placement.distanceMode && input.placement.measureStep > 0) {
    out.posX = CursorPosX(input.xValue, input.placement);
    out.distance = Fixed(input.xValue);
  } else {
    out.posX = input.xValue;
    if (input.distanceTopo && input.proportionalCoefic != 0)
      out.distance = Fixed(input.placement.measureStep * input.xValue / (input.proportionalCoefic * 1000.0L));
  }
  out.trace = IntToStr(Round(out.posX));
  return out;
}

int32_t WiggleAmplitude(const int32_t* trace, int32_t samples) {
  int64_t largest = 1;
  for (int32_t e = 0; trace && e < samples; ++e) largest = std::max<int64_t>(largest, std::llabs(trace[e]));
  return SaturateToInt32(largest);
}

std::vector<TWigglePoint> WiggleCurve(const int32_t* trace, int32_t samples, double p, const TWiggleScale& scale) {
  std::vector<TWigglePoint> curve;
  if (!trace || samples <= 0) return curve;
  const long double a = WiggleAmplitude(trace, samples);
  const long double coefficient = scale.proportionalCoefic != 0 ? scale.proportionalCoefic : 1;
  long double base = p;
  long double factor = 60.0L / (a * coefficient);
  if (scale.distance) {
    const long double shift = DeviceMetres(scale.deviceX);
    base = scale.measureStep * p / 1000.0L + (scale.flipped ? -shift : shift);
    factor = scale.measureStep / (coefficient * 20.0L) / a;
  }
  const long double dt = static_cast<long double>(scale.spanWidth) * scale.overStep / 1000.0L;
  curve.reserve(static_cast<size_t>(samples));
  for (int32_t e = 0; e < samples; ++e)
    curve.push_back({static_cast<double>(trace[e] * factor + base), static_cast<double>(e * dt)});
  return curve;
}

int64_t WiggleTraceIndex(double p, int64_t minNumTraces, int64_t maxNumTraces, bool flipped) {
  const long double pos = p;
  if (flipped) {
    if (!(pos > -static_cast<long double>(maxNumTraces) && pos <= -static_cast<long double>(minNumTraces))) return -1;
    return Trunc(-pos - minNumTraces);
  }
  if (!(pos >= minNumTraces && pos < maxNumTraces)) return -1;
  return Trunc(pos - minNumTraces);
}

int64_t HandScrollPosition(int64_t position, int delta, int64_t max) {
  return std::clamp<int64_t>(position - int64_t{delta} * 100, 0, std::max<int64_t>(max, 0));
}

}  // namespace mouse_arithmetic
