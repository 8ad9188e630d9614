#include "tools/imaging/search_object_overlays.h"

#include "platform/rtl/rounding.h"
#include "platform/rtl/sys_utils.h"

#include <algorithm>
#include <cmath>

namespace {
bool Drawable(const TOverlayGeometry& g, double Ya) {
  return g.XYProportional != 0 && Ya >= g.NullShift && g.DepthStep > 0 && std::isfinite(g.DepthStep);
}

// r and delta of the apex Ya.
std::pair<double, double> Apex(const TOverlayGeometry& g, double Ya) {
  const long double h = Ya - g.NullShift;
  const long double e = g.DistanceRecept / g.DepthStep / 2;
  const double r = static_cast<double>(std::sqrt(h * h + e * e));
  return {r, r - static_cast<double>(h)};
}

long double Arrival(const TOverlayGeometry& g, double r, double delta, int i) {
  const long double x = g.XYProportional * i;
  return g.NullShift + std::sqrt(static_cast<long double>(r) * r + x * x) - delta;
}

int Side(const TOverlayGeometry& g) { return std::clamp(g.SizeHyperbola, 0, std::max(g.SideLimit, 0)); }
// The profile holds offsets -50 .. 50 whatever the drawing's limit.
int ProfileSide(const TOverlayGeometry& g) { return std::clamp(g.SizeHyperbola, 0, 50); }
}  // namespace

TOverlayPoints HyperbolaOverlay(const TOverlayGeometry& g, double Ya, double X) {
  TOverlayPoints points;
  if (!Drawable(g, Ya)) return points;
  const auto [r, delta] = Apex(g, Ya);
  for (int i = -Side(g); i <= Side(g); ++i) points.emplace_back(X + i, static_cast<double>(Arrival(g, r, delta, i)));
  return points;
}

TAmpProfile AmpHyperbolaProfile(const TOverlayGeometry& g, const TOverlayChannel& c, double Ya, double X,
                                int64_t maxAmp, double T, double M) {
  TAmpProfile p;
  if (!Drawable(g, Ya)) return p;
  p.Computed = true;
  const auto [r, delta] = Apex(g, Ya);
  const long double scale = std::fabs(4.0L * (maxAmp == 0 ? 1 : maxAmp));
  for (int i = -ProfileSide(g); i <= ProfileSide(g); ++i) {
    const int64_t u = Round(X + i - c.MinNumTraces);
    const int64_t v = Round(Arrival(g, r, delta, i));
    int32_t m = 0;
    if (c.Data && u >= 0 && u < c.Traces && v >= 0 && v < c.LongTrace) {
      const int32_t* trace = c.Data + u * c.LongTrace;
      long double sum = trace[v] / 3.0L;
      if (v - 1 >= 0) sum += trace[v - 1] / 3.0L;
      if (v + 1 < c.LongTrace) sum += trace[v + 1] / 3.0L;
      m = RoundToInt32(sum);
    }
    p.Profile[static_cast<size_t>(50 + i)] = m;
    p.Values.emplace_back(i, m);
    p.Points.emplace_back(T - 200 + 4.0 * i, static_cast<double>(M - m / scale * M));
  }
  return p;
}

QStringList AmpProfileLines(const TAmpProfile& p, double Ya, double X, bool detected) {
  QStringList lines;
  lines << QStringLiteral("X=%1  Y=%2").arg(Round(X)).arg(Round(Ya));
  if (!p.Computed) return lines;
  lines << QStringLiteral("Znak > 0 = ") + (p.Profile[50] >= 0 ? u'+' : u'-');
  lines << (detected ? QStringLiteral("Detect Up Dugi") : QStringLiteral("no Detect"));
  for (const auto& [i, m] : p.Values) lines << QStringLiteral("%1      %2").arg(i).arg(m);
  return lines;
}

