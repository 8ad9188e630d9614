#pragma once
// The radargram window's display pipeline without the window: the arithmetic that
// turns a channel's raw sums into the picture in its chart.
//
//   raw sums --(stacking division)--> working data --(display maximum, palette
//   index)--> 8-bit display bitmap --(zoom size, along-track shift)--> zoom
//   bitmap --(scroll, marker positions)--> chart back image.
//
// Every routine here is pure (or writes only the buffers it is given) and runs on
// any thread; the window calls them on the user-interface thread. Rounding is to
// nearest with ties to even throughout.

#include "raster/color32.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

class TBitmap;
class TBitmap32;
class TCustomBitmap32;
class TSettingData;

namespace display_pipeline {

// ---- Threads ---------------------------------------------------------------------------

// The per-sample loops split their traces (or rows) into contiguous blocks run on
// this many threads (default: the processors, at most 8); every element is
// computed on its own, so the result is the same for any count. 1 runs on the
// calling thread only.
int DisplayThreads();
void SetDisplayThreads(int threads);  // below 1: the default

// ---- Stacking ------------------------------------------------------------------------

// The advanced-stacking divisor of a sample: 1, then the count of every entry
// 1..999 of SteckingArray in order while the entry's first sample is at most
// sample + 1 (the scan ends at the first entry beyond). A count of 0 (a damaged
// table) divides by 1.
int32_t GetStackingDivisor(int32_t sample, const TSettingData& settings);

// The divisor of every sample 0..longTrace - 1 of a trace: the advanced-stacking
// divisors when the settings ask for them, else Stacking everywhere (0 gives 1).
std::vector<int32_t> StackingDivisors(const TSettingData& settings, int32_t longTrace);

// out[i] := round(raw[i] / divisors[i mod longTrace]) for i < samples. Divisors
// must be at least 1. Rows of traces may be split among threads: the result does
// not depend on how.
void DivideByStacking(const int32_t* raw, int32_t* out, int64_t samples, const std::vector<int32_t>& divisors);

// ---- Normalisation and palette indices ------------------------------------------------

// The display maximum of traces x longTrace samples: the per-trace maxima of
// |value| (at least 1), sorted, taken at index round(traces x koefArrMax - 1) kept
// within 0..traces - 1. 1 without traces.
int32_t DisplayMaximum(const int32_t* data, int64_t traces, int32_t longTrace, double koefArrMax);

// The palette index of a value at normalisation k: round(k x value + 127) within
// 0..255 (index 127 is amplitude 0).
uint8_t PaletteIndex(int32_t value, double k);

// Writes the indices of traces x longTrace samples (trace after trace) into an
// 8-bit picture whose row s is rows[s] (columns = traces, rows = samples).
void MapToPaletteIndices(const int32_t* data, int64_t traces, int32_t longTrace, double k,
                         const std::vector<uint8_t*>& rows);

// ---- Zoom ----------------------------------------------------------------------------

struct TZoomSize {
  int Width = 0;
  int Height = 0;
  friend bool operator==(const TZoomSize&, const TZoomSize&) = default;
};

// The zoomed size of a width x height display bitmap: height round(h x 1000 / zoom),
// width round(w x proportion x 1000 / zoom), then each x zoomToMaster rounded.
// Sizes that do not fit an int (or a zoom factor that is not positive) give 0 x 0.
TZoomSize ZoomedSize(int width, int height, long double proportion, int zoomFactor, long double zoomToMaster);

// Metres along the track as traces at a measuring step in mm: round(m x 1000 /
// step); 0 for a step of 0.
int64_t MetresToTraces(long double metres, long double stepMm);

// A channel slot as the shift span sees it.
struct TShiftSlot {
  bool HasStore = false;
  bool Counts = false;  // one of the first NewViewChannalCount channelSlots, with traces
  int32_t StartXShift = 0;  // 1e-5 m
};

// The along-track shift in metres of slot index against the leftmost counted slot,
// or (index below 0) the whole spread; 0 when no slot counts or the indexed slot
// has no store.
long double StartXShiftSpan(const std::array<TShiftSlot, 5>& channelSlots, int index);

// A run of columns [From, To) of the zoom bitmap.
struct TColumns {
  int From = 0;
  int To = 0;
  friend bool operator==(const TColumns&, const TColumns&) = default;
};

// Where the resampled image and the blank margins go in a zoom bitmap that is
// v + zoomed width wide: the image is x columns right of the leftmost channel
// (v - x for a flipped channel, which is drawn mirrored).
struct TZoomPlacement {
  int Width = 0;
  int ImageLeft = 0;
  std::vector<TColumns> Margins;
};
TZoomPlacement PlaceZoomImage(int zoomedWidth, int x, int v, bool flipped);

// Draws the zoom image of a display bitmap into target, which must be
// placement.Width x size.Height: the margins in marginColor, the picture resampled
// to size with the Lanczos kernel (through scratch, a 32-bit copy of the picture,
// when the size changes), mirrored when flipped. scratch is sized first, so a
// std::bad_alloc leaves target as it was.
void DrawZoomBitmap(TBitmap& display, TZoomSize size, const TZoomPlacement& placement, bool flipped,
                    TColor32 marginColor, TCustomBitmap32& target, TCustomBitmap32& scratch);
// The same into a new bitmap; std::bad_alloc when a bitmap cannot be had.
std::unique_ptr<TBitmap32> BuildZoomBitmap(TBitmap& display, TZoomSize size, const TZoomPlacement& placement,
                                           bool flipped, TColor32 marginColor);

// ---- Screen positions of marks -------------------------------------------------------

// The display scale and scroll state of one channel's chart.
struct TScreenScale {
  long double Proportion = 1;    // ProportionalCoefic
  int ZoomFactor = 1000;         // per mille
  long double ZoomToMaster = 1;  // ZoomToMasterDistance
  int HorScroll = 0;             // HorScrollBar position (1/100 pixel)
  int VertScroll = 0;            // VertScrollBar position
};

// The column of trace t: t - minTrace, or maxTrace - t for a flipped channel.
int64_t MarkColumn(int64_t trace, int64_t minTrace, int64_t maxTrace, bool flipped);
// X := r(r((column + shift) x P x 1000 / Z) x ZTM) - r(HorScroll / 100).
int ScreenX(long double column, long double shiftTraces, const TScreenScale& scale);
// Y := r(-VertScroll / 100 + r(r(row x 1000 / Z) x ZTM)).
int ScreenY(long double row, const TScreenScale& scale);

// ---- Overlay composition ---------------------------------------------------------------

// The transparent white of overlay pixels that mark nothing.
constexpr TColor32 OverlayClear = 0x00FFFFFF;

// What the composition takes from each overlay: [0] base image, [1] amplitude
// level, [2] envelope, [3] frequency envelope.
struct TOverlayLook {
  uint8_t AlphaBlend = 0;
  TColor32 Color = 0;  // the amplitude-level overlay's mark colour (RGB used)
};

// A copy of base, of the overlay's size, with the overlay blended over it at
// master alpha `alpha`.
void BlendPostProcBmp(const TCustomBitmap32& base, const TCustomBitmap32& overlay, uint8_t alpha,
                      TCustomBitmap32& result);
// Composes bitmaps [0..3] by the checked items into bitmaps[4]: none checked
// copies [0]; one copies it; several blend each over the previous with its own
// alpha, or (intersection) mark with the amplitude overlay's colour where every
// checked overlay marks, blended over [0] when [0] is checked. Missing bitmaps
// take part as empty ones.
void ComposePostProcBmp(const std::array<TCustomBitmap32*, 5>& bitmaps, const std::array<bool, 4>& checked,
                        bool intersection, const std::array<TOverlayLook, 4>& looks);

}  // namespace display_pipeline
