#include "tools/wavelet.h"

#include "platform/rtl/extended.h"
#include "platform/rtl/rounding.h"
#include "platform/rtl/streams.h"
#include "platform/ui/application.h"
#include "profiledata/channel_store.h"
#include "profiledata/gpr_constants.h"
#include "profiledata/setting_data.h"
#include "radar/online_parameters.h"
#include "radar/plugins_online.h"
#include "tools/tool_host.h"
#include "tools/tool_record.h"
#include "tools/tool_shell.h"
#include "tools/tool_strings.h"
#include "tools/waveleter_form.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Format 32 and the older form kept the time scale as a count N: 10000 / (15 N) ns.
long double TimescaleFromCount(int32_t N) { return N == 0 ? 1.6L : 10000.0L / (15.0L * N); }

void ReadCountBody(TToolRecordFields& fields, TWaveletRecordValues& values) {
  int32_t v[4] = {};
  bool complete = true;
  for (int32_t& value : v) complete = complete && fields.Read(value);
  if (complete) values.Timescale = TimescaleFromCount(v[3]);
}

}  // namespace

void ReadWaveletRecordBody(TToolRecordFields& fields, uint8_t format, TWaveletRecordValues& values) {
  if (format < 32) return;
  if (format == 32) {
    ReadCountBody(fields, values);
    return;
  }
  fields.ReadExtended(values.Timescale);
  if (format == 33) {
    values.isInvert = false;
    values.HarmonicCount = 1;
    values.dHarmonic = 1.0L;
    return;
  }
  fields.ReadBool(values.isInvert);
  fields.Read(values.HarmonicCount);
  fields.ReadExtended(values.dHarmonic);
}

void ReadOldWaveletRecordBody(TToolRecordFields& fields, TWaveletRecordValues& values) {
  ReadCountBody(fields, values);
}

TWavelet::TWavelet(uint16_t w) : TToolBase<TWaveletParam>(w) {
  SetCaption(LoadResString(SWaveleterCaption));
  AToolName = QString::fromUtf16(SWaveleterToolName.english);
  AToolDscr = LoadResString(SWaveleterDescription);
  AExecuting = true;
  Timescale = 2.0L;
  dHarmonic = 1.0L;
  SetHarmonicCount(1);
  isInvert = false;
  FillAllSets();
  typeOfPlugin = simple;
  CurrentNumberView = 0;
  LoadIcons(QStringLiteral("WAVELETER_ICON1"), QStringLiteral("WAVELETER_ICON2"));
}

void TWavelet::SetHarmonicCount(int32_t value) {
  AHarmonicCount = std::clamp(value, 1, MaxHarmonicCount);
  FHarmonicHalf = (AHarmonicCount - 1) / 2;
}

void TWavelet::UnpackParams(const TWaveletParam& set) {
  AExecuting = set.Apply;
  if (std::isfinite(set.Timescale)) Timescale = set.Timescale;
  SetHarmonicCount(set.HarmonicCount);
  if (std::isfinite(set.dHarmonic)) dHarmonic = set.dHarmonic;
  isInvert = set.isInvert;
}

long double TWavelet::SampleInterval(int32_t n) const {
  const T2Dview* view = GetViewByIndx(n);
  const TSettingData* settings = view ? view->Settings() : nullptr;
  if (!settings || settings->GetLongTrace() <= 0) return 0;
  return static_cast<long double>(settings->GetSpanWidth()) / settings->GetLongTrace();
}

void TWavelet::PrepareLineHarmonic(int32_t n, int h) {
  h = std::clamp(h, -TWaveletKernels::MaxHalf, TWaveletKernels::MaxHalf);
  const T2Dview* view = GetViewByIndx(n);
  // A negative width takes no part (weight 0); a zero width none either.
  const long double width = Timescale + dHarmonic * h;
  const long double b = width > 0 ? HarmonicWeight(h, FHarmonicHalf) : 0.0L;
  PluginsOnline::PrepareWaveletTaps(width, view ? view->Settings() : nullptr, Kernels.line, Kernels.start,
                                    Kernels.stop, Kernels.CorLength, Kernels.CorFunc, b, MinWidthWeight);
  Kernels.StoreHarmonic(h);
}

void TWavelet::PrepareLine(int32_t n) {
  Kernels.ResetBounds();
  for (int h = -FHarmonicHalf; h <= FHarmonicHalf; ++h) PrepareLineHarmonic(n, h);
}

long double TWavelet::ApplyHarmonicStepBound() {
  const long double span = Timescale / (AHarmonicCount / 2.0L);
  const long double limit = std::trunc(10.0L * span) / 10.0L;
  if (dHarmonic > span) dHarmonic = limit;
  return limit;
}

long double TWavelet::AntennaTimescale(int32_t n) const {
  const T2Dview* view = GetViewByIndx(n);
  const TSettingData* settings = view ? view->Settings() : nullptr;
  return settings ? UnitParams(settings->GetTypeGPR()).TimeScaleForWavelet : 0.0L;
}

void TWavelet::ChangeTimescaleIfNoCorrect(int32_t n) {
  if (!ToolShell().SimpleMode()) return;
  const long double x = AntennaTimescale(n);
  if (x > 0 && x != Timescale) {
    Timescale = x;
    SaveParamPlugin(n);
  }
}

void TWavelet::execute(bool first, int32_t NumberView) {
  if (runing) return;
  if (GetViewByIndx(NumberView)) {
    GetParam(NumberView);
    ChangeTimescaleIfNoCorrect(NumberView);
    PrepareLine(NumberView);
  }
  TToolBase<TWaveletParam>::execute(first, NumberView);
}

