#include "platform/ui/image_list.h"

#include "platform/ui/bitmap.h"
#include "platform/ui/canvas.h"

#include <QPainter>
#include <QPixmap>

#include <algorithm>

namespace {

QImage MaskedCopy(const QImage& source, TColor maskColor) {
  QImage image = source.convertToFormat(QImage::Format_ARGB32);
  const QRgb mask = ColorToQColor(maskColor).rgb() & 0x00FFFFFFu;
  for (int y = 0; y < image.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x)
      if ((row[x] & 0x00FFFFFFu) == mask) row[x] = 0;
  }
  return image;
}

QImage Greyed(const QImage& source) {
  QImage image = source.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < image.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      // Lighter grey of the same brightness, so the picture stays readable.
      const int grey = 128 + qGray(row[x]) / 2;
      row[x] = qRgba(grey, grey, grey, qAlpha(row[x]));
    }
  }
  return image;
}

}  // namespace

TImageList::TImageList(TComponent* AOwner) : TComponent(AOwner) {}

TImageList::~TImageList() {
  Destroying();
  // A client may unregister from its released handler.
  const std::vector<TChangeLink> links = std::move(links_);
  links_.clear();
  for (const TChangeLink& link : links)
    if (link.Released) link.Released();
}

void TImageList::RegisterChanges(const void* client, std::function<void()> changed,
                                 std::function<void()> released) {
  UnRegisterChanges(client);
  links_.push_back(TChangeLink{client, std::move(changed), std::move(released)});
}

void TImageList::UnRegisterChanges(const void* client) {
  std::erase_if(links_, [client](const TChangeLink& link) { return link.Client == client; });
}

void TImageList::SetSize(int width, int height) {
  width = std::max(1, width);
  height = std::max(1, height);
  if (width == width_ && height == height_) return;
  width_ = width;
  height_ = height;
  images_.clear();
  Changed();
}

int TImageList::AddImages(const QImage& source) {
  const int first = Count();
  const int pieces = std::max(1, source.width() / width_);
  for (int i = 0; i < pieces; ++i) {
    QImage image(width_, height_, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QPoint(0, 0), source, QRect(i * width_, 0, width_, height_));
    painter.end();
    images_.push_back(image);
  }
  Changed();
  return first;
}

int TImageList::Add(TBitmap& image) {
  return AddImages(image.Image().convertToFormat(QImage::Format_RGB32).convertToFormat(QImage::Format_ARGB32));
}

int TImageList::AddMasked(TBitmap& image, TColor maskColor) {
  return AddImages(MaskedCopy(image.Image(), maskColor));
}

void TImageList::Replace(int index, TBitmap& image) {
  ReplaceImage(index, image.Image().convertToFormat(QImage::Format_ARGB32));
}

void TImageList::ReplaceMasked(int index, TBitmap& image, TColor maskColor) {
  ReplaceImage(index, MaskedCopy(image.Image(), maskColor));
}

void TImageList::ReplaceImage(int index, const QImage& source) {
  if (index < 0 || index >= Count()) return;
  QImage& target = images_[static_cast<size_t>(index)];
  target.fill(Qt::transparent);
  QPainter painter(&target);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.drawImage(QPoint(0, 0), source, QRect(0, 0, width_, height_));
  painter.end();
  Changed();
}

void TImageList::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  images_.erase(images_.begin() + index);
  Changed();
}

void TImageList::Clear() {
  if (images_.empty()) return;
  images_.clear();
  Changed();
}

void TImageList::Draw(TCanvas& canvas, int x, int y, int index, bool enabled) const {
  const QImage image = Image(index);
  if (image.isNull()) return;
  canvas.DrawImage(x, y, enabled ? image : Greyed(image));
}

bool TImageList::GetBitmap(int index, TBitmap& bitmap) const {
  const QImage image = Image(index);
  if (image.isNull()) return false;
  bitmap.SetPixelFormat(pf32bit);
  bitmap.SetSize(width_, height_);
  bitmap.Canvas()->Brush()->SetColor(clBlack);
  bitmap.Canvas()->FillRect(Rect(0, 0, width_, height_));
  bitmap.Canvas()->DrawImage(0, 0, image);
  bitmap.Canvas()->Flush();
  return true;
}

QImage TImageList::Image(int index) const {
  if (index < 0 || index >= Count()) return {};
  return images_[static_cast<size_t>(index)];
}

QIcon TImageList::Icon(int index) const {
  const QImage image = Image(index);
  if (image.isNull()) return {};
  return QIcon(QPixmap::fromImage(image));
}

void TImageList::Changed() {
  if (OnChange) OnChange(this);
  // A copy: a client may unregister while it hears of the change.
  const std::vector<TChangeLink> links = links_;
  for (const TChangeLink& link : links)
    if (link.Changed) link.Changed();
}
