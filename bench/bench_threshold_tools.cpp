// The three-point correlator, the nonlinear amplifier and the comparator on the
// shared synthetic channel of 30000 traces x 1024 samples, beside one memory
// pass (a copy of SizeDat bytes) timed in the same run. Each run is the chain's
// restart at the tool (first = true): the saved input into the display buffer.
// Argument: worker threads (0 = one per processor).

#include "bench/bench_tool_channel.h"
#include "tools/comparator_tool.h"
#include "tools/compressor.h"
#include "tools/corelator.h"
#include "tools/worker_pool.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

using bench_tool_channel::Fixture;
using bench_tool_channel::kBytes;
using bench_tool_channel::TChannelFixture;

void BM_ThresholdToolsMemoryPass(benchmark::State& state) {
  TChannelFixture& f = Fixture();
  std::vector<int32_t> copy(f.raw.size());
  for (auto _ : state) {
    std::memcpy(copy.data(), f.view->dezoData.Data(), static_cast<size_t>(kBytes));
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * kBytes);
}
BENCHMARK(BM_ThresholdToolsMemoryPass)->Unit(benchmark::kMillisecond)->UseRealTime();

template <class TTool, class TSet>
void RunRestarts(benchmark::State& state, const TSet& set) {
  TChannelFixture& f = Fixture();
  TWorkerPool::Instance().SetThreadCount(static_cast<int>(state.range(0)));
  std::memcpy(f.view->dezoData.Data(), f.raw.data(), static_cast<size_t>(kBytes));
  TTool tool;
  tool.SetView_(0, f.view.get());
  tool.SetParam(0, &set);
  tool.execute(false, 0);
  for (auto _ : state) {
    tool.execute(true, 0);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * kBytes);
  std::memcpy(f.view->dezoData.Data(), f.raw.data(), static_cast<size_t>(kBytes));
  TWorkerPool::Instance().SetThreadCount(0);
}

void BM_CorrelatorMode1(benchmark::State& state) {
  RunRestarts<TCorelator>(state, TCorelatorParam{true, 5, TCorelatorMode::Mode1});
}
BENCHMARK(BM_CorrelatorMode1)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CorrelatorMode2(benchmark::State& state) {
  RunRestarts<TCorelator>(state, TCorelatorParam{true, 60, TCorelatorMode::Mode2});
}
BENCHMARK(BM_CorrelatorMode2)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

// The channel's largest sample (about 2^20) is below its sample count: the
// table of the curve.
void BM_NonlinearAmplifier(benchmark::State& state) {
  RunRestarts<TCompressor>(state, TCompressorParam{true, 200});
}
BENCHMARK(BM_NonlinearAmplifier)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Comparator(benchmark::State& state) {
  RunRestarts<TComparatorTool>(state, TComparatorParam{true, 100000});
}
BENCHMARK(BM_Comparator)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
