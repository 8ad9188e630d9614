#include "tools/imaging/search_object_form.h"

#include "platform/rtl/resource_strings.h"
#include "platform/rtl/rounding.h"
#include "platform/ui/application.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/buttons.h"
#include "platform/ui/chart.h"
#include "platform/ui/combo_box.h"
#include "platform/ui/edit_controls.h"
#include "platform/ui/list_box.h"
#include "platform/ui/panels.h"
#include "platform/ui/scroll_box.h"
#include "tools/tool_host.h"
#include "platform/ui/std_controls.h"
#include "profiledata/channel_store.h"
#include "profiledata/digit_edit.h"
#include "profiledata/setting_data.h"
#include "tools/imaging/channel_chart_picture.h"
#include "tools/imaging/search_object_overlays.h"
#include "tools/imaging/search_object_tool.h"

#include <algorithm>
#include <cmath>
#include <optional>

RESOURCESTRING(SSearchObjectFormCaption, "Migration");
RESOURCESTRING(SSearchXup, "Xup");
RESOURCESTRING(SSearchYup, "Yup");
RESOURCESTRING(SSearchRxy, "Rxy");
RESOURCESTRING(SSearchdWave, "dWave");
RESOURCESTRING(SSearchMatrix, "Matrix");
RESOURCESTRING(SSearchShowWave, "Show Wave");
RESOURCESTRING(SSearchFilterMax, "Filter Max 3D");
RESOURCESTRING(SSearchPercent, "%");
RESOURCESTRING(SSearchPolyLine, "PolyLine");
RESOURCESTRING(SSearchCursor, "X=1000, Y=500");
RESOURCESTRING(SSearchHyperbola, "Hyperbola");
RESOURCESTRING(SSearchAmpHyperbola, "AmpHyperbola");
RESOURCESTRING(SSearchXY, "X/Y");
RESOURCESTRING(SSearchApplay, "Applay");
RESOURCESTRING(SSearchDistance, "Distance t/r anten");
RESOURCESTRING(SSearchDeltaAmp, "Delta amp, %");
RESOURCESTRING(SSearchSizeHiperbola, "Size 1/2 hiperbola");
RESOURCESTRING(SSearchCountPoint, "Count point curve, %");
RESOURCESTRING(SSearchDispersia, "Dispersia <, %");
RESOURCESTRING(SSearchDeleteDown, "Delete down points");
RESOURCESTRING(SSearchAmpComparator, "Amp >, %");
RESOURCESTRING(SSearchMaxAmpIn, "Max Amp in");
RESOURCESTRING(SSearchSimples, "Simples");

namespace {
constexpr int kRow = 24;
constexpr int kEditLeft = 136;

TLineSeries* AddSeries(TComponent* owner, TChart* chart, TColor color, int width = 1) {
  auto* series = new TLineSeries(owner);
  series->SetParentChart(chart);
  series->SetSeriesColor(color);
  series->LinePen()->SetWidth(width);
  return series;
}

void Fill(TLineSeries* series, const TOverlayPoints& points) {
  for (const auto& [x, y] : points) series->AddXY(x, y);
}
}  // namespace

