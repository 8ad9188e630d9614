// A radar set of simulated units on pseudo-terminals and loopback TCP: the query
// sequences on the wire, the slot mapping by channel (also the automatic numbering),
// the set test with mixed serial and TCP radars, the multi-radar mode, the
// restoring of a single-board-computer radar, and the start, stop and resume of a
// whole set with the traces of each radar in its own channel slot.

#include "profiledata/setting_data.h"
#include "radar/radar_link_state.h"
#include "radar/radar_messages.h"
#include "radar/radar_set.h"
#include "radar/radar_set_param_reserving.h"
#include "radar/tcp_probe.h"
#include "tests/radar/link_test_support.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using TCodes = std::vector<uint8_t>;

const QString kHost = QStringLiteral("127.0.0.1");
const TTcpProbeTimeouts kProbe{5000, 1000};

const TCodes kSerialQueries = {bcpStop,          bcpStop,         bcpReadSerNum,      bcpPing2,
                               bcpGetVersion,    bcpGetSlowRamp,  bcpGetMaxPerfomace, bcpGetMasterSlaveStt,
                               bcpGetEepromStorage, bcpGetPerfomanceDelay, bcpPing2, bcpGetMSmode, bcpPing2};
const TCodes kWiFiQueries = {bcpStop,       bcpStop,        bcpReadSerNum,        bcpPing2,           bcpGetVersion,
                             bcpGetSlowRamp, bcpGetMasterSlaveStt, bcpGetMaxPerfomace, bcpGetEepromStorage, bcpPing2};
const TCodes kBoardQueries = {bcpGetStatus,   bcpReadSerNum,        bcpPing2,           bcpGetVersion,      bcpGetSlowRamp,
                              bcpGetMasterSlaveStt, bcpGetMaxPerfomace, bcpGetEepromStorage, bcpPing2};

// What a reader sends on its own: pings on a quiet line, acknowledgements of
// traces, steps of the unit's performance delay.
bool ReadersOwn(uint8_t code) { return code == bcpPing2 || code == bcpAckofReceipt || code == bcpStepPerfomanceDelay; }

// How far the commands a unit received from `from` on follow the expected ones in
// order, with only the reader's own commands between them: the number matched, or
// an error.
struct TMatch {
  size_t Matched = 0;
  QString Error;
};
TMatch MatchCommands(const std::vector<radarsim::TSimCommand>& received, size_t from, const TCodes& expected) {
  TMatch m;
  for (size_t k = from; k < received.size(); ++k) {
    const radarsim::TSimCommand& command = received[k];
    if (m.Matched < expected.size() && command.Code == expected[m.Matched]) {
      if (command.Code == bcpGetEepromStorage && command.Params != radarsim::TBytes{0, 4, 0})
        m.Error = QStringLiteral("the device-box query has other parameters");
      ++m.Matched;
    } else if (!ReadersOwn(command.Code)) {
      m.Error = QStringLiteral("command %1 is %2 where %3 was expected")
                    .arg(k)
                    .arg(command.Code)
                    .arg(m.Matched < expected.size() ? int{expected[m.Matched]} : -1);
    }
    if (!m.Error.isEmpty()) break;
  }
  return m;
}

// The unit receives exactly the expected commands (the last ones may still be on
// their way when the sender returns).
void ExpectCommands(const radarsim::TRadarSimEngine& sim, size_t from, const TCodes& expected) {
  auto settled = [&](const radarsim::TRadarSimEngine& s) {
    const TMatch m = MatchCommands(s.Received(), from, expected);
    return m.Matched == expected.size() || !m.Error.isEmpty();
  };
  sim.WaitUntil(settled, kLinkBound);
  const TMatch m = MatchCommands(sim.Received(), from, expected);
  EXPECT_TRUE(m.Error.isEmpty()) << m.Error.toStdString();
  EXPECT_EQ(m.Matched, expected.size()) << "commands missing";
}

// The parameters of the first command of that code from `from` on.
radarsim::TBytes ParamsOf(const radarsim::TRadarSimEngine& sim, size_t from, uint8_t code) {
  const std::vector<radarsim::TSimCommand> received = sim.Received();
  for (size_t k = from; k < received.size(); ++k)
    if (received[k].Code == code) return received[k].Params;
  return {};
}

