#pragma once
// The backend of TBitmap32: the pixels in an image of the toolkit (format
// ARGB32, whose memory is TColor32's: B, G, R, A), so the toolkit can paint on
// them; a canvas (platform/ui/canvas.h) created on demand, a font, and text
// output and measuring through the toolkit. A new surface is all zero
// (transparent black); clearing is not consulted.
//
// Text (every output first calls UpdateFont):
//   Textout(X, Y, Text)           unless the owner measures, drawn with the top of
//                                 the text at Y, cut to the owner's ClipRect when
//                                 it clips; reports (X, Y, X + cx + 1, Y + cy + 1)
//   Textout(X, Y, ClipRect, Text) the same, always cut to ClipRect
//   Textout(DstRect, Flags, Text) unless measuring, laid out in DstRect by the
//                                 DT_ flags (DT_CALCRECT only measures); reports
//                                 the rectangle as the layout left it
//   TextExtent(Text)              measured on the pixels' image, or without a
//                                 surface on SharedScratchBitmap (under its lock)
// The text is painted over the pixels in the font's colour without a
// background; the toolkit's blending sets the alpha of the pixels it covers.
//
// Threads: the user-interface thread (fonts and painting belong to it).

#include "raster/backends.h"

#include "platform/ui/canvas.h"
#include "platform/ui/graphics.h"

#include <QColor>
#include <QFont>
#include <QImage>

#include <memory>
#include <optional>

class TDeviceBackend : public TCustomBackend,
                       public ITextSupport,
                       public IFontSupport,
                       public ICanvasSupport,
                       public IDeviceContextSupport {
public:
  TDeviceBackend();
  ~TDeviceBackend() override;

  bool QueryInterface(const TGUID& IID, void*& Obj) override;
  // No surface.
  bool Empty() const override { return FImage.isNull(); }

  // ITextSupport
  void Textout(int X, int Y, const QString& Text) override;
  void Textout(int X, int Y, const TRect& ClipRect, const QString& Text) override;
  void Textout(const TRect& DstRect, uint32_t Flags, const QString& Text) override;
  TSize TextExtent(const QString& Text) override;

  // IFontSupport. A change of any font property empties the cached toolkit font
  // and then calls OnFontChange; UpdateFont caches it again and takes the text
  // colour.
  TNotifyEvent GetOnFontChange() override { return FOnFontChange; }
  void SetOnFontChange(const TNotifyEvent& Handler) override { FOnFontChange = Handler; }
  TFont* GetFont() override { return &FFont; }
  void SetFont(const TFont& Font) override;
  void UpdateFont() override;

  // ICanvasSupport. A canvas operation calls OnCanvasChange.
  TNotifyEvent GetCanvasChange() override { return FOnCanvasChange; }
  void SetCanvasChange(const TNotifyEvent& Handler) override { FOnCanvasChange = Handler; }
  TCanvas* GetCanvas() override;
  void DeleteCanvas() override;
  bool CanvasAllocated() const override { return FCanvas != nullptr; }

  // IDeviceContextSupport
  QImage* GetHandle() override { return FImage.isNull() ? nullptr : &FImage; }
  void Draw(const TRect& DstRect, const TRect& SrcRect, const QImage& Src) override;
  void DrawTo(QPaintDevice* Dst, int DstX, int DstY) override;
  void DrawTo(QPaintDevice* Dst, const TRect& DstRect, const TRect& SrcRect) override;

protected:
  // "Can't allocate the DIB handle" (ERasterError) when the memory or the image
  // cannot be had.
  void AllocateSurface(int NewWidth, int NewHeight, bool ClearBuffer) override;
  void ReleaseSurface() override;

private:
  // What the canvas paints on: the pixels' image; its changes go to
  // OnCanvasChange (not to the backend's own Changed).
  class TSurface : public TCanvasSurface {
  public:
    explicit TSurface(TDeviceBackend& backend) : backend_(backend) {}
    QImage* BeginPaint() override { return backend_.GetHandle(); }
    void EndPaint() override {}
    const QImage* PixelImage() override { return &backend_.FImage; }
    void Changed() override;

  private:
    TDeviceBackend& backend_;
  };

  void FontChanged();
  // Finishes an open canvas painting so that another painter may start.
  void FlushCanvas();
  QFont CurrentFont();
  bool OwnerMeasuring() const;
  void Report(const TRect& Area);
  void DrawText(int X, int Y, const TRect* Clip, const QString& Text);

  std::unique_ptr<TColor32[]> FMemory;
  QImage FImage;
  TFont FFont;
  std::unique_ptr<TCanvas> FCanvas;
  // The toolkit font in use; empty until UpdateFont and after a font change.
  std::optional<QFont> FFontHandle;
  QColor FTextColor;
  TNotifyEvent FOnFontChange;
  TNotifyEvent FOnCanvasChange;
  TSurface FSurface{*this};
};