TSearchObjectForm::TSearchObjectForm(TComponent* AOwner) : TToolForm(AOwner, [] {
  TToolFormOptions options;
  options.PreviewOnShow = false;
  options.PreviewAlwaysApplied = true;
  // The chain runs before the handler returns: a redraw-only run sees its flag,
  // and the overlays read the marks of the new run.
  options.BlockingPreview = true;
  return options;
}()) {
  SetCaption(LoadResString(SSearchObjectFormCaption));
  SetFormStyle(fsStayOnTop);
  SetClientWidth(1146);
  SetClientHeight(590);

  Panel3 = new TPanel(this);
  Panel3->SetParent(this);
  Panel3->SetBounds(0, 0, 217, 590);
  EditCaption->SetBounds(8, 8, 204, 21);
  ExecCheckBox->SetBounds(8, 34, 97, 17);

  int top = 56;
  XupDigitEdit = AddEdit(top, LoadResString(SSearchXup), 1, 10000, 1, false);
  YupDigitEdit = AddEdit(top += kRow, LoadResString(SSearchYup), 1, 10000, 1, false);
  RxyDigitEdit = AddEdit(top += kRow, LoadResString(SSearchRxy), 1, 10000, 1, false);
  dWaveDigitEdit = AddEdit(top += kRow, LoadResString(SSearchdWave), 1, 10000, 1, false);
  MatrixCh = new TCheckBox(this);
  MatrixCh->SetParent(this);
  MatrixCh->SetBounds(8, top += kRow, 80, 17);
  MatrixCh->SetCaption(LoadResString(SSearchMatrix));
  MatrixCh->SetHint(LoadResString(SSearchMatrix));
  ShowWaveDigitEdit = AddEdit(top += kRow, LoadResString(SSearchShowWave), 1, 300, 1, false);
  OrigWave = new TLabel(this);
  OrigWave->SetParent(this);
  OrigWave->SetBounds(100, top - kRow + 2, 30, 13);
  chFilterMax = new TCheckBox(this);
  chFilterMax->SetParent(this);
  chFilterMax->SetBounds(8, top += kRow, 110, 17);
  chFilterMax->SetCaption(LoadResString(SSearchFilterMax));
  chFilterMax->SetHint(LoadResString(SSearchMatrix));
  FilterMaxDigitEdit = AddEdit(top, LoadResString(SSearchPercent), 1, 100, 1, false);
  cbPolyLine = new TCheckBox(this);
  cbPolyLine->SetParent(this);
  cbPolyLine->SetBounds(8, top += kRow, 90, 17);
  cbPolyLine->SetCaption(LoadResString(SSearchPolyLine));
  cbPolyLine->SetChecked(true);
  lbCursor = new TLabel(this);
  lbCursor->SetParent(this);
  lbCursor->SetBounds(100, top + 2, 110, 13);
  lbCursor->SetCaption(LoadResString(SSearchCursor));
  HyperbolaCheckButton = new TCheckBox(this);
  HyperbolaCheckButton->SetParent(this);
  HyperbolaCheckButton->SetBounds(8, top += kRow, 90, 17);
  HyperbolaCheckButton->SetCaption(LoadResString(SSearchHyperbola));
  AmpHyperbolaCheckBox = new TCheckBox(this);
  AmpHyperbolaCheckBox->SetParent(this);
  AmpHyperbolaCheckBox->SetBounds(100, top, 110, 17);
  AmpHyperbolaCheckBox->SetCaption(LoadResString(SSearchAmpHyperbola));
  XYProportionalDigitEdit = AddEdit(top += kRow, LoadResString(SSearchXY), 0.1L, 100, 0.1L, true);
  ApplayBitBtn = new TBitBtn(this);
  ApplayBitBtn->SetParent(this);
  ApplayBitBtn->SetBounds(60, top, 60, 21);
  ApplayBitBtn->SetCaption(LoadResString(SSearchApplay));
  ApplayBitBtn->SetHint(LoadResString(SSearchApplay));
  DistanceReceptDigitEdit = AddEdit(top += kRow, LoadResString(SSearchDistance), 0, 10, 0.01L, true);
  MinAmpDigitEdit = AddEdit(top += kRow, LoadResString(SSearchDeltaAmp), 1, 1000, 1, false);
  SizeHiperbolaDigitEdit = AddEdit(top += kRow, LoadResString(SSearchSizeHiperbola), 3, 50, 1, false);
  LEngthHiperbolaDigitEdit = AddEdit(top += kRow, LoadResString(SSearchCountPoint), 1, 100, 1, false);
  MaxSumNormAmpDigitEdit = AddEdit(top += kRow, LoadResString(SSearchDispersia), 1, 1000, 1, false);
  DeleteDownPointsCh = new TCheckBox(this);
  DeleteDownPointsCh->SetParent(this);
  DeleteDownPointsCh->SetBounds(8, top += kRow, 150, 17);
  DeleteDownPointsCh->SetCaption(LoadResString(SSearchDeleteDown));
  AmpComparatorDigitEdit = AddEdit(top += kRow, LoadResString(SSearchAmpComparator), 1, 1000, 1, false);
  AmpComparatorDigitEdit->SetVisible(false);
  auto* maxAmpLabel = new TLabel(this);
  maxAmpLabel->SetParent(this);
  maxAmpLabel->SetBounds(8, top + 4, 70, 13);
  maxAmpLabel->SetCaption(LoadResString(SSearchMaxAmpIn));
  cmMaxAmp = new TComboBox(this);
  cmMaxAmp->SetParent(this);
  cmMaxAmp->SetStyle(csDropDownList);
  cmMaxAmp->SetBounds(kEditLeft - 40, top, 108, 21);
  cmMaxAmp->SetItems({QStringLiteral("All"), QStringLiteral("current Depth"), QStringLiteral("current Trace"),
                      QStringLiteral("5x5"), QStringLiteral("5x7"), QStringLiteral("5x9"), QStringLiteral("5x11"),
                      QStringLiteral("5x13"), QStringLiteral("5x15")});
  AmpListBox = new TListBox(this);
  AmpListBox->SetParent(this);
  top += kRow + 4;
  AmpListBox->SetBounds(8, top, 204, 590 - top - 44);
  OKBitBtn->SetBounds(56, 558, 75, 25);
  CancelBitBtn->SetBounds(137, 558, 75, 25);

  Panel1 = new TPanel(this);
  Panel1->SetParent(this);
  Panel1->SetBounds(217, 0, 1146 - 217, 590);
  auto* scroll = new TScrollBox(this);
  scroll->SetParent(Panel1);
  scroll->SetBounds(0, 0, 1146 - 217, 590);
  PanelChartMigration = new TPanel(this);
  PanelChartMigration->SetParent(scroll);
  PanelChartMigration->SetBounds(0, 0, 1146 - 217, 590);
  ChartMigration = new TChart(this);
  ChartMigration->SetParent(PanelChartMigration);
  ChartMigration->SetBounds(0, 0, 1146 - 217, 590);
  ChartMigration->SetBackImageMode(pbmCustom);
  ChartMigration->LeftAxis()->SetInverted(true);
  ChartMigration->LeftAxis()->SetTitle(LoadResString(SSearchSimples));
  ChartMigration->TopAxis()->SetVisible(true);
  SeriesNull = AddSeries(this, ChartMigration, clBlue);
  HyperbolaSeries = AddSeries(this, ChartMigration, clRed);
  SliceSeries = AddSeries(this, ChartMigration, clBlack);
  AmpHyperbolaSeries = AddSeries(this, ChartMigration, clRed);
  FreqSeries = AddSeries(this, ChartMigration, clBlue);
  SeriesD = AddSeries(this, ChartMigration, clLime);
  SelectPolyLineSeries = AddSeries(this, ChartMigration, clBlue, 2);
  for (TLineSeries* s : {SeriesNull, HyperbolaSeries, SliceSeries, AmpHyperbolaSeries, FreqSeries, SeriesD,
                         SelectPolyLineSeries}) {
    s->SetHorizAxis(aTopAxis);
    s->SetVertAxis(aLeftAxis);
  }

  // ---- Events: every change ends in the Apply handler ------------------------
  const auto store = [this](TDigitEdit* edit, int32_t TSearchObjectTool::*field, bool apply) {
    return [this, edit, field, apply](TObject* sender) {
      if (!Tool || !Vsbl) return;
      SearchTool().*field = edit->ValueInt();
      if (apply) ApplyAndCopyPicture(sender);
    };
  };
  XupDigitEdit->OnChangeFinish = [this, store](TObject* sender) {
    store(XupDigitEdit, &TSearchObjectTool::Xup, true)(sender);
    if (Tool) RedrawOverlays();
  };
  YupDigitEdit->OnChangeFinish = [this, store](TObject* sender) {
    store(YupDigitEdit, &TSearchObjectTool::Yup, true)(sender);
    if (Tool) RedrawOverlays();
  };
  RxyDigitEdit->OnChangeFinish = store(RxyDigitEdit, &TSearchObjectTool::Rxy, true);
  dWaveDigitEdit->OnChangeFinish = store(dWaveDigitEdit, &TSearchObjectTool::dWave, true);
  ShowWaveDigitEdit->OnChangeFinish = [this](TObject*) {
    if (!Tool || !Vsbl) return;
    SearchTool().ShowWave = ShowWaveDigitEdit->ValueInt();
    if (!Tool->runing && SearchTool().Matrix) RedrawOnlyWave();
  };
  MatrixCh->OnClick = [this](TObject* sender) {
    if (!Tool || !Vsbl) return;
    SearchTool().Matrix = MatrixCh->Checked();
    ApplyAndCopyPicture(sender);
  };
  chFilterMax->OnClick = [this](TObject*) {
    if (!Tool || !Vsbl) return;
    SearchTool().FilterMax = chFilterMax->Checked();
    if (SearchTool().Matrix) RedrawOnlyWave();
  };
  FilterMaxDigitEdit->OnChangeFinish = [this](TObject* sender) {
    if (!Tool || !Vsbl) return;
    SearchTool().FilterMaxPorog = FilterMaxDigitEdit->ValueInt();
    chFilterMax->OnClick(sender);
  };
  DeleteDownPointsCh->OnClick = [this](TObject* sender) {
    if (!Tool || !Vsbl) return;
    SearchTool().DeleteDownPoints = DeleteDownPointsCh->Checked();
    ApplyAndCopyPicture(sender);
  };
  const auto changeRedraw = [this](TDigitEdit* edit, long double TSearchObjectTool::*field) {
    return [this, edit, field](TObject*) {
      if (!Tool || !Vsbl) return;
      SearchTool().*field = edit->ValueReal();
      PaintHyperbola(HyperbolaY, HyperbolaX);
      PaintAmpHyperbola(HyperbolaY, HyperbolaX);
    };
  };
  XYProportionalDigitEdit->OnChange = changeRedraw(XYProportionalDigitEdit, &TSearchObjectTool::XYProportional);
  DistanceReceptDigitEdit->OnChange = changeRedraw(DistanceReceptDigitEdit, &TSearchObjectTool::DistanceRecept);
  MinAmpDigitEdit->OnChange = store(MinAmpDigitEdit, &TSearchObjectTool::MinAmpSect, false);
  SizeHiperbolaDigitEdit->OnChange = store(SizeHiperbolaDigitEdit, &TSearchObjectTool::SizeHyperbola, false);
  LEngthHiperbolaDigitEdit->OnChange = store(LEngthHiperbolaDigitEdit, &TSearchObjectTool::CountPointAtCurve, false);
  MaxSumNormAmpDigitEdit->OnChange = store(MaxSumNormAmpDigitEdit, &TSearchObjectTool::MaxSumNormAmp, false);
  AmpComparatorDigitEdit->OnChange = store(AmpComparatorDigitEdit, &TSearchObjectTool::AmpComparator, false);
  cmMaxAmp->OnChange = [this](TObject*) {
    if (!Tool || !Vsbl) return;
    SearchTool().typeMaxAmp = std::max(cmMaxAmp->ItemIndex(), 0);
  };
  ApplayBitBtn->OnClick = [this](TObject* sender) { ApplyAndCopyPicture(sender); };
  HyperbolaCheckButton->OnClick = [this](TObject*) {
    if (!Tool) return;
    if (HyperbolaCheckButton->Checked()) {
      SliceSeries->Clear();
      HyperbolaY = (ChartMigration->LeftAxis()->Minimum() + ChartMigration->LeftAxis()->Maximum()) / 2;
      if (const T2Dview* view = Tool->GetViewByIndx(Tool->CurrentNumberView))
        HyperbolaX = static_cast<double>(view->MinNumTraces() + view->MaxNumTraces()) / 2;
      PaintHyperbola(HyperbolaY, HyperbolaX);
    } else {
      HyperbolaSeries->Clear();
    }
  };
  AmpHyperbolaCheckBox->OnClick = [this](TObject*) {
    if (!Tool) return;
    if (AmpHyperbolaCheckBox->Checked()) {
      SliceSeries->Clear();
      HyperbolaY = (ChartMigration->LeftAxis()->Minimum() + ChartMigration->LeftAxis()->Maximum()) / 2;
      if (const T2Dview* view = Tool->GetViewByIndx(Tool->CurrentNumberView))
        HyperbolaX = static_cast<double>(view->MinNumTraces() + view->MaxNumTraces()) / 2;
      PaintAmpHyperbola(HyperbolaY, HyperbolaX);
    } else {
      AmpHyperbolaSeries->Clear();
    }
  };
  ChartMigration->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int x, int y) {
    InspectPoint(ChartMigration->TopAxis()->CalcPosPoint(x), ChartMigration->LeftAxis()->CalcPosPoint(y));
  };
  ChartMigration->OnMouseMove = [this](TObject*, TShiftState, int x, int y) {
    lbCursor->SetCaption(QStringLiteral("X=%1,Y=%2")
                             .arg(Round(ChartMigration->TopAxis()->CalcPosPoint(x)))
                             .arg(Round(ChartMigration->LeftAxis()->CalcPosPoint(y))));
  };
  // Enter in a numeric edit finishes its entry; elsewhere it is OK.
  for (TDigitEdit* edit : {XupDigitEdit, YupDigitEdit, RxyDigitEdit, dWaveDigitEdit, ShowWaveDigitEdit,
                           FilterMaxDigitEdit, XYProportionalDigitEdit, DistanceReceptDigitEdit, MinAmpDigitEdit,
                           SizeHiperbolaDigitEdit, LEngthHiperbolaDigitEdit, MaxSumNormAmpDigitEdit,
                           AmpComparatorDigitEdit})
    KeepEnterIn(edit);
  ExecCheckBox->OnClick = [this](TObject* sender) { ApplyAndCopyPicture(sender); };
  OnShow = [this](TObject* sender) {
    FormShow(sender);
    if (Tool) GetBMPfromView(Tool->CurrentNumberView);
    Application->ProcessMessages();
  };
}

