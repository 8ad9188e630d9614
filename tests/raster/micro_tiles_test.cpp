#include "raster/micro_tiles.h"

#include "raster/bindings.h"

#include "tests/raster/raster_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

std::string Str(const TRect& r) {
  return std::to_string(r.Left) + "," + std::to_string(r.Top) + "," + std::to_string(r.Right) + "," +
         std::to_string(r.Bottom);
}

std::string TileStr(TMicroTile t) {
  return Str(TRect{MicroTileLeft(t), MicroTileTop(t), MicroTileRight(t), MicroTileBottom(t)});
}

TMicroTile TileAt(const TMicroTiles& g, int x, int y) { return g.Tiles[static_cast<size_t>(y * g.Columns + x)]; }

std::vector<std::string> Rects(const TMicroTiles& g, bool round = false) {
  TRectList list;
  const int n = TilesToRects(g, &list, false, round);
  std::vector<std::string> out;
  for (int i = 0; i < list.Count(); ++i) out.push_back(Str(*list.Items(i)));
  EXPECT_EQ(n, list.Count());
  return out;
}

// Every addressed tile that is not 0, as "x,y=left,top,right,bottom".
std::vector<std::string> Used(const TMicroTiles& g) {
  std::vector<std::string> out;
  for (int y = 0; y < g.Rows; ++y)
    for (int x = 0; x < g.Columns; ++x)
      if (TileAt(g, x, y)) out.push_back(std::to_string(x) + "," + std::to_string(y) + "=" + TileStr(TileAt(g, x, y)));
  return out;
}

TMicroTiles Grid(int width, int height) {
  TMicroTiles g;
  TilesSetSize(g, TRect{0, 0, width, height});
  return g;
}

const std::string kFull = "0,0,32,32";

class MicroTilesTest : public RasterTest {};

TEST_F(MicroTilesTest, TileUnionCases) {
  struct Case {
    TMicroTile dst, src, expected;
    const char* what;
  };
  const TMicroTile a = MakeMicroTile(10, 10, 20, 20);
  const Case cases[] = {
      {0, a, a, "empty takes the source"},
      {a, 0, a, "empty source"},
      {a, MakeMicroTile(5, 5, 5, 30), a, "source without width"},
      {a, MakeMicroTile(0, 7, 30, 7), a, "source without height"},
      {MICROTILE_FULL, a, MICROTILE_FULL, "full stays full"},
      {a, MICROTILE_FULL, MICROTILE_FULL, "full source"},
      {a, MakeMicroTile(15, 2, 25, 12), MakeMicroTile(10, 2, 25, 20), "bounding box"},
      {a, MakeMicroTile(12, 12, 14, 14), a, "inside"},
      {MakeMicroTile(0, 0, 32, 31), MakeMicroTile(0, 31, 1, 32), MICROTILE_FULL, "adds up to full"},
  };
  for (const Case& c : cases) {
    TMicroTile d = c.dst;
    TileUnion(d, c.src);
    EXPECT_EQ(TileStr(d), TileStr(c.expected)) << c.what;
  }
}

TEST_F(MicroTilesTest, RoutinesAreRegisteredAndBound) {
  TFunctionRegistry* registry = FindRegistry("Ras32_MicroTiles bindings");
  ASSERT_NE(registry, nullptr);
  EXPECT_NE(registry->FindFunction(fidTileUnion), nullptr);
  EXPECT_NE(registry->FindFunction(fidTileUnionRow), nullptr);
  EXPECT_NE(TileUnion, nullptr);
  EXPECT_NE(TileUnionRow, nullptr);
}

