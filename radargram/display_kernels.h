#pragma once
// The per-sample loops of the display pipeline, in their own unit compiled for
// vectorisation. Rounding is to nearest, ties to even, without leaving the
// default floating-point mode: adding and taking away 1.5 x 2^52 rounds a double
// of magnitude below 2^51 to an integer exactly as the rounding mode does.

#include <cstdint>

namespace display_kernels {

// out[i] := round(in[i] / divisor) and round(in[i] / divisors[i]); divisors >= 1.
// The quotient of two integers below 2^53 is correctly rounded, so a tie stays a
// tie and every other quotient keeps its side of it.
void DivideRowUniform(const int32_t* in, int32_t* out, int64_t n, double divisor);
void DivideRow(const int32_t* in, int32_t* out, int64_t n, const double* divisors);

// The largest |value| of n values (|INT32_MIN| saturates to INT32_MAX); 0 for none.
int32_t MaxAbs(const int32_t* in, int64_t n);

// round(k x value + 127) within 0..255.
uint8_t IndexOf(int32_t value, double k);

// rows[s][column + t] := IndexOf(data[t x longTrace + s], k) for every trace t and
// sample s.
void MapTransposed(const int32_t* data, int64_t traces, int32_t longTrace, double k, uint8_t* const* rows,
                   int64_t column);

}  // namespace display_kernels
