#pragma once
// TGeneralPreferensesForm: the "General Preferences" dialog, for what belongs
// to the connected radar set and to the program rather than to one recording:
// the list of connected radars, the topo device, the GPS receiver's NMEA
// configuration and a live view of its data, the inclinometer, the radar's
// Wi-Fi settings and a few program options.
//
// Created on demand into GeneralPreferensesForm, shown modally and freed (the
// global back to nil) by its callers: the main window's General Preferences
// command and the settings window's topo menu (ShowGeneralPreferences below).
// While the global is set the radar link posts its GPS data, Wi-Fi replies,
// wheel reports and preview traces to the dialog's handle.
//
// While the dialog exists the application's exception handler is the dialog's
// hook (an invalid NMEA sentence type); the handler it replaced comes back when
// the dialog goes.
//
// The topo device tab (the topo menu and the wheel calibrations) and the
// inclinometer tab are TTopoDeviceTab and TInclinometerTab, placed on the
// dialog's tab sheets over the main window (TMainCalibrationHost). The GPS rows,
// the NMEA type check and the Wi-Fi tag list are in general_pref_ops.h and
// wifi_settings.h; the folder, prefix and index handlers are the file naming's
// (record_file_naming.h).
//
// Threads: user-interface thread, except Shown() and Handle(), which the radar
// link's reader threads read through the main window's atomics.

#include "acquisition/calibration_host.h"
#include "acquisition/general_pref_ops.h"
#include "acquisition/inclinometer_calibration.h"
#include "acquisition/topo_device_tab.h"
#include "acquisition/wifi_settings.h"
#include "platform/rtl/resource_strings.h"
#include "platform/ui/forms.h"
#include "profiledata/gpr_constants.h"
#include "radar/radar_hooks.h"

#include <QString>

#include <array>
#include <atomic>
#include <exception>
#include <functional>
#include <memory>
#include <vector>

class DUvova3DuruZuza;
class TBitBtn;
class TCheckBox;
class TComboBox;
class TDigitEdit;
class TEdit;
class TGroupBox;
class TImage;
class TLabel;
class TMaskEdit;
class TMemo;
class TPageControl;
class TPanel;
struct TRecordFileControls;
class TRadar;
class TSpeedButton;
class TStringGrid;
class TTabSheet;
class TToolBar;
class TToolButton;

RESOURCESTRING(SGeneralPreferencesCaption, "General Preferences");
RESOURCESTRING(SSaveNmeaRestart, "Unplug Data connector and plug it back\r\nto restart antenna unit.");
RESOURCESTRING(SInvalidNmeaString,
               "Invalid NMEI string.\r\nThe string should begins with $ sign and contains five Latin letters");

class TGeneralPreferensesForm : public TForm {
public:
  // The radar list's columns: "Channel", "Model", "Firmware", "Serial", "Show %s only".
  static constexpr std::array<int, 5> RadarColumnWidths{70, 180, 90, 90, 0};
  static constexpr int ClientW = 446;
  static constexpr int ClientH = 565;
  // Tabs of GeneralPrefPageControl.
  enum TPrefTab : int { tabTopo, tabNmea, tabInclinometers, tabWiFi, tabOptions };

  // main: the main window whose radars and settings the dialog shows.
  TGeneralPreferensesForm(TComponent* AOwner, DUvova3DuruZuza* main);
  // The application object's CreateForm: the program's main window.
  explicit TGeneralPreferensesForm(TComponent* AOwner);
  ~TGeneralPreferensesForm() override;

  // ---- Fields ---------------------------------------------------------------------
  // An invalid NMEA sentence type was entered since the dialog was created.
  bool HasError = false;
  // Set while a WM_GPSDATA is handled.
  bool GpsDataRunning = false;

