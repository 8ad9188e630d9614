// The general preferences dialog: its controls, its life cycle, the radar list,
// the GPS tab, the options tab and its window messages. The Wi-Fi tab's handlers
// are in general_pref_wifi.cpp.

#include "acquisition/general_pref_form.h"

#include "acquisition/main_form.h"
#include "acquisition/radar_discovery.h"
#include "acquisition/record_file_controls.h"
#include "acquisition/settings_form.h"
#include "platform/rtl/ini_files.h"
#include "platform/rtl/sys_utils.h"
#include "platform/ui/place_controls.h"
#include "platform/ui/application.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/buttons.h"
#include "platform/ui/combo_box.h"
#include "platform/ui/edit_controls.h"
#include "platform/ui/image.h"
#include "platform/ui/mask_edit.h"
#include "platform/ui/memo.h"
#include "platform/ui/menus.h"
#include "platform/ui/message_boxes.h"
#include "platform/ui/page_control.h"
#include "platform/ui/panels.h"
#include "platform/ui/std_controls.h"
#include "platform/ui/string_grid.h"
#include "profiledata/digit_edit.h"
#include "profiledata/form_charset.h"
#include "radar/active_radar.h"
#include "radar/control_radar.h"
#include "radar/packet_codes.h"
#include "radar/radar.h"
#include "radar/radar_messages.h"
#include "radargram/view2d_form.h"
#include "profiledata/channel_store.h"

#include <QElapsedTimer>

#include <algorithm>
#include <thread>

std::atomic<TGeneralPreferensesForm*> GeneralPreferensesForm{nullptr};

RESOURCESTRING(SPrefNumberOfChannels, "Number of channels");
RESOURCESTRING(SPrefViewSectOfDeep, "View Sect Of Deep");
RESOURCESTRING(SPrefAlphaScanDepth, "Alpha ScanDepth");
RESOURCESTRING(SPrefNormalizationAllTraces, "Normalization at All traces");
RESOURCESTRING(SPrefTopoDevice, "Topo Device");
RESOURCESTRING(SPrefNmeaDevice, "NMEI device");
RESOURCESTRING(SPrefInclinometers, "Inclinometers");
RESOURCESTRING(SPrefWiFi, "Wi-Fi");
RESOURCESTRING(SPrefOptions, "Options");
RESOURCESTRING(SPrefOk, "&OK");
RESOURCESTRING(SPrefChannel, "Channel");
RESOURCESTRING(SPrefModel, "Model");
RESOURCESTRING(SPrefFirmware, "Firmware");
RESOURCESTRING(SPrefSerial, "Serial");
RESOURCESTRING(SPrefShowOnly, "Show %s only");
RESOURCESTRING(SPrefUnknown, "Unknown");
RESOURCESTRING(SPrefGprModel, "GPR Model");
RESOURCESTRING(SPrefSerialNumber, "s/n");
RESOURCESTRING(SPrefTypeNmea, "Type NMEI string:");
RESOURCESTRING(SPrefBitsPerSecond, "Bits per second:");
RESOURCESTRING(SPrefSaveNmea, "Save NMEI Settings to GPR");
RESOURCESTRING(SPrefShowGpsData, "Show GPS Data");
RESOURCESTRING(SPrefGpsData, "GPS Data");
RESOURCESTRING(SPrefGpsTime, "Time");
RESOURCESTRING(SPrefGpsLatitude, "Latitude");
RESOURCESTRING(SPrefGpsLongitude, "Longitude");
RESOURCESTRING(SPrefGpsQuality, "Quality Indicator");
RESOURCESTRING(SPrefGpsSatellites, "Satellites");
RESOURCESTRING(SPrefGpsPrecision, "Precision");
RESOURCESTRING(SPrefSimpleMode, "Simplified user interface");
RESOURCESTRING(SPrefFastDrawing, "Fast Drawing");
RESOURCESTRING(SPrefTimeZero, "Time zero correction");
RESOURCESTRING(SPrefSettings, "Settings");
RESOURCESTRING(SPrefFolder, "Folder");
RESOURCESTRING(SPrefFilePrefix, "File name Prefix");
RESOURCESTRING(SPrefFileIndex, "File name Index");

