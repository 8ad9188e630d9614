#include "tools/band_filter.h"

#include "platform/rtl/rounding.h"
#include "platform/ui/application.h"
#include "tools/band_pass_form.h"
#include "tools/frequency_filter_kernels.h"
#include "tools/tool_strings.h"

TBandFilter::TBandFilter(uint16_t w) : TToolBase<TBandFilterParam, TFrequencyFilterTool>(w) {
  SetCaption(LoadResString(SBandFilterCaption));
  AToolName = QString::fromUtf16(SBandFilterToolName.english);
  AToolDscr = LoadResString(SBandFilterDescription);
  Defaults();
  typeOfPlugin = simple;
  LoadIcons(QStringLiteral("BANDPASS_ICON1"), QStringLiteral("BANDPASS_ICON2"));
}

void TBandFilter::Defaults() {
  AExecuting = true;
  AOmega0 = 300;
  SetQuality(1);
  ARange = 1;
  ATypeFilter = BandPassFilter;
  CurrentTrace = 1;
  MinFr = 1;
  MaxFr = 3000;
  LineInput.clear();
  LineOutput.clear();
  LineFilter.clear();
  AxisValue.clear();
  runing = false;
  NeedWndPaint = false;
}

int32_t TBandFilter::Quality() const { return RoundToInt32(AOmega0 * ATau / 2); }

void TBandFilter::SetQuality(int32_t Q) { ATau = AOmega0 > 0 ? 2.0L * Q / AOmega0 : 2.0L * Q / 300; }

TBandFilterParam TBandFilter::PackParams() const {
  return {AExecuting, ATypeFilter, Frequency(), Quality(), AOmega0, ATau, MinFr, MaxFr};
}

void TBandFilter::UnpackParams(const TBandFilterParam& set) {
  ATypeFilter = set.Type;
  SetFrequency(set.Frequency);
  AExecuting = set.Apply;
  AOmega0 = set.Omega0;
  SetQuality(set.Quality);
  ATau = set.Tau;
  MinFr = set.MinFr;
  MaxFr = set.MaxFr;
}

void TBandFilter::GetParam(int32_t NumberView) {
  if (!Valid(NumberView)) return;
  TToolBase::GetParam(NumberView);
  LineReAllocMem(NumberView);
}

void TBandFilter::SetAllParamAs(int32_t NumberView) {
  if (!Valid(NumberView)) return;
  const TBandFilterParam& from = Param[static_cast<size_t>(NumberView)];
  for (TBandFilterParam& set : Param) {
    set.Apply = from.Apply;
    set.Type = from.Type;
  }
}

void TBandFilter::ToolInit() {
  Defaults();
  for (int32_t c = ToolChannels - 1; c >= 0; --c) {
    FrequencyInit(c);
    SetQuality(1);
    SaveParamPlugin(c);
  }
  GetParam(0);
}

void TBandFilter::FilterTraces(int32_t* traces, int count, int n, long double dt) const {
  const long double a = dt / Tau();
  const long double b = AOmega0 * AOmega0 * dt * dt;
  for (int pass = 0; pass < ARange; ++pass) {
    if (TypeFilter() == BandStopFilter) {
      BandStopTraces(traces, traces, count, n, a, b);
    } else {
      BandPassTraces(traces, traces, count, n, a, b);
    }
  }
}

void TBandFilter::FilterResponse(int32_t* trace, int n, long double dt) const {
  BandPassTrace(trace, trace, n, dt / Tau(), AOmega0 * AOmega0 * dt * dt);
}

TToolForm* TBandFilter::CreateForm() { return TComponent::Create<TBandPassForm>(Application); }
