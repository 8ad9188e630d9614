// The radargram window's visual tree, creation, channel bookkeeping and what its
// channel stores ask of it. The channel panels' creation and layout are in
// view2d_layout.cpp.

#include "radargram/view2d_form.h"

#include "radargram/form_controls.h"

#include "platform/ui/bitmap.h"
#include "platform/ui/buttons.h"
#include "platform/ui/chart.h"
#include "platform/ui/image.h"
#include "platform/ui/menus.h"
#include "platform/ui/colored_tab_sheet.h"
#include "platform/ui/page_control.h"
#include "platform/ui/panels.h"
#include "platform/ui/std_controls.h"
#include "platform/ui/tree_view.h"
#include "profiledata/channel_store.h"
#include "profiledata/digit_edit.h"
#include "profiledata/pal_maker.h"
#include "raster/bitmap32.h"

#include <algorithm>

namespace {

std::array<bool, kChannelSlots> gGlobalChannalVisible{};

// The largest offset the 32-bit field of 10^-5 m holds, in metres.
constexpr long double kMaxOffsetMetres = 2147483647.0L / 100000.0L;

bool InSlots(int indx) { return indx >= 0 && indx < kChannelSlots; }

template <typename T>
T At(const std::array<T, kChannelSlots>& slotArray, int indx) {
  return InSlots(indx) ? slotArray[static_cast<size_t>(indx)] : nullptr;
}

template <typename T>
int IndexOf(const std::array<T*, kChannelSlots>& slotArray, const void* element, int none) {
  if (!element) return none;
  for (int i = 0; i < kChannelSlots; ++i)
    if (slotArray[static_cast<size_t>(i)] == element) return i;
  return none;
}

TLineSeries* NewSeries(TComponent* owner, TChart* chart, const char* name, THorizAxis horiz, TColor color) {
  auto* series = new TLineSeries(owner);
  series->SetName(QString::fromLatin1(name));
  series->SetHorizAxis(horiz);
  series->SetSeriesColor(color);
  series->SetParentChart(chart);
  return series;
}

}  // namespace

TSpeedButton* NewSpeedButton(TComponent* owner, TWinControl* parent, const char* name, const QString& caption,
                             int left, int top, int width) {
  auto* button = new TSpeedButton(owner);
  button->SetName(QString::fromLatin1(name));
  button->SetParent(parent);
  button->SetBounds(left, top, width, 24);
  button->SetCaption(caption);
  return button;
}

namespace view2d_detail {
int LoadNewViewChannalCount();
void StoreNewViewChannalCount(int value);
}  // namespace view2d_detail

int NewViewChannalCount() { return view2d_detail::LoadNewViewChannalCount(); }
void SetNewViewChannalCount(int value) { view2d_detail::StoreNewViewChannalCount(value); }
std::array<bool, kChannelSlots>& GlobalChannalVisible() { return gGlobalChannalVisible; }

bool isType1GPRDevice(TTypeGPRDevice type) { return type == static_cast<TTypeGPRDevice>(1); }

void FillBitmapRect8(TBitmap& bitmap, const TRect& rect, uint8_t index) {
  if (bitmap.Empty()) return;
  const int left = std::max(rect.Left, 0), right = std::min(rect.Right, bitmap.Width());
  const int top = std::max(rect.Top, 0), bottom = std::min(rect.Bottom, bitmap.Height());
  if (left >= right || top >= bottom) return;
  if (bitmap.PixelFormat() != pf8bit) {
    bitmap.Canvas()->FillRect(Rect(left, top, right, bottom));
    return;
  }
  for (int y = top; y < bottom; ++y) std::fill(bitmap.ScanLine(y) + left, bitmap.ScanLine(y) + right, index);
  if (bitmap.OnChange) bitmap.OnChange(&bitmap);
}

// ---- Creation ----------------------------------------------------------------------------

