#pragma once
// The palette stream: the control points of a radargram palette as stored in
// channel records, palette files and the palette library.
//
// Layout (little-endian): u32 count n, then n pairs of i32 position and i32
// colour (0x00BBGGRR, or a system colour value kept as it is): 4 + 8n bytes.

#include "platform/rtl/streams.h"
#include "platform/ui/control_types.h"

#include <cstdint>
#include <optional>
#include <vector>

struct TPalettePoint {
  int32_t X = 0;
  TColor cl = 0;
  bool operator==(const TPalettePoint&) const = default;
};

// The rasterised polyline holds at most 1000 vertices: the start vertex and one
// per point.
constexpr int MaxPalettePoints = 999;

// (0, black), (256, white).
std::vector<TPalettePoint> DefaultPalettePoints();

void WritePaletteStream(TStream& stream, const std::vector<TPalettePoint>& points);

// Reads one palette stream at the stream's position.
// - count 0 or 1: only the count is consumed; nullopt (the palette stays as it is);
// - count 2..MaxPalettePoints: the points, in stream order;
// - a count the rest of the stream cannot hold, or above MaxPalettePoints:
//   EReadError, with the stream back where it was.
std::optional<std::vector<TPalettePoint>> ReadPaletteStream(TStream& stream);
