// The parameter blocks the program builds, checked against frames laid out by hand.

#include "radar/command_blocks.h"
#include "tests/radar/radar_test_support.h"

#include <gtest/gtest.h>

namespace {

template <typename AppendBlock>
TBytes PacketWith(uint8_t code, AppendBlock append) {
  TPacketWriter writer(code);
  append(writer);
  return writer.Finish().value();
}

TEST(RadarLoadDataBlock, WindowlessBlockHoldsFiveHundredCodesSixteenApart) {
  TLoadDataBlock block;  // the window-less values: stacking 10, multiplier 1, N 500, c 16
  block.PcTime = 45000.25;
  block.DistanceSource = 0;
  const TBytes packet = PacketWith(0x52, [&](TPacketWriter& w) { AppendLoadDataBlock(w, block); });

  TBytesBuilder params;
  params.Le64(45000.25).U8(10).Be16(1).U8(0);
  for (int k = 0; k < 500; ++k) params.Be16(33535 - 16 * k);
  EXPECT_EQ(packet, Frame(0x52, params.bytes));
  EXPECT_EQ(packet[4] << 8 | packet[5], 1014);
  EXPECT_EQ(packet[19] << 8 | packet[20], 33535);
  EXPECT_EQ(packet[21] << 8 | packet[22], 33519);
  EXPECT_EQ(packet[23] << 8 | packet[24], 33503);
}

TEST(RadarLoadDataBlock, WindowCodesWrapModulo65536) {
  struct Case {
    int64_t k, step;
    uint16_t shift;
    uint16_t code;
  };
  for (const Case& c : std::vector<Case>{
           {0, 16, 32000, 33535},
           {999, 50, 32000, static_cast<uint16_t>(33535 - 49950 + 65536)},  // below zero
           {0, 0, 65535, 0},
           {1, 1, 65535, 65535},  // -1
           {3, 40, 0, 65535 - 120},
       }) {
    EXPECT_EQ(WindowCode(c.k, c.step, c.shift), c.code) << c.k << " " << c.step << " " << c.shift;
  }
}

TEST(RadarLoadDataBlock, StepRoundsHalfToEvenAndDistanceSourceFollowsTheTopoType) {
  EXPECT_EQ(WindowStep(8, 2), 16);
  EXPECT_EQ(WindowStep(15, 5), 75);
  EXPECT_EQ(LoadDataDistanceSource(ttNil), 0);
  EXPECT_EQ(LoadDataDistanceSource(ttGPS), 2);
  for (TTopoType t : {ttWheel, ttTrolleyA, ttOdometerE, ttCustom, ttUnitWheelB}) {
    EXPECT_EQ(LoadDataDistanceSource(t), 1) << int(t);
  }
}

TEST(RadarSteckingCurveBlock, PacksStartAndCountAsTwelveBitValues) {
  const std::vector<TSteckingRun> runs = {{0x123, 0xABC}, {0, 1}, {999, 11}, {0xF00F, 0x1FFF}};
  const TBytes packet = PacketWith(0xA9, [&](TPacketWriter& w) { AppendSteckingCurveBlock(w, runs); });
  const TBytes params = TBytesBuilder()
                            .Be16(4)
                            .U8(0x23).U8(0x1A).U8(0xBC)
                            .U8(0x00).U8(0x00).U8(0x01)
                            .U8(0xE7).U8(0x30).U8(0x0B)   // 999 = 0x3E7, 11 = 0x00B
                            .U8(0x0F).U8(0x0F).U8(0xFF)   // bits above 11 are dropped
                            .bytes;
  EXPECT_EQ(packet, Frame(0xA9, params));
}

TEST(RadarSteckingCurveBlock, WindowlessEntryIsZeroStartCountOne) {
  const TSteckingRun entry = DefaultSteckingEntry;
  const TBytes packet = PacketWith(0xA9, [&](TPacketWriter& w) { AppendSteckingCurveBlock(w, std::span(&entry, 1)); });
  EXPECT_EQ(packet, Frame(0xA9, {0x00, 0x01, 0x00, 0x00, 0x01}));
}

TEST(RadarFileHeaderBlock, SizeIsLittleEndianAndTakenModulo65536) {
  const TBytes file = TBytesBuilder().Text("BSTT-container").bytes;
  EXPECT_EQ(PacketWith(0xE4, [&](TPacketWriter& w) { AppendFileHeaderBlock(w, file); }),
            Frame(0xE4, TBytesBuilder().Le16(14).Add(file).bytes));

  TBytes big(65536 + 3, 0x5A);
  const TBytes packet = PacketWith(0xE4, [&](TPacketWriter& w) { AppendFileHeaderBlock(w, big); });
  EXPECT_EQ(packet, Frame(0xE4, {0x03, 0x00, 0x5A, 0x5A, 0x5A}));
}

TEST(RadarWifiSettingsBlock, ElementsFollowTheMaskInTheDialogsOrder) {
  TWifiSettingsBlock settings;
  settings.Ssid = "net";
  settings.Password = "pw";
  settings.IpAddress = {192, 168, 4, 1};
  settings.NetMask = {255, 255, 255, 0};
  settings.TcpPort = 0x1F90;  // 8080
  settings.RadioChannel = 6;
  const uint32_t mask = (1u << 0) | (1u << 1) | (1u << 12) | (1u << 16) | (1u << 15) | (1u << 9) | (1u << 2) | (1u << 6);
  TBytes expected = TBytesBuilder()
                        .Le32(mask)
                        .U8(1).U8(3).Text("net")
                        .U8(2).U8(2).Text("pw")
                        .U8(13).U8(4).U8(192).U8(168).U8(4).U8(1)
                        .U8(17).U8(4).U8(255).U8(255).U8(255).U8(0)
                        .U8(16).U8(2).U8(0x1F).U8(0x90)
                        .U8(10).U8(1).U8(7)
                        .U8(3).U8(1).U8(6)
                        .U8(7).U8(1).U8(12)
                        .bytes;
  EXPECT_EQ(WifiSettingsParams(settings), expected);

  settings.WithRouter = true;
  expected[expected.size() - 7] = 1;  // mode with router
  expected[expected.size() - 4] = 0;  // no radio channel with a router
  EXPECT_EQ(WifiSettingsParams(settings), expected);
}

TEST(RadarWifiSettingsBlock, TextLongerThanALengthByteIsCut) {
  TWifiSettingsBlock settings;
  settings.Ssid = QByteArray(300, 'x');
  const std::vector<uint8_t> params = WifiSettingsParams(settings);
  EXPECT_EQ(params[4], 1);
  EXPECT_EQ(params[5], 255);
  EXPECT_EQ(params[6 + 255], 2) << "the password element follows 255 characters";
}

TEST(RadarSmallParameters, LayoutsOfTheFixedParameters) {
  EXPECT_EQ(WifiSettingsRequestParams(WifiSettingsRequestMask), (std::array<uint8_t, 4>{0x07, 0x92, 0x01, 0x00}));
  EXPECT_EQ(WifiTagMask({1, 2, 3, 10, 13, 16, 17}), WifiSettingsRequestMask);
  EXPECT_EQ(NmeaConfigParams(3, "$GPRMC"), (std::array<uint8_t, 7>{3, 'G', 'P', 'R', 'M', 'C', 0}));
  EXPECT_EQ(NmeaConfigParams(1, "GNGGA"), (std::array<uint8_t, 7>{1, 'G', 'N', 'G', 'G', 'A', 0}));
  EXPECT_EQ(NmeaConfigParams(0, "$GP"), (std::array<uint8_t, 7>{0, 'G', 'P', 0, 0, 0, 0}));
  EXPECT_EQ(ZeroOffsetParams(0x0123), (std::array<uint8_t, 3>{16, 0x01, 0x23}));
  EXPECT_EQ(StepPerfomanceDelayParams(-4), (std::array<uint8_t, 4>{0xFC, 0, 0, 0}));
}

}  // namespace
