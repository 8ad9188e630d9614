#include "tools/imaging/grid_time_form.h"

#include "platform/rtl/resource_strings.h"
#include "platform/rtl/rounding.h"
#include "platform/rtl/sys_utils.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/buttons.h"
#include "platform/ui/chart.h"
#include "platform/ui/combo_box.h"
#include "platform/ui/memo.h"
#include "platform/ui/message_boxes.h"
#include "platform/ui/std_controls.h"
#include "platform/ui/string_grid.h"
#include "profiledata/channel_store.h"
#include "profiledata/digit_edit.h"
#include "profiledata/setting_data.h"
#include "tools/imaging/grid_time_tool.h"

#include <algorithm>
#include <cmath>
#include <optional>

RESOURCESTRING(SGridTimeFormCaption, "Grid Time");
RESOURCESTRING(SGridTimeTdw, "Tdw, ns (0 ch)");
RESOURCESTRING(SGridTimeAirSpeed, "Wave speed Air");
RESOURCESTRING(SGridTimePositiv, "Positiv Max");
RESOURCESTRING(SGridTimeStepRecept, "Step Trns/Reciv : -/+");
RESOURCESTRING(SGridTimeXStep, "X step interpolyacia");
RESOURCESTRING(SGridTimeYStep, "Y step interpolyacia");
RESOURCESTRING(SGridTimeProbe, "Point at Elipse (Y to UP BMP) ( m )");
RESOURCESTRING(SGridTimeSectStep, "Grid step for sect, m");
RESOURCESTRING(SGridTimeVisible, "Vis");
RESOURCESTRING(SGridTimeWiggle, "Wiggle");
RESOURCESTRING(SGridTimeMaxIteration, "Max Iteration");
RESOURCESTRING(SGridTimeIterationMax, "Iteration -> max");
RESOURCESTRING(SGridTimeVisualisation, "Visulization");
RESOURCESTRING(SGridTimeNoPoint, "No point");
RESOURCESTRING(SGridTimeMaxPoint, "Max point");
RESOURCESTRING(SGridTimeSectPoint, "Sect point");
RESOURCESTRING(SGridTimeTestSect, "Test sect");
RESOURCESTRING(SGridTimeCountAnten, "Count anten");
RESOURCESTRING(SGridTimeCreateAnten, "Create Array Anten");
RESOURCESTRING(SGridTimeSaveAnten, "Save Array Anten");
RESOURCESTRING(SGridTimeLoadAnten, "Load Array Anten");
RESOURCESTRING(SGridTimeDepthAxis, "Y,m");
RESOURCESTRING(SGridTimeDistanceAxis, "X,m");
RESOURCESTRING(SGridTimeTimeAxis, "Time");

namespace grid_time_form {
// Bubbles of the probe point, of the "Test sect" picks and crossing.
constexpr double kProbeRadius = 0.05;
constexpr double kTestRadius = 0.02;
// The trial hyperbola spans the channel's traces in this many steps.
constexpr double kOverlaySteps = 200;

double Dbl(long double v) { return static_cast<double>(v); }
}  // namespace grid_time_form

