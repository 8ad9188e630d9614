#pragma once
// TSettingsForm: the acquisition settings window ("GPR Settings"), in which the
// operator sets up the next recording of the current radargram window before and
// while a radar runs: survey window, number of samples, stacking (flat or
// depth-dependent), wave speed, trigger mode, topo device and its step,
// direction, profile offsets, comments, the file to record, and a live preview
// of the last trace of every channel.
//
// The window edits `st`, channel 0's settings of the current radargram window,
// and after every change copies them to every channel of that window
// (SetRadarSettings). While it is shown the radar link posts each received trace
// to it (WM_PAINTLASTTRACE) instead of recording it.
//
// One window for the whole run, created hidden at start-up and owned by the
// application object; shown modally by the main window ("GPR settings", Shift+F3,
// and Create's "No"). The arithmetic lives in settings_arithmetic.h.
//
// Threads: user-interface thread, except Shown() and the handle, which the radar
// link's reader threads read (SettingsForm is set while the window lives).

#include "acquisition/settings_arithmetic.h"
#include "platform/rtl/resource_strings.h"
#include "platform/ui/forms.h"
#include "platform/ui/language_forms.h"
#include "profiledata/gpr_constants.h"
#include "radar/online_dialog_hooks.h"
#include "radar/trace_capacity.h"

#include <QString>

#include <array>
#include <atomic>
#include <vector>

class DUvova3DuruZuza;
class TAdvPopupMenu;
class TBitBtn;
class TCheckListBox;
class TChart;
class TChartAxis;
class TCustomIniFile;
class TDigitEdit;
class TEdit;
class TGroupBox;
class TImage;
class TImageList;
class TLabel;
class TLineSeries;
class TListBox;
class TMainMenu;
class TMemo;
class TMenuItem;
class TPanel;
class TPointSeries;
struct TRecordFileControls;
class TRadar;
class TScrollBox;
class TSettingData;
class TSpeedButton;
class TTrackBar;
class TView2DForm;
class T2Dview;

// The radar set changed (slots filled or emptied): posted by the main window.
constexpr UINT WM_DEVICELISTCHANGED = WM_USER + 426;

RESOURCESTRING(SGprSettingsCaption, "GPR Settings");
RESOURCESTRING(SGprSettingsProfileCaption, "GPR Settings, Profile: %s");
RESOURCESTRING(SSettingsSingle, "Single");
RESOURCESTRING(SSettingsInt, "Int");
RESOURCESTRING(SSettingsExt, "Ext");
RESOURCESTRING(SSettingsInternal, "Internal");
RESOURCESTRING(SSettingsTriggerMode, "Trigger Mode");
RESOURCESTRING(SSettingsSurveyWindow, "Survey Window");
RESOURCESTRING(SSettingsUnknown, "Unknown");
RESOURCESTRING(SSettingsAmplitude, "Amplitude");
RESOURCESTRING(SSettingsAmplitudeN, "Amplitude #");
RESOURCESTRING(SSettingsStacking, "Stacking");
RESOURCESTRING(SHideSettingsPanel, "Hide settings panel");
RESOURCESTRING(SShowSettingsPanel, "Show settings panel");
RESOURCESTRING(SSettingsDefault, "Default");
RESOURCESTRING(SSettingsToolsOnline, "Tools online");
RESOURCESTRING(SSettingsOnlineWaveletHint, "Online Wavelet properties");
RESOURCESTRING(SSettingsOnlineBackgroundHint, "Online Windowed Background Removal properties");
RESOURCESTRING(SSettingsOnlineGainHint, "Online Gain properties");
RESOURCESTRING(SSettingsMoveAntenna, "Move the antenna");
RESOURCESTRING(SSettingsStartCalibration, "Start calibration");
RESOURCESTRING(SSettingsStopCalibration, "Stop calibration");

class TSettingsForm : public TForm, public IOnlineDialogHost, public ILanguageForm {
public:
  static constexpr int ChannelCount = 5;
  static constexpr TColor SelectedChartColor = 13750783;
  static constexpr TColor TraceColor = 0xFF0000;

  // main: the main window whose current radargram window the form edits.
  TSettingsForm(TComponent* AOwner, DUvova3DuruZuza* main);
  // The application object's CreateForm: the program's main window.
  explicit TSettingsForm(TComponent* AOwner);
  ~TSettingsForm() override;

