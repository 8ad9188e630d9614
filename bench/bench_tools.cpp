// The processing tools on one synthetic channel of 30000 traces x 1024 samples
// (hyperbolas, horizontal bands and noise within +-2^20), beside one memory pass:
// a copy of SizeDat bytes, timed in the same run, so a tool's cost shows as a
// multiple of it.

#include "bench/bench_tool_channel.h"
#include "tools/abs_tool.h"
#include "tools/band_filter.h"
#include "tools/dq_tool.h"
#include "tools/filter_tool.h"
#include "tools/hilbert_tool.h"
#include "tools/tvgc_tool.h"
#include "tools/worker_pool.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace {

using bench_tool_channel::Fixture;
using bench_tool_channel::kBytes;
using bench_tool_channel::kSamples;
using bench_tool_channel::kTraces;
using bench_tool_channel::TChannelFixture;

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

// The gain tool's restart on a curve rising from 0 dB to +12 dB down the trace
// (every sample a different factor).
void BM_Gain(benchmark::State& state) {
  TChannelFixture& f = Fixture();
  TWorkerPool::Instance().SetThreadCount(static_cast<int>(state.range(0)));
  TTVGC tool;
  tool.SetView_(0, f.view.get());
  TListOfDots curve;
  curve.SetWidth(280);
  curve.SetHeight(kSamples);
  curve.SetPoint(0, 140, 0);
  curve.SetPoint(1, 150, kSamples / 2);
  curve.SetPoint(2, 160, kSamples);
  TTVGCParam p{true, TGainCurveHolder(curve)};
  tool.SetParam(0, &p);
  tool.execute(false, 0);
  for (auto _ : state) {
    tool.execute(true, 0);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * kBytes);
  TWorkerPool::Instance().SetThreadCount(0);
}
BENCHMARK(BM_Gain)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

// The frequency filters' restart (first = true) with Range passes (the argument
// pair: passes, threads; 0 threads = one per processor). Items are samples x
// passes, so the rate reads as samples per second per pass.
template <class TTool, class TSet>
void RunFrequencyFilter(benchmark::State& state, TSet set) {
  TChannelFixture& f = Fixture();
  TWorkerPool::Instance().SetThreadCount(static_cast<int>(state.range(1)));
  TTool tool;
  tool.SetView_(0, f.view.get());
  // The low/high-pass filter keeps its pass count in the channel's set, the band
  // filter one count for all channels.
  if constexpr (requires { set.Range; }) set.Range = static_cast<int32_t>(state.range(0));
  tool.SetParam(0, &set);
  tool.SetRange(static_cast<uint8_t>(state.range(0)));
  std::memcpy(f.view->dezoData.Data(), f.raw.data(), static_cast<size_t>(kBytes));
  tool.execute(false, 0);
  for (auto _ : state) {
    tool.execute(true, 0);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * int64_t{kTraces} * kSamples * state.range(0));
  std::memcpy(f.view->dezoData.Data(), f.raw.data(), static_cast<size_t>(kBytes));
  TWorkerPool::Instance().SetThreadCount(0);
}

void BM_BandFilter(benchmark::State& state) {
  const long double omega0 = 2 * 3.14159265358979323846L * 400;
  RunFrequencyFilter<TBandFilter>(state, TBandFilterParam{true, BandPassFilter, 400, 5, omega0, 10 / omega0, 20, 1500});
}
BENCHMARK(BM_BandFilter)->Args({1, 1})->Args({8, 1})->Args({1, 0})->Args({8, 0})->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LowHighPassFilter(benchmark::State& state) {
  const long double omega0 = 2 * 3.14159265358979323846L * 400;
  RunFrequencyFilter<TFilter>(state, TFilterParam{true, LowPassFilter, 400, 1, omega0, 20, 1500});
}
BENCHMARK(BM_LowHighPassFilter)->Args({1, 1})->Args({8, 1})->Args({1, 0})->Args({8, 0})->Unit(benchmark::kMillisecond)->UseRealTime();

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