namespace {
// The chain's amplitudes A[j], j = H .. I, and what the lines derive from them.
struct TChainFigures {
  int32_t H = 0, I = -1;
  std::vector<int64_t> A;  // index j - H
  long double DMax = 0;
  std::array<long double, 3> PartMean{};
  std::array<int32_t, 3> PartCount{};
  int64_t BigAmpPercent = 0;
  int64_t Max2DPercent = 0;
};

TChainFigures Figures(const TChainResult& r, const TChainPoints& points, const TSearchPlanes& planes, int side) {
  TChainFigures f;
  if (!r.HasStatistics) return f;
  f.H = std::max(r.Left + 1 - ChainStart, -side);
  f.I = std::min(r.Right - 1 - ChainStart, side);
  const int32_t n = f.I - f.H + 1;
  if (n <= 0) return f;
  for (int32_t j = f.H; j <= f.I; ++j) {
    const TChainPoint& q = points[static_cast<size_t>(ChainStart + j)];
    f.A.push_back(planes.AmpAt(q.X, q.Y));
  }
  const auto A = [&](int32_t j) -> int64_t { return j >= f.H && j <= f.I ? f.A[static_cast<size_t>(j - f.H)] : 0; };
  long double steps = 0;
  for (int32_t j = f.H; j <= f.I; ++j) steps += std::llabs(A(j) - A(j + 1));
  f.DMax = steps / n;
  // Thirds: left j = H .. -h - 1, centre -h .. h, right h + 1 .. I.
  const int32_t h = (n / 3) / 2;
  std::array<long double, 3> sums{};
  for (int32_t j = f.H; j <= f.I; ++j) {
    const size_t part = j < -h ? 0 : (j <= h ? 1 : 2);
    sums[part] += std::llabs(A(j));
    ++f.PartCount[part];
  }
  for (size_t k = 0; k < 3; ++k) f.PartMean[k] = f.PartCount[k] > 0 ? sums[k] / f.PartCount[k] : 0;
  int32_t big = 0, max2d = 0;
  for (int32_t j = f.H; j <= f.I; ++j) {
    big += std::llabs(A(j)) > std::llabs(A(0));
    if (j == 0) continue;
    const int32_t neighbour = j < 0 ? j + 1 : j - 1;
    const TChainPoint& q = points[static_cast<size_t>(ChainStart + j)];
    const TChainPoint& o = points[static_cast<size_t>(ChainStart + neighbour)];
    const int64_t dx = int64_t{q.X} - o.X, dy = int64_t{q.Y} - o.Y;
    const int64_t across =
        std::llabs(planes.AmpAt(q.X + dy, q.Y + dx) - A(j)) + std::llabs(planes.AmpAt(q.X - dy, q.Y - dx) - A(j));
    const int64_t along = std::llabs(A(j + 1) - A(j)) + std::llabs(A(j - 1) - A(j));
    max2d += along < across;
  }
  f.BigAmpPercent = Round(100.0L * big / n);
  f.Max2DPercent = Round(100.0L * max2d / n);
  return f;
}
}  // namespace

QStringList ChainLines(const TChainResult& r, const TChainPoints& points, const TSearchPlanes& planes, int32_t X,
                       int32_t Y, int32_t sizeHyperbola, int32_t middleAmp) {
  QStringList lines;
  const int32_t count = r.Right - r.Left - 2;
  const TChainFigures f = Figures(r, points, planes, std::clamp(sizeHyperbola, 0, HyperbolaHalfWidthMax));
  lines << QStringLiteral("X,Y=%1,%2").arg(X).arg(Y);
  lines << QStringLiteral("LeftNN = %1").arg(r.Left);
  lines << QStringLiteral("RightNN = %1").arg(r.Right);
  lines << QStringLiteral("CountPoint = %1").arg(count);
  if (count > 0 && X > 0) {
    lines << QStringLiteral("HipCountPoint = %1").arg(r.Count);
    lines << QStringLiteral("UpHiperbola = %1,%2").arg(X).arg(r.Top);
    lines << QStringLiteral("dMax = ") + FloatToStr(f.DMax);
    lines << QStringLiteral("MaxAmpDugi = %1 > %2").arg(static_cast<qint64>(r.W)).arg(middleAmp);
    lines << QStringLiteral("Disperesia = %1").arg(Round(r.Dispersion));
    lines << QStringLiteral("L C R =") + FloatToStr(f.PartMean[0]) + u',' + FloatToStr(f.PartMean[1]) + u',' +
                 FloatToStr(f.PartMean[2]);
    lines << QStringLiteral("count L C R =%1,%2,%3").arg(f.PartCount[0]).arg(f.PartCount[1]).arg(f.PartCount[2]);
    lines << QStringLiteral("% BigAmp > UpAmp =%1").arg(f.BigAmpPercent);
    lines << QStringLiteral("% CountMax2DAtDugi =%1").arg(f.Max2DPercent);
    lines << QStringLiteral("SumAmpDPoperekAndPo = %1").arg(r.D);
    if (r.Detected) lines << QStringLiteral("Detekted");
  }
  for (int32_t v = r.Left + 1; v <= r.Right - 1; ++v) {
    const TChainPoint& q = points[static_cast<size_t>(v)];
    const int32_t j = v - ChainStart;
    const int64_t a = j >= f.H && j <= f.I ? f.A[static_cast<size_t>(j - f.H)] : 0;
    lines << QStringLiteral("%1 %2,%3,  %4").arg(v).arg(q.X).arg(q.Y).arg(a);
  }
  return lines;
}
