#pragma once
// The arithmetic of the radargram window's simple mode: the steps of its Zoom,
// Stretch and Palettes buttons and the surface marker its marker buttons act on.

#include "profiledata/gpr_constants.h"

#include <QString>

#include <cstdint>

class TSurfeMarkersData;

namespace simple_mode {

// The Zoom button: 1000 becomes 500, 500 becomes 333, 333 the fit to height,
// any other factor 1000.
struct TSimpleZoomStep {
  bool FitHeight = false;
  int Factor = 1000;  // when not FitHeight
};
TSimpleZoomStep NextSimpleZoom(int zoomFactor);

// The Stretch button: 1, 2, 3 (1:1, 1:3, 1:5) in turn.
int NextStretchIndex(int index);
// 1, 2, 3 select PropInSamples11, 13, 15; any other index PropInSamples11.
TProportional StretchMode(int index);
// "1:1", "1:3", "1:5" (any other index "1:1").
QString StretchLabel(int index);
// The index of a mode: 2 for PropInSamples13, 3 for 15, else 1.
int StretchIndexOf(TProportional mode);
// round(100000 / zoomFactor) followed by "%".
QString ZoomLabel(int zoomFactor);

// The Palettes button: the next palette, back to 0 past the last (and 0 for an
// empty library).
int NextPaletteIndex(int index, int count);

// The first surface marker whose trace differs from position by less than 2;
// -1 when none.
int FindNearSurfaceMarker(const TSurfeMarkersData& marks, int64_t position);

}  // namespace simple_mode
