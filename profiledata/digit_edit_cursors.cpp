#include "profiledata/digit_edit_cursors.h"

#include "platform/ui/cursors.h"
#include "profiledata/digit_edit.h"

#include <algorithm>

namespace {

// An arrow head pointing up over its white shaft ('#' black, '.' white).
const QStringList kHeadUp = {
    "     #     ",
    "    #.#    ",
    "   #...#   ",
    "  #.....#  ",
    " #.......# ",
    "#####.#####",
};
const QString kShaft = "    #.#    ";
const QString kShaftEnd = "    ###    ";

QStringList Reversed(QStringList rows) {
  std::reverse(rows.begin(), rows.end());
  return rows;
}

QStringList Shaft(int length) {
  QStringList rows;
  for (int i = 0; i < length; ++i) rows << kShaft;
  return rows;
}

void RegisterResources() {
  const QStringList up = kHeadUp + Shaft(9) + QStringList{kShaftEnd};
  const QStringList both = kHeadUp + Shaft(5) + Reversed(kHeadUp);
  RegisterCursorResource("DIGITEDITDSTARTMOVE", TCursorImage{both, 5, static_cast<int>(both.size()) / 2});
  RegisterCursorResource("DIGITEDITDUPMOVE", TCursorImage{up, 5, 0});
  RegisterCursorResource("DIGITEDITDDOWNMOVE", TCursorImage{Reversed(up), 5, static_cast<int>(up.size()) - 1});
}

}  // namespace

void LoadDigitEditCursors() {
  static const bool registered = (RegisterResources(), true);
  (void)registered;
  Screen->SetCursors(crDigitEditStartMove, LoadCursor("DIGITEDITDSTARTMOVE"));
  Screen->SetCursors(crDigitEditUpMove, LoadCursor("DIGITEDITDUPMOVE"));
  Screen->SetCursors(crDigitEditDownMove, LoadCursor("DIGITEDITDDOWNMOVE"));
}
