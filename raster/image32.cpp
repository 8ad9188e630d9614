#include "raster/image32.h"

#include "raster/backends.h"
#include "raster/perf_timer.h"
#include "raster/repaint_optimizer.h"
#include "raster/samplers.h"

#include "platform/ui/canvas.h"
#include "platform/ui/cursors.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

namespace {

constexpr int kMaxInt = std::numeric_limits<int>::max();
constexpr int kMinInt = std::numeric_limits<int>::min();

// Half to even, saturated to the int range (NaN gives 0).
int RoundToInt(double Value) {
  if (std::isnan(Value)) return 0;
  const double r = std::nearbyint(Value);
  if (r >= static_cast<double>(kMaxInt)) return kMaxInt;
  if (r <= static_cast<double>(kMinInt)) return kMinInt;
  return static_cast<int>(r);
}

int TruncToInt(double Value) { return RoundToInt(std::trunc(Value)); }
int FloorToInt(double Value) { return RoundToInt(std::floor(Value)); }

// Holds an object's lock for a scope.
template <class T>
class TLockGuard {
public:
  explicit TLockGuard(T* Object) : FObject(Object) { FObject->Lock(); }
  ~TLockGuard() { FObject->Unlock(); }
  TLockGuard(const TLockGuard&) = delete;
  TLockGuard& operator=(const TLockGuard&) = delete;

private:
  T* FObject;
};

// A changed area as a rectangle to repaint. A line's area holds its end points
// in either order, inclusive; the rectangle covers them and the line's width.
TRect AreaToRect(const TRect& Area, uint32_t Info) {
  TRect r{std::min(Area.Left, Area.Right), std::min(Area.Top, Area.Bottom), std::max(Area.Left, Area.Right),
          std::max(Area.Top, Area.Bottom)};
  if ((Info & AreaKindLine) != 0) {
    const int grow = static_cast<int>(std::min<uint32_t>(Info & ~AreaKindMask, 0xFFFF)) + 1;
    r = TRect{r.Left - grow, r.Top - grow, r.Right + grow, r.Bottom + grow};
  }
  return r;
}

// Copies the invalid rectangles of the buffer, or the whole viewport when there
// are none, 1:1 to the control's picture. The copy replaces the pixels, as a
// block transfer does.
void DoPaint(TBitmap32* ABuffer, TRectList* AInvalidRects, TCustomPaintBox32* APaintBox) {
  auto* device = Supports<IDeviceContextSupport>(ABuffer);
  if (device == nullptr) return;
  const TRect bounds = ABuffer->BoundsRect();
  APaintBox->PaintOnPicture([&](QPaintDevice* picture) {
    auto copy = [&](const TRect& r) {
      TRect part;
      if (IntersectRect(part, r, bounds) && !RectIsEmpty(part)) device->DrawTo(picture, part, part);
    };
    if (AInvalidRects->Count() == 0) {
      copy(APaintBox->GetViewportRect());
    } else {
      for (int i = 0; i < AInvalidRects->Count(); ++i) copy(*AInvalidRects->Items(i));
    }
  });
}

}  // namespace

// ---- TPaintStages ------------------------------------------------------------------------

TPaintStage* TPaintStages::Add() {
  FItems.push_back(TPaintStage{});
  return &FItems.back();
}

TPaintStage* TPaintStages::Insert(int Index) {
  Index = std::clamp(Index, 0, Count());
  return &*FItems.insert(FItems.begin() + Index, TPaintStage{});
}

void TPaintStages::Delete(int Index) {
  if (Index < 0 || Index >= Count()) throw EListError("Invalid stage index");
  FItems.erase(FItems.begin() + Index);
}

// ---- TCustomPaintBox32 -------------------------------------------------------------------

TCustomPaintBox32::TCustomPaintBox32(TComponent* AOwner) : TCustomControl(AOwner) {
  FBuffer = std::make_unique<TBitmap32>();
  FInvalidRects = std::make_unique<TRectList>();
  FRepaintOptimizer = std::make_unique<TMicroTilesRepaintOptimizer>(FBuffer.get(), FInvalidRects.get());
  // The buffer is copied over the picture: erasing it first would only flicker
  // and would lose what lies outside the rectangles repainted.
  SetEraseBackground(false);
  SetMessageHandler(CM_MOUSEENTER, [this](TMessage& Message) {
    DefaultHandler(Message);
    MouseEnter();
  });
  SetMessageHandler(CM_MOUSELEAVE, [this](TMessage& Message) {
    MouseLeave();
    DefaultHandler(Message);
  });
  TCustomControl::SetBounds(Left(), Top(), 192, 192);
}

