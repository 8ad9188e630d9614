#include "tools/blur_tool.h"

#include "platform/rtl/streams.h"
#include "platform/ui/application.h"
#include "tools/blur_form.h"
#include "tools/tool_form.h"
#include "tools/tool_host.h"
#include "tools/tool_record.h"
#include "tools/tool_strings.h"
#include "tools/worker_pool.h"

#include <algorithm>

uint8_t BlurHalfSize(int64_t value) {
  return static_cast<uint8_t>(std::clamp<int64_t>(value, BlurMinHalf, BlurMaxHalf));
}

TBlur::TBlur(uint16_t w) : TToolBase<TBlurParam>(w) {
  SetCaption(LoadResString(SBlurCaption));
  // The registry name is the fixed English text whatever the language.
  AToolName = QString::fromUtf16(SBlurToolName.english);
  AToolDscr = LoadResString(SBlurDescription);
  AExecuting = true;
  BaseHor = 3;
  BaseVer = 3;
  ZoomMask();
  FillAllSets();
  typeOfPlugin = simple;
  CurrentNumberView = 0;
  LoadIcons(QStringLiteral("BLUR_ICON1"), QStringLiteral("BLUR_ICON2"));
}

void TBlur::ZoomMask() { Mask = BuildBlurMask(BaseHor, BaseVer); }

void TBlur::UnpackParams(const TBlurParam& set) {
  AExecuting = set.Apply;
  BaseHor = BlurHalfSize(static_cast<uint8_t>(set.BaseHor));
  BaseVer = BlurHalfSize(static_cast<uint8_t>(set.BaseVer));
}

void TBlur::GetParam(int32_t NumberView) {
  TToolBase<TBlurParam>::GetParam(NumberView);
  ZoomMask();
}

void TBlur::execute(bool first, int32_t NumberView) {
  if (runing) return;
  if (GetViewByIndx(NumberView)) {
    IToolHost& host = Host();
    host.SetProgressWidth(NumberView, host.ProgressFullWidth());
  }
  TToolBase<TBlurParam>::execute(first, NumberView);
}

int64_t TBlur::ProcessChannel(const int32_t* in, int32_t* out, int64_t traces, int longTrace, TRunYield& yield) {
  if (traces <= 0 || longTrace <= 0) return traces;
  // The mask of this run: a dialog change reached through a yield re-runs the
  // tool anyway.
  const TBlurMask mask = Mask;
  const auto part = [&](int64_t a, int64_t b) { BlurTraces(in, out, traces, longTrace, mask, a, b); };
  return RunTracesInRounds(traces, 16384 / longTrace, 4, part, yield);
}

void TBlur::RefreshPropertyes() {
  if (!DialogLive()) return;
  Form()->DisplayParam();
  ZoomMask();
}

void TBlur::SaveToStream(TStream& str) {
  TToolRecordWriter record(str, AToolName, RecordFormat, GetCaption(), AExecuting);
  str.WriteValue<uint8_t>(BaseHor);
  str.WriteValue<uint8_t>(BaseVer);
}

void TBlur::ReadFromUniStream(TStream& str, int32_t NumberView) {
  TToolRecordFields fields(str);
  const TToolRecordHead head = ReadToolRecordHead(fields);
  if (head.HasCaption) SetCaption(head.Caption);
  if (head.HasApply) AExecuting = head.Apply;
  uint8_t value = 0;
  if (head.HasApply && fields.Read(value)) BaseHor = BlurHalfSize(value);
  if (head.HasApply && fields.Read(value)) BaseVer = BlurHalfSize(value);
  ZoomMask();
  SaveParamPlugin(NumberView);
}

void TBlur::ReadFromStream(TStream& str, int32_t NumberView) {
  TToolRecordFields fields(str);
  const TToolRecordHead head = ReadOldToolRecordHead(fields);
  if (head.HasCaption) SetCaption(head.Caption);
  if (head.HasApply) AExecuting = head.Apply;
  uint8_t value = 0;
  if (head.HasApply && fields.Read(value)) BaseHor = BlurHalfSize(value);
  if (head.HasApply && fields.Read(value)) BaseVer = BlurHalfSize(value);
  SaveParamPlugin(NumberView);
}

TToolForm* TBlur::CreateForm() { return TComponent::Create<TBlurForm>(Application); }