#if RASTER_SSE2_FORMS
TEST_F(MicroTilesTest, Sse2FormsMatchThePortableOnes) {
  std::mt19937 rng(7);
  // Mostly tile-like values, with the special ones and arbitrary bytes mixed in.
  auto pick = [&]() -> TMicroTile {
    switch (rng() % 6) {
      case 0: return 0;
      case 1: return MICROTILE_FULL;
      case 2: return rng();
      default: {
        const int l = static_cast<int>(rng() % 33), t = static_cast<int>(rng() % 33);
        const int r = static_cast<int>(rng() % 33), b = static_cast<int>(rng() % 33);
        return MakeMicroTile(l, t, r, b);
      }
    }
  };
  for (int i = 0; i < 20000; ++i) {
    const TMicroTile d = pick(), s = pick();
    TMicroTile p = d, v = d;
    raster_portable::TileUnion(p, s);
    raster_sse2::TileUnion(v, s);
    ASSERT_EQ(v, p) << std::hex << d << " " << s;
  }
  for (int count = 0; count <= 11; ++count) {
    std::vector<TMicroTile> src(static_cast<size_t>(count) + 1), dst(src.size());
    for (size_t i = 0; i < src.size(); ++i) src[i] = pick(), dst[i] = pick();
    std::vector<TMicroTile> p = dst, v = dst;
    raster_portable::TileUnionRow(p.data(), src.data(), count);
    raster_sse2::TileUnionRow(v.data(), src.data(), count);
    EXPECT_EQ(v, p) << count;  // includes the sentinel past Count, which stays untouched
    EXPECT_EQ(v.back(), dst.back());
  }
}
#endif

TEST_F(MicroTilesTest, SetSizeGivesAClearedUnusedGridWithASpareRowAndColumn) {
  TMicroTiles g = Grid(100, 64);
  EXPECT_EQ(g.Columns, 4);
  EXPECT_EQ(g.Rows, 3);  // a height on a tile boundary still gets the row after it
  EXPECT_EQ(g.Count, 5 * 4);
  EXPECT_EQ(static_cast<int>(g.Tiles.size()), g.Count);
  EXPECT_EQ(Str(g.BoundsUsedTiles), "4,3,0,0");
  EXPECT_TRUE(std::all_of(g.Tiles.begin(), g.Tiles.end(), [](TMicroTile t) { return t == 0; }));

  TMicroTiles reversed;
  TilesSetSize(reversed, TRect{50, 50, 10, 10});
  EXPECT_EQ(reversed.Columns, 1);
  EXPECT_EQ(reversed.Rows, 1);
  EXPECT_EQ(Str(reversed.BoundsRect), "50,50,10,10");
}

// A rectangle added to a 100 x 100 grid (4 x 4 tiles, 128 pixels each way): the
// tiles it sets, the used span and the rectangles read back.
TEST_F(MicroTilesTest, AddRectAndReadBack) {
  struct Case {
    const char* what;
    std::vector<TRect> add;
    bool round;
    std::vector<std::string> tiles;
    std::string used;
    std::vector<std::string> rects;
  };
  const Case cases[] = {
      {"inside one tile", {{10, 10, 20, 20}}, false, {"0,0=10,10,20,20"}, "0,0,0,0", {"10,10,20,20"}},
      {"reversed", {{20, 20, 10, 10}}, false, {"0,0=10,10,20,20"}, "0,0,0,0", {"10,10,20,20"}},
      {"crossing a tile edge", {{30, 0, 34, 10}}, false, {"0,0=30,0,32,10", "1,0=0,0,2,10"}, "0,0,1,0",
       {"30,0,34,10"}},
      // Right and Bottom on tile edges: the column and row after get empty parts
      // (no change) but count as used; the full tiles join into one run.
      {"whole tiles", {{0, 0, 64, 32}}, false, {"0,0=" + kFull, "1,0=" + kFull}, "0,0,2,1", {"0,0,64,32"}},
      {"one column over three rows", {{5, 0, 15, 96}}, false,
       {"0,0=5,0,15,32", "0,1=5,0,15,32", "0,2=5,0,15,32"}, "0,0,0,3", {"5,0,15,96"}},
      {"two areas in one tile", {{2, 2, 5, 5}, {20, 20, 25, 25}}, false, {"0,0=2,2,25,25"}, "0,0,0,0",
       {"2,2,25,25"}},
      // Limited to the grid (128 pixels), the read-back to its bounds (100).
      {"clipped at the grid edge", {{90, 90, 500, 500}}, false,
       {"2,2=26,26,32,32", "3,2=0,26,32,32", "2,3=26,0,32,32", "3,3=" + kFull}, "2,2,3,3", {"90,90,100,100"}},
      {"clipped at the grid edge, whole tiles", {{90, 90, 500, 500}}, true,
       {"2,2=" + kFull, "3,2=" + kFull, "2,3=" + kFull, "3,3=" + kFull}, "2,2,3,3", {"64,64,100,100"}},
      {"whole tiles round up", {{40, 40, 50, 50}}, true, {"1,1=" + kFull}, "1,1,1,1", {"32,32,64,64"}},
      {"left of the grid", {{-50, -50, -10, -10}}, false, {}, "4,4,0,0", {}},
      {"right of the grid", {{200, 0, 300, 10}}, true, {}, "4,4,0,0", {}},
      {"starting on the grid's right edge", {{128, 0, 140, 10}}, true, {}, "4,4,0,0", {}},
  };
  for (const Case& c : cases) {
    TMicroTiles g = Grid(100, 100);
    for (const TRect& r : c.add) TilesAddRect(g, r, c.round);
    EXPECT_EQ(Used(g), c.tiles) << c.what;
    EXPECT_EQ(Str(g.BoundsUsedTiles), c.used) << c.what;
    EXPECT_EQ(Rects(g, c.round), c.rects) << c.what;
    // Nothing past the addressed tiles (the spare row and column stay 0).
    for (int i = g.Columns * g.Rows; i < g.Count; ++i) EXPECT_EQ(g.Tiles[static_cast<size_t>(i)], 0u) << c.what;
  }
}