TCustomPaintBox32::~TCustomPaintBox32() {
  // The widget outlives this part of the control and may still report the
  // pointer leaving it.
  SetMessageHandler(CM_MOUSEENTER, nullptr);
  SetMessageHandler(CM_MOUSELEAVE, nullptr);
  FBuffer->OnAreaChanged = nullptr;
  FRepaintOptimizer.reset();
  FInvalidRects.reset();
  FBuffer.reset();
}

TRect TCustomPaintBox32::GetViewportRect() { return TRect{0, 0, Width(), Height()}; }

void TCustomPaintBox32::Invalidate() {
  FBufferValid = false;
  TCustomControl::Invalidate();
}

void TCustomPaintBox32::ForceFullInvalidate() {
  if (FRepaintOptimizer->Enabled()) FRepaintOptimizer->Reset();
  FForceFullRepaint = true;
  Invalidate();
}

void TCustomPaintBox32::Loaded() { FBufferValid = false; }

void TCustomPaintBox32::Flush() {
  if (Supports<IDeviceContextSupport>(FBuffer.get()) == nullptr) return;
  TLockGuard<TBitmap32> lock(FBuffer.get());
  const TRect viewport = GetViewportRect();
  auto* device = Supports<IDeviceContextSupport>(FBuffer.get());
  PaintOnPicture([&](QPaintDevice* picture) {
    device->DrawTo(picture, viewport, TRect{0, 0, viewport.Width(), viewport.Height()});
  });
}

void TCustomPaintBox32::Flush(const TRect& SrcRect) {
  auto* device = Supports<IDeviceContextSupport>(FBuffer.get());
  if (device == nullptr) return;
  TLockGuard<TBitmap32> lock(FBuffer.get());
  const TRect viewport = GetViewportRect();
  TRect dst = SrcRect;
  OffsetRect(dst, viewport.Left, viewport.Top);
  PaintOnPicture([&](QPaintDevice* picture) { device->DrawTo(picture, dst, SrcRect); });
}

void TCustomPaintBox32::SetBufferOversize(int Value) {
  if (Value < 0) Value = 0;
  if (Value == FBufferOversize) return;
  FBufferOversize = Value;
  ResizeBuffer();
  FBufferValid = false;
}

void TCustomPaintBox32::SetRepaintMode(TRepaintMode Value) {
  if (FRepaintOptimizer == nullptr) return;
  const bool imageControl = dynamic_cast<TCustomImage32*>(this) != nullptr;
  if (Value == rmOptimizer && !imageControl) {
    TCustomRepaintOptimizer* optimizer = FRepaintOptimizer.get();
    FBuffer->OnAreaChanged = [optimizer](TObject* Sender, const TRect& Area, uint32_t Info) {
      optimizer->AreaUpdateHandler(Sender, Area, Info);
    };
  } else if (Value == rmDirect) {
    FBuffer->OnAreaChanged = [this](TObject* Sender, const TRect& Area, uint32_t Info) {
      DirectAreaUpdateHandler(Sender, Area, Info);
    };
  } else {
    FBuffer->OnAreaChanged = nullptr;
  }
  FRepaintOptimizer->SetEnabled(Value == rmOptimizer);
  FRepaintMode = Value;
  Invalidate();
}

void TCustomPaintBox32::DirectAreaUpdateHandler(TObject*, const TRect& Area, uint32_t Info) {
  FInvalidRects->Add(AreaToRect(Area, Info));
  if (!FInCustomPaint) Repaint();
}

void TCustomPaintBox32::SetBounds(int left, int top, int width, int height) {
  TCustomControl::SetBounds(left, top, width, height);
  FBufferValid = false;
}

void TCustomPaintBox32::Resize() {
  ResizeBuffer();
  FBufferValid = false;
  TCustomControl::Resize();
}

void TCustomPaintBox32::ResizeBuffer() {
  const TRect viewport = GetViewportRect();
  const int w = std::max(viewport.Width(), 0);
  const int h = std::max(viewport.Height(), 0);
  auto fit = [this](int view, int buffer) {
    int size;
    if (view > buffer) {
      size = static_cast<int>(std::min<int64_t>(int64_t{view} + FBufferOversize, kMaxInt));
    } else if (int64_t{buffer} - FBufferOversize <= view) {
      size = buffer;
    } else {
      size = view;
    }
    return std::max(size, 1);
  };
  const int oldWidth = FBuffer->Width();
  const int oldHeight = FBuffer->Height();
  const int newWidth = fit(w, oldWidth);
  const int newHeight = fit(h, oldHeight);
  if (newWidth == oldWidth && newHeight == oldHeight) return;
  {
    TLockGuard<TBitmap32> lock(FBuffer.get());
    FBuffer->SetSize(newWidth, newHeight);
  }
  AfterBufferResize(oldWidth, oldHeight);
  ForceFullInvalidate();
}

void TCustomPaintBox32::AfterBufferResize(int, int) {
  if (FRepaintOptimizer->Enabled()) FRepaintOptimizer->BufferResizedHandler(FBuffer->Width(), FBuffer->Height());
}

