// The program link with the planning program: the copy-data codes the main
// window answers beyond opening a file, closing every radargram window, and the
// reports of saves and language switches sent to the planning program's window.

#include "acquisition/main_form.h"

#include "acquisition/command_line.h"
#include "platform/ipc/copy_data.h"
#include "platform/ipc/endpoint.h"
#include "platform/rtl/paths.h"
#include "platform/rtl/sys_utils.h"
#include "platform/ui/message_boxes.h"
#include "platform/ui/page_control.h"
#include "platform/ui/panels.h"
#include "profiledata/channel_store.h"
#include "profiledata/digit_edit.h"
#include "profiledata/setting_data.h"
#include "radargram/view2d_form.h"

#include <QFileInfo>

RESOURCESTRING(SLinkFileNotPresent, "File %s is not present!");

namespace {

// A reopened file this large opens in samples at 1:1, which draws fastest.
constexpr int64_t kLargeReopenBytes = 10'000'000;

// After closing windows: the toolkit's pause for the closes to settle.
constexpr int kCloseSettleMs = 100;

}  // namespace

int64_t DUvova3DuruZuza::WMCopyData(uint64_t code, const QByteArray& bytes) {
  switch (code) {
    case cdOpenFile:
    case cdOpenFileWithOffsets: {
      const QString fileName = CopyDataText(bytes);
      flNewCreate_ = false;
      TView2DForm* window = NewView2DForm();
      const std::shared_ptr<const bool> alive = window->WindowAlive;
      window->ReadFromFile(fileName);
      if (*alive) window->RunPostProcess(nullptr);
      if (*alive && window->TopoCorrectionShown()) window->GetIdentForTopoCor(false);
      Updatemenu();
      if (code == cdOpenFileWithOffsets && *alive) {
        if (!SimpleMode() && window->LeftPageControl) {
          window->LeftPageControl->SetActivePageIndex(0);
          window->LeftPageControlChange(nullptr);
        }
        // The planning program places the profile: only its start in the plane.
        if (window->XOffsetDigitEdit) window->XOffsetDigitEdit->SetEnabled(true);
        if (window->YOffsetDigitEdit) window->YOffsetDigitEdit->SetEnabled(true);
        if (window->ZOffsetDigitEdit) window->ZOffsetDigitEdit->SetEnabled(false);
        if (window->AngleDigitEdit) window->AngleDigitEdit->SetEnabled(false);
        window->UpdateOffsetPanel();
        if (window->OffsetPanel) window->OffsetPanel->Show();
      }
      return static_cast<int64_t>(code);
    }
    case cdReloadFile: {
      const QString fileName = CopyDataText(bytes);
      // A file that is not there closes nothing: the user's windows stay.
      const QFileInfo file(fileName);
      if (fileName.isEmpty() || !file.isFile()) {
        ShowMessage(Format(LoadResString(SLinkFileNotPresent), {fileName}));
        return 0;
      }
      CloseAllChilds();
      flNewCreate_ = false;
      SetNewViewChannalCount(kChannelSlots);
      TView2DForm* window = NewView2DForm();
      if (file.size() > kLargeReopenBytes) Settings.Proportional = PropInSamples11;
      const std::shared_ptr<const bool> alive = window->WindowAlive;
      window->ReadFromFile(fileName);
      if (*alive) {
        window->LastCopydataMessage = MarkReopen;
        window->Show();
        window->SetFocus();
      }
      Updatemenu();
      return static_cast<int64_t>(cdReloadFile);
    }
    case cdReloadSaveClose: {
      const QString fileName = CopyDataText(bytes);
      CloseAllChilds();
      flNewCreate_ = false;
      SetNewViewChannalCount(kChannelSlots);
      TView2DForm* window = NewView2DForm();
      const std::shared_ptr<const bool> alive = window->WindowAlive;
      window->SetCaption(QString());
      window->ReadFromFile(fileName);
      if (!*alive) {
        Updatemenu();
        return 0;
      }
      window->LastCopydataMessage = MarkReopenSaveClose;
      Updatemenu();
      T2Dview* first = window->GetView2DByIndx(0);
      // Only what was read goes back: a failed read leaves the file as it is.
      const bool read = first && window->GetCountChannalWithData() > 0;
      bool written = false;
      if (read) {
        window->Paint2D(0);
        written = ExtractFileExt(fileName) == QStringLiteral(".frn") ? window->WriteToFileToFRNChannals(fileName)
                                                                      : first->WriteToFile(fileName);
      }
      window->SetWindowState(wsNormal);
      window->Close();
      if (*alive) window->Free();
      Updatemenu();
      return written ? static_cast<int64_t>(cdReloadSaveClose) : 0;
    }
    case cdCreateProfile:
    case cdCreateArcProfile: {
      ReadFileSettings(true);
      // Showing a shown window raises it.
      Show();
      SetFocus();
      GlobalTypeProfiles_ = code == cdCreateProfile ? tpLinear : tpArc;
      CreateActionExecute();
      if (TView2DForm* window = CurChild_) window->LastCopydataMessage = MarkCreated;
      return static_cast<int64_t>(cdCreateProfile);
    }
    case cdFilesSaved: {
      const QString fileName = CopyDataText(bytes);
      for (TView2DForm* window : RadargramWindows()) {
        T2Dview* first = window->GetView2DByIndx(0);
        if (!first || !SameText(first->Settings()->GetFileName(), fileName)) continue;
        window->LastCopydataMessage = MarkReopen;
        window->ClearSetOfTools();
        first->WasOpen = true;
        first->Settings()->SetWasOpen(true);
        // The window's own name: on this system the letter case can matter.
        const std::shared_ptr<const bool> alive = window->WindowAlive;
        window->ReadFromFile(first->Settings()->GetFileName());
        if (*alive) {
          if (T2Dview* again = window->GetView2DByIndx(0)) {
            again->WasOpen = true;
            again->Settings()->SetWasOpen(true);
          }
          window->Show();
          window->SetFocus();
        }
        Updatemenu();
        break;
      }
      return static_cast<int64_t>(cdReloadFile);
    }
    case cdLanguageChanged:
      if (RadargramWindows().empty()) {
        ReadLanguageFile();
        Lang();
      }
      return 0;
    default:
      return 0;
  }
}

