#include "tools/post_proc_godograph.h"

#include "platform/rtl/rounding.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "raster/bitmap32.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr int64_t kGodographLastBin = kGodographBins - 1;
constexpr int32_t kRangeMinStart = 1000000;
constexpr TColor32 kGodographWhite = 0xFFFFFFFFu;
constexpr TColor32 kGodographBlack = 0xFF000000u;

void CountBin(std::vector<int64_t>& bins, int64_t bin) {
  if (bin >= 0 && bin <= kGodographLastBin) ++bins[static_cast<size_t>(bin)];
}

// Calls measure(values of the window, centre) for every value of the buffer.
template <typename TMeasure>
std::vector<int64_t> WindowBins(const int32_t* buffer, int longTrace, int64_t traces, int h, TMeasure measure) {
  std::vector<int64_t> bins(kGodographBins, 0);
  if (!buffer || longTrace <= 0 || traces <= 0) return bins;
  h = std::max(h, 0);
  for (int64_t t = 0; t < traces; ++t)
    for (int s = 0; s < longTrace; ++s) {
      const int64_t t0 = std::max<int64_t>(t - h, 0);
      const int64_t t1 = std::min<int64_t>(t + h, traces - 1);
      const int s0 = std::max(s - h, 0);
      const int s1 = std::min(s + h, longTrace - 1);
      CountBin(bins, measure(buffer, t0, t1, s0, s1, buffer[t * longTrace + s]));
    }
  return bins;
}

int64_t RangeBin(const int32_t* buffer, int longTrace, int64_t t0, int64_t t1, int s0, int s1) {
  int32_t mx = 0;
  int32_t mn = kRangeMinStart;
  for (int64_t r = t0; r <= t1; ++r)
    for (int k = s0; k <= s1; ++k) {
      const int32_t v = buffer[r * longTrace + k];
      mx = std::max(mx, v);
      mn = std::min(mn, v);
    }
  const long double ratio =
      mx == 0 ? 1.0L : std::fabs(static_cast<long double>(mx) - mn) / std::fabs(static_cast<long double>(mx));
  const int64_t v = Round(ratio * kGodographBins);
  return Round(static_cast<long double>(v) * kGodographLastBin / kGodographBins);
}

int64_t ContrastBin(const int32_t* buffer, int longTrace, int64_t t0, int64_t t1, int s0, int s1, int32_t c0) {
  int64_t far = 1;
  int64_t distance = 0;
  for (int64_t r = t0; r <= t1; ++r)
    for (int k = s0; k <= s1; ++k) {
      const int64_t v = buffer[r * longTrace + k];
      const int64_t d = std::llabs(v - c0);
      if (d > distance) {
        distance = d;
        far = v;
      }
    }
  int64_t ref = c0 == 0 ? 1 : c0;
  if (far > ref) ref = far;
  const int64_t m = Round(static_cast<long double>(distance) / ref * kGodographLastBin);
  return m <= kGodographLastBin ? kGodographLastBin - m : 0;
}

int GodographLongTrace(const T2Dview& view) {
  const TSettingData* settings = view.Settings();
  return settings ? settings->GetLongTrace() : 0;
}

// The whole traces a buffer of size bytes holds.
int64_t TracesIn(const T2Dview& view, int64_t size) {
  const int L = GodographLongTrace(view);
  return L > 0 && size > 0 ? size / 4 / L : 0;
}

}  // namespace

void EnsureGodographBitmap(std::unique_ptr<TBitmap32>& bitmap) {
  if (bitmap) return;
  bitmap = std::make_unique<TBitmap32>();
  bitmap->SetSize(kGodographWidth, kGodographHeight);
  bitmap->Clear(kGodographWhite);
}

std::vector<int64_t> AmplitudeGodographBins(const int32_t* data, int64_t count, int32_t level) {
  std::vector<int64_t> bins(kGodographBins, 0);
  if (!data || level <= 0) return bins;
  for (int64_t i = 0; i < count; ++i)
    CountBin(bins, Round(static_cast<long double>(std::llabs(int64_t{data[i]})) * kGodographLastBin / level));
  return bins;
}

std::vector<int64_t> WindowRangeGodographBins(const int32_t* buffer, int longTrace, int64_t traces, int h) {
  return WindowBins(buffer, longTrace, traces, h,
                    [longTrace](const int32_t* b, int64_t t0, int64_t t1, int s0, int s1, int32_t) {
                      return RangeBin(b, longTrace, t0, t1, s0, s1);
                    });
}

std::vector<int64_t> WindowContrastGodographBins(const int32_t* buffer, int longTrace, int64_t traces, int h) {
  return WindowBins(buffer, longTrace, traces, h,
                    [longTrace](const int32_t* b, int64_t t0, int64_t t1, int s0, int s1, int32_t c0) {
                      return ContrastBin(b, longTrace, t0, t1, s0, s1, c0);
                    });
}

void DrawGodographBins(const std::vector<int64_t>& bins, int width, int height, TBitmap32& bitmap) {
  if (bitmap.Width() != width || bitmap.Height() != height) bitmap.SetSize(width, height);
  if (bitmap.Empty()) return;
  bitmap.Clear(kGodographWhite);
  const int64_t most = bins.empty() ? 0 : *std::max_element(bins.begin(), bins.end());
  if (most > 0) {
    const int columns = std::min<int>(width, static_cast<int>(bins.size()));
    for (int i = 0; i < columns; ++i) {
      const long double top =
          std::ceil(static_cast<long double>(height) - 3 - static_cast<long double>(bins[static_cast<size_t>(i)]) * height / most);
      const int end = static_cast<int>(std::max<long double>(top, -1));
      for (int y = height - 2; y > end && y >= 0; --y) bitmap.SetPixel(i, y, kGodographBlack);
    }
  }
  bitmap.Changed();
}

void DrawAmplitudeGodograph(int width, int height, const int32_t* data, std::unique_ptr<TBitmap32>& bitmap,
                            int32_t level, int64_t count) {
  if (!bitmap) {
    bitmap = std::make_unique<TBitmap32>();
    bitmap->SetSize(width, height);
  }
  if (!data) return;
  DrawGodographBins(AmplitudeGodographBins(data, count, level), width, height, *bitmap);
}

void DrawWindowRangeGodograph(int width, int height, const int32_t* buffer, std::unique_ptr<TBitmap32>& bitmap,
                              const T2Dview& view, int h, int64_t size) {
  if (!bitmap) {
    bitmap = std::make_unique<TBitmap32>();
    bitmap->SetSize(width, height);
  }
  if (!buffer) return;
  DrawGodographBins(WindowRangeGodographBins(buffer, GodographLongTrace(view), TracesIn(view, size), h), width, height,
                    *bitmap);
}

void DrawWindowContrastGodograph(int width, int height, const int32_t* buffer, std::unique_ptr<TBitmap32>& bitmap,
                                 const T2Dview& view, int h, int64_t size) {
  if (!bitmap) {
    bitmap = std::make_unique<TBitmap32>();
    bitmap->SetSize(width, height);
  }
  if (!buffer) return;
  DrawGodographBins(WindowContrastGodographBins(buffer, GodographLongTrace(view), TracesIn(view, size), h), width, height,
                    *bitmap);
}