bool TCustomPaintBox32::OptimizedRepaintActive() {
  return FRepaintOptimizer->Enabled() && !FForceFullRepaint && FRepaintOptimizer->UpdatesAvailable();
}

bool TCustomPaintBox32::HasInvalidRects() { return true; }

void TCustomPaintBox32::CollectInvalidRects() {
  if (FRepaintOptimizer->Enabled() && !FForceFullRepaint) FRepaintOptimizer->PerformOptimization();
}

void TCustomPaintBox32::PaintBuffer() {
  if (FForceFullRepaint) {
    FInvalidRects->Clear();
    FForceFullRepaint = false;
  } else {
    CollectInvalidRects();
  }
  FBufferValid = true;
}

void TCustomPaintBox32::PaintDeviceOverlay() {
  if (OnGDIOverlay) OnGDIOverlay(this);
}

void TCustomPaintBox32::Paint() {
  if (Parent() == nullptr) return;
  // Without anything precise to repaint the list stays empty: all is repainted.
  if (OptimizedRepaintActive()) HasInvalidRects();

  FInCustomPaint = true;
  try {
    const bool optimizer = FRepaintOptimizer->Enabled();
    if (optimizer) FRepaintOptimizer->BeginPaint();
    if (!FBufferValid) PaintBuffer();
    {
      TLockGuard<TBitmap32> lock(FBuffer.get());
      DoPaint(FBuffer.get(), FInvalidRects.get(), this);
    }
    PaintDeviceOverlay();
    if (optimizer) FRepaintOptimizer->EndPaint();
  } catch (...) {
    FInvalidRects->Clear();
    FForceFullRepaint = false;
    FInCustomPaint = false;
    throw;
  }
  FInvalidRects->Clear();
  FForceFullRepaint = false;
  FInCustomPaint = false;
}

void TCustomPaintBox32::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (FOptions.Contains(pboAutoFocus) && CanFocus()) SetFocus();
  TCustomControl::MouseDown(button, shift, x, y);
}

void TCustomPaintBox32::MouseEnter() {
  FMouseInControl = true;
  if (OnMouseEnter) OnMouseEnter(this);
}

void TCustomPaintBox32::MouseLeave() {
  FMouseInControl = false;
  if (OnMouseLeave) OnMouseLeave(this);
}

// ---- TCustomImage32 ----------------------------------------------------------------------

TCustomImage32::TCustomImage32(TComponent* AOwner) : TCustomPaintBox32(AOwner) {
  FBitmap = std::make_unique<TBitmap32>();
  FBitmap->OnResize = [this](TObject*) { AfterBitmapResize(); };

  FLayers = std::make_unique<TLayerCollection>(this);
  FLayers->OnChange = [this](TObject*) { Changed(); };
  FLayers->OnGDIUpdate = [this](TObject*) { Paint(); };
  FLayers->OnGetViewportScale = [this](TObject*, float& ScaleX, float& ScaleY) {
    RefreshPlacementCache();
    ScaleX = CachedScaleX;
    ScaleY = CachedScaleY;
  };
  FLayers->OnGetViewportShift = [this](TObject*, float& ShiftX, float& ShiftY) {
    RefreshPlacementCache();
    ShiftX = CachedShiftX;
    ShiftY = CachedShiftY;
  };
  FRepaintOptimizer->RegisterLayerCollection(FLayers.get());

  SetRepaintMode(rmFull);
  FPaintStages = std::make_unique<TPaintStages>();
  FScaleX = 1;
  FScaleY = 1;
  CachedShiftX = CachedShiftY = 0;
  CachedScaleX = CachedScaleY = 1;
  CachedRecScaleX = CachedRecScaleY = 1;
  InstallStandardStages();
}

TCustomImage32::~TCustomImage32() {
  BeginUpdate();
  FPaintStages.reset();
  FRepaintOptimizer->UnregisterLayerCollection(FLayers.get());
  FLayers->OnChange = nullptr;
  FLayers->OnGDIUpdate = nullptr;
  FLayers->OnGetViewportScale = nullptr;
  FLayers->OnGetViewportShift = nullptr;
  FLayers.reset();
  FBitmap->OnResize = nullptr;
  FBitmap->OnChange = nullptr;
  FBitmap->OnAreaChanged = nullptr;
  FBitmap.reset();
}

void TCustomImage32::InstallStandardStages() {
  auto add = [this](uint32_t Stage, bool RunTime, uint32_t Parameter = 0) {
    TPaintStage* stage = FPaintStages->Add();
    stage->DsgnTime = true;
    stage->RunTime = RunTime;
    stage->Stage = Stage;
    stage->Parameter = Parameter;
  };
  add(stageClearBackground, true);
  add(stageControlFrame, false);
  add(stageDrawBitmap, true);
  add(stageBitmapFrame, false);
  add(stageDrawLayers, true, LOB_VISIBLE);
}

