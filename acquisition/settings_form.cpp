// The settings window's controls, its life cycle and its window messages. The
// operations on the settings and the radars are in settings_form_ops.cpp.

#include "acquisition/settings_form.h"

#include "acquisition/main_form.h"
#include "acquisition/settings_online.h"
#include "acquisition/topo_pictures.h"
#include "platform/rtl/ini_files.h"
#include "platform/rtl/paths.h"
#include "platform/rtl/sys_utils.h"
#include "platform/ui/place_controls.h"
#include "platform/ui/adv_popup_menu.h"
#include "platform/ui/application.h"
#include "platform/ui/buttons.h"
#include "platform/ui/chart.h"
#include "platform/ui/combo_box.h"
#include "platform/ui/component_clone.h"
#include "platform/ui/edit_controls.h"
#include "platform/ui/image.h"
#include "platform/ui/image_list.h"
#include "platform/ui/keys.h"
#include "platform/ui/language_forms.h"
#include "platform/ui/list_box.h"
#include "platform/ui/memo.h"
#include "platform/ui/menus.h"
#include "platform/ui/page_control.h"
#include "platform/ui/panels.h"
#include "platform/ui/scroll_box.h"
#include "platform/ui/std_controls.h"
#include "platform/ui/track_bar.h"
#include "profiledata/channel_store.h"
#include "profiledata/digit_edit.h"
#include "profiledata/form_charset.h"
#include "profiledata/setting_data.h"
#include "radar/control_radar.h"
#include "radar/radar.h"
#include "radar/radar_messages.h"
#include "radargram/view2d_form.h"

#include <algorithm>

std::atomic<TSettingsForm*> SettingsForm{nullptr};

RESOURCESTRING(SSettingsFolder, "Folder");
RESOURCESTRING(SSettingsFilePrefix, "File name Prefix");
RESOURCESTRING(SSettingsFileIndex, "File name Index");
RESOURCESTRING(SSettingsNumSamples, "Number of Samples ");
RESOURCESTRING(SSettingsTraceStacking, "Trace Stacking ");
RESOURCESTRING(SSettingsCurvature, "Curvature");
RESOURCESTRING(SSettingsMax, "Max");
RESOURCESTRING(SSettingsAverageStacking, "Average Stacking");
RESOURCESTRING(SSettingsWaveSpeed, "Wave Speed , m/\u00B5s");
RESOURCESTRING(SSettingsTopoDevice, "Topo Device ");
RESOURCESTRING(SSettingsStepOfAcquisition, "Step of acquisition, mm/trace");
RESOURCESTRING(SSettingsDecimationGps, "Decimation of GPS Signal");
RESOURCESTRING(SSettingsSelectStep, "Select step of wheel");
RESOURCESTRING(SSettingsDirection, "Direction");
RESOURCESTRING(SSettingsForward, "Forward");
RESOURCESTRING(SSettingsProfileOffset, "Profile Offset ");
RESOURCESTRING(SSettingsByCourse, "By course, m");
RESOURCESTRING(SSettingsAside, "Aside, m");
RESOURCESTRING(SSettingsByHeight, "By height, m");
RESOURCESTRING(SSettingsLimits, "Limits ");
RESOURCESTRING(SSettingsTracePerSecond, "Trace/s");
RESOURCESTRING(SSettingsMovementSpeed, "Movement speed");
RESOURCESTRING(SSettingsModel, "Model of GPR ");
RESOURCESTRING(SSettingsComments, "Comments");
RESOURCESTRING(SSettingsStart, "Start");
RESOURCESTRING(SSettingsOk, "&OK");
RESOURCESTRING(SSettingsFile, "File");
RESOURCESTRING(SSettingsOpenSettings, "Open Settings");
RESOURCESTRING(SSettingsSaveSettings, "Save Settings");
RESOURCESTRING(SSettingsSavePreset, "Save Preset");
RESOURCESTRING(SSettingsGeneralPreferences, "General Preferences");

namespace {

const QString kSettingsPos = QStringLiteral("Settingspos");
constexpr int kColumnWidth = 180;
constexpr int kStripWidth = 14;
constexpr int kMaxComments = 250;

TMenuItem* Item(TComponent* owner, TMenuItem* parent, const QString& caption) {
  auto* item = new TMenuItem(owner);
  item->SetCaption(caption);
  parent->Add(item);
  return item;
}

}  // namespace

TSettingsForm::TSettingsForm(TComponent* AOwner) : TSettingsForm(AOwner, MainWindow) {}

TSettingsForm::TSettingsForm(TComponent* AOwner, DUvova3DuruZuza* main) : TForm(AOwner), main_(main) {
  SetCaption(LoadResString(SGprSettingsCaption));
  SetClientWidth(880);
  SetClientHeight(586);
  SetMinWidth(806);
  SetMinHeight(640);
  SetKeyPreview(true);
  BuildMenus();
  BuildLayout();
  BuildCharts();
  BuildOnlineControls();
  WireEvents();
  SettingsForm = this;
  FormCreate();
}

TSettingsForm::~TSettingsForm() {
  FormDestroy();
  if (OnlineDialogHost() == this) SetOnlineDialogHost(nullptr);
  TSettingsForm* self = this;
  SettingsForm.compare_exchange_strong(self, nullptr);
}

