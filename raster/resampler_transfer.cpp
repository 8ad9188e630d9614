#include "raster/resampler_transfer.h"

#include "raster/bindings.h"
#include "raster/bitmap32.h"
#include "raster/blend.h"
#include "raster/fixed_math.h"
#include "raster/gamma.h"
#include "raster/resampler_kernel_rows.h"
#include "raster/resampler_routines.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

TAverageBlock* AverageBlock = nullptr;

namespace {

int32_t RoundEven(double v) { return static_cast<int32_t>(std::clamp<double>(std::nearbyint(v), INT32_MIN, INT32_MAX)); }

bool SrcRectInside(const TRect& r, const TCustomBitmap32* src) {
  return r.Left >= 0 && r.Top >= 0 && r.Right <= src->Width() && r.Bottom <= src->Height();
}

void CheckBitmaps(const TCustomBitmap32* Dst, const TCustomBitmap32* Src) {
  if (Dst == nullptr) throw EBitmapException("Destination bitmap is nil");
  if (Src == nullptr) throw EBitmapException("Source bitmap is nil");
}

// Stores, blends (Ex form, master alpha even at 255), keeps or hands over one
// resampled colour.
struct PixelWriter {
  PixelWriter(TCustomBitmap32* Src, TDrawMode op, const TPixelCombineEvent& callback)
      : mode(op), masterAlpha(Src->MasterAlpha()), outerColor(Src->OuterColor()),
        blend(*BlendPxIntoExTbl[Src->CombineMode()]), combine(callback) {}
  void operator()(TColor32 c, TColor32& pixel) const {
    switch (mode) {
      case dmOpaque: pixel = c; break;
      case dmBlend: blend(c, pixel, masterAlpha); break;
      case dmCustom: combine(c, pixel, masterAlpha); break;
      case dmTransparent:
        if (c != outerColor) pixel = c;
        break;
    }
  }
  TDrawMode mode;
  uint32_t masterAlpha;
  TColor32 outerColor;
  TBlendMemEx* blend;
  const TPixelCombineEvent& combine;
};

}  // namespace

// ---- Transfers --------------------------------------------------------------------------

void CopyBlock(TCustomBitmap32* Dst, int DstX, int DstY, TRect DstClip, TCustomBitmap32* Src, TRect SrcRect,
               TDrawMode CombineOp, const TPixelCombineEvent& CombineCallBack) {
  CheckBitmaps(Dst, Src);
  if (Dst->Empty() || Src->Empty() || (CombineOp == dmBlend && Src->MasterAlpha() == 0)) return;
  const int srcX = SrcRect.Left;
  const int srcY = SrcRect.Top;
  IntersectRect(DstClip, DstClip, Dst->BoundsRect());
  IntersectRect(SrcRect, SrcRect, Src->BoundsRect());
  // Offsets in 64 bits: positions far apart must not overflow.
  const int64_t dx = int64_t{DstX} - srcX;
  const int64_t dy = int64_t{DstY} - srcY;
  const auto shift = [](int32_t v, int64_t d) { return static_cast<int32_t>(std::clamp<int64_t>(v + d, INT32_MIN, INT32_MAX)); };
  TRect moved{shift(SrcRect.Left, dx), shift(SrcRect.Top, dy), shift(SrcRect.Right, dx), shift(SrcRect.Bottom, dy)};
  TRect area;
  if (!IntersectRect(area, moved, DstClip) || RectIsEmpty(area)) return;
  DstClip = area;
  SrcRect = TRect{static_cast<int32_t>(area.Left - dx), static_cast<int32_t>(area.Top - dy),
                  static_cast<int32_t>(area.Right - dx), static_cast<int32_t>(area.Bottom - dy)};
  if (!Dst->MeasuringMode()) {
    if (CombineOp == dmCustom && !CombineCallBack) CombineOp = dmOpaque;
    try {
      MixBlock(Dst, DstClip, Src, SrcRect.Left, SrcRect.Top, CombineOp, CombineCallBack);
    } catch (...) {
      EndMmxState();
      throw;
    }
    EndMmxState();
  }
  Dst->Changed(DstClip, AreaKindRect);
}

