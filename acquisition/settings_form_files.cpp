// The settings window's file to record (folder, prefix, index and the rename
// check when it hides) and its File menu: the defaults, opening and saving a
// settings file, saving a preset.
#include "acquisition/file_commands.h"
#include "acquisition/main_form.h"
#include "acquisition/record_file_controls.h"
#include "acquisition/record_file_naming.h"
#include "acquisition/settings_form.h"
#include "platform/rtl/paths.h"
#include "platform/rtl/sys_utils.h"
#include "platform/ui/application.h"
#include "platform/ui/buttons.h"
#include "platform/ui/edit_controls.h"
#include "platform/ui/file_dialogs.h"
#include "platform/ui/memo.h"
#include "platform/ui/menus.h"
#include "platform/ui/message_boxes.h"
#include "profiledata/channel_store.h"
#include "profiledata/digit_edit.h"
#include "profiledata/setting_data.h"
#include "profiledata/utilits.h"
#include "radar/control_radar.h"
#include "radargram/view2d_form.h"

#include <limits>

namespace settings_files {

RESOURCESTRING(SReplaceExistingFile,
               "Are you sure you want to delete the file\r\n%s\r\nand replace it with a new one?");
RESOURCESTRING(SOpenProfileSettings, "Open Profile Settings");
RESOURCESTRING(SOpenSettingsFilter, "Settings for GPR|*.bstt|GPR Data Files|*.dezo|all|*.*");
RESOURCESTRING(SSaveCurrentSettings, "Save current settings");
RESOURCESTRING(SSaveSettingsFilter, "Settings|*.bstt|All|*.*");
RESOURCESTRING(SPresetsFilter, "Presets files (*.bstt)|");

// Channel 0's name and changed state, which writing settings or a preset must
// not disturb: the settings file is no save of the profile.
class TKeptProfileState {
public:
  explicit TKeptProfileState(T2Dview* first)
      : first_(first),
        fileName_(first ? first->Settings()->GetFileName() : QString()),
        settingsNeedForSave_(first && first->Settings()->GetNeedForSave()),
        storeNeedForSave_(first && first->GetNeedForSave()),
        wasOpen_(first && first->Settings()->GetWasOpen()),
        newFile_(first && first->Settings()->NewFile) {}
  ~TKeptProfileState() {
    if (!first_) return;
    TSettingData& s = *first_->Settings();
    s.SetFileName(fileName_);
    s.SetNeedForSave(settingsNeedForSave_);
    first_->SetNeedForSave(storeNeedForSave_);
    s.SetWasOpen(wasOpen_);
    s.NewFile = newFile_;
  }
  TKeptProfileState(const TKeptProfileState&) = delete;
  TKeptProfileState& operator=(const TKeptProfileState&) = delete;

private:
  T2Dview* first_;
  QString fileName_;
  bool settingsNeedForSave_;
  bool storeNeedForSave_;
  bool wasOpen_;
  bool newFile_;
};

// The save dialog as it was before a preset borrowed it.
class TKeptDialogSetup {
public:
  explicit TKeptDialogSetup(TSaveDialog& dialog)
      : dialog_(dialog),
        initialDir_(dialog.InitialDir()),
        defaultExt_(dialog.DefaultExt()),
        filter_(dialog.Filter()),
        options_(dialog.Options()) {}
  ~TKeptDialogSetup() {
    dialog_.SetInitialDir(initialDir_);
    dialog_.SetDefaultExt(defaultExt_);
    dialog_.SetFilter(filter_);
    dialog_.SetOptions(options_);
  }
  TKeptDialogSetup(const TKeptDialogSetup&) = delete;
  TKeptDialogSetup& operator=(const TKeptDialogSetup&) = delete;

private:
  TSaveDialog& dialog_;
  QString initialDir_;
  QString defaultExt_;
  QString filter_;
  TOpenOptions options_;
};

int32_t NextCount(int32_t n) { return n < std::numeric_limits<int32_t>::max() ? n + 1 : n; }

}  // namespace settings_files

