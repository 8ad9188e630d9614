#pragma once
// Samplers: colour lookup at integer, 16.16 fixed or float positions (in
// pixels). A resampler is a sampler bound to one bitmap that also scales a
// rectangle of it into another bitmap; every bitmap owns one (a
// TNearestResampler at creation, raster/resamplers.h).

#include "raster/bitmap32_types.h"
#include "raster/geometry.h"
#include "raster/persistent.h"

#include <QString>

class TCustomBitmap32;

class TCustomSampler : public TNotifiablePersistent {
public:
  // GetSampleFixed(X x 65536, Y x 65536).
  virtual TColor32 GetSampleInt(int32_t X, int32_t Y);
  // GetSampleFloat(X / 65536, Y / 65536) and GetSampleFixed(round(X x 65536),
  // round(Y x 65536)): each falls back on the other, so a concrete sampler
  // overrides at least one of them.
  virtual TColor32 GetSampleFixed(TFixed X, TFixed Y);
  virtual TColor32 GetSampleFloat(float X, float Y);
  virtual void PrepareSampling() {}
  virtual void FinalizeSampling() {}
  virtual bool HasBounds() const { return false; }
  // (-infinity, -infinity, +infinity, +infinity).
  virtual TFloatRect GetSampleBounds() const;
};

class TCustomResampler : public TCustomSampler {
public:
  // PixelAccessMode pamSafe. The bitmap is remembered, not told: install the
  // resampler with the bitmap's SetResampler, which then owns it.
  explicit TCustomResampler(TCustomBitmap32* ABitmap = nullptr) : FBitmap(ABitmap) {}

  // The name under which the resampler class list knows the class.
  virtual QString ClassName() const = 0;

  TCustomBitmap32* Bitmap() const { return FBitmap; }
  void SetBitmap(TCustomBitmap32* Value) { FBitmap = Value; }
  TPixelAccessMode PixelAccessMode() const { return FPixelAccessMode; }
  // On change stores the value and calls Changed.
  void SetPixelAccessMode(TPixelAccessMode Value);
  float Width() { return GetWidth(); }

  // The bitmap's Changed when a bitmap is attached, then OnChange.
  void Changed() override;
  // Copies the bitmap's ClipRect, which the readers work within, and starts a
  // sampling run that lasts until FinalizeSampling.
  void PrepareSampling() override;
  void FinalizeSampling() override;
  // Between PrepareSampling and FinalizeSampling.
  bool Sampling() const { return FSampling; }
  // PixelAccessMode <> pamWrap.
  bool HasBounds() const override;
  // The bitmap's ClipRect, one pixel larger on every side for pamTransparentEdge.
  TFloatRect GetSampleBounds() const override;

  // The filter radius in pixels (0 here).
  virtual float GetWidth() { return 0; }
  // Scales SrcRect of Src into DstRect of Dst, writing only inside DstClip.
  virtual void Resample(TCustomBitmap32* Dst, const TRect& DstRect, TRect DstClip, TCustomBitmap32* Src,
                        const TRect& SrcRect, TDrawMode CombineOp, const TPixelCombineEvent& CombineCallBack) = 0;

  // Copies the published settings (PixelAccessMode; subclasses add theirs) into
  // Dest without notification of the source.
  virtual void AssignTo(TCustomResampler& Dest) const;
  void Assign(const TCustomResampler& Source) { Source.AssignTo(*this); }

protected:
  TCustomBitmap32* FBitmap = nullptr;
  TRect FClipRect;
  TPixelAccessMode FPixelAccessMode = pamSafe;

private:
  bool FSampling = false;
};
