#include "tools/horz_wavelet.h"

#include "platform/rtl/rounding.h"
#include "platform/rtl/streams.h"
#include "platform/ui/application.h"
#include "radar/plugins_online.h"
#include "tools/horz_waveleter_form.h"
#include "tools/tool_host.h"
#include "tools/tool_record.h"
#include "tools/tool_strings.h"
#include "tools/wavelet.h"
#include "tools/worker_pool.h"

#include <algorithm>
#include <vector>

THorzWavelet::THorzWavelet(uint16_t w) : TToolBase<THorzWaveletParam>(w) {
  SetCaption(LoadResString(SHorzWaveleterCaption));
  AToolName = QString::fromUtf16(SHorzWaveleterToolName.english);
  AToolDscr = LoadResString(SHorzWaveleterDescription);
  AExecuting = true;
  WidthWindow = 50;
  FillAllSets();
  typeOfPlugin = simple;
  CurrentNumberView = 0;
  LoadIcons(QStringLiteral("HorzWaveletER_ICON1"), QStringLiteral("HorzWaveletER_ICON2"));
}

void THorzWavelet::UnpackParams(const THorzWaveletParam& set) {
  AExecuting = set.Apply;
  WidthWindow = std::clamp(set.WidthWindow, MinWidthWindow, MaxWidthWindow);
}

int32_t THorzWavelet::KernelCentre() const { return static_cast<int32_t>(Round(WidthWindow / 2.0L)); }

void THorzWavelet::PrepareLineHarmonic(int32_t, int) {
  const int32_t W = std::clamp(WidthWindow, MinWidthWindow, MaxWidthWindow);
  PluginsOnline::PrepareRickerTaps(W / 9.0L, 1.0L, Weight, KernelCentre(), 2 * W, TWavelet::MinWidthWeight,
                                   Kernels.line, Kernels.start, Kernels.stop, Kernels.CorLength, Kernels.CorFunc);
  Kernels.StoreHarmonic(0);
}

void THorzWavelet::PrepareLine(int32_t n) {
  Kernels.ResetBounds();
  PrepareLineHarmonic(n, 0);
}

void THorzWavelet::execute(bool first, int32_t NumberView) {
  if (runing) return;
  if (GetViewByIndx(NumberView)) {
    GetParam(NumberView);
    PrepareLine(NumberView);
  }
  TToolBase<THorzWaveletParam>::execute(first, NumberView);
}

int64_t THorzWavelet::ProcessChannel(const int32_t* in, int32_t* out, int64_t traces, int longTrace,
                                     TRunYield& yield) {
  if (traces <= 0 || longTrace <= 0) return traces;
  const int32_t n = Kernels.TapCount(0);
  const long double* taps = Kernels.Taps(0).data();
  const int32_t half = KernelHalf(n);
  TWorkerPool& pool = TWorkerPool::Instance();
  const int64_t perThread = std::max<int64_t>(16, (256 * 1024) / (int64_t{longTrace} * 4));
  const int64_t round = perThread * pool.ThreadCount();
  const auto part = [&](int64_t a, int64_t b) {
    // The sums of one output trace (BufSum), then its samples.
    std::vector<long double> sum(static_cast<size_t>(longTrace));
    for (int64_t t = a; t < b; ++t) {
      std::fill(sum.begin(), sum.end(), 0.0L);
      CorrelateRows(in, traces, longTrace, taps, n, half, t, t + 1, sum.data());
      int32_t* y = out + t * longTrace;
      for (int s = 0; s < longTrace; ++s) y[s] = RoundToInt32Fast(sum[static_cast<size_t>(s)]);
    }
  };
  int64_t done = 0;
  while (done < traces) {
    const int64_t end = std::min(traces, done + round);
    pool.Run(done, end, part);
    done = end;
    if (!yield.Continue()) break;
  }
  return done;
}

void THorzWavelet::SetParam(int32_t NumberView, const void* P) {
  if (!Valid(NumberView) || !P) return;
  Param[static_cast<size_t>(NumberView)] = {static_cast<const THorzWaveletParam*>(P)->Apply, WidthWindow};
}

void THorzWavelet::SetParameters(const QByteArray&, const void* P) {
  if (!P) return;
  UnpackParams(*static_cast<const THorzWaveletParam*>(P));
  PrepareLine(0);
}

void THorzWavelet::SetParamView(T2Dview* view) {
  if (view) GetParam(ToolHostOf(view).ChannelIndexOf(view));
}

void THorzWavelet::SaveToStream(TStream& str) {
  TToolRecordWriter record(str, AToolName, RecordFormat, GetCaption(), AExecuting);
  str.WriteValue<int32_t>(WidthWindow);
}

void THorzWavelet::ReadFromUniStream(TStream& str, int32_t NumberView) {
  TToolRecordFields fields(str);
  const TToolRecordHead head = ReadToolRecordHead(fields);
  if (head.HasCaption) SetCaption(head.Caption);
  if (head.HasApply) AExecuting = head.Apply;
  if (head.Format >= RecordFormat) {
    int32_t width = WidthWindow;
    if (fields.Read(width)) WidthWindow = std::clamp(width, MinWidthWindow, MaxWidthWindow);
  } else {
    TWaveletRecordValues values{Timescale, isInvert, HarmonicCount, dHarmonic};
    ReadWaveletRecordBody(fields, head.Format, values);
    Timescale = values.Timescale;
    isInvert = values.isInvert;
    HarmonicCount = std::clamp(values.HarmonicCount, 1, TWavelet::MaxHarmonicCount);
    dHarmonic = values.dHarmonic;
  }
  PrepareLine(NumberView);
  SaveParamPlugin(NumberView);
}

void THorzWavelet::ReadFromStream(TStream& str, int32_t NumberView) {
  TToolRecordFields fields(str);
  const TToolRecordHead head = ReadOldToolRecordHead(fields);
  if (head.HasCaption) SetCaption(head.Caption);
  if (head.HasApply) AExecuting = head.Apply;
  PrepareLine(NumberView);
  SaveParamPlugin(NumberView);
}

TToolForm* THorzWavelet::CreateForm() { return TComponent::Create<THorzWaveleterForm>(Application); }
