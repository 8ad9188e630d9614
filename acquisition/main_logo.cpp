#include "acquisition/main_logo.h"

#include "platform/ui/canvas.h"
#include "platform/ui/graphics.h"

#include <cmath>

std::unique_ptr<TBitmap> MakeLogoPicture() {
  auto logo = std::make_unique<TBitmap>();
  logo->SetPixelFormat(pf24bit);
  logo->SetSize(LogoWidth, LogoHeight);
  TCanvas& canvas = *logo->Canvas();
  canvas.Brush()->SetColor(RGB(0x30, 0x38, 0x40));
  canvas.FillRect(Rect(0, 0, LogoWidth, LogoHeight));

  // Traces as vertical wiggles, with the reflection of a point object: the
  // hyperbola t = sqrt(t0^2 + (x / v)^2) across them.
  constexpr int top = 70, bottom = LogoHeight - 12;
  canvas.Pen()->SetWidth(1);
  for (int x = 16; x < LogoWidth - 12; x += 6) {
    const double offset = (x - LogoWidth / 2.0) / 2.2;
    const double apex = std::sqrt(40.0 * 40.0 + offset * offset);
    canvas.Pen()->SetColor(RGB(0x9A, 0xA8, 0xB4));
    canvas.MoveTo(x, top);
    for (int y = top; y <= bottom; y += 2) {
      const double d = y - top - apex;
      const double swing = 4.0 * std::exp(-d * d / 18.0) * std::sin(d / 1.6) + 0.8 * std::sin(y * 0.35 + x);
      canvas.LineTo(x + static_cast<int>(std::lround(swing)), y);
    }
  }
  canvas.Pen()->SetColor(RGB(0xF2, 0xB1, 0x34));
  canvas.Pen()->SetWidth(2);
  for (int x = 16; x < LogoWidth - 12; x += 2) {
    const double offset = (x - LogoWidth / 2.0) / 2.2;
    const int y = top + static_cast<int>(std::lround(std::sqrt(40.0 * 40.0 + offset * offset)));
    if (x == 16)
      canvas.MoveTo(x, y);
    else
      canvas.LineTo(x, y);
  }

  canvas.Brush()->SetStyle(bsClear);
  canvas.Font()->SetName(QStringLiteral("Sans Serif"));
  canvas.Font()->SetSize(28);
  canvas.Font()->SetColor(RGB(0xF0, 0xF0, 0xF0));
  canvas.TextOut(18, 14, QStringLiteral("Talvorn 3"));
  return logo;
}
