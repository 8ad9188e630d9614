#pragma once
// The windowed background removal's kernels, without a window: every output
// trace is its input trace less the mean trace of a window of neighbouring
// input traces (formulas below). A call handles the output traces [first, end)
// of a channel of N traces of L samples and reads any input trace it needs, so
// blocks of traces run on several threads with the same result as one sweep.

#include <cstdint>

// Plain mean over Wn = min(W, N) traces (W >= 1), c = ceil(Wn / 2),
// f = floor(Wn / 2): the window of trace k is k - c + 1 .. k + f, shifted (not
// shrunk) to 0 .. Wn - 1 near the start and to N - Wn .. N - 1 near the end.
// out[k][i] := round(x[k][i] - sum / Wn), half to even, saturated. The sums are
// exact: a block starts from the sums of its own first window and slides.
void SubtractPlainWindowMean(const int32_t* x, int64_t N, int32_t L, int32_t W, int64_t first, int64_t end,
                             int32_t* out);
// The same in 64-bit integers, for processors without AVX2 (where there is AVX2,
// SubtractPlainWindowMean takes a vector form with the same output).
void SubtractPlainWindowMeanPortable(const int32_t* x, int64_t N, int32_t L, int32_t W, int64_t first, int64_t end,
                                     int32_t* out);

// The traces of the plain window of trace k: first..first + Wn - 1.
int64_t PlainWindowFirst(int64_t k, int64_t N, int32_t W);

// Gauss-weighted mean over the window a = max(0, k - half) .. b = min(N - 1,
// k + half), half = Wn div 2, shrunk at the ends: weight w(j) = 1 when koef is
// 10.0, else exp(-(j - k)^2 / (2 sigma^2)), sigma = (half + 1) / 3 x koef;
// out[k][i] := round(x[k][i] - (sum of w(j) x[j][i]) / (sum of w(j))), the sums
// in ascending j in 80-bit extended precision.
void SubtractGaussWindowMean(const int32_t* x, int64_t N, int32_t L, int32_t W, long double koef, int64_t first,
                             int64_t end, int32_t* out);
