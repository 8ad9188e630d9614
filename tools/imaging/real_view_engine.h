#pragma once
// The ray-sum reconstruction shared by the real-view and grid-view tools, without
// a window: every measured point (a sample) is the weighted sum of the model cells
// on its ray, the arc of cells whose echo arrives at the point's time; the model is
// adjusted cell by cell until the sums match the measured samples.
//
// Cell index of column x and row y: x * CountY + y (the channel's buffer order).
//
//   arc of row y:  m = dH + y, o = DistanceRecept / 2 / dz, t = sqrt(o^2 + m^2),
//                  dR2 = round(o / XY), E = round(t * SinA / XY),
//                  depth(i) = max(0, double(m * sqrt|1 - (i XY)^2 / t^2| - dH)),
//                  weight(i) = ArcWeight(E, |i|), i = -E .. E;
//                  row 0, m < 0 or t = 0: the cell itself (E = 0, dR2 = 0)
//   ray of (x, y): columns j = c - E .. c + E around c = x + dR2, a column outside
//                  the profile mirrored at the centre (2c - j), dropped when the
//                  mirror lies outside too
//   CalcSumA(p):   AmNew = round(sum Bm(cell) * weight, extended), dAmNew = Am - AmNew
//   cell update:   delta = sum over the cell's points of
//                  round(dAmNew / (CountB * GetBiK)); applied when |delta| > 1,
//                  then CalcSumA of those points.
//
// A sweep updates every cell, rows ascending and within a row columns ascending.
// The parallel sweep gives that result bit for bit: two cells of one ray lie at
// most 2 E_max columns apart, so column stripes at least 2 E_max + 1 wide only
// meet their neighbours, and a stripe takes row y once its left neighbour has
// finished row y and its right neighbour row y - 1 (only its last 2 E_max
// columns wait for the right neighbour).
//
// Ownership and threads: the model is built and read on one thread; during a
// sweep the workers touch only its arrays, under the stripe order above.

#include <atomic>
#include <cstdint>
#include <new>
#include <stdexcept>
#include <thread>
#include <vector>

#include <QString>

struct TRealViewParams {
  long double XYProportional = 10.0L;
  int32_t MinAmpSect = 90;
  long double DistanceRecept = 0;
  long double DecriseAmp = 0.75L;
  int32_t dH = 0;
  // Metres per sample of the channel.
  long double dz = 0;
};

// Raised while the arcs are measured, before anything is allocated.
class ERealViewLimits : public std::runtime_error {
public:
  explicit ERealViewLimits(int64_t halfWidth);
  QString Text() const;
  int64_t HalfWidth;
};

// The run's model exceeds its memory cap (as when memory runs out).
// An allocation failure for the callers: they report "Out of memory".
class ERealViewMemory : public std::bad_alloc {};

constexpr int32_t RealViewMaxHalfWidth = 1000;

// Half transmit angle in whole degrees; full angles above 180 count as 180 (a
// wider cone never narrows the arc), below 0 as 0.
int32_t RealViewAlpha(int32_t minAmpSect);
long double RealViewSinA(int32_t alpha);
// Parameters with which the channel passes through unchanged.
bool RealViewParamsUsable(const TRealViewParams& p);

// 1 when E = 0, else cos(a / E * decrease * pi / 2).
long double ArcWeight(int32_t halfWidth, int32_t offset, long double decrease);

struct TRealViewArc {
  int32_t dR2 = 0;
  int32_t dXArc = 0;
  // Entries for offsets -dXArc .. dXArc.
  std::vector<long double> Depth;
  std::vector<long double> Weight;
  long double DepthAt(int32_t i) const { return Depth[static_cast<size_t>(i + dXArc)]; }
  long double WeightAt(int32_t i) const { return Weight[static_cast<size_t>(i + dXArc)]; }
};

// Half-width and centre shift of row y's arc, without the tables.
struct TRealViewArcSize {
  int64_t E = 0;
  int32_t dR2 = 0;
};
TRealViewArcSize ArcSize(const TRealViewParams& p, long double sinA, int32_t y);
TRealViewArc BuildArc(const TRealViewParams& p, long double sinA, int32_t y);

