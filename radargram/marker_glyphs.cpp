#include "radargram/marker_glyphs.h"

#include "platform/ui/canvas.h"

void DrawSurfaceMarkerGlyph(TCanvas& canvas, int X, const QString& text, bool showComment, bool selected) {
  if (showComment) {
    canvas.Pen()->SetStyle(psClear);
    canvas.Brush()->SetStyle(bsSolid);
    canvas.Brush()->SetColor(static_cast<TColor>(0xC0C0C0));
    canvas.RoundRect(X + 6, 0, X + canvas.TextWidth(text) + 12, canvas.TextHeight(text) + 6, 6, 6);
  }
  canvas.Pen()->SetStyle(psSolid);
  canvas.Pen()->SetColor(clBlack);
  canvas.Pen()->SetWidth(1);
  canvas.Brush()->SetStyle(bsSolid);
  canvas.Brush()->SetColor(static_cast<TColor>(0x00FFFF));
  const int a = selected ? 7 : 5;
  const int b = selected ? 16 : 10;
  canvas.Polygon({TPoint{X - a, b}, TPoint{X, 0}, TPoint{X + a, b}});
  if (showComment) {
    canvas.Brush()->SetStyle(bsClear);
    canvas.TextOut(X + 8, 2, text);
  }
}

void DrawObjectMarkerGlyph(TCanvas& canvas, int X, int Y, TColor colour, const QString& text, bool showComment,
                           bool selected) {
  if (showComment) {
    canvas.Pen()->SetStyle(psClear);
    canvas.Brush()->SetStyle(bsSolid);
    canvas.Brush()->SetColor(static_cast<TColor>(0xC0C0C0));
    canvas.RoundRect(X + 6, Y - 6, X + canvas.TextWidth(text) + 12, Y + canvas.TextHeight(text), 6, 6);
  }
  canvas.Pen()->SetStyle(psSolid);
  canvas.Pen()->SetColor(colour);
  canvas.Brush()->SetStyle(bsClear);
  int arm = 6;
  if (selected) {
    canvas.Pen()->SetWidth(1);
    canvas.Ellipse(X - 6, Y - 6, X + 6, Y + 6);
    arm = 9;
  }
  canvas.Pen()->SetWidth(2);
  canvas.MoveTo(X - arm, Y);
  canvas.LineTo(X + arm, Y);
  canvas.MoveTo(X, Y - arm);
  canvas.LineTo(X, Y + arm);
  if (showComment) canvas.TextOut(X + 8, Y - 4, text);
}
