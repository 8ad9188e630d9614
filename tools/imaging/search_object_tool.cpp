#include "tools/imaging/search_object_tool.h"

#include "platform/rtl/extended.h"
#include "platform/rtl/rounding.h"
#include "platform/rtl/streams.h"
#include "profiledata/channel_store.h"
#include "profiledata/gpr_constants.h"
#include "profiledata/setting_data.h"
#include "platform/ui/application.h"
#include "tools/imaging/migration_run.h"
#include "tools/imaging/search_object_form.h"
#include "tools/saved_copies.h"
#include "tools/tool_host.h"
#include "tools/tool_record.h"
#include "tools/tool_strings.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr long double DefaultXYProportional = 5.0L;
constexpr int32_t DefaultSizeHyperbola = 50;
// The speeds SetSpeedLight accepts: a trial speed is held within them as the
// channel's own would be.
constexpr int32_t SlowestSpeed = 10;
constexpr int32_t FastestSpeed = 299;
}  // namespace

TSearchObjectTool::TSearchObjectTool(uint16_t w) : TToolBase<TSearchObjectParam>(w) {
  SetCaption(LoadResString(SSearchObjectCaption));
  // The registry name is the English text whatever the language: chain records
  // carry it, and the factory and the window find tools by it.
  AToolName = QString::fromUtf16(SSearchObjectToolName.english);
  AToolDscr = LoadResString(SSearchObjectDescription);
  AExecuting = true;
  typeOfPlugin = advanced;
  CurrentNumberView = 0;
  LoadIcons(QStringLiteral("SearchObject_ICON1"), QStringLiteral("SearchObject_ICON2"));
  // The sets start with Apply on and nothing else.
  Param.fill(TSearchObjectParam{});
}

void TSearchObjectTool::SaveParamsAll() {
  SaveParamPlugin(0);
  SetAllParamAs(0);
}

void TSearchObjectTool::ToolInit() {
  for (int32_t channel = 0; channel < ToolChannels; ++channel) {
    XYProportional = DefaultXYProportional;
    SizeHyperbola = DefaultSizeHyperbola;
    const T2Dview* view = GetViewByIndx(channel);
    if (IsWheelProfile(view)) XYProportional = view->GetProportionalCoefic();
    SaveParamPlugin(channel);
  }
}

int TSearchObjectTool::SetPropertyes(bool adding) {
  if (adding) {
    if (const T2Dview* view = GetViewByIndx(CurrentNumberView); view && view->Settings())
      DistanceRecept = UnitParams(view->Settings()->GetTypeGPR()).AntenSpace;
  }
  return TToolBase<TSearchObjectParam>::SetPropertyes(adding);
}

void TSearchObjectTool::execute(bool first, int32_t NumberView) {
  if (runing) return;
  runView_ = GetViewByIndx(NumberView);
  runChannel_ = NumberView;
  TToolBase<TSearchObjectParam>::execute(first, NumberView);
}

TSearchGeometry TSearchObjectTool::GeometryOf(const T2Dview& view, int64_t traces, int32_t longTrace) const {
  TSearchGeometry g;
  g.Traces = traces;
  g.LongTrace = longTrace;
  g.NullShift = view.Settings()->GetNullShift();
  g.DepthStep = view.SampleToDepth(1) - view.SampleToDepth(0);
  g.DistanceRecept = DistanceRecept;
  return g;
}

TChainSettings TSearchObjectTool::ChainSettings() const {
  return {XYProportional, SizeHyperbola, CountPointAtCurve, MaxSumNormAmp, MiddleAmp};
}

