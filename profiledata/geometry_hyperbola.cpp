#include "profiledata/geometry_gpr.h"

#include <algorithm>
#include <cmath>

float HypotSingle(float a, float b) {
  const long double x = a;
  const long double y = b;
  return static_cast<float>(std::sqrt(x * x + y * y));
}

void HyperbolaRow(int N, THyperbolaArray& row, float apex, float spacing, float proportion, float zero) {
  if (proportion == 0) return;
  if (apex < zero) {
    row.fill(-1.0f);
    return;
  }
  const int half = std::min(N, HyperbolaHalfWidthMax);  // a negative N writes no trace
  const float depth = apex - zero;
  // Slant distance from either antenna (spacing / 2 off the midpoint) to the target at
  // the apex trace; the row grows by how much that distance grows h traces aside.
  const float g = HypotSingle(depth, spacing / 2);
  for (int h = -half; h <= half; ++h) {
    const float offset = static_cast<float>(h) * proportion;
    // Stored in single, summed in extended and rounded once.
    const long double grow = static_cast<long double>(HypotSingle(g, offset)) - g;
    row[HyperbolaApexIndex + h] = static_cast<float>(static_cast<long double>(zero) + depth + grow);
  }
}

void HyperbolaRowEx(int apex, int N, float spacingDistance, float scale, float proportion, float zero,
                    THyperbolaArray& row) {
  if (scale == 0) return;
  const float spacing = spacingDistance / scale;
  if (!std::isfinite(spacing)) return;
  HyperbolaRow(N, row, static_cast<float>(apex), spacing, proportion, zero);
}
