// The main window's File commands: Open with its window limit, the recent
// files, Save and Save As, Close, Print, Exit, the automatic create, the save
// for the planning program, and the GPR presets.

#include "acquisition/main_form.h"

#include "platform/rtl/paths.h"
#include "platform/rtl/rounding.h"
#include "platform/rtl/sys_utils.h"
#include "platform/ui/buttons.h"
#include "platform/ui/combo_box.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/file_dialogs.h"
#include "platform/ui/message_boxes.h"
#include "platform/ui/page_control.h"
#include "platform/ui/panels.h"
#include "platform/ui/printers.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "radar/control_radar.h"
#include "radar/online_paint_thread.h"
#include "radar/radar_set.h"
#include "radar/packet_codes.h"
#include "radargram/view2d_form.h"

#include <QFileInfo>

#include <algorithm>

RESOURCESTRING(SOpenFerunFiles, "Open FERUN Files");
RESOURCESTRING(SOpenFerunFilter, "All format files|*.frn;*.dezo|Profile data|*.dezo|Ferun data|*.frn");
RESOURCESTRING(SSaveFerunDataAs, "Save FERUN data");
RESOURCESTRING(SFileNotPresent, "File %s is not present!");
RESOURCESTRING(SReadError, "error");
RESOURCESTRING(SStoreInVersion42, "Current version is %d, to be stored in version 42, click OK. \r\nOr click Cancel");
RESOURCESTRING(SSaveLastProfileFirst, "To continue, you must save the last profile!");
RESOURCESTRING(SEmptyFileNotSaved, "Empty file can not been saved");

namespace {

// More windows than this and no further profile is opened.
constexpr int kMaxOpenWindows = 24;
constexpr int kWindowForCreated = 200;
constexpr int kWindowForReopen = 102;
constexpr uint16_t kFirmwareWithWheelStop = 5;

TView2DForm* ActiveRadargram(const DUvova3DuruZuza& main) {
  auto* window = dynamic_cast<TView2DForm*>(main.ActiveMDIChild());
  return window ? window : main.CurChild();
}

void Warn(const QString& text) { MessageDlg(text, mtWarning, TMsgDlgButtons{mbOK}, 0); }

}  // namespace

int DUvova3DuruZuza::GetCountChannalInFile(const QString& FileName) const {
  if (ExtractFileExt(FileName).compare(QStringLiteral(".frn"), Qt::CaseInsensitive) != 0) return 1;
  // The kind of a container needs no window of its own: a passing one reads it.
  TView2DForm* reader = ActiveRadargram(*this);
  if (reader) return reader->GetCountChannalInReadFileFRN(FileName);
  const QString name = ExtractFileName(FileName);
  return name == QStringLiteral("bstt") || ExtractFileExt(name) == QStringLiteral(".bstt") ? 1 : kChannelSlots;
}

void DUvova3DuruZuza::ApdateReopenMenu(const QString& path) {
  PutOnTopOfRecentFiles(Settings.History, path);
  ShowRecentFiles();
}

bool DUvova3DuruZuza::OpenActionExecute() {
  TOpenDialog* dialog = OpenDialog();
  dialog->SetTitle(LoadResString(SOpenFerunFiles));
  dialog->SetFilter(LoadResString(SOpenFerunFilter));
  dialog->SetDefaultExt(QStringLiteral(".frn"));
  dialog->SetOptions(dialog->Options() | TOpenOptions{ofAllowMultiSelect});
  dialog->SetInitialDir(LastFolder());
  if (!dialog->Execute()) return false;
  OpenFiles(dialog->Files());
  return true;
}

void DUvova3DuruZuza::OpenFiles(const QStringList& files) {
  for (const QString& file : files) {
    if (static_cast<int>(RadargramWindows().size()) > kMaxOpenWindows) {
      MessageDlg(LoadResString(SInsufficientResources), mtError, TMsgDlgButtons{mbOK}, 0);
      break;
    }
    const int remembered = NewViewChannalCount();
    int count = remembered;
    if (ExtractFileExt(file).compare(QStringLiteral(".frn"), Qt::CaseInsensitive) == 0)
      count = GetCountChannalInFile(file);
    SetNewViewChannalCount(std::clamp(count, 1, kChannelSlots));
    flNewCreate_ = false;
    TView2DForm* window = NewView2DForm();
    SetNewViewChannalCount(remembered);
    if (!window->GetView2DByIndx(0) || ErrorNewCreate) {
      StartResize_ = false;
      window->Free();
      MessageDlg(LoadResString(SInsufficientResources), mtError, TMsgDlgButtons{mbOK}, 0);
      break;
    }
    try {
      // Reading processes messages: the window may be closed meanwhile.
      const std::shared_ptr<const bool> alive = window->WindowAlive;
      window->ReadFromFile(file);
      if (*alive) window->RunPostProcess(nullptr);
      Settings.LastFolder = ExtractFilePath(file);
      if (*alive && window->TopoCorrectionShown()) window->GetIdentForTopoCor(false);
    } catch (const std::exception&) {
      ShowMessage(LoadResString(SReadError));
      break;
    }
    Updatemenu();
  }
  UpdateInterface();
}

