#include "tools/abs_tool.h"

#include "platform/rtl/streams.h"
#include "platform/ui/application.h"
#include "tools/abs_form.h"
#include "tools/rectifier_kernel.h"
#include "tools/tool_record.h"
#include "tools/tool_strings.h"

TAbsTool::TAbsTool(uint16_t w) : TToolBase<TAbsParam>(w) {
  SetCaption(LoadResString(SAbsCaption));
  // The registry name is the English text whatever the language: chain records
  // carry it, and the factory and the window find tools by it.
  AToolName = QString::fromUtf16(SAbsToolName.english);
  AToolDscr = LoadResString(SAbsDescription);
  AExecuting = true;
  RectifierMode = TRectifierMode::FullWave;
  FillAllSets();
  typeOfPlugin = simple;
  CurrentNumberView = 0;
  LoadIcons(QStringLiteral("ABS_ICON1"), QStringLiteral("ABS_ICON2"));
}

void TAbsTool::Rectify(const int32_t* in, int32_t* out, int64_t n, TRectifierMode mode) {
  RectifySamples(in, out, n, mode);
}

void TAbsTool::ProcessTraces(const int32_t* in, int32_t* out, int64_t first, int64_t end, int longTrace) const {
  const int64_t from = first * longTrace;
  Rectify(in + from, out + from, (end - first) * longTrace, RectifierMode);
}

void TAbsTool::SaveToStream(TStream& str) {
  TToolRecordWriter record(str, AToolName, RecordFormat, GetCaption(), AExecuting);
  str.WriteValue<uint8_t>(static_cast<uint8_t>(RectifierMode));
}

void TAbsTool::ReadFromUniStream(TStream& str, int32_t NumberView) {
  TToolRecordFields fields(str);
  const TToolRecordHead head = ReadToolRecordHead(fields);
  if (head.HasCaption) SetCaption(head.Caption);
  if (head.HasApply) AExecuting = head.Apply;
  uint8_t mode = 0;
  if (head.Format > 32 && fields.Read(mode)) RectifierMode = static_cast<TRectifierMode>(mode);
  SaveParamPlugin(NumberView);
}

void TAbsTool::ReadFromStream(TStream& str, int32_t NumberView) {
  TToolRecordFields fields(str);
  const TToolRecordHead head = ReadOldToolRecordHead(fields);
  if (head.HasCaption) SetCaption(head.Caption);
  if (head.HasApply) AExecuting = head.Apply;
  SaveParamPlugin(NumberView);
}

TToolForm* TAbsTool::CreateForm() { return TComponent::Create<TAbsForm>(Application); }
