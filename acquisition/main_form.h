#pragma once
// DUvova3DuruZuza: the main window of the acquisition program, an MDI frame whose
// children are the radargram windows (TView2DForm). It owns the radar
// containers, the program's settings file and the palette library, and keeps
// the process-wide settings that the radargram windows and the channel stores
// read through the interfaces it implements:
// - IAcquisitionShell (profiledata/channel_hooks.h), registered while the window
//   lives;
// - the radargram windows' parts (radargram/radargram_shell.h), handed to each
//   window it creates (Shell()).
// - the radar link's parts (radar/radar_hooks.h), through TMainRadarShell,
//   registered while the window lives; the window owns the radar set.
// The settings file's keys, their defaults and write rules live in main_ini.h;
// the lists it fills in main_lists.h and palette_strips.h.
//
// Commands that later parts of the window build (Save, the menus) answer the
// present state; Run records into the current window and saves at its stop.
//
// Life cycle: FormCreate (OnCreate) reads the settings; the close closes the
// radargram windows last to first and frees the radars; FormDestroy (OnDestroy)
// writes the settings file. Ownership: the window owns its radar containers,
// its settings file and its image lists; the radargram windows are its MDI
// children.
//
// Threads: user-interface thread only.

#include "acquisition/main_ini.h"
#include "acquisition/main_lists.h"
#include "acquisition/main_commands.h"
#include "acquisition/main_tool_bar.h"
#include "acquisition/file_commands.h"
#include "platform/rtl/date_time.h"
#include "platform/rtl/language_files.h"
#include "platform/rtl/resource_strings.h"
#include "platform/ui/forms.h"
#include "platform/ui/language_forms.h"
#include "profiledata/channel_hooks.h"
#include "radar/radar.h"
#include "radargram/radargram_shell.h"
#include "tools/tool_shell.h"

#include <QString>
#include <QStringList>
#include <QUuid>

#include <atomic>
#include <array>
#include <functional>
#include <memory>
#include <vector>

class TActiveRadar;
class TControlRadar;
class TDeviceEventSource;
class TMainRadarShell;
class TPowerEventSource;
class TRadarSet;
class TTimer;
class TImageList;
class TIpcEndpoint;
class TListOfTools;
class TAdvPopupMenu;
class TMainMenu;
class TMenuItem;
class TMemIniFile;
class TOpenDialog;
class TSaveDialog;
class T2Dview;
class TRadarParamReserving;
class TResultCheckingTCP;
class TView2DForm;
class TStatusBar;
class TInfoPanel;
struct TRect;

RESOURCESTRING(SQelGroundPenetratingRadar, "Qel Ground Penetrating Radar");
RESOURCESTRING(SSettingsNotSaved, "The settings could not be saved to \"%s\".\n%s");
// No room for another radargram window (Create, Open, automatic create).
RESOURCESTRING(SInsufficientResources,
               "Insufficient resources to display the profile.\r\nClose the profiles windows  and try again");

