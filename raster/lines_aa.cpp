// Anti-aliased integer lines of TCustomBitmap32.
//
// The start pixel is blended in full. Then each step moves one pixel along the
// major axis and adds EA = minor x 65536 div major to a 16-bit accumulator EC;
// a wrap of EC moves one pixel along the minor axis. With w = EC shr 8 the pixel
// reached is blended with master alpha GammaTable[w xor 255] and its neighbour
// one further in the minor direction with GammaTable[w]. After i steps EC is
// (i x EA) mod 65536 and the minor offset (i x EA) div 65536, which lets the
// clipped form start at the window without walking up to it.
//
// A diagonal has EA = 65536, which a 16-bit adjustment would hold as 0 and so
// draw along the major axis only; the adjustment is kept in 32 bits, so every
// step of a diagonal wraps and the line stays on the diagonal.

#include "raster/bitmap32.h"

#include "raster/gamma.h"
#include "raster/line_axes.h"

#include <algorithm>
#include <cstdlib>

namespace {

struct AaLine : TLineAxes {
  int64_t ea;  // minor step per major step, 16.16

  AaLine(int X1, int Y1, int X2, int Y2) : TLineAxes(X1, Y1, X2, Y2) { ea = minor * 65536 / major; }

  // The pair of step i (>= 1): main(x, y, alpha) and neighbour(x, y, alpha).
  template <class Put>
  void Pair(int64_t i, Put put) const {
    const int64_t t = i * ea;
    const int64_t a = a1 + sa * i, b = b1 + sb * (t >> 16);
    const uint32_t w = static_cast<uint32_t>(t & 0xFFFF) >> 8;
    put(a, b, GammaTable[w ^ 255u]);
    put(a, b + sb, GammaTable[w]);
  }
};

}  // namespace

void TCustomBitmap32::LineA(int X1, int Y1, int X2, int Y2, TColor32 Value, bool L) {
  if (X1 == X2 || Y1 == Y2) {
    LineT(X1, Y1, X2, Y2, Value, L);
    return;
  }
  if (!FMeasuringMode) {
    const AaLine line(X1, Y1, X2, Y2);
    TBlendMemEx* blendEx = *BlendPxIntoExTbl[FCombineMode];
    FBlendProc(Value, *PixelPtr(X1, Y1));
    const int64_t count = L ? line.major : line.major - 1;
    for (int64_t i = 1; i <= count; ++i)
      line.Pair(i, [&](int64_t a, int64_t b, uint32_t alpha) {
        blendEx(Value, *PixelPtr(static_cast<int>(line.X(a, b)), static_cast<int>(line.Y(a, b))), alpha);
      });
  }
  EndMmxState();
  Changed(TRect{X1, Y1, X2, Y2}, AreaKindLine + 2);
}

void TCustomBitmap32::LineAS(int X1, int Y1, int X2, int Y2, TColor32 Value, bool L) {
  const TRect area{X1, Y1, X2, Y2};
  if (FMeasuringMode) {
    Changed(area, AreaKindLine + 2);
    return;
  }
  const TRect& c = FClipRect;
  if (RectIsEmpty(c)) return;
  // Diagonals, axis-parallel lines and single points are the blended
  // Bresenham line's (spans plus the end point when L).
  if (X1 == X2 || Y1 == Y2 || std::llabs(int64_t{X2} - X1) == std::llabs(int64_t{Y2} - Y1)) {
    LineTS(X1, Y1, X2, Y2, Value, L);
    return;
  }
  auto inside = [&](int64_t x, int64_t y) { return x >= c.Left && x < c.Right && y >= c.Top && y < c.Bottom; };
  const AaLine line(X1, Y1, X2, Y2);
  // An end cut by the window leaves the last visible pair drawn whatever L says.
  const bool drawEnd = L || !inside(X2, Y2);
  const int64_t count = drawEnd ? line.major : line.major - 1;
  // Both pixels of a pair share the major coordinate, so the window's extent
  // along the major axis bounds the steps to look at.
  const int64_t aMin = line.xMajor ? c.Left : c.Top, aMax = (line.xMajor ? c.Right : c.Bottom) - int64_t{1};
  const int64_t first = std::max<int64_t>(0, line.sa > 0 ? aMin - line.a1 : line.a1 - aMax);
  const int64_t last = std::min<int64_t>(count, line.sa > 0 ? aMax - line.a1 : line.a1 - aMin);
  TBlendMemEx* blendEx = *BlendPxIntoExTbl[FCombineMode];
  for (int64_t i = first; i <= last; ++i) {
    if (i == 0) {
      if (inside(X1, Y1)) FBlendProc(Value, *PixelPtr(X1, Y1));
      continue;
    }
    line.Pair(i, [&](int64_t a, int64_t b, uint32_t alpha) {
      const int64_t x = line.X(a, b), y = line.Y(a, b);
      if (inside(x, y)) blendEx(Value, *PixelPtr(static_cast<int>(x), static_cast<int>(y)), alpha);
    });
  }
  EndMmxState();
  Changed(area, AreaKindLine + 2);
}

void TCustomBitmap32::LineToAS(int X, int Y) {
  LineAS(RasterX, RasterY, X, Y, FPenColor);
  MoveTo(X, Y);
}
