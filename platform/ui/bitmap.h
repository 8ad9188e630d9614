#pragma once
// TBitmap: a device-independent picture in memory with a pixel format, rows of
// pixels (ScanLine), a logical palette for 8-bit pictures and a canvas.
//
// Pixel memory by format, rows top row first:
//   pf1bit, pf4bit    one byte per pixel holding an index into the palette
//                     (0..1, 0..15); only the bitmap image packs them into bits;
//   pf8bit            one byte per pixel, an index into the palette;
//   pf24bit           three bytes per pixel, B, G, R;
//   pf32bit, pfDevice four bytes per pixel, B, G, R and an unused byte.
// A row pointer stays valid until the size, the format or the palette changes
// or the canvas draws again.
//
// Drawing on an 8-bit picture works in colour and gives each pixel that changed
// the index of the nearest palette colour (the first of equals); pixels the
// drawing did not touch keep their index even where the palette repeats a colour.
// 1- and 4-bit pictures draw the same way with their 2 or 16 colours.
//
// Palettes: a palette object is what a palette handle refers to; whoever holds
// the HPALETTE owns it, and SetPalette hands it to the bitmap. Without one, an
// 8-bit picture uses the grey ramp, a 4-bit one the 16 standard colours and a
// 1-bit one black and white.
//
// Streams: SaveToStream / LoadFromStream write and read the Windows bitmap file
// image (bitmap_stream.h).
//
// Threads: whichever thread owns the bitmap; drawing it on a control happens on
// the user-interface thread.

#include "platform/ui/bitmap_stream.h"
#include "platform/ui/canvas.h"

#include <QImage>

#include <array>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <vector>

struct TPaletteEntry {
  uint8_t peRed = 0;
  uint8_t peGreen = 0;
  uint8_t peBlue = 0;
  uint8_t peFlags = 0;
  bool operator==(const TPaletteEntry&) const = default;
};

// The entry is reserved for palette animation (the flag the programs store).
constexpr uint8_t PC_RESERVED = 0x01;

// A logical palette of up to 256 entries (version 0x300).
struct TMaxLogPalette {
  uint16_t palVersion = 0x300;
  uint16_t palNumEntries = 0;
  std::array<TPaletteEntry, 256> palPalEntry{};
};

struct TPaletteObject {
  std::vector<TPaletteEntry> Entries;
};
using HPALETTE = std::unique_ptr<TPaletteObject>;

// A palette object holding the first palNumEntries (at most 256) entries of log.
HPALETTE CreatePalette(const TMaxLogPalette& log);

enum TPixelFormat : uint8_t { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };

// Where a transparent picture's background colour comes from: tmAuto the
// bottom-left pixel, tmFixed the colour given.
enum TTransparentMode : uint8_t { tmAuto, tmFixed };

class EInvalidGraphicOperation : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

class TBitmap : public TObject, private TCanvasSurface {
public:
  // Empty (0 x 0), pfDevice, no palette.
  TBitmap();
  ~TBitmap() override;
  TBitmap(const TBitmap&) = delete;
  TBitmap& operator=(const TBitmap&) = delete;

  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetWidth(int value) { SetSize(value, height_); }
  void SetHeight(int value) { SetSize(width_, value); }
  // Keeps the pixels that stay inside; new pixels are 0 (black, or index 0).
  void SetSize(int width, int height);
  bool Empty() const { return width_ == 0 || height_ == 0; }

  TPixelFormat PixelFormat() const { return format_; }
  // pfDevice, pf1bit, pf4bit, pf8bit, pf24bit and pf32bit; the pixels are
  // converted (to an indexed format: the nearest palette colour).
  // EInvalidGraphicOperation for the other formats.
  void SetPixelFormat(TPixelFormat value);

  // The first byte of row (0 = top). EInvalidGraphicOperation when row is outside
  // the picture.
  uint8_t* ScanLine(int row);

  TCanvas* Canvas();

  // The palette given last; nullptr when none was given, in which case an 8-bit
  // picture uses the grey ramp (i, i, i).
  const TPaletteObject* Palette() const { return palette_.get(); }
  // Gives the bitmap a palette; an 8-bit picture's indices stay and take the new
  // colours. Entries past the palette's end are black.
  void SetPalette(HPALETTE palette);

  // Transparency for the picture's readers: when Transparent is set, the pixels
  // of TransparentColor are background. Pixels, drawing and streams are not
  // affected. Each setter calls OnChange when the value changes.
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);
  TTransparentMode TransparentMode() const { return transparentMode_; }
  void SetTransparentMode(TTransparentMode value);
  // tmAuto: the colour (RGB) of the bottom-left pixel, clDefault for an empty
  // picture; tmFixed: the colour given last. Setting it switches to tmFixed.
  TColor TransparentColor();
  void SetTransparentColor(TColor value);

  // Copies size, format, palette, pixels and the transparency settings.
  void Assign(const TBitmap& source);

  // The bitmap file image: 1, 4 and 8 bits with their palette (the grey ramp, the
  // 16 standard colours or black and white when none was given), 24 bits, and 32
  // bits for pf32bit and pfDevice (the unused byte written as 0). An empty picture
  // is written as a complete image without pixel rows, so it reads back as itself.
  void SaveToStream(TStream& stream);
  // Replaces size, format, palette and pixels with the image at the stream's
  // position (1 and 4 bits give pf1bit and pf4bit, 24 pf24bit, 32 pf32bit; a
  // colour table becomes the palette) and leaves the stream behind it. A stream
  // that ends early throws EReadError, one that holds no valid image
  // EInvalidGraphic; either way the bitmap stays as it was.
  void LoadFromStream(TStream& stream);

  // The pixels for drawing and reading (painting ended).
  const QImage& Image();

  // After drawing on the canvas and after every change of size, format or palette.
  TNotifyEvent OnChange;

private:
  QImage* BeginPaint() override;
  void EndPaint() override;
  const QImage* PixelImage() override;
  void Changed() override;

  void FlushCanvas();
  // The 256 colours the pixel indices of an indexed format stand for; entries
  // past the palette (or past the format's 2 or 16) are black.
  QList<QRgb> ColorTable(TPixelFormat format) const;
  void Rebuild(int width, int height, TPixelFormat format);

  int width_ = 0;
  int height_ = 0;
  TPixelFormat format_ = pfDevice;
  bool transparent_ = false;
  TTransparentMode transparentMode_ = tmAuto;
  TColor transparentColor_ = clDefault;
  QImage image_;
  HPALETTE palette_;
  std::unique_ptr<TCanvas> canvas_;
  // While the canvas paints an 8-bit picture: the colour picture it paints on and
  // the picture as it was when painting began.
  QImage work_;
  QImage before_;
};
