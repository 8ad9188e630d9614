#pragma once
// The online display's strip without the window: the 8-bit strip bitmaps that
// hold one column per trace of a recording, the columns a paint pass draws, the
// growth of the strips, the trace conversions and the stretch of the visible
// part into a chart's back image.
//
// Everything here writes only what it is given; the window calls it on the
// user-interface thread. Rounding is to nearest with ties to even.

#include "raster/color32.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

class TBitmap;
class TBitmap32;

namespace online_strip {

// The palette index of amplitude 0: new and empty columns hold it.
inline constexpr uint8_t ZeroIndex = 127;
// Columns a strip grows by when a position leaves it.
inline constexpr int GrowthColumns = 500;
// A recording stops by itself when channel 0 holds more traces than this.
inline constexpr int64_t AutoStopTraces = 30000;

// A strip's trace range: the first column's trace and one past the last's.
struct TStripRange {
  int64_t Begin = -100;
  int64_t End = 2000;
  int64_t Width() const { return End - Begin; }
  friend bool operator==(const TStripRange&, const TStripRange&) = default;
};

enum TStripGrowth : uint8_t { sgNone, sgFront, sgBack };

// Where the strips grow for position s (one step of GrowthColumns per call), with
// range moved accordingly.
TStripGrowth GrowthFor(int64_t s, TStripRange& range);

// Makes an 8-bit strip whose first column shows trace `origin` cover range:
// it widens at the front (content shifted right) or at the back, by at least
// the missing columns and at least its own width, so that a long recording
// costs few widenings. New columns hold ZeroIndex. Returns the trace of the
// first column afterwards. std::bad_alloc (the strip as it was) when memory
// cannot be had.
int64_t FitStrip(TBitmap& strip, int64_t origin, const TStripRange& range);

// A new 8-bit strip of range's width and `rows` rows, every pixel ZeroIndex.
void ResetStrip(TBitmap& strip, const TStripRange& range, int rows);

// True when the trace came from the device: one of samples 0, 1, n - 2, n - 1
// is not zero. A trace filled in for a lost packet is all zero.
bool HoldsSignal(std::span<const int32_t> samples);

// sample[i] := round(sample[i] / divisors[i]) (a divisor below 1 counts as 1;
// samples past the divisors keep their value).
void DivideByDivisors(std::span<int32_t> samples, std::span<const int32_t> divisors);

// clamp(round(sample x nrmCoef + 127), 0, 255).
uint8_t OnlineIndex(int32_t sample, long double nrmCoef);

// Column `column` of a strip whose row r starts at rows[r]: the palette index
// of each sample (rows beyond the samples untouched), or, striped, 255 on odd
// rows and 0 on even rows (a trace standing for several positions).
void DrawColumn(std::span<uint8_t* const> rows, int column, std::span<const int32_t> samples, long double nrmCoef);
void DrawStripedColumn(std::span<uint8_t* const> rows, int column);

// The trace indexes a paint pass draws for the radar's painted position a and
// received position s, k + 1 of them in increasing order: forward the k + 1
// traces before s; backward s and the k after it (s is the newest trace there,
// as a backward store puts it at the position).
struct TPaintRun {
  int64_t First = 0;
  int64_t Count = 0;
  friend bool operator==(const TPaintRun&, const TPaintRun&) = default;
};
TPaintRun PaintRun(int64_t s, int64_t k, bool backward);

// The columns of a strip copied to the visible bitmap: first .. last at most
// `traces` wide, widened to the left by `offset` columns as far as the strip
// begins; Width 0 when nothing is visible.
struct TVisibleColumns {
  int First = 0;
  int Width = 0;
  int Offset = 0;  // columns the widening took
  friend bool operator==(const TVisibleColumns&, const TVisibleColumns&) = default;
};
TVisibleColumns VisibleColumns(int64_t first, int64_t last, int64_t traces, int64_t offset, int64_t stripWidth);

// Copies columns [first, first + width) of an 8-bit strip into an 8-bit bitmap
// of width x rows (resized when needed).
void CopyColumns(TBitmap& strip, int first, int width, int rows, TBitmap& visible);

// Stretches an 8-bit source (its palette's colours) into a 32-bit target at
// column x, row 0, to dstWidth x dstHeight: with the linear kernel, or plainly
// (nearest pixel) when simple. The target is first enlarged to dstWidth + 100 x
// dstHeight + 100 when smaller; pixels outside it are dropped. scratch is a
// work bitmap kept between calls.
void StretchOnline(TBitmap& source, TBitmap& target, int x, int dstWidth, int dstHeight, bool simple,
                   TBitmap32& scratch, TBitmap32& resampled);

// The opaque colours of an 8-bit bitmap's indices (grey ramp without palette).
std::array<TColor32, 256> IndexColours(const TBitmap& bitmap);

}  // namespace online_strip
