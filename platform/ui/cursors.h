#pragma once
// Mouse cursors by slot: the screen's cursor table, the application-wide screen
// cursor, cursor resources loaded by name, and (in controls.h) a control's Cursor.
//
// A slot id is a TCursor. The negative ids are the toolkit's standard cursors;
// programs register their own cursors under positive ids
// (Screen->SetCursors(21, LoadCursor("NAME"))). An empty slot shows the default
// cursor. Screen->SetCursor(id) shows slot id over every window of the program
// until it is set back to crDefault.
//
// Cursor resources are pictures registered once under a name (case-insensitive,
// as resource names are); subsystem code describes them as text rows, so it needs
// nothing of the GUI libraries.
//
// Threads: user-interface thread only.

#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>

class QCursor;

using TCursor = int16_t;

constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crUpArrow = -10;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crDrag = -12;
constexpr TCursor crNoDrop = -13;
constexpr TCursor crHSplit = -14;
constexpr TCursor crVSplit = -15;
constexpr TCursor crMultiDrag = -16;
constexpr TCursor crSQLWait = -17;
constexpr TCursor crNo = -18;
constexpr TCursor crAppStart = -19;
constexpr TCursor crHelp = -20;
constexpr TCursor crHandPoint = -21;
constexpr TCursor crSizeAll = -22;
constexpr TCursor crSize = -22;

// A loaded cursor; shared by every slot that holds it. Null means "no cursor".
using HCURSOR = std::shared_ptr<const QCursor>;

// A cursor picture as text: rows of equal length where '#' is a black pixel, '.'
// a white one and any other character a transparent one. (HotX, HotY) is the
// pixel that points.
struct TCursorImage {
  QStringList Rows;
  int HotX = 0;
  int HotY = 0;
};

// Registers (or replaces) the cursor resource name.
void RegisterCursorResource(const QString& name, const TCursorImage& image);
// The cursor of the resource name; null when no resource has that name.
HCURSOR LoadCursor(const QString& name);

class TScreen {
public:
  // The cursor shown over every window; crDefault lets each control show its own.
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor value);

  // The cursor in slot id; the default cursor when the slot is empty.
  HCURSOR Cursors(int id) const;
  // Stores cursor in slot id; a null cursor empties the slot. Slot crDefault holds
  // the default cursor itself (a null one restores the arrow). The screen cursor
  // and the controls that show slot id take the new cursor at once.
  void SetCursors(int id, HCURSOR cursor);

  // The size of the primary screen in pixels; 0 without a screen.
  int Width() const;
  int Height() const;

private:
  void ApplyScreenCursor();

  TCursor cursor_ = crDefault;
  bool overridden_ = false;
};

// The program's one screen object; it exists from start-up on and is never freed.
extern TScreen* const Screen;
