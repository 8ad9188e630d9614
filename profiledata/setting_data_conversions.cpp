// TSettingData: conversions between samples, time and depth and between traces and
// distance, and the derived depth and trace-step values.
//
// Sample interval dt = SpanWidth / LongTrace (ns); depth = (time - zero time) x
// SpeedLight / 2000 (m, two-way travel at SpeedLight mm/ns). Trace distance =
// MeasureStep (mm) x trace / 1000 (m); device offsets are in 10^-5 m.

#include "profiledata/setting_data.h"

#include "platform/rtl/rounding.h"
#include "platform/rtl/sys_utils.h"

#include <algorithm>
#include <cmath>
#include <limits>

float TSettingData::GetMeasureStep() const {
  const double step = double(FWheelMult) * FWheelStep;
  // A finite double beyond the float range would be an undefined conversion.
  if (std::isfinite(step) && std::fabs(step) > std::numeric_limits<float>::max())
    return step > 0 ? std::numeric_limits<float>::infinity() : -std::numeric_limits<float>::infinity();
  return float(step);
}

int32_t TSettingData::GetStepDistance() const {
  return RoundToInt32(static_cast<long double>(FWheelMult) * FWheelStep);
}

int32_t TSettingData::GetStartDeviceXShift() const {
  IChannelWindow* window = AcquisitionShell() ? OwnerWindow() : nullptr;
  return window ? SaturateToInt32(int64_t(window->DeviceX()) + FStartXShift) : 0;
}

int32_t TSettingData::GetStartDeviceYShift() const {
  IChannelWindow* window = AcquisitionShell() ? OwnerWindow() : nullptr;
  return window ? SaturateToInt32(int64_t(window->DeviceY()) + FStartYShift) : 0;
}

int32_t TSettingData::GetStartDeviceZShift() const {
  IChannelWindow* window = AcquisitionShell() ? OwnerWindow() : nullptr;
  return window ? SaturateToInt32(int64_t(window->DeviceZ()) + FStartZShift) : 0;
}

long double TSettingData::GetDepth() const {
  return static_cast<long double>(FSpeedLight) * FSpanWidth / 2000;
}

QString TSettingData::GetSpanDepth() const { return FloatToStrF(GetDepth(), ffFixed, 5, 1); }

long double TSettingData::GetDepthInM() const {
  return (FSpanWidth - SampleToTime(FNullShift)) * FSpeedLight / 2000;
}

long double TSettingData::SampleToTime(int32_t sample) const {
  if (FLongTrace == 0) return 0;
  return static_cast<long double>(sample) * FSpanWidth / FLongTrace;
}

int32_t TSettingData::TimeToSample(long double ns) const {
  if (FSpanWidth == 0) return 0;
  return RoundToInt32(ns * FLongTrace / FSpanWidth);
}

long double TSettingData::SampleToDepth(int32_t sample) const { return SampleToDepthAtSpeed(sample, FSpeedLight); }

long double TSettingData::SampleToDepthAtSpeed(int32_t sample, int32_t speed) const {
  if (FLongTrace == 0) return 0;
  return (static_cast<long double>(sample) - FNullShift) * FSpanWidth / FLongTrace * speed / 2000;
}

int32_t TSettingData::DepthToSample(long double m) const {
  const long double depth = GetDepth();
  if (depth == 0) return 0;
  return RoundToInt32(m * FLongTrace / depth + FNullShift);
}

long double TSettingData::TimeToDepth(long double ns) const {
  return (ns - SampleToTime(FNullShift)) * FSpeedLight / 2000;
}

long double TSettingData::TraceToDist(int64_t trace) const {
  const long double dist =
      static_cast<long double>(GetMeasureStep()) * (static_cast<long double>(trace) - FMinTrace) / 1000;
  return FWasFlip ? -dist : dist;
}

int32_t TSettingData::DistToTrace(long double m) const {
  const long double step = static_cast<long double>(GetMeasureStep()) * 100;
  if (step == 0) return 0;
  const long double scaled = m * 100000;
  return RoundToInt32((FWasFlip ? -scaled : scaled) / step);
}

long double TSettingData::TraceToDistWithShift(int64_t trace) const {
  const long double dist = static_cast<long double>(GetMeasureStep()) * trace / 1000 +
                           static_cast<long double>(GetStartDeviceXShift()) / 100000;
  return FWasFlip ? -dist : dist;
}

int32_t TSettingData::DistToTraceWithShift(long double m) const {
  const long double step = static_cast<long double>(GetMeasureStep()) * 100;
  if (step == 0) return 0;
  const long double shift = GetStartDeviceXShift();
  const long double scaled = m * 100000;
  return RoundToInt32((FWasFlip ? -shift - scaled : scaled - shift) / step);
}
