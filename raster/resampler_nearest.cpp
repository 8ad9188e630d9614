#include "raster/resamplers.h"

#include "raster/bitmap32.h"
#include "raster/blend.h"
#include "raster/fixed_math.h"
#include "raster/low_level.h"
#include "raster/perf_timer.h"

#include "platform/rtl/rounding.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>
#include <vector>

namespace {

std::vector<TResamplerClass>& ClassList() {
  static std::vector<TResamplerClass> list;
  return list;
}

int32_t RoundToInt32(float v) {
  return static_cast<int32_t>(std::clamp<int64_t>(Round(static_cast<long double>(v)), INT32_MIN, INT32_MAX));
}

[[noreturn]] void FailAssertion(int line) {
  throw EAssertionFailed("Assertion failure (raster/resampler_nearest.cpp, line " + std::to_string(line) + ")");
}

// The source index of destination index `offset` (from DstRect's edge): the
// middle of the source span when the destination has fewer than 2 pixels, else
// trunc(offset x scale + first) in Single arithmetic.
int32_t NearestIndex(int32_t offset, int32_t dstSize, float scale, int32_t first, int32_t last) {
  if (dstSize < 2) return static_cast<int32_t>((int64_t{first} + last - 1) / 2);
  return static_cast<int32_t>(static_cast<float>(offset) * scale + static_cast<float>(first));
}

}  // namespace

// ---- TNearestResampler --------------------------------------------------------------

TColor32 TNearestResampler::GetSampleFixed(TFixed X, TFixed Y) { return GetSampleInt(FxRound(X), FxRound(Y)); }

TColor32 TNearestResampler::GetSampleFloat(float X, float Y) {
  return GetSampleInt(RoundToInt32(X), RoundToInt32(Y));
}

void TNearestResampler::PrepareSampling() {
  TCustomResampler::PrepareSampling();
  switch (FPixelAccessMode) {
    case pamUnsafe: FGetSampleInt = &TNearestResampler::ReadUnsafe; break;
    case pamWrap: FGetSampleInt = &TNearestResampler::ReadWrap; break;
    case pamTransparentEdge: FGetSampleInt = &TNearestResampler::ReadTransparentEdge; break;
    default: FGetSampleInt = &TNearestResampler::ReadSafe; break;
  }
}

TColor32 TNearestResampler::ReadUnsafe(int32_t X, int32_t Y) const { return FBitmap->Pixel(X, Y); }

TColor32 TNearestResampler::ReadSafe(int32_t X, int32_t Y) const { return FBitmap->PixelS(X, Y); }

TColor32 TNearestResampler::ReadWrap(int32_t X, int32_t Y) const { return FBitmap->PixelW(X, Y); }

TColor32 TNearestResampler::ReadTransparentEdge(int32_t X, int32_t Y) const {
  const TRect& clip = FBitmap->ClipRect();
  // Nothing to limit the position to.
  if (RectIsEmpty(clip)) return 0;
  const int32_t x = std::clamp(X, clip.Left, clip.Right - 1);
  const int32_t y = std::clamp(Y, clip.Top, clip.Bottom - 1);
  const TColor32 color = FBitmap->Pixel(x, y);
  return (x != X || y != Y) ? (color & 0x00FFFFFFu) : color;
}

void TNearestResampler::Resample(TCustomBitmap32* Dst, const TRect& DstRect, TRect DstClip, TCustomBitmap32* Src,
                                 const TRect& SrcRect, TDrawMode CombineOp,
                                 const TPixelCombineEvent& CombineCallBack) {
  ScaleNearest(Dst, DstRect, DstClip, Src, SrcRect, CombineOp, CombineCallBack);
}

// ---- Block routines -------------------------------------------------------------------

void MixBlock(TCustomBitmap32* Dst, const TRect& DstRect, TCustomBitmap32* Src, int SrcX, int SrcY,
              TDrawMode CombineOp, const TPixelCombineEvent& CombineCallBack) {
  const int32_t width = DstRect.Width();
  const int32_t height = DstRect.Height();
  if (width <= 0 || height <= 0) return;
  if (CombineOp == dmCustom && !CombineCallBack) CombineOp = dmOpaque;
  const uint32_t masterAlpha = Src->MasterAlpha();
  const TColor32 outerColor = Src->OuterColor();
  for (int32_t y = 0; y < height; ++y) {
    const PColor32 source = Src->PixelPtr(SrcX, SrcY + y);
    const PColor32 dest = Dst->PixelPtr(DstRect.Left, DstRect.Top + y);
    switch (CombineOp) {
      case dmOpaque: MoveDwords(source, dest, width); break;
      case dmBlend:
        if (masterAlpha < 255)
          (*BlendRowExTbl[Src->CombineMode()])(source, dest, width, masterAlpha);
        else
          (*BlendRowTbl[Src->CombineMode()])(source, dest, width);
        break;
      case dmTransparent:
        for (int32_t x = 0; x < width; ++x)
          if (source[x] != outerColor) dest[x] = source[x];
        break;
      case dmCustom:
        for (int32_t x = 0; x < width; ++x) CombineCallBack(source[x], dest[x], masterAlpha);
        break;
    }
  }
}

