#include "radargram/online_strip.h"

#include "platform/rtl/rounding.h"
#include "platform/ui/bitmap.h"
#include "raster/bitmap32.h"
#include "raster/resampler_kernels.h"
#include "raster/resampler_transfer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>
#include <memory>

namespace online_strip {

TStripGrowth GrowthFor(int64_t s, TStripRange& range) {
  if (s < range.Begin) {
    range.Begin -= GrowthColumns;
    return sgFront;
  }
  if (s >= range.End) {
    range.End += GrowthColumns;
    return sgBack;
  }
  return sgNone;
}

int64_t FitStrip(TBitmap& strip, int64_t origin, const TStripRange& range) {
  const int64_t width = strip.Width();
  const int rows = strip.Height();
  if (width <= 0 || rows <= 0) return origin;
  const int64_t front = origin - range.Begin;
  const int64_t back = range.End - (origin + width);
  if (front <= 0 && back <= 0) return origin;
  const int64_t addFront = front > 0 ? std::max({front, width, int64_t{GrowthColumns}}) : 0;
  const int64_t addBack = back > 0 ? std::max({back, width, int64_t{GrowthColumns}}) : 0;
  const int64_t newWidth = width + addFront + addBack;
  if (newWidth > std::numeric_limits<int>::max()) throw std::bad_alloc();
  strip.SetSize(static_cast<int>(newWidth), rows);
  if (strip.Width() != newWidth) throw std::bad_alloc();
  for (int y = 0; y < rows; ++y) {
    uint8_t* row = strip.ScanLine(y);
    if (addFront > 0) {
      std::memmove(row + addFront, row, static_cast<size_t>(width));
      std::memset(row, ZeroIndex, static_cast<size_t>(addFront));
    }
    std::memset(row + addFront + width, ZeroIndex, static_cast<size_t>(addBack));
  }
  return origin - addFront;
}

void ResetStrip(TBitmap& strip, const TStripRange& range, int rows) {
  strip.SetPixelFormat(pf8bit);
  strip.SetSize(static_cast<int>(std::max<int64_t>(range.Width(), 0)), std::max(rows, 0));
  for (int y = 0; y < strip.Height(); ++y) std::memset(strip.ScanLine(y), ZeroIndex, static_cast<size_t>(strip.Width()));
}

bool HoldsSignal(std::span<const int32_t> samples) {
  const size_t n = samples.size();
  if (n == 0) return false;
  return samples[0] != 0 || (n > 1 && samples[1] != 0) || (n > 1 && samples[n - 2] != 0) || samples[n - 1] != 0;
}

void DivideByDivisors(std::span<int32_t> samples, std::span<const int32_t> divisors) {
  const size_t n = std::min(samples.size(), divisors.size());
  for (size_t i = 0; i < n; ++i) {
    const int32_t d = std::max(divisors[i], 1);
    if (d != 1) samples[i] = static_cast<int32_t>(std::nearbyint(static_cast<double>(samples[i]) / d));
  }
}

uint8_t OnlineIndex(int32_t sample, long double nrmCoef) {
  const long double v = std::nearbyint(static_cast<long double>(sample) * nrmCoef + 127.0L);
  if (!(v > 0)) return 0;
  return v >= 255 ? 255 : static_cast<uint8_t>(v);
}

void DrawColumn(std::span<uint8_t* const> rows, int column, std::span<const int32_t> samples, long double nrmCoef) {
  const size_t n = std::min(rows.size(), samples.size());
  // One multiplication in double per sample: the samples are at most 2^31 and
  // the scale a small factor, far from double's limits.
  const double k = static_cast<double>(nrmCoef);
  for (size_t r = 0; r < n; ++r) {
    const double v = std::nearbyint(static_cast<double>(samples[r]) * k + 127.0);
    rows[r][column] = v <= 0 ? 0 : v >= 255 ? 255 : static_cast<uint8_t>(v);
  }
}

void DrawStripedColumn(std::span<uint8_t* const> rows, int column) {
  for (size_t r = 0; r < rows.size(); ++r) rows[r][column] = (r % 2 == 1) ? 255 : 0;
}

TPaintRun PaintRun(int64_t s, int64_t k, bool backward) {
  k = std::max<int64_t>(k, 0);
  return backward ? TPaintRun{s, k + 1} : TPaintRun{s - 1 - k, k + 1};
}

TVisibleColumns VisibleColumns(int64_t first, int64_t last, int64_t traces, int64_t offset, int64_t stripWidth) {
  TVisibleColumns v;
  first = std::clamp<int64_t>(first, 0, stripWidth);
  last = std::clamp<int64_t>(last, first, stripWidth);
  int64_t width = std::min(last - first, std::max<int64_t>(traces, 0));
  const int64_t widen = std::clamp<int64_t>(offset, 0, first);
  first -= widen;
  width += widen;
  width = std::min(width, stripWidth - first);
  if (width <= 0) return v;
  v.First = static_cast<int>(first);
  v.Width = static_cast<int>(width);
  v.Offset = static_cast<int>(widen);
  return v;
}

void CopyColumns(TBitmap& strip, int first, int width, int rows, TBitmap& visible) {
  visible.SetPixelFormat(pf8bit);
  rows = std::min(rows, strip.Height());
  width = std::clamp(width, 0, std::max(strip.Width() - first, 0));
  visible.SetSize(width, rows);
  for (int y = 0; y < rows && width > 0; ++y)
    std::memcpy(visible.ScanLine(y), strip.ScanLine(y) + first, static_cast<size_t>(width));
}

std::array<TColor32, 256> IndexColours(const TBitmap& bitmap) {
  std::array<TColor32, 256> colours{};
  const TPaletteObject* palette = bitmap.Palette();
  for (uint32_t i = 0; i < 256; ++i) {
    if (!palette) {
      colours[i] = 0xFF000000u | (i << 16) | (i << 8) | i;
    } else if (i < palette->Entries.size()) {
      const TPaletteEntry& e = palette->Entries[i];
      colours[i] = 0xFF000000u | (uint32_t{e.peRed} << 16) | (uint32_t{e.peGreen} << 8) | e.peBlue;
    } else {
      colours[i] = 0xFF000000u;
    }
  }
  return colours;
}

void StretchOnline(TBitmap& source, TBitmap& target, int x, int dstWidth, int dstHeight, bool simple,
                   TBitmap32& scratch, TBitmap32& resampled) {
  if (dstWidth <= 0 || dstHeight <= 0) return;
  if (target.PixelFormat() != pf32bit && target.PixelFormat() != pfDevice) target.SetPixelFormat(pf32bit);
  if (target.Width() < dstWidth + 100 || target.Height() < dstHeight + 100)
    target.SetSize(std::max(target.Width(), dstWidth + 100), std::max(target.Height(), dstHeight + 100));
  const int sw = source.Width(), sh = source.Height();
  if (sw <= 0 || sh <= 0) return;
  const std::array<TColor32, 256> colours = IndexColours(source);
  // The part of the destination inside the target.
  const int from = std::max(0, -x);
  const int to = std::min(dstWidth, target.Width() - x);
  const int rows = std::min(dstHeight, target.Height());
  if (from >= to || rows <= 0) return;

  if (simple) {
    // Nearest pixel: destination column c takes source column c x sw / dstWidth.
    std::vector<int> columnOf(static_cast<size_t>(dstWidth));
    for (int c = 0; c < dstWidth; ++c) columnOf[static_cast<size_t>(c)] = static_cast<int>(int64_t{c} * sw / dstWidth);
    for (int y = 0; y < rows; ++y) {
      const uint8_t* in = source.ScanLine(static_cast<int>(int64_t{y} * sh / dstHeight));
      auto* out = reinterpret_cast<TColor32*>(target.ScanLine(y)) + x;
      for (int c = from; c < to; ++c) out[c] = colours[in[columnOf[static_cast<size_t>(c)]]];
    }
    return;
  }

  scratch.SetSize(sw, sh);
  for (int y = 0; y < sh; ++y) {
    const uint8_t* in = source.ScanLine(y);
    TColor32* out = scratch.ScanLine(y);
    for (int c = 0; c < sw; ++c) out[c] = colours[in[c]];
  }
  resampled.SetSize(dstWidth, dstHeight);
  TKernelResampler resampler;
  resampler.SetKernel(std::make_unique<TLinearKernel>());
  const TRect area{0, 0, dstWidth, dstHeight};
  ResampleTransfer(&resampled, area, area, &scratch, scratch.BoundsRect(), &resampler, dmOpaque, nullptr);
  for (int y = 0; y < rows; ++y) {
    const TColor32* in = resampled.ScanLine(y);
    auto* out = reinterpret_cast<TColor32*>(target.ScanLine(y)) + x;
    std::memcpy(out + from, in + from, static_cast<size_t>(to - from) * sizeof(TColor32));
  }
}

}  // namespace online_strip
