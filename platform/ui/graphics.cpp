#include "platform/ui/graphics.h"

#include <QGuiApplication>

#include <cmath>

TColor ColorToRGB(TColor color) {
  if ((static_cast<uint32_t>(color) & 0xFF000000u) == 0xFF000000u) return QColorToColor(ColorToQColor(color));
  return static_cast<TColor>(static_cast<uint32_t>(color) & 0x00FFFFFFu);
}

// ---- TFont ----------------------------------------------------------------------

namespace {
constexpr int kPixelsPerInch = 96;
}

TFont::TFont() {
  const QFont standard = QGuiApplication::font();
  name_ = standard.family();
  if (standard.pointSize() > 0) size_ = standard.pointSize();
}

void TFont::Changed() {
  if (OnChange) OnChange(this);
}

void TFont::SetName(const QString& value) {
  if (value == name_) return;
  name_ = value;
  Changed();
}

void TFont::SetSize(int value) {
  if (value == size_) return;
  size_ = value;
  Changed();
}

// Height = -Size * 96 / 72, rounded to the nearest pixel.
int TFont::Height() const {
  return -static_cast<int>(std::lround(static_cast<double>(size_) * kPixelsPerInch / 72.0));
}

void TFont::SetHeight(int value) {
  SetSize(static_cast<int>(std::lround(static_cast<double>(-value) * 72.0 / kPixelsPerInch)));
}

void TFont::SetColor(TColor value) {
  if (value == color_) return;
  color_ = value;
  Changed();
}

void TFont::SetStyle(TFontStyles value) {
  if (value == style_) return;
  style_ = value;
  Changed();
}

void TFont::SetCharset(TFontCharset value) {
  if (value == charset_) return;
  charset_ = value;
  Changed();
}

void TFont::Assign(const TFont& source) {
  if (&source == this) return;
  name_ = source.name_;
  size_ = source.size_;
  color_ = source.color_;
  style_ = source.style_;
  charset_ = source.charset_;
  quality_ = source.quality_;
  Changed();
}

void TFont::SetQuality(TFontQuality value) {
  if (quality_ == value) return;
  quality_ = value;
  Changed();
}

QFont TFont::ToQFont() const {
  QFont font(name_);
  // A negative size is a height in pixels.
  if (size_ > 0)
    font.setPointSize(size_);
  else if (size_ < 0)
    font.setPixelSize(-size_);
  font.setBold(style_.Contains(fsBold));
  font.setItalic(style_.Contains(fsItalic));
  font.setUnderline(style_.Contains(fsUnderline));
  font.setStrikeOut(style_.Contains(fsStrikeOut));
  if (quality_ == fqNonAntialiased) font.setStyleStrategy(QFont::NoAntialias);
  if (quality_ >= fqAntialiased) font.setStyleStrategy(QFont::PreferAntialias);
  return font;
}

// ---- TPen, TBrush ---------------------------------------------------------------

void TPen::Changed() {
  if (OnChange) OnChange(this);
}

void TPen::SetColor(TColor value) {
  if (value == color_) return;
  color_ = value;
  Changed();
}

void TPen::SetWidth(int value) {
  if (value == width_) return;
  width_ = value;
  Changed();
}

void TPen::SetStyle(TPenStyle value) {
  if (value == style_) return;
  style_ = value;
  Changed();
}

void TBrush::Changed() {
  if (OnChange) OnChange(this);
}

void TBrush::SetColor(TColor value) {
  if (value == color_) return;
  color_ = value;
  Changed();
}

void TBrush::SetStyle(TBrushStyle value) {
  if (value == style_) return;
  style_ = value;
  Changed();
}
