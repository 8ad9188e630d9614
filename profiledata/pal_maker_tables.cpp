#include "profiledata/pal_maker_tables.h"

#include <algorithm>

namespace {

// n / d rounded to nearest, halves away from zero (n >= 0, d > 0).
int64_t RoundDiv(int64_t n, int64_t d) { return (2 * n + d) / (2 * d); }

void Put(std::array<uint8_t, 256>& table, int64_t x, int64_t y) {
  table[static_cast<size_t>(std::clamp<int64_t>(x, 0, 255))] = static_cast<uint8_t>(y);
}

// One segment, visits in stepping order. y values lie between two bytes, so a
// line that is mostly vertical has fewer than 256 steps; a mostly horizontal one
// may span any 32-bit distance, and of its visits outside 0..255 only the last
// on each side can still be seen in the table, so only those are made.
void RasteriseSegment(std::array<uint8_t, 256>& table, int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
  const int64_t dx = x2 - x1;
  const int64_t dy = y2 - y1;
  const int64_t sx = dx < 0 ? -1 : 1;
  const int64_t sy = dy < 0 ? -1 : 1;
  const int64_t adx = dx < 0 ? -dx : dx;
  const int64_t ady = dy < 0 ? -dy : dy;
  if (adx == 0 && ady == 0) return;
  if (ady > adx) {
    for (int64_t i = 0; i < ady; ++i) Put(table, x1 + sx * RoundDiv(i * adx, ady), y1 + sy * i);
    return;
  }
  auto visit = [&](int64_t i) { Put(table, x1 + sx * i, y1 + sy * RoundDiv(i * ady, adx)); };
  // Steps lo..hi are the ones with x inside 0..255.
  const int64_t lo = sx > 0 ? std::max<int64_t>(0, -x1) : std::max<int64_t>(0, x1 - 255);
  const int64_t hi = sx > 0 ? std::min<int64_t>(adx - 1, 255 - x1) : std::min<int64_t>(adx - 1, x1);
  if (lo > 0) visit(std::min(lo - 1, adx - 1));
  for (int64_t i = lo; i <= hi; ++i) visit(i);
  if (hi < adx - 1 && lo <= adx - 1) visit(adx - 1);
}

}  // namespace

bool RasterisePaletteTables(const std::vector<TPalettePoint>& points, TPaletteTables& tables) {
  if (points.size() > static_cast<size_t>(MaxPalettePoints)) return false;
  struct TComponent {
    std::array<uint8_t, 256>* table;
    int shift;
  };
  const TComponent components[] = {{&tables.Red, 0}, {&tables.Green, 8}, {&tables.Blue, 16}};
  for (const TComponent& c : components) {
    for (size_t k = 1; k < points.size(); ++k) {
      const int64_t y1 = (static_cast<uint32_t>(points[k - 1].cl) >> c.shift) & 0xFFu;
      const int64_t y2 = (static_cast<uint32_t>(points[k].cl) >> c.shift) & 0xFFu;
      RasteriseSegment(*c.table, points[k - 1].X, y1, points[k].X, y2);
    }
  }
  return true;
}
