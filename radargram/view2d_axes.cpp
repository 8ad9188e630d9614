// The radargram window's axes, scroll bars, zoom and proportions, and the view
// switches of the View page (grids, flip, wave-speed medium). The arithmetic is
// axes_arithmetic.h; this file reads the window's state into it and applies the
// result to the charts, bars and strips.

#include "radargram/view2d_form.h"

#include "radargram/form_controls.h"

#include "platform/rtl/rounding.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/buttons.h"
#include "platform/ui/chart.h"
#include "platform/ui/combo_box.h"
#include "platform/ui/keys.h"
#include "platform/ui/menus.h"
#include "platform/ui/message_boxes.h"
#include "platform/ui/page_control.h"
#include "platform/ui/panels.h"
#include "platform/ui/scroll_bar.h"
#include "platform/ui/std_controls.h"
#include "profiledata/channel_store.h"
#include "profiledata/digit_edit.h"
#include "profiledata/setting_data.h"
#include "radar/control_radar.h"
#include "radar/radar.h"
#include "radargram/axes_arithmetic.h"
#include "radargram/tool_messages.h"
#include "raster/bitmap32.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace aa = axes_arithmetic;

RESOURCESTRING(SZoomFitHeight, "Fit Height");
RESOURCESTRING(SZoomFitWidth, "Fit Width");
RESOURCESTRING(SZoomIn, "Zoom In");
RESOURCESTRING(SZoomOut, "Zoom Out");
RESOURCESTRING(SPropN11, "1:1");
RESOURCESTRING(SPropN13, "1:3");
RESOURCESTRING(SPropN15, "1:5");
RESOURCESTRING(SVGrid, "V Grid");
RESOURCESTRING(SHGrid, "H Grid");
RESOURCESTRING(SProfileTooLarge, "The GPR profile is too large to display in this mode.");
RESOURCESTRING(SChangeDirection, "Are you that sure you want to change the direction?");
RESOURCESTRING(STimeNs, "Time, ns");
RESOURCESTRING(SSamples, "Samples");
RESOURCESTRING(SDistanceM, "Distance, m");
RESOURCESTRING(SGPSDataTitle, "GPS Data");
RESOURCESTRING(STracesTitle, "Traces");
RESOURCESTRING(SUnitMetres, ", m");
RESOURCESTRING(SUnitTraces, " trace");

namespace {

constexpr int kTopAxisHeight = 34;
constexpr int kStripWidth = 18;
constexpr int kGpsLabelArea = 150;
// The horizontal scroll bar's height the fit leaves free (the system metric).
constexpr int kHorScrollBarHeight = 18;

const char* const kZoomPercents[] = {"400", "300", "200", "100", "75", "50", "25", "12"};

aa::TChannelScale ScaleOf(const TSettingData& s) {
  return {static_cast<long double>(s.GetSpanWidth()), s.GetOverStep(), s.GetNullShift(), s.GetSpeedLight()};
}

// Traces placed by distance along the profile: a wheel or trolley, not GPS.
bool PlacedByDistance(const TSettingData& s) {
  return s.GetTopoType() != ttNil && s.GetTopoType() != ttGPS && s.GetMeasureStep() > 0;
}

}  // namespace

// ---- Controls --------------------------------------------------------------------------------

