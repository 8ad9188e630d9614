#pragma once
// Clipping of a line segment to a rectangle with inclusive bounds, as the
// anti-aliased and stippled lines use it (in 16.16 units there).

#include <cstdint>

// Outcodes per end: bit 0 X < MinX, bit 1 X > MaxX, bit 2 Y < MinY, bit 3
// Y > MaxY. When the two codes share no bit and one is non-zero:
//   1. an end with bit 2 or 3 moves along the line to Y = MinY (bit 2) or MaxY:
//      X += MulDiv(V - Y, X2 - X1, Y2 - Y1), Y = V, its code recomputed from X
//      alone; the start moves first and the end's move uses the moved start;
//   2. when the codes still share no bit, an end with a code moves to X = MinX
//      (code 1) or MaxX: Y += MulDiv(V - X, Y2 - Y1, X2 - X1), X = V.
// True when both ends end up inside. The ends may have moved also when the
// result is false. Differences wrap in 32 bits.
bool ClipSegment(int32_t& X1, int32_t& Y1, int32_t& X2, int32_t& Y2, int32_t MinX, int32_t MinY, int32_t MaxX,
                 int32_t MaxY);
