#include "tools/imaging/search_object_kernel.h"

#include "platform/rtl/rounding.h"
#include "tools/worker_pool.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace {

// Sample rows of one task of the row search: their extended copies stay small.
constexpr int RowsPerTask = 8;
// Traces of one task of the trace and chain passes.
constexpr int64_t TracesPerTask = 16;

int SideOf(int32_t sizeHyperbola) { return std::clamp(sizeHyperbola, 0, HyperbolaHalfWidthMax); }

int64_t RoundedRow(const TRoundedRow& row, int64_t offset) { return row[static_cast<size_t>(HyperbolaApexIndex + offset)]; }

// Marks from the extrema of each trace: +1 at the maxima, then -1 at the minima.
void MarkTraceExtrema(const int32_t* data, int64_t first, int64_t end, int32_t longTrace, int8_t* marks) {
  std::vector<long double> values(static_cast<size_t>(longTrace));
  std::vector<TMaxSample2> list;
  for (int64_t t = first; t < end; ++t) {
    const int32_t* trace = data + t * longTrace;
    int8_t* m = marks + t * longTrace;
    for (int32_t k = 0; k < longTrace; ++k) values[static_cast<size_t>(k)] = trace[k];
    geometry_detail::FindSeriesExtrema(values.data(), 1, longTrace, TraceLongRun, true, list);
    for (const TMaxSample2& e : list) m[e.NumSampleMax] = 1;
    geometry_detail::FindSeriesExtrema(values.data(), 1, longTrace, TraceLongRun, false, list);
    for (const TMaxSample2& e : list) m[e.NumSampleMax] = -1;
  }
}

// Marks from the extrema of sample rows [first, end). keepMarked: only cells the
// trace pass marked keep a mark (the row minimum winning, as it is set last);
// otherwise the row maxima, then the row minima are marked.
void MarkRowExtrema(const int32_t* data, int64_t traces, int32_t longTrace, int64_t first, int64_t end,
                    bool keepMarked, int8_t* marks) {
  const int64_t rows = end - first;
  std::vector<long double> values(static_cast<size_t>(traces * rows));
  for (int64_t t = 0; t < traces; ++t) {
    const int32_t* trace = data + t * longTrace + first;
    for (int64_t r = 0; r < rows; ++r) values[static_cast<size_t>(r * traces + t)] = trace[r];
  }
  std::vector<TMaxSample2> list;
  std::vector<int8_t> kind(static_cast<size_t>(traces));
  for (int64_t r = 0; r < rows; ++r) {
    std::fill(kind.begin(), kind.end(), 0);
    const long double* row = values.data() + r * traces;
    geometry_detail::FindSeriesExtrema(row, 1, static_cast<int>(traces), RowLongRun, true, list);
    for (const TMaxSample2& e : list) kind[static_cast<size_t>(e.NumSampleMax)] = 1;
    geometry_detail::FindSeriesExtrema(row, 1, static_cast<int>(traces), RowLongRun, false, list);
    for (const TMaxSample2& e : list) kind[static_cast<size_t>(e.NumSampleMax)] = -1;
    for (int64_t t = 0; t < traces; ++t) {
      int8_t& m = marks[t * longTrace + first + r];
      const int8_t k = kind[static_cast<size_t>(t)];
      if (keepMarked) {
        // +2 where a row maximum meets a mark, -2 where a row minimum does; the
        // others fall to 0 and the twos become ones.
        m = m != 0 ? k : 0;
      } else if (k != 0) {
        m = k;
      }
    }
  }
}

}  // namespace

bool TSearchGeometry::HasDepthStep() const { return DepthStep > 0 && std::isfinite(DepthStep); }

