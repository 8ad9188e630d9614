#include "tools/imaging/real_view_engine.h"

#include "platform/rtl/rounding.h"

#include <algorithm>
#include <exception>
#include <functional>
#include <cmath>
#include <limits>
#include <memory>
#include <numbers>
#include <thread>

#include <unistd.h>

static_assert(std::numeric_limits<long double>::digits == 64);

namespace real_view_engine {
constexpr long double Pi = std::numbers::pi_v<long double>;

// RoundToInt32Fast for the sweep's inner loops: the integral value goes to int32
// through double (exact below 2^53), so the conversion needs no switch of the
// x87 rounding mode, which some processors serialise.
inline int32_t RoundSum(long double v) {
  const long double r = __builtin_rintl(v);
  if (!(r == r)) return 0;
  if (r >= 2147483647.0L) return std::numeric_limits<int32_t>::max();
  if (r <= -2147483648.0L) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(static_cast<double>(r));
}
}  // namespace real_view_engine

ERealViewLimits::ERealViewLimits(int64_t halfWidth)
    : std::runtime_error("Hyperbola array limits " + std::to_string(halfWidth)), HalfWidth(halfWidth) {}

QString ERealViewLimits::Text() const { return QString::fromUtf8(what()); }

int32_t RealViewAlpha(int32_t minAmpSect) {
  const int32_t full = std::clamp(minAmpSect, 0, 180);
  return static_cast<int32_t>(Round(full / 2.0L));
}

long double RealViewSinA(int32_t alpha) { return std::sin(alpha * real_view_engine::Pi / 180); }

bool RealViewParamsUsable(const TRealViewParams& p) {
  return std::isfinite(p.XYProportional) && p.XYProportional > 0 && std::isfinite(p.dz) && p.dz > 0 &&
         std::isfinite(p.DistanceRecept) && std::isfinite(p.DecriseAmp);
}

long double ArcWeight(int32_t halfWidth, int32_t offset, long double decrease) {
  if (halfWidth == 0) return 1;
  return std::cos(static_cast<long double>(offset) / halfWidth * decrease * real_view_engine::Pi / 2);
}

namespace real_view_engine {
struct TArcGeometry {
  long double m, t;
  bool oneCell;
};
TArcGeometry Geometry(const TRealViewParams& p, int32_t y, int32_t& dR2) {
  const long double m = static_cast<long double>(p.dH) + y;
  const long double o = p.DistanceRecept / 2 / p.dz;
  const long double t = std::sqrt(o * o + m * m);
  dR2 = RoundToInt32(o / p.XYProportional);
  // Row 0 forms no arc of its own; its cells are their own rays.
  const bool oneCell = m < 0 || t == 0 || y == 0;
  if (oneCell) dR2 = 0;
  return {m, t, oneCell};
}
}  // namespace real_view_engine

TRealViewArcSize ArcSize(const TRealViewParams& p, long double sinA, int32_t y) {
  TRealViewArcSize s;
  const real_view_engine::TArcGeometry g = real_view_engine::Geometry(p, y, s.dR2);
  if (!g.oneCell) s.E = Round(g.t * sinA / p.XYProportional);
  return s;
}

TRealViewArc BuildArc(const TRealViewParams& p, long double sinA, int32_t y) {
  TRealViewArc arc;
  const real_view_engine::TArcGeometry g = real_view_engine::Geometry(p, y, arc.dR2);
  if (g.oneCell) {
    arc.Depth = {static_cast<long double>(y)};
    arc.Weight = {1};
    return arc;
  }
  const int64_t e = Round(g.t * sinA / p.XYProportional);
  if (e > RealViewMaxHalfWidth || e < -RealViewMaxHalfWidth) throw ERealViewLimits(e);
  arc.dXArc = static_cast<int32_t>(std::max<int64_t>(e, 0));
  const int32_t E = arc.dXArc;
  arc.Depth.resize(static_cast<size_t>(2 * E + 1));
  arc.Weight.resize(arc.Depth.size());
  for (int32_t i = -E; i <= E; ++i) {
    const long double r = i * p.XYProportional;
    const double z = static_cast<double>(g.m * std::sqrt(std::fabs(1 - r * r / (g.t * g.t))) - p.dH);
    arc.Depth[static_cast<size_t>(i + E)] = z < 0 ? 0 : z;
    arc.Weight[static_cast<size_t>(i + E)] = ArcWeight(E, std::abs(i), p.DecriseAmp);
  }
  return arc;
}