void DUvova3DuruZuza::ReopenMenu1Click(const QString& caption) {
  const QString path = RecentFilePath(caption);
  const int remembered = NewViewChannalCount();
  int count = remembered;
  if (ExtractFileExt(path).compare(QStringLiteral(".frn"), Qt::CaseInsensitive) == 0)
    count = GetCountChannalInFile(path);
  SetNewViewChannalCount(std::clamp(count, 1, kChannelSlots));
  flNewCreate_ = false;
  TView2DForm* window = NewView2DForm();
  SetNewViewChannalCount(remembered);
  if (!QFileInfo(path).isFile() || !window->GetView2DByIndx(0)) {
    StartResize_ = false;
    window->Free();
    ShowMessage(Format(LoadResString(SFileNotPresent), {path}));
  } else {
    try {
      const std::shared_ptr<const bool> alive = window->WindowAlive;
      window->ReadFromFile(path);
      if (*alive) window->RunPostProcess(nullptr);
      Settings.LastFolder = ExtractFilePath(path);
    } catch (const std::exception&) {
      ShowMessage(LoadResString(SReadError));
      return;
    }
  }
  Updatemenu();
  UpdateInterface();
}

bool DUvova3DuruZuza::SaveActionExecute(TObject* Sender) {
  TView2DForm* window = ActiveRadargram(*this);
  T2Dview* first = window ? window->GetView2DByIndx(0) : nullptr;
  if (!first) return false;
  TSettingData& settings = *first->Settings();
  // 1. An older record is written in the present version only when the user agrees.
  if (settings.GetVersion() < SettingDataVersion &&
      MessageDlg(Format(LoadResString(SStoreInVersion42), {static_cast<int>(settings.GetVersion())}), mtWarning,
                 TMsgDlgButtons{mbOK, mbCancel}, 0) != mrOk)
    return false;
  // 2. Nothing recorded.
  if (!first->HoldsTraces()) {
    Warn(LoadResString(SEmptyFileNotSaved));
    return false;
  }
  // 3. A new file is named by the user first. A cancelled or failed write ends
  //    the command: the window keeps its unsaved data and stays open.
  const std::shared_ptr<const bool> alive = window->WindowAlive;
  // 4. (first) The window's paint thread rests from here on: the save's dialogs
  //    run the message loop, which would let it paint the window meanwhile. A
  //    save that writes nothing lets it run on.
  TOnlinePaintThread* painter = window->OnlinePaintThread.get();
  const bool wasPainting = painter && !painter->Suspended();
  if (wasPainting) painter->Suspend();
  struct TResumeUnlessSaved {
    TOnlinePaintThread* painter;
    const std::shared_ptr<const bool>& alive;
    bool saved = false;
    ~TResumeUnlessSaved() {
      if (painter && !saved && *alive) painter->Resume();
    }
  } resume{wasPainting ? painter : nullptr, alive};
  if (settings.NewFile) {
    if (!SaveAsActionExecute()) return false;
    settings.NewFile = false;
    first->WasOpen = true;
    settings.SetWasOpen(true);
  } else {
    if (!WriteToFileChannal(kChannelSlots, window->Caption())) return false;
    window->SaveToolsSTCL();
  }
  resume.saved = true;
  if (!*alive) return true;
  // 4. A radar in cursor mode stops following the wheel.
  if (radarSet_) {
    TRadar* current = radar_;
    if (current && current->FirmwareVer() >= kFirmwareWithWheelStop && current->CurMode() == cmCursor)
      current->SendCommand(bcpWheelRotate_Stop, 0, nullptr);
  }
  // 5. The window is no longer the recording one; the planning program hears of it.
  if (window->ButtonPanel) window->ButtonPanel->SetColor(clBtnFace);
  RunChild_ = nullptr;
  Updatemenu();
  SendSaveMessToVandrel();
  // 6. A profile the planning program asked for closes once the user saved it.
  if (Sender && *alive &&
      (window->LastCopydataMessage == kWindowForReopen || window->LastCopydataMessage == kWindowForCreated)) {
    StartResize_ = false;
    if (CurChild_ == window) CurChild_ = nullptr;
    window->Free();
    Updatemenu();
  }
  return true;
}

