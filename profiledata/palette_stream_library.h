#pragma once
// The palette library: palette streams one after another from position 0, with
// no header and no count (the file "palset" in the program folder). A palette is
// known by the position where its stream starts.

#include "profiledata/palette_stream.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

struct TPaletteLibraryRecord {
  int64_t Position = 0;
  // nullopt for a stream with a count of 0 or 1, which holds no palette: a reader
  // loading it keeps the palette it had.
  std::optional<std::vector<TPalettePoint>> Points;
};

// Walks the library from the start until the position reaches the file size,
// noting each palette's position and reading it. EFOpenError when the file
// cannot be opened; EReadError when a stream is cut short or its count is beyond
// what the file holds (nothing is returned then).
std::vector<TPaletteLibraryRecord> ReadPaletteLibrary(const QString& fileName);

// Appends a palette at the end of the library (creating the file when it does
// not exist) and returns the position where its stream starts. EFCreateError or
// EFOpenError when the file cannot be made or opened.
int64_t AppendPaletteToLibrary(const QString& fileName, const std::vector<TPalettePoint>& points);

// What RemovePaletteFromLibrary did.
enum TPaletteRemoval : uint8_t {
  prRemoved,
  // The index names no palette of the library; nothing changed.
  prNoSuchPalette,
  // The library could not be opened, or one of its streams does not read;
  // nothing changed.
  prUnreadable,
  // The new library could not be written; the old one stays as it was.
  prWriteFailed,
};

// Removes palette index (0 = the first, in file order) from the library. The
// other palettes keep their bytes and their order. The new library is written
// beside the old one and then put in its place, so that a failed write costs
// nothing.
TPaletteRemoval RemovePaletteFromLibrary(const QString& fileName, int index);
