// The online display end to end: the real radar set and its reader threads
// against simulated units on pseudo-terminals and on loopback TCP, the radargram
// window as the recording window, and its paint thread painting while the
// traces arrive.

#include "platform/ui/application.h"
#include "platform/ui/bitmap.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "radar/online_stages.h"
#include "radar/radar_set.h"
#include "radar/tcp_probe.h"
#include "radargram/display_pipeline.h"
#include "radargram/online_strip.h"
#include "radargram/view2d_form.h"
#include "tests/radar/radar_test_support.h"
#include "tests/radar/sim_expectations.h"
#include "tests/radargram/radargram_env.h"
#include "tests/support/radarsim/sim_links.h"
#include "tests/support/ui_test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <vector>

namespace view2d_online_link_test {

constexpr std::chrono::milliseconds kBound{30000};
constexpr uint32_t kTraces = 200;

// The radar set finds the window's channels for its load-data commands and
// hands the traces to it.
class TOnlineRadarShell : public TFakeRadarShell {
public:
  HWND CurrentChildHandle() const override { return child ? child->Handle() : nullptr; }
  IRadarSetWindow* CurChildWindow() const override { return child; }
  TSettingData* ActiveChannelFor(const TRadar& radar) const override {
    const int slot = control ? control->GetIndexRadar(&radar) : -1;
    return child && slot >= 0 ? child->ChannelSettings(slot) : nullptr;
  }
  TView2DForm* child = nullptr;
  const TControlRadar* control = nullptr;
};

radarsim::TSimConfig Unit(uint8_t mode, uint8_t channel, uint8_t count, uint16_t serial) {
  radarsim::TSimConfig c;
  c.MasterSlaveMode = mode;
  c.Channel = channel;
  c.RadarCount = count;
  c.SerialNumber = serial;
  c.RadarType = Unit02;
  c.TraceLimit = kTraces;
  c.TraceIntervalMs = 1;
  return c;
}

class View2DOnlineLink : public ::testing::Test {
protected:
  void SetUp() override {
    RegisterOnlineStages();
    radarShell.control = &set.ControlRadar;
  }
  void TearDown() override {
    if (window) window->Free();
    env.shell.controlRadar = nullptr;
    set.ActiveRadar.RadarFree();
    UnregisterOnlineStages();
  }
  // The window of the set, prepared and recording, its paint thread running.
  void Record(int channels) {
    set.FinishSet();
    Application->ProcessMessages();
    env.shell.controlRadar = &set.ControlRadar;
    env.shell.countRadarFromMaster = channels;
    window = env.Create(channels);
    ASSERT_FALSE(env.shell.errorNewCreate);
    for (int i = 0; i < channels; ++i) {
      TSettingData& s = *window->ChannelSettings(i);
      s.SetOverStep(5);  // 200 samples
      s.SetRunMode(rmCont);
      window->GetView2DByIndx(i)->FirstTrace = true;
    }
    radarShell.child = window;
    radarShell.Record(window);
    env.shell.runActionChecked = true;
    window->PrepareForRunning();
    env.shell.radarStarted = true;
    window->OnlinePaintThread->SleepTm = 20;
    window->OnlinePaintThread->Resume();
    set.ControlRadar.StartAllRadarGetData();
  }
  // Waits until the slot's unit has sent every trace, the channel holds them and
  // the painter has caught up; then stops the set.
  void AwaitAndStop(int slot, radarsim::TRadarSimEngine& sim, uint32_t traces) {
    const T2Dview* store = window->GetView2DByIndx(slot);
    TRadar* radar = set.ControlRadar.SlotRadar(slot);
    ASSERT_TRUE(ProcessMessagesUntil(
        [&] {
          return sim.TracesSent() >= traces && store->NumTraces() >= traces &&
                 radar->LastPaint.load() == radar->LastRecived.load();
        },
        kBound))
        << "stored " << store->NumTraces() << ", painted " << radar->LastPaint.load() << " of "
        << radar->LastRecived.load();
    EXPECT_EQ(radar->LastRecived.load(), store->MaxNumTraces());
  }
  void Stop() {
    env.shell.runActionChecked = false;
    radarShell.runActionChecked = false;
    set.ControlRadar.StopAllRadarGetData();
    Application->ProcessMessages();
  }
  // The channel holds exactly the unit's traces 1..traces in order.
  void ExpectStored(int slot, const radarsim::TRadarSimEngine& sim, uint32_t traces) {
    const T2Dview* store = window->GetView2DByIndx(slot);
    ASSERT_EQ(store->NumTraces(), static_cast<int64_t>(traces));
    EXPECT_TRUE(store->GetNeedForSave());
    EXPECT_TRUE(store->Settings()->WasStarted);
    const int longTrace = store->Settings()->GetLongTrace();
    for (uint32_t k = 0; k < traces; ++k) {
      const int32_t* stored = store->IndexTraces.Trace(store->MinNumTraces() + k);
      ASSERT_NE(stored, nullptr) << k;
      const std::vector<int32_t> expected = ExpectedSamples(sim.TraceSpecOf(k + 1));
      const size_t n = std::min(expected.size(), static_cast<size_t>(longTrace));
      for (size_t i = 0; i < n; ++i) ASSERT_EQ(stored[i], expected[i]) << "trace " << k + 1 << " sample " << i;
    }
  }
  // With the stages off, every strip column is the stacked trace through the
  // palette scale.
  void ExpectStripColumns(int slot) {
    const T2Dview* store = window->GetView2DByIndx(slot);
    const TSettingData& s = *store->Settings();
    TBitmap& strip = *window->OnRunBmpFull_[static_cast<size_t>(slot)];
    const int longTrace = s.GetLongTrace();
    std::vector<int32_t> divisors;
    for (int i = 0; i < longTrace; ++i) divisors.push_back(display_pipeline::GetStackingDivisor(i, s));
    int drawn = 0;
    for (int64_t t = store->MinNumTraces(); t < store->MaxNumTraces(); ++t) {
      std::vector<int32_t> trace(store->IndexTraces.Trace(t), store->IndexTraces.Trace(t) + longTrace);
      if (online_strip::HoldsSignal(trace)) online_strip::DivideByDivisors(trace, divisors);
      const int64_t column = window->OnlineStripColumn(slot, t);
      for (int r = 0; r < longTrace; ++r) {
        const long double v = std::nearbyint(static_cast<long double>(trace[static_cast<size_t>(r)]) * s.NrmCoef + 127);
        const int expected = static_cast<int>(std::clamp<long double>(v, 0, 255));
        ASSERT_EQ(strip.ScanLine(r)[column], expected) << "trace " << t << " row " << r;
        drawn += expected != online_strip::ZeroIndex;
      }
    }
    EXPECT_GT(drawn, 0) << "the traces show";
  }