void TSettingsForm::WireFileEvents() {
  namespace sf = settings_files;
  SettingsOpenDialog = new TOpenDialog(this);
  SettingsOpenDialog->SetTitle(LoadResString(sf::SOpenProfileSettings));
  SettingsOpenDialog->SetDefaultExt(QStringLiteral(".bstt"));
  SettingsOpenDialog->SetFilter(LoadResString(sf::SOpenSettingsFilter));
  SaveSettingsDialog = new TSaveDialog(this);
  SaveSettingsDialog->SetTitle(LoadResString(sf::SSaveCurrentSettings));
  SaveSettingsDialog->SetDefaultExt(QStringLiteral(".bstt"));
  SaveSettingsDialog->SetFilter(LoadResString(sf::SSaveSettingsFilter));

  FilePrefixEdit->OnChange = [this](TObject*) { FilePrefixEditChange(); };
  FileCountDigitEdit->OnChangeFinish = [this](TObject*) { FileCountDigitEditChangeFinish(); };
  ChangePathSB->OnClick = [this](TObject*) { ChangePathSBClick(); };
  MenuDefault->OnClick = [this](TObject*) { MenuDefaultClick(); };
  MenuOpenSettings->OnClick = [this](TObject*) { MenuOpenSettingsClick(); };
  MenuSaveSettings->OnClick = [this](TObject*) { MenuSaveSettingsClick(); };
  SavePreset1->OnClick = [this](TObject*) { SavePreset1Click(); };
}

// ---- Folder, prefix and index -----------------------------------------------------------------

TRecordFileControls TSettingsForm::RecordFileControls() {
  return {this, FilePathMemo, ChangePathSB, FilePrefixEdit, FileCountDigitEdit};
}

void TSettingsForm::FilePrefixEditChange() {
  if (DUvova3DuruZuza* main = Main()) record_file_controls::PrefixChanged(*main, RecordFileControls());
}

void TSettingsForm::FileCountDigitEditChangeFinish() {
  if (DUvova3DuruZuza* main = Main()) record_file_controls::IndexChanged(*main, RecordFileControls());
}

void TSettingsForm::ChangePathSBClick() {
  if (DUvova3DuruZuza* main = Main()) record_file_controls::ChangeFolder(*main, RecordFileControls());
}

// ---- The rename check ---------------------------------------------------------------------------

void TSettingsForm::CheckFileNameOnHide() {
  namespace sf = settings_files;
  DUvova3DuruZuza* main = Main();
  TView2DForm* view = View();
  T2Dview* first = Channel(0);
  if (!main || !view || !first) return;
  QString folder = FilePathMemo->Text().trimmed();
  if (!folder.isEmpty()) folder = IncludeTrailingPathDelimiter(folder);
  const QString prefix = FilePrefixEdit->Text();
  const QString newName = record_file_naming::ProfileFileName(folder, prefix, FileCountDigitEdit->ValueInt());
  if (newName == OldFileName) return;

  // The old name's file goes only when this window wrote it: a recording made
  // and saved here. Otherwise it is someone's profile (the name an existing
  // file had when Create was answered No, an opened container) and stays.
  const TSettingData& settings = *first->Settings();
  const bool ownRecording = !settings.NewFile && (first->WasStarted || settings.WasStarted);
  const auto dropOldFile = [&] {
    if (!ownRecording) return;
    if (FileExists(OldFileName)) DeleteFile(OldFileName);
    OldFileName = ChangeFileExt(OldFileName, QStringLiteral(".tls"));
    if (FileExists(OldFileName)) DeleteFile(OldFileName);
  };
  const auto takeNumber = [&](int32_t n) {
    view->SetFileCount(n);
    main->SetGlobalCountFiles(sf::NextCount(n));
    view->CreateNewFileName();
    view->GetCaptionFromView2D_0();
  };

  if (!FileExists(newName)) {
    dropOldFile();
    return;
  }
  const int32_t n = main->GetFreeNumCount(newName);
  const QString file = ExtractFileName(newName);
  const QString proposal = prefix + QString::number(n) + QStringLiteral(".dezo");
  if (MessageDlg(Format(LoadResString(SChangeFileName), {file, file, proposal}), mtConfirmation, mbYesNo, 0) ==
      mrYes) {
    takeNumber(n);
    dropOldFile();
    return;
  }
  // No: the operator may still keep the name, and the existing file is replaced
  // when the recording is saved.
  if (MessageDlg(Format(LoadResString(sf::SReplaceExistingFile), {newName}), mtConfirmation, mbYesNo, 0) == mrYes)
    return;
  takeNumber(n);
  dropOldFile();
}

