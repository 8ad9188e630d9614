#pragma once
// The nearest-neighbour resampler (the default of every bitmap), the unscaled
// block mix it shares with the transfer routines, and the resampler class list
// from which a bitmap creates a resampler by name.

#include "raster/samplers.h"

#include <QString>

#include <memory>
#include <vector>

class TNearestResampler : public TCustomResampler {
public:
  explicit TNearestResampler(TCustomBitmap32* ABitmap = nullptr) : TCustomResampler(ABitmap) {}

  QString ClassName() const override { return QStringLiteral("TNearestResampler"); }
  // The reader chosen by PrepareSampling for PixelAccessMode (before it: the
  // clipped reader): pamUnsafe Pixel, pamSafe PixelS, pamWrap PixelW,
  // pamTransparentEdge the pixel at the position limited to ClipRect, its alpha
  // cleared when the position had to move.
  TColor32 GetSampleInt(int32_t X, int32_t Y) override { return (this->*FGetSampleInt)(X, Y); }
  // GetSampleInt(FxRound(X), FxRound(Y)).
  TColor32 GetSampleFixed(TFixed X, TFixed Y) override;
  // GetSampleInt of X and Y rounded half to even.
  TColor32 GetSampleFloat(float X, float Y) override;
  void PrepareSampling() override;
  float GetWidth() override { return 1; }
  // ScaleNearest.
  void Resample(TCustomBitmap32* Dst, const TRect& DstRect, TRect DstClip, TCustomBitmap32* Src,
                const TRect& SrcRect, TDrawMode CombineOp, const TPixelCombineEvent& CombineCallBack) override;

private:
  TColor32 ReadUnsafe(int32_t X, int32_t Y) const;
  TColor32 ReadSafe(int32_t X, int32_t Y) const;
  TColor32 ReadWrap(int32_t X, int32_t Y) const;
  TColor32 ReadTransparentEdge(int32_t X, int32_t Y) const;

  TColor32 (TNearestResampler::*FGetSampleInt)(int32_t, int32_t) const = &TNearestResampler::ReadSafe;
};

// DstRect of Dst from Src at (SrcX, SrcY), same size, row by row: dmOpaque
// copies, dmBlend blends with Src's CombineMode (the master-alpha form when
// MasterAlpha < 255), dmTransparent copies what differs from Src's OuterColor,
// dmCustom calls CombineCallBack(source, destination, MasterAlpha) (without a
// callback it copies). No clipping: the rectangles lie inside both bitmaps.
void MixBlock(TCustomBitmap32* Dst, const TRect& DstRect, TCustomBitmap32* Src, int SrcX, int SrcY,
              TDrawMode CombineOp, const TPixelCombineEvent& CombineCallBack);

// SrcRect of Src scaled into DstRect of Dst by nearest source pixel, written only
// inside DstClip (cut to Dst and DstRect). Column I of the clip reads source
// column trunc((I + DstClip.Left - DstRect.Left) x SrcW / DstW + SrcRect.Left)
// with the scale as a Single, or the middle column (Left + Right - 1) div 2 when
// DstW < 2; rows likewise. "Invalid SrcRect" (ERasterError) when SrcRect leaves
// Src. Equal sizes go to MixBlock.
void ScaleNearest(TCustomBitmap32* Dst, const TRect& DstRect, TRect DstClip, TCustomBitmap32* Src,
                  const TRect& SrcRect, TDrawMode CombineOp, const TPixelCombineEvent& CombineCallBack);

// ---- Resampler class list ---------------------------------------------------------

using TResamplerFactory = std::unique_ptr<TCustomResampler> (*)(TCustomBitmap32* ABitmap);
struct TResamplerClass {
  QString ClassName;
  TResamplerFactory Create = nullptr;
};

// Appends a class; built at library start-up, read-only afterwards.
void AddResamplerClass(const TResamplerClass& Class);
// The first class of that name (case-sensitive), or nullptr.
const TResamplerClass* FindResamplerClass(const QString& ClassName);
const std::vector<TResamplerClass>& ResamplerClasses();

// Library start-up and shut-down: fills and empties the class list.
void InitResamplers();
void FreeResamplers();
