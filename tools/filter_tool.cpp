#include "tools/filter_tool.h"

#include "platform/ui/application.h"
#include "tools/filter_form.h"
#include "tools/frequency_filter_kernels.h"
#include "tools/tool_strings.h"

#include <cmath>

TFilter::TFilter(uint16_t w) : TToolBase<TFilterParam, TFrequencyFilterTool>(w) {
  SetCaption(LoadResString(SFilterCaption));
  AToolName = QString::fromUtf16(SFilterToolName.english);
  AToolDscr = LoadResString(SFilterDescription);
  Defaults();
  typeOfPlugin = simple;
  LoadIcons(QStringLiteral("FILTER_ICON1"), QStringLiteral("FILTER_ICON2"));
}

void TFilter::Defaults() {
  AExecuting = true;
  SetFrequency(DefaultFrequency);
  ARange = 1;
  ATypeFilter = LowPassFilter;
  CurrentTrace = 1;
  MinFr = 1;
  MaxFr = 3000;
  CurrentNumberView = 0;
  runing = false;
  NeedWndPaint = false;
}

long double TFilter::Coefficient(long double dt) const {
  const long double root = std::sqrt(static_cast<long double>(ARange));
  return TypeFilter() == HighPassFilter ? root / (dt * AOmega0) : 1 / (root * AOmega0 * dt);
}

TFilterParam TFilter::PackParams() const {
  return {AExecuting, ATypeFilter, Frequency(), ARange, AOmega0, MinFr, MaxFr};
}

void TFilter::UnpackParams(const TFilterParam& set) {
  ATypeFilter = set.Type;
  AOmega0 = set.Omega0;
  SetFrequency(set.Frequency);
  ARange = static_cast<uint8_t>(set.Range & 0xFF);
  AExecuting = set.Apply;
  MinFr = set.MinFr;
  MaxFr = set.MaxFr;
}

void TFilter::GetParam(int32_t NumberView) {
  if (!Valid(NumberView)) return;
  TToolBase::GetParam(NumberView);
  LineReAllocMem(NumberView);
}

void TFilter::SetAllParamAs(int32_t NumberView) {
  if (!Valid(NumberView)) return;
  const TFilterParam& from = Param[static_cast<size_t>(NumberView)];
  for (TFilterParam& set : Param) {
    set.Apply = from.Apply;
    set.Type = from.Type;
  }
}

void TFilter::ToolInit() {
  Defaults();
  for (int32_t c = ToolChannels - 1; c >= 0; --c) {
    FrequencyInit(c);
    SaveParamPlugin(c);
  }
  GetParam(0);
}

void TFilter::AfterRecordRead() {
  if (AOmega0 == 0) SetFrequency(DefaultFrequency);
}

void TFilter::FilterTraces(int32_t* traces, int count, int n, long double dt) const {
  const long double c = Coefficient(dt);
  // A zero frequency leaves no corner to filter at.
  if (!std::isfinite(c)) return;
  for (int pass = 0; pass < ARange; ++pass) {
    if (TypeFilter() == HighPassFilter) {
      HighPassTraces(traces, traces, count, n, c);
    } else {
      LowPassTraces(traces, traces, count, n, c);
    }
  }
}

TToolForm* TFilter::CreateForm() { return TComponent::Create<TFilterForm>(Application); }
