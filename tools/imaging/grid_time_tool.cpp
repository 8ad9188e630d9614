#include "tools/imaging/grid_time_tool.h"

#include "platform/rtl/extended.h"
#include "platform/rtl/rounding.h"
#include "platform/rtl/streams.h"
#include "platform/ui/bitmap.h"
#include "profiledata/channel_hooks.h"
#include "profiledata/channel_store.h"
#include "profiledata/pal_maker.h"
#include "profiledata/setting_data.h"
#include "tools/imaging/grid_time_form.h"
#include "tools/imaging/grid_view_kernel.h"
#include "tools/imaging/migration_run.h"
#include "tools/saved_copies.h"
#include "tools/tool_host.h"
#include "tools/tool_record.h"
#include "tools/tool_strings.h"
#include "tools/worker_pool.h"

#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

namespace grid_time_tool {
// X/Y, spacing, MinAmpSect, SizeHyperbola, dH.
constexpr TReconstructionFields Defaults{2.0L, 0.2L, 120, 3, 299};
constexpr int64_t MinTraces = 3;
const QString GapRecording = QStringLiteral("cmp_4.dezo");
const QString StepRecording = QStringLiteral("cmp_1.dezo");

QString RecordingName(const T2Dview* view) {
  if (!view || !view->Settings()) return {};
  return QFileInfo(view->Settings()->GetFileName()).fileName();
}

long double DepthStep(const T2Dview& view) {
  const TSettingData* s = view.Settings();
  return s ? s->SampleToDepth(1) - s->SampleToDepth(0) : 0;
}
}  // namespace grid_time_tool

TGridTimeTool::TGridTimeTool(uint16_t w) : TSets(w, grid_time_tool::Defaults) {
  SetCaption(LoadResString(SGridTimeCaption));
  AToolName = QString::fromUtf16(SGridTimeToolName.english);
  AToolDscr = LoadResString(SGridTimeDescription);
  AExecuting = true;
  typeOfPlugin = advanced;
  PaintDiagram();
  CurrentNumberView = 0;
  LoadIcons(QStringLiteral("RealView_ICON1"), QStringLiteral("RealView_ICON2"));
  FillAllSets();
}

TGridTimeTool::~TGridTimeTool() = default;

TToolForm* TGridTimeTool::CreateForm() { return TComponent::Create<TGridTimeForm>(Application); }

TGridTimeForm* TGridTimeTool::GridTimeDialog() const { return dynamic_cast<TGridTimeForm*>(LiveDialog()); }

TGridTimeAxis TGridTimeTool::AxisOf(int32_t k) const {
  TGridTimeAxis axis;
  const T2Dview* view = GetViewByIndx(k);
  if (!view || !view->Settings()) view = GetViewByIndx(0);
  if (!view || !view->Settings()) return axis;
  const TSettingData& settings = *view->Settings();
  axis.LongTrace = settings.GetLongTrace();
  axis.SpanWidth = settings.GetSpanWidth();
  axis.SpeedLight = settings.GetSpeedLight();
  axis.ShiftTimeDepth = ShiftTimeDepth;
  return axis;
}

void TGridTimeTool::PaintDiagram() {
  Diagram.PaintDiagram();
  if (auto* form = dynamic_cast<TGridTimeForm*>(Form())) form->PaintDiagram();
}

void TGridTimeTool::PaintArNullRadar() {
  DirectWaveNow();
  if (TGridTimeForm* form = GridTimeDialog()) {
    form->PaintDirectWave();
    form->PaintSlice();
  }
}

void TGridTimeTool::ToolInit() {
  for (int32_t channel = 0; channel < ToolChannels; ++channel) {
    InitReconstructionFields(*this, grid_time_tool::Defaults, GetViewByIndx(channel));
    SaveParamPlugin(channel);
  }
}

bool TGridTimeTool::GapLayout() const {
  return grid_time_tool::RecordingName(GetViewByIndx(0)) == grid_time_tool::GapRecording;
}

int32_t TGridTimeTool::Vstavka() const { return GapLayout() ? GridTimeGapTraces : 0; }

void TGridTimeTool::CreateArAnten(int32_t vstavka, bool isCreate) {
  if (isCreate) {
    const T2Dview* view = GetViewByIndx(0);
    const int64_t traces = view ? std::max<int64_t>(view->NumTraces(), 0) : 0;
    // The count is one antenna per trace (and the gap); longer channels than
    // the dialog's limit still get an antenna per trace.
    AntenCount = static_cast<int32_t>(std::min<int64_t>(traces + vstavka, std::numeric_limits<int32_t>::max()));
  }
  arAnten = CreateAntennas(AntenCount, StepRecept, DistanceRecept);
  if (TGridTimeForm* form = GridTimeDialog()) form->ShowAntennas();
}

