// Bounded mutation fuzzing of everything that reads device bytes: thousands of
// frames mutated from valid ones (fixed seed) go through the frame check and every
// decoder, each candidate in a block of its exact size so that a sanitizer build
// catches any read past it. Also runs as an ordinary test.

#include "radar/packet.h"
#include "radar/replies.h"
#include "radar/tcp_greeting.h"
#include "radar/trace_layouts.h"
#include "radar/trc_header.h"
#include "tests/radar/radar_test_support.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>

namespace {

constexpr int kIterations = 200000;
constexpr int32_t kSentinel = 0x5A5A5A5A;

TBytes TraceSeed(uint8_t code, bool newFirmware, int sampleBytes) {
  const char* nmea = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9";
  const size_t start = newFirmware ? 30 : 29;
  const uint16_t h = static_cast<uint16_t>(start + std::strlen(nmea) - 6);
  TBytesBuilder p;
  p.Be16(h).Zeros(9).Be16(0xFFF0).Be16(17).Be16(0x8000).Be16(3).U8(9).U8(0).U8(2);
  if (newFirmware) p.U8(0x53);
  p.Text(nmea).Be16(0x1234);
  for (int i = 0; i < sampleBytes; ++i) p.U8(static_cast<unsigned>(i * 37));
  return Frame(code, p.bytes);
}

std::vector<TBytes> Seeds() {
  std::vector<TBytes> seeds = {
      Frame(0x31, {0x00, 0x13}),
      Frame(0x3B, TBytes(8, 0x42)),
      Frame(0x43, {0x01, 0x02}),
      Frame(0x5C, TBytesBuilder().Text("$GPGGA,1,2,3").bytes),
      Frame(0x5E, {0x7D, 0x00}),
      Frame(0x63, TBytesBuilder().U8(3).Text("GPGGA").bytes),
      Frame(0x65, TBytesBuilder().U8(44).U8(0x25).Le64(45000.5).Text("$GPGGA,4807.038,N").bytes),
      Frame(0x68, {0x12, 0x34}),
      Frame(0x6C, TBytesBuilder().U8(1).U8(4).Text("home").U8(13).U8(4).U8(10).U8(0).U8(0).U8(1)
                      .U8(16).U8(2).U8(0x23).U8(0x28).U8(3).U8(1).U8(6).bytes),
      Frame(0x84, {0x01, 0x01}),
      Frame(0xB9, {0x01}),
      Frame(0xC5, {0x00, 0x81, 0x34, 0x12, 0x02}),
      Frame(0xC9, TBytesBuilder().U8(1).U8(2).Be16(0xFF38).Be16(100).Be16(300).bytes),
      Frame(0xDB, {0x00, 0x21}),
      Frame(0xE1, TBytesBuilder().Text("S").U8(2).Zeros(8).bytes),
      TraceSeed(0x66, true, 2 * 500 + 2),
      TraceSeed(0x66, false, 3 * 100),
      TraceSeed(0xDA, true, 2 * 250 + 2),
      TraceSeed(0xDA, false, 3 * 50),
      TBytesBuilder().Text("QEL5PTR").U8(3).U8(1).Le64(45000.5).bytes,
      TBytesBuilder().Text("QELSV").U8(1).Text("T16").Zeros(60).bytes,
  };
  return seeds;
}

class TMutator {
public:
  explicit TMutator(uint32_t seed) : random_(seed) {}

  size_t Below(size_t n) { return n == 0 ? 0 : std::uniform_int_distribution<size_t>(0, n - 1)(random_); }
  uint8_t Byte() { return static_cast<uint8_t>(Below(256)); }

