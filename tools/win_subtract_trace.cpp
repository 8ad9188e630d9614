#include "tools/win_subtract_trace.h"

#include "platform/rtl/rounding.h"
#include "platform/rtl/streams.h"
#include "platform/ui/application.h"
#include "profiledata/channel_store.h"
#include "radar/online_parameters.h"
#include "tools/tool_host.h"
#include "tools/tool_record.h"
#include "tools/tool_strings.h"
#include "tools/win_subtract_kernel.h"
#include "tools/window_substr_average_form.h"
#include "tools/worker_pool.h"

#include <algorithm>

TWinSubtractTrace::TWinSubtractTrace(uint16_t w) : TToolBase<TWinSubtractParam>(w) {
  SetCaption(LoadResString(SWindowSubstrAverageCaption));
  AToolName = QString::fromUtf16(SWindowSubstrAverageToolName.english);
  AToolDscr = LoadResString(SWindowSubstrAverageDescription);
  AExecuting = true;
  FWidthInLine = 100;
  FillAllSets();
  typeOfPlugin = simple;
  CurrentNumberView = 0;
  LoadIcons(QStringLiteral("WINDOWSUBSTRAVERAGE_ICON1"), QStringLiteral("WINDOWSUBSTRAVERAGE_ICON2"));
}

void TWinSubtractTrace::SetWidthWindow(int32_t value) {
  FWidthInLine = std::clamp(value, MinWidthWindow, MaxWidthWindow);
}

void TWinSubtractTrace::SetParam(int32_t NumberView, const void* P) {
  if (!Valid(NumberView) || !P) return;
  const auto& p = *static_cast<const TParametrsWindowedBackgroundRemoval*>(P);
  Param[static_cast<size_t>(NumberView)] = {p.pApplay, std::clamp(p.pWidthWindow, MinWidthWindow, MaxWidthWindow)};
}

void TWinSubtractTrace::SetParameters(const QByteArray&, const void* P) {
  if (!P) return;
  const auto& p = *static_cast<const TParametrsWindowedBackgroundRemoval*>(P);
  SetWidthWindow(p.pWidthWindow);
  AExecuting = p.pApplay;
}

void TWinSubtractTrace::SaveParamPlugin(int32_t NumberView) {
  WaitWhileRuning();
  if (Valid(NumberView)) Param[static_cast<size_t>(NumberView)] = PackParams();
}

void TWinSubtractTrace::SetParamView(T2Dview* view) {
  if (!view) return;
  GetParam(ToolHostOf(view).ChannelIndexOf(view));
  if (IOnlineStages* stages = view->OnlineStages()) {
    stages->SetWidthWindow(FWidthInLine);
    stages->SetWindowedBackgroundRemovalApplay(AExecuting);
  }
}

int64_t TWinSubtractTrace::ProcessChannel(const int32_t* in, int32_t* out, int64_t traces, int longTrace,
                                          TRunYield& yield) {
  if (traces <= 0 || longTrace <= 0) return traces;
  const int32_t W = FWidthInLine;
  const bool gauss = GausseRun;
  const long double koef = KoefGausse;
  TWorkerPool& pool = TWorkerPool::Instance();
  // A plain block first sums its whole window: blocks of many windows keep that
  // extra reading small.
  const int64_t perThread = std::max<int64_t>({64, 8 * int64_t{W}, (256 * 1024) / (int64_t{longTrace} * 4)});
  const int64_t round = perThread * pool.ThreadCount();
  const auto part = [&](int64_t a, int64_t b) {
    if (gauss) {
      SubtractGaussWindowMean(in, traces, longTrace, W, koef, a, b, out);
    } else {
      SubtractPlainWindowMean(in, traces, longTrace, W, a, b, out);
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

int32_t TWinSubtractTrace::WidthFromPercent(int32_t percent, int32_t NumberView) const {
  const T2Dview* view = GetViewByIndx(NumberView);
  const long double traces = view ? static_cast<long double>(view->NumTraces()) : 0.0L;
  return SaturateToInt32(Round(percent * traces / 100.0L));
}

void TWinSubtractTrace::SaveToStream(TStream& str) {
  TToolRecordWriter record(str, AToolName, RecordFormat, GetCaption(), AExecuting);
  str.WriteValue<int32_t>(FWidthInLine);
}

void TWinSubtractTrace::ReadFromUniStream(TStream& str, int32_t NumberView) {
  TToolRecordFields fields(str);
  const TToolRecordHead head = ReadToolRecordHead(fields);
  if (head.HasCaption) SetCaption(head.Caption);
  if (head.HasApply) AExecuting = head.Apply;
  int32_t value = 0;
  if (head.Format == 32 && fields.Read(value)) {
    SetWidthWindow(WidthFromPercent(value, NumberView));
  } else if (head.Format > 32 && fields.Read(value)) {
    SetWidthWindow(value);
  }
  SaveParamPlugin(NumberView);
}

void TWinSubtractTrace::ReadFromStream(TStream& str, int32_t NumberView) {
  TToolRecordFields fields(str);
  const TToolRecordHead head = ReadOldToolRecordHead(fields);
  if (head.HasCaption) SetCaption(head.Caption);
  if (head.HasApply) AExecuting = head.Apply;
  int32_t percent = 0;
  if (fields.Read(percent)) SetWidthWindow(WidthFromPercent(percent, NumberView));
  SaveParamPlugin(NumberView);
}

TToolForm* TWinSubtractTrace::CreateForm() { return TComponent::Create<TWindowSubstrAverageForm>(Application); }
