#pragma once
// Trace packets: 0x66 (bcpReadydata2) and 0xDA (bcpReadydata3), their header fields
// and the sample layouts by firmware version F.
//
// Header (packet offsets): 7..8 H (u16 BE, the header length); 18..25 four
// accelerometer values (i16 BE); 26 speed limit (0x66, F >= 5); 28 collision count;
// 29 when F >= 5: bit 0 direction (1 backward), bits 1..7 sequence number; NMEA text
// from 30 (F >= 5) or 29 through H + 5; 0xDA only: H + 6 .. H + 7 trace number
// (u16 BE). Samples start at H + 8.
//
// Sample layouts, C from L and H (C++ '/' truncates toward zero like the devices):
//   0x66, F <= 16:        C = (L - 1 - H) / 3, C + 1 samples of 24 bits
//   0x66, F = 17 or 18:   C2 = (L - 1 - H) / 2 - 1; when C2 is the LongTrace of
//                         channel 0 of the recording window, C2 samples of 16 bits,
//                         else round(2 C2 / 3) + 1 samples of 24 bits; both x 4
//   0x66, F >= 19:        C2 samples of 16 bits x 4
//   0xDA:                 (L - 1 - H) / 3 (F <= 16) or (L - 1 - H) / 2 - 1 samples,
//                         always 16 bits x 4
// The last 16-bit sample of a 0x66 packet is read two bytes early (from H + 6 + 2k),
// so it repeats the sample before it; that is what the devices send.
//
// A device is untrusted: the count is clamped to the last-trace array, and a sample
// whose bytes are not all parameter bytes of the packet is stored as 0. Pure code.

#include "profiledata/gpr_constants.h"
#include "radar/packet.h"
#include "radar/trace_capacity.h"

#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <span>

using TLastArray = std::array<int32_t, LastArrayLength>;

struct TTraceLayout {
  int64_t Count = 0;           // samples the packet declares (before the clamp)
  size_t FirstOffset = 0;      // packet offset of sample 0
  uint8_t Width = 3;           // bytes per sample: 2 or 3
  int32_t Scale = 1;           // stored value = read value x Scale
  bool LastReadEarly = false;  // the last sample comes from two bytes before its place
};

TTraceLayout TraceLayout66(uint16_t length, uint16_t headerLength, uint16_t firmware,
                           std::optional<int32_t> channel0LongTrace);
TTraceLayout TraceLayout3(uint16_t length, uint16_t headerLength, uint16_t firmware);

struct TTraceHeader {
  uint16_t HeaderLength = 0;             // H
  std::array<int16_t, 4> Accelerometer{};
  bool HasSpeedLimit = false;            // 0x66 from firmware 5 on
  uint8_t SpeedLimit = 0;
  uint8_t CollisionCount = 0;
  bool HasDirection = false;             // firmware 5 on
  TDirectForCart Direction = dForward;
  uint8_t Sequence = 0;                  // byte 29 >> 1
  uint16_t TraceNumber = 0;              // 0xDA only
  QString Nmea;
};

struct TDecodedTrace {
  TTraceHeader Header;
  TTraceLayout Layout;
  int SampleCount = 0;  // samples written, 0 .. LastArrayLength
};

// Decode into samples[0 .. SampleCount - 1]; the rest of samples is left as it was.
// nullopt when the fixed header fields do not fit the frame (nothing is written).
// channel0LongTrace: LongTrace of channel 0 of the recording window, none without one.
std::optional<TDecodedTrace> DecodeTrace66(const TFrame& frame, uint16_t firmware,
                                           std::optional<int32_t> channel0LongTrace,
                                           std::span<int32_t, LastArrayLength> samples);
std::optional<TDecodedTrace> DecodeTrace3(const TFrame& frame, uint16_t firmware,
                                          std::span<int32_t, LastArrayLength> samples);
