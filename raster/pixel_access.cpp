// Sub-pixel, blended, wrapped and resampled pixel access of TCustomBitmap32.

#include "raster/bitmap32.h"

#include "raster/coordinate_helpers.h"
#include "raster/gamma.h"
#include "raster/resampler_routines.h"

#include "platform/rtl/rounding.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

// 16.16 to 24.8 for coordinates that may be negative: (v + 127) shr 8 with an
// arithmetic shift, the addition done wide so it cannot overflow.
int32_t To256Signed(TFixed v) { return static_cast<int32_t>((int64_t{v} + 127) >> 8); }
// The same with a logical shift, for the unclipped forms (v >= 0).
int32_t To256Unsigned(TFixed v) { return static_cast<int32_t>((static_cast<uint32_t>(v) + 127u) >> 8); }

// round(v x 256), halves to even, saturated.
int32_t FloatTo256(float v) {
  if (std::isnan(v)) return 0;
  return static_cast<int32_t>(std::clamp<int64_t>(Round(static_cast<long double>(v) * 256.0L), INT32_MIN, INT32_MAX));
}

}  // namespace

// ---- Blended writes ---------------------------------------------------------------

void TCustomBitmap32::SetPixelT(int X, int Y, TColor32 Value) {
  FBlendProc(Value, *PixelPtr(X, Y));
  EndMmxState();
}

void TCustomBitmap32::SetPixelT(PColor32& Ptr, TColor32 Value) {
  FBlendProc(Value, *Ptr);
  ++Ptr;
  EndMmxState();
}

void TCustomBitmap32::SetPixelTS(int X, int Y, TColor32 Value) {
  if (X >= FClipRect.Left && X < FClipRect.Right && Y >= FClipRect.Top && Y < FClipRect.Bottom) {
    FBlendProc(Value, *PixelPtr(X, Y));
    EndMmxState();
  }
}

// ---- 24.8 sub-pixel routines -----------------------------------------------------------

namespace {

// Blends C into one of the four pixels a sub-pixel point covers; wx, wy are its
// gamma-corrected coverage weights (0..255).
void PutWeighted(TCombineMode mode, TColor32 C, TColor32& P, uint32_t wx, uint32_t wy) {
  if (mode == cmMerge)
    CombinePxInto(MergePx(C, P), P, (wx * wy) >> 8);
  else
    CombinePxInto(C, P, ((C >> 24) * wx * wy) >> 16);
}

}  // namespace

void TCustomBitmap32::SetPixelT256(int32_t X, int32_t Y, TColor32 C) {
  const uint32_t fx = static_cast<uint32_t>(X) & 255u;
  const uint32_t fy = static_cast<uint32_t>(Y) & 255u;
  const uint32_t wl = GammaTable[fx ^ 255u], wr = GammaTable[fx];
  const uint32_t wt = GammaTable[fy ^ 255u], wb = GammaTable[fy];
  PColor32 p = PixelPtr(X >> 8, Y >> 8);
  PutWeighted(FCombineMode, C, p[0], wl, wt);
  PutWeighted(FCombineMode, C, p[1], wr, wt);
  p += FWidth;
  PutWeighted(FCombineMode, C, p[1], wr, wb);
  PutWeighted(FCombineMode, C, p[0], wl, wb);
  EndMmxState();
}

void TCustomBitmap32::SetPixelTS256(int32_t X, int32_t Y, TColor32 C) {
  const TRect& f = F256ClipRect;
  if (int64_t{X} < int64_t{f.Left} - 256 || X >= f.Right || int64_t{Y} < int64_t{f.Top} - 256 || Y >= f.Bottom)
    return;
  // Floored, so that X = 256 px + fx holds on the negative side as well.
  const int32_t px = X >> 8, py = Y >> 8;
  const TRect& c = FClipRect;
  if (px >= c.Left && px < c.Right - 1 && py >= c.Top && py < c.Bottom - 1) {
    SetPixelT256(X, Y, C);
    return;
  }
  const uint32_t fx = static_cast<uint32_t>(X) & 255u;
  const uint32_t fy = static_cast<uint32_t>(Y) & 255u;
  const uint32_t wl = GammaTable[fx ^ 255u], wr = GammaTable[fx];
  const uint32_t wt = GammaTable[fy ^ 255u], wb = GammaTable[fy];
  if (px >= c.Left && py >= c.Top) PutWeighted(FCombineMode, C, *PixelPtr(px, py), wl, wt);
  if (px < c.Right - 1 && py >= c.Top) PutWeighted(FCombineMode, C, *PixelPtr(px + 1, py), wr, wt);
  if (px < c.Right - 1 && py < c.Bottom - 1) PutWeighted(FCombineMode, C, *PixelPtr(px + 1, py + 1), wr, wb);
  if (px >= c.Left && py < c.Bottom - 1) PutWeighted(FCombineMode, C, *PixelPtr(px, py + 1), wl, wb);
  EndMmxState();
}

TColor32 TCustomBitmap32::GetPixelT256(int32_t X, int32_t Y) const {
  const PColor32 row = PixelPtr(X >> 8, Y >> 8);
  const TColor32 result = SampleBilinear(GammaTable[(static_cast<uint32_t>(X) & 255u) ^ 255u],
                                         GammaTable[(static_cast<uint32_t>(Y) & 255u) ^ 255u], row, row + FWidth);
  EndMmxState();
  return result;
}

TColor32 TCustomBitmap32::GetPixelTS256(int32_t X, int32_t Y) const {
  if (X < F256ClipRect.Left || Y < F256ClipRect.Top) return FOuterColor;
  const int64_t r = FClipRect.Right - 1, b = FClipRect.Bottom - 1;
  if (X < r * 256 && Y < b * 256) return GetPixelT256(X, Y);
  if (X == r * 256 && Y <= b * 256) return Pixel(static_cast<int>(r), Y >> 8);
  if (Y == b * 256 && X <= r * 256) return Pixel(X >> 8, static_cast<int>(b));
  return FOuterColor;
}

