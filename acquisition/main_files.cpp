// The main window's file commands a recording needs: Create (a new recording
// window under a free name), the next free file number, and Writing the active
// window into single-channel files or the multi-channel container.

#include "acquisition/main_form.h"

#include "acquisition/radar_discovery.h"
#include "acquisition/record_file_naming.h"
#include "platform/rtl/paths.h"
#include "platform/rtl/rounding.h"
#include "platform/rtl/sys_utils.h"
#include "platform/ui/buttons.h"
#include "platform/ui/combo_box.h"
#include "platform/ui/file_dialogs.h"
#include "platform/ui/message_boxes.h"
#include "platform/ui/page_control.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "radar/control_radar.h"
#include "radargram/view2d_form.h"

#include <algorithm>

RESOURCESTRING(SSaveLastProfile, "To continue, you must save the last profile!");
RESOURCESTRING(SProfileNotSaved, "The profile has not been saved.");
RESOURCESTRING(SMissingToolsOnSave,
               "The program does not detect the following tools:\r\r\n%s\r\nTo save without it - OK, do not save - Cancel");
RESOURCESTRING(SSaveFerunData, "Save FERUN data");
RESOURCESTRING(SFerunFilter, "All format files|*.frn;*.dezo|Profile data|*.dezo|Ferun data|*.frn");

namespace {

// The save dialog of a target whose folder is gone; the chosen name, or
// nothing when the user cancels.
std::optional<QString> AskTarget(TComponent* owner, const QString& folder, const QString& proposal) {
  TSaveDialog dialog(owner);
  dialog.SetTitle(LoadResString(SSaveFerunData));
  dialog.SetFilter(LoadResString(SFerunFilter));
  dialog.SetDefaultExt(QStringLiteral(".frn"));
  dialog.SetOptions(dialog.Options() | TOpenOptions{ofOverwritePrompt});
  dialog.SetInitialDir(folder);
  dialog.SetFileName(ExtractFileName(proposal));
  if (!dialog.Execute()) return std::nullopt;
  return dialog.FileName();
}

}  // namespace

int32_t DUvova3DuruZuza::GetFreeNumCount(const QString& FileName) const {
  return FreeFileNumber(FileName, Settings.PrefixFiles);
}

void DUvova3DuruZuza::CreateActionExecute() {
  // 1. The last recording is saved first.
  if (TView2DForm* child = CurChild_) {
    T2Dview* first = child->GetView2DByIndx(0);
    if (first && !first->WasOpen && first->GetNeedForSave()) {
      child->WheelHandlerEnabled = false;
      if (MessageDlg(LoadResString(SSaveLastProfile), mtWarning, mbYesNo, 0) == mrYes) SaveActionExecute();
      if (first->GetNeedForSave()) return;
    }
  }
  // 2. A window that was not opened from a file makes room for the new one.
  if (TView2DForm* child = CurChild_) {
    const T2Dview* first = child->GetView2DByIndx(0);
    if (!first || !first->WasOpen) {
      if (!child->CheckForTlsSave()) return;
      StartResize_ = false;
      CurChild_ = nullptr;
      if (RunChild_ == child) RunChild_ = nullptr;
      child->Free();
    }
  }
  try {
    // 3. As many channels as radars, at most five.
    SetNewViewChannalCount(std::clamp(std::min({NewViewChannalCount(), kChannelSlots, CountRadarFromMaster_.load()}), 0,
                                      kChannelSlots));
    // 4. The window.
    flNewCreate_ = true;
    StartResize_ = true;
    TView2DForm* window = NewView2DForm();
    StartResize_ = false;
    // 5. A window without its first channel is of no use.
    if (!window->GetView2DByIndx(0) || ErrorNewCreate) {
      StartResize_ = false;
      window->Free();
      MessageDlg(LoadResString(SInsufficientResources), mtError, TMsgDlgButtons{mbOK}, 0);
      return;
    }
    CurChild_ = window;
    // 6. A name that exists already is never recorded over: the next free
    //    number is proposed.
    const QString existing = window->Caption();
    if (FileExists(existing)) {
      const int32_t n = GetFreeNumCount(existing);
      const QString proposal = window->FilePrefix() + QString::number(n) + ExtractFileExt(existing);
      const bool accepted = MessageDlg(Format(LoadResString(SChangeFileName), {existing, existing, proposal}),
                                       mtConfirmation, mbYesNo, 0) == mrYes;
      window->SetFileCount(n);
      if (accepted) Settings.CountFiles = n + 1;
      window->CreateNewFileName();
      if (accepted) window->GetCaptionFromView2D_0();
      // The operator keeps the name: the settings window lets them choose another.
      if (!accepted && !Settings.SimpleMode) ActionViewSettingsExecute();
    }
    // 7. The last-used tool set, then the window's view for a new recording:
    //    the profile's depth fills the window's height (the zoom list's first item).
    window->OpenToolsSTCL();
    if (window->SimpleBackgroundRemovalSpeedButton)
      window->SimpleBackgroundRemovalSpeedButton->SetDown(Settings.SimpleBackgroundRemoval);
    if (window->LeftPageControl) window->LeftPageControl->SetActivePageIndex(0);
    window->MeasureAxisSize();
    window->SetWindowState(wsMaximized);
    window->FormResize(nullptr);
    if (window->ZoomComboBox) {
      window->ZoomComboBox->SetItemIndex(0);
      window->ZoomComboBoxChange();
    }
    window->FormResize(nullptr);
    window->SetProportional(Settings.Proportional);
    window->SetPropButtonAsProportional();
    window->SetFileCount(Settings.CountFiles - 1);
    window->SetFilePrefix(Settings.PrefixFiles);
    const T2Dview* first = window->GetView2DByIndx(0);
    const bool gps = first && first->Settings()->GetTopoType() == ttGPS;
    if (window->LeftPageControl && window->GPSTabSheet)
      window->LeftPageControl->SetActivePageIndex(gps ? window->GPSTabSheet->PageIndex() : 0);
  } catch (const std::exception&) {
    // A window that could not be set up stays as it is.
  }
  // 8. The device offsets into the window, and the interface.
  if (TControlRadar* set = ControlRadar()) set->CreateXYZOffsetFromRadar();
  UpdateInterface();
}

