// Sending: one command awaiting its reply at a time, the 500 ms reply timer driven
// through the message loop, the commands that never wait, and the timer expiries
// that find no radar.

#include "radar/packet_codes.h"
#include "radar/radar_link_state.h"
#include "radar/reply_timers.h"
#include "tests/radar/radar_test_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

namespace {

// Generous: the reply timer fires after 500 ms of served messages.
constexpr auto kTimerBound = std::chrono::seconds(10);

class RadarSend : public ::testing::Test {
protected:
  void SetUp() override {
    radar.OpenLog(QStringLiteral("A"));
    set.slotRadars[0] = &radar;
  }
  void TearDown() override {
    // No timer of this test may fire into the next one.
    for (uint32_t id : armed) ProcessMessagesUntil([id] { return !ReplyTimerRunning(id); }, kTimerBound);
  }
  // Waits (serving messages) until the radar's reply timer has expired.
  bool DriveTimeout(TRadar& r) {
    armed.push_back(r.TimerId);
    return ProcessMessagesUntil([&] { return r.TimerId == 0; }, kTimerBound);
  }
  QString LogName() const { return radar.Log().FileName(); }

  TProgramFolderScope folder;
  TFakeRadarShell shell;
  TFakeRadarSet set;
  THooksScope hooks{&shell, &set};
  TFakeRadar radar;
  std::vector<uint32_t> armed;
};

TEST_F(RadarSend, CommandsAreFramedQueuedAndAwaitTheirReply) {
  radar.SendCommand(bcpGetVersion, 0, nullptr);
  const uint8_t mode = rmWheel;
  ASSERT_EQ(radar.Sent().size(), 1u);
  EXPECT_EQ(radar.Sent()[0], Frame(0x30, {}));
  EXPECT_EQ(radar.curCmd, bcpGetVersion);
  EXPECT_NE(radar.TimerId, 0u);
  EXPECT_EQ(TBytes(radar.ForSendWiFiGlobBuf.Bytes().begin(), radar.ForSendWiFiGlobBuf.Bytes().end()), Frame(0x30, {}));

  EXPECT_EQ(radar.InjectReply(Frame(0x5E, {0x7D, 0x00})), rwOtherCommand) << "not the awaited reply";
  EXPECT_NE(radar.TimerId, 0u);
  const uint32_t id = radar.TimerId;
  EXPECT_EQ(radar.InjectReply(Frame(0x31, {0x00, 0x13})), rwEnded);
  EXPECT_EQ(radar.TimerId, 0u);
  EXPECT_FALSE(ReplyTimerRunning(id)) << "a stopped timer never fires";

  radar.SendCommand(bcpStart, 1, &mode);
  EXPECT_EQ(radar.Sent().back(), Frame(0x54, {0x02}));
  EXPECT_FALSE(shell.wasOverFlow) << "a start clears the overflow flag";
  radar.InjectReply(Frame(0x55, {}));
  radar.SendCommand(bcpStop, 0, nullptr);
  EXPECT_EQ(shell.runButtonStates, std::vector<bool>{false}) << "a stop shows the Run command stopped";
  radar.InjectReply(Frame(0x57, {}));
}

TEST_F(RadarSend, TheSecondCommandGoesOnlyAfterTheReplyToTheFirst) {
  radar.SendCommand(bcpReadSerNum, 0, nullptr);
  std::atomic<bool> sendingSecond = false;
  size_t sentWhenReplied = 0;
  std::thread reader([&] {
    while (!sendingSecond) std::this_thread::yield();
    // Give a sender that does not wait every chance to queue early.
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    sentWhenReplied = radar.Sent().size();
    radar.InjectReply(Frame(0x68, {0x00, 0x2A}));
  });
  sendingSecond = true;
  radar.SendCommand(bcpPing2, 0, nullptr);
  reader.join();
  EXPECT_EQ(sentWhenReplied, 1u);
  EXPECT_EQ(radar.SentCodes(), (std::vector<uint8_t>{bcpReadSerNum, bcpPing2}));
  EXPECT_EQ(radar.curCmd, bcpPing2);
  EXPECT_FALSE(LogContains(LogName(), QStringLiteral("Not received request")));
  radar.InjectReply(Frame(0x65, TBytes(10, 0)));
}

TEST_F(RadarSend, WithoutAReplyTheTimerEndsTheWaitAndLogsTheCommand) {
  radar.SendCommand(bcpGetVersion, 0, nullptr);
  const uint32_t id = radar.TimerId;
  armed.push_back(id);
  radar.SendCommand(bcpPing2, 0, nullptr);  // serves messages until the timer expires
  EXPECT_EQ(radar.SentCodes(), (std::vector<uint8_t>{bcpGetVersion, bcpPing2}));
  EXPECT_TRUE(LogContains(LogName(), QStringLiteral("%1\t Not received request #bcpGetVersion %1").arg(id)));
  EXPECT_EQ(radar.InjectReply(Frame(0x65, TBytes(10, 0))), rwEnded);
}

TEST_F(RadarSend, ThePerformanceDelayReplyLeavesItsTimerRunning) {
  radar.SendCommand(bcpGetPerfomanceDelay, 0, nullptr);
  const uint32_t id = radar.TimerId;
  EXPECT_EQ(radar.InjectReply(Frame(0xB5, {0x20})), rwOtherCommand);
  EXPECT_EQ(radar.TimerId, id);
  ASSERT_TRUE(DriveTimeout(radar));
  EXPECT_TRUE(LogContains(LogName(), QStringLiteral("%1\t Not received request #180 %1").arg(id)));
}

TEST_F(RadarSend, AcknowledgementsAndDelayStepsNeitherWaitNorArm) {
  radar.SendCommand(bcpGetVersion, 0, nullptr);
  const uint32_t id = radar.TimerId;
  const uint8_t sequence = 0x25;
  const auto step = std::array<uint8_t, 4>{0xFC, 0, 0, 0};
  radar.SendCommand(bcpAckofReceipt, 1, &sequence);
  radar.SendCommand(bcpStepPerfomanceDelay, 4, step.data());
  radar.SendCommand(bcpSetMaxPerfomace, 0, nullptr);
  const std::vector<TBytes> sent = radar.Sent();
  ASSERT_EQ(sent.size(), 4u) << "queued at once while a reply is awaited";
  EXPECT_EQ(sent[1], Frame(0x91, {0x25}));
  EXPECT_EQ(sent[2], Frame(0xCF, {0xFC, 0, 0, 0}));
  EXPECT_EQ(radar.TimerId, id);
  EXPECT_EQ(radar.curCmd, bcpGetVersion);
  radar.InjectReply(Frame(0x31, {0, 1}));
}

TEST_F(RadarSend, AReplyDecodedOnTheReaderThreadStopsTheTimer) {
  radar.SendCommand(bcpGetSlowRamp, 0, nullptr);
  const uint32_t id = radar.TimerId;
  TReplyWaitEnd end = rwOtherCommand;
  std::thread reader([&] { end = radar.InjectReply(Frame(0x5E, {0x7D, 0x00})); });
  reader.join();
  EXPECT_EQ(end, rwEnded);
  EXPECT_EQ(radar.TimerId, 0u);
  EXPECT_FALSE(ReplyTimerRunning(id));
}

TEST_F(RadarSend, ACommandSentOnAReaderThreadTimesOutOnTheUserInterfaceThread) {
  std::thread reader([&] { radar.SendCommand(bcpPing2, 0, nullptr); });
  reader.join();
  ASSERT_NE(radar.TimerId, 0u);
  const uint32_t id = radar.TimerId;
  ASSERT_TRUE(DriveTimeout(radar));
  EXPECT_TRUE(LogContains(LogName(), QStringLiteral("%1\t Not received request #bcpPing2 %1").arg(id)));
}

TEST_F(RadarSend, TimeoutsOfTheRoleQueriesFallBackToASingleOrSelfNumberedRadar) {
  radar.SetModeRadar(TRadarRole::slave);
  NewViewChannalCount = 3;
  radar.SendCommand(bcpGetMSmode, 0, nullptr);
  ASSERT_TRUE(DriveTimeout(radar));
  EXPECT_EQ(radar.ModeRadar(), TRadarRole::single);
  EXPECT_EQ(NewViewChannalCount, 1);
  EXPECT_TRUE(LogContains(LogName(), QStringLiteral("ModeRadar=0")));

  AutoNumChannalRadar = 2;
  radar.SetXshift(5);
  radar.SetYshift(6);
  radar.SetZeroOffset(7);
  radar.SendCommand(bcpGetMasterSlaveStt, 0, nullptr);
  ASSERT_TRUE(DriveTimeout(radar));
  EXPECT_EQ(radar.NumChannalRadar(), 2);
  EXPECT_EQ(AutoNumChannalRadar, 3);
  EXPECT_EQ(shell.countRadarFromMaster, 3);
  EXPECT_EQ(radar.CountRadarInArray(), 1);
  EXPECT_EQ(radar.Xshift(), 0);
  EXPECT_EQ(radar.Yshift(), 0);
  EXPECT_EQ(radar.ZeroOffset(), 0);
  EXPECT_TRUE(LogContains(LogName(), QStringLiteral("Auto NumChannalRadar=2")));
  AutoNumChannalRadar = 0;
}

TEST_F(RadarSend, TheTimerOfAFreedRadarIsOnlyLoggedAndNeverEndsAnotherRadarsWait) {
  auto* gone = new TFakeRadar();
  gone->SendCommand(bcpGetVersion, 0, nullptr);
  const uint32_t goneId = gone->TimerId;
  armed.push_back(goneId);
  delete gone;

  radar.SendCommand(bcpReadSerNum, 0, nullptr);  // slot 0 waits for its own reply
  const uint32_t ownId = radar.TimerId;
  ASSERT_TRUE(ProcessMessagesUntil([&] { return !ReplyTimerRunning(goneId); }, kTimerBound));
  EXPECT_TRUE(LogContains(LogName(), QStringLiteral("No responsible timer %1").arg(goneId)));

  ASSERT_TRUE(DriveTimeout(radar));
  // Its wait ended by its own timer: had the orphan cleared it, this expiry would
  // have found no radar either.
  EXPECT_TRUE(LogContains(LogName(), QStringLiteral("%1\t Not received request #bcpReadSerNum %1").arg(ownId)));
  EXPECT_FALSE(LogContains(LogName(), QStringLiteral("No responsible timer %1").arg(ownId)));
}

TEST_F(RadarSend, AWaitingSenderReturnsWhenItsRadarIsFreedMeanwhile) {
  auto* doomed = new TFakeRadar();
  doomed->SendCommand(bcpGetVersion, 0, nullptr);
  armed.push_back(doomed->TimerId);
  bool freed = false;
  HWND killer = AllocateHWnd([&](TMessage&) {
    delete doomed;
    freed = true;
  });
  PostMessage(killer, WM_USER, 0, 0);
  doomed->SendCommand(bcpPing2, 0, nullptr);  // must not touch the radar after the message
  EXPECT_TRUE(freed);
  DeallocateHWnd(killer);
}

TEST_F(RadarSend, NeedBreakEndsTheWaitAndArmsNothing) {
  radar.SendCommand(bcpGetVersion, 0, nullptr);
  const uint32_t id = radar.TimerId;
  armed.push_back(id);
  radar.NeedBreak = true;
  radar.SendCommand(bcpStop, 0, nullptr);
  EXPECT_EQ(radar.SentCodes(), (std::vector<uint8_t>{bcpGetVersion, bcpStop})) << "queued without waiting";
  EXPECT_EQ(radar.TimerId, id) << "no timer for the stop";
  radar.NeedBreak = false;
  radar.InjectReply(Frame(0x31, {0, 1}));
}

}  // namespace
