// TListOfDots: the Bezier control polygon, its flattening, the row tables and the
// automatic curve.
//
// Control polygon for points P0 .. Pn-1 (sorted by Y, n >= 2), 3n - 2 vertices,
// every coordinate rounded half to even:
//   B0 = P0, B1 a quarter of the way from P0 to P1;
//   inner Pi = B3i with handles B3i-1 and B3i+1 on the chord slope of its
//   neighbours s = (Xi+1 - Xi-1) / (Yi+1 - Yi-1) (x per row), at the rows
//   round(Yi - (Yi - Yi-1) / 4) and round(Yi + (Yi+1 - Yi) / 4); neighbours on one
//   row put both handles straight above and below Pi, at round((3 Yi + Yi-1) / 4)
//   and round((3 Yi + Yi+1) / 4);
//   B3n-3 = Pn-1, B3n-4 a quarter of the way back towards Pn-2.
// The handles' rows lie between the neighbours' rows, so each segment runs down
// monotonically and two points give a straight line.

#include "profiledata/list_of_dots.h"

#include "platform/rtl/rounding.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

int R(long double v) {
  return static_cast<int>(std::clamp<int64_t>(Round(v), std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

// More steps than any curve inside the tables can take (34 points, 10000 rows).
constexpr int64_t kMaxSteps = 10'000'000;

struct TPointF {
  long double x, y;
};

TPointF Mid(TPointF a, TPointF b) { return {(a.x + b.x) / 2, (a.y + b.y) / 2}; }

// Distance of p from the line through a and b (from a when they coincide).
long double LineDistance(TPointF p, TPointF a, TPointF b) {
  const long double dx = b.x - a.x;
  const long double dy = b.y - a.y;
  const long double len = std::hypot(dx, dy);
  if (len == 0) return std::hypot(p.x - a.x, p.y - a.y);
  return std::fabs((p.x - a.x) * dy - (p.y - a.y) * dx) / len;
}

// Splits the cubic until its handles lie within half a pixel of its chord, and
// appends the end point of every flat piece; stops adding once out holds more than
// `limit` points (the caller then drops the curve).
void FlattenCubic(TPointF p0, TPointF p1, TPointF p2, TPointF p3, int depth, size_t limit,
                  std::vector<TPointF>& out) {
  constexpr long double kTolerance = 0.5L;
  if (out.size() > limit) return;
  if (depth >= 24 || (LineDistance(p1, p0, p3) <= kTolerance && LineDistance(p2, p0, p3) <= kTolerance)) {
    out.push_back(p3);
    return;
  }
  // de Casteljau at t = 1/2.
  const TPointF p01 = Mid(p0, p1), p12 = Mid(p1, p2), p23 = Mid(p2, p3);
  const TPointF p012 = Mid(p01, p12), p123 = Mid(p12, p23);
  const TPointF m = Mid(p012, p123);
  FlattenCubic(p0, p01, p012, m, depth + 1, limit, out);
  FlattenCubic(m, p123, p23, p3, depth + 1, limit, out);
}

// Steps a line from (x0, y0) towards (x1, y1), one point per step along the longer
// axis, the end point excluded.
template <typename Visit>
void LineDDA(int x0, int y0, int x1, int y1, Visit visit) {
  const int64_t dx = std::llabs(int64_t{x1} - x0);
  const int64_t dy = std::llabs(int64_t{y1} - y0);
  const int sx = x1 < x0 ? -1 : 1;
  const int sy = y1 < y0 ? -1 : 1;
  int64_t x = x0;
  int64_t y = y0;
  if (dx > dy) {
    int64_t err = 2 * dy - dx;
    for (int64_t i = 0; i < dx; ++i) {
      visit(x, y);
      if (err > 0) {
        y += sy;
        err += 2 * (dy - dx);
      } else {
        err += 2 * dy;
      }
      x += sx;
    }
  } else {
    int64_t err = 2 * dx - dy;
    for (int64_t i = 0; i < dy; ++i) {
      visit(x, y);
      if (err > 0) {
        x += sx;
        err += 2 * (dx - dy);
      } else {
        err += 2 * dx;
      }
      y += sy;
    }
  }
}

}  // namespace

std::vector<TPoint> TListOfDots::GetList() const {
  const int n = GetCount();
  if (n < 2) return {};
  std::vector<TPoint> b(static_cast<size_t>(3 * n - 2));
  const auto P = [this](int i) { return List[static_cast<size_t>(i)]; };
  const auto B = [&b](int i) -> TPoint& { return b[static_cast<size_t>(i)]; };

  B(0) = P(0);
  B(1) = TPoint{R((3.0L * P(0).X + P(1).X) / 4), R(P(0).Y + (P(1).Y - P(0).Y) / 4.0L)};
  for (int i = 1; i <= n - 2; ++i) {
    const TPoint prev = P(i - 1), p = P(i), next = P(i + 1);
    B(3 * i) = p;
    // Integer rows: "at least 0.1 apart" means on different rows.
    if (next.Y != prev.Y) {
      const long double s = static_cast<long double>(next.X - prev.X) / (next.Y - prev.Y);
      const int yb = R(p.Y - (p.Y - prev.Y) / 4.0L);
      const int ya = R(p.Y + (next.Y - p.Y) / 4.0L);
      B(3 * i - 1) = TPoint{R((yb - p.Y) * s + p.X), yb};
      B(3 * i + 1) = TPoint{R((ya - p.Y) * s + p.X), ya};
    } else {
      B(3 * i - 1) = TPoint{p.X, R((3.0L * p.Y + prev.Y) / 4)};
      B(3 * i + 1) = TPoint{p.X, R((3.0L * p.Y + next.Y) / 4)};
    }
  }
  const TPoint last = P(n - 1), before = P(n - 2);
  B(3 * n - 3) = last;
  B(3 * n - 4) = TPoint{R((3.0L * last.X + before.X) / 4), R(last.Y - (last.Y - before.Y) / 4.0L)};
  return b;
}

void TListOfDots::DDAProc(int x, int y) {
  if (y < 0 || y >= MaxRows) return;
  const int width = Getwidth();
  x = std::max(std::min(x, width - 1), 0);
  FVal[static_cast<size_t>(y)] = x;
  FRval[static_cast<size_t>(y)] = std::exp2((x - width / 2.0L) / 10);
}

void TListOfDots::PrepaerValues() {
  const std::vector<TPoint> polygon = GetList();
  if (polygon.empty()) return;

  // The poly-Bezier as a polyline of whole pixels, repeated pixels dropped. Pieces
  // shorter than a pixel repeat pixels, so the pieces may outnumber the pixels a
  // little; far more of them means a curve far longer than the tables allow.
  const size_t pieceLimit = 4 * static_cast<size_t>(MaxFlatPoints);
  std::vector<TPointF> flat{{static_cast<long double>(polygon[0].X), static_cast<long double>(polygon[0].Y)}};
  const auto F = [&](size_t k) {
    return TPointF{static_cast<long double>(polygon[k].X), static_cast<long double>(polygon[k].Y)};
  };
  for (size_t s = 0; s + 3 < polygon.size(); s += 3) FlattenCubic(F(s), F(s + 1), F(s + 2), F(s + 3), 0, pieceLimit, flat);
  if (flat.size() > pieceLimit) return;
  std::vector<TPoint> line;
  line.reserve(flat.size());
  int64_t steps = 0;
  for (const TPointF& p : flat) {
    const TPoint q{R(p.x), R(p.y)};
    if (!line.empty() && line.back() == q) continue;
    if (!line.empty()) steps += std::max(std::llabs(int64_t{q.X} - line.back().X), std::llabs(int64_t{q.Y} - line.back().Y));
    line.push_back(q);
    if (static_cast<int>(line.size()) > MaxFlatPoints) return;
  }
  // Points far outside the box (from a damaged settings file) would take billions
  // of steps along columns that all clamp to the box's edge.
  if (steps > kMaxSteps) return;

  // One pass over the whole curve: a row takes the x of the first point that
  // reaches it.
  bool first = true;
  int64_t lastRow = 0;
  const auto visit = [&](int64_t x, int64_t y) {
    if (!first && y == lastRow) return;
    first = false;
    lastRow = y;
    if (y < 0 || y >= MaxRows) return;
    DDAProc(static_cast<int>(std::clamp<int64_t>(x, std::numeric_limits<int>::min(), std::numeric_limits<int>::max())),
            static_cast<int>(y));
  };
  for (size_t k = 0; k + 1 < line.size(); ++k) LineDDA(line[k].X, line[k].Y, line[k + 1].X, line[k + 1].Y, visit);
}

// Automatic curve from an amplitude profile:
//   m = the largest value, a its first index (0, 0 when none is positive);
//   kY = Height / LineLength; points (round(W/2), 0) and (round(W/2), round(a kY));
//   step = ceiling((LineLength - a) / 6); for i = 1 .. 6, c = min(a + i step,
//   LineLength - 1), Yc = round(c kY), Ya = round(a kY), a point at row Yc, x =
//   round(20 (Yc - Ya) / (Ya - Height)) + round(10 log2(m / line[c]) + W/2),
//   unless a point has that row already.
// It compensates the decay below the maximum (10 log2 of the amplitude ratio, the
// curve's own scale) less a linear allowance reaching 20 pixels (a factor 4) at
// the bottom of the box. A maximum on the last row has no allowance (it would
// divide by zero), and a sampled value that is not positive gives no point.
void TListOfDots::GenBaseDots(const double* line, int LineLength) {
  if (!line || LineLength < 1) return;
  double m = 0;
  int a = 0;
  for (int i = 0; i < LineLength; ++i) {
    if (line[i] > m) {
      m = line[i];
      a = i;
    }
  }
  const int width = Getwidth();
  const int height = GetHeight();
  const long double kY = static_cast<long double>(height) / LineLength;
  const int centre = R(width / 2.0L);
  const int ya = R(a * kY);
  List.clear();
  List.push_back(TPoint{centre, 0});
  List.push_back(TPoint{centre, ya});

  const int step = (LineLength - a + 5) / 6;
  for (int i = 1; i <= 6; ++i) {
    const int c = static_cast<int>(std::min<int64_t>(a + int64_t{i} * step, LineLength - 1));
    const int yc = R(c * kY);
    if (!(m > 0) || !(line[c] > 0) || RowTaken(yc)) continue;
    const int allowance = ya == height ? 0 : R(20.0L * (yc - ya) / (ya - height));
    const int x = R(static_cast<long double>(allowance) +
                    R(10 * std::log2(static_cast<long double>(m) / line[c]) + width / 2.0L));
    // Appended, not placed at index i + 1: a skipped row must not leave (0, 0)
    // filler points behind.
    if (GetCount() >= MaxDots) break;
    List.push_back(TPoint{x, yc});
    Sort();
  }
}
