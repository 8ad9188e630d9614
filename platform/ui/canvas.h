#pragma once
// TCanvas: drawing with a pen, a brush and a font onto a surface (a control's
// picture, a bitmap).
//
// Coordinates are pixels with the platform's drawing rules: a line ends before
// its end point, a rectangle covers Left..Right-1 x Top..Bottom-1, a polygon is
// outlined with the pen and filled with the brush.
//
// Drawing is batched: the canvas keeps its surface open between operations and
// hands the pixels back (Flush) before anyone reads or replaces them. The
// surface calls Flush itself when it needs its pixels; code that reads pixels
// through the canvas never has to.
//
// Threads: the thread that owns the surface (the user-interface thread for
// controls).

#include "platform/ui/graphics.h"

#include <QString>

#include <memory>
#include <vector>

class QFontMetrics;
class QImage;
class QPainter;
class TBitmap;

// What a canvas draws on.
class TCanvasSurface {
public:
  // The picture to paint on until EndPaint; nullptr when there is nothing to
  // draw on (an empty bitmap).
  virtual QImage* BeginPaint() = 0;
  virtual void EndPaint() = 0;
  // The pixels as they are now (only called with no painting open).
  virtual const QImage* PixelImage() = 0;
  // After every drawing operation.
  virtual void Changed() {}
  // A surface that is no picture (a printer page) paints through its own
  // painter, open for as long as the surface lives; the canvas never ends it.
  // Text is then measured at that device's resolution.
  virtual QPainter* DevicePainter() { return nullptr; }

protected:
  ~TCanvasSurface() = default;
};

class TCanvas : public TObject {
public:
  explicit TCanvas(TCanvasSurface& surface);
  ~TCanvas() override;
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  TPen* Pen() { return &pen_; }
  TBrush* Brush() { return &brush_; }
  TFont* Font() { return &font_; }
  TPoint PenPos() const { return penPos_; }
  void SetPenPos(TPoint value) { penPos_ = value; }

  void MoveTo(int x, int y);
  // A line from the pen position to (x, y), the end point excluded; the pen
  // position becomes (x, y).
  void LineTo(int x, int y);
  // Lines through the points, the last point excluded.
  void Polyline(const std::vector<TPoint>& points);
  void Polygon(const std::vector<TPoint>& points);
  void Rectangle(int x1, int y1, int x2, int y2);
  void Rectangle(const TRect& rect) { Rectangle(rect.Left, rect.Top, rect.Right, rect.Bottom); }
  void Ellipse(int x1, int y1, int x2, int y2);
  // A rectangle with corners rounded by ellipses of cornerWidth x cornerHeight;
  // without a pen the fill is one pixel smaller on the right and bottom.
  void RoundRect(int x1, int y1, int x2, int y2, int cornerWidth, int cornerHeight);
  // Fills with the brush, no outline.
  void FillRect(const TRect& rect);
  // A one-pixel border in the brush colour.
  void FrameRect(const TRect& rect);
  // The dotted focus frame, drawn by inverting: drawing it twice removes it.
  void DrawFocusRect(const TRect& rect);

  // Text with its top-left at (x, y), over the brush colour unless the brush is
  // clear; the pen position moves to the text's end.
  void TextOut(int x, int y, const QString& text);
  int TextWidth(const QString& text);
  int TextHeight(const QString& text);

  // The bitmap at (x, y), at its size.
  void Draw(int x, int y, TBitmap& bitmap);
  // A picture with transparency at (x, y), blended over what is there (the
  // images of an image list).
  void DrawImage(int x, int y, const QImage& image);
  // The bitmap scaled into rect, nearest pixel.
  void StretchDraw(const TRect& rect, TBitmap& bitmap);
  // source's rectangle sourceRect scaled into dest, nearest pixel.
  void CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect);

  // The colour at (x, y) as 0x00BBGGRR; -1 outside the surface.
  TColor Pixels(int x, int y);
  void SetPixels(int x, int y, TColor color);

  // Ends the open painting, so that the surface's pixels are complete.
  void Flush();

private:
  QPainter* Painter();
  QFontMetrics Metrics() const;
  void UsePenAndBrush(QPainter& painter, bool fill);
  void Changed();

  TCanvasSurface& surface_;
  std::unique_ptr<QPainter> painter_;
  TPen pen_;
  TBrush brush_;
  TFont font_;
  TPoint penPos_;
};
