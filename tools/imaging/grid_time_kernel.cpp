#include "tools/imaging/grid_time_kernel.h"

#include "platform/rtl/rounding.h"
#include "tools/worker_pool.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <atomic>
#include <memory>
#include <random>

namespace grid_time_kernel {
constexpr int64_t LongRun = 500;
constexpr int32_t MaxSectIndex = 4000;
constexpr long double EllipseStep = 0.005L;
constexpr long double IntersectionTolerance = 1e-4L;

// round(sum / count), halves to even, exactly in integers.
int32_t RoundedMean(int64_t sum, int64_t count) {
  int64_t q = sum / count;
  const int64_t r = sum % count;
  const int64_t twice = 2 * (r < 0 ? -r : r);
  if (twice > count || (twice == count && q % 2 != 0)) q += sum < 0 ? -1 : 1;
  return static_cast<int32_t>(q);
}

int64_t SaturatedCount(long double v) {
  if (!(v > 0)) return 0;
  constexpr long double cap = static_cast<long double>(std::numeric_limits<int32_t>::max()) * 4;
  return static_cast<int64_t>(Round(std::min(v, cap)));
}

// The one extrema table a thread works with (the search fills one list of it).
TarMax2InTraces& ExtremaTable() {
  thread_local std::unique_ptr<TarMax2InTraces> table = std::make_unique<TarMax2InTraces>();
  return *table;
}
}  // namespace grid_time_kernel

long double TGridTimeAxis::SampleToTimeUs(int64_t n) const {
  return LongTrace > 0 ? n * SpanWidth / LongTrace / 1000 : 0;
}

long double TGridTimeAxis::SampleToPath(int64_t n) const {
  return LongTrace > 0 ? n * SpanWidth / LongTrace * SpeedLight / 2000 : 0;
}

std::optional<int64_t> TGridTimeAxis::PathToSample(long double d) const {
  const long double perSample = static_cast<long double>(SpeedLight) * SpanWidth / 2000;
  if (LongTrace <= 0 || !(perSample > 0)) return std::nullopt;
  const long double k = (d - ShiftTimeDepth) * LongTrace / perSample;
  if (!std::isfinite(k) || std::fabs(k) > 1e15L) return std::nullopt;
  return static_cast<int64_t>(Round(k));
}

long double GetYPoint(long double xt, long double yt, long double Xtr) {
  return std::sqrt(xt * xt + yt * yt) + std::sqrt((xt - Xtr) * (xt - Xtr) + yt * yt) - xt;
}

std::vector<TGridTimeAntenna> CreateAntennas(int32_t count, long double stepRecept, long double distanceRecept) {
  std::vector<TGridTimeAntenna> antennas(static_cast<size_t>(std::max(count, 0)));
  for (int32_t i = 0; i < count; ++i) {
    antennas[static_cast<size_t>(i)].N = i;
    antennas[static_cast<size_t>(i)].dx = i * stepRecept + distanceRecept;
  }
  return antennas;
}

long double DirectWave(std::vector<TGridTimeAntenna>& antennas, long double xyProportional,
                       long double distanceRecept, int32_t dH) {
  const bool air = dH > 0;
  const long double t0 = xyProportional / 1000 - (air ? std::fabs(distanceRecept) / dH : 0);
  for (TGridTimeAntenna& a : antennas) {
    a.tAir = air ? std::fabs(a.dx) / dH : 0;
    a.tDirect = t0 + a.tAir;
  }
  return t0;
}

TGridTimeSize GridTimeSize(int32_t antenCount, long double stepRecept, long double iXStep, int32_t longTrace,
                           long double dy, long double iYStep) {
  TGridTimeSize size;
  if (iXStep > 0) size.X = grid_time_kernel::SaturatedCount(antenCount * stepRecept / iXStep);
  if (iYStep > 0) size.Y = grid_time_kernel::SaturatedCount(longTrace * dy / iYStep);
  return size;
}

