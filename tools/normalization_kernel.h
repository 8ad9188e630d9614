#pragma once
// The normalisation's scaling: every trace is scaled so that the largest
// amplitude of a Gauss-weighted window of traces around it becomes the largest
// amplitude G of the channel.
//
//   G = max(1, max |x| over the channel)
//   Wn = min(W, N), sigma = (Wn + 1) / 3, w(d) = exp(-d^2 / (2 sigma^2))
//   M(t) = max(1, max over i = max(0, t - Wn) .. min(N - 1, t + Wn) and every
//          sample j of |nearest(x[i][j] w(i - t))|)
//   y[t][j] = nearest(G (x[t][j] / M(t))), in extended precision, saturated
// nearest rounds half to even. |nearest(x w)| grows with |x|, so the window's
// maximum is that of the traces' peaks: M costs O(N Wn) double products (the
// extended ones only for the few that can be the largest) beside one pass over
// the samples for the peaks and one for the output. The output takes G / M(t) in
// double and falls back to the extended formula for the samples the double could
// round the other way (near a half or the 32-bit limits), so it is that of the
// extended formula bit for bit.

#include <cstdint>
#include <vector>

constexpr int32_t NormalizationMaxWidth = 300;

// The largest |x| of traces [first, end) into peak[first .. end).
void TracePeaks(const int32_t* in, int longTrace, int64_t first, int64_t end, int64_t* peak);
// w(0 .. Wn) for a channel of `traces` traces.
std::vector<long double> WindowWeights(int64_t traces, int32_t W);
bool NormalizationKernelHasAvx2();
// M(t) of traces [first, end) into M[first .. end) from the traces' peaks; the
// double products four wide with AVX2 (avx2 only where the processor has it).
void WindowMaxima(const std::vector<int64_t>& peak, const std::vector<long double>& weight, int64_t first,
                  int64_t end, int64_t* M, bool avx2 = NormalizationKernelHasAvx2());
// M(t) for every trace.
std::vector<int64_t> WindowMaxima(const std::vector<int64_t>& peak, int32_t W,
                                  bool avx2 = NormalizationKernelHasAvx2());
// Traces [first, end) of out := nearest(G (x / M(t))).
void ScaleTraces(const int32_t* in, int32_t* out, int longTrace, int64_t G, const std::vector<int64_t>& M,
                 int64_t first, int64_t end);

// nearest(G (x / M)) of one sample in extended precision, saturated (the reference).
int32_t ScaleSampleExtended(int32_t x, long double G, long double M);
// n samples of one trace (out may be in): the reference sample by sample, and the
// two vector forms ScaleTraces chooses from by the processor (AVX2 when it has it).
void ScaleTraceExtended(const int32_t* in, int32_t* out, int n, int64_t G, int64_t M);
void ScaleTraceSse2(const int32_t* in, int32_t* out, int n, int64_t G, int64_t M);
void ScaleTraceAvx2(const int32_t* in, int32_t* out, int n, int64_t G, int64_t M);
