// Finishing a radar set: the channel serial numbers, the consistency test of the
// radars' master/slave roles, the hand-over to the channel set with the multi-radar
// mode, and the announcement of a loaded set.

#include "platform/rtl/paths.h"
#include "profiledata/setting_data.h"
#include "radar/active_radar.h"
#include "radar/radar.h"
#include "radar/radar_hooks.h"
#include "radar/radar_link_state.h"
#include "radar/radar_messages.h"

#include <vector>

namespace {

void Post(HWND window, UINT message) {
  if (window) PostMessage(window, message, 0, 0);
}

// Two radars of one box measure at two frequencies when their units' time windows
// at the first span differ.
bool DifferentTimeWindows(const TRadar* a, const TRadar* b) {
  return a && b && UnitParams(a->RadarType()).WndWidth[0] != UnitParams(b->RadarType()).WndWidth[0];
}

}  // namespace

bool TActiveRadar::CreateArChannalSerNum() {
  ArChannalSerNum.fill(0);
  for (int k = 0; k < MaxCountChannal; ++k) {
    const TRadar* radar = SlotRadar(k);
    if (radar && radar->NumChannalRadar() < MaxCountChannal) ArChannalSerNum[radar->NumChannalRadar()] = radar->SerNum();
  }
  IRadarSetWindow* window = CurrentWindow();
  const TSettingData* first = window ? window->ChannelSettings(0) : nullptr;
  // Only a window that is still a fresh recording follows the set's channels.
  if (first && !first->GetWasOpen() && !first->WasStarted) {
    for (int k = 0; k < MaxCountChannal; ++k) window->SetChannelVisible(k, ArChannalSerNum[k] != 0);
  }
  return true;
}

bool TActiveRadar::TestErrorActiveRadar() {
  int singles = 0, masters = 0, slaves = 0, unknown = 0;
  for (int k = 0; k < MaxCountChannal; ++k) {
    const TRadar* radar = SlotRadar(k);
    if (!radar) continue;
    switch (radar->ModeRadar()) {
      case TRadarRole::single: ++singles; break;
      case TRadarRole::master: ++masters; break;
      case TRadarRole::slave: ++slaves; break;
      default: ++unknown; break;
    }
  }
  auto log = [this](const QString& text) {
    if (const TRadar* first = SlotRadar(0)) first->WriteStrToLog(text);
  };
  log(QStringLiteral("Single  : %1 Master  : %2 Slave   : %3 Unknown : %4").arg(singles).arg(masters).arg(slaves).arg(unknown));
  if (unknown > 0) {
    log(QStringLiteral("Error : Unknown Radar"));
    return false;
  }
  if (singles > 1) {
    log(QStringLiteral("Error : Count Single Radar > 1"));
    return false;
  }
  if (singles == 1 && masters + slaves > 0) {
    log(QStringLiteral("Error : Single Radar + No single Radar"));
    // The single radar works alone: the others of the box are dropped.
    std::vector<TRadar*> others;
    for (int k = 0; k < MaxCountChannal; ++k) {
      TRadar* radar = SlotRadar(k);
      if (radar && radar->ModeRadar() != TRadarRole::single) others.push_back(radar);
    }
    for (TRadar* radar : others) FreeRadar(radar);
    return true;
  }
  if (singles == 0 && masters > 1) {
    log(QStringLiteral("Error :  Count Master Radar > 1"));
    return false;
  }
  const IAcquisitionFlags* flags = Shell().Flags;
  const int fromMaster = flags ? flags->CountRadarFromMaster() : 0;
  if (singles == 0 && masters + slaves != fromMaster) {
    log(QStringLiteral("Error :  CountActiveRadar=%1<> CountRadarFromMaster=%2").arg(masters + slaves).arg(fromMaster));
    return false;
  }
  return true;
}

void TActiveRadar::CreateArControlRadar() {
  IRadarSetShell* shell = Shell().Set;
  const IAcquisitionFlags* flags = Shell().Flags;
  const IRadarWindows* windows = Shell().Windows;
  if (shell) shell->SetStrErrorCreateRadar(QString());
  SetMasterChannal(0);
  if (controlRadar_) controlRadar_->SetMasterChannal(0);
  auto countFromMaster = [flags] { return flags ? int{flags->CountRadarFromMaster()} : 0; };
  if (const TRadar* first = SlotRadar(0))
    first->WriteStrToLog(QStringLiteral("CreateArControlRadar:  CountActiveRadar=%1 CountRadarFromMaster=%2")
                             .arg(CountRadars())
                             .arg(countFromMaster()));

  int k = 0;
  const bool passed = TestErrorActiveRadar();
  // The channel set is rebuilt from this set alone: it never keeps a radar of an
  // earlier set.
  if (controlRadar_) controlRadar_->RadarNil();
  if (passed) {
    for (int slot = 0; slot < MaxCountChannal; ++slot) {
      TRadar* radar = SlotRadar(slot);
      if (!radar) continue;
      int channel = -1;
      for (int j = 0; j < MaxCountChannal && channel < 0; ++j) {
        if (ArChannalSerNum[j] == radar->SerNum()) channel = j;
      }
      if (channel < 0) continue;
      if (controlRadar_) controlRadar_->AddRadarToChanal(channel, radar);
      ++k;
      if (radar->ModeRadar() == TRadarRole::master) {
        SetMasterChannal(channel);
        if (controlRadar_) controlRadar_->SetMasterChannal(channel);
      }
    }
    if (k > 0) NewViewChannalCount = k;
    if (k > 1) {
      if (k == countFromMaster()) {
        const bool dual = k == 2 && controlRadar_ &&
                          DifferentTimeWindows(controlRadar_->SlotRadar(0), controlRadar_->SlotRadar(1));
        if (shell) shell->SetModeSystemRadars(dual ? msrDualFreqience : msrArrayRadar);
      } else if (const TRadar* first = SlotRadar(0)) {
        first->WriteStrToLog(QStringLiteral("CreateArControlRadar:  ControlCountChannal=%1 <> CountRadarFromMaster=%2")
                                 .arg(k)
                                 .arg(countFromMaster()));
      }
    }
  } else {
    if (shell) shell->SetStrErrorCreateRadar(QStringLiteral(" Error"));
    if (windows) Post(windows->MainWindowHandle(), WM_GPRSTATUS);
    k = 0;
  }
  UpdateActive();
  if (!passed || !shell) return;

  const TModeSystemRadars mode = shell->ModeSystemRadars();
  const bool loaded = k == 0 || (k == 1 && mode == msrSingle) || (k == 2 && mode == msrDualFreqience) ||
                      (k > 1 && mode == msrArrayRadar && k == countFromMaster());
  if (!loaded) return;
  if (windows) {
    if (k > 0) Post(windows->PreferencesDialogHandle(), WM_RADARSLOADED);
    if (windows->SettingsWindowVisible()) Post(windows->SettingsWindowHandle(), WM_RADARSLOADED);
    Post(windows->MainWindowHandle(), WM_GPRSTATUS);
    Post(windows->CurrentChildHandle(), WM_RADARSLOADED);
  }
  IRadarSetWindow* window = shell->CurChildWindow();
  if (window && window->ChannelSettings(0) && !window->ChannelHoldsTraces(0) && k > 1)
    window->ReadFromFileToFRNChannals(ProgramFolder() + QStringLiteral("bstt"));
}
