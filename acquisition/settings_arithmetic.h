#pragma once
// The acquisition settings window's arithmetic, apart from the window: stacking
// and trace rate, the number of samples, the limits texts, the step of the
// measuring wheel, the stored profile offsets, the per-sample preview gain, the
// survey-window captions, the wheel calibrations of the settings file and the
// copy of a radar's last trace for the preview.
//
// Every routine is pure (or reads only what it is given); any thread.

#include "profiledata/gpr_constants.h"
#include "profiledata/setting_data.h"
#include "radar/trace_capacity.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

class TCustomIniFile;

namespace settings_window {

// ---- Stacking -----------------------------------------------------------------------------
// The flat-stacking track bar is vertical with 1 at the bottom:
// Stacking = Min + Max - Position.
inline constexpr int TrackBarStackingMin = 1;
inline constexpr int TrackBarStackingMax = 64;
uint8_t StackingFromTrackPosition(int position);
int TrackPositionFromStacking(int stacking);
// The largest sum of `stacking` soundings of 18-bit samples: the amplitude
// charts span ±this.
inline constexpr int64_t SampleAmplitude = 131071;
int64_t AmplitudeRange(int stacking);
// A stacking edit ("Curvature", "Max") below 1 is raised to 1.
int32_t StackingEditValue(int64_t value);

// ---- Samples ------------------------------------------------------------------------------
inline constexpr int OverStepMin = 1;
inline constexpr int OverStepMax = 5;
// round(1000 / OverStep); 0 for an OverStep of 0.
int32_t SamplesFromOverStep(int overStep);
// "Number of Samples" down raises OverStep while it is below 5, up lowers it
// while it is above 1; the value unchanged otherwise.
int OverStepAfterSamplesDown(int overStep);
int OverStepAfterSamplesUp(int overStep);

// ---- Limits -------------------------------------------------------------------------------
// Fixed-point, precision 5, 2 decimals ("27.19").
QString LimitText(long double value);
// Traces per second of flat stacking.
long double FlatStackingPRF(int32_t longTrace, int stacking);
// "%s m/s": the highest movement speed, prf traces per second of stepMm mm each.
QString MaxSpeedText(long double prf, int32_t stepMm);
// round(WheelMult x WheelStep) in mm.
int32_t StepDistanceMm(uint16_t wheelMult, double wheelStep);

// ---- Wheel multiplier ---------------------------------------------------------------------
// Up adds 1 (10 with Shift) while the result stays below 100; down subtracts
// while WheelMult exceeds the step. nullopt: refused.
std::optional<uint16_t> WheelMultUp(uint16_t wheelMult, bool shift);
std::optional<uint16_t> WheelMultDown(uint16_t wheelMult, bool shift);

// ---- Profile offsets ----------------------------------------------------------------------
// Offsets are stored as signed 32-bit integers in units of 10 µm: the edits
// are limited to what fits.
inline constexpr long double OffsetUnitsPerMetre = 100000;
inline constexpr double OffsetLimitMetres = 21474.83647;
// round(metres x 100000), the metres first clamped to ±OffsetLimitMetres (NaN: 0).
int32_t OffsetToStored(long double metres);
double StoredToOffset(int32_t stored);

// ---- Preview gain -------------------------------------------------------------------------
inline constexpr int GainLength = 1000;
using TGainArray = std::array<double, GainLength>;
// Every entry 1; with advanced stacking entry j (j < samples) := stacking ÷ the
// count of the run of the table that holds sample j + 1 (the last of the first
// `runs` runs whose start is at most j + 1).
void FillGain(TGainArray& gain, bool advanced, int stacking, std::span<const TSteckingRun> table, int runs,
              int samples);

// ---- Stacking mode ------------------------------------------------------------------------
// Advanced (depth-dependent) stacking needs firmware 7 or later in every
// connected radar; without any radar it is advanced too.
inline constexpr uint16_t AdvancedStackingFirmware = 7;
bool UseAdvancedStacking(std::span<const uint16_t> connectedFirmwares);

// ---- Survey windows -----------------------------------------------------------------------
// "1.5 m (16 ns)": the depth of a window of wndWidthNs at speed m/µs.
QString SurveyWindowCaption(double wndWidthNs, int32_t speed);
// Dual frequency: with depths "0.8 m/1.5 m", else "8 ns/16 ns".
QString DualSurveyWindowCaption(double width0Ns, double width1Ns, int32_t speed, bool asDepth);

// ---- Wheel calibrations -------------------------------------------------------------------
struct TWheelCalibration {
  QString Text;  // step in general format (5, 2), a blank and the name
  double Step = 0;
};
// The main settings file's section "Odometer_" + type: CountMeasur entries of
// NameMeasure_i and Measure_i (default 1); none (or GPS): one "Default" entry
// with the type's wheel step.
std::vector<TWheelCalibration> WheelCalibrations(const TCustomIniFile* ini, int topoType);

// ---- Preview trace ------------------------------------------------------------------------
// The samples the preview shows of a trace of `samples`: at most the channel's
// LongTrace and at most GainLength, never below 0.
int PreviewSampleCount(int64_t samples, int32_t longTrace);
// values[j] := round(trace[j] x gain[j]) for j < count.
void ApplyGain(std::span<const int32_t> trace, const TGainArray& gain, int count, std::span<int32_t> values);

}  // namespace settings_window
