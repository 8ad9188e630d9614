#include "raster/rasterizers.h"

#include "raster/coordinate_helpers.h"
#include "raster/cpu_features.h"

#include "platform/rtl/sys_utils.h"

TRasterizerClass DefaultRasterizerClass = []() -> std::unique_ptr<TRasterizer> {
  return std::make_unique<TRegularRasterizer>();
};

int RasterizerProcessorCount = 1;

void InitRasterizers() { RasterizerProcessorCount = ProcessorCount(); }

TCombineInfo CombineInfo(const TCustomBitmap32& Bitmap) {
  TCombineInfo info;
  info.SrcAlpha = static_cast<int32_t>(Bitmap.MasterAlpha());
  info.DrawMode = Bitmap.DrawMode();
  info.CombineMode = Bitmap.CombineMode();
  info.CombineCallBack = Bitmap.OnPixelCombine;
  info.TransparentColor = Bitmap.OuterColor();
  if (info.DrawMode == dmCustom && !info.CombineCallBack) info.DrawMode = dmOpaque;
  return info;
}

// ---- TRasterizer ---------------------------------------------------------------------

TRasterizer::TRasterizer() { SetCombineInfo(TCombineInfo{}); }

void TRasterizer::SetSampler(TCustomSampler* Value) {
  if (Value == FSampler) return;
  FSampler = Value;
  Changed();
}

void TRasterizer::SetCombineInfo(const TCombineInfo& Info) {
  FTransparentColor = Info.TransparentColor;
  FSrcAlpha = Info.SrcAlpha;
  FCombineCallBack = Info.CombineCallBack;
  FBlendMemEx = BlendPxIntoExTbl[Info.CombineMode == cmMerge ? cmMerge : cmBlend];
  switch (Info.DrawMode) {
    case dmBlend: FAssignColor = &TRasterizer::AssignBlend; break;
    case dmTransparent: FAssignColor = &TRasterizer::AssignTransparent; break;
    case dmCustom:
      FAssignColor = FCombineCallBack ? &TRasterizer::AssignCustom : &TRasterizer::AssignBlend;
      break;
    default: FAssignColor = &TRasterizer::AssignOpaque; break;
  }
}

void TRasterizer::AssignOpaque(TColor32& Dst, TColor32 Src) { Dst = Src; }

void TRasterizer::AssignBlend(TColor32& Dst, TColor32 Src) {
  (*FBlendMemEx)(Src, Dst, static_cast<uint32_t>(FSrcAlpha));
  EndMmxState();
}

void TRasterizer::AssignTransparent(TColor32& Dst, TColor32 Src) {
  if (Src != FTransparentColor) Dst = Src;
}

void TRasterizer::AssignCustom(TColor32& Dst, TColor32 Src) {
  FCombineCallBack(Src, Dst, static_cast<TColor32>(FSrcAlpha));
}

void TRasterizer::Rasterize(TCustomBitmap32* Dst) {
  if (Dst == nullptr) return;
  Rasterize(Dst, Dst->BoundsRect());
}

void TRasterizer::Rasterize(TCustomBitmap32* Dst, const TRect& DstRect) {
  if (Dst == nullptr) return;
  const int32_t updateCount = Dst->UpdateCount();
  if (FSampler == nullptr) return;
  TCustomSampler* sampler = FSampler;
  sampler->PrepareSampling();
  // A failing sample may leave Dst inside BeginUpdate; bring it back and let the
  // sampler release what it prepared before the failure goes on.
  auto finish = [&] {
    while (Dst->UpdateCount() > updateCount) Dst->EndUpdate();
    sampler->FinalizeSampling();
  };
  try {
    TRect r;
    IntersectRect(r, DstRect, Dst->BoundsRect());
    if (sampler->HasBounds()) {
      const TRect bounds = RectFromFloat(sampler->GetSampleBounds(), rdOutward);
      IntersectRect(r, r, bounds);
    }
    // An empty rectangle goes in too: RasterizeCore closes with its report
    // either way.
    RasterizeCore(Dst, r);
  } catch (...) {
    finish();
    throw;
  }
  finish();
}

void TRasterizer::Rasterize(TCustomBitmap32* Dst, const TRect& DstRect, const TCombineInfo& Info) {
  SetCombineInfo(Info);
  Rasterize(Dst, DstRect);
}

void TRasterizer::Rasterize(TCustomBitmap32* Dst, const TRect& DstRect, const TCustomBitmap32& Src) {
  Rasterize(Dst, DstRect, CombineInfo(Src));
}

void TRasterizer::Assign(TObject* Source) {
  BeginUpdate();
  try {
    if (auto* bitmap = dynamic_cast<TCustomBitmap32*>(Source)) {
      SetCombineInfo(CombineInfo(*bitmap));
    } else if (auto* rasterizer = dynamic_cast<TRasterizer*>(Source)) {
      rasterizer->AssignTo(*this);
    } else {
      const QString from = Source == nullptr ? QStringLiteral("nil") : ClassNameOf(*Source);
      throw EConvertError("Cannot assign a " + from + " to a " + ClassNameOf(*this) + ".");
    }
  } catch (...) {
    EndUpdate();
    Changed();
    throw;
  }
  EndUpdate();
  Changed();
}

void TRasterizer::AssignTo(TRasterizer& Dest) const {
  if (&Dest == this) return;
  Dest.SetSampler(FSampler);
}

// ---- TRegularRasterizer --------------------------------------------------------------

void TRegularRasterizer::AssignTo(TRasterizer& Dest) const {
  TRasterizer::AssignTo(Dest);
  if (auto* regular = dynamic_cast<TRegularRasterizer*>(&Dest)) regular->SetUpdateRowCount(FUpdateRowCount);
}

void TRegularRasterizer::RasterizeCore(TCustomBitmap32* Dst, const TRect& R) {
  TCustomSampler& sampler = *FSampler;
  int32_t unreported = 0;
  for (int32_t j = R.Top; j < R.Bottom; ++j) {
    PColor32 pixel = Dst->PixelPtr(R.Left, j);
    for (int32_t i = R.Left; i < R.Right; ++i, ++pixel) AssignColor(*pixel, sampler.GetSampleInt(i, j));
    ++unreported;
    if (unreported == FUpdateRowCount) {
      Dst->Changed(TRect{R.Left, j - unreported + 1, R.Right, j + 1}, AreaKindRect);
      unreported = 0;
    }
  }
  // The rows not yet reported; empty when every row went out already, or when
  // R had none, and reported all the same.
  Dst->Changed(TRect{R.Left, R.Bottom - unreported, R.Right, R.Bottom}, AreaKindRect);
}