void TCustomImage32::BeginUpdate() { ++FUpdateCount; }

void TCustomImage32::EndUpdate() {
  if (FUpdateCount <= 0)
    throw EAssertionFailed("Unpaired EndUpdate call (raster/image32.cpp, line " + std::to_string(__LINE__) + ")");
  --FUpdateCount;
}

void TCustomImage32::Changed() {
  if (FUpdateCount != 0) return;
  Invalidate();
  if (OnChange) OnChange(this);
}

void TCustomImage32::Update(const TRect& Rect) {
  if (FRepaintOptimizer->Enabled()) FRepaintOptimizer->AreaUpdateHandler(this, Rect, AreaKindRect);
}

void TCustomImage32::Invalidate() {
  FBufferValid = false;
  CacheValid = false;
  TCustomPaintBox32::Invalidate();
}

void TCustomImage32::SetBounds(int left, int top, int width, int height) {
  // A hidden control gets its resize event only when shown; the placement
  // must not wait for it.
  if (width != Width() || height != Height()) DropPlacementCache();
  TCustomPaintBox32::SetBounds(left, top, width, height);
}

void TCustomImage32::Loaded() {
  TCustomPaintBox32::Loaded();
  InitStages();
}

void TCustomImage32::InitStages() {
  if (OnInitStages) OnInitStages(this);
}

void TCustomImage32::DropPlacementCache() {
  if (FRepaintOptimizer->Enabled()) FRepaintOptimizer->Reset();
  CacheValid = false;
}

void TCustomImage32::SetBitmap(TObject* Value) {
  DropPlacementCache();
  FBitmap->Assign(Value);
}

void TCustomImage32::SetBitmapAlign(TBitmapAlign Value) {
  DropPlacementCache();
  FBitmapAlign = Value;
  Changed();
}

void TCustomImage32::SetLayers(TLayerCollection* Value) { FLayers->Assign(Value); }

void TCustomImage32::SetOffsetHorz(float Value) {
  if (Value == FOffsetHorz) return;
  DropPlacementCache();
  FOffsetHorz = Value;
  Changed();
}

void TCustomImage32::SetOffsetVert(float Value) {
  if (Value == FOffsetVert) return;
  DropPlacementCache();
  FOffsetVert = Value;
  Changed();
}

void TCustomImage32::SetScaleMode(TScaleMode Value) {
  if (Value == FScaleMode) return;
  DropPlacementCache();
  FScaleMode = Value;
  Changed();
}

void TCustomImage32::SetScale(float Value) {
  if (!(Value >= 0.001f)) Value = 0.001f;
  if (Value == FScaleX) return;
  DropPlacementCache();
  FScaleX = FScaleY = Value;
  CachedScaleX = CachedScaleY = Value;
  CachedRecScaleX = CachedRecScaleY = 1 / Value;
  AfterScaleChange();
  Changed();
}

void TCustomImage32::SetScaleX(float Value) {
  if (!(Value >= 0.001f)) Value = 0.001f;
  if (Value == FScaleX) return;
  DropPlacementCache();
  FScaleX = Value;
  CachedScaleX = Value;
  CachedRecScaleX = 1 / Value;
  AfterScaleChange();
  Changed();
}

void TCustomImage32::SetScaleY(float Value) {
  if (!(Value >= 0.001f)) Value = 0.001f;
  if (Value == FScaleY) return;
  DropPlacementCache();
  FScaleY = Value;
  CachedScaleY = Value;
  CachedRecScaleY = 1 / Value;
  AfterScaleChange();
  Changed();
}

void TCustomImage32::AfterScaleChange() {
  if (OnScaleChange) OnScaleChange(this);
}

void TCustomImage32::SetOnBitmapPixelCombine(const TPixelCombineEvent& Value) {
  FBitmap->OnPixelCombine = Value;
  Changed();
}

void TCustomImage32::SetRepaintMode(TRepaintMode Value) {
  TCustomPaintBox32::SetRepaintMode(Value);
  if (Value == rmDirect || Value == rmOptimizer) {
    FBitmap->OnAreaChanged = [this](TObject* Sender, const TRect& Area, uint32_t Info) {
      BitmapAreaChangeHandler(Sender, Area, Info);
    };
    FBitmap->OnChange = nullptr;
  } else {
    FBitmap->OnAreaChanged = nullptr;
    FBitmap->OnChange = [this](TObject* Sender) { BitmapChangeHandler(Sender); };
  }
}

void TCustomImage32::BitmapChangeHandler(TObject*) {
  // Hooked under rmFull only, where the optimizer is off; switching it on
  // resets it anyway.
  if (FRepaintOptimizer->Enabled()) FRepaintOptimizer->Reset();
  AfterBitmapChange(FBitmap->BoundsRect());
}