TView2DForm::TView2DForm(TComponent* AOwner, const TRadargramShell& shell) : TForm(AOwner), shell_(shell) {
  // Every window of a program has the same owner: later ones are numbered as
  // the toolkit numbers a second instance of a form.
  QString name = QStringLiteral("View2DForm");
  for (int i = 1; AOwner && AOwner->FindComponent(name) && AOwner->FindComponent(name) != this; ++i)
    name = QStringLiteral("View2DForm_%1").arg(i);
  SetName(name);
  SetFormStyle(fsMDIChild);
  SetKeyPreview(true);
  SetClientWidth(1056);
  SetClientHeight(649);
  BuildVisualTree();
  OnCreate = [this](TObject*) { FormCreate(); };
  OnResize = [this](TObject* sender) { FormResize(sender); };
}

TView2DForm::~TView2DForm() {
  *WindowAlive = false;
  FreeOnlinePaint();
  Destroying();
  // The overlay frame lies in the window's controls and the overlays work on
  // them: both go before the controls.
  PostProcCurFrame.reset();
  for (auto& overlay : PostProc_) overlay.reset();
  // The controls and stores go while the slots they are reached through exist.
  OnResize = nullptr;
  DestroyComponents();
  View2D_.fill(nullptr);
  CountChannalView = 0;
}

