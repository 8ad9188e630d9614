#include "platform/ui/bitmap.h"

#include <algorithm>
#include <array>
#include <cstring>

HPALETTE CreatePalette(const TMaxLogPalette& log) {
  auto palette = std::make_unique<TPaletteObject>();
  const size_t count = std::min<size_t>(log.palNumEntries, log.palPalEntry.size());
  palette->Entries.assign(log.palPalEntry.begin(), log.palPalEntry.begin() + static_cast<std::ptrdiff_t>(count));
  return palette;
}

namespace {

QImage::Format QtFormat(TPixelFormat format) {
  switch (format) {
    case pf1bit:
    case pf4bit:
    case pf8bit: return QImage::Format_Indexed8;
    case pf24bit: return QImage::Format_BGR888;
    default: return QImage::Format_RGB32;
  }
}

bool Supported(TPixelFormat format) {
  return format == pfDevice || format == pf1bit || format == pf4bit || format == pf8bit || format == pf24bit ||
         format == pf32bit;
}

bool Indexed(TPixelFormat format) { return format == pf1bit || format == pf4bit || format == pf8bit; }

// How many palette entries the pixels of an indexed format can name.
int IndexCount(TPixelFormat format) {
  switch (format) {
    case pf1bit: return 2;
    case pf4bit: return 16;
    default: return 256;
  }
}

// The colours of a 4-bit picture without a palette: the 16 standard colours.
constexpr std::array<QRgb, 16> kStandard16{
    0xFF000000, 0xFF800000, 0xFF008000, 0xFF808000, 0xFF000080, 0xFF800080, 0xFF008080, 0xFFC0C0C0,
    0xFF808080, 0xFFFF0000, 0xFF00FF00, 0xFFFFFF00, 0xFF0000FF, 0xFFFF00FF, 0xFF00FFFF, 0xFFFFFFFF};

// The index of the palette colour nearest to rgb (squared distance; the first of
// equals) among the first `count` entries.
uint8_t NearestIndex(QRgb rgb, const QList<QRgb>& table, int count = 256) {
  int best = 0;
  int bestDistance = -1;
  for (int i = 0; i < std::min<int>(count, static_cast<int>(table.size())); ++i) {
    const int dr = qRed(rgb) - qRed(table[i]);
    const int dg = qGreen(rgb) - qGreen(table[i]);
    const int db = qBlue(rgb) - qBlue(table[i]);
    const int distance = dr * dr + dg * dg + db * db;
    if (bestDistance < 0 || distance < bestDistance) {
      best = i;
      bestDistance = distance;
      if (distance == 0) break;
    }
  }
  return static_cast<uint8_t>(best);
}

QImage ToIndexed(const QImage& colour, const QList<QRgb>& table, int count) {
  QImage indexed(colour.size(), QImage::Format_Indexed8);
  indexed.setColorTable(table);
  const QImage source = colour.convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y < source.height(); ++y) {
    const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(y));
    uint8_t* out = indexed.scanLine(y);
    for (int x = 0; x < source.width(); ++x) out[x] = NearestIndex(in[x], table, count);
  }
  return indexed;
}

}  // namespace

TBitmap::TBitmap() = default;

TBitmap::~TBitmap() {
  // The canvas hands its painting back to this bitmap while it still exists.
  canvas_.reset();
}

void TBitmap::FlushCanvas() {
  if (canvas_) canvas_->Flush();
}

QList<QRgb> TBitmap::ColorTable(TPixelFormat format) const {
  const int count = IndexCount(format);
  QList<QRgb> table(256, qRgb(0, 0, 0));
  if (format == pf1bit) {
    table[1] = qRgb(255, 255, 255);
  } else if (format == pf4bit) {
    std::copy(kStandard16.begin(), kStandard16.end(), table.begin());
  } else {
    for (int i = 0; i < 256; ++i) table[i] = qRgb(i, i, i);
  }
  if (palette_) {
    for (int i = 0; i < 256; ++i) {
      if (i < count && static_cast<size_t>(i) < palette_->Entries.size()) {
        const TPaletteEntry& e = palette_->Entries[static_cast<size_t>(i)];
        table[i] = qRgb(e.peRed, e.peGreen, e.peBlue);
      } else {
        table[i] = qRgb(0, 0, 0);
      }
    }
  }
  return table;
}

