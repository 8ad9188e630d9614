// A serial radar on a pseudo-terminal, talking to the simulated unit: the queries, a
// recording with its traces and acknowledgements, faults on the line, silence, a
// hang-up, devices that cannot be opened, and a master with its slave.

#include "platform/ui/application.h"
#include "platform/ui/dialog_script.h"
#include "profiledata/setting_data.h"
#include "radar/radar_link_state.h"
#include "radar/radar_usb.h"
#include "tests/profiledata/fake_hooks.h"
#include "tests/radar/link_test_support.h"

#include <gtest/gtest.h>

#include <QFile>

namespace {

class RadarUsbLink : public ::testing::Test {
protected:
  void TearDown() override {
    for (auto& r : radars) ProcessMessagesUntil([&] { return r->TimerId == 0; }, kLinkBound);
    for (auto& slot : set.slotRadars) slot = nullptr;
    radars.clear();
    sims.clear();
  }
  TRadarUsb& Open(radarsim::TSimConfig config = {}) {
    sims.push_back(std::make_unique<radarsim::TPtyRadarSim>(std::move(config)));
    EXPECT_TRUE(sims.back()->Ok());
    radars.push_back(std::make_unique<TRadarUsb>(nullptr, QString::fromStdString(sims.back()->SlavePath())));
    TRadarUsb& radar = *radars.back();
    EXPECT_NE(radar.f, -1) << "the port opened";
    set.slotRadars[radars.size() - 1] = &radar;
    return radar;
  }
  radarsim::TRadarSimEngine& Sim(size_t k = 0) { return sims[k]->Engine(); }
  QString LogName(size_t k = 0) const { return radars[k]->Log().FileName(); }

