#pragma once
// The channel tables of a palette: the red, green and blue polylines through the
// control points, rasterised into three 256-entry tables.
//
// For each component the polyline through the points in list order, vertex
// k = (X of point k, component of its colour), is stepped segment by segment as
// a digital differential analyser line: one visit per step along the longer
// axis, from the segment's start, its end point left out. A visit (x, y) writes
// y into table[x] with x clamped to 0..255; a later visit of the same entry
// overwrites an earlier one. With the points sorted by position each entry is
// the linear interpolation between the two points around it, and two points at
// one position make a hard step there.

#include "profiledata/palette_stream.h"

#include <array>
#include <cstdint>
#include <vector>

struct TPaletteTables {
  std::array<uint8_t, 256> Red{};
  std::array<uint8_t, 256> Green{};
  std::array<uint8_t, 256> Blue{};
};

// points: positions and RGB colours (system colours already resolved). Returns
// false, leaving tables as they were, for more than MaxPalettePoints points.
bool RasterisePaletteTables(const std::vector<TPalettePoint>& points, TPaletteTables& tables);