void TBitmap::Rebuild(int width, int height, TPixelFormat format) {
  width = std::max(0, width);
  height = std::max(0, height);
  QImage next;
  if (width > 0 && height > 0) {
    next = QImage(width, height, QtFormat(format));
    if (Indexed(format)) {
      next.setColorTable(ColorTable(format));
      next.fill(0);
    } else {
      next.fill(Qt::black);
    }
    if (!image_.isNull()) {
      // The old pixels in the new format, then the part that fits. Indexed formats
      // share one memory layout, so a change between them also goes by colour.
      QImage old = image_;
      if (old.format() != next.format() || (Indexed(format) && format != format_))
        old = Indexed(format) ? ToIndexed(old, ColorTable(format), IndexCount(format))
                              : old.convertToFormat(next.format());
      const int rows = std::min(height, old.height());
      const qsizetype bytes = std::min(next.bytesPerLine(), old.bytesPerLine());
      const qsizetype used = static_cast<qsizetype>(std::min(width, old.width())) * (next.depth() / 8);
      for (int y = 0; y < rows; ++y) std::memcpy(next.scanLine(y), old.constScanLine(y), std::min(bytes, used));
    }
  }
  image_ = next;
  width_ = width;
  height_ = height;
  format_ = format;
}

void TBitmap::SetSize(int width, int height) {
  if (width == width_ && height == height_) return;
  FlushCanvas();
  Rebuild(width, height, format_);
  Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat value) {
  if (!Supported(value)) throw EInvalidGraphicOperation("Unsupported pixel format");
  if (value == format_) return;
  FlushCanvas();
  Rebuild(width_, height_, value);
  Changed();
}

uint8_t* TBitmap::ScanLine(int row) {
  if (row < 0 || row >= height_ || image_.isNull()) throw EInvalidGraphicOperation("Scan line index out of range");
  FlushCanvas();
  return image_.scanLine(row);
}

TCanvas* TBitmap::Canvas() {
  if (!canvas_) canvas_ = std::make_unique<TCanvas>(static_cast<TCanvasSurface&>(*this));
  return canvas_.get();
}

void TBitmap::SetPalette(HPALETTE palette) {
  FlushCanvas();
  palette_ = std::move(palette);
  if (Indexed(format_) && !image_.isNull()) image_.setColorTable(ColorTable(format_));
  Changed();
}

void TBitmap::Assign(const TBitmap& source) {
  if (&source == this) return;
  FlushCanvas();
  // The source's canvas may be painting; its pixels are final only after a flush.
  if (source.canvas_) source.canvas_->Flush();
  palette_ = source.palette_ ? std::make_unique<TPaletteObject>(*source.palette_) : nullptr;
  image_ = source.image_.copy();
  width_ = source.width_;
  height_ = source.height_;
  format_ = source.format_;
  transparent_ = source.transparent_;
  transparentMode_ = source.transparentMode_;
  transparentColor_ = source.transparentColor_;
  Changed();
}

void TBitmap::SetTransparent(bool value) {
  if (value == transparent_) return;
  transparent_ = value;
  Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode value) {
  if (value == transparentMode_) return;
  transparentMode_ = value;
  Changed();
}

TColor TBitmap::TransparentColor() {
  if (transparentMode_ == tmFixed) return transparentColor_;
  if (Empty()) return clDefault;
  const QRgb corner = Image().pixel(0, height_ - 1);
  return RGB(static_cast<uint8_t>(qRed(corner)), static_cast<uint8_t>(qGreen(corner)),
             static_cast<uint8_t>(qBlue(corner)));
}

void TBitmap::SetTransparentColor(TColor value) {
  if (transparentMode_ == tmFixed && value == transparentColor_) return;
  transparentColor_ = value;
  transparentMode_ = tmFixed;
  Changed();
}

const QImage& TBitmap::Image() {
  FlushCanvas();
  return image_;
}

QImage* TBitmap::BeginPaint() {
  if (image_.isNull()) return nullptr;
  if (!Indexed(format_)) return &image_;
  work_ = image_.convertToFormat(QImage::Format_RGB32);
  before_ = work_.copy();
  return &work_;
}

void TBitmap::EndPaint() {
  if (!Indexed(format_) || work_.isNull()) return;
  const QList<QRgb> table = image_.colorTable();
  const int count = IndexCount(format_);
  for (int y = 0; y < work_.height(); ++y) {
    const auto* now = reinterpret_cast<const QRgb*>(work_.constScanLine(y));
    const auto* was = reinterpret_cast<const QRgb*>(before_.constScanLine(y));
    uint8_t* indices = nullptr;
    for (int x = 0; x < work_.width(); ++x) {
      if (now[x] == was[x]) continue;
      if (!indices) indices = image_.scanLine(y);
      indices[x] = NearestIndex(now[x], table, count);
    }
  }
  work_ = QImage();
  before_ = QImage();
}

const QImage* TBitmap::PixelImage() { return &image_; }

void TBitmap::Changed() {
  if (OnChange) OnChange(this);
}