void TSettingsForm::BuildMenus() {
  MainMenu1 = new TMainMenu(this);
  MenuFile = Item(this, MainMenu1->Items(), LoadResString(SSettingsFile));
  MenuDefault = Item(this, MenuFile, LoadResString(SSettingsDefault));
  MenuOpenSettings = Item(this, MenuFile, LoadResString(SSettingsOpenSettings));
  MenuSaveSettings = Item(this, MenuFile, LoadResString(SSettingsSaveSettings));
  SavePreset1 = Item(this, MenuFile, LoadResString(SSettingsSavePreset));
  MenuRun = Item(this, MainMenu1->Items(), LoadResString(SSettingsStart));
  MenuGeneralPreferences = Item(this, MainMenu1->Items(), LoadResString(SSettingsGeneralPreferences));
  SetMenu(MainMenu1);

  DepthPopupMenu = new TAdvPopupMenu(this);
  for (int i = 0; i < 4; ++i) {
    SurveyWindow[static_cast<size_t>(i)] = Item(this, DepthPopupMenu->Items(), QString());
    SurveyWindow[static_cast<size_t>(i)]->SetRadioItem(true);
  }
  TriggerPopupMenu = new TAdvPopupMenu(this);
  SingleMenu = Item(this, TriggerPopupMenu->Items(), LoadResString(SSettingsSingle));
  InternalMenu = Item(this, TriggerPopupMenu->Items(), LoadResString(SSettingsInt));
  ExternalMenu = Item(this, TriggerPopupMenu->Items(), LoadResString(SSettingsExt));
  for (TMenuItem* item : {SingleMenu, InternalMenu, ExternalMenu}) item->SetRadioItem(true);
  // F7, F8 and F9 reach them through the window's key handler.

  TopoTypePopupMenu = new TAdvPopupMenu(this);
  TopoTypeImages = new TImageList(this);
  FillTopoPictures(*TopoTypeImages);
  TopoTypePopupMenu->SetImages(TopoTypeImages);
  GeneralPreferencesMenu = Item(this, TopoTypePopupMenu->Items(), LoadResString(SSettingsGeneralPreferences));
  Item(this, TopoTypePopupMenu->Items(), QStringLiteral("-"));
  for (const TTopoType type : SettingsTopoMenuOrder) {
    TMenuItem* item = Item(this, TopoTypePopupMenu->Items(), TopoDeviceName(type));
    item->SetRadioItem(true);
    item->SetTag(type);
    item->SetImageIndex(type);
    TopoItems[type] = item;
  }
  MediumPopupMenu = new TAdvPopupMenu(this);
  TopoCalibrationPopupMenu = new TAdvPopupMenu(this);
}