TSearchObjectForm::~TSearchObjectForm() { *alive_ = false; }

void TSearchObjectForm::ApplyAndCopyPicture(TObject* Sender) {
  ExecCheckBoxClick(Sender);
  if (!Tool || !Vsbl) return;
  const std::shared_ptr<bool> alive = alive_;
  Tool->Host().WhenRepainted([this, alive] {
    if (*alive && Tool) GetBMPfromView(Tool->CurrentNumberView);
  });
}

TDigitEdit* TSearchObjectForm::AddEdit(int top, const QString& label, long double min, long double max,
                                       long double step, bool decimals) {
  auto* caption = new TLabel(this);
  caption->SetParent(this);
  caption->SetBounds(8, top + 4, 124, 13);
  caption->SetCaption(label);
  auto* edit = new TDigitEdit(this);
  edit->SetParent(this);
  edit->SetBounds(kEditLeft, top, 72, 21);
  edit->SetMinVal(min);
  edit->SetMaxVal(max);
  edit->SetStep(step);
  edit->SetAvailableDecimal(decimals);
  return edit;
}

TSearchObjectTool& TSearchObjectForm::SearchTool() const { return static_cast<TSearchObjectTool&>(*Tool); }

void TSearchObjectForm::DisplayToolParam() {
  const TSearchObjectTool& t = SearchTool();
  XupDigitEdit->SetValueInt(t.Xup);
  YupDigitEdit->SetValueInt(t.Yup);
  RxyDigitEdit->SetValueInt(t.Rxy);
  dWaveDigitEdit->SetValueInt(t.dWave);
  MatrixCh->SetChecked(t.Matrix);
  ShowWaveDigitEdit->SetValueInt(t.ShowWave);
  chFilterMax->SetChecked(t.FilterMax);
  FilterMaxDigitEdit->SetValueInt(t.FilterMaxPorog);
  XYProportionalDigitEdit->SetValueReal(t.XYProportional);
  DistanceReceptDigitEdit->SetValueReal(t.DistanceRecept);
  MinAmpDigitEdit->SetValueInt(t.MinAmpSect);
  SizeHiperbolaDigitEdit->SetValueInt(t.SizeHyperbola);
  LEngthHiperbolaDigitEdit->SetValueInt(t.CountPointAtCurve);
  MaxSumNormAmpDigitEdit->SetValueInt(t.MaxSumNormAmp);
  DeleteDownPointsCh->SetChecked(t.DeleteDownPoints);
  AmpComparatorDigitEdit->SetValueInt(t.AmpComparator);
  cmMaxAmp->SetItemIndex(t.typeMaxAmp);
}

