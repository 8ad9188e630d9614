#include "tools/imaging/search_object_overlays.h"

#include "platform/rtl/rounding.h"

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

int Side(const TOverlayGeometry& g) { return std::clamp(g.SizeHyperbola, 0, 50); }
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
  for (int i = -Side(g); i <= Side(g); ++i) {
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

QStringList ChainLines(const TChainResult& r, const TChainPoints& points, const TSearchPlanes& planes, int32_t X,
                       int32_t Y, int32_t sizeHyperbola, int32_t middleAmp) {
  QStringList lines;
  const int32_t count = r.Right - r.Left - 2;
  lines << QStringLiteral("X,Y=%1,%2").arg(X).arg(Y);
  lines << QStringLiteral("LeftNN = %1").arg(r.Left);
  lines << QStringLiteral("RightNN = %1").arg(r.Right);
  lines << QStringLiteral("CountPoint = %1").arg(count);
  if (count > 0 && X > 0) {
    lines << QStringLiteral("HipCountPoint = %1").arg(r.Count);
    lines << QStringLiteral("UpHiperbola = %1,%2").arg(X).arg(r.Top);
    lines << QStringLiteral("MaxAmpDugi = %1 > %2").arg(static_cast<qint64>(r.W)).arg(middleAmp);
    lines << QStringLiteral("Disperesia = %1").arg(Round(r.Dispersion));
    lines << QStringLiteral("SumAmpDPoperekAndPo = %1").arg(r.D);
    if (r.Detected) lines << QStringLiteral("Detekted");
  }
  const int side = std::clamp(sizeHyperbola, 0, HyperbolaHalfWidthMax);
  const int32_t H = std::max(r.Left + 1 - ChainStart, -side);
  const int32_t I = std::min(r.Right - 1 - ChainStart, side);
  for (int32_t v = r.Left + 1; v <= r.Right - 1; ++v) {
    const TChainPoint& q = points[static_cast<size_t>(v)];
    const int32_t j = v - ChainStart;
    const int32_t a = r.HasStatistics && j >= H && j <= I ? planes.AmpAt(q.X, q.Y) : 0;
    lines << QStringLiteral("%1 %2,%3,  %4").arg(v).arg(q.X).arg(q.Y).arg(a);
  }
  return lines;
}
