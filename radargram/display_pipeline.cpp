#include "radargram/display_pipeline.h"

#include "platform/rtl/rounding.h"
#include "profiledata/setting_data.h"
#include "radargram/display_kernels.h"
#include "platform/ui/bitmap.h"
#include "raster/bitmap32.h"
#include "raster/resampler_kernels.h"
#include "raster/resampler_transfer.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <cmath>
#include <limits>
#include <new>

namespace display_pipeline {

// ---- Threads ---------------------------------------------------------------------------

namespace {
int DefaultThreads() { return static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 8u)); }
std::atomic<int>& ThreadSetting() {
  static std::atomic<int> threads{0};
  return threads;
}

// Runs work(from, to) over [0, n) in contiguous blocks whose starts are multiples
// of `grain`, one block per thread; the calling thread takes the first.
void ParallelBlocks(int64_t n, int64_t grain, const std::function<void(int64_t, int64_t)>& work) {
  // Small jobs are not worth a thread's start.
  constexpr int64_t kMinPerThread = 1 << 16;
  const int64_t threads = std::clamp<int64_t>(std::min<int64_t>(DisplayThreads(), n / kMinPerThread), 1, 64);
  if (threads <= 1) {
    if (n > 0) work(0, n);
    return;
  }
  const int64_t units = (n + grain - 1) / grain;
  std::vector<std::thread> pool;
  std::exception_ptr error;
  std::mutex errorLock;
  const auto guarded = [&](int64_t from, int64_t to) {
    try {
      work(from, to);
    } catch (...) {
      std::lock_guard guard(errorLock);
      if (!error) error = std::current_exception();
    }
  };
  for (int64_t k = 1; k < threads; ++k) {
    const int64_t from = std::min(n, units * k / threads * grain);
    const int64_t to = std::min(n, units * (k + 1) / threads * grain);
    if (to > from) pool.emplace_back(guarded, from, to);
  }
  guarded(0, std::min(n, units / threads * grain));
  for (std::thread& t : pool) t.join();
  if (error) std::rethrow_exception(error);
}
}  // namespace

int DisplayThreads() {
  const int set = ThreadSetting().load();
  return set > 0 ? set : DefaultThreads();
}

void SetDisplayThreads(int threads) { ThreadSetting().store(threads); }

// ---- Stacking ------------------------------------------------------------------------

int32_t GetStackingDivisor(int32_t sample, const TSettingData& settings) {
  int32_t divisor = 1;
  const int64_t limit = int64_t{sample} + 1;
  for (int k = 1; k < SteckingRunCount; ++k) {
    const TSteckingRun& run = settings.SteckingArray[static_cast<size_t>(k)];
    if (run.Start > limit) break;
    divisor = run.Count;
  }
  return std::max(divisor, 1);
}

std::vector<int32_t> StackingDivisors(const TSettingData& settings, int32_t longTrace) {
  std::vector<int32_t> divisors(static_cast<size_t>(std::max(longTrace, 0)), 1);
  if (!settings.GetAdvanceStacking()) {
    std::fill(divisors.begin(), divisors.end(), std::max<int32_t>(settings.GetStacking(), 1));
    return divisors;
  }
  // The rule of GetStackingDivisor for every sample in one pass: the entries it
  // consults only grow with the sample.
  int k = 1;
  int32_t divisor = 1;
  for (int32_t j = 0; j < longTrace; ++j) {
    while (k < SteckingRunCount && settings.SteckingArray[static_cast<size_t>(k)].Start <= int64_t{j} + 1) {
      divisor = settings.SteckingArray[static_cast<size_t>(k)].Count;
      ++k;
    }
    divisors[static_cast<size_t>(j)] = std::max(divisor, 1);
  }
  return divisors;
}

void DivideByStacking(const int32_t* raw, int32_t* out, int64_t samples, const std::vector<int32_t>& divisors) {
  const int64_t longTrace = static_cast<int64_t>(divisors.size());
  if (longTrace == 0 || samples <= 0) return;
  std::vector<double> reciprocal(divisors.begin(), divisors.end());
  const bool uniform = std::all_of(divisors.begin(), divisors.end(), [&](int32_t d) { return d == divisors[0]; });
  ParallelBlocks(samples, longTrace, [&](int64_t first, int64_t end) {
    for (int64_t from = first; from < end; from += longTrace) {
      const int64_t n = std::min(longTrace, end - from);
      if (uniform)
        display_kernels::DivideRowUniform(raw + from, out + from, n, static_cast<double>(divisors[0]));
      else
        display_kernels::DivideRow(raw + from, out + from, n, reciprocal.data());
    }
  });
}

