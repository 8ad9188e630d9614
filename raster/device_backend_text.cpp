// Text output and measuring of the device backend, and the shared scratch
// bitmap that measures text when a bitmap has no surface.

#include "raster/device_backend.h"

#include "raster/bitmap32.h"

#include "platform/ui/bitmap.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <climits>
#include <memory>
#include <mutex>

namespace {

std::unique_ptr<TBitmap>& ScratchSlot() {
  static std::unique_ptr<TBitmap> scratch;
  return scratch;
}

// Held while the scratch bitmap measures.
std::mutex& ScratchLock() {
  static std::mutex lock;
  return lock;
}

QRect ToTextQRect(const TRect& r) { return QRect(r.Left, r.Top, r.Width(), r.Height()); }

int ToQtTextFlags(uint32_t flags) {
  int qt = 0;
  if (flags & DT_CENTER)
    qt |= Qt::AlignHCenter;
  else if (flags & DT_RIGHT)
    qt |= Qt::AlignRight;
  else
    qt |= Qt::AlignLeft;
  if (flags & DT_VCENTER)
    qt |= Qt::AlignVCenter;
  else if (flags & DT_BOTTOM)
    qt |= Qt::AlignBottom;
  else
    qt |= Qt::AlignTop;
  if (flags & DT_WORDBREAK) qt |= Qt::TextWordWrap;
  if (flags & DT_SINGLELINE) qt |= Qt::TextSingleLine;
  return qt;
}

}  // namespace

TBitmap* SharedScratchBitmap() { return ScratchSlot().get(); }

void CreateSharedScratchBitmap() {
  auto scratch = std::make_unique<TBitmap>();
  scratch->SetPixelFormat(pf32bit);
  scratch->SetSize(8, 8);
  ScratchSlot() = std::move(scratch);
}

void FreeSharedScratchBitmap() { ScratchSlot().reset(); }

void TDeviceBackend::DrawText(int X, int Y, const TRect* Clip, const QString& Text) {
  if (OwnerMeasuring() || FImage.isNull()) return;
  if (Clip != nullptr && RectIsEmpty(*Clip)) return;
  FlushCanvas();
  const QFont font = CurrentFont();
  QPainter painter(&FImage);
  if (Clip != nullptr) painter.setClipRect(ToTextQRect(*Clip));
  painter.setFont(font);
  painter.setPen(FTextColor);
  // (X, Y) is the top left of the text cell; the toolkit places the baseline.
  painter.drawText(QPoint(X, Y + QFontMetrics(font, &FImage).ascent()), Text);
}

void TDeviceBackend::Textout(int X, int Y, const QString& Text) {
  UpdateFont();
  const bool clipping = FOwner != nullptr && FOwner->Clipping();
  DrawText(X, Y, clipping ? &FOwner->ClipRect() : nullptr, Text);
  const TSize extent = TextExtent(Text);
  Report(TRect{X, Y, X + extent.cx + 1, Y + extent.cy + 1});
}

void TDeviceBackend::Textout(int X, int Y, const TRect& ClipRect, const QString& Text) {
  UpdateFont();
  DrawText(X, Y, &ClipRect, Text);
  const TSize extent = TextExtent(Text);
  Report(TRect{X, Y, X + extent.cx + 1, Y + extent.cy + 1});
}

void TDeviceBackend::Textout(const TRect& DstRect, uint32_t Flags, const QString& Text) {
  UpdateFont();
  TRect area = DstRect;
  if (!OwnerMeasuring() && !FImage.isNull()) {
    const QFont font = CurrentFont();
    const int qtFlags = ToQtTextFlags(Flags);
    if (Flags & DT_CALCRECT) {
      // Measures only: the rectangle grows or shrinks to the laid-out text.
      const int width = (Flags & DT_WORDBREAK) ? std::max(area.Width(), 1) : INT_MAX / 4;
      const QRect bounds =
          QFontMetrics(font, &FImage).boundingRect(QRect(area.Left, area.Top, width, INT_MAX / 4), qtFlags, Text);
      area.Right = area.Left + bounds.width();
      area.Bottom = area.Top + bounds.height();
    } else if ((Flags & DT_NOCLIP) || !RectIsEmpty(area)) {
      FlushCanvas();
      QPainter painter(&FImage);
      if (!(Flags & DT_NOCLIP)) painter.setClipRect(ToTextQRect(area));
      painter.setFont(font);
      painter.setPen(FTextColor);
      painter.drawText(ToTextQRect(area), qtFlags, Text);
    }
  }
  Report(area);
}

TSize TDeviceBackend::TextExtent(const QString& Text) {
  TSize extent;
  const QFont font = CurrentFont();
  if (!FImage.isNull()) {
    const QFontMetrics metrics(font, &FImage);
    extent.cx = metrics.horizontalAdvance(Text);
    extent.cy = metrics.height();
    return extent;
  }
  std::lock_guard guard(ScratchLock());
  if (TBitmap* scratch = SharedScratchBitmap()) {
    const QFontMetrics metrics(font, &scratch->Image());
    extent.cx = metrics.horizontalAdvance(Text);
    extent.cy = metrics.height();
  }
  return extent;
}