void TSettingsForm::BuildLayout() {
  Panel1 = Place<TPanel>(this, this, 0, 0, 2 * kColumnWidth + 28, ClientHeight());
  Panel1->SetAlign(alLeft);
  Panel3 = Place<TPanel>(this, Panel1, Panel1->Width() - kStripWidth, 0, kStripWidth, Panel1->Height());
  Panel3->SetAlign(alRight);
  Panel3->SetCaption(QStringLiteral("<"));
  Panel3->SetHint(LoadResString(SHideSettingsPanel));
  Panel2 = Place<TPanel>(this, this, Panel1->Width(), 0, ClientWidth() - Panel1->Width(), ClientHeight());
  Panel2->SetAlign(alClient);

  // The first column: what a recording is set up with, and the comments.
  const int a = 4;
  WindowSurveyButton = Place<TSpeedButton>(this, Panel1, a, 4, kColumnWidth, 40);
  GroupBox2 = Place<TGroupBox>(this, Panel1, a, 48, kColumnWidth, 48);
  GroupBox2->SetCaption(LoadResString(SSettingsNumSamples));
  LabelNumSamples = LabelAt(this, GroupBox2, 10, 22, QStringLiteral("1000"));
  NumSamplesUp = Place<TSpeedButton>(this, GroupBox2, 100, 16, 32, 24);
  NumSamplesUp->SetCaption(QStringLiteral("+"));
  NumSamplesDown = Place<TSpeedButton>(this, GroupBox2, 138, 16, 32, 24);
  NumSamplesDown->SetCaption(QStringLiteral("-"));

  GroupBox3 = Place<TGroupBox>(this, Panel1, a, 100, kColumnWidth, 150);
  GroupBox3->SetCaption(LoadResString(SSettingsTraceStacking));
  FlatSteckingPanel = Place<TPanel>(this, GroupBox3, 2, 14, kColumnWidth - 4, 132);
  TrackBarStacking = Place<TTrackBar>(this, FlatSteckingPanel, 4, 2, 30, 126);
  TrackBarStacking->SetOrientation(trVertical);
  TrackBarStacking->SetRange(settings_window::TrackBarStackingMin, settings_window::TrackBarStackingMax);
  LabelStacking = LabelAt(this, FlatSteckingPanel, 60, 56, QStringLiteral("1"));
  AdvancedStackingPanel = Place<TPanel>(this, GroupBox3, 2, 14, kColumnWidth - 4, 132);
  LabelAt(this, AdvancedStackingPanel, 6, 8, LoadResString(SSettingsCurvature));
  StackingCurveDigitEdit = Place<TDigitEdit>(this, AdvancedStackingPanel, 90, 4, 70, 22);
  StackingCurveDigitEdit->SetMinVal(1);
  StackingCurveDigitEdit->SetMaxVal(300);
  LabelAt(this, AdvancedStackingPanel, 6, 38, LoadResString(SSettingsMax));
  StackingVolumeDigitEdit = Place<TDigitEdit>(this, AdvancedStackingPanel, 90, 34, 70, 22);
  StackingVolumeDigitEdit->SetMinVal(1);
  StackingVolumeDigitEdit->SetMaxVal(255);
  LabelAt(this, AdvancedStackingPanel, 6, 70, LoadResString(SSettingsAverageStacking));
  AverageStackingLabel = LabelAt(this, AdvancedStackingPanel, 124, 70, QString());
  AdvancedStackingPanel->SetVisible(false);

  TriggerModeSpeedButton = Place<TSpeedButton>(this, Panel1, a, 254, kColumnWidth, 40);
  GroupBoxOdometer = Place<TGroupBox>(this, Panel1, a, 298, kColumnWidth, 118);
  GroupBoxOdometer->SetCaption(LoadResString(SSettingsTopoDevice));
  TopoTypeImage = Place<TImage>(this, GroupBoxOdometer, 6, 16, 32, 32);
  TopoTitleLabel = LabelAt(this, GroupBoxOdometer, 44, 18, QString());
  TopoDeviceButton = Place<TSpeedButton>(this, GroupBoxOdometer, 150, 16, 24, 24);
  TopoDeviceButton->SetCaption(QStringLiteral("..."));
  OdometerStaticText = LabelAt(this, GroupBoxOdometer, 6, 54, LoadResString(SSettingsStepOfAcquisition));
  GPSStaticText = LabelAt(this, GroupBoxOdometer, 6, 54, LoadResString(SSettingsDecimationGps));
  GPSStaticText->SetVisible(false);
  LabelOdometer = LabelAt(this, GroupBoxOdometer, 10, 84, QString());
  MultOdometrUp = Place<TSpeedButton>(this, GroupBoxOdometer, 70, 78, 28, 24);
  MultOdometrUp->SetCaption(QStringLiteral("+"));
  MultOdometrDown = Place<TSpeedButton>(this, GroupBoxOdometer, 102, 78, 28, 24);
  MultOdometrDown->SetCaption(QStringLiteral("-"));
  TopoCalibrationButton = Place<TSpeedButton>(this, GroupBoxOdometer, 136, 78, 38, 24);
  TopoCalibrationButton->SetCaption(QStringLiteral("..."));
  TopoCalibrationButton->SetHint(LoadResString(SSettingsSelectStep));
  OdometerListBox = Place<TListBox>(this, GroupBoxOdometer, 0, 0, 1, 1);
  OdometerListBox->SetVisible(false);

  CommentsGroupBox = Place<TGroupBox>(this, Panel1, a, 420, kColumnWidth, 100);
  CommentsGroupBox->SetCaption(LoadResString(SSettingsComments));
  MemoComments = Place<TMemo>(this, CommentsGroupBox, 6, 16, kColumnWidth - 12, 78);

  SpeedButtonSwitchOn = Place<TSpeedButton>(this, Panel1, a, 526, 85, 25);
  SpeedButtonSwitchOn->SetAllowAllUp(true);
  SpeedButtonSwitchOn->SetGroupIndex(1);
  SpeedButtonSwitchOn->SetCaption(LoadResString(SSettingsStart));
  StartCalibrationSpeedButton = Place<TSpeedButton>(this, Panel1, a + 90, 526, 90, 25);
  StartCalibrationSpeedButton->SetCaption(LoadResString(SSettingsStartCalibration));
  OKBitBtn = Place<TBitBtn>(this, Panel1, a, Panel1->Height() - 29, 85, 25);
  OKBitBtn->SetCaption(LoadResString(SSettingsOk));
  // The window's OK has always closed it with result 4.
  OKBitBtn->SetModalResult(mrRetry);

  // The second column, shown with the expanded panel: the file, the wave speed,
  // the direction, the offsets, the limits and the radar model.
  const int b = a + kColumnWidth + 6;
  FileGroupBox = Place<TGroupBox>(this, Panel1, b, 4, kColumnWidth, 122);
  FileGroupBox->SetCaption(LoadResString(SSettingsFolder));
  FilePathMemo = Place<TMemo>(this, FileGroupBox, 6, 16, 140, 40);
  FilePathMemo->SetReadOnly(true);
  ChangePathSB = Place<TSpeedButton>(this, FileGroupBox, 150, 16, 24, 24);
  ChangePathSB->SetCaption(QStringLiteral("..."));
  LabelAt(this, FileGroupBox, 6, 60, LoadResString(SSettingsFilePrefix));
  FilePrefixEdit = Place<TEdit>(this, FileGroupBox, 6, 76, 96, 22);
  LabelAt(this, FileGroupBox, 108, 60, LoadResString(SSettingsFileIndex));
  FileCountDigitEdit = Place<TDigitEdit>(this, FileGroupBox, 108, 76, 66, 22);
  FileCountDigitEdit->SetMinVal(0);
  FileCountDigitEdit->SetMaxVal(1000000);

  LightSpeedGroupBox = Place<TGroupBox>(this, Panel1, b, 130, kColumnWidth, 50);
  LightSpeedGroupBox->SetCaption(LoadResString(SSettingsWaveSpeed));
  SpeedDigitEdit = Place<TDigitEdit>(this, LightSpeedGroupBox, 6, 18, 90, 22);
  SpeedDigitEdit->SetMinVal(0);
  SpeedDigitEdit->SetMaxVal(300);
  SpeedDigitEdit->SetValueInt(300);
  MeniumButton = Place<TSpeedButton>(this, LightSpeedGroupBox, 104, 18, 70, 22);
  MeniumButton->SetCaption(QStringLiteral("..."));

  GroupBox4 = Place<TGroupBox>(this, Panel1, b, 184, kColumnWidth, 50);
  GroupBox4->SetCaption(LoadResString(SSettingsDirection));
  BitBtnDirection = Place<TBitBtn>(this, GroupBox4, 6, 18, kColumnWidth - 12, 25);
  BitBtnDirection->SetCaption(LoadResString(SSettingsForward));

  OffsetGroupBox = Place<TGroupBox>(this, Panel1, b, 238, kColumnWidth, 100);
  OffsetGroupBox->SetCaption(LoadResString(SSettingsProfileOffset));
  const QString offsetCaptions[] = {LoadResString(SSettingsByCourse), LoadResString(SSettingsAside),
                                    LoadResString(SSettingsByHeight)};
  TDigitEdit** offsets[] = {&XOffsetDigitEdit, &YOffsetDigitEdit, &ZOffsetDigitEdit};
  for (int i = 0; i < 3; ++i) {
    LabelAt(this, OffsetGroupBox, 6, 20 + 26 * i, offsetCaptions[i]);
    TDigitEdit* edit = Place<TDigitEdit>(this, OffsetGroupBox, 96, 16 + 26 * i, 78, 22);
    edit->SetAvailableDecimal(true);
    edit->SetAvailableSign(true);
    edit->SetMinVal(-settings_window::OffsetLimitMetres);
    edit->SetMaxVal(settings_window::OffsetLimitMetres);
    edit->SetStep(0.1);
    edit->SetValueReal(0);
    *offsets[i] = edit;
  }

  SpeedGroupBox = Place<TGroupBox>(this, Panel1, b, 342, kColumnWidth, 70);
  SpeedGroupBox->SetCaption(LoadResString(SSettingsLimits));
  LabelAt(this, SpeedGroupBox, 6, 20, LoadResString(SSettingsTracePerSecond));
  PRFLabel = LabelAt(this, SpeedGroupBox, 110, 20, QString());
  Label6 = LabelAt(this, SpeedGroupBox, 6, 44, LoadResString(SSettingsMovementSpeed));
  MaxSpeedLabel = LabelAt(this, SpeedGroupBox, 110, 44, QString());

  GroupBox1 = Place<TGroupBox>(this, Panel1, b, 416, kColumnWidth, 48);
  GroupBox1->SetCaption(LoadResString(SSettingsModel));
  LabelRadarType = LabelAt(this, GroupBox1, 8, 20, LoadResString(SSettingsUnknown));

  // The right side: the amplitude charts and the stacking chart.
  ScrollBox1 = Place<TScrollBox>(this, Panel2, 0, 0, Panel2->Width(), Panel2->Height());
  ScrollBox1->SetAlign(alClient);
  ProgressPanel = Place<TPanel>(this, Panel2, (Panel2->Width() - 200) / 2, (Panel2->Height() - 80) / 2, 200, 80);
  ProgressPanel->SetCaption(LoadResString(SSettingsMoveAntenna));
  ProgressPanel->SetVisible(false);
}

