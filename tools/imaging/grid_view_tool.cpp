#include "tools/imaging/grid_view_tool.h"

#include "platform/rtl/extended.h"
#include "platform/rtl/rounding.h"
#include "platform/rtl/streams.h"
#include "platform/ui/application.h"
#include "platform/ui/bitmap.h"
#include "profiledata/channel_hooks.h"
#include "profiledata/channel_store.h"
#include "profiledata/pal_maker.h"
#include "profiledata/setting_data.h"
#include "tools/imaging/grid_view_form.h"
#include "tools/imaging/migration_run.h"
#include "tools/saved_copies.h"
#include "tools/tool_host.h"
#include "tools/tool_record.h"
#include "tools/tool_strings.h"
#include "tools/worker_pool.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace grid_view_tool {
// X/Y, spacing, MinAmpSect, SizeHyperbola, dH.
constexpr TReconstructionFields Defaults{6.6L, 0.2L, 120, 3, 0};
constexpr long double DefaultDecriseAmp = 0.9L;
constexpr int64_t MinTraces = 3;
// The arrival plot of a run is drawn with this X/Y, whatever the set's.
constexpr long double RunXYProportional = 2.0L;
// Decrease candidates of the scan: 60 .. 95 %.
constexpr int64_t FirstDecreaseCandidate = 12;
// The dialog previews the arcs of this grid column.
constexpr int32_t PreviewColumn = 10;
}  // namespace grid_view_tool

TGridViewTool::TGridViewTool(uint16_t w) : TSets(w, grid_view_tool::Defaults) {
  SetCaption(LoadResString(SGridViewCaption));
  AToolName = QString::fromUtf16(SGridViewToolName.english);
  AToolDscr = LoadResString(SGridViewDescription);
  AExecuting = true;
  typeOfPlugin = advanced;
  CurrentNumberView = 0;
  LoadIcons(QStringLiteral("RealView_ICON1"), QStringLiteral("RealView_ICON2"));
  FillAllSets();
}

TGridViewTool::~TGridViewTool() = default;

TToolForm* TGridViewTool::CreateForm() { return TComponent::Create<TGridViewForm>(Application); }

TGridViewForm* TGridViewTool::LiveForm() const {
  return DialogLive() ? dynamic_cast<TGridViewForm*>(Form()) : nullptr;
}

void TGridViewTool::PreviewArcs(const TRealViewGeometry& arcs, const T2Dview& view) const {
  if (CountX <= grid_view_tool::PreviewColumn) return;
  TArcRows arc;
  for (int32_t y = 0; y < CountY; ++y) {
    // The preview processes messages: the dialog may have gone meanwhile.
    TGridViewForm* form = LiveForm();
    if (!form) return;
    if (arcs.HalfWidth(grid_view_tool::PreviewColumn, y) > RealViewMaxHalfWidth) return;
    arcs.Arc(grid_view_tool::PreviewColumn, y, arc);
    form->ShowArc(y, arc, view);
  }
}

void TGridViewTool::ToolInit() {
  for (int32_t channel = 0; channel < ToolChannels; ++channel) {
    InitReconstructionFields(*this, grid_view_tool::Defaults, GetViewByIndx(channel));
    DecriseAmp = grid_view_tool::DefaultDecriseAmp;
    SaveParamPlugin(channel);
  }
}

TGridViewSteps TGridViewTool::Steps(const T2Dview& view) const {
  TGridViewSteps s;
  s.StepRecept = StepRecept;
  s.iXStep = iXStep;
  s.iYStep = iYStep;
  s.dz = view.SampleToDepth(1) - view.SampleToDepth(0);
  return s;
}

void TGridViewTool::PaintGrid(const TRealViewModel* model) {
  if (!BmpGrid) {
    BmpGrid = std::make_unique<TBitmap>();
    BmpGrid->SetPixelFormat(pf8bit);
    // The radargram window's palette, taken once.
    const T2Dview* view = runView_ ? runView_ : GetViewByIndx(0);
    if (IChannelWindow* window = view ? view->Window() : nullptr)
      if (TPalMaker* palette = window->PaletteControl()) palette->SetPal(BmpGrid.get());
  }
  static const std::vector<int32_t> none;
  PaintGridPixels(model ? model->Bm : none, CountX, CountY, Kontrast, *BmpGrid);
}

void TGridViewTool::PaintOffsetArrivals(const T2Dview& view, long double xy) {
  AntenCount = static_cast<int32_t>(std::clamp<int64_t>(view.NumTraces(), 0, std::numeric_limits<int32_t>::max()));
  arAnten = OffsetArrivals(AntenCount, xy, StepRecept, DistanceRecept);
  const TSettingData* settings = view.Settings();
  ArrivalPlot.clear();
  if (!settings) return;
  const int longTrace = settings->GetLongTrace();
  ArrivalPlot = ArrivalPoints(arAnten, xy, StepRecept, DistanceRecept, settings->GetSpeedLight(),
                              settings->GetSpanWidth(), longTrace, settings->SampleToTime(longTrace));
}