void AdjustSrcRect(TCustomBitmap32* Src, TRect& DstRect, TRect& SrcRect) {
  if (SrcRectInside(SrcRect, Src)) return;
  // An empty source rectangle draws nothing; its ratios would divide by zero.
  if (RectIsEmpty(SrcRect)) return;
  const float ratioX = static_cast<float>(DstRect.Width()) / static_cast<float>(SrcRect.Width());
  const float ratioY = static_cast<float>(DstRect.Height()) / static_cast<float>(SrcRect.Height());
  const auto clampInt = [](double v) { return static_cast<int32_t>(std::clamp<double>(v, INT32_MIN, INT32_MAX)); };
  if (SrcRect.Left < 0) {
    DstRect.Left = clampInt(DstRect.Left + std::ceil(-static_cast<double>(SrcRect.Left) * ratioX));
    SrcRect.Left = 0;
  }
  if (SrcRect.Top < 0) {
    DstRect.Top = clampInt(DstRect.Top + std::ceil(-static_cast<double>(SrcRect.Top) * ratioY));
    SrcRect.Top = 0;
  }
  if (SrcRect.Right > Src->Width()) {
    DstRect.Right = clampInt(DstRect.Right - std::floor((static_cast<double>(SrcRect.Right) - Src->Width()) * ratioX));
    SrcRect.Right = Src->Width();
  }
  if (SrcRect.Bottom > Src->Height()) {
    DstRect.Bottom =
        clampInt(DstRect.Bottom - std::floor((static_cast<double>(SrcRect.Bottom) - Src->Height()) * ratioY));
    SrcRect.Bottom = Src->Height();
  }
}

void ResampleTransfer(TCustomBitmap32* Dst, TRect DstRect, TRect DstClip, TCustomBitmap32* Src, TRect SrcRect,
                      TCustomResampler* Resampler, TDrawMode CombineOp, const TPixelCombineEvent& CombineCallBack) {
  CheckBitmaps(Dst, Src);
  AdjustSrcRect(Src, DstRect, SrcRect);
  if (Src->Empty() || Dst->Empty() || (CombineOp == dmBlend && Src->MasterAlpha() == 0) || RectIsEmpty(SrcRect))
    return;
  if (!Dst->MeasuringMode()) {
    IntersectRect(DstClip, DstClip, Dst->BoundsRect());
    IntersectRect(DstClip, DstClip, DstRect);
    if (RectIsEmpty(DstClip)) return;
    if (CombineOp == dmCustom && !CombineCallBack) CombineOp = dmOpaque;
    try {
      if (SrcRect.Width() == DstRect.Width() && SrcRect.Height() == DstRect.Height())
        MixBlock(Dst, DstClip, Src, SrcRect.Left + DstClip.Left - DstRect.Left,
                 SrcRect.Top + DstClip.Top - DstRect.Top, CombineOp, CombineCallBack);
      else if (Resampler != nullptr)
        Resampler->Resample(Dst, DstRect, DstClip, Src, SrcRect, CombineOp, CombineCallBack);
      else
        ScaleNearest(Dst, DstRect, DstClip, Src, SrcRect, CombineOp, CombineCallBack);
    } catch (...) {
      EndMmxState();
      throw;
    }
    EndMmxState();
  }
  Dst->Changed(DstRect, AreaKindRect);
}

// ---- Bilinear ---------------------------------------------------------------------------