TSourceStatistics SourceStatistics(const int32_t* data, int64_t samples) {
  TSourceStatistics s;
  if (!data || samples <= 0) return s;
  struct TPart {
    int32_t Max, Min;
    unsigned __int128 Sum;
  };
  std::mutex lock;
  std::vector<std::pair<int64_t, TPart>> parts;
  TWorkerPool::Instance().RunChunked(0, samples, 1 << 20, [&](int64_t a, int64_t b) {
    TPart p{data[a], data[a], 0};
    uint64_t sum = 0;
    for (int64_t i = a; i < b; ++i) {
      const int32_t v = data[i];
      p.Max = std::max(p.Max, v);
      p.Min = std::min(p.Min, v);
      sum += static_cast<uint64_t>(std::llabs(int64_t{v}));
    }
    p.Sum = sum;
    const std::lock_guard<std::mutex> guard(lock);
    parts.emplace_back(a, p);
  });
  s.MaxS = data[0];
  s.MinS = data[0];
  unsigned __int128 sum = 0;
  for (const auto& [at, p] : parts) {
    s.MaxS = std::max(s.MaxS, p.Max);
    s.MinS = std::min(s.MinS, p.Min);
    sum += p.Sum;
  }
  s.MaxAmp = std::max(std::llabs(int64_t{s.MaxS}), std::llabs(int64_t{s.MinS}));
  s.MiddleAmp = RoundToInt32(static_cast<long double>(sum) / samples);
  return s;
}

void BuildMarks(const int32_t* data, int64_t traces, int32_t longTrace, int32_t nullShift, int32_t mode,
                long double middleAmp, int8_t* marks) {
  if (traces <= 0 || longTrace <= 0) return;
  std::memset(marks, 0, static_cast<size_t>(traces * longTrace));
  TWorkerPool& pool = TWorkerPool::Instance();
  const auto traceExtrema = [&](int64_t a, int64_t b) { MarkTraceExtrema(data, a, b, longTrace, marks); };
  const auto rowExtrema = [&](bool keepMarked) {
    pool.RunChunked(0, longTrace, RowsPerTask, [&](int64_t a, int64_t b) {
      for (int64_t r = a; r < b; r += RowsPerTask)
        MarkRowExtrema(data, traces, longTrace, r, std::min(b, r + RowsPerTask), keepMarked, marks);
    });
  };
  switch (mode) {
    case emAll:
      pool.RunChunked(0, traces, TracesPerTask, traceExtrema);
      rowExtrema(true);
      break;
    case emCurrentDepth:
      rowExtrema(false);
      break;
    case emCurrentTrace:
      pool.RunChunked(0, traces, TracesPerTask, traceExtrema);
      break;
    case emWindow5x5:
    case emWindow5x7:
    case emWindow5x9:
    case emWindow5x11:
    case emWindow5x13:
    case emWindow5x15: {
      const int halfSamples = mode - emWindow5x5 + 2;
      const std::span<const int32_t> block(data, static_cast<size_t>(traces * longTrace));
      pool.RunChunked(0, traces, TracesPerTask, [&](int64_t a, int64_t b) {
        std::vector<TMaxSample2> list;
        for (int64_t t = a; t < b; ++t) {
          WindowMaximaOfTrace(static_cast<int>(t), 2, halfSamples, nullShift, list, block,
                              static_cast<int>(std::min<int64_t>(traces, INT32_MAX)), longTrace, middleAmp);
          for (const TMaxSample2& e : list) marks[t * longTrace + e.NumSampleMax] = 1;
        }
      });
      break;
    }
    default:
      break;
  }
}

THyperbolaArray PredictedRow(const TSearchGeometry& g, long double proportion, int32_t sizeHyperbola, int32_t apex) {
  THyperbolaArray row;
  row.fill(-1.0f);
  if (!g.HasDepthStep()) return row;
  HyperbolaRowEx(apex, SideOf(sizeHyperbola), static_cast<float>(g.DistanceRecept), static_cast<float>(g.DepthStep),
                 static_cast<float>(proportion), static_cast<float>(g.NullShift), row);
  return row;
}

TRoundedRow RoundRow(const THyperbolaArray& row) {
  TRoundedRow rounded;
  for (size_t i = 0; i < row.size(); ++i) rounded[i] = Round(static_cast<long double>(row[i]));
  return rounded;
}

