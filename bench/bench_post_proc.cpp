// The post-processing overlays' marking, regions and painting of one channel
// (the shared synthetic 30000 x 1024 channel) at levels 0 and 50, on the
// calling thread, beside one memory pass over the channel. The envelope
// buffers are made once per data change and are not part of these runs.
// Argument: the level in percent.

#include "bench/bench_tool_channel.h"
#include "raster/bitmap32.h"
#include "raster/raster_library.h"
#include "tools/post_proc_kernel.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

using bench_tool_channel::Fixture;
using bench_tool_channel::kBytes;
using bench_tool_channel::kSamples;
using bench_tool_channel::kTraces;
using bench_tool_channel::TChannelFixture;

int32_t LargestAmplitude(const std::vector<int32_t>& data) {
  int64_t largest = 0;
  for (int32_t v : data) largest = std::max<int64_t>(largest, std::llabs(int64_t{v}));
  return static_cast<int32_t>(largest);
}

void BM_PostProcMemoryPass(benchmark::State& state) {
  TChannelFixture& f = Fixture();
  std::vector<int32_t> copy(f.raw.size());
  for (auto _ : state) {
    std::memcpy(copy.data(), f.raw.data(), static_cast<size_t>(kBytes));
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * kBytes);
}
BENCHMARK(BM_PostProcMemoryPass)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ComparatorOverlayMarkGroupPaint(benchmark::State& state) {
  RasterLibraryStartup();
  TChannelFixture& f = Fixture();
  const int32_t threshold = PostProcThreshold(LargestAmplitude(f.raw), static_cast<int32_t>(state.range(0)));
  TBitmap32 bitmap;
  bitmap.SetSize(kTraces, kSamples);
  TMarkGrid grid;
  for (auto _ : state) {
    grid.Reset(kTraces, kSamples);
    MarkComparator(f.raw.data(), kSamples, threshold, grid);
    MarkRegions(grid, 3);
    PaintMarks(grid, 255, bitmap);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * kBytes);
}
BENCHMARK(BM_ComparatorOverlayMarkGroupPaint)->Arg(0)->Arg(50)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
