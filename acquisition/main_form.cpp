#include "acquisition/main_form.h"
#include "acquisition/settings_form.h"

#include "tools/list_of_tools.h"
#include "tools/tool_chain_library.h"

#include "acquisition/main_cursors.h"
#include "acquisition/main_info_panel.h"
#include "acquisition/main_logo.h"
#include "acquisition/main_radar_shell.h"
#include "acquisition/radar_discovery.h"
#include "acquisition/palette_strips.h"
#include "platform/devices/device_events.h"
#include "platform/devices/power_events.h"
#include "platform/ipc/endpoint.h"
#include "platform/rtl/ini_files.h"
#include "platform/rtl/paths.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/sys_utils.h"
#include "platform/ui/application.h"
#include "platform/ui/chart.h"
#include "platform/ui/image_list.h"
#include "platform/ui/message_boxes.h"
#include "platform/ui/timers.h"
#include "platform/ui/ui_queue.h"
#include "profiledata/channel_store.h"
#include "profiledata/form_charset.h"
#include "profiledata/setting_data.h"
#include "radar/active_radar.h"
#include "radar/radar_set.h"
#include "radar/radar_set_param_reserving.h"
#include "radar/tcp_probe.h"
#include "radargram/view2d_form.h"
#include "tools/list_of_tools.h"

#include <QDir>

#include <algorithm>
#include <chrono>
#include <thread>

DUvova3DuruZuza* MainWindow = nullptr;

namespace {

// Locale ids of the interface languages the program offers; any other id
// selects English.
constexpr int kKnownLanguages[] = {1033, 25, 2052, 21, 1034, 1055, 7, 16, 34, 12};

std::function<TDateTime()>& TodayFunction() {
  static std::function<TDateTime()> today;
  return today;
}

TDateTime Today() { return TodayFunction() ? TodayFunction()() : Date(); }

}  // namespace

void CreateMainWindow() {
  Application->CreateForm(MainWindow);
  MainWindow->SetCaption(LoadResString(SQelGroundPenetratingRadar));
  // The title changes only once the main window exists.
  Application->SetTitle(QStringLiteral("Talvorn"));
}

void DUvova3DuruZuza::SetToday(std::function<TDateTime()> today) { TodayFunction() = std::move(today); }

DUvova3DuruZuza::DUvova3DuruZuza(TComponent* AOwner) : TForm(AOwner) {
  SetFormStyle(fsMDIForm);
  SetMinWidth(MinimumWidth);
  PalImageList = TComponent::Create<TImageList>(this);
  PalImageList->SetSize(PalStripWidth, PalStripHeight);
  OnCreate = [this](TObject*) { FormCreate(); };
  OnCloseQuery = [this](TObject* sender, bool& canClose) { FormCloseQuery(sender, canClose); };
  OnClose = [this](TObject* sender, TCloseAction& action) { FormClose(sender, action); };
  OnDestroy = [this](TObject*) { FormDestroy(); };
  TimerPing = TComponent::Create<TTimer>(this);
  TimerPing->SetEnabled(false);
  TimerPing->SetInterval(3000);
  TimerPing->OnTimer = [this](TObject*) { TimerPingTimer(); };
  // The info boxes lie over the tool bar's right end.
  CreateToolBar();
  CreateStatusBarAndInfoPanel();
  CreateFileMenu();
  CreateRunCommand();
  CreateSettingsCommand();
  CreateMainMenus();
  CreateToolBarSizeItem();
  CreateMessageHandlers();
}

DUvova3DuruZuza::~DUvova3DuruZuza() {
  // The children going one by one change the active one: no menu update then.
  OnActiveMDIChildChange = nullptr;
  // No request reaches a window that is going.
  endpoint_.reset();
  // The radars' reader threads look at the active window when a reply comes:
  // they stop before any window goes.
  ReleaseRadars();
  CurChild_ = nullptr;
  // Windows still open go while the parts they hold of this window exist.
  while (MDIChildCount() > 0) MDIChildren(MDIChildCount() - 1)->Free();
  if (AcquisitionShell() == this) SetAcquisitionShell(nullptr);
  if (&ToolShell() == this) SetToolShell(nullptr);
  RegisterToolChainRegistry(nullptr);
  if (MainWindow == this) MainWindow = nullptr;
}

// ---- Life cycle ---------------------------------------------------------------------

