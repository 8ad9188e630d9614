#pragma once
// The palette library as the main window shows it: the start of each palette
// in the library file and a 180 x 16 picture of its colour strip.
//
// Element 0 of PalArray is 0 and stands for "no palette"; element k >= 1 is the
// start of palette k in file order, whose strip is Strips[k - 1]. A palette
// stream with a count of 0 or 1 holds no palette: as in the palette control, the
// palette before it stays, so its strip repeats the previous one (the default
// black-to-white palette before the first).

#include "platform/ui/bitmap.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

inline constexpr int PalStripWidth = 180;
inline constexpr int PalStripHeight = 16;

struct TPaletteStrips {
  std::vector<int64_t> PalArray{0};
  std::vector<std::unique_ptr<TBitmap>> Strips;
  // The library could not be opened, or a palette in it was cut short or
  // unreadable: the palettes before it are kept.
  bool Failed = false;
};

// Reads the library file; a missing or unreadable file gives no palettes
// (PalArray {0}) and Failed.
TPaletteStrips ReadPaletteStrips(const QString& fileName);