void TView2DForm::BuildAxesControls() {
  TTabSheet* view = OperationsTabSheet;
  PropN11SpeedButton = NewSpeedButton(this, view, "PropN11SpeedButton", LoadResString(SPropN11), 134, 40, 40);
  PropN13SpeedButton = NewSpeedButton(this, view, "PropN13SpeedButton", LoadResString(SPropN13), 176, 40, 40);
  PropN15SpeedButton = NewSpeedButton(this, view, "PropN15SpeedButton", LoadResString(SPropN15), 218, 40, 40);
  const std::pair<TSpeedButton*, TProportional> props[] = {
      {PropN11SpeedButton, PropInSamples11}, {PropN13SpeedButton, PropInSamples13},
      {PropN15SpeedButton, PropInSamples15}, {Prop21SpeedButton, PropInM21},
      {Prop11SpeedButton, PropInM11},         {Prop12SpeedButton, PropInM12}};
  for (const auto& [button, mode] : props) {
    button->SetGroupIndex(10);
    button->OnClick = [this, mode = mode](TObject*) { PropButtonClick(mode); };
  }
  PropN11SpeedButton->SetDown(true);

  ZoomComboBox = new TComboBox(this);
  ZoomComboBox->SetName(QStringLiteral("ZoomComboBox"));
  ZoomComboBox->SetParent(view);
  ZoomComboBox->SetBounds(8, 200, 110, 24);
  QStringList items{LoadResString(SZoomFitHeight), LoadResString(SZoomFitWidth)};
  for (const char* percent : kZoomPercents) items.push_back(QString::fromLatin1(percent));
  ZoomComboBox->SetItems(items);
  ZoomComboBox->SetText(QStringLiteral("100"));
  ZoomComboBox->OnChange = [this](TObject*) { ZoomComboBoxChange(); };
  ZoomComboBox->OnKeyDown = [this](TObject* sender, WORD& key, TShiftState shift) {
    ZoomComboBoxKeyDown(sender, key, shift);
  };
  BitBtn1 = new TBitBtn(this);
  BitBtn1->SetName(QStringLiteral("BitBtn1"));
  BitBtn1->SetParent(view);
  BitBtn1->SetBounds(122, 200, 70, 24);
  BitBtn1->SetCaption(LoadResString(SZoomIn));
  BitBtn1->OnClick = [this](TObject*) { Zooming(true); };
  ZoomOutBitBtn = new TBitBtn(this);
  ZoomOutBitBtn->SetName(QStringLiteral("ZoomOutBitBtn"));
  ZoomOutBitBtn->SetParent(view);
  ZoomOutBitBtn->SetBounds(194, 200, 70, 24);
  ZoomOutBitBtn->SetCaption(LoadResString(SZoomOut));
  ZoomOutBitBtn->OnClick = [this](TObject*) { Zooming(false); };

  SpeedButtonShowVertGrid = NewSpeedButton(this, view, "SpeedButtonShowVertGrid", LoadResString(SVGrid), 8, 232, 80);
  SpeedButtonShowVertGrid->OnClick = [this](TObject* sender) { SpeedButtonShowVertGridClick(sender); };
  ShowHorGridSpeedButton = NewSpeedButton(this, view, "ShowHorGridSpeedButton", LoadResString(SHGrid), 92, 232, 80);
  ShowHorGridSpeedButton->OnClick = [this](TObject* sender) { ShowHorGridSpeedButtonClick(sender); };
  FlipSpeedButton->OnClick = [this](TObject* sender) { FlipSpeedButtonClick(sender); };

  MediumPopupMenu = new TPopupMenu(this);
  MediumPopupMenu->SetName(QStringLiteral("MediumPopupMenu"));
  if (shell_.Axes) {
    const std::vector<TMediumProperty> media = shell_.Axes->GetListOfMedium();
    for (size_t i = 0; i < media.size(); ++i) {
      auto* item = new TMenuItem(this);
      item->SetCaption(media[i].Title);
      item->SetTag(static_cast<intptr_t>(i));
      item->OnClick = [this](TObject* sender) { N11Click(sender); };
      MediumPopupMenu->Items()->Add(item);
    }
  }
  MeniumButton->OnClick = [this](TObject* sender) { MeniumButtonClick(sender); };
  SimpleMeniumButton->OnClick = [this](TObject* sender) { MeniumButtonClick(sender); };

  for (TMenuItem* item : {DistanceMenu, TracesMenu, GPSdataMenu})
    item->OnClick = [this, item](TObject*) { DistanceMenuClick(item); };

  // The corner under the vertical strip, at the right end of the horizontal one.
  Panel3 = new TPanel(this);
  Panel3->SetName(QStringLiteral("Panel3"));
  Panel3->SetBounds(0, 0, kStripWidth, kStripWidth);
  Panel3->SetParent(Panel4);
  Panel3->SetAlign(alRight);
  Panel3->Hide();

  HorScrollBar->OnChange = [this](TObject*) {
    if (!scrollBarsUpdating_) RunAfterChangeScrollBars();
  };
  VertScrollBar->OnChange = HorScrollBar->OnChange;

  ChartView->OnBeforeDrawAxes = [this](TObject* sender) { ChartViewBeforeDrawAxes(sender); };
  SizeSeries->OnBeforeDrawValues = [this](TObject* sender) { SizeSeriesBeforeDrawValues(sender); };
  SetMessageHandler(WM_ZOOMTOHEIGHT, [this](TMessage&) { ZoomToWH(ZoomToHeight); });
  SetMessageHandler(WM_MOUSEWHEEL, [this](TMessage& message) {
    // The wheel steps the wave speed while its edit or the medium button has the focus.
    if (SpeedDigitEdit->Focused() || MeniumButton->Focused()) return;
    const auto delta = static_cast<int16_t>(static_cast<uint16_t>(message.WParam >> 16));
    Zooming(delta > 0);
  });
}

