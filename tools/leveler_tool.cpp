#include "tools/leveler_tool.h"

#include "platform/rtl/streams.h"
#include "platform/ui/application.h"
#include "profiledata/channel_store.h"
#include "profiledata/geometry_gpr.h"
#include "profiledata/hilbert.h"
#include "profiledata/polyline_markers.h"
#include "profiledata/setting_data.h"
#include "profiledata/utilits.h"
#include "tools/leveler_form.h"
#include "tools/leveler_kernel.h"
#include "tools/tool_form.h"
#include "tools/tool_host.h"
#include "tools/tool_record.h"
#include "tools/tool_strings.h"
#include "tools/worker_pool.h"

#include <algorithm>
#include <cstring>

namespace {
// The first polyline's nodes, in order of decreasing trace; none without one.
std::vector<TPoint> FirstPolylineNodes(const T2Dview* view) {
  const TSettingData* settings = view ? view->Settings() : nullptr;
  const TPolyLineMarkersArray* polylines = settings ? settings->PolyLineMarkersArray : nullptr;
  const TPolyLineMarkersData* first = polylines ? polylines->GetPolyLineMarkersArray(0) : nullptr;
  return first ? ManualNodes(first->Nodes()) : std::vector<TPoint>{};
}

void CopyTraces(const int32_t* in, int32_t* out, int64_t samples) {
  if (samples > 0) std::memcpy(out, in, static_cast<size_t>(samples) * sizeof(int32_t));
}
}  // namespace

TLeveler::TLeveler(uint16_t w) : TToolBase<TLevelerParam>(w) {
  SetCaption(LoadResString(SLevelerCaption));
  // The registry name is the English text whatever the language: chain records
  // carry it, and the factory and the window find tools by it.
  AToolName = QString::fromUtf16(SLevelerToolName.english);
  AToolDscr = LoadResString(SLevelerDescription);
  AExecuting = false;
  FillAllSets();
  typeOfPlugin = advanced;
  CurrentNumberView = 0;
  LoadIcons(QStringLiteral("LEVELER_ICON1"), QStringLiteral("LEVELER_ICON2"));
}

void TLeveler::execute(bool first, int32_t NumberView) {
  if (runing) return;
  runView_ = GetViewByIndx(NumberView);
  runSpanWidth_ = runView_ && runView_->Settings() ? runView_->Settings()->GetSpanWidth() : 0;
  TToolBase<TLevelerParam>::execute(first, NumberView);
  runView_ = nullptr;
}

int32_t TLeveler::SurfaceOfTrace(const int32_t* trace, int longTrace, std::vector<int32_t>& scratch) const {
  if (SearchType == stAmplitude) return PeakIndex(trace, longTrace);
  scratch.assign(trace, trace + longTrace);
  HilbertTransformTrace(scratch.data(), longTrace, otAmplitude, runSpanWidth_);
  if (SearchType == stHilbert) BloorProc(scratch.data(), longTrace, BaseHilbertBloor);
  return PeakIndex(scratch.data(), longTrace);
}

void TLeveler::SearchSurfaces(const int32_t* in, int longTrace, int64_t first, int64_t end) {
  std::vector<int32_t> scratch;
  for (int64_t t = first; t < end; ++t) {
    SurfaceLine[static_cast<size_t>(t)] = SearchType == stManual ? ManualSurface(manualNodes_, t)
                                                          : SurfaceOfTrace(in + t * longTrace, longTrace, scratch);
  }
}

