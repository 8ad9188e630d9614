// A recording of a five-radar set through the acquisition program's real main
// window: a master and four slaves, simulated units on pseudo-terminals found
// through a fake device tree, each sending a trace every 1 ms; Create, F2, ten
// seconds of recording with the message loop served as the program serves it,
// F2 (the stop saves the container). Reported per iteration: the traces stored
// per second of recording in the slowest channel and in all five, and the
// traces the units sent before the stop that no channel holds (the target:
// none lost, at least 7 x 136 traces/s per channel).
//
// The program reaches one radar over TCP (the Wi-Fi address of its settings);
// a set of several radars is a set of serial units, as here. A single serial
// unit and a single TCP unit at 1 ms are the other benchmarks.

#include "acquisition/main_form.h"
#include "bench/bench_toolkit.h"
#include "platform/devices/serial_devices.h"
#include "platform/rtl/ini_files.h"
#include "platform/rtl/paths.h"
#include "platform/ui/dialog_script.h"
#include "profiledata/channel_store.h"
#include "radar/control_radar.h"
#include "radargram/view2d_form.h"
#include "raster/raster_library.h"
#include "tests/support/fake_device_tree.h"
#include "tests/support/radarsim/sim_links.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QTemporaryDir>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

namespace {

constexpr auto kRecording = std::chrono::seconds(10);

radarsim::TSimConfig RunUnit(uint8_t mode, uint8_t channel, uint8_t count, uint16_t serial) {
  radarsim::TSimConfig c;
  c.MasterSlaveMode = mode;
  c.Channel = channel;
  c.RadarCount = count;
  c.SerialNumber = serial;
  c.TraceIntervalMs = 1;
  c.DeviceType = 8;
  return c;
}

bool ServeUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    Application->ProcessMessages();
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

// The program folder, the settings (no Wi-Fi radar; profiles into a folder of
// their own) and the main window with the units it found.
struct TRunSetup {
  QTemporaryDir folder;
  TFakeDeviceTree tree;
  std::vector<std::unique_ptr<radarsim::TPtyRadarSim>> units;
  std::vector<radarsim::TRadarSimEngine*> engines;
  QString error;

