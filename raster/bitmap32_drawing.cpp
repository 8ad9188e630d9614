// TCustomBitmap32: rectangle fills and frames, the raised frame, Roll, flips and
// quarter turns, and drawing one bitmap onto another.

#include "raster/bitmap32.h"

#include "raster/resampler_transfer.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// The rectangle is non-empty and overlaps Clip by at least one pixel.
bool MeetsClip(int X1, int Y1, int X2, int Y2, const TRect& Clip) {
  return X1 < X2 && Y1 < Y2 && X1 < Clip.Right && X2 > Clip.Left && Y1 < Clip.Bottom && Y2 > Clip.Top;
}

uint32_t ClampAlpha(int64_t v) { return static_cast<uint32_t>(std::clamp<int64_t>(v, 0, 255)); }

// A flip or turn whose target is measuring only reports the area its W x H
// result would cover: no pixel moves and the target keeps its size.
bool OnlyReportTo(TCustomBitmap32& Target, int W, int H) {
  if (!Target.MeasuringMode()) return false;
  Target.Changed(TRect{0, 0, W, H}, AreaKindRect);
  return true;
}

TCustomBitmap32& TargetOf(TCustomBitmap32& Self, TCustomBitmap32* Dst) { return Dst != nullptr ? *Dst : Self; }

}  // namespace

// ---- Fills ------------------------------------------------------------------------------

void TCustomBitmap32::FillRectS(int X1, int Y1, int X2, int Y2, TColor32 Value) {
  if (FMeasuringMode || !MeetsClip(X1, Y1, X2, Y2, FClipRect)) return;
  FillRect(std::max(X1, FClipRect.Left), std::max(Y1, FClipRect.Top), std::min(X2, FClipRect.Right),
           std::min(Y2, FClipRect.Bottom), Value);
}

void TCustomBitmap32::FillRectT(int X1, int Y1, int X2, int Y2, TColor32 Value) {
  const uint32_t A = Value >> 24;
  if (A == 0xFF) {
    FillRect(X1, Y1, X2, Y2, Value);
    return;
  }
  if (A == 0) return;
  if (!FMeasuringMode && FBits != nullptr && X2 > X1) {
    for (int y = Y1; y < Y2; ++y) {
      PColor32 p = PixelPtr(X1, y);
      if (FCombineMode == cmBlend)
        for (int x = X1; x < X2; ++x, ++p) CombinePxInto(Value, *p, A);
      else
        for (int x = X1; x < X2; ++x, ++p) MergePxInto(Value, *p);
    }
    EndMmxState();
  }
  Changed(TRect{X1, Y1, X2, Y2}, AreaKindRect);
}

void TCustomBitmap32::FillRectTS(int X1, int Y1, int X2, int Y2, TColor32 Value) {
  if (FMeasuringMode || !MeetsClip(X1, Y1, X2, Y2, FClipRect)) return;
  FillRectT(std::max(X1, FClipRect.Left), std::max(Y1, FClipRect.Top), std::min(X2, FClipRect.Right),
            std::min(Y2, FClipRect.Bottom), Value);
}

void TCustomBitmap32::FillRectS(const TRect& ARect, TColor32 Value) {
  if (FMeasuringMode)
    Changed(ARect, AreaKindRect);
  else
    FillRectS(ARect.Left, ARect.Top, ARect.Right, ARect.Bottom, Value);
}

void TCustomBitmap32::FillRectTS(const TRect& ARect, TColor32 Value) {
  if (FMeasuringMode)
    Changed(ARect, AreaKindRect);
  else
    FillRectTS(ARect.Left, ARect.Top, ARect.Right, ARect.Bottom, Value);
}

// ---- Frames -----------------------------------------------------------------------------

void TCustomBitmap32::FrameRectS(int X1, int Y1, int X2, int Y2, TColor32 Value) {
  if (!MeetsClip(X1, Y1, X2, Y2, FClipRect)) return;
  const int R = X2 - 1;  // spans take inclusive ends
  HorzLineS(X1, Y1, R, Value);
  if (Y1 < Y2 - 1) HorzLineS(X1, Y2 - 1, R, Value);
  if (Y1 + 1 < Y2 - 1) {
    VertLineS(X1, Y1 + 1, Y2 - 2, Value);
    if (X1 < R) VertLineS(R, Y1 + 1, Y2 - 2, Value);
  }
}

void TCustomBitmap32::FrameRectTS(int X1, int Y1, int X2, int Y2, TColor32 Value) {
  if (!MeetsClip(X1, Y1, X2, Y2, FClipRect)) return;
  const int R = X2 - 1;
  HorzLineTS(X1, Y1, R, Value);
  if (Y1 < Y2 - 1) HorzLineTS(X1, Y2 - 1, R, Value);
  if (Y1 + 1 < Y2 - 1) {
    VertLineTS(X1, Y1 + 1, Y2 - 2, Value);
    if (X1 < R) VertLineTS(R, Y1 + 1, Y2 - 2, Value);
  }
}

