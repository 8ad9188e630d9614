// TBitmap32: anti-aliased text through one colour channel, drawing to and from
// paint devices, and tiled scaling onto a device.

#include "raster/bitmap32.h"

#include "raster/backends.h"
#include "raster/resampler_transfer.h"

#include "platform/ui/bitmap.h"
#include "platform/ui/canvas.h"
#include "platform/ui/graphics.h"

#include <algorithm>

namespace {

// The text is written in white on opaque black, so that after the toolkit's
// blending the blue byte of a pixel holds the glyph coverage of that pixel, as
// on a device without alpha. Returns the bitmap with the text at (0, 0).
// The text is drawn with a copy of the font, so the caller's font keeps its quality.
void WriteWhiteText(TBitmap32& B, const TFont& Font, int FontSize, TFontQuality Quality, int Width, int Height,
                    const QString& Text) {
  TFont f;
  f.Assign(Font);
  f.SetSize(FontSize);
  f.SetQuality(Quality);
  f.SetColor(clWhite);
  B.SetFont(f);
  B.SetSize(Width, Height);
  B.Clear(0xFF000000u);
  B.Textout(0, 0, Text);
}

// Each pixel of B: Color's RGB with alpha = (sum of the blue bytes of its
// Factor x Factor block of B2) div Factor div Factor.
void ShrinkTextBitmap(TBitmap32& B, TBitmap32& B2, int Factor, TColor32 Color) {
  const TColor32 rgb = Color & 0x00FFFFFFu;
  for (int y = 0; y < B.Height(); ++y)
    for (int x = 0; x < B.Width(); ++x) {
      uint32_t sum = 0;
      for (int j = 0; j < Factor; ++j)
        for (int i = 0; i < Factor; ++i) sum += B2.Pixel(x * Factor + i, y * Factor + j) & 0xFFu;
      B.SetPixel(x, y, rgb | ((sum / Factor / Factor) << 24));
    }
}

// Every pixel with coverage becomes Color's RGB with its blue byte as alpha;
// the others become 0.
void BlueChannelToAlpha(TBitmap32& B, TColor32 Color) {
  const TColor32 rgb = Color & 0x00FFFFFFu;
  const int64_t n = int64_t{B.Width()} * B.Height();
  PColor32 p = B.Bits();
  for (int64_t i = 0; i < n; ++i) {
    const uint32_t blue = p[i] & 0xFFu;
    p[i] = blue != 0 ? (rgb | (blue << 24)) : 0u;
  }
}

void RenderTextImpl(TBitmap32& Self, int X, int Y, const QString& Text, int AALevel, TColor32 Color,
                    bool LimitToBitmap) {
  if (Self.Empty()) return;
  AALevel = std::clamp(AALevel, -1, 4);
  const QString padded = Text + QLatin1Char(' ');
  TBitmap32 B;
  if (AALevel > 0) {
    const int factor = 1 << AALevel;
    TBitmap32 B2;
    TFont big;
    big.Assign(*Self.Font());
    big.SetSize(Self.Font()->Size() * factor);
    big.SetColor(clWhite);
    B2.SetFont(big);
    const TSize sz = B2.TextExtent(padded);
    // One block more each way, in whole blocks: the last, partly covered block
    // of each direction is shrunk too instead of being cut off.
    const auto blocks = [factor](int size) { return (size + factor) / factor * factor; };
    WriteWhiteText(B2, big, big.Size(), fqNonAntialiased, blocks(sz.cx), blocks(sz.cy), Text);
    B.SetSize(B2.Width() / factor, B2.Height() / factor);
    if (B.Empty()) return;
    ShrinkTextBitmap(B, B2, factor, Color);
  } else {
    TSize sz = Self.TextExtent(padded);
    if (LimitToBitmap) {
      sz.cx = std::min(sz.cx, Self.Width());
      sz.cy = std::min(sz.cy, Self.Height());
    }
    // Level -1 asks the system for anti-aliased glyphs; level 0 for plain ones.
    WriteWhiteText(B, *Self.Font(), Self.Font()->Size(), AALevel < 0 ? fqAntialiased : fqNonAntialiased, sz.cx,
                   sz.cy, Text);
    if (B.Empty()) return;
    BlueChannelToAlpha(B, Color);
  }
  B.SetDrawMode(dmBlend);
  B.SetMasterAlpha(Color >> 24);
  B.SetCombineMode(Self.CombineMode());
  B.DrawTo(&Self, X, Y);
}

}  // namespace

void TBitmap32::RenderText(int X, int Y, const QString& Text, int AALevel, TColor32 Color) {
  RenderTextImpl(*this, X, Y, Text, AALevel, Color, true);
}

void TBitmap32::RenderTextW(int X, int Y, const QString& Text, int AALevel, TColor32 Color) {
  RenderTextImpl(*this, X, Y, Text, AALevel, Color, false);
}