  void Mutate(TBytes& bytes) {
    const size_t steps = 1 + Below(4);
    for (size_t s = 0; s < steps; ++s) {
      switch (Below(8)) {
        case 0: if (!bytes.empty()) bytes[Below(bytes.size())] ^= static_cast<uint8_t>(1u << Below(8)); break;
        case 1: if (!bytes.empty()) bytes[Below(bytes.size())] = Byte(); break;
        case 2:  // the length field, the most dangerous byte pair
          if (bytes.size() > 5) {
            bytes[4] = Below(3) == 0 ? Byte() : 0;
            bytes[5] = Byte();
          }
          break;
        case 3: bytes.resize(Below(bytes.size() + 1)); break;
        case 4: for (size_t n = Below(40); n > 0; --n) bytes.push_back(Byte()); break;
        case 5: bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(Below(bytes.size() + 1)), Byte()); break;
        case 6:  // a header length (bytes 7..8 of trace packets) anywhere in range
          if (bytes.size() > 8) {
            bytes[7] = Below(2) ? 0 : Byte();
            bytes[8] = Byte();
          }
          break;
        default: if (bytes.size() > 10) bytes.erase(bytes.begin() + static_cast<std::ptrdiff_t>(Below(bytes.size())));
      }
    }
    // Mostly a consistent checksum, so that the decoders behind the check are reached.
    if (Below(4) != 0 && bytes.size() > 6) {
      const size_t end = std::min<size_t>(bytes.size(), size_t{6} + (bytes[4] << 8 | bytes[5]));
      if (end > 7) bytes[end - 1] = PacketChecksum(bytes.data(), end - 1, 6);
    }
  }

private:
  std::mt19937 random_;
};

// Every decoder on one valid frame, whatever its code.
void DecodeEverything(const TFrame& frame, TMutator& random) {
  DecodeFirmwareVersion(frame);
  DecodeRxVolumes(frame);
  DecodeRxVolume(frame);
  EXPECT_LE(static_cast<size_t>(DecodeGpsText(frame).size()), size_t{frame.Length()});
  DecodeSlowRamp(frame);
  DecodeNmeaConfig(frame);
  if (const auto pong = DecodePong(frame)) {
    EXPECT_LE(pong->Power, 13.1 + 1e-9);
  }
  DecodeSerialNumber(frame);
  const TWifiSettingsReply wifi = DecodeWifiSettings(frame);
  if (wifi.Ssid) {
    EXPECT_LE(wifi.Ssid->size(), 255);
  }
  DecodeWheelTick(frame);
  DecodeFirstParam(frame);
  DecodeEepromStorage(frame);
  DecodeMasterSlaveState(frame);
  DecodeSpeedLimit(frame);
  DecodeStatus(frame);

  static constexpr uint16_t kFirmwares[] = {0, 4, 5, 16, 17, 18, 19, 0xFFFF};
  const uint16_t firmware = kFirmwares[random.Below(std::size(kFirmwares))];
  std::optional<int32_t> longTrace;
  if (random.Below(2)) longTrace = static_cast<int32_t>(random.Below(1200)) - 100;
  TLastArray samples;
  samples.fill(kSentinel);
  for (const auto& trace : {DecodeTrace66(frame, firmware, longTrace, samples), DecodeTrace3(frame, firmware, samples)}) {
    if (!trace) continue;
    ASSERT_GE(trace->SampleCount, 0);
    ASSERT_LE(trace->SampleCount, LastArrayLength);
    EXPECT_LE(static_cast<size_t>(trace->Header.Nmea.size()), size_t{frame.Length()});
  }
}

TEST(RadarProtocolFuzz, MutatedFramesNeverReadOutsideThemselves) {
  const std::vector<TBytes> seeds = Seeds();
  TMutator random(20240607);
  int valid = 0;
  for (int i = 0; i < kIterations; ++i) {
    TBytes bytes = seeds[random.Below(seeds.size())];
    random.Mutate(bytes);
    if (random.Below(8) == 0) bytes.insert(bytes.begin(), random.Byte());  // stray byte before the magic

    // An exact-size block: any read past it is a sanitizer error.
    const auto block = std::make_unique<uint8_t[]>(bytes.size() + (bytes.empty() ? 1 : 0));
    std::copy(bytes.begin(), bytes.end(), block.get());
    const std::span<const uint8_t> view(block.get(), bytes.size());

    DecodeTcpGreeting(view);
    CheckTrcHeader(view);
    StartsWithStreamGreeting(view);

    // Every magic in the bytes, as a parser searching them would find it.
    size_t from = 0;
    while (const std::optional<size_t> at = FindPacketMagic(view.subspan(from))) {
      const std::span<const uint8_t> candidate = view.subspan(from + *at);
      const TFrameCheck check = CheckFrame(candidate);
      if (check.Status == fsValid) {
        ++valid;
        ASSERT_LE(check.Frame.Size(), candidate.size());
        ASSERT_GE(check.Frame.Length(), MinPacketLength);
        DecodeEverything(check.Frame, random);
      }
      from += *at + 1;
    }
  }
  EXPECT_GT(valid, kIterations / 5) << "the mutations must still reach the decoders";
}

}  // namespace