void TCustomBitmap32::FrameRectTSP(int X1, int Y1, int X2, int Y2) {
  if (X1 >= X2 || Y1 >= Y2 || X1 >= FWidth || Y1 >= FHeight || X2 <= 0 || Y2 <= 0) return;
  if (X2 - X1 == 1 && Y2 - Y1 == 1) {
    // Measuring leaves the stipple phase alone, as the stippled spans do.
    if (!FMeasuringMode) SetPixelT(X1, Y1, GetStippleColor());
    Changed(TRect{X1, Y1, X1 + 1, Y1 + 1}, AreaKindRect);
  } else if (X2 - X1 == 1) {
    VertLineTSP(X1, Y1, Y2 - 1);
  } else if (Y2 - Y1 == 1) {
    HorzLineTSP(X1, Y1, X2 - 1);
  } else {
    // Clockwise, each side stopping one short of the next corner.
    HorzLineTSP(X1, Y1, X2 - 2);
    VertLineTSP(X2 - 1, Y1, Y2 - 2);
    HorzLineTSP(X2 - 1, Y2 - 1, X1 + 1);
    VertLineTSP(X1, Y2 - 1, Y1 + 1);
  }
}

void TCustomBitmap32::RaiseRectTS(int X1, int Y1, int X2, int Y2, int Contrast) {
  if (Contrast == 0 || !MeetsClip(X1, Y1, X2, Y2, FClipRect)) return;
  TColor32 light, dark;
  const int64_t c = Contrast;
  if (Contrast > 0) {
    light = (ClampAlpha(c * 512 / 100) << 24) | 0x00FFFFFFu;
    dark = ClampAlpha(c * 255 / 100) << 24;
  } else {
    light = ClampAlpha(-c * 255 / 100) << 24;
    dark = (ClampAlpha(-c * 512 / 100) << 24) | 0x00FFFFFFu;
  }
  HorzLineTS(X1, Y1, X2 - 1, light);
  HorzLineTS(X1, Y2 - 1, X2 - 1, dark);
  VertLineTS(X1, Y1 + 1, Y2 - 2, light);
  VertLineTS(X2 - 1, Y1 + 1, Y2 - 2, dark);
}

// ---- Whole-picture operations -------------------------------------------------------------

void TCustomBitmap32::Roll(int Dx, int Dy, bool FillBack, TColor32 FillColor) {
  if (Empty() || (Dx == 0 && Dy == 0)) return;
  if (std::abs(int64_t{Dx}) >= FWidth || std::abs(int64_t{Dy}) >= FHeight) {
    if (FillBack) Clear(FillColor);
    return;
  }
  const int64_t N = int64_t{FWidth} * FHeight;
  const int64_t s = Dx + int64_t{Dy} * FWidth;
  // One move of the whole block: a pixel leaving a row enters the next one.
  if (!FMeasuringMode) {
    if (s > 0)
      std::memmove(FBits + s, FBits, static_cast<size_t>(N - s) * sizeof(TColor32));
    else if (s < 0)
      std::memmove(FBits, FBits - s, static_cast<size_t>(N + s) * sizeof(TColor32));
  }
  if (FillBack) {
    TRect R;
    IntersectRect(R, TRect{Dx, Dy, Dx + FWidth, Dy + FHeight}, BoundsRect());
    if (R.Top > 0)
      FillRect(0, 0, FWidth, R.Top, FillColor);
    else if (R.Top == 0)
      FillRect(0, R.Bottom, FWidth, FHeight, FillColor);
    if (R.Left > 0)
      FillRect(0, R.Top, R.Left, R.Bottom, FillColor);
    else if (R.Left == 0)
      FillRect(R.Right, R.Top, FWidth, R.Bottom, FillColor);
  }
  Changed();
}

void TCustomBitmap32::FlipHorz(TCustomBitmap32* Dst) {
  if (OnlyReportTo(TargetOf(*this, Dst), FWidth, FHeight)) return;
  if (Dst == nullptr || Dst == this) {
    for (int y = 0; y < FHeight; ++y) std::reverse(ScanLine(y), ScanLine(y) + FWidth);
    Changed();
    return;
  }
  Dst->BeginUpdate();
  Dst->SetSize(FWidth, FHeight);
  for (int y = 0; y < FHeight; ++y) std::reverse_copy(ScanLine(y), ScanLine(y) + FWidth, Dst->ScanLine(y));
  Dst->EndUpdate();
  Dst->Changed();
}

void TCustomBitmap32::FlipVert(TCustomBitmap32* Dst) {
  if (OnlyReportTo(TargetOf(*this, Dst), FWidth, FHeight)) return;
  if (Dst == nullptr || Dst == this) {
    std::vector<TColor32> row(static_cast<size_t>(FWidth));
    for (int i = 0; i < FHeight / 2; ++i) {
      PColor32 a = ScanLine(i), b = ScanLine(FHeight - 1 - i);
      std::copy(a, a + FWidth, row.data());
      std::copy(b, b + FWidth, a);
      std::copy(row.begin(), row.end(), b);
    }
    Changed();
    return;
  }
  Dst->SetSize(FWidth, FHeight);
  for (int i = 0; i < FHeight; ++i) std::copy(ScanLine(i), ScanLine(i) + FWidth, Dst->ScanLine(FHeight - 1 - i));
  Dst->Changed();
}