// ---- Device drawing ---------------------------------------------------------------------

void TBitmap32::DrawTo(QPaintDevice* hDst, int DstX, int DstY) {
  if (Empty()) return;
  if (auto* dc = Supports<IDeviceContextSupport>(this)) dc->DrawTo(hDst, DstX, DstY);
}

void TBitmap32::DrawTo(QPaintDevice* hDst, const TRect& DstRect, const TRect& SrcRect) {
  if (Empty()) return;
  if (auto* dc = Supports<IDeviceContextSupport>(this)) dc->DrawTo(hDst, DstRect, SrcRect);
}

void TBitmap32::Draw(const TRect& DstRect, const TRect& SrcRect, const QImage& hSrc) {
  if (Empty()) return;
  if (FMeasuringMode) {
    Changed(DstRect, AreaKindRect);
    return;
  }
  // The backend draws and reports DstRect.
  if (auto* dc = Supports<IDeviceContextSupport>(this)) dc->Draw(DstRect, SrcRect, hSrc);
}

namespace {

// SrcRect of Src as an opaque 24-bit picture; pixels outside Src are black.
void CopyToOpaqueBitmap(const TCustomBitmap32& Src, const TRect& SrcRect, TBitmap& Out) {
  const int w = SrcRect.Right - SrcRect.Left, h = SrcRect.Bottom - SrcRect.Top;
  Out.SetPixelFormat(pf24bit);
  Out.SetSize(w, h);
  for (int y = 0; y < h; ++y) {
    uint8_t* line = Out.ScanLine(y);
    const int sy = SrcRect.Top + y;
    for (int x = 0; x < w; ++x) {
      const int sx = SrcRect.Left + x;
      const bool inside = sx >= 0 && sx < Src.Width() && sy >= 0 && sy < Src.Height();
      const TColor32 c = inside ? Src.Pixel(sx, sy) : 0;
      line[3 * x] = static_cast<uint8_t>(c);
      line[3 * x + 1] = static_cast<uint8_t>(c >> 8);
      line[3 * x + 2] = static_cast<uint8_t>(c >> 16);
    }
  }
}

// Tiles of at most 1024 x 1024 destination pixels, row by row, left to right:
// each is resampled into a temporary bitmap from the whole DstRect moved so
// that the tile's corner is at (0, 0), then handed to Put with its place.
template <class PutTile>
void ForEachTile(TBitmap32& Self, const TRect& DstRect, const TRect& SrcRect, PutTile Put) {
  constexpr int TileSize = 1024;
  const int64_t w = int64_t{DstRect.Right} - DstRect.Left;
  const int64_t h = int64_t{DstRect.Bottom} - DstRect.Top;
  if (w <= 0 || h <= 0) return;
  for (int64_t ty = 0; ty < h; ty += TileSize)
    for (int64_t tx = 0; tx < w; tx += TileSize) {
      TBitmap32 tile;
      tile.SetSize(static_cast<int>(std::min<int64_t>(TileSize, w - tx)),
                   static_cast<int>(std::min<int64_t>(TileSize, h - ty)));
      const TRect moved{static_cast<int>(-tx), static_cast<int>(-ty), static_cast<int>(w - tx),
                        static_cast<int>(h - ty)};
      ResampleTransfer(&tile, moved, tile.BoundsRect(), &Self, SrcRect, Self.Resampler(), Self.DrawMode(),
                       Self.OnPixelCombine);
      Put(tile, static_cast<int>(tx) + DstRect.Left, static_cast<int>(ty) + DstRect.Top);
    }
}

}  // namespace

void TBitmap32::TileTo(QPaintDevice* hDst, const TRect& DstRect, const TRect& SrcRect) {
  ForEachTile(*this, DstRect, SrcRect, [&](TBitmap32& tile, int x, int y) { tile.DrawTo(hDst, x, y); });
}

void TBitmap32::DrawTo(TCanvas* hDst, int DstX, int DstY) {
  if (Empty() || hDst == nullptr) return;
  TBitmap picture;
  CopyToOpaqueBitmap(*this, BoundsRect(), picture);
  hDst->Draw(DstX, DstY, picture);
}

void TBitmap32::DrawTo(TCanvas* hDst, const TRect& DstRect, const TRect& SrcRect) {
  if (Empty() || hDst == nullptr || RectIsEmpty(SrcRect)) return;
  TBitmap picture;
  CopyToOpaqueBitmap(*this, SrcRect, picture);
  hDst->StretchDraw(DstRect, picture);
}

void TBitmap32::TileTo(TCanvas* hDst, const TRect& DstRect, const TRect& SrcRect) {
  if (hDst == nullptr) return;
  ForEachTile(*this, DstRect, SrcRect, [&](TBitmap32& tile, int x, int y) { tile.DrawTo(hDst, x, y); });
}
