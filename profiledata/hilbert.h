#pragma once
// Trace-level signal routines: the discrete Hilbert transform of one trace (envelope
// or instantaneous frequency) and the mean trace of a block of traces.

#include <cstdint>
#include <vector>

// Replaces the n samples of trace by their envelope (mode 0) or their instantaneous
// frequency in GHz x 100000 (any other mode). timeWindow is the trace length in ns,
// so the sample interval is timeWindow / n. The transform is the direct sum
// h_i = (sum over j != i of x_j / (i - j)) / pi, computed in extended precision:
// n^2 divisions per trace. Results are rounded half-to-even and saturated to the
// 32-bit range. n <= 0 does nothing; a zero time window gives frequency 0.
// Not thread-affine: traces of a block may be transformed on several threads at once.
void HilbertTransformTrace(int32_t* trace, int n, int mode, double timeWindow);

// mean[k] = sum over the traces t of block[t * samples + k] / traces, summed in trace
// order. mean receives samples values (set to 0 first, and left 0 when traces <= 0);
// samples <= 0 does nothing.
void MeanTrace(double* mean, const int32_t* block, int samples, int traces);
// The same into a vector resized to samples.
void MeanTrace(std::vector<double>& mean, const int32_t* block, int samples, int traces);
