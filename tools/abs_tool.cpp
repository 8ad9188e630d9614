#include "tools/abs_tool.h"

#include "platform/rtl/streams.h"
#include "tools/tool_record.h"
#include "tools/tool_strings.h"

#include <algorithm>
#include <limits>

namespace {
// |x| saturated: computed unsigned (no overflow for -2147483648), then capped at
// the int32 maximum. Written so that the loops vectorise.
inline int32_t SatAbs(int32_t x) {
  const uint32_t a = x < 0 ? 0u - static_cast<uint32_t>(x) : static_cast<uint32_t>(x);
  return static_cast<int32_t>(std::min<uint32_t>(a, std::numeric_limits<int32_t>::max()));
}

template <class TStep>
void ForEachSample(const int32_t* in, int32_t* out, int64_t n, TStep step) {
  for (int64_t i = 0; i < n; ++i) out[i] = step(in[i]);
}
}  // namespace

TAbsTool::TAbsTool(uint16_t w) : TToolBase<TAbsParam>(w) {
  SetCaption(LoadResString(SAbsCaption));
  AToolName = LoadResString(SAbsToolName);
  AToolDscr = LoadResString(SAbsDescription);
  AExecuting = true;
  RectifierMode = TRectifierMode::FullWave;
  FillAllSets();
  typeOfPlugin = simple;
  CurrentNumberView = 0;
  LoadIcons(QStringLiteral("ABS_ICON1"), QStringLiteral("ABS_ICON2"));
}

void TAbsTool::Rectify(const int32_t* in, int32_t* out, int64_t n, TRectifierMode mode) {
  switch (mode) {
    case TRectifierMode::Positive:
      ForEachSample(in, out, n, [](int32_t x) { return x >= 0 ? x : 0; });
      break;
    case TRectifierMode::Negative:
      ForEachSample(in, out, n, [](int32_t x) { return x < 0 ? SatAbs(x) : 0; });
      break;
    default:
      ForEachSample(in, out, n, SatAbs);
      break;
  }
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
  const TToolRecordHead head = ReadToolRecordHead(str);
  if (head.HasCaption) {
    SetCaption(head.Caption);
    AExecuting = head.Apply;
  }
  if (head.Format > 32) RectifierMode = static_cast<TRectifierMode>(str.ReadValue<uint8_t>());
  SaveParamPlugin(NumberView);
}

void TAbsTool::ReadFromStream(TStream& str, int32_t NumberView) {
  const TToolRecordHead head = ReadOldToolRecordHead(str);
  SetCaption(head.Caption);
  AExecuting = head.Apply;
  SaveParamPlugin(NumberView);
}
