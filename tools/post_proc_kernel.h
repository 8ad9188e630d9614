#pragma once
// The computations of the post-processing overlays, without a window: the
// per-channel envelope and instantaneous-frequency buffers, the three ways of
// marking candidate cells, the grouping of marks into kept regions and the
// painting of the kept regions into an overlay bitmap.
//
// Layout: a channel's data hold trace after trace, longTrace samples each;
// cell (t, s) of a mark grid is sample s of trace t.
//
// Threads: the buffers are computed on the worker pool, trace blocks in order,
// with the same result for any thread count; everything else runs on the
// calling thread.

#include "platform/ui/control_types.h"

#include <cstdint>
#include <functional>
#include <vector>

class TBitmap32;

// Cell values of a mark grid.
enum TMarkCell : uint8_t { mcNone = 0, mcCandidate = 1, mcGrowing = 2, mcKept = 3 };

// One byte per cell, Rows traces of Cols samples each. A row holds the whole
// trace however long it is.
struct TMarkGrid {
  int Rows = 0;
  int Cols = 0;
  std::vector<uint8_t> Cells;

  // Rows x Cols cells, all mcNone (negative sizes count as 0).
  void Reset(int rows, int cols);
  uint8_t& At(int t, int s) { return Cells[static_cast<size_t>(t) * static_cast<size_t>(Cols) + static_cast<size_t>(s)]; }
  uint8_t At(int t, int s) const {
    return Cells[static_cast<size_t>(t) * static_cast<size_t>(Cols) + static_cast<size_t>(s)];
  }
};

// Called between trace blocks with the number of traces done; returns false to
// stop (the buffer is then incomplete and must not be used).
using TPostProcProgress = std::function<bool(int64_t done)>;

// The level a percentage of maxlevel stands for: round(maxlevel x percent / 100).
int32_t PostProcThreshold(int32_t maxlevel, int32_t percent);

// Comparator: cell (t, s) := candidate when |x(t, s)| >= threshold, else none,
// for the grid's Rows x Cols cells.
void MarkComparator(const int32_t* data, int longTrace, int32_t threshold, TMarkGrid& grid);
// Envelope: cell (t, s) := candidate when buffer(t, s) > threshold (strictly).
void MarkAboveThreshold(const int32_t* buffer, int longTrace, int32_t threshold, TMarkGrid& grid);
// Frequency: with c := (winFreqSize - 1) div 2 and q := percent / 100, cell
// (t, s) of value l is a candidate when q > 0 and every value v of the window
// of traces t-c .. t+c and samples s-c .. s+c clipped to the grid satisfies
// round(q x l) <= v <= round((2 - q) x l).
void MarkFrequencyBand(const int32_t* buffer, int longTrace, int winFreqSize, int32_t percent, TMarkGrid& grid);

// Groups the candidates into regions: every candidate met visiting the samples
// (columns) in ascending order, and within each the traces in ascending order,
// seeds a region grown within its window of traces t-80 .. t+80 and samples
// s-1 .. s+80 (at most 51 passes); the region's cells are kept when it gathered
// at least minPnt cells, else dropped. Returns the number of kept regions.
int MarkRegions(TMarkGrid& grid, int minPnt);

// Paints rows 0 .. grid.Cols - 1 and columns 0 .. grid.Rows - 1 of bitmap (which
// must be at least that large): kept cells in color (a TColor $00BBGGRR) with
// alpha 255, every other cell exactly B = G = R = 255, A = 0.
void PaintMarks(const TMarkGrid& grid, TColor color, TBitmap32& bitmap);

// The envelope buffer of traces x longTrace values: round(sqrt(x^2 + h^2)) with
// h the trace's Hilbert sum, saturated to 32 bits. out may not alias data.
// False when progress stopped it.
bool EnvelopeBuffer(const int32_t* data, int longTrace, int64_t traces, int32_t* out,
                    const TPostProcProgress& progress = {});
// The instantaneous-frequency buffer (GHz x 100000) of traces x longTrace values,
// the phase history carried from trace to trace from 0 at the channel's start;
// spanWidth is the time window in ns. False when progress stopped it.
bool FrequencyBuffer(const int32_t* data, int longTrace, int64_t traces, double spanWidth, int32_t* out,
                     const TPostProcProgress& progress = {});

// The largest |v| over count values, at least 1 (1 for none).
int32_t BufferMaxLevel(const int32_t* buffer, int64_t count);
