#include "tools/imaging/real_view_tool.h"

#include "platform/rtl/extended.h"
#include "platform/rtl/rounding.h"
#include "platform/rtl/streams.h"
#include "platform/ui/application.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "tools/imaging/migration_run.h"
#include "tools/imaging/real_view_form.h"
#include "tools/saved_copies.h"
#include "tools/tool_host.h"
#include "tools/tool_record.h"
#include "tools/tool_strings.h"
#include "tools/worker_pool.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

namespace real_view_tool {
// X/Y, spacing, MinAmpSect, SizeHyperbola, dH.
constexpr TReconstructionFields Defaults{10.0L, 0, 90, 3, 0};
constexpr long double DefaultDecriseAmp = 0.75L;
// Fewer traces give no reconstruction: the channel passes.
constexpr int64_t MinTraces = 3;
}  // namespace real_view_tool

TRealViewTool::TRealViewTool(uint16_t w) : TSets(w, real_view_tool::Defaults) {
  SetCaption(LoadResString(SRealViewCaption));
  AToolName = QString::fromUtf16(SRealViewToolName.english);
  AToolDscr = LoadResString(SRealViewDescription);
  AExecuting = true;
  typeOfPlugin = advanced;
  CurrentNumberView = 0;
  LoadIcons(QStringLiteral("RealView_ICON1"), QStringLiteral("RealView_ICON2"));
  FillAllSets();
}

TToolForm* TRealViewTool::CreateForm() { return TComponent::Create<TRealViewForm>(Application); }

TRealViewForm* TRealViewTool::LiveForm() const {
  return DialogLive() ? dynamic_cast<TRealViewForm*>(Form()) : nullptr;
}

void TRealViewTool::PreviewArcs(const TRealViewParams& params, const T2Dview& view) const {
  for (int32_t y = 0; y < CountY; ++y) {
    // The preview processes messages: the dialog may have gone meanwhile.
    TRealViewForm* form = LiveForm();
    if (!form) return;
    if (ArcSize(params, SinA, y).E > RealViewMaxHalfWidth) return;
    form->ShowArc(y, BuildArc(params, SinA, y), view);
  }
}

long double TRealViewTool::GetXYhipotenuza(long double Y, long double X) { return std::sqrt(X * X + Y * Y); }

void TRealViewTool::ToolInit() {
  for (int32_t channel = 0; channel < ToolChannels; ++channel) {
    InitReconstructionFields(*this, real_view_tool::Defaults, GetViewByIndx(channel));
    DecriseAmp = real_view_tool::DefaultDecriseAmp;
    SaveParamPlugin(channel);
  }
}

TRealViewParams TRealViewTool::EngineParams(const T2Dview& view) const {
  TRealViewParams p;
  p.XYProportional = XYProportional;
  p.MinAmpSect = MinAmpSect;
  p.DistanceRecept = DistanceRecept;
  p.DecriseAmp = DecriseAmp;
  p.dH = dH;
  p.dz = view.SampleToDepth(1) - view.SampleToDepth(0);
  return p;
}

void TRealViewTool::Sweep(TRealViewModel& model) {
  RealViewSweep(model, TWorkerPool::Instance().ThreadCount(), [this] { Host().Yield(); });
}

int64_t TRealViewTool::ProcessChannel(const int32_t* in, int32_t* out, int64_t traces, int longTrace,
                                      TRunYield& yield) {
  const auto passThrough = [&] { return TSets::ProcessChannel(in, out, traces, longTrace, yield); };
  if (traces < real_view_tool::MinTraces || !runView_ || longTrace <= 0) return passThrough();
  const TRealViewParams params = EngineParams(*runView_);
  if (!RealViewParamsUsable(params)) return passThrough();
  if (traces * longTrace > std::numeric_limits<int32_t>::max()) throw ERealViewMemory();

  CountX = static_cast<int32_t>(traces);
  CountY = longTrace;
  CountAB = CountX * CountY;
  StartCalculationLog(CountX, CountY);
  Alpha = RealViewAlpha(MinAmpSect);
  SinA = RealViewSinA(Alpha);
  PreviewArcs(params, *runView_);
  TRealViewModel model;
  model.Build(in, CountX, CountY, params, SinA, MemoryCap, TWorkerPool::Instance().ThreadCount());
  Log(QStringLiteral("Begin calculation"));

  const int completed = Iterate(model, SizeHyperbola, runChannel_, SizeHyperbola - 1, [&](int32_t n) {
    model.ModelToView(out);
    Log(RealViewResidualLine(QString::number(n), model), true);
    ShowChannelInDialog(runChannel_);
  });
  if (completed == 0) model.ModelToView(out);
  Log(QStringLiteral("End calculation"));
  return traces;
}

void TRealViewTool::SearchXYProportional() {
  if (runing) return;
  BreakExecute = false;
  ScanSavedInput(
      real_view_tool::MinTraces, [] { return true; },
      [this](T2Dview& view, const int32_t* input, int64_t traces, int longTrace) {
        CountX = static_cast<int32_t>(traces);
        CountY = longTrace;
        CountAB = CountX * CountY;
        StartCalculationLog(CountX, CountY);

        const TRealViewScanRange range =
            RealViewScanRange(TypePodbor, {XYProportional, DistanceRecept, DecriseAmp, dH, 0}, 1);
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
          TRealViewParams params = EngineParams(view);
          params.MinAmpSect = 2 * Alpha;
          if (!RealViewParamsUsable(params)) continue;
          PreviewArcs(params, view);
          TRealViewModel model;
          model.Build(input, CountX, CountY, params, SinA, MemoryCap, TWorkerPool::Instance().ThreadCount());
          Iterate(model, 3, 0, 2, [](int32_t) {});
          const bool live = DialogLive();
          if (live) model.ModelToView(view.dezoData.Data());
          Log(RealViewResidualLine(label, model), true);
          if (live) ShowChannelInDialog(0);
          if (BreakExecute) break;
        }
      });
}