namespace {

// One branch of the chain search, walking in direction dir (-1 left, +1 right).
class TBranch {
public:
  TBranch(const TSearchPlanes& planes, const TRoundedRow& row, int side, int32_t X, int32_t Y, bool positive,
          TChainPoints& points, int32_t& left, int32_t& right, int32_t& top)
      : planes_(planes), row_(row), side_(side), X_(X), Y_(Y), positive_(positive), points_(points), left_(left),
        right_(right), top_(top) {}

  void Walk(int dir) {
    int64_t x = X_, y = Y_;
    bool first = true;
    bool up = false, down = false, up2 = false, down2 = false;
    int32_t& index = dir < 0 ? left_ : right_;
    while (true) {
      const int64_t a = x - X_;
      if (std::llabs(a) > side_) break;
      const int64_t p = RoundedRow(row_, a);
      if (!first) {
        if (p < y) up = true;
        if (p > y) down = true;
        up2 = up;
        down2 = down;
      }
      y = p;
      std::optional<TChainPoint> taken;
      const auto clearFlags = [&] { up = down = up2 = down2 = false; };
      const auto tryCells = [&](std::initializer_list<std::pair<int64_t, int64_t>> cells) {
        for (const auto& [cx, cy] : cells)
          if (Acceptable(cx, cy)) {
            taken = TChainPoint{static_cast<int32_t>(cx), static_cast<int32_t>(cy)};
            return true;
          }
        return false;
      };
      // Near step: one trace on, the predicted row or one sample off it; else one
      // sample up or down in place, not back the way the last vertical step came.
      if (tryCells({{x + dir, y}, {x + dir, y - 1}, {x + dir, y + 1}})) {
        clearFlags();
      } else if (dir < 0 && !down && tryCells({{x, y - 1}})) {
        clearFlags();
        up = true;
      } else if (!up && tryCells({{x, y + 1}})) {
        clearFlags();
        down = true;
      } else if (dir > 0 && !down && tryCells({{x, y - 1}})) {
        clearFlags();
        up = true;
      }
      // Far step: two traces on or two samples off.
      if (!taken) {
        up = up2;
        down = down2;
        if (tryCells({{x + 2 * dir, y},
                      {x + 2 * dir, y - 1},
                      {x + 2 * dir, y + 1},
                      {x + 2 * dir, y - 2},
                      {x + 2 * dir, y + 2},
                      {x + dir, y - 2},
                      {x + dir, y + 2}})) {
          clearFlags();
        } else if (dir < 0 && !down2 && tryCells({{x, y - 2}})) {
          clearFlags();
          up2 = true;
        } else if (!up2 && tryCells({{x, y + 2}})) {
          clearFlags();
          down2 = true;
        } else if (dir > 0 && !down2 && tryCells({{x, y - 2}})) {
          clearFlags();
          up2 = true;
        }
      }
      if (taken) {
        first = false;
        points_[static_cast<size_t>(index)] = *taken;
        x = taken->X;
        y = taken->Y;
        top_ = std::min<int32_t>(top_, taken->Y);
        index += dir;
        if (index < 0 || index > ChainPointCount - 1) break;
      } else {
        x += dir;
        first = true;
      }
      if (std::llabs(X_ - x) > side_) break;
      // Gaps of up to four traces are bridged.
      const TChainPoint& last = points_[static_cast<size_t>(index - dir)];
      if (dir * (x - last.X) > 4) break;
    }
  }

private:
  // The cheap tests first: most cells hold no mark.
  bool Acceptable(int64_t x, int64_t y) const {
    if (!planes_.Inside(x, y)) return false;
    const int64_t cell = x * planes_.LongTrace + y;
    if (planes_.Marks[cell] <= 0) return false;
    const int32_t a = planes_.Amp[cell];
    if (positive_ ? a < 0 : a >= 0) return false;
    for (int32_t k : {left_ + 1, left_ + 2, right_ - 1, right_ - 2}) {
      if (k < 0 || k >= ChainPointCount) continue;
      const TChainPoint& q = points_[static_cast<size_t>(k)];
      if (q.X == x && q.Y == y) return false;
    }
    return true;
  }