int64_t TRealViewRowArcs::HalfWidth(int32_t, int32_t y) const { return ArcSize(p_, sinA_, y).E; }

void TRealViewRowArcs::Arc(int32_t, int32_t y, TArcRows& arc) const {
  const TRealViewArc a = BuildArc(p_, sinA_, y);
  arc.dR2 = a.dR2;
  arc.E = a.dXArc;
  arc.Row.resize(static_cast<size_t>(2 * arc.E + 1));
  for (int32_t k = -arc.E; k <= arc.E; ++k) {
    const int64_t row = Round(a.DepthAt(k));
    // A row outside the profile would name a cell of the next column.
    arc.Row[static_cast<size_t>(k + arc.E)] = row < 0 || row >= countY_ ? -1 : static_cast<int32_t>(row);
  }
}

uint64_t TRealViewModel::DefaultMemoryCap() {
  const long pages = sysconf(_SC_PHYS_PAGES);
  const long size = sysconf(_SC_PAGE_SIZE);
  if (pages <= 0 || size <= 0) return uint64_t{1} << 30;
  return static_cast<uint64_t>(pages) * static_cast<uint64_t>(size) / 4;
}

namespace real_view_engine {
// The arcs' widest half-width and the ray entries they give at most; with
// `limits`, the first arc past 1000 columns (rows ascending, then columns) throws.
struct TArcMeasure {
  int64_t MaxE = 0;
  uint64_t Entries = 0;
};
TArcMeasure Measure(int32_t countX, int32_t countY, const TRealViewGeometry& arcs, bool limits) {
  TArcMeasure m;
  for (int32_t y = 0; y < countY; ++y) {
    const int32_t columns = arcs.PerCell() ? countX : 1;
    for (int32_t x = 0; x < columns; ++x) {
      const int64_t e = arcs.HalfWidth(x, y);
      if (limits && (e > RealViewMaxHalfWidth || e < -RealViewMaxHalfWidth)) throw ERealViewLimits(e);
      const int64_t width = std::max<int64_t>(e, 0);
      m.MaxE = std::max(m.MaxE, width);
      m.Entries += static_cast<uint64_t>(arcs.PerCell() ? 1 : countX) * static_cast<uint64_t>(2 * width + 1);
    }
  }
  return m;
}

// Runs body(part) for part 0 .. parts - 1, part 0 on the calling thread, the
// others on threads of their own; the first part's exception is rethrown once
// all have ended.
void RunParts(int parts, const std::function<void(int)>& body) {
  if (parts <= 1) {
    body(0);
    return;
  }
  std::vector<std::exception_ptr> errors(static_cast<size_t>(parts));
  {
    std::vector<std::jthread> threads;
    const auto guarded = [&](int t) {
      try {
        body(t);
      } catch (...) {
        errors[static_cast<size_t>(t)] = std::current_exception();
      }
    };
    for (int t = 1; t < parts; ++t) threads.emplace_back(guarded, t);
    guarded(0);
  }
  for (const std::exception_ptr& e : errors)
    if (e) std::rethrow_exception(e);
}

// Calls f(cell, |offset|) for the kept entries of the ray of column x, in column
// order: a column outside the profile is mirrored at the centre, and dropped
// when the mirror lies outside too.
template <class F>
void ForRay(const TArcRows& arc, int32_t x, int32_t countX, int32_t countY, F&& f) {
  const int64_t c = static_cast<int64_t>(x) + arc.dR2;
  const int32_t E = arc.E;
  for (int64_t j = c - E; j <= c + E; ++j) {
    int64_t col = j;
    if (col < 0 || col >= countX) col = 2 * c - j;
    if (col < 0 || col >= countX) continue;
    const int32_t row = arc.Row[static_cast<size_t>(col - c + E)];
    if (row < 0) continue;
    f(static_cast<int32_t>(row + static_cast<int64_t>(countY) * col), static_cast<uint16_t>(std::abs(col - c)));
  }
}
}  // namespace real_view_engine

uint64_t TRealViewModel::EstimateEntries(int32_t countX, int32_t countY, const TRealViewGeometry& arcs) {
  return real_view_engine::Measure(countX, countY, arcs, false).Entries;
}

