#include "acquisition/main_status_bar.h"

#include "platform/rtl/rounding.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/canvas.h"
#include "platform/ui/graphics.h"

#include <algorithm>

namespace {

constexpr long double kEmptyVolts = 10.8L;
constexpr long double kRangeVolts = 2.3L;
constexpr long double kFullVolts = 13.1L;

}  // namespace

TVoltageShown VoltageShown(int typeGprOrdinal, long double power, const QString& powerStr) {
  if (typeGprOrdinal == 41 || typeGprOrdinal == 45)
    return {kFullVolts, QStringLiteral("5.0") + LoadResString(SVoltUnit)};
  return {power, powerStr + LoadResString(SVoltUnit)};
}

int VoltageBarEnd(int width, long double power) {
  const int64_t x = Round(static_cast<long double>(width) * (power - kEmptyVolts) / kRangeVolts);
  // A voltage outside the range gives an empty or a full bar.
  return static_cast<int>(std::clamp<int64_t>(x, 0, std::max(width, 0)));
}

void DrawVoltagePanel(TBitmap& bitmap, int width, int height, const TVoltageShown& shown) {
  bitmap.SetSize(width, height);
  TCanvas& canvas = *bitmap.Canvas();
  const int end = VoltageBarEnd(width, shown.Power);
  canvas.Brush()->SetStyle(bsSolid);
  canvas.Pen()->SetColor(static_cast<TColor>(VoltageFullColor));
  canvas.Brush()->SetColor(static_cast<TColor>(VoltageFullColor));
  if (end > 0) canvas.FillRect({0, 0, end, height});
  canvas.Pen()->SetColor(static_cast<TColor>(VoltageEmptyColor));
  canvas.Brush()->SetColor(static_cast<TColor>(VoltageEmptyColor));
  if (end < width) canvas.FillRect({end, 0, width, height});
  canvas.Font()->SetName(QStringLiteral("Arial"));
  canvas.Font()->SetSize(14);
  canvas.Font()->SetStyle(TFontStyles{fsBold});
  canvas.Brush()->SetStyle(bsClear);
  const int left = RoundToInt32((width - canvas.TextWidth(shown.Text)) / 2.0);
  const int top = RoundToInt32((height - canvas.TextHeight(shown.Text)) / 2.0);
  canvas.TextOut(left, top, shown.Text);
}
