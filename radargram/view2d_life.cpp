// The radargram window's creation, its radars, activation, keys and closing.

#include "radargram/view2d_form.h"

#include "platform/rtl/paths.h"
#include "platform/rtl/sys_utils.h"
#include "platform/ui/application.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/buttons.h"
#include "platform/ui/chart.h"
#include "platform/ui/image.h"
#include "platform/ui/keys.h"
#include "platform/ui/menus.h"
#include "platform/ui/message_boxes.h"
#include "platform/ui/page_control.h"
#include "platform/ui/panels.h"
#include "platform/ui/std_controls.h"
#include "platform/ui/tree_view.h"
#include "profiledata/channel_store.h"
#include "profiledata/digit_edit.h"
#include "profiledata/form_charset.h"
#include "profiledata/pal_maker.h"
#include "profiledata/setting_data.h"
#include "radar/control_radar.h"
#include "radar/packet_codes.h"
#include "radar/radar.h"
#include "radar/radar_messages.h"
#include "radargram/tool_messages.h"
#include "raster/bitmap32.h"

#include <chrono>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <thread>

namespace {

// The chart colour of the active channel.
constexpr TColor kActiveChartColor = 0xD1D1FF;
// The device type whose offsets are set in centimetres.
constexpr TTypeGPRDevice kFineOffsetDevice = static_cast<TTypeGPRDevice>(7);

// Restores the main window's device re-check flag however the binding ends.
class TCheckDeviceScope {
public:
  explicit TCheckDeviceScope(IRadargramRadarsShell& radars) : radars_(radars), saved_(radars.isCheckDeviceRunned()) {
    radars_.SetCheckDeviceRunned(false);
  }
  ~TCheckDeviceScope() { radars_.SetCheckDeviceRunned(saved_); }
  TCheckDeviceScope(const TCheckDeviceScope&) = delete;
  TCheckDeviceScope& operator=(const TCheckDeviceScope&) = delete;

private:
  IRadargramRadarsShell& radars_;
  bool saved_;
};

bool OpenedFromFile(const T2Dview* store) { return store && store->WasOpen; }

}  // namespace

// ---- Creation ----------------------------------------------------------------------------

void TView2DForm::FormCreate() {
  OnShow = [this](TObject*) { FormShow(); };
  OnActivate = [this](TObject*) { FormActivate(); };
  OnCloseQuery = [this](TObject* sender, bool& canClose) { FormCloseQuery(sender, canClose); };
  OnClose = [this](TObject* sender, TCloseAction& action) { FormClose(sender, action); };
  OnDestroy = [this](TObject* sender) { FormDestroy(sender); };
  OnKeyDown = [this](TObject* sender, WORD& key, TShiftState shift) { FormKeyDown(sender, key, shift); };
  SetMessageHandler(WM_RADARSLOADED, [this](TMessage&) { WMRadarsLoaded(); });
  ChartView->OnClick = [this](TObject* sender) { ChartViewClick(sender); };

  MoveObj = tmNoObject;
  MoveIndxProfObj = -1;
  MoveIndxSelObj = -1;
  TpCursorAction = 0;
  PredMarkerColor = 0xFFFFFF;
  wait2D = true;
  isSaveDefault = true;
  NumNullStartTrace = -10000;
  SimpleBackgroundRemoval = shell_.NextWindow->SimpleBackgroundRemoval();
  IRadargramLayoutShell& layout = *shell_.Layout;
  layout.SetCloseChild(false);
  layout.SetErrorNewCreate(false);
  shell_.Recording->ClearTraceSinceWiFiLoss();
  try {
    if (!CreateGuarded()) return;
  } catch (const std::exception&) {
    // The main window treats the window as failed; the last steps still run.
    layout.SetErrorNewCreate(true);
  }
  CreateAlways();
  SetWindowState(wsMaximized);
}

