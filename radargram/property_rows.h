#pragma once
// The rows of a radargram window's property list: which keys it shows for a
// channel, in which order, and how each value is written. The window gathers
// what the rows are made of (TPropertySource) and shows the result; nothing
// here touches a control, so the table is tested without a screen.
//
// Every key and unit suffix is a resource string, so the list follows the
// interface language. Numbers are written with '.' as the decimal point.

#include "platform/rtl/resource_strings.h"
#include "profiledata/gpr_constants.h"

#include <QString>

#include <cstdint>
#include <vector>

class TSettingData;

RESOURCESTRING(SPropGPRModel, "GPR Model");
RESOURCESTRING(SPropSerNum, "s/n");
RESOURCESTRING(SPropShiftByCourse, "Shift by Course");
RESOURCESTRING(SPropShiftAside, "Shift Aside");
RESOURCESTRING(SPropShiftByHeight, "Shift by Height");
RESOURCESTRING(SPropSpacerKey, " ");
RESOURCESTRING(SPropSpacerValue, "  ");
RESOURCESTRING(SPropChannelModel, "Channel Model");
RESOURCESTRING(SPropChannelSerNum, "Channel s/n");
RESOURCESTRING(SPropFormatVersion, "Format Version");
RESOURCESTRING(SPropWindowDepth, "Window Depth");
RESOURCESTRING(SPropWindowWidth, "Window Width");
RESOURCESTRING(SPropSamples, "Samples");
RESOURCESTRING(SPropAverageStacking, "Average Stacking");
RESOURCESTRING(SPropStacking, "Stacking");
RESOURCESTRING(SPropTriggerMode, "Trigger Mode");
RESOURCESTRING(SPropShiftOfZero, "Shift of Zero");
RESOURCESTRING(SPropTopoDevice, "Topo Device");
RESOURCESTRING(SPropStepOfMeasuring, "Step of Measuring");
RESOURCESTRING(SPropTraceNumbers, "Trace Numbers");
RESOURCESTRING(SPropProfileLength, "Profile length");
RESOURCESTRING(SPropAngle, "Angle");
RESOURCESTRING(SSuffixMetres, ", m");
RESOURCESTRING(SSuffixNs, ", ns");
RESOURCESTRING(SSuffixMm, " mm");
RESOURCESTRING(SSuffixDegrees, " \u00B0");
RESOURCESTRING(STriggerSingle, "Single");
RESOURCESTRING(STriggerInt, "Int");
RESOURCESTRING(STriggerExt, "Ext");
// The distance devices by TTopoType.
RESOURCESTRING(STopoNotUsed, "Not used");
RESOURCESTRING(STopoGPS, "GPS");
RESOURCESTRING(STopoCustom, "Custom");
RESOURCESTRING(STopoWheel, "Measuring wheel");
RESOURCESTRING(STopoTrolleyA, "Cart A");
RESOURCESTRING(STopoOdometerA, "Wheel A");
RESOURCESTRING(STopoTrolleyB, "Cart B");
RESOURCESTRING(STopoOdometerB, "Wheel B");
RESOURCESTRING(STopoOdometerC, "Wheel C");
RESOURCESTRING(STopoOdometerD, "Wheel D");
RESOURCESTRING(STopoOdometerE, "Wheel E");
RESOURCESTRING(STopoUnitWheelA, "Built-in odometer A");
RESOURCESTRING(STopoUnitWheelB, "Built-in odometer B");
// The GPS page's list before a position arrives.
RESOURCESTRING(SGpsLatitude, "Latitude");
RESOURCESTRING(SGpsLongitude, "Longitude");
RESOURCESTRING(SGpsQualityIndicator, "Quality Indicator");
RESOURCESTRING(SGpsSatellites, "Satellites");
RESOURCESTRING(SGpsPrecision, "Precision");
RESOURCESTRING(SGpsNotAvailable, "not available");

struct TPropertyRow {
  QString Key;
  QString Value;
  bool operator==(const TPropertyRow&) const = default;
};

// What the rows of one channel are made of.
struct TPropertySource {
  // The channel shown (C) and the window's active channel (A); neither may be
  // nullptr (A is C when the window has no valid active channel).
  const TSettingData* Channel = nullptr;
  const TSettingData* Active = nullptr;
  // The shown channel's trace count.
  int64_t NumTraces = 0;
  // The window's device box (255 is read as tdUnknown) and its serial number.
  uint8_t TypeGPRDevice = tdUnknown;
  int32_t SerNumDevice = 0;
  // The device-offset rows are shown (DeviceOffsetRowsShown) with the window's
  // device offsets in 10^-5 m.
  bool ShowDeviceOffsets = true;
  int32_t DeviceX = 0;
  int32_t DeviceY = 0;
  int32_t DeviceZ = 0;
  // The main window has an active window: the zero shift is then converted by
  // that window's channel 0 timing.
  bool HasActiveWindow = false;
};

// The property list of a channel, in the order shown.
std::vector<TPropertyRow> PropertyRows(const TPropertySource& source);

// The device-offset rows are shown when the set's master radar does not report
// GPS, the master channel's distance source is not GPS and it holds at most one
// NMEA line.
bool DeviceOffsetRowsShown(bool masterReportsGps, TTopoType masterTopoType, int64_t masterNmeaLines);

// The display name of a distance device; "Not used" for ttNil and any value
// outside the enumeration.
QString TopoDeviceName(int topoType);
// "Single", "Int" or "Ext".
QString TriggerModeText(TRunMode mode);

// The rows that change during a recording, for the window's active channel:
// "Average Stacking" (with advanced stacking) or "Stacking", "Trace Numbers"
// and, in wheel mode, "Profile length".
std::vector<TPropertyRow> RecordingRows(const TSettingData& settings, int64_t numTraces);

// The GPS page's list before any position is known.
std::vector<TPropertyRow> EmptyGpsRows();

// The caption of a window whose channels were not read from a file follows the
// kind of file it will be saved as: a single record (".dezo") or a container
// (".frn"). Only those two exact endings change.
QString CaptionForFileKind(const QString& caption, bool singleRecord);
