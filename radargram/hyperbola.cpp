#include "radargram/hyperbola.h"

#include "platform/rtl/rounding.h"
#include "profiledata/geometry_gpr.h"
#include "profiledata/setting_data.h"

#include <cmath>

namespace hyperbola {

namespace {

THyperbolaArray EmptyRow() {
  THyperbolaArray row;
  row.fill(-1.0f);
  return row;
}

}  // namespace

std::vector<TPoint2> TracePoints(const TSettingData& settings, double apexTime, double apexX, double proportion,
                                 double antenSpace) {
  std::vector<TPoint2> points;
  const int32_t A = settings.TimeToSample(apexTime);
  const int32_t Z = settings.GetNullShift();
  const long double D = settings.SampleToDepth(1) - settings.SampleToDepth(0);
  THyperbolaArray row = EmptyRow();
  HyperbolaRowEx(A, kHalfWidth, static_cast<float>(antenSpace), static_cast<float>(D), static_cast<float>(proportion),
                 static_cast<float>(Z), row);
  for (int k = -kHalfWidth; k <= kHalfWidth; ++k) {
    const float v = row[static_cast<size_t>(HyperbolaApexIndex + k)];
    if (!(v >= 0)) continue;
    points.push_back({apexX + k, static_cast<double>(settings.SampleToTime(RoundToInt32(v)))});
  }
  return points;
}

std::vector<TPoint2> DistancePoints(const TSettingData& settings, double apexTime, double apexX, double antenSpace) {
  std::vector<TPoint2> points;
  const long double Z = settings.SampleToDepth(settings.GetNullShift());
  const long double apexDepth = settings.TimeToDepth(apexTime);
  const double s = static_cast<double>(settings.GetMeasureStep()) / 1000;
  THyperbolaArray row = EmptyRow();
  HyperbolaRow(kHalfWidth, row, static_cast<float>(apexDepth), static_cast<float>(antenSpace), static_cast<float>(s),
               static_cast<float>(Z));
  for (int k = -kHalfWidth; k <= kHalfWidth; ++k) {
    const float v = row[static_cast<size_t>(HyperbolaApexIndex + k)];
    if (!(v >= 0)) continue;
    points.push_back({apexX + k * s, static_cast<double>(settings.SampleToTime(settings.DepthToSample(v)))});
  }
  return points;
}

long double PickedDepth(int32_t speedLight, long double clickTime, long double zeroTime) {
  return static_cast<long double>(Round(speedLight * (clickTime - zeroTime) / 2000 * 100)) / 100;
}

std::optional<int32_t> SpeedOfPick(long double depth, long double clickTime, long double zeroTime) {
  const long double dt = clickTime - zeroTime;
  if (!(dt > 0)) return std::nullopt;
  const long double speed = depth * 2000 / dt;
  if (!std::isfinite(speed) || speed < 0 || speed > 2147483647.0L) return std::nullopt;
  return RoundToInt32(speed);
}

}  // namespace hyperbola