bool TView2DForm::CreateGuarded() {
  IRadargramLayoutShell& layout = *shell_.Layout;
  IRadargramRadarsShell& radars = *shell_.Radars;
  filePrefix_ = shell_.Files->GlobalPrefixFiles();
  fileCount_ = shell_.Files->GlobalCountFiles();
  deviceX_ = deviceY_ = deviceZ_ = 0;
  TypeGPRDevice = tdUnknown;
  SerNumDevice = 0;
  TControlRadar* set = radars.ControlRadar();
  if (set) {
    if (set->GetCountPluginRadars() == 0) {
      radars.SetCurrentRadar(nullptr);
    } else {
      TypeGPRDevice = set->TypeGPRDevice();
      SerNumDevice = set->SerNumDevice();
    }
    set->CreateXYZOffsetFromRadar();
  }
  WheelHandlerEnabled = true;
  PlayBOOM = false;
  View2DForm_HeightPred = 100000;
  SetFormCharsetForLanguage(*this, shell_.NextWindow->Language());
  predPosTraces = -1;

  CountChannalView = NewViewChannalCount();
  SetAllChannalVisible();
  ViewTo2Col = false;
  ViewSectOfDeep = false;
  SectOfDeep = 0;
  SectOfDeep_m = 0.51L;
  NumActiveView = 0;

  for (TCheckBox* box : {HyperbolaCheckButton, DepthCheckButton, SimpleHyperbolaCheckBox, SimpleDepthCheckBox})
    box->SetPushLike(true);

  PalMaker1->SetBounds(4, 17, 200, 39);
  NumChartSizeToWindow = -1;
  for (int i = 0; i < LeftPageControl->PageCount(); ++i) LeftPageControl->Pages(i)->SetColor(layout.PageColor());
  ZoomFactor = 1000;
  ProgressImage->SetAnimate(true);
  FTPProgressImage->SetAnimate(true);

  if (!CreateChannelControls()) {
    // No channel 0: the window is of no use, and the main window hears so.
    View2D_[0] = nullptr;
    Panel_[0] = nullptr;
    Chart_[0] = nullptr;
    layout.SetErrorNewCreate(true);
    return false;
  }
  AssignSizeSeries();
  FirstPaintAfterOpen = false;
  CreatePostProcObjects();

  for (int i = 0; i < kChannelSlots; ++i) {
    Bmp_[static_cast<size_t>(i)] = std::make_unique<TBitmap>();
    Bmp_[static_cast<size_t>(i)]->SetPixelFormat(pf8bit);
    BmpAfterZoom_[static_cast<size_t>(i)] = std::make_unique<TBitmap32>();
  }

  ChartView->BackImage()->Canvas()->Brush()->SetColor(ChartView->Color());
  ChartView->BackImage()->SetSize(2800, 1100);
  ChartView->LeftAxis()->SetMinMax(0, BmpAfterZoom_[0]->Height());
  for (int i = 1; i < kChannelSlots; ++i) {
    if (!Chart_[static_cast<size_t>(i)]) continue;
    Chart_[static_cast<size_t>(i)]->Assign(*ChartView);
    Chart_[static_cast<size_t>(i)]->TopAxis()->SetVisible(false);
    Chart_[static_cast<size_t>(i)]->OnClick = ChartView->OnClick;
  }
  if (Chart_SectOfDeep) {
    Chart_SectOfDeep->TopAxis()->SetVisible(false);
    Chart_SectOfDeep->BackImage()->Assign(*ChartView->BackImage());
    Chart_SectOfDeep->LeftAxis()->SetMinMax(0, CountChannalView);
  }
  WasPaint = false;
  WidthChartAxis = 108;
  HeightChartAxis = 0;

  // Each store takes the main window's current radar as its radar when it is
  // created: the slot's radar, then the master again.
  for (int i = 0; i < kChannelSlots; ++i) {
    if (set) radars.SetCurrentRadar(set->GetRadarByIndex(i));
    auto* store = new T2Dview(this);
    if (View2D_[static_cast<size_t>(i)] != store) View2D_[static_cast<size_t>(i)] = store;
  }
  if (set) radars.SetCurrentRadar(set->GetMasterRadar());

  ReadFromFileToFRNChannals(ProgramFolder() + (layout.SimpleMode() ? QStringLiteral("dstt") : QStringLiteral("bstt")));

  const QString extension = radars.CountRadarFromMaster() > 1 ? QStringLiteral(".frn") : QStringLiteral(".dezo");
  IAcquisitionShell* acquisition = AcquisitionShell();
  const QString folder = acquisition ? acquisition->LastFolder() : QString();
  for (T2Dview* store : View2D_)
    if (store) store->Settings()->SetFileName(folder + filePrefix_ + QString::number(fileCount_) + extension);
  if (acquisition && View2D_[0]) acquisition->SetLastFile(ExtractFileName(View2D_[0]->Settings()->GetFileName()));

  MasterChannal = set && radars.CurrentRadar() ? set->GetMasterChannal() : 0;
  TlsNeedForSave = false;
  ToolUnabled = true;
  PosX = 0;
  ProportionalCoefic = 1.0L;
  proportional_ = PropInSamples11;

  ReadyTopo = false;
  for (int i = 0; i < kChannelSlots; ++i) {
    TLineSeries* position = PositionSeries_[static_cast<size_t>(i)];
    if (!position) continue;
    position->Clear();
    position->AddXY(0, 0);
    position->AddXY(0, 0);
  }
  SeriesNull->Clear();
  SeriesNull->AddXY(ChartView->TopAxis()->Minimum(), 0, QString(), clBlue);
  SeriesNull->AddXY(ChartView->TopAxis()->Maximum(), 0, QString(), clBlue);
  AssignSeriesNull();
  IdentXLeftPx = IdentXrightPx = IdentYtopPx = IdentYBottomPx = 0;
  ShowSurfaceMarkers = ShowComentsSurfaceMarkers = ShowObjectMarkers = true;
  ShowComentsObjectMarkers = ShowPolyLineMarkers = ShowPolyLineComments = true;
  ShowPostProc = true;

  FillToolSetList();
  Panel5->SetAlign(alClient);
  SetNewViewChannalCount(std::max(1, NewViewChannalCount()));
  CountChannalView = NewViewChannalCount();
  CountChannalVisible = NewViewChannalCount();
  layout.SetStartResize(false);
  layout.SetCloseChild(false);
  TypeProfiles = shell_.NextWindow->GlobalTypeProfiles();
  shell_.NextWindow->SetGlobalTypeProfiles(tpLinear);

  for (int i = 0; i < CountChannalView; ++i)
    if (Chart_[static_cast<size_t>(i)] && Bmp_[static_cast<size_t>(i)]) ClearBackImage(i);
  BuildZoomBitmaps();
  ResizePanelsChart();
  ResizeAxis();
  SetScrollBars();

  for (int i = 0; i < kChannelSlots; ++i)
    if (TTreeView* tree = ObjectsTreeView_[static_cast<size_t>(i)]) tree->SetVisible(i < CountChannalView);
  xGPS.clear();
  yGPS.clear();

  LeftPageControl->SetWidth(0);
  ButtonPanel->SetCaption(LoadResString(SExpandPages));
  PalReadAll();
  OffsetPanel->SetBounds(345, 45, OffsetPanel->Width(), OffsetPanel->Height());
  GetLocationDataButton->SetEnabled(true);
  SetActiveView(ChartView);
  GetCaptionFromView2D_0();
  SetPosXforWeegleAll(0);
  ResizeAxis();

  CreateOnlinePaint();
  PostProcessTabSheet->SetTabVisible(false);
  View2ColSpeedButton->SetCaption(LoadResString(ViewTo2Col ? SOneColumn : STwoColumns));
  FlipSpeedButton->SetEnabled(false);
  TopoCorrSpeedButton->SetEnabled(false);
  if (layout.flNewCreate()) shell_.Files->SetGlobalCountFiles(fileCount_ + 1);
  shell_.Actions->SetButtonDirect();
  DepthDigitEdit->SetHint(LoadResString(SDepthAxisTitle));

  // Advanced stacking needs firmware above 6; without a radar it stays on.
  const ISettingsRadar* radar = radars.CurrentRadar();
  for (T2Dview* store : View2D_)
    if (store && !store->WasOpen) store->Settings()->SetAdvanceStacking(!radar || radar->FirmwareVer() > 6);
  FilValueList(0);
  return true;
}