TGridTimeForm::TGridTimeForm(TComponent* AOwner)
    : TReconstructionForm(AOwner, [] {
        TReconstructionLayout layout;
        layout.Caption = LoadResString(SGridTimeFormCaption);
        layout.StartSpacing = true;
        layout.ScanControls = false;
        layout.XYLabel = LoadResString(SGridTimeTdw);
        layout.dHLabel = LoadResString(SGridTimeAirSpeed);
        // The grid is shown with Apply off too (then it is the input).
        layout.PreviewAlwaysApplied = true;
        return layout;
      }()) {
  SetFormStyle(fsStayOnTop);
  dHDigitEdit->SetMinVal(1);
  dHDigitEdit->SetMaxVal(299);
  dHDigitEdit->SetAvailableSign(false);
  dHDigitEdit->SetValueInt(299);
  HyperbolaCheckButton->SetVisible(false);
  InfoMemo->SetVisible(false);
  PositivCheckBox = new TCheckBox(this);
  PositivCheckBox->SetParent(this);
  PositivCheckBox->SetBounds(104, 36, 100, 17);
  PositivCheckBox->SetCaption(LoadResString(SGridTimePositiv));
  PositivCheckBox->SetChecked(true);

  const auto box = [this](int left, int top, const QString& caption) {
    auto* b = new TCheckBox(this);
    b->SetParent(this);
    b->SetBounds(left, top, 100, 17);
    b->SetCaption(caption);
    return b;
  };
  const auto button = [this](int left, int top, const QString& hint) {
    auto* b = new TBitBtn(this);
    b->SetParent(this);
    b->SetBounds(left, top, 28, 21);
    b->SetHint(hint);
    return b;
  };

  int top = DistanceRowsTop;
  StepReceptDigitEdit = AddDigitEdit(top, LoadResString(SGridTimeStepRecept), -10, 10, 0.01L, true, true);
  StepReceptDigitEdit->SetValueReal(0.05L);
  XstepDigitEdit = AddDigitEdit(top += RowHeight, LoadResString(SGridTimeXStep), 0.001L, 100, 0.001L, true, false);
  XstepDigitEdit->SetValueReal(0.05L);
  YStepDigitEdit = AddDigitEdit(top += RowHeight, LoadResString(SGridTimeYStep), 0.001L, 10, 0.001L, true, false);
  YStepDigitEdit->SetValueReal(0.0075L);
  AddPanelLabel(8, top += RowHeight, 204, LoadResString(SGridTimeProbe));
  top += 16;
  XElipseDigitEdit = AddDigitEdit(top, QStringLiteral("X"), -10000, 10000, 0.05L, true, true);
  XElipseDigitEdit->SetValueReal(0.9L);
  YElipseDigitEdit = AddDigitEdit(top += RowHeight, QStringLiteral("Y"), 0, 10000, 0.001L, true, false);
  YElipseDigitEdit->SetValueReal(1.425L);
  GridStepSectDigitEdit =
      AddDigitEdit(top += RowHeight, LoadResString(SGridTimeSectStep), 0.01L, 10, 0.01L, true, false);
  GridStepSectDigitEdit->SetValueReal(0.01L);
  VisibleSectDigitEdit = AddDigitEdit(top += RowHeight, LoadResString(SGridTimeVisible), 0, 99, 1, false, false);
  VisibleSectDigitEdit->SetValueInt(10);
  MaxIterationDigitEdit =
      AddDigitEdit(top += RowHeight, LoadResString(SGridTimeMaxIteration), 0, 99, 1, false, false);
  MaxIterationDigitEdit->SetValueInt(10);
  WiggleCheckBox = box(8, top += RowHeight, LoadResString(SGridTimeWiggle));
  MaximumAtIterationCheckBox = box(104, top, LoadResString(SGridTimeIterationMax));
  AddPanelLabel(8, (top += RowHeight) + 4, 100, LoadResString(SGridTimeVisualisation));
  PntComboBox = new TComboBox(this);
  PntComboBox->SetParent(this);
  PntComboBox->SetBounds(112, top, 96, 21);
  PntComboBox->SetStyle(csDropDownList);
  PntComboBox->SetItems({LoadResString(SGridTimeNoPoint), LoadResString(SGridTimeMaxPoint),
                         LoadResString(SGridTimeSectPoint), LoadResString(SGridTimeTestSect)});
  PntComboBox->SetItemIndex(0);
  AntenCountDigitEdit = AddDigitEdit(top += RowHeight, LoadResString(SGridTimeCountAnten), 1, 1000, 1, false, false);
  AntenCountDigitEdit->SetValueInt(1);
  CreateArAntenBitBtn = button(8, top += RowHeight, LoadResString(SGridTimeCreateAnten));
  SaveArAntenBitBtn = button(40, top, LoadResString(SGridTimeSaveAnten));
  LoadArAntenBitBtn = button(72, top, LoadResString(SGridTimeLoadAnten));
  AntenStringGrid = new TStringGrid(this);
  AntenStringGrid->SetParent(this);
  AntenStringGrid->SetBounds(8, top += RowHeight, 204, std::max(40, 633 - 42 - top));
  AntenStringGrid->SetColCount(3);
  AntenStringGrid->SetRowCount(1);
  AntenStringGrid->SetColWidths(0, 24);
  AntenStringGrid->SetColWidths(1, 80);
  AntenStringGrid->SetColWidths(2, 80);

  // The directivity diagram's chart stays hidden.
  Chart1 = new TChart(this);
  Chart1->SetParent(this);
  Chart1->SetBounds(8, 8, 200, 150);
  Chart1->SetVisible(false);
  Series1 = new TLineSeries(this);
  Series1->SetParentChart(Chart1);
  Series2 = new TLineSeries(this);
  Series2->SetParentChart(Chart1);

  ChartMigration->SetBackImageInside(true);
  PntSeries = AddPictureSeries<TBubbleSeries>(this, ChartMigration, clRed);
  MaxSeries = AddPictureSeries<TBubbleSeries>(this, ChartMigration, clRed);
  TestMaxSeries0 = AddPictureSeries<TLineSeries>(this, ChartMigration, clGreen);
  TestMaxSeries1 = AddPictureSeries<TLineSeries>(this, ChartMigration, clBlue);
  TestMaxSeriesVertAxis = AddPictureSeries<TLineSeries>(this, ChartMigration, clBlack);
  TestMaxSeriesVertAxis->SetMarksVisible(true);
  TestMaxSeries0->SetColorEachPoint(true);
  TestMaxSeries1->SetColorEachPoint(true);

  // ---- Events ------------------------------------------------------------------
  const auto live = [this] { return Tool && Vsbl && !filling_; };
  const auto storeAndRedraw = [this, live](TObject*) {
    if (!live()) return;
    TakeEdits();
    GridTimeTool().PaintArNullRadar();
  };
  for (TDigitEdit* e : {XYProportionalDigitEdit, dHDigitEdit, XElipseDigitEdit, YElipseDigitEdit})
    e->OnChange = storeAndRedraw;
  DistanceReceptDigitEdit->OnChange = [this, live](TObject*) {
    if (!live()) return;
    TakeEdits();
    PaintTrialHyperbola();
    CreateArAntenBitBtn->Click();
    ApplayBitBtn->Click();
  };
  StepReceptDigitEdit->OnChange = [this, live](TObject*) {
    if (!live()) return;
    TakeEdits();
    CreateArAntenBitBtn->Click();
    ApplayBitBtn->Click();
  };
  const auto store = [this, live](TObject*) {
    if (live()) TakeEdits();
  };
  for (TDigitEdit* e : {XstepDigitEdit, YStepDigitEdit, GridStepSectDigitEdit, VisibleSectDigitEdit,
                        MaxIterationDigitEdit})
    e->OnChange = store;
  MaximumAtIterationCheckBox->OnClick = store;
  // The count is its own: the table may list more antennas than the edit takes.
  AntenCountDigitEdit->OnChange = [this, live](TObject*) {
    if (live()) GridTimeTool().AntenCount = AntenCountDigitEdit->ValueInt();
  };
  const auto storeAndApply = [this, live](TObject*) {
    if (!live()) return;
    TakeEdits();
    ApplayBitBtn->Click();
  };
  PositivCheckBox->OnClick = storeAndApply;
  WiggleCheckBox->OnClick = storeAndApply;
  PntComboBox->OnChange = [this, live](TObject*) {
    if (!live()) return;
    GridTimeTool().PntVisual = std::max(0, PntComboBox->ItemIndex());
    ApplayBitBtn->Click();
  };
  CreateArAntenBitBtn->OnClick = [this](TObject*) {
    if (Tool) GridTimeTool().CreateArAnten(GridTimeTool().Vstavka(), true);
  };
  // Keeping antenna arrays in files is not offered.
  SaveArAntenBitBtn->OnClick = [](TObject*) {};
  LoadArAntenBitBtn->OnClick = [](TObject*) {};
  OnDblClick = [this](TObject*) {
    if (Tool) GridTimeTool().PaintDiagram();
  };
  for (TDigitEdit* e : {StepReceptDigitEdit, XstepDigitEdit, YStepDigitEdit}) KeepEnterIn(e);
  OnShow = [this](TObject* sender) {
    FormShow(sender);
    if (!Tool) return;
    GetBMPfromView(Tool->CurrentNumberView);
    GridTimeTool().CreateArAnten(GridTimeTool().Vstavka(), false);
    SetStartAxis();
    ApplayBitBtn->Click();
    Application->ProcessMessages();
  };
}