// ---- Proportions ------------------------------------------------------------------------------

void TView2DForm::SetProportionalCoefic(const T2Dview* store) {
  ProportionalCoefic = aa::ProportionalCoefic(proportional_, store ? store->GetProportionalCoefic() : 1);
  if (!TControlRadar::isDualFrequenceGPRDevice(TypeGPRDevice)) return;
  const T2Dview* master = GetView2DByIndx(MasterChannal);
  const long double masterDepth = master ? master->Settings()->GetDepth() : 0;
  for (int i = 0; i < kChannelSlots; ++i) {
    const T2Dview* channel = View2D_[static_cast<size_t>(i)];
    long double ratio = 1;
    if (channel && i != MasterChannal && aa::IsDistanceMode(proportional_) && masterDepth > 0)
      ratio = channel->Settings()->GetDepth() / masterDepth;
    ZoomToMasterDistance_[static_cast<size_t>(i)] = ratio > 0 && std::isfinite(ratio) ? ratio : 1;
  }
}

long double TView2DForm::GetWidthProportional() const {
  const T2Dview* first = View2D_[0];
  return first ? aa::ProportionalCoefic(proportional_, first->GetProportionalCoefic()) : 1;
}

void TView2DForm::ApplyProportional(bool resetScroll) {
  if (const T2Dview* first = View2D_[0]) {
    const long double factor = aa::WidthLimitFactor(proportional_, first->GetProportionalCoefic());
    if (aa::TooWideForMode(first->NumTraces(), factor)) {
      MessageDlg(LoadResString(SProfileTooLarge), mtWarning, {mbOK}, 0);
      proportional_ = PropInSamples11;
      SetPropButtonAsProportional();
    }
  }
  if (shell_.Axes) shell_.Axes->SetGlobalProportional(proportional_);
  if (resetScroll) {
    scrollBarsUpdating_ = true;
    HorScrollBar->SetPosition(0);
    scrollBarsUpdating_ = false;
  }
  // The zoom bitmaps take the new width, then the axes and bars follow.
  Zoom();
  HyperbolaScroll();
  CreateBMPSectOfDeep();
}

void TView2DForm::SetPropButtonAsProportional() {
  TSpeedButton* button = nullptr;
  switch (proportional_) {
    case PropInSamples11: button = PropN11SpeedButton; break;
    case PropInSamples13: button = PropN13SpeedButton; break;
    case PropInSamples15: button = PropN15SpeedButton; break;
    case PropInM21: button = Prop21SpeedButton; break;
    case PropInM11: button = Prop11SpeedButton; break;
    case PropInM12: button = Prop12SpeedButton; break;
    case PropInM31:
    case PropInM41: break;
  }
  if (button) button->SetDown(true);
}

void TView2DForm::PropButtonClick(TProportional mode) {
  proportional_ = mode;
  ApplyProportional(true);
}

// ---- Axes ---------------------------------------------------------------------------------------

void TView2DForm::MeasureAxisSize() {
  AxisWidth = WidthChartAxis;
  for (int i = 0; i < kChannelSlots; ++i) {
    TChart* chart = Chart_[static_cast<size_t>(i)];
    AxisHeight_[static_cast<size_t>(i)] = chart && chart->TopAxis()->Visible() ? kTopAxisHeight : 0;
  }
}

void TView2DForm::ResizeAxis() {
  MeasureAxisSize();
  for (int i = 0; i < kChannelSlots; ++i) ResizeAxis_Radar(i);
  SetProportionalCoefic(GetView2DByIndx(MasterChannal));
}

