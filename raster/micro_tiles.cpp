#include "raster/micro_tiles.h"

#include "raster/bindings.h"
#include "raster/low_level.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <stdexcept>
#include <utility>

TTileUnion* TileUnion = nullptr;
TTileUnionRow* TileUnionRow = nullptr;

namespace raster_portable {

void TileUnion(TMicroTile& DstTile, TMicroTile SrcTile) {
  if (DstTile == MICROTILE_FULL || MicroTileHoldsNothing(SrcTile)) return;
  if (DstTile == MICROTILE_EMPTY || SrcTile == MICROTILE_FULL) {
    DstTile = SrcTile;
    return;
  }
  DstTile = MakeMicroTile(std::min(MicroTileLeft(DstTile), MicroTileLeft(SrcTile)),
                          std::min(MicroTileTop(DstTile), MicroTileTop(SrcTile)),
                          std::max(MicroTileRight(DstTile), MicroTileRight(SrcTile)),
                          std::max(MicroTileBottom(DstTile), MicroTileBottom(SrcTile)));
}

void TileUnionRow(TMicroTile* DstTiles, const TMicroTile* SrcTiles, int32_t Count) {
  for (int32_t i = 0; i < Count; ++i) TileUnion(DstTiles[i], SrcTiles[i]);
}

}  // namespace raster_portable

void RegisterMicroTilesRoutines() {
  TFunctionRegistry* registry = CreateRegistry("Ras32_MicroTiles bindings");
  registry->RegisterBinding(fidTileUnion, &TileUnion);
  registry->RegisterBinding(fidTileUnionRow, &TileUnionRow);
  registry->Add(fidTileUnion, &raster_portable::TileUnion);
  registry->Add(fidTileUnionRow, &raster_portable::TileUnionRow);
#if RASTER_SSE2_FORMS
  registry->Add(fidTileUnion, &raster_sse2::TileUnion, TCPUFeatures{ciSSE2});
  registry->Add(fidTileUnionRow, &raster_sse2::TileUnionRow, TCPUFeatures{ciSSE2});
#endif
  registry->RebindAll();
}