void TView2DForm::CreateAlways() {
  SimpleIndexPal = 0;
  SimpleMultGain = 0;
  proportional_ = shell_.NextWindow->GlobalProportional();
  switch (proportional_) {
    case PropInSamples13: SimpleIndexStretch = 2; break;
    case PropInSamples15: SimpleIndexStretch = 3; break;
    default:
      SimpleIndexStretch = 1;
      if (shell_.Layout->SimpleMode()) proportional_ = PropInSamples11;
      break;
  }
  ApplySimpleStretch();
  if (MultGainLabel) MultGainLabel->SetCaption(QString::number(GetSimpleGainIndex()));
  StartPositionsFromRadars();
}

int64_t TView2DForm::StartTraceOfShift(int32_t xShift, double measureStepMm) {
  // A step of 0 (or none at all) places every channel at the start.
  if (!(std::fabs(measureStepMm) > 0) || !std::isfinite(measureStepMm)) return 0;
  const long double trace = static_cast<long double>(xShift) / 100000.0L * 1000.0L / measureStepMm;
  return std::llrint(trace);
}

void TView2DForm::StartPositionsFromRadars() {
  const T2Dview* master = GetView2DByIndx(MasterChannal);
  const double step = master ? master->Settings()->GetMeasureStep() : 0.0;
  for (T2Dview* store : View2D_) {
    if (!store) continue;
    auto* radar = dynamic_cast<TRadar*>(store->Settings()->GetSettingRadar());
    if (!radar) continue;
    const int64_t trace = StartTraceOfShift(radar->Xshift(), step);
    store->SetPosTraces(trace);
    store->SetMinNumTraces(trace);
    store->SetMaxNumTraces(trace);
    radar->LastPaint = trace;
    radar->LastRecived = trace;
  }
}