void TView2DForm::ResizeAxis_Radar(int NumRadar) {
  if (shell_.Layout->isCloseChild() || NumRadar < 0 || NumRadar >= CountChannalView) return;
  T2Dview* store = GetView2DByIndx(NumRadar);
  TChart* chart = GetChartByIndx(NumRadar);
  if (!store || !chart) return;
  SetProportionalCoefic(store);
  const TSettingData& s = *store->Settings();
  const aa::TChannelScale scale = ScaleOf(s);
  TChartAxis* left = chart->LeftAxis();
  TChartAxis* right = chart->RightAxis();
  TChartAxis* top = chart->TopAxis();

  aa::TVerticalInput v;
  v.ChartHeight = chart->ClientHeight();
  v.TopAxisHeight = AxisHeight_[static_cast<size_t>(NumRadar)];
  v.VertPosition = VertScrollBar->Position();
  v.ZoomFactor = ZoomFactor;
  v.LeftMinimum = left->Minimum();
  v.LeftMaximum = left->Maximum();
  v.Scale = scale;
  aa::TVerticalRanges vr = aa::VerticalRanges(v);
  const long double ztm = ZoomToMasterDistance_[static_cast<size_t>(NumRadar)];
  if (TControlRadar::isDualFrequenceGPRDevice(TypeGPRDevice) && aa::IsDistanceMode(proportional_) &&
      NumRadar != MasterChannal && ztm > 0) {
    vr.LeftMin /= ztm;
    vr.LeftMax /= ztm;
    vr.RightMin /= ztm;
    vr.RightMax /= ztm;
  }
  if (vr.LeftSet) left->SetMinMax(static_cast<double>(vr.LeftMin), static_cast<double>(vr.LeftMax));
  right->SetMinMax(static_cast<double>(vr.RightMin), static_cast<double>(vr.RightMax));

  aa::THorizontalInput h;
  h.ChartWidth = chart->ClientWidth();
  h.AxisWidth = AxisWidth;
  h.HorPosition = HorScrollBar->Position();
  h.ZoomFactor = ZoomFactor;
  h.Proportion = ProportionalCoefic;
  h.ZoomToMaster = ztm;
  h.MinNumTraces = store->MinNumTraces();
  h.MaxNumTraces = store->MaxNumTraces();
  h.Flipped = s.GetWasFlip();
  h.Distance = DistanceMenu->Checked() && PlacedByDistance(s);
  h.MeasureStep = s.GetMeasureStep();
  h.DeviceX = deviceX_;
  h.SettingsVersion = s.GetVersion();
  h.Scale = scale;
  h.Recording = shell_.Recording->RadarStarted();
  const aa::TTopRange tr = aa::TopRange(h);
  top->SetMinMax(static_cast<double>(tr.Min), static_cast<double>(tr.Max));

  if (TLineSeries* zero = SeriesNull_[static_cast<size_t>(NumRadar)]) {
    zero->SetActive(true);
    if (!TopoCorrectionShown()) {
      const double y = std::max(static_cast<double>(aa::SampleTime(s.GetNullShift(), scale)), left->Minimum());
      zero->Clear();
      zero->AddXY(top->Minimum(), y, QString(), clBlue);
      zero->AddXY(top->Maximum(), y, QString(), clBlue);
    }
  }
  if (TLineSeries* position = PositionSeries_[static_cast<size_t>(NumRadar)]) {
    // The end of the data on the top axis.
    const long double end = h.Distance ? deviceX_ / 100000.0L + store->MaxNumTraces() * h.MeasureStep / 1000.0L
                                       : static_cast<long double>(store->MaxNumTraces());
    const double x =
        store->WasOpen ? 0 : static_cast<double>(aa::PositionLineX(end, tr.Min, tr.Max, h.Recording));
    position->Clear();
    position->AddXY(x, left->Maximum());
    position->AddXY(x, left->Minimum());
  }
}

void TView2DForm::ResizeAxisForDualFrequence(int fromNumRadar) {
  if (!TControlRadar::isDualFrequenceGPRDevice(TypeGPRDevice)) return;
  if (fromNumRadar < 0) {
    double smallest = 1000000;
    for (int i = 0; i < kChannelSlots; ++i) {
      TChart* chart = Chart_[static_cast<size_t>(i)];
      if (chart && View2D_[static_cast<size_t>(i)] && chart->TopAxis()->Minimum() < smallest) {
        smallest = chart->TopAxis()->Minimum();
        fromNumRadar = i;
      }
    }
    if (fromNumRadar < 0) return;
  }
  TChart* from = GetChartByIndx(fromNumRadar);
  if (!from) return;
  const double min = from->TopAxis()->Minimum(), max = from->TopAxis()->Maximum();
  const TLineSeries* masterPosition = GetPositionSeriesByIndx(MasterChannal);
  for (int i = 0; i < kChannelSlots; ++i) {
    TChart* chart = Chart_[static_cast<size_t>(i)];
    if (!chart || i == fromNumRadar) continue;
    chart->TopAxis()->SetMinMax(min, max);
    TLineSeries* zero = SeriesNull_[static_cast<size_t>(i)];
    if (zero && !TopoCorrectionShown() && zero->Count() > 1) zero->SetXValue(1, max);
  }
  for (int i = 0; i < kChannelSlots; ++i) {
    TLineSeries* position = PositionSeries_[static_cast<size_t>(i)];
    if (!position || i == MasterChannal || !masterPosition) continue;
    for (int k = 0; k < std::min(position->Count(), masterPosition->Count()); ++k)
      position->SetXValue(k, masterPosition->XValue(k));
  }
}