uint64_t TRealViewModel::EstimateEntries(int32_t countX, int32_t countY, const TRealViewParams& p,
                                         long double sinA) {
  return EstimateEntries(countX, countY, TRealViewRowArcs(p, sinA, countY));
}

uint64_t TRealViewModel::EstimateBytes(int32_t countX, int32_t countY, const TRealViewGeometry& arcs) {
  const uint64_t cells = static_cast<uint64_t>(std::max(countX, 0)) * static_cast<uint64_t>(std::max(countY, 0));
  return EstimateEntries(countX, countY, arcs) * EntryBytes + cells * CellBytes;
}

uint64_t TRealViewModel::EstimateBytes(int32_t countX, int32_t countY, const TRealViewParams& p,
                                       long double sinA) {
  return EstimateBytes(countX, countY, TRealViewRowArcs(p, sinA, countY));
}

void TRealViewModel::Build(const int32_t* input, int32_t countX, int32_t countY, const TRealViewParams& p,
                           long double sinA, uint64_t memoryCap, int workers) {
  Build(input, countX, countY, TRealViewRowArcs(p, sinA, countY), memoryCap, workers);
}

void TRealViewModel::Build(const int32_t* measured, int32_t countX, int32_t countY, const TRealViewGeometry& arcs,
                           uint64_t memoryCap, int workers) {
  using real_view_engine::ForRay;
  using real_view_engine::RunParts;
  countX = std::max(countX, 0);
  countY = std::max(countY, 0);
  // The cells alone must fit before their arcs are measured; the first too-wide
  // arc is reported before anything is allocated.
  const uint64_t cells = static_cast<uint64_t>(countX) * static_cast<uint64_t>(countY);
  if (cells > static_cast<uint64_t>(std::numeric_limits<int32_t>::max()) || cells * CellBytes > memoryCap)
    throw ERealViewMemory();
  const real_view_engine::TArcMeasure size = real_view_engine::Measure(countX, countY, arcs, true);
  if (size.Entries * EntryBytes + cells * CellBytes > memoryCap) throw ERealViewMemory();

  CountX = countX;
  CountY = countY;
  CountAB = static_cast<int32_t>(cells);
  MaxHalfWidth = static_cast<int32_t>(size.MaxE);
  SingleDenominator = arcs.SingleDenominator();
  const size_t n = static_cast<size_t>(CountAB);
  Am.assign(measured, measured + n);
  AmNew.assign(n, 0);
  dAmPred.assign(n, 100000);
  dAmNew.assign(n, 0);
  Bm.assign(n, 0);
  Points.assign(n, {0, 0, 0});
  ListStart.assign(n + 1, 0);

  // The weight of offset a of an arc of half-width E, as a ray keeps it.
  const int64_t maxE = size.MaxE;
  Weights.resize(static_cast<size_t>((maxE + 1) * (maxE + 2) / 2));
  for (int32_t E = 0; E <= maxE; ++E)
    for (int32_t a = 0; a <= E; ++a)
      Weights[static_cast<size_t>(E * (E + 1) / 2 + a)] = static_cast<float>(ArcWeight(E, a, arcs.Decrease()));

  const int parts = static_cast<int>(std::clamp<int64_t>(std::min<int64_t>(workers, countY), 1, 16));
  // Each point's arc and ray length; rows taken one at a time by any part.
  std::atomic<int32_t> nextRow{0};
  RunParts(parts, [&](int) {
    TArcRows arc;
    for (int32_t y = nextRow++; y < countY; y = nextRow++) {
      if (!arcs.PerCell()) arcs.Arc(0, y, arc);
      for (int32_t x = 0; x < countX; ++x) {
        if (arcs.PerCell()) arcs.Arc(x, y, arc);
        const size_t p = static_cast<size_t>(x) * static_cast<size_t>(countY) + static_cast<size_t>(y);
        int32_t count = 0;
        ForRay(arc, x, countX, countY, [&](int32_t, uint16_t) { ++count; });
        Points[p].CountB = count;
        Points[p].WeightBase = arc.E * (arc.E + 1) / 2;
      }
    }
  });

  // Ray offsets in building order (rows, then columns), and contiguous blocks of
  // rows with about equal numbers of entries for the parts.
  std::vector<int64_t> rowFirst(static_cast<size_t>(countY) + 1, 0);
  int64_t total = 0;
  for (int32_t y = 0; y < countY; ++y) {
    rowFirst[static_cast<size_t>(y)] = total;
    for (int32_t x = 0; x < countX; ++x) {
      const size_t p = static_cast<size_t>(x) * static_cast<size_t>(countY) + static_cast<size_t>(y);
      Points[p].Start = total;
      total += Points[p].CountB;
    }
  }
  rowFirst[static_cast<size_t>(countY)] = total;
  std::vector<int32_t> blockRow(static_cast<size_t>(parts) + 1, countY);
  blockRow[0] = 0;
  for (int t = 1; t < parts; ++t) {
    const int64_t target = total * t / parts;
    blockRow[static_cast<size_t>(t)] = static_cast<int32_t>(
        std::lower_bound(rowFirst.begin(), rowFirst.end() - 1, target) - rowFirst.begin());
    blockRow[static_cast<size_t>(t)] = std::max(blockRow[static_cast<size_t>(t)], blockRow[static_cast<size_t>(t) - 1]);
  }
  // Every entry is written below, each by the part of its rows (which also
  // touches the memory first).
  RayCell.clear();
  RayOffset.clear();
  ListPoint.clear();
  ListOffset.clear();
  RayCell.resize(static_cast<size_t>(total));
  RayOffset.resize(static_cast<size_t>(total));
  ListPoint.resize(static_cast<size_t>(total));
  ListOffset.resize(static_cast<size_t>(total));

  // The rays, each part counting the entries of its rows per cell.
  std::vector<std::vector<int32_t>> hits(static_cast<size_t>(parts));
  const auto forPoints = [&](int t, auto&& f) {
    TArcRows arc;
    for (int32_t y = blockRow[static_cast<size_t>(t)]; y < blockRow[static_cast<size_t>(t) + 1]; ++y) {
      if (!arcs.PerCell()) arcs.Arc(0, y, arc);
      for (int32_t x = 0; x < countX; ++x) {
        if (arcs.PerCell()) arcs.Arc(x, y, arc);
        f(arc, x, y);
      }
    }
  };
  RunParts(parts, [&](int t) {
    std::vector<int32_t>& own = hits[static_cast<size_t>(t)];
    own.assign(n, 0);
    forPoints(t, [&](const TArcRows& arc, int32_t x, int32_t y) {
      int64_t e = Points[static_cast<size_t>(x) * static_cast<size_t>(countY) + static_cast<size_t>(y)].Start;
      ForRay(arc, x, countX, countY, [&](int32_t cell, uint16_t k) {
        RayCell[static_cast<size_t>(e)] = cell;
        RayOffset[static_cast<size_t>(e)] = k;
        ++e;
        ++own[static_cast<size_t>(cell)];
      });
    });
  });

  // Per cell, where each part's points start in its list (parts in order).
  RunParts(parts, [&](int t) {
    const size_t from = n * static_cast<size_t>(t) / static_cast<size_t>(parts);
    const size_t to = n * (static_cast<size_t>(t) + 1) / static_cast<size_t>(parts);
    for (size_t m = from; m < to; ++m) {
      int32_t offset = 0;
      for (std::vector<int32_t>& own : hits) {
        const int32_t count = own[m];
        own[m] = offset;
        offset += count;
      }
      ListStart[m + 1] = offset;
    }
  });
  for (size_t m = 0; m < n; ++m) ListStart[m + 1] += ListStart[m];

  // Lists: the points of the rays through each cell, in building order.
  RunParts(parts, [&](int t) {
    std::vector<int32_t>& own = hits[static_cast<size_t>(t)];
    for (int32_t y = blockRow[static_cast<size_t>(t)]; y < blockRow[static_cast<size_t>(t) + 1]; ++y)
      for (int32_t x = 0; x < countX; ++x) {
        const int32_t point = x * countY + y;
        for (int64_t e = RayBegin(point), end = RayEnd(point); e < end; ++e) {
          const auto cell = static_cast<size_t>(RayCell[static_cast<size_t>(e)]);
          const auto at = static_cast<size_t>(ListStart[cell] + own[cell]++);
          ListPoint[at] = point;
          ListOffset[at] = RayOffset[static_cast<size_t>(e)];
        }
      }
    std::vector<int32_t>().swap(own);
  });
  RunParts(parts, [&](int t) {
    const auto from = static_cast<int32_t>(static_cast<int64_t>(CountAB) * t / parts);
    const auto to = static_cast<int32_t>(static_cast<int64_t>(CountAB) * (t + 1) / parts);
    for (int32_t q = from; q < to; ++q) CalcSumA(q);
  });
}

