// The main window's radar discovery and acquisition control: the USB radars
// probed at start and when a radar device comes or goes, the radars dropped
// when the computer sleeps, the Wi-Fi radar probed by the ping timer until one
// answers, the radar status, and the command states a recording changes.

#include "acquisition/main_form.h"
#include "acquisition/settings_form.h"
#include "acquisition/general_pref_form.h"

#include "acquisition/main_radar_shell.h"
#include "acquisition/radar_discovery.h"
#include "platform/devices/device_events.h"
#include "platform/devices/power_events.h"
#include "platform/ui/application.h"
#include "platform/ui/timers.h"
#include "platform/ui/ui_queue.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "radar/active_radar.h"
#include "radar/radar_messages.h"
#include "radar/radar_set.h"
#include "radar/radar_set_param_reserving.h"
#include "radar/radar_usb.h"
#include "radar/radar_w.h"
#include "radar/tcp_probe.h"
#include "radargram/view2d_form.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <mutex>
#include <thread>

namespace {

// Clears a re-entry guard however the guarded work ends.
class TGuardReset {
public:
  explicit TGuardReset(std::atomic<bool>& guard) : guard_(guard) {}
  ~TGuardReset() { guard_ = false; }
  TGuardReset(const TGuardReset&) = delete;
  TGuardReset& operator=(const TGuardReset&) = delete;

private:
  std::atomic<bool>& guard_;
};

// Runs a step at the end of a scope, however it ends.
template <typename F>
class TFinally {
public:
  explicit TFinally(F f) : f_(std::move(f)) {}
  ~TFinally() { f_(); }
  TFinally(const TFinally&) = delete;
  TFinally& operator=(const TFinally&) = delete;

private:
  F f_;
};

}  // namespace

void DUvova3DuruZuza::Pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// ---- Notifications --------------------------------------------------------------------

void DUvova3DuruZuza::StartDeviceNotifications() {
  SetMessageHandler(WM_POWERBROADCAST, [this](TMessage& m) { WMPowerBroadcast(m); });
  SetMessageHandler(WM_GPRSTATUS, [this](TMessage& m) { WMGprStatus(m); });
  SetMessageHandler(WM_WIFIERROR, [this](TMessage& m) { WMWiFiError(m); });
  // A device's name travels with its notification: the notification is queued
  // as a call on the user-interface thread, dropped when the window goes first.
  deviceEvents_ = std::make_unique<TDeviceEventSource>(
      DeviceRoots(), Settings.strUID, [this](const TDeviceEvent& event) {
        const UINT kind = event.Kind == dekArrival ? DBT_DEVICEARRIVAL : DBT_DEVICEREMOVECOMPLETE;
        ui_detail::TUiQueue::Instance().Queue(this, [this, kind, name = event.Name] { WMDeviceChange(kind, name); });
      });
  const HWND handle = Handle();
  powerEvents_ = std::make_unique<TPowerEventSource>(
      [handle](TPowerEvent event) { PostMessage(handle, WM_POWERBROADCAST, event, 0); });
}

// ---- USB radars -------------------------------------------------------------------------

int DUvova3DuruZuza::CountPortDevices(const QUuid& /*classGuid*/) {
  const TUsbEnumeration found = EnumerateUsbRadars(DeviceRoots(), Settings.strUID);
  if (!found.RadarPorts.isEmpty()) strComNumber = found.RadarPorts.back();
  return found.Count;
}

void DUvova3DuruZuza::ProbeUsbRadars(const QUuid& classGuid) {
  if (isCheckDeviceRunned_) return;
  isCheckDeviceRunned_ = true;
  TFinally atEnd([this] {
    isCheckDeviceRunned_ = false;
    TView2DForm* child = CurChild_;
    const T2Dview* first = child ? child->GetView2DByIndx(0) : nullptr;
    if (first && !first->WasOpen && !first->Settings()->GetWasOpen()) child->RefreshSettingsRadar();
  });
  if (!radarSet_) return;
  CountUSBdevices = CountPortDevices(classGuid);
  if (CountUSBdevices == PredCountUSBdevices) return;
  const TUsbEnumeration found = EnumerateUsbRadars(DeviceRoots(), Settings.strUID);
  for (const QString& port : found.RadarPorts) {
    if (!radarSet_->ActiveRadar.CreateRadar(port)) {
      Pause(1);
      break;
    }
  }
  PredCountUSBdevices = CountUSBdevices;
  radarSet_->ActiveRadar.CreateArChannalSerNum();
  radarSet_->ActiveRadar.CreateArControlRadar();
  radarSet_->ControlRadar.CreateXYZOffsetFromRadar();
  SetAllGlobalChannalVisible();
  AfterChangeRadar();
}