  const TSearchPlanes& planes_;
  const TRoundedRow& row_;
  int side_;
  int32_t X_, Y_;
  bool positive_;
  TChainPoints& points_;
  int32_t& left_;
  int32_t& right_;
  int32_t& top_;
};

}  // namespace

TChainResult SelectPolyLine(const TSearchPlanes& planes, const TRoundedRow& row, const TChainSettings& s, int32_t X,
                            int32_t Y, TChainPoints& points) {
  TChainResult result;
  result.X = X;
  result.Top = planes.LongTrace;
  if (planes.MarkAt(X, Y) <= 0) return result;
  // The only entries read before a branch stores them: the first of each side.
  points[ChainStart - 1] = TChainPoint{};
  points[ChainStart + 1] = TChainPoint{};

  const int side = SideOf(s.SizeHyperbola);
  points[ChainStart] = TChainPoint{X, Y};
  int32_t left = ChainStart - 1, right = ChainStart + 1, top = planes.LongTrace;
  TBranch branch(planes, row, side, X, Y, planes.AmpAt(X, Y) >= 0, points, left, right, top);
  branch.Walk(-1);
  branch.Walk(+1);
  result.Left = left;
  result.Right = right;
  result.Top = top;
  result.Count = std::max(0, right - left - 2);

  if (right - left - 2 > 3) {
    result.Top = Y;
    const int32_t H = std::max(left + 1 - ChainStart, -side);
    const int32_t I = std::min(right - 1 - ChainStart, side);
    const int32_t n = I - H + 1;
    // A[j] for j = H - 1 .. I + 1, 0 outside H .. I. Sums of amplitudes and of
    // their differences are whole numbers: they are kept exact in 64 bits.
    std::array<int64_t, 2 * HyperbolaHalfWidthMax + 3> values{};
    const auto A = [&](int32_t j) -> int64_t& { return values[static_cast<size_t>(j - H + 1)]; };
    int64_t sum = 0, w = 0;
    for (int32_t j = H; j <= I; ++j) {
      const TChainPoint& q = points[static_cast<size_t>(ChainStart + j)];
      A(j) = planes.AmpAt(q.X, q.Y);
      sum += A(j);
      w = j == H ? A(j) : std::max(w, A(j));
    }
    if (w == 0) w = 1;
    const long double mean = static_cast<long double>(sum) / n;
    // A chain whose amplitudes cancel has no dispersion or contrast to judge.
    if (sum != 0) {
      long double spread = 0;
      for (int32_t j = H; j <= I; ++j) spread += std::fabs(A(j) - mean);
      const long double dispersion = std::fabs(spread / n * 100 / mean);
      int64_t D = 0;
      const auto contrast = [&](int32_t j, int32_t neighbour) {
        const TChainPoint& q = points[static_cast<size_t>(ChainStart + j)];
        const TChainPoint& o = points[static_cast<size_t>(ChainStart + neighbour)];
        const int64_t dx = int64_t{q.X} - o.X, dy = int64_t{q.Y} - o.Y;
        const int64_t across =
            std::llabs(planes.AmpAt(q.X + dy, q.Y + dx) - A(j)) + std::llabs(planes.AmpAt(q.X - dy, q.Y - dx) - A(j));
        const int64_t along = std::llabs(A(j + 1) - A(j)) + std::llabs(A(j - 1) - A(j));
        D += across - along;
      };
      for (int32_t j = -1; j >= H; --j) contrast(j, j + 1);
      for (int32_t j = 1; j <= I; ++j) contrast(j, j - 1);
      result.HasStatistics = true;
      result.W = w;
      result.Mean = mean;
      result.Dispersion = dispersion;
      result.D = Round(static_cast<long double>(D) * 100 / mean);
    }
  }
  result.Detected = result.HasStatistics && Round(result.Dispersion) < s.MaxSumNormAmp &&
                    result.Count > s.CountPointAtCurve && std::llabs(result.D) > 100 &&
                    std::fabs(result.W) > 2.0L * s.MiddleAmp;
  return result;
}