void TView2DForm::BuildVisualTree() {
  LeftPageControl = new TPageControl(this);
  LeftPageControl->SetName(QStringLiteral("LeftPageControl"));
  LeftPageControl->SetBounds(0, 0, 270, ClientHeight());
  LeftPageControl->SetParent(this);
  LeftPageControl->SetTabPosition(tpLeft);
  LeftPageControl->SetAlign(alLeft);
  struct TPage {
    TTabSheet** sheet;
    const char* name;
    QString caption;
  };
  const TPage pages[] = {
      {&PropertyTabSheet, "PropertyTabSheet", QString()},
      {&OperationsTabSheet, "OperationsTabSheet", LoadResString(SViewPage)},
      {&ToolsTabSheet, "ToolsTabSheet", LoadResString(SToolsPage)},
      {&PalTabSheet, "PalTabSheet", LoadResString(SPalettesPage)},
      {&MarkersTabSheet, "MarkersTabSheet", LoadResString(SObjectsPage)},
      {&GPSTabSheet, "GPSTabSheet", LoadResString(SGPSPage)},
      {&PostProcessTabSheet, "PostProcessTabSheet", QString()},
      {&SimpleTabSheet, "SimpleTabSheet", QString()},
  };
  for (const TPage& page : pages) {
    *page.sheet = new TColoredTabSheet(this);
    (*page.sheet)->SetName(QString::fromLatin1(page.name));
    (*page.sheet)->SetPageControl(LeftPageControl);
    (*page.sheet)->SetCaption(page.caption);
  }
  PropertyTabSheet->SetHintText(LoadResString(SProfileProperties));
  OperationsTabSheet->SetHintText(LoadResString(SViewPage));
  SimpleTabSheet->SetTabVisible(false);

  ObjectsTreeView = new TTreeView(this);
  ObjectsTreeView->SetName(QStringLiteral("ObjectsTreeView"));
  ObjectsTreeView->SetParent(MarkersTabSheet);
  ObjectsTreeView->SetAlign(alClient);

  View2ColSpeedButton = new TSpeedButton(this);
  View2ColSpeedButton->SetName(QStringLiteral("View2ColSpeedButton"));
  View2ColSpeedButton->SetParent(OperationsTabSheet);
  View2ColSpeedButton->SetBounds(8, 8, 120, 24);
  View2ColSpeedButton->SetCaption(LoadResString(STwoColumns));
  View2ColSpeedButton->OnClick = [this](TObject* sender) { View2ColSpeedButtonClick(sender); };

  PalMaker1 = new TPalMaker(this);
  PalMaker1->SetName(QStringLiteral("PalMaker1"));
  PalMaker1->SetParent(PalTabSheet);
  PalMaker1->SetBounds(4, 17, 200, 39);

  ButtonPanel = new TPanel(this);
  ButtonPanel->SetName(QStringLiteral("ButtonPanel"));
  ButtonPanel->SetBounds(270, 0, 12, ClientHeight());
  ButtonPanel->SetParent(this);
  ButtonPanel->SetAlign(alLeft);
  ButtonPanel->SetCaption(LoadResString(SCollapsePages));
  ButtonPanel->OnClick = [this](TObject* sender) { ButtonPanelClick(sender); };

  Panel6 = new TPanel(this);
  Panel6->SetName(QStringLiteral("Panel6"));
  Panel6->SetParent(this);
  Panel6->SetAlign(alClient);
  Panel4 = new TPanel(this);
  Panel4->SetName(QStringLiteral("Panel4"));
  Panel4->SetBounds(0, 0, 100, 18);
  Panel4->SetParent(Panel6);
  Panel4->SetAlign(alBottom);
  Panel2 = new TPanel(this);
  Panel2->SetName(QStringLiteral("Panel2"));
  Panel2->SetBounds(0, 0, 18, 100);
  Panel2->SetParent(Panel6);
  Panel2->SetAlign(alRight);
  Panel5_1 = new TPanel(this);
  Panel5_1->SetName(QStringLiteral("Panel5_1"));
  Panel5_1->SetBounds(0, 0, 1, 100);
  Panel5_1->SetParent(Panel6);
  Panel5_1->SetAlign(alRight);
  Panel5 = new TPanel(this);
  Panel5->SetName(QStringLiteral("Panel5"));
  Panel5->SetParent(Panel6);
  Panel5->SetAlign(alClient);

  Panel = new TPanel(this);
  Panel->SetName(QStringLiteral("Panel"));
  Panel->SetBounds(0, 0, 400, 300);
  Panel->SetParent(Panel5);
  Panel->SetAlign(alTop);
  ChartView = new TChart(this);
  ChartView->SetName(QStringLiteral("ChartView"));
  ChartView->SetParent(Panel);
  ChartView->SetAlign(alClient);
  ChartView->SetMargin(0);
  ChartView->BottomAxis()->SetVisible(false);
  TChartAxis* left = ChartView->LeftAxis();
  left->SetInverted(true);
  left->SetTitle(LoadResString(SLeftAxisTitle0));
  left->SetLabelFormat(QStringLiteral("###0.###"));
  left->SetMinMax(0, 0);
  TChartAxis* right = ChartView->RightAxis();
  right->SetVisible(true);
  right->SetInverted(true);
  right->SetTitle(LoadResString(SDepthAxisTitle));
  right->SetLabelFormat(QStringLiteral("0.00"));
  right->SetIncrement(0.1);
  TChartAxis* top = ChartView->TopAxis();
  top->SetVisible(true);
  top->SetLabelFormat(QStringLiteral("###0.###"));
  top->SetLabelsSeparation(70);
  top->SetIncrement(0.1);
  for (TAxisKind kind : {akLeft, akTop, akRight, akBottom}) ChartView->Axis(kind)->SetGrid(false);
  ChartView->SetBackImageMode(pbmCustom);
  ChartView->SetBackImageInside(true);
  ChartView->OnDblClick = [this](TObject* sender) { ChartViewDblClick(sender); };

  // The size series draws nothing: its before-draw-values event paints the
  // channel's picture into the back image.
  SizeSeries = NewSeries(this, ChartView, "SizeSeries", aTopAxis, clNone);
  SizeSeries->SetLineVisible(false);
  SeriesNull = NewSeries(this, ChartView, "SeriesNull", aTopAxis, clBlue);
  SeriesNull->SetColorEachPoint(true);
  HyperbolaSeries = NewSeries(this, ChartView, "HyperbolaSeries", aTopAxis, clRed);
  SliceSeries = NewSeries(this, ChartView, "SliceSeries", aBottomAxis, clBlack);
  PositionSeries = NewSeries(this, ChartView, "PositionSeries", aTopAxis, clGreen);
  SeriesDepth = NewSeries(this, ChartView, "SeriesDepth", aTopAxis, clYellow);

  ProgressPanel = new TPanel(this);
  ProgressPanel->SetName(QStringLiteral("ProgressPanel"));
  ProgressPanel->SetBounds(40, 40, 350, 46);
  ProgressPanel->SetParent(Panel);
  ProgressPanel->Hide();
  ProgressImage = new TImage(this);
  ProgressImage->SetName(QStringLiteral("ProgressImage"));
  ProgressImage->SetParent(ProgressPanel);
  ProgressImage->SetBounds(8, 8, 240, 30);
  ProgressImage->SetFrames(RunningBarFrames(240, 30));
  Cansel = new TBitBtn(this);
  Cansel->SetName(QStringLiteral("Cansel"));
  Cansel->SetParent(ProgressPanel);
  Cansel->SetBounds(260, 10, 80, 26);
  Cansel->SetCaption(LoadResString(SCancel));

  PanelProgressFtp = new TPanel(this);
  PanelProgressFtp->SetName(QStringLiteral("PanelProgressFtp"));
  PanelProgressFtp->SetBounds(40, 100, 350, 46);
  PanelProgressFtp->SetParent(Panel6);
  PanelProgressFtp->Hide();
  FTPProgressImage = new TImage(this);
  FTPProgressImage->SetName(QStringLiteral("FTPProgressImage"));
  FTPProgressImage->SetParent(PanelProgressFtp);
  FTPProgressImage->SetBounds(8, 22, 240, 18);
  FTPProgressImage->SetFrames(RunningBarFrames(240, 18));
  LabelFtpLoad = new TLabel(this);
  LabelFtpLoad->SetName(QStringLiteral("LabelFtpLoad"));
  LabelFtpLoad->SetParent(PanelProgressFtp);
  LabelFtpLoad->SetBounds(8, 4, 200, 16);
  LabelFtpLoad->SetCaption(LoadResString(SDownloadingOfBackup));

  OffsetPanel = new TPanel(this);
  OffsetPanel->SetName(QStringLiteral("OffsetPanel"));
  OffsetPanel->SetBounds(345, 45, 300, 200);
  OffsetPanel->SetParent(this);
  OffsetPanel->SetCaption(LoadResString(SProfileOffset));
  OffsetPanel->Hide();
  BitBtn2 = new TBitBtn(this);
  BitBtn2->SetName(QStringLiteral("BitBtn2"));
  BitBtn2->SetParent(OffsetPanel);
  BitBtn2->SetBounds(210, 160, 80, 26);
  BitBtn2->SetCaption(LoadResString(SOK));
  BitBtn2->OnClick = [this](TObject* sender) { BitBtn2Click(sender); };
  BuildPageControls();
  BuildPropertyControls();
  BuildPipelineControls();
  BuildAxesControls();
  BuildGpsControls();
  BuildMarkerControls();
  BuildMouseControls();
  BuildTopoControls();
  BuildHyperbolaControls();
  BuildPaletteControls();
  BuildSimpleToolButtons();
  BuildPostProcControls();
}