radarsim::TSimConfig Unit(uint8_t mode, uint8_t channel, uint8_t count, uint16_t serial, uint8_t type = 2) {
  radarsim::TSimConfig c;
  c.MasterSlaveMode = mode;
  c.Channel = channel;
  c.RadarCount = count;
  c.SerialNumber = serial;
  c.RadarType = type;
  return c;
}

// The channel settings of a radar: the window's channel in the radar's slot of the
// channel set, as the main window finds it.
class TSetShell : public TFakeRadarShell {
public:
  TSettingData* ActiveChannelFor(const TRadar& radar) const override {
    const int slot = control ? control->GetIndexRadar(&radar) : -1;
    return curChildWindow && slot >= 0 ? curChildWindow->ChannelSettings(slot) : nullptr;
  }
  const TControlRadar* control = nullptr;
};

// A recording window that files every trace under the channel slot of its radar.
class TSlotRecordingWindow : public IRecordingWindow {
public:
  TTraceStored PaintLastTrace(const TTraceHandOver& trace) override {
    const int slot = control ? control->GetIndexRadar(&trace.Radar) : -1;
    TLastArray samples{};
    std::copy_n(trace.Samples.begin(), std::min(trace.Samples.size(), samples.size()), samples.begin());
    std::lock_guard guard(lock_);
    traces_[slot].push_back(samples);
    return Unchanged(trace);
  }
  int32_t Channel0LongTrace() const override { return longTrace; }
  std::vector<TLastArray> Traces(int slot) const {
    std::lock_guard guard(lock_);
    const auto it = traces_.find(slot);
    return it == traces_.end() ? std::vector<TLastArray>{} : it->second;
  }
  std::vector<int> Slots() const {
    std::lock_guard guard(lock_);
    std::vector<int> filled;
    for (const auto& entry : traces_) filled.push_back(entry.first);
    return filled;
  }

  const TControlRadar* control = nullptr;
  std::atomic<int32_t> longTrace{0};

private:
  mutable std::mutex lock_;
  std::map<int, std::vector<TLastArray>> traces_;
};

class RadarSetLink : public ::testing::Test {
protected:
  void SetUp() override {
    shell.control = &set.ControlRadar;
    shell.curChildWindow = &window;
    recording.control = &set.ControlRadar;
    AutoNumChannalRadar = 0;
    NewViewChannalCount = 1;
  }
  void TearDown() override { set.ActiveRadar.RadarFree(); }
  radarsim::TPtyRadarSim& AddPty(radarsim::TSimConfig config) {
    ptys.push_back(std::make_unique<radarsim::TPtyRadarSim>(std::move(config)));
    EXPECT_TRUE(ptys.back()->Ok());
    return *ptys.back();
  }
  QString PathOf(size_t k) const { return QString::fromStdString(ptys[k]->SlavePath()); }
  // Creates the serial radar of pseudo-terminal k.
  bool CreatePty(size_t k) { return set.ActiveRadar.CreateRadar(PathOf(k)); }
  // Starts a TCP unit and probes it, as the main window does before it creates the radar.
  radarsim::TRadarSimEngine& StartTcp(radarsim::TSimConfig config, radarsim::TBytes greeting) {
    tcp = std::make_unique<radarsim::TTcpRadarSim>(std::move(config), std::move(greeting));
    EXPECT_TRUE(tcp->Ok());
    shell.probeResult.reset();
    shell.wifiPort = tcp->Port();
    EXPECT_NE(CheckTcpRadar(kHost, tcp->Port(), kProbe), nullptr);
    return tcp->Engine();
  }
  TRadar* Slot(int k) const { return set.ActiveRadar.SlotRadar(k); }
  QString LogOf(int slot) const { return Slot(slot)->Log().FileName(); }

  TProgramFolderScope folder;
  TSetShell shell;
  THooksScope hooks{&shell, nullptr};
  TFakeSetWindow window;
  TSlotRecordingWindow recording;
  // The units outlive the set, whose radars are freed first.
  std::vector<std::unique_ptr<radarsim::TPtyRadarSim>> ptys;
  std::unique_ptr<radarsim::TTcpRadarSim> tcp;
  TRadarSet set;
};

