// Anti-aliased lines in 16.16 and float coordinates, plain and stippled,
// unclipped and clipped, and their pen-position forms.
//
// A line of length len (16.16 units, IntHypot of the deltas, one pixel more
// when the end point is drawn) is n = len shr 16 points one pixel apart, each
// spread over four pixels by the 24.8 sub-pixel write, starting at the start
// point + 127/65536, and a last point halfway between the last whole step and
// the end point whose alpha is scaled by the remaining fraction of a pixel.

#include "raster/bitmap32.h"

#include "raster/coordinate_helpers.h"
#include "raster/fixed_math.h"
#include "raster/gamma.h"
#include "raster/line_clip.h"

#include "platform/rtl/rounding.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

int32_t Wrapped(int64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(v))); }

// The whole-pixel part of a 16.16 difference, truncated toward zero.
int64_t WholePixels(int64_t fixedDiff) { return fixedDiff / 65536; }

// The colour with its alpha scaled by frac / 65536 (frac < 65536).
TColor32 WithFractionAlpha(TColor32 c, int64_t frac) {
  const uint32_t alpha = ((c >> 24) * static_cast<uint32_t>(frac)) << 8;
  return (c & 0x00FFFFFFu) | (alpha & 0xFF000000u);
}

// The length in 16.16 units of the line with these deltas.
int64_t FixedLength(TFixed X1, TFixed Y1, TFixed X2, TFixed Y2, bool L) {
  return int64_t{IntHypot(Wrapped(int64_t{X2} - X1), Wrapped(int64_t{Y2} - Y1))} + (L ? 65536 : 0);
}

// Draws the points of a line of length len (>= 256). Clipped: positions
// divided toward zero (they may be negative) and written with SetPixelTS256;
// otherwise shifted logically and written with SetPixelT256. colour() is asked
// once per point, the last one included.
template <bool Clipped, class ColourOf>
void StrokeFixed(TCustomBitmap32& b, TFixed X1, TFixed Y1, TFixed X2, TFixed Y2, int64_t len, ColourOf colour) {
  const int64_t dx = Wrapped(int64_t{X2} - X1), dy = Wrapped(int64_t{Y2} - Y1);
  int64_t x = int64_t{X1} + 127, y = int64_t{Y1} + 127;
  const int64_t x2 = int64_t{X2} + 127, y2 = int64_t{Y2} + 127;
  const int64_t n = len >> 16;
  int64_t sx = 0, sy = 0;
  if (n > 0) {
    sx = Round(static_cast<long double>(dx) * 65536 / len);
    sy = Round(static_cast<long double>(dy) * 65536 / len);
  }
  auto put = [&b](int64_t px, int64_t py, int shift, TColor32 c) {
    if constexpr (Clipped)
      b.SetPixelTS256(static_cast<int32_t>(px / (int64_t{1} << shift)), static_cast<int32_t>(py / (int64_t{1} << shift)), c);
    else
      b.SetPixelT256(static_cast<int32_t>(static_cast<uint32_t>(px) >> shift),
                     static_cast<int32_t>(static_cast<uint32_t>(py) >> shift), c);
  };
  for (int64_t i = 0; i < n; ++i) {
    put(x, y, 8, colour());
    x += sx;
    y += sy;
  }
  put(x + x2 - sx, y + y2 - sy, 9, WithFractionAlpha(colour(), len - n * 65536));
}

