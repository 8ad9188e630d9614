// The processing tools on one synthetic channel of 30000 traces x 1024 samples
// (hyperbolas, horizontal bands and noise within +-2^20), beside one memory pass:
// a copy of SizeDat bytes, timed in the same run, so a tool's cost shows as a
// multiple of it.

#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "tools/abs_tool.h"
#include "tools/dq_tool.h"
#include "tools/hilbert_tool.h"
#include "tools/worker_pool.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace {

constexpr int kTraces = 30000;
constexpr int kSamples = 1024;
constexpr int64_t kBytes = int64_t{kTraces} * kSamples * 4;

struct TChannelFixture {
  std::unique_ptr<T2Dview> view = std::make_unique<T2Dview>(nullptr);
  std::vector<int32_t> raw;

  TChannelFixture() {
    view->Settings()->RestoreLongTrace(kSamples);
    view->SetMinNumTraces(0);
    view->SetMaxNumTraces(kTraces);
    view->SetSizeDat(kBytes);
    view->dezoData.Allocate(kBytes);
    raw.resize(static_cast<size_t>(int64_t{kTraces} * kSamples));
    std::mt19937 random(12345);
    std::uniform_int_distribution<int32_t> noise(-20000, 20000);
    const double limit = std::ldexp(1.0, 20) - 1;
    for (int t = 0; t < kTraces; ++t) {
      for (int k = 0; k < kSamples; ++k) {
        double v = noise(random);
        // Bands: ringing below the surface and a flat layer.
        v += 400000.0 * std::sin(k * 0.35) * std::exp(-k / 60.0);
        v += 150000.0 * std::exp(-std::pow((k - 600) / 6.0, 2));
        // Diffraction hyperbolas every 1500 traces.
        const int apex = (t / 1500) * 1500 + 750;
        const double depth = 150 + (t / 1500) % 5 * 120;
        const double arrival = std::sqrt(depth * depth + std::pow((t - apex) * 0.8, 2));
        v += 300000.0 * std::cos((k - arrival) * 0.6) * std::exp(-std::pow((k - arrival) / 8.0, 2));
        raw[static_cast<size_t>(int64_t{t} * kSamples + k)] = static_cast<int32_t>(std::clamp(v, -limit, limit));
      }
    }
    std::memcpy(view->dezoData.Data(), raw.data(), static_cast<size_t>(kBytes));
  }
};

TChannelFixture& Fixture() {
  static TChannelFixture fixture;
  return fixture;
}

void BM_OneMemoryPass(benchmark::State& state) {
  TChannelFixture& f = Fixture();
  std::vector<int32_t> copy(f.raw.size());
  for (auto _ : state) {
    std::memcpy(copy.data(), f.view->dezoData.Data(), static_cast<size_t>(kBytes));
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * kBytes);
}
BENCHMARK(BM_OneMemoryPass)->Unit(benchmark::kMillisecond)->UseRealTime();

// The chain's restart at the rectifier (first = true): the saved input is
// rectified into the display buffer.
void BM_Rectifier(benchmark::State& state) {
  TChannelFixture& f = Fixture();
  TWorkerPool::Instance().SetThreadCount(static_cast<int>(state.range(0)));
  TAbsTool tool;
  tool.SetView_(0, f.view.get());
  tool.execute(false, 0);
  for (auto _ : state) {
    tool.execute(true, 0);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * kBytes);
  TWorkerPool::Instance().SetThreadCount(0);
}
BENCHMARK(BM_Rectifier)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

// A full run (first = false) of an envelope or frequency tool over the channel,
// the display buffer refilled from the synthetic traces before each (untimed).
// Reported per trace: items/s is traces per second.
template <class TTool>
void RunInstantaneous(benchmark::State& state, TOutputType type) {
  TChannelFixture& f = Fixture();
  f.view->Settings()->RestoreSpanWidth(40.0);
  TWorkerPool::Instance().SetThreadCount(static_cast<int>(state.range(0)));
  TTool tool;
  tool.SetView_(0, f.view.get());
  TInstantaneousParam set{true, type};
  tool.SetParam(0, &set);
  for (auto _ : state) {
    state.PauseTiming();
    std::memcpy(f.view->dezoData.Data(), f.raw.data(), static_cast<size_t>(kBytes));
    state.ResumeTiming();
    tool.execute(false, 0);
    benchmark::ClobberMemory();
  }
  std::memcpy(f.view->dezoData.Data(), f.raw.data(), static_cast<size_t>(kBytes));
  state.SetItemsProcessed(state.iterations() * kTraces);
  state.SetBytesProcessed(state.iterations() * kBytes);
  TWorkerPool::Instance().SetThreadCount(0);
}

// 30000 x 1024^2 extended divisions: seconds per run even on every core.
void BM_HilbertEnvelope(benchmark::State& state) { RunInstantaneous<THilbert>(state, otAmplitude); }
BENCHMARK(BM_HilbertEnvelope)->Arg(0)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DQEnvelope(benchmark::State& state) { RunInstantaneous<TDQ>(state, otAmplitude); }
BENCHMARK(BM_DQEnvelope)->Arg(1)->Arg(0)->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DQFrequency(benchmark::State& state) { RunInstantaneous<TDQ>(state, otFreq); }
BENCHMARK(BM_DQFrequency)->Arg(0)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