void ScaleNearest(TCustomBitmap32* Dst, const TRect& DstRect, TRect DstClip, TCustomBitmap32* Src,
                  const TRect& SrcRect, TDrawMode CombineOp, const TPixelCombineEvent& CombineCallBack) {
  IntersectRect(DstClip, DstClip, Dst->BoundsRect());
  IntersectRect(DstClip, DstClip, DstRect);
  if (RectIsEmpty(DstClip)) return;
  if (SrcRect.Left < 0 || SrcRect.Top < 0 || SrcRect.Right > Src->Width() || SrcRect.Bottom > Src->Height())
    throw ERasterError("Invalid SrcRect");

  const int32_t srcW = SrcRect.Width();
  const int32_t srcH = SrcRect.Height();
  const int32_t dstW = DstRect.Width();
  const int32_t dstH = DstRect.Height();
  if (CombineOp == dmCustom && !CombineCallBack) CombineOp = dmOpaque;
  if (dstW == srcW && dstH == srcH) {
    try {
      MixBlock(Dst, DstClip, Src, SrcRect.Left + DstClip.Left - DstRect.Left, SrcRect.Top + DstClip.Top - DstRect.Top,
               CombineOp, CombineCallBack);
    } catch (...) {
      EndMmxState();
      throw;
    }
    EndMmxState();
    return;
  }

  const int32_t clipW = DstClip.Width();
  const int32_t clipH = DstClip.Height();
  const float scaleX = dstW < 2 ? 0.0f : static_cast<float>(srcW) / static_cast<float>(dstW);
  const float scaleY = dstH < 2 ? 0.0f : static_cast<float>(srcH) / static_cast<float>(dstH);
  std::vector<int32_t> columns(static_cast<size_t>(clipW));
  for (int32_t i = 0; i < clipW; ++i)
    columns[i] = NearestIndex(i + DstClip.Left - DstRect.Left, dstW, scaleX, SrcRect.Left, SrcRect.Right);
  std::vector<int32_t> rows(static_cast<size_t>(clipH));
  for (int32_t j = 0; j < clipH; ++j)
    rows[j] = NearestIndex(j + DstClip.Top - DstRect.Top, dstH, scaleY, SrcRect.Top, SrcRect.Bottom);
  // The maps rise with the index, so their ends bound every entry; Single
  // rounding must not carry an entry outside the source rectangle.
  if (columns.front() < SrcRect.Left) FailAssertion(__LINE__);
  if (columns.back() >= SrcRect.Right) FailAssertion(__LINE__);
  if (rows.front() < SrcRect.Top || rows.back() >= SrcRect.Bottom) FailAssertion(__LINE__);

  if (CombineOp == dmOpaque) {
    int32_t previousRow = -1;
    PColor32 previousLine = nullptr;
    for (int32_t j = 0; j < clipH; ++j) {
      const PColor32 line = Dst->PixelPtr(DstClip.Left, DstClip.Top + j);
      if (rows[j] == previousRow) {
        MoveDwords(previousLine, line, clipW);
      } else {
        const PColor32 source = Src->ScanLine(rows[j]);
        for (int32_t i = 0; i < clipW; ++i) line[i] = source[columns[i]];
      }
      previousRow = rows[j];
      previousLine = line;
    }
    return;
  }

  const uint32_t masterAlpha = Src->MasterAlpha();
  const TColor32 outerColor = Src->OuterColor();
  std::vector<TColor32> buffer(static_cast<size_t>(clipW));
  int32_t bufferedRow = -1;
  for (int32_t j = 0; j < clipH; ++j) {
    if (rows[j] != bufferedRow) {
      EndMmxState();
      const PColor32 source = Src->ScanLine(rows[j]);
      for (int32_t i = 0; i < clipW; ++i) buffer[i] = source[columns[i]];
      bufferedRow = rows[j];
    }
    const PColor32 line = Dst->PixelPtr(DstClip.Left, DstClip.Top + j);
    switch (CombineOp) {
      case dmBlend:
        if (masterAlpha < 255)
          (*BlendRowExTbl[Src->CombineMode()])(buffer.data(), line, clipW, masterAlpha);
        else
          (*BlendRowTbl[Src->CombineMode()])(buffer.data(), line, clipW);
        break;
      case dmTransparent:
        for (int32_t i = 0; i < clipW; ++i)
          if (buffer[i] != outerColor) line[i] = buffer[i];
        break;
      case dmCustom:
        for (int32_t i = 0; i < clipW; ++i) CombineCallBack(buffer[i], line[i], masterAlpha);
        break;
      default: break;
    }
  }
  EndMmxState();
}

// ---- Class list -----------------------------------------------------------------------

void AddResamplerClass(const TResamplerClass& Class) { ClassList().push_back(Class); }

const TResamplerClass* FindResamplerClass(const QString& ClassName) {
  for (const TResamplerClass& c : ClassList())
    if (c.ClassName == ClassName) return &c;
  return nullptr;
}

const std::vector<TResamplerClass>& ResamplerClasses() { return ClassList(); }

void InitResamplers() {
  ClassList().clear();
  AddResamplerClass({QStringLiteral("TNearestResampler"), [](TCustomBitmap32* bitmap) -> std::unique_ptr<TCustomResampler> {
                       return std::make_unique<TNearestResampler>(bitmap);
                     }});
}

void FreeResamplers() { ClassList().clear(); }