int TView2DForm::GetViewMaxDepth() const {
  int deepest = 0;
  long double depth = -1;
  for (int i = 0; i < CountChannalView && i < kChannelSlots; ++i) {
    const T2Dview* store = View2D_[static_cast<size_t>(i)];
    if (store && store->Settings()->GetDepth() > depth) {
      depth = store->Settings()->GetDepth();
      deepest = i;
    }
  }
  return deepest;
}

void TView2DForm::SetLeftAxisCaption() {
  const bool time = !shell_.Axes || shell_.Axes->DataLeftLabelIsTime();
  const QString unit = LoadResString(time ? STimeNs : SSamples);
  for (int i = 0; i < kChannelSlots; ++i) {
    const T2Dview* store = View2D_[static_cast<size_t>(i)];
    TChart* chart = Chart_[static_cast<size_t>(i)];
    if (!store || !chart) continue;
    QString title = unit;
    if (CountChannalView != 1)
      title = QStringLiteral("#%1 [%2] ").arg(i).arg(store->Settings()->GetSerNum()) + unit;
    chart->LeftAxis()->SetTitle(title);
    chart->LeftAxis()->TitleFont()->SetStyle(i == MasterChannal ? TFontStyles{fsBold} : TFontStyles{});
  }
}

void TView2DForm::SetTitleTopAxes() {
  if (shell_.Axes)
    shell_.Axes->SetUnitLabels(LoadResString(DistanceMenu->Checked() ? SUnitMetres : SUnitTraces));
  for (int i = 0; i < kChannelSlots; ++i) {
    T2Dview* store = View2D_[static_cast<size_t>(i)];
    TChart* chart = Chart_[static_cast<size_t>(i)];
    if (!store || !chart) continue;
    TSettingData& s = *store->Settings();
    // A recording channel is bound to its slot's radar.
    if (!store->WasOpen) {
      const auto* radar = dynamic_cast<const TRadar*>(s.GetSettingRadar());
      s.SetSerNum(radar ? radar->SerNum() : 0);
    }
    TChartAxis* top = chart->TopAxis();
    if (s.GetRunMode() == rmWheel && PlacedByDistance(s) && DistanceMenu->Checked()) {
      top->SetTitle(LoadResString(SDistanceM));
      top->SetAutomaticLabels(true);
      top->SetLabelsSize(0);
      HeightChartAxis = 0;
    } else if (GPSdataMenu->Checked()) {
      top->SetTitle(LoadResString(SGPSDataTitle));
      top->SetAutomaticLabels(false);
      top->SetLabelsSize(kGpsLabelArea);
      HeightChartAxis = kGpsLabelArea;
    } else {
      top->SetTitle(LoadResString(STracesTitle));
      top->SetAutomaticLabels(true);
      top->SetLabelsSize(0);
      HeightChartAxis = 0;
    }
  }
}

void TView2DForm::DistanceMenuClick(TMenuItem* item) {
  if (item) item->SetChecked(true);
  SetTitleTopAxes();
  ResizeAxis();
  SetScrollBars();
  ResizeAxis();
  FormResize(nullptr);
  if (WiggleShown())
    for (int i = 0; i < kChannelSlots; ++i) RedrawWiggleTrace(i);
}

