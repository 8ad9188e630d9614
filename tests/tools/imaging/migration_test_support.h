#pragma once
// What the imaging tests share: wheel-mode channels and the migrations' sums
// written out term by term as the summation's definition states them, with no
// shortcut, to hold the fast summation against.

#include "platform/rtl/rounding.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "tests/tools/tool_test_support.h"
#include "tools/imaging/directivity_diagram.h"

#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

namespace imaging_test_support {

struct TWheelChannel {
  int64_t traces = 12;
  int longTrace = 40;
  int32_t nullShift = 3;
  int32_t speed = 100;       // mm/ns
  double spanWidth = 40.0;   // ns
  uint8_t overStep = 1;
  double wheelStep = 2.0;    // mm per tick
  TTypeGPR unit = unknown;
  TRunMode mode = rmWheel;
};

inline std::unique_ptr<T2Dview> MakeWheelChannel(const TWheelChannel& c, const std::vector<int32_t>& samples) {
  auto view = MakeChannel(c.traces, c.longTrace);
  TSettingData& s = *view->Settings();
  s.RestoreSpeedLight(c.speed);
  s.RestoreSpanWidth(c.spanWidth);
  s.RestoreOverStep(c.overStep);
  s.SetNullShift(c.nullShift);
  s.SetWheelMult(1);
  s.SetWheelStep(c.wheelStep);
  s.SetRunMode(c.mode);
  s.SetTypeGPR(c.unit);
  s.RestoreLongTrace(c.longTrace);
  if (!samples.empty()) SetSamples(*view, samples);
  return view;
}

// The sum at output (k, s) given the arrival and weight of offset i (weight < 0:
// the term is skipped).
template <class TTerm>
int32_t ReferenceSample(const std::vector<int32_t>& in, int64_t n, int l, int64_t k, TTerm term) {
  long double sum = 0, weights = 0;
  for (int64_t i = -n; i <= n - 1; ++i) {
    const int64_t t = k - i;
    if (t < 1 || t > n - 2) continue;
    int64_t v = 0;
    long double w = 0;
    if (!term(i, v, w)) continue;
    if (v >= l) continue;
    const int64_t index = t * l + v;
    const int32_t a = index > 0 && index < static_cast<int64_t>(in.size()) ? in[static_cast<size_t>(index)] : 0;
    sum += a * w;
    weights += w;
  }
  return weights != 0 ? RoundToInt32(sum / weights) : 0;
}

// The advanced migration of a whole channel.
inline std::vector<int32_t> ReferenceAdvanced(const std::vector<int32_t>& in, int64_t n, int l, int32_t z, double e,
                                              long double p, const TDirectivityDiagram& diagram) {
  std::vector<int32_t> out = in;
  for (int64_t k = 0; k < n; ++k)
    for (int32_t s = std::max(z, 0); s < l; ++s) {
      const long double h = s - z;
      const double r = static_cast<double>(std::sqrt(h * h + static_cast<long double>(e) * e));
      const double delta = r - static_cast<double>(s - z);
      out[static_cast<size_t>(k * l + s)] = ReferenceSample(in, n, l, k, [&](int64_t i, int64_t& v, long double& w) {
        const long double x = i * p;
        const long double u = std::sqrt(static_cast<long double>(r) * r + x * x);
        if (u == 0) return false;
        v = Round(z + u - delta);
        w = diagram.DiagramWeight(r / u);
        return true;
      });
    }
  return out;
}

// The plain migration of a whole channel.
inline std::vector<int32_t> ReferenceMetric(const std::vector<int32_t>& in, int64_t n, int l, const TSettingData& s,
                                            const TDirectivityDiagram& diagram) {
  std::vector<int32_t> out = in;
  const int32_t z0 = s.GetNullShift();
  const long double v = s.GetSpeedLight(), t = s.GetSpanWidth(), o = s.GetOverStep(), m = s.GetMeasureStep();
  for (int64_t k = 0; k < n; ++k)
    for (int32_t row = std::max(z0, 0); row < l; ++row) {
      const long double z = (row - z0) * t * o / 1000 * v / 2000;
      out[static_cast<size_t>(k * l + row)] = ReferenceSample(in, n, l, k, [&](int64_t i, int64_t& at, long double& w) {
        const long double x = m * i / 1000;
        const long double r = std::sqrt(z * z + x * x);
        if (r == 0) return false;
        at = Round(r * 2000 * 1000 / (v * t * o) + z0);
        w = diagram.DiagramWeight(z / r);
        return true;
      });
    }
  return out;
}

}  // namespace imaging_test_support