// The clipped line (LineXS, LineXSP and the fallback of the clipped fixed
// spans). Reports with `kind` unless it is 0.
template <class ColourOf>
void ClippedFixedLine(TCustomBitmap32& b, TFixed X1, TFixed Y1, TFixed X2, TFixed Y2, bool L, ColourOf colour,
                      bool stippled, uint32_t kind) {
  auto report = [&](const TRect& area) {
    if (kind != 0) b.Changed(area, kind);
  };
  const TRect area = RectFromFloat(FixedRect(X1, Y1, X2, Y2), rdNearest);
  if (b.MeasuringMode()) {
    report(area);
    return;
  }
  // One pixel more at the left and the top: a point there still spreads into
  // its right and lower neighbours.
  const TFixedRect& f = b.FixedClipRect();
  int32_t cx1 = X1, cy1 = Y1, cx2 = X2, cy2 = Y2;
  if (!ClipSegment(cx1, cy1, cx2, cy2, Wrapped(int64_t{f.Left} - 65536), Wrapped(int64_t{f.Top} - 65536), f.Right,
                   f.Bottom)) {
    if (stippled)
      b.AdvanceStippleCounter(static_cast<float>(
          std::hypot(static_cast<double>(WholePixels(int64_t{cx2} - cx1)),
                     static_cast<double>(WholePixels(int64_t{cy2} - cy1) - (L ? 1 : 0)))));
    return;
  }
  const bool startMoved = cx1 != X1 || cy1 != Y1;
  const bool endMoved = cx2 != X2 || cy2 != Y2;
  if (stippled && startMoved)
    b.AdvanceStippleCounter(static_cast<float>(Round(std::hypot(static_cast<double>(WholePixels(int64_t{cx1} - X1)),
                                                                static_cast<double>(WholePixels(int64_t{cy1} - Y1))))));
  if (endMoved) L = true;

  auto strictlyInside = [&f](int32_t x, int32_t y) {
    return x > f.Left && int64_t{x} < int64_t{f.Right} - 131072 && y > f.Top && int64_t{y} < int64_t{f.Bottom} - 131072;
  };
  if (strictlyInside(cx1, cy1) && strictlyInside(cx2, cy2)) {
    const TRect clippedArea = RectFromFloat(FixedRect(cx1, cy1, cx2, cy2), rdNearest);
    try {
      const int64_t len = FixedLength(cx1, cy1, cx2, cy2, L);
      if (len >= 256) StrokeFixed<false>(b, cx1, cy1, cx2, cy2, len, colour);
      EndMmxState();
    } catch (...) {
      report(clippedArea);
      throw;
    }
    report(clippedArea);
    return;
  }
  const int64_t len = FixedLength(cx1, cy1, cx2, cy2, L);
  if (len < 256) {
    EndMmxState();
    return;
  }
  StrokeFixed<true>(b, cx1, cy1, cx2, cy2, len, colour);
  if (stippled && endMoved)
    b.AdvanceStippleCounter(static_cast<float>(std::hypot(static_cast<double>(WholePixels(int64_t{X2} - cx2)),
                                                          static_cast<double>(WholePixels(int64_t{Y2} - cy2) - 1))));
  EndMmxState();
  report(area);
}

// The unclipped line (LineX, LineXP).
template <class ColourOf>
void UnclippedFixedLine(TCustomBitmap32& b, TFixed X1, TFixed Y1, TFixed X2, TFixed Y2, bool L, ColourOf colour) {
  const TRect area = RectFromFloat(FixedRect(X1, Y1, X2, Y2), rdNearest);
  try {
    if (!b.MeasuringMode()) {
      const int64_t len = FixedLength(X1, Y1, X2, Y2, L);
      if (len >= 256) StrokeFixed<false>(b, X1, Y1, X2, Y2, len, colour);
    }
    EndMmxState();
  } catch (...) {
    b.Changed(area, AreaKindLine + 2);
    throw;
  }
  b.Changed(area, AreaKindLine + 2);
}

}  // namespace

// ---- Lines ----------------------------------------------------------------------------------

void TCustomBitmap32::LineX(TFixed X1, TFixed Y1, TFixed X2, TFixed Y2, TColor32 Value, bool L) {
  UnclippedFixedLine(*this, X1, Y1, X2, Y2, L, [Value] { return Value; });
}

void TCustomBitmap32::LineF(float X1, float Y1, float X2, float Y2, TColor32 Value, bool L) {
  LineX(Fixed(X1), Fixed(Y1), Fixed(X2), Fixed(Y2), Value, L);
}

void TCustomBitmap32::LineXS(TFixed X1, TFixed Y1, TFixed X2, TFixed Y2, TColor32 Value, bool L) {
  ClippedFixedLine(*this, X1, Y1, X2, Y2, L, [Value] { return Value; }, false, AreaKindLine + 2);
}