void DUvova3DuruZuza::DropUsbRadars() {
  if (isDeleteDeviceRunned) return;
  isDeleteDeviceRunned = true;
  TGuardReset reset(isDeleteDeviceRunned);
  ResetAutoNumChannalRadar();
  if (radarSet_) {
    ForgetSetRadarsInWindows();
    CountRadarFromMaster_ = 0;
    radarSet_->ActiveRadar.RadarFree();
    radarSet_->ControlRadar.RadarNil();
    radar_ = nullptr;
    ModeSystemRadars = msrSingle;
  }
  // The preferences dialog and the settings window hear of it once they exist.
  StatusGprText_ = LoadResString(SGprNotAvailable);
  RefreshStatusBar();
  if (TView2DForm* child = CurChild_)
    for (int i = 0; i < kChannelSlots; ++i)
      if (T2Dview* store = child->GetView2DByIndx(i)) store->Settings()->SetSettingRadar(nullptr);
}

void DUvova3DuruZuza::DelDeviceAndNil() {
  TFinally atEnd([this] {
    if (radarSet_) radarSet_->ControlRadar.SetCompleteList(true);
    SendMessage(Handle(), WM_GPRSTATUS, 0, 0);
    PredCountUSBdevices = 0;
    if (TGeneralPreferensesForm* preferences = GeneralPreferensesForm)
      PostMessage(preferences->Handle(), WM_DEVICELISTCHANGED, 0, 0);
  });
  DropUsbRadars();
}

void DUvova3DuruZuza::ReCheckDevice() {
  TFinally atEnd([this] {
    if (radarSet_) radarSet_->ControlRadar.SetCompleteList(true);
    SendMessage(Handle(), WM_GPRSTATUS, 0, 0);
  });
  if (radarSet_) {
    radarSet_->ControlRadar.SetCompleteList(false);
    radarSet_->ControlRadar.RadarNil();
  }
  isCheckDeviceRunned_ = false;
  isDeleteDeviceRunned = false;
  DropUsbRadars();
  // The devices are what they were: a re-check probes in full, or the radars
  // just dropped would not be found again.
  PredCountUSBdevices = 0;
  if (!startDEVICEREMOVECOMPLETE) ProbeUsbRadars(Settings.gprGUID);
  Pause(100);
}

void DUvova3DuruZuza::SetAllGlobalChannalVisible() { GlobalChannalVisible().fill(true); }

void DUvova3DuruZuza::AfterChangeRadar() {
  // The settings window follows the radar set.
  if (TSettingsForm* settings = SettingsForm) PostMessage(settings->Handle(), WM_DEVICELISTCHANGED, 0, 0);
  TRadar* current = radar_;
  if (!current && !ResultCheckingTCP && TimerPing) TimerPing->SetEnabled(true);
  TView2DForm* child = CurChild_;
  if (!current || !child || !radarSet_ || !radarSet_->ControlRadar.isPresentRadar(current)) return;
  for (int i = 0; i < kChannelSlots; ++i) {
    T2Dview* store = child->GetView2DByIndx(i);
    if (store && !store->WasOpen) store->Settings()->SetAdvanceStacking(current->FirmwareVer() > 6);
  }
}

// ---- Status --------------------------------------------------------------------------------

void DUvova3DuruZuza::ShowStatusGPR() {
  TRadar* current = radar_;
  if (isClosedMain_ || !current || !radarSet_ || !radarSet_->ControlRadar.isPresentRadar(current)) return;
  if (current->RadarType() != unknown)
    StatusGprText_ = QStringLiteral("GPR ") + radarSet_->ControlRadar.GetListRadar() + strErrorCreateRadar;
  else
    StatusGprText_ = LoadResString(SGprNotAvailable);
  RefreshStatusBar();
}

void DUvova3DuruZuza::WMGprStatus(TMessage& /*message*/) {
  TRadar* current = radar_;
  if (!current || !radarSet_ || !radarSet_->ControlRadar.isPresentRadar(current)) return;
  {
    std::lock_guard paint(current->SectPaint);
    StatusGprText_ = QStringLiteral("GPR ") + radarSet_->ControlRadar.GetListRadar() + strErrorCreateRadar;
  }
  RefreshStatusBar();
}