// ---- Radars --------------------------------------------------------------------------------

ISettingsRadar* TView2DForm::SlotRadar(int slot) const { return shell_.Radars->GetRadarByIndex(slot); }

void TView2DForm::BindSlotsToRadars() {
  TCheckDeviceScope scope(*shell_.Radars);
  for (int i = 0; i < kChannelSlots; ++i)
    if (T2Dview* store = View2D_[static_cast<size_t>(i)]) store->Settings()->SetSettingRadar(SlotRadar(i));
}

void TView2DForm::WMRadarsLoaded() {
  IRadargramRadarsShell& radars = *shell_.Radars;
  T2Dview* first = View2D_[0];
  if (TControlRadar* set = radars.ControlRadar()) {
    if (!OpenedFromFile(first)) {
      MasterChannal = set->GetMasterChannal();
      BindSlotsToRadars();
    }
    radars.SetCurrentRadar(set->GetMasterRadar());
  }
  ViewSectOfDeep = NewViewChannalCount() >= 3 && CountChannalView >= 3;
  if (first) {
    if (!first->WasOpen && !first->WasStarted) {
      CountChannalView = NewViewChannalCount();
    } else if (first->WasStarted && !first->WasOpen) {
      ViewSectOfDeep = shell_.NextWindow->GlobalViewSectOfDeep();
      SetAllChannalVisible();
      SetLeftAxisCaption();
      if (first->Settings()->GetSerNum() == 0 || first->Settings()->GetTypeGPR() == unknown) ReCreateViewInterface();
      ViewSectOfDeep = false;
    }
  }
  if (Chart_[0] && first && !first->WasOpen) SetActiveView(Chart_[0]);
  if (!first) return;
  if (first->Settings()->GetSerNum() == 0) first->Settings()->SetTypeGPR(unknown);
  FilValueList(0);
  if (first->WasOpen) return;
  ZoomComboBoxChange();
  if (shell_.Recording->RunButtonDown()) Paint2D(0);
  ResizeAxis();
  SetScrollBars();
  RunAfterChangeScrollBars();
  ResizeAxis();
  shell_.Actions->RefreshGprStatus();
}

