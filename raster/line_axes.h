#pragma once
// A line from (X1, Y1) to (X2, Y2) in its own axes: a along the major axis (the
// longer extent, x on a tie goes to y), b along the minor one, with step signs
// and extents. The integer and anti-aliased line routines walk lines this way.

#include <cstdint>
#include <cstdlib>

struct TLineAxes {
  int64_t a1, b1;  // start along the major and the minor axis
  int sa, sb;      // directions (+1 / -1)
  int64_t major, minor;
  bool xMajor;

  TLineAxes(int X1, int Y1, int X2, int Y2) {
    const int64_t dx = int64_t{X2} - X1, dy = int64_t{Y2} - Y1;
    xMajor = std::llabs(dx) > std::llabs(dy);
    a1 = xMajor ? X1 : Y1;
    b1 = xMajor ? Y1 : X1;
    const int64_t da = xMajor ? dx : dy, db = xMajor ? dy : dx;
    sa = da < 0 ? -1 : 1;
    sb = db < 0 ? -1 : 1;
    major = std::llabs(da);
    minor = std::llabs(db);
  }

  // (a, b) in the line's axes to (x, y).
  int64_t X(int64_t a, int64_t b) const { return xMajor ? a : b; }
  int64_t Y(int64_t a, int64_t b) const { return xMajor ? b : a; }
};
