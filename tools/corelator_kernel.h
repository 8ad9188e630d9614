#pragma once
// The three-point correlator's per-trace loop: each sample against the samples B
// before and after it (outside the trace they count as 0).
//
//   TCorelatorMode::Mode1: y[i] = nearest((2 x[i] - x[i-B] - x[i+B]) / 2)
//   TCorelatorMode::Mode2: y[i] = nearest((2 x[i] + x[i-B] + x[i+B]) / 4)
//   any other mode value:  y[i] = 0
//
// nearest rounds halves to even. The sums are exact (64-bit), so -2147483648
// takes part with its own value; a result outside int32 saturates. B = 0 gives 0
// everywhere in Mode1 and the input in Mode2.

#include <cstdint>

enum class TCorelatorMode : uint8_t { Mode1 = 0, Mode2 = 1 };

// One trace of n samples from `in` into `out` (distinct buffers).
void CorrelateTrace(const int32_t* in, int32_t* out, int n, int base, TCorelatorMode mode);