namespace {

// The NMEA speeds by index; 0 is not known.
const QStringList kNmeaSpeeds = {QStringLiteral("unknown"), QStringLiteral("1200"),  QStringLiteral("2400"),
                                 QStringLiteral("4800"),    QStringLiteral("9600"),  QStringLiteral("19200"),
                                 QStringLiteral("38400"),   QStringLiteral("57600")};
constexpr int kDefaultSpeedIndex = 3;
// The wait for the last GPS reply after "Show GPS Data" is released by OK.
constexpr int kGpsReleaseWaitMs = 1000;

TTabSheet* Sheet(TComponent* owner, TPageControl* pages, const QString& hint, const QString& caption) {
  auto* sheet = new TTabSheet(owner);
  sheet->SetPageControl(pages);
  sheet->SetCaption(caption);
  // The tab strip shows the tab's hint under the pointer.
  sheet->SetHint(hint);
  sheet->SetHintText(hint);
  return sheet;
}

TDigitEdit* DigitEdit(TComponent* owner, TWinControl* parent, int left, int top, int width, int minimum,
                      int maximum, int value) {
  auto* edit = Place<TDigitEdit>(owner, parent, left, top, width, 24);
  edit->SetAvailableDecimal(false);
  edit->SetMinVal(minimum);
  edit->SetMaxVal(maximum);
  edit->SetValueInt(value);
  return edit;
}

}  // namespace

TGeneralPreferensesForm::TGeneralPreferensesForm(TComponent* AOwner) : TGeneralPreferensesForm(AOwner, MainWindow) {}

TGeneralPreferensesForm::TGeneralPreferensesForm(TComponent* AOwner, DUvova3DuruZuza* main)
    : TForm(AOwner), main_(main), calibrationHost_(main) {
  SetCaption(LoadResString(SGeneralPreferencesCaption));
  SetBorderStyle(bsToolWindow);
  SetPosition(poMainFormCenter);
  SetClientWidth(ClientW);
  SetClientHeight(ClientH);
  BuildLayout();
  WireEvents();
  GeneralPreferensesForm = this;
  FormCreate();
}

TGeneralPreferensesForm::~TGeneralPreferensesForm() {
  // The handler the dialog replaced comes back with its going.
  if (Application) Application->OnException = previousException_;
  TGeneralPreferensesForm* self = this;
  GeneralPreferensesForm.compare_exchange_strong(self, nullptr);
}

void ShowGeneralPreferences(DUvova3DuruZuza* main) {
  if (GeneralPreferensesForm.load() || !Application) return;
  auto* dialog = new TGeneralPreferensesForm(Application, main);
  dialog->ShowModal();
  dialog->Free();
}

// ---- Layout ----------------------------------------------------------------------------------------

void TGeneralPreferensesForm::BuildLayout() {
  TopPanel = Place<TPanel>(this, this, 0, 0, ClientW, 96);
  TopPanel->SetAlign(alTop);
  GPRImage = Place<TImage>(this, TopPanel, 4, 4, 88, 88);
  Label27 = LabelAt(this, TopPanel, 100, 8, LoadResString(SPrefNumberOfChannels));
  CountChannalEd = DigitEdit(this, TopPanel, 240, 4, 48, 1, 12, 1);
  CountChannalEd->SetEnabled(false);
  GPRDeviceLabel = LabelAt(this, TopPanel, 100, 40, QString());
  GPRDeviceLabel->SetVisible(false);
  cbGlobalViewSectOfDeep = Place<TCheckBox>(this, TopPanel, 300, 4, 140, 20);
  cbGlobalViewSectOfDeep->SetCaption(LoadResString(SPrefViewSectOfDeep));
  cbAlphaScanDepth = Place<TCheckBox>(this, TopPanel, 300, 26, 140, 20);
  cbAlphaScanDepth->SetCaption(LoadResString(SPrefAlphaScanDepth));
  cbNormalizationAtAlltraces = Place<TCheckBox>(this, TopPanel, 300, 48, 140, 20);
  cbNormalizationAtAlltraces->SetCaption(LoadResString(SPrefNormalizationAllTraces));
  for (TCheckBox* box : {cbGlobalViewSectOfDeep, cbAlphaScanDepth, cbNormalizationAtAlltraces}) box->SetVisible(false);

  MiddlePanel = Place<TPanel>(this, this, 0, 96, ClientW, 110);
  MiddlePanel->SetAlign(alTop);
  ChannelStringGrid = Place<TStringGrid>(this, MiddlePanel, 0, 0, ClientW, 110);
  ChannelStringGrid->SetAlign(alClient);
  ChannelStringGrid->SetColCount(5);

  GeneralPrefPageControl = Place<TPageControl>(this, this, 0, 206, ClientW, ClientH - 206 - 40);
  GeneralPrefPageControl->SetTabPosition(tpLeft);
  TopoDeviceTabSheet = Sheet(this, GeneralPrefPageControl, LoadResString(SPrefTopoDevice), QString());
  NMEITabSheet = Sheet(this, GeneralPrefPageControl, LoadResString(SPrefNmeaDevice), QString());
  InclinometersTabSheet = Sheet(this, GeneralPrefPageControl, LoadResString(SPrefInclinometers), QString());
  WiFiTabSheet = Sheet(this, GeneralPrefPageControl, LoadResString(SPrefWiFi), QString());
  OptionsTabSheet = Sheet(this, GeneralPrefPageControl, LoadResString(SPrefOptions), QString());
  TopoTab = std::make_unique<TTopoDeviceTab>(this, TopoDeviceTabSheet, calibrationHost_);
  BuildNmeaTab();
  InclinometerTab = std::make_unique<TInclinometerTab>(this, InclinometersTabSheet, calibrationHost_);
  BuildWiFiTab();
  BuildOptionsTab();

  BitBtn1 = Place<TBitBtn>(this, this, ClientW - 100, ClientH - 34, 92, 28);
  BitBtn1->SetCaption(LoadResString(SPrefOk));
}