void TSearchObjectForm::GetBMPfromView(int indx) {
  if (!Tool) return;
  const T2Dview* view = ShowChannelOnChart(*Tool, indx, *PanelChartMigration, *ChartMigration, *SeriesNull);
  if (!view) return;
  if (!HyperbolaCheckButton->Checked()) HyperbolaSeries->Clear();
  OrigWave->SetCaption(QString::number(view->Settings()->GetSpeedLight()));
}

namespace {
TOverlayGeometry OverlayGeometry(const TSearchObjectTool& t, const T2Dview& view) {
  TOverlayGeometry g;
  g.NullShift = view.Settings()->GetNullShift();
  g.DepthStep = view.SampleToDepth(1) - view.SampleToDepth(0);
  g.DistanceRecept = t.DistanceRecept;
  g.XYProportional = t.XYProportional;
  g.SizeHyperbola = t.SizeHyperbola;
  return g;
}
}  // namespace

void TSearchObjectForm::PaintHyperbola(double Ya, double X) {
  HyperbolaSeries->Clear();
  AmpHyperbolaSeries->Clear();
  if (!Tool || !HyperbolaCheckButton->Checked()) return;
  const T2Dview* view = Tool->GetViewByIndx(Tool->CurrentNumberView);
  if (!view || !view->Settings()) return;
  Fill(HyperbolaSeries, HyperbolaOverlay(OverlayGeometry(SearchTool(), *view), Ya, X));
}