void DUvova3DuruZuza::CloseAllChilds() {
  isCloseChild_ = true;
  const std::vector<TView2DForm*> windows = RadargramWindows();
  for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
    TView2DForm* window = *it;
    const std::shared_ptr<const bool> alive = window->WindowAlive;
    window->SetWindowState(wsNormal);
    window->flCloseAllChilds = true;
    window->Close();
    if (*alive) window->Free();
  }
  // The windows opened next are laid out as new ones, not as survivors of a close.
  isCloseChild_ = false;
  if (!RadargramWindows().empty()) Pause(kCloseSettleMs);
}

void DUvova3DuruZuza::SendSaveMessToVandrel() {
  auto* window = dynamic_cast<TView2DForm*>(ActiveMDIChild());
  if (!window) window = CurChild_;
  if (!window) return;
  window->PrepareButtons();
  const QString planning = PlanningWindowClass();
  if (!FindWindow(planning)) return;
  if (window->LastCopydataMessage == MarkReopen) {
    ActivateWindow(planning);
    if (T2Dview* first = window->GetView2DByIndx(0)) {
      SendCopyData(planning, cdReloadFile, CopyDataTextBytes(first->Settings()->GetFileName()));
      Pause(kCloseSettleMs);
    }
  } else if (window->LastCopydataMessage == MarkCreated) {
    ActivateWindow(planning);
    SendCopyData(planning, cdFilesSaved, CopyDataTextBytes(window->Caption()));
  }
}

void DUvova3DuruZuza::SendLanguageToVandrel(int code) {
  const QString planning = PlanningWindowClass();
  if (!FindWindow(planning)) return;
  SendCopyData(planning, static_cast<uint64_t>(code), CopyDataTextBytes(QString::number(FLanguage)));
}