namespace {

// The used span limited to the addressed tiles; false when nothing is left.
bool UsedSpan(const TMicroTiles& Tiles, int& Left, int& Top, int& Right, int& Bottom) {
  Left = std::max(Tiles.BoundsUsedTiles.Left, 0);
  Top = std::max(Tiles.BoundsUsedTiles.Top, 0);
  Right = std::min(Tiles.BoundsUsedTiles.Right, Tiles.Columns - 1);
  Bottom = std::min(Tiles.BoundsUsedTiles.Bottom, Tiles.Rows - 1);
  return Tiles.Count > 0 && Left <= Right && Top <= Bottom;
}

void IncludeInUsed(TMicroTiles& Tiles, int Left, int Top, int Right, int Bottom) {
  TRect& used = Tiles.BoundsUsedTiles;
  used.Left = std::min(used.Left, Left);
  used.Top = std::min(used.Top, Top);
  used.Right = std::max(used.Right, Right);
  used.Bottom = std::max(used.Bottom, Bottom);
}

// Grows Lo..Hi by D on both sides, outward also when the span is reversed.
void GrowSpan(int64_t& Lo, int64_t& Hi, int64_t D) {
  if (Hi < Lo) D = -D;
  Lo -= D;
  Hi += D;
}

// Coordinates in 64 bits so that callers may grow or offset any int rectangle
// without overflow; the rectangle is limited to the grid before any tile is touched.
void AddRectCore(TMicroTiles& Tiles, int64_t Left, int64_t Top, int64_t Right, int64_t Bottom,
                 bool RoundToWholeTiles) {
  if (Tiles.Count == 0) return;
  if (Right < Left) std::swap(Left, Right);
  if (Bottom < Top) std::swap(Top, Bottom);
  Left = std::max<int64_t>(Left, 0);
  Top = std::max<int64_t>(Top, 0);
  Right = std::min<int64_t>(Right, int64_t{Tiles.Columns} * MICROTILE_SIZE);
  Bottom = std::min<int64_t>(Bottom, int64_t{Tiles.Rows} * MICROTILE_SIZE);
  if (Right < Left || Bottom < Top) return;

  const int startX = static_cast<int>(Left >> MICROTILE_SHIFT);
  const int startY = static_cast<int>(Top >> MICROTILE_SHIFT);
  const int endX = static_cast<int>(Right >> MICROTILE_SHIFT);
  const int endY = static_cast<int>(Bottom >> MICROTILE_SHIFT);
  // A rectangle reaching the grid's right (bottom) edge ends in the column
  // (row) past the grid. That column only ever gets an empty part, or a full
  // tile when rounding; writing it would land in the next row's first tile.
  const int lastX = std::min(endX, Tiles.Columns - 1);
  const int lastY = std::min(endY, Tiles.Rows - 1);
  if (startX > lastX || startY > lastY) return;

  TMicroTile* tiles = Tiles.Tiles.data();
  const int columns = Tiles.Columns;
  if (RoundToWholeTiles) {
    for (int y = startY; y <= lastY; ++y)
      std::fill_n(tiles + static_cast<ptrdiff_t>(y) * columns + startX, lastX - startX + 1, MICROTILE_FULL);
  } else {
    const int ml = static_cast<int>(Left & (MICROTILE_SIZE - 1));
    const int mt = static_cast<int>(Top & (MICROTILE_SIZE - 1));
    const int mr = static_cast<int>(Right & (MICROTILE_SIZE - 1));
    const int mb = static_cast<int>(Bottom & (MICROTILE_SIZE - 1));
    // Each tile gets the rectangle's part inside it: the first column starts at
    // ML, the last ends at MR, the first row starts at MT, the last ends at MB,
    // everything between spans the whole tile.
    for (int y = startY; y <= lastY; ++y) {
      const int top = y == startY ? mt : 0;
      const int bottom = y == endY ? mb : MICROTILE_SIZE;
      TMicroTile* row = tiles + static_cast<ptrdiff_t>(y) * columns;
      for (int x = startX; x <= lastX; ++x) {
        const TMicroTile part =
            MakeMicroTile(x == startX ? ml : 0, top, x == endX ? mr : MICROTILE_SIZE, bottom);
        if (part == MICROTILE_FULL)
          row[x] = MICROTILE_FULL;
        else
          TileUnion(row[x], part);
      }
    }
  }
  IncludeInUsed(Tiles, startX, startY, lastX, lastY);
}

int64_t FloorDiv(int64_t A, int64_t B) {  // B > 0
  const int64_t q = A / B;
  return (A % B != 0 && A < 0) ? q - 1 : q;
}

// (V + $7FFF) shr 16: the nearest pixel, an exact half rounding down.
int64_t FixedToPixel(int64_t V) { return (V + 0x7FFF) >> 16; }

}  // namespace

void MicroTilesCreate(TMicroTiles& Tiles) { Tiles = TMicroTiles{}; }

void MicroTilesDestroy(TMicroTiles& Tiles) { Tiles = TMicroTiles{}; }

void TilesSetSize(TMicroTiles& Tiles, const TRect& DstRect) {
  const int64_t width = std::max<int64_t>(int64_t{DstRect.Right} - DstRect.Left, 0);
  const int64_t height = std::max<int64_t>(int64_t{DstRect.Bottom} - DstRect.Top, 0);
  const int64_t columns = (width >> MICROTILE_SHIFT) + 1;
  const int64_t rows = (height >> MICROTILE_SHIFT) + 1;
  const int64_t count = (columns + 1) * (rows + 1);
  if (count > std::numeric_limits<int32_t>::max()) throw std::length_error("micro tile grid too large");
  Tiles.BoundsRect = DstRect;
  Tiles.Columns = static_cast<int32_t>(columns);
  Tiles.Rows = static_cast<int32_t>(rows);
  Tiles.Count = static_cast<int32_t>(count);
  Tiles.Tiles.resize(static_cast<size_t>(count));
  TilesClear(Tiles);
}