void TGridViewTool::SetGrid(const T2Dview& view, int64_t traces, int longTrace) {
  const TGridViewSize size = GridViewSize(traces, longTrace, Steps(view));
  // The grid steps come from the dialog, which does not bound the cell count:
  // the cells alone must fit before anything is allocated.
  if (size.X > std::numeric_limits<int32_t>::max() || size.Y > std::numeric_limits<int32_t>::max() ||
      size.Cells() > std::numeric_limits<int32_t>::max() ||
      static_cast<uint64_t>(size.Cells()) * TRealViewModel::CellBytes > MemoryCap)
    throw ERealViewMemory();
  iXCount = static_cast<int32_t>(size.X);
  iYCount = static_cast<int32_t>(size.Y);
  CountX = iXCount;
  CountY = iYCount;
  CountAB = CountX * CountY;
}

void TGridViewTool::BuildModel(const int32_t* in, int64_t traces, int longTrace, const T2Dview& view,
                               TRealViewModel& model) {
  const TGridViewSteps steps = Steps(view);
  const std::vector<int32_t> measured = InterpolateGrid(in, traces, longTrace, CountX, CountY, steps);
  const TGridViewArcs arcs(steps, DistanceRecept, dH, SinA, DecriseAmp, CountY);
  PreviewArcs(arcs, view);
  model.Build(measured.data(), CountX, CountY, arcs, MemoryCap, TWorkerPool::Instance().ThreadCount());
}

int64_t TGridViewTool::ProcessChannel(const int32_t* in, int32_t* out, int64_t traces, int longTrace,
                                      TRunYield& yield) {
  // The channel's data pass through; the model is only shown.
  const int64_t done = TSets::ProcessChannel(in, out, traces, longTrace, yield);
  if (traces < grid_view_tool::MinTraces || !runView_ || longTrace <= 0) return done;
  if (!std::isfinite(DistanceRecept) || !std::isfinite(DecriseAmp)) return done;

  SetGrid(*runView_, traces, longTrace);
  // The plot is drawn with X/Y 2; the set's X/Y stays the tool's.
  PaintOffsetArrivals(*runView_, grid_view_tool::RunXYProportional);
  if (TGridViewForm* form = LiveForm()) form->PaintOffsetArrivals(*runView_, grid_view_tool::RunXYProportional);
  StartCalculationLog(CountX, CountY);
  Alpha = RealViewAlpha(MinAmpSect);
  SinA = RealViewSinA(Alpha);
  TRealViewModel model;
  BuildModel(in, traces, longTrace, *runView_, model);
  Log(QStringLiteral("Begin calculation"));
  const int completed = Iterate(model, SizeHyperbola, runChannel_, SizeHyperbola - 1, [&](int32_t n) {
    PaintGrid(&model);
    Log(RealViewResidualLine(QString::number(n), model), true);
    ShowChannelInDialog(runChannel_);
  });
  if (completed == 0) PaintGrid(nullptr);
  Log(QStringLiteral("End calculation"));
  return done;
}

void TGridViewTool::SearchXYProportional() {
  if (runing) return;
  BreakExecute = false;
  ScanSavedInput(
      grid_view_tool::MinTraces, [this] { return std::isfinite(DistanceRecept); },
      [this](T2Dview& view, const int32_t* input, int64_t traces, int longTrace) {
        SetGrid(view, traces, longTrace);
        StartCalculationLog(CountX, CountY);
        const TRealViewScanRange range = RealViewScanRange(
            TypePodbor, {XYProportional, DistanceRecept, DecriseAmp, dH, 0}, grid_view_tool::FirstDecreaseCandidate);
        for (int64_t k = range.from; k <= range.to; ++k) {
          TRealViewScanValues v{XYProportional, DistanceRecept, DecriseAmp, dH, RealViewAlpha(MinAmpSect)};
          const QString label = RealViewScanCandidate(TypePodbor, k, v);
          XYProportional = v.XYProportional;
          DistanceRecept = v.DistanceRecept;
          DecriseAmp = v.DecriseAmp;
          dH = v.dH;
          Alpha = v.Alpha;
          // The candidate's own angle: the cone of this candidate, not the set's.
          SinA = RealViewSinA(Alpha);
          TRealViewModel model;
          BuildModel(input, traces, longTrace, view, model);
          Iterate(model, 3, 0, 2, [](int32_t) {});
          const bool live = DialogLive();
          if (live) PaintGrid(&model);
          Log(RealViewResidualLine(label, model), true);
          if (live) ShowChannelInDialog(0);
          if (BreakExecute) break;
        }
      });
}
