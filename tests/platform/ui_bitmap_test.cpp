// TBitmap: pixel memory per format, rows, 8-bit palettes and drawing on 8-bit
// pictures.

#include "platform/ui/bitmap.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

TMaxLogPalette PaletteOf(const std::vector<TPaletteEntry>& entries) {
  TMaxLogPalette log;
  log.palNumEntries = static_cast<uint16_t>(entries.size());
  std::copy(entries.begin(), entries.end(), log.palPalEntry.begin());
  return log;
}

std::vector<TPaletteEntry> GreyEntriesWith(std::initializer_list<std::pair<int, TPaletteEntry>> changes) {
  std::vector<TPaletteEntry> entries(256);
  for (int i = 0; i < 256; ++i)
    entries[static_cast<size_t>(i)] = {static_cast<uint8_t>(i), static_cast<uint8_t>(i), static_cast<uint8_t>(i), 0};
  for (const auto& [index, entry] : changes) entries[static_cast<size_t>(index)] = entry;
  return entries;
}

TEST(UiBitmap, RowsHoldThePixelsInBlueGreenRedOrder) {
  struct TCase {
    TPixelFormat format;
    int bytesPerPixel;
  };
  for (const TCase& c : {TCase{pf24bit, 3}, TCase{pf32bit, 4}, TCase{pfDevice, 4}}) {
    SCOPED_TRACE(static_cast<int>(c.format));
    TBitmap bitmap;
    bitmap.SetPixelFormat(c.format);
    bitmap.SetSize(5, 3);
    bitmap.Canvas()->SetPixels(2, 1, RGB(0x11, 0x22, 0x33));
    const uint8_t* row = bitmap.ScanLine(1);
    const int at = 2 * c.bytesPerPixel;
    EXPECT_EQ(row[at], 0x33);
    EXPECT_EQ(row[at + 1], 0x22);
    EXPECT_EQ(row[at + 2], 0x11);
    EXPECT_EQ(bitmap.ScanLine(0)[at + 2], 0) << "new pixels are black";

    // Writing a row is what the canvas then reads.
    uint8_t* top = bitmap.ScanLine(0);
    top[0] = 0x44;  // blue
    top[2] = 0x99;  // red
    EXPECT_EQ(bitmap.Canvas()->Pixels(0, 0), RGB(0x99, 0, 0x44));
  }
}

TEST(UiBitmap, ScanLineOutsideThePictureIsRefused) {
  TBitmap bitmap;
  EXPECT_THROW(bitmap.ScanLine(0), EInvalidGraphicOperation) << "an empty bitmap has no rows";
  bitmap.SetPixelFormat(pf8bit);
  bitmap.SetSize(4, 3);
  EXPECT_NO_THROW(bitmap.ScanLine(0));
  EXPECT_NO_THROW(bitmap.ScanLine(2));
  EXPECT_THROW(bitmap.ScanLine(-1), EInvalidGraphicOperation);
  EXPECT_THROW(bitmap.ScanLine(3), EInvalidGraphicOperation);
}

TEST(UiBitmap, EightBitPixelsAreIndicesColouredByThePalette) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf8bit);
  bitmap.SetSize(256, 1);
  uint8_t* row = bitmap.ScanLine(0);
  for (int i = 0; i < 256; ++i) row[i] = static_cast<uint8_t>(i);
  EXPECT_EQ(bitmap.Palette(), nullptr);
  EXPECT_EQ(bitmap.Canvas()->Pixels(77, 0), RGB(77, 77, 77)) << "without a palette: the grey ramp";

  // A palette of 3 entries: red, green, blue; the rest is black.
  bitmap.SetPalette(CreatePalette(PaletteOf({{255, 0, 0, 0}, {0, 255, 0, 0}, {0, 0, 255, 0}})));
  ASSERT_NE(bitmap.Palette(), nullptr);
  EXPECT_EQ(bitmap.Palette()->Entries.size(), 3u);
  EXPECT_EQ(bitmap.Canvas()->Pixels(0, 0), RGB(255, 0, 0));
  EXPECT_EQ(bitmap.Canvas()->Pixels(2, 0), RGB(0, 0, 255));
  EXPECT_EQ(bitmap.Canvas()->Pixels(3, 0), RGB(0, 0, 0));
  for (int i = 0; i < 256; ++i) ASSERT_EQ(bitmap.ScanLine(0)[i], i) << "a new palette keeps the indices";
}

TEST(UiBitmap, DrawingOnEightBitsTakesTheNearestPaletteColourAndLeavesOtherPixels) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf8bit);
  bitmap.SetSize(8, 2);
  // Entries 10 and 20 are the same red.
  bitmap.SetPalette(CreatePalette(PaletteOf(GreyEntriesWith({{10, {250, 0, 0, 0}}, {20, {250, 0, 0, 0}}}))));
  bitmap.ScanLine(0)[0] = 20;
  bitmap.ScanLine(0)[1] = 10;

  TCanvas* canvas = bitmap.Canvas();
  canvas->Pen()->SetColor(RGB(255, 8, 8));
  canvas->MoveTo(0, 1);
  canvas->LineTo(4, 1);
  const uint8_t* drawn = bitmap.ScanLine(1);
  for (int x = 0; x < 4; ++x) EXPECT_EQ(drawn[x], 10) << "the first of the nearest colours, x " << x;
  EXPECT_EQ(drawn[4], 0) << "the end point is not drawn";
  EXPECT_EQ(bitmap.ScanLine(0)[0], 20) << "an untouched pixel keeps its index although index 10 looks the same";
  EXPECT_EQ(bitmap.ScanLine(0)[1], 10);
}

