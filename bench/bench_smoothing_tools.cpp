// The median filter, the blur, the normalisation and the leveler on the shared
// synthetic channel (bench_tool_channel.h), on one thread and on all of them.
// Rates to compare with BM_OneMemoryPass (bench_tools.cpp): bytes per second of
// the channel; the median's large window and the blur also report samples or
// multiply-adds per second.

#include "bench/bench_tool_channel.h"
#include "tools/blur_tool.h"
#include "tools/leveler_tool.h"
#include "tools/median_tool.h"
#include "tools/normalization_tool.h"
#include "tools/worker_pool.h"

#include <benchmark/benchmark.h>

#include <cstring>

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

void SetRate(benchmark::State& state, const char* name, double perRun) {
  state.counters[name] =
      benchmark::Counter(perRun * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

constexpr double kChannelSamples = double{kTraces} * kSamples;

// The default window: one sample by three traces.
void BM_MedianDefault(benchmark::State& state) {
  TChannelFixture& f = Fixture();
  TMedianTool tool;
  RunRestarts(state, tool, f);
  state.SetBytesProcessed(state.iterations() * kBytes);
}
BENCHMARK(BM_MedianDefault)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

// The largest window, 31 x 31: samples per second.
void BM_MedianLargest(benchmark::State& state) {
  TChannelFixture& f = Fixture();
  TMedianTool tool;
  const TMedianParam set{true, 15, 15};
  tool.SetParam(0, &set);
  RunRestarts(state, tool, f);
  SetRate(state, "samples/s", kChannelSamples);
}
BENCHMARK(BM_MedianLargest)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// The default mask of 7 x 7 and the largest, 41 x 41: multiply-adds per second.
void BM_Blur(benchmark::State& state) {
  TChannelFixture& f = Fixture();
  TBlur tool;
  const int half = static_cast<int>(state.range(1));
  const TBlurParam set{true, half, half};
  tool.SetParam(0, &set);
  RunRestarts(state, tool, f);
  SetRate(state, "madds/s", kChannelSamples * (2 * half + 1) * (2 * half + 1));
}
BENCHMARK(BM_Blur)
    ->Args({1, 3})
    ->Args({0, 3})
    ->Args({0, 20})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(2);

// Windows of 0 and 300 traces: bytes of the channel per second.
void BM_Normalization(benchmark::State& state) {
  TChannelFixture& f = Fixture();
  TNormalizationTrace tool;
  const TNormalizationParam set{true, static_cast<int32_t>(state.range(1))};
  tool.SetParam(0, &set);
  RunRestarts(state, tool, f);
  state.SetBytesProcessed(state.iterations() * kBytes);
}
BENCHMARK(BM_Normalization)
    ->Args({1, 0})
    ->Args({0, 0})
    ->Args({0, 300})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The leveler's search, smoothing and shift: the peak search (range 1 = 0:
// amplitude) and the envelope search on every core (1: the Hilbert sum per
// trace, compare BM_HilbertEnvelope in bench_tools.cpp).
void BM_LevelerTransform(benchmark::State& state) {
  TChannelFixture& f = Fixture();
  TLeveler tool;
  tool.Transform = true;
  tool.SearchType = state.range(1) == 0 ? stAmplitude : stMovingAverage;
  const TLevelerParam on{true};
  tool.SetParam(0, &on);
  RunRestarts(state, tool, f);
  state.SetBytesProcessed(state.iterations() * kBytes);
}
BENCHMARK(BM_LevelerTransform)->Args({1, 0})->Args({0, 0})->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LevelerTransform)->Args({0, 1})->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
