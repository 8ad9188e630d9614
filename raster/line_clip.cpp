#include "raster/line_clip.h"

#include "raster/fixed_math.h"

namespace {

int32_t Wrapped(int64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(v))); }
int32_t Diff(int32_t a, int32_t b) { return Wrapped(int64_t{a} - b); }

int XCode(int32_t X, int32_t MinX, int32_t MaxX) { return (X < MinX ? 1 : 0) | (X > MaxX ? 2 : 0); }
int Code(int32_t X, int32_t Y, int32_t MinX, int32_t MinY, int32_t MaxX, int32_t MaxY) {
  return XCode(X, MinX, MaxX) | (Y < MinY ? 4 : 0) | (Y > MaxY ? 8 : 0);
}

// Moves (X, Y) along the line with deltas dx, dy to the row V.
void ToRow(int32_t& X, int32_t& Y, int32_t V, int32_t dx, int32_t dy) {
  X = Wrapped(int64_t{X} + MulDiv(Diff(V, Y), dx, dy));
  Y = V;
}

void ToColumn(int32_t& X, int32_t& Y, int32_t V, int32_t dx, int32_t dy) {
  Y = Wrapped(int64_t{Y} + MulDiv(Diff(V, X), dy, dx));
  X = V;
}

}  // namespace

bool ClipSegment(int32_t& X1, int32_t& Y1, int32_t& X2, int32_t& Y2, int32_t MinX, int32_t MinY, int32_t MaxX,
                 int32_t MaxY) {
  int c1 = Code(X1, Y1, MinX, MinY, MaxX, MaxY);
  int c2 = Code(X2, Y2, MinX, MinY, MaxX, MaxY);
  if ((c1 & c2) == 0 && (c1 | c2) != 0) {
    if (c1 & 12) {
      ToRow(X1, Y1, (c1 & 4) ? MinY : MaxY, Diff(X2, X1), Diff(Y2, Y1));
      c1 = XCode(X1, MinX, MaxX);
    }
    if (c2 & 12) {
      ToRow(X2, Y2, (c2 & 4) ? MinY : MaxY, Diff(X2, X1), Diff(Y2, Y1));
      c2 = XCode(X2, MinX, MaxX);
    }
    if ((c1 & c2) == 0 && (c1 | c2) != 0) {
      if (c1 != 0) {
        ToColumn(X1, Y1, c1 == 1 ? MinX : MaxX, Diff(X2, X1), Diff(Y2, Y1));
        c1 = 0;
      }
      if (c2 != 0) {
        ToColumn(X2, Y2, c2 == 1 ? MinX : MaxX, Diff(X2, X1), Diff(Y2, Y1));
        c2 = 0;
      }
    }
  }
  return c1 == 0 && c2 == 0;
}
