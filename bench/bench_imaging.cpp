// The imaging tools on the shared synthetic channel of 30000 traces x 1024
// samples: the migration's diffraction sums as contributing terms per second
// (wheel mode, a trace step of 5 sample-depth steps) for 1, 2 and 8 threads, and
// the test-signal generator beside one memory pass of the channel.

#include "bench/bench_tool_channel.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "tools/imaging/diffraction_sum.h"
#include "tools/imaging/gen_test_tool.h"
#include "tools/imaging/migration_adv_tool.h"
#include "tools/imaging/migration_run.h"
#include "tools/worker_pool.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace {

using bench_tool_channel::Fixture;
using bench_tool_channel::kBytes;
using bench_tool_channel::TChannelFixture;

// The fixture in wheel mode with a trace step of 5 sample-depth steps: one
// sample is SpeedLight x SpanWidth x OverStep / 2000 = 100 x 50 x 1 / 2000 =
// 2.5 mm deep, the wheel step 12.5 mm. Restored when the scope ends.
class TWheelScope {
public:
  explicit TWheelScope(T2Dview& view) : s_(*view.Settings()) {
    speed_ = s_.GetSpeedLight();
    overStep_ = s_.GetOverStep();
    s_.RestoreSpeedLight(100);
    s_.RestoreOverStep(1);
    s_.SetWheelMult(1);
    s_.SetWheelStep(12.5);
    s_.SetRunMode(rmWheel);
  }
  ~TWheelScope() {
    s_.SetRunMode(rmStep);
    s_.RestoreSpeedLight(speed_);
    s_.RestoreOverStep(overStep_);
  }

private:
  TSettingData& s_;
  int32_t speed_ = 0;
  uint8_t overStep_ = 0;
};

void BM_MigrationAdv(benchmark::State& state) {
  TChannelFixture& f = Fixture();
  TWheelScope wheel(*f.view);
  TWorkerPool::Instance().SetThreadCount(static_cast<int>(state.range(0)));
  TMigrationAdvTool tool;
  tool.SetView_(0, f.view.get());
  tool.execute(false, 0);
  // The terms the runs add up, counted from the same row tables.
  const T2Dview& view = *f.view;
  const long double dz = view.SampleToDepth(1) - view.SampleToDepth(0);
  const double e = static_cast<double>(tool.DistanceRecept / dz / 2);
  TDiffractionSum job;
  job.Traces = view.NumTraces();
  job.LongTrace = view.Settings()->GetLongTrace();
  job.FirstRow = view.Settings()->GetNullShift();
  job.Terms = AdvancedMigrationTerms(tool.Diagram, e, job.FirstRow, view.GetProportionalCoefic(), job.LongTrace);
  const int64_t terms = CountDiffractionTerms(job);
  for (auto _ : state) {
    tool.execute(true, 0);
    benchmark::ClobberMemory();
  }
  std::memcpy(f.view->dezoData.Data(), f.raw.data(), static_cast<size_t>(kBytes));
  state.counters["XYProportional"] = static_cast<double>(tool.XYProportional);
  state.counters["terms"] = static_cast<double>(terms);
  state.counters["terms_per_s"] = benchmark::Counter(
      static_cast<double>(terms) * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  TWorkerPool::Instance().SetThreadCount(0);
}
BENCHMARK(BM_MigrationAdv)->Arg(1)->Arg(2)->Arg(8)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

// The generator at its creation values (the input kept, two hyperbolas) and with
// the input halved and noise added.
void BM_GenTest(benchmark::State& state) {
  TChannelFixture& f = Fixture();
  TWorkerPool::Instance().SetThreadCount(0);
  TGenTestTool tool;
  tool.RandomSeed = 7;
  tool.SetView_(0, f.view.get());
  if (state.range(0) != 0) {
    TGenTestParam set{true, 50, 1000, 100, 150, 200, 100, 1000, 2000, 5, 5};
    tool.SetParam(0, &set);
  }
  tool.execute(false, 0);
  for (auto _ : state) {
    tool.execute(true, 0);
    benchmark::ClobberMemory();
  }
  std::memcpy(f.view->dezoData.Data(), f.raw.data(), static_cast<size_t>(kBytes));
  state.SetBytesProcessed(state.iterations() * kBytes);
}
BENCHMARK(BM_GenTest)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