// ---- The File menu ------------------------------------------------------------------------------

void TSettingsForm::MenuDefaultClick() {
  if (!st) return;
  st->initial();
  RefreshForm();
}

void TSettingsForm::MenuOpenSettingsClick() {
  TView2DForm* view = View();
  T2Dview* first = Channel(0);
  if (!view || !first) return;
  if (!SettingsOpenDialog->Execute()) return;
  SettingsOpenDialog->SetInitialDir(QString());
  TSettingData& settings = *first->Settings();
  const QString fileName = settings.GetFileName();
  const QString chosen = SettingsOpenDialog->FileName();
  const QString extension = ExtractFileExt(chosen).toLower();
  if (extension == QStringLiteral(".stt"))
    settings.LoadFromFile(chosen);
  else if (extension == QStringLiteral(".bstt"))
    view->ReadFromFileToFRNChannals(chosen);
  settings.SetFileName(fileName);
  settings.SetWasOpen(false);
  settings.NewFile = true;
  view->FilValueList(0);
  // A file of trigger mode Internal holds no topo device; the one chosen before
  // stays for the next switch to External.
  if (settings.GetTopoType() != ttNil) SetLastTopoType(settings.GetTopoType());
  RefreshForm();
}

void TSettingsForm::MenuSaveSettingsClick() {
  TView2DForm* view = View();
  T2Dview* first = Channel(0);
  if (!view || !first) return;
  const settings_files::TKeptProfileState kept(first);
  SaveSettingsDialog->SetFilter(LoadResString(settings_files::SSaveSettingsFilter));
  if (!SaveSettingsDialog->Execute()) return;
  SaveSettingsDialog->SetInitialDir(QString());
  view->SaveBSTT(SaveSettingsDialog->FileName());
}

void TSettingsForm::SavePreset1Click() {
  namespace sf = settings_files;
  DUvova3DuruZuza* main = Main();
  TView2DForm* view = View();
  T2Dview* first = Channel(0);
  if (!main || !view || !first) return;
  const sf::TKeptProfileState kept(first);
  const sf::TKeptDialogSetup keptDialog(*SaveSettingsDialog);

  const TControlRadar* radars = main->ControlRadar();
  const bool severalRadars = radars && radars->GetCountPluginRadars() > 1;
  const auto device = static_cast<size_t>(view->TypeGPRDevice);
  const QString deviceName =
      device < GPRDeviceParams.size() ? QString::fromLatin1(GPRDeviceParams[device].DeviceName) : QString();
  const QString typeField = PresetTypeField(main->GetRadarTypeStrForPresets(), severalRadars, deviceName);
  const QString presets = DUvova3DuruZuza::GetExeCurrentDir() + QStringLiteral("setofpresets");

  SaveSettingsDialog->SetInitialDir(presets);
  SaveSettingsDialog->SetDefaultExt(QStringLiteral(".bstt"));
  SaveSettingsDialog->SetFilter(LoadResString(sf::SPresetsFilter) + typeField + QStringLiteral("*.bstt"));
  SaveSettingsDialog->SetOptions(SaveSettingsDialog->Options() | TOpenOptions{ofNoChangeDir});
  if (!SaveSettingsDialog->Execute()) return;
  SaveSettingsDialog->SetInitialDir(QString());
  const QString path = PresetSettingsFileName(presets, typeField, SaveSettingsDialog->FileName());
  // The presets menu reads this folder; the first preset makes it.
  ForceDirectories(presets);
  // A preset without its settings is no preset: the chain is not written alone.
  if (!view->SaveBSTT(path)) return;
  CopyOnlineToTools();
  view->SaveToolsFRN(ChangeFileExt(path, QStringLiteral(".bstcl")));
}
