// Stipple state and the integer horizontal and vertical spans of
// TCustomBitmap32. Spans are inclusive of both ends.

#include "raster/bitmap32.h"

#include "platform/rtl/rounding.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

// ---- Stipple ----------------------------------------------------------------------------

void TCustomBitmap32::SetStipple(const TArrayOfColor32& NewStipple) {
  FStipplePattern = NewStipple;
  FStippleCounter = 0;
}

void TCustomBitmap32::SetStipple(std::initializer_list<TColor32> NewStipple) {
  SetStipple(TArrayOfColor32(NewStipple));
}

void TCustomBitmap32::AdvanceStippleCounter(float LengthPixels) {
  if (FStipplePattern.empty()) return;
  const double l = static_cast<double>(FStipplePattern.size());
  const double d = double{LengthPixels} * FStippleStep;
  if (d == 0) return;
  const double counter = FStippleCounter + d;
  FStippleCounter = static_cast<float>(counter - l * std::floor(counter / l));
}

TColor32 TCustomBitmap32::GetStippleColor() {
  if (FStipplePattern.empty()) return 0xFF000000u;
  const int64_t count = static_cast<int64_t>(FStipplePattern.size());
  const float l = static_cast<float>(count);
  // A counter set from outside may be far from the pattern (or not a number);
  // subtracting L one at a time would then take forever.
  if (!std::isfinite(FStippleCounter)) FStippleCounter = 0;
  if (std::fabs(FStippleCounter) > 64 * l) FStippleCounter = std::fmod(FStippleCounter, l);
  while (FStippleCounter >= l) FStippleCounter -= l;
  while (FStippleCounter < 0) FStippleCounter += l;
  // A tiny negative counter plus L can round to L itself, which is 0.
  if (FStippleCounter >= l) FStippleCounter = 0;
  const int64_t i = Round(double{FStippleCounter} - 0.5);
  const int64_t w = Round((double{FStippleCounter} - static_cast<double>(i)) * 255.0);
  TColor32 result = FStipplePattern[static_cast<size_t>(i)];
  if (w != 0) {
    result = CombinePx(result, FStipplePattern[static_cast<size_t>((i + 1) % count)], static_cast<uint32_t>(255 - w));
    EndMmxState();
  }
  FStippleCounter += FStippleStep;
  return result;
}

// ---- Unclipped spans -----------------------------------------------------------------------

void TCustomBitmap32::HorzLine(int X1, int Y, int X2, TColor32 Value) {
  if (FMeasuringMode || X2 < X1) return;
  FillDwords(PixelPtr(X1, Y), static_cast<uint32_t>(int64_t{X2} - X1 + 1), Value);
}

void TCustomBitmap32::HorzLineT(int X1, int Y, int X2, TColor32 Value) {
  if (FMeasuringMode || X2 < X1) return;
  PColor32 p = PixelPtr(X1, Y);
  for (int64_t i = X1; i <= X2; ++i, ++p) FBlendProc(Value, *p);
  EndMmxState();
}

void TCustomBitmap32::VertLine(int X, int Y1, int Y2, TColor32 Value) {
  if (FMeasuringMode || Y2 < Y1) return;
  PColor32 p = PixelPtr(X, Y1);
  for (int64_t i = Y1; i <= Y2; ++i, p += FWidth) *p = Value;
}

void TCustomBitmap32::VertLineT(int X, int Y1, int Y2, TColor32 Value) {
  if (FMeasuringMode || Y2 < Y1) return;
  PColor32 p = PixelPtr(X, Y1);
  for (int64_t i = Y1; i <= Y2; ++i, p += FWidth) FBlendProc(Value, *p);
  EndMmxState();
}

// ---- Clipped spans -------------------------------------------------------------------------

void TCustomBitmap32::HorzLineS(int X1, int Y, int X2, TColor32 Value) {
  if (FMeasuringMode) {
    Changed(TRect{X1, Y, X2, Y + 1});
    return;
  }
  if (Y >= FClipRect.Top && Y < FClipRect.Bottom && ClipSpan(X1, X2, FClipRect.Left, FClipRect.Right)) {
    HorzLine(X1, Y, X2, Value);
    Changed(TRect{X1, Y, X2, Y + 1});
  }
}

