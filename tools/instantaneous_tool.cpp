#include "tools/instantaneous_tool.h"

#include "platform/rtl/streams.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "tools/tool_form.h"
#include "tools/tool_host.h"
#include "tools/tool_record.h"

#include <array>

namespace {
// The body of the records before format 33: 40 bytes, an i32 count and that many
// 10-byte values, none of which this tool keeps.
void SkipFormat32Body(TToolRecordFields& fields) {
  if (!fields.Skip(40)) return;
  int32_t n = 0;
  if (!fields.Read(n)) return;
  // A negative count skips nothing (it would step back into the record).
  if (n > 0) fields.Skip(int64_t{n} * 10);
}
}  // namespace

TInstantaneousTool::TInstantaneousTool(uint16_t w) : TToolBase<TInstantaneousParam>(w) {
  AExecuting = true;
  OutputType = otAmplitude;
  FreqInPos = 0;
  locDisplay = true;
  NeedWndPaint = false;
  FillAllSets();
  typeOfPlugin = advanced;
  CurrentNumberView = 0;
}

void TInstantaneousTool::execute(bool first, int32_t NumberView) {
  if (runing) return;
  if (const T2Dview* view = GetViewByIndx(NumberView)) {
    runSpanWidth_ = view->Settings() ? view->Settings()->GetSpanWidth() : 0;
    IToolHost& host = Host();
    host.SetProgressWidth(NumberView, host.ProgressFullWidth());
  }
  TToolBase<TInstantaneousParam>::execute(first, NumberView);
}

void TInstantaneousTool::SaveToStream(TStream& str) {
  TToolRecordWriter record(str, AToolName, RecordFormat, GetCaption(), AExecuting);
  const std::array<uint8_t, 10> zero{};
  str.WriteBuffer(zero.data(), static_cast<int64_t>(zero.size()));
  str.WriteValue<uint8_t>(static_cast<uint8_t>(OutputType));
}

void TInstantaneousTool::ReadFromUniStream(TStream& str, int32_t NumberView) {
  TToolRecordFields fields(str);
  const TToolRecordHead head = ReadToolRecordHead(fields);
  if (head.HasCaption) SetCaption(head.Caption);
  if (head.HasApply) AExecuting = head.Apply;
  if (head.HasApply && head.Format == ToolRecordCaptionFormat) {
    SkipFormat32Body(fields);
  } else if (head.HasApply && head.Format > ToolRecordCaptionFormat) {
    uint8_t type = 0;
    if (fields.Skip(10) && fields.Read(type)) OutputType = OutputTypeFromByte(type);
  }
  SaveParamPlugin(NumberView);
}

void TInstantaneousTool::ReadFromStream(TStream& str, int32_t NumberView) {
  TToolRecordFields fields(str);
  const TToolRecordHead head = ReadOldToolRecordHead(fields);
  if (head.HasCaption) SetCaption(head.Caption);
  if (head.HasApply) {
    AExecuting = head.Apply;
    SkipFormat32Body(fields);
  }
  SaveParamPlugin(NumberView);
}

void TInstantaneousTool::SetAllOutputType(TOutputType b) {
  for (TInstantaneousParam& set : Param) set.OutputType = b;
}

void TInstantaneousTool::AfterChangeNumTrace(int32_t, int32_t) {
  if (Form()) Form()->DisplayParam();
}

void TInstantaneousTool::RefreshPropertyes() {
  if (!DialogLive()) return;
  Form()->DisplayParam();
  PaintPreview(Form()->adding, AExecuting);
}