// ---- Normalisation and palette indices ------------------------------------------------

int32_t DisplayMaximum(const int32_t* data, int64_t traces, int32_t longTrace, double koefArrMax) {
  if (traces <= 0 || longTrace <= 0 || !data) return 1;
  std::vector<int32_t> maxima(static_cast<size_t>(traces));
  ParallelBlocks(traces * longTrace, longTrace, [&](int64_t first, int64_t end) {
    for (int64_t t = first / longTrace; t < end / longTrace; ++t)
      maxima[static_cast<size_t>(t)] = std::max(display_kernels::MaxAbs(data + t * longTrace, longTrace), 1);
  });
  const int64_t index = std::clamp<int64_t>(Round(static_cast<long double>(traces) * koefArrMax - 1), 0, traces - 1);
  // Only the element at the index matters: a partial sort gives the same one.
  std::nth_element(maxima.begin(), maxima.begin() + index, maxima.end());
  return maxima[static_cast<size_t>(index)];
}

uint8_t PaletteIndex(int32_t value, double k) { return display_kernels::IndexOf(value, k); }

void MapToPaletteIndices(const int32_t* data, int64_t traces, int32_t longTrace, double k,
                         const std::vector<uint8_t*>& rows) {
  if (traces <= 0 || longTrace <= 0 || static_cast<int64_t>(rows.size()) < longTrace) return;
  // Blocks of 64 traces: no two threads write the same bytes of a row.
  ParallelBlocks(traces * longTrace, int64_t{64} * longTrace, [&](int64_t first, int64_t end) {
    const int64_t t0 = first / longTrace;
    display_kernels::MapTransposed(data + first, end / longTrace - t0, longTrace, k, rows.data(), t0);
  });
}

// ---- Zoom ----------------------------------------------------------------------------

namespace {
// round(v) when it fits a non-negative int, else -1.
int64_t RoundedSize(long double v) {
  if (!std::isfinite(v)) return -1;
  const int64_t r = Round(v);
  return r >= 0 && r <= std::numeric_limits<int>::max() ? r : -1;
}
}  // namespace

TZoomSize ZoomedSize(int width, int height, long double proportion, int zoomFactor, long double zoomToMaster) {
  if (zoomFactor <= 0) return {};
  const int64_t h = RoundedSize(static_cast<long double>(height) * 1000 / zoomFactor);
  const int64_t w = RoundedSize(static_cast<long double>(width) * proportion * 1000 / zoomFactor);
  if (h < 0 || w < 0) return {};
  const int64_t zh = RoundedSize(h * zoomToMaster);
  const int64_t zw = RoundedSize(w * zoomToMaster);
  if (zh < 0 || zw < 0) return {};
  return {static_cast<int>(zw), static_cast<int>(zh)};
}

int64_t MetresToTraces(long double metres, long double stepMm) {
  if (stepMm == 0 || !std::isfinite(stepMm)) return 0;
  return Round(metres * 1000 / stepMm);
}

long double StartXShiftSpan(const std::array<TShiftSlot, 5>& channelSlots, int index) {
  bool any = false;
  int32_t smallest = 0, largest = 0;
  for (const TShiftSlot& slot : channelSlots) {
    if (!slot.HasStore || !slot.Counts) continue;
    if (!any || slot.StartXShift < smallest) smallest = slot.StartXShift;
    if (!any || slot.StartXShift > largest) largest = slot.StartXShift;
    any = true;
  }
  if (!any || index >= static_cast<int>(channelSlots.size())) return 0;
  if (index < 0) return (static_cast<long double>(largest) - smallest) / 100000;
  const TShiftSlot& slot = channelSlots[static_cast<size_t>(index)];
  if (!slot.HasStore) return 0;
  return (static_cast<long double>(slot.StartXShift) - smallest) / 100000;
}

TZoomPlacement PlaceZoomImage(int zoomedWidth, int x, int v, bool flipped) {
  TZoomPlacement placement;
  placement.Width = v + zoomedWidth;
  const int W = placement.Width;
  const auto margin = [&](int from, int to) {
    from = std::clamp(from, 0, W);
    to = std::clamp(to, 0, W);
    if (to > from) placement.Margins.push_back({from, to});
  };
  if (!flipped) {
    margin(0, x);
    if (x < v) margin(x + zoomedWidth, W);
    placement.ImageLeft = x;
  } else {
    margin(0, v - x);
    if (x < v) margin(W - x, W);
    placement.ImageLeft = v - x;
  }
  return placement;
}

