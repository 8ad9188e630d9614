// The object detector's pairs: 400 x 500 band-limited noise in mode 2 (the
// time-form ellipses of every pair of bright points of different traces, about
// 2 x 10^8 pairs; target under 1 s on 8 cores), and the computed traces' default
// box as a 'Y' section over five channels (target under 50 ms); for 1, 2 and 8
// threads.

#include "platform/rtl/rounding.h"
#include "tools/imaging/calc_traces_data.h"
#include "tools/imaging/obj_detect_kernel.h"
#include "tools/worker_pool.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

namespace {

constexpr double kPole = 0.82;

// Noise through a three-pole low pass: an extremum about every ten samples.
std::vector<int32_t> BandLimitedNoise(int64_t traces, int samples, uint32_t seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int32_t> noise(-1000, 1000);
  std::vector<int32_t> v(static_cast<size_t>(traces * samples));
  for (int64_t t = 0; t < traces; ++t) {
    double a = 0, b = 0, c = 0;
    for (int k = 0; k < samples; ++k) {
      a = kPole * a + noise(random);
      b = kPole * b + a;
      c = kPole * c + b;
      v[static_cast<size_t>(t * samples + k)] = static_cast<int32_t>(c / 16);
    }
  }
  return v;
}

void BM_ObjDetectPairs(benchmark::State& state) {
  TWorkerPool::Instance().SetThreadCount(static_cast<int>(state.range(0)));
  constexpr int64_t traces = 400;
  constexpr int samples = 500;
  const std::vector<int32_t> in = BandLimitedNoise(traces, samples, 5);
  std::vector<int32_t> out(in.size());
  // A trace step of 0.05 m; 0.2 ns and 0.02 m per sample (100 ns over 500 samples at 200 mm/ns).
  TObjDetectGeometry g{0.05L, 0.02L, 100, samples, 10, traces};
  TObjDetectParams p;
  p.PntVisual = 2;
  const TBrightPoints points = FindBrightPoints(in.data(), traces, samples);
  long double pairs = 0, before = 0;
  for (const auto& list : points) {
    pairs += static_cast<long double>(list.size()) * before;
    before += static_cast<long double>(list.size());
  }
  for (auto _ : state) {
    DetectObjects(in.data(), out.data(), g, p);
    benchmark::ClobberMemory();
  }
  state.counters["pairs"] = static_cast<double>(pairs);
  state.counters["pairs/s"] = benchmark::Counter(static_cast<double>(pairs), benchmark::Counter::kIsIterationInvariantRate);
  TWorkerPool::Instance().SetThreadCount(0);
}
BENCHMARK(BM_ObjDetectPairs)->Arg(1)->Arg(2)->Arg(8)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CalcTracesDefaultBox(benchmark::State& state) {
  TWorkerPool::Instance().SetThreadCount(static_cast<int>(state.range(0)));
  // Five channels of 600 traces x 512 samples, 20 mm per trace, 100 ns at
  // 100 mm/ns: the default box (11.8 m x 5 m) lies within them.
  constexpr int64_t traces = 600;
  constexpr int samples = 512;
  std::vector<std::vector<int32_t>> channels;
  for (uint32_t c = 0; c < 5; ++c) channels.push_back(BandLimitedNoise(traces, samples, 100 + c));
  TAreaCalc area;
  area.X2 = 11800;
  area.Y2 = 1200;
  area.Z2 = 5000;
  area.StepX = 20;
  area.StepY = 2;
  area.StepZ = 10;
  SetCellCounts(area, u'Y');
  int64_t pixels = 0;
  for (auto _ : state) {
    TCalcData data;
    data.Init(samples, 100, area, 20.0f, 0, 100);
    for (const auto& ch : channels) data.AddRecTraces(ch.data(), static_cast<int64_t>(ch.size()));
    if (!data.CreateCalcTraces(u'Y', 1.0f)) state.SkipWithError("no image");
    pixels = int64_t{data.CalcTraces.BufOut_Width} * data.CalcTraces.BufOut_Height;
    benchmark::ClobberMemory();
  }
  state.counters["cells"] = static_cast<double>(int64_t{area.CountX} * area.CountY * area.CountZ);
  state.counters["pixels"] = static_cast<double>(pixels);
  TWorkerPool::Instance().SetThreadCount(0);
}
BENCHMARK(BM_CalcTracesDefaultBox)->Arg(1)->Arg(2)->Arg(8)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
