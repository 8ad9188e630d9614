#include "radargram/topo_correction.h"

#include "platform/rtl/rounding.h"
#include "profiledata/inclinometer_table.h"
#include "profiledata/setting_data.h"
#include "radargram/display_pipeline.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <mutex>
#include <new>
#include <numbers>
#include <thread>

namespace topo_correction {

namespace {

constexpr double kPi = std::numbers::pi;
// Rows computed between two progress reports (and Cancel tests).
constexpr int32_t kBandRows = 32;

// The per-trace constants of the beam test.
struct TBeam {
  double XOrigin = 0;  // IdentXLeftM + DX[i]
  double YOrigin = 0;  // IdentYtopM - DY[i]
  double AsinTilt = 0;
  // The beam axis as a unit vector in (L, E): (sin a, cos a), a = arcsin(tilt).
  double AxisL = 0, AxisE = 1;
  const int32_t* Trace = nullptr;
};

TBeam BeamOf(const TTopoImageInput& in, int64_t i) {
  TBeam b;
  b.XOrigin = in.IdentXLeftM + in.DX[i];
  b.YOrigin = in.IdentYtopM - in.DY[i];
  b.AsinTilt = std::asin(std::clamp(in.Tilt[i], -1.0, 1.0));
  b.AxisL = std::sin(b.AsinTilt);
  b.AxisE = std::cos(b.AsinTilt);
  b.Trace = in.Samples + i * static_cast<int64_t>(in.LongTrace);
  return b;
}

// The beam test of one cell and one trace, shared by the full loop and the
// pruned one so that both add exactly the same values.
inline bool Contribution(const TTopoImageInput& in, const TBeam& b, double rowDepth, int32_t q, double pScale,
                         int64_t& v) {
  const double L = in.StepDistance * q - b.XOrigin;
  const double E = rowDepth - b.YOrigin;
  double M;
  if (L == 0)
    M = E >= 0 ? kPi / 2 : -kPi / 2;
  else if (L > 0)
    M = std::atan(E / L);
  else
    M = E >= 0 ? std::atan(E / L) + kPi : std::atan(E / L) - kPi;
  double theta = kPi / 2 - M - b.AsinTilt;
  if (theta < -kPi)
    theta += 2 * kPi;
  else if (theta > kPi)
    theta = 2 * kPi - theta;
  if (!(std::fabs(theta) < kPi / (2 * kBeamFactor))) return false;
  const double P = std::sqrt(L * L + E * E) * pScale + in.NullShift;
  if (!(P >= 0 && P < in.LongTrace)) return false;
  const double c = std::cos(kBeamFactor * theta);
  v = Round(static_cast<long double>(c * c * b.Trace[static_cast<int64_t>(P)]));
  return true;
}

// The same result as Contribution, mostly without its arc tangent and cosine:
// the cosine of the angle to the beam axis comes from a dot product, and
// cos(1.5 theta)^2 = (1 + cos 3 theta) / 2. Where that decides the 60-degree test
// and the rounding with a wide margin, it is the answer; a cell near the beam's
// edge or a value near a rounding tie takes the exact test.
inline bool FastContribution(const TTopoImageInput& in, const TBeam& b, double rowDepth, int32_t q, double pScale,
                             int64_t& v) {
  const double L = in.StepDistance * q - b.XOrigin;
  const double E = rowDepth - b.YOrigin;
  const double rho = std::sqrt(L * L + E * E);
  if (rho > 0) {
    const double dot = L * b.AxisL + E * b.AxisE;
    if (dot < (0.5 - 1e-9) * rho) return false;
    if (dot > (0.5 + 1e-9) * rho) {
      const double ct = dot / rho;
      const double P = rho * pScale + in.NullShift;
      if (!(P >= 0 && P < in.LongTrace)) return false;
      const double sample = b.Trace[static_cast<int64_t>(P)];
      const double x = (1 + ct * (4 * ct * ct - 3)) / 2 * sample;
      const double f = x - std::floor(x);
      if (std::fabs(f - 0.5) > 1e-9 * (std::fabs(sample) + 1)) {
        v = static_cast<int64_t>(std::floor(x + 0.5));
        return true;
      }
    }
  }
  return Contribution(in, b, rowDepth, q, pScale, v);
}

bool ValidInput(const TTopoImageInput& in) {
  return in.Height > 0 && in.Width > 0 && in.LongTrace > 0 && in.SpeedLight > 0 && in.SpanWidth > 0 &&
         (in.NumTraces == 0 || (in.DX && in.DY && in.Tilt && in.Samples));
}

std::vector<double> RowDepths(const TTopoImageInput& in) {
  std::vector<double> depth(static_cast<size_t>(in.Height));
  for (int32_t r = 0; r < in.Height; ++r)
    depth[static_cast<size_t>(r)] = in.SpeedLight * r * in.SpanWidth / (2.0 * in.LongTrace);
  return depth;
}

double PScale(const TTopoImageInput& in) { return in.LongTrace * 2.0 / (in.SpeedLight * in.SpanWidth); }

// Cells to palette indices: m the largest |cell| (at least 1).
void MapCells(const std::vector<double>& cells, double largest, std::vector<uint8_t>& image) {
  const double m = std::max(largest, 1.0);
  const double scale = 255 / (m / 5);
  image.resize(cells.size());
  for (size_t k = 0; k < cells.size(); ++k)
    image[k] = static_cast<uint8_t>(std::clamp<int64_t>(Round(static_cast<long double>(scale * cells[k] + 127)), 0, 255));
}

// Columns q whose L = step x q - origin may lie in [lo, hi], two columns wider.
void ColumnRange(double lo, double hi, double origin, double step, int32_t width, int32_t& from, int32_t& to) {
  from = 0;
  to = width - 1;
  if (!(step > 0)) return;
  const double a = std::floor((lo + origin) / step) - 2;
  const double b = std::ceil((hi + origin) / step) + 2;
  if (!(a <= b)) {
    from = 1;
    to = 0;
    return;
  }
  from = static_cast<int32_t>(std::clamp(a, 0.0, static_cast<double>(width)));
  to = static_cast<int32_t>(std::clamp(b, -1.0, static_cast<double>(width - 1)));
}

// Rows [from, to) of the pruned build into sums and counts (row-major, from
// row `from`), every trace visiting only the cells its beam can reach.
// A trace's beam with its boundary rays at 60 degrees each side of the axis
// (F, sqrt(1 - F^2)): a cell (L, E) is inside when it lies left of the first
// and right of the second.
struct TBeamEdges {
  TBeam Beam;
  double B1x = 0, B1y = 0, B2x = 0, B2y = 0;
};

std::vector<TBeamEdges> BeamsOf(const TTopoImageInput& in) {
  std::vector<TBeamEdges> beams(static_cast<size_t>(in.NumTraces));
  for (int64_t i = 0; i < in.NumTraces; ++i) {
    TBeamEdges& e = beams[static_cast<size_t>(i)];
    e.Beam = BeamOf(in, i);
    const double axis = kPi / 2 - e.Beam.AsinTilt;
    e.B1x = std::cos(axis - kPi / 3);
    e.B1y = std::sin(axis - kPi / 3);
    e.B2x = std::cos(axis + kPi / 3);
    e.B2y = std::sin(axis + kPi / 3);
  }
  return beams;
}

void PrunedRows(const TTopoImageInput& in, const std::vector<double>& rowDepth, const std::vector<TBeamEdges>& beams,
                int32_t from, int32_t to, std::vector<int64_t>& sums, std::vector<int32_t>& counts) {
  const double pScale = PScale(in);
  const double ds = in.SpeedLight * in.SpanWidth / (2.0 * in.LongTrace);
  // Beyond this distance P passes LongTrace; one sample of slack.
  const double reach = (in.LongTrace - in.NullShift + 1.0) * ds;
  if (!(reach > 0)) return;
  for (const TBeamEdges& edges : beams) {
    const TBeam& b = edges.Beam;
    // The edges widened by a tolerance; the exact test decides.
    const double b1x = edges.B1x, b1y = edges.B1y, b2x = edges.B2x, b2y = edges.B2y;
    // Rows within reach of the antenna.
    const double rowLo = (b.YOrigin - reach) / ds - 2, rowHi = (b.YOrigin + reach) / ds + 2;
    const int32_t r0 = std::max(from, static_cast<int32_t>(std::clamp(std::floor(rowLo), -1.0, 2.0e9)));
    const int32_t r1 = std::min(to, static_cast<int32_t>(std::clamp(std::ceil(rowHi) + 1, -1.0, 2.0e9)));
    for (int32_t r = r0; r < r1; ++r) {
      const double E = rowDepth[static_cast<size_t>(r)] - b.YOrigin;
      const double chord2 = reach * reach - E * E;
      if (chord2 < -4 * ds * reach) continue;
      const double half = std::sqrt(std::max(chord2, 0.0)) + 2 * ds;
      double lo = -half, hi = half;
      const double tol = 1e-9 * (std::fabs(E) + reach) + 1e-9;
      // Left of b1: b1y x L < b1x x E; right of b2: b2y x L > b2x x E.
      if (std::fabs(b1y) > 1e-12) {
        const double bound = (b1x * E) / b1y;
        const double slack = tol / std::fabs(b1y);
        if (b1y > 0)
          hi = std::min(hi, bound + slack);
        else
          lo = std::max(lo, bound - slack);
      }
      if (std::fabs(b2y) > 1e-12) {
        const double bound = (b2x * E) / b2y;
        const double slack = tol / std::fabs(b2y);
        if (b2y > 0)
          lo = std::max(lo, bound - slack);
        else
          hi = std::min(hi, bound + slack);
      }
      if (lo > hi) continue;
      int32_t q0, q1;
      ColumnRange(lo, hi, b.XOrigin, in.StepDistance, in.Width, q0, q1);
      const size_t rowBase = static_cast<size_t>(r - from) * static_cast<size_t>(in.Width);
      for (int32_t q = q0; q <= q1; ++q) {
        int64_t v;
        if (!FastContribution(in, b, rowDepth[static_cast<size_t>(r)], q, pScale, v)) continue;
        sums[rowBase + static_cast<size_t>(q)] += v;
        counts[rowBase + static_cast<size_t>(q)] += 1;
      }
    }
  }
}

// Runs work(from, to) over [0, n) split into contiguous parts on `threads`
// threads; the first exception is rethrown after all have ended.
template <typename Work>
void RunSplit(int32_t n, int threads, const Work& work) {
  threads = std::clamp(threads, 1, std::max(n, 1));
  if (threads == 1) {
    work(0, n);
    return;
  }
  std::vector<std::thread> pool;
  std::exception_ptr error;
  std::mutex lock;
  for (int t = 0; t < threads; ++t) {
    const int32_t a = static_cast<int32_t>(int64_t{n} * t / threads);
    const int32_t b = static_cast<int32_t>(int64_t{n} * (t + 1) / threads);
    pool.emplace_back([&, a, b] {
      try {
        work(a, b);
      } catch (...) {
        std::lock_guard guard(lock);
        if (!error) error = std::current_exception();
      }
    });
  }
  for (std::thread& thread : pool) thread.join();
  if (error) std::rethrow_exception(error);
}

}  // namespace

bool CalibrationAccepted(const TSettingData& master) {
  return std::fabs(master.CalibrationQuality - 1) < 0.2 || master.GetVersion() < 18;
}

bool PathApplies(const TSettingData& s) {
  return s.Topocorrection && std::fabs(s.CalibrationQuality - 1) < 0.1 && s.GetTopoType() != ttNil &&
         s.GetMeasureStep() != 0;
}

bool TiltNegated(TTypeGPR type) { return type == Unit09 || type == Unit15 || type == Unit17 || type == Unit19; }

double TiltOfRecord(const TInclRecord* record, double GXmax, double GXmin, bool negated) {
  if (!record) return 0;
  const double range = GXmax - GXmin;
  // A calibration without range (or a damaged one) gives no tilt.
  if (range == 0 || !std::isfinite(range)) return 0;
  double X = static_cast<uint16_t>(record->Values[1]);
  if (negated) X = -X;
  const double F = (X - (GXmax + GXmin) / 2) * 2 / range;
  if (std::isnan(F)) return 0;
  return std::clamp(F, -1.0, 1.0);
}

void BuildAntennaPath(const TPathInput& in, const std::function<long double(int64_t)>& sine, TTopoExtents& ext,
                      std::vector<double>& DX, std::vector<double>& DY) {
  const int64_t numIncl = std::max<int64_t>(in.NumIncl, -1);
  const size_t size = static_cast<size_t>(std::max<int64_t>(std::max<int64_t>(in.NumTraces, 0), numIncl + 1));
  DX.assign(size, 0);
  DY.assign(size, 0);
  ext.Ysum = ext.Xsum = 0;
  ext.IdentYtopM = ext.IdentYBottomM = 0;
  ext.IdentYtopPx = ext.IdentYBottomPx = ext.IdentXLeftPx = ext.IdentXrightPx = 0;
  const double D = in.SpeedLight * in.SpanWidth / 2;
  for (int64_t t = 0; t <= numIncl; ++t) {
    const double s = static_cast<double>(std::clamp<long double>(sine(t), -1, 1));
    const double c = std::sqrt(1 - s * s);
    ext.Ysum += in.StepDistance * s;
    ext.IdentYtopM = std::max(ext.IdentYtopM, ext.Ysum);
    ext.IdentYBottomM = std::max(ext.IdentYBottomM, -ext.Ysum);
    DY[static_cast<size_t>(t)] = ext.Ysum;
    ext.Xsum += in.StepDistance * c;
    ext.IdentXLeftM = std::max(ext.IdentXLeftM, -D * s - ext.Xsum);
    ext.IdentXrightM = std::max(ext.IdentXrightM, D * s + ext.Xsum);
    DX[static_cast<size_t>(t)] = ext.Xsum;
  }
  if (in.LongTrace <= 0) return;
  const long double ds = static_cast<long double>(in.SpeedLight) * in.SpanWidth / (2.0L * in.LongTrace);
  if (!(ds > 0)) return;
  const auto ceilPx = [](long double v) { return SaturateToInt32(SaturateToInt64(std::ceil(v))); };
  ext.IdentYtopPx = ceilPx(ext.IdentYtopM / ds);
  ext.IdentYBottomPx = ceilPx(ext.IdentYBottomM / ds);
  const long double k = in.Proportion;
  if (!(k != 0) || !std::isfinite(static_cast<double>(k))) return;
  ext.IdentXLeftPx = ceilPx(ext.IdentXLeftM / ds / k);
  ext.IdentXrightPx =
      ceilPx((ext.IdentXrightM - static_cast<long double>(in.NumTraces) * in.StepDistance) / ds / k);
}

TTopoBuild BuildTopoImage(const TTopoImageInput& in, std::vector<uint8_t>& image, const TTopoProgress& progress,
                          int threads) {
  if (!ValidInput(in)) return tbNoMemory;
  if (threads < 1) threads = display_pipeline::DisplayThreads();
  try {
    const std::vector<double> rowDepth = RowDepths(in);
    const std::vector<TBeamEdges> beams = BeamsOf(in);
    std::vector<double> cells(static_cast<size_t>(in.Height) * static_cast<size_t>(in.Width), 0.0);
    double largest = 0;
    std::mutex largestLock;
    for (int32_t band = 0; band < in.Height; band += kBandRows) {
      const int32_t bandEnd = std::min(in.Height, band + kBandRows);
      RunSplit(bandEnd - band, threads, [&](int32_t a, int32_t b) {
        if (a >= b) return;
        const int32_t from = band + a, to = band + b;
        const size_t n = static_cast<size_t>(to - from) * static_cast<size_t>(in.Width);
        std::vector<int64_t> sums(n, 0);
        std::vector<int32_t> counts(n, 0);
        PrunedRows(in, rowDepth, beams, from, to, sums, counts);
        double local = 0;
        double* out = cells.data() + static_cast<size_t>(from) * static_cast<size_t>(in.Width);
        for (size_t k = 0; k < n; ++k) {
          out[k] = counts[k] ? static_cast<double>(sums[k]) / counts[k] : 0.0;
          local = std::max(local, std::fabs(out[k]));
        }
        std::lock_guard guard(largestLock);
        largest = std::max(largest, local);
      });
      if (progress && !progress(bandEnd, in.Height)) return tbCancelled;
    }
    MapCells(cells, largest, image);
  } catch (const std::bad_alloc&) {
    return tbNoMemory;
  } catch (const std::system_error&) {
    return tbNoMemory;
  }
  return tbDone;
}

TTopoBuild BuildTopoImageReference(const TTopoImageInput& in, std::vector<uint8_t>& image,
                                   const TTopoProgress& progress) {
  if (!ValidInput(in)) return tbNoMemory;
  try {
    const std::vector<double> rowDepth = RowDepths(in);
    const double pScale = PScale(in);
    const size_t cellsCount = static_cast<size_t>(in.Height) * static_cast<size_t>(in.Width);
    std::vector<double> sums(cellsCount, 0.0);
    std::vector<int32_t> counts(cellsCount, 0);
    std::vector<TBeam> beams(static_cast<size_t>(in.NumTraces));
    for (int64_t i = 0; i < in.NumTraces; ++i) beams[static_cast<size_t>(i)] = BeamOf(in, i);
    for (int32_t r = 0; r < in.Height; ++r) {
      if (progress && !progress(r, in.Height)) return tbCancelled;
      for (int32_t q = 0; q < in.Width; ++q) {
        const size_t cell = static_cast<size_t>(r) * static_cast<size_t>(in.Width) + static_cast<size_t>(q);
        for (const TBeam& b : beams) {
          int64_t v;
          if (!Contribution(in, b, rowDepth[static_cast<size_t>(r)], q, pScale, v)) continue;
          sums[cell] += static_cast<double>(v);
          counts[cell] += 1;
        }
      }
    }
    double largest = 0;
    for (size_t k = 0; k < cellsCount; ++k) {
      sums[k] = counts[k] ? sums[k] / counts[k] : 0.0;
      largest = std::max(largest, std::fabs(sums[k]));
    }
    MapCells(sums, largest, image);
  } catch (const std::bad_alloc&) {
    return tbNoMemory;
  }
  return tbDone;
}

std::vector<TReliefPoint> ReliefLine(const TReliefInput& in, const std::vector<double>& DX,
                                     const std::vector<double>& DY) {
  std::vector<TReliefPoint> points;
  if (in.SpeedLight == 0) return points;
  const int64_t n = std::min<int64_t>({in.NumTraces, static_cast<int64_t>(DX.size()), static_cast<int64_t>(DY.size())});
  if (n <= 0) return points;
  points.reserve(static_cast<size_t>(n));
  const double shift = in.StartDeviceXShift / 100000.0;
  const double start = static_cast<double>(in.MinNumTraces) * in.StepDistance / 1000;
  for (int64_t i = 0; i < n; ++i) {
    TReliefPoint p;
    p.Y = 2 * (in.IdentYtopM - DY[static_cast<size_t>(i)]) / in.SpeedLight;
    if (in.Flipped) {
      const double dx = DX[static_cast<size_t>(n - 1 - i)] - DX[static_cast<size_t>(n - 1)];
      p.X = -start + dx / 1000 - shift;
    } else {
      p.X = start + DX[static_cast<size_t>(i)] / 1000 + shift;
    }
    points.push_back(p);
  }
  return points;
}

std::optional<TTopoMarkPlace> TopoMarkPlace(const TTopoMarkInput& in, int64_t index, int32_t sample, long double sine,
                                            bool turn) {
  if (!in.DX || !in.DY || in.LongTrace <= 0 || !(in.StepDistance > 0)) return std::nullopt;
  const long double ds = static_cast<long double>(in.SpeedLight) * in.SpanWidth / (2.0L * in.LongTrace);
  if (!(ds > 0)) return std::nullopt;
  const int64_t last = std::min({static_cast<int64_t>(in.DX->size()), static_cast<int64_t>(in.DY->size()),
                                 in.NumTraces}) - 1;
  if (last < 0) return std::nullopt;
  const size_t i = static_cast<size_t>(std::clamp<int64_t>(index, 0, last));
  const long double s = std::clamp<long double>(sine, -1, 1);
  const long double step = in.StepDistance;
  int64_t column = Round((static_cast<long double>(in.IdentXLeftM) + (*in.DX)[i]) / step);
  int64_t row = Round((static_cast<long double>(in.IdentYtopM) - (*in.DY)[i]) / ds);
  if (turn) {
    const long double d = static_cast<long double>(sample) - in.NullShift;
    column += Round(d * s / (step / ds));
    row += Round(d * std::sqrt(1 - s * s));
  }
  if (in.Flipped) column = in.Width - column;
  return TTopoMarkPlace{column, row};
}

int32_t TopoZeroDeviceX(double measureStepMm, int64_t posTraces) {
  return SaturateToInt32(-Round(static_cast<long double>(measureStepMm) * posTraces * 100));
}

}  // namespace topo_correction
