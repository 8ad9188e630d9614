#include "acquisition/topo_pictures.h"

#include "platform/rtl/resource_strings.h"
#include "platform/rtl/rounding.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/canvas.h"
#include "platform/ui/image_list.h"

#include <cmath>
#include <numbers>
#include <vector>

namespace topo_pictures {

constexpr TColor kInk = 0x202020;
constexpr TColor kFrame = clGray;

// Colours are 0x00BBGGRR.
struct TWheelLook {
  int Spokes;
  TColor Rim;
};

TWheelLook WheelLook(TTopoType type) {
  switch (type) {
    case ttOdometerA: return {4, 0x0000C0};  // red
    case ttOdometerB: return {5, 0x008000};  // green
    case ttOdometerC: return {6, 0xC00000};  // blue
    case ttOdometerD: return {7, 0x0080C0};  // brown-orange
    case ttOdometerE: return {8, 0x800080};  // purple
    case ttCustom: return {3, 0x808000};     // teal
    default: return {3, kInk};               // ttWheel
  }
}

TPoint OnCircle(int cx, int cy, long double radius, long double angle) {
  return {cx + RoundToInt32(radius * std::cos(angle)), cy + RoundToInt32(radius * std::sin(angle))};
}

void Pen(TCanvas& c, TColor color, int width) {
  c.Pen()->SetColor(color);
  c.Pen()->SetWidth(width);
}

void Fill(TCanvas& c, TColor color) {
  c.Brush()->SetStyle(bsSolid);
  c.Brush()->SetColor(color);
}

void NoFill(TCanvas& c) { c.Brush()->SetStyle(bsClear); }

// A wheel of the radius around (cx, cy) with its spokes and hub.
void Wheel(TCanvas& c, int cx, int cy, int radius, int spokes, TColor rim) {
  Fill(c, clWhite);
  Pen(c, rim, 3);
  c.Ellipse(cx - radius, cy - radius, cx + radius + 1, cy + radius + 1);
  Pen(c, kInk, 1);
  const long double step = 2 * std::numbers::pi_v<long double> / spokes;
  for (int i = 0; i < spokes; ++i) {
    c.MoveTo(cx, cy);
    const TPoint end = OnCircle(cx, cy, radius - 2, i * step - std::numbers::pi_v<long double> / 2);
    c.LineTo(end.X, end.Y);
  }
  Fill(c, kInk);
  c.Ellipse(cx - 2, cy - 2, cx + 3, cy + 3);
}

void MeasuringWheel(TCanvas& c, TTopoType type) {
  const TWheelLook look = WheelLook(type);
  const bool custom = type == ttCustom;
  const int cy = custom ? 16 : 20;
  // The push handle from the hub up to the right, with its grip.
  Pen(c, kInk, 2);
  c.MoveTo(12, cy);
  c.LineTo(27, 4);
  Pen(c, kInk, 4);
  c.MoveTo(24, 3);
  c.LineTo(30, 3);
  Wheel(c, 12, cy, 9, look.Spokes, look.Rim);
  if (custom) {
    // The ruler the operator calibrates the wheel against.
    Pen(c, kInk, 1);
    Fill(c, 0x80FFFF);
    c.Rectangle(2, 26, 30, 31);
    for (int x = 4; x < 30; x += 3) {
      c.MoveTo(x, 26);
      c.LineTo(x, x % 2 ? 28 : 29);
    }
  }
}

void Cart(TCanvas& c, TTopoType type) {
  const bool b = type == ttTrolleyB;
  Pen(c, kInk, 2);
  c.MoveTo(24, 12);
  c.LineTo(29, 3);
  Pen(c, kInk, 1);
  Fill(c, b ? 0x00A000 : 0xD06000);
  c.Rectangle(3, 11, 26, 22);
  // Stripes: one on the first cart, two on the second.
  Pen(c, clWhite, 1);
  for (int i = 0; i < (b ? 2 : 1); ++i) {
    c.MoveTo(4, 13 + 2 * i);
    c.LineTo(12, 13 + 2 * i);
  }
  // The odometer dial on the body.
  Pen(c, kInk, 1);
  Fill(c, clWhite);
  c.Ellipse(16, 12, 24, 20);
  c.MoveTo(20, 16);
  c.LineTo(22, 13);
  Wheel(c, 8, 25, 4, 3, kInk);
  Wheel(c, 21, 25, 4, 3, kInk);
}

void Gps(TCanvas& c) {
  // The satellite: a body with two panels.
  Pen(c, kInk, 1);
  Fill(c, 0xC08000);
  c.Rectangle(19, 4, 23, 8);
  c.Rectangle(24, 2, 30, 6);
  c.Rectangle(12, 6, 18, 10);
  // Its signal as arcs around the receiver's antenna.
  Pen(c, 0x00A000, 1);
  for (int radius : {5, 8}) {
    std::vector<TPoint> arc;
    for (int i = 0; i <= 8; ++i)
      arc.push_back(OnCircle(9, 12, radius, -std::numbers::pi_v<long double> / 2 + i * std::numbers::pi_v<long double> / 16));
    c.Polyline(arc);
  }
  // The hand receiver: antenna, case, screen and keys.
  Pen(c, kInk, 2);
  c.MoveTo(9, 18);
  c.LineTo(9, 10);
  Pen(c, kInk, 1);
  Fill(c, 0x404040);
  c.RoundRect(5, 17, 19, 31, 4, 4);
  Fill(c, 0x90E0A0);
  c.Rectangle(7, 19, 17, 25);
  Fill(c, 0x00C0FF);
  c.Rectangle(8, 27, 11, 29);
  c.Rectangle(13, 27, 16, 29);
}

void BuiltIn(TCanvas& c, TTopoType type) {
  const bool b = type == ttUnitWheelB;
  // The antenna box with its cable.
  Pen(c, kInk, 1);
  Fill(c, b ? 0xA03070 : 0x0090F0);
  c.Rectangle(2, 11, 30, 23);
  Pen(c, kInk, 2);
  c.MoveTo(16, 11);
  c.LineTo(16, 4);
  c.LineTo(26, 4);
  // The wheel built into one end of the box.
  Wheel(c, b ? 8 : 24, 23, 6, 4, kInk);
}

}  // namespace topo_pictures

