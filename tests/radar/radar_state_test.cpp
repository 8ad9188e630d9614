// What a radar holds: its starting state, the writers with side effects, and the
// receive buffer and send queues with their capacities.

#include "platform/ui/application.h"
#include "radar/radar_messages.h"
#include "tests/radar/radar_test_support.h"

#include <gtest/gtest.h>

namespace {

class RadarState : public ::testing::Test {
protected:
  TProgramFolderScope folder;
  TFakeRadarShell shell;
  TFakeRadarSet set;
  THooksScope hooks{&shell, &set};
  TFakeRadar radar;
};

TEST_F(RadarState, StartsStoppedWithNothingLoaded) {
  EXPECT_EQ(radar.GPSstate(), gpsNone);
  EXPECT_EQ(radar.CurMode(), cmStop);
  EXPECT_EQ(radar.PcLoading(), 1.0);
  EXPECT_EQ(radar.ShiftSlowRamp(), 32000);
  EXPECT_EQ(radar.NMEIString, (std::array<uint8_t, 5>{'G', 'P', 'G', 'G', 'A'}));
  EXPECT_EQ(radar.TimerId, 0u);
  EXPECT_EQ(radar.curCmd, 0);
  EXPECT_EQ(radar.OverStep, 0) << "0 until the first load-data command";
  EXPECT_TRUE(radar.NotBlocked);
  EXPECT_EQ(radar.MainDirection, dForward);
  EXPECT_EQ(radar.CommGlobBuf.Allocated(), 0u) << "no receive block before data arrives";
  EXPECT_EQ(radar.ForSendWiFiGlobBuf.Allocated(), 0u);
  EXPECT_EQ(radar.ForSendUSBGlobBuf.Allocated(), 0u);
}

TEST_F(RadarState, ANewAntennaTypeTellsTheMainWindowOnce) {
  radar.SetRadarType(Unit02);
  radar.SetRadarType(Unit02);
  EXPECT_EQ(shell.radarChanges, 1);
  EXPECT_EQ(radar.RadarTypeStr(), QString::fromLatin1(GPRUnitParams[Unit02].UnitName)) << "the unit table's name";
  radar.SetRadarType(Unit03);
  EXPECT_EQ(shell.radarChanges, 2);
}

TEST_F(RadarState, ATypeReportedOnAReaderThreadReachesTheMainWindowOnItsThread) {
  std::thread reader([&] { radar.SetRadarType(Unit05); });
  reader.join();
  EXPECT_EQ(shell.radarChanges, 0) << "not from the reader thread";
  EXPECT_TRUE(ProcessMessagesUntil([&] { return shell.radarChanges == 1; }));
}

TEST_F(RadarState, EveryModeAssignmentIsPostedToTheMainWindow) {
  radar.SetCurMode(cmCont);
  radar.SetCurMode(cmCont);
  radar.SetCurMode(cmCursor);
  Application->ProcessMessages();
  ASSERT_EQ(shell.messages.size(), 3u);
  EXPECT_EQ(shell.messages[0].Msg, WM_CURMODECHANGED);
  EXPECT_EQ(shell.messages[0].Msg, 1024u + 418);
  EXPECT_EQ(shell.messages[1].WParam, static_cast<WPARAM>(cmCont));
  EXPECT_EQ(shell.messages[2].WParam, static_cast<WPARAM>(cmCursor));
  EXPECT_EQ(shell.messages[2].LParam, 0);
  EXPECT_EQ(radar.CurMode(), cmCursor);
}

TEST_F(RadarState, SpeedLimitRaisesTheMaximumOnlyUpwards) {
  radar.SetSpeedLimit(30);
  radar.SetSpeedLimit(12);
  EXPECT_EQ(radar.SpeedLimit(), 12);
  EXPECT_EQ(radar.MaxSpeedLimit(), 30);
  radar.SetMaxSpeedLimit(0);
  radar.SetSpeedLimit(5);
  EXPECT_EQ(radar.MaxSpeedLimit(), 5);
}

TEST_F(RadarState, TextsOfVoltageAddressAndGps) {
  radar.SetPower(10.5);
  EXPECT_EQ(radar.PowerStr(), "10.5");
  radar.SetPower(12.26);
  EXPECT_EQ(radar.PowerStr(), "12.3");
  radar.netIP = TnetRec{192, 168, 4, 1};
  EXPECT_EQ(radar.strNetIP(), "192.168.4.1");
  radar.SetLastNMEA(QString(300, u'N'));
  EXPECT_EQ(radar.LastNMEA().size(), 255) << "a short string";
}

TEST_F(RadarState, PresetKeyUsesTheSetsDeviceBoxForMasterAndSlave) {
  radar.SetRadarType(Unit44);
  EXPECT_EQ(radar.PresetRadarTypeStr(), "unknown");
  radar.SetModeRadar(TRadarRole::slave);
  set.device = tdBox02;
  EXPECT_EQ(radar.PresetRadarTypeStr(), "B-02");
  SetRadarSetView(nullptr);
  EXPECT_EQ(radar.PresetRadarTypeStr(), "Unknown") << "no set: no device box";
}

TEST_F(RadarState, ReceiveBufferHoldsAppendsConsumesAndRefusesOverflow) {
  const TBytes first = Frame(0x31, {0x00, 0x05});
  ASSERT_TRUE(radar.AppendReceived(first));
  ASSERT_TRUE(radar.AppendReceived(TBytesBuilder().Text("xyz").bytes));
  EXPECT_GT(radar.CommGlobBuf.Allocated(), 0u);
  EXPECT_LT(radar.CommGlobBuf.Allocated(), TReceiveBuffer::Capacity) << "grows as needed";
  EXPECT_EQ(radar.CommGlobBufEndPos(), static_cast<int32_t>(first.size() + 3));
  radar.ConsumeReceived(first.size());
  const auto rest = radar.ReceivedBytes();
  EXPECT_EQ(TBytes(rest.begin(), rest.end()), TBytesBuilder().Text("xyz").bytes);

  TReceiveBuffer buffer;
  ASSERT_TRUE(buffer.Append(TBytes(TReceiveBuffer::Capacity - 2, 1)));
  EXPECT_FALSE(buffer.Append(TBytes(3, 2))) << "would pass the capacity";
  EXPECT_EQ(buffer.Count(), TReceiveBuffer::Capacity - 2) << "nothing appended";
  buffer.Consume(10);
  EXPECT_TRUE(buffer.Append(TBytes(3, 2))) << "consumed room is reused";
  EXPECT_EQ(buffer.Bytes().back(), 2);
  EXPECT_EQ(buffer.Bytes()[buffer.Count() - 4], 1);
}

TEST_F(RadarState, ReceiveBufferKeepsTheOrderAcrossConsumeAndRegrowth) {
  TReceiveBuffer buffer;
  std::vector<uint8_t> expected;
  uint8_t next = 0;
  for (int round = 0; round < 50; ++round) {
    TBytes chunk(7000 + 131 * round);
    for (uint8_t& b : chunk) b = next++;
    ASSERT_TRUE(buffer.Append(chunk));
    expected.insert(expected.end(), chunk.begin(), chunk.end());
    const size_t drop = expected.size() / 3;
    buffer.Consume(drop);
    expected.erase(expected.begin(), expected.begin() + static_cast<std::ptrdiff_t>(drop));
    ASSERT_EQ(TBytes(buffer.Bytes().begin(), buffer.Bytes().end()), expected) << round;
  }
}

TEST_F(RadarState, SendQueuesRefuseWhatDoesNotFitAndShiftAfterAPartialWrite) {
  radar.OpenLog(QStringLiteral("queue"));
  ASSERT_TRUE(radar.QueueWiFiPacket(TBytes(TSendQueue::Capacity - 4, 0xAA)));
  EXPECT_FALSE(radar.QueueWiFiPacket(Frame(0x64, {})));
  EXPECT_EQ(radar.ForSendWiFiGlobBuf.Count(), TSendQueue::Capacity - 4);
  EXPECT_TRUE(LogContains(radar.Log().FileName(), QStringLiteral("Send queue is full")));

  EXPECT_EQ(radar.ForSendUSBGlobBuf.Allocated(), 0u) << "the other queue is still unallocated";
  ASSERT_TRUE(radar.QueueUsbPacket(TBytesBuilder().Text("abcdef").bytes));
  radar.ForSendUSBGlobBuf.Consume(4);
  const auto left = radar.ForSendUSBGlobBuf.Bytes();
  EXPECT_EQ(TBytes(left.begin(), left.end()), TBytesBuilder().Text("ef").bytes);
}

TEST_F(RadarState, LastTraceIsStoredAndCopiedWhole) {
  std::vector<int32_t> trace(2000, 7);
  trace[0] = -1;
  radar.StoreLastTrace(trace);
  const TLastArray copy = radar.CopyLastArray();
  EXPECT_EQ(copy[0], -1);
  EXPECT_EQ(copy[LastArrayLength - 1], 7) << "clamped to the array, never past it";
  radar.StoreLastTrace(std::vector<int32_t>{5});
  EXPECT_EQ(radar.CopyLastArray()[1], 7) << "samples past the new count stay";
}

}  // namespace
