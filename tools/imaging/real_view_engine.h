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
// The arcs above are the real view's (TRealViewRowArcs, one per row); a
// TRealViewGeometry gives others, such as the grid view's one per cell with its
// denominators in single precision.
//
// A sweep updates every cell, rows ascending and within a row columns ascending.
// The parallel sweep gives that result bit for bit: two cells of one ray lie at
// most 2 E_max columns apart, so column stripes at least 2 E_max + 1 wide only
// meet their neighbours, and a stripe takes row y once its left neighbour has
// finished row y and its right neighbour row y - 1 (only its last 2 E_max
// columns wait for the right neighbour). A profile too narrow for two stripes
// sweeps on one, its changed cells' point recomputations (independent of each
// other) shared between the workers.
//
// Ownership and threads: the model is built and read on one thread; during a
// sweep the workers touch only its arrays, under the stripe order above.

#include <atomic>
#include <functional>
#include <cstdint>
#include <new>
#include <stdexcept>
#include <memory>
#include <thread>
#include <utility>
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

// The arcs of a run. The real view forms one arc per row (every point of a row
// has the same arc, shifted by dR2 columns); the grid view one per cell.
struct TArcRows {
  int32_t dR2 = 0;
  int32_t E = 0;
  // Row of each offset -E .. E; -1: the entry is dropped.
  std::vector<int32_t> Row;
};
class TRealViewGeometry {
public:
  virtual ~TRealViewGeometry() = default;
  // Whether the points of one row have arcs of their own.
  virtual bool PerCell() const = 0;
  // Half-width of the arc of point (x, y) before the 1000-column limit.
  virtual int64_t HalfWidth(int32_t x, int32_t y) const = 0;
  // The arc of point (x, y) (of row y when not PerCell); its half-width is
  // within the limit.
  virtual void Arc(int32_t x, int32_t y, TArcRows& arc) const = 0;
  // Weight decrease towards the arc ends.
  virtual long double Decrease() const = 0;
  // The update's denominator CountB * weight rounded to single precision.
  virtual bool SingleDenominator() const { return false; }
};

// The real view's arcs: one per row, from BuildArc; a row outside the profile
// drops the entry.
class TRealViewRowArcs : public TRealViewGeometry {
public:
  TRealViewRowArcs(const TRealViewParams& p, long double sinA, int32_t countY) : p_(p), sinA_(sinA), countY_(countY) {}
  bool PerCell() const override { return false; }
  int64_t HalfWidth(int32_t x, int32_t y) const override;
  void Arc(int32_t x, int32_t y, TArcRows& arc) const override;
  long double Decrease() const override { return p_.DecriseAmp; }

private:
  TRealViewParams p_;
  long double sinA_;
  int32_t countY_;
};

namespace real_view_engine {
class TPointTeam;
}

class TRealViewModel {
public:
  // Default cap: a quarter of the machine's physical memory.
  static uint64_t DefaultMemoryCap();

  // Builds points, cells, rays and lists for the channel `input` (CountX x CountY
  // cells). Throws ERealViewLimits for an arc wider than 1000 columns a side and
  // ERealViewMemory when the estimated size passes `memoryCap`, both before
  // allocating the rays. The rays and lists are built by rows on up to `workers`
  // threads, identical for any count.
  void Build(const int32_t* input, int32_t countX, int32_t countY, const TRealViewParams& p, long double sinA,
             uint64_t memoryCap, int workers = 1);
  // The same for any arcs; `measured` holds the points' measured values.
  void Build(const int32_t* measured, int32_t countX, int32_t countY, const TRealViewGeometry& arcs,
             uint64_t memoryCap, int workers = 1);

  // Ray entries of the model (an upper bound: entries outside are dropped).
  static uint64_t EstimateEntries(int32_t countX, int32_t countY, const TRealViewParams& p, long double sinA);
  static uint64_t EstimateEntries(int32_t countX, int32_t countY, const TRealViewGeometry& arcs);
  // Bytes the model of these dimensions and arcs takes (an upper bound).
  static uint64_t EstimateBytes(int32_t countX, int32_t countY, const TRealViewParams& p, long double sinA);
  static uint64_t EstimateBytes(int32_t countX, int32_t countY, const TRealViewGeometry& arcs);
  // Bytes of one ray entry with its list entry, and of one cell (five values,
  // the ray's start, length and weights, the list's start).
  static constexpr uint64_t EntryBytes = 2 * sizeof(int32_t) + 2 * sizeof(uint16_t);
  static constexpr uint64_t CellBytes = 7 * sizeof(int32_t) + 2 * sizeof(int64_t);

