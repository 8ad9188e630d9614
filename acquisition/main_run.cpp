// The main window's Run command (F2): starting a recording in the current
// radargram window, resuming it after a Wi-Fi radar came back, and stopping it
// with the automatic save of what was recorded.

#include "acquisition/main_form.h"

#include "acquisition/radar_discovery.h"
#include "acquisition/settings_form.h"

#include "platform/rtl/resource_strings.h"
#include "platform/ui/buttons.h"
#include "platform/ui/chart.h"
#include "platform/ui/keys.h"
#include "platform/ui/menus.h"
#include "platform/ui/message_boxes.h"
#include "platform/ui/page_control.h"
#include "platform/ui/panels.h"
#include "platform/ui/scroll_bar.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "radar/control_radar.h"
#include "radar/online_paint_thread.h"
#include "radar/radar.h"
#include "radar/tcp_probe.h"
#include "radargram/view2d_form.h"

#include <chrono>
#include <thread>

RESOURCESTRING(SDataPartiallyLost,
               "Due to insufficient performance of the computer the data of current profile have been partially "
               "lost.\r\nPlease change settings of the GPR and try again.");
RESOURCESTRING(SDistanceM, "Distance, m");
RESOURCESTRING(SAcquisitionMenu, "Acquisition");
RESOURCESTRING(SSnapToBaseline, "Binding to the baseline");

namespace {

// The GPS page of a radargram window.
constexpr int kGpsPage = 5;

}  // namespace

// ---- The command and its menu item ------------------------------------------------------------

void DUvova3DuruZuza::CreateRunCommand() {
  if (!MainMenu) MainMenu = TComponent::Create<TMainMenu>(this);
  AcquisitionMenu = TComponent::Create<TMenuItem>(this);
  AcquisitionMenu->SetCaption(LoadResString(SAcquisitionMenu));
  MainMenu->Items()->Add(AcquisitionMenu);
  RunMenuItem = TComponent::Create<TMenuItem>(this);
  RunMenuItem->SetShortCut(ShortCut(VK_F1 + 1, {}));
  RunMenuItem->OnClick = [this](TObject*) { RunActionClick(); };
  AcquisitionMenu->Add(RunMenuItem);
  SnapMenuItem = TComponent::Create<TMenuItem>(this);
  SnapMenuItem->SetCaption(LoadResString(SSnapToBaseline));
  SnapMenuItem->SetShortCut(ShortCut(VK_INSERT, {}));
  SnapMenuItem->OnClick = [this](TObject*) { SnaptoPrincipalAxisActionExecute(); };
  AcquisitionMenu->Add(SnapMenuItem);
  SetMenu(MainMenu);
  ShowRunCommand();
}

void DUvova3DuruZuza::ShowRunCommand() {
  if (!RunMenuItem) return;
  RunMenuItem->SetCaption(Commands.RunCaption);
  RunMenuItem->SetChecked(Commands.RunChecked);
  RunMenuItem->SetImageIndex(Commands.RunPicture);
  ShowToolBarStates();
}

bool DUvova3DuruZuza::RunActionAllowed() const {
  if (!Commands.RunEnabled) return false;
  // Stopping is always possible; a start needs a ready radar and a window made
  // for recording.
  if (Commands.RunChecked) return true;
  const TRadar* current = radar_;
  const TView2DForm* child = CurChild_;
  const T2Dview* first = child ? child->GetView2DByIndx(0) : nullptr;
  return current && current->RadarType() != unknown && first && !first->WasOpen && !child->AutOfRange;
}

void DUvova3DuruZuza::SetToolDialogActionsEnabled(bool enabled) {
  // No recording starts and no radar setting changes while a tool dialog is shown.
  Commands.ToolDialogShown = !enabled;
  Commands.RunEnabled = enabled;
  Commands.GprSettingsEnabled = enabled;
  // Presets are offered for a window made for recording only: the dialog
  // leaves them as it found them.
  if (!enabled) {
    Commands.GprPresetsBeforeToolDialog = Commands.GprPresetsEnabled;
    Commands.GprPresetsEnabled = false;
  } else {
    Commands.GprPresetsEnabled = Commands.GprPresetsBeforeToolDialog;
  }
  if (RunMenuItem) RunMenuItem->SetEnabled(enabled);
  if (SnapMenuItem) SnapMenuItem->SetEnabled(enabled);
  ShowToolBarStates();
}

void DUvova3DuruZuza::Sinchronize3ToolsToOnline(TView2DForm& window, bool OnAll) {
  if (TSettingsForm* settings = SettingsForm) {
    settings->Sinchronize3ToolsToOnline(window, OnAll);
    return;
  }
  window.CopyChainToOnlineStages();
}