void TGeneralPreferensesForm::BuildNmeaTab() {
  Label5 = LabelAt(this, NMEITabSheet, 8, 12, LoadResString(SPrefTypeNmea));
  NMEIMaskEdit = Place<TMaskEdit>(this, NMEITabSheet, 140, 8, 90, 24);
  NMEIMaskEdit->SetEditMask(QStringLiteral(">\\$LLLLL"));
  NMEIMaskEdit->SetText(QStringLiteral("$GPGGL"));
  Label7 = LabelAt(this, NMEITabSheet, 8, 44, LoadResString(SPrefBitsPerSecond));
  SpeedNMEIComboBox = Place<TComboBox>(this, NMEITabSheet, 140, 40, 90, 24);
  SpeedNMEIComboBox->SetStyle(csDropDownList);
  SpeedNMEIComboBox->SetItems(kNmeaSpeeds);
  SpeedNMEIComboBox->SetItemIndex(kDefaultSpeedIndex);
  SetHeaderGPSButton = Place<TBitBtn>(this, NMEITabSheet, 240, 8, 150, 28);
  SetHeaderGPSButton->SetCaption(LoadResString(SPrefSaveNmea));
  GetLastNMEIButton = Place<TSpeedButton>(this, NMEITabSheet, 240, 40, 150, 28);
  GetLastNMEIButton->SetCaption(LoadResString(SPrefShowGpsData));
  Label8 = LabelAt(this, NMEITabSheet, 8, 72, QString());
  Label8->SetVisible(false);
  GroupBoxLocationGPR = Place<TGroupBox>(this, NMEITabSheet, 4, 76, 395, 190);
  GroupBoxLocationGPR->SetCaption(LoadResString(SPrefGpsData));
  GroupBoxLocationGPR->SetVisible(false);
  NMEI_GPS_Edit = Place<TEdit>(this, GroupBoxLocationGPR, 6, 18, 380, 22);
  NMEI_GPS_Edit->SetReadOnly(true);
  NMEIListBox = Place<TStringGrid>(this, GroupBoxLocationGPR, 6, 44, 380, 140);
  NMEIListBox->SetColCount(general_pref::GpsColumnCount);
  // The header and one empty row, which the first sentence fills.
  NMEIListBox->SetRowCount(2);
  NMEIListBox->SetDefaultRowHeight(16);
}

void TGeneralPreferensesForm::BuildWiFiTab() {
  auto label = [this](int left, int top, const char* text) {
    WiFiLabels.push_back(LabelAt(this, WiFiTabSheet, left, top, QString::fromLatin1(text)));
  };
  label(8, 12, "SSID");
  SsidEdit = Place<TEdit>(this, WiFiTabSheet, 100, 8, 200, 24);
  label(8, 44, "Password");
  PassEdit = Place<TEdit>(this, WiFiTabSheet, 100, 40, 200, 24);
  label(8, 76, "GPR IP");
  label(8, 108, "Mask");
  for (size_t i = 0; i < 4; ++i) {
    const int left = 100 + static_cast<int>(i) * 52;
    IPDigitEdit[i] = DigitEdit(this, WiFiTabSheet, left, 72, 48, 0, 255, 0);
    NetMaskDigitEdit[i] = DigitEdit(this, WiFiTabSheet, left, 104, 48, 0, 255, 255);
  }
  label(8, 140, "GPR Port");
  PortDigitEdit = DigitEdit(this, WiFiTabSheet, 100, 136, 80, 256, 65000, 2000);
  ChannelLabel = LabelAt(this, WiFiTabSheet, 8, 172, QStringLiteral("Channel"));
  ChannelDigitEdit = DigitEdit(this, WiFiTabSheet, 100, 168, 48, 0, 14, wifi_settings::DefaultChannel);
  ToolBar1 = Place<TToolBar>(this, WiFiTabSheet, 310, 8, 80, 40);
  SoftAPToolButton = Place<TToolButton>(this, ToolBar1, 0, 0, 38, 38);
  InfraToolButton = Place<TToolButton>(this, ToolBar1, 40, 0, 38, 38);
  for (TToolButton* button : {SoftAPToolButton, InfraToolButton}) {
    button->SetStyle(tbsCheck);
    button->SetGrouped(true);
  }
  SoftAPToolButton->SetHint(QStringLiteral("Without Router"));
  InfraToolButton->SetHint(QStringLiteral("With Router"));
  SoftAPToolButton->SetDown(true);
  SaveWiFiSettButton = Place<TBitBtn>(this, WiFiTabSheet, 310, 200, 80, 28);
  SaveWiFiSettButton->SetCaption(QStringLiteral("Save"));
  SaveWiFiSettButton->SetEnabled(false);
}