namespace {

TCheckBox* NewCheckBox(TComponent* owner, TWinControl* parent, const char* name, const QString& caption, int left,
                       int top) {
  auto* box = new TCheckBox(owner);
  box->SetName(QString::fromLatin1(name));
  box->SetParent(parent);
  box->SetBounds(left, top, 110, 24);
  box->SetCaption(caption);
  return box;
}

TDigitEdit* NewOffsetEdit(TComponent* owner, TWinControl* parent, const char* name, int top) {
  auto* edit = new TDigitEdit(owner);
  edit->SetName(QString::fromLatin1(name));
  edit->SetParent(parent);
  edit->SetBounds(120, top, 90, 22);
  edit->SetAvailableDecimal(true);
  edit->SetAvailableSign(true);
  edit->SetMinVal(-kMaxOffsetMetres);
  edit->SetMaxVal(kMaxOffsetMetres);
  edit->SetStep(0.1L);
  return edit;
}

TLabel* NewLabel(TComponent* owner, TWinControl* parent, const QString& caption, int left, int top) {
  auto* label = new TLabel(owner);
  label->SetParent(parent);
  label->SetBounds(left, top, 100, 16);
  label->SetCaption(caption);
  return label;
}

}  // namespace

void TView2DForm::BuildPageControls() {
  TTabSheet* view = OperationsTabSheet;
  Prop21SpeedButton = NewSpeedButton(this, view, "Prop21SpeedButton", LoadResString(SProp21), 8, 40, 40);
  Prop11SpeedButton = NewSpeedButton(this, view, "Prop11SpeedButton", LoadResString(SProp11), 50, 40, 40);
  Prop12SpeedButton = NewSpeedButton(this, view, "Prop12SpeedButton", LoadResString(SProp12), 92, 40, 40);
  for (TSpeedButton* button : {Prop21SpeedButton, Prop11SpeedButton, Prop12SpeedButton}) button->SetGroupIndex(1);
  HyperbolaCheckButton = NewCheckBox(this, view, "HyperbolaCheckButton", LoadResString(SHyperbola), 8, 72);
  DepthCheckButton = NewCheckBox(this, view, "DepthCheckButton", LoadResString(SDepth), 122, 72);
  TopoCorrSpeedButton =
      NewSpeedButton(this, view, "TopoCorrSpeedButton", LoadResString(STopographicCorrection), 8, 104, 200);
  TopoCorrSpeedButton->SetAllowAllUp(true);
  TopoCorrSpeedButton->SetGroupIndex(2);
  FlipSpeedButton = NewSpeedButton(this, view, "FlipSpeedButton", LoadResString(SFlipHorisontally), 8, 136, 200);
  MeniumButton = NewSpeedButton(this, view, "MeniumButton", QString(), 8, 168, 24);
  DepthDigitEdit = new TDigitEdit(this);
  DepthDigitEdit->SetName(QStringLiteral("DepthDigitEdit"));
  DepthDigitEdit->SetParent(view);
  DepthDigitEdit->SetBounds(40, 168, 80, 22);

  opAxis1 = new TPopupMenu(this);
  opAxis1->SetName(QStringLiteral("opAxis1"));
  const std::pair<TMenuItem**, TResourceString> axisItems[] = {
      {&DistanceMenu, SDistance}, {&TracesMenu, STraces}, {&GPSdataMenu, SGPSdata}};
  for (const auto& [item, caption] : axisItems) {
    *item = new TMenuItem(this);
    (*item)->SetCaption(LoadResString(caption));
    (*item)->SetRadioItem(true);
    opAxis1->Items()->Add(*item);
  }
  TracesMenu->SetChecked(true);

  GetLocationDataButton =
      NewSpeedButton(this, GPSTabSheet, "GetLocationDataButton", LoadResString(SShowGPSData), 8, 8, 200);
  GetLocationDataButton->SetAllowAllUp(true);
  GetLocationDataButton->SetGroupIndex(3);

  TTabSheet* simple = SimpleTabSheet;
  const std::pair<TSpeedButton**, const char*> simpleButtons[] = {
      {&SimpleBackgroundRemovalSpeedButton, "SimpleBackgroundRemovalSpeedButton"},
      {&SimpleGainSpeedButton, "SimpleGainSpeedButton"},
      {&SimplePalettesSpeedButton, "SimplePalettesSpeedButton"},
      {&SimpleZoomSpeedButton, "SimpleZoomSpeedButton"},
      {&SimpleStretchSpeedButton, "SimpleStretchSpeedButton"},
  };
  int top = 8;
  for (const auto& [button, name] : simpleButtons) {
    *button = NewSpeedButton(this, simple, name, QString(), 8, top, 200);
    top += 30;
  }
  SimpleSurfMarkerSpeedButton =
      NewSpeedButton(this, simple, "SimpleSurfMarkerSpeedButton", LoadResString(SAddMarker), 8, top, 98);
  SimpleDelSurfMarkerSpeedButton =
      NewSpeedButton(this, simple, "SimpleDelSurfMarkerSpeedButton", LoadResString(SDeleteMarker), 110, top, 98);
  SimpleMeniumButton = NewSpeedButton(this, simple, "SimpleMeniumButton", QString(), 8, top + 30, 24);
  SimpleHyperbolaCheckBox =
      NewCheckBox(this, simple, "SimpleHyperbolaCheckBox", LoadResString(SHyperbola), 8, top + 60);
  SimpleDepthCheckBox = NewCheckBox(this, simple, "SimpleDepthCheckBox", LoadResString(SDepth), 122, top + 60);
  SimpleSpeedPanel = new TPanel(this);
  SimpleSpeedPanel->SetName(QStringLiteral("SimpleSpeedPanel"));
  SimpleSpeedPanel->SetParent(simple);
  SimpleSpeedPanel->SetBounds(8, top + 90, 200, 30);
  SimpleSpeedDigitEdit = new TDigitEdit(this);
  SimpleSpeedDigitEdit->SetName(QStringLiteral("SimpleSpeedDigitEdit"));
  SimpleSpeedDigitEdit->SetParent(SimpleSpeedPanel);
  SimpleSpeedDigitEdit->SetBounds(4, 4, 80, 22);

  NewLabel(this, OffsetPanel, LoadResString(SByCourse), 8, 24);
  NewLabel(this, OffsetPanel, LoadResString(SAside), 8, 52);
  NewLabel(this, OffsetPanel, LoadResString(SByHeight), 8, 80);
  NewLabel(this, OffsetPanel, LoadResString(SAngle), 8, 108);
  XOffsetDigitEdit = NewOffsetEdit(this, OffsetPanel, "XOffsetDigitEdit", 22);
  YOffsetDigitEdit = NewOffsetEdit(this, OffsetPanel, "YOffsetDigitEdit", 50);
  ZOffsetDigitEdit = NewOffsetEdit(this, OffsetPanel, "ZOffsetDigitEdit", 78);
  AngleDigitEdit = NewOffsetEdit(this, OffsetPanel, "AngleDigitEdit", 106);
  AngleDigitEdit->SetMinVal(-360);
  AngleDigitEdit->SetMaxVal(360);
  for (TDigitEdit* edit : {XOffsetDigitEdit, YOffsetDigitEdit, ZOffsetDigitEdit})
    edit->OnChangeFinish = [this, edit](TObject*) { OffsetEditFinished(edit); };
  LinearProfileImage = new TImage(this);
  LinearProfileImage->SetName(QStringLiteral("LinearProfileImage"));
  LinearProfileImage->SetParent(OffsetPanel);
  LinearProfileImage->SetBounds(220, 24, 70, 100);
  ArcProfileImage = new TImage(this);
  ArcProfileImage->SetName(QStringLiteral("ArcProfileImage"));
  ArcProfileImage->SetParent(OffsetPanel);
  ArcProfileImage->SetBounds(220, 24, 70, 100);
  ArcProfileImage->Hide();
}