int64_t TSearchObjectTool::ProcessChannel(const int32_t* in, int32_t* out, int64_t traces, int longTrace,
                                          TRunYield& /*yield*/) {
  const int64_t samples = traces * std::max(longTrace, 0);
  if (samples > 0) std::memcpy(out, in, static_cast<size_t>(samples) * sizeof(int32_t));
  // A channel without traces passes through.
  if (!runView_ || samples <= 0) return traces;
  const T2Dview& view = *runView_;

  const TSourceStatistics stats = SourceStatistics(in, samples);
  MaxAmp = stats.MaxAmp;
  MiddleAmp = stats.MiddleAmp;

  // The marks are made again for this channel; the old ones are released first.
  work_ = TWork{};
  work_.Marks.resize(static_cast<size_t>(samples));
  const TSearchGeometry g = GeometryOf(view, traces, longTrace);
  BuildMarks(in, traces, longTrace, g.NullShift, typeMaxAmp, MiddleAmp, work_.Marks.data());
  work_.PolyMarks = work_.Marks;
  work_.Channel = runChannel_;
  work_.Traces = traces;
  work_.LongTrace = longTrace;

  const bool geometry = XYProportional != 0 && g.HasDepthStep();
  if (geometry) SearchChains(in, work_.PolyMarks.data(), work_.Marks.data(), g, ChainSettings());

  bool drawMatrix = Matrix;
  if (geometry && Matrix && !isOnlyPaintWave) {
    const TSearchPlanes planes{in, work_.Marks.data(), traces, longTrace};
    // Past the memory cap no block is built and the marks are drawn.
    drawMatrix = BuildMatrix(view, g, planes);
  }
  if (DeleteDownPoints) ::DeleteDownPoints(work_.Marks.data(), traces, longTrace);

  if (!drawMatrix) {
    DrawMarks(work_.Marks.data(), traces, longTrace, stats.MinS, stats.MaxS, out);
  } else {
    DrawMatrix(view, traces, longTrace, out);
  }
  return traces;
}

bool TSearchObjectTool::BuildMatrix(const T2Dview& view, const TSearchGeometry& g, const TSearchPlanes& planes) {
  const int32_t L = g.LongTrace;
  const int64_t N = g.Traces;
  const int64_t top = std::max<int64_t>(int64_t{Yup} - Rxy, g.NullShift);
  const int64_t bottom = std::min<int64_t>(int64_t{Yup} + Rxy, int64_t{L} - 10);
  const int64_t leftTrace = std::max<int64_t>(int64_t{Xup} - Rxy, 10);
  const int64_t rightTrace = std::min<int64_t>(int64_t{Xup} + Rxy, N - 10);
  const int64_t columns = rightTrace - leftTrace + 1;
  const int64_t rows = bottom - top + 1;
  const int32_t V = view.Settings()->GetSpeedLight();
  const int32_t low = std::max(V - dWave, 1);
  const int32_t high = std::min(V + dWave, WaveSpeeds - 1);
  // An empty rectangle builds no block.
  if (columns <= 0 || rows <= 0 || high < low) return true;
  const int64_t cells = columns * rows;
  if (cells > MatrixMemoryCap / (high - low + 1)) return false;

  j1 = static_cast<int32_t>(top);
  j2 = static_cast<int32_t>(bottom);
  i1 = static_cast<int32_t>(leftTrace);
  i2 = static_cast<int32_t>(rightTrace);
  xMatrix = static_cast<int32_t>(columns);
  yMatrix = static_cast<int32_t>(rows);
  SizeMatrix = cells;
  k1 = low;
  k2 = high;
  std::optional<int32_t> maxCount = 0, minCount;
  for (int32_t v = k1; v <= k2; ++v) {
    const int32_t speed = std::clamp(v, SlowestSpeed, FastestSpeed);
    TSearchGeometry trial = g;
    trial.DepthStep = view.Settings()->SampleToDepthAtSpeed(1, speed) - view.Settings()->SampleToDepthAtSpeed(0, speed);
    auto block = std::make_unique<TWaveMatrixBlock>();
    block->I1 = i1;
    block->J1 = j1;
    block->XMatrix = xMatrix;
    block->YMatrix = yMatrix;
    BuildWaveMatrix(planes, trial, view.GetProportionalCoeficAtSpeed(speed), SizeHyperbola, *block, maxCount,
                    minCount);
    arWaveMatrix[static_cast<size_t>(v)] = std::move(block);
  }
  maxCountPntAtDuga = maxCount.value_or(0);
  minCountPntAtDuga = minCount.value_or(0);
  return true;
}

void TSearchObjectTool::DrawMatrix(const T2Dview& view, int64_t traces, int32_t longTrace, int32_t* out) {
  // The display maximum of the input (the display buffer holds it now), so that
  // a redraw does not scale up its own last picture.
  const long double D = static_cast<long double>(Host().GetMaxDezoData(&view)) * 1.1L;
  if (!FilterMax) {
    if (ShowWave >= 0 && ShowWave < WaveSpeeds)
      if (const auto& block = arWaveMatrix[static_cast<size_t>(ShowWave)])
        DrawWaveMatrix(*block, D, maxCountPntAtDuga, traces, longTrace, out);
    return;
  }
  const int32_t threshold = RoundToInt32(static_cast<long double>(FilterMaxPorog) / 100 * (maxCountPntAtDuga - 127));
  const int32_t V = view.Settings()->GetSpeedLight();
  for (int32_t v = std::max(V - dWave, 1); v <= std::min(V + dWave, WaveSpeeds - 1); ++v)
    if (const auto& block = arWaveMatrix[static_cast<size_t>(v)])
      DrawStrongCells(*block, D, threshold, traces, longTrace, out);
}

