#include "acquisition/main_cursors.h"

#include <QHash>

#include <cstdlib>

namespace {

constexpr int kSize = 32;

// A 32 x 32 picture drawn with black outlines on white; ' ' is transparent.
class TCursorCanvas {
public:
  TCursorCanvas() : rows_(kSize, QString(kSize, u' ')) {}

  void Set(int x, int y, QChar c) {
    if (x >= 0 && y >= 0 && x < kSize && y < kSize) rows_[y][x] = c;
  }
  // A line one pixel wide with a white pixel on each side of it.
  void Line(int x0, int y0, int x1, int y1) {
    Trace(x0, y0, x1, y1, [this](int x, int y) {
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
          if (At(x + dx, y + dy) == u' ') Set(x + dx, y + dy, u'.');
    });
    Trace(x0, y0, x1, y1, [this](int x, int y) { Set(x, y, u'#'); });
  }
  void Box(int x0, int y0, int x1, int y1) {
    Line(x0, y0, x1, y0);
    Line(x1, y0, x1, y1);
    Line(x1, y1, x0, y1);
    Line(x0, y1, x0, y0);
  }
  void Dot(int x, int y) {
    for (int dy = -2; dy <= 2; ++dy)
      for (int dx = -2; dx <= 2; ++dx) Set(x + dx, y + dy, std::abs(dx) + std::abs(dy) <= 2 ? u'#' : u'.');
  }
  // The pointer every marker cursor starts from, tip at (0, 0).
  void Arrow() {
    Line(0, 0, 0, 15);
    Line(0, 0, 10, 10);
    Line(0, 15, 4, 11);
    Line(4, 11, 10, 10);
    Line(4, 11, 7, 17);
  }
  void Cross(int cx, int cy, int r) {
    Line(cx - r, cy, cx + r, cy);
    Line(cx, cy - r, cx, cy + r);
  }
  void Hand(bool closed) {
    const int top = closed ? 12 : 4;
    for (int f = 0; f < 4; ++f) Box(8 + 4 * f, top + (f == 0 || f == 3 ? 3 : 0), 10 + 4 * f, 16);
    Box(6, 16, 24, 27);
    if (!closed) Line(6, 16, 2, 11);
  }
  // Small signs at the lower right: what the cursor does.
  void Plus() { Cross(25, 25, 4); }
  void Minus() { Line(21, 25, 29, 25); }
  void Delete() {
    Line(21, 21, 29, 29);
    Line(21, 29, 29, 21);
  }
  void Square() { Box(18, 18, 26, 26); }
  void Surface() {
    Line(16, 26, 22, 20);
    Line(22, 20, 30, 24);
  }
  void Poly() {
    Line(14, 28, 19, 20);
    Line(19, 20, 24, 26);
    Line(24, 26, 30, 18);
  }
  TCursorImage Image(int hotX, int hotY) const { return TCursorImage{rows_, hotX, hotY}; }

private:
  QChar At(int x, int y) const { return x >= 0 && y >= 0 && x < kSize && y < kSize ? rows_[y][x] : QChar(u'#'); }
  template <typename F>
  static void Trace(int x0, int y0, int x1, int y1, F plot) {
    const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
      plot(x0, y0);
      if (x0 == x1 && y0 == y1) break;
      const int e2 = 2 * err;
      if (e2 >= dy) err += dy, x0 += sx;
      if (e2 <= dx) err += dx, y0 += sy;
    }
  }
  QStringList rows_;
};

TCursorImage Draw(const QString& name) {
  TCursorCanvas c;
  const QString n = name.toUpper();
  if (n == "HANDOPEN" || n == "HANDCLOSE") {
    c.Hand(n == "HANDCLOSE");
    return c.Image(15, 15);
  }
  if (n == "CROSSPOINT" || n == "TOPODEL" || n == "PLUSCURS") {
    c.Cross(12, 12, 10);
    if (n == "CROSSPOINT") c.Dot(12, 12);
    if (n == "TOPODEL") c.Delete();
    if (n == "PLUSCURS") c.Plus();
    return c.Image(12, 12);
  }
  if (n == "DEPTHCURS") {
    c.Line(12, 0, 12, 30);
    c.Line(12, 30, 8, 24);
    c.Line(12, 30, 16, 24);
    c.Line(4, 12, 20, 12);
    return c.Image(12, 12);
  }
  if (n == "MOVECURSOR") {
    c.Cross(15, 15, 13);
    for (const auto& [dx, dy] : {std::pair{1, 0}, std::pair{-1, 0}, std::pair{0, 1}, std::pair{0, -1}}) {
      const int tx = 15 + 13 * dx, ty = 15 + 13 * dy;
      c.Line(tx, ty, tx - 4 * dx - 3 * dy, ty - 4 * dy - 3 * dx);
      c.Line(tx, ty, tx - 4 * dx + 3 * dy, ty - 4 * dy + 3 * dx);
    }
    return c.Image(15, 15);
  }
  // The arrow cursors: the arrow and the signs of what they point at and do.
  c.Arrow();
  if (n.contains("OBJ")) c.Square();
  if (n.contains("SURF")) c.Surface();
  if (n.contains("POLY")) c.Poly();
  if (n.contains("DOT")) c.Dot(22, 22);
  if (n.startsWith("DEL")) c.Delete();
  if (n.startsWith("ADD")) c.Plus();
  if (n == "DELMARK2") c.Minus();
  return c.Image(0, 0);
}

}  // namespace

TCursorImage MainCursorImage(const QString& name) {
  for (const TMainCursor& cursor : MainCursors)
    if (name.compare(QLatin1String(cursor.Name), Qt::CaseInsensitive) == 0) return Draw(name);
  return {};
}

void LoadMainCursors() {
  for (const TMainCursor& cursor : MainCursors) {
    const QString name = QString::fromLatin1(cursor.Name);
    RegisterCursorResource(name, MainCursorImage(name));
    Screen->SetCursors(cursor.Id, LoadCursor(name));
  }
}
