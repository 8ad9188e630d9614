#include "tools/normalization_tool.h"

#include "platform/rtl/rounding.h"
#include "platform/rtl/streams.h"
#include "platform/ui/application.h"
#include "profiledata/channel_store.h"
#include "tools/normalization_form.h"
#include "tools/normalization_kernel.h"
#include "tools/tool_host.h"
#include "tools/tool_record.h"
#include "tools/tool_strings.h"
#include "tools/worker_pool.h"

#include <algorithm>
#include <vector>

TNormalizationTrace::TNormalizationTrace(uint16_t w) : TToolBase<TNormalizationParam>(w) {
  SetCaption(LoadResString(SNormalizationCaption));
  // The registry name is the English text whatever the language: chain records
  // carry it, and the factory and the window find tools by it.
  AToolName = QString::fromUtf16(SNormalizationToolName.english);
  AToolDscr = LoadResString(SNormalizationDescription);
  AExecuting = true;
  FWidthInLine = 0;
  FillAllSets();
  typeOfPlugin = simple;
  CurrentNumberView = 0;
  LoadIcons(QStringLiteral("NORMALIZATION_ICON1"), QStringLiteral("NORMALIZATION_ICON2"));
}

void TNormalizationTrace::SetWidthWindow(int32_t value) {
  FWidthInLine = std::clamp(value, 0, NormalizationMaxWidth);
}

void TNormalizationTrace::execute(bool first, int32_t NumberView) {
  if (runing) return;
  if (GetViewByIndx(NumberView)) {
    IToolHost& host = Host();
    host.SetProgressWidth(NumberView, host.ProgressFullWidth());
  }
  TToolBase<TNormalizationParam>::execute(first, NumberView);
}

int64_t TNormalizationTrace::ProcessChannel(const int32_t* in, int32_t* out, int64_t traces, int longTrace,
                                            TRunYield& yield) {
  if (traces <= 0 || longTrace <= 0) return traces;
  TWorkerPool& pool = TWorkerPool::Instance();
  std::vector<int64_t> peak(static_cast<size_t>(traces));
  pool.Run(0, traces, [&](int64_t a, int64_t b) { TracePeaks(in, longTrace, a, b, peak.data()); });
  const int64_t G = std::max<int64_t>(1, *std::max_element(peak.begin(), peak.end()));
  const std::vector<long double> weight = WindowWeights(traces, FWidthInLine);
  std::vector<int64_t> M(static_cast<size_t>(traces), 1);
  pool.RunChunked(0, traces, 256, [&](int64_t a, int64_t b) { WindowMaxima(peak, weight, a, b, M.data()); });

  const auto part = [&](int64_t a, int64_t b) { ScaleTraces(in, out, longTrace, G, M, a, b); };
  return RunTracesInRounds(traces, 65536 / longTrace, 4, part, yield);
}

int32_t TNormalizationTrace::WidthFromPercent(int32_t percent, int32_t NumberView) const {
  const T2Dview* view = GetViewByIndx(NumberView);
  const long double traces = view ? static_cast<long double>(view->NumTraces()) : 0.0L;
  return SaturateToInt32(Round(percent * traces / 100.0L));
}

void TNormalizationTrace::SaveToStream(TStream& str) {
  TToolRecordWriter record(str, AToolName, RecordFormat, GetCaption(), AExecuting);
  str.WriteValue<int32_t>(FWidthInLine);
}

void TNormalizationTrace::ReadFromUniStream(TStream& str, int32_t NumberView) {
  TToolRecordFields fields(str);
  const TToolRecordHead head = ReadToolRecordHead(fields);
  if (head.HasCaption) SetCaption(head.Caption);
  if (head.HasApply) AExecuting = head.Apply;
  int32_t value = 0;
  if (head.HasApply && head.Format == 32 && fields.Read(value)) {
    SetWidthWindow(WidthFromPercent(value, NumberView));
  } else if (head.HasApply && head.Format > 32 && fields.Read(value)) {
    SetWidthWindow(value);
  }
  SaveParamPlugin(NumberView);
}

void TNormalizationTrace::ReadFromStream(TStream& str, int32_t NumberView) {
  TToolRecordFields fields(str);
  const TToolRecordHead head = ReadOldToolRecordHead(fields);
  if (head.HasCaption) SetCaption(head.Caption);
  if (head.HasApply) AExecuting = head.Apply;
  int32_t percent = 0;
  if (head.HasApply && fields.Read(percent)) SetWidthWindow(WidthFromPercent(percent, NumberView));
  SaveParamPlugin(NumberView);
}

TToolForm* TNormalizationTrace::CreateForm() { return TComponent::Create<TNormalizationForm>(Application); }
