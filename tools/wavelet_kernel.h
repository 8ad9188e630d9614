#pragma once
// The wavelet filters' kernels and correlations, without a window: the kernel
// store both wavelet tools keep (one trimmed, normalised kernel per harmonic
// h = -9 .. 9), the correlation along a trace (the wavelet filter) and the one
// along each sample row across the traces (the horizontal wavelet filter).
//
// Every sum runs over the taps in ascending order in 80-bit extended precision,
// and the harmonics of one sample are added in ascending order, so a sample's
// result does not depend on how the traces are split among threads.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

static_assert(sizeof(long double) >= 10, "the kernels sum in 80-bit extended precision");

// One kernel per harmonic; a kernel holds every tap of its trimmed line (up to
// the 900 samples of the line), never cut short.
struct TWaveletKernels {
  static constexpr int MaxHalf = 9;                  // harmonics -9 .. 9
  static constexpr int Count = 2 * MaxHalf + 1;
  static constexpr int LineEntries = 1025;

  // The line, taps and trim bounds of the kernel built last.
  std::vector<long double> line = std::vector<long double>(LineEntries, 0.0L);
  std::vector<long double> CorFunc;
  int32_t CorLength = 0;
  int32_t start = 0, stop = -1;
  // Smallest start and largest stop over the kernels since ResetBounds.
  int32_t mstart = 10000, mstop = -10000;
  std::array<std::vector<long double>, Count> HarmonicCorFunc;
  std::array<std::vector<long double>, Count> HarmonicLine;
  std::array<int32_t, Count> HarmonicCorLength{};

  void ResetBounds() {
    mstart = 10000;
    mstop = -10000;
  }
  // The kernel built last becomes harmonic h's (h in -9 .. 9); mstart / mstop
  // take its trim bounds in.
  void StoreHarmonic(int h);
  const std::vector<long double>& Taps(int h) const { return HarmonicCorFunc[static_cast<size_t>(h + MaxHalf)]; }
  int32_t TapCount(int h) const { return HarmonicCorLength[static_cast<size_t>(h + MaxHalf)]; }
  const std::vector<long double>& Line(int h) const { return HarmonicLine[static_cast<size_t>(h + MaxHalf)]; }
};

// The weight of harmonic h among 2H + 1: exp(-h^2 / (2 s^2)), s = (H + 1) / 3.
long double HarmonicWeight(int h, int H);

// half := CorLength / 2 rounded to the nearest integer, ties to even.
int32_t KernelHalf(int32_t CorLength);

// Correlation of one trace x of L samples with n taps: for k = 0 .. L - 1,
// acc[k] += sum over l of taps[l] x[p], p = k + l - half, where taps with p < 0
// add nothing and p > L - 1 is mirrored to 2 (L - 1) - p (adding nothing when
// that falls before the first sample).
void CorrelateTrace(const int32_t* x, int32_t L, const long double* taps, int32_t n, int32_t half, long double* acc);

// Correlation along the sample rows for the output traces [first, end) of a
// channel of N traces of L samples: for each such trace t and sample s,
// acc[(t - first) L + s] += sum over l of taps[l] x[q L + s], q = t + l - half,
// taps with q < 0 adding nothing and q > N - 1 mirrored to 2 (N - 1) - q
// (nothing when that falls before trace 0).
void CorrelateRows(const int32_t* x, int64_t N, int32_t L, const long double* taps, int32_t n, int32_t half,
                   int64_t first, int64_t end, long double* acc);