void DUvova3DuruZuza::SnaptoPrincipalAxisActionExecute() {
  TView2DForm* window = RunChild_ ? RunChild_.load() : CurChild_.load();
  if (window) window->SetTopoZero();
}

void DUvova3DuruZuza::RunActionClick() {
  if (!RunActionAllowed()) return;
  Commands.RunChecked = !Commands.RunChecked;
  RunActionExecute();
}

void DUvova3DuruZuza::RunActionExecute() {
  RadarPausedWithGPS_ = false;
  if (Commands.RunChecked) {
    if (TView2DForm* child = CurChild_) child->WheelHandlerEnabled = false;
    Pause(5);
    Commands.RunPicture = RunPictureStop;
    Commands.RunCaption = LoadResString(SStop);
    if (TControlRadar* radars = ControlRadar()) radars->CreateXYZOffsetFromRadar();
    ActionsInStart();
  } else {
    ActionsInStop(this);
  }
  RadarStarted_ = Commands.RunChecked.load();
  if (TView2DForm* child = CurChild_) {
    child->SetLeftAxisCaption();
    child->UpdateInterface();
  }
  ShowRunCommand();
}

// ---- Start and resume ---------------------------------------------------------------------------

void DUvova3DuruZuza::PrepareWindowForRun(TView2DForm& window) {
  window.PrepareForRunning();
  window.SetScrollBars();
  window.ResizeAxis();
  window.PaintOnlineRunning = false;
  window.StopLocationDataGPS();
  if (window.GetLocationDataButton) window.GetLocationDataButton->SetEnabled(false);
  if (window.ToolsTabSheet) window.ToolsTabSheet->SetEnabled(false);
  if (!Settings.SimpleMode)
    for (TTabSheet* page : {window.OperationsTabSheet, window.PalTabSheet, window.MarkersTabSheet})
      if (page) page->SetEnabled(true);
  // The view follows the end of the profile the traces are written at.
  if (const T2Dview* first = window.GetView2DByIndx(0); first && window.HorScrollBar) {
    const int64_t position = first->PosTraces();
    const bool nearUpper = first->MaxNumTraces() - position < position - first->MinNumTraces();
    window.HorScrollBar->SetPosition(nearUpper ? window.HorScrollBar->Max() : 0);
    window.RunAfterChangeScrollBars();
  }
  if (window.HorScrollBar) window.HorScrollBar->SetEnabled(false);
  if (window.VertScrollBar) window.VertScrollBar->SetEnabled(false);
}

void DUvova3DuruZuza::ShowGpsPageAndAxisForRun(TView2DForm& window) {
  const TControlRadar* radars = ControlRadar();
  const TRadar* master = radars ? radars->GetMasterRadar() : nullptr;
  if (!Settings.SimpleMode && master && master->GPSstate() == gpsPos && window.LeftPageControl &&
      window.LeftPageControl->ActivePageIndex() != kGpsPage) {
    window.LeftPageControl->SetActivePageIndex(kGpsPage);
    if (window.LeftPageControl->Width() < 250) window.LeftPageControl->SetWidth(250);
    window.FitLeftPageControl();
  }
  window.SetLeftAxisCaption();
  if (window.DistanceMenu && window.DistanceMenu->Checked())
    if (TChart* chart = window.GetChartByIndx(0)) chart->TopAxis()->SetTitle(LoadResString(SDistanceM));
}

void DUvova3DuruZuza::ActionsInStart() {
  TControlRadar* radars = ControlRadar();
  if (radars) radars->SetAllRadarsToStopMode();
  TView2DForm* window = CurChild_;
  if (window) PrepareWindowForRun(*window);
  // Nothing that reads, writes or changes the profile while it records.
  FileActionsEnabled = false;
  SetButtonInRunMode(true);
  RunChild_ = window;
  if (!window) return;
  ShowGpsPageAndAxisForRun(*window);
  const T2Dview* first = window->GetView2DByIndx(0);
  if (radars) {
    if (!first || !first->HoldsTraces()) radars->ClearRadarLoading();
    radars->StartAllRadarGetData();
  }
  // The start's replies served messages: the window may have gone meanwhile.
  if (window == CurChild_.load() && window->OnlinePaintThread && window->OnlinePaintThread->Suspended())
    window->OnlinePaintThread->Resume();
}

void DUvova3DuruZuza::ActionsInResume() {
  TView2DForm* window = CurChild_;
  if (window) window->WheelHandlerEnabled = false;
  if (!Commands.RunChecked) {
    if (window) window->WheelHandlerEnabled = true;
    return;
  }
  RadarStarted_ = true;
  Commands.RunPicture = RunPictureStop;
  Commands.RunCaption = LoadResString(SStop);
  TControlRadar* radars = ControlRadar();
  if (radars) radars->CreateXYZOffsetFromRadar();
  if (window) PrepareWindowForRun(*window);
  Updatemenu();
  RunChild_ = window;
  if (window) {
    ShowGpsPageAndAxisForRun(*window);
    if (window->OnlinePaintThread && window->OnlinePaintThread->Suspended()) window->OnlinePaintThread->Resume();
  }
  if (radars) radars->ResumeAllRadarGetData();
  ShowRunCommand();
}

