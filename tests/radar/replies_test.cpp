// Reply decoders: the values of each layout with their byte orders, and refusal of
// frames too short for their layout.

#include "radar/replies.h"
#include "radar/tcp_greeting.h"
#include "tests/radar/radar_test_support.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// Keeps the bytes alive with the frame that points into them.
struct TOwnedFrame {
  explicit TOwnedFrame(TBytes b) : bytes(std::move(b)) { frame = CheckFrame(bytes).Frame; }
  TBytes bytes;
  TFrame frame;
};

TEST(RadarReplies, FixedLayoutsReadTheirFieldsInTheirByteOrders) {
  EXPECT_EQ(DecodeFirmwareVersion(TOwnedFrame(Frame(0x31, {0x00, 0x13})).frame), 19);
  EXPECT_EQ(DecodeSlowRamp(TOwnedFrame(Frame(0x5E, {0x7D, 0x00})).frame), 32000);
  EXPECT_EQ(DecodeSerialNumber(TOwnedFrame(Frame(0x68, {0xBE, 0xEF})).frame), 0xBEEF);
  EXPECT_EQ(DecodeRxVolume(TOwnedFrame(Frame(0x43, {0x01, 0x02})).frame), 0x0102);
  EXPECT_EQ(DecodeRxVolumes(TOwnedFrame(Frame(0x3B, TBytesBuilder().Be16(1).Be16(0x0203).Be16(0xFFFF).Be16(4).bytes)).frame),
            (std::array<uint16_t, 4>{1, 0x0203, 0xFFFF, 4}));

  const auto eeprom = DecodeEepromStorage(TOwnedFrame(Frame(0xC5, {0x55, 0x81, 0x34, 0x12, 0x02})).frame);
  ASSERT_TRUE(eeprom);
  EXPECT_EQ(eeprom->DeviceType, 0x81) << "byte 8; byte 7 is not used";
  EXPECT_EQ(eeprom->DeviceSerial, 0x1234) << "little-endian";
  EXPECT_EQ(eeprom->InclinometersSett, 2);

  const auto state = DecodeMasterSlaveState(
      TOwnedFrame(Frame(0xC9, TBytesBuilder().U8(3).U8(4).Be16(0xFF38).Be16(0x0064).Be16(0xC350).bytes)).frame);
  ASSERT_TRUE(state);
  EXPECT_EQ(state->Channel, 3);
  EXPECT_EQ(state->RadarCount, 4);
  EXPECT_EQ(state->Xoffset, -200);
  EXPECT_EQ(state->Yoffset, 100);
  EXPECT_EQ(state->ZeroOffset, 50000) << "unsigned";

  const auto config = DecodeNmeaConfig(TOwnedFrame(Frame(0x63, TBytesBuilder().U8(4).Text("GPRMC").bytes)).frame);
  ASSERT_TRUE(config);
  EXPECT_EQ(config->SpeedIndex, 4);
  EXPECT_EQ(config->SentenceName, (std::array<uint8_t, 5>{'G', 'P', 'R', 'M', 'C'}));

  const auto tick = DecodeWheelTick(TOwnedFrame(Frame(0x84, {0x07, 0x02})).frame);
  ASSERT_TRUE(tick);
  EXPECT_EQ(tick->Tick, 7);
  EXPECT_TRUE(tick->Backward());
  EXPECT_FALSE(DecodeWheelTick(TOwnedFrame(Frame(0x84, {0x07, 0x00})).frame)->Backward());

  EXPECT_EQ(DecodeSpeedLimit(TOwnedFrame(Frame(0xDB, {0x01, 0x2A})).frame), 0x2A) << "byte 8";
  EXPECT_EQ(DecodeFirstParam(TOwnedFrame(Frame(0xB9, {0x02})).frame), 2);

  const auto status = DecodeStatus(TOwnedFrame(Frame(0xE1, TBytesBuilder().Text("S").U8(3).U8(1).U8(2).U8(3).U8(4).U8(5).U8(6).U8(7).U8(8).bytes)).frame);
  ASSERT_TRUE(status);
  EXPECT_EQ(status->Marker, 'S');
  EXPECT_EQ(status->WiFiRadarState(), crsInPprogress);
  EXPECT_EQ(status->Status[8], 8);
}

TEST(RadarReplies, PongReadsTypeVoltageLittleEndianTimeAndTheNmeaToTheChecksum) {
  const TBytes params = TBytesBuilder().U8(Unit44).U8(0x25).Le64(45123.5).Text("$GPGGA,1,2").bytes;
  const auto pong = DecodePong(TOwnedFrame(Frame(0x65, params)).frame);
  ASSERT_TRUE(pong);
  EXPECT_EQ(pong->RadarType, Unit44);
  EXPECT_DOUBLE_EQ(pong->Power, 10.5) << "bits 0..4 of 0x25 are 5; bits 5..7 do not count";
  EXPECT_EQ(pong->RadarLoading, 45123.5);
  EXPECT_EQ(pong->Nmea, "$GPGGA,1,2");

  const auto bare = DecodePong(TOwnedFrame(Frame(0x65, TBytesBuilder().U8(1).U8(0xFF).Le64(1.0).bytes)).frame);
  ASSERT_TRUE(bare);
  EXPECT_DOUBLE_EQ(bare->Power, 13.1);
  EXPECT_TRUE(bare->Nmea.isEmpty());
}