TEST_F(MicroTilesTest, AddRectToAGridWithoutTilesDoesNothing) {
  TMicroTiles g;
  TilesAddRect(g, TRect{0, 0, 10, 10});
  TilesAddLine(g, 0, 0, 50, 70, 1);
  EXPECT_EQ(g.Count, 0);
  EXPECT_TRUE(g.Tiles.empty());
}

TEST_F(MicroTilesTest, AddLine) {
  struct Case {
    const char* what;
    int x1, y1, x2, y2, width;
    std::vector<std::string> rects;
  };
  const Case cases[] = {
      // Axis-parallel: the end points grown by twice the width.
      {"horizontal", 10, 10, 50, 10, 1, {"8,8,52,12"}},
      {"horizontal, reversed", 50, 10, 10, 10, 1, {"8,8,52,12"}},
      {"vertical, reversed", 40, 90, 40, 20, 2, {"36,16,44,94"}},
      // Steps of 32 along x, 16 along y; the last step passes the end (100, 50).
      {"diagonal", 0, 0, 100, 50, 0, {"0,0,32,16", "32,16,64,32", "64,32,96,48", "96,48,128,64"}},
      {"diagonal, backwards", 100, 50, 0, 0, 0, {"0,0,4,2", "4,2,36,18", "36,18,68,34", "68,34,100,50"}},
      // Steps of 32 along y, 3.2 along x rounded per corner: 10, 13, 16, 20, 23.
      {"steep", 10, 0, 20, 100, 0, {"10,0,13,32", "13,32,16,64", "16,64,20,96", "20,96,23,128"}},
      {"diagonal with width", 0, 0, 100, 50, 1,
       {"-2,-2,34,18", "30,14,66,34", "62,30,98,50", "94,46,130,66"}},
  };
  for (const Case& c : cases) {
    TMicroTiles g = Grid(200, 200);
    TilesAddLine(g, c.x1, c.y1, c.x2, c.y2, c.width);
    // The read-back would merge tiles: compare with the step rectangles added one by one.
    TMicroTiles expected = Grid(200, 200);
    for (const std::string& s : c.rects) {
      TRect r{};
      std::sscanf(s.c_str(), "%d,%d,%d,%d", &r.Left, &r.Top, &r.Right, &r.Bottom);
      TilesAddRect(expected, r);
    }
    EXPECT_EQ(g.Tiles, expected.Tiles) << c.what;
    EXPECT_EQ(Str(g.BoundsUsedTiles), Str(expected.BoundsUsedTiles)) << c.what;
  }
}

