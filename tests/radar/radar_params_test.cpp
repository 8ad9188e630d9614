// The acquisition parameters a radar sends: the blocks built from the active
// channel (or their window-less values), and the restart when the settings change
// during a recording.

#include "profiledata/setting_data.h"
#include "radar/packet_codes.h"
#include "radar/reply_timers.h"
#include "tests/profiledata/fake_hooks.h"
#include "tests/radar/radar_test_support.h"

#include <gtest/gtest.h>

#include <QFile>

#include <cstring>

namespace {

double TimeOf(const TBytes& packet) {
  double t;
  std::memcpy(&t, packet.data() + 7, 8);  // the test machine is little-endian, as the field
  return t;
}

class RadarParams : public ::testing::Test {
protected:
  void SetUp() override {
    program.topoType = ttWheel;
    SetAcquisitionShell(&program);
    settings = new TSettingData(&store);
    radar.OpenLog(QStringLiteral("P"));
    set.slotRadars[0] = &radar;
    // A device that answers every command at once.
    radar.onQueued = [this](const TBytes& packet) { radar.EndReplyWait(static_cast<uint8_t>(packet[6] + 1)); };
  }
  void TearDown() override {
    SetAcquisitionShell(nullptr);
    settings->Free();
  }
  // Serves messages until the radar's last timer is gone (its reply came or it expired).
  void Drain() {
    const uint32_t id = radar.TimerId;
    ProcessMessagesUntil([id] { return !ReplyTimerRunning(id); }, std::chrono::seconds(10));
  }