// ---- Bookkeeping -------------------------------------------------------------------------

T2Dview* TView2DForm::GetView2DByIndx(int indx) const { return At(View2D_, indx); }

int TView2DForm::GetIndxByView2D(const T2Dview* aView2D) const { return IndexOf(View2D_, aView2D, 0); }

int TView2DForm::GetNextFreeIndxByView2D(T2Dview* aView2D) {
  for (int i = 0; i < kChannelSlots; ++i)
    if (View2D_[static_cast<size_t>(i)] == aView2D) return i;
  for (int i = 0; i < kChannelSlots; ++i)
    if (!View2D_[static_cast<size_t>(i)]) {
      View2D_[static_cast<size_t>(i)] = aView2D;
      return i;
    }
  return 0;
}

TBitmap* TView2DForm::GetBmpByView2D(const T2Dview* aView2D) const {
  return Bmp_[static_cast<size_t>(GetIndxByView2D(aView2D))].get();
}

TChart* TView2DForm::GetChartByIndx(int indx) const { return At(Chart_, indx); }
TPanel* TView2DForm::GetPanelByIndx(int indx) const { return At(Panel_, indx); }
TPanel* TView2DForm::GetProgressPanelByIndx(int indx) const { return At(ProgressPanel_, indx); }
TImage* TView2DForm::GetProgressImageByIndx(int indx) const { return At(ProgressImage_, indx); }
TTreeView* TView2DForm::GetObjectsTreeViewByIndx(int indx) const { return At(ObjectsTreeView_, indx); }
int TView2DForm::GetIndxByChart(const TChart* aChart) const { return IndexOf(Chart_, aChart, -1); }
int TView2DForm::GetIndxBySizeSeries(const TChartSeries* aSizeSeries) const {
  return IndexOf(SizeSeries_, aSizeSeries, -1);
}
int TView2DForm::GetIndxByObjectsTreeView(const TTreeView* aObjectsTreeView) const {
  return IndexOf(ObjectsTreeView_, aObjectsTreeView, 0);
}
int TView2DForm::GetAxisHeightByIndx(int indx) const { return InSlots(indx) ? AxisHeight_[static_cast<size_t>(indx)] : 0; }
TLineSeries* TView2DForm::GetPositionSeriesByIndx(int indx) const { return At(PositionSeries_, indx); }
TLineSeries* TView2DForm::GetSizeSeriesByIndx(int indx) const { return At(SizeSeries_, indx); }
TLineSeries* TView2DForm::GetSeriesNullByIndx(int indx) const { return At(SeriesNull_, indx); }
TLineSeries* TView2DForm::GetSeriesDepthByIndx(int indx) const { return At(SeriesDepth_, indx); }
TLineSeries* TView2DForm::GetSliceSeriesByIndx(int indx) const { return At(SliceSeries_, indx); }