struct TRayEntry {
  int32_t Cell;
  float Weight;
};
// A point of a cell's list with its GetBiK weight (a cell named twice on a ray, by
// the mirror, has the same weight both times).
struct TListEntry {
  int32_t Point;
  float Weight;
};

class TRealViewModel {
public:
  // Default cap: a quarter of the machine's physical memory.
  static uint64_t DefaultMemoryCap();

  // Builds points, cells, rays and lists for the channel `input` (CountX x CountY
  // cells). Throws ERealViewLimits for an arc wider than 1000 columns a side and
  // ERealViewMemory when the estimated size passes `memoryCap`, both before
  // allocating the rays.
  void Build(const int32_t* input, int32_t countX, int32_t countY, const TRealViewParams& p, long double sinA,
             uint64_t memoryCap);

  // Ray entries of the model (an upper bound: entries outside are dropped).
  static uint64_t EstimateEntries(int32_t countX, int32_t countY, const TRealViewParams& p, long double sinA);
  // Bytes the model of these dimensions and arcs takes (an upper bound).
  static uint64_t EstimateBytes(int32_t countX, int32_t countY, const TRealViewParams& p, long double sinA);

  void CalcSumA(int32_t p);
  void UpdateCell(int32_t m);
  // One iteration in the reference order.
  void SweepSerial();
  // One iteration on up to `workers` threads, identical to SweepSerial.
  void SweepParallel(int workers);
  // Column stripes the parallel sweep would use for `workers` threads.
  int StripeCount(int workers) const;

  int64_t SumResidual() const;
  int64_t SumAmplitude() const;
  void ModelToView(int32_t* out) const;

  int32_t CountX = 0, CountY = 0, CountAB = 0;
  int32_t MaxHalfWidth = 0;
  std::vector<int32_t> Am, AmNew, dAmPred, dAmNew;
  std::vector<int32_t> Bm;
  // Rays in building order (rows, then columns): the ray of point p is
  // Rays[RayStart[b] .. RayStart[b + 1]) with b = RayIndex(p).
  std::vector<int64_t> RayStart;
  std::vector<TRayEntry> Rays;
  // List of cell m: Lists[ListStart[m] .. ListStart[m + 1]), in ray-building order.
  std::vector<int64_t> ListStart;
  std::vector<TListEntry> Lists;

  int64_t RayIndex(int32_t p) const { return static_cast<int64_t>(p % CountY) * CountX + p / CountY; }
  int64_t RayBegin(int32_t p) const { return RayStart[static_cast<size_t>(RayIndex(p))]; }
  int64_t RayEnd(int32_t p) const { return RayStart[static_cast<size_t>(RayIndex(p)) + 1]; }
  int32_t CountB(int32_t p) const { return static_cast<int32_t>(RayEnd(p) - RayBegin(p)); }

  // Every row of the columns [from, to) after the neighbours' rows as above;
  // rowsDone[s] counts the rows stripe s has finished.
  void RunStripe(int stripe, int stripes, int32_t from, int32_t to, std::vector<std::atomic<int32_t>>& rowsDone);
};

// One iteration's stripes and their progress.
struct TStripeSweep {
  TStripeSweep(TRealViewModel& model, int workers);
  TRealViewModel& Model;
  int Stripes;
  std::vector<std::atomic<int32_t>> RowsDone;
  int32_t StripeFrom(int s) const;
};

// The worker of one stripe for one iteration: starts running at once; FIsDone is
// set when its rows are done. The thread that created it polls FIsDone and then
// destroys it (which joins).
class TCalcThread {
public:
  TCalcThread(TStripeSweep& sweep, int stripe);
  bool IsDone() const { return FIsDone.load(std::memory_order_acquire); }
  // First and last column of the stripe.
  int32_t FFrom, FTo;

private:
  std::atomic<bool> FIsDone{false};
  std::jthread thread_;
};
