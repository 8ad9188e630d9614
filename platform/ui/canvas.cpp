#include "platform/ui/canvas.h"

#include "platform/ui/bitmap.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPolygon>

#include <algorithm>

namespace {

Qt::PenStyle ToQtPenStyle(TPenStyle style) {
  switch (style) {
    case psDash: return Qt::DashLine;
    case psDot: return Qt::DotLine;
    case psDashDot: return Qt::DashDotLine;
    case psDashDotDot: return Qt::DashDotDotLine;
    case psClear: return Qt::NoPen;
    default: return Qt::SolidLine;
  }
}

QPolygon ToQPolygon(const std::vector<TPoint>& points) {
  QPolygon polygon;
  polygon.reserve(static_cast<int>(points.size()));
  for (const TPoint& p : points) polygon << QPoint(p.X, p.Y);
  return polygon;
}

// An outlined figure covering x1..x2-1 x y1..y2-1: the pen's one-pixel outline
// runs along the last covered row and column.
QRect OutlineRect(int x1, int y1, int x2, int y2) {
  if (x2 < x1) std::swap(x1, x2);
  if (y2 < y1) std::swap(y1, y2);
  return QRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1);
}

}  // namespace

TCanvas::TCanvas(TCanvasSurface& surface) : surface_(surface) {}

TCanvas::~TCanvas() { Flush(); }

QPainter* TCanvas::Painter() {
  if (painter_) return painter_.get();
  if (QPainter* device = surface_.DevicePainter()) return device;
  QImage* image = surface_.BeginPaint();
  if (!image) return nullptr;
  if (image->isNull()) {
    surface_.EndPaint();
    return nullptr;
  }
  painter_ = std::make_unique<QPainter>(image);
  return painter_.get();
}

void TCanvas::Flush() {
  if (!painter_) return;
  painter_->end();
  painter_.reset();
  surface_.EndPaint();
}

void TCanvas::Changed() { surface_.Changed(); }

void TCanvas::UsePenAndBrush(QPainter& painter, bool fill) {
  QPen pen(ColorToQColor(pen_.Color()));
  pen.setStyle(ToQtPenStyle(pen_.Style()));
  pen.setWidth(std::max(1, pen_.Width()));
  // Flat ends leave out the end point of a line, as the platform's lines do.
  pen.setCapStyle(Qt::FlatCap);
  pen.setJoinStyle(Qt::MiterJoin);
  painter.setPen(pen);
  if (fill && brush_.Style() == bsSolid)
    painter.setBrush(ColorToQColor(brush_.Color()));
  else
    painter.setBrush(Qt::NoBrush);
  painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void TCanvas::MoveTo(int x, int y) { penPos_ = TPoint{x, y}; }

void TCanvas::LineTo(int x, int y) {
  // A line to where it starts covers nothing once its end point is left out.
  const bool empty = penPos_ == TPoint{x, y};
  if (QPainter* painter = empty ? nullptr : Painter()) {
    UsePenAndBrush(*painter, false);
    painter->drawLine(QPoint(penPos_.X, penPos_.Y), QPoint(x, y));
    Changed();
  }
  penPos_ = TPoint{x, y};
}

void TCanvas::Polyline(const std::vector<TPoint>& points) {
  if (points.size() < 2) return;
  if (QPainter* painter = Painter()) {
    UsePenAndBrush(*painter, false);
    painter->drawPolyline(ToQPolygon(points));
    Changed();
  }
}

void TCanvas::Polygon(const std::vector<TPoint>& points) {
  if (points.size() < 2) return;
  if (QPainter* painter = Painter()) {
    UsePenAndBrush(*painter, true);
    painter->drawPolygon(ToQPolygon(points));
    Changed();
  }
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
  QPainter* painter = Painter();
  if (!painter) return;
  const QRect rect = OutlineRect(x1, y1, x2, y2);
  if (pen_.Style() == psClear) {
    // Without an outline the fill is one pixel smaller on the right and bottom.
    if (brush_.Style() == bsSolid && rect.width() > 0 && rect.height() > 0)
      painter->fillRect(rect.adjusted(0, 0, -1, -1), ColorToQColor(brush_.Color()));
  } else {
    UsePenAndBrush(*painter, true);
    painter->drawRect(rect);
  }
  Changed();
}

void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int cornerWidth, int cornerHeight) {
  QPainter* painter = Painter();
  if (!painter) return;
  const QRect rect = OutlineRect(x1, y1, x2, y2);
  UsePenAndBrush(*painter, true);
  const qreal rx = cornerWidth / 2.0, ry = cornerHeight / 2.0;
  if (pen_.Style() == psClear)
    painter->drawRoundedRect(rect.adjusted(0, 0, -1, -1), rx, ry);
  else
    painter->drawRoundedRect(rect, rx, ry);
  Changed();
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2) {
  if (QPainter* painter = Painter()) {
    UsePenAndBrush(*painter, true);
    painter->drawEllipse(OutlineRect(x1, y1, x2, y2));
    Changed();
  }
}

