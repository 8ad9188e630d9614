#pragma once
// The position a two-dimensional tool window reads for an offset from the
// sample or trace it works on: p + offset when that lies in the channel, else
// the mirror image p - offset (the position on the other side of p). A window
// taller than the trace or wider than the profile can still mirror past the
// other end; such positions are clamped into the channel, so every read stays
// inside it.

#include <algorithm>
#include <cstdint>

inline int64_t MirrorPosition(int64_t p, int64_t offset, int64_t count) {
  int64_t q = p + offset;
  if (q < 0 || q > count - 1) q = p - offset;
  return std::clamp<int64_t>(q, 0, std::max<int64_t>(count - 1, 0));
}
