// What each reply does on the reader thread: the wait it ends, the values it sets,
// the messages it posts and the log line it writes.

#include "platform/rtl/ini_files.h"
#include "radar/packet_codes.h"
#include "radar/radar_link_state.h"
#include "radar/radar_messages.h"
#include "platform/ui/application.h"
#include "radar/reply_timers.h"
#include "tests/radar/radar_test_support.h"

#include <gtest/gtest.h>

#include <QFile>

#include <functional>

namespace {

class RadarReplyEffects : public ::testing::Test {
protected:
  void SetUp() override {
    radar.OpenLog(QStringLiteral("R"));
    set.slotRadars[0] = &radar;
  }
  void TearDown() override {
    // No reply timer of this test may fire into the next one.
    ProcessMessagesUntil([this] { return radar.TimerId == 0; }, std::chrono::seconds(10));
    Application->ProcessMessages();
  }
  QStringList Log() const { return ReadLogLines(radar.Log().FileName()); }
  bool Logged(const QString& text) const { return LogContains(radar.Log().FileName(), text); }
  void Send(uint8_t code, const TBytes& params = {}) {
    radar.SendCommand(code, static_cast<uint8_t>(params.size()), params.empty() ? nullptr : params.data());
  }

  TProgramFolderScope folder;
  TFakeRadarShell shell;
  TFakeRadarSet set;
  THooksScope hooks{&shell, &set};
  TFakeRadar radar;
  TParserUnderTest parser{radar};
};

TEST_F(RadarReplyEffects, RepliesToTheAwaitedCommandEndTheWaitSetTheirValuesAndLog) {
  struct TCase {
    uint8_t command;
    TBytes reply;
    QString line;  // a log line that must appear
    std::function<void(TFakeRadar&, TFakeRadarShell&, TFakeRadarSet&)> check;
  };
  const TCase cases[] = {
      {0x30, Frame(0x31, {0x00, 0x13}), QStringLiteral("bcpGetVersion\tFirmwareVer=19"),
       [](TFakeRadar& r, auto&, auto&) { EXPECT_EQ(r.FirmwareVer(), 19); }},
      {0x5D, Frame(0x5E, {0x79, 0x18}), QStringLiteral("bcpGetSlowRamp\tShiftSlowRamp=31000"),
       [](TFakeRadar& r, auto&, auto&) { EXPECT_EQ(r.ShiftSlowRamp(), 31000); }},
      {0x56, Frame(0x57, {}), QStringLiteral("\tSTOP OK!!"),
       [](TFakeRadar& r, auto&, auto&) { EXPECT_EQ(r.CurMode(), cmStop); EXPECT_FALSE(r.Runing()); }},
      {0x52, Frame(0x53, {}), QStringLiteral("bcpLoadData\tOK"), nullptr},
      {0xA9, Frame(0xAA, {}), QStringLiteral("bcpLoad_Steck_Curve\tOK"), nullptr},
      {0xB8, Frame(0xB9, {1}), QStringLiteral("bcpGetMSmode MSmod= 1\tOK"),
       [](TFakeRadar& r, TFakeRadarShell& s, auto&) {
         EXPECT_EQ(r.ModeRadar(), TRadarRole::master);
         EXPECT_GE(s.countRadarFromMaster, 2) << "a master counts at least two radars";
       }},
      {0xC8, Frame(0xC9, {2, 3, 0xFF, 0xFE, 0x00, 0x05, 0x01, 0x00}), QStringLiteral("ZeroOffset= 256"),
       [](TFakeRadar& r, auto&, auto&) {
         EXPECT_EQ(r.NumChannalRadar(), 2);
         EXPECT_EQ(r.CountRadarInArray(), 3);
         EXPECT_EQ(r.Xshift(), -200) << "100 x i16";
         EXPECT_EQ(r.Yshift(), 500);
       }},
      {0xC0, Frame(0xC1, {1}), QStringLiteral("bcpGetMaxPerfomace\tOK"),
       [](TFakeRadar& r, auto&, auto&) { EXPECT_TRUE(r.WithoutAck()); EXPECT_EQ(r.MaxPerfomanceDelay(), 50); }},
      {0xC4, Frame(0xC5, {0, 2, 0x39, 0x30, 1}), QString(),
       [](TFakeRadar& r, auto&, TFakeRadarSet& set) {
         EXPECT_EQ(set.deviceBoxType, 2);
         EXPECT_EQ(set.deviceBoxSerial, 0x3039) << "little-endian";
         EXPECT_EQ(r.InclinometersSett(), isNormal);
       }},
      {0xE0, Frame(0xE1, {'S', 2, 9, 8, 7, 6, 5, 4, 3, 1}),
       QStringLiteral("bcpGetStatus with data fields: S, 2, 9, 8, 7, 6, 5, 4, 3, 1"), nullptr},
      {0x62, Frame(0x63, {3, 'G', 'P', 'R', 'M', 'C'}), QStringLiteral("bcpGetNMEICfg\tOK"),
       [](TFakeRadar& r, auto&, auto&) {
         EXPECT_EQ(r.NMEISpeed, 3);
         EXPECT_EQ(r.NMEIString, (std::array<uint8_t, 5>{'G', 'P', 'R', 'M', 'C'}));
       }},
      {0x85, Frame(0x86, {}), QString(), [](TFakeRadar& r, auto&, auto&) { EXPECT_EQ(r.CurMode(), cmCursor); }},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(GetCommandName(c.command).toStdString());
    Send(c.command);
    const uint32_t id = radar.TimerId;
    ASSERT_NE(id, 0u);
    parser.Feed(c.reply);
    EXPECT_EQ(radar.TimerId, 0u) << "the wait ended";
    EXPECT_FALSE(ReplyTimerRunning(id)) << "its timer never fires";
    if (!c.line.isEmpty()) EXPECT_TRUE(Logged(c.line)) << c.line.toStdString();
    if (c.check) c.check(radar, shell, set);
  }
}

TEST_F(RadarReplyEffects, RepliesToAnotherCommandKeepTheWaitAndSayWhatWasAwaited) {
  struct TCase {
    TBytes reply;
    QString line;
  };
  const TCase cases[] = {
      {Frame(0x55, {}), QStringLiteral("bcpOKStart\tcurCmd=bcpReadSerNum")},
      {Frame(0x57, {}), QStringLiteral("curCmd <> bcpStop\tcurCmd=bcpReadSerNum")},
      {Frame(0xAA, {}), QStringLiteral("Current command bcpReadSerNum\tbat reseived bcpOKload_Steck_Curve")},
      {Frame(0xC1, {0}), QStringLiteral("bcpGetMaxPerfomace\tcurCmd=bcpReadSerNum")},
      {Frame(0xC9, {1, 1, 0, 0, 0, 0, 0, 0}), QStringLiteral("bcpGetMasterSlaveStt\tcurCmd=bcpReadSerNum")},
  };
  Send(bcpReadSerNum);
  const uint32_t id = radar.TimerId;
  for (const TCase& c : cases) {
    parser.Feed(c.reply);
    EXPECT_EQ(radar.TimerId, id);
    EXPECT_TRUE(Logged(c.line)) << c.line.toStdString();
  }
  EXPECT_FALSE(radar.WithoutAck()) << "a reply to another command sets nothing";
  EXPECT_EQ(radar.CountRadarInArray(), 0);
  parser.Feed(Frame(0x68, {0x01, 0x02}));
  EXPECT_EQ(radar.TimerId, 0u);
  EXPECT_EQ(radar.SerNum(), 0x0102);
}

TEST_F(RadarReplyEffects, ALateReplyFindsItsTimerGoneAndSaysSo) {
  Send(bcpLoadData);
  ASSERT_TRUE(ProcessMessagesUntil([this] { return radar.TimerId == 0; }, std::chrono::seconds(10)));
  parser.Feed(Frame(0x53, {}));
  EXPECT_TRUE(Logged(QStringLiteral("bcpLoadData\tbcpOKLoadData, Can not  kill timer# 0")));
}

TEST_F(RadarReplyEffects, ThePerformanceDelayReplySetsTheDelayButLeavesTheTimerRunning) {
  Send(bcpGetPerfomanceDelay);
  parser.Feed(Frame(0xB5, {40}));
  EXPECT_EQ(radar.MaxPerfomanceDelay(), 40);
  EXPECT_EQ(radar.ConstMaxPerfomanceDelay, 40);
  EXPECT_NE(radar.TimerId, 0u);
}

TEST_F(RadarReplyEffects, TheNmeaConfigurationReplyAsksForTheStoredConfiguration) {
  const TBytes params = {1, 'G', 'P', 'G', 'G', 'A', 0};
  Send(bcpLoadNMEICfg, params);
  parser.Feed(Frame(0x61, {}));
  EXPECT_EQ(radar.SentCodes().back(), bcpGetNMEICfg);
  EXPECT_EQ(radar.curCmd, bcpGetNMEICfg) << "and awaits its reply";
  parser.Feed(Frame(0x63, {1, 'G', 'P', 'G', 'G', 'A'}));
}

TEST_F(RadarReplyEffects, PingAnswerUpdatesTheUnitAndTellsTheWindowsUnlessASlave) {
  const QString nmea = QStringLiteral("$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47");
  auto pong = [&](uint8_t type) {
    TBytesBuilder b;
    b.U8(type).U8(0x25).Le64(45000.25).Text(nmea.toLatin1().constData());
    return Frame(0x65, b.bytes);
  };
  shell.preferencesExist = true;
  shell.hasCurrentChild = true;
  Send(bcpPing2);
  parser.Feed(pong(Unit05));
  EXPECT_EQ(radar.TimerId, 0u);
  EXPECT_EQ(radar.RadarType(), Unit05);
  EXPECT_TRUE(radar.Valid());
  EXPECT_DOUBLE_EQ(radar.Power(), 10.5);
  EXPECT_DOUBLE_EQ(radar.RadarLoading(), 45000.25);
  EXPECT_EQ(radar.LastNMEA(), nmea);
  EXPECT_EQ(LastNmeaSentence(), nmea);
  EXPECT_EQ(radar.GPSstate(), gpsPos) << "8 satellites";
  Application->ProcessMessages();
  EXPECT_EQ(shell.currentChild.Messages(WM_GPSDATA).size(), 1u);
  EXPECT_EQ(shell.preferences.Messages(WM_GPSDATA).size(), 1u);
  EXPECT_FALSE(shell.Messages(WM_GPRSTATUS).empty()) << "the voltage and the GPS state changed";

  radar.SetModeRadar(TRadarRole::slave);
  parser.Feed(pong(Unit05));
  Application->ProcessMessages();
  EXPECT_EQ(shell.currentChild.Messages(WM_GPSDATA).size(), 1u) << "a slave tells no window";
}

TEST_F(RadarReplyEffects, ANewSerialNumberReadsItsInclinometerCalibration) {
  QFile file(folder.Path(QStringLiteral("main.ini")));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("[Inclinometer258]\r\nMaxX=5.5\r\nMinX=-5.5\r\nMaxY=4\r\nMaxZ=3\r\nCalibrationQuality=0.9\r\n"
             "ZeroAngle=1.25\r\n");
  file.close();
  TMemIniFile ini(file.fileName(), ieAnsi);
  shell.mainIni = &ini;
  Send(bcpReadSerNum);
  parser.Feed(Frame(0x68, {0x01, 0x02}));
  EXPECT_EQ(radar.SerNum(), 258);
  EXPECT_DOUBLE_EQ(radar.GXmax, 5.5);
  EXPECT_DOUBLE_EQ(radar.GXmin, -5.5);
  EXPECT_DOUBLE_EQ(radar.GYmin, 1000) << "the default of a missing key";
  EXPECT_DOUBLE_EQ(radar.CalibrationQuality, 0.9) << "every axis has a maximum";
  EXPECT_DOUBLE_EQ(radar.ZeroAngle, 1.25);
  EXPECT_TRUE(Logged(QStringLiteral("bcpReadSerNum\tOK")));
}

TEST_F(RadarReplyEffects, ReportsGoToTheirWindows) {
  shell.preferencesExist = true;
  parser.Feed(Frame(0x3B, {0, 1, 0, 2, 0, 3, 1, 0}));
  parser.Feed(Frame(0x84, {7, 1}));
  parser.Feed(Frame(0xDB, {0, 9}));
  parser.Feed(Frame(0x6C, {1, 3, 'n', 'e', 't', 13, 4, 192, 168, 4, 1, 16, 2, 0x13, 0x88, 3, 1, 6}));
  Application->ProcessMessages();
  const auto volumes = shell.Messages(WM_RXVOLUME);
  ASSERT_EQ(volumes.size(), 4u);
  EXPECT_EQ(volumes[0].WParam, 63u);
  EXPECT_EQ(volumes[3].WParam, 75u);
  EXPECT_EQ(volumes[3].LParam, 256);
  const auto ticks = shell.preferences.Messages(WM_WHEELPULSE);
  ASSERT_EQ(ticks.size(), 1u);
  EXPECT_EQ(ticks[0].WParam, 7u);
  EXPECT_EQ(ticks[0].LParam, 1);
  EXPECT_EQ(radar.SpeedLimit(), 9);
  EXPECT_EQ(radar.ssidStr, QStringLiteral("net"));
  EXPECT_EQ(radar.strNetIP(), QStringLiteral("192.168.4.1"));
  EXPECT_EQ(radar.netPort, 5000);
  EXPECT_EQ(radar.netChannel, 6);
  EXPECT_EQ(shell.preferences.Messages(WM_WIFISETTINGS).size(), 1u);

  // Without the dialog, wheel ticks count the cursor while a recording window runs.
  shell.preferencesExist = false;
  TFakeRecordingWindow window;
  shell.Record(&window);
  radar.SetCurMode(cmCursor);
  parser.Feed(Frame(0x84, {0, 0}));
  parser.Feed(Frame(0x84, {0, 0}));
  parser.Feed(Frame(0x84, {0, 5}));
  EXPECT_EQ(radar.CurWheelTicks, 1);
  radar.SetModeRadar(TRadarRole::slave);
  parser.Feed(Frame(0x84, {0, 0}));
  EXPECT_EQ(radar.CurWheelTicks, 1) << "a slave's ticks are ignored";
}

}  // namespace
