#pragma once
// The tools' 24 x 24 node icons, drawn by the program itself and found by their
// resource names ("ABS_ICON1", ...).

#include <QString>

class TBitmap;

constexpr int ToolIconSize = 24;

// Makes `bitmap` the 24 x 24 picture of that name; a name without a picture
// gives a plain grey square. False for an unknown name.
bool LoadToolIcon(const QString& resourceName, TBitmap& bitmap);