int64_t BuildWorkCopy(const int32_t* input, int64_t traces, int32_t longTrace, bool gap, std::vector<int32_t>& S) {
  const auto L = static_cast<size_t>(std::max(longTrace, 0));
  if (!gap) {
    S.assign(input, input + static_cast<size_t>(traces) * L);
    return traces;
  }
  constexpr int64_t before = 16;
  const int64_t count = traces + GridTimeGapTraces;
  S.assign(static_cast<size_t>(count) * L, 0);
  const int64_t head = std::min(traces, before);
  if (head > 0) std::memcpy(S.data(), input, static_cast<size_t>(head) * L * sizeof(int32_t));
  // Input trace 16 is dropped; 17.. follow the gap of 16..23.
  if (traces > before + 1)
    std::memcpy(S.data() + static_cast<size_t>(before + 1 + GridTimeGapTraces) * L,
                input + static_cast<size_t>(before + 1) * L,
                static_cast<size_t>(traces - before - 1) * L * sizeof(int32_t));
  return count;
}

int32_t GridTimeCell(const int32_t* S, int64_t tracesS, const TGridTimeAxis& axis, const TGridTimeImaging& p,
                     int64_t c, int64_t r) {
  const long double x = c * p.iXStep + p.DistanceRecept;
  const long double y = r * p.iYStep;
  const int64_t antennas = std::min<int64_t>(p.AntenCount, tracesS);
  int64_t sum = 0, count = 0;
  for (int64_t i = 0; i < antennas; ++i) {
    const std::optional<int64_t> k = axis.PathToSample(GetYPoint(x, y, p.DistanceRecept + i * p.StepRecept));
    if (!k || *k < 0 || *k >= axis.LongTrace) continue;
    sum += S[static_cast<size_t>(i * axis.LongTrace + *k)];
    ++count;
  }
  return count > 0 ? grid_time_kernel::RoundedMean(sum, count) : 0;
}

std::vector<int32_t> GridTimeImage(const int32_t* S, int64_t tracesS, const TGridTimeAxis& axis,
                                   const TGridTimeImaging& p, int32_t countX, int32_t countY, int workers) {
  std::vector<int32_t> B(static_cast<size_t>(std::max(countX, 0)) * static_cast<size_t>(std::max(countY, 0)), 0);
  if (B.empty()) return B;
  if (!p.Apply) {
    const int64_t rows = std::min<int64_t>(countY, axis.LongTrace);
    const int64_t cols = std::min<int64_t>(countX, tracesS);
    for (int64_t c = 0; c < cols; ++c)
      for (int64_t r = 0; r < rows; ++r)
        B[static_cast<size_t>(r + c * countY)] = S[static_cast<size_t>(c * axis.LongTrace + r)];
    return B;
  }
  const long double perSample = static_cast<long double>(axis.SpeedLight) * axis.SpanWidth / 2000;
  if (axis.LongTrace <= 0 || !(perSample > 0)) return B;
  // Distances in double; a sample position within 1e-6 of a rounding boundary
  // is worked out again in extended precision, so every cell equals
  // GridTimeCell.
  const double scale = static_cast<double>(axis.LongTrace / perSample);
  const double shift = static_cast<double>(axis.ShiftTimeDepth);
  const int64_t antennas = std::min<int64_t>(p.AntenCount, tracesS);
  const auto columns = [&](int64_t from, int64_t to) {
    std::vector<double> dx(static_cast<size_t>(std::max<int64_t>(antennas, 0)));
    for (int64_t c = from; c < to; ++c) {
      const long double xl = c * p.iXStep + p.DistanceRecept;
      const double x = static_cast<double>(xl);
      for (int64_t i = 0; i < antennas; ++i)
        dx[static_cast<size_t>(i)] = static_cast<double>(xl - (p.DistanceRecept + i * p.StepRecept));
      for (int64_t r = 0; r < countY; ++r) {
        const long double yl = r * p.iYStep;
        const double y = static_cast<double>(yl), y2 = y * y;
        const double own = std::sqrt(x * x + y2) - x;
        int64_t sum = 0, count = 0;
        bool exact = true;
        for (int64_t i = 0; i < antennas && exact; ++i) {
          const double d = dx[static_cast<size_t>(i)];
          const double k = (own + std::sqrt(d * d + y2) - shift) * scale;
          const double nearest = std::nearbyint(k);
          if (std::fabs(std::fabs(k - std::floor(k)) - 0.5) < 1e-6 || !(std::fabs(k) < 1e15)) {
            exact = false;
            break;
          }
          if (nearest < 0 || nearest >= axis.LongTrace) continue;
          sum += S[static_cast<size_t>(i * axis.LongTrace + static_cast<int64_t>(nearest))];
          ++count;
        }
        B[static_cast<size_t>(r + c * countY)] = !exact ? GridTimeCell(S, tracesS, axis, p, c, r)
                                                 : count > 0 ? grid_time_kernel::RoundedMean(sum, count)
                                                             : 0;
      }
    }
  };
  if (workers <= 1)
    columns(0, countX);
  else
    TWorkerPool::Instance().Run(0, countX, columns);
  return B;
}