void TView2DForm::Custom_DrowAxisLabels(TChart& chart) {
  const T2Dview* store = View2D_[0];
  if (!store) return;
  TCanvas& canvas = *chart.DrawCanvas();
  TChartAxis* top = chart.TopAxis();
  canvas.Pen()->SetColor(top->AxisPen()->Color());
  canvas.Pen()->SetWidth(top->AxisPen()->Width());
  canvas.Pen()->SetStyle(top->AxisPen()->Style());
  canvas.Brush()->SetColor(chart.Color());
  canvas.Font()->Assign(*top->LabelsFont());
  const TRect area = chart.ChartRect();
  const int labelLine = top->PosLabels();
  const TSettingData& s = *store->Settings();
  const int64_t backShift = s.GetDirection() == back ? store->MinNumTraces() : 0;
  int end = std::numeric_limits<int>::min();
  for (const QString& line : s.NMEIStrings) {
    const qsizetype eq = line.indexOf(u'=');
    if (eq <= 0) continue;
    bool ok = false;
    const qlonglong trace = line.left(eq).trimmed().toLongLong(&ok);
    if (!ok) continue;
    const QString sentence = line.mid(eq + 1);
    const int x = top->CalcPosValue(static_cast<double>(trace + backShift));
    if (x <= end || x >= area.Right) continue;
    TChart::TextOutTurned(canvas, x + 5, labelLine, sentence, chart.Color());
    canvas.MoveTo(x, labelLine);
    canvas.LineTo(x, area.Top);
    end = x + 5 + canvas.TextWidth(sentence);
  }
  for (int i = 1; i < kChannelSlots; ++i)
    if (TChart* other = Chart_[static_cast<size_t>(i)]) other->TopAxis()->SetMinMax(top->Minimum(), top->Maximum());
}

void TView2DForm::ChartViewBeforeDrawAxes(TObject* Sender) {
  auto* chart = dynamic_cast<TChart*>(Sender);
  if (chart && chart == Chart_[0] && GPSdataMenu->Checked()) Custom_DrowAxisLabels(*chart);
  MeasureAxisSize();
}

void TView2DForm::SizeSeriesBeforeDrawValues(TObject* Sender) {
  const int indx = GetIndxBySizeSeries(dynamic_cast<TChartSeries*>(Sender));
  if (indx < 0) return;
  if (!WasPaint && !shell_.Recording->RadarStarted()) PaintToScreen(indx);
  if (indx == kChannelSlots - 1 && Chart_SectOfDeep) CreateBMPSectOfDeep();
}

// ---- Scroll bars --------------------------------------------------------------------------------

void TView2DForm::SetScrollBars() {
  const int deepest = GetViewMaxDepth();
  TChart* chart = GetChartByIndx(deepest);
  const TBitmap32* zoom = BmpAfterZoom_[static_cast<size_t>(deepest)].get();
  if (!GetView2DByIndx(deepest) || !chart || !zoom) return;
  aa::TScrollInput in;
  in.ZoomWidth = zoom->Width();
  in.ZoomHeight = zoom->Height();
  in.DrawWidth = chart->ClientWidth() - WidthChartAxis;
  in.ChartHeight = chart->ClientHeight();
  in.HorStripHeight = Panel4->Height();
  in.HorStripVisible = Panel4->Visible();
  in.VertStripWidth = kStripWidth;
  in.VertStripShown = Panel2->Width() > 1;
  in.Maximised = WindowState() == wsMaximized;
  in.VertPosition = VertScrollBar->Position();
  in.HorPosition = HorScrollBar->Position();
  const aa::TScrollLayout layout = aa::ScrollLayout(in);

  scrollBarsUpdating_ = true;
  if (!layout.Vert.Shown) {
    Panel2->SetWidth(1);
    Panel3->Hide();
    VertScrollBar->SetPageSize(0);
    VertScrollBar->SetParams(0, 0, 0);
  } else {
    Panel2->SetWidth(kStripWidth);
    Panel3->Show();
    VertScrollBar->SetHeight(Panel2->Height());
    VertScrollBar->SetParams(layout.Vert.Position, 0, layout.Vert.Max);
    VertScrollBar->SetLargeChange(std::max(1, layout.Vert.LargeChange));
    VertScrollBar->SetSmallChange(std::max(1, layout.Vert.SmallChange));
  }
  if (!layout.Hor.Shown) {
    Panel4->Hide();
    HorScrollBar->SetParams(0, 0, 0);
  } else {
    Panel4->Show();
    HorScrollBar->SetParams(layout.Hor.Position, 0, layout.Hor.Max);
    HorScrollBar->SetLargeChange(std::max(1, layout.Hor.LargeChange));
    HorScrollBar->SetSmallChange(std::max(1, layout.Hor.SmallChange));
  }
  scrollBarsUpdating_ = false;
  WasPaint = false;
  if (HyperbolaCheckButton->Checked()) DrawHyperbolaAll(HyperbolaY, HyperbolaX);
}

