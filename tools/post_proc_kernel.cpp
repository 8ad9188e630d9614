#include "tools/post_proc_kernel.h"

#include "platform/rtl/rounding.h"
#include "profiledata/hilbert.h"
#include "raster/bitmap32.h"
#include "tools/worker_pool.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

// How far a region may grow from its seed: traces on either side, samples
// after it (and one before).
constexpr int kRegionTraces = 80;
constexpr int kRegionSamples = 80;
constexpr int kRegionPasses = 51;
// Traces per block of the buffer computations: the worker pool's unit and the
// progress step.
constexpr int64_t kBufferBlock = 64;

size_t Index(int64_t t, int longTrace, int s) { return static_cast<size_t>(t) * static_cast<size_t>(longTrace) + static_cast<size_t>(s); }

// A cell of the grid next to (t, s), the 3 x 3 block clipped to the grid, holds
// a growing region.
bool NextToGrowing(const TMarkGrid& grid, int t, int s) {
  const int t0 = std::max(t - 1, 0);
  const int t1 = std::min(t + 1, grid.Rows - 1);
  const int s0 = std::max(s - 1, 0);
  const int s1 = std::min(s + 1, grid.Cols - 1);
  for (int r = t0; r <= t1; ++r) {
    const uint8_t* row = &grid.Cells[static_cast<size_t>(r) * static_cast<size_t>(grid.Cols)];
    for (int c = s0; c <= s1; ++c)
      if (row[c] == mcGrowing) return true;
  }
  return false;
}

// Grows the region seeded at (t, s) and keeps or drops it; true when kept.
bool GrowMarkedRegion(TMarkGrid& grid, int t, int s, int minPnt) {
  grid.At(t, s) = mcGrowing;
  int64_t n = 1;
  const int r0 = std::max(t - kRegionTraces, 0);
  const int r1 = std::min(t + kRegionTraces, grid.Rows) - 1;
  const int c0 = std::max(s - 1, 0);
  const int c1 = std::min(s + kRegionSamples, grid.Cols) - 1;
  for (int pass = 0; pass < kRegionPasses; ++pass) {
    bool changed = false;
    for (int c = c0; c <= c1; ++c)
      for (int r = r0; r <= r1; ++r) {
        uint8_t& cell = grid.At(r, c);
        if (cell != mcCandidate || !NextToGrowing(grid, r, c)) continue;
        cell = mcGrowing;
        ++n;
        changed = true;
      }
    if (!changed) break;
  }
  const bool keep = n >= minPnt;
  for (int r = r0; r <= r1; ++r)
    for (int c = c0; c <= c1; ++c) {
      uint8_t& cell = grid.At(r, c);
      if (cell == mcGrowing) cell = keep ? mcKept : mcNone;
    }
  return keep;
}

// Runs kernel(first, end) over the traces in blocks on the worker pool, then
// after(first, end) on this thread in block order, reporting progress after
// every block.
bool ForTraceBlocks(int64_t traces, const std::function<void(int64_t, int64_t)>& kernel,
                    const std::function<void(int64_t, int64_t)>& after, const TPostProcProgress& progress) {
  TWorkerPool& pool = TWorkerPool::Instance();
  for (int64_t first = 0; first < traces; first += kBufferBlock) {
    const int64_t end = std::min(traces, first + kBufferBlock);
    pool.Run(first, end, kernel);
    if (after) after(first, end);
    if (progress && !progress(end)) return false;
  }
  return true;
}

}  // namespace

void TMarkGrid::Reset(int rows, int cols) {
  Rows = std::max(rows, 0);
  Cols = std::max(cols, 0);
  Cells.assign(static_cast<size_t>(Rows) * static_cast<size_t>(Cols), mcNone);
}

int32_t PostProcThreshold(int32_t maxlevel, int32_t percent) {
  return RoundToInt32(static_cast<long double>(maxlevel) * percent / 100);
}

void MarkComparator(const int32_t* data, int longTrace, int32_t threshold, TMarkGrid& grid) {
  if (!data) return;
  for (int t = 0; t < grid.Rows; ++t) {
    const int32_t* trace = data + Index(t, longTrace, 0);
    uint8_t* row = &grid.At(t, 0);
    for (int s = 0; s < grid.Cols; ++s) row[s] = std::llabs(int64_t{trace[s]}) >= threshold ? mcCandidate : mcNone;
  }
}

void MarkAboveThreshold(const int32_t* buffer, int longTrace, int32_t threshold, TMarkGrid& grid) {
  if (!buffer) return;
  for (int t = 0; t < grid.Rows; ++t) {
    const int32_t* trace = buffer + Index(t, longTrace, 0);
    uint8_t* row = &grid.At(t, 0);
    for (int s = 0; s < grid.Cols; ++s) row[s] = trace[s] > threshold ? mcCandidate : mcNone;
  }
}

