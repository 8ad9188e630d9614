#pragma once
// The blur's mask and its weighted mean.
//
// Gaussian profile: GaussArray[i] = exp(-i^2 / 3200) / (40 sqrt(2 pi)), i = 0 ..
// 127, a normal density with sigma = 40 index steps (its factor cancels in the
// normalisation).
//
// Mask of half sizes H (traces) and V (samples), (2V + 1) rows of (2H + 1)
// weights, row r at sample offset r - V, column c at trace offset c - H: the
// weight of offset (dx, dy) is GaussArray[index] with index 0 at the centre and
// otherwise round(dist x 128 / R) (ties to even, at most 127), dist = sqrt(dx^2
// + dy^2) and R the reach of the ellipse in that direction:
//   q = dx^2 / (dx^2 + dy^2), R = V / sqrt(1 - q (1 - (V + 1)^2 / (H + 1)^2))
// (V along the samples, V (H + 1) / (V + 1) along the traces). nrm is the sum
// of the weights.
//
// Output: acc / nrm rounded half to even and saturated to int32, with acc the
// sum over the rows and, within a row, over the columns in order of weight x
// sample, in extended precision; positions past the channel's edges mirrored
// (window_mirror.h). The order of the terms is the same for every sample
// whatever the thread count.

#include <array>
#include <cstdint>
#include <vector>

constexpr int BlurGaussSize = 128;
constexpr int BlurMinHalf = 1;
constexpr int BlurMaxHalf = 20;

using TBlurGauss = std::array<long double, BlurGaussSize>;
const TBlurGauss& BlurGaussArray();

struct TBlurMask {
  int H = 0;
  int V = 0;
  std::vector<long double> Spot;  // (2V + 1) x (2H + 1), row-major by sample row
  long double nrm = 0;
};

// H and V of 1 .. 20 (others are clamped into that range).
TBlurMask BuildBlurMask(int H, int V);

// Traces [first, end) of `out` from the channel `in` of `traces` traces of
// longTrace samples. Reads only `in` and the mask; threads may run disjoint trace
// ranges at once.
void BlurTraces(const int32_t* in, int32_t* out, int64_t traces, int longTrace, const TBlurMask& mask,
                int64_t first, int64_t end);