void TSearchObjectForm::PaintAmpHyperbola(double Ya, double X) {
  if (!Tool || !AmpHyperbolaCheckBox->Checked()) return;
  AmpHyperbolaSeries->Clear();
  AmpListBox->Clear();
  const T2Dview* view = Tool->GetViewByIndx(Tool->CurrentNumberView);
  if (!view || !view->Settings()) return;
  TSearchObjectTool& t = SearchTool();
  if (t.MaxAmp == 0) t.MaxAmp = 1;
  const int32_t longTrace = view->Settings()->GetLongTrace();
  TOverlayChannel c;
  c.Data = view->dezoData.Data();
  c.LongTrace = longTrace;
  c.Traces = longTrace > 0 ? std::min(view->NumTraces(), view->dezoData.Bytes() / 4 / longTrace) : 0;
  c.MinNumTraces = view->MinNumTraces();
  const double T = ChartMigration->TopAxis()->Maximum();
  const double M = (ChartMigration->LeftAxis()->Minimum() + ChartMigration->LeftAxis()->Maximum()) / 2;
  const TAmpProfile p = AmpHyperbolaProfile(OverlayGeometry(t, *view), c, Ya, X, t.MaxAmp, T, M);
  const bool detected = p.Computed && t.DetectDugis(p.Profile);
  if (p.Computed) FreqSeries->Clear();
  AmpListBox->SetItems(AmpProfileLines(p, Ya, X, detected));
  if (!p.Computed) return;
  Fill(AmpHyperbolaSeries, p.Points);
  SliceSeries->Clear();
  SliceSeries->AddXY(T - 400, M);
  SliceSeries->AddXY(T, M);
  SeriesD->SetActive(true);
  SeriesD->Clear();
  SeriesD->AddXY(T - 200, M - 100);
  SeriesD->AddXY(T - 200, M + 100);
}

