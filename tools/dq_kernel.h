#pragma once
// The DQ filter's computations on caller-owned traces, without a window.
//
// Envelope: the square root of the upper envelope of the squared samples
// (FindExtremaInTraces with maxima and squared set); traces are independent, so
// parts of a channel may be done on several threads at once.
// Frequency: direct quadrature. With e the envelope and x the sample,
// q = sqrt|e^2 - x^2| and the raw phase is atan2(q, x) (the angle whose cosine is
// x / e); the phases are unwrapped with a history that runs from trace to trace
// (PhaseToFrequency), so the traces of a channel must be done in order.

#include "profiledata/geometry_gpr.h"
#include "profiledata/hilbert.h"

#include <cstdint>

// Traces [first, end) of `in` (samples per trace each) into the same traces of
// `out` as their envelope; signMode otFreq alternates the sign of the lobes.
void DQEnvelopeTraces(const int32_t* in, int32_t* out, int64_t first, int64_t end, int samples,
                      TOutputType signMode);

// One trace's instantaneous frequency (GHz x 100000) from its envelope and its
// samples into out, which may be `envelope`; timeWindow is the trace length in ns.
void DQFrequencyTrace(const int32_t* envelope, const int32_t* x, int samples, double timeWindow,
                      TPhaseHistory& history, int32_t* out);