std::vector<TPointRec> BuildBilinearMap(int DstLo, int DstHi, int ClipLo, int ClipHi, int SrcLo, int SrcHi,
                                        int SrcSize) {
  const int32_t clipW = std::max(0, ClipHi - ClipLo);
  std::vector<TPointRec> map(static_cast<size_t>(clipW));
  const float scale = static_cast<float>(int64_t{SrcHi} - SrcLo) / static_cast<float>(int64_t{DstHi} - DstLo);
  for (int32_t i = 0; i < clipW; ++i) {
    float fx = static_cast<float>(SrcLo) - 0.5f + (static_cast<float>(int64_t{ClipLo} + i - DstLo) + 0.5f) * scale;
    fx = std::clamp(fx, 0.0f, static_cast<float>(SrcSize - 1));
    const float pos = std::floor(fx);
    map[static_cast<size_t>(i)] = {static_cast<int32_t>(pos), 256 - RoundEven(static_cast<float>((fx - pos) * 256.0f))};
  }
  // The right neighbour of the last source pixel lies outside the rectangle:
  // read it as the neighbour of the pixel before, with all the weight on it.
  // (">=" also catches a Single that rounded onto or past the end.)
  for (auto it = map.rbegin(); it != map.rend() && it->Pos + 1 >= SrcHi; ++it) {
    it->Pos = std::max(SrcHi - 2, 0);
    it->Weight = 0;
  }
  return map;
}

void ScaleBilinear(TCustomBitmap32* Dst, const TRect& DstRect, TRect DstClip, TCustomBitmap32* Src,
                   const TRect& SrcRect, TDrawMode CombineOp, const TPixelCombineEvent& CombineCallBack) {
  IntersectRect(DstClip, DstClip, Dst->BoundsRect());
  IntersectRect(DstClip, DstClip, DstRect);
  if (RectIsEmpty(DstClip) || RectIsEmpty(SrcRect)) return;
  if (!SrcRectInside(SrcRect, Src)) throw ERasterError("Invalid SrcRect");
  // Two pixels are read per axis: a single-pixel source has no neighbour.
  if (Src->Width() < 2 || Src->Height() < 2) {
    TLinearKernel kernel;
    KernelResample(Dst, DstRect, DstClip, Src, SrcRect, kernel, CombineOp, CombineCallBack);
    return;
  }
  if (CombineOp == dmCustom && !CombineCallBack) CombineOp = dmOpaque;
  const auto mapX = BuildBilinearMap(DstRect.Left, DstRect.Right, DstClip.Left, DstClip.Right, SrcRect.Left,
                                     SrcRect.Right, Src->Width());
  const auto mapY = BuildBilinearMap(DstRect.Top, DstRect.Bottom, DstClip.Top, DstClip.Bottom, SrcRect.Top,
                                     SrcRect.Bottom, Src->Height());
  const PixelWriter write(Src, CombineOp, CombineCallBack);
  const int32_t width = Src->Width();
  try {
    for (size_t j = 0; j < mapY.size(); ++j) {
      const PColor32 upper = Src->ScanLine(mapY[j].Pos);
      const PColor32 line = Dst->PixelPtr(DstClip.Left, DstClip.Top + static_cast<int32_t>(j));
      for (size_t i = 0; i < mapX.size(); ++i) {
        const TColor32* c11 = upper + mapX[i].Pos;
        const TColor32 c = SampleBilinear(static_cast<uint32_t>(mapX[i].Weight), static_cast<uint32_t>(mapY[j].Weight),
                                          c11, c11 + width);
        write(c, line[i]);
      }
    }
  } catch (...) {
    EndMmxState();
    throw;
  }
  EndMmxState();
}

// ---- Draft --------------------------------------------------------------------------------

namespace raster_portable {
TColor32 AverageBlock(uint32_t Dlx, uint32_t Dly, const TColor32* RowSrc, int32_t OffSrc) {
  uint64_t sum[4] = {0, 0, 0, 0};
  const uint8_t* row = reinterpret_cast<const uint8_t*>(RowSrc);
  for (uint32_t y = 0; y < Dly; ++y, row += OffSrc)
    for (uint32_t x = 0; x < Dlx; ++x)
      for (int k = 0; k < 4; ++k) sum[k] += row[x * 4 + k];
  const uint64_t count = uint64_t{Dlx} * Dly;
  const uint64_t f = count == 0 ? 0 : 16777216u / count;
  TColor32 result = 0;
  for (int k = 0; k < 4; ++k) result |= static_cast<TColor32>(((sum[k] * f) >> 24) & 0xFF) << (8 * k);
  return result;
}
}  // namespace raster_portable