void TView2DForm::MoveScrollBarPositionToPosTrace() {
  const T2Dview* first = View2D_[0];
  if (!first || HorScrollBar->Min() >= HorScrollBar->Max()) return;
  HorScrollBar->SetPosition(aa::PositionOfTrace(HorScrollBar->Min(), HorScrollBar->Max(), first->PosTraces(),
                                                first->MinNumTraces(), first->NumTraces()));
}

void TView2DForm::RunAfterChangeScrollBars() { RefreshAxesAndScreen(); }

// ---- Zoom -----------------------------------------------------------------------------------------

void TView2DForm::ShowInfo() { ZoomComboBox->SetText(QString::number(aa::ZoomPercent(ZoomFactor))); }

bool TView2DForm::Zoom() {
  bool built = true;
  for (int i = 0; i < kChannelSlots; ++i) {
    const T2Dview* store = View2D_[static_cast<size_t>(i)];
    if (!store || !Chart_[static_cast<size_t>(i)]) continue;
    SetProportionalCoefic(store);
    ClearBackImage(i);
    if (!MakeZoomBmp(i)) built = false;
  }
  ProportionalCoefic = GetWidthProportional();
  ResizeAxis();
  SetScrollBars();
  for (TChart* chart : Chart_)
    if (chart) chart->Invalidate();
  FormResize(nullptr);
  return built;
}

void TView2DForm::SetZoomFactor(int factor) {
  const int previous = ZoomFactor;
  ZoomFactor = factor;
  if (!Zoom() && factor != previous) {
    ZoomFactor = previous;
    Zoom();
  }
  ShowInfo();
}

void TView2DForm::Zooming(bool zoomIn) {
  SetZoomFactor(aa::ZoomStep(ZoomFactor, zoomIn));
  FormResize(nullptr);
  SetScrollBars();
}

void TView2DForm::ZoomToWH(TZoomingWH z) {
  const int H = shell_.Layout->ChildAreaHeight() - kHorScrollBarHeight - 4;
  const int Wd = shell_.Layout->ChildAreaWidth() - ButtonPanel->Width() - LeftPageControl->Width() - 4;
  const bool maximised = WindowState() == wsMaximized;
  int shown = 0;
  for (int i = 0; i < CountChannalView && i < kChannelSlots; ++i) shown += arChannalVisible[static_cast<size_t>(i)];
  for (int i = 0; i < kChannelSlots; ++i) {
    if (NumChartSizeToWindow >= 0 ? i != NumChartSizeToWindow : !arChannalVisible[static_cast<size_t>(i)]) continue;
    const T2Dview* store = View2D_[static_cast<size_t>(i)];
    if (!store || !Chart_[static_cast<size_t>(i)]) continue;
    SetProportionalCoefic(store);
    const int allowance = i == 0 ? HeightChartAxis : 0;
    if (z == ZoomToHeight && (NumChartSizeToWindow >= 0 || i == 0)) {
      const int room = NumChartSizeToWindow >= 0 ? H : aa::ShareOfHeight(H, shown);
      if (const std::optional<int> factor =
              aa::FitHeightFactor(store->Settings()->GetLongTrace(), room, ClientHeight() - Height(), allowance)) {
        ZoomFactor = *factor;
        if (!maximised) {
          SetBounds(Left(), 0, Width(), H);
          if (ZoomFactor < 1000)
            SetBounds(0, Top(), std::min(RoundToInt32(Width() * 1000.0L / ZoomFactor), Wd), Height());
        }
      }
    }
    if (z == ZoomToWidth && store->NumTraces() > 100) {
      const int room = Wd + (ClientWidth() - Width()) - WidthChartAxis;
      if (const std::optional<int> factor = aa::FitWidthFactor(store->NumTraces(), ProportionalCoefic, room)) {
        ZoomFactor = *factor;
        if (i == 0) {
          SetBounds(0, Top(), maximised ? Width() : Wd, Height());
          if (!maximised && ZoomFactor < 1000)
            SetBounds(Left(), 0, Width(), std::min(RoundToInt32(Height() * 1000.0L / ZoomFactor), H));
        }
      }
    }
    ClearBackImage(i);
    MakeZoomBmp(i);
  }
  SetScrollBars();
  FormResize(nullptr);
  ResizeAxis();
}