  TProgramFolderScope folder;
  TFakeRadarShell shell;
  TFakeRadarSet set;
  THooksScope hooks{&shell, &set};
  TFakeRecordingWindow window;
  std::vector<std::unique_ptr<radarsim::TPtyRadarSim>> sims;
  std::vector<std::unique_ptr<TRadarUsb>> radars;
};

TEST_F(RadarUsbLink, QueriesThenARecordingOfDecodedAcknowledgedTracesThenAStop) {
  radarsim::TSimConfig config;
  config.TraceLimit = 60;
  config.TraceIntervalMs = 2;
  TRadarUsb& radar = Open(config);
  const std::initializer_list<uint8_t> queries = {bcpGetVersion,        bcpReadSerNum,      bcpGetSlowRamp, bcpGetMSmode,
                                                  bcpGetMasterSlaveStt, bcpGetMaxPerfomace, bcpPing2};
  ASSERT_TRUE(RunCommands(radar, queries));
  EXPECT_EQ(Sim().ReceivedCodes(), std::vector<uint8_t>(queries)) << "one command at a time, in order";
  EXPECT_EQ(radar.FirmwareVer(), 19);
  EXPECT_EQ(radar.SerNum(), 4242);
  EXPECT_EQ(radar.ShiftSlowRamp(), 31000);
  EXPECT_EQ(radar.ModeRadar(), TRadarRole::single);
  EXPECT_EQ(radar.CountRadarInArray(), 1);
  EXPECT_FALSE(radar.WithoutAck());
  EXPECT_EQ(radar.RadarType(), Unit02);
  EXPECT_DOUBLE_EQ(radar.Power(), 10.5);

  shell.Record(&window);
  ASSERT_TRUE(StartRadar(radar));
  ASSERT_TRUE(ProcessMessagesUntil([&] { return window.Count() == 60; }, kLinkBound));
  ExpectStoredTraces(window.Calls(), Sim(), IndexRange(1, 60));
  EXPECT_EQ(Sim().SamplesPerTrace(), 500) << "the unit streams as many samples as window codes were loaded";
  ASSERT_TRUE(Sim().WaitUntil([](const auto& s) { return s.Acks().size() == 60; }));
  const std::vector<uint8_t> acks = Sim().Acks();
  for (uint32_t i = 0; i < 60; ++i) EXPECT_EQ(acks[i], (i + 1) & 0x7F);

  ASSERT_TRUE(RunCommands(radar, {bcpStop}));
  EXPECT_EQ(radar.CurMode(), cmStop);
  EXPECT_FALSE(Sim().Streaming());
  const QStringList log = ReadLogLines(LogName());
  EXPECT_FALSE(log.filter(QStringLiteral("Radar was connected via USB")).isEmpty());
  EXPECT_FALSE(log.filter(QStringLiteral("MaximumResolution= ")).isEmpty());
  EXPECT_FALSE(log.filter(QStringLiteral("\tSTOP OK!!")).isEmpty());
  EXPECT_TRUE(log.filter(QStringLiteral("Not received")).isEmpty()) << "every reply came";
}

TEST_F(RadarUsbLink, GarbageBadChecksumsAndPacketsSplitAtEveryByteLoseNoGoodTrace) {
  radarsim::TSimConfig config;
  config.SamplesPerTrace = 40;  // 113-byte packets: 112 split positions
  config.TraceLimit = 115;
  config.TraceIntervalMs = 2;
  TRadarUsb& radar = Open(config);
  ASSERT_TRUE(RunCommands(radar, {bcpGetVersion}));
  shell.Record(&window);
  Sim().SetGarbageBeforeTraces({0x00, 0xFF, 'Q', 'E', 'L', 0x13, 0x51});
  Sim().CorruptNextTraces(3);
  Sim().SplitTracesAtEveryPosition(true);
  Sim().StartStreaming();
  ASSERT_TRUE(Sim().WaitUntil([](const auto& s) { return !s.Streaming(); }, kLinkBound));
  ASSERT_TRUE(ProcessMessagesUntil([&] { return window.Count() >= 112; }, kLinkBound));
  EXPECT_EQ(Sim().CorruptedTraces(), (std::vector<uint32_t>{1, 2, 3}));
  ExpectStoredTraces(window.Calls(), Sim(), IndexRange(4, 115));
  EXPECT_EQ(ReadLogLines(LogName()).filter(QStringLiteral("::::::::::::::::cs <> cs:::::::::::::::")).size(), 3);
}

TEST_F(RadarUsbLink, SilencePingsAReadyRadarUntilTheUnitAnswersAgain) {
  TRadarUsb& radar = Open();
  radar.ready = true;
  ASSERT_TRUE(ProcessMessagesUntil([&] { return radar.Valid() && radar.isConnected; }, kLinkBound))
      << "a radar without data pings at once";
  Sim().SetSilent(true);
  const size_t pings = Sim().CountReceived(bcpPing2);
  ASSERT_TRUE(ProcessMessagesUntil(
      [&] { return !radar.isConnected && Sim().CountReceived(bcpPing2) > pings + 1; }, kLinkBound));
  ASSERT_TRUE(ProcessMessagesUntil(
      [&] { return LogContains(LogName(), QStringLiteral(" Not received request #bcpPing2 ")); }, kLinkBound));
  Sim().SetSilent(false);
  EXPECT_TRUE(ProcessMessagesUntil([&] { return radar.isConnected.load(); }, kLinkBound));
}

TEST_F(RadarUsbLink, AHangUpEndsTheReaderWithALogLine) {
  TRadarUsb& radar = Open();
  sims[0]->Drop();
  ASSERT_TRUE(ProcessMessagesUntil([&] { return radar.GetCommThread()->Finished(); }, kLinkBound));
  EXPECT_TRUE(LogContains(LogName(), QStringLiteral("CommThred\tInput/output error")));
}

TEST_F(RadarUsbLink, APortThatCannotBeOpenedWarnsOnceAndLeavesNoRadar) {
  QFile plain(folder.Path(QStringLiteral("not-a-tty")));
  ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
  plain.close();
  TRadarUsb& held = Open();
  struct TCase {
    QString port;
    QString logged;
  };
  const TCase cases[] = {
      {QStringLiteral("/nonexistent/ttyRADAR0"), QStringLiteral("USB:: No such file or directory")},
      {plain.fileName(), QStringLiteral("USB:: Inappropriate ioctl for device")},
      {QString::fromStdString(sims[0]->SlavePath()), QStringLiteral("USB:: Device or resource busy")},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.port.toStdString());
    const size_t shown = TDialogScript::Shown().size();
    TDialogScript::QueueAnswer(mrOk);
    TRadarUsb radar(nullptr, c.port);
    EXPECT_EQ(radar.f, -1);
    EXPECT_EQ(radar.GetCommThread(), nullptr);
    const auto dialogs = TDialogScript::Shown();
    ASSERT_EQ(dialogs.size(), shown + 1) << "one warning";
    EXPECT_EQ(dialogs.back().Text, QStringLiteral("Unable to connect to the GPR.\r\nTry restarting your computer."));
    EXPECT_EQ(dialogs.back().Buttons, TMsgDlgButtons{mbOK});
    EXPECT_TRUE(LogContains(radar.Log().FileName(), c.logged)) << c.logged.toStdString();
  }
  EXPECT_NE(held.f, -1) << "the radar holding the port is untouched";
}

