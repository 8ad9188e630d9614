#include "tools/corelator.h"

#include "platform/rtl/streams.h"
#include "platform/ui/application.h"
#include "tools/corelator_form.h"
#include "tools/tool_host.h"
#include "tools/tool_record.h"
#include "tools/tool_strings.h"

TCorelator::TCorelator(uint16_t w) : TToolBase<TCorelatorParam>(w) {
  SetCaption(LoadResString(SCorelatorCaption));
  // Records carry the caption's English text as the tool's name (the registry's
  // own name for it is "Adaptive Filter").
  AToolName = QString::fromUtf16(SCorelatorCaption.english);
  AToolDscr = LoadResString(SCorelatorDescription);
  AExecuting = true;
  Mode = TCorelatorMode::Mode1;
  BaseVer = 5;
  BaseHor = 0;
  FillAllSets();
  typeOfPlugin = simple;
  NeedWndPaint = false;
  CurrentNumberView = 0;
  LoadIcons(QStringLiteral("CORELATOR_ICON1"), QStringLiteral("CORELATOR_ICON2"));
}

void TCorelator::execute(bool first, int32_t NumberView) {
  if (runing) return;
  if (GetViewByIndx(NumberView)) {
    IToolHost& host = Host();
    host.SetProgressWidth(NumberView, host.ProgressFullWidth());
  }
  TToolBase<TCorelatorParam>::execute(first, NumberView);
}

void TCorelator::ProcessTraces(const int32_t* in, int32_t* out, int64_t first, int64_t end, int longTrace) const {
  for (int64_t t = first; t < end; ++t) {
    const int64_t at = t * longTrace;
    CorrelateTrace(in + at, out + at, longTrace, BaseVer, Mode);
  }
}

void TCorelator::SaveToStream(TStream& str) {
  TToolRecordWriter record(str, AToolName, RecordFormat, GetCaption(), AExecuting);
  str.WriteValue<uint8_t>(BaseHor);
  str.WriteValue<uint8_t>(BaseVer);
  str.WriteValue<uint8_t>(static_cast<uint8_t>(Mode));
}

void TCorelator::ReadFromUniStream(TStream& str, int32_t NumberView) {
  TToolRecordFields fields(str);
  const TToolRecordHead head = ReadToolRecordHead(fields);
  if (head.HasCaption) SetCaption(head.Caption);
  if (head.HasApply) AExecuting = head.Apply;
  if (head.Format > 31) {
    fields.Read(BaseHor);
    fields.Read(BaseVer);
  }
  uint8_t mode = 0;
  if (head.Format > 32 && fields.Read(mode)) Mode = static_cast<TCorelatorMode>(mode);
  SaveParamPlugin(NumberView);
}

void TCorelator::ReadFromStream(TStream& str, int32_t NumberView) {
  TToolRecordFields fields(str);
  const TToolRecordHead head = ReadOldToolRecordHead(fields);
  if (head.HasCaption) SetCaption(head.Caption);
  if (head.HasApply) AExecuting = head.Apply;
  fields.Read(BaseHor);
  fields.Read(BaseVer);
  SaveParamPlugin(NumberView);
}

TToolForm* TCorelator::CreateForm() { return TComponent::Create<TCorelatorForm>(Application); }
