// Trace packets 0x66 and 0xDA: header fields and the sample layouts by firmware,
// with the clamps that keep a damaged packet inside the last-trace array.

#include "radar/trace_layouts.h"
#include "tests/radar/radar_test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>

namespace {

struct TTraceFields {
  uint8_t code = 0x66;
  uint16_t firmware = 19;
  const char* nmea = "";
  std::array<int16_t, 4> accel{};
  uint8_t speedLimit = 0;
  uint8_t collision = 1;
  uint8_t flags = 0;          // byte 29 when firmware >= 5
  uint16_t traceNumber = 0;   // bytes H + 6 .. H + 7
  TBytes sampleBytes;         // from H + 8
};

// Lays a trace packet out by offsets: params[i] is packet byte 7 + i.
TBytes TracePacket(const TTraceFields& s) {
  const size_t nmeaStart = s.firmware >= 5 ? 30 : 29;
  const size_t nmeaLength = std::strlen(s.nmea);
  const uint16_t h = static_cast<uint16_t>(nmeaStart + nmeaLength - 6);  // NMEA ends at H + 5
  TBytesBuilder p;
  p.Be16(h).Zeros(9);                                          // 7..17
  for (int16_t a : s.accel) p.Be16(static_cast<uint16_t>(a));  // 18..25
  p.U8(s.speedLimit).U8(0).U8(s.collision);                    // 26, 27, 28
  if (s.firmware >= 5) p.U8(s.flags);                          // 29
  p.Text(s.nmea).Be16(s.traceNumber).Add(s.sampleBytes);       // NMEA, H + 6, H + 8
  return Frame(s.code, p.bytes);
}

TBytes Be16Samples(std::initializer_list<int> values) {
  TBytesBuilder b;
  for (int v : values) b.Be16(static_cast<uint16_t>(v));
  return b.bytes;
}

TBytes Be24Samples(std::initializer_list<int32_t> values) {
  TBytesBuilder b;
  for (int32_t v : values) b.Be24(v);
  return b.bytes;
}

struct TDecodeResult {
  std::optional<TDecodedTrace> trace;
  TLastArray samples;
};

constexpr int32_t kUntouched = 0x7777;

TDecodeResult Decode(const TTraceFields& fields, std::optional<int32_t> channel0LongTrace = std::nullopt) {
  const TBytes bytes = TracePacket(fields);
  const TFrameCheck check = CheckFrame(bytes);
  EXPECT_EQ(check.Status, fsValid);
  TDecodeResult result;
  result.samples.fill(kUntouched);
  result.trace = fields.code == 0x66 ? DecodeTrace66(check.Frame, fields.firmware, channel0LongTrace, result.samples)
                                   : DecodeTrace3(check.Frame, fields.firmware, result.samples);
  return result;
}

TEST(RadarTraceLayouts, SamplesByPacketTypeAndFirmware) {
  struct Case {
    const char* name;
    uint8_t code;
    uint16_t firmware;
    std::optional<int32_t> longTrace;
    TBytes sampleBytes;
    std::vector<int32_t> expected;
  };
  const std::vector<Case> cases = {
      // C + 1 samples: the last one lies past the packet and reads as 0.
      {"0x66 F4 24-bit", 0x66, 4, std::nullopt, Be24Samples({1, -1, 0x7FFFFF}), {1, -1, 0x7FFFFF, 0}},
      {"0x66 F16 24-bit", 0x66, 16, 500, Be24Samples({-8388608, 256}), {-8388608, 256, 0}},
      // C2 equals channel 0's LongTrace: 16 bits x 4, the last sample read two bytes early.
      {"0x66 F18 16-bit", 0x66, 18, 4, Be16Samples({100, -100, 5, 7}), {400, -400, 20, 20}},
      {"0x66 F17 16-bit", 0x66, 17, 2, Be16Samples({-1, 3}), {-4, -4}},
      // C2 = 6 differs: round(2 x 6 / 3) + 1 = 5 samples of 24 bits x 4.
      {"0x66 F18 other length", 0x66, 18, 500, {0, 0, 1, 0xFF, 0xFF, 0xFF, 0, 1, 0, 0x80, 0, 0},
       {4, -4, 1024, -33554432, 0}},
      // Without a recording window there is no LongTrace to match: 24 bits.
      {"0x66 F18 no window", 0x66, 18, std::nullopt, Be16Samples({1, 2, 3}), {0x000100 * 4, 0x020003 * 4, 0}},
      {"0x66 F19 16-bit", 0x66, 19, std::nullopt, Be16Samples({1, 2, 3}), {4, 8, 8}},
      // 0xDA: always 16 bits x 4, no early last sample; the count differs below F17.
      {"0xDA F16", 0xDA, 16, std::nullopt, Be16Samples({1, 2, 3, 4}), {4, 8, 12}},
      {"0xDA F17", 0xDA, 17, std::nullopt, Be16Samples({1, 2, 3, 4}), {4, 8, 12, 16}},
  };
  for (const Case& c : cases) {
    TTraceFields fields;
    fields.code = c.code;
    fields.firmware = c.firmware;
    fields.sampleBytes = c.sampleBytes;
    const TDecodeResult result = Decode(fields, c.longTrace);
    ASSERT_TRUE(result.trace) << c.name;
    ASSERT_EQ(result.trace->SampleCount, static_cast<int>(c.expected.size())) << c.name;
    for (size_t k = 0; k < c.expected.size(); ++k) EXPECT_EQ(result.samples[k], c.expected[k]) << c.name << " " << k;
    EXPECT_EQ(result.samples[c.expected.size()], kUntouched) << c.name << ": nothing past the count";
  }
}

TEST(RadarTraceLayouts, HeaderFieldsAndTheNmeaTextEndAtHPlus5) {
  TTraceFields fields;
  fields.firmware = 19;
  fields.nmea = "$GPGGA,1";
  fields.accel = {-2, 300, -32768, 32767};
  fields.speedLimit = 42;
  fields.collision = 3;
  fields.flags = 0x4B;  // sequence 37, backward
  fields.traceNumber = 0x4142;  // "AB" right after the text: not part of it
  fields.sampleBytes = Be16Samples({9, 9});
  const TDecodeResult result = Decode(fields);
  ASSERT_TRUE(result.trace);
  const TTraceHeader& h = result.trace->Header;
  EXPECT_EQ(h.HeaderLength, 30 + 8 - 6);
  EXPECT_EQ(h.Accelerometer, (std::array<int16_t, 4>{-2, 300, -32768, 32767}));
  EXPECT_TRUE(h.HasSpeedLimit);
  EXPECT_EQ(h.SpeedLimit, 42);
  EXPECT_EQ(h.CollisionCount, 3);
  EXPECT_TRUE(h.HasDirection);
  EXPECT_EQ(h.Direction, dBackward);
  EXPECT_EQ(h.Sequence, 37);
  EXPECT_EQ(h.Nmea, "$GPGGA,1");

  fields.code = 0xDA;
  const TDecodeResult wifi = Decode(fields);
  ASSERT_TRUE(wifi.trace);
  EXPECT_EQ(wifi.trace->Header.TraceNumber, 0x4142);
  EXPECT_FALSE(wifi.trace->Header.HasSpeedLimit);
  EXPECT_EQ(wifi.trace->Header.Nmea, "$GPGGA,1");
}

TEST(RadarTraceLayouts, OldFirmwareHasNoDirectionAndItsTextStartsAtByte29) {
  TTraceFields fields;
  fields.firmware = 4;
  fields.nmea = "$GP";
  fields.speedLimit = 42;
  fields.sampleBytes = Be24Samples({5});
  const TDecodeResult result = Decode(fields);
  ASSERT_TRUE(result.trace);
  EXPECT_FALSE(result.trace->Header.HasDirection);
  EXPECT_FALSE(result.trace->Header.HasSpeedLimit);
  EXPECT_EQ(result.trace->Header.Nmea, "$GP");
  EXPECT_EQ(result.samples[0], 5);
}

TEST(RadarTraceLayouts, ACountBeyondTheLastTraceArrayIsClamped) {
  TTraceFields fields;
  fields.firmware = 19;
  TBytesBuilder samples;
  for (int k = 0; k < 1100; ++k) samples.Be16(static_cast<uint16_t>(k));
  fields.sampleBytes = samples.bytes;
  const TDecodeResult result = Decode(fields);
  ASSERT_TRUE(result.trace);
  EXPECT_EQ(result.trace->Layout.Count, 1100);
  EXPECT_EQ(result.trace->SampleCount, LastArrayLength);
  EXPECT_EQ(result.samples[1025], 1025 * 4) << "the early read belongs to sample 1099, never stored";
}

TEST(RadarTraceLayouts, DamagedHeaderLengthsNeverReadOutsideThePacket) {
  // H far beyond the packet: no samples, and the text stops at the last parameter byte.
  TBytes bytes = TracePacket(TTraceFields{.firmware = 19, .sampleBytes = Be16Samples({1, 2})});
  bytes[7] = 0x03;
  bytes[8] = 0xE8;
  bytes.back() = PacketChecksum(bytes.data(), bytes.size() - 1, 6);
  TLastArray samples;
  samples.fill(kUntouched);
  const auto trace = DecodeTrace66(CheckFrame(bytes).Frame, 19, std::nullopt, samples);
  ASSERT_TRUE(trace);
  EXPECT_EQ(trace->SampleCount, 0);
  EXPECT_EQ(trace->Header.Nmea.size(), 6) << "bytes 30 .. L + 4";
  EXPECT_EQ(samples[0], kUntouched);

  // The same H in a 0xDA packet puts the trace number outside: refused.
  bytes[6] = 0xDA;
  bytes.back() = PacketChecksum(bytes.data(), bytes.size() - 1, 6);
  EXPECT_FALSE(DecodeTrace3(CheckFrame(bytes).Frame, 19, samples));
}

TEST(RadarTraceLayouts, APacketTooShortForTheFixedHeaderIsRefused) {
  // Parameters through byte 28: enough below firmware 5, one short from 5 on.
  const TBytes params = TBytesBuilder().Be16(24).Zeros(20).bytes;
  const TBytes bytes = Frame(0x66, params);
  TLastArray samples{};
  EXPECT_TRUE(DecodeTrace66(CheckFrame(bytes).Frame, 4, std::nullopt, samples));
  EXPECT_FALSE(DecodeTrace66(CheckFrame(bytes).Frame, 5, std::nullopt, samples));
  EXPECT_FALSE(DecodeTrace3(CheckFrame(Frame(0xDA, TBytes(10, 0))).Frame, 4, samples));
}

}  // namespace