void TCustomImage32::MapBitmapArea(const TRect& Area, const std::function<void(const TRect&)>& Report) {
  TRect t = Area;
  const int reach = TruncToInt(FBitmap->Resampler()->Width()) + 1;
  GrowArea(t, reach, reach);
  const TPoint topLeft = BitmapToControl(TPoint{t.Left, t.Top});
  const TPoint bottomRight = BitmapToControl(TPoint{t.Right, t.Bottom});
  const TRect mapped{topLeft.X, topLeft.Y, bottomRight.X, bottomRight.Y};
  if (FBitmapAlign == baTile && CachedBitmapRect.Right > 0 && CachedBitmapRect.Bottom > 0) {
    const int columns = FBuffer->Width() / CachedBitmapRect.Right;
    const int rows = FBuffer->Height() / CachedBitmapRect.Bottom;
    for (int i = 0; i <= columns; ++i) {
      for (int j = 0; j <= rows; ++j) {
        TRect tile = mapped;
        OffsetRect(tile, i * CachedBitmapRect.Right, j * CachedBitmapRect.Bottom);
        Report(tile);
      }
    }
  } else {
    Report(mapped);
  }
}

void TCustomImage32::BitmapAreaChangeHandler(TObject* Sender, const TRect& Area, uint32_t) {
  if (Sender == FBitmap.get()) {
    // A line's end points are mapped as given, whatever their order (GrowArea
    // grows a reversed area outward); the resampler's reach added there also
    // covers the line's spread, so its reported width is not added on top.
    if (FRepaintMode == rmOptimizer) {
      MapBitmapArea(Area, [this](const TRect& R) { FRepaintOptimizer->AreaUpdateHandler(this, R, AreaKindRect); });
    } else if (FRepaintMode == rmDirect) {
      // Listed as proper rectangles: a reversed one would make the stages'
      // clip rectangle empty.
      MapBitmapArea(Area, [this](const TRect& R) { FInvalidRects->Add(AreaToRect(R, AreaKindRect)); });
      if (FUpdateCount == 0) {
        // The listed parts of the buffer are out of date now.
        FBufferValid = false;
        if (!FInCustomPaint) Repaint();
        if (OnChange) OnChange(this);
      }
      return;
    }
  }
  if (FRepaintMode != rmDirect) AfterBitmapChange(Area);
}

void TCustomImage32::AfterBitmapChange(const TRect&) { Changed(); }

void TCustomImage32::SetupBitmap(bool DoClear, TColor32 ClearColor) {
  const TRect viewport = GetViewportRect();
  FBitmap->BeginUpdate();
  try {
    FBitmap->SetSize(viewport.Width(), viewport.Height());
  } catch (...) {
    FBitmap->EndUpdate();
    throw;
  }
  FBitmap->EndUpdate();
  if (DoClear) FBitmap->Clear(ClearColor);
  DropPlacementCache();
  Changed();
}

TSize TCustomImage32::AutoSizeOfBitmap() const {
  TSize size{FBitmap->Width(), FBitmap->Height()};
  if (FScaleMode == smScale) {
    // Each side with its own scale, as GetBitmapSize shows it: one scale for
    // both would leave the control clipping or bordering the bitmap whenever
    // ScaleX and ScaleY differ.
    size.cx = RoundToInt(static_cast<double>(size.cx) * FScaleX);
    size.cy = RoundToInt(static_cast<double>(size.cy) * FScaleY);
  }
  return size;
}

void TCustomImage32::SetAutoSize(bool Value) {
  FAutoSize = Value;
  if (!FAutoSize) return;
  int w = Width();
  int h = Height();
  if (CanAutoSize(w, h)) SetBounds(Left(), Top(), w, h);
}

bool TCustomImage32::CanAutoSize(int& NewWidth, int& NewHeight) {
  DropPlacementCache();
  const TSize size = AutoSizeOfBitmap();
  NewWidth = size.cx;
  NewHeight = size.cy;
  return true;
}

void TCustomImage32::AfterBitmapResize() {
  if (FAutoSize && FBitmap->Width() > 0 && FBitmap->Height() > 0) {
    const TSize size = AutoSizeOfBitmap();
    SetBounds(Left(), Top(), size.cx, size.cy);
  }
  if (FUpdateCount == 0 && OnBitmapResize) OnBitmapResize(this);
  DropPlacementCache();
  ForceFullInvalidate();
}

void TCustomImage32::Resize() {
  DropPlacementCache();
  TCustomPaintBox32::Resize();
}

// ---- Placement ---------------------------------------------------------------------------