TEST(UiBitmap, SizeChangesKeepThePixelsThatStayInside) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf8bit);
  bitmap.SetSize(3, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) bitmap.ScanLine(y)[x] = static_cast<uint8_t>(1 + x + 3 * y);
  bitmap.SetSize(5, 3);
  EXPECT_EQ(bitmap.Width(), 5);
  EXPECT_EQ(bitmap.Height(), 3);
  const std::vector<std::vector<int>> expected{{1, 2, 3, 0, 0}, {4, 5, 6, 0, 0}, {0, 0, 0, 0, 0}};
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(bitmap.ScanLine(y)[x], expected[y][x]) << x << "," << y;
  bitmap.SetSize(2, 1);
  EXPECT_EQ(bitmap.ScanLine(0)[1], 2);
  bitmap.SetSize(0, 1);
  EXPECT_TRUE(bitmap.Empty());
}

TEST(UiBitmap, FormatChangesConvertThePixels) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf8bit);
  bitmap.SetSize(2, 1);
  bitmap.SetPalette(CreatePalette(PaletteOf({{0, 0, 0, 0}, {200, 100, 50, 0}, {0, 0, 250, 0}})));
  bitmap.ScanLine(0)[0] = 1;
  bitmap.ScanLine(0)[1] = 2;

  bitmap.SetPixelFormat(pf24bit);
  const uint8_t* rgb = bitmap.ScanLine(0);
  EXPECT_EQ((std::vector<int>{rgb[0], rgb[1], rgb[2], rgb[3], rgb[4], rgb[5]}),
            (std::vector<int>{50, 100, 200, 250, 0, 0}));

  // Back to 8 bits: (190, 110, 40) is nearest to entry 1.
  bitmap.Canvas()->SetPixels(1, 0, RGB(190, 110, 40));
  bitmap.SetPixelFormat(pf8bit);
  EXPECT_EQ(bitmap.ScanLine(0)[0], 1);
  EXPECT_EQ(bitmap.ScanLine(0)[1], 1);

  EXPECT_THROW(bitmap.SetPixelFormat(pf15bit), EInvalidGraphicOperation);
  EXPECT_EQ(bitmap.PixelFormat(), pf8bit);
}

TEST(UiBitmap, AssignCopiesPicturePaletteAndFormat) {
  TBitmap source;
  source.SetPixelFormat(pf8bit);
  source.SetSize(4, 2);
  source.SetPalette(CreatePalette(PaletteOf(GreyEntriesWith({{7, {1, 2, 3, PC_RESERVED}}}))));
  source.ScanLine(1)[3] = 7;
  TBitmap copy;
  copy.Assign(source);
  source.ScanLine(1)[3] = 8;
  EXPECT_EQ(copy.PixelFormat(), pf8bit);
  EXPECT_EQ(copy.Width(), 4);
  EXPECT_EQ(copy.ScanLine(1)[3], 7) << "the copy has pixels of its own";
  EXPECT_EQ(copy.Canvas()->Pixels(3, 1), RGB(1, 2, 3));
  ASSERT_NE(copy.Palette(), nullptr);
  EXPECT_EQ(copy.Palette()->Entries[7], (TPaletteEntry{1, 2, 3, PC_RESERVED}));
}

TEST(UiBitmap, TransparentColourIsTheBottomLeftPixelUntilOneIsGiven) {
  TBitmap b;
  int changes = 0;
  b.OnChange = [&](TObject*) { ++changes; };
  EXPECT_FALSE(b.Transparent());
  EXPECT_EQ(b.TransparentColor(), clDefault);  // empty: no corner to read
  b.SetPixelFormat(pf24bit);
  b.SetSize(3, 2);
  uint8_t* bottom = b.ScanLine(1);
  bottom[0] = 0x30;  // blue, green, red
  bottom[1] = 0x20;
  bottom[2] = 0x10;
  changes = 0;
  b.SetTransparent(true);
  b.SetTransparent(true);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(b.TransparentMode(), tmAuto);
  EXPECT_EQ(b.TransparentColor(), RGB(0x10, 0x20, 0x30));
  b.SetTransparentColor(clRed);
  EXPECT_EQ(b.TransparentMode(), tmFixed);
  EXPECT_EQ(b.TransparentColor(), clRed);
  TBitmap copy;
  copy.Assign(b);
  EXPECT_TRUE(copy.Transparent());
  EXPECT_EQ(copy.TransparentColor(), clRed);
  b.SetTransparentMode(tmAuto);
  EXPECT_EQ(b.TransparentColor(), RGB(0x10, 0x20, 0x30));
}

TEST(UiBitmap, CreatePaletteTakesTheCountedEntries) {
  TMaxLogPalette log;
  log.palNumEntries = 300;  // more than a logical palette holds
  log.palPalEntry[255] = {9, 8, 7, PC_RESERVED};
  HPALETTE all = CreatePalette(log);
  ASSERT_EQ(all->Entries.size(), 256u);
  EXPECT_EQ(all->Entries[255], (TPaletteEntry{9, 8, 7, PC_RESERVED}));
  log.palNumEntries = 0;
  EXPECT_TRUE(CreatePalette(log)->Entries.empty());
}

}  // namespace
