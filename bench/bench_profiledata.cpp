// Trace routines of the profile data on a synthetic profile of 30000 traces x 1024
// samples.

#include "profiledata/hilbert.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

constexpr int kTraces = 30000;
constexpr int kSamples = 1024;

// A decaying reflection train per trace, varied from trace to trace.
std::vector<int32_t> SyntheticTrace(int t) {
  std::vector<int32_t> trace(kSamples);
  for (int k = 0; k < kSamples; ++k)
    trace[k] = static_cast<int32_t>(200000.0 * std::exp(-k / 300.0) * std::sin(0.07 * k + 0.001 * t));
  return trace;
}

void BM_MeanTrace(benchmark::State& state) {
  std::vector<int32_t> block(static_cast<size_t>(kTraces) * kSamples);
  for (int t = 0; t < kTraces; t += 97) {
    const auto trace = SyntheticTrace(t);
    for (int u = t; u < std::min(t + 97, kTraces); ++u)
      std::copy(trace.begin(), trace.end(), block.begin() + static_cast<size_t>(u) * kSamples);
  }
  std::vector<double> mean;
  for (auto _ : state) {
    MeanTrace(mean, block.data(), kSamples, kTraces);
    benchmark::DoNotOptimize(mean.data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(block.size()) * int64_t(sizeof(int32_t)));
}
BENCHMARK(BM_MeanTrace)->Unit(benchmark::kMillisecond);

void BM_HilbertTransformTrace(benchmark::State& state) {
  const auto source = SyntheticTrace(0);
  std::vector<int32_t> trace;
  for (auto _ : state) {
    trace = source;
    HilbertTransformTrace(trace.data(), kSamples, static_cast<int>(state.range(0)), 106.6);
    benchmark::DoNotOptimize(trace.data());
  }
}
BENCHMARK(BM_HilbertTransformTrace)->Arg(0)->Arg(1)->ArgName("mode")->Unit(benchmark::kMillisecond);

}  // namespace
