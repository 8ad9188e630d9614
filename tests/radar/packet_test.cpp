// The frame: building, checking, the 16-bit parameter rule, the log's name table.

#include "radar/packet.h"
#include "radar/packet_codes.h"
#include "tests/radar/radar_test_support.h"

#include <gtest/gtest.h>

namespace {

TBytes Built(uint8_t code, uint8_t size = 0, const void* param = nullptr) {
  TPacketWriter writer(code);
  AppendCommandParams(writer, size, param);
  return writer.Finish().value();
}

TEST(RadarPacket, CommandWithoutParametersIsEightBytesWithTheCodeAsChecksum) {
  for (uint8_t code : {bcpGetVersion, bcpStop, bcpPing2, bcpGetStatus, bcpWheelRotate_Start}) {
    EXPECT_EQ(Built(code), (TBytes{'Q', 'E', 'L', '3', 0x00, 0x02, code, code})) << int(code);
  }
}

TEST(RadarPacket, ParametersFollowTheCodeAndTheChecksumCoversCodeAndParametersOnly) {
  const uint8_t runMode = rmCont;
  EXPECT_EQ(Built(bcpStart, 1, &runMode), (TBytes{'Q', 'E', 'L', '3', 0x00, 0x03, 0x54, 0x01, 0x55}));

  const std::array<uint8_t, 3> eeprom = {0x00, 0x04, 0x00};
  EXPECT_EQ(Built(bcpGetEepromStorage, 3, eeprom.data()), Frame(0xC4, {0x00, 0x04, 0x00}));
}

TEST(RadarPacket, ATwoByteParameterIsOneValueSentBigEndianOtherLengthsAsLaidOut) {
  const uint16_t value = 0x1234;  // in memory 34 12
  EXPECT_EQ(Built(0x40, 2, &value), Frame(0x40, {0x12, 0x34}));
  const uint32_t mask = 0x00019207;  // four bytes go out in memory order (little-endian)
  EXPECT_EQ(Built(bcpGetWifiSettings, 4, &mask), Frame(0x6B, {0x07, 0x92, 0x01, 0x00}));
}

TEST(RadarPacket, ChecksumStartsAtTheGivenOffset) {
  const TBytes bytes = {0xFF, 0xFF, 0x0F, 0xF0, 0x01};
  EXPECT_EQ(PacketChecksum(bytes.data(), bytes.size(), 2), 0x0F ^ 0xF0 ^ 0x01);
  EXPECT_EQ(PacketChecksum(bytes.data(), bytes.size(), 5), 0);
}

TEST(RadarPacket, WriterRefusesAPacketWhoseLengthWouldNotFitSixteenBits) {
  TPacketWriter fits(0x01);
  fits.Append(TBytes(MaxPacketLength - 2, 0xAA));
  const auto packet = fits.Finish();
  ASSERT_TRUE(packet);
  EXPECT_EQ(packet->size(), MaxPacketLength + 6);
  EXPECT_EQ((*packet)[4], 0xFF);
  EXPECT_EQ((*packet)[5], 0xFF);

  TPacketWriter tooLong(0x01);
  tooLong.Append(TBytes(MaxPacketLength - 1, 0xAA));
  EXPECT_FALSE(tooLong.Finish());
}

TEST(RadarFrameCheck, ClassifiesFramesFromTheBytesAtTheMagic) {
  const TBytes good = Frame(0x31, {0x00, 0x07});
  TBytes badSum = good;
  badSum.back() ^= 0x40;
  struct Case {
    const char* name;
    TBytes bytes;
    TFrameStatus status;
  };
  const std::vector<Case> cases = {
      {"valid", good, fsValid},
      {"valid with bytes after it", TBytesBuilder().Add(good).Text("QEL3").bytes, fsValid},
      {"length field missing", {'Q', 'E', 'L', '3', 0x00, 0x04}, fsIncomplete},
      {"one byte short", TBytes(good.begin(), good.end() - 1), fsIncomplete},
      {"bad checksum", badSum, fsBadChecksum},
      {"length 0 holds no code", {'Q', 'E', 'L', '3', 0x00, 0x00, 0x31}, fsBadLength},
      {"length 1 holds no checksum", {'Q', 'E', 'L', '3', 0x00, 0x01, 0x31}, fsBadLength},
      {"length 2: code and checksum only", Frame(0x64, {}), fsValid},
  };
  for (const Case& c : cases) {
    const TFrameCheck check = CheckFrame(c.bytes);
    EXPECT_EQ(check.Status, c.status) << c.name;
  }
  const TFrameCheck check = CheckFrame(good);
  EXPECT_EQ(check.Frame.Length(), 4);
  EXPECT_EQ(check.Frame.Code(), 0x31);
  EXPECT_EQ(check.Frame.Size(), good.size());
}

TEST(RadarFrameCheck, ReadsStopAtTheParameterBytes) {
  const TBytes bytes = Frame(0x31, {0x12, 0x34});
  const TFrame frame = CheckFrame(bytes).Frame;
  EXPECT_TRUE(frame.Fits(7, 2));
  EXPECT_FALSE(frame.Fits(8, 2)) << "byte 9 is the checksum";
  EXPECT_FALSE(frame.Fits(6, 1)) << "the code is not a parameter";
  EXPECT_EQ(frame.U16BE(7), 0x1234);
  EXPECT_EQ(frame.U16BE(8), 0) << "a read past the parameters gives 0";
  EXPECT_TRUE(frame.ParamRange(9, 20).empty());
  EXPECT_EQ(frame.ParamRange(0, 100).size(), 2u);
}

TEST(RadarFrameCheck, FindsTheFirstMagic) {
  EXPECT_EQ(FindPacketMagic(TBytesBuilder().Text("xxQEQEL3QEL3").bytes), 4u);
  EXPECT_FALSE(FindPacketMagic(TBytesBuilder().Text("QEL").bytes));
}

TEST(RadarCommandNames, TheLogNamesExactlyTheTableCodesAndWritesOthersInDecimal) {
  const std::vector<std::pair<uint8_t, const char*>> named = {
      {0x30, "bcpGetVersion"},         {0x3F, "bcpOKGetRXVolChnl0"},   {0x4F, "bcpOKSetSlowRamp"},
      {0x52, "bcpLoadData"},           {0x5A, "bcpReadydata"},         {0x62, "bcpGetNMEICfg"},
      {0x6C, "bcpOkWifiSettings"},     {0x6F, "bcpInvokeWifiSettings"}, {0x86, "bcpWheelRotate_Start_Resp"},
      {0xAA, "bcpOKload_Steck_Curve"}, {0xB9, "bcpOKGetMSmode"},       {0xC1, "bcpGetMaxPerfomaceResp"},
      {0xE3, "bcpResumeTransferResp"},
  };
  for (const auto& [code, name] : named) EXPECT_EQ(GetCommandName(code), name);

  // Codes of the protocol that the table leaves out, and codes nobody uses.
  const std::vector<std::pair<uint8_t, const char*>> numbered = {
      {0x60, "96"}, {0x61, "97"}, {0x63, "99"}, {0x68, "104"}, {0x84, "132"}, {0x91, "145"},
      {0xB4, "180"}, {0xC4, "196"}, {0xC8, "200"}, {0xDA, "218"}, {0xE4, "228"}, {0x00, "0"}, {0xFF, "255"},
  };
  for (const auto& [code, text] : numbered) EXPECT_EQ(GetCommandName(code), text);

  int names = 0;
  for (int code = 0; code < 256; ++code) {
    if (GetCommandName(static_cast<uint8_t>(code)) != QString::number(code)) ++names;
  }
  EXPECT_EQ(names, 73);
}

TEST(RadarCommandNames, OnlyAcknowledgementsAndFlowControlSkipTheWait) {
  int noWait = 0;
  for (int code = 0; code < 256; ++code) noWait += IsNoWaitCode(static_cast<uint8_t>(code)) ? 1 : 0;
  EXPECT_EQ(noWait, 3);
  EXPECT_TRUE(IsNoWaitCode(0x91));
  EXPECT_TRUE(IsNoWaitCode(0xBE));
  EXPECT_TRUE(IsNoWaitCode(0xCF));
}

}  // namespace