  TProgramFolderScope folder;
  FakeShell program;  // the program's distance source for the load-data block
  FakeWindow window;
  FakeStore store{&window};
  TSettingData* settings = nullptr;
  TFakeRadarShell shell;
  TFakeRadarSet set;
  THooksScope hooks{&shell, &set};
  TFakeRadar radar;
};

TEST_F(RadarParams, LoadDataFromTheActiveChannel) {
  shell.channel = settings;
  radar.SetRadarType(Unit26);  // Coef 8, 16, 28, 40
  radar.SetShiftSlowRamp(30000);
  settings->SetOverStep(3);    // LongTrace 333
  settings->SetSpanIndex(1);
  settings->SetStacking(20);
  settings->SetWheelMult(4);
  settings->SetTopoType(ttOdometerA);

  radar.SendCommand(bcpLoadData, 0, nullptr);
  const TBytes packet = radar.Sent().back();
  const double t = TimeOf(packet);
  TBytesBuilder params;
  params.Le64(t).U8(20).Be16(4).U8(1);
  for (int k = 0; k < 333; ++k) params.Be16(static_cast<uint16_t>((65535 - 30000 - 48 * k + 65536 * 8) % 65536));
  EXPECT_EQ(packet, Frame(0x52, params.bytes));
  EXPECT_EQ(radar.PcLoading(), t);
  EXPECT_EQ(shell.pcLoading, t);
  EXPECT_NE(t, PcLoadingNotLoaded);
  EXPECT_EQ(radar.Stacking, 20);
  EXPECT_EQ(radar.WheelMult, 4);
  EXPECT_EQ(radar.TopoType, ttOdometerA);
  EXPECT_EQ(radar.OverStep, 3);
  EXPECT_EQ(radar.LengthLastArray, 333);
  EXPECT_EQ(radar.SpanIndex, 1);
}

TEST_F(RadarParams, LoadDataByWindowAndDialogState) {
  struct Case {
    const char* name;
    bool channel;
    bool preferencesExist, preferencesVisible;
    TTopoType channelTopo;
    uint8_t stacking;
    uint16_t wheelMult;
    uint8_t distance;
    int count;
    TTopoType radarTopo;
  };
  const std::vector<Case> cases = {
      {"channel, GPS", true, false, false, ttGPS, 7, 3, 2, 500, ttGPS},
      {"channel, no distance", true, false, false, ttNil, 7, 3, 0, 500, ttNil},
      {"channel, preferences shown", true, true, true, ttWheel, 10, 1, 1, 500, ttWheel},
      {"channel, preferences hidden", true, true, false, ttWheel, 7, 3, 1, 500, ttWheel},
      {"no window, preferences exist", false, true, false, ttNil, 10, 1, 1, 500, ttWheel},
      {"no window, no preferences", false, false, false, ttNil, 10, 1, 0, 500, ttNil},
  };
  settings->SetStacking(7);
  settings->SetWheelMult(3);
  for (const Case& c : cases) {
    shell.channel = c.channel ? settings : nullptr;
    shell.preferencesExist = c.preferencesExist;
    shell.preferencesVisible = c.preferencesVisible;
    settings->SetTopoType(c.channelTopo);
    radar.SendCommand(bcpLoadData, 0, nullptr);
    const TBytes packet = radar.Sent().back();
    ASSERT_EQ(packet.size(), 6u + 1 + 12 + 2 * c.count + 1) << c.name;
    EXPECT_EQ(packet[15], c.stacking) << c.name;
    EXPECT_EQ(packet[16] << 8 | packet[17], c.wheelMult) << c.name;
    EXPECT_EQ(packet[18], c.distance) << c.name;
    EXPECT_EQ(radar.TopoType, c.radarTopo) << c.name;
    EXPECT_EQ(radar.Stacking, c.stacking) << c.name;
  }
  // Without a window the codes are 16 apart from 65535 - ShiftSlowRamp, with OverStep 2.
  const TBytes last = radar.Sent().back();
  EXPECT_EQ(last[19] << 8 | last[20], 33535);
  EXPECT_EQ(last[21] << 8 | last[22], 33519);
  EXPECT_EQ(radar.OverStep, 2);
  EXPECT_EQ(radar.SpanIndex, 1);
  EXPECT_EQ(radar.LengthLastArray, 500);
}

TEST_F(RadarParams, StackingCurveFromTheChannelsTableOrTheSingleDefaultEntry) {
  shell.channel = settings;
  radar.SendCommand(bcpLoad_Steck_Curve, 0, nullptr);
  const int runs = settings->GetSteckingLength();
  ASSERT_GT(runs, 1);
  TBytesBuilder params;
  params.Be16(static_cast<unsigned>(runs));
  for (int i = 0; i < runs; ++i) {
    const TSteckingRun run = settings->SteckingArray[static_cast<size_t>(i)];
    params.U8(run.Start & 0xFF).U8((run.Start >> 8 & 0xF) << 4 | (run.Count >> 8 & 0xF)).U8(run.Count & 0xFF);
  }
  EXPECT_EQ(radar.Sent().back(), Frame(0xA9, params.bytes));

  shell.channel = nullptr;
  radar.SendCommand(bcpLoad_Steck_Curve, 0, nullptr);
  EXPECT_EQ(radar.Sent().back(), Frame(0xA9, {0x00, 0x01, 0x00, 0x00, 0x01}));
}

TEST_F(RadarParams, FileHeaderCarriesTheSettingsContainerAndRefusesOneTooLargeForAFrame) {
  radar.SendCommand(bcpLoadFileHeader, 0, nullptr);
  EXPECT_EQ(radar.Sent().back(), Frame(0xE4, {0x00, 0x00})) << "no container yet";

  const TBytes container = TBytesBuilder().Text("WGPR").U8(42).Zeros(300).Text("end").bytes;
  QFile file(folder.Path(QStringLiteral("bstt")));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(reinterpret_cast<const char*>(container.data()), static_cast<qint64>(container.size()));
  file.close();
  radar.SendCommand(bcpLoadFileHeader, 0, nullptr);
  EXPECT_EQ(radar.Sent().back(), Frame(0xE4, TBytesBuilder().Le16(308).Add(container).bytes));

  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(QByteArray(65532, 'x'));  // L = 1 + 2 + 65532 + 1 > 65535
  file.close();
  const size_t before = radar.Sent().size();
  radar.SendCommand(bcpLoadFileHeader, 0, nullptr);
  EXPECT_EQ(radar.Sent().size(), before) << "not sent";
  EXPECT_EQ(radar.TimerId, 0u) << "nothing to wait for";
  EXPECT_TRUE(LogContains(radar.Log().FileName(), QStringLiteral("Packet too long, not sent: 228")));
}

class RadarResend : public RadarParams {
protected:
  void SetUp() override {
    RadarParams::SetUp();
    shell.channel = settings;
    set.channelSet = {&radar};
    settings->SetSettingRadar(&radar);
    settings->SetRunMode(rmWheel);
    settings->SetStacking(20);
    radar.SetRuning(true);
  }
};

TEST_F(RadarResend, ASettingChangeWhileRecordingRestartsWithStopLoadAndStart) {
  settings->SetStacking(21);  // the setter marks the radar's parameters stale
  EXPECT_EQ(radar.SentCodes(), (std::vector<uint8_t>{bcpStop, bcpLoadData, bcpStart}));
  EXPECT_EQ(radar.Sent()[2], Frame(0x54, {rmWheel}));
  EXPECT_EQ(radar.Sent()[1][15], 21) << "the load carries the new stacking";
  EXPECT_EQ(shell.chartMin, -21.0 * 131071);
  EXPECT_EQ(shell.chartMax, 21.0 * 131071);
  EXPECT_TRUE(radar.NotBlocked);
  EXPECT_NE(radar.PcLoading(), PcLoadingNotLoaded) << "the load stamped the new parameters";
  EXPECT_EQ(shell.runButtonStates, std::vector<bool>{false});
}

TEST_F(RadarResend, OnlyARunningUnblockedRadarOfTheChannelSetRestarts) {
  struct Case {
    const char* name;
    bool running, notBlocked, inSet;
  };
  for (const Case& c : std::vector<Case>{{"stopped", false, true, true},
                                         {"blocked", true, false, true},
                                         {"outside the set", true, true, false}}) {
    radar.SetRuning(c.running);
    radar.NotBlocked = c.notBlocked;
    set.channelSet = c.inSet ? std::vector<const TRadar*>{&radar} : std::vector<const TRadar*>{};
    radar.SetPcLoading(45000.0);
    EXPECT_TRUE(radar.Sent().empty()) << c.name;
    EXPECT_EQ(radar.PcLoading(), PcLoadingNotLoaded) << c.name << ": any value marks the parameters stale";
  }
}

TEST_F(RadarResend, AChangeReportedOnAReaderThreadRestartsOnTheUserInterfaceThread) {
  std::thread reader([&] { radar.SetPcLoading(PcLoadingNotLoaded); });
  reader.join();
  EXPECT_TRUE(radar.Sent().empty());
  EXPECT_TRUE(ProcessMessagesUntil([&] { return radar.Sent().size() == 3; }));
  EXPECT_EQ(radar.SentCodes(), (std::vector<uint8_t>{bcpStop, bcpLoadData, bcpStart}));
}

}  // namespace