// ---- Stop -----------------------------------------------------------------------------------------

void DUvova3DuruZuza::ActionsInStop() {
  // The window calls it itself once the replay of a device backup ended: the
  // replayed profile is the user's to save.
  ActionsInStop(CurChild_.load());
}

void DUvova3DuruZuza::ActionsInStop(TObject* Sender) {
  TView2DForm* window = CurChild_;
  // 1. An offset being edited is taken.
  if (window && window->OffsetPanel && window->OffsetPanel->Visible() && window->BitBtn2)
    window->BitBtn2Click(window->BitBtn2);
  // 2. and 3. The command states of a stopped recording.
  Commands.RunPicture = RunPictureStart;
  Commands.RunCaption = LoadResString(SStart);
  PostProcBaseValid() = false;
  FileActionsEnabled = true;
  SetButtonInRunMode(false);
  // 4. The radars stop sending.
  TControlRadar* radars = ControlRadar();
  if (radars) radars->StopAllRadarGetData();
  // 5. A single-board radar that lost traces over Wi-Fi keeps the whole
  // recording on its card: fetch it and replay it into the window.
  if (ResultCheckingTCP && ResultCheckingTCP->TypeWiFiRadar == TRRasberry && WiFiTracesWereLost())
    if (TView2DForm* child = CurChild_) child->GetFtpFile();
  // 6. The window finishes the recording.
  TRadar* current = radar_;
  if (window && window == CurChild_.load()) {
    if (window->ButtonPanel) {
      window->ButtonPanel->SetColor(clBtnFace);
      window->ButtonPanel->Invalidate();
    }
    if (current && current->FirmwareVer() < 5) RunChild_ = nullptr;
    // The traces that arrived are kept and saved all the same.
    if (WasOverFlow.exchange(false))
      MessageDlg(LoadResString(SDataPartiallyLost), mtWarning, TMsgDlgButtons{mbOK}, 0);
    if (window->HorScrollBar) window->HorScrollBar->SetEnabled(true);
    if (window->VertScrollBar) window->VertScrollBar->SetEnabled(true);
    if (window->LeftPageControl) window->LeftPageControl->SetEnabled(true);
    window->PrepareDataAfterRun();
    for (TTabSheet* page : {window->OperationsTabSheet, window->ToolsTabSheet, window->PalTabSheet, window->MarkersTabSheet})
      if (page) page->SetEnabled(true);
    window->ResizeAxis();
    for (int i = 0; i < kChannelSlots; ++i) {
      const T2Dview* store = window->GetView2DByIndx(i);
      if (!store) continue;
      if (store->SizeDat() >= 1) window->AutomaticNull(i);
      window->PaintToScreen(i);
    }
    window->ResizeAxis();
    window->RunPostProcess(nullptr);
    window->MoveScrollBarPositionToPosTrace();
    window->RunAfterChangeScrollBars();
    window->ResizeAxis();
    window->CreateBMPSectOfDeep();
    window->GetIdentForTopoCor(true);
    Commands.DirectionEnabled = false;
    Commands.RunEnabled = true;
    window->GPSarrayToMetres();
    const TRadar* master = radars ? radars->GetMasterRadar() : nullptr;
    if (radars && radars->GetCountPluginRadars() > 0 && radars->SlotRadar(0) && master &&
        master->GPSstate() == gpsPos) {
      RadarPausedWithGPS_ = true;
      if (window->GetLocationDataButton) window->GetLocationDataButton->Click();
    }
  }
  // 7. The run state; the recording shown whole.
  RadarStarted_ = Commands.RunChecked.load();
  if (window && window == CurChild_.load()) window->Paint2D(0);
  // 8. The automatic save, unless the window itself asked for the stop.
  if (!window || window != CurChild_.load()) return;
  window->SetScrollBars();
  window->MoveScrollBarPositionToPosTrace();
  window->RunAfterChangeScrollBars();
  window->ResizeAxis();
  if (dynamic_cast<TView2DForm*>(Sender)) return;
  // Only a written profile is reported to the planning program.
  const bool saved = WriteToFileChannal(radars ? radars->GetCountPluginRadars() : 1, QString());
  window->SaveToolsSTCL();
  for (int i = 0; i < kChannelSlots; ++i)
    if (T2Dview* store = window->GetView2DByIndx(i)) store->Settings()->SetWasOpen(false);
  if (saved) SendSaveMessToVandrel();
}