void TSettingsForm::BuildCharts() {
  ChartStack0 = Place<TChart>(this, ScrollBox1, ScrollBox1->Width() - 120, 0, 120, ScrollBox1->Height());
  ChartStack0->SetAlign(alRight);
  ChartStack0->SetTitle(LoadResString(SSettingsStacking));
  ChartStack0->LeftAxis()->SetInverted(true);
  GainSeries = new TLineSeries(this);
  GainSeries->SetParentChart(ChartStack0);
  GainSeries->SetVertAxis(aLeftAxis);

  ChartAmp = Place<TChart>(this, ScrollBox1, 0, 0, 100, ScrollBox1->Height());
  ChartAmp->SetName(QStringLiteral("ChartAmp"));
  ChartAmp->SetAlign(alLeft);
  ChartAmp->LeftAxis()->SetInverted(true);
  ChartAmp->LeftAxis()->SetGrid(false);
  ChartAmp->BottomAxis()->SetVisible(false);
  ChartAmp->TopAxis()->SetVisible(true);
  ChartAmp->TopAxis()->SetTitle(LoadResString(SSettingsAmplitude));
  ChartAmp->TopAxis()->SetLabelFormat(QStringLiteral("0.0##"));
  Series = new TLineSeries(this);
  Series->SetName(QStringLiteral("Series"));
  Series->SetParentChart(ChartAmp);
  Series->SetHorizAxis(aBottomAxis);
  Series->SetVertAxis(aLeftAxis);
  Series->SetSeriesColor(TraceColor);
  SizeSeries = new TPointSeries(this);
  SizeSeries->SetName(QStringLiteral("SizeSeries"));
  SizeSeries->SetParentChart(ChartAmp);
  SizeSeries->SetHorizAxis(aTopAxis);
  SizeSeries->SetVertAxis(aLeftAxis);
  ChartAmp->OnGetAxisLabel = [this](TChartAxis* axis, double value, QString& text) {
    ChartAmpGetAxisLabel(axis, value, text);
  };
  ChartAmp_[0] = ChartAmp;
  Series_[0] = Series;
  SizeSeries_[0] = SizeSeries;
}

