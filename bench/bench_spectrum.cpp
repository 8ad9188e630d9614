// The spectrum tool on the shared synthetic channel of 30000 traces x 1024
// samples: one cursor move with Apply on (the averaged line, the transform over
// the window and the five harmonic correlations), horizontally at 300 traces per
// second (M = 15000 over a 1801-value window) and vertically, on 8 threads;
// beside it the chain's restart at the tool, one memory pass of the channel.

#include "bench/bench_tool_channel.h"
#include "profiledata/channel_store.h"
#include "tools/imaging/spectrum_tool.h"
#include "tools/worker_pool.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

using bench_tool_channel::Fixture;
using bench_tool_channel::kBytes;
using bench_tool_channel::TChannelFixture;

// A tool bound to the fixture with its input saved, the window around trace
// 15000 and depth sample 500 (50 ns over 1024 samples).
void Prepare(TSpectrum& tool, TChannelFixture& f, int32_t position) {
  tool.SetView_(0, f.view.get());
  tool.execute(false, 0);
  tool.PositionTrace = position;
  tool.FrDescret = 300;
  tool.StepTime = 1.0L / 300;
  tool.dTime = 1000 * tool.StepTime;
  tool.CurrentTrace = 15000;
  tool.CurrentDeep = 500;
  tool.FreqAfterChange();
  tool.GetStartStopDiapazon(true);
}

const int32_t kCursorTime = 500 * 50 * 1000 / 1024;  // thousandths of a ns at sample 500

void BM_SpectrumCursorMove(benchmark::State& state) {
  TChannelFixture& f = Fixture();
  TWorkerPool::Instance().SetThreadCount(8);
  TSpectrum tool;
  Prepare(tool, f, static_cast<int32_t>(state.range(0)));
  for (auto _ : state) {
    tool.AfterChangeNumTrace(15000, kCursorTime);
    benchmark::DoNotOptimize(tool.FreqLineInput.data());
  }
  state.counters["M"] = tool.M;
  state.counters["window"] = tool.AreaStop - tool.AreaStart + 1;
  state.counters["line"] = static_cast<double>(tool.LineInput.size());
  std::memcpy(f.view->dezoData.Data(), f.raw.data(), static_cast<size_t>(kBytes));
}
// 1: horizontal (target under 150 ms), 0: vertical (under 5 ms).
BENCHMARK(BM_SpectrumCursorMove)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

// The window's restart of the chain at the tool after a cursor move: the saved
// input back into the display buffer.
void BM_SpectrumRestart(benchmark::State& state) {
  TChannelFixture& f = Fixture();
  TWorkerPool::Instance().SetThreadCount(8);
  TSpectrum tool;
  Prepare(tool, f, 1);
  for (auto _ : state) {
    tool.AfterChangeNumTrace(15000, kCursorTime);
    tool.RunChangeNumTrace = true;
    tool.execute(true, 0);
  }
  state.SetBytesProcessed(state.iterations() * kBytes);
}
BENCHMARK(BM_SpectrumRestart)->Unit(benchmark::kMillisecond)->UseRealTime();

// One memory pass of the channel, for the ratio.
void BM_SpectrumMemoryPass(benchmark::State& state) {
  TChannelFixture& f = Fixture();
  std::vector<int32_t> copy(f.raw.size());
  for (auto _ : state) {
    std::memcpy(copy.data(), f.raw.data(), static_cast<size_t>(kBytes));
    benchmark::DoNotOptimize(copy.data());
  }
  state.SetBytesProcessed(state.iterations() * kBytes);
}
BENCHMARK(BM_SpectrumMemoryPass)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
