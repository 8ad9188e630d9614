#pragma once
// A channel's time zero without the window: the automatic search of the sample
// at which the wave leaves the ground surface, found in the channel's raw data,
// and the depth text of the zero-level dialog.
//
// Every routine is pure; times are ns, depths m, SpeedLight m/us.

#include <QString>

#include <cstdint>
#include <vector>

class T2Dview;

namespace time_zero {

// The mean trace of `traces` raw traces of `longTrace` sums each, in integers:
// m[i] = sum over the traces b of trunc(x[i, b] / traces), one integer division
// per term (towards zero). x is the raw sum divided by divisors[i] and rounded to
// nearest (ties to even) when divisors is not empty, the raw sum otherwise.
// Empty without traces or samples. The sum of the terms never passes the largest
// |x|, so it fits 32 bits.
std::vector<int32_t> MeanTraceOfTerms(const int32_t* raw, int64_t traces, int32_t longTrace,
                                      const std::vector<int32_t>& divisors);

// The zero sample of a mean trace: a = (sum of m) div L; m is replaced by its
// Hilbert envelope (HilbertTransformTrace, mode 0, timeWindow); the first i with
// the largest |m[i] - a| (sample 0 is always a candidate). 0 for an empty trace.
int32_t ZeroSampleOfMeanTrace(std::vector<int32_t> mean, double timeWindow);

// The automatic time zero of a channel store: the mean trace of its raw data
// (the advanced-stacking divisors when the channel uses advanced stacking) and
// its zero sample. -1 when the store holds no traces or no samples per trace
// (nothing is to be changed then). Only whole traces of the raw block count.
int32_t AutomaticNullSample(const T2Dview& store);

// The zero-level dialog's shift text: t x speedLight / 2000 m, fixed with 2
// decimals, t the time of the zero sample in ns.
QString ZeroLevelDepthText(long double timeNs, int32_t speedLight);

}  // namespace time_zero