void TRealViewModel::CalcSumA(int32_t p) {
  long double sum = 0;
  const TPointRay& ray = Points[static_cast<size_t>(p)];
  const float* weight = Weights.data() + ray.WeightBase;
  for (int64_t e = ray.Start, end = ray.Start + ray.CountB; e < end; ++e)
    sum += static_cast<long double>(Bm[static_cast<size_t>(RayCell[static_cast<size_t>(e)])]) *
           weight[RayOffset[static_cast<size_t>(e)]];
  AmNew[p] = real_view_engine::RoundSum(sum);
  dAmPred[p] = dAmNew[p];
  dAmNew[p] = SaturateToInt32(static_cast<int64_t>(Am[p]) - AmNew[p]);
}

namespace real_view_engine {
// Helper threads that recompute the points of one changed cell with the sweeping
// thread. The list is cut into parts that any thread claims in turn, the
// sweeping one included, so a helper the system has not scheduled delays
// nothing: the sweeping thread takes its parts. It waits only for parts a helper
// has claimed.
class TPointTeam {
public:
  TPointTeam(TRealViewModel& model, int threads)
      : model_(model), parts_(2 * threads), bounds_(static_cast<size_t>(parts_) + 1) {
    next_.store(parts_);
    for (int t = 1; t < threads; ++t) helpers_.emplace_back([this] { Help(); });
  }
  ~TPointTeam() {
    stop_.store(true);
    Publish();
    helpers_.clear();
  }
  // Lists shorter than this are recomputed by the sweeping thread alone.
  static constexpr int64_t MinShared = 48;