void TCustomBitmap32::HorzLineTS(int X1, int Y, int X2, TColor32 Value) {
  if (FMeasuringMode) {
    Changed(TRect{X1, Y, X2, Y + 1});
    return;
  }
  if (Y >= FClipRect.Top && Y < FClipRect.Bottom && ClipSpan(X1, X2, FClipRect.Left, FClipRect.Right)) {
    HorzLineT(X1, Y, X2, Value);
    Changed(TRect{X1, Y, X2, Y + 1});
  }
}

void TCustomBitmap32::VertLineS(int X, int Y1, int Y2, TColor32 Value) {
  if (FMeasuringMode) {
    Changed(TRect{X, Y1, X + 1, Y2});
    return;
  }
  if (X >= FClipRect.Left && X < FClipRect.Right && ClipSpan(Y1, Y2, FClipRect.Top, FClipRect.Bottom)) {
    VertLine(X, Y1, Y2, Value);
    Changed(TRect{X, Y1, X + 1, Y2});
  }
}

void TCustomBitmap32::VertLineTS(int X, int Y1, int Y2, TColor32 Value) {
  if (FMeasuringMode) {
    Changed(TRect{X, Y1, X + 1, Y2});
    return;
  }
  if (X >= FClipRect.Left && X < FClipRect.Right && ClipSpan(Y1, Y2, FClipRect.Top, FClipRect.Bottom)) {
    VertLineT(X, Y1, Y2, Value);
    Changed(TRect{X, Y1, X + 1, Y2});
  }
}

// ---- Stippled spans ----------------------------------------------------------------------

namespace {

// The stippled span along one axis: A1..A2 on the line `across` (row or
// column), with the window [lo, hi) along the span and [acrossLo, acrossHi)
// across it. `plot(a)` blends one stipple colour at position a. Returns the
// drawn part's ends, or false when nothing was drawn.
template <class Plot>
bool StippledSpan(TCustomBitmap32& b, int32_t& A1, int32_t& A2, int32_t across, int32_t lo, int32_t hi,
                  int32_t acrossLo, int32_t acrossHi, Plot plot) {
  const int64_t n = std::llabs(int64_t{A2} - A1) + 1;
  const bool inside = across >= acrossLo && across < acrossHi && !(A1 < lo && A2 < lo) && !(A1 >= hi && A2 >= hi);
  if (!inside) {
    b.AdvanceStippleCounter(static_cast<float>(n));
    return false;
  }
  // The parts before the window count as if drawn, so the phase at the first
  // visible pixel is the same as without clipping.
  if (A1 < lo) {
    b.AdvanceStippleCounter(static_cast<float>(int64_t{lo} - A1));
    A1 = lo;
  } else if (A1 >= hi) {
    b.AdvanceStippleCounter(static_cast<float>(int64_t{A1} - hi + 1));
    A1 = hi - 1;
  }
  int64_t skipped = 0;
  if (A2 < lo) {
    skipped = int64_t{lo} - A2;
    A2 = lo;
  } else if (A2 >= hi) {
    skipped = int64_t{A2} - hi + 1;
    A2 = hi - 1;
  }
  const int step = A2 >= A1 ? 1 : -1;
  for (int64_t a = A1;; a += step) {
    plot(static_cast<int32_t>(a));
    if (a == A2) break;
  }
  if (skipped >= 1) b.AdvanceStippleCounter(static_cast<float>(skipped));
  return true;
}

}  // namespace

void TCustomBitmap32::HorzLineTSP(int X1, int Y, int X2) {
  if (Empty()) return;
  if (FMeasuringMode) {
    Changed(TRect{X1, Y, X2, Y + 1});
    return;
  }
  const TRect& c = FClipRect;
  if (StippledSpan(*this, X1, X2, Y, c.Left, c.Right, c.Top, c.Bottom,
                   [&](int32_t x) { SetPixelT(x, Y, GetStippleColor()); }))
    Changed(TRect{X1, Y, X2, Y + 1});
}

void TCustomBitmap32::VertLineTSP(int X, int Y1, int Y2) {
  if (Empty()) return;
  if (FMeasuringMode) {
    Changed(TRect{X, Y1, X + 1, Y2});
    return;
  }
  const TRect& c = FClipRect;
  if (StippledSpan(*this, Y1, Y2, X, c.Top, c.Bottom, c.Left, c.Right,
                   [&](int32_t y) { SetPixelT(X, y, GetStippleColor()); }))
    Changed(TRect{X, Y1, X + 1, Y2});
}