void TGeneralPreferensesForm::BuildOptionsTab() {
  SimpleModeCheckBox = Place<TCheckBox>(this, OptionsTabSheet, 8, 8, 200, 28);
  SimpleModeCheckBox->SetCaption(LoadResString(SPrefSimpleMode));
  SimplestretchPaintCheckBox = Place<TCheckBox>(this, OptionsTabSheet, 8, 40, 200, 28);
  SimplestretchPaintCheckBox->SetCaption(LoadResString(SPrefFastDrawing));
  EqNullCheckBox = Place<TCheckBox>(this, OptionsTabSheet, 8, 72, 200, 28);
  EqNullCheckBox->SetCaption(LoadResString(SPrefTimeZero));
  SettingsGroupBox = Place<TGroupBox>(this, OptionsTabSheet, 4, 104, 395, 150);
  SettingsGroupBox->SetCaption(LoadResString(SPrefSettings));
  LabelAt(this, SettingsGroupBox, 8, 20, LoadResString(SPrefFolder));
  FilePathMemo = Place<TMemo>(this, SettingsGroupBox, 8, 38, 340, 40);
  FilePathMemo->SetReadOnly(true);
  ChangePathSB = Place<TSpeedButton>(this, SettingsGroupBox, 352, 38, 32, 32);
  ChangePathSB->SetCaption(QStringLiteral("..."));
  LabelAt(this, SettingsGroupBox, 8, 86, LoadResString(SPrefFilePrefix));
  FilePrefixEdit = Place<TEdit>(this, SettingsGroupBox, 8, 104, 180, 24);
  LabelAt(this, SettingsGroupBox, 200, 86, LoadResString(SPrefFileIndex));
  FileCountDigitEdit = DigitEdit(this, SettingsGroupBox, 200, 104, 100, 0, 1000000, 0);
}

void TGeneralPreferensesForm::WireEvents() {
  OnShow = [this](TObject*) { FormShow(); };
  OnHide = [this](TObject*) { FormHide(); };
  OnCloseQuery = [this](TObject*, bool& canClose) { FormCloseQuery(canClose); };
  SetHeaderGPSButton->OnClick = [this](TObject*) { SetHeaderGPSButtonClick(); };
  GetLastNMEIButton->OnClick = [this](TObject*) { GetLastNMEIButtonClick(); };
  SimpleModeCheckBox->OnClick = [this](TObject*) { SimpleModeCheckBoxClick(); };
  SimplestretchPaintCheckBox->OnClick = [this](TObject*) { SimplestretchPaintCheckBoxClick(); };
  EqNullCheckBox->OnClick = [this](TObject*) { EqNullCheckBoxClick(); };
  cbGlobalViewSectOfDeep->OnClick = [this](TObject*) { cbGlobalViewSectOfDeepClick(); };
  cbAlphaScanDepth->OnClick = [this](TObject*) {
    if (Main()) Main()->AlphaScanDepth = cbAlphaScanDepth->Checked();
  };
  cbNormalizationAtAlltraces->OnClick = [this](TObject*) {
    if (Main()) Main()->NormalizationOnlineAllTraces_ = cbNormalizationAtAlltraces->Checked();
  };
  FilePrefixEdit->OnChange = [this](TObject*) { FilePrefixEditChange(); };
  FileCountDigitEdit->OnChangeFinish = [this](TObject*) { FileCountDigitEditChangeFinish(); };
  ChangePathSB->OnClick = [this](TObject*) { ChangePathSBClick(); };
  BitBtn1->OnClick = [this](TObject*) { BitBtn1Click(); };
  SaveWiFiSettButton->OnClick = [this](TObject*) { SaveWiFiSettButtonClick(); };
  for (TToolButton* button : {SoftAPToolButton, InfraToolButton})
    button->OnClick = [this, button](TObject*) { InfraToolButtonClick(button); };
  for (TDigitEdit* edit : {IPDigitEdit[0], IPDigitEdit[1], IPDigitEdit[2], IPDigitEdit[3], NetMaskDigitEdit[0],
                           NetMaskDigitEdit[1], NetMaskDigitEdit[2], NetMaskDigitEdit[3], PortDigitEdit,
                           ChannelDigitEdit})
    edit->OnChangeFinish = [this](TObject*) { IPDigitEdit1ChangeFinish(); };
  SetMessageHandler(WM_WHEELPULSE, [this](TMessage& m) { TopoTab->WheelPulse(m.WParam, m.LParam); });
  SetMessageHandler(WM_PAINTLASTTRACE, [this](TMessage&) { InclinometerTab->PaintLastTrace(); });
  SetMessageHandler(WM_DEVICELISTCHANGED, [this](TMessage&) { DeviceListChanged(); });
  SetMessageHandler(WM_RADARSLOADED, [this](TMessage&) { RadarsLoaded(); });
  SetMessageHandler(WM_GPSDATA, [this](TMessage&) { GpsData(); });
  SetMessageHandler(WM_WIFISETTINGS, [this](TMessage&) { WiFiSettings(); });
  SetMessageHandler(WM_WIFISETTINGSSTORED, [this](TMessage&) { WiFiSettingsStored(); });
}