  void Recompute(int64_t first, int64_t last) {
    const int64_t length = last - first;
    bounds_[0] = first;
    for (int t = 1; t < parts_; ++t) {
      int64_t b = std::max(first + length * t / parts_, bounds_[static_cast<size_t>(t) - 1]);
      // A point the mirror lists twice (adjacent entries) stays in one part.
      while (b > first && b < last && model_.ListPoint[static_cast<size_t>(b)] == model_.ListPoint[static_cast<size_t>(b) - 1])
        ++b;
      bounds_[static_cast<size_t>(t)] = b;
    }
    bounds_[static_cast<size_t>(parts_)] = last;
    done_.store(0);
    next_.store(0);
    Publish();
    Claim();
    for (int spins = 0; done_.load() != parts_; ++spins)
      if (spins > SpinLimit) std::this_thread::yield();
  }

private:
  // Checks of a flag before a helper sleeps on it.
  static constexpr int SpinLimit = 2000;

  void Publish() {
    generation_.fetch_add(1);
    if (sleepers_.load() > 0) generation_.notify_all();
  }
  // Parts of the current list until none is left.
  void Claim() {
    for (int t = next_.fetch_add(1); t < parts_; t = next_.fetch_add(1)) {
      for (int64_t e = bounds_[static_cast<size_t>(t)]; e < bounds_[static_cast<size_t>(t) + 1]; ++e)
        model_.CalcSumA(model_.ListPoint[static_cast<size_t>(e)]);
      done_.fetch_add(1);
    }
  }
  void Help() {
    uint64_t seen = 0;
    for (;;) {
      for (int spins = 0; generation_.load() == seen; ++spins) {
        if (spins < SpinLimit) continue;
        sleepers_.fetch_add(1);
        generation_.wait(seen);
        sleepers_.fetch_sub(1);
      }
      seen = generation_.load();
      if (stop_.load()) return;
      Claim();
    }
  }
  TRealViewModel& model_;
  const int parts_;
  std::vector<int64_t> bounds_;
  // All sequentially consistent: a sleeper's count and the value it sleeps on
  // are ordered with the publisher's change and its check for sleepers; the
  // bounds are written before `next_` opens the parts and read after a claim.
  std::atomic<uint64_t> generation_{0};
  std::atomic<int> sleepers_{0};
  std::atomic<int> next_{0};
  std::atomic<int> done_{0};
  std::atomic<bool> stop_{false};
  std::vector<std::jthread> helpers_;
};
}  // namespace real_view_engine