// ---- 16.16 and float forms ------------------------------------------------------------

TColor32 TCustomBitmap32::PixelX(TFixed X, TFixed Y) const { return GetPixelT256(To256Unsigned(X), To256Unsigned(Y)); }

void TCustomBitmap32::SetPixelX(TFixed X, TFixed Y, TColor32 Value) {
  SetPixelT256(To256Unsigned(X), To256Unsigned(Y), Value);
}

TColor32 TCustomBitmap32::PixelXS(TFixed X, TFixed Y) const { return GetPixelTS256(To256Signed(X), To256Signed(Y)); }

void TCustomBitmap32::SetPixelXS(TFixed X, TFixed Y, TColor32 Value) {
  SetPixelTS256(To256Signed(X), To256Signed(Y), Value);
}

TColor32 TCustomBitmap32::PixelXW(TFixed X, TFixed Y) const {
  if (RectIsEmpty(FClipRect)) return FOuterColor;
  const TRect& c = FClipRect;
  const int32_t x = X >> 16, y = Y >> 16;
  const int32_t x0 = FWrapProcHorz(x, c.Left, c.Right - 1), x1 = FWrapProcHorz(x + 1, c.Left, c.Right - 1);
  const int32_t y0 = FWrapProcVert(y, c.Top, c.Bottom - 1), y1 = FWrapProcVert(y + 1, c.Top, c.Bottom - 1);
  // Weights of the right column and the lower row.
  const uint32_t wx = (static_cast<uint32_t>(X) >> 8) & 255u;
  const uint32_t wy = (static_cast<uint32_t>(Y) >> 8) & 255u;
  const TColor32 top = CombinePx(Pixel(x1, y0), Pixel(x0, y0), wx);
  const TColor32 bottom = CombinePx(Pixel(x1, y1), Pixel(x0, y1), wx);
  const TColor32 result = CombinePx(bottom, top, wy);
  EndMmxState();
  return result;
}

void TCustomBitmap32::SetPixelXW(TFixed X, TFixed Y, TColor32 Value) {
  if (RectIsEmpty(FClipRect)) return;
  const TRect& f = F256ClipRect;
  const int32_t x = FWrapProcHorz(To256Signed(X), f.Left, f.Right - 128);
  const int32_t y = FWrapProcVert(To256Signed(Y), f.Top, f.Bottom - 128);
  const int32_t px = x >> 8, py = y >> 8;
  // The wrapped point may lie in the last column or row, whose right or lower
  // neighbour does not exist; such a neighbour is left out rather than
  // written past the end of the row or the pixels.
  if (px + 1 < FWidth && py + 1 < FHeight) {
    SetPixelT256(x, y, Value);
    return;
  }
  const uint32_t fx = static_cast<uint32_t>(x) & 255u;
  const uint32_t fy = static_cast<uint32_t>(y) & 255u;
  const uint32_t wl = GammaTable[fx ^ 255u], wr = GammaTable[fx];
  const uint32_t wt = GammaTable[fy ^ 255u], wb = GammaTable[fy];
  const bool right = px + 1 < FWidth, below = py + 1 < FHeight;
  PutWeighted(FCombineMode, Value, *PixelPtr(px, py), wl, wt);
  if (right) PutWeighted(FCombineMode, Value, *PixelPtr(px + 1, py), wr, wt);
  if (right && below) PutWeighted(FCombineMode, Value, *PixelPtr(px + 1, py + 1), wr, wb);
  if (below) PutWeighted(FCombineMode, Value, *PixelPtr(px, py + 1), wl, wb);
  EndMmxState();
}

TColor32 TCustomBitmap32::PixelF(float X, float Y) const { return GetPixelT256(FloatTo256(X), FloatTo256(Y)); }

void TCustomBitmap32::SetPixelF(float X, float Y, TColor32 Value) { SetPixelT256(FloatTo256(X), FloatTo256(Y), Value); }

TColor32 TCustomBitmap32::PixelFS(float X, float Y) const { return GetPixelTS256(FloatTo256(X), FloatTo256(Y)); }

void TCustomBitmap32::SetPixelFS(float X, float Y, TColor32 Value) {
  SetPixelTS256(FloatTo256(X), FloatTo256(Y), Value);
}

TColor32 TCustomBitmap32::PixelFW(float X, float Y) const { return PixelXW(Fixed(X), Fixed(Y)); }

void TCustomBitmap32::SetPixelFW(float X, float Y, TColor32 Value) { SetPixelXW(Fixed(X), Fixed(Y), Value); }

namespace {

// A resampled read outside a sampling run is a run of its own, so that the
// resampler reads within the bitmap's current ClipRect, OuterColor and access
// mode; a run already in progress (a transformer's) is left untouched.
template <class Read>
TColor32 SampleOnce(TCustomResampler& Resampler, Read read) {
  if (Resampler.Sampling()) return read();
  Resampler.PrepareSampling();
  struct Finalize {
    TCustomResampler& r;
    ~Finalize() { r.FinalizeSampling(); }
  } finalize{Resampler};
  return read();
}

}  // namespace

TColor32 TCustomBitmap32::PixelFR(float X, float Y) const {
  return SampleOnce(*FResampler, [&] { return FResampler->GetSampleFloat(X, Y); });
}

TColor32 TCustomBitmap32::PixelXR(TFixed X, TFixed Y) const {
  return SampleOnce(*FResampler, [&] { return FResampler->GetSampleFixed(X, Y); });
}
