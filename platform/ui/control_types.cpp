#include "platform/ui/control_types.h"

#include <QGuiApplication>
#include <QPalette>

QColor ColorToQColor(TColor color) {
  const auto bits = static_cast<uint32_t>(color);
  if ((bits & 0xFF000000u) == 0xFF000000u) {
    const QPalette palette = QGuiApplication::palette();
    switch (bits & 0xFFu) {
      case 5: return palette.color(QPalette::Base);
      case 8: return palette.color(QPalette::Text);
      case 13: return palette.color(QPalette::Highlight);
      case 14: return palette.color(QPalette::HighlightedText);
      case 18: return palette.color(QPalette::ButtonText);
      case 6: return palette.color(QPalette::Shadow);
      case 16: return palette.color(QPalette::Dark);
      case 17: return palette.color(QPalette::Disabled, QPalette::Text);
      case 20: return palette.color(QPalette::Light);
      case 21: return palette.color(QPalette::Shadow);
      case 22: return palette.color(QPalette::Midlight);
      // The light blue of an active title bar's gradient end.
      case 27: return QColor(185, 209, 234);
      default: return palette.color(QPalette::Window);
    }
  }
  return QColor(static_cast<int>(bits & 0xFFu), static_cast<int>((bits >> 8) & 0xFFu),
                static_cast<int>((bits >> 16) & 0xFFu));
}

TColor QColorToColor(const QColor& color) {
  const QColor rgb = color.toRgb();
  return static_cast<TColor>(static_cast<uint32_t>(rgb.red()) | (static_cast<uint32_t>(rgb.green()) << 8) |
                             (static_cast<uint32_t>(rgb.blue()) << 16));
}
