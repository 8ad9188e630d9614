#pragma once
// The per-sample loops are built for the baseline instruction set (SSE2, legacy
// encoding). While the upper halves of the AVX registers hold data, every such
// instruction waits on them; library code run earlier on the thread (the
// toolkit's drawing of the tool icons) can leave them so, which made the
// correlator's loop three to four times slower. ClearUpperVectorState clears
// them when the processor has AVX (a single instruction) and does nothing
// elsewhere; the loops call it on entry.

void ClearUpperVectorState();
