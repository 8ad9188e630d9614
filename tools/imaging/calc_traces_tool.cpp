#include "tools/imaging/calc_traces_tool.h"

#include "platform/rtl/streams.h"
#include "platform/ui/application.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "tools/imaging/calc_traces_form.h"
#include "tools/tool_host.h"
#include "tools/tool_record.h"
#include "tools/tool_strings.h"

#include <cstring>

TCalcTracesTool::TCalcTracesTool(uint16_t w) : TToolBase<TCalcTracesParam>(w) {
  SetCaption(LoadResString(SCalcTracesCaption));
  // The registry name is the English text whatever the language: chain records
  // carry it, and the factory and the window find tools by it.
  AToolName = QString::fromUtf16(SCalcTracesToolName.english);
  AToolDscr = LoadResString(SCalcTracesDescription);
  AExecuting = true;
  typeOfPlugin = simple;
  AreaCalc.X1 = 0;
  AreaCalc.X2 = 11800;
  AreaCalc.Y1 = 0;
  AreaCalc.Y2 = 1200;
  AreaCalc.Z1 = 0;
  AreaCalc.Z2 = 5000;
  AreaCalc.StepX = 20;
  AreaCalc.StepY = 2;
  AreaCalc.StepZ = 10;
  FillAllSets();
  CurrentNumberView = 0;
  LoadIcons(QStringLiteral("ABS_ICON1"), QStringLiteral("ABS_ICON2"));
}

int32_t TCalcTracesTool::LastShownChannel() const {
  if (!GetViewByIndx(0)) return -1;
  return std::min(Host().ShownChannelCount(), ToolChannels) - 1;
}

void TCalcTracesTool::execute(bool first, int32_t NumberView) {
  if (runing) return;
  // Every channel goes through the run protocol, so that each one leaves the
  // tool holding its input, also on a restart; only the last shown computes.
  const int32_t last = LastShownChannel();
  imageRun_ = last >= 0 && NumberView >= last;
  runChannel_ = NumberView;
  const bool imageRun = imageRun_;
  TToolBase<TCalcTracesParam>::execute(first, NumberView);
  imageRun_ = false;
  if (imageRun && DialogLive()) static_cast<TCalcTracesForm*>(Form())->DrawImage();
}

void TCalcTracesTool::Calculate() {
  const int32_t last = LastShownChannel();
  if (last >= 0) execute(true, last);
}

int64_t TCalcTracesTool::ProcessChannel(const int32_t* in, int32_t* out, int64_t traces, int longTrace,
                                        TRunYield& /*yield*/) {
  const int64_t samples = traces * std::max(longTrace, 0);
  if (samples > 0 && in != out) std::memcpy(out, in, static_cast<size_t>(samples) * sizeof(int32_t));
  if (imageRun_) ComputeImage(runChannel_);
  return traces;
}

void TCalcTracesTool::ComputeImage(int32_t channel) {
  const T2Dview* view = GetViewByIndx(channel);
  if (!view || !view->Settings()) return;
  const TSettingData& s = *view->Settings();
  TAreaCalc area = AreaCalc;
  if (!SetCellCounts(area, VectorSect)) return;
  AreaCalc = area;
  TCalcData data;
  data.MemoryCap = ImageMemoryCap;
  data.Init(s.GetLongTrace(), s.GetSpeedLight(), area, s.GetMeasureStep(), s.GetNullShift(), s.GetSpanWidth());
  const int32_t shown = std::min(Host().ShownChannelCount(), ToolChannels);
  for (int32_t c = 0; c < shown; ++c) {
    const T2Dview* v = GetViewByIndx(c);
    // A channel of another trace length would be read with the wrong stride: its
    // place in the layout stays, its data is left out.
    if (!v || !v->Settings() || v->Settings()->GetLongTrace() != s.GetLongTrace() || !v->dezoData.Data()) {
      data.AddRecTraces(nullptr, 0);
      continue;
    }
    data.AddRecTraces(v->dezoData.Data(), std::min<int64_t>(v->dezoData.Samples(), v->NumTraces() * s.GetLongTrace()));
  }
  if (!data.CreateCalcTraces(VectorSect, KoefDist)) return;
  BufOut_Width = data.CalcTraces.BufOut_Width;
  BufOut_Height = data.CalcTraces.BufOut_Height;
  BufOut = std::move(data.CalcTraces.CalcDezoData);
}

void TCalcTracesTool::SaveToStream(TStream& str) {
  TToolRecordWriter record(str, AToolName, RecordFormat, GetCaption(), AExecuting);
}

void TCalcTracesTool::ReadFromUniStream(TStream& str, int32_t NumberView) {
  ReadToolRecord(*this, str, TToolRecordForm::Current, NumberView);
}

void TCalcTracesTool::ReadFromStream(TStream& str, int32_t NumberView) {
  ReadToolRecord(*this, str, TToolRecordForm::Older, NumberView);
}

TToolForm* TCalcTracesTool::CreateForm() { return TComponent::Create<TCalcTracesForm>(Application); }