  // tcpUnit: one unit on loopback TCP instead of the serial ones.
  TRunSetup(bool tcpUnit, int serialUnits, std::unique_ptr<radarsim::TTcpRadarSim>& tcp) {
    BenchToolkit();
    // As the program starts: the raster routines the online display draws with.
    RasterLibraryStartup();
    SetProgramFolder(folder.path() + u'/');
    SetDeviceRoots(tree.Roots());
    const QString data = folder.path() + QStringLiteral("/surveys/");
    QDir().mkpath(data);
    TMemIniFile ini(MainIniFileName());
    if (tcpUnit) {
      tcp = std::make_unique<radarsim::TTcpRadarSim>(RunUnit(0, 0, 1, 700));
      engines.push_back(&tcp->Engine());
    } else {
      const auto count = static_cast<uint8_t>(serialUnits);
      for (uint8_t k = 0; k < count; ++k) {
        const uint8_t mode = count == 1 ? 0 : k == 0 ? 1 : 2;
        units.push_back(std::make_unique<radarsim::TPtyRadarSim>(RunUnit(mode, k, count, 701 + k)));
        engines.push_back(&units.back()->Engine());
        tree.AddUsbSerial(k + 1, QStringLiteral("ttyACM%1").arg(k), 0xc251, 0x9705, QStringLiteral("Radar"),
                          QString::fromStdString(units.back()->SlavePath()));
      }
    }
    ini.WriteString(QStringLiteral("WIFI"), QStringLiteral("IP address"),
                    tcpUnit ? QStringLiteral("127.0.0.1") : QString());
    ini.WriteString(QStringLiteral("WIFI"), QStringLiteral("port"), tcp ? QString::number(tcp->Port()) : QString());
    ini.WriteString(QStringLiteral("General"), QStringLiteral("LastFolder"), data);
    ini.WriteString(QStringLiteral("General"), QStringLiteral("PrefixFiles"), QStringLiteral("run_"));
    ini.UpdateFile();
    // A message box answers itself instead of waiting for a user; each is kept.
    TDialogScript::Enable(true);
    TDialogScript::SetUnexpectedHandler([](const QString&) {});
    CreateMainWindow();
    if (tcpUnit) MainWindow->TimerPingTimer();
    const size_t expected = tcpUnit ? 1 : static_cast<size_t>(serialUnits);
    if (!ServeUntil(
            [&] {
              const TControlRadar* set = MainWindow->ControlRadar();
              return set && static_cast<size_t>(set->GetCountPluginRadars()) == expected &&
                     MainWindow->StatusGprText().startsWith(QStringLiteral("GPR "));
            },
            std::chrono::seconds(30)))
      error = QStringLiteral("the radars were not found");
  }
  ~TRunSetup() {
    if (MainWindow) MainWindow->Free();
    TDialogScript::Reset();
    TDialogScript::Enable(false);
    SetDeviceRoots({});
    SetProgramFolder(QString());
  }
};

void RecordThroughTheMainWindow(benchmark::State& state, bool tcpUnit, int serialUnits) {
  std::unique_ptr<radarsim::TTcpRadarSim> tcp;
  TRunSetup setup(tcpUnit, serialUnits, tcp);
  if (!setup.error.isEmpty()) {
    state.SkipWithError(setup.error.toStdString().c_str());
    return;
  }
  double slowest = 0, all = 0, lost = 0, boxes = 0;
  for (auto _ : state) {
    MainWindow->CreateActionExecute();
    TView2DForm* window = MainWindow->CurChild();
    const size_t channels = setup.engines.size();
    if (!window || !window->GetView2DByIndx(static_cast<int>(channels) - 1)) {
      state.SkipWithError("no window with a channel per radar");
      return;
    }
    std::vector<uint32_t> sentBefore;
    for (const radarsim::TRadarSimEngine* e : setup.engines) sentBefore.push_back(e->TracesSent());
    const size_t boxesBefore = TDialogScript::Shown().size();
    const auto start = std::chrono::steady_clock::now();
    MainWindow->RunActionClick();
    if (!MainWindow->Commands.RunChecked) {
      state.SkipWithError("F2 did not start the recording");
      return;
    }
    ServeUntil([] { return false; }, std::chrono::duration_cast<std::chrono::milliseconds>(kRecording));
    // What the units sent up to the moment F2 stops the recording: the traces
    // that come while the stop commands go out are not the recording's.
    std::vector<uint32_t> sentAtStop;
    for (const radarsim::TRadarSimEngine* e : setup.engines) sentAtStop.push_back(e->TracesSent());
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    MainWindow->RunActionClick();
    // The iteration's time: the recording, its stop and its save.
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    double minimum = -1;
    double total = 0;
    for (size_t k = 0; k < channels; ++k) {
      const T2Dview* store = window->GetView2DByIndx(static_cast<int>(k));
      const auto stored = static_cast<double>(store->NumTraces());
      const double sent = sentAtStop[k] - sentBefore[k];
      lost += std::max(0.0, sent - stored);
      total += stored;
      if (minimum < 0 || stored < minimum) minimum = stored;
    }
    slowest += minimum / seconds;
    all += total / seconds;
    boxes += static_cast<double>(TDialogScript::Shown().size() - boxesBefore);
  }
  const auto n = static_cast<double>(state.iterations());
  state.counters["traces_per_s_slowest_channel"] = slowest / n;
  state.counters["traces_per_s_all_channels"] = all / n;
  state.counters["traces_lost"] = lost;
  state.counters["message_boxes"] = boxes;
}

void BM_RecordFiveSerialRadarsTenSeconds(benchmark::State& state) { RecordThroughTheMainWindow(state, false, 5); }
BENCHMARK(BM_RecordFiveSerialRadarsTenSeconds)->Unit(benchmark::kSecond)->UseManualTime()->Iterations(1);

// The same road with one serial unit: what a set adds to a single radar.
void BM_RecordOneSerialRadarTenSeconds(benchmark::State& state) { RecordThroughTheMainWindow(state, false, 1); }
BENCHMARK(BM_RecordOneSerialRadarTenSeconds)->Unit(benchmark::kSecond)->UseManualTime()->Iterations(1);

void BM_RecordOneTcpRadarTenSeconds(benchmark::State& state) { RecordThroughTheMainWindow(state, true, 0); }
BENCHMARK(BM_RecordOneTcpRadarTenSeconds)->Unit(benchmark::kSecond)->UseManualTime()->Iterations(1);

}  // namespace