// The walk written out step by step as the line's definition says, every
// step added (no skipping), to check the skipping of steps off the grid.
void ReferenceLine(TMicroTiles& g, int x1, int y1, int x2, int y2, int lineWidth, bool round) {
  const int64_t dx = int64_t{x2} - x1, dy = int64_t{y2} - y1, w = 2 * int64_t{lineWidth};
  auto grow = [](int64_t& lo, int64_t& hi, int64_t d) {
    if (hi < lo) d = -d;
    lo -= d;
    hi += d;
  };
  auto add = [&](int64_t l, int64_t t, int64_t r, int64_t b) {
    grow(l, r, w);
    grow(t, b, w);
    auto c = [](int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, -2000000000, 2000000000)); };
    TilesAddRect(g, TRect{c(l), c(t), c(r), c(b)}, round);
  };
  if (dx == 0 || dy == 0) return add(x1, y1, x2, y2);
  const bool alongX = std::llabs(dx) >= std::llabs(dy);
  const int64_t len = alongX ? std::llabs(dx) : std::llabs(dy);
  const int64_t shortLen = alongX ? std::llabs(dy) : std::llabs(dx);
  const int64_t rects = (len << 16) / 32;
  const int64_t shortStep = (shortLen << 32) / rects;
  const int64_t sx = (alongX ? 32 << 16 : shortStep) * (dx < 0 ? -1 : 1);
  const int64_t sy = (alongX ? shortStep : 32 << 16) * (dy < 0 ? -1 : 1);
  int64_t x = int64_t{x1} * 65536, y = int64_t{y1} * 65536;
  for (int64_t k = 0; k < (rects + 0xFFFF) / 65536; ++k) {
    auto px = [](int64_t v) { return (v + 0x7FFF) >> 16; };
    add(px(x), px(y), px(x + sx), px(y + sy));
    x += sx;
    y += sy;
  }
}

TEST_F(MicroTilesTest, AddLineMatchesTheFullWalkForLinesLeavingTheGrid) {
  std::mt19937 rng(11);
  std::uniform_int_distribution<int> coord(-600, 700), width(0, 5);
  for (int i = 0; i < 800; ++i) {
    // Whole tiles too: there a step that only touches the grid's edge still marks a tile.
    const bool round = i % 2 != 0;
    const int x1 = coord(rng), y1 = coord(rng), x2 = coord(rng), y2 = coord(rng), w = width(rng);
    TMicroTiles g = Grid(150, 100), ref = Grid(150, 100);
    TilesAddLine(g, x1, y1, x2, y2, w, round);
    ReferenceLine(ref, x1, y1, x2, y2, w, round);
    ASSERT_EQ(g.Tiles, ref.Tiles) << x1 << "," << y1 << " - " << x2 << "," << y2 << " w " << w << " round " << round;
  }
}

TEST_F(MicroTilesTest, AddLineFarBeyondTheGrid) {
  // Two billion pixels long, 45 degrees through (0, 0): only the diagonal tiles,
  // without 32-bit overflow in the fixed-point walk.
  TMicroTiles g = Grid(100, 100);
  TilesAddLine(g, -1000000000, -1000000000, 1000000000, 1000000000, 0);
  EXPECT_EQ(Used(g), (std::vector<std::string>{"0,0=" + kFull, "1,1=" + kFull, "2,2=" + kFull, "3,3=" + kFull}));
  EXPECT_EQ(Rects(g), (std::vector<std::string>{"0,0,32,32", "32,32,64,64", "64,64,96,96", "96,96,100,100"}));
}