// ---- Life cycle ------------------------------------------------------------------------------------

void TGeneralPreferensesForm::FormCreate() {
  if (Main()) SetFormCharsetForLanguage(*this, Main()->Language());
  // The inclinometer tab makes its own toggles push-like.
  for (TCheckBox* box : {SimpleModeCheckBox, SimplestretchPaintCheckBox, EqNullCheckBox}) box->SetPushLike(true);
  GpsDataRunning = false;
  HasError = false;
  if (Application) {
    previousException_ = Application->OnException;
    Application->OnException = [this](TObject* sender, std::exception_ptr error) {
      ApplicationException(sender, error);
    };
  }
  ResetRadarList();
  GeneralPrefPageControl->SetActivePageIndex(tabTopo);
}

TRadar* TGeneralPreferensesForm::CurrentRadar() const { return Main() ? Main()->CurrentRadar() : nullptr; }

TRadar* TGeneralPreferensesForm::MasterRadar() const {
  const TActiveRadar* set = Main() ? Main()->ActiveRadar() : nullptr;
  return set ? set->GetMasterRadar() : nullptr;
}

void TGeneralPreferensesForm::FormShow() {
  shown_ = true;
  DUvova3DuruZuza* main = Main();
  GeneralPrefPageControl->SetActivePageIndex(tabTopo);
  if (main) {
    cbGlobalViewSectOfDeep->SetChecked(main->Settings.ViewSectOfDeep);
    const bool slices = cbGlobalViewSectOfDeep->Checked();
    cbAlphaScanDepth->SetVisible(slices);
    cbNormalizationAtAlltraces->SetVisible(slices);
    cbAlphaScanDepth->SetChecked(main->AlphaScanDepth);
    cbNormalizationAtAlltraces->SetChecked(main->NormalizationOnlineAllTraces_);
  }
  ResetRadarList();
  CountChannalEd->SetMaxVal(5);
  CountChannalEd->SetValueInt(NewViewChannalCount());
  if (main) main->SetCurrentRadar(MasterRadar());
  RequestWiFiSettings();
  if (TRadar* radar = CurrentRadar()) {
    radar->SendCommand(bcpGetNMEICfg, 0, nullptr);
    radar->SendCommand(bcpReadSerNum, 0, nullptr);
    radar->SendCommand(bcpPing2, 0, nullptr);
  }
  ResetRadarList();
  SetGpsHeader();
  AddAllLoadRadar();
  // The topo indicator came with the radar-dependent state (AddAllLoadRadar).
  TopoTab->OdometerPanel->SetVisible(calibrationHost_.LastTopoType() != ttGPS);
  TopoTab->LoadList();
  GeneralPrefPageControl->SetActivePageIndex(tabTopo);
  if (main) {
    SimpleModeCheckBox->SetChecked(main->Settings.SimpleMode);
    SimplestretchPaintCheckBox->SetChecked(main->Settings.SimpleStretchPaint);
    SimplestretchPaintCheckBox->SetCaption(LoadResString(SPrefFastDrawing));
    EqNullCheckBox->SetChecked(main->Settings.EqNull);
    EqNullCheckBox->SetCaption(LoadResString(SPrefTimeZero));
    EqNullCheckBox->SetVisible(false);
    GeneralPrefPageControl->SetActivePageIndex(main->Settings.SimpleMode ? tabOptions : tabTopo);
    FilePathMemo->SetText(main->LastFolder());
    FilePathMemo->SetHint(main->LastFolder());
    FilePrefixEdit->SetText(main->Settings.PrefixFiles);
    FileCountDigitEdit->SetValueInt(main->Settings.CountFiles);
  }
}

