#pragma once
// Shared by the writer and the readers of the channel record.
//
// A channel record is a header block followed by the raw trace block. Current
// format, magic "WGPR", version 42 (little-endian; wide string = length byte and
// UTF-16LE units, long 8-bit string = i32 length and bytes):
//   "WGPR", u32 record end, u32 header end (both absolute stream positions),
//   byte Version, byte TypeGPR, wide Comments, i32 SpeedLight, byte SpanIndex,
//   f64 SpanWidth, i32 LongTrace, byte OverStep, byte Stacking, byte WasFlip,
//   byte WasFlipVert, byte RunMode, f64 WheelStep, u16 WheelMult, byte TopoType,
//   i32 NullShift, i32 x3 device offsets, f64 x6 inclinometer calibration, byte
//   Direction, int64 n + n x 8-byte inclinometer records, f64 ZeroAngle, f64
//   CalibrationQuality, u32 topography count (0), long 8-bit NMEA text, palette
//   stream, byte Proportional, byte Topocorrection, byte picture flag [+ bitmap
//   file image], i32 m + m x (f64 trace, f64 sample) zero-level points, i32
//   MinTrace, i32 MaxTrace, u16 SerNum, i32 Azimuth, i32 Angle, byte
//   AdvanceStacking, i32 StackingCurve, i32 StackingVolume, surface-marker list,
//   object-marker list, polyline list, 10-byte extended NrmCoef.
// Raw block: (MaxTrace - MinTrace) traces of LongTrace i32 sample sums.
// Older "WGPR" versions (32..41) lack fields at the end or in the middle; the old
// "DEZO" format (2..18) is read by setting_data_record_dezo.cpp.

#include "platform/rtl/streams.h"

#include <cstdint>

namespace channel_record {

inline constexpr char MagicWgpr[4] = {'W', 'G', 'P', 'R'};
inline constexpr char MagicDezo[4] = {'D', 'E', 'Z', 'O'};

inline constexpr uint8_t OldestWgprVersion = 32;
inline constexpr uint8_t NewestWgprVersion = 42;
inline constexpr uint8_t OldestDezoVersion = 2;
inline constexpr uint8_t NewestDezoVersion = 18;

// Magic, record end, header end, version.
inline constexpr int64_t FixedPrefixBytes = 4 + 4 + 4 + 1;
inline constexpr int64_t InclRecordBytes = 8;
inline constexpr int64_t ZeroLevelPointBytes = 16;

// Samples per trace a record may state: the stacking table counts start samples
// in 16 bits, and every per-trace loop runs over them.
inline constexpr int32_t MaxLongTrace = 65535;

// Trace numbers a channel can hold: -500000 .. 500000; MaxTrace is exclusive.
inline constexpr int64_t FirstTrace = -500000;
inline constexpr int64_t TraceEnd = 500001;
inline constexpr int64_t MaxTraceCount = TraceEnd - FirstTrace;

// The header's fields lie between the version byte and the header end; a reader
// that runs past the header end has met a damaged record. Reads through this
// view stop at the limit (so ReadBuffer throws EReadError and every count checked
// against Size() - Position() is checked against the header), seeks pass through
// to the stream underneath, and writing is refused.
class TRecordFieldStream : public TStream {
public:
  TRecordFieldStream(TStream& stream, int64_t limit) : stream_(stream), limit_(limit) {}

  int64_t Read(void* buffer, int64_t count) override {
    const int64_t left = limit_ - stream_.Position();
    if (count <= 0 || left <= 0) return 0;
    return stream_.Read(buffer, count < left ? count : left);
  }
  int64_t Write(const void*, int64_t) override { throw EWriteError(); }
  int64_t Seek(int64_t offset, TSeekOrigin origin) override {
    if (origin == soEnd) return stream_.Seek(Size() + offset, soBeginning);
    return stream_.Seek(offset, origin);
  }
  void SetSize(int64_t) override { throw EWriteError(); }
  int64_t Size() override {
    const int64_t size = stream_.Size();
    return size < limit_ ? size : limit_;
  }

private:
  TStream& stream_;
  int64_t limit_;
};

}  // namespace channel_record