void DUvova3DuruZuza::FormCreate() {
  // 1. State before anything is read; the font's character set is the default
  //    one until the language is known.
  startDEVICEREMOVECOMPLETE = false;
  isClosedMain_ = false;
  ErrorLoadFile_ = false;
  flNewCreate_ = true;
  PredCountUSBdevices = 100;
  CountUSBdevices = 0;
  ModeSystemRadars = msrSingle;
  GlobalTypeProfiles_ = tpLinear;
  RadarStarted_ = false;
  RadarPausedWithGPS_ = false;
  SetFormCharsetForLanguage(*this, 0);
  SetBackgroundPicture(MakeLogoPicture().get());

  // 2. Program folder and palette library.
  PalettePath = GetExeCurrentDir() + QStringLiteral("palset");
  LastCreateSaveStartYShift = 0;
  predLastCreateSaveStartYShift = 0;

  // 3. The settings file, read into memory.
  mainIni_ = std::make_unique<TMemIniFile>(MainIniFileName());
  SetAcquisitionShell(this);

  // 4. The radar containers. The radar link takes the window's parts when a
  //    set or a radar is created, so they are registered first.
  SetNewViewChannalCount(1);
  radarShell_ = std::make_unique<TMainRadarShell>(*this);
  SetRadarShell(TRadarShell::Of(radarShell_.get()));
  radarSet_ = std::make_unique<TRadarSet>();
  radar_ = nullptr;

  // 5. Cursors and hints.
  LoadMainCursors();
  Application->SetHintPause(100);

  // 6. The settings; the arc start the planning program asked for is taken once.
  ReadMainSettings(*mainIni_, Today(), Settings);
  GlobalTypeProfiles_ = Settings.TypeProfiles;
  ResetTypeProfiles(*mainIni_);
  SetBounds(Settings.Left, Settings.Top, Settings.Width, Settings.Height);
  SetWindowState(Settings.WindowState);
  ShowToolBarSize();

  // 7. Online display switches, language, view settings, overlays.
  AlphaScanDepth = false;
  NormalizationOnlineAllTraces_ = false;
  AutoDepthOnline_ = false;
  ReadLanguageFile();
  Lang();
  ReadViewSettings(*mainIni_);
  ReadPostProcSettings(*mainIni_, Settings);

  ShowRecentFiles();

  // 8. The tool registry and the simple-mode tool sets.
  ListOfTools = new TListOfTools(this);
  ListOfTools->Initialise(GetExeCurrentDir(), true, FLanguage);
  RegisterToolChainRegistry(ListOfTools);
  SetToolShell(this);
  ScanDSTCL();

  // 9. Device and power notifications.
  StartDeviceNotifications();

  // 10. The USB radars, with the file commands held back meanwhile.
  CountRadarFromMaster_ = 0;
  PredCountUSBdevices = 100;
  FileActionsEnabled = false;
  {
    struct TReenable {
      bool& enabled;
      ~TReenable() { enabled = true; }
    } reenable{FileActionsEnabled};
    isCheckDeviceRunned_ = false;
    isDeleteDeviceRunned = false;
    ResetAutoNumChannalRadar();
    ProbeUsbRadars(Settings.gprGUID);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ShowStatusGPR();
  }

  // 11. Without a radar the ping timer looks for a Wi-Fi radar.
  if (!radar_) TimerPing->SetEnabled(true);

  // 12. Palettes and wave speeds; the Direction button's hint.
  PalReadAll();
  FillMediumList();
  Commands.DirectionHint =
      LoadResString(Commands.DirectionPicture == DirectionPictureBackward ? SBackward : SForward);
}

void DUvova3DuruZuza::ReleaseRadars() {
  TimerPing->SetEnabled(false);
  // No notification reaches a window whose radars are going.
  deviceEvents_.reset();
  powerEvents_.reset();
  ui_detail::TUiQueue::Instance().RemoveQueued(this);
  ResultCheckingTCP.reset();
  radarSet_.reset();
  radar_ = nullptr;
  if (radarShell_ && RadarShell().Windows == radarShell_.get()) SetRadarShell({});
  radarShell_.reset();
}

TActiveRadar* DUvova3DuruZuza::ActiveRadar() const { return radarSet_ ? &radarSet_->ActiveRadar : nullptr; }

TControlRadar* DUvova3DuruZuza::ControlRadar() const { return radarSet_ ? &radarSet_->ControlRadar : nullptr; }

void DUvova3DuruZuza::DoClose(TCloseAction& action) {
  isClosedMain_ = true;
  closeAccepted_ = true;
  TForm::DoClose(action);
  action = caFree;
}

bool DUvova3DuruZuza::CloseQuery() {
  const bool wasClosing = isClosedMain_;
  isClosedMain_ = true;
  const bool canClose = TForm::CloseQuery();
  if (!canClose) isClosedMain_ = wasClosing;
  return canClose;
}

void DUvova3DuruZuza::FormCloseQuery(TObject* /*Sender*/, bool& CanClose) {
  // The recording window's online paint thread is not part of the window yet,
  // so there is nothing to suspend before the close.
  CanClose = true;
}

