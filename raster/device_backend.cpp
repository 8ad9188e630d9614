#include "raster/device_backend.h"

#include "raster/bitmap32.h"

#include "platform/ui/control_types.h"

#include <QPainter>

#include <cstdint>
#include <new>

namespace {

QRect ToQRect(const TRect& r) { return QRect(r.Left, r.Top, r.Width(), r.Height()); }

TCustomBackend* NewDeviceBackend() { return new TDeviceBackend(); }

}  // namespace

TBackendClass PlatformBackendClass = &NewDeviceBackend;

TDeviceBackend::TDeviceBackend() {
  FFont.OnChange = [this](TObject*) { FontChanged(); };
}

TDeviceBackend::~TDeviceBackend() {
  DeleteCanvas();
  Clear();
}

bool TDeviceBackend::QueryInterface(const TGUID& IID, void*& Obj) {
  if (IID == ITextSupport::IID) {
    Obj = static_cast<ITextSupport*>(this);
  } else if (IID == IFontSupport::IID) {
    Obj = static_cast<IFontSupport*>(this);
  } else if (IID == ICanvasSupport::IID) {
    Obj = static_cast<ICanvasSupport*>(this);
  } else if (IID == IDeviceContextSupport::IID) {
    Obj = static_cast<IDeviceContextSupport*>(this);
  } else {
    return TCustomBackend::QueryInterface(IID, Obj);
  }
  return true;
}

void TDeviceBackend::AllocateSurface(int NewWidth, int NewHeight, bool) {
  const int64_t count = int64_t{NewWidth} * NewHeight;
  try {
    if (count > INT32_MAX) throw std::bad_alloc();
    // Value-initialised: a new surface is transparent black.
    FMemory.reset(new TColor32[static_cast<size_t>(count)]());
    // No row padding: NewWidth x 4 bytes per row, the bitmap's own layout.
    FImage = QImage(reinterpret_cast<uchar*>(FMemory.get()), NewWidth, NewHeight, qsizetype{NewWidth} * 4,
                    QImage::Format_ARGB32);
    if (FImage.isNull()) throw std::bad_alloc();
  } catch (const std::bad_alloc&) {
    FImage = QImage();
    FMemory.reset();
    FBits = nullptr;
    throw ERasterError("Can't allocate the DIB handle");
  }
  FBits = FMemory.get();
}

void TDeviceBackend::ReleaseSurface() {
  // The image goes before its memory, and no painter may outlive either.
  FlushCanvas();
  FImage = QImage();
  FMemory.reset();
  FBits = nullptr;
}

void TDeviceBackend::FlushCanvas() {
  if (FCanvas) FCanvas->Flush();
}

// ---- Canvas ---------------------------------------------------------------------

void TDeviceBackend::TSurface::Changed() {
  if (backend_.FOnCanvasChange) backend_.FOnCanvasChange(&backend_);
}

TCanvas* TDeviceBackend::GetCanvas() {
  if (!FCanvas) FCanvas = std::make_unique<TCanvas>(FSurface);
  return FCanvas.get();
}

void TDeviceBackend::DeleteCanvas() { FCanvas.reset(); }

// ---- Font -----------------------------------------------------------------------

void TDeviceBackend::FontChanged() {
  FFontHandle.reset();
  if (FOnFontChange) FOnFontChange(this);
}

void TDeviceBackend::SetFont(const TFont& Font) {
  FFont.Assign(Font);
  if (FOnFontChange) FOnFontChange(this);
}

void TDeviceBackend::UpdateFont() {
  if (!FFontHandle && !FImage.isNull()) FFontHandle = FFont.ToQFont();
  FTextColor = ColorToQColor(FFont.Color());
}

QFont TDeviceBackend::CurrentFont() { return FFontHandle ? *FFontHandle : FFont.ToQFont(); }

bool TDeviceBackend::OwnerMeasuring() const { return FOwner != nullptr && FOwner->MeasuringMode(); }

void TDeviceBackend::Report(const TRect& Area) {
  if (FOwner != nullptr) FOwner->Changed(Area, AreaKindRect);
}

// ---- Device context -------------------------------------------------------------

void TDeviceBackend::Draw(const TRect& DstRect, const TRect& SrcRect, const QImage& Src) {
  if (FOwner == nullptr || FOwner->Empty()) return;
  if (!OwnerMeasuring() && !FImage.isNull()) {
    FlushCanvas();
    QPainter painter(&FImage);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(ToQRect(DstRect), Src, ToQRect(SrcRect));
  }
  Report(DstRect);
}

void TDeviceBackend::DrawTo(QPaintDevice* Dst, int DstX, int DstY) {
  if (Dst == nullptr || FImage.isNull()) return;
  FlushCanvas();
  QPainter painter(Dst);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.drawImage(QPoint(DstX, DstY), FImage);
}

void TDeviceBackend::DrawTo(QPaintDevice* Dst, const TRect& DstRect, const TRect& SrcRect) {
  if (Dst == nullptr || FImage.isNull()) return;
  FlushCanvas();
  QPainter painter(Dst);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.drawImage(ToQRect(DstRect), FImage, ToQRect(SrcRect));
}
