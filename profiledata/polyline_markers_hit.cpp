// Hit test of a polyline under the mouse cursor (polyline_markers.h).

#include "profiledata/polyline_markers.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

// How far from a node the cursor still grabs it, in traces and samples.
constexpr int64_t ReachTraces = 3;
constexpr int64_t ReachSamples = 6;
constexpr double SegmentTolerance = 0.25;

// Single-precision ratio of two 64-bit integers, the denominator positive.
float Ratio(int64_t numerator, int64_t denominator) {
  return static_cast<float>(static_cast<long double>(numerator) / static_cast<long double>(denominator));
}

}  // namespace

int32_t TPolyLineMarkersData::GetRegimeCursor(int32_t x, int32_t y, int32_t& kind, int32_t& node) const {
  kind = pcNone;
  node = -1;
  if (FNodes.empty()) return kind;

  // Nodes. Squared distances order the candidates as the distances do, exactly.
  int64_t best = std::numeric_limits<int64_t>::max();
  for (size_t i = 0; i < FNodes.size(); ++i) {
    const int64_t dx = int64_t(x) - FNodes[i].X;
    const int64_t dy = int64_t(y) - FNodes[i].Y;
    if (std::abs(dx) > ReachTraces || std::abs(dy) > ReachSamples) continue;
    const int64_t distance2 = dx * dx + dy * dy;
    if (distance2 < best) {
      best = distance2;
      node = static_cast<int32_t>(i);
    }
  }
  if (node >= 0) {
    kind = pcNode;
    return kind;
  }

  // Segments: the cursor's position across the widened box compared with its
  // position down the box; both ratios agree on the box's main diagonal.
  double bestD = SegmentTolerance;
  for (size_t i = 0; i + 1 < FNodes.size(); ++i) {
    const TPoint& a = FNodes[i];
    const TPoint& b = FNodes[i + 1];
    const int64_t left = int64_t(std::min(a.X, b.X)) - ReachTraces;
    const int64_t right = int64_t(std::max(a.X, b.X)) + ReachTraces;
    const int64_t top = int64_t(std::min(a.Y, b.Y)) - ReachSamples;
    const int64_t bottom = int64_t(std::max(a.Y, b.Y)) + ReachSamples;
    if (x < left || x > right || y < top || y > bottom) continue;
    // right - left >= 6 and bottom - top >= 12: never a division by zero. The
    // difference of two floats is exact in double.
    const double d = std::fabs(double(Ratio(x - left, right - left)) - double(Ratio(y - top, bottom - top)));
    if (d < bestD) {
      bestD = d;
      node = static_cast<int32_t>(i);
    }
  }
  if (node >= 0) kind = pcSegment;
  return kind;
}