void TilesClear(TMicroTiles& Tiles, TMicroTile Value) {
  Tiles.BoundsUsedTiles = TRect{Tiles.Columns, Tiles.Rows, 0, 0};
  if (Tiles.Count > 0) FillDwords(Tiles.Tiles.data(), static_cast<uint32_t>(Tiles.Count), Value);
}

void TilesClearUsed(TMicroTiles& Tiles, TMicroTile Value) {
  int left, top, right, bottom;
  if (UsedSpan(Tiles, left, top, right, bottom)) {
    const uint32_t width = static_cast<uint32_t>(right - left + 1);
    for (int y = top; y <= bottom; ++y)
      FillDwords(Tiles.Tiles.data() + static_cast<ptrdiff_t>(y) * Tiles.Columns + left, width, Value);
  }
  Tiles.BoundsUsedTiles = TRect{Tiles.Columns, Tiles.Rows, 0, 0};
}

void TilesCopy(TMicroTiles& Dst, const TMicroTiles& Src) {
  if (&Dst == &Src) return;
  if (Dst.Count > 0) TilesClearUsed(Dst);
  // With another row length the cleared tiles would sit in the wrong places:
  // start from an all-zero grid instead.
  if (Dst.Columns != Src.Columns) Dst.Tiles.assign(Dst.Tiles.size(), MICROTILE_EMPTY);
  Dst.BoundsRect = Src.BoundsRect;
  Dst.Columns = Src.Columns;
  Dst.Rows = Src.Rows;
  Dst.BoundsUsedTiles = Src.BoundsUsedTiles;
  Dst.Tiles.resize(static_cast<size_t>(Src.Count), MICROTILE_EMPTY);
  Dst.Count = Src.Count;
  int left, top, right, bottom;
  if (!UsedSpan(Src, left, top, right, bottom)) return;
  for (int y = top; y <= bottom; ++y) {
    const ptrdiff_t at = static_cast<ptrdiff_t>(y) * Src.Columns + left;
    std::copy_n(Src.Tiles.data() + at, right - left + 1, Dst.Tiles.data() + at);
  }
}

void TilesAddRect(TMicroTiles& Tiles, const TRect& Rect, bool RoundToWholeTiles) {
  AddRectCore(Tiles, Rect.Left, Rect.Top, Rect.Right, Rect.Bottom, RoundToWholeTiles);
}