void TView2DForm::RefreshSettingsRadar() {
  for (int i = 0; i < kChannelSlots; ++i) {
    T2Dview* store = View2D_[static_cast<size_t>(i)];
    if (!store) continue;
    ISettingsRadar* radar = SlotRadar(i);
    store->Settings()->SetSettingRadar(radar);
    if (const auto* unit = dynamic_cast<const TRadar*>(radar)) {
      store->Settings()->SetTypeGPR(unit->RadarType());
      store->Settings()->SetSerNum(unit->SerNum());
    }
  }
  GetCountChannalVisible();
  if (TControlRadar* set = shell_.Radars->ControlRadar()) set->CreateXYZOffsetFromRadar();
  SetLeftAxisCaption();
  GetOnlinePlaginsParameters();
  ChartResizeAndVisible();
}

// ---- IRadarSetWindow ----------------------------------------------------------------------

TSettingData* TView2DForm::ChannelSettings(int slot) const {
  const T2Dview* store = GetView2DByIndx(slot);
  return store ? store->Settings() : nullptr;
}

bool TView2DForm::ChannelHoldsTraces(int slot) const {
  const T2Dview* store = GetView2DByIndx(slot);
  return store && store->HoldsTraces();
}

void TView2DForm::SetChannelFirstTrace(int slot) {
  if (T2Dview* store = GetView2DByIndx(slot)) store->FirstTrace = true;
}

void TView2DForm::SetChannelVisible(int slot, bool visible) {
  if (slot >= 0 && slot < kChannelSlots) arChannalVisible[static_cast<size_t>(slot)] = visible;
}

void TView2DForm::SetDeviceBox(TTypeGPRDevice type, int32_t serNum) {
  TypeGPRDevice = type;
  SerNumDevice = serNum;
}

// ---- Showing and activation ----------------------------------------------------------------

void TView2DForm::FormShow() {
  RefreshSettingsRadar();
  GetOnlinePlaginsParameters();
  UpdateInterface();
}

void TView2DForm::FormActivate() {
  IRadargramLayoutShell& layout = *shell_.Layout;
  shell_.Actions->SetButtonDirect();
  if (layout.isCloseChild()) {
    layout.SetCloseChild(false);
    const int alone = NumChartSizeToWindow;
    ChartResizeAndVisible();
    if (!layout.isActivatedClosed()) NumChartSizeToWindow = alone;
  }
  if (const auto* frame = dynamic_cast<const TForm*>(Owner())) shell_.Actions->SetMDIChildCountOld(frame->MDIChildCount());
}