void DUvova3DuruZuza::FormClose(TObject* /*Sender*/, TCloseAction& /*Action*/) {
  // Each window asks its own questions when it closes; the list is taken first
  // because a closed window leaves the frame's list.
  std::vector<TForm*> windows;
  for (int i = 0; i < MDIChildCount(); ++i) windows.push_back(MDIChildren(i));
  auto stillOpen = [this](const TForm* window) {
    for (int i = 0; i < MDIChildCount(); ++i)
      if (MDIChildren(i) == window) return true;
    return false;
  };
  for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
    StartResize_ = false;
    if (stillOpen(*it)) (*it)->Close();
  }
  // The radars go; the window's parts stay registered for what closes later.
  TimerPing->SetEnabled(false);
  ResultCheckingTCP.reset();
  radarSet_.reset();
  radar_ = nullptr;
}

void DUvova3DuruZuza::FormDestroy() {
  if (!mainIni_) return;
  const bool maximized = WindowState() == wsMaximized;
  if (!maximized) {
    Settings.Left = Left();
    Settings.Top = Top();
    Settings.Width = Width();
    Settings.Height = Height();
  }
  Settings.WindowState = WindowState();
  WriteMainSettings(*mainIni_, Settings, maximized);
  // The settings window lives on until the application goes: its place is kept now.
  if (const TSettingsForm* settings = SettingsForm) settings->WritePosition(*mainIni_);
  ReserverRadarParam.reset();
  if (AcquisitionShell() == this) SetAcquisitionShell(nullptr);
  if (&ToolShell() == this) SetToolShell(nullptr);
  try {
    mainIni_->UpdateFile();
  } catch (const std::exception& error) {
    MessageDlg(Format(LoadResString(SSettingsNotSaved), {mainIni_->FileName(), QString::fromStdString(error.what())}),
               mtError, TMsgDlgButtons{mbOK}, 0);
  }
  mainIni_.reset();
}

// ---- Settings and lists ---------------------------------------------------------

QString DUvova3DuruZuza::GetExeCurrentDir() { return ProgramFolder(); }

void DUvova3DuruZuza::ReadFileSettings(bool reopen) {
  if (!mainIni_) return;
  TFileNaming naming{Settings.LastFolder, Settings.PrefixFiles, Settings.CountFiles};
  ::ReadFileSettings(*mainIni_, reopen, Today(), naming);
  Settings.LastFolder = naming.LastFolder;
  Settings.PrefixFiles = naming.PrefixFiles;
  Settings.CountFiles = naming.CountFiles;
}

void DUvova3DuruZuza::ReadViewSettings(const TCustomIniFile& ini) { ::ReadViewSettings(ini, Settings); }

void DUvova3DuruZuza::ReadLanguageFile() {
  if (const std::optional<int> id = ::ReadLanguageFile()) {
    FLanguage = *id;
    return;
  }
  FLanguage = EnglishLocaleId;
  WriteLanguageFile();
}

bool DUvova3DuruZuza::WriteLanguageFile() {
  try {
    ::WriteLanguageFile(FLanguage);
    return true;
  } catch (const std::exception& error) {
    MessageDlg(Format(LoadResString(SSettingsNotSaved), {LanguageFileName(), QString::fromStdString(error.what())}),
               mtError, TMsgDlgButtons{mbOK}, 0);
    return false;
  }
}

void DUvova3DuruZuza::Lang() {
  const bool known = std::find(std::begin(kKnownLanguages), std::end(kKnownLanguages), FLanguage) !=
                     std::end(kKnownLanguages);
  const int id = known ? FLanguage : EnglishLocaleId;
  if (!LoadLanguageModule(id)) return;
  // The forms take the character set of the language in force before the switch.
  ReloadAllForms(FLanguage);
  FLanguage = id;
  ShowLanguageChecks();
  FillMediumList();
}

void DUvova3DuruZuza::ReloadTexts() {
  SetCaption(LoadResString(SQelGroundPenetratingRadar));
  ReloadMenuTexts();
}

void DUvova3DuruZuza::PalReadAll() {
  TPaletteStrips strips = ReadPaletteStrips(PalettePath);
  PalArray = std::move(strips.PalArray);
  PalImageList->Clear();
  for (const auto& strip : strips.Strips) PalImageList->Add(*strip);
  for (TView2DForm* window : RadargramWindows()) window->PalReadAll();
}

void DUvova3DuruZuza::FillMediumList() { ListOfMedium = ::FillMediumList(); }

void DUvova3DuruZuza::ScanDSTCL() { ListOfDSTCL = ::ScanDSTCL(GetExeCurrentDir()); }