void ScaleDraft(TCustomBitmap32* Dst, const TRect& DstRect, TRect DstClip, TCustomBitmap32* Src,
                const TRect& SrcRect, TCustomKernel& Kernel, TDrawMode CombineOp,
                const TPixelCombineEvent& CombineCallBack) {
  const int32_t srcW = SrcRect.Width(), srcH = SrcRect.Height();
  const int32_t dstW = DstRect.Width(), dstH = DstRect.Height();
  if (srcW < dstW || srcH < dstH) {
    if (srcW < 2 || srcH < 2)
      KernelResample(Dst, DstRect, DstClip, Src, SrcRect, Kernel, CombineOp, CombineCallBack);
    else
      ScaleBilinear(Dst, DstRect, DstClip, Src, SrcRect, CombineOp, CombineCallBack);
    return;
  }
  IntersectRect(DstClip, DstClip, Dst->BoundsRect());
  IntersectRect(DstClip, DstClip, DstRect);
  if (RectIsEmpty(DstClip) || RectIsEmpty(SrcRect)) return;
  if (!SrcRectInside(SrcRect, Src)) throw ERasterError("Invalid SrcRect");
  if (CombineOp == dmCustom && !CombineCallBack) CombineOp = dmOpaque;
  const float scaleX = static_cast<float>(srcW) / static_cast<float>(dstW);
  const float scaleY = static_cast<float>(srcH) / static_cast<float>(dstH);
  const TFixed fixedX = static_cast<TFixed>(scaleX * 65536.0f);
  const TFixed fixedY = static_cast<TFixed>(scaleY * 65536.0f);
  const int32_t x0 = SrcRect.Left + static_cast<int32_t>(static_cast<float>(DstClip.Left - DstRect.Left) * scaleX);
  const int32_t y0 = SrcRect.Top + static_cast<int32_t>(static_cast<float>(DstClip.Top - DstRect.Top) * scaleY);
  // Block edges k = 0, 1, ... relative to the first source pixel.
  const auto edges = [](int32_t n, float scale, TFixed fixed) {
    std::vector<int32_t> c(static_cast<size_t>(n) + 1);
    for (int32_t k = 0; k <= n; ++k)
      c[static_cast<size_t>(k)] = k == 0 ? 0 : k == 1 ? static_cast<int32_t>(scale) : FxMul(k, fixed);
    return c;
  };
  const auto cx = edges(DstClip.Width(), scaleX, fixedX);
  const auto cy = edges(DstClip.Height(), scaleY, fixedY);
  // Blocks are kept inside the source rectangle (a Single scale may carry the
  // last edge one past it) and at least one pixel wide.
  const auto block = [](int32_t origin, int32_t a, int32_t b, int32_t lo, int32_t hi, int32_t& start, int32_t& size) {
    start = std::clamp(origin + a, lo, hi - 1);
    const int32_t end = std::clamp(origin + b, start + 1, hi);
    size = end - start;
  };
  const PixelWriter write(Src, CombineOp, CombineCallBack);
  const int32_t stride = Src->Width() * 4;
  try {
    for (int32_t j = 0; j < DstClip.Height(); ++j) {
      int32_t sy, h;
      block(y0, cy[static_cast<size_t>(j)], cy[static_cast<size_t>(j) + 1], SrcRect.Top, SrcRect.Bottom, sy, h);
      const PColor32 line = Dst->PixelPtr(DstClip.Left, DstClip.Top + j);
      for (int32_t i = 0; i < DstClip.Width(); ++i) {
        int32_t sx, w;
        block(x0, cx[static_cast<size_t>(i)], cx[static_cast<size_t>(i) + 1], SrcRect.Left, SrcRect.Right, sx, w);
        // The processor forms sum a row in 16-bit lanes; wider blocks use the portable sums.
        TAverageBlock* average = static_cast<uint32_t>(w) <= AverageBlockMaxWidth ? AverageBlock
                                                                                   : &raster_portable::AverageBlock;
        write(average(static_cast<uint32_t>(w), static_cast<uint32_t>(h), Src->PixelPtr(sx, sy), stride), line[i]);
      }
    }
  } catch (...) {
    EndMmxState();
    throw;
  }
  EndMmxState();
}

