#pragma once
// The gain tool's numerics without the tool: which curve row a sample reads, the
// per-sample gain of a trace, and the mean envelope its "Auto" curve levels.
//
// out = round(in x g), g the curve's factor of the sample's row, computed in
// extended precision and saturated to 32 bits. The loops take a double product
// first and fall back to the extended one where the double could round the other
// way (within a few units of its last place from a half), so the output is that
// of the extended formula bit for bit.

#include <cstdint>
#include <vector>

class TListOfDots;

// Row of sample j: round(j x 1000 / zoom) in a box of fullHeight rows; when the
// curve's box holds fewer rows (boxHeight, the tables' limit), the row scaled into
// it, round(j x 1000 x boxHeight / (zoom x fullHeight)). Never below 0 and never
// past boxHeight - 1, the last row the curve reaches. zoom <= 0 counts as 1000.
int GainRowOfSample(int64_t j, int32_t zoom, int64_t fullHeight, int boxHeight);

// The factor of every sample of a trace of longTrace samples.
struct TSampleGains {
  std::vector<long double> Gain;
  std::vector<double> GainD;  // Gain rounded to double, for the fast product
};
TSampleGains SampleGains(const TListOfDots& curve, int longTrace, int32_t zoom, int64_t fullHeight);

// round(x x g) in extended precision, saturated.
int32_t GainSampleExtended(int32_t x, long double g);

// n samples of one trace: out[j] = round(in[j] x gain[j]) (out may be in).
void ApplyGainToTrace(const int32_t* in, int32_t* out, int n, const long double* gain, const double* gainD);
// The two vector forms ApplyGainToTrace chooses from by the processor (AVX2 when
// it has it); both give the extended formula's output.
void ApplyGainToTraceSse2(const int32_t* in, int32_t* out, int n, const long double* gain, const double* gainD);
void ApplyGainToTraceAvx2(const int32_t* in, int32_t* out, int n, const long double* gain, const double* gainD);
bool GainKernelHasAvx2();
// The same sample by sample in extended precision (the reference).
void ApplyGainToTraceExtended(const int32_t* in, int32_t* out, int n, const long double* gain);

// The mean over the traces of the DQ envelope (maxima of the squared samples,
// no sign alternation) of each trace of `input`, traces x longTrace samples. The
// envelopes are made on the worker pool; the mean is summed in trace order.
std::vector<double> MeanEnvelope(const int32_t* input, int64_t traces, int longTrace);
