#pragma once
// Trace-level signal routines: the discrete Hilbert transform of one trace (envelope
// or instantaneous frequency), the instantaneous frequency of a run of raw phases
// and the mean trace of a block of traces.

#include <cstdint>
#include <vector>

// h[i] = (sum over j != i of x[j] / (i - j)) / pi for i = 0 .. n - 1: the direct-sum
// discrete Hilbert transform in extended precision, the terms of each h[i] added with
// j ascending (n^2 divisions). n <= 0 does nothing. Every caller that needs the
// transform of a trace goes through this sum, so their results agree to the bit.
void HilbertSum(const int32_t* x, int n, long double* h);

// The two previous raw phases of the phase unwrapping (doubles, 0 at the start). A
// routine that unwraps trace after trace with the phase history running across the
// traces keeps one of these between the calls; a fresh one unwraps a trace alone.
struct TPhaseHistory {
  double p1 = 0;
  double p2 = 0;
};

// The instantaneous frequency of n raw phases phase[i] (atan2 values) into out, in
// GHz x 100000. The phases are unwrapped into a non-decreasing sequence with an offset
// (a double) that starts at 0 on every call: whenever phase[i] < p1 the offset grows
// by (p1 - phase[i]) + |p2 - p1|; u[i] = phase[i] + offset; then p2 := p1, p1 :=
// phase[i]. f[i] = (u[i+1] - u[i-1]) / (4 pi dt) in GHz with dt = timeWindow / n ns;
// at either end the sample stands in for its missing neighbour and f is halved.
// Results are rounded half-to-even and saturated to 32 bits. A time window <= 0 (or
// not finite) gives frequency 0; history advances in every case. n <= 0 does nothing.
void PhaseToFrequency(const long double* phase, int n, double timeWindow, TPhaseHistory& history, int32_t* out);

// Replaces the n samples of trace by their envelope sqrt(x^2 + h^2) (mode 0) or their
// instantaneous frequency in GHz x 100000 (any other mode) from the phase atan2(h, x),
// h being HilbertSum of the trace and the phase history starting afresh. timeWindow is
// the trace length in ns, so the sample interval is timeWindow / n. Results are rounded
// half-to-even and saturated to the 32-bit range. n <= 0 does nothing; a time window
// <= 0 gives frequency 0.
// Not thread-affine: traces of a block may be transformed on several threads at once.
void HilbertTransformTrace(int32_t* trace, int n, int mode, double timeWindow);

// mean[k] = sum over the traces t of block[t * samples + k] / traces, summed in trace
// order. mean receives samples values (set to 0 first, and left 0 when traces <= 0);
// samples <= 0 does nothing.
void MeanTrace(double* mean, const int32_t* block, int samples, int traces);
// The same into a vector resized to samples.
void MeanTrace(std::vector<double>& mean, const int32_t* block, int samples, int traces);
