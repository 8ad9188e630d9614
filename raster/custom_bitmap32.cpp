// The core of TCustomBitmap32: construction, size and backend, clipping,
// settings, notification and assignment between bitmaps.

#include "raster/bitmap32.h"

#include "raster/backends.h"
#include "raster/memory_backend.h"
#include "raster/resamplers.h"

#include <cstdint>

namespace {

// v x 2^shift, wrapping in 32 bits as the integer multiplication does.
int32_t Scaled(int32_t v, int shift) { return static_cast<int32_t>(static_cast<uint32_t>(v) << shift); }

}  // namespace

TCustomBitmap32::TCustomBitmap32(TNoBackend) { Initialize(); }

TCustomBitmap32::TCustomBitmap32() : TCustomBitmap32(TNoBackend{}) { MakeDefaultBackend(); }

TCustomBitmap32::~TCustomBitmap32() { Destroying(); }

void TCustomBitmap32::Initialize() {
  FOuterColor = 0;
  FMasterAlpha = 255;
  FPenColor = 0xFFFFFFFFu;
  FStippleStep = 1.0f;
  FCombineMode = cmBlend;
  FBlendProc = *BlendPxIntoTbl[cmBlend];
  FWrapMode = wmClamp;
  ChooseWrapProcs();
  SetResampler(std::make_unique<TNearestResampler>(this));
}

void TCustomBitmap32::Destroying() {
  if (FDestroyed) return;
  FDestroyed = true;
  // The raised counter keeps OnChange and OnAreaChanged quiet; OnResize still
  // reports the loss of the size.
  BeginUpdate();
  Lock();
  try {
    SetSize(0, 0);
  } catch (...) {
    // A destructor cannot pass the failure of a resize handler on.
  }
  FResampler.reset();
  DropBackend();
  Unlock();
}

void TCustomBitmap32::MakeDefaultBackend() { TCustomBackend::Create<TMemoryBackend>(this); }

bool TCustomBitmap32::QueryInterface(const TGUID& IID, void*& Obj) {
  if (FBackend != nullptr && FBackend->QueryInterface(IID, Obj)) return true;
  return TCustomMap::QueryInterface(IID, Obj);
}

bool TCustomBitmap32::Empty() const { return (FBackend != nullptr && FBackend->Empty()) || TCustomMap::Empty(); }

// ---- Pixels with checks ---------------------------------------------------------------

TColor32 TCustomBitmap32::PixelS(int X, int Y) const {
  if (X >= FClipRect.Left && X < FClipRect.Right && Y >= FClipRect.Top && Y < FClipRect.Bottom) return Pixel(X, Y);
  return FOuterColor;
}

void TCustomBitmap32::SetPixelS(int X, int Y, TColor32 Value) {
  if (X >= FClipRect.Left && X < FClipRect.Right && Y >= FClipRect.Top && Y < FClipRect.Bottom)
    SetPixel(X, Y, Value);
}

TColor32 TCustomBitmap32::PixelW(int X, int Y) const {
  // An empty clip rectangle has no pixel to fold onto.
  if (RectIsEmpty(FClipRect)) return FOuterColor;
  return Pixel(FWrapProcHorz(X, FClipRect.Left, FClipRect.Right - 1),
               FWrapProcVert(Y, FClipRect.Top, FClipRect.Bottom - 1));
}

void TCustomBitmap32::SetPixelW(int X, int Y, TColor32 Value) {
  if (RectIsEmpty(FClipRect)) return;
  SetPixel(FWrapProcHorz(X, FClipRect.Left, FClipRect.Right - 1),
           FWrapProcVert(Y, FClipRect.Top, FClipRect.Bottom - 1), Value);
}

// ---- Size and backend -----------------------------------------------------------------

void TCustomBitmap32::ChangeSize(int& Width, int& Height, int NewWidth, int NewHeight) {
  if (FBackend == nullptr) {
    TCustomMap::ChangeSize(Width, Height, NewWidth, NewHeight);
    return;
  }
  // A resized bitmap starts from a fresh, cleared surface.
  FBackend->ChangeSize(Width, Height, NewWidth, NewHeight, true);
}

void TCustomBitmap32::BackendSwitched(TObject*) {
  FBits = FBackend != nullptr ? FBackend->Bits() : nullptr;
  ResetClipRect();
}

void TCustomBitmap32::BackendSwitching(TObject*) {}

