#include "acquisition/palette_strips.h"

#include "platform/rtl/streams.h"
#include "platform/ui/graphics.h"
#include "profiledata/pal_maker_tables.h"
#include "profiledata/palette_stream.h"

#include <cstring>

namespace {

// The 256 table entries stretched over the strip's width, column x showing
// entry x * 256 / width; every row alike.
std::unique_ptr<TBitmap> StripOf(const TPaletteTables& tables) {
  auto strip = std::make_unique<TBitmap>();
  strip->SetPixelFormat(pf24bit);
  strip->SetSize(PalStripWidth, PalStripHeight);
  uint8_t* first = strip->ScanLine(0);
  for (int x = 0; x < PalStripWidth; ++x) {
    const size_t entry = static_cast<size_t>(x * 256 / PalStripWidth);
    first[3 * x] = tables.Blue[entry];
    first[3 * x + 1] = tables.Green[entry];
    first[3 * x + 2] = tables.Red[entry];
  }
  for (int y = 1; y < PalStripHeight; ++y) std::memcpy(strip->ScanLine(y), first, 3 * PalStripWidth);
  return strip;
}

bool Rasterise(const std::vector<TPalettePoint>& points, TPaletteTables& tables) {
  std::vector<TPalettePoint> rgb;
  rgb.reserve(points.size());
  for (const TPalettePoint& p : points) rgb.push_back(TPalettePoint{p.X, ColorToRGB(p.cl)});
  return RasterisePaletteTables(rgb, tables);
}

}  // namespace

TPaletteStrips ReadPaletteStrips(const QString& fileName) {
  TPaletteStrips result;
  TPaletteTables tables;
  Rasterise(DefaultPalettePoints(), tables);
  try {
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    const int64_t size = file.Size();
    while (file.Position() < size) {
      const int64_t start = file.Position();
      if (const std::optional<std::vector<TPalettePoint>> points = ReadPaletteStream(file)) Rasterise(*points, tables);
      result.PalArray.push_back(start);
      result.Strips.push_back(StripOf(tables));
    }
  } catch (const EStreamError&) {
    result.Failed = true;
  }
  return result;
}
