// TBitmap32: the bitmap over a device backend, with its canvas, font and text.
// Each accessor asks the backend for the interface it needs.

#include "raster/bitmap32.h"

#include "raster/backends.h"

#include "platform/ui/canvas.h"

namespace {

template <class I>
I& Require(TCustomBitmap32* bitmap) {
  I* found = Supports<I>(bitmap);
  if (found == nullptr) throw EIntfCastError();
  return *found;
}

}  // namespace

TBitmap32::TBitmap32() : TCustomBitmap32(TNoBackend{}) { MakeDefaultBackend(); }

TBitmap32::~TBitmap32() {
  // Here the bitmap is still a TBitmap32, so the canvas and font hooks go too.
  Destroying();
}

void TBitmap32::MakeDefaultBackend() { SetBackend(PlatformBackendClass()); }

void TBitmap32::SetBackend(TCustomBackend* Value) {
  if (Value != nullptr) {
    if (auto* fonts = Supports<IFontSupport>(Value)) fonts->SetOnFontChange([this](TObject* s) { FontChanged(s); });
    if (auto* canvas = Supports<ICanvasSupport>(Value))
      canvas->SetCanvasChange([this](TObject* s) { CanvasChanged(s); });
  }
  TCustomBitmap32::SetBackend(Value);
}

void TBitmap32::DropBackend() {
  if (FBackend != nullptr) {
    if (auto* fonts = Supports<IFontSupport>(FBackend)) fonts->SetOnFontChange(nullptr);
    if (auto* canvas = Supports<ICanvasSupport>(FBackend)) canvas->SetCanvasChange(nullptr);
  }
  TCustomBitmap32::DropBackend();
}

void TBitmap32::BackendSwitching(TObject* Sender) {
  FontChanged(Sender);
  DeleteCanvas();
}

void TBitmap32::BackendSwitched(TObject* Sender) {
  TCustomBitmap32::BackendSwitched(Sender);
  HandleChanged();
}

void TBitmap32::HandleChanged() {
  if (OnHandleChanged) OnHandleChanged(this);
}

void TBitmap32::FontChanged(TObject*) {}

void TBitmap32::CanvasChanged(TObject*) { Changed(); }

void TBitmap32::CopyPropertiesInto(TCustomBitmap32* Dst) const {
  TCustomBitmap32::CopyPropertiesInto(Dst);
  auto* target = dynamic_cast<TBitmap32*>(Dst);
  if (target == nullptr) return;
  auto* own = Supports<IFontSupport>(FBackend);
  auto* other = Supports<IFontSupport>(target->FBackend);
  if (own != nullptr && other != nullptr) other->GetFont()->Assign(*own->GetFont());
}

TCanvas* TBitmap32::Canvas() { return Require<ICanvasSupport>(this).GetCanvas(); }

bool TBitmap32::CanvasAllocated() { return Require<ICanvasSupport>(this).CanvasAllocated(); }

void TBitmap32::DeleteCanvas() {
  if (auto* canvas = Supports<ICanvasSupport>(this)) canvas->DeleteCanvas();
}

TFont* TBitmap32::Font() { return Require<IFontSupport>(this).GetFont(); }

void TBitmap32::SetFont(const TFont& Value) { Require<IFontSupport>(this).SetFont(Value); }

void TBitmap32::UpdateFont() { Require<IFontSupport>(this).UpdateFont(); }

QImage* TBitmap32::Handle() { return Require<IDeviceContextSupport>(this).GetHandle(); }

void TBitmap32::Textout(int X, int Y, const QString& Text) { Require<ITextSupport>(this).Textout(X, Y, Text); }

void TBitmap32::Textout(int X, int Y, const TRect& ClipRect, const QString& Text) {
  Require<ITextSupport>(this).Textout(X, Y, ClipRect, Text);
}

void TBitmap32::Textout(const TRect& DstRect, uint32_t Flags, const QString& Text) {
  Require<ITextSupport>(this).Textout(DstRect, Flags, Text);
}

TSize TBitmap32::TextExtent(const QString& Text) { return Require<ITextSupport>(this).TextExtent(Text); }
