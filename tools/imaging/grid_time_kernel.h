#pragma once
// The time-grid imaging of a multi-offset recording without a window: trace i
// was recorded with the transmitter-receiver distance dx_i = DistanceRecept +
// i * StepRecept (metres, the transmitter at x = 0). Every cell (x, y) of a
// distance-depth grid averages, over the antennas, the sample found at the
// cell's travel distance for that antenna.
//
//   travel:   Ytr = sqrt(x^2 + y^2) + sqrt((x - Xtr)^2 + y^2) - x
//   sample:   k = round((d - ShiftTimeDepth) * L / (V * W / 2000)), halves to even
//   grid:     X = round(AntenCount * StepRecept / iXStep),
//             Y = round(L * dy / iYStep); a step that is not positive gives 0
//   cell:     B[r + c * Y] = round(sum / count) over the antennas whose k lies in
//             0 .. L - 1 (sum in 64 bits), 0 when none
//   direct:   T0 = XY / 1000 - |DistanceRecept| / dH, tAir = |dx_i| / dH,
//             tDirect = T0 + tAir (microseconds; dH in m/us)
//
// Picks of a trace, the energy envelope, the section points and the ellipses of
// the overlays are here too: they are pure arithmetic on the work copy.

#include "profiledata/geometry_gpr.h"
#include "tools/imaging/obj_detect_kernel.h"  // TMaxSample

#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

// The channel's time axis as the imaging uses it (no time-zero shift).
struct TGridTimeAxis {
  int32_t LongTrace = 0;
  long double SpanWidth = 0;  // ns
  int32_t SpeedLight = 0;     // mm/ns
  long double ShiftTimeDepth = 0;
  // n x W / L / 1000 microseconds.
  long double SampleToTimeUs(int64_t n) const;
  // n x W / L x V / 2000 metres.
  long double SampleToPath(int64_t n) const;
  // The sample of path d; nullopt when the axis has no extent.
  std::optional<int64_t> PathToSample(long double d) const;
};

long double GetYPoint(long double xt, long double yt, long double Xtr);

struct TGridTimeAntenna {
  int32_t N = 0;
  long double dx = 0, dy = 0, dz = 0;
  long double tAir = 0, tDirect = 0;
};
std::vector<TGridTimeAntenna> CreateAntennas(int32_t count, long double stepRecept, long double distanceRecept);
// Fills tAir and tDirect and returns T0. An air speed that is not positive
// gives no air time (tAir 0, T0 = XY / 1000).
long double DirectWave(std::vector<TGridTimeAntenna>& antennas, long double xyProportional,
                       long double distanceRecept, int32_t dH);

struct TGridTimeSize {
  int64_t X = 0, Y = 0;
  int64_t Cells() const { return X * Y; }
};
TGridTimeSize GridTimeSize(int32_t antenCount, long double stepRecept, long double iXStep, int32_t longTrace,
                           long double dy, long double iYStep);

// The work copy of `traces` input traces. With the gap layout ("cmp_4.dezo")
// traces 0..15 are copied, input trace 16 is dropped, traces 17.. go to 24..,
// traces 16..23 stay zero (7 traces more). Returns the copy's trace count.
constexpr int32_t GridTimeGapTraces = 7;
int64_t BuildWorkCopy(const int32_t* input, int64_t traces, int32_t longTrace, bool gap, std::vector<int32_t>& S);

struct TGridTimeImaging {
  long double iXStep = 0.05L, iYStep = 0.0075L;
  long double DistanceRecept = 0.2L, StepRecept = 0.05L;
  int32_t AntenCount = 0;
  bool Apply = true;
};
// The cell of column c and row r (antennas past the copy's traces add nothing).
int32_t GridTimeCell(const int32_t* S, int64_t tracesS, const TGridTimeAxis& axis, const TGridTimeImaging& p,
                     int64_t c, int64_t r);
// B in cell order r + c * countY, columns on up to `workers` threads; the
// result does not depend on the count. Apply off: sample r of trace c.
std::vector<int32_t> GridTimeImage(const int32_t* S, int64_t tracesS, const TGridTimeAxis& axis,
                                   const TGridTimeImaging& p, int32_t countX, int32_t countY, int workers);

// ---- Picks and overlays -------------------------------------------------------

// The bright points of one trace: local maxima (positive) or minima, a flat run
// picked at its middle, a run longer than 500 samples at every second sample.
std::vector<TMaxSample> TracePicks(const int32_t* trace, int32_t longTrace, bool positiv);
// The largest positive (positiv) or most negative value of all but the last
// value; 0 when there is none.
int32_t GlobalExtreme(const int32_t* S, int64_t count, bool positiv);

