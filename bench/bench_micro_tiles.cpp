// Micro tiles over a 1920 x 1080 buffer: one repaint's worth of changed areas
// (small boxes and line segments) recorded, turned into rectangles and
// cleared, and the union of two full grids through the portable and the
// bound tile routines.

#include "raster/micro_tiles.h"
#include "raster/raster_library.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

namespace {

const TRect kBuffer{0, 0, 1920, 1080};

std::vector<TRect> RandomAreas(int count, uint32_t seed) {
  std::mt19937 rng(seed);
  std::uniform_int_distribution<int> x(0, 1900), y(0, 1060), size(1, 60);
  std::vector<TRect> areas;
  for (int i = 0; i < count; ++i) {
    const int l = x(rng), t = y(rng);
    areas.push_back(TRect{l, t, l + size(rng), t + size(rng)});
  }
  return areas;
}

void BM_TilesRecordAndConvert(benchmark::State& state) {
  RasterLibraryStartup();
  const bool wholeTiles = state.range(1) != 0;
  const std::vector<TRect> areas = RandomAreas(static_cast<int>(state.range(0)), 3);
  TMicroTiles tiles;
  TilesSetSize(tiles, kBuffer);
  TRectList rects;
  for (auto _ : state) {
    for (const TRect& r : areas) TilesAddRect(tiles, r, wholeTiles);
    rects.Clear();
    benchmark::DoNotOptimize(TilesToRects(tiles, &rects, false, wholeTiles));
    TilesClearUsed(tiles);
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * state.range(0));
}
BENCHMARK(BM_TilesRecordAndConvert)->Args({100, 0})->Args({1000, 0})->Args({1000, 1})->ArgNames({"areas", "whole"})
    ->Unit(benchmark::kMicrosecond);

void BM_TilesAddLine(benchmark::State& state) {
  RasterLibraryStartup();
  TMicroTiles tiles;
  TilesSetSize(tiles, kBuffer);
  for (auto _ : state) {
    TilesAddLine(tiles, -500, -300, 2400, 1300, 2);
    TilesClearUsed(tiles);
  }
}
BENCHMARK(BM_TilesAddLine)->Unit(benchmark::kMicrosecond);

template <class Row>
void RunUnion(benchmark::State& state, Row row) {
  RasterLibraryStartup();
  TMicroTiles a, b;
  TilesSetSize(a, kBuffer);
  TilesSetSize(b, kBuffer);
  for (const TRect& r : RandomAreas(2000, 5)) TilesAddRect(a, r);
  for (const TRect& r : RandomAreas(2000, 6)) TilesAddRect(b, r);
  std::vector<TMicroTile> dst = a.Tiles;
  const int32_t count = a.Columns * a.Rows;
  for (auto _ : state) {
    dst = a.Tiles;
    row(dst.data(), b.Tiles.data(), count);
    benchmark::DoNotOptimize(dst.data());
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * count);
}

void BM_TileUnionRowPortable(benchmark::State& state) { RunUnion(state, &raster_portable::TileUnionRow); }
BENCHMARK(BM_TileUnionRowPortable)->Unit(benchmark::kMicrosecond);

void BM_TileUnionRowBound(benchmark::State& state) {
  RunUnion(state, [](TMicroTile* d, const TMicroTile* s, int32_t n) { TileUnionRow(d, s, n); });
}
BENCHMARK(BM_TileUnionRowBound)->Unit(benchmark::kMicrosecond);

}  // namespace