TBitmap32* TView2DForm::GetBmpPostProcByIndx(int indx, int NumProcess) const {
  if (!InSlots(indx) || NumProcess < 0 || NumProcess >= 5) return nullptr;
  return BmpPostProc_[static_cast<size_t>(indx * 5 + NumProcess)].get();
}

void TView2DForm::SetBmpPostProcByIndx(int indx, int NumProcess, std::unique_ptr<TBitmap32> Bmp) {
  if (!InSlots(indx) || NumProcess < 0 || NumProcess >= 5) return;
  BmpPostProc_[static_cast<size_t>(indx * 5 + NumProcess)] = std::move(Bmp);
}

int TView2DForm::GetNumAtWin(int NumChartWindow) const {
  int shown = 0;
  for (int i = 0; i <= std::min(NumChartWindow, kChannelSlots - 1); ++i) shown += arChannalVisible[static_cast<size_t>(i)];
  return shown - 1;
}

int TView2DForm::GetCountChannalVisible() {
  CountChannalVisible = static_cast<int>(std::count(arChannalVisible.begin(), arChannalVisible.end(), true));
  if (CountChannalVisible == 0) {
    arChannalVisible[0] = true;
    CountChannalVisible = 1;
  }
  return CountChannalVisible;
}

void TView2DForm::SetAllChannalVisible() {
  const T2Dview* first = View2D_[0];
  if (!first || (!first->WasOpen && !first->WasStarted)) CountChannalVisible = NewViewChannalCount();
  for (int i = 0; i < kChannelSlots; ++i) arChannalVisible[static_cast<size_t>(i)] = i < CountChannalView;
}

