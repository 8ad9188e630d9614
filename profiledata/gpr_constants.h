#pragma once
// Enumerations shared by the scan settings, the radar link, the radargram window and
// the processing tools, and the three read-only device tables: antenna units, device
// boxes and default wheel steps. Every enumeration is stored as one byte in records
// and files, so each is a byte-sized enum whose ordinals are the stored values.

#include <QString>

#include <array>
#include <cstdint>

// Antenna-unit model; also the row index of the antenna-unit table.
enum TTypeGPR : uint8_t {
  unknown,
  Unit01, Unit02, Unit03, Unit04, Unit05, Unit06, Unit07, Unit08, Unit09, Unit10,
  Unit11, Unit12, Unit13, Unit14, Unit15, Unit16, Unit17, Unit18, Unit19, Unit20,
  Unit21, Unit22, Unit23, Unit24, Unit25, Unit26, Unit27, Unit28, Unit29, Unit30,
  Unit31, Unit32, Unit33, Unit34, Unit35, Unit36, Unit37, Unit38, Unit39, Unit40,
  Unit41, Unit42, Unit43, Unit44, Unit45, Unit46, Unit47, Unit48, Unit49, Unit50,
  Unit51, Unit52
};

// Device-box model; also the row index of the device-box table.
enum TTypeGPRDevice : uint8_t {
  tdUnknown,
  tdBox01, tdBox02, tdBox03, tdBox04, tdBox05, tdBox06, tdBox07, tdBox08, tdBox09,
  tdBox10, tdBox11, tdBox12, tdBox13, tdBox14, tdBox15, tdBox16, tdBox17
};

// How traces are triggered.
enum TRunMode : uint8_t { rmStep, rmCont, rmWheel };

// Current mode of a radar.
enum TCurMode : uint8_t { cmStop, cmStep, cmCont, cmWheel, cmGPS, cmBiDirectionalWheel, cmCursor };

// Source of the distance along a profile. ttNil and ttGPS do not place traces by
// distance; every other source has a trace step.
enum TTopoType : uint8_t {
  ttNil, ttWheel, ttGPS, ttTrolleyA, ttOdometerA, ttTrolleyB, ttOdometerB,
  ttOdometerC, ttOdometerD, ttOdometerE, ttCustom, ttUnitWheelA, ttUnitWheelB
};

enum TDirection : uint8_t { forth, back };
enum TDirectForCart : uint8_t { dForward, dBackward };

// Inclinometer mounting.
enum TInclinometersSett : uint8_t { isUnknown, isNormal, isReverce };

// How several connected radars work together.
enum TModeSystemRadars : uint8_t { msrSingle, msrDualFreqience, msrArrayRadar };

enum TtypeGPSstate : uint8_t { gpsNone, gpsOn, gpsPos };

// Aspect mode of the radargram window.
enum TProportional : uint8_t {
  PropInSamples11, PropInSamples13, PropInSamples15, PropInM21, PropInM11, PropInM12, PropInM31, PropInM41
};

enum ZoomingWH : uint8_t { ZoomToWidth, ZoomToHeight };
enum TTypeProfiles : uint8_t { tpLinear, tpArc };
enum TTypeMarker : uint8_t { tmObject, tmSurf, tmPolyLine, tmNoObject };
enum TtypeOfPlugin : uint8_t { simple, advanced };

constexpr int GPRUnitCount = 53;    // rows of the antenna-unit table, unknown .. Unit52
constexpr int GPRDeviceCount = 18;  // rows of the device-box table, tdUnknown .. tdBox17
constexpr int TopoTypeCount = 13;   // entries of the wheel-step table, ttNil .. ttUnitWheelB

// One row of the antenna-unit table.
struct TUnitParamExt {
  // The row's own index, or for a model that repeats another unit, that unit's row.
  uint8_t UnitTypeIndex;
  // Display name, 8-bit text.
  const char* UnitName;
  // Acquisition code per span index; the radar receives Coef[SpanIndex] x OverStep.
  std::array<uint8_t, 4> Coef;
  // Time window in ns per span index 0..3.
  std::array<double, 4> WndWidth;
  // Default time scale of the wavelet filters (ns).
  double TimeScaleForWavelet;
  // Centre frequency in MHz, the frequency filters' default.
  int32_t FreqForFilter;
  // Upper frequency limit in GHz; the filters use it x 1000 (MHz).
  double MaxFreqForFilter;
  // Transmitter-receiver spacing in metres.
  double AntenSpace;
};

// One row of the device-box table.
struct TDeviceParamExt {
  uint8_t DeviceTypeIndex;  // 0 for row 0, 1 for every model
  const char* DeviceName;   // display name, 8-bit text
};

// A medium and its wave speed (m/us), offered by the acquisition settings window.
struct TMediumProperty {
  QString Title;
  int32_t Speed = 0;
};

// A stored preset and the antenna unit it was made for.
struct TPresetsProperty {
  QString Title;
  QString RadarTypeStr;
};

// The tables, indexed by TTypeGPR, TTypeGPRDevice and TTopoType.
extern const std::array<TUnitParamExt, GPRUnitCount> GPRUnitParams;
extern const std::array<TDeviceParamExt, GPRDeviceCount> GPRDeviceParams;
// Default trace step in millimetres per distance source.
extern const std::array<double, TopoTypeCount> TopoWheelSteps;

// Checked lookups for indices that come from files or devices: a byte read from a
// damaged record may name no row. An unknown unit gives row 0 ("Unknown", a complete
// row), an unknown device box gives row 0, an unknown distance source gives the step
// of ttNil.
const TUnitParamExt& UnitParams(int typeGPR);
const TDeviceParamExt& DeviceParams(int typeGPRDevice);
double TopoWheelStep(int topoType);