  // ---- Fields ----------------------------------------------------------------------
  settings_window::TGainArray Gain{};
  int Panel1Width = 0;
  bool StartCalibrationGain = false;
  int NumActiveView = 0;
  int NumSurveyWindowSelect = 0;
  int NumTriggerModeSelect = 0;
  bool flChangeOnLineFilter = false;
  QString OldFileName;
  bool StartPaintLastTrace = false;
  // Set while the window fills its controls: their change handlers do nothing.
  bool Loading = false;
  TSettingData* st = nullptr;  // channel 0's settings (not owned)
  std::array<TChart*, ChannelCount> ChartAmp_{};
  std::array<TLineSeries*, ChannelCount> Series_{};
  std::array<TPointSeries*, ChannelCount> SizeSeries_{};
  int SelectNumRadar = 0;

  // ---- Controls ----------------------------------------------------------------------
  TMainMenu* MainMenu1 = nullptr;
  TMenuItem *MenuFile = nullptr, *MenuDefault = nullptr, *MenuOpenSettings = nullptr, *MenuSaveSettings = nullptr,
            *SavePreset1 = nullptr, *MenuRun = nullptr, *MenuGeneralPreferences = nullptr;
  TPanel *Panel1 = nullptr, *Panel2 = nullptr, *Panel3 = nullptr, *ProgressPanel = nullptr;
  TScrollBox* ScrollBox1 = nullptr;
  TMemo* FilePathMemo = nullptr;
  TSpeedButton* ChangePathSB = nullptr;
  TEdit* FilePrefixEdit = nullptr;
  TDigitEdit* FileCountDigitEdit = nullptr;
  TGroupBox* FileGroupBox = nullptr;
  TSpeedButton* WindowSurveyButton = nullptr;
  TAdvPopupMenu* DepthPopupMenu = nullptr;
  std::array<TMenuItem*, 4> SurveyWindow{};
  TGroupBox* GroupBox2 = nullptr;
  TLabel* LabelNumSamples = nullptr;
  TSpeedButton *NumSamplesUp = nullptr, *NumSamplesDown = nullptr;
  TGroupBox* GroupBox3 = nullptr;
  TPanel *FlatSteckingPanel = nullptr, *AdvancedStackingPanel = nullptr;
  TTrackBar* TrackBarStacking = nullptr;
  TLabel* LabelStacking = nullptr;
  TDigitEdit *StackingCurveDigitEdit = nullptr, *StackingVolumeDigitEdit = nullptr;
  TLabel* AverageStackingLabel = nullptr;
  TGroupBox* LightSpeedGroupBox = nullptr;
  TDigitEdit* SpeedDigitEdit = nullptr;
  TSpeedButton* MeniumButton = nullptr;
  TAdvPopupMenu* MediumPopupMenu = nullptr;
  TSpeedButton* TriggerModeSpeedButton = nullptr;
  TAdvPopupMenu* TriggerPopupMenu = nullptr;
  TMenuItem *SingleMenu = nullptr, *InternalMenu = nullptr, *ExternalMenu = nullptr;
  TGroupBox* GroupBoxOdometer = nullptr;
  TImage* TopoTypeImage = nullptr;
  TLabel *TopoTitleLabel = nullptr, *LabelOdometer = nullptr, *OdometerStaticText = nullptr,
         *GPSStaticText = nullptr;
  TSpeedButton *TopoDeviceButton = nullptr, *MultOdometrUp = nullptr, *MultOdometrDown = nullptr,
               *TopoCalibrationButton = nullptr;
  TAdvPopupMenu* TopoTypePopupMenu = nullptr;
  // The devices' pictures, at the index of their TTopoType value.
  TImageList* TopoTypeImages = nullptr;
  TMenuItem* GeneralPreferencesMenu = nullptr;
  // The topo items by TTopoType (ttNil has none).
  std::array<TMenuItem*, TopoTypeCount> TopoItems{};
  TAdvPopupMenu* TopoCalibrationPopupMenu = nullptr;
  TListBox* OdometerListBox = nullptr;
  TGroupBox* GroupBox4 = nullptr;
  TBitBtn* BitBtnDirection = nullptr;
  TGroupBox* OffsetGroupBox = nullptr;
  TDigitEdit *XOffsetDigitEdit = nullptr, *YOffsetDigitEdit = nullptr, *ZOffsetDigitEdit = nullptr;
  TGroupBox* SpeedGroupBox = nullptr;
  TLabel *PRFLabel = nullptr, *MaxSpeedLabel = nullptr, *Label6 = nullptr;
  TGroupBox* GroupBox1 = nullptr;
  TLabel* LabelRadarType = nullptr;
  TGroupBox* CommentsGroupBox = nullptr;
  TMemo* MemoComments = nullptr;
  TSpeedButton* SpeedButtonSwitchOn = nullptr;
  TSpeedButton* StartCalibrationSpeedButton = nullptr;
  TBitBtn* OKBitBtn = nullptr;
  TChart* ChartAmp = nullptr;
  TLineSeries* Series = nullptr;
  TPointSeries* SizeSeries = nullptr;
  TChart* ChartStack0 = nullptr;
  TLineSeries* GainSeries = nullptr;

