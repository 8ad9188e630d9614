// Integer Bresenham lines of TCustomBitmap32: stored, blended, and both clipped
// to ClipRect, plus the pen-position forms.
//
// Pixel k of a line with major delta M, minor delta m and h = M div 2 lies k
// steps along the major axis and (h + k m) div M steps along the minor one;
// k = M is the end point itself. The clipped forms compute the range of k whose
// pixels lie inside the window directly, so they draw exactly the pixels of the
// unclipped line that fall inside ClipRect, however far outside the ends lie.

#include "raster/bitmap32.h"
#include "raster/line_axes.h"

#include <algorithm>
#include <cstdlib>

namespace {

__extension__ using Int128 = __int128;

// floor(a / b) and ceil(a / b) for b > 0.
Int128 FloorDiv(Int128 a, Int128 b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
Int128 CeilDiv(Int128 a, Int128 b) { return -FloorDiv(-a, b); }

// A line in major/minor terms: positions a (major) and b (minor).
struct Bresenham : TLineAxes {
  using TLineAxes::TLineAxes;

  // The k range [kLo, kHi] whose pixels lie in [aMin, aMax] x [bMin, bMax]
  // (inclusive, in the line's own axes); empty when kLo > kHi.
  void Clip(int64_t aMin, int64_t aMax, int64_t bMin, int64_t bMax, int64_t& kLo, int64_t& kHi) const {
    // Along the major axis a = a1 + sa k.
    const int64_t aLo = sa > 0 ? aMin - a1 : a1 - aMax;
    const int64_t aHi = sa > 0 ? aMax - a1 : a1 - aMin;
    kLo = std::max(kLo, aLo);
    kHi = std::min(kHi, aHi);
    // Along the minor axis the offset j(k) = (h + k m) div M must lie in [jLo, jHi].
    const int64_t jLo = sb > 0 ? bMin - b1 : b1 - bMax;
    const int64_t jHi = sb > 0 ? bMax - b1 : b1 - bMin;
    const int64_t h = major / 2;
    if (minor == 0) {
      if (jLo > 0 || jHi < 0) kHi = kLo - 1;
      return;
    }
    // j(k) >= jLo  <=>  h + k m >= jLo M;  j(k) <= jHi  <=>  h + k m <= (jHi + 1) M - 1.
    const Int128 kFromLo = CeilDiv(Int128{jLo} * major - h, minor);
    const Int128 kFromHi = FloorDiv((Int128{jHi} + 1) * major - h - 1, minor);
    if (kFromLo > kLo) kLo = kFromLo > kHi ? kHi + 1 : static_cast<int64_t>(kFromLo);
    if (kFromHi < kHi) kHi = kFromHi < kLo ? kLo - 1 : static_cast<int64_t>(kFromHi);
  }

  // Calls plot(x, y) for k = kLo .. kHi, stepping the error term.
  template <class Plot>
  void Walk(int64_t kLo, int64_t kHi, Plot plot) const {
    if (kLo > kHi) return;
    const Int128 v = Int128{major / 2} + Int128{kLo} * minor;
    int64_t j = static_cast<int64_t>(v / major);
    int64_t e = static_cast<int64_t>(v % major);
    int64_t a = a1 + sa * kLo;
    for (int64_t k = kLo; k <= kHi; ++k) {
      const int64_t b = b1 + sb * j;
      if (xMajor)
        plot(static_cast<int>(a), static_cast<int>(b));
      else
        plot(static_cast<int>(b), static_cast<int>(a));
      a += sa;
      e += minor;
      if (e >= major) {
        e -= major;
        ++j;
      }
    }
  }
};

}  // namespace

// ---- Unclipped ------------------------------------------------------------------------------

void TCustomBitmap32::Line(int X1, int Y1, int X2, int Y2, TColor32 Value, bool L) {
  if (!FMeasuringMode) {
    if (X1 == X2 && Y1 != Y2) {
      if (Y2 > Y1) VertLine(X1, Y1, Y2 - 1, Value); else VertLine(X1, Y2 + 1, Y1, Value);
    } else if (Y1 == Y2 && X1 != X2) {
      if (X2 > X1) HorzLine(X1, Y1, X2 - 1, Value); else HorzLine(X2 + 1, Y1, X1, Value);
    } else {
      const Bresenham line(X1, Y1, X2, Y2);
      line.Walk(0, line.major - 1, [&](int x, int y) { SetPixel(x, y, Value); });
    }
    if (L) SetPixel(X2, Y2, Value);
  }
  Changed(TRect{X1, Y1, X2, Y2}, AreaKindLine + 2);
}

void TCustomBitmap32::LineT(int X1, int Y1, int X2, int Y2, TColor32 Value, bool L) {
  if (!FMeasuringMode) {
    if (X1 == X2 && Y1 != Y2) {
      if (Y2 > Y1) VertLineT(X1, Y1, Y2 - 1, Value); else VertLineT(X1, Y2 + 1, Y1, Value);
    } else if (Y1 == Y2 && X1 != X2) {
      if (X2 > X1) HorzLineT(X1, Y1, X2 - 1, Value); else HorzLineT(X2 + 1, Y1, X1, Value);
    } else {
      const Bresenham line(X1, Y1, X2, Y2);
      line.Walk(0, line.major - 1, [&](int x, int y) { FBlendProc(Value, *PixelPtr(x, y)); });
    }
    if (L) FBlendProc(Value, *PixelPtr(X2, Y2));
    EndMmxState();
  }
  Changed(TRect{X1, Y1, X2, Y2}, AreaKindLine + 2);
}

// ---- Clipped --------------------------------------------------------------------------------

namespace {

// The pixels of the line inside the window [Left, Right - 1] x [Top, Bottom - 1]
// through plot(x, y). False (nothing plotted) when none lies inside.
template <class Plot>
bool ClippedBresenham(const TRect& c, int X1, int Y1, int X2, int Y2, bool L, Plot plot) {
  // Wholly beyond one side of the window.
  if ((X1 < c.Left && X2 < c.Left) || (X1 >= c.Right && X2 >= c.Right) || (Y1 < c.Top && Y2 < c.Top) ||
      (Y1 >= c.Bottom && Y2 >= c.Bottom))
    return false;
  const Bresenham line(X1, Y1, X2, Y2);
  // The end point (k = major) is drawn when L, or automatically excluded when
  // it lies outside; either way the last visible pixel is the last one drawn.
  int64_t kLo = 0, kHi = L ? line.major : line.major - 1;
  if (line.xMajor)
    line.Clip(c.Left, int64_t{c.Right} - 1, c.Top, int64_t{c.Bottom} - 1, kLo, kHi);
  else
    line.Clip(c.Top, int64_t{c.Bottom} - 1, c.Left, int64_t{c.Right} - 1, kLo, kHi);
  if (kLo > kHi) return false;
  line.Walk(kLo, kHi, plot);
  return true;
}

}  // namespace

void TCustomBitmap32::LineS(int X1, int Y1, int X2, int Y2, TColor32 Value, bool L) {
  // Axis-parallel lines (and a single point) go to the spans.
  if (X1 == X2 || Y1 == Y2) {
    if (Y2 > Y1)
      VertLineS(X1, Y1, Y2 - 1, Value);
    else if (Y2 < Y1)
      VertLineS(X1, Y2 + 1, Y1, Value);
    else if (X2 > X1)
      HorzLineS(X1, Y1, X2 - 1, Value);
    else if (X2 < X1)
      HorzLineS(X2 + 1, Y1, X1, Value);
    if (L && !FMeasuringMode) SetPixelS(X2, Y2, Value);
    Changed();
    return;
  }
  const bool drawn = ClippedBresenham(FClipRect, X1, Y1, X2, Y2, L, [&](int x, int y) {
    if (!FMeasuringMode) SetPixel(x, y, Value);
  });
  if (drawn) Changed(TRect{X1, Y1, X2, Y2}, AreaKindLine + 2);
}

void TCustomBitmap32::LineTS(int X1, int Y1, int X2, int Y2, TColor32 Value, bool L) {
  // Axis-parallel lines (and a single point) go to the spans.
  if (X1 == X2 || Y1 == Y2) {
    if (Y2 > Y1)
      VertLineTS(X1, Y1, Y2 - 1, Value);
    else if (Y2 < Y1)
      VertLineTS(X1, Y2 + 1, Y1, Value);
    else if (X2 > X1)
      HorzLineTS(X1, Y1, X2 - 1, Value);
    else if (X2 < X1)
      HorzLineTS(X2 + 1, Y1, X1, Value);
    if (L && !FMeasuringMode) SetPixelTS(X2, Y2, Value);
    return;
  }
  TBlendMem* blend = *BlendPxIntoTbl[FCombineMode];
  const bool drawn = ClippedBresenham(FClipRect, X1, Y1, X2, Y2, L, [&](int x, int y) {
    if (!FMeasuringMode) blend(Value, *PixelPtr(x, y));
  });
  EndMmxState();
  if (drawn) Changed(TRect{X1, Y1, X2, Y2}, AreaKindLine + 2);
}

// ---- Pen position ---------------------------------------------------------------------------

void TCustomBitmap32::MoveTo(int X, int Y) {
  RasterX = X;
  RasterY = Y;
}

void TCustomBitmap32::LineToS(int X, int Y) {
  LineS(RasterX, RasterY, X, Y, FPenColor);
  MoveTo(X, Y);
}

void TCustomBitmap32::LineToTS(int X, int Y) {
  LineTS(RasterX, RasterY, X, Y, FPenColor);
  MoveTo(X, Y);
}
