#include "tools/imaging/real_view_form.h"

#include "platform/rtl/resource_strings.h"
#include "platform/ui/chart.h"
#include "platform/ui/std_controls.h"
#include "profiledata/channel_store.h"
#include "profiledata/digit_edit.h"
#include "profiledata/setting_data.h"
#include "tools/imaging/channel_chart_picture.h"
#include "tools/imaging/real_view_engine.h"
#include "tools/imaging/real_view_tool.h"

RESOURCESTRING(SRealViewFormCaption, "Migration");

TRealViewForm::TRealViewForm(TComponent* AOwner)
    : TReconstructionForm(AOwner, [] {
        TReconstructionLayout layout;
        layout.Caption = LoadResString(SRealViewFormCaption);
        return layout;
      }()) {}

TRealViewTool& TRealViewForm::RealViewTool() const { return static_cast<TRealViewTool&>(*Tool); }

void TRealViewForm::DisplayToolParam() {
  const TRealViewTool& t = RealViewTool();
  ShowReconstructionFields(t, t.DecriseAmp);
}

void TRealViewForm::TakeEdits() {
  if (!Tool) return;
  TRealViewTool& t = RealViewTool();
  TakeReconstructionFields(t, t.DecriseAmp);
}

void TRealViewForm::RunScan(int32_t typePodbor) {
  TRealViewTool& t = RealViewTool();
  t.TypePodbor = typePodbor;
  t.SearchXYProportional();
}

void TRealViewForm::RequestStop() { RealViewTool().BreakExecute = true; }

TReconstructionForm::TOverlayValues TRealViewForm::OverlayValues(const T2Dview&) const {
  const TRealViewTool& t = RealViewTool();
  return {t.XYProportional, t.DistanceRecept, 1};
}

void TRealViewForm::GetBMPfromView(int k) {
  if (!Tool) return;
  if (!ShowChannelOnChart(*Tool, k, *PanelChartMigration, *ChartMigration, *SeriesNull)) return;
  if (!HyperbolaCheckButton->Checked()) HyperbolaSeries->Clear();
}

void TRealViewForm::ShowArc(int32_t y, const TRealViewArc& arc, const T2Dview& view) {
  if (!view.Settings() || y <= view.Settings()->GetNullShift()) return;
  DrawArc(y, arc.dXArc, [&arc](int32_t i) { return static_cast<double>(arc.DepthAt(i)); }, view);
}