TEST_F(RadarUsbLink, OldFirmwareStoresTracesOnTheUserInterfaceThread) {
  radarsim::TSimConfig config;
  config.Firmware = 4;
  config.SamplesPerTrace = 64;
  config.TraceLimit = 20;
  TRadarUsb& radar = Open(config);
  ASSERT_TRUE(RunCommands(radar, {bcpGetVersion}));
  shell.Record(&window);
  Sim().StartStreaming();
  ASSERT_TRUE(ProcessMessagesUntil([&] { return window.Count() == 20; }, kLinkBound));
  const auto calls = window.Calls();
  ExpectStoredTraces(calls, Sim(), IndexRange(1, 20));
  for (const auto& call : calls) EXPECT_EQ(call.Thread, MainThreadID);
  EXPECT_TRUE(Sim().Acks().empty()) << "firmware below 5 has no sequence numbers to acknowledge";
}

TEST_F(RadarUsbLink, TwentyFourBitFirmwareAndTwoRadarsAtOnce) {
  radarsim::TSimConfig wide;
  wide.Firmware = 12;
  wide.SamplesPerTrace = 100;
  wide.TraceLimit = 25;
  radarsim::TSimConfig narrow;
  narrow.TraceLimit = 25;
  narrow.SamplesPerTrace = 80;
  TRadarUsb& first = Open(wide);
  TRadarUsb& second = Open(narrow);
  ASSERT_TRUE(RunCommands(first, {bcpGetVersion}));
  ASSERT_TRUE(RunCommands(second, {bcpGetVersion}));
  shell.Record(&window);
  Sim(0).StartStreaming();
  Sim(1).StartStreaming();
  ASSERT_TRUE(ProcessMessagesUntil([&] { return window.Count() == 50; }, kLinkBound));
  std::vector<TFakeRecordingWindow::TCall> ofFirst, ofSecond;
  for (const auto& call : window.Calls()) (call.Radar == &first ? ofFirst : ofSecond).push_back(call);
  ExpectStoredTraces(ofFirst, Sim(0), IndexRange(1, 25));
  ExpectStoredTraces(ofSecond, Sim(1), IndexRange(1, 25));
}

TEST_F(RadarUsbLink, ASlaveStoresEachTraceAfterItsMasterWithTheMastersCollisionCount) {
  radarsim::TSimConfig master;
  master.SamplesPerTrace = 50;
  master.TraceLimit = 30;
  master.TraceIntervalMs = 20;
  master.CollisionOf = [](uint32_t index) { return static_cast<uint8_t>(1 + index % 3); };
  radarsim::TSimConfig slave = master;
  slave.CollisionOf = nullptr;
  TRadarUsb& m = Open(master);
  TRadarUsb& s = Open(slave);
  ASSERT_TRUE(RunCommands(m, {bcpGetVersion}));
  ASSERT_TRUE(RunCommands(s, {bcpGetVersion}));
  m.SetModeRadar(TRadarRole::master);
  s.SetModeRadar(TRadarRole::slave);
  shell.Record(&window);
  Sim(0).StartStreaming();
  Sim(1).StartStreaming();
  ASSERT_TRUE(ProcessMessagesUntil([&] { return !Sim(0).Streaming() && !Sim(1).Streaming(); }, kLinkBound));
  auto fromMaster = [&] {
    const auto calls = window.Calls();
    return std::count_if(calls.begin(), calls.end(), [&](const auto& c) { return c.Radar == &m; });
  };
  ASSERT_TRUE(ProcessMessagesUntil([&] { return fromMaster() == 30; }, kLinkBound))
      << ReadLogLines(LogName(0)).join(u'\n').toStdString();
  ASSERT_TRUE(ProcessMessagesUntil(
      [&] { return !m.GetCommThread()->FRunPaintLastTrace && !s.GetCommThread()->FRunPaintLastTrace; }, kLinkBound));
  const auto calls = window.Calls();
  const std::vector<uint32_t> indices = IndexRange(1, 30);
  int slaves = 0;
  std::optional<int32_t> masterCollision;
  for (const auto& call : calls) {
    if (call.Radar == &m) {
      masterCollision = call.NumCollision;
      continue;
    }
    ++slaves;
    ASSERT_TRUE(masterCollision.has_value()) << "a slave trace before any master trace";
    const auto own = std::find_if(indices.begin(), indices.end(), [&](uint32_t i) {
      return call.Samples[0] == ExpectedSamples(Sim(1).TraceSpecOf(i))[0];
    });
    ASSERT_NE(own, indices.end()) << "a slave stores its own trace";
    ExpectTraceSamples(call.Samples, Sim(1).TraceSpecOf(*own));
    EXPECT_EQ(call.NumCollision, *masterCollision) << "the collision count of the master's trace before it";
  }
  EXPECT_GT(slaves, 0);
}