TEST_F(RadarSetLink, ThreeSerialRadarsAreQueriedAndPlacedByTheirChannels) {
  radarsim::TSimConfig master = Unit(1, 0, 3, 101);
  master.Xoffset = 15;
  master.Yoffset = -2;
  AddPty(master);
  AddPty(Unit(2, 2, 3, 103));
  AddPty(Unit(2, 1, 3, 102));
  for (size_t k = 0; k < 3; ++k) {
    SCOPED_TRACE(k);
    ASSERT_TRUE(CreatePty(k));
    ExpectCommands(ptys[k]->Engine(), 0, kSerialQueries);
  }
  EXPECT_EQ(Slot(0)->strComNumber, PathOf(0));
  EXPECT_EQ(Slot(1)->strComNumber, PathOf(2));
  EXPECT_EQ(Slot(2)->strComNumber, PathOf(1));
  EXPECT_EQ(shell.currentRadar, Slot(0));
  EXPECT_EQ(shell.countRadarFromMaster, 3) << "the master reports the size of the set";
  EXPECT_TRUE(LogContains(LogOf(2), QStringLiteral("NumChannalRadar=2 Time=")));
  EXPECT_TRUE(LogContains(LogOf(2), QStringLiteral("Create USBRadar: ") + PathOf(1)));

  for (int k = 0; k < 3; ++k) window.AddChannel(k);
  shell.hasCurrentChild = true;
  set.FinishSet();
  ASSERT_TRUE(ProcessMessagesUntil([&] { return !shell.currentChild.messages.empty(); }, kLinkBound));
  EXPECT_EQ(shell.currentChild.Messages(WM_RADARSLOADED).size(), 1u);
  EXPECT_EQ(shell.modeSystemRadars, msrArrayRadar);
  EXPECT_EQ(NewViewChannalCount, 3);
  for (int k = 0; k < 5; ++k) EXPECT_EQ(set.ControlRadar.SlotRadar(k), Slot(k)) << k;
  EXPECT_EQ(set.ControlRadar.GetMasterChannal(), 0);
  EXPECT_EQ(window.channelVisible, (std::array<std::optional<bool>, 5>{true, true, true, false, false}));
  EXPECT_EQ(window.deviceType, tdBox02) << "the box the units reported";
  EXPECT_EQ(window.deviceSerial, 12345);
  EXPECT_EQ(window.ChannelSettings(0)->GetStartXShift(), 1500);
  EXPECT_EQ(window.ChannelSettings(0)->GetStartYShift(), -200);
  EXPECT_EQ(set.ControlRadar.GetListRadar(), QStringLiteral("Box02"));
}

TEST_F(RadarSetLink, TwoRadarsOfDifferentTimeWindowsWorkAsADualFrequencySet) {
  AddPty(Unit(1, 0, 2, 201, Unit02));
  AddPty(Unit(2, 1, 2, 202, Unit03));
  ASSERT_TRUE(CreatePty(1));
  ASSERT_TRUE(CreatePty(0));
  EXPECT_EQ(shell.currentRadar, Slot(0)) << "the radar of slot 0, whichever came first";
  shell.hasCurrentChild = true;
  set.FinishSet();
  ASSERT_TRUE(ProcessMessagesUntil([&] { return !shell.currentChild.messages.empty(); }, kLinkBound));
  EXPECT_EQ(shell.modeSystemRadars, msrDualFreqience);
  EXPECT_EQ(set.ControlRadar.SlotRadar(0)->RadarType(), Unit02);
  EXPECT_EQ(set.ControlRadar.SlotRadar(1)->RadarType(), Unit03);
}