// ---- Picks and overlays -------------------------------------------------------

std::vector<TMaxSample> TracePicks(const int32_t* t, int32_t longTrace, bool positiv) {
  std::vector<TMaxSample> picks;
  const int64_t L = longTrace;
  for (int64_t k = 0; k <= L - 4; ++k) {
    const int32_t left = t[k], centre = t[k + 1], right = t[k + 2];
    if (centre == left || centre == right) {
      // A flat run: followed to its end and picked at its middle when both
      // neighbours outside it are lower (higher); a long run at every second
      // sample.
      const int64_t entry = k;
      const int64_t first = centre == left ? k : k + 1;
      int64_t last = k + 1;
      while (last + 1 < L && t[last + 1] == centre) ++last;
      k = std::max(entry, last - 1);
      if (last - first + 1 > grid_time_kernel::LongRun) {
        for (int64_t n = entry + 1; n < L - 3 && n <= last; n += 2) picks.push_back({static_cast<int32_t>(n), centre});
        continue;
      }
      if (first == 0 || last + 1 >= L) continue;
      const int32_t before = t[first - 1], after = t[last + 1];
      if (positiv ? centre > before && centre > after : centre < before && centre < after)
        picks.push_back({static_cast<int32_t>((first + last) / 2), centre});
      continue;
    }
    if (positiv ? centre > left && centre > right : centre < left && centre < right)
      picks.push_back({static_cast<int32_t>(k + 1), centre});
  }
  return picks;
}

int32_t GlobalExtreme(const int32_t* S, int64_t count, bool positiv) {
  int32_t e = 0;
  for (int64_t i = 0; i + 1 < count; ++i)
    if (positiv ? S[i] > e : S[i] < e) e = S[i];
  return e;
}

int32_t EnergyEnvelope(const int32_t* trace, int32_t longTrace, int32_t maxIteration, std::vector<long double>& out,
                       std::vector<TMaxSample2>& list) {
  const auto L = static_cast<size_t>(std::max(longTrace, 0));
  TarMax2InTraces& table = grid_time_kernel::ExtremaTable();
  std::vector<long double> R(L), env(L), residual(L);
  for (size_t k = 0; k < L; ++k) R[k] = static_cast<long double>(trace[k]) * trace[k];
  FindTraceExtrema(0, 0, longTrace, table, R, false);
  HermiteThroughExtrema(table[0], env);
  out.assign(L, 0);
  for (size_t k = 0; k < L; ++k) out[k] = maxIteration >= 1 ? 2 * env[k] : env[k];
  const auto allZero = [&] { return std::all_of(env.begin(), env.end(), [](long double v) { return v == 0; }); };
  int32_t i = 0;
  bool negative = true;
  while (negative && i < maxIteration && !allZero()) {
    negative = false;
    for (size_t k = 0; k < L; ++k) {
      out[k] -= env[k];
      residual[k] = out[k] - R[k];
      negative = negative || residual[k] < 0;
    }
    if (!negative) break;
    FindTraceExtrema(0, 0, longTrace, table, residual, false);
    ++i;
    HermiteThroughExtrema(table[0], env);
  }
  FindTraceExtrema(0, 0, longTrace, table, out, false);
  list = table[0];
  return i;
}