// A recording radar whose channel settings change: the channel's radar is the
// serial radar, and the channel belongs to the recording window.
class RadarUsbResend : public RadarUsbLink {
protected:
  void SetUp() override {
    SetAcquisitionShell(&program);
    settings = new TSettingData(&store);
    settings->SetRunMode(rmCont);
    settings->SetStacking(20);
    shell.channel = settings;
  }
  void TearDown() override {
    RadarUsbLink::TearDown();
    SetAcquisitionShell(nullptr);
    settings->Free();
  }
  // The commands the unit received from `from` on, without the reader's own.
  std::vector<radarsim::TSimCommand> CommandsFrom(size_t from) {
    std::vector<radarsim::TSimCommand> out;
    const auto received = Sim().Received();
    for (size_t k = from; k < received.size(); ++k)
      if (received[k].Code != bcpAckofReceipt && received[k].Code != bcpPing2) out.push_back(received[k]);
    return out;
  }

  FakeShell program;
  FakeWindow channelWindow;
  FakeStore store{&channelWindow};
  TSettingData* settings = nullptr;
};

TEST_F(RadarUsbResend, AStackingChangeWhileRecordingRestartsTheUnitWhichThenStreamsAgain) {
  radarsim::TSimConfig config;
  config.SamplesPerTrace = 60;
  config.TraceIntervalMs = 2;
  TRadarUsb& radar = Open(config);
  set.channelSet = {&radar};
  settings->SetSettingRadar(&radar);
  shell.Record(&window);
  ASSERT_TRUE(StartRadar(radar, rmCont));
  ASSERT_TRUE(ProcessMessagesUntil([&] { return window.Count() >= 5; }, kLinkBound));
  EXPECT_TRUE(radar.Runing()) << "the unit acknowledged the start";

  const size_t from = Sim().Received().size();
  settings->SetStacking(21);
  ASSERT_TRUE(Sim().WaitUntil([&](const auto&) { return CommandsFrom(from).size() >= 3; }, kLinkBound));
  const auto restart = CommandsFrom(from);
  ASSERT_EQ(restart.size(), 3u);
  EXPECT_EQ(restart[0].Code, bcpStop);
  EXPECT_EQ(restart[1].Code, bcpLoadData);
  ASSERT_GT(restart[1].Params.size(), 8u);
  EXPECT_EQ(restart[1].Params[8], 21) << "the load carries the new stacking";
  EXPECT_EQ(restart[2].Code, bcpStart);
  EXPECT_EQ(restart[2].Params, radarsim::TBytes{rmCont});

  ASSERT_TRUE(ProcessMessagesUntil([&] { return radar.TimerId == 0 && Sim().Streaming(); }, kLinkBound));
  const size_t stored = window.Count();
  EXPECT_TRUE(ProcessMessagesUntil([&] { return window.Count() >= stored + 5; }, kLinkBound)) << "traces again";
  EXPECT_TRUE(radar.Runing());
  EXPECT_TRUE(radar.NotBlocked);

  ASSERT_TRUE(RunCommands(radar, {bcpStop}));
  EXPECT_FALSE(radar.Runing()) << "the stop reply ends the run";
  const size_t stopped = Sim().Received().size();
  settings->SetStacking(22);
  Application->ProcessMessages();
  EXPECT_TRUE(CommandsFrom(stopped).empty()) << "a stopped radar only marks its parameters stale";
  EXPECT_EQ(radar.PcLoading(), PcLoadingNotLoaded);
}

}  // namespace
