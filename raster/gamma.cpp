#include "raster/gamma.h"

#include <cmath>

uint8_t GammaTable[256];

void ApplyGammaValue(double Gamma) {
  for (int i = 0; i < 256; ++i)
    GammaTable[i] = static_cast<uint8_t>(std::nearbyint(std::pow(i / 255.0, Gamma) * 255.0));
}
