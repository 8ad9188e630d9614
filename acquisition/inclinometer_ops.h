#pragma once
// The inclinometer calibration's arithmetic, apart from any window: the running
// extremes of an accelerometer axis over a window of the last readings, the
// axes normalised by their extremes, the tilt by the radar's model and serial
// number, the quality of a calibration and the section it is stored in.
//
// Every routine is pure or works only on what it is given; any thread.

#include "platform/rtl/resource_strings.h"
#include "profiledata/gpr_constants.h"

#include <QString>

#include <cstdint>
#include <span>

class TCustomIniFile;

RESOURCESTRING(SInclinometerTilt, "Tilt %s \u00B0");

namespace inclinometer {

// Degrees per radian as the tilt is shown.
inline constexpr double DegreesPerRadian = 57.29577951308232;
// A zero step ends after this many tilt samples.
inline constexpr int ZeroStepSamples = 39;

// The window drops its oldest reading and takes `reading` last; the extreme
// takes the window's mean when it lies beyond it (above a maximum when
// `maximum`, below a minimum otherwise). Returns the mean.
double FeedExtreme(double& extreme, std::span<int32_t> window, int32_t reading, bool maximum);

// (reading - middle) x 2 / (max - min), kept within -1 .. 1; 1.0 when the
// extremes are equal (no scale yet).
double NormalisedAxis(double reading, double maximum, double minimum);

// The sine of the tilt from the normalised X axis: a multi-channel device box
// reads it negated; a radar of serial number 62 or above reads it as is for the
// models 9, 15, 17, 19, 28, 29 and 30, a radar below 62 negated for the models
// 9, 15, 17, 19, 24, 28 and 29, each negated otherwise.
double TiltSine(double x, bool multiChannelDevice, uint16_t serialNumber, int radarType);
// arcsin(s) in degrees.
double TiltDegrees(double sine);

// The extremes of the three axes.
struct TExtremes {
  double GXmax = 0, GXmin = 0, GYmax = 0, GYmin = 0, GZmax = 0, GZmin = 0;
};
// Each axis's range is below a tenth of its maximum; a zero maximum counts as
// such a range (nothing to calibrate with).
bool RangesTooSmall(const TExtremes& e);
// Marks a calibration with ranges too small: this quality value.
inline constexpr double QualityOfFlatRanges = 2.0;

// The texts of the tab: an extreme (fixed, 5, 1), the tilt, the quality (fixed, 5, 3).
QString ExtremeText(double value);
QString TiltText(double degrees);
QString QualityText(double quality);

// What is stored per radar serial number.
struct TStoredCalibration {
  TExtremes Extremes;
  double CalibrationQuality = 0;
  double ZeroAngle = 0;
};
QString SectionOf(uint16_t serialNumber);
// Writes section "Inclinometer" + serial (MaxX, MinX, MaxY, MinY, MaxZ, MinZ,
// CalibrationQuality, ZeroAngle) and flushes the file to disk.
void WriteCalibration(TCustomIniFile& ini, uint16_t serialNumber, const TStoredCalibration& c);

}  // namespace inclinometer