long double TGridTimeTool::DirectWaveNow() {
  if (static_cast<int64_t>(arAnten.size()) != AntenCount) arAnten = CreateAntennas(AntenCount, StepRecept, DistanceRecept);
  T0 = DirectWave(arAnten, XYProportional, DistanceRecept, dH);
  AMin = -T0 * AxisOf(runView_ ? runChannel_ : CurrentNumberView).SpeedLight / 2;
  return T0;
}

int TGridTimeTool::SetPropertyes(bool adding) {
  AExecuting = false;
  PntVisual = gtNoPoint;
  DistanceRecept = 0.2L;
  if (const T2Dview* view = GetViewByIndx(0)) iYStep = grid_time_tool::DepthStep(*view);
  const QString name = grid_time_tool::RecordingName(GetViewByIndx(0));
  if (name == grid_time_tool::GapRecording) {
    DistanceRecept = -1.0L;
    XYProportional = 4.0L;
    CreateArAnten(Vstavka(), true);
  } else if (name == grid_time_tool::StepRecording) {
    StepRecept = 0.1L;
    iXStep = 0.1L;
    CreateArAnten(Vstavka(), true);
  }
  return TSets::SetPropertyes(adding);
}

void TGridTimeTool::execute(bool first, int32_t NumberView) {
  if (runing) return;
  TSets::execute(first, NumberView);
  // Apply off passes the input through without the kernel; the grid then
  // shows the input traces.
  if (!Valid(NumberView) || Param[static_cast<size_t>(NumberView)].Apply || !runView_) return;
  const TSampleBlock* input = TSavedCopyStore::Instance().Find(CopyOwner(), NumberView);
  const int longTrace = runView_->Settings() ? runView_->Settings()->GetLongTrace() : 0;
  if (!input || longTrace <= 0 || input->Bytes() != runView_->SizeDat()) return;
  TCommonTool::BeginRun();
  struct TEnd {
    TGridTimeTool& tool;
    ~TEnd() { tool.EndRun(); }
  } end{*this};
  GetParam(NumberView);
  const int64_t traces = std::min<int64_t>(runView_->NumTraces(), input->Bytes() / 4 / longTrace);
  Run(input->Data(), traces, longTrace);
}

void TGridTimeTool::PaintGrid() {
  if (!BmpGrid) {
    BmpGrid = std::make_unique<TBitmap>();
    BmpGrid->SetPixelFormat(pf8bit);
    const T2Dview* view = runView_ ? runView_ : GetViewByIndx(0);
    if (IChannelWindow* window = view ? view->Window() : nullptr)
      if (TPalMaker* palette = window->PaletteControl()) palette->SetPal(BmpGrid.get());
  }
  PaintGridPixels(B, CountX, CountY, Kontrast, *BmpGrid);
}