TGridTimeTool& TGridTimeForm::GridTimeTool() const { return static_cast<TGridTimeTool&>(*Tool); }

void TGridTimeForm::DisplayToolParam() {
  const TGridTimeTool& t = GridTimeTool();
  filling_ = true;
  XYProportionalDigitEdit->SetValueReal(t.XYProportional);
  dHDigitEdit->SetValueInt(t.dH);
  DistanceReceptDigitEdit->SetValueReal(t.DistanceRecept);
  StepReceptDigitEdit->SetValueReal(t.StepRecept);
  XstepDigitEdit->SetValueReal(t.iXStep);
  YStepDigitEdit->SetValueReal(t.iYStep);
  XElipseDigitEdit->SetValueReal(t.XElipse);
  YElipseDigitEdit->SetValueReal(t.YElipse);
  GridStepSectDigitEdit->SetValueReal(t.GridStepSect);
  VisibleSectDigitEdit->SetValueInt(t.VisibleSect);
  MaxIterationDigitEdit->SetValueInt(t.MaxIteration);
  AntenCountDigitEdit->SetValueInt(t.AntenCount);
  PositivCheckBox->SetChecked(t.PositivMax);
  WiggleCheckBox->SetChecked(t.ShowWiggle);
  MaximumAtIterationCheckBox->SetChecked(t.MaximumAtIteration);
  PntComboBox->SetItemIndex(t.PntVisual);
  filling_ = false;
}

