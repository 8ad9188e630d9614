#pragma once
// The marker glyphs the radargram and the online strip draw alike: a surface
// marker's yellow triangle at the top edge and an object marker's cross, each
// with its comment in a grey box when comments are shown. Selected glyphs are
// drawn larger (the object marker ringed). The pen is left 2 wide after a cross.

#include "platform/ui/control_types.h"

#include <QString>

class TCanvas;

void DrawSurfaceMarkerGlyph(TCanvas& canvas, int X, const QString& text, bool showComment, bool selected);
void DrawObjectMarkerGlyph(TCanvas& canvas, int X, int Y, TColor colour, const QString& text, bool showComment,
                           bool selected);