class DUvova3DuruZuza : public TForm,
                        public IAcquisitionShell,
                        public IRadargramLayoutShell,
                        public IRadargramFilesShell,
                        public IRadargramRadarsShell,
                        public IRadargramNextWindowShell,
                        public IRadargramRecordingShell,
                        public IRadargramActionsShell,
                        public IRadargramActiveChildShell,
                        public IRadargramDisplayShell,
                        public IRadargramAxesShell,
                        public IRadargramGpsShell,
                        public IRadargramReadoutShell,
                        public IRadargramRunShell,
                        public IRadargramSliceShell,
                        public IRadargramWiFiLossShell,
                        public IRadargramPalettesShell,
                        public IRadargramToolSetsShell,
                        public IToolShell,
                        public ILanguageForm {
public:
  static constexpr int MinimumWidth = 887;

  explicit DUvova3DuruZuza(TComponent* AOwner);
  ~DUvova3DuruZuza() override;

  QString WindowClassName() const override { return QStringLiteral("DUvova3DuruZuza"); }

  // ---- Life cycle ---------------------------------------------------------------
  void FormCreate();
  void FormCloseQuery(TObject* Sender, bool& CanClose);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void FormDestroy();

  // ---- Settings and lists -------------------------------------------------------
  // The program folder with a trailing separator.
  static QString GetExeCurrentDir();
  // The file-naming keys again; with reopen the three keys are first taken from
  // the file on disk (another program may have written them).
  void ReadFileSettings(bool reopen);
  void ReadViewSettings(const TCustomIniFile& ini);
  // Language: the file's locale id, or 1033 and a new language file.
  void ReadLanguageFile();
  // Writes Language into the language file at once; false, reported, when the
  // file cannot be written.
  bool WriteLanguageFile();
  // Makes Language the interface language (English for a locale the program
  // does not know); a locale without a module leaves everything as it was.
  void Lang();
  // Reads the library into PalArray and PalImageList, then refreshes every
  // radargram window's palette buttons.
  void PalReadAll() override;
  void FillMediumList();
  void ScanDSTCL();
  // In simple mode, reads the simple-mode settings container into the active
  // window when that window was not opened from a file.
  void ReadDummyDSTT();
  bool isActiveMDIChildWasOpen() const;
  void SaveGlobalViewSectOfDeepInAllChild();
  void RepaintChilds();
  void UpdateInterface();
  // The command states follow the open windows, the active one and the radar
  // (main_menus.cpp). Start keeps the state acquisition control gives it.
  void Updatemenu() override;

  // The radargram windows, in the frame's child order.
  std::vector<TView2DForm*> RadargramWindows() const;

  // ---- Command line and the program link (main_link.cpp) ---------------------------
  // A new radargram window for a file, a child of this window.
  TView2DForm* NewView2DForm();
  // Opens the profile the command line names (the program's arguments without
  // its own name): `reopensaveclose` marks the window 103, `reopen` 102; only an
  // exact ".dezo" or ".frn" opens, and LastFolder becomes the file's folder.
  void OpenFile(const QStringList& arguments);
  // Binds the window's endpoint, by which a second instance and the planning
  // program reach it; false when it cannot be bound (the program runs on,
  // unreachable).
  bool BindEndpoint();
  // A copy-data request (main_copydata.cpp): 100 and 101 open the text's file
  // (101 with the offsets panel), 102 reopens it alone, 103 opens, saves in
  // place and closes it, 200 and 201 create a linear or arc profile, 300
  // reloads the window of that file, 400 re-reads the language while no window
  // is open; any other code answers 0.
  int64_t WMCopyData(uint64_t code, const QByteArray& bytes);
  // Raises the window and gives it the focus.
  void ActivateFromLink();

  // ---- Program link with the planning program (main_copydata.cpp) -------------------
  // Closes every radargram window, last to first (each asks its own questions).
  void CloseAllChilds();
  // After a save of the current window: to the planning program's window, code
  // 102 with channel 0's file for a window it reopened (LastCopydataMessage
  // 102), code 300 with the caption for one it had created (200). Nothing
  // without the planning program or for any other window.
  void SendSaveMessToVandrel();
  // The language switch: `code` (400) with Language in decimal, when the
  // planning program runs.
  void SendLanguageToVandrel(int code);
  // The planning program's main window class.
  static QString PlanningWindowClass() { return QStringLiteral("TViviraMainForm"); }

  // ---- Exports and imports (main_exports.cpp) -------------------------------------
  // The File menu's Export and Import commands (the menus call them once they
  // are part of the window): the active window's channels as SEG-Y, text or
  // bitmap files, and a SEG-Y file into a new window.
  void ToSEGYExportViewMenuClick();
  void ToMatExportViewMenuClick();
  void ToBMPExportViewMenuClick();
  void ImportFromSEGActionExecute() { ImportSegY(); }
  // A store's processed samples as a SEG-Y file, or its GPS companion; false,
  // reported, when nothing or not everything was written.
  bool WriteSegY(T2Dview& store, const QString& fileName);
  bool WriteGpsCompanion(T2Dview& store, const QString& fileName);
  // Asks for a SEG-Y file and imports it into a new recording window; true
  // when traces were imported.
  bool ImportSegY();
  // The dialogs the commands set for themselves (filter, default extension and
  // title put back afterwards); owned by the window, made on first use.
  TSaveDialog* SaveDialog();
  TOpenDialog* OpenDialog();
  TSaveDialog* SavePictureDialog();
  // The parts a radargram window created by this window holds.
  TRadargramShell Shell() {
    TRadargramShell parts{this, this, this, this, this, this, this, this, this};
    parts.Gps = this;
    parts.Readout = this;
    parts.Run = this;
    parts.Slice = this;
    parts.WiFiLoss = this;
    parts.Palettes = this;
    parts.ToolSets = this;
    return parts;
  }
  // The clock new file names take their default prefix from (tests set a date).
  static void SetToday(std::function<TDateTime()> today);

  // ---- ILanguageForm ------------------------------------------------------------
  void ReloadTexts() override;

  // ---- Fields -----------------------------------------------------------------------
  // The keys of the settings file as the window holds them now.
  TMainIniSettings Settings;
  QString PalettePath;  // program folder + "palset"
  std::unique_ptr<TResultCheckingTCP> ResultCheckingTCP;
  std::unique_ptr<TRadarParamReserving> ReserverRadarParam;
  QString strComNumber;
  int PredCountUSBdevices = 100;
  int CountUSBdevices = 0;
  TModeSystemRadars ModeSystemRadars = msrSingle;
  QString strErrorCreateRadar;
  std::atomic<bool> isDeleteDeviceRunned{false};
  bool startDEVICEREMOVECOMPLETE = false;
  bool RadarPausedWithGPS_ = false;
  std::atomic<bool> WasOverFlow{false};
  double PCLoading = 0;
  bool ErrorNewCreate = false;
  int MDIChildCountOld = 0;
  bool ErrorLoadFile_ = false;
  bool AlphaScanDepth = false;
  bool NormalizationOnlineAllTraces_ = false;
  int32_t LastCreateSaveStartYShift = 0;
  int32_t predLastCreateSaveStartYShift = 0;
  TListOfMedium ListOfMedium;
  QStringList ListOfDSTCL;
  std::vector<int64_t> PalArray{0};
  TImageList* PalImageList = nullptr;  // owned by the window

  // ---- IRadargramToolSetsShell --------------------------------------------------
  QStringList GetListOfDSTCL() const override { return ListOfDSTCL; }
  QString GetSimpleDSTCL() const override { return Settings.SimpleDSTCL; }
  void SetSimpleDSTCL(const QString& value) override { Settings.SimpleDSTCL = value; }
  void SetSimpleBackgroundRemoval(bool value) override { Settings.SimpleBackgroundRemoval = value; }
  void Sinchronize3ToolsToOnline(TView2DForm& window, bool OnAll) override;

  // ---- IRadargramPalettesShell --------------------------------------------------
  // PalArray without its leading "no palette" entry: one offset per palette.
  std::vector<int64_t> PaletteOffsets() const override {
    return PalArray.size() <= 1 ? std::vector<int64_t>{} : std::vector<int64_t>(PalArray.begin() + 1, PalArray.end());
  }
  TImageList* PalettePreviews() const override { return PalImageList; }
  // The tool registry the windows' chains create their tools from; owned by the window.
  TListOfTools* ListOfTools = nullptr;
  // The Create, Open and General Preferences commands may run.
  bool FileActionsEnabled = true;
  // The interface language's locale id (Language).
  int FLanguage = EnglishLocaleId;

  // ---- IAcquisitionShell --------------------------------------------------------
  // The current radar (the `radar` field) serves both the channel stores and the
  // radargram windows.
  TRadar* CurrentRadar() const override { return radar_; }
  TTopoType CurrentTopoType() const override { return Settings.TopoType; }
  uint16_t OdometerMult() const override { return Settings.OdometerMult; }
  IChannelWindow* ActiveChannelWindow() const override;
  void SetErrorLoadFile(bool value) override { ErrorLoadFile_ = value; }
  bool ErrorLoadFile() const override { return ErrorLoadFile_; }
  void SetCurrentTopoType(TTopoType value) override { Settings.TopoType = value; }
  // With a trailing separator; a relative folder is resolved against the
  // program folder.
  QString LastFolder() const override;
  void SetLastFile(const QString& value) override { Settings.LastFile = value; }
  QString LastFile() const override { return Settings.LastFile; }
  TCustomIniFile* MainIni() const override;
  int32_t RadarSetSerNumDevice() const override;
  bool SimpleMode() const override { return Settings.SimpleMode; }

  // ---- IRadargramDisplayShell ---------------------------------------------------
  float KoefArrMax() const override { return Settings.KoefArrMax; }

  // ---- IToolShell ---------------------------------------------------------------
  // Language() serves the tools as it serves the radargram windows.
  std::array<T2Dview*, 5> CurrentViews() const override;
  TPostProcDefaults PostProcDefaults(TPostProcKind kind) const override;
  void SetPostProcDefaults(TPostProcKind kind, const TPostProcDefaults& values) override;

  // ---- IRadargramActiveChildShell ----------------------------------------------
  bool HasActiveMDIChild() const override { return ActiveMDIChild() != nullptr; }
  // The active window's channels with traces, or without any the radars
  // connected, are at most one, and its caption does not end in ".frn".
  bool isActiveMDIChild_OneChannal() const override;

  // ---- IRadargramLayoutShell ----------------------------------------------------
  bool isCloseChild() const override { return isCloseChild_; }
  void SetCloseChild(bool value) override { isCloseChild_ = value; }
  bool isActivatedClosed() const override;
  bool StartResize() const override { return StartResize_; }
  void SetStartResize(bool value) override { StartResize_ = value; }
  bool flNewCreate() const override { return flNewCreate_; }
  void SetflNewCreate(bool value) { flNewCreate_ = value; }
  void SetErrorNewCreate(bool value) override { ErrorNewCreate = value; }
  int ChildAreaWidth() const override { return ClientWidth(); }
  int ChildAreaHeight() const override { return ClientHeight(); }
  TColor PageColor() const override { return clBtnFace; }
  bool AutoDepthOnline() const override { return AutoDepthOnline_; }
  // ---- IRadargramSliceShell ------------------------------------------------------
  void SetAutoDepthOnline(bool value) override { AutoDepthOnline_ = value; }
  bool AlphaScanDepthOn() const override { return AlphaScanDepth; }
  bool NormalizationOnlineAllTraces() const override { return NormalizationOnlineAllTraces_; }
  bool SlotHasRadar(int slot) const override { return GetRadarByIndex(slot) != nullptr; }

  // ---- IRadargramFilesShell -----------------------------------------------------
  QString GlobalPrefixFiles() const override { return Settings.PrefixFiles; }
  int32_t GlobalCountFiles() const override { return Settings.CountFiles; }
  void SetGlobalCountFiles(int32_t value) override { Settings.CountFiles = value; }
  // The file goes to the top of the recent files.
  void AddToReopenList(const QString& fileName) override;

  // ---- IRadargramRadarsShell ----------------------------------------------------
  bool isCheckDeviceRunned() const override { return isCheckDeviceRunned_; }
  void SetCheckDeviceRunned(bool value) override { isCheckDeviceRunned_ = value; }
  ISettingsRadar* GetRadarByIndex(int slot) const override;
  TControlRadar* ControlRadar() const override;
  void SetCurrentRadar(TRadar* radar) override { radar_ = radar; }
  int CountRadarFromMaster() const override { return CountRadarFromMaster_; }
  void SetCountRadarFromMaster(int value) { CountRadarFromMaster_ = value; }
  TActiveRadar* ActiveRadar() const;

  // ---- IRadargramNextWindowShell ------------------------------------------------
  TTypeProfiles GlobalTypeProfiles() const override { return GlobalTypeProfiles_; }
  void SetGlobalTypeProfiles(TTypeProfiles value) override { GlobalTypeProfiles_ = value; }
  TProportional GlobalProportional() const override { return Settings.Proportional; }
  bool GlobalViewSectOfDeep() const override { return Settings.ViewSectOfDeep; }
  bool SimpleBackgroundRemoval() const override { return Settings.SimpleBackgroundRemoval; }
  int Language() const override { return FLanguage; }

  // ---- IRadargramAxesShell ------------------------------------------------------
  bool DataLeftLabelIsTime() const override { return Settings.DataLeftLabelIsTime; }
  std::vector<TMediumProperty> GetListOfMedium() const override { return {ListOfMedium.begin(), ListOfMedium.end()}; }
  // The two unit labels of the tool bar show it once the tool bar is built.
  void SetUnitLabels(const QString& text) override { UnitLabelText = text; }
  void SetGlobalProportional(TProportional value) override { Settings.Proportional = value; }
  QString UnitLabelText;

  // ---- IRadargramReadoutShell ---------------------------------------------------
  // The info boxes show the texts once the tool bar is built; they are kept here.
  // Also shown in the info panel (main_info_panel.cpp).
  void DispInfo(const QString& time, const QString& depth, const QString& trace, const QString& distance) override;
  std::array<QString, 4> CursorInfo;

  // ---- IRadargramRecordingShell -------------------------------------------------
  bool RadarStarted() const override { return RadarStarted_; }
  // The Run command's check.
  bool RunButtonDown() const override { return Commands.RunChecked; }
  TView2DForm* RunChild() const override { return RunChild_; }
  void SetRunChild(TView2DForm* window) override { RunChild_ = window; }
  TView2DForm* CurChild() const override { return CurChild_; }
  void SetCurChild(TView2DForm* window) override { CurChild_ = window; }
  void SetRadarPausedWithGPS(bool value) override { RadarPausedWithGPS_ = value; }
  bool isClosedMain() const override { return isClosedMain_; }
  void ClearTraceSinceWiFiLoss() override { TraceSinceWiFiLoss = false; }
  bool TraceSinceWiFiLoss = false;

  // ---- IRadargramGpsShell -------------------------------------------------------
  bool RadarPausedWithGPS() const override { return RadarPausedWithGPS_; }
  void SetGPSTrekRange(long double x1, long double x2, long double y1, long double y2) override {
    GPSTrekChart_X1 = x1;
    GPSTrekChart_X2 = x2;
    GPSTrekChart_Y1 = y1;
    GPSTrekChart_Y2 = y2;
  }
  // The GPS track chart's range in metres, east (X) and north (Y).
  long double GPSTrekChart_X1 = -5, GPSTrekChart_X2 = 5, GPSTrekChart_Y1 = -5, GPSTrekChart_Y2 = 5;

  // ---- IRadargramActionsShell ---------------------------------------------------
  // The Save command is not part of the window yet: nothing is written, and
  // the answer says so.
  // The Save command without a sender (a window's own save): true when saved.
  bool SaveActionExecute() override { return SaveActionExecute(nullptr); }
  void SetFileActionsEnabled(bool enabled) override { FileActionsEnabled = enabled; }
  // The Direction button shows the current window's direction.
  void SetButtonDirect() override;
  void RefreshGprStatus() override { ShowStatusGPR(); }
  void SetMDIChildCountOld(int value) override { MDIChildCountOld = value; }
  void SetToolDialogActionsEnabled(bool enabled) override;

  // ---- IRadargramRunShell --------------------------------------------------------
  // The Run command's state as the windows see it (the menu item and the tool
  // button show it). Executing it checked
  // starts a recording, unchecked stops and saves it. One Run state (Commands)
  // for the windows and the radar link alike.
  bool RunActionChecked() const override { return Commands.RunChecked; }
  void SetRunActionChecked(bool checked) override {
    Commands.RunChecked = checked;
    ShowRunCommand();
  }
  void RunActionExecute() override;
  bool RunActionEnabled() const override { return Commands.RunEnabled; }
  void SetRunActionEnabled(bool enabled) override { Commands.RunEnabled = enabled; }
  void SetRunImage(int imageIndex, const QString& menuCaption) override {
    Commands.RunPicture = imageIndex;
    Commands.RunCaption = menuCaption;
    ShowRunCommand();
  }
  void SetRadarStarted(bool value) override { RadarStarted_ = value; }
  void SetBindingActionEnabled(bool enabled) override { BindingActionEnabled = enabled; }
  // Also shown in the info panel (main_info_panel.cpp).
  void DispCmCursor(const QString& text) override;
  bool SimpleStretchPaint() const override { return Settings.SimpleStretchPaint; }
  // The window's own stop (a device backup's replay ended): as the Run
  // command's stop, without the automatic save.
  void ActionsInStop() override;
  bool BindingActionEnabled = true;
  QString CmCursorText;

  // ---- IRadargramWiFiLossShell ----------------------------------------------------
  // The name of the recording a Wi-Fi loss interrupted (empty: none).
  QString WiFiInterruptedRecording;
  void ClearWiFiInterruptedRecording() override { WiFiInterruptedRecording.clear(); }
  void SaveWIFIDisconnection() override {
    if (!TraceSinceWiFiLoss) WiFiInterruptedRecording.clear();
  }

  // The radargram windows' own questions run knowing that the program is
  // closing (isClosedMain); a refused close clears the flag again, so the
  // program goes on working normally.
  bool CloseQuery() override;

  // ---- Radar discovery and acquisition control (main_radars.cpp) ----------------------
  // The USB radars: enumerates the serial devices and creates a radar for each
  // radar port, unless the device count is that of the last probe. The class
  // GUID is taken for the enumeration's sake; every class is looked at.
  void ProbeUsbRadars(const QUuid& classGuid);
  // The entries the enumeration visits plus one; strComNumber := the last
  // radar port seen.
  int CountPortDevices(const QUuid& classGuid);
  void DropUsbRadars();
  void DelDeviceAndNil();
  void ReCheckDevice();
  void AfterChangeRadar();
  void ShowStatusGPR();
  void SetAllGlobalChannalVisible();
  // Save, Save As, Print, Direction and GPR settings follow the run state.
  void SetButtonInRunMode(bool running);
  // Every 3000 ms while enabled: probes the Wi-Fi address until a radar answers.
  void TimerPingTimer();
  // The power broadcasts (4 suspend, 18 resume).
  void WMPowerBroadcast(TMessage& message);
  // A device arrived (DBT_DEVICEARRIVAL) or went (DBT_DEVICEREMOVECOMPLETE);
  // name: the device's name text. Only the radar's devices (the name holds
  // strUID, in any case) change anything.
  void WMDeviceChange(UINT event, const QString& name);
  void WMGprStatus(TMessage& message);
  void WMWiFiError(TMessage& message);
  // ---- Run (main_run.cpp) -------------------------------------------------------------
  // F2 and the Start/Stop menu item: flips the Run check and executes it; a
  // start needs a ready radar and a current window made for recording.
  void RunActionClick();
  bool RunActionAllowed() const;
  // The radars start sending into the current window, which becomes RunChild.
  void ActionsInStart();
  // After a Wi-Fi radar came back: the same window records on.
  void ActionsInResume();
  // Stops the radars and finishes the window's recording; unless Sender is a
  // radargram window, the recording is saved under the window's name
  // (WriteToFileChannal), and a failed save says so and leaves it unsaved.
  void ActionsInStop(TObject* Sender);
  // The Acquisition menu with the Run item (F2); more items join it with the menus.
  TMainMenu* MainMenu = nullptr;
  TMenuItem* AcquisitionMenu = nullptr;
  TMenuItem* RunMenuItem = nullptr;
  // "Binding to the baseline" (Insert).
  TMenuItem* SnapMenuItem = nullptr;
  // The recording window, or without one the active window, takes the cursor
  // trace as the origin of its offsets.
  void SnaptoPrincipalAxisActionExecute();

  // Direction: flips the recording (or active) window's direction while its
  // channel 0 holds no trace.
  void ActionDirectExecute();
  // Status panel 3, the radar status. The status bar shows it once it is part
  // of the window; until then this is the text.
  const QString& StatusGprText() const { return StatusGprText_; }
  // The command states Parts of the window set (menus and buttons show them
  // once they are built).
  TMainCommands Commands;
  // The 3000 ms timer that probes for a Wi-Fi radar; owned by the window.
  TTimer* TimerPing = nullptr;
  // The device and power notifications (tests inject events through them).
  TDeviceEventSource* DeviceEvents() const { return deviceEvents_.get(); }
  TPowerEventSource* PowerEvents() const { return powerEvents_.get(); }

  // ---- The general preferences dialog (main_preferences.cpp) ----------------------------------
  // Shows the dialog modally with the active window's channel count and
  // visibility, then carries the visibility the dialog left back into the
  // window (unless its channel 0 was opened from a file).
  void GeneralPreferencesActionExecute();

  // ---- The settings window (main_settings.cpp) ----------------------------------------------
  // "GPR settings" (Shift+F3): shows the settings window modally.
  void ActionViewSettingsExecute();
  TMenuItem* GprSettingsMenuItem = nullptr;

  // ---- File commands (main_files.cpp) -------------------------------------------------
  // Create: a new recording window (closing the current one when it was not
  // opened from a file).
  void CreateActionExecute();
  // The next free number for a file name (never a number whose ".dezo" exists).
  int32_t GetFreeNumCount(const QString& FileName) const;
  // Writes the active window (FileName empty: under its caption). True only
  // when every file was written; a failure or a cancelled dialog leaves the
  // recording unsaved and is reported.
  bool WriteToFileChannal(int CountSaveChannal, const QString& FileName);

  // ---- File commands and presets (main_file_commands.cpp) ----------------------------
  // Open: the Open dialog (in LastFolder, several files at once), then
  // OpenFiles; false when the dialog was cancelled.
  bool OpenActionExecute();
  // Each file into a new window, in order; stops with the resources message
  // when more than 24 windows are open, or at the first file that fails.
  void OpenFiles(const QStringList& files);
  // 1 unless ".frn"; for a container the count its kind gives.
  int GetCountChannalInFile(const QString& FileName) const;
  // The recent-files list (Settings.History): the path goes to the top.
  void ApdateReopenMenu(const QString& path);
  // A recent file's item (its caption "&n path") was clicked: opens it, or
  // says "File %s is not present!".
  void ReopenMenu1Click(const QString& caption);
  // Save; Sender given: the user's command (a window the planning program
  // asked for closes once it is saved). True only when the profile was written:
  // a cancelled or failed write reports nothing to the planning program and
  // closes nothing.
  bool SaveActionExecute(TObject* Sender);
  bool SaveAsActionExecute();
  void CloseActionExecute();
  // The print dialog, then the active window prints itself; true when printed.
  bool PrintActionExecute();
  void ExitActionExecute() { Close(); }
  // Shift+F10: a new recording window set up without questions.
  void CreateAutoActionExecute();
  // The hidden "Save To Vandrel" button: the channels placed for the planning
  // program, then Save As.
  void SaveToVandrelExecute();
  // Presets (folder "setofpresets" of the program folder).
  QString GetRadarTypeStrForPresets() const;
  void ScanPresets();
  // The titles the presets menu lists for the current radar (empty without one).
  QStringList BuildPresetsMenu();
  // Applies the preset of that title to the active window; false without a
  // current radar or window.
  bool PresetsItemsClick(const QString& title);
  std::vector<TPresetsProperty> ListOfPresets;

  // ---- Languages (main_languages.cpp) ----------------------------------------------
  // Makes the locale the interface language (1033 for one the program does not
  // offer); false, and nothing changed, when its module cannot be loaded.
  bool SetLanguage(int localeId);
  // A language item's click: SetLanguage, then a new tool registry in the new
  // language, the language file written and the planning program told.
  bool SwitchLanguage(int localeId);

  // ---- The File menu (main_menus.cpp) --------------------------------------------------
  TMenuItem* FileMenu = nullptr;
  TMenuItem* OpenRecentMenu = nullptr;  // nine numbered items, hidden while unused
  // The Open Recent items show the recent-files list.
  void ShowRecentFiles();

  // ---- Status bar and info panel (main_status_bar.cpp, main_info_panel.cpp) ----------
  // Panels: 0 the supply voltage, 1 GPS, 2 the link (owner-drawn), 3 the radar
  // status text.
  TStatusBar* StatusBar = nullptr;
  std::unique_ptr<TInfoPanel> InfoPanel;
  // Draws the owner-drawn panels from the master radar, whose power and GPS
  // state are read under its paint lock.
  void StatusBarDrawPanel(TStatusBar& bar, int index, const TRect& rect);
  // Panel 3 takes the radar status text and the drawn panels are drawn anew.
  void RefreshStatusBar();
  // The info boxes follow the active window: widths, device picture, units, placing.
  void CheckInfoPanel();
  // The large box shows while a window is open (the small one never), then
  // CheckInfoPanel.
  void UpdateInfoPanel();
  // Keeps the info boxes at the right edge.
  void FormResize();

  // ---- Preferences, Window and Help menus; command states shown (main_menus.cpp) ----
  TMenuItem* PreferencesMenu = nullptr;
  TMenuItem* GeneralPreferencesMenuItem = nullptr;
  TMenuItem* LanguageMenu = nullptr;
  // English, Italian, German, French, Ukrainian, Polish, Spanish, Chinese,
  // Turkish, Russian; each item's tag is its locale id.
  std::array<TMenuItem*, 10> LanguageItems{};
  TMenuItem* WindowMenu = nullptr;
  TMenuItem* HelpMenu = nullptr;
  TMenuItem* SaveMenuItem = nullptr;
  TMenuItem* SaveAsMenuItem = nullptr;
  TMenuItem* PrintMenuItem = nullptr;
  TMenuItem* ExportMenu = nullptr;
  TMenuItem* ZoomInMenuItem = nullptr;
  TMenuItem* ZoomOutMenuItem = nullptr;
  // The Window menu's items for the open radargram windows, after its commands.
  std::vector<TMenuItem*> WindowListItems;
  // The window commands on the open radargram windows.
  void CascadeActionExecute();
  void ArrangeIconsActionExecute();
  // Every window minimised, from the last to the first.
  void MinimizeAllActionExecute();
  void TiledVerticalActionExecute();
  void TiledHorizontalActionExecute();
  // One zoom step of the active radargram window.
  void ZoomInActionExecute();
  void ZoomOutActionExecute();
  // The About box.
  void About1Click();
  // Only the item of the interface language is checked.
  void ShowLanguageChecks();
  // Sets every menu text again from the current resource strings.
  void ReloadMenuTexts();
  // The Preferences, Window and Help menus; Updatemenu runs whenever the
  // active window changes.
  void CreateMainMenus();
  // The menu items whose captions are resource strings, for a language switch.
  std::vector<std::pair<TMenuItem*, const TResourceString*>> MenuTexts;
  // A menu item with a resource caption (nullptr: a separator line).
  TMenuItem* AddMenuItem(TMenuItem* parent, const TResourceString* caption, WORD shortCut,
                         std::function<void()> run);
  // The menu items show the command states.
  void ShowCommandStates();
  // The Window menu lists the open radargram windows, the active one checked.
  void ShowWindowList();

  // ---- Tool bar, presets popup and window messages (main_tool_bar.cpp, main_messages.cpp) ----
  // The tool bar with its two picture lists; its buttons show Commands.
  std::unique_ptr<TMainToolBar> ToolBar;
  // Preferences: "Many buttons" (Settings.BitToolbar), captioned by its state.
  TMenuItem* ToolBarSizeMenuItem = nullptr;
  // The GPR presets button's menu, owner-drawn.
  TAdvPopupMenu* PresetsPopupMenu = nullptr;
  // The bar and the presets popup; then, once the Preferences menu exists, the
  // "Many buttons" item.
  void CreateToolBar();
  void CreateToolBarSizeItem();
  // The item's check becomes bittoolbar; Open and Save show only while it is checked.
  void ToolBarSizeActionExecute();
  void ShowToolBarSize();
  // The buttons show the command states.
  void ShowToolBarStates();
  // Pictures 8 and 12 of both lists: the radar and preset pictures.
  void ChangeByttonIcons();
  // BuildPresetsMenu, then the popup at (20, 20) of the GPR presets button.
  void ActionPresetsExecute();
  // WM_DRAWITEM for the status bar is drawn as a control's item; WM_CLOSE marks
  // the program as closing for the close; WM_MDIDESTROY destroys a radargram
  // window only while no layout change holds it.
  void CreateMessageHandlers();
  // Set when a close of the main window was accepted.
  bool closeAccepted_ = false;

protected:
  // Marks the window as closing and frees it with the close.
  void DoClose(TCloseAction& action) override;

private:
  void CreateStatusBarAndInfoPanel();
  void CreateFileMenu();
  // Waits on the user-interface thread for a radar's or a port's answer.
  static void Pause(int ms);
  // Run (main_run.cpp).
  void CreateRunCommand();
  // The "GPR settings" item at the head of the Acquisition menu (main_settings.cpp).
  void CreateSettingsCommand();
  // The Run item shows the command's caption, check and picture.
  void ShowRunCommand();
  void PrepareWindowForRun(TView2DForm& window);
  void ShowGpsPageAndAxisForRun(TView2DForm& window);
  // Every window's channels bound to a radar of the set lose it (before the set frees them).
  void ForgetSetRadarsInWindows();
  // The current window's channel 0 exists, was not opened from a file, and Run is checked.
  bool RecordingInCurrentWindow() const;
  // A Wi-Fi loss stopped a running recording: the radar's return resumes it.
  bool resumeAfterWiFiLoss_ = false;
  // Radar discovery (main_radars.cpp): the notifications and the timer.
  void StartDeviceNotifications();
  // Stops the notifications and the timer, frees the radars and withdraws the
  // window's parts from the radar link.
  void ReleaseRadars();
  // The main window's parts the radar link calls, registered while the window lives.
  std::unique_ptr<TMainRadarShell> radarShell_;
  std::unique_ptr<TDeviceEventSource> deviceEvents_;
  std::unique_ptr<TPowerEventSource> powerEvents_;
  QString StatusGprText_;

  std::unique_ptr<TIpcEndpoint> endpoint_;
  // Exports and imports (main_exports.cpp).
  enum class TExportKind { SegY, Text };
  void ExportActiveWindow(TExportKind kind);
  TSaveDialog* saveDialog_ = nullptr;
  TOpenDialog* openDialog_ = nullptr;
  TSaveDialog* savePictureDialog_ = nullptr;
  std::unique_ptr<TMemIniFile> mainIni_;
  // ActiveRadar and ControlRadar together; registered as the process's radar set.
  std::unique_ptr<TRadarSet> radarSet_;
  // Read by the radars' reader threads too.
  std::atomic<TRadar*> radar_{nullptr};
  bool isCloseChild_ = false;
  bool StartResize_ = false;
  bool flNewCreate_ = true;
  std::atomic<bool> isCheckDeviceRunned_{false};
  std::atomic<bool> isClosedMain_{false};
  std::atomic<bool> RadarStarted_{false};
  bool AutoDepthOnline_ = false;
  std::atomic<int> CountRadarFromMaster_{0};
  TTypeProfiles GlobalTypeProfiles_ = tpLinear;
  std::atomic<TView2DForm*> RunChild_{nullptr};
  std::atomic<TView2DForm*> CurChild_{nullptr};
};

// The program's main window while it runs.
extern DUvova3DuruZuza* MainWindow;

// Creates the main window and sets the captions; the caller then runs the message loop.
void CreateMainWindow();