void TView2DForm::AllProgressPanelOff() {
  for (TPanel* panel : ProgressPanel_)
    if (panel) panel->Hide();
}

namespace {
void AssignSeriesToOthers(std::array<TLineSeries*, kChannelSlots>& series) {
  for (int i = 1; i < kChannelSlots; ++i)
    if (series[static_cast<size_t>(i)] && series[0]) series[static_cast<size_t>(i)]->Assign(*series[0]);
}
}  // namespace

void TView2DForm::AssignHyperbolaSeries() { AssignSeriesToOthers(HyperbolaSeries_); }
void TView2DForm::AssignSeriesNull() { AssignSeriesToOthers(SeriesNull_); }
void TView2DForm::AssignSliceSeries() { AssignSeriesToOthers(SliceSeries_); }

void TView2DForm::AssignSizeSeries() {
  AssignSeriesToOthers(SizeSeries_);
  for (int i = 1; i < kChannelSlots; ++i)
    if (SizeSeries_[static_cast<size_t>(i)] && SizeSeries_[0])
      SizeSeries_[static_cast<size_t>(i)]->OnBeforeDrawValues = SizeSeries_[0]->OnBeforeDrawValues;
}

void TView2DForm::SetPosXforWeegleAll(double pos) {
  for (int i = 1; i < kChannelSlots; ++i) PosXforWeegle_[static_cast<size_t>(i)] = pos;
}

