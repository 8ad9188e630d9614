#include "radargram/depth_slice.h"

#include "platform/rtl/rounding.h"
#include "profiledata/setting_data.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace depth_slice {

int32_t SliceSample(const TSettingData& settings, long double depth) {
  return std::max(0, settings.DepthToSample(depth));
}

std::vector<uint8_t> SliceRows(const std::vector<TSliceChannel>& channels, int32_t width, long double depth,
                               long double offset) {
  width = std::max(width, 0);
  std::vector<uint8_t> slice(static_cast<size_t>(width) * channels.size(), 127);
  long double d = depth + offset;
  if (d < 0) d = depth;
  for (size_t c = 0; c < channels.size(); ++c) {
    const TSliceChannel& ch = channels[c];
    if (!ch.Settings || !ch.Row || ch.Height <= 0 || ch.Width <= 0) continue;
    const int32_t r = std::clamp(ch.Settings->DepthToSample(d), 0, ch.Height - 1);
    const uint8_t* row = ch.Row(r);
    if (!row) continue;
    std::memcpy(slice.data() + c * static_cast<size_t>(width), row, static_cast<size_t>(std::min(width, ch.Width)));
  }
  return slice;
}

std::vector<uint8_t> StrongestOfSlices(const std::vector<std::vector<uint8_t>>& slices) {
  if (slices.empty()) return {};
  std::vector<uint8_t> result = slices[0];
  for (size_t k = 0; k < result.size(); ++k) {
    int best = std::abs(result[k] - 127);
    for (size_t s = 1; s < slices.size(); ++s) {
      if (k >= slices[s].size()) continue;
      const int level = std::abs(slices[s][k] - 127);
      if (level > best) {
        best = level;
        result[k] = slices[s][k];
      }
    }
  }
  return result;
}

int32_t Min0forDeep(const std::vector<const TSettingData*>& channels) {
  long double smallest = 0;
  for (const TSettingData* s : channels)
    if (s) smallest = std::min(smallest, s->SampleToDepth(0));
  return RoundToInt32(smallest * 100);
}

int32_t MaxDepthCm(const TSettingData& settings) {
  return RoundToInt32(settings.SampleToDepth(settings.GetLongTrace()) * 100);
}

int32_t MeanDepthCm(const std::vector<long double>& depths) {
  if (depths.empty()) return 0;
  long double sum = 0;
  for (long double d : depths) sum += d;
  return RoundToInt32(sum / static_cast<long double>(depths.size()) * 100);
}

int64_t OnlineFirstColumn(int64_t position, int64_t minNumTraces, int64_t maxNumTraces, int64_t previous,
                          int64_t chartWidth, int64_t traceCount) {
  const int64_t p = position - minNumTraces;
  int64_t first;
  if (position < maxNumTraces) {
    if (p > previous)
      first = p > previous + chartWidth ? p - chartWidth : previous;
    else
      first = p;
  } else {
    first = traceCount - chartWidth;
  }
  return first < 1 ? 0 : first;
}

}  // namespace depth_slice
