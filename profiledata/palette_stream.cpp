#include "profiledata/palette_stream.h"

namespace {
constexpr int64_t kPointBytes = 8;
}

std::vector<TPalettePoint> DefaultPalettePoints() { return {{0, clBlack}, {256, clWhite}}; }

void WritePaletteStream(TStream& stream, const std::vector<TPalettePoint>& points) {
  stream.WriteValue<uint32_t>(static_cast<uint32_t>(points.size()));
  for (const TPalettePoint& point : points) {
    stream.WriteValue<int32_t>(point.X);
    stream.WriteValue<int32_t>(point.cl);
  }
}

std::optional<std::vector<TPalettePoint>> ReadPaletteStream(TStream& stream) {
  const int64_t start = stream.Position();
  uint32_t count = 0;
  try {
    count = stream.ReadValue<uint32_t>();
  } catch (const EReadError&) {
    stream.SetPosition(start);
    throw;
  }
  if (count <= 1) return std::nullopt;
  // Checked before anything is read, so a bad count never leaves half a palette.
  const int64_t left = stream.Size() - stream.Position();
  if (count > static_cast<uint32_t>(MaxPalettePoints) || static_cast<int64_t>(count) * kPointBytes > left) {
    stream.SetPosition(start);
    throw EReadError();
  }
  std::vector<TPalettePoint> points(count);
  for (TPalettePoint& point : points) {
    point.X = stream.ReadValue<int32_t>();
    point.cl = stream.ReadValue<int32_t>();
  }
  return points;
}
