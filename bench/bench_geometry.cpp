// Extrema and envelope geometry: the envelope of one 1024-sample trace and the extremum
// search over a block of 1000 traces x 1024 samples.

#include "profiledata/geometry_gpr.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

namespace {

constexpr int kSamples = 1024;
constexpr int kTraces = 1000;

// A decaying reflection train with a clipped direct wave, varied from trace to trace.
int32_t SyntheticSample(int t, int k) {
  const double v = 200000.0 * std::exp(-k / 300.0) * std::sin(0.07 * k + 0.001 * t);
  return static_cast<int32_t>(std::clamp(v, -150000.0, 150000.0));
}

void BM_TraceEnvelope(benchmark::State& state) {
  std::vector<long double> source(kSamples);
  for (int k = 0; k < kSamples; ++k) {
    const long double v = SyntheticSample(0, k);
    source[k] = v * v;
  }
  auto lists = std::make_unique<TarMax2InTraces>();
  std::vector<long double> block;
  for (auto _ : state) {
    block = source;
    FindTraceExtrema(0, 0, kSamples, *lists, block, true);
    TraceEnvelope(0, kSamples, 1, *lists, block);
    benchmark::DoNotOptimize(block.data());
  }
}
BENCHMARK(BM_TraceEnvelope)->Unit(benchmark::kMicrosecond);

void BM_FindExtremaInTraces(benchmark::State& state) {
  std::vector<int32_t> data(static_cast<size_t>(kTraces) * kSamples);
  for (int t = 0; t < kTraces; ++t)
    for (int k = 0; k < kSamples; ++k) data[static_cast<size_t>(t) * kSamples + k] = SyntheticSample(t, k);
  auto lists = std::make_unique<TarMax2InTraces>();
  for (auto _ : state) {
    FindExtremaInTraces(kSamples, kTraces, true, *lists, data, otAmplitude, false);
    benchmark::DoNotOptimize((*lists)[kTraces - 1].data());
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * kTraces * kSamples);
}
BENCHMARK(BM_FindExtremaInTraces)->Unit(benchmark::kMillisecond);

}  // namespace
