// Blending rows of one million pixels through the bound routines: the source over
// the destination by its alpha (BlendRow), with a master alpha (BlendRowEx), a
// fixed-weight mix (CombineRow) and the translucent composite (MergeRow).

#include "raster/blend.h"
#include "raster/raster_library.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

namespace {

constexpr int32_t kPixels = 1000000;

// Colours with uniformly random alpha: the worst case, as no group of four pixels
// is wholly transparent or opaque.
std::vector<TColor32> RandomRow(uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<TColor32> row(kPixels);
  for (auto& c : row) c = static_cast<TColor32>(rng());
  return row;
}

template <class Blend>
void RunRowBenchmark(benchmark::State& state, Blend blend) {
  RasterLibraryStartup();
  const std::vector<TColor32> src = RandomRow(1);
  std::vector<TColor32> dst = RandomRow(2);
  for (auto _ : state) {
    blend(src.data(), dst.data());
    benchmark::DoNotOptimize(dst.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * kPixels);
  state.SetBytesProcessed(int64_t(state.iterations()) * kPixels * 3 * int64_t(sizeof(TColor32)));
}

void BM_BlendRow(benchmark::State& state) {
  RunRowBenchmark(state, [](const TColor32* s, TColor32* d) { BlendRow(s, d, kPixels); });
}
BENCHMARK(BM_BlendRow)->Unit(benchmark::kMicrosecond);

void BM_BlendRowEx(benchmark::State& state) {
  const auto m = static_cast<uint32_t>(state.range(0));
  RunRowBenchmark(state, [m](const TColor32* s, TColor32* d) { BlendRowEx(s, d, kPixels, m); });
}
BENCHMARK(BM_BlendRowEx)->Arg(64)->Arg(255)->ArgName("master")->Unit(benchmark::kMicrosecond);

void BM_CombineRow(benchmark::State& state) {
  RunRowBenchmark(state, [](const TColor32* s, TColor32* d) { CombineRow(s, d, kPixels, 100); });
}
BENCHMARK(BM_CombineRow)->Unit(benchmark::kMicrosecond);

void BM_MergeRow(benchmark::State& state) {
  RunRowBenchmark(state, [](const TColor32* s, TColor32* d) { MergeRow(s, d, kPixels); });
}
BENCHMARK(BM_MergeRow)->Unit(benchmark::kMicrosecond);

}  // namespace