  // ---- Operations other windows call -------------------------------------------------
  void SetRadarSettings();
  void PrepareGain();
  void RefreshForm();
  // WM_PAINTLASTTRACE: n samples of the trace in channel slot c.
  void PaintLastTrace(int64_t n, int64_t c);
  void FinishAllLoadRadar();
  void DeviceListChanged();
  // Shown to the radar link's reader threads.
  bool Shown() const { return shown_; }
  // Chart repaints asked since the window was created (a burst of traces asks
  // many; the toolkit paints each chart once).
  int PreviewRefills(int channel) const { return refills_[static_cast<size_t>(channel)]; }

  // ---- Online chain switches, their dialogs and the gain calibration
  // (settings_form_online.cpp; the algorithms are in settings_online.h) ----------------
  TGroupBox* GroupBoxPluginOnline = nullptr;
  // Items OnlinePluginWaveletItem, OnlinePluginBackgroundItem, OnlinePluginGainItem.
  TCheckListBox* OnlinePluginCheckListBox = nullptr;
  TSpeedButton *sbWavelet = nullptr, *sbWindowedBackgroundRemoval = nullptr, *sbGain = nullptr;
  TLabel *GainCalibrLabel = nullptr, *TracesCalibrationLabel = nullptr;
  TImage* ProgressImage = nullptr;
  // The marks from channel 0's stages, each then given to every channel.
  void SetOnlinePluginChecked();
  // TypePlugin (0 wavelet, 1 background removal, 2 gain): that stage's switch in
  // every channel of the current radargram window.
  void SetApplayAllOnlinePlugin(int TypePlugin, bool aApplay);
  // The chain tools of the window go to its channels' stages; OnAll: the marks
  // then show channel 0's switches as the tools set them.
  void Sinchronize3ToolsToOnline(TView2DForm& window, bool OnAll);
  // The stages become the current radargram window's chain (emptied first).
  void CopyOnlineToTools();
  // The online chain on one previewed trace of channel c, in place; during a
  // gain calibration the raw trace is collected and the processed one measured.
  void ProcessPreviewTrace(int32_t* trace, int32_t n, int c);
  void OnlinePluginCheckListBoxClickCheck();
  void OnlinePluginCheckListBoxDblClick();
  void sbWaveletClick();
  void sbWindowedBackgroundRemovalClick();
  void sbGainClick();
  void StartCalibrationSpeedButtonClick();
  // ---- IOnlineDialogHost ----
  void SetParamOnlinePlugin(const QString& NamePlugin, const TOnlineParametrs& P) override;
  TPoint ChartAmpClientOrigin() const override;
  int ChartAmpHeight() const override;
  int ChartAmpPlotHeight() const override;
  void SetOnlinePluginChecked(int item, bool checked) override;
  const TSettingData* CurrentSettings() const override;
  // -----------------------------------------------------------------------------------------
  // ---- Language switch (ILanguageForm) -----------------------------------------------------
  // Every fixed text the window shows (captions, hints, menu items, chart
  // titles) in the new language; the texts that follow its state (trigger
  // mode, preview, direction) as that state gives them.
  void ReloadTexts() override;
  // The window's fixed texts in the language in force when they were last set.
  std::vector<QString> TextsShown = FixedTextsNow();
  static std::vector<QString> FixedTextsNow();