std::optional<TSearchPlanes> TSearchObjectTool::DialogPlanes(bool useSecond) const {
  const T2Dview* view = GetViewByIndx(CurrentNumberView);
  if (!view || !view->Settings() || work_.Channel != CurrentNumberView) return std::nullopt;
  const int64_t samples = work_.Traces * work_.LongTrace;
  const TSampleBlock* source = TSavedCopyStore::Instance().Peek(CopyOwner(), CurrentNumberView);
  // Marks of another geometry, or a source that is no longer theirs, are not read.
  if (view->Settings()->GetLongTrace() != work_.LongTrace || view->NumTraces() < work_.Traces || !source ||
      source->Samples() < samples || static_cast<int64_t>(work_.Marks.size()) != samples)
    return std::nullopt;
  const std::vector<int8_t>& marks = useSecond ? work_.PolyMarks : work_.Marks;
  return TSearchPlanes{source->Data(), marks.data(), work_.Traces, work_.LongTrace};
}

TChainResult TSearchObjectTool::GetSelectPolyLine(bool useSecond, int32_t X, int32_t Y, TChainPoints& points) const {
  TChainResult none;
  none.X = X;
  points.fill(TChainPoint{});
  const std::optional<TSearchPlanes> planes = DialogPlanes(useSecond);
  if (!planes) return none;
  const TSearchGeometry g = GeometryOf(*GetViewByIndx(CurrentNumberView), work_.Traces, work_.LongTrace);
  return SelectPolyLine(*planes, RoundRow(PredictedRow(g, XYProportional, SizeHyperbola, Y)), ChainSettings(), X, Y,
                        points);
}

bool TSearchObjectTool::DetectDugis(const std::array<int32_t, 101>& profile) const {
  const int side = std::clamp(SizeHyperbola, 0, 50);
  int n = 0;
  for (int i = -side; i <= side; ++i) n += profile[static_cast<size_t>(50 + i)] != 0;
  return n > CountPointAtCurve;
}

void TSearchObjectTool::SaveToStream(TStream& str) {
  TToolRecordWriter record(str, AToolName, RecordFormat, GetCaption(), AExecuting);
  WriteExtended(str, XYProportional);
  str.WriteValue<int32_t>(MinAmpSect);
  str.WriteValue<int32_t>(CountPointAtCurve);
  WriteExtended(str, DistanceRecept);
}

namespace {
void ReadBody(TToolRecordFields& fields, TSearchObjectTool& tool) {
  fields.ReadExtended(tool.XYProportional);
  fields.Read(tool.MinAmpSect);
  fields.Read(tool.CountPointAtCurve);
  fields.ReadExtended(tool.DistanceRecept);
}
}  // namespace

void TSearchObjectTool::ReadFromUniStream(TStream& str, int32_t NumberView) {
  TToolRecordFields fields(str);
  const TToolRecordHead head = ReadToolRecordHead(fields);
  if (head.HasCaption) SetCaption(head.Caption);
  if (head.HasApply) {
    AExecuting = head.Apply;
    // A shorter record (or stream) keeps the fields it does not hold.
    fields.ReadExtended(XYProportional);
    if (str.Position() < str.Size()) fields.Read(MinAmpSect);
    if (str.Position() < str.Size()) fields.Read(CountPointAtCurve);
    if (str.Position() < str.Size()) fields.ReadExtended(DistanceRecept);
  }
  SaveParamPlugin(NumberView);
}

void TSearchObjectTool::ReadFromStream(TStream& str, int32_t NumberView) {
  TToolRecordFields fields(str);
  const TToolRecordHead head = ReadOldToolRecordHead(fields);
  if (head.HasCaption) SetCaption(head.Caption);
  if (head.HasApply) {
    AExecuting = head.Apply;
    ReadBody(fields, *this);
  }
  SaveParamPlugin(NumberView);
}

TToolForm* TSearchObjectTool::CreateForm() { return TComponent::Create<TSearchObjectForm>(Application); }
