// Acquisition and inclinometer calibration of a radar set: the command sequences
// the main window's Run, Stop and resume actions and the preferences dialog send to
// every radar of the set.

#include "platform/rtl/resource_strings.h"
#include "platform/ui/message_boxes.h"
#include "profiledata/setting_data.h"
#include "radar/control_radar.h"
#include "radar/packet_codes.h"
#include "radar/radar.h"
#include "radar/radar_hooks.h"
#include "radar/radar_w.h"

#include <algorithm>
#include <chrono>
#include <mutex>
#include <thread>

namespace {

void Pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

void ShowViewNotCreated(int indx) {
  ShowMessage(QStringLiteral("View ") + QString::number(indx) + QStringLiteral(" not create"));
}

void ShowRadarNotFound(int indx) {
  ShowMessage(LoadResString(SGprNotAvailable) + QStringLiteral("\r\nRadar ") + QString::number(indx) +
              QStringLiteral(" not found"));
}

// Sends one command; false when the radar went while the send served messages (the
// caller must not touch it then).
bool Send(TRadar& radar, uint8_t code, uint8_t size = 0, const void* param = nullptr) {
  const std::shared_ptr<const std::atomic<bool>> alive = radar.LifeToken();
  radar.SendCommand(code, size, param);
  return *alive;
}

}  // namespace

// ---- Acquisition ------------------------------------------------------------------------

void TControlRadar::StartRadarGetData(int indx) {
  TRadar* radar = SlotRadar(indx);
  IRadarSetWindow* window = CurrentWindow();
  TSettingData* channel = window ? window->ChannelSettings(indx) : nullptr;
  if (!radar) {
    if (indx == 0) ShowRadarNotFound(0);
    return;
  }
  if (window && !channel) {
    ShowViewNotCreated(indx);
    return;
  }
  // A slave is triggered by its master: it runs continuously, whatever its channel says.
  uint8_t runMode = channel ? channel->GetRunMode() : rmStep;
  if (radar->ModeRadar() == TRadarRole::slave) runMode = rmCont;

  if (channel) {
    if (const TSettingData* first = window->ChannelSettings(0)) channel->SetStackingVolume(first->GetStackingVolume());
    if (!Send(*radar, bcpWheelRotate_Stop)) return;
    Pause(10);
    // A channel that holds traces continues a recording with the parameters it was made with.
    if (!window->ChannelHoldsTraces(indx) && !Send(*radar, bcpLoadData)) return;
  }
  if (radar->FirmwareVer() > 6 && !Send(*radar, bcpLoad_Steck_Curve)) return;
  if (dynamic_cast<TRadarW*>(radar) && !Send(*radar, bcpLoadFileHeader)) return;
  // The wait for replies served messages: the window may have gone meanwhile.
  if (channel && (window = CurrentWindow())) window->SetChannelFirstTrace(indx);
  if (radar->FirmwareVer() > 4 && radar->CurMode() == cmCursor) {
    if (!Send(*radar, bcpWheelRotate_Stop)) return;
    Pause(20);
  }
  if (!Send(*radar, bcpPing2)) return;
  Pause(20);
  Send(*radar, bcpStart, 1, &runMode);
}

void TControlRadar::StartAllRadarGetData() {
  for (int k = 0; k < MaxCountChannal; ++k) StartRadarGetData(k);
}

void TControlRadar::StopRadarGetData(int indx) {
  TRadar* radar = SlotRadar(indx);
  if (!radar) return;
  switch (radar->CurMode()) {
    case cmStep:
      if (Send(*radar, bcpStop)) Send(*radar, bcpPing2);
      break;
    case cmCont:
    case cmWheel:
    case cmGPS:
    case cmBiDirectionalWheel: {
      const TCurMode mode = radar->CurMode();
      if (!Send(*radar, bcpStop)) return;
      const IAcquisitionFlags* flags = Shell().Flags;
      const IRadarWindows* windows = Shell().Windows;
      const TRadar* master = GetMasterRadar();
      const bool noPosition = (flags && flags->SimpleMode()) || !master || master->GPSstate() == gpsNone;
      if (mode == cmBiDirectionalWheel && noPosition && radar->FirmwareVer() >= 5) {
        Pause(150);
        // The unit keeps counting wheel ticks in cursor mode, so the operator can
        // wheel back over the profile after the stop.
        if (!(windows && windows->SettingsWindowVisible()) && !Send(*radar, bcpWheelRotate_Start)) return;
      }
      Send(*radar, bcpPing2);
      break;
    }
    case cmStop:
    case cmCursor:
      break;
  }
}