// ---- Power and devices ------------------------------------------------------------------------

void DUvova3DuruZuza::WMPowerBroadcast(TMessage& message) {
  switch (message.WParam) {
    case PBT_APMSUSPEND:
      DelDeviceAndNil();
      break;
    case PBT_APMRESUMEAUTOMATIC:
      PredCountUSBdevices = 0;
      ShowStatusGPR();
      if (!radar_ && TimerPing) TimerPing->SetEnabled(true);
      Updatemenu();
      break;
    default:
      break;
  }
}

void DUvova3DuruZuza::WMDeviceChange(UINT event, const QString& name) {
  if (!DeviceNameMatches(name, Settings.strUID)) return;
  if (event == DBT_DEVICEARRIVAL) {
    // The USB radar takes over from a Wi-Fi radar.
    if (dynamic_cast<TRadarW*>(radar_.load())) {
      TMessage wifiLost{WM_WIFIERROR, 0, 0, 0};
      WMWiFiError(wifiLost);
    }
    if (radarSet_ && !radarSet_->ControlRadar.isPresentRadarNotNil()) PredCountUSBdevices = 0;
    if (!startDEVICEREMOVECOMPLETE) ProbeUsbRadars(Settings.gprGUID);
  } else if (event == DBT_DEVICEREMOVECOMPLETE) {
    if (!radar_ && radarSet_ && radarSet_->ControlRadar.isPresentRadarNotNil())
      radar_ = radarSet_->ControlRadar.GetPresentRadarNotNil();
    if (dynamic_cast<TRadarUsb*>(radar_.load()) && radarSet_) {
      startDEVICEREMOVECOMPLETE = true;
      std::array<std::optional<bool>, kChannelSlots> wasOpen{};
      TView2DForm* child = CurChild_;
      for (int i = 0; i < kChannelSlots; ++i)
        if (const T2Dview* store = child ? child->GetView2DByIndx(i) : nullptr)
          wasOpen[static_cast<size_t>(i)] = store->Settings()->GetWasOpen();
      {
        TFinally atEnd([&] {
          // The window may have gone meanwhile; only a window still current gets its states back.
          if (child && child == CurChild_.load())
            for (int i = 0; i < kChannelSlots; ++i)
              if (T2Dview* store = child->GetView2DByIndx(i); store && wasOpen[static_cast<size_t>(i)])
                store->Settings()->SetWasOpen(*wasOpen[static_cast<size_t>(i)]);
          AfterChangeRadar();
          startDEVICEREMOVECOMPLETE = false;
          ProbeUsbRadars(Settings.gprGUID);
        });
        DropUsbRadars();
        // The recording the radar was making is stopped and saved.
        if (RecordingInCurrentWindow()) {
          Commands.RunChecked = false;
          RunActionExecute();
        }
      }
      // Only a serial radar's removal ends a run: a Wi-Fi radar that records
      // on keeps its Run command as it is.
      Commands.ShowRunStopped();
      FileActionsEnabled = true;
      ShowRunCommand();
    }
  }
  if (!startDEVICEREMOVECOMPLETE) {
    ShowStatusGPR();
    Updatemenu();
  }
}

// ---- Wi-Fi radar ---------------------------------------------------------------------------------

void DUvova3DuruZuza::TimerPingTimer() {
  if (isClosedMain_ || !radarSet_) return;
  if (const TRadar* current = radar_; current && current->RadarType() != unknown) return;
  const QString address = Settings.WiFiAddress.trimmed();
  const uint16_t port = radarShell_->WiFiPort();
  if (address.isEmpty() || Settings.WiFiPort.trimmed().isEmpty()) return;
  TResultCheckingTCP* result = CheckTcpRadar(address, port);
  if (!result) return;
  TimerPing->SetEnabled(false);
  ResetAutoNumChannalRadar();
  radarSet_->ActiveRadar.CreateRadar(result->TypeWiFiRadar == TRRasberry ? RaspRadarName : WiFiRadarName);
  radarSet_->ActiveRadar.CreateArChannalSerNum();
  radarSet_->ActiveRadar.CreateArControlRadar();
  radarSet_->ControlRadar.CreateXYZOffsetFromRadar();
  SetAllGlobalChannalVisible();
  if (TView2DForm* child = CurChild_) child->RefreshSettingsRadar();
  // The radar that was lost comes back to the window it recorded into: the
  // recording goes on there.
  const bool resume = (RadarStarted_ || resumeAfterWiFiLoss_) && RunChild_ && ReserverRadarParam &&
                      ReserverRadarParam->ReservRunChild == static_cast<IRecordingWindow*>(RunChild_.load());
  resumeAfterWiFiLoss_ = false;
  if (resume) {
    Commands.RunChecked = true;
    ActionsInResume();
  }
  Updatemenu();
  // A run the loss did not belong to starts afresh; a resumed one is not
  // started a second time.
  if (RadarStarted_ && !resume) {
    Commands.RunChecked = true;
    RunActionExecute();
  }
}

