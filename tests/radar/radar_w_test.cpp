// A TCP radar against the simulated Wi-Fi unit on 127.0.0.1: the greeting probe, a
// recording of numbered traces, faults in the stream, and the three ways the
// connection is lost (reset, orderly close, silence).

#include "platform/net/tcp_client.h"
#include "radar/radar_link_state.h"
#include "radar/radar_messages.h"
#include "radar/radar_w.h"
#include "radar/tcp_probe.h"
#include "radar/wifi_thread.h"
#include "tests/radar/link_test_support.h"

#include <gtest/gtest.h>

namespace radar_w_test {

const QString kHost = QStringLiteral("127.0.0.1");
// Short enough to keep refused greetings quick, long enough for any machine.
const TTcpProbeTimeouts kProbe{5000, 1000};

class RadarWiFiLink : public ::testing::Test {
protected:
  void TearDown() override {
    if (radar) ProcessMessagesUntil([&] { return radar->TimerId == 0; }, kLinkBound);
    set.slotRadars[0] = nullptr;
    radar.reset();
    sim.reset();
  }
  // Probes the simulator and creates the radar on the connection it found.
  TRadarW& Connect(radarsim::TSimConfig config = {}) {
    sim = std::make_unique<radarsim::TTcpRadarSim>(std::move(config));
    EXPECT_TRUE(sim->Ok());
    EXPECT_NE(CheckTcpRadar(kHost, sim->Port(), kProbe), nullptr);
    radar = std::make_unique<TRadarW>(nullptr, kHost, sim->Port());
    set.slotRadars[0] = radar.get();
    return *radar;
  }
  radarsim::TRadarSimEngine& Sim() { return sim->Engine(); }
  QString LogName() const { return radar->Log().FileName(); }
  bool LostMessagePosted() const { return !shell.Messages(WM_WIFIERROR).empty(); }