void TWavelet::ProcessTraces(const int32_t* in, int32_t* out, int64_t first, int64_t end, int longTrace) const {
  if (longTrace <= 0) return;
  // One accumulator per sample of the trace being filtered (BufSum).
  std::vector<long double> sum(static_cast<size_t>(longTrace));
  for (int64_t t = first; t < end; ++t) {
    const int32_t* x = in + t * longTrace;
    int32_t* y = out + t * longTrace;
    std::fill(sum.begin(), sum.end(), 0.0L);
    for (int h = -FHarmonicHalf; h <= FHarmonicHalf; ++h) {
      const int32_t n = Kernels.TapCount(h);
      if (n > 0) CorrelateTrace(x, longTrace, Kernels.Taps(h).data(), n, KernelHalf(n), sum.data());
    }
    if (isInvert) {
      for (int k = 0; k < longTrace; ++k) y[k] = RoundToInt32Fast(x[k] - sum[k]);
    } else {
      for (int k = 0; k < longTrace; ++k) y[k] = RoundToInt32Fast(sum[k]);
    }
  }
}

void TWavelet::SetParam(int32_t NumberView, const void* P) {
  if (!Valid(NumberView) || !P) return;
  const auto& p = *static_cast<const TParametrsWavelet*>(P);
  TWaveletParam& set = Param[static_cast<size_t>(NumberView)];
  set.Apply = p.pApplay;
  if (std::isfinite(p.pTimescale)) set.Timescale = p.pTimescale;
  set.HarmonicCount = std::clamp(p.pHarmonicCount, 1, MaxHarmonicCount);
  if (std::isfinite(p.pdHarmonic)) set.dHarmonic = p.pdHarmonic;
  set.isInvert = p.pisInvert;
}

void TWavelet::SetParameters(const QByteArray&, const void* P) {
  if (!P) return;
  const auto& p = *static_cast<const TParametrsWavelet*>(P);
  SetHarmonicCount(1);
  if (std::isfinite(p.pTimescale)) Timescale = p.pTimescale;
  AExecuting = p.pApplay;
  SetHarmonicCount(p.pHarmonicCount);
  if (std::isfinite(p.pdHarmonic)) dHarmonic = p.pdHarmonic;
  isInvert = p.pisInvert;
  PrepareLine(0);
}

void TWavelet::SaveParamPlugin(int32_t NumberView) {
  WaitWhileRuning();
  if (Valid(NumberView)) Param[static_cast<size_t>(NumberView)] = PackParams();
}

void TWavelet::SetParamView(T2Dview* view) {
  if (!view) return;
  GetParam(ToolHostOf(view).ChannelIndexOf(view));
  if (IOnlineStages* stages = view->OnlineStages()) {
    stages->SetWaveletTimescale(Timescale);
    stages->SetWaveletApplay(AExecuting);
  }
}

int TWavelet::SetPropertyes(bool b) {
  if (b && !Form()) {
    // The new tool starts from each channel's antenna; a channel without a view,
    // or whose antenna has no time scale, takes the one before it.
    for (int32_t n = 0; n < ToolChannels; ++n) {
      const long double x = AntennaTimescale(n);
      if (GetViewByIndx(n) && x > 0) Timescale = x;
      TWaveletParam& set = Param[static_cast<size_t>(n)];
      set.Apply = AExecuting;
      set.Timescale = Timescale;
      set.HarmonicCount = AHarmonicCount;
      set.dHarmonic = dHarmonic;
    }
    const long double x = AntennaTimescale(CurrentNumberView);
    if (x > 0) Timescale = x;
  }
  return TToolBase<TWaveletParam>::SetPropertyes(b);
}

void TWavelet::SaveToStream(TStream& str) {
  TToolRecordWriter record(str, AToolName, RecordFormat, GetCaption(), AExecuting);
  WriteExtended(str, Timescale);
  str.WriteValue<uint8_t>(isInvert ? 1 : 0);
  str.WriteValue<int32_t>(AHarmonicCount);
  WriteExtended(str, dHarmonic);
}

void TWavelet::ReadFromUniStream(TStream& str, int32_t NumberView) {
  TToolRecordFields fields(str);
  const TToolRecordHead head = ReadToolRecordHead(fields);
  if (head.HasCaption) SetCaption(head.Caption);
  if (head.HasApply) AExecuting = head.Apply;
  TWaveletRecordValues values{Timescale, isInvert, AHarmonicCount, dHarmonic};
  ReadWaveletRecordBody(fields, head.Format, values);
  Timescale = values.Timescale;
  isInvert = values.isInvert;
  SetHarmonicCount(values.HarmonicCount);
  dHarmonic = values.dHarmonic;
  PrepareLine(NumberView);
  SaveParamPlugin(NumberView);
}

void TWavelet::ReadFromStream(TStream& str, int32_t NumberView) {
  TToolRecordFields fields(str);
  const TToolRecordHead head = ReadOldToolRecordHead(fields);
  if (head.HasCaption) SetCaption(head.Caption);
  if (head.HasApply) AExecuting = head.Apply;
  TWaveletRecordValues values{Timescale, isInvert, AHarmonicCount, dHarmonic};
  ReadOldWaveletRecordBody(fields, values);
  Timescale = values.Timescale;
  PrepareLine(NumberView);
  SaveParamPlugin(NumberView);
}

TToolForm* TWavelet::CreateForm() { return TComponent::Create<TWaveleterForm>(Application); }
