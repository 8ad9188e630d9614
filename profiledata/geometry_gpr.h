#pragma once
// Hyperbola and extrema geometry of radar traces: the diffraction hyperbola of a point
// target as a row of values around its apex, the extrema of traces and of sample rows
// (with flat, clipped runs), the envelope of a trace through its maxima, and
// two-dimensional window maxima.
//
// Plain functions on caller-owned memory. Each call works on its own buffers, so calls
// on different data may run on any thread at once; calls that share a list table or a
// block must be serialised by the caller.

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <vector>

static_assert(std::numeric_limits<long double>::digits == 64, "extended values need the 64-bit mantissa");

// ---- Hyperbola row ------------------------------------------------------------------

constexpr int HyperbolaHalfWidthMax = 150;
constexpr int HyperbolaApexIndex = HyperbolaHalfWidthMax;

// One value per trace around the apex: index 150 is the apex trace, 150 + h the trace
// h positions to the right (h = -150..150).
using THyperbolaArray = std::array<float, 2 * HyperbolaHalfWidthMax + 1>;

// sqrt(a^2 + b^2), summed and rooted in extended precision, rounded once to single.
float HypotSingle(float a, float b);

// The diffraction hyperbola of a point target, in single precision. All lengths share
// one unit (samples or metres): proportion = distance between neighbouring traces,
// spacing = distance between transmitter and receiver antennas, zero = surface level.
// With depth = apex - zero and g = HypotSingle(depth, spacing / 2), for h = -N..N:
//   row[150 + h] = zero + depth + (HypotSingle(g, h * proportion) - g)
// so the row passes through the apex (h = 0) and far from it tends to slope
// `proportion` per trace. Entries outside -N..N keep their contents.
// proportion == 0 writes nothing; apex < zero (above the surface) sets all 301 entries
// to -1. N above 150 counts as 150; a negative N writes no trace.
void HyperbolaRow(int N, THyperbolaArray& row, float apex, float spacing, float proportion, float zero);

// HyperbolaRow with an integer apex sample and the antenna spacing given as a distance:
// spacing = spacingDistance / scale, scale being the distance per sample. A zero scale
// (or one so small that the spacing overflows single) writes nothing, as proportion 0.
void HyperbolaRowEx(int apex, int N, float spacingDistance, float scale, float proportion, float zero,
                    THyperbolaArray& row);

// ---- Extrema lists ------------------------------------------------------------------

struct TMaxSample2 {
  int32_t NumSampleMax = 0;  // sample index, or trace index for row searches
  long double AmplMax = 0;   // the value there
  bool isPolochka = false;   // false in every entry the routines write
};

// One list per trace (or per sample row), at most 40000 of them. The table is large
// (about 1 MB): callers allocate it on the heap, e.g. std::make_unique<TarMax2InTraces>().
constexpr int MaxExtremaLists = 40000;
using TarMax2InTraces = std::array<std::vector<TMaxSample2>, MaxExtremaLists>;

// Output type of the "DQ" tool, passed to FindExtremaInTraces as its polarity option.
enum TOutputType : uint8_t { otAmplitude, otFreq };

// Flat runs longer than these many extra samples are listed as runs; shorter runs are
// passed over as ordinary samples.
constexpr int TraceLongRun = 3;
constexpr int RowLongRun = 300;

// Extrema of trace `sourceTrace` of an extended block (sample k of trace t at
// t * samples + k) into lists[targetList], which is emptied first. The list starts
// with (0, x[0]) and ends with (samples - 1, x[samples - 1]); between them the local
// maxima (cur > both neighbours and > 0) or minima (cur < both neighbours and <= 0),
// and three entries with the run value for each flat run longer than 3 extra samples
// (where the walk met it, its middle, one before where the walk left it). A peak
// directly after a short run is listed within the run; sample samples - 2 is never
// listed. Indices are strictly increasing: where a run is met just after an extremum
// was listed at the same sample, the extremum keeps that index alone. Returns the
// number of entries written.
// A target list outside the table is refused (0, nothing touched); a source trace that
// does not lie within the block, or samples <= 0, leaves the target list empty.
int FindTraceExtrema(int sourceTrace, int targetList, int samples, TarMax2InTraces& lists,
                     std::span<const long double> block, bool maxima);

// The same along sample row `row` across `traces` traces (stride = samples), into
// lists[row] indexed by trace; a flat run counts as long only beyond 300 traces.
int FindRowExtrema(int row, int samples, TarMax2InTraces& lists, std::span<const long double> block, bool maxima,
                   int traces);

// Per-row pipeline on an i32 block: FindRowExtrema for every sample row into the list
// of that row. Rows beyond the 40000 lists and traces beyond the block are not searched.
void FindExtremaInRows(int samples, int traces, bool maxima, TarMax2InTraces& lists, std::span<const int32_t> data);