bool DUvova3DuruZuza::WriteToFileChannal(int /*CountSaveChannal*/, const QString& FileName) {
  auto* window = dynamic_cast<TView2DForm*>(ActiveMDIChild());
  if (!window) window = CurChild_;
  T2Dview* first = window ? window->GetView2DByIndx(0) : nullptr;
  if (!first) return false;
  // 1. and 2. The name and the writer.
  const QString name = FileName.isEmpty() ? window->Caption() : FileName;
  const bool single = WritesSingleFiles({first->WasOpen, name, isActiveMDIChild_OneChannal(),
                                         IsMultiChannelGPRDevice(window->TypeGPRDevice), window->TypeProfiles});
  // 3. Nothing to write.
  if (!first->WasOpen && first->SizeDat() <= 1) return false;
  auto notSaved = [] {
    MessageDlg(LoadResString(SProfileNotSaved), mtWarning, TMsgDlgButtons{mbOK}, 0);
    return false;
  };
  bool written = true;
  if (single) {
    // 4. One record per channel with traces.
    QString target = name;
    if (!DirectoryExists(ExtractFileDir(target))) {
      const std::optional<QString> chosen = AskTarget(this, LastFolder(), target);
      if (!chosen) return notSaved();
      target = *chosen;
      Settings.LastFolder = ExtractFilePath(target);
      window->SetCaption(target);
    }
    if (window->CountChannalView < 2) {
      window->SetCaption(target);
      written = first->WriteToFile(target);
    } else {
      const QString base = ChangeFileExt(target, QString());
      for (int i = 0; i < window->CountChannalView; ++i) {
        T2Dview* store = window->GetView2DByIndx(i);
        if (store && store->HoldsTraces()) {
          written = store->WriteToFile(base + u'_' + QString::number(i) + QStringLiteral(".dezo")) && written;
          // A failed chain file has said so; the profile is written all the same.
          window->SaveTools(base + u'_' + QString::number(i) + QStringLiteral(".tls"), i);
        }
      }
    }
  } else {
    // 5. The container.
    QString target = ChangeFileExt(FileName.isEmpty() ? first->Settings()->GetFileName() : name, QString()) +
                     QStringLiteral(".frn");
    if (!DirectoryExists(ExtractFileDir(target))) {
      const std::optional<QString> chosen = AskTarget(this, LastFolder(), target);
      if (!chosen) return notSaved();
      target = *chosen;
    }
    window->SetCaption(target);
    written = window->WriteToFileToFRNChannals(target);
  }
  // A channel that could not be written has told why. The recording stays
  // unsaved as a whole, even when channel 0's own file was written.
  if (!written) {
    first->SetNeedForSave(true);
    return notSaved();
  }

  // 6. The defaults for the next profile continue the step between the last two.
  window->isSaveDefault = true;
  TSettingData& settings = *first->Settings();
  const bool wasOpen = settings.GetWasOpen();
  settings.SetWasOpen(false);
  LastCreateSaveStartYShift = window->DeviceY();
  const int32_t y = window->DeviceY();
  const int64_t next = int64_t{y} + (int64_t{y} - predLastCreateSaveStartYShift);
  window->SetDeviceOffsets(window->DeviceX(), SaturateToInt32(next), window->DeviceZ());
  window->SaveDefault();
  window->SetDeviceOffsets(window->DeviceX(), y, window->DeviceZ());
  predLastCreateSaveStartYShift = LastCreateSaveStartYShift;
  settings.SetWasOpen(wasOpen);
  settings.SetNeedForSave(false);
  first->SetNeedForSave(false);
  // 7. The tool chain beside the profile, unless the user leaves out a chain
  //    that names tools this program does not have.
  if (!window->MissingTools.isEmpty() &&
      MessageDlg(Format(LoadResString(SMissingToolsOnSave), {window->MissingTools}), mtWarning,
                 TMsgDlgButtons{mbOK, mbCancel}, 0) != mrOk)
    return true;
  const QString profile = first->Settings()->GetFileName();
  if (single)
    window->SaveTools(ChangeFileExt(profile, QStringLiteral(".tls")), 0);
  else
    window->SaveToolsFRN(ChangeFileExt(profile, QStringLiteral(".btls")));
  return true;
}