void TCanvas::FillRect(const TRect& rect) {
  if (brush_.Style() == bsClear || rect.Width() <= 0 || rect.Height() <= 0) return;
  if (QPainter* painter = Painter()) {
    painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter->fillRect(QRect(rect.Left, rect.Top, rect.Width(), rect.Height()), ColorToQColor(brush_.Color()));
    Changed();
  }
}

void TCanvas::FrameRect(const TRect& rect) {
  if (rect.Width() <= 0 || rect.Height() <= 0) return;
  QPainter* painter = Painter();
  if (!painter) return;
  const QColor color = ColorToQColor(brush_.Color());
  painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
  painter->fillRect(QRect(rect.Left, rect.Top, rect.Width(), 1), color);
  painter->fillRect(QRect(rect.Left, rect.Bottom - 1, rect.Width(), 1), color);
  painter->fillRect(QRect(rect.Left, rect.Top, 1, rect.Height()), color);
  painter->fillRect(QRect(rect.Right - 1, rect.Top, 1, rect.Height()), color);
  Changed();
}

void TCanvas::DrawFocusRect(const TRect& rect) {
  if (rect.Width() <= 0 || rect.Height() <= 0) return;
  Flush();
  QImage* image = surface_.BeginPaint();
  if (!image) return;
  // Every other pixel of the border, inverted in place (the alpha byte is kept so
  // the picture stays opaque).
  const QRect bounds = image->rect();
  auto invert = [&](int x, int y) {
    if (((x + y) & 1) != 0 || !bounds.contains(x, y)) return;
    const QRgb pixel = image->pixel(x, y);
    image->setPixel(x, y, (pixel & 0xFF000000u) | (~pixel & 0x00FFFFFFu));
  };
  for (int x = rect.Left; x < rect.Right; ++x) {
    invert(x, rect.Top);
    if (rect.Bottom - 1 != rect.Top) invert(x, rect.Bottom - 1);
  }
  for (int y = rect.Top + 1; y < rect.Bottom - 1; ++y) {
    invert(rect.Left, y);
    if (rect.Right - 1 != rect.Left) invert(rect.Right - 1, y);
  }
  surface_.EndPaint();
  Changed();
}

void TCanvas::TextOut(int x, int y, const QString& text) {
  const int width = TextWidth(text);
  if (QPainter* painter = Painter()) {
    const QFont font = font_.ToQFont();
    const QFontMetrics metrics = Metrics();
    painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (brush_.Style() == bsSolid)
      painter->fillRect(QRect(x, y, width, metrics.height()), ColorToQColor(brush_.Color()));
    painter->setFont(font);
    painter->setPen(ColorToQColor(font_.Color()));
    painter->drawText(QPoint(x, y + metrics.ascent()), text);
    Changed();
  }
  penPos_ = TPoint{x + width, y};
}

QFontMetrics TCanvas::Metrics() const {
  if (QPainter* device = surface_.DevicePainter()) return QFontMetrics(font_.ToQFont(), device->device());
  return QFontMetrics(font_.ToQFont());
}

int TCanvas::TextWidth(const QString& text) { return Metrics().horizontalAdvance(text); }

int TCanvas::TextHeight(const QString&) { return Metrics().height(); }

void TCanvas::Draw(int x, int y, TBitmap& bitmap) {
  // A copy: the bitmap may be this canvas's own surface.
  const QImage source = bitmap.Image();
  if (source.isNull()) return;
  if (QPainter* painter = Painter()) {
    painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter->drawImage(QPoint(x, y), source);
    Changed();
  }
}

void TCanvas::DrawImage(int x, int y, const QImage& image) {
  if (image.isNull()) return;
  if (QPainter* painter = Painter()) {
    painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter->drawImage(QPoint(x, y), image);
    Changed();
  }
}

void TCanvas::StretchDraw(const TRect& rect, TBitmap& bitmap) {
  if (rect.Width() <= 0 || rect.Height() <= 0) return;
  const QImage source = bitmap.Image();
  if (source.isNull()) return;
  if (QPainter* painter = Painter()) {
    painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter->setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter->drawImage(QRect(rect.Left, rect.Top, rect.Width(), rect.Height()), source);
    Changed();
  }
}

void TCanvas::CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect) {
  if (dest.Width() <= 0 || dest.Height() <= 0 || sourceRect.Width() <= 0 || sourceRect.Height() <= 0) return;
  source.Flush();
  if (&source == this) Flush();
  const QImage* pixels = source.surface_.PixelImage();
  if (!pixels || pixels->isNull()) return;
  const QImage part = pixels->copy(QRect(sourceRect.Left, sourceRect.Top, sourceRect.Width(), sourceRect.Height()));
  if (QPainter* painter = Painter()) {
    painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter->drawImage(QRect(dest.Left, dest.Top, dest.Width(), dest.Height()), part);
    Changed();
  }
}

TColor TCanvas::Pixels(int x, int y) {
  Flush();
  const QImage* image = surface_.PixelImage();
  if (!image || !image->rect().contains(x, y)) return -1;
  return QColorToColor(QColor(image->pixel(x, y)));
}

void TCanvas::SetPixels(int x, int y, TColor color) {
  if (QPainter* painter = Painter()) {
    painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter->fillRect(QRect(x, y, 1, 1), ColorToQColor(color));
    Changed();
  }
}