void TSearchObjectForm::PaintSelectPolyLiny(double Ya, double X) {
  SelectPolyLineSeries->Clear();
  if (!Tool || !cbPolyLine->Checked() || SearchTool().XYProportional == 0) return;
  TSearchObjectTool& t = SearchTool();
  const int32_t x = static_cast<int32_t>(std::clamp<int64_t>(Round(X), INT32_MIN, INT32_MAX));
  const int32_t y = static_cast<int32_t>(std::clamp<int64_t>(Round(Ya), INT32_MIN, INT32_MAX));
  TChainPoints points;
  const TChainResult r = t.GetSelectPolyLine(false, x, y, points);
  AmpListBox->Clear();
  if (const std::optional<TSearchPlanes> planes = t.DialogPlanes(false))
    AmpListBox->SetItems(ChainLines(r, points, *planes, x, y, t.SizeHyperbola, t.MiddleAmp));
  for (int32_t v = r.Left + 1; v <= r.Right - 1; ++v) {
    const TChainPoint& q = points[static_cast<size_t>(v)];
    SelectPolyLineSeries->AddXY(q.X, q.Y);
  }
}

void TSearchObjectForm::InspectPoint(double x, double y) {
  HyperbolaX = x;
  HyperbolaY = y;
  RedrawOverlays();
}

void TSearchObjectForm::RedrawOverlays() {
  if (HyperbolaCheckButton->Checked()) PaintHyperbola(HyperbolaY, HyperbolaX);
  if (AmpHyperbolaCheckBox->Checked()) PaintAmpHyperbola(HyperbolaY, HyperbolaX);
  if (cbPolyLine->Checked()) PaintSelectPolyLiny(HyperbolaY, HyperbolaX);
}

void TSearchObjectForm::RedrawOnlyWave() {
  TSearchObjectTool& t = SearchTool();
  struct TOnlyPaintScope {
    TSearchObjectTool& tool;
    ~TOnlyPaintScope() { tool.isOnlyPaintWave = false; }
  } scope{t};
  t.isOnlyPaintWave = true;
  ApplyAndCopyPicture(this);
}