void TSettingsForm::WireEvents() {
  OnShow = [this](TObject*) { FormShow(); };
  OnHide = [this](TObject*) { FormHide(); };
  OnCloseQuery = [this](TObject*, bool& canClose) { FormCloseQuery(canClose); };
  OnClose = [this](TObject*, TCloseAction&) { FormClose(); };
  OnKeyDown = [this](TObject*, WORD& key, TShiftState shift) { FormKeyDown(key, shift); };
  OnResize = [this](TObject*) { FormResize(); };
  SpeedButtonSwitchOn->OnClick = [this](TObject* sender) { SpeedButtonSwitchOnClick(sender); };
  MenuRun->OnClick = [this](TObject* sender) { SpeedButtonSwitchOnClick(sender); };
  TrackBarStacking->OnChange = [this](TObject*) { TrackBarStackingChange(); };
  NumSamplesUp->OnClick = [this](TObject*) { NumSamplesUpClick(); };
  NumSamplesDown->OnClick = [this](TObject*) { NumSamplesDownClick(); };
  for (int i = 0; i < 4; ++i) SurveyWindow[static_cast<size_t>(i)]->OnClick = [this, i](TObject*) { SurveyWindowClick(i); };
  SingleMenu->OnClick = [this](TObject*) { TriggerModeClick(rmStep); };
  InternalMenu->OnClick = [this](TObject*) { TriggerModeClick(rmCont); };
  ExternalMenu->OnClick = [this](TObject*) { TriggerModeClick(rmWheel); };
  SpeedDigitEdit->OnChangeFinish = [this](TObject*) { SpeedDigitEditChangeFinish(); };
  BitBtnDirection->OnClick = [this](TObject*) { BitBtnDirectionClick(); };
  MemoComments->OnChange = [this](TObject*) { MemoCommentsChange(); };
  XOffsetDigitEdit->OnChangeFinish = [this](TObject*) { OffsetDigitEditChangeFinish(0); };
  YOffsetDigitEdit->OnChangeFinish = [this](TObject*) { OffsetDigitEditChangeFinish(1); };
  ZOffsetDigitEdit->OnChangeFinish = [this](TObject*) { OffsetDigitEditChangeFinish(2); };
  StackingCurveDigitEdit->OnChangeFinish = [this](TObject*) { StackingCurveDigitEditChangeFinish(); };
  StackingVolumeDigitEdit->OnChangeFinish = [this](TObject*) { StackingVolumeDigitEditChangeFinish(); };
  MultOdometrUp->OnMouseDown = [this](TObject*, TMouseButton, TShiftState shift, int, int) {
    MultOdometrUpClick(shift);
  };
  MultOdometrDown->OnMouseDown = [this](TObject*, TMouseButton, TShiftState shift, int, int) {
    MultOdometrDownClick(shift);
  };
  for (const TTopoType type : SettingsTopoMenuOrder) {
    TopoItems[type]->OnClick = [this, type](TObject*) { type == ttGPS ? GPSMenuClick() : TopoItemClick(type); };
  }
  GeneralPreferencesMenu->OnClick = [this](TObject*) { GeneralPreferencesMenuClick(); };
  MenuGeneralPreferences->OnClick = [this](TObject*) {
    if (Main()) Main()->GeneralPreferencesActionExecute();
  };
  OKBitBtn->OnClick = [this](TObject*) { OKBitBtnClick(); };
  Panel3->OnClick = [this](TObject*) { Panel3Click(); };
  // Each popup button opens its menu at its client point (20, 20).
  const auto popupAt = [](TSpeedButton* button, TAdvPopupMenu* menu) {
    button->OnClick = [button, menu](TObject*) {
      const TPoint at = button->ClientToScreen(TPoint{20, 20});
      menu->SetPopupComponent(button);
      menu->Popup(at.X, at.Y);
    };
  };
  popupAt(TriggerModeSpeedButton, TriggerPopupMenu);
  popupAt(TopoDeviceButton, TopoTypePopupMenu);
  popupAt(TopoCalibrationButton, TopoCalibrationPopupMenu);
  popupAt(MeniumButton, MediumPopupMenu);
  WindowSurveyButton->OnClick = [this](TObject*) {
    if (TView2DForm* view = View()) view->SaveDefault();
    const TPoint at = WindowSurveyButton->ClientToScreen(TPoint{20, 20});
    DepthPopupMenu->Popup(at.X, at.Y);
  };
  // The group boxes of the edited values show which one holds the focus.
  const std::pair<TGroupBox*, std::vector<TWinControl*>> groups[] = {
      {GroupBox2, {}},
      {GroupBox3, {StackingCurveDigitEdit, StackingVolumeDigitEdit, TrackBarStacking}},
      {LightSpeedGroupBox, {SpeedDigitEdit}},
      {GroupBoxOdometer, {}},
      {GroupBox4, {BitBtnDirection}},
      {OffsetGroupBox, {XOffsetDigitEdit, YOffsetDigitEdit, ZOffsetDigitEdit}},
      {CommentsGroupBox, {MemoComments}},
  };
  for (const auto& [group, controls] : groups)
    for (TWinControl* control : controls) {
      TGroupBox* box = group;
      control->OnEnter = [this, box](TObject*) { GroupEnter(box); };
      control->OnExit = [this](TObject*) { ResetGroupColors(); };
    }
  WireFileEvents();
  SetMessageHandler(WM_PAINTLASTTRACE, [this](TMessage& m) { PaintLastTrace(m.WParam, m.LParam); });
  SetMessageHandler(WM_RADARSLOADED, [this](TMessage&) { FinishAllLoadRadar(); });
  SetMessageHandler(WM_DEVICELISTCHANGED, [this](TMessage&) { DeviceListChanged(); });
}

void TSettingsForm::GroupEnter(TGroupBox* group) {
  ResetGroupColors();
  group->SetColor(clGradientActiveCaption);
}

void TSettingsForm::ResetGroupColors() {
  for (TGroupBox* group :
       {GroupBox2, GroupBox3, LightSpeedGroupBox, GroupBoxOdometer, GroupBox4, OffsetGroupBox, CommentsGroupBox})
    group->SetColor(clBtnFace);
}

// ---- Life cycle --------------------------------------------------------------------------------

void TSettingsForm::FormCreate() {
  if (Main()) SetFormCharsetForLanguage(*this, Main()->Language());
  SetTriggerCaption();
  WindowSurveyButton->SetCaption(LoadResString(SSettingsSurveyWindow) + QStringLiteral(":\n1,5 ns"));
  TriggerModeSpeedButton->SetCaption(LoadResString(SSettingsTriggerMode) + QStringLiteral(": \n") +
                                     LoadResString(SSettingsInternal));
  SelectNumRadar = 0;
  if (Main()) {
    if (const TCustomIniFile* ini = Main()->MainIni()) {
      const int left = ini->ReadInteger(kSettingsPos, QStringLiteral("left"), 20);
      const int top = ini->ReadInteger(kSettingsPos, QStringLiteral("top"), 20);
      const int width = ini->ReadInteger(kSettingsPos, QStringLiteral("width"), 550);
      const int height = ini->ReadInteger(kSettingsPos, QStringLiteral("height"), 440);
      SetBounds(left, top, width, height);
      if (ini->ReadInteger(kSettingsPos, QStringLiteral("WindowState"), 0) == wsMaximized) SetWindowState(wsMaximized);
    }
  }
  for (int i = 1; i < ChannelCount; ++i) {
    auto* clone = static_cast<TChart*>(CloneComponentWithIndex(i, nullptr, ChartAmp));
    ChartAmp_[static_cast<size_t>(i)] = clone;
    clone->TopAxis()->SetTitle(LoadResString(SSettingsAmplitudeN) + QString::number(i));
    Series_[static_cast<size_t>(i)] =
        static_cast<TLineSeries*>(FindComponent(QStringLiteral("Series_") + QString::number(i)));
    SizeSeries_[static_cast<size_t>(i)] =
        static_cast<TPointSeries*>(FindComponent(QStringLiteral("SizeSeries_") + QString::number(i)));
  }
  for (int i = 0; i < ChannelCount; ++i) {
    TPointSeries* size = SizeSeries_[static_cast<size_t>(i)];
    if (size) {
      size->Clear();
      size->AddXY(-4.096, 0);
      size->AddXY(4.096, 0);
    }
    TChart* chart = ChartAmp_[static_cast<size_t>(i)];
    chart->OnClick = [this](TObject* sender) { ChartAmpClick(sender); };
  }
  // The media menu: 23 items sharing one handler.
  MediumPopupMenu->Items()->Clear();
  for (int i = 0; i < MediumCount; ++i) {
    TMenuItem* item = Item(this, MediumPopupMenu->Items(), Main() ? Main()->ListOfMedium[static_cast<size_t>(i)].Title : QString());
    item->OnClick = [this, i](TObject*) { MediumClick(i); };
  }
  Series->SetYValuesOrder(loAscending);
  Series->SetXValuesOrder(loNone);
  NumActiveView = 0;
  SelectChart(0);
  Panel1Width = Panel1->Width();
  Panel3Click();  // collapsed
}

