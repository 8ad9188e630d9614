#pragma once
// The gamma table that weights the sub-pixel positions of the anti-aliased pixel
// and line routines.

#include <cstdint>

// GammaTable[i] = round((i / 255)^Gamma x 255), halves to even.
extern uint8_t GammaTable[256];

// Fills GammaTable for Gamma; library start-up applies 0.7.
void ApplyGammaValue(double Gamma);
