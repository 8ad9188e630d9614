#include "tools/median_tool.h"

#include "platform/rtl/streams.h"
#include "platform/ui/application.h"
#include "tools/median_form.h"
#include "tools/median_kernel.h"
#include "tools/tool_host.h"
#include "tools/tool_record.h"
#include "tools/tool_strings.h"
#include "tools/worker_pool.h"

#include <algorithm>

namespace {
int32_t ClampHalf(int32_t v) { return std::clamp(v, 0, TMedianTool::MaxHalfWindow); }
}  // namespace

TMedianTool::TMedianTool(uint16_t w) : TToolBase<TMedianParam>(w) {
  SetCaption(LoadResString(SMedianCaption));
  // The registry name is the English text whatever the language: chain records
  // carry it, and the factory and the window find tools by it.
  AToolName = QString::fromUtf16(SMedianToolName.english);
  AToolDscr = LoadResString(SMedianDescription);
  AExecuting = true;
  MedianWindowY = 0;
  MedianWindowX = 1;
  FillAllSets();
  typeOfPlugin = simple;
  CurrentNumberView = 0;
  LoadIcons(QStringLiteral("Median_ICON1"), QStringLiteral("Median_ICON2"));
}

void TMedianTool::UnpackParams(const TMedianParam& set) {
  AExecuting = set.Apply;
  // A set handed in by a caller is held to the window sizes the kernel takes.
  MedianWindowY = ClampHalf(set.MedianWindowY);
  MedianWindowX = ClampHalf(set.MedianWindowX);
}

void TMedianTool::execute(bool first, int32_t NumberView) {
  if (runing) return;
  if (GetViewByIndx(NumberView)) {
    IToolHost& host = Host();
    host.SetProgressWidth(NumberView, host.ProgressFullWidth());
  }
  TToolBase<TMedianParam>::execute(first, NumberView);
}

int64_t TMedianTool::ProcessChannel(const int32_t* in, int32_t* out, int64_t traces, int longTrace,
                                    TRunYield& yield) {
  if (traces <= 0 || longTrace <= 0) return traces;
  const int halfX = ClampHalf(MedianWindowX);
  const int halfY = ClampHalf(MedianWindowY);
  // Pieces of about 16 K samples: short enough that a break is seen soon, long
  // enough that handing them out costs nothing beside the window's work.
  const auto part = [&](int64_t a, int64_t b) {
    MedianFilterTraces(in, out, traces, longTrace, halfX, halfY, a, b);
  };
  return RunTracesInRounds(traces, 16384 / longTrace, 4, part, yield);
}

void TMedianTool::SaveToStream(TStream& str) {
  TToolRecordWriter record(str, AToolName, RecordFormat, GetCaption(), AExecuting);
  str.WriteValue<int32_t>(MedianWindowY);
  str.WriteValue<int32_t>(MedianWindowX);
}

void TMedianTool::ReadFromUniStream(TStream& str, int32_t NumberView) {
  TToolRecordFields fields(str);
  const TToolRecordHead head = ReadToolRecordHead(fields);
  if (head.HasCaption) SetCaption(head.Caption);
  if (head.HasApply) AExecuting = head.Apply;
  int32_t value = 0;
  if (head.HasApply && head.Format > 32 && fields.Read(value)) MedianWindowY = ClampHalf(value);
  if (head.HasApply && head.Format > 33 && fields.Read(value)) MedianWindowX = ClampHalf(value);
  SaveParamPlugin(NumberView);
}

void TMedianTool::ReadFromStream(TStream& str, int32_t NumberView) {
  TToolRecordFields fields(str);
  const TToolRecordHead head = ReadOldToolRecordHead(fields);
  if (head.HasCaption) SetCaption(head.Caption);
  if (head.HasApply) AExecuting = head.Apply;
  SaveParamPlugin(NumberView);
}

TToolForm* TMedianTool::CreateForm() { return TComponent::Create<TMedianForm>(Application); }