// ---- Envelope -----------------------------------------------------------------------

constexpr int EnvelopePassesMax = 20;

// Cubic Hermite curve through the list entries into `envelope` (its size is the sample
// count). Entry values are written at their indices; the tangents are one-sided at the
// ends and the mean of the half-slopes inside. The list must have strictly increasing
// indices within the envelope: the walk ends, before any interpolation, at the first
// entry that repeats or goes back to an index (or lies outside), keeping only the entry
// values written so far. Every sample no entry or interval reaches is 0, so nothing of
// an earlier call survives.
void HermiteThroughExtrema(std::span<const TMaxSample2> extrema, std::span<long double> envelope);

// Replaces trace `trace` of an extended block by its envelope, starting from the list
// lists[trace] (the maxima found before): A = Hermite curve through the maxima, then up
// to 20 passes raise A by the Hermite curve through the minima of A - x until A nowhere
// falls below the trace or that curve is 0 everywhere (a dip at the second-to-last
// sample is never found and stays). On return lists[trace] holds the last search. Refused
// (nothing touched) for a trace outside 0..traces-1, the block or the 40000 lists, and
// for samples below 1. The work arrays are sized from the trace, whatever its length.
void TraceEnvelope(int trace, int samples, int traces, TarMax2InTraces& lists, std::span<long double> block);

// Per-trace pipeline on an i32 block (sample k of trace t at t * samples + k):
// FindTraceExtrema of every trace into its list, on the squared samples when
// `envelope` is set. Without the envelope the block is left unchanged. With it every
// trace is replaced by round(sign * r), r the signed square root of the envelope of its
// squared samples (halves to even, saturated to 32 bits). sign is +1 unless polarity is
// otFreq: then it starts at +1 on every trace and flips at each local minimum of r
// (the first rise after a fall), so that successive lobes alternate in sign.
// Traces are independent: each is worked on its own copy sized from the trace, so any
// trace length gets its envelope, and disjoint parts of a block (with their own lists)
// may be done on several threads at once. Traces beyond the block or the lists are not
// touched.
void FindExtremaInTraces(int samples, int traces, bool maxima, std::span<std::vector<TMaxSample2>> lists,
                         std::span<int32_t> data, TOutputType polarity, bool envelope);
// The same with the table of 40000 lists; traces beyond them are searched and
// enveloped in a list that is not kept.
void FindExtremaInTraces(int samples, int traces, bool maxima, TarMax2InTraces& lists, std::span<int32_t> data,
                         TOutputType polarity, bool envelope);

// One trace of FindExtremaInTraces in place: its extrema into `list` (emptied first)
// and, with `envelope`, the trace replaced as above. `work` is the extended copy,
// sized here from the trace. Traces with their own list and work arrays may run on
// several threads at once.
void ExtremaEnvelopeOfTrace(int32_t* trace, int samples, bool maxima, std::vector<TMaxSample2>& list,
                            std::vector<long double>& work, TOutputType polarity, bool envelope);

// ---- Window maxima ------------------------------------------------------------------

// For every trace r in halfTraces .. traces - halfTraces - 1, lists[r] is emptied and
// receives (q, v) for every sample q in firstSample .. samples - halfSamples - 1 whose
// value v exceeds `threshold` and is not exceeded by any value of the window of traces
// r +- halfTraces and samples q +- halfSamples (equal values do not exclude it). Lists of
// other traces are not touched. Negative half-widths count as 0, firstSample is raised
// to halfSamples so the window never reaches before the trace, and only traces within
// the block and the 40000 lists get a list.
void FindWindowMaxima(int halfTraces, int halfSamples, int firstSample, TarMax2InTraces& lists,
                      std::span<const int32_t> data, int traces, int samples, long double threshold);

// FindWindowMaxima for one trace into `list` (emptied first; left empty for a trace
// outside halfTraces .. traces - halfTraces - 1 or the block): the caller sizes its
// own lists, and traces with their own lists may run on several threads at once.
void WindowMaximaOfTrace(int trace, int halfTraces, int halfSamples, int firstSample, std::vector<TMaxSample2>& list,
                         std::span<const int32_t> data, int traces, int samples, long double threshold);

// ---- Building blocks shared by the search and the envelope --------------------------

namespace geometry_detail {

// The extremum walk over n values x[0], x[stride], ... into `list` (emptied first).
// longRun is the number of extra samples beyond which a flat run is reported as a run.
int FindSeriesExtrema(const long double* x, std::ptrdiff_t stride, int n, int longRun, bool maxima,
                      std::vector<TMaxSample2>& list);

// The envelope refinement over one trace of any length in place,
// starting from the maxima in `list`; `list` receives each search made.
void EnvelopeOfSeries(std::span<long double> x, std::vector<TMaxSample2>& list);

}  // namespace geometry_detail
