// TSettingData: the depth-dependent stacking table and the trace rate estimate.
//
// Deeper samples are weaker, so the radar sums them more often: the stack count of
// sample i rises exponentially from 1 at the first sample to StackingVolume + 1 at
// the last,
//   s_i = round(k x (exp(i / b) - 1) x StackingVolume + 1),
//   b = StackingCurve / OverStep, k = 1 / (exp((LongTrace - 1) / b) - 1),
// and a larger StackingCurve makes the rise later and steeper. The table stores the
// counts as runs (first sample, count); the online display divides each raw sample
// by the count of its run.

#include "profiledata/setting_data.h"

#include "platform/rtl/rounding.h"

#include <algorithm>
#include <cmath>

long double TSettingData::TraceRate(long double stackCount, int32_t longTrace) {
  // Duration of one trace: a cost per sounding of every sample plus a cost per sample.
  const long double period = stackCount * longTrace * 1.18215327807e-5L + longTrace * 2.49583623828e-5L;
  if (period == 0) return 0;
  const long double rate = 1 / period;
  return std::isfinite(rate) ? rate : 0;
}

void TSettingData::PrepareStacking() {
  SteckingArray.fill(TSteckingRun{1000, 1});
  const int64_t longTrace = FLongTrace;

  if (FTypeGPR == Unit52) {
    // This unit stacks evenly: one count over the whole trace.
    const uint16_t count = uint16_t(FStackingVolume);
    SteckingArray[0] = {0, count};
    SteckingArray[1] = {uint16_t(std::max<int64_t>(longTrace - 1, 0)), count};
    FSteckingLength = 2;
    FAverageStecking = FStackingVolume;
    FPRF = TraceRate(FAverageStecking, FLongTrace);
    return;
  }

  FSteckingLength = 0;
  if (FStackingCurve == 0) FStackingCurve = 1;
  const long double b = static_cast<long double>(FStackingCurve) / FOverStep;
  const long double k = 1 / (std::exp((longTrace - 1) / b) - 1);

  // A trace of one sample (or none), an OverStep of 0, or a curve so steep that the
  // exponential overflows leave no curve to sample (k infinite or 0, the mean
  // divided by 0): the table is then a single run of count 1 and the mean count 1.
  if (longTrace <= 1 || !std::isfinite(b) || !std::isfinite(k) || k == 0) {
    SteckingArray[0] = {0, 1};
    FSteckingLength = 1;
    FAverageStecking = 1;
    FPRF = TraceRate(FAverageStecking, FLongTrace);
    return;
  }

  // k x (exp(i / b) - 1) runs from 0 to 1 for either sign of b, so every count is
  // finite; a count is kept as 16 bits, a start sample too.
  long double sum = 0;
  int runs = 0;
  for (int64_t i = 0; i < longTrace; ++i) {
    const uint16_t count = uint16_t(Round(k * (std::exp(i / b) - 1) * FStackingVolume + 1));
    sum += count;
    // Only 1000 runs fit; a trace from a damaged record that needs more keeps the
    // first 1000 (the mean still covers every sample).
    if ((runs == 0 || count != SteckingArray[runs - 1].Count) && runs < SteckingRunCount)
      SteckingArray[runs++] = {uint16_t(i), count};
  }
  FSteckingLength = uint16_t(runs);
  // The mean divides by LongTrace - 1, not by the number of samples.
  FAverageStecking = sum / (longTrace - 1);
  FPRF = TraceRate(FAverageStecking, FLongTrace);
}
