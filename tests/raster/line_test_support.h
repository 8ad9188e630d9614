#pragma once
// Shared pieces of the pixel-access and line tests: reference formulas for
// the gamma weights and the weighted colour step, and helpers that compare a
// bitmap with an expected picture.

#include "raster/bitmap32.h"

#include "bitmap_test_support.h"

#include <cmath>
#include <cstdint>
#include <set>
#include <utility>
#include <vector>

// round((i / 255)^0.7 x 255), halves to even.
inline uint32_t RefGamma(uint32_t i) {
  return static_cast<uint32_t>(std::nearbyint(std::pow(i / 255.0, 0.7) * 255.0));
}

// CombinePxInto as bound on x86-64: W = 0 keeps Y, W >= 255 stores X, else the step.
inline TColor32 RefCombineInto(TColor32 x, TColor32 y, uint32_t w) {
  if (w == 0) return y;
  if (w >= 255) return x;
  return RefStepPx(x, y, w);
}

// Bilinear mix as the bound SampleBilinear computes it (no rounding term):
// weights wx of the left pixel and wy of the upper row, out of 256.
inline TColor32 RefBilinear(uint32_t wx, uint32_t wy, TColor32 c00, TColor32 c10, TColor32 c01, TColor32 c11) {
  return PerChannel([&](int i) {
    const uint32_t top = (Ch(c00, i) * wx + Ch(c10, i) * (256 - wx)) >> 8;
    const uint32_t bottom = (Ch(c01, i) * wx + Ch(c11, i) * (256 - wx)) >> 8;
    return (top * wy + bottom * (256 - wy)) >> 8;
  });
}

using PixelSet = std::set<std::pair<int, int>>;

// Positions (x, y) whose pixel differs from `background`.
inline PixelSet ChangedPixels(const TCustomBitmap32& b, TColor32 background) {
  PixelSet s;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      if (b.Pixel(x, y) != background) s.insert({x, y});
  return s;
}

// A bitmap of the size filled with one colour.
inline void Fill(TCustomBitmap32& b, int width, int height, TColor32 colour) {
  b.SetSize(width, height);
  for (int i = 0; i < width * height; ++i) b.Bits()[i] = colour;
}

// Distinct, deterministic pixel colours.
inline void FillPattern(TCustomBitmap32& b, int width, int height, uint32_t seed) {
  b.SetSize(width, height);
  std::mt19937 rng(seed);
  for (int i = 0; i < width * height; ++i) b.Bits()[i] = static_cast<TColor32>(rng());
}