void MarkFrequencyBand(const int32_t* buffer, int longTrace, int winFreqSize, int32_t percent, TMarkGrid& grid) {
  if (!buffer) return;
  const int c = (winFreqSize - 1) / 2;
  const long double q = static_cast<long double>(percent) / 100;
  for (int t = 0; t < grid.Rows; ++t)
    for (int s = 0; s < grid.Cols; ++s) {
      uint8_t mark = mcNone;
      if (q > 0) {
        const long double l = buffer[Index(t, longTrace, s)];
        const int64_t low = Round(q * l);
        const int64_t high = Round((2 - q) * l);
        const int t0 = std::max(t - c, 0);
        const int t1 = std::min(t + c, grid.Rows - 1);
        const int s0 = std::max(s - c, 0);
        const int s1 = std::min(s + c, grid.Cols - 1);
        bool inside = true;
        for (int r = t0; r <= t1 && inside; ++r)
          for (int k = s0; k <= s1; ++k) {
            const int32_t v = buffer[Index(r, longTrace, k)];
            if (v < low || v > high) {
              inside = false;
              break;
            }
          }
        if (inside) mark = mcCandidate;
      }
      grid.At(t, s) = mark;
    }
}

int MarkRegions(TMarkGrid& grid, int minPnt) {
  int kept = 0;
  for (int s = 0; s < grid.Cols; ++s)
    for (int t = 0; t < grid.Rows; ++t)
      if (grid.At(t, s) == mcCandidate && GrowMarkedRegion(grid, t, s, minPnt)) ++kept;
  return kept;
}

void PaintMarks(const TMarkGrid& grid, TColor color, TBitmap32& bitmap) {
  const auto bgr = static_cast<uint32_t>(color);
  const TColor32 marked = 0xFF000000u | ((bgr & 0xFFu) << 16) | (bgr & 0xFF00u) | ((bgr >> 16) & 0xFFu);
  constexpr TColor32 unmarked = 0x00FFFFFFu;
  const int rows = std::min(grid.Cols, bitmap.Height());
  const int cols = std::min(grid.Rows, bitmap.Width());
  for (int s = 0; s < rows; ++s) {
    TColor32* line = bitmap.ScanLine(s);
    for (int t = 0; t < cols; ++t) line[t] = grid.At(t, s) == mcKept ? marked : unmarked;
  }
}

bool EnvelopeBuffer(const int32_t* data, int longTrace, int64_t traces, int32_t* out, const TPostProcProgress& progress) {
  if (!data || !out || longTrace <= 0 || traces <= 0) return true;
  std::memcpy(out, data, Index(traces, longTrace, 0) * sizeof(int32_t));
  return ForTraceBlocks(
      traces,
      [&](int64_t first, int64_t end) {
        for (int64_t t = first; t < end; ++t) HilbertTransformTrace(out + Index(t, longTrace, 0), longTrace, 0, 0);
      },
      {}, progress);
}

bool FrequencyBuffer(const int32_t* data, int longTrace, int64_t traces, double spanWidth, int32_t* out,
                     const TPostProcProgress& progress) {
  if (!data || !out || longTrace <= 0 || traces <= 0) return true;
  // The raw phases of a block are independent per trace (workers); unwrapping
  // carries the phase history from trace to trace, so it runs in trace order.
  std::vector<long double> phases(Index(kBufferBlock, longTrace, 0));
  TPhaseHistory history;
  return ForTraceBlocks(
      traces,
      [&](int64_t first, int64_t end) {
        std::vector<long double> h(static_cast<size_t>(longTrace));
        for (int64_t t = first; t < end; ++t) {
          const int32_t* x = data + Index(t, longTrace, 0);
          HilbertSum(x, longTrace, h.data());
          long double* phase = &phases[Index(t % kBufferBlock, longTrace, 0)];
          for (int i = 0; i < longTrace; ++i) phase[i] = std::atan2(h[static_cast<size_t>(i)], static_cast<long double>(x[i]));
        }
      },
      [&](int64_t first, int64_t end) {
        for (int64_t t = first; t < end; ++t)
          PhaseToFrequency(&phases[Index(t % kBufferBlock, longTrace, 0)], longTrace, spanWidth, history,
                           out + Index(t, longTrace, 0));
      },
      progress);
}

int32_t BufferMaxLevel(const int32_t* buffer, int64_t count) {
  int64_t largest = 1;
  if (buffer)
    for (int64_t i = 0; i < count; ++i) largest = std::max<int64_t>(largest, std::llabs(int64_t{buffer[i]}));
  return SaturateToInt32(largest);
}