void TilesAddLine(TMicroTiles& Tiles, int X1, int Y1, int X2, int Y2, int LineWidth, bool RoundToWholeTiles) {
  if (Tiles.Count == 0) return;
  const int64_t dx = int64_t{X2} - X1;
  const int64_t dy = int64_t{Y2} - Y1;
  const int64_t width = int64_t{LineWidth} * 2;

  if (dx == 0 || dy == 0) {
    int64_t left = X1, top = Y1, right = X2, bottom = Y2;
    GrowSpan(left, right, width);
    GrowSpan(top, bottom, width);
    AddRectCore(Tiles, left, top, right, bottom, RoundToWholeTiles);
    return;
  }

  // The longer axis advances exactly 32 pixels a step; the shorter one
  // Short / Long x 32, truncated in 16.16 fixed point. Rects (the step count
  // in 16.16) is Long shl 16 div 32 = Long shl 11, and the shorter step
  // FxDiv(Short shl 16, Rects) = (Short shl 32) div (Long shl 11), which is
  // (Short shl 21) div Long without the 64-bit overflow.
  const bool alongX = std::abs(dx) >= std::abs(dy);
  const int64_t longLength = alongX ? std::abs(dx) : std::abs(dy);
  const int64_t shortLength = alongX ? std::abs(dy) : std::abs(dx);
  const int64_t longStep = int64_t{MICROTILE_SIZE} << 16;
  const int64_t shortStep = (shortLength << 21) / longLength;
  const int64_t rects = longLength << 11;
  const int64_t steps = (rects + 0xFFFF) >> 16;  // FxCeil
  const int64_t stepX = (alongX ? longStep : shortStep) * (dx < 0 ? -1 : 1);
  const int64_t stepY = (alongX ? shortStep : longStep) * (dy < 0 ? -1 : 1);

  // Step k covers, along the longer axis, the pixels between P + 32k and
  // P + 32(k + 1) (in the line's direction), grown by the width. Only the
  // steps that can touch 0 .. Limit are walked; one more on each side keeps
  // the rounding of the step ends out of the question.
  const int64_t start = alongX ? X1 : Y1;
  const int64_t direction = (alongX ? dx : dy) < 0 ? -1 : 1;
  const int64_t limit = int64_t{alongX ? Tiles.Columns : Tiles.Rows} * MICROTILE_SIZE;
  const int64_t reach = std::abs(width) + MICROTILE_SIZE;
  int64_t first, last;
  if (direction > 0) {
    first = FloorDiv(-start - reach, MICROTILE_SIZE);
    last = FloorDiv(limit - start + reach, MICROTILE_SIZE);
  } else {
    first = FloorDiv(start - limit - reach, MICROTILE_SIZE);
    last = FloorDiv(start + reach, MICROTILE_SIZE);
  }
  first = std::max<int64_t>(first - 1, 0);
  last = std::min<int64_t>(last + 1, steps - 1);

  int64_t x = (int64_t{X1} << 16) + first * stepX;
  int64_t y = (int64_t{Y1} << 16) + first * stepY;
  for (int64_t k = first; k <= last; ++k) {
    const int64_t nextX = x + stepX;
    const int64_t nextY = y + stepY;
    int64_t left = FixedToPixel(x), top = FixedToPixel(y);
    int64_t right = FixedToPixel(nextX), bottom = FixedToPixel(nextY);
    GrowSpan(left, right, width);
    GrowSpan(top, bottom, width);
    AddRectCore(Tiles, left, top, right, bottom, RoundToWholeTiles);
    x = nextX;
    y = nextY;
  }
}

void TilesUnion(TMicroTiles& Dst, const TMicroTiles& Src, bool RoundToWholeTiles) {
  if (Src.Count == 0 || Dst.Count == 0) return;
  int left, top, right, bottom;
  if (!UsedSpan(Src, left, top, right, bottom)) return;
  // Grids of one buffer share their geometry; anything else is limited to
  // the tiles both grids address.
  right = std::min(right, Dst.Columns - 1);
  bottom = std::min(bottom, Dst.Rows - 1);
  if (left > right || top > bottom) return;

  for (int y = top; y <= bottom; ++y) {
    TMicroTile* dst = Dst.Tiles.data() + static_cast<ptrdiff_t>(y) * Dst.Columns + left;
    const TMicroTile* src = Src.Tiles.data() + static_cast<ptrdiff_t>(y) * Src.Columns + left;
    const int width = right - left + 1;
    if (RoundToWholeTiles) {
      for (int i = 0; i < width; ++i)
        if (!MicroTileHoldsNothing(src[i])) dst[i] = MICROTILE_FULL;
    } else {
      TileUnionRow(dst, src, width);
    }
  }
  IncludeInUsed(Dst, left, top, right, bottom);
}

int TilesToRects(const TMicroTiles& Tiles, TRectList* DstRects, bool CountOnly, bool RoundToWholeTiles) {
  return TilesToRects(Tiles, DstRects, Tiles.BoundsRect, CountOnly, RoundToWholeTiles);
}

