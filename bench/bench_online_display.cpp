// The online painter's pass while recording: five channels of 1024 samples,
// the three online stages on (wavelet, windowed background removal, gain), 200
// new traces per channel per pass (2000 traces/s each at the 100 ms paint
// period). A pass should stay within 50 ms on one core, half the period. The
// traces are stored outside the timing, as the reader threads do it meanwhile.
// Beside it the same pass with the stages off: what the painter itself costs
// (strips, palette indices, the stretch into the charts, cursor and axes).

#include "bench/bench_acquisition_shell.h"
#include "bench/bench_radar.h"
#include "bench/bench_radargram_shell.h"
#include "platform/ui/chart.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "radar/control_radar.h"
#include "radar/online_stages.h"
#include "radargram/display_pipeline.h"
#include "radargram/view2d_form.h"
#include "raster/raster_library.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

constexpr int kChannels = 5;
constexpr int kSamples = 1024;
constexpr int kNewTraces = 200;

// A reflection over noise, in raw sums of stacking 4.
int32_t RawSample(int64_t t, int s) {
  const double arrival = 300.0 + 80.0 * std::sin(t * 0.01);
  const double wave = std::exp(-0.002 * (s - arrival) * (s - arrival)) * 4.0e5;
  const int noise = static_cast<int>((t * 7919 + s * 104729) % 2001) - 1000;
  return static_cast<int32_t>(wave) * ((s / 7) % 2 ? 1 : -1) + noise * 4;
}

struct TOnlineFixture {
  TBenchAcquisitionShell acquisition;
  TBenchShell shell;
  TControlRadar control;
  std::array<std::unique_ptr<TBenchRadar>, kChannels> radars;
  TMainFrame* frame = nullptr;
  TView2DForm* window = nullptr;
  std::vector<int32_t> trace = std::vector<int32_t>(kSamples);

  explicit TOnlineFixture(bool stagesOn) {
    BenchToolkit();
    RasterLibraryStartup();
    SetAcquisitionShell(&acquisition);
    RegisterOnlineStages();
    display_pipeline::SetDisplayThreads(1);
    for (int i = 0; i < kChannels; ++i) {
      radars[static_cast<size_t>(i)] = std::make_unique<TBenchRadar>();
      control.AddRadarToChanal(i, radars[static_cast<size_t>(i)].get());
    }
    shell.controlRadar = &control;
    shell.runActionChecked = true;
    Application->CreateForm(frame);
    frame->SetBounds(0, 0, 1920, 1080);
    SetNewViewChannalCount(kChannels);
    window = TComponent::Create<TView2DForm>(frame, shell.Parts());
    for (int i = 0; i < kChannels; ++i) {
      T2Dview& store = *window->GetView2DByIndx(i);
      TSettingData& s = *store.Settings();
      s.RestoreLongTrace(kSamples);
      s.SetRunMode(rmCont);
      auto& stages = dynamic_cast<TOnlineStageSet&>(*store.OnlineStages());
      stages.SetWaveletApplay(stagesOn);
      stages.SetWidthWindow(32);
      stages.SetWindowedBackgroundRemovalApplay(stagesOn);
      stages.SetTVGCApplay(stagesOn);
    }
    window->PrepareForRunning();
    shell.radarStarted = true;
  }
  // The reader threads' share of a pass: 200 new traces in every channel, the
  // traces painted before freed (the painter reads only new ones).
  void StoreNewTraces() {
    for (int i = 0; i < kChannels; ++i) {
      T2Dview& store = *window->GetView2DByIndx(i);
      const int64_t first = store.MaxNumTraces();
      store.IndexTraces.FreeRange(store.MinNumTraces(), first - 1);
      for (int64_t t = first; t < first + kNewTraces; ++t) {
        for (int s = 0; s < kSamples; ++s) trace[static_cast<size_t>(s)] = RawSample(t, s);
        store.AppendTrace(trace.data(), kSamples, {});
      }
      store.SetPosTraces(store.MaxNumTraces());
      radars[static_cast<size_t>(i)]->LastRecived = store.PosTraces();
    }
  }
};

// Argument 1: the three stages on; 0: off, the painter's own share beside it.
void BM_OnlinePaintPass(benchmark::State& state) {
  // A fresh window per run: the strips grow with every pass.
  TOnlineFixture f(state.range(0) != 0);
  for (auto _ : state) {
    state.PauseTiming();
    f.StoreNewTraces();
    state.ResumeTiming();
    f.window->PaintOnlineThread();
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * kChannels * kNewTraces);
  f.window->Free();
  f.control.RadarNil();
}
BENCHMARK(BM_OnlinePaintPass)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(100);

}  // namespace