std::vector<TMaxSample> PicksFromEnvelope(const std::vector<TMaxSample2>& list, bool positiv) {
  std::vector<TMaxSample> picks;
  for (const TMaxSample2& e : list) {
    const long double v = e.AmplMax;
    if (positiv ? !(v >= 0) : !(v < 0)) continue;
    const int32_t root = RoundToInt32(std::sqrt(std::fabs(v)));
    picks.push_back({e.NumSampleMax, positiv ? root : -root});
  }
  return picks;
}

std::optional<TPoint2> PairPoint(long double timeA, const TGridTimeAntenna& a, long double timeB,
                                 const TGridTimeAntenna& b, int32_t V) {
  if (a.tAir == 0 || b.tAir == 0) return std::nullopt;
  const long double ta = timeA - a.tDirect, tb = timeB - b.tDirect;
  const long double g = tb / b.tAir;
  const long double tau = a.tAir;
  const long double h = g - ta / tau;
  if (h == 0) return std::nullopt;
  const long double f = (tb * (g + 2) - ta * (ta / tau + 2)) / (2 * h);
  const long double X = V * (f * f + tau * tau - (ta + tau - f) * (ta + tau - f)) / (2 * tau);
  const long double Y2 = (V * f) * (V * f) - X * X;
  if (!(Y2 >= 0) || !std::isfinite(X)) return std::nullopt;
  return TPoint2{X, std::sqrt(Y2)};
}

