#pragma once
// The median filter's selection: every sample becomes the median of a window
// of (2Y + 1) samples x (2X + 1) traces around it, positions past the channel's
// edges mirrored (window_mirror.h).
//
// Only values strictly between -MedianValueLimit and MedianValueLimit take part
// (larger magnitudes are overflow marks, not signal). With k of them in the
// window the result is the (k div 2 + 1)-th largest, counting repeated values
// each time (5, 5, 5, 1, 0 gives 5); a window with none keeps the input sample.
//
// The window slides down a trace: each step takes out the values of the row it
// leaves and adds those of the row it enters, never selecting from scratch. A
// small window keeps its values near the median in order; a large one counts
// them in buckets over the value range (about 4 MB of counts per worker
// thread, kept for the thread's life).

#include <cstdint>

constexpr int32_t MedianValueLimit = 1000000;

// Traces [first, end) of `out` from the channel `in` of `traces` traces of
// longTrace samples each (halfX, halfY >= 0). Reads only `in`, which `out` must
// not overlap; threads may run disjoint trace ranges at once.
void MedianFilterTraces(const int32_t* in, int32_t* out, int64_t traces, int longTrace, int halfX, int halfY,
                        int64_t first, int64_t end);