void TView2DForm::CopyChannalVisibleToGlobal() { GlobalChannalVisible() = arChannalVisible; }
void TView2DForm::CopyGlobalChannalVisibleToLocal() { arChannalVisible = GlobalChannalVisible(); }

// ---- IChannelWindow ----------------------------------------------------------------------

int TView2DForm::ChannelIndex(const IChannelStore* store) const {
  for (int i = 0; i < kChannelSlots; ++i)
    if (View2D_[static_cast<size_t>(i)] && static_cast<const IChannelStore*>(View2D_[static_cast<size_t>(i)]) == store)
      return i;
  return -1;
}

bool TView2DForm::IsActiveChannel(const IChannelStore* store) const {
  const int indx = ChannelIndex(store);
  return indx >= 0 && indx == NumActiveView;
}

void TView2DForm::ChangeRadarInTools() {
  for (const auto& tool : tools_)
    if (tool) tool->AfterChange(tool->GetCurrentNumberView());
}

void TView2DForm::SetDeviceOffsets(int32_t x, int32_t y, int32_t z) {
  deviceX_ = x;
  deviceY_ = y;
  deviceZ_ = z;
}

TBitmap* TView2DForm::DisplayBitmap(int channel) {
  return InSlots(channel) ? Bmp_[static_cast<size_t>(channel)].get() : nullptr;
}

std::vector<TZeroLevelPoint> TView2DForm::ZeroLevelPoints(int channel) const {
  std::vector<TZeroLevelPoint> points;
  if (const TLineSeries* series = At(SeriesNull_, channel))
    for (int i = 0; i < series->Count(); ++i) points.push_back({series->XValue(i), series->YValue(i)});
  return points;
}

void TView2DForm::ClearZeroLevel(int channel) {
  if (TLineSeries* series = At(SeriesNull_, channel)) series->Clear();
}

void TView2DForm::AddZeroLevelPoint(int channel, TZeroLevelPoint point, TColor color) {
  if (TLineSeries* series = At(SeriesNull_, channel)) series->AddXY(point.X, point.Y, QString(), color);
}

int TView2DForm::RegisterChannel(IChannelStore* store) {
  auto* view = dynamic_cast<T2Dview*>(store);
  if (!view) return -1;
  for (int i = 0; i < kChannelSlots; ++i)
    if (View2D_[static_cast<size_t>(i)] == view || !View2D_[static_cast<size_t>(i)]) {
      View2D_[static_cast<size_t>(i)] = view;
      return i;
    }
  return -1;
}

void TView2DForm::UnregisterChannel(IChannelStore* store) {
  for (T2Dview*& slot : View2D_)
    if (slot && static_cast<IChannelStore*>(slot) == store) slot = nullptr;
}