int64_t TLeveler::ProcessChannel(const int32_t* in, int32_t* out, int64_t traces, int longTrace, TRunYield& yield) {
  if (traces <= 0 || longTrace <= 0) return traces;
  const int64_t samples = traces * longTrace;
  if (SearchType == stManual) {
    manualNodes_ = FirstPolylineNodes(runView_);
    // Without a drawn line there is no surface: the channel stays as it is.
    if (manualNodes_.empty()) {
      CopyTraces(in, out, samples);
      return traces;
    }
  }
  SurfaceLine.resize(static_cast<size_t>(traces), 0);

  const bool envelope = SearchType == stHilbert || SearchType == stMovingAverage;
  // An envelope costs LongTrace^2 divisions: a few traces per thread between
  // yields; the other searches are a pass over the samples.
  const auto part = [&](int64_t a, int64_t b) { SearchSurfaces(in, longTrace, a, b); };
  const int64_t done = RunTracesInRounds(traces, envelope ? 1 : 65536 / longTrace, envelope ? 4 : 16, part, yield);
  if (yield.Broke()) return done;

  int32_t m = ShallowestSurface;
  for (int64_t t = 0; t < traces; ++t) m = std::min(m, SurfaceLine[static_cast<size_t>(t)]);
  DrowSurfaceLine();
  if (!Transform) {
    CopyTraces(in, out, samples);
    return traces;
  }
  for (int64_t t = 0; t < traces; ++t) {
    const int64_t d = int64_t{BloorLine[static_cast<size_t>(t)]} - m - SurfaceMargin;
    ShiftTrace(in + t * longTrace, out + t * longTrace, longTrace, d);
  }
  return traces;
}

void TLeveler::MedianFilter() {
  MedianLine = ApplyMedianF ? MedianFilterLine(SurfaceLine, BaseMedianF) : SurfaceLine;
}

void TLeveler::BloorFilter() {
  BloorLine = MedianLine;
  if (ApplyGlide) BloorProc(BloorLine.data(), static_cast<int>(BloorLine.size()), BaseBloorF);
}

void TLeveler::DrowSurfaceLine() {
  MedianFilter();
  BloorFilter();
  const T2Dview* current = GetViewByIndx(CurrentNumberView);
  const int64_t traces = current ? std::max<int64_t>(0, current->NumTraces()) : 0;
  const size_t count = std::min(BloorLine.size(), static_cast<size_t>(traces));
  std::vector<double> times(count);
  for (size_t i = 0; i < count; ++i) times[i] = static_cast<double>(SampleToTimeOfView(0, BloorLine[i]));
  Host().ShowSurfaceLine(times);
}

void TLeveler::AfterChangeNumTrace(int32_t, int32_t) {
  if (Form()) Form()->DisplayParam();
}

void TLeveler::SaveToStream(TStream& str) {
  TToolRecordWriter record(str, AToolName, RecordFormat, GetCaption(), AExecuting);
  str.WriteValue<uint8_t>(ApplyGlide ? 1 : 0);
  str.WriteValue<uint8_t>(ApplyMedianF ? 1 : 0);
  str.WriteValue<int32_t>(BaseMedianF);
  str.WriteValue<int32_t>(BaseBloorF);
  str.WriteValue<uint8_t>(SearchType);
  str.WriteValue<int32_t>(BaseHilbertBloor);
  str.WriteValue<uint8_t>(Transform ? 1 : 0);
  str.WriteValue<uint8_t>(ShowResult ? 1 : 0);
}

void TLeveler::ReadFromUniStream(TStream& str, int32_t NumberView) {
  TToolRecordFields fields(str);
  uint8_t format = 0;
  if (fields.Read(format) && format > ToolRecordCaptionFormat) {
    QString caption;
    if (fields.ReadUniString(caption)) SetCaption(caption);
    fields.ReadBool(AExecuting);
    fields.ReadBool(ApplyGlide);
    fields.ReadBool(ApplyMedianF);
    int32_t value = 0;
    if (fields.Read(value)) BaseMedianF = std::clamp(value, 1, MaxMedianF);
    if (fields.Read(value)) BaseBloorF = std::clamp(value, 1, MaxBloorF);
    uint8_t type = 0;
    if (fields.Read(type)) SearchType = static_cast<TSearchingType>(std::min<uint8_t>(type, stManual));
    if (fields.Read(value)) BaseHilbertBloor = std::clamp(value, 1, MaxHilbertBloor);
    fields.ReadBool(Transform);
    fields.ReadBool(ShowResult);
  }
  SaveParamPlugin(NumberView);
}

TToolForm* TLeveler::CreateForm() { return TComponent::Create<TLevelerForm>(Application); }
