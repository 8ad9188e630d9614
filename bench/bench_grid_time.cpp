// The time grid's imaging of 1000 antennas x 500 samples at iXStep 0.01 (a
// 5000 x 333 grid, 50 ns at 100 mm/ns) for 1, 2 and 8 workers, and the section
// points of 200 antennas' picks for 1, 2 and 8 workers. Counter: cell-antenna
// terms per second.

#include "tools/imaging/grid_time_kernel.h"
#include "tools/worker_pool.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

TGridTimeAxis BenchAxis() {
  TGridTimeAxis a;
  a.LongTrace = 500;
  a.SpanWidth = 50;
  a.SpeedLight = 100;
  return a;
}

std::vector<int32_t> Offsets(int32_t antennas, int32_t samples) {
  std::vector<int32_t> v(static_cast<size_t>(antennas) * samples);
  for (int32_t i = 0; i < antennas; ++i)
    for (int32_t k = 0; k < samples; ++k) {
      const long double path = std::hypot(1.0L, 0.6L) + std::hypot(1.0L - (0.2L + 0.05L * i), 0.6L);
      const long double d = k - path / 0.005L;
      v[static_cast<size_t>(i) * samples + k] = static_cast<int32_t>(std::lround(20000 * std::exp(-d * d / 6) * std::cos(d / 2)));
    }
  return v;
}

void BM_GridTimeImage(benchmark::State& state) {
  const int workers = static_cast<int>(state.range(0));
  TWorkerPool::Instance().SetThreadCount(workers);
  const int32_t antennas = 1000, samples = 500;
  const std::vector<int32_t> S = Offsets(antennas, samples);
  TGridTimeImaging p;
  p.iXStep = 0.01L;
  p.iYStep = 0.0075L;
  p.AntenCount = antennas;
  const TGridTimeAxis axis = BenchAxis();
  const TGridTimeSize size = GridTimeSize(antennas, p.StepRecept, p.iXStep, samples, 0.005L, p.iYStep);
  for (auto _ : state) {
    std::vector<int32_t> B = GridTimeImage(S.data(), antennas, axis, p, static_cast<int32_t>(size.X),
                                           static_cast<int32_t>(size.Y), workers);
    benchmark::DoNotOptimize(B.data());
  }
  state.counters["terms_per_s"] = benchmark::Counter(static_cast<double>(size.Cells()) * antennas,
                                                     benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_GridTimeImage)->Arg(1)->Arg(2)->Arg(8)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// Four reflectors with a ringing wavelet each: some twenty picks a trace, as a
// recording with a few objects gives.
std::vector<int32_t> Reflectors(int32_t antennas, int32_t samples) {
  const long double at[4][2] = {{1.0L, 0.6L}, {3.0L, 1.0L}, {6.0L, 0.4L}, {8.0L, 1.5L}};
  std::vector<int32_t> v(static_cast<size_t>(antennas) * samples);
  for (int32_t i = 0; i < antennas; ++i)
    for (int32_t k = 0; k < samples; ++k) {
      long double sum = 0;
      for (const auto& p : at) {
        const long double dx = 0.2L + 0.05L * i;
        const long double d = k - (std::hypot(p[0], p[1]) + std::hypot(p[0] - dx, p[1])) / 0.025L;
        sum += 20000 * std::exp(-d * d / 60) * std::cos(d / 1.5L);
      }
      v[static_cast<size_t>(i) * samples + k] = static_cast<int32_t>(std::lround(sum));
    }
  return v;
}

void BM_GridTimeSectPoints(benchmark::State& state) {
  const int workers = static_cast<int>(state.range(0));
  TWorkerPool::Instance().SetThreadCount(workers);
  const int32_t antennas = 200, samples = 500;
  const std::vector<int32_t> S = Reflectors(antennas, samples);
  std::vector<std::vector<TMaxSample>> picks;
  int64_t count = 0;
  for (int32_t i = 0; i < antennas; ++i) {
    picks.push_back(TracePicks(S.data() + static_cast<size_t>(i) * samples, samples, true));
    count += static_cast<int64_t>(picks.back().size());
  }
  state.counters["picks"] = static_cast<double>(count);
  std::vector<TGridTimeAntenna> list = CreateAntennas(antennas, 0.05L, 0.2L);
  DirectWave(list, 2.0L, 0.2L, 299);
  const TGridTimeAxis axis = BenchAxis();
  const TSectRange range{0.2L, 10.2L, 0, axis.SampleToPath(samples)};
  for (auto _ : state) {
    int32_t maxCount = 0;
    benchmark::DoNotOptimize(SectPoints(picks, list, axis, range, 0.01L, 10, maxCount, workers));
  }
}
BENCHMARK(BM_GridTimeSectPoints)->Arg(1)->Arg(2)->Arg(8)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