void TView2DForm::UpdateInterface() {
  const bool simple = shell_.Layout->SimpleMode();
  for (TTabSheet* sheet : {PropertyTabSheet, GPSTabSheet, MarkersTabSheet, OperationsTabSheet, PalTabSheet, ToolsTabSheet}) {
    sheet->SetTabVisible(!simple);
    sheet->SetVisible(!simple);
  }
  SimpleTabSheet->SetVisible(simple);
  SimpleTabSheet->SetTabVisible(false);
  if (simple) {
    LeftPageControl->SetActivePage(SimpleTabSheet);
  } else {
    TControlRadar* set = shell_.Radars->ControlRadar();
    const TRadar* master = set ? set->GetMasterRadar() : nullptr;
    if (master && master->GPSstate() == gpsNone) LeftPageControl->SetActivePageIndex(0);
  }
  const bool idle = !shell_.Recording->RadarStarted();
  for (TControl* control : std::initializer_list<TControl*>{SimpleBackgroundRemovalSpeedButton, SimpleGainSpeedButton,
                                                            SimplePalettesSpeedButton, SimpleZoomSpeedButton,
                                                            SimpleStretchSpeedButton, SimpleSpeedPanel})
    control->SetEnabled(idle);
  SimplePaletteImage->Picture()->Assign(*PalMaker1->GetBmp());
  SimplePaletteImage->Invalidate();
  if (simple) ButtonPanelClick(nullptr);
}

void TView2DForm::PrepareButtons() {
  const T2Dview* master = GetView2DByIndx(MasterChannal);
  if (!master) return;
  const TSettingData& settings = *master->Settings();
  const bool stepped = settings.GetMeasureStep() != 0;
  const TTopoType topo = settings.GetTopoType();
  const bool placed = topo != ttNil;
  for (TSpeedButton* button : {Prop21SpeedButton, Prop11SpeedButton, Prop12SpeedButton})
    button->SetEnabled(placed && stepped);
  const bool wheel = settings.GetRunMode() == rmWheel;
  const bool byDistance = wheel && placed && topo != ttGPS && stepped;
  HyperbolaCheckButton->SetEnabled(byDistance);
  DepthCheckButton->SetEnabled(byDistance);
  SimpleSpeedPanel->SetVisible(byDistance);
  TopoCorrSpeedButton->SetEnabled(std::fabs(settings.CalibrationQuality - 1) < 0.1 && placed && stepped);
  const T2Dview* first = View2D_[0];
  FlipSpeedButton->SetEnabled(OpenedFromFile(first) && first->Settings()->NMEIStrings.size() <= 5);

  TMenuItem* unit = wheel ? DistanceMenu : TracesMenu;
  TMenuItem* other = wheel ? TracesMenu : DistanceMenu;
  const bool otherWasChecked = other->Checked();
  unit->SetChecked(true);
  other->SetChecked(false);
  if (otherWasChecked) DistanceMenuClick(unit);

  SimpleSurfMarkerSpeedButton->SetVisible(!OpenedFromFile(first));
  SimpleDelSurfMarkerSpeedButton->SetVisible(false);
}

void TView2DForm::SetActiveView(TChart* aChart) {
  const int indx = GetIndxByChart(aChart);
  if (indx < 0) return;
  const int old = NumActiveView;
  if (TChart* previous = GetChartByIndx(old)) previous->SetColor(clBtnFace);
  NumActiveView = indx;
  aChart->SetColor(kActiveChartColor);
  const T2Dview* store = View2D_[static_cast<size_t>(indx)];
  shell_.Radars->SetCurrentRadar(store ? dynamic_cast<TRadar*>(store->Settings()->GetSettingRadar()) : nullptr);
  for (int i = 0; i < kChannelSlots; ++i)
    if (TTreeView* tree = ObjectsTreeView_[static_cast<size_t>(i)]) tree->SetVisible(i == indx);
  if (indx != old) {
    TTreeView* tree = ObjectsTreeView_[static_cast<size_t>(indx)];
    if (tree && tree->Items()->Count() > 0) tree->SetSelected(tree->Items()->Item(0));
    GPSarrayToMetres();
  }
  if (shell_.ActiveChild->HasActiveMDIChild()) FilValueList(indx);
  if (indx != old && VisibleToolWnd && CurTool)
    SendMessage(CurTool->GetHandle(), WM_TOOLVIEWCHANGED, static_cast<WPARAM>(indx), static_cast<LPARAM>(old));
}

void TView2DForm::ChartViewClick(TObject* Sender) { SetActiveView(dynamic_cast<TChart*>(Sender)); }

