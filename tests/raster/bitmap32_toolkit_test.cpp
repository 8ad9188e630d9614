#include "raster/bitmap32.h"

#include "platform/rtl/sys_utils.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/canvas.h"

#include "bitmap_test_support.h"

#include <QImage>

#include <cstring>

namespace {

class Bitmap32Toolkit : public RasterTest {};

// A toolkit bitmap whose rows are written byte for byte.
void FillRows(TBitmap& graphic, TPixelFormat format, int width, int height, const std::vector<uint8_t>& bytes) {
  graphic.SetPixelFormat(format);
  graphic.SetSize(width, height);
  const int bytesPerPixel = format == pf8bit ? 1 : format == pf24bit ? 3 : 4;
  const size_t rowBytes = static_cast<size_t>(width * bytesPerPixel);
  for (int y = 0; y < height; ++y) std::memcpy(graphic.ScanLine(y), bytes.data() + y * rowBytes, rowBytes);
}

TEST_F(Bitmap32Toolkit, ImportTakesEveryPixelFormat) {
  TBitmap paletted;
  TMaxLogPalette log;
  log.palNumEntries = 3;
  log.palPalEntry[1] = TPaletteEntry{0x12, 0x34, 0x56, 0};
  log.palPalEntry[2] = TPaletteEntry{0xFF, 0x00, 0x80, 0};
  paletted.SetPixelFormat(pf8bit);
  paletted.SetPalette(CreatePalette(log));
  FillRows(paletted, pf8bit, 3, 1, {2, 1, 0});
  TBitmap rgb;
  FillRows(rgb, pf24bit, 2, 1, {0x01, 0x02, 0x03, 0xFD, 0xFE, 0xFF});
  TBitmap withAlpha;
  FillRows(withAlpha, pf32bit, 2, 1, {0x10, 0x20, 0x30, 0x00, 0x40, 0x50, 0x60, 0x7F});

  struct Case {
    const char* what;
    TBitmap& graphic;
    std::vector<TColor32> expected;
  };
  const Case cases[] = {
      {"8 bits through the palette", paletted, {0xFFFF0080u, 0xFF123456u, 0xFF000000u}},
      {"24 bits, alpha 255", rgb, {0xFF030201u, 0xFFFFFEFDu}},
      {"32 bits keep their fourth byte as alpha", withAlpha, {0x00302010u, 0x7F605040u}},
  };
  for (const Case& c : cases) {
    for (bool device : {false, true}) {
      SCOPED_TRACE(testing::Message() << c.what << (device ? ", TBitmap32" : ", TCustomBitmap32"));
      std::unique_ptr<TCustomBitmap32> bitmap(device ? new TBitmap32 : new TCustomBitmap32);
      TCustomBackend* const backend = bitmap->Backend();
      NotificationRecorder rec(*bitmap);
      bitmap->Assign(&c.graphic);
      EXPECT_EQ(PixelsOf(*bitmap), c.expected);
      EXPECT_EQ(bitmap->Backend(), backend);  // a swapped backend is put back
      EXPECT_EQ(rec.changes, 1);
    }
  }
}

// A transparent picture's background pixels (colour bytes equal to its
// transparent colour, alpha ignored) import with alpha 0 and their colour kept;
// every other pixel keeps the alpha it imports with.
TEST_F(Bitmap32Toolkit, TransparentColourImportsWithAlphaZero) {
  TBitmap rgb;  // bottom-left pixel 0x102030, the automatic background
  FillRows(rgb, pf24bit, 3, 2, {0x30, 0x20, 0x10, 0x00, 0x00, 0xFF, 0x30, 0x20, 0x10,  //
                                0x30, 0x20, 0x10, 0x31, 0x20, 0x10, 0xFF, 0xFF, 0xFF});
  TBitmap withAlpha;  // 32 bits: the key matches whatever the fourth byte is
  FillRows(withAlpha, pf32bit, 2, 1, {0x00, 0x00, 0xFF, 0x7F, 0x00, 0x00, 0xFE, 0x80});

  struct Case {
    const char* what;
    TBitmap& graphic;
    TTransparentMode mode;
    TColor color;
    std::vector<TColor32> expected;
  };
  const Case cases[] = {
      {"automatic: the bottom-left colour", rgb, tmAuto, clDefault,
       {0x00102030u, 0xFFFF0000u, 0x00102030u, 0x00102030u, 0xFF102031u, 0xFFFFFFFFu}},
      {"fixed colour", rgb, tmFixed, RGB(0xFF, 0x00, 0x00),
       {0xFF102030u, 0x00FF0000u, 0xFF102030u, 0xFF102030u, 0xFF102031u, 0xFFFFFFFFu}},
      {"fixed colour on 32 bits", withAlpha, tmFixed, clRed, {0x00FF0000u, 0x80FE0000u}},
  };
  for (const Case& c : cases) {
    c.graphic.SetTransparent(true);
    if (c.mode == tmFixed)
      c.graphic.SetTransparentColor(c.color);
    else
      c.graphic.SetTransparentMode(tmAuto);
    for (bool device : {false, true}) {
      SCOPED_TRACE(testing::Message() << c.what << (device ? ", TBitmap32" : ", TCustomBitmap32"));
      std::unique_ptr<TCustomBitmap32> bitmap(device ? new TBitmap32 : new TCustomBitmap32);
      bitmap->Assign(&c.graphic);
      EXPECT_EQ(PixelsOf(*bitmap), c.expected);
    }
  }
  // Not transparent: nothing changes.
  rgb.SetTransparent(false);
  TCustomBitmap32 bitmap;
  bitmap.Assign(&rgb);
  EXPECT_EQ(bitmap.Pixel(0, 0), 0xFF102030u);
}

TEST_F(Bitmap32Toolkit, ImportIntoATBitmap32TakesTheCanvasFont) {
  TBitmap graphic;
  graphic.SetSize(1, 1);
  graphic.Canvas()->Font()->SetName("DejaVu Serif");
  graphic.Canvas()->Font()->SetSize(19);
  TBitmap32 bitmap;
  bitmap.Assign(&graphic);
  EXPECT_EQ(bitmap.Font()->Name(), "DejaVu Serif");
  EXPECT_EQ(bitmap.Font()->Size(), 19);
}

TEST_F(Bitmap32Toolkit, ExportWritesA32BitBitmapThatImportsBackUnchanged) {
  for (bool device : {false, true}) {
    SCOPED_TRACE(device ? "TBitmap32" : "TCustomBitmap32");
    std::unique_ptr<TCustomBitmap32> bitmap(device ? new TBitmap32 : new TCustomBitmap32);
    SetPixels(*bitmap, 2, 2, {0x00112233u, 0x80445566u, 0xFF778899u, 0x01AABBCCu});
    TBitmap graphic;
    graphic.SetPixelFormat(pf8bit);
    bitmap->AssignTo(&graphic);
    EXPECT_EQ(graphic.PixelFormat(), pf32bit);
    ASSERT_EQ(graphic.Width(), 2);
    ASSERT_EQ(graphic.Height(), 2);
    uint32_t firstRow[2];
    std::memcpy(firstRow, graphic.ScanLine(0), sizeof firstRow);
    EXPECT_EQ(firstRow[0], 0x00112233u);
    EXPECT_EQ(firstRow[1], 0x80445566u);

    TCustomBitmap32 back;
    back.Assign(&graphic);
    EXPECT_EQ(PixelsOf(back), PixelsOf(*bitmap));
  }
  TCustomBitmap32 bitmap;
  TFont notABitmap;
  EXPECT_THROW(bitmap.AssignTo(&notABitmap), EConvertError);
}

TEST_F(Bitmap32Toolkit, PicturesAreDrawnOverWhiteAndExportedAsARGB) {
  QImage picture(3, 1, QImage::Format_ARGB32);
  picture.setPixel(0, 0, 0xFF00FF00u);
  picture.setPixel(1, 0, 0x00000000u);
  picture.setPixel(2, 0, 0x80000000u);  // half-covering black over white
  TCustomBitmap32 bitmap;
  bitmap.Assign(picture);
  ASSERT_EQ(bitmap.Width(), 3);
  EXPECT_EQ(bitmap.Pixel(0, 0), 0xFF00FF00u);
  EXPECT_EQ(bitmap.Pixel(1, 0), 0xFFFFFFFFu);
  EXPECT_EQ(Alpha(bitmap.Pixel(2, 0)), 255u);
  EXPECT_NEAR(static_cast<int>(Ch(bitmap.Pixel(2, 0), 0)), 127, 1);

  SetPixels(bitmap, 2, 1, {0x10203040u, 0xFFFFFFFFu});
  QImage exported;
  bitmap.AssignTo(exported);
  ASSERT_EQ(exported.format(), QImage::Format_ARGB32);
  EXPECT_EQ(exported.pixel(0, 0), 0x10203040u);
  EXPECT_EQ(exported.pixel(1, 0), 0xFFFFFFFFu);
}

}  // namespace