void TGridTimeForm::TakeEdits() {
  if (!Tool) return;
  TGridTimeTool& t = GridTimeTool();
  t.XYProportional = XYProportionalDigitEdit->ValueReal();
  t.dH = dHDigitEdit->ValueInt();
  t.DistanceRecept = DistanceReceptDigitEdit->ValueReal();
  t.StepRecept = StepReceptDigitEdit->ValueReal();
  t.iXStep = XstepDigitEdit->ValueReal();
  t.iYStep = YStepDigitEdit->ValueReal();
  t.XElipse = XElipseDigitEdit->ValueReal();
  t.YElipse = YElipseDigitEdit->ValueReal();
  t.GridStepSect = GridStepSectDigitEdit->ValueReal();
  t.VisibleSect = VisibleSectDigitEdit->ValueInt();
  t.MaxIteration = MaxIterationDigitEdit->ValueInt();
  t.PositivMax = PositivCheckBox->Checked();
  t.ShowWiggle = WiggleCheckBox->Checked();
  t.MaximumAtIteration = MaximumAtIterationCheckBox->Checked();
  t.PntVisual = std::max(0, PntComboBox->ItemIndex());
}

TReconstructionForm::TOverlayValues TGridTimeForm::OverlayValues(const T2Dview& view) const {
  const TGridTimeTool& t = GridTimeTool();
  const double step =
      static_cast<double>(view.MaxNumTraces() - view.MinNumTraces()) / grid_time_form::kOverlaySteps;
  return {t.XYProportional, t.DistanceRecept, step};
}