// ---- Resamplers ---------------------------------------------------------------------------

TColor32 TLinearResampler::GetSampleFloat(float X, float Y) {
  const auto fixed = [](float v) {
    return static_cast<TFixed>(std::clamp<double>(std::nearbyint(static_cast<double>(v) * 65536.0), INT32_MIN, INT32_MAX));
  };
  return GetSampleFixed(fixed(X), fixed(Y));
}

void TLinearResampler::PrepareSampling() {
  TCustomResampler::PrepareSampling();
  switch (FPixelAccessMode) {
    case pamUnsafe: FGetSampleFixed = &TLinearResampler::ReadUnsafe; break;
    case pamWrap: FGetSampleFixed = &TLinearResampler::ReadWrap; break;
    case pamTransparentEdge: FGetSampleFixed = &TLinearResampler::ReadTransparentEdge; break;
    default: FGetSampleFixed = &TLinearResampler::ReadSafe; break;
  }
}

TColor32 TLinearResampler::ReadUnsafe(TFixed X, TFixed Y) const { return FBitmap->PixelX(X, Y); }
TColor32 TLinearResampler::ReadSafe(TFixed X, TFixed Y) const { return FBitmap->PixelXS(X, Y); }
TColor32 TLinearResampler::ReadWrap(TFixed X, TFixed Y) const { return FBitmap->PixelXW(X, Y); }

TColor32 TLinearResampler::ReadTransparentEdge(TFixed X, TFixed Y) const {
  const TRect& clip = FBitmap->ClipRect();
  const int32_t xMax = clip.Right - 1;
  const int32_t yMax = clip.Bottom - 1;
  const int32_t x0 = FxFloor(X);
  const int32_t y0 = FxFloor(Y);
  if (x0 >= clip.Left && y0 >= clip.Top && x0 < xMax && y0 < yMax) {
    const TColor32 c = FBitmap->GetPixelT256(X / 256, Y / 256);
    EndMmxState();
    return c;
  }
  if (int64_t{x0} < int64_t{clip.Left} - 1 || int64_t{y0} < int64_t{clip.Top} - 1 || x0 > xMax || y0 > yMax) return 0;
  // On the rim: the neighbours toward the sign of the position, limited to the
  // bitmap; samples outside the clip lose their alpha so the edge fades out.
  const auto limit = [](int64_t v, int32_t hi) { return static_cast<int32_t>(std::clamp<int64_t>(v, 0, std::max(hi, 0))); };
  const int32_t xa = limit(x0, xMax), xb = limit(int64_t{x0} + (X > 0) - (X < 0), xMax);
  const int32_t ya = limit(y0, yMax), yb = limit(int64_t{y0} + (Y > 0) - (Y < 0), yMax);
  TColor32 c00 = FBitmap->Pixel(xa, ya), c10 = FBitmap->Pixel(xb, ya);
  TColor32 c01 = FBitmap->Pixel(xa, yb), c11 = FBitmap->Pixel(xb, yb);
  if (int64_t{X} <= int64_t{clip.Left} * 65536) {
    c00 &= 0x00FFFFFFu;
    c01 &= 0x00FFFFFFu;
  } else if (x0 == xMax) {
    c10 &= 0x00FFFFFFu;
    c11 &= 0x00FFFFFFu;
  }
  if (int64_t{Y} <= int64_t{clip.Top} * 65536) {
    c00 &= 0x00FFFFFFu;
    c10 &= 0x00FFFFFFu;
  } else if (y0 == yMax) {
    c01 &= 0x00FFFFFFu;
    c11 &= 0x00FFFFFFu;
  }
  const uint32_t wx = GammaTable[((static_cast<uint32_t>(X) >> 8) & 0xFFu) ^ 0xFFu];
  const uint32_t wy = GammaTable[((static_cast<uint32_t>(Y) >> 8) & 0xFFu) ^ 0xFFu];
  const TColor32 c = CombinePx(CombinePx(c00, c10, wx), CombinePx(c01, c11, wx), wy);
  EndMmxState();
  return c;
}