void TRealViewModel::UpdateCell(int32_t m) { UpdateCellWith(m, nullptr); }

void TRealViewModel::SweepSharingPoints(int workers) {
  const int parts = std::clamp(workers, 1, 16);
  if (parts == 1) {
    SweepSerial();
    return;
  }
  real_view_engine::TPointTeam team(*this, parts);
  for (int32_t y = 0; y < CountY; ++y)
    for (int32_t x = 0; x < CountX; ++x) UpdateCellWith(x * CountY + y, &team);
}

void TRealViewModel::UpdateCellWith(int32_t m, real_view_engine::TPointTeam* team) {
  int64_t delta = 0;
  const int64_t first = ListStart[static_cast<size_t>(m)], last = ListStart[static_cast<size_t>(m) + 1];
  for (int64_t e = first; e < last; ++e) {
    const int32_t p = ListPoint[static_cast<size_t>(e)];
    const TPointRay& ray = Points[static_cast<size_t>(p)];
    long double den = static_cast<long double>(ray.CountB) *
                      Weights[static_cast<size_t>(ray.WeightBase) + ListOffset[static_cast<size_t>(e)]];
    if (SingleDenominator) den = static_cast<float>(den);
    if (!(den > 0)) continue;
    delta += real_view_engine::RoundSum(dAmNew[p] / den);
  }
  const int32_t d = SaturateToInt32(delta);
  if (d >= -1 && d <= 1) return;
  Bm[m] = SaturateToInt32(static_cast<int64_t>(Bm[m]) + d);
  if (team && last - first >= real_view_engine::TPointTeam::MinShared) {
    team->Recompute(first, last);
    return;
  }
  for (int64_t e = first; e < last; ++e) CalcSumA(ListPoint[static_cast<size_t>(e)]);
}

void TRealViewModel::SweepSerial() {
  for (int32_t y = 0; y < CountY; ++y)
    for (int32_t x = 0; x < CountX; ++x) UpdateCell(x * CountY + y);
}

int TRealViewModel::StripeCount(int workers) const {
  const int64_t width = 2 * static_cast<int64_t>(MaxHalfWidth) + 1;
  const int64_t fit = CountX / width;
  return static_cast<int>(std::clamp<int64_t>(std::min<int64_t>(workers, fit), 1, 16));
}

void TRealViewModel::RunStripe(int s, int stripes, int32_t from, int32_t to,
                               std::vector<std::atomic<int32_t>>& rowsDone) {
  // Columns from `near` on lie within 2 E_max of the right neighbour's: only they
  // wait for its row y - 1. The rest of the row runs while it finishes that row.
  const int32_t near = std::max(from, static_cast<int32_t>(to - 2 * static_cast<int64_t>(MaxHalfWidth)));
  const auto waitFor = [&](int neighbour, int32_t rows) {
    for (int32_t seen = rowsDone[neighbour].load(std::memory_order_acquire); seen < rows;
         seen = rowsDone[neighbour].load(std::memory_order_acquire))
      rowsDone[neighbour].wait(seen, std::memory_order_acquire);
  };
  for (int32_t y = 0; y < CountY; ++y) {
    // Left neighbour past row y, right neighbour past row y - 1.
    if (s > 0) waitFor(s - 1, y + 1);
    for (int32_t x = from; x < near; ++x) UpdateCell(x * CountY + y);
    if (s + 1 < stripes) waitFor(s + 1, y);
    for (int32_t x = near; x < to; ++x) UpdateCell(x * CountY + y);
    rowsDone[s].store(y + 1, std::memory_order_release);
    rowsDone[s].notify_all();
  }
}

TStripeSweep::TStripeSweep(TRealViewModel& model, int workers)
    : Model(model), Workers(workers), Stripes(model.StripeCount(workers)), RowsDone(static_cast<size_t>(Stripes)) {
  for (auto& r : RowsDone) r.store(0);
}

int32_t TStripeSweep::StripeFrom(int s) const {
  return static_cast<int32_t>(static_cast<int64_t>(Model.CountX) * s / Stripes);
}

