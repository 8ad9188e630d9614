// A channel's automatic time zero (time_zero.h).

#include "radargram/time_zero.h"

#include "platform/rtl/rounding.h"
#include "platform/rtl/sys_utils.h"
#include "profiledata/channel_store.h"
#include "profiledata/hilbert.h"
#include "profiledata/setting_data.h"
#include "radargram/display_pipeline.h"

#include <algorithm>
#include <cstdlib>
#include <numeric>

namespace time_zero {

std::vector<int32_t> MeanTraceOfTerms(const int32_t* raw, int64_t traces, int32_t longTrace,
                                      const std::vector<int32_t>& divisors) {
  if (!raw || traces <= 0 || longTrace <= 0) return {};
  const bool divide = !divisors.empty();
  std::vector<int64_t> sums(static_cast<size_t>(longTrace), 0);
  for (int64_t b = 0; b < traces; ++b) {
    const int32_t* trace = raw + b * longTrace;
    for (int32_t i = 0; i < longTrace; ++i) {
      int64_t x = trace[i];
      if (divide) x = Round(static_cast<long double>(x) / std::max(divisors[static_cast<size_t>(i)], 1));
      sums[static_cast<size_t>(i)] += x / traces;  // C++ division truncates towards zero
    }
  }
  std::vector<int32_t> mean(sums.size());
  std::transform(sums.begin(), sums.end(), mean.begin(), [](int64_t s) { return SaturateToInt32(s); });
  return mean;
}

int32_t ZeroSampleOfMeanTrace(std::vector<int32_t> mean, double timeWindow) {
  if (mean.empty()) return 0;
  const auto n = static_cast<int64_t>(mean.size());
  const int64_t a = std::accumulate(mean.begin(), mean.end(), int64_t{0}) / n;
  HilbertTransformTrace(mean.data(), static_cast<int>(n), 0, timeWindow);
  int32_t zero = 0;
  int64_t largest = -1000001;
  for (int64_t i = 0; i < n; ++i) {
    const int64_t swing = std::llabs(mean[static_cast<size_t>(i)] - a);
    if (swing > largest) {
      largest = swing;
      zero = static_cast<int32_t>(i);
    }
  }
  return zero;
}

int32_t AutomaticNullSample(const T2Dview& store) {
  const TSettingData& settings = *store.Settings();
  const int32_t longTrace = settings.GetLongTrace();
  if (longTrace <= 0 || store.RawData.Empty()) return -1;
  // A damaged file may hold fewer samples than its trace range claims.
  const int64_t traces = std::min(store.NumTraces(), store.RawData.Samples() / longTrace);
  if (traces <= 0) return -1;
  std::vector<int32_t> divisors;
  if (settings.GetAdvanceStacking()) {
    divisors.resize(static_cast<size_t>(longTrace));
    for (int32_t i = 0; i < longTrace; ++i) divisors[static_cast<size_t>(i)] = display_pipeline::GetStackingDivisor(i, settings);
  }
  return ZeroSampleOfMeanTrace(MeanTraceOfTerms(store.RawData.Data(), traces, longTrace, divisors),
                               settings.GetSpanWidth());
}

QString ZeroLevelDepthText(long double timeNs, int32_t speedLight) {
  return FloatToStrF(timeNs * speedLight / 2000.0L, ffFixed, 15, 2);
}

}  // namespace time_zero