  void CalcSumA(int32_t p);
  void UpdateCell(int32_t m);
  // One iteration in the reference order on one stripe, the point
  // recomputations of a changed cell shared by up to `workers` threads (they are
  // independent; a point listed twice stays with one thread, in list order).
  void SweepSharingPoints(int workers);
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
  bool SingleDenominator = false;
  std::vector<int32_t> Am, AmNew, dAmPred, dAmNew;
  std::vector<int32_t> Bm;
  // Rays in building order (rows, then columns); the ray of point p is entries
  // Points[p].Start .. Points[p].Start + CountB(p) - 1. An entry holds its cell
  // and its arc offset |k|; the weight of offset k of an arc of half-width E is
  // Weights[E (E + 1) / 2 + |k|], and Points[p].WeightBase = E (E + 1) / 2 of p's
  // arc.
  struct TPointRay {
    int64_t Start;
    int32_t CountB;
    int32_t WeightBase;
    bool operator==(const TPointRay&) const = default;
  };
  // Entries are written once by the build's parts: left uninitialised until then.
  template <class T>
  struct TUninitialized : std::allocator<T> {
    template <class U>
    struct rebind {
      using other = TUninitialized<U>;
    };
    template <class U>
    void construct(U* p) noexcept {
      ::new (static_cast<void*>(p)) U;
    }
    template <class U, class... Args>
    void construct(U* p, Args&&... args) {
      ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
  };
  std::vector<TPointRay> Points;
  std::vector<int32_t, TUninitialized<int32_t>> RayCell;
  std::vector<uint16_t, TUninitialized<uint16_t>> RayOffset;
  std::vector<float> Weights;
  // List of cell m: entries ListStart[m] .. ListStart[m + 1] - 1, in ray-building
  // order: the point and the offset of its ray entry (a cell named twice on a ray,
  // by the mirror, has the same offset both times, so the weight is GetBiK's).
  std::vector<int64_t> ListStart;
  std::vector<int32_t, TUninitialized<int32_t>> ListPoint;
  std::vector<uint16_t, TUninitialized<uint16_t>> ListOffset;

  int64_t RayBegin(int32_t p) const { return Points[static_cast<size_t>(p)].Start; }
  int64_t RayEnd(int32_t p) const { return RayBegin(p) + CountB(p); }
  int32_t CountB(int32_t p) const { return Points[static_cast<size_t>(p)].CountB; }
  int64_t Entries() const { return static_cast<int64_t>(RayCell.size()); }
  // Entry e of the whole ray array, and the weight of entry e of point p's ray.
  int32_t RayCellAt(int64_t e) const { return RayCell[static_cast<size_t>(e)]; }
  float RayWeight(int32_t p, int64_t e) const {
    return Weights[static_cast<size_t>(Points[static_cast<size_t>(p)].WeightBase) + RayOffset[static_cast<size_t>(e)]];
  }
  int64_t ListCount(int32_t m) const { return ListStart[static_cast<size_t>(m) + 1] - ListStart[static_cast<size_t>(m)]; }
  int32_t ListPointAt(int64_t e) const { return ListPoint[static_cast<size_t>(e)]; }
  // The GetBiK weight of list entry e.
  float ListWeight(int64_t e) const {
    const int32_t p = ListPoint[static_cast<size_t>(e)];
    return Weights[static_cast<size_t>(Points[static_cast<size_t>(p)].WeightBase) + ListOffset[static_cast<size_t>(e)]];
  }

  // The cell update, its recomputations shared with `team` when given.
  void UpdateCellWith(int32_t m, real_view_engine::TPointTeam* team);

  // Every row of the columns [from, to) after the neighbours' rows as above;
  // rowsDone[s] counts the rows stripe s has finished.
  void RunStripe(int stripe, int stripes, int32_t from, int32_t to, std::vector<std::atomic<int32_t>>& rowsDone);
};

// One iteration's stripes and their progress.
struct TStripeSweep {
  TStripeSweep(TRealViewModel& model, int workers);
  TRealViewModel& Model;
  int Workers;
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

// One sweep on TCalcThread workers (at most `workers`), `poll` called while they
// run (the caller's message loop).
void RealViewSweep(TRealViewModel& model, int workers, const std::function<void()>& poll);

// The iterations of a run or a scan candidate. Before iteration n `before(n)`
// shows the progress and processes messages; false from it (the window's break
// flag) ends the run. After each sweep `after(n)`; then `stopAfter()` true (the
// dialog's space key) ends the run. Gives the sweeps completed.
struct TRealViewIterations {
  std::function<bool(int32_t)> before;
  std::function<void()> poll;
  std::function<void(int32_t)> after;
  std::function<bool()> stopAfter;
};
int RealViewIterate(TRealViewModel& model, int32_t iterations, int workers, const TRealViewIterations& hooks);

// "<label> dA=<residual> dABal=<residual / amplitude in per cent>%".
QString RealViewResidualLine(const QString& label, const TRealViewModel& model);

// The parameter scan's candidates: type 0 X/Y, 1 dH, 2 spacing, 3 angle,
// 4 decrease (from `firstDecrease` to 19, in steps of 5 %).
struct TRealViewScanValues {
  long double XYProportional = 0;
  long double DistanceRecept = 0;
  long double DecriseAmp = 0;
  int32_t dH = 0;
  int32_t Alpha = 0;
};
struct TRealViewScanRange {
  int64_t from = 0, to = -1;
};
TRealViewScanRange RealViewScanRange(int32_t type, const TRealViewScanValues& v, int64_t firstDecrease);
// Sets candidate k into `v` and gives its log label.
QString RealViewScanCandidate(int32_t type, int64_t k, TRealViewScanValues& v);