void TCustomBitmap32::SetBackend(TCustomBackend* Value) {
  if (Value == nullptr || Value == FBackend) return;
  BeginUpdate();
  try {
    Value->FOwner = this;
    if (FBackend != nullptr) {
      Value->Assign(*FBackend);
      DropBackend();
    }
    FBackend = Value;
    FBackend->OnChange = [this](TObject* sender) { BackendSwitched(sender); };
    FBackend->OnChanging = [this](TObject* sender) { BackendSwitching(sender); };
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
  FBackend->Changed();
  Changed();
}

void TCustomBitmap32::DropBackend() {
  if (FBackend == nullptr) return;
  TCustomBackend* backend = FBackend;
  FBackend = nullptr;
  FBits = nullptr;
  backend->FOwner = nullptr;
  backend->OnChange = nullptr;
  backend->OnChanging = nullptr;
  backend->_Release();
}

TCustomBackend* TCustomBitmap32::ReleaseBackend() {
  if (FBackend != nullptr) FBackend->_AddRef();
  return FBackend;
}

// ---- Clearing and alpha ---------------------------------------------------------------

void TCustomBitmap32::Clear() { Clear(clBlack32); }

void TCustomBitmap32::Clear(TColor32 FillColor) {
  if (Empty()) return;
  if (!FMeasuringMode) {
    if (FClipping)
      FillRect(FClipRect.Left, FClipRect.Top, FClipRect.Right, FClipRect.Bottom, FillColor);
    else
      FillDwords(FBits, static_cast<uint32_t>(int64_t{FWidth} * FHeight), FillColor);
  }
  Changed();
}

void TCustomBitmap32::FillRect(int X1, int Y1, int X2, int Y2, TColor32 Value) {
  if (!FMeasuringMode && FBits != nullptr && X2 > X1)
    for (int y = Y1; y < Y2; ++y) FillDwords(PixelPtr(X1, y), static_cast<uint32_t>(X2 - X1), Value);
  Changed(TRect{X1, Y1, X2, Y2}, AreaKindRect);
}

void TCustomBitmap32::ResetAlpha(uint8_t AlphaValue) {
  if (!FMeasuringMode && FBits != nullptr) {
    const TColor32 alpha = TColor32{AlphaValue} << 24;
    const int64_t count = int64_t{FWidth} * FHeight;
    for (int64_t i = 0; i < count; ++i) FBits[i] = (FBits[i] & 0x00FFFFFFu) | alpha;
  }
  Changed();
}

// ---- Clipping ---------------------------------------------------------------------------

void TCustomBitmap32::SetClipRect(const TRect& Value) {
  IntersectRect(FClipRect, Value, BoundsRect());
  FFixedClipRect = TFixedRect{Scaled(FClipRect.Left, 16), Scaled(FClipRect.Top, 16), Scaled(FClipRect.Right, 16),
                              Scaled(FClipRect.Bottom, 16)};
  F256ClipRect = TRect{Scaled(FClipRect.Left, 8), Scaled(FClipRect.Top, 8), Scaled(FClipRect.Right, 8),
                       Scaled(FClipRect.Bottom, 8)};
  FClipping = !(FClipRect == BoundsRect());
  ChooseWrapProcs();
}

void TCustomBitmap32::ChooseWrapProcs() {
  FWrapProcHorz = SelectWrapRoutineEx(FWrapMode, FClipRect.Left, FClipRect.Right - 1);
  FWrapProcVert = SelectWrapRoutineEx(FWrapMode, FClipRect.Top, FClipRect.Bottom - 1);
}

// ---- Settings ---------------------------------------------------------------------------

void TCustomBitmap32::SetDrawMode(TDrawMode Value) {
  if (Value == FDrawMode) return;
  FDrawMode = Value;
  Changed();
}

void TCustomBitmap32::SetCombineMode(TCombineMode Value) {
  if (Value == FCombineMode) return;
  FCombineMode = Value;
  FBlendProc = *BlendPxIntoTbl[Value];
  Changed();
}

void TCustomBitmap32::SetWrapMode(TWrapMode Value) {
  if (Value == FWrapMode) return;
  FWrapMode = Value;
  ChooseWrapProcs();
  Changed();
}

void TCustomBitmap32::SetMasterAlpha(uint32_t Value) {
  if (Value == FMasterAlpha) return;
  FMasterAlpha = Value;
  Changed();
}

void TCustomBitmap32::SetResampler(std::unique_ptr<TCustomResampler> Value) {
  if (!Value) return;
  if (Value.get() == FResampler.get()) {
    // Already ours: the second owner must not free it.
    static_cast<void>(Value.release());
    return;
  }
  Value->SetBitmap(this);
  FResampler = std::move(Value);
  Changed();
}

QString TCustomBitmap32::ResamplerClassName() const { return FResampler ? FResampler->ClassName() : QString(); }

void TCustomBitmap32::SetResamplerClassName(const QString& Value) {
  if (Value.isEmpty() || Value == ResamplerClassName()) return;
  if (const TResamplerClass* resamplerClass = FindResamplerClass(Value)) SetResampler(resamplerClass->Create(this));
}

// ---- Notification -----------------------------------------------------------------------

void TCustomBitmap32::BeginMeasuring(const TAreaChangedEvent& Callback) {
  FMeasuringMode = true;
  FOldOnAreaChanged = OnAreaChanged;
  OnAreaChanged = Callback;
}

void TCustomBitmap32::EndMeasuring() {
  FMeasuringMode = false;
  OnAreaChanged = FOldOnAreaChanged;
}

void TCustomBitmap32::Changed() { Changed(BoundsRect(), AreaKindRect); }

void TCustomBitmap32::Changed(const TRect& Area, uint32_t Info) {
  if ((FUpdateCount == 0 || FMeasuringMode) && OnAreaChanged) OnAreaChanged(this, Area, Info);
  if (!FMeasuringMode) TCustomMap::Changed();
}

void TCustomBitmap32::PropertyChanged() { TCustomMap::Changed(); }

// ---- Assignment -------------------------------------------------------------------------

void TCustomBitmap32::CopyPixelsInto(TCustomBitmap32* Dst) const {
  Dst->SetSize(FWidth, FHeight);
  if (!Empty() && !Dst->Empty())
    MoveDwords(FBits, Dst->FBits, static_cast<int32_t>(int64_t{FWidth} * FHeight));
}

void TCustomBitmap32::CopyPropertiesInto(TCustomBitmap32* Dst) const {
  Dst->SetDrawMode(FDrawMode);
  Dst->SetCombineMode(FCombineMode);
  Dst->SetWrapMode(FWrapMode);
  Dst->SetMasterAlpha(FMasterAlpha);
  Dst->SetOuterColor(FOuterColor);
  Dst->SetResamplerClassName(ResamplerClassName());
  if (Dst->FResampler && FResampler) Dst->FResampler->Assign(*FResampler);
}
