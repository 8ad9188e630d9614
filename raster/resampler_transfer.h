#pragma once
// Copying one bitmap onto another: the unscaled CopyBlock, the scaled
// ResampleTransfer (size changes go to the source's resampler), the bilinear
// and draft scalers with their resamplers, and the block-average routine.

#include "raster/resampler_kernels.h"
#include "raster/resamplers.h"
#include "raster/simd_config.h"

#include <stdexcept>

// A transfer was given no bitmap.
class EBitmapException : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// SrcRect of Src (cut to Src) to (DstX, DstY) of Dst, cut to DstClip and Dst;
// the draw mode as in MixBlock. Dst.Changed(drawn area) afterwards, also when
// measuring (then nothing is drawn). Nothing at all when the areas miss.
void CopyBlock(TCustomBitmap32* Dst, int DstX, int DstY, TRect DstClip, TCustomBitmap32* Src, TRect SrcRect,
               TDrawMode CombineOp, const TPixelCombineEvent& CombineCallBack);

// SrcRect of Src into DstRect of Dst, written inside DstClip. A SrcRect reaching
// outside Src is cut and DstRect moved in proportion (ceiling of the cut on the
// left/top, floor on the right/bottom). Equal sizes go to MixBlock, others to
// Resampler->Resample. Dst.Changed(DstRect) afterwards.
void ResampleTransfer(TCustomBitmap32* Dst, TRect DstRect, TRect DstClip, TCustomBitmap32* Src, TRect SrcRect,
                      TCustomResampler* Resampler, TDrawMode CombineOp, const TPixelCombineEvent& CombineCallBack);

// The adjustment of ResampleTransfer on its own (SrcRect and DstRect in place).
void AdjustSrcRect(TCustomBitmap32* Src, TRect& DstRect, TRect& SrcRect);

// Bilinear enlargement: weights 256 - round(frac(Fx) x 256) of the left/upper
// pixel at Fx = SrcLo - 0.5 + (d + 0.5) x SrcW / DstW; last entries that would
// read past SrcRect are moved one left with weight 0.
void ScaleBilinear(TCustomBitmap32* Dst, const TRect& DstRect, TRect DstClip, TCustomBitmap32* Src,
                   const TRect& SrcRect, TDrawMode CombineOp, const TPixelCombineEvent& CombineCallBack);

// Reduction by block averages (enlargement: ScaleBilinear, or Kernel when the
// source is narrower than 2 pixels).
void ScaleDraft(TCustomBitmap32* Dst, const TRect& DstRect, TRect DstClip, TCustomBitmap32* Src,
                const TRect& SrcRect, TCustomKernel& Kernel, TDrawMode CombineOp,
                const TPixelCombineEvent& CombineCallBack);

// The bilinear column/row map of ScaleBilinear for clip positions ClipLo..ClipHi-1.
std::vector<TPointRec> BuildBilinearMap(int DstLo, int DstHi, int ClipLo, int ClipHi, int SrcLo, int SrcHi,
                                        int SrcSize);

class TLinearResampler : public TCustomResampler {
public:
  explicit TLinearResampler(TCustomBitmap32* ABitmap = nullptr) : TCustomResampler(ABitmap) {}
  QString ClassName() const override { return QStringLiteral("TLinearResampler"); }
  float GetWidth() override { return 1; }
  // The reader chosen by PrepareSampling for PixelAccessMode (before it: the
  // clipped reader): pamUnsafe PixelX, pamSafe PixelXS, pamWrap PixelXW,
  // pamTransparentEdge a bilinear read whose samples outside ClipRect are
  // transparent.
  TColor32 GetSampleFixed(TFixed X, TFixed Y) override { return (this->*FGetSampleFixed)(X, Y); }
  // GetSampleFixed of round(X x 65536), round(Y x 65536).
  TColor32 GetSampleFloat(float X, float Y) override;
  void PrepareSampling() override;
  // ScaleBilinear when enlarging both ways from at least 2 x 2, else the
  // kernel resampling with a linear kernel.
  void Resample(TCustomBitmap32* Dst, const TRect& DstRect, TRect DstClip, TCustomBitmap32* Src,
                const TRect& SrcRect, TDrawMode CombineOp, const TPixelCombineEvent& CombineCallBack) override;

protected:
  TLinearKernel FLinearKernel;

private:
  TColor32 ReadUnsafe(TFixed X, TFixed Y) const;
  TColor32 ReadSafe(TFixed X, TFixed Y) const;
  TColor32 ReadWrap(TFixed X, TFixed Y) const;
  TColor32 ReadTransparentEdge(TFixed X, TFixed Y) const;

  TColor32 (TLinearResampler::*FGetSampleFixed)(TFixed, TFixed) const = &TLinearResampler::ReadSafe;
};

class TDraftResampler : public TLinearResampler {
public:
  explicit TDraftResampler(TCustomBitmap32* ABitmap = nullptr) : TLinearResampler(ABitmap) {}
  QString ClassName() const override { return QStringLiteral("TDraftResampler"); }
  void Resample(TCustomBitmap32* Dst, const TRect& DstRect, TRect DstClip, TCustomBitmap32* Src,
                const TRect& SrcRect, TDrawMode CombineOp, const TPixelCombineEvent& CombineCallBack) override;
};

// ---- Block average ------------------------------------------------------------

// Each channel: (sum over Dlx x Dly pixels x (16777216 div (Dlx x Dly))) shr 24;
// rows OffSrc bytes apart. The processor forms sum a row in 16-bit lanes, so they
// hold at most AverageBlockMaxWidth columns.
using TAverageBlock = TColor32(uint32_t Dlx, uint32_t Dly, const TColor32* RowSrc, int32_t OffSrc);
extern TAverageBlock* AverageBlock;
inline constexpr uint32_t AverageBlockMaxWidth = 257;

namespace raster_portable {
TColor32 AverageBlock(uint32_t Dlx, uint32_t Dly, const TColor32* RowSrc, int32_t OffSrc);
}
#if RASTER_SSE2_FORMS
namespace raster_sse2 {
TColor32 AverageBlock(uint32_t Dlx, uint32_t Dly, const TColor32* RowSrc, int32_t OffSrc);
}
#endif

// Library start-up: binds AverageBlock in "Ras32_Resamplers bindings" and adds
// the linear, draft and kernel resamplers to the class list after the nearest one.
void RegisterScalingResamplers();