DUvova3DuruZuza* TSettingsForm::Main() const { return main_ && main_ == MainWindow ? main_ : nullptr; }

void TSettingsForm::WritePosition(TCustomIniFile& ini) const {
  const TWindowState state = WindowState();
  ini.WriteInteger(kSettingsPos, QStringLiteral("WindowState"), state);
  if (state == wsMaximized) return;
  ini.WriteInteger(kSettingsPos, QStringLiteral("left"), Left());
  ini.WriteInteger(kSettingsPos, QStringLiteral("top"), Top());
  ini.WriteInteger(kSettingsPos, QStringLiteral("width"), Width());
  ini.WriteInteger(kSettingsPos, QStringLiteral("height"), Height());
}

void TSettingsForm::FormDestroy() {
  if (DUvova3DuruZuza* main = Main())
    if (TCustomIniFile* ini = main->MainIni()) WritePosition(*ini);
}

void TSettingsForm::FormShow() {
  StartPaintLastTrace = false;
  flChangeOnLineFilter = false;
  TView2DForm* view = View();
  OldFileName = view ? view->Caption() : QString();
  if (Main()) {
    FilePathMemo->SetText(Main()->LastFolder());
    FilePathMemo->SetHint(Main()->LastFolder());
  }
  if (view) {
    FilePrefixEdit->SetText(view->FilePrefix());
    FileCountDigitEdit->SetValueInt(view->FileCount());
  }
  SelectChart(0);
  LayoutCharts();
  for (TLineSeries* series : Series_) {
    series->SetYValuesOrder(loAscending);
    series->SetXValuesOrder(loNone);
  }
  if (Main())
    for (int i = 0; i < MediumPopupMenu->Items()->Count() && i < MediumCount; ++i)
      MediumPopupMenu->Items()->Items(i)->SetCaption(Main()->ListOfMedium[static_cast<size_t>(i)].Title);
  const T2Dview* first = Channel(0);
  st = first ? first->Settings() : nullptr;
  if (st && st->GetTopoType() == ttNil && Main() && Main()->MainIni())
    SetLastTopoType(static_cast<TTopoType>(Main()->MainIni()->ReadInteger(QStringLiteral("General"), QStringLiteral("TopoType"), 1)));
  FillCalibrationMenu();
  RefreshForm();
  EnableControls();
  shown_ = true;
  if (view && first) {
    if (FileExists(view->Caption())) {
      if (first->NumTraces() == 0) FileCountDigitEdit->Font()->SetColor(0xFF);
    } else if (Panel1->Width() != CollapsedPanelWidth()) {
      Panel3Click();
    }
  }
}

void TSettingsForm::FormHide() {
  shown_ = false;
  TView2DForm* view = View();
  if (!view || !st) return;
  if (flChangeOnLineFilter) CopyOnlineToTools();
  // After the online chain is stored: the next recording must not silently replace a profile.
  CheckFileNameOnHide();
  if (st->GetRunMode() == rmCont && view->PropN11SpeedButton) {
    view->PropN11SpeedButton->SetDown(true);
    view->PropN11SpeedButton->Click();
  }
  view->ZoomComboBoxChange();
  view->PrepareButtons();
  view->SetScrollBars();
  view->PrepareForRunning();
  if (view->LeftPageControl) view->LeftPageControl->SetEnabled(true);
  view->SaveSTT();
}

void TSettingsForm::FormCloseQuery(bool& CanClose) {
  if (StartCalibrationGain && !SpeedButtonSwitchOn->Down()) {
    CanClose = false;
    return;
  }
  StopOnClose();
  CanClose = true;
}

void TSettingsForm::FormClose() {
  if (!Main()) return;
  for (TView2DForm* view : Main()->RadargramWindows())
    for (int i = 0; i < ChannelCount; ++i)
      if (T2Dview* store = view->GetView2DByIndx(i))
        if (store->Settings()->GetSettingRadar()) store->Settings()->InitSettingsByRadar();
  if (StartCalibrationGain) AbandonGainCalibration();
  if (TView2DForm* view = View()) settings_online::WriteOnlineParameters(settings_online::ChannelsOf(view));
}

void TSettingsForm::FormKeyDown(WORD& Key, TShiftState /*Shift*/) {
  if (EditingFocused()) return;
  switch (Key) {
    case VK_RETURN:
    case VK_ESCAPE:
      Key = 0;
      SetModalResult(mrOk);
      Close();
      return;
    case VK_F1 + 1:
      Key = 0;
      SpeedButtonSwitchOnClick(nullptr);
      return;
    case VK_F1 + 2:
    case VK_F1 + 3:
    case VK_F1 + 4:
    case VK_F1 + 5: {
      const int index = Key - (VK_F1 + 2);
      Key = 0;
      SurveyWindowClick(index);
      return;
    }
    case VK_F1 + 6:
    case VK_F1 + 7:
    case VK_F1 + 8: {
      const int index = Key - (VK_F1 + 6);
      Key = 0;
      TriggerModeClick(index);
      return;
    }
    default:
      return;
  }
}

bool TSettingsForm::EditingFocused() const {
  for (const TWinControl* edit : std::initializer_list<const TWinControl*>{
           SpeedDigitEdit, MemoComments, StackingCurveDigitEdit, StackingVolumeDigitEdit, XOffsetDigitEdit,
           YOffsetDigitEdit, ZOffsetDigitEdit, FilePrefixEdit, FileCountDigitEdit})
    if (edit->Focused()) return true;
  return false;
}