void TGridTimeForm::ShowAntennas() {
  const TGridTimeTool& t = GridTimeTool();
  const int rows = static_cast<int>(std::min<size_t>(t.arAnten.size(), 1000000)) + 1;
  AntenStringGrid->SetRowCount(rows);
  AntenStringGrid->SetFixedRows(1);
  AntenStringGrid->SetCells(0, 0, QStringLiteral("N"));
  AntenStringGrid->SetCells(1, 0, QStringLiteral("dx"));
  AntenStringGrid->SetCells(2, 0, QStringLiteral("dy"));
  // The grid keeps one data row under its title: without antennas it is empty.
  for (int r = 1; r < AntenStringGrid->RowCount(); ++r) {
    if (r >= rows) {
      for (int c = 0; c < 3; ++c) AntenStringGrid->SetCells(c, r, QString());
      continue;
    }
    const TGridTimeAntenna& a = t.arAnten[static_cast<size_t>(r - 1)];
    AntenStringGrid->SetCells(0, r, QString::number(a.N));
    AntenStringGrid->SetCells(1, r, FloatToStrF(a.dx, ffFixed, 15, 2));
    AntenStringGrid->SetCells(2, r, FloatToStrF(a.dy, ffFixed, 15, 2));
  }
  filling_ = true;
  AntenCountDigitEdit->SetValueInt(t.AntenCount);
  filling_ = false;
}

void TGridTimeForm::SetTopAxis() {
  const TGridTimeTool& t = GridTimeTool();
  const long double right = t.CountX * t.iXStep + t.DistanceRecept;
  if (std::isfinite(right)) ChartMigration->TopAxis()->SetMinMax(grid_time_form::Dbl(t.DistanceRecept), grid_time_form::Dbl(right));
}

void TGridTimeForm::SetStartAxis() {
  const T2Dview* view = Tool->GetViewByIndx(Tool->CurrentNumberView);
  if (!view || !view->Settings()) view = Tool->GetViewByIndx(0);
  if (!view || !view->Settings()) return;
  const TSettingData& settings = *view->Settings();
  TChart& chart = *ChartMigration;
  const long double depth = settings.SampleToDepth(settings.GetLongTrace());
  chart.LeftAxis()->SetMinMax(0, std::isfinite(depth) ? grid_time_form::Dbl(depth) : 0);
  chart.LeftAxis()->SetTitle(LoadResString(SGridTimeDepthAxis));
  SetTopAxis();
  chart.TopAxis()->SetTitle(LoadResString(SGridTimeDistanceAxis));
  const long double window = settings.SampleToTime(settings.GetLongTrace());
  chart.RightAxis()->SetMinMax(0, std::isfinite(window) ? grid_time_form::Dbl(window) : 0);
  chart.RightAxis()->SetTitle(LoadResString(SGridTimeTimeAxis));
  chart.SetBackImageMode(pbmStretch);
  SeriesNull->Clear();
  const int32_t z = settings.GetNullShift();
  SeriesNull->AddXY(chart.TopAxis()->Minimum(), z);
  SeriesNull->AddXY(chart.TopAxis()->Maximum(), z);
}

void TGridTimeForm::GetBMPfromView(int k) {
  if (!Tool || k != 0) return;
  const TGridTimeTool& t = GridTimeTool();
  TChart& chart = *ChartMigration;
  if (t.BmpGrid) chart.BackImage()->Assign(*t.BmpGrid);
  chart.TopAxis()->SetVisible(true);
  chart.SetBackImageMode(pbmStretch);
  chart.Invalidate();
}

TSectRange TGridTimeForm::ChartRange() {
  TChartAxis& top = *ChartMigration->TopAxis();
  TChartAxis& left = *ChartMigration->LeftAxis();
  return {top.Minimum(), top.Maximum(), left.Minimum(), left.Maximum()};
}

bool TGridTimeForm::DrawEllipse(TLineSeries& series, const TEllipse& e, long double D, long double h) {
  if (!e.Valid()) return false;
  if (EllipseMisses(e, D, h))
    ShowMessage(QStringLiteral("Error ") + FloatToStr(EllipseCheck(e, D, h)) + QStringLiteral(" <> 1"));
  series.BeginUpdate();
  for (const TPoint2& p : EllipsePoints(e)) series.AddXY(grid_time_form::Dbl(p.x), grid_time_form::Dbl(p.y));
  series.EndUpdate();
  return true;
}

