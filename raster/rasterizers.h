#pragma once
// Rasterizers: walk the pixels of a destination rectangle, ask a sampler for
// the colour of each and put it into the destination by a combine description
// (draw mode, combine mode, master alpha, callback, transparent colour) that is
// usually taken from the source bitmap. TransformBitmap (raster/transforms.h)
// creates one per call; drawing runs backwards, from destination pixel to
// sample.
//
// Ownership: the sampler is attached by the caller and never owned.
// Threads: a rasterizer and its destination are used on one thread at a time.

#include "raster/bitmap32.h"
#include "raster/bitmap32_types.h"
#include "raster/blend.h"
#include "raster/persistent.h"
#include "raster/samplers.h"

#include <cstdint>
#include <memory>

// How samples are put into the destination.
struct TCombineInfo {
  int32_t SrcAlpha = 255;
  TDrawMode DrawMode = dmOpaque;
  TCombineMode CombineMode = cmBlend;
  TPixelCombineEvent CombineCallBack;
  TColor32 TransparentColor = 0xFF000000u;
};

// The description of a bitmap: MasterAlpha, DrawMode, CombineMode,
// OnPixelCombine and OuterColor; dmCustom without a callback becomes dmOpaque.
TCombineInfo CombineInfo(const TCustomBitmap32& Bitmap);

class TRasterizer : public TThreadPersistent {
public:
  // Takes the default combine description (opaque).
  TRasterizer();

  TCustomSampler* Sampler() const { return FSampler; }
  // Stores the sampler and calls Changed when it differs.
  void SetSampler(TCustomSampler* Value);

  // The whole of Dst.
  void Rasterize(TCustomBitmap32* Dst);
  // Nothing without a sampler or a destination. Otherwise the sampler is
  // prepared, the work is cut to Dst's bounds and, when the sampler has
  // bounds, to those bounds widened to whole pixels; RasterizeCore paints
  // what is left, even when that is nothing (a cut that fails gives the
  // rectangle (0, 0, 0, 0)).
  // Afterwards, also when a sample fails, Dst's update count is brought back
  // to what it was and the sampler finalized.
  void Rasterize(TCustomBitmap32* Dst, const TRect& DstRect);
  // Takes the description first.
  void Rasterize(TCustomBitmap32* Dst, const TRect& DstRect, const TCombineInfo& CombineInfo);
  // Takes the description of Src first.
  void Rasterize(TCustomBitmap32* Dst, const TRect& DstRect, const TCustomBitmap32& Src);

  // Chooses how a sample is put into a pixel:
  //   dmOpaque       P := S
  //   dmBlend        BlendPxIntoEx / MergePxIntoEx (by CombineMode) with SrcAlpha
  //   dmTransparent  P := S unless S equals TransparentColor
  //   dmCustom       the callback with SrcAlpha; without one as dmBlend
  void SetCombineInfo(const TCombineInfo& Info);

  // A bitmap gives its combine description; another rasterizer is copied by its
  // AssignTo; anything else raises EConvertError. Inside BeginUpdate/EndUpdate,
  // then Changed (also when the assignment fails).
  void Assign(TObject* Source);
  // Copies the published settings into Dest: the sampler (not owned by either),
  // and what subclasses add.
  virtual void AssignTo(TRasterizer& Dest) const;

protected:
  // Paints every pixel of R, which lies inside Dst and may be empty.
  virtual void RasterizeCore(TCustomBitmap32* Dst, const TRect& R) = 0;

  void AssignColor(TColor32& Dst, TColor32 Src) { (this->*FAssignColor)(Dst, Src); }

  TCustomSampler* FSampler = nullptr;
  int32_t FSrcAlpha = 255;
  // The bound routine variable, read at each call so a later rebinding holds.
  TBlendMemEx** FBlendMemEx = nullptr;
  TPixelCombineEvent FCombineCallBack;
  TColor32 FTransparentColor = 0xFF000000u;

private:
  void AssignOpaque(TColor32& Dst, TColor32 Src);
  void AssignBlend(TColor32& Dst, TColor32 Src);
  void AssignTransparent(TColor32& Dst, TColor32 Src);
  void AssignCustom(TColor32& Dst, TColor32 Src);

  void (TRasterizer::*FAssignColor)(TColor32&, TColor32) = &TRasterizer::AssignOpaque;
};

// Visits R row by row, top to bottom, each row left to right, with the
// sampler's GetSampleInt. UpdateRowCount > 0 reports every UpdateRowCount rows
// to Dst as soon as they are painted (progressive display); the rows not yet
// reported go out at the end, in a report that is empty when there are none.
class TRegularRasterizer : public TRasterizer {
public:
  int32_t UpdateRowCount() const { return FUpdateRowCount; }
  void SetUpdateRowCount(int32_t Value) { FUpdateRowCount = Value; }

  void AssignTo(TRasterizer& Dest) const override;

protected:
  void RasterizeCore(TCustomBitmap32* Dst, const TRect& R) override;

private:
  int32_t FUpdateRowCount = 0;
};

// The rasterizer TransformBitmap creates when it is given none.
using TRasterizerClass = std::unique_ptr<TRasterizer> (*)();
extern TRasterizerClass DefaultRasterizerClass;  // a TRegularRasterizer

// The processor count stored at library start-up. Nothing depends on it: every
// rasterizer paints on the calling thread, so results never vary with it.
extern int RasterizerProcessorCount;

// Library start-up: stores the processor count.
void InitRasterizers();