TEST_F(RadarSetLink, ASetIsNotAnnouncedUntilEveryRadarTheMasterCountsIsThere) {
  AddPty(Unit(1, 0, 3, 301));
  AddPty(Unit(2, 1, 3, 302));
  AddPty(Unit(2, 2, 3, 303));
  ASSERT_TRUE(CreatePty(0));
  ASSERT_TRUE(CreatePty(1));
  shell.hasCurrentChild = true;
  shell.settingsVisible = true;
  set.FinishSet();
  ASSERT_TRUE(ProcessMessagesUntil([&] { return !shell.Messages(WM_GPRSTATUS).empty(); }, kLinkBound));
  EXPECT_EQ(shell.strErrorCreateRadar, QStringLiteral(" Error"));
  EXPECT_TRUE(shell.currentChild.messages.empty());
  EXPECT_TRUE(shell.settings.messages.empty());
  EXPECT_FALSE(set.ControlRadar.Active());
  EXPECT_TRUE(LogContains(LogOf(0), QStringLiteral("Error :  CountActiveRadar=2<> CountRadarFromMaster=3")));

  ASSERT_TRUE(CreatePty(2));
  set.FinishSet();
  ASSERT_TRUE(ProcessMessagesUntil([&] { return !shell.currentChild.messages.empty(); }, kLinkBound));
  EXPECT_EQ(shell.strErrorCreateRadar, QString());
  EXPECT_EQ(shell.settings.Messages(WM_RADARSLOADED).size(), 1u);
  EXPECT_EQ(set.ControlRadar.GetCountPluginRadars(), 3);
  EXPECT_EQ(shell.modeSystemRadars, msrArrayRadar);
}

TEST_F(RadarSetLink, RadarsThatDoNotAnswerTheChannelQueryAreNumberedAutomatically) {
  radarsim::TSimConfig lost = Unit(0, 255, 1, 401);  // answers, but without a channel
  AddPty(lost);
  ASSERT_TRUE(CreatePty(0));
  ASSERT_NE(Slot(0), nullptr);
  EXPECT_TRUE(LogContains(LogOf(0), QStringLiteral("Error: No return NumChannalRadar Time Out=500ms")));
  EXPECT_EQ(Slot(0)->CountRadarInArray(), 1);
  set.ActiveRadar.RadarFree();

  radarsim::TSimConfig master = Unit(1, 0, 2, 402);
  radarsim::TSimConfig slave = Unit(2, 0, 2, 403);
  master.Unanswered = slave.Unanswered = {bcpGetMasterSlaveStt};
  AddPty(master);
  AddPty(slave);
  ASSERT_TRUE(CreatePty(1));
  ASSERT_TRUE(CreatePty(2));
  ASSERT_NE(Slot(1), nullptr) << "the second unanswered query numbers the slave 1, not 255";
  EXPECT_EQ(Slot(1)->strComNumber, PathOf(2));
  EXPECT_TRUE(LogContains(LogOf(1), QStringLiteral("Auto NumChannalRadar=1")));
  EXPECT_EQ(shell.countRadarFromMaster, 2);
  set.FinishSet();
  EXPECT_EQ(shell.strErrorCreateRadar, QString());
  EXPECT_EQ(set.ControlRadar.GetCountPluginRadars(), 2);
}

TEST_F(RadarSetLink, AWiFiRadarBesideSerialRadarsKeepsTheSetToItself) {
  radarsim::TRadarSimEngine& wifi = StartTcp(Unit(0, 0, 1, 501), radarsim::ModemGreeting());
  ASSERT_TRUE(set.ActiveRadar.CreateRadar(QStringLiteral("WIFI")));
  ExpectCommands(wifi, 0, kWiFiQueries);
  TRadar* tcpRadar = Slot(0);
  ASSERT_NE(tcpRadar, nullptr);
  EXPECT_EQ(tcpRadar->strComNumber, QStringLiteral("WiFi"));
  EXPECT_EQ(shell.strComNumber, QStringLiteral("WiFi"));
  EXPECT_TRUE(LogContains(LogOf(0), QStringLiteral("Create WiFiRadar: WiFi")));
  EXPECT_TRUE(set.ActiveRadar.CreateRadar(QStringLiteral("WIFI"))) << "it exists already";
  EXPECT_EQ(tcp->Connections(), 1);
  EXPECT_EQ(set.ActiveRadar.GetCountPluginRadars(), 1);

  // A serial single radar also claims channel 0: the later radar goes.
  AddPty(Unit(0, 0, 1, 502));
  ASSERT_TRUE(CreatePty(0));
  EXPECT_EQ(set.ActiveRadar.GetCountPluginRadars(), 1);
  EXPECT_TRUE(LogContains(LogOf(0), QStringLiteral("Create USBRadar: ") + PathOf(0)));

  // A master of another box on channel 1 passes the query but not the set test.
  AddPty(Unit(1, 1, 2, 503));
  ASSERT_TRUE(CreatePty(1));
  ASSERT_NE(Slot(1), nullptr);
  const auto masterAlive = Slot(1)->LifeToken();
  shell.hasCurrentChild = true;
  set.FinishSet();
  EXPECT_TRUE(LogContains(LogOf(0), QStringLiteral("Single  : 1 Master  : 1 Slave   : 0 Unknown : 0")));
  EXPECT_TRUE(LogContains(LogOf(0), QStringLiteral("Error : Single Radar + No single Radar")));
  EXPECT_FALSE(*masterAlive);
  EXPECT_EQ(set.ControlRadar.SlotRadar(0), tcpRadar);
  EXPECT_EQ(set.ControlRadar.GetCountPluginRadars(), 1);
  ASSERT_TRUE(ProcessMessagesUntil([&] { return !shell.currentChild.messages.empty(); }, kLinkBound))
      << "a single radar is a loaded set";
}

