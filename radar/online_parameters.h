#pragma once
// Parameter records of the online stages as their dialogs fill them in. The
// settings window hands one to a stage set together with the stage's name; each
// stage takes only the record of its own kind and ignores any other.

#include "profiledata/list_of_dots.h"

#include <cstdint>
#include <limits>

static_assert(std::numeric_limits<long double>::digits == 64, "extended values need the x87 format");

// Common base so that a record can be passed without knowing its kind.
struct TOnlineParametrs {
  virtual ~TOnlineParametrs() = default;
};

// Wavelet filter. The online stage reads pApplay and pTimescale only.
struct TParametrsWavelet : TOnlineParametrs {
  bool pApplay = false;
  long double pTimescale = 1.0L;  // ns
  int32_t pHarmonicCount = 0;
  long double pdHarmonic = 0;
  bool pisInvert = false;
};

// Background removal over a sliding window of traces.
struct TParametrsWindowedBackgroundRemoval : TOnlineParametrs {
  bool pApplay = false;
  int32_t pWidthWindow = 100;  // traces
};

// Time-varying gain; the record owns its curve.
struct TParametrsGain : TOnlineParametrs {
  bool pApplay = false;
  TListOfDots pListOfBaseDots;
};
