#include "radar/trace_layouts.h"

#include "platform/rtl/ansi.h"
#include "platform/rtl/rounding.h"

#include <algorithm>

namespace {

constexpr size_t kAccelerometerOffset = 18;
constexpr size_t kSpeedLimitOffset = 26;
constexpr size_t kCollisionOffset = 28;
constexpr size_t kDirectionOffset = 29;
// Firmware from which byte 29 holds direction and sequence.
constexpr uint16_t kDirectionFirmware = 5;
constexpr uint16_t kLast24BitFirmware = 16;
constexpr uint16_t kLastMixedFirmware = 18;

// (L - 1 - H) in 64 bits: H may exceed L in a damaged packet.
int64_t SampleBytes(uint16_t length, uint16_t headerLength) {
  return static_cast<int64_t>(length) - 1 - headerLength;
}

TTraceLayout Layout(int64_t count, uint16_t headerLength, uint8_t width, int32_t scale, bool lastEarly) {
  return TTraceLayout{count, size_t{headerLength} + 8, width, scale, lastEarly};
}

bool HeaderFits(const TFrame& frame, uint16_t firmware) {
  const size_t last = firmware >= kDirectionFirmware ? kDirectionOffset : kCollisionOffset;
  return frame.Fits(7, last - 7 + 1);
}

TTraceHeader ReadHeader(const TFrame& frame, uint16_t firmware) {
  TTraceHeader header;
  header.HeaderLength = frame.U16BE(7);
  for (size_t i = 0; i < header.Accelerometer.size(); ++i) {
    header.Accelerometer[i] = frame.I16BE(kAccelerometerOffset + 2 * i);
  }
  header.CollisionCount = frame.U8(kCollisionOffset);
  size_t nmeaStart = kDirectionOffset;
  if (firmware >= kDirectionFirmware) {
    const uint8_t flags = frame.U8(kDirectionOffset);
    header.HasDirection = true;
    header.Direction = (flags & 1) ? dBackward : dForward;
    header.Sequence = static_cast<uint8_t>(flags >> 1);
    nmeaStart = kDirectionOffset + 1;
  }
  const std::span<const uint8_t> nmea = frame.ParamRange(nmeaStart, size_t{header.HeaderLength} + 5);
  header.Nmea = AnsiToString(QByteArray(reinterpret_cast<const char*>(nmea.data()), static_cast<qsizetype>(nmea.size())));
  return header;
}

int ReadSamples(const TFrame& frame, const TTraceLayout& layout, std::span<int32_t, LastArrayLength> samples) {
  const int count = static_cast<int>(std::clamp<int64_t>(layout.Count, 0, LastArrayLength));
  for (int k = 0; k < count; ++k) {
    size_t offset = layout.FirstOffset + size_t{layout.Width} * static_cast<size_t>(k);
    if (layout.LastReadEarly && k == layout.Count - 1) offset -= 2;
    int32_t value = 0;
    if (frame.Fits(offset, layout.Width)) {
      value = layout.Width == 3 ? frame.I24BE(offset) : frame.I16BE(offset);
    }
    samples[static_cast<size_t>(k)] = value * layout.Scale;
  }
  return count;
}

}  // namespace

TTraceLayout TraceLayout66(uint16_t length, uint16_t headerLength, uint16_t firmware,
                           std::optional<int32_t> channel0LongTrace) {
  const int64_t bytes = SampleBytes(length, headerLength);
  if (firmware <= kLast24BitFirmware) return Layout(bytes / 3 + 1, headerLength, 3, 1, false);
  const int64_t c2 = bytes / 2 - 1;
  if (firmware > kLastMixedFirmware || (channel0LongTrace && c2 == *channel0LongTrace)) {
    return Layout(c2, headerLength, 2, 4, true);
  }
  const int64_t c3 = Round(2.0L * static_cast<long double>(c2) / 3.0L);
  return Layout(c3 + 1, headerLength, 3, 4, false);
}

TTraceLayout TraceLayout3(uint16_t length, uint16_t headerLength, uint16_t firmware) {
  const int64_t bytes = SampleBytes(length, headerLength);
  const int64_t count = firmware <= kLast24BitFirmware ? bytes / 3 : bytes / 2 - 1;
  return Layout(count, headerLength, 2, 4, false);
}

std::optional<TDecodedTrace> DecodeTrace66(const TFrame& frame, uint16_t firmware,
                                           std::optional<int32_t> channel0LongTrace,
                                           std::span<int32_t, LastArrayLength> samples) {
  if (!HeaderFits(frame, firmware)) return std::nullopt;
  TDecodedTrace trace;
  trace.Header = ReadHeader(frame, firmware);
  if (firmware >= kDirectionFirmware) {
    trace.Header.HasSpeedLimit = true;
    trace.Header.SpeedLimit = frame.U8(kSpeedLimitOffset);
  }
  trace.Layout = TraceLayout66(frame.Length(), trace.Header.HeaderLength, firmware, channel0LongTrace);
  trace.SampleCount = ReadSamples(frame, trace.Layout, samples);
  return trace;
}

std::optional<TDecodedTrace> DecodeTrace3(const TFrame& frame, uint16_t firmware,
                                          std::span<int32_t, LastArrayLength> samples) {
  if (!HeaderFits(frame, firmware)) return std::nullopt;
  const size_t numberAt = size_t{frame.U16BE(7)} + 6;
  if (!frame.Fits(numberAt, 2)) return std::nullopt;
  TDecodedTrace trace;
  trace.Header = ReadHeader(frame, firmware);
  trace.Header.TraceNumber = frame.U16BE(numberAt);
  trace.Layout = TraceLayout3(frame.Length(), trace.Header.HeaderLength, firmware);
  trace.SampleCount = ReadSamples(frame, trace.Layout, samples);
  return trace;
}