void TGridTimeForm::PaintDirectWave() {
  using grid_time_form::Dbl;
  TGridTimeTool& t = GridTimeTool();
  const TGridTimeAxis axis = t.AxisOf(Tool->CurrentNumberView);
  TChart& chart = *ChartMigration;
  const long double path = axis.SampleToPath(axis.LongTrace);
  // The time window (ns) of the channel: without one there is no line.
  const long double window = axis.SampleToTimeUs(axis.LongTrace) * 1000;
  if (std::isfinite(t.AMin) && std::isfinite(path) && path > 0) chart.LeftAxis()->SetMinMax(Dbl(t.AMin), Dbl(t.AMin + path));
  PositionSeries->Clear();
  PositionSeries->AddXY(Dbl(t.DistanceRecept), 0);
  PositionSeries->AddXY(Dbl(t.AntenCount * t.StepRecept + t.DistanceRecept), 0);
  HyperbolaSeries->Clear();
  if (window > 0) {
    HyperbolaSeries->BeginUpdate();
    for (const TGridTimeAntenna& a : t.arAnten) {
      const long double k = Round(a.tDirect * 1000 / (window / axis.LongTrace));
      HyperbolaSeries->AddXY(Dbl(a.dx), Dbl(t.AMin + axis.SampleToPath(static_cast<int64_t>(
                                                      std::clamp<long double>(k, -1e15L, 1e15L)))));
    }
    HyperbolaSeries->EndUpdate();
  }
  if (t.PntVisual >= gtTestSect) return;
  // The probe ellipse with its point.
  const long double h = t.AMin + t.YElipse;
  const TEllipse e = PickEllipse(t.XElipse, h);
  if (!e.Valid()) return;
  SeriesNull->Clear();
  DrawEllipse(*SeriesNull, e, t.XElipse, h);
  SeriesNull->AddXY(Dbl(e.c + e.a), 0);
  SeriesNull->AddXY(Dbl(e.c + e.a), 0);
  PntSeries->Clear();
  PntSeries->AddBubble(Dbl(t.XElipse), Dbl(h), grid_time_form::kProbeRadius);
}

void TGridTimeForm::PaintSlice() {
  const TGridTimeTool& t = GridTimeTool();
  if (t.PntVisual >= gtTestSect) return;
  SliceSeries->Clear();
  SliceSeries->BeginUpdate();
  for (const TGridTimeAntenna& a : t.arAnten)
    SliceSeries->AddXY(grid_time_form::Dbl(a.dx), grid_time_form::Dbl(GetYPoint(t.XElipse, t.YElipse, a.dx)));
  SliceSeries->EndUpdate();
}

void TGridTimeForm::PaintOverlays() {
  using grid_time_form::Dbl;
  const TGridTimeTool& t = GridTimeTool();
  const TGridTimeAxis axis = t.AxisOf(Tool->CurrentNumberView);
  const double top = ChartMigration->LeftAxis()->Minimum();
  MaxSeries->Clear();
  MaxSeries->SetMarksVisible(t.PntVisual == gtSectPoint);
  MaxSeries->BeginUpdate();
  switch (t.PntVisual) {
    case gtMaxPoint:
      for (size_t i = 0; i < std::min(t.arMaxInTraces.size(), t.arAnten.size()); ++i)
        for (const TMaxSample& p : t.arMaxInTraces[i])
          MaxSeries->AddBubble(Dbl(t.arAnten[i].dx), Dbl(axis.SampleToPath(p.NumSampleMax)) + top,
                               Dbl(MaxPointRadius(p.AmplMax, t.GlobalExtremeE)), QString(), clRed);
      break;
    case gtSectPoint:
      for (const TSectBubble& b : t.SectBubbles)
        MaxSeries->AddBubble(Dbl(b.ix * t.GridStepSect), Dbl(b.iy * t.GridStepSect) + top, Dbl(t.GridStepSect),
                             QString::number(b.count), static_cast<TColor>(SectColour(b.count, t.SectMaxCount)));
      break;
    case gtTestSect:
      if (t.TestSectResult && t.TestSectChoice) {
        const TTestSectChoice& c = *t.TestSectChoice;
        const auto pickPoint = [&](int32_t antenna, int32_t index) {
          const TMaxSample& p = t.arMaxInTraces[static_cast<size_t>(antenna)][static_cast<size_t>(index)];
          return TPoint2{t.arAnten[static_cast<size_t>(antenna)].dx, axis.SampleToPath(p.NumSampleMax)};
        };
        const TPoint2 first = pickPoint(c.a, c.p), second = pickPoint(c.b, c.q);
        SeriesNull->Clear();
        SliceSeries->Clear();
        PntSeries->Clear();
        DrawEllipse(*SeriesNull, t.TestSectResult->first, first.x, first.y);
        DrawEllipse(*SliceSeries, t.TestSectResult->second, second.x, second.y);
        if (const std::optional<TPoint2>& x = t.TestSectResult->cross)
          MaxSeries->AddBubble(Dbl(x->x), Dbl(x->y), grid_time_form::kTestRadius, QString(), clRed);
        MaxSeries->AddBubble(Dbl(first.x), Dbl(first.y), grid_time_form::kTestRadius, QString(), clBlue);
        MaxSeries->AddBubble(Dbl(second.x), Dbl(second.y), grid_time_form::kTestRadius, QString(), clGreen);
      }
      break;
    default:
      break;
  }
  MaxSeries->EndUpdate();
}