void DrawTopoPicture(TTopoType type, TBitmap& bitmap) {
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetSize(TopoPictureSize, TopoPictureSize);
  TCanvas& c = *bitmap.Canvas();
  c.Brush()->SetStyle(bsSolid);
  c.Brush()->SetColor(clWhite);
  c.FillRect(Rect(0, 0, TopoPictureSize, TopoPictureSize));
  namespace tp = topo_pictures;
  switch (type) {
    case ttNil: break;
    case ttGPS: tp::Gps(c); break;
    case ttTrolleyA:
    case ttTrolleyB: tp::Cart(c, type); break;
    case ttUnitWheelA:
    case ttUnitWheelB: tp::BuiltIn(c, type); break;
    default: tp::MeasuringWheel(c, type); break;
  }
  tp::Pen(c, tp::kFrame, 1);
  tp::NoFill(c);
  c.Rectangle(0, 0, TopoPictureSize, TopoPictureSize);
  c.Flush();
}

void FillTopoPictures(TImageList& list) {
  list.SetSize(TopoPictureSize, TopoPictureSize);
  for (int value = 0; value < TopoTypeCount; ++value) {
    TBitmap picture;
    DrawTopoPicture(static_cast<TTopoType>(value), picture);
    list.Add(picture);
  }
}

namespace {

RESOURCESTRING(STopoDeviceGps, "GPS ");
RESOURCESTRING(STopoDeviceCustom, "Custom");

}  // namespace

QString TopoDeviceName(TTopoType type) {
  switch (type) {
    case ttGPS: return LoadResString(STopoDeviceGps);
    case ttCustom: return LoadResString(STopoDeviceCustom);
    case ttWheel: return QStringLiteral("Wheel");
    case ttOdometerA: return QStringLiteral("Wheel A");
    case ttOdometerB: return QStringLiteral("Wheel B");
    case ttOdometerC: return QStringLiteral("Wheel C");
    case ttOdometerD: return QStringLiteral("Wheel D");
    case ttOdometerE: return QStringLiteral("Wheel E");
    case ttTrolleyA: return QStringLiteral("Cart A");
    case ttTrolleyB: return QStringLiteral("Cart B");
    case ttUnitWheelA: return QStringLiteral("Built-in A");
    case ttUnitWheelB: return QStringLiteral("Built-in B");
    default: return QString();
  }
}
