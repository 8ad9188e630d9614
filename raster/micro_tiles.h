#pragma once
// Micro tiles: a grid of 32 x 32 pixel tiles that records which pixels of a
// buffer are invalid. Each tile keeps the bounding box of the invalid pixels
// inside it as one 32-bit value, so adding an area is a handful of byte
// minimum/maximum operations and no list of rectangles exists until the grid
// is turned into one (TilesToRects), which merges neighbouring tiles.
//
// Grid layout: Columns x Rows tiles, row-major, tile (X, Y) at X + Y x Columns,
// tile (X, Y) covering pixels X x 32 .. X x 32 + 32 and Y x 32 .. Y x 32 + 32
// (the grid is anchored at pixel (0, 0); BoundsRect only clips the output).
// The tile memory has a spare row and column (Count = (Columns + 1) x
// (Rows + 1)); no routine addresses it, every span is limited to the grid.
//
// The routine variables TileUnion and TileUnionRow are bound at library
// start-up by the registry "Ras32_MicroTiles bindings"; everything else calls
// through them, so call nothing here before start-up (FillDwords too).
// Threads: a grid is used by one thread at a time; the routines keep no state.

#include "raster/containers.h"
#include "raster/simd_config.h"

#include "platform/ui/graphics.h"

#include <cstdint>
#include <vector>

// A rectangle inside one tile, each side 0..32 relative to the tile's corner,
// right and bottom exclusive: Left in bits 24..31, Top in 16..23, Right in
// 8..15, Bottom in 0..7.
using TMicroTile = uint32_t;
using PMicroTile = TMicroTile*;
using TMicroTileArray = std::vector<TMicroTile>;

inline constexpr int MICROTILE_SHIFT = 5;
inline constexpr int MICROTILE_SIZE = 32;
inline constexpr TMicroTile MICROTILE_EMPTY = 0;
inline constexpr TMicroTile MICROTILE_FULL = 0x00002020u;  // (0, 0, 32, 32)

constexpr TMicroTile MakeMicroTile(int Left, int Top, int Right, int Bottom) {
  return (static_cast<uint32_t>(Left) & 0xFFu) << 24 | (static_cast<uint32_t>(Top) & 0xFFu) << 16 |
         (static_cast<uint32_t>(Right) & 0xFFu) << 8 | (static_cast<uint32_t>(Bottom) & 0xFFu);
}
constexpr int MicroTileLeft(TMicroTile T) { return static_cast<int>(T >> 24); }
constexpr int MicroTileTop(TMicroTile T) { return static_cast<int>((T >> 16) & 0xFFu); }
constexpr int MicroTileRight(TMicroTile T) { return static_cast<int>((T >> 8) & 0xFFu); }
constexpr int MicroTileBottom(TMicroTile T) { return static_cast<int>(T & 0xFFu); }
// A tile covers no pixel when Right <= Left or Bottom <= Top (0 included).
constexpr bool MicroTileHoldsNothing(TMicroTile T) {
  return MicroTileRight(T) <= MicroTileLeft(T) || MicroTileBottom(T) <= MicroTileTop(T);
}

// A grid. Count == Tiles.size(); change the geometry only through the routines.
// BoundsUsedTiles is the span of tile columns Left..Right and rows Top..Bottom
// (both inclusive) that may hold something; an unused grid has
// (Columns, Rows, 0, 0), which makes "grow to include" a plain min/max.
struct TMicroTiles {
  TRect BoundsRect;
  int32_t Columns = 0;
  int32_t Rows = 0;
  TRect BoundsUsedTiles;
  int32_t Count = 0;
  TMicroTileArray Tiles;
};
using PMicroTiles = TMicroTiles*;
using PPMicroTiles = TMicroTiles**;

// ---- Routine variables ------------------------------------------------------------------

// Dst unchanged when it is full or Src holds nothing; Dst := Src when Dst is 0
// or Src is full; otherwise the bounding box of both.
using TTileUnion = void(TMicroTile& DstTile, TMicroTile SrcTile);
// TileUnion(DstTiles[i], SrcTiles[i]) for i = 0 .. Count - 1.
using TTileUnionRow = void(TMicroTile* DstTiles, const TMicroTile* SrcTiles, int32_t Count);
extern TTileUnion* TileUnion;
extern TTileUnionRow* TileUnionRow;

enum TMicroTilesFunctionId : int { fidTileUnion, fidTileUnionRow };

namespace raster_portable {
void TileUnion(TMicroTile& DstTile, TMicroTile SrcTile);
void TileUnionRow(TMicroTile* DstTiles, const TMicroTile* SrcTiles, int32_t Count);
}  // namespace raster_portable