// ---- Profile Offset panel --------------------------------------------------------------------

void TView2DForm::UpdateOffsetPanel() {
  LinearProfileImage->SetVisible(TypeProfiles == tpLinear);
  ArcProfileImage->SetVisible(TypeProfiles == tpArc);
  const long double step = TypeGPRDevice == kFineOffsetDevice ? 0.01L : 0.1L;
  for (TDigitEdit* edit : {XOffsetDigitEdit, YOffsetDigitEdit, ZOffsetDigitEdit}) edit->SetStep(step);
}

int32_t TView2DForm::OffsetField(long double metres) {
  if (std::isnan(metres)) return 0;
  const long double field = std::nearbyint(metres * 100000.0L);
  constexpr long double kMin = std::numeric_limits<int32_t>::min();
  constexpr long double kMax = std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(std::clamp(field, kMin, kMax));
}

void TView2DForm::OffsetEditFinished(TDigitEdit* edit) {
  const int32_t value = OffsetField(edit->ValueReal());
  if (edit == XOffsetDigitEdit) deviceX_ = value;
  if (edit == ZOffsetDigitEdit) deviceZ_ = value;
  if (edit == YOffsetDigitEdit) {
    deviceY_ = value;
    FilValueList(NumActiveView);
  }
}

void TView2DForm::BitBtn2Click(TObject* /*Sender*/) {
  OffsetPanel->Hide();
  SaveSTT();
  ResizeAxis();
  FilValueList(NumActiveView);
  PaintAllScreen();
}

// ---- Keys ------------------------------------------------------------------------------------

void TView2DForm::FormKeyDown(TObject* /*Sender*/, WORD& Key, TShiftState /*Shift*/) {
  switch (Key) {
    case VK_RETURN:
      if (YOffsetDigitEdit->Focused()) {
        OffsetEditFinished(YOffsetDigitEdit);
        BitBtn2Click(BitBtn2);
      }
      break;
    // The chain's keys act on the Tools page; while the tree has the focus it
    // takes them before the main window's menu short cuts (Insert there binds
    // the profile to the baseline).
    case VK_INSERT:
      if (LeftPageControl->ActivePage() == ToolsTabSheet) AddToolsBitBtnClick(nullptr);
      break;
    case VK_F1:
      if (LeftPageControl->ActivePage() == ToolsTabSheet) EditCurrentTool();
      break;
    case VK_DELETE:
      if (LeftPageControl->ActivePage() == MarkersTabSheet) DeleteMarkerInTree();
      else if (LeftPageControl->ActivePage() == ToolsTabSheet) RemoveBitBtnClick(nullptr);
      break;
    case VK_ESCAPE:
      Br = true;
      break;
    case VK_SPACE:
      if (const TRadar* radar = shell_.Radars->CurrentRadar(); radar && radar->CurMode() != cmStop) ReadyTopo = true;
      break;
    case VK_ADD:
      Zooming(true);
      break;
    case VK_SUBTRACT:
      Zooming(false);
      break;
    default:
      break;
  }
}

// ---- Closing -----------------------------------------------------------------------------------

bool TView2DForm::CheckForTlsSave() {
  if (!TlsNeedForSave) return true;
  const int answer = MessageDlg(Format(LoadResString(SSaveToolsBeforeClosed), {Caption()}), mtConfirmation,
                                mbYesNoCancel, 0);
  if (answer == mrCancel) return false;
  if (answer == mrNo) return true;
  shell_.Actions->SaveActionExecute();
  // A chain that could not be written keeps the window open.
  return SaveToolChain();
}

