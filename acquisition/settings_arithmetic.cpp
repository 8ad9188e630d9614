#include "acquisition/settings_arithmetic.h"

#include "acquisition/wheel_calibration.h"

#include "platform/rtl/ini_files.h"
#include "platform/rtl/rounding.h"
#include "platform/rtl/sys_utils.h"

#include <algorithm>
#include <cmath>

namespace settings_window {

uint8_t StackingFromTrackPosition(int position) {
  const int clamped = std::clamp(position, TrackBarStackingMin, TrackBarStackingMax);
  return static_cast<uint8_t>(TrackBarStackingMin + TrackBarStackingMax - clamped);
}

int TrackPositionFromStacking(int stacking) {
  return TrackBarStackingMin + TrackBarStackingMax - std::clamp(stacking, TrackBarStackingMin, TrackBarStackingMax);
}

int64_t AmplitudeRange(int stacking) { return int64_t{stacking} * SampleAmplitude; }

int32_t StackingEditValue(int64_t value) { return SaturateToInt32(std::max<int64_t>(value, 1)); }

int32_t SamplesFromOverStep(int overStep) {
  if (overStep == 0) return 0;
  return RoundToInt32(1000.0L / overStep);
}

int OverStepAfterSamplesDown(int overStep) { return overStep < OverStepMax ? overStep + 1 : overStep; }
int OverStepAfterSamplesUp(int overStep) { return overStep > OverStepMin ? overStep - 1 : overStep; }

QString LimitText(long double value) { return FloatToStrF(value, ffFixed, 5, 2); }

long double FlatStackingPRF(int32_t longTrace, int stacking) { return TSettingData::TraceRate(stacking, longTrace); }

QString MaxSpeedText(long double prf, int32_t stepMm) {
  return Format(QStringLiteral("%s m/s"), {LimitText(prf * stepMm / 1000)});
}

int32_t StepDistanceMm(uint16_t wheelMult, double wheelStep) {
  return RoundToInt32(static_cast<long double>(wheelMult) * wheelStep);
}

std::optional<uint16_t> WheelMultUp(uint16_t wheelMult, bool shift) {
  const int step = shift ? 10 : 1;
  if (wheelMult < 100 - step) return static_cast<uint16_t>(wheelMult + step);
  return std::nullopt;
}

std::optional<uint16_t> WheelMultDown(uint16_t wheelMult, bool shift) {
  const int step = shift ? 10 : 1;
  if (wheelMult > step) return static_cast<uint16_t>(wheelMult - step);
  return std::nullopt;
}

int32_t OffsetToStored(long double metres) {
  if (std::isnan(metres)) return 0;
  const long double clamped = std::clamp<long double>(metres, -OffsetLimitMetres, OffsetLimitMetres);
  return RoundToInt32(clamped * OffsetUnitsPerMetre);
}

double StoredToOffset(int32_t stored) { return static_cast<double>(stored / OffsetUnitsPerMetre); }

void FillGain(TGainArray& gain, bool advanced, int stacking, std::span<const TSteckingRun> table, int runs,
              int samples) {
  gain.fill(1.0);
  if (!advanced) return;
  runs = std::clamp(runs, 0, static_cast<int>(table.size()));
  if (runs == 0) return;
  const int count = std::clamp(samples, 0, GainLength);
  int run = 0;
  for (int j = 0; j < count; ++j) {
    const int sample = j + 1;
    while (run + 1 < runs && table[static_cast<size_t>(run + 1)].Start <= sample) ++run;
    const uint16_t stack = table[static_cast<size_t>(run)].Count;
    gain[static_cast<size_t>(j)] = stack == 0 ? 1.0 : static_cast<double>(stacking) / stack;
  }
}

bool UseAdvancedStacking(std::span<const uint16_t> connectedFirmwares) {
  return std::none_of(connectedFirmwares.begin(), connectedFirmwares.end(),
                      [](uint16_t firmware) { return firmware < AdvancedStackingFirmware; });
}

namespace {

QString DepthText(double wndWidthNs, int32_t speed) {
  return FloatToStrF(static_cast<long double>(speed) * wndWidthNs / 2000, ffFixed, 5, 1);
}

}  // namespace

QString SurveyWindowCaption(double wndWidthNs, int32_t speed) {
  return DepthText(wndWidthNs, speed) + QStringLiteral(" m (") + FloatToStr(wndWidthNs) + QStringLiteral(" ns)");
}

QString DualSurveyWindowCaption(double width0Ns, double width1Ns, int32_t speed, bool asDepth) {
  if (asDepth) return DepthText(width0Ns, speed) + QStringLiteral(" m/") + DepthText(width1Ns, speed) + QStringLiteral(" m");
  return FloatToStr(width0Ns) + QStringLiteral(" ns/") + FloatToStr(width1Ns) + QStringLiteral(" ns");
}

std::vector<TWheelCalibration> WheelCalibrations(const TCustomIniFile* ini, int topoType) {
  std::vector<TWheelCalibration> entries;
  for (const auto& entry : wheel_calibration::ReadStoredCalibrations(ini, static_cast<TTopoType>(topoType)))
    entries.push_back({entry.Stored ? wheel_calibration::StepText(entry.Step) + u' ' + entry.Name : entry.Name,
                       entry.Step});
  return entries;
}

int PreviewSampleCount(int64_t samples, int32_t longTrace) {
  const int64_t limit = std::min<int64_t>({samples, longTrace, GainLength});
  return static_cast<int>(std::max<int64_t>(limit, 0));
}

void ApplyGain(std::span<const int32_t> trace, const TGainArray& gain, int count, std::span<int32_t> values) {
  const size_t n = std::min({static_cast<size_t>(std::max(count, 0)), trace.size(), values.size(), gain.size()});
  for (size_t j = 0; j < n; ++j) values[j] = RoundToInt32Fast(static_cast<long double>(trace[j]) * gain[j]);
}

}  // namespace settings_window