std::vector<TSectBubble> SectPoints(const std::vector<std::vector<TMaxSample>>& picks,
                                    const std::vector<TGridTimeAntenna>& antennas, const TGridTimeAxis& axis,
                                    const TSectRange& range, long double gridStep, int32_t visible, int32_t& maxCount,
                                    int workers) {
  maxCount = 1;
  std::vector<TSectBubble> bubbles;
  const size_t n = std::min(picks.size(), antennas.size());
  if (!(gridStep > 0) || n < 2) return bubbles;
  // Only the cells a point strictly inside the chart's ranges can fall in have
  // counters, and only while they are counted.
  const auto index = [&](long double v) {
    const long double i = Round(std::clamp<long double>(v / gridStep, -1, grid_time_kernel::MaxSectIndex + 1));
    return static_cast<int64_t>(std::clamp<long double>(i, 0, grid_time_kernel::MaxSectIndex));
  };
  if (!(range.xMax > range.xMin) || !(range.yMax > range.yMin)) return bubbles;
  const int64_t ix0 = index(range.xMin), ix1 = index(range.xMax);
  const int64_t iy0 = index(range.yMin), iy1 = index(range.yMax);
  const int64_t nx = ix1 - ix0 + 1, ny = iy1 - iy0 + 1;
  std::vector<int32_t> counters(static_cast<size_t>(nx * ny), 0);

  // The picks' times once per pick.
  std::vector<std::vector<long double>> times(n);
  for (size_t a = 0; a < n; ++a) {
    times[a].reserve(picks[a].size());
    for (const TMaxSample& p : picks[a]) times[a].push_back(axis.SampleToTimeUs(p.NumSampleMax));
  }
  // Antenna a pairs with every later antenna: the work per antenna falls with a,
  // so the antennas are handed out one at a time. The counts are sums and so do
  // not depend on the order the pairs are visited in.
  const auto pairs = [&](int64_t from, int64_t to) {
    for (int64_t a = from; a < to; ++a)
      for (const long double ta : times[static_cast<size_t>(a)])
        for (size_t b = static_cast<size_t>(a) + 1; b < n; ++b)
          for (const long double tb : times[b]) {
            const std::optional<TPoint2> pt =
                PairPoint(ta, antennas[static_cast<size_t>(a)], tb, antennas[b], axis.SpeedLight);
            if (!pt || !(pt->x > range.xMin && pt->x < range.xMax && pt->y > range.yMin && pt->y < range.yMax))
              continue;
            const long double ix = Round(pt->x / gridStep), iy = Round(pt->y / gridStep);
            if (ix < ix0 || iy < iy0 || ix > ix1 || iy > iy1) continue;
            const auto cell = static_cast<size_t>((static_cast<int64_t>(ix) - ix0) * ny + (static_cast<int64_t>(iy) - iy0));
            std::atomic_ref<int32_t>(counters[cell]).fetch_add(1, std::memory_order_relaxed);
          }
  };
  if (workers <= 1)
    pairs(0, static_cast<int64_t>(n));
  else
    TWorkerPool::Instance().RunChunked(0, static_cast<int64_t>(n), 1, pairs);

  for (int64_t x = 0; x < nx; ++x)
    for (int64_t y = 0; y < ny; ++y) {
      const int32_t count = counters[static_cast<size_t>(x * ny + y)];
      maxCount = std::max(maxCount, count);
      if (count > visible && count > 0)
        bubbles.push_back({static_cast<int32_t>(ix0 + x), static_cast<int32_t>(iy0 + y), count});
    }
  return bubbles;
}

TEllipse PickEllipse(long double D, long double h) {
  TEllipse e;
  e.c = D / 2;
  e.a = h / 2 + std::sqrt(h * h / 4 + e.c * e.c);
  const long double b2 = e.a * e.a - e.c * e.c;
  e.b = b2 > 0 ? std::sqrt(b2) : 0;
  return e;
}

long double EllipseCheck(const TEllipse& e, long double D, long double h) {
  return (D - e.c) * (D - e.c) / (e.a * e.a) + h * h / (e.b * e.b);
}

bool EllipseMisses(const TEllipse& e, long double D, long double h) {
  constexpr long double tolerance = 1e-5L;
  return e.Valid() && !(std::fabs(EllipseCheck(e, D, h) - 1) <= tolerance);
}

std::vector<TPoint2> EllipsePoints(const TEllipse& e) {
  std::vector<TPoint2> points;
  if (!e.Valid()) return points;
  const auto steps = static_cast<int64_t>(std::floor(2 * e.a / grid_time_kernel::EllipseStep + 1e-9L));
  for (int64_t n = 0; n <= steps; ++n) {
    const long double m = -e.a + n * grid_time_kernel::EllipseStep;
    const long double q = 1 - m * m / (e.a * e.a);
    points.push_back({e.c + m, std::sqrt(std::max<long double>(0, e.b * e.b * q))});
  }
  return points;
}

std::optional<TPoint2> EllipseIntersection(const TEllipse& e1, const TEllipse& e2) {
  if (!e1.Valid() || !e2.Valid()) return std::nullopt;
  const long double k1 = e1.b * e1.b / (e1.a * e1.a), k2 = e2.b * e2.b / (e2.a * e2.a);
  if (k2 == k1) return std::nullopt;
  const long double B = 2 * k1 * e1.c - 2 * k2 * e2.c;
  const long double C = k2 * e2.c * e2.c + e1.b * e1.b - e2.b * e2.b - k1 * e1.c * e1.c;
  const long double disc = B * B - 4 * (k2 - k1) * C;
  if (disc < 0) return std::nullopt;
  const long double r = std::sqrt(disc);
  const long double x = std::max((-B + r) / (2 * (k2 - k1)), (-B - r) / (2 * (k2 - k1)));
  const long double y2 = e1.b * e1.b - k1 * (x - e1.c) * (x - e1.c);
  if (y2 < 0 || std::fabs(y2 - (e2.b * e2.b - k2 * (x - e2.c) * (x - e2.c))) > grid_time_kernel::IntersectionTolerance)
    return std::nullopt;
  return TPoint2{x, std::sqrt(y2)};
}