void TGridTimeTool::Picks(const std::vector<int32_t>& S, int64_t tracesS, const TGridTimeAxis& axis) {
  const int32_t L = axis.LongTrace;
  const auto antennas = static_cast<size_t>(std::max(AntenCount, 0));
  // Antennas past the copy's traces have no trace: no picks, no envelope.
  const int64_t present = std::min<int64_t>(AntenCount, tracesS);
  arMaxInTraces.assign(antennas, {});
  arMax2InTraces.assign(antennas, {});
  std::vector<long double> out;
  TGridTimeForm* form = GridTimeDialog();
  for (int64_t i = 0; i < present; ++i) {
    const int32_t* trace = S.data() + static_cast<size_t>(i) * static_cast<size_t>(L);
    arMaxInTraces[static_cast<size_t>(i)] = TracePicks(trace, L, PositivMax);
    const int32_t passes = EnergyEnvelope(trace, L, MaxIteration, out, arMax2InTraces[static_cast<size_t>(i)]);
    const long double D = i * StepRecept + DistanceRecept;
    if (form && ShowWiggle && std::fabs(D - XElipse) < 0.01L) {
      std::vector<long double> R(static_cast<size_t>(L));
      for (size_t k = 0; k < R.size(); ++k) R[k] = static_cast<long double>(trace[k]) * trace[k];
      form->PaintWiggle(R, out, passes, D);
    }
    if (MaximumAtIteration)
      arMaxInTraces[static_cast<size_t>(i)] = PicksFromEnvelope(arMax2InTraces[static_cast<size_t>(i)], PositivMax);
  }
  GlobalExtremeE = GlobalExtreme(S.data(), static_cast<int64_t>(S.size()), PositivMax);
  SectBubbles.clear();
  SectMaxCount = 1;
  if (PntVisual == gtSectPoint) {
    // The chart's ranges: the grid's width and the trace's depth from the
    // emission (the live chart's own).
    const TSectRange range = form ? form->ChartRange()
                                  : TSectRange{DistanceRecept, CountX * iXStep + DistanceRecept, AMin,
                                               AMin + axis.SampleToPath(L)};
    SectBubbles = SectPoints(arMaxInTraces, arAnten, axis, range, GridStepSect, VisibleSect, SectMaxCount,
                             TWorkerPool::Instance().ThreadCount());
  }
  TestSectChoice.reset();
  TestSectResult.reset();
  if (PntVisual == gtTestSect) {
    TestSectChoice = ChooseTestSect(arMaxInTraces, TestSectSeed);
    TestSectSeed = static_cast<uint32_t>(std::mt19937(TestSectSeed)());
    if (TestSectChoice) TestSectResult = TestSect(arMaxInTraces, arAnten, axis, *TestSectChoice);
  }
  if (form) form->PaintOverlays();
}

int64_t TGridTimeTool::ProcessChannel(const int32_t* in, int32_t* out, int64_t traces, int longTrace,
                                      TRunYield& yield) {
  // The channel's data pass through; the grid is only shown.
  const int64_t done = TSets::ProcessChannel(in, out, traces, longTrace, yield);
  Run(in, traces, longTrace);
  return done;
}

void TGridTimeTool::Run(const int32_t* in, int64_t traces, int longTrace) {
  if (traces < grid_time_tool::MinTraces || !runView_ || longTrace <= 0 || !runView_->Settings()) return;
  const TSettingData& settings = *runView_->Settings();

  const bool gap = GapLayout();
  if (FirstStart) CreateArAnten(gap ? GridTimeGapTraces : 0, true);
  FirstStart = false;
  // Size the grid before anything is allocated.
  const TGridTimeSize size =
      GridTimeSize(AntenCount, StepRecept, iXStep, longTrace, grid_time_tool::DepthStep(*runView_), iYStep);
  const uint64_t copyBytes = static_cast<uint64_t>(traces + GridTimeGapTraces) * static_cast<uint64_t>(longTrace) * 4;
  if (size.X > std::numeric_limits<int32_t>::max() || size.Y > std::numeric_limits<int32_t>::max() ||
      size.Cells() > std::numeric_limits<int32_t>::max() ||
      static_cast<uint64_t>(size.Cells()) * sizeof(int32_t) + copyBytes > MemoryCap)
    throw ERealViewMemory();

  std::vector<int32_t> S;
  const int64_t tracesS = BuildWorkCopy(in, traces, longTrace, gap, S);
  iXCount = static_cast<int32_t>(size.X);
  iYCount = static_cast<int32_t>(size.Y);
  CountX = iXCount;
  CountY = iYCount;
  CountAB = CountX * CountY;

  TGridTimeAxis axis;
  axis.LongTrace = longTrace;
  axis.SpanWidth = settings.GetSpanWidth();
  axis.SpeedLight = settings.GetSpeedLight();
  axis.ShiftTimeDepth = ShiftTimeDepth;
  arAnten = CreateAntennas(AntenCount, StepRecept, DistanceRecept);
  DirectWaveNow();
  TGridTimeForm* form = GridTimeDialog();
  if (form) {
    form->SetTopAxis();
    form->PaintDirectWave();
  }
  Picks(S, tracesS, axis);

  StartCalculationLog(CountX, CountY);
  TGridTimeImaging p;
  p.iXStep = iXStep;
  p.iYStep = iYStep;
  p.DistanceRecept = DistanceRecept;
  p.StepRecept = StepRecept;
  p.AntenCount = AntenCount;
  p.Apply = AExecuting;
  B = GridTimeImage(S.data(), tracesS, axis, p, CountX, CountY, TWorkerPool::Instance().ThreadCount());
  PaintGrid();
  if (GridTimeDialog()) ShowChannelInDialog(runChannel_);
  Log(QStringLiteral("End calculation"));
  if (GridTimeDialog()) GetParam(CurrentNumberView);
}
