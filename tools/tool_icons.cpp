#include "tools/tool_icons.h"

#include "platform/ui/bitmap.h"
#include "platform/ui/canvas.h"
#include "platform/ui/control_types.h"

#include <cmath>
#include <functional>
#include <map>
#include <numbers>
#include <vector>

namespace {
// A rectified sine over the picture's width: two humps above a base line.
void DrawRectifiedWave(TCanvas& canvas, TColor color) {
  canvas.Pen()->SetColor(clGray);
  canvas.MoveTo(2, 19);
  canvas.LineTo(22, 19);
  std::vector<TPoint> points;
  for (int x = 2; x <= 21; ++x) {
    const double phase = (x - 2) / 19.0 * 2 * std::numbers::pi;
    points.push_back({x, 19 - static_cast<int>(std::lround(std::fabs(std::sin(phase)) * 14))});
  }
  canvas.Pen()->SetColor(color);
  canvas.Pen()->SetWidth(2);
  canvas.Polyline(points);
}

using TPainter = std::function<void(TCanvas&)>;

const std::map<QString, TPainter>& Pictures() {
  static const std::map<QString, TPainter> pictures{
      {QStringLiteral("ABS_ICON1"), [](TCanvas& c) { DrawRectifiedWave(c, clGreen); }},
      {QStringLiteral("ABS_ICON2"), [](TCanvas& c) { DrawRectifiedWave(c, clSilver); }},
  };
  return pictures;
}
}  // namespace

bool LoadToolIcon(const QString& resourceName, TBitmap& bitmap) {
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetSize(ToolIconSize, ToolIconSize);
  TCanvas& canvas = *bitmap.Canvas();
  canvas.Brush()->SetColor(clWhite);
  canvas.FillRect({0, 0, ToolIconSize, ToolIconSize});
  const auto it = Pictures().find(resourceName);
  if (it == Pictures().end()) {
    canvas.Brush()->SetColor(clSilver);
    canvas.FillRect({4, 4, ToolIconSize - 4, ToolIconSize - 4});
    return false;
  }
  it->second(canvas);
  return true;
}