namespace {

// The opaque colours the indices of an 8-bit picture stand for (the grey ramp
// without a palette; black past its end), as importing the picture gives them.
std::array<TColor32, 256> PaletteColours(const TBitmap& picture) {
  std::array<TColor32, 256> colours{};
  const TPaletteObject* palette = picture.Palette();
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

// The picture's pixels in 32 bits into target at column left (target at least as
// tall, and wide enough from left on).
void PictureInto(TBitmap& picture, TCustomBitmap32& target, int left) {
  if (picture.PixelFormat() != pf8bit) {
    TBitmap32 copy;
    copy.Assign(static_cast<TObject*>(&picture));
    copy.DrawTo(&target, left, 0);
    return;
  }
  const std::array<TColor32, 256> colours = PaletteColours(picture);
  const int w = picture.Width();
  std::vector<const uint8_t*> rows(static_cast<size_t>(picture.Height()));
  for (int y = 0; y < picture.Height(); ++y) rows[static_cast<size_t>(y)] = picture.ScanLine(y);
  ParallelBlocks(int64_t{w} * picture.Height(), w, [&](int64_t first, int64_t end) {
    for (int64_t y = first / w; y < end / w; ++y) {
      const uint8_t* in = rows[static_cast<size_t>(y)];
      TColor32* out = target.ScanLine(static_cast<int>(y)) + left;
      for (int x = 0; x < w; ++x) out[x] = colours[in[x]];
    }
  });
}

}  // namespace

void DrawZoomBitmap(TBitmap& display, TZoomSize size, const TZoomPlacement& placement, bool flipped,
                    TColor32 marginColor, TCustomBitmap32& target, TCustomBitmap32& scratch) {
  const bool drawn = size.Width > 0 && size.Height > 0 && !display.Empty();
  const bool resized = size.Width != display.Width() || size.Height != display.Height();
  if (drawn && resized) {
    scratch.SetSize(display.Width(), display.Height());
    if (scratch.Empty()) throw std::bad_alloc();
  }
  for (const TColumns& columns : placement.Margins)
    target.FillRect(columns.From, 0, columns.To, size.Height, marginColor);
  if (!drawn) return;

  const int left = placement.ImageLeft;
  if (!resized) {
    // One screen pixel per picture pixel: the kernel would only copy.
    PictureInto(display, target, left);
  } else {
    PictureInto(display, scratch, 0);
    TKernelResampler resampler;
    resampler.SetKernel(std::make_unique<TLanczosKernel>());
    const TRect area{left, 0, left + size.Width, size.Height};
    ResampleTransfer(&target, area, area, &scratch, scratch.BoundsRect(), &resampler, dmOpaque, nullptr);
  }
  if (flipped) {
    for (int y = 0; y < size.Height; ++y) {
      TColor32* row = target.ScanLine(y) + left;
      std::reverse(row, row + size.Width);
    }
  }
}

std::unique_ptr<TBitmap32> BuildZoomBitmap(TBitmap& display, TZoomSize size, const TZoomPlacement& placement,
                                           bool flipped, TColor32 marginColor) {
  auto result = std::make_unique<TBitmap32>();
  result->SetSize(placement.Width, size.Height);
  if (placement.Width > 0 && size.Height > 0 && result->Empty()) throw std::bad_alloc();
  TBitmap32 scratch;
  DrawZoomBitmap(display, size, placement, flipped, marginColor, *result, scratch);
  return result;
}

// ---- Screen positions of marks -------------------------------------------------------

int64_t MarkColumn(int64_t trace, int64_t minTrace, int64_t maxTrace, bool flipped) {
  return flipped ? maxTrace - trace : trace - minTrace;
}

int ScreenX(long double column, long double shiftTraces, const TScreenScale& scale) {
  if (scale.ZoomFactor <= 0) return 0;
  const long double scaled =
      static_cast<long double>(Round((column + shiftTraces) * scale.Proportion * 1000 / scale.ZoomFactor));
  return SaturateToInt32(Round(scaled * scale.ZoomToMaster) - Round(scale.HorScroll / 100.0L));
}

int ScreenY(long double row, const TScreenScale& scale) {
  if (scale.ZoomFactor <= 0) return 0;
  const long double scaled = static_cast<long double>(Round(row * 1000 / scale.ZoomFactor));
  return RoundToInt32(-scale.VertScroll / 100.0L + static_cast<long double>(Round(scaled * scale.ZoomToMaster)));
}

// ---- Overlay composition ---------------------------------------------------------------

void BlendPostProcBmp(const TCustomBitmap32& base, const TCustomBitmap32& overlay, uint8_t alpha,
                      TCustomBitmap32& result) {
  TCustomBitmap32 copy;
  copy.SetSize(overlay.Width(), overlay.Height());
  copy.Clear(0);
  if (!base.Empty()) const_cast<TCustomBitmap32&>(base).DrawTo(&copy, 0, 0);
  auto& over = const_cast<TCustomBitmap32&>(overlay);
  const TDrawMode mode = over.DrawMode();
  const uint32_t master = over.MasterAlpha();
  over.SetDrawMode(dmBlend);
  over.SetMasterAlpha(alpha);
  if (!over.Empty()) over.DrawTo(&copy, 0, 0);
  over.SetDrawMode(mode);
  over.SetMasterAlpha(master);
  result.Assign(&copy);
}

namespace {
void CopyInto(const TCustomBitmap32* source, TCustomBitmap32& target) {
  if (source)
    target.Assign(const_cast<TCustomBitmap32*>(source));
  else
    target.SetSize(0, 0);
}

// [4] := the amplitude colour where every checked overlay marks, clear elsewhere.
void IntersectPostProcBmp(const std::array<TCustomBitmap32*, 5>& bitmaps, const std::array<bool, 4>& checked,
                          const std::array<TOverlayLook, 4>& looks) {
  TCustomBitmap32& result = *bitmaps[4];
  const TCustomBitmap32* base = bitmaps[0];
  const int w = base ? base->Width() : 0;
  const int h = base ? base->Height() : 0;
  result.SetSize(w, h);
  const TColor32 mark = 0xFF000000u | (looks[1].Color & 0x00FFFFFFu);
  for (int y = 0; y < h; ++y) {
    TColor32* out = result.ScanLine(y);
    for (int x = 0; x < w; ++x) {
      bool all = true;
      for (int i = 1; i <= 3 && all; ++i) {
        if (!checked[static_cast<size_t>(i)]) continue;
        const TCustomBitmap32* overlay = bitmaps[static_cast<size_t>(i)];
        all = overlay && x < overlay->Width() && y < overlay->Height() && overlay->Pixel(x, y) != OverlayClear;
      }
      out[x] = all ? mark : OverlayClear;
    }
  }
  if (checked[0] && base) {
    TCustomBitmap32 composed;
    BlendPostProcBmp(*base, result, looks[1].AlphaBlend, composed);
    result.Assign(&composed);
  }
}
}  // namespace

void ComposePostProcBmp(const std::array<TCustomBitmap32*, 5>& bitmaps, const std::array<bool, 4>& checked,
                        bool intersection, const std::array<TOverlayLook, 4>& looks) {
  if (!bitmaps[4]) return;
  std::vector<int> on;
  for (int i = 0; i < 4; ++i)
    if (checked[static_cast<size_t>(i)]) on.push_back(i);
  TCustomBitmap32& result = *bitmaps[4];
  if (on.empty()) return CopyInto(bitmaps[0], result);
  if (on.size() == 1) return CopyInto(bitmaps[static_cast<size_t>(on[0])], result);
  if (intersection) return IntersectPostProcBmp(bitmaps, checked, looks);
  const TCustomBitmap32 none;
  const auto bitmapOf = [&](int i) -> const TCustomBitmap32& {
    const TCustomBitmap32* b = bitmaps[static_cast<size_t>(i)];
    return b ? *b : none;
  };
  TCustomBitmap32 composed;
  BlendPostProcBmp(bitmapOf(on[0]), bitmapOf(on[1]), looks[static_cast<size_t>(on[1])].AlphaBlend, composed);
  for (size_t k = 2; k < on.size(); ++k) {
    TCustomBitmap32 next;
    BlendPostProcBmp(composed, bitmapOf(on[k]), looks[static_cast<size_t>(on[k])].AlphaBlend, next);
    composed.Assign(&next);
  }
  result.Assign(&composed);
}

}  // namespace display_pipeline
