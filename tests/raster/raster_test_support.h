#pragma once
// Shared pieces of the raster tests: a fixture that starts the library, colour
// packing helpers and reference formulas written independently of the library's
// code (plain per-channel arithmetic, floating-point tables).

#include "raster/color32.h"
#include "raster/raster_library.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <random>

class RasterTest : public ::testing::Test {
protected:
  void SetUp() override { RasterLibraryStartup(); }
};

// Channel i of c: 0 blue, 1 green, 2 red, 3 alpha.
inline uint32_t Ch(TColor32 c, int i) { return (c >> (8 * i)) & 0xFFu; }
inline uint32_t Alpha(TColor32 c) { return c >> 24; }
inline TColor32 Argb(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
  return (a << 24) | (r << 16) | (g << 8) | b;
}
// Builds a colour from a per-channel function ch(i) (0 blue .. 3 alpha).
template <class F>
TColor32 PerChannel(F ch) {
  TColor32 c = 0;
  for (int i = 0; i < 4; ++i) c |= (static_cast<uint32_t>(ch(i)) & 0xFFu) << (8 * i);
  return c;
}

// The weighted step in its second form: (f x V + b x (256 - V) + 128) div 256.
inline uint32_t RefStep(uint32_t f, uint32_t b, uint32_t v) { return (f * v + b * (256 - v) + 128) / 256; }
inline TColor32 RefStepPx(TColor32 f, TColor32 b, uint32_t v) {
  return PerChannel([&](int i) { return RefStep(Ch(f, i), Ch(b, i), v); });
}

// a x b / 255 and 255 x b / a, rounded in floating point (half to even for the quotient).
inline uint32_t RefMul(uint32_t a, uint32_t b) {
  static const std::array<uint8_t, 65536> table = [] {
    std::array<uint8_t, 65536> t{};
    for (uint32_t i = 0; i < 65536; ++i) t[i] = static_cast<uint8_t>(std::lround((i >> 8) * (i & 0xFFu) / 255.0));
    return t;
  }();
  return table[(a << 8) | b];
}
inline uint32_t RefQuot(uint32_t a, uint32_t b) {
  return a == 0 ? 0u : static_cast<uint32_t>(std::nearbyint(255.0 * b / a)) & 0xFFu;
}

// Colour channels MulTable-mixed by weight w, alpha taken from `alpha`.
inline TColor32 RefTableMix(TColor32 x, TColor32 y, uint32_t w, uint32_t alpha) {
  return PerChannel([&](int i) { return i == 3 ? alpha : RefMul(w, Ch(x, i)) + RefMul(255 - w, Ch(y, i)); });
}

// Random colours whose alphas are often exactly 0 or 255, and in runs, so row
// loops meet groups of four that are all transparent, all opaque or mixed.
class ColorSource {
public:
  explicit ColorSource(uint32_t seed) : rng_(seed) {}
  TColor32 Any() { return static_cast<TColor32>(rng_()); }
  TColor32 WithMixedAlpha() {
    if (run_ == 0) {
      run_ = 1 + rng_() % 9;
      mode_ = rng_() % 4;
    }
    --run_;
    const uint32_t rgb = static_cast<uint32_t>(rng_()) & 0x00FFFFFFu;
    const uint32_t a = mode_ == 0 ? 0u : mode_ == 1 ? 255u : static_cast<uint32_t>(rng_()) & 0xFFu;
    return (a << 24) | rgb;
  }
  uint32_t Below(uint32_t n) { return static_cast<uint32_t>(rng_() % n); }

private:
  std::mt19937 rng_;
  uint32_t run_ = 0;
  uint32_t mode_ = 0;
};

// Calls fn(a, X, Y) for every a in 0..255 and every pair (x, y) of channel values:
// X has alpha a and blue x, Y has blue y; the other channels are other functions
// of x and y, so the alpha channel and the colour channels meet different pairs.
// Stops at the first call that returns false.
template <class Fn>
void ForEveryAlphaAndChannelPair(Fn fn) {
  for (uint32_t a = 0; a < 256; ++a)
    for (uint32_t x = 0; x < 256; ++x) {
      const TColor32 X = Argb(a, x ^ 0xA5u, 255 - x, x);
      for (uint32_t y = 0; y < 256; ++y)
        if (!fn(a, X, Argb(y ^ 0x3Cu, (y * 7) & 0xFFu, y ^ 0x5Au, y))) return;
    }
}

inline ::testing::AssertionResult SameColor(const char* what, TColor32 got, TColor32 expected) {
  if (got == expected) return ::testing::AssertionSuccess();
  char text[96];
  std::snprintf(text, sizeof text, "%s: got $%08X, expected $%08X", what, unsigned(got), unsigned(expected));
  return ::testing::AssertionFailure() << text;
}