  TProgramFolderScope folder;
  TFakeRadarShell shell;
  TFakeRadarSet set;
  THooksScope hooks{&shell, &set};
  TFakeRecordingWindow window;
  std::unique_ptr<radarsim::TTcpRadarSim> sim;
  std::unique_ptr<TRadarW> radar;
};

TEST_F(RadarWiFiLink, TheProbeTakesOnlyACompleteGreeting) {
  const radarsim::TBytes board = radarsim::BoardGreeting(7, 2, 45123.5);
  struct TCase {
    const char* what;
    radarsim::TBytes greeting;
    bool found;
  };
  const TCase cases[] = {
      {"Wi-Fi modem", radarsim::ModemGreeting(), true},
      {"single-board computer", board, true},
      {"another identification", {'Q', 'E', 'L', '4', 'P', 'T', 'R'}, false},
      {"a board greeting cut short", radarsim::TBytes(board.begin(), board.begin() + 12), false},
      {"a modem greeting cut short", {'Q', 'E', 'L', '3', 'P'}, false},
      {"no greeting", {}, false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    shell.probeResult.reset();
    shell.pingTimerStates.clear();
    radarsim::TTcpRadarSim server({}, c.greeting);
    ASSERT_TRUE(server.Ok());
    TResultCheckingTCP* result = CheckTcpRadar(kHost, server.Port(), kProbe);
    if (!c.found) {
      EXPECT_EQ(result, nullptr);
      EXPECT_EQ(shell.probeResult, nullptr);
      EXPECT_TRUE(shell.pingTimerStates.empty()) << "the ping timer keeps running";
      EXPECT_TRUE(server.Engine().WaitUntil([&](const auto&) { return !server.ClientConnected(); }))
          << "the connection is closed";
      continue;
    }
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(result, shell.probeResult.get()) << "the main window keeps the result";
    EXPECT_EQ(shell.pingTimerStates, std::vector<bool>{false});
    EXPECT_TRUE(result->Tcp && result->Tcp->Connected());
    if (c.greeting.size() > 7) {
      EXPECT_EQ(result->TypeWiFiRadar, TRRasberry);
      EXPECT_EQ(result->FNumVer, 7);
      EXPECT_EQ(result->RadarStatus, crsRunning);
      EXPECT_DOUBLE_EQ(result->TimeStampValue(), 45123.5);
    } else {
      EXPECT_EQ(result->TypeWiFiRadar, TRWiFiModem);
    }
    EXPECT_EQ(CheckTcpRadar(kHost, server.Port(), kProbe), result) << "a held result is returned as it is";
    EXPECT_EQ(server.Connections(), 1);
  }
  shell.probeResult.reset();
  EXPECT_EQ(CheckTcpRadar(kHost, 1, kProbe), nullptr) << "nothing listens on port 1";
}

TEST_F(RadarWiFiLink, QueriesThenARecordingOfNumberedTracesThenAStop) {
  radarsim::TSimConfig config;
  config.Format = radarsim::tfReadydata3;
  config.TraceLimit = 50;
  config.TraceIntervalMs = 2;
  TRadarW& r = Connect(config);
  EXPECT_EQ(shell.probeResult->Tcp, nullptr) << "the reader took the connection over";
  ASSERT_TRUE(RunCommands(r, {bcpGetVersion, bcpReadSerNum, bcpGetMSmode, bcpGetStatus}));
  EXPECT_EQ(r.FirmwareVer(), 19);
  EXPECT_EQ(r.SerNum(), 4242);
  EXPECT_EQ(r.WiFiRadarState, crsConfigured);

  shell.Record(&window);
  WiFiTracesLost = false;
  ASSERT_TRUE(StartRadar(r));
  ASSERT_TRUE(ProcessMessagesUntil([&] { return window.Count() == 50; }, kLinkBound));
  const auto calls = window.Calls();
  ExpectStoredTraces(calls, Sim(), IndexRange(1, 50));
  for (const auto& call : calls) EXPECT_EQ(call.NumCollisionWiFi, 0);
  EXPECT_FALSE(WiFiTracesLost);
  ASSERT_TRUE(Sim().WaitUntil([](const auto& s) { return s.Acks().size() == 50; }));
  EXPECT_EQ(Sim().Acks().back(), 50) << "the low byte of the trace number";

  ASSERT_TRUE(RunCommands(r, {bcpStop}));
  EXPECT_EQ(r.CurMode(), cmStop);
  EXPECT_TRUE(LogContains(LogName(), QStringLiteral("Radar was connected via WiFi")));
  EXPECT_TRUE(LogContains(LogName(), QStringLiteral("\tSTOP OK!!")));
}

TEST_F(RadarWiFiLink, GarbageBadChecksumsSplitsAndAGreetingInTheStreamLoseNoGoodTrace) {
  radarsim::TSimConfig config;
  config.Format = radarsim::tfReadydata3;
  config.SamplesPerTrace = 40;
  config.TraceLimit = 120;
  config.TraceIntervalMs = 2;
  TRadarW& r = Connect(config);
  ASSERT_TRUE(RunCommands(r, {bcpGetVersion}));
  shell.Record(&window);
  WiFiTracesLost = false;
  Sim().SetGarbageBeforeTraces({0x13, 'Q', 'E', 'L', 0x00});
  Sim().SplitTracesAtEveryPosition(true);
  Sim().StartStreaming();
  ASSERT_TRUE(ProcessMessagesUntil([&] { return window.Count() >= 10; }, kLinkBound));
  Sim().CorruptNextTraces(2);
  Sim().InjectBytes({'Q', 'E', 'L', '3', 'P', 'T', 'R'});
  ASSERT_TRUE(Sim().WaitUntil([](const auto& s) { return !s.Streaming(); }, kLinkBound));
  ASSERT_TRUE(ProcessMessagesUntil([&] { return window.Count() >= 118; }, kLinkBound));

  const std::vector<uint32_t> corrupted = Sim().CorruptedTraces();
  ASSERT_EQ(corrupted.size(), 2u);
  std::vector<uint32_t> good;
  for (uint32_t i = 1; i <= 120; ++i)
    if (std::find(corrupted.begin(), corrupted.end(), i) == corrupted.end()) good.push_back(i);
  const auto calls = window.Calls();
  ExpectStoredTraces(calls, Sim(), good);
  const size_t afterGap = static_cast<size_t>(std::find(good.begin(), good.end(), corrupted[1] + 1) - good.begin());
  ASSERT_LT(afterGap, calls.size());
  EXPECT_EQ(calls[afterGap].NumCollisionWiFi, 2) << "the two lost traces are counted";
  EXPECT_TRUE(WiFiTracesLost);
  EXPECT_TRUE(LogContains(LogName(), QStringLiteral("QEL3PTR")));
  EXPECT_EQ(ReadLogLines(LogName()).filter(QStringLiteral("cs <> cs")).size(), 2);
}

TEST_F(RadarWiFiLink, AResetConnectionIsReportedAtOnce) {
  TRadarW& r = Connect();
  ASSERT_TRUE(RunCommands(r, {bcpGetVersion}));
  sim->Drop(true);
  ASSERT_TRUE(ProcessMessagesUntil([&] { return LostMessagePosted(); }, kLinkBound));
  EXPECT_TRUE(r.GetCommThread()->Terminated());
  EXPECT_TRUE(LogContains(LogName(), QStringLiteral("WiFi:: Connection reset by peer ")));
  EXPECT_TRUE(LogContains(LogName(), QStringLiteral("WiFi:: WasWifiDisconnected")));
}

TEST_F(RadarWiFiLink, SilenceOrAClosedConnectionIsLostAtThe591stCycleWithoutData) {
  for (const bool close : {false, true}) {
    SCOPED_TRACE(close ? "orderly close" : "silence");
    shell.messages.clear();
    shell.probeResult.reset();
    TRadarW& r = Connect();
    shell.hasCurrentRadar = true;
    ASSERT_TRUE(RunCommands(r, {bcpGetVersion}));
    const size_t pings = Sim().CountReceived(bcpPing2);
    if (close) {
      sim->Drop(false);
    } else {
      Sim().SetSilent(true);
    }
    ASSERT_TRUE(ProcessMessagesUntil([&] { return LostMessagePosted(); }, kLinkBound));
    EXPECT_TRUE(LogContains(LogName(), QStringLiteral("WiFi:: own timeout -401")));
    EXPECT_FALSE(r.isConnected);
    if (!close) EXPECT_GT(Sim().CountReceived(bcpPing2), pings) << "a silent unit is pinged";
    TearDown();
  }
}

}  // namespace radar_w_test