namespace {

// Source pixel (x, y) of a W x H picture goes to (Height - 1 - y, x) (clockwise)
// or to (y, W - 1 - x) (counter-clockwise) of the H x W result.
void QuarterTurn(const TCustomBitmap32& Src, TCustomBitmap32& Dst, bool Clockwise) {
  const int W = Src.Width(), H = Src.Height();
  Dst.SetSize(H, W);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      if (Clockwise)
        Dst.SetPixel(H - 1 - y, x, Src.Pixel(x, y));
      else
        Dst.SetPixel(y, W - 1 - x, Src.Pixel(x, y));
    }
}

}  // namespace

void TCustomBitmap32::Rotate90(TCustomBitmap32* Dst) {
  if (OnlyReportTo(TargetOf(*this, Dst), FHeight, FWidth)) return;
  if (Dst == nullptr || Dst == this) {
    TCustomBitmap32 tmp;
    QuarterTurn(*this, tmp, true);
    tmp.CopyPixelsInto(this);
    Changed();
    return;
  }
  Dst->BeginUpdate();
  QuarterTurn(*this, *Dst, true);
  Dst->EndUpdate();
  Dst->Changed();
}

void TCustomBitmap32::Rotate270(TCustomBitmap32* Dst) {
  if (OnlyReportTo(TargetOf(*this, Dst), FHeight, FWidth)) return;
  if (Dst == nullptr || Dst == this) {
    TCustomBitmap32 tmp;
    QuarterTurn(*this, tmp, false);
    tmp.CopyPixelsInto(this);
    Changed();
    return;
  }
  Dst->BeginUpdate();
  QuarterTurn(*this, *Dst, false);
  Dst->EndUpdate();
  Dst->Changed();
}

void TCustomBitmap32::Rotate180(TCustomBitmap32* Dst) {
  if (OnlyReportTo(TargetOf(*this, Dst), FWidth, FHeight)) return;
  const int64_t N = int64_t{FWidth} * FHeight;
  if (Dst == nullptr || Dst == this) {
    if (FBits != nullptr) std::reverse(FBits, FBits + N);
    Changed();
    return;
  }
  Dst->SetSize(FWidth, FHeight);
  if (FBits != nullptr) std::reverse_copy(FBits, FBits + N, Dst->Bits());
  Dst->Changed();
}

// ---- Drawing onto another bitmap -------------------------------------------------------------

void TCustomBitmap32::DrawTo(TCustomBitmap32* Dst) {
  if (Dst == nullptr) throw EBitmapException("Destination bitmap is nil");
  CopyBlock(Dst, 0, 0, Dst->ClipRect(), this, BoundsRect(), FDrawMode, OnPixelCombine);
}

void TCustomBitmap32::DrawTo(TCustomBitmap32* Dst, int DstX, int DstY) {
  if (Dst == nullptr) throw EBitmapException("Destination bitmap is nil");
  CopyBlock(Dst, DstX, DstY, Dst->ClipRect(), this, BoundsRect(), FDrawMode, OnPixelCombine);
}

void TCustomBitmap32::DrawTo(TCustomBitmap32* Dst, int DstX, int DstY, const TRect& SrcRect) {
  if (Dst == nullptr) throw EBitmapException("Destination bitmap is nil");
  CopyBlock(Dst, DstX, DstY, Dst->ClipRect(), this, SrcRect, FDrawMode, OnPixelCombine);
}

void TCustomBitmap32::DrawTo(TCustomBitmap32* Dst, const TRect& DstRect) {
  if (Dst == nullptr) throw EBitmapException("Destination bitmap is nil");
  ResampleTransfer(Dst, DstRect, Dst->ClipRect(), this, BoundsRect(), FResampler.get(), FDrawMode, OnPixelCombine);
}

void TCustomBitmap32::DrawTo(TCustomBitmap32* Dst, const TRect& DstRect, const TRect& SrcRect) {
  if (Dst == nullptr) throw EBitmapException("Destination bitmap is nil");
  ResampleTransfer(Dst, DstRect, Dst->ClipRect(), this, SrcRect, FResampler.get(), FDrawMode, OnPixelCombine);
}

void TCustomBitmap32::Draw(int DstX, int DstY, TCustomBitmap32* Src) {
  if (Src != nullptr) Src->DrawTo(this, DstX, DstY);
}

void TCustomBitmap32::Draw(int DstX, int DstY, const TRect& SrcRect, TCustomBitmap32* Src) {
  if (Src != nullptr) Src->DrawTo(this, DstX, DstY, SrcRect);
}

void TCustomBitmap32::Draw(const TRect& DstRect, const TRect& SrcRect, TCustomBitmap32* Src) {
  if (Src != nullptr) Src->DrawTo(this, DstRect, SrcRect);
}