  // ---- Handlers ----------------------------------------------------------------------
  void FormCreate();
  void FormShow();
  void FormHide();
  void FormCloseQuery(bool& CanClose);
  void FormClose();
  void FormDestroy();
  void FormKeyDown(WORD& Key, TShiftState Shift);
  void FormResize();
  void SpeedButtonSwitchOnClick(TObject* Sender);
  void TrackBarStackingChange();
  void NumSamplesUpClick();
  void NumSamplesDownClick();
  void SetOverStepFromButton(int next);
  void SurveyWindowClick(int index);
  void TriggerModeClick(int index);
  void SpeedDigitEditChangeFinish();
  void MediumClick(int index);
  void BitBtnDirectionClick();
  void MemoCommentsChange();
  void OffsetDigitEditChangeFinish(int axis);
  void StackingCurveDigitEditChangeFinish();
  void StackingVolumeDigitEditChangeFinish();
  void MultOdometrUpClick(TShiftState shift);
  void MultOdometrDownClick(TShiftState shift);
  void TopoItemClick(TTopoType type);
  void GPSMenuClick();
  // The preferences dialog, shown modally and freed; then the step of the
  // device chosen there.
  void GeneralPreferencesMenuClick();
  void CalibrationItemClick(int index);
  void OKBitBtnClick();
  void ChartAmpClick(TObject* Sender);
  void ChartAmpGetAxisLabel(TChartAxis* Sender, double value, QString& LabelText);
  void Panel3Click();
  void GroupEnter(TGroupBox* group);
  void ResetGroupColors();

  // ---- Pieces of the operations -------------------------------------------------------
  TView2DForm* View() const;
  void RefreshSurveyWindowCaptions();
  void ApplySurveyWindow(int index);
  void PrepareStackingControls();
  void ApplyAdvancedStacking();
  void ShowLimits();
  void ShowStepLabel();
  void SetAmpRange(int channel, double minimum, double maximum);
  void SetAllAmpRanges();
  void RestartRunningRadars();
  void FillCalibrationMenu();
  void EnableControls();
  void LayoutCharts();
  void StopOnClose();
  void SelectChart(int index);
  // The settings panel's width when collapsed.
  int CollapsedPanelWidth() const;
  // Writes section Settingspos of the main settings file: WindowState, and
  // unless maximised the bounds.
  void WritePosition(TCustomIniFile& ini) const;
  // LastTopoType lives in the main window's settings (General/TopoType).
  TTopoType LastTopoType() const;
  void SetLastTopoType(TTopoType type);

  // ---- The file to record, settings files and presets (settings_form_files.cpp) -------
  // The naming rules live in record_file_naming.h, the preset names in file_commands.h.
  class TOpenDialog* SettingsOpenDialog = nullptr;
  class TSaveDialog* SaveSettingsDialog = nullptr;
  // The folder, prefix and index controls as their shared handlers take them
  // (record_file_controls.h).
  TRecordFileControls RecordFileControls();
  void FilePrefixEditChange();
  void FileCountDigitEditChangeFinish();
  void ChangePathSBClick();
  void MenuDefaultClick();
  void MenuOpenSettingsClick();
  void MenuSaveSettingsClick();
  void SavePreset1Click();
  // The rename check of FormHide: the next recording never silently replaces
  // an existing profile.
  void CheckFileNameOnHide();
  // Creates the two dialogs and connects the handlers above (at creation).
  void WireFileEvents();

private:
  // The main window while it lives (the settings window may outlive it at exit).
  DUvova3DuruZuza* Main() const;
  void BuildLayout();
  void BuildMenus();
  void BuildCharts();
  void WireEvents();
  void SetTriggerCaption();
  void SetSurveyCaption();
  bool EditingFocused() const;
  T2Dview* Channel(int index) const;
  TRadar* CurrentRadar() const;
  bool PreviewAllowed() const;
  void SetPreviewCaptions(bool running);
  // Online chain (settings_form_online.cpp).
  void BuildOnlineControls();
  void ApplyOnlineSwitch();
  void StopGainCalibration();
  void AbandonGainCalibration();
  void ShowCalibrationState();
  // The check list's stage names in the current language, the marks kept.
  void ShowOnlineStageNames();

  DUvova3DuruZuza* main_ = nullptr;
  std::atomic<bool> shown_{false};
  std::array<int, ChannelCount> refills_{};
  std::vector<settings_window::TWheelCalibration> calibrations_;
};

// The settings window while it lives (nullptr before and after).
extern std::atomic<TSettingsForm*> SettingsForm;
