#pragma once
// The recursive filters of the band and low/high-pass tools, one trace at a time
// in one forward run (x the input, y the output; `in` and `out` may be the same
// buffer: every input sample a step needs is read before it is overwritten).
// The ...Traces forms run `count` traces of n samples that follow each other in
// the buffer, each exactly as its one-trace form does. Arithmetic in extended
// precision; each output is rounded half to even and
// saturated to int32, and the next step works on that rounded value. Sums and
// differences of two samples are exact (64-bit).

#include <cstdint>

// Second-order resonator, a = dt / tau, b = (omega0 dt)^2:
//   y[i] = nearest(((x[i] - x[i-2]) a + (a - 1) y[i-2] + (2 - b) y[i-1]) / (a + 1))
// with x[i] - x[i-2] = 0 for i < 2 and y[-1] = y[-2] = 0.
void BandPassTrace(const int32_t* in, int32_t* out, int n, long double a, long double b);

// Its band stop:
//   y[i] = nearest(((a - 1) y[i-2] + (x[i] + x[i-2]) + (2 - b) (y[i-1] - x[i-1])) / (a + 1))
// where a missing earlier input and output sample both take the input sample the
// same distance after i (x[-1], y[-1] := x[1] and x[-2], y[-2] := x[2] for i = 0;
// x[-1], y[-1] := x[3] for i = 1); a sample past a short trace's end counts as 0.
void BandStopTrace(const int32_t* in, int32_t* out, int n, long double a, long double b);

// First-order low pass: y[i] = nearest((y[i-1] c + x[i]) / (c + 1)), y[-1] = 0.
void LowPassTrace(const int32_t* in, int32_t* out, int n, long double c);

// First-order high pass: y[i] = nearest((x[i] - x[i-1] + y[i-1]) c / (c + 1)),
// x[-1] and y[-1] := x[1] (0 for a one-sample trace).
void HighPassTrace(const int32_t* in, int32_t* out, int n, long double c);

void BandPassTraces(const int32_t* in, int32_t* out, int count, int n, long double a, long double b);
void BandStopTraces(const int32_t* in, int32_t* out, int count, int n, long double a, long double b);
void LowPassTraces(const int32_t* in, int32_t* out, int count, int n, long double c);
void HighPassTraces(const int32_t* in, int32_t* out, int count, int n, long double c);
