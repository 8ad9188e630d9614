#include "tools/imaging/grid_view_form.h"

#include "platform/rtl/resource_strings.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/chart.h"
#include "platform/ui/std_controls.h"
#include "profiledata/channel_store.h"
#include "profiledata/digit_edit.h"
#include "profiledata/setting_data.h"
#include "tools/imaging/grid_view_tool.h"

#include <algorithm>
#include <cmath>

RESOURCESTRING(SGridViewFormCaption, "Grid View");
RESOURCESTRING(SGridViewStepRecept, "Step Trns/Reciv : -/+ ");
RESOURCESTRING(SGridViewXStep, "X step interpolyacia");
RESOURCESTRING(SGridViewYStep, "Y step interpolyacia");
RESOURCESTRING(SGridViewKontrast, "Kontrast");
RESOURCESTRING(SGridViewRowsAxis, "Y discret interpolation");
RESOURCESTRING(SGridViewColumnsAxis, "X discret interpolation");
RESOURCESTRING(SGridViewTimeAxis, "Time");

namespace grid_view_form {
// The overlay spans the channel's traces in this many steps.
constexpr double kOverlaySteps = 200;
}  // namespace grid_view_form

TGridViewForm::TGridViewForm(TComponent* AOwner)
    : TReconstructionForm(AOwner, [] {
        TReconstructionLayout layout;
        layout.Caption = LoadResString(SGridViewFormCaption);
        layout.StartSpacing = true;
        layout.RowsAfterDistance = 1;
        layout.RowsAfterIteration = 3;
        return layout;
      }()) {
  StepReceptDigitEdit = AddDigitEdit(DistanceRowsTop, QString(), -10, 10, 0.01L, true, true);
  AddPanelLabel(8, DistanceRowsTop + 4, 100, LoadResString(SGridViewStepRecept))->Font()->SetColor(clBlue);
  StepReceptDigitEdit->SetValueReal(0);
  XstepDigitEdit = AddDigitEdit(IterationRowsTop, LoadResString(SGridViewXStep), 0.001L, 100, 0.001L, true, false);
  XstepDigitEdit->SetValueReal(1);
  YStepDigitEdit =
      AddDigitEdit(IterationRowsTop + RowHeight, LoadResString(SGridViewYStep), 0.001L, 10, 0.001L, true, false);
  YStepDigitEdit->SetValueReal(1);
  KontrastDigitEdit =
      AddDigitEdit(IterationRowsTop + 2 * RowHeight, LoadResString(SGridViewKontrast), 0.5L, 10, 0.1L, true, false);
  KontrastDigitEdit->SetValueReal(1);
  // Taken at once; the picture shows the last run's image until the next one.
  for (TDigitEdit* e : {StepReceptDigitEdit, XstepDigitEdit, YStepDigitEdit, KontrastDigitEdit})
    e->OnChange = [this](TObject*) {
      if (Tool && Vsbl) TakeEdits();
    };
  for (TDigitEdit* e : {StepReceptDigitEdit, XstepDigitEdit, YStepDigitEdit}) KeepEnterIn(e);
}

TGridViewTool& TGridViewForm::GridViewTool() const { return static_cast<TGridViewTool&>(*Tool); }

void TGridViewForm::DisplayToolParam() {
  const TGridViewTool& t = GridViewTool();
  ShowReconstructionFields(t, t.DecriseAmp);
  StepReceptDigitEdit->SetValueReal(t.StepRecept);
  XstepDigitEdit->SetValueReal(t.iXStep);
  YStepDigitEdit->SetValueReal(t.iYStep);
  KontrastDigitEdit->SetValueReal(t.Kontrast);
}

void TGridViewForm::TakeEditsAfterScan() {
  if (!Tool) return;
  TGridViewTool& t = GridViewTool();
  const long double x = t.iXStep, y = t.iYStep;
  TakeEdits();
  t.iXStep = x;
  t.iYStep = y;
}