int TilesToRects(const TMicroTiles& Tiles, TRectList* DstRects, const TRect& Clip, bool CountOnly,
                 bool RoundToWholeTiles) {
  if (Tiles.Count == 0) return 0;
  const TRect& used = Tiles.BoundsUsedTiles;
  if (used.Right < used.Left || used.Bottom < used.Top) return 0;

  const int columns = Tiles.Columns;
  const int rows = Tiles.Rows;
  auto limitX = [&](int64_t v) { return static_cast<int>(std::min<int64_t>(std::max<int64_t>(v, Clip.Left), Clip.Right)); };
  auto limitY = [&](int64_t v) { return static_cast<int>(std::min<int64_t>(std::max<int64_t>(v, Clip.Top), Clip.Bottom)); };

  std::vector<TRect> rects;
  // Per tile: the rectangle that may grow downward into a run starting here.
  std::vector<int> continues(static_cast<size_t>(columns) * static_cast<size_t>(rows), -1);

  for (int y = 0; y < rows; ++y) {
    const TMicroTile* row = Tiles.Tiles.data() + static_cast<ptrdiff_t>(y) * columns;
    const int64_t rowTop = int64_t{y} * MICROTILE_SIZE;
    for (int x = 0; x < columns; ++x) {
      const TMicroTile tile = row[x];
      if (tile == MICROTILE_EMPTY) continue;
      const int first = x;
      TRect r;
      if (RoundToWholeTiles) {
        while (x + 1 < columns && row[x + 1] != MICROTILE_EMPTY) ++x;
        r = TRect{limitX(int64_t{first} * MICROTILE_SIZE), limitY(rowTop),
                  limitX(int64_t{x} * MICROTILE_SIZE + MICROTILE_SIZE), limitY(rowTop + MICROTILE_SIZE)};
      } else {
        // A box that reaches the tile's right edge continues over the following
        // tiles that start at their left edge with the same rows. Only the first
        // tile's right edge is looked at, so a run may bridge a short gap: the
        // rectangle then covers a few valid pixels too, which costs only a
        // little repainting and keeps the rectangle count low.
        while (MicroTileRight(tile) == MICROTILE_SIZE && x + 1 < columns) {
          const TMicroTile next = row[x + 1];
          if (next == MICROTILE_EMPTY || MicroTileLeft(next) != 0 || MicroTileTop(next) != MicroTileTop(tile) ||
              MicroTileBottom(next) != MicroTileBottom(tile))
            break;
          ++x;
        }
        r = TRect{limitX(int64_t{first} * MICROTILE_SIZE + MicroTileLeft(tile)), limitY(rowTop + MicroTileTop(tile)),
                  limitX(int64_t{x} * MICROTILE_SIZE + MicroTileRight(row[x])),
                  limitY(rowTop + MicroTileBottom(tile))};
      }

      const size_t at = static_cast<size_t>(y) * static_cast<size_t>(columns) + static_cast<size_t>(first);
      int number = continues[at];
      if (number >= 0 && rects[static_cast<size_t>(number)].Left == r.Left &&
          rects[static_cast<size_t>(number)].Right == r.Right && rects[static_cast<size_t>(number)].Bottom == r.Top) {
        rects[static_cast<size_t>(number)].Bottom = r.Bottom;
      } else {
        rects.push_back(r);
        number = static_cast<int>(rects.size()) - 1;
      }
      if (y < rows - 1) continues[at + static_cast<size_t>(columns)] = number;
    }
  }

  if (!CountOnly && DstRects)
    for (const TRect& r : rects) DstRects->Add(r);
  return static_cast<int>(rects.size());
}

// ---- TMicroTilesMap -------------------------------------------------------------------------

TMicroTilesMap::~TMicroTilesMap() { Clear(); }

PMicroTiles TMicroTilesMap::TilesOf(void* Item) const {
  PData data;
  return TPointerMap::Find(Item, data) ? static_cast<PMicroTiles>(*data) : nullptr;
}

PMicroTiles TMicroTilesMap::AddTiles(void* Item) {
  bool isNew = false;
  PData data = Add(Item, isNew);
  if (isNew || !*data) *data = new TMicroTiles();
  return static_cast<PMicroTiles>(*data);
}

void* TMicroTilesMap::Delete(int BucketIndex, int ItemIndex) {
  delete static_cast<PMicroTiles>(TPointerMap::Delete(BucketIndex, ItemIndex));
  return nullptr;
}