void TGeneralPreferensesForm::FormHide() { shown_ = false; }

void TGeneralPreferensesForm::FormCloseQuery(bool& CanClose) {
  if (Main()) Main()->SetCurrentRadar(MasterRadar());
  TopoTab->WriteList();
  // An inclinometer step in progress keeps the dialog open; otherwise the tab
  // stores the calibration and stops a test run.
  CanClose = InclinometerTab->CloseQuery();
}

void TGeneralPreferensesForm::BitBtn1Click() {
  if (GetLastNMEIButton->Down()) {
    GetLastNMEIButton->SetDown(false);
    GetLastNMEIButtonClick();
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < kGpsReleaseWaitMs) {
      Application->ProcessMessages();
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
  if (DUvova3DuruZuza* main = Main()) {
    main->Settings.LastFolder = FilePathMemo->Text();
    main->Settings.PrefixFiles = FilePrefixEdit->Text();
    main->Settings.CountFiles = FileCountDigitEdit->ValueInt();
  }
  SetModalResult(mrOk);
}

// ---- The radar list ----------------------------------------------------------------------------------

void TGeneralPreferensesForm::SetRadarRow(int row, const QString& channel, const QString& model,
                                          const QString& firmware, const QString& serial) {
  ChannelStringGrid->SetCells(0, row, channel);
  ChannelStringGrid->SetCells(1, row, model);
  ChannelStringGrid->SetCells(2, row, firmware);
  ChannelStringGrid->SetCells(3, row, serial);
  ChannelStringGrid->SetCells(4, row, QStringLiteral("1"));
}

void TGeneralPreferensesForm::ResetRadarList() {
  const TActiveRadar* set = Main() ? Main()->ActiveRadar() : nullptr;
  const bool several = set && set->GetCountPluginRadars() >= 2;
  GPRDeviceLabel->SetVisible(several);
  if (several)
    GPRDeviceLabel->SetCaption(LoadResString(SPrefGprModel) + QStringLiteral(": ") + set->GetListRadar() +
                               QStringLiteral(" ,") + LoadResString(SPrefSerialNumber) + QStringLiteral(": ") +
                               QString::number(set->SerNumDevice()));
  const TResourceString* headers[] = {&SPrefChannel, &SPrefModel, &SPrefFirmware, &SPrefSerial, &SPrefShowOnly};
  ChannelStringGrid->SetColCount(5);
  for (int col = 0; col < 5; ++col) {
    ChannelStringGrid->SetCells(col, 0, LoadResString(*headers[col]));
    ChannelStringGrid->SetColWidths(col, RadarColumnWidths[static_cast<size_t>(col)]);
  }
  ChannelStringGrid->SetRowCount(2);
  ChannelStringGrid->SetFixedRows(1);
  const QString unknown = LoadResString(SPrefUnknown);
  SetRadarRow(1, QStringLiteral("0"), unknown, unknown, unknown);
  GPRImage->Picture()->SetSize(0, 0);
  ChannelStringGrid->SetRow(-1);
}

void TGeneralPreferensesForm::AddAllLoadRadar() {
  ResetRadarList();
  DUvova3DuruZuza* main = Main();
  const TControlRadar* set = main ? main->ControlRadar() : nullptr;
  const TActiveRadar* active = main ? main->ActiveRadar() : nullptr;
  int row = 1;
  if (set) {
    const bool multi = active && TControlRadar::isGPRDeviceReverseInclinometr(active->TypeGPRDevice());
    for (int slot = 0; slot < set->CountRadars(); ++slot) {
      const TRadar* radar = set->SlotRadar(slot);
      if (!radar) continue;
      if (row >= ChannelStringGrid->RowCount()) ChannelStringGrid->SetRowCount(row + 1);
      const bool own = !multi || GPRDeviceLabel->Visible();
      SetRadarRow(row, QString::number(radar->NumChannalRadar()),
                  own ? radar->RadarTypeStr() : active->GetListRadar(), QString::number(radar->FirmwareVer()),
                  own ? QString::number(radar->SerNum()) : QString::number(active->SerNumDevice()));
      ++row;
    }
  }
  RefreshRadarState();
  if (!MasterRadar()) {
    const QString unknown = LoadResString(SPrefUnknown);
    SetRadarRow(1, QStringLiteral("0"), unknown, unknown, unknown);
  }
  const int channels = ChannelStringGrid->RowCount() - 1;
  CountChannalEd->SetValueInt(channels);
  const bool one = channels == 1;
  WiFiTabSheet->SetTabVisible(one);
  const auto& items = TopoTab->TopoItems;
  items[ttGPS]->SetEnabled(one);
  if (!one && items[ttGPS]->Checked()) items[ttTrolleyA]->SetChecked(true);
  if (!cbGlobalViewSectOfDeep->Visible()) cbGlobalViewSectOfDeep->SetChecked(false);
}

void TGeneralPreferensesForm::RefreshRadarState() {
  TopoTab->RefreshIndicator();
  TRadar* radar = CurrentRadar();
  InclinometerTab->EnableControls(radar != nullptr);
  if (!radar) {
    SpeedNMEIComboBox->SetItemIndex(0);
    NMEIMaskEdit->SetText(QStringLiteral("$GPGGA"));
    EnableWiFiTab(nullptr);
    return;
  }
  const TActiveRadar* set = Main()->ActiveRadar();
  if (set && radar->NumChannalRadar() == set->GetMasterChannal()) {
    std::array<uint8_t, 5> letters{};
    {
      const std::lock_guard lock(radar->SectPaint);
      letters = radar->NMEIString;
    }
    QString type = QStringLiteral("$");
    for (uint8_t letter : letters) type += QChar::fromLatin1(static_cast<char>(letter));
    NMEIMaskEdit->SetText(type);
    SpeedNMEIComboBox->SetItemIndex(std::min<int>(radar->NMEISpeed, kNmeaSpeeds.size() - 1));
    Label8->SetCaption(radar->LastNMEA());
    TopoTab->AddOdometer->SetEnabled(true);
  }
  EnableWiFiTab(radar);
}

void TGeneralPreferensesForm::WriteChannelVisibility() {
  TView2DForm* view = Main() ? Main()->CurChild() : nullptr;
  const T2Dview* first = view ? view->GetView2DByIndx(0) : nullptr;
  if (first && first->WasOpen) return;
  const int count = NewViewChannalCount();
  auto& visible = GlobalChannalVisible();
  for (int i = 0; i < static_cast<int>(visible.size()); ++i)
    visible[static_cast<size_t>(i)] = i < count && ChannelStringGrid->Cells(4, i + 1) == QStringLiteral("1");
}

// ---- Radar set messages -----------------------------------------------------------------------------------

void TGeneralPreferensesForm::DeviceListChanged() {
  if (TRadar* radar = CurrentRadar()) {
    radar->SendCommand(bcpReadSerNum, 0, nullptr);
    if (radar->NMEISpeed == 0) radar->SendCommand(bcpGetNMEICfg, 0, nullptr);
  } else if (TopoTab->MeasureOdometrPanel->Visible()) {
    // The radar of a wheel calibration went: the run is cancelled, and there
    // is nothing to add a calibration with.
    TopoTab->CancelSpeedButtonClick();
    TopoTab->AddOdometer->SetEnabled(false);
  }
  RequestWiFiSettings();
}

void TGeneralPreferensesForm::RadarsLoaded() {
  DeviceListChanged();
  RefreshRadarState();
  AddAllLoadRadar();
  WriteChannelVisibility();
}

// ---- GPS ---------------------------------------------------------------------------------------------------

void TGeneralPreferensesForm::SetGpsHeader() {
  const TResourceString* headers[] = {&SPrefGpsTime,  &SPrefGpsLatitude,   &SPrefGpsLongitude,
                                      &SPrefGpsQuality, &SPrefGpsSatellites, &SPrefGpsPrecision};
  for (int col = 0; col < general_pref::GpsColumnCount; ++col) {
    NMEIListBox->SetCells(col, 0, LoadResString(*headers[col]));
    NMEIListBox->SetColWidths(col, general_pref::GpsColumnWidths[static_cast<size_t>(col)]);
  }
}

std::vector<general_pref::TGpsRow> TGeneralPreferensesForm::GpsRows() const {
  std::vector<general_pref::TGpsRow> rows(static_cast<size_t>(NMEIListBox->RowCount()));
  for (int row = 0; row < NMEIListBox->RowCount(); ++row)
    for (int col = 0; col < general_pref::GpsColumnCount; ++col)
      rows[static_cast<size_t>(row)][static_cast<size_t>(col)] = NMEIListBox->Cells(col, row);
  return rows;
}

void TGeneralPreferensesForm::ShowGpsRows(const std::vector<general_pref::TGpsRow>& rows) {
  NMEIListBox->SetRowCount(static_cast<int>(rows.size()));
  for (int row = 1; row < static_cast<int>(rows.size()); ++row)
    for (int col = 0; col < general_pref::GpsColumnCount; ++col)
      NMEIListBox->SetCells(col, row, rows[static_cast<size_t>(row)][static_cast<size_t>(col)]);
  // The last row in view.
  NMEIListBox->SetTopRow(NMEIListBox->RowCount() - NMEIListBox->VisibleRowCount());
}

void TGeneralPreferensesForm::GetLastNMEIButtonClick() {
  if (GetLastNMEIButton->Down()) GroupBoxLocationGPR->SetVisible(true);
}

void TGeneralPreferensesForm::GpsData() {
  if (GpsDataRunning) return;
  GpsDataRunning = true;
  struct TClear {
    bool& flag;
    ~TClear() { flag = false; }
  } clear{GpsDataRunning};
  TRadar* radar = CurrentRadar();
  if (!radar || !GetLastNMEIButton->Down()) return;
  const QString text = LinkNmeaText();
  if (text.size() > general_pref::GpsMinTextLength) NMEI_GPS_Edit->SetText(text);
  const QString sentence = radar->LastNMEA();
  if (sentence.size() > general_pref::GpsMinSentenceLength) {
    std::vector<general_pref::TGpsRow> rows = GpsRows();
    general_pref::AddGpsSentence(rows, sentence);
    ShowGpsRows(rows);
  }
}

void TGeneralPreferensesForm::SetHeaderGPSButtonClick() {
  TRadar* radar = CurrentRadar();
  if (!radar || HasError) return;
  const std::optional<std::array<uint8_t, 7>> params =
      general_pref::NmeaConfigFor(SpeedNMEIComboBox->ItemIndex(), NMEIMaskEdit->Text());
  if (!params) return;
  radar->SendCommand(bcpLoadNMEICfg, static_cast<uint8_t>(params->size()), params->data());
  ShowMessage(LoadResString(SSaveNmeaRestart));
}

void TGeneralPreferensesForm::ApplicationException(TObject* Sender, std::exception_ptr error) {
  if (dynamic_cast<TMaskEdit*>(Sender)) {
    HasError = true;
    MessageDlg(LoadResString(SInvalidNmeaString), mtWarning, TMsgDlgButtons{mbOK}, 0);
    return;
  }
  if (Application) Application->ShowException(error);
}

// ---- Options -------------------------------------------------------------------------------------------------

void TGeneralPreferensesForm::SimpleModeCheckBoxClick() {
  DUvova3DuruZuza* main = Main();
  if (!main) return;
  main->Settings.SimpleMode = SimpleModeCheckBox->Checked();
  main->ReadDummyDSTT();
  main->UpdateInterface();
}

void TGeneralPreferensesForm::SimplestretchPaintCheckBoxClick() {
  if (Main()) Main()->Settings.SimpleStretchPaint = SimplestretchPaintCheckBox->Checked();
  SimplestretchPaintCheckBox->SetCaption(LoadResString(SPrefFastDrawing));
}

void TGeneralPreferensesForm::EqNullCheckBoxClick() {
  if (Main()) Main()->Settings.EqNull = EqNullCheckBox->Checked();
  EqNullCheckBox->SetCaption(LoadResString(SPrefTimeZero));
  if (Main()) Main()->RepaintChilds();
}

void TGeneralPreferensesForm::cbGlobalViewSectOfDeepClick() {
  const bool on = cbGlobalViewSectOfDeep->Checked();
  if (Main()) {
    Main()->Settings.ViewSectOfDeep = on;
    Main()->SaveGlobalViewSectOfDeepInAllChild();
  }
  cbAlphaScanDepth->SetVisible(on);
  cbNormalizationAtAlltraces->SetVisible(on);
}

TRecordFileControls TGeneralPreferensesForm::RecordFileControls() {
  return {this, FilePathMemo, ChangePathSB, FilePrefixEdit, FileCountDigitEdit};
}

void TGeneralPreferensesForm::FilePrefixEditChange() {
  if (DUvova3DuruZuza* main = Main()) record_file_controls::PrefixChanged(*main, RecordFileControls());
}

void TGeneralPreferensesForm::FileCountDigitEditChangeFinish() {
  if (DUvova3DuruZuza* main = Main()) record_file_controls::IndexChanged(*main, RecordFileControls());
}

void TGeneralPreferensesForm::ChangePathSBClick() {
  if (DUvova3DuruZuza* main = Main()) record_file_controls::ChangeFolder(*main, RecordFileControls());
}