void TLinearResampler::Resample(TCustomBitmap32* Dst, const TRect& DstRect, TRect DstClip, TCustomBitmap32* Src,
                                const TRect& SrcRect, TDrawMode CombineOp,
                                const TPixelCombineEvent& CombineCallBack) {
  if (DstRect.Width() > SrcRect.Width() && DstRect.Height() > SrcRect.Height() && SrcRect.Width() > 1 &&
      SrcRect.Height() > 1)
    ScaleBilinear(Dst, DstRect, DstClip, Src, SrcRect, CombineOp, CombineCallBack);
  else
    KernelResample(Dst, DstRect, DstClip, Src, SrcRect, FLinearKernel, CombineOp, CombineCallBack);
}

void TDraftResampler::Resample(TCustomBitmap32* Dst, const TRect& DstRect, TRect DstClip, TCustomBitmap32* Src,
                               const TRect& SrcRect, TDrawMode CombineOp,
                               const TPixelCombineEvent& CombineCallBack) {
  ScaleDraft(Dst, DstRect, DstClip, Src, SrcRect, FLinearKernel, CombineOp, CombineCallBack);
}

void RegisterScalingResamplers() {
  TFunctionRegistry* registry = FindRegistry("Ras32_Resamplers bindings");
  if (registry == nullptr) registry = CreateRegistry("Ras32_Resamplers bindings");
  registry->RegisterBinding(fidAverageBlock, &AverageBlock);
  registry->Add(fidAverageBlock, &raster_portable::AverageBlock);
#if RASTER_SSE2_FORMS
  registry->Add(fidAverageBlock, &raster_sse2::AverageBlock, TCPUFeatures{ciSSE2});
#endif
  registry->RegisterBinding(fidKernelRowPass, &KernelRowPass);
  registry->Add(fidKernelRowPass, &raster_portable::KernelRowPass);
#if RASTER_SSE2_FORMS
  registry->Add(fidKernelRowPass, &raster_sse2::KernelRowPass, TCPUFeatures{ciSSE2});
#endif
  registry->RegisterBinding(fidKernelColumnSweep, &KernelColumnSweep);
  registry->Add(fidKernelColumnSweep, &raster_portable::KernelColumnSweep);
#if RASTER_SSE2_FORMS
  registry->Add(fidKernelColumnSweep, &raster_avx2::KernelColumnSweep, TCPUFeatures{ciAVX2});
#endif
  registry->RebindAll();
  AddResamplerClass({QStringLiteral("TLinearResampler"), [](TCustomBitmap32* b) -> std::unique_ptr<TCustomResampler> {
                       return std::make_unique<TLinearResampler>(b);
                     }});
  AddResamplerClass({QStringLiteral("TDraftResampler"), [](TCustomBitmap32* b) -> std::unique_ptr<TCustomResampler> {
                       return std::make_unique<TDraftResampler>(b);
                     }});
  AddResamplerClass({QStringLiteral("TKernelResampler"), [](TCustomBitmap32* b) -> std::unique_ptr<TCustomResampler> {
                       return std::make_unique<TKernelResampler>(b);
                     }});
}
