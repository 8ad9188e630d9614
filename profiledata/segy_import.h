#pragma once
// Import of a SEG-Y file into one channel: the channel's settings take the file's
// sampling and a distance source of their own, its store the traces (the raw sums
// and the working block alike), and its NMEA list one line per change of the
// traces' coordinates.
//
// The file as it is read (offsets from the file's start; 16- and 32-bit fields in
// the file's byte order):
//   3216  u16  sample interval, taken as picoseconds
//   3220  u16  samples per trace ns
//   3224  u16  data sample format code; read little-endian, a value outside 1..6
//              means a big-endian file
//   3600       the traces, each a 240-byte header and ns samples:
//              72 X and 76 Y (i32, or f32 for decimal degrees), 88 i16 units
// Sample formats: 1 IBM single, 2 and 4 i32, 3 i16, 5 IEEE single; floats are
// rounded half to even and kept inside the i32 range (NaN is 0). Format 1 is the
// IBM form the SEG-Y standard gives it, as other programs write it.
//
// Sampling: LongTrace := round(1000 / OverStep) with OverStep := floor(1000 / ns),
// so LongTrace x OverStep stays about 1000 and the time window
// SpanWidth := interval x LongTrace / 1000 (ns). Samples beyond LongTrace are
// dropped, a trace shorter than LongTrace ends in zeros. Fewer than 167 samples
// give an OverStep above the settings' 1..5; the record keeps it (see
// RestoreOverStep).
//
// User-interface thread only; the progress bar lets the message loop run.

#include "platform/rtl/resource_strings.h"
#include "platform/rtl/streams.h"

#include <QString>

#include <cstdint>

class ISettingsFilesWindow;
class T2Dview;
class TSettingData;

RESOURCESTRING(SSegyTooFewSamples, "The SEG-Y file has %d samples per trace; at least 4 are needed.");
RESOURCESTRING(SSegyNoWholeTrace, "The SEG-Y file holds no whole trace.");
RESOURCESTRING(SSegyFormatNotRead, "Data sample format %d of the SEG-Y file cannot be read.");
RESOURCESTRING(SSegyEndedEarly, "The SEG-Y file ended early; %d traces were read.");
RESOURCESTRING(SSegyNoMemory, "Not enough memory to import the SEG-Y file.");
RESOURCESTRING(SStepOfMeasuring, "Step of Measuring");

namespace segy_layout {
inline constexpr int64_t IntervalOffset = 3216;
inline constexpr int64_t SamplesOffset = 3220;
inline constexpr int64_t FormatOffset = 3224;
inline constexpr int64_t FirstTraceOffset = 3600;
inline constexpr int64_t TraceHeaderBytes = 240;
inline constexpr int64_t TraceXOffset = 72;
inline constexpr int64_t TraceYOffset = 76;
inline constexpr int64_t TraceUnitsOffset = 88;
// Fewer samples would need an OverStep beyond a byte.
inline constexpr int32_t MinSamples = 4;
}  // namespace segy_layout

// Coordinate units of a trace header.
enum TSegyUnits : int16_t {
  suLength = 1,          // X, Y lengths; the second trace's X is the trace step (mm)
  suArcMs = 2,           // i32, 1/3 600 000 degree
  suDecimalDegrees = 3,  // f32, degrees
  suDms = 4              // i32 DDDMMSS
};

// The 32-bit value with its byte order reversed; SwapFloat32: that pattern read
// as an IEEE single.
uint32_t SwapInt32(uint32_t x);
float SwapFloat32(uint32_t x);
// An IBM System/360 single (sign, excess-64 power of 16, 24-bit fraction); every
// such value is exact in a double.
double IbmFloatToDouble(uint32_t bits);

// OverStep := floor(1000 / n), 1 when that is 0; returns LongTrace :=
// round(1000 / OverStep). For n below 4, which the import refuses, OverStep is 255.
int32_t SamplesToOverStep(int32_t n, uint8_t& OverStep);

// The NMEA field ddmm.mmmmm of a trace-header coordinate and its hemisphere ("N"
// / "S" for latitude, "E" / "W" for longitude, by the value's sign). value holds
// units 2 (1/3 600 000 degree) and 4 (DDDMMSS), floatValue units 3 (degrees).
// degrees = |v| div 3 600 000 (360 - degrees when above 270), minutes two digits,
// five decimals of the minute: 181830000 gives "5030.50000". Other units give an
// empty field.
void FormatCoordMs(int32_t value, int units, bool isLongitude, QString& text, QString& hemisphere,
                   float floatValue);

enum TSegyImportStatus : uint8_t {
  siImported,
  siRefused,     // no traces, too few samples or a format without reader: nothing changed
  siEndedEarly,  // the traces before the end are kept
  siFailed       // no memory for the traces: the channel holds none
};

struct TSegyImportResult {
  TSegyImportStatus Status = siRefused;
  int64_t Traces = 0;
};

// Imports the SEG-Y file in the stream into the settings and their store; window
// (may be null) shows channel 0's progress. Every refusal and failure is
// reported to the user.
TSegyImportResult ImportSegYStream(TStream& stream, TSettingData& settings, T2Dview& store,
                                   ISettingsFilesWindow* window);