  TRadargramEnv env;
  TOnlineRadarShell radarShell;
  THooksScope hooks{&radarShell, nullptr};
  std::vector<std::unique_ptr<radarsim::TPtyRadarSim>> ptys;
  std::unique_ptr<radarsim::TTcpRadarSim> tcp;
  TRadarSet set;
  TView2DForm* window = nullptr;
};

TEST_F(View2DOnlineLink, ASerialRadarFillsItsChannelAndThePainterCatchesUp) {
  ptys.push_back(std::make_unique<radarsim::TPtyRadarSim>(Unit(0, 0, 1, 601)));
  ASSERT_TRUE(ptys[0]->Ok());
  ASSERT_TRUE(set.ActiveRadar.CreateRadar(QString::fromStdString(ptys[0]->SlavePath())));
  ASSERT_NO_FATAL_FAILURE(Record(1));
  ASSERT_NO_FATAL_FAILURE(AwaitAndStop(0, ptys[0]->Engine(), kTraces));
  Stop();
  ExpectStored(0, ptys[0]->Engine(), kTraces);
  ExpectStripColumns(0);
}

TEST_F(View2DOnlineLink, AWiFiRadarFillsItsChannelAndThePainterCatchesUp) {
  tcp = std::make_unique<radarsim::TTcpRadarSim>(Unit(0, 0, 1, 602), radarsim::ModemGreeting());
  ASSERT_TRUE(tcp->Ok());
  radarShell.probeResult.reset();
  radarShell.wifiPort = tcp->Port();
  ASSERT_NE(CheckTcpRadar(QStringLiteral("127.0.0.1"), tcp->Port(), TTcpProbeTimeouts{5000, 1000}), nullptr);
  ASSERT_TRUE(set.ActiveRadar.CreateRadar(QStringLiteral("WIFI")));
  ASSERT_NO_FATAL_FAILURE(Record(1));
  ASSERT_NO_FATAL_FAILURE(AwaitAndStop(0, tcp->Engine(), kTraces));
  Stop();
  ExpectStored(0, tcp->Engine(), kTraces);
  ExpectStripColumns(0);
}

TEST_F(View2DOnlineLink, AMasterAndASlaveFillTwoChannels) {
  ptys.push_back(std::make_unique<radarsim::TPtyRadarSim>(Unit(1, 0, 2, 611)));
  ptys.push_back(std::make_unique<radarsim::TPtyRadarSim>(Unit(2, 1, 2, 612)));
  for (const auto& pty : ptys) {
    ASSERT_TRUE(pty->Ok());
    ASSERT_TRUE(set.ActiveRadar.CreateRadar(QString::fromStdString(pty->SlavePath())));
  }
  ASSERT_NO_FATAL_FAILURE(Record(2));
  ASSERT_EQ(set.ControlRadar.GetMasterChannal(), 0);
  ASSERT_NO_FATAL_FAILURE(AwaitAndStop(0, ptys[0]->Engine(), kTraces));
  TRadar* slave = set.ControlRadar.SlotRadar(1);
  ASSERT_TRUE(ProcessMessagesUntil([&] { return slave->LastPaint.load() == slave->LastRecived.load(); }, kBound));
  Stop();
  ExpectStored(0, ptys[0]->Engine(), kTraces);
  ExpectStripColumns(0);

  // The slave's channel holds its own unit's traces, in the order sent.
  const T2Dview* second = window->GetView2DByIndx(1);
  ASSERT_GT(second->NumTraces(), 0);
  const radarsim::TRadarSimEngine& own = ptys[1]->Engine();
  uint32_t index = 0;
  for (int64_t t = second->MinNumTraces(); t < second->MaxNumTraces(); ++t) {
    const int32_t first = second->IndexTraces.Trace(t)[0];
    do {
      ++index;
      ASSERT_LE(index, own.TracesSent()) << "trace " << t << " is not one of the slave unit's, in order";
    } while (ExpectedSamples(own.TraceSpecOf(index))[0] != first);
    const std::vector<int32_t> expected = ExpectedSamples(own.TraceSpecOf(index));
    for (int i = 0; i < second->Settings()->GetLongTrace() && i < static_cast<int>(expected.size()); ++i)
      ASSERT_EQ(second->IndexTraces.Trace(t)[i], expected[static_cast<size_t>(i)]) << t;
  }
  ExpectStripColumns(1);
}

}  // namespace view2d_online_link_test
