// The wavelet filter, the horizontal wavelet filter and the windowed background
// removal on the shared synthetic channel (bench_tool_channel.h), on one thread
// and on all of them. The wavelets report taps per second (samples x taps); the
// background removal's plain mode compares with BM_OneMemoryPass
// (bench_tools.cpp), its Gauss mode reports multiply-adds per second.

#include "bench/bench_tool_channel.h"
#include "tools/horz_wavelet.h"
#include "tools/wavelet.h"
#include "tools/win_subtract_trace.h"
#include "tools/worker_pool.h"

#include <benchmark/benchmark.h>

namespace {

using bench_tool_channel::Fixture;
using bench_tool_channel::kBytes;
using bench_tool_channel::kSamples;
using bench_tool_channel::kTraces;
using bench_tool_channel::TChannelFixture;

// The tool's chain restart (first = true) over the whole channel.
template <class TTool>
void RunRestarts(benchmark::State& state, TTool& tool, TChannelFixture& f) {
  TWorkerPool::Instance().SetThreadCount(static_cast<int>(state.range(0)));
  tool.SetView_(0, f.view.get());
  tool.execute(false, 0);
  for (auto _ : state) {
    tool.execute(true, 0);
    benchmark::ClobberMemory();
  }
  std::memcpy(f.view->dezoData.Data(), f.raw.data(), static_cast<size_t>(kBytes));
  TWorkerPool::Instance().SetThreadCount(0);
}

void SetTapsRate(benchmark::State& state, int32_t taps) {
  state.counters["taps/s"] = benchmark::Counter(static_cast<double>(int64_t{kTraces} * kSamples * taps) *
                                                    static_cast<double>(state.iterations()),
                                                benchmark::Counter::kIsRate);
}

// One harmonic of 2 ns at 0.1 ns a sample: 59 taps.
void BM_WaveletFilter(benchmark::State& state) {
  TChannelFixture& f = Fixture();
  f.view->Settings()->RestoreSpanWidth(0.1 * kSamples);
  TWavelet tool;
  RunRestarts(state, tool, f);
  SetTapsRate(state, tool.Kernels.TapCount(0));
}
BENCHMARK(BM_WaveletFilter)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

// The default window of 50 traces (the dialog's 25).
void BM_HorzWaveletFilter(benchmark::State& state) {
  TChannelFixture& f = Fixture();
  THorzWavelet tool;
  RunRestarts(state, tool, f);
  SetTapsRate(state, tool.Kernels.TapCount(0));
}
BENCHMARK(BM_HorzWaveletFilter)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

// The default window of 100 traces.
void BM_BackgroundRemovalPlain(benchmark::State& state) {
  TChannelFixture& f = Fixture();
  TWinSubtractTrace tool;
  RunRestarts(state, tool, f);
  state.SetBytesProcessed(state.iterations() * kBytes);
}
BENCHMARK(BM_BackgroundRemovalPlain)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

// Gauss weights (factor 1.0) over a window of 100 traces: 101 multiply-adds a sample.
void BM_BackgroundRemovalGauss(benchmark::State& state) {
  TChannelFixture& f = Fixture();
  TWinSubtractTrace tool;
  tool.GausseRun = true;
  tool.KoefGausse = 1.0L;
  RunRestarts(state, tool, f);
  state.counters["madds/s"] = benchmark::Counter(
      static_cast<double>(int64_t{kTraces} * kSamples * 101) * static_cast<double>(state.iterations()),
      benchmark::Counter::kIsRate);
}
BENCHMARK(BM_BackgroundRemovalGauss)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
