#pragma once
// The hyperbola overlay and the depth pick without the window: the points of a
// channel's diffraction hyperbola for the current wave speed, and the depth and
// wave speed of a picked reflection.
//
// Times are ns, depths m, SpeedLight m/us; every routine is pure.

#include <cstdint>
#include <optional>
#include <vector>

class TSettingData;

namespace hyperbola {

// Traces drawn each side of the apex.
constexpr int kHalfWidth = 140;

struct TPoint2 {
  double X = 0;
  double Y = 0;
};

// Trace display: apex sample A = TimeToSample(apexTime), zero sample Z =
// NullShift, D = the depth of one sample; the row of HyperbolaRowEx(A, 140,
// antenSpace, D, proportion, Z). For k = -140 .. 140 with a row value v >= 0: a
// point at (apexX + k, SampleToTime(round(v))). Nothing when A lies above Z.
std::vector<TPoint2> TracePoints(const TSettingData& settings, double apexTime, double apexX, double proportion,
                                 double antenSpace);
// Distance display: zero depth Z = SampleToDepth(NullShift), apex depth =
// TimeToDepth(apexTime), s = MeasureStep / 1000 m; the row of HyperbolaRow(140,
// apex depth, antenSpace, s, Z). For v >= 0: (apexX + k x s,
// SampleToTime(DepthToSample(v))). Nothing when the apex lies above Z.
std::vector<TPoint2> DistancePoints(const TSettingData& settings, double apexTime, double apexX, double antenSpace);

// The depth of a click at clickTime: round(SpeedLight x (clickTime - zeroTime) /
// 2000 x 100) / 100 m.
long double PickedDepth(int32_t speedLight, long double clickTime, long double zeroTime);
// The wave speed that puts a click at clickTime at `depth`: round(depth x 2000 /
// (clickTime - zeroTime)). None for a click at or above the zero time (no
// finite or positive speed), or a result that does not fit.
std::optional<int32_t> SpeedOfPick(long double depth, long double clickTime, long double zeroTime);

}  // namespace hyperbola
