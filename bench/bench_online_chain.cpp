// The online chain on 1024-sample traces as a recording runs it: wavelet filter
// (time scale 3 ns at 0.2 ns per sample), windowed background removal (100
// traces), then the default gain curve. Items are traces; the acquisition needs
// well above 10000 per second on one core.

#include "bench/bench_acquisition_shell.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "radar/online_stages.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <memory>
#include <vector>

namespace {

constexpr int kSamples = 1024;

constexpr int kProfileTraces = 256;

// Reflections that move from trace to trace over a slowly varying background.
std::vector<std::array<int32_t, PluginsOnline::TraceArrayLength>> MakeTraces() {
  std::vector<std::array<int32_t, PluginsOnline::TraceArrayLength>> traces(kProfileTraces);
  for (int t = 0; t < kProfileTraces; ++t) {
    auto& trace = traces[t];
    trace.fill(0);
    for (int k = 0; k < kSamples; ++k) {
      const double background = 20000.0 * std::sin(k * 0.05) * std::exp(-k / 300.0);
      const double reflection = 5000.0 * std::sin((k + 3 * t) * 0.3) * std::exp(-std::abs(k - 400 - t) / 40.0);
      trace[k] = static_cast<int32_t>(background + reflection);
    }
  }
  return traces;
}

void BM_OnlineChain(benchmark::State& state, bool wavelet, bool background, bool gain) {
  TBenchAcquisitionShell shell;
  SetAcquisitionShell(&shell);
  RegisterOnlineStages();
  auto store = std::make_unique<T2Dview>(nullptr);
  store->Settings()->RestoreLongTrace(kSamples);
  store->Settings()->RestoreSpanWidth(204.8);
  auto* stages = dynamic_cast<TOnlineStageSet*>(store->OnlineStages());
  if (!stages) {
    state.SkipWithError("no online stages");
    UnregisterOnlineStages();
    SetAcquisitionShell(nullptr);
    return;
  }
  stages->InitChain();
  TParametrsWavelet w;
  w.pApplay = wavelet;
  w.pTimescale = 3.0L;
  stages->SetOnlineParameters(TOnlineStageSet::WaveletName, w);
  TParametrsWindowedBackgroundRemoval b;
  b.pApplay = background;
  b.pWidthWindow = 100;
  stages->SetOnlineParameters(TOnlineStageSet::BackgroundName, b);
  stages->TVGC.Applay = gain;

  const auto traces = MakeTraces();
  std::array<int32_t, PluginsOnline::TraceArrayLength> work{};
  size_t i = 0;
  for (auto _ : state) {
    work = traces[i++ % traces.size()];
    stages->ExecuteChain(work.data(), kSamples);
    benchmark::DoNotOptimize(work.data());
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["taps"] = stages->Wavelet.CorLength;
  store.reset();
  UnregisterOnlineStages();
  SetAcquisitionShell(nullptr);
}

BENCHMARK_CAPTURE(BM_OnlineChain, full_chain, true, true, true);
BENCHMARK_CAPTURE(BM_OnlineChain, wavelet_only, true, false, false);
BENCHMARK_CAPTURE(BM_OnlineChain, background_and_gain, false, true, true);

}  // namespace