void TSettingsForm::FormResize() {
  LayoutCharts();
  OKBitBtn->SetTop(Panel1->Height() - OKBitBtn->Height() - 4);
  ProgressPanel->SetLeft((Panel2->Width() - ProgressPanel->Width()) / 2);
  ProgressPanel->SetTop((Panel2->Height() - ProgressPanel->Height()) / 2);
}

void TSettingsForm::LayoutCharts() {
  const TView2DForm* view = View();
  const int n = std::clamp(view ? view->CountChannalView : 1, 1, ChannelCount);
  const int width = std::max(1, (ScrollBox1->Width() + n - ChartStack0->Width() - 9) / n);
  for (int i = 0; i < ChannelCount; ++i) {
    TChart* chart = ChartAmp_[static_cast<size_t>(i)];
    if (!chart) continue;
    const bool used = i < n;
    chart->SetWidth(used ? width : 1);
    if (Series_[static_cast<size_t>(i)]) Series_[static_cast<size_t>(i)]->SetActive(used);
  }
  ScrollBox1->SetWidth(ScrollBox1->Width() - 1);
  ScrollBox1->SetWidth(ScrollBox1->Width() + 1);
}

int TSettingsForm::CollapsedPanelWidth() const { return Panel3->Width() + CommentsGroupBox->Width() + 8; }

void TSettingsForm::Panel3Click() {
  if (Panel1->Width() == CollapsedPanelWidth()) {
    Panel1->SetWidth(Panel1Width);
    Panel3->SetHint(LoadResString(SHideSettingsPanel));
    Panel3->SetCaption(QStringLiteral("<"));
    SetMinWidth(Panel1->Width() - Panel3->Width() - CommentsGroupBox->Width() + 742);
  } else {
    Panel1Width = Panel1->Width();
    Panel1->SetWidth(CollapsedPanelWidth());
    Panel3->SetHint(LoadResString(SShowSettingsPanel));
    Panel3->SetCaption(QStringLiteral(">"));
    SetMinWidth(750);
  }
}

void TSettingsForm::OKBitBtnClick() {
  if (TView2DForm* view = View()) view->SaveDefault();
}

void TSettingsForm::SelectChart(int index) {
  if (NumActiveView >= 0 && NumActiveView < ChannelCount && ChartAmp_[static_cast<size_t>(NumActiveView)])
    ChartAmp_[static_cast<size_t>(NumActiveView)]->SetColor(clBtnFace);
  NumActiveView = index;
  SelectNumRadar = index;
  if (ChartAmp_[static_cast<size_t>(index)]) ChartAmp_[static_cast<size_t>(index)]->SetColor(SelectedChartColor);
}

void TSettingsForm::ChartAmpClick(TObject* Sender) {
  int index = 0;
  for (int i = 0; i < ChannelCount; ++i)
    if (ChartAmp_[static_cast<size_t>(i)] == Sender) index = i;
  SelectChart(index);
  if (TView2DForm* view = View()) {
    XOffsetDigitEdit->SetValueReal(settings_window::StoredToOffset(view->DeviceX()));
    YOffsetDigitEdit->SetValueReal(settings_window::StoredToOffset(view->DeviceY()));
    ZOffsetDigitEdit->SetValueReal(settings_window::StoredToOffset(view->DeviceZ()));
  }
}

void TSettingsForm::ChartAmpGetAxisLabel(TChartAxis* Sender, double value, QString& LabelText) {
  if (!Sender || Sender->Kind() != akLeft) return;
  int channel = 0;
  for (int i = 0; i < ChannelCount; ++i)
    if (ChartAmp_[static_cast<size_t>(i)] && ChartAmp_[static_cast<size_t>(i)]->LeftAxis() == Sender) channel = i;
  const T2Dview* store = Channel(channel);
  if (!store) store = Channel(0);
  if (!store) return;
  LabelText = FloatToStrF(store->Settings()->SampleToTime(RoundToInt32(value)), ffFixed, 15, 1);
}

// ---- Window messages ---------------------------------------------------------------------------

void TSettingsForm::FinishAllLoadRadar() {
  LayoutCharts();
  RefreshForm();
  EnableControls();
  TView2DForm* view = View();
  for (int i = 0; view && i < ChannelCount; ++i)
    if (T2Dview* store = view->GetView2DByIndx(i))
      if (IOnlineStages* stages = store->OnlineStages()) stages->InitWavelet();
}

void TSettingsForm::DeviceListChanged() {
  if (!Main() || Main()->RadargramWindows().empty() || !st) return;
  SpeedButtonSwitchOn->SetEnabled(PreviewAllowed());
  MenuRun->SetEnabled(SpeedButtonSwitchOn->Enabled());
  if (Shown()) RefreshSurveyWindowCaptions();
  if (!SpeedButtonSwitchOn->Enabled()) {
    SpeedButtonSwitchOn->SetDown(false);
    SetPreviewCaptions(false);
  }
}

void TSettingsForm::EnableControls() {
  const T2Dview* first = Channel(0);
  st = first ? first->Settings() : nullptr;
  const bool editable = first && !first->WasOpen && !first->WasStarted;
  for (TControl* control : std::initializer_list<TControl*>{
           WindowSurveyButton, NumSamplesUp, NumSamplesDown, TrackBarStacking, GroupBoxOdometer, BitBtnDirection,
           FilePathMemo, ChangePathSB, FilePrefixEdit, FileCountDigitEdit, StackingCurveDigitEdit,
           StackingVolumeDigitEdit, TriggerModeSpeedButton, TopoDeviceButton})
    control->SetEnabled(editable);
  for (TMenuItem* item : {SingleMenu, InternalMenu, ExternalMenu}) item->SetEnabled(editable);
  for (TControl* control : std::initializer_list<TControl*>{sbWavelet, sbWindowedBackgroundRemoval, sbGain})
    control->SetEnabled(editable);
  if (StartCalibrationGain) AbandonGainCalibration();
  const bool preview = editable && PreviewAllowed();
  SpeedButtonSwitchOn->SetEnabled(preview);
  MenuRun->SetEnabled(preview);
  StartCalibrationSpeedButton->SetEnabled(preview);
  StartCalibrationGain = false;
  StartCalibrationSpeedButton->SetCaption(LoadResString(SSettingsStartCalibration));
  ProgressPanel->SetVisible(false);
}