void TControlRadar::StopAllRadarGetData() {
  for (int k = 0; k < MaxCountChannal; ++k) StopRadarGetData(k);
}

void TControlRadar::ResumeAllRadarGetData() {
  for (int k = 0; k < MaxCountChannal; ++k) {
    TRadar* radar = SlotRadar(k);
    if (!radar) {
      if (k == 0) ShowRadarNotFound(0);
      return;
    }
    const IRadarSetWindow* window = CurrentWindow();
    if (window && !window->ChannelSettings(k)) {
      ShowViewNotCreated(k);
      return;
    }
    Send(*radar, bcpResumeTransfer);
  }
}

// ---- Inclinometer calibration -----------------------------------------------------------------

void TControlRadar::StartAllRadarsForInclinometr(bool isNulling) {
  const IRadarSetShell* shell = Shell().Set;
  for (int k = 0; k < MaxCountChannal; ++k) {
    TRadar* radar = SlotRadar(k);
    if (!radar) continue;
    if (isNulling) {
      // The preferences dialog reads and updates the extremes under the paint lock.
      std::lock_guard guard(radar->SectPaint);
      // A reversed inclinometer reads its X axis the other way round.
      const bool reversed = radar->InclinometersSett() == isReverce;
      radar->GXmin = reversed ? 0 : 1000;
      radar->GXmax = reversed ? 1000 : 0;
      radar->GYmin = radar->GZmin = 1000;
      radar->GYmax = radar->GZmax = 0;
      std::fill(radar->GXminArray.begin(), radar->GXminArray.end(), static_cast<int32_t>(radar->GXmin));
      std::fill(radar->GXmaxArray.begin(), radar->GXmaxArray.end(), static_cast<int32_t>(radar->GXmax));
      std::fill(radar->GYminArray.begin(), radar->GYminArray.end(), 1000);
      std::fill(radar->GYmaxArray.begin(), radar->GYmaxArray.end(), 0);
      std::fill(radar->GZminArray.begin(), radar->GZminArray.end(), 1000);
      std::fill(radar->GZmaxArray.begin(), radar->GZmaxArray.end(), 0);
      if (TRadar* current = shell ? shell->CurrentRadar() : nullptr) current->ZeroAngle = 0;
    }
  }
  for (int k = 0; k < MaxCountChannal; ++k) {
    TRadar* radar = SlotRadar(k);
    if (!radar || radar->CurMode() != cmStop) continue;
    const uint8_t runMode = rmCont;
    if (Send(*radar, bcpLoadData)) Send(*radar, bcpStart, 1, &runMode);
  }
}

void TControlRadar::StopAllRadarsForInclinometr() {
  for (int k = 0; k < MaxCountChannal; ++k) {
    TRadar* radar = SlotRadar(k);
    if (!radar || !Send(*radar, bcpStop)) continue;
    radar->NulingPcLoading();
  }
}

void TControlRadar::CopyAllRadarsInclinometrFromMaster() {
  const TRadar* master = GetMasterRadar();
  if (!master) return;
  for (int k = 0; k < MaxCountChannal; ++k) {
    TRadar* radar = SlotRadar(k);
    if (!radar || k == GetMasterChannal()) continue;
    radar->ZeroAngle = master->ZeroAngle;
    radar->CalibrationQuality = master->CalibrationQuality;
    radar->NulingPcLoading();
  }
}