TEST(RadarReplies, GpsTextIsEveryParameterByte) {
  EXPECT_EQ(DecodeGpsText(TOwnedFrame(Frame(0x5C, TBytesBuilder().Text("$GPGGA,x").U8(0xB0).bytes)).frame),
            QStringLiteral("$GPGGA,x\u00B0"));
  EXPECT_TRUE(DecodeGpsText(TOwnedFrame(Frame(0x5C, {})).frame).isEmpty());
}

TEST(RadarReplies, FramesTooShortForTheirLayoutAreRefused) {
  struct Case {
    const char* name;
    size_t needed;  // parameter bytes of the layout
    std::function<bool(const TFrame&)> decodes;
  };
  const std::vector<Case> cases = {
      {"0x31", 2, [](const TFrame& f) { return DecodeFirmwareVersion(f).has_value(); }},
      {"0x3B", 8, [](const TFrame& f) { return DecodeRxVolumes(f).has_value(); }},
      {"0x63", 6, [](const TFrame& f) { return DecodeNmeaConfig(f).has_value(); }},
      {"0x65", 10, [](const TFrame& f) { return DecodePong(f).has_value(); }},
      {"0x84", 2, [](const TFrame& f) { return DecodeWheelTick(f).has_value(); }},
      {"0xB5", 1, [](const TFrame& f) { return DecodeFirstParam(f).has_value(); }},
      {"0xC5", 5, [](const TFrame& f) { return DecodeEepromStorage(f).has_value(); }},
      {"0xC9", 8, [](const TFrame& f) { return DecodeMasterSlaveState(f).has_value(); }},
      {"0xDB", 2, [](const TFrame& f) { return DecodeSpeedLimit(f).has_value(); }},
      {"0xE1", 10, [](const TFrame& f) { return DecodeStatus(f).has_value(); }},
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(c.decodes(TOwnedFrame(Frame(0x01, TBytes(c.needed, 0x11))).frame)) << c.name;
    EXPECT_FALSE(c.decodes(TOwnedFrame(Frame(0x01, TBytes(c.needed - 1, 0x11))).frame)) << c.name;
  }
}

TEST(RadarWifiSettingsReply, ReadsKnownTagsAndSkipsOthersByTheirLength) {
  const TBytes params = TBytesBuilder()
                            .U8(1).U8(4).Text("home")
                            .U8(9).U8(3).U8(1).U8(2).U8(3)  // unknown tag, skipped
                            .U8(2).U8(0)                    // empty password
                            .U8(13).U8(4).U8(10).U8(0).U8(0).U8(7)
                            .U8(16).U8(2).U8(0x23).U8(0x28)
                            .U8(17).U8(4).U8(255).U8(255).U8(0).U8(0)
                            .U8(10).U8(1).U8(7)
                            .U8(3).U8(1).U8(11)
                            .bytes;
  const TWifiSettingsReply reply = DecodeWifiSettings(TOwnedFrame(Frame(0x6C, params)).frame);
  EXPECT_EQ(reply.Ssid, QStringLiteral("home"));
  EXPECT_EQ(reply.Password, QString());
  EXPECT_EQ(reply.IpAddress, (std::array<uint8_t, 4>{10, 0, 0, 7}));
  EXPECT_EQ(reply.TcpPort, 9000) << "big-endian";
  EXPECT_EQ(reply.NetMask, (std::array<uint8_t, 4>{255, 255, 0, 0}));
  EXPECT_EQ(reply.Mode, 7);
  EXPECT_EQ(reply.RadioChannel, 11);
}

TEST(RadarWifiSettingsReply, AnElementRunningPastThePacketEndsTheListAndShortValuesAreSkipped) {
  const TBytes params = TBytesBuilder()
                            .U8(13).U8(2).U8(1).U8(2)       // an address of two bytes: skipped
                            .U8(3).U8(1).U8(5)
                            .U8(1).U8(40).Text("cut")       // claims 40 bytes, has 3
                            .bytes;
  const TWifiSettingsReply reply = DecodeWifiSettings(TOwnedFrame(Frame(0x6C, params)).frame);
  EXPECT_FALSE(reply.IpAddress);
  EXPECT_EQ(reply.RadioChannel, 5);
  EXPECT_FALSE(reply.Ssid);

  // A lone tag byte at the end: no length, nothing read.
  const TWifiSettingsReply lone = DecodeWifiSettings(TOwnedFrame(Frame(0x6C, {0x03, 0x01, 0x09, 0x0A})).frame);
  EXPECT_EQ(lone.RadioChannel, 9);
  EXPECT_FALSE(lone.Mode);
}

}  // namespace