bool DUvova3DuruZuza::SaveAsActionExecute() {
  TView2DForm* window = ActiveRadargram(*this);
  T2Dview* first = window ? window->GetView2DByIndx(0) : nullptr;
  if (!first) return false;
  if (!first->HoldsTraces()) {
    Warn(LoadResString(SEmptyFileNotSaved));
    return false;
  }
  const bool oneChannel = isActiveMDIChild_OneChannal();
  const bool multiDevice = IsMultiChannelGPRDevice(window->TypeGPRDevice);
  TSaveDialog* dialog = SaveDialog();
  dialog->SetTitle(LoadResString(SSaveFerunDataAs));
  dialog->SetFilter(LoadResString(SOpenFerunFilter));
  dialog->SetDefaultExt(QStringLiteral(".frn"));
  dialog->SetOptions(dialog->Options() | TOpenOptions{ofOverwritePrompt});
  dialog->SetInitialDir(LastFolder());
  QString proposal = Settings.LastFile;
  if (oneChannel && multiDevice) proposal = ChangeFileExt(proposal, QStringLiteral(".frn"));
  // A single device's one channel is proposed under the window's own name.
  if (oneChannel && !multiDevice) proposal = ExtractFileName(window->Caption());
  dialog->SetFileName(proposal);
  if (!dialog->Execute()) return false;
  const QString chosen = dialog->FileName();
  Settings.LastFile = ExtractFileName(chosen);
  const std::shared_ptr<const bool> alive = window->WindowAlive;
  if (!WriteToFileChannal(oneChannel && !multiDevice ? 1 : kChannelSlots, chosen)) return false;
  if (*alive) window->SetCaption(chosen);
  ApdateReopenMenu(chosen);
  return true;
}

void DUvova3DuruZuza::CloseActionExecute() {
  if (auto* window = dynamic_cast<TView2DForm*>(ActiveMDIChild())) window->Close();
  Updatemenu();
}

bool DUvova3DuruZuza::PrintActionExecute() {
  TView2DForm* window = ActiveRadargram(*this);
  if (!window || !ChoosePrint()) return false;
  try {
    window->PrintView2D(*Printer());
  } catch (const EPrinter& e) {
    ShowMessage(QString::fromStdString(e.what()));
    return false;
  }
  return true;
}

void DUvova3DuruZuza::CreateAutoActionExecute() {
  // The last recording is saved first.
  if (TView2DForm* child = CurChild_) {
    T2Dview* first = child->GetView2DByIndx(0);
    if (first && !first->WasOpen && first->GetNeedForSave()) {
      if (MessageDlg(LoadResString(SSaveLastProfileFirst), mtWarning, mbYesNo, 0) == mrYes) SaveActionExecute();
      if (first->GetNeedForSave()) return;
    }
  }
  // A window not opened from a file makes room (its chain is not asked about).
  if (TView2DForm* child = CurChild_) {
    const T2Dview* first = child->GetView2DByIndx(0);
    if (!first || !first->WasOpen) {
      StartResize_ = false;
      CurChild_ = nullptr;
      if (RunChild_ == child) RunChild_ = nullptr;
      child->Free();
    }
  }
  try {
    SetNewViewChannalCount(std::min(NewViewChannalCount(), kChannelSlots));
    flNewCreate_ = true;
    TView2DForm* window = NewView2DForm();
    if (!window->GetView2DByIndx(0) || ErrorNewCreate) {
      StartResize_ = false;
      window->Free();
      MessageDlg(LoadResString(SInsufficientResources), mtError, TMsgDlgButtons{mbOK}, 0);
      return;
    }
    CurChild_ = window;
    window->OpenToolsSTCL();
    if (window->LeftPageControl && !Settings.SimpleMode) window->LeftPageControl->SetActivePageIndex(0);
    window->MeasureAxisSize();
    window->SetWindowState(wsMaximized);
    window->FormResize(nullptr);
    if (window->ZoomComboBox) {
      window->ZoomComboBox->SetItemIndex(0);
      window->ZoomComboBoxChange();
    }
    window->SetProportional(Settings.Proportional);
    window->SetPropButtonAsProportional();
    window->SetFileCount(Settings.CountFiles);
    window->SetFilePrefix(Settings.PrefixFiles);
    const T2Dview* first = window->GetView2DByIndx(0);
    const bool gps = first && first->Settings()->GetTopoType() == ttGPS;
    if (window->LeftPageControl && window->GPSTabSheet)
      window->LeftPageControl->SetActivePageIndex(gps ? window->GPSTabSheet->PageIndex() : 0);
  } catch (const std::exception&) {
    // A window that could not be set up stays as it is.
  }
  UpdateInterface();
}

