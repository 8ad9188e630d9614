#pragma once
// The object search's computations, without the tool: extremum marks, the chain
// search along the predicted diffraction hyperbola, the hyperbola-fit count of the
// speed matrix, the suppression of apices below an apex, and the drawing.
//
// Planes are traces x samples, trace after trace (cell (x, y) at x * L + y). A
// mark is a byte: 0 none, +1 maximum, -1 minimum, +2 detected object apex.
//
// The predicted row of an apex at sample Y is HyperbolaRowEx (profiledata): entry
// 150 + i = Z + sqrt(r^2 + (P i)^2) - (r - (Y - Z)), r = sqrt((Y - Z)^2 + (D / dz / 2)^2).
//
// Threads: every function here may be called from several threads at once on the
// same read-only planes; BuildMarks and the drawing run their own work on the
// worker pool and give the same result for any thread count.

#include "profiledata/geometry_gpr.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

// The channel's geometry as the search sees it.
struct TSearchGeometry {
  int64_t Traces = 0;
  int32_t LongTrace = 0;
  int32_t NullShift = 0;
  long double DepthStep = 0;       // dz: metres per sample
  long double DistanceRecept = 0;  // transmitter-receiver spacing, metres
  // A depth step that is positive and finite: without one there is no hyperbola.
  bool HasDepthStep() const;
};

// A source plane and a mark plane of the same geometry.
struct TSearchPlanes {
  const int32_t* Amp = nullptr;
  const int8_t* Marks = nullptr;
  int64_t Traces = 0;
  int32_t LongTrace = 0;

  bool Inside(int64_t x, int64_t y) const { return x >= 0 && x < Traces && y >= 0 && y < LongTrace; }
  // The source sample; 0 outside the profile.
  int32_t AmpAt(int64_t x, int64_t y) const { return Inside(x, y) ? Amp[x * LongTrace + y] : 0; }
  int8_t MarkAt(int64_t x, int64_t y) const { return Inside(x, y) ? Marks[x * LongTrace + y] : 0; }
};

// The extremum modes of the dialog's "Max Amp in" list.
enum TExtremumMode : int32_t {
  emAll,           // extrema along their trace and along their sample row
  emCurrentDepth,  // along the sample rows
  emCurrentTrace,  // along the traces
  emWindow5x5,     // window maxima, +-2 traces and +-2 .. +-7 samples
  emWindow5x7,
  emWindow5x9,
  emWindow5x11,
  emWindow5x13,
  emWindow5x15,
};

// The source's statistics: MaxAmp = max(|largest|, |smallest|), MiddleAmp = the
// rounded mean of |sample|; the largest and smallest samples start from the first
// sample. Zero for an empty source.
struct TSourceStatistics {
  int32_t MaxS = 0;
  int32_t MinS = 0;
  int64_t MaxAmp = 0;
  int32_t MiddleAmp = 0;
};
TSourceStatistics SourceStatistics(const int32_t* data, int64_t samples);

// The marks of mode `mode` (any other value marks nothing) into `marks` (traces x
// L bytes, zeroed here). Window modes take samples from time zero on and the
// threshold MiddleAmp.
void BuildMarks(const int32_t* data, int64_t traces, int32_t longTrace, int32_t nullShift, int32_t mode,
                long double middleAmp, int8_t* marks);

// The chain search's settings.
struct TChainSettings {
  long double XYProportional = 0;  // trace step in depth steps of one sample
  int32_t SizeHyperbola = 50;      // half width, traces (at most 150 count)
  int32_t CountPointAtCurve = 40;
  int32_t MaxSumNormAmp = 50;
  int32_t MiddleAmp = 0;
};

struct TChainPoint {
  int32_t X = -1;  // trace
  int32_t Y = -1;  // sample
};
constexpr int ChainPointCount = 1000;
constexpr int ChainStart = 500;
using TChainPoints = std::array<TChainPoint, ChainPointCount>;

