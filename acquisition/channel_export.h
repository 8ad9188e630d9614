#pragma once
// Writing one channel's processed samples out of the program: as a SEG-Y file,
// as a text file of sample values, and the ".gps" text companion of both that
// lists the channel's NMEA sentences. None of this needs a window: the caller
// hands over a TExportChannel (ExportChannelOf reads one from a channel store).
//
// SEG-Y as written (every multi-byte field big-endian, every other byte 0):
//   3212 u16  number of traces        3216 u16  sample interval, picoseconds:
//   3220 u16  samples per trace                 round(SpanWidth x 1000 / LongTrace)
//   3224 u16  2 (4-byte integers)     3254 u16  1 (metres)
//   3600      the traces, each a 240-byte header and LongTrace i32 samples:
//     0 i32 sequence number from 1   28 i16 9 (seismic data)
//    70 i16 coordinate scalar -1000  72 i32 source X  76 i32 source Y
//    80 i32 group X  84 i32 group Y  88 i16 units    114 u16 samples  116 u16 interval
// Without GPS source and group X are i x StepDistance (mm; the scalar makes
// them metres for readers) and the units 1. With GPS (at least two NMEA
// entries) the units are 2 and source X and Y the trace's latitude and
// longitude in milliseconds of arc (NmeaToLatLonMs; the scalar makes them arc
// seconds). A trace without a sentence of its own repeats the last position
// before it; traces before the first sentence take the first one's.
//
// Text files (the text export and the companion) are in the system's 8-bit
// code page with lines ended by CR LF.
//
// Threads: any; the text export calls its service routine on the caller's thread.

#include "platform/rtl/resource_strings.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <vector>

class T2Dview;


RESOURCESTRING(SSegyTooManyTraces,
               "The channel has %d traces; a SEG-Y file holds at most 65535. Nothing was written.");
RESOURCESTRING(SSegyIntervalTooLarge,
               "The sample interval of %d ps does not fit a SEG-Y file (at most 65535 ps). Nothing was written.");
RESOURCESTRING(SSegyTooManySamples,
               "The channel has %d samples per trace; a SEG-Y file holds at most 65535. Nothing was written.");
RESOURCESTRING(SExportNoData, "The channel holds no samples to export.");
RESOURCESTRING(SExportNotWritten, "The file %s could not be written.\n%s");

namespace segy_export {
inline constexpr int64_t TextHeaderBytes = 3200;
inline constexpr int64_t TracesOffset = 3600;
inline constexpr int64_t TraceHeaderBytes = 240;
inline constexpr int64_t TraceCountOffset = 3212;
inline constexpr int64_t IntervalOffset = 3216;
inline constexpr int64_t SamplesOffset = 3220;
inline constexpr int64_t FormatOffset = 3224;
inline constexpr int64_t MeasurementOffset = 3254;
inline constexpr int64_t TraceSequenceOffset = 0;
inline constexpr int64_t TraceIdOffset = 28;
inline constexpr int64_t ScalarOffset = 70;
inline constexpr int64_t SourceXOffset = 72;
inline constexpr int64_t SourceYOffset = 76;
inline constexpr int64_t GroupXOffset = 80;
inline constexpr int64_t GroupYOffset = 84;
inline constexpr int64_t UnitsOffset = 88;
inline constexpr int64_t TraceSamplesOffset = 114;
inline constexpr int64_t TraceIntervalOffset = 116;
inline constexpr int16_t CoordinateScalar = -1000;
inline constexpr int64_t MaxField = 65535;
}  // namespace segy_export

// What the exports read of one channel. Samples points at Traces x LongTrace
// samples, trace after trace; SampleCount is how many there really are (a
// shorter block ends in zeros in the files).
struct TExportChannel {
  QString FileName;
  int32_t LongTrace = 0;
  int32_t Stacking = 0;
  double SpanWidth = 0;  // ns
  int32_t SpeedLight = 0;
  QString SpanDepth;
  int32_t StepDistance = 0;  // mm
  QStringList NMEIStrings;   // "trace=sentence", the trace counted from 1
  int64_t Traces = 0;
  const int32_t* Samples = nullptr;
  int64_t SampleCount = 0;
};

// The channel as the exports see it: its settings and its processed samples
// (dezoData).
TExportChannel ExportChannelOf(const T2Dview& store);

// round(spanWidth x 1000 / longTrace) in picoseconds; -1 for no samples.
int64_t SegYIntervalPs(double spanWidth, int32_t longTrace);

// Source X and Y of every trace with GPS (lat, lon in ms of arc), empty without:
// fewer than two NMEA entries.
std::vector<std::pair<int32_t, int32_t>> SegYPositions(const TExportChannel& channel);

// Empty when the channel fits a SEG-Y file, else the message why not.
QString SegYRefusal(const TExportChannel& channel);

// Writes the SEG-Y file (replacing one that exists). False with *error set when
// the channel does not fit (nothing is written) or the file cannot be written.
bool WriteSegYFile(const TExportChannel& channel, const QString& fileName, QString* error);

// The companion's lines and the text export's lines (without line ends).
QStringList GpsCompanionLines(const TExportChannel& channel);
QStringList TextExportHeaderLines(const TExportChannel& channel);

// Writes the GPS companion. False with *error set when it cannot be written.
bool WriteGpsCompanionFile(const TExportChannel& channel, const QString& fileName, QString* error);

// Writes the text export; afterTrace (may be empty) runs after each trace, so
// that the caller's message loop is served while a long export runs.
bool WriteTextExportFile(const TExportChannel& channel, const QString& fileName,
                         const std::function<void()>& afterTrace, QString* error);
