#pragma once
// Rectangles of the raster library: integer (TRect of the toolkit), 16.16 fixed
// point and float, and the few rectangle helpers the bitmap needs. Rectangles
// have exclusive right and bottom edges.

#include "raster/color32.h"

#include "platform/ui/graphics.h"

#include <algorithm>

struct TFixedRect {
  TFixed Left = 0;
  TFixed Top = 0;
  TFixed Right = 0;
  TFixed Bottom = 0;
  bool operator==(const TFixedRect&) const = default;
};

struct TFloatRect {
  float Left = 0;
  float Top = 0;
  float Right = 0;
  float Bottom = 0;
  bool operator==(const TFloatRect&) const = default;
};

// A text extent in pixels.
struct TSize {
  int cx = 0;
  int cy = 0;
  bool operator==(const TSize&) const = default;
};

// Dst = the overlap of R1 and R2. True when Right >= Left and Bottom >= Top (an
// overlap of zero width or height counts); otherwise Dst = (0, 0, 0, 0).
inline bool IntersectRect(TRect& Dst, const TRect& R1, const TRect& R2) {
  Dst = TRect{std::max(R1.Left, R2.Left), std::max(R1.Top, R2.Top), std::min(R1.Right, R2.Right),
              std::min(R1.Bottom, R2.Bottom)};
  if (Dst.Right >= Dst.Left && Dst.Bottom >= Dst.Top) return true;
  Dst = TRect{};
  return false;
}

// True unless Left < Right and Top < Bottom.
inline bool RectIsEmpty(const TRect& R) { return !(R.Left < R.Right && R.Top < R.Bottom); }

inline void OffsetRect(TRect& R, int Dx, int Dy) {
  R.Left += Dx;
  R.Right += Dx;
  R.Top += Dy;
  R.Bottom += Dy;
}