void TGridViewForm::TakeEdits() {
  if (!Tool) return;
  TGridViewTool& t = GridViewTool();
  TakeReconstructionFields(t, t.DecriseAmp);
  t.StepRecept = StepReceptDigitEdit->ValueReal();
  t.iXStep = XstepDigitEdit->ValueReal();
  t.iYStep = YStepDigitEdit->ValueReal();
  t.Kontrast = KontrastDigitEdit->ValueReal();
}

void TGridViewForm::RunScan(int32_t typePodbor) {
  TGridViewTool& t = GridViewTool();
  t.TypePodbor = typePodbor;
  t.SearchXYProportional();
}

void TGridViewForm::RequestStop() { GridViewTool().BreakExecute = true; }

TReconstructionForm::TOverlayValues TGridViewForm::OverlayValues(const T2Dview& view) const {
  const TGridViewTool& t = GridViewTool();
  const double step =
      static_cast<double>(view.MaxNumTraces() - view.MinNumTraces()) / grid_view_form::kOverlaySteps;
  return {t.XYProportional, t.DistanceRecept, step};
}

void TGridViewForm::GetBMPfromView(int k) {
  if (!Tool) return;
  const T2Dview* view = Tool->GetViewByIndx(k);
  if (!view || !view->Settings()) return;
  const TGridViewTool& t = GridViewTool();
  const TSettingData& settings = *view->Settings();
  // The radargram window's display is left as it is: the picture is the tool's.
  TChart& chart = *ChartMigration;
  chart.LeftAxis()->SetMinMax(0, std::max(t.CountY, 1));
  chart.LeftAxis()->SetTitle(LoadResString(SGridViewRowsAxis));
  chart.TopAxis()->SetMinMax(0, std::max(t.CountX, 1));
  chart.TopAxis()->SetTitle(LoadResString(SGridViewColumnsAxis));
  chart.TopAxis()->SetVisible(true);
  const long double window = settings.SampleToTime(settings.GetLongTrace());
  chart.RightAxis()->SetMinMax(0, std::isfinite(window) && window > 0 ? static_cast<double>(window) : 1);
  chart.RightAxis()->SetTitle(LoadResString(SGridViewTimeAxis));
  chart.SetBackImageMode(pbmStretch);
  if (t.BmpGrid) {
    chart.BackImage()->Assign(*t.BmpGrid);
  } else {
    chart.ClearBackImage();
  }
  if (!HyperbolaCheckButton->Checked()) HyperbolaSeries->Clear();
  SeriesNull->Clear();
  const int32_t z = settings.GetNullShift();
  SeriesNull->AddXY(chart.TopAxis()->Minimum(), z);
  SeriesNull->AddXY(chart.TopAxis()->Maximum(), z);
  chart.Invalidate();
}

void TGridViewForm::PaintOffsetArrivals(const T2Dview& view, long double xy) {
  const TSettingData* settings = view.Settings();
  if (!Tool || !settings) return;
  const TGridViewTool& t = GridViewTool();
  const long double a = xy / 1000 - std::fabs(t.DistanceRecept) / 180;
  const long double speed = settings->GetSpeedLight();
  const long double aMin = -a * speed / 2;
  const long double window = settings->SampleToTime(settings->GetLongTrace());
  const long double aMax = aMin + window / 1000 * speed / 2;
  if (std::isfinite(aMin) && std::isfinite(aMax) && aMax > aMin)
    ChartMigration->LeftAxis()->SetMinMax(static_cast<double>(aMin), static_cast<double>(aMax));
  ChartMigration->Invalidate();
  PositionSeries->Clear();
  PositionSeries->AddXY(static_cast<double>(t.DistanceRecept), 0);
  PositionSeries->AddXY(static_cast<double>(t.AntenCount * t.StepRecept + t.DistanceRecept), 0);
  HyperbolaSeries->Clear();
  for (const TArrivalPoint& p : t.ArrivalPlot) HyperbolaSeries->AddXY(p.x, p.y);
  ChartMigration->Invalidate();
}

void TGridViewForm::ShowArc(int32_t y, const TArcRows& arc, const T2Dview& view) {
  DrawArc(y, arc.E, [&arc](int32_t i) { return static_cast<double>(arc.Row[static_cast<size_t>(i + arc.E)]); },
          view);
}
