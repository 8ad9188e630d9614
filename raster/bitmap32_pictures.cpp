// The bitmap and the toolkit's pictures: assignment from and to a toolkit
// TBitmap and an image, and the pictures a stream or a file holds beside the
// 32-bit BMP. Pictures draw themselves on the device backend's image, so this
// file works with toolkit images directly.

#include "raster/bitmap32.h"

#include "raster/backends.h"
#include "raster/coordinate_helpers.h"

#include "platform/rtl/streams.h"
#include "platform/rtl/sys_utils.h"
#include "platform/ui/bitmap.h"

#include <QPainter>

#include <cstring>

namespace {

// Every pixel whose colour bytes equal those of Key gets alpha 0 (colour kept).
void ClearAlphaOfColor(TCustomBitmap32& Bitmap, TColor32 Key) {
  const TColor32 rgb = Key & 0x00FFFFFFu;
  PColor32 p = Bitmap.Bits();
  const int64_t n = int64_t{Bitmap.Width()} * Bitmap.Height();
  for (int64_t i = 0; i < n; ++i)
    if ((p[i] & 0x00FFFFFFu) == rgb) p[i] = rgb;
}

// A painting of the canvas in progress ends before another painter starts.
void FlushCanvas(TCustomBitmap32& bitmap) {
  if (auto* canvas = Supports<ICanvasSupport>(&bitmap); canvas != nullptr && canvas->CanvasAllocated())
    canvas->GetCanvas()->Flush();
}

}  // namespace

void TCustomBitmap32::Assign(TObject* Source) {
  BeginUpdate();
  try {
    if (Source == nullptr) {
      SetSize(0, 0);
    } else if (auto* bitmap = dynamic_cast<TCustomBitmap32*>(Source)) {
      bitmap->CopyPixelsInto(this);
      bitmap->CopyPropertiesInto(this);
    } else if (auto* graphic = dynamic_cast<TBitmap*>(Source)) {
      ImportBitmap(*graphic);
    } else {
      throw EConvertError("Cannot assign a " + ClassNameOf(*Source) + " to a " + ClassNameOf(*this) + ".");
    }
  } catch (...) {
    EndUpdate();
    Changed();
    throw;
  }
  EndUpdate();
  Changed();
}

void TCustomBitmap32::Assign(const QImage& Picture) {
  BeginUpdate();
  try {
    ImportPicture(Picture);
  } catch (...) {
    EndUpdate();
    Changed();
    throw;
  }
  EndUpdate();
  Changed();
}

void TCustomBitmap32::AssignTo(TObject* Dest) {
  if (auto* graphic = dynamic_cast<TBitmap*>(Dest)) {
    ExportBitmap(*graphic);
    return;
  }
  throw EConvertError("Cannot assign a " + ClassNameOf(*this) + " to a " +
                      (Dest != nullptr ? ClassNameOf(*Dest) : QStringLiteral("nil")) + ".");
}

void TCustomBitmap32::AssignTo(QImage& Picture) {
  if (Empty()) {
    Picture = QImage();
    return;
  }
  Picture = QImage(FWidth, FHeight, QImage::Format_ARGB32);
  for (int y = 0; y < FHeight; ++y) std::memcpy(Picture.scanLine(y), ScanLine(y), size_t(FWidth) * 4);
}

// Plain import with fill colour 0; the alpha is reset to 255 unless the bitmap
// has 32 bits per pixel, whose fourth bytes are copied as they are (a 32-bit
// block copy keeps them). A transparent bitmap's background pixels then get
// alpha 0.
void TCustomBitmap32::ImportBitmap(TBitmap& Graphic) {
  TCustomBackend* saved = nullptr;
  DemandBackendSupport(this, {IDeviceContextSupport::IID, ICanvasSupport::IID}, rqAny, true, saved);
  try {
    SetSize(Graphic.Width(), Graphic.Height());
    if (!Empty()) {
      Clear(0);
      auto* deviceContext = Supports<IDeviceContextSupport>(this);
      auto* canvas = Supports<ICanvasSupport>(this);
      if (deviceContext == nullptr && canvas == nullptr) throw ERasterError("Inpropriate Backend");
      if (Graphic.PixelFormat() == pf32bit) {
        if (!FMeasuringMode) {
          FlushCanvas(*this);
          for (int y = 0; y < FHeight; ++y) std::memcpy(ScanLine(y), Graphic.ScanLine(y), size_t(FWidth) * 4);
        }
      } else if (deviceContext != nullptr) {
        deviceContext->Draw(BoundsRect(), TRect{0, 0, FWidth, FHeight}, Graphic.Image());
      } else {
        canvas->GetCanvas()->StretchDraw(BoundsRect(), Graphic);
      }
      if (Graphic.PixelFormat() != pf32bit) ResetAlpha(255);
      if (Graphic.Transparent() && !FMeasuringMode) ClearAlphaOfColor(*this, ToColor32(Graphic.TransparentColor()));
    }
  } catch (...) {
    RevertBackend(this, saved);
    throw;
  }
  RevertBackend(this, saved);
  if (auto* fonts = Supports<IFontSupport>(this)) fonts->GetFont()->Assign(*Graphic.Canvas()->Font());
}

// Plain import of any other picture: drawn over white, then alpha 255.
void TCustomBitmap32::ImportPicture(const QImage& Picture) {
  TCustomBackend* saved = nullptr;
  DemandBackendSupport(this, {IDeviceContextSupport::IID, ICanvasSupport::IID}, rqAny, true, saved);
  try {
    SetSize(Picture.width(), Picture.height());
    if (!Empty()) {
      Clear(0xFFFFFFFFu);
      auto* deviceContext = Supports<IDeviceContextSupport>(this);
      if (deviceContext == nullptr) throw ERasterError("Inpropriate Backend");
      if (!FMeasuringMode) {
        FlushCanvas(*this);
        QPainter painter(deviceContext->GetHandle());
        painter.drawImage(QPoint(0, 0), Picture);
      }
      ResetAlpha(255);
    }
  } catch (...) {
    RevertBackend(this, saved);
    throw;
  }
  RevertBackend(this, saved);
}

// The target becomes pf32bit of this size with the pixels copied whole (B, G, R,
// then the alpha in the fourth byte), as a block copy between 32-bit pictures.
void TCustomBitmap32::ExportBitmap(TBitmap& Graphic) {
  Graphic.SetPixelFormat(pf32bit);
  Graphic.SetSize(FWidth, FHeight);
  if (auto* fonts = Supports<IFontSupport>(this)) Graphic.Canvas()->Font()->Assign(*fonts->GetFont());
  if (Empty()) return;
  for (int y = 0; y < FHeight; ++y) std::memcpy(Graphic.ScanLine(y), ScanLine(y), size_t(FWidth) * 4);
}

// The toolkit bitmap reads the image at the stream's position (any BMP layout it
// knows, every size checked against the stream); the bitmap changes only once
// the picture has been read.
void TCustomBitmap32::LoadPictureFromStream(TStream& Stream) {
  TBitmap bitmap;
  bitmap.LoadFromStream(Stream);
  Assign(&bitmap);
}

void TCustomBitmap32::LoadFromFile(const QString& FileName) {
  {
    TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
    char header[54];
    const int64_t got = stream.Read(header, sizeof header);
    if (got >= 2 && header[0] == 'B' && header[1] == 'M') {
      stream.Seek(-got, soCurrent);
      LoadFromStream(stream);
      return;
    }
  }
  QImage picture;
  if (!picture.load(FileName)) throw EInvalidGraphicOperation("Unknown picture format: " + FileName.toStdString());
  Assign(picture);
}
