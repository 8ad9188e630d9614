#include "radar/plugins_online_calibration.h"

#include "platform/rtl/rounding.h"
#include "profiledata/channel_store.h"
#include "profiledata/hilbert.h"
#include "profiledata/setting_data.h"
#include "radar/plugins_online.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

TGainCalibration::TGainCalibration(T2Dview* owner, const PluginsOnline::TWindowedBackgroundRemoval& background,
                                   PluginsOnline::TTVGC& gain)
    : FOwner(owner), FBackground(background), FGain(gain) {}

TGainCalibration::~TGainCalibration() = default;

void TGainCalibration::Init() {
  CountLATraces = 0;
  MaxSrOtkl = 0.0005L;
  arOtkl.assign(SamplesMax, 0.0L);
  MiddleSum.assign(SamplesMax, 0.0L);
  MiddleSumNew.assign(SamplesMax, 0.0L);
  StartNumTrace = std::max(0, FBackground.WidthWindow);
  MaxNumTrace = 60;
  NumTraces = 0;
  SrOtkl = 1.0L;
  locData.assign(static_cast<size_t>(MaxNumTrace + 2) * SamplesMax, 0);
  runing = true;
}

QString TGainCalibration::ProgressText() const {
  const int64_t total = static_cast<int64_t>(StartNumTrace) + MaxNumTrace;
  const int64_t percent = total > 0 ? Round(100.0L * CountLATraces / total) : 0;
  return QString::number(CountLATraces) + QStringLiteral(" (") + QString::number(percent) + QStringLiteral("%)");
}

void TGainCalibration::AddTraceForGain(const int32_t* ArrayLastTrace, int32_t lenArrayLastTrace) {
  if (!runing || !ArrayLastTrace) return;
  ++CountLATraces;
  if (CountLATraces < StartNumTrace) return;
  const int32_t N = CountLATraces - StartNumTrace;
  const int32_t n = std::clamp(lenArrayLastTrace, 0, SamplesMax);
  LongTrace = n;
  NumTraces = N;
  // The store has room for MaxNumTrace + 2 traces as Init made it.
  if (N >= MaxNumTrace || static_cast<size_t>(N + 1) * SamplesMax > locData.size()) {
    runing = false;
    return;
  }
  std::copy(ArrayLastTrace, ArrayLastTrace + n, locData.begin() + static_cast<ptrdiff_t>(N) * SamplesMax);

  if (N == 0) {
    for (int32_t k = 0; k < n; ++k) {
      arOtkl[k] = 1.0L;
      MiddleSum[k] += ArrayLastTrace[k];
      MiddleSumNew[k] = MiddleSum[k];
    }
  } else {
    for (int32_t k = 0; k < n; ++k) {
      const long double S = MiddleSum[k];
      MiddleSumNew[k] = S + ArrayLastTrace[k];
      const long double change = std::fabs(S / N - MiddleSumNew[k] / (N + 1));
      // Relative to the previous mean, signed like it; a zero mean counts as 0.001.
      arOtkl[k] = S != 0 ? change / (S / N) : change / 0.001L;
    }
  }
  if (n < 1) {
    SrOtkl = 1.0L;
  } else {
    long double sum = 0;
    for (int32_t k = 0; k < n; ++k) sum += arOtkl[k];
    SrOtkl = sum / n;
  }
  if (MaxSrOtkl >= std::fabs(SrOtkl)) {
    runing = false;
  } else {
    MiddleSum = MiddleSumNew;
  }
}

void TGainCalibration::DQ_Execute(std::vector<int32_t>& block, int samples, int traces) const {
  if (!arMax2InTraces) return;
  FindExtremaInTraces(samples, traces, true, *arMax2InTraces, block, otAmplitude, true);
}

void TGainCalibration::GetAutoListBaseDots() {
  if (!FOwner || NumTraces < 1) return;
  const int samples = std::clamp(LongTrace, 1, SamplesMax);
  const int traces = std::min(NumTraces, static_cast<int32_t>(locData.size() / SamplesMax));
  if (traces < 1) return;
  std::vector<int32_t> block(static_cast<size_t>(traces) * samples);
  for (int t = 0; t < traces; ++t)
    std::copy_n(locData.begin() + static_cast<ptrdiff_t>(t) * SamplesMax, samples,
                block.begin() + static_cast<ptrdiff_t>(t) * samples);
  if (!arMax2InTraces) arMax2InTraces = std::make_unique<TarMax2InTraces>();
  DQ_Execute(block, samples, traces);
  std::vector<double> mean;
  MeanTrace(mean, block.data(), samples, traces);
  FGain.ListofBaseDots.GenBaseDots(mean.data(), samples);
  FGain.ListofBaseDots.PrepaerValues();
  if (TSettingData* settings = FOwner->Settings()) settings->NrmCoef = 127.0L / GetMaxDezoData();
}

int32_t TGainCalibration::GetMaxDezoData() const {
  const int samples = std::clamp(LongTrace, 0, SamplesMax);
  const int traces = std::clamp(NumTraces, 0, static_cast<int32_t>(locData.size() / SamplesMax));
  if (traces < 1) return 1;
  std::vector<int64_t> maxima(static_cast<size_t>(traces), 1);
  for (int t = 0; t < traces; ++t) {
    const int32_t* trace = locData.data() + static_cast<ptrdiff_t>(t) * SamplesMax;
    for (int k = 0; k < samples; ++k) maxima[t] = std::max<int64_t>(maxima[t], std::llabs(int64_t{trace[k]}));
  }
  std::sort(maxima.begin(), maxima.end());
  double koef = 0.75;
  if (const IAcquisitionShell* shell = AcquisitionShell())
    if (const TCustomIniFile* ini = shell->MainIni()) koef = ReadKoefArrMax(*ini);
  const int64_t index = std::clamp<int64_t>(Round(traces * static_cast<long double>(koef) - 1), 0, traces - 1);
  return static_cast<int32_t>(std::min<int64_t>(maxima[index], std::numeric_limits<int32_t>::max()));
}