TEST_F(RadarSetLink, ABoardRadarStillRecordingTakesBackItsParametersWithoutQueries) {
  const double loading = 45210.25;
  radarsim::TSimConfig board = Unit(0, 0, 1, 601);
  board.Firmware = 21;
  board.DeviceType = 1;
  board.DeviceSerial = 77;
  // A unit that does not record what the program started: queried as a new radar.
  radarsim::TRadarSimEngine& fresh = StartTcp(board, radarsim::BoardGreeting(7, crsInPprogress, loading + 1));
  shell.pcLoading = loading;
  shell.curChildWindow = &window;
  ASSERT_TRUE(set.ActiveRadar.CreateRadar(QStringLiteral("RASP")));
  ExpectCommands(fresh, 0, kBoardQueries);
  TRadar& first = *Slot(0);
  EXPECT_EQ(first.SerNum(), 601);
  first.SetXshift(-4200);
  first.NumTraceWiFi = 345;
  first.LastRecived = 340;

  // The connection is lost; the main window saves the parameters and frees the radars.
  TRadarParamReserving saved;
  saved.SaveParam(set.ActiveRadar);
  set.ActiveRadar.RadarFree();
  set.SetDeviceBox(tdUnknown, 0);
  shell.reserverRadarParam = &saved;
  NewViewChannalCount = 2;

  radarsim::TRadarSimEngine& back = StartTcp(board, radarsim::BoardGreeting(7, crsInPprogress, loading));
  ASSERT_TRUE(set.ActiveRadar.CreateRadar(QStringLiteral("RASP")));
  TRadar& restored = *Slot(0);
  EXPECT_EQ(restored.SerNum(), 601);
  EXPECT_EQ(restored.FirmwareVer(), 21);
  EXPECT_EQ(restored.Xshift(), -4200);
  EXPECT_EQ(restored.NumTraceWiFi, 345);
  EXPECT_EQ(restored.LastRecived, 340);
  EXPECT_EQ(restored.LastPaint, 0);
  EXPECT_TRUE(restored.ready);
  EXPECT_EQ(set.ActiveRadar.TypeGPRDevice(), tdBox01);
  EXPECT_EQ(set.ControlRadar.SerNumDevice(), 77);
  EXPECT_EQ(window.countChannalView, 2);
  for (const radarsim::TSimCommand& command : back.Received())
    EXPECT_TRUE(ReadersOwn(command.Code)) << int{command.Code} << ": only the reader's own commands reach the unit";
}