void TView2DForm::ZoomComboBoxChange() {
  const int item = ZoomComboBox->ItemIndex();
  if (item == 0 || item == 1) {
    ZoomToWH(item == 0 ? ZoomToHeight : ZoomToWidth);
    SetZoomFactor(ZoomFactor);
    return;
  }
  if (const std::optional<int> factor = aa::ZoomFactorOfPercentText(ZoomComboBox->Text()))
    SetZoomFactor(*factor);
  else
    ShowInfo();
}

void TView2DForm::ZoomComboBoxKeyDown(TObject* /*Sender*/, WORD& Key, TShiftState /*Shift*/) {
  if (Key != VK_RETURN) return;
  if (const std::optional<int> factor = aa::ZoomFactorOfPercentText(ZoomComboBox->Text()))
    SetZoomFactor(*factor);
  else
    ShowInfo();
}

// ---- View switches ----------------------------------------------------------------------------

void TView2DForm::SpeedButtonShowVertGridClick(TObject* /*Sender*/) {
  const bool down = SpeedButtonShowVertGrid->Down();
  for (int i = 0; i < CountChannalView && i < kChannelSlots; ++i) {
    TChart* chart = Chart_[static_cast<size_t>(i)];
    if (!chart) continue;
    chart->TopAxis()->SetVisible(down);
    chart->TopAxis()->SetGrid(down);
  }
  // Released: the panels are laid out again, which gives the top axis back to
  // the first panel of each column.
  if (!down) ReCreateViewInterface();
}

void TView2DForm::ShowHorGridSpeedButtonClick(TObject* /*Sender*/) {
  const bool down = ShowHorGridSpeedButton->Down();
  for (int i = 0; i < CountChannalView && i < kChannelSlots; ++i)
    if (TChart* chart = Chart_[static_cast<size_t>(i)]) chart->RightAxis()->SetGrid(down);
  if (Chart_SectOfDeep) Chart_SectOfDeep->LeftAxis()->SetGrid(down);
}

void TView2DForm::FlipSpeedButtonClick(TObject* /*Sender*/) {
  const T2Dview* first = View2D_[0];
  if (!first) return;
  if (!first->Settings()->NewFile &&
      MessageDlg(LoadResString(SChangeDirection), mtConfirmation, mbYesNo, 0) != mrYes)
    return;
  for (T2Dview* store : View2D_)
    if (store) store->Settings()->SetWasFlip(!store->Settings()->GetWasFlip());
  if (TopoCorrectionShown()) RefreshTopoAfterFlip();
  ResizeAxis();
  for (int i = 0; i < kChannelSlots; ++i)
    if (View2D_[static_cast<size_t>(i)] && Chart_[static_cast<size_t>(i)]) MakeZoomBmp(i);
  CreateBMPSectOfDeep();
}

void TView2DForm::MeniumButtonClick(TObject* Sender) {
  auto* button = dynamic_cast<TSpeedButton*>(Sender);
  if (!button) button = MeniumButton;
  // In a depth pick the button confirms it, by the same rule as Enter.
  if (button->ImageIndex() == kMediumConfirmImage) {
    if (ConfirmDepthPick()) FinishDepthPick();
    return;
  }
  const TPoint at = button->ClientToScreen(TPoint{20, 20});
  MediumPopupMenu->SetPopupComponent(button);
  MediumPopupMenu->Popup(at.X, at.Y);
  TDigitEdit* edit = LeftPageControl->ActivePage() == SimpleTabSheet ? SimpleSpeedDigitEdit : SpeedDigitEdit;
  if (edit->CanFocus()) edit->SetFocus();
}

void TView2DForm::N11Click(TObject* Sender) {
  const auto* item = dynamic_cast<const TMenuItem*>(Sender);
  if (!item || !shell_.Axes) return;
  const std::vector<TMediumProperty> media = shell_.Axes->GetListOfMedium();
  const auto index = static_cast<size_t>(item->Tag());
  if (index >= media.size()) return;
  for (T2Dview* store : View2D_)
    if (store) store->Settings()->SetSpeedLight(media[index].Speed);
  if (const T2Dview* first = View2D_[0]) {
    SpeedDigitEdit->SetValueInt(first->Settings()->GetSpeedLight());
    SimpleSpeedDigitEdit->SetValueInt(first->Settings()->GetSpeedLight());
  }
  SpeedDigitEditChangeFinish(SpeedDigitEdit);
}