void TCustomBitmap32::LineFS(float X1, float Y1, float X2, float Y2, TColor32 Value, bool L) {
  LineXS(Fixed(X1), Fixed(Y1), Fixed(X2), Fixed(Y2), Value, L);
}

void TCustomBitmap32::LineXP(TFixed X1, TFixed Y1, TFixed X2, TFixed Y2, bool L) {
  UnclippedFixedLine(*this, X1, Y1, X2, Y2, L, [this] { return GetStippleColor(); });
}

void TCustomBitmap32::LineFP(float X1, float Y1, float X2, float Y2, bool L) {
  LineXP(Fixed(X1), Fixed(Y1), Fixed(X2), Fixed(Y2), L);
}

void TCustomBitmap32::LineXSP(TFixed X1, TFixed Y1, TFixed X2, TFixed Y2, bool L) {
  ClippedFixedLine(*this, X1, Y1, X2, Y2, L, [this] { return GetStippleColor(); }, true, AreaKindLine + 4);
}

void TCustomBitmap32::LineFSP(float X1, float Y1, float X2, float Y2, bool L) {
  LineXSP(Fixed(X1), Fixed(Y1), Fixed(X2), Fixed(Y2), L);
}

// ---- Pen position ---------------------------------------------------------------------------

void TCustomBitmap32::MoveToX(TFixed X, TFixed Y) {
  RasterXF = X;
  RasterYF = Y;
}

void TCustomBitmap32::MoveToF(float X, float Y) { MoveToX(Fixed(X), Fixed(Y)); }

void TCustomBitmap32::LineToXS(TFixed X, TFixed Y) {
  LineXS(RasterXF, RasterYF, X, Y, FPenColor);
  MoveToX(X, Y);
}

void TCustomBitmap32::LineToFS(float X, float Y) { LineToXS(Fixed(X), Fixed(Y)); }

void TCustomBitmap32::LineToXSP(TFixed X, TFixed Y) {
  LineXSP(RasterXF, RasterYF, X, Y);
  MoveToX(X, Y);
}

void TCustomBitmap32::LineToFSP(float X, float Y) { LineToXSP(Fixed(X), Fixed(Y)); }

// ---- Anti-aliased spans ---------------------------------------------------------------------

namespace {

// Coverage of the span A1..A2 (16.16, A1 <= A2) on the 16.16 line `across`:
// put(a, row, weight) for the first, interior and last pixel of the row
// (across shr 16), then of the row below, with the covered part of each row.
template <class Put>
void CoverageSpan(TFixed A1, TFixed Across, TFixed A2, Put put) {
  const int64_t a0 = A1 >> 16, row = Across >> 16;
  const int64_t n = int64_t{A2 >> 16} - a0 - 1;
  const uint32_t f1 = 65535u - (static_cast<uint32_t>(A1) & 0xFFFFu);
  const uint32_t f2 = static_cast<uint32_t>(A2) & 0xFFFFu;
  uint32_t fy = 65535u - (static_cast<uint32_t>(Across) & 0xFFFFu);
  for (int64_t r = row; r <= row + 1; ++r, fy ^= 0xFFFFu) {
    if (fy == 0) continue;
    put(a0, r, GammaTable[(fy * f1) >> 24]);
    for (int64_t i = 1; i <= n; ++i) put(a0 + i, r, GammaTable[fy >> 8]);
    put(a0 + n + 1, r, GammaTable[(fy * f2) >> 24]);
  }
}

// CombinePxInto(Value, pixel, weight) at (x, y); a weight of 0 writes nothing,
// and with a clip rectangle nothing is written outside it.
struct CoveragePut {
  TCustomBitmap32& b;
  TColor32 value;
  const TRect* clip;
  void operator()(int64_t x, int64_t y, uint32_t weight) const {
    if (weight == 0) return;
    if (clip != nullptr && !(x >= clip->Left && x < clip->Right && y >= clip->Top && y < clip->Bottom)) return;
    CombinePxInto(value, *b.PixelPtr(static_cast<int>(x), static_cast<int>(y)), weight);
  }
};

template <class Draw>
void ReportingSpan(TCustomBitmap32& b, const TRect& area, Draw draw) {
  try {
    if (!b.MeasuringMode()) draw();
    EndMmxState();
  } catch (...) {
    b.Changed(area, AreaKindLine + 2);
    throw;
  }
  b.Changed(area, AreaKindLine + 2);
}

// One more 16.16 unit, wrapping as the 32-bit addition does.
TFixed PlusUnit(TFixed v) { return Wrapped(int64_t{v} + 1); }

}  // namespace