uint8_t CountPntAtDuga(const TSearchPlanes& planes, const TRoundedRow& row, int32_t sizeHyperbola, int32_t X) {
  const int side = SideOf(sizeHyperbola);
  int64_t sum = 0;
  for (int i = -side; i <= side; ++i) {
    const int64_t c = int64_t{X} + i;
    if (c < 0 || c > planes.Traces - 2) continue;
    const int64_t d = RoundedRow(row, i);
    if (d <= 0 || d >= planes.LongTrace) continue;
    const int8_t* m = planes.Marks + c * planes.LongTrace;
    sum += m[d] + m[d - 1];
    if (d + 1 < planes.LongTrace) sum += m[d + 1];
  }
  return static_cast<uint8_t>(std::clamp<int64_t>(127 + sum, 0, 255));
}

void SearchChains(const int32_t* data, const int8_t* polyMarks, int8_t* marks, const TSearchGeometry& g,
                  const TChainSettings& s) {
  const int64_t lastSample = int64_t{g.LongTrace} - 41;
  const int64_t firstSample = std::max(g.NullShift, 0);
  const int64_t lastTrace = g.Traces - 11;
  if (lastSample < firstSample || lastTrace < 10 || !g.HasDepthStep() || s.XYProportional == 0) return;
  // Every start of a sample shares its predicted row.
  std::vector<TRoundedRow> rows(static_cast<size_t>(lastSample - firstSample + 1));
  TWorkerPool& pool = TWorkerPool::Instance();
  pool.RunChunked(firstSample, lastSample + 1, 16, [&](int64_t a, int64_t b) {
    for (int64_t y = a; y < b; ++y)
      rows[static_cast<size_t>(y - firstSample)] =
          RoundRow(PredictedRow(g, s.XYProportional, s.SizeHyperbola, static_cast<int32_t>(y)));
  });
  const TSearchPlanes planes{data, polyMarks, g.Traces, g.LongTrace};
  pool.RunChunked(10, lastTrace + 1, TracesPerTask, [&](int64_t a, int64_t b) {
    TChainPoints points;
    for (int64_t k = a; k < b; ++k) {
      const int8_t* column = polyMarks + k * g.LongTrace;
      for (int64_t y = firstSample; y <= lastSample; ++y) {
        if (column[y] <= 0) continue;
        const TChainResult r = SelectPolyLine(planes, rows[static_cast<size_t>(y - firstSample)], s,
                                              static_cast<int32_t>(k), static_cast<int32_t>(y), points);
        if (r.Detected && r.Top >= 0 && r.Top < g.LongTrace) marks[k * g.LongTrace + r.Top] = 2;
      }
    }
  });
}

void DeleteDownPoints(int8_t* marks, int64_t traces, int32_t longTrace) {
  struct TApex {
    int32_t S;
    int64_t K;
  };
  std::vector<TApex> apices;
  for (int64_t k = 0; k < traces; ++k)
    for (int32_t s = 0; s < longTrace; ++s)
      if (marks[k * longTrace + s] == 2) apices.push_back({s, k});
  std::sort(apices.begin(), apices.end(), [](const TApex& a, const TApex& b) {
    return a.S != b.S ? a.S < b.S : a.K < b.K;
  });
  for (const TApex& apex : apices) {
    if (marks[apex.K * longTrace + apex.S] != 2) continue;
    const int32_t lastSample = static_cast<int32_t>(std::min<int64_t>(int64_t{apex.S} + 500, longTrace - 1));
    for (int64_t k = std::max<int64_t>(apex.K - 14, 0); k <= std::min<int64_t>(apex.K + 14, traces - 1); ++k)
      for (int32_t s = apex.S + 1; s <= lastSample; ++s) {
        int8_t& m = marks[k * longTrace + s];
        if (m == 2) m = 1;
      }
  }
}

