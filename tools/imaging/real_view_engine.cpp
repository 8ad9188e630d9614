#include "tools/imaging/real_view_engine.h"

#include "platform/rtl/rounding.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <numbers>
#include <thread>

#include <unistd.h>

static_assert(std::numeric_limits<long double>::digits == 64);

namespace real_view_engine {
constexpr long double Pi = std::numbers::pi_v<long double>;
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

uint64_t TRealViewModel::DefaultMemoryCap() {
  const long pages = sysconf(_SC_PHYS_PAGES);
  const long size = sysconf(_SC_PAGE_SIZE);
  if (pages <= 0 || size <= 0) return uint64_t{1} << 30;
  return static_cast<uint64_t>(pages) * static_cast<uint64_t>(size) / 4;
}

uint64_t TRealViewModel::EstimateEntries(int32_t countX, int32_t countY, const TRealViewParams& p,
                                         long double sinA) {
  uint64_t entries = 0;
  for (int32_t y = 0; y < countY; ++y) {
    const int64_t e = std::max<int64_t>(ArcSize(p, sinA, y).E, 0);
    entries += static_cast<uint64_t>(countX) * static_cast<uint64_t>(2 * e + 1);
  }
  return entries;
}

uint64_t TRealViewModel::EstimateBytes(int32_t countX, int32_t countY, const TRealViewParams& p,
                                       long double sinA) {
  const uint64_t entries = EstimateEntries(countX, countY, p, sinA);
  const uint64_t cells = static_cast<uint64_t>(countX) * static_cast<uint64_t>(countY);
  // Per entry a ray entry and a list entry; per cell five int32 fields and two
  // offsets.
  return entries * (sizeof(TRayEntry) + sizeof(TListEntry)) + cells * (5 * sizeof(int32_t) + 2 * sizeof(int64_t));
}

void TRealViewModel::Build(const int32_t* input, int32_t countX, int32_t countY, const TRealViewParams& p,
                           long double sinA, uint64_t memoryCap) {
  // The first too-wide row is reported before anything is allocated.
  int64_t maxE = 0;
  for (int32_t y = 0; y < countY; ++y) {
    const int64_t e = ArcSize(p, sinA, y).E;
    if (e > RealViewMaxHalfWidth || e < -RealViewMaxHalfWidth) throw ERealViewLimits(e);
    maxE = std::max(maxE, e);
  }
  if (EstimateBytes(countX, countY, p, sinA) > memoryCap) throw ERealViewMemory();

  CountX = countX;
  CountY = countY;
  CountAB = static_cast<int32_t>(static_cast<int64_t>(countX) * countY);
  MaxHalfWidth = static_cast<int32_t>(maxE);
  const size_t n = static_cast<size_t>(CountAB);
  Am.assign(input, input + n);
  AmNew.assign(n, 0);
  dAmPred.assign(n, 100000);
  dAmNew.assign(n, 0);
  Bm.assign(n, 0);
  RayStart.assign(n + 1, 0);
  Rays.clear();
  ListStart.assign(n + 1, 0);
  Lists.clear();

  // Rays row by row, the order the cells' lists keep. The row and weight of an
  // arc offset are the same for every point of a row.
  Rays.reserve(static_cast<size_t>(EstimateEntries(countX, countY, p, sinA)));
  std::vector<int32_t> rowAt;
  std::vector<float> weightAt;
  size_t b = 0;
  for (int32_t y = 0; y < countY; ++y) {
    const TRealViewArc arc = BuildArc(p, sinA, y);
    const int32_t E = arc.dXArc;
    rowAt.resize(static_cast<size_t>(2 * E + 1));
    weightAt.resize(rowAt.size());
    for (int32_t k = -E; k <= E; ++k) {
      const int64_t row = Round(arc.DepthAt(k));
      // A row outside the profile would name a cell of the next column.
      rowAt[static_cast<size_t>(k + E)] = row < 0 || row >= countY ? -1 : static_cast<int32_t>(row);
      weightAt[static_cast<size_t>(k + E)] = static_cast<float>(arc.WeightAt(k));
    }
    for (int32_t x = 0; x < countX; ++x, ++b) {
      const int64_t c = static_cast<int64_t>(x) + arc.dR2;
      RayStart[b] = static_cast<int64_t>(Rays.size());
      for (int64_t j = c - E; j <= c + E; ++j) {
        int64_t col = j;
        if (col < 0 || col >= countX) col = 2 * c - j;
        if (col < 0 || col >= countX) continue;
        const auto k = static_cast<size_t>(col - c + E);
        if (rowAt[k] < 0) continue;
        Rays.push_back({static_cast<int32_t>(rowAt[k] + static_cast<int64_t>(countY) * col), weightAt[k]});
      }
    }
  }
  RayStart[n] = static_cast<int64_t>(Rays.size());

  // Lists: the points of the rays through each cell, in building order.
  for (const TRayEntry& r : Rays) ++ListStart[static_cast<size_t>(r.Cell) + 1];
  for (size_t q = 0; q < n; ++q) ListStart[q + 1] += ListStart[q];
  Lists.resize(Rays.size());
  std::vector<int64_t> fill(ListStart.begin(), ListStart.end() - 1);
  b = 0;
  for (int32_t y = 0; y < countY; ++y)
    for (int32_t x = 0; x < countX; ++x, ++b) {
      const int32_t point = x * countY + y;
      for (int64_t e = RayStart[b]; e < RayStart[b + 1]; ++e) {
        const TRayEntry& r = Rays[static_cast<size_t>(e)];
        Lists[static_cast<size_t>(fill[static_cast<size_t>(r.Cell)]++)] = {point, r.Weight};
      }
    }
  for (int32_t q = 0; q < CountAB; ++q) CalcSumA(q);
}

void TRealViewModel::CalcSumA(int32_t p) {
  long double sum = 0;
  for (int64_t e = RayBegin(p), end = RayEnd(p); e < end; ++e)
    sum += static_cast<long double>(Bm[static_cast<size_t>(Rays[e].Cell)]) * Rays[e].Weight;
  AmNew[p] = RoundToInt32Fast(sum);
  dAmPred[p] = dAmNew[p];
  dAmNew[p] = SaturateToInt32(static_cast<int64_t>(Am[p]) - AmNew[p]);
}

void TRealViewModel::UpdateCell(int32_t m) {
  int64_t delta = 0;
  for (int64_t e = ListStart[m]; e < ListStart[m + 1]; ++e) {
    const TListEntry& l = Lists[static_cast<size_t>(e)];
    const long double den = static_cast<long double>(CountB(l.Point)) * l.Weight;
    if (!(den > 0)) continue;
    delta += RoundToInt32Fast(dAmNew[l.Point] / den);
  }
  const int32_t d = SaturateToInt32(delta);
  if (d >= -1 && d <= 1) return;
  Bm[m] = SaturateToInt32(static_cast<int64_t>(Bm[m]) + d);
  for (int64_t e = ListStart[m]; e < ListStart[m + 1]; ++e) CalcSumA(Lists[static_cast<size_t>(e)].Point);
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
    : Model(model), Stripes(model.StripeCount(workers)), RowsDone(static_cast<size_t>(Stripes)) {
  for (auto& r : RowsDone) r.store(0);
}

int32_t TStripeSweep::StripeFrom(int s) const {
  return static_cast<int32_t>(static_cast<int64_t>(Model.CountX) * s / Stripes);
}

TCalcThread::TCalcThread(TStripeSweep& sweep, int stripe)
    : FFrom(sweep.StripeFrom(stripe)), FTo(sweep.StripeFrom(stripe + 1) - 1) {
  thread_ = std::jthread([this, &sweep, stripe] {
    sweep.Model.RunStripe(stripe, sweep.Stripes, FFrom, FTo + 1, sweep.RowsDone);
    FIsDone.store(true, std::memory_order_release);
  });
}

void TRealViewModel::SweepParallel(int workers) {
  TStripeSweep sweep(*this, workers);
  if (sweep.Stripes <= 1) {
    SweepSerial();
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