void TCustomBitmap32::HorzLineX(TFixed X1, TFixed Y, TFixed X2, TColor32 Value) {
  if (X2 < X1) std::swap(X1, X2);
  ReportingSpan(*this, RectFromFloat(FixedRect(X1, Y, X2, PlusUnit(Y)), rdNearest), [&] {
    const CoveragePut put{*this, Value, nullptr};
    CoverageSpan(X1, Y, X2, [&](int64_t a, int64_t r, uint32_t w) { put(a, r, w); });
  });
}

void TCustomBitmap32::VertLineX(TFixed X, TFixed Y1, TFixed Y2, TColor32 Value) {
  if (Y2 < Y1) std::swap(Y1, Y2);
  ReportingSpan(*this, RectFromFloat(FixedRect(X, Y1, PlusUnit(X), Y2), rdNearest), [&] {
    const CoveragePut put{*this, Value, nullptr};
    CoverageSpan(Y1, X, Y2, [&](int64_t a, int64_t r, uint32_t w) { put(r, a, w); });
  });
}

// The clipped spans report only their uncut area; the clamped span or line
// they draw reports nothing of its own.
void TCustomBitmap32::HorzLineXS(TFixed X1, TFixed Y, TFixed X2, TColor32 Value) {
  if (X2 < X1) std::swap(X1, X2);
  ReportingSpan(*this, RectFromFloat(FixedRect(X1, Y, X2, PlusUnit(Y)), rdNearest), [&] {
    const TFixedRect& f = FFixedClipRect;
    const TFixed cx1 = std::clamp(X1, f.Left, f.Right), cx2 = std::clamp(X2, f.Left, f.Right);
    if (int64_t{cx2} - cx1 >= 65537 && Y >= f.Top && int64_t{Y} <= int64_t{f.Bottom} - 65536) {
      const CoveragePut put{*this, Value, &FClipRect};
      CoverageSpan(cx1, Y, cx2, [&](int64_t a, int64_t r, uint32_t w) { put(a, r, w); });
    } else {
      ClippedFixedLine(*this, cx1, Y, cx2, Y, false, [Value] { return Value; }, false, 0);
    }
  });
}

void TCustomBitmap32::VertLineXS(TFixed X, TFixed Y1, TFixed Y2, TColor32 Value) {
  if (Y2 < Y1) std::swap(Y1, Y2);
  ReportingSpan(*this, RectFromFloat(FixedRect(X, Y1, PlusUnit(X), Y2), rdNearest), [&] {
    const TFixedRect& f = FFixedClipRect;
    // The vertical form keeps a pixel off the bottom edge (the horizontal one
    // clamps to the right edge itself).
    const TFixed bottom = Wrapped(int64_t{f.Bottom} - 65536);
    const TFixed cy1 = std::clamp(Y1, f.Top, std::max(f.Top, bottom));
    const TFixed cy2 = std::clamp(Y2, f.Top, std::max(f.Top, bottom));
    if (int64_t{cy2} - cy1 >= 65537 && X >= f.Left && int64_t{X} <= int64_t{f.Right} - 65536) {
      const CoveragePut put{*this, Value, &FClipRect};
      CoverageSpan(cy1, X, cy2, [&](int64_t a, int64_t r, uint32_t w) { put(r, a, w); });
    } else {
      ClippedFixedLine(*this, X, cy1, X, cy2, false, [Value] { return Value; }, false, 0);
    }
  });
}