// The energy envelope of one trace: squares, their minima, the Hermite curve,
// doubled and lowered by up to maxIteration passes. `out` is the envelope,
// `list` the extrema of it (minimum mode); returns the passes made.
int32_t EnergyEnvelope(const int32_t* trace, int32_t longTrace, int32_t maxIteration, std::vector<long double>& out,
                       std::vector<TMaxSample2>& list);
// Picks from the envelope's extrema: values >= 0 (positiv) or < 0, as
// (sample, round(sqrt|v|)), negated without positiv.
std::vector<TMaxSample> PicksFromEnvelope(const std::vector<TMaxSample2>& list, bool positiv);

struct TPoint2 {
  long double x = 0, y = 0;
};
// The point where the picks at times ta (antenna a) and tb (antenna b) meet;
// times in microseconds, V mm/ns. None when tAir is 0 or the system has no
// solution.
std::optional<TPoint2> PairPoint(long double timeA, const TGridTimeAntenna& a, long double timeB,
                                 const TGridTimeAntenna& b, int32_t V);

// Section counters over the cells 0..maxIndex a side, present only while the
// section points are counted.
struct TSectBubble {
  int32_t ix = 0, iy = 0, count = 0;
};
struct TSectRange {
  long double xMin = 0, xMax = 0, yMin = 0, yMax = 0;
};
// Every pair of picks of every later antenna; a point strictly inside `range`
// counts in cell (round(X / gridStep), round(Y / gridStep)), cells outside
// 0..4000 uncounted. Cells whose count exceeds `visible`, in (ix, iy) order;
// `maxCount` gets the largest count (at least 1). The counters cover only the
// cells the range reaches and live only during the call; antennas go to the
// worker pool one at a time when workers > 1 (atomic increments), the counts
// the same for any count.
std::vector<TSectBubble> SectPoints(const std::vector<std::vector<TMaxSample>>& picks,
                                    const std::vector<TGridTimeAntenna>& antennas, const TGridTimeAxis& axis,
                                    const TSectRange& range, long double gridStep, int32_t visible, int32_t& maxCount,
                                    int workers = 1);

struct TEllipse {
  long double c = 0, a = 0, b = 0;
  // An ellipse with extent: neither drawn nor checked otherwise.
  bool Valid() const { return a > 0 && b > 0 && std::isfinite(a) && std::isfinite(b); }
};
// Foci (0, 0) and (D, 0), through (D, h).
TEllipse PickEllipse(long double D, long double h);
// (D - c)^2 / a^2 + h^2 / b^2, 1 for a sound ellipse.
long double EllipseCheck(const TEllipse& e, long double D, long double h);
// The check of a valid ellipse differs from 1 by more than 1e-5 (a rounding
// fault worth reporting); an ellipse without extent is never checked.
bool EllipseMisses(const TEllipse& e, long double D, long double h);
// The upper half from m = -a in steps of 0.005.
std::vector<TPoint2> EllipsePoints(const TEllipse& e);
std::optional<TPoint2> EllipseIntersection(const TEllipse& e1, const TEllipse& e2);

// "Max point": the bubble radius of a pick of value `ampl` under the global
// extreme `e`.
long double MaxPointRadius(int32_t ampl, int32_t e);
// "Sect point": a bubble's colour ($00BBGGRR) for `count` of at most `maxCount`.
uint32_t SectColour(int32_t count, int32_t maxCount);

// "Test sect": two antennas among the first 36 that have at least two picks,
// and one pick of each other than its last, drawn from `seed`. None when fewer
// than one such antenna exists.
struct TTestSectChoice {
  int32_t a = 0, b = 0;
  int32_t p = 0, q = 0;  // pick indices
};
std::optional<TTestSectChoice> ChooseTestSect(const std::vector<std::vector<TMaxSample>>& picks, uint32_t seed);
// The ellipses of the two chosen picks and their intersection; nothing when
// the two antennas coincide.
struct TTestSect {
  TEllipse first, second;
  std::optional<TPoint2> cross;
};
std::optional<TTestSect> TestSect(const std::vector<std::vector<TMaxSample>>& picks,
                                  const std::vector<TGridTimeAntenna>& antennas, const TGridTimeAxis& axis,
                                  const TTestSectChoice& choice);

// The trial hyperbola from the clicked point (x, y): 201 points, none when
// xyProportional is 0 or y lies above nullShift (or no depth step).
std::vector<TPoint2> TrialHyperbola(long double x, long double y, long double nullShift, long double xyProportional,
                                    int64_t minTraces, int64_t maxTraces, long double distanceRecept,
                                    long double depthStep);