void DUvova3DuruZuza::ReadDummyDSTT() {
  if (!Settings.SimpleMode || !CurChild_ || isActiveMDIChildWasOpen()) return;
  CurChild_.load()->ReadFromFileToFRNChannals(GetExeCurrentDir() + QStringLiteral("dstt"));
}

bool DUvova3DuruZuza::isActiveMDIChildWasOpen() const {
  if (!CurChild_) return false;
  const T2Dview* view = CurChild_.load()->GetView2DByIndx(0);
  return view && view->Settings() && view->Settings()->GetWasOpen();
}

void DUvova3DuruZuza::SaveGlobalViewSectOfDeepInAllChild() {
  for (TView2DForm* window : RadargramWindows()) {
    window->ViewSectOfDeep = false;
    window->ReCreateViewInterface();
  }
}

void DUvova3DuruZuza::RepaintChilds() {
  for (TView2DForm* window : RadargramWindows())
    if (TChart* chart = window->GetChartByIndx(0)) chart->Repaint();
}

void DUvova3DuruZuza::UpdateInterface() {
  Updatemenu();
  for (TView2DForm* window : RadargramWindows()) window->UpdateInterface();
}

std::vector<TView2DForm*> DUvova3DuruZuza::RadargramWindows() const {
  std::vector<TView2DForm*> windows;
  for (int i = 0; i < MDIChildCount(); ++i)
    if (auto* window = dynamic_cast<TView2DForm*>(MDIChildren(i))) windows.push_back(window);
  return windows;
}

// ---- Interfaces -------------------------------------------------------------------

IChannelWindow* DUvova3DuruZuza::ActiveChannelWindow() const { return CurChild_; }

QString DUvova3DuruZuza::LastFolder() const {
  if (Settings.LastFolder.isEmpty()) return QString();
  // The stored text keeps its form ("..\data\" by default); a relative folder
  // is taken from the program folder, not from wherever the program was started.
  QString folder = IncludeTrailingPathDelimiter(NativePath(Settings.LastFolder));
  if (QDir::isRelativePath(folder)) folder = GetExeCurrentDir() + folder;
  return folder;
}

TCustomIniFile* DUvova3DuruZuza::MainIni() const { return mainIni_.get(); }

int32_t DUvova3DuruZuza::RadarSetSerNumDevice() const { return radarSet_ ? radarSet_->ControlRadar.SerNumDevice() : 0; }

bool DUvova3DuruZuza::isActivatedClosed() const {
  const int count = MDIChildCount();
  if (count > MDIChildCountOld || MDIChildCountOld < 1 || MDIChildCountOld > count) return false;
  const TForm* window = MDIChildren(MDIChildCountOld - 1);
  return window && window->Caption().isEmpty();
}

void DUvova3DuruZuza::AddToReopenList(const QString& fileName) { ApdateReopenMenu(fileName); }

ISettingsRadar* DUvova3DuruZuza::GetRadarByIndex(int slot) const {
  if (isCheckDeviceRunned_ || !radarSet_ || slot < 0 || slot >= kChannelSlots) return nullptr;
  return radarSet_->ControlRadar.GetRadarByIndex(slot);
}

bool DUvova3DuruZuza::isActiveMDIChild_OneChannal() const {
  auto* active = dynamic_cast<TView2DForm*>(ActiveMDIChild());
  int count = 0;
  if (active)
    for (int slot = 0; slot < kChannelSlots; ++slot) count += active->ChannelHoldsTraces(slot) ? 1 : 0;
  if (count == 0 && radarSet_) count = radarSet_->ControlRadar.GetCountPluginRadars();
  return count <= 1 && !(active && active->Caption().endsWith(QStringLiteral(".frn")));
}

std::array<T2Dview*, 5> DUvova3DuruZuza::CurrentViews() const {
  std::array<T2Dview*, 5> views{};
  if (CurChild_)
    for (int i = 0; i < kChannelSlots; ++i) views[i] = CurChild_.load()->GetView2DByIndx(i);
  return views;
}

TPostProcDefaults DUvova3DuruZuza::PostProcDefaults(TPostProcKind kind) const {
  switch (kind) {
    case ppComparator: return Settings.Comparator;
    case ppHilbert: return Settings.Hilbert;
    case ppFrequency: return Settings.FreqHilbert;
  }
  return NullPostProcDefaults(kind);
}

void DUvova3DuruZuza::SetPostProcDefaults(TPostProcKind kind, const TPostProcDefaults& values) {
  switch (kind) {
    case ppComparator: Settings.Comparator = values; break;
    case ppHilbert: Settings.Hilbert = values; break;
    case ppFrequency: Settings.FreqHilbert = values; break;
  }
}
