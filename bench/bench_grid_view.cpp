// The grid view's reconstruction with its defaults on a 200-trace x 500-sample
// channel (50 ns at 100 mm/ns: a 200 x 333 grid, arcs widening with the column):
// the interpolation, the rays and lists on per-cell arcs and three sweeps, for 1,
// 2 and 8 workers. Counters: the ray entries and the model's bytes.

#include "tools/imaging/grid_view_kernel.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

std::vector<int32_t> GridHyperbolas(int32_t traces, int32_t samples) {
  std::vector<int32_t> v(static_cast<size_t>(traces) * samples);
  for (int32_t x = 0; x < traces; ++x)
    for (int32_t y = 0; y < samples; ++y) {
      long double s = 0;
      for (int32_t apex = 40; apex < traces; apex += 120) {
        const long double d = y - std::sqrt(150.0L * 150 + (6.0L * (x - apex)) * (6.0L * (x - apex)));
        s += 20000 * std::exp(-d * d / 6) * std::cos(d / 2);
      }
      v[static_cast<size_t>(x) * samples + y] = static_cast<int32_t>(std::lround(s));
    }
  return v;
}

void BM_GridView(benchmark::State& state) {
  const int workers = static_cast<int>(state.range(0));
  const int32_t traces = 200, samples = 500;
  const std::vector<int32_t> input = GridHyperbolas(traces, samples);
  TGridViewSteps steps;  // 0.05, 0.05, 0.0075
  steps.dz = 50.0L / samples * 100 / 2000;
  const TGridViewSize size = GridViewSize(traces, samples, steps);
  const auto X = static_cast<int32_t>(size.X), Y = static_cast<int32_t>(size.Y);
  const TGridViewArcs arcs(steps, 0.2L, 0, RealViewSinA(RealViewAlpha(120)), 0.9L, Y);
  size_t entries = 0;
  for (auto _ : state) {
    const std::vector<int32_t> measured = InterpolateGrid(input.data(), traces, samples, X, Y, steps);
    TRealViewModel model;
    model.Build(measured.data(), X, Y, arcs, TRealViewModel::DefaultMemoryCap(), workers);
    for (int n = 0; n < 3; ++n) model.SweepParallel(workers);
    entries = static_cast<size_t>(model.Entries());
    benchmark::DoNotOptimize(model.Bm.data());
  }
  state.counters["entries"] = static_cast<double>(entries);
  state.counters["model_MB"] = static_cast<double>(TRealViewModel::EstimateBytes(X, Y, arcs)) / (1024.0 * 1024.0);
}
BENCHMARK(BM_GridView)->Arg(1)->Arg(2)->Arg(8)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