// ---- Language switch -------------------------------------------------------------------------------

namespace settings_form_language {

// Texts the window's operations show by its state, by their resource names.
constexpr TResourceString kStop{"SSettingsStop", u"Stop"};
constexpr TResourceString kBackward{"SSettingsBackward", u"Backward"};

// The fixed texts: a shown text equal to one of them as it read before the
// switch (or starting with it, as "Survey window:\n1,5 ns" and "Amplitude #2"
// do) takes its text in the new language.
constexpr const TResourceString* kFixedTexts[] = {
    &SSettingsFolder,       &SSettingsFilePrefix,     &SSettingsFileIndex,       &SSettingsNumSamples,
    &SSettingsTraceStacking, &SSettingsCurvature,     &SSettingsMax,             &SSettingsAverageStacking,
    &SSettingsWaveSpeed,    &SSettingsTopoDevice,     &SSettingsStepOfAcquisition, &SSettingsDecimationGps,
    &SSettingsSelectStep,   &SSettingsDirection,      &SSettingsForward,         &SSettingsProfileOffset,
    &SSettingsByCourse,     &SSettingsAside,          &SSettingsByHeight,        &SSettingsLimits,
    &SSettingsTracePerSecond, &SSettingsMovementSpeed, &SSettingsModel,          &SSettingsComments,
    &SSettingsStart,        &SSettingsOk,             &SSettingsFile,            &SSettingsOpenSettings,
    &SSettingsSaveSettings, &SSettingsSavePreset,     &SSettingsGeneralPreferences, &SSettingsMoveAntenna,
    &SSettingsStartCalibration, &SSettingsStopCalibration, &SSettingsToolsOnline,  &SGprSettingsCaption,
    &SSettingsOnlineWaveletHint, &SSettingsOnlineBackgroundHint, &SSettingsOnlineGainHint,
    &SSettingsSingle,       &SSettingsInt,            &SSettingsExt,             &SSettingsInternal,
    &SSettingsTriggerMode,  &SSettingsSurveyWindow,   &SSettingsUnknown,         &SSettingsAmplitude,
    &SSettingsAmplitudeN,   &SSettingsStacking,       &SHideSettingsPanel,       &SShowSettingsPanel,
    &SSettingsDefault,      &kStop,                   &kBackward,                &SGprSettingsProfileCaption};

}  // namespace settings_form_language

std::vector<QString> TSettingsForm::FixedTextsNow() {
  std::vector<QString> texts;
  for (const TResourceString* text : settings_form_language::kFixedTexts) texts.push_back(LoadResString(*text));
  return texts;
}

void TSettingsForm::ReloadTexts() {
  const auto& fixed = settings_form_language::kFixedTexts;
  const std::vector<QString> before = TextsShown;
  // A line's new text, or the line itself when it is none of the fixed texts.
  auto retextLine = [&](const QString& line) {
    size_t best = std::size(fixed);
    for (size_t i = 0; i < std::size(fixed); ++i) {
      if (line == before[i]) return LoadResString(*fixed[i]);
      if (!before[i].isEmpty() && line.startsWith(before[i]) &&
          (best == std::size(fixed) || before[i].size() > before[best].size()))
        best = i;
    }
    return best == std::size(fixed) ? line : LoadResString(*fixed[best]) + line.mid(before[best].size());
  };
  // Two-line captions ("Trigger Mode: \nInternal") line by line.
  auto retext = [&](const QString& text) {
    QStringList lines = text.split(u'\n');
    for (QString& line : lines) line = retextLine(line);
    return lines.join(u'\n');
  };
  if (TView2DForm* view = View(); view && Caption() == Format(before.back(), {view->Caption()}))
    SetCaption(Format(LoadResString(SGprSettingsProfileCaption), {view->Caption()}));
  else
    SetCaption(retext(Caption()));
  std::vector<TChart*> charts(ChartAmp_.begin(), ChartAmp_.end());
  for (int i = 0; i < ComponentCount(); ++i) {
    TComponent* component = Components(i);
    if (auto* item = dynamic_cast<TMenuItem*>(component)) {
      item->SetCaption(retext(item->Caption()));
    } else if (auto* control = dynamic_cast<TControl*>(component)) {
      // What the user typed or chose stays as it is.
      const bool userText = dynamic_cast<TCustomEdit*>(control) || dynamic_cast<TMemo*>(control) ||
                            dynamic_cast<TComboBox*>(control) || dynamic_cast<TListBox*>(control);
      if (!userText) control->SetCaption(retext(control->Caption()));
      control->SetHint(retext(control->Hint()));
      if (auto* chart = dynamic_cast<TChart*>(control)) charts.push_back(chart);
    }
  }
  for (TChart* chart : charts) {
    if (!chart) continue;
    chart->SetTitle(retext(chart->Title()));
    chart->TopAxis()->SetTitle(retext(chart->TopAxis()->Title()));
  }
  // Start and Stop of the preview have names of their own.
  SetPreviewCaptions(SpeedButtonSwitchOn->Down());
  // Names kept elsewhere: the topo devices and the online stages.
  for (const TTopoType type : SettingsTopoMenuOrder) TopoItems[type]->SetCaption(TopoDeviceName(type));
  if (OnlinePluginCheckListBox) ShowOnlineStageNames();
  StartCalibrationSpeedButton->SetCaption(
      LoadResString(StartCalibrationGain ? SSettingsStopCalibration : SSettingsStartCalibration));
  TextsShown = FixedTextsNow();
}
