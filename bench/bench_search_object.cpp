// The object search: a 2000 x 500 channel of generator hyperbolas over noise in
// mode "All" (target under 0.5 s on 8 cores), the speed matrix of 21 speeds over
// a 181 x 181 rectangle (under 1 s), and the shared 30000 x 1024 channel (under
// 5 s) beside one memory pass of it; for 1, 2 and 8 threads.

#include "bench/bench_tool_channel.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "tools/imaging/gen_test_tool.h"
#include "tools/imaging/search_object_tool.h"
#include "tools/worker_pool.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>
#include <vector>

namespace {

using bench_tool_channel::Fixture;
using bench_tool_channel::kBytes;
using bench_tool_channel::TChannelFixture;

// 2000 traces x 500 samples in wheel mode (X/Y 0.5), time zero at sample 10,
// noise 0 .. 399 and generator hyperbolas every 100 traces.
std::unique_ptr<T2Dview> HyperbolaChannel() {
  constexpr int64_t traces = 2000;
  constexpr int longTrace = 500;
  auto view = std::make_unique<T2Dview>(nullptr);
  TSettingData& s = *view->Settings();
  s.RestoreSpeedLight(100);
  s.RestoreSpanWidth(500);
  s.RestoreOverStep(2);
  s.RestoreLongTrace(longTrace);
  s.SetNullShift(10);
  s.SetWheelMult(1);
  s.SetWheelStep(25);
  s.SetRunMode(rmWheel);
  view->SetMinNumTraces(0);
  view->SetMaxNumTraces(traces);
  view->SetSizeDat(traces * longTrace * 4);
  view->dezoData.Allocate(traces * longTrace * 4);
  std::memset(view->dezoData.Data(), 0, static_cast<size_t>(traces * longTrace * 4));
  for (int32_t apex = 50; apex < traces; apex += 100) {
    TGenTestTool gen;
    gen.RandomSeed = 11;
    gen.DistanceRecept = 0;
    gen.SizeParabol1 = 50;
    gen.SizeParabol2 = 0;
    gen.SetView_(0, view.get());
    // Noise only once: later hyperbolas keep the channel as it is.
    const TGenTestParam set{true, 100, apex == 50 ? 400 : 0, apex, 100 + (apex / 100) % 4 * 80, 0, 0, 5000, 0, 0, 0};
    gen.SetParam(0, &set);
    gen.execute(false, 0);
  }
  return view;
}

void BM_SearchObjectAll(benchmark::State& state) {
  TWorkerPool::Instance().SetThreadCount(static_cast<int>(state.range(0)));
  const std::unique_ptr<T2Dview> view = HyperbolaChannel();
  TSearchObjectTool tool;
  tool.SetView_(0, view.get());
  TSearchObjectParam set{true, view->GetProportionalCoefic(), 25, 40, 0};
  tool.SetParam(0, &set);
  tool.execute(false, 0);
  for (auto _ : state) {
    tool.execute(true, 0);
    benchmark::ClobberMemory();
  }
  state.counters["apices"] = static_cast<double>(std::count(tool.Marks().begin(), tool.Marks().end(), 2));
  TWorkerPool::Instance().SetThreadCount(0);
}
BENCHMARK(BM_SearchObjectAll)->Arg(1)->Arg(2)->Arg(8)->Unit(benchmark::kMillisecond)->UseRealTime();

// The matrix alone: its time is that of the run with Matrix set less the run
// without it.
void BM_SearchObjectMatrix(benchmark::State& state) {
  TWorkerPool::Instance().SetThreadCount(static_cast<int>(state.range(0)));
  const std::unique_ptr<T2Dview> view = HyperbolaChannel();
  TSearchObjectTool tool;
  tool.SetView_(0, view.get());
  TSearchObjectParam set{true, view->GetProportionalCoefic(), 25, 40, 0};
  tool.SetParam(0, &set);
  tool.typeMaxAmp = 2;
  tool.Xup = 1000;
  tool.Yup = 250;
  tool.dWave = 10;
  tool.ShowWave = 100;
  tool.execute(false, 0);
  double without = 0;
  for (auto _ : state) {
    tool.Matrix = false;
    auto start = std::chrono::steady_clock::now();
    tool.execute(true, 0);
    without = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    tool.Matrix = true;
    start = std::chrono::steady_clock::now();
    tool.execute(true, 0);
    const double with = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.SetIterationTime(std::max(with - without, 0.0));
  }
  state.counters["cells"] = static_cast<double>(tool.SizeMatrix);
  state.counters["speeds"] = tool.k2 - tool.k1 + 1;
  TWorkerPool::Instance().SetThreadCount(0);
}
BENCHMARK(BM_SearchObjectMatrix)->Arg(1)->Arg(2)->Arg(8)->Unit(benchmark::kMillisecond)->UseManualTime();

// The shared channel (step mode: X/Y from the set), and one memory pass of it.
void BM_SearchObjectChannel(benchmark::State& state) {
  TChannelFixture& f = Fixture();
  TWorkerPool::Instance().SetThreadCount(static_cast<int>(state.range(0)));
  TSearchObjectTool tool;
  tool.SetView_(0, f.view.get());
  TSearchObjectParam set{true, 0.8L, 25, 40, 0};
  tool.SetParam(0, &set);
  tool.execute(false, 0);
  for (auto _ : state) {
    tool.execute(true, 0);
    benchmark::ClobberMemory();
  }
  std::memcpy(f.view->dezoData.Data(), f.raw.data(), static_cast<size_t>(kBytes));
  state.SetBytesProcessed(state.iterations() * kBytes);
  TWorkerPool::Instance().SetThreadCount(0);
}
BENCHMARK(BM_SearchObjectChannel)->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void BM_SearchObjectMemoryPass(benchmark::State& state) {
  TChannelFixture& f = Fixture();
  std::vector<int32_t> copy(f.raw.size());
  for (auto _ : state) {
    std::memcpy(copy.data(), f.view->dezoData.Data(), static_cast<size_t>(kBytes));
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * kBytes);
}
BENCHMARK(BM_SearchObjectMemoryPass)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