TSize TCustomImage32::GetBitmapSize() {
  TSize size;
  if (FBitmap->Empty() || Width() == 0 || Height() == 0) return size;
  const TRect viewport = GetViewportRect();
  const int vw = viewport.Width();
  const int vh = viewport.Height();
  const int bw = FBitmap->Width();
  const int bh = FBitmap->Height();
  TScaleMode mode = FScaleMode;
  if (mode == smOptimal) {
    mode = (vw < bw || vh < bh) ? smResize : smNormal;
  } else if (mode == smOptimalScaled) {
    mode = (RoundToInt(static_cast<double>(bw) * FScaleX) > vw || RoundToInt(static_cast<double>(bh) * FScaleY) > vh) ? smResize : smScale;
  }
  switch (mode) {
    case smNormal:
      size = TSize{bw, bh};
      break;
    case smStretch:
      size = TSize{vw, vh};
      break;
    case smResize: {
      // The ratios are single precision, as they always were; the product is
      // not rounded to single again: 3 x (7/6 as a single) is 3.4999999, which
      // as a single would become 3.5 and round up.
      const float rx = static_cast<float>(vw) / static_cast<float>(bw);
      const float ry = static_cast<float>(vh) / static_cast<float>(bh);
      if (rx < ry) {
        size = TSize{vw, RoundToInt(static_cast<double>(bh) * rx)};
      } else {
        size = TSize{RoundToInt(static_cast<double>(bw) * ry), vh};
      }
      break;
    }
    case smScale:
    case smOptimal:
    case smOptimalScaled:
      size = TSize{RoundToInt(static_cast<double>(bw) * FScaleX), RoundToInt(static_cast<double>(bh) * FScaleY)};
      break;
  }
  if (size.cx < 1) size.cx = 0;
  if (size.cy < 1) size.cy = 0;
  return size;
}

TRect TCustomImage32::GetBitmapRect() {
  if (FBitmap->Empty()) return TRect{};
  const TSize size = GetBitmapSize();
  TRect r{0, 0, size.cx, size.cy};
  if (FBitmapAlign == baCenter) {
    OffsetRect(r, (Width() - size.cx) / 2, (Height() - size.cy) / 2);
  } else if (FBitmapAlign == baCustom) {
    OffsetRect(r, RoundToInt(FOffsetHorz), RoundToInt(FOffsetVert));
  }
  return r;
}

void TCustomImage32::RefreshPlacementCache() {
  if (CacheValid) return;
  CachedBitmapRect = GetBitmapRect();
  if (FBitmap->Empty()) {
    CachedShiftX = CachedShiftY = 0;
    CachedScaleX = CachedScaleY = 1;
  } else {
    CachedShiftX = static_cast<float>(CachedBitmapRect.Left);
    CachedShiftY = static_cast<float>(CachedBitmapRect.Top);
    CachedScaleX = static_cast<float>(CachedBitmapRect.Width()) / static_cast<float>(FBitmap->Width());
    CachedScaleY = static_cast<float>(CachedBitmapRect.Height()) / static_cast<float>(FBitmap->Height());
  }
  CachedRecScaleX = CachedScaleX == 0 ? 0 : 1 / CachedScaleX;
  CachedRecScaleY = CachedScaleY == 0 ? 0 : 1 / CachedScaleY;
  CacheValid = true;
}

TPoint TCustomImage32::BitmapToControl(const TPoint& APoint) {
  RefreshPlacementCache();
  return TPoint{TruncToInt(static_cast<double>(APoint.X) * CachedScaleX + CachedShiftX),
                TruncToInt(static_cast<double>(APoint.Y) * CachedScaleY + CachedShiftY)};
}

TFloatPoint TCustomImage32::BitmapToControl(const TFloatPoint& APoint) {
  RefreshPlacementCache();
  // Rounded to single once, at the end: rounding the product first can move
  // the result by a step.
  return TFloatPoint{static_cast<float>(static_cast<double>(APoint.X) * CachedScaleX + CachedShiftX),
                     static_cast<float>(static_cast<double>(APoint.Y) * CachedScaleY + CachedShiftY)};
}

TPoint TCustomImage32::ControlToBitmap(const TPoint& APoint) {
  RefreshPlacementCache();
  const int x = CachedRecScaleX == 0 ? kMaxInt : FloorToInt(CachedRecScaleX * (static_cast<double>(APoint.X) - CachedShiftX));
  const int y = CachedRecScaleY == 0 ? kMaxInt : FloorToInt(CachedRecScaleY * (static_cast<double>(APoint.Y) - CachedShiftY));
  return TPoint{x, y};
}

TFloatPoint TCustomImage32::ControlToBitmap(const TFloatPoint& APoint) {
  RefreshPlacementCache();
  constexpr float kFar = 2147483648.0f;
  return TFloatPoint{
      CachedRecScaleX == 0 ? kFar : static_cast<float>(CachedRecScaleX * (static_cast<double>(APoint.X) - CachedShiftX)),
      CachedRecScaleY == 0 ? kFar : static_cast<float>(CachedRecScaleY * (static_cast<double>(APoint.Y) - CachedShiftY))};
}

