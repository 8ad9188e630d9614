#include "profiledata/gain_curve_editing.h"

#include "profiledata/list_of_dots.h"

#include <QStringList>

#include <cstdlib>

namespace {

// 16 x 16 pictures: a four-way arrow cross, alone, with a plus or with a cross
// at the lower right ('#' black, '.' white).
const QStringList kMoveRows = {
    "      .#.       ",
    "     .###.      ",
    "    .#####.     ",
    "      .#.       ",
    "  .   .#.   .   ",
    " .#   .#.   #.  ",
    ".##########.##. ",
    " .#   .#.   #.  ",
    "  .   .#.   .   ",
    "      .#.       ",
    "    .#####.     ",
    "     .###.      ",
    "      .#.       ",
    "                ",
    "                ",
    "                ",
};

QStringList WithSign(bool plus) {
  QStringList rows = kMoveRows;
  for (int i = 0; i < 5; ++i) {
    if (plus) {
      rows[11 + i][13] = u'#';
      rows[13][11 + i] = u'#';
    } else {
      rows[11 + i][11 + i] = u'#';
      rows[11 + i][15 - i] = u'#';
    }
  }
  return rows;
}

void RegisterPictures() {
  RegisterCursorResource(QStringLiteral("MOVE"), TCursorImage{kMoveRows, 7, 6});
  RegisterCursorResource(QStringLiteral("MOVE_ADD"), TCursorImage{WithSign(true), 7, 6});
  RegisterCursorResource(QStringLiteral("MOVE_DEL"), TCursorImage{WithSign(false), 7, 6});
}

}  // namespace

void LoadGainCurveCursors() {
  static const bool registered = (RegisterPictures(), true);
  (void)registered;
  Screen->SetCursors(crGainMove, LoadCursor(QStringLiteral("MOVE")));
  Screen->SetCursors(crGainMoveAdd, LoadCursor(QStringLiteral("MOVE_ADD")));
  Screen->SetCursors(crGainMoveDel, LoadCursor(QStringLiteral("MOVE_DEL")));
}

int GainCurvePointAt(const TListOfDots& dots, int x, int y) {
  for (int i = 0; i < dots.GetCount(); ++i) {
    const TPoint p = dots.GetVal(i);
    if (std::abs(p.X - x) <= GainPointReach && std::abs(p.Y - y) <= GainPointReach) return i;
  }
  return -1;
}

TCursor GainCurveCursor(int pointUnderMouse, bool ctrl) {
  if (pointUnderMouse < 0) return crDefault;
  return ctrl ? crGainMoveDel : crGainMove;
}

bool AddGainCurvePoint(TListOfDots& dots, int x, int y) {
  // Only inside the box: a point below it would become the last point and the
  // next layout would squeeze the whole curve back into the box; one above or
  // beside it would shape the curve without being drawn. SetVal refuses a taken
  // row and a full list.
  if (x < 0 || x > dots.Getwidth() || y < 0 || y > dots.GetHeight()) return false;
  const int before = dots.GetCount();
  dots.SetVal(before, TPoint{x, y});
  return dots.GetCount() > before;
}

bool DeleteGainCurvePoint(TListOfDots& dots, int i) {
  if (i <= 0 || i >= dots.GetCount() - 1) return false;
  dots.Del(i);
  return true;
}

void DragGainCurvePoint(TListOfDots& dots, int i, int x, int y) {
  const int count = dots.GetCount();
  if (i < 0 || i >= count) return;
  TPoint p = dots.GetVal(i);
  // The first and the last point keep their rows; an inner one stays between
  // its neighbours, so the points keep their order.
  if (i > 0 && i < count - 1 && y > dots.GetVal(i - 1).Y && y < dots.GetVal(i + 1).Y) p.Y = y;
  if (x >= 0 && x <= dots.Getwidth()) p.X = x;
  dots.SetVal(i, p);
}