TCalcThread::TCalcThread(TStripeSweep& sweep, int stripe)
    : FFrom(sweep.StripeFrom(stripe)), FTo(sweep.StripeFrom(stripe + 1) - 1) {
  thread_ = std::jthread([this, &sweep, stripe] {
    // Too narrow a profile for two stripes: the one stripe shares its cells'
    // point recomputations.
    if (sweep.Stripes == 1 && sweep.Workers > 1)
      sweep.Model.SweepSharingPoints(sweep.Workers);
    else
      sweep.Model.RunStripe(stripe, sweep.Stripes, FFrom, FTo + 1, sweep.RowsDone);
    FIsDone.store(true, std::memory_order_release);
  });
}

void TRealViewModel::SweepParallel(int workers) {
  TStripeSweep sweep(*this, workers);
  if (sweep.Stripes <= 1) {
    SweepSharingPoints(workers);
    return;
  }
  std::vector<std::unique_ptr<TCalcThread>> threads;
  for (int s = 0; s < sweep.Stripes; ++s) threads.push_back(std::make_unique<TCalcThread>(sweep, s));
  threads.clear();
}

int64_t TRealViewModel::SumResidual() const {
  long double s = 0;
  for (int32_t v : dAmNew) s += std::fabs(static_cast<long double>(v));
  return Round(s / 1000);
}

int64_t TRealViewModel::SumAmplitude() const {
  long double s = 0;
  for (int32_t v : Am) s += std::fabs(static_cast<long double>(v));
  return Round(s / 1000);
}

void TRealViewModel::ModelToView(int32_t* out) const { std::copy(Bm.begin(), Bm.end(), out); }

void RealViewSweep(TRealViewModel& model, int workers, const std::function<void()>& poll) {
  TStripeSweep sweep(model, workers);
  std::vector<std::unique_ptr<TCalcThread>> threads;
  for (int s = 0; s < sweep.Stripes; ++s) threads.push_back(std::make_unique<TCalcThread>(sweep, s));
  for (bool done = false; !done;) {
    done = true;
    for (const auto& t : threads) done = done && t->IsDone();
    if (done) break;
    if (poll) poll();
    std::this_thread::yield();
  }
  threads.clear();
}

int RealViewIterate(TRealViewModel& model, int32_t iterations, int workers, const TRealViewIterations& hooks) {
  int completed = 0;
  for (int32_t n = 0; n < iterations; ++n) {
    if (hooks.before && !hooks.before(n)) break;
    RealViewSweep(model, workers, hooks.poll);
    ++completed;
    if (hooks.after) hooks.after(n);
    if (hooks.stopAfter && hooks.stopAfter()) break;
  }
  return completed;
}

QString RealViewResidualLine(const QString& label, const TRealViewModel& model) {
  const int64_t residual = model.SumResidual();
  const int64_t amplitude = model.SumAmplitude();
  const int64_t balance = amplitude == 0 ? 0 : Round(static_cast<long double>(residual) / amplitude * 100);
  return QStringLiteral("%1 dA=%2 dABal=%3%").arg(label).arg(residual).arg(balance);
}

TRealViewScanRange RealViewScanRange(int32_t type, const TRealViewScanValues& v, int64_t firstDecrease) {
  switch (type) {
    case 0: return {std::max<int64_t>(Round((v.XYProportional - 5) * 2), 1), Round((v.XYProportional + 5) * 2)};
    case 1: return {int64_t{v.dH} - 10, int64_t{v.dH} + 10};
    case 2: return {Round((v.DistanceRecept - 0.5L) * 20), Round((v.DistanceRecept + 0.5L) * 20)};
    case 3: return {4, 17};
    case 4: return {firstDecrease, 19};
    default: return {};
  }
}

QString RealViewScanCandidate(int32_t type, int64_t k, TRealViewScanValues& v) {
  switch (type) {
    case 0:
      v.XYProportional = k / 2.0L;
      return QStringLiteral("XY=%1").arg(static_cast<double>(v.XYProportional), 0, 'f', 1);
    case 1:
      v.dH = static_cast<int32_t>(k);
      return QStringLiteral("dH=%1").arg(k);
    case 2:
      v.DistanceRecept = k / 20.0L;
      return QStringLiteral("dRT=%1").arg(static_cast<double>(v.DistanceRecept), 0, 'f', 2);
    case 3:
      v.Alpha = static_cast<int32_t>(5 * k);
      return QStringLiteral("A=%1").arg(10 * k);
    default:
      v.DecriseAmp = 5 * k / 100.0L;
      return QStringLiteral("decA=%1%").arg(Round(v.DecriseAmp * 100));
  }
}