// ---- Painting ----------------------------------------------------------------------------

TCustomImage32::TStageHandler TCustomImage32::HandlerOfStage(uint32_t Stage) {
  switch (Stage) {
    case stageCustom: return &TCustomImage32::ExecCustom;
    case stageClearBuffer: return &TCustomImage32::ExecClearBuffer;
    case stageClearBackground: return &TCustomImage32::ExecClearBackgnd;
    case stageDrawBitmap: return &TCustomImage32::ExecDrawBitmap;
    case stageDrawLayers: return &TCustomImage32::ExecDrawLayers;
    case stageControlFrame: return &TCustomImage32::ExecControlFrame;
    case stageBitmapFrame: return &TCustomImage32::ExecBitmapFrame;
    default: return nullptr;
  }
}

void TCustomImage32::RunStages(TBitmap32* Dest) {
  for (size_t i = 0; i < FPaintStageHandlers.size(); ++i) (this->*FPaintStageHandlers[i])(Dest, FPaintStageNum[i]);
}

bool TCustomImage32::HasInvalidRects() {
  CollectInvalidRects();
  return FInvalidRects->Count() > 0;
}

void TCustomImage32::PaintBuffer() {
  const bool optimizer = FRepaintOptimizer->Enabled();
  if (optimizer) FRepaintOptimizer->BeginPaintBuffer();
  RefreshPlacementCache();

  FPaintStageHandlers.clear();
  FPaintStageNum.clear();
  for (int i = 0; i < FPaintStages->Count(); ++i) {
    const TPaintStage& stage = FPaintStages->Items(i);
    TStageHandler handler = HandlerOfStage(stage.Stage);
    if (stage.RunTime && handler != nullptr) {
      FPaintStageHandlers.push_back(handler);
      FPaintStageNum.push_back(i);
    }
  }

  const TRect viewport = GetViewportRect();
  FBuffer->BeginUpdate();
  try {
    if (FInvalidRects->Count() > 0) {
      for (int i = 0; i < FInvalidRects->Count(); ++i) {
        FBuffer->SetClipRect(*FInvalidRects->Items(i));
        RunStages(FBuffer.get());
      }
      FBuffer->SetClipRect(viewport);
    } else {
      FBuffer->SetClipRect(viewport);
      RunStages(FBuffer.get());
    }
  } catch (...) {
    FBuffer->SetClipRect(viewport);
    FBuffer->EndUpdate();
    throw;
  }
  FBuffer->EndUpdate();
  if (optimizer) FRepaintOptimizer->EndPaintBuffer();
  FBufferValid = true;
}

void TCustomImage32::PaintDeviceOverlay() {
  for (int i = 0; i < FLayers->Count(); ++i) {
    TCustomLayer* layer = FLayers->Items(i);
    if ((layer->LayerOptions() & LOB_GDI_OVERLAY) != 0) layer->PaintToDeviceContext(Canvas());
  }
  TCustomPaintBox32::PaintDeviceOverlay();
}

void TCustomImage32::PaintTo(TBitmap32* Dest, const TRect& DestRect) {
  if (Dest == nullptr) return;
  const TRepaintMode oldMode = FRepaintMode;
  SetRepaintMode(rmFull);

  CachedBitmapRect = DestRect;
  if (RectIsEmpty(DestRect) || FBitmap->Empty()) {
    CachedShiftX = CachedShiftY = 0;
    CachedScaleX = CachedScaleY = 1;
  } else {
    CachedShiftX = static_cast<float>(DestRect.Left);
    CachedShiftY = static_cast<float>(DestRect.Top);
    CachedScaleX = static_cast<float>(DestRect.Width()) / static_cast<float>(FBitmap->Width());
    CachedScaleY = static_cast<float>(DestRect.Height()) / static_cast<float>(FBitmap->Height());
  }
  CachedRecScaleX = CachedScaleX == 0 ? 0 : 1 / CachedScaleX;
  CachedRecScaleY = CachedScaleY == 0 ? 0 : 1 / CachedScaleY;
  CacheValid = true;

  PaintToMode = true;
  auto finish = [&] {
    PaintToMode = false;
    CacheValid = false;
    SetRepaintMode(oldMode);
  };
  try {
    for (int i = 0; i < FPaintStages->Count(); ++i) {
      const TPaintStage& stage = FPaintStages->Items(i);
      TStageHandler handler = HandlerOfStage(stage.Stage);
      if (stage.RunTime && handler != nullptr) (this->*handler)(Dest, i);
    }
  } catch (...) {
    finish();
    throw;
  }
  finish();
}

void TCustomImage32::ExecClearBuffer(TBitmap32* Dest, int) { Dest->Clear(ToColor32(Color())); }

