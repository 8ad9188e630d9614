#include "radargram/gps_track.h"

#include "platform/rtl/rounding.h"
#include "profiledata/gauss_kruger.h"
#include "profiledata/nmea.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace gps_track {

namespace {

constexpr long double kTailStep = 0.01L;
constexpr int64_t kLargestStep = 1000;

struct TPlane {
  long double Northing = 0;
  long double Easting = 0;
};

// The sentence after "name=" of a line.
QString SentenceOf(const QString& line) { return line.mid(line.indexOf(QLatin1Char('=')) + 1); }

std::optional<TPlane> PositionOf(const QString& line) {
  long double lat = 0, lon = 0;
  if (!NmeaToLatLonValues(SentenceOf(line), lat, lon)) return std::nullopt;
  TPlane p;
  GaussKrugerFromGeo(lat, lon, p.Northing, p.Easting);
  return p;
}

// The first line of each trace number 1..traceCount, by trace index (number - 1);
// -1 for a trace without a line. Names are matched as written ("007" is no
// trace's name), as a lookup by name would.
std::vector<int> IndexLines(const QStringList& lines, int traceCount) {
  std::vector<int> index(static_cast<size_t>(std::max(traceCount, 0)), -1);
  for (int i = 0; i < lines.size(); ++i) {
    const QString& line = lines[i];
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq <= 0) continue;
    const QString name = line.left(eq);
    bool ok = false;
    const int number = name.toInt(&ok);
    if (!ok || number < 1 || number > traceCount || QString::number(number) != name) continue;
    int& slot = index[static_cast<size_t>(number - 1)];
    if (slot < 0) slot = i;
  }
  return index;
}

}  // namespace

int64_t OvershootStep(long double dx, long double dy) {
  const long double g = Round(std::max(dx, dy));
  return 5 * (static_cast<int64_t>(std::trunc(g / 5)) + 1);
}

bool WidenForPoint(TTrekRange& range, long double x, long double y) {
  long double dy = 0, dx = 0;
  if (y > range.Y2) dy = y - range.Y2;
  if (y < range.Y1) dy = range.Y1 - y;
  if (x > range.X2) dx = x - range.X2;
  if (x < range.X1) dx = range.X1 - x;
  if (dx == 0 && dy == 0) return false;
  const int64_t step = OvershootStep(dx, dy);
  if (step >= kLargestStep) return false;
  const auto s = static_cast<long double>(step);
  if (y > range.Y2) {
    range.Y2 += s;
    range.X2 += s;
  }
  if (y < range.Y1) {
    range.Y1 -= s;
    range.X1 -= s;
  }
  if (x > range.X2) {
    range.X2 += s;
    range.Y2 += s;
  }
  if (x < range.X1) {
    range.X1 -= s;
    range.Y1 -= s;
  }
  return true;
}

TTrackConversion ConvertNmeaToMetres(const QStringList& lines, int traceCount, std::vector<double>& x,
                                     std::vector<double>& y) {
  TTrackConversion result;
  if (lines.size() <= 1) return result;
  result.isGPS = true;
  TTrackBox& box = result.Box;

  const int64_t len = static_cast<int64_t>(x.size());
  const int64_t n = std::max(traceCount, 0);
  result.FirstCall = len == 0;
  x.resize(static_cast<size_t>(n), 0.0);
  y.resize(static_cast<size_t>(n), 0.0);

  const std::vector<int> index = IndexLines(lines, static_cast<int>(n));
  const auto lineOf = [&](int64_t trace) -> const QString* {
    const int i = index[static_cast<size_t>(trace)];
    return i < 0 ? nullptr : &lines[i];
  };

  std::optional<TPlane> origin;
  if (len >= 1 && n >= 1)
    if (const QString* first = lineOf(0)) origin = PositionOf(*first);

  const auto put = [&](int64_t t, const TPlane& p) {
    x[static_cast<size_t>(t)] = static_cast<double>(p.Easting - origin->Easting);
    y[static_cast<size_t>(t)] = static_cast<double>(p.Northing - origin->Northing);
  };

  // The last trace placed: a later call continues the stored track from its
  // last point instead of from the origin.
  int64_t k = std::max<int64_t>(len - 1, 0);
  for (int64_t i = len; i < n; ++i) {
    x[static_cast<size_t>(i)] = 0;
    y[static_cast<size_t>(i)] = 0;
    if (const QString* line = lineOf(i)) {
      if (const auto p = PositionOf(*line)) {
        if (!origin) origin = p;
        if (i > 0) put(i, *p);
        k = i;
      }
    } else if (origin) {
      int64_t j = i + 1;
      while (j < n && !lineOf(j)) ++j;
      if (j >= n) {
        // No fix follows: the track goes on in a short diagonal, so that each
        // trace keeps a point of its own.
        for (int64_t t = std::max<int64_t>(k + 1, 1); t < n; ++t) {
          x[static_cast<size_t>(t)] = x[static_cast<size_t>(t - 1)] + kTailStep;
          y[static_cast<size_t>(t)] = y[static_cast<size_t>(t - 1)] + kTailStep;
        }
        i = n - 1;
      } else if (const auto p = PositionOf(*lineOf(j))) {
        put(j, *p);
        const double x0 = x[static_cast<size_t>(k)], y0 = y[static_cast<size_t>(k)];
        const double x1 = x[static_cast<size_t>(j)], y1 = y[static_cast<size_t>(j)];
        const auto span = static_cast<double>(j - k);
        for (int64_t t = k + 1; t < j; ++t) {
          const double f = static_cast<double>(t - k) / span;
          x[static_cast<size_t>(t)] = x0 + (x1 - x0) * f;
          y[static_cast<size_t>(t)] = y0 + (y1 - y0) * f;
        }
        k = j;
        i = j;
      } else {
        i = j;
      }
    }
    box.MinX = std::min(box.MinX, x[static_cast<size_t>(i)]);
    box.MaxX = std::max(box.MaxX, x[static_cast<size_t>(i)]);
    box.MinY = std::min(box.MinY, y[static_cast<size_t>(i)]);
    box.MaxY = std::max(box.MaxY, y[static_cast<size_t>(i)]);
  }
  box = SquareBox(box);
  return result;
}

TTrackBox SquareBox(TTrackBox box) {
  const double dx = box.MaxX - box.MinX;
  const double dy = box.MaxY - box.MinY;
  const double w = std::fabs(dx - dy) / 2 + 1;
  if (dx <= dy) {
    box.MinX -= w;
    box.MaxX += w;
    box.MinY -= 1;
    box.MaxY += 1;
  } else {
    box.MinY -= w;
    box.MaxY += w;
    box.MinX -= 1;
    box.MaxX += 1;
  }
  return box;
}

int64_t MarkerTrackIndex(int64_t numTrace, int64_t minTrace, int64_t length, bool surface) {
  if (length <= 0) return -1;
  const int64_t t = numTrace - minTrace;
  if (t < 0) return -1;
  if (t < length) return t;
  return surface ? length - 1 : -1;
}

}  // namespace gps_track