  // ---- Controls ---------------------------------------------------------------------
  TPanel *TopPanel = nullptr, *MiddlePanel = nullptr;
  TImage* GPRImage = nullptr;
  TLabel *Label27 = nullptr, *GPRDeviceLabel = nullptr;
  TDigitEdit* CountChannalEd = nullptr;
  TCheckBox *cbGlobalViewSectOfDeep = nullptr, *cbAlphaScanDepth = nullptr, *cbNormalizationAtAlltraces = nullptr;
  TStringGrid* ChannelStringGrid = nullptr;
  TPageControl* GeneralPrefPageControl = nullptr;
  TTabSheet *TopoDeviceTabSheet = nullptr, *NMEITabSheet = nullptr, *InclinometersTabSheet = nullptr,
            *WiFiTabSheet = nullptr, *OptionsTabSheet = nullptr;
  TBitBtn* BitBtn1 = nullptr;
  // NMEA tab.
  TLabel *Label5 = nullptr, *Label7 = nullptr, *Label8 = nullptr;
  TMaskEdit* NMEIMaskEdit = nullptr;
  TComboBox* SpeedNMEIComboBox = nullptr;
  TBitBtn* SetHeaderGPSButton = nullptr;
  TSpeedButton* GetLastNMEIButton = nullptr;
  TGroupBox* GroupBoxLocationGPR = nullptr;
  TEdit* NMEI_GPS_Edit = nullptr;
  TStringGrid* NMEIListBox = nullptr;
  // Wi-Fi tab.
  TEdit *SsidEdit = nullptr, *PassEdit = nullptr;
  std::array<TDigitEdit*, 4> IPDigitEdit{};
  std::array<TDigitEdit*, 4> NetMaskDigitEdit{};
  TDigitEdit *PortDigitEdit = nullptr, *ChannelDigitEdit = nullptr;
  TLabel* ChannelLabel = nullptr;
  std::vector<TLabel*> WiFiLabels;
  TToolBar* ToolBar1 = nullptr;
  TToolButton *SoftAPToolButton = nullptr, *InfraToolButton = nullptr;
  TBitBtn* SaveWiFiSettButton = nullptr;
  // Options tab. The folder, prefix and index controls work as the settings
  // window's.
  TCheckBox *SimpleModeCheckBox = nullptr, *SimplestretchPaintCheckBox = nullptr, *EqNullCheckBox = nullptr;
  TGroupBox* SettingsGroupBox = nullptr;
  TMemo* FilePathMemo = nullptr;
  TSpeedButton* ChangePathSB = nullptr;
  TEdit* FilePrefixEdit = nullptr;
  TDigitEdit* FileCountDigitEdit = nullptr;

  // The topo device tab and the inclinometer tab, on their tab sheets.
  std::unique_ptr<TTopoDeviceTab> TopoTab;
  std::unique_ptr<TInclinometerTab> InclinometerTab;

  // ---- Operations ---------------------------------------------------------------------
  void AddAllLoadRadar();
  void ResetRadarList();
  void RefreshRadarState();
  void WriteChannelVisibility();
  // The Wi-Fi request: 0x6B with 07 92 01 00 to a current radar of firmware 6 or later.
  void RequestWiFiSettings();
  // The GPS grid's rows, header row included, as the grid shows them.
  std::vector<general_pref::TGpsRow> GpsRows() const;
  bool Shown() const { return shown_; }

  // ---- Handlers -------------------------------------------------------------------------
  void FormCreate();
  void FormShow();
  void FormCloseQuery(bool& CanClose);
  void FormHide();
  void DeviceListChanged();
  void RadarsLoaded();
  void GpsData();
  void WiFiSettings();
  void WiFiSettingsStored();
  void SetHeaderGPSButtonClick();
  void GetLastNMEIButtonClick();
  void ApplicationException(TObject* Sender, std::exception_ptr error);
  void SimpleModeCheckBoxClick();
  void SimplestretchPaintCheckBoxClick();
  void EqNullCheckBoxClick();
  void cbGlobalViewSectOfDeepClick();
  // The folder, prefix and index, as in the settings window (record_file_controls.h).
  void FilePrefixEditChange();
  void FileCountDigitEditChangeFinish();
  void ChangePathSBClick();
  void BitBtn1Click();
  void SaveWiFiSettButtonClick();
  void InfraToolButtonClick(TToolButton* Sender);
  void IPDigitEdit1ChangeFinish();

private:
  DUvova3DuruZuza* Main() const { return main_; }
  TRadar* CurrentRadar() const;
  TRadar* MasterRadar() const;
  void BuildLayout();
  void BuildNmeaTab();
  void BuildWiFiTab();
  void BuildOptionsTab();
  void WireEvents();
  void SetGpsHeader();
  void ShowGpsRows(const std::vector<general_pref::TGpsRow>& rows);
  void EnableWiFiTab(TRadar* radar);
  void ShowWiFiMode(bool accessPoint);
  TRecordFileControls RecordFileControls();
  void SetRadarRow(int row, const QString& channel, const QString& model, const QString& firmware,
                   const QString& serial);

  DUvova3DuruZuza* main_ = nullptr;
  TMainCalibrationHost calibrationHost_;
  std::atomic<bool> shown_{false};
  bool loading_ = false;
  // Something on the Wi-Fi tab was edited since the radar last stored its settings.
  bool saveWanted_ = false;
  std::function<void(TObject*, std::exception_ptr)> previousException_;
};

// The dialog while it exists (nullptr before and after).
extern std::atomic<TGeneralPreferensesForm*> GeneralPreferensesForm;

// Creates the dialog into GeneralPreferensesForm, shows it modally and frees it
// (the global back to nil). Does nothing while one exists.
void ShowGeneralPreferences(DUvova3DuruZuza* main);