void TView2DForm::FormCloseQuery(TObject* /*Sender*/, bool& CanClose) {
  CanClose = false;
  IRadargramLayoutShell& layout = *shell_.Layout;
  IRadargramRecordingShell& recording = *shell_.Recording;
  TControlRadar* set = shell_.Radars->ControlRadar();
  const TRadar* master = set ? set->GetMasterRadar() : nullptr;
  if (recording.RunChild() == this && master && master->CurMode() != cmStop && master->CurMode() != cmCursor) return;

  T2Dview* first = View2D_[0];
  if (first && first->Settings()->GetRunMode() == rmStep) {
    PrepareDataAfterRun();
    shell_.Actions->SetFileActionsEnabled(true);
  }

  const bool closing = recording.isClosedMain();
  // A window the main window is resizing away is closed by it later.
  if (!closing && layout.StartResize()) {
    if (flCloseAllChilds) View2D_[0] = nullptr;
    return;
  }
  layout.SetCloseChild(true);
  if (set) {
    for (int i = 0; i < MaxCountChannal; ++i) {
      TRadar* radar = set->GetRadarByIndex(i);
      if (!radar || radar->CurMode() != cmCursor) continue;
      radar->SendCommand(bcpWheelRotate_Stop, 0, nullptr);
      radar->SendCommand(bcpPing2, 0, nullptr);
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }
  if (GetLocationDataButton->Down()) {
    GetLocationDataButton->SetDown(false);
    recording.SetRadarPausedWithGPS(false);
    Application->ProcessMessages();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
  if (recording.RunButtonDown() || TopoCorRun || VisibleToolWnd) return;

  if (first && first->HoldsTraces() && first->GetNeedForSave()) {
    const QString name = ExtractFileName(first->Settings()->GetFileName());
    const int answer =
        MessageDlg(Format(LoadResString(SSaveFileBeforeClosed), {name}), mtConfirmation, mbYesNoCancel, 0);
    if (answer == mrYes) {
      // The data stay open when they could not be written.
      CanClose = shell_.Actions->SaveActionExecute();
    } else if (answer == mrNo) {
      if (recording.RunChild() == this) recording.SetRunChild(nullptr);
      CanClose = true;
    }
  } else {
    CanClose = CheckForTlsSave();
    if (CanClose && !closing) layout.SetStartResize(true);
  }
  if (!CanClose) {
    layout.SetCloseChild(false);
    return;
  }
  if (OnlinePaintThread) OnlinePaintThread->Suspend();
  if (flCloseAllChilds) View2D_[0] = nullptr;
  if (first && first->HoldsTraces()) shell_.Files->AddToReopenList(first->Settings()->GetFileName());
}

void TView2DForm::FormClose(TObject* /*Sender*/, TCloseAction& Action) {
  IRadargramRecordingShell& recording = *shell_.Recording;
  recording.SetRadarPausedWithGPS(false);
  shell_.Layout->SetCloseChild(true);
  recording.SetCurChild(nullptr);
  if (recording.RunChild() == this) recording.SetRunChild(nullptr);
  Action = caFree;
}

void TView2DForm::FormDestroy(TObject* /*Sender*/) {
  FreeOnlinePaint();
  CurrentItem = nullptr;
  CurTool = nullptr;
  std::vector<IChainTool*> tools;
  for (const auto& tool : tools_) tools.push_back(tool.get());
  TChainRunner::Instance().Forget(this, tools);
  if (ToolsTreeView) ToolsTreeView->Items()->Clear();
  tools_.clear();
  zoomSource_.reset();
  for (int i = 0; i < kChannelSlots; ++i) {
    Bmp_[static_cast<size_t>(i)].reset();
    BmpAfterZoom_[static_cast<size_t>(i)].reset();
    OnRunBmp_[static_cast<size_t>(i)].reset();
    OnRunBmpFull_[static_cast<size_t>(i)].reset();
    for (int k = 0; k < 5; ++k) BmpPostProc_[static_cast<size_t>(i * 5 + k)].reset();
  }
  CountChannalView = 0;
  if (const auto* frame = dynamic_cast<const TForm*>(Owner())) shell_.Actions->SetMDIChildCountOld(frame->MDIChildCount());
}