long double MaxPointRadius(int32_t ampl, int32_t e) {
  constexpr long double least = 0.004L;
  if (e == 0) return least;
  return std::max(least, std::fabs(static_cast<long double>(ampl) * 0.04L / e));
}

uint32_t SectColour(int32_t count, int32_t maxCount) {
  const int64_t red = Round(static_cast<long double>(count) * 255 / std::max(maxCount, 1));
  const auto r = static_cast<uint32_t>(((red % 256) + 256) % 256);
  return r | (0x30u << 8) | (0x30u << 16);
}

std::optional<TTestSectChoice> ChooseTestSect(const std::vector<std::vector<TMaxSample>>& picks, uint32_t seed) {
  constexpr size_t first = 36;
  std::vector<int32_t> usable;
  for (size_t i = 0; i < std::min(picks.size(), first); ++i)
    if (picks[i].size() >= 2) usable.push_back(static_cast<int32_t>(i));
  if (usable.empty()) return std::nullopt;
  std::mt19937 random(seed);
  TTestSectChoice c;
  c.a = usable[random() % usable.size()];
  c.b = usable[random() % usable.size()];
  c.p = static_cast<int32_t>(random() % (picks[static_cast<size_t>(c.a)].size() - 1));
  c.q = static_cast<int32_t>(random() % (picks[static_cast<size_t>(c.b)].size() - 1));
  return c;
}

std::optional<TTestSect> TestSect(const std::vector<std::vector<TMaxSample>>& picks,
                                  const std::vector<TGridTimeAntenna>& antennas, const TGridTimeAxis& axis,
                                  const TTestSectChoice& choice) {
  if (choice.a == choice.b) return std::nullopt;
  const auto pick = [&](int32_t antenna, int32_t index) -> std::optional<TEllipse> {
    if (antenna < 0 || static_cast<size_t>(antenna) >= std::min(picks.size(), antennas.size())) return std::nullopt;
    const std::vector<TMaxSample>& list = picks[static_cast<size_t>(antenna)];
    if (index < 0 || static_cast<size_t>(index) >= list.size()) return std::nullopt;
    return PickEllipse(antennas[static_cast<size_t>(antenna)].dx,
                       axis.SampleToPath(list[static_cast<size_t>(index)].NumSampleMax));
  };
  const std::optional<TEllipse> e1 = pick(choice.a, choice.p), e2 = pick(choice.b, choice.q);
  if (!e1 || !e2) return std::nullopt;
  return TTestSect{*e1, *e2, EllipseIntersection(*e1, *e2)};
}

std::vector<TPoint2> TrialHyperbola(long double x, long double y, long double nullShift, long double xyProportional,
                                    int64_t minTraces, int64_t maxTraces, long double distanceRecept,
                                    long double depthStep) {
  std::vector<TPoint2> points;
  if (xyProportional == 0 || y < nullShift || depthStep == 0) return points;
  const long double y0 = y - nullShift;
  const long double s = static_cast<long double>(maxTraces - minTraces) / 200;
  const long double d = distanceRecept / depthStep;
  const long double r = std::sqrt(y0 * y0 + d * d);
  for (int i = -100; i <= 100; ++i) {
    const long double u = xyProportional * i * s;
    points.push_back({x + i * s, std::sqrt(r * r + u * u) + nullShift - (r - y0)});
  }
  return points;
}