void DUvova3DuruZuza::WMWiFiError(TMessage& /*message*/) {
  if (!dynamic_cast<TRadarW*>(radar_.load())) return;
  if (radarSet_) {
    if (!ReserverRadarParam) ReserverRadarParam = std::make_unique<TRadarParamReserving>();
    Application->ProcessMessages();
    Pause(1000);
    ReserverRadarParam->SaveParam(radarSet_->ActiveRadar);
    // The channels bound to the radars that go forget them: a channel that
    // kept its radar would reach a freed object when the recording stops.
    ForgetSetRadarsInWindows();
    CountRadarFromMaster_ = 0;
    radarSet_->ActiveRadar.RadarFree();
    radarSet_->ControlRadar.RadarNil();
  }
  ResultCheckingTCP.reset();
  radar_ = nullptr;
  StatusGprText_ = LoadResString(SGprNotAvailable);
  RefreshStatusBar();
  PostMessage(Handle(), WM_GPRSTATUS, 0, 0);
  ResetAutoNumChannalRadar();
  // A running recording is stopped and saved; the radar's return resumes it.
  if (RecordingInCurrentWindow()) {
    resumeAfterWiFiLoss_ = true;
    Commands.RunChecked = false;
    RunActionExecute();
  }
  Updatemenu();
  if (TimerPing) TimerPing->SetEnabled(true);
}

void DUvova3DuruZuza::ForgetSetRadarsInWindows() {
  if (!radarSet_) return;
  std::array<const ISettingsRadar*, kChannelSlots> going{};
  for (int i = 0; i < kChannelSlots; ++i) going[static_cast<size_t>(i)] = radarSet_->ActiveRadar.GetRadarByIndex(i);
  for (TView2DForm* window : RadargramWindows())
    for (int i = 0; i < kChannelSlots; ++i)
      if (T2Dview* store = window->GetView2DByIndx(i); store && store->Settings()->GetSettingRadar())
        if (std::find(going.begin(), going.end(), store->Settings()->GetSettingRadar()) != going.end())
          store->Settings()->SetSettingRadar(nullptr);
}

bool DUvova3DuruZuza::RecordingInCurrentWindow() const {
  const TView2DForm* child = CurChild_;
  const T2Dview* first = child ? child->GetView2DByIndx(0) : nullptr;
  return first && !first->WasOpen && Commands.RunChecked;
}

// ---- Commands --------------------------------------------------------------------------------------

void DUvova3DuruZuza::SetButtonInRunMode(bool running) {
  const bool enabled = !running && !RadargramWindows().empty();
  Commands.SaveEnabled = Commands.SaveAsEnabled = Commands.PrintEnabled = enabled;
  Commands.DirectionEnabled = Commands.GprSettingsEnabled = enabled;
  ShowToolBarStates();
}

void DUvova3DuruZuza::SetButtonDirect() {
  TView2DForm* child = CurChild_;
  const T2Dview* first = child ? child->GetView2DByIndx(0) : nullptr;
  if (first) Commands.ShowDirection(first->Settings()->GetDirection());
  ShowToolBarStates();
}

void DUvova3DuruZuza::ActionDirectExecute() {
  TView2DForm* window = RunChild_ ? RunChild_.load() : CurChild_.load();
  const T2Dview* first = window ? window->GetView2DByIndx(0) : nullptr;
  if (!first || first->HoldsTraces()) return;
  const TDirection direction = first->Settings()->GetDirection() == back ? forth : back;
  for (int i = 0; i < kChannelSlots; ++i)
    if (T2Dview* store = window->GetView2DByIndx(i)) store->Settings()->SetDirection(direction);
  Commands.ShowDirection(direction);
}
