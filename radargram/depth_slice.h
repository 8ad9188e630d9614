#pragma once
// The depth slice without the window: which sample row of each channel a depth
// takes, the rows of the slice image, the strongest of the five depths, the
// slice's limits and the horizontal follow of the online slice.
//
// Depths are metres (negative above the surface); every routine is pure.

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

class TSettingData;

namespace depth_slice {

// Offsets of the four extra slices of the strongest-of-five mode, metres.
constexpr std::array<long double, 5> kAlphaOffsets{0.0L, -0.02L, -0.04L, 0.02L, 0.04L};

// The slice sample of a channel: max(0, DepthToSample(depth)).
int32_t SliceSample(const TSettingData& settings, long double depth);

// One shown channel as the slice reads it: its 8-bit display picture and settings.
struct TSliceChannel {
  const TSettingData* Settings = nullptr;
  int32_t Width = 0;
  int32_t Height = 0;
  std::function<const uint8_t*(int32_t row)> Row;
};

// The slice image (width x channels.size() indices, row c = channel c) at
// depth + offset (just depth when that sum is negative): each channel's row
// DepthToSample(d) of its own settings, kept within its picture, copied over the
// width both share; the rest of the row (and a channel without picture) is 127.
std::vector<uint8_t> SliceRows(const std::vector<TSliceChannel>& channels, int32_t width, long double depth,
                               long double offset);

// Each pixel the first, in order, of the largest |value - 127| among the slices
// (all of one size).
std::vector<uint8_t> StrongestOfSlices(const std::vector<std::vector<uint8_t>>& slices);

// round(100 x the smallest SampleToDepth(0) of the channels, never above 0): cm.
int32_t Min0forDeep(const std::vector<const TSettingData*>& channels);
// round(100 x SampleToDepth(LongTrace)) of a channel: cm.
int32_t MaxDepthCm(const TSettingData& settings);

// The Auto depth: round(100 x the mean of the depths), cm; 0 without depths.
int32_t MeanDepthCm(const std::vector<long double>& depths);

// The online slice's first trace column: p = the position - MinNumTraces, w the
// previous first column, T the online trace count. Before MaxNumTraces the
// column follows p by at most a chart width; at or past it the last chart width
// of the slice shows. Below 1 it is 0 (no shift).
int64_t OnlineFirstColumn(int64_t position, int64_t minNumTraces, int64_t maxNumTraces, int64_t previous,
                          int64_t chartWidth, int64_t traceCount);

}  // namespace depth_slice
