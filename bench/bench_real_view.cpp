// The real-view reconstruction's engine: building the rays and lists and three
// sweeps, on 200 x 250 (X/Y 5) and 2000 x 250 (X/Y 4, arcs to +-44 columns)
// samples of diffraction hyperbolas, for 1, 2 and 8 workers. Counters: the ray
// entries and the model's bytes.

#include "tools/imaging/real_view_engine.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

std::vector<int32_t> Hyperbolas(int32_t traces, int32_t samples, long double xy) {
  std::vector<int32_t> v(static_cast<size_t>(traces) * samples);
  for (int32_t x = 0; x < traces; ++x)
    for (int32_t y = 0; y < samples; ++y) {
      long double s = 0;
      for (int32_t apex = 50; apex < traces; apex += 150) {
        const long double d = y - std::sqrt(60.0L * 60 + (xy * (x - apex)) * (xy * (x - apex)));
        s += 20000 * std::exp(-d * d / 4) * std::cos(d);
      }
      v[static_cast<size_t>(x) * samples + y] = static_cast<int32_t>(std::lround(s));
    }
  return v;
}

void BM_RealView(benchmark::State& state) {
  const auto traces = static_cast<int32_t>(state.range(0));
  const long double xy = state.range(1) / 1.0L;
  const int workers = static_cast<int>(state.range(2));
  const int32_t samples = 250;
  const std::vector<int32_t> input = Hyperbolas(traces, samples, xy);
  TRealViewParams p;
  p.XYProportional = xy;
  p.dz = 0.05L;
  const long double sinA = RealViewSinA(RealViewAlpha(p.MinAmpSect));
  std::vector<int32_t> out(input.size());
  size_t entries = 0;
  for (auto _ : state) {
    TRealViewModel model;
    model.Build(input.data(), traces, samples, p, sinA, TRealViewModel::DefaultMemoryCap(), workers);
    for (int n = 0; n < 3; ++n) model.SweepParallel(workers);
    model.ModelToView(out.data());
    entries = static_cast<size_t>(model.Entries());
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["entries"] = static_cast<double>(entries);
  state.counters["model_MB"] =
      static_cast<double>(TRealViewModel::EstimateBytes(traces, samples, p, sinA)) / (1024.0 * 1024.0);
}
BENCHMARK(BM_RealView)
    ->Args({200, 5, 1})
    ->Args({200, 5, 8})
    ->Args({2000, 4, 1})
    ->Args({2000, 4, 2})
    ->Args({2000, 4, 8})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

namespace {

// The rays and lists alone, for the share of the build in the run above.
void BM_RealViewBuild(benchmark::State& state) {
  const auto traces = static_cast<int32_t>(state.range(0));
  const long double xy = state.range(1) / 1.0L;
  const std::vector<int32_t> input = Hyperbolas(traces, 250, xy);
  TRealViewParams p;
  p.XYProportional = xy;
  p.dz = 0.05L;
  const long double sinA = RealViewSinA(RealViewAlpha(p.MinAmpSect));
  for (auto _ : state) {
    TRealViewModel model;
    model.Build(input.data(), traces, 250, p, sinA, TRealViewModel::DefaultMemoryCap(), static_cast<int>(state.range(2)));
    benchmark::DoNotOptimize(model.RayCell.data());
  }
}
BENCHMARK(BM_RealViewBuild)->Args({2000, 4, 1})->Args({2000, 4, 8})->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