void TCustomImage32::ExecClearBackgnd(TBitmap32* Dest, int) {
  const TColor32 color = ToColor32(Color());
  // PaintTo draws the whole destination: the rectangles listed for the screen
  // do not apply to it.
  if (!PaintToMode && FInvalidRects->Count() > 0) {
    for (int i = 0; i < FInvalidRects->Count(); ++i) Dest->FillRectS(*FInvalidRects->Items(i), color);
    return;
  }
  const TRect r = CachedBitmapRect;
  const int w = Dest->Width();
  const int h = Dest->Height();
  if (FBitmap->Empty() || FBitmap->DrawMode() != dmOpaque) {
    Dest->Clear(color);
  } else if (r.Left > 0 || r.Right < w || r.Top > 0 || (r.Bottom < h && FBitmapAlign != baTile)) {
    Dest->FillRectS(0, 0, w, r.Top, color);
    Dest->FillRectS(0, r.Bottom, w, h, color);
    Dest->FillRectS(0, r.Top, r.Left, r.Bottom, color);
    Dest->FillRectS(r.Right, r.Top, w, r.Bottom, color);
  }
}

void TCustomImage32::ExecDrawBitmap(TBitmap32* Dest, int) {
  if (FBitmap->Empty() || RectIsEmpty(CachedBitmapRect)) return;
  TLockGuard<TBitmap32> lock(FBitmap.get());
  if (FBitmapAlign == baTile) {
    const TRect r = CachedBitmapRect;
    const int columns = Dest->Width() / r.Right;
    const int rows = Dest->Height() / r.Bottom;
    for (int i = 0; i <= columns; ++i) {
      for (int j = 0; j <= rows; ++j) {
        TRect tile = r;
        OffsetRect(tile, i * r.Right, j * r.Bottom);
        FBitmap->DrawTo(Dest, tile);
      }
    }
  } else {
    FBitmap->DrawTo(Dest, CachedBitmapRect);
  }
}

void TCustomImage32::ExecDrawLayers(TBitmap32* Dest, int StageNum) {
  const uint32_t mask = FPaintStages->Items(StageNum).Parameter;
  for (int i = 0; i < FLayers->Count(); ++i) {
    TCustomLayer* layer = FLayers->Items(i);
    if ((layer->LayerOptions() & mask) != 0) layer->PaintLayer(Dest);
  }
}

void TCustomImage32::ExecControlFrame(TBitmap32* Dest, int) {
  Dest->Canvas()->DrawFocusRect(TRect{0, 0, Width(), Height()});
}

void TCustomImage32::ExecBitmapFrame(TBitmap32* Dest, int) { Dest->Canvas()->DrawFocusRect(CachedBitmapRect); }

void TCustomImage32::ExecCustom(TBitmap32* Dest, int StageNum) {
  if (OnPaintStage) OnPaintStage(this, Dest, static_cast<uint32_t>(StageNum));
}

// ---- Mouse -------------------------------------------------------------------------------

void TCustomImage32::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomPaintBox32::MouseDown(button, shift, x, y);
  if (TabStop() && CanFocus()) SetFocus();
  TCustomLayer* layer = FLayers->MouseEvents() ? FLayers->MouseDown(button, shift, x, y) : nullptr;
  // The toolkit keeps the mouse with the pressed widget until the last
  // button is released, which is the capture a layer drag needs.
  MouseDown(button, shift, x, y, layer);
}

void TCustomImage32::MouseMove(TShiftState shift, int x, int y) {
  TCustomPaintBox32::MouseMove(shift, x, y);
  TCustomLayer* layer = FLayers->MouseEvents() ? FLayers->MouseMove(shift, x, y) : nullptr;
  MouseMove(shift, x, y, layer);
}

void TCustomImage32::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomLayer* layer = FLayers->MouseEvents() ? FLayers->MouseUp(button, shift, x, y) : nullptr;
  MouseUp(button, shift, x, y, layer);
}

void TCustomImage32::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y, TCustomLayer* Layer) {
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y, Layer);
}

void TCustomImage32::MouseMove(TShiftState Shift, int X, int Y, TCustomLayer* Layer) {
  if (OnMouseMove) OnMouseMove(this, Shift, X, Y, Layer);
}

void TCustomImage32::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y, TCustomLayer* Layer) {
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y, Layer);
}

void TCustomImage32::DblClick() {
  FLayers->SetMouseListener(nullptr);
  MouseUp(mbLeft, TShiftState{}, 0, 0);
  TCustomPaintBox32::DblClick();
}

void TCustomImage32::MouseLeave() {
  if (FLayers->MouseEvents() && FLayers->MouseListener() == nullptr) Screen->SetCursor(crDefault);
  TCustomPaintBox32::MouseLeave();
}