void DUvova3DuruZuza::SaveToVandrelExecute() {
  TView2DForm* window = ActiveRadargram(*this);
  T2Dview* master = window ? window->GetView2DByIndx(0) : nullptr;
  if (!master) return;
  const TSettingData& m = *master->Settings();
  const TRunMode runMode = m.GetRunMode();
  const TTopoType topo = m.GetTopoType();
  const uint16_t mult = m.GetWheelMult();
  const double step = m.GetWheelStep();
  for (int i = 0; i < kChannelSlots; ++i) {
    T2Dview* store = window->GetView2DByIndx(i);
    if (!store) continue;
    TSettingData& s = *store->Settings();
    s.SetRunMode(rmWheel);
    s.SetTopoType(ttWheel);
    s.SetWheelMult(3);
    s.SetWheelStep(3.294);
    // The planning program lays the channels 0.3 m apart across the profile.
    s.SetStartXShift(0);
    s.SetStartYShift(RoundToInt32(i * 0.3L * 100000));
    s.SetStartZShift(0);
  }
  const std::shared_ptr<const bool> alive = window->WindowAlive;
  SaveAsActionExecute();
  if (!*alive) return;
  for (int i = 0; i < kChannelSlots; ++i) {
    T2Dview* store = window->GetView2DByIndx(i);
    if (!store) continue;
    TSettingData& s = *store->Settings();
    s.SetWasOpen(false);
    s.SetRunMode(runMode);
    s.SetTopoType(topo);
    s.SetWheelMult(mult);
    s.SetWheelStep(step);
    s.SetWasOpen(true);
  }
}

QString DUvova3DuruZuza::GetRadarTypeStrForPresets() const {
  TRadar* current = radar_;
  return PresetTypePrefix(current != nullptr, current ? current->PresetRadarTypeStr() : QString());
}

void DUvova3DuruZuza::ScanPresets() { ListOfPresets = ScanPresetFolder(GetExeCurrentDir() + QStringLiteral("setofpresets")); }

QStringList DUvova3DuruZuza::BuildPresetsMenu() {
  ScanPresets();
  TRadar* current = radar_;
  if (!current) return {};
  QString key = current->PresetRadarTypeStr();
  if (radarSet_ && radarSet_->ControlRadar.GetCountPluginRadars() > 1 && CurChild_) {
    const auto index = static_cast<size_t>(CurChild_.load()->TypeGPRDevice);
    const QString device =
        index < GPRDeviceParams.size() ? QString::fromLatin1(GPRDeviceParams[index].DeviceName) : QString();
    key = device.size() > 3 ? device.mid(3) : device;
  }
  return PresetTitlesFor(ListOfPresets, TrailingNumber(key));
}

bool DUvova3DuruZuza::PresetsItemsClick(const QString& title) {
  TView2DForm* window = ActiveRadargram(*this);
  T2Dview* first = window ? window->GetView2DByIndx(0) : nullptr;
  TRadar* current = radar_;
  if (!first || !current) return false;
  TSettingData& settings = *first->Settings();
  const bool settingsNeedSave = settings.GetNeedForSave();
  const bool storeNeedsSave = first->GetNeedForSave();
  const bool wasOpen = settings.GetWasOpen();
  const QString base =
      GetExeCurrentDir() + QStringLiteral("setofpresets/") + GetRadarTypeStrForPresets() + title;
  try {
    const QString fileName = settings.GetFileName();
    window->ReadFromFileToFRNChannals(base + QStringLiteral(".bstt"));
    settings.SetFileName(fileName);
    settings.SetWasOpen(false);
    settings.NewFile = true;
    settings.SetAdvanceStacking(current->FirmwareVer() > 7);
    if (radarSet_) radarSet_->ControlRadar.SetEqualRadarTypeAndView();
    if (!Settings.SimpleMode) {
      window->SetOfToolsChange(base + QStringLiteral(".bstcl"), false);
      Sinchronize3ToolsToOnline(*window, true);
    }
    if (settings.GetTopoType() != ttNil) Settings.TopoType = settings.GetTopoType();
    window->SaveSTT();
  } catch (const std::exception&) {
    // The window keeps what it could read.
  }
  settings.SetNeedForSave(settingsNeedSave);
  first->SetNeedForSave(storeNeedsSave);
  settings.SetWasOpen(wasOpen);
  window->MeasureAxisSize();
  window->FormResize(nullptr);
  return true;
}