void TGridTimeForm::PaintWiggle(const std::vector<long double>& R, const std::vector<long double>& out,
                                int32_t passes, long double D) {
  using grid_time_form::Dbl;
  const TGridTimeAxis axis = GridTimeTool().AxisOf(Tool->CurrentNumberView);
  TestMaxSeries0->Clear();
  TestMaxSeries1->Clear();
  TestMaxSeriesVertAxis->Clear();
  long double m = 1;
  for (long double v : R) m = std::max(m, std::fabs(v));
  const long double scale = 0.5L / m;
  TChartAxis& left = *ChartMigration->LeftAxis();
  const QString label = QString::number(passes);
  TestMaxSeriesVertAxis->AddXY(Dbl(D), left.Minimum(), label);
  TestMaxSeriesVertAxis->AddXY(Dbl(D), left.Maximum(), label);
  TestMaxSeries0->BeginUpdate();
  TestMaxSeries1->BeginUpdate();
  for (size_t k = 0; k < R.size() && k < out.size(); ++k) {
    const double y = Dbl(axis.SampleToPath(static_cast<int64_t>(k))) + left.Minimum();
    TestMaxSeries0->AddXY(Dbl(D + scale * R[k]), y, QString(), clGreen);
    TestMaxSeries1->AddXY(Dbl(D + scale * out[k]), y, QString(), clBlue);
  }
  TestMaxSeries0->EndUpdate();
  TestMaxSeries1->EndUpdate();
}

void TGridTimeForm::PaintDiagram() {
  const TDirectivityDiagram& d = GridTimeTool().Diagram;
  Series1->Clear();
  Series2->Clear();
  for (int theta = -TDirectivityDiagram::MaxAngle; theta <= TDirectivityDiagram::MaxAngle; ++theta) {
    const long double v = d.Weight(theta);
    const long double rad = theta * 3.14159265358979323846264338327950288L / 180;
    Series1->AddXY(theta, grid_time_form::Dbl(v));
    Series2->AddXY(grid_time_form::Dbl(v * std::sin(rad)), grid_time_form::Dbl(v * std::cos(rad)));
  }
}

void TGridTimeForm::PaintTrialHyperbola() {
  HyperbolaSeries->Clear();
  if (!Tool) return;
  const T2Dview* view = Tool->GetViewByIndx(Tool->CurrentNumberView);
  if (!view || !view->Settings()) return;
  const TGridTimeTool& t = GridTimeTool();
  const long double depthStep = view->SampleToDepth(1) - view->SampleToDepth(0);
  for (const TPoint2& p : TrialHyperbola(HyperbolaX, HyperbolaY, view->Settings()->GetNullShift(), t.XYProportional,
                                         view->MinNumTraces(), view->MaxNumTraces(), t.DistanceRecept, depthStep))
    HyperbolaSeries->AddXY(grid_time_form::Dbl(p.x), grid_time_form::Dbl(p.y));
}
