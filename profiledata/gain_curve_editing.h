#pragma once
// Editing a gain curve with the mouse: the rules both curve dialogs (the online
// gain dialog and the gain tool's) follow, and their three cursors.
//
// Coordinates are relative to the curve box. A point is under the mouse when
// both its coordinates are within GainPointReach pixels, the first such point in
// row order. A right click on no point adds one inside the box (never on a row a
// point has); Ctrl+click deletes an inner point (the first and the last stay);
// a dragged point takes a new column only within 0 .. Width and a new row only
// when it is an inner point and the row lies strictly between its neighbours'.
//
// User-interface thread only.

#include "platform/ui/cursors.h"

class TListOfDots;

// Screen cursor slots of the curve editing: over a point, adding, deleting.
constexpr TCursor crGainMove = 11;
constexpr TCursor crGainMoveAdd = 12;
constexpr TCursor crGainMoveDel = 13;

constexpr int GainPointReach = 6;

// Registers the pictures "MOVE", "MOVE_ADD" and "MOVE_DEL" and puts them into
// the three slots.
void LoadGainCurveCursors();

// The point under (x, y), -1 for none.
int GainCurvePointAt(const TListOfDots& dots, int x, int y);
// The cursor over (x, y): "MOVE" over a point, "MOVE_DEL" there with Ctrl held,
// the default elsewhere.
TCursor GainCurveCursor(int pointUnderMouse, bool ctrl);
// Adds (x, y) when it lies inside the box and no point has its row.
bool AddGainCurvePoint(TListOfDots& dots, int x, int y);
// Deletes point i when it is neither the first nor the last.
bool DeleteGainCurvePoint(TListOfDots& dots, int i);
// Moves point i towards (x, y) as far as the rules allow.
void DragGainCurvePoint(TListOfDots& dots, int i, int x, int y);