#if RASTER_SSE2_FORMS
namespace raster_sse2 {
// Four tiles per step with byte minimum/maximum; same results as the portable forms.
void TileUnion(TMicroTile& DstTile, TMicroTile SrcTile);
void TileUnionRow(TMicroTile* DstTiles, const TMicroTile* SrcTiles, int32_t Count);
}  // namespace raster_sse2
#endif

// Library start-up: builds the registry and binds the variables.
void RegisterMicroTilesRoutines();

// ---- Grids --------------------------------------------------------------------------------

// A zeroed grid without tile memory / the tile memory released and the grid zeroed.
void MicroTilesCreate(TMicroTiles& Tiles);
void MicroTilesDestroy(TMicroTiles& Tiles);

// BoundsRect := DstRect; Columns = (width shr 5) + 1, Rows = (height shr 5) + 1
// (a reversed rectangle counts as width or height 0); Count = (Columns + 1) x
// (Rows + 1) tiles, all cleared. std::length_error when Count passes 32 bits.
void TilesSetSize(TMicroTiles& Tiles, const TRect& DstRect);
// Every tile := Value; the grid becomes unused.
void TilesClear(TMicroTiles& Tiles, TMicroTile Value = 0);
// Only the tiles in BoundsUsedTiles := Value; the grid becomes unused.
void TilesClearUsed(TMicroTiles& Tiles, TMicroTile Value = 0);
// Dst takes Src's geometry and used span and the tiles inside that span; the
// rest of Dst is 0.
void TilesCopy(TMicroTiles& Dst, const TMicroTiles& Src);

// Adds a rectangle (normalised first, then limited to the grid). Every tile it
// touches is united with the part of the rectangle inside it; with
// RoundToWholeTiles those tiles become full instead. A Right (Bottom) on a tile
// boundary still counts the tile column (row) after it as touched: it receives
// an empty part, or a full tile when rounding.
void TilesAddRect(TMicroTiles& Tiles, const TRect& Rect, bool RoundToWholeTiles = false);
// Adds a line of the given width. An axis-parallel line is its end-point
// rectangle grown outward by 2 x LineWidth. Any other line is walked in steps
// of 32 pixels along its longer axis (16.16 fixed point), each step's segment
// becoming a rectangle grown by 2 x LineWidth; the last step may pass the end
// point by up to 32 pixels. Steps that cannot reach the grid are skipped, so a
// line far longer than the grid costs no more than one across it.
void TilesAddLine(TMicroTiles& Tiles, int X1, int Y1, int X2, int Y2, int LineWidth,
                  bool RoundToWholeTiles = false);
// Unites Src into Dst tile by tile over Src's used span (limited to both
// grids); with RoundToWholeTiles every Dst tile under a Src tile that holds
// something becomes full. Dst's used span grows to include Src's.
void TilesUnion(TMicroTiles& Dst, const TMicroTiles& Src, bool RoundToWholeTiles = false);

// Turns the grid into rectangles, appended to DstRects in creation order
// (unless CountOnly or DstRects is null), and returns their number. Rows are
// scanned top to bottom: a run of tiles whose boxes continue each other (same
// Top and Bottom, the next starting at 0 where this one ends at 32) becomes one
// rectangle, and a run with the same Left and Right directly below a
// rectangle of the previous row extends that rectangle downward. With
// RoundToWholeTiles every non-empty tile counts as full. All sides are limited
// to Clip (the first form clips to BoundsRect).
int TilesToRects(const TMicroTiles& Tiles, TRectList* DstRects, bool CountOnly = false,
                 bool RoundToWholeTiles = false);
int TilesToRects(const TMicroTiles& Tiles, TRectList* DstRects, const TRect& Clip, bool CountOnly,
                 bool RoundToWholeTiles);

// ---- TMicroTilesMap -------------------------------------------------------------------------

// Per key (a layer) a grid on the heap, owned by the map: removing an entry
// or clearing the map releases the grids.
class TMicroTilesMap : public TPointerMap {
public:
  TMicroTilesMap() = default;
  ~TMicroTilesMap() override;

  // The item's grid, or null when the item has no entry.
  PMicroTiles TilesOf(void* Item) const;
  // The item's grid, created (zeroed, without tile memory) when absent.
  PMicroTiles AddTiles(void* Item);

protected:
  // Releases the entry's grid; returns null (the grid no longer exists).
  void* Delete(int BucketIndex, int ItemIndex) override;
};