TEST_F(MicroTilesTest, ToRectsRuns) {
  struct Case {
    const char* what;
    std::vector<TRect> add;
    std::vector<std::string> exact, whole;
  };
  const Case cases[] = {
      // A run that starts at a tile reaching its right edge takes every following
      // tile with the same rows that starts at its left edge, bridging the gap.
      {"run bridges a gap", {{10, 0, 40, 10}, {64, 0, 70, 10}}, {"10,0,70,10"}, {"0,0,96,32"}},
      // A first tile short of its right edge starts no run.
      {"short first tile", {{10, 0, 20, 10}, {32, 0, 40, 10}}, {"10,0,20,10", "32,0,40,10"}, {"0,0,64,32"}},
      {"different rows do not join", {{20, 0, 32, 10}, {32, 5, 50, 10}}, {"20,0,32,10", "32,5,50,10"},
       {"0,0,64,32"}},
      // The lower run is wider: a new rectangle, not a grown one.
      {"L shape", {{0, 0, 32, 32}, {0, 32, 64, 64}}, {"0,0,32,32", "0,32,64,64"},
       {"0,0,32,32", "0,32,64,64"}},
      {"block grows downward", {{0, 0, 64, 96}}, {"0,0,64,96"}, {"0,0,64,96"}},
      {"separate tiles", {{5, 5, 6, 6}, {70, 70, 71, 71}}, {"5,5,6,6", "70,70,71,71"}, {"0,0,32,32", "64,64,96,96"}},
  };
  for (const Case& c : cases) {
    TMicroTiles g = Grid(200, 200);
    for (const TRect& r : c.add) TilesAddRect(g, r);
    EXPECT_EQ(Rects(g, false), c.exact) << c.what;
    EXPECT_EQ(Rects(g, true), c.whole) << c.what;
  }
}

TEST_F(MicroTilesTest, ToRectsClipsAndCounts) {
  TMicroTiles g = Grid(200, 200);
  TilesAddRect(g, TRect{10, 10, 100, 20});
  TilesAddRect(g, TRect{150, 150, 160, 160});

  TRectList list;
  list.Add(TRect{1, 2, 3, 4});
  EXPECT_EQ(TilesToRects(g, &list, TRect{20, 0, 155, 200}, false, false), 2);
  ASSERT_EQ(list.Count(), 3);  // appended after what was there
  EXPECT_EQ(Str(*list.Items(1)), "20,10,100,20");
  EXPECT_EQ(Str(*list.Items(2)), "150,150,155,160");

  EXPECT_EQ(TilesToRects(g, &list, true, false), 2);
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(TilesToRects(g, nullptr, true, true), 2);

  TMicroTiles empty = Grid(200, 200);
  EXPECT_EQ(TilesToRects(empty, &list), 0);
  TMicroTiles none;
  EXPECT_EQ(TilesToRects(none, &list), 0);
}

TEST_F(MicroTilesTest, UnionExactAndWhole) {
  TMicroTiles a = Grid(200, 200), b = Grid(200, 200);
  TilesAddRect(a, TRect{10, 10, 20, 20});
  TilesAddRect(a, TRect{100, 100, 110, 110});
  TilesAddRect(b, TRect{15, 5, 25, 15});
  TilesAddRect(b, TRect{40, 40, 50, 50});

  TMicroTiles exact;
  TilesCopy(exact, a);
  TilesUnion(exact, b);
  EXPECT_EQ(Used(exact), (std::vector<std::string>{"0,0=10,5,25,20", "1,1=8,8,18,18", "3,3=4,4,14,14"}));
  EXPECT_EQ(Str(exact.BoundsUsedTiles), "0,0,3,3");

  TMicroTiles whole;
  TilesCopy(whole, a);
  TilesUnion(whole, b, true);
  EXPECT_EQ(Used(whole), (std::vector<std::string>{"0,0=" + kFull, "1,1=" + kFull, "3,3=4,4,14,14"}));

  // Into an unused grid: the used span becomes the source's.
  TMicroTiles fresh = Grid(200, 200);
  TilesUnion(fresh, b);
  EXPECT_EQ(Str(fresh.BoundsUsedTiles), Str(b.BoundsUsedTiles));
  EXPECT_EQ(fresh.Tiles, b.Tiles);
}