void DrawMarks(const int8_t* marks, int64_t traces, int32_t longTrace, int32_t minS, int32_t maxS, int32_t* out) {
  const int64_t samples = traces * longTrace;
  TWorkerPool::Instance().RunChunked(0, samples, 1 << 20, [&](int64_t a, int64_t b) {
    for (int64_t i = a; i < b; ++i)
      if (marks[i] == 1 || marks[i] == -1) out[i] = minS;
  });
  for (int64_t k = 0; k < traces; ++k)
    for (int32_t s = 0; s < longTrace; ++s) {
      if (marks[k * longTrace + s] != 2) continue;
      for (int64_t x = std::max<int64_t>(k - 1, 0); x <= std::min<int64_t>(k + 1, traces - 1); ++x)
        for (int64_t y = std::max(s - 1, 0); y <= std::min(s + 1, longTrace - 1); ++y) out[x * longTrace + y] = maxS;
    }
}

void BuildWaveMatrix(const TSearchPlanes& planes, const TSearchGeometry& g, long double proportion,
                     int32_t sizeHyperbola, TWaveMatrixBlock& block, std::optional<int32_t>& maxCount,
                     std::optional<int32_t>& minCount) {
  if (block.XMatrix <= 0 || block.YMatrix <= 0) return;
  block.Cells.assign(static_cast<size_t>(int64_t{block.XMatrix} * block.YMatrix), 0);
  std::mutex lock;
  TWorkerPool::Instance().RunChunked(0, block.YMatrix, 4, [&](int64_t a, int64_t b) {
    std::optional<int32_t> high, low;
    for (int64_t j = a; j < b; ++j) {
      const int32_t y = static_cast<int32_t>(block.J1 + j);
      const TRoundedRow row = RoundRow(PredictedRow(g, proportion, sizeHyperbola, y));
      for (int32_t i = 0; i < block.XMatrix; ++i) {
        const uint8_t c = CountPntAtDuga(planes, row, sizeHyperbola, block.I1 + i);
        block.Cells[static_cast<size_t>(int64_t{i} * block.YMatrix + j)] = c;
        high = high ? std::max<int32_t>(*high, c) : c;
        low = low ? std::min<int32_t>(*low, c) : c;
      }
    }
    const std::lock_guard<std::mutex> guard(lock);
    if (high) maxCount = maxCount ? std::max(*maxCount, *high) : *high;
    if (low) minCount = minCount ? std::min(*minCount, *low) : *low;
  });
}

namespace {
template <class TCell>
void ForEachCell(const TWaveMatrixBlock& block, int64_t traces, int32_t longTrace, int32_t* out, TCell cell) {
  if (block.Cells.size() != static_cast<size_t>(int64_t{block.XMatrix} * block.YMatrix)) return;
  for (int32_t i = 0; i < block.XMatrix; ++i) {
    const int64_t x = int64_t{block.I1} + i;
    if (x < 0 || x >= traces) continue;
    for (int32_t j = 0; j < block.YMatrix; ++j) {
      const int64_t y = int64_t{block.J1} + j;
      if (y < 0 || y >= longTrace) continue;
      cell(block.Cells[static_cast<size_t>(int64_t{i} * block.YMatrix + j)], out[x * longTrace + y]);
    }
  }
}
}  // namespace

void DrawWaveMatrix(const TWaveMatrixBlock& block, long double D, int32_t maxCount, int64_t traces,
                    int32_t longTrace, int32_t* out) {
  const int32_t divisor = maxCount - 127;
  ForEachCell(block, traces, longTrace, out, [&](uint8_t c, int32_t& v) {
    v = divisor == 0 ? 0 : RoundToInt32(D * (int32_t{c} - 127) / divisor);
  });
}

void DrawStrongCells(const TWaveMatrixBlock& block, long double D, int32_t threshold, int64_t traces,
                     int32_t longTrace, int32_t* out) {
  const int32_t value = RoundToInt32(D);
  ForEachCell(block, traces, longTrace, out, [&](uint8_t c, int32_t& v) {
    if (std::abs(int32_t{c} - 127) > threshold) v = value;
  });
}