TEST_F(RadarSetLink, TheWholeSetStartsStopsAndResumesWithEachRadarInItsOwnSlot) {
  const uint32_t perRun = 12;
  std::array<radarsim::TSimConfig, 3> units = {Unit(2, 0, 3, 700), Unit(2, 1, 3, 701), Unit(1, 2, 3, 702)};
  for (radarsim::TSimConfig& unit : units) {
    unit.TraceLimit = perRun;
    unit.TraceIntervalMs = 15;
    AddPty(unit);
  }
  for (size_t k = 0; k < 3; ++k) ASSERT_TRUE(CreatePty(k));
  for (int k = 0; k < 3; ++k) window.AddChannel(k).SetOverStep(5);
  shell.curChildWindow = &window;
  shell.hasCurrentChild = true;
  set.FinishSet();
  ASSERT_EQ(set.ControlRadar.GetCountPluginRadars(), 3);
  ASSERT_EQ(set.ControlRadar.GetMasterChannal(), 2);
  recording.longTrace = window.ChannelSettings(0)->GetLongTrace();
  shell.Record(&recording);
  radarsim::TRadarSimEngine& master = ptys[2]->Engine();

  auto handOversIdle = [&] {
    for (int k = 0; k < 3; ++k)
      if (Slot(k)->GetCommThread()->FRunPaintLastTrace) return false;
    return true;
  };
  auto runOnce = [&](uint32_t lastMasterTrace) {
    ASSERT_TRUE(ProcessMessagesUntil(
        [&] {
          return recording.Traces(2).size() == lastMasterTrace && !master.Streaming() && !ptys[0]->Engine().Streaming() &&
                 !ptys[1]->Engine().Streaming();
        },
        kLinkBound));
    ASSERT_TRUE(ProcessMessagesUntil(handOversIdle, kLinkBound));
    const auto ofMaster = recording.Traces(2);
    for (uint32_t i = 1; i <= lastMasterTrace; ++i) ExpectTraceSamples(ofMaster[i - 1], master.TraceSpecOf(i));
    for (int slot = 0; slot < 2; ++slot) {
      SCOPED_TRACE(slot);
      const radarsim::TRadarSimEngine& own = ptys[static_cast<size_t>(slot)]->Engine();
      const auto traces = recording.Traces(slot);
      EXPECT_FALSE(traces.empty());
      for (const TLastArray& trace : traces) {
        uint32_t index = 1;
        while (index <= lastMasterTrace && trace[0] != ExpectedSamples(own.TraceSpecOf(index))[0]) ++index;
        ASSERT_LE(index, lastMasterTrace) << "a trace of another unit";
        ExpectTraceSamples(trace, own.TraceSpecOf(index));
      }
    }
    EXPECT_EQ(recording.Slots(), (std::vector<int>{0, 1, 2}));
  };

  std::array<size_t, 3> before{};
  for (size_t k = 0; k < 3; ++k) before[k] = ptys[k]->Engine().Received().size();
  set.ControlRadar.StartAllRadarGetData();
  const TCodes start = {bcpWheelRotate_Stop, bcpLoadData, bcpLoad_Steck_Curve, bcpPing2, bcpStart};
  for (size_t k = 0; k < 3; ++k) {
    SCOPED_TRACE(k);
    ExpectCommands(ptys[k]->Engine(), before[k], start);
    const radarsim::TBytes runMode = {static_cast<uint8_t>(k == 2 ? rmStep : rmCont)};
    EXPECT_EQ(ParamsOf(ptys[k]->Engine(), before[k], bcpStart), runMode) << "slaves run continuously";
  }
  EXPECT_EQ(master.SamplesPerTrace(), 200) << "the window codes of the channel";
  runOnce(perRun);

  for (size_t k = 0; k < 3; ++k) before[k] = ptys[k]->Engine().Received().size();
  set.ControlRadar.StopAllRadarGetData();
  for (size_t k = 0; k < 3; ++k) ExpectCommands(ptys[k]->Engine(), before[k], {bcpStop, bcpPing2});
  ASSERT_TRUE(ProcessMessagesUntil(
      [&] { return Slot(0)->CurMode() == cmStop && Slot(1)->CurMode() == cmStop && Slot(2)->CurMode() == cmStop; },
      kLinkBound));

  for (size_t k = 0; k < 3; ++k) before[k] = ptys[k]->Engine().Received().size();
  set.ControlRadar.ResumeAllRadarGetData();
  for (size_t k = 0; k < 3; ++k) ExpectCommands(ptys[k]->Engine(), before[k], {bcpResumeTransfer});
  runOnce(2 * perRun);
}

}  // namespace