TEST_F(MicroTilesTest, UnionStaysInsideBothGrids) {
  TMicroTiles big = Grid(300, 300), small = Grid(40, 40), none;
  TilesAddRect(big, TRect{10, 10, 20, 20});
  TilesAddRect(big, TRect{250, 250, 260, 260});
  TilesUnion(small, big);
  EXPECT_EQ(Used(small), (std::vector<std::string>{"0,0=10,10,20,20"}));
  EXPECT_EQ(static_cast<int>(small.Tiles.size()), small.Count);

  TilesUnion(none, big);  // no tile memory: nothing to write into
  EXPECT_TRUE(none.Tiles.empty());
  TilesUnion(small, none);
  EXPECT_EQ(Used(small), (std::vector<std::string>{"0,0=10,10,20,20"}));
}

TEST_F(MicroTilesTest, CopyTakesGeometryUsedSpanAndTiles) {
  TMicroTiles src = Grid(200, 100);
  TilesAddRect(src, TRect{40, 40, 80, 50});

  TMicroTiles dst = Grid(64, 300);  // another geometry, with tiles of its own
  TilesAddRect(dst, TRect{0, 0, 64, 300});
  TilesCopy(dst, src);
  EXPECT_EQ(dst.Columns, src.Columns);
  EXPECT_EQ(dst.Rows, src.Rows);
  EXPECT_EQ(dst.Count, src.Count);
  EXPECT_EQ(Str(dst.BoundsRect), Str(src.BoundsRect));
  EXPECT_EQ(Str(dst.BoundsUsedTiles), Str(src.BoundsUsedTiles));
  EXPECT_EQ(dst.Tiles, src.Tiles);

  TMicroTiles zeroed;
  TilesCopy(zeroed, src);
  EXPECT_EQ(zeroed.Tiles, src.Tiles);
}

TEST_F(MicroTilesTest, ClearAndClearUsed) {
  TMicroTiles g = Grid(100, 100);
  TilesClear(g, MICROTILE_FULL);
  EXPECT_EQ(Str(g.BoundsUsedTiles), "4,4,0,0");
  EXPECT_TRUE(std::all_of(g.Tiles.begin(), g.Tiles.end(), [](TMicroTile t) { return t == MICROTILE_FULL; }));

  g.BoundsUsedTiles = TRect{1, 1, 2, 2};
  TilesClearUsed(g);
  EXPECT_EQ(Str(g.BoundsUsedTiles), "4,4,0,0");
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(TileAt(g, x, y), (x >= 1 && x <= 2 && y >= 1 && y <= 2) ? 0u : MICROTILE_FULL) << x << "," << y;

  // A span reaching the spare row and column (as an all-invalid grid has)
  // clears every addressed tile.
  g.BoundsUsedTiles = TRect{0, 0, g.Columns, g.Rows};
  TilesClearUsed(g, 0);
  EXPECT_TRUE(Used(g).empty());
}

TEST_F(MicroTilesTest, MapOwnsOneGridPerItem) {
  int a = 0, b = 0;
  TMicroTilesMap map;
  PMicroTiles ta = map.AddTiles(&a);
  ASSERT_NE(ta, nullptr);
  EXPECT_EQ(ta->Count, 0);
  TilesSetSize(*ta, TRect{0, 0, 64, 64});
  EXPECT_EQ(map.AddTiles(&a), ta);
  EXPECT_EQ(map.TilesOf(&a), ta);
  EXPECT_EQ(map.TilesOf(&b), nullptr);
  map.AddTiles(&b);
  EXPECT_EQ(map.Count(), 2);
  map.Remove(&a);  // releases the grid (the sanitizer build checks for leaks)
  EXPECT_EQ(map.TilesOf(&a), nullptr);
  EXPECT_EQ(map.Count(), 1);
  map.Clear();
  EXPECT_EQ(map.Count(), 0);
  TilesSetSize(*map.AddTiles(&b), TRect{0, 0, 10, 10});  // freed with the map
}

}  // namespace
