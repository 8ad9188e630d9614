#pragma once
// The leveler's line arithmetic: the surface sample of a trace, the smoothing of
// the surface line along the profile, the manual line from a polyline and the
// shift that flattens a trace. No window, no tool state: testable on their own.

#include "platform/ui/graphics.h"

#include <cstdint>
#include <vector>

// The index of the first sample whose magnitude is the largest of the trace
// (strictly larger than every one before it); -1 when every sample is 0.
int32_t PeakIndex(const int32_t* x, int n);

// values[i] := the mean of values[i + j] over j = -B .. B with 0 <= i + j <=
// count - 1, summed exactly and rounded half to even (a count of 0 positions
// counts as 1). B <= 0 leaves the values.
void BloorProc(int32_t* values, int count, int B);

// The median filter of the surface line: for every i the window w[0 .. 2M] of
// surface[i - M .. i + M], positions outside the line 0. When the last window
// position holding a value of at least w[M] is M itself, the surface value is
// kept (a value larger than everything after it in the window stays); else the
// result is w[M] of the window sorted ascending. M <= 0 copies the line.
std::vector<int32_t> MedianFilterLine(const std::vector<int32_t>& surface, int M);

// The manual surface of trace t from polyline nodes (x = trace, y = sample),
// taken in order of decreasing trace (stable): Y[0] at or right of node 0, Y[n]
// at or left of the last node, else nearest((t - X[k]) (Y[k - 1] - Y[k]) /
// (X[k - 1] - X[k]) + Y[k]) with k the first node left of t. The nodes must be
// sorted so (ManualNodes); there is at least one.
int32_t ManualSurface(const std::vector<TPoint>& nodes, int64_t t);
// The nodes in order of decreasing trace, equal traces in their drawn order.
std::vector<TPoint> ManualNodes(const std::vector<TPoint>& nodes);

// Shifts a trace of n samples up by d samples (d > 0: the samples from d on,
// then d zeros) or down by -d (d < 0: -d zeros, then the samples); |d| >= n
// gives zeros. `in` and `out` are separate.
void ShiftTrace(const int32_t* in, int32_t* out, int n, int64_t d);