struct TChainResult {
  bool Detected = false;
  long double Dispersion = 0;
  int32_t Count = 0;  // e: points besides the start
  int32_t Top = 0;    // the apex sample
  int32_t X = 0;
  int32_t Left = ChainStart;   // points[Left + 1 .. Right - 1] is the chain
  int32_t Right = ChainStart;
  // The statistics (0 when the chain is too short for them).
  bool HasStatistics = false;
  long double W = 0;     // the largest amplitude along the chain
  long double Mean = 0;
  int64_t D = 0;         // across-minus-along contrast, per cent of the mean
};

// The predicted row of an apex at sample `apex`: all -1 where the geometry gives
// none (no depth step, no trace step, apex above time zero).
THyperbolaArray PredictedRow(const TSearchGeometry& g, long double proportion, int32_t sizeHyperbola, int32_t apex);
// The row's samples rounded (halves to even), as the searches read them.
using TRoundedRow = std::array<int64_t, 2 * HyperbolaHalfWidthMax + 1>;
TRoundedRow RoundRow(const THyperbolaArray& row);

// The chain from trace X, sample Y over the planes' marks, the row being the
// predicted row of Y. points[500] is the start; entries outside the chain
// (Left + 1 .. Right - 1) are not defined.
TChainResult SelectPolyLine(const TSearchPlanes& planes, const TRoundedRow& row, const TChainSettings& s, int32_t X,
                            int32_t Y, TChainPoints& points);

// 127 + the marks along the row (the predicted row of Y at the trial speed) about
// trace X, clamped to 0..255.
uint8_t CountPntAtDuga(const TSearchPlanes& planes, const TRoundedRow& row, int32_t sizeHyperbola, int32_t X);

// The chain search over start samples Z .. L - 41 and traces 10 .. N - 11 on the
// polyline marks; a detection sets +2 at (trace, apex) in `marks`. Starts run on
// the worker pool by trace; each writes only its own trace's column.
void SearchChains(const int32_t* data, const int8_t* polyMarks, int8_t* marks, const TSearchGeometry& g,
                  const TChainSettings& s);

// Every +2 mark at samples s + 1 .. min(s + 500, L - 1) and traces k - 14 .. k + 14
// of a +2 mark at (k, s) becomes +1, apices taken by sample, then trace.
void DeleteDownPoints(int8_t* marks, int64_t traces, int32_t longTrace);

// Cells with |mark| = 1 := minS, then the 3 x 3 block about every +2 := maxS.
void DrawMarks(const int8_t* marks, int64_t traces, int32_t longTrace, int32_t minS, int32_t maxS, int32_t* out);

// One speed's matrix: the counts of the cells of a rectangle.
struct TWaveMatrixBlock {
  int32_t I1 = 0;  // first trace
  int32_t J1 = 0;  // first sample
  int32_t XMatrix = 0;
  int32_t YMatrix = 0;
  std::vector<uint8_t> Cells;  // (x - I1) * YMatrix + (y - J1)
};

// The counts of every cell of the rectangle at one speed's geometry and trace step;
// the extremes widen `maxCount` / `minCount` (the first count sets an empty one).
void BuildWaveMatrix(const TSearchPlanes& planes, const TSearchGeometry& g, long double proportion,
                     int32_t sizeHyperbola, TWaveMatrixBlock& block, std::optional<int32_t>& maxCount,
                     std::optional<int32_t>& minCount);

// Every cell of the block's rectangle inside the profile := round(D (c - 127) /
// (maxCount - 127)); 0 when that divisor is 0.
void DrawWaveMatrix(const TWaveMatrixBlock& block, long double D, int32_t maxCount, int64_t traces,
                    int32_t longTrace, int32_t* out);
// Cells of the block with |c - 127| > threshold := round(D).
void DrawStrongCells(const TWaveMatrixBlock& block, long double D, int32_t threshold, int64_t traces,
                     int32_t longTrace, int32_t* out);
