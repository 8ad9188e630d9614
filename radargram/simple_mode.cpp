#include "radargram/simple_mode.h"

#include "platform/rtl/rounding.h"
#include "profiledata/markers.h"
#include "profiledata/markers_data.h"

#include <algorithm>
#include <cstdlib>

namespace simple_mode {

TSimpleZoomStep NextSimpleZoom(int zoomFactor) {
  switch (zoomFactor) {
    case 1000: return {false, 500};
    case 500: return {false, 333};
    case 333: return {true, 333};
    default: return {false, 1000};
  }
}

int NextStretchIndex(int index) { return index >= 3 || index < 1 ? 1 : index + 1; }

TProportional StretchMode(int index) {
  switch (index) {
    case 2: return PropInSamples13;
    case 3: return PropInSamples15;
    default: return PropInSamples11;
  }
}

QString StretchLabel(int index) {
  switch (index) {
    case 2: return QStringLiteral("1:3");
    case 3: return QStringLiteral("1:5");
    default: return QStringLiteral("1:1");
  }
}

int StretchIndexOf(TProportional mode) {
  switch (mode) {
    case PropInSamples13: return 2;
    case PropInSamples15: return 3;
    default: return 1;
  }
}

QString ZoomLabel(int zoomFactor) {
  return QString::number(Round(100000.0L / std::max(zoomFactor, 1))) + QLatin1Char('%');
}

int NextPaletteIndex(int index, int count) { return index + 1 >= count || index < 0 ? 0 : index + 1; }

int FindNearSurfaceMarker(const TSurfeMarkersData& marks, int64_t position) {
  for (int i = 0; i < marks.Count(); ++i)
    if (std::llabs(int64_t{marks.GetSurfaceMarker(i)->GetNumTrace()} - position) < 2) return i;
  return -1;
}

}  // namespace simple_mode
